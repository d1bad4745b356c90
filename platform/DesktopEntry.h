#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

// Reading and writing the freedesktop.org files the program registers
// itself in: desktop entries (the [Desktop Entry] group only) and the
// default-application list mimeapps.list.
namespace qelt {

// One argument of an Exec line: always in double quotes (a path is safe
// whatever it holds), with ", `, $ and \ escaped inside; "%" doubled.
QString QuoteExecArg(const QString &arg);
// Splits an Exec value (after string unescaping) into its arguments,
// undoing QuoteExecArg. Field codes such as %f stay as they are.
QStringList SplitExecLine(const QString &exec);

// String escapes of a desktop-file value (\\, \n, \t, \r, a leading \s),
// and their reverse.
QString EscapeDesktopValue(const QString &value);
QString UnescapeDesktopValue(const QString &value);

// The keys of a desktop entry's [Desktop Entry] group, in order.
class DesktopEntry {
public:
    void set(const QString &key, const QString &value);
    QString value(const QString &key) const; // "" when absent
    bool contains(const QString &key) const;
    // The file's text: "[Desktop Entry]" and one "Key=escaped value" a line.
    QByteArray toText() const;
    // Parses the [Desktop Entry] group; false when the file cannot be read
    // or has no such group.
    bool read(const QString &path);
    // Writes the file atomically (folders created); executable when asked
    // (desktops only launch desktop-folder entries that are).
    bool write(const QString &path, bool executable = false) const;

private:
    QList<QPair<QString, QString>> m_keys;
};

// mimeapps.list, group [Default Applications]. Every other group and line
// of the file is kept as it stands.
QStringList DefaultApplications(const QString &listPath, const QString &mimeType);
// Puts desktopId first in the type's list (once). False when the file
// cannot be written.
bool SetDefaultApplication(const QString &listPath, const QString &mimeType,
                           const QString &desktopId);
// Takes desktopId out of the type's list; the line goes when nothing is
// left. Other ids stay. False only when a needed write failed.
bool RemoveDefaultApplication(const QString &listPath, const QString &mimeType,
                              const QString &desktopId);

// Replaces path's content atomically, creating missing folders.
bool WriteFileAtomically(const QString &path, const QByteArray &data);

} // namespace qelt
