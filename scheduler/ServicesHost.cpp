#include "scheduler/ServicesHost.h"

#include "logic/Globals.h"

#include "core/FileActions.h"
#include "core/Sounds.h"
#include "core/services/ConsoleServices.h"
#include "core/services/SchedulerServices.h"
#include "logic/Settings.h"

#include <QColor>

namespace qelt {

void ServicesHost::appendLog(const QString &entry)
{
    if (TimerLogService *log = TimerLog())
        log->appendLog(entry);
}

int ServicesHost::statusRowCount() const
{
    TimerLogService *log = TimerLog();
    return log ? log->statusRowCount() : 0;
}

QString ServicesHost::statusText(int row) const
{
    TimerLogService *log = TimerLog();
    return log && row >= 0 && row < log->statusRowCount() ? log->statusText(row) : QString();
}

void ServicesHost::setStatus(int row, const QString &text, unsigned rgb)
{
    TimerLogService *log = TimerLog();
    if (log && row >= 0 && row < log->statusRowCount())
        log->setStatus(row, text, QColor::fromRgb(QRgb(rgb)));
}

void ServicesHost::setTimerIndicator(bool on)
{
    if (MainWindowService *main = MainWindow())
        main->setTimerIndicator(on);
}

void ServicesHost::setLamp(bool lit)
{
    if (MainWindowService *main = MainWindow())
        main->setLamp(lit);
}

void ServicesHost::frmReturn()
{
    if (MainWindowService *main = MainWindow())
        main->frmReturn();
}

bool ServicesHost::strtGroup(int sNum, const QString &sAction)
{
    MainWindowService *main = MainWindow();
    return main && main->strtGroup(sNum, sAction);
}

bool ServicesHost::timerSoundOn() const
{
    return SchedulerSoundOn(QStringLiteral("TimerTsound"));
}

bool ServicesHost::tickSoundOn() const
{
    return SchedulerSoundOn(QStringLiteral("TimerMsound"));
}

void ServicesHost::playTimerSound()
{
    PlayWav(TimerSound);
}

void ServicesHost::playTickSound()
{
    PlayWav(TickSound);
}

bool ServicesHost::runFile(const QString &commandLine)
{
    return RunFile(commandLine);
}

} // namespace qelt
