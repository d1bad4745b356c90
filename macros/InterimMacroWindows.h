#pragma once

// A stand-in for the macro and group editor until that window is built (the
// console's mailboxes reach it, recording is never on), and the macro runner
// pop-up.
namespace qelt {

// Registers the editor stand-in and the runner pop-up unless windows are
// registered already.
void InstallInterimMacroWindows();

} // namespace qelt
