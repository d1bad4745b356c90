#include "updater/InstallerKind.h"

#include <QtEndian>

namespace qelt::updater {

namespace {

// ELF identification and header fields (the System V ABI's layout).
constexpr int kElfClassAt = 4; // 1: 32-bit, 2: 64-bit
constexpr int kElfDataAt = 5;  // 1: little-endian, 2: big-endian
constexpr int kElfTypeAt = 16; // 2: executable, 3: shared object (PIE)
constexpr int kElfMachineAt = 18;
constexpr int kElfHeadSize = 20;

constexpr int kOwnClass = sizeof(void *) == 8 ? 2 : 1;
constexpr int kOwnData = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? 1 : 2;

// The ELF machine number of the processor this program was built for
// (0 where it is not known: then any machine is accepted).
constexpr int ownMachine()
{
#if defined(__x86_64__)
    return 62;
#elif defined(__aarch64__)
    return 183;
#elif defined(__i386__)
    return 3;
#elif defined(__arm__)
    return 40;
#elif defined(__riscv)
    return 243;
#elif defined(__powerpc64__)
    return 21;
#else
    return 0;
#endif
}

quint16 half(const QByteArray &head, int at)
{
    const auto *p = reinterpret_cast<const uchar *>(head.constData() + at);
    return kOwnData == 1 ? qFromLittleEndian<quint16>(p) : qFromBigEndian<quint16>(p);
}

} // namespace

bool IsInstallerForThisSystem(const QByteArray &head)
{
    if (head.startsWith("#!"))
        return true;
    if (!head.startsWith("\x7f"
                         "ELF") ||
        head.size() < kElfHeadSize)
        return false;
    if (head[kElfClassAt] != kOwnClass || head[kElfDataAt] != kOwnData)
        return false;
    const quint16 type = half(head, kElfTypeAt);
    if (type != 2 && type != 3)
        return false;
    return ownMachine() == 0 || half(head, kElfMachineAt) == ownMachine();
}

} // namespace qelt::updater
