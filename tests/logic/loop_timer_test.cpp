#include "logic/LoopTimer.h"
#include "logic/Transmitter.h"

#include <gtest/gtest.h>

using namespace qelt;

namespace {

const QString kOn = "0110000000000000";
const QString kOff = "0110000000100000";

} // namespace

TEST(LoopTimer, TypedTimesAndTheDailyWindow)
{
    EXPECT_EQ(ParseTypedTime("8:00:00"), QTime(8, 0, 0));
    EXPECT_EQ(ParseTypedTime(" 17:30 "), QTime(17, 30, 0));
    EXPECT_EQ(ParseTypedTime("9:15:05 PM"), QTime(21, 15, 5));
    EXPECT_EQ(ParseTypedTime("12:00:00 AM"), QTime(0, 0, 0));
    for (const char *bad : {"", "8", "25:00", "8:61", "8:00:00:00", "13:00 PM", "8:-1", "8:00 XM"})
        EXPECT_FALSE(ParseTypedTime(bad).isValid()) << bad;

    struct Case {
        bool use;
        QTime now;
        const char *start, *end;
        bool open;
    } cases[] = {
        {false, QTime(3, 0), "", "", true},
        {true, QTime(9, 30), "8:00:00", "17:00:00", true}, // compared as times, not texts
        {true, QTime(8, 0), "8:00:00", "17:00:00", false}, // strictly after the start
        {true, QTime(17, 0), "8:00:00", "17:00:00", false},
        {true, QTime(17, 0, 1), "8:00:00", "17:00:00", false},
        {true, QTime(23, 0), "22:00:00", "6:00:00", true}, // over midnight
        {true, QTime(5, 59, 59), "22:00:00", "6:00:00", true},
        {true, QTime(12, 0), "22:00:00", "6:00:00", false},
        {true, QTime(12, 0), "", "17:00:00", false}, // not a time: closed
        {true, QTime(12, 0), "8:00:00", "soon", false},
        {true, QTime(12, 0), "12:00:00", "12:00:00", false},
    };
    for (const Case &c : cases)
        EXPECT_EQ(LoopWindowOpen(c.use, c.now, c.start, c.end), c.open)
            << c.now.toString().toStdString() << " " << c.start << "-" << c.end;
}

TEST(LoopTimer, DayRulesStopOnlyTheirDays)
{
    // Qt weekdays: Monday 1 .. Sunday 7.
    struct Case {
        const char *rule;
        int weekday;
        const char *stop;
    } cases[] = {
        {"Everyday", 6, ""},
        {"Weekdays", 6, "Set for Weekdays only: Stopped for Weekend "},
        {"Weekdays", 7, "Set for Weekdays only: Stopped for Weekend "},
        {"Weekdays", 5, ""},
        {"Weekends", 1, "Set for Weekends only: Stopped for Weekdays "},
        {"Weekends", 7, ""},
        {"Sun - Thu", 5, "Set for Sunday - Thursday only: Stopped! "},
        {"Sun - Thu", 6, "Set for Sunday - Thursday only: Stopped! "},
        {"Sun - Thu", 7, ""},
        {"Sun - Thu", 4, ""},
        {"Fri & Sat", 7, "Set for Friday and Saturday only: Stopped! "},
        {"Fri & Sat", 4, "Set for Friday and Saturday only: Stopped! "},
        {"Fri & Sat", 5, ""},
        {"Fri & Sat", 6, ""},
    };
    for (const Case &c : cases)
        EXPECT_EQ(LoopDayStop(c.rule, c.weekday), QString(c.stop)) << c.rule << " " << c.weekday;
}

TEST(LoopTimer, PlaysLinesWithTheirPausesAndHoldsOnlyBetweenPasses)
{
    EXPECT_EQ(LoopTimer::IntervalMs("0002", false), 2000);
    EXPECT_EQ(LoopTimer::IntervalMs("00.5", false), 1050);
    EXPECT_EQ(LoopTimer::IntervalMs("01.1", true), 1050); // flash takes 0.2 s off
    EXPECT_EQ(LoopTimer::IntervalMs("0003", true), 2800);
    EXPECT_EQ(LoopTimer::IntervalMs("abcd", false), 1050);
    EXPECT_EQ(LoopTimer::IntervalMs("9999", false), 9999000);
    EXPECT_EQ(LoopTimer::IntervalMs("9e99", false), 9999000); // no overflow of the clock
    EXPECT_EQ(LoopTimer::IntervalMs("1e10", true), 9999000);

    LoopTimer loop;
    loop.lines = {kOn + "0002", kOff + "0002", kOn + "0005"};
    const int monday = 1, saturday = 6;
    QList<int> intervals;
    QStringList frames;
    for (int k = 0; k < 4; ++k) {
        const LoopTimer::Tick t = loop.tick(true, true, "Weekdays", monday, false, "", "");
        intervals << t.nextInterval;
        frames << t.frame;
        EXPECT_EQ(t.state, QString("Running ... "));
        EXPECT_EQ(t.rgb, int(kLoopRunningRgb));
    }
    EXPECT_EQ(intervals, (QList<int>{2000, 2000, 5000, 2000}));
    EXPECT_EQ(frames, (QStringList{RfFrame(kOn), RfFrame(kOff), RfFrame(kOn), RfFrame(kOn)}));

    // Saturday and the window closing mid-pass: the pass completes first.
    LoopTimer::Tick t = loop.tick(false, true, "Weekdays", saturday, false, "8:00:00", "17:00:00");
    EXPECT_EQ(t.frame, RfFrame(kOff));
    t = loop.tick(false, true, "Weekdays", saturday, false, "8:00:00", "17:00:00");
    EXPECT_EQ(t.frame, RfFrame(kOn));
    EXPECT_TRUE(loop.LoopAtBoundary);
    t = loop.tick(false, true, "Weekdays", saturday, false, "8:00:00", "17:00:00");
    EXPECT_TRUE(t.frame.isEmpty());
    EXPECT_EQ(t.state, QString("Set for 8:00:00 to 17:00:00. Not Running"));
    t = loop.tick(true, true, "Weekdays", saturday, false, "", "");
    EXPECT_TRUE(t.frame.isEmpty());
    EXPECT_EQ(t.state, QString("Set for Weekdays only: Stopped for Weekend "));
    EXPECT_EQ(t.rgb, int(kLoopStoppedRgb));
    EXPECT_EQ(t.nextInterval, 1500);
    // Switched off: nothing happens.
    t = loop.tick(true, false, "Everyday", saturday, false, "", "");
    EXPECT_FALSE(t.statusChanged);
    EXPECT_EQ(loop.LoopLine, 0);

    // Lines whose code is not a command are not sent; an empty list sends nothing.
    loop.lines = {"garbage line 00001", kOn + "0001"};
    t = loop.tick(true, true, "Everyday", monday, true, "", "");
    EXPECT_TRUE(t.frame.isEmpty());
    EXPECT_FALSE(t.flash);
    EXPECT_EQ(t.nextInterval, 1050);
    t = loop.tick(true, true, "Everyday", monday, true, "", "");
    EXPECT_EQ(t.frame, RfFrame(kOn));
    EXPECT_TRUE(t.flash);
    loop.reset();
    t = loop.tick(true, true, "Everyday", monday, false, "", "");
    EXPECT_TRUE(t.frame.isEmpty());
    EXPECT_TRUE(loop.LoopAtBoundary);
}
