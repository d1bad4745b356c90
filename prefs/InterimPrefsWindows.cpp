#include "prefs/InterimPrefsWindows.h"

#include "core/Dialogs.h"
#include "core/FileHelpers.h"
#include "core/Lang.h"
#include "prefs/FormSetup.h"
#include "prefs/PrefsServices.h"

namespace qelt {

namespace {

void NotYet(const QString &what)
{
    Info(LangCap(what), true, false, QStringLiteral("Orvendale"), QStringLiteral("OK"), false);
}

class InterimHelp : public HelpService {
public:
    void open(const QString &startingAddress) override
    {
        // The help page in the desktop's browser, when it is there.
        const QString file = startingAddress.section(QLatin1Char('#'), 0, 0);
        if (!FileExists(file) || !OpenDoc(startingAddress))
            NotYet(QStringLiteral("The help pages are not available yet."));
    }
    void unload() override {}
};

class InterimUninstaller : public UninstallService {
public:
    void showUninstaller() override
    {
        NotYet(QStringLiteral("The uninstaller is not available yet."));
    }
    void unload() override {}
};

} // namespace

void InstallInterimPrefsWindows()
{
    static InterimHelp help;
    static InterimUninstaller uninstaller;
    if (!Prefs())
        InstallPrefsWindow();
    if (!Help())
        SetHelp(&help);
    if (!Uninstaller())
        SetUninstaller(&uninstaller);
}

} // namespace qelt
