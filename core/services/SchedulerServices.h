#pragma once

#include "core/Mailbox.h"

#include <QColor>
#include <QString>

class QWidget;

namespace qelt {

// What the console uses of the timers window (FrmTimers).
class TimersService {
public:
    virtual ~TimersService() = default;
    virtual QWidget *widget() = 0;
    // Loads the window hidden when it is not loaded (the console's clock does
    // this on every tick); it then stays loaded.
    virtual void ensureLoaded() = 0;
    virtual bool isLoaded() const = 0;
    virtual void unload() = 0; // saves its state (may ask about unsaved timers)
    // Sets the scheduler's master switch Check2 (due check on).
    virtual void setTimersEnabled(bool on) = 0;
    // The text slot of Check4: a right press on a console command writes the
    // command text here, and a double click on a timer's action box takes it.
    virtual Mailbox &consoleCommandBox() = 0;
    // The loop timer's switch chkEnableLoop (0 off, 1 on). The console's
    // macro player pauses the loop timer while it plays and restores it.
    virtual void setChkEnableLoop(int value) = 0;
    // chkMsound: a tick sound before every command of a macro play.
    virtual bool chkMsound() const = 0;
    // Sets chkTSound / chkMsound (1 ticked, 0 not); the window stores the
    // value under "Sounds"/"TimerTsound" / "TimerMsound". Loads it if needed.
    virtual void setChkTSound(int value) = 0;
    virtual void setChkMsound(int value) = 0;
    // Reads the macro file list again (after files were added to the folder).
    virtual void refreshFileList() = 0;
};

// What the console and the scheduler use of the timer log window
// (frmTimerStatus). It is created hidden, stays loaded for the run, and
// closing it only hides it.
class TimerLogService {
public:
    virtual ~TimerLogService() = default;
    virtual QWidget *widget() = 0;
    // Text1: the whole log; appendLog adds an entry at its end.
    virtual QString logText() const = 0;
    virtual void setLogText(const QString &text) = 0;
    virtual void appendLog(const QString &entry) = 0;
    // Text2(i): one status row per timer row.
    virtual int statusRowCount() const = 0;
    virtual QString statusText(int i) const = 0;
    virtual void setStatus(int i, const QString &text, const QColor &backColor) = 0;
    // Shows the window (restoring it when minimised), caret after the last character.
    virtual void showLog() = 0;
    // Appends the log to the log file when automatic saving is on, saves its position.
    virtual void unload() = 0;
};

TimersService *Timers();
void SetTimers(TimersService *timers);
TimerLogService *TimerLog();
void SetTimerLog(TimerLogService *log);

} // namespace qelt
