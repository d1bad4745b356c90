#include "logic/Globals.h"
#include "logic/Lang.h"
#include "logic/ProgramFolder.h"
#include "tests/support/GtestPrinters.h"
#include "tests/support/Windows1252.h"

#include <gtest/gtest.h>

#include <QFile>

using namespace qelt;

namespace {

class LangTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        LangFile = InProgramFolder("language.ini");
        QFile::remove(LangFile);
    }
    void TearDown() override { QFile::remove(LangFile); }

    static void write(const QByteArray &content)
    {
        QFile f(LangFile);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(content);
    }
};

} // namespace

TEST_F(LangTest, NoFileGivesTheEnglishText)
{
    EXPECT_EQ(LangCap("&Timers"), QString("&Timers"));
    EXPECT_EQ(LangTip("All Units Off"), QString(" All Units Off "));
    EXPECT_EQ(ReadINI("t-Tips", "All Units Off", "fallback  ", LangFile), QString("fallback"));
    EXPECT_EQ(ReadINI("t-Tips", "All Units Off", "", LangFile), QString());
}

TEST_F(LangTest, LookupsIgnoreCaseAndBlanks)
{
    write("; translated by hand\r\n"
          "[Labels & Captions]\r\n"
          "&Timers=&Zeitschalter\r\n"
          "  All Units Off  =   Alle aus   \r\n"
          "Quoted=\"  Mit Blanks  \"\r\n"
          "Single='x'\r\n"
          "Half=\"open\r\n"
          "Empty=\r\n"
          "a=b=c\r\n"
          "Twice=first\r\n"
          "TWICE=second\r\n"
          "\r\n"
          "[ T-TIPS ]\r\n"
          "all units OFF=Schaltet alle Einheiten aus\r\n");

    EXPECT_EQ(LangCap("&Timers"), QString("&Zeitschalter"));
    EXPECT_EQ(LangCap("&TIMERS"), QString("&Zeitschalter"));
    EXPECT_EQ(LangCap("All Units Off"), QString("Alle aus"));
    EXPECT_EQ(LangCap("Quoted"), QString("  Mit Blanks  "));
    EXPECT_EQ(LangCap("Single"), QString("x"));
    EXPECT_EQ(LangCap("Half"), QString("\"open"));
    EXPECT_EQ(LangCap("Empty"), QString("Empty"));
    EXPECT_EQ(LangCap("a"), QString("b=c"));
    EXPECT_EQ(LangCap("Twice"), QString("first"));
    EXPECT_EQ(LangCap("Missing"), QString("Missing"));
    EXPECT_EQ(LangCap(""), QString(""));

    // Tips come from their own section, with one blank on each side.
    EXPECT_EQ(LangTip("All Units Off"), QString(" Schaltet alle Einheiten aus "));
    EXPECT_EQ(LangTip("&Timers"), QString(" &Timers "));

    EXPECT_EQ(ReadINI("labels & captions", " &timers ", "d", LangFile), QString("&Zeitschalter"));
    EXPECT_EQ(ReadINI("Labels & Captions", "Empty", "d", LangFile), QString());
    EXPECT_EQ(ReadINI("Labels & Captions", "Missing", "d", LangFile), QString("d"));
    EXPECT_EQ(ReadINI("No Section", "&Timers", "d", LangFile), QString("d"));
}

TEST_F(LangTest, CharacterSetsAndLongValues)
{
    write(QByteArray("[Labels & Captions]\nKitchen=K\xFC"
                     "che\nLong=") +
          QByteArray(3000, 'w') + "\n");
    EXPECT_EQ(LangCap("Kitchen"), QString::fromUtf8("Küche"));
    EXPECT_EQ(LangCap("Long"), QString(2047, QChar('w')));

    write("\xEF\xBB\xBF[Labels & Captions]\nKitchen=K\xC3\xBC"
          "che und Bad\n");
    EXPECT_EQ(LangCap("Kitchen"), QString::fromUtf8("Küche und Bad"));

    // A one-byte letter ending the file is part of the last value (the
    // no-break space is a blank, which values lose at their ends).
    for (int b = 0x80; b <= 0xFF; ++b) {
        if (b == 0xA0)
            continue;
        write(QByteArray("[Labels & Captions]\nKitchen=Caf") + char(b));
        EXPECT_EQ(LangCap("Kitchen"), QStringLiteral("Caf") + test::Windows1252Char(b)) << b;
    }
}

TEST_F(LangTest, MalformedFilesGiveTheEnglishText)
{
    const QByteArray files[] = {
        QByteArray("&Timers=before any section\n"),
        QByteArray("[Labels & Captions\n&Timers=unclosed section\n[t-Tips]\nTap=x"),
        QByteArray("[]\n=\n==\n[\n&Timers\n"),
        QByteArray("\x00\xFF\xFE[\x01\x02=\x03\n\n\n", 11),
        QByteArray(100000, '['),
    };
    for (const QByteArray &content : files) {
        write(content);
        EXPECT_EQ(LangTip("Tip"), QString(" Tip ")) << content.left(40).toStdString();
        EXPECT_EQ(LangCap("Other"), QString("Other"));
    }
    // The section name ends at the line's end when "]" is missing.
    write(QByteArray("[Labels & Captions\n&Timers=unclosed section\n"));
    EXPECT_EQ(LangCap("&Timers"), QString("unclosed section"));
}

TEST_F(LangTest, ANewLanguageFileIsReadAgain)
{
    write("[Labels & Captions]\n&Timers=&Zeitschalter\n");
    EXPECT_EQ(LangCap("&Timers"), QString("&Zeitschalter"));

    write("[Labels & Captions]\n&Timers=&Minuteries du soir\n");
    EXPECT_EQ(LangCap("&Timers"), QString("&Minuteries du soir"));

    // A file of the same size written at once, within the file system's
    // time-stamp resolution.
    write("[Labels & Captions]\n&Timers=&Minuteries du jour\n");
    EXPECT_EQ(LangCap("&Timers"), QString("&Minuteries du jour"));

    QFile::remove(LangFile);
    EXPECT_EQ(LangCap("&Timers"), QString("&Timers"));
}
