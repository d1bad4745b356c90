#pragma once

#include <QByteArray>
#include <QString>

// The one text encoding rule for every file the program writes and reads: a
// text the one-byte character set (Windows-1252) can hold is written in it,
// byte for byte, so existing files and other readers see no change; any other
// text is written in UTF-8, so nothing the user typed becomes "?".
namespace qelt {

// True when every character of text has a Windows-1252 byte.
bool FitsAnsi(const QString &text);

// Windows-1252 when the whole text fits, otherwise UTF-8.
QByteArray EncodeText(const QString &text);

// Valid UTF-8 that holds non-ASCII bytes is read as UTF-8; anything else,
// also bytes that end inside a UTF-8 sequence, as Windows-1252 (plain ASCII
// reads the same either way). A byte-order mark in
// front of UTF-8 is dropped, or kept as U+FEFF with keepByteOrderMark.
QString DecodeText(const QByteArray &bytes, bool keepByteOrderMark = false);

} // namespace qelt
