#include "logic/Globals.h"
#include "logic/ProgramFolder.h"
#include "logic/SchedulerEngine.h"
#include "logic/Transmitter.h"
#include "logic/X10Codes.h"
#include "tests/logic/engine_fakes.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace qelt;
using namespace qelt::test;

namespace {

class Runner : public ::testing::Test, protected EngineRig {
protected:
    Runner() : EngineRig(QDateTime(QDate(2026, 12, 7), QTime(7, 0, 0))) {}
    void SetUp() override { engine.runner.StartHold = 0.8; }

    // Starts row 0 with the given action, as the due check would.
    void start(const QString &action, const QString &path = {})
    {
        TimerRow &row = table.row(0);
        row.action = action;
        row.macroPath = path.isEmpty() ? TimerTable::ActionPath(action) : path;
        engine.runner.CurTimer = 0;
        engine.runner.TimerStarting = true;
        engine.runner.StartTimer();
    }
};

} // namespace

TEST_F(Runner, SingleCommandsAndGroups)
{
    const struct {
        const char *action;
        const char *frame; // house, unit, function for CmdToCode; "" = nothing sent
        const char *group; // strtGroup call expected; "" = none
        bool success;
    } cases[] = {
        {"A 3 On", "A 3 ON", "", true},
        {"c 11 off", "C 11 OFF", "", true},
        {"C ALL ALF", "C ALL ALF", "", true},
        {"A 3", "", "", false},
        {"A  3 On", "", "", false}, // two blanks: four words
        {"Z 3 On", "", "", false},
        {"A 17 On", "", "", false},
        {"GROUP 2 on", "", "1 ON", true},
        {"group 8 OFF", "", "7 OFF", true},
        {"GROUP 9 ON", "", "", false},
        {"GROUP x ON", "", "", false},
        {"", "", "", false},
    };
    for (const auto &c : cases) {
        host = FakeHost();
        link.link.clear();
        const qint64 begun = clock.now;
        start(c.action, " ");
        // The start holds 0.8 s from its beginning, without waiting inside the call.
        EXPECT_TRUE(engine.runner.TimerStarting) << c.action;
        clock.now = begun + 799'000'000;
        engine.runner.endHoldIfDue();
        EXPECT_TRUE(engine.runner.TimerStarting) << c.action;
        clock.advanceMs(1);
        engine.runner.endHoldIfDue();
        EXPECT_FALSE(engine.runner.TimerStarting) << c.action;
        QString expectedBits;
        if (*c.frame) {
            const QStringList w = QString(c.frame).split(' ');
            expectedBits = RfFrame(CmdToCode(w[0], w[1], w[2]));
            ASSERT_FALSE(expectedBits.isEmpty()) << c.action;
        }
        EXPECT_EQ(link.bits(), expectedBits) << c.action;
        EXPECT_EQ(host.groups.join(','), QString(c.group)) << c.action;
        if (c.success) {
            EXPECT_TRUE(
                host.log.endsWith(QStringLiteral("\tTimer 1:  (%1) :  Success\r\n").arg(c.action)))
                << host.log.toStdString();
            EXPECT_EQ(host.colour[0], 0xFF0000u) << c.action;
            EXPECT_TRUE(host.status[0].endsWith("\tSuccess")) << c.action;
        } else {
            EXPECT_TRUE(host.log.endsWith(QStringLiteral("Timer 1: Error - %1\r\n").arg(c.action)))
                << host.log.toStdString();
            EXPECT_EQ(host.colour[0], 0xFFE0C0u) << c.action;
            EXPECT_TRUE(host.status[0].endsWith("\tError")) << c.action;
        }
        EXPECT_FALSE(host.indicator) << c.action;
    }
}

TEST_F(Runner, ProgramsStartWithTheirArgumentsAndFailuresAreErrors)
{
    const QString program = InProgramFolder("lights on.sh");
    WriteFile(program, "#!/bin/sh\n");
    QFile::setPermissions(program, QFile::permissions(program) | QFile::ExeOwner);
    // A file that is not a program does not turn "A 3 On" into a program.
    WriteFile(InProgramFolder("A"), "not a program");
    const QString action = program + " --all";

    start(action);
    EXPECT_EQ(host.programs, QStringList{action});
    EXPECT_TRUE(host.log.contains(":  Success"));

    // Named relative to the program folder, with an argument: started from there.
    const QString tool = InProgramFolder("dim.sh");
    WriteFile(tool, "#!/bin/sh\n");
    QFile::setPermissions(tool, QFile::permissions(tool) | QFile::ExeOwner);
    host = FakeHost();
    start("dim.sh 50");
    EXPECT_EQ(host.programs, QStringList{tool + " 50"});
    EXPECT_TRUE(host.log.contains(":  (dim.sh 50) :  Success"));

    // A program that cannot be started is an error, not a success.
    host = FakeHost();
    host.runResult = false;
    start(action);
    EXPECT_EQ(host.programs.size(), 1);
    EXPECT_TRUE(host.log.contains("Timer 1: Error - " + action));
    EXPECT_FALSE(host.log.contains("Success"));

    host = FakeHost();
    start("A 3 On", " ");
    EXPECT_TRUE(host.programs.isEmpty());
    EXPECT_EQ(link.bits().size(), 40);

    // A missing program is not started at all.
    link.link.clear();
    host = FakeHost();
    start(InProgramFolder("gone.exe") + " x");
    EXPECT_TRUE(host.programs.isEmpty());
    EXPECT_TRUE(host.log.contains("Error"));
    EXPECT_TRUE(link.bits().isEmpty());
}

TEST_F(Runner, MacrosGoToSlotsOrReportAMissingFile)
{
    WriteFile(InProgramFolder("wake.cro"), "\"01100000000000000001\"\r\n");

    // Named without its extension: the ".cro" file is taken.
    start("wake");
    EXPECT_TRUE(engine.macroSlots.enabled(0));
    EXPECT_EQ(engine.macroSlots.SlotRow(0), 0);

    // Another macro while slot 0 runs goes to slot 1 and leaves slot 0 alone.
    engine.macroSlots.load(0, 5, {"01100000000000000009", "01100000000000000009"}, wall.now());
    const QStringList slot0 = engine.macroSlots.lines(0);
    start("wake.cro");
    EXPECT_TRUE(engine.macroSlots.enabled(1));
    EXPECT_EQ(engine.macroSlots.lines(0), slot0);

    // A missing macro: the status row says so; nothing is queued or waits.
    engine.stopAll();
    clock.onProcessEvents = nullptr;
    host = FakeHost();
    start("gone.cro");
    EXPECT_TRUE(host.status[0].startsWith("Timer 1:  File Not Found!\r\n\t"));
    EXPECT_TRUE(host.status[0].endsWith("gone.cro"));
    EXPECT_EQ(host.colour[0], 0xFFE0C0u);
    EXPECT_TRUE(host.log.contains("Timer 1: File Not Found!\r\n\t"));
    EXPECT_TRUE(engine.overflow.entries().isEmpty());
}

TEST_F(Runner, OverflowEntryAndAMacroThatVanishesBeforeItsTurn)
{
    const QString path = InProgramFolder("late.cro");
    WriteFile(path, "\"01100000000000000001\"\r\n");
    for (int n = 0; n < 4; ++n)
        engine.macroSlots.load(n, 9, {"01100000000000000009"}, wall.now()); // 9 s lines: all busy
    table.row(0).action = "late.cro";
    table.row(0).macroPath = path;
    engine.runner.CurTimer = 0;
    engine.runner.TimerStarting = true;
    clock.onProcessEvents = nullptr; // the slots do not tick during this start
    engine.runner.StartTimer();
    ASSERT_EQ(engine.overflow.entries().size(), 1);
    EXPECT_TRUE(engine.overflow.entries()[0].startsWith("0,7:00:00,"));
    EXPECT_TRUE(engine.overflow.entries()[0].endsWith(path));
    EXPECT_EQ(host.status[0],
              "Timer 1:  To many timers running...\r\nlate.cro was sent to the overflow buffer!");
    EXPECT_EQ(host.colour[0], 0xFFFF00u);
    EXPECT_TRUE(host.log.contains("Timer 1 was sent to overflow buffer to run next!"));

    QFile::remove(path);
    engine.macroSlots.stopAll();
    engine.overflow.tick();
    EXPECT_TRUE(engine.overflow.entries().isEmpty());
    EXPECT_FALSE(engine.overflow.enabled());
    EXPECT_FALSE(engine.macroSlots.ThreadsBusy());
    EXPECT_TRUE(host.status[0].startsWith("Timer 1:  File Not Found!"));
}
