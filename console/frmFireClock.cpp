// The console clock: shows the time, keeps MainView in step with the window,
// keeps the timers window loaded and its master switch on while Check1 is
// ticked, and runs the weekly update-check schedule.
#include "console/frmFire.h"

#include "core/Dialogs.h"
#include "core/FileActions.h"
#include "core/services/SchedulerServices.h"
#include "logic/FileHelpers.h"
#include "logic/Globals.h"
#include "logic/ProgramFolder.h"
#include "logic/SchedulerClock.h"
#include "logic/Transmitter.h"

#include <QCheckBox>
#include <QTimer>

namespace qelt {

void frmFire::setupClock()
{
    m_updateSchedule.setIndicator = [this](const QString &caption, bool visible) {
        lblIndicate->setText(caption);
        lblIndicate->setVisible(visible);
    };
    m_updateSchedule.startUpdater = [] { OpenDoc(InstalledProgramPath(QStringLiteral("update"))); };
    m_updateSchedule.askYesNo = [](const QString &prompt, const QString &title) {
        return Questions(prompt, 2, title, MsgIcon::Question) == 1;
    };
    // The question waits for its answer in its own event loop; asked from
    // within the clock's tick it would stop the clock (a timer's handler is
    // not entered again while it runs), so it is queued behind the tick.
    m_updateSchedule.defer = [this](std::function<void()> ask) {
        QTimer::singleShot(0, this, [this, ask = std::move(ask)] {
            if (!m_unloaded)
                ask();
        });
    };
}

void frmFire::tmrClock_Timer()
{
    CurrentWaitClock().processEvents();
    if (m_unloaded)
        return;
    const QDateTime now = WallNow();
    lblClock->setText(ClockText(now.time()));
    MainView = isVisible();
    m_updateSchedule.tick(now);
    if (m_unloaded)
        return;
    TimersService *timers = Timers();
    if (!timers)
        return;
    if (Check1->isChecked())
        timers->setTimersEnabled(true);
    timers->ensureLoaded();
}

} // namespace qelt
