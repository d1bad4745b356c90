#pragma once

#include <QDateTime>
#include <QString>

class QPrinter;

namespace qelt {

// Prints the timer log text followed by "Printed on:  " + date + " at " + time.
void PrintTimerLog(QPrinter &printer, const QString &logText, const QDateTime &now);

} // namespace qelt
