// The main window's hand-over of command lines, its macro player, the
// closing pattern, the lamp and the timer indicator.
#include "console/frmFire.h"
#include "logic/MacroPlayer.h"

#include "core/WindowHelpers.h"

#include "core/Sounds.h"
#include "core/services/PrefsServices.h"
#include "core/services/SchedulerServices.h"
#include "logic/Globals.h"
#include "logic/Lang.h"
#include "logic/SerialLink.h"
#include "logic/Transmitter.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QTimer>

namespace qelt {

void frmFire::txtCommand_Change(const QString &text)
{
    if (text.contains(QLatin1Char('"'))) {
        // Written back without its quotes; that change runs this again.
        m_txtCommand.setText(QString(text).remove(QLatin1Char('"')));
        return;
    }
    switch (ClassifyHandOver(text)) {
    case HandOverKind::PlayMacro:
        // Queued, and the box emptied at once, so that a second hand-over
        // (even of the same file) while one plays is kept and played next.
        m_croQueue.append(text);
        m_txtCommand.setText(QString());
        if (!m_exiting)
            tmrAcro->start();
        break;
    case HandOverKind::Uninstall:
        if (UninstallService *unst = Uninstaller())
            unst->showUninstaller();
        m_txtCommand.setText(QString());
        break;
    case HandOverKind::Previous:
        if (MainView) {
            if (isMinimized())
                showNormal();
            show();
            raise();
            activateWindow();
        }
        if (FavsView)
            ActivateFavs();
        m_txtCommand.setText(QString());
        break;
    case HandOverKind::Ignore:
        break;
    }
}

bool frmFire::portReady() const
{
    // A macro named on the command line waits for the start to open the port.
    return m_afterStartDone && m_link && m_link->portOpen();
}

void frmFire::tmrAcro_Timer()
{
    if (m_exiting || AbortSend) {
        tmrAcro->stop();
        m_croQueue.clear();
        showMacroWaiting(false);
        return;
    }
    if (m_croPlaying)
        return; // tried again on the next tick
    if (!portReady()) {
        // Once the start has tried the port, a macro that cannot play is
        // shown as waiting rather than held back unseen.
        showMacroWaiting(m_afterStartDone && !m_croQueue.isEmpty());
        return;
    }
    showMacroWaiting(false);
    tmrAcro->stop();
    playNextMacro();
}

void frmFire::showMacroWaiting(bool waiting)
{
    if (waiting == m_macroWaiting)
        return;
    m_macroWaiting = waiting;
    if (waiting) {
        lblCaption->setText(LangCap(QStringLiteral("Macro waits for port")));
        lblCaption->setStyleSheet(QStringLiteral("color: #b00000;"));
        lblCaption->setToolTip(
            LangTip(QStringLiteral("The macro plays as soon as the com port opens (Port Setup)")));
    } else {
        lblCaption->setText(windowTitle());
        lblCaption->setStyleSheet(QStringLiteral("font-weight: bold;"));
        lblCaption->setToolTip(QString());
    }
}

void frmFire::playNextMacro()
{
    m_croPlaying = true;
    while (!m_croQueue.isEmpty() && !AbortSend && !m_exiting) {
        const QString path = m_croQueue.takeFirst();
        CroSend(path);
        CurrentWaitClock().processEvents();
    }
    m_croPlaying = false;
}

void frmFire::CroSend(const QString &sFilename)
{
    MacroPlayHooks hooks;
    hooks.lamp = [this](bool lit) { setLamp(lit); };
    hooks.tick = [] {
        TimersService *timers = Timers();
        if (SoundsOn && timers && timers->chkMsound())
            PlayWav(TickSound);
    };
    hooks.loopSwitch = [](int value) {
        if (TimersService *timers = Timers()) {
            timers->ensureLoaded();
            timers->setChkEnableLoop(value);
        }
    };
    hooks.closingPattern = [this] { frmReturn(); };
    hooks.finished = [this] {
        setLamp(false);
        CurrentWaitClock().processEvents();
        cmdExit->setEnabled(true);
        lblExit->setEnabled(true);
    };
    PlayMacroFile(sFilename, hooks);
}

void frmFire::frmReturn()
{
    SendClosingPattern();
}

// ------------------------------------------------- lamp and indicator

void frmFire::setLamp(bool lit)
{
    m_lampPicture = lit ? 2 : 1;
    imgLight->setPixmap(m_images[m_lampPicture]);
}

void frmFire::tmrFlash_Timer()
{
    setLamp(m_flashLit);
    m_flashLit = !m_flashLit;
    // Whoever stops the flasher leaves the lamp out.
    if (!tmrFlash->isActive())
        setLamp(false);
}

void frmFire::flashOff()
{
    tmrFlash->stop();
    setLamp(false);
}

void frmFire::setRecordingFlash(bool on)
{
    if (on) {
        tmrFlashTag = QStringLiteral("Recording");
        tmrFlash->start();
    } else {
        tmrFlash->stop();
        tmrFlashTag.clear();
        setLamp(false);
    }
}

void frmFire::setTimerIndicator(bool on)
{
    lblIndicate->setVisible(on);
    if (on) {
        if (!tmrTindicate->isActive())
            tmrTindicate->start();
    } else {
        tmrTindicate->stop();
        lblIndicate->setText(QString());
    }
}

void frmFire::tmrTindicate_Timer()
{
    m_indicatorOn = !m_indicatorOn;
    lblIndicate->setText(m_indicatorOn ? LangCap(QStringLiteral("Timer Running")) : QString());
}

// ------------------------------------------------- small service members

QString frmFire::groupLabel(int n) const
{
    if (n < 0 || n > 7)
        return {};
    return lblGrpLbl[n]->text();
}

void frmFire::setGroupLabel(int n, const QString &label)
{
    if (n >= 0 && n <= 7) {
        lblGrpLbl[n]->setText(label);
        FitCaptions(this);
    }
}

bool frmFire::toolTipsOn() const
{
    return chkTips.text() == QLatin1String("1");
}

bool frmFire::mnuTipsChecked() const
{
    return mnuTips->isChecked();
}

bool frmFire::setTimersMasterSwitch(bool on)
{
    Check1->setChecked(on);
    return true;
}

QString frmFire::houseLetter() const
{
    return cboHouse->currentText();
}

} // namespace qelt
