#pragma once

#include <QString>

// The timer start (StartTimer) and the action runner (RunAction): a due row's
// macro goes into a free macro slot or the overflow list; a program, a group
// or a single command is done at once.
namespace qelt {

class MacroSlots;
class OverflowList;
class SchedulerHost;
class TimerTable;

class ActionRunner {
public:
    ActionRunner(TimerTable &table, MacroSlots &macroSlots, OverflowList &overflow,
                 SchedulerHost &host);

    // The row being started and the start in progress (set by the due check).
    int CurTimer = -1;
    bool TimerStarting = false;

    // Starts row CurTimer, then holds: TimerStarting stays set until StartHold
    // seconds after the start began, so no other start begins, while events
    // keep running. The hold
    // does not wait inside this call (a nested wait here would keep the due
    // check's timer from ticking and delay the starts behind it):
    // endHoldIfDue() clears TimerStarting once the time has passed. A start
    // that does nothing (a row that does not exist) clears it at once.
    void StartTimer();
    // Clears TimerStarting when the hold of the last start has passed.
    void endHoldIfDue();
    // Runs row's action at once: program/shortcut, "GROUP n ON|OFF" or a
    // single command such as "C 11 On"; logs "Success" or "Error".
    void RunAction(const QString &row);

    double StartHold = 0.8;

private:
    void hold(qint64 startNs);

    qint64 m_holdUntilNs = 0;
    TimerTable &m_table;
    MacroSlots &m_slots;
    OverflowList &m_overflow;
    SchedulerHost &m_host;
};

} // namespace qelt
