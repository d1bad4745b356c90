#include "core/FileActions.h"
#include "logic/FileHelpers.h"
#include "platform/DesktopEntry.h"
#include "tests/support/Bounds.h"
#include "tests/support/FileBytes.h"
#include "tests/support/SaveFaults.h"

#include <QDesktopServices>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <QUrl>

#include <gtest/gtest.h>

using namespace qelt;
using test::ReadBytes;
using test::WriteBytes;

namespace {

bool waitForFile(const QString &path)
{
    QElapsedTimer t;
    t.start();
    while (!QFile::exists(path) && t.elapsed() < test::kChildMs)
        QThread::msleep(test::kPollMs);
    return QFile::exists(path);
}

// Catches what would go to the desktop's default handler.
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    UrlCatcher()
    {
        for (const char *scheme : {"file", "http", "https"})
            QDesktopServices::setUrlHandler(scheme, this, "open");
    }
    ~UrlCatcher() override
    {
        for (const char *scheme : {"file", "http", "https"})
            QDesktopServices::unsetUrlHandler(scheme);
    }
    QList<QUrl> opened;
public slots:
    void open(const QUrl &url) { opened.append(url); }
};

struct FileHelpersTest : ::testing::Test {
    QTemporaryDir tmp;
    QString dir = tmp.path();
    QString at(const QString &name) const { return dir + "/" + name; }
};

} // namespace

TEST_F(FileHelpersTest, ExistenceTellsFilesFromFolders)
{
    EXPECT_TRUE(WriteBytes(at("a.cro"), "x"));
    ASSERT_TRUE(QDir(dir).mkdir("sub"));

    EXPECT_FALSE(FileExists(""));
    EXPECT_TRUE(FileExists(at("a.cro")));
    EXPECT_FALSE(FileExists(at("b.cro")));
    EXPECT_FALSE(FileExists(at("sub")));
    EXPECT_TRUE(FileExists(at("sub"), kAttrDirectory));
    EXPECT_TRUE(FileExists(at("*.cro")));
    EXPECT_FALSE(FileExists(at("*.zvu")));
    EXPECT_FALSE(FileExists(at("s?b")));
    EXPECT_TRUE(FileExists(at("s?b"), kAttrDirectory));

    EXPECT_TRUE(DirExists(at("sub")));
    EXPECT_TRUE(DirExists(at("sub/")));
    EXPECT_FALSE(DirExists(at("a.cro")));
    EXPECT_FALSE(DirExists(at("none")));
    EXPECT_FALSE(DirExists(""));
}

TEST_F(FileHelpersTest, MakePathCreatesEveryLevelAndReportsFailure)
{
    EXPECT_TRUE(MakePath("  " + at("one/two/") + "  "));
    EXPECT_TRUE(DirExists(at("one/two")));
    EXPECT_TRUE(MakePath(at("one/two"))); // already there

    EXPECT_FALSE(MakePath("   "));
    EXPECT_FALSE(MakePath(""));

    EXPECT_TRUE(WriteBytes(at("file"), "x"));
    EXPECT_FALSE(MakePath(at("file")));
    EXPECT_FALSE(MakePath(at("file/inner")));
    EXPECT_FALSE(DirExists(at("file/inner")));
}

TEST_F(FileHelpersTest, LoadTextFileReadsEveryByte)
{
    bool ok = false;
    EXPECT_EQ(LoadTextFile(at("missing.txt"), &ok), "");
    EXPECT_TRUE(ok);
    EXPECT_TRUE(QFile::exists(at("missing.txt"))); // left behind, empty
    EXPECT_EQ(ReadBytes(at("missing.txt")), "");

    EXPECT_TRUE(WriteBytes(at("utf8.txt"), "\"A\"\r\nK\xc3\xbc\x63he\r\n"));
    EXPECT_EQ(LoadTextFile(at("utf8.txt"), &ok), QString::fromUtf8("\"A\"\r\nKüche\r\n"));
    EXPECT_TRUE(ok);
    // Not UTF-8: the one-byte character set, one character a byte.
    EXPECT_TRUE(WriteBytes(at("latin.txt"), "K\xfc\x63he\x80"));
    EXPECT_EQ(LoadTextFile(at("latin.txt"), &ok), QString::fromUtf8("Küche€"));
    // A byte-order mark is part of the file: it is read, and written back.
    EXPECT_TRUE(WriteBytes(at("bom.txt"), "\xef\xbb\xbf\"A\"\r\n"));
    const QString withMark = LoadTextFile(at("bom.txt"), &ok);
    EXPECT_EQ(withMark, QChar(0xFEFF) + QString("\"A\"\r\n"));
    EXPECT_TRUE(SaveTextFile(withMark.chopped(2), at("bom.txt")));
    EXPECT_EQ(ReadBytes(at("bom.txt")), "\xef\xbb\xbf\"A\"\r\n");

    EXPECT_EQ(LoadTextFile(at("no/such/folder/x.txt"), &ok), "");
    EXPECT_FALSE(ok);
    EXPECT_EQ(LoadTextFile(dir, &ok), "");
    EXPECT_FALSE(ok);
}

TEST_F(FileHelpersTest, SaveTextFileReplacesAtomically)
{
    const QString path = at("t.txt");
    EXPECT_TRUE(SaveTextFile("abc", path));
    EXPECT_EQ(ReadBytes(path), "abc\r\n");
    // One-byte text stays one byte a character; other text is UTF-8, not "?".
    EXPECT_TRUE(SaveTextFile(QString::fromUtf8("K\xC3\xBC"
                                               "che"),
                             path));
    EXPECT_EQ(ReadBytes(path), "K\xFC"
                               "che\r\n");
    EXPECT_EQ(LoadTextFile(path), QString::fromUtf8("K\xC3\xBC"
                                                    "che\r\n"));
    const QString cyrillic = QString::fromUtf8("\xD0\x9A\xD1\x83\xD1\x85\xD0\xBD\xD1\x8F");
    EXPECT_TRUE(SaveTextFile(cyrillic, path));
    EXPECT_EQ(ReadBytes(path), cyrillic.toUtf8() + "\r\n");
    EXPECT_EQ(LoadTextFile(path), cyrillic + "\r\n");
    EXPECT_EQ(QDir(dir).entryList(QDir::Files | QDir::Hidden), QStringList{"t.txt"});

    EXPECT_FALSE(SaveTextFile("x", at("no/such/folder/x.txt")));
    EXPECT_FALSE(SaveTextFile("x", dir));
    EXPECT_FALSE(SaveTextFile("x", ""));
}

// A save or copy that cannot be made leaves the old file whole and says why.
TEST_F(FileHelpersTest, FailedSaveOrCopyKeepsTheOldFile)
{
    const QString path = at("t.txt");
    const QString source = at("source.txt");
    ASSERT_TRUE(WriteBytes(source, QByteArray(9000, 's')));
    for (const auto kind :
         {SaveFault::Open, SaveFault::DiskFull, SaveFault::Flush, SaveFault::Rename}) {
        SCOPED_TRACE(int(kind));
        ASSERT_TRUE(WriteBytes(path, "old\r\n"));
        test::ScopedSaveFault fault(kind, "t.txt", 100);
        QString error;
        EXPECT_FALSE(SaveTextFile(QString(5000, 'n'), path, &error));
        EXPECT_FALSE(error.isEmpty());
        EXPECT_FALSE(CopyFileAtomic(source, path, &error));
        EXPECT_EQ(ReadBytes(path), "old\r\n");
        EXPECT_EQ(fault.hits(), 2);
    }
    EXPECT_EQ(QDir(dir).entryList(QDir::Files | QDir::Hidden),
              (QStringList{"source.txt", "t.txt"}));
    QString error;
    EXPECT_FALSE(CopyFileAtomic(at("missing"), path, &error));
    EXPECT_TRUE(error.contains("missing"));
    EXPECT_EQ(ReadBytes(path), "old\r\n");
    EXPECT_TRUE(CopyFileAtomic(source, path));
    EXPECT_EQ(ReadBytes(path), QByteArray(9000, 's'));
}

TEST_F(FileHelpersTest, FullDiskKeepsTheOldFile)
{
    test::TinyTmpfs disk(64);
    if (!disk.mounted())
        GTEST_SKIP() << "cannot mount a tmpfs here";
    const QString path = disk.path() + "/t.txt";
    const QString source = dir + "/big.txt";
    ASSERT_TRUE(WriteBytes(path, "old\r\n"));
    ASSERT_TRUE(WriteBytes(source, QByteArray(40000, 's')));
    disk.fill(8192);
    EXPECT_FALSE(SaveTextFile(QString(40000, 'n'), path));
    EXPECT_FALSE(CopyFileAtomic(source, path));
    EXPECT_EQ(ReadBytes(path), "old\r\n");
}

TEST_F(FileHelpersTest, RunFileStartsProgramsAndOpensDocuments)
{
    UrlCatcher catcher;
    // A program whose path holds a blank, and one given with arguments.
    const QString script = at("my tool.sh");
    EXPECT_TRUE(WriteBytes(script, "#!/bin/sh\necho ran > \"$(dirname \"$0\")/ran-$1\"\n"));
    QFile::setPermissions(script,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    EXPECT_TRUE(RunFile(script));
    EXPECT_TRUE(waitForFile(at("ran-")));
    EXPECT_TRUE(RunFile("/bin/sh -c \"echo > '" + at("ran-args") + "'\""));
    EXPECT_TRUE(waitForFile(at("ran-args")));
    EXPECT_TRUE(catcher.opened.isEmpty());

    // A shortcut (desktop entry) starts what it points at.
    EXPECT_TRUE(
        WriteBytes(at("tool.desktop"),
                   "[Desktop Entry]\nType=Application\nName=Tool\nExec=/bin/sh -c \"echo > '" +
                       at("ran-entry").toUtf8() + "'\" %f\n"));
    EXPECT_TRUE(RunFile(at("tool.desktop")));
    EXPECT_TRUE(waitForFile(at("ran-entry")));

    // A document is opened, not run.
    EXPECT_TRUE(WriteBytes(at("notes.txt"), "x"));
    EXPECT_TRUE(RunFile(at("notes.txt")));
    ASSERT_EQ(catcher.opened.size(), 1);
    EXPECT_EQ(catcher.opened[0], QUrl::fromLocalFile(at("notes.txt")));

    // Nothing to run or open is a failure.
    EXPECT_FALSE(RunFile(at("missing-program")));
    EXPECT_FALSE(RunFile(""));
    EXPECT_EQ(catcher.opened.size(), 1);
}

// An entry the program writes for a program whose path holds characters
// the Exec line and the file escape starts that program with its arguments.
TEST_F(FileHelpersTest, DesktopEntryStartsTheProgramItNames)
{
    const QString folder = at("we$ird \"q\" back\\slash `tick` 5%");
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString program = folder + "/tool";
    ASSERT_TRUE(WriteBytes(program, "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$0.part\" && "
                                    "mv \"$0.part\" \"$0.argv\"\n"));
    QFile::setPermissions(program,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    const QString arg = " $HOME \"x\" a\\b `id` 100%";
    DesktopEntry entry;
    entry.set("Type", "Application");
    entry.set("Name", "Tool");
    entry.set("Exec", QuoteExecArg(program) + " " + QuoteExecArg(arg) + " %f");
    ASSERT_TRUE(entry.write(at("tool.desktop")));

    EXPECT_TRUE(RunFile(at("tool.desktop")));
    ASSERT_TRUE(waitForFile(program + ".argv"));
    EXPECT_EQ(QString::fromUtf8(ReadBytes(program + ".argv")), arg + "\n");
}

TEST_F(FileHelpersTest, OpenDocOpensAddressesAndFiles)
{
    UrlCatcher catcher;
    EXPECT_TRUE(WriteBytes(at("licence.txt"), "x"));
    EXPECT_TRUE(OpenDoc("https://example.org/help.htm"));
    EXPECT_TRUE(OpenDoc(at("licence.txt")));
    EXPECT_FALSE(OpenDoc(at("gone.txt")));
    EXPECT_FALSE(OpenDoc(""));
    ASSERT_EQ(catcher.opened.size(), 2);
    EXPECT_EQ(catcher.opened[0], QUrl("https://example.org/help.htm"));
    EXPECT_EQ(catcher.opened[1], QUrl::fromLocalFile(at("licence.txt")));

    // A program is started.
    const QString prog = at("update");
    EXPECT_TRUE(WriteBytes(prog, "#!/bin/sh\necho > \"$(dirname \"$0\")/started\"\n"));
    QFile::setPermissions(prog,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    EXPECT_TRUE(OpenDoc(prog));
    EXPECT_TRUE(waitForFile(at("started")));
    EXPECT_EQ(catcher.opened.size(), 2);
}

#include "file_helpers_test.moc"
