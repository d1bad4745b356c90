// The updater program: restarts the main program on request, or checks the
// maker's server for a newer version.
#include "core/FileActions.h"
#include "core/FileDrops.h"
#include "core/SingleInstance.h"
#include "logic/FileHelpers.h"
#include "updater/frmUpdate.h"
#include "updater/modUpdate.h"

#include <QApplication>
#include <QLockFile>

#include <memory>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    qelt::InstallDropRule();
    // Closing the window unloads it; the program ends with that, not with the
    // last window closed (in the automatic mode no window is ever shown).
    app.setQuitOnLastWindowClosed(false);

    std::unique_ptr<QLockFile> lock;
    std::unique_ptr<qelt::updater::frmUpdate> form;

    qelt::updater::MainHooks hooks;
    hooks.startProgram = [](const QString &path) { return qelt::OpenDoc(path); };
    hooks.otherInstanceRunning = [&lock] {
        lock = std::make_unique<QLockFile>(qelt::SingleInstance::runtimeFolder() +
                                           QStringLiteral("/qelt-update.lock"));
        lock->setStaleLockTime(0);
        // Only a lock held by another updater counts; a lock file that cannot
        // be made at all does not stop the check.
        return !lock->tryLock(0) && lock->error() == QLockFile::LockFailedError;
    };
    hooks.loadUpdateWindow = [&form, &app] {
        form = std::make_unique<qelt::updater::frmUpdate>();
        QObject::connect(form.get(), &qelt::updater::frmUpdate::unloaded, &app,
                         &QCoreApplication::quit, Qt::QueuedConnection);
        form->Load();
    };

    const auto result = qelt::updater::Main(app.arguments().mid(1), hooks);
    if (result != qelt::updater::MainResult::CheckStarted || !form || !form->isLoaded())
        return 0;
    return app.exec();
}
