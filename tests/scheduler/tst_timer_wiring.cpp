// The timers window's and the timer log's own timers, running on the real
// event loop: every tick here comes from a QTimer, never from a handler the
// test calls. Each timer is checked at the interval it was designed with and
// through what its tick does, so that a timer left unconnected, never started
// or given another interval fails here. The tests run in real time: their
// waits allow for a heavily loaded machine (seconds, where an idle one takes
// a tick or two) and still fail for a timer that never ticks or ticks at a
// wrong interval, whose literal value is checked apart.

#include "tests/scheduler/TimersTestSupport.h"
#include "tests/support/Bounds.h"
#include "tests/support/FakeWaitClock.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TestEnv.h"

#include "core/services/SchedulerServices.h"
#include "logic/DayRule.h"
#include "logic/Globals.h"
#include "logic/ProgramFolder.h"
#include "logic/SchedulerClock.h"
#include "logic/SerialLink.h"
#include "logic/Settings.h"
#include "logic/TimerLogFile.h"
#include "logic/Transmitter.h"
#include "logic/X10Codes.h"
#include "scheduler/FrmTimers.h"
#include "scheduler/InstallScheduler.h"
#include "scheduler/frmTimerStatus.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QScopeGuard>
#include <QTest>
#include <QTimer>

#include <algorithm>

using namespace qelt;

namespace {

// A wall clock that runs in real time from a moment the test chooses, so
// that a row can fall due a moment later.
class RunningWallClock : public WallClock {
public:
    explicit RunningWallClock(const QDateTime &from) : m_from(from) { m_run.start(); }
    QDateTime now() const override { return m_from.addMSecs(m_run.elapsed()); }

private:
    QDateTime m_from;
    QElapsedTimer m_run;
};

QString frameOf(const QString &code)
{
    return "1101010110101010" + code + "10101101";
}

QStringList sorted(QStringList l)
{
    std::sort(l.begin(), l.end());
    return l;
}

} // namespace

class TimerWiringTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        test::StartTimersTests(&m_wall, &m_dialogs);
        SaveSet("Settings", "GPause", "0"); // frames follow each other tick by tick
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
        m_wall.at = QDateTime(QDate(2026, 12, 8), QTime(7, 4, 58));
        TmrChanged = false;
    }

    // The program's own timers window, switched on and loaded as the console's
    // clock does it, with a macro row due 0.7 s ahead: its frame leaves
    // through the send queue and reaches the lines, not before the row's time
    // and, on an idle machine, within about a second of it (a due check that
    // never ticks, or ticks every 50 s, does not send it within 10 s).
    void dueMacroRowReachesTheLinesAfterItsTime()
    {
        const QString code = CmdToCode("A", "3", "On");
        test::writeQuotedLines(InProgramFolder("wake.cro"), {code + "0001"});
        const QTime due(7, 5, 0);
        test::writeQuotedLines(m_path, QStringList{"wake.cro*" + ClockText(due) + "*Everyday"} +
                                           test::notSetRows(5));
        InstallScheduler();
        TimersService *timers = Timers();
        QVERIFY(timers);
        RecordingSerialLink link;
        QStringList sentFromQueue;
        // Also when a check fails: the window outlives this test, the clock does not.
        const auto restore = qScopeGuard([&] {
            SetWallClock(&m_wall);
            TimersWindow()->engine().queue.onSent = nullptr;
            timers->setTimersEnabled(false);
            timers->unload();
            SetCommLink(nullptr);
        });
        SetCommLink(&link);
        timers->setTimersEnabled(true);
        timers->ensureLoaded();
        TimersWindow()->engine().queue.onSent = [&](const QString &f) { sentFromQueue << f; };
        // The row falls due 0.7 s after the window is ready, however long it took to load.
        RunningWallClock clock(QDateTime(QDate(2026, 12, 8), QTime(7, 4, 59, 300)));
        SetWallClock(&clock);

        QTRY_VERIFY_WITH_TIMEOUT(!link.decodedBits().isEmpty(), test::kStepMs);
        const qint64 lateMs = QDateTime(QDate(2026, 12, 8), due).msecsTo(clock.now());
        QCOMPARE(link.decodedBits(), frameOf(code));
        QCOMPARE(sentFromQueue, QStringList{frameOf(code)});
        QVERIFY2(lateMs >= 0 && lateMs <= 10000, qPrintable(QString::number(lateMs)));
    }

    // From load on: the clock text every 250 ms, the sun times every second,
    // the send queue after 50 ms and then every 100 ms; the due check every
    // 500 ms while the master switch is on.
    void windowClocksTickFromLoad()
    {
        RecordingSerialLink link;
        SetCommLink(&link);
        const auto unlink = qScopeGuard([] { SetCommLink(nullptr); });
        frmTimerStatus log;
        FrmTimers w(&log);
        w.timerFilePath = m_path;
        w.ensureLoaded();
        QVERIFY(w.Timer1->isActive());
        QCOMPARE(w.Timer1->interval(), 250);
        QVERIFY(w.tmrSunSet->isActive());
        QCOMPARE(w.tmrSunSet->interval(), 1000);
        QVERIFY(w.tmrSendBits->isActive());
        QCOMPARE(w.tmrSendBits->interval(), 50);
        QVERIFY(!w.Timer2->isActive());
        w.setCheck2(true);
        QVERIFY(w.Timer2->isActive());
        QCOMPARE(w.Timer2->interval(), 500);

        m_wall.at = QDateTime(QDate(2026, 12, 8), QTime(13, 14, 15));
        QTRY_COMPARE_WITH_TIMEOUT(w.Label3->text(), ClockText(QTime(13, 14, 15)), test::kStepMs);

        QCOMPARE(w.lblSR->text(), QString()); // no place stored yet
        SaveSet("Settings", "CityLatitude", "51.5");
        SaveSet("Settings", "CityLongitude", "0.1");
        SaveSet("Settings", "CityZone", "0");
        QTRY_VERIFY_WITH_TIMEOUT(w.lblSR->text().startsWith("Sunrise "), test::kStepMs);
        QVERIFY(w.lblSS->text().startsWith("Sunset "));
        for (const char *key : {"CityLatitude", "CityLongitude", "CityZone"})
            DeleteSet("Settings", key);

        const QString frame = frameOf(CmdToCode("B", "2", "Off"));
        w.engine().queue.add(frame);
        QTRY_COMPARE_WITH_TIMEOUT(link.decodedBits(), frame, test::kStepMs);
        QCOMPARE(w.tmrSendBits->interval(), 100);

        w.setCheck2(false);
        QVERIFY(!w.Timer2->isActive());
        w.unload();
    }

    // Loaded with the master switch on (it stays on while the window is
    // unloaded, and the console's clock loads it again), the window starts
    // its due check at once: a row due now starts on the check's first tick,
    // 500 ms on, by the clock's third (every 250 ms). Counted in the clock's
    // ticks, the bound holds however late a loaded machine runs both timers;
    // a check whose first tick comes after five seconds, twenty of the
    // clock's, fails it.
    void dueCheckStartsAtLoadWithTheSwitchOn()
    {
        constexpr int kClockTicksBeforeDueCheck = 6;
        m_wall.at = QDateTime(QDate(2026, 12, 8), QTime(7, 5, 0));
        test::OneTimerWindow timers;
        timers.w.setCheck2(true);
        timers.w.unload();
        const auto started = [&] { return timers.log.logText().contains("Timer 1:"); };
        int clockTicks = 0;
        connect(timers.w.Timer1, &QTimer::timeout, &timers.w, [&] { clockTicks += !started(); });
        timers.w.ensureLoaded();
        QTRY_VERIFY_WITH_TIMEOUT(started(), test::kStepMs);
        QVERIFY2(clockTicks < kClockTicksBeforeDueCheck, qPrintable(QString::number(clockTicks)));
        timers.w.setCheck2(false);
        timers.w.unload();
    }

    // Each macro slot plays its first line 5 ms after it is filled and waits
    // the line's pause for the next (less 50 ms, slot 2 the whole pause). A
    // macro that finds every slot busy waits in the overflow list, which
    // looks after 500 ms and then every 250 ms until a slot is free.
    void slotsAndOverflowListTickOnTheirOwn()
    {
        frmTimerStatus log;
        FrmTimers w(&log);
        w.timerFilePath = m_path;
        w.ensureLoaded();
        w.Check1->setChecked(true); // holds the send queue
        QVERIFY(!w.tmrSendBits->isActive());
        SchedulerEngine &e = w.engine();

        QStringList codes;
        for (const char *unit : {"1", "2", "3", "4", "5"})
            codes << CmdToCode("C", unit, "On");
        // Slot 0 ends first, after 4.5 s; the others after five: the overflow
        // list's first look, after 0.5 s, finds every slot busy even when a
        // loaded machine runs the timers a second or two late.
        const QStringList pauses = {"4.50", "0005", "0005", "0005"};
        for (int n = 0; n < 4; ++n)
            e.macroSlots.load(n, n, {codes[n] + pauses[n]}, m_wall.at);
        // The waiting macro holds its slot for ten seconds, so that the slot
        // still holds it when a loaded machine looks a second late.
        test::writeQuotedLines(InProgramFolder("fifth.cro"), {codes[4] + "0010"});
        e.overflow.add(4, m_wall.at, InProgramFolder("fifth.cro"));
        for (int n = 0; n < 4; ++n) {
            QVERIFY(w.tmrThread[n]->isActive());
            QCOMPARE(w.tmrThread[n]->interval(), 5);
        }
        QVERIFY(w.TmrOverFlow->isActive());
        QCOMPARE(w.TmrOverFlow->interval(), 500);

        QTRY_COMPARE_WITH_TIMEOUT(e.queue.size(), 4, test::kStepMs);
        QCOMPARE(sorted(e.queue.entries()), sorted({frameOf(codes[0]), frameOf(codes[1]),
                                                    frameOf(codes[2]), frameOf(codes[3])}));
        const int next[4] = {4450, 4950, 5000, 4950};
        for (int n = 0; n < 4; ++n)
            QCOMPARE(w.tmrThread[n]->interval(), next[n]);

        QTRY_COMPARE_WITH_TIMEOUT(w.TmrOverFlow->interval(), 250, test::kStepMs);
        QCOMPARE(e.overflow.entries().size(), 1); // every slot still busy

        // Slot 0 frees itself on its next tick and the waiting macro takes it.
        QTRY_VERIFY_WITH_TIMEOUT(e.overflow.entries().isEmpty(), test::kStepMs);
        QCOMPARE(e.macroSlots.lines(0), QStringList{codes[4] + "0010"});
        QVERIFY(w.tmrThread[0]->isActive());
        QTRY_VERIFY_WITH_TIMEOUT(!w.TmrOverFlow->isActive(), test::kStepMs);

        e.stopAll();
        w.unload();
    }

    // The loop clock plays its first line 250 ms after the loop is switched
    // on and then waits the line's pause.
    void loopClockQueuesItsLines()
    {
        const QString code = CmdToCode("D", "4", "Off");
        test::writeQuotedLines(InProgramFolder("loop.cro"), {code + "0010"});
        frmTimerStatus log;
        FrmTimers w(&log);
        w.timerFilePath = m_path;
        w.ensureLoaded();
        w.Check1->setChecked(true); // holds the send queue
        w.txtLoop->setText("loop.cro");
        w.lblLoopDays->setText("Everyday");
        QVERIFY(!w.Tmr7->isActive());
        w.chkEnableLoop->setChecked(true);
        QVERIFY(w.Tmr7->isActive());
        QCOMPARE(w.Tmr7->interval(), 250);

        QTRY_COMPARE_WITH_TIMEOUT(w.engine().queue.entries(), QStringList{frameOf(code)},
                                  test::kStepMs);
        QCOMPARE(w.Tmr7->interval(), 10000);

        w.chkEnableLoop->setChecked(false);
        QVERIFY(!w.Tmr7->isActive());
        TmrChanged = false;
        w.unload();
    }

    // Once a minute the timer log moves its older lines into the log file.
    // The minute is checked as the timer's interval; one tick of the same
    // timer, shortened, shows what the tick does.
    void logMovesOlderLinesEveryMinute()
    {
        SaveSet("Settings", "MaxLogSize", "3");
        SaveSet("Settings", "KeepLogSize", "1");
        SaveSet("Settings", "TrimTimerLog", "0");
        frmTimerStatus log;
        log.logFile = TimerLogFile(InProgramFolder("wired.log"));
        QFile::remove(log.logFile.path());
        log.chkSaveLog->setChecked(true);
        QVERIFY(log.tmrLogWrite->isActive());
        QCOMPARE(log.tmrLogWrite->interval(), 60000);

        test::FakeWaitClock wait; // the second the move is shown for passes at once
        wait.pumpRealEvents = false;
        log.setLogText("a\r\nb\r\nc\r\nd\r\ne\r\nf");
        log.tmrLogWrite->setInterval(10);
        QTRY_COMPARE_WITH_TIMEOUT(log.logText(), QString("\r\ne\r\nf"), test::kStepMs);
        QFile f(log.logFile.path());
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray saved = f.readAll();
        for (const char *line : {"\"a\"\r\n", "\"b\"\r\n", "\"c\"\r\n", "\"d\"\r\n"})
            QVERIFY2(saved.contains(line), saved.constData());
        QVERIFY(!saved.contains("\"e\""));
        log.unload();
        for (const char *k : {"MaxLogSize", "KeepLogSize", "TrimTimerLog"})
            DeleteSet("Settings", k);
    }

private:
    test::SettableWallClock m_wall;
    test::ScriptedDialogs m_dialogs;
    QString m_path;
};

QELT_TEST_MAIN(TimerWiringTest)
#include "tst_timer_wiring.moc"
