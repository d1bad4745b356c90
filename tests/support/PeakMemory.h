#pragma once

// The process's peak and current resident memory, for tests that check
// that a large file or transfer is handled without being held whole, and for
// the benchmarks.

#include <QByteArray>
#include <QFile>

namespace qelt::test {

// Under AddressSanitizer freed memory is held back on purpose, so peaks say
// nothing about what the code keeps; the checks are skipped there.
#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool kPeakMemoryMeaningful = false;
#else
inline constexpr bool kPeakMemoryMeaningful = true;
#endif

// Starts a new peak measurement (Linux: the peak falls back to the current
// resident size). False where the system does not offer it.
inline bool ResetPeakMemory()
{
    QFile f(QStringLiteral("/proc/self/clear_refs"));
    return f.open(QIODevice::WriteOnly) && f.write("5") == 1 && f.flush();
}

// A "Name:   1234 kB" line of /proc/self/status, in KiB (-1 when unknown).
inline qint64 StatusKiB(const char *field)
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray name = QByteArray(field) + ':';
    for (const QByteArray &line : f.readAll().split('\n')) {
        if (line.startsWith(name))
            return line.mid(name.size()).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

// Peak resident memory in KiB since the last reset (-1 when unknown).
inline qint64 PeakMemoryKiB()
{
    return StatusKiB("VmHWM");
}

// Current resident memory in KiB (-1 when unknown).
inline qint64 ResidentMemoryKiB()
{
    return StatusKiB("VmRSS");
}

} // namespace qelt::test
