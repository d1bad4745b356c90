#include "logic/SunTimers.h"

#include "logic/SchedulerClock.h"
#include "logic/Settings.h"
#include "logic/clsSunrise.h"

#include <QTimeZone>

#include <cmath>

namespace qelt {

SunLocation SunLocation::FromSettings()
{
    SunLocation l;
    l.latitude = GetSet(QStringLiteral("Settings"), QStringLiteral("CityLatitude"));
    l.longitude = GetSet(QStringLiteral("Settings"), QStringLiteral("CityLongitude"));
    l.zone = GetSet(QStringLiteral("Settings"), QStringLiteral("CityZone"));
    l.daySavings = GetSet(QStringLiteral("Settings"), QStringLiteral("DaySavings"));
    return l;
}

bool SunLocation::hasPlace() const
{
    return !latitude.trimmed().isEmpty() && !longitude.trimmed().isEmpty();
}

bool SunLocation::complete() const
{
    return hasPlace() && !zone.trimmed().isEmpty();
}

namespace {

// The location page takes "," as well as "." for the decimal point and
// stores the text as typed.
bool readNumber(const QString &text, double *value)
{
    bool ok = false;
    QString t = text.trimmed();
    t.replace(QLatin1Char(','), QLatin1Char('.'));
    const double v = t.toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return false;
    *value = v;
    return true;
}

} // namespace

void SunLocation::applyTo(clsSunrise &sun) const
{
    double v = 0;
    if (readNumber(latitude, &v))
        sun.setLatitude(v);
    if (readNumber(longitude, &v))
        sun.setLongitude(v);
    if (readNumber(zone, &v) && std::fabs(v) <= 24)
        sun.setTimeZone(int(std::lround(v)));
    const QString dst = daySavings.trimmed();
    if (dst.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0 || dst == QLatin1String("1") ||
        dst == QLatin1String("-1"))
        sun.setDaySavings(true);
    else if (dst.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0 ||
             dst == QLatin1String("0"))
        sun.setDaySavings(false);
}

int ComputerZoneHoursWest(const QDateTime &at)
{
    const int eastSeconds = QTimeZone::systemTimeZone().standardTimeOffset(at);
    return -int(std::lround(eastSeconds / 3600.0));
}

QTime SunClockTime(const QDateTime &result)
{
    if (!result.isValid())
        return {};
    const QTime t = result.time();
    return QTime(t.hour(), t.minute(), t.second());
}

QString ResolveStartText(const QString &startText, bool hasAction, const QTime &sunrise,
                         const QTime &sunset, const QLocale &locale)
{
    QTime base;
    if (startText.startsWith(QLatin1String("SR")))
        base = sunrise;
    else if (startText.startsWith(QLatin1String("SS")))
        base = sunset;
    else
        return startText;
    if (!base.isValid())
        return startText;
    int minutes = 0;
    if (startText.size() >= 4 && hasAction) {
        bool ok = false;
        minutes = startText.mid(2).trimmed().toInt(&ok);
        if (!ok)
            return startText;
    }
    // Minutes beyond the hour carry into it; the day wraps at midnight.
    const qint64 day = 24 * 3600;
    const qint64 seconds =
        ((base.msecsSinceStartOfDay() / 1000 + qint64(minutes) * 60) % day + day) % day;
    return ClockText(QTime::fromMSecsSinceStartOfDay(int(seconds * 1000)), locale);
}

int ZoneHoursFromOffsetText(const QString &offsetText)
{
    const QString x = offsetText.left(3);
    const QString digits = (!x.isEmpty() && x.back().isDigit()) ? x : x.left(2);
    bool ok = false;
    const int hours = digits.trimmed().toInt(&ok);
    return ok ? hours : 0;
}

} // namespace qelt
