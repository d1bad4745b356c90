#include "console/ConsoleServices.h"

namespace qelt {

namespace {
MainWindowService *g_mainWindow = nullptr;
}

MainWindowService *MainWindow() { return g_mainWindow; }
void SetMainWindow(MainWindowService *window) { g_mainWindow = window; }

} // namespace qelt
