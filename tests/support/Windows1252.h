#pragma once

// The character each byte 0x80..0xFF stands for in Windows-1252, written out
// here so that tests compare stored bytes with the character set itself and
// not with the program's own conversion.

#include <QChar>

namespace qelt::test {

// 0xA0..0xFF are the Latin-1 characters of the same value; the five codes
// the set leaves unassigned (0x81, 0x8D, 0x8F, 0x90, 0x9D) stand for the
// control characters of the same value.
inline QChar Windows1252Char(int byte)
{
    static constexpr char16_t kHigh[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, // 0x80
        0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, // 0x88
        0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 0x90
        0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178, // 0x98
    };
    if (byte >= 0x80 && byte <= 0x9F)
        return QChar(kHigh[byte - 0x80]);
    return QChar(char16_t(byte));
}

} // namespace qelt::test
