#include "core/SystemInfo.h"

#include "Version.h"

#include <QSysInfo>

namespace qelt {

namespace {

// Universal time minus local time, in minutes.
int biasOf(int offsetFromUtcSeconds)
{
    return -offsetFromUtcSeconds / 60;
}

QDateTime now()
{
    return QDateTime::currentDateTimeUtc();
}

} // namespace

void GetWinVer()
{
    QString name = QSysInfo::prettyProductName();
    if (name.isEmpty())
        name = QSysInfo::kernelType() + " " + QSysInfo::kernelVersion();
    WinVer = name.trimmed() + " ";
}

QString OffsetText(int biasMinutes)
{
    // C++ division truncates toward zero and the remainder takes the
    // dividend's sign: -330 gives -5 and -30.
    return QString::number(biasMinutes / 60) + " hours, " + QString::number(biasMinutes % 60) +
           " minutes";
}

QString TZStdOffset(const QTimeZone &zone, const QDateTime &at)
{
    return OffsetText(biasOf(zone.standardTimeOffset(at)));
}

QString TZOffset(const QTimeZone &zone, const QDateTime &at)
{
    return OffsetText(biasOf(zone.offsetFromUtc(at)));
}

bool IsDST(const QTimeZone &zone, const QDateTime &at)
{
    return zone.hasDaylightTime() && zone.isDaylightTime(at);
}

QString TZStdOffset()
{
    return TZStdOffset(QTimeZone::systemTimeZone(), now());
}
QString TZOffset()
{
    return TZOffset(QTimeZone::systemTimeZone(), now());
}
bool IsDST()
{
    return IsDST(QTimeZone::systemTimeZone(), now());
}

QString ProgramVersion()
{
    return QStringLiteral(QELT_VERSION_TEXT);
}
int VersionMajor()
{
    return QELT_VERSION_MAJOR;
}
int VersionMinor()
{
    return QELT_VERSION_MINOR;
}
int VersionRevision()
{
    return QELT_VERSION_REVISION;
}

} // namespace qelt
