// The "Manage Macros" page of the macro editor: the macro file list with its
// drop target, the help button, the macro listing with preview and
// printing, and the backup commands.

#include "macros/frmMcrSetup.h"

#include "core/Dialogs.h"
#include "core/FileActions.h"
#include "core/FileDrops.h"
#include "core/Sounds.h"
#include "core/services/ConsoleServices.h"
#include "core/services/PrefsServices.h"
#include "core/services/SchedulerServices.h"
#include "logic/ErrorLog.h"
#include "logic/FileHelpers.h"
#include "logic/Globals.h"
#include "logic/Lang.h"
#include "logic/MacroBackup.h"
#include "logic/MacroListing.h"
#include "logic/ProgramFolder.h"
#include "logic/QuickEditRules.h"
#include "logic/TimerEditRules.h"
#include "logic/Transmitter.h"
#include "macros/EditorEvents.h"
#include "macros/frmPreview.h"
#include "macros/frmProgress.h"
#include "macros/frmRunMcr.h"

#include <QAction>
#include <QDateTime>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>

namespace qelt {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

void Message(const QString &text)
{
    Info(text, true, false, QStringLiteral("Orvendale"), QStringLiteral("OK"), true);
}

QString SelectedName(const QListWidget *list)
{
    return list && list->currentItem() ? list->currentItem()->text() : QString();
}

// Drops onto the macro list and the list's tool tip.
class ManageEvents : public QObject {
public:
    explicit ManageEvents(frmMcrSetup *w) : QObject(w), m_w(w) {}

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (HandleFileDrop(event,
                           [this](const QStringList &files) { m_w->File1_OLEDragDrop(files); }))
            return true;
        if (event->type() == QEvent::Enter && watched == m_w->File1) {
            MainWindowService *main = MainWindow();
            m_w->File1->setToolTip(
                main && main->toolTipsOn()
                    ? LangTip(
                          QStringLiteral("Double click the macro name to send it to the editor"))
                    : QString());
        }
        return QObject::eventFilter(watched, event);
    }

private:
    frmMcrSetup *m_w;
};

} // namespace

// ---- building and loading ----

void frmMcrSetup::buildManagePage(QWidget *page, QGridLayout *layout)
{
    auto button = [this](const char *name, const char *caption, const char *tip) {
        auto *b = new QPushButton(LangCap(QString::fromUtf8(caption)), this);
        b->setObjectName(QString::fromLatin1(name));
        if (tip)
            b->setToolTip(QString::fromUtf8(tip));
        return b;
    };
    File1->setToolTip({});

    Label18 = new QLabel(
        LangCap(QStringLiteral(
            "Double click a macro below to restore it to the active application folder")),
        page);
    Label18->setObjectName(QStringLiteral("Label18"));
    Label18->setWordWrap(true);
    Label18->setStyleSheet(QStringLiteral("color: #800000"));
    Label18->hide();
    File2 = new QListWidget(page);
    File2->setObjectName(QStringLiteral("File2"));
    File2->setToolTip(QStringLiteral(" Double click macro name to restore "));
    File2->hide();
    // The restore list lies over the macro list while it is open.
    layout->addWidget(Label18, 0, 0, 1, 2);
    layout->addWidget(File2, 1, 0);

    Command1 = button("Command1", "Backup All Macros",
                      " Copy macros from program folder to backup folder ");
    Command4 = button("Command4", "Backup a Macro", " Choose a backed up macro to restore ");
    cmdRestoreCro = button("cmdRestoreCro", "Restore All Macros",
                           " Restores ALL backed up macros to active program folder. "
                           "(overwrites ALL existing macros!)  ");
    cmdDelCro = button("cmdDelCro", "Delete Full Backup",
                       " Delete the backup folder and all it's contents. ");
    Command2 = button("Command2", "Restore a Macro", " Choose a backed up macro to restore ");
    auto *backups = new QGroupBox(LangCap(QStringLiteral("Backups")), page);
    auto *backupLayout = new QGridLayout(backups);
    backupLayout->setContentsMargins(6, 4, 6, 4);
    backupLayout->addWidget(Command1, 0, 0);
    backupLayout->addWidget(Command4, 0, 1);
    backupLayout->addWidget(cmdDelCro, 0, 2);
    backupLayout->addWidget(cmdRestoreCro, 1, 0);
    backupLayout->addWidget(Command2, 1, 1);
    layout->addWidget(backups, 2, 0, 1, 2);
    setBackupButtons(false);

    cmdHelp = button("cmdHelp", "Help", nullptr);

    auto *events = new ManageEvents(this);
    File1->installEventFilter(events);
    AcceptFileDrops(File1);
    AcceptFileDrops(File1->viewport());
    File1->viewport()->installEventFilter(events);

    connect(File1, &QListWidget::itemClicked, this, [this] { File1_Click(); });
    connect(File1, &QListWidget::itemDoubleClicked, this, [this] { File1_DblClick(); });
    connect(File2, &QListWidget::itemClicked, this, [this] { File2_Click(); });
    connect(File2, &QListWidget::itemDoubleClicked, this, [this] { File2_DblClick(); });
    connect(cmdHelp, &QPushButton::clicked, this, [this] { cmdHelp_Click(); });
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(Command4, &QPushButton::clicked, this, [this] { Command4_Click(); });
    connect(cmdRestoreCro, &QPushButton::clicked, this, [this] { cmdRestoreCro_Click(); });
    connect(cmdDelCro, &QPushButton::clicked, this, [this] { cmdDelCro_Click(); });
    connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
}

void frmMcrSetup::manageLoad()
{
    closeRestoreList();
    setBackupButtons(BackupExists(ProgramFolder()));
    if (DirExists(BackupFolder(ProgramFolder())))
        refreshFile2();
}

void frmMcrSetup::setBackupButtons(bool on)
{
    cmdDelCro->setEnabled(on);
    cmdRestoreCro->setEnabled(on);
    Command2->setEnabled(on);
}

// ---- file list ----

void frmMcrSetup::File1_Click()
{
    lblMname->setText(SelectedName(File1));
}

void frmMcrSetup::File1_DblClick()
{
    const QString name = SelectedName(File1);
    const QString path = FileInFolder(MacroFolder, name);
    if (path.isEmpty())
        return;
    if (!mayReplaceRows())
        return;
    sTab->setCurrentIndex(0);
    CurrentWaitClock().processEvents();
    // Emptied first, so that the file is read again even when it is the one
    // the editor already names.
    txtFileName->clear();
    txtFileName->setText(path);
    if (mnuPrintConts)
        mnuPrintConts->setEnabled(true);
}

void frmMcrSetup::File1_OLEDragDrop(const QStringList &files)
{
    const QString program = ProgramFolder();
    const QStringList toCopy = MacroFilesToCopy(files, program);
    QStringList failed;
    for (const QString &path : files) {
        const bool isMacro = path.right(3).toLower() == QLatin1String("cro");
        if (!toCopy.contains(path)) {
            if (isMacro)
                break; // a macro already in the program folder ends the drop
            continue;
        }
        const QString target = FileInFolder(program, QFileInfo(path).fileName());
        if (target.isEmpty())
            continue;
        const QFileInfo from(path);
        const QFileInfo to(target);
        if (to.exists() && from.canonicalFilePath() == to.canonicalFilePath())
            break; // the same file, reached through a link
        if (to.exists() && !SameFileContent(path, target)) {
            const int answer =
                Questions(LangCap(QStringLiteral("Are you sure you want to overwrite")) +
                              QStringLiteral(" ") + target + QStringLiteral(" ?"),
                          2, LangCap(QStringLiteral("Overwrite File")));
            if (answer != 1)
                continue;
        }
        QString error;
        if (!CopyFileAtomic(path, target, &error)) {
            failed << error;
            continue;
        }
        refreshFile1();
        if (TimerEditOpen) {
            if (TimersService *timers = Timers())
                timers->refreshFileList();
        }
    }
    ReportFailedCopies(failed, QStringLiteral("File1_OLEDragDrop"), QStringLiteral("frmMcrSetup"));
}

void frmMcrSetup::cmdHelp_Click()
{
    if (SoundsOn)
        PlayWav(ClickSound);
    HelpService *help = Help();
    if (!help)
        return;
    help->unload();
    QString address = InProgramFolder(QStringLiteral("zyvHelp.html"));
    if (sTab->currentIndex() == 0)
        address = InProgramFolder(QStringLiteral("editorhelp.html"));
    else if (sTab->currentIndex() == 1)
        address += QStringLiteral("#RecordGroup");
    help->open(address);
}

// ---- listing, preview, printing ----

void frmMcrSetup::MakeListing()
{
    // The last row's running total, shown on the pause label as a grid click
    // shows it, is the macro's run time.
    const int last = int(m_rows.size()) - 1;
    Grid1->setCurrentCell(last, ColRunning);
    Grid1_Click();
    const QString total =
        txtIPause ? txtIPause->text() : RunningPauseText(m_rows.at(last)[ColRunning]);
    Text1 = MacroListingText(txtFileName->text(), m_rows, total, QDateTime::currentDateTime());
    PreviewWindow()->txtPreview->setPlainText(QString(Text1).replace(kCrLf, QStringLiteral("\n")));
}

bool frmMcrSetup::loadSelectedForListing()
{
    if (MacroChanged) {
        Message(LangCap(QStringLiteral("The commands in the macro editor have not been saved.")) +
                kCrLf +
                LangCap(QStringLiteral(
                    "To preview or print the selected macro, you must save or clear the macro "
                    "editor.")));
        return false;
    }
    const bool backup = !File2->isHidden();
    const QString name = SelectedName(backup ? File2 : File1);
    const QString path = FileInFolder(backup ? BackupFolder(ProgramFolder()) : MacroFolder, name);
    if (path.isEmpty()) {
        Message(LangCap(QStringLiteral("No macro selected!  Select a macro and try again.")));
        return false;
    }
    txtFileName->clear();
    txtFileName->setText(path);
    CurrentWaitClock().processEvents();
    return true;
}

void frmMcrSetup::mnuPreview_Click()
{
    const bool manage = sTab->currentIndex() == 2;
    if (manage) {
        if (!loadSelectedForListing())
            return;
    } else if (m_rows.first()[ColHouse].isEmpty()) {
        Info(LangCap(QStringLiteral("The editor has nothing to preview")), true, false,
             QStringLiteral("Orvendale"), QStringLiteral("OK"), true, MsgIcon::Information);
        return;
    }
    MakeListing();
    frmPreview *preview = PreviewWindow();
    preview->show();
    preview->raise();
    if (manage)
        cmdClearAll_Click();
}

void frmMcrSetup::mnuPrintConts_Click()
{
    const bool manage = sTab->currentIndex() == 2;
    if (manage && !loadSelectedForListing())
        return;
    if (m_rows.first()[ColHouse].isEmpty()) {
        Message(LangCap(QStringLiteral("The editor is empty.  Nothing to print!")));
        if (manage)
            cmdClearAll_Click();
        return;
    }
    MakeListing();
    QString error;
    if (!PrintText(Text1, &error))
        Message(error);
    if (manage)
        cmdClearAll_Click();
}

// ---- backups ----

void frmMcrSetup::refreshFile2()
{
    const QString selected = SelectedName(File2);
    File2->clear();
    File2->addItems(BackupFileNames(ProgramFolder()));
    const QList<QListWidgetItem *> found = File2->findItems(selected, Qt::MatchExactly);
    if (!selected.isEmpty() && !found.isEmpty())
        File2->setCurrentItem(found.first());
}

bool frmMcrSetup::prepareBackup(bool translated)
{
    const QString program = ProgramFolder();
    if (!BackupFolderUsable(program)) {
        Message(LangCap(QStringLiteral("Access Error:  Please try again.")));
        return false;
    }
    bool made = false;
    QString readmeError;
    PrepareBackupFolder(
        program,
        LangCap(QStringLiteral("This folder is not automatically removed when you uninstall Zyv.  "
                               "To remove, close this file and then delete the whole folder.")),
        QDate::currentDate(), &made, &readmeError);
    if (!readmeError.isEmpty())
        LogErr(QStringLiteral("prepareBackup"), QStringLiteral("frmMcrSetup"), 75, readmeError);
    if (!made) {
        const QString text = QStringLiteral("Couldn't create backup folder");
        const QString title = QStringLiteral("Failed");
        Info(translated ? LangCap(text) : text, true, false, translated ? LangCap(title) : title,
             QStringLiteral("OK"), true, MsgIcon::Critical);
    }
    const bool ready = BackupExists(program);
    if (ready)
        setBackupButtons(true);
    else if (made && !readmeError.isEmpty())
        Info(readmeError, true, false, QStringLiteral("Failed"), QStringLiteral("OK"), true);
    return ready;
}

void frmMcrSetup::Command1_Click()
{
    if (m_backupBusy)
        return;
    cmdFocus->setFocus();
    const QString program = ProgramFolder();
    const QString folder = BackupFolder(program);
    if (!prepareBackup(false))
        return;
    const QStringList names = MacroFileNames(program);
    m_backupBusy = true;
    const long count = long(names.size());
    frmPbar *bar = PbarWindow();
    bar->showProgress();
    bar->iProgBar(count * 10, 0,
                  LangCap(QStringLiteral("Backing up macro files...")) + kCrLf + kCrLf +
                      LangCap(QStringLiteral("now copying ..")));
    Delay(0.3);
    int copied = 0;
    for (long i = 0; i < count; ++i) {
        const QString source = FileInFolder(program, names.at(i));
        if (CopyFileAtomic(source, FileInFolder(folder, names.at(i))))
            ++copied;
        bar->incProgBar((i + 1) * 10, source, false, 2000);
        Delay(0.06);
    }
    QString done = LangCap(QStringLiteral("Backup Complete")) + kCrLf + kCrLf +
                   QString::number(copied) + QStringLiteral(" ") +
                   LangCap(QStringLiteral("file(s) copied"));
    if (copied < count)
        done += kCrLf + QString::number(count - copied) + QStringLiteral(" ") +
                LangCap(QStringLiteral("file(s) could not be copied"));
    bar->Label->setText(done);
    // A full bar starts the self-close timer, also when there was nothing
    // to copy.
    bar->incProgBar(bar->max(), {}, false, 2000);
    m_backupBusy = false;
    refreshFile2();
}

void frmMcrSetup::Command4_Click()
{
    if (m_backupBusy)
        return;
    const QString program = ProgramFolder();
    const QString folder = BackupFolder(program);
    if (!prepareBackup(true))
        return;
    refreshFile2();
    const QString name = SelectedName(File1);
    if (name.isEmpty()) {
        Message(LangCap(QStringLiteral("Please select a macro to backup")));
        return;
    }
    // An older backup copy of the same name is replaced.
    if (!CopyFileAtomic(FileInFolder(MacroFolder, name), FileInFolder(folder, name))) {
        Message(name + QStringLiteral(" ") + LangCap(QStringLiteral("could not be backed up.")));
        return;
    }
    lblMname->setText(name + QStringLiteral(" ") + LangCap(QStringLiteral("BACKED UP")));
    refreshFile2();
}

void frmMcrSetup::cmdRestoreCro_Click()
{
    const int answer = Questions(
        LangCap(QStringLiteral("This action will overwrite any current macros with the same "
                               "name.")) +
            kCrLf + LangCap(QStringLiteral("Do you want to continue?")),
        2, LangCap(QStringLiteral("Restore Backed Up Macros?")), MsgIcon::Question);
    const QString program = ProgramFolder();
    if (answer == 1 && !m_backupBusy) {
        cmdFocus->setFocus();
        if (!BackupFolderUsable(program)) {
            Message(LangCap(QStringLiteral("Access Error:  Please try again.")));
        } else {
            m_backupBusy = true;
            refreshFile2();
            const QStringList names = BackupFileNames(program);
            const long count = long(names.size());
            frmPbar *bar = PbarWindow();
            bar->showProgress();
            bar->iProgBar(count * 10, 0,
                          LangCap(QStringLiteral("Restore Backup")) + kCrLf + kCrLf +
                              LangCap(QStringLiteral("Restoring ...")) + kCrLf);
            const QString folder = BackupFolder(program);
            int restored = 0;
            for (long i = 0; i < count; ++i) {
                if (CopyFileAtomic(FileInFolder(folder, names.at(i)),
                                   FileInFolder(program, names.at(i))))
                    ++restored;
                bar->incProgBar((i + 1) * 10, program + QStringLiteral("/"), false, 2000);
                Delay(0.06);
            }
            bar->incProgBar(bar->max(), {}, false, 2000);
            QString done = kCrLf + kCrLf + LangCap(QStringLiteral("Restore complete")) + kCrLf +
                           QString::number(restored) + QStringLiteral(" ") +
                           LangCap(QStringLiteral("files restored"));
            if (restored < count)
                done += kCrLf + QString::number(count - restored) + QStringLiteral(" ") +
                        LangCap(QStringLiteral("file(s) could not be copied"));
            bar->Label->setText(done);
            m_backupBusy = false;
        }
    }
    refreshFile1();
}

void frmMcrSetup::closeRestoreList()
{
    Command2Tag.clear();
    Command2->setText(LangCap(QStringLiteral("Restore a Macro")));
    File2->hide();
    Label18->hide();
    lblPath->show();
}

void frmMcrSetup::Command2_Click()
{
    if (Command2Tag != QLatin1String("B")) {
        refreshFile2();
        File2->show();
        File2->raise();
        Label18->show();
        lblPath->hide();
        Command2Tag = QStringLiteral("B");
        Command2->setText(LangCap(QStringLiteral("Cancel Restore")));
    } else {
        closeRestoreList();
    }
}

void frmMcrSetup::File2_Click()
{
    lblMname->setText(SelectedName(File2) + QStringLiteral("  ") +
                      LangCap(QStringLiteral("BACKUP")));
}

void frmMcrSetup::File2_DblClick()
{
    const QString name = SelectedName(File2);
    const QString program = ProgramFolder();
    const QString source = FileInFolder(BackupFolder(program), name);
    // Restored into the program folder, the active application folder the
    // list's caption names, whatever folder the macro list shows.
    const QString target = FileInFolder(program, name);
    if (source.isEmpty() || target.isEmpty())
        return;
    Delay(0.2);
    if (QFileInfo::exists(target) && !SameFileContent(source, target)) {
        const int answer = Questions(LangCap(QStringLiteral("Are you sure you want to overwrite")) +
                                         QStringLiteral(" ") + target + QStringLiteral(" ?"),
                                     2, LangCap(QStringLiteral("Overwrite File")));
        if (answer != 1)
            return;
    }
    if (!BackupFolderUsable(program) || !CopyFileAtomic(source, target)) {
        Message(LangCap(QStringLiteral("Error restoring file, please try again.")));
        return;
    }
    refreshFile1();
    closeRestoreList();
    lblMname->setText(name + QStringLiteral("  ") +
                      LangCap(QStringLiteral("RESTORED FROM BACKUP")));
}

void frmMcrSetup::deleteSelectedBackup()
{
    const QString name = SelectedName(File2);
    if (name.isEmpty())
        return;
    const int answer = Questions(
        LangCap(QStringLiteral("Are you sure you want to delete the selected BACKUP file?")), 2,
        LangCap(QStringLiteral("Delete Macro?")), MsgIcon::Question);
    if (answer != 1)
        return;
    const QString program = ProgramFolder();
    const QString path = FileInFolder(BackupFolder(program), name);
    const QFileInfo file(path);
    if (BackupFolderUsable(program) && !path.isEmpty() && (file.isFile() || file.isSymLink())) {
        if (QFile::remove(path))
            lblMname->setText(QStringLiteral("(") + name + QStringLiteral(" 'BACKUP COPY' ) ") +
                              LangCap(QStringLiteral("Deleted!")));
        else
            Message(LangCap(QStringLiteral("The file could not be deleted:")) +
                    QStringLiteral(" ") + name);
    } else {
        Message(LangCap(QStringLiteral("File Not Found")));
    }
    refreshFile1();
    refreshFile2();
    cmdFocus->setFocus();
}

void frmMcrSetup::cmdDelCro_Click()
{
    const int answer =
        Questions(LangCap(QStringLiteral("This will delete ALL macros in the backup folder!")) +
                      kCrLf + LangCap(QStringLiteral("Do you want to continue?")),
                  2, LangCap(QStringLiteral("Delete All Backups?")), MsgIcon::Exclamation);
    if (answer != 1 || m_backupBusy)
        return;
    cmdFocus->setFocus();
    const QString program = ProgramFolder();
    if (lblPath->text().right(6) == QLatin1String("backup")) {
        // The macro list shows the backup folder: back to the program folder
        // before the folder goes.
        MacroFolder = program;
        txtFileName->clear();
        lblPath->setText(MacroFolder);
        refreshFile1();
    }
    Delay(0.1);
    if (!BackupFolderUsable(program)) {
        Message(LangCap(QStringLiteral("Access Error:  Please try again.")));
        return;
    }
    QStringList left;
    if (!DeleteBackupFolder(program, &left))
        Message(LangCap(QStringLiteral("The backup could not be deleted completely:")) + kCrLf +
                left.join(kCrLf));
    setBackupButtons(BackupExists(program));
    if (Command2Tag == QLatin1String("B"))
        closeRestoreList();
    refreshFile2();
}

} // namespace qelt
