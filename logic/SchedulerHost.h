#pragma once

#include <QString>

// What the scheduler's engine writes to and calls on its neighbours: the
// timer log window, the main window, the timers window's sound switches and
// the program starter. The program uses ServicesHost; tests give a fake.
namespace qelt {

class SchedulerHost {
public:
    virtual ~SchedulerHost() = default;

    // Timer log window (frmTimerStatus): Text1 gets the entry appended;
    // Text2(row) is the status row of a timer row. Colours are RGB.
    virtual void appendLog(const QString &entry) = 0;
    virtual int statusRowCount() const = 0;
    virtual QString statusText(int row) const = 0;
    virtual void setStatus(int row, const QString &text, unsigned rgb) = 0;

    // Main window: the timer indicator (lblIndicate with its blink timer
    // tmrTindicate), the lamp imgLight, the closing pattern, groups.
    virtual void setTimerIndicator(bool on) = 0;
    virtual void setLamp(bool lit) = 0;
    virtual void frmReturn() = 0;
    // sNum 0..7; false when the group could not be run.
    virtual bool strtGroup(int sNum, const QString &sAction) = 0;

    // Timers window check boxes chkTSound (timer-start sound) and chkMsound
    // (per-command tick sound).
    virtual bool timerSoundOn() const = 0;
    virtual bool tickSoundOn() const = 0;
    // Plays the sound chosen for a timer start / for each macro command.
    virtual void playTimerSound() = 0;
    virtual void playTickSound() = 0;

    // Starts a program or shortcut; false when it could not be started.
    virtual bool runFile(const QString &commandLine) = 0;
};

// Status-row colours (RGB).
inline constexpr unsigned kStatusErrorRgb = 0xFFE0C0;    // error or file missing
inline constexpr unsigned kStatusOverflowRgb = 0xFFFF00; // sent to the overflow list
inline constexpr unsigned kStatusDoneRgb = 0xFF0000;     // action done / macro ended
inline constexpr unsigned kStatusRunningRgb = 0x00FFFF;  // macro running (cyan)

// The log entry every step of the timer start writes: CR LF, the date and
// time, CR LF, the message, CR LF.
QString LogEntry(const QString &message);

// A macro file that is missing: the row's status row (error colour) and a
// log entry, both naming the timer (numbered from 1) and the path.
void ReportFileNotFound(SchedulerHost &host, int row, const QString &path);

} // namespace qelt
