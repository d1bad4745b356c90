#include "logic/DueCheck.h"

#include "logic/DayRule.h"
#include "logic/SchedulerClock.h"
#include "logic/TimerTable.h"

namespace qelt {

DueCheck::DueCheck(TimerTable &table) : m_table(table) {}

QList<int> DueCheck::collect(const QDateTime &now, bool catchUp)
{
    QDateTime second = now;
    second.setTime(QTime(now.time().hour(), now.time().minute(), now.time().second()));

    // The seconds to look at: those since the last check and the current one
    // again (its trigger texts may have changed since); only the current one
    // after a long gap or when the clock went back.
    QDateTime first = second;
    if (catchUp && m_last.isValid()) {
        const qint64 gap = m_last.secsTo(second);
        if (gap > 0 && gap <= kMaxCatchUpSeconds)
            first = m_last.addSecs(1);
    }
    m_last = second;

    QList<int> due;
    for (QDateTime s = first; s <= second; s = s.addSecs(1)) {
        const QString text = ClockText(s.time(), locale);
        const int weekday = s.date().dayOfWeek();
        for (int i = 0; i < m_table.rowCount(); ++i) {
            TimerRow &row = m_table.row(i);
            // Start texts stored before the designator was fixed (or with the
            // locale's own one) still match.
            if ((row.triggerTime != text && NormalClockText(row.triggerTime, locale) != text) ||
                !DayRuleLetsRun(row.dayRule, weekday))
                continue;
            if (row.lastFiredDate == s.date() && row.lastFiredTrigger == text)
                continue; // already started for this day and time
            row.lastFiredDate = s.date();
            row.lastFiredTrigger = text;
            due.append(i);
        }
    }
    return due;
}

} // namespace qelt
