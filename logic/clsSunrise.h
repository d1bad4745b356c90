#pragma once

#include "logic/CityTable.h"

#include <QDateTime>
#include <QString>
#include <QVariant>

// Sunrise, sunset and solar noon for one place and one day, as local clock
// times. Knows nothing of settings or windows; each user keeps its own object.
//
// Conventions: degrees; latitude positive north; longitude positive WEST
// (east is negative); TimeZone in whole hours positive WEST of Greenwich
// (UTC-5 is 5, UTC+1 is -1); DaySavings adds exactly 60 minutes.
//
// The results are wall-clock date-times: DateDay's date plus the local clock
// time, with plain calendar arithmetic (a time past midnight lands on the next
// day). They are kept in Qt::UTC only so that no time-zone rule of this
// machine shifts them; read them with date(), time() or toString(), not by
// comparing them with QDateTime::currentDateTime().
namespace qelt {

class clsSunrise {
public:
    // Builds the city table; DateDay is now, the location is all zeros and
    // the results are the zero date (30 December 1899, 0:00:00).
    clsSunrise();

    QDateTime Sunrise() const { return m_sunrise; }
    QDateTime Sunset() const { return m_sunset; }
    QDateTime SolarNoon() const { return m_solarNoon; }

    int CityCount() const { return m_cities.CityCount(); }
    QString CityName(int nCity) const { return m_cities.CityName(nCity); }
    // A text selects the row of that name (case and surrounding blanks
    // ignored; a text of digits is a name too); a number selects the row of
    // that index, rounded half to even. A selected row sets TimeZone,
    // Longitude and Latitude from the row; anything that selects no row sets
    // them to 0. Either way DaySavings is cleared.
    void setCity(const QVariant &city);

    int TimeZone() const { return m_timeZone; }
    void setTimeZone(int zone) { m_timeZone = zone; }
    bool DaySavings() const { return m_daySavings; }
    void setDaySavings(bool on) { m_daySavings = on; }
    double Longitude() const { return m_longitude; }
    void setLongitude(double degrees) { m_longitude = degrees; }
    double Latitude() const { return m_latitude; }
    void setLatitude(double degrees) { m_latitude = degrees; }
    // The day to compute; its time of day is ignored.
    QDateTime DateDay() const { return m_dateDay; }
    void setDateDay(const QDateTime &day) { m_dateDay = day; }

    // Computes Sunrise, SolarNoon and Sunset from the properties. Reports no
    // error: where the sun neither rises nor sets that day, all three come out
    // at (nearly) the same time, solar noon; a result that cannot be a date
    // (invalid DateDay, a coordinate that is not a finite number, a zone so
    // large that the time leaves years 100..9999) is a null QDateTime.
    void CalculateSun();

    // The zero date the results hold before the first calculation.
    static QDateTime ZeroDate();

private:
    CityTable m_cities;
    int m_timeZone = 0;
    bool m_daySavings = false;
    double m_longitude = 0;
    double m_latitude = 0;
    QDateTime m_dateDay;
    QDateTime m_sunrise;
    QDateTime m_sunset;
    QDateTime m_solarNoon;
};

} // namespace qelt
