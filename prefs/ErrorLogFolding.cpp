#include "prefs/ErrorLogFolding.h"

#include "core/FileHelpers.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringList>

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

} // namespace

FoldedErrorLog FoldErrorLog(const QString &logText)
{
    const QStringList lines = logText.split(kCrLf);
    FoldedErrorLog result;
    result.oldLines = int(lines.size()) - 1;

    // Time lines and the text line after each, in file order.
    QStringList stamps;
    QStringList texts;
    for (int i = 0; i < result.oldLines; ++i) {
        if (lines[i].startsWith(QLatin1String("Logged"))) {
            stamps << lines[i];
            texts << lines[i + 1];
        }
    }
    // A log without entries becomes a file of one empty line.
    if (stamps.isEmpty())
        return result;

    // The empty element after the last entry closes the last run.
    stamps << QString();
    texts << QString();
    const int n = int(texts.size()) - 1;

    QString out = stamps[0] + kCrLf + texts[0] + kCrLf + kCrLf;
    QString previous = texts[0];
    int count = 1;
    QString suffix;
    int emitted = 0;
    for (int i = 1; i <= n; ++i) {
        if (texts[i] == previous) {
            ++count;
            suffix = QStringLiteral(" ( x %1 )").arg(count);
        } else if (i >= 2) {
            count = 1;
            out += stamps[i - 1] + suffix + kCrLf + texts[i - 1] + kCrLf + kCrLf;
            suffix.clear();
            emitted += 2;
        }
        previous = texts[i];
    }
    result.text = out;
    result.newLines = emitted / 2 * 3;
    return result;
}

QString ParseErrorLog(const QString &path)
{
    // The log's text lines are scrambled bytes written in the one-byte
    // character set; they are read and written back a byte per character so
    // that folding never changes them. A missing log is not created, and an
    // unreadable one is not replaced (its entries would be lost).
    QFile in(path);
    if (!QFileInfo(path).isFile() || !in.open(QIODevice::ReadOnly))
        return StatisticsText(0, 0);
    const QString text = QString::fromLatin1(in.readAll());
    in.close();
    const FoldedErrorLog folded = FoldErrorLog(text);
    QSaveFile out(path);
    if (out.open(QIODevice::WriteOnly)) {
        const QByteArray bytes = folded.text.toLatin1() + "\r\n";
        if (out.write(bytes) == bytes.size())
            out.commit();
        else
            out.cancelWriting();
    }
    return StatisticsText(folded.oldLines, folded.newLines);
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
    // The excerpt is the tail of the folded file: more distinct errors fit.
    const QStringList lines = LoadTextFile(logPath).split(kCrLf);
    const qsizetype last = lines.size() - 1;
    for (qsizetype i = last > 120 ? last - 120 : 0; i <= last; ++i)
        comment += lines[i] + kCrLf;
    return comment;
}

} // namespace qelt
