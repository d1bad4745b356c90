#pragma once

// Registers the macro windows the console reaches through its services.
namespace qelt {

// Registers the macro and group editor and the runner pop-up unless windows
// are registered already. Both are made on first use, so this may run
// before the application object exists.
void InstallMacroWindows();

} // namespace qelt
