#pragma once

#include <QDateTime>
#include <QString>
#include <functional>

namespace qelt {

// "error.log" in the program folder.
QString ErrorLogPath();

// Appends one entry: a quoted item CR LF + "Logged:  " + date and time, then a
// quoted item TAB + the text scrambled with the default key (its bytes in
// Windows-1252 where that holds it, else in UTF-8), each ending in CR LF. False when the log cannot
// be opened or written.
bool WriteErrLog(const QString &text);

// Writes "Error <number> (<description>), <procName> on <moduleName>".
bool LogErr(const QString &procName, const QString &moduleName, int number,
            const QString &description);

// The clock the entries are stamped with; tests install a fixed one.
// An empty function restores the real clock.
void SetErrLogClock(std::function<QDateTime()> clock);

// The time as the log writes it, e.g. "12/7/2026 9:37:08 PM".
QString ErrLogTimeText(const QDateTime &when);

} // namespace qelt
