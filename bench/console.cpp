// Starts the console headless on an empty program folder with the recording
// serial fake, presses a unit ON button 100 times and prints:
//   - the start-up time, from the process start (loading of the shared
//     libraries included) to the console loaded and its start finished,
//   - the time from mouse-down to the first line change (the 0.07 s wait
//     before every frame included),
//   - the resident memory after start-up (the help window never opened),
//   - the processor time used while the console sits idle (with the
//     scheduler's windows loaded, hidden, as the running program has them).
//
//   bench_console [idle seconds, default 60]
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

#include <QApplication>
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
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
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
    QApplication app(argc, argv);
    const int idleSeconds = argc > 1 ? std::max(1, atoi(argv[1])) : 60;

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
    std::sort(ms.begin(), ms.end());
    double sum = 0;
    for (double v : ms)
        sum += v;
    if (ms.empty()) {
        std::printf("mouse-down to first line change: no line changed\n");
    } else {
        std::printf("mouse-down to first line change over %zu presses: mean %.2f ms, median "
                    "%.2f ms, max %.2f ms (target <= 75 ms)\n",
                    ms.size(), sum / ms.size(), ms[ms.size() / 2], ms.back());
    }
    std::printf("start-up: %.0f ms from process start to the console loaded (%.0f ms before "
                "main)\n",
                startMs, mainStartMs);
    std::printf("resident memory after start-up, help window never opened: %.1f MB (target <= 80 "
                "MB)\n",
                rssKb / 1024.0);
    std::fflush(stdout);

    const double cpu0 = CpuSeconds();
    QElapsedTimer idle;
    idle.start();
    QTimer::singleShot(idleSeconds * 1000, &app, &QCoreApplication::quit);
    app.exec();
    const double cpu = CpuSeconds() - cpu0;
    const double wall = idle.elapsed() / 1000.0;
    std::printf(
        "processor time over %.0f idle seconds: %.3f s = %.2f%% of one core (target < 1%%)\n", wall,
        cpu, 100.0 * cpu / wall);

    AbortSend = true;
    delete window;
    CloseDataFile();
    return 0;
}
