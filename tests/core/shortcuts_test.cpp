#include "core/Shortcuts.h"

#include "core/Dialogs.h"
#include "core/FileTypes.h"
#include "core/Globals.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <gtest/gtest.h>

using namespace qelt;

namespace
{

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void writeAll(const QString &path, const QByteArray &data)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(data);
}

// Records the messages instead of showing them.
class RecordingDialogs : public DialogProvider
{
public:
    QStringList messages;
    void info(const QString &sMsg, bool, bool, const QString &, const QString &, bool) override
    {
        messages << sMsg;
    }
    int questions(const QString &sMsg, int, const QString &) override
    {
        messages << sMsg;
        return 1;
    }
    QString openFileName(QWidget *, const QString &, const QString &, const QString &) override
    {
        return {};
    }
    QString saveFileName(QWidget *, const QString &, const QString &, const QString &) override
    {
        return {};
    }
    QString inputText(QWidget *, const QString &, const QString &, const QString &,
                      bool *ok) override
    {
        *ok = false;
        return {};
    }
};

class ShortcutsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        home = QDir::homePath();
        QDir(home).removeRecursively();
        QDir().mkpath(home);
        program = home + "/apps dir/Qelt";
        SetProgramExePath(program);
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
    RecordingDialogs dialogs;
};

} // namespace

TEST_F(ShortcutsTest, DesktopShortcutIsMadeAndRemoved)
{
    EXPECT_EQ(DeskLinkPath(), home + "/Desktop/Zyvbeta.desktop");
    EXPECT_TRUE(DesktopShortcutCommand("Create Shortcut on &Desktop"));
    EXPECT_TRUE(dialogs.messages.isEmpty());
    EXPECT_EQ(readAll(DeskLinkPath()), ("[Desktop Entry]\nType=Application\nName=Zyvbeta\nExec=\"" +
                                        program + "\"\nTerminal=false\n")
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
    writeAll(home + "/Desktop", "not a folder");
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

    writeAll(StartupLinkPath(), "[Desktop Entry]\n");
    writeAll(config + "/autostart/Orvendale.desktop", "[Desktop Entry]\n");
    writeAll(UninstLinkPath(), "[Desktop Entry]\n");
    writeAll(apps + "/Brindlecast/Other.desktop", "[Desktop Entry]\n");

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
