#include "macros/frmMcrSetup.h"

#include "core/MessageDialog.h"
#include "core/WindowHelpers.h"
#include "logic/Globals.h"
#include "logic/MacroBackup.h"
#include "logic/MacroFile.h"
#include "logic/MacroPlayer.h"
#include "logic/ProgramFolder.h"
#include "logic/SerialLink.h"
#include "logic/Settings.h"
#include "logic/Transmitter.h"
#include "logic/X10Codes.h"
#include "macros/InstallMacroWindows.h"
#include "macros/frmMDelay.h"
#include "tests/support/Bounds.h"
#include "tests/support/DropFiles.h"
#include "tests/support/FakeMainWindow.h"
#include "tests/support/FakeWaitClock.h"
#include "tests/support/FileBytes.h"
#include "tests/support/FixedPatterns.h"
#include "tests/support/SaveFaults.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TestEnv.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QScreen>
#include <QScrollBar>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QUrl>

using namespace qelt;

namespace {

const QString kLead = QString::fromLatin1(test::kLeadInBits);
const QString kClose = QString::fromLatin1(test::kClosingBits);

QByteArray Line(const QString &code, const char *pause)
{
    return "\"" + code.toLatin1() + pause + "\"\r\n";
}

// The console as the editor sees it: lamp, flash, closing pattern, and the
// lblGrp mailbox that hands every sent code to the editor.
class EditorMain : public test::FakeMainWindow {
public:
    EditorMain()
    {
        lblGrp().setHandler([](const QString &text) {
            if (MacroEditorService *editor = MacroEditor())
                editor->lblCroSave().setText(text);
        });
    }
    void setLamp(bool lit) override
    {
        lamp << lit;
        lampAt << CurrentWaitClock().nowNs();
    }
    void setRecordingFlash(bool on) override { flash << on; }
    void frmReturn() override { SendClosingPattern(); }
    // What a command button does: the code into lblGrp ("0" first, so a
    // repeated command arrives too), and the frame unless NoSend is set.
    void press(const QString &code)
    {
        lblGrp().setText(QStringLiteral("0"));
        lblGrp().setText(code);
        if (!NoSend)
            SendCode(code, QStringLiteral("test"), QStringLiteral("test"));
    }
    QList<bool> lamp;
    QList<qint64> lampAt;
    QList<bool> flash;
};

} // namespace

class McrSetupTest : public QObject {
    Q_OBJECT

private:
    test::InstalledDialogs dialogs;
    test::FakeWaitClock clock;
    RecordingSerialLink link;
    EditorMain main;
    frmMcrSetup *w = nullptr;
    const QString on = CmdToCode("A", "1", "ON");
    const QString off = CmdToCode("A", "1", "OFF");
    const QString dim = CmdToCode("B", "PRE", "DIM");

    QString write(const QString &name, const QByteArray &bytes)
    {
        const QString path = InProgramFolder(name);
        [&] { QVERIFY(test::WriteBytes(path, bytes)); }();
        return path;
    }
    void open(const QString &path)
    {
        dialogs.openAnswer = path;
        w->cmdOpenM_Click();
    }
    QString cell(int row, int column) const { return w->rows().at(row - 1)[column]; }
    // Types a pause as the user does: a double click on the row's Pause cell
    // opens the pause editor, and moving the focus away commits it.
    void typePause(int row, const QString &typed)
    {
        startTypingPause(row, typed);
        w->Grid1->setFocus();
        QTRY_VERIFY_WITH_TIMEOUT(!w->chPause->isVisible(), test::kStepMs);
    }
    // Types into the pause editor and stays there.
    void startTypingPause(int row, const QString &typed)
    {
        w->showPage(0);
        QVERIFY(QTest::qWaitForWindowActive(w, test::kFirstWindowMs));
        const QRect pause = w->Grid1->visualItemRect(w->Grid1->item(row - 1, ColPause));
        // The second press of a double click arrives as the double click.
        QTest::mouseClick(w->Grid1->viewport(), Qt::LeftButton, {}, pause.center());
        QTest::mouseDClick(w->Grid1->viewport(), Qt::LeftButton, {}, pause.center());
        QVERIFY(w->chPause->isVisible());
        QTest::keyClicks(w->chPause, typed);
    }
    void select(const QString &name)
    {
        w->cmdRefresh_Click();
        const QList<QListWidgetItem *> found = w->File1->findItems(name, Qt::MatchExactly);
        QVERIFY2(!found.isEmpty(), qPrintable(name));
        w->File1->setCurrentItem(found.first());
    }

private slots:
    void initTestCase()
    {
        SetMainWindow(&main);
        SetCommLink(&link);
        InstallMacroWindows();
        QVERIFY(MacroEditor());
        // Nothing is made before it is needed.
        QVERIFY(!MacroEditor()->macroRecording());
        w = McrSetupWindow();
        QCOMPARE(MacroEditor()->widget(), static_cast<QWidget *>(w));
    }

    void init()
    {
        if (!w->loaded())
            w->Form_Load();
        w->cmdClearAll_Click();
        MacroFolder = ProgramFolder();
        w->Option2[1]->setChecked(true);
        if (frmMDelay *d = MDelayWindowIfLoaded()) {
            d->chkSame->setChecked(false);
            d->PauseTime.clear();
        }
        dialogs.answers.clear();
        dialogs.answer = 2;
        dialogs.asked.clear();
        dialogs.infos.clear();
        dialogs.openAnswer.clear();
        dialogs.saveAnswer.clear();
        link.clear();
        main.lamp.clear();
        main.lampAt.clear();
        main.flash.clear();
        NoSend = false;
        AbortSend = false;
        DeleteSet("Settings", "SendOnRecord");
    }

    void openLoadsGridAndFolder()
    {
        const QString other = ProgramFolder() + "/other";
        const QString path = other + "/three.cro";
        QVERIFY(test::WriteBytes(path, Line(on, "0005") + Line(dim, "0005") + Line(off, "0005")));
        open(path);
        QCOMPARE(w->txtFileName->text(), path);
        QCOMPARE(CroFileName, path);
        QCOMPARE(MacroFolder, other);
        QCOMPARE(w->Grid1->rowCount(), 3);
        QCOMPARE(cell(2, ColHouse), QString("B"));
        QCOMPARE(cell(2, ColUnit), QString("PRE"));
        QCOMPARE(cell(3, ColRunning), QString("15"));
        QCOMPARE(w->Grid1->item(2, ColRunning)->text(), QString("15"));
        QVERIFY(!w->MacroChanged);
        QCOMPARE(w->File1->count(), 1);

        // Opening the same name again reloads it; a cancelled dialog changes nothing.
        QVERIFY(test::WriteBytes(path, Line(on, "0001")));
        open(path);
        QCOMPARE(w->Grid1->rowCount(), 1);
        open(QString());
        QCOMPARE(w->txtFileName->text(), path);
    }

    void saveWritesFileAndStatus()
    {
        const QString path = write("a-rather-long-macro-file-name-for-status.cro",
                                   Line(on, "0005") + Line(off, "1.50"));
        open(path);
        typePause(1, "75");
        QCOMPARE(cell(1, ColPause), QString("0075"));
        w->cmdSave_Click();
        QCOMPARE(test::ReadBytes(path), Line(on, "0075") + Line(off, "1.50"));
        QVERIFY(path.size() >= 46);
        QCOMPARE(w->lblStatus->text(), "Save Successful:  ..." + path.right(45));
        QVERIFY(!w->MacroChanged);
    }

    // Save and Save As on a failing disk: the file keeps what it held, the
    // status says so, and the grid keeps its edit, still unsaved.
    void failedSaveKeepsFileGridAndChangedFlag()
    {
        const QString path = write("keep.cro", Line(on, "0005") + Line(off, "0005"));
        open(path);
        typePause(1, "75");
        QVERIFY(w->MacroChanged);
        for (const auto kind : {SaveFault::DiskFull, SaveFault::Flush, SaveFault::Rename}) {
            test::ScopedSaveFault fault(kind, "keep.cro", 20);
            QTest::mouseClick(w->cmdSave, Qt::LeftButton);
            QCOMPARE(fault.hits(), 1);
            QCOMPARE(test::ReadBytes(path), Line(on, "0005") + Line(off, "0005"));
            QVERIFY(w->lblStatus->text().startsWith("Error cannot write " + path));
            QVERIFY(w->MacroChanged);
            QCOMPARE(cell(1, ColPause), QString("0075"));
            QCOMPARE(w->Grid1->rowCount(), 2);
        }
        const QString other = ProgramFolder() + "/other-name.cro";
        dialogs.saveAnswer = other;
        {
            test::ScopedSaveFault fault(SaveFault::DiskFull, "other-name.cro", 10);
            QTest::mouseClick(w->cmdSaveAs, Qt::LeftButton);
        }
        QVERIFY(!QFileInfo::exists(other));
        QCOMPARE(w->txtFileName->text(), path);
        QVERIFY(w->MacroChanged);
        QTest::mouseClick(w->cmdSave, Qt::LeftButton);
        QCOMPARE(test::ReadBytes(path), Line(on, "0075") + Line(off, "0005"));
        QVERIFY(!w->MacroChanged);
    }

    void saveOfNonCroNameAsksForName()
    {
        const QString upper = write("UPPER.CRO", Line(on, "0005"));
        open(upper);
        w->cmdSave_Click(); // falls through to Save As, which is cancelled
        QCOMPARE(w->lblStatus->text(), QString("Error 32755, Cancel was selected."));
        QCOMPARE(test::ReadBytes(upper), Line(on, "0005"));

        // Save As onto an existing file asks; No keeps it, Yes replaces it.
        const QString target = write("target.cro", "old\r\n");
        dialogs.saveAnswer = target;
        dialogs.answers = {2};
        w->cmdSaveAs_Click();
        QCOMPARE(test::ReadBytes(target), QByteArray("old\r\n"));
        QCOMPARE(dialogs.asked.last(), "Are you sure you want to overwrite " + target + " ?");
        dialogs.answers = {1};
        w->MacroChanged = true;
        w->cmdSaveAs_Click();
        QCOMPARE(test::ReadBytes(target), Line(on, "0005"));
        QCOMPARE(w->txtFileName->text(), target);
        QCOMPARE(w->lblStatus->text(), "File Save successful: (" + target + ")");
        QVERIFY(!w->MacroChanged);
    }

    void incompleteRowIsNotSaved()
    {
        // A code whose unit byte is unknown loads with no action.
        const QString bad = QStringLiteral("0110000011111111");
        const QString path = write("bad.cro", Line(on, "0005") + Line(bad, "0005"));
        open(path);
        QCOMPARE(cell(2, ColAction), QString());
        w->MacroChanged = true;
        w->cmdSave_Click();
        QCOMPARE(test::ReadBytes(path), Line(on, "0005") + Line(bad, "0005"));
        QVERIFY(w->lblStatus->text().contains("Row2"));
        QVERIFY(w->MacroChanged);
    }

    void closeAsksBeforeLosingChanges()
    {
        w->showPage(0);
        // Unnamed: no "Click Yes" lines; Yes opens Save As, whose cancel keeps the window.
        w->MacroChanged = true;
        dialogs.answers = {1};
        w->cmdClose_Click();
        QCOMPARE(dialogs.asked.last(), QString("The commands in the editor have not been saved."
                                               "Save changes before closing?"));
        QVERIFY(w->loaded());
        QVERIFY(w->isVisible());
        // Cancel keeps it; No closes.
        dialogs.answers = {3};
        w->cmdClose_Click();
        QVERIFY(w->isVisible());
        dialogs.answers = {2};
        w->cmdClose_Click();
        QVERIFY(!w->isVisible());
        QVERIFY(!w->loaded());

        // Named: the name is in the question; Yes saves, then closes.
        w->showPage(0);
        const QString path = write("named.cro", Line(on, "0005"));
        open(path);
        w->chPause_Show(1);
        w->chPause->clear();
        QTest::keyClick(w->chPause, '2');
        w->chPause_LostFocus();
        QVERIFY(w->MacroChanged);
        dialogs.answers = {1};
        w->HScroll2->setValue(9);
        w->cmdClose_Click();
        QVERIFY(
            dialogs.asked.last().contains("Click Yes to save changes to\r\n" + path + "\r\n\r\n"));
        QCOMPARE(test::ReadBytes(path), Line(on, "0002"));
        QVERIFY(!w->isVisible());
        QCOMPARE(GetSet("Database16", "GrDelay"), QString("9"));
    }

    void deleteAndClearAll()
    {
        write("gone.cro", Line(on, "0005"));
        write("kept.cro", Line(on, "0005"));
        select("kept.cro");
        dialogs.answers = {2};
        w->cmdDelete_Click();
        QVERIFY(QFileInfo::exists(InProgramFolder("kept.cro")));
        select("gone.cro");
        dialogs.answers = {1};
        w->cmdDelete_Click();
        QVERIFY(!QFileInfo::exists(InProgramFolder("gone.cro")));
        QCOMPARE(w->lblMname->text(), QString("(gone.cro) Deleted!"));
        QVERIFY(w->File1->findItems("gone.cro", Qt::MatchExactly).isEmpty());

        // A file removed behind the list's back.
        select("kept.cro");
        QFile::remove(InProgramFolder("kept.cro"));
        dialogs.answers = {1};
        w->cmdDelete_Click();
        QCOMPARE(dialogs.infos.last(), QString("File Not Found"));

        // A name that leaves the macro folder is never deleted.
        const QString outside = write("outside.cro", Line(on, "0005"));
        MacroFolder = ProgramFolder() + "/sub";
        QDir().mkpath(MacroFolder);
        w->File1->addItem("../outside.cro");
        w->File1->setCurrentRow(w->File1->count() - 1);
        dialogs.answers = {1};
        w->cmdDelete_Click();
        QVERIFY(QFileInfo::exists(outside));
        QCOMPARE(dialogs.infos.last(), QString("File Not Found"));
        MacroFolder = ProgramFolder();

        open(write("c.cro", Line(on, "0005")));
        // Save As where nothing can be written reports it and keeps the name.
        write("afile", "x");
        dialogs.saveAnswer = InProgramFolder("afile/x.cro");
        w->MacroChanged = true;
        w->cmdSaveAs_Click();
        QVERIFY(w->lblStatus->text().startsWith("Error"));
        QCOMPARE(w->txtFileName->text(), InProgramFolder("c.cro"));
        QVERIFY(w->MacroChanged);
        w->txtItemNum->setText("1");
        w->txtIPause->setText("5 sec");
        w->cmdClearAll_Click();
        QVERIFY(w->txtItemNum->text().isEmpty());
        QVERIFY(w->txtIPause->text().isEmpty());
        QCOMPARE(w->Grid1->rowCount(), 1);
        QVERIFY(w->rows().first().blank());
        QVERIFY(w->txtFileName->text().isEmpty());
        QVERIFY(!w->MacroChanged);
    }

    void gridEditing()
    {
        open(write("g.cro", Line(on, "0002") + Line(dim, "0000") + Line(off, "0003")));
        w->cmdCheckGrid_Click();
        QCOMPARE(cell(2, ColPause), QString("error"));
        QCOMPARE(w->Grid1->item(1, ColPause)->background().color(), QColor(0xFF, 0x80, 0x80));
        QCOMPARE(cell(3, ColRunning), QString("5"));

        w->setCurrentRow(2);
        w->cmdClearRow_Click();
        QCOMPARE(w->lblStatus->text(), QString("Row2 deleted!"));
        QCOMPARE(w->Grid1->rowCount(), 2);
        QCOMPARE(cell(2, ColRowNum), QString("2"));
        QCOMPARE(w->currentRow(), 1);
        QCOMPARE(w->txtItemNum->text(), QString("1"));

        // The inline pause editor takes digits, ":" and one point only.
        w->chPause_Show(1);
        w->chPause->clear();
        for (const char *key : {"1", "a", ".", "5", ".", "-"})
            QTest::keyClick(w->chPause, key[0]);
        QCOMPARE(w->chPause->text(), QString("1.5"));
        // A double click copies the pause into the quick-edit pause box.
        w->txtPause->clear();
        QMouseEvent dbl(QEvent::MouseButtonDblClick, QPointF(2, 2), QPointF(2, 2), Qt::LeftButton,
                        Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(w->chPause, &dbl);
        QCOMPARE(w->txtPause->text(), QString("1.5"));
        QTest::keyClick(w->chPause, Qt::Key_Return);
        QVERIFY(w->chPause->isHidden());
        QCOMPARE(cell(1, ColPause), QString("01.5"));
        QCOMPARE(cell(2, ColRunning), QString("4.5"));
        QVERIFY(w->MacroChanged);
    }

    void runAndTest()
    {
        write("run.cro", Line(on, "0002") + Line(off, "0009"));
        select("run.cro");
        w->cmdRun_Click();
        QCOMPARE(link.decodedBits(), kLead + RfFrame(on) + RfFrame(off) + kClose + kClose);
        QCOMPARE(main.lamp, (QList<bool>{true, false, true, false}));
        QVERIFY(w->cmdRun->isEnabled());
        QVERIFY(w->cmdTest->isEnabled());

        // With the backup list shown, its selected copy is played, not the
        // macro selected in the folder list.
        QVERIFY(QDir().mkpath(BackupFolder(ProgramFolder())));
        QVERIFY(test::WriteBytes(BackupFolder(ProgramFolder()) + "/run.cro", Line(dim, "0001")));
        w->refreshFile2();
        const QList<QListWidgetItem *> copies = w->File2->findItems("run.cro", Qt::MatchExactly);
        QVERIFY(!copies.isEmpty());
        w->File2->setCurrentItem(copies.first());
        w->File2->show();
        link.clear();
        w->cmdRun_Click();
        w->File2->hide();
        QCOMPARE(link.decodedBits(), kLead + RfFrame(dim) + kClose + kClose);

        // Test speed: 3 s after the first command, 0.5 s after the last.
        link.clear();
        w->HScroll1->setValue(3);
        QCOMPARE(w->lblTestTime->text(), QString(" 3 sec."));
        main.lampAt.clear();
        w->cmdTest_Click();
        QCOMPARE(link.decodedBits(), kLead + RfFrame(on) + RfFrame(off) + kClose + kClose);
        // lamp out after the first command to lamp on for the second:
        // the test interval and the 0.05 s before every command
        QCOMPARE(main.lampAt.size(), 4);
        const double gap = double(main.lampAt.at(2) - main.lampAt.at(1)) / 1e9;
        QVERIFY2(qAbs(gap - 3.05) < 0.006, qPrintable(QString::number(gap)));

        // Unloading the window during a run stops it without the closing pattern.
        link.clear();
        w->showPage(2);
        clock.onProcessEvents = [&] {
            if (main.lamp.size() >= 6 && w->loaded())
                w->unload();
        };
        w->cmdRun_Click();
        clock.onProcessEvents = {};
        QCOMPARE(link.decodedBits(), kLead + RfFrame(on));
    }

    void recordingFromTheConsole()
    {
        SaveSet("Settings", "SendOnRecord", "0");
        w->chkCroRecord->setChecked(true);
        QVERIFY(MacroEditor()->macroRecording());
        QVERIFY(NoSend);
        QCOMPARE(w->chkCroRecord->text(), QString("Stop"));
        main.press(on);
        main.press(on); // a repeated command is recorded again
        main.press(dim);
        QCOMPARE(link.decodedBits(), QString()); // nothing sent while recording
        QCOMPARE(w->Grid1->rowCount(), 3);       // the empty grid's row is used first
        QCOMPARE(cell(1, ColUnit), QString("1"));
        QCOMPARE(cell(3, ColUnit), QString("PRE"));
        QCOMPARE(cell(3, ColPause), QString("0005"));
        QCOMPARE(cell(3, ColRunning), QString("15"));
        QCOMPARE(w->lblRecNum->text(), QString("3"));
        QVERIFY(w->MacroChanged);

        w->chkCroRecord->setChecked(false);
        QVERIFY(!NoSend);
        QCOMPARE(main.lamp.last(), false);
        QCOMPARE(main.flash.last(), false);
        main.press(off);
        QCOMPARE(link.decodedBits(), RfFrame(off)); // sends again
        QCOMPARE(w->Grid1->rowCount(), 3);          // and records nothing

        // Recording appends after existing rows; the same pause for all.
        SaveSet("Settings", "SendOnRecord", "1");
        w->chkCroRecord->setChecked(true);
        QVERIFY(!NoSend);
        MDelayWindow()->chkSame->setChecked(true);
        MDelayWindow()->PauseTime = "2.50";
        main.press(off);
        QCOMPARE(w->Grid1->rowCount(), 4);
        QCOMPARE(cell(4, ColAction), QString("OFF"));
        QCOMPARE(cell(4, ColPause), QString("2.50"));

        // Unloading the window ends recording.
        SaveSet("Settings", "SendOnRecord", "0");
        w->chkCroRecord->setChecked(false);
        w->chkCroRecord->setChecked(true);
        QVERIFY(NoSend);
        w->unload();
        QVERIFY(!NoSend);
        QVERIFY(!MacroEditor()->macroRecording());
    }

    // A command that reaches the recorder while it asks for the pause of an
    // earlier one is not recorded: it neither takes the earlier row's place
    // nor its pause.
    void aCommandWhileAPauseIsAskedIsNotRecorded()
    {
        w->Option2[0]->setChecked(true);
        w->chkCroRecord->setChecked(true);
        frmMDelay *d = MDelayWindow();
        QTimer::singleShot(0, d, [this] { main.press(off); });
        // Answers whichever pause dialog is asking then.
        QTimer::singleShot(50, d, [d] {
            d->txtMin->setText("0");
            d->txtSec->setText("7");
            d->cmdContinue_Click();
        });
        main.press(on);
        QTRY_VERIFY_WITH_TIMEOUT(!d->isVisible(), test::kStepMs);
        QCOMPARE(w->rows().size(), 1);
        QCOMPARE(cell(1, ColAction), QString("ON"));
        QCOMPARE(cell(1, ColPause), QString("0007"));
        QCOMPARE(w->lblRecNum->text(), QString("1"));
        w->chkCroRecord->setChecked(false);
    }

    void recordingAsksForPauses()
    {
        w->Option2[0]->setChecked(true);
        w->chkCroRecord->setChecked(true);
        frmMDelay *d = MDelayWindow();
        QVERIFY(d->chkSame->isVisible() || !d->isVisible());
        const auto answer = [d](const QString &min, const QString &sec, bool same = false) {
            QTimer::singleShot(0, d, [=] {
                d->txtMin->setText(min);
                d->txtSec->setText(sec);
                d->chkSame->setChecked(same);
                d->cmdContinue_Click();
            });
        };
        answer("1", "30");
        main.press(on);
        QCOMPARE(cell(1, ColPause), QString("0090"));
        answer("0", ".1"); // below 0.2 s becomes 1 s
        main.press(off);
        QCOMPARE(cell(2, ColPause), QString("0001"));
        // Both boxes zero: the dialog warns and stays; then 2.5 s with the
        // same pause for all switches to fast recording.
        QTimer::singleShot(0, d, [=] {
            d->txtMin->setText("0");
            d->txtSec->setText("00");
            d->cmdContinue_Click();
            QVERIFY(d->isVisible());
            d->txtSec->setText("2.5");
            d->chkSame->setChecked(true);
            d->cmdContinue_Click();
        });
        main.press(dim);
        QVERIFY(dialogs.infos.last().startsWith("Pause time must be at least .3 seconds!\r"));
        QCOMPARE(cell(3, ColPause), QString("2.50"));
        QVERIFY(w->Option2[1]->isChecked());
        main.press(on); // no question now
        QCOMPARE(cell(4, ColPause), QString("2.50"));
        w->chkCroRecord->setChecked(false);

        // A mailbox "0" is not a command.
        w->chkCroRecord->setChecked(true);
        const int rowsBefore = w->Grid1->rowCount();
        w->lblCroSave().setText("0");
        QCOMPARE(w->Grid1->rowCount(), rowsBefore);
        w->chkCroRecord->setChecked(false);
    }

    void pauseDialogLimits()
    {
        frmMDelay *d = MDelayWindow();
        d->show();
        // Key filters: minutes take digits; seconds one separator and no 0 after it.
        d->txtMin->clear();
        QTest::keyClicks(d->txtMin, "2a0.0");
        QCOMPARE(d->txtMin->text(), QString("200"));
        d->txtMin_LostFocus();
        QCOMPARE(d->txtMin->text(), QString("166"));
        d->txtSec->clear();
        QTest::keyClicks(d->txtSec, "5x0");
        QCOMPARE(d->txtSec->text(), QString("50"));
        d->txtSec_LostFocus();
        QCOMPARE(d->txtSec->text(), QString("39"));
        QCOMPARE(d->txtPTime->text(), QString("9999"));
        d->txtSec->clear();
        QTest::keyClicks(d->txtSec, "2.05,");
        QCOMPARE(d->txtSec->text(), QString("2.5"));

        // "000" is not a zero entry: accepted as 0000.
        d->txtMin->setText("000");
        d->txtSec->setText("0");
        d->cmdContinue_Click();
        QVERIFY(!d->isVisible());
        QCOMPARE(d->PauseTime, QString("0000"));
        // A second showing keeps the entry; Cancel hands back no pause.
        d->show();
        QCOMPARE(d->txtMin->text(), QString("000"));
        d->Command1_Click();
        QVERIFY(!d->isVisible());
        QCOMPARE(d->PauseTime, QString());
    }

    void statusTextNeverResizesTheWindow()
    {
        w->showPage(0);
        QVERIFY(QTest::qWaitForWindowExposed(w, test::kFirstWindowMs));
        const int before = w->width();
        const QString deep = ProgramFolder() + "/" + QString("very-long-folder-name/").repeated(8);
        QVERIFY(QDir().mkpath(deep));
        const QString path = deep + "a.cro";
        dialogs.saveAnswer = path;
        // A row, so that Save As writes it.
        QVERIFY(test::WriteBytes(InProgramFolder("one.cro"), Line(on, "0005")));
        open(InProgramFolder("one.cro"));
        QTest::mouseClick(w->cmdSaveAs, Qt::LeftButton);
        QApplication::processEvents();
        QCOMPARE(w->lblStatus->text(), "File Save successful: (" + path + ")");
        QCOMPARE(w->width(), before);
        QVERIFY(w->minimumSizeHint().width() <= before);
        // Cut to the label's width; the whole text is its tool tip.
        auto *status = dynamic_cast<StatusLabel *>(w->lblStatus);
        QVERIFY(status);
        QVERIFY(status->shownText().endsWith(QChar(0x2026)));
        QVERIFY(QFontMetrics(status->font()).horizontalAdvance(status->shownText()) <=
                status->contentsRect().width());
    }

    void recordingRowKeepsTheWindowSize()
    {
        w->showPage(0);
        QVERIFY(QTest::qWaitForWindowExposed(w, test::kFirstWindowMs));
        const QSize before = w->size();
        QTest::mouseClick(w->chkCroRecord, Qt::LeftButton);
        QApplication::processEvents();
        QVERIFY(w->chkCroRecord->isChecked());
        QVERIFY(w->lblCroW->isVisible());
        QCOMPARE(w->size(), before);
        QTest::mouseClick(w->chkCroRecord, Qt::LeftButton);
        QApplication::processEvents();
        QVERIFY(!w->lblCroW->isVisible());
        QCOMPARE(w->size(), before);
    }

    void blankLineInsideAFileKeepsEveryRow()
    {
        // Loaded with a double click in the file list and saved again: the
        // rows after the blank line are neither dropped nor lost.
        const QString path =
            write("gap.cro", Line(on, "0005") + "\r\n" + Line(off, "0002") +
                                 QByteArray(Line(dim, "0003")).replace("\r\n", "\n"));
        w->showPage(2);
        QVERIFY(QTest::qWaitForWindowExposed(w, test::kFirstWindowMs));
        select("gap.cro");
        QListWidgetItem *item = w->File1->currentItem();
        w->File1->scrollToItem(item);
        QApplication::processEvents();
        const QPoint at = w->File1->visualItemRect(item).center();
        QTest::mouseClick(w->File1->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(w->File1->viewport(), Qt::LeftButton, {}, at);
        QCOMPARE(w->txtFileName->text(), path);
        QCOMPARE(w->rows().size(), 3);
        QCOMPARE(cell(3, ColRunning), QString("10"));
        w->showPage(0);
        QTest::mouseClick(w->cmdSave, Qt::LeftButton);
        QCOMPARE(test::ReadBytes(path), Line(on, "0005") + Line(off, "0002") + Line(dim, "0003"));
    }

    void replacingUnsavedRowsAsksFirst()
    {
        const QString first = write("first.cro", Line(on, "0005") + Line(off, "0005"));
        const QString second = write("second.cro", Line(dim, "0001"));
        open(first);
        w->showPage(0);
        w->setCurrentRow(2);
        QTest::mouseClick(w->cmdClearRow, Qt::LeftButton);
        QVERIFY(w->MacroChanged);
        QCOMPARE(w->rows().size(), 1);

        // Open: Cancel keeps the unsaved row, and no file dialog replaces it.
        dialogs.openAnswer = second;
        dialogs.answers = {3};
        QTest::mouseClick(w->cmdOpenM, Qt::LeftButton);
        QCOMPARE(dialogs.asked.size(), 1);
        QVERIFY(dialogs.asked[0].startsWith("The commands in the editor have not been saved."));
        QCOMPARE(w->txtFileName->text(), first);
        QCOMPARE(w->rows().size(), 1);

        // A file dropped on the grid asks the same; Cancel keeps the rows.
        auto drop = [&] {
            QMimeData data;
            data.setUrls({QUrl::fromLocalFile(second)});
            const QPoint at = w->Grid1->viewport()->rect().center();
            QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, {});
            QApplication::sendEvent(w->Grid1->viewport(), &enter);
            QDropEvent dropped(at, Qt::CopyAction, &data, Qt::LeftButton, {});
            QApplication::sendEvent(w->Grid1->viewport(), &dropped);
        };
        dialogs.answers = {3};
        drop();
        QCOMPARE(dialogs.asked.size(), 2);
        QCOMPARE(dialogs.asked[1], dialogs.asked[0]);
        QCOMPARE(w->txtFileName->text(), first);
        QCOMPARE(w->rows().size(), 1);

        // No: the rows are given up and the dropped file loads.
        dialogs.answers = {2};
        drop();
        QCOMPARE(w->txtFileName->text(), second);
        QCOMPARE(cell(1, ColAction), QString("DIM"));
    }

    // A file dragged onto the grid is answered as a copy, whatever the
    // dragging program proposes: the editor only reads it.
    void fileDroppedOnTheGridIsTakenAsACopy_data() { test::AddDragRows(); }
    void fileDroppedOnTheGridIsTakenAsACopy()
    {
        QFETCH(bool, taken);
        const QString dropped = write("dropped.cro", Line(on, "0005"));
        const QString before = w->txtFileName->text();
        test::DragFilesOfRow(w->Grid1->viewport(), {dropped});
        QCOMPARE(w->txtFileName->text(), taken ? dropped : before);
        QVERIFY(QFile::exists(dropped));
    }

    void saveAsAsksOnceAndAddsTheExtension()
    {
        // The real file dialog, driven as a user does; the program's own
        // questions stay scripted.
        struct RealSave : test::ScriptedDialogs {
            QString saveFileName(QWidget *p, const QString &t, const QString &path,
                                 const QString &f) override
            {
                return RealDialogs().saveFileName(p, t, path, f);
            }
            QString saveFileNameUnasked(QWidget *p, const QString &t, const QString &path,
                                        const QString &f, const QString &suffix) override
            {
                return RealDialogs().saveFileNameUnasked(p, t, path, f, suffix);
            }
        } real;
        real.answer = 1;
        SetDialogProvider(&real);
        const auto restore = qScopeGuard([this] { SetDialogProvider(&dialogs); });
        QVERIFY(test::WriteBytes(InProgramFolder("one.cro"), Line(on, "0005")));
        open(InProgramFolder("one.cro"));
        w->showPage(0);

        int boxes = 0;
        bool typedIn = false;
        QString typed;
        QTimer poll;
        QElapsedTimer waited;
        connect(&poll, &QTimer::timeout, [&] {
            QFileDialog *dialog = nullptr;
            for (QWidget *top : QApplication::topLevelWidgets()) {
                if (!top->isVisible())
                    continue;
                // A dialog that does not take the answer fails the test
                // instead of hanging it.
                if (auto *stuck = qobject_cast<QDialog *>(top);
                    stuck && waited.elapsed() > test::kFirstWindowMs) {
                    stuck->reject();
                    return;
                }
                if (auto *box = qobject_cast<QMessageBox *>(top)) {
                    ++boxes;
                    QTest::mouseClick(box->button(QMessageBox::Yes), Qt::LeftButton);
                    return;
                }
                if (auto *d = qobject_cast<QFileDialog *>(top))
                    dialog = d;
            }
            if (!dialog)
                return;
            auto *name = dialog->findChild<QLineEdit *>("fileNameEdit");
            auto *buttons = dialog->findChild<QDialogButtonBox *>("buttonBox");
            if (!name || !buttons)
                return;
            // The dialog may still fill the name box from its folder listing
            // while the name is typed: type it again until it stands whole.
            if (!typedIn || name->text() != typed) {
                typedIn = true;
                name->setCompleter(nullptr); // its pop-up would take the keys
                name->clear();
                QTest::keyClicks(name, typed);
                return;
            }
            // Save, once the dialog has taken the name in (it enables the
            // button when it has).
            QPushButton *save = buttons->button(QDialogButtonBox::Save);
            if (save && save->isEnabled() && QApplication::activeModalWidget() == dialog)
                QTest::mouseClick(save, Qt::LeftButton);
        });
        auto answerDialogs = [&](const QString &name) {
            typed = name;
            typedIn = false;
            waited.start();
            poll.start(20);
            QTest::mouseClick(w->cmdSaveAs, Qt::LeftButton);
            poll.stop();
            QVERIFY(typedIn);
        };

        // A name without extension is saved as a macro.
        const QString folder = ProgramFolder() + "/";
        QFile::remove(folder + "first.cro");
        answerDialogs(folder + "first");
        QCOMPARE(w->txtFileName->text(), folder + "first.cro");
        QVERIFY(QFile::exists(folder + "first.cro"));
        QVERIFY(!QFile::exists(folder + "first"));

        // Over an existing file the user is asked once.
        real.asked.clear();
        boxes = 0;
        answerDialogs(folder + "first.cro");
        QCOMPARE(boxes + real.asked.size(), 1);
        QCOMPARE(real.asked.value(0),
                 "Are you sure you want to overwrite " + folder + "first.cro ?");
    }

    void reopenedEditorStartsWithAnEmptyStatusLine()
    {
        w->showPage(0);
        QTest::mouseClick(w->cmdSaveAs, Qt::LeftButton); // cancelled: an error status
        QVERIFY(!w->lblStatus->text().isEmpty());
        QTest::mouseClick(w->cmdCancel, Qt::LeftButton);
        QVERIFY(!w->isVisible());
        w->showPage(0);
        QCOMPARE(w->lblStatus->text(), QString());
    }

    // 500 twips is 33.3 pixels: a place stored or never stored stays 500,
    // not 495. One left by a larger screen brings the whole window back.
    void positionStoredUnchangedWhenNotMoved()
    {
        const QRect screen(0, 0, 800, 800);
        QCOMPARE(QGuiApplication::primaryScreen()->availableGeometry(), screen);
        const struct {
            const char *left, *top; // stored before, nullptr for none
            const char *storedLeft, *storedTop;
        } cases[] = {
            {"500", "1000", "500", "1000"},
            {nullptr, nullptr, "500", "500"},
        };
        for (const auto &c : cases) {
            w->unload();
            for (const char *key : {"McrMainLeft", "McrMainTop"})
                DeleteSet("Settings", key);
            if (c.left) {
                SaveSet("Settings", "McrMainLeft", c.left);
                SaveSet("Settings", "McrMainTop", c.top);
            }
            w->showPage(0);
            QTest::mouseClick(w->cmdCancel, Qt::LeftButton);
            QCOMPARE(GetSet("Settings", "McrMainLeft"), QString(c.storedLeft));
            QCOMPARE(GetSet("Settings", "McrMainTop"), QString(c.storedTop));
        }

        w->unload();
        SaveSet("Settings", "McrMainLeft", "30000");
        SaveSet("Settings", "McrMainTop", "30000");
        w->showPage(0);
        QVERIFY(QTest::qWaitForWindowExposed(w, test::kFirstWindowMs));
        QCOMPARE(w->frameGeometry().bottomRight(), QPoint(799, 799));
        QTest::mouseClick(w->cmdCancel, Qt::LeftButton);
    }

    void runningPauseColumnShowsAtTheDefaultWidth()
    {
        QByteArray many;
        for (int i = 0; i < 40; ++i)
            many += Line(on, "0005");
        w->unload();
        w->showPage(0);
        open(write("many.cro", many));
        QVERIFY(QTest::qWaitForWindowExposed(w, test::kFirstWindowMs));
        // At its default width and at the narrowest the user can make it.
        for (const int width : {w->width(), w->minimumSizeHint().width()}) {
            w->resize(width, w->height());
            QApplication::processEvents();
            QVERIFY(w->Grid1->verticalScrollBar()->maximum() > 0);
            QCOMPARE(w->Grid1->horizontalScrollBar()->maximum(), 0);
            const QRect running = w->Grid1->visualItemRect(w->Grid1->item(0, ColRunning));
            QVERIFY(w->Grid1->viewport()->rect().contains(running.topRight() - QPoint(1, 0)));
        }
    }

    void notSavedSaysWhatIsWrong()
    {
        const QString path = write("units.cro", Line(on, "0005"));
        open(path);
        w->showPage(0);
        // The palette puts "ALL" into the unit cell of an ON; Fix it marks it.
        w->Grid1->setCurrentCell(0, ColUnit);
        for (int i = 0; i < 41; ++i)
            if (w->Label12[i] && w->Label12[i]->text() == "ALL")
                QTest::mouseClick(w->Label12[i], Qt::LeftButton);
        QTest::mouseClick(w->cmdCheckGrid, Qt::LeftButton);
        QCOMPARE(cell(1, ColUnit), QString("error"));
        QTest::mouseClick(w->cmdSave, Qt::LeftButton);
        QCOMPARE(
            w->lblStatus->text(),
            QString("Not saved: Row1 has the unit \"error\", ON needs a unit number 1 to 16."));
        QCOMPARE(test::ReadBytes(path), Line(on, "0005"));

        // More lines than a macro holds: the limit is named, nothing written.
        QByteArray lines;
        for (int i = 0; i <= kMacroMaxLines; ++i)
            lines += Line(on, "0001");
        const QString big = write("big.cro", lines);
        open(big);
        QTest::mouseClick(w->cmdSave, Qt::LeftButton);
        QCOMPARE(w->lblStatus->text(),
                 QString("Not saved: a macro holds at most 32767 lines; this one has 32768."));
        QCOMPARE(test::ReadBytes(big), lines);
        w->cmdClearAll_Click();
    }

    // A pause typed longer than the file's 4 characters is saved fitted; the
    // grid then shows the saved pause and running totals, as a reopen does.
    void savedGridShowsTheFittedPause()
    {
        const struct {
            const char *typed;
            const char *saved;
            const char *running; // row 2's total after the save (row 2 waits 2 s)
            const char *panel;   // that total in the quick-edit panel
        } cases[] = {{"123456", "9999", "10001", "2h 46m 41s"},
                     {"12.50", "12.5", "14.5", "14.5 sec"}};
        for (const auto &c : cases) {
            const QString path = write("fit.cro", QByteArray("\"01100000000000000005\"\r\n"
                                                             "\"01100000001000000002\"\r\n"));
            open(path);
            typePause(1, c.typed);
            QCOMPARE(w->Grid1->item(0, ColPause)->text(), QString(c.typed));
            // The panel shows the running pause of the row clicked last.
            QTest::mouseClick(w->Grid1->viewport(), Qt::LeftButton, {},
                              w->Grid1->visualItemRect(w->Grid1->item(1, ColHouse)).center());
            QTest::mouseClick(w->cmdSave, Qt::LeftButton);
            QCOMPARE(test::ReadBytes(path), "\"0110000000000000" + QByteArray(c.saved) +
                                                "\"\r\n\"01100000001000000002\"\r\n");
            QVERIFY(w->lblStatus->text().startsWith("Save Successful:  "));
            QVERIFY(!w->MacroChanged);
            QCOMPARE(w->Grid1->item(0, ColPause)->text(), QString(c.saved));
            QCOMPARE(w->Grid1->item(1, ColRunning)->text(), QString(c.running));
            QCOMPARE(w->txtIPause->text(), QString(c.panel));
            QCOMPARE(w->Grid1->currentRow(), 1);

            QStringList shown;
            for (int r = 0; r < 2; ++r)
                for (const int col : {ColHouse, ColUnit, ColAction, ColPause, ColRunning})
                    shown << w->Grid1->item(r, col)->text();
            open(path);
            QStringList reopened;
            for (int r = 0; r < 2; ++r)
                for (const int col : {ColHouse, ColUnit, ColAction, ColPause, ColRunning})
                    reopened << w->Grid1->item(r, col)->text();
            QCOMPARE(shown, reopened);
        }
    }

    // A file command clicked while a pause is still being typed takes the
    // typed pause first: it is saved, asked about, or cleared with the rows,
    // never left to land in the rows shown afterwards.
    void fileCommandsTakeThePauseBeingTyped()
    {
        const QByteArray a1On5("\"01100000000000000005\"\r\n");
        const QString other = write("other.cro", a1On5);
        const QString path = write("typing.cro", a1On5);

        open(path);
        startTypingPause(1, "123456");
        QTest::mouseClick(w->cmdSave, Qt::LeftButton);
        QCOMPARE(test::ReadBytes(path), QByteArray("\"01100000000000009999\"\r\n"));
        QApplication::processEvents();
        QCOMPARE(w->Grid1->item(0, ColPause)->text(), QString("9999"));
        QVERIFY(!w->MacroChanged);

        // Open: the typed pause makes the rows unsaved, so the user is asked;
        // No loads the other file with its own pause.
        startTypingPause(1, "42");
        dialogs.answers = {2};
        dialogs.openAnswer = other;
        QTest::mouseClick(w->cmdOpenM, Qt::LeftButton);
        QCOMPARE(dialogs.asked.size(), 1);
        QApplication::processEvents();
        QCOMPARE(w->txtFileName->text(), other);
        QCOMPARE(w->Grid1->item(0, ColPause)->text(), QString("0005"));

        startTypingPause(1, "42");
        QTest::mouseClick(w->cmdClearAll, Qt::LeftButton);
        QApplication::processEvents();
        QCOMPARE(w->Grid1->item(0, ColPause)->text(), QString());
        QVERIFY(!w->MacroChanged);

        // Close: Yes saves the typed pause, then the window closes.
        open(path);
        startTypingPause(1, "8");
        dialogs.answers = {1};
        QTest::mouseClick(w->cmdClose, Qt::LeftButton);
        QCOMPARE(test::ReadBytes(path), QByteArray("\"01100000000000000008\"\r\n"));
        QVERIFY(!w->isVisible());
    }

    // The status line speaks of the rows shown: a failed or successful save
    // of one file is not left standing over the next file or an empty editor.
    void statusLineFollowsTheFileShown()
    {
        const QString other = write("other.cro", QByteArray("\"01100000000000000005\"\r\n"));
        const QString notSaved = "Not saved: Row1 has no valid pause.";
        // A pause of 0 cannot be saved: the row stays unsaved, with its reason shown.
        auto failSave = [&] {
            open(write("stale.cro", QByteArray("\"01100000000000000005\"\r\n")));
            typePause(1, "0");
            QTest::mouseClick(w->cmdSave, Qt::LeftButton);
            QCOMPARE(w->lblStatus->text(), notSaved);
            QVERIFY(w->MacroChanged);
        };
        const auto shownFile = [&] { return w->txtFileName->text(); };

        failSave();
        QTest::mouseClick(w->cmdClearAll, Qt::LeftButton);
        QCOMPARE(w->lblStatus->text(), QString());

        // Open: giving up the unsaved row loads the other file.
        failSave();
        dialogs.answers = {2};
        dialogs.openAnswer = other;
        QTest::mouseClick(w->cmdOpenM, Qt::LeftButton);
        QCOMPARE(shownFile(), other);
        QCOMPARE(w->lblStatus->text(), QString());

        // A cancelled open still shows the same rows, and so the same status.
        failSave();
        dialogs.answers = {2};
        dialogs.openAnswer.clear();
        QTest::mouseClick(w->cmdOpenM, Qt::LeftButton);
        QCOMPARE(shownFile(), InProgramFolder("stale.cro"));
        QCOMPARE(w->lblStatus->text(), notSaved);

        // A file dropped on the grid.
        failSave();
        dialogs.answers = {2};
        QVERIFY(test::DropFiles(w->Grid1->viewport(), {other}));
        QCOMPARE(shownFile(), other);
        QCOMPARE(w->lblStatus->text(), QString());

        // A double click in the file list; here the question's Yes saves
        // first, and the file then shown is the one opened.
        open(write("saved.cro", QByteArray("\"01100000000000000005\"\r\n")));
        typePause(1, "7");
        w->showPage(2);
        select("other.cro");
        QListWidgetItem *item = w->File1->currentItem();
        w->File1->scrollToItem(item);
        QApplication::processEvents();
        dialogs.answers = {1};
        const QPoint at = w->File1->visualItemRect(item).center();
        QTest::mouseClick(w->File1->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(w->File1->viewport(), Qt::LeftButton, {}, at);
        QCOMPARE(test::ReadBytes(InProgramFolder("saved.cro")),
                 QByteArray("\"01100000000000000007\"\r\n"));
        QCOMPARE(shownFile(), other);
        QCOMPARE(w->lblStatus->text(), QString());
    }
};

QELT_TEST_MAIN(McrSetupTest)
#include "tst_frmMcrSetup.moc"
