// The macro and group editor on a real desktop keeps its place: closed
// through the window manager and made again from the stored settings, as at
// each start of the program, its frame comes back where it was, title bar
// on the screen.

#include "core/WindowHelpers.h"
#include "logic/Settings.h"
#include "macros/frmMcrSetup.h"
#include "tests/support/Desktop.h"
#include "tests/support/TestEnv.h"
#include "tests/support/WmFrames.h"

#include <QApplication>
#include <QScreen>

#include <memory>

using namespace qelt;
using namespace qelt::test::desktop;

class EditorPlaceTest : public QObject {
    Q_OBJECT

    // The editor as a start of the program makes it, on its "Setup Group"
    // page; its frame once the window manager has put it on the screen.
    static QRect openEditor(std::unique_ptr<frmMcrSetup> &editor)
    {
        editor = std::make_unique<frmMcrSetup>();
        editor->showPage(1);
        return SettledWmFrame(editor.get());
    }

private slots:
    // Closed four times through the window manager (Alt+F4 and the close
    // box, as a user does): the window came back one title bar higher each
    // time, then stuck with its title above the screen.
    void comesBackWhereItWasClosed()
    {
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        // Fresh settings: 500 twips from the usable area's corner.
        const QPoint first = area.topLeft() + QPoint(33, 33);
        std::unique_ptr<frmMcrSetup> editor;
        for (int start = 1; start <= 5; ++start) {
            const QRect frame = openEditor(editor);
            QVERIFY2(!frame.isNull(), "the editor did not come up");
            const QString where =
                QStringLiteral("start %1: frame at %2,%3, stored %4,%5")
                    .arg(start)
                    .arg(frame.x())
                    .arg(frame.y())
                    .arg(GetSet(QStringLiteral("Settings"), QStringLiteral("McrMainLeft")))
                    .arg(GetSet(QStringLiteral("Settings"), QStringLiteral("McrMainTop")));
            QVERIFY2((frame.topLeft() - first).manhattanLength() <= 2, qPrintable(where));
            QVERIFY2(frame.top() >= area.top(), qPrintable(where));
            if (start == 5)
                break;
            CloseThroughWm(editor.get(), start % 2 == 0);
            QVERIFY2(WaitFor([&] { return !editor->isVisible(); }, 10000), qPrintable(where));
        }
        editor->unload();
    }
};

QELT_DESKTOP_TEST_MAIN(EditorPlaceTest)

#include "desk_window_places.moc"
