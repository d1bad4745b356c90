// The timers window and the timer log on a real desktop keep their places:
// closed (through the window manager or their own buttons, which only hide
// them), unloaded hidden as the program's exit unloads them, and made again
// from the stored settings as at the next start, they come back where they
// were, title bar on the screen.

#include "core/EventControls.h"
#include "logic/Settings.h"
#include "scheduler/FrmTimers.h"
#include "scheduler/frmTimerStatus.h"
#include "tests/scheduler/TimersTestSupport.h"
#include "tests/support/Desktop.h"
#include "tests/support/TestEnv.h"
#include "tests/support/WmFrames.h"

#include <QApplication>
#include <QLabel>

#include <memory>

using namespace qelt;
using namespace qelt::test::desktop;

class SchedulerPlacesTest : public QObject {
    Q_OBJECT

    test::SettableWallClock wall;

private slots:
    void initTestCase() { test::StartTimersTests(&wall, nullptr); }

    void timersWindowKeepsItsPlace()
    {
        // A place of its own, away from the default.
        SaveSet(QStringLiteral("Settings"), QStringLiteral("TimerMainLeft"),
                QStringLiteral("3000"));
        SaveSet(QStringLiteral("Settings"), QStringLiteral("TimerMainTop"), QStringLiteral("1800"));
        std::unique_ptr<frmTimerStatus> log;
        std::unique_ptr<FrmTimers> timers;
        ComesBackInPlace(
            [&] {
                log = std::make_unique<frmTimerStatus>();
                timers = std::make_unique<FrmTimers>(log.get());
                return StartedWindow{[&] {
                                         timers->ensureLoaded();
                                         timers->show();
                                         return static_cast<QWidget *>(timers.get());
                                     },
                                     [&] { timers->unload(); },
                                     [&] {
                                         timers.reset();
                                         log.reset();
                                     }};
            },
            // It has no frame of its own, nor a close box: its own "X".
            {AltF4, [&](QWidget *) { Click(timers->lblExit); }}, QPoint(200, 120),
            QStringLiteral("TimerMainLeft"), QStringLiteral("TimerMainTop"));
    }

    void timerLogKeepsItsPlace()
    {
        std::unique_ptr<frmTimerStatus> log;
        ComesBackInPlace(
            [&] {
                log = std::make_unique<frmTimerStatus>();
                return StartedWindow{[&] {
                                         log->showLog();
                                         return static_cast<QWidget *>(log.get());
                                     },
                                     [&] { log->unload(); }, [&] { log.reset(); }};
            },
            {AltF4, CloseBox, [&](QWidget *) { Click(log->Label3); }}, QPoint(33, 33),
            QStringLiteral("TimerLogL"), QStringLiteral("TimerLogT"));
    }
};

QELT_DESKTOP_TEST_MAIN(SchedulerPlacesTest)

#include "desk_window_places.moc"
