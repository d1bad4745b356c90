#include "macros/frmMcrSetup.h"

#include "core/EventControls.h"
#include "core/services/PrefsServices.h"
#include "logic/Globals.h"
#include "logic/MacroBackup.h"
#include "logic/MacroListing.h"
#include "logic/ProgramFolder.h"
#include "logic/X10Codes.h"
#include "macros/InstallMacroWindows.h"
#include "macros/frmPreview.h"
#include "macros/frmProgress.h"
#include "tests/support/Bounds.h"
#include "tests/support/DropFiles.h"
#include "tests/support/FakeMainWindow.h"
#include "tests/support/FakeWaitClock.h"
#include "tests/support/FileBytes.h"
#include "tests/support/SaveFaults.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TestEnv.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QDropEvent>
#include <QFileInfo>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextLayout>
#include <QTimer>
#include <QToolTip>
#include <QUrl>

using namespace qelt;

namespace {

QByteArray Line(const QString &code, const char *pause)
{
    return "\"" + code.toLatin1() + pause + "\"\r\n";
}

class FakeHelp : public HelpService {
public:
    QStringList calls;
    void open(const QString &address) override { calls << "open " + address; }
    void unload() override { calls << "unload"; }
};

} // namespace

class McrManageTest : public QObject {
    Q_OBJECT

private:
    test::InstalledDialogs dialogs;
    test::FakeWaitClock clock;
    test::FakeMainWindow main;
    FakeHelp help;
    QTemporaryDir outside;
    frmMcrSetup *w = nullptr;
    const QByteArray one = Line(CmdToCode("A", "3", "ON"), "0005");
    const QByteArray two = Line(CmdToCode("B", "1", "OFF"), "0002");

    QString put(const QString &path, const QByteArray &bytes)
    {
        [&] { QVERIFY2(test::WriteBytes(path, bytes), qPrintable(path)); }();
        return path;
    }
    QString backup() const { return BackupFolder(ProgramFolder()); }
    // label shows whole cut to its width, ending in shownEnd, with the
    // whole text in its tool tip.
    void checkCut(QLabel *label, const QString &whole, const QString &shownEnd)
    {
        auto *cut = dynamic_cast<EventLabel *>(label);
        QVERIFY(cut);
        const QString shown = cut->shownText();
        QVERIFY2(shown.contains(QChar(0x2026)) && shown.endsWith(shownEnd), qPrintable(shown));
        QVERIFY(cut->fontMetrics().horizontalAdvance(shown) <= cut->contentsRect().width());
        const QPoint at = cut->rect().center();
        QHelpEvent tip(QEvent::ToolTip, at, cut->mapToGlobal(at));
        QApplication::sendEvent(cut, &tip);
        QTRY_VERIFY_WITH_TIMEOUT(QToolTip::isVisible(), test::kStepMs);
        const QString tipText =
            QTextDocumentFragment::fromHtml(QToolTip::text()).toPlainText().remove(QChar(0x200B));
        QVERIFY2(tipText.startsWith(whole), qPrintable(tipText));
        QToolTip::hideText();
    }
    void select(QListWidget *list, const QString &name)
    {
        const QList<QListWidgetItem *> found = list->findItems(name, Qt::MatchExactly);
        QVERIFY2(!found.isEmpty(), qPrintable(name));
        list->setCurrentItem(found.first());
    }

private slots:
    void initTestCase()
    {
        SetMainWindow(&main);
        SetHelp(&help);
        InstallMacroWindows();
        w = McrSetupWindow();
        QVERIFY(outside.isValid());
    }

    void init()
    {
        if (!w->loaded())
            w->Form_Load();
        w->cmdClearAll_Click();
        QDir(backup()).removeRecursively();
        for (const QString &name : QDir(ProgramFolder()).entryList({"*.cro", "*.CRO"}, QDir::Files))
            QFile::remove(InProgramFolder(name));
        MacroFolder = ProgramFolder();
        w->manageLoad();
        w->cmdRefresh_Click();
        w->File1->setCurrentItem(nullptr);
        PbarWindow()->unload();
        dialogs.answers.clear();
        dialogs.answer = 2;
        dialogs.asked.clear();
        dialogs.infos.clear();
        help.calls.clear();
    }

    void progressDialog()
    {
        frmPbar *bar = PbarWindow();
        bar->showProgress();
        QCOMPARE(bar->windowTitle(), QString("Orvendale"));
        bar->iProgBar(30, 0, "Main text");
        QCOMPARE(bar->Label->text(), QString("Main text"));
        QVERIFY(!bar->tmrClose->isActive());

        // A step below the end moves the bar and shows the file only.
        bar->incProgBar(10, "/p/a.cro", false, 2000);
        QCOMPARE(bar->value(), 10L);
        QCOMPARE(bar->PBar->value(), 333);
        QCOMPARE(bar->lblFlName->text(), QString("/p/a.cro"));
        QVERIFY(!bar->tmrClose->isActive());
        // A value outside the range leaves the bar as it was.
        bar->incProgBar(45, "x", false, 2000);
        QCOMPARE(bar->value(), 10L);
        QVERIFY(!bar->tmrClose->isActive());

        // The full bar clears the file line and closes the window 2 s later.
        bar->incProgBar(30, "/p/c.cro", true, 2000);
        QVERIFY(bar->lblFlName->text().isEmpty());
        QVERIFY(!bar->cmdOK->isHidden());
        QVERIFY(bar->tmrClose->isActive());
        QCOMPARE(bar->tmrClose->interval(), 2000);
        QVERIFY(bar->isVisible());
        bar->tmrClose_Timer();
        QVERIFY(!bar->isVisible());
        QVERIFY(!bar->tmrClose->isActive());

        // iProgBar(0, 0) only sets the 1.5 s close time; a full bar without a
        // self-close time waits for OK.
        bar->showProgress();
        bar->iProgBar(0, 0, "nothing");
        QCOMPARE(bar->tmrClose->interval(), 1500);
        QVERIFY(!bar->tmrClose->isActive());
        bar->incProgBar(0, "f", false, 0);
        QVERIFY(!bar->tmrClose->isActive());
        QCOMPARE(bar->tmrClose->interval(), 2000);
        QVERIFY(bar->isVisible());
        bar->cmdOK_Click();
        QVERIFY(!bar->isVisible());
    }

    void backupAllThenRestoreAll()
    {
        const QString a = put(InProgramFolder("a.cro"), one);
        put(InProgramFolder("B.CRO"), two);
        put(InProgramFolder("notes.txt"), "not a macro");
        QVERIFY(!w->cmdRestoreCro->isEnabled());

        w->Command1_Click();
        QCOMPARE(test::ReadBytes(backup() + "/a.cro"), one);
        QCOMPARE(test::ReadBytes(backup() + "/B.CRO"), two);
        QVERIFY(!QFileInfo::exists(backup() + "/notes.txt"));
        QVERIFY(QFileInfo(backup()).isHidden());
        QVERIFY(BackupExists(ProgramFolder()));
        QVERIFY(w->cmdRestoreCro->isEnabled() && w->cmdDelCro->isEnabled() &&
                w->Command2->isEnabled());
        frmPbar *bar = PbarWindow();
        QCOMPARE(bar->Label->text(), QString("Backup Complete\r\n\r\n2 file(s) copied"));
        QCOMPARE(bar->max(), 20L);
        QCOMPARE(bar->value(), 20L);
        QVERIFY(bar->tmrClose->isActive());
        QCOMPARE(w->File2->count(), 2);
        QVERIFY(dialogs.asked.isEmpty());

        // A changed macro replaces its older copy without a question.
        put(a, two);
        w->Command1_Click();
        QVERIFY(dialogs.asked.isEmpty());
        QCOMPARE(test::ReadBytes(backup() + "/a.cro"), two);

        // Restore all: No restores nothing, Yes puts the copies back.
        put(a, one);
        dialogs.answers = {2};
        w->cmdRestoreCro_Click();
        QCOMPARE(test::ReadBytes(a), one);
        dialogs.answers = {1};
        w->cmdRestoreCro_Click();
        QCOMPARE(dialogs.asked.last(),
                 QString("This action will overwrite any current macros with the same name.\r\n"
                         "Do you want to continue?"));
        QCOMPARE(test::ReadBytes(a), two);
        QCOMPARE(bar->Label->text(), QString("\r\n\r\nRestore complete\r\n2 files restored"));
        QVERIFY(bar->tmrClose->isActive());

        // An empty backup restores nothing, and the dialog still closes itself.
        QFile::remove(backup() + "/a.cro");
        QFile::remove(backup() + "/B.CRO");
        bar->unload();
        bar->showProgress();
        dialogs.answers = {1};
        w->cmdRestoreCro_Click();
        QCOMPARE(bar->Label->text(), QString("\r\n\r\nRestore complete\r\n0 files restored"));
        QVERIFY(bar->tmrClose->isActive());
    }

    void backupOneAndRestoreOne()
    {
        const QString a = put(InProgramFolder("one.cro"), one);
        w->cmdRefresh_Click();
        // Without a selection nothing is copied, but the readme is written.
        w->Command4_Click();
        QCOMPARE(dialogs.infos.last(), QString("Please select a macro to backup"));
        QVERIFY(BackupExists(ProgramFolder()));
        QVERIFY(BackupFileNames(ProgramFolder()).isEmpty());

        select(w->File1, "one.cro");
        w->Command4_Click();
        QCOMPARE(w->lblMname->text(), QString("one.cro BACKED UP"));
        QCOMPARE(test::ReadBytes(backup() + "/one.cro"), one);
        // A second backup replaces the older copy without a question.
        put(a, two);
        w->Command4_Click();
        QVERIFY(dialogs.asked.isEmpty());
        QCOMPARE(test::ReadBytes(backup() + "/one.cro"), two);
        put(a, one);
        w->Command4_Click();

        // The restore list opens over the macro list and closes again.
        w->Command2_Click();
        QCOMPARE(w->Command2Tag, QString("B"));
        QCOMPARE(w->Command2->text(), QString("Cancel Restore"));
        QVERIFY(!w->File2->isHidden() && !w->Label18->isHidden() && w->lblPath->isHidden());
        QCOMPARE(w->File2->count(), 1);
        select(w->File2, "one.cro");
        w->File2_Click();
        QCOMPARE(w->lblMname->text(), QString("one.cro  BACKUP"));

        // Restoring over a changed macro asks first; No keeps the list open.
        put(a, two);
        dialogs.answers = {2};
        w->File2_DblClick();
        QCOMPARE(test::ReadBytes(a), two);
        QCOMPARE(w->Command2Tag, QString("B"));
        dialogs.answers = {1};
        w->File2_DblClick();
        QCOMPARE(test::ReadBytes(a), one);
        QCOMPARE(w->lblMname->text(), QString("one.cro  RESTORED FROM BACKUP"));
        QVERIFY(w->Command2Tag.isEmpty());
        QVERIFY(w->File2->isHidden() && !w->lblPath->isHidden());
        QCOMPARE(w->Command2->text(), QString("Restore a Macro"));

        // Restoring goes into the program folder even when the macro list
        // shows another folder.
        const QString other = outside.path() + "/list";
        QDir().mkpath(other);
        MacroFolder = other;
        QFile::remove(a);
        w->Command2_Click();
        select(w->File2, "one.cro");
        w->File2_DblClick();
        QCOMPARE(test::ReadBytes(a), one);
        QVERIFY(!QFileInfo::exists(other + "/one.cro"));

        // Delete Macro with the restore list open deletes the backup copy.
        w->Command2_Click();
        select(w->File2, "one.cro");
        dialogs.answers = {1};
        w->cmdDelete_Click();
        QCOMPARE(dialogs.asked.last(),
                 QString("Are you sure you want to delete the selected BACKUP file?"));
        QVERIFY(!QFileInfo::exists(backup() + "/one.cro"));
        QVERIFY(QFileInfo::exists(a));
        QCOMPARE(w->lblMname->text(), QString("(one.cro 'BACKUP COPY' ) Deleted!"));
        w->Command2_Click();
    }

    void deleteFullBackup()
    {
        put(InProgramFolder("d.cro"), one);
        w->Command1_Click();
        QVERIFY(BackupExists(ProgramFolder()));
        dialogs.answers = {2};
        w->cmdDelCro_Click();
        QVERIFY(QFileInfo::exists(backup() + "/d.cro"));

        // The macro list showing the backup folder goes back to the program folder.
        MacroFolder = backup();
        w->lblPath->setText(MacroFolder);
        dialogs.answers = {1};
        w->cmdDelCro_Click();
        QCOMPARE(dialogs.asked.last(), QString("This will delete ALL macros in the backup folder!"
                                               "\r\nDo you want to continue?"));
        QVERIFY(!QFileInfo::exists(backup()));
        QCOMPARE(MacroFolder, ProgramFolder());
        QCOMPARE(w->lblPath->text(), ProgramFolder());
        QVERIFY(!w->cmdDelCro->isEnabled() && !w->cmdRestoreCro->isEnabled() &&
                !w->Command2->isEnabled());
        QVERIFY(QFileInfo::exists(InProgramFolder("d.cro")));
    }

    void backupFolderLinkedElsewhereIsRefused()
    {
        const QString elsewhere = outside.path() + "/elsewhere";
        QDir().mkpath(elsewhere);
        const QString victim = put(elsewhere + "/v.cro", "victim");
        put(elsewhere + "/readme.txt", "r");
        QVERIFY(QFile::link(elsewhere, backup()));
        put(InProgramFolder("v.cro"), one);
        w->cmdRefresh_Click();
        select(w->File1, "v.cro");
        w->Command1_Click();
        w->Command4_Click();
        dialogs.answers = {1, 1};
        w->cmdRestoreCro_Click();
        w->cmdDelCro_Click();
        QCOMPARE(dialogs.infos.count("Access Error:  Please try again."), 4);
        QCOMPARE(test::ReadBytes(victim), QByteArray("victim"));
        QCOMPARE(test::ReadBytes(elsewhere + "/readme.txt"), QByteArray("r"));
        QCOMPARE(test::ReadBytes(InProgramFolder("v.cro")), one);
        QFile::remove(backup());
    }

    void fileListOpensAndTakesDrops()
    {
        const QString a = put(InProgramFolder("list.cro"), one + two);
        w->cmdRefresh_Click();
        select(w->File1, "list.cro");
        w->File1_Click();
        QCOMPARE(w->lblMname->text(), QString("list.cro"));

        // Unsaved changes: Cancel keeps the editor, No opens the macro.
        w->sTab->setCurrentIndex(2);
        w->MacroChanged = true;
        dialogs.answers = {3};
        w->File1_DblClick();
        QCOMPARE(dialogs.asked.last(), QString("The commands in the editor have not been saved."
                                               "\r\nSave changes before closing?"));
        QCOMPARE(w->sTab->currentIndex(), 2);
        QVERIFY(w->txtFileName->text().isEmpty());
        dialogs.answers = {2};
        w->File1_DblClick();
        QCOMPARE(w->sTab->currentIndex(), 0);
        QCOMPARE(w->txtFileName->text(), a);
        QCOMPARE(w->Grid1->rowCount(), 2);
        // The same name again reloads the file; no question without changes.
        w->cmdClearRow_Click();
        w->MacroChanged = false;
        const int asked = dialogs.asked.size();
        w->File1_DblClick();
        QCOMPARE(w->Grid1->rowCount(), 2);
        QCOMPARE(dialogs.asked.size(), asked);
        w->cmdClearAll_Click();

        // Drops: macros of any letter case are copied into the program
        // folder, other files are ignored, a differing macro is replaced
        // only when the user agrees.
        const QString upper = put(outside.path() + "/UP.CRO", one);
        const QString text = put(outside.path() + "/t.txt", "t");
        const QString clash = put(outside.path() + "/list.cro", two);
        dialogs.answers = {2};
        QVERIFY(test::DropFiles(w->File1->viewport(), {upper, text, clash}));
        QCOMPARE(test::ReadBytes(InProgramFolder("UP.CRO")), one);
        QVERIFY(!QFileInfo::exists(InProgramFolder("t.txt")));
        QCOMPARE(test::ReadBytes(a), one + two);
        QVERIFY(!w->File1->findItems("UP.CRO", Qt::MatchExactly).isEmpty());

        // Files dropped with the mouse arrive the same way.
        const QString dropped = put(outside.path() + "/dropped.cro", two);
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(dropped)});
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(w->File1->viewport(), &enter);
        QVERIFY(enter.isAccepted());
        QApplication::sendEvent(w->File1->viewport(), &drop);
        QCOMPARE(test::ReadBytes(InProgramFolder("dropped.cro")), two);
        QVERIFY(drop.isAccepted());
        QCOMPARE(test::ReadBytes(InProgramFolder("dropped.cro")), two);

        // A copy that fails is reported with its reason; the rest go on.
        const QString cut = put(outside.path() + "/cut.cro", one);
        const QString whole = put(outside.path() + "/whole.cro", one);
        dialogs.infos.clear();
        {
            test::ScopedSaveFault fault(SaveFault::DiskFull, "cut.cro", 5);
            QVERIFY(test::DropFiles(w->File1->viewport(), {cut, whole}));
        }
        QVERIFY(!QFileInfo::exists(InProgramFolder("cut.cro")));
        QCOMPARE(test::ReadBytes(InProgramFolder("whole.cro")), one);
        QCOMPARE(dialogs.infos.size(), 1);
        QVERIFY(dialogs.infos[0].startsWith("These files could not be copied:"));
        QVERIFY(dialogs.infos[0].contains("cut.cro: No space left on device"));

        // A macro already in the program folder ends the drop there.
        const QString later = put(outside.path() + "/later.cro", one);
        QVERIFY(test::DropFiles(w->File1->viewport(), {a, later}));
        QVERIFY(!QFileInfo::exists(InProgramFolder("later.cro")));
    }

    // Files dragged onto the list are answered as a copy, whatever the
    // dragging program proposes, and also where the user keeps the macro
    // already there: the dragged file stays where it was.
    void dropsOnTheListAreTakenAsACopy_data() { test::AddDragRows(); }
    void dropsOnTheListAreTakenAsACopy()
    {
        QFETCH(bool, taken);
        const QString fresh = put(outside.path() + "/fresh.cro", one);
        test::DragFilesOfRow(w->File1->viewport(), {fresh});
        QCOMPARE(QFileInfo::exists(InProgramFolder("fresh.cro")), taken);

        // No to "Overwrite File": nothing is copied, and still a copy.
        const QString kept = put(InProgramFolder("kept.cro"), one);
        const QString clash = put(outside.path() + "/kept.cro", two);
        dialogs.answers = {2};
        test::DragFilesOfRow(w->File1->viewport(), {clash});
        QCOMPARE(dialogs.asked.size(), taken ? 1 : 0);
        QCOMPARE(test::ReadBytes(kept), one);
        QCOMPARE(test::ReadBytes(fresh), one);
        QCOMPARE(test::ReadBytes(clash), two);
    }

    // Names as long as a file system allows, and a folder of 240 characters:
    // the editor keeps its width on the screen, the list keeps its room, and
    // each is cut in the middle (its end stays readable), whole in the tool tip.
    void longNamesAndFoldersNeverWidenTheEditor()
    {
        const QString name = QString(196, u'n') + ".cro";
        QString folder = outside.path() + "/";
        folder += QString(240 - folder.size(), u'f');
        QCOMPARE(name.size(), 200);
        QCOMPARE(folder.size(), 240);
        QVERIFY(QDir().mkpath(folder));
        put(InProgramFolder(name), one);
        put(folder + "/x.cro", one);
        w->cmdRefresh_Click();
        w->showPage(2);
        QVERIFY(QTest::qWaitForWindowExposed(w, test::kFirstWindowMs));
        const QRect screen = w->screen()->availableGeometry();
        const int width = w->width();
        const int listWidth = w->File1->width();
        QVERIFY(width <= screen.width());

        QListWidgetItem *item = w->File1->findItems(name, Qt::MatchExactly).value(0);
        QVERIFY(item);
        w->File1->scrollToItem(item);
        QTest::mouseClick(w->File1->viewport(), Qt::LeftButton, {},
                          w->File1->visualItemRect(item).center());
        QApplication::processEvents();
        QCOMPARE(w->lblMname->text(), name);
        QCOMPARE(w->width(), width);
        QCOMPARE(w->File1->width(), listWidth);
        checkCut(w->lblMname, name, "nnn.cro");

        // A macro opened from the long folder: the list shows that folder.
        w->showPage(0);
        dialogs.openAnswer = folder + "/x.cro";
        QTest::mouseClick(w->cmdOpenM, Qt::LeftButton);
        w->sTab->setCurrentIndex(2);
        QApplication::processEvents();
        QCOMPARE(w->lblPath->text(), folder);
        QCOMPARE(w->width(), width);
        QCOMPARE(w->File1->width(), listWidth);
        checkCut(w->lblPath, folder, "fff");

        // Closed and opened again, it still fits.
        QTest::mouseClick(w->cmdClose, Qt::LeftButton);
        QVERIFY(!w->isVisible());
        w->showPage(2);
        QVERIFY(QTest::qWaitForWindowExposed(w, test::kFirstWindowMs));
        QCOMPARE(w->width(), width);
        w->cmdClearAll_Click();
    }

    // The questions and messages of the editor show the picture that tells
    // what they are.
    void questionsShowTheirPicture()
    {
        put(InProgramFolder("q.cro"), one);
        put(InProgramFolder("r.cro"), one);
        w->Command1_Click();
        w->cmdRefresh_Click();
        w->sTab->setCurrentIndex(2);
        dialogs.icons.clear();
        dialogs.answer = 2;

        select(w->File1, "q.cro");
        w->cmdDelete_Click();
        w->Command2_Click();
        select(w->File2, "q.cro");
        w->cmdDelete_Click();
        w->Command2_Click();
        w->cmdRestoreCro_Click();
        w->cmdDelCro_Click();
        w->MacroChanged = true;
        dialogs.answer = 3;
        select(w->File1, "r.cro");
        w->File1_DblClick();
        QTest::mouseClick(w->cmdClose, Qt::LeftButton);
        w->MacroChanged = false;
        w->cmdClearAll_Click();
        w->sTab->setCurrentIndex(0);
        w->mnuPreview_Click();
        QCOMPARE(dialogs.icons,
                 (QList<MsgIcon>{MsgIcon::Question, MsgIcon::Question, MsgIcon::Question,
                                 MsgIcon::Exclamation, MsgIcon::Exclamation, MsgIcon::Exclamation,
                                 MsgIcon::Information}));
    }

    void helpFitsThePage()
    {
        for (int page : {0, 1, 2}) {
            w->sTab->setCurrentIndex(page);
            w->cmdHelp_Click();
        }
        QCOMPARE(help.calls,
                 (QStringList{"unload", "open " + InProgramFolder("editorhelp.html"), "unload",
                              "open " + InProgramFolder("zyvHelp.html") + "#RecordGroup", "unload",
                              "open " + InProgramFolder("zyvHelp.html")}));
    }

    void previewAndPrint()
    {
        put(InProgramFolder("p.cro"), one);
        w->cmdRefresh_Click();
        w->sTab->setCurrentIndex(2);

        // Unsaved changes or no selection: refused, the grid untouched.
        w->MacroChanged = true;
        w->mnuPreview_Click();
        QVERIFY(dialogs.infos.last().startsWith("The commands in the macro editor have not been "
                                                "saved.\r\nTo preview or print"));
        w->MacroChanged = false;
        w->mnuPreview_Click();
        QCOMPARE(dialogs.infos.last(),
                 QString("No macro selected!  Select a macro and try again."));

        select(w->File1, "p.cro");
        w->mnuPreview_Click();
        frmPreview *preview = PreviewWindow();
        QVERIFY(preview->isVisible());
        const QString listing = preview->txtPreview->toPlainText();
        QVERIFY(listing.contains("   p.cro\n"));
        QVERIFY(listing.contains("\t 1 \tA  \t3  \tON \t\t0005\t\t5\n"));
        QVERIFY(listing.contains("   Total Runtime =  5 sec\n"));
        QCOMPARE(QString(w->Text1).replace("\r\n", "\n"), listing);
        // The editor is emptied again afterwards.
        QVERIFY(w->txtFileName->text().isEmpty());
        QVERIFY(w->rows().first().blank());
        preview->Command2_Click();
        QVERIFY(!preview->isVisible());

        // Printing goes to a PDF here.
        const QString pdf = outside.path() + "/listing.pdf";
        SetPrintToFile(pdf);
        w->mnuPrintConts_Click();
        QVERIFY(test::ReadBytes(pdf).startsWith("%PDF"));
        QVERIFY(w->rows().first().blank());

        // On the macro page the grid is listed as it stands.
        w->sTab->setCurrentIndex(0);
        w->mnuPrintConts_Click();
        QCOMPARE(dialogs.infos.last(), QString("The editor is empty.  Nothing to print!"));
        w->mnuPreview_Click();
        QCOMPARE(dialogs.infos.last(), QString("The editor has nothing to preview"));

        // A print that fails is reported with its number.
        SetPrintToFile(outside.path() + "/no/such/folder/x.pdf");
        preview->show();
        preview->txtPreview->setPlainText("text");
        preview->Command1_Click();
        QVERIFY2(dialogs.infos.last().startsWith("Error 482\r\n"),
                 qPrintable(dialogs.infos.last()));
        QVERIFY(!preview->isVisible());
        SetPrintToFile({});
    }

    void printedListingFitsThePageWidth()
    {
        MacroRows rows;
        for (int i = 1; i <= 3; ++i) {
            MacroRow row;
            row[ColHouse] = "P";
            row[ColUnit] = "PRE";
            row[ColAction] = "DIM";
            row[ColPause] = "9999";
            row[ColRowNum] = QString::number(i * 1000);
            row[ColRunning] = "29997";
            rows << row;
        }
        const QString text = MacroListingText("/home/user/macros/evening.cro", rows, "29997",
                                              QDateTime(QDate(2024, 1, 2), QTime(3, 4)));
        QTemporaryDir dir;
        for (const auto size : {QPageSize::A4, QPageSize::Letter, QPageSize::A5}) {
            QPrinter printer(QPrinter::HighResolution);
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(dir.filePath("listing.pdf"));
            printer.setPageSize(QPageSize(size));
            QTextDocument document;
            PrepareListingDocument(document, text, &printer);
            // Every line of the listing, the "=" rule among them, is one line
            // on paper, in a font still readable.
            int rule = 0;
            for (QTextBlock b = document.begin(); b.isValid(); b = b.next()) {
                QCOMPARE(b.layout()->lineCount(), 1);
                rule += b.text().contains(QString(61, '='));
            }
            QCOMPARE(rule, 1);
            QVERIFY(document.defaultFont().pointSizeF() >= 6);
        }
    }
};

QELT_TEST_MAIN(McrManageTest)
#include "tst_frmMcrManage.moc"
