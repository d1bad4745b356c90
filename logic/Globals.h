#pragma once

#include <QString>

// Program-wide state shared by several windows. The program has one
// user-interface thread, so plain variables are enough. Every such variable
// is declared here and nowhere else, except three a module keeps behind its
// own functions: the house and unit code tables (SetHouseCodes,
// SetUnitCodes), the injected save fault (SetSaveFault) and whether a failed
// settings write was reported (ResetSettingsFailureReport). ResetGlobals()
// puts each of them back to its value at program start.
// What a window folder or core keeps for itself stays in that folder: its
// windows (made on first use and kept for the run), the registries through
// which one part reaches another (services, dialogs, the settings failure
// notice), the single-instance hand-over, and the hooks its tests replace.
// The result of a call is returned by it, not left in a variable.
namespace qelt {

class SerialLink;
class WaitClock;
class WallClock;

// Start-up
inline QString LangFile;     // full path of "language.ini"
inline QString DataFilePath; // full path of the record data file
inline QString ExePath;      // "Database16"/"CurrentExePath", default the program folder
inline QString TimerCount;   // "Settings"/"Timercount", default "6"
inline QString DLSavings;    // "Settings"/"DLSavings"
inline bool AssocOn = false; // the ".cro" association is wanted
inline QString WinVer;       // name of the operating system with a trailing blank (GetWinVer)

// Sending
inline bool SendBusy = false;  // a frame is being clocked out
inline bool AbortSend = false; // the program is closing: every wait returns at once
inline bool NoSend = false;    // the macro editor records commands without sending them
inline bool HoldRepeat = false;
// The serial link every sender drives (CommLink), nullptr while none is set;
// the clock of every wait (CurrentWaitClock), nullptr for the real one.
inline SerialLink *CommLinkSet = nullptr;
inline WaitClock *WaitClockSet = nullptr;
// The open of the link the transmitter was last powered by, and the
// wait-clock time from which it may take a frame.
inline const SerialLink *PoweredLink = nullptr;
inline quint64 PoweredOpen = 0;
inline qint64 PoweredReadyNs = 0;

// Scheduler: the wall clock trigger times are compared with
// (CurrentWallClock), nullptr for the real one.
inline WallClock *WallClockSet = nullptr;

// Macro editor: the folder whose macro files it lists and opens, and the
// macro file its grid loads.
inline QString MacroFolder;
inline QString CroFileName;

// Console and windows
inline bool UnitBank = false; // the console shows units 9 to 16
inline bool SoundsOn = true;
inline bool TimerEditOpen = false; // the timers window is loaded
inline bool TmrChanged = false;    // timers changed since the last save
inline bool MinOnStart = false;
inline bool MainView = false;
inline bool FavsView = false;
inline QString StatusTip; // " (Timers ON)  " or " (Timers OFF)  ", part of the tray tip
inline bool PrefsOpen = false;
inline bool UnstOpen = false;

// Sound files, read from the "Sounds" settings when the main window loads
inline QString ClickSound;
inline QString RecordSound;
inline QString TimerSound;
inline QString TickSound;
inline QString ZoomSound;

namespace updater {
// "autocheck" (the main program's weekly check) or "manual".
inline QString UpdateMode = QStringLiteral("manual");
// The main program's version as stored, e.g. "1.70.1050".
inline QString LocalVersion;
// A transfer is to stop (Cancel button or connection time-out); never reset
// during a run, so no further transfer is made after it.
inline bool CancelRequest = false;
} // namespace updater

// Puts every variable above back to its value at program start. The test
// programs call it before each test, so that no test sees another's state.
void ResetGlobals();

} // namespace qelt
