#pragma once

#include <QDateTime>
#include <QList>
#include <QLocale>

// Which timer rows fall due: every clock second since the last check is
// looked at (up to a bound, so a suspend or a clock change does not flood
// starts), a row is due in a second whose clock text equals its trigger
// text (as NormalClockText writes it) and whose day its rule allows, and a
// row never falls due
// twice for the same day and trigger text.
namespace qelt {

class TimerTable;

class DueCheck {
public:
    // Gaps longer than this (or a clock going back) are not caught up: only
    // the current second is checked.
    static constexpr int kMaxCatchUpSeconds = 10;

    explicit DueCheck(TimerTable &table);

    // The rows that fell due in the seconds after the last check up to now,
    // in the order of their second and then of their row. Rows returned are
    // marked as fired for that day and trigger text. Without catchUp (the
    // check was switched off meanwhile) only the current second is checked.
    QList<int> collect(const QDateTime &now, bool catchUp = true);
    // Forgets the last check time (the next collect looks at its own second).
    void reset() { m_last = {}; }

    QLocale locale; // the clock text's form

private:
    TimerTable &m_table;
    QDateTime m_last;
};

} // namespace qelt
