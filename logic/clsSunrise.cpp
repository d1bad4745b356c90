#include "logic/clsSunrise.h"

#include <cmath>

namespace qelt {

namespace {

// The constants the times were always computed with; other values of pi
// would move results by fractions of a second.
constexpr double kPi = 3.1415926535;
constexpr double kTwoPi = 6.283185307;
constexpr double kZenith = 90.833; // refraction and the sun's radius

double degToRad(double x)
{
    return x * kPi / 180;
}

double radToDeg(double x)
{
    return x * 180 / kPi;
}

// Nearest whole number, halves to the even neighbour; stays a double so that
// a value that is not a finite number passes through unharmed.
double nearest(double x)
{
    if (!std::isfinite(x))
        return x;
    const double r = std::round(x);
    if (std::fabs(x - std::trunc(x)) == 0.5)
        return 2 * std::round(x / 2);
    return r;
}

// Fractional year in radians for day of year d, optionally at hour h.
double fractionalYear(int d, double h = 0)
{
    return kTwoPi / 365 * (d - 1 + h / 24);
}

// Equation of time in minutes.
double eqTime(double g)
{
    return 229.18 * (0.000075 + 0.001868 * std::cos(g) - 0.032077 * std::sin(g) -
                     0.014615 * std::cos(2 * g) - 0.040849 * std::sin(2 * g));
}

// Solar declination in radians.
double declination(double g)
{
    return 0.006918 - 0.399912 * std::cos(g) + 0.070257 * std::sin(g) - 0.006758 * std::cos(2 * g) +
           0.000907 * std::sin(2 * g);
}

// Arc cosine that gives 0 where it has no answer (x at or beyond +-1, or not
// a number): the sun then neither rises nor sets and the hour angle is 0.
double arcCos(double x)
{
    if (!(x > -1 && x < 1))
        return 0;
    return std::atan(-x / std::sqrt(1 - x * x)) + 2 * std::atan(1.0);
}

// Hour angle of sunrise (+H) or sunset (-H) in degrees.
double hourAngle(double latitude, double decl, bool rise)
{
    const double phi = degToRad(latitude);
    const double h = arcCos(std::cos(degToRad(kZenith)) / (std::cos(phi) * std::cos(decl)) -
                            std::tan(phi) * std::tan(decl));
    return radToDeg(rise ? h : -h);
}

// Minutes after midnight UTC of sunrise or sunset: a first estimate of the
// hour, then the same sum with the sun's position at that hour.
double riseSetUtc(int d, double latitude, double longitude, bool rise)
{
    double g = fractionalYear(d);
    double t = 720 + 4 * (longitude - hourAngle(latitude, declination(g), rise)) - eqTime(g);
    g = fractionalYear(d, nearest(t / 60));
    return 720 + 4 * (longitude - hourAngle(latitude, declination(g), rise)) - eqTime(g);
}

double solarNoonUtc(int d, double longitude)
{
    const double g = fractionalYear(d, nearest(12 + longitude / 15));
    return 720 + 4 * longitude - eqTime(g);
}

// Midnight of the day plus the local minutes, in whole seconds (halves to
// even). Null when the sum is not a number or leaves years 100..9999.
QDateTime atLocalMinutes(const QDate &day, double minutes)
{
    const double seconds = nearest(minutes * 60);
    // About 31,700 years: checked before the conversion so it cannot overflow.
    if (!day.isValid() || !std::isfinite(seconds) || std::fabs(seconds) > 1e12)
        return {};
    const QDateTime result = QDateTime(day, QTime(0, 0), Qt::UTC).addSecs(qint64(seconds));
    const int year = result.date().year();
    if (year < 100 || year > 9999)
        return {};
    return result;
}

} // namespace

clsSunrise::clsSunrise()
    : m_cities(CityTable::BuiltIn()), m_dateDay(QDateTime::currentDateTime()),
      m_sunrise(ZeroDate()), m_sunset(ZeroDate()), m_solarNoon(ZeroDate())
{
}

QDateTime clsSunrise::ZeroDate()
{
    return QDateTime(QDate(1899, 12, 30), QTime(0, 0), Qt::UTC);
}

void clsSunrise::setCity(const QVariant &city)
{
    int index = -1;
    switch (city.typeId()) {
    case QMetaType::QString:
    case QMetaType::QByteArray:
    case QMetaType::QChar:
        index = m_cities.FindCity(city.toString());
        break;
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Double:
    case QMetaType::Float: {
        const double n = nearest(city.toDouble());
        if (n >= 0 && n < CityCount())
            index = int(n);
        break;
    }
    default:
        break;
    }
    m_daySavings = false;
    if (index < 0) {
        m_timeZone = 0;
        m_longitude = 0;
        m_latitude = 0;
        return;
    }
    const CityRec &row = m_cities.Row(index);
    m_timeZone = row.Zone;
    m_longitude = row.Longitude;
    m_latitude = row.Latitude;
}

void clsSunrise::CalculateSun()
{
    const double daylight = m_daySavings ? 60 : 0;

    // The hour-angle formula divides by cos(latitude); keep just short of the
    // poles. Values beyond +-90 are taken as they are.
    double latitude = m_latitude;
    if (latitude >= -90 && latitude < -89.8)
        latitude = -89.8;
    else if (latitude > 89.8 && latitude <= 90)
        latitude = 89.8;

    const QDate day = m_dateDay.date();
    const int d = day.isValid() ? day.dayOfYear() : 1;
    const double shift = daylight - double(m_timeZone) * 60;

    m_sunrise = atLocalMinutes(day, riseSetUtc(d, latitude, m_longitude, true) + shift);
    m_solarNoon = atLocalMinutes(day, solarNoonUtc(d, m_longitude) + shift);
    m_sunset = atLocalMinutes(day, riseSetUtc(d, latitude, m_longitude, false) + shift);
}

} // namespace qelt
