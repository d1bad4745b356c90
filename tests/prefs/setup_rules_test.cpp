#include "prefs/SetupRules.h"

#include "logic/SunTimers.h"

#include <gtest/gtest.h>

using namespace qelt;

TEST(SunTimers, ZoneHoursFromOffsetText)
{
    const struct {
        const char *text;
        int hours;
    } cases[] = {
        {"5 hours, 0 minutes", 5},
        {"-5 hours, 0 minutes", -5},
        {"-10 hours, 0 minutes", -10},
        {"10 hours, 0 minutes", 10},
        {"0 hours, 0 minutes", 0},
        {"-3 hours, -30 minutes", -3},
        {"", 0},
        {"x", 0},
    };
    for (const auto &c : cases)
        EXPECT_EQ(ZoneHoursFromOffsetText(QString::fromLatin1(c.text)), c.hours) << c.text;
}

TEST(SetupRules, KeyFilters)
{
    // Latitude and longitude: one decimal sign only, ":" and "-" accepted.
    EXPECT_TRUE(LatLongKeyAccepted('.', "31"));
    EXPECT_TRUE(LatLongKeyAccepted(',', "31"));
    EXPECT_FALSE(LatLongKeyAccepted('.', "31.5"));
    EXPECT_FALSE(LatLongKeyAccepted(',', "31.5"));
    EXPECT_FALSE(LatLongKeyAccepted('.', "31,5"));
    EXPECT_TRUE(LatLongKeyAccepted(':', "31.5"));
    EXPECT_TRUE(LatLongKeyAccepted('-', "31.5"));
    EXPECT_TRUE(LatLongKeyAccepted(8, "31.5"));
    EXPECT_FALSE(LatLongKeyAccepted('a', ""));
    EXPECT_FALSE(LatLongKeyAccepted(' ', ""));

    EXPECT_TRUE(ZoneKeyAccepted('-'));
    EXPECT_TRUE(ZoneKeyAccepted('9'));
    EXPECT_FALSE(ZoneKeyAccepted('.'));
    EXPECT_FALSE(HourKeyAccepted('-'));
    EXPECT_TRUE(HourKeyAccepted('0'));
    EXPECT_TRUE(HourKeyAccepted(8));

    for (int k = '1'; k <= '8'; ++k)
        EXPECT_TRUE(GroupKeyAccepted(k));
    EXPECT_TRUE(GroupKeyAccepted(8));
    EXPECT_FALSE(GroupKeyAccepted('0'));
    EXPECT_FALSE(GroupKeyAccepted('9'));
    EXPECT_FALSE(GroupKeyAccepted('a'));
}

TEST(SetupRules, GroupNumberAndNumbers)
{
    EXPECT_TRUE(GroupNumValid(""));
    EXPECT_TRUE(GroupNumValid("1"));
    EXPECT_TRUE(GroupNumValid("8"));
    EXPECT_FALSE(GroupNumValid("0"));
    EXPECT_FALSE(GroupNumValid("9"));
    EXPECT_FALSE(GroupNumValid("a"));

    EXPECT_TRUE(IsNumericText(".6"));
    EXPECT_TRUE(IsNumericText(" 0,6 "));
    EXPECT_TRUE(IsNumericText("-12"));
    EXPECT_FALSE(IsNumericText("abc"));
    EXPECT_FALSE(IsNumericText(""));
    EXPECT_FALSE(IsNumericText("nan"));
    EXPECT_FALSE(IsNumericText("inf"));
    EXPECT_DOUBLE_EQ(NumberFromText(".6"), 0.6);
    EXPECT_DOUBLE_EQ(NumberFromText("1,5"), 1.5);
}

TEST(SetupRules, Colours)
{
    // &H00BBGGRR values: index 6 is &H8080FF, light red.
    EXPECT_EQ(PanicOptionColour(6), QColor(0xFF, 0x80, 0x80));
    EXPECT_EQ(PanicOptionColour(1), QColor(0xC0, 0xC0, 0xFF));
    EXPECT_EQ(PanicOptionColour(9), PanicOptionColour(0));
    EXPECT_EQ(SwitchOnColour(), QColor(0, 0xFF, 0));
    EXPECT_EQ(SwitchOffColour(), QColor(0xFF, 0x80, 0x80));
}
