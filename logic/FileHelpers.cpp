#include "logic/FileHelpers.h"

#include "logic/BoundedRead.h"
#include "logic/ErrorLog.h"
#include "logic/SafeSave.h"
#include "logic/TextCodec.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace qelt {

namespace {

bool isPattern(const QString &name)
{
    return name.contains(u'*') || name.contains(u'?');
}

} // namespace

bool FileExists(const QString &path, int attributes)
{
    if (path.isEmpty())
        return false;
    const bool dirsToo = (attributes & kAttrDirectory) != 0;
    const QFileInfo fi(path);
    if (isPattern(fi.fileName())) {
        QDir::Filters filters = QDir::Files | QDir::Hidden | QDir::System;
        if (dirsToo)
            filters |= QDir::Dirs | QDir::NoDotAndDotDot;
        return !QDir(fi.path()).entryList({fi.fileName()}, filters).isEmpty();
    }
    if (!fi.exists())
        return false;
    return fi.isDir() ? dirsToo : true;
}

bool DirExists(const QString &path)
{
    if (path.trimmed().isEmpty())
        return false;
    return QFileInfo(path).isDir();
}

bool MakePath(const QString &path)
{
    QString p = path.trimmed();
    if (p.isEmpty())
        return false;
    if (p.size() > 1 && p.endsWith(u'/'))
        p.chop(1);

    QString prefix = p.startsWith(u'/') ? QStringLiteral("/") : QString();
    const QStringList parts = p.split(u'/', Qt::SkipEmptyParts);
    QDir dir;
    for (const QString &part : parts) {
        if (prefix.isEmpty())
            prefix = part;
        else if (prefix.endsWith(u'/'))
            prefix += part;
        else
            prefix += u'/' + part;
        if (DirExists(prefix))
            continue;
        if (QFileInfo::exists(prefix)) // a file where a folder is needed
            return false;
        if (!dir.mkdir(prefix))
            return false;
    }
    return true;
}

QString LoadTextFile(const QString &path, bool *ok)
{
    if (ok)
        *ok = false;
    if (path.isEmpty() || QFileInfo(path).isDir())
        return {};
    QByteArray bytes;
    if (!QFileInfo::exists(path) && !QFileInfo(path).isSymLink()) {
        // A missing file is created empty, as the whole-file access does.
        QFile file(path);
        if (!file.open(QIODevice::ReadWrite))
            return {};
    } else {
        QString error;
        if (!ReadFileWhole(path, kMaxWholeFileBytes, &bytes, &error)) {
            // Refused (not a regular file, too large) or unreadable: noted,
            // so that the user can find out why a file did not load.
            WriteErrLog(QStringLiteral("File not read: ") + error);
            return {};
        }
    }
    if (ok)
        *ok = true;

    // A byte-order mark is part of the file and stays in the text.
    return DecodeText(bytes, true);
}

QString LoadFormatText(const QString &path, bool *ok)
{
    QString text = LoadTextFile(path, ok);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    return text;
}

bool SaveTextFile(const QString &text, const QString &path, QString *error)
{
    return SaveFileBytes(path, EncodeText(text + QStringLiteral("\r\n")), error);
}

bool CopyFileAtomic(const QString &source, const QString &target, QString *error)
{
    const auto refuse = [error](const QString &why) {
        if (error)
            *error = why;
        return false;
    };
    const QFileInfo from(source);
    const QFileInfo to(target);
    if (!from.isFile())
        return refuse(QStringLiteral("Not a file: ") + QDir::toNativeSeparators(source));
    if (to.isSymLink() || to.isDir())
        return refuse(QStringLiteral("Cannot replace ") + QDir::toNativeSeparators(target));
    QByteArray bytes;
    QString why;
    if (!ReadFileWhole(source, kMaxWholeFileBytes, &bytes, &why))
        return refuse(why);
    return SaveFileBytes(target, bytes, error);
}

} // namespace qelt
