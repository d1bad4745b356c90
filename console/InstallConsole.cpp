#include "console/frmFire.h"

#include "macros/InterimMacroWindows.h"
#include "prefs/InterimPrefsWindows.h"

#include <QCoreApplication>

namespace qelt {

void InstallConsole()
{
    InstallInterimMacroWindows();
    InstallInterimPrefsWindows();
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
