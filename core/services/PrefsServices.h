#pragma once

#include <QString>

namespace qelt {

// What the console and the scheduler use of the preferences window
// (FormSetup), the help browser (frmBrowser) and the uninstaller (frmUnst).
class PrefsService {
public:
    virtual ~PrefsService() = default;
    // Shows the preferences on page SSTab1: 0 Preferences, 1 Panic Button,
    // 2 Location, 3 Sounds, 4 Advanced.
    virtual void showPage(int page) = 0;
    virtual bool isLoaded() const = 0;
    virtual void unload() = 0;
};

class HelpService {
public:
    virtual ~HelpService() = default;
    // Opens a help page: a path in the program folder, optionally "#anchor".
    virtual void open(const QString &startingAddress) = 0;
    virtual void unload() = 0;
};

class UninstallService {
public:
    virtual ~UninstallService() = default;
    virtual void showUninstaller() = 0;
    virtual void unload() = 0;
};

PrefsService *Prefs();
void SetPrefs(PrefsService *prefs);
HelpService *Help();
void SetHelp(HelpService *help);
UninstallService *Uninstaller();
void SetUninstaller(UninstallService *uninstaller);

} // namespace qelt
