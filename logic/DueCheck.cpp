#include "logic/DueCheck.h"

#include "logic/DayRule.h"
#include "logic/SchedulerClock.h"
#include "logic/TimerTable.h"

#include <QHash>

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
    QDateTime previous; // the second before first, when it was checked
    if (catchUp && m_last.isValid()) {
        const qint64 gap = m_last.secsTo(second);
        if (gap > 0 && gap <= kMaxCatchUpSeconds) {
            first = m_last.addSecs(1);
            previous = m_last;
        }
    }
    m_last = second;

    QList<int> due;
    for (QDateTime s = first; s <= second; s = s.addSecs(1)) {
        // Clocks going forward skip the clock times in between: no second
        // shows them. (Clocks going back show times twice; a row falls due
        // once a day and trigger text all the same.)
        if (previous.isValid() && s.offsetFromUtc() > previous.offsetFromUtc())
            collectSkipped(previous, s, due);
        previous = s;
        const QString text = ClockText(s.time(), locale);
        for (int i = 0; i < m_table.rowCount(); ++i) {
            // Start texts stored before the designator was fixed (or with the
            // locale's own one) still match.
            const QString &trigger = m_table.row(i).triggerTime;
            if (trigger == text || NormalClockText(trigger, locale) == text)
                fireIfAllowed(i, s.date(), text, due);
        }
    }
    return due;
}

void DueCheck::fireIfAllowed(int i, const QDate &day, const QString &text, QList<int> &due)
{
    TimerRow &row = m_table.row(i);
    if (!DayRuleLetsRun(row.dayRule, day.dayOfWeek()))
        return;
    if (row.lastFiredDate == day && row.lastFiredTrigger == text)
        return; // already started for this day and time
    row.lastFiredDate = day;
    row.lastFiredTrigger = text;
    due.append(i);
}

void DueCheck::collectSkipped(const QDateTime &before, const QDateTime &after, QList<int> &due)
{
    // The clock times strictly between the two seconds, as a clock without
    // a zone counts them, with the day each belongs to.
    QHash<QString, QDate> skipped;
    const QDateTime end(after.date(), after.time(), Qt::UTC);
    for (QDateTime t = QDateTime(before.date(), before.time(), Qt::UTC).addSecs(1); t < end;
         t = t.addSecs(1))
        skipped.insert(ClockText(t.time(), locale), t.date());
    if (skipped.isEmpty())
        return;
    for (int i = 0; i < m_table.rowCount(); ++i) {
        const QString &trigger = m_table.row(i).triggerTime;
        for (const QString &text : {trigger, NormalClockText(trigger, locale)}) {
            const auto at = skipped.constFind(text);
            if (at != skipped.cend()) {
                fireIfAllowed(i, at.value(), text, due);
                break;
            }
        }
    }
}

} // namespace qelt
