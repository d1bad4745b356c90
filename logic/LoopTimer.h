#pragma once

#include <QString>
#include <QStringList>
#include <QTime>

// The loop timer without windows: one macro played over and over, a line a
// tick of its clock (Tmr7), each line followed by its own pause. The day
// rule and the daily window are applied only between passes.
namespace qelt {

// A time typed into a time box: "H:mm" or "H:mm:ss", optionally followed by
// a blank and AM or PM (or the locale's designators). Invalid otherwise.
QTime ParseTypedTime(const QString &text);

// Whether the loop's daily window is open at `now`: when not in use it is
// always open. Start and end are read as times of day (not as texts, which
// would put 9:30:00 after 17:00:00); the window is open strictly between
// them, and a window whose start is later than its end runs over midnight.
// A start or end that is not a time keeps the window closed.
bool LoopWindowOpen(bool useWindow, const QTime &now, const QString &start, const QString &end);

// The state text a day rule stops the loop with on that day (Qt weekday:
// Monday = 1 .. Sunday = 7); empty when the rule lets the loop play.
QString LoopDayStop(const QString &rule, int qtWeekday);

// Status-line colours (RGB).
inline constexpr unsigned kLoopRunningRgb = 0x00FFFF;
inline constexpr unsigned kLoopStoppedRgb = 0xFF0000;
inline constexpr unsigned kLoopOffRgb = 0xFFFF00;

class LoopTimer {
public:
    // What one tick did.
    struct Tick {
        bool statusChanged = false;
        QString state;        // the state part of the status line
        int rgb = -1;         // its colour (RGB); -1 = leave the colour as it is
        QString frame;        // the frame to queue; empty when none
        int nextInterval = 0; // ms to set on the loop clock; 0 = leave it
        bool flash = false;   // flash the main window's lamp
    };

    QStringList lines; // lstLoop: the loop macro's items
    int LoopLine = 0;
    bool LoopAtBoundary = true;

    // Empties the lines and starts again at the first line, between passes.
    void reset();

    // One tick of Tmr7. windowOpen: LoopWindowOpen now; enabled: the loop
    // switch; rule: the loop's day rule; flash: lamp flash on (which takes
    // 0.2 s off each pause). Start and end texts are shown while the window
    // holds the loop.
    Tick tick(bool windowOpen, bool enabled, const QString &rule, int qtWeekday, bool flash,
              const QString &windowStart, const QString &windowEnd);

    // The loop clock's interval after a line of this pause text: the pause
    // in seconds (less 0.2 s with flash), at least 1.05 s and at most
    // 9999 s; a pause that is not a number counts as 1.05 s.
    static int IntervalMs(const QString &pause, bool flash);
};

} // namespace qelt
