#pragma once

#include <QString>
#include <QStringList>

// File helpers that reach beyond the file system: the desktop, other
// programs, the user.
namespace qelt {

// Tells the user which dropped files could not be copied (one message for
// all, each with its reason) and logs each; nothing when errors is empty.
void ReportFailedCopies(const QStringList &errors, const QString &procName,
                        const QString &moduleName);

// Opens a document or web address with the desktop's default handler; a
// program file is started instead. False when nothing could be opened.
bool OpenDoc(const QString &target);

// Starts a program from a command line (a path to an existing file may hold
// blanks; otherwise the first word is the program and the rest its
// arguments); a desktop entry (".desktop", a shortcut) starts what it points
// at. When that fails, the file is opened with the desktop's default
// handler. False when neither worked.
bool RunFile(const QString &commandLine);

} // namespace qelt
