#include "scheduler/InstallScheduler.h"

#include "scheduler/FrmTimers.h"
#include "scheduler/frmTimerStatus.h"

#include <QCheckBox>
#include <QCoreApplication>

namespace qelt {

namespace {

frmTimerStatus *g_status = nullptr;
FrmTimers *g_timers = nullptr;
bool g_installed = false;

void dropWindows()
{
    delete g_timers;
    g_timers = nullptr;
    delete g_status;
    g_status = nullptr;
}

// Windows need the application object; the first window made also arranges
// for both to go before it does.
void watchQuit()
{
    static bool watching = false;
    if (watching || !QCoreApplication::instance())
        return;
    watching = true;
    QObject::connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, [] {
        SetTimers(nullptr);
        SetTimerLog(nullptr);
        dropWindows();
    });
}

class LazyTimerLog : public TimerLogService {
public:
    QWidget *widget() override { return TimerStatusWindow(); }
    QString logText() const override { return g_status ? g_status->logText() : QString(); }
    void setLogText(const QString &text) override { TimerStatusWindow()->setLogText(text); }
    void appendLog(const QString &entry) override { TimerStatusWindow()->appendLog(entry); }
    int statusRowCount() const override { return g_status ? g_status->statusRowCount() : 6; }
    QString statusText(int i) const override
    {
        return g_status ? g_status->statusText(i) : QString();
    }
    void setStatus(int i, const QString &text, const QColor &backColor) override
    {
        TimerStatusWindow()->setStatus(i, text, backColor);
    }
    void showLog() override { TimerStatusWindow()->showLog(); }
    void unload() override
    {
        if (g_status)
            g_status->unload();
    }
};

class LazyTimers : public TimersService {
public:
    QWidget *widget() override { return TimersWindow(); }
    void ensureLoaded() override { TimersWindow()->ensureLoaded(); }
    bool isLoaded() const override { return g_timers && g_timers->isLoaded(); }
    void unload() override
    {
        if (g_timers)
            g_timers->unload();
    }
    void setTimersEnabled(bool on) override { TimersWindow()->setCheck2(on); }
    Mailbox &consoleCommandBox() override { return TimersWindow()->check4Text(); }
    void setChkEnableLoop(int value) override
    {
        TimersWindow()->chkEnableLoop->setChecked(value == 1);
    }
    bool chkMsound() const override { return g_timers && g_timers->chkMsound->isChecked(); }
    void setChkTSound(int value) override { TimersWindow()->chkTSound->setChecked(value == 1); }
    void setChkMsound(int value) override { TimersWindow()->chkMsound->setChecked(value == 1); }
    void refreshFileList() override
    {
        if (g_timers && g_timers->isLoaded())
            g_timers->cmdRefresh_Click();
    }
};

LazyTimerLog g_lazyLog;
LazyTimers g_lazyTimers;

} // namespace

void InstallScheduler()
{
    if (g_installed)
        return;
    g_installed = true;
    SetTimerLog(&g_lazyLog);
    SetTimers(&g_lazyTimers);
}

frmTimerStatus *TimerStatusWindow()
{
    if (!g_status) {
        watchQuit();
        g_status = new frmTimerStatus;
    }
    return g_status;
}

FrmTimers *TimersWindow()
{
    if (!g_timers) {
        watchQuit();
        g_timers = new FrmTimers(TimerStatusWindow());
    }
    return g_timers;
}

} // namespace qelt
