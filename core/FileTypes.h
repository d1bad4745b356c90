#pragma once

#include <QString>
#include <QStringList>

// File types and start-at-login, registered the freedesktop.org way in the
// user's own folders (found through the XDG variables):
//   - a MIME package  $XDG_DATA_HOME/mime/packages/qelt-<ext>.xml that maps
//     "*.<ext>" to the type "application/x-<class>" and names the type;
//   - a desktop entry $XDG_DATA_HOME/applications/qelt-<ext>.desktop with the
//     open command, the icon and MimeType=;
//   - the default-application line "<type>=qelt-<ext>.desktop;" in
//     $XDG_CONFIG_HOME/mimeapps.list, group [Default Applications].
// Removal only ever touches these files and our own id in mimeapps.list, so
// another program's registration of the same extension is left alone.
namespace qelt {

// Reads "Macro"/"DoSet" (default "True", "Yes" counts as "True") into AssocOn.
void GetAssocOn();

// Registers ".cro" (class "CroFile", type "Zyv Macro") to open with this
// program, refreshes the desktop's caches and stores "Macro"/"Set" = "Done".
void AssocCro();
// Removes this program's ".cro" registration, deletes "Macro"/"Set", stores
// "Macro"/"DoSet" = "False" and re-reads AssocOn.
void UnAssocCro();
// Switches the association after the check mark of the menu item that
// offers it (checked = the mark before the click). Returns the new mark.
bool ToggleAssocCro(bool checked);
// True when the ".cro" registration on disk is exactly what AssocCro writes
// for the running program (the check the main window makes when it loads).
bool CroAssociated();

// Registers a file type that opens with a program (empty exeName/exeFolder:
// this program). Does nothing when the extension is empty or the program
// file does not exist. The class name is "<program name>.<type name>" with
// blanks turned into full stops; the extension is cut to 3 characters, the
// type name to 25.
void AssocFile(const QString &extension, const QString &typeName, const QString &exeName,
               const QString &exeFolder, const QString &iconPath);
// Removes everything this program registered for the extension (with or
// without the leading full stop): its MIME package, its handler and its
// default-application line.
void UnAssocFile(const QString &extension);

// The class name AssocFile builds for these arguments ("Qelt.UninstallZyv").
QString FileClassName(const QString &exeName, const QString &typeName);

// Start at login: an autostart entry $XDG_CONFIG_HOME/autostart/<valueName>.desktop
// (selector 1; any other selector keeps a separate "<valueName>-services.desktop").
// An empty programPath means this program. Nothing is written when the file
// is missing or the value name empty; an existing entry stays unless replace.
void AddStartup(const QString &valueName, const QString &programPath = {}, int selector = 1,
                bool replace = false);
void RemoveStartup(const QString &valueName, int selector = 1);
// The program path stored in that autostart entry, "" when there is none.
QString StartupValue(const QString &valueName, int selector = 1);

// Full path of this program's executable. Tests may point it elsewhere
// (an empty path restores the running program's own).
QString ProgramExePath();
void SetProgramExePath(const QString &path);

// The start of an Exec line that runs programPath: the quoted path. For
// this program while QELT_HOME names its folder, the line sets that folder
// first ("env "QELT_HOME=<folder>" "<path>""), so that a start from a
// desktop entry works on the same folder as the start that wrote it.
QString ProgramExecLine(const QString &programPath);
// The program an Exec line's arguments start (the one after "env" and its
// settings when the line begins with env).
QString ExecProgram(const QStringList &arguments);

// Commands run after the MIME or desktop-entry folders changed
// ("update-mime-database <dir>", "update-desktop-database <dir>"), only when
// the tool is installed, without waiting and ignoring failure. Tests replace
// the runner to record or suppress them (nullptr restores the real one).
using DesktopRefreshRunner = void (*)(const QString &program, const QStringList &arguments);
void SetDesktopRefreshRunner(DesktopRefreshRunner runner);

} // namespace qelt
