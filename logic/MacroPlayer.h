#pragma once

#include <QString>

#include <functional>

// Playing a macro file from the console, the closing pattern every macro
// player sends at its end, and the hand-over texts a later start passes in.
namespace qelt {

// What a play asks of the window around it. Every member may be empty.
struct MacroPlayHooks {
    std::function<void(bool lit)> lamp;        // the lamp picture
    std::function<void()> tick;                // before each line (tick sound)
    std::function<void(int value)> loopSwitch; // the timers window's loop switch
    std::function<void()> closingPattern;      // sent after the last line
    std::function<void()> finished;            // lamp out, exit controls back
    double minimumPause = 0.15;                // the shortest wait after a line
    double pauseShortening = 0.1;              // taken off each line's pause
    // A pause field that is not a number: false ends the play there (no
    // closing pattern); true still sends the line and waits as long as after
    // the line before (the minimum pause for a first line).
    bool badPauseKeepsLastWait = false;
    QString procName = QStringLiteral("CroSend"); // who logs a line it refuses
    QString moduleName = QStringLiteral("frmFire");
};

enum class MacroPlayResult {
    Played,      // every line played and the closing pattern sent
    MissingFile, // only the lead-in was sent
    Failed,      // unreadable file or a pause that is not a number: stopped
    Aborted,     // the program is closing: stopped at once, nothing restored
};

// Plays the macro file at path: the lead-in, then per line the tick, 0.05 s,
// lamp on, the frame, 0.05 s, lamp off and the line's pause less 0.1 s (at
// least the hooks' minimumPause); then the closing pattern. A pause field
// that is not a number ends the play (see badPauseKeepsLastWait). The loop
// timer is paused during the play and put back to the stored "Macro"/"LoopR"
// value afterwards. A line whose code is
// not 16 characters of "0"/"1", or that is too short to hold a pause after
// its code, is not sent (and not waited for); it goes to the error log.
// After every wait the play checks AbortSend, so once exit has begun no
// further frame is sent.
MacroPlayResult PlayMacroFile(const QString &path, const MacroPlayHooks &hooks);

// The wait after a line whose pause field reads `seconds`.
double LinePauseSeconds(double seconds, double minimum = 0.15, double shortening = 0.1);

// The closing pattern: the 32-character pattern, a blocking 150 ms sleep
// (no events run), the pattern again.
void SendClosingPattern();

// What a handed-over command line asks for, by the last 4 characters of
// the text in lower case.
enum class HandOverKind { Ignore, PlayMacro, Uninstall, Previous };
HandOverKind ClassifyHandOver(const QString &text);

} // namespace qelt
