#pragma once

#include "logic/ActionRunner.h"
#include "logic/DueCheck.h"
#include "logic/MacroSlots.h"
#include "logic/SendQueue.h"
#include "logic/TimerTable.h"

#include <QDateTime>
#include <QList>
#include <QString>

#include <functional>

// The scheduler's run-time without windows: the due check, the timer start,
// the four macro slots, the overflow list and the send queue, wired
// together. The timers window drives it from its timer controls (Timer2,
// tmrThread0..3, TmrOverFlow, tmrSendBits) and sets those controls from the
// engine's timer states after onTimersChanged; tests and the benchmark drive
// it with pump() instead.
namespace qelt {

class SchedulerHost;

class SchedulerEngine {
public:
    // tableChanged: the flag that the table has changes not yet saved (the
    // timers window's TmrChanged); the engine reads and keeps it.
    SchedulerEngine(TimerTable &table, SchedulerHost &host, bool &tableChanged);
    SchedulerEngine(const SchedulerEngine &) = delete;
    SchedulerEngine &operator=(const SchedulerEngine &) = delete;

    TimerTable &table;
    SendQueue queue;
    MacroSlots macroSlots; // not "slots": Qt defines that word as a macro

    OverflowList overflow;
    ActionRunner runner;
    DueCheck due;

    // The timer file a "One Time" row's new rule "Never" is stored in.
    QString timerFilePath = TimerTable::DefaultPath();

    // The Timer2 tick (the due check). Rows due since the last tick are added
    // to the waiting starts; unless a start still holds, the first waiting
    // row is started (it holds StartHold seconds), the next ones on the
    // following ticks, in the order they fell due. A "One Time"
    // row becomes "Never" once started and that rule is stored at once: the
    // whole table through saveTable when nothing else was changed, otherwise
    // that row's rule alone (tableChanged keeps its value). A rule change
    // that cannot be stored leaves tableChanged set.
    void Timer2();
    // The master switch turned on: seconds that passed while it was off are
    // not caught up. (Without this call, a Timer2 silence longer than the
    // due check's catch-up bound is taken as the switch having been off.)
    void dueCheckSwitchedOn();
    // The master switch turned off: rows still waiting for their start are
    // dropped, so that switching on later starts nothing by itself.
    void dueCheckSwitchedOff();

    bool MacroRunning() const { return macroSlots.MacroRunning; }

    // Stops every slot, drops the overflow list, the waiting starts and the
    // queued frames (the timers window's Cancel); MacroRunning becomes false.
    void stopAll();

    // Runs when an engine timer's state changed (a slot started or ended,
    // TmrOverFlow enabled or disabled, an interval changed).
    std::function<void()> onTimersChanged;
    // Runs after row's rule was changed from "One Time" to "Never".
    std::function<void(int row)> onRuleChanged;
    // Saves the whole table as the timers window's Apply does; true when it
    // was stored. Unset: the table is written to timerFilePath alone.
    std::function<bool()> saveTable;

    // Driving without window timers: runs every engine tick whose time has
    // come on CurrentWaitClock(): Timer2 every 500 ms (while dueCheckOn),
    // tmrSendBits, TmrOverFlow and the slots at their intervals. A tick does
    // not start again while it is still running (its waits let pump run).
    void pump();
    // Timer2 runs in pump() only while this is set (the master switch Check2).
    bool dueCheckOn = true;
    // The wait-clock time of the next tick pump() would run; -1 when none.
    qint64 nextDueNs() const;

private:
    struct Clocked {
        qint64 dueNs = -1; // -1: not armed
        bool running = false;
        bool rearmed = false;
    };
    void arm(Clocked &c, bool enabled, int interval);
    template <typename Tick> void runIfDue(Clocked &c, int interval, Tick tick);
    void startWaiting();
    void afterStart(int row);
    bool saveWholeTable();

    // Shorter silences are a handler that ran long: their seconds are
    // caught up. The due check counts whole clock seconds, and a gap of
    // kMaxCatchUpSeconds whole seconds may last up to a second longer
    // between ticks; the due check itself keeps to its bound.
    static constexpr qint64 kSwitchedOffNs =
        qint64(DueCheck::kMaxCatchUpSeconds + 1) * 1'000'000'000;

    SchedulerHost &m_host;
    bool &m_tableChanged;
    QList<int> m_waiting;
    qint64 m_lastTimer2Ns = -1;
    bool m_pumpDueCheckOn = true;
    Clocked m_timer2, m_send, m_over, m_slot[MacroSlots::kSlots];
};

} // namespace qelt
