#include "logic/UninstallFiles.h"

#include "logic/Settings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

namespace qelt {

namespace {

bool RemoveIn(const QString &folder, const QString &name)
{
    // An empty folder would make the path one at the top of the file system.
    if (folder.isEmpty())
        return false;
    const QString path = folder + QLatin1Char('/') + name;
    const QFileInfo info(path);
    // Only files (or links, which go without what they point at).
    if (!info.isSymLink() && !info.isFile())
        return false;
    return QFile::remove(path);
}

} // namespace

QString ReadAppSetting(const QString &appName, const QString &section, const QString &key)
{
    const QString file = AppSettingsFile(appName);
    if (!QFileInfo(file).isFile())
        return {};
    QSettings s(file, QSettings::IniFormat);
    s.beginGroup(MatchSettingName(s.childGroups(), section));
    return s.value(MatchSettingName(s.childKeys(), key)).toString();
}

void DeleteAppSettings(const QString &appName)
{
    if (appName.trimmed().isEmpty() || appName.contains(QLatin1Char('/')) ||
        appName.startsWith(QLatin1Char('.')))
        return;
    const QString file = AppSettingsFile(appName);
    QFile::remove(file);
    // rmdir removes only an empty folder.
    QDir().rmdir(QFileInfo(file).absolutePath());
}

QStringList FilesMatching(const QString &folder, const QStringList &patterns)
{
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        return {};
    return QDir(folder).entryList(patterns, QDir::Files | QDir::Hidden | QDir::System,
                                  QDir::Name | QDir::IgnoreCase);
}

QStringList DeleteUserFiles(const QString &folder)
{
    QStringList deleted;
    for (const char *pattern : {"*.cro", "*.zyv", "*.grp"})
        for (const QString &name : FilesMatching(folder, {QLatin1String(pattern)}))
            if (RemoveIn(folder, name))
                deleted << name;
    for (const char *name : {"Upgrade", "Upgrade.exe"})
        if (RemoveIn(folder, QLatin1String(name)))
            deleted << QLatin1String(name);
    return deleted;
}

QStringList DeleteProgramFiles(const QString &folder)
{
    QStringList deleted;
    for (const QString &name : FilesMatching(folder, {QStringLiteral("*.log")}))
        if (!name.toUpper().startsWith(QLatin1String("ST6U")) && RemoveIn(folder, name))
            deleted << name;
    for (const QString &name : FilesMatching(folder, {QStringLiteral("ST6UNST.*")}))
        if (!name.toLower().endsWith(QLatin1String(".log")) && RemoveIn(folder, name))
            deleted << name;
    if (RemoveIn(folder, QStringLiteral("db.zvd")))
        deleted << QStringLiteral("db.zvd");
    return deleted;
}

} // namespace qelt
