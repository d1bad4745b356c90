#pragma once

// Registers the preferences window, and stand-ins for the help browser and
// the uninstaller until those windows are built.
namespace qelt {

// Registers each one unless a window is registered for it already.
void InstallInterimPrefsWindows();

} // namespace qelt
