#include "core/FileTypes.h"

#include "core/Shortcuts.h"
#include "logic/Globals.h"
#include "logic/Settings.h"
#include "platform/DesktopEntry.h"
#include "tests/support/FileBytes.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <gtest/gtest.h>

using namespace qelt;
using test::ReadBytes;
using test::WriteBytes;

namespace {

QStringList g_refreshes;

void recordRefresh(const QString &program, const QStringList &arguments)
{
    g_refreshes << QFileInfo(program).fileName() + " " + arguments.join(' ');
}

QString dataHome()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
}
QString configHome()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
}
QString mimeApps()
{
    return configHome() + "/mimeapps.list";
}

bool haveTool(const char *name)
{
    return !QStandardPaths::findExecutable(name).isEmpty();
}

// Every test starts from empty XDG folders, an empty settings store and a
// program file at a path with blanks.
class FileTypesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const QString &dir : {dataHome(), configHome()}) {
            QDir(dir).removeRecursively();
            QDir().mkpath(dir);
        }
        g_refreshes.clear();
        SetDesktopRefreshRunner(&recordRefresh);
        program = dataHome() + "/../my programs/Qelt";
        EXPECT_TRUE(WriteBytes(program, "#!/bin/sh\n"));
        program = QFileInfo(program).absoluteFilePath();
        SetProgramExePath(program);
    }
    void TearDown() override
    {
        SetProgramExePath({});
        SetDesktopRefreshRunner(nullptr);
    }
    QString program;
};

const QByteArray kCroPackage =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
    "  <mime-type type=\"application/x-crofile\">\n"
    "    <comment>Zyv Macro</comment>\n"
    "    <glob pattern=\"*.cro\"/>\n"
    "  </mime-type>\n"
    "</mime-info>\n";

} // namespace

TEST_F(FileTypesTest, AssocCroWritesTheRegistrationThatTheLoadCheckReadsBack)
{
    EXPECT_FALSE(CroAssociated());
    AssocCro();

    EXPECT_EQ(ReadBytes(dataHome() + "/mime/packages/qelt-cro.xml"), kCroPackage);
    EXPECT_EQ(ReadBytes(dataHome() + "/applications/qelt-cro.desktop"),
              ("[Desktop Entry]\nType=Application\nName=Qelt\nExec=\"" + program +
               "\" %f\nMimeType=application/x-crofile;\nNoDisplay=true\nTerminal=false\n")
                  .toUtf8());
    EXPECT_EQ(ReadBytes(mimeApps()),
              QByteArray("[Default Applications]\napplication/x-crofile=qelt-cro.desktop;\n"));
    EXPECT_EQ(GetSet("Macro", "Set"), "Done");
    EXPECT_TRUE(CroAssociated());
    if (haveTool("update-mime-database")) {
        EXPECT_TRUE(g_refreshes.contains("update-mime-database " + dataHome() + "/mime"));
    }

    // The check fails when the program moved, when another program became
    // the default, and when a file is missing; AssocCro repairs each.
    SetProgramExePath(program + "2");
    EXPECT_FALSE(CroAssociated());
    AssocCro();
    EXPECT_TRUE(CroAssociated());

    SetDefaultApplication(mimeApps(), "application/x-crofile", "other.desktop");
    EXPECT_FALSE(CroAssociated());
    AssocCro();
    EXPECT_EQ(DefaultApplications(mimeApps(), "application/x-crofile"),
              QStringList({"qelt-cro.desktop", "other.desktop"}));
    EXPECT_TRUE(CroAssociated());

    QFile::remove(dataHome() + "/mime/packages/qelt-cro.xml");
    EXPECT_FALSE(CroAssociated());
}

TEST_F(FileTypesTest, ToggleTwiceReturnsAndLeavesAnotherProgramsCroTypeAlone)
{
    // Another program's own registration of "*.cro", and its default entries.
    const QByteArray otherPackage = "<mime-info><mime-type type=\"text/x-cro\"><glob "
                                    "pattern=\"*.cro\"/></mime-type></mime-info>\n";
    const QByteArray otherEntry = "[Desktop Entry]\nName=Other\nExec=other %f\n";
    EXPECT_TRUE(WriteBytes(dataHome() + "/mime/packages/other.xml", otherPackage));
    EXPECT_TRUE(WriteBytes(dataHome() + "/applications/other.desktop", otherEntry));
    EXPECT_TRUE(WriteBytes(mimeApps(), "[Default Applications]\ntext/x-cro=other.desktop;\n"));

    SaveSet("Macro", "DoSet", "False");
    EXPECT_TRUE(ToggleAssocCro(false));
    EXPECT_TRUE(AssocOn);
    EXPECT_EQ(GetSet("Macro", "DoSet"), "True");
    EXPECT_TRUE(CroAssociated());

    // The user then picks another handler for our type as well.
    SetDefaultApplication(mimeApps(), "application/x-crofile", "other.desktop");
    EXPECT_FALSE(ToggleAssocCro(true));
    EXPECT_FALSE(AssocOn);
    EXPECT_EQ(GetSet("Macro", "DoSet"), "False");
    EXPECT_EQ(GetSet("Macro", "Set", "<gone>"), "<gone>");
    EXPECT_FALSE(QFile::exists(dataHome() + "/mime/packages/qelt-cro.xml"));
    EXPECT_FALSE(QFile::exists(dataHome() + "/applications/qelt-cro.desktop"));
    EXPECT_FALSE(CroAssociated());

    EXPECT_EQ(ReadBytes(dataHome() + "/mime/packages/other.xml"), otherPackage);
    EXPECT_EQ(ReadBytes(dataHome() + "/applications/other.desktop"), otherEntry);
    EXPECT_EQ(ReadBytes(mimeApps()),
              QByteArray("[Default Applications]\ntext/x-cro=other.desktop;\n"
                         "application/x-crofile=other.desktop;\n"));

    // Our default line goes even when our handler file was already lost.
    AssocCro();
    QFile::remove(dataHome() + "/applications/qelt-cro.desktop");
    UnAssocCro();
    EXPECT_EQ(DefaultApplications(mimeApps(), "application/x-crofile"),
              QStringList({"other.desktop"}));
}

TEST_F(FileTypesTest, GetAssocOnReadsTheWantedState)
{
    const struct {
        const char *stored; // nullptr: not stored
        bool on;
    } cases[] = {{nullptr, true},  {"True", true}, {"Yes", true},
                 {"False", false}, {"No", false},  {"true", false}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.stored ? c.stored : "(none)");
        DeleteSet("Macro", "DoSet");
        if (c.stored)
            SaveSet("Macro", "DoSet", c.stored);
        AssocOn = !c.on;
        GetAssocOn();
        EXPECT_EQ(AssocOn, c.on);
    }
}

TEST_F(FileTypesTest, AssocFileNormalisesItsArguments)
{
    EXPECT_TRUE(WriteBytes(QFileInfo(program).absolutePath() + "/unst.ico", "icon"));
    const QString icon = QFileInfo(program).absolutePath() + "/unst.ico";

    // ".zvu", "zvu" and "zvuxx" register the same extension.
    for (const QString ext : {".zvu", "zvu", "zvuxx"}) {
        SCOPED_TRACE(ext.toStdString());
        QDir(dataHome()).removeRecursively();
        AssocFile(ext, "UninstallZyv", {}, {}, icon);
        EXPECT_EQ(ReadBytes(dataHome() + "/applications/qelt-zvu.desktop"),
                  ("[Desktop Entry]\nType=Application\nName=Qelt\nExec=\"" + program +
                   "\" %f\nIcon=" + icon +
                   "\nMimeType=application/x-qelt.uninstallzyv;\nNoDisplay=true\nTerminal=false\n")
                      .toUtf8());
        EXPECT_TRUE(ReadBytes(dataHome() + "/mime/packages/qelt-zvu.xml")
                        .contains("<glob pattern=\"*.zvu\"/>"));
        EXPECT_EQ(DefaultApplications(mimeApps(), "application/x-qelt.uninstallzyv"),
                  QStringList({"qelt-zvu.desktop"}));
    }

    // Type name cut to 25, blanks become full stops in the class name; a
    // missing icon file leaves the desktop's own icon for the type.
    const QString longName = "A Type Name Of Thirty Chars Xy";
    ASSERT_EQ(longName.size(), 30);
    EXPECT_EQ(FileClassName("Qelt", longName.left(25)), "Qelt.A.Type.Name.Of.Thirty.Cha");
    EXPECT_EQ(FileClassName("Qelt.exe", "UninstallZyv"), "Qelt.UninstallZyv");
    AssocFile("abc", longName, {}, {}, "/nowhere/unst.ico");
    const QByteArray pkg = ReadBytes(dataHome() + "/mime/packages/qelt-abc.xml");
    EXPECT_TRUE(pkg.contains("<comment>A Type Name Of Thirty Cha</comment>"));
    EXPECT_TRUE(pkg.contains("type=\"application/x-qelt.a.type.name.of.thirty.cha\""));
    DesktopEntry e;
    ASSERT_TRUE(e.read(dataHome() + "/applications/qelt-abc.desktop"));
    EXPECT_FALSE(e.contains("Icon"));

    // Characters a MIME type cannot hold, and markup in the type name.
    AssocFile("t", "A/B <&>", {}, {}, {});
    const QByteArray tpkg = ReadBytes(dataHome() + "/mime/packages/qelt-t.xml");
    EXPECT_TRUE(tpkg.contains("type=\"application/x-qelt.a-b.---\""));
    EXPECT_TRUE(tpkg.contains("<comment>A/B &lt;&amp;&gt;</comment>"));
}

TEST_F(FileTypesTest, AssocFileDoesNothingWithoutExtensionOrProgram)
{
    AssocFile("", "UninstallZyv", {}, {}, {});
    AssocFile(".", "UninstallZyv", {}, {}, {});
    AssocFile("zvu", "UninstallZyv", "Missing", {}, {});
    AssocFile("zvu", "UninstallZyv", {}, "/no/such/folder", {});
    SetProgramExePath(program + "-gone");
    AssocFile("zvu", "UninstallZyv", {}, {}, {});
    EXPECT_FALSE(QDir(dataHome() + "/applications").exists());
    EXPECT_FALSE(QFile::exists(mimeApps()));
    EXPECT_TRUE(g_refreshes.isEmpty());

    // Another program named by folder and file name.
    SetProgramExePath(program);
    EXPECT_TRUE(WriteBytes(dataHome() + "/bin/tool", "x"));
    AssocFile("zvu", "T", "tool", dataHome() + "/bin/", {});
    DesktopEntry e;
    ASSERT_TRUE(e.read(dataHome() + "/applications/qelt-zvu.desktop"));
    EXPECT_EQ(SplitExecLine(e.value("Exec")), QStringList({dataHome() + "/bin/tool", "%f"}));
    EXPECT_EQ(e.value("MimeType"), "application/x-tool.t;");
}

TEST_F(FileTypesTest, RepeatedRegistrationRewritesNothing)
{
    AssocFile("zvu", "UninstallZyv", {}, {}, {});
    const int first = g_refreshes.size();
    if (haveTool("update-mime-database")) {
        EXPECT_GE(first, 1);
    }
    const QDateTime stamp = QFileInfo(dataHome() + "/applications/qelt-zvu.desktop").lastModified();
    AssocFile("zvu", "UninstallZyv", {}, {}, {});
    EXPECT_EQ(g_refreshes.size(), first);
    EXPECT_EQ(QFileInfo(dataHome() + "/applications/qelt-zvu.desktop").lastModified(), stamp);
}

TEST_F(FileTypesTest, UnAssocFileRemovesEverythingWeWroteAndNothingElse)
{
    EXPECT_TRUE(WriteBytes(
        mimeApps(), "[Default Applications]\napplication/x-qelt.uninstallzyv=other.desktop;\n"));
    EXPECT_TRUE(
        WriteBytes(dataHome() + "/applications/other.desktop", "[Desktop Entry]\nName=Other\n"));
    AssocFile("zvu", "UninstallZyv", {}, {}, {});
    EXPECT_EQ(DefaultApplications(mimeApps(), "application/x-qelt.uninstallzyv"),
              QStringList({"qelt-zvu.desktop", "other.desktop"}));

    UnAssocFile("zvu");
    EXPECT_FALSE(QFile::exists(dataHome() + "/applications/qelt-zvu.desktop"));
    EXPECT_FALSE(QFile::exists(dataHome() + "/mime/packages/qelt-zvu.xml"));
    EXPECT_EQ(
        ReadBytes(mimeApps()),
        QByteArray("[Default Applications]\napplication/x-qelt.uninstallzyv=other.desktop;\n"));
    EXPECT_TRUE(QFile::exists(dataHome() + "/applications/other.desktop"));

    // A handler file lost by hand: the package still names the type, so
    // our default-application line goes too; a longer extension names the
    // same registration, as it does for AssocFile.
    AssocFile("zvu", "UninstallZyv", {}, {}, {});
    QFile::remove(dataHome() + "/applications/qelt-zvu.desktop");
    UnAssocFile("zvuxx");
    EXPECT_FALSE(QFile::exists(dataHome() + "/mime/packages/qelt-zvu.xml"));
    EXPECT_EQ(
        ReadBytes(mimeApps()),
        QByteArray("[Default Applications]\napplication/x-qelt.uninstallzyv=other.desktop;\n"));

    // Again, or for a type never registered: nothing happens.
    g_refreshes.clear();
    UnAssocFile(".zvu");
    UnAssocFile("xyz");
    UnAssocFile("");
    EXPECT_TRUE(g_refreshes.isEmpty());
}

TEST_F(FileTypesTest, StartupEntries)
{
    const QString entry = configHome() + "/autostart/Orvendale.desktop";
    AddStartup("Orvendale", {}, 1, false);
    EXPECT_EQ(ReadBytes(entry), ("[Desktop Entry]\nType=Application\nName=Orvendale\nExec=\"" +
                                 program + "\"\nTerminal=false\n")
                                    .toUtf8());
    EXPECT_EQ(StartupValue("Orvendale"), program);

    // An existing value stays unless replaced.
    const QString other = QFileInfo(program).absolutePath() + "/Other $prog";
    EXPECT_TRUE(WriteBytes(other, "x"));
    AddStartup("Orvendale", other, 1, false);
    EXPECT_EQ(StartupValue("Orvendale"), program);
    AddStartup("Orvendale", other, 1, true);
    EXPECT_EQ(StartupValue("Orvendale"), other);

    // The other selector is a separate entry.
    AddStartup("Orvendale", {}, 2, false);
    EXPECT_EQ(StartupValue("Orvendale", 2), program);
    RemoveStartup("Orvendale", 2);
    EXPECT_EQ(StartupValue("Orvendale", 2), "");
    EXPECT_EQ(StartupValue("Orvendale", 1), other);

    // Nothing is written for a missing program or an empty name.
    AddStartup("Gone", program + "-gone", 1, true);
    AddStartup("", {}, 1, true);
    EXPECT_EQ(QDir(configHome() + "/autostart").entryList(QDir::Files),
              QStringList({"Orvendale.desktop"}));

    RemoveStartup("Orvendale", 1);
    RemoveStartup("Orvendale", 1);
    RemoveStartup("", 1);
    EXPECT_FALSE(QFile::exists(entry));
}

// Started with QELT_HOME, the program's entries start it with the same
// folder (also one whose name needs quoting); another program's do not.
TEST_F(FileTypesTest, EntriesCarryTheProgramFolderSetByQeltHome)
{
    const QString folder = QDir::cleanPath(dataHome() + "/../home \"$1\" 100%");
    qputenv("QELT_HOME", folder.toUtf8());
    AssocCro();
    AssocFile("zvu", "UninstallZyv", {}, {}, {});
    AddStartup("Orvendale");
    ASSERT_TRUE(CreateDeskLink());
    const QStringList prefix{"env", "QELT_HOME=" + folder, program};
    const auto execOf = [](const QString &path) {
        DesktopEntry e;
        EXPECT_TRUE(e.read(path)) << path.toStdString();
        return SplitExecLine(e.value("Exec"));
    };
    EXPECT_EQ(execOf(dataHome() + "/applications/qelt-cro.desktop"), prefix + QStringList{"%f"});
    EXPECT_EQ(execOf(dataHome() + "/applications/qelt-zvu.desktop"), prefix + QStringList{"%f"});
    EXPECT_EQ(execOf(configHome() + "/autostart/Orvendale.desktop"), prefix);
    EXPECT_EQ(execOf(DeskLinkPath()), prefix);
    EXPECT_EQ(StartupValue("Orvendale"), program);
    EXPECT_TRUE(CroAssociated());

    EXPECT_TRUE(WriteBytes(dataHome() + "/bin/tool", "x"));
    AssocFile("xyz", "T", "tool", dataHome() + "/bin/", {});
    EXPECT_EQ(execOf(dataHome() + "/applications/qelt-xyz.desktop"),
              QStringList({dataHome() + "/bin/tool", "%f"}));

    // Started without it, the program's own folder is another: the ".cro"
    // entry no longer fits and is written anew.
    qunsetenv("QELT_HOME");
    EXPECT_FALSE(CroAssociated());
    AssocCro();
    EXPECT_EQ(execOf(dataHome() + "/applications/qelt-cro.desktop"), QStringList({program, "%f"}));
}
