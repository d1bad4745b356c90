#include "logic/MacroBackup.h"

#include "logic/BoundedRead.h"
#include "logic/FileHelpers.h"
#include "logic/SafeSave.h"
#include "logic/TextCodec.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>

namespace qelt {

QString BackupFolder(const QString &programFolder)
{
    return QDir(programFolder).filePath(QStringLiteral(".backup"));
}

QString BackupReadmePath(const QString &programFolder)
{
    return QDir(BackupFolder(programFolder)).filePath(QStringLiteral("readme.txt"));
}

bool IsPlainFileName(const QString &name)
{
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..") &&
           !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\'));
}

QString FileInFolder(const QString &folder, const QString &name)
{
    return IsPlainFileName(name) ? QDir(folder).filePath(name) : QString();
}

bool BackupFolderUsable(const QString &programFolder)
{
    if (programFolder.isEmpty())
        return false;
    const QFileInfo folder(BackupFolder(programFolder));
    if (!folder.exists() && !folder.isSymLink())
        return true;
    if (folder.isSymLink() || !folder.isDir())
        return false;
    const QString parent = QFileInfo(programFolder).canonicalFilePath();
    return !parent.isEmpty() && QFileInfo(folder.canonicalFilePath()).path() == parent;
}

bool BackupExists(const QString &programFolder)
{
    const QFileInfo readme(BackupReadmePath(programFolder));
    return BackupFolderUsable(programFolder) && readme.isFile() && !readme.isSymLink();
}

QByteArray BackupReadmeBytes(const QDate &date, const QString &note)
{
    const QString text = QStringLiteral("\"File last updated:  ") +
                         QLocale::system().toString(date, QLocale::ShortFormat) +
                         QStringLiteral("\"\r\n\r\n\"") + note + QStringLiteral("\"\r\n");
    return EncodeText(text);
}

bool PrepareBackupFolder(const QString &programFolder, const QString &note, const QDate &date,
                         bool *folderMade, QString *readmeError)
{
    const QString folder = BackupFolder(programFolder);
    const bool made = BackupFolderUsable(programFolder) && MakePath(folder);
    if (folderMade)
        *folderMade = made;
    if (made) {
        const QString readme = BackupReadmePath(programFolder);
        if (!QFileInfo(readme).isSymLink())
            SaveFileBytes(readme, BackupReadmeBytes(date, note), readmeError);
    }
    return BackupExists(programFolder);
}

QStringList BackupFileNames(const QString &programFolder)
{
    if (!BackupFolderUsable(programFolder))
        return {};
    return QDir(BackupFolder(programFolder))
        .entryList({QStringLiteral("*.cro")}, QDir::Files | QDir::Hidden,
                   QDir::Name | QDir::IgnoreCase);
}

bool SameFileContent(const QString &a, const QString &b)
{
    if (QFileInfo(a).size() != QFileInfo(b).size())
        return false;
    QByteArray bytesA, bytesB;
    return ReadFileWhole(a, kMaxWholeFileBytes, &bytesA) &&
           ReadFileWhole(b, kMaxWholeFileBytes, &bytesB) && bytesA == bytesB;
}

bool DeleteBackupFolder(const QString &programFolder, QStringList *left)
{
    const QString folder = BackupFolder(programFolder);
    if (!BackupFolderUsable(programFolder))
        return false;
    QDir dir(folder);
    if (!dir.exists())
        return true;
    const QFileInfoList entries =
        dir.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QFileInfo &entry : entries) {
        // Only files (and links, as links) are removed; a folder inside the
        // backup is not the editor's and is left alone.
        if (entry.isDir() && !entry.isSymLink()) {
            if (left)
                *left << entry.fileName();
            continue;
        }
        if (!QFile::remove(entry.filePath()) && left)
            *left << entry.fileName();
    }
    return QDir(programFolder).rmdir(QStringLiteral(".backup")) || !QFileInfo::exists(folder);
}

} // namespace qelt
