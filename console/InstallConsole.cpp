#include "console/frmFire.h"

#include <QCoreApplication>

namespace qelt {

void InstallConsole()
{
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
