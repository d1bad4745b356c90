#pragma once

// Pieces the preferences pages and the preferences window share.

#include "core/Mailbox.h"
#include "core/TypedCharacter.h"
#include "logic/Lang.h"
#include "logic/Settings.h"
#include "prefs/SetupPageHost.h"

#include <QColor>
#include <QKeyEvent>
#include <QLabel>
#include <QRegularExpressionValidator>
#include <QString>

namespace qelt {

// The settings section of the sound files and the scheduler's sound switches.
inline const QString kSounds = QStringLiteral("Sounds");

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
// code of a typed character, -1 for any other key (Tab, Esc, shortcuts).
inline int KeyCode(const QKeyEvent *key)
{
    if (key->key() == Qt::Key_Backspace)
        return 8;
    const QChar typed = TypedCharacter(key);
    return typed.isNull() ? -1 : typed.unicode();
}

// Writes text into the main window's option box of that name, when there is
// one.
inline void SetMainBox(const SetupPageHost &host, const char *name, const QString &text)
{
    if (Mailbox *box = host.mainBox(name))
        box->setText(text);
}

// A label of a page, one line high.
inline QLabel *PageLabel(QWidget *page, const char *name, const char *text, int x, int y, int w)
{
    auto *l = new QLabel(QLatin1String(text), page);
    l->setObjectName(QLatin1String(name));
    l->setGeometry(x, y, w, 22);
    return l;
}

// For number-only boxes: digits and nothing else, typed or pasted.
inline QValidator *DigitsOnlyValidator(QObject *parent)
{
    return new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), parent);
}

} // namespace qelt
