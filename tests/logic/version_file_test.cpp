#include "logic/VersionFile.h"

#include "tests/support/GtestPrinters.h"

#include <gtest/gtest.h>

using namespace qelt::updater;

namespace {

TEST(VersionFile, ItemsAreReadLikeSequentialInput)
{
    const struct {
        QByteArray file;
        QStringList items;
    } cases[] = {
        {"170.1051,2400,\"New: \",\"faster, smaller\"\r\n",
         {"170.1051", "2400", "New: ", "faster, smaller"}},
        {"  170.1051 , 12 \r\n\"head\"\r\n\"tail\"", {"170.1051", "12", "head", "tail"}},
        {"170.1051\n5", {"170.1051", "5", "", ""}},
        {"", {"", "", "", ""}},
        {"\"170.1051\"", {"170.1051", "", "", ""}},
        {",,\"only head\"", {"", "", "only head", ""}},
        {"1,2,\"a\" junk,\"b\"\r\nextra,items", {"1", "2", "a", "b"}},
        {"1,2,\"unclosed, quote", {"1", "2", "unclosed, quote", ""}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(ReadVersionItems(c.file), c.items) << c.file.toStdString();
}

TEST(VersionFile, TextIsUtf8OrTheOneByteCharacterSet)
{
    EXPECT_EQ(ReadVersionItems("1,2,\"Gr\xC3\xBC\xC3\x9F\x65\"")[2], QStringLiteral("Grüße"));
    EXPECT_EQ(ReadVersionItems("1,2,\"Gr\xFC\xDF\x65\"")[2], QStringLiteral("Grüße"));
}

TEST(VersionFile, OnlyPlainDecimalNumbersAreVersions)
{
    EXPECT_EQ(VersionNumber(QStringLiteral("170.1050")), 170.105);
    EXPECT_EQ(VersionNumber(QStringLiteral(" 17 ")), 17.0);
    for (const char *bad : {"", "abc", "170.1050abc", "1e5", "-170.1", "+170", "170,1050", "170.",
                            ".5", "1.70.1050", "<html>", "\"170.1\"", "inf", "nan"})
        EXPECT_FALSE(VersionNumber(QString::fromLatin1(bad)).has_value()) << bad;
}

TEST(VersionFile, LocalVersionIsNormalisedToTheServersForm)
{
    const struct {
        const char *local;
        const char *normal;
    } cases[] = {
        {"1.70.1050", "170.1050"}, {"1.7.1050", "17.1050"}, {"170.1039", "170.1039"},
        {"2.0.1", "20.1"},         {"1701050", "1701050"},  {"", ""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(NormaliseVersion(QString::fromLatin1(c.local)), QString::fromLatin1(c.normal))
            << c.local;
}

TEST(VersionFile, NewerIsANumericComparisonOfTwoVersions)
{
    const struct {
        const char *web;
        const char *local;
        bool newer;
    } cases[] = {
        {"170.1050", "1.70.1050", false},
        {"170.105", "1.70.1050", false},
        {"170.1051", "1.70.1050", true},
        {"170.1049", "1.70.1050", false},
        {"17.1051", "1.7.1050", true},
        {"17.1050", "1.7.1050", false},
        {"170.1040", "170.1039", true}, // the default when no version is stored
        // Not versions: never newer, whichever side is wrong.
        {"abc", "1.70.1050", false},
        {"", "1.70.1050", false},
        {"999abc", "1.70.1050", false},
        {"170.1051", "garbage", false},
        {"170.1051", "", false},
    };
    for (const auto &c : cases)
        EXPECT_EQ(IsNewer(QString::fromLatin1(c.web), QString::fromLatin1(c.local)), c.newer)
            << c.web << " vs " << c.local;
}

TEST(VersionFile, NumbersShowInTheirShortestForm)
{
    EXPECT_EQ(ShortestNumber(170.1050), QStringLiteral("170.105"));
    EXPECT_EQ(ShortestNumber(17.0), QStringLiteral("17"));
    EXPECT_EQ(ShortestNumber(1701050.25), QStringLiteral("1701050.25"));
}

} // namespace
