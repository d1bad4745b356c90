#include "scheduler/TimerTableFile.h"

#include "core/Dialogs.h"
#include "core/services/SchedulerServices.h"
#include "logic/ErrorLog.h"
#include "logic/Globals.h"
#include "logic/Lang.h"
#include "logic/SchedulerHost.h"
#include "logic/Settings.h"

#include <QDir>

namespace qelt {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

void logToTimerLog(const QString &message)
{
    if (TimerLogService *log = TimerLog())
        log->appendLog(LogEntry(message));
}

} // namespace

bool SaveTimerTable(TimerTable &table, const QString &path)
{
    if (!table.save(path)) {
        const QString what = LangCap(QStringLiteral("The timers could not be saved to")) + u' ' +
                             QDir::toNativeSeparators(path);
        LogErr(QStringLiteral("SaveTimers"), QStringLiteral("FrmTimers"), 75, what);
        logToTimerLog(what);
        Info(what + kCrLf + LangCap(QStringLiteral("Your changes are kept; please try again.")),
             true, false, LangCap(QStringLiteral("Timers not saved")), QStringLiteral("OK"));
        return false;
    }
    table.markSaved();
    TmrChanged = false;
    TimerCount = QString::number(table.rowCount());
    SaveSet(QStringLiteral("Settings"), QStringLiteral("TimerCount"), TimerCount);
    const auto [i, j] = table.findStartConflict();
    if (i >= 0)
        Info(TimerTable::ConflictMessage(i, j), true, false,
             LangCap(QStringLiteral("Timer Conflict")), QStringLiteral("OK"), false);
    return true;
}

bool LoadTimerTable(TimerTable &table, const QString &path)
{
    QStringList problems;
    const int stored = TimerCount.toInt();
    if (!table.load(path, &problems, stored)) {
        logToTimerLog(LangCap(QStringLiteral("The timer file could not be read")) +
                      QStringLiteral(": ") + QDir::toNativeSeparators(path));
        return false;
    }
    for (const QString &problem : problems)
        logToTimerLog(problem);
    return true;
}

} // namespace qelt
