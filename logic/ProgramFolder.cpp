#include "logic/ProgramFolder.h"

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

QString ProgramFolderFromEnvironment()
{
    const QString env = qEnvironmentVariable("QELT_HOME");
    if (env.isEmpty())
        return {};
    return QDir::cleanPath(QDir(env).absolutePath());
}

QString ProgramFolder()
{
    if (!folderOverride().isEmpty())
        return folderOverride();
    const QString env = ProgramFolderFromEnvironment();
    if (!env.isEmpty())
        return env;
    return QCoreApplication::applicationDirPath();
}

void SetProgramFolder(const QString &folder)
{
    folderOverride() = QDir::cleanPath(folder);
}

QString InProgramFolder(const QString &name)
{
    return ProgramFolder() + "/" + name;
}

QString InstalledProgramPath(const QString &name)
{
    return QCoreApplication::applicationDirPath() + "/" + name;
}

} // namespace qelt
