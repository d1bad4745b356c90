// Scheduler engine under load, in real time on the recording serial fake:
// 100 timers, four 1000-line macros running, the overflow list full.
// Prints the delay from each due second to the row's first frame (queued for
// a macro, sent for a single command), the CPU used outside frames and the
// memory, with the load average it ran under. Rows due closer together than
// one start a second wait their turn; those still waiting when the run ends
// are listed as waiting, not missed. Exit status 1 when a row whose turn came
// within the run never started.
// Usage: bench_scheduler [seconds [phase]]   (default 120 s; phase: the due
// check's ticks fall this many ms after each second's start, 0-499; default:
// wherever the program's start puts them)

#include "logic/Globals.h"
#include "logic/ProgramFolder.h"
#include "logic/SchedulerClock.h"
#include "logic/SchedulerEngine.h"
#include "logic/SchedulerHost.h"
#include "logic/SerialLink.h"
#include "logic/Settings.h"
#include "logic/Transmitter.h"
#include "tests/support/PeakMemory.h"

#include "Conditions.h"

#include <QCoreApplication>
#include <QFile>
#include <QMap>
#include <QTemporaryDir>
#include <QTimer>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>

using namespace qelt;
using test::PeakMemoryKiB;
using test::ResidentMemoryKiB;

namespace {

qint64 cpuNs()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return (qint64(u.ru_utime.tv_sec) + u.ru_stime.tv_sec) * 1'000'000'000 +
           (qint64(u.ru_utime.tv_usec) + u.ru_stime.tv_usec) * 1000;
}

// Records when each row first shows a frame: the start status of a macro run
// (written in the tick that queues its first line) or the success entry of a
// single command (written right after its frame went out).
class BenchHost : public SchedulerHost {
public:
    void appendLog(const QString &entry) override
    {
        ++logEntries;
        const int at = entry.indexOf(QLatin1String("Timer "));
        if (entry.contains(QLatin1String("Success")) && at >= 0)
            first(entry.mid(at + 6).section(u':', 0, 0).toInt() - 1);
        if (entry.contains(QLatin1String("Error")) || entry.contains(QLatin1String("Bad Command")))
            ++errors;
    }
    int statusRowCount() const override { return 100; }
    QString statusText(int row) const override { return status.value(row); }
    void setStatus(int row, const QString &text, unsigned rgb) override
    {
        status[row] = text;
        if (rgb == kStatusRunningRgb)
            first(row);
    }
    void setTimerIndicator(bool) override {}
    void setLamp(bool) override {}
    void frmReturn() override { ++returns; }
    bool strtGroup(int, const QString &) override { return true; }
    bool timerSoundOn() const override { return false; }
    bool tickSoundOn() const override { return false; }
    void playTimerSound() override {}
    void playTickSound() override {}
    bool runFile(const QString &) override { return true; }

    void first(int row)
    {
        if (row >= 0 && !firstNs.contains(row))
            firstNs[row] = CurrentWaitClock().nowNs();
    }

    QMap<int, QString> status;
    QMap<int, qint64> firstNs;
    int logEntries = 0;
    int errors = 0;
    int returns = 0;
};

// Macros: 1000 lines, 1 s apart (house K, so they are told apart from
// the single commands on houses A to F).
void WriteBenchMacros(const QString &folder)
{
    QByteArray macro;
    for (int i = 0; i < 1000; ++i)
        macro += "\"11000000000000000001\"\r\n";
    for (int m = 0; m < 8; ++m) {
        QFile f(folder + QStringLiteral("/long%1.cro").arg(m));
        f.open(QIODevice::WriteOnly);
        f.write(macro);
    }
}

// Rows 0-7: macros due 2..9 s from base (0-3 take the slots, 4-7 wait in
// the overflow list for the whole run); rows 8-99: single commands, one a
// second from 10 s on. Returns when each row is due.
QMap<int, QDateTime> FillRows(TimerTable &table, const QDateTime &base, int seconds)
{
    QMap<int, QDateTime> dueAt;
    const QString houses = QStringLiteral("ABCDEF");
    const int span = seconds - 15;
    for (int r = 0; r < 100; ++r) {
        TimerRow &row = table.row(r);
        const int offset = r < 8 ? 2 + r : 10 + (r - 8) * span / 92;
        const QDateTime due = base.addSecs(offset);
        dueAt[r] = due;
        row.startText = row.triggerTime = ClockText(due.time());
        row.dayRule = QStringLiteral("Everyday");
        if (r < 8) {
            row.action = QStringLiteral("long%1.cro").arg(r);
            row.macroPath = TimerTable::ActionPath(row.action);
        } else {
            row.action = QStringLiteral("%1 %2 On").arg(houses[(r - 8) / 16]).arg((r - 8) % 16 + 1);
        }
    }
    return dueAt;
}

// The timers window's timer controls, driving the engine.
struct EngineTimers {
    QTimer timer2, sendBits, overFlow, thread[MacroSlots::kSlots];
    QList<int> tickPhases; // ms after the second of each due-check tick, modulo 500
    int sentFrames = 0;

    explicit EngineTimers(SchedulerEngine &engine)
    {
        QObject::connect(&timer2, &QTimer::timeout, [this, &engine] {
            tickPhases << WallNow().time().msec() % 500;
            engine.Timer2();
        });
        QObject::connect(&sendBits, &QTimer::timeout, [this, &engine] {
            engine.queue.tick();
            sendBits.setInterval(engine.queue.interval());
        });
        QObject::connect(&overFlow, &QTimer::timeout, [&engine] { engine.overflow.tick(); });
        for (int n = 0; n < MacroSlots::kSlots; ++n)
            QObject::connect(&thread[n], &QTimer::timeout,
                             [&engine, n] { engine.macroSlots.tick(n); });
        auto apply = [](QTimer &t, bool on, int interval) {
            if (t.interval() != interval)
                t.setInterval(interval);
            if (on && !t.isActive())
                t.start();
            else if (!on && t.isActive())
                t.stop();
        };
        engine.onTimersChanged = [this, &engine, apply] {
            for (int n = 0; n < MacroSlots::kSlots; ++n)
                apply(thread[n], engine.macroSlots.enabled(n), engine.macroSlots.interval(n));
            apply(overFlow, engine.overflow.enabled(), engine.overflow.interval());
        };
        engine.queue.onSent = [this](const QString &) { ++sentFrames; };
    }

    // Starts the due check, its ticks phase ms after each half second (-1:
    // wherever they fall); returns the phase.
    int startDueCheck(int phase)
    {
        if (phase >= 0) {
            // Coarse timers are moved to round times of the monotonic clock; a
            // precise one keeps the phase asked for.
            timer2.setTimerType(Qt::PreciseTimer);
            const int wait = (phase - WallNow().time().msec() + 1000) % 500;
            QTimer::singleShot(wait, &timer2, [this] { timer2.start(500); });
        } else {
            timer2.start(500);
            phase = (WallNow().time().msec() + 500) % 500;
        }
        return phase;
    }
};

struct RowDelays {
    QList<double> delays;   // due second to first frame, in seconds
    QList<double> fromTurn; // the row's turn to its first frame, in seconds
    QList<int> missed;      // rows (from 1) the written pace would have started by the end
    QList<int> waiting;     // rows due within the run still waiting their turn at its end
    QList<int> late;        // rows that started more than 1 s after their turn
    QList<int> overflowing; // rows 5-8 that wait in the overflow list by design
};

// The written pace: one start at a time, each holding the next off for
// 0.8 s, and the due check ticking every 500 ms, so a row's turn comes at its
// due second or one second after the turn before it, whichever is later.
// A row whose turn (plus one tick and one frame) falls after the run's end
// is only waiting; a row whose turn came within the run and that never
// started is missed.
constexpr double kStartPaceS = 1.0;
constexpr double kTurnSlackS = 0.5 + 0.11;

// Prints each row's delay from its due second to its first frame.
RowDelays PrintRowDelays(const BenchHost &host, const QMap<int, QDateTime> &dueAt,
                         const QDateTime &t0, qint64 mono0, int seconds)
{
    RowDelays out;
    std::printf("row  due       first frame after (s)\n");
    const double endS = seconds;
    double turn = -1e9;
    for (int r = 0; r < 100; ++r) {
        const double dueS = t0.msecsTo(dueAt[r]) / 1000.0;
        if (dueS >= endS)
            continue;
        turn = std::max(dueS, turn + kStartPaceS);
        const bool overflowRow = r >= 4 && r < 8;
        if (!host.firstNs.contains(r)) {
            if (overflowRow)
                out.overflowing << r + 1;
            else if (turn + kTurnSlackS > endS)
                out.waiting << r + 1;
            else
                out.missed << r + 1;
            continue;
        }
        const qint64 dueNs = mono0 + qint64(dueS * 1e9);
        const double d = double(host.firstNs[r] - dueNs) / 1e9;
        out.delays << d;
        out.fromTurn << d - (turn - dueS);
        if (d - (turn - dueS) > 1.0)
            out.late << r + 1;
        std::printf("%3d  %-8s  %.3f%s\n", r + 1, qPrintable(dueAt[r].time().toString("HH:mm:ss")),
                    d,
                    overflowRow   ? "  (from the overflow list)"
                    : turn > dueS ? "  (its turn came after the start before it)"
                                  : "");
    }
    return out;
}

} // namespace

int main(int argc, char **argv)
{
    // Keep the user's settings and files out of it.
    QTemporaryDir home;
    qputenv("HOME", home.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", (home.path() + "/config").toUtf8());
    const bench::Load before = bench::CurrentLoad();
    QCoreApplication app(argc, argv);
    const int seconds = argc > 1 ? std::max(20, atoi(argv[1])) : 120;
    SetProgramFolder(home.path());
    LangFile = home.path() + "/language.ini";

    RecordingSerialLink link;
    SetCommLink(&link);

    WriteBenchMacros(home.path());

    TimerTable table;
    table.setRowCount(100);
    BenchHost host;
    bool tableChanged = false;
    SchedulerEngine engine(table, host, tableChanged);

    const QDateTime t0 = WallNow();
    const qint64 mono0 = CurrentWaitClock().nowNs();
    const QDateTime base = t0.addMSecs(1000 - t0.time().msec()); // next whole second
    const QMap<int, QDateTime> dueAt = FillRows(table, base, seconds);

    EngineTimers timers(engine);
    // The due check ticks every 500 ms; where its ticks fall within the
    // second decides how soon after its second a row is seen.
    const int phase = timers.startDueCheck(argc > 2 ? atoi(argv[2]) % 500 : -1);
    std::printf("due check asked to tick at %d and %d ms after each second\n", phase, phase + 500);
    timers.sendBits.start(engine.queue.interval());

    int maxOverflow = 0;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        maxOverflow = std::max(maxOverflow, int(engine.overflow.entries().size()));
    });
    watch.start(1000);

    const qint64 cpu0 = cpuNs();
    QTimer::singleShot(seconds * 1000, &app, &QCoreApplication::quit);
    app.exec();
    const qint64 wallNs = CurrentWaitClock().nowNs() - mono0;
    const qint64 cpu = cpuNs() - cpu0;

    // Frames on the fake: 160 line changes each; their span is the time spent
    // clocking bits out.
    qint64 frameNs = 0;
    const int frames = int(link.changes.size() / 160);
    for (int f = 0; f < frames; ++f)
        frameNs += link.changes[f * 160 + 159].ns - link.changes[f * 160].ns;
    const QString bits = link.decodedBits();

    const RowDelays rowDelays = PrintRowDelays(host, dueAt, t0, mono0, seconds);
    QList<double> delays = rowDelays.delays;
    const QList<int> &missed = rowDelays.missed;
    const QList<int> &late = rowDelays.late;
    const bench::Load after = bench::CurrentLoad();
    // Rows 5-8 wait in the overflow list: their first frame comes only when a
    // slot frees, which 1000-s macros do not do within the run.
    std::sort(delays.begin(), delays.end());
    const double median = delays.isEmpty() ? 0 : delays[delays.size() / 2];
    std::sort(timers.tickPhases.begin(), timers.tickPhases.end());
    if (!timers.tickPhases.isEmpty())
        std::printf(
            "\ndue check ticks: %lld, phase (ms after a half second) min %d median %d max %d\n",
            qlonglong(timers.tickPhases.size()), timers.tickPhases.first(),
            timers.tickPhases[timers.tickPhases.size() / 2], timers.tickPhases.last());
    std::printf("\nstarted %lld of 100 rows (rows 5-8 waiting in the overflow list by design: %d "
                "entries at most)\n",
                qlonglong(delays.size()), maxOverflow);
    std::printf("still waiting their turn at the end (one start a second): %lld rows\n",
                qlonglong(rowDelays.waiting.size()));
    std::printf("delay due second -> first frame: min %.3f  median %.3f  max %.3f s\n",
                delays.isEmpty() ? 0 : delays.first(), median,
                delays.isEmpty() ? 0 : delays.last());
    QList<double> fromTurn = rowDelays.fromTurn;
    std::sort(fromTurn.begin(), fromTurn.end());
    if (!fromTurn.isEmpty())
        std::printf("delay its turn -> first frame:   min %.3f  median %.3f  max %.3f s\n",
                    fromTurn.first(), fromTurn[fromTurn.size() / 2], fromTurn.last());
    std::printf("over 1 s after their turn: %lld rows (%s)\n", qlonglong(late.size()),
                late.isEmpty() ? "ok" : bench::TimingText(bench::Judge(false, before)));
    for (int r : late)
        std::printf("  late row %d\n", r);
    std::printf("missed (their turn came within the run, never started): %lld rows (%s)\n",
                qlonglong(missed.size()), missed.isEmpty() ? "ok" : "FAULT");
    for (int r : missed)
        std::printf("  MISSED row %d\n", r);
    std::printf(
        "frames on the line: %d (%d from the send queue), %lld still queued; bad bits: %s\n",
        frames, timers.sentFrames, qlonglong(engine.queue.size()),
        bits.contains(u'?') ? "YES" : "none");
    std::printf("log entries %d, errors %d, closing patterns %d\n", host.logEntries, host.errors,
                host.returns);
    const double frameS = double(frameNs) / 1e9, wallS = double(wallNs) / 1e9,
                 cpuS = double(cpu) / 1e9;
    // The bit holds sleep most of each 0.5 ms and spin the rest, so the CPU
    // of the frames is part of the total; dividing the whole CPU by the time
    // outside frames is an upper bound of the CPU used outside them.
    std::printf("wall %.1f s, CPU %.2f s (%.2f%% of one core); %.2f s spent clocking bits out\n",
                wallS, cpuS, 100.0 * cpuS / wallS, frameS);
    std::printf("CPU outside frames: at most %.2f%% of one core\n",
                100.0 * cpuS / (wallS - frameS));
    std::printf("memory: RSS %lld kB, peak %lld kB\n", ResidentMemoryKiB(), PeakMemoryKiB());
    bench::PrintLoad("before", before);
    bench::PrintLoad("after", after);
    SetCommLink(nullptr);
    return missed.isEmpty() ? 0 : 1;
}
