#include "core/SystemInfo.h"
#include "tests/support/Bounds.h"

#include "core/Sounds.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <gtest/gtest.h>

using namespace qelt;

TEST(SystemInfo, OffsetTextKeepsTheBiasSignInBothNumbers)
{
    const struct {
        int bias;
        const char *text;
    } cases[] = {
        {300, "5 hours, 0 minutes"},     {-330, "-5 hours, -30 minutes"},
        {-60, "-1 hours, 0 minutes"},    {0, "0 hours, 0 minutes"},
        {30, "0 hours, 30 minutes"},     {-30, "0 hours, -30 minutes"},
        {-345, "-5 hours, -45 minutes"}, {720, "12 hours, 0 minutes"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(OffsetText(c.bias), c.text) << c.bias;
}

TEST(SystemInfo, ZoneTextsAndDaylightTime)
{
    const QDateTime winter(QDate(2026, 1, 15), QTime(12, 0), Qt::UTC);
    const QDateTime summer(QDate(2026, 7, 15), QTime(12, 0), Qt::UTC);

    // A zone given by its offset alone has no daylight time.
    const QTimeZone fixed(5 * 3600 + 30 * 60);
    EXPECT_EQ(TZStdOffset(fixed, summer), "-5 hours, -30 minutes");
    EXPECT_EQ(TZOffset(fixed, summer), TZStdOffset(fixed, summer));
    EXPECT_FALSE(IsDST(fixed, summer));

    const struct {
        const char *zone;
        QDateTime at;
        const char *standard;
        const char *now;
        bool dst;
    } cases[] = {
        {"America/New_York", winter, "5 hours, 0 minutes", "5 hours, 0 minutes", false},
        {"America/New_York", summer, "5 hours, 0 minutes", "4 hours, 0 minutes", true},
        {"Europe/Berlin", summer, "-1 hours, 0 minutes", "-2 hours, 0 minutes", true},
        {"Asia/Kolkata", summer, "-5 hours, -30 minutes", "-5 hours, -30 minutes", false},
        {"Australia/Adelaide", winter, "-9 hours, -30 minutes", "-10 hours, -30 minutes", true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.zone);
        const QTimeZone zone(c.zone);
        if (!zone.isValid()) {
            ADD_FAILURE() << "time-zone data missing";
            continue;
        }
        EXPECT_EQ(TZStdOffset(zone, c.at), c.standard);
        EXPECT_EQ(TZOffset(zone, c.at), c.now);
        EXPECT_EQ(IsDST(zone, c.at), c.dst);
    }

    // The system-zone forms agree with the zone they read.
    const QTimeZone sys = QTimeZone::systemTimeZone();
    const QDateTime now = QDateTime::currentDateTimeUtc();
    EXPECT_EQ(TZStdOffset(), TZStdOffset(sys, now));
    EXPECT_EQ(IsDST(), IsDST(sys, now));
}

TEST(SystemInfo, VersionAndSystemName)
{
    EXPECT_EQ(ProgramVersion(), "1.70.1050");
    EXPECT_EQ(QString("%1.%2.%3").arg(VersionMajor()).arg(VersionMinor()).arg(VersionRevision()),
              ProgramVersion());
    WinVer.clear();
    GetWinVer();
    EXPECT_TRUE(WinVer.endsWith(' '));
    EXPECT_GT(WinVer.trimmed().size(), 0);
}

TEST(Sounds, NothingToPlayIsSilentAndReturnsAtOnce)
{
    const QString dir = QDir::homePath();
    QFile bad(dir + "/bad.wav");
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("not a wave file");
    bad.close();

    QElapsedTimer t;
    t.start();
    for (const QString path : {"none", "NONE", "", "/no/such/file.wav", "relative-missing.wav"})
        PlayWav(path);
    // A file that exists but is no sound, and a short real one: whatever the
    // machine's audio, the call returns at once and nothing crashes.
    PlayWav(bad.fileName());
    QFile wav(dir + "/tick.wav");
    ASSERT_TRUE(wav.open(QIODevice::WriteOnly));
    const QByteArray samples(800, '\x80'); // 0.1 s of 8-bit silence at 8 kHz
    QByteArray header = "RIFF";
    auto le32 = [](quint32 v) {
        QByteArray b(4, '\0');
        for (int k = 0; k < 4; ++k)
            b[k] = char(v >> (8 * k));
        return b;
    };
    header += le32(36 + samples.size()) + "WAVEfmt " + le32(16);
    header += QByteArray("\x01\x00\x01\x00", 4) + le32(8000) + le32(8000);
    header += QByteArray("\x01\x00\x08\x00", 4) + "data" + le32(samples.size());
    wav.write(header + samples);
    wav.close();
    PlayWav(wav.fileName());
    for (int i = 0; i < 20; ++i)
        QCoreApplication::processEvents();
    EXPECT_LT(t.elapsed(), test::kAtOnceMs);
}
