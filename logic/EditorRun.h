#pragma once

#include <QString>

#include <functional>

// Playing a macro file from the editor: with its stored pauses, or in test
// mode with one fixed interval after every command.
namespace qelt {

struct EditorRunHooks {
    std::function<void(bool lit)> lamp;   // the console's lamp
    std::function<void()> tick;           // per-command sound
    std::function<void()> closingPattern; // sent after the last line
    std::function<bool()> stopRequested;  // the editor asks the run to end
};

enum class EditorRunResult {
    Played,      // every line sent, then the closing pattern
    NotPlayable, // not a ".cro" path or no such file: only the lead-in went out
    BadPause,    // a line's pause is not a number: stopped there
    Stopped,     // stopped on request or because the program is closing
};

// Sends the lead-in, then every item of the file as ReadMacroFile reads it
// (blank lines left out; a last line without a line end is played too):
// 0.05 s, lamp on, tick, the frame, 0.05 s, lamp off, then the pause (the
// stored pause less 0.1 s, or testInterval in test mode; at least 0.15 s;
// 0.5 s after the last line). Ends after a wait once AbortSend is set or
// stopRequested answers true, without the closing pattern.
EditorRunResult RunCro(const QString &path, bool testMode, double testInterval,
                       const EditorRunHooks &hooks);

} // namespace qelt
