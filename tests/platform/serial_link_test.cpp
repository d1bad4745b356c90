#include "logic/Transmitter.h"
#include "platform/QtSerialLink.h"
#include "tests/support/FakeWaitClock.h"

#include <QFile>
#include <QTemporaryFile>

#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <vector>

#include <fcntl.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace qelt;
using namespace qelt::platform;

namespace {

// A pseudo-terminal's slave side, which QSerialPort opens like a serial port
// (it has no modem-control lines, though).
struct Pty {
    int master = posix_openpt(O_RDWR | O_NOCTTY);
    QString device;
    Pty()
    {
        if (master >= 0 && grantpt(master) == 0 && unlockpt(master) == 0)
            device = QString::fromLocal8Bit(ptsname(master));
    }
    ~Pty()
    {
        if (master >= 0)
            ::close(master);
    }
};

// One call of the link's modem-control seam, written as the line change it
// asks for ("RTS on", "DTR off", ...), or as what was wrong with it.
struct ModemCall {
    int fd;
    std::string change;
};

std::string Describe(unsigned long request, int lines)
{
    const char *line = lines == TIOCM_RTS ? "RTS" : lines == TIOCM_DTR ? "DTR" : "?lines";
    const char *state = request == TIOCMBIS ? " on" : request == TIOCMBIC ? " off" : " ?request";
    return std::string(line) + state;
}

// The changes a frame must make, from the frame's written form: for a 1
// RTS on then DTR off, for anything else RTS off then DTR on, then both on.
std::vector<std::string> ExpectedChanges(const char *bits)
{
    std::vector<std::string> out;
    for (const char *c = bits; *c; ++c) {
        if (*c == '1')
            out.insert(out.end(), {"RTS on", "DTR off"});
        else
            out.insert(out.end(), {"RTS off", "DTR on"});
        out.insert(out.end(), {"RTS on", "DTR on"});
    }
    return out;
}

bool SameDevice(int fd, const QString &device)
{
    struct stat a {
    }, b{};
    return ::fstat(fd, &a) == 0 && ::stat(QFile::encodeName(device).constData(), &b) == 0 &&
           a.st_rdev == b.st_rdev;
}

} // namespace

TEST(SerialLink, RealPortTellsMissingFromBusyPorts)
{
    // No device, and a file that is not a serial device: no such port.
    QTemporaryFile plain;
    ASSERT_TRUE(plain.open());
    for (const QString &port : {QString("/dev/qelt-no-such-port"), plain.fileName()}) {
        QtSerialLink link;
        link.setCommPort(port);
        EXPECT_EQ(link.setPortOpen(true), PortError::InvalidPort) << port.toStdString();
        EXPECT_FALSE(link.portOpen());
        EXPECT_FALSE(link.errorString().isEmpty());
    }

    // A pseudo-terminal stands in for a serial port. While one link holds
    // it, a second one finds it in use; once it is let go, it opens.
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0)
        GTEST_SKIP() << "no pseudo-terminals on this machine";
    ASSERT_EQ(grantpt(master), 0);
    ASSERT_EQ(unlockpt(master), 0);
    const QString device = QString::fromLocal8Bit(ptsname(master));
    QtSerialLink first, second;
    first.setCommPort(device);
    second.setCommPort(device);
    ASSERT_EQ(first.setPortOpen(true), PortError::None) << first.errorString().toStdString();
    EXPECT_EQ(second.setPortOpen(true), PortError::PortInUse);
    EXPECT_FALSE(second.portOpen());
    EXPECT_FALSE(second.errorString().isEmpty());
    EXPECT_TRUE(first.portOpen());
    EXPECT_EQ(first.setPortOpen(false), PortError::None);
    EXPECT_EQ(second.setPortOpen(true), PortError::None);
    EXPECT_EQ(second.setPortOpen(false), PortError::None);

    // A port the user may not open is not "in use" (root may open anything).
    if (geteuid() != 0) {
        ASSERT_EQ(::chmod(QFile::encodeName(device).constData(), 0), 0);
        QtSerialLink denied;
        denied.setCommPort(device);
        EXPECT_EQ(denied.setPortOpen(true), PortError::Other);
    }
    ::close(master);
}

TEST(SerialLink, EachLineChangeIsOneIoctlOnThePortsDescriptor)
{
    Pty pty;
    if (pty.device.isEmpty())
        GTEST_SKIP() << "no pseudo-terminals on this machine";
    std::vector<ModemCall> calls;
    QtSerialLink link([&](int fd, unsigned long request, int lines) {
        calls.push_back({fd, Describe(request, lines)});
        return 0;
    });
    link.setCommPort(pty.device);

    // Nothing reaches a closed port.
    link.setRTSEnable(false);
    EXPECT_TRUE(calls.empty());

    // The open raises both lines (standby), one call each.
    ASSERT_EQ(link.setPortOpen(true), PortError::None) << link.errorString().toStdString();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].change, "RTS on");
    EXPECT_EQ(calls[1].change, "DTR on");
    EXPECT_TRUE(SameDevice(calls[0].fd, pty.device));

    // A frame of a 1, a 0 and a character that counts as a 0, through the
    // bit sender: four changes a bit, nothing else.
    calls.clear();
    test::FakeWaitClock clock;
    clock.pumpRealEvents = false;
    SetCommLink(&link);
    SendBits(QStringLiteral("10x1"));
    SetCommLink(nullptr);
    std::vector<std::string> changes;
    for (const ModemCall &c : calls) {
        changes.push_back(c.change);
        EXPECT_EQ(c.fd, calls[0].fd);
    }
    EXPECT_EQ(changes, ExpectedChanges("1001"));
    EXPECT_TRUE(link.errorString().isEmpty());
    EXPECT_TRUE(link.rtsEnable());
    EXPECT_TRUE(link.dtrEnable());
    link.setPortOpen(false);
}

TEST(SerialLink, LineThatCannotBeSwitchedIsReported)
{
    // A pseudo-terminal has no modem-control lines: the real ioctl fails.
    Pty pty;
    if (pty.device.isEmpty())
        GTEST_SKIP() << "no pseudo-terminals on this machine";
    QtSerialLink link;
    link.setCommPort(pty.device);
    // The port itself opens; that its lines cannot be raised is told.
    ASSERT_EQ(link.setPortOpen(true), PortError::None);
    EXPECT_TRUE(link.errorString().contains("RTS on")) << link.errorString().toStdString();
    link.setPortOpen(false);

    // A failure in the middle of a frame is not hidden by the changes after it.
    int call = 0;
    QtSerialLink flaky([&](int, unsigned long, int) {
        if (++call == 4) {
            errno = EIO;
            return -1;
        }
        return 0;
    });
    flaky.setCommPort(pty.device);
    ASSERT_EQ(flaky.setPortOpen(true), PortError::None);
    EXPECT_TRUE(flaky.errorString().isEmpty());
    for (bool on : {false, true, true}) {
        flaky.setRTSEnable(on);
        flaky.setDTREnable(on);
    }
    EXPECT_TRUE(flaky.errorString().contains("DTR off")) << flaky.errorString().toStdString();
    EXPECT_TRUE(flaky.errorString().contains(qt_error_string(EIO)));
    // The next open starts afresh.
    flaky.setPortOpen(false);
    ASSERT_EQ(flaky.setPortOpen(true), PortError::None);
    EXPECT_TRUE(flaky.errorString().isEmpty());
}

// On a machine with a real UART: every change reaches the line, read back
// from the driver right after it.
TEST(SerialLink, RealUartLinesFollowEveryChange)
{
    const QString device = QStringLiteral("/dev/ttyS0");
    if (!QFile::exists(device))
        GTEST_SKIP() << "no " << device.toStdString();
    std::vector<std::string> changes;
    int wrong = 0;
    QtSerialLink link([&](int fd, unsigned long request, int lines) {
        const int rc = ::ioctl(fd, request, &lines);
        changes.push_back(Describe(request, lines));
        int now = 0;
        if (::ioctl(fd, TIOCMGET, &now) != 0 || bool(now & lines) != (request == TIOCMBIS))
            ++wrong;
        return rc;
    });
    link.setCommPort(device);
    if (link.setPortOpen(true) != PortError::None)
        GTEST_SKIP() << "cannot open " << device.toStdString() << ": "
                     << link.errorString().toStdString();
    changes.clear();
    test::FakeWaitClock clock;
    clock.pumpRealEvents = false;
    SetCommLink(&link);
    SendBits(QStringLiteral("1101010110101010"));
    SetCommLink(nullptr);
    link.setPortOpen(false);
    EXPECT_EQ(changes, ExpectedChanges("1101010110101010"));
    EXPECT_EQ(wrong, 0);
    EXPECT_TRUE(link.errorString().isEmpty()) << link.errorString().toStdString();
}
