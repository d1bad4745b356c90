#pragma once

#include "logic/MacroValidation.h"

#include <QChar>
#include <QString>

#include <array>

// The rules of the editor's quick-edit panel as plain data: which keys each
// box takes, how a box corrects its text when it is left, how a running
// pause reads, the code palette, and writing the four boxes into the grid.
// Links Qt Core only.
namespace qelt {

// The boxes that filter their keys.
enum class QuickBox { House, Unit, Action, Pause, UnitPicker };

// The character a key puts into the box (upper-cased where the box wants
// capitals), or a null QChar when the box drops it. `text` is the box's text
// and `selected` the length of its selection (typing replaces it), so that
// the unit box's length limits (2 for a number, 3 for PRE/ALL) hold.
// Backspace (8) always passes; Enter is the caller's business.
QChar QuickEditKey(QuickBox box, QChar key, const QString &text, int selected = 0);

// Leaving the unit box: "P" becomes "PRE", "A" becomes "ALL".
QString CorrectUnit(const QString &unit);
// Leaving the action box: upper case, "D"/"B"/"N"/"F" expanded to
// DIM/BRI/ON/OFF; then the unit follows the action: emptied for ON/OFF with
// ALL or PRE, PRE for BRI/DIM, ALL for ALN/ALF/AUF.
void CorrectAction(QString &action, QString &unit);
// Leaving the pause box: upper case; a number below 0.3 becomes 0.3 and a
// number is left-padded with "0" to 4 characters ("5" -> "0005", "1.5" ->
// "01.5"); "," is taken as the decimal point. Anything else keeps its text.
QString CorrectPause(const QString &pause);

// A running-pause cell as the panel shows it: below a minute the cell text
// and " sec" ("12.5 sec"), then "1m 15.0s", from an hour on "1h 2m 05s".
QString RunningPauseText(const QString &runningCell);

// The code palette: 41 labels, house letters A-P (0-15), units 1-16
// (16-31), PRE, ALL, BRI, DIM, ALN, ALF, AUF, ON, OFF (32-40).
inline constexpr int kPaletteCount = 41;
QString PaletteCaption(int index);
// The English help text shown while the mouse is over a palette label.
QString PaletteStatus(int index);
// Whether palette label `index` may be written into grid column `column`.
bool PaletteFitsColumn(int index, int column);

// Where "Enter" puts the four boxes.
enum class InsertMode { Replace = 0, AtRowNum = 1, AtEnd = 2 };
// Writes house, unit, action and pause into the rows: the current row
// (Replace), a new row inserted at the current row (AtRowNum), or the last
// row, after adding one when its unit is taken (AtEnd). `currentRow` is
// 1-based, 0 = none selected. Returns the 1-based row written, 0 when none
// was (no row selected for Replace or AtRowNum).
int QuickEnterRow(MacroRows &rows, InsertMode mode, int currentRow,
                  const std::array<QString, 4> &fields);
// Numbers the rows and sums their pauses into the running-pause column, up
// to the first row whose pause is empty (the rest wait for the next check).
void QuickRenumber(MacroRows &rows);

} // namespace qelt
