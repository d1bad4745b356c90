#include "core/ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>

namespace qelt {

namespace {
QString &folderOverride()
{
    static QString folder;
    return folder;
}
} // namespace

QString ProgramFolder()
{
    if (!folderOverride().isEmpty())
        return folderOverride();
    const QString env = qEnvironmentVariable("QELT_HOME");
    if (!env.isEmpty())
        return QDir::cleanPath(QDir(env).absolutePath());
    return QCoreApplication::applicationDirPath();
}

void SetProgramFolder(const QString &folder) { folderOverride() = QDir::cleanPath(folder); }

QString InProgramFolder(const QString &name) { return ProgramFolder() + "/" + name; }

} // namespace qelt
