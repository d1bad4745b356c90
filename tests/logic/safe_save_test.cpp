#include "logic/SafeSave.h"
#include "logic/TextCodec.h"

#include "tests/support/FileBytes.h"
#include "tests/support/SaveFaults.h"
#include "tests/support/Windows1252.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

using namespace qelt;
using namespace qelt::test;

namespace {

QStringList leftovers(const QString &folder)
{
    QStringList out;
    for (const QString &name : QDir(folder).entryList(QDir::Files | QDir::Hidden))
        if (IsSaveTempName(name))
            out << name;
    return out;
}

} // namespace

TEST(SafeSave, EveryFaultKeepsTheOldFileAndSaysWhy)
{
    struct Case {
        const char *name;
        SaveFault::Kind kind;
        qint64 bytesFree;
    };
    const Case cases[] = {
        {"cannot create", SaveFault::Open, 0},
        {"disk full before the first byte", SaveFault::DiskFull, 0},
        {"disk full mid-write", SaveFault::DiskFull, 5000},
        {"flush fails", SaveFault::Flush, 0},
        {"rename fails", SaveFault::Rename, 0},
    };
    QTemporaryDir dir;
    const QString path = dir.path() + "/target.dat";
    const QByteArray old = "the old contents\r\n";
    const QByteArray fresh(12000, 'n');
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(WriteBytes(path, old));
        ScopedSaveFault fault(c.kind, {}, c.bytesFree);
        QString error;
        EXPECT_FALSE(SaveFileBytes(path, fresh, &error));
        EXPECT_TRUE(error.contains(QDir::toNativeSeparators(path))) << error.toStdString();
        EXPECT_EQ(ReadBytes(path), old);
        EXPECT_EQ(fault.hits(), 1);
        EXPECT_TRUE(leftovers(dir.path()).isEmpty());
    }
}

TEST(SafeSave, WriterAfterAFailedWriteRefusesToCommit)
{
    QTemporaryDir dir;
    const QString path = dir.path() + "/t.txt";
    ASSERT_TRUE(WriteBytes(path, "old"));
    ScopedSaveFault fault(SaveFault::DiskFull, {}, 10);
    SafeFileWriter w(path);
    ASSERT_TRUE(w.open());
    EXPECT_TRUE(w.write("0123456789"));
    EXPECT_FALSE(w.write("x"));
    EXPECT_FALSE(w.write("y"));
    EXPECT_FALSE(w.commit());
    EXPECT_FALSE(w.errorString().isEmpty());
    EXPECT_EQ(ReadBytes(path), "old");
    EXPECT_TRUE(leftovers(dir.path()).isEmpty());
}

TEST(SafeSave, FaultCanAimAtOneFileAndWearOff)
{
    QTemporaryDir dir;
    SaveFault f;
    f.kind = SaveFault::Rename;
    f.nameContains = "b.";
    f.times = 1;
    SetSaveFault(f);
    EXPECT_TRUE(SaveFileBytes(dir.path() + "/a.txt", "a"));
    EXPECT_FALSE(SaveFileBytes(dir.path() + "/b.txt", "b"));
    EXPECT_TRUE(SaveFileBytes(dir.path() + "/b.txt", "b"));
    ClearSaveFault();
    EXPECT_EQ(ReadBytes(dir.path() + "/b.txt"), "b");
}

TEST(SafeSave, ReplacesInPiecesKeepsModeAndFollowsLinks)
{
    QTemporaryDir dir;
    const QString path = dir.path() + "/t.txt";
    ASSERT_TRUE(WriteBytes(path, "old"));
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    SafeFileWriter w(path);
    ASSERT_TRUE(w.open());
    EXPECT_TRUE(w.write("one,"));
    EXPECT_TRUE(w.write(""));
    EXPECT_TRUE(w.write("two"));
    EXPECT_EQ(ReadBytes(path), "old"); // nothing shows before the commit
    ASSERT_TRUE(w.commit());
    EXPECT_EQ(ReadBytes(path), "one,two");
    EXPECT_EQ(QFile::permissions(path), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                            QFileDevice::ReadUser | QFileDevice::WriteUser);

    const QString link = dir.path() + "/link.txt";
    ASSERT_TRUE(QFile::link(path, link));
    ASSERT_TRUE(SaveFileBytes(link, "via link"));
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(ReadBytes(path), "via link");
}

TEST(SafeSave, UncommittedWriterLeavesNothingBehind)
{
    QTemporaryDir dir;
    const QString path = dir.path() + "/t.txt";
    {
        SafeFileWriter w(path);
        ASSERT_TRUE(w.open());
        ASSERT_TRUE(w.write("never committed"));
        EXPECT_EQ(leftovers(dir.path()).size(), 1);
    }
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_TRUE(leftovers(dir.path()).isEmpty());

    SafeFileWriter w(path);
    ASSERT_TRUE(w.open());
    w.cancel();
    EXPECT_FALSE(w.commit());
    EXPECT_TRUE(leftovers(dir.path()).isEmpty());
}

TEST(SafeSave, BadTargetsFailWithAReason)
{
    QTemporaryDir dir;
    QString error;
    EXPECT_FALSE(SaveFileBytes(QString(), "x", &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(SaveFileBytes(dir.path(), "x", &error));
    EXPECT_FALSE(SaveFileBytes(dir.path() + "/missing/t.txt", "x", &error));
    EXPECT_TRUE(error.contains("missing")) << error.toStdString();
}

TEST(SafeSave, TempFilesOfDeadSavesAreRemovedOthersKept)
{
    QTemporaryDir dir;
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(0);
    ASSERT_GT(child, 0);
    ::waitpid(child, nullptr, 0);
    const QString dead = QStringLiteral(".t.txt.qsave-%1-abc").arg(child);
    const QString live = QStringLiteral(".t.txt.qsave-%1-abc").arg(::getpid());
    ASSERT_TRUE(WriteBytes(dir.path() + "/" + dead, "half"));
    ASSERT_TRUE(WriteBytes(dir.path() + "/" + live, "busy"));
    ASSERT_TRUE(WriteBytes(dir.path() + "/notes.qsave.txt", "user file"));
    EXPECT_EQ(RemoveStaleSaveFiles(dir.path()), 1);
    EXPECT_FALSE(QFile::exists(dir.path() + "/" + dead));
    EXPECT_TRUE(QFile::exists(dir.path() + "/" + live));
    EXPECT_TRUE(QFile::exists(dir.path() + "/notes.qsave.txt"));

    // Opening a save of the same file clears its dead temporary files too.
    ASSERT_TRUE(WriteBytes(dir.path() + "/" + dead, "half"));
    ASSERT_TRUE(SaveFileBytes(dir.path() + "/t.txt", "x"));
    EXPECT_FALSE(QFile::exists(dir.path() + "/" + dead));

    // A save whose process ended but was not collected yet is dead too.
    const pid_t zombie = ::fork();
    if (zombie == 0)
        ::_exit(0);
    ASSERT_GT(zombie, 0);
    siginfo_t info{};
    ASSERT_EQ(::waitid(P_PID, id_t(zombie), &info, WEXITED | WNOWAIT), 0);
    const QString ended = QStringLiteral(".t.txt.qsave-%1-abc").arg(zombie);
    ASSERT_TRUE(WriteBytes(dir.path() + "/" + ended, "half"));
    EXPECT_EQ(RemoveStaleSaveFiles(dir.path()), 1);
    EXPECT_FALSE(QFile::exists(dir.path() + "/" + ended));
    ::waitpid(zombie, nullptr, 0);
}

// A save killed at any moment leaves the old file or the new one, whole.
TEST(SafeSave, KilledSaveLeavesOldOrNewWhole)
{
    QTemporaryDir dir;
    const QString path = dir.path() + "/big.dat";
    const QByteArray a(300000, 'a');
    const QByteArray b(200000, 'b');
    ASSERT_TRUE(WriteBytes(path, a));
    auto *rng = QRandomGenerator::global();
    for (int round = 0; round < 40; ++round) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (int i = 0;; ++i)
                SaveFileBytes(path, i % 2 ? a : b);
        }
        ::usleep(rng->bounded(200, 20000));
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
        const QByteArray now = ReadBytes(path);
        ASSERT_TRUE(now == a || now == b) << "round " << round << " size " << now.size();
    }
    // The next save clears what the killed ones left.
    ASSERT_TRUE(SaveFileBytes(path, "done"));
    EXPECT_TRUE(leftovers(dir.path()).isEmpty());
}

TEST(SafeSave, RealFullDiskKeepsTheOldFile)
{
    TinyTmpfs disk(64);
    if (!disk.mounted())
        GTEST_SKIP() << "cannot mount a tmpfs here";
    const QString path = disk.path() + "/t.dat";
    const QByteArray old(3000, 'o');
    ASSERT_TRUE(WriteBytes(path, old));
    disk.fill(4096);
    QString error;
    EXPECT_FALSE(SaveFileBytes(path, QByteArray(20000, 'n'), &error));
    EXPECT_TRUE(error.contains("No space")) << error.toStdString();
    EXPECT_EQ(ReadBytes(path), old);
    EXPECT_TRUE(leftovers(disk.path()).isEmpty());
}

TEST(TextCodec, OneByteWhereItFitsUtf8OtherwiseAndBothReadBack)
{
    struct Case {
        QString text;
        QByteArray bytes;
    };
    const Case cases[] = {
        {"A1 Lamp", "A1 Lamp"},
        {QString::fromUtf8("Caf\xC3\xA9 \xE2\x82\xAC 5"), "Caf\xE9 \x80 5"},
        {QString::fromUtf8(
             "A1## \xD0\x9A\xD1\x83\xD1\x85\xD0\xBD\xD1\x8F \xC5\x82\xC3\xB3\x64\xC5\xBA"),
         "A1## \xD0\x9A\xD1\x83\xD1\x85\xD0\xBD\xD1\x8F \xC5\x82\xC3\xB3\x64\xC5\xBA"},
        // One-byte text that would also read as UTF-8 is kept in UTF-8.
        {QString::fromUtf8("\xC3\x83\xC2\xA9"), "\xC3\x83\xC2\xA9"},
        {QString(), QByteArray()},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        EXPECT_EQ(EncodeText(c.text), c.bytes);
        EXPECT_EQ(DecodeText(c.bytes), c.text);
    }
    EXPECT_EQ(DecodeText("Caf\xC3\xA9"), QString::fromUtf8("Caf\xC3\xA9"));
    EXPECT_EQ(DecodeText("\xC3\x28"), QString::fromUtf8("\xC3\x83("));
}

// A one-byte text may end in any byte, also in one that could begin a UTF-8
// sequence ("Caf\xE9"); it reads back whole and is written back byte for
// byte. UTF-8 cut off inside a character is no UTF-8 either.
TEST(TextCodec, EveryByteEndingAOneByteTextIsKept)
{
    for (int b = 0x80; b <= 0xFF; ++b) {
        SCOPED_TRACE(b);
        const QByteArray bytes = QByteArray("Caf") + char(b);
        const QString text = QStringLiteral("Caf") + Windows1252Char(b);
        EXPECT_EQ(DecodeText(bytes), text);
        EXPECT_EQ(DecodeText(bytes, true), text);
        EXPECT_EQ(EncodeText(text), bytes);
    }
    EXPECT_EQ(EncodeText(QString::fromUtf8("A1## Caf\xC3\xA9")), "A1## Caf\xE9");
    EXPECT_EQ(DecodeText("K\xC3\xBC\xE2\x82"),
              QString::fromUtf8("K\xC3\x83\xC2\xBC\xC3\xA2\xE2\x80\x9A"));
    EXPECT_EQ(DecodeText("\xEF\xBB\xBF\xE9", true),
              QString::fromUtf8("\xC3\xAF\xC2\xBB\xC2\xBF\xC3\xA9"));
}
