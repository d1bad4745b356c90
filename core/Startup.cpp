#include "core/Startup.h"

#include "core/Dialogs.h"
#include "core/FileDrops.h"
#include "core/FileTypes.h"
#include "core/SingleInstance.h"
#include "core/Splash.h"
#include "core/services/ConsoleServices.h"
#include "logic/DataFile.h"
#include "logic/ErrorLog.h"
#include "logic/FileHelpers.h"
#include "logic/Globals.h"
#include "logic/ProgramFolder.h"
#include "logic/SafeSave.h"
#include "logic/Settings.h"
#include "logic/X10Codes.h"

#include "Version.h"

#include <QApplication>
#include <QDir>

#include <exception>

namespace qelt {

namespace {

constexpr const char *kProcName = "Sub Main";
constexpr const char *kModuleName = "modX, X**";

} // namespace

QString VersionText()
{
    return QStringLiteral("%1.%2.%3")
        .arg(QELT_VERSION_MAJOR)
        .arg(QELT_VERSION_MINOR)
        .arg(QELT_VERSION_REVISION);
}

QString CommandLineText(const QStringList &arguments)
{
    return arguments.mid(1).join(' ');
}

QString AbsoluteCommandLine(const QString &commandLine, const QString &workingFolder)
{
    // The receiving window drops every double quote before it looks at the
    // text, so the path is the text without them.
    const QString path = QString(commandLine).remove('"');
    const QString tail = path.right(4).toLower();
    if (path.isEmpty() || QDir::isAbsolutePath(path) || (tail != ".cro" && tail != ".zvu"))
        return commandLine;
    return QDir::cleanPath(QDir(workingFolder).absoluteFilePath(path));
}

bool SendToPrev(const QString &commandLine)
{
    const QString text = commandLine.isEmpty() ? QStringLiteral("previous") : commandLine;
    if (HandOver(text))
        return true;
    // The user opened a macro (or started the program again) and would
    // otherwise see nothing happen at all.
    const QString seconds = QString::number(kHandOverTimeoutMs / 1000);
    const QString message =
        commandLine.isEmpty()
            ? QStringLiteral("The program is already running but did not answer within %1 "
                             "seconds, so its window could not be brought to the front.")
                  .arg(seconds)
            : QStringLiteral("The program is already running but did not answer within %1 "
                             "seconds, so this was not handed over to it:\r\n\r\n%2\r\n\r\n"
                             "Please try again.")
                  .arg(seconds, commandLine);
    LogErr(QStringLiteral("SendToPrev"), QLatin1String(kModuleName), 5,
           QStringLiteral("no answer from the running instance for %1").arg(text));
    Info(message, true, false, QStringLiteral("Orvendale"), QStringLiteral("OK"), true);
    return false;
}

void StartupSequence::fail(int number, const QString &description)
{
    m_errNumber = number;
    m_errDescription = description;
}

void StartupSequence::run()
{
    // Every step runs even when one before it failed.
    auto step = [this](auto &&body) {
        try {
            body();
        } catch (const std::exception &e) {
            fail(5, QString::fromLocal8Bit(e.what()));
        } catch (...) {
            fail(5, "Invalid procedure call or argument");
        }
    };

    step([] {
        LangFile = GetSet("Database16", "CurrentExePath", ProgramFolder()) + "/language.ini";
        if (!FileExists(LangFile))
            SaveSet("Settings", "Language", "English");
    });
    step([] { QCoreApplication::setApplicationName(kSettingsAppName); });
    // The program ends only through its exit, which saves and closes
    // everything; a dialog or side window closed while the console is
    // hidden in the tray is no end of the program.
    step([] { QGuiApplication::setQuitOnLastWindowClosed(false); });
    step([] {
        SetHouseCodes();
        SetUnitCodes();
    });
    step([] {
        DataFilePath = InProgramFolder("db.zvd");
        if (!FileExists(DataFilePath)) {
            DataFilePath = GetSet("DataBase16", "DataFile", DataFilePath);
            SaveSet("Database16", "DataFile", DataFilePath);
        }
    });
    step([this] {
        if (!OpenDataFile(DataFilePath))
            fail(75, "Path/File access error");
    });
    // Temporary files of saves that were cut off (a kill, a crash) go.
    step([] {
        const QString folder = ProgramFolder();
        RemoveStaleSaveFiles(folder);
        const QString stored = GetSet("Database16", "CurrentExePath", folder);
        if (QDir::cleanPath(stored) != QDir::cleanPath(folder))
            RemoveStaleSaveFiles(stored);
    });
    step([] { TmrChanged = false; });
    step([] { TimerCount = GetSet("Settings", "Timercount", "6"); });
    step([] {
        const QString doSet = GetSet("Macro", "DoSet", "True");
        if (doSet == "Yes" || doSet == "True")
            AssocOn = true;
        SaveSet("Macro", "DoSet", AssocOn ? "True" : "False");
    });
    step([] { DLSavings = GetSet("Settings", "DLSavings"); });
    step([] { ExePath = GetSet("Database16", "CurrentExePath", ProgramFolder()); });
    step([this] {
        if (showSplash)
            showSplash();
        else
            ShowSplash();
    });
    step([] { AssocFile("zvu", "UninstallZyv", {}, {}, InProgramFolder("unst.ico")); });
    step([] { SaveSet("Database16", "CurrentVersion", VersionText()); });
    step([this] {
        if (m_commandLine.isEmpty())
            return;
        // Referring to the command box loads the main window now, so the
        // text is acted on with the tables and the data file ready.
        LoadMainWindow();
        DeliverCommandLine(m_commandLine);
    });

    if (m_errNumber != 0)
        LogErr(kProcName, kModuleName, m_errNumber, m_errDescription);
}

int Main(int argc, char **argv)
{
    QApplication app(argc, argv);
    InstallDropRule();
    const QString commandLine =
        AbsoluteCommandLine(CommandLineText(QCoreApplication::arguments()), QDir::currentPath());

    // Before anything else, so a later start changes no setting and opens
    // no file.
    SingleInstance instance;
    if (!instance.claim())
        return SendToPrev(commandLine) ? 0 : 1;

    StartupSequence startup(commandLine);
    startup.run();
    return app.exec();
}

} // namespace qelt
