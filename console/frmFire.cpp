// The main window: its controls, start-up and shutdown.
#include "console/frmFire.h"

#include "core/Dialogs.h"
#include "core/FileActions.h"
#include "core/FileTypes.h"
#include "core/PortDialog.h"
#include "core/Shortcuts.h"
#include "core/Sounds.h"
#include "core/Splash.h"
#include "core/SystemInfo.h"
#include "core/Tray.h"
#include "core/WindowHelpers.h"
#include "core/services/MacroServices.h"
#include "core/services/PrefsServices.h"
#include "core/services/SchedulerServices.h"
#include "logic/DataFile.h"
#include "logic/FileHelpers.h"
#include "logic/Globals.h"
#include "logic/GroupFile.h"
#include "logic/Lang.h"
#include "logic/ProgramFolder.h"
#include "logic/Settings.h"
#include "logic/Transmitter.h"
#include "logic/UnitRecords.h"
#include "logic/X10Codes.h"
#include "platform/QtSerialLink.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QIcon>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QMouseEvent>
#include <QTimer>

// The window's pictures are compiled into the library; a static library's
// resources are registered by hand, from outside any namespace.
static void InitConsoleResources()
{
    Q_INIT_RESOURCE(console);
}

namespace qelt {

namespace {

constexpr int kWidthClosed = 4300; // twips, group panel closed
// Taller than the design's 5250 twips: the bottom strip holds the timer
// indicator and the favourites link.
constexpr int kWindowHeight = 5580;
const char *const kModule = "frmFire";
const char *const kTitle = "Orvendale";

int px(int twips)
{
    return twips / kTwipsPerPixel;
}

} // namespace

frmFire::frmFire(SerialLink *link, QWidget *parent) : QWidget(parent)
{
    InitConsoleResources();
    setAttribute(Qt::WA_QuitOnClose, false);
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setWindowTitle(QStringLiteral("   ") + QLatin1String(kTitle));
    setObjectName(QStringLiteral("frmFire"));

    m_images[1] = QPixmap(QStringLiteral(":/console/lamp_off.png"));
    m_images[2] = QPixmap(QStringLiteral(":/console/lamp_lit.png"));
    m_images[3] = QPixmap(QStringLiteral(":/console/bank_1_8.png"));
    m_images[4] = QPixmap(QStringLiteral(":/console/bank_9_16.png"));
    // The program's icon (every window's, and the tray's: without one the
    // tray shows nothing and a window hidden there could not be reached).
    if (QApplication::windowIcon().isNull())
        QApplication::setWindowIcon(QIcon(m_images[2]));

    if (link) {
        m_link = link;
    } else {
        if (qEnvironmentVariable("QELT_FAKE_SERIAL") == QLatin1String("1"))
            m_ownLink = std::make_unique<RecordingSerialLink>();
        else
            m_ownLink = std::make_unique<platform::QtSerialLink>();
        m_link = m_ownLink.get();
    }
    SetCommLink(m_link);

    buildControls();
    buildMenu();
    // Design texts of the hidden option boxes (set before any change
    // handler is attached, so they raise none).
    chkTips.setText(QStringLiteral("1"));
    txtGrpDelayB.setText(QStringLiteral("0"));
    chbPanicOn.setText(QStringLiteral("0"));
    connectHandlers();
    SetupGroupsPanicMenusModes();

    // Initialise event.

    mnuLanTag =
        GetSet(QStringLiteral("Settings"), QStringLiteral("Language"), QStringLiteral("English"));
    FillDescs(1);
    FillHouseCodes();
    resize(px(kWidthClosed), px(kWindowHeight));
    // A value of 1 opens the group panel through the check box's handler.
    {
        QString shown = GetRec(RecGroupsShown);
        if (shown.isEmpty())
            shown = QStringLiteral("0");
        ckbGroups->setChecked(shown.trimmed() == QLatin1String("1"));
    }
    chbPanicOn.setText(
        GetSet(QStringLiteral("Settings"), QStringLiteral("PanicButton"), QStringLiteral("1")));
    const bool panicShown = chbPanicOn.text() == QLatin1String("1");
    cmdPanic->setVisible(panicShown);
    mnuPanicRun->setVisible(panicShown);
    mnuShowPanic->setChecked(panicShown);
    if (chkTips.text() == QLatin1String("1"))
        mnuTips->setChecked(true);
    else if (chkTips.text() == QLatin1String("0"))
        mnuTips->setChecked(false);
    if (txtGrpDelayB.text().isEmpty())
        txtGrpDelayB.setText(QStringLiteral("0"));
    if (txtGrpDelayB.text() == QLatin1String("0")) {
        mnuGrpDelayB->setChecked(true);
        mnuGrpDelayB_Click();
        mnuGrpDelayB->setChecked(false);
    } else if (txtGrpDelayB.text() == QLatin1String("1")) {
        mnuGrpDelayB->setChecked(true);
    }
    MinOnStart =
        GetSet(QStringLiteral("Settings"), QStringLiteral("MinOnStart"), QStringLiteral("False"))
            .compare(QLatin1String("True"), Qt::CaseInsensitive) == 0;
    if (mnuTips->isChecked())
        chkTips.setText(QStringLiteral("1"));
    // The timer log window is loaded, hidden, with an empty log.
    if (TimerLogService *log = TimerLog())
        log->setLogText(QString());
    txtGrpDelayB.setText(
        GetSet(QStringLiteral("Settings"), QStringLiteral("GrpDelayB"), QStringLiteral("1")));
    // "ActiveWindow"/"Handle" already names the hand-over address: the
    // start-up stores it as soon as it holds the single-instance lock, and
    // the text a later start sends arrives in txtCommand. Writing the
    // window's own number there would point later starts elsewhere.
    if (!MinOnStart) {
        mnuMinOnStart->setChecked(false);
    } else {
        tmrStartUp->start();
    }
    mnuMinToTray->setChecked(
        GetSet(QStringLiteral("Settings"), QStringLiteral("MinToTray"), QStringLiteral("0"))
            .trimmed()
            .toDouble() == 1.0);
}

frmFire::~frmFire()
{
    if (CommLink() == m_link)
        SetCommLink(nullptr);
    if (MainWindow() == this)
        SetMainWindow(nullptr);
}

namespace {

EventLabel *NewEventLabel(QWidget *parent, const QString &name, const QString &text, int x, int y,
                          int w, int h)
{
    auto *l = new EventLabel(text, parent);
    l->setObjectName(name);
    l->setGeometry(x, y, w, h);
    return l;
}

PressButton *NewPressButton(QWidget *parent, const QString &name, const QString &text, int x, int y,
                            int w, int h)
{
    auto *b = new PressButton(text, parent);
    b->setObjectName(name);
    b->setGeometry(x, y, w, h);
    b->setFocusPolicy(Qt::TabFocus);
    return b;
}

} // namespace

void frmFire::buildControls()
{
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(0xD8, 0xDC, 0xE4));
    setPalette(pal);

    buildTitleStrip();
    buildUnitRows();
    buildCommandRows();
    buildGroupPanel();
    buildTimers();

    setLamp(false);
    m_slidePicture = 3;
    ImageSlide->setPixmap(m_images[3]);
}

// The title strip of the borderless window, the house picker and the slider.
void frmFire::buildTitleStrip()
{
    lblMenu = NewEventLabel(this, QStringLiteral("lblMenu"), QStringLiteral("Menu"), 6, 3, 40, 18);
    lblCaption = NewEventLabel(this, QStringLiteral("lblCaption"), windowTitle(), 46, 3, 170, 18);
    lblCaption->setStyleSheet(QStringLiteral("font-weight: bold;"));
    lblMin = NewEventLabel(this, QStringLiteral("lblMin"), QStringLiteral(" -"), 240, 2, 20, 18);
    lblExit = NewEventLabel(this, QStringLiteral("lblExit"), QStringLiteral("X"), 264, 2, 18, 18);
    for (EventLabel *l : {lblMin, lblExit})
        l->setAlignment(Qt::AlignCenter);

    lblHousecode =
        NewEventLabel(this, QStringLiteral("lblHousecode"), QStringLiteral("House"), 8, 30, 40, 18);
    cboHouse = new QComboBox(this);
    cboHouse->setObjectName(QStringLiteral("cboHouse"));
    cboHouse->setGeometry(50, 27, 48, 24);
    ImageSlide = NewEventLabel(this, QStringLiteral("ImageSlide"), QString(), 108, 27, 48, 24);
    ImageSlide->setScaledContents(true);
    lblSlider =
        NewEventLabel(this, QStringLiteral("lblSlider"), QStringLiteral("Units"), 160, 30, 100, 18);
    lblClock = NewEventLabel(this, QStringLiteral("lblClock"), QString(), 150, 3, 84, 18);
    lblClock->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
}

// The column heads and the eight unit rows with their ON and OFF buttons.
void frmFire::buildUnitRows()
{
    Label1 = NewEventLabel(this, QStringLiteral("Label1"), QStringLiteral("Unit"), 6, 56, 28, 14);
    Label11 = NewEventLabel(this, QStringLiteral("Label11"), QStringLiteral("Description"), 36, 56,
                            100, 14);
    lblOn = NewEventLabel(this, QStringLiteral("lblOn"), QStringLiteral("On"), 186, 56, 42, 14);
    lblOff = NewEventLabel(this, QStringLiteral("lblOff"), QStringLiteral("Off"), 232, 56, 42, 14);
    for (EventLabel *l : {lblOn, lblOff})
        l->setAlignment(Qt::AlignCenter);

    for (int i = 0; i < 8; ++i) {
        const int y = 72 + i * 24;
        lblCell[i] =
            NewEventLabel(this, QStringLiteral("lblCell_%1").arg(i), QString(), 6, y, 26, 22);
        lblCell[i]->setAlignment(Qt::AlignCenter);
        lblCell[i]->setStyleSheet(QStringLiteral("font-weight: bold;"));
        lblDescription[i] = NewEventLabel(this, QStringLiteral("lblDescription_%1").arg(i),
                                          QString(), 34, y, 148, 22);
        lblDescription[i]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        lblDescription[i]->setAutoFillBackground(true);
        lblDescription[i]->setBackgroundRole(QPalette::Base);
        lblDescription[i]->setIndent(3);
        lblDescription[i]->setElideLongText(true);
        cmdON[i] = NewPressButton(this, QStringLiteral("cmdON_%1").arg(i), QStringLiteral("ON"),
                                  186, y, 42, 22);
        cmdOFF[i] = NewPressButton(this, QStringLiteral("cmdOFF_%1").arg(i), QStringLiteral("OFF"),
                                   232, y, 42, 22);
    }
    txtDescription = new QLineEdit(this);
    txtDescription->setObjectName(QStringLiteral("txtDescription"));
    txtDescription->setMaxLength(30);
    txtDescription->hide();
}

// The all-units row, the timers and groups switches, the panic button and
// the buttons that open other windows.
void frmFire::buildCommandRows()
{
    const int yAll = 72 + 8 * 24 + 6;
    imgLight = NewEventLabel(this, QStringLiteral("imgLight"), QString(), 6, yAll - 2, 26, 26);
    imgLight->setScaledContents(true);
    lblAllLights = NewEventLabel(this, QStringLiteral("lblAllLights"), QStringLiteral("All"), 34,
                                 yAll + 3, 22, 16);
    cmdAllOn =
        NewPressButton(this, QStringLiteral("cmdAllOn"), QStringLiteral("On"), 58, yAll, 38, 22);
    cmdAllOff =
        NewPressButton(this, QStringLiteral("cmdAllOff"), QStringLiteral("Off"), 98, yAll, 38, 22);
    cmdAllUOff = NewPressButton(this, QStringLiteral("cmdAllUOff"), QStringLiteral("Units"), 138,
                                yAll, 44, 22);
    cmdBright = NewPressButton(this, QStringLiteral("cmdBright"), QStringLiteral("Bright"), 186,
                               yAll, 42, 22);
    cmdDim =
        NewPressButton(this, QStringLiteral("cmdDim"), QStringLiteral("Dim"), 232, yAll, 42, 22);

    const int yOpt = yAll + 28;
    Check1 = new QCheckBox(QStringLiteral("&Timers"), this);
    Check1->setObjectName(QStringLiteral("Check1"));
    Check1->setGeometry(8, yOpt, 72, 20);
    ckbGroups = new QCheckBox(QStringLiteral("&Groups"), this);
    ckbGroups->setObjectName(QStringLiteral("ckbGroups"));
    ckbGroups->setGeometry(84, yOpt, 72, 20);
    cmdPanic = NewPressButton(this, QStringLiteral("cmdPanic"), QStringLiteral("Pa&nic"), 186,
                              yOpt - 1, 88, 22);

    const int yBtn = yOpt + 24;
    cmdMacro =
        NewPressButton(this, QStringLiteral("cmdMacro"), QStringLiteral("Macro"), 6, yBtn, 52, 24);
    cmdMacroSetup = NewPressButton(this, QStringLiteral("cmdMacroSetup"), QStringLiteral("Setup"),
                                   60, yBtn, 46, 24);
    Command1 = NewPressButton(this, QStringLiteral("Command1"), QStringLiteral("Timers"), 108, yBtn,
                              52, 24);
    cmdSetup = NewPressButton(this, QStringLiteral("cmdSetup"), QStringLiteral("Prefs"), 162, yBtn,
                              46, 24);
    cmdHelp =
        NewPressButton(this, QStringLiteral("cmdHelp"), QStringLiteral("Help"), 210, yBtn, 40, 24);
    picIcon = NewEventLabel(this, QStringLiteral("picIcon"), QString(), 254, yBtn, 24, 24);
    picIcon->setPixmap(m_images[2]);
    picIcon->setScaledContents(true);
    lblIndicate =
        NewEventLabel(this, QStringLiteral("lblIndicate"), QString(), 8, yBtn + 28, 110, 16);
    lblIndicate->setStyleSheet(QStringLiteral("color: #b00000;"));
    lblIndicate->hide();
    lblShowFavs = NewEventLabel(this, QStringLiteral("lblShowFavs"), QStringLiteral("Favorites"),
                                200, yBtn + 28, 78, 16);
    lblShowFavs->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    cmdExit = NewPressButton(this, QStringLiteral("cmdExit"), QStringLiteral("E&xit"), 0, 0, 1, 1);
    cmdExit->hide();
    Focus = NewPressButton(this, QStringLiteral("Focus"), QString(), 0, 0, 1, 1);
    Focus->setFocusPolicy(Qt::StrongFocus);
    Focus->setFlat(true);
    Focus->lower();
}

// The group panel, right of the unit rows (visible while the window is wide).
void frmFire::buildGroupPanel()
{
    lblCloseGrp =
        NewEventLabel(this, QStringLiteral("lblCloseGrp"), QStringLiteral("x"), 410, 54, 14, 16);
    for (int i = 0; i < 8; ++i) {
        const int y = 72 + i * 24;
        lblGourpNumber[i + 1] = NewEventLabel(this, QStringLiteral("lblGourpNumber_%1").arg(i + 1),
                                              QStringLiteral("Group"), 292, y - 2, 60, 11);
        lblGourpNumber[i + 1]->setStyleSheet(QStringLiteral("font-size: 7pt; color: #404060;"));
        lblGrpLbl[i] = NewEventLabel(this, QStringLiteral("lblGrpLbl_%1").arg(i), QString(), 292,
                                     y + 8, 58, 14);
        // A font, not a style sheet, so that a long label may shrink to fit;
        // what still does not fit is elided with the whole label as tip.
        QFont small = lblGrpLbl[i]->font();
        small.setPointSizeF(8);
        lblGrpLbl[i]->setFont(small);
        lblGrpLbl[i]->setElideLongText(true);
        // Wide enough for a three-letter word ("Aus") at the window's font.
        cmdGrpOn[i] = NewPressButton(this, QStringLiteral("cmdGrpOn_%1").arg(i),
                                     QStringLiteral("On"), 352, y, 26, 22);
        cmdGrpOff[i] = NewPressButton(this, QStringLiteral("cmdGrpOff_%1").arg(i),
                                      QStringLiteral("Off"), 380, y, 26, 22);
        Command2[i] = NewPressButton(this, QStringLiteral("Command2_%1").arg(i),
                                     QStringLiteral("D"), 408, y, 16, 22);
        // The digit of "Group &n" is the access key of the group's ON button.
        lblGourpNumber[i + 1]->setBuddy(cmdGrpOn[i]);
    }
}

// The window's timers (intervals as designed; those marked off start disabled).
void frmFire::buildTimers()
{
    auto timer = [this](const QString &name, int ms, bool singleShot = false) {
        auto *t = new QTimer(this);
        t->setObjectName(name);
        t->setInterval(ms);
        t->setSingleShot(singleShot);
        return t;
    };
    afterStart = timer(QStringLiteral("afterStart"), 500, true);
    tmrFlash = timer(QStringLiteral("tmrFlash"), 50);
    tmrAcro = timer(QStringLiteral("tmrAcro"), 50);
    tmrPanic = timer(QStringLiteral("tmrPanic"), 750);
    tmrStartUp = timer(QStringLiteral("tmrStartUp"), 750);
    tmrTindicate = timer(QStringLiteral("tmrTindicate"), 750);
    tmrClock = timer(QStringLiteral("tmrClock"), 500);
}

void frmFire::buildMenu()
{
    Popup1 = new QMenu(QStringLiteral("Menu"), this);
    Popup1->setObjectName(QStringLiteral("Popup1"));
    auto item = [](QMenu *menu, const QString &name, const QString &caption, bool visible = true,
                   bool checked = false) {
        QAction *a = menu->addAction(caption);
        a->setObjectName(name);
        a->setVisible(visible);
        // Items do not tick themselves; the handlers set the marks.
        a->setCheckable(checked);
        a->setChecked(checked);
        return a;
    };
    auto sub = [](QMenu *menu, const QString &name, const QString &caption, bool visible = true) {
        QMenu *m = menu->addMenu(caption);
        m->setObjectName(name);
        m->menuAction()->setObjectName(name);
        m->menuAction()->setVisible(visible);
        return m;
    };
    mnuPanicRun = item(Popup1, QStringLiteral("mnuPanicRun"), QStringLiteral("Panic (Run)"), false);
    mnuRunMacro = item(Popup1, QStringLiteral("mnuRunMacro"), QStringLiteral("Run Macro"));
    mnuShowLog =
        item(Popup1, QStringLiteral("mnuShowLog"), QStringLiteral("Show Timer Status / Log"));
    mnuView = sub(Popup1, QStringLiteral("mnuView"), QStringLiteral("View"));
    mnuFavs = item(mnuView, QStringLiteral("mnuFavs"), QStringLiteral("Favorites"));
    mnuRegular = item(mnuView, QStringLiteral("mnuRegular"), QStringLiteral("Main Window"));
    Popup1->addSeparator()->setObjectName(QStringLiteral("mnuLine1"));
    mnuSetup = sub(Popup1, QStringLiteral("mnuSetup"), QStringLiteral("Setup"));
    mnuGroup = item(mnuSetup, QStringLiteral("mnuGroup"), QStringLiteral("Setup Group"));
    mnuMacro = item(mnuSetup, QStringLiteral("mnuMacro"), QStringLiteral("Setup Macro"));
    mnuTimer = item(mnuSetup, QStringLiteral("mnuTimer"), QStringLiteral("Setup Timer"));
    mnuManage = item(mnuSetup, QStringLiteral("mnuManage"), QStringLiteral("Manage Macros"));
    mnuSetup->addSeparator()->setObjectName(QStringLiteral("mnuLine7"));
    mnuPanic =
        item(mnuSetup, QStringLiteral("mnuPanic"), QStringLiteral("Setup Quick (Panic) Button"));
    mnuPort = item(mnuSetup, QStringLiteral("mnuPort"), QStringLiteral("Communication Port"));
    mnuSoundSetUp = item(mnuSetup, QStringLiteral("mnuSoundSetUp"), QStringLiteral("Setup Sounds"));
    mnuSetup->addSeparator()->setObjectName(QStringLiteral("mnuLine5"));
    mnuDesktop =
        item(mnuSetup, QStringLiteral("mnuDesktop"), QStringLiteral("Create Shortcut on Desktop"));
    mnuStartup = item(mnuSetup, QStringLiteral("mnuStartup"),
                      QStringLiteral("Create Shortcut in Startup Folder"), false);
    mnuSetup->addSeparator()->setObjectName(QStringLiteral("mnuLine4"));
    mnuRemoveDesktop = item(mnuSetup, QStringLiteral("mnuRemoveDesktop"),
                            QStringLiteral("Remove Shortcut from Desktop"));
    mnuRemoveStartup = item(mnuSetup, QStringLiteral("mnuRemoveStartup"),
                            QStringLiteral("Remove Shortcut from Startup Folder"), false);
    mnuSetPrefs = item(Popup1, QStringLiteral("mnuSetPrefs"), QStringLiteral("Setup Preferences"));
    mnuLan = sub(Popup1, QStringLiteral("mnuLan"), QStringLiteral("Language"));
    mnuLanguage.append(item(mnuLan, QStringLiteral("mnuLanguage_0"), QStringLiteral("English")));
    mnuLanguage[0]->setCheckable(true);
    mnuPrefs = sub(Popup1, QStringLiteral("mnuPrefs"), QStringLiteral("Preferences"), false);
    mnuShowPanic = item(mnuPrefs, QStringLiteral("mnuShowPanic"),
                        QStringLiteral("Show Quick (Panic) Button"), false, true);
    mnuGrpDelayB = item(mnuPrefs, QStringLiteral("mnuGrpDelayB"),
                        QStringLiteral("Show Group Auto-Off Delay Buttons"), false, true);
    mnuMinToTray = item(mnuPrefs, QStringLiteral("mnuMinToTray"),
                        QStringLiteral("Minimize sends to Tray"), false, true);
    mnuMinOnStart =
        item(mnuPrefs, QStringLiteral("mnuMinOnStart"), QStringLiteral("Minimize on Start"), false);
    mnuMinOnStart->setCheckable(true);
    mnuAssociate = item(mnuPrefs, QStringLiteral("mnuAssociate"),
                        QStringLiteral("Associate Macro Files"), false, true);
    mnuTips =
        item(mnuPrefs, QStringLiteral("mnuTips"), QStringLiteral("Show Tool Tips"), true, true);
    mnuDisAssociate =
        item(mnuPrefs, QStringLiteral("mnuDisAssociate"), QStringLiteral("Remove Associations"));
    Popup1->addSeparator()->setObjectName(QStringLiteral("mnuLine3"));
    mnuUninstMnu = sub(Popup1, QStringLiteral("mnuUninstMnu"), QStringLiteral("Uninstall"));
    mnuUninstall =
        item(mnuUninstMnu, QStringLiteral("mnuUninstall"), QStringLiteral("Uninstall Orvendale!"));
    mnuExit = item(Popup1, QStringLiteral("mnuExit"), QStringLiteral("Exit"));
    Popup1->addSeparator()->setObjectName(QStringLiteral("mnuLine2"));
    mnuHelp = item(Popup1, QStringLiteral("mnuHelp"), QStringLiteral("Help"));
}

void frmFire::connectHandlers()
{
    connect(afterStart, &QTimer::timeout, this, &frmFire::afterStart_Timer);
    connect(tmrFlash, &QTimer::timeout, this, &frmFire::tmrFlash_Timer);
    connect(tmrAcro, &QTimer::timeout, this, &frmFire::tmrAcro_Timer);
    connect(tmrTindicate, &QTimer::timeout, this, &frmFire::tmrTindicate_Timer);
    connect(tmrClock, &QTimer::timeout, this, &frmFire::tmrClock_Timer);
    setupClock();

    m_txtCommand.setHandler([this](const QString &text) { txtCommand_Change(text); });
    m_lblGrp.setHandler([](const QString &text) {
        if (MacroEditorService *editor = MacroEditor())
            editor->lblCroSave().setText(text);
    });
    m_lblGrpSave.setHandler([](const QString &text) {
        if (MacroEditorService *editor = MacroEditor())
            editor->lblGrpSave().setText(text);
    });

    connectUnitButtons();
    connectWindowButtons();

    // Tool tips are set when the mouse comes over a control.
    for (QObject *o : children()) {
        if (auto *b = qobject_cast<PressButton *>(o))
            connect(b, &PressButton::mouseMoved, this, [this, b] { updateTip(b); });
        else if (auto *l = qobject_cast<EventLabel *>(o))
            connect(l, &EventLabel::mouseMoved, this, [this, l] { updateTip(l); });
    }
}

// The house picker, the eight units' ON and OFF buttons and descriptions,
// the all-units buttons and bright and dim.
void frmFire::connectUnitButtons()
{
    connect(cboHouse, &QComboBox::activated, this, [this](int) { cboHouse_Click(); });
    connect(ImageSlide, &EventLabel::clicked, this, &frmFire::ImageSlide_Click);
    connect(lblSlider, &EventLabel::clicked, this, &frmFire::ImageSlide_Click);
    connect(lblHousecode, &EventLabel::clicked, this, [this] { cboHouse->setFocus(); });
    for (int i = 0; i < 8; ++i) {
        connect(cmdON[i], &PressButton::mouseDown, this,
                [this, i](Qt::MouseButton b) { cmdON_MouseDown(i, b); });
        connect(cmdON[i], &PressButton::mouseUp, this,
                [this, i](Qt::MouseButton b) { cmdON_MouseUp(i, b); });
        connect(cmdON[i], &QPushButton::clicked, this, [this, i] { cmdON_Click(i); });
        connect(cmdOFF[i], &PressButton::mouseDown, this,
                [this, i](Qt::MouseButton b) { cmdOFF_MouseDown(i, b); });
        connect(cmdOFF[i], &PressButton::mouseUp, this,
                [this, i](Qt::MouseButton b) { cmdOFF_MouseUp(i, b); });
        connect(cmdOFF[i], &QPushButton::clicked, this, [this, i] { cmdOFF_Click(i); });
        connect(lblDescription[i], &EventLabel::doubleClicked, this,
                [this, i] { lblDescription_DblClick(i); });
        connect(lblDescription[i], &EventLabel::mouseDown, this, [this, i](Qt::MouseButton b) {
            if (b == Qt::RightButton)
                Popup1->popup(
                    lblDescription[i]->mapToGlobal(QPoint(0, lblDescription[i]->height())));
        });
    }
    connect(txtDescription, &QLineEdit::returnPressed, this, &frmFire::txtDescription_Commit);
    txtDescription->installEventFilter(this);

    const struct {
        PressButton *button;
        const char *function;
        const char *word;
    } alls[] = {{cmdAllOff, "11000000", "ALF"},
                {cmdAllOn, "10010000", "ALN"},
                {cmdAllUOff, "10000000", "AUF"}};
    for (const auto &all : alls) {
        const QString function = QLatin1String(all.function);
        const QString word = QLatin1String(all.word);
        connect(all.button, &PressButton::mouseDown, this,
                [this, word](Qt::MouseButton b) { cmdAll_MouseDown(word, b); });
        connect(all.button, &PressButton::mouseUp, this, [this] { cmdAll_MouseUp(); });
        connect(all.button, &QPushButton::clicked, this,
                [this, function] { cmdAll_Click(function); });
    }
    connect(cmdBright, &PressButton::mouseDown, this, &frmFire::cmdBright_MouseDown);
    connect(cmdDim, &PressButton::mouseDown, this, &frmFire::cmdDim_MouseDown);
    for (PressButton *b : {cmdBright, cmdDim}) {
        connect(b, &PressButton::mouseUp, this, &frmFire::cmdRepeat_MouseUp);
        connect(b, &QPushButton::clicked, this, &frmFire::cmdRepeat_Click);
    }
}

// Buttons that open other windows, the menu and exit labels, and the labels
// that drag the window.
void frmFire::connectWindowButtons()
{
    connect(cmdMacro, &QPushButton::clicked, this, [this] {
        if (isVisible())
            focusToFocus();
        if (MacroRunnerService *runner = MacroRunner())
            runner->showRunner();
        if (isVisible() && SoundsOn)
            PlayWav(ClickSound);
    });
    connect(cmdMacro, &PressButton::mouseUp, this, [](Qt::MouseButton b) {
        if (b != Qt::RightButton)
            return;
        if (MacroEditorService *editor = MacroEditor())
            editor->showPage(0);
    });
    connect(cmdMacroSetup, &QPushButton::clicked, this, [this] {
        if (SoundsOn)
            PlayWav(ClickSound);
        if (isVisible())
            focusToFocus();
        if (MacroEditorService *editor = MacroEditor())
            editor->showPage(0);
    });
    connect(cmdHelp, &QPushButton::clicked, this, [this] {
        if (isVisible())
            focusToFocus();
        if (HelpService *help = Help())
            help->open(InProgramFolder(QStringLiteral("zyvHelp.html#MainFormWindow")));
        if (isVisible() && SoundsOn)
            PlayWav(ClickSound);
    });
    connect(cmdSetup, &QPushButton::clicked, this, [] {
        if (PrefsService *prefs = Prefs())
            prefs->showPage(0);
    });
    connect(cmdSetup, &PressButton::mouseDown, this, [this](Qt::MouseButton b) {
        if (b == Qt::RightButton)
            Popup1->popup(QCursor::pos());
    });
    connect(Command1, &QPushButton::clicked, this, [this] { showTimersWindow(); });
    connect(lblMenu, &EventLabel::mouseUp, this, [this](Qt::MouseButton b) {
        if (b == Qt::LeftButton) {
            Popup1->popup(mapToGlobal(QPoint(px(100), lblMenu->y() + lblMenu->height() - 1)));
        } else if (PrefsService *prefs = Prefs()) {
            prefs->showPage(0);
        }
    });
    auto underline = [](QLabel *l, bool on) {
        QFont f = l->font();
        f.setUnderline(on);
        l->setFont(f);
    };
    connect(lblMenu, &EventLabel::mouseMoved, this,
            [this, underline] { underline(lblMenu, true); });
    connect(lblMenu, &EventLabel::mouseUp, this, [this, underline] {
        QTimer::singleShot(1000, this, [this, underline] { underline(lblMenu, false); });
    });
    connect(lblClock, &EventLabel::mouseMoved, this,
            [this, underline] { underline(lblShowFavs, false); });
    connect(lblExit, &EventLabel::mouseMoved, this,
            [this] { lblExit->setStyleSheet(QStringLiteral("color: rgb(255, 0, 0);")); });
    connect(lblExit, &EventLabel::clicked, this, &frmFire::cmdExit_Click);
    connect(cmdExit, &QPushButton::clicked, this, &frmFire::cmdExit_Click);
    connect(mnuExit, &QAction::triggered, this, &frmFire::cmdExit_Click);
    connect(lblIndicate, &EventLabel::clicked, this, [] {
        if (TimerLogService *log = TimerLog())
            log->showLog();
    });
    connect(lblClock, &EventLabel::mouseDown, this, [this](Qt::MouseButton b) {
        if (b == Qt::RightButton)
            Popup1->popup(QCursor::pos());
        else if (b == Qt::LeftButton)
            FormDrag(this);
    });
    for (EventLabel *l : {imgLight, Label1, Label11, lblAllLights, lblOn, lblOff, lblCaption}) {
        connect(l, &EventLabel::mouseDown, this, [this](Qt::MouseButton b) {
            if (b == Qt::LeftButton)
                FormDrag(this);
        });
    }
}

QPixmap frmFire::ImageList(int index) const
{
    if (index < 1 || index > 4)
        return {};
    return m_images[index];
}

// ---------------------------------------------------------------- load

void frmFire::LoadCaptions()
{
    static const char *const prefixes[] = {"cmd", "lbl", "Che", "chk", "Lab", "Fra", "ckb", "mnu"};
    auto wanted = [](const QString &name) {
        if (name == QLatin1String("chkTips"))
            return false;
        for (const char *p : prefixes)
            if (name.startsWith(QLatin1String(p)))
                return true;
        return false;
    };
    for (QObject *o : findChildren<QObject *>()) {
        const QString name = o->objectName();
        if (!wanted(name))
            continue;
        if (auto *b = qobject_cast<QAbstractButton *>(o)) {
            if (!b->text().isEmpty())
                b->setText(LangCap(b->text()));
        } else if (auto *l = qobject_cast<QLabel *>(o)) {
            if (!l->text().isEmpty() && l->pixmap().isNull())
                l->setText(LangCap(l->text()));
        } else if (auto *m = qobject_cast<QMenu *>(o)) {
            m->setTitle(LangCap(m->title()));
        } else if (auto *a = qobject_cast<QAction *>(o)) {
            if (!a->isSeparator() && !a->menu())
                a->setText(LangCap(a->text()));
        }
    }
    Check1->setText(Check1->text() + QStringLiteral("  "));
}

void frmFire::Form_Load()
{
    LoadCaptions();
    afterStart->start();
    tmrClock->start();
    SoundsOn = false;
    // Position, kept on the screen (all in twips).
    MoveOnScreenTwips(this, ReadTwipsSetting(QStringLiteral("MainLeft"), 500),
                      ReadTwipsSetting(QStringLiteral("MainTop"), 500));
    if (PrefsOpen) {
        if (PrefsService *prefs = Prefs())
            prefs->unload();
    }
    // The ".cro" association.
    AssocOk = CroAssociated();
    if (!AssocOk && AssocOn)
        AssocCro();
    mnuAssociate->setChecked(AssocOn);
    const auto sound = [](const char *key, const char *file) {
        return GetSet(QStringLiteral("Sounds"), QLatin1String(key),
                      InProgramFolder(QLatin1String(file)));
    };
    ClickSound = sound("defsound", "click.wav");
    RecordSound = sound("RecSound", "rec.wav");
    TimerSound = sound("defTsound", "tmrstart.wav");
    TickSound = sound("defMsound", "tick.wav");
    ZoomSound = sound("defZSound", "expand.wav");
    if (UnstOpen) {
        if (UninstallService *unst = Uninstaller())
            unst->showUninstaller();
    }
    for (int i = 1; i <= 8; ++i)
        lblGourpNumber[i]->setText(LangCap(QStringLiteral("Group")) + QStringLiteral(" &") +
                                   QString::number(i));
    FitCaptions(this);
}

void frmFire::afterStart_Timer()
{
    if (m_afterStartDone)
        return;
    {
        bool ok = false;
        const int v = GetRec(RecTimersOn).trimmed().toInt(&ok);
        if (ok)
            Check1->setChecked(v != 0);
    }
    {
        QString rec = GetRec(RecHouse).trimmed();
        if (rec.isEmpty())
            rec = QStringLiteral("0");
        bool ok = false;
        int index = rec.toInt(&ok);
        // A damaged record starts on house A rather than with no house,
        // which would leave every unit button without a command.
        if (!ok || index < 0 || index >= cboHouse->count())
            index = 0;
        cboHouse->setCurrentIndex(index);
        cboHouse_Click();
    }
    UnitBank =
        GetRec(RecUnitBank).trimmed().compare(QLatin1String("True"), Qt::CaseInsensitive) == 0;
    if (UnitBank) {
        ImageSlide_Click();
        ImageSlide_Click();
    }
    txtPanicNm.setText(GetRec(RecPanicName));
    if (txtPanicNm.text().isEmpty())
        txtPanicNm.setText(QStringLiteral("Pa&nic"));
    // The first start puts a shortcut on the desktop.
    if (GetRec(RecLastStart).isEmpty())
        DesktopShortcutCommand(mnuDesktop->text());
    PutRec(RecLastStart, QLocale().toString(QDateTime::currentDateTime(), QLocale::ShortFormat));
    txtPanicBcolor.setText(GetRec(RecPanicColour));
    txtGroupNum.setText(GetRec(RecQuickGroup));
    // "<minutes>,<seconds>"; without a comma the minutes stay as they are.
    {
        const QString delay = GetRec(RecPanicDelay);
        const int comma = delay.indexOf(QLatin1Char(','));
        if (comma >= 0)
            txtPanicMin.setText(delay.left(comma));
        txtPanicSec.setText(comma >= 0 ? delay.mid(comma + 1) : delay);
    }
    for (int i = 0; i < 8; ++i) {
        const QString path = GroupFilePath(ExePath, i);
        if (FileExists(path))
            lblGrpLbl[i]->setText(goGrLabel(QStringLiteral("g"), path));
    }
    afterStart->stop();
    m_afterStartDone = true;
    LoadDescs();
    SoundsOn = GetSet(QStringLiteral("Settings"), QStringLiteral("Sounds"), QStringLiteral("True"))
                   .compare(QLatin1String("True"), Qt::CaseInsensitive) == 0;
    if (!MinOnStart) {
        show();
        MainView = true;
    }
    if (!m_link->portOpen())
        Initialize();
    if (Tag == QLatin1String("port false")) {
        if (!Initialize()) {
            Tag.clear();
            Info(QStringLiteral("Error: Unable to initialize the com port!\r\n") +
                     QStringLiteral("The com port is already in use.  ") +
                     QStringLiteral("You will need to close the program that currently has "
                                    "control of the port before Zyv will work properly."),
                 true, true, QLatin1String(kTitle), QStringLiteral("OK"), true);
            if (!m_exiting)
                ShowPortDialog(this);
        }
    }
    if (!m_exiting)
        BuildLanguageMenu();
    // Hand-overs that arrived before the port was tried can play now.
    if (!m_croQueue.isEmpty())
        tmrAcro->start();
}

void frmFire::BuildLanguageMenu()
{
    const QDir folder(ProgramFolder());
    lstLan =
        folder.entryList({QStringLiteral("*.lan")}, QDir::Files, QDir::Name | QDir::IgnoreCase);
    if (lstLan.isEmpty()) {
        mnuLan->menuAction()->setVisible(false);
        return;
    }
    // English keeps element 0; every other language file follows in the
    // list's order, so a file sorting before "English.lan" cannot take
    // English's place.
    for (const QString &file : std::as_const(lstLan)) {
        if (file.compare(QLatin1String("English.lan"), Qt::CaseInsensitive) == 0)
            continue;
        QAction *a = mnuLan->addAction(file.section(QLatin1Char('.'), 0, 0));
        a->setObjectName(QStringLiteral("mnuLanguage_%1").arg(mnuLanguage.size()));
        a->setData(file);
        a->setCheckable(true);
        mnuLanguage.append(a);
    }
    mnuLanguage[0]->setData(QStringLiteral("English.lan"));
    for (QAction *a : std::as_const(mnuLanguage))
        a->setChecked(a->data().toString().section(QLatin1Char('.'), 0, 0) == mnuLanTag);
    mnuLan->menuAction()->setVisible(true);
}

bool frmFire::Initialize()
{
    const QString port = GetRec(270);
    if (port.isEmpty() || port == QLatin1String(" ")) {
        CurrentWaitClock().processEvents();
        Delay(1);
        if (m_exiting)
            return false;
        Info(QStringLiteral("\r\nThe communication port has not been set up.  Please select the "
                            "port where your Firecracker is installed"),
             true, false, QLatin1String(kTitle), QStringLiteral("OK"), false);
        ShowPortDialog(this);
        return false;
    }
    m_link->setCommPort(port.trimmed());
    m_link->setSettings(QStringLiteral("9600,N,8,1"));
    const PortError error = m_link->setPortOpen(true);
    switch (error) {
    case PortError::None:
        NoteLinkPoweredUp(m_link);
        return true;
    case PortError::InvalidPort:
    case PortError::PortInUse:
        Tag = QStringLiteral("port false");
        return false;
    case PortError::Other:
        break;
    }
    // Any other failure is shown, and the port counts as not opened (the
    // caller must not go on as if the transmitter could be reached).
    Info(m_link->errorString(), false, false, QLatin1String(kTitle), QStringLiteral("OK"), true);
    return false;
}

void frmFire::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (isVisible() && !MinOnStart && SoundsOn)
        PlayWav(ZoomSound);
}

void frmFire::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        FormDrag(this);
    } else if (event->button() == Qt::RightButton) {
        if (isVisible() && SoundsOn)
            PlayWav(ClickSound);
        Popup1->popup(event->globalPosition().toPoint());
    }
}

void frmFire::closeEvent(QCloseEvent *event)
{
    // Closing the window from the desktop ends the program the same way as
    // the exit command.
    event->ignore();
    if (!m_exiting)
        cmdExit_Click();
}

// ---------------------------------------------------------------- exit

bool frmFire::cmdExit_Click()
{
    if (m_exiting)
        return false;
    // The editor's question comes before any part of the exit, so that its
    // Cancel, or a save that did not happen, leaves the program as it was.
    if (MacroEditorService *editor = MacroEditor(); editor && !editor->mayExit())
        return false;
    // A description being typed is stored before anything closes.
    if (m_editRow >= 0)
        txtDescription_Commit();
    m_exiting = true;
    SoundsOn = false;
    show(); // visible again when it was in the tray; a minimised window stays so

    AbortSend = true;
    CurrentWaitClock().processEvents();
    Form_Unload();
    return true;
}

void frmFire::Form_Unload()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    if (m_editRow >= 0)
        txtDescription_Commit();
    m_exiting = true;
    tmrClock->stop();
    ZoomSound = QStringLiteral("none");
    if (!isMinimized()) {
        SaveTwipsSetting(QStringLiteral("MainLeft"), x(), 500);
        SaveTwipsSetting(QStringLiteral("MainTop"), y(), 500);
    }
    SaveSet(QStringLiteral("Database16"), QStringLiteral("CurrentVersion"), ProgramVersion());
    SaveSet(QStringLiteral("Database16"), QStringLiteral("CurrentExePath"), ProgramFolder());
    PutRec(RecTimersOn, Check1->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
    // The short pause before the tray icon goes. AbortSend stays set
    // and no events run in it, so that no loop or timer that is waiting
    // sends another frame once exit has begun.
    AbortSend = true;
    CurrentWaitClock().sleepMs(100);
    m_croQueue.clear();
    tmrAcro->stop();
    TrayDelete();
    if (FavsView)
        UnloadFavs();
    if (PrefsService *prefs = Prefs())
        prefs->unload();
    if (MacroEditorService *editor = MacroEditor())
        editor->unload();
    UnloadPortDialog();
    if (TimersService *timers = Timers())
        timers->unload();
    if (TimerLogService *log = TimerLog())
        log->unload();
    UnloadSplash();
    if (MacroRunnerService *runner = MacroRunner())
        runner->unload();
    if (HelpService *help = Help())
        help->unload();
    if (UninstallService *unst = Uninstaller())
        unst->unload();
    CloseDataFile();
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (w != this && w->isVisible())
            w->hide();
    }
    hide();
    if (Tag == QLatin1String("restart")) {
        SaveSet(QStringLiteral("Database16"), QStringLiteral("ReStart"), QStringLiteral("restart"));
        OpenDoc(InstalledProgramPath(QStringLiteral("update")));
    }
    if (m_link && m_link->portOpen())
        m_link->setPortOpen(false);
    emit programEnded();
}

} // namespace qelt
