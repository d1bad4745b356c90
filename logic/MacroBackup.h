#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

// Backup copies of macro files in a hidden folder of the program folder,
// and the safe copying they rely on. Links Qt Core only.
//
// The folder is hidden the way this platform hides folders: its name starts
// with a dot. A "readme.txt" in it tells the editor that a backup exists.
namespace qelt {

// program folder + "/.backup"
QString BackupFolder(const QString &programFolder);
// BackupFolder + "/readme.txt"
QString BackupReadmePath(const QString &programFolder);

// True for a bare file name: not empty, not "." or "..", and without a
// path separator, so that folder + "/" + name stays inside the folder.
bool IsPlainFileName(const QString &name);
// folder + "/" + name, or "" when name is not a plain file name.
QString FileInFolder(const QString &folder, const QString &name);

// The backup folder may be used: it does not exist yet, or it is a real
// folder (not a link) directly inside the program folder. Anything else
// (a link leading elsewhere, a file of that name) is refused, so that no
// backup command writes or deletes outside the program folder.
bool BackupFolderUsable(const QString &programFolder);

// A backup exists: the folder is usable and holds "readme.txt".
bool BackupExists(const QString &programFolder);

// The bytes of "readme.txt": three lines, each ended by CR LF: the quoted
// "File last updated:  " + date (the user's short date form), an empty
// line, and the quoted note (already translated).
QByteArray BackupReadmeBytes(const QDate &date, const QString &note);

// Creates the backup folder (every missing level) and writes "readme.txt".
// *folderMade is false when the folder could not be made; *readmeError (when
// given) holds why "readme.txt" could not be written. The result says
// whether "readme.txt" now exists.
bool PrepareBackupFolder(const QString &programFolder, const QString &note, const QDate &date,
                         bool *folderMade = nullptr, QString *readmeError = nullptr);

// The macro files ("*.cro", any letter case) of the backup folder, sorted
// by name; none when the folder is missing or not usable.
QStringList BackupFileNames(const QString &programFolder);

// True when both files exist and hold the same bytes.
bool SameFileContent(const QString &a, const QString &b);

// Deletes the backup: every file directly in the backup folder (links are
// removed as links, never followed), then the folder. Nothing happens when
// the folder is not usable. Names that could not be deleted are added to
// *left. True when the folder is gone afterwards.
bool DeleteBackupFolder(const QString &programFolder, QStringList *left = nullptr);

} // namespace qelt
