// Starts the console headless on an empty program folder with the recording
// serial fake, presses a unit ON button 100 times and prints:
//   - the start-up time, from the process start (loading of the shared
//     libraries included) to the console loaded and its start finished,
//   - the time from mouse-down to the first line change (the 0.07 s wait
//     before every frame included),
//   - the resident memory after start-up (the help window never opened),
//   - the processor time used and the wake-ups of the main thread while the
//     console sits idle (with the scheduler's windows loaded, hidden, as the
//     running program has them), over several idle periods,
//   - the conditions: the load average and the window system used (the
//     offscreen platform unless QT_QPA_PLATFORM names another).
//
//   bench_console [idle seconds per period, default 60 [periods, default 3]]
#include "console/frmFire.h"
#include "core/services/SchedulerServices.h"
#include "logic/DataFile.h"
#include "logic/Globals.h"
#include "logic/ProgramFolder.h"
#include "logic/SerialLink.h"
#include "logic/Settings.h"
#include "logic/X10Codes.h"
#include "prefs/InstallPrefsWindows.h"
#include "scheduler/InstallScheduler.h"
#include "tests/support/PeakMemory.h"

#include "Conditions.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMouseEvent>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <sys/resource.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace qelt;

namespace {

// The recording fake, noting when the first line changes after a mark.
class TimingLink : public RecordingSerialLink {
public:
    QElapsedTimer clock;
    qint64 firstChangeNs = -1;
    void setRTSEnable(bool on) override
    {
        note();
        RecordingSerialLink::setRTSEnable(on);
    }
    void setDTREnable(bool on) override
    {
        note();
        RecordingSerialLink::setDTREnable(on);
    }

private:
    void note()
    {
        if (firstChangeNs < 0)
            firstChangeNs = clock.nsecsElapsed();
    }
};

// Milliseconds since the process started, counted from the kernel's start
// time of the process (10 ms steps), so that the loading of the shared
// libraries before main is included.
double MsSinceProcessStart()
{
    QFile stat(QStringLiteral("/proc/self/stat"));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray line = stat.readAll();
    // The fields after the command name, which is in parentheses.
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    const double startTicks = fields.value(19).toDouble(); // field 22 of the whole line
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    const double nowMs = now.tv_sec * 1e3 + now.tv_nsec / 1e6;
    return nowMs - startTicks * 1e3 / double(sysconf(_SC_CLK_TCK));
}

double CpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_utime.tv_usec / 1e6 + usage.ru_stime.tv_sec +
           usage.ru_stime.tv_usec / 1e6;
}

// Voluntary context switches so far: each is the thread going to sleep to
// be woken later. Of the main thread, or summed over all threads.
qint64 Wakeups(const QString &taskStatus)
{
    QFile f(taskStatus);
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith("voluntary_ctxt_switches:"))
            return line.mid(line.indexOf(':') + 1).trimmed().toLongLong();
    return 0;
}

qint64 MainThreadWakeups()
{
    return Wakeups(QStringLiteral("/proc/self/task/%1/status").arg(getpid()));
}

qint64 AllThreadsWakeups()
{
    qint64 sum = 0;
    for (const QString &tid :
         QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        sum += Wakeups(QStringLiteral("/proc/self/task/%1/status").arg(tid));
    return sum;
}

void Press(QWidget *button, QEvent::Type type)
{
    const QPointF at(button->width() / 2.0, button->height() / 2.0);
    QMouseEvent event(type, at, button->mapToGlobal(at), Qt::LeftButton,
                      type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                      Qt::NoModifier);
    QApplication::sendEvent(button, &event);
}

} // namespace

int main(int argc, char **argv)
{
    const double mainStartMs = MsSinceProcessStart();
    // Headless unless a platform is named. With DISPLAY set, the offscreen
    // platform connects to the X server and loads its OpenGL libraries, which
    // neither a headless run nor the program on a display does (about 55 MB
    // more resident memory): a headless run leaves the display alone. To
    // measure on a display, name the platform (QT_QPA_PLATFORM=xcb).
    const QByteArray display = qgetenv("DISPLAY");
    bool displayIgnored = false;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        displayIgnored = !display.isEmpty();
        qunsetenv("DISPLAY");
        qunsetenv("WAYLAND_DISPLAY");
    }
    QTemporaryDir root;
    for (const char *sub : {"home", "config", "data", "runtime", "program"})
        QDir(root.path()).mkpath(QLatin1String(sub));
    QFile::setPermissions(root.path() + "/runtime",
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("HOME", (root.path() + "/home").toUtf8());
    qputenv("XDG_CONFIG_HOME", (root.path() + "/config").toUtf8());
    qputenv("XDG_DATA_HOME", (root.path() + "/data").toUtf8());
    qputenv("XDG_RUNTIME_DIR", (root.path() + "/runtime").toUtf8());
    qputenv("QELT_FAKE_SERIAL", "1");
    const bench::Load before = bench::CurrentLoad();
    QApplication app(argc, argv);
    const int idleSeconds = argc > 1 ? std::max(1, atoi(argv[1])) : 60;
    const int periods = argc > 2 ? std::max(1, atoi(argv[2])) : 3;
    bench::PrintLoad("before", before);
    std::printf("window system: platform \"%s\"; DISPLAY %s%s%s\n",
                qPrintable(QGuiApplication::platformName()), display.isEmpty() ? "unset" : "",
                display.constData(),
                displayIgnored ? " ignored (headless run)"
                : !display.isEmpty() && QGuiApplication::platformName() == "offscreen"
                    ? " used by the offscreen platform for OpenGL (memory is not the program's)"
                    : "");

    // An empty program folder; the port number is the only record set, so
    // that the start opens the (fake) port instead of asking for one.
    SetProgramFolder(root.path() + "/program");
    ExePath = ProgramFolder();
    LangFile = InProgramFolder(QStringLiteral("language.ini"));
    SetHouseCodes();
    SetUnitCodes();
    OpenDataFile(InProgramFolder(QStringLiteral("db.zvd")));
    PutRec(270, QStringLiteral("1"));
    PutRec(282, QStringLiteral("benchmark")); // no desktop shortcut
    // The weekly update check answered "No" as on any day after the first
    // start: the first start's modal question would otherwise open half a
    // minute into the idle time, and the periods would measure that instead.
    SaveSet(QStringLiteral("Settings"), QStringLiteral("ChkForUpdts"), QStringLiteral("0"));

    // The scheduler's windows as the program has them: the timer log window
    // is loaded by the console's start, the timers window by its clock.
    InstallScheduler();
    // The help service as the program has it, so that the web engine's
    // library is loaded as in the program (the window is made only when help
    // opens, which never happens here).
    InstallPrefsWindows();
    TimingLink link;
    auto *window = new frmFire(&link);
    SetMainWindow(window);
    window->Form_Load();
    QElapsedTimer wait;
    wait.start();
    while (wait.elapsed() < 700) // the start's continuation runs after 500 ms
        app.processEvents(QEventLoop::AllEvents, 20);
    if (TimersService *timers = Timers())
        timers->ensureLoaded();
    const qint64 rssKb = test::ResidentMemoryKiB();
    // The 700 ms spent waiting for the start's continuation are not start-up work.
    const double startMs = MsSinceProcessStart() - wait.elapsed();

    std::vector<double> ms;
    link.clock.start();
    for (int i = 0; i < 100; ++i) {
        QPushButton *button = window->cmdON[i % 8];
        link.firstChangeNs = -1;
        const qint64 down = link.clock.nsecsElapsed();
        Press(button, QEvent::MouseButtonPress);
        if (link.firstChangeNs >= 0)
            ms.push_back((link.firstChangeNs - down) / 1e6);
        Press(button, QEvent::MouseButtonRelease);
        app.processEvents();
    }
    if (ms.empty()) {
        std::printf("mouse-down to first line change: no line changed (FAULT)\n");
    } else {
        const bench::Spread p = bench::SpreadOf(ms);
        double sum = 0;
        for (double v : ms)
            sum += v;
        std::printf("mouse-down to first line change over %zu presses: min %.2f  mean %.2f  median "
                    "%.2f  max %.2f ms; target median <= 75 ms: %s\n",
                    ms.size(), p.min, sum / ms.size(), p.median, p.max,
                    bench::TimingText(bench::Judge(p.median <= 75, before)));
    }
    std::printf("start-up: %.0f ms from process start to the console loaded (%.0f ms before "
                "main)\n",
                startMs, mainStartMs);
    std::printf("resident memory after start-up, help window never opened: %.1f MB (target <= 80 "
                "MB: %s)\n",
                rssKb / 1024.0, rssKb <= 80 * 1024 ? "ok" : "MISSED");
    std::fflush(stdout);

    // One run of the event loop for all periods: leaving it ends the program
    // (the console shuts down when the application is about to quit), so
    // each period is measured from inside it.
    std::vector<double> cpuPercent, mainWakes, allWakes;
    double cpu0 = CpuSeconds();
    qint64 main0 = MainThreadWakeups(), all0 = AllThreadsWakeups();
    QElapsedTimer idle;
    idle.start();
    QTimer period;
    period.setInterval(idleSeconds * 1000);
    QObject::connect(&period, &QTimer::timeout, &app, [&] {
        const double cpu = CpuSeconds() - cpu0;
        const double wall = idle.restart() / 1000.0;
        const qint64 main1 = MainThreadWakeups(), all1 = AllThreadsWakeups();
        cpuPercent.push_back(100.0 * cpu / wall);
        mainWakes.push_back((main1 - main0) / wall);
        allWakes.push_back((all1 - all0) / wall);
        std::printf("idle period %zu, %.0f s: processor %.3f s = %.3f%% of one core; wake-ups a "
                    "second: main thread %.1f, all threads %.1f\n",
                    cpuPercent.size(), wall, cpu, cpuPercent.back(), mainWakes.back(),
                    allWakes.back());
        std::fflush(stdout);
        if (int(cpuPercent.size()) == periods)
            app.quit();
        cpu0 = CpuSeconds();
        main0 = MainThreadWakeups();
        all0 = AllThreadsWakeups();
    });
    period.start();
    app.exec();
    const bench::Spread c = bench::SpreadOf(cpuPercent);
    const bench::Spread m = bench::SpreadOf(mainWakes);
    const bench::Spread a = bench::SpreadOf(allWakes);
    const bench::Load after = bench::CurrentLoad();
    std::printf("idle over %d periods of %d s (min / median / max):\n", periods, idleSeconds);
    std::printf("  processor      %.3f / %.3f / %.3f %% of one core; target < 0.2%%: %s\n", c.min,
                c.median, c.max, bench::TimingText(bench::Judge(c.median < 0.2, before)));
    std::printf("  wake-ups a second, main thread  %.1f / %.1f / %.1f\n", m.min, m.median, m.max);
    std::printf("  wake-ups a second, all threads  %.1f / %.1f / %.1f\n", a.min, a.median, a.max);
    const qint64 rssEndKb = test::ResidentMemoryKiB();
    std::printf("resident memory after the idle periods: %.1f MB (target <= 80 MB: %s)\n",
                rssEndKb / 1024.0, rssEndKb <= 80 * 1024 ? "ok" : "MISSED");
    bench::PrintLoad("after", after);

    AbortSend = true;
    delete window;
    CloseDataFile();
    return 0;
}
