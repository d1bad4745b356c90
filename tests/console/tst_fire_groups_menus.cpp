#include "console/frmFire.h"

#include "console/frmDelay.h"
#include "console/frmFavs.h"
#include "core/Dialogs.h"
#include "core/Shortcuts.h"
#include "core/Tray.h"
#include "logic/DataFile.h"
#include "logic/Globals.h"
#include "logic/GroupFile.h"
#include "logic/ProgramFolder.h"
#include "logic/SerialLink.h"
#include "logic/Settings.h"
#include "logic/Transmitter.h"
#include "tests/console/ConsoleTestSupport.h"
#include "tests/support/Bounds.h"
#include "tests/support/DropFiles.h"
#include "tests/support/FakeWaitClock.h"
#include "tests/support/FileBytes.h"
#include "tests/support/SaveFaults.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TestEnv.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace qelt;
using test::ReadBytes;
using test::WriteBytes;

namespace {

const QString kA1On = QStringLiteral("0110000000000000");
const QString kA1Off = QStringLiteral("0110000000100000");
const QString kB2On = QStringLiteral("1110000000010000");
const QString kB2Off = QStringLiteral("1110000000110000");

QString Frame(const QString &code)
{
    return "1101010110101010" + code + "10101101";
}

} // namespace

class FireGroupsMenusTest : public QObject, private test::ConsoleOnFakeLink {
    Q_OBJECT

private:
private slots:
    void initTestCase()
    {
        startConsole();
        SaveSet("Database16", "GrDelay", "0");
        QVERIFY(SaveGroupFile(ExePath, 0, "Hall", {kA1On}));
        QVERIFY(SaveGroupFile(ExePath, 1, "Porch", {kB2On, kA1On}));
    }
    void init()
    {
        link.clear();
        dialogs.messages.clear();
        dialogs.answers.clear();
        AbortSend = false;
    }

    void strtGroupRunsOnlyTheEightGroups()
    {
        test::FakeWaitClock clock;
        QVERIFY(fire->strtGroup(1, "ON"));
        QCOMPARE(link.decodedBits(), Frame(kB2On) + Frame(kA1On));
        QCOMPARE(fire->cmdGrpOnTag[1], QString());
        link.clear();
        QVERIFY(fire->strtGroup(1, "OFF"));
        QCOMPARE(link.decodedBits(), Frame(kB2Off) + Frame(kA1Off));
        link.clear();
        QVERIFY(!fire->strtGroup(8, "ON"));
        QVERIFY(!fire->strtGroup(-1, "OFF"));
        QVERIFY(!fire->strtGroup(0, "DIM"));
        QVERIFY(link.changes.isEmpty());
        QVERIFY(!fire->tmrFlash->isActive());
        QCOMPARE(fire->imgLightPicture(), 1);
        QCOMPARE(fire->tmrFlashTag, QString());
    }

    void panicRunsItsGroupAndSwitchesItOffAfterTheDelay()
    {
        test::FakeWaitClock clock;
        fire->txtGroupNum.setText("1");
        fire->txtPanicMin.setText("1");
        fire->txtPanicSec.setText("30");
        fire->cmdPanic_Click();
        QCOMPARE(link.decodedBits(), Frame(kA1On) + Frame(kA1Off));
        QVERIFY(clock.elapsedSeconds() >= 90.0);

        link.clear();
        fire->txtPanicMin.setText("0");
        fire->txtPanicSec.setText("0");
        fire->cmdPanic_Click();
        QCOMPARE(link.decodedBits(), Frame(kA1On));

        // Not set up: a message, nothing sent. A number outside 1 to 8: nothing.
        link.clear();
        fire->txtGroupNum.setText("");
        fire->cmdPanic_Click();
        QCOMPARE(dialogs.messages,
                 QStringList{"This button must be setup first, click OK to continue."});
        fire->txtGroupNum.setText("9");
        fire->cmdPanic_Click();
        QVERIFY(link.changes.isEmpty());

        // The menu item runs it once through tmrPanic.
        fire->txtGroupNum.setText("1");
        fire->mnuPanicRun->trigger();
        QVERIFY(fire->tmrPanic->isActive());
        fire->tmrPanic_Timer();
        QVERIFY(!fire->tmrPanic->isActive());
        QCOMPARE(link.decodedBits(), Frame(kA1On));
    }

    void delayedGroupUsesTheDialog_data()
    {
        QTest::addColumn<QString>("seconds");
        QTest::addColumn<QString>("bits");
        QTest::newRow("2 s") << "2" << Frame(kA1On) + Frame(kA1Off);
        QTest::newRow("0 s") << "0" << QString();
        QTest::newRow("cancelled") << "cancel" << QString();
    }
    void delayedGroupUsesTheDialog()
    {
        QFETCH(QString, seconds);
        QFETCH(QString, bits);
        test::FakeWaitClock clock;
        QTimer::singleShot(0, [seconds] {
            frmDelay &d = DelayDialog();
            if (seconds == "cancel") {
                d.cmdCancel->click();
                return;
            }
            d.txtMin->clear();
            d.txtSec->setText(seconds);
            d.cmdContinue->click();
        });
        fire->Command2_Click(0);
        QCOMPARE(link.decodedBits(), bits);
    }

    void panicButtonLooks()
    {
        fire->txtPanicNm.setText("Help&Me");
        QCOMPARE(fire->cmdPanic->text(), QString("Help&Me"));
        QCOMPARE(fire->mnuPanicRun->text(), QString("Help&Me (Run)"));
        fire->txtPanicBcolor.setText("6");
        QVERIFY(fire->cmdPanic->styleSheet().contains("255, 128, 128"));
        fire->txtPanicBcolor.setText("x");
        QVERIFY(fire->cmdPanic->styleSheet().contains("224, 224, 224"));
    }

    void groupPanelAndDelayButtons()
    {
        fire->ckbGroups->setChecked(true);
        QCOMPARE(fire->width(), 6400 / 15);
        QCOMPARE(GetRec(273), QString("1"));
        QVERIFY(fire->Label12->isHidden());
        fire->ckbGroups->setChecked(false);
        QCOMPARE(fire->width(), 4300 / 15);
        QCOMPARE(GetRec(273), QString("0"));
        QVERIFY(!fire->Label12->isHidden());

        fire->txtGrpDelayB.setText("1");
        QVERIFY(!fire->Command2[3]->isHidden());
        fire->txtGrpDelayB.setText("7");
        QVERIFY(!fire->Command2[3]->isHidden());
        fire->mnuGrpDelayB->setChecked(true);
        fire->mnuGrpDelayB_Click();
        QVERIFY(fire->mnuGrpDelayB->isChecked());
        QVERIFY(fire->Command2[3]->isHidden());
        QCOMPARE(fire->txtGrpDelayB.text(), QString("0"));
    }

    void optionItemsAndTheirSettings()
    {
        fire->chbPanicOn.setText("1");
        fire->mnuShowPanic->setChecked(true);
        fire->mnuShowPanic->trigger();
        QCOMPARE(fire->chbPanicOn.text(), QString("0"));
        QVERIFY(!fire->mnuShowPanic->isChecked());
        QVERIFY(fire->cmdPanic->isHidden());
        QVERIFY(!fire->mnuPanicRun->isVisible());
        fire->mnuShowPanic->trigger();
        QCOMPARE(fire->chbPanicOn.text(), QString("1"));
        QVERIFY(!fire->cmdPanic->isHidden());

        fire->chkTips.setText("1");
        fire->mnuTips->trigger();
        QCOMPARE(fire->chkTips.text(), QString("0"));
        QVERIFY(!fire->mnuTips->isChecked());
        QVERIFY(!fire->toolTipsOn());
        fire->mnuTips->trigger();
        QCOMPARE(fire->chkTips.text(), QString("1"));
        QVERIFY(fire->mnuTips->isChecked());

        fire->txtMinimizeSave.setText("00");
        fire->mnuMinToTray->setChecked(false);
        fire->mnuMinToTray->trigger();
        QVERIFY(fire->mnuMinToTray->isChecked());
        QCOMPARE(GetSet("Settings", "MinToTray"), QString("1"));
        QCOMPARE(fire->txtMinimizeSave.text(), QString("01"));
        fire->mnuMinOnStart->setChecked(false);
        fire->mnuMinOnStart->trigger();
        QCOMPARE(fire->txtMinimizeSave.text(), QString("11"));
        QCOMPARE(GetSet("Settings", "MinOnStart", "unset"), QString("unset"));
        fire->mnuMinToTray->trigger();
        QCOMPARE(GetSet("Settings", "MinToTray"), QString("0"));
        QCOMPARE(fire->txtMinimizeSave.text(), QString("10"));

        const struct {
            const char *before;
            const char *after;
        } quick[] = {{"7", "6"}, {"8", "6"}, {"", "6"}, {"0", "6"}, {"3", "3"}, {"6", "6"}};
        for (const auto &q : quick) {
            fire->txtGroupNum.setText(q.before);
            fire->mnuPanic_Click();
            QCOMPARE(fire->txtGroupNum.text(), QString(q.after));
        }

        fire->Check1->setChecked(true);
        QCOMPARE(fire->Text2.text(), QString("1"));
        QCOMPARE(StatusTip, QString(" (Timers ON)  "));
        fire->Check1->setChecked(false);
        QCOMPARE(fire->Text2.text(), QString("0"));
        QCOMPARE(StatusTip, QString(" (Timers OFF)  "));
        fire->setTimersSwitchTag("\r\n   Favorites View");
        QCOMPARE(fire->TrayTipText(), fire->windowTitle() + " (Timers OFF)  \r\n   Favorites View");
        fire->setTimersSwitchTag(QString());
    }

    void windowModes()
    {
        fire->show();
        QVERIFY(QTest::qWaitForWindowExposed(fire, test::kFirstWindowMs));
        fire->mnuMinToTray->setChecked(false);
        MinOnStart = false;
        fire->lblMin_MouseDown(Qt::RightButton);
        QVERIFY(MinOnStart);
        fire->TrayMouse(513); // left press on the tray icon
        QVERIFY(!MinOnStart);
        QVERIFY(fire->isVisible());

        fire->showNormal();
        fire->lblMin_Click();
        QVERIFY(!MinOnStart);
        fire->showNormal();
        fire->show();

        fire->lblShowFavs_Click();
        QVERIFY(FavsView);
        QVERIFY(!MainView);
        QVERIFY(!fire->isVisible());
        QVERIFY(FavsWindow().isLoaded());
        QVERIFY(!fire->mnuFavs->isEnabled());
        fire->mnuRegular_Click();
        QVERIFY(!FavsView);
        QVERIFY(MainView);
        QVERIFY(!FavsWindow().isLoaded());
        QVERIFY(fire->isVisible());
        QVERIFY(fire->mnuFavs->isEnabled());
        QVERIFY(!fire->mnuRegular->isEnabled());

        // "Main Window" in the favourites window puts the menu back the same way.
        fire->lblShowFavs_Click();
        FavsWindow().lblStandardView_Click();
        QVERIFY(!FavsView);
        QVERIFY(MainView);
        QVERIFY(!FavsWindow().isLoaded());
        QVERIFY(fire->isVisible());
        QVERIFY(fire->mnuFavs->isEnabled());
        QVERIFY(!fire->mnuRegular->isEnabled());

        fire->DropOnWindow("/nowhere/lights.cro");
        QCOMPARE(fire->pendingMacros(), QStringList{"/nowhere/lights.cro"});
        fire->tmrAcro->stop();

        fire->tmrStartUp->start();
        fire->tmrStartUp_Timer();
        QVERIFY(!fire->tmrStartUp->isActive());
        QVERIFY(fire->mnuMinOnStart->isChecked());
        // Without a tray the window waits minimised on the task bar instead.
        if (TrayAvailable())
            QVERIFY(!fire->isVisible());
        else
            QVERIFY(fire->isVisible() && fire->isMinimized());
        fire->TrayMouse(513);
        QVERIFY(fire->isVisible());
        QVERIFY(!fire->isMinimized());
    }

    void hiddenStartupItemsTouchNoShortcut()
    {
        const QString link = StartupLinkPath();
        QVERIFY(QDir().mkpath(QFileInfo(link).path()));
        QVERIFY(WriteBytes(link, "[Desktop Entry]\n"));
        fire->mnuRemoveStartup->trigger();
        fire->mnuStartup->trigger();
        QVERIFY(QFile::exists(link));
        QVERIFY(!fire->mnuStartup->isVisible());
        QVERIFY(!fire->mnuRemoveStartup->isVisible());
    }

    void languageSwitch()
    {
        const QString ini = InProgramFolder("language.ini");
        const QByteArray english = "[Labels & Captions]\r\nEnglish=English\r\n";
        const QByteArray german = "[Labels & Captions]\r\nEnglish=Englisch\r\n";
        QVERIFY(WriteBytes(ini, english));
        QVERIFY(WriteBytes(InProgramFolder("English.lan"), english));
        QVERIFY(WriteBytes(InProgramFolder("Deutsch.lan"), german));
        fire->mnuLanTag = "English";
        fire->mnuLanguage[0]->setData("English.lan");
        QAction *de = fire->mnuLan->addAction("Deutsch");
        de->setData("Deutsch.lan");
        de->setCheckable(true);
        fire->mnuLanguage.append(de);
        const int deIndex = int(fire->mnuLanguage.size()) - 1;

        // The language already in force: no copy, no question.
        QVERIFY(!fire->mnuLanguage_Click(0));
        QVERIFY(dialogs.messages.isEmpty());

        // Another language, restart declined.
        dialogs.answers = {2};
        QVERIFY(!fire->mnuLanguage_Click(deIndex));
        QCOMPARE(ReadBytes(ini), german);
        QCOMPARE(GetSet("Settings", "Language"), QString("Deutsch"));
        QCOMPARE(dialogs.messages.size(), 1);
        QVERIFY(de->isChecked());
        QVERIFY(!fire->mnuLanguage[0]->isChecked());
        QVERIFY(fire->Tag.isEmpty());

        // English can be chosen again although its caption is translated.
        fire->mnuLanguage[0]->setText("Englisch");
        QVERIFY(!fire->mnuLanguage_Click(0));
        QCOMPARE(ReadBytes(ini), english);
        QCOMPARE(GetSet("Settings", "Language"), QString("English"));

        // A copy that fails stores nothing and asks for no restart: the old
        // language stays in force and ticked, and the user is told.
        for (const auto kind : {SaveFault::DiskFull, SaveFault::Flush, SaveFault::Rename}) {
            test::ScopedSaveFault fault(kind, "language.ini", 10);
            dialogs.messages.clear();
            dialogs.infos.clear();
            fire->mnuLanguage[deIndex]->trigger();
            QCOMPARE(fault.hits(), 1);
            QCOMPARE(ReadBytes(ini), english);
            QCOMPARE(GetSet("Settings", "Language"), QString("English"));
            QCOMPARE(fire->mnuLanTag, QString("English"));
            QVERIFY(!de->isChecked());
            QVERIFY(fire->mnuLanguage[0]->isChecked());
            QCOMPARE(dialogs.messages.size(), 1);
            QCOMPARE(dialogs.infos.size(), 1);
            QVERIFY(dialogs.infos[0].contains("could not be changed"));
            QVERIFY(fire->Tag.isEmpty());
        }
        dialogs.messages.clear();

        // A language file that is missing leaves language.ini as it was.
        QFile::remove(InProgramFolder("Deutsch.lan"));
        QVERIFY(!fire->mnuLanguage_Click(deIndex));
        QCOMPARE(ReadBytes(ini), english);
        QCOMPARE(GetSet("Settings", "Language"), QString("Deutsch"));
        QVERIFY(WriteBytes(InProgramFolder("Deutsch.lan"), german));
        // Nor does one that is no file.
        QVERIFY(QDir().mkpath(InProgramFolder("Broken.lan")));
        QAction *broken = fire->mnuLan->addAction("Broken");
        broken->setData("Broken.lan");
        fire->mnuLanguage.append(broken);
        QVERIFY(!fire->mnuLanguage_Click(int(fire->mnuLanguage.size()) - 1));
        QCOMPARE(ReadBytes(ini), english);

        // Restart while a timer runs, answered Cancel: nothing closes, the
        // tag stays for a later exit.
        fire->setTimerIndicator(true);
        dialogs.answers = {1, 3};
        dialogs.messages.clear();
        QVERIFY(!fire->mnuLanguage_Click(0));
        QCOMPARE(dialogs.messages.size(), 2);
        QCOMPARE(fire->Tag, QString("restart"));
        QVERIFY(!fire->isUnloaded());

        // Answered Yes to waiting: the program closes once the timer is done,
        // and asks the updater to start it again.
        test::FakeWaitClock clock;
        clock.onProcessEvents = [&] {
            if (clock.elapsedSeconds() > 2.0)
                fire->setTimerIndicator(false);
        };
        dialogs.answers = {1, 1};
        QVERIFY(fire->mnuLanguage_Click(deIndex));
        QVERIFY(clock.elapsedSeconds() > 2.0);
        QVERIFY(fire->isUnloaded());
        QCOMPARE(GetSet("Database16", "ReStart"), QString("restart"));
        QCOMPARE(ReadBytes(ini), german);
    }

    // A file dragged onto the console is answered as a copy, whatever the
    // dragging program proposes: its name goes to the command box, and the
    // file stays with the program it came from.
    void droppedFileIsTakenAsACopy_data() { test::AddDragRows(); }
    void droppedFileIsTakenAsACopy()
    {
        QFETCH(bool, taken);
        const QString notes = InProgramFolder("notes.txt");
        QVERIFY(WriteBytes(notes, "x"));
        fire->txtCommand().setText(QString());
        test::DragFilesOfRow(fire, {notes});
        QCOMPARE(fire->txtCommand().text(), taken ? notes : QString());
        fire->txtCommand().setText(QString());
    }

    void cleanupTestCase()
    {
        SetMainWindow(nullptr);
        SetDialogProvider(nullptr);
        AbortSend = false;
    }
};

QELT_TEST_MAIN(FireGroupsMenusTest)
#include "tst_fire_groups_menus.moc"
