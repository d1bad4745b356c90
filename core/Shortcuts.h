#pragma once

#include <QString>

// Shortcuts to the program as desktop entry files:
//   desktop      <desktop folder>/Zyvbeta.desktop            (made and removed)
//   login start  $XDG_CONFIG_HOME/autostart/Brindlecast.desktop   (removed only)
//   uninstall    $XDG_DATA_HOME/applications/Brindlecast/Uninstall Zyv.desktop (removed only)
namespace qelt {

// Writes the desktop shortcut to this program. False when it could not be
// written (for example, the desktop folder is not writable).
bool CreateDeskLink();

// What the menu command "Create Shortcut on Desktop" runs: CreateDeskLink,
// and on failure a message LangCap("Error") + ": " + menuCaption + " - " +
// LangCap("Failed"). Returns CreateDeskLink's result.
bool DesktopShortcutCommand(const QString &menuCaption);
QString DeskLinkFailedText(const QString &menuCaption);

// Each removes one shortcut; a missing one is not an error, nothing is shown.
void RemoveDeskLink();
void RemoveStartupLink();
void RemoveUninstLink();

// Where each shortcut lives (for tests and the uninstaller's listing).
QString DeskLinkPath();
QString StartupLinkPath();
QString UninstLinkPath();

} // namespace qelt
