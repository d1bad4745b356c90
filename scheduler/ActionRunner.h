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

    // Starts row CurTimer, then holds StartHold seconds (Delay, events run)
    // and clears TimerStarting on every way out.
    void StartTimer();
    // Runs row's action at once: program/shortcut, "GROUP n ON|OFF" or a
    // single command such as "C 11 On"; logs "Success" or "Error".
    void RunAction(const QString &row);

    double StartHold = 0.8;

private:
    TimerTable &m_table;
    MacroSlots &m_slots;
    OverflowList &m_overflow;
    SchedulerHost &m_host;
};

} // namespace qelt
