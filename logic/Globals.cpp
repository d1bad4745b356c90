#include "logic/Globals.h"

#include "logic/SafeSave.h"
#include "logic/Settings.h"
#include "logic/X10Codes.h"

namespace qelt {

void ResetGlobals()
{
    LangFile.clear();
    DataFilePath.clear();
    ExePath.clear();
    TimerCount.clear();
    DLSavings.clear();
    AssocOn = false;
    WinVer.clear();

    SendBusy = false;
    AbortSend = false;
    NoSend = false;
    HoldRepeat = false;
    CommLinkSet = nullptr;
    WaitClockSet = nullptr;
    PoweredLink = nullptr;
    PoweredOpen = 0;
    PoweredReadyNs = 0;

    WallClockSet = nullptr;

    MacroFolder.clear();
    CroFileName.clear();

    UnitBank = false;
    SoundsOn = true;
    TimerEditOpen = false;
    TmrChanged = false;
    MinOnStart = false;
    MainView = false;
    FavsView = false;
    StatusTip.clear();
    PrefsOpen = false;
    UnstOpen = false;

    ClickSound.clear();
    RecordSound.clear();
    TimerSound.clear();
    TickSound.clear();
    ZoomSound.clear();

    updater::UpdateMode = QStringLiteral("manual");
    updater::LocalVersion.clear();
    updater::CancelRequest = false;

    SetHouseCodes();
    SetUnitCodes();
    ClearSaveFault();
    ResetSettingsFailureReport();
}

} // namespace qelt
