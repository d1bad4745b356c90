#include "prefs/SetupGeneralPage.h"

#include "core/Dialogs.h"
#include "core/FileTypes.h"
#include "core/Mailbox.h"
#include "core/Sounds.h"
#include "core/services/ConsoleServices.h"
#include "core/services/SchedulerServices.h"
#include "logic/Globals.h"
#include "logic/Lang.h"
#include "prefs/SetupPageHost.h"
#include "prefs/SetupPageParts.h"
#include "prefs/SetupRules.h"

#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QStandardPaths>

namespace qelt {

namespace {

// An ON/OFF switch: a checkable button that starts OFF.
QPushButton *MakeSwitch(QWidget *page, const QString &name, int x, int y)
{
    auto *b = new QPushButton(QStringLiteral("OFF"), page);
    b->setObjectName(name);
    b->setCheckable(true);
    b->setAutoDefault(false);
    b->setGeometry(x, y, 44, 22);
    return b;
}

// The association is written into the user's own folders; it can only fail
// where those cannot be written (or made), which stands in for missing
// administrator rights.
bool AssociationFoldersWritable()
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

} // namespace

SetupGeneralPage::SetupGeneralPage(SetupPageHost &host, QWidget *parent)
    : QWidget(parent), m_host(host)
{
    QWidget *page = this;
    const char *captions[7] = {
        "Show tool tips ( button hints )",        "Minimize sends to system tray",
        "Send program to system tray on startup", "Associate macro files (.cro) with Brindlecast",
        "Show Group Auto-Off Delay Buttons",      "Show Quick (Panic) Button",
        "Load when Windows starts (current user)"};
    for (int i = 0; i < 7; ++i) {
        const int y = 12 + i * 28;
        Check2[i] = MakeSwitch(page, QStringLiteral("Check2_%1").arg(i), 12, y);
        Label12[i] = new QLabel(QLatin1String(captions[i]), page);
        Label12[i]->setObjectName(QStringLiteral("Label12_%1").arg(i));
        Label12[i]->setGeometry(64, y, 400, 22);
    }
    Frame2 = new QGroupBox(page);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    Frame2->setGeometry(8, 214, 464, 112);
    Check3 = MakeSwitch(Frame2, QStringLiteral("Check3"), 12, 24);
    auto *soundsLabel = new QLabel(QStringLiteral("Sounds"), Frame2);
    soundsLabel->setObjectName(QStringLiteral("lblSoundsOn"));
    soundsLabel->setGeometry(64, 24, 380, 22);
    chkTSound = MakeSwitch(Frame2, QStringLiteral("chkTSound"), 12, 52);
    Label10 = new QLabel(QStringLiteral("Play sound when timer starts"), Frame2);
    Label10->setObjectName(QStringLiteral("Label10"));
    Label10->setGeometry(64, 52, 380, 22);
    chkMsound = MakeSwitch(Frame2, QStringLiteral("chkMsound"), 12, 80);
    Label11 = new QLabel(QStringLiteral("Play sound on each macro command"), Frame2);
    Label11->setObjectName(QStringLiteral("Label11"));
    Label11->setGeometry(64, 80, 380, 22);
    connectHandlers();
}

void SetupGeneralPage::connectHandlers()
{
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
}

void SetupGeneralPage::resetPage()
{
    for (QPushButton *b : Check2) {
        const QSignalBlocker block(b);
        b->setChecked(false);
    }
    for (QPushButton *b : {Check3, chkTSound, chkMsound}) {
        const QSignalBlocker block(b);
        b->setChecked(false);
    }
    for (QPushButton *b : Check2)
        setSwitchLook(b);
    for (QPushButton *b : {Check3, chkTSound, chkMsound})
        setSwitchLook(b);
    // With the sound switch OFF the two scheduler switches stay disabled
    // until it is turned on.
    for (QWidget *w : std::initializer_list<QWidget *>{chkTSound, chkMsound, Label10, Label11})
        w->setEnabled(false);
}

void SetupGeneralPage::fillSoundSwitches()
{
    const bool soundsOn = SetupSetting(QStringLiteral("Sounds"), QStringLiteral("True"))
                              .trimmed()
                              .compare(QLatin1String("True"), Qt::CaseInsensitive) == 0;
    Label10->setEnabled(soundsOn);
    Label11->setEnabled(soundsOn);
    Check3->setChecked(soundsOn);
    loadSchedulerSoundSwitches();
}

void SetupGeneralPage::loadSchedulerSoundSwitches()
{
    chkTSound->setChecked(SchedulerSoundOn(QStringLiteral("TimerTsound")));
    chkMsound->setChecked(SchedulerSoundOn(QStringLiteral("TimerMsound")));
}

void SetupGeneralPage::fillGeneralPage()
{
    if (Mailbox *tips = m_host.mainBox("chkTips")) {
        if (tips->text() == QLatin1String("0"))
            Check2[0]->setChecked(false);
        else if (tips->text() == QLatin1String("1"))
            Check2[0]->setChecked(true);
    }
    const auto ticked = [](const char *key, const char *def) {
        return SwitchOnValue(SetupSetting(QLatin1String(key), QLatin1String(def)));
    };
    Check2[4]->setChecked(ticked("GrpDelayB", "1"));
    Check2[5]->setChecked(ticked("PanicButton", "1"));
    Check2[6]->setChecked(ticked("AutoStart", "0"));
    Check2[3]->setChecked(AssocOn);
    Check2[1]->setChecked(ticked("MinToTray", "0"));
    Check2[2]->setChecked(SetupSetting(QStringLiteral("MinOnStart")) == QLatin1String("True"));
}

void SetupGeneralPage::setSwitchLook(QPushButton *box)
{
    const bool on = box->isChecked();
    box->setText(LangCap(on ? QStringLiteral("ON") : QStringLiteral("OFF")));
    box->setStyleSheet(ColourSheet("QPushButton", on ? SwitchOnColour() : SwitchOffColour()));
}

void SetupGeneralPage::Check2_Click(int index)
{
    if (Check3->isChecked() && PrefsOpen)
        PlayWav(ClickSound);
    setSwitchLook(Check2[index]);
    const bool on = Check2[index]->isChecked();
    const QString v = Bit(on);
    MainWindowService *mw = MainWindow();
    switch (index) {
    case 0:
        SetMainBox(m_host, "chkTips", v);
        break;
    case 1:
        MinOnStart = on;
        if (mw)
            mw->setMnuMinToTray(on);
        SaveSetupSetting(QStringLiteral("MinToTray"), v);
        break;
    case 2:
        SaveSetupSetting(QStringLiteral("MinOnStart"),
                         on ? QStringLiteral("True") : QStringLiteral("False"));
        break;
    case 4:
        SetMainBox(m_host, "txtGrpDelayB", v);
        SaveSetupSetting(QStringLiteral("GrpDelayB"), v);
        break;
    case 5:
        SetMainBox(m_host, "chbPanicOn", v);
        emit panicButtonSwitched(on);
        SaveSetupSetting(QStringLiteral("PanicButton"), v);
        break;
    case 6:
        if (on)
            AddStartup(QStringLiteral("Orvendale"), QString(), 1, false);
        else
            RemoveStartup(QStringLiteral("Orvendale"), 1);
        SaveSetupSetting(QStringLiteral("AutoStart"), v);
        break;
    default:
        break;
    }
    SetMainBox(m_host, "txtMinimizeSave",
               Bit(Check2[1]->isChecked()) + Bit(Check2[2]->isChecked()));
}

void SetupGeneralPage::Check2_MouseUp(int index)
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
            4, QStringLiteral("Administrative Rights"), MsgIcon::Information);
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

void SetupGeneralPage::Check3_Click()
{
    const bool on = Check3->isChecked();
    if (on && PrefsOpen)
        PlayWav(ClickSound);
    setSwitchLook(Check3);
    for (QWidget *w : std::initializer_list<QWidget *>{chkMsound, chkTSound, Label10, Label11})
        w->setEnabled(on);
    SoundsOn = on;
    SaveSetupSetting(QStringLiteral("Sounds"),
                     on ? QStringLiteral("True") : QStringLiteral("False"));
}

void SetupGeneralPage::chkTSound_Click()
{
    const bool on = chkTSound->isChecked();
    SaveSet(kSounds, QStringLiteral("TimerTsound"), Bit(on));
    setSwitchLook(chkTSound);
    if (TimersService *timers = Timers())
        timers->setChkTSound(on ? 1 : 0);
}

void SetupGeneralPage::chkMsound_Click()
{
    const bool on = chkMsound->isChecked();
    SaveSet(kSounds, QStringLiteral("TimerMsound"), Bit(on));
    setSwitchLook(chkMsound);
    if (TimersService *timers = Timers())
        timers->setChkMsound(on ? 1 : 0);
}

} // namespace qelt
