// Groups, the delayed group and the panic button of the main window.
#include "console/frmFire.h"

#include "console/frmDelay.h"
#include "core/Dialogs.h"
#include "core/Sounds.h"
#include "core/WindowHelpers.h"
#include "core/services/MacroServices.h"
#include "core/services/PrefsServices.h"
#include "logic/DataFile.h"
#include "logic/Globals.h"
#include "logic/GroupRunner.h"
#include "logic/Lang.h"
#include "logic/Transmitter.h"

#include <QAction>
#include <QCheckBox>
#include <QTimer>

namespace qelt {

namespace {
constexpr int kRecGroupsShown = 273;
} // namespace

void frmFire::GroupRun(int i, bool off)
{
    if (i < 0 || i > 7)
        return;
    QString &tagRef = off ? cmdGrpOffTag[i] : cmdGrpOnTag[i];
    const QString tag = tagRef;
    if (tag.isEmpty() && SoundsOn && isVisible())
        PlayWav(ClickSound);
    const QString keptFlashTag = tmrFlashTag;
    tmrFlashTag = QStringLiteral("run");
    tmrFlash->start();
    if (MacroEditorService *editor = MacroEditor())
        editor->clearGroupHold();

    SendGroup(ExePath, i, off);

    tmrFlashTag = keptFlashTag;
    if (tag.isEmpty() && isVisible())
        focusToFocus();
    tagRef.clear();
    tmrFlash->stop();
    setLamp(false);
}

void frmFire::cmdGrpOn_Click(int i)
{
    GroupRun(i, false);
}

void frmFire::cmdGrpOff_Click(int i)
{
    GroupRun(i, true);
}

bool frmFire::strtGroup(int sNum, const QString &sAction)
{
    // A hand-typed timer row may name a group that does not exist.
    if (sNum < 0 || sNum > 7)
        return false;
    const int off = GroupActionOff(sAction);
    if (off < 0)
        return false;
    if (off) {
        cmdGrpOffTag[sNum] = QStringLiteral("timer");
        cmdGrpOff_Click(sNum);
    } else {
        cmdGrpOnTag[sNum] = QStringLiteral("timer");
        cmdGrpOn_Click(sNum);
    }
    return true;
}

void frmFire::cmdGrp_MouseDown(int i, bool off, Qt::MouseButton button)
{
    if (button == Qt::LeftButton) {
        setLamp(true);
    } else if (button == Qt::RightButton && TimerEditOpen) {
        writeTimersMailbox(LangCap(QStringLiteral("Group")) + QLatin1Char(' ') +
                           QString::number(i + 1) +
                           (off ? QStringLiteral(" OFF") : QStringLiteral(" ON")));
    }
}

void frmFire::Command2_Click(int i)
{
    if (isVisible() && SoundsOn)
        PlayWav(ClickSound);
    const double d = DelayedGroupSeconds(ShowDelayDialog(this));
    RunDelayedGroup(d, [this, i](bool off) { GroupRun(i, off); });
}

void frmFire::cmdPanic_Click()
{
    const double total = PanicTotalSeconds(txtPanicMin.text(), txtPanicSec.text());
    const int row = PanicGroupRow(txtGroupNum.text());
    if (row == kPanicNotSetUp) {
        Info(LangCap(QStringLiteral("This button must be setup first, click OK to continue.")),
             false, false, {}, {}, true);
        if (PrefsService *prefs = Prefs())
            prefs->showPage(1);
        return;
    }
    if (row == kPanicInvalid)
        return; // a group number outside 1 to 8 names no group
    if (isVisible())
        focusToFocus();
    if (RunPanic(total, [this, row](bool off) { GroupRun(row, off); }) && SoundsOn)
        PlayWav(ClickSound);
}

void frmFire::tmrPanic_Timer()
{
    tmrPanic->stop();
    cmdPanic_Click();
}

void frmFire::ckbGroups_Click()
{
    const bool open = ckbGroups->isChecked();
    resize((open ? kGroupsOpenTwips : kGroupsClosedTwips) / kTwipsPerPixel, height());
    if (Label12)
        Label12->setVisible(!open);
    PutRec(kRecGroupsShown, open ? QStringLiteral("1") : QStringLiteral("0"));
}

void frmFire::lblGrpLbl_DblClick(int i)
{
    if (MacroEditorService *editor = MacroEditor())
        editor->showPage(1, i);
}

void frmFire::cmdCreateGr_Click()
{
    if (MacroEditorService *editor = MacroEditor())
        editor->showPage(1);
}

void frmFire::SetGroupButtonsVisible(bool visible)
{
    for (PressButton *b : Command2)
        b->setVisible(visible);
}

} // namespace qelt
