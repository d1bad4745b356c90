#include "platform/SerialLink.h"

#include <QFile>
#include <QTemporaryFile>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace qelt::platform;

TEST(SerialLink, PortNumbersAndPathsNameDevices)
{
    const struct {
        const char *port;
        const char *device;
    } cases[] = {{"1", "/dev/ttyS0"},
                 {"4", "/dev/ttyS3"},
                 {" 2 ", "/dev/ttyS1"},
                 {"/dev/ttyUSB0", "/dev/ttyUSB0"},
                 {"0", ""},
                 {"-3", ""},
                 {"COM1", ""},
                 {"", ""},
                 {"ttyUSB0", ""}};
    for (const auto &c : cases)
        EXPECT_EQ(PortDeviceName(c.port), QString(c.device)) << c.port;
}

TEST(SerialLink, LineSettingsParse)
{
    LineSettings s;
    ASSERT_TRUE(ParseLineSettings("9600,N,8,1", &s));
    EXPECT_EQ(s.baud, 9600);
    EXPECT_EQ(s.parity, QChar('N'));
    EXPECT_EQ(s.dataBits, 8);
    EXPECT_EQ(s.stopBits, 1);
    for (const char *bad :
         {"", "9600", "9600,N,8", "x,N,8,1", "9600,Q,8,1", "9600,N,9,1", "9600,N,8,3"})
        EXPECT_FALSE(ParseLineSettings(bad, &s)) << bad;
}

TEST(SerialLink, FakeTellsMissingFromBusyPorts)
{
    RecordingSerialLink link;
    link.busyPorts << "2";
    link.missingPorts << "3";
    link.setCommPort("2");
    EXPECT_EQ(link.setPortOpen(true), PortError::PortInUse);
    link.setCommPort("3");
    EXPECT_EQ(link.setPortOpen(true), PortError::InvalidPort);
    link.setCommPort("abc");
    EXPECT_EQ(link.setPortOpen(true), PortError::InvalidPort);
    link.setCommPort("1");
    EXPECT_EQ(link.setPortOpen(true), PortError::None);
    EXPECT_TRUE(link.portOpen());
}

TEST(SerialLink, FakeDecodesBitsFromLineChanges)
{
    RecordingSerialLink link;
    // 1: RTS on, DTR off, standby; 0: RTS off, DTR on, standby.
    for (bool one : {true, false, false, true}) {
        link.setRTSEnable(one);
        link.setDTREnable(!one);
        link.setRTSEnable(true);
        link.setDTREnable(true);
    }
    EXPECT_EQ(link.decodedBits(), "1001");
    link.setRTSEnable(true);
    EXPECT_EQ(link.decodedBits(), "1001?");
}

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
