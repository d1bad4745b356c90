#include "logic/Globals.h"
#include "logic/MacroSlots.h"
#include "logic/ProgramFolder.h"
#include "logic/SchedulerClock.h"
#include "logic/SchedulerEngine.h"
#include "logic/SendQueue.h"
#include "logic/Settings.h"
#include "logic/Transmitter.h"
#include "tests/logic/engine_fakes.h"

#include <gtest/gtest.h>

using namespace qelt;
using namespace qelt::test;

namespace {

const QLocale k24(QLocale::English, QLocale::UnitedKingdom);
const QString kOn = QStringLiteral("0110000000000000");  // a valid command code
const QString kOff = QStringLiteral("0110000000100000"); // another

QString writeMacro(const QString &name, const QStringList &lines)
{
    const QString path = InProgramFolder(name);
    QByteArray bytes;
    for (const QString &line : lines)
        bytes += line.toLatin1() + "\r\n";
    WriteFile(path, bytes);
    return path;
}

class SlotsFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        QLocale::setDefault(k24);
        table.setRowCount(10);
    }
    void TearDown() override { QLocale::setDefault(QLocale::system()); }

    // Ticks slot n by hand, advancing the fake clock by its interval first;
    // returns the intervals set after each tick until the slot frees.
    QList<int> playByHand(MacroSlots &ms, int n, int maxTicks = 1000)
    {
        QList<int> intervals;
        for (int t = 0; t < maxTicks && ms.enabled(n); ++t) {
            clock.advanceMs(ms.interval(n));
            ms.tick(n);
            intervals << (ms.enabled(n) ? ms.interval(n) : -1);
        }
        return intervals;
    }

    FakeWaitClock clock;
    FakeWall wall{clock, QDateTime(QDate(2026, 12, 7), QTime(7, 0, 0))};
    TimerTable table;
    FakeHost host;
    SendQueue queue;
};

} // namespace

TEST_F(SlotsFixture, LongPausesAreCountedDownInMinutes)
{
    MacroSlots ms(queue, host, &table);
    // 90 s = 60 + 30; 120 s = 60 + 60 + 1 ms, not shortened by the 90 s
    // line's leftover half minute; then a 1 s line and the end.
    ms.load(0, 0, {kOn + "0090", kOff + "0120", kOn + "0001"}, wall.now());
    EXPECT_EQ(ms.interval(0), 5);
    EXPECT_EQ(playByHand(ms, 0), (QList<int>{60000, 30000, 60000, 60000, 1, 950, -1}));
    EXPECT_EQ(queue.size(), 3);

    // 60 s is not a long pause: 59,950 ms (slot 2: 60,000); 61 s is 60 s + 1 s.
    ms.load(0, 0, {kOn + "0060", kOn + "0061"}, wall.now());
    EXPECT_EQ(playByHand(ms, 0), (QList<int>{59950, 60000, 1000, -1}));
    ms.load(2, 0, {kOn + "0060"}, wall.now());
    EXPECT_EQ(playByHand(ms, 2), (QList<int>{60000, -1}));

    // The largest pause: 60 s + 165 minutes + 39 s, never more than 60 s a tick.
    ms.load(1, 0, {kOn + "9999"}, wall.now());
    const QList<int> big = playByHand(ms, 1);
    EXPECT_EQ(big.size(), 1 + 165 + 1 + 1);
    EXPECT_EQ(big[big.size() - 2], 39000);
    EXPECT_LE(*std::max_element(big.begin(), big.end()), 60000);
    // A pause written as a huge number counts as the largest one.
    ms.load(3, 0, {kOn + "9e99"}, wall.now());
    EXPECT_EQ(playByHand(ms, 3), big);
}

TEST_F(SlotsFixture, ShortBlankAndBadLinesNeverLeaveTheSlotBusy)
{
    MacroSlots ms(queue, host, &table);
    table.row(3).action = QStringLiteral("odd.cro");
    ms.load(1, 3,
            {kOn + "00.0", kOn + "0.05", "", kOn + "zzzz",
             QStringLiteral("2222222222222222") + "0001", QStringLiteral("0001"), kOff + "0000"},
            wall.now());
    const QList<int> intervals = playByHand(ms, 1, 50);
    EXPECT_FALSE(ms.enabled(1));
    EXPECT_EQ(intervals.last(), -1);
    for (int i = 0; i + 1 < intervals.size(); ++i)
        EXPECT_GE(intervals[i], 1);
    // Only whole frames of valid codes are queued.
    ASSERT_EQ(queue.size(), 3);
    for (const QString &frame : queue.entries())
        EXPECT_TRUE(IsRfFrame(frame)) << frame.toStdString();
    EXPECT_EQ(host.log.count("   Bad Command = "), 3);
    EXPECT_TRUE(
        host.log.contains("\r\nTimer 4 : (odd.cro)\r\n   Bad Command = " + kOn + "zzzz\r\n"));
}

TEST_F(SlotsFixture, LogAndStatusTexts)
{
    MacroSlots ms(queue, host, &table);
    table.row(0).action = QStringLiteral("morning.cro");
    table.row(1).action = QStringLiteral("empty.cro");
    const QDateTime start = wall.now();
    ms.load(2, 0, {kOn + "0001"}, start);
    clock.advanceMs(5);
    ms.tick(2);
    const QString nowText = DateTimeText(wall.now());
    EXPECT_EQ(host.log, "\r\nTimer 1 : (morning.cro)\r\n\t: Started - " + nowText + "\r\n");
    EXPECT_EQ(host.status[0],
              QStringLiteral("Timer 1 : (morning.cro)\r\n\t: Started 7:00:00 ...running! (mt2)"));
    EXPECT_EQ(host.colour[0], 0x00FFFFu);
    EXPECT_TRUE(host.indicator);
    EXPECT_TRUE(ms.MacroRunning);

    // An empty macro in slot 0 ends on its first tick, but slot 2 is still
    // busy: no closing pattern yet.
    ms.load(0, 1, {}, start);
    ms.tick(0);
    EXPECT_FALSE(ms.enabled(0));
    EXPECT_EQ(host.returns, 0);
    EXPECT_TRUE(host.status[1].endsWith(" ...running!  (mt0)") == false);
    EXPECT_TRUE(
        host.status[1].startsWith("Timer 2 : (empty.cro)\r\n     : Started 7:00:00: Ended "));

    // The last slot to end sends the closing pattern and clears the indicator.
    host.log.clear();
    playByHand(ms, 2);
    EXPECT_EQ(host.returns, 1);
    EXPECT_FALSE(host.indicator);
    EXPECT_FALSE(ms.MacroRunning);
    const QDateTime end = wall.now();
    EXPECT_EQ(host.log, "\r\n   Timer 1: Ended - " + DateTimeText(end) + "\r\n");
    EXPECT_EQ(host.status[0],
              "Timer 1 : (morning.cro)\r\n     : Started 7:00:00: Ended " + TimeText(end.time()));
    EXPECT_EQ(host.colour[0], 0xFF0000u);
    EXPECT_EQ(MacroSlots::RunningMark(1), QStringLiteral(" ...running!  (mt1)"));
}

TEST_F(SlotsFixture, SoundsFollowTheWindowSwitches)
{
    MacroSlots ms(queue, host, &table);
    host.timerSound = true;
    host.tickSound = true;
    ms.load(1, 0, {kOn + "0001", kOn + "0001", kOn + "0001", kOn + "0001"}, wall.now());
    playByHand(ms, 1);
    // Start sound once; tick sound from line index 2 on (lines 2, 3 and the end tick).
    EXPECT_EQ(host.sounds, (QStringList{"timer", "tick", "tick", "tick"}));
}

TEST_F(SlotsFixture, FiveMacrosShareFourSlotsThroughTheOverflowList)
{
    RecordingLink link;
    bool tableChanged = false;
    SchedulerEngine engine(table, host, tableChanged);
    engine.due.locale = k24;
    clock.onProcessEvents = [&] { engine.pump(); };
    QStringList sent;
    engine.queue.onSent = [&](const QString &f) { sent << f; };
    SaveSet("Settings", "GPause", "0.1");

    for (int r = 0; r < 5; ++r) {
        const QString name = QStringLiteral("m%1.cro").arg(r);
        // Rows start about a second apart from 7:00:02; row 0's macro (6 s)
        // ends first, after row 4 found all four slots busy; the others take 8 s.
        QStringList lines;
        const int n = r == 0 ? 3 : 4;
        for (int l = 0; l < n; ++l)
            lines << MacroLine(kOn, "0002");
        writeMacro(name, lines);
        TimerRow &row = table.row(r);
        row.action = name;
        row.startText = row.triggerTime = QStringLiteral("7:00:02");
        row.dayRule = QStringLiteral("Everyday");
        row.macroPath = TimerTable::ActionPath(name);
    }

    // Watch when slot 0 frees and is taken again.
    qint64 freedAt = -1, retakenAt = -1;
    bool wasBusy = false;
    engine.onTimersChanged = [&] {
        const bool busy = engine.macroSlots.enabled(0);
        if (wasBusy && !busy && freedAt < 0)
            freedAt = clock.now;
        if (!wasBusy && busy && freedAt >= 0 && retakenAt < 0)
            retakenAt = clock.now;
        wasBusy = busy;
    };

    const qint64 end = clock.now + 30'000'000'000;
    while (clock.now < end) {
        engine.pump();
        const qint64 next = engine.nextDueNs();
        clock.now = (next < 0 || next > end) ? end : qMax(next, clock.now + 1);
    }

    EXPECT_TRUE(host.log.contains("Timer 5 was sent to overflow buffer to run next!"));
    EXPECT_EQ(host.colour[4], 0xFF0000u); // ended in the end
    EXPECT_TRUE(host.status[4].contains("Ended"));
    ASSERT_GE(freedAt, 0);
    ASSERT_GE(retakenAt, 0);
    EXPECT_LE(retakenAt - freedAt, 250'000'000);
    EXPECT_EQ(engine.macroSlots.SlotRow(0), 4);
    EXPECT_TRUE(engine.overflow.entries().isEmpty());
    EXPECT_FALSE(engine.overflow.enabled());
    EXPECT_EQ(sent.size(), 3 + 4 * 4);
    EXPECT_EQ(host.returns, 1);
    EXPECT_FALSE(engine.MacroRunning());
    for (int r = 0; r < 5; ++r)
        EXPECT_EQ(host.log.count(QStringLiteral("Timer %1: Ended").arg(r + 1)), 1) << r;
}
