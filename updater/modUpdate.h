#pragma once

#include "logic/Globals.h"

#include <QString>
#include <QStringList>

#include <functional>

// The updater's entry logic and the state its window and HTTP client share.
namespace qelt::updater {

// UpdateMode, LocalVersion and CancelRequest, which the window and the
// HTTP client share, are in logic/Globals.h.

// The maker's web server (reached over https), unless the environment
// variable QELT_UPDATE_URL names another base address (e.g. a test server at
// "http://127.0.0.1:8080"; plain http is accepted for loopback only).
inline constexpr const char *kMakerServer = "www.brindlecast.example";
QString UpdateServer();

// The folder the updater lives in (the main program's folder).
QString OwnFolder();

// What Main does in the world, replaceable in tests.
struct MainHooks {
    // Starts a program; false when it could not be started.
    std::function<bool(const QString &path)> startProgram;
    // True when another updater is already running (checked once).
    std::function<bool()> otherInstanceRunning;
    // Loads the update window (it decides itself whether to show).
    std::function<void()> loadUpdateWindow;
};

enum class MainResult {
    Restarted,      // the restart service ran; the program ends
    AlreadyRunning, // another updater runs; the program ends, nothing written
    CheckStarted    // the update window was loaded; the program lives on
};

// The updater's start: serves a restart request (setting "Database16"/
// "ReStart" = "restart" or the command line "restart") by waiting one second
// and starting the main program again; otherwise reads the version, language
// file and mode from the settings and loads the update window.
MainResult Main(const QStringList &arguments, const MainHooks &hooks);

// The main program started by the restart service: the one installed beside
// the updater (it inherits QELT_HOME, so it works on the same folder).
QString MainProgramPath();

} // namespace qelt::updater
