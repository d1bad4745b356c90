#include "logic/EditorRun.h"
#include "logic/MacroFile.h"

#include "logic/Globals.h"
#include "logic/MacroPlayer.h"
#include "logic/ProgramFolder.h"
#include "logic/SerialLink.h"
#include "logic/Transmitter.h"
#include "logic/X10Codes.h"
#include "tests/support/FakeWaitClock.h"
#include "tests/support/FileBytes.h"
#include "tests/support/FixedPatterns.h"

#include <QFileInfo>
#include <gtest/gtest.h>

using namespace qelt;

namespace {

const QString kLead = QString::fromLatin1(test::kLeadInBits);
const QString kClose = QString::fromLatin1(test::kClosingBits);

QString Frame(const QString &code)
{
    return RfFrame(code);
}

QByteArray Line(const QString &code, const char *pause)
{
    return "\"" + code.toLatin1() + pause + "\"\r\n";
}

class EditorRunTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetCommLink(&link);
        hooks.lamp = [this](bool lit) { lamps << qMakePair(lit, clock.now); };
        hooks.closingPattern = [this] {
            closingAt = clock.now;
            SendClosingPattern();
        };
        hooks.stopRequested = [this] { return stop; };
    }
    void TearDown() override { SetCommLink(nullptr); }
    QString write(const QString &name, const QByteArray &bytes)
    {
        const QString path = InProgramFolder(name);
        EXPECT_TRUE(test::WriteBytes(path, bytes));
        return path;
    }
    // Seconds from lamp change a to lamp change b.
    double between(int a, int b) const
    {
        return double(lamps.at(b).second - lamps.at(a).second) / 1e9;
    }

    test::FakeWaitClock clock;
    RecordingSerialLink link;
    EditorRunHooks hooks;
    QList<QPair<bool, qint64>> lamps;
    qint64 closingAt = -1;
    bool stop = false;
    const QString on = CmdToCode("A", "1", "ON");
    const QString off = CmdToCode("A", "1", "OFF");
};

} // namespace

TEST_F(EditorRunTest, PlaysStoredPausesWithFloorAndLastLineWait)
{
    const QString path =
        write("three.cro", Line(on, "0002") + Line(off, "0.25") + Line(on, "0009"));
    EXPECT_EQ(RunCro(path, false, 60, hooks), EditorRunResult::Played);
    EXPECT_EQ(link.decodedBits(), kLead + Frame(on) + Frame(off) + Frame(on) + kClose + kClose);
    ASSERT_EQ(lamps.size(), 6);
    // lamp off of a line to lamp on of the next: the pause plus 0.05 s
    EXPECT_NEAR(between(1, 2), 1.9 + 0.05, 0.006);
    EXPECT_NEAR(between(3, 4), 0.15 + 0.05, 0.006); // 0.25 - 0.1 is below the floor
    // the last line waits 0.5 s whatever it stores
    EXPECT_NEAR(double(closingAt - lamps.at(5).second) / 1e9, 0.5, 0.006);
    EXPECT_FALSE(lamps.last().first);
}

TEST_F(EditorRunTest, TestModeUsesOneInterval)
{
    const QString path = write("t.cro", Line(on, "0.60") + Line(off, "0100") + Line(on, "0001"));
    EXPECT_EQ(RunCro(path, true, 3, hooks), EditorRunResult::Played);
    ASSERT_EQ(lamps.size(), 6);
    EXPECT_NEAR(between(1, 2), 3.05, 0.006);
    EXPECT_NEAR(between(3, 4), 3.05, 0.006);
    EXPECT_NEAR(double(closingAt - lamps.at(5).second) / 1e9, 0.5, 0.006);
}

TEST_F(EditorRunTest, FilesThatAreNotPlayed)
{
    // An empty macro: lead-in, then at once the closing pattern.
    EXPECT_EQ(RunCro(write("empty.cro", {}), false, 60, hooks), EditorRunResult::Played);
    EXPECT_EQ(link.decodedBits(), kLead + kClose + kClose);
    EXPECT_TRUE(lamps.isEmpty());

    // Upper-case extension, missing file, a folder: only the lead-in.
    const QString upper = write("UP.CRO", Line(on, "0001"));
    for (const QString &path : {upper, InProgramFolder("missing.cro"), ProgramFolder() + "/"}) {
        link.clear();
        closingAt = -1;
        EXPECT_EQ(RunCro(path, false, 60, hooks), EditorRunResult::NotPlayable)
            << path.toStdString();
        EXPECT_EQ(link.decodedBits(), kLead);
        EXPECT_EQ(closingAt, -1);
    }
    EXPECT_FALSE(QFileInfo::exists(InProgramFolder("missing.cro")));
}

TEST_F(EditorRunTest, StopsWithoutClosingPattern)
{
    const QString bad = write("bad.cro", Line(on, "0001") + Line(off, "00x1") + Line(on, "0001"));
    EXPECT_EQ(RunCro(bad, false, 60, hooks), EditorRunResult::BadPause);
    EXPECT_EQ(link.decodedBits(), kLead + Frame(on));
    EXPECT_EQ(closingAt, -1);
    EXPECT_FALSE(lamps.last().first); // the lamp is not left lit

    // A stop request or the program closing ends the run after the wait.
    const QString good = write("good.cro", Line(on, "0001") + Line(off, "0001"));
    for (int viaAbort = 0; viaAbort < 2; ++viaAbort) {
        link.clear();
        lamps.clear();
        clock.onProcessEvents = [&] {
            if (lamps.size() >= 2) {
                if (viaAbort)
                    AbortSend = true;
                else
                    stop = true;
            }
        };
        EXPECT_EQ(RunCro(good, false, 60, hooks), EditorRunResult::Stopped);
        EXPECT_EQ(link.decodedBits(), kLead + Frame(on));
        EXPECT_EQ(closingAt, -1);
        stop = false;
        AbortSend = false;
    }
    clock.onProcessEvents = {};
}

TEST_F(EditorRunTest, PlaysEveryLineWhateverTheLineEndsAndBlankLines)
{
    // LF or CR line ends, a blank line inside, no line end after the last
    // line: every command is played, in order, and the run ends normally.
    const QByteArray crlf = Line(on, "0001") + "\r\n" + Line(off, "0001") + Line(on, "0001");
    const struct {
        const char *name;
        QByteArray bytes;
    } files[] = {{"crlf.cro", crlf},
                 {"lf.cro", QByteArray(crlf).replace("\r\n", "\n")},
                 {"cr.cro", QByteArray(crlf).replace("\r\n", "\r")},
                 {"open.cro", QByteArray(crlf).replace("\r\n", "\n").chopped(1)}};
    for (const auto &f : files) {
        SCOPED_TRACE(f.name);
        link.clear();
        closingAt = -1;
        for (const bool testMode : {false, true}) {
            link.clear();
            EXPECT_EQ(RunCro(write(f.name, f.bytes), testMode, 1, hooks), EditorRunResult::Played);
            EXPECT_EQ(link.decodedBits(),
                      kLead + Frame(on) + Frame(off) + Frame(on) + kClose + kClose);
        }
    }
}

// Files saved by another editor may start with a UTF-8 byte-order mark; it
// is not part of the first line, which must still be played.
TEST_F(EditorRunTest, ByteOrderMarkInFrontOfTheFirstLineIsNotPartOfIt)
{
    const QByteArray lines = Line(on, "0000") + Line(off, "0000");
    const QString path = write("marked.cro", "\xEF\xBB\xBF" + lines);
    EXPECT_EQ(RunCro(path, false, 60, hooks), EditorRunResult::Played);
    EXPECT_EQ(link.decodedBits(), kLead + Frame(on) + Frame(off) + kClose + kClose);

    QList<MacroItem> marked, plain;
    ASSERT_TRUE(ReadMacroFile(path, &marked));
    ASSERT_TRUE(ReadMacroFile(write("plain.cro", lines), &plain));
    ASSERT_EQ(marked.size(), 2);
    EXPECT_EQ(marked.first().code, on);
    EXPECT_EQ(marked.first().text(), plain.first().text());
}
