#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

// The four macro slots (tmrThread0..3 with their line lists lstTimer0..3)
// and the overflow list lstOverFlow with its timer TmrOverFlow.
namespace qelt {

class SchedulerHost;
class SendQueue;
class TimerTable;

// Per-slot state kept between ticks.
struct SlotState {
    QString StartText; // start time as text, taken on the run's first tick
    bool StartLogged = false;
    bool LineSent = false; // slot 0: the previous tick queued a line and more follow
    bool Counting = false; // counting a long pause down in minutes
    float MinutesLeft = 0;
};

class MacroSlots {
public:
    static constexpr int kSlots = 4;

    MacroSlots(SendQueue &queue, SchedulerHost &host, const TimerTable *table = nullptr);

    // tmrThread n: enabled = busy; interval in ms to its next tick.
    bool enabled(int n) const { return m_slot[n].enabled; }
    int interval(int n) const { return m_slot[n].interval; }
    // True when any slot is busy.
    bool ThreadsBusy() const;
    // First free slot in the order 0..3; -1 when all are busy.
    int firstFree() const;

    const QStringList &lines(int n) const { return m_slot[n].lines; }
    int SlotRow(int n) const { return m_slot[n].row; }

    // Hands a macro to free slot n: its lines, the timer row, the start time
    // shown in its entries; with setInterval5 (a timer start) the first tick
    // comes after 5 ms, otherwise after the interval the slot last had.
    void load(int n, int row, const QStringList &lines, const QDateTime &startTime,
              bool setInterval5 = true);

    // The tick of tmrThread n: queues one line's frame and sets the next
    // interval to the line's pause (pauses over 60 s are counted down in
    // minutes); after the last line the slot frees itself, and the last slot
    // to end switches the indicator off and sends the closing pattern.
    void tick(int n);

    // Stops every slot at once (the timers window's Cancel); writes nothing.
    void stopAll();

    // Set by every slot tick; cleared by the last ending slot and stopAll.
    bool MacroRunning = false;

    // Called whenever tmrThread n is enabled, disabled or gets a new interval,
    // so the window can set its timer control to match.
    std::function<void(int n)> onTimerChanged;

    // The running mark slot n adds to its status row, e.g. " ...running!  (mt0)".
    static QString RunningMark(int n);

private:
    struct Slot {
        bool enabled = false;
        int interval = 0;
        QStringList lines;
        int row = 0;
        int line = 0;
        QDateTime startTime;
        SlotState state;
    };
    void setTimer(int n, bool enabled, int interval);
    void endRun(int n, int row);
    void countDownPause(int n);
    void logRunStart(int n, const QString &head);
    QString actionText(int row) const;

    SendQueue &m_queue;
    SchedulerHost &m_host;
    const TimerTable *m_table;
    Slot m_slot[kSlots];
};

// The overflow list: macros that found all four slots busy wait here and are
// moved, first in first out, into the first slot that frees.
class OverflowList {
public:
    OverflowList(MacroSlots &macroSlots, SchedulerHost &host);

    // Appends an entry "row,time,path" and enables TmrOverFlow.
    void add(int row, const QDateTime &time, const QString &path);
    const QStringList &entries() const { return m_entries; }
    void clear();

    // TmrOverFlow: enabled only while entries wait; 500 ms, 250 ms from its
    // first tick on.
    bool enabled() const { return m_enabled; }
    int interval() const { return m_interval; }

    // The TmrOverFlow tick: moves the first entry into the first free slot;
    // with none free the entry waits for the next tick. A macro file that has
    // gone missing meanwhile is skipped with a "File Not Found" status row.
    void tick();

    std::function<void()> onTimerChanged;

private:
    void setTimer(bool enabled, int interval);

    MacroSlots &m_slots;
    SchedulerHost &m_host;
    QStringList m_entries;
    QList<QDateTime> m_times; // the start time of each entry
    bool m_enabled = false;
    int m_interval = 500;
    bool m_inTick = false;
};

// The lines of a macro file as the slots play them (code + pause, quotes
// removed, blank lines left out). False when the file cannot be read.
bool ReadMacroItems(const QString &path, QStringList *items);

} // namespace qelt
