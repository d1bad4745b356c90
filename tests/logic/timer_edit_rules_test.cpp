#include "logic/DayRule.h"
#include "logic/FileHelpers.h"
#include "logic/TimerEditRules.h"
#include "tests/support/TestEnv.h"

#include <gtest/gtest.h>

using namespace qelt;

TEST(TimerEditRules, StartTimeKeys)
{
    struct Case {
        const char *text;
        char key;
        char taken; // 0: refused
    } cases[] = {
        {"", 's', 'S'},    {"S", 'r', 'R'},     {"SR", '+', '+'}, {"SR+", '3', '3'},
        {"SR+3", '-', 0},  {"SR+3", '+', 0},    {"S", ' ', 0},    {"7:05", ' ', ' '},
        {"7:05 ", ' ', 0}, {"7:05 ", 'p', 'P'}, {"", 'x', 0},     {"", ':', ':'},
        {"", '*', 0},      {"", 'M', 'M'},      {"-5", ' ', 0},   {"", ';', 0},
    };
    for (const Case &c : cases) {
        const QChar got = StartTimeKey(c.text, QChar(c.key));
        EXPECT_EQ(got, c.taken ? QChar(c.taken) : QChar()) << c.text << " + " << c.key;
    }
    EXPECT_EQ(LoopTimeKey("8:00", QChar(' ')), QChar(' '));
    EXPECT_EQ(LoopTimeKey("8:00 ", QChar(' ')), QChar());
    EXPECT_EQ(LoopTimeKey("8:00", QChar('p')), QChar());
    EXPECT_EQ(LoopTimeKey("8:0", QChar('9')), QChar('9'));
}

TEST(TimerEditRules, DroppedFilesAndConsoleCommands)
{
    const QString prog = "/home/u/prog";
    EXPECT_EQ(DroppedActionText("/home/u/prog/a.cro", prog), QString("a.cro"));
    EXPECT_EQ(DroppedActionText("/home/u/prog/sub/b.cro", prog), QString("sub/b.cro"));
    EXPECT_EQ(DroppedActionText("/home/u/prog2/c.cro", prog), QString("/home/u/prog2/c.cro"));
    EXPECT_EQ(DroppedActionText("/usr/bin/tool", prog + "/"), QString("/usr/bin/tool"));

    EXPECT_EQ(MacroFilesToCopy({"/x/a.cro", "/home/u/prog/b.cro", "/x/c.CRO", "/x/d.txt"}, prog),
              (QStringList{"/x/a.cro", "/x/c.CRO"}));

    EXPECT_TRUE(TakesConsoleCommand("B ALL ALF", "B", "Group"));
    EXPECT_FALSE(TakesConsoleCommand("B ALL ALF", "C", "Group"));
    EXPECT_TRUE(TakesConsoleCommand("Group 3 ON", "C", "Group"));
    EXPECT_TRUE(TakesConsoleCommand("Gruppe 3 ON", "C", "Gruppe"));
    EXPECT_FALSE(TakesConsoleCommand("", "C", "Group"));
    EXPECT_FALSE(TakesConsoleCommand("C 1 On", "", ""));
}

TEST(TimerEditRules, RuleAndColoursOfARow)
{
    const QString ns = NotSetText();
    EXPECT_EQ(RuleAfterFill(ns, "a.cro", 6, ns), QString("Never"));
    EXPECT_EQ(RuleAfterFill(ns, "a.cro", 0, ns), QString("Everyday"));
    EXPECT_EQ(RuleAfterFill(ns, "a.cro", 42, ns), QString("Everyday"));
    EXPECT_EQ(RuleAfterFill("Weekends", "a.cro", 6, ns), QString("Weekends"));
    EXPECT_EQ(RuleAfterFill("Weekends", "", 6, ns), ns);

    struct Case {
        const char *action, *start, *caption;
        unsigned label, text;
    } cases[] = {
        {"a.cro", "7:00:00", "Everyday", 0xC0FFC0, 0x004000},
        {"a.cro", "7:00:00", "Never", 0xFFC0C0, 0x400000},
        {"", "7:00:00", "Everyday", 0xE0E0E0, 0x400000},
        {"a.cro", "", "Everyday", 0xE0E0E0, 0x400000},
        {"a.cro", "7:00:00", "not set", 0xE0E0E0, 0x400000},
    };
    for (const Case &c : cases) {
        const RowColours rc = RowColoursFor(c.action, c.start, c.caption, ns);
        EXPECT_EQ(rc.label, c.label) << c.caption;
        EXPECT_EQ(rc.text, c.text) << c.caption;
    }
}
