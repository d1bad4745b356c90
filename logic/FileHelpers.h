#pragma once

#include <QString>
#include <QStringList>

// Small file and folder helpers used by every window (the ones that start
// programs or talk to the user are in core/FileActions.h). They hold no
// state. Paths use "/".
namespace qelt {

// Attribute mask of FileExists: with kAttrDirectory a folder also counts.
inline constexpr int kAttrNormal = 0;
inline constexpr int kAttrDirectory = 16;

// True when path is not empty and names an existing file (or, with
// kAttrDirectory, a folder). A name holding "*" or "?" is a pattern: true
// when anything in its folder matches. Errors give false.
bool FileExists(const QString &path, int attributes = kAttrNormal);

// True only when path names an existing folder (a file of that name is not
// a folder). Errors give false.
bool DirExists(const QString &path);

// Creates every missing folder along path (blanks at both ends and one
// trailing "/" are ignored). False for an empty path, when a file stands
// where a folder is needed, or when a folder cannot be created.
bool MakePath(const QString &path);

// The whole file as text (UTF-8; a file that is not valid UTF-8 is read in
// the one-byte character set, a byte per character, so nothing is lost). A
// missing file is created empty and reads as "". On failure (bad path, a
// folder, unreadable) the result is "" and *ok is false.
QString LoadTextFile(const QString &path, bool *ok = nullptr);

// LoadTextFile for the program's line formats (macro, group and timer
// files): a byte-order mark that another editor put in front of the first
// line is not part of that line, so it is dropped.
QString LoadFormatText(const QString &path, bool *ok = nullptr);

// Replaces the file with text followed by CR LF (in Windows-1252 where the
// text fits, otherwise UTF-8), atomically: the old file stays whole unless
// the new one was written completely. False on failure, with the reason in
// *error when given.
bool SaveTextFile(const QString &text, const QString &path, QString *error = nullptr);

// Copies source to target byte for byte. The copy is written to a
// temporary file beside the target and renamed over it, so the target is
// either the old file or the whole new one. A target that is a link or a
// folder is refused, as is a source that is not a readable file. False on
// any failure, with the reason in *error when given.
bool CopyFileAtomic(const QString &source, const QString &target, QString *error = nullptr);

} // namespace qelt
