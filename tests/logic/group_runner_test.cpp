#include "logic/GroupRunner.h"

#include "logic/Globals.h"
#include "logic/GroupFile.h"
#include "logic/ProgramFolder.h"
#include "logic/SerialLink.h"
#include "logic/Settings.h"
#include "logic/Transmitter.h"
#include "tests/support/FakeWaitClock.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace qelt;

namespace {

const QString kHead = QStringLiteral("1101010110101010");
const QString kTail = QStringLiteral("10101101");
const QString kA1On = QStringLiteral("0110000000000000");
const QString kC12On = QStringLiteral("0000010001000000");
const QString kAlreadyOff = QStringLiteral("0110000000100000");

class GroupRunnerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ExePath = ProgramFolder();
        for (int n = 0; n < kGroupCount; ++n)
            QFile::remove(GroupFilePath(ExePath, n));
        DeleteSet("Database16", "GrDelay");
        link.setPortOpen(true);
        SetCommLink(&link);
    }
    void TearDown() override { SetCommLink(nullptr); }
    // Times (fake seconds) at which each frame began, recorded from the
    // first line change of the frame.
    QString Frame(const QString &code) const { return kHead + code + kTail; }

    RecordingSerialLink link;
    test::FakeWaitClock clock;
};

} // namespace

TEST_F(GroupRunnerTest, OnRunSendsEveryCodeWithTheGroupPauseAfterEach)
{
    ASSERT_TRUE(SaveGroupFile(ExePath, 0, "Hall", {kA1On, kC12On}));
    struct Case {
        QString grDelay;
        double wait;
    } cases[] = {{"", 0.6}, {"15", 1.5}, {"abc", 0.6}, {"0", 0.0}};
    for (const Case &c : cases) {
        if (c.grDelay.isEmpty())
            DeleteSet("Database16", "GrDelay");
        else
            SaveSet("Database16", "GrDelay", c.grDelay);
        EXPECT_DOUBLE_EQ(GroupWaitSeconds(), c.wait);
        link.clear();
        const qint64 start = clock.now;
        int sent = -1;
        ASSERT_TRUE(SendGroup(ExePath, 0, false, &sent));
        EXPECT_EQ(sent, 2);
        EXPECT_EQ(link.decodedBits(), Frame(kA1On) + Frame(kC12On));
        // Two frames (0.07 s lead each plus the held line states) and two pauses.
        const double elapsed = clock.elapsedSeconds(start);
        EXPECT_GE(elapsed, 2 * 0.07 + 2 * c.wait) << c.grDelay.toStdString();
        EXPECT_LT(elapsed, 2 * 0.07 + 2 * c.wait + 0.2) << c.grDelay.toStdString();
    }
}

TEST_F(GroupRunnerTest, OffRunSetsTheEleventhCharacter)
{
    ASSERT_TRUE(SaveGroupFile(ExePath, 5, "x", {kA1On, kAlreadyOff, kC12On}));
    ASSERT_TRUE(SendGroup(ExePath, 5, true));
    EXPECT_EQ(link.decodedBits(),
              Frame("0110000000100000") + Frame(kAlreadyOff) + Frame("0000010001100000"));
    EXPECT_EQ(GroupOffCode(kA1On), kAlreadyOff);
    EXPECT_EQ(GroupOffCode("0101"), "0101");
}

TEST_F(GroupRunnerTest, MissingHeaderlessOrMalformedGroupsSendNothingMalformed)
{
    int sent = -1;
    EXPECT_TRUE(SendGroup(ExePath, 2, false, &sent));
    EXPECT_EQ(sent, 0);
    EXPECT_TRUE(link.changes.isEmpty());

    ASSERT_TRUE(SaveGroupFile(ExePath, 2, "only a title", {}));
    EXPECT_TRUE(SendGroup(ExePath, 2, false, &sent));
    EXPECT_EQ(sent, 0);

    QFile f(GroupFilePath(ExePath, 2));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("\r\n\"0110\"\r\n\"" + kA1On.toLatin1() +
            "\"\r\n\"01100000000000002222\"\r\n\"abc\"\r\n");
    f.close();
    EXPECT_TRUE(SendGroup(ExePath, 2, false, &sent));
    EXPECT_EQ(sent, 2);
    EXPECT_EQ(link.decodedBits(), Frame(kA1On) + Frame(kA1On));
}

TEST_F(GroupRunnerTest, GroupNumberOutsideTheEightIsRefused)
{
    ASSERT_TRUE(SaveGroupFile(ExePath, 0, "x", {kA1On}));
    for (int row : {-1, 8, 9, 100}) {
        int sent = -1;
        EXPECT_FALSE(SendGroup(ExePath, row, false, &sent)) << row;
        EXPECT_EQ(sent, 0);
    }
    EXPECT_TRUE(link.changes.isEmpty());
    EXPECT_EQ(GroupActionOff("ON"), 0);
    EXPECT_EQ(GroupActionOff("OFF"), 1);
    EXPECT_EQ(GroupActionOff("on"), -1);
    EXPECT_EQ(GroupActionOff("DIM"), -1);
}

TEST_F(GroupRunnerTest, AbortStopsARunBetweenFrames)
{
    ASSERT_TRUE(SaveGroupFile(ExePath, 0, "x", {kA1On, kC12On, kA1On}));
    clock.onProcessEvents = [&] {
        if (!link.changes.isEmpty())
            AbortSend = true;
    };
    int sent = 0;
    SendGroup(ExePath, 0, false, &sent);
    EXPECT_EQ(sent, 1);
    EXPECT_EQ(link.decodedBits(), Frame(kA1On));
}

TEST_F(GroupRunnerTest, DelayedGroupRunsOnlyForOneSecondOrMore)
{
    ASSERT_TRUE(SaveGroupFile(ExePath, 1, "x", {kA1On}));
    SaveSet("Database16", "GrDelay", "0");
    const auto run = [](bool off) { SendGroup(ExePath, 1, off); };
    for (const QString &result : {QString(""), QString("0"), QString("0.5"), QString("abc")}) {
        EXPECT_FALSE(RunDelayedGroup(DelayedGroupSeconds(result), run)) << result.toStdString();
    }
    EXPECT_TRUE(link.changes.isEmpty());

    const qint64 start = clock.now;
    EXPECT_TRUE(RunDelayedGroup(DelayedGroupSeconds("150"), run));
    EXPECT_EQ(link.decodedBits(), Frame(kA1On) + Frame(GroupOffCode(kA1On)));
    EXPECT_GE(clock.elapsedSeconds(start), 150.0);
    EXPECT_LT(clock.elapsedSeconds(start), 150.5);
}

TEST_F(GroupRunnerTest, PanicRunsOnThenOffAfterItsDelay)
{
    ASSERT_TRUE(SaveGroupFile(ExePath, 3, "Panic", {kC12On}));
    SaveSet("Database16", "GrDelay", "0");
    const int row = PanicGroupRow("4");
    ASSERT_EQ(row, 3);
    std::vector<std::pair<bool, double>> runs;
    const auto run = [&](bool off) {
        runs.emplace_back(off, clock.elapsedSeconds());
        SendGroup(ExePath, row, off);
    };
    const double total = PanicTotalSeconds("1", "30");
    EXPECT_DOUBLE_EQ(total, 90.0);
    EXPECT_TRUE(RunPanic(total, run));
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_FALSE(runs[0].first);
    EXPECT_TRUE(runs[1].first);
    EXPECT_GE(runs[1].second - runs[0].second, 90.0);
    EXPECT_LT(runs[1].second - runs[0].second, 90.5);
    EXPECT_EQ(link.decodedBits(), Frame(kC12On) + Frame(GroupOffCode(kC12On)));

    link.clear();
    EXPECT_FALSE(RunPanic(PanicTotalSeconds("0", ""), run));
    EXPECT_EQ(link.decodedBits(), Frame(kC12On));
}

TEST_F(GroupRunnerTest, PanicSettingsParsing)
{
    EXPECT_EQ(PanicGroupRow(""), kPanicNotSetUp);
    EXPECT_EQ(PanicGroupRow("1"), 0);
    EXPECT_EQ(PanicGroupRow("8"), 7);
    EXPECT_EQ(PanicGroupRow("9"), kPanicInvalid);
    EXPECT_EQ(PanicGroupRow("0"), kPanicInvalid);
    EXPECT_EQ(PanicGroupRow("x"), kPanicInvalid);
    EXPECT_DOUBLE_EQ(PanicTotalSeconds("", "45"), 45.0);
    EXPECT_DOUBLE_EQ(PanicTotalSeconds("2", "x"), 120.0);
    const PanicRgb six = PanicBackColour("6");
    EXPECT_EQ(six.red, 255);
    EXPECT_EQ(six.green, 128);
    const PanicRgb other = PanicBackColour("7");
    EXPECT_EQ(other.red, 224);
    EXPECT_EQ(other.blue, 224);
}
