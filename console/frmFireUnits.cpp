// The main window's house code, unit bank and descriptions, and its unit and
// ALL commands.
#include "console/frmFire.h"
#include "logic/UnitRecords.h"

#include "core/Dialogs.h"
#include "core/Sounds.h"
#include "core/WindowHelpers.h"
#include "core/services/MacroServices.h"
#include "core/services/SchedulerServices.h"
#include "logic/DataFile.h"
#include "logic/ErrorLog.h"
#include "logic/Globals.h"
#include "logic/Lang.h"
#include "logic/RfFrame.h"
#include "logic/Transmitter.h"
#include "logic/X10Codes.h"

#include <QComboBox>
#include <QEvent>
#include <QLineEdit>
#include <QTimer>

namespace qelt {

namespace {
const char *const kModule = "frmFire";
} // namespace

// ------------------------------------------------- house code and bank

void frmFire::FillHouseCodes()
{
    cboHouse->clear();
    for (int i = 0; i < 16; ++i)
        cboHouse->addItem(HouseLetter(i));
    cboHouse->setCurrentIndex(-1);
}

void frmFire::FillDescs(int firstUnit)
{
    for (int i = 0; i < 8; ++i) {
        lblCell[i]->setText(QString::number(firstUnit + i));
        lblCell[i]->raise();
    }
}

void frmFire::LoadDescs()
{
    const int index = cboHouse->currentIndex();
    if (index < 0)
        return;
    const int base = index * 16 + 1 + (UnitBank ? 8 : 0);
    for (int i = 0; i < 8; ++i)
        lblDescription[i]->setText(DescriptionOf(GetRec(base + i)));
    // A description of the full 30 characters is shown whole.
    FitCaptions(this);
}

void frmFire::cboHouse_Click()
{
    // An open description edit belongs to the house and bank it was opened
    // under: store it there before the rows change.
    if (m_editRow >= 0)
        txtDescription_Commit();
    const int index = cboHouse->currentIndex();
    HouseBits = GetHouseBits(index + 1, UnitBank);
    if (index >= 0)
        PutRec(RecHouse, QString::number(index));
    LoadDescs();
}

void frmFire::ImageSlide_Click()
{
    if (m_editRow >= 0)
        txtDescription_Commit();
    if (UnitBank) {
        m_slidePicture = 3;
        UnitBank = false;
    } else {
        m_slidePicture = 4;
        UnitBank = true;
    }
    ImageSlide->setPixmap(m_images[m_slidePicture]);
    FillDescs(UnitBank ? 9 : 1);
    cboHouse_Click();
    if (isVisible() && SoundsOn)
        PlayWav(ClickSound);
    PutRec(RecUnitBank, UnitBank ? QStringLiteral("True") : QStringLiteral("False"));
    LoadDescs();
}

// ------------------------------------------------- descriptions

void frmFire::lblDescription_DblClick(int index)
{
    if (index < 0 || index > 7)
        return;
    if (m_editRow >= 0 && m_editRow != index)
        txtDescription_Commit();
    QLabel *l = lblDescription[index];
    txtDescription->setFont(l->font());
    txtDescription->setGeometry(l->x(), l->y(), l->width() - 3, l->height());
    txtDescription->setText(l->text().left(30));
    m_editRow = index;
    m_editHouse = cboHouse->currentIndex();
    m_editBank = UnitBank;
    txtDescription->show();
    txtDescription->raise();
    txtDescription->setSelection(0, txtDescription->text().length());
    txtDescription->setFocus();
}

void frmFire::txtDescription_Commit()
{
    if (m_editRow < 0 || m_committing)
        return;
    m_committing = true;
    const int row = m_editRow;
    const int house = m_editHouse;
    const int unit = RowUnit(row, m_editBank);
    const QString text = txtDescription->text();
    m_editRow = -1;
    txtDescription->hide();
    if (Focus)
        Focus->setFocus();
    if (house >= 0) {
        // The label shows the text only while its row still shows that unit.
        if (house == cboHouse->currentIndex() && m_editBank == UnitBank) {
            lblDescription[row]->setText(text);
            FitCaptions(this);
        }
        // The label keeps what was typed; the user learns it is not stored.
        if (!PutRec(DeviceRec(house, unit), DeviceRecText(HouseLetter(house), unit, text)))
            Info(LangCap(QStringLiteral("The description could not be saved:")) +
                     QStringLiteral(" ") + HouseLetter(house) + QString::number(unit) +
                     QStringLiteral(" ") + text,
                 true, false, LangCap(QStringLiteral("Not saved")), QStringLiteral("OK"), false);
    }
    m_committing = false;
}

bool frmFire::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == txtDescription) {
        if (event->type() == QEvent::FocusOut && m_editRow >= 0)
            txtDescription_Commit();
        else if (event->type() == QEvent::Enter || event->type() == QEvent::ToolTip)
            setToolTipFor(txtDescription, LangTip(QStringLiteral("Press ENTER to save")));
    }
    return QWidget::eventFilter(watched, event);
}

// ------------------------------------------------- tool tips

void frmFire::setToolTipFor(QWidget *w, const QString &tip)
{
    w->setToolTip(toolTipsOn() ? tip : QString());
}

void frmFire::updateTip(QObject *control)
{
    auto *w = qobject_cast<QWidget *>(control);
    if (!w)
        return;
    for (int i = 0; i < 8; ++i) {
        const QString unit = QString::number(RowUnit(i, UnitBank));
        if (w == cmdON[i]) {
            setToolTipFor(w, LangTip(QStringLiteral("Turn Unit")) + unit + QLatin1Char(' ') +
                                 LangCap(QStringLiteral("ON")));
            return;
        }
        if (w == cmdOFF[i]) {
            setToolTipFor(w, LangTip(QStringLiteral("Turn Unit")) + unit + QLatin1Char(' ') +
                                 LangCap(QStringLiteral("OFF")) + QLatin1Char(' '));
            return;
        }
        if (w == lblDescription[i]) {
            setToolTipFor(w, LangTip(QStringLiteral("Double Click to Type, Press Enter to Save")));
            return;
        }
    }
    const struct {
        QWidget *control;
        const char *tip;
    } tips[] = {
        {cmdAllOff, "All Lights Off"},
        {cmdAllOn, "All Lights On"},
        {cmdAllUOff, "All Units Off"},
        {cmdBright, "Brighten last selected light"},
        {cmdDim, "Dim last selected light"},
        {cmdExit, "Close Program"},
        {lblExit, "Close Program"},
        {cmdHelp, "Click for Help"},
        {cmdMacro, "Run a Macro (right click for setup)"},
        {cmdMacroSetup, "Create Macros"},
        {cmdSetup, "Program Setup and Preferences"},
    };
    for (const auto &t : tips) {
        if (w == t.control) {
            setToolTipFor(w, LangTip(QLatin1String(t.tip)));
            return;
        }
    }
    if (w == ImageSlide || w == lblSlider) {
        // Not cleared while tips are off.
        if (toolTipsOn())
            w->setToolTip(LangTip(UnitBank ? QStringLiteral("Click for Units 1 thru 8")
                                           : QStringLiteral("Click for Units 9 thru 16")));
    }
}

// ------------------------------------------------- unit commands

void frmFire::focusToFocus()
{
    if (Focus)
        Focus->setFocus();
}

void frmFire::clickSound(bool skipWhenRecording, bool groupRecordingToo)
{
    if (!isVisible() || !SoundsOn)
        return;
    if (skipWhenRecording) {
        if (MacroEditorService *editor = MacroEditor()) {
            if (editor->macroRecording())
                return;
            if (groupRecordingToo && editor->groupRecording())
                return;
        }
    }
    PlayWav(ClickSound);
}

void frmFire::writeTimersMailbox(const QString &text)
{
    if (!TimerEditOpen)
        return;
    if (TimersService *timers = Timers())
        timers->consoleCommandBox().setText(text);
}

void frmFire::sendFrame(const QString &code)
{
    // A code that is not a full command (no house chosen yet) is not sent;
    // SendCode writes it to the error log.
    if (!NoSend)
        SendCode(code, QStringLiteral("cmdSend"), QLatin1String(kModule));
}

QString frmFire::sendUnitCommand(int index, int action, const QString &procName)
{
    UnitBits = UnitCodes(index, action);
    const QString code = HouseBits + UnitBits;
    if (!IsCmdCode(code)) {
        LogErr(procName, QLatin1String(kModule), 5, QStringLiteral("No house code chosen"));
        return {};
    }
    if (!NoSend)
        SendBits(RfFrame(code));
    // A "0" first, so that the same command twice still reaches the recorder.
    m_lblGrp.setText(QStringLiteral("0"));
    m_lblGrp.setText(code);
    return code;
}

void frmFire::cmdON_MouseDown(int index, Qt::MouseButton button)
{
    if (index < 0 || index > 7)
        return;
    if (button == Qt::LeftButton) {
        setLamp(false);
        const QString code = sendUnitCommand(index, 0, QStringLiteral("cmdON_MouseDown"));
        if (!code.isEmpty())
            m_lblGrpSave.setText(code);
        // The send lets events run: a quick click may have been released
        // (and its mouse-up and click handled) meanwhile; the flash is then over.
        if (!cmdON[index]->isDown())
            return;
    }
    tmrFlash->start();
    setLamp(true);
    if (button == Qt::RightButton)
        writeTimersMailbox(houseLetter() + QLatin1Char(' ') +
                           QString::number(RowUnit(index, UnitBank)) + QStringLiteral(" On"));
}

void frmFire::cmdOFF_MouseDown(int index, Qt::MouseButton button)
{
    if (index < 0 || index > 7)
        return;
    if (button == Qt::LeftButton) {
        setLamp(true);
        sendUnitCommand(index, 1, QStringLiteral("cmdOFF_MouseDown"));
        if (!cmdOFF[index]->isDown()) {
            setLamp(false);
            return;
        }
    }
    tmrFlash->start();
    if (button == Qt::RightButton)
        writeTimersMailbox(houseLetter() + QLatin1Char(' ') +
                           QString::number(RowUnit(index, UnitBank)) + QStringLiteral(" Off"));
}

void frmFire::cmdON_MouseUp(int, Qt::MouseButton)
{
    tmrFlash->stop();
    setLamp(false);
    SendBusy = false;
}

void frmFire::cmdOFF_MouseUp(int, Qt::MouseButton)
{
    tmrFlash->stop();
    setLamp(false);
    SendBusy = false;
}

void frmFire::cmdON_Click(int)
{
    if (isVisible())
        focusToFocus();
    clickSound(true, true);
    tmrFlash->stop();
    setLamp(false);
}

void frmFire::cmdOFF_Click(int)
{
    if (isVisible())
        focusToFocus();
    clickSound(true, false);
    tmrFlash->stop();
    setLamp(false);
}

// ------------------------------------------------- ALL commands

void frmFire::cmdAll_Click(const QString &functionBits)
{
    const QString house = HouseBits.left(5) + QStringLiteral("000");
    UnitBits = UnitCodes(8, 0);
    const QString code = house + functionBits;
    AllPacket = RfFrame(code);
    sendFrame(code);
    if (isVisible())
        focusToFocus();
    // Set without a "0" first: the same ALL command twice in a row reaches
    // the recorder once.
    if (IsCmdCode(code))
        m_lblGrp.setText(code);
    clickSound(true, false);
}

void frmFire::cmdAll_MouseDown(const QString &word, Qt::MouseButton button)
{
    if (button == Qt::LeftButton)
        setLamp(true);
    if (button == Qt::RightButton)
        writeTimersMailbox(houseLetter() + QStringLiteral(" ALL ") + word);
    tmrFlash->start();
}

void frmFire::cmdAll_MouseUp()
{
    setLamp(false);
    tmrFlash->stop();
}

// ------------------------------------------------- BRIGHT and DIM

void frmFire::repeatLoop(bool bright, Qt::MouseButton button)
{
    PressButton *pressed = bright ? cmdBright : cmdDim;
    HoldRepeat = true;
    QString house = HouseBits.left(5) + QStringLiteral("000");
    while (HoldRepeat) {
        if (button == Qt::LeftButton) {
            if (bright)
                house = HouseBits.left(5) + QStringLiteral("000");
            setLamp(true);
            UnitBits = UnitCodes(8, bright ? 0 : 1);
            const QString code = house + UnitBits;
            AllPacket = RfFrame(code);
            if (bright)
                sendFrame(code);
            if (IsCmdCode(code)) {
                m_lblGrp.setText(QStringLiteral("0"));
                m_lblGrp.setText(code);
            }
            if (!bright)
                sendFrame(code);
        }
        tmrFlash->start();
        Delay(0.2);
        // Once exit has begun the loop sends nothing more; a press whose
        // release was lost (the button is no longer down) ends it too.
        if (AbortSend || m_exiting)
            break;
        if (button == Qt::LeftButton && !pressed->isDown())
            break;
    }
    HoldRepeat = false;
    // The release may have been handled while the pass was still sending
    // (before it started the flasher again): the lamp goes out here in any
    // case, so it never keeps blinking after the button is up.
    tmrFlash->stop();
    setLamp(false);
    // A dialog opened by the press (the recorder's pause dialog) takes the
    // release, and its Continue ends the repeat: the button must not stay
    // drawn pressed.
    pressed->setDown(false);
}

void frmFire::cmdBright_MouseDown(Qt::MouseButton button)
{
    repeatLoop(true, button);
}

void frmFire::cmdDim_MouseDown(Qt::MouseButton button)
{
    repeatLoop(false, button);
}

void frmFire::cmdRepeat_MouseUp(Qt::MouseButton)
{
    HoldRepeat = false;
    tmrFlash->stop();
    setLamp(false);
    SendBusy = false;
}

void frmFire::cmdRepeat_Click()
{
    if (isVisible())
        focusToFocus();
    clickSound(true, false);
}

} // namespace qelt
