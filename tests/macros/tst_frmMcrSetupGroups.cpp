#include "macros/frmMcrSetup.h"

#include "logic/ErrorLog.h"
#include "logic/Globals.h"
#include "logic/GroupFile.h"
#include "logic/MacroPlayer.h"
#include "logic/ProgramFolder.h"
#include "logic/SerialLink.h"
#include "logic/Settings.h"
#include "logic/Transmitter.h"
#include "logic/X10Codes.h"
#include "macros/InstallMacroWindows.h"
#include "tests/support/FakeMainWindow.h"
#include "tests/support/FakeWaitClock.h"
#include "tests/support/FileBytes.h"
#include "tests/support/FixedPatterns.h"
#include "tests/support/SaveFaults.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TestEnv.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

using namespace qelt;

namespace {

// The console as the group editor sees it: its eight group labels, and the
// two mailboxes that pass every sent command (lblGrp) and every ON command
// (lblGrpSave) on to the editor.
class GroupMain : public test::FakeMainWindow {
public:
    GroupMain()
    {
        lblGrp().setHandler([](const QString &text) {
            if (MacroEditorService *editor = MacroEditor())
                editor->lblCroSave().setText(text);
        });
        lblGrpSave().setHandler([](const QString &text) {
            if (MacroEditorService *editor = MacroEditor())
                editor->lblGrpSave().setText(text);
        });
    }
    QString groupLabel(int n) const override { return labels.value(n); }
    void setGroupLabel(int n, const QString &label) override { labels[n] = label; }
    void setLamp(bool lit) override { lamp << lit; }
    void setRecordingFlash(bool on) override { flash << on; }
    void frmReturn() override { SendClosingPattern(); }
    // An ON button: the frame unless NoSend, then the code into both mailboxes.
    void pressOn(const QString &code)
    {
        if (!NoSend)
            SendCode(code, QStringLiteral("test"), QStringLiteral("test"));
        lblGrp().setText(QStringLiteral("0"));
        lblGrp().setText(code);
        lblGrpSave().setText(code);
    }
    QStringList labels = QStringList(8);
    QList<bool> lamp;
    QList<bool> flash;
};

QByteArray Quoted(const QString &text)
{
    return "\"" + text.toLatin1() + "\"\r\n";
}

} // namespace

class McrSetupGroupsTest : public QObject {
    Q_OBJECT

private:
    test::InstalledDialogs dialogs;
    test::FakeWaitClock clock;
    RecordingSerialLink link;
    GroupMain main;
    frmMcrSetup *w = nullptr;
    QString a1, c12, b5;

    void select(int n)
    {
        w->cbGroup->setCurrentIndex(n);
        w->cbGroup_Click();
    }
    QStringList recorded() const
    {
        QStringList items;
        for (int i = 0; i < w->lstGrRecorded->count(); ++i)
            items << w->lstGrRecorded->item(i)->text();
        return items;
    }

private slots:
    void initTestCase()
    {
        SetMainWindow(&main);
        SetCommLink(&link);
        InstallMacroWindows();
        ExePath = ProgramFolder();
        a1 = CmdToCode("A", "1", "ON");
        c12 = CmdToCode("C", "12", "ON");
        b5 = CmdToCode("B", "5", "ON");
        main.labels[0] = "Hall";
        main.labels[2] = "Porch";
        w = McrSetupWindow();
    }

    void init()
    {
        if (!w->loaded())
            w->Form_Load();
        w->chkRec->setChecked(false);
        w->chkCroRecord->setChecked(false);
        w->lstGrRecorded->clear();
        w->lstGrp1->clear();
        w->txtGrName->clear();
        dialogs.answers.clear();
        dialogs.answer = 2;
        dialogs.asked.clear();
        dialogs.infos.clear();
        dialogs.calls.clear();
        dialogs.inputAnswer.clear();
        dialogs.inputOk = false;
        link.clear();
        NoSend = false;
        DeleteSet("Settings", "SendOnRecord");
        for (int n = 0; n < kGroupCount; ++n)
            QFile::remove(GroupFilePath(ExePath, n));
    }

    void selectorShowsLabelsAndSavedContents()
    {
        w->unload();
        w->Form_Load();
        QCOMPARE(w->cbGroup->count(), 8);
        QCOMPARE(w->cbGroup->itemText(0), QString("Group 1 (Hall)"));
        QCOMPARE(w->cbGroup->itemText(7), QString("Group 8 ()"));
        QCOMPARE(w->cbGroup->currentIndex(), 0);

        // A saved group: the console's label wins over the file's header.
        QVERIFY(test::WriteBytes(GroupFilePath(ExePath, 2),
                                 Quoted("Group 3, Old porch") + Quoted(a1) + Quoted(c12)));
        select(2);
        QCOMPARE(w->GroupIndex, 2);
        QCOMPARE(w->txtGrName->text(), QString("Porch"));
        QCOMPARE(w->txtGrpContents->toPlainText(), QString("A1, C12"));
        QCOMPARE(w->lstGrFix->count(), 3);
        QCOMPARE(w->lbl3->text(), QString("Items currently saved in Group 3 "));
        // Without a console label the header gives it.
        main.labels[2].clear();
        select(2);
        QCOMPARE(w->txtGrName->text(), QString("Old porch"));
        QCOMPARE(w->cbGroup->itemText(2), QString("Group 3 ()"));
        main.labels[2] = "Porch";

        // No file: empty contents, the console's label.
        select(0);
        QCOMPARE(w->txtGrName->text(), QString("Hall"));
        QCOMPARE(w->txtGrpContents->toPlainText(), QString());
        QCOMPARE(w->lstGrFix->count(), 0);

        // The console opens the page on a group.
        w->showPage(1, 2);
        QCOMPARE(w->GroupIndex, 2);
        QCOMPARE(w->sTab->currentIndex(), 1);
        w->hide();
    }

    void recordAndSaveAGroup()
    {
        SaveSet("Settings", "SendOnRecord", "0");
        select(1);
        main.lblGrpSave().setText(a1); // left over from before recording
        w->chkRec->setChecked(true);
        QVERIFY(MacroEditor()->groupRecording());
        QVERIFY(NoSend);
        QCOMPARE(w->chkRec->text(), QString("Cancel Rec"));
        QVERIFY(!w->chkCroRecord->isEnabled());
        QVERIFY(w->cmdSaveGr->isEnabled());
        QCOMPARE(main.lblGrpSave().text(), QString());

        main.pressOn(a1);
        w->lblGrpSave().setText("0"); // not a command
        w->lblGrpSave().setText("");
        main.pressOn(c12);
        main.lblGrpSave().setText("0");
        main.pressOn(c12); // the same code again is recorded again
        QCOMPARE(recorded(), (QStringList{"A1", "C12", "C12"}));
        QCOMPARE(w->lstGrp1->count(), 3);
        QCOMPARE(w->lblGrpCounter->text(), QString("3"));
        QCOMPARE(link.decodedBits(), QString()); // nothing went on air
        // The macro recorder got nothing while it was off.
        QCOMPARE(w->rows().size(), 1);

        // Save without a label asks for one; the file holds header and codes.
        dialogs.inputOk = true;
        dialogs.inputAnswer = "Kitchen";
        w->cmdSaveGr_Click();
        QCOMPARE(test::ReadBytes(GroupFilePath(ExePath, 1)),
                 Quoted("Group 2, Kitchen") + Quoted(a1) + Quoted(c12) + Quoted(c12));
        QCOMPARE(main.labels[1], QString("Kitchen"));
        QCOMPARE(w->cbGroup->itemText(1), QString("Group 2 (Kitchen)"));
        QVERIFY(!w->chkRec->isChecked());
        QVERIFY(!NoSend);
        QVERIFY(w->chkCroRecord->isEnabled());
        QCOMPARE(w->txtGrpContents->toPlainText(), QString("A1, C12, C12"));
        QCOMPARE(w->lstGrRecorded->count(), 0);
        QCOMPARE(w->lblGrpCounter->text(), QString("0"));
        QVERIFY(!w->cmdSaveGr->isEnabled());
        QCOMPARE(main.lamp.last(), false);
        QCOMPARE(main.flash.last(), false);

        // Sending works again once recording is over.
        main.pressOn(b5);
        QCOMPARE(link.decodedBits(), RfFrame(b5));
        QCOMPARE(w->lstGrRecorded->count(), 0);

        // Nothing recorded: Save does nothing.
        w->cmdSaveGr_Click();
        QCOMPARE(test::ReadBytes(GroupFilePath(ExePath, 1)),
                 Quoted("Group 2, Kitchen") + Quoted(a1) + Quoted(c12) + Quoted(c12));
    }

    void overwriteAsksAndFailureKeepsTheRecording()
    {
        const QByteArray old = Quoted("Group 1, Hall") + Quoted(b5);
        QVERIFY(test::WriteBytes(GroupFilePath(ExePath, 0), old));
        select(0);
        w->chkRec->setChecked(true);
        main.pressOn(a1);
        dialogs.answers = {2};
        w->cmdSaveGr_Click();
        QCOMPARE(dialogs.calls.last(),
                 QString("questions Group 1 Already Exists! OK to overwrite existing group? 4"));
        QCOMPARE(test::ReadBytes(GroupFilePath(ExePath, 0)), old);
        QVERIFY(w->chkRec->isChecked());
        QCOMPARE(recorded(), QStringList{"A1"});

        dialogs.answers = {1};
        w->cmdSaveGr_Click();
        QCOMPARE(test::ReadBytes(GroupFilePath(ExePath, 0)), Quoted("Group 1, Hall") + Quoted(a1));

        // A group file that cannot be written: said so, and nothing is lost.
        QDir().mkpath(GroupFilePath(ExePath, 3));
        select(3);
        w->txtGrName->setText("Cellar");
        w->chkRec->setChecked(true);
        main.pressOn(c12);
        w->cmdSaveGr_Click();
        QDir().rmdir(GroupFilePath(ExePath, 3));
        QCOMPARE(dialogs.infos.size(), 1);
        QVERIFY(dialogs.infos.last().startsWith("The group could not be saved:"));
        QCOMPARE(recorded(), QStringList{"C12"});
        QCOMPARE(main.labels[3], QString());
        QVERIFY(w->cmdSaveGr->isEnabled());
    }

    void removeStartOverAndCancel()
    {
        w->chkRec->setChecked(true);
        for (const QString &code : {a1, c12, b5}) {
            w->lblGrpSave().setText("0");
            w->lblGrpSave().setText(code);
        }
        QVERIFY(!w->cmdDelGrCmd->isEnabled());
        w->lstGrRecorded->setCurrentRow(1);
        w->lstGrRecorded_Click();
        QVERIFY(w->cmdDelGrCmd->isEnabled());
        w->cmdDelGrCmd_Click();
        QCOMPARE(recorded(), (QStringList{"A1", "B5"}));
        QCOMPARE(w->lstGrp1->item(1)->text(), b5);
        QCOMPARE(w->lblGrpCounter->text(), QString("2"));
        QCOMPARE(w->lstGrRecorded->currentRow(), 0);

        // Cancelling keeps a recording, which can still be saved.
        w->chkRec->setChecked(false);
        QVERIFY(w->cmdSaveGr->isEnabled());
        QCOMPARE(recorded(), (QStringList{"A1", "B5"}));
        QCOMPARE(w->chkRec->text(), QString("&Rec"));

        // Start over clears it and records again.
        main.lblGrp().setText(a1);
        w->cmdStartOver_Click();
        QVERIFY(w->chkRec->isChecked());
        QCOMPARE(w->lstGrRecorded->count(), 0);
        QCOMPARE(w->lstGrp1->count(), 0);
        QCOMPARE(main.lblGrp().text(), QString());
        QCOMPARE(w->lblGrpCounter->text(), QString("0"));

        // Removing the last entry disables Remove and shows "0".
        main.pressOn(a1);
        w->lstGrRecorded->setCurrentRow(0);
        w->cmdDelGrCmd_Click();
        QCOMPARE(w->lblGrpCounter->text(), QString("0"));
        QVERIFY(!w->cmdDelGrCmd->isEnabled());
        w->chkRec->setChecked(false);
        QVERIFY(!w->cmdSaveGr->isEnabled());
        QVERIFY(!w->cmdStartOver->isEnabled());
    }

    void macroAndGroupRecordingExcludeEachOther()
    {
        SaveSet("Settings", "SendOnRecord", "0");
        w->chkCroRecord->setChecked(true);
        QVERIFY(!w->chkRec->isEnabled());
        QVERIFY(!w->cmdStartOver->isEnabled());
        w->chkCroRecord->setChecked(false);
        QVERIFY(w->chkRec->isEnabled());

        w->chkRec->setChecked(true);
        QVERIFY(NoSend);
        // Closing the window ends group recording, so the console sends again.
        w->unload();
        QVERIFY(!w->chkRec->isChecked());
        QVERIFY(!NoSend);
        w->Form_Load();
    }

    void labelOnlyAndDelete()
    {
        QVERIFY(test::WriteBytes(GroupFilePath(ExePath, 4), Quoted(a1) + Quoted(c12)));
        select(4);
        w->txtGrName->setText("Garden & shed");
        w->cmdLabelOnly_Click();
        // A file without a header gains one and keeps its codes.
        QCOMPARE(test::ReadBytes(GroupFilePath(ExePath, 4)),
                 Quoted("Group 5, Garden & shed") + Quoted(a1) + Quoted(c12));
        QCOMPARE(main.labels[4], QString("Garden & shed"));
        QCOMPARE(w->cbGroup->itemText(4), QString("Group 5 (Garden & shed)"));
        QCOMPARE(dialogs.titledInfos.last(),
                 QString("Group 5 | Group 5'slabel has been changed\r\n to:   \"Garden & shed\""));

        // The label goes into the file the console reads its labels from.
        ExePath = ProgramFolder() + "/data";
        QVERIFY(test::WriteBytes(GroupFilePath(ExePath, 5), Quoted("Group 6, Old") + Quoted(b5)));
        select(5);
        w->txtGrName->setText("New");
        w->cmdLabelOnly_Click();
        QCOMPARE(test::ReadBytes(GroupFilePath(ExePath, 5)), Quoted("Group 6, New") + Quoted(b5));
        QVERIFY(!QFile::exists(ProgramFolder() + "/file5.grp"));
        QFile::remove(GroupFilePath(ExePath, 5));
        ExePath = ProgramFolder();

        // No file and no label: the console label is cleared, nothing written.
        select(6);
        w->txtGrName->clear();
        w->cmdLabelOnly_Click();
        QVERIFY(!QFile::exists(GroupFilePath(ExePath, 6)));
        QVERIFY(dialogs.infos.last().endsWith("\"NOTHING!\""));

        // Delete asks; No keeps the file, Yes removes it and clears the label.
        select(4);
        dialogs.answers = {2};
        w->cmdDeleteGroup_Click();
        QVERIFY(QFile::exists(GroupFilePath(ExePath, 4)));
        QCOMPARE(dialogs.calls.last(),
                 QString("questions Delete Group 5 This will delete all contents of group 5 4"));
        dialogs.answers = {1};
        w->cmdDeleteGroup_Click();
        QVERIFY(!QFile::exists(GroupFilePath(ExePath, 4)));
        QCOMPARE(main.labels[4], QString());
        QCOMPARE(w->txtGrName->text(), QString());
        QCOMPARE(w->txtGrpContents->toPlainText(), QString());
        // A group without a file: no question.
        const int asked = dialogs.asked.size();
        w->cmdDeleteGroup_Click();
        QCOMPARE(dialogs.asked.size(), asked);
    }

    // A label that cannot be written is not reported as changed: the file,
    // the console and the selector keep the old label, the box keeps the new.
    void labelOnlyOnAFailingDiskKeepsTheOldLabel()
    {
        const QByteArray old = Quoted("Group 2, Old") + Quoted(b5);
        QVERIFY(test::WriteBytes(GroupFilePath(ExePath, 1), old));
        main.labels[1] = "Old";
        w->showPage(1);
        select(1);
        w->txtGrName->clear();
        QTest::keyClicks(w->txtGrName, "New");
        for (const auto kind : {SaveFault::DiskFull, SaveFault::Flush, SaveFault::Rename}) {
            dialogs.titledInfos.clear();
            test::ScopedSaveFault fault(kind, "file1.grp", 10);
            QTest::mouseClick(w->cmdLabelOnly, Qt::LeftButton);
            QCOMPARE(fault.hits(), 1);
            QCOMPARE(test::ReadBytes(GroupFilePath(ExePath, 1)), old);
            QCOMPARE(main.labels[1], QString("Old"));
            QCOMPARE(w->cbGroup->itemText(1), QString("Group 2 (Old)"));
            QCOMPARE(w->txtGrName->text(), QString("New"));
            QCOMPARE(dialogs.titledInfos.size(), 1);
            QVERIFY(dialogs.titledInfos[0].contains("could not be saved"));
            QVERIFY(!dialogs.titledInfos[0].contains("has been changed"));
        }
        QTest::mouseClick(w->cmdLabelOnly, Qt::LeftButton);
        QCOMPARE(test::ReadBytes(GroupFilePath(ExePath, 1)), Quoted("Group 2, New") + Quoted(b5));
        QCOMPARE(main.labels[1], QString("New"));
    }

    // Labels keep every character: one-byte where Windows-1252 holds them.
    void labelsKeepEveryCharacter()
    {
        const QString latin = QString::fromUtf8("K\xC3\xBC"
                                                "che");
        const QString cyrillic = QString::fromUtf8("\xD0\x9A\xD1\x83\xD1\x85\xD0\xBD\xD1\x8F");
        QVERIFY(SaveGroupFile(ExePath, 2, latin, {a1}));
        QCOMPARE(test::ReadBytes(GroupFilePath(ExePath, 2)), QByteArray("\"Group 3, K\xFC"
                                                                        "che\"\r\n") +
                                                                 Quoted(a1));
        QCOMPARE(goGrLabel("g", GroupFilePath(ExePath, 2)), latin);
        QCOMPARE(goGrLabel("p", GroupFilePath(ExePath, 2), cyrillic), cyrillic);
        QCOMPARE(test::ReadBytes(GroupFilePath(ExePath, 2)),
                 "\"Group 3, " + cyrillic.toUtf8() + "\"\r\n" + Quoted(a1));
        QCOMPARE(goGrLabel("g", GroupFilePath(ExePath, 2)), cyrillic);
    }

    void holdListPlaysAndIsCleared()
    {
        w->lstGrphold->addItems({a1, c12});
        w->test();
        const QString close = QString::fromLatin1(test::kClosingBits);
        QCOMPARE(link.decodedBits(), close + RfFrame(a1) + RfFrame(c12) + close + close);
        MacroEditor()->clearGroupHold();
        QCOMPARE(w->lstGrphold->count(), 0);
    }
};

QELT_TEST_MAIN(McrSetupGroupsTest)
#include "tst_frmMcrSetupGroups.moc"
