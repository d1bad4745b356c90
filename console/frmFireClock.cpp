// The console clock: shows the time, keeps MainView in step with the window,
// keeps the timers window loaded and its master switch on while Check1 is
// ticked, and runs the weekly update-check schedule.
#include "console/frmFire.h"

#include "core/Dialogs.h"
#include "core/FileActions.h"
#include "core/MessageDialog.h"
#include "core/PortDialog.h"
#include "core/services/SchedulerServices.h"
#include "logic/FileHelpers.h"
#include "logic/Globals.h"
#include "logic/ProgramFolder.h"
#include "logic/SchedulerClock.h"
#include "logic/Transmitter.h"

#include <QApplication>
#include <QCheckBox>
#include <QScopeGuard>
#include <QTimer>

#include <algorithm>

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
    // not entered again while it runs), so it is queued behind the tick. On
    // a first start the port message and the port dialog are open when its
    // time comes: it waits for them, rather than cover the message's button
    // and stand between the user and the port dialog.
    m_updateSchedule.defer = [this](std::function<void()> ask) {
        askWhenNoDialogOpen(std::move(ask));
    };
}

namespace {

// A message or question of the program's own, the port dialog, or any
// modal window is waiting for the user.
bool dialogOpen()
{
    if (QApplication::activeModalWidget())
        return true;
    if (const frmSetup *port = PortSetupIfLoaded(); port && port->isVisible())
        return true;
    const QWidgetList windows = QApplication::topLevelWidgets();
    return std::any_of(windows.begin(), windows.end(), [](const QWidget *w) {
        return qobject_cast<const frmInfo *>(w) && w->isVisible();
    });
}

} // namespace

void frmFire::askWhenNoDialogOpen(std::function<void()> ask, int delayMs)
{
    constexpr int kLookAgainMs = 250;
    QTimer::singleShot(delayMs, this, [this, ask = std::move(ask)]() mutable {
        if (m_unloaded)
            return;
        // Not from within the clock's own tick either (its first step lets
        // events run): the tick would wait for the answer and the clock
        // would stand still. Then it is asked as soon as the tick is over.
        if (m_inClockTick)
            askWhenNoDialogOpen(std::move(ask), 0);
        else if (dialogOpen())
            askWhenNoDialogOpen(std::move(ask), kLookAgainMs);
        else
            ask();
    });
}

void frmFire::tmrClock_Timer()
{
    m_inClockTick = true;
    const auto tickDone = qScopeGuard([this] { m_inClockTick = false; });
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
