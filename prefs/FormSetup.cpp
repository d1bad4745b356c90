#include "prefs/FormSetup.h"

#include "core/Dialogs.h"
#include "core/LazyWindow.h"
#include "core/Sounds.h"
#include "core/WindowHelpers.h"
#include "core/services/ConsoleServices.h"
#include "core/services/PrefsServices.h"
#include "logic/Globals.h"
#include "logic/Lang.h"
#include "logic/ProgramFolder.h"
#include "logic/Settings.h"
#include "logic/Transmitter.h"
#include "prefs/SetupAdvancedPage.h"
#include "prefs/SetupGeneralPage.h"
#include "prefs/SetupLocationPage.h"
#include "prefs/SetupPageParts.h"
#include "prefs/SetupPanicPage.h"
#include "prefs/SetupRules.h"
#include "prefs/SetupSoundsPage.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>

namespace qelt {

namespace {

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
    SetupPageHost &host = *this;
    general = new SetupGeneralPage(host);
    panic = new SetupPanicPage(host);
    location = new SetupLocationPage(host);
    sounds = new SetupSoundsPage(host);
    advanced = new SetupAdvancedPage(host);
    SSTab1->addTab(general, QStringLiteral("Preferences"));
    SSTab1->addTab(panic, QStringLiteral("Panic Btn"));
    SSTab1->addTab(location, QStringLiteral("Location"));
    SSTab1->addTab(sounds, QStringLiteral("Sounds"));
    SSTab1->addTab(advanced, QStringLiteral("Advanced"));

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

    tmrApply = new QTimer(this);
    tmrApply->setObjectName(QStringLiteral("tmrApply"));
    tmrApply->setInterval(250);
}

void FormSetup::connectHandlers()
{
    connect(cmdApply, &QPushButton::clicked, this, [this] { cmdApply_Click(); });
    connect(cmdClose, &QPushButton::clicked, this, [this] { cmdClose_Click(); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
    connect(cmdHelp, &QPushButton::clicked, this, [this] { cmdHelp_Click(); });
    connect(tmrApply, &QTimer::timeout, this, [this] { tmrApply_Timer(); });
    connect(SSTab1, &QTabWidget::currentChanged, this, [this] { SSTab1_Click(); });

    // The panic button switch is on two pages; either one turns the other.
    connect(general, &SetupGeneralPage::panicButtonSwitched, panic->Check1, &QCheckBox::setChecked);
    connect(panic, &SetupPanicPage::panicButtonSwitched, general->Check2[5],
            &QPushButton::setChecked);

    for (QWidget *w : {cmdApply, cmdClose, cmdCancel, cmdHelp})
        w->installEventFilter(this);
}

// ---------------------------------------------------------------- loading

void FormSetup::resetControls()
{
    general->resetPage();
    panic->resetPage();
    location->resetPage();
    sounds->resetPage();
    advanced->resetPage();
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
    general->Frame2->setTitle(QStringLiteral("  ") + LangCap(QStringLiteral("Enable Sounds")) +
                              QString(19, QLatin1Char(' ')));
    setWindowTitle(LangCap(QStringLiteral("Setup")));
    FitCaptions(this);
}

void FormSetup::placeWindow()
{
    m_leftTw = NumberFromText(SetupSetting(QStringLiteral("SuLeft"), QStringLiteral("100")));
    m_topTw = NumberFromText(SetupSetting(QStringLiteral("SuTop"), QStringLiteral("100")));
    MoveOnScreenTwips(this, m_leftTw, m_topTw);
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
    general->fillSoundSwitches();
    placeWindow();
    panic->fillPanicPage();
    location->fillLocationPage();
    sounds->fillSoundsPage();
    general->fillGeneralPage();
    panic->Check1->setChecked(general->Check2[5]->isChecked());
    // What the pages were loaded with waits for no Apply.
    cmdApply->setEnabled(false);
    advanced->fillAdvancedPage();
    PrefsOpen = true;
    tmrApply->start();
}

// ---------------------------------------------------------------- pages' needs

Mailbox *FormSetup::mainBox(const char *name) const
{
    MainWindowService *mw = MainWindow();
    return mw ? mw->optionBox(QLatin1String(name)) : nullptr;
}

bool FormSetup::tipsOn() const
{
    MainWindowService *mw = MainWindow();
    return mw && mw->toolTipsOn();
}

bool FormSetup::clickSoundsOn() const
{
    return general->Check3->isChecked();
}

void FormSetup::enableApply()
{
    cmdApply->setEnabled(true);
}

void FormSetup::focusOk()
{
    cmdClose->setFocus();
}

// ---------------------------------------------------------------- frame

void FormSetup::tmrApply_Timer()
{
    cmdApply->setEnabled(sounds->SndChanged || panic->PanicChanged || location->LocChanged ||
                         advanced->AdvChanged);
}

void FormSetup::cmdApply_Click()
{
    panic->applyPanicPage();
    if (sounds->SndChanged)
        sounds->SaveSounds();
    if (advanced->AdvChanged)
        advanced->applyAdvancedPage();
    location->applyLocationPage();
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
    location->LocChanged = false;
    sounds->SndChanged = false;
    panic->PanicChanged = false;
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
        SaveSetupSetting(QStringLiteral("SuLeft"), QString::number(TwipsToStore(x(), m_leftTw)));
        SaveSetupSetting(QStringLiteral("SuTop"), QString::number(TwipsToStore(y(), m_topTw)));
    }
    // Asked only when the boxes hold another place than the one they were
    // loaded with (a first opening marks the location changed so that Apply
    // can store the computer's zone, but nothing was changed by the user).
    if (location->LocChanged && isVisible() && location->locationEdited()) {
        const QString title = LangCap(QStringLiteral("City Location has Changed !"));
        if (Questions(title + QStringLiteral("\r\n\r\n") +
                          LangCap(QStringLiteral("Save changes before closing?")),
                      2, title, MsgIcon::Exclamation) == 1)
            cmdApply_Click();
    }
    if (sounds->SndChanged) {
        if (Questions(LangCap(QStringLiteral("Save changes before closing?")), 2,
                      LangCap(QStringLiteral("Sounds have Changed")), MsgIcon::Exclamation) == 1)
            sounds->SaveSounds();
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
        general->loadSchedulerSoundSwitches();
}

void FormSetup::showToolTip(QObject *control)
{
    QString text;
    if (control == cmdApply)
        text = QStringLiteral("Apply changes without closing window");
    else if (control == cmdClose)
        text = QStringLiteral("Save changes and close window");
    else if (control == cmdCancel)
        text = QStringLiteral("Close window without saving changes");
    else if (control == cmdHelp) {
        static const char *tips[] = {"Help for Preferences setup", "Help for Panic Button setup",
                                     "Help for Location setup", "Help for Sounds setup"};
        const int tab = SSTab1->currentIndex();
        if (tab >= 4)
            return; // left as it was
        text = QLatin1String(tips[qMax(tab, 0)]);
    } else
        return;
    ShowTip(static_cast<QWidget *>(control), text, tipsOn());
}

bool FormSetup::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Enter)
        showToolTip(watched);
    return QDialog::eventFilter(watched, event);
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
