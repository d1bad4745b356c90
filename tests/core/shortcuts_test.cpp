#include "core/Shortcuts.h"

#include "core/Dialogs.h"
#include "core/FileTypes.h"
#include "logic/Globals.h"
#include "tests/support/FileBytes.h"
#include "tests/support/ScriptedDialogs.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <gtest/gtest.h>

using namespace qelt;
using test::ReadBytes;
using test::WriteBytes;

namespace {

class ShortcutsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        home = QDir::homePath();
        QDir(home).removeRecursively();
        QDir().mkpath(home);
        program = home + "/apps dir/Qelt";
        SetProgramExePath(program);
        dialogs.answer = 1; // Yes
        SetDialogProvider(&dialogs);
        LangFile.clear();
    }
    void TearDown() override
    {
        SetDialogProvider(nullptr);
        SetProgramExePath({});
    }
    QString home;
    QString program;
    test::ScriptedDialogs dialogs;
};

} // namespace

TEST_F(ShortcutsTest, DesktopShortcutIsMadeAndRemoved)
{
    EXPECT_EQ(DeskLinkPath(), home + "/Desktop/Zyvbeta.desktop");
    EXPECT_TRUE(DesktopShortcutCommand("Create Shortcut on &Desktop"));
    EXPECT_TRUE(dialogs.messages.isEmpty());
    EXPECT_EQ(ReadBytes(DeskLinkPath()),
              ("[Desktop Entry]\nType=Application\nName=Zyvbeta\nExec=\"" + program +
               "\"\nTerminal=false\n")
                  .toUtf8());
    EXPECT_TRUE(QFileInfo(DeskLinkPath()).isExecutable());

    // Made again over an existing one: still one shortcut.
    EXPECT_TRUE(CreateDeskLink());
    EXPECT_EQ(QDir(home + "/Desktop").entryList(QDir::Files), QStringList({"Zyvbeta.desktop"}));

    RemoveDeskLink();
    EXPECT_FALSE(QFile::exists(DeskLinkPath()));
    RemoveDeskLink(); // none left: nothing to show
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST_F(ShortcutsTest, UnwritableDesktopReportsFailure)
{
    // A file where the desktop folder should be: nothing can be written there.
    EXPECT_TRUE(WriteBytes(home + "/Desktop", "not a folder"));
    EXPECT_FALSE(CreateDeskLink());
    EXPECT_FALSE(DesktopShortcutCommand("Create Shortcut on &Desktop"));
    EXPECT_EQ(dialogs.messages, QStringList({"Error: Create Shortcut on Desktop - Failed"}));
    EXPECT_EQ(DeskLinkFailedText("Save && &Quit"), "Error: Save & Quit - Failed");
}

TEST_F(ShortcutsTest, StartupAndUninstallShortcutsAreRemovedAlone)
{
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    const QString apps = QStandardPaths::writableLocation(QStandardPaths::ApplicationsLocation);
    EXPECT_EQ(StartupLinkPath(), config + "/autostart/Brindlecast.desktop");
    EXPECT_EQ(UninstLinkPath(), apps + "/Brindlecast/Uninstall Zyv.desktop");

    EXPECT_TRUE(WriteBytes(StartupLinkPath(), "[Desktop Entry]\n"));
    EXPECT_TRUE(WriteBytes(config + "/autostart/Orvendale.desktop", "[Desktop Entry]\n"));
    EXPECT_TRUE(WriteBytes(UninstLinkPath(), "[Desktop Entry]\n"));
    EXPECT_TRUE(WriteBytes(apps + "/Brindlecast/Other.desktop", "[Desktop Entry]\n"));

    RemoveStartupLink();
    RemoveUninstLink();
    EXPECT_FALSE(QFile::exists(StartupLinkPath()));
    EXPECT_FALSE(QFile::exists(UninstLinkPath()));
    EXPECT_TRUE(QFile::exists(config + "/autostart/Orvendale.desktop"));
    EXPECT_TRUE(QFile::exists(apps + "/Brindlecast/Other.desktop"));

    RemoveStartupLink();
    RemoveUninstLink();
    EXPECT_TRUE(dialogs.messages.isEmpty());
}
