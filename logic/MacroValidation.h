#pragma once

#include <QList>
#include <QString>

#include <array>

// The macro editor's grid as plain data: the rules that check and correct
// its rows, the running pause totals, loading a macro file into rows and
// turning rows back into file items. Links Qt Core only.
namespace qelt {

struct MacroItem;

// Grid columns.
enum MacroColumn { ColHouse = 0, ColUnit, ColAction, ColPause, ColRowNum, ColRunning };
inline constexpr int kMacroColumns = 6;

// How a cell is coloured.
enum class CellShade {
    Fresh, // loaded or recorded, not yet checked
    Plain, // checked: the panel colour (row number, running total) or white
    Error, // checked and wrong
};

// One grid row (one macro line). A row whose house cell is empty is blank.
struct MacroRow {
    std::array<QString, kMacroColumns> cells;
    CellShade unitShade = CellShade::Plain;
    CellShade pauseShade = CellShade::Plain;
    CellShade numberShade = CellShade::Plain; // row number and running total

    QString &operator[](int column) { return cells[std::size_t(column)]; }
    const QString &operator[](int column) const { return cells[std::size_t(column)]; }
    bool blank() const { return cells[ColHouse].isEmpty(); }
};

// The macro lines, first line first. An empty grid holds one all-empty row.
using MacroRows = QList<MacroRow>;
MacroRows EmptyMacroRows();

// A running total as the grid shows it: rounded to two decimals, no
// trailing zeros, no leading "0" before the point, nothing for 0
// (3 -> "3", 0.5 -> ".5", 12.345 -> "12.35").
QString RunningTotalText(double total);

// The Pause cell texts that mean "no pause": "0000", "000", "00", "0", ""
// and "error".
bool IsZeroPauseText(const QString &pause);

// Checks and corrects every row: renumbers all rows, marks pauses that are
// not numbers or are one of the zero texts "error", recomputes the running
// totals (a row in error adds nothing), sets the unit to "PRE" for BRI/DIM
// and "ALL" for ALN/ALF/AUF, and marks ON/OFF with unit "ALL", "PRE" or
// "error" as a unit error. Blank rows are numbered and otherwise skipped.
void FixGrid(MacroRows &rows);

// One row from a file item: house, unit and action decoded from the code,
// the pause as stored, the row number and the given running total text.
MacroRow RowFromItem(const MacroItem &item, int number, const QString &running);

// Rows from the text of a macro file, as the editor loads one: one item a
// line (CR LF, LF or CR ends a line), quotes removed, blank lines skipped. Running totals
// add up the pauses read as numbers (a pause that is not a number adds 0).
// Always at least one row (an empty file gives the empty grid).
MacroRows RowsFromMacroText(const QString &fileText);

// Why a row stops the write.
enum class RowProblem {
    None,
    Blank,          // an empty row with commands after it
    NoUnitOrAction, // the unit or the action cell is empty
    UnitForAction,  // the unit cannot go with an ON or OFF ("ALL", "PRE", "error")
    NoCommand,      // house, unit and action make no command code
    BadPause,       // the pause cannot be stored in 4 characters
};

// Result of turning rows into file items.
struct MacroRowsToItems {
    QList<MacroItem> items; // the rows before the first that stopped the write
    int stopRow = 0;        // 1-based row that stopped the write; 0 when none
    bool badPause = false;  // that row's pause cannot be stored in 4 characters
    RowProblem problem = RowProblem::None;
};
// The items to save, in order. Writing stops at the first row whose unit or
// action is empty or whose house/unit/action make no command code (empty
// rows at the end just end the macro); it also
// stops at a row whose pause is not a number, since a line that cannot be
// played must not be written.
MacroRowsToItems ItemsFromRows(const MacroRows &rows);

// After a save: each written row takes the house, unit, action and pause
// that a load of its written item shows (a pause fitted to 4 characters, a
// house written in capitals), so the grid shows what the file holds. Row i
// of rows is item i of written. Running totals wait for the next FixGrid.
// True when a cell changed.
bool ShowWrittenItems(MacroRows &rows, const QList<MacroItem> &written);

// Deletes row r (1-based). With one row left it is emptied instead. The
// row numbers are renumbered; running totals wait for the next FixGrid.
// False when r is out of range.
bool DeleteMacroRow(MacroRows &rows, int r);

// The inline pause editor's text made into a Pause cell: left-padded with
// "0" to 4 characters.
QString PadPause(const QString &text);

} // namespace qelt
