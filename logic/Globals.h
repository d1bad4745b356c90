#pragma once

#include <QString>

// Program-wide state shared by several windows. The program has one
// user-interface thread, so plain variables are enough. Every such variable
// is declared here and nowhere else, and ResetGlobals() knows each of them.
namespace qelt {

// Start-up
inline QString LangFile;     // full path of "language.ini"
inline QString DataFilePath; // full path of the record data file
inline QString ExePath;      // "Database16"/"CurrentExePath", default the program folder
inline QString TimerCount;   // "Settings"/"Timercount", default "6"
inline QString DLSavings;    // "Settings"/"DLSavings"
inline bool AssocOn = false; // the ".cro" association is wanted

// Sending
inline bool SendBusy = false;  // a frame is being clocked out
inline bool AbortSend = false; // the program is closing: every wait returns at once
inline bool NoSend = false;    // the macro editor records commands without sending them
inline bool HoldRepeat = false;

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

// Puts every variable above back to its value at program start. The test
// programs call it before each test, so that no test sees another's state.
void ResetGlobals();

} // namespace qelt
