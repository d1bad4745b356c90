#pragma once

// Opens every window of both programs (the console and the updater), for the
// tests that walk all of their controls.

#include "console/frmDelay.h"
#include "console/frmFavs.h"
#include "console/frmFire.h"
#include "core/PortDialog.h"
#include "core/Splash.h"
#include "core/services/MacroServices.h"
#include "core/services/PrefsServices.h"
#include "core/services/SchedulerServices.h"
#include "logic/ProgramFolder.h"
#include "logic/SerialLink.h"
#include "macros/InstallMacroWindows.h"
#include "macros/frmMDelay.h"
#include "macros/frmPreview.h"
#include "macros/frmProgress.h"
#include "prefs/InstallPrefsWindows.h"
#include "scheduler/InstallScheduler.h"
#include "updater/frmUpdate.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QMetaObject>
#include <QTest>

#include <functional>

namespace qelt::test {

// The windows come up a few at a time (the preferences and the editor a
// page at a time); `visit` runs each time, while those shown are open, and
// last with all of them. The help pages are copied from `sourceDir`'s
// resources so that the help window shows every topic button. Call once.
inline void OpenEveryWindow(const QString &sourceDir, const std::function<void()> &visit)
{
    InstallMacroWindows();
    InstallPrefsWindows();
    InstallScheduler();
    static RecordingSerialLink link;
    auto *fire = new frmFire(&link);
    SetMainWindow(fire);
    fire->Form_Load();
    fire->afterStart_Timer();
    fire->show();
    fire->ckbGroups->setChecked(true); // the group panel
    visit();

    for (int page = 0; page < 5; ++page) {
        Prefs()->showPage(page);
        visit();
    }
    for (int page = 0; page < 3; ++page) {
        MacroEditor()->showPage(page);
        visit();
    }
    MacroRunner()->showRunner();
    Timers()->ensureLoaded();
    Timers()->widget()->show();
    TimerLog()->showLog();
    Uninstaller()->showUninstaller();
    visit();

    frmSetup port;
    port.Form_Load();
    port.show();
    frmDelay delay;
    delay.show();
    frmFavs favs;
    favs.Load();
    favs.show();
    frmSplash splash;
    splash.Form_Load();
    splash.show();
    frmMDelay pause;
    pause.show();
    frmPbar progress;
    progress.Form_Load();
    progress.show();
    frmPreview preview;
    preview.Form_Load();
    preview.show();
    // The updater, refused at once by a port nothing listens on.
    qputenv("QELT_UPDATE_URL", "http://127.0.0.1:9");
    updater::frmUpdate update;
    update.Load();
    update.show();
    visit();

    for (const char *page : {"zyvHelp.html", "editorhelp.html"})
        QVERIFY(QFile::copy(sourceDir + QStringLiteral("/resources/") + QLatin1String(page),
                            InProgramFolder(QLatin1String(page))));
    Help()->open(InProgramFolder(QStringLiteral("zyvHelp.html")));
    visit();
}

// The programs' end, which lets the help window go before the web engine's
// profile does; from cleanupTestCase.
inline void EndEveryWindow()
{
    QVERIFY(QMetaObject::invokeMethod(qApp, "aboutToQuit", Qt::DirectConnection));
}

} // namespace qelt::test
