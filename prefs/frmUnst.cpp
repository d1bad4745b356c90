#include "prefs/frmUnst.h"

#include "core/Dialogs.h"
#include "core/FileTypes.h"
#include "core/LazyWindow.h"
#include "core/Shortcuts.h"
#include "core/Tray.h"
#include "core/WindowHelpers.h"
#include "core/services/SchedulerServices.h"
#include "logic/DataFile.h"
#include "logic/Globals.h"
#include "logic/Lang.h"
#include "logic/ProgramFolder.h"
#include "logic/Settings.h"
#include "logic/Transmitter.h"
#include "logic/UninstallFiles.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdlib>

namespace qelt {

namespace {

frmUnst *g_window = nullptr;
std::function<void()> g_exitNow;

const QString kCrLf = QStringLiteral("\r\n");
const char *const kAppTitle = "Orvendale";
const char *const kEnglish = "englishCaption";
// The explanation box's height before a text asks for more.
constexpr int kExplanationHeight = 70;

void ExitNow()
{
    if (g_exitNow) {
        g_exitNow();
        return;
    }
    // Every window's closing code would write settings and files again.
    std::_Exit(0);
}

class UnstHost : public UninstallService {
public:
    void showUninstaller() override
    {
        frmUnst *w = UnstWindow();
        if (!w->isLoaded())
            w->Form_Load();
        if (!w->isVisible()) {
            // No stored place: it opens in the middle of the screen.
            if (const QScreen *screen = QGuiApplication::primaryScreen())
                w->move(screen->availableGeometry().center() - w->rect().center());
        }
        w->show();
        w->raise();
        w->activateWindow();
    }
    void unload() override
    {
        if (g_window)
            g_window->Form_Unload();
    }
};

template <class W> W *Named(W *w, const char *name, const char *caption)
{
    w->setObjectName(QLatin1String(name));
    w->setText(QLatin1String(caption));
    w->setProperty(kEnglish, QLatin1String(caption));
    return w;
}

} // namespace

void SetUninstallExit(std::function<void()> exitNow)
{
    g_exitNow = std::move(exitNow);
}

frmUnst::frmUnst(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("frmUnst"));
    setWindowTitle(QStringLiteral("Remove Orvendale"));
    setAttribute(Qt::WA_QuitOnClose, false);

    Label2 = Named(new QLabel(this), "Label2", "Choose the item(s) you want to uninstall");
    QFont bold = Label2->font();
    bold.setBold(true);
    Label2->setFont(bold);
    Option1[0] = Named(new QRadioButton(this), "Option1", "Full Removal");
    Option1[1] = Named(new QRadioButton(this), "Option1", "Custom Removal");
    Check1[0] = Named(new QCheckBox(this), "Check1", "Delete Registry Entries");
    Check1[1] = Named(new QCheckBox(this), "Check1", "Delete User Files (Macros, Timers, etc.)");
    Check1[2] = Named(new QCheckBox(this), "Check1", "Remove Orvendale");
    chkOtherVer =
        Named(new QCheckBox(this), "chkOtherVer", "Delete Registy entries for other version.");
    chkOtherVer->hide();
    Label3 = new QLabel(this);
    Label3->setObjectName(QStringLiteral("Label3"));
    Label3->setWordWrap(true);
    Label3->setFrameShape(QFrame::StyledPanel);
    Label3->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label3->setMinimumHeight(kExplanationHeight);
    Label3->setMargin(4);
    Text2 = new QLineEdit(this);
    Text2->setObjectName(QStringLiteral("Text2"));
    Text2->setReadOnly(true);
    Command1 = Named(new QPushButton(this), "Command1", "Find EXE");
    cmdUninstall = Named(new QPushButton(this), "cmdUninstall", "&Uninstall");
    cmdCancel = Named(new QPushButton(this), "cmdCancel", "&Cancel");
    cmdResetPos = Named(new QPushButton(this), "cmdResetPos", "Clear All Settings");

    // Choosing the mode already chosen keeps the items ticked as they are.
    for (int i = 0; i < 2; ++i)
        connect(Option1[i], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on)
                Option1_Click(i);
        });
    for (int i = 0; i < 3; ++i)
        connect(Check1[i], &QCheckBox::toggled, this, [this, i] { Check1_Click(i); });
    connect(cmdUninstall, &QPushButton::clicked, this, [this] { cmdUninstall_Click(); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
    connect(cmdResetPos, &QPushButton::clicked, this, [this] { cmdResetPos_Click(); });
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });

    auto *modes = new QHBoxLayout;
    modes->addWidget(Option1[0]);
    modes->addWidget(Option1[1]);
    modes->addStretch(1);
    auto *items = new QVBoxLayout;
    for (QCheckBox *c : Check1)
        items->addWidget(c);
    items->addWidget(chkOtherVer);
    auto *other = new QHBoxLayout;
    other->addWidget(Text2, 1);
    other->addWidget(Command1);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(cmdResetPos);
    buttons->addStretch(1);
    buttons->addWidget(cmdUninstall);
    buttons->addWidget(cmdCancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Label2);
    layout->addLayout(modes);
    layout->addLayout(items);
    layout->addWidget(Label3);
    layout->addLayout(other);
    layout->addLayout(buttons);
    setFixedWidth(440);
}

void frmUnst::Form_Load()
{
    // A fresh window each time: no mode chosen, nothing ticked.
    for (QRadioButton *o : Option1) {
        o->setAutoExclusive(false);
        o->setChecked(false);
        o->setAutoExclusive(true);
    }
    for (QCheckBox *c : Check1) {
        const QSignalBlocker block(c);
        c->setChecked(false);
    }
    chkOtherVer->setChecked(false);
    chkOtherVer->hide();
    chkOtherVer->setProperty(kEnglish, QStringLiteral("Delete Registy entries for other version."));
    Label3->clear();
    Label3->setMinimumHeight(kExplanationHeight);
    Text2->clear();

    cmdUninstall->setEnabled(false);
    for (QCheckBox *c : Check1)
        c->setEnabled(false);
    FindOtherVersion();
    UnstOpen = true;
    m_loaded = true;
    translateCaptions();
    adjustSize();
    PutOnTop(this);
}

void frmUnst::Form_Unload()
{
    if (!m_loaded)
        return;
    m_loaded = false;
    UnstOpen = false;
    hide();
}

void frmUnst::closeEvent(QCloseEvent *event)
{
    Form_Unload();
    event->accept();
}

void frmUnst::translateCaptions()
{
    static const char *const prefixes[] = {"cmd", "lbl", "Che", "chk", "Lab",
                                           "Fra", "ckb", "mnu", "Opt"};
    auto translate = [](QWidget *w, auto setText) {
        const QString name = w->objectName();
        if (name == QLatin1String("Label3"))
            return;
        for (const char *p : prefixes) {
            if (name.startsWith(QLatin1String(p))) {
                setText(LangCap(w->property(kEnglish).toString()));
                return;
            }
        }
    };
    for (QAbstractButton *b : findChildren<QAbstractButton *>())
        translate(b, [b](const QString &t) { b->setText(t); });
    for (QLabel *l : findChildren<QLabel *>())
        translate(l, [l](const QString &t) { l->setText(t); });
}

void frmUnst::FindOtherVersion()
{
    const QString other = QLatin1String(kOtherEditionName);
    const QString path =
        ReadAppSetting(other, QStringLiteral("Database16"), QStringLiteral("CurrentExePath"));
    if (!path.isEmpty()) {
        Text2->setText(other);
        const QString caption =
            QStringLiteral("Delete Registy entries for ") + other + QStringLiteral(" also.");
        chkOtherVer->setText(caption);
        chkOtherVer->setProperty(kEnglish, caption);
        chkOtherVer->setChecked(true);
        OtherVersionFound = true;
    } else {
        OtherVersionFound = false;
    }
}

void frmUnst::Command1_Click()
{
    FindOtherVersion();
}

void frmUnst::Option1_Click(int index)
{
    cmdUninstall->setEnabled(true);
    const bool full = index == 0;
    for (QCheckBox *c : Check1) {
        c->setChecked(full);
        c->setEnabled(!full);
    }
    if (full) {
        Label3->setText(LangCap(QStringLiteral("This will completly remove Orvendale and all")) +
                        QLatin1Char('\n') +
                        LangCap(QStringLiteral("the user data stored in the same folder.")));
    } else {
        Label3->setText(
            LangCap(QStringLiteral(
                "Delete Registry Entries: Removes all Zyv data from the registry.")) +
            QLatin1Char('\n') +
            LangCap(QStringLiteral(
                "Delete User Files: Deletes macros, groups, timers, & user settings.")) +
            QLatin1Char('\n') +
            LangCap(QStringLiteral(
                "Remove Orvendale: Runs the standard uninstaller without removing user data.")));
    }
    // The box grows with its text, which a translation may make longer than
    // the box was drawn for; the window grows with it.
    Label3->setMinimumHeight(std::max(kExplanationHeight, Label3->heightForWidth(Label3->width())));
    FindOtherVersion();
    Check1_Click(0);
}

void frmUnst::Check1_Click(int)
{
    if (OtherVersionFound)
        chkOtherVer->setVisible(Check1[0]->isChecked());
}

QString frmUnst::ChosenItems() const
{
    QString list;
    for (QCheckBox *c : Check1)
        if (c->isChecked())
            list += c->text() + QStringLiteral(", ") + kCrLf;
    return list;
}

void frmUnst::cmdUninstall_Click()
{
    const QString list = ChosenItems();
    if (list.isEmpty())
        return;
    QString question = LangCap(QStringLiteral("Are you sure you want to do the following?")) +
                       kCrLf + kCrLf + list;
    if (Check1[2]->isChecked()) {
        // Said before, not after: once its files are gone the program ends at
        // once, and nothing may run (and write files again) behind a message.
        question += kCrLf +
                    LangCap(QStringLiteral("Orvendale closes as soon as the removal is done.")) +
                    kCrLf +
                    LangCap(QStringLiteral("The program files remain in this folder; remove them "
                                           "with the installation that put them there:")) +
                    kCrLf + ProgramFolder();
    }
    if (Questions(question, 2, QStringLiteral("Remove Zyv"), MsgIcon::Critical) != 1)
        return;
    if (removal())
        return; // the program itself was removed: it has ended
    Info(list + kCrLf + QStringLiteral("  -") + LangCap(QStringLiteral("Successfully Completed!")),
         true, false, QLatin1String(kAppTitle), QStringLiteral("OK"), true);
    Form_Unload();
}

bool frmUnst::removal()
{
    const QString folder = ProgramFolder();
    const bool endsProgram = Check1[2]->isChecked();
    if (endsProgram) {
        // The scheduler and the timer log stop first: a due timer, a macro
        // slot or the log's autosave must not write files while or after
        // they are removed. Their own saving on unload happens now, before
        // the deletion. From here no wait lets other events run.
        if (TimersService *timers = Timers())
            timers->unload();
        if (TimerLogService *log = TimerLog())
            log->unload();
        AbortSend = true;
    }
    if (Check1[0]->isChecked()) {
        UnAssocCro();
        // The timers window saves its state on unload: that must happen
        // before the settings go, not after.
        if (!endsProgram) {
            if (TimersService *timers = Timers())
                timers->unload();
            Delay(0.5);
        }
        DeleteAppSettings(QLatin1String(kSettingsAppName));
        if (chkOtherVer->isChecked())
            DeleteAppSettings(QLatin1String(kOtherEditionName));
    }
    if (Check1[1]->isChecked())
        DeleteUserFiles(folder);
    if (endsProgram) {
        // The data file is held open for the run; closed, it can be deleted.
        CloseDataFile();
        DeleteProgramFiles(folder);
        TrayDelete();
        RemoveDeskLink();
        RemoveStartupLink();
        RemoveUninstLink();
        UnAssocFile(QStringLiteral("zvu"));
        RemoveStartup(QStringLiteral("Orvendale"), 1);
        // The program's own files (the program, language files, help pages,
        // sounds) belong to its installation; the question said where they
        // remain.
        ExitNow();
        return true;
    }
    return false;
}

void frmUnst::cmdCancel_Click()
{
    Form_Unload();
}

void frmUnst::cmdResetPos_Click()
{
    if (Questions(LangCap(QStringLiteral("Are you sure you want to Reset the window locations?")),
                  2, QLatin1String(kAppTitle)) == 1)
        DeleteSetSection(QStringLiteral("Settings"));
}

frmUnst *UnstWindow()
{
    return LazyWindow(g_window);
}

UninstallService *UnstService()
{
    static UnstHost service;
    return &service;
}

} // namespace qelt
