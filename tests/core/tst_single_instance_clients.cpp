#include "core/SingleInstance.h"
#include "core/Startup.h"
#include "logic/Settings.h"
#include "tests/support/Bounds.h"
#include "tests/support/FakeMainWindow.h"
#include "tests/support/TestEnv.h"

#include "tests/support/ScriptedDialogs.h"

#include <QDir>
#include <QLocalSocket>
#include <QProcess>
#include <QtEndian>
#include <QtTest>

#include <atomic>
#include <cstdio>
#include <deque>
#include <memory>
#include <thread>
#include <vector>

#include <sched.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

using namespace qelt;

namespace {

// The flood: threads that open connections to the socket as fast as it
// takes them, each sending only part of a message (nothing, half a length,
// or a length and part of its text) and holding it open, as a hung or
// hostile client would. Prints the number of connections made so far every
// 20 ms. Runs until it is killed.
int runFlood(const char *path, int threads)
{
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::snprintf(addr.sun_path, sizeof addr.sun_path, "%s", path);
    std::atomic<long> made{0};
    for (int t = 0; t < threads; ++t) {
        std::thread([&addr, &made, t] {
            static const char partial[] = "\0\0\0\x14half";
            std::deque<int> held;
            for (long k = t;; ++k) {
                const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
                if (fd < 0)
                    continue;
                if (::connect(fd, reinterpret_cast<const sockaddr *>(&addr), sizeof addr) != 0) {
                    ::close(fd);
                    continue;
                }
                const size_t sizes[] = {0, 2, sizeof partial - 1};
                if (const size_t n = sizes[k % 3])
                    (void)!::send(fd, partial, n, MSG_NOSIGNAL);
                held.push_back(fd);
                if (held.size() > 48) {
                    ::close(held.front());
                    held.pop_front();
                }
                ++made;
            }
        }).detach();
    }
    for (;;) {
        std::printf("%ld\n", made.load());
        std::fflush(stdout);
        ::usleep(20'000);
    }
}

// Connects and sends a whole message, then opens 40 connections that send
// only half a length, all before the instance has accepted any of them.
// Prints "ready", then waits for the answer to the whole message and prints
// "answered" or "dropped".
int runBehind(const char *path, const char *text)
{
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::snprintf(addr.sun_path, sizeof addr.sun_path, "%s", path);
    const auto open = [&addr] {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        return ::connect(fd, reinterpret_cast<const sockaddr *>(&addr), sizeof addr) == 0 ? fd : -1;
    };
    const int real = open();
    const QByteArray body(text);
    QByteArray message(4, '\0');
    qToBigEndian<quint32>(quint32(body.size()), message.data());
    message += body;
    if (real < 0 ||
        ::send(real, message.constData(), size_t(message.size()), MSG_NOSIGNAL) != message.size())
        return 2;
    std::vector<int> half;
    for (int i = 0; i < 40; ++i) {
        const int fd = open();
        if (fd < 0 || ::send(fd, "\0\0", 2, MSG_NOSIGNAL) != 2)
            return 2;
        half.push_back(fd);
    }
    std::printf("ready\n");
    std::fflush(stdout);
    const timeval wait{test::kStepMs / 1000, 0};
    ::setsockopt(real, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
    char answer = 0;
    std::printf(::recv(real, &answer, 1, 0) == 1 && answer == '1' ? "answered\n" : "dropped\n");
    return 0;
}

// A later start of the console, in its own process: the program's start
// with the dialogs scripted, so a message it shows is printed instead of
// waiting for a click. It shares its processor with the flood's four
// threads at the same priority, so the flood runs many times between its
// steps; a lower priority would let other load on the machine starve it.
int runLaterStart(int argc, char **argv)
{
    test::ScriptedDialogs dialogs;
    dialogs.onInfo = [](const QString &sMsg, bool, bool, const QString &sTitle, const QString &,
                        bool) {
        std::printf("message: %s | %s\n", qPrintable(sTitle), qPrintable(sMsg));
        std::fflush(stdout);
    };
    SetDialogProvider(&dialogs);
    std::vector<char *> args{argv[0]};
    for (int i = 2; i < argc; ++i)
        args.push_back(argv[i]);
    return qelt::Main(int(args.size()), args.data());
}

} // namespace

// Connections to the hand-over socket that never finish their message (or
// arrive by the hundred) must not pile up in the console: they are dropped
// after a while, only a few are held at once, and a real hand-over still
// gets through.
class SingleInstanceClientsTest : public QObject {
    Q_OBJECT

    test::FakeMainWindow main;

    static QByteArray message(const QByteArray &text)
    {
        QByteArray m(4, '\0');
        qToBigEndian<quint32>(quint32(text.size()), m.data());
        return m + text;
    }

    static int openDescriptors()
    {
        return int(QDir(QStringLiteral("/proc/self/fd"))
                       .entryList(QDir::NoDotAndDotDot | QDir::System)
                       .size());
    }

    // Runs a later start that hands text over; its exit code, and what it
    // printed (the messages it showed) in output.
    static int laterStart(const QString &text, QString *output)
    {
        QTemporaryDir folder;
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QELT_HOME", folder.path());
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(), {"--as-later-start", text});
        if (!child.waitForStarted(test::kChildMs))
            return -1;
        QElapsedTimer t;
        t.start();
        // This process is the running instance: it answers while it waits.
        while (child.state() != QProcess::NotRunning && t.elapsed() < test::kChildMs) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, test::kPollMs);
            child.waitForFinished(test::kPollMs);
        }
        if (child.state() != QProcess::NotRunning) {
            child.kill();
            child.waitForFinished(test::kChildMs);
            return -2;
        }
        *output = QString::fromLocal8Bit(child.readAllStandardOutput());
        return child.exitStatus() == QProcess::NormalExit ? child.exitCode() : -3;
    }

private slots:
    void init() { alarm(120); }
    void cleanup()
    {
        SetMainWindow(nullptr);
        alarm(0);
    }

    void idleAndHalfSentClientsAreDroppedAndBounded()
    {
        SingleInstance first;
        QVERIFY(first.claim());
        first.setClientLimits(4, 300);
        SetMainWindow(&main);
        const QString path = SingleInstance::socketPath(first.handle());
        const int fdsBefore = openDescriptors();

        std::vector<std::unique_ptr<QLocalSocket>> idle;
        for (int i = 0; i < 60; ++i) {
            auto s = std::make_unique<QLocalSocket>();
            s->connectToServer(path);
            QVERIFY(s->waitForConnected(test::kStepMs));
            // Some send only part of the length, some a length and no text.
            if (i % 3 == 1)
                s->write("\0\0", 2);
            else if (i % 3 == 2)
                s->write(message("never.cro").left(6));
            s->flush();
            idle.push_back(std::move(s));
            QCoreApplication::processEvents();
        }
        QTRY_VERIFY_WITH_TIMEOUT(first.clientCount() <= 4, test::kStepMs);

        // A whole message still gets through at once, flood or not.
        QLocalSocket real;
        real.connectToServer(path);
        QVERIFY(real.waitForConnected(test::kStepMs));
        real.write(message("/home/u/lights on.cro"));
        real.flush();
        QTRY_COMPARE_WITH_TIMEOUT(main.received, QStringList{"/home/u/lights on.cro"},
                                  test::kStepMs);
        QTRY_VERIFY_WITH_TIMEOUT(real.bytesAvailable() > 0, test::kStepMs);
        QCOMPARE(real.read(1), QByteArray("1"));

        // The idle ones are gone after the time limit, and their handles
        // with them (the test's own ends are closed too).
        QTRY_COMPARE_WITH_TIMEOUT(first.clientCount(), 0, test::kStepMs);
        for (auto &s : idle)
            QTRY_VERIFY_WITH_TIMEOUT(s->state() == QLocalSocket::UnconnectedState, test::kStepMs);
        idle.clear();
        real.abort();
        QTRY_VERIFY_WITH_TIMEOUT(openDescriptors() <= fdsBefore + 1, test::kStepMs);
    }

    // A whole message is taken even when half-sent connections arrive right
    // behind it and there is room for only one unfinished connection: it is
    // read as it is accepted, and never dropped to make room.
    void wholeMessageIsNeverDroppedToMakeRoom()
    {
        SingleInstance first;
        QVERIFY(first.claim());
        first.setClientLimits(1, 5000);
        SetMainWindow(&main);
        main.received.clear();
        QProcess behind;
        // This process does not run its event loop until all of them wait
        // to be accepted.
        behind.start(
            QCoreApplication::applicationFilePath(),
            {"--behind", SingleInstance::socketPath(first.handle()), "/home/u/first in line.cro"});
        QVERIFY(behind.waitForReadyRead(test::kChildMs));
        QCOMPARE(behind.readLine(), QByteArray("ready\n"));
        QTRY_COMPARE_WITH_TIMEOUT(behind.state(), QProcess::NotRunning, test::kChildMs);
        QCOMPARE(behind.readAll(), QByteArray("answered\n"));
        QCOMPARE(main.received, QStringList{"/home/u/first in line.cro"});
        QTRY_VERIFY_WITH_TIMEOUT(first.clientCount() <= 1, test::kStepMs);
    }

    // Real later starts, each in its own process, hand their command line
    // over while another process floods the socket with connections that
    // never finish their message: every one is answered, its text arrives,
    // in order, and the later start shows nothing. The instance, the flood
    // and the later starts share one processor, as on a busy machine.
    void handOversAreAnsweredDuringAFlood()
    {
        alarm(600);
        cpu_set_t all;
        QCOMPARE(sched_getaffinity(0, sizeof all, &all), 0);
        cpu_set_t one;
        CPU_ZERO(&one);
        CPU_SET(sched_getcpu(), &one);
        QCOMPARE(sched_setaffinity(0, sizeof one, &one), 0);
        const auto restore = qScopeGuard([&] { sched_setaffinity(0, sizeof all, &all); });

        SingleInstance first;
        QVERIFY(first.claim());
        SetMainWindow(&main);
        main.received.clear();

        QProcess flood;
        long made = 0;
        connect(&flood, &QProcess::readyReadStandardOutput, this, [&] {
            while (flood.canReadLine())
                made = flood.readLine().trimmed().toLong();
        });
        flood.start(QCoreApplication::applicationFilePath(),
                    {"--flood", SingleInstance::socketPath(first.handle())});
        QVERIFY(flood.waitForStarted(test::kChildMs));
        QTRY_VERIFY_WITH_TIMEOUT(made > 2000, test::kChildMs);

        QStringList sent;
        for (int i = 0; i < 10; ++i) {
            const long before = made;
            const QString text = QStringLiteral("/home/u/flood night %1.cro").arg(i);
            QString output;
            const int exitCode = laterStart(text, &output);
            sent << text;
            QVERIFY2(exitCode == 0 && main.received == sent,
                     qPrintable(QStringLiteral("hand-over %1: exit %2, received [%3], shown %4")
                                    .arg(i)
                                    .arg(exitCode)
                                    .arg(main.received.join(QStringLiteral(", ")), output)));
            QCOMPARE(output, QString());
            QVERIFY(made > before); // the flood went on during the hand-over
        }
        QCOMPARE(flood.state(), QProcess::Running);
        flood.kill();
        flood.waitForFinished(test::kChildMs);
    }
};

int main(int argc, char **argv)
{
    // This program doubles as the flood and as a later start of the console.
    if (argc > 2 && qstrcmp(argv[1], "--flood") == 0)
        return runFlood(argv[2], 4);
    if (argc > 3 && qstrcmp(argv[1], "--behind") == 0)
        return runBehind(argv[2], argv[3]);
    if (argc > 1 && qstrcmp(argv[1], "--as-later-start") == 0)
        return runLaterStart(argc, argv);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qelt::test::TestEnv env;
    qelt::ResetGlobals();
    QApplication app(argc, argv);
    SingleInstanceClientsTest tc;
    return QTest::qExec(&tc, argc, argv);
}
#include "tst_single_instance_clients.moc"
