#pragma once

#include <QString>

namespace qelt {

// The folder the program keeps its files in (data file, language files,
// macros, groups, timers, logs, help pages, sounds). It is the folder named
// by the environment variable QELT_HOME when set, else the folder the
// running program file itself lies in (where it is installed together with
// its files). Tests point it at a temporary folder.
QString ProgramFolder();
void SetProgramFolder(const QString &folder);

// ProgramFolder() + "/" + name.
QString InProgramFolder(const QString &name);

// The absolute folder QELT_HOME names, "" when the variable is not set.
// Entries that start the program again carry it, so that such a start
// works on the same folder.
QString ProgramFolderFromEnvironment();

// The path of one of the programs installed together with this one
// ("Qelt", "update"): they lie beside the running program file, also when
// QELT_HOME puts the program's files elsewhere.
QString InstalledProgramPath(const QString &name);

} // namespace qelt
