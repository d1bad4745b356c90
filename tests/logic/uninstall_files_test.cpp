#include "logic/UninstallFiles.h"

#include "logic/ProgramFolder.h"
#include "logic/Settings.h"
#include "tests/support/FileBytes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

using namespace qelt;
using test::WriteBytes;

namespace {

// Replaces the program folder's contents with the named files.
void MakeFiles(const QStringList &names)
{
    QDir folder(ProgramFolder());
    folder.removeRecursively();
    QDir().mkpath(ProgramFolder());
    for (const QString &n : names)
        ASSERT_TRUE(WriteBytes(InProgramFolder(n), "x"));
}

QStringList Remaining()
{
    return QDir(ProgramFolder())
        .entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
}

} // namespace

TEST(UninstallFiles, UserFilesGoOtherFilesStay)
{
    MakeFiles({"lights.cro", "OLD.CRO", "tmrdat.zyv", "file0.grp", "file7.GRP", "Upgrade",
               "Upgrade.exe", "language.ini", "db.zvd", "TimerLog.log", "notes.cro.txt",
               "zyvHelp.html"});
    ASSERT_TRUE(QDir(ProgramFolder()).mkpath("backup"));
    ASSERT_TRUE(WriteBytes(InProgramFolder("backup/kept.cro"), "x"));

    const QStringList deleted = DeleteUserFiles(ProgramFolder());
    EXPECT_EQ(deleted, QStringList({"lights.cro", "OLD.CRO", "tmrdat.zyv", "file0.grp", "file7.GRP",
                                    "Upgrade", "Upgrade.exe"}));
    EXPECT_EQ(Remaining(), QStringList({"TimerLog.log", "backup", "db.zvd", "language.ini",
                                        "notes.cro.txt", "zyvHelp.html"}));
    // Only the folder's own files, never those below it.
    EXPECT_TRUE(QFile::exists(InProgramFolder("backup/kept.cro")));
}

TEST(UninstallFiles, ProgramFilesKeepTheInstallationLog)
{
    MakeFiles({"TimerLog.log", "error.log", "ST6UNST.LOG", "st6unst.log", "ST6UNST.000",
               "ST6UNST.EXE", "st6uold.log", "db.zvd", "lights.cro", "language.ini"});
    const QStringList deleted = DeleteProgramFiles(ProgramFolder());
    EXPECT_EQ(deleted,
              QStringList({"error.log", "TimerLog.log", "ST6UNST.000", "ST6UNST.EXE", "db.zvd"}));
    EXPECT_EQ(Remaining(), QStringList({"ST6UNST.LOG", "language.ini", "lights.cro", "st6unst.log",
                                        "st6uold.log"}));
}

TEST(UninstallFiles, LinksGoWithoutWhatTheyPointAt)
{
    MakeFiles({});
    const QString outside = InProgramFolder("../outside.cro");
    ASSERT_TRUE(WriteBytes(outside, "keep"));
    ASSERT_TRUE(QFile::link(outside, InProgramFolder("link.cro")));
    EXPECT_EQ(DeleteUserFiles(ProgramFolder()), QStringList({"link.cro"}));
    EXPECT_TRUE(QFile::exists(outside));
    EXPECT_TRUE(DeleteUserFiles(InProgramFolder("missing")).isEmpty());
}

TEST(UninstallFiles, SettingsStores)
{
    SaveSet("Settings", "HelpTop", "100");
    SaveSet("Database16", "CurrentVersion", "1.70.1050");
    EXPECT_EQ(AppSettingsFile(kSettingsAppName), SettingsFilePath());

    // Another application name's store, read without regard to case.
    const QString other = AppSettingsFile("Brindlecast Beta");
    ASSERT_TRUE(WriteBytes(other, "[DataBase16]\nCurrentExePath=/opt/old\n"));
    EXPECT_EQ(ReadAppSetting("Brindlecast Beta", "Database16", "currentexepath"), "/opt/old");
    EXPECT_EQ(ReadAppSetting("Nobody", "Database16", "CurrentExePath"), "");

    // One section of the program's own store.
    DeleteSetSection("settings");
    EXPECT_EQ(GetSet("Settings", "HelpTop", "none"), "none");
    EXPECT_EQ(GetSet("Database16", "CurrentVersion"), "1.70.1050");

    // A whole store and its folder, and no other.
    DeleteAppSettings("Brindlecast Beta");
    EXPECT_FALSE(QFileInfo::exists(other));
    EXPECT_FALSE(QFileInfo::exists(QFileInfo(other).absolutePath()));
    EXPECT_TRUE(QFileInfo::exists(SettingsFilePath()));
    DeleteAppSettings(kSettingsAppName);
    EXPECT_FALSE(QFileInfo::exists(SettingsFilePath()));
    EXPECT_EQ(GetSet("Database16", "CurrentVersion", "gone"), "gone");

    // Names that would reach outside the settings folder are refused.
    const QString config = QFileInfo(QFileInfo(SettingsFilePath()).absolutePath()).absolutePath();
    ASSERT_TRUE(WriteBytes(config + "/x/x.ini", "a"));
    DeleteAppSettings("../config/x");
    DeleteAppSettings("");
    EXPECT_TRUE(QFileInfo::exists(config + "/x/x.ini"));
}
