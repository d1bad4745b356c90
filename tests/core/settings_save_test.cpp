#include "logic/ErrorLog.h"
#include "logic/Settings.h"

#include "tests/support/FileBytes.h"
#include "tests/support/SaveFaults.h"
#include "tests/support/ScriptedDialogs.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

using namespace qelt;
using namespace qelt::test;

// A settings write that cannot be stored keeps the file as it was, gives
// false, is logged every time and shown once.
TEST(SettingsSave, FailedWriteKeepsTheFileAndIsReportedOnce)
{
    InstalledDialogs dialogs;
    ResetSettingsFailureReport();
    ASSERT_TRUE(SaveSet("Settings", "Language", "English"));
    ASSERT_TRUE(SaveSet("Database16", "CurrentExePath", "/opt/x"));
    const QByteArray before = ReadBytes(SettingsFilePath());
    QFile::remove(ErrorLogPath());

    for (const auto kind : {SaveFault::DiskFull, SaveFault::Flush, SaveFault::Rename}) {
        ScopedSaveFault fault(kind, "Brindlecast.ini", 10);
        EXPECT_FALSE(SaveSet("settings", "language", "Deutsch"));
        EXPECT_FALSE(DeleteSet("Database16", "CurrentExePath"));
        EXPECT_FALSE(DeleteSetSection("database16"));
        EXPECT_EQ(fault.hits(), 3);
        EXPECT_EQ(ReadBytes(SettingsFilePath()), before);
        EXPECT_EQ(GetSet("Settings", "Language"), "English");
    }
    EXPECT_EQ(dialogs.infos.size(), 1);
    EXPECT_EQ(ReadBytes(ErrorLogPath()).count("Logged:"), 9);
    EXPECT_TRUE(QDir(QFileInfo(SettingsFilePath()).path())
                    .entryList(QDir::Files | QDir::Hidden)
                    .filter("qsave")
                    .isEmpty());

    // Once the disk is fine again, writing works and keeps the stored spelling.
    EXPECT_TRUE(SaveSet("settings", "language", "Deutsch"));
    EXPECT_EQ(GetSet("Settings", "Language"), "Deutsch");
    EXPECT_TRUE(ReadBytes(SettingsFilePath()).contains("[Settings]"));
    EXPECT_TRUE(DeleteSet("DATABASE16", "currentexepath"));
    EXPECT_EQ(GetSet("Database16", "CurrentExePath", "gone"), "gone");
    EXPECT_TRUE(DeleteSetSection("SETTINGS"));
    EXPECT_FALSE(ReadBytes(SettingsFilePath()).contains("[Settings]"));
}

TEST(SettingsSave, FullDiskNeverEmptiesTheFile)
{
    TinyTmpfs disk(64);
    if (!disk.mounted())
        GTEST_SKIP() << "cannot mount a tmpfs here";
    InstalledDialogs dialogs;
    ResetSettingsFailureReport();
    const QByteArray oldConfig = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", disk.path().toUtf8());
    for (int i = 0; i < 40; ++i)
        ASSERT_TRUE(SaveSet("Settings", QStringLiteral("Key%1").arg(i), QString(40, 'v')));
    const QByteArray before = ReadBytes(SettingsFilePath());
    ASSERT_GT(before.size(), 1000);
    disk.fill(0);
    EXPECT_FALSE(SaveSet("Settings", "Big", QString(8000, 'b')));
    EXPECT_EQ(ReadBytes(SettingsFilePath()), before);
    EXPECT_EQ(dialogs.infos.size(), 1);
    qputenv("XDG_CONFIG_HOME", oldConfig);
}

namespace {

// Points TMPDIR somewhere for the life of the object.
class ScopedTmpDir {
public:
    explicit ScopedTmpDir(const QString &path) : m_old(qgetenv("TMPDIR"))
    {
        qputenv("TMPDIR", QFile::encodeName(path));
    }
    ~ScopedTmpDir() { qputenv("TMPDIR", m_old); }
    ScopedTmpDir(const ScopedTmpDir &) = delete;
    ScopedTmpDir &operator=(const ScopedTmpDir &) = delete;

private:
    QByteArray m_old;
};

QStringList workingCopies()
{
    return QDir(QFileInfo(SettingsFilePath()).path())
        .entryList({".Brindlecast.ini.*"}, QDir::AllEntries | QDir::Hidden);
}

} // namespace

// The settings are stored whatever state the temporary folder is in: one
// that is full, and one that cannot hold a folder at all. No working copy
// stays beside the settings file.
TEST(SettingsSave, SavingNeedsNoRoomInTheTemporaryFolder)
{
    InstalledDialogs dialogs;
    ResetSettingsFailureReport();
    ASSERT_TRUE(SaveSet("Settings", "Language", "English"));

    QTemporaryDir holder;
    ASSERT_TRUE(holder.isValid());
    const QString notAFolder = holder.path() + "/file";
    ASSERT_TRUE(WriteBytes(notAFolder, "x"));
    {
        ScopedTmpDir tmp(notAFolder);
        EXPECT_TRUE(SaveSet("Settings", "Language", "Deutsch"));
        EXPECT_TRUE(DeleteSet("Settings", "Language"));
        EXPECT_TRUE(SaveSet("Settings", "Language", "Nederlands"));
    }
    EXPECT_TRUE(ReadBytes(SettingsFilePath()).contains("Language=Nederlands"));

    TinyTmpfs disk(64);
    if (disk.mounted()) {
        disk.fill(0);
        ScopedTmpDir tmp(disk.path());
        EXPECT_TRUE(SaveSet("Settings", "Language", "Italiano"));
        EXPECT_TRUE(ReadBytes(SettingsFilePath()).contains("Language=Italiano"));
    }
    EXPECT_TRUE(dialogs.infos.isEmpty());
    EXPECT_TRUE(workingCopies().isEmpty()) << workingCopies().join(' ').toStdString();
}

// A working copy that a killed process left beside the settings file is
// removed by the next save; one of a process that still runs stays. A save
// that fails on a full disk leaves none.
TEST(SettingsSave, NoWorkingCopyStaysBesideTheFile)
{
    InstalledDialogs dialogs;
    ResetSettingsFailureReport();
    ASSERT_TRUE(SaveSet("Settings", "Language", "English"));
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(0);
    ASSERT_GT(child, 0);
    ::waitpid(child, nullptr, 0);
    const QString folder = QFileInfo(SettingsFilePath()).path();
    const QString dead =
        QStringLiteral("%1/.Brindlecast.ini.work-%2-aB3dE9").arg(folder).arg(child);
    const QString live =
        QStringLiteral("%1/.Brindlecast.ini.work-%2-Zz0yX1").arg(folder).arg(::getpid());
    ASSERT_TRUE(WriteBytes(dead + "/settings.ini", "[Settings]\r\n"));
    ASSERT_TRUE(QDir().mkpath(live));
    EXPECT_TRUE(SaveSet("Settings", "Language", "Deutsch"));
    EXPECT_FALSE(QFileInfo::exists(dead));
    EXPECT_TRUE(QFileInfo(live).isDir());
    QDir(live).removeRecursively();

    TinyTmpfs disk(64);
    if (!disk.mounted())
        GTEST_SKIP() << "cannot mount a tmpfs here";
    const QByteArray oldConfig = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", disk.path().toUtf8());
    ASSERT_TRUE(SaveSet("Settings", "Language", "English"));
    const QByteArray before = ReadBytes(SettingsFilePath());
    // Full before the working copy, while it is written, and before the
    // settings file itself is replaced.
    for (const qint64 leave : {0, 4096, 24576, 36864}) {
        disk.fill(leave);
        EXPECT_FALSE(SaveSet("Settings", "Big", QString(20000, 'b'))) << leave;
        EXPECT_EQ(ReadBytes(SettingsFilePath()), before);
        EXPECT_TRUE(workingCopies().isEmpty()) << workingCopies().join(' ').toStdString();
        QFile::remove(disk.path() + "/.ballast");
    }
    qputenv("XDG_CONFIG_HOME", oldConfig);
}
