#pragma once

#include <QDateTime>
#include <QList>
#include <QLocale>

// Which timer rows fall due: every clock second since the last check is
// looked at (up to a bound, so a suspend or a clock change does not flood
// starts), a row is due in a second whose clock text equals its trigger
// text (as NormalClockText writes it) and whose day its rule allows, and a
// row never falls due twice for the same day and trigger text. When the
// clocks go forward between two seconds looked at, the rows whose trigger
// text is one of the clock times skipped fall due with the later second,
// ahead of its own rows and in table order.
namespace qelt {

class TimerTable;

class DueCheck {
public:
    // Gaps longer than this (or a clock going back) are not caught up: only
    // the current second is checked.
    static constexpr int kMaxCatchUpSeconds = 10;

    explicit DueCheck(TimerTable &table);

    // The rows that fell due in the seconds after the last check up to now,
    // in the order of their second and then of their row (the rows of clock
    // times skipped by clocks going forward in table order, with the second
    // after the change). Rows returned are marked as fired for that day and
    // trigger text. Without catchUp (the check was switched off meanwhile)
    // only the current second is checked.
    QList<int> collect(const QDateTime &now, bool catchUp = true);
    // Forgets the last check time (the next collect looks at its own second).
    void reset() { m_last = {}; }

    QLocale locale; // the clock text's form

private:
    // Appends row i when its rule lets it run on day and it has not yet
    // fallen due that day with that text; marks it so.
    void fireIfAllowed(int i, const QDate &day, const QString &text, QList<int> &due);
    // The rows due at the clock times the clocks skipped between the two
    // seconds.
    void collectSkipped(const QDateTime &before, const QDateTime &after, QList<int> &due);

    TimerTable &m_table;
    QDateTime m_last;
};

} // namespace qelt
