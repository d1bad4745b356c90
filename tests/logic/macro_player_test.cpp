#include "logic/MacroPlayer.h"
#include "logic/UnitRecords.h"

#include "logic/ErrorLog.h"
#include "logic/Globals.h"
#include "logic/ProgramFolder.h"
#include "logic/SerialLink.h"
#include "logic/Settings.h"
#include "logic/Transmitter.h"
#include "tests/support/FakeWaitClock.h"
#include "tests/support/FixedPatterns.h"

#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

using namespace qelt;
using test::FakeWaitClock;

namespace {

const QString kLead = QString::fromLatin1(test::kLeadInBits);
const QString kClose = QString::fromLatin1(test::kClosingBits);
const QString kCode = QStringLiteral("0100010000001000"); // C 11 ON

QString Frame(const QString &code)
{
    return QStringLiteral("1101010110101010") + code + QStringLiteral("10101101");
}

QString WriteMacro(const QString &name, const QByteArray &bytes)
{
    const QString path = InProgramFolder(name);
    QFile f(path);
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    f.write(bytes);
    return path;
}

// A play on the recording link with a fake clock; the hooks record what the
// window would see, with the fake time of each event.
struct PlayFixture : ::testing::Test {
    FakeWaitClock clock;
    RecordingSerialLink link;
    QStringList events;
    QList<qint64> times;
    QList<int> loopValues;
    MacroPlayHooks hooks;

    PlayFixture()
    {
        clock.pumpRealEvents = false;
        SetCommLink(&link);
        DeleteSet(QStringLiteral("Macro"), QStringLiteral("LoopR"));
        auto note = [this](const QString &what) {
            events << what;
            times << clock.now;
        };
        hooks.lamp = [note](bool lit) {
            note(lit ? QStringLiteral("lit") : QStringLiteral("out"));
        };
        hooks.tick = [note] { note(QStringLiteral("tick")); };
        hooks.loopSwitch = [this](int v) { loopValues << v; };
        hooks.closingPattern = [note] {
            note(QStringLiteral("close"));
            SendClosingPattern();
        };
        hooks.finished = [note] { note(QStringLiteral("finished")); };
    }
    ~PlayFixture() override { SetCommLink(nullptr); }
    double secondsBetween(const QString &a, const QString &b) const
    {
        // From the first a to the first b after it.
        const int from = events.indexOf(a);
        return double(times.at(events.indexOf(b, from)) - times.at(from)) / 1e9;
    }
};

using MacroPlay = PlayFixture;

} // namespace

TEST_F(MacroPlay, EachLineWaitsItsPauseLessATenthButAtLeastFifteenHundredths)
{
    const struct {
        const char *pause;
        double wait;
    } cases[] = {{"01.5", 1.4}, {"0000", 0.15}, {"0001", 0.9}, {"12.5", 12.4}, {"00.2", 0.15}};
    for (const auto &c : cases) {
        events.clear();
        times.clear();
        link.clear();
        const QString path =
            WriteMacro(QStringLiteral("pause.cro"), "\"" + kCode.toLatin1() + c.pause + "\"\r\n");
        EXPECT_EQ(PlayMacroFile(path, hooks), MacroPlayResult::Played) << c.pause;
        // From the lamp going out after the frame to the closing pattern.
        EXPECT_NEAR(secondsBetween(QStringLiteral("out"), QStringLiteral("close")), c.wait, 0.006)
            << c.pause;
        EXPECT_EQ(link.decodedBits(), kLead + Frame(kCode) + kClose + kClose) << c.pause;
    }
    EXPECT_DOUBLE_EQ(LinePauseSeconds(999.9 + 0.1), 999.9);
}

TEST_F(MacroPlay, LineOrderIsTickWaitLampFrameWaitLampOut)
{
    const QString path = WriteMacro(QStringLiteral("two.cro"), "\"" + kCode.toLatin1() +
                                                                   "0001\"\r\n\"0110000000100000"
                                                                   "0000\"\r\n");
    ASSERT_EQ(PlayMacroFile(path, hooks), MacroPlayResult::Played);
    EXPECT_EQ(events, (QStringList{"tick", "lit", "out", "tick", "lit", "out", "close", "out",
                                   "finished"}));
    EXPECT_NEAR(secondsBetween(QStringLiteral("tick"), QStringLiteral("lit")), 0.05, 0.006);
    EXPECT_EQ(link.decodedBits(),
              kLead + Frame(kCode) + Frame(QStringLiteral("0110000000100000")) + kClose + kClose);
}

TEST_F(MacroPlay, EmptyFileSendsLeadInAndClosingPatternTwice)
{
    const QString path = WriteMacro(QStringLiteral("empty.cro"), "");
    EXPECT_EQ(PlayMacroFile(path, hooks), MacroPlayResult::Played);
    EXPECT_EQ(link.decodedBits(), kLead + kClose + kClose);
}

TEST_F(MacroPlay, MissingFileSendsOnlyTheLeadInAndRestoresTheLoopTimer)
{
    SaveSet(QStringLiteral("Macro"), QStringLiteral("LoopR"), QStringLiteral("1"));
    EXPECT_EQ(PlayMacroFile(InProgramFolder(QStringLiteral("gone.cro")), hooks),
              MacroPlayResult::MissingFile);
    EXPECT_EQ(link.decodedBits(), kLead);
    EXPECT_EQ(loopValues, (QList<int>{0, 1}));
    EXPECT_FALSE(events.contains(QStringLiteral("finished")));
}

TEST_F(MacroPlay, MalformedLinesAreNotSentButLogged)
{
    QFile::remove(ErrorLogPath());
    const QString path = WriteMacro(QStringLiteral("bad.cro"),
                                    "\"0100\"\r\n"                 // short
                                    "\r\n"                         // blank
                                    "\"01000100000020000001\"\r\n" // not 0/1
                                    "\"0100010000001000\"\r\n"     // no pause
                                    "\"" +
                                        kCode.toLatin1() + "0000\"\r\n");
    EXPECT_EQ(PlayMacroFile(path, hooks), MacroPlayResult::Played);
    EXPECT_EQ(link.decodedBits(), kLead + Frame(kCode) + kClose + kClose);
    EXPECT_GT(QFileInfo(ErrorLogPath()).size(), 0);
    EXPECT_EQ(events.count(QStringLiteral("lit")), 1);
}

TEST_F(MacroPlay, PauseThatIsNotANumberStopsWithoutClosingPattern)
{
    SaveSet(QStringLiteral("Macro"), QStringLiteral("LoopR"), QStringLiteral("1"));
    const QString path = WriteMacro(QStringLiteral("nan.cro"),
                                    "\"" + kCode.toLatin1() + "0000\"\r\n\"" + kCode.toLatin1() +
                                        "soon\"\r\n\"" + kCode.toLatin1() + "0000\"\r\n");
    EXPECT_EQ(PlayMacroFile(path, hooks), MacroPlayResult::Failed);
    EXPECT_EQ(link.decodedBits(), kLead + Frame(kCode));
    EXPECT_EQ(loopValues, (QList<int>{0, 1}));
    EXPECT_FALSE(events.contains(QStringLiteral("close")));
    EXPECT_TRUE(events.contains(QStringLiteral("finished")));
}

TEST_F(MacroPlay, ExitDuringAnyWaitSendsNoFurtherFrame)
{
    const QString path =
        WriteMacro(QStringLiteral("long.cro"),
                   "\"" + kCode.toLatin1() + "0005\"\r\n\"" + kCode.toLatin1() + "0005\"\r\n");
    // Exit begins at several moments: inside the first short wait, after
    // the first frame, inside the long pause.
    for (qint64 at : {qint64(30'000'000), qint64(200'000'000), qint64(2'000'000'000)}) {
        link.clear();
        loopValues.clear();
        AbortSend = false;
        const qint64 start = clock.now;
        clock.onProcessEvents = [&] {
            if (clock.now - start >= at)
                AbortSend = true;
        };
        EXPECT_EQ(PlayMacroFile(path, hooks), MacroPlayResult::Aborted) << at;
        const QString bits = link.decodedBits();
        EXPECT_FALSE(bits.contains(kClose)) << at;
        EXPECT_LE(bits.size(), kLead.size() + 40) << at;
        EXPECT_EQ(loopValues, QList<int>{0}) << at; // nothing restored
    }
    clock.onProcessEvents = nullptr;
}

TEST(HandOver, TheLastFourCharactersDecide)
{
    const struct {
        const char *text;
        HandOverKind kind;
    } cases[] = {
        {"/home/u/lights.cro", HandOverKind::PlayMacro},
        {"/home/u/LIGHTS.CRO", HandOverKind::PlayMacro},
        {"/opt/q/uninst.zvu", HandOverKind::Uninstall},
        {"previous", HandOverKind::Previous},
        {"something obvious", HandOverKind::Previous},
        {"/home/u/notes.txt", HandOverKind::Ignore},
        {"", HandOverKind::Ignore},
        {"cro", HandOverKind::Ignore},
    };
    for (const auto &c : cases)
        EXPECT_EQ(ClassifyHandOver(QString::fromUtf8(c.text)), c.kind) << c.text;
}

TEST(UnitRecords, RecordNumbersAndDescriptions)
{
    EXPECT_EQ(DeviceRec(0, 1), 1);
    EXPECT_EQ(DeviceRec(15, 16), 256);
    EXPECT_EQ(DeviceRec(2, 12), 44);
    EXPECT_EQ(DeviceRec(2, RowUnit(2, true)), 43);
    EXPECT_EQ(DeviceRec(16, 1), 0);
    EXPECT_EQ(DeviceRec(0, 0), 0);
    EXPECT_EQ(DeviceRec(-1, 3), 0);

    EXPECT_EQ(DeviceRecText(QStringLiteral("C"), 12, QStringLiteral("Porch")),
              QStringLiteral("C12## Porch"));
    const struct {
        const char *record;
        const char *description;
    } cases[] = {{"C12## Porch", "Porch"},
                 {"C12## ", ""},
                 {"", ""},
                 {"A1## Hall ## Stairs", "Hall ## Stairs"},
                 {"B7Lamp", "Lamp"}};
    for (const auto &c : cases)
        EXPECT_EQ(DescriptionOf(QString::fromUtf8(c.record)), QString::fromUtf8(c.description))
            << c.record;
}

// Timers edited while a macro plays (the play lets window events run) stay
// marked unsaved after the play, so closing still offers to save them.
TEST_F(MacroPlay, TimerEditsDuringAPlayStayUnsaved)
{
    const QString path =
        WriteMacro(QStringLiteral("edit.cro"), "\"" + kCode.toLatin1() + "0001\"\r\n");
    TmrChanged = false;
    clock.onProcessEvents = [] { TmrChanged = true; };
    EXPECT_EQ(PlayMacroFile(path, hooks), MacroPlayResult::Played);
    EXPECT_TRUE(TmrChanged);
    TmrChanged = false;
}
