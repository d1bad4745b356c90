#include "prefs/FormSetup.h"

#include "core/Dialogs.h"
#include "core/EventControls.h"
#include "core/FileActions.h"
#include "core/FileTypes.h"
#include "core/LazyWindow.h"
#include "core/Sounds.h"
#include "core/SystemInfo.h"
#include "core/WindowHelpers.h"
#include "core/services/ConsoleServices.h"
#include "core/services/PrefsServices.h"
#include "core/services/SchedulerServices.h"
#include "logic/DataFile.h"
#include "logic/FileHelpers.h"
#include "logic/Globals.h"
#include "logic/Lang.h"
#include "logic/ProgramFolder.h"
#include "logic/Settings.h"
#include "logic/Transmitter.h"
#include "logic/clsSunrise.h"
#include "prefs/SetupAdvancedPage.h"
#include "prefs/SetupGeneralPage.h"
#include "prefs/SetupLocationPage.h"
#include "prefs/SetupPageParts.h"
#include "prefs/SetupPanicPage.h"
#include "prefs/SetupRules.h"
#include "prefs/SetupSoundsPage.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTimer>

namespace qelt {

namespace {

const QString kSettings = QStringLiteral("Settings");
const QString kSounds = QStringLiteral("Sounds");

QString *SoundPath(int index)
{
    QString *paths[5] = {&ClickSound, &ZoomSound, &RecordSound, &TimerSound, &TickSound};
    return index >= 0 && index < 5 ? paths[index] : nullptr;
}

QString Set(const QString &key, const QString &def = {})
{
    return GetSet(kSettings, key, def);
}
void Save(const QString &key, const QString &value)
{
    SaveSet(kSettings, key, value);
}

// A stored check-box value: ticked only for a number equal to 1.
bool TickedValue(const QString &text)
{
    bool ok = false;
    const double v = NumberFromText(text, &ok);
    return ok && v == 1;
}

QString Bit(bool on)
{
    return on ? QStringLiteral("1") : QStringLiteral("0");
}

void RunEventsOnce()
{
    CurrentWaitClock().processEvents();
}

} // namespace

FormSetup::FormSetup(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FormSetup"));
    setWindowTitle(QStringLiteral("Setup"));
    buildControls();
    connectHandlers();
    resetControls();
}

FormSetup::~FormSetup() = default;

// ---------------------------------------------------------------- building

void FormSetup::buildControls()
{
    setFixedSize(500, 420);
    SSTab1 = new QTabWidget(this);
    SSTab1->setObjectName(QStringLiteral("SSTab1"));
    SSTab1->setGeometry(8, 8, 484, 362);
    general = new SetupGeneralPage;
    panic = new SetupPanicPage;
    location = new SetupLocationPage;
    sounds = new SetupSoundsPage;
    advanced = new SetupAdvancedPage;
    SSTab1->addTab(general, QStringLiteral("Preferences"));
    SSTab1->addTab(panic, QStringLiteral("Panic Btn"));
    SSTab1->addTab(location, QStringLiteral("Location"));
    SSTab1->addTab(sounds, QStringLiteral("Sounds"));
    SSTab1->addTab(advanced, QStringLiteral("Advanced"));
    takePageControls();

    auto button = [this](const char *name, const char *text, int x) {
        auto *b = new QPushButton(QLatin1String(text), this);
        b->setObjectName(QLatin1String(name));
        b->setGeometry(x, 380, 112, 28);
        b->setAutoDefault(false);
        return b;
    };
    cmdClose = button("cmdClose", "&OK", 8);
    cmdCancel = button("cmdCancel", "&Cancel", 132);
    cmdApply = button("cmdApply", "&Apply", 256);
    cmdHelp = button("cmdHelp", "&Help", 380);
    cmdApply->setEnabled(false);

    // Number-only boxes take digits and nothing else, typed or pasted.
    m_digitsOnly =
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), this);

    tmrApply = new QTimer(this);
    tmrApply->setObjectName(QStringLiteral("tmrApply"));
    tmrApply->setInterval(250);
}

QString FormSetup::SunDataAddress()
{
    return SetupLocationPage::SunDataAddress();
}

// The handlers reach each page's controls under the names the window has
// always given them.
void FormSetup::takePageControls()
{
    Check2 = general->Check2;
    Label12 = general->Label12;
    Frame2 = general->Frame2;
    Check3 = general->Check3;
    chkTSound = general->chkTSound;
    chkMsound = general->chkMsound;
    Label10 = general->Label10;
    Label11 = general->Label11;

    lblPanicInfo = panic->lblPanicInfo;
    txtBcaption = panic->txtBcaption;
    txtMin = panic->txtMin;
    txtSec = panic->txtSec;
    txtGroupNum = panic->txtGroupNum;
    Option1 = panic->Option1;
    Label7 = panic->Label7;
    lblMsg = panic->lblMsg;
    Check1 = panic->Check1;

    Combo1 = location->Combo1;
    txtLat = location->txtLat;
    txtLong = location->txtLong;
    txtZone = location->txtZone;
    lblZone = location->lblZone;
    lblCityName = location->lblCityName;
    Text1 = location->Text1;
    Text2 = location->Text2;
    cmdCalcSun = location->cmdCalcSun;
    Command2 = location->Command2;
    Label17 = location->Label17;
    Label9 = location->Label9;
    Label16 = location->Label16;
    txtSavings = location->txtSavings;

    List1 = sounds->List1;
    Label1 = sounds->Label1;
    Label2 = sounds->Label2;
    lblSnd = sounds->lblSnd;
    Command7 = sounds->Command7;
    Command6 = sounds->Command6;
    Command5 = sounds->Command5;
    cmdDefaultSound = sounds->cmdDefaultSound;

    txtMaxLog = advanced->txtMaxLog;
    txtMinLog = advanced->txtMinLog;
    txtMaxLogFile = advanced->txtMaxLogFile;
    TrimLog = advanced->TrimLog;
    txtGpause = advanced->txtGpause;
    HScroll1 = advanced->HScroll1;
    ckRecording = advanced->ckRecording;
    chkUpdates = advanced->chkUpdates;
    txtUpdateHour = advanced->txtUpdateHour;
    lblAutoCheckTime = advanced->lblAutoCheckTime;
    cmdLogDefault = advanced->cmdLogDefault;
}

void FormSetup::connectHandlers()
{
    connect(cmdApply, &QPushButton::clicked, this, [this] { cmdApply_Click(); });
    connect(cmdClose, &QPushButton::clicked, this, [this] { cmdClose_Click(); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
    connect(cmdHelp, &QPushButton::clicked, this, [this] { cmdHelp_Click(); });
    connect(tmrApply, &QTimer::timeout, this, [this] { tmrApply_Timer(); });
    connect(SSTab1, &QTabWidget::currentChanged, this, [this] { SSTab1_Click(); });

    for (int i = 0; i < 7; ++i) {
        connect(Check2[i], &QPushButton::toggled, this, [this, i] { Check2_Click(i); });
        // clicked comes after toggled: the box already holds its new value.
        connect(Check2[i], &QPushButton::clicked, this, [this, i] { Check2_MouseUp(i); });
    }
    connect(Check3, &QPushButton::toggled, this, [this] { Check3_Click(); });
    connect(chkTSound, &QPushButton::toggled, this, [this] { chkTSound_Click(); });
    connect(chkMsound, &QPushButton::toggled, this, [this] { chkMsound_Click(); });
    connect(chkTSound, &QPushButton::clicked, this,
            [this] { PlayWav(chkTSound->isChecked() ? TimerSound : ClickSound); });
    connect(chkMsound, &QPushButton::clicked, this,
            [this] { PlayWav(chkMsound->isChecked() ? TickSound : ClickSound); });

    for (QLineEdit *e : {txtBcaption, txtMin, txtSec})
        connect(e, &QLineEdit::textChanged, this, [this] { PanicChanged = true; });
    connect(txtGroupNum, &QLineEdit::textChanged, this, [this] { txtGroupNum_Change(); });
    for (int i = 0; i < 7; ++i) {
        connect(Option1[i], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on)
                Option1_Click(i);
        });
    }
    connect(Check1, &QCheckBox::toggled, this, [this] { Check1_Click(); });

    connect(Combo1, &QComboBox::activated, this, [this] { Combo1_Click(); });
    for (QLineEdit *e : {txtLat, txtLong, txtZone})
        connect(e, &QLineEdit::textChanged, this, [this] { LocationBox_Change(); });
    connect(cmdCalcSun, &QPushButton::clicked, this, [this] { cmdCalcSun_Click(); });
    connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
    connect(Label17, &EventLabel::mouseUp, this, [this](Qt::MouseButton b) { Label17_MouseUp(b); });
    connect(Label16, &EventLabel::clicked, this, [this] { Label16_Click(); });
    connect(Label9, &EventLabel::clicked, this, [this] { Label9_Click(); });

    connect(List1, &QListWidget::itemClicked, this, [this] { List1_Click(); });
    // Choosing an event with the keys counts as a click too, so the page's
    // buttons act on the event that is highlighted.
    connect(List1, &QListWidget::itemSelectionChanged, this, [this] { List1_Click(); });
    connect(Command5, &QPushButton::clicked, this, [this] { Command5_Click(); });
    connect(Command6, &QPushButton::clicked, this, [this] { Command6_Click(); });
    connect(Command7, &QPushButton::clicked, this, [this] { Command7_MouseUp(); });
    connect(cmdDefaultSound, &QPushButton::clicked, this, [this] { cmdDefaultSound_Click(); });

    for (QLineEdit *e : {txtMaxLog, txtMinLog, txtMaxLogFile, txtGpause, txtUpdateHour})
        connect(e, &QLineEdit::textChanged, this, [this] { AdvChanged = true; });
    connect(HScroll1, &QScrollBar::valueChanged, this, [this] { HScroll1_Change(); });
    connect(TrimLog, &QCheckBox::toggled, this, [this] { TrimLog_Click(); });
    connect(ckRecording, &QCheckBox::toggled, this, [this] { ckRecording_Click(); });
    connect(chkUpdates, &QCheckBox::toggled, this, [this] { chkUpdates_Click(); });
    connect(lblAutoCheckTime, &EventLabel::clicked, this, [this] { lblAutoCheckTime_Click(); });
    connect(cmdLogDefault, &QPushButton::clicked, this, [this] { cmdLogDefault_Click(); });

    const QList<QWidget *> watched = {
        cmdApply,  cmdClose,  cmdCancel,     cmdHelp,         cmdCalcSun,  Command2,
        Command5,  Command6,  Command7,      cmdDefaultSound, txtBcaption, txtGroupNum,
        txtSec,    txtMin,    txtLat,        txtLong,         txtZone,     txtUpdateHour,
        txtMaxLog, txtMinLog, txtMaxLogFile, txtGpause,       Combo1,      Combo1->lineEdit()};
    for (QWidget *w : watched)
        w->installEventFilter(this);
}

// ---------------------------------------------------------------- loading

void FormSetup::resetControls()
{
    // The design state: every switch OFF, every box with its design text.
    const auto quiet = [](QObject *o, auto &&set) {
        const QSignalBlocker block(o);
        set();
    };
    for (QPushButton *b : Check2)
        quiet(b, [b] { b->setChecked(false); });
    for (QPushButton *b : {Check3, chkTSound, chkMsound})
        quiet(b, [b] { b->setChecked(false); });
    for (QPushButton *b : Check2)
        setSwitchLook(b);
    for (QPushButton *b : {Check3, chkTSound, chkMsound})
        setSwitchLook(b);
    // With the sound switch OFF the two scheduler switches stay disabled
    // until it is turned on.
    for (QWidget *w : std::initializer_list<QWidget *>{chkTSound, chkMsound, Label10, Label11})
        w->setEnabled(false);
    for (QCheckBox *c : {Check1, TrimLog, ckRecording, chkUpdates})
        quiet(c, [c] { c->setChecked(false); });
    for (QRadioButton *r : Option1)
        r->setAutoExclusive(false);
    for (QRadioButton *r : Option1)
        quiet(r, [r] { r->setChecked(false); });
    for (QRadioButton *r : Option1)
        r->setAutoExclusive(true);
    quiet(HScroll1, [this] { HScroll1->setValue(0); });
    lblMsg->hide();
    List1->clear();
    lblSnd->clear();
    for (QPushButton *b : {Command5, Command6, Command7})
        b->setEnabled(false);
    lblAutoCheckTime->setEnabled(false);
    txtUpdateHour->setEnabled(false);
    txtMaxLogFile->setEnabled(false);
    Combo1->clear();
    lblCityName->clear();
    Text1->clear();
    Text2->clear();

    PanicChanged = LocChanged = SndChanged = AdvChanged = false;
    PanicColorIndex = 0;
    PcZoneHours = 0;
    CurCityName.clear();
    RelabelOnEdit = false;
    SelectedSound = -1;
}

void FormSetup::translateCaptions()
{
    static const char *prefixes[] = {"cmd", "lbl", "Che", "chk", "Lab", "Fra",
                                     "ckb", "mnu", "Opt", "Com", "ckR", "Tri"};
    const auto translated = [](const QString &name) {
        if (name.startsWith(QLatin1String("Combo")))
            return false;
        for (const char *p : prefixes) {
            if (name.startsWith(QLatin1String(p)))
                return true;
        }
        return false;
    };
    for (QObject *o : findChildren<QObject *>()) {
        if (!translated(o->objectName()))
            continue;
        if (auto *b = qobject_cast<QAbstractButton *>(o))
            b->setText(LangCap(b->text()));
        else if (auto *l = qobject_cast<QLabel *>(o))
            l->setText(LangCap(l->text()));
        else if (auto *g = qobject_cast<QGroupBox *>(o))
            g->setTitle(LangCap(g->title()));
    }
    for (int i = 0; i < SSTab1->count(); ++i)
        SSTab1->setTabText(i, LangCap(SSTab1->tabText(i)));
    Frame2->setTitle(QStringLiteral("  ") + LangCap(QStringLiteral("Enable Sounds")) +
                     QString(19, QLatin1Char(' ')));
    setWindowTitle(LangCap(QStringLiteral("Setup")));
    FitCaptions(this);
}

void FormSetup::placeWindow()
{
    m_leftTw = NumberFromText(Set(QStringLiteral("SuLeft"), QStringLiteral("100")));
    m_topTw = NumberFromText(Set(QStringLiteral("SuTop"), QStringLiteral("100")));
    MoveOnScreenTwips(this, m_leftTw, m_topTw);
}

QStringList FormSetup::shownLocation() const
{
    return {txtLat->text(), txtLong->text(), txtZone->text(), CurCityName};
}

void FormSetup::Form_Load()
{
    if (m_loaded)
        return;
    m_loaded = true;
    resetControls();
    RunEventsOnce();
    translateCaptions();
    RunEventsOnce();
    PcZoneHours = ZoneHoursFromOffsetText(TZStdOffset());
    const bool soundsOn = Set(QStringLiteral("Sounds"), QStringLiteral("True"))
                              .trimmed()
                              .compare(QLatin1String("True"), Qt::CaseInsensitive) == 0;
    Label10->setEnabled(soundsOn);
    Label11->setEnabled(soundsOn);
    Check3->setChecked(soundsOn);
    loadSchedulerSoundSwitches();
    placeWindow();
    fillPanicPage();
    fillLocationPage();
    for (int i = 0; i < 5; ++i)
        setSoundLabel(i, *SoundPath(i));
    for (int i = 0; i < 5; ++i)
        List1->addItem(LangCap(Label1[i]->text()));
    if (Mailbox *tips = mainBox("chkTips")) {
        if (tips->text() == QLatin1String("0"))
            Check2[0]->setChecked(false);
        else if (tips->text() == QLatin1String("1"))
            Check2[0]->setChecked(true);
    }
    Check2[4]->setChecked(TickedValue(Set(QStringLiteral("GrpDelayB"), QStringLiteral("1"))));
    Check2[5]->setChecked(TickedValue(Set(QStringLiteral("PanicButton"), QStringLiteral("1"))));
    Check2[6]->setChecked(TickedValue(Set(QStringLiteral("AutoStart"), QStringLiteral("0"))));
    {
        bool ok = false;
        const double n =
            NumberFromText(Set(QStringLiteral("ChkForUpdts"), QStringLiteral("3")), &ok);
        if (ok && n < 2)
            chkUpdates->setChecked(n == 1);
        txtUpdateHour->setText(Set(QStringLiteral("ChkUpdtsTime"), QStringLiteral("19")));
    }
    Check2[3]->setChecked(AssocOn);
    Check1->setChecked(Check2[5]->isChecked());
    Check2[1]->setChecked(TickedValue(Set(QStringLiteral("MinToTray"), QStringLiteral("0"))));
    Check2[2]->setChecked(Set(QStringLiteral("MinOnStart")) == QLatin1String("True"));
    SndChanged = false;
    PanicChanged = false;
    cmdApply->setEnabled(false);
    fillAdvancedPage();
    ckRecording->setChecked(SendOnRecord());
    PrefsOpen = true;
    RelabelOnEdit = false;
    FillCities();
    for (QLineEdit *e : {txtGroupNum, txtMin, txtSec})
        e->setValidator(m_digitsOnly);
    RelabelOnEdit = true;
    tmrApply->start();
}

void FormSetup::loadSchedulerSoundSwitches()
{
    chkTSound->setChecked(
        TickedValue(GetSet(kSounds, QStringLiteral("TimerTsound"), QStringLiteral("1"))));
    chkMsound->setChecked(
        TickedValue(GetSet(kSounds, QStringLiteral("TimerMsound"), QStringLiteral("1"))));
}

void FormSetup::fillPanicPage()
{
    const auto text = [this](const char *name) {
        Mailbox *box = mainBox(name);
        return box ? box->text() : QString();
    };
    txtGroupNum->setText(text("txtGroupNum"));
    txtBcaption->setText(text("txtPanicNm"));
    txtMin->setText(text("txtPanicMin"));
    txtSec->setText(text("txtPanicSec"));
    bool ok = false;
    const int colour = text("txtPanicBcolor").trimmed().toInt(&ok);
    if (ok)
        PanicColorIndex = colour;
    Option1[PanicColorIndex >= 1 && PanicColorIndex <= 6 ? PanicColorIndex : 0]->setChecked(true);
    if (txtGroupNum->text().isEmpty())
        txtGroupNum->setText(QStringLiteral("8"));
    // Check1 follows Check2(5) when the general options are loaded.
}

void FormSetup::fillLocationPage()
{
    txtLat->setText(Set(QStringLiteral("CityLatitude")));
    txtLong->setText(Set(QStringLiteral("CityLongitude")));
    txtZone->setText(Set(QStringLiteral("CityZone"), QString::number(PcZoneHours)));
    CurCityName = Set(QStringLiteral("CityName"));
    lblCityName->setText(CurCityName.isEmpty() ? QString()
                                               : QLatin1Char(' ') + CurCityName + QLatin1Char(' '));
    LocChanged = Set(QStringLiteral("CityZone")).isEmpty();
    if (!txtLat->text().isEmpty() && !txtLong->text().isEmpty())
        cmdCalcSun_Click();
    m_loadedLocation = shownLocation();
}

void FormSetup::fillAdvancedPage()
{
    TrimLog->setChecked(TickedValue(Set(QStringLiteral("TrimTimerLog"), QStringLiteral("1"))));
    txtMaxLogFile->setEnabled(TrimLog->isChecked());
    txtMaxLog->setText(Set(QStringLiteral("MaxLogSize"), QStringLiteral("500")));
    txtMinLog->setText(Set(QStringLiteral("KeepLogSize"), QStringLiteral("400")));
    txtMaxLogFile->setText(Set(QStringLiteral("MaxLogFileLines"), QStringLiteral("59000")));
    txtGpause->setText(Set(QStringLiteral("GPause"), QStringLiteral("0.6")));
    AdvChanged = false;
    for (QLineEdit *e : {txtMaxLog, txtMinLog, txtMaxLogFile})
        e->setValidator(m_digitsOnly);
    // From the design position 0, so any other position rewrites the box
    // with the slider's own text. A pause the slider cannot show (not a
    // number, below 0 or above 1.5 s) leaves slider and box as they are:
    // clamping it would put another pause in the box, and the next Apply
    // would store that one instead of the user's.
    bool ok = false;
    const double hundredths = NumberFromText(txtGpause->text(), &ok) * 100;
    if (ok && hundredths >= HScroll1->minimum() - 0.5 && hundredths < HScroll1->maximum() + 0.5)
        HScroll1->setValue(qRound(hundredths));
}

void FormSetup::FillCities()
{
    clsSunrise &s = sun();
    for (int i = 0; i < s.CityCount(); ++i)
        Combo1->addItem(s.CityName(i));
    Combo1->setCurrentIndex(-1);
    Combo1->setEditText(QStringLiteral("   ----- Select City -----"));
}

clsSunrise &FormSetup::sun()
{
    if (!m_sun)
        m_sun = std::make_unique<clsSunrise>();
    return *m_sun;
}

Mailbox *FormSetup::mainBox(const char *name) const
{
    MainWindowService *mw = MainWindow();
    return mw ? mw->optionBox(QLatin1String(name)) : nullptr;
}

bool FormSetup::tipsOn() const
{
    Mailbox *tips = mainBox("chkTips");
    return tips && tips->text() == QLatin1String("1");
}

// ---------------------------------------------------------------- frame

void FormSetup::tmrApply_Timer()
{
    cmdApply->setEnabled(SndChanged || PanicChanged || LocChanged || AdvChanged);
}

void FormSetup::cmdApply_Click()
{
    applyPanicPage();
    PanicChanged = false;
    if (SndChanged) {
        SaveSounds();
        SndChanged = false;
    }
    if (AdvChanged)
        applyAdvancedPage();
    applyLocationPage();
    cmdApply->setEnabled(false);
    cmdClose->setFocus();
}

void FormSetup::cmdClose_Click()
{
    cmdApply_Click();
    if (SoundsOn)
        PlayWav(ClickSound);
    Form_Unload();
}

void FormSetup::cmdCancel_Click()
{
    LocChanged = false;
    SndChanged = false;
    PanicChanged = false;
    Form_Unload();
}

void FormSetup::reject()
{
    cmdCancel_Click();
}

void FormSetup::closeEvent(QCloseEvent *event)
{
    // The close box unloads; the window object itself stays for the next use.
    event->ignore();
    if (!m_closing)
        Form_Unload();
}

void FormSetup::Form_Unload()
{
    if (!m_loaded || m_closing)
        return;
    m_closing = true;
    if (!isMinimized()) {
        Save(QStringLiteral("SuLeft"), QString::number(TwipsToStore(x(), m_leftTw)));
        Save(QStringLiteral("SuTop"), QString::number(TwipsToStore(y(), m_topTw)));
    }
    // Asked only when the boxes hold another place than the one they were
    // loaded with (a first opening marks the location changed so that Apply
    // can store the computer's zone, but nothing was changed by the user).
    if (LocChanged && isVisible() && shownLocation() != m_loadedLocation) {
        const QString title = LangCap(QStringLiteral("City Location has Changed !"));
        if (Questions(title + QStringLiteral("\r\n\r\n") +
                          LangCap(QStringLiteral("Save changes before closing?")),
                      2, title) == 1)
            cmdApply_Click();
    }
    if (SndChanged) {
        if (Questions(LangCap(QStringLiteral("Save changes before closing?")), 2,
                      LangCap(QStringLiteral("Sounds have Changed"))) == 1)
            SaveSounds();
    }
    PrefsOpen = false;
    tmrApply->stop();
    m_loaded = false;
    hide();
    m_closing = false;
}

void FormSetup::cmdHelp_Click()
{
    static const char *anchors[] = {"Preferences", "SetupPanicButton", "Location", "Sounds",
                                    "Advanced"};
    const int tab = SSTab1->currentIndex();
    const QString anchor = QLatin1String(anchors[tab <= 0 ? 0 : qMin(tab, 4)]);
    if (HelpService *help = Help()) {
        help->unload();
        help->open(InProgramFolder(QStringLiteral("zyvHelp.html")) + QLatin1Char('#') + anchor);
    }
}

void FormSetup::SSTab1_Click()
{
    if (m_loaded && SSTab1->currentIndex() == 0)
        loadSchedulerSoundSwitches();
}

void FormSetup::showToolTip(QObject *control)
{
    auto *w = qobject_cast<QWidget *>(control);
    if (!w)
        return;
    if (w == cmdDefaultSound) {
        w->setToolTip(LangTip(QStringLiteral("Restore all sounds to default")));
        return;
    }
    QString text;
    if (w == cmdApply)
        text = QStringLiteral("Apply changes without closing window");
    else if (w == cmdClose)
        text = QStringLiteral("Save changes and close window");
    else if (w == cmdCancel)
        text = QStringLiteral("Close window without saving changes");
    else if (w == cmdHelp) {
        static const char *tips[] = {"Help for Preferences setup", "Help for Panic Button setup",
                                     "Help for Location setup", "Help for Sounds setup"};
        const int tab = SSTab1->currentIndex();
        if (tab >= 4)
            return; // left as it was
        text = QLatin1String(tips[qMax(tab, 0)]);
    } else if (w == cmdCalcSun)
        text = QStringLiteral("Calculate the sunrise/ sunset times");
    else if (w == Command2)
        text = QStringLiteral("Clear saved settings");
    else if (w == Command5)
        text = QStringLiteral("Remove sound from selected event");
    else if (w == Command6)
        text = QStringLiteral("Play selected sound");
    else if (w == Command7)
        text = QStringLiteral("Select a new sound");
    else if (w == txtBcaption)
        text = QStringLiteral("Enter the name you want to appear on the button. Put the '&' "
                              "symbol before a character to create a hot key.");
    else if (w == txtGroupNum)
        text = QStringLiteral(
            "Enter Group number (1 to 8) to start when the 'quick' button is clicked");
    else if (w == txtSec)
        text = QStringLiteral("Enter zero (0) for NO Off");
    else if (w == txtLat)
        text = QStringLiteral("Enter Latitude for your location");
    else if (w == txtLong)
        text = QStringLiteral("Enter Longitude for your location");
    else if (w == txtZone)
        text = QStringLiteral("Enter offset to GMT (whole hours only)");
    else if (w == txtUpdateHour)
        text = QStringLiteral("Enter hour of day to check for updates. ( 0 to 23 )");
    else
        return;
    w->setToolTip(tipsOn() ? LangTip(text) : QString());
}

bool FormSetup::keyFiltered(QObject *watched, int key)
{
    if (watched == txtLat || watched == txtLong)
        return !LatLongKeyAccepted(key, static_cast<QLineEdit *>(watched)->text());
    if (watched == txtZone)
        return !ZoneKeyAccepted(key);
    if (watched == txtUpdateHour)
        return !HourKeyAccepted(key);
    if (watched == txtGroupNum) {
        const bool accepted = GroupKeyAccepted(key);
        lblMsg->setVisible(!accepted);
        return !accepted;
    }
    return false;
}

bool FormSetup::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::Enter:
        showToolTip(watched);
        break;
    case QEvent::KeyPress: {
        auto *key = static_cast<QKeyEvent *>(event);
        if ((watched == Combo1 || watched == Combo1->lineEdit()) &&
            (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
            cmdClose->setFocus();
            return true;
        }
        int code = -1;
        if (key->key() == Qt::Key_Backspace)
            code = 8;
        else if (!key->text().isEmpty() && key->text().at(0).isPrint())
            code = key->text().at(0).unicode();
        if (code >= 0 && keyFiltered(watched, code))
            return true;
        break;
    }
    case QEvent::FocusIn:
        if (watched == txtBcaption || watched == txtMin || watched == txtSec ||
            watched == txtGroupNum) {
            auto *box = static_cast<QLineEdit *>(watched);
            QTimer::singleShot(0, box, [box] { box->selectAll(); });
        }
        break;
    case QEvent::FocusOut:
        if (watched == txtGroupNum)
            lblMsg->hide();
        else if (watched == txtMaxLog || watched == txtMinLog || watched == txtMaxLogFile ||
                 watched == txtGpause)
            AdvancedBox_LostFocus(static_cast<QLineEdit *>(watched));
        break;
    default:
        break;
    }
    return QDialog::eventFilter(watched, event);
}

// ---------------------------------------------------------------- general options

void FormSetup::setSwitchLook(QPushButton *box)
{
    const bool on = box->isChecked();
    box->setText(LangCap(on ? QStringLiteral("ON") : QStringLiteral("OFF")));
    box->setStyleSheet(ColourSheet("QPushButton", on ? SwitchOnColour() : SwitchOffColour()));
}

void FormSetup::Check2_Click(int index)
{
    if (Check3->isChecked() && PrefsOpen)
        PlayWav(ClickSound);
    setSwitchLook(Check2[index]);
    const bool on = Check2[index]->isChecked();
    const QString v = Bit(on);
    MainWindowService *mw = MainWindow();
    const auto setBox = [this](const char *name, const QString &text) {
        if (Mailbox *box = mainBox(name))
            box->setText(text);
    };
    switch (index) {
    case 0:
        setBox("chkTips", v);
        break;
    case 1:
        MinOnStart = on;
        if (mw)
            mw->setMnuMinToTray(on);
        Save(QStringLiteral("MinToTray"), v);
        break;
    case 2:
        Save(QStringLiteral("MinOnStart"), on ? QStringLiteral("True") : QStringLiteral("False"));
        break;
    case 4:
        setBox("txtGrpDelayB", v);
        Save(QStringLiteral("GrpDelayB"), v);
        break;
    case 5:
        setBox("chbPanicOn", v);
        Check1->setChecked(on);
        Save(QStringLiteral("PanicButton"), v);
        break;
    case 6:
        if (on)
            AddStartup(QStringLiteral("Orvendale"), QString(), 1, false);
        else
            RemoveStartup(QStringLiteral("Orvendale"), 1);
        Save(QStringLiteral("AutoStart"), v);
        break;
    default:
        break;
    }
    setBox("txtMinimizeSave", Bit(Check2[1]->isChecked()) + Bit(Check2[2]->isChecked()));
}

// The association is written into the user's own folders; it can only fail
// where those cannot be written (or made), which stands in for missing
// administrator rights.
static bool AssociationFoldersWritable()
{
    for (const QString &folder :
         {QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation),
          QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)}) {
        QFileInfo info(folder);
        while (!info.exists() && !info.absolutePath().isEmpty() &&
               info.absoluteFilePath() != info.absolutePath())
            info = QFileInfo(info.absolutePath());
        if (!info.isDir() || !info.isWritable())
            return false;
    }
    return true;
}

void FormSetup::Check2_MouseUp(int index)
{
    if (index != 3)
        return;
    if (Check2[3]->isChecked() && !AssociationFoldersWritable()) {
        const int answer = Questions(
            LangCap(QStringLiteral(
                "You may need to be logged in as an administrator to make this change.")) +
                QLatin1Char('\r') +
                LangCap(QStringLiteral(
                    "If the association fails, log in as an admisistrator and try again.")),
            2, QStringLiteral("Administrative Rights"));
        if (answer != 1) {
            Check2[3]->setChecked(false);
            return;
        }
    }
    MainWindowService *mw = MainWindow();
    const bool mark = ToggleAssocCro(mw ? mw->mnuAssociateChecked() : AssocOn);
    if (mw)
        mw->setMnuAssociate(mark);
}

// ---------------------------------------------------------------- panic page

void FormSetup::Option1_Click(int index)
{
    if (Check3->isChecked())
        PlayWav(ClickSound);
    if (index != PanicColorIndex)
        PanicChanged = true;
    PanicColorIndex = index;
    Label7->setStyleSheet(ColourSheet("QLabel", PanicOptionColour(index)));
}

void FormSetup::Check1_Click()
{
    const bool on = Check1->isChecked();
    Check2[5]->setChecked(on);
    if (Mailbox *box = mainBox("chbPanicOn"))
        box->setText(Bit(on));
    Save(QStringLiteral("PanicButton"), Bit(on));
}

void FormSetup::txtGroupNum_Change()
{
    if (!GroupNumValid(txtGroupNum->text())) {
        if (isVisible())
            Info(LangCap(QStringLiteral("Group Number must be a number from 1 to 8")), true, false,
                 QApplication::applicationName(), QStringLiteral("OK"), true);
        txtGroupNum->clear();
        txtGroupNum->setFocus();
    }
    PanicChanged = true;
}

void FormSetup::applyPanicPage()
{
    const auto setBox = [this](const char *name, const QString &text) {
        if (Mailbox *box = mainBox(name))
            box->setText(text);
    };
    if (txtGroupNum->text().isEmpty())
        txtGroupNum->setFocus();
    setBox("txtGroupNum", txtGroupNum->text());
    if (txtBcaption->text().isEmpty())
        txtBcaption->setText(LangCap(QStringLiteral("Pa&nic")));
    setBox("txtPanicNm", txtBcaption->text());
    if (MainWindowService *mw = MainWindow())
        mw->setMnuPanicRunText(txtBcaption->text() + QLatin1Char(' ') +
                               LangCap(QStringLiteral("(Run)")));
    if (txtMin->text().isEmpty())
        txtMin->setText(QStringLiteral("00"));
    setBox("txtPanicMin", txtMin->text());
    setBox("txtPanicSec", txtSec->text());
    setBox("txtPanicBcolor", QString::number(PanicColorIndex));
    PutRec(274, txtBcaption->text());
    if (PanicChanged) {
        PutRec(279, QString::number(PanicColorIndex));
        if (txtMin->text().isEmpty() || txtMin->text() == QLatin1String("0"))
            txtMin->setText(QStringLiteral("00"));
        PutRec(280, txtMin->text() + QLatin1Char(',') + txtSec->text());
        PutRec(281, txtGroupNum->text());
    }
}

// ---------------------------------------------------------------- location page

void FormSetup::Combo1_Click()
{
    if (RelabelOnEdit) {
        const int index = Combo1->currentIndex();
        clsSunrise &s = sun();
        s.setCity(index);
        s.setDateDay(QDateTime::currentDateTime());
        s.CalculateSun();
        if (!(s.Latitude() == 0 && s.Longitude() == 0 && s.TimeZone() == 0)) {
            txtLat->setText(QString::number(s.Latitude()));
            txtLong->setText(QString::number(s.Longitude()));
            txtZone->setText(QString::number(s.TimeZone()));
            CurCityName = s.CityName(index);
            if (!CurCityName.isEmpty() && !CurCityName.startsWith(QLatin1Char(' '))) {
                lblCityName->setText(QLatin1Char(' ') + CurCityName + QLatin1Char(' '));
                lblCityName->setVisible(true);
                cmdCalcSun_Click();
            } else {
                lblCityName->clear();
            }
        }
    }
    RelabelOnEdit = true;
}

void FormSetup::LocationBox_Change()
{
    LocChanged = true;
    if (RelabelOnEdit) {
        CurCityName = QStringLiteral("User Defined");
        lblCityName->setText(QStringLiteral("for:  ") + CurCityName);
        RelabelOnEdit = false;
    }
}

void FormSetup::cmdCalcSun_Click()
{
    clsSunrise &s = sun();
    bool ok = false;
    double v = NumberFromText(txtLat->text(), &ok);
    if (ok)
        s.setLatitude(v);
    v = NumberFromText(txtLong->text(), &ok);
    if (ok)
        s.setLongitude(v);
    v = NumberFromText(txtZone->text(), &ok);
    if (ok && v == double(int(v)))
        s.setTimeZone(int(v));
    const QString savings = Set(QStringLiteral("DaySavings")).trimmed();
    if (savings.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
        s.setDaySavings(true);
    else if (savings.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
        s.setDaySavings(false);
    s.setDateDay(QDateTime::currentDateTime());
    s.CalculateSun();
    if (txtLat->text().isEmpty() || txtLong->text().isEmpty() || txtZone->text().isEmpty()) {
        Text1->clear();
        Text2->clear();
        return;
    }
    const QString format = QStringLiteral("hh:mm:ss AP");
    const auto shown = [&format](const QDateTime &t) {
        return t.isValid() ? t.time().toString(format) : QString();
    };
    Text1->setText(LangCap(QStringLiteral("Today's Sunrise:")) + QLatin1Char(' ') +
                   shown(s.Sunrise()));
    Text2->setText(LangCap(QStringLiteral("Today's Sunset:")) + QLatin1Char(' ') +
                   shown(s.Sunset()));
}

void FormSetup::Command2_Click()
{
    txtLat->clear();
    txtLong->clear();
    txtZone->setText(QString::number(PcZoneHours));
    CurCityName.clear();
    lblCityName->clear();
    Text1->clear();
    Text2->clear();
    Combo1->setFocus();
    RelabelOnEdit = true;
}

void FormSetup::Label17_MouseUp(Qt::MouseButton button)
{
    const bool show = button == Qt::RightButton;
    txtZone->setVisible(show);
    lblZone->setVisible(show);
}

void FormSetup::Label16_Click()
{
    Combo1->setFocus();
}

void FormSetup::Label9_Click()
{
    OpenDoc(SunDataAddress());
}

void FormSetup::applyLocationPage()
{
    Save(QStringLiteral("CityLatitude"), txtLat->text());
    Save(QStringLiteral("CityLongitude"), txtLong->text());
    Save(QStringLiteral("CityZone"), txtZone->text());
    Save(QStringLiteral("CityName"), CurCityName);
    LocChanged = false;
    m_loadedLocation = shownLocation();
    if (txtZone->text().isEmpty())
        DeleteSet(kSettings, QStringLiteral("CityZone"));
}

// ---------------------------------------------------------------- sounds

void FormSetup::Check3_Click()
{
    const bool on = Check3->isChecked();
    if (on && PrefsOpen)
        PlayWav(ClickSound);
    setSwitchLook(Check3);
    for (QWidget *w : std::initializer_list<QWidget *>{chkMsound, chkTSound, Label10, Label11})
        w->setEnabled(on);
    SoundsOn = on;
    Save(QStringLiteral("Sounds"), on ? QStringLiteral("True") : QStringLiteral("False"));
}

void FormSetup::chkTSound_Click()
{
    const bool on = chkTSound->isChecked();
    SaveSet(kSounds, QStringLiteral("TimerTsound"), Bit(on));
    setSwitchLook(chkTSound);
    if (TimersService *timers = Timers())
        timers->setChkTSound(on ? 1 : 0);
}

void FormSetup::chkMsound_Click()
{
    const bool on = chkMsound->isChecked();
    SaveSet(kSounds, QStringLiteral("TimerMsound"), Bit(on));
    setSwitchLook(chkMsound);
    if (TimersService *timers = Timers())
        timers->setChkMsound(on ? 1 : 0);
}

void FormSetup::setSoundLabel(int index, const QString &path)
{
    if (Label2[index]->text() == path)
        return;
    Label2[index]->setText(path);
    // A changed file label is a sound edit.
    SndChanged = true;
    cmdApply->setEnabled(true);
}

void FormSetup::List1_Click()
{
    for (QPushButton *b : {Command5, Command6, Command7})
        b->setEnabled(true);
    const int index = List1->currentRow();
    if (index >= 0 && index < 5) {
        lblSnd->setText(Label2[index]->text());
        SelectedSound = index;
    }
}

void FormSetup::Command5_Click()
{
    if (SelectedSound < 0)
        return;
    setSoundLabel(SelectedSound, QStringLiteral("none"));
    List1_Click();
}

void FormSetup::Command6_Click()
{
    PlayWav(lblSnd->text());
}

void FormSetup::Command7_MouseUp()
{
    PlayWav(ClickSound);
    if (SelectedSound < 0)
        return;
    const QString path = Dialogs().openFileName(
        this, QStringLiteral("Sound Event - ") + Label1[SelectedSound]->text(), ProgramFolder(),
        QStringLiteral("Sound Files (*.wav);;All Files (*)"));
    if (path.isEmpty())
        return;
    setSoundLabel(SelectedSound, path);
    lblSnd->setText(path);
}

void FormSetup::cmdDefaultSound_Click()
{
    if (Questions(LangCap(QStringLiteral(
                      "Are you sure you want to restore all sounds to the default settings?")),
                  2, QStringLiteral("Restore Default?")) != 1)
        return;
    PlayWav(ClickSound);
    for (int i = 0; i < 5; ++i)
        setSoundLabel(i, InProgramFolder(QLatin1String(kSoundEvents[i].file)));
    List1_Click();
    SaveSounds();
    SndChanged = false;
}

void FormSetup::SaveSounds()
{
    for (int i = 0; i < 5; ++i)
        *SoundPath(i) = Label2[i]->text();
    SaveSet(kSounds, QStringLiteral("defSound"), ClickSound);
    SaveSet(kSounds, QStringLiteral("RecSound"), RecordSound);
    SaveSet(kSounds, QStringLiteral("defTsound"), TimerSound);
    SaveSet(kSounds, QStringLiteral("defMsound"), TickSound);
    SaveSet(kSounds, QStringLiteral("defZSound"), ZoomSound);
}

// ---------------------------------------------------------------- advanced page

void FormSetup::AdvancedBox_LostFocus(QLineEdit *box)
{
    if (IsNumericText(box->text()))
        return;
    if (box == txtMaxLog)
        box->setText(QStringLiteral("500"));
    else if (box == txtMinLog)
        box->setText(QStringLiteral("400"));
    else if (box == txtMaxLogFile)
        box->setText(QStringLiteral("59000"));
    else if (box == txtGpause)
        box->setText(QStringLiteral(".6"));
}

void FormSetup::HScroll1_Change()
{
    txtGpause->setText(QString::number(HScroll1->value() * 0.01, 'g', 15));
}

void FormSetup::TrimLog_Click()
{
    AdvChanged = true;
    txtMaxLogFile->setEnabled(TrimLog->isChecked());
}

void FormSetup::ckRecording_Click()
{
    Save(QStringLiteral("SendOnRecord"), Bit(ckRecording->isChecked()));
}

void FormSetup::chkUpdates_Click()
{
    const bool on = chkUpdates->isChecked();
    Save(QStringLiteral("ChkForUpdts"), Bit(on));
    txtUpdateHour->setEnabled(on);
    lblAutoCheckTime->setEnabled(on);
}

void FormSetup::lblAutoCheckTime_Click()
{
    if (!lblAutoCheckTime->isEnabled())
        return;
    Save(QStringLiteral("ChkType"), QStringLiteral("manual"));
    RunEventsOnce();
    OpenDoc(InstalledProgramPath(QStringLiteral("update")));
}

void FormSetup::cmdLogDefault_Click()
{
    txtMaxLog->setText(QStringLiteral("500"));
    txtMinLog->setText(QStringLiteral("400"));
    txtMaxLogFile->setText(QStringLiteral("59000"));
    if (HScroll1->value() == 60)
        HScroll1_Change();
    else
        HScroll1->setValue(60);
}

void FormSetup::applyAdvancedPage()
{
    // A box that lost no focus since it was typed in is put right here, so a
    // text that is not a number never reaches the stored limits.
    for (QLineEdit *box : {txtMaxLog, txtMinLog, txtMaxLogFile, txtGpause})
        AdvancedBox_LostFocus(box);
    Save(QStringLiteral("MaxLogSize"), txtMaxLog->text());
    Save(QStringLiteral("KeepLogSize"), txtMinLog->text());
    Save(QStringLiteral("MaxLogFileLines"), txtMaxLogFile->text());
    Save(QStringLiteral("TrimTimerLog"), Bit(TrimLog->isChecked()));
    Save(QStringLiteral("GPause"), txtGpause->text());
    Save(QStringLiteral("ChkUpdtsTime"), txtUpdateHour->text());
    AdvChanged = false;
}

// ---------------------------------------------------------------- service

namespace {

FormSetup *g_setup = nullptr;

class SetupService : public PrefsService {
public:
    void showPage(int page) override
    {
        FormSetup &w = SetupWindow();
        w.Form_Load();
        if (page >= 0 && page < w.SSTab1->count())
            w.SSTab1->setCurrentIndex(page);
        w.show();
        w.raise();
        w.activateWindow();
    }
    bool isLoaded() const override { return g_setup && g_setup->isLoaded(); }
    void unload() override
    {
        if (g_setup)
            g_setup->Form_Unload();
    }
};

} // namespace

FormSetup &SetupWindow()
{
    return *LazyWindow(g_setup);
}

void InstallPrefsWindow()
{
    static SetupService service;
    SetPrefs(&service);
}

} // namespace qelt
