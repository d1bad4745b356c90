#pragma once

#include <QLocale>
#include <QString>
#include <QTime>

// Sunrise and sunset timer rows: the stored location handed to the sun
// calculator, and a row's start text resolved to the clock text the due
// check compares with. Knows nothing of windows.
namespace qelt {

class clsSunrise;

// Copies of "Settings"/"CityLatitude", "CityLongitude", "CityZone" and
// "DaySavings" as stored (a missing value is "").
struct SunLocation {
    QString latitude, longitude, zone, daySavings;

    static SunLocation FromSettings();
    // Latitude, longitude and zone are all stored.
    bool complete() const;
    // Latitude and longitude are stored: sun rows can be resolved.
    bool hasPlace() const;
    // Sets the calculator's location from the values (a decimal comma reads
    // as a point); a value that is missing or not a number leaves the
    // calculator's previous one.
    void applyTo(clsSunrise &sun) const;
};

// The computer's standard time zone in the calculator's form: whole hours
// west of Greenwich.
int ComputerZoneHoursWest(const QDateTime &at);

// The time of day of a calculator result without its fraction of a second;
// invalid for a null result.
QTime SunClockTime(const QDateTime &result);

// The trigger text of a row. A start text beginning "SR" or "SS" resolves
// to today's sunrise or sunset moved by the signed whole minutes after
// those two letters ("SR+30", "SS-75"; "SR" alone, or any text shorter
// than four characters, is the plain time). The offset counts only while
// the row has an action. The time stays within the day (wrapping past
// midnight) and is written as the clock writes times (ClockText with the
// locale). Any other start text, a sun entry whose offset is not a number,
// and a sun entry while that sun time is unknown (invalid) stay as typed:
// such a text never equals a clock text, so the row never falls due.
QString ResolveStartText(const QString &startText, bool hasAction, const QTime &sunrise,
                         const QTime &sunset, const QLocale &locale = QLocale());

// The whole hours of a "<hours> hours, <minutes> minutes" offset text (west
// positive): the number in its first three characters, or in its first two
// when the third is not a digit ("-5 hours" gives -5, "-10 hours" -10); 0
// when there is none.
int ZoneHoursFromOffsetText(const QString &offsetText);

} // namespace qelt
