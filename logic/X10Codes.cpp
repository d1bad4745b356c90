#include "logic/X10Codes.h"

#include "logic/Globals.h"

#include <array>

namespace qelt {

namespace {

constexpr std::array<const char *, 16> kHouseBytes = {
    "01100000", "01110000", "01000000", "01010000", // A B C D
    "10000000", "10010000", "10100000", "10110000", // E F G H
    "11100000", "11110000", "11000000", "11010000", // I J K L
    "00000000", "00010000", "00100000", "00110000", // M N O P
};

// Unit 1..8 (and 9..16) ON / OFF, then BRIGHT / DIM.
constexpr std::array<std::array<const char *, 2>, 9> kUnitBytes = {{
    {"00000000", "00100000"},
    {"00010000", "00110000"},
    {"00001000", "00101000"},
    {"00011000", "00111000"},
    {"01000000", "01100000"},
    {"01010000", "01110000"},
    {"01001000", "01101000"},
    {"01011000", "01111000"},
    {"10001000", "10011000"},
}};

// Function bytes of the ALL commands.
constexpr const char *kAllLightsOn = "10010000";
constexpr const char *kAllLightsOff = "11000000";
constexpr const char *kAllUnitsOff = "10000000";

std::array<QString, 16> makeHouseTable()
{
    std::array<QString, 16> t;
    for (size_t i = 0; i < t.size(); ++i)
        t[i] = QString::fromLatin1(kHouseBytes[i]);
    return t;
}

std::array<std::array<QString, 2>, 9> makeUnitTable()
{
    std::array<std::array<QString, 2>, 9> t;
    for (size_t u = 0; u < t.size(); ++u)
        for (size_t k = 0; k < 2; ++k)
            t[u][k] = QString::fromLatin1(kUnitBytes[u][k]);
    return t;
}

std::array<QString, 16> g_houseCodes = makeHouseTable();
std::array<std::array<QString, 2>, 9> g_unitCodes = makeUnitTable();

// The house byte with its bank bit (sixth character) set.
QString withBank(const QString &houseByte)
{
    return houseByte.left(5) + QStringLiteral("100");
}

// Unit number 1..16 for a text of decimal digits, else 0.
int unitNumber(const QString &unit)
{
    bool ok = false;
    const int n = unit.toInt(&ok);
    return ok && n >= 1 && n <= 16 ? n : 0;
}

} // namespace

void SetHouseCodes()
{
    g_houseCodes = makeHouseTable();
}
void SetUnitCodes()
{
    g_unitCodes = makeUnitTable();
}

QString HouseCodes(int index)
{
    if (index < 0 || index >= int(g_houseCodes.size()))
        return {};
    return g_houseCodes[size_t(index)];
}

QString UnitCodes(int unit, int onOff)
{
    if (unit < 0 || unit >= int(g_unitCodes.size()) || onOff < 0 || onOff > 1)
        return {};
    return g_unitCodes[size_t(unit)][size_t(onOff)];
}

QString GetHouseBits(int house, bool unitBank)
{
    const QString byte = HouseCodes(house - 1);
    if (byte.isEmpty() || !unitBank)
        return byte;
    return withBank(byte);
}

QString HouseToBits(const QString &letter)
{
    if (letter.size() == 1) {
        const char16_t c = letter.at(0).unicode();
        if (c >= u'A' && c <= u'P')
            return g_houseCodes[size_t(c - u'A')];
    }
    return letter;
}

QString UnitToBits(const QString &key)
{
    // Units: "<n>ON" / "<n>OFF" for n = 1..16, with no leading zero.
    for (const char *suffix : {"ON", "OFF"}) {
        const QLatin1StringView sfx(suffix);
        if (!key.endsWith(sfx))
            continue;
        const QString unit = key.chopped(sfx.size());
        if (unit.isEmpty() || unit.startsWith(u'0'))
            continue;
        bool allDigits = true;
        for (QChar ch : unit)
            allDigits = allDigits && ch >= u'0' && ch <= u'9';
        const int n = allDigits ? unitNumber(unit) : 0;
        if (n > 0)
            return g_unitCodes[size_t((n - 1) % 8)][sfx.size() == 2 ? 0 : 1];
    }
    if (key == u"PREBRI" || key == u"BRI")
        return g_unitCodes[8][0];
    if (key == u"PREDIM" || key == u"DIM")
        return g_unitCodes[8][1];
    if (key == u"ALLALN")
        return QString::fromLatin1(kAllLightsOn);
    if (key == u"ALLALF")
        return QString::fromLatin1(kAllLightsOff);
    if (key == u"ALLAUF")
        return QString::fromLatin1(kAllUnitsOff);
    return {};
}

QString CmdToCode(const QString &house, const QString &unit, const QString &function)
{
    const QString houseText = house.toUpper();
    QString houseByte = HouseToBits(houseText);
    if (houseByte == houseText) // not a house letter
        return {};
    const QString unitByte = UnitToBits(unit + function.toUpper());
    if (unitByte.isEmpty())
        return {};
    // The key was found, so a numeric unit is a plain 1..16.
    if (unitNumber(unit) > 8)
        houseByte = withBank(houseByte);
    return houseByte + unitByte;
}

QString BitsToHouse(const QString &byte)
{
    for (size_t i = 0; i < g_houseCodes.size(); ++i) {
        const QString &h = g_houseCodes[i];
        if (byte == h || byte == withBank(h))
            return QString(QChar(u'A' + int(i)));
    }
    return byte;
}

CroWords BitsToUnit(const QString &byte, bool hiBank)
{
    QString unit = byte;
    QString action;
    bool numbered = false;
    for (size_t u = 0; u < 8 && action.isEmpty(); ++u) {
        for (size_t k = 0; k < 2; ++k) {
            if (byte == g_unitCodes[u][k]) {
                unit = QString::number(u + 1);
                action = k == 0 ? QStringLiteral("ON") : QStringLiteral("OFF");
                numbered = true;
                break;
            }
        }
    }
    if (action.isEmpty()) {
        if (byte == g_unitCodes[8][0]) {
            unit = QStringLiteral("PRE");
            action = QStringLiteral("BRI");
        } else if (byte == g_unitCodes[8][1]) {
            unit = QStringLiteral("PRE");
            action = QStringLiteral("DIM");
        } else if (byte == QLatin1StringView(kAllLightsOn)) {
            unit = QStringLiteral("ALL");
            action = QStringLiteral("ALN");
        } else if (byte == QLatin1StringView(kAllLightsOff)) {
            unit = QStringLiteral("ALL");
            action = QStringLiteral("ALF");
        } else if (byte == QLatin1StringView(kAllUnitsOff)) {
            unit = QStringLiteral("ALL");
            action = QStringLiteral("AUF");
        }
    }
    // Only a decoded unit moves to the upper bank: an undecodable byte stays
    // as it is, even though its text of digits reads as a number.
    if (numbered && hiBank)
        unit = QString::number(unit.toInt() + 8);
    CroWords words;
    words.CroUnit = unit;
    words.CroAction = action;
    words.CroHiBank = hiBank;
    return words;
}

CroWords CodeToCmd(const QString &code)
{
    const QString houseByte = code.left(8);
    const bool hiBank = houseByte.right(3) == u"100";
    CroWords words = BitsToUnit(code.right(8), hiBank);
    words.CroHouse = BitsToHouse(houseByte);
    return words;
}

} // namespace qelt
