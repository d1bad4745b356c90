#include "scheduler/SchedulerServices.h"

namespace qelt {

namespace {
TimersService *g_timers = nullptr;
TimerLogService *g_timerLog = nullptr;
} // namespace

TimersService *Timers() { return g_timers; }
void SetTimers(TimersService *timers) { g_timers = timers; }
TimerLogService *TimerLog() { return g_timerLog; }
void SetTimerLog(TimerLogService *log) { g_timerLog = log; }

} // namespace qelt
