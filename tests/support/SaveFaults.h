#pragma once

// Faults for tests of saving: an injected fault in the save path (works for
// any user) and a tiny real tmpfs (only where the test may mount one).

#include "logic/SafeSave.h"

#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <sys/mount.h>
#include <sys/statvfs.h>

namespace qelt::test {

// Sets a save fault for the life of the object.
class ScopedSaveFault {
public:
    explicit ScopedSaveFault(SaveFault::Kind kind, const QString &nameContains = {},
                             qint64 bytesFree = 0)
    {
        SaveFault f;
        f.kind = kind;
        f.nameContains = nameContains;
        f.bytesFree = bytesFree;
        SetSaveFault(f);
    }
    ~ScopedSaveFault() { ClearSaveFault(); }
    ScopedSaveFault(const ScopedSaveFault &) = delete;
    ScopedSaveFault &operator=(const ScopedSaveFault &) = delete;
    int hits() const { return SaveFaultHits(); }
};

// A tmpfs of a few kilobytes mounted on a temporary folder; mounted() is
// false (and the test should skip) where mounting is not allowed.
class TinyTmpfs {
public:
    explicit TinyTmpfs(int kilobytes = 64)
    {
        if (!m_dir.isValid())
            return;
        const QByteArray options = "size=" + QByteArray::number(kilobytes) + "k";
        m_mounted = ::mount("tmpfs", QFile::encodeName(m_dir.path()).constData(), "tmpfs", 0,
                            options.constData()) == 0;
    }
    ~TinyTmpfs()
    {
        if (m_mounted)
            ::umount2(QFile::encodeName(m_dir.path()).constData(), MNT_DETACH);
    }
    TinyTmpfs(const TinyTmpfs &) = delete;
    TinyTmpfs &operator=(const TinyTmpfs &) = delete;

    bool mounted() const { return m_mounted; }
    QString path() const { return m_dir.path(); }

    // Fills the disk up to about `leave` free bytes with a ballast file.
    void fill(qint64 leave = 0)
    {
        QFile ballast(m_dir.path() + "/.ballast");
        if (!ballast.open(QIODevice::Append))
            return;
        const QByteArray page(4096, 'x');
        while (true) {
            const qint64 free = freeBytes();
            if (free <= leave)
                break;
            const qint64 chunk = qMin<qint64>(page.size(), free - leave);
            if (ballast.write(page.constData(), chunk) != chunk || !ballast.flush())
                break;
        }
    }
    qint64 freeBytes() const
    {
        struct statvfs st {};
        if (::statvfs(QFile::encodeName(m_dir.path()).constData(), &st) != 0)
            return 0;
        return qint64(st.f_bavail) * qint64(st.f_frsize);
    }

private:
    QTemporaryDir m_dir;
    bool m_mounted = false;
};

} // namespace qelt::test
