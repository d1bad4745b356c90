#pragma once

#include <QString>
#include <QStringList>

// What the uninstaller removes from disk. Every deletion stays inside the
// program folder (files directly in it, never below it) or is one of this
// program's own settings files; a file that cannot be deleted is skipped.
namespace qelt {

// A value of another application name's store ("" when missing); section
// and value names are not case-sensitive, as in the program's own store.
QString ReadAppSetting(const QString &appName, const QString &section, const QString &key);
// Deletes that application's whole store (every section), and its folder
// when nothing else is left in it.
void DeleteAppSettings(const QString &appName);

// The names of the files directly in folder that match one of the patterns
// ("*.cro", "ST6UNST.*"; letter case ignored, so "OLD.CRO" is a macro too),
// sorted by name.
QStringList FilesMatching(const QString &folder, const QStringList &patterns);

// The user's files: macros "*.cro", timers "*.zyv", groups "*.grp", then
// the downloaded installer ("Upgrade", also under its old name
// "Upgrade.exe"). Returns the names deleted.
QStringList DeleteUserFiles(const QString &folder);

// The program's own working files: logs "*.log" (except names beginning
// "ST6U"), the installation-log family "ST6UNST.*" (except those ending
// ".log", so the installation log itself stays), and the data file
// "db.zvd". Returns the names deleted.
QStringList DeleteProgramFiles(const QString &folder);

} // namespace qelt
