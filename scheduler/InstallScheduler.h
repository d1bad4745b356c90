#pragma once

namespace qelt {

class FrmTimers;
class frmTimerStatus;

// Installs the scheduler's two services. It may run before the application
// object exists: each window is made on the first call that needs it (the
// main window loads the timer log window while it initialises; the
// console's clock loads the timers window through ensureLoaded). Calling it
// again does nothing. The windows live until the program ends.
void InstallScheduler();

// The two windows, made on first use.
frmTimerStatus *TimerStatusWindow();
FrmTimers *TimersWindow();

} // namespace qelt
