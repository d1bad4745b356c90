// The console and its tray icon on a real desktop (openbox and a tray):
// whatever minimised, restored or hid the window before, a left click on the
// icon takes the icon away and puts the window back on the screen, normal
// and active.
#include "console/frmFavs.h"
#include "console/frmFire.h"
#include "core/Dialogs.h"
#include "core/Tray.h"
#include "logic/DataFile.h"
#include "logic/Globals.h"
#include "logic/ProgramFolder.h"
#include "logic/SerialLink.h"
#include "tests/console/ConsoleTestSupport.h"
#include "tests/support/Desktop.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TestEnv.h"

#include <QAction>
#include <QApplication>
#include <QStyleHints>
#include <QSystemTrayIcon>
#include <QTest>

using namespace qelt;
namespace desk = qelt::test::desktop;

namespace {

QSystemTrayIcon *trayIcon()
{
    return TrayEventSource().findChild<QSystemTrayIcon *>();
}

bool offScreen(const QWidget *w)
{
    const QString state = desk::WmState(w);
    return !w->isVisible() && (state.isEmpty() || state == QLatin1String("Withdrawn"));
}

} // namespace

class DeskTrayTest : public QObject, private test::ConsoleOnFakeLink {
    Q_OBJECT

private:
    // The window the tray icon brings back: the favourites in their view.
    QWidget *view() const { return FavsView ? static_cast<QWidget *>(&FavsWindow()) : fire; }

    // One user action, checked against what the window manager then reports.
    void act(const QString &step)
    {
        if (step == QLatin1String("minus")) { // the console's own "-"
            fire->mnuMinToTray->setChecked(false);
            desk::Click(fire->lblMin);
            QTRY_COMPARE_WITH_TIMEOUT(desk::WmState(fire), QString("Iconic"), desk::kStepMs);
        } else if (step == QLatin1String("wm minimise")) {
            desk::Minimise(view());
            QTRY_COMPARE_WITH_TIMEOUT(desk::WmState(view()), QString("Iconic"), desk::kStepMs);
        } else if (step == QLatin1String("wm restore")) {
            desk::Activate(view());
            QTRY_VERIFY_WITH_TIMEOUT(desk::OnScreen(view()), desk::kStepMs);
        } else if (step == QLatin1String("right minus")) {
            desk::Click(fire->lblMin, 3);
        } else if (step == QLatin1String("minus to tray")) {
            fire->mnuMinToTray->setChecked(true);
            // A second click on "-" soon after the first would be a double click.
            QTest::qWait(QGuiApplication::styleHints()->mouseDoubleClickInterval());
            desk::Click(fire->lblMin);
        } else if (step == QLatin1String("favourites")) {
            desk::Click(fire->lblShowFavs);
            QTRY_VERIFY_WITH_TIMEOUT(desk::OnScreen(&FavsWindow()), desk::kStepMs);
        } else if (step == QLatin1String("favourites to tray")) {
            fire->mnuMinToTray->setChecked(true);
            desk::Minimise(&FavsWindow());
        } else {
            QFAIL(qPrintable("no such step: " + step));
        }
        if (step.contains(QLatin1String("tray")) || step == QLatin1String("right minus")) {
            QTRY_VERIFY_WITH_TIMEOUT(offScreen(view()), desk::kStepMs);
            QVERIFY(TrayShown());
        }
        fire->mnuMinToTray->setChecked(false);
    }

    // A real left click on the icon, where it sits in the tray.
    void clickTrayIcon()
    {
        QSystemTrayIcon *icon = trayIcon();
        QVERIFY(icon && icon->isVisible());
        const QRect tray = desk::TrayArea();
        QTRY_VERIFY_WITH_TIMEOUT(!icon->geometry().isEmpty() && tray.contains(icon->geometry()),
                                 desk::kStepMs);
        desk::Click(icon->geometry().center());
    }

    void checkBack(QWidget *shown, QWidget *hidden)
    {
        QTRY_VERIFY_WITH_TIMEOUT(!TrayShown(), desk::kStepMs);
        QVERIFY(!trayIcon()->isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(desk::OnScreen(shown), desk::kStepMs);
        QCOMPARE(desk::WmState(shown), QString("Normal"));
        QVERIFY(!desk::NetWmState(shown).contains("_NET_WM_STATE_HIDDEN"));
        QVERIFY(!shown->isMinimized());
        QTRY_VERIFY_WITH_TIMEOUT(desk::IsActive(shown), desk::kStepMs);
        QVERIFY(!MinOnStart);
        if (hidden)
            QVERIFY(offScreen(hidden));
    }

private slots:
    void initTestCase()
    {
        startConsole();
        QVERIFY(TrayAvailable());
    }

    void init()
    {
        if (FavsView)
            fire->mnuRegular_Click();
        fire->mnuMinToTray->setChecked(false);
        QVERIFY(desk::ShowActive(fire));
    }

    void trayClickBringsTheWindowBack_data()
    {
        QTest::addColumn<QStringList>("before");
        QTest::newRow("right - straight away") << QStringList{"right minus"};
        QTest::newRow("minimised and restored by the window manager, right -")
            << QStringList{"wm minimise", "wm restore", "right minus"};
        QTest::newRow("-, restored by the window manager, right -")
            << QStringList{"minus", "wm restore", "right minus"};
        QTest::newRow("-, restored by the window manager, - sending to the tray")
            << QStringList{"minus", "wm restore", "minus to tray"};
        QTest::newRow("-, restored, favourites minimised to the tray")
            << QStringList{"minus", "wm restore", "favourites", "favourites to tray"};
        QTest::newRow("favourites minimised and restored, then to the tray")
            << QStringList{"favourites", "wm minimise", "wm restore", "favourites to tray"};
    }

    void trayClickBringsTheWindowBack()
    {
        QFETCH(QStringList, before);
        for (const QString &step : before) {
            act(step);
            if (QTest::currentTestFailed())
                return;
        }
        QWidget *shown = view();
        QWidget *hidden = FavsView ? fire : nullptr;
        clickTrayIcon();
        checkBack(shown, hidden);
        if (QTest::currentTestFailed())
            return;

        // Every later round trip through the tray ends the same way.
        for (int round = 0; round < 2; ++round) {
            act(FavsView ? "favourites to tray" : "right minus");
            clickTrayIcon();
            checkBack(shown, hidden);
            if (QTest::currentTestFailed())
                return;
        }
    }

    // Leaving the favourites view shows the console the same way, though the
    // window manager restored it from a minimise before it was hidden.
    void leavingTheFavouritesBringsTheConsoleBack_data()
    {
        QTest::addColumn<QString>("way");
        QTest::newRow("Main Window label") << "label";
        QTest::newRow("close box") << "close box";
        QTest::newRow("Main Window menu item") << "menu";
    }

    void leavingTheFavouritesBringsTheConsoleBack()
    {
        QFETCH(QString, way);
        for (const QString &step : QStringList{"minus", "wm restore", "favourites"}) {
            act(step);
            if (QTest::currentTestFailed())
                return;
        }
        frmFavs &favs = FavsWindow();
        if (way == "label")
            desk::Click(favs.lblStandardView);
        else if (way == "close box")
            desk::ClickCloseBox(&favs);
        else
            fire->mnuRegular->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(!FavsView, desk::kStepMs);
        QTRY_VERIFY_WITH_TIMEOUT(desk::OnScreen(fire), desk::kStepMs);
        QCOMPARE(desk::WmState(fire), QString("Normal"));
        QVERIFY(!fire->isMinimized());
        QTRY_VERIFY_WITH_TIMEOUT(desk::IsActive(fire), desk::kStepMs);
        QTRY_VERIFY_WITH_TIMEOUT(offScreen(&favs), desk::kStepMs);
    }

    void cleanupTestCase()
    {
        if (TrayShown())
            TrayDelete();
    }
};

QELT_DESKTOP_TEST_MAIN(DeskTrayTest)
#include "desk_tray.moc"
