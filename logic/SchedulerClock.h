#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>

// The wall clock the scheduler compares trigger times with, and the text
// forms of times it shows and logs. Tests install a fake wall clock.
namespace qelt {

class WallClock {
public:
    virtual ~WallClock() = default;
    virtual QDateTime now() const = 0; // local date and time
};
WallClock &CurrentWallClock();
// nullptr restores the real clock.
void SetWallClock(WallClock *clock);
inline QDateTime WallNow()
{
    return CurrentWallClock().now();
}

// True when the locale writes times with an AM/PM designator.
bool LocaleUsesTwelveHourClock(const QLocale &locale = QLocale());

// The clock text every trigger time is compared with: "H:mm:ss" (24-hour,
// hour without leading zero, e.g. 7:05:09) or, in a 12-hour locale,
// "h:mm:ss" + blank + "AM" or "PM". The designator is always that pair,
// whatever the locale writes ("pm", "p.m."): start times are typed with
// those letters only, and the texts must match exactly.
QString ClockText(const QTime &time, const QLocale &locale = QLocale());
// "AM" or "PM", the designator of ClockText.
QString ClockDesignator(bool pm);
// A start text written as ClockText writes the same time: an hour with a
// leading zero without it, a designator that is the locale's own or
// "am"/"pm" in any case as ClockText's designator; any other text unchanged.
QString NormalClockText(const QString &text, const QLocale &locale = QLocale());

// Parses a clock text of either form back into a time; invalid when it is
// not one.
QTime ParseClockText(const QString &text, const QLocale &locale = QLocale());

// Date and time / time alone in the short text form of the locale, as log
// entries show them.
QString DateTimeText(const QDateTime &when, const QLocale &locale = QLocale());
QString TimeText(const QTime &time, const QLocale &locale = QLocale());

} // namespace qelt
