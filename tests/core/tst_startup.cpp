#include "core/FileTypes.h"
#include "core/SingleInstance.h"
#include "core/Startup.h"
#include "logic/Cipher.h"
#include "logic/DataFile.h"
#include "logic/ErrorLog.h"
#include "logic/Globals.h"
#include "logic/ProgramFolder.h"
#include "logic/Settings.h"
#include "tests/support/Bounds.h"
#include "tests/support/FakeMainWindow.h"
#include "tests/support/FakeWaitClock.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TestEnv.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cstdio>
#include <vector>

#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace qelt;

namespace {

QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void touch(const QString &path)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
}

void noDesktopRefresh(const QString &, const QStringList &) {}

// Starts this test program again as a later start of the program, on a fake
// clock, with its own program folder, handing over macroPath.
void startLaterStart(QProcess &child, const QTemporaryDir &folder, const QString &macroPath)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QELT_HOME", folder.path());
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(),
                {"--as-later-start-on-fake-clock", macroPath});
}

// Starts this test program again as a later start of the console with
// the given command line, and waits for it to end while this process
// answers it.
int runLaterStart(const QStringList &arguments, const QString &programFolder,
                  const QString &workingFolder = {})
{
    QProcess child;
    if (!workingFolder.isEmpty())
        child.setWorkingDirectory(workingFolder);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QELT_HOME", programFolder);
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::ForwardedChannels);
    child.start(QCoreApplication::applicationFilePath(),
                QStringList{"--as-later-start"} + arguments);
    if (!child.waitForStarted(test::kChildMs))
        return -1;
    QElapsedTimer t;
    t.start();
    while (child.state() != QProcess::NotRunning && t.elapsed() < test::kChildMs) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, test::kPollMs);
        child.waitForFinished(test::kPollMs);
    }
    if (child.state() != QProcess::NotRunning) {
        child.kill();
        child.waitForFinished(test::kChildMs);
        return -2;
    }
    return child.exitStatus() == QProcess::NormalExit ? child.exitCode() : -3;
}

} // namespace

class StartupTest : public QObject {
    Q_OBJECT

    test::FakeMainWindow main;

    void runSteps(const QString &commandLine = {})
    {
        splashShown = false;
        StartupSequence steps(commandLine);
        steps.showSplash = [this] { splashShown = true; };
        steps.run();
        lastError = steps.lastErrorNumber();
    }
    int lastError = 0;
    bool splashShown = false;

private slots:
    void initTestCase() { SetDesktopRefreshRunner(noDesktopRefresh); }

    void init()
    {
        CloseDataFile();
        QFile::remove(SettingsFilePath());
        QFile::remove(InProgramFolder("db.zvd"));
        QFile::remove(InProgramFolder("language.ini"));
        QFile::remove(ErrorLogPath());
        AssocOn = false;
        SetMainWindow(nullptr);
        SetMainWindowFactory({});
        main.received.clear();
    }

    void cleanup() { CloseDataFile(); }

    void doSetDecidesTheAssociation_data()
    {
        QTest::addColumn<QString>("stored"); // "-": no value
        QTest::addColumn<bool>("assocOn");
        QTest::addColumn<QString>("rewritten");
        QTest::newRow("Yes") << "Yes" << true << "True";
        QTest::newRow("True") << "True" << true << "True";
        QTest::newRow("no value") << "-" << true << "True";
        QTest::newRow("yes in lower case") << "yes" << false << "False";
        QTest::newRow("No") << "No" << false << "False";
        QTest::newRow("False") << "False" << false << "False";
    }

    void doSetDecidesTheAssociation()
    {
        QFETCH(QString, stored);
        QFETCH(bool, assocOn);
        QFETCH(QString, rewritten);
        if (stored != "-")
            SaveSet("Macro", "DoSet", stored);
        runSteps();
        QCOMPARE(AssocOn, assocOn);
        QCOMPARE(GetSet("Macro", "DoSet"), rewritten);
    }

    void settingsAndFilesOfAStart()
    {
        SaveSet("Settings", "DLSavings", "1");
        QGuiApplication::setQuitOnLastWindowClosed(true);
        runSteps();
        QCOMPARE(lastError, 0);
        // Only the program's exit ends it, not the last window closing.
        QVERIFY(!QGuiApplication::quitOnLastWindowClosed());
        QCOMPARE(LangFile, InProgramFolder("language.ini"));
        QCOMPARE(ExePath, ProgramFolder());
        QCOMPARE(GetSet("Settings", "Language"), QString("English")); // no language file
        QCOMPARE(TimerCount, QString("6"));
        QCOMPARE(DLSavings, QString("1"));
        QCOMPARE(GetSet("Database16", "CurrentVersion"), QString("1.70.1050"));
        // The data file is created in the program folder and its path stored.
        QCOMPARE(DataFilePath, InProgramFolder("db.zvd"));
        QCOMPARE(GetSet("DataBase16", "DataFile"), InProgramFolder("db.zvd"));
        QVERIFY(QFile::exists(InProgramFolder("db.zvd")));
        QVERIFY(DataFileIsOpen());
        // The ".zvu" type is registered for this program.
        const QString data = qEnvironmentVariable("XDG_DATA_HOME");
        QVERIFY(QFile::exists(data + "/mime/packages/qelt-zvu.xml"));
        QVERIFY(!QFile::exists(ErrorLogPath()));
    }

    // A save killed in an earlier run left its temporary file; the start
    // removes it (and keeps the user's own files).
    void startRemovesTemporaryFilesOfKilledSaves()
    {
        const pid_t dead = ::fork();
        if (dead == 0)
            ::_exit(0);
        ::waitpid(dead, nullptr, 0);
        const QString stale = InProgramFolder(QStringLiteral(".tmrdat.zyv.qsave-%1-x1").arg(dead));
        touch(stale);
        touch(InProgramFolder("keep.qsave-notes.txt"));
        runSteps();
        QVERIFY(!QFile::exists(stale));
        QVERIFY(QFile::exists(InProgramFolder("keep.qsave-notes.txt")));
    }

    void languageFileFollowsTheStoredProgramPath()
    {
        QTemporaryDir other;
        SaveSet("Database16", "CurrentExePath", other.path());
        SaveSet("Settings", "Language", "French");
        touch(InProgramFolder("language.ini")); // in the program folder, but not the stored one
        runSteps();
        QCOMPARE(LangFile, other.path() + "/language.ini");
        QCOMPARE(ExePath, other.path());
        QCOMPARE(GetSet("Settings", "Language"), QString("English"));

        touch(other.path() + "/language.ini");
        SaveSet("Settings", "Language", "French");
        runSteps();
        QCOMPARE(GetSet("Settings", "Language"), QString("French"));
    }

    void dataFileInTheProgramFolderWins()
    {
        touch(InProgramFolder("db.zvd"));
        SaveSet("Database16", "DataFile", "/nowhere/else.zvd");
        runSteps();
        QCOMPARE(DataFilePath, InProgramFolder("db.zvd"));
        QCOMPARE(GetSet("Database16", "DataFile"), QString("/nowhere/else.zvd"));
        QVERIFY(DataFileIsOpen());
    }

    void storedDataFileIsUsedWhenNoneIsInTheProgramFolder()
    {
        QTemporaryDir other;
        const QString path = other.path() + "/mine.zvd";
        SaveSet("DATABASE16", "datafile", path);
        runSteps();
        QCOMPARE(DataFilePath, path);
        QVERIFY(QFile::exists(path));
        QVERIFY(!QFile::exists(InProgramFolder("db.zvd")));
        QCOMPARE(GetSet("Database16", "DataFile"), path);
    }

    // A step that fails is passed over and the failure is logged at the end.
    void failingStepIsLoggedAndTheRestRuns()
    {
        SaveSet("Database16", "DataFile", "/nonexistent-folder/db.zvd");
        runSteps();
        QCOMPARE(lastError, 75);
        QVERIFY(!DataFileIsOpen());
        QCOMPARE(GetSet("Database16", "CurrentVersion"), QString("1.70.1050"));
        QVERIFY(fileBytes(ErrorLogPath()).contains("Logged:"));
    }

    void commandLineGoesToTheMainWindowLast()
    {
        int loads = 0;
        SetMainWindowFactory([&]() -> MainWindowService * {
            ++loads;
            // The main window is loaded last: with the data file open, the
            // splash showing and the version stored.
            [&] {
                QVERIFY(DataFileIsOpen());
                QVERIFY(splashShown);
                QCOMPARE(GetSet("Database16", "CurrentVersion"), QString("1.70.1050"));
            }();
            return &main;
        });
        runSteps("/home/u/My Macros/night.cro");
        QCOMPARE(loads, 1);
        QCOMPARE(main.received, QStringList{"/home/u/My Macros/night.cro"});

        main.received.clear();
        SetMainWindow(nullptr);
        runSteps(); // no command line: the splash timer loads the window later
        QCOMPARE(loads, 1);
        QVERIFY(main.received.isEmpty());
    }

    void laterStartHandsOverAndEnds_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<QString>("storedHandle"); // "": the one the first instance stored
        // A relative path is handed over as the file it names from the
        // later start's working folder ("<cwd>").
        QTest::newRow("no arguments") << QStringList{} << "previous"
                                      << "";
        QTest::newRow("macro path with a blank")
            << QStringList{"/home/u/My Macros/lights on.cro"} << "/home/u/My Macros/lights on.cro"
            << "";
        QTest::newRow("stored number names no socket") << QStringList{"a.cro"} << "<cwd>/a.cro"
                                                       << "77594627";
        QTest::newRow("relative path in quotes, split at its blank")
            << QStringList{"\"./sub/my", "night.CRO\""} << "<cwd>/sub/my night.CRO"
            << "";
        QTest::newRow("relative uninstall file")
            << QStringList{"../unst.zvu"} << "<cwd-parent>/unst.zvu"
            << "";
        QTest::newRow("other text stays") << QStringList{"notes.txt"} << "notes.txt"
                                          << "";
    }

    void laterStartHandsOverAndEnds()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, expected);
        QFETCH(QString, storedHandle);
        SingleInstance first;
        QVERIFY(first.claim());
        QCOMPARE(GetSet("ActiveWindow", "Handle"), first.handle());
        QCOMPARE(CommandBoxHandle(), first.handle());
        if (!storedHandle.isEmpty())
            SaveSet("ActiveWindow", "Handle", storedHandle);
        SetMainWindow(&main);

        QTemporaryDir childFolder;
        QTemporaryDir workingParent;
        const QString working = workingParent.path() + "/later start";
        QVERIFY(QDir().mkpath(working));
        expected.replace("<cwd-parent>", workingParent.path()).replace("<cwd>", working);
        const QByteArray settingsBefore = fileBytes(SettingsFilePath());
        QCOMPARE(runLaterStart(arguments, childFolder.path(), working), 0);
        QCOMPARE(main.received, QStringList{expected});
        // The later start wrote no setting and opened no file.
        QCOMPARE(fileBytes(SettingsFilePath()), settingsBefore);
        QVERIFY(QDir(childFolder.path()).isEmpty());
    }

    // A text that arrives during the splash, before the main window
    // exists, waits for the window instead of being lost.
    void handOverWaitsForTheMainWindow()
    {
        SingleInstance first;
        QVERIFY(first.claim());
        QTemporaryDir childFolder;
        QCOMPARE(runLaterStart({}, childFolder.path()), 0);
        QCOMPARE(PendingCommandLines(), QStringList{"previous"});
        QVERIFY(main.received.isEmpty());
        SetMainWindow(&main);
        QTRY_COMPARE_WITH_TIMEOUT(main.received, QStringList{"previous"}, test::kStepMs);
        QVERIFY(PendingCommandLines().isEmpty());
    }

    void staleLockOfACrashedInstanceIsTakenOver()
    {
        {
            // Left empty: the lock names no owner.
            QFile empty(SingleInstance::lockFilePath());
            QVERIFY(empty.open(QIODevice::WriteOnly));
            empty.close();
            SingleInstance afterEmpty;
            QVERIFY(afterEmpty.claim());
        }

        QProcess crash;
        crash.start(QCoreApplication::applicationFilePath(), {"--claim-and-crash"});
        QVERIFY(crash.waitForFinished(test::kChildMs));
        QCOMPARE(crash.exitCode(), 3);
        QVERIFY(QFile::exists(SingleInstance::lockFilePath()));

        // The dead instance's socket is left behind; the next start removes
        // it, and only it: a socket of a running process stays.
        qint64 deadPid = 0;
        QString host, app;
        QVERIFY(QLockFile(SingleInstance::lockFilePath()).getLockInfo(&deadPid, &host, &app));
        const QString deadSocket = SingleInstance::socketPath(QString::number(deadPid));
        QVERIFY(QFileInfo::exists(deadSocket));
        QLocalServer living;
        const QString livingSocket = SingleInstance::socketPath(QString::number(getppid()));
        QVERIFY(living.listen(livingSocket));
        // An instance that ended but was not collected by its parent yet.
        const pid_t zombie = fork();
        if (zombie == 0)
            ::_exit(0);
        QVERIFY(zombie > 0);
        const QString zombieSocket = SingleInstance::socketPath(QString::number(zombie));
        touch(zombieSocket);
        QVERIFY(QTest::qWaitFor(
            [&] {
                return fileBytes("/proc/" + QByteArray::number(zombie) + "/stat").contains(") Z ");
            },
            test::kChildMs));

        SingleInstance next;
        QVERIFY(next.claim());
        waitpid(zombie, nullptr, 0);
        QVERIFY(!QFileInfo::exists(zombieSocket));
        QVERIFY(!QFileInfo::exists(deadSocket));
        QVERIFY(QFileInfo::exists(livingSocket));
        QVERIFY(QFileInfo::exists(SingleInstance::socketPath(next.handle())));
        SingleInstance another;
        QVERIFY(!another.claim());
    }

    // A later start whose hand-over is not answered says so, with a message
    // and an entry in the error log, within 10 seconds on its own clock, and
    // ends with a failure code, instead of ending as if all went well.
    void unansweredHandOverIsReported_data()
    {
        QTest::addColumn<QString>("listener"); // what answers on the instance's socket
        QTest::addColumn<double>("waitedAtLeast");
        QTest::newRow("accepts and never answers") << "silent" << 10.0;
        QTest::newRow("drops every connection") << "dropping" << 0.0;
        QTest::newRow("stale socket, nobody listens") << "stale" << 0.0;
    }

    void unansweredHandOverIsReported()
    {
        QFETCH(QString, listener);
        QFETCH(double, waitedAtLeast);
        // The running instance holds the lock; its socket is named by its
        // process number.
        QLockFile lock(SingleInstance::lockFilePath());
        QVERIFY(lock.tryLock(0));
        const QString handle = QString::number(QCoreApplication::applicationPid());
        SaveSet("ActiveWindow", "Handle", handle);
        const QString path = SingleInstance::socketPath(handle);
        QLocalServer server;
        if (listener == "stale") {
            const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
            sockaddr_un addr{};
            addr.sun_family = AF_UNIX;
            qstrncpy(addr.sun_path, QFile::encodeName(path).constData(), sizeof addr.sun_path);
            QCOMPARE(::bind(fd, reinterpret_cast<sockaddr *>(&addr), sizeof addr), 0);
            ::close(fd);
        } else {
            QVERIFY(server.listen(path));
            if (listener == "dropping") {
                connect(&server, &QLocalServer::newConnection, &server, [&server] {
                    while (QLocalSocket *s = server.nextPendingConnection()) {
                        s->abort();
                        s->deleteLater();
                    }
                });
            }
        }
        const auto removeSocket = qScopeGuard([&] {
            server.close();
            QFile::remove(path);
        });

        QTemporaryDir childFolder;
        QProcess child;
        startLaterStart(child, childFolder, "/home/u/porch light.cro");
        QVERIFY(child.waitForStarted(test::kChildMs));
        QTRY_COMPARE_WITH_TIMEOUT(child.state(), QProcess::NotRunning, test::kChildMs);
        QCOMPARE(child.exitStatus(), QProcess::NormalExit);
        const QString out = QString::fromUtf8(child.readAllStandardOutput());
        QCOMPARE(child.exitCode(), 1);
        QVERIFY2(out.contains("message: Orvendale | The program is already running but did not "
                              "answer within 10 seconds, so this was not handed over to "
                              "it:\r\n\r\n/home/u/porch light.cro\r\n"),
                 qPrintable(out));
        const double waited = out.section("waited ", 1).trimmed().toDouble();
        QVERIFY2(waited >= waitedAtLeast && waited <= 10.1, qPrintable(out));

        QFile log(childFolder.path() + "/error.log");
        QVERIFY(log.open(QIODevice::ReadOnly));
        // One entry: its time item, then its scrambled text item.
        const QByteArray entry = log.readAll();
        QVERIFY(entry.startsWith("\"\r\nLogged:  "));
        const qsizetype item = entry.indexOf("\"\r\n\"\t") + 5;
        QVERIFY(item > 5 && entry.endsWith("\"\r\n"));
        const QString text = Crypt(true, FromAnsi(entry.mid(item, entry.size() - 3 - item)));
        QCOMPARE(text, QStringLiteral("Error 5 (no answer from the running instance for "
                                      "/home/u/porch light.cro), SendToPrev on modX, X**"));
    }

    // A later start that gave up on a stalled instance has told its user the
    // text was not handed over: when the instance goes on, it does not act
    // on it after all.
    void handOverGivenUpIsNotActedOnLater()
    {
        SingleInstance first;
        QVERIFY(first.claim());
        SetMainWindow(&main);
        QTemporaryDir childFolder;
        QProcess child;
        startLaterStart(child, childFolder, "/home/u/late.cro");
        // This instance's event loop does not run meanwhile, as if it hung.
        QVERIFY(child.waitForFinished(test::kChildMs));
        QCOMPARE(child.exitCode(), 1);
        QVERIFY(child.readAllStandardOutput().contains("did not answer"));

        QTest::qWait(test::kNothingHappensMs);
        QVERIFY(main.received.isEmpty());
        QVERIFY(PendingCommandLines().isEmpty());
    }

    void handOverGivesUpWithoutAnAnswer()
    {
        test::FakeWaitClock clock;
        for (const char *handle : {"", "junk", "999999999"}) {
            SaveSet("ActiveWindow", "Handle", handle);
            const qint64 start = clock.now;
            QVERIFY(!HandOver("previous", 200));
            QVERIFY(clock.elapsedSeconds(start) < 5);
        }

        // An instance that takes the connection but never answers (hung in
        // a long handler) does not keep the later start waiting for ever.
        QLocalServer silent;
        QVERIFY(silent.listen(SingleInstance::socketPath("4242")));
        SaveSet("ActiveWindow", "Handle", "4242");
        const qint64 start = clock.now;
        QVERIFY(!HandOver("previous", 300));
        QVERIFY(clock.elapsedSeconds(start) >= 0.3);
        QVERIFY(clock.elapsedSeconds(start) < 5);
    }
};

int main(int argc, char **argv)
{
    // This program doubles as a later start of the console, and as an
    // instance that takes the lock and dies without releasing it.
    if (argc > 1 && qstrcmp(argv[1], "--as-later-start") == 0) {
        std::vector<char *> args{argv[0]};
        for (int i = 2; i < argc; ++i)
            args.push_back(argv[i]);
        return qelt::Main(int(args.size()), args.data());
    }
    // A later start on a clock of its own that moves only as it waits, with
    // its messages printed, and how long it waited.
    if (argc > 1 && qstrcmp(argv[1], "--as-later-start-on-fake-clock") == 0) {
        qelt::test::FakeWaitClock clock;
        qelt::test::ScriptedDialogs dialogs;
        dialogs.onInfo = [](const QString &sMsg, bool, bool, const QString &sTitle, const QString &,
                            bool) {
            std::printf("message: %s | %s\n", qPrintable(sTitle), qPrintable(sMsg));
        };
        qelt::SetDialogProvider(&dialogs);
        std::vector<char *> args{argv[0]};
        for (int i = 2; i < argc; ++i)
            args.push_back(argv[i]);
        const int code = qelt::Main(int(args.size()), args.data());
        std::printf("waited %.3f\n", clock.elapsedSeconds());
        return code;
    }
    if (argc > 1 && qstrcmp(argv[1], "--claim-and-crash") == 0) {
        QCoreApplication app(argc, argv);
        qelt::SingleInstance instance;
        if (!instance.claim())
            return 2;
        ::_exit(3);
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qelt::test::TestEnv env;
    QApplication app(argc, argv);
    StartupTest tc;
    return QTest::qExec(&tc, argc, argv);
}

#include "tst_startup.moc"
