#include "prefs/ErrorLogFolding.h"

#include "core/ErrorLog.h"
#include "core/SafeSave.h"

#include <QFile>
#include <QFileInfo>
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
    QString error;
    if (!SaveFileBytes(path, folded.text.toLatin1() + "\r\n", &error)) {
        // The log keeps its old entries; the statistics say nothing was
        // folded, and the failure is recorded in the log itself.
        WriteErrLog(QStringLiteral("The error log could not be folded: ") + error);
        return StatisticsText(folded.oldLines, folded.oldLines);
    }
    return StatisticsText(folded.oldLines, folded.newLines);
}

} // namespace qelt
