#include "core/Startup.h"

// The console's main window factory (SetMainWindowFactory) is installed
// here, before Main, so that the splash timer and a command line can load it.
int main(int argc, char **argv) { return qelt::Main(argc, argv); }
