#include "logic/Cipher.h"
#include "logic/ErrorLog.h"
#include "logic/Globals.h"
#include "logic/SerialLink.h"
#include "logic/Transmitter.h"
#include "logic/X10Codes.h"
#include "tests/support/FakeWaitClock.h"
#include "tests/support/FixedPatterns.h"

#include <QFile>
#include <QSet>

#include <gtest/gtest.h>

using namespace qelt;
using test::FakeWaitClock;
using Line = RecordingSerialLink::Line;

namespace {

// Installs a recording link and a fake clock for one test.
struct SendFixture : ::testing::Test {
    FakeWaitClock clock;
    RecordingSerialLink link;
    SendFixture()
    {
        clock.pumpRealEvents = false;
        SetCommLink(&link);
    }
    ~SendFixture() override { SetCommLink(nullptr); }
};

using DelayTest = SendFixture;
using SendBitsTest = SendFixture;

// Notes the fake time of every line change, to see where the holds fall.
struct StampingLink : RecordingSerialLink {
    const FakeWaitClock *clock = nullptr;
    QVector<qint64> at;
    void setRTSEnable(bool on) override
    {
        at.append(clock->now);
        RecordingSerialLink::setRTSEnable(on);
    }
    void setDTREnable(bool on) override
    {
        at.append(clock->now);
        RecordingSerialLink::setDTREnable(on);
    }
};

} // namespace

TEST_F(DelayTest, ZeroNegativeAndNaNReturnWithoutPumping)
{
    for (double s : {0.0, -1.0, -0.001, std::nan("")}) {
        Delay(s);
        EXPECT_EQ(clock.processCount, 0) << s;
        EXPECT_EQ(clock.now, 0) << s;
    }
}

TEST_F(DelayTest, WaitsTheTimeInFiveMillisecondTurns)
{
    Delay(0.2);
    EXPECT_GE(clock.now, 200'000'000);
    EXPECT_LT(clock.now, 205'000'001);
    EXPECT_EQ(clock.sleepCount, 40);
    EXPECT_EQ(clock.processCount, 40);

    // A wait across midnight is no different on a monotonic clock.
    clock.now = 86'399'900'000'000;
    const qint64 start = clock.now;
    Delay(0.2);
    EXPECT_NEAR(clock.elapsedSeconds(start), 0.2, 0.0051);
}

TEST_F(DelayTest, AbortEndsTheWait)
{
    // Set before the wait: one pump, then return.
    AbortSend = true;
    Delay(5.0);
    EXPECT_EQ(clock.processCount, 1);
    EXPECT_EQ(clock.now, 0);

    // Set by a handler running inside the wait.
    AbortSend = false;
    clock.processCount = 0;
    clock.onProcessEvents = [&] {
        if (clock.now >= 50'000'000)
            AbortSend = true;
    };
    Delay(3600.0);
    EXPECT_EQ(clock.now, 50'000'000);
    EXPECT_EQ(clock.processCount, 11);
}

TEST_F(DelayTest, HugeWaitDoesNotOverflow)
{
    clock.onProcessEvents = [&] {
        if (clock.processCount == 3)
            AbortSend = true;
    };
    Delay(1e30);
    EXPECT_EQ(clock.processCount, 3);
}

TEST_F(SendBitsTest, FramesDecodeBackFromTheLines)
{
    const QString code = CmdToCode("C", "12", "ON");
    const QString frame = RfFrame(code);
    ASSERT_EQ(frame, "1101010110101010" + code + "10101101");
    SendBits(frame);
    EXPECT_EQ(link.decodedBits(), frame);
    EXPECT_TRUE(link.rtsEnable());
    EXPECT_TRUE(link.dtrEnable());

    // The program's two fixed patterns reach the lines bit for bit as written.
    link.clear();
    SendBits(kLeadIn);
    SendBits(kClosingPattern);
    EXPECT_EQ(link.decodedBits(), QString(test::kLeadInBits) + test::kClosingBits);
}

TEST_F(SendBitsTest, LineOrderHoldsAndInitialWait)
{
    StampingLink stamped;
    stamped.clock = &clock;
    SetCommLink(&stamped);
    SendBits("10x");
    const QVector<std::pair<Line, bool>> expected = {
        {Line::RTS, true},  {Line::DTR, false}, {Line::RTS, true}, {Line::DTR, true}, // 1
        {Line::RTS, false}, {Line::DTR, true},  {Line::RTS, true}, {Line::DTR, true}, // 0
        {Line::RTS, false}, {Line::DTR, true},  {Line::RTS, true}, {Line::DTR, true}, // x = 0
    };
    ASSERT_EQ(stamped.changes.size(), expected.size());
    for (int i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(stamped.changes[i].line, expected[i].first) << i;
        EXPECT_EQ(stamped.changes[i].on, expected[i].second) << i;
    }
    // The 0.07 s wait comes first; then every signal state is held before
    // the standby, and every standby before the next bit (or the return),
    // each by the clock's line-state hold (no events, not whole milliseconds).
    EXPECT_GE(stamped.at[0], 70'000'000);
    EXPECT_EQ(clock.holdCount, 6);
    EXPECT_EQ(clock.heldNs, 6 * kStateHoldNs);
    for (int k = 0; k < 3; ++k) {
        const qint64 standbyEnd = k < 2 ? stamped.at[4 * k + 4] : clock.now;
        EXPECT_GE(stamped.at[4 * k + 2] - stamped.at[4 * k + 1], kStateHoldNs) << "bit " << k;
        EXPECT_GE(standbyEnd - stamped.at[4 * k + 3], kStateHoldNs) << "bit " << k;
    }
    EXPECT_FALSE(SendBusy);
}

TEST_F(SendBitsTest, EmptyStringWaitsAndSetsNoLine)
{
    SendBits("");
    EXPECT_TRUE(link.changes.isEmpty());
    EXPECT_GE(clock.now, 70'000'000);
    EXPECT_GT(clock.processCount, 0);
}

TEST_F(SendBitsTest, NoEventsRunInsideTheFrameAndNestedFramesStayWhole)
{
    const QString outer = RfFrame(CmdToCode("A", "1", "ON"));
    const QString inner = RfFrame(CmdToCode("B", "2", "OFF"));
    bool busySeen = false;
    QSet<qsizetype> changesAtPumps;
    bool sentInner = false;
    clock.onProcessEvents = [&] {
        busySeen = busySeen || SendBusy;
        changesAtPumps.insert(link.changes.size());
        if (!sentInner) {
            sentInner = true;
            SendBits(inner); // a handler that sends during the outer wait
        }
    };
    SendBits(outer);
    EXPECT_TRUE(busySeen);
    // Events ran only before a frame's first line change or between the two
    // frames, never among the bits or after the last one.
    EXPECT_TRUE(changesAtPumps.contains(0));
    EXPECT_TRUE(changesAtPumps.subtract({0, inner.size() * 4}).isEmpty());
    EXPECT_EQ(link.decodedBits(), inner + outer);
}

TEST_F(SendBitsTest, NothingIsSentOnceExitHasBegun)
{
    // Set before the call, or by a handler running in the wait before the
    // frame: no line changes at all.
    AbortSend = true;
    SendBits("1");
    EXPECT_TRUE(link.changes.isEmpty());
    EXPECT_FALSE(SendBusy);

    AbortSend = false;
    clock.onProcessEvents = [&] {
        if (clock.now >= 20'000'000)
            AbortSend = true;
    };
    SendBits(RfFrame(CmdToCode("A", "1", "ON")));
    EXPECT_TRUE(link.changes.isEmpty());
    EXPECT_FALSE(SendBusy);
}

// The transmitter draws its power from RTS and DTR: opening the port brings
// both on, and the first frame waits until it has had half a second of
// standby. Later frames keep the short wait; the bits are unchanged.
TEST_F(SendBitsTest, FirstFrameAfterAnOpenWaitsForThePowerUp)
{
    StampingLink stamped;
    stamped.clock = &clock;
    stamped.setCommPort("1");
    SetCommLink(&stamped);
    clock.now = 3'000'000'000;
    const qint64 opened = clock.now;
    ASSERT_EQ(stamped.setPortOpen(true), PortError::None);
    ASSERT_EQ(stamped.changes.size(), 2);
    EXPECT_EQ(stamped.changes[0].line, Line::RTS);
    EXPECT_EQ(stamped.changes[1].line, Line::DTR);
    EXPECT_TRUE(stamped.changes[0].on && stamped.changes[1].on);

    const QString frame = RfFrame(CmdToCode("A", "1", "ON"));
    SendBits(frame);
    EXPECT_GE(stamped.at[2] - opened, kPowerUpNs);
    EXPECT_LT(stamped.at[2] - opened, kPowerUpNs + 10'000'000);
    EXPECT_EQ(stamped.decodedBits(), frame);

    // The next frame: the usual 0.07 s only.
    const qsizetype before = stamped.changes.size();
    const qint64 ended = clock.now;
    SendBits(frame);
    EXPECT_GE(stamped.at[before] - ended, 70'000'000);
    EXPECT_LT(stamped.at[before] - ended, 80'000'000);
    EXPECT_EQ(stamped.decodedBits(), frame + frame);

    // Closed and opened again: powered up anew.
    stamped.setPortOpen(false);
    clock.now += 5'000'000'000;
    const qint64 reopened = clock.now;
    stamped.setPortOpen(true);
    const qsizetype afterOpen = stamped.changes.size();
    SendBits(frame);
    EXPECT_GE(stamped.at[afterOpen] - reopened, kPowerUpNs);

    // An open the caller reports at once counts from the open itself: a
    // frame a second later is not held back further.
    stamped.setPortOpen(false);
    stamped.setPortOpen(true);
    NoteLinkPoweredUp(&stamped);
    clock.now += 1'000'000'000;
    const qint64 later = clock.now;
    const qsizetype mark = stamped.changes.size();
    SendBits(frame);
    EXPECT_LT(stamped.at[mark] - later, 80'000'000);
    SetCommLink(&link);
}

TEST_F(SendBitsTest, NoLinkSendsNothing)
{
    SetCommLink(nullptr);
    SendBits("1010");
    EXPECT_TRUE(link.changes.isEmpty());
    EXPECT_FALSE(SendBusy);
}

TEST_F(SendBitsTest, SendCodeRefusesMalformedCodesAndLogs)
{
    QFile::remove(ErrorLogPath());
    EXPECT_FALSE(IsCmdCode(""));
    EXPECT_EQ(RfFrame("0101"), "");
    const char *bad[] = {"", "010001000001100", "01000100000110000", "010001000001100x",
                         "0100 10000011000"};
    for (const char *code : bad) {
        EXPECT_FALSE(IsCmdCode(code)) << code;
        EXPECT_FALSE(SendCode(code, "cmdON_MouseDown", "frmFire")) << code;
    }
    EXPECT_TRUE(link.changes.isEmpty());
    QFile log(ErrorLogPath());
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    // Three lines an entry; each names the code and the caller.
    const QList<QByteArray> lines = log.readAll().split('\n');
    ASSERT_EQ(lines.size(), 3 * int(std::size(bad)) + 1);
    const QByteArray last = lines[lines.size() - 2];
    const QString text = Crypt(true, QString::fromLatin1(last.mid(2, last.size() - 4)));
    EXPECT_TRUE(text.startsWith("Error ")) << text.toStdString();
    EXPECT_TRUE(text.contains(bad[std::size(bad) - 1])) << text.toStdString();
    EXPECT_TRUE(text.endsWith("), cmdON_MouseDown on frmFire")) << text.toStdString();

    const QString good = CmdToCode("P", "16", "OFF");
    EXPECT_TRUE(SendCode(good, "cmdOFF_MouseUP", "frmFire"));
    EXPECT_EQ(link.decodedBits(), RfFrame(good));
}
