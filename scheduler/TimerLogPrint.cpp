#include "scheduler/TimerLogPrint.h"

#include "logic/TimerLogFile.h"

#include <QPrinter>
#include <QTextDocument>

namespace qelt {

void PrintTimerLog(QPrinter &printer, const QString &logText, const QDateTime &now)
{
    QTextDocument doc;
    doc.setPlainText(TimerLogFile::PrintText(logText, now));
    doc.print(&printer);
}

} // namespace qelt
