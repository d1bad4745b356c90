#pragma once

#include "core/Mailbox.h"

#include <QString>

#include <functional>

class QWidget;

namespace qelt {

// What the other windows use of the main console window (frmFire). The main
// window implements it; tests give a fake.
class MainWindowService {
public:
    virtual ~MainWindowService() = default;

    virtual QWidget *widget() = 0; // to read its visibility, show it, give it the focus

    // Sends the closing pattern twice, 150 ms apart (end of every macro run).
    virtual void frmReturn() = 0;
    // Runs group sNum (0 to 7) "ON" or "OFF" as the scheduler asks. False
    // when the group number is out of range or the action unknown.
    virtual bool strtGroup(int sNum, const QString &sAction) = 0;

    // imgLight: the lamp (false = picture 1, out; true = picture 2, lit).
    virtual void setLamp(bool lit) = 0;
    // lblIndicate with its blink timer tmrTindicate: on while a timer macro runs.
    virtual void setTimerIndicator(bool on) = 0;
    // tmrFlash with Tag "Recording": the lamp flashes while recording.
    virtual void setRecordingFlash(bool on) = 0;

    // Mailboxes: the code of every command sent / of every ON command sent.
    virtual Mailbox &lblGrp() = 0;
    virtual Mailbox &lblGrpSave() = 0;
    // The hand-over box: a second start's command line lands here.
    virtual Mailbox &txtCommand() = 0;

    // lblGrpLbl(n), n = 0 to 7: the group labels.
    virtual QString groupLabel(int n) const = 0;
    virtual void setGroupLabel(int n, const QString &label) = 0;

    // chkTips: tool tips on; mnuTips: the menu item's check mark.
    virtual bool toolTipsOn() const = 0;
    virtual bool mnuTipsChecked() const = 0;

    // The text slot of the timers master switch Check1 (while not empty, a
    // change of the scheduler's master switch is not logged).
    virtual QString timersSwitchTag() const = 0;
    virtual void setTimersSwitchTag(const QString &text) = 0;
    // Ticks or clears the timers master switch as a click would (its handler
    // runs when the value changes). False where the window has no such switch:
    // the caller then sets the scheduler's own switch.
    virtual bool setTimersMasterSwitch(bool /*on*/) { return false; }

    // The console's chosen house letter "A" to "P" (cboHouse).
    virtual QString houseLetter() const = 0;

    // The hidden option boxes the preferences read and write, by name:
    // "chkTips", "txtGrpDelayB", "chbPanicOn", "txtMinimizeSave", "txtPanicNm",
    // "txtPanicBcolor", "txtPanicMin", "txtPanicSec", "txtGroupNum";
    // nullptr for any other name.
    virtual Mailbox *optionBox(const QString &name) = 0;
    // Check marks of mnuMinToTray and mnuAssociate, caption of mnuPanicRun.
    virtual void setMnuMinToTray(bool checked) = 0;
    virtual bool mnuAssociateChecked() const = 0;
    virtual void setMnuAssociate(bool checked) = 0;
    virtual void setMnuPanicRunText(const QString &text) = 0;
};

// The main window of this run; nullptr before it is created.
MainWindowService *MainWindow();
void SetMainWindow(MainWindowService *window);
// How the main window is made: the program installs a factory; tests install
// a fake. LoadMainWindow returns the main window, creating it (hidden, its
// initialise and load handlers run) when there is none yet.
void SetMainWindowFactory(std::function<MainWindowService *()> factory);
MainWindowService *LoadMainWindow();

} // namespace qelt
