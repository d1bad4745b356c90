#include "logic/GroupFile.h"

#include "logic/ErrorLog.h"
#include "logic/FileHelpers.h"

#include <QFile>
#include <QFileInfo>

namespace qelt {

namespace {

QString Quoted(const QString &text)
{
    return QLatin1Char('"') + text + QLatin1Char('"');
}

// The lines of a file's text; the empty piece after the last line end is
// dropped, and a lone CR or LF also ends a line.
QStringList FileLines(const QString &text)
{
    QString t = text;
    t.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    t.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QStringList lines = t.split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

QString HeaderText(int number, const QString &label)
{
    return QStringLiteral("Group %1, %2").arg(number).arg(label);
}

} // namespace

QString GroupFileName(int n)
{
    return QStringLiteral("file%1.grp").arg(n);
}

QString GroupFilePath(const QString &folder, int n)
{
    if (n < 0 || n >= kGroupCount)
        return {};
    QString dir = folder;
    if (dir.endsWith(QLatin1Char('/')))
        dir.chop(1);
    return dir + QLatin1Char('/') + GroupFileName(n);
}

QString GroupItem(const QString &line)
{
    QString item = line.trimmed();
    if (item.startsWith(QLatin1Char('"')))
        item.remove(0, 1);
    if (item.endsWith(QLatin1Char('"')))
        item.chop(1);
    return item;
}

bool IsGroupHeader(const QString &item)
{
    QString bare = item;
    bare.remove(QLatin1Char('"'));
    return bare.left(5) == QLatin1String("Group");
}

bool ReadGroupFile(const QString &path, GroupFileContent *content)
{
    GroupFileContent result;
    if (content)
        *content = result;
    if (path.isEmpty() || !FileExists(path))
        return false;
    bool ok = false;
    const QString text = LoadFormatText(path, &ok);
    if (!ok)
        return false;
    const QStringList lines = FileLines(text);
    for (int i = 0; i < lines.size(); ++i) {
        const QString item = GroupItem(lines.at(i));
        if (item.trimmed().isEmpty())
            continue;
        if (IsGroupHeader(item)) {
            // Only the first line is the group's header; later header lines
            // are skipped as readers always skipped them.
            if (i == 0) {
                result.hasHeader = true;
                result.label = item.mid(9);
            }
            continue;
        }
        result.codes << item.trimmed();
    }
    if (content)
        *content = result;
    return true;
}

QString goGrLabel(const QString &gGet_pPut, const QString &iFlName, const QString &sLabel,
                  QString *error)
{
    const bool get = gGet_pPut == QLatin1String("g");
    const bool put = gGet_pPut == QLatin1String("p");
    if (!get && !put) {
        WriteErrLog(QStringLiteral(
            "Fucntion goGrLabel: frmMcrSetup: gGet_pPut must be a g for Get or a p for Put"));
        return {};
    }
    if (iFlName.isEmpty() || !FileExists(iFlName))
        return {};

    bool ok = false;
    const QString text = LoadFormatText(iFlName, &ok);
    if (!ok)
        return {};
    const QStringList lines = FileLines(text);

    if (get) {
        if (lines.isEmpty())
            return {};
        const QString item = GroupItem(lines.first());
        return IsGroupHeader(item) ? item.mid(9) : QString();
    }

    // "p": the header is rewritten, every other line is kept.
    const int first = (!lines.isEmpty() && IsGroupHeader(GroupItem(lines.first()))) ? 1 : 0;
    const QString base = QFileInfo(iFlName).fileName();
    const QChar digit = base.size() >= 5 ? base.at(base.size() - 5) : QChar();
    const int number = (digit.isDigit() ? digit.digitValue() : 0) + 1;

    QStringList out;
    out << Quoted(HeaderText(number, sLabel));
    for (int i = first; i < lines.size(); ++i) {
        QString item = lines.at(i);
        item.remove(QLatin1Char('"'));
        if (item.trimmed().isEmpty())
            continue;
        out << Quoted(item.trimmed());
    }
    QString why;
    if (!SaveTextFile(out.join(QLatin1String("\r\n")), iFlName, &why)) {
        if (error)
            *error = why.isEmpty() ? QStringLiteral("Cannot write ") + iFlName : why;
        return {};
    }
    return sLabel;
}

QString GroupFileText(int n, const QString &label, const QStringList &codes)
{
    QString text = Quoted(HeaderText(n + 1, label)) + QLatin1String("\r\n");
    for (const QString &code : codes)
        text += Quoted(code) + QLatin1String("\r\n");
    return text;
}

bool SaveGroupFile(const QString &folder, int n, const QString &label, const QStringList &codes)
{
    const QString path = GroupFilePath(folder, n);
    if (path.isEmpty())
        return false;
    QString text = GroupFileText(n, label, codes);
    text.chop(2); // SaveTextFile ends the text with its own CR LF
    return SaveTextFile(text, path);
}

bool DeleteGroupFile(const QString &folder, int n)
{
    const QString path = GroupFilePath(folder, n);
    if (path.isEmpty())
        return false;
    if (!QFileInfo::exists(path))
        return true;
    return QFile::remove(path);
}

} // namespace qelt
