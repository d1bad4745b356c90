#include "logic/MacroFile.h"

#include "logic/BoundedRead.h"
#include "logic/ErrorLog.h"
#include "logic/FileHelpers.h"
#include "logic/SafeSave.h"
#include "logic/TextCodec.h"

#include <QFile>

#include <cmath>

namespace qelt {

MacroItem ParseMacroItem(const QString &item)
{
    QString text = item;
    text.remove(QLatin1Char('"'));
    return {text.left(kMacroCodeLength), text.right(kMacroPauseLength), text};
}

bool PauseSeconds(const QString &pause, double *seconds)
{
    bool ok = false;
    const double value = pause.trimmed().toDouble(&ok);
    const bool valid = ok && std::isfinite(value);
    if (seconds)
        *seconds = valid ? value : 0.0;
    return valid;
}

QStringList MacroItems(const QString &fileText)
{
    QStringList items;
    const QStringList lines = QString(fileText)
                                  .replace(QLatin1String("\r\n"), QLatin1String("\n"))
                                  .replace(QLatin1Char('\r'), QLatin1Char('\n'))
                                  .split(QLatin1Char('\n'));
    for (QString line : lines) {
        line.remove(QLatin1Char('"'));
        line = line.trimmed();
        if (!line.isEmpty())
            items << line;
    }
    return items;
}

bool ReadMacroFile(const QString &path, QList<MacroItem> *items)
{
    if (items)
        items->clear();
    if (path.isEmpty() || !FileExists(path))
        return false;
    // Handed-over paths may name anything: a FIFO or a device would hold or
    // flood the program, so only a regular file of sane size is read.
    QByteArray bytes;
    QString error;
    if (!ReadFileWhole(path, kMaxWholeFileBytes, &bytes, &error)) {
        WriteErrLog(QStringLiteral("Macro file not read: ") + error);
        return false;
    }
    const QString text = DecodeText(bytes);
    if (items) {
        for (const QString &item : MacroItems(text))
            items->append(ParseMacroItem(item));
    }
    return true;
}

QString FormatPause(double seconds)
{
    if (!std::isfinite(seconds) || seconds < 0)
        seconds = 0;
    if (seconds > kMacroMaxPause)
        seconds = kMacroMaxPause;
    const double whole = std::round(seconds);
    if (std::fabs(seconds - whole) >= 0.005) {
        for (int decimals : {2, 1}) {
            const QString text = QString::number(seconds, 'f', decimals);
            if (text.length() == kMacroPauseLength &&
                std::fabs(text.toDouble() - std::round(text.toDouble())) > 1e-9)
                return text;
        }
    }
    return QString::number(qint64(std::min(whole, kMacroMaxPause)))
        .rightJustified(kMacroPauseLength, QLatin1Char('0'));
}

QString FitPause(const QString &pause)
{
    if (pause.length() == kMacroPauseLength) {
        double seconds = 0;
        if (PauseSeconds(pause, &seconds))
            return pause;
        return {};
    }
    double seconds = 0;
    if (!PauseSeconds(pause, &seconds))
        return {};
    return FormatPause(seconds);
}

QString MacroLineText(const MacroItem &item)
{
    return QLatin1Char('"') + item.code + item.pause + QLatin1String("\"\r\n");
}

QString MacroFileText(const QList<MacroItem> &items)
{
    QString text;
    for (const MacroItem &item : items)
        text += MacroLineText(item);
    return text;
}

bool WriteMacroFile(const QString &path, const QList<MacroItem> &items, QString *error)
{
    if (path.isEmpty() || items.size() > kMacroMaxLines)
        return false;
    QList<MacroItem> fitted;
    for (const MacroItem &item : items) {
        const QString pause = FitPause(item.pause);
        if (item.code.length() != kMacroCodeLength || item.code.contains(QLatin1Char('"')) ||
            pause.isEmpty())
            return false;
        fitted.append({item.code, pause});
    }
    // Written whole to a temporary file and renamed over the old one, so a
    // failed write never leaves a half file behind; the old file is replaced,
    // never appended to.
    return SaveFileBytes(path, EncodeText(MacroFileText(fitted)), error);
}

} // namespace qelt
