#pragma once

#include <QString>

namespace qelt {

// The value of key in section of an INI file, looked up as the Windows
// private-profile reader does: section and key names without regard to case,
// blanks around names and values ignored, one pair of matching quotes around
// a value removed, the first match wins, values cut to 2047 characters. When
// the key is missing, defaultValue (without trailing blanks); "" for an empty
// result. A missing or malformed file gives the default, never an error.
QString ReadINI(const QString &section, const QString &key, const QString &defaultValue,
                const QString &file);

// Translation of a caption or message from section "Labels & Captions" of
// LangFile, or text itself when there is none.
QString LangCap(const QString &text);

// Translation of a tool tip from section "t-Tips", with one blank before and
// one after.
QString LangTip(const QString &text);

} // namespace qelt
