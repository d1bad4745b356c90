#pragma once

#include <QChar>
#include <QKeyEvent>

namespace qelt {

// The character a key press types, for the key filters of boxes that take
// only some characters; a null QChar for a key with a control meaning (Tab,
// Shift+Tab, Esc, Enter, Backspace, the arrows, Home/End, Ctrl+A/C/V/X and
// any other Ctrl, Alt or Meta shortcut), which the filters leave to the box
// and the window. The modifiers decide a shortcut, not the text: depending on
// the platform and keyboard layout Ctrl+A carries "\x01" or "a".
inline QChar TypedCharacter(const QKeyEvent *key)
{
    const QString text = key->text();
    if (text.isEmpty() || !text.at(0).isPrint())
        return {};
    if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return {};
    return text.at(0);
}

} // namespace qelt
