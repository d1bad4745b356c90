#include "logic/MacroFile.h"

#include "logic/ProgramFolder.h"
#include "tests/support/SaveFaults.h"
#include "tests/support/Windows1252.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace qelt;

namespace {

QString Write(const QString &name, const QByteArray &bytes)
{
    const QString path = InProgramFolder(name);
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
    return path;
}

QByteArray ReadBytes(const QString &path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

} // namespace

TEST(MacroFile, ItemsAreSplitIntoCodeAndPause)
{
    const struct {
        const char *item;
        const char *code;
        const char *pause;
    } cases[] = {
        {"\"01000100000010000001\"", "0100010000001000", "0001"},
        {"01100000000000000001.5", "0110000000000000", "01.5"},
        {"0101", "0101", "0101"}, // short: readers see a short code
        {"", "", ""},
    };
    for (const auto &c : cases) {
        const MacroItem item = ParseMacroItem(QString::fromLatin1(c.item));
        EXPECT_EQ(item.code, QLatin1String(c.code)) << c.item;
        EXPECT_EQ(item.pause, QLatin1String(c.pause)) << c.item;
    }
}

TEST(MacroFile, PauseTextsAreDecimalSeconds)
{
    const struct {
        const char *text;
        bool ok;
        double seconds;
    } cases[] = {{"0001", true, 1.0},  {"01.5", true, 1.5},  {"1.50", true, 1.5},
                 {"0000", true, 0.0},  {"9999", true, 9999}, {"12.5", true, 12.5},
                 {"abcd", false, 0.0}, {"", false, 0.0},     {"1,5", false, 0.0}};
    for (const auto &c : cases) {
        double seconds = -1;
        EXPECT_EQ(PauseSeconds(QLatin1String(c.text), &seconds), c.ok) << c.text;
        EXPECT_DOUBLE_EQ(seconds, c.seconds) << c.text;
    }
}

TEST(MacroFile, ReadingDropsQuotesAndBlankLines)
{
    const QString path = Write(QStringLiteral("mixed.cro"), "\"01000100000010000001\"\r\n"
                                                            "\r\n"
                                                            "   \r\n"
                                                            "\"0100\"\n"
                                                            "\"0100010000001000abcd\"\r\n");
    QList<MacroItem> items;
    ASSERT_TRUE(ReadMacroFile(path, &items));
    ASSERT_EQ(items.size(), 3);
    EXPECT_EQ(items[0].code, QStringLiteral("0100010000001000"));
    EXPECT_EQ(items[0].pause, QStringLiteral("0001"));
    EXPECT_EQ(items[1].text(), QStringLiteral("0100")); // short line kept as it stands
    EXPECT_FALSE(items[1].whole());
    EXPECT_TRUE(items[0].whole());
    // A code without a pause is not a whole line, though its last 4
    // characters read as a number.
    EXPECT_FALSE(ParseMacroItem(QStringLiteral("\"0100010000001000\"")).whole());
    EXPECT_EQ(items[2].pause, QStringLiteral("abcd"));

    EXPECT_TRUE(ReadMacroFile(Write(QStringLiteral("empty.cro"), ""), &items));
    EXPECT_TRUE(items.isEmpty());
    EXPECT_FALSE(ReadMacroFile(InProgramFolder(QStringLiteral("missing.cro")), &items));
    EXPECT_FALSE(ReadMacroFile(QString(), &items));
}

// A one-byte letter that ends a line, or the file, is read as that letter.
TEST(MacroFile, EveryByteEndingALineOrTheFileIsRead)
{
    for (int b = 0x80; b <= 0xFF; ++b) {
        // The no-break space is a blank, which lines lose at their ends.
        if (b == 0xA0)
            continue;
        SCOPED_TRACE(b);
        const QByteArray item = QByteArray("0100010000001000Caf") + char(b);
        const QString text = QStringLiteral("0100010000001000Caf") + test::Windows1252Char(b);
        for (const QByteArray &bytes : {"\"01000100000010000001\"\r\n" + item + "\r\n",
                                        "\"01000100000010000001\"\r\n" + item}) {
            QList<MacroItem> items;
            ASSERT_TRUE(ReadMacroFile(Write(QStringLiteral("ends.cro"), bytes), &items));
            ASSERT_EQ(items.size(), 2);
            EXPECT_EQ(items[1].text(), text);
            EXPECT_EQ(items[1].pause, text.right(4));
        }
    }
}

TEST(MacroFile, PausesAreFittedToFourCharacters)
{
    const struct {
        double seconds;
        const char *text;
    } cases[] = {{1.0, "0001"},  {1.5, "1.50"},  {0.6, "0.60"},   {75, "0075"},
                 {12.5, "12.5"}, {9999, "9999"}, {123.4, "0123"}, {99999, "9999"},
                 {-3, "0000"},   {0.0, "0000"},  {9.999, "0010"}, {99.96, "0100"}};
    for (const auto &c : cases)
        EXPECT_EQ(FormatPause(c.seconds), QLatin1String(c.text)) << c.seconds;

    EXPECT_EQ(FitPause(QStringLiteral("01.5")), QStringLiteral("01.5")); // 4 characters stay
    EXPECT_EQ(FitPause(QStringLiteral("12.50")), QStringLiteral("12.5"));
    EXPECT_EQ(FitPause(QStringLiteral("5")), QStringLiteral("0005"));
    EXPECT_EQ(FitPause(QStringLiteral("ab")), QString());
    EXPECT_EQ(FitPause(QStringLiteral("abcd")), QString());
}

TEST(MacroFile, WritingReplacesTheFileWithQuotedLines)
{
    const QString path = InProgramFolder(QStringLiteral("one.cro"));
    ASSERT_TRUE(
        WriteMacroFile(path, {{QStringLiteral("0100010000001000"), QStringLiteral("1.5")}}));
    EXPECT_EQ(ReadBytes(path), QByteArray("\"01000100000010001.50\"\r\n"));
    EXPECT_EQ(ReadBytes(path).size(), 24);

    // A second save replaces the first, never appends.
    ASSERT_TRUE(
        WriteMacroFile(path, {{QStringLiteral("0110000000000000"), QStringLiteral("0075")},
                              {QStringLiteral("0110000000100000"), QStringLiteral("12.50")}}));
    EXPECT_EQ(ReadBytes(path),
              QByteArray("\"01100000000000000075\"\r\n\"011000000010000012.5\"\r\n"));

    QList<MacroItem> items;
    ASSERT_TRUE(ReadMacroFile(path, &items));
    ASSERT_EQ(items.size(), 2);
    double seconds = 0;
    EXPECT_TRUE(PauseSeconds(items[1].pause, &seconds));
    EXPECT_DOUBLE_EQ(seconds, 12.5);

    ASSERT_TRUE(WriteMacroFile(path, {}));
    EXPECT_EQ(ReadBytes(path), QByteArray());
}

TEST(MacroFile, BadItemsOrPathsWriteNothing)
{
    const QString path = InProgramFolder(QStringLiteral("keep.cro"));
    ASSERT_TRUE(
        WriteMacroFile(path, {{QStringLiteral("0100010000001000"), QStringLiteral("0001")}}));
    const QByteArray before = ReadBytes(path);

    const QList<MacroItem> bad[] = {
        {{QStringLiteral("0100"), QStringLiteral("0001")}},
        {{QStringLiteral("01000100000010\"0"), QStringLiteral("0001")}},
        {{QStringLiteral("0100010000001000"), QStringLiteral("soon")}},
    };
    for (const auto &items : bad) {
        EXPECT_FALSE(WriteMacroFile(path, items));
        EXPECT_EQ(ReadBytes(path), before);
    }
    EXPECT_FALSE(WriteMacroFile(InProgramFolder(QStringLiteral("no/such/folder/x.cro")),
                                {{QStringLiteral("0100010000001000"), QStringLiteral("0001")}}));
    EXPECT_FALSE(WriteMacroFile(QString(), {}));
}

// A macro that does not reach the disk whole is not reported saved, and the
// file keeps what it held.
TEST(MacroFile, CutWriteKeepsTheOldFile)
{
    const QString path = InProgramFolder(QStringLiteral("big.cro"));
    const QList<MacroItem> one = {{QStringLiteral("0100010000001000"), QStringLiteral("0001")}};
    ASSERT_TRUE(WriteMacroFile(path, one));
    const QByteArray before = ReadBytes(path);
    QList<MacroItem> many;
    for (int i = 0; i < 3000; ++i) // 72,000 bytes
        many.append({QStringLiteral("0110000000000000"), QStringLiteral("0005")});
    for (const auto kind : {SaveFault::DiskFull, SaveFault::Flush, SaveFault::Rename}) {
        test::ScopedSaveFault fault(kind, QStringLiteral("big.cro"), 4096);
        QString error;
        EXPECT_FALSE(WriteMacroFile(path, many, &error));
        EXPECT_FALSE(error.isEmpty());
        EXPECT_EQ(ReadBytes(path), before);
    }

    test::TinyTmpfs disk(64);
    if (!disk.mounted())
        GTEST_SKIP() << "cannot mount a tmpfs here";
    const QString onDisk = disk.path() + "/big.cro";
    ASSERT_TRUE(WriteMacroFile(onDisk, one));
    disk.fill(4096);
    EXPECT_FALSE(WriteMacroFile(onDisk, many));
    EXPECT_EQ(ReadBytes(onDisk), before);
}
