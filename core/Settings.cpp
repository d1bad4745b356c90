#include "core/Settings.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>

namespace qelt {

namespace {

// Opens the store (re-reading it, since the updater writes it too) and
// resolves the stored spelling of section and key.
struct Store {
    QSettings s;
    QString key;
    Store(const QString &section, const QString &name)
        : s(SettingsFilePath(), QSettings::IniFormat)
    {
        const QString group = MatchSettingName(s.childGroups(), section);
        s.beginGroup(group);
        key = MatchSettingName(s.childKeys(), name);
    }
};

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
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return config + "/" + kSettingsAppName + "/" + kSettingsAppName + ".ini";
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

void SaveSet(const QString &section, const QString &key, const QString &value)
{
    QDir().mkpath(QFileInfo(SettingsFilePath()).absolutePath());
    Store st(section, key);
    st.s.setValue(st.key, value);
    st.s.sync();
}

void DeleteSet(const QString &section, const QString &key)
{
    Store st(section, key);
    st.s.remove(st.key);
    st.s.sync();
}

} // namespace qelt
