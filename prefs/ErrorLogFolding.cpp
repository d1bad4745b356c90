#include "prefs/ErrorLogFolding.h"

#include "core/FileHelpers.h"

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
    // Reading a missing log would create it; an unreadable one reads as ""
    // and rewriting it would lose its entries. Both are left alone.
    if (!QFileInfo(path).isFile())
        return StatisticsText(0, 0);
    bool ok = false;
    const QString text = LoadTextFile(path, &ok);
    if (!ok) {
        return StatisticsText(0, 0);
    }
    const FoldedErrorLog folded = FoldErrorLog(text);
    SaveTextFile(folded.text, path);
    return StatisticsText(folded.oldLines, folded.newLines);
}

} // namespace qelt
