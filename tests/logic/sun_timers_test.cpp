#include "logic/Settings.h"
#include "logic/SunTimers.h"
#include "logic/clsSunrise.h"

#include <gtest/gtest.h>

using namespace qelt;

namespace {

const QLocale k24(QLocale::German, QLocale::Germany);
const QLocale k12(QLocale::English, QLocale::UnitedStates);

} // namespace

TEST(SunTimers, ResolvesSunEntriesToClockTexts)
{
    const QTime rise(6, 12, 40), set(19, 5, 10);
    struct Case {
        const char *entry;
        bool hasAction;
        bool twelve;
        const char *expected;
    } cases[] = {
        {"SR+30", true, false, "6:42:40"},
        {"SR+30", true, true, "6:42:40 AM"},
        {"SS-75", true, false, "17:50:10"},
        {"SS-75", true, true, "5:50:10 PM"},
        {"SR", true, false, "6:12:40"},
        {"SS", true, false, "19:05:10"},
        {"SR+", true, false, "6:12:40"},    // shorter than four: no offset
        {"SR+30", false, false, "6:12:40"}, // no action: no offset
        {"SR+0", true, false, "6:12:40"},
        {"SS+300", true, false, "0:05:10"}, // past midnight stays within the day
        {"SR-400", true, false, "23:32:40"},
        {"SRX9", true, false, "SRX9"}, // offset not a number: stays as typed
        {"SR+1.5", true, false, "SR+1.5"},
        {"7:05:00", true, false, "7:05:00"},
        {"", true, false, ""},
        {"sr+30", true, false, "sr+30"}, // typing makes capitals; others stay text
    };
    for (const Case &c : cases)
        EXPECT_EQ(ResolveStartText(c.entry, c.hasAction, rise, set, c.twelve ? k12 : k24),
                  QString(c.expected))
            << c.entry << (c.twelve ? " 12h" : " 24h");
    // While the sun times are unknown a sun row cannot fall due.
    EXPECT_EQ(ResolveStartText("SR+30", true, QTime(), set, k24), QString("SR+30"));
    EXPECT_EQ(ResolveStartText("SR+999999999", true, rise, set, k24).count(u':'), 2);
}

TEST(SunTimers, LocationFromSettingsKeepsPreviousValuesForBadOnes)
{
    SaveSet("Settings", "CityLatitude", "52.5");
    SaveSet("Settings", "CityLongitude", "-13.4");
    DeleteSet("Settings", "CityZone");
    SaveSet("Settings", "DaySavings", "True");
    SunLocation l = SunLocation::FromSettings();
    EXPECT_TRUE(l.hasPlace());
    EXPECT_FALSE(l.complete()); // no zone: the labels are cleared

    clsSunrise sun;
    sun.setTimeZone(-1);
    l.applyTo(sun);
    EXPECT_DOUBLE_EQ(sun.Latitude(), 52.5);
    EXPECT_DOUBLE_EQ(sun.Longitude(), -13.4);
    EXPECT_EQ(sun.TimeZone(), -1); // missing: the previous value stays
    EXPECT_TRUE(sun.DaySavings());

    l.latitude = "north";
    l.zone = "5";
    l.daySavings = "False";
    l.applyTo(sun);
    EXPECT_DOUBLE_EQ(sun.Latitude(), 52.5);
    EXPECT_EQ(sun.TimeZone(), 5);
    EXPECT_FALSE(sun.DaySavings());
    // A decimal comma, as the location page takes it, reads as a point.
    l.latitude = "41,51";
    l.longitude = " 87,39 ";
    l.applyTo(sun);
    EXPECT_DOUBLE_EQ(sun.Latitude(), 41.51);
    EXPECT_DOUBLE_EQ(sun.Longitude(), 87.39);
    l.longitude = " ";
    EXPECT_FALSE(l.hasPlace());

    EXPECT_FALSE(SunClockTime(QDateTime()).isValid());
    EXPECT_EQ(SunClockTime(QDateTime(QDate(2026, 6, 1), QTime(5, 4, 3, 999))), QTime(5, 4, 3));
}
