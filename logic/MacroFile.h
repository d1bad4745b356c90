#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// Macro files (".cro"): plain text, one command a line, each line one quoted
// item: the 16-character command code followed by the pause in seconds to
// wait after it, 4 characters left-padded with "0" ("0001", "01.5", "1.50"),
// ended by CR LF. An empty macro is an empty file. Every reader takes the
// code as the first 16 characters of an item and the pause as its last 4.
namespace qelt {

inline constexpr int kMacroCodeLength = 16;
inline constexpr int kMacroPauseLength = 4;
inline constexpr int kMacroMaxLines = 32767;
inline constexpr double kMacroMaxPause = 9999.0;

// One item of a macro file, quotes removed.
struct MacroItem {
    QString code;      // the first 16 characters (fewer when the item is short)
    QString pause;     // the last 4 characters (they overlap the code when the
                       // item is shorter than 20 characters)
    QString read = {}; // the whole item as read; empty for one made from parts

    // The item as it stands in the file between the quotes.
    QString text() const { return read.isEmpty() ? code + pause : read; }
    // Long enough to hold a code and a pause of its own.
    bool whole() const { return text().size() >= kMacroCodeLength + kMacroPauseLength; }
};

// Splits an item (with or without its quotes) into code and pause.
MacroItem ParseMacroItem(const QString &item);

// The pause text as seconds, read as a decimal number ("01.5" gives 1.5,
// " 2" gives 2). False, with *seconds 0, when it is not a number.
bool PauseSeconds(const QString &pause, double *seconds);

// The items of a macro file's text: lines split at CR LF (or a lone LF or CR),
// every double quote removed, blanks at both ends dropped. Blank lines are
// left out, so a trailing line break adds nothing.
QStringList MacroItems(const QString &fileText);

// Reads a macro file. False (and no items) when the file is missing or
// cannot be read; an empty file reads as true with no items.
bool ReadMacroFile(const QString &path, QList<MacroItem> *items);

// The pause of a number of seconds in the 4 characters of the file:
// whole seconds as "0005" .. "9999", fractions as "1.50", "0.60", "12.5",
// "999.9"; seconds below 0 count as 0, above 9999 as 9999, and a fraction
// that does not fit is rounded to the nearest form that does.
QString FormatPause(double seconds);

// A pause text made to fit the file: 4 characters stay as they are; any
// other text that is a number goes through FormatPause (so the 5-character
// "12.50" becomes "12.5"); "" when it is not a number.
QString FitPause(const QString &pause);

// One line of a file: quote, code, pause, quote, CR LF.
QString MacroLineText(const MacroItem &item);

// The whole file text for these items.
QString MacroFileText(const QList<MacroItem> &items);

// Writes a macro file, replacing any file of that name entirely (never
// appending); the old file stays as it was when the new one cannot be
// written. Items with a code that is not 16 characters or a pause that
// does not fit are refused: nothing is written and the result is false. A
// failed write gives false with the reason in *error when given.
bool WriteMacroFile(const QString &path, const QList<MacroItem> &items, QString *error = nullptr);

} // namespace qelt
