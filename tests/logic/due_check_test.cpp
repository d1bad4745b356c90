#include "logic/DayRule.h"
#include "logic/DueCheck.h"
#include "logic/Globals.h"
#include "logic/ProgramFolder.h"
#include "logic/SchedulerClock.h"
#include "logic/SchedulerEngine.h"
#include "tests/logic/engine_fakes.h"
#include "tests/support/GtestPrinters.h"
#include "tests/support/SaveFaults.h"

#include <QScopeGuard>
#include <QTimeZone>

#include <gtest/gtest.h>

#include <ctime>

using namespace qelt;
using namespace qelt::test;

namespace {

const QLocale k24(QLocale::English, QLocale::UnitedKingdom);
const QLocale k12(QLocale::English, QLocale::UnitedStates);

// 2026-12-07 is a Monday.
QDateTime at(int day, const char *time)
{
    return QDateTime(QDate(2026, 12, day),
                     QTime::fromString(QString::fromLatin1(time), "H:mm:ss.zzz"));
}

void setRow(TimerTable &t, int i, const QString &action, const QString &time, const QString &rule)
{
    t.row(i).action = action;
    t.row(i).startText = time;
    t.row(i).triggerTime = time;
    t.row(i).dayRule = rule;
}

// Runs the engine on the fake clocks until ms have passed.
void runFor(SchedulerEngine &engine, FakeWaitClock &clock, qint64 ms)
{
    const qint64 end = clock.now + ms * 1'000'000;
    while (clock.now < end) {
        engine.pump();
        const qint64 next = engine.nextDueNs();
        clock.now = (next < 0 || next > end) ? end : qMax(next, clock.now + 1);
    }
}

// The computer's time zone for one test, as TZ sets it; the old one is
// restored after.
class ScopedZone {
public:
    explicit ScopedZone(const char *id) : m_old(qgetenv("TZ"))
    {
        EXPECT_TRUE(QTimeZone(id).isValid()) << id << ": the tzdata package is needed";
        qputenv("TZ", id);
        tzset();
    }
    ~ScopedZone()
    {
        if (m_old.isNull())
            qunsetenv("TZ");
        else
            qputenv("TZ", m_old);
        tzset();
    }
    ScopedZone(const ScopedZone &) = delete;
    ScopedZone &operator=(const ScopedZone &) = delete;

private:
    QByteArray m_old;
};

} // namespace

TEST(DayRule, WhichDaysEachRuleRuns)
{
    // Monday = 1 .. Sunday = 7; "x" = runs that day.
    const struct {
        const char *rule;
        const char *days; // Mon..Sun
    } cases[] = {
        {"Everyday", "xxxxxxx"},  {"Weekdays", "xxxxx.."},  {"Weekends", ".....xx"},
        {"Fri & Sat", "....xx."}, {"Sun - Thu", "xxxx..x"}, {"One Time", "xxxxxxx"},
        {"Never", "......."},     {"not set", "......."},   {"", "......."},
        {"Mondays", "xxxxxxx"}, // an unknown caption lets the row run
    };
    for (const auto &c : cases)
        for (int day = 1; day <= 7; ++day)
            EXPECT_EQ(DayRuleLetsRun(c.rule, day), c.days[day - 1] == 'x')
                << c.rule << " day " << day;

    EXPECT_EQ(DayRuleShade("Weekdays", 6), RuleShade::Idle);
    EXPECT_EQ(DayRuleShade("Weekdays", 1), RuleShade::Active);
    EXPECT_EQ(DayRuleShade("Fri & Sat", 5), RuleShade::Active);
    EXPECT_EQ(DayRuleShade("Sun - Thu", 5), RuleShade::Idle);
    EXPECT_EQ(DayRuleShade("Everyday", 3), RuleShade::Active);
    EXPECT_EQ(DayRuleShade("One Time", 3), RuleShade::Keep);
    EXPECT_EQ(DayRuleShade("Never", 3), RuleShade::Keep);
}

TEST(ClockText, FollowsTheLocaleClock)
{
    EXPECT_FALSE(LocaleUsesTwelveHourClock(k24));
    EXPECT_TRUE(LocaleUsesTwelveHourClock(k12));
    EXPECT_EQ(ClockText(QTime(7, 5, 9), k24), QStringLiteral("7:05:09"));
    EXPECT_EQ(ClockText(QTime(19, 5, 9), k24), QStringLiteral("19:05:09"));
    EXPECT_EQ(ClockText(QTime(19, 5, 0), k12), QStringLiteral("7:05:00 PM"));
    EXPECT_EQ(ClockText(QTime(0, 0, 1), k12), QStringLiteral("12:00:01 AM"));
    EXPECT_EQ(ClockText(QTime(12, 30, 0), k12), QStringLiteral("12:30:00 PM"));
    EXPECT_EQ(ParseClockText("7:05:00 PM", k12), QTime(19, 5, 0));
    EXPECT_EQ(ParseClockText("12:00:01 AM", k12), QTime(0, 0, 1));
    EXPECT_EQ(ParseClockText("07:05:00", k24), QTime(7, 5, 0));
    for (const char *bad :
         {"", "7:05", "25:00:00", "7:61:00", "13:00:00 PM", "SR+30", "7:05:00 XM"})
        EXPECT_FALSE(ParseClockText(bad, k12).isValid()) << bad;
}

// Whatever the locale writes for AM and PM ("pm", "p.m."), the clock text
// uses the letters a start time is typed with, so typed and spun times, the
// clock and older stored texts all meet.
TEST(ClockText, TypedTimesMatchInEveryLocale)
{
    const struct {
        QLocale locale;
        const char *typed; // as the row editor stores it (upper case)
        const char *clock; // the clock text at 21:47:23
    } cases[] = {
        {QLocale(QLocale::English, QLocale::Australia), "9:47:23 PM", "9:47:23 PM"},
        {QLocale(QLocale::English, QLocale::Canada), "9:47:23 PM", "9:47:23 PM"},
        {QLocale(QLocale::English, QLocale::UnitedStates), "9:47:23 PM", "9:47:23 PM"},
        {QLocale(QLocale::German, QLocale::Germany), "21:47:23", "21:47:23"},
        {QLocale(QLocale::English, QLocale::UnitedKingdom), "21:47:23", "21:47:23"},
    };
    for (const auto &c : cases) {
        const QString name = c.locale.name();
        EXPECT_EQ(ClockText(QTime(21, 47, 23), c.locale), QString::fromLatin1(c.clock))
            << name.toStdString();
        TimerTable table;
        setRow(table, 0, "a", QString::fromLatin1(c.typed), "Everyday");
        // Texts stored with the locale's own designator still fall due.
        const QString own = QStringLiteral("9:47:23 ") + c.locale.pmText();
        setRow(table, 1, "b", LocaleUsesTwelveHourClock(c.locale) ? own : "21:47:23", "Everyday");
        DueCheck due(table);
        due.locale = c.locale;
        EXPECT_EQ(due.collect(at(7, "21:47:23.200")), (QList<int>{0, 1})) << name.toStdString();
        EXPECT_EQ(ParseClockText(QString::fromLatin1(c.typed), c.locale), QTime(21, 47, 23))
            << name.toStdString();
    }
}

// An hour with a leading zero, typed or written into the timer file by
// hand, is the clock's hour without it; the file keeps the text as written.
TEST(DueCheck, LeadingZeroHourFallsDueAndStaysInTheFile)
{
    const QLocale deDE(QLocale::German, QLocale::Germany);
    const struct {
        QLocale locale;
        const char *file; // the timer file as written
        const char *at;   // the clock second
        QList<int> due;
    } cases[] = {
        {k24,
         "\"a.cro*07:30:00*Everyday\"\r\n\"b.cro*7:30:00*Everyday\"\r\n",
         "7:30:00.200",
         {0, 1}},
        {deDE,
         "\"a.cro*07:30:00*Everyday\"\r\n\"b.cro*7:30:00*Everyday\"\r\n",
         "7:30:00.200",
         {0, 1}},
        {k24,
         "\"a.cro*00:00:05*Everyday\"\r\n\"b.cro*0:00:05*Everyday\"\r\n",
         "0:00:05.000",
         {0, 1}},
        {deDE,
         "\"a.cro*09:59:59*Everyday\"\r\n\"b.cro*19:59:59*Everyday\"\r\n",
         "9:59:59.900",
         {0}},
        {k24,
         "\"a.cro*17:30:00*Everyday\"\r\n\"b.cro*07:30:00*Everyday\"\r\n",
         "17:30:00.000",
         {0}},
        {k12,
         "\"a.cro*07:30:00 AM*Everyday\"\r\n\"b.cro*07:30:00 pm*Everyday\"\r\n",
         "7:30:00.000",
         {0}},
        {k12,
         "\"a.cro*07:30:00 AM*Everyday\"\r\n\"b.cro*07:30:00 pm*Everyday\"\r\n",
         "19:30:00.000",
         {1}},
        {k12,
         "\"a.cro*01:05:09 PM*Everyday\"\r\n\"b.cro*1:05:09 PM*Everyday\"\r\n",
         "13:05:09.500",
         {0, 1}},
    };
    for (const auto &c : cases) {
        const QString file = QString::fromLatin1(c.file);
        const std::string name = c.locale.name().toStdString() + " " + c.at;
        TimerTable table;
        table.fromFileText(file);
        for (int i = 0; i < table.rowCount(); ++i)
            table.row(i).triggerTime = table.row(i).startText;
        DueCheck due(table);
        due.locale = c.locale;
        EXPECT_EQ(due.collect(at(7, c.at)), c.due) << name;
        EXPECT_TRUE(table.toFileText().startsWith(file)) << name;
    }
}

TEST(DueCheck, ExactTextSecondsAndDays)
{
    TimerTable table;
    setRow(table, 0, "a", "7:05:00", "Everyday");
    setRow(table, 1, "b", "7:05:00", "Never");
    setRow(table, 2, "c", "7:05:00", "Weekends");
    setRow(table, 3, "d", "7:05:00", "not set");
    DueCheck due(table);
    due.locale = k24;

    EXPECT_TRUE(due.collect(at(7, "7:04:59.600")).isEmpty());
    EXPECT_EQ(due.collect(at(7, "7:05:00.100")), QList<int>{0});
    EXPECT_TRUE(due.collect(at(7, "7:05:00.600")).isEmpty()); // same second again
    EXPECT_TRUE(due.collect(at(7, "7:05:01.100")).isEmpty());
    // Saturday: the weekend row as well.
    due.reset();
    EXPECT_EQ(due.collect(at(12, "7:05:00.000")), (QList<int>{0, 2}));

    // 12-hour clock: the PM text matches, "19:05:00" never does.
    TimerTable pm;
    setRow(pm, 0, "a", "7:05:00 PM", "Everyday");
    setRow(pm, 1, "b", "19:05:00", "Everyday");
    DueCheck due12(pm);
    due12.locale = k12;
    EXPECT_EQ(due12.collect(at(7, "19:05:00.200")), QList<int>{0});
}

TEST(DueCheck, SkippedSecondsAreCaughtUpWithinBound)
{
    TimerTable table;
    setRow(table, 0, "a", "7:05:01", "Everyday");
    setRow(table, 1, "b", "7:05:00", "Everyday");
    setRow(table, 2, "c", "7:05:02", "Everyday");
    DueCheck due(table);
    due.locale = k24;

    due.collect(at(7, "7:04:59.900"));
    // A handler ran for 2.5 s: the seconds in between are still looked at,
    // in order of their second.
    EXPECT_EQ(due.collect(at(7, "7:05:02.400")), (QList<int>{1, 0, 2}));

    // A suspend of several minutes does not flood starts; nor does a check
    // that was switched off meanwhile.
    TimerTable t2;
    setRow(t2, 0, "a", "7:05:00", "Everyday");
    DueCheck d2(t2);
    d2.locale = k24;
    d2.collect(at(7, "7:00:00.000"));
    EXPECT_TRUE(d2.collect(at(7, "7:05:30.000")).isEmpty());
    d2.collect(at(7, "7:04:58.000"));
    EXPECT_TRUE(d2.collect(at(7, "7:05:01.000"), false).isEmpty());
    EXPECT_EQ(d2.collect(at(7, "7:05:00.000")), QList<int>{0}); // clock back, not fired yet

    // The clock going back over a second that already fired does not fire
    // it again; the next day it fires.
    d2.collect(at(8, "7:05:00.000"));
    EXPECT_TRUE(d2.collect(at(8, "7:04:59.000")).isEmpty());
    EXPECT_TRUE(d2.collect(at(8, "7:05:00.000")).isEmpty());
    d2.reset();
    EXPECT_EQ(d2.collect(at(9, "7:05:00.000")), QList<int>{0});
}

class EngineDue : public ::testing::Test, protected EngineRig {
protected:
    EngineDue() : EngineRig(at(7, "7:04:59.000")) {}
    void SetUp() override
    {
        QLocale::setDefault(k24);
        engine.due.locale = k24;
        engine.queue.onSent = [this](const QString &f) { sent << f; };
    }
    void TearDown() override { QLocale::setDefault(QLocale::system()); }

    QStringList sent;
};

TEST_F(EngineDue, RowsDueInTheSameSecondStartOneAfterAnother)
{
    setRow(table, 0, "A 1 On", "7:05:00", "Everyday");
    setRow(table, 1, "A 2 On", "7:05:00", "Everyday");
    setRow(table, 2, "A 3 On", "7:05:01", "Everyday");
    runFor(engine, clock, 6000);
    // Three single commands, each sent at once: three whole frames.
    EXPECT_EQ(link.bits().size(), 3 * 40);
    EXPECT_FALSE(link.bits().contains('?'));
    EXPECT_EQ(host.log.count("Success"), 3);
    const int first = host.log.indexOf("Timer 1:"), second = host.log.indexOf("Timer 2:"),
              third = host.log.indexOf("Timer 3:");
    EXPECT_TRUE(first >= 0 && first < second && second < third) << host.log.toStdString();

    // Nothing starts twice, however long the clock runs on in the same day.
    runFor(engine, clock, 5000);
    EXPECT_EQ(host.log.count("Success"), 3);
}

TEST_F(EngineDue, SkippedSecondsStillStart)
{
    setRow(table, 0, "A 1 On", "7:05:00", "Everyday");
    setRow(table, 1, "A 2 On", "7:05:01", "Everyday");
    runFor(engine, clock, 600); // 7:04:59.6
    clock.advanceMs(2000);      // a handler ran 2 s without letting events run
    runFor(engine, clock, 4000);
    EXPECT_EQ(host.log.count("Success"), 2);
    EXPECT_EQ(link.bits().size(), 2 * 40);

    // A handler that held the thread for 6 s: within the catch-up bound, so
    // both rows due meanwhile still start.
    setRow(table, 2, "A 3 On", "7:05:07", "Everyday");
    setRow(table, 3, "A 4 On", "7:05:09", "Everyday");
    clock.advanceMs(6000);
    runFor(engine, clock, 3000);
    EXPECT_EQ(host.log.count("Success"), 4);
    EXPECT_EQ(link.bits().size(), 4 * 40);
}

TEST_F(EngineDue, EveryWholeSecondOfATenSecondGapIsCaughtUp)
{
    setRow(table, 0, "A 1 On", "7:05:01", "Everyday");
    setRow(table, 1, "A 2 On", "7:05:10", "Everyday");
    runFor(engine, clock, 1100); // the last due check at 7:05:00.0
    // A handler held the thread 10.6 s: ten whole clock seconds passed,
    // 7:05:01 to 7:05:10, and each of them is looked at.
    clock.advanceMs(10500);
    runFor(engine, clock, 3000);
    EXPECT_TRUE(host.log.contains("Timer 1:")) << host.log.toStdString();
    EXPECT_TRUE(host.log.contains("Timer 2:")) << host.log.toStdString();

    // Eleven whole seconds are beyond the bound, however short the gap
    // between the checks themselves.
    TimerTable t2;
    setRow(t2, 0, "a", "7:05:05", "Everyday");
    DueCheck d2(t2);
    d2.locale = k24;
    d2.collect(at(7, "7:05:00.900"));
    EXPECT_TRUE(d2.collect(at(7, "7:05:11.000")).isEmpty());
    d2.collect(at(8, "7:05:00.900"));
    EXPECT_EQ(d2.collect(at(8, "7:05:10.999")), QList<int>{0});
}

TEST_F(EngineDue, SwitchingOffDropsRowsWaitingToStart)
{
    // Two rows due in the same second: the second waits for the first's start.
    setRow(table, 0, "A 1 On", "7:05:00", "Everyday");
    setRow(table, 1, "A 2 On", "7:05:00", "Everyday");
    runFor(engine, clock, 1100);
    EXPECT_TRUE(host.log.contains("Timer 1:"));
    EXPECT_FALSE(host.log.contains("Timer 2:"));
    engine.dueCheckOn = false;
    runFor(engine, clock, 3 * 3600 * 1000); // hours later
    engine.dueCheckOn = true;
    runFor(engine, clock, 5000);
    EXPECT_FALSE(host.log.contains("Timer 2:")) << host.log.toStdString();
    EXPECT_EQ(link.bits().size(), 40);
}

TEST_F(EngineDue, MasterSwitchOffStartsNothingNotEvenLater)
{
    setRow(table, 0, "A 1 On", "7:05:00", "Everyday");
    setRow(table, 1, "A 2 On", "7:05:05", "Everyday");
    runFor(engine, clock, 600);
    engine.dueCheckOn = false;
    runFor(engine, clock, 2000); // past 7:05:00 while off
    EXPECT_TRUE(host.log.isEmpty());
    // Switched on again: the row whose time passed while off does not start.
    engine.dueCheckOn = true;
    runFor(engine, clock, 6000);
    EXPECT_FALSE(host.log.contains("Timer 1:"));
    EXPECT_TRUE(host.log.contains("Timer 2:"));
    EXPECT_EQ(link.bits().size(), 40);
}

TEST_F(EngineDue, OneTimeBecomesNeverAndIsStoredAtOnce)
{
    const QString path = InProgramFolder("tmrdat.zyv");
    engine.timerFilePath = path;
    setRow(table, 0, "A 1 On", "7:05:00", "One Time");
    setRow(table, 1, "A 2 On", "7:06:00", "One Time");
    ASSERT_TRUE(table.save(path));
    table.markSaved();

    // No other change pending: the table is saved whole.
    int ruleChanges = 0;
    engine.onRuleChanged = [&](int) { ++ruleChanges; };
    runFor(engine, clock, 3000);
    EXPECT_EQ(table.row(0).dayRule, QStringLiteral("Never"));
    EXPECT_FALSE(tableChanged);
    EXPECT_TRUE(
        ReadFile(path).startsWith("\"A 1 On*7:05:00*Never\"\r\n\"A 2 On*7:06:00*One Time\""));

    // Another edit pending: only the rule is stored, the edit stays pending.
    table.row(3).action = "pending edit";
    tableChanged = true;
    runFor(engine, clock, 60000);
    EXPECT_EQ(table.row(1).dayRule, QStringLiteral("Never"));
    EXPECT_TRUE(tableChanged);
    const QByteArray file = ReadFile(path);
    EXPECT_TRUE(file.startsWith("\"A 1 On*7:05:00*Never\"\r\n\"A 2 On*7:06:00*Never\""));
    EXPECT_FALSE(file.contains("pending edit"));
    EXPECT_EQ(ruleChanges, 2);

    // Once "Never", it does not start again after a reload either.
    TimerTable reloaded;
    ASSERT_TRUE(reloaded.load(path));
    EXPECT_FALSE(DayRuleLetsRun(reloaded.row(1).dayRule, 1));
}

// A one-time timer whose "Never" cannot be stored keeps the table marked
// changed, so the change is offered for saving again and not lost.
TEST_F(EngineDue, OneTimeRuleThatCannotBeStoredStaysUnsaved)
{
    const QString path = InProgramFolder("tmrdat.zyv");
    engine.timerFilePath = path;
    setRow(table, 0, "A 1 On", "7:05:00", "One Time");
    ASSERT_TRUE(table.save(path));
    table.markSaved();
    const QByteArray before = ReadFile(path);
    tableChanged = false;
    {
        ScopedSaveFault fault(SaveFault::DiskFull, "tmrdat.zyv", 10);
        runFor(engine, clock, 3000);
        EXPECT_EQ(fault.hits(), 1);
    }
    EXPECT_EQ(table.row(0).dayRule, QStringLiteral("Never"));
    EXPECT_TRUE(tableChanged);
    EXPECT_EQ(ReadFile(path), before);
}

// Days on which the clocks change, all Sundays, checked every half second
// from midnight to midnight. Going forward, the hour 2:00:00 to 2:59:59
// never shows on the clock: rows due in it whose day rule lets them run
// start once, right after the change and in table order. Going back, an hour
// shows twice and its rows start once, the first time.
TEST(DueCheck, ADayWithAClockChangeStartsEachRowOnce)
{
    const struct {
        const char *zone;
        QDate day;
        QLocale locale;
        const char *designator; // appended to every trigger time
        QStringList starts;     // row and the clock's time at its start
    } cases[] = {
        {"Europe/Berlin",
         QDate(2027, 3, 28),
         k24,
         "",
         {"8 1:30:00", "3 1:59:59", "0 3:00:00", "2 3:00:00", "5 3:00:00", "4 3:00:00",
          "7 3:30:00"}},
        {"America/New_York",
         QDate(2027, 3, 14),
         k12,
         " AM",
         {"8 1:30:00", "3 1:59:59", "0 3:00:00", "2 3:00:00", "5 3:00:00", "4 3:00:00",
          "7 3:30:00"}},
        // Berlin shows 2:00:00 to 2:59:59 twice, New York 1:00:00 to 1:59:59.
        {"Europe/Berlin",
         QDate(2027, 10, 31),
         k24,
         "",
         {"8 1:30:00", "3 1:59:59", "2 2:00:00", "5 2:15:00", "0 2:30:00", "4 3:00:00",
          "7 3:30:00"}},
        {"America/New_York",
         QDate(2027, 11, 7),
         k12,
         " AM",
         {"8 1:30:00", "3 1:59:59", "2 2:00:00", "5 2:15:00", "0 2:30:00", "4 3:00:00",
          "7 3:30:00"}},
    };
    const struct {
        const char *time;
        const char *rule;
    } rows[] = {
        {"2:30:00", "Everyday"}, {"2:59:59", "Weekdays"}, {"2:00:00", "Weekends"},
        {"1:59:59", "Everyday"}, {"3:00:00", "Everyday"}, {"02:15:00", "Sun - Thu"},
        {"2:45:00", "Never"},    {"3:30:00", "Everyday"}, {"1:30:00", "Everyday"},
    };
    for (const auto &c : cases) {
        ScopedZone zone(c.zone);
        const std::string name = std::string(c.zone) + " " + c.day.toString().toStdString();
        TimerTable table;
        table.setRowCount(int(std::size(rows)));
        for (int i = 0; i < int(std::size(rows)); ++i)
            setRow(table, i, "a", QString::fromLatin1(rows[i].time) + c.designator,
                   QString::fromLatin1(rows[i].rule));
        DueCheck due(table);
        due.locale = c.locale;
        QStringList starts;
        const QDateTime end(c.day.addDays(1), QTime(0, 0));
        for (QDateTime t(c.day, QTime(0, 0, 0, 250)); t < end; t = t.addMSecs(500))
            for (int row : due.collect(t))
                starts << QStringLiteral("%1 %2").arg(row).arg(t.time().toString("H:mm:ss"));
        EXPECT_EQ(starts, c.starts) << name;
    }
}

// Only a check that ran up to the change makes up the skipped hour: after a
// sleep across it, or with the check switched off, nothing is made up, as on
// any other day; a short gap over the change is caught up like any other.
TEST(DueCheck, SkippedHourIsMadeUpOnlyByACheckRunningThroughTheChange)
{
    ScopedZone zone("Europe/Berlin");
    const QDate day(2027, 3, 28);
    const auto local = [&day](int h, int m, int s) { return QDateTime(day, QTime(h, m, s)); };
    TimerTable table;
    setRow(table, 0, "a", "3:00:02", "Everyday");
    setRow(table, 1, "b", "2:30:00", "Everyday");
    setRow(table, 2, "c", "1:59:58", "Everyday");

    DueCheck slept(table);
    slept.locale = k24;
    slept.collect(local(1, 59, 40));
    EXPECT_TRUE(slept.collect(local(3, 0, 5)).isEmpty()); // 25 s later

    DueCheck off(table);
    off.locale = k24;
    off.collect(local(1, 59, 59));
    EXPECT_TRUE(off.collect(local(3, 0, 0), false).isEmpty());

    // Eight seconds after 1:59:55: the rows of 1:59:58, of the skipped hour
    // and of 3:00:02 in the order of their seconds.
    DueCheck gap(table);
    gap.locale = k24;
    gap.collect(local(1, 59, 55));
    EXPECT_EQ(gap.collect(local(3, 0, 3)), (QList<int>{2, 1, 0}));
}

// The rows of the skipped hour are started one after another once the clock
// has changed; a one-time row among them becomes "Never".
TEST(DueCheck, RowsOfTheSkippedHourAreSent)
{
    ScopedZone zone("America/New_York");
    QLocale::setDefault(k24);
    auto restoreLocale = qScopeGuard([] { QLocale::setDefault(QLocale::system()); });
    EngineRig rig(QDateTime(QDate(2027, 3, 14), QTime(1, 59, 58)));
    rig.engine.due.locale = k24;
    setRow(rig.table, 0, "A 1 On", "2:30:00", "Everyday");
    setRow(rig.table, 1, "A 2 On", "2:05:00", "One Time");
    setRow(rig.table, 2, "A 3 On", "3:00:00", "Everyday");

    runFor(rig.engine, rig.clock, 10000);
    EXPECT_EQ(rig.link.bits().size(), 3 * 40);
    EXPECT_EQ(rig.host.log.count("Success"), 3);
    const int first = rig.host.log.indexOf("Timer 1:"), second = rig.host.log.indexOf("Timer 2:"),
              third = rig.host.log.indexOf("Timer 3:");
    EXPECT_TRUE(first >= 0 && first < second && second < third) << rig.host.log.toStdString();
    EXPECT_EQ(rig.table.row(1).dayRule, QStringLiteral("Never"));
}
