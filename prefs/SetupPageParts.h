#pragma once

// Pieces the preferences pages and the preferences window share.

#include "logic/Lang.h"
#include "logic/Settings.h"
#include "prefs/SetupRules.h"

#include <QColor>
#include <QKeyEvent>
#include <QPushButton>
#include <QString>

namespace qelt {

// The sound events: list caption, value in "Sounds", factory file.
struct SoundEvent {
    const char *caption;
    const char *value;
    const char *file;
};
inline constexpr SoundEvent kSoundEvents[5] = {
    {" Button Click", "defSound", "click.wav"},
    {" Resize Window", "defZSound", "expand.wav"},
    {" Item gets Recorded", "RecSound", "rec.wav"},
    {" Timer Starts", "defTsound", "tmrstart.wav"},
    {" Macro sends command", "defMsound", "tick.wav"},
};

// A value of the "Settings" section, and storing one.
inline QString SetupSetting(const QString &key, const QString &def = {})
{
    return GetSet(QStringLiteral("Settings"), key, def);
}
inline void SaveSetupSetting(const QString &key, const QString &value)
{
    SaveSet(QStringLiteral("Settings"), key, value);
}

// A switch as it is stored and handed to the main window.
inline QString Bit(bool on)
{
    return on ? QStringLiteral("1") : QStringLiteral("0");
}

inline QString ColourSheet(const char *widget, const QColor &c)
{
    return QStringLiteral("%1 { background-color: %2; }").arg(QLatin1String(widget), c.name());
}

// A control's hint, in the user's language, while the main window shows tool
// tips; none while it does not.
inline void ShowTip(QWidget *control, const QString &text, bool tipsOn)
{
    control->setToolTip(tipsOn ? LangTip(text) : QString());
}

// The character code a key press gives the key filters: 8 for backspace, the
// code of a printable character, -1 for any other key.
inline int KeyCode(const QKeyEvent *key)
{
    if (key->key() == Qt::Key_Backspace)
        return 8;
    if (!key->text().isEmpty() && key->text().at(0).isPrint())
        return key->text().at(0).unicode();
    return -1;
}

// An ON/OFF switch: a checkable button that starts OFF.
inline QPushButton *MakeSwitch(QWidget *page, const QString &name, int x, int y)
{
    auto *b = new QPushButton(QStringLiteral("OFF"), page);
    b->setObjectName(name);
    b->setCheckable(true);
    b->setAutoDefault(false);
    b->setGeometry(x, y, 44, 22);
    return b;
}

} // namespace qelt
