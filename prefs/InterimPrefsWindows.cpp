#include "prefs/InterimPrefsWindows.h"

#include "prefs/FormSetup.h"
#include "prefs/PrefsServices.h"
#include "prefs/frmBrowser.h"
#include "prefs/frmUnst.h"

namespace qelt {

void InstallInterimPrefsWindows()
{
    if (!Prefs())
        InstallPrefsWindow();
    if (!Help())
        SetHelp(BrowserService());
    if (!Uninstaller())
        SetUninstaller(UnstService());
}

} // namespace qelt
