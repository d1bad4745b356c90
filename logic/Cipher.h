#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>

namespace qelt {

// The system's one-byte character set (Windows-1252; its five unassigned
// codes map to the same Unicode code points, as Latin-1 does). Characters it
// cannot hold become "?".
QByteArray ToAnsi(const QString &text);
QString FromAnsi(const QByteArray &bytes);

// A 24-bit linear congruential generator with the three operations the
// scrambler uses. Its sequences must never change: every stored record and
// error-log entry can only be read back with exactly this generator.
//
//   state' = (state * 0x43FD43FD + 0xC39EC3) mod 2^24, number = state' / 2^24
//   start state 0x50000
//   next(x < 0): state = (b + (b >> 24)) mod 2^24, b = the 32-bit IEEE pattern
//                of x as single precision, then one step
//   next(0):     the last number again, no step
//   randomize(v): h = upper 32 bits of the IEEE pattern of v as double;
//                 bits 8..23 of the state = (h xor (h >> 16)) mod 2^16
class RandomGenerator {
public:
    float next();
    float next(float x);
    void randomize(double v);

    std::uint32_t state() const { return m_state; }

private:
    float current() const;
    void step();

    std::uint32_t m_state = 0x50000;
};

// The text scrambler: an XOR with a key-seeded pseudo-random byte stream,
// then a packing of every 3 bytes into 4 characters from ";" to "z".
class CIPHER {
public:
    // Stores the key and seeds the generator from it.
    void KeyString(const QString &key);

    void Text(const QString &text);
    QString Text() const;
    // The working text as bytes, one per character.
    void SetTextBytes(const QByteArray &bytes) { m_text = bytes; }
    QByteArray TextBytes() const { return m_text; }

    void DoXor();
    void Stretch();
    void Shrink();

private:
    void SeedKey();

    QString m_key;
    QByteArray m_text;
    RandomGenerator m_rnd;
};

// The built-in key used when no key is given.
extern const char *const kDefaultCipherKey;

// Scrambles (decode false) or unscrambles (decode true) text in two passes.
// Empty keys select the default key; key2 defaults to key1. Double quotes are
// removed from text first. Never fails; unscrambling text that was not
// scrambled gives meaningless characters.
QString Crypt(bool decode, const QString &text, const QString &key1 = {}, const QString &key2 = {});

} // namespace qelt
