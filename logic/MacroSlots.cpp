#include "logic/MacroSlots.h"

#include "logic/FileHelpers.h"
#include "logic/Lang.h"
#include "logic/MacroFile.h"
#include "logic/SchedulerClock.h"
#include "logic/SchedulerHost.h"
#include "logic/SendQueue.h"
#include "logic/TimerTable.h"
#include "logic/Transmitter.h"

#include <algorithm>
#include <cmath>

namespace qelt {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

} // namespace

bool ReadMacroItems(const QString &path, QStringList *items)
{
    QList<MacroItem> read;
    if (!ReadMacroFile(path, &read))
        return false;
    items->clear();
    for (const MacroItem &item : std::as_const(read))
        items->append(item.text());
    return true;
}

MacroSlots::MacroSlots(SendQueue &queue, SchedulerHost &host, const TimerTable *table)
    : m_queue(queue), m_host(host), m_table(table)
{
}

bool MacroSlots::ThreadsBusy() const
{
    for (const Slot &s : m_slot)
        if (s.enabled)
            return true;
    return false;
}

int MacroSlots::firstFree() const
{
    for (int n = 0; n < kSlots; ++n)
        if (!m_slot[n].enabled)
            return n;
    return -1;
}

QString MacroSlots::RunningMark(int n)
{
    return n == 2 ? QStringLiteral(" ...running! (mt2)")
                  : QStringLiteral(" ...running!  (mt%1)").arg(n);
}

void MacroSlots::setTimer(int n, bool enabled, int interval)
{
    Slot &s = m_slot[n];
    if (s.enabled == enabled && s.interval == interval)
        return;
    s.enabled = enabled;
    s.interval = interval;
    if (onTimerChanged)
        onTimerChanged(n);
}

QString MacroSlots::actionText(int row) const
{
    return m_table && m_table->isValidRow(row) ? m_table->row(row).action : QString();
}

void MacroSlots::load(int n, int row, const QStringList &lines, const QDateTime &startTime,
                      bool setInterval5)
{
    Slot &s = m_slot[n];
    s.lines = lines;
    s.row = row;
    s.line = 0;
    s.startTime = startTime;
    s.state = SlotState{};
    // A slot filled from the overflow list keeps its last interval; one that
    // never ran has none, so it gets the starter's 5 ms too.
    setTimer(n, true, setInterval5 || s.interval <= 0 ? 5 : s.interval);
}

void MacroSlots::stopAll()
{
    for (int n = 0; n < kSlots; ++n) {
        Slot &s = m_slot[n];
        s.lines.clear();
        s.line = 0;
        s.state = SlotState{};
        setTimer(n, false, s.interval);
    }
    MacroRunning = false;
}

void MacroSlots::tick(int n)
{
    Slot &s = m_slot[n];
    if (!s.enabled)
        return;
    WaitClock &clock = CurrentWaitClock();
    clock.processEvents();
    if (!s.enabled)
        return; // stopped while events ran
    m_host.setTimerIndicator(true);

    SlotState &st = s.state;
    if (st.Counting) {
        countDownPause(n);
        return;
    }

    st.Counting = false;
    const int i = s.line;
    const int r = s.row;
    if (n != 0 || st.LineSent)
        m_host.setLamp(true);
    const bool tickFromHere = n == 0 ? (st.LineSent && i >= 1) : i >= 2;
    if (tickFromHere && m_host.tickSoundOn())
        m_host.playTickSound();
    if (n != 0)
        MacroRunning = true;
    clock.processEvents();
    clock.sleepMs(50 + 3 * n);
    if (!s.enabled)
        return;
    if (n == 0)
        MacroRunning = true;

    const QString head = LangCap(QStringLiteral("Timer")) + u' ' + QString::number(r + 1) +
                         QStringLiteral(" : (") + actionText(r) + u')';
    logRunStart(n, head);

    if (n == 0)
        st.LineSent = true;
    const QString line = i < s.lines.size() ? s.lines[i] : QString();
    const MacroItem item = ParseMacroItem(line);
    double pause = 0; // also past the last line
    const bool pauseOk = line.isEmpty() || PauseSeconds(item.pause, &pause);
    // Four characters hold at most 9999 s as digits; a number written
    // otherwise ("9e99") would keep the slot counting down for ever.
    pause = std::min(pause, kMacroMaxPause);
    // A line is queued only as a whole frame of a valid command code.
    const bool codeOk = line.isEmpty() || (item.whole() && IsCmdCode(item.code));
    if (!pauseOk || !codeOk) {
        m_host.appendLog(kCrLf + head + kCrLf + QStringLiteral("   Bad Command = ") + line + kCrLf);
    } else if (!line.isEmpty()) {
        m_queue.add(RfFrame(item.code));
    }
    m_host.setLamp(false);

    if (pauseOk && pause > 60) {
        st.MinutesLeft = float(pause / 60.0 - 1.0);
        if (n == 0)
            st.LineSent = false;
        st.Counting = true;
        ++s.line;
        setTimer(n, true, 60000);
        return;
    }
    const double pauseMs = pauseOk ? pause * 1000.0 : 0.0;

    if (i >= s.lines.size()) {
        endRun(n, r);
        return;
    }
    ++s.line;
    // Pauses of 0.05 s or less (and blank or bad lines) would give an
    // interval of 0 or less, which never ticks: the next line follows after 1 ms.
    const double interval = n == 2 ? pauseMs : pauseMs - 50.0;
    setTimer(n, true, qBound(1, int(std::lround(interval)), 60000));
    if (s.line >= s.lines.size() && n == 0)
        st.LineSent = false;
}

// One minute of a long pause has passed: wait another, or the rest.
void MacroSlots::countDownPause(int n)
{
    SlotState &st = m_slot[n].state;
    if (st.MinutesLeft >= 1) {
        st.MinutesLeft -= 1;
        setTimer(n, true, 60000);
    } else {
        const int rest = st.MinutesLeft <= 0 ? 1 : int(std::lround(st.MinutesLeft * 60000.0));
        setTimer(n, true, qBound(1, rest, 60000));
        st.Counting = false;
        // The fraction is used up: keeping it would shorten the next long
        // pause of this run by a minute.
        st.MinutesLeft = 0;
    }
}

// The first line of a run: the log entry and the status row say it started.
void MacroSlots::logRunStart(int n, const QString &head)
{
    Slot &s = m_slot[n];
    SlotState &st = s.state;
    const int i = s.line;
    const int r = s.row;
    const QString started = LangCap(QStringLiteral("Started"));
    if (!st.StartLogged) {
        st.StartText = TimeText(s.startTime.time());
        st.MinutesLeft = 0;
        if (i == 0 && m_host.timerSoundOn())
            m_host.playTimerSound();
        m_host.appendLog(kCrLf + head + kCrLf + QStringLiteral("\t: ") + started +
                         QStringLiteral(" - ") + DateTimeText(WallNow()) + kCrLf);
        m_host.setStatus(r,
                         head + kCrLf + QStringLiteral("\t: ") + started + u' ' + st.StartText +
                             RunningMark(n),
                         kStatusRunningRgb);
        st.StartLogged = true;
    }
}

void MacroSlots::endRun(int n, int r)
{
    Slot &s = m_slot[n];
    const QString head = LangCap(QStringLiteral("Timer")) + u' ' + QString::number(r + 1);
    const QString macro = actionText(r);
    const QString startText = s.state.StartText;
    s.state.StartLogged = false;
    s.state.LineSent = false;
    s.lines.clear();
    s.line = 0;
    setTimer(n, false, s.interval);
    if (!ThreadsBusy()) {
        m_host.setTimerIndicator(false);
        m_host.frmReturn();
        MacroRunning = false;
    }
    const QString ended = LangCap(QStringLiteral("Ended"));
    const QDateTime now = WallNow();
    m_host.appendLog(kCrLf + QStringLiteral("   ") + head + QStringLiteral(": ") + ended +
                     QStringLiteral(" - ") + DateTimeText(now) + kCrLf);
    if (r <= m_host.statusRowCount() - 1)
        m_host.setStatus(r,
                         head + QStringLiteral(" : (") + macro + u')' + kCrLf +
                             QStringLiteral("     : ") + LangCap(QStringLiteral("Started")) + u' ' +
                             startText + QStringLiteral(": ") + ended + u' ' + TimeText(now.time()),
                         kStatusDoneRgb);
}

OverflowList::OverflowList(MacroSlots &macroSlots, SchedulerHost &host)
    : m_slots(macroSlots), m_host(host)
{
}

void OverflowList::setTimer(bool enabled, int interval)
{
    if (m_enabled == enabled && m_interval == interval)
        return;
    m_enabled = enabled;
    m_interval = interval;
    if (onTimerChanged)
        onTimerChanged();
}

void OverflowList::add(int row, const QDateTime &time, const QString &path)
{
    m_entries.append(QString::number(row) + u',' + TimeText(time.time()) + u',' + path);
    m_times.append(time);
    setTimer(true, m_interval);
}

void OverflowList::clear()
{
    m_entries.clear();
    m_times.clear();
    setTimer(false, m_interval);
}

void OverflowList::tick()
{
    if (m_inTick || !m_enabled)
        return;
    m_inTick = true;
    WaitClock &clock = CurrentWaitClock();
    clock.processEvents();
    if (m_entries.isEmpty()) {
        setTimer(false, m_interval);
        m_inTick = false;
        return;
    }
    setTimer(true, 250);

    // "row,time,path": the path is everything after the second comma.
    const QString entry = m_entries.first();
    const int c1 = entry.indexOf(u',');
    const int c2 = entry.indexOf(u',', c1 + 1);
    const int row = entry.left(c1).toInt();
    const QString path = entry.mid(c2 + 1);
    const QDateTime time = m_times.first();

    clock.processEvents();
    const int k = m_slots.firstFree();
    if (k < 0) {
        m_inTick = false;
        return; // the entry waits for the next tick
    }
    QStringList items;
    if (ReadMacroItems(path, &items))
        m_slots.load(k, row, items, time, false);
    else
        ReportFileNotFound(m_host, row, path); // gone since it was queued
    if (!m_entries.isEmpty() && m_entries.first() == entry) {
        m_entries.removeFirst();
        m_times.removeFirst();
    }
    if (m_entries.isEmpty())
        setTimer(false, m_interval);
    m_inTick = false;
}

} // namespace qelt
