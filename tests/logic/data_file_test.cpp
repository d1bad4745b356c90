#include "logic/Cipher.h"
#include "logic/DataFile.h"
#include "logic/ProgramFolder.h"
#include "logic/SafeSave.h"
#include "tests/support/GtestPrinters.h"
#include "tests/support/SaveFaults.h"
#include "tests/support/Windows1252.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <climits>
#include <sys/wait.h>
#include <unistd.h>

using namespace qelt;
using qelt::test::Windows1252Char;

namespace {

class DataFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        path = InProgramFolder(
            QString("db_%1.zvd")
                .arg(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        QFile::remove(path);
        ASSERT_TRUE(OpenDataFile(path));
    }
    void TearDown() override { CloseDataFile(); }

    QByteArray raw() const
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QByteArray rawRecord(int rec) const { return raw().mid((rec - 1) * 255, 255); }

    QString path;
};

} // namespace

TEST_F(DataFileTest, NewFileIsCreatedAndReadsEmpty)
{
    EXPECT_TRUE(QFile::exists(path));
    EXPECT_TRUE(DataFileIsOpen());
    for (int rec : {1, 270, 282}) {
        bool ok = false;
        EXPECT_EQ(GetRec(rec, true, &ok), QString()) << rec;
        EXPECT_TRUE(ok) << rec;
    }
}

TEST_F(DataFileTest, RecordsRoundTripInTheirLayout)
{
    ASSERT_TRUE(PutRec(44, "C12## Porch light"));
    EXPECT_EQ(GetRec(44), QString("C12## Porch light"));

    // 2-byte little-endian length, then the scrambled text, at (n-1)*255.
    const QString scrambled = Crypt(false, "C12## Porch light");
    const QByteArray rec = rawRecord(44);
    ASSERT_EQ(rec.size(), 255);
    EXPECT_EQ(static_cast<unsigned char>(rec[0]), scrambled.size());
    EXPECT_EQ(rec[1], '\0');
    EXPECT_EQ(rec.mid(2, scrambled.size()), scrambled.toLatin1());
    EXPECT_EQ(GetRec(44, false), scrambled);

    // A shorter text replaces a longer one completely; quotes are dropped.
    ASSERT_TRUE(PutRec(44, "say \"hi\""));
    EXPECT_EQ(GetRec(44), QString("say hi"));
    ASSERT_TRUE(PutRec(44, ""));
    EXPECT_EQ(GetRec(44), QString());

    // Without scrambling the text is stored as given, in the one-byte set.
    ASSERT_TRUE(PutRec(3, QString::fromUtf8("Küche"), false));
    EXPECT_EQ(rawRecord(3).mid(0, 7), QByteArray("\x05\x00K\xFC"
                                                 "che",
                                                 7));
    EXPECT_EQ(GetRec(3, false), QString::fromUtf8("Küche"));

    // Records survive closing and opening again.
    CloseDataFile();
    EXPECT_FALSE(DataFileIsOpen());
    ASSERT_TRUE(OpenDataFile(path));
    EXPECT_EQ(GetRec(3, false), QString::fromUtf8("Küche"));
}

TEST_F(DataFileTest, WritingPastTheEndExtendsTheFile)
{
    ASSERT_TRUE(PutRec(1, "first"));
    EXPECT_EQ(raw().size(), 255);
    ASSERT_TRUE(PutRec(282, "12/7/2026 9:37:08 PM"));
    EXPECT_EQ(raw().size(), 282 * 255);
    EXPECT_EQ(GetRec(1), QString("first"));
    EXPECT_EQ(GetRec(282), QString("12/7/2026 9:37:08 PM"));
    for (int rec = 2; rec <= 281; ++rec) {
        bool ok = false;
        EXPECT_EQ(GetRec(rec, true, &ok), QString()) << rec;
        EXPECT_TRUE(ok) << rec;
    }
    bool ok = false;
    EXPECT_EQ(GetRec(5000, true, &ok), QString());
    EXPECT_TRUE(ok);
}

TEST_F(DataFileTest, TooLongTextFailsWithoutTouchingTheRecord)
{
    const QString fits(141, QChar('d'));
    ASSERT_TRUE(PutRec(10, fits));
    EXPECT_EQ(GetRec(10), fits);
    const QByteArray before = raw();

    EXPECT_FALSE(PutRec(10, QString(142, QChar('d'))));
    EXPECT_FALSE(PutRec(11, QString(300, QChar('d'))));
    EXPECT_FALSE(PutRec(10, QString(254, QChar('d')), false));
    EXPECT_EQ(raw(), before);
    EXPECT_EQ(GetRec(10), fits);

    EXPECT_TRUE(PutRec(12, QString(253, QChar('d')), false));
    EXPECT_EQ(GetRec(12, false), QString(253, QChar('d')));
}

TEST_F(DataFileTest, RecordNumbersBelowOneFail)
{
    ASSERT_TRUE(PutRec(1, "one"));
    const QByteArray before = raw();
    for (int rec : {0, -1, INT_MIN}) {
        EXPECT_FALSE(PutRec(rec, "x")) << rec;
        bool ok = true;
        EXPECT_EQ(GetRec(rec, true, &ok), QString()) << rec;
        EXPECT_FALSE(ok) << rec;
    }
    EXPECT_EQ(raw(), before);
}

TEST_F(DataFileTest, DamagedRecordsReportFailure)
{
    ASSERT_TRUE(PutRec(1, "one"));
    CloseDataFile();
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        f.seek(0);
        f.write(QByteArray("\xFF\xFF", 2)); // length beyond a record
        f.seek(255);
        f.write(QByteArray("\x0A\x00"
                           "abc",
                           5)); // text cut off by the end of the file
    }
    ASSERT_TRUE(OpenDataFile(path));
    for (int rec : {1, 2}) {
        bool ok = true;
        EXPECT_EQ(GetRec(rec, true, &ok), QString()) << rec;
        EXPECT_FALSE(ok) << rec;
    }
}

TEST_F(DataFileTest, NoOpenFileFails)
{
    CloseDataFile();
    bool ok = true;
    EXPECT_EQ(GetRec(1, true, &ok), QString());
    EXPECT_FALSE(ok);
    EXPECT_FALSE(PutRec(1, "x"));

    EXPECT_FALSE(OpenDataFile(ProgramFolder() + "/no such folder/db.zvd"));
    EXPECT_FALSE(DataFileIsOpen());
    EXPECT_FALSE(OpenDataFile(ProgramFolder())); // a folder, not a file
    EXPECT_FALSE(DataFileIsOpen());
    EXPECT_FALSE(PutRec(1, "x"));

    // A file the user may read but not write: a child process that is not
    // root (root writes every file) opens it.
    ASSERT_TRUE(OpenDataFile(path));
    CloseDataFile();
    QFile::setPermissions(path,
                          QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (::geteuid() == 0) {
            // The folders on the way must stay passable for the child's user.
            // Only the test's own folders, below the temporary folder.
            const QString top = QDir::tempPath();
            for (QString p = QFileInfo(path).path(); p.startsWith(top + u'/');
                 p = QFileInfo(p).path())
                ::chmod(QFile::encodeName(p).constData(), 0755);
            if (::setgid(65534) != 0 || ::setuid(65534) != 0)
                ::_exit(3);
        }
        if (QFile(path).open(QIODevice::ReadWrite))
            ::_exit(2); // still writable: nothing to test
        const bool refused = !OpenDataFile(path) && !DataFileIsOpen();
        ::_exit(refused ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

// A record a write left unfinished (the disk filled up in it, and a later
// record's gap fill put zeros after it) reads as damaged, never as text.
TEST_F(DataFileTest, CutRecordReadsAsDamaged)
{
    ASSERT_TRUE(PutRec(1, "first"));
    CloseDataFile();
    QByteArray cut(2, '\0');
    cut[0] = 60; // the length of a text of which only 20 bytes arrived
    cut += QByteArray(20, 'K') + QByteArray(255 - 22, '\0');
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::Append));
    ASSERT_EQ(f.write(cut), 255);
    f.close();
    ASSERT_TRUE(OpenDataFile(path));
    bool ok = true;
    EXPECT_EQ(GetRec(2, true, &ok), QString());
    EXPECT_FALSE(ok);
    EXPECT_EQ(GetRec(1), QString("first"));
}

// A write that fails part way is taken back: an appended record leaves no
// trace, an overwritten one keeps its old text, and later writes past it
// cannot make it read as text.
TEST_F(DataFileTest, FailedWriteIsTakenBack)
{
    ASSERT_TRUE(PutRec(1, "first"));
    ASSERT_TRUE(PutRec(2, "second record"));
    const QByteArray before = raw();
    const QString text = QString(120, QChar('t'));
    for (const auto kind : {SaveFault::DiskFull, SaveFault::Flush}) {
        SCOPED_TRACE(int(kind));
        SaveFault fault;
        fault.kind = kind;
        fault.bytesFree = 30;
        fault.nameContains = QStringLiteral("FailedWrite");
        SetSaveFault(fault);
        EXPECT_FALSE(PutRec(3, text));
        EXPECT_FALSE(PutRec(2, text));
        EXPECT_EQ(SaveFaultHits(), 2);
        ClearSaveFault();
        EXPECT_EQ(raw(), before);
    }
    ASSERT_TRUE(PutRec(6, "later"));
    bool ok = false;
    EXPECT_EQ(GetRec(3, true, &ok), QString());
    EXPECT_TRUE(ok);
    EXPECT_EQ(GetRec(2), QString("second record"));
    EXPECT_EQ(GetRec(6), QString("later"));
}

TEST_F(DataFileTest, FullDiskLeavesNoReadableGarbage)
{
    test::TinyTmpfs disk(64);
    if (!disk.mounted())
        GTEST_SKIP() << "cannot mount a tmpfs here";
    CloseDataFile();
    const QString onDisk = disk.path() + "/db.zvd";
    ASSERT_TRUE(OpenDataFile(onDisk));
    ASSERT_TRUE(PutRec(1, "first"));
    disk.fill(0);
    // Keep appending until the disk refuses a record.
    int rec = 2;
    while (rec < 2000 && PutRec(rec, QString(140, QChar('x'))))
        ++rec;
    ASSERT_LT(rec, 2000);
    const int refused = rec;
    QFile::remove(disk.path() + "/.ballast");
    ASSERT_TRUE(PutRec(refused + 3, "later"));
    bool ok = false;
    const QString back = GetRec(refused, true, &ok);
    EXPECT_TRUE(back.isEmpty()) << back.toStdString();
    EXPECT_EQ(GetRec(refused + 3), QString("later"));
    CloseDataFile();
}

// Text the one-byte set cannot hold is stored in UTF-8 and reads back as
// typed; one-byte text keeps today's bytes.
TEST_F(DataFileTest, RecordsKeepEveryCharacter)
{
    const QString typed = QString::fromUtf8("A1## \xD0\x9A\xD1\x83\xD1\x85\xD0\xBD\xD1\x8F "
                                            "\xC5\x82\xC3\xB3\x64\xC5\xBA");
    ASSERT_TRUE(PutRec(20, typed));
    EXPECT_EQ(GetRec(20), typed);
    ASSERT_TRUE(PutRec(21, typed, false));
    EXPECT_EQ(GetRec(21, false), typed);
    EXPECT_EQ(rawRecord(21).mid(2, typed.toUtf8().size()), typed.toUtf8());

    const QString latin = QString::fromUtf8("B2## K\xC3\xBC"
                                            "che");
    ASSERT_TRUE(PutRec(22, latin));
    EXPECT_EQ(rawRecord(22).mid(2, rawRecord(22)[0]), Crypt(false, latin).toLatin1());
    EXPECT_EQ(GetRec(22), latin);
}

// A description may end in any one-byte letter, also in one that could begin
// a UTF-8 sequence ("A1## Caf\xE9"): records that earlier files hold read
// back whole, and storing the text again writes the same bytes.
TEST_F(DataFileTest, EveryByteEndingARecordIsKept)
{
    const auto record = [](const QByteArray &text) {
        QByteArray r(2, '\0');
        r[0] = char(text.size());
        return r + text;
    };
    const auto plant = [this](int rec, const QByteArray &bytes) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(f.seek((rec - 1) * 255));
        ASSERT_EQ(f.write(bytes), bytes.size());
    };
    for (int b = 0x80; b <= 0xFF; ++b) {
        SCOPED_TRACE(b);
        const QByteArray bytes = QByteArray("A1## Caf") + char(b);
        const QString text = QStringLiteral("A1## Caf") + Windows1252Char(b);

        plant(1, record(bytes));
        EXPECT_EQ(GetRec(1, false), text);
        ASSERT_TRUE(PutRec(2, text, false));
        EXPECT_EQ(rawRecord(2).left(11), record(bytes));

        // Scrambled, as every caller stores it: an earlier file's record,
        // and the plain bytes under the scrambling of a record written now.
        plant(3, record(Crypt(false, text).toLatin1()));
        EXPECT_EQ(GetRec(3), text);
        ASSERT_TRUE(PutRec(4, text));
        EXPECT_EQ(GetRec(4), text);
        const QByteArray stored = rawRecord(4);
        const QString plain =
            Crypt(true, QString::fromLatin1(stored.mid(2, static_cast<unsigned char>(stored[0]))));
        EXPECT_EQ(ToAnsi(plain), bytes);
    }
}
