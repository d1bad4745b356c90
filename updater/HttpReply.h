#pragma once

#include <QByteArray>
#include <QMap>

namespace qelt::updater {

// The status line and header fields of an HTTP/1.x reply.
struct ReplyHead {
    int status = 0;
    // Field names in lower case; a field sent more than once holds its
    // values joined by ", ".
    QMap<QByteArray, QByteArray> fields;
};

// The most bytes a reply head may take (status line, fields, empty line).
inline constexpr qsizetype kMaxReplyHead = 64 * 1024;

// Reads the reply head at the start of bytes (lines end in CR LF or LF; the
// head ends with an empty line). The head's length in bytes, empty line
// included; 0 while the head is not complete yet; -1 when the bytes are not
// an HTTP/1.x reply head or the head passes kMaxReplyHead.
qsizetype ParseReplyHead(const QByteArray &bytes, ReplyHead *head);

// Takes a reply body off the bytes of a connection as the head's framing
// says: a declared length, chunks ending with the zero chunk (and trailer
// fields), or everything up to the closing of the connection. A body that
// does not keep to its framing is never taken for a complete one.
class BodyReader {
public:
    enum class Framing { None, Length, Chunked, UntilClose };

    // Sets the framing from the head (no body at all for a 1xx, 204 or 304
    // status, or a reply to HEAD). False when the head's framing fields
    // cannot be read: a length that is not a number, lengths that differ,
    // a transfer coding other than chunked.
    bool start(const ReplyHead &head, bool toHeadRequest);
    // Moves the body bytes at the start of raw into body, dropping the
    // framing; what raw holds past the body's end stays there. False once
    // the framing is broken (a chunk size that is not a hexadecimal number,
    // chunk data not followed by a line end, a line far too long).
    bool take(QByteArray *raw, QByteArray *body);
    // The connection closed: the end of a body that runs up to the close.
    // False when the body should have ended otherwise and has not.
    bool closed();

    bool done() const { return m_done; }
    Framing framing() const { return m_framing; }
    // The length the head declares; -1 when it declares none.
    qint64 declaredLength() const { return m_framing == Framing::Length ? m_declared : -1; }

private:
    enum class Step { Size, Data, DataEnd, Trailer };
    bool takeLine(const QByteArray &line);

    Framing m_framing = Framing::None;
    Step m_step = Step::Size;
    qint64 m_declared = 0;
    qint64 m_left = 0; // of the declared length, or of the current chunk
    bool m_done = false;
    bool m_broken = false;
};

} // namespace qelt::updater
