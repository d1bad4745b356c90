#include "logic/SchedulerHost.h"

#include "logic/Lang.h"
#include "logic/SchedulerClock.h"

#include <QDir>

namespace qelt {

QString LogEntry(const QString &message)
{
    return QStringLiteral("\r\n") + DateTimeText(WallNow()) + QStringLiteral("\r\n") + message +
           QStringLiteral("\r\n");
}

void ReportFileNotFound(SchedulerHost &host, int row, const QString &path)
{
    const QString head = LangCap(QStringLiteral("Timer")) + u' ' + QString::number(row + 1);
    const QString missing = LangCap(QStringLiteral("File Not Found")) + u'!';
    const QString where = QStringLiteral("\r\n\t") + QDir::toNativeSeparators(path);
    host.setStatus(row, head + QStringLiteral(":  ") + missing + where, kStatusErrorRgb);
    host.appendLog(LogEntry(head + QStringLiteral(": ") + missing + where));
}

} // namespace qelt
