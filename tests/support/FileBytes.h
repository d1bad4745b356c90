#pragma once

// Whole-file reads and writes for tests that check the bytes a program
// leaves on disk.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>

namespace qelt::test {

// The file's bytes; "<missing>" where it cannot be read, so that a file that
// was never written does not pass for an empty one.
inline QByteArray ReadBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArrayLiteral("<missing>");
}

// Writes the file, replacing it and making its folder first; false where it
// cannot be written.
[[nodiscard]] inline bool WriteBytes(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

} // namespace qelt::test
