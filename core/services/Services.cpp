// The registry of the windows' services. The interfaces sit here, below every
// window folder, so that any window may call another through them without
// knowing its class; the windows register themselves from app/.
#include "core/services/ConsoleServices.h"
#include "core/services/MacroServices.h"
#include "core/services/PrefsServices.h"
#include "core/services/SchedulerServices.h"

namespace qelt {

namespace {
MainWindowService *g_mainWindow = nullptr;
std::function<MainWindowService *()> g_mainWindowFactory;
TimersService *g_timers = nullptr;
TimerLogService *g_timerLog = nullptr;
MacroEditorService *g_editor = nullptr;
MacroRunnerService *g_runner = nullptr;
PrefsService *g_prefs = nullptr;
HelpService *g_help = nullptr;
UninstallService *g_uninstaller = nullptr;
} // namespace

MainWindowService *MainWindow()
{
    return g_mainWindow;
}
void SetMainWindow(MainWindowService *window)
{
    g_mainWindow = window;
}
void SetMainWindowFactory(std::function<MainWindowService *()> factory)
{
    g_mainWindowFactory = std::move(factory);
}
MainWindowService *LoadMainWindow()
{
    if (!g_mainWindow && g_mainWindowFactory)
        g_mainWindow = g_mainWindowFactory();
    return g_mainWindow;
}

TimersService *Timers()
{
    return g_timers;
}
void SetTimers(TimersService *timers)
{
    g_timers = timers;
}
TimerLogService *TimerLog()
{
    return g_timerLog;
}
void SetTimerLog(TimerLogService *log)
{
    g_timerLog = log;
}

MacroEditorService *MacroEditor()
{
    return g_editor;
}
void SetMacroEditor(MacroEditorService *editor)
{
    g_editor = editor;
}
MacroRunnerService *MacroRunner()
{
    return g_runner;
}
void SetMacroRunner(MacroRunnerService *runner)
{
    g_runner = runner;
}

PrefsService *Prefs()
{
    return g_prefs;
}
void SetPrefs(PrefsService *prefs)
{
    g_prefs = prefs;
}
HelpService *Help()
{
    return g_help;
}
void SetHelp(HelpService *help)
{
    g_help = help;
}
UninstallService *Uninstaller()
{
    return g_uninstaller;
}
void SetUninstaller(UninstallService *uninstaller)
{
    g_uninstaller = uninstaller;
}

} // namespace qelt
