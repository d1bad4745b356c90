#include "macros/frmMcrSetup.h"

#include "logic/Globals.h"
#include "logic/ProgramFolder.h"
#include "logic/Settings.h"
#include "logic/X10Codes.h"
#include "macros/InstallMacroWindows.h"
#include "tests/support/FakeMainWindow.h"
#include "tests/support/FakeWaitClock.h"
#include "tests/support/FileBytes.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TestEnv.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>

using namespace qelt;

namespace {

QByteArray Line(const QString &code, const char *pause)
{
    return "\"" + code.toLatin1() + pause + "\"\r\n";
}

} // namespace

class McrSetupQuickEditTest : public QObject {
    Q_OBJECT

private:
    test::InstalledDialogs dialogs;
    test::FakeWaitClock clock;
    test::FakeMainWindow main;
    frmMcrSetup *w = nullptr;
    QString on, off;

    QString cell(int row, int column) const { return w->rows().at(row - 1)[column]; }
    void fill(const char *house, const char *unit, const char *action, const char *pause)
    {
        w->txtHouse->setText(house);
        w->txtUnit->setText(unit);
        w->txtAction->setText(action);
        w->txtPause->setText(pause);
    }
    void load(const QByteArray &bytes)
    {
        const QString path = InProgramFolder("q.cro");
        QVERIFY(test::WriteBytes(path, bytes));
        w->txtFileName->setText(QString());
        w->txtFileName->setText(path);
    }

private slots:
    void initTestCase()
    {
        SetMainWindow(&main);
        InstallMacroWindows();
        on = CmdToCode("A", "1", "ON");
        off = CmdToCode("B", "2", "OFF");
        w = McrSetupWindow();
    }

    void init()
    {
        if (!w->loaded())
            w->Form_Load();
        w->cmdClearAll_Click();
        fill("", "", "", "");
        w->Option1[2]->setChecked(true);
        dialogs.infos.clear();
        MacroFolder = ProgramFolder();
    }

    void boxesFilterAndCorrect()
    {
        QTest::keyClicks(w->txtUnit, "ALLL");
        QCOMPARE(w->txtUnit->text(), QString("ALL"));
        w->txtUnit->clear();
        QTest::keyClicks(w->txtUnit, "10");
        QCOMPARE(w->txtUnit->text(), QString("10"));
        QTest::keyClicks(w->txtHouse, "c");
        QCOMPARE(w->txtHouse->text(), QString("C"));
        QTest::keyClicks(w->txtAction, "bx");
        QCOMPARE(w->txtAction->text(), QString("B"));

        w->txtUnit->setText("7");
        w->txtAction_LostFocus();
        QCOMPARE(w->txtAction->text(), QString("BRI"));
        QCOMPARE(w->txtUnit->text(), QString("PRE"));

        // ON with ALL empties the unit, and "Enter" is then unavailable.
        fill("A", "ALL", "ON", "0005");
        QVERIFY(w->Command3->isEnabled());
        w->txtAction_LostFocus();
        QCOMPARE(w->txtUnit->text(), QString());
        QVERIFY(!w->Command3->isEnabled());

        w->txtPause->setText("0.1");
        w->txtPause_LostFocus();
        QCOMPARE(w->txtPause->text(), QString("00.3"));

        // Pickers open on the box's text, or a default, and hand back their choice.
        w->txtHouse->clear();
        w->quickBox_DblClick(w->txtHouse);
        QVERIFY(!w->cbHouse->isHidden());
        QCOMPARE(w->cbHouse->currentText(), QString("A"));
        w->cbHouse->setCurrentIndex(5);
        w->picker_LostFocus(w->cbHouse);
        QVERIFY(w->cbHouse->isHidden());
        QCOMPARE(w->txtHouse->text(), QString("F"));
        w->txtUnit->setText("P");
        w->quickBox_DblClick(w->txtAction);
        QCOMPARE(w->cbAction->currentText(), QString("ON"));
        w->cbAction->setCurrentText("DIM");
        w->picker_LostFocus(w->cbAction);
        QCOMPARE(w->txtAction->text(), QString("DIM"));
        QCOMPARE(w->txtUnit->text(), QString("PRE")); // corrected on the way through
    }

    void enterWritesTheGrid()
    {
        // Add To End on the cleared grid fills row 1.
        fill("A", "p", "d", "5");
        w->Command3_Click();
        QCOMPARE(w->rows().size(), 1);
        QCOMPARE(cell(1, ColHouse), QString("A"));
        QCOMPARE(cell(1, ColUnit), QString("PRE"));
        QCOMPARE(cell(1, ColAction), QString("DIM"));
        QCOMPARE(cell(1, ColPause), QString("0005"));
        QCOMPARE(cell(1, ColRunning), QString("5"));
        QVERIFY(w->MacroChanged);

        fill("B", "3", "ON", "2");
        w->Command3_Click();
        fill("C", "4", "OFF", "1.5");
        w->Command3_Click();
        QCOMPARE(w->rows().size(), 3);
        QCOMPARE(cell(3, ColRunning), QString("8.5"));
        QCOMPARE(w->Grid1->item(2, ColRunning)->text(), QString("8.5"));

        // Add As Row Num at row 3: the new line is row 3, the old one row 4.
        w->setCurrentRow(3);
        w->Option1[1]->setChecked(true);
        w->Option1_Click(1);
        QCOMPARE(w->Grid1->currentColumn(), int(ColRowNum));
        QCOMPARE(w->txtItemNum->text(), QString("3"));
        fill("D", "5", "ON", "0001");
        w->Command3_Click();
        QCOMPARE(cell(3, ColHouse), QString("D"));
        QCOMPARE(cell(4, ColHouse), QString("C"));
        QCOMPARE(cell(4, ColRowNum), QString("4"));

        // Replace the selected row.
        w->Option1[0]->setChecked(true);
        w->setCurrentRow(1);
        fill("E", "6", "OFF", "0002");
        w->Command3_Click();
        QCOMPARE(cell(1, ColHouse), QString("E"));
        QCOMPARE(w->rows().size(), 4);

        // An empty box: a message and no change.
        w->txtPause->clear();
        w->Command3_Click();
        QCOMPARE(dialogs.infos.last(),
                 QString("All edit boxes must be filled in before a command is entered"));
        // A box emptied by its correction is not written either.
        fill("F", "ALL", "ON", "0002");
        w->Command3_Click();
        QCOMPARE(dialogs.infos.size(), 2);
        QCOMPARE(cell(1, ColHouse), QString("E"));

        // "Enter" ends macro recording.
        w->chkCroRecord->setChecked(true);
        fill("F", "7", "ON", "0002");
        w->Command3_Click();
        QVERIFY(!w->chkCroRecord->isChecked());
    }

    void paletteAndCellEvents()
    {
        load(Line(on, "0030") + Line(off, "0030") + Line(off, "0005"));
        QVERIFY(!w->MacroChanged);
        // A letter goes into the house column only.
        w->Grid1->setCurrentCell(1, ColHouse);
        w->Label12_MouseDown(3);
        QCOMPARE(cell(2, ColHouse), QString("D"));
        QVERIFY(w->MacroChanged);
        w->Label12_MouseDown(39); // "ON" does not fit the house column
        QCOMPARE(cell(2, ColHouse), QString("D"));
        w->Grid1->setCurrentCell(1, ColUnit);
        w->Label12_MouseDown(33);
        QCOMPARE(cell(2, ColUnit), QString("ALL"));
        w->Grid1->setCurrentCell(1, ColAction);
        w->Label12_MouseDown(36);
        QCOMPARE(cell(2, ColAction), QString("ALN"));
        QCOMPARE(w->Grid1->currentColumn(), int(ColAction));

        // A click shows the running pause as a duration and the row number.
        w->Grid1->setCurrentCell(2, ColHouse);
        w->Grid1_Click();
        QCOMPARE(w->txtIPause->text(), QString("1m 05.0s"));
        QCOMPARE(w->txtItemNum->text(), QString("3"));
        // A double click on the row number copies the row into the boxes.
        w->Grid1_DblClick(1, ColRowNum);
        QCOMPARE(w->txtHouse->text(), QString("A"));
        QCOMPARE(w->txtUnit->text(), QString("1"));
        QCOMPARE(w->txtAction->text(), QString("ON"));
        QCOMPARE(w->txtPause->text(), QString("0030"));
        QVERIFY(w->Command3->isEnabled());
        w->Grid1_DblClick(2, ColAction);
        QCOMPARE(w->txtAction->text(), QString("ALN"));

        // A pause cell reading "error" opens the pause editor empty.
        w->cmdCheckGrid_Click();
        w->Grid1_DblClick(1, ColPause);
        QCOMPARE(w->chPause->text(), QString("0030"));
        w->chPause_LostFocus();
        load(Line(on, "0000"));
        w->cmdCheckGrid_Click();
        QCOMPARE(cell(1, ColPause), QString("error"));
        w->Grid1_DblClick(1, ColPause);
        QVERIFY(!w->chPause->isHidden());
        QCOMPARE(w->chPause->text(), QString());
        w->chPause->hide();
    }

    void droppedFilesAndFileNameLabel()
    {
        const QString upper = InProgramFolder("drop.CRO");
        const QString lower = InProgramFolder("drop.cro");
        QVERIFY(test::WriteBytes(upper, Line(on, "0001")));
        QVERIFY(test::WriteBytes(lower, Line(on, "0001") + Line(off, "0002")));
        w->Grid1_OLEDragDrop({upper});
        QCOMPARE(w->txtFileName->text(), QString());
        QCOMPARE(w->Label3->text(), QString());
        w->Grid1_OLEDragDrop({lower, upper});
        QCOMPARE(w->txtFileName->text(), lower);
        QCOMPARE(CroFileName, lower);
        QCOMPARE(w->rows().size(), 2);
        QCOMPARE(w->Label3->text(), QString("Open file:"));
    }

    void lidSlidesOpenAndShut()
    {
        QCOMPARE(w->lidHeight(), 985);
        QVERIFY(w->lblCloseLid->isHidden());
        const qint64 before = clock.now;
        w->lblLid_Click();
        QVERIFY(w->lidHeight() < 20);
        QVERIFY(w->FrameLid->isHidden());
        QVERIFY(!w->lblCloseLid->isHidden());
        // 39 steps, each with a 1 ms sleep on the (fake) clock.
        QCOMPARE((clock.now - before) / 1'000'000, qint64(39));
        w->mnuCloseLid_Click();
        QCOMPARE(w->lidHeight(), 985);
        QVERIFY(!w->FrameLid->isHidden());
        QVERIFY(w->lblCloseLid->isHidden());
    }

    void tabsMenusAndFolder()
    {
        // Page states of the pop-up menu.
        w->sTab->setCurrentIndex(1);
        w->sTab_MouseUp();
        w->tmrManage_Timer();
        QVERIFY(!w->pop1->isEnabled());
        w->sTab->setCurrentIndex(2);
        w->sTab_MouseUp();
        w->tmrManage_Timer();
        QVERIFY(w->pop1->isEnabled());
        QVERIFY(!w->mnuPrintConts->isEnabled());
        QVERIFY(!w->mnuOpen->isEnabled());
        QVERIFY(!w->mnuOpenLid->isEnabled());
        QVERIFY(!w->mnuCloseLid->isEnabled());
        QVERIFY(w->mnuPreview->isEnabled());
        w->sTab->setCurrentIndex(0);
        w->sTab_MouseUp();
        w->tmrManage_Timer();
        QVERIFY(w->mnuPrintConts->isEnabled());
        QVERIFY(w->mnuOpen->isEnabled());
        QCOMPARE(w->palette().color(QPalette::Window), QColor(0xE0, 0xE0, 0xE0));

        // The folder label: black on the program folder, where a double
        // click does nothing; red elsewhere, where it brings the list back.
        w->tmrManage_Timer();
        QCOMPARE(w->lblPath->text(), ProgramFolder());
        QVERIFY(w->lblPath->styleSheet().contains("#000000"));
        w->lblPath_DblClick();
        QCOMPARE(MacroFolder, ProgramFolder());
        const QString other = ProgramFolder() + "/elsewhere";
        QVERIFY(test::WriteBytes(other + "/x.cro", Line(on, "0001")));
        dialogs.openAnswer = other + "/x.cro";
        w->mnuOpen_Click();
        QCOMPARE(MacroFolder, other);
        QCOMPARE(w->lblPath->text(), other);
        QCOMPARE(w->File1->count(), 1);
        w->tmrManage_Timer();
        QVERIFY(w->lblPath->styleSheet().contains("#ff0000"));
        QCOMPARE(w->lblPath->toolTip(),
                 QString(" Double click to set active folder back to program folder "));
        w->lblPath_DblClick();
        QCOMPARE(MacroFolder, ProgramFolder());
        QCOMPARE(w->lblPath->text(), ProgramFolder());

        // A tab press points the list back at the macro folder.
        MacroFolder = other;
        w->sTab_MouseDown(Qt::LeftButton);
        QCOMPARE(w->lblPath->text(), other);
        QCOMPARE(w->File1->count(), 1);
        MacroFolder = ProgramFolder();

        // Group delay: 20 shows 2 and is stored on close.
        w->HScroll2->setValue(20);
        QCOMPARE(w->Label17->text(), QString("2"));
        QCOMPARE(w->GroupDelay, 2.0);
        w->cmdClose_Click();
        QCOMPARE(GetSet("Database16", "GrDelay"), QString("20"));
    }
};

QELT_TEST_MAIN(McrSetupQuickEditTest)
#include "tst_frmMcrSetupQuickEdit.moc"
