#pragma once

#include <QString>

namespace qelt {

// The folder the program keeps its files in (data file, language files,
// macros, groups, timers, logs, help pages, sounds). It is the folder named
// by the environment variable QELT_HOME when set, else the folder of the
// running program. Tests point it at a temporary folder.
QString ProgramFolder();
void SetProgramFolder(const QString &folder);

// ProgramFolder() + "/" + name.
QString InProgramFolder(const QString &name);

} // namespace qelt
