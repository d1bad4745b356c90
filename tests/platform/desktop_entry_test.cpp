#include "platform/DesktopEntry.h"
#include "tests/support/FileBytes.h"
#include "tests/support/SaveFaults.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace qelt;
using test::ReadBytes;
using test::WriteBytes;

namespace {

} // namespace

TEST(DesktopEntry, ExecArgumentsSurviveQuotingAndTheFileRoundTrip)
{
    const struct {
        QString arg;
        QString quoted;
    } cases[] = {
        {"/opt/qelt/Qelt", "\"/opt/qelt/Qelt\""},
        {"/home/a b/My Programs/Qelt", "\"/home/a b/My Programs/Qelt\""},
        {"/x/\"q\"/$HOME/`id`", "\"/x/\\\"q\\\"/\\$HOME/\\`id\\`\""},
        {"/x/back\\slash", "\"/x/back\\\\slash\""},
        {"/x/100%/y", "\"/x/100%%/y\""},
        {"", "\"\""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.arg.toStdString());
        EXPECT_EQ(QuoteExecArg(c.arg), c.quoted);
        const QString exec = QuoteExecArg(c.arg) + " %f";
        EXPECT_EQ(SplitExecLine(exec), QStringList({c.arg, "%f"}));

        // Through a file: the value's own escapes come on top of the quoting.
        QTemporaryDir dir;
        DesktopEntry e;
        e.set("Exec", exec);
        ASSERT_TRUE(e.write(dir.path() + "/t.desktop"));
        DesktopEntry back;
        ASSERT_TRUE(back.read(dir.path() + "/t.desktop"));
        EXPECT_EQ(back.value("Exec"), exec);
    }
    // A backslash in a path is doubled by the quoting and again in the file.
    DesktopEntry e;
    e.set("Exec", QuoteExecArg("a\\b"));
    EXPECT_EQ(e.toText(), QByteArray("[Desktop Entry]\nExec=\"a\\\\\\\\b\"\n"));
}

TEST(DesktopEntry, ValueEscapesAndReading)
{
    EXPECT_EQ(EscapeDesktopValue(" lead\nline\ttab\\"), "\\slead\\nline\\ttab\\\\");
    EXPECT_EQ(UnescapeDesktopValue("\\slead\\nline\\ttab\\\\"), " lead\nline\ttab\\");
    EXPECT_EQ(SplitExecLine("plain  two \"three four\""),
              QStringList({"plain", "two", "three four"}));

    QTemporaryDir dir;
    const QString path = dir.path() + "/x.desktop";
    EXPECT_TRUE(
        WriteBytes(path, "# comment\n[Other]\nName=wrong\n[Desktop Entry]\r\nName = Right\nExec=a\n"
                         "Name=second\n[Desktop Action x]\nExec=b\n"));
    DesktopEntry e;
    ASSERT_TRUE(e.read(path));
    EXPECT_EQ(e.value("Name"), "Right");
    EXPECT_EQ(e.value("Exec"), "a");

    EXPECT_TRUE(WriteBytes(path, "[Other]\nName=x\n"));
    EXPECT_FALSE(e.read(path));
    EXPECT_FALSE(e.read(dir.path() + "/missing.desktop"));
}

TEST(MimeAppsList, EditsOnlyTheOneIdInTheDefaultGroup)
{
    QTemporaryDir dir;
    const QString list = dir.path() + "/cfg/mimeapps.list";

    // A missing file is created with the group.
    ASSERT_TRUE(SetDefaultApplication(list, "application/x-a", "ours.desktop"));
    EXPECT_EQ(ReadBytes(list),
              QByteArray("[Default Applications]\napplication/x-a=ours.desktop;\n"));

    EXPECT_TRUE(WriteBytes(
        list, "# user's file\n[Added Associations]\napplication/x-a=other.desktop;\n\n"
              "[Default Applications]\napplication/x-a=other.desktop;ours.desktop;\n"
              "text/plain=editor.desktop;\n\n[Removed Associations]\nimage/png=v.desktop;\n"));
    EXPECT_EQ(DefaultApplications(list, "application/x-a"),
              QStringList({"other.desktop", "ours.desktop"}));

    // Ours goes first, once; everything else stays as it was.
    ASSERT_TRUE(SetDefaultApplication(list, "application/x-a", "ours.desktop"));
    ASSERT_TRUE(SetDefaultApplication(list, "application/x-new", "ours.desktop"));
    EXPECT_EQ(ReadBytes(list),
              QByteArray("# user's file\n[Added Associations]\napplication/x-a=other.desktop;\n\n"
                         "[Default Applications]\napplication/x-a=ours.desktop;other.desktop;\n"
                         "text/plain=editor.desktop;\napplication/x-new=ours.desktop;\n\n"
                         "[Removed Associations]\nimage/png=v.desktop;\n"));

    // Removal takes out only our id; a line left empty goes.
    ASSERT_TRUE(RemoveDefaultApplication(list, "application/x-a", "ours.desktop"));
    ASSERT_TRUE(RemoveDefaultApplication(list, "application/x-new", "ours.desktop"));
    ASSERT_TRUE(RemoveDefaultApplication(list, "text/plain", "ours.desktop"));
    EXPECT_EQ(ReadBytes(list),
              QByteArray("# user's file\n[Added Associations]\napplication/x-a=other.desktop;\n\n"
                         "[Default Applications]\napplication/x-a=other.desktop;\n"
                         "text/plain=editor.desktop;\n\n"
                         "[Removed Associations]\nimage/png=v.desktop;\n"));

    // Nothing to remove from a missing file, and nothing is created.
    const QString none = dir.path() + "/none.list";
    EXPECT_TRUE(RemoveDefaultApplication(none, "application/x-a", "ours.desktop"));
    EXPECT_FALSE(QFile::exists(none));
}

TEST(MimeAppsList, UnwritablePlaceReportsFailure)
{
    QTemporaryDir dir;
    EXPECT_TRUE(WriteBytes(dir.path() + "/file", "x"));
    // A file stands where the folder should be.
    EXPECT_FALSE(SetDefaultApplication(dir.path() + "/file/mimeapps.list", "a/b", "c.desktop"));
    EXPECT_FALSE(WriteFileAtomically(dir.path() + "/file/x", "data"));

    // A disk that fails mid-write: the entry and the list keep what they held.
    const QString list = dir.path() + "/mimeapps.list";
    const QString entry = dir.path() + "/t.desktop";
    ASSERT_TRUE(WriteBytes(list, "[Default Applications]\na/b=old.desktop;\n"));
    ASSERT_TRUE(WriteBytes(entry, "[Desktop Entry]\nName=Old\n"));
    DesktopEntry e;
    e.set("Name", "New");
    e.set("Exec", QString(3000, 'x'));
    for (const auto kind : {SaveFault::DiskFull, SaveFault::Flush, SaveFault::Rename}) {
        test::ScopedSaveFault fault(kind, {}, 20);
        EXPECT_FALSE(SetDefaultApplication(list, "a/b", "c.desktop"));
        EXPECT_FALSE(e.write(entry));
        EXPECT_EQ(ReadBytes(list), "[Default Applications]\na/b=old.desktop;\n");
        EXPECT_EQ(ReadBytes(entry), "[Desktop Entry]\nName=Old\n");
    }
}
