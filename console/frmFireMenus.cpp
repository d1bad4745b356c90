// The main window's pop-up menu, its option switches and the wiring of the
// group, menu and window-mode handlers.
#include "console/frmFire.h"

#include "console/frmFavs.h"
#include "core/Dialogs.h"
#include "core/FileActions.h"
#include "core/FileDrops.h"
#include "core/FileTypes.h"
#include "core/PortDialog.h"
#include "core/Shortcuts.h"
#include "core/Sounds.h"
#include "core/Splash.h"
#include "core/Tray.h"
#include "core/services/MacroServices.h"
#include "core/services/PrefsServices.h"
#include "core/services/SchedulerServices.h"
#include "logic/DataFile.h"
#include "logic/ErrorLog.h"
#include "logic/FileHelpers.h"
#include "logic/Globals.h"
#include "logic/GroupRunner.h"
#include "logic/Lang.h"
#include "logic/ProgramFolder.h"
#include "logic/Settings.h"
#include "logic/Transmitter.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>

#include <functional>

namespace qelt {

namespace {

// Mouse events of a control that has no signals of its own for them
// (the check boxes). The mouse-up handler runs after the control has taken
// its own release, so that a handler moving the focus elsewhere cannot
// cancel the click; presses of other buttons than the left one stay with
// the control instead of reaching the window (whose right press opens the
// pop-up menu and takes the release away).
class MouseHook : public QObject {
public:
    using Handler = std::function<void(QEvent::Type, Qt::MouseButton)>;
    MouseHook(QObject *target, Handler handler) : QObject(target), m_handler(std::move(handler))
    {
        target->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::MouseButtonPress: {
            const Qt::MouseButton button = static_cast<QMouseEvent *>(event)->button();
            m_handler(event->type(), button);
            if (button != Qt::LeftButton) {
                event->accept();
                return true;
            }
            break;
        }
        case QEvent::MouseButtonRelease: {
            const Qt::MouseButton button = static_cast<QMouseEvent *>(event)->button();
            // QObject::event is public: the control handles its release here,
            // before the handler runs.
            watched->event(event);
            m_handler(event->type(), button);
            event->accept();
            return true;
        }
        case QEvent::Enter:
        case QEvent::MouseMove:
            m_handler(QEvent::MouseMove, Qt::NoButton);
            break;
        default:
            break;
        }
        return false;
    }

private:
    Handler m_handler;
};

const char *const kTitle = "Orvendale";

} // namespace

bool frmFire::timerIndicatorShown() const
{
    return lblIndicate && !lblIndicate->isHidden();
}

QString frmFire::TrayTipText() const
{
    return windowTitle() + StatusTip + timersSwitchTag();
}

void frmFire::RefreshTrayTip()
{
    frmFavs *favs = FavsWindowIfCreated();
    QWidget *window = (FavsView && favs) ? static_cast<QWidget *>(favs) : this;
    TrayModify(window->windowIcon(), TrayTipText(), window);
}

void frmFire::SetupGroupsPanicMenusModes()
{
    setMouseTracking(true);
    AcceptFileDrops(this);

    // Controls of the group panel that the layout leaves to this code.
    Label12 = new EventLabel(QStringLiteral("Show Groups"), this);
    Label12->setObjectName(QStringLiteral("Label12"));
    Label12->setGeometry(108, lblShowFavs->y(), 90, 16);
    Label12->setCursor(Qt::PointingHandCursor);
    cmdCreateGr = new PressButton(QStringLiteral("Setup Groups"), this);
    cmdCreateGr->setObjectName(QStringLiteral("cmdCreateGr"));
    cmdCreateGr->setGeometry(lblGrpLbl[0]->x(), cmdBright->y(), 132, 22);
    cmdCreateGr->setFocusPolicy(Qt::TabFocus);

    // The end of the pop-up menu.
    mnuUpdate = Popup1->addAction(QStringLiteral("Check Online for Upgrade"));
    mnuUpdate->setObjectName(QStringLiteral("mnuUpdate"));
    mnuAbout = Popup1->addAction(QStringLiteral("About Orvendale"));
    mnuAbout->setObjectName(QStringLiteral("mnuAbout"));
    mnuCancel = Popup1->addAction(QStringLiteral("Cancel"));
    mnuCancel->setObjectName(QStringLiteral("mnuCancel"));

    connectGroupButtons();
    connectPanicAndGroupPanel();
    connectOptionHolders();
    connectTimersSwitch();
    connectMenuCommands();
    connectWindowModes();
}

// The eight groups' ON, OFF and auto-off buttons and their labels.
void frmFire::connectGroupButtons()
{
    for (int i = 0; i < 8; ++i) {
        connect(cmdGrpOn[i], &QPushButton::clicked, this, [this, i] { cmdGrpOn_Click(i); });
        connect(cmdGrpOff[i], &QPushButton::clicked, this, [this, i] { cmdGrpOff_Click(i); });
        connect(cmdGrpOn[i], &PressButton::mouseDown, this,
                [this, i](Qt::MouseButton b) { cmdGrp_MouseDown(i, false, b); });
        connect(cmdGrpOff[i], &PressButton::mouseDown, this,
                [this, i](Qt::MouseButton b) { cmdGrp_MouseDown(i, true, b); });
        connect(Command2[i], &QPushButton::clicked, this, [this, i] { Command2_Click(i); });
        connect(lblGrpLbl[i], &EventLabel::doubleClicked, this,
                [this, i] { lblGrpLbl_DblClick(i); });
        const QString number = QString::number(i + 1);
        connect(cmdGrpOn[i], &PressButton::mouseMoved, this, [this, i, number] {
            setToolTipFor(cmdGrpOn[i], LangTip(QStringLiteral("Turn Group")) + number +
                                           QLatin1Char(' ') + LangCap(QStringLiteral("ON")) +
                                           QLatin1Char(' '));
        });
        connect(cmdGrpOff[i], &PressButton::mouseMoved, this, [this, i, number] {
            setToolTipFor(cmdGrpOff[i], LangTip(QStringLiteral("Turn Group")) + number +
                                            QLatin1Char(' ') + LangCap(QStringLiteral("OFF")) +
                                            QLatin1Char(' '));
        });
        connect(Command2[i], &PressButton::mouseMoved, this, [this, i, number] {
            setToolTipFor(Command2[i],
                          LangTip(QStringLiteral("Turn Group")) + number + QLatin1Char(' ') +
                              LangCap(QStringLiteral("ON")) + QLatin1Char(' ') +
                              LangTip(QStringLiteral("-- then auto-OFF after the delay you set.")));
        });
        connect(lblGrpLbl[i], &EventLabel::mouseMoved, this, [this, i] {
            setToolTipFor(lblGrpLbl[i],
                          LangTip(QStringLiteral("Double Click to change or update")));
        });
    }
}

// The panic button and showing or hiding the group panel.
void frmFire::connectPanicAndGroupPanel()
{
    connect(cmdPanic, &QPushButton::clicked, this, [this] { cmdPanic_Click(); });
    connect(cmdPanic, &PressButton::mouseUp, this, [](Qt::MouseButton b) {
        if (b == Qt::RightButton) {
            if (PrefsService *prefs = Prefs())
                prefs->showPage(1);
        }
    });
    connect(cmdPanic, &PressButton::mouseMoved, this, [this] {
        setToolTipFor(cmdPanic,
                      LangTip(QStringLiteral("Run 'Panic' Routine (right click for setup)")));
    });
    connect(tmrPanic, &QTimer::timeout, this, [this] { tmrPanic_Timer(); });
    connect(cmdCreateGr, &QPushButton::clicked, this, [this] { cmdCreateGr_Click(); });
    connect(ckbGroups, &QCheckBox::toggled, this, [this] { ckbGroups_Click(); });
    connect(Label12, &EventLabel::clicked, this, [this] { ckbGroups->setChecked(true); });
    connect(lblCloseGrp, &EventLabel::clicked, this, [this] {
        ckbGroups->setChecked(false);
        Label12->show();
    });
    connect(Label12, &EventLabel::mouseMoved, this, [this] {
        setToolTipFor(Label12, LangTip(QStringLiteral("Show Groups")));
        Label12->setStyleSheet(QStringLiteral("color: rgb(255, 0, 0);"));
    });
    connect(lblCloseGrp, &EventLabel::mouseMoved, this, [this] {
        setToolTipFor(lblCloseGrp, LangTip(QStringLiteral("Hide Groups")));
        lblCloseGrp->setStyleSheet(QStringLiteral("color: rgb(255, 0, 0);"));
        lblCloseGrp->setText(QStringLiteral("<-"));
    });
    new MouseHook(ckbGroups, [this](QEvent::Type type, Qt::MouseButton b) {
        if (type == QEvent::MouseMove) {
            setToolTipFor(ckbGroups,
                          LangTip(QStringLiteral("Show Groups (right click for setup)")));
        } else if (type == QEvent::MouseButtonRelease) {
            if (b == Qt::RightButton) {
                if (MacroEditorService *editor = MacroEditor())
                    editor->showPage(1);
            } else if (b == Qt::LeftButton) {
                focusToFocus();
            }
        }
    });
}

// The mailboxes other windows set: panic caption, colour and visibility,
// the delay buttons and the tool-tip option.
void frmFire::connectOptionHolders()
{
    txtPanicNm.setHandler([this](const QString &text) {
        cmdPanic->setText(text);
        mnuPanicRun->setText(text + QLatin1Char(' ') + LangCap(QStringLiteral("(Run)")));
    });
    txtPanicBcolor.setHandler([this](const QString &text) {
        const PanicRgb c = PanicBackColour(text);
        cmdPanic->setStyleSheet(QStringLiteral("background-color: rgb(%1, %2, %3);")
                                    .arg(c.red)
                                    .arg(c.green)
                                    .arg(c.blue));
    });
    txtGrpDelayB.setHandler([this](const QString &text) {
        if (text == QLatin1String("0"))
            SetGroupButtonsVisible(false);
        else if (text == QLatin1String("1"))
            SetGroupButtonsVisible(true);
    });

    chkTips.setHandler([this](const QString &text) {
        if (text == QLatin1String("1")) {
            mnuTips->setChecked(true);
            mnuTips->setText(LangCap(QStringLiteral("Show Tool Tips")));
        } else if (text == QLatin1String("0")) {
            mnuTips->setChecked(false);
        }
    });
    chbPanicOn.setHandler([this](const QString &text) {
        bool ok = false;
        const double v = text.trimmed().toDouble(&ok);
        if (!ok)
            return;
        if (v == 1) {
            cmdPanic->show();
            mnuShowPanic->setChecked(true);
            mnuPanicRun->setVisible(true);
            mnuPanicRun->setText(txtPanicNm.text() + QLatin1Char(' ') +
                                 LangCap(QStringLiteral("(Run)")));
        } else if (v == 0) {
            cmdPanic->hide();
            mnuShowPanic->setChecked(false);
            mnuPanicRun->setVisible(false);
        }
    });
}

// The timers switch Check1: its click, and the right click that opens setup.
void frmFire::connectTimersSwitch()
{
    connect(Check1, &QCheckBox::toggled, this, [this] { Check1_Click(); });
    new MouseHook(Check1, [this](QEvent::Type type, Qt::MouseButton b) {
        if (type == QEvent::MouseButtonPress) {
            setTimersSwitchTag(QString());
        } else if (type == QEvent::MouseButtonRelease) {
            Check1_MouseUp(b);
        } else {
            setToolTipFor(Check1,
                          LangTip(Check1->isChecked()
                                      ? QStringLiteral("Timers are ON (right click for setup)")
                                      : QStringLiteral("Timers are OFF (right click for setup)")));
        }
    });
}

void frmFire::connectMenuCommands()
{
    connect(mnuPanicRun, &QAction::triggered, this, [this] { mnuPanicRun_Click(); });
    connect(mnuRunMacro, &QAction::triggered, this, [] {
        if (MacroRunnerService *runner = MacroRunner())
            runner->showRunner();
    });
    connect(mnuShowLog, &QAction::triggered, this, [this] { mnuShowLog_Click(); });
    connect(mnuFavs, &QAction::triggered, this, [this] { lblShowFavs_Click(); });
    connect(mnuRegular, &QAction::triggered, this, [this] { mnuRegular_Click(); });
    connect(mnuGroup, &QAction::triggered, this, [this] { cmdCreateGr_Click(); });
    connect(mnuMacro, &QAction::triggered, this, [this] { cmdMacroSetup->click(); });
    connect(mnuTimer, &QAction::triggered, this, [this] { Command1->click(); });
    connect(mnuManage, &QAction::triggered, this, [this] { mnuManage_Click(); });
    connect(mnuPanic, &QAction::triggered, this, [this] { mnuPanic_Click(); });
    connect(mnuPort, &QAction::triggered, this, [this] { mnuPort_Click(); });
    connect(mnuSoundSetUp, &QAction::triggered, this, [] {
        if (PrefsService *prefs = Prefs())
            prefs->showPage(3);
    });
    connect(mnuSetPrefs, &QAction::triggered, this, [] {
        if (PrefsService *prefs = Prefs())
            prefs->showPage(0);
    });
    connect(mnuDesktop, &QAction::triggered, this,
            [this] { DesktopShortcutCommand(mnuDesktop->text()); });
    connect(mnuRemoveDesktop, &QAction::triggered, this, [] { RemoveDeskLink(); });
    // mnuStartup and mnuRemoveStartup stay hidden and do nothing: the program
    // never makes a login-start shortcut, and only the uninstaller removes one.
    // Menu items do not tick themselves: a click has already flipped the mark
    // of a checkable item when triggered arrives, so it is put back and the
    // handler decides from the mark as it was before the click.
    const auto option = [this](QAction *a, std::function<void()> handler) {
        a->setCheckable(true);
        connect(a, &QAction::triggered, this, [a, handler] {
            a->setChecked(!a->isChecked());
            handler();
        });
    };
    option(mnuShowPanic, [this] { mnuShowPanic_Click(); });
    option(mnuGrpDelayB, [this] { mnuGrpDelayB_Click(); });
    option(mnuMinToTray, [this] { mnuMinToTray_Click(); });
    option(mnuMinOnStart, [this] { mnuMinOnStart_Click(); });
    option(mnuAssociate,
           [this] { mnuAssociate->setChecked(ToggleAssocCro(mnuAssociate->isChecked())); });
    option(mnuTips, [this] { mnuTips_Click(); });
    connect(mnuDisAssociate, &QAction::triggered, this, [this] { mnuDisAssociate_Click(); });
    connect(mnuUninstall, &QAction::triggered, this, [] {
        if (UninstallService *unst = Uninstaller())
            unst->showUninstaller();
    });
    connect(mnuHelp, &QAction::triggered, this, [this] { mnuHelp_Click(); });
    connect(mnuUpdate, &QAction::triggered, this, [this] { mnuUpdate_Click(); });
    connect(mnuAbout, &QAction::triggered, this, [this] { mnuAbout_Click(); });
    // mnuCancel only closes the menu.
    connect(mnuLan, &QMenu::triggered, this, [this](QAction *a) {
        const int i = int(mnuLanguage.indexOf(a));
        if (i >= 0)
            mnuLanguage_Click(i);
    });
}

// Start-up timer, minimise, favourites link, the icon and the tray.
void frmFire::connectWindowModes()
{
    connect(tmrStartUp, &QTimer::timeout, this, [this] { tmrStartUp_Timer(); });
    connect(lblMin, &EventLabel::clicked, this, [this] { lblMin_Click(); });
    connect(lblMin, &EventLabel::mouseDown, this,
            [this](Qt::MouseButton b) { lblMin_MouseDown(b); });
    connect(lblMin, &EventLabel::mouseMoved, this, [this] {
        setToolTipFor(lblMin,
                      mnuMinToTray->isChecked()
                          ? LangTip(QStringLiteral("Send to system tray"))
                          : LangTip(QStringLiteral("Minimize (Right click sends to tray)")));
        lblMin->setStyleSheet(QStringLiteral("color: rgb(255, 0, 0);"));
    });
    connect(lblShowFavs, &EventLabel::clicked, this, [this] { lblShowFavs_Click(); });
    connect(lblShowFavs, &EventLabel::mouseMoved, this, [this] {
        QFont f = lblShowFavs->font();
        f.setUnderline(true);
        lblShowFavs->setFont(f);
    });
    connect(picIcon, &EventLabel::mouseDown, this,
            [this](Qt::MouseButton b) { picIcon_MouseDown(b); });
    connect(picIcon, &EventLabel::mouseMoved, this, [this] {
        picIcon->setToolTip(toolTipsOn()
                                ? QStringLiteral(" ") + LangCap(QStringLiteral("About Orvendale")) +
                                      QStringLiteral(" ")
                                : QString());
    });
    connect(&TrayEventSource(), &TrayEvents::mouseMessage, this, [this](int m) { TrayMouse(m); });
}

// ---------------------------------------------------------------- switches

void frmFire::Check1_Click()
{
    const bool on = Check1->isChecked();
    if (TimersService *timers = Timers()) {
        timers->ensureLoaded();
        timers->setTimersEnabled(on);
    }
    Text2.setText(on ? QStringLiteral("1") : QStringLiteral("0"));
    Check1->setText(LangCap(QStringLiteral("&Timers")) + QStringLiteral("  "));
    StatusTip = QStringLiteral(" (") +
                LangCap(on ? QStringLiteral("Timers ON") : QStringLiteral("Timers OFF")) +
                QStringLiteral(")  ");
    RefreshTrayTip();
    if (SoundsOn)
        PlayWav(ClickSound);
}

// Brings the timers window forward, loading it first where needed; the
// click sounds only when it was already shown, and its zoom sound stays quiet.
void frmFire::showTimersWindow()
{
    const QString zoom = ZoomSound;
    ZoomSound = QStringLiteral("none");
    if (TimersService *timers = Timers()) {
        timers->ensureLoaded();
        if (QWidget *w = timers->widget()) {
            if (w->isVisible() && SoundsOn)
                PlayWav(ClickSound);
            if (w->isMinimized())
                w->showNormal();
            w->show();
            w->raise();
            w->activateWindow();
        }
    }
    ZoomSound = zoom;
}

void frmFire::Check1_MouseUp(Qt::MouseButton button)
{
    if (isVisible())
        focusToFocus();
    if (button == Qt::RightButton)
        showTimersWindow();
    setTimersSwitchTag(QString());
}

void frmFire::mnuPanicRun_Click()
{
    tmrPanic->start();
}

void frmFire::mnuShowLog_Click()
{
    if (TimerLogService *log = TimerLog())
        log->showLog();
}

void frmFire::mnuManage_Click()
{
    if (MacroEditorService *editor = MacroEditor())
        editor->showPage(2);
}

void frmFire::mnuPanic_Click()
{
    // As text: "7", "8" and anything after "6" (or before "1") become "6".
    const QString g = txtGroupNum.text();
    if (g.isEmpty() || g > QLatin1String("6") || g < QLatin1String("1"))
        txtGroupNum.setText(QStringLiteral("6"));
    if (PrefsService *prefs = Prefs())
        prefs->showPage(1);
}

void frmFire::mnuPort_Click()
{
    if (isVisible())
        focusToFocus();
    frmSetup &port = PortSetup();
    if (!port.isVisible() && port.cmdApply)
        port.cmdApply->setEnabled(false);
    ShowPortDialog(this);
}

void frmFire::mnuShowPanic_Click()
{
    const bool wasChecked = mnuShowPanic->isChecked();
    mnuShowPanic->setChecked(!wasChecked);
    chbPanicOn.setText(wasChecked ? QStringLiteral("0") : QStringLiteral("1"));
}

void frmFire::mnuGrpDelayB_Click()
{
    // Reads the mark as the caller left it and does not change it.
    if (mnuGrpDelayB->isChecked()) {
        txtGrpDelayB.setText(QStringLiteral("0"));
        SetGroupButtonsVisible(false);
    } else {
        txtGrpDelayB.setText(QStringLiteral("1"));
        SetGroupButtonsVisible(true);
    }
}

void frmFire::ApplyMinimizeSave(int first, int last)
{
    QString save = txtMinimizeSave.text();
    while (save.size() < 2)
        save += QLatin1Char('0');
    if (first >= 0)
        save[0] = QLatin1Char(first ? '1' : '0');
    if (last >= 0)
        save[save.size() - 1] = QLatin1Char(last ? '1' : '0');
    txtMinimizeSave.setText(save);
}

void frmFire::mnuMinToTray_Click()
{
    mnuMinToTray->setChecked(!mnuMinToTray->isChecked());
    const int v = mnuMinToTray->isChecked() ? 1 : 0;
    ApplyMinimizeSave(-1, v);
    SaveSet(QStringLiteral("Settings"), QStringLiteral("MinToTray"), QString::number(v));
}

void frmFire::mnuMinOnStart_Click()
{
    mnuMinOnStart->setChecked(!mnuMinOnStart->isChecked());
    ApplyMinimizeSave(mnuMinOnStart->isChecked() ? 1 : 0, -1);
}

void frmFire::mnuTips_Click()
{
    const bool wasChecked = mnuTips->isChecked();
    mnuTips->setChecked(!wasChecked);
    chkTips.setText(wasChecked ? QStringLiteral("0") : QStringLiteral("1"));
}

void frmFire::mnuDisAssociate_Click()
{
    UnAssocCro();
    mnuAssociate->setChecked(false);
}

void frmFire::mnuHelp_Click()
{
    if (HelpService *help = Help()) {
        help->unload();
        help->open(InProgramFolder(QStringLiteral("zyvHelp.html")));
    }
}

void frmFire::mnuUpdate_Click()
{
    SaveSet(QStringLiteral("Settings"), QStringLiteral("ChkType"), QStringLiteral("manual"));
    CurrentWaitClock().processEvents();
    OpenDoc(InstalledProgramPath(QStringLiteral("update")));
}

void frmFire::mnuAbout_Click()
{
    ShowAbout();
}

// ---------------------------------------------------------------- language

bool frmFire::mnuLanguage_Click(int i)
{
    if (i < 0 || i >= mnuLanguage.size())
        return false;
    QAction *item = mnuLanguage[i];
    // The item's file name is kept apart from its (translated) caption.
    QString file = item->data().toString();
    if (file.isEmpty())
        file = item->text() + QStringLiteral(".lan");
    const QString newLanguage = file.endsWith(QLatin1String(".lan"), Qt::CaseInsensitive)
                                    ? file.left(file.size() - 4)
                                    : file;
    const QString oldLanguage = mnuLanTag;

    for (QAction *a : std::as_const(mnuLanguage))
        a->setChecked(false);
    item->setChecked(true);
    if (newLanguage == oldLanguage)
        return false;

    const QString source = InProgramFolder(file);
    // Written whole or not at all: a copy that fails leaves the old
    // language file as it was, and the old language stays chosen.
    QString error;
    if (FileExists(source) &&
        !CopyFileAtomic(source, InProgramFolder(QStringLiteral("language.ini")), &error)) {
        item->setChecked(false);
        for (QAction *a : std::as_const(mnuLanguage)) {
            QString name = a->data().toString();
            if (name.isEmpty())
                name = a->text() + QStringLiteral(".lan");
            if (name.compare(oldLanguage + QStringLiteral(".lan"), Qt::CaseInsensitive) == 0)
                a->setChecked(true);
        }
        LogErr(QStringLiteral("mnuLanguage_Click"), QStringLiteral("frmFire"), 75, error);
        Info(LangCap(QStringLiteral("The language could not be changed:")) + QStringLiteral(" ") +
                 error,
             true, false, LangCap(QStringLiteral("Language")), QStringLiteral("OK"), true);
        return false;
    }
    mnuLanTag = newLanguage;
    SaveSet(QStringLiteral("Settings"), QStringLiteral("Language"), newLanguage);

    const int answer = Questions(
        LangCap(
            QStringLiteral("You must restart Orvendale for these changes to fully take place.")) +
            QStringLiteral("\r\n") + LangCap(QStringLiteral("Would you like to restart Zyv now?")),
        2, LangCap(QStringLiteral("Restart Now ?")));
    if (answer != 1)
        return false;
    Tag = QStringLiteral("restart");

    if (timerIndicatorShown()) {
        const int wait =
            Questions(LangCap(QStringLiteral("It appears that a timer is running!")) +
                          QStringLiteral("\r\n") +
                          LangCap(QStringLiteral(
                              "Would you like to wait for the timer to finish before restarting?")),
                      3, QLatin1String(kTitle));
        if (wait == 3)
            return false; // the tag stays: a later exit restarts the program
        if (wait == 1) {
            while (timerIndicatorShown() && !AbortSend) {
                CurrentWaitClock().processEvents();
                Delay(0.5);
            }
        }
    }
    return cmdExit_Click();
}

} // namespace qelt
