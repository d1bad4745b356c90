// Tray and window modes of the main window and the favourites view.
#include "console/frmFire.h"

#include "console/frmFavs.h"
#include "core/FileActions.h"
#include "core/FileDrops.h"
#include "core/Sounds.h"
#include "core/Splash.h"
#include "core/Tray.h"
#include "core/WindowHelpers.h"
#include "logic/FileHelpers.h"
#include "logic/Globals.h"
#include "logic/Lang.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QTimer>
#include <QUrl>

namespace qelt {

void frmFire::lblMin_Click()
{
    if (mnuMinToTray->isChecked()) {
        MinOnStart = true;
        TrayAdd(windowIcon(), TrayTipText(), this);
        mnuView->menuAction()->setVisible(false);
    } else {
        showMinimized();
        MinOnStart = false;
    }
    lblMin->setStyleSheet(QStringLiteral("color: rgb(0, 0, 0);"));
}

void frmFire::lblMin_MouseDown(Qt::MouseButton button)
{
    // The right button always sends the window to the tray.
    if (button != Qt::RightButton)
        return;
    if (SoundsOn)
        PlayWav(ZoomSound);
    TrayAdd(windowIcon(), windowTitle(), this);
    MinOnStart = true;
}

void frmFire::tmrStartUp_Timer()
{
    mnuMinOnStart->setChecked(true);
    TrayAdd(windowIcon(), windowTitle(), this);
    tmrStartUp->stop();
    TrayHideWindow(this);
}

void frmFire::ResetHoverLooks(bool full)
{
    // Mouse moves come often: only what changed is touched.
    for (EventLabel *l : {lblMin, lblExit, lblCloseGrp, Label12}) {
        if (l && !l->styleSheet().isEmpty())
            l->setStyleSheet(QString());
    }
    lblCloseGrp->setText(QStringLiteral("x"));
    if (Label12)
        Label12->setVisible(!ckbGroups->isChecked());
    if (!full)
        return;
    for (EventLabel *l : {lblShowFavs, lblMenu}) {
        QFont f = l->font();
        if (f.underline()) {
            f.setUnderline(false);
            l->setFont(f);
        }
    }
    // The lamp flasher stops unless a group run or the recorder owns it.
    if (tmrFlash->isActive() && tmrFlashTag.isEmpty())
        flashOff();
}

void frmFire::TrayMouse(int message)
{
    const int kind = TrayMsg(message);
    if (kind == 1) {
        TrayDelete();
        mnuView->menuAction()->setVisible(true);
        MinOnStart = false;
        if (!FavsView) {
            ShowRestored(this);
        } else {
            ShowRestored(&FavsWindow());
            hide();
        }
        return;
    }
    if (kind == 2)
        Popup1->popup(QCursor::pos());
    ResetHoverLooks(true);
}

void frmFire::mouseMoveEvent(QMouseEvent *event)
{
    cboHouse->setToolTip(
        toolTipsOn() ? LangTip(QStringLiteral("Click on or type letter to select House Code"))
                     : QString());
    ResetHoverLooks(true);
    QWidget::mouseMoveEvent(event);
}

void frmFire::lblShowFavs_Click()
{
    frmFavs &favs = FavsWindow();
    favs.hooks.popupMenu = [this](const QPoint &at) { Popup1->popup(at); };
    favs.hooks.setMnuFavsEnabled = [this](bool on) { mnuFavs->setEnabled(on); };
    favs.hooks.setMnuRegularEnabled = [this](bool on) { mnuRegular->setEnabled(on); };
    favs.hooks.setMnuViewVisible = [this](bool on) { mnuView->menuAction()->setVisible(on); };
    favs.hooks.mnuMinToTrayChecked = [this] { return mnuMinToTray->isChecked(); };
    favs.hooks.caption = [this] { return windowTitle(); };
    favs.hooks.brightIcon = [this] { return cmdBright->icon(); };
    favs.hooks.dimIcon = [this] { return cmdDim->icon(); };
    favs.setWindowIcon(windowIcon());
    favs.tag.clear();
    favs.Load();
    mnuFavs->setEnabled(false);
    mnuRegular->setEnabled(true);
    QFont f = lblShowFavs->font();
    f.setUnderline(false);
    lblShowFavs->setFont(f);
    FavsView = true;
    hide();
    MainView = false;
}

void frmFire::mnuRegular_Click()
{
    mnuRegular->setEnabled(false);
    mnuFavs->setEnabled(true);
    if (FavsView)
        FavsWindow().close();
    ShowRestored(this);
}

void frmFire::UnloadFavs()
{
    frmFavs *favs = FavsWindowIfCreated();
    if (!favs)
        return;
    favs->tag = QStringLiteral("Unload");
    favs->close();
}

void frmFire::ActivateFavs()
{
    frmFavs *favs = FavsWindowIfCreated();
    if (!favs || !favs->isLoaded())
        return;
    if (favs->isMinimized())
        favs->showNormal();
    favs->show();
    favs->raise();
    favs->activateWindow();
}

void frmFire::picIcon_MouseDown(Qt::MouseButton button)
{
    if (!MinOnStart) {
        show();
        if (isVisible())
            focusToFocus();
    }
    if (button == Qt::LeftButton)
        ShowAbout();
    else
        Popup1->popup(QCursor::pos());
}

void frmFire::DropOnWindow(const QString &path)
{
    if (path.isEmpty())
        return;
    if (IsMacroShortcut(path))
        RunFile(path);
    else
        txtCommand().setText(path);
}

void frmFire::DropOnLogo(const QString &path)
{
    if (path.isEmpty())
        return;
    if (IsShortcut(path))
        RunFile(path);
    else
        txtCommand().setText(path);
}

void frmFire::dragEnterEvent(QDragEnterEvent *event)
{
    if (event->mimeData()->hasUrls())
        AcceptDropAsCopy(event);
}

void frmFire::dropEvent(QDropEvent *event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.isEmpty() || !urls.first().isLocalFile() || !AcceptDropAsCopy(event))
        return;
    const QString path = urls.first().toLocalFile();
    if (picIcon->geometry().contains(event->position().toPoint()))
        DropOnLogo(path);
    else
        DropOnWindow(path);
}

} // namespace qelt
