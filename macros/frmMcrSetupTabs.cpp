// What surrounds the editor's pages: the tab strip's mouse handling and
// page colours, the pop-up menu pop1, the active-folder label with its
// half-second supervisor, and the captions that act on a click.

#include "macros/frmMcrSetup.h"

#include "core/services/ConsoleServices.h"
#include "logic/Lang.h"
#include "logic/ProgramFolder.h"
#include "macros/EditorEvents.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCursor>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>

namespace qelt {

namespace {

// &HE0E0E0 behind the macro page, the system button face behind the others.
void SetPageBackground(QWidget *window, int page)
{
    QPalette palette = window->palette();
    const QColor back =
        page == 0 ? QColor(0xE0, 0xE0, 0xE0) : QApplication::palette().color(QPalette::Button);
    palette.setColor(QPalette::Window, back);
    window->setPalette(palette);
    window->setAutoFillBackground(true);
}

} // namespace

void frmMcrSetup::buildTabsAndMenus()
{
    pop1 = new QMenu(LangCap(QStringLiteral("Macro-Menu")), this);
    pop1->setObjectName(QStringLiteral("pop1"));
    auto item = [this](QAction *&action, const char *name, const char *caption) {
        action = pop1->addAction(LangCap(QString::fromUtf8(caption)));
        action->setObjectName(QString::fromLatin1(name));
    };
    item(mnuOpen, "mnuOpen", "Open Macro");
    item(mnuPrintConts, "mnuPrintConts", "Print the Loaded Macro");
    item(mnuPreview, "mnuPreview", "Print Preview");
    item(mnuSound, "mnuSound", "Sound");
    item(mnuOpenLid, "mnuOpenLid", "Open quick edit box");
    item(mnuCloseLid, "mnuCloseLid", "Close quick edit box");
    mnuLine1 = pop1->addSeparator();
    mnuLine1->setObjectName(QStringLiteral("mnuLine1"));
    item(mnuHelp, "mnuHelp", "Help");
    item(mnuCancel, "mnuCancel", "Cancel");
    item(mnuExit, "mnuExit", "Exit");

    connect(mnuOpen, &QAction::triggered, this, [this] { mnuOpen_Click(); });
    connect(mnuPrintConts, &QAction::triggered, this, [this] { mnuPrintConts_Click(); });
    connect(mnuPreview, &QAction::triggered, this, [this] { mnuPreview_Click(); });
    connect(mnuOpenLid, &QAction::triggered, this, [this] { lblLid_Click(); });
    connect(mnuCloseLid, &QAction::triggered, this, [this] { mnuCloseLid_Click(); });
    connect(mnuHelp, &QAction::triggered, this, [this] { cmdHelp_Click(); });
    connect(mnuExit, &QAction::triggered, this, [this] { cmdClose_Click(); });

    // Right button on these pops the menu up (the window's bare area and
    // the pages included); on the tab strip it depends on the page.
    QList<QWidget *> menuTargets = {this,   Frame1,      Grid1,           Label1,
                                    Label3, txtFileName, sTab->widget(0), sTab->widget(2)};
    if (QWidget *recordBox = chkCroRecord->parentWidget(); recordBox && recordBox != sTab)
        menuTargets << recordBox;
    for (QWidget *w : menuTargets) {
        w->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(w, &QWidget::customContextMenuRequested, this, [this] {
            if (sTab->currentIndex() != 1)
                popupMenu();
        });
    }

    OnEvent(sTab->tabBar(), [this](QEvent *event) {
        if (event->type() == QEvent::MouseButtonPress)
            sTab_MouseDown(static_cast<QMouseEvent *>(event)->button());
        else if (event->type() == QEvent::MouseButtonRelease)
            QTimer::singleShot(0, this, [this] { sTab_MouseUp(); });
        // The press has already decided about the menu.
        return event->type() == QEvent::ContextMenu;
    });
    OnEvent(lblPath, [this](QEvent *event) {
        if (event->type() == QEvent::MouseButtonDblClick) {
            lblPath_DblClick();
            return true;
        }
        return false;
    });
    OnEvent(Label10, [this](QEvent *event) {
        if (event->type() == QEvent::MouseButtonRelease)
            cbGroup->setFocus();
        return false;
    });
    OnEvent(Label14, [this](QEvent *event) {
        if (event->type() == QEvent::MouseButtonRelease)
            mnuCloseLid_Click();
        return false;
    });
    Label17->setMouseTracking(true);
    OnEvent(Label17, [this](QEvent *event) {
        if (event->type() == QEvent::Enter || event->type() == QEvent::MouseMove) {
            MainWindowService *main = MainWindow();
            Label17->setToolTip(main && main->toolTipsOn()
                                    ? LangTip(QStringLiteral("Timing between commands. "
                                                             "Increase if any commands are "
                                                             "missed."))
                                    : QString());
        }
        return false;
    });

    tmrManage = new QTimer(this);
    tmrManage->setObjectName(QStringLiteral("tmrManage"));
    tmrManage->setInterval(500);
    connect(tmrManage, &QTimer::timeout, this, [this] { tmrManage_Timer(); });
    tmrManage->start();
    SetPageBackground(this, 0);
}

void frmMcrSetup::popupMenu()
{
    if (pop1->isEnabled())
        pop1->popup(QCursor::pos());
}

void frmMcrSetup::sTab_MouseDown(Qt::MouseButton button)
{
    if (button == Qt::RightButton && sTab->currentIndex() != 1)
        popupMenu();
    refreshFile1();
    lblPath->setText(MacroFolder);
    if (File2)
        File2->hide();
    if (Label18)
        Label18->hide();
    lblPath->show();
    if (Command2Tag == QLatin1String("B"))
        Command2_Click();
}

void frmMcrSetup::sTab_MouseUp()
{
    const int page = sTab->currentIndex();
    SetPageBackground(this, page);
    pop1->setEnabled(page != 1);
    if (page == 0)
        mnuPrintConts->setEnabled(true);
    else if (page == 2)
        mnuPrintConts->setEnabled(false);
}

void frmMcrSetup::tmrManage_Timer()
{
    const bool elsewhere = lblPath->text() != ProgramFolder();
    lblPath->setStyleSheet(elsewhere ? QStringLiteral("color: #ff0000")
                                     : QStringLiteral("color: #000000"));
    lblPath->setToolTip(LangTip(
        elsewhere ? QStringLiteral("Double click to set active folder back to program folder")
                  : QStringLiteral("Active folder")));
    const int page = sTab->currentIndex();
    if (page == 1) {
        pop1->setEnabled(false);
    } else {
        for (QAction *a : {mnuCloseLid, mnuOpenLid, mnuOpen})
            a->setEnabled(page == 0);
    }
}

void frmMcrSetup::lblPath_DblClick()
{
    // Only while the label is red (another folder is active).
    if (!lblPath->styleSheet().contains(QLatin1String("#ff0000")))
        return;
    MacroFolder = ProgramFolder();
    refreshFile1();
    lblPath->setText(MacroFolder);
    tmrManage_Timer();
}

void frmMcrSetup::mnuOpen_Click()
{
    cmdOpenM_Click();
    refreshFile1();
    lblPath->setText(MacroFolder);
}

} // namespace qelt
