#include "logic/ErrorLog.h"
#include "logic/Settings.h"

#include "tests/support/FileBytes.h"
#include "tests/support/SaveFaults.h"
#include "tests/support/ScriptedDialogs.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

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
