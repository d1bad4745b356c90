#include "logic/Cipher.h"
#include "logic/ErrorLog.h"
#include "logic/ProgramFolder.h"
#include "tests/support/GtestPrinters.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

using namespace qelt;

namespace {

class ErrorLogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = ProgramFolder();
        QFile::remove(ErrorLogPath());
        SetErrLogClock([this] { return now; });
    }
    void TearDown() override
    {
        SetErrLogClock({});
        SetProgramFolder(folder);
    }
    static QByteArray logBytes()
    {
        QFile f(ErrorLogPath());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    static QByteArray entry(const char *time, const QString &text)
    {
        return QByteArray("\"\r\nLogged:  ") + time + "\"\r\n\"\t" + Crypt(false, text).toLatin1() +
               "\"\r\n";
    }

    QString folder;
    QDateTime now{QDate(2026, 12, 7), QTime(21, 37, 8)};
};

} // namespace

TEST_F(ErrorLogTest, EntriesAreAppendedInTheirLayout)
{
    EXPECT_EQ(ErrorLogPath(), ProgramFolder() + "/error.log");
    EXPECT_FALSE(QFile::exists(ErrorLogPath()));

    ASSERT_TRUE(LogErr("Sub Main", "modX, X**", 5, "Invalid procedure call"));
    now = now.addSecs(3600 * 3);
    ASSERT_TRUE(LogErr("cmdON_MouseDown", "frmFire", 8002, "Invalid port number"));

    const QByteArray expected =
        entry("12/7/2026 9:37:08 PM", "Error 5 (Invalid procedure call), Sub Main on modX, X**") +
        entry("12/8/2026 12:37:08 AM",
              "Error 8002 (Invalid port number), cmdON_MouseDown on frmFire");
    EXPECT_EQ(logBytes(), expected);

    // Six lines; the text lines unscramble to the entry texts.
    const QList<QByteArray> lines = logBytes().split('\n');
    ASSERT_EQ(lines.size(), 7);
    EXPECT_EQ(lines[0], "\"\r");
    EXPECT_TRUE(lines[1].startsWith("Logged:  "));
    const QByteArray text = lines[2].mid(2, lines[2].size() - 4);
    EXPECT_EQ(Crypt(true, QString::fromLatin1(text)),
              QString("Error 5 (Invalid procedure call), Sub Main on modX, X**"));
}

TEST_F(ErrorLogTest, QuotesAreDroppedFromTheText)
{
    ASSERT_TRUE(WriteErrLog("Function \"goGrLabel\" failed"));
    const QByteArray bytes = logBytes();
    EXPECT_EQ(bytes, entry("12/7/2026 9:37:08 PM", "Function goGrLabel failed"));
    EXPECT_EQ(bytes.count('"'), 4);
}

TEST_F(ErrorLogTest, TimesUseTheGeneralDateForm)
{
    const struct {
        QDateTime when;
        const char *text;
    } cases[] = {
        {QDateTime(QDate(2026, 1, 5), QTime(0, 0, 0)), "1/5/2026 12:00:00 AM"},
        {QDateTime(QDate(2026, 3, 4), QTime(12, 5, 9)), "3/4/2026 12:05:09 PM"},
        {QDateTime(QDate(2026, 12, 31), QTime(23, 59, 59)), "12/31/2026 11:59:59 PM"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(ErrLogTimeText(c.when), QString(c.text));
}

TEST_F(ErrorLogTest, UnwritableLogFailsQuietly)
{
    SetProgramFolder(folder + "/missing folder");
    EXPECT_FALSE(WriteErrLog("lost"));
    EXPECT_FALSE(LogErr("p", "m", 1, "d"));

    // A folder in the log's place cannot be appended to.
    SetProgramFolder(folder);
    ASSERT_TRUE(QDir(folder).mkpath("error.log"));
    EXPECT_FALSE(WriteErrLog("lost"));
    QDir(folder).rmdir("error.log");
}

// The entry text is scrambled as Windows-1252 bytes where the set holds it
// (as every earlier entry) and as UTF-8 otherwise, so no character becomes
// "?".
TEST_F(ErrorLogTest, EntryTextKeepsEveryCharacter)
{
    const struct {
        QString text;
        QByteArray bytes;
    } cases[] = {
        {QString::fromUtf8("A1## Caf\xC3\xA9"), "A1## Caf\xE9"},
        {QString::fromUtf8("Datei K\xC3\xBC"
                           "che \xE2\x82\xAC"),
         "Datei K\xFC"
         "che \x80"},
        {QString::fromUtf8("K\xC3\xBC"
                           "che \xD0\x9A\xD1\x83\xD1\x85\xD0\xBD\xD1\x8F \xCE\xA9"),
         "K\xC3\xBC"
         "che \xD0\x9A\xD1\x83\xD1\x85\xD0\xBD\xD1\x8F \xCE\xA9"},
    };
    for (const auto &c : cases) {
        QFile::remove(ErrorLogPath());
        ASSERT_TRUE(WriteErrLog(c.text));
        const QList<QByteArray> lines = logBytes().split('\n');
        ASSERT_EQ(lines.size(), 4);
        EXPECT_TRUE(lines[2].startsWith("\"\t") && lines[2].endsWith("\"\r"));
        const QByteArray scrambled = lines[2].mid(2, lines[2].size() - 4);
        EXPECT_EQ(ToAnsi(Crypt(true, QString::fromLatin1(scrambled))), c.bytes);
    }
}
