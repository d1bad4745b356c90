#pragma once

#include <QString>

// X10 command codes. Every command is two bytes, each held as a text of eight
// "0"/"1" characters, most significant bit first (the order they are sent):
// a house byte (house A to P, one bit selects units 9 to 16) and a
// unit/function byte. The two together form a 16-character command code.
namespace qelt {

// Fill the house table (16 house bytes, index 0 = A .. 15 = P) and the
// unit/function table (9 x 2: index 0..7 = unit 1..8 (or 9..16) ON/OFF,
// index 8 = BRIGHT/DIM). The tables also hold their values before the first
// call, so code that runs before start-up (tests, tools) sees them filled.
void SetHouseCodes();
void SetUnitCodes();

// Table accessors: HouseCodes(0..15); UnitCodes(0..8, 0 = ON/BRIGHT,
// 1 = OFF/DIM). "" for an index out of range.
QString HouseCodes(int index);
QString UnitCodes(int unit, int onOff);

// The house byte for house 1..16 (A..P); with the units 9 to 16 bank
// (`unitBank`, the console's UnitBank) its sixth character is "1". "" for a
// house out of range.
QString GetHouseBits(int house, bool unitBank);

// The house byte of "A".."P" (exact, upper case); any other text is returned
// unchanged.
QString HouseToBits(const QString &letter);
// The unit/function byte of a key such as "12ON", "PREBRI", "ALLALF"
// (exact, case-sensitive); "" for a key not in the table.
QString UnitToBits(const QString &key);

// The 16-character command code for a house letter, a unit text ("1".."16",
// "PRE", "ALL") and a function word ("ON", "OFF", "BRI", "DIM", "ALN", "ALF",
// "AUF"); house and function are taken in any case. Units 9 to 16 set the
// bank bit of the house byte. "" unless both the house and the
// unit/function key are known.
QString CmdToCode(const QString &house, const QString &unit, const QString &function);

// The words of a command code.
struct CroWords {
    QString CroHouse;       // house letter, or the undecodable house byte
    QString CroUnit;        // "1".."16", "PRE", "ALL", or the undecodable byte
    QString CroAction;      // "ON", "OFF", "BRI", "DIM", "ALN", "ALF", "AUF" or ""
    bool CroHiBank = false; // the house byte ends in "100" (units 9 to 16)

    // house letter + unit + action, e.g. "C12ON", "APREBRI", "BALLALF"
    QString text() const { return CroHouse + CroUnit + CroAction; }
};

// Decoding. BitsToHouse gives the letter of a house byte (with or without
// the bank bit); a byte that matches no house is returned unchanged.
// BitsToUnit gives the unit and action of a unit/function byte ("4" "ON",
// "PRE" "BRI", "ALL" "AUF") in the result's CroUnit and CroAction, adding 8
// to a unit number with hiBank; an unknown byte gives the byte itself as
// unit and "" as action.
QString BitsToHouse(const QString &byte);
CroWords BitsToUnit(const QString &byte, bool hiBank);

// The words of a command code.
CroWords CodeToCmd(const QString &code);

} // namespace qelt
