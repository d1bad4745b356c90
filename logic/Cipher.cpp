#include "logic/Cipher.h"

#include <QList>

#include <bit>
#include <cmath>

namespace qelt {

namespace {

// Unicode code points of the bytes 0x80..0x9F; 0 marks the five unassigned
// codes, which keep their own value.
constexpr char32_t kHighControls[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

char32_t byteToCodePoint(unsigned char b)
{
    if (b >= 0x80 && b <= 0x9F && kHighControls[b - 0x80] != 0)
        return kHighControls[b - 0x80];
    return b;
}

char codePointToByte(char32_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<char>(c);
    if (c >= 0x80 && c <= 0x9F)
        return kHighControls[c - 0x80] == 0 ? static_cast<char>(c) : '?';
    for (int i = 0; i < 32; ++i)
        if (kHighControls[i] == c)
            return static_cast<char>(0x80 + i);
    return '?';
}

constexpr std::uint32_t kMask24 = 0xFFFFFF;

} // namespace

const char *const kDefaultCipherKey = "k7vq2m9xw4rt ph8zn3jc6bd5fy ls1gu0ea9h2t ";

QByteArray ToAnsi(const QString &text)
{
    QByteArray out;
    const QList<uint> ucs = text.toUcs4();
    out.reserve(ucs.size());
    for (uint c : ucs)
        out.append(codePointToByte(c));
    return out;
}

QString FromAnsi(const QByteArray &bytes)
{
    QString out;
    out.reserve(bytes.size());
    for (char b : bytes)
        out.append(QChar(static_cast<char16_t>(byteToCodePoint(static_cast<unsigned char>(b)))));
    return out;
}

// ---------------------------------------------------------------------------

float RandomGenerator::current() const
{
    return static_cast<float>(m_state) / 16777216.0f;
}

void RandomGenerator::step()
{
    m_state = (m_state * 0x43FD43FDu + 0xC39EC3u) & kMask24;
}

float RandomGenerator::next()
{
    step();
    return current();
}

float RandomGenerator::next(float x)
{
    if (x < 0.0f) {
        const auto b = std::bit_cast<std::uint32_t>(x);
        m_state = (b + (b >> 24)) & kMask24;
    }
    if (x != 0.0f)
        step();
    return current();
}

void RandomGenerator::randomize(double v)
{
    const auto high = static_cast<std::uint32_t>(std::bit_cast<std::uint64_t>(v) >> 32);
    const std::uint32_t mid = ((high ^ (high >> 16)) & 0xFFFFu) << 8;
    m_state = (m_state & 0xFF0000FFu) | mid;
}

// ---------------------------------------------------------------------------

void CIPHER::KeyString(const QString &key)
{
    m_key = key;
    SeedKey();
}

void CIPHER::Text(const QString &text)
{
    m_text = ToAnsi(text);
}

QString CIPHER::Text() const
{
    return FromAnsi(m_text);
}

// The stream that follows depends on the key alone: the restart from -1
// discards all earlier state.
void CIPHER::SeedKey()
{
    m_rnd.randomize(m_rnd.next(-1.0f));
    for (char ch : ToAnsi(m_key)) {
        const float c = static_cast<float>(static_cast<unsigned char>(ch));
        const float r = m_rnd.next();
        const float v = m_rnd.next(-r * c);
        m_rnd.randomize(v);
    }
}

void CIPHER::DoXor()
{
    for (char &b : m_text) {
        const int k = static_cast<int>(std::floor(m_rnd.next() * 256.0f));
        b = static_cast<char>(static_cast<unsigned char>(b) ^ (k & 0xFF));
    }
}

// Every 3 bytes become their low 6 bits as 3 characters plus one character
// with their top 2 bits (first byte in bits 5-4, second 3-2, third 1-0); a
// short last group gets its fourth character at once.
void CIPHER::Stretch()
{
    QByteArray out;
    const qsizetype n = m_text.size();
    out.reserve(n + (n + 2) / 3);
    int a = 0;
    for (qsizetype i = 1; i <= n; ++i) {
        const int c = static_cast<unsigned char>(m_text[i - 1]);
        out.append(static_cast<char>((c & 63) + 59));
        switch (i % 3) {
        case 1:
            a |= (c / 64) * 16;
            break;
        case 2:
            a |= (c / 64) * 4;
            break;
        default:
            a |= c / 64;
            out.append(static_cast<char>(a + 59));
            a = 0;
            break;
        }
    }
    if (n % 3 != 0)
        out.append(static_cast<char>(a + 59));
    m_text = out;
}

// Inverse of Stretch. A character Stretch cannot have made (below ";") gives
// a value outside a byte; that position is left blank.
void CIPHER::Shrink()
{
    const qsizetype len = m_text.size();
    const qsizetype m = len - 1 - (len - 1) / 4;
    if (m <= 0) {
        m_text.clear();
        return;
    }
    QByteArray out(m, ' ');
    auto code = [this, len](qsizetype pos) -> int {
        return pos >= 1 && pos <= len ? static_cast<unsigned char>(m_text[pos - 1]) : 0;
    };
    qsizetype p = 0;
    qsizetype q = 0;
    int h = 0;
    for (qsizetype i = 1; i <= m; ++i) {
        ++p;
        const int low = code(p) - 59;
        int top = 0;
        switch (i % 3) {
        case 1:
            q = std::min(q + 4, len);
            h = code(q) - 59;
            top = ((h / 16) & 3) * 64;
            break;
        case 2:
            top = ((h / 4) & 3) * 64;
            break;
        default:
            top = (h & 3) * 64;
            ++p;
            break;
        }
        const int v = low | top;
        if (v >= 0 && v <= 255)
            out[i - 1] = static_cast<char>(v);
    }
    m_text = out;
}

// ---------------------------------------------------------------------------

QString Crypt(bool decode, const QString &text, const QString &key1, const QString &key2)
{
    const QString keyA = key1.isEmpty() ? QString::fromLatin1(kDefaultCipherKey) : key1;
    const QString keyB = key2.isEmpty() ? keyA : key2;

    QString plain = text;
    plain.remove(QLatin1Char('"'));

    CIPHER c;
    c.Text(plain);
    if (!decode) {
        c.KeyString(keyB);
        c.DoXor();
        c.Stretch();
        c.KeyString(keyA);
        c.DoXor();
        c.Stretch();
    } else {
        c.KeyString(keyA);
        c.Shrink();
        c.DoXor();
        c.KeyString(keyB);
        c.Shrink();
        c.DoXor();
    }
    return c.Text();
}

} // namespace qelt
