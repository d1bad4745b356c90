#include "logic/MacroValidation.h"

#include "logic/MacroFile.h"
#include "logic/X10Codes.h"
#include "macros/frmMDelay.h"

#include <gtest/gtest.h>

using namespace qelt;

namespace {

MacroRow Row(const char *house, const char *unit, const char *action, const char *pause)
{
    MacroRow row;
    row[ColHouse] = QString::fromLatin1(house);
    row[ColUnit] = QString::fromLatin1(unit);
    row[ColAction] = QString::fromLatin1(action);
    row[ColPause] = QString::fromLatin1(pause);
    return row;
}

QString Line(const char *house, const char *unit, const char *action, const char *pause)
{
    return QLatin1Char('"') +
           CmdToCode(QString::fromLatin1(house), QString::fromLatin1(unit),
                     QString::fromLatin1(action)) +
           QString::fromLatin1(pause) + QStringLiteral("\"\r\n");
}

} // namespace

TEST(MacroValidation, RunningTotalText)
{
    const struct {
        double total;
        const char *text;
    } cases[] = {{3, "3"},     {0.5, ".5"}, {12.345, "12.35"}, {0, ""},       {10.1, "10.1"},
                 {1.999, "2"}, {0.004, ""}, {9999, "9999"},    {0.06, ".06"}, {100.5, "100.5"}};
    for (const auto &c : cases)
        EXPECT_EQ(RunningTotalText(c.total), QString::fromLatin1(c.text)) << c.total;
}

TEST(MacroValidation, FixGridCorrectsRowByRow)
{
    // house, unit, action, pause -> unit, unit error, pause, pause error, running total
    const struct {
        MacroRow in;
        const char *unit;
        bool unitError;
        const char *pause;
        bool pauseError;
        const char *running;
    } cases[] = {
        {Row("A", "3", "ON", "0005"), "3", false, "0005", false, "5"},
        {Row("A", "3", "DIM", "0002"), "PRE", false, "0002", false, "7"},
        {Row("B", "7", "BRI", "1.50"), "PRE", false, "1.50", false, "8.5"},
        {Row("A", "2", "ALF", "0001"), "ALL", false, "0001", false, "9.5"},
        {Row("A", "ALL", "ON", "0001"), "error", true, "0001", false, "10.5"},
        {Row("A", "PRE", "OFF", "0001"), "error", true, "0001", false, "11.5"},
        {Row("A", "error", "DIM", "0001"), "PRE", false, "0001", false, "12.5"},
        {Row("A", "1", "ON", "0000"), "1", false, "error", true, "12.5"},
        {Row("A", "1", "ON", "00"), "1", false, "error", true, "12.5"},
        {Row("A", "1", "ON", ""), "1", false, "error", true, "12.5"},
        {Row("A", "1", "ON", "1:30"), "1", false, "error", true, "12.5"},
        {Row("A", "1", "ON", "0.0"), "1", false, "0.0", false, "12.5"},
        {Row("A", "1", "ON", "00.0"), "1", false, "00.0", false, "12.5"},
        {Row("A", "1", "ON", ".25"), "1", false, ".25", false, "12.75"},
        // Units out of range and unknown actions are not flagged.
        {Row("A", "17", "XX", "0001"), "17", false, "0001", false, "13.75"},
    };
    MacroRows rows;
    for (const auto &c : cases)
        rows << c.in;
    rows.insert(2, MacroRow{}); // a blank row is numbered but skipped
    FixGrid(rows);

    ASSERT_EQ(rows.size(), int(std::size(cases)) + 1);
    EXPECT_EQ(rows.at(2)[ColRowNum], "3");
    EXPECT_EQ(rows.at(2)[ColRunning], "");
    rows.removeAt(2);
    for (int i = 0; i < rows.size(); ++i) {
        const auto &c = cases[i];
        const MacroRow &r = rows.at(i);
        SCOPED_TRACE(i);
        EXPECT_EQ(r[ColUnit], QString::fromLatin1(c.unit));
        EXPECT_EQ(r.unitShade == CellShade::Error, c.unitError);
        EXPECT_EQ(r[ColPause], QString::fromLatin1(c.pause));
        EXPECT_EQ(r.pauseShade == CellShade::Error, c.pauseError);
        EXPECT_EQ(r[ColRunning], QString::fromLatin1(c.running));
    }
    EXPECT_EQ(rows.at(0)[ColRowNum], "1");
    EXPECT_EQ(rows.at(2)[ColRowNum], "4"); // numbered with the blank row in place
}

TEST(MacroValidation, LoadingFileText)
{
    // Three lines of 0005: rows 1 to 3, totals 5, 10, 15, decoded cells.
    const QString three = Line("A", "1", "ON", "0005") + Line("C", "12", "OFF", "0005") +
                          Line("P", "PRE", "DIM", "0005");
    MacroRows rows = RowsFromMacroText(three);
    ASSERT_EQ(rows.size(), 3);
    EXPECT_EQ(rows.at(1)[ColHouse], "C");
    EXPECT_EQ(rows.at(1)[ColUnit], "12");
    EXPECT_EQ(rows.at(1)[ColAction], "OFF");
    EXPECT_EQ(rows.at(2)[ColUnit], "PRE");
    EXPECT_EQ(rows.at(2)[ColAction], "DIM");
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(rows.at(i)[ColRowNum], QString::number(i + 1));
        EXPECT_EQ(rows.at(i)[ColRunning], QString::number(5 * (i + 1)));
        EXPECT_EQ(rows.at(i).numberShade, CellShade::Fresh);
    }

    // Blank lines are skipped, not the end of the macro, and LF or CR line
    // ends read as CR LF do; an empty file is the empty grid.
    const QString blankInside =
        Line("A", "1", "ON", "1.50") + QStringLiteral("\r\n  \r\n") + Line("A", "2", "ON", "0001");
    for (const QString &text : {blankInside, QString(blankInside).replace("\r\n", "\n"),
                                QString(blankInside).replace("\r\n", "\r")}) {
        rows = RowsFromMacroText(text);
        ASSERT_EQ(rows.size(), 2);
        EXPECT_EQ(rows.at(0)[ColPause], "1.50");
        EXPECT_EQ(rows.at(1)[ColUnit], "2");
        EXPECT_EQ(rows.at(1)[ColRowNum], "2");
        EXPECT_EQ(rows.at(1)[ColRunning], "2.5");
    }
    rows = RowsFromMacroText({});
    ASSERT_EQ(rows.size(), 1);
    EXPECT_TRUE(rows.at(0).blank());
}

TEST(MacroValidation, RowsToFileItems)
{
    MacroRows rows{Row("A", "1", "ON", "0005"), Row("B", "PRE", "DIM", "12.50"),
                   Row("C", "3", "OFF", "0075")};
    MacroRowsToItems result = ItemsFromRows(rows);
    EXPECT_EQ(result.stopRow, 0);
    ASSERT_EQ(result.items.size(), 3);
    EXPECT_EQ(result.items.at(0).text(), CmdToCode("A", "1", "ON") + "0005");
    EXPECT_EQ(result.items.at(1).pause, "12.5"); // a 5-character pause fitted to 4
    EXPECT_EQ(result.items.at(2).pause, "0075");

    // The empty grid saves as an empty macro; trailing empty rows end it.
    EXPECT_EQ(ItemsFromRows(EmptyMacroRows()).stopRow, 0);
    EXPECT_TRUE(ItemsFromRows(EmptyMacroRows()).items.isEmpty());
    rows << MacroRow{} << MacroRow{};
    EXPECT_EQ(ItemsFromRows(rows).stopRow, 0);

    // A row without unit or action, with a bad pause, or with a blank row
    // before further commands stops the write at that row.
    const struct {
        MacroRow bad;
        bool badPause;
    } stops[] = {{Row("A", "", "ON", "0005"), false}, {Row("A", "1", "", "0005"), false},
                 {Row("", "1", "ON", "0005"), false}, {Row("A", "1", "ON", "error"), true},
                 {Row("A", "1", "ON", "1:30"), true}, {MacroRow{}, false}};
    for (const auto &s : stops) {
        MacroRows withBad{Row("A", "1", "ON", "0005"), s.bad, Row("A", "2", "ON", "0005")};
        result = ItemsFromRows(withBad);
        EXPECT_EQ(result.stopRow, 2);
        EXPECT_EQ(result.badPause, s.badPause);
        EXPECT_EQ(result.items.size(), 1);
    }
}

TEST(MacroValidation, SavedRowsShowWhatWasWritten)
{
    // Rows as saved: a pause too long for the file, a house and action typed
    // in small letters; the rows after the written ones are left alone.
    MacroRows rows{Row("a", "1", "on", "123456"), Row("B", "PRE", "DIM", "12.50"),
                   Row("c", "3", "OFF", "0075")};
    const MacroRowsToItems saved = ItemsFromRows(rows);
    ASSERT_EQ(saved.stopRow, 0);
    EXPECT_TRUE(ShowWrittenItems(rows, saved.items.mid(0, 2)));
    const char *shown[][4] = {
        {"A", "1", "ON", "9999"}, {"B", "PRE", "DIM", "12.5"}, {"c", "3", "OFF", "0075"}};
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 4; ++c)
            EXPECT_EQ(rows.at(r)[c], QString::fromLatin1(shown[r][c])) << r << " " << c;

    // Rows that already show what the file holds are not changed.
    EXPECT_FALSE(ShowWrittenItems(rows, ItemsFromRows(rows).items.mid(0, 2)));
}

TEST(MacroValidation, DeleteRowAndPadPause)
{
    MacroRows rows{Row("A", "1", "ON", "0005"), Row("B", "2", "ON", "0005"),
                   Row("C", "3", "ON", "0005")};
    EXPECT_FALSE(DeleteMacroRow(rows, 0));
    EXPECT_FALSE(DeleteMacroRow(rows, 4));
    EXPECT_TRUE(DeleteMacroRow(rows, 2));
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows.at(1)[ColHouse], "C");
    EXPECT_EQ(rows.at(1)[ColRowNum], "2");
    EXPECT_TRUE(DeleteMacroRow(rows, 1));
    EXPECT_TRUE(DeleteMacroRow(rows, 1)); // the only row is emptied, not removed
    ASSERT_EQ(rows.size(), 1);
    EXPECT_TRUE(rows.at(0).blank());

    const struct {
        const char *in, *out;
    } pads[] = {{"5", "0005"}, {"15", "0015"},   {"1.5", "01.5"},
                {"", "0000"},  {"1.50", "1.50"}, {"12.50", "12.50"}};
    for (const auto &p : pads)
        EXPECT_EQ(PadPause(QString::fromLatin1(p.in)), QString::fromLatin1(p.out));
}

TEST(PauseDialogTexts, TotalsAndResults)
{
    // minutes, seconds -> total field, result handed back
    const struct {
        const char *min, *sec, *total, *result;
    } cases[] = {{"1", "30", "0090", "0090"},   {"0", ".3", "00.3", "0.30"},
                 {"166", "39", "9999", "9999"}, {"000", "0", "0000", "0000"},
                 {"0", "2.5", "02.5", "2.50"},  {"0", "12.5", "12.5", "12.50"},
                 {"10", "", "0600", "0600"},    {"0", "2,5", "02.5", "2.50"}};
    for (const auto &c : cases) {
        const QString total =
            PauseTotalText(QString::fromLatin1(c.min), QString::fromLatin1(c.sec));
        EXPECT_EQ(total, QString::fromLatin1(c.total)) << c.min << " " << c.sec;
        EXPECT_EQ(PauseResultText(total), QString::fromLatin1(c.result));
    }
}
