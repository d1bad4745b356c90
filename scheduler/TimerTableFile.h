#pragma once

#include "logic/TimerTable.h"

// The timers window's loading and saving of the timer table: the file
// through the table, and what the user and the logs are told.
namespace qelt {

// Saves the table as the timers window's Save does: writes the file; on
// success sets TimerCount ("Settings"/"TimerCount"), TmrChanged = false and
// shows the first start-time conflict, if any. On failure the table and
// TmrChanged stay as they were, the user is told through Info and the error
// is written to the error log and the timer log. Returns success. The loop
// timer's settings are the window's to store.
bool SaveTimerTable(TimerTable &table, const QString &path = TimerTable::DefaultPath());

// Loads the table as the timers window's load does (at least TimerCount
// rows, more when the file holds more lines) and writes every problem found
// in the file to the timer log. TmrChanged is not touched.
bool LoadTimerTable(TimerTable &table, const QString &path = TimerTable::DefaultPath());

} // namespace qelt
