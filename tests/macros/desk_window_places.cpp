// The macro and group editor on a real desktop keeps its place: closed
// through the window manager (Alt+F4, the close box) or with its own Close,
// and made again from the stored settings as at each start of the program,
// its frame comes back where it was, title bar on the screen. It used to
// come back a title bar higher each time, then stuck with its title above
// the screen.

#include "macros/frmMcrSetup.h"
#include "tests/support/Desktop.h"
#include "tests/support/TestEnv.h"
#include "tests/support/WmFrames.h"

#include <QApplication>
#include <QPushButton>
#include <QScreen>

#include <memory>

using namespace qelt;
using namespace qelt::test::desktop;

class EditorPlaceTest : public QObject {
    Q_OBJECT

private slots:
    void comesBackWhereItWasClosed()
    {
        std::unique_ptr<frmMcrSetup> editor;
        ComesBackInPlace(
            [&] {
                return StartedWindow{[&] {
                                         // A start makes the editor anew; the
                                         // console opens it on "Setup Group".
                                         editor = std::make_unique<frmMcrSetup>();
                                         editor->showPage(1);
                                         return static_cast<QWidget *>(editor.get());
                                     },
                                     [&] { editor->unload(); }, [&] { editor.reset(); }};
            },
            {AltF4, CloseBox, [&](QWidget *) { Click(editor->cmdClose); }},
            // Fresh settings: 500 twips from the usable area's corner.
            QGuiApplication::primaryScreen()->availableGeometry().topLeft() + QPoint(33, 33),
            QStringLiteral("McrMainLeft"), QStringLiteral("McrMainTop"));
    }
};

QELT_DESKTOP_TEST_MAIN(EditorPlaceTest)

#include "desk_window_places.moc"
