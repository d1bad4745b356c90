#include "logic/Settings.h"
#include "logic/UpdateSchedule.h"
#include "tests/support/FakeWaitClock.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace qelt;

namespace {

const QDate kWednesday(2026, 12, 9);

QString setting(const char *key)
{
    return GetSet("Settings", key, "<none>");
}

class UpdateScheduleTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        QFile::remove(SettingsFilePath());
        schedule.startUpdater = [this] { ++started; };
        schedule.askYesNo = [this](const QString &prompt, const QString &title) {
            ++asked;
            lastPrompt = prompt;
            lastTitle = title;
            return answerYes;
        };
        schedule.setIndicator = [this](const QString &caption, bool visible) {
            indicator << (visible ? caption : QStringLiteral("<hidden>"));
        };
    }

    // Runs n clock ticks at the given time.
    void ticks(int n, const QDateTime &at)
    {
        for (int i = 0; i < n; ++i)
            schedule.tick(at);
    }

    test::FakeWaitClock clock;
    UpdateSchedule schedule;
    int started = 0;
    int asked = 0;
    bool answerYes = true;
    QString lastPrompt, lastTitle;
    QStringList indicator;
};

} // namespace

TEST_F(UpdateScheduleTest, FirstStartAsksAfterThirtySecondsThenChecksThisWeek)
{
    const QDateTime at(kWednesday, QTime(14, 20));
    ticks(59, at);
    EXPECT_EQ(asked, 0);
    ticks(1, at);
    ASSERT_EQ(asked, 1);
    EXPECT_EQ(lastPrompt, "Would you like to automatically check for updates once a week?\r\n"
                          "This setting can be changed anytime by clicking Menu ->\r\n"
                          "Setup Preferences, and then the Advanced tab.");
    EXPECT_EQ(lastTitle, "Automatic Check for Updates?");
    EXPECT_EQ(setting("ChkForUpdts"), "1");
    EXPECT_EQ(setting("ChkUpdtsDay"), "4");
    EXPECT_EQ(setting("ChkUpdtsTime"), "14");
    EXPECT_EQ(started, 0);

    // The next block (15 s later) starts the updater once.
    ticks(30, at);
    EXPECT_EQ(started, 1);
    EXPECT_EQ(setting("ChkType"), "autocheck");
    EXPECT_EQ(setting("CheckedUpdate"), "True");
    EXPECT_EQ(indicator, QStringList({"checking update", "<hidden>"}));
    ticks(120, at);
    EXPECT_EQ(started, 1);
    EXPECT_EQ(asked, 1);
}

TEST_F(UpdateScheduleTest, WeeklyRuleRunsOnceFromTheStoredHourAndResetsNextDay)
{
    SaveSet("Settings", "ChkForUpdts", "1");
    SaveSet("Settings", "ChkUpdtsDay", "4");
    SaveSet("Settings", "ChkUpdtsTime", "19");

    ticks(30, QDateTime(kWednesday, QTime(18, 59, 59)));
    EXPECT_EQ(started, 0);
    ticks(30, QDateTime(kWednesday, QTime(19, 0, 0)));
    EXPECT_EQ(started, 1);
    ticks(90, QDateTime(kWednesday, QTime(21, 0, 0)));
    EXPECT_EQ(started, 1);
    EXPECT_EQ(setting("CheckedUpdate"), "True");
    ticks(30, QDateTime(kWednesday.addDays(1), QTime(8, 0, 0)));
    EXPECT_EQ(setting("CheckedUpdate"), "False");
    EXPECT_EQ(started, 1);
    EXPECT_EQ(asked, 0);
}

TEST_F(UpdateScheduleTest, NoAnswerOrBadValuesStartNothing)
{
    // Answered No: stored as 0, and then never asked or checked again.
    answerYes = false;
    ticks(60, QDateTime(kWednesday, QTime(20, 0)));
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(setting("ChkForUpdts"), "0");
    ticks(600, QDateTime(kWednesday, QTime(20, 0)));
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(started, 0);

    // A weekday that is not a number matches no day.
    SaveSet("Settings", "ChkForUpdts", "1");
    SaveSet("Settings", "ChkUpdtsDay", "Wed");
    ticks(600, QDateTime(kWednesday, QTime(20, 0)));
    EXPECT_EQ(started, 0);

    // An hour that is not a number counts as hour 0.
    SaveSet("Settings", "ChkUpdtsDay", "4");
    SaveSet("Settings", "ChkUpdtsTime", "evening");
    ticks(30, QDateTime(kWednesday, QTime(0, 30)));
    EXPECT_EQ(started, 1);
}

TEST_F(UpdateScheduleTest, WeekdaysCountFromSunday)
{
    EXPECT_EQ(UpdateSchedule::Weekday(QDate(2026, 12, 6)), 1); // Sunday
    EXPECT_EQ(UpdateSchedule::Weekday(kWednesday), 4);
    EXPECT_EQ(UpdateSchedule::Weekday(QDate(2026, 12, 12)), 7); // Saturday
}
