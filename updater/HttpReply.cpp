#include "updater/HttpReply.h"

#include <QList>

#include <cstring>

namespace qelt::updater {

namespace {

// The longest chunk-size or trailer line accepted.
constexpr qsizetype kMaxLine = 4096;
// Hexadecimal digits of the largest chunk size accepted (well below the
// 63 bits of a length).
constexpr qsizetype kMaxSizeDigits = 15;

bool isTokenChar(char c)
{
    return c > ' ' && c < 127 && std::strchr("()<>@,;:\\\"/[]?={}", c) == nullptr;
}

bool allDigits(const QByteArray &text, bool hex)
{
    if (text.isEmpty())
        return false;
    for (const char c : text) {
        const bool digit = c >= '0' && c <= '9';
        const bool letter = (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
        if (!digit && !(hex && letter))
            return false;
    }
    return true;
}

// "HTTP/1.x NNN reason": the status, or -1.
int statusOf(const QByteArray &line)
{
    if (!line.startsWith("HTTP/1.") || line.size() < 12 || line[8] != ' ' ||
        (line.size() > 12 && line[12] != ' '))
        return -1;
    const QByteArray code = line.mid(9, 3);
    return allDigits(code, false) ? code.toInt() : -1;
}

} // namespace

qsizetype ParseReplyHead(const QByteArray &bytes, ReplyHead *head)
{
    ReplyHead parsed;
    QByteArray lastName;
    qsizetype at = 0;
    bool first = true;
    for (;;) {
        const qsizetype nl = bytes.indexOf('\n', at);
        if (nl < 0 || nl >= kMaxReplyHead)
            return bytes.size() >= kMaxReplyHead ? -1 : 0;
        QByteArray line = bytes.mid(at, nl - at);
        at = nl + 1;
        if (line.endsWith('\r'))
            line.chop(1);
        if (first) {
            first = false;
            parsed.status = statusOf(line);
            if (parsed.status < 0)
                return -1;
            continue;
        }
        if (line.isEmpty())
            break;
        if (line[0] == ' ' || line[0] == '\t') {
            // A folded line continues the field before it.
            if (lastName.isEmpty())
                return -1;
            parsed.fields[lastName] += ' ' + line.trimmed();
            continue;
        }
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0)
            return -1;
        const QByteArray name = line.left(colon).toLower();
        for (const char c : name) {
            if (!isTokenChar(c))
                return -1;
        }
        const QByteArray value = line.mid(colon + 1).trimmed();
        const auto it = parsed.fields.find(name);
        if (it == parsed.fields.end())
            parsed.fields.insert(name, value);
        else
            *it += ", " + value;
        lastName = name;
    }
    *head = parsed;
    return at;
}

bool BodyReader::start(const ReplyHead &head, bool toHeadRequest)
{
    *this = BodyReader();
    const int status = head.status;
    if (toHeadRequest || (status >= 100 && status < 200) || status == 204 || status == 304) {
        m_done = true;
        return true;
    }
    if (head.fields.contains("transfer-encoding")) {
        // The body is asked for without compression; chunks are the only
        // coding read.
        if (head.fields.value("transfer-encoding").trimmed().toLower() != "chunked")
            return false;
        m_framing = Framing::Chunked;
        return true;
    }
    if (head.fields.contains("content-length")) {
        qint64 length = -1;
        for (const QByteArray &part : head.fields.value("content-length").split(',')) {
            const QByteArray digits = part.trimmed();
            if (!allDigits(digits, false) || digits.size() > 18)
                return false;
            const qint64 n = digits.toLongLong();
            if (length >= 0 && n != length)
                return false;
            length = n;
        }
        m_framing = Framing::Length;
        m_declared = m_left = length;
        m_done = length == 0;
        return true;
    }
    m_framing = Framing::UntilClose;
    return true;
}

bool BodyReader::take(QByteArray *raw, QByteArray *body)
{
    qsizetype at = 0;
    while (!m_done && !m_broken && at < raw->size()) {
        const qsizetype available = raw->size() - at;
        if (m_framing == Framing::UntilClose) {
            body->append(raw->constData() + at, available);
            at += available;
        } else if (m_framing == Framing::Length ||
                   (m_framing == Framing::Chunked && m_step == Step::Data)) {
            const qsizetype n = qsizetype(qMin<qint64>(m_left, available));
            body->append(raw->constData() + at, n);
            at += n;
            m_left -= n;
            if (m_left == 0) {
                if (m_framing == Framing::Length)
                    m_done = true;
                else
                    m_step = Step::DataEnd;
            }
        } else {
            const qsizetype nl = raw->indexOf('\n', at);
            if (nl < 0 || nl - at > kMaxLine) {
                m_broken = available > kMaxLine;
                break;
            }
            QByteArray line = raw->mid(at, nl - at);
            at = nl + 1;
            if (line.endsWith('\r'))
                line.chop(1);
            m_broken = !takeLine(line);
        }
    }
    raw->remove(0, at);
    return !m_broken;
}

// One line of the chunk framing: a chunk size, the line end after a chunk's
// data, or a trailer field (an empty line ends the body).
bool BodyReader::takeLine(const QByteArray &line)
{
    switch (m_step) {
    case Step::Size: {
        // Chunk extensions after ";" are allowed and ignored.
        const qsizetype semicolon = line.indexOf(';');
        const QByteArray size = (semicolon < 0 ? line : line.left(semicolon)).trimmed();
        if (!allDigits(size, true) || size.size() > kMaxSizeDigits)
            return false;
        m_left = size.toLongLong(nullptr, 16);
        m_step = m_left == 0 ? Step::Trailer : Step::Data;
        return true;
    }
    case Step::DataEnd:
        m_step = Step::Size;
        return line.isEmpty();
    case Step::Trailer:
        m_done = line.isEmpty();
        return true;
    case Step::Data:
        break;
    }
    return false;
}

bool BodyReader::closed()
{
    if (m_framing == Framing::UntilClose && !m_broken)
        m_done = true;
    return m_done;
}

} // namespace qelt::updater
