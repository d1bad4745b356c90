#include "logic/BoundedRead.h"

#include <QFile>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qelt {

namespace {

constexpr qsizetype kChunk = 64 * 1024;

void setError(QString *error, const QString &text)
{
    if (error)
        *error = text;
}

// Opens path for reading without blocking (opening a FIFO that has no
// writer returns at once) and checks on the opened file, not on the name,
// that it is a regular file, so a link or a swap of the name in between
// changes nothing. Returns the descriptor, or -1.
int openRegular(const QString &path, struct stat *st, QString *error)
{
    if (path.isEmpty()) {
        setError(error, QStringLiteral("No file name"));
        return -1;
    }
    const QByteArray native = QFile::encodeName(path);
    const int fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        setError(error,
                 QStringLiteral("%1: %2").arg(path, QString::fromLocal8Bit(strerror(errno))));
        return -1;
    }
    if (::fstat(fd, st) != 0 || !S_ISREG(st->st_mode)) {
        ::close(fd);
        setError(error, QStringLiteral("%1 is not a regular file").arg(path));
        return -1;
    }
    // Reads of a regular file do not block anyway; clear the flag so that
    // nothing depends on it.
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0)
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    return fd;
}

// One read, retried when a signal interrupts it.
qint64 readSome(int fd, char *into, qint64 size)
{
    for (;;) {
        const ssize_t n = ::read(fd, into, size_t(size));
        if (n >= 0 || errno != EINTR)
            return n;
    }
}

} // namespace

bool ReadFileWhole(const QString &path, qint64 maxBytes, QByteArray *out, QString *error)
{
    if (out)
        out->clear();
    struct stat st {};
    const int fd = openRegular(path, &st, error);
    if (fd < 0)
        return false;
    const QString tooLarge = QStringLiteral("%1 is larger than %2 bytes").arg(path).arg(maxBytes);
    if (st.st_size > maxBytes) {
        ::close(fd);
        setError(error, tooLarge);
        return false;
    }
    // The size may change while reading (or be reported as 0 by special file
    // systems): read up to one byte past the limit to notice a file that
    // grew beyond it.
    QByteArray bytes;
    bytes.resize(qsizetype(st.st_size) + 1);
    qint64 have = 0;
    bool ok = true;
    for (;;) {
        if (have == bytes.size()) {
            if (have > maxBytes)
                break;
            bytes.resize(qsizetype(qMin<qint64>(maxBytes + 1, have + kChunk)));
        }
        const qint64 n = readSome(fd, bytes.data() + have, bytes.size() - have);
        if (n < 0) {
            ok = false;
            setError(error,
                     QStringLiteral("%1: %2").arg(path, QString::fromLocal8Bit(strerror(errno))));
            break;
        }
        if (n == 0)
            break;
        have += n;
    }
    ::close(fd);
    if (!ok)
        return false;
    if (have > maxBytes) {
        setError(error, tooLarge);
        return false;
    }
    bytes.resize(qsizetype(have));
    if (out)
        *out = std::move(bytes);
    return true;
}

CrLfPieceReader::~CrLfPieceReader()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

bool CrLfPieceReader::open(const QString &path, QString *error)
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_buffer.clear();
    m_pos = 0;
    m_eof = m_done = m_failed = false;
    struct stat st {};
    m_fd = openRegular(path, &st, error);
    return m_fd >= 0;
}

bool CrLfPieceReader::fill()
{
    if (m_eof || m_fd < 0)
        return false;
    if (m_pos > 0) {
        m_buffer.remove(0, m_pos);
        m_pos = 0;
    }
    const qsizetype old = m_buffer.size();
    m_buffer.resize(old + kChunk);
    const qint64 n = readSome(m_fd, m_buffer.data() + old, kChunk);
    m_buffer.resize(old + qsizetype(qMax<qint64>(n, 0)));
    if (n < 0)
        m_failed = true;
    if (n <= 0)
        m_eof = true;
    return n > 0;
}

bool CrLfPieceReader::next(QByteArray *piece, bool *last)
{
    if (m_done || m_failed || m_fd < 0)
        return false;
    qsizetype from = m_pos;
    for (;;) {
        const qsizetype at = m_buffer.indexOf("\r\n", from);
        if (at >= 0) {
            *piece = m_buffer.mid(m_pos, at - m_pos);
            m_pos = at + 2;
            if (last)
                *last = false;
            return true;
        }
        // A CR at the very end may be the first half of a pair.
        from = qMax(m_pos, m_buffer.size() - 1);
        const qsizetype consumed = m_pos;
        if (!fill()) {
            if (m_failed)
                return false;
            *piece = m_buffer.mid(m_pos);
            m_done = true;
            if (last)
                *last = true;
            return true;
        }
        from -= consumed; // the buffer's front was dropped
    }
}

} // namespace qelt
