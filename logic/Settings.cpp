#include "logic/Settings.h"

#include "logic/BoundedRead.h"
#include "logic/ErrorLog.h"
#include "logic/Lang.h"
#include "logic/ProcessRuns.h"
#include "logic/SafeSave.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <functional>

#include <sys/stat.h>

namespace qelt {

namespace {

// Opens the store (re-reading it, since the updater writes it too) and
// resolves the stored spelling of section and key.
struct Store {
    QSettings s;
    QString key;
    Store(const QString &section, const QString &name) : s(SettingsFilePath(), QSettings::IniFormat)
    {
        const QString group = MatchSettingName(s.childGroups(), section);
        s.beginGroup(group);
        key = MatchSettingName(s.childKeys(), name);
    }
};

bool failureReported = false;
SettingsNotice g_notice = nullptr;
quint64 g_storedChanges = 0;

// A settings value that could not be stored is logged, and the user is told
// once a run: later failures are most likely the same full or read-only disk.
bool reportFailure(const QString &why)
{
    WriteErrLog(QStringLiteral("The settings could not be stored: ") + why);
    if (failureReported)
        return false;
    failureReported = true;
    if (g_notice)
        g_notice(
            LangCap(QStringLiteral("Settings not saved")),
            LangCap(QStringLiteral("Your settings could not be stored:")) + QStringLiteral("\r\n") +
                why + QStringLiteral("\r\n") +
                LangCap(QStringLiteral("Changes made now will be lost when the program ends.")));
    return false;
}

// The whole file; a missing file reads as empty.
QByteArray readAll(const QString &path, bool *ok)
{
    QByteArray bytes;
    *ok = !QFile::exists(path) || ReadFileWhole(path, kMaxWholeFileBytes, &bytes);
    return bytes;
}

// Working copies are made in a hidden folder beside the settings file, so a
// save needs room only where the settings live (not in the temporary
// folder), and named with the process id, so that one left behind by a
// process that was killed is known as stale.
const QLatin1String kWorkMark(".work-");

QString workPrefix(const QFileInfo &settings)
{
    return u'.' + settings.fileName() + kWorkMark;
}

void removeStaleWork(const QFileInfo &settings)
{
    const QString prefix = workPrefix(settings);
    QDir folder(settings.absolutePath());
    const QStringList names = folder.entryList(
        {prefix + u'*'}, QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot | QDir::NoSymLinks);
    for (const QString &name : names) {
        bool ok = false;
        const qint64 pid = name.mid(prefix.size()).section(u'-', 0, 0).toLongLong(&ok);
        if (ok && pid > 0 && !ProcessRuns(pid))
            QDir(folder.filePath(name)).removeRecursively();
    }
}

// Changes a copy of the settings file and stores the result through the
// checked save. QSettings writes its file in a way that reports success after
// a failed write (and can leave it empty); here it only ever writes the copy,
// and the real file is replaced whole or not at all.
bool changeSettings(const std::function<void(QSettings &)> &change,
                    const std::function<bool(QSettings &)> &check)
{
    const QString path = SettingsFilePath();
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return reportFailure(QStringLiteral("Cannot create the folder of ") +
                             QDir::toNativeSeparators(path));
    bool ok = false;
    const QByteArray old = readAll(path, &ok);
    if (!ok)
        return reportFailure(QStringLiteral("Cannot read ") + QDir::toNativeSeparators(path));

    const QFileInfo settings(path);
    removeStaleWork(settings);
    QTemporaryDir work(settings.absolutePath() + u'/' + workPrefix(settings) +
                       QString::number(QCoreApplication::applicationPid()) +
                       QStringLiteral("-XXXXXX"));
    const QString copy = work.path() + QStringLiteral("/settings.ini");
    QByteArray fresh;
    {
        QFile f(copy);
        if (!work.isValid() || !f.open(QIODevice::WriteOnly) || f.write(old) != old.size() ||
            !f.flush())
            return reportFailure(QStringLiteral("Cannot make a working copy of ") +
                                 QDir::toNativeSeparators(path));
    }
    {
        QSettings s(copy, QSettings::IniFormat);
        change(s);
        s.sync();
        if (s.status() != QSettings::NoError)
            return reportFailure(QStringLiteral("Cannot write the working copy of ") +
                                 QDir::toNativeSeparators(path));
    }
    {
        QSettings back(copy, QSettings::IniFormat);
        if (back.status() != QSettings::NoError || !check(back))
            return reportFailure(QStringLiteral("The working copy of ") +
                                 QDir::toNativeSeparators(path) +
                                 QStringLiteral(" did not read back"));
    }
    fresh = readAll(copy, &ok);
    if (!ok)
        return reportFailure(QStringLiteral("Cannot read the working copy of ") +
                             QDir::toNativeSeparators(path));
    if (fresh == old && QFileInfo::exists(path))
        return true;
    QString error;
    if (!SaveFileBytes(path, fresh, &error))
        return reportFailure(error);
    ++g_storedChanges;
    return true;
}

} // namespace

QString MatchSettingName(const QStringList &names, const QString &wanted)
{
    for (const QString &n : names)
        if (n.compare(wanted, Qt::CaseInsensitive) == 0)
            return n;
    return wanted;
}

QString SettingsFilePath()
{
    return AppSettingsFile(QLatin1String(kSettingsAppName));
}

QString GetSet(const QString &section, const QString &key, const QString &defaultValue)
{
    Store st(section, key);
    const QVariant v = st.s.value(st.key);
    // A hand-edited value with an unquoted comma is read by the INI format
    // as a list of texts, which is no text of ours: it counts as absent.
    if (!v.isValid() || v.typeId() == QMetaType::QStringList)
        return defaultValue;
    return v.toString();
}

bool SaveSet(const QString &section, const QString &key, const QString &value)
{
    return changeSettings(
        [&](QSettings &s) {
            s.beginGroup(MatchSettingName(s.childGroups(), section));
            s.setValue(MatchSettingName(s.childKeys(), key), value);
        },
        [&](QSettings &s) {
            s.beginGroup(MatchSettingName(s.childGroups(), section));
            return s.value(MatchSettingName(s.childKeys(), key)).toString() == value;
        });
}

bool DeleteSet(const QString &section, const QString &key)
{
    return changeSettings(
        [&](QSettings &s) {
            s.beginGroup(MatchSettingName(s.childGroups(), section));
            s.remove(MatchSettingName(s.childKeys(), key));
        },
        [&](QSettings &s) {
            s.beginGroup(MatchSettingName(s.childGroups(), section));
            return !s.contains(MatchSettingName(s.childKeys(), key));
        });
}

bool DeleteSetSection(const QString &section)
{
    return changeSettings(
        [&](QSettings &s) { s.remove(MatchSettingName(s.childGroups(), section)); },
        [&](QSettings &s) {
            return !s.childGroups().contains(MatchSettingName(s.childGroups(), section));
        });
}

SettingsStamp CurrentSettingsStamp()
{
    SettingsStamp stamp;
    stamp.storedChanges = g_storedChanges;
    struct stat st {};
    if (::stat(QFile::encodeName(SettingsFilePath()).constData(), &st) == 0) {
        stamp.inode = quint64(st.st_ino);
        stamp.size = qint64(st.st_size);
        stamp.modifiedNs = qint64(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec;
    }
    return stamp;
}

void SetSettingsNotice(SettingsNotice notice)
{
    g_notice = notice;
}

void ResetSettingsFailureReport()
{
    failureReported = false;
}

bool SendOnRecordValue(const QString &stored)
{
    bool ok = false;
    const double v = stored.trimmed().toDouble(&ok);
    return !(ok && v == 0);
}

bool SendOnRecord()
{
    return SendOnRecordValue(
        GetSet(QStringLiteral("Settings"), QStringLiteral("SendOnRecord"), QStringLiteral("1")));
}

QString AppSettingsFile(const QString &appName)
{
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return config + QLatin1Char('/') + appName + QLatin1Char('/') + appName +
           QStringLiteral(".ini");
}

bool SwitchOnValue(const QString &stored)
{
    QString text = stored.trimmed();
    text.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double v = text.toDouble(&ok);
    return ok && v == 1;
}

bool SchedulerSoundOn(const QString &key)
{
    return SwitchOnValue(GetSet(QStringLiteral("Sounds"), key, QStringLiteral("1")));
}

} // namespace qelt
