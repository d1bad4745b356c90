#include "logic/Globals.h"
#include "logic/SafeSave.h"
#include "logic/SchedulerClock.h"
#include "logic/SerialLink.h"
#include "logic/Transmitter.h"
#include "logic/X10Codes.h"
#include "tests/support/GtestPrinters.h"

#include <gtest/gtest.h>

using namespace qelt;

namespace {

class StoppedWallClock : public WallClock {
public:
    QDateTime now() const override { return QDateTime(QDate(2001, 2, 3), QTime(4, 5, 6)); }
};

class StoppedWaitClock : public WaitClock {
public:
    qint64 nowNs() const override { return 42; }
    void processEvents() override {}
    void sleepMs(int) override {}
    void holdNs(qint64) override {}
};

} // namespace

// Every value the program shares is back at its value of a fresh start after
// ResetGlobals, whatever a test or an earlier run left in it.
TEST(Globals, ResetPutsEveryValueBack)
{
    RecordingSerialLink link;
    StoppedWaitClock waitClock;
    StoppedWallClock wallClock;

    for (QString *text : {&LangFile, &DataFilePath, &ExePath, &TimerCount, &DLSavings, &WinVer,
                          &MacroFolder, &CroFileName, &StatusTip, &ClickSound, &RecordSound,
                          &TimerSound, &TickSound, &ZoomSound, &updater::LocalVersion})
        *text = QStringLiteral("left over");
    updater::UpdateMode = QStringLiteral("autocheck");
    for (bool *flag : {&AssocOn, &SendBusy, &AbortSend, &NoSend, &HoldRepeat, &UnitBank,
                       &TimerEditOpen, &TmrChanged, &MinOnStart, &MainView, &FavsView, &PrefsOpen,
                       &UnstOpen, &updater::CancelRequest})
        *flag = true;
    SoundsOn = false;
    SetCommLink(&link);
    SetWaitClock(&waitClock);
    NoteLinkPoweredUp(&link);
    SetWallClock(&wallClock);
    SaveFault fault;
    fault.kind = SaveFault::DiskFull;
    SetSaveFault(fault);
    NoteSaveFaultHit();

    ResetGlobals();

    for (const QString *text :
         {&LangFile, &DataFilePath, &ExePath, &TimerCount, &DLSavings, &WinVer, &MacroFolder,
          &CroFileName, &StatusTip, &ClickSound, &RecordSound, &TimerSound, &TickSound, &ZoomSound,
          &updater::LocalVersion})
        EXPECT_EQ(*text, QString());
    EXPECT_EQ(updater::UpdateMode, QStringLiteral("manual"));
    for (const bool *flag : {&AssocOn, &SendBusy, &AbortSend, &NoSend, &HoldRepeat, &UnitBank,
                             &TimerEditOpen, &TmrChanged, &MinOnStart, &MainView, &FavsView,
                             &PrefsOpen, &UnstOpen, &updater::CancelRequest})
        EXPECT_FALSE(*flag);
    EXPECT_TRUE(SoundsOn);
    EXPECT_EQ(CommLink(), nullptr);
    EXPECT_EQ(CommLinkSet, nullptr);
    EXPECT_NE(&CurrentWaitClock(), &waitClock);
    EXPECT_EQ(WaitClockSet, nullptr);
    EXPECT_EQ(PoweredLink, nullptr);
    EXPECT_EQ(PoweredOpen, 0u);
    EXPECT_EQ(PoweredReadyNs, 0);
    EXPECT_NE(&CurrentWallClock(), &wallClock);
    EXPECT_EQ(WallClockSet, nullptr);
    EXPECT_EQ(TakeSaveFault(QStringLiteral("any.cro")).kind, SaveFault::None);
    EXPECT_EQ(SaveFaultHits(), 0);
    EXPECT_EQ(HouseCodes(0), QStringLiteral("01100000"));
    EXPECT_EQ(UnitCodes(8, 1), QStringLiteral("10011000"));
}
