#include "logic/Globals.h"

namespace qelt {

void ResetGlobals()
{
    LangFile.clear();
    DataFilePath.clear();
    ExePath.clear();
    TimerCount.clear();
    DLSavings.clear();
    AssocOn = false;

    SendBusy = false;
    AbortSend = false;
    NoSend = false;
    HoldRepeat = false;

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
}

} // namespace qelt
