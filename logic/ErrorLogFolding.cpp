#include "logic/ErrorLogFolding.h"

#include "logic/BoundedRead.h"
#include "logic/ErrorLog.h"
#include "logic/FileHelpers.h"
#include "logic/SafeSave.h"
#include "logic/TextCodec.h"

#include <QFileInfo>

#include <deque>
#include <functional>

namespace qelt {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

QString StatisticsText(int oldLines, int newLines)
{
    return QStringLiteral("old = %1, new = %2, diff = %3")
        .arg(oldLines)
        .arg(newLines)
        .arg(oldLines - newLines);
}

// Folds an error log fed one line at a time (the text between CR LF pairs,
// the last line being the one after the final CR LF), passing the folded
// text on as it is made. It holds only the run being folded, so a log of
// any size folds in little memory.
class ErrorLogFolder {
public:
    explicit ErrorLogFolder(std::function<bool(const QByteArray &)> out) : m_out(std::move(out)) {}

    // False as soon as the output failed.
    bool line(const QByteArray &piece, bool last)
    {
        // The line after a time line is its entry's text, whatever it holds
        // (it may itself start with "Logged" and begin the next entry).
        if (m_haveStamp) {
            m_haveStamp = false;
            entry(m_stamp, piece);
        }
        if (!last) {
            ++m_oldLines;
            if (piece.startsWith("Logged")) {
                m_stamp = piece;
                m_haveStamp = true;
            }
        }
        return m_ok;
    }

    // Ends the last run (the empty entry after the last one closes it).
    bool finish()
    {
        if (m_entries > 0)
            entry({}, {});
        return m_ok;
    }

    int oldLines() const { return m_oldLines; }
    int newLines() const { return m_emitted / 2 * 3; }

private:
    void write(const QByteArray &bytes)
    {
        if (m_ok && !m_out(bytes))
            m_ok = false;
    }

    void entry(const QByteArray &stamp, const QByteArray &text)
    {
        const int i = m_entries++;
        if (i == 0) {
            write(stamp + "\r\n" + text + "\r\n\r\n");
        } else if (text == m_previousText) {
            ++m_count;
            m_suffix = " ( x " + QByteArray::number(m_count) + " )";
        } else if (i >= 2) {
            m_count = 1;
            write(m_previousStamp + m_suffix + "\r\n" + m_previousText + "\r\n\r\n");
            m_suffix.clear();
            m_emitted += 2;
        }
        m_previousStamp = stamp;
        m_previousText = text;
    }

    std::function<bool(const QByteArray &)> m_out;
    QByteArray m_stamp;
    bool m_haveStamp = false;
    int m_entries = 0;
    QByteArray m_previousStamp;
    QByteArray m_previousText;
    int m_count = 1;
    QByteArray m_suffix;
    int m_emitted = 0;
    int m_oldLines = 0;
    bool m_ok = true;
};

} // namespace

QString ParseErrorLog(const QString &path)
{
    // The log's text lines are scrambled bytes; they are compared and written
    // back byte for byte so that folding never changes them. The log is read
    // line by line and the folded file written as it is made, so memory does
    // not grow with the log. A missing log is not created, and one that
    // cannot be read is not replaced (its entries would be lost).
    CrLfPieceReader in;
    if (!QFileInfo(path).isFile() || !in.open(path))
        return StatisticsText(0, 0);
    SafeFileWriter out(path);
    const bool opened = out.open();
    ErrorLogFolder folder(
        [&out, opened](const QByteArray &bytes) { return opened && out.write(bytes); });
    QByteArray piece;
    bool last = false;
    while (in.next(&piece, &last))
        folder.line(piece, last);
    const bool folded = folder.finish() && out.write("\r\n");
    if (in.failed() || !folded || !out.commit()) {
        // The log keeps its old entries; the statistics say nothing was
        // folded, and the failure is recorded in the log itself.
        const QString error = in.failed() ? QStringLiteral("reading failed") : out.errorString();
        out.cancel();
        WriteErrLog(QStringLiteral("The error log could not be folded: ") + error);
        return StatisticsText(folder.oldLines(), folder.oldLines());
    }
    return StatisticsText(folder.oldLines(), folder.newLines());
}

QString FeedbackComment(const QString &logPath, const QString &version)
{
    if (!FileExists(logPath)) {
        return kCrLf + QStringLiteral("Please enter message here.") + kCrLf + kCrLf + kCrLf +
               QStringLiteral("Ver. ") + version + kCrLf + kCrLf;
    }
    QString comment = kCrLf +
                      QStringLiteral("The last 30 to 40 entries from your error log may be listed "
                                     "below.  Please add comments above this message.  Thank you") +
                      kCrLf + kCrLf + kCrLf + QStringLiteral("ver. ") + version + kCrLf + kCrLf +
                      kCrLf;
    comment += kCrLf + ParseErrorLog(logPath) + kCrLf;
    // The excerpt is the last 121 lines of the folded file (more distinct
    // errors fit), read with memory bounded by what is kept.
    std::deque<QByteArray> tail;
    CrLfPieceReader in;
    QByteArray piece;
    if (in.open(logPath)) {
        while (in.next(&piece)) {
            tail.push_back(piece);
            if (tail.size() > 121)
                tail.pop_front();
        }
    }
    for (const QByteArray &line : tail)
        comment += DecodeText(line) + kCrLf;
    return comment;
}

} // namespace qelt
