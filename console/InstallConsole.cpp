#include "console/frmFire.h"

#include "macros/InstallMacroWindows.h"
#include "prefs/InstallPrefsWindows.h"

#include <QCoreApplication>

namespace qelt {

void InstallConsole()
{
    InstallMacroWindows();
    InstallPrefsWindows();
    SetMainWindowFactory([]() -> MainWindowService * {
        auto *window = new frmFire;
        SetMainWindow(window);
        // The unload event ends the program.
        QObject::connect(window, &frmFire::programEnded, qApp, &QCoreApplication::quit,
                         Qt::QueuedConnection);
        window->Form_Load();
        return window;
    });
}

} // namespace qelt
