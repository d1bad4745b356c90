#include "logic/ErrorLogFolding.h"

#include "logic/BoundedRead.h"
#include "logic/ErrorLog.h"
#include "logic/ProgramFolder.h"
#include "tests/support/FileBytes.h"
#include "tests/support/PeakMemory.h"
#include "tests/support/SaveFaults.h"

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

using namespace qelt;
using test::ReadBytes;
using test::WriteBytes;

namespace {

// One entry as the error log's writer lays it out.
QByteArray Entry(const char *stamp, const char *text)
{
    return QByteArray("\"\r\nLogged:  ") + stamp + "\"\r\n\"\t" + text + "\"\r\n";
}

// One entry of the folded file.
QByteArray Folded(const char *stamp, const char *text, const char *suffix = "")
{
    return QByteArray("Logged:  ") + stamp + "\"" + suffix + "\r\n\"\t" + text + "\"\r\n\r\n";
}

QString LogPath()
{
    return InProgramFolder(QStringLiteral("error.log"));
}

} // namespace

TEST(ErrorLogFolding, FoldsRunsAndCountsLines)
{
    const struct {
        const char *name;
        QByteArray log;
        QByteArray folded;
        const char *statistics;
    } cases[] = {
        {"one different entry, then three equal",
         Entry("t1", "A") + Entry("t2", "B") + Entry("t3", "B") + Entry("t4", "B"),
         Folded("t1", "A") + Folded("t4", "B", " ( x 3 )") + "\r\n", "old = 12, new = 3, diff = 9"},
        {"two equal first, then two different",
         Entry("t1", "A") + Entry("t2", "A") + Entry("t3", "B") + Entry("t4", "C"),
         Folded("t1", "A") + Folded("t2", "A", " ( x 2 )") + Folded("t3", "B") + Folded("t4", "C") +
             "\r\n",
         "old = 12, new = 9, diff = 3"},
        {"one entry", Entry("t1", "A"), Folded("t1", "A") + "\r\n", "old = 3, new = 0, diff = 3"},
        {"no entries", "\"\r\njunk\r\n", "\r\n", "old = 2, new = 0, diff = 2"},
        {"runs apart are kept apart",
         Entry("t1", "A") + Entry("t2", "B") + Entry("t3", "A") + Entry("t4", "A"),
         Folded("t1", "A") + Folded("t2", "B") + Folded("t4", "A", " ( x 2 )") + "\r\n",
         "old = 12, new = 6, diff = 6"},
        {"letter case makes texts differ", Entry("t1", "x") + Entry("t2", "a") + Entry("t3", "A"),
         Folded("t1", "x") + Folded("t2", "a") + Folded("t3", "A") + "\r\n",
         "old = 9, new = 6, diff = 3"},
    };
    for (const auto &c : cases) {
        ASSERT_TRUE(WriteBytes(LogPath(), c.log)) << c.name;
        EXPECT_EQ(ParseErrorLog(LogPath()), QLatin1String(c.statistics)) << c.name;
        EXPECT_EQ(ReadBytes(LogPath()), c.folded) << c.name;
    }
}

TEST(ErrorLogFolding, FoldedLogFoldsAgainWithNewEntries)
{
    ASSERT_TRUE(WriteBytes(LogPath(), Entry("t1", "A") + Entry("t2", "B") + Entry("t3", "B")));
    ParseErrorLog(LogPath());
    // The writer appends in its own layout after the folded entries.
    QFile f(LogPath());
    ASSERT_TRUE(f.open(QIODevice::Append));
    f.write(Entry("t4", "C"));
    f.close();
    ParseErrorLog(LogPath());
    EXPECT_EQ(ReadBytes(LogPath()),
              Folded("t1", "A") + Folded("t3", "B", " ( x 2 )") + Folded("t4", "C") + "\r\n");
}

TEST(ErrorLogFolding, KeepsScrambledBytesOfRealEntries)
{
    QFile::remove(ErrorLogPath());
    int second = 0;
    SetErrLogClock([&] { return QDateTime(QDate(2026, 12, 8), QTime(9, 0, second++)); });
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(LogErr(QStringLiteral("cmdOn_Click"), QStringLiteral("frmFire"), 8020,
                           QStringLiteral("Error reading comm device ÄÖ")));
    ASSERT_TRUE(LogErr(QStringLiteral("Form_Load"), QStringLiteral("frmFire"), 53,
                       QStringLiteral("File not found")));
    SetErrLogClock({});
    const QList<QByteArray> before = ReadBytes(ErrorLogPath()).split('\n');

    EXPECT_EQ(ParseErrorLog(ErrorLogPath()), QLatin1String("old = 12, new = 6, diff = 6"));
    const QList<QByteArray> after = ReadBytes(ErrorLogPath()).split('\n');
    // Entry 1, the run's last member with its count, entry 4: text lines
    // byte for byte as the writer left them.
    ASSERT_EQ(after.size(), 11);
    EXPECT_EQ(after[0], before[1]);
    EXPECT_EQ(after[1], before[2]);
    EXPECT_EQ(after[3], before[7].chopped(1) + " ( x 3 )\r");
    EXPECT_EQ(after[4], before[8]);
    EXPECT_EQ(after[6], before[10]);
    EXPECT_EQ(after[7], before[11]);
}

TEST(ErrorLogFolding, MissingOrUnreadableLogIsLeftAlone)
{
    const QString missing = InProgramFolder(QStringLiteral("nolog.log"));
    QFile::remove(missing);
    EXPECT_EQ(ParseErrorLog(missing), QLatin1String("old = 0, new = 0, diff = 0"));
    EXPECT_FALSE(QFile::exists(missing));

    // Unreadable for the user the program runs as: a child process that is
    // not root (root reads every file) folds a log it may not read.
    const QByteArray log = Entry("t1", "A") + Entry("t2", "A");
    ASSERT_TRUE(WriteBytes(LogPath(), log));
    const QString folder = QFileInfo(LogPath()).path();
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::chmod(QFile::encodeName(LogPath()).constData(), 0);
        if (::geteuid() == 0) {
            // The folders on the way must stay passable for the child's user.
            // Only the test's own folders, below the temporary folder.
            const QString top = QDir::tempPath();
            for (QString p = folder; p.startsWith(top + u'/'); p = QFileInfo(p).path())
                ::chmod(QFile::encodeName(p).constData(), 0755);
            if (::setgid(65534) != 0 || ::setuid(65534) != 0)
                ::_exit(3);
        }
        if (QFile(LogPath()).open(QIODevice::ReadOnly))
            ::_exit(2); // still readable: nothing to test
        const QString stats = ParseErrorLog(LogPath());
        ::_exit(stats == QLatin1String("old = 0, new = 0, diff = 0") ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    QFile::setPermissions(LogPath(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(ReadBytes(LogPath()), log);
}

// A rewrite that fails keeps every entry, says nothing was folded, and
// records the failure in the log.
TEST(ErrorLogFolding, FailedRewriteKeepsTheLog)
{
    const QByteArray log = Entry("t1", "A") + Entry("t2", "B") + Entry("t3", "B");
    for (const auto kind : {SaveFault::DiskFull, SaveFault::Flush, SaveFault::Rename}) {
        ASSERT_TRUE(WriteBytes(LogPath(), log));
        SaveFault fault;
        fault.kind = kind;
        fault.bytesFree = 10;
        fault.nameContains = QStringLiteral("error.log");
        fault.times = 1; // the entry about the failure can still be appended
        SetSaveFault(fault);
        EXPECT_EQ(ParseErrorLog(LogPath()), QLatin1String("old = 9, new = 9, diff = 0"));
        EXPECT_EQ(SaveFaultHits(), 1);
        ClearSaveFault();
        const QByteArray after = ReadBytes(LogPath());
        EXPECT_TRUE(after.startsWith(log));
        EXPECT_EQ(after.count("Logged:"), 4);
    }
}

// A large log folds in memory bounded by the run being folded, not by the
// file: 50 MB of entries, most of them different, some in runs.
TEST(ErrorLogFolding, LargeLogFoldsInLittleMemory)
{
    QFile f(LogPath());
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    qint64 entries = 0;
    qint64 expectedKept = 0;
    QByteArray previous;
    QByteArray chunk;
    while (f.size() + chunk.size() < 50 * 1000 * 1000) {
        // Every fourth entry repeats the one before it.
        const QByteArray text = "text " + QByteArray::number(entries - (entries % 4 == 3 ? 1 : 0));
        chunk += Entry(QByteArray::number(entries).constData(), text.constData());
        if (text != previous)
            ++expectedKept;
        previous = text;
        ++entries;
        if (chunk.size() > 1 << 20) {
            ASSERT_EQ(f.write(chunk), chunk.size());
            chunk.clear();
        }
    }
    ASSERT_EQ(f.write(chunk), chunk.size());
    chunk.clear();
    f.close();

    ASSERT_TRUE(test::ResetPeakMemory());
    const qint64 before = test::ResidentMemoryKiB();
    const QString stats = ParseErrorLog(LogPath());
    const qint64 grown = test::PeakMemoryKiB() - before;
    if (test::kPeakMemoryMeaningful) {
        EXPECT_LT(grown, 16 * 1024) << "KiB above the start: " << grown;
    }
    EXPECT_TRUE(stats.startsWith(QStringLiteral("old = %1,").arg(entries * 3)))
        << stats.toStdString();

    // Every kept entry is three lines, and the runs were folded.
    CrLfPieceReader in;
    ASSERT_TRUE(in.open(LogPath()));
    QByteArray piece;
    qint64 stamps = 0, counted = 0;
    while (in.next(&piece)) {
        if (piece.startsWith("Logged")) {
            ++stamps;
            if (piece.endsWith(" ( x 2 )"))
                ++counted;
        }
    }
    // The first run is written twice when it folds; here it does not.
    EXPECT_EQ(stamps, expectedKept);
    EXPECT_EQ(counted, entries / 4);
}

TEST(ErrorLogFolding, FullDiskKeepsTheLog)
{
    test::TinyTmpfs disk(64);
    if (!disk.mounted())
        GTEST_SKIP() << "cannot mount a tmpfs here";
    const QString path = disk.path() + QStringLiteral("/error.log");
    QByteArray log;
    for (int i = 0; i < 300; ++i)
        log += Entry("t", i % 2 ? "A" : "B");
    ASSERT_TRUE(WriteBytes(path, log));
    disk.fill(0);
    ParseErrorLog(path);
    EXPECT_EQ(ReadBytes(path), log);
}
