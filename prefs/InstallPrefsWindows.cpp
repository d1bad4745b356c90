#include "prefs/InstallPrefsWindows.h"

#include "core/services/PrefsServices.h"
#include "prefs/FormSetup.h"
#include "prefs/frmBrowser.h"
#include "prefs/frmUnst.h"

namespace qelt {

void InstallPrefsWindows()
{
    if (!Prefs())
        InstallPrefsWindow();
    if (!Help())
        SetHelp(BrowserService());
    if (!Uninstaller())
        SetUninstaller(UnstService());
}

} // namespace qelt
