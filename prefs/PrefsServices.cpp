#include "prefs/PrefsServices.h"

namespace qelt {

namespace {
PrefsService *g_prefs = nullptr;
HelpService *g_help = nullptr;
UninstallService *g_uninstaller = nullptr;
} // namespace

PrefsService *Prefs() { return g_prefs; }
void SetPrefs(PrefsService *prefs) { g_prefs = prefs; }
HelpService *Help() { return g_help; }
void SetHelp(HelpService *help) { g_help = help; }
UninstallService *Uninstaller() { return g_uninstaller; }
void SetUninstaller(UninstallService *uninstaller) { g_uninstaller = uninstaller; }

} // namespace qelt
