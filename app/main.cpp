#include "console/frmFire.h"
#include "core/Startup.h"
#include "macros/InstallMacroWindows.h"
#include "prefs/InstallPrefsWindows.h"
#include "scheduler/InstallScheduler.h"

// The program is wired here, the one place that knows every window: each
// folder installs its windows' factories and services, the console's main
// window factory (SetMainWindowFactory) among them, before Main, so that the
// splash timer and a command line can load them.
int main(int argc, char **argv)
{
    qelt::InstallMacroWindows();
    qelt::InstallPrefsWindows();
    qelt::InstallConsole();
    qelt::InstallScheduler();
    return qelt::Main(argc, argv);
}
