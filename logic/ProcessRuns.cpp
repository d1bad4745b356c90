#include "logic/ProcessRuns.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include <cerrno>
#include <limits>
#include <signal.h>

namespace qelt {

bool ProcessRuns(qint64 pid)
{
    // 0 and negative numbers name process groups, not a process.
    if (pid <= 0 || pid > std::numeric_limits<pid_t>::max())
        return false;
    if (::kill(pid_t(pid), 0) != 0 && errno == ESRCH)
        return false;
    // The state follows the command name, which is in parentheses and may
    // hold anything.
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (stat.open(QIODevice::ReadOnly)) {
        const QByteArray fields = stat.readAll();
        const qsizetype close = fields.lastIndexOf(')');
        if (close > 0 && fields.mid(close + 2, 1) == "Z")
            return false;
    }
    return true;
}

} // namespace qelt
