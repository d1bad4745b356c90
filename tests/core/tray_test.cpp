#include "core/Tray.h"

#include "logic/Globals.h"

#include <QSignalSpy>
#include <QSystemTrayIcon>
#include <QWidget>
#include <gtest/gtest.h>

using namespace qelt;

TEST(Tray, MessagesDecodeToLeftAndRight)
{
    const struct {
        int message;
        int result;
    } cases[] = {
        {kTrayLeftDown, 1},
        {kTrayLeftDouble, 1},
        {kTrayLeftUp, 0},
        {kTrayRightDown, 2},
        {kTrayRightUp, 2},
        {kTrayRightDouble, 2},
        {512, 0},
        {519, 0},
        {0, 0},
    };
    for (bool sounds : {true, false}) {
        SoundsOn = sounds;
        ClickSound = "/no/such/click.wav";
        for (const auto &c : cases)
            EXPECT_EQ(TrayMsg(c.message), c.result) << c.message;
    }
}

TEST(Tray, WithoutATrayTheWindowIsMinimisedNotHidden)
{
    // The headless test platform has no tray.
    ASSERT_FALSE(QSystemTrayIcon::isSystemTrayAvailable());
    QWidget window;
    window.show();
    ZoomSound = "none";

    TrayAdd(QIcon(), "Qelt", &window);
    EXPECT_TRUE(TrayShown());
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(window.windowState() & Qt::WindowMinimized);
    EXPECT_EQ(TrayWindow(), &window);

    TrayModify(QIcon(), "Qelt - Timers on", &window);
    EXPECT_EQ(TrayTip(), "Qelt - Timers on");
    EXPECT_TRUE(TrayShown());

    // Restoring the window from the task bar comes back as a left click.
    QSignalSpy clicks(&TrayEventSource(), &TrayEvents::mouseMessage);
    window.showNormal();
    ASSERT_EQ(clicks.size(), 1);
    EXPECT_EQ(clicks.at(0).at(0).toInt(), kTrayLeftDown);

    TrayDelete();
    EXPECT_FALSE(TrayShown());
    TrayDelete(); // twice is harmless
    EXPECT_FALSE(TrayShown());

    // Once the icon is gone, minimising and restoring is no click.
    window.showMinimized();
    window.showNormal();
    EXPECT_EQ(clicks.size(), 1);

    // A second window put into the tray for the first (the favourites
    // view): restoring the one that was minimised is the click.
    QWidget favourites;
    favourites.show();
    TrayAdd(QIcon(), "Qelt", &favourites);
    TrayModify(QIcon(), "Qelt", &window);
    EXPECT_TRUE(favourites.isVisible());
    EXPECT_TRUE(favourites.windowState() & Qt::WindowMinimized);
    favourites.showNormal();
    EXPECT_EQ(clicks.size(), 2);
    TrayDelete();
}
