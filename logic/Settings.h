#pragma once

#include <QString>
#include <QStringList>

namespace qelt {

// The per-user settings store shared by Qelt and the updater: an INI file in
// the user's config folder under the application name "Brindlecast".
// Section and value names are not case-sensitive: "DataBase16" and
// "Database16" name one section, and a write keeps the spelling already stored.
inline constexpr const char *kSettingsAppName = "Brindlecast";

QString GetSet(const QString &section, const QString &key, const QString &defaultValue = {});
// Stores one value. The settings file is replaced whole or not at all; a
// value that cannot be stored gives false, is logged and, the first time in
// a run, shown to the user.
bool SaveSet(const QString &section, const QString &key, const QString &value);
// Removes one value; a missing value is not an error. Failures as SaveSet.
bool DeleteSet(const QString &section, const QString &key);
// Removes a whole section (any spelling); failures as SaveSet.
bool DeleteSetSection(const QString &section);
// Moves whenever the stored settings may have changed: with every change
// this program stores, and with every replacement or modification of the
// settings file by another program (the updater shares the store). Cheap to
// take every second, unlike a read of the store; equal stamps mean nothing
// was stored in between.
struct SettingsStamp {
    quint64 storedChanges = 0; // changes stored by this program
    quint64 inode = 0;         // the file's identity, size and time; 0 / -1 without a file
    qint64 size = -1;
    qint64 modifiedNs = -1;
    bool operator==(const SettingsStamp &) const = default;
};
SettingsStamp CurrentSettingsStamp();
// How the first failure of a run is shown to the user. The dialogs set it
// when they are linked into the program; without it failures are only logged.
using SettingsNotice = void (*)(const QString &title, const QString &message);
void SetSettingsNotice(SettingsNotice notice);
// Lets the next failure be shown again (for tests).
void ResetSettingsFailureReport();
// Path of the settings file (for tests and the uninstaller).
QString SettingsFilePath();
// The name among `names` that matches `wanted` ignoring case, else `wanted`:
// how a section or value name is looked up in an INI store.
QString MatchSettingName(const QStringList &names, const QString &wanted);

// "Settings"/"SendOnRecord": whether the macro editor sends the commands it
// records. Only a number equal to 0 turns sending off; a missing or other
// value leaves it on, as the default "1" does.
bool SendOnRecordValue(const QString &stored);
bool SendOnRecord();

// The settings file of an application name in the per-user settings store,
// laid out as the program's own ("<config>/<app>/<app>.ini").
QString AppSettingsFile(const QString &appName);

// A stored ON/OFF switch ("1"/"0"): on only for a number equal to 1, read
// with blanks around it and "." or "," as the decimal sign (" 1" and "1.0"
// are on; "2", "abc" and "" are off).
bool SwitchOnValue(const QString &stored);
// "Sounds"/key ("TimerTsound", "TimerMsound"): whether the scheduler plays
// its timer-start or macro-tick sound; a missing value is on.
bool SchedulerSoundOn(const QString &key);

} // namespace qelt
