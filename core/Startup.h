#pragma once

#include <QString>
#include <QStringList>

#include <functional>

namespace qelt {

// The program's start: a later start hands its command line to the running
// instance and ends; the first start prepares what the windows rely on and
// then runs the event loop. Returns the program's exit code.
int Main(int argc, char **argv);

// The command line as one text: the arguments after the program's own path,
// joined by blanks ("" when there are none).
QString CommandLineText(const QStringList &arguments);

// A command line that names a macro or uninstall file (".cro", ".zvu") by a
// relative path, as the path it names from workingFolder; any other text
// unchanged. The running instance that takes it over has a working folder
// of its own, so a later start resolves the path before it hands it over.
QString AbsoluteCommandLine(const QString &commandLine, const QString &workingFolder);

// Hands a command line to the running instance ("previous" when it is
// empty) and waits until that instance has taken it. When it does not
// answer in time, the user is told (a message) and the error log gets an
// entry; the result is then false.
bool SendToPrev(const QString &commandLine);

// The first instance's start-up steps, in their order, each guarded: a
// failing step is passed over and the last failure is written to the error
// log at the end.
class StartupSequence {
public:
    explicit StartupSequence(QString commandLine) : m_commandLine(std::move(commandLine)) {}

    void run();

    // Shows the splash window; tests replace it.
    std::function<void()> showSplash;

    // The last failure of this run (number 0: none).
    int lastErrorNumber() const { return m_errNumber; }

private:
    void fail(int number, const QString &description);

    QString m_commandLine;
    int m_errNumber = 0;
    QString m_errDescription;
};

// The version as stored under "Database16"/"CurrentVersion", e.g. "1.70.1050".
QString VersionText();

} // namespace qelt
