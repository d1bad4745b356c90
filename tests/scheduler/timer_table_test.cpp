#include "core/services/SchedulerServices.h"
#include "logic/DayRule.h"
#include "logic/Globals.h"
#include "logic/ProgramFolder.h"
#include "logic/SafeSave.h"
#include "logic/Settings.h"
#include "logic/TextCodec.h"
#include "logic/TimerTable.h"
#include "scheduler/TimerTableFile.h"
#include "tests/logic/engine_fakes.h"
#include "tests/support/SaveFaults.h"
#include "tests/support/ScriptedDialogs.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <gtest/gtest.h>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

using namespace qelt;
using namespace qelt::test;

namespace {

QString tablePath()
{
    return InProgramFolder(QStringLiteral("tmrdat.zyv"));
}

void fill(TimerRow &row, const QString &action, const QString &start, const QString &rule)
{
    row.action = action;
    row.startText = start;
    row.dayRule = rule;
}

} // namespace

TEST(TimerTable, FileRoundTripIsByteForByte)
{
    TimerTable table;
    table.setRowCount(8);
    fill(table.row(0), QStringLiteral("wake up.cro"), QStringLiteral("7:05:00"),
         QStringLiteral("Weekdays"));
    fill(table.row(2), QStringLiteral("C 11 On"), QStringLiteral("SR+30"),
         QStringLiteral("Everyday"));
    fill(table.row(7), QStringLiteral("GROUP 2 OFF"), QStringLiteral("23:00:00"),
         QStringLiteral("Never"));
    ASSERT_TRUE(table.save(tablePath()));

    const QByteArray expected =
        "\"wake up.cro*7:05:00*Weekdays\"\r\n"
        "\"**not set\"\r\n"
        "\"C 11 On*SR+30*Everyday\"\r\n"
        "\"**not set\"\r\n\"**not set\"\r\n\"**not set\"\r\n\"**not set\"\r\n"
        "\"GROUP 2 OFF*23:00:00*Never\"\r\n";
    EXPECT_EQ(ReadFile(tablePath()), expected);

    TimerTable back;
    QStringList problems;
    ASSERT_TRUE(back.load(tablePath(), &problems));
    EXPECT_TRUE(problems.isEmpty()) << problems.join('\n').toStdString();
    ASSERT_EQ(back.rowCount(), 8);
    EXPECT_EQ(back.toFileText(), table.toFileText());
    EXPECT_EQ(back.row(1).dayRule, NotSetText());
    ASSERT_TRUE(back.save(tablePath()));
    EXPECT_EQ(ReadFile(tablePath()), expected);
}

TEST(TimerTable, ReadingRules)
{
    static const char kBinary[] = "\"a\x01\x00"
                                  "b*7:00:00*Everyday\"\r\n";
    struct Case {
        const char *name;
        QByteArray text;
        QStringList row0; // action, start, rule
        int problems;
    } cases[] = {
        {"commas when no star",
         "\"a.cro,7:00:00,Everyday\"\r\n",
         {"a.cro", "7:00:00", "Everyday"},
         0},
        {"a star anywhere wins over commas",
         "\"a,b.cro*7:00:00*Everyday\"\r\n\"x\"\r\n",
         {"a,b.cro", "7:00:00", "Everyday"},
         1},
        {"no separator: one field", "\"lonely\"\r\n", {"lonely", "", "not set"}, 1},
        {"last line without line end is not read", "\"a*1:00:00*Never\"", {"", "", "not set"}, 1},
        {"quotes inside fields are lost",
         "\"a\"\"b*7:00:00*Everyday\"\r\n",
         {"ab", "7:00:00", "Everyday"},
         0},
        {"short line fills what it has",
         "\"a.cro*7:00:00\"\r\n",
         {"a.cro", "7:00:00", "not set"},
         1},
        {"extra fields ignored",
         "\"a*7:00:00*Everyday*junk\"\r\n",
         {"a", "7:00:00", "Everyday"},
         0},
        {"unknown rule kept and reported",
         "\"a*7:00:00*Mondays\"\r\n",
         {"a", "7:00:00", "Mondays"},
         1},
        {"binary bytes removed and reported",
         QByteArray(kBinary, sizeof kBinary - 1),
         {"ab", "7:00:00", "Everyday"},
         1},
        {"bare LF line ends", "\"a*7:00:00*Everyday\"\n", {"a", "7:00:00", "Everyday"}, 0},
    };
    for (const Case &c : cases) {
        TimerTable table;
        QStringList problems;
        table.fromFileText(QString::fromLatin1(c.text), &problems);
        EXPECT_EQ(table.rowCount(), 6) << c.name;
        EXPECT_EQ(table.row(0).action, c.row0[0]) << c.name;
        EXPECT_EQ(table.row(0).startText, c.row0[1]) << c.name;
        EXPECT_EQ(table.row(0).dayRule, c.row0[2]) << c.name;
        EXPECT_EQ(problems.size(), c.problems)
            << c.name << ": " << problems.join(" / ").toStdString();
    }
}

TEST(TimerTable, RowsFollowTheFileNotTheStoredCount)
{
    // Nine lines with a stored count of 6: no line is dropped (and so none
    // is lost by the next save).
    QString text;
    for (int i = 0; i < 9; ++i)
        text += QStringLiteral("\"m%1.cro*7:00:0%1*Everyday\"\r\n").arg(i);
    TimerTable table;
    table.fromFileText(text, nullptr, 6);
    ASSERT_EQ(table.rowCount(), 9);
    EXPECT_EQ(table.row(8).action, QStringLiteral("m8.cro"));

    // A larger stored count still gives its rows.
    table.fromFileText(text, nullptr, 12);
    EXPECT_EQ(table.rowCount(), 12);

    // 150 lines: 100 rows, the rest reported.
    QString big;
    for (int i = 0; i < 150; ++i)
        big += QStringLiteral("\"m%1.cro*1:00:00*Never\"\r\n").arg(i);
    QStringList problems;
    table.fromFileText(big, &problems, 6);
    EXPECT_EQ(table.rowCount(), 100);
    EXPECT_EQ(table.row(99).action, QStringLiteral("m99.cro"));
    EXPECT_EQ(problems.size(), 1);

    // Empty or missing file: six empty rows, the file created.
    QFile::remove(tablePath());
    ASSERT_TRUE(table.load(tablePath()));
    EXPECT_EQ(table.rowCount(), 6);
    EXPECT_TRUE(QFile::exists(tablePath()));

    // Adding and removing stay within 6..100.
    EXPECT_FALSE(table.removeLastRow());
    table.setRowCount(99);
    EXPECT_TRUE(table.addRow());
    EXPECT_FALSE(table.addRow());
    EXPECT_EQ(table.rowCount(), 100);
}

TEST(TimerTable, StartTimeConflicts)
{
    struct Case {
        QStringList times; // triggerTime of rows 0..
        int i, j;
    } cases[] = {
        {{"7:30:00", "7:30:01"}, 0, 1},
        {{"7:30:00", "7:30:02"}, -1, -1},
        // The second index stops at the empty row 1: only row 3 finds row 1.
        {{"7:30:01", " ", "7:30:00"}, 2, 0},
        {{"7:30:00", "9:00:00", "7:30:01"}, 0, 2},
        {{" ", "8:00:00", "8:00:00"}, -1, -1},
        {{"8:00:00", "SR+30", "8:00:00"}, 0, 2}, // a text that is no time is skipped
        {{"1:00:00 PM", "13:00:01"}, 0, 1},
    };
    for (const Case &c : cases) {
        TimerTable table;
        for (int k = 0; k < c.times.size(); ++k)
            table.row(k).triggerTime = c.times[k];
        const auto [i, j] = table.findStartConflict();
        EXPECT_EQ(i, c.i) << c.times.join(',').toStdString();
        EXPECT_EQ(j, c.j) << c.times.join(',').toStdString();
    }
    EXPECT_EQ(TimerTable::ConflictMessage(2, 4),
              QStringLiteral("Timer 3 and Timer 5 have a start time conflict.\r\n"
                             "Start times should be at least 2 seconds apart!"));
}

TEST(TimerTable, SaveWritesCountAndReportsConflict)
{
    InstalledDialogs dialogs;
    TimerTable table;
    table.setRowCount(7);
    table.row(0).triggerTime = QStringLiteral("7:30:00");
    table.row(1).triggerTime = QStringLiteral("7:30:01");
    TmrChanged = true;
    ASSERT_TRUE(SaveTimerTable(table, tablePath()));
    EXPECT_FALSE(TmrChanged);
    EXPECT_EQ(TimerCount, QStringLiteral("7"));
    EXPECT_EQ(GetSet("Settings", "TimerCount", "6"), QStringLiteral("7"));
    ASSERT_EQ(dialogs.titledInfos.size(), 1);
    EXPECT_TRUE(dialogs.titledInfos[0].startsWith("Timer Conflict | Timer 1 and Timer 2"));
}

TEST(TimerTable, FailedSaveKeepsTableFileAndChangedFlag)
{
    InstalledDialogs dialogs;
    TimerTable table;
    fill(table.row(0), QStringLiteral("a.cro"), QStringLiteral("7:00:00"),
         QStringLiteral("Everyday"));
    ASSERT_TRUE(SaveTimerTable(table, tablePath()));
    const QByteArray before = ReadFile(tablePath());

    table.row(0).action = QStringLiteral("b.cro");
    for (const auto kind :
         {SaveFault::Open, SaveFault::DiskFull, SaveFault::Flush, SaveFault::Rename}) {
        SCOPED_TRACE(int(kind));
        dialogs.titledInfos.clear();
        ScopedSaveFault fault(kind, QStringLiteral("tmrdat.zyv"), 30);
        TmrChanged = true;
        EXPECT_FALSE(SaveTimerTable(table, tablePath()));
        EXPECT_EQ(fault.hits(), 1);
        EXPECT_TRUE(TmrChanged);
        EXPECT_EQ(table.row(0).action, QStringLiteral("b.cro"));
        ASSERT_EQ(dialogs.titledInfos.size(), 1);
        EXPECT_TRUE(dialogs.titledInfos[0].contains("could not be saved"));
        EXPECT_EQ(ReadFile(tablePath()), before);
        EXPECT_FALSE(table.storeRuleOnly(0, QStringLiteral("Never"), tablePath()));
        EXPECT_EQ(ReadFile(tablePath()), before);
    }
    EXPECT_TRUE(QDir(ProgramFolder())
                    .entryList({QStringLiteral(".tmrdat*")}, QDir::Hidden | QDir::Files)
                    .isEmpty());
}

TEST(TimerTable, FullDiskSaveKeepsTheFile)
{
    TinyTmpfs disk(64);
    if (!disk.mounted())
        GTEST_SKIP() << "cannot mount a tmpfs here";
    InstalledDialogs dialogs;
    const QString path = disk.path() + QStringLiteral("/tmrdat.zyv");
    TimerTable table;
    fill(table.row(0), QStringLiteral("a.cro"), QStringLiteral("7:00:00"),
         QStringLiteral("Everyday"));
    ASSERT_TRUE(SaveTimerTable(table, path));
    const QByteArray before = ReadFile(path);
    table.setRowCount(100);
    for (int i = 0; i < 100; ++i)
        fill(table.row(i), QStringLiteral("macro number %1 with a long name.cro").arg(i),
             QStringLiteral("7:00:%1").arg(i % 60, 2, 10, QLatin1Char('0')),
             QStringLiteral("Everyday"));
    disk.fill(1024);
    TmrChanged = true;
    EXPECT_FALSE(SaveTimerTable(table, path));
    EXPECT_TRUE(TmrChanged);
    EXPECT_EQ(ReadFile(path), before);
}

// A timer save killed at any moment leaves the old or the new file whole;
// its temporary file is gone at the next start.
TEST(TimerTable, KilledSaveLeavesAWholeFileAndNoTemporaryForGood)
{
    TimerTable small, large;
    fill(small.row(0), QStringLiteral("a.cro"), QStringLiteral("7:00:00"),
         QStringLiteral("Everyday"));
    large.setRowCount(TimerTable::kMaxRows);
    for (int i = 0; i < TimerTable::kMaxRows; ++i)
        fill(large.row(i), QString(200, QChar('m')) + QStringLiteral(".cro"),
             QStringLiteral("8:00:00"), QStringLiteral("Weekdays"));
    ASSERT_TRUE(small.save(tablePath()));
    const QByteArray a = ReadFile(tablePath());
    ASSERT_TRUE(large.save(tablePath()));
    const QByteArray b = ReadFile(tablePath());
    // Every file beside the timer file that carries its name.
    const auto temporaries = [] {
        QStringList names = QDir(ProgramFolder())
                                .entryList({QStringLiteral("*tmrdat.zyv*")},
                                           QDir::Hidden | QDir::Files | QDir::System);
        names.removeAll(QStringLiteral("tmrdat.zyv"));
        return names;
    };
    int leftBehind = 0;
    for (int round = 0; round < 30; ++round) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (int i = 0;; ++i)
                (i % 2 ? small : large).save(tablePath());
        }
        ::usleep(QRandomGenerator::global()->bounded(100, 10000));
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
        const QByteArray now = ReadFile(tablePath());
        ASSERT_TRUE(now == a || now == b) << "round " << round << " size " << now.size();
        leftBehind += int(temporaries().size());
        RemoveStaleSaveFiles(ProgramFolder()); // what the program does as it starts
        EXPECT_TRUE(temporaries().isEmpty()) << temporaries().join(' ').toStdString();
    }
    RecordProperty("temporary files left by killed saves", leftBehind);
}

// Text that Windows-1252 holds is written in it; other text in UTF-8, and
// both read back as typed.
TEST(TimerTable, NamesKeepEveryCharacter)
{
    for (const QString &name :
         {QString::fromUtf8("K\xC3\xBC"
                            "che.cro"),
          QString::fromUtf8("\xD0\x9A\xD1\x83\xD1\x85\xD0\xBD\xD1\x8F.cro")}) {
        TimerTable table;
        fill(table.row(0), name, QStringLiteral("7:00:00"), QStringLiteral("Everyday"));
        ASSERT_TRUE(table.save(tablePath()));
        const QByteArray bytes = ReadFile(tablePath());
        EXPECT_TRUE(bytes.startsWith("\"" + EncodeText(name) + "*7:00:00*Everyday\"\r\n"));
        TimerTable back;
        ASSERT_TRUE(back.load(tablePath()));
        EXPECT_EQ(back.row(0).action, name);
    }
    EXPECT_TRUE(ReadFile(tablePath()).contains("\xD0\x9A"));
}

TEST(TimerTable, StoreRuleOnlyLeavesOtherPendingEditsUnsaved)
{
    TimerTable table;
    fill(table.row(0), QStringLiteral("a.cro"), QStringLiteral("7:00:00"),
         QStringLiteral("One Time"));
    fill(table.row(1), QStringLiteral("b.cro"), QStringLiteral("8:00:00"),
         QStringLiteral("Everyday"));
    ASSERT_TRUE(table.save(tablePath()));
    table.markSaved();
    table.row(1).action = QStringLiteral("edited.cro"); // pending, not to be written
    ASSERT_TRUE(table.storeRuleOnly(0, QStringLiteral("Never"), tablePath()));
    const QByteArray file = ReadFile(tablePath());
    EXPECT_TRUE(file.startsWith("\"a.cro*7:00:00*Never\"\r\n\"b.cro*8:00:00*Everyday\"\r\n"));
}

namespace {

class FakeLogWindow : public TimerLogService {
public:
    FakeLogWindow() { SetTimerLog(this); }
    ~FakeLogWindow() override { SetTimerLog(nullptr); }
    QWidget *widget() override { return nullptr; }
    QString logText() const override { return text; }
    void setLogText(const QString &t) override { text = t; }
    void appendLog(const QString &entry) override { text += entry; }
    int statusRowCount() const override { return 6; }
    QString statusText(int) const override { return {}; }
    void setStatus(int, const QString &, const QColor &) override {}
    void showLog() override {}
    void unload() override {}
    QString text;
};

} // namespace

TEST(TimerTable, LoadWritesEveryProblemToTheTimerLog)
{
    FakeLogWindow log;
    const QString path = tablePath();
    WriteFile(path,
              "\"a.cro*7:00:00*Everyday\"\r\n\"short\"\r\n\"b.cro*8:00:00*Tuesdays\"\r\n\"tail");
    TimerCount = QStringLiteral("8");
    TimerTable table;
    ASSERT_TRUE(LoadTimerTable(table, path));
    EXPECT_EQ(table.rowCount(), 8);
    EXPECT_EQ(table.row(2).dayRule, QStringLiteral("Tuesdays"));
    EXPECT_TRUE(log.text.contains("Timer 2: incomplete line - short\r\n"))
        << log.text.toStdString();
    EXPECT_TRUE(log.text.contains("Timer 3: unknown day rule - Tuesdays\r\n"));
    EXPECT_TRUE(log.text.contains("Timer file: last line without line end not read\r\n"));
}

TEST(TimerTable, ByteOrderMarkInFrontOfTheFirstRowIsNotPartOfIt)
{
    const QByteArray rows = "\"wake up.cro*7:05:00*Weekdays\"\r\n\"**not set\"\r\n";
    ASSERT_TRUE(SaveFileBytes(tablePath(), "\xEF\xBB\xBF" + rows));
    TimerTable table;
    QStringList problems;
    ASSERT_TRUE(table.load(tablePath(), &problems));
    EXPECT_EQ(table.row(0).action, QStringLiteral("wake up.cro"));
    EXPECT_EQ(table.row(0).startText, QStringLiteral("7:05:00"));
}
