#include "logic/SerialLink.h"

#include <gtest/gtest.h>

using namespace qelt;

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
