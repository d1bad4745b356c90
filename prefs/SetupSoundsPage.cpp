#include "prefs/SetupSoundsPage.h"

#include "core/Dialogs.h"
#include "core/Sounds.h"
#include "core/WindowHelpers.h"
#include "logic/Globals.h"
#include "logic/Lang.h"
#include "logic/ProgramFolder.h"
#include "prefs/SetupPageHost.h"
#include "prefs/SetupPageParts.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>

namespace qelt {

namespace {

// The sound events: list caption, value in "Sounds", factory file.
struct SoundEvent {
    const char *caption;
    const char *value;
    const char *file;
};
constexpr SoundEvent kSoundEvents[5] = {
    {" Button Click", "defSound", "click.wav"},
    {" Resize Window", "defZSound", "expand.wav"},
    {" Item gets Recorded", "RecSound", "rec.wav"},
    {" Timer Starts", "defTsound", "tmrstart.wav"},
    {" Macro sends command", "defMsound", "tick.wav"},
};

// The program's sound for event index (kSoundEvents order).
QString *SoundPath(int index)
{
    QString *paths[5] = {&ClickSound, &ZoomSound, &RecordSound, &TimerSound, &TickSound};
    return index >= 0 && index < 5 ? paths[index] : nullptr;
}

} // namespace

SetupSoundsPage::SetupSoundsPage(SetupPageHost &host, QWidget *parent)
    : QWidget(parent), m_host(host)
{
    QWidget *page = this;
    List1 = new QListWidget(page);
    List1->setObjectName(QStringLiteral("List1"));
    List1->setGeometry(12, 12, 200, 110);
    for (int i = 0; i < 5; ++i) {
        const int y = 132 + i * 26;
        Label1[i] = new QLabel(QLatin1String(kSoundEvents[i].caption), page);
        Label1[i]->setObjectName(QStringLiteral("Label1_%1").arg(i));
        Label1[i]->setGeometry(12, y, 150, 22);
        // Sound file paths, cut in the middle so that the file name shows.
        Label2[i] = new StatusLabel(page, Qt::ElideMiddle);
        Label2[i]->setObjectName(QStringLiteral("Label2_%1").arg(i));
        Label2[i]->setGeometry(164, y, 304, 22);
        Label2[i]->setFrameShape(QFrame::StyledPanel);
    }
    lblSnd = new StatusLabel(page, Qt::ElideMiddle);
    lblSnd->setObjectName(QStringLiteral("lblSnd"));
    lblSnd->setGeometry(12, 270, 456, 22);
    lblSnd->setFrameShape(QFrame::Panel);
    lblSnd->setFrameShadow(QFrame::Sunken);

    auto button = [page](const char *name, const char *text, int y) {
        auto *b = new QPushButton(QLatin1String(text), page);
        b->setObjectName(QLatin1String(name));
        b->setGeometry(224, y, 120, 26);
        b->setAutoDefault(false);
        return b;
    };
    Command7 = button("Command7", "&Browse", 12);
    Command6 = button("Command6", "&Play", 42);
    Command5 = button("Command5", "&No Sound", 72);
    cmdDefaultSound = button("cmdDefaultSound", "&Restore defaults", 102);
    cmdDefaultSound->setGeometry(352, 12, 116, 26);
    connectHandlers();
}

void SetupSoundsPage::connectHandlers()
{
    connect(List1, &QListWidget::itemClicked, this, [this] { List1_Click(); });
    // Choosing an event with the keys counts as a click too, so the page's
    // buttons act on the event that is highlighted.
    connect(List1, &QListWidget::itemSelectionChanged, this, [this] { List1_Click(); });
    connect(Command5, &QPushButton::clicked, this, [this] { Command5_Click(); });
    connect(Command6, &QPushButton::clicked, this, [this] { Command6_Click(); });
    connect(Command7, &QPushButton::clicked, this, [this] { Command7_MouseUp(); });
    connect(cmdDefaultSound, &QPushButton::clicked, this, [this] { cmdDefaultSound_Click(); });
    for (QWidget *w : {Command5, Command6, Command7, cmdDefaultSound})
        w->installEventFilter(this);
}

void SetupSoundsPage::resetPage()
{
    List1->clear();
    lblSnd->clear();
    for (QPushButton *b : {Command5, Command6, Command7})
        b->setEnabled(false);
    SndChanged = false;
    SelectedSound = -1;
}

void SetupSoundsPage::fillSoundsPage()
{
    for (int i = 0; i < 5; ++i)
        setSoundLabel(i, *SoundPath(i));
    for (int i = 0; i < 5; ++i)
        List1->addItem(LangCap(Label1[i]->text()));
    // The files the page was loaded with are no edit.
    SndChanged = false;
}

void SetupSoundsPage::setSoundLabel(int index, const QString &path)
{
    if (Label2[index]->text() == path)
        return;
    Label2[index]->setText(path);
    // A changed file label is a sound edit.
    SndChanged = true;
    m_host.enableApply();
}

void SetupSoundsPage::List1_Click()
{
    for (QPushButton *b : {Command5, Command6, Command7})
        b->setEnabled(true);
    const int index = List1->currentRow();
    if (index >= 0 && index < 5) {
        lblSnd->setText(Label2[index]->text());
        SelectedSound = index;
    }
}

void SetupSoundsPage::Command5_Click()
{
    if (SelectedSound < 0)
        return;
    setSoundLabel(SelectedSound, QStringLiteral("none"));
    List1_Click();
}

void SetupSoundsPage::Command6_Click()
{
    PlayWav(lblSnd->text());
}

void SetupSoundsPage::Command7_MouseUp()
{
    PlayWav(ClickSound);
    if (SelectedSound < 0)
        return;
    const QString path = Dialogs().openFileName(
        window(), QStringLiteral("Sound Event - ") + Label1[SelectedSound]->text(), ProgramFolder(),
        QStringLiteral("Sound Files (*.wav);;All Files (*)"));
    if (path.isEmpty())
        return;
    setSoundLabel(SelectedSound, path);
    lblSnd->setText(path);
}

void SetupSoundsPage::cmdDefaultSound_Click()
{
    if (Questions(LangCap(QStringLiteral(
                      "Are you sure you want to restore all sounds to the default settings?")),
                  2, QStringLiteral("Restore Default?"), MsgIcon::Question) != 1)
        return;
    PlayWav(ClickSound);
    for (int i = 0; i < 5; ++i)
        setSoundLabel(i, InProgramFolder(QLatin1String(kSoundEvents[i].file)));
    List1_Click();
    SaveSounds();
}

void SetupSoundsPage::SaveSounds()
{
    for (int i = 0; i < 5; ++i) {
        *SoundPath(i) = Label2[i]->text();
        SaveSet(kSounds, QLatin1String(kSoundEvents[i].value), *SoundPath(i));
    }
    SndChanged = false;
}

bool SetupSoundsPage::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Enter) {
        auto *w = static_cast<QWidget *>(watched);
        // The restore button always explains itself.
        if (w == cmdDefaultSound)
            w->setToolTip(LangTip(QStringLiteral("Restore all sounds to default")));
        else if (w == Command5)
            ShowTip(w, QStringLiteral("Remove sound from selected event"), m_host.tipsOn());
        else if (w == Command6)
            ShowTip(w, QStringLiteral("Play selected sound"), m_host.tipsOn());
        else if (w == Command7)
            ShowTip(w, QStringLiteral("Select a new sound"), m_host.tipsOn());
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace qelt
