#pragma once

// Registers the preferences window, the help browser and the uninstaller.
namespace qelt {

// Registers each one unless a window is registered for it already.
void InstallPrefsWindows();

} // namespace qelt
