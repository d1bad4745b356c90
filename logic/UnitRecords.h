#pragma once

#include <QString>

// The device records of the data file: one record per house and unit
// (records 1 to 256) holding the unit's description, and the console's
// option records.
namespace qelt {

inline constexpr int RecHouse = 271;       // house code list index "0".."15"
inline constexpr int RecUnitBank = 272;    // "True" while units 9 to 16 are shown
inline constexpr int RecGroupsShown = 273; // group panel open "0"/"1"
inline constexpr int RecPanicName = 274;
inline constexpr int RecTimersOn = 275; // Check1 "0"/"1"
inline constexpr int RecPanicColour = 279;
inline constexpr int RecPanicDelay = 280; // "<minutes>,<seconds>"
inline constexpr int RecQuickGroup = 281;
inline constexpr int RecLastStart = 282; // "" until the first start

// The separator between "C12" and the description in a device record.
inline constexpr const char *kDescSeparator = "## ";

// Unit number of console row (0 to 7): row + 1, or row + 9 while units 9 to
// 16 are shown.
int RowUnit(int row, bool unitBank);

// Record of house index (0 = A .. 15 = P) and unit (1 to 16):
// houseIndex x 16 + unit. 0 when either is out of range.
int DeviceRec(int houseIndex, int unit);

// The description in a device record: the text after the first "## ", or,
// without a separator, the text from its third character on.
QString DescriptionOf(const QString &record);

// The record text for a description: house letter, unit, "## ", description.
QString DeviceRecText(const QString &houseLetter, int unit, const QString &description);

// The house letter of a list index ("A" for 0 .. "P" for 15), "" otherwise.
QString HouseLetter(int houseIndex);

} // namespace qelt
