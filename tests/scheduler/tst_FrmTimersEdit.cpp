#include "tests/scheduler/TimersTestSupport.h"
#include "tests/support/Bounds.h"
#include "tests/support/DropFiles.h"
#include "tests/support/FakeMainWindow.h"
#include "tests/support/FakeWaitClock.h"
#include "tests/support/FixedPatterns.h"
#include "tests/support/SaveFaults.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TestEnv.h"

#include "core/Dialogs.h"
#include "core/services/ConsoleServices.h"
#include "core/services/PrefsServices.h"
#include "logic/DayRule.h"
#include "logic/Globals.h"
#include "logic/ProgramFolder.h"
#include "logic/SchedulerClock.h"
#include "logic/SerialLink.h"
#include "logic/Settings.h"
#include "logic/Transmitter.h"
#include "logic/X10Codes.h"
#include "logic/clsSunrise.h"
#include "scheduler/FrmTimers.h"
#include "scheduler/frmTimerStatus.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace qelt;

namespace {

class FakePrefs : public PrefsService {
public:
    void showPage(int page) override { pages << page; }
    bool isLoaded() const override { return false; }
    void unload() override {}
    QList<int> pages;
};

const QString kOnB1 = "0111000000000000";

} // namespace

class FrmTimersEditTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        test::StartTimersTests(&m_wall, &m_dialogs);
        SetPrefs(&m_prefs);
        m_wait.pumpRealEvents = false;
    }
    void cleanupTestCase()
    {
        SetPrefs(nullptr);
        SetDialogProvider(nullptr);
        SetWallClock(nullptr);
    }
    void init()
    {
        m_path = InProgramFolder("tmrdat.zyv");
        QFile::remove(m_path);
        m_dialogs.infos.clear();
        m_dialogs.titledInfos.clear();
        m_dialogs.asked.clear();
        m_dialogs.calls.clear();
        m_dialogs.answers.clear();
        m_prefs.pages.clear();
        for (const char *k : {"CityLatitude", "CityLongitude", "CityZone", "RunDef"})
            DeleteSet("Settings", k);
        TmrChanged = false;
    }

    void sunRowsResolveToTodaysSunTimesWithTheirOffsets()
    {
        SaveSet("Settings", "CityLatitude", "40.7");
        SaveSet("Settings", "CityLongitude", "74.0");
        SaveSet("Settings", "CityZone", "5");
        SaveSet("Settings", "DaySavings", "False");
        test::writeQuotedLines(m_path, {"a.cro*SR+30*Everyday", "b.cro*SS-75*Everyday",
                                        "c.cro*SR*Everyday", "d.cro*7:05:00*Everyday",
                                        "*SR+30*" + NotSetText(), "e.cro*SRxx*Everyday"});
        frmTimerStatus log;
        FrmTimers w(&log);
        w.timerFilePath = m_path;
        w.ensureLoaded();

        clsSunrise sun;
        sun.setLatitude(40.7);
        sun.setLongitude(74.0);
        sun.setTimeZone(5);
        sun.setDateDay(m_wall.at);
        sun.CalculateSun();
        const QTime rise = sun.Sunrise().time(), set = sun.Sunset().time();
        auto at = [](const QTime &t, int minutes) {
            return ClockText(QTime(t.hour(), t.minute(), t.second()).addSecs(minutes * 60));
        };
        w.tmrSunSet_Timer();
        const QStringList times = w.lstTime();
        QCOMPARE(times[0], at(rise, 30));
        QCOMPARE(times[1], at(set, -75));
        QCOMPARE(times[2], at(rise, 0));
        QCOMPARE(times[3], QString("7:05:00"));
        QCOMPARE(times[4], at(rise, 0));     // no action: no offset
        QCOMPARE(times[5], QString("SRxx")); // never equals a clock text
        QCOMPARE(w.lblSR->text(), "Sunrise " + at(rise, 0));
        QCOMPARE(w.lblSS->text(), "Sunset " + at(set, 0));
        QCOMPARE(w.SunriseText,
                 QTime(rise.hour(), rise.minute(), rise.second()).toString("HH:mm:ss"));

        // An edit resolves at once; the row turns light yellow.
        w.Text2[3]->setText("SS+0");
        QCOMPARE(w.lstTime()[3], at(set, 0));
        QCOMPARE(w.Text2[3]->palette().color(QPalette::Base), QColor(0xFF, 0xFF, 0xC0));

        // Without a zone the labels are cleared, but the rows still fall
        // due, at the sun times of the computer's own standard zone.
        DeleteSet("Settings", "CityZone");
        w.tmrSunSet_Timer();
        QCOMPARE(w.lblSR->text(), QString());
        QCOMPARE(w.lblSS->text(), QString());
        clsSunrise local;
        local.setLatitude(40.7);
        local.setLongitude(74.0);
        local.setTimeZone(ComputerZoneHoursWest(m_wall.at));
        local.setDateDay(m_wall.at);
        local.CalculateSun();
        QCOMPARE(w.lstTime()[0], at(local.Sunrise().time(), 30));
        QCOMPARE(w.lstTime()[3], at(local.Sunset().time(), 0));

        // Without a place they cannot; the log says so once per row.
        log.setLogText(QString());
        DeleteSet("Settings", "CityLatitude");
        w.tmrSunSet_Timer();
        w.tmrSunSet_Timer();
        QCOMPARE(w.lstTime()[0], QString("SR+30"));
        const QString missing =
            "You must setup your location before using sunrise and sunset timers";
        QCOMPARE(log.logText().count(missing), 5); // every sun row with an action
        QVERIFY(log.logText().contains("Timer 1: " + missing));
        SaveSet("Settings", "CityLatitude", "40.7");

        // A sun row falls due at its resolved time.
        SaveSet("Settings", "CityZone", "5");
        w.tmrSunSet_Timer();
        QCOMPARE(w.lstTime()[0], at(rise, 30));
        TmrChanged = false;
        w.unload();
    }

    // The settings file is shared with the updater: a location another
    // program writes into it is followed on the next tick too.
    void sunTimesFollowALocationWrittenByAnotherProgram()
    {
        SaveSet("Settings", "CityLatitude", "40.7");
        SaveSet("Settings", "CityLongitude", "74.0");
        SaveSet("Settings", "CityZone", "5");
        test::writeQuotedLines(m_path, {"a.cro*SR*Everyday"});
        frmTimerStatus log;
        FrmTimers w(&log);
        w.timerFilePath = m_path;
        w.ensureLoaded();
        auto rise = [this](double latitude) {
            clsSunrise sun;
            sun.setLatitude(latitude);
            sun.setLongitude(74.0);
            sun.setTimeZone(5);
            sun.setDateDay(m_wall.at);
            sun.CalculateSun();
            const QTime t = sun.Sunrise().time();
            return ClockText(QTime(t.hour(), t.minute(), t.second()));
        };
        w.tmrSunSet_Timer();
        QCOMPARE(w.lstTime()[0], rise(40.7));

        const QByteArray ini = "[Settings]\nCityLatitude=51.5\nCityLongitude=74.0\nCityZone=5\n"
                               "DaySavings=False\n";
        QCOMPARE(QProcess::execute("/bin/sh", {"-c", "printf '%s' \"$1\" > \"$2\"", "sh",
                                               QString::fromLatin1(ini), SettingsFilePath()}),
                 0);
        w.tmrSunSet_Timer();
        QCOMPARE(w.lstTime()[0], rise(51.5));
        QCOMPARE(w.lblSR->text(), "Sunrise " + rise(51.5));

        // Half a year on, the same place has other sun times.
        const QDateTime was = m_wall.at;
        const QString winter = rise(51.5);
        m_wall.at = was.addMonths(6);
        w.tmrSunSet_Timer();
        QVERIFY(rise(51.5) != winter);
        QCOMPARE(w.lstTime()[0], rise(51.5));
        m_wall.at = was;
        TmrChanged = false;
        w.unload();
    }

    void typingStartTimesAndTheLocationCheck()
    {
        frmTimerStatus log;
        FrmTimers w(&log);
        w.timerFilePath = m_path;
        w.ensureLoaded();
        QVERIFY(w.Text2[0]->isReadOnly()); // "Allow Manual" off
        QVERIFY(!w.Text2_KeyPress(0, u'7'));
        w.Text2_DblClick(0);
        QVERIFY(!w.Text2[0]->isReadOnly());

        // Lower-case letters become capitals; a second sign and a blank after S are refused.
        QTest::keyClicks(w.Text2[0], "sr+-30 x");
        QCOMPARE(w.Text2[0]->text(), QString("SR+30"));
        QCOMPARE(m_dialogs.infos.size(), 1); // no location: the user is told, once
        QVERIFY(m_dialogs.titledInfos.last().startsWith("Setup Location | You must setup"));
        QVERIFY(!m_prefs.pages.isEmpty());
        QCOMPARE(m_prefs.pages.last(), 2);
        QVERIFY(TmrChanged);

        // Plain times need no location.
        m_dialogs.infos.clear();
        w.Check4->setChecked(true);
        QVERIFY(!w.Text2[1]->isReadOnly() && !w.txtLoop->isReadOnly());
        QTest::keyClicks(w.Text2[1], "7:05:00 pm");
        QCOMPARE(w.Text2[1]->text(), QString("7:05:00 PM"));
        QVERIFY(m_dialogs.infos.isEmpty());
        QTest::keyClicks(w.LpStartTm, "8:00x:00 ");
        QCOMPARE(w.LpStartTm->text(), QString("8:00:00 "));
        QTest::mouseDClick(w.LpEndTm, Qt::LeftButton);
        QCOMPARE(w.LpEndTm->text(), w.Label2->text());
        w.Check4->setChecked(false);
        QVERIFY(w.Text1[2]->isReadOnly() && w.LpEndTm->isReadOnly());

        // "*" never stays in an action.
        w.Text1[2]->setText("a*b.cro");
        QCOMPARE(w.Text1[2]->text(), QString("ab.cro"));
        QVERIFY(m_dialogs.infos.contains("* is not allowed"));
        TmrChanged = false;
        w.unload();
    }

    void rowButtonsMailboxAndDayRules()
    {
        test::FakeMainWindow main;
        main.house = "B";
        main.tips = true;
        SetMainWindow(&main);
        test::writeQuotedLines(InProgramFolder("m1.cro"), {kOnB1 + "0001"});
        frmTimerStatus log;
        FrmTimers w(&log);
        w.timerFilePath = m_path;
        w.ensureLoaded();
        w.cmdRefresh_Click();
        const auto m1 = w.File1->findItems("m1.cro", Qt::MatchExactly);
        QCOMPARE(m1.size(), 1);
        w.File1->setCurrentItem(m1[0]);

        // "run Never" is the default rule a filled row gets.
        w.mnuRun[6]->trigger();
        QCOMPARE(GetSet("Settings", "RunDef"), QString("6"));
        QVERIFY(w.mnuRun[6]->isChecked() && !w.mnuRun[0]->isChecked());
        w.Command2_Click(0);
        QCOMPARE(w.Text1[0]->text(), QString("m1.cro"));
        QCOMPARE(w.Text2[0]->text(), w.Label2->text());
        QCOMPARE(w.lblActiveDays[0]->text(), QString("Never"));
        QCOMPARE(w.lstMacro()[0], InProgramFolder("m1.cro"));
        QCOMPARE(w.table().row(0).dayRule, QString("Never"));

        // Day list: a complete row opens it on its rule; Enter takes the choice.
        w.show();
        w.lblActiveDays_MouseDown(0, Qt::LeftButton);
        QVERIFY(w.Combo1->isVisible());
        QCOMPARE(w.Combo1->currentItem()->text(), QString("Never"));
        w.Combo1->setCurrentRow(1);
        QTest::keyClick(w.Combo1, Qt::Key_Return);
        QVERIFY(!w.Combo1->isVisible());
        QCOMPARE(w.lblActiveDays[0]->text(), QString("Weekdays"));
        QCOMPARE(w.table().row(0).dayRule, QString("Weekdays"));
        // Incomplete rows: the third click explains.
        for (int k = 0; k < 3; ++k)
            w.lblActiveDays_MouseDown(1, Qt::LeftButton);
        QVERIFY(!w.Combo1->isVisible());
        QCOMPARE(m_dialogs.infos.count("Macro and Time must be set to activate!"), 1);
        // Emptying the time makes the rule "not set" again.
        w.Text2[0]->setText(QString());
        QCOMPARE(w.lblActiveDays[0]->text(), NotSetText());

        // The console's right click, then a double click on a row.
        w.check4Text().setText("B ALL ALF");
        w.Text1_DblClick(2);
        QCOMPARE(w.Text1[2]->text(), QString("B ALL ALF"));
        QCOMPARE(w.check4Text().text(), QString());
        w.check4Text().setText("B 3 On");
        main.house = "C";
        w.Text1_DblClick(3);
        QCOMPARE(w.Text1[3]->text(), QString());
        w.check4Text().setText("Group 2 ON");
        w.Text1_DblClick(3);
        QCOMPARE(w.Text1[3]->text(), QString("Group 2 ON"));
        QCOMPARE(w.lstMacro()[3], InProgramFolder("Group 2 ON"));

        // Row tool tips name the row; long actions show their path.
        QEvent enter(QEvent::Enter);
        QApplication::sendEvent(w.cmdT[2], &enter);
        QCOMPARE(w.cmdT[2]->toolTip(),
                 QString(" Update the Time only for Timer 3 (leaves the macro as-is) "));
        w.Text1[4]->setText("a-rather-long-macro-name.cro");
        QApplication::sendEvent(w.Text1[4], &enter);
        QCOMPARE(w.Text1[4]->toolTip(),
                 " " + InProgramFolder("a-rather-long-macro-name.cro") + " ");
        QApplication::sendEvent(w.lblActiveDays[2], &enter);
        QVERIFY(w.lblActiveDays[2]->toolTip().contains("(set for: not set) "));

        // "T" copies only the time; "C" clears with confirmation.
        w.cmdT_Click(3);
        QCOMPARE(w.Text2[3]->text(), w.Label2->text());
        while (w.rowCount() < 7)
            w.cmdCreateTimer_Click();
        w.Text1[6]->setText("x.cro");
        m_dialogs.answers = {2};
        w.Command4_Click(6);
        QCOMPARE(w.Text1[6]->text(), QString("x.cro"));
        QCOMPARE(m_dialogs.calls.last(),
                 QString("questions Clear Timer? Are you sure you want to clear Timer # 7. 2"));
        m_dialogs.answers = {1};
        w.Command4_Click(6);
        QCOMPARE(w.Text1[6]->text(), QString());
        QCOMPARE(w.lblActiveDays[6]->text(), NotSetText());

        TmrChanged = false;
        w.unload();
        SetMainWindow(nullptr);
    }

    void droppedFiles()
    {
        const QString outside = test::TestEnv::ScratchPath("drop");
        QDir().mkpath(outside);
        QDir().mkpath(InProgramFolder("sub"));
        test::writeQuotedLines(outside + "/one.cro", {kOnB1 + "0001"});
        test::writeQuotedLines(InProgramFolder("two.cro"), {kOnB1 + "0002"});
        test::writeQuotedLines(outside + "/three.CRO", {kOnB1 + "0003"});
        test::writeQuotedLines(outside + "/notes.txt", {"x"});
        frmTimerStatus log;
        FrmTimers w(&log);
        w.timerFilePath = m_path;
        w.ensureLoaded();
        QVERIFY(
            test::DropFiles(w.File1->viewport(), {outside + "/one.cro", InProgramFolder("two.cro"),
                                                  outside + "/three.CRO", outside + "/notes.txt"}));
        QVERIFY(QFile::exists(InProgramFolder("one.cro")));
        QVERIFY(QFile::exists(InProgramFolder("three.CRO"))); // after one already there
        QVERIFY(!QFile::exists(InProgramFolder("notes.txt")));
        QVERIFY(!w.File1->findItems("one.cro", Qt::MatchExactly).isEmpty());

        // A copy that fails is reported; the other files are still copied.
        test::writeQuotedLines(outside + "/four.cro", {kOnB1 + "0004"});
        test::writeQuotedLines(outside + "/five.cro", {kOnB1 + "0005"});
        m_dialogs.infos.clear();
        {
            test::ScopedSaveFault fault(SaveFault::DiskFull, "four.cro", 5);
            QVERIFY(test::DropFiles(w.File1->viewport(),
                                    {outside + "/four.cro", outside + "/five.cro"}));
        }
        QVERIFY(!QFile::exists(InProgramFolder("four.cro")));
        QVERIFY(QFile::exists(InProgramFolder("five.cro")));
        QCOMPARE(m_dialogs.infos.size(), 1);
        QVERIFY(m_dialogs.infos[0].startsWith("These files could not be copied:"));
        QVERIFY(m_dialogs.infos[0].contains("four.cro"));

        w.Text1_OLEDragDrop(0, {InProgramFolder("sub/deep.cro")});
        QCOMPARE(w.Text1[0]->text(), QString("sub/deep.cro"));
        QCOMPARE(w.lstMacro()[0], InProgramFolder("sub/deep.cro"));
        w.Text1_OLEDragDrop(1, {"/usr/bin/env"});
        QCOMPARE(w.Text1[1]->text(), QString("/usr/bin/env"));

        w.txtLoop_OLEDragDrop({outside + "/one.cro"}); // not in the program folder
        QCOMPARE(w.txtLoop->text(), QString());
        w.txtLoop_OLEDragDrop({InProgramFolder("two.cro")});
        QCOMPARE(w.txtLoop->text(), QString("two.cro"));
        QCOMPARE(w.lblMacroLoop->text(), InProgramFolder("two.cro"));
        QDir(outside).removeRecursively();
        TmrChanged = false;
        w.unload();
    }

    // Files dragged onto an action box, the loop box and the file list are
    // answered as a copy, whatever the dragging program proposes: the boxes
    // take the name, the list copies the macro, and the file stays where
    // it was.
    void dropsAreTakenAsACopy_data() { test::AddDragRows(); }
    void dropsAreTakenAsACopy()
    {
        QFETCH(bool, taken);
        const QString outside = test::TestEnv::ScratchPath("drag");
        QDir().mkpath(outside);
        test::writeQuotedLines(outside + "/six.cro", {kOnB1 + "0006"});
        test::writeQuotedLines(InProgramFolder("seven.cro"), {kOnB1 + "0007"});
        frmTimerStatus log;
        FrmTimers w(&log);
        w.timerFilePath = m_path;
        w.ensureLoaded();
        const QString action = w.Text1[0]->text();
        const QString loop = w.txtLoop->text();
        test::DragFilesOfRow(w.Text1[0], {InProgramFolder("seven.cro")});
        QCOMPARE(w.Text1[0]->text(), taken ? QString("seven.cro") : action);
        test::DragFilesOfRow(w.txtLoop, {InProgramFolder("seven.cro")});
        QCOMPARE(w.txtLoop->text(), taken ? QString("seven.cro") : loop);
        test::DragFilesOfRow(w.File1->viewport(), {outside + "/six.cro"});
        QCOMPARE(QFile::exists(InProgramFolder("six.cro")), taken);
        QVERIFY(QFile::exists(outside + "/six.cro"));
        QFile::remove(InProgramFolder("six.cro"));
        QFile::remove(InProgramFolder("seven.cro"));
        QDir(outside).removeRecursively();
        TmrChanged = false;
        w.unload();
    }

    void optionsMenuAndMasterSwitch()
    {
        test::FakeMainWindow main;
        main.house = "B";
        main.tips = true;
        SetMainWindow(&main);
        frmTimerStatus log;
        FrmTimers w(&log);
        w.timerFilePath = m_path;
        w.ensureLoaded();
        w.mnuAllowNewTimers->trigger(); // unmarked: both row buttons go
        QCOMPARE(GetSet("Settings", "NewTimers"), QString("False"));
        QVERIFY(w.cmdCreateTimer->isHidden() && w.cmdKillTimer->isHidden());
        w.mnuAllowNewTimers->trigger();
        QCOMPARE(GetSet("Settings", "NewTimers"), QString("True"));
        QVERIFY(!w.cmdCreateTimer->isHidden() && !w.cmdKillTimer->isHidden());
        const bool editable = !w.Text1[0]->isReadOnly();
        w.mnuAllowManual->trigger();
        QCOMPARE(GetSet("Settings", "ManualTimers"),
                 QString(w.mnuAllowManual->isChecked() ? "True" : "False"));
        QCOMPARE(!w.Text1[0]->isReadOnly(), editable); // only at the next load
        for (QAction *a : {w.mnuClearTimer, w.mnuDeleteTimer, w.mnuSaveQuit})
            a->trigger();
        QCOMPARE(GetSet("Settings", "cClearTimers"), QString("False"));
        QCOMPARE(GetSet("Settings", "cDeleteTimers"), QString("False"));
        QCOMPARE(GetSet("Settings", "cSaveQuit"), QString("False"));

        // The master switch logs unless the console's marker is set.
        log.setLogText(QString());
        w.Check2->setChecked(true);
        QVERIFY(log.logText().contains("Master Timer Enabled"));
        QVERIFY(w.windowTitle().endsWith("-- Timers are Enabled!"));
        main.setTimersSwitchTag("Favs");
        log.setLogText(QString());
        w.Check2->setChecked(false);
        QCOMPARE(log.logText(), QString());
        QVERIFY(w.windowTitle().endsWith("-- Timers are Disabled!"));
        // A switch from elsewhere brings the open window forward.
        QWidget other;
        other.show();
        w.show();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other, test::kFirstWindowMs));
        w.Check2->setChecked(true);
        QVERIFY(QTest::qWaitForWindowActive(&w, test::kFirstWindowMs));
        w.hide();
        w.Check2->setChecked(false);

        // Loop window switch and the window's label buttons.
        w.Check5->setChecked(true);
        QVERIFY(w.LpStartTm->isEnabled() && w.Label7[1]->isEnabled());
        QVERIFY(!w.LoopWindowOff);
        w.Check5->setChecked(false);
        QVERIFY(!w.LpEndTm->isEnabled() && w.LoopWindowOff);
        w.show();
        QTest::mouseClick(w.lblExit, Qt::LeftButton);
        QVERIFY(w.isHidden());
        QVERIFY(w.isLoaded()); // the scheduler keeps running

        // Apply saves and switches itself off.
        w.Text1[0]->setText("a.cro");
        w.cmdApply->setEnabled(true);
        w.cmdApply_Click();
        QVERIFY(!TmrChanged);
        QVERIFY(!w.cmdApply->isEnabled());
        QVERIFY(QFile::exists(m_path));
        w.cmdInfo_Click();
        QVERIFY(m_dialogs.titledInfos.last().startsWith("Windows Version |         "));
        for (QAction *a : {w.mnuClearTimer, w.mnuDeleteTimer, w.mnuSaveQuit, w.mnuAllowManual})
            a->trigger();
        w.unload();
        SetMainWindow(nullptr);
    }

    void loopTimerQueuesItsLinesWithinItsWindow()
    {
        test::writeQuotedLines(InProgramFolder("loop.cro"), {kOnB1 + "0002", kOnB1 + "0005"});
        frmTimerStatus log;
        FrmTimers w(&log);
        w.timerFilePath = m_path;
        w.ensureLoaded();
        // Refused without a macro or a rule; nothing stored.
        SaveSet("Macro", "LoopR", "7");
        w.chkEnableLoop->setChecked(true);
        QVERIFY(!w.chkEnableLoop->isChecked());
        QCOMPARE(GetSet("Macro", "LoopR"), QString("7"));

        w.txtLoop->setText("loop.cro");
        w.lblLoopDays->setText("Everyday");
        w.chkEnableLoop->setChecked(true);
        QVERIFY(w.chkEnableLoop->isChecked());
        QVERIFY(w.Tmr7->isActive());
        QCOMPARE(GetSet("Macro", "LoopR"), QString("1"));
        QCOMPARE(w.lstLoop().size(), 2);

        w.Check1->setChecked(true); // hold the send queue to see what the loop queues
        w.Tmr7_Timer();
        QCOMPARE(w.engine().queue.entries(), QStringList{RfFrame(kOnB1)});
        QCOMPARE(w.Tmr7->interval(), 2000);
        QCOMPARE(log.loopStatusText(), QString("Loop Timer : (loop.cro)\r\n     Running ... "));
        QCOMPARE(log.loopStatusColor(), QColor(0, 0xFF, 0xFF));

        // The window closes mid-pass: the pass ends, the next does not start.
        w.Check5->setChecked(true);
        w.LpStartTm->setText("8:00:00");
        w.LpEndTm->setText("17:00:00");
        w.Timer1_Timer(); // 7:04:58
        QCOMPARE(w.Text4, QString("False"));
        w.Tmr7_Timer();
        QCOMPARE(w.engine().queue.entries().size(), 2);
        QCOMPARE(w.Tmr7->interval(), 5000);
        w.Tmr7_Timer();
        QCOMPARE(w.engine().queue.entries().size(), 2);
        QCOMPARE(
            log.loopStatusText(),
            QString("Loop Timer : (loop.cro)\r\n     Set for 8:00:00 to 17:00:00. Not Running"));
        m_wall.at.setTime(QTime(9, 30, 0)); // later than 17:00:00 only as text
        w.Timer1_Timer();
        QCOMPARE(w.Text4, QString("True"));
        w.Tmr7_Timer();
        QCOMPARE(w.engine().queue.entries().size(), 3);
        m_wall.at.setTime(QTime(7, 4, 58));

        // The console's player pauses it; a missing macro switches it off.
        w.chkEnableLoop->setChecked(false);
        QVERIFY(!w.Tmr7->isActive());
        QVERIFY(w.lstLoop().isEmpty());
        QCOMPARE(GetSet("Macro", "LoopR"), QString("0"));
        QCOMPARE(log.loopStatusColor(), QColor(0xFF, 0xFF, 0));
        QFile::remove(InProgramFolder("loop.cro"));
        w.show();
        w.chkEnableLoop->setChecked(true);
        QVERIFY(!w.chkEnableLoop->isChecked());
        QVERIFY(
            m_dialogs.titledInfos.last().startsWith("Loop Cannot Start | The macro for the Loop"));

        // Clearing the loop asks first.
        m_dialogs.answers = {1};
        w.cmdClearLoop_Click();
        QCOMPARE(w.txtLoop->text(), QString());
        QCOMPARE(w.lblLoopDays->text(), NotSetText());
        QVERIFY(m_dialogs.asked.last().contains("clear the 'Loop' timer?"));
        w.engine().queue.clear();
        TmrChanged = false;
        w.unload();
    }

    void fileListPlaysAMacroAtOnce()
    {
        RecordingSerialLink link;
        link.setPortOpen(true);
        SetCommLink(&link);
        test::FakeMainWindow main;
        main.house = "B";
        main.tips = true;
        SetMainWindow(&main);
        test::writeQuotedLines(InProgramFolder("play.cro"), {kOnB1 + "0000", kOnB1 + "0001"});
        frmTimerStatus log;
        FrmTimers w(&log);
        w.timerFilePath = m_path;
        w.ensureLoaded();
        w.cmdRefresh_Click();
        const auto items = w.File1->findItems("play.cro", Qt::MatchExactly);
        QCOMPARE(items.size(), 1);
        w.File1->setCurrentItem(items[0]);
        log.setLogText(QString());
        const qint64 before = m_wait.nowNs();
        w.File1_DblClick();
        const QString frame = RfFrame(kOnB1);
        QCOMPARE(link.decodedBits(), QString(test::kLeadInBits) + frame + frame);
        QCOMPARE(main.returns, 1); // the closing pattern
        QCOMPARE(main.lamps, (QList<bool>{true, false, true, false, false}));
        // 0.05 s + frame + 0.05 s + max(pause - 0.12, 0.16) per line, plus the first 0.05 s.
        const double waited = m_wait.elapsedSeconds(before);
        QVERIFY2(waited > 0.05 + 2 * 0.1 + 0.16 + 0.88 - 0.001,
                 qPrintable(QString::number(waited)));
        QVERIFY(log.logText().contains(InProgramFolder("play.cro") + "\r\nManually started.\r\n"));
        QVERIFY(log.logText().endsWith("Completed.\r\n"));
        QCOMPARE(w.ManualMacroPath, InProgramFolder("play.cro"));

        // A pause that is not a number still sends its line and waits as
        // long as after the line before; the play goes on to its end.
        test::writeQuotedLines(InProgramFolder("odd.cro"),
                               {kOnB1 + "0003", kOnB1 + "ab.c", kOnB1 + "0000"});
        link.clear();
        const qint64 oddStart = m_wait.nowNs();
        w.PlayPath = InProgramFolder("odd.cro");
        w.CroSend();
        QCOMPARE(link.decodedBits(), QString(test::kLeadInBits) + frame + frame + frame);
        QCOMPARE(main.returns, 2);
        const double oddWait = m_wait.elapsedSeconds(oddStart);
        QVERIFY2(oddWait > 0.05 + 3 * 0.1 + 2.88 + 2.88 + 0.16 - 0.001 &&
                     oddWait < 0.05 + 3 * 0.1 + 2.88 + 2.88 + 0.16 + 0.5,
                 qPrintable(QString::number(oddWait)));

        // A name in capitals only gets the lead-in; a relative path is refused with a message.
        link.clear();
        w.PlayPath = InProgramFolder("PLAY.CRO");
        w.CroSend();
        QCOMPARE(link.decodedBits(), QString(test::kLeadInBits));
        link.clear();
        w.PlayPath = "play.cro";
        w.CroSend();
        QCOMPARE(link.decodedBits(), QString(test::kLeadInBits));
        QCOMPARE(m_dialogs.infos.last(), QString("Path not found!"));

        // A file gone from the list is logged, not played.
        link.clear();
        QFile::remove(InProgramFolder("play.cro"));
        w.File1_DblClick();
        QCOMPARE(link.decodedBits(), QString());
        QVERIFY(log.logText().endsWith("\r\nFILE NOT FOUND\r\n"));
        SetCommLink(nullptr);
        SetMainWindow(nullptr);
        w.unload();
    }

    // A start time typed with a leading zero in the hour, and one written so
    // into the timer file by hand, fall due at the clock's time; saving keeps
    // both texts as they were written.
    void leadingZeroHoursFallDue_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("inFile");
        QTest::addColumn<QTime>("clock");
        QTest::newRow("en_US") << QLocale(QLocale::English, QLocale::UnitedStates) << "07:47:23 pm"
                               << "07:47:23 PM" << QTime(19, 47, 23);
        QTest::newRow("en_GB") << QLocale(QLocale::English, QLocale::UnitedKingdom) << "07:47:23"
                               << "07:47:23" << QTime(7, 47, 23);
        QTest::newRow("de_DE") << QLocale(QLocale::German, QLocale::Germany) << "07:47:23"
                               << "07:47:23" << QTime(7, 47, 23);
        QTest::newRow("de_DE midnight") << QLocale(QLocale::German, QLocale::Germany) << "00:00:09"
                                        << "00:00:09" << QTime(0, 0, 9);
    }
    void leadingZeroHoursFallDue()
    {
        QFETCH(QLocale, locale);
        QFETCH(QString, typed);
        QFETCH(QString, inFile);
        QFETCH(QTime, clock);
        QLocale::setDefault(locale);
        const QString lines =
            "\"A 1 On**" + NotSetText() + "\"\r\n\"A 2 On*" + inFile + "*Everyday\"\r\n";
        {
            QFile f(m_path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write((lines + QString("\"**" + NotSetText() + "\"\r\n").repeated(4)).toLatin1());
        }
        SaveSet("Settings", "ManualTimers", "True");
        RecordingSerialLink link;
        SetCommLink(&link);
        frmTimerStatus log;
        FrmTimers w(&log);
        w.timerFilePath = m_path;
        w.ensureLoaded();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w, test::kFirstWindowMs));
        QTest::mouseClick(w.Check4, Qt::LeftButton); // "Allow Manual"
        QTest::mouseDClick(w.Text2[0], Qt::LeftButton);
        QTest::keyClicks(w.Text2[0], typed);
        w.cmdSetFocus->setFocus(); // leaving the box stores the text
        w.setDayCaption(0, "Everyday");
        w.tmrSunSet_Timer();
        w.setCheck2(true);
        log.setLogText(QString());
        m_wall.at = QDateTime(QDate(2026, 12, 8), clock.addSecs(-1));
        w.Timer1_Timer();
        w.Timer2_Timer();
        m_wall.at = QDateTime(QDate(2026, 12, 8), clock);
        w.Timer1_Timer();
        w.Timer2_Timer();
        m_wait.advanceMs(2000);
        w.Timer2_Timer();
        QLocale::setDefault(QLocale::system());
        QVERIFY2(log.logText().contains("Timer 1:"),
                 qPrintable(w.Text2[0]->text() + " / " + w.Label3->text()));
        QVERIFY2(log.logText().contains("Timer 2:"),
                 qPrintable(w.Text2[1]->text() + " / " + w.Label3->text()));
        w.setCheck2(false);
        SetCommLink(nullptr);

        QTest::mouseClick(w.Command3, Qt::LeftButton); // OK saves
        QFile f(m_path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QVERIFY(f.readAll().startsWith(
            ("\"A 1 On*" + inFile + "*Everyday\"\r\n\"A 2 On*" + inFile + "*Everyday\"\r\n")
                .toLatin1()));
        TmrChanged = false;
        w.unload();
        DeleteSet("Settings", "ManualTimers");
    }

private:
    test::SettableWallClock m_wall;
    test::FakeWaitClock m_wait;
    test::ScriptedDialogs m_dialogs;
    FakePrefs m_prefs;
    QString m_path;
};

QELT_TEST_MAIN(FrmTimersEditTest)
#include "tst_FrmTimersEdit.moc"
