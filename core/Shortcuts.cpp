#include "core/Shortcuts.h"

#include "core/Dialogs.h"
#include "core/FileTypes.h"
#include "logic/Lang.h"
#include "platform/DesktopEntry.h"

#include <QFile>
#include <QStandardPaths>

namespace qelt {

namespace {

const QString kDeskLinkName = QStringLiteral("Zyvbeta");
const QString kStartupLinkName = QStringLiteral("Brindlecast");
const QString kMenuFolder = QStringLiteral("Brindlecast");
const QString kUninstLinkName = QStringLiteral("Uninstall Zyv");

void removeLink(const QString &path)
{
    // A missing shortcut is nothing to report.
    QFile::remove(path);
}

// A menu caption as the user sees it: "&&" is a literal "&", a single "&"
// only marks the access key.
QString shownCaption(const QString &caption)
{
    QString out;
    for (int i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&') {
            if (i + 1 < caption.size() && caption[i + 1] == '&')
                out += caption[++i];
            continue;
        }
        out += caption[i];
    }
    return out;
}

} // namespace

QString DeskLinkPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::DesktopLocation) + "/" + kDeskLinkName +
           ".desktop";
}

QString StartupLinkPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + "/autostart/" +
           kStartupLinkName + ".desktop";
}

QString UninstLinkPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::ApplicationsLocation) + "/" +
           kMenuFolder + "/" + kUninstLinkName + ".desktop";
}

bool CreateDeskLink()
{
    DesktopEntry e;
    e.set("Type", "Application");
    e.set("Name", kDeskLinkName);
    e.set("Exec", ProgramExecLine(ProgramExePath()));
    e.set("Terminal", "false");
    // Desktops launch entries in the desktop folder only when they are executable.
    return e.write(DeskLinkPath(), true);
}

QString DeskLinkFailedText(const QString &menuCaption)
{
    return LangCap("Error") + ": " + shownCaption(menuCaption) + " - " + LangCap("Failed");
}

bool DesktopShortcutCommand(const QString &menuCaption)
{
    const bool ok = CreateDeskLink();
    if (!ok)
        Info(DeskLinkFailedText(menuCaption), false, false, {}, {}, true);
    return ok;
}

void RemoveDeskLink()
{
    removeLink(DeskLinkPath());
}
void RemoveStartupLink()
{
    removeLink(StartupLinkPath());
}
void RemoveUninstLink()
{
    removeLink(UninstLinkPath());
}

} // namespace qelt
