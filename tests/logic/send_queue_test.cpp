#include "logic/SendQueue.h"
#include "logic/Settings.h"
#include "logic/Transmitter.h"
#include "tests/logic/engine_fakes.h"

#include <gtest/gtest.h>

using namespace qelt;
using namespace qelt::test;

namespace {

QString frame(int unitBit)
{
    QString code = QStringLiteral("0110000000000000");
    code[8 + unitBit] = u'1';
    return RfFrame(code);
}

// Runs tmrSendBits every 100 ms (the first tick after 50 ms) for ms.
QList<qint64> runQueue(SendQueue &queue, FakeWaitClock &clock, qint64 ms, QStringList *sent)
{
    QList<qint64> times;
    queue.onSent = [&](const QString &f) {
        times << clock.now;
        if (sent)
            *sent << f;
    };
    const qint64 end = clock.now + ms * 1'000'000;
    qint64 next = clock.now + qint64(queue.interval()) * 1'000'000;
    while (next < end) {
        if (clock.now < next)
            clock.now = next;
        queue.tick();
        next += qint64(queue.interval()) * 1'000'000;
        if (next < clock.now) // a tick that ran past its next turn: it fires at once
            next = clock.now;
    }
    return times;
}

} // namespace

TEST(SendQueue, FramesGoOutInOrderWithTheGPauseAfterEach)
{
    FakeWaitClock clock;
    RecordingLink link;
    SendQueue queue;
    SaveSet("Settings", "GPause", "0.3");
    for (int i = 0; i < 3; ++i)
        queue.add(frame(i));
    QStringList sent;
    const QList<qint64> times = runQueue(queue, clock, 3000, &sent);
    EXPECT_EQ(sent, (QStringList{frame(0), frame(1), frame(2)}));
    EXPECT_EQ(link.bits(), frame(0) + frame(1) + frame(2));
    ASSERT_EQ(times.size(), 3);
    for (int i = 1; i < 3; ++i) {
        const double gap = double(times[i] - times[i - 1]) / 1e9;
        EXPECT_GE(gap, 0.3 + 0.07) << i;
        EXPECT_LE(gap, 0.3 + 0.07 + 0.05 + 0.1) << i;
    }
    EXPECT_EQ(queue.interval(), 100);
}

TEST(SendQueue, GPauseSettings)
{
    const struct {
        const char *value;
        double pause;
    } cases[] = {{"0.6", 0.6}, {"0", 0.0},   {"1.25", 1.25}, {"abc", 0.6}, {"", 0.6},
                 {"-2", 0.0},  {"nan", 0.6}, {"inf", 0.6},   {".6", 0.6},  {"0,8", 0.8}};
    for (const auto &c : cases) {
        SaveSet("Settings", "GPause", c.value);
        EXPECT_DOUBLE_EQ(SendQueue::GPause(), c.pause) << c.value;
    }
    DeleteSet("Settings", "GPause");
    EXPECT_DOUBLE_EQ(SendQueue::GPause(), 0.6);

    // With "0" a frame goes out on every tick: no pause after the frame.
    FakeWaitClock clock;
    RecordingLink link;
    SendQueue queue;
    SaveSet("Settings", "GPause", "0");
    for (int i = 0; i < 4; ++i)
        queue.add(frame(i));
    const QList<qint64> times = runQueue(queue, clock, 1000, nullptr);
    ASSERT_EQ(times.size(), 4);
    for (int i = 1; i < 4; ++i)
        EXPECT_LE((times[i] - times[i - 1]) / 1'000'000, 120) << i; // the frame's own time

    // A pause that is not a number does not stop the queue.
    SaveSet("Settings", "GPause", "fast please");
    queue.add(frame(5));
    queue.add(frame(6));
    EXPECT_EQ(runQueue(queue, clock, 3000, nullptr).size(), 2);
}

TEST(SendQueue, BadEntriesAreDroppedAndTheQueueGoesOn)
{
    FakeWaitClock clock;
    RecordingLink link;
    SendQueue queue;
    SaveSet("Settings", "GPause", "0.1");
    queue.add(QString());
    queue.add(frame(1));
    queue.add(QStringLiteral("1101010110101010") + "01100000000000001010110"); // one short
    queue.add(QStringLiteral("1101010110101010") + "0110000000000002" + "10101101");
    queue.add(frame(2));
    QStringList sent;
    runQueue(queue, clock, 3000, &sent);
    EXPECT_TRUE(queue.isEmpty());
    EXPECT_EQ(sent, (QStringList{frame(1), frame(2)}));
    EXPECT_EQ(link.bits(), frame(1) + frame(2));
}

TEST(SendQueue, TicksDuringAFrameOrItsPauseSendNothing)
{
    FakeWaitClock clock;
    RecordingLink link;
    SendQueue queue;
    SaveSet("Settings", "GPause", "0.5");
    queue.add(frame(0));
    queue.add(frame(1));
    int nestedTicks = 0;
    int sentCount = 0;
    queue.onSent = [&](const QString &) { ++sentCount; };
    // The timer fires again (and again) while the first frame goes out.
    clock.onProcessEvents = [&] {
        ++nestedTicks;
        queue.tick();
    };
    queue.tick();
    EXPECT_GT(nestedTicks, 5);
    EXPECT_EQ(sentCount, 1);
    EXPECT_TRUE(queue.busy()); // pausing
    clock.onProcessEvents = nullptr;
    clock.advanceMs(499);
    queue.tick();
    EXPECT_EQ(sentCount, 1);
    clock.advanceMs(1);
    EXPECT_FALSE(queue.busy());
    queue.tick();
    EXPECT_EQ(sentCount, 2);
    EXPECT_EQ(link.bits(), frame(0) + frame(1));

    // An empty queue sends nothing and makes no pause.
    clock.advanceMs(500);
    const qint64 before = clock.now;
    queue.tick();
    EXPECT_EQ(clock.now, before);
    EXPECT_FALSE(queue.busy());
}
