#pragma once

#include <QByteArray>
#include <QString>

// Reading files that may come from anywhere (a path handed over on the
// command line, a file dropped into the program folder) without letting
// them freeze or exhaust the program: only regular files are read, opened
// without blocking (a FIFO cannot hold the reader), and never more than a
// limit far above any real file of the program.
namespace qelt {

// A macro of the longest allowed length is under 1 MiB; language, group and
// timer files are far smaller.
inline constexpr qint64 kMaxWholeFileBytes = 4 * 1024 * 1024;

// Reads the regular file at path whole into *out. False when it is missing,
// not a regular file (a folder, FIFO, device or socket, also through a
// link), larger than maxBytes or unreadable; *error then says which.
bool ReadFileWhole(const QString &path, qint64 maxBytes, QByteArray *out, QString *error = nullptr);

// Reads a regular file (the same guard, without the size limit) piece by
// piece, the pieces being the text between CR LF pairs: "a\r\nb\r\n" gives
// "a", "b" and a last, empty piece. Memory stays bounded by the longest
// piece, whatever the file's size.
class CrLfPieceReader {
public:
    CrLfPieceReader() = default;
    ~CrLfPieceReader();
    CrLfPieceReader(const CrLfPieceReader &) = delete;
    CrLfPieceReader &operator=(const CrLfPieceReader &) = delete;

    bool open(const QString &path, QString *error = nullptr);
    // The next piece; false when every piece has been read or reading
    // failed (see failed()). *last is set on the piece after the final CR LF.
    bool next(QByteArray *piece, bool *last = nullptr);
    bool failed() const { return m_failed; }

private:
    bool fill();

    int m_fd = -1;
    QByteArray m_buffer;
    qsizetype m_pos = 0;
    bool m_eof = false;
    bool m_done = false;
    bool m_failed = false;
};

} // namespace qelt
