#include "logic/QuickEditRules.h"

#include "logic/Globals.h"
#include "logic/GroupEditing.h"
#include "logic/ProgramFolder.h"
#include "logic/X10Codes.h"
#include "tests/support/FileBytes.h"

#include <gtest/gtest.h>

using namespace qelt;

namespace {

// Types `keys` into a box that starts with `start`, as its key filter lets them.
QString Typed(QuickBox box, const QString &start, const QString &keys)
{
    QString text = start;
    for (QChar key : keys) {
        const QChar c = QuickEditKey(box, key, text);
        if (c.unicode() == 8)
            text.chop(1);
        else if (!c.isNull())
            text += c;
    }
    return text;
}

} // namespace

TEST(QuickEditRules, KeyFilters)
{
    struct Case {
        QuickBox box;
        const char *start;
        const char *keys;
        const char *expected;
    } cases[] = {
        {QuickBox::House, "", "b", "B"},
        {QuickBox::House, "", "qQz1P", "P"},
        {QuickBox::Unit, "", "10", "10"},
        {QuickBox::Unit, "", "123", "12"},   // a number stops at 2 characters
        {QuickBox::Unit, "", "all1", "ALL"}, // ALL stops at 3, and a digit after it too
        {QuickBox::Unit, "", "pre", "PRE"},
        {QuickBox::Unit, "", "x-Z", ""},
        {QuickBox::Unit, "1", "\b\b5", "5"},
        {QuickBox::UnitPicker, "ALL", "1e", "ALL1E"}, // the picker has no length limit
        {QuickBox::Action, "", "on", "ON"},
        {QuickBox::Action, "", "xcbri", "BRI"},
        {QuickBox::Pause, "", "1.5.,a", "1.5"},
        {QuickBox::Pause, "", "2,5.", "2,5"},
        {QuickBox::Pause, "", "1:30", "1:30"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(Typed(c.box, QString::fromLatin1(c.start), QString::fromLatin1(c.keys)),
                  QString::fromLatin1(c.expected))
            << c.keys;

    // Typing over a selection replaces it, so the limit counts without it.
    EXPECT_EQ(QuickEditKey(QuickBox::Unit, QLatin1Char('7'), QStringLiteral("12"), 2),
              QLatin1Char('7'));
    EXPECT_TRUE(QuickEditKey(QuickBox::Unit, QLatin1Char('7'), QStringLiteral("12"), 0).isNull());
}

TEST(QuickEditRules, CorrectionsOnLeavingABox)
{
    EXPECT_EQ(CorrectUnit("P"), "PRE");
    EXPECT_EQ(CorrectUnit("A"), "ALL");
    EXPECT_EQ(CorrectUnit("7"), "7");

    struct Case {
        const char *action, *unit, *wantAction, *wantUnit;
    } cases[] = {
        {"b", "7", "BRI", "PRE"},  {"d", "", "DIM", "PRE"},     {"n", "3", "ON", "3"},
        {"f", "ALL", "OFF", ""},   {"ON", "PRE", "ON", ""},     {"aln", "4", "ALN", "ALL"},
        {"AUF", "", "AUF", "ALL"}, {"ALF", "12", "ALF", "ALL"}, {"XYZ", "5", "XYZ", "5"},
    };
    for (const Case &c : cases) {
        QString action = QString::fromLatin1(c.action);
        QString unit = QString::fromLatin1(c.unit);
        CorrectAction(action, unit);
        EXPECT_EQ(action, c.wantAction) << c.action;
        EXPECT_EQ(unit, c.wantUnit) << c.action;
    }

    struct PauseCase {
        const char *in, *out;
    } pauses[] = {
        {"0.1", "00.3"}, {"12", "0012"},   {"5", "0005"}, {"1.5", "01.5"},
        {"1,5", "01.5"}, {".5", "00.5"},   {"0", "00.3"}, {"12.50", "12.50"},
        {"abc", "ABC"},  {"1:30", "1:30"}, {"", ""},
    };
    for (const PauseCase &p : pauses)
        EXPECT_EQ(CorrectPause(QString::fromLatin1(p.in)), QString::fromLatin1(p.out)) << p.in;
}

TEST(QuickEditRules, RunningPauseReadsAsDuration)
{
    struct Case {
        const char *cell, *shown;
    } cases[] = {
        {"59.5", "59.5 sec"},  {".5", ".5 sec"},      {"", "0 sec"},
        {"60", "1m 00.0s"},    {"75", "1m 15.0s"},    {"3599.5", "59m 59.5s"},
        {"3725", "1h 2m 05s"}, {"7260", "2h 1m 00s"}, {"error", "error sec"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(RunningPauseText(QString::fromLatin1(c.cell)), QString::fromLatin1(c.shown))
            << c.cell;
    // A total far past what an integer count of minutes holds still reads
    // as hours, minutes and seconds.
    const QString huge = RunningPauseText(QStringLiteral("1e24"));
    EXPECT_TRUE(huge.startsWith(QLatin1String("2777777777777777"))) << huge.toStdString();
    EXPECT_TRUE(huge.endsWith(QLatin1String("h 56m 24s"))) << huge.toStdString();
}

TEST(QuickEditRules, PaletteCaptionsAndColumns)
{
    EXPECT_EQ(PaletteCaption(0), "A");
    EXPECT_EQ(PaletteCaption(15), "P");
    EXPECT_EQ(PaletteCaption(16), "1");
    EXPECT_EQ(PaletteCaption(31), "16");
    EXPECT_EQ(PaletteCaption(32), "PRE");
    EXPECT_EQ(PaletteCaption(33), "ALL");
    EXPECT_EQ(PaletteCaption(40), "OFF");
    EXPECT_EQ(PaletteCaption(41), "");
    // Each caption fits exactly one column: house, unit or action.
    for (int i = 0; i < kPaletteCount; ++i) {
        const int fits = int(PaletteFitsColumn(i, ColHouse)) + int(PaletteFitsColumn(i, ColUnit)) +
                         int(PaletteFitsColumn(i, ColAction));
        EXPECT_EQ(fits, 1) << i;
        EXPECT_FALSE(PaletteFitsColumn(i, ColPause));
        EXPECT_FALSE(PaletteStatus(i).isEmpty());
    }
    EXPECT_TRUE(PaletteFitsColumn(33, ColUnit));
    EXPECT_TRUE(PaletteFitsColumn(34, ColAction));
}

TEST(QuickEditRules, EnterWritesRowsByMode)
{
    const std::array<QString, 4> fields = {"B", "3", "ON", "0005"};
    MacroRows rows = EmptyMacroRows();
    // Add To End on the empty grid fills its row instead of adding one.
    EXPECT_EQ(QuickEnterRow(rows, InsertMode::AtEnd, 1, fields), 1);
    EXPECT_EQ(rows.size(), 1);
    EXPECT_EQ(QuickEnterRow(rows, InsertMode::AtEnd, 1, {"C", "4", "OFF", "0002"}), 2);
    EXPECT_EQ(QuickEnterRow(rows, InsertMode::AtEnd, 1, {"D", "5", "ON", "01.5"}), 3);
    // Add As Row Num at row 2 pushes the old row 2 down.
    EXPECT_EQ(QuickEnterRow(rows, InsertMode::AtRowNum, 2, {"E", "6", "ON", "0001"}), 2);
    ASSERT_EQ(rows.size(), 4);
    EXPECT_EQ(rows[1][ColHouse], "E");
    EXPECT_EQ(rows[2][ColHouse], "C");
    // Replace writes over the current row; nothing without a row.
    EXPECT_EQ(QuickEnterRow(rows, InsertMode::Replace, 4, {"F", "7", "OFF", "0003"}), 4);
    EXPECT_EQ(rows[3][ColHouse], "F");
    EXPECT_EQ(QuickEnterRow(rows, InsertMode::AtRowNum, 0, fields), 0);
    EXPECT_EQ(QuickEnterRow(rows, InsertMode::Replace, 0, fields), 0);
    EXPECT_EQ(rows.size(), 4);

    QuickRenumber(rows);
    const char *numbers[] = {"1", "2", "3", "4"};
    const char *running[] = {"5", "6", "8", "11"};
    for (int r = 0; r < 4; ++r) {
        EXPECT_EQ(rows[r][ColRowNum], numbers[r]);
        EXPECT_EQ(rows[r][ColRunning], running[r]);
        EXPECT_EQ(rows[r].numberShade, CellShade::Fresh);
    }
    // The pass stops at the first row without a pause.
    rows[1][ColPause].clear();
    rows[3][ColRowNum] = "x";
    QuickRenumber(rows);
    EXPECT_EQ(rows[3][ColRowNum], "x");
}

TEST(GroupEditing, ListingOfAGroupFile)
{
    SetHouseCodes();
    SetUnitCodes();
    const QString a1 = CmdToCode("A", "1", "ON");
    const QString c12 = CmdToCode("C", "12", "ON");
    EXPECT_EQ(HouseUnitText(c12), "C12");
    EXPECT_EQ(GroupSelectorText(2, "Porch"), "Group 3 (Porch)");

    const QString path = InProgramFolder("file2.grp");
    ASSERT_TRUE(test::WriteBytes(path, "\"Group 3, Porch & yard\"\r\n\"" + a1.toLatin1() +
                                           "\"\r\n\r\n\"" + c12.toLatin1() + "\"\r\n"));
    GroupListing listing;
    ASSERT_TRUE(ReadGroupListing(path, &listing));
    EXPECT_TRUE(listing.hasLabel);
    EXPECT_EQ(listing.label, "Porch & yard");
    EXPECT_EQ(listing.contents, "A1, C12");
    EXPECT_EQ(listing.lines, (QStringList{"Group 3, Porch & yard", a1, c12}));

    // Only a header: no contents and no error.
    ASSERT_TRUE(test::WriteBytes(path, "\"Group 3, \"\r\n"));
    ASSERT_TRUE(ReadGroupListing(path, &listing));
    EXPECT_TRUE(listing.hasLabel);
    EXPECT_EQ(listing.label, "");
    EXPECT_EQ(listing.contents, "");

    EXPECT_FALSE(ReadGroupListing(InProgramFolder("file7.grp"), &listing));
    EXPECT_TRUE(listing.lines.isEmpty());
}
