#include "platform/QtSerialLink.h"

#include <QFile>
#include <QTemporaryFile>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace qelt;
using namespace qelt::platform;

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
