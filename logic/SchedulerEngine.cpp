#include "logic/SchedulerEngine.h"

#include "logic/DayRule.h"
#include "logic/Lang.h"
#include "logic/SchedulerClock.h"
#include "logic/SchedulerHost.h"
#include "logic/Transmitter.h"

namespace qelt {

SchedulerEngine::SchedulerEngine(TimerTable &table_, SchedulerHost &host, bool &tableChanged)
    : table(table_), macroSlots(queue, host, &table_), overflow(macroSlots, host),
      runner(table_, macroSlots, overflow, host), due(table_), m_host(host),
      m_tableChanged(tableChanged)
{
    macroSlots.onTimerChanged = [this](int n) {
        arm(m_slot[n], macroSlots.enabled(n), macroSlots.interval(n));
        if (onTimersChanged)
            onTimersChanged();
    };
    overflow.onTimerChanged = [this] {
        arm(m_over, overflow.enabled(), overflow.interval());
        if (onTimersChanged)
            onTimersChanged();
    };
}

void SchedulerEngine::Timer2()
{
    // Timer2 ticks every 500 ms while the master switch is on; a silence
    // beyond the catch-up bound means it was switched off, and rows whose
    // time passed while off must not start now.
    const qint64 now = CurrentWaitClock().nowNs();
    const bool catchUp = m_lastTimer2Ns >= 0 && now - m_lastTimer2Ns <= kSwitchedOffNs;
    m_lastTimer2Ns = now;
    for (int row : due.collect(WallNow(), catchUp))
        if (!m_waiting.contains(row))
            m_waiting.append(row);
    startWaiting();
}

void SchedulerEngine::dueCheckSwitchedOn()
{
    m_lastTimer2Ns = -1;
    due.reset();
}

void SchedulerEngine::dueCheckSwitchedOff()
{
    m_waiting.clear();
}

void SchedulerEngine::startWaiting()
{
    // One start at a time: while a start holds, rows wait here and start in
    // the order they fell due on the ticks after the hold.
    runner.endHoldIfDue();
    if (runner.TimerStarting)
        return;
    while (!m_waiting.isEmpty()) {
        const int row = m_waiting.takeFirst();
        if (!table.isValidRow(row))
            continue;
        runner.TimerStarting = true;
        runner.CurTimer = row;
        runner.StartTimer();
        afterStart(row);
        return;
    }
}

void SchedulerEngine::afterStart(int row)
{
    if (!table.isValidRow(row) || table.row(row).dayRule != QLatin1String(kRuleOneTime))
        return;
    bool wasChanged = m_tableChanged;
    table.row(row).dayRule = QLatin1String(kRuleNever);
    if (!wasChanged) {
        const bool saved = saveTable ? saveTable() : saveWholeTable();
        // The rule change is not stored: the table stays marked changed, so
        // it is offered for saving again rather than lost.
        if (!saved)
            wasChanged = true;
    } else if (!table.storeRuleOnly(row, QLatin1String(kRuleNever), timerFilePath)) {
        m_host.appendLog(LogEntry(LangCap(QStringLiteral("Timer")) + u' ' +
                                  QString::number(row + 1) + QStringLiteral(": ") +
                                  LangCap(QStringLiteral("The timer file could not be written"))));
    }
    m_tableChanged = wasChanged;
    if (onRuleChanged)
        onRuleChanged(row);
}

bool SchedulerEngine::saveWholeTable()
{
    if (!table.save(timerFilePath))
        return false;
    table.markSaved();
    return true;
}

void SchedulerEngine::stopAll()
{
    m_waiting.clear();
    overflow.clear();
    queue.clear();
    macroSlots.stopAll();
}

// Driving without window timers --------------------------------------------

void SchedulerEngine::arm(Clocked &c, bool enabled, int interval)
{
    c.rearmed = true;
    c.dueNs = enabled ? CurrentWaitClock().nowNs() + qint64(qMax(interval, 1)) * 1'000'000 : -1;
}

qint64 SchedulerEngine::nextDueNs() const
{
    qint64 next = -1;
    auto consider = [&next](const Clocked &c) {
        if (c.dueNs >= 0 && !c.running && (next < 0 || c.dueNs < next))
            next = c.dueNs;
    };
    consider(m_timer2);
    consider(m_send);
    consider(m_over);
    for (const Clocked &c : m_slot)
        consider(c);
    return next;
}

template <typename Tick> void SchedulerEngine::runIfDue(Clocked &c, int interval, Tick tick)
{
    WaitClock &clock = CurrentWaitClock();
    if (c.running || c.dueNs < 0 || clock.nowNs() < c.dueNs)
        return;
    const qint64 due = c.dueNs;
    c.running = true;
    c.rearmed = false;
    tick();
    c.running = false;
    if (c.rearmed)
        return;
    // Unchanged timers keep their rhythm; a late one fires next a whole
    // interval after now.
    const qint64 step = qint64(qMax(interval, 1)) * 1'000'000;
    const qint64 now = clock.nowNs();
    c.dueNs = due + step > now ? due + step : now + step;
}

void SchedulerEngine::pump()
{
    const qint64 now = CurrentWaitClock().nowNs();
    if (m_send.dueNs < 0 && !m_send.running)
        m_send.dueNs = now + qint64(queue.interval()) * 1'000'000;
    if (dueCheckOn && !m_pumpDueCheckOn)
        dueCheckSwitchedOn();
    if (!dueCheckOn && m_pumpDueCheckOn)
        dueCheckSwitchedOff();
    m_pumpDueCheckOn = dueCheckOn;
    if (dueCheckOn && m_timer2.dueNs < 0 && !m_timer2.running)
        m_timer2.dueNs = now + 500'000'000;
    if (!dueCheckOn && !m_timer2.running)
        m_timer2.dueNs = -1;

    for (int n = 0; n < MacroSlots::kSlots; ++n)
        runIfDue(m_slot[n], macroSlots.interval(n), [this, n] { macroSlots.tick(n); });
    runIfDue(m_over, overflow.interval(), [this] { overflow.tick(); });
    runIfDue(m_send, queue.interval(), [this] { queue.tick(); });
    runIfDue(m_timer2, 500, [this] { Timer2(); });
}

} // namespace qelt
