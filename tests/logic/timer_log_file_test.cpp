#include "logic/TimerLogFile.h"

#include "logic/ProgramFolder.h"
#include "logic/Settings.h"
#include "logic/TextCodec.h"
#include "tests/support/PeakMemory.h"
#include "tests/support/SaveFaults.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

using qelt::SaveFault;
using qelt::TimerLogFile;
using qelt::test::ScopedSaveFault;
using qelt::test::TinyTmpfs;

namespace {

const QDateTime kNow(QDate(2026, 12, 8), QTime(19, 5, 9));

QString logOf(int pieces)
{
    QStringList l;
    for (int i = 0; i < pieces; ++i)
        l << QStringLiteral("line %1").arg(i);
    return l.join("\r\n");
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

} // namespace

TEST(TimerLogFile, BlocksAreQuotedItemsWithCrLf)
{
    const QString stamp = TimerLogFile::NowText(kNow);
    EXPECT_EQ(TimerLogFile::SaveBlock("a\"b\r\nc", kNow), "\"\r\n\r\n******** Timer log save " +
                                                              stamp +
                                                              "********\r\n\"\r\n"
                                                              "\"a\"b\r\nc\"\r\n"
                                                              "\"******** end of log save for " +
                                                              stamp + "********\r\n\"\r\n");
    EXPECT_EQ(TimerLogFile::AutosaveBlock({"x", ""}, kNow),
              "\"\r\n******** Timer log autosave " + stamp +
                  "********\r\n\"\r\n"
                  "\"x\"\r\n\"\"\r\n"
                  "\"\r\n******** end  autosave for " +
                  stamp + "********\r\n\"\r\n");
}

TEST(TimerLogFile, AutosaveSplitAtTheLimit)
{
    // U = MaxLogSize pieces + 1 is left alone; one more piece moves U - Keep pieces.
    EXPECT_FALSE(TimerLogFile::SplitForAutosave(logOf(501), 500, 400).due);
    EXPECT_FALSE(TimerLogFile::SplitForAutosave(QString(), 500, 400).due);

    const auto s = TimerLogFile::SplitForAutosave(logOf(502), 500, 400);
    ASSERT_TRUE(s.due);
    ASSERT_EQ(s.moved.size(), 501 - 400);
    EXPECT_EQ(s.moved.first(), "line 0");
    EXPECT_EQ(s.moved.last(), "line 100");
    QStringList keptLines = s.kept.split("\r\n");
    EXPECT_EQ(keptLines.takeFirst(), ""); // the kept text begins with an empty line
    ASSERT_EQ(keptLines.size(), 401);
    EXPECT_EQ(keptLines.first(), "line 101");
    EXPECT_EQ(keptLines.last(), "line 501");

    // A kept line of one blank becomes a line break; a negative keep count still
    // keeps the newest line.
    const auto blank = TimerLogFile::SplitForAutosave("a\r\nb\r\n \r\nc", 2, 2);
    EXPECT_EQ(blank.moved, QStringList{"a"});
    EXPECT_EQ(blank.kept, "\r\nb\r\n\r\n\r\nc");
    const auto none = TimerLogFile::SplitForAutosave("a\r\nb\r\nc", 1, -5);
    EXPECT_EQ(none.moved, (QStringList{"a", "b"}));
    EXPECT_EQ(none.kept, "\r\nc");
}

TEST(TimerLogFile, AutosaveWritesMovedLinesOrKeepsThemOnFailure)
{
    const QString path = qelt::InProgramFolder("TimerLog.log");
    QFile::remove(path);
    TimerLogFile file(path);
    TimerLogFile::Limits limits;
    limits.maxLogSize = 3;
    limits.keepLogSize = 1;
    const QString log = logOf(6); // U = 5 > 3: pieces 0..3 move

    // Auto-save off: the lines leave the window, the file is created but stays empty.
    auto off = file.autosave(log, false, limits, kNow);
    EXPECT_TRUE(off.moved);
    EXPECT_TRUE(off.written);
    EXPECT_EQ(off.keptText, "\r\nline 4\r\nline 5");
    EXPECT_TRUE(QFileInfo::exists(path));
    EXPECT_EQ(readAll(path), QByteArray());

    // Auto-save on: the block is appended after what was there.
    writeFile(path, "\"old\"\r\n");
    auto on = file.autosave(log, true, limits, kNow);
    EXPECT_TRUE(on.written);
    EXPECT_EQ(
        readAll(path),
        "\"old\"\r\n" +
            TimerLogFile::AutosaveBlock({"line 0", "line 1", "line 2", "line 3"}, kNow).toUtf8());

    // Below the limit nothing happens.
    EXPECT_FALSE(file.autosave(logOf(4), true, limits, kNow).moved);

    // A file that cannot be written: the result says so and holds no kept text,
    // so the window keeps every line.
    TimerLogFile bad(qelt::InProgramFolder("no such folder/TimerLog.log"));
    auto failed = bad.autosave(log, true, limits, kNow);
    EXPECT_TRUE(failed.moved);
    EXPECT_FALSE(failed.written);
    EXPECT_TRUE(failed.keptText.isEmpty());

    // With auto-save off there is nothing to lose: the lines leave the window
    // even when the file cannot be created.
    auto offBad = bad.autosave(log, false, limits, kNow);
    EXPECT_TRUE(offBad.moved);
    EXPECT_TRUE(offBad.written);
    EXPECT_EQ(offBad.keptText, "\r\nline 4\r\nline 5");
}

TEST(TimerLogFile, SaveAtCloseAppendsOnlyWhenOnAndNotEmpty)
{
    const QString path = qelt::InProgramFolder("close.log");
    writeFile(path, "\"earlier\"\r\n");
    TimerLogFile file(path);
    EXPECT_TRUE(file.saveAtClose("log", false, kNow));
    EXPECT_TRUE(file.saveAtClose("", true, kNow));
    EXPECT_EQ(readAll(path), "\"earlier\"\r\n");
    EXPECT_TRUE(file.saveAtClose("log", true, kNow));
    EXPECT_EQ(readAll(path), "\"earlier\"\r\n" + TimerLogFile::SaveBlock("log", kNow).toUtf8());
}

TEST(TimerLogFile, FixFileSizeTrimsToTheLastLinesAtomically)
{
    const QString path = qelt::InProgramFolder("trim.log");
    auto fileOf = [](int pieces) {
        QByteArray b;
        for (int i = 0; i < pieces - 1; ++i)
            b += "\"l" + QByteArray::number(i) + "\"\r\n";
        return b; // ends in CR LF: the last piece is empty
    };

    // Limit 10: 13 pieces stay as they are, 14 pieces are cut to the last 10.
    writeFile(path, fileOf(13));
    EXPECT_TRUE(TimerLogFile::FixFileSize(path, 10));
    EXPECT_EQ(readAll(path), fileOf(13));

    writeFile(path, fileOf(14));
    EXPECT_TRUE(TimerLogFile::FixFileSize(path, 10));
    QByteArray expected;
    for (int i = 4; i <= 12; ++i)
        expected += "l" + QByteArray::number(i) + "\r\n";
    expected += "\r\n"; // the empty last piece, then the line end every rewrite adds
    EXPECT_EQ(readAll(path), expected);

    // Lines "@@@" or ending in "@@@" are kept as they stand.
    writeFile(path, "a\r\nb\r\nc\r\nd\r\n@@@\r\nx@@@\r\ny\r\n");
    EXPECT_TRUE(TimerLogFile::FixFileSize(path, 4));
    EXPECT_EQ(readAll(path), "@@@\r\nx@@@\r\ny\r\n\r\n");

    // A missing file is created empty and not trimmed.
    const QString missing = qelt::InProgramFolder("missing.log");
    QFile::remove(missing);
    EXPECT_TRUE(TimerLogFile::FixFileSize(missing, 10));
    EXPECT_TRUE(QFileInfo::exists(missing));
    EXPECT_EQ(readAll(missing), QByteArray());

    // A rewrite that fails leaves the file whole and says why.
    writeFile(path, fileOf(20));
    for (const auto kind : {SaveFault::DiskFull, SaveFault::Flush, SaveFault::Rename}) {
        ScopedSaveFault fault(kind, "trim.log", 10);
        QString error;
        EXPECT_FALSE(TimerLogFile::FixFileSize(path, 5, &error));
        EXPECT_FALSE(error.isEmpty());
        EXPECT_EQ(readAll(path), fileOf(20));
    }
}

// Trimming a large log keeps only the tail in memory: 50 MB cut to its
// last 1000 lines. A log that is not a regular file is not touched.
TEST(TimerLogFile, LargeLogIsTrimmedInLittleMemory)
{
    const QString path = qelt::InProgramFolder("large.log");
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    int lines = 0;
    QByteArray chunk;
    while (f.size() + chunk.size() < 50 * 1000 * 1000) {
        chunk += "\"" + QByteArray::number(lines++) + " switched on at the set time\"\r\n";
        if (chunk.size() > 1 << 20) {
            ASSERT_EQ(f.write(chunk), chunk.size());
            chunk.clear();
        }
    }
    ASSERT_EQ(f.write(chunk), chunk.size());
    f.close();

    ASSERT_TRUE(qelt::test::ResetPeakMemory());
    const qint64 before = qelt::test::ResidentMemoryKiB();
    EXPECT_TRUE(TimerLogFile::FixFileSize(path, 1000));
    const qint64 grown = qelt::test::PeakMemoryKiB() - before;
    if (qelt::test::kPeakMemoryMeaningful) {
        EXPECT_LT(grown, 16 * 1024) << "KiB above the start: " << grown;
    }
    const QList<QByteArray> kept = readAll(path).split('\n');
    // 999 lines and the empty piece after the last, each ended by CR LF.
    ASSERT_EQ(kept.size(), 1001);
    EXPECT_EQ(kept[0], QByteArray::number(lines - 999) + " switched on at the set time\r");

    const QString fifo = qelt::InProgramFolder("fifo.log");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    EXPECT_FALSE(TimerLogFile::FixFileSize(fifo, 10));
    EXPECT_TRUE(QFileInfo(fifo).isFile() == false && QFileInfo::exists(fifo));
}

// Blocks appended in different runs may be in either encoding; trimming
// keeps every character of both.
TEST(TimerLogFile, TrimKeepsEveryCharacterOfMixedBlocks)
{
    const QString path = qelt::InProgramFolder("mixed.log");
    const QString cyrillic = QString::fromUtf8("\xD0\x9A\xD1\x83\xD1\x85\xD0\xBD\xD1\x8F");
    writeFile(path, "\"a\"\r\n\"b\"\r\n\"c\"\r\n\"d\"\r\n\"K\xFC"
                    "che\"\r\n\"" +
                        cyrillic.toUtf8() + "\"\r\n");
    TimerLogFile file(path);
    ASSERT_TRUE(file.append(TimerLogFile::QuotedItem(QString::fromUtf8("caf\xC3\xA9"))));
    EXPECT_TRUE(readAll(path).endsWith("\"caf\xE9\"\r\n"));
    ASSERT_TRUE(TimerLogFile::FixFileSize(path, 4));
    const QString back = qelt::DecodeText(readAll(path));
    EXPECT_EQ(back, QString::fromUtf8("K\xC3\xBC"
                                      "che\r\n") +
                        cyrillic + QString::fromUtf8("\r\ncaf\xC3\xA9\r\n\r\n"));
}

// Trimming reads line by line: a one-byte letter that ends a line, or the
// file, is kept and written back as the same byte.
TEST(TimerLogFile, TrimKeepsEveryByteEndingALine)
{
    const QString path = qelt::InProgramFolder("ends.log");
    for (int b = 0x80; b <= 0xFF; ++b) {
        SCOPED_TRACE(b);
        const QByteArray word = QByteArray("A1 On Caf") + char(b);
        writeFile(path, "\"a\"\r\n\"b\"\r\n\"c\"\r\n\"d\r\n" + word + "\r\n" + word);
        ASSERT_TRUE(TimerLogFile::FixFileSize(path, 2));
        EXPECT_EQ(readAll(path), word + "\r\n" + word + "\r\n");
    }
}

// An append that fails is taken back whole: the file is exactly as it was,
// and the window keeps its lines.
TEST(TimerLogFile, FailedAppendAndSaveAsLeaveFilesAsTheyWere)
{
    const QString path = qelt::InProgramFolder("append.log");
    writeFile(path, "\"old\"\r\n");
    TimerLogFile file(path);
    TimerLogFile::Limits limits;
    limits.maxLogSize = 3;
    limits.keepLogSize = 1;
    const QString saveAs = qelt::InProgramFolder("Timer.log");
    writeFile(saveAs, "\"saved before\"\r\n");
    for (const auto kind : {SaveFault::Open, SaveFault::DiskFull, SaveFault::Flush}) {
        ScopedSaveFault fault(kind, ".log", 20);
        const auto r = file.autosave(logOf(6), true, limits, kNow);
        EXPECT_FALSE(r.written);
        EXPECT_TRUE(r.keptText.isEmpty());
        QString error;
        EXPECT_FALSE(file.saveAtClose(logOf(6), true, kNow));
        EXPECT_FALSE(TimerLogFile::WriteSaveAs(saveAs, logOf(6), kNow, &error));
        EXPECT_FALSE(error.isEmpty());
        EXPECT_EQ(fault.hits(), 3);
        EXPECT_EQ(readAll(path), "\"old\"\r\n");
        EXPECT_EQ(readAll(saveAs), "\"saved before\"\r\n");
    }

    TinyTmpfs disk(64);
    if (!disk.mounted())
        GTEST_SKIP() << "cannot mount a tmpfs here";
    const QString onDisk = disk.path() + "/TimerLog.log";
    writeFile(onDisk, "\"old\"\r\n");
    disk.fill(1000);
    TimerLogFile full(onDisk);
    EXPECT_FALSE(full.saveAtClose(logOf(3000), true, kNow));
    EXPECT_EQ(readAll(onDisk), "\"old\"\r\n");
}

TEST(TimerLogFile, SaveAsPathRefusesNamesThatLeaveTheFolder)
{
    struct Case {
        QString answer;
        QString file; // expected file name in the program folder, "" for none
        bool refused;
    };
    const Case cases[] = {
        {"Timer", "Timer.log", false},
        {"Timer.log", "Timer.log.log", false}, // the extension is added again
        {"..", "...log", false},               // stays inside the folder
        {"", "", false},
        {"../escape", "", true},
        {"/tmp/abs", "", true},
        {"sub\\name", "", true},
        {QString("a") + QChar(0) + "b", "", true},
    };
    for (const Case &c : cases) {
        bool refused = false;
        const QString path = TimerLogFile::SaveAsPath(c.answer, &refused);
        EXPECT_EQ(refused, c.refused) << c.answer.toStdString();
        EXPECT_EQ(path, c.file.isEmpty() ? QString() : qelt::InProgramFolder(c.file))
            << c.answer.toStdString();
    }

    const QString path = TimerLogFile::SaveAsPath("Timer");
    ASSERT_TRUE(TimerLogFile::WriteSaveAs(path, "entry", kNow));
    EXPECT_EQ(readAll(path), TimerLogFile::SaveBlock("entry", kNow).toUtf8());
    EXPECT_FALSE(TimerLogFile::WriteSaveAs(qelt::InProgramFolder("nope/x.log"), "entry", kNow));
}

TEST(TimerLogFile, LimitsFallBackOnBadSettings)
{
    qelt::SaveSet("Settings", "MaxLogSize", "abc");
    qelt::SaveSet("Settings", "KeepLogSize", "99999"); // does not fit 16 bits
    qelt::SaveSet("Settings", "TrimTimerLog", "0");
    qelt::SaveSet("Settings", "MaxLogFileLines", "1000");
    const auto l = TimerLogFile::Limits::FromSettings();
    EXPECT_EQ(l.maxLogSize, 500);
    EXPECT_EQ(l.keepLogSize, 400);
    EXPECT_FALSE(l.trimFile);
    EXPECT_EQ(l.maxFileLines, 1000);
    for (const char *k : {"MaxLogSize", "KeepLogSize", "TrimTimerLog", "MaxLogFileLines"})
        qelt::DeleteSet("Settings", k);
}

TEST(TimerLogFile, PrintTextEndsWithThePrintDate)
{
    const QString text = TimerLogFile::PrintText("Timer 1 : (a.cro)\r\n\t: Started", kNow);
    EXPECT_TRUE(text.startsWith("Timer 1 : (a.cro)\n\t: Started\n\nPrinted on:  "))
        << text.toStdString();
    EXPECT_FALSE(text.contains('\r'));
    EXPECT_TRUE(text.endsWith(" at 7:05:09 PM") || text.endsWith(" at 19:05:09"))
        << text.toStdString();
}
