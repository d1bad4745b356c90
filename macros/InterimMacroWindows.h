#pragma once

// Stand-ins for the macro and group editor and the macro runner pop-up until
// those windows are built: the console's mailboxes reach them, recording is
// never on, and the runner lets the user pick a macro file to play.
namespace qelt {

// Registers the stand-ins unless real windows are registered already.
void InstallInterimMacroWindows();

} // namespace qelt
