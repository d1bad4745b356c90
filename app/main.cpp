#include "console/frmFire.h"
#include "core/Startup.h"
#include "scheduler/InstallScheduler.h"

// The console's main window factory (SetMainWindowFactory) is installed
// here, before Main, so that the splash timer and a command line can load it.
int main(int argc, char **argv)
{
    qelt::InstallConsole();
    qelt::InstallScheduler();
    return qelt::Main(argc, argv);
}
