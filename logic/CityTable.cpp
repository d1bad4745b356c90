#include "logic/CityTable.h"

namespace qelt {

namespace {

// Removes leading and trailing blanks (spaces only, as names are typed).
QString trimBlanks(const QString &text)
{
    qsizetype from = 0;
    qsizetype to = text.size();
    while (from < to && text.at(from) == QLatin1Char(' '))
        ++from;
    while (to > from && text.at(to - 1) == QLatin1Char(' '))
        --to;
    return text.mid(from, to - from);
}

} // namespace

void CityTable::AddCity(const QString &name, double latitude, double longitude, int zone)
{
    m_rows.append(CityRec{name, longitude, latitude, zone});
}

QString CityTable::CityName(int nCity) const
{
    if (nCity < 0 || nCity >= CityCount())
        return QStringLiteral("(Error)");
    return m_rows.at(nCity).Name;
}

int CityTable::FindCity(const QString &name) const
{
    const QString key = trimBlanks(name).toLower();
    for (int i = 0; i < CityCount(); ++i) {
        if (trimBlanks(m_rows.at(i).Name).toLower() == key)
            return i;
    }
    return -1;
}

CityTable CityTable::BuiltIn()
{
    CityTable t;
    auto add = [&t](const char *name, double latitude, double longitude, int zone) {
        t.AddCity(QString::fromLatin1(name), latitude, longitude, zone);
    };
    add("   ----- Select City -----", 0, 0, 0);
    add("  -------------------------  ", 0, 0, 0);
    add("   -- U.S. Cities --   ", 0, 0, 0);
    add("  -------------------------  ", 0, 0, 0);
    add("Albuquerque, NM", 35.05, 106.39, 7);
    add("Anchorage, AK", 61.13, 149.54, 9);
    add("Atlanta, GA", 33.44, 84.23, 5);
    add("Austin, TX", 30.3, 97.7, 6);
    add("Bloomington, IL", 40.484, 88.99, 6);
    add("Boston, MA", 42.21, 71.03, 5);
    add("Boulder, CO", 40.125, 105.237, 7);
    add("Central Point, OR", 42.37, 122.91, 8);
    add("Chicago, IL", 41.51, 87.39, 6);
    add("Dallas, TX", 32.46, 96.47, 6);
    add("Denver, CO", 39.44, 104.59, 7);
    add("Detroit, MI", 42.2, 83.03, 5);
    add("Farmington, MI", 42.5, 83.4, 5);
    add("Honolulu, HA", 21.18, 157.51, 10);
    add("Romeoville, IL", 41.6, 88.1, 6);
    add("Indianapolis, IN", 39.46, 86.09, 5);
    add("Kansas City, MO", 39.05, 94.34, 6);
    add("Los Angeles, CA", 34.03, 118.14, 8);
    add("Medford, NY", 40.817, 73, 5);
    add("Memphis, TN", 35.05, 89.92, 6);
    add("Miami, FL", 25.46, 80.11, 5);
    add("Midland, TX", 32, 102.1, 6);
    add("Milwaukee, WI", 43, 88, 6);
    add("Minneapolis, MN", 44.58, 93.15, 6);
    add("New Orleans, LA", 29.57, 90.04, 6);
    add("New York City, NY", 40.43, 74.01, 5);
    add("Oklahoma City, OK", 35.28, 97.3, 6);
    add("Philadelphia, PA", 39.57, 75.09, 5);
    add("Phoenix, AZ", 33.26, 112.04, 7);
    add("Roanoke, VA", 37.31, 79.98, 5);
    add("Saint Louis, MO", 38.37, 90.11, 6);
    add("San Angelo, TX", 31.5, 100.5, 6);
    add("San Antonio, TX", 29.4, 98.5, 6);
    add("San Fransisco, CA", 37.46, 122.25, 8);
    add("Seattle, WA", 47.36, 122.19, 8);
    add("Sherman Oaks, CA", 34.1, 118.4, 8);
    add("Washington DC", 38.53, 77.02, 5);
    add("Waynesville, NC", 35.5, 83, 5);
    add("  ----------------------------------  ", 0, 0, 0);
    add("   -- Other Countries --   ", 0, 0, 0);
    add("  ----------------------------------  ", 0, 0, 0);
    add("Beijing, China", 39.55, -116.25, -8);
    add("Berlin, Germany", 52.33, -13.3, -1);
    add("Buenos Aires, Argentina", -34.36, 58.27, 3);
    // Cairo lies north of the equator; a southern latitude would give it the
    // seasons of the other hemisphere, up to an hour and a half off.
    add("Cairo, Egypt", 30.06, -31.22, -2);
    add("Cape Town, South Africa", -33.55, -18.22, -2);
    add("Caracas, Venezula", 10.3, 66.56, 4);
    add("Helsinki, Finland", 60.1, -24.58, -2);
    add("Hong Kong, China", 22.15, -114.1, -8);
    add("London, England", 51.3, 0.5, 0);
    add("Mexico City, Mexico", 19.24, 99.09, 6);
    add("Moscow, Russia", 55.45, -37.35, -3);
    add("New Delhi, India", 28.36, -77.12, -6);
    add("Ottawa, Canada", 45.25, 75.42, 5);
    add("Paris, France", 48.52, -2.2, -1);
    add("Regina SK. Canada", 50.5, 104.5, 6);
    add("Rio de Janeiro, Brazil", -22.54, 43.14, 3);
    add("Riyadh, Saudi Arabia", 24.38, -46.43, -3);
    add("Rome, Italy", 41.54, -12.29, -1);
    add("Saguenay, (Quebec) Canada", 48.24, 71.03, 5);
    add("Sydney, Australia", -33.52, -151.13, -10);
    add("Tokyo, Japan", 35.42, -139.46, -9);
    add("Zurich, Switzerland", 47.23, -8.32, -1);
    return t;
}

} // namespace qelt
