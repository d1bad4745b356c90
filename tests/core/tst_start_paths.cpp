// Starts the installed programs the way each desktop entry, the updater's
// restart and a plain start do, each as its own process, and checks that
// every one of them works on the same program folder.
#include "core/FileTypes.h"
#include "core/Shortcuts.h"
#include "core/SingleInstance.h"
#include "logic/ProgramFolder.h"
#include "logic/Settings.h"
#include "platform/DesktopEntry.h"
#include "tests/support/Bounds.h"
#include "tests/support/FileBytes.h"
#include "tests/support/TestEnv.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <memory>
#include <signal.h>

using namespace qelt;

namespace {

QString dataHome()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
}
QString configHome()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
}

// The environment of a desktop session of the test's user: the test's own
// HOME and XDG folders, no QELT_HOME, no screen, no transmitter.
QProcessEnvironment sessionEnvironment()
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("QELT_HOME");
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("QELT_FAKE_SERIAL", "1");
    env.insert("QT_LOGGING_RULES", "qt.multimedia*=false");
    return env;
}

bool install(const QString &prefix)
{
    QProcess cmake;
    cmake.start(QStringLiteral(QELT_CMAKE_COMMAND),
                {"--install", QStringLiteral(QELT_BUILD_DIR), "--prefix", prefix});
    if (!cmake.waitForFinished(test::kInstallMs) || cmake.exitCode() != 0) {
        qWarning("%s", cmake.readAllStandardError().constData());
        return false;
    }
    return true;
}

QStringList execOf(const QString &entryPath)
{
    DesktopEntry e;
    if (!e.read(entryPath))
        return {};
    return SplitExecLine(e.value("Exec"));
}

// The arguments a running process was started with.
QStringList processArguments(qint64 pid)
{
    QFile f("/proc/" + QString::number(pid) + "/cmdline");
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QStringList args;
    for (const QByteArray &arg : f.readAll().split('\0'))
        args << QFile::decodeName(arg);
    return args;
}

// Polls until done() holds or the time is up, letting this process's events run.
template <typename Done> bool waitFor(Done done, int timeoutMs = test::kChildMs)
{
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, test::kPollMs);
        QTest::qSleep(test::kPollMs);
    }
    return true;
}

} // namespace

class StartPathsTest : public QObject {
    Q_OBJECT

    std::vector<std::unique_ptr<QProcess>> m_started;

    // Starts a command line as a desktop does: the program named first, the
    // file given for a %f field (dropped when there is none), from another
    // working folder.
    QProcess *startCommand(QStringList args, const QString &file, const QString &workingFolder)
    {
        for (QString &a : args)
            if (a == "%f")
                a = file;
        args.removeAll(QString());
        auto p = std::make_unique<QProcess>();
        p->setProcessEnvironment(sessionEnvironment());
        p->setWorkingDirectory(workingFolder);
        p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p->setStandardOutputFile(QProcess::nullDevice());
        const QString program = args.takeFirst();
        p->start(program, args);
        m_started.push_back(std::move(p));
        return m_started.back().get();
    }

    // The process that holds the single-instance lock (a console started by
    // the updater is none of this test's children).
    static qint64 runningConsole()
    {
        qint64 pid = 0;
        QString host, app;
        QLockFile lock(SingleInstance::lockFilePath());
        if (!lock.getLockInfo(&pid, &host, &app) || pid <= 0 || ::kill(pid_t(pid), 0) != 0)
            return 0;
        return pid;
    }

    // Ends every console this test started, so that the next start is a
    // first start again.
    void stopAll()
    {
        for (auto &p : m_started) {
            if (p->state() != QProcess::NotRunning) {
                p->kill();
                p->waitForFinished(test::kChildMs);
            }
        }
        m_started.clear();
        if (const qint64 pid = runningConsole()) {
            const QString exe = QFileInfo("/proc/" + QString::number(pid) + "/exe").symLinkTarget();
            if (exe.startsWith(m_dir.path()))
                ::kill(pid_t(pid), SIGKILL);
            waitFor([pid] { return ::kill(pid_t(pid), 0) != 0; }, test::kChildMs);
        }
    }

    // Runs one start and waits until its start-up has run: every start
    // stores the version, which the test has cleared before.
    bool startAndWait(const QStringList &command, const QString &file, const QString &working)
    {
        SaveSet("Database16", "CurrentVersion", "0");
        QProcess *p = startCommand(command, file, working);
        if (!p->waitForStarted(test::kChildMs))
            return false;
        return waitFor([] { return GetSet("Database16", "CurrentVersion") == "1.70.1050"; });
    }

    QTemporaryDir m_dir;

private slots:
    void cleanup() { stopAll(); }

    void installKeepsWhatTheProgramChanged()
    {
        const QString folder = m_dir.path() + "/kept";
        QVERIFY(install(folder));
        QVERIFY(QFileInfo(folder + "/Qelt").isExecutable());
        QVERIFY(!QFileInfo(folder + "/Qelt").isSymLink());
        QVERIFY(QFileInfo(folder + "/update").isExecutable());
        for (const char *name :
             {"language.ini", "English.lan", "zyvHelp.html", "click.wav", "images/lamp_lit.png"})
            QVERIFY2(QFileInfo::exists(folder + "/" + name), name);
        QVERIFY(!QFileInfo::exists(folder + "/make_resources.py"));

        // The language switch rewrote language.ini; the program wrote its
        // data file. A second install keeps both.
        QVERIFY(test::WriteBytes(folder + "/language.ini", "[Labels & Captions]\nOK=Gut\n"));
        QVERIFY(test::WriteBytes(folder + "/db.zvd", "records"));
        QVERIFY(test::WriteBytes(folder + "/English.lan", "old"));
        QVERIFY(install(folder));
        QCOMPARE(test::ReadBytes(folder + "/language.ini"),
                 QByteArray("[Labels & Captions]\nOK=Gut\n"));
        QCOMPARE(test::ReadBytes(folder + "/db.zvd"), QByteArray("records"));
        QVERIFY(test::ReadBytes(folder + "/English.lan") != "old"); // shipped files are renewed
    }

    // The first start writes the desktop shortcut and the file-type
    // entries (the preferences page writes the start-at-login entry through
    // the same function); each entry, the updater's restart and a start by
    // path then run on the program folder of the first start.
    void everyStartFindsTheSameProgramFolder_data()
    {
        QTest::addColumn<bool>("withHome");
        QTest::newRow("installed folder") << false;
        QTest::newRow("QELT_HOME elsewhere") << true;
    }

    void everyStartFindsTheSameProgramFolder()
    {
        QFETCH(bool, withHome);
        const QString tag = withHome ? "home" : "installed";
        const QString installed = m_dir.path() + "/" + tag + "/program folder";
        QVERIFY(install(installed));
        // Another program folder holds the shipped files, but not the
        // programs: they stay where they were installed.
        const QString folder = withHome ? m_dir.path() + "/" + tag + "/my $files" : installed;
        if (withHome) {
            QVERIFY(install(folder));
            QVERIFY(QFile::remove(folder + "/Qelt") && QFile::remove(folder + "/update"));
        }
        const QString elsewhere = m_dir.path() + "/" + tag + "/elsewhere";
        QVERIFY(QDir().mkpath(elsewhere + "/sub"));
        const QString macro = elsewhere + "/sub/night.cro";
        QVERIFY(test::WriteBytes(macro, "\"0110000000000000001\"\r\n"));
        const QString uninstall = elsewhere + "/unst.zvu";
        QVERIFY(test::WriteBytes(uninstall, ""));
        const QString program = installed + "/Qelt";
        const QString desk = DeskLinkPath();
        const QString croEntry = dataHome() + "/applications/qelt-cro.desktop";
        const QString zvuEntry = dataHome() + "/applications/qelt-zvu.desktop";
        const QString autostart = configHome() + "/autostart/Orvendale.desktop";
        for (const QString &path : {desk, croEntry, zvuEntry, autostart, SettingsFilePath()})
            QFile::remove(path); // a new user

        QStringList first{program};
        if (withHome)
            first = QStringList{"env", "QELT_HOME=" + folder} + first;
        QVERIFY(startAndWait(first, {}, elsewhere));
        QVERIFY(waitFor([&] {
            return QFileInfo::exists(desk) && QFileInfo::exists(croEntry) &&
                   QFileInfo::exists(zvuEntry);
        }));
        stopAll();
        {
            SetProgramExePath(program);
            if (withHome)
                qputenv("QELT_HOME", folder.toUtf8());
            RemoveStartup("Orvendale");
            AddStartup("Orvendale");
            qunsetenv("QELT_HOME");
            SetProgramExePath({});
        }
        QCOMPARE(GetSet("Database16", "CurrentExePath"), folder);
        const QString dataFile = GetSet("Database16", "DataFile");
        QVERIFY(QFileInfo::exists(folder + "/db.zvd"));
        const QString language = GetSet("Settings", "Language");

        struct Start {
            const char *name;
            QStringList command;
            QString file;
        };
        const std::vector<Start> starts{
            {"desktop shortcut", execOf(desk), {}},
            {"start at login", execOf(autostart), {}},
            {".cro opened", execOf(croEntry), macro},
            {".zvu opened", execOf(zvuEntry), uninstall},
            // As the console starts it for a restart: with its own environment.
            {"updater restart",
             withHome ? QStringList{"env", "QELT_HOME=" + folder, installed + "/update", "restart"}
                      : QStringList{installed + "/update", "restart"},
             {}},
        };
        for (const Start &s : starts) {
            QVERIFY2(!s.command.isEmpty(), s.name);
            // The entry names the installed program file itself.
            QCOMPARE(QFileInfo(ExecProgram(s.command)).absolutePath(), installed);
            QVERIFY2(startAndWait(s.command, s.file, elsewhere + "/sub"), s.name);
            if (!s.file.isEmpty()) {
                // The entry hands the file over, and the program got it.
                QVERIFY2(s.command.contains("%f"), s.name);
                QVERIFY2(processArguments(runningConsole()).contains(s.file), s.name);
            }
            QVERIFY2(GetSet("Database16", "CurrentExePath") == folder, s.name);
            QCOMPARE(GetSet("Database16", "DataFile"), dataFile);
            QCOMPARE(GetSet("Settings", "Language"), language);
            stopAll();
        }
        // Nothing was made in the folder the programs lie in.
        if (withHome) {
            QVERIFY(!QFileInfo::exists(installed + "/db.zvd"));
            QVERIFY(!QFileInfo::exists(installed + "/tmrdat.zyv"));
        }
    }
};

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qelt::test::TestEnv env;
    QApplication app(argc, argv);
    StartPathsTest tc;
    return QTest::qExec(&tc, argc, argv);
}

#include "tst_start_paths.moc"
