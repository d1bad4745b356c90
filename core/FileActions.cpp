#include "core/FileActions.h"

#include "core/Dialogs.h"
#include "logic/ErrorLog.h"
#include "logic/Lang.h"
#include "platform/DesktopEntry.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

namespace qelt {

namespace {

// A local path, or a URL with a scheme of two letters or more (a one-letter
// "scheme" is not a URL).
QUrl targetUrl(const QString &target)
{
    const QUrl url(target, QUrl::StrictMode);
    if (url.isValid() && url.scheme().size() > 1 && !target.startsWith(u'/'))
        return url;
    return QUrl::fromLocalFile(QFileInfo(target).absoluteFilePath());
}

bool isProgram(const QFileInfo &fi)
{
    return fi.isFile() && fi.isExecutable();
}

// A missing local file is a failure, not something to hand to the desktop.
bool openWithDesktop(const QUrl &url)
{
    if (url.isLocalFile() && !QFileInfo::exists(url.toLocalFile()))
        return false;
    return QDesktopServices::openUrl(url);
}

// Starts what a desktop entry (this platform's shortcut) points at: its
// Exec line without the field codes, or the address of a link entry.
bool launchDesktopEntry(const QString &path)
{
    DesktopEntry entry;
    if (!entry.read(path))
        return false;
    const QString exec = entry.value(QStringLiteral("Exec"));
    if (!exec.isEmpty()) {
        QStringList args;
        for (const QString &arg : SplitExecLine(exec)) {
            if (arg.size() == 2 && arg.startsWith(u'%'))
                continue; // %f, %u, %F, %U, %i, %c, %k: nothing to pass
            args.append(arg);
        }
        if (args.isEmpty())
            return false;
        const QString program = args.takeFirst();
        return QProcess::startDetached(program, args);
    }
    const QString url = entry.value(QStringLiteral("URL"));
    if (!url.isEmpty())
        return QDesktopServices::openUrl(QUrl::fromUserInput(url));
    return false;
}

} // namespace

void ReportFailedCopies(const QStringList &errors, const QString &procName,
                        const QString &moduleName)
{
    if (errors.isEmpty())
        return;
    for (const QString &e : errors)
        LogErr(procName, moduleName, 75, e);
    Info(LangCap(QStringLiteral("These files could not be copied:")) + QStringLiteral("\r\n") +
             errors.join(QStringLiteral("\r\n")),
         true, true, LangCap(QStringLiteral("Copy Failed")), QStringLiteral("OK"), true);
}

bool OpenDoc(const QString &target)
{
    const QString t = target.trimmed();
    if (t.isEmpty())
        return false;
    const QUrl url = targetUrl(t);
    if (url.isLocalFile()) {
        const QFileInfo fi(url.toLocalFile());
        if (isProgram(fi))
            return QProcess::startDetached(fi.absoluteFilePath(), {});
    }
    return openWithDesktop(url);
}

bool RunFile(const QString &commandLine)
{
    const QString line = commandLine.trimmed();
    if (line.isEmpty())
        return false;

    // The whole text may be the path of a file with blanks in it.
    const QFileInfo whole(line);
    if (whole.exists()) {
        if (isProgram(whole) && QProcess::startDetached(whole.absoluteFilePath(), {}))
            return true;
        if (whole.suffix() == u"desktop" && launchDesktopEntry(whole.absoluteFilePath()))
            return true;
        return openWithDesktop(QUrl::fromLocalFile(whole.absoluteFilePath()));
    }

    QStringList args = QProcess::splitCommand(line);
    if (!args.isEmpty()) {
        const QString program = args.takeFirst();
        if (QProcess::startDetached(program, args))
            return true;
    }
    return openWithDesktop(targetUrl(line));
}

} // namespace qelt
