#pragma once

// Stand-ins for the preferences window, the help browser and the
// uninstaller until those windows are built.
namespace qelt {

// Registers the stand-ins unless real windows are registered already.
void InstallInterimPrefsWindows();

} // namespace qelt
