#include "tests/scheduler/TimersTestSupport.h"
#include "tests/support/Bounds.h"
#include "tests/support/FakeWaitClock.h"
#include "tests/support/SaveFaults.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TestEnv.h"

#include "core/Dialogs.h"
#include "logic/DayRule.h"
#include "logic/Globals.h"
#include "logic/ProgramFolder.h"
#include "logic/SchedulerClock.h"
#include "logic/SerialLink.h"
#include "logic/Settings.h"
#include "logic/Transmitter.h"
#include "logic/X10Codes.h"
#include "scheduler/FrmTimers.h"
#include "scheduler/InstallScheduler.h"
#include "scheduler/frmTimerStatus.h"

#include <QCheckBox>
#include <QFile>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScopeGuard>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QTimeZone>
#include <QTimer>

#include <functional>

#include <time.h>

using namespace qelt;

namespace {

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class FrmTimersTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        test::StartTimersTests(&m_wall, &m_dialogs);
        m_wait.pumpRealEvents = false;
    }
    void cleanupTestCase()
    {
        SetDialogProvider(nullptr);
        SetWallClock(nullptr);
    }
    void init()
    {
        m_path = InProgramFolder("tmrdat.zyv");
        QFile::remove(m_path);
        DeleteSet("Settings", "TimerCount");
        m_dialogs.answers.clear();
        m_dialogs.asked.clear();
        m_dialogs.infos.clear();
        TmrChanged = false;
    }

    void loadMakesRowsForEveryLineAndLaysOutSix()
    {
        QStringList lines;
        for (int i = 0; i < 8; ++i)
            lines << "**" + NotSetText();
        lines[0] = "a.cro*7:05:00*Everyday";
        lines[1] = "b.cro*7:06:00*Never";
        lines[2] = "*7:07:00*Weekdays"; // no action: "not set"
        test::writeQuotedLines(m_path, lines);
        SaveSet("Settings", "TimerCount", "6"); // fewer than the file holds

        frmTimerStatus log;
        FrmTimers w(&log);
        w.timerFilePath = m_path;
        w.ensureLoaded();
        QVERIFY(TimerEditOpen);
        QCOMPARE(w.rowCount(), 8);
        QCOMPARE(log.statusRowCount(), 8);
        QCOMPARE(w.VScroll1->maximum(), 2);
        QCOMPARE(w.Text1[0]->text(), QString("a.cro"));
        QCOMPARE(w.lblActiveDays[1]->text(), QString("Never"));
        QCOMPARE(w.lblActiveDays[2]->text(), NotSetText());
        QCOMPARE(w.lstTime()[0], QString("7:05:00"));
        QCOMPARE(w.lstMacro()[0], InProgramFolder("a.cro"));
        QCOMPARE(w.Command2[7]->text(), QString("8-->"));
        QVERIFY(!TmrChanged);

        // Rows 0 to 5 at 1005 twips and 432 apart; the day label 60 twips lower.
        for (int i = 0; i < 8; ++i)
            QCOMPARE(w.rowShown(i), i < 6);
        for (int i = 0; i < 6; ++i) {
            QCOMPARE(w.Text1[i]->y(), (1005 + 432 * i + 7) / 15);
            QCOMPARE(w.lblActiveDays[i]->y(), (1065 + 432 * i + 7) / 15);
        }
        w.VScroll1->setValue(2);
        QCOMPARE(w.txtScroll.text(), QString("2"));
        for (int i = 0; i < 8; ++i)
            QCOMPARE(w.rowShown(i), i >= 2);
        w.txtScroll.setText("x"); // not a number: the page stays
        QVERIFY(w.rowShown(7));

        // Status rows: off rows in yellow, "Never" rows full in yellow, active rows green.
        QCOMPARE(log.statusText(2), QString("Timer 3, OFF \r\n"));
        QCOMPARE(log.statusColor(2), QColor(0xFF, 0xFF, 0));
        QCOMPARE(log.statusText(1), QString("Timer 2, Set For Never at 7:06:00\r\n\t(b.cro)\r\n"));
        QCOMPARE(log.statusColor(1), QColor(0xFF, 0xFF, 0));
        QCOMPARE(log.statusColor(0), QColor(0, 0xFF, 0));
        QCOMPARE(log.loopStatusText(), QString("Loop Timer -  Not Set!  "));
        QCOMPARE(log.loopStatusColor(), QColor(0xFF, 0xFF, 0));
        test::writeQuotedLines(InProgramFolder("loop.cro"), {"0110000000000000"
                                                             "0002"});
        w.txtLoop->setText("loop.cro");
        w.lblLoopDays->setText("Weekdays");
        w.chkEnableLoop->setChecked(true);
        w.ShowTimerStatus();
        QCOMPARE(log.loopStatusText(), QString("Loop Timer -  , Set For Weekdays \r\nloop.cro"));
        QCOMPARE(log.loopStatusColor(), QColor(0, 0xFF, 0));
        TmrChanged = false;
        QCOMPARE(FrmTimers::StatusRowText(4, "", "8:00:00", "Weekdays", false),
                 QString("Timer 4, Set For Weekdays at 8:00:00\r\n\t(Empty)\r\n"));
        QCOMPARE(FrmTimers::StatusRowText(4, "x", "8:00:00", "Never", true),
                 QString("Timer 4, OFF \r\n"));
        w.unload();
        QVERIFY(!TimerEditOpen);
    }

    // The window has no frame a window manager could move it by: a place
    // left by a larger screen brings all of it back on this one, "X"
    // included. A place never stored stores its default again, not the
    // pixel it came to (500 twips is 33.3 pixels, not 495 twips).
    void storedPlaceComesBackOnTheScreen()
    {
        const QRect screen(0, 0, 800, 800);
        QCOMPARE(QGuiApplication::primaryScreen()->availableGeometry(), screen);
        const struct {
            const char *left, *top; // stored before, nullptr for none
            QPoint place;
            const char *storedLeft, *storedTop;
        } cases[] = {
            // The window is 560 x 470 pixels.
            {"30000", "30000", {800 - 560, 800 - 470}, "3600", "4950"},
            {nullptr, nullptr, {33, 33}, "500", "500"},
        };
        frmTimerStatus log;
        for (const auto &c : cases) {
            for (const char *key : {"TimerMainLeft", "TimerMainTop"})
                DeleteSet("Settings", key);
            if (c.left) {
                SaveSet("Settings", "TimerMainLeft", c.left);
                SaveSet("Settings", "TimerMainTop", c.top);
            }
            FrmTimers w(&log);
            w.timerFilePath = m_path;
            w.ensureLoaded();
            w.show();
            QVERIFY(QTest::qWaitForWindowExposed(&w, test::kFirstWindowMs));
            QCOMPARE(w.frameGeometry().topLeft(), c.place);
            QVERIFY(screen.contains(w.frameGeometry()));
            QVERIFY(
                screen.contains(QRect(w.lblExit->mapToGlobal(QPoint(0, 0)), w.lblExit->size())));
            w.unload();
            QCOMPARE(GetSet("Settings", "TimerMainLeft"), QString(c.storedLeft));
            QCOMPARE(GetSet("Settings", "TimerMainTop"), QString(c.storedTop));
        }
    }

    void addAndRemoveRows()
    {
        frmTimerStatus log;
        FrmTimers w(&log);
        w.timerFilePath = m_path;
        w.ensureLoaded();
        QCOMPARE(w.rowCount(), 6);
        QVERIFY(w.cmdKillTimer->isHidden());

        w.cmdCreateTimer_Click(); // hidden window: not a change
        QCOMPARE(w.rowCount(), 7);
        QVERIFY(!TmrChanged);
        QCOMPARE(log.statusText(6), QString("Status not set!"));
        QVERIFY(log.VSEvents->isEnabled());
        QCOMPARE(w.VScroll1->value(), 1);
        QVERIFY(w.rowShown(6));
        QVERIFY(!w.cmdKillTimer->isHidden());
        QCOMPARE(TimerCount, QString("7"));

        while (w.rowCount() < 100)
            w.cmdCreateTimer_Click();
        w.cmdCreateTimer_Click(); // the 101st does nothing
        QCOMPARE(w.rowCount(), 100);
        QCOMPARE(log.statusRowCount(), 100);

        m_dialogs.answers = {2}; // "No": nothing changes
        w.cmdKillTimer_Click();
        QCOMPARE(w.rowCount(), 100);
        QVERIFY(m_dialogs.asked.last().contains("REMOVE Timer #100"));
        m_dialogs.answers = {1};
        w.cmdKillTimer_Click();
        QCOMPARE(w.rowCount(), 99);
        QCOMPARE(log.statusRowCount(), 99);
        QVERIFY(TmrChanged);

        // Saving writes one line per row; Cancel without saving keeps the saved count.
        QVERIFY(w.SaveTimers());
        QCOMPARE(GetSet("Settings", "TimerCount"), QString("99"));
        QCOMPARE(readAll(m_path).count("\r\n"), 99);
        w.unload();
    }

    void okLogsOnlyAChangedTable()
    {
        test::writeQuotedLines(m_path,
                               {"a.cro*7:05:00*Everyday", "**" + NotSetText(), "**" + NotSetText(),
                                "**" + NotSetText(), "**" + NotSetText(), "**" + NotSetText()});
        frmTimerStatus log;
        FrmTimers w(&log);
        w.timerFilePath = m_path;
        w.ensureLoaded();
        log.setLogText(QString());
        QFile::remove(m_path);
        w.Command3_Click(); // unchanged: saved again, nothing logged
        QVERIFY(QFile::exists(m_path));
        QCOMPARE(log.logText(), QString());
        QVERIFY(w.isHidden());

        w.Text1[1]->setText("b.cro");
        QVERIFY(TmrChanged);
        w.Command3_Click();
        QVERIFY(!TmrChanged);
        QVERIFY(log.logText().startsWith("\r\n========* Saving Timers *========\r\n"));
        QVERIFY(
            log.logText().contains("\r\nTimer 1, Set For Everyday at 7:05:00\r\n\t(a.cro)\r\n"));
        QVERIFY(log.logText().contains("\r\nTimer 2, OFF \r\n"));
        QVERIFY(log.logText().contains("===== Timers Saved "));
        QVERIFY(readAll(m_path).startsWith("\"a.cro*7:05:00*Everyday\"\r\n\"b.cro**"));
        w.unload();
    }

    void unloadAsksAndKeepsRowsWhenSavingFails()
    {
        frmTimerStatus log;
        FrmTimers w(&log);
        w.timerFilePath = m_path;
        w.ensureLoaded();
        w.Text1[0]->setText("keep.cro");
        QVERIFY(TmrChanged);

        m_dialogs.answers = {2}; // "No": nothing written
        w.unload();
        QCOMPARE(m_dialogs.asked.size(), 1);
        QVERIFY(m_dialogs.asked[0].contains("Save Changes to Timers before closing?"));
        QVERIFY(!readAll(m_path).contains("keep.cro"));
        QVERIFY(!TmrChanged);

        w.ensureLoaded(); // back from the file
        QCOMPARE(w.Text1[0]->text(), QString());
        w.Text1[0]->setText("keep.cro");
        m_dialogs.answers = {1};
        w.unload();
        QVERIFY(readAll(m_path).contains("keep.cro"));

        // A save that fails keeps the edited rows for the next load.
        w.timerFilePath = InProgramFolder("no such folder/tmrdat.zyv");
        w.ensureLoaded();
        w.Text1[1]->setText("unsaved.cro");
        m_dialogs.answers = {1};
        w.unload();
        QVERIFY(!m_dialogs.infos.isEmpty()); // the user was told
        w.ensureLoaded();
        QCOMPARE(w.Text1[1]->text(), QString("unsaved.cro"));
        QVERIFY(TmrChanged);
        TmrChanged = false;
        w.unload();
    }

    // OK with a disk that fails mid-write: the old file stays, the user is
    // told, and the window stays open with its rows still marked changed.
    void okOnAFailingDiskKeepsFileWindowAndChangedFlag()
    {
        test::writeQuotedLines(m_path,
                               {"a.cro*7:05:00*Everyday", "**" + NotSetText(), "**" + NotSetText(),
                                "**" + NotSetText(), "**" + NotSetText(), "**" + NotSetText()});
        const QByteArray before = readAll(m_path);
        frmTimerStatus log;
        FrmTimers w(&log);
        w.timerFilePath = m_path;
        w.ensureLoaded();
        w.show();
        w.Text1[1]->setText("b.cro");
        QVERIFY(TmrChanged);
        for (const auto kind : {SaveFault::DiskFull, SaveFault::Flush, SaveFault::Rename}) {
            m_dialogs.infos.clear();
            test::ScopedSaveFault fault(kind, "tmrdat.zyv", 20);
            QTest::mouseClick(w.Command3, Qt::LeftButton);
            QCOMPARE(fault.hits(), 1);
            QCOMPARE(readAll(m_path), before);
            QVERIFY(TmrChanged);
            QVERIFY(w.isVisible());
            QCOMPARE(m_dialogs.infos.size(), 1);
            QVERIFY(m_dialogs.infos[0].contains("could not be saved"));
        }
        QTest::mouseClick(w.Command3, Qt::LeftButton);
        QVERIFY(!TmrChanged);
        QVERIFY(readAll(m_path).startsWith("\"a.cro*7:05:00*Everyday\"\r\n\"b.cro**"));
        w.unload();
    }

    void cancelDropsUnsavedRowsAndReloads()
    {
        frmTimerStatus log;
        FrmTimers w(&log);
        w.timerFilePath = m_path;
        w.ensureLoaded();
        w.setCheck2(true);
        w.cmdCreateTimer_Click();
        w.cmdCreateTimer_Click();
        w.Text1[0]->setText("dropped.cro");
        w.cmdCancel_Click();
        QVERIFY(m_dialogs.asked.isEmpty()); // nothing asked: the changes are discarded
        QVERIFY(w.isLoaded());              // loaded anew because the switch was on
        QVERIFY(w.check2());
        QCOMPARE(w.rowCount(), 6);
        QCOMPARE(log.statusRowCount(), 6);
        QCOMPARE(w.Text1[0]->text(), QString());
        w.unload();
    }

    void spinnerWrapsAndShowsTime()
    {
        frmTimerStatus log;
        FrmTimers w(&log);
        w.timerFilePath = m_path;
        w.ensureLoaded();
        // 24-hour mode.
        w.chkAM->setChecked(false);
        w.chkPM->setChecked(false);
        w.SpinSuffix.clear();
        w.VSTime[0]->setValue(23);
        w.VSTime[0]->setValue(24);
        QCOMPARE(w.Text3[0]->text(), QString("00"));
        w.VSTime[1]->setValue(59);
        w.VSTime[1]->setValue(60);
        QCOMPARE(w.Text3[1]->text(), QString("00"));
        w.VSTime[2]->setValue(-1);
        QCOMPARE(w.Text3[2]->text(), QString("59"));
        // 12-hour mode.
        w.chkAM->setChecked(true);
        w.SpinSuffix = " AM";
        w.VSTime[0]->setValue(12);
        w.VSTime[0]->setValue(13);
        QCOMPARE(w.Text3[0]->text(), QString("01"));
        w.VSTime[0]->setValue(0);
        QCOMPARE(w.Text3[0]->text(), QString("12"));
        w.VSTime[0]->setValue(9);
        w.VSTime[1]->setValue(5);
        w.VSTime[2]->setValue(0);
        QCOMPARE(w.Label2->text(), QString("9:05:00 AM"));
        w.Text3[1]->setText("7");
        QCOMPARE(w.VSTime[1]->value(), 7);
        QCOMPARE(w.Label2->text(), QString("9:07:00 AM"));
        w.unload();
    }

    void loopPathAndStatusMailbox()
    {
        frmTimerStatus log;
        FrmTimers w(&log);
        w.timerFilePath = m_path;
        w.ensureLoaded();
        w.txtLoop->setText("loop.cro");
        QCOMPARE(w.lblMacroLoop->text(), InProgramFolder("loop.cro"));
        w.txtLoop->setText("/elsewhere/loop.cro");
        QCOMPARE(w.lblMacroLoop->text(), QString("/elsewhere/loop.cro"));

        log.setLogText("old");
        w.txtStatusDump.setText("note");
        QCOMPARE(log.logText(), QString("old\r\nnote"));
        w.unload();
    }

    void dueRowSendsItsCommandOnce()
    {
        const QString start = ClockText(QTime(7, 5, 0));
        test::writeQuotedLines(m_path,
                               {"A 3 On*" + start + "*Everyday", "C 2 Off*" + start + "*Weekends",
                                "**" + NotSetText(), "**" + NotSetText(), "**" + NotSetText(),
                                "**" + NotSetText()});
        RecordingSerialLink link;
        link.setPortOpen(true);
        SetCommLink(&link);
        frmTimerStatus log;
        FrmTimers w(&log);
        w.timerFilePath = m_path;
        w.ensureLoaded();
        w.setCheck2(true);
        log.setLogText(QString());

        m_wall.at = QDateTime(QDate(2026, 12, 8), QTime(7, 4, 59));
        w.Timer1_Timer();
        w.Timer2_Timer();
        QCOMPARE(link.decodedBits(), QString());
        m_wall.at = QDateTime(QDate(2026, 12, 8), QTime(7, 5, 0));
        w.Timer1_Timer();
        QCOMPARE(w.Label3->text(), start);
        w.Timer2_Timer();
        w.Timer2_Timer(); // the same second again: no second start
        const QString frame = "1101010110101010" + CmdToCode("A", "3", "On") + "10101101";
        QCOMPARE(link.decodedBits(), frame);
        QVERIFY(log.logText().contains("Success"));
        QCOMPARE(log.statusColor(0), QColor(0xFF, 0, 0));
        QCOMPARE(w.lblDay->text(), QString("1"));

        // With the master switch off nothing starts.
        link.clear();
        w.setCheck2(false);
        QVERIFY(!w.Timer2->isActive());
        SetCommLink(nullptr);
        w.unload();
    }

    // The clock keeps every day-rule label coloured for the day: light green
    // where the rule lets the row run today, light yellow where it keeps it
    // idle; "Never" and "not set" keep the colours of their rows.
    void ruleLabelsFollowTheDayAndEdits()
    {
        test::writeQuotedLines(m_path, {"a.cro*7:05:00*Weekdays", "b.cro*7:05:00*Weekends",
                                        "c.cro*7:05:00*Everyday", "d.cro*7:05:00*Sun - Thu",
                                        "e.cro*7:05:00*Fri & Sat", "f.cro*7:05:00*Never",
                                        "**" + NotSetText()});
        frmTimerStatus log;
        FrmTimers w(&log);
        w.timerFilePath = m_path;
        w.ensureLoaded();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w, test::kFirstWindowMs));
        const QColor g(0xC0, 0xFF, 0xC0), y(0xFF, 0xFF, 0xC0), never(0xFF, 0xC0, 0xC0),
            notSet(0xE0, 0xE0, 0xE0);
        auto colours = [&w] {
            QList<QColor> out;
            for (int i = 0; i < 7; ++i)
                out << w.lblActiveDays[i]->palette().color(QPalette::Window);
            return out;
        };
        const struct {
            QDate day;
            QList<QColor> expected;
        } days[] = {
            {QDate(2026, 12, 10), {g, y, g, g, y, never, notSet}}, // Thursday
            {QDate(2026, 12, 11), {g, y, g, y, g, never, notSet}}, // Friday
            {QDate(2026, 12, 12), {y, g, g, y, g, never, notSet}}, // Saturday
            {QDate(2026, 12, 13), {y, g, g, g, y, never, notSet}}, // Sunday
        };
        for (const auto &d : days) {
            // The last ticks of the day before, then the first ticks of this one.
            m_wall.at = QDateTime(d.day.addDays(-1), QTime(23, 59, 59));
            w.Timer1_Timer();
            m_wall.at = QDateTime(d.day, QTime(0, 0, 0));
            w.Timer1_Timer();
            QCOMPARE(colours(), d.expected);
            w.Timer1_Timer();
            QCOMPARE(colours(), d.expected);
        }

        // On Saturday a row given "Weekdays" is coloured as a complete row at
        // once, and for the day on the next tick.
        m_wall.at = QDateTime(QDate(2026, 12, 12), QTime(9, 0, 0));
        w.Timer1_Timer();
        w.lblActiveDays_MouseDown(4, Qt::LeftButton);
        QVERIFY(w.Combo1->isVisible());
        w.Combo1->setCurrentRow(1);
        QTest::keyClick(w.Combo1, Qt::Key_Return);
        QCOMPARE(w.lblActiveDays[4]->text(), QString("Weekdays"));
        QCOMPARE(w.lblActiveDays[4]->palette().color(QPalette::Window), g);
        w.Timer1_Timer();
        QCOMPARE(w.lblActiveDays[4]->palette().color(QPalette::Window), y);
        TmrChanged = false;
        w.hide();
        w.unload();
    }

    // "DaySavings" tells the sun rows whether the computer's clock is an hour
    // ahead of its standard time; it follows a change of the computer's zone.
    void daySavingsFollowTheComputersZone()
    {
        const QByteArray oldTz = qgetenv("TZ");
        auto restore = qScopeGuard([&oldTz] {
            if (oldTz.isNull())
                qunsetenv("TZ");
            else
                qputenv("TZ", oldTz);
            tzset();
        });
        frmTimerStatus log;
        FrmTimers w(&log);
        w.timerFilePath = m_path;
        w.ensureLoaded();
        const QDateTime now = QDateTime::currentDateTimeUtc();
        // Sydney and New York keep summer time in opposite halves of the
        // year (an hour ahead), Tokyo none.
        for (const char *id :
             {"Australia/Sydney", "Asia/Tokyo", "America/New_York", "Asia/Tokyo"}) {
            const QTimeZone zone(id);
            if (!zone.isValid())
                QSKIP("no time zone data on this machine");
            qputenv("TZ", id);
            tzset();
            w.Timer1_Timer();
            const bool summer = QByteArray(id) != "Asia/Tokyo" && zone.isDaylightTime(now);
            QCOMPARE(GetSet("Settings", "DaySavings"), QString(summer ? "True" : "False"));
        }
        w.unload();
    }

    void macrosRunInSlotTimersAndOverflow()
    {
        const QString start = ClockText(QTime(8, 0, 0));
        const QString line = CmdToCode("B", "1", "On") + "0001";
        QStringList rows;
        for (int i = 0; i < 5; ++i) {
            test::writeQuotedLines(InProgramFolder(QStringLiteral("m%1.cro").arg(i)), {line});
            rows << QStringLiteral("m%1.cro*%2*Everyday").arg(i).arg(start);
        }
        rows += test::notSetRows(1);
        test::writeQuotedLines(m_path, rows);
        RecordingSerialLink link;
        link.setPortOpen(true);
        SetCommLink(&link);
        frmTimerStatus log;
        FrmTimers w(&log);
        w.timerFilePath = m_path;
        w.ensureLoaded();
        w.setCheck2(true);
        m_wall.at = QDateTime(QDate(2026, 12, 8), QTime(7, 59, 59));
        w.Timer2_Timer();
        m_wall.at = QDateTime(QDate(2026, 12, 8), QTime(8, 0, 0));
        for (int tick = 0; tick < 5; ++tick) { // rows due together start one after another
            w.Timer2_Timer();
            m_wait.advanceMs(1000);
        }

        // Four slots busy, the fifth macro waits in the overflow list.
        for (int n = 0; n < 4; ++n) {
            QVERIFY(w.tmrThread[n]->isActive());
            QCOMPARE(w.tmrThread[n]->interval(), 5);
        }
        QCOMPARE(w.engine().overflow.entries().size(), 1);
        QVERIFY(w.TmrOverFlow->isActive());
        QCOMPARE(log.statusColor(4), QColor(0xFF, 0xFF, 0));

        // The slots' first ticks queue their frames; the send queue sends them.
        QTRY_VERIFY_WITH_TIMEOUT(log.logText().contains("Started"), test::kStepMs);
        QTRY_VERIFY_WITH_TIMEOUT(link.decodedBits().size() >= 40, test::kStepMs);
        QCOMPARE(link.decodedBits().left(40),
                 "1101010110101010" + CmdToCode("B", "1", "On") + "10101101");
        QCOMPARE(log.statusColor(0), QColor(0, 0xFF, 0xFF));

        w.setCheck2(false);
        w.engine().stopAll();
        SetCommLink(nullptr);
        w.unload();
        for (int n = 0; n < 4; ++n)
            QVERIFY(!w.tmrThread[n]->isActive() || !w.engine().macroSlots.enabled(n));
    }

    // Exit has begun and the unload asks about unsaved timers: while the
    // question waits, the playing macro and the send queue send nothing.
    void exitQuestionLetsNoFrameOut()
    {
        QStringList macro;
        for (int i = 0; i < 30; ++i)
            macro << CmdToCode("B", "1", "On") + "0000";
        test::writeQuotedLines(InProgramFolder("long.cro"), macro);
        test::writeQuotedLines(m_path,
                               QStringList{"long.cro*" + ClockText(QTime(8, 0, 0)) + "*Everyday"} +
                                   test::notSetRows(5));
        RecordingSerialLink link;
        link.setCommPort("1");
        link.setPortOpen(true);
        SetCommLink(&link);
        frmTimerStatus log;
        FrmTimers w(&log);
        w.timerFilePath = m_path;
        w.ensureLoaded();
        w.setCheck2(true);
        m_wall.at = QDateTime(QDate(2026, 12, 8), QTime(7, 59, 59));
        w.Timer2_Timer();
        m_wall.at = QDateTime(QDate(2026, 12, 8), QTime(8, 0, 0));
        w.Timer2_Timer();
        QTRY_VERIFY_WITH_TIMEOUT(link.decodedBits().size() >= 40, test::kStepMs); // playing

        w.mnuSaveQuit->setChecked(true);
        w.Text1[3]->setText("changed.cro");
        QVERIFY(TmrChanged);
        test::ScriptedDialogs dialogs;
        dialogs.answers = {2};
        qsizetype changesWhileAsked = -1;
        dialogs.whileOpen = [&] {
            const qsizetype before = link.changes.size();
            for (int k = 0; k < 30; ++k) {
                m_wait.advanceMs(1000);
                QTest::qWait(test::kPollMs);
            }
            changesWhileAsked = link.changes.size() - before;
        };
        SetDialogProvider(&dialogs);
        AbortSend = true;
        w.unload();
        AbortSend = false;
        SetDialogProvider(&m_dialogs);
        SetCommLink(nullptr);
        QCOMPARE(dialogs.asked.size(), 1);
        QCOMPARE(changesWhileAsked, qsizetype(0));
    }

    // Rows due in the same second wait their turn; the master switch
    // clicked off drops them, and switching on hours later starts nothing.
    void switchClickedOffDropsWaitingRows()
    {
        const QString start = ClockText(QTime(8, 0, 0));
        test::writeQuotedLines(
            m_path, QStringList{"A 1 On*" + start + "*Everyday", "A 2 On*" + start + "*Everyday"} +
                        test::notSetRows(4));
        RecordingSerialLink link;
        SetCommLink(&link);
        frmTimerStatus log;
        FrmTimers w(&log);
        w.timerFilePath = m_path;
        w.ensureLoaded();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w, test::kFirstWindowMs));
        QTest::mouseClick(w.Check2, Qt::LeftButton);
        QVERIFY(w.check2());
        log.setLogText(QString());
        m_wall.at = QDateTime(QDate(2026, 12, 8), QTime(7, 59, 59));
        w.Timer2_Timer();
        m_wall.at = QDateTime(QDate(2026, 12, 8), QTime(8, 0, 0));
        w.Timer2_Timer();
        QVERIFY(log.logText().contains("Timer 1:"));
        QVERIFY(!log.logText().contains("Timer 2:")); // waiting for the first start

        QTest::mouseClick(w.Check2, Qt::LeftButton);
        QVERIFY(!w.check2());
        m_wait.advanceMs(3 * 3600 * 1000);
        m_wall.at = QDateTime(QDate(2026, 12, 8), QTime(11, 0, 0));
        QTest::mouseClick(w.Check2, Qt::LeftButton);
        QVERIFY(w.check2());
        for (int k = 0; k < 4; ++k) {
            w.Timer2_Timer();
            m_wait.advanceMs(1000);
        }
        QVERIFY2(!log.logText().contains("Timer 2:"), qPrintable(log.logText()));
        w.setCheck2(false);
        SetCommLink(nullptr);
        w.hide();
        w.unload();
    }

    // A "One Time" row turning "Never" in the hidden window leaves the
    // other timers' status rows as their runs left them.
    void oneTimeRowKeepsOtherStatusRowsWhileHidden()
    {
        test::writeQuotedLines(m_path,
                               QStringList{"A 1 On*" + ClockText(QTime(8, 0, 0)) + "*Everyday",
                                           "A 2 On*" + ClockText(QTime(8, 0, 5)) + "*One Time"} +
                                   test::notSetRows(4));
        RecordingSerialLink link;
        SetCommLink(&link);
        frmTimerStatus log;
        FrmTimers w(&log);
        w.timerFilePath = m_path;
        w.ensureLoaded();
        w.setCheck2(true);
        QVERIFY(w.isHidden());
        for (const QTime &t : {QTime(7, 59, 59), QTime(8, 0, 0)}) {
            m_wall.at = QDateTime(QDate(2026, 12, 8), t);
            w.Timer2_Timer();
        }
        QVERIFY(log.statusText(0).contains("Success"));
        m_wait.advanceMs(5000);
        for (const QTime &t : {QTime(8, 0, 4), QTime(8, 0, 5)}) {
            m_wall.at = QDateTime(QDate(2026, 12, 8), t);
            w.Timer2_Timer();
        }
        QCOMPARE(w.lblActiveDays[1]->text(), QString("Never"));
        QVERIFY2(log.statusText(0).contains("Success"), qPrintable(log.statusText(0)));
        QVERIFY(log.statusText(1).contains("Success"));
        w.setCheck2(false);
        TmrChanged = false;
        SetCommLink(nullptr);
        w.unload();
    }

    // A start time typed into a row falls due in 12-hour locales whose
    // designator is not "AM"/"PM" as well as in 24-hour ones; so does one
    // taken from the spinner.
    void typedStartTimesFallDueInEveryLocale_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("typed");
        QTest::newRow("en_AU") << QLocale(QLocale::English, QLocale::Australia) << "9:47:23 pm";
        QTest::newRow("en_CA") << QLocale(QLocale::English, QLocale::Canada) << "9:47:23 pm";
        QTest::newRow("en_US") << QLocale(QLocale::English, QLocale::UnitedStates) << "9:47:23 pm";
        QTest::newRow("de_DE") << QLocale(QLocale::German, QLocale::Germany) << "21:47:23";
        QTest::newRow("en_GB") << QLocale(QLocale::English, QLocale::UnitedKingdom) << "21:47:23";
    }
    void typedStartTimesFallDueInEveryLocale()
    {
        QFETCH(QLocale, locale);
        QFETCH(QString, typed);
        QLocale::setDefault(locale);
        test::writeQuotedLines(m_path,
                               QStringList{"A 1 On**" + NotSetText(), "A 2 On**" + NotSetText()} +
                                   test::notSetRows(4));
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
        QVERIFY(w.Check4->isChecked());
        QTest::mouseDClick(w.Text2[0], Qt::LeftButton);
        QTest::keyClicks(w.Text2[0], typed);
        w.cmdSetFocus->setFocus(); // leaving the box stores the text
        m_wall.at = QDateTime(QDate(2026, 12, 8), QTime(21, 47, 23));
        w.cmdTimeReSet_Click(); // the spinner at the current time
        QTest::mouseClick(w.cmdT[1], Qt::LeftButton);
        for (int i = 0; i < 2; ++i)
            w.setDayCaption(i, "Everyday");
        w.tmrSunSet_Timer();
        w.setCheck2(true);
        log.setLogText(QString());
        m_wall.at = QDateTime(QDate(2026, 12, 8), QTime(21, 47, 22));
        w.Timer1_Timer();
        w.Timer2_Timer();
        m_wall.at = QDateTime(QDate(2026, 12, 8), QTime(21, 47, 23));
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
        TmrChanged = false;
        SetCommLink(nullptr);
        w.hide();
        w.unload();
        DeleteSet("Settings", "ManualTimers");
    }

    // Runs last: it installs the program's own windows as the services.
    // Longer translated captions of the top bar stay whole and do not run
    // under the next switch.
    void translatedSwitchesStayApart()
    {
        {
            QFile f(LangFile);
            QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            f.write("[Labels & Captions]\r\nTimers ON=Zeitschalter EIN\r\n"
                    "Timer Sound=Zeitschalterklang\r\nAllow Manual=Von Hand erlauben\r\n");
        }
        frmTimerStatus log;
        FrmTimers w(&log);
        w.timerFilePath = m_path;
        w.ensureLoaded();
        w.Check2->setChecked(true);
        QFile::remove(LangFile);
        QCOMPARE(w.Check2->text(), QString("Zeitschalter EIN"));
        const QList<QCheckBox *> bar = {w.Check2, w.chkTSound, w.chkMsound, w.Check4};
        for (int k = 0; k < bar.size(); ++k) {
            QCheckBox *c = bar[k];
            const int right = k + 1 < bar.size() ? bar[k + 1]->x() : w.width();
            QVERIFY2(c->geometry().right() < right, qPrintable(c->text()));
            const int needed = QFontMetrics(c->font()).horizontalAdvance(c->text()) + 16;
            QVERIFY2(needed <= c->width(), qPrintable(c->text()));
        }
        w.unload();
    }

    void serviceReachesLoopSwitchAndMacroSound()
    {
        InstallScheduler();
        TimersService *timers = Timers();
        QVERIFY(timers);
        timers->ensureLoaded();
        FrmTimers *w = TimersWindow();
        w->chkMsound->setChecked(true);
        QVERIFY(timers->chkMsound());
        w->chkMsound->setChecked(false);
        QVERIFY(!timers->chkMsound());
        test::writeQuotedLines(InProgramFolder("loop.cro"), {"0110000000000000"
                                                             "0002"});
        w->txtLoop->setText("loop.cro");
        w->lblLoopDays->setText("Everyday");
        timers->setChkEnableLoop(1);
        QVERIFY(w->chkEnableLoop->isChecked());
        timers->setChkEnableLoop(0);
        QVERIFY(!w->chkEnableLoop->isChecked());
        timers->unload();
    }

private:
    test::SettableWallClock m_wall;
    test::FakeWaitClock m_wait;
    test::ScriptedDialogs m_dialogs;
    QString m_path;
};

QELT_TEST_MAIN(FrmTimersTest)
#include "tst_FrmTimers.moc"
