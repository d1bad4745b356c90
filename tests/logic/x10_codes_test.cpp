#include "logic/Globals.h"
#include "logic/X10Codes.h"

#include <gtest/gtest.h>

using namespace qelt;

namespace {

// House letter, house byte.
const std::pair<const char *, const char *> kHouses[] = {
    {"A", "01100000"}, {"B", "01110000"}, {"C", "01000000"}, {"D", "01010000"},
    {"E", "10000000"}, {"F", "10010000"}, {"G", "10100000"}, {"H", "10110000"},
    {"I", "11100000"}, {"J", "11110000"}, {"K", "11000000"}, {"L", "11010000"},
    {"M", "00000000"}, {"N", "00010000"}, {"O", "00100000"}, {"P", "00110000"},
};

// Unit 1..8 ON byte, OFF byte.
const std::pair<const char *, const char *> kUnits[] = {
    {"00000000", "00100000"}, {"00010000", "00110000"}, {"00001000", "00101000"},
    {"00011000", "00111000"}, {"01000000", "01100000"}, {"01010000", "01110000"},
    {"01001000", "01101000"}, {"01011000", "01111000"},
};

// Function keys that are not unit keys: key, byte, decoded unit, action.
struct FunctionRow {
    const char *key, *byte, *unit, *action;
};
const FunctionRow kFunctions[] = {
    {"PREBRI", "10001000", "PRE", "BRI"}, {"BRI", "10001000", "PRE", "BRI"},
    {"PREDIM", "10011000", "PRE", "DIM"}, {"DIM", "10011000", "PRE", "DIM"},
    {"ALLALN", "10010000", "ALL", "ALN"}, {"ALLALF", "11000000", "ALL", "ALF"},
    {"ALLAUF", "10000000", "ALL", "AUF"},
};

QString q(const char *s)
{
    return QString::fromLatin1(s);
}
QString banked(const QString &houseByte)
{
    return houseByte.left(5) + "100";
}

} // namespace

TEST(X10Codes, TablesHoldEveryByte)
{
    SetHouseCodes();
    SetUnitCodes();
    for (int i = 0; i < 16; ++i) {
        SCOPED_TRACE(kHouses[i].first);
        EXPECT_EQ(HouseCodes(i), q(kHouses[i].second));
        EXPECT_EQ(HouseToBits(q(kHouses[i].first)), q(kHouses[i].second));
    }
    for (int u = 0; u < 8; ++u) {
        SCOPED_TRACE(u + 1);
        EXPECT_EQ(UnitCodes(u, 0), q(kUnits[u].first));
        EXPECT_EQ(UnitCodes(u, 1), q(kUnits[u].second));
        // Units n and n + 8 share a byte; the bank bit tells them apart.
        for (int n : {u + 1, u + 9}) {
            EXPECT_EQ(UnitToBits(QString::number(n) + "ON"), q(kUnits[u].first));
            EXPECT_EQ(UnitToBits(QString::number(n) + "OFF"), q(kUnits[u].second));
        }
    }
    EXPECT_EQ(UnitCodes(8, 0), "10001000");
    EXPECT_EQ(UnitCodes(8, 1), "10011000");
    for (const FunctionRow &f : kFunctions)
        EXPECT_EQ(UnitToBits(q(f.key)), q(f.byte)) << f.key;

    for (auto [i, k] : {std::pair{-1, 0}, {9, 0}, {0, 2}, {0, -1}})
        EXPECT_EQ(UnitCodes(i, k), "") << i << "," << k;
    EXPECT_EQ(HouseCodes(-1), "");
    EXPECT_EQ(HouseCodes(16), "");
}

TEST(X10Codes, GetHouseBitsFollowsTheBank)
{
    for (int h = 1; h <= 16; ++h) {
        EXPECT_EQ(GetHouseBits(h, false), q(kHouses[h - 1].second)) << h;
        EXPECT_EQ(GetHouseBits(h, true), banked(q(kHouses[h - 1].second))) << h;
    }
    for (const bool bank : {false, true}) {
        EXPECT_EQ(GetHouseBits(0, bank), "");
        EXPECT_EQ(GetHouseBits(17, bank), "");
    }
}

// Every house, every unit, every function: encode, then decode back.
TEST(X10Codes, EveryCommandRoundTrips)
{
    for (const auto &[letter, houseByte] : kHouses) {
        for (int n = 1; n <= 16; ++n) {
            for (int k = 0; k < 2; ++k) {
                const QString fn = k == 0 ? "ON" : "OFF";
                const QString code = CmdToCode(q(letter), QString::number(n), fn);
                const QString hb = n > 8 ? banked(q(houseByte)) : q(houseByte);
                const QString ub =
                    k == 0 ? q(kUnits[(n - 1) % 8].first) : q(kUnits[(n - 1) % 8].second);
                ASSERT_EQ(code, hb + ub) << letter << n << fn.toStdString();
                const CroWords words = CodeToCmd(code);
                EXPECT_EQ(words.text(), q(letter) + QString::number(n) + fn);
                EXPECT_EQ(words.CroHouse, q(letter));
                EXPECT_EQ(words.CroUnit, QString::number(n));
                EXPECT_EQ(words.CroAction, fn);
                EXPECT_EQ(words.CroHiBank, n > 8);
            }
        }
        for (const FunctionRow &f : kFunctions) {
            if (QByteArray(f.key).startsWith("PRE") || QByteArray(f.key).startsWith("ALL")) {
                const QString unit = q(f.unit), action = q(f.action);
                // No bank bit: the unit is not a number.
                const QString code = CmdToCode(q(letter), unit, action.toLower());
                ASSERT_EQ(code, q(houseByte) + q(f.byte)) << letter << f.key;
                const CroWords words = CodeToCmd(code);
                EXPECT_EQ(words.text(), q(letter) + unit + action);
                EXPECT_EQ(words.CroUnit, unit);
                EXPECT_EQ(words.CroAction, action);
                EXPECT_FALSE(words.CroHiBank);
            }
        }
    }
}

TEST(X10Codes, KnownCommandCodes)
{
    EXPECT_EQ(CmdToCode("c", "12", "on"), "0100010000011000");
    EXPECT_EQ(CmdToCode("C", "4", "ON"), "0100000000011000");
    EXPECT_EQ(CmdToCode("A", "PRE", "DIM"), "0110000010011000");
    EXPECT_EQ(CmdToCode("P", "ALL", "AUF"), "0011000010000000");

    const CroWords c12 = CodeToCmd("0100010000011000");
    EXPECT_EQ(c12.text(), "C12ON");
    EXPECT_EQ(c12.CroHouse, "C");
    EXPECT_EQ(c12.CroUnit, "12");
    EXPECT_EQ(c12.CroAction, "ON");
    EXPECT_TRUE(c12.CroHiBank);
    const CroWords c4 = CodeToCmd("0100000000011000");
    EXPECT_EQ(c4.text(), "C4ON");
    EXPECT_FALSE(c4.CroHiBank);
    // A BRIGHT sent with the bank bit still decodes as PRE, not as a unit.
    EXPECT_EQ(CodeToCmd("0110010010001000").text(), "APREBRI");
}

TEST(X10Codes, UnknownKeysGiveNoCode)
{
    const struct {
        const char *house, *unit, *function;
    } bad[] = {
        {"Q", "1", "ON"},    {"", "1", "ON"},     {"AB", "1", "ON"}, {"C", "0", "ON"},
        {"C", "17", "ON"},   {"C", "01", "ON"},   {"C", "-1", "ON"}, {"C", " 1", "ON"},
        {"C", "pre", "BRI"}, {"C", "all", "ALF"}, {"C", "1", "DIM"}, {"C", "1", "ONN"},
        {"C", "ALL", "ON"},  {"C", "PRE", "ALF"}, {"C", "", ""},     {"C", "1", ""},
    };
    // A good lookup first: a later bad one must not reuse its byte.
    ASSERT_FALSE(CmdToCode("C", "3", "ON").isEmpty());
    for (const auto &b : bad)
        EXPECT_EQ(CmdToCode(q(b.house), q(b.unit), q(b.function)), "")
            << b.house << "|" << b.unit << "|" << b.function;

    EXPECT_EQ(UnitToBits("1ON"), "00000000");
    for (const char *key : {"0ON", "17ON", "01ON", "1on", "ON", "bri", "ALLALN ", ""})
        EXPECT_EQ(UnitToBits(q(key)), "") << key;
    EXPECT_EQ(HouseToBits("a"), "a");
    EXPECT_EQ(HouseToBits("Z"), "Z");
}

TEST(X10Codes, UndecodableBytesPassThrough)
{
    // Unknown house byte, and an unknown unit byte made of digits with the
    // bank bit set: the byte stays as it is (no unit number is made up).
    const CroWords house = CodeToCmd("0110000100000001");
    EXPECT_EQ(house.text(), "0110000100000001");
    EXPECT_EQ(house.CroHouse, "01100001");
    EXPECT_EQ(house.CroUnit, "00000001");
    EXPECT_EQ(house.CroAction, "");

    const CroWords unit = CodeToCmd("0100010011111111");
    EXPECT_EQ(unit.text(), "C11111111");
    EXPECT_TRUE(unit.CroHiBank);
    EXPECT_EQ(unit.CroUnit, "11111111");
    EXPECT_EQ(unit.CroAction, "");
}
