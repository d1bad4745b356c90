#include "logic/FileHelpers.h"
#include "logic/MacroBackup.h"

#include "logic/ProgramFolder.h"
#include "tests/support/FileBytes.h"
#include "tests/support/SaveFaults.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace qelt;

namespace {

// A fresh program folder of its own for every test.
class MacroBackupTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString program;
    QString backup;
    void SetUp() override
    {
        program = dir.path() + QStringLiteral("/prog");
        QDir().mkpath(program);
        backup = BackupFolder(program);
    }
    QString put(const QString &path, const QByteArray &bytes)
    {
        EXPECT_TRUE(test::WriteBytes(path, bytes)) << path.toStdString();
        return path;
    }
};

} // namespace

TEST_F(MacroBackupTest, FolderIsHiddenAndReadmeMarksTheBackup)
{
    EXPECT_EQ(backup, program + QStringLiteral("/.backup"));
    EXPECT_FALSE(BackupExists(program));
    EXPECT_TRUE(BackupFolderUsable(program)); // missing is fine: it will be made

    bool made = false;
    const QDate day(2026, 12, 8);
    EXPECT_TRUE(PrepareBackupFolder(program, QStringLiteral("Note text."), day, &made));
    EXPECT_TRUE(made);
    EXPECT_TRUE(BackupExists(program));
    const QByteArray expected =
        "\"File last updated:  " + QLocale::system().toString(day, QLocale::ShortFormat).toUtf8() +
        "\"\r\n\r\n\"Note text.\"\r\n";
    EXPECT_EQ(test::ReadBytes(BackupReadmePath(program)), expected);

    // Macro files of the folder only, any letter case.
    put(backup + "/b.cro", "x");
    put(backup + "/A.CRO", "x");
    put(backup + "/notes.txt", "x");
    EXPECT_EQ(BackupFileNames(program), (QStringList{"A.CRO", "b.cro"}));
}

TEST_F(MacroBackupTest, FoldersThatLeadElsewhereAreRefused)
{
    // A link in place of the folder would make every copy land outside the
    // program folder, and a delete empty another folder.
    const QString elsewhere = dir.path() + QStringLiteral("/elsewhere");
    QDir().mkpath(elsewhere);
    const QString victim = put(elsewhere + "/keep.cro", "keep");
    put(elsewhere + "/readme.txt", "r");
    ASSERT_TRUE(QFile::link(elsewhere, backup));
    EXPECT_FALSE(BackupFolderUsable(program));
    EXPECT_FALSE(BackupExists(program));
    bool made = true;
    EXPECT_FALSE(PrepareBackupFolder(program, QStringLiteral("n"), QDate::currentDate(), &made));
    EXPECT_FALSE(made);
    EXPECT_TRUE(BackupFileNames(program).isEmpty());
    EXPECT_FALSE(DeleteBackupFolder(program));
    EXPECT_EQ(test::ReadBytes(victim), QByteArray("keep"));
    EXPECT_EQ(test::ReadBytes(elsewhere + "/readme.txt"), QByteArray("r"));

    // A file of that name is no folder either.
    QFile::remove(backup);
    put(backup, "file");
    EXPECT_FALSE(BackupFolderUsable(program));
}

TEST_F(MacroBackupTest, CopiesAreWholeAndNeverThroughLinks)
{
    const QString source = put(program + "/a.cro", "\"0110000000000000"
                                                   "0005\"\r\n");
    const QString target = program + "/copy.cro";
    put(target, "old contents that are longer than the new ones");
    EXPECT_FALSE(SameFileContent(source, target));
    EXPECT_TRUE(CopyFileAtomic(source, target));
    EXPECT_EQ(test::ReadBytes(target), test::ReadBytes(source)); // replaced, not appended
    EXPECT_TRUE(SameFileContent(source, target));

    struct Case {
        const char *what;
        QString from, to;
    };
    const QString outside = put(dir.path() + "/outside.cro", "outside");
    ASSERT_TRUE(QFile::link(outside, program + "/link.cro"));
    QDir().mkpath(program + "/folder.cro");
    const Case refused[] = {
        {"missing source", program + "/missing.cro", program + "/m.cro"},
        {"source is a folder", program + "/folder.cro", program + "/f.cro"},
        {"target is a link", source, program + "/link.cro"},
        {"target is a folder", source, program + "/folder.cro"},
        {"target folder missing", source, program + "/nowhere/a.cro"},
    };
    for (const Case &c : refused)
        EXPECT_FALSE(CopyFileAtomic(c.from, c.to)) << c.what;
    EXPECT_EQ(test::ReadBytes(outside), QByteArray("outside"));
    EXPECT_FALSE(QFileInfo::exists(program + "/m.cro"));
    EXPECT_FALSE(SameFileContent(program + "/missing.cro", program + "/missing.cro"));
}

TEST_F(MacroBackupTest, DeleteRemovesOnlyTheBackupsOwnFiles)
{
    ASSERT_TRUE(PrepareBackupFolder(program, QStringLiteral("n"), QDate::currentDate()));
    put(backup + "/a.cro", "a");
    put(backup + "/.hidden", "h");
    const QString outside = put(program + "/live.cro", "live");
    ASSERT_TRUE(QFile::link(outside, backup + "/link.cro"));
    QStringList left;
    EXPECT_TRUE(DeleteBackupFolder(program, &left));
    EXPECT_TRUE(left.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(backup));
    EXPECT_EQ(test::ReadBytes(outside), QByteArray("live")); // the link went, not its file

    // A folder inside the backup is not removed; the backup then stays.
    ASSERT_TRUE(PrepareBackupFolder(program, QStringLiteral("n"), QDate::currentDate()));
    QDir().mkpath(backup + "/sub");
    put(backup + "/sub/inner.cro", "i");
    left.clear();
    EXPECT_FALSE(DeleteBackupFolder(program, &left));
    EXPECT_EQ(left, QStringList{"sub"});
    EXPECT_EQ(test::ReadBytes(backup + "/sub/inner.cro"), QByteArray("i"));
    EXPECT_FALSE(BackupExists(program)); // the readme went
    // No backup folder at all is nothing to delete.
    EXPECT_TRUE(DeleteBackupFolder(dir.path() + "/prog2"));
}

TEST(MacroBackupNames, PlainFileNamesOnly)
{
    for (const char *bad : {"", ".", "..", "../a.cro", "a/b.cro", "a\\b.cro"})
        EXPECT_TRUE(FileInFolder(QStringLiteral("/p"), QString::fromLatin1(bad)).isEmpty()) << bad;
    EXPECT_EQ(FileInFolder(QStringLiteral("/p"), QStringLiteral("a b.cro")),
              QStringLiteral("/p/a b.cro"));
}

// A backup made on a failing disk keeps the older copy and its readme, and
// the reason reaches the caller.
TEST_F(MacroBackupTest, FailingDiskKeepsTheOlderBackup)
{
    ASSERT_TRUE(PrepareBackupFolder(program, QStringLiteral("Note."), QDate(2026, 1, 2)));
    const QByteArray readme = test::ReadBytes(BackupReadmePath(program));
    const QString source = put(program + "/a.cro", QByteArray(6000, 'n'));
    const QString copy = put(backup + "/a.cro", "older backup");
    for (const auto kind : {SaveFault::DiskFull, SaveFault::Flush, SaveFault::Rename}) {
        test::ScopedSaveFault fault(kind, {}, 10);
        bool made = false;
        QString error;
        EXPECT_TRUE(PrepareBackupFolder(program, QStringLiteral("Other note."), QDate(2026, 5, 6),
                                        &made, &error));
        EXPECT_FALSE(error.isEmpty());
        EXPECT_EQ(test::ReadBytes(BackupReadmePath(program)), readme);
        EXPECT_FALSE(CopyFileAtomic(source, copy));
        EXPECT_EQ(test::ReadBytes(copy), QByteArray("older backup"));
        EXPECT_EQ(fault.hits(), 2);
    }
    EXPECT_EQ(BackupFileNames(program), QStringList{"a.cro"});

    test::TinyTmpfs disk(64);
    if (!disk.mounted())
        GTEST_SKIP() << "cannot mount a tmpfs here";
    const QString onDisk = disk.path() + "/a.cro";
    put(onDisk, "older backup");
    put(source, QByteArray(60000, 'n'));
    disk.fill(4096);
    EXPECT_FALSE(CopyFileAtomic(source, onDisk));
    EXPECT_EQ(test::ReadBytes(onDisk), QByteArray("older backup"));
}

TEST_F(MacroBackupTest, ReadmeNoteKeepsEveryCharacter)
{
    const QString note = QString::fromUtf8("\xD0\x9F\xD0\xB0\xD0\xBF\xD0\xBA\xD0\xB0");
    const QByteArray bytes = BackupReadmeBytes(QDate(2026, 12, 8), note);
    EXPECT_TRUE(bytes.contains(note.toUtf8()));
    EXPECT_TRUE(BackupReadmeBytes(QDate(2026, 12, 8), QString::fromUtf8("K\xC3\xBC"
                                                                        "che"))
                    .contains("K\xFC"
                              "che"));
}
