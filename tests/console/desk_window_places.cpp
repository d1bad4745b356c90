// The favourites on a real desktop keep their place: closed through the
// window manager (Alt+F4, the close box), and made again from the stored
// settings as at each start of the program, their frame comes back where it
// was, title bar on the screen.

#include "console/frmFavs.h"
#include "console/frmFire.h"
#include "logic/Settings.h"
#include "tests/console/ConsoleTestSupport.h"
#include "tests/support/Desktop.h"
#include "tests/support/TestEnv.h"
#include "tests/support/WmFrames.h"

#include <QApplication>

#include <memory>

using namespace qelt;
using namespace qelt::test::desktop;

class FavsPlaceTest : public QObject, private test::ConsoleOnFakeLink {
    Q_OBJECT

private slots:
    void initTestCase() { startConsole(); }

    void comesBackWhereItWasClosed()
    {
        SaveSet(QStringLiteral("Settings"), QStringLiteral("FavLeft"), QStringLiteral("4500"));
        SaveSet(QStringLiteral("Settings"), QStringLiteral("FavTop"), QStringLiteral("3000"));
        std::unique_ptr<frmFavs> favs;
        ComesBackInPlace(
            [&] {
                return StartedWindow{[&] {
                                         favs = std::make_unique<frmFavs>();
                                         favs->Load();
                                         return static_cast<QWidget *>(favs.get());
                                     },
                                     [&] { favs->Unload(); }, [&] { favs.reset(); }};
            },
            {AltF4, CloseBox}, QPoint(300, 200), QStringLiteral("FavLeft"),
            QStringLiteral("FavTop"));
    }
};

QELT_DESKTOP_TEST_MAIN(FavsPlaceTest)

#include "desk_window_places.moc"
