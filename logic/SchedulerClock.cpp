#include "logic/SchedulerClock.h"

#include "logic/Globals.h"

namespace qelt {

namespace {

class RealWallClock : public WallClock {
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};

// The real clock has no state of its own: it reads the system's.
RealWallClock g_realClock;

} // namespace

WallClock &CurrentWallClock()
{
    return WallClockSet ? *WallClockSet : g_realClock;
}

void SetWallClock(WallClock *clock)
{
    WallClockSet = clock;
}

bool LocaleUsesTwelveHourClock(const QLocale &locale)
{
    const QString format = locale.timeFormat(QLocale::LongFormat);
    // "a"/"A"/"ap"/"AP" outside quoted literal text is the designator.
    bool quoted = false;
    for (QChar c : format) {
        if (c == u'\'')
            quoted = !quoted;
        else if (!quoted && (c == u'a' || c == u'A'))
            return true;
    }
    return false;
}

QString ClockText(const QTime &time, const QLocale &locale)
{
    if (!time.isValid())
        return {};
    if (!LocaleUsesTwelveHourClock(locale))
        return QStringLiteral("%1:%2:%3")
            .arg(time.hour())
            .arg(time.minute(), 2, 10, QChar(u'0'))
            .arg(time.second(), 2, 10, QChar(u'0'));
    int hour = time.hour() % 12;
    if (hour == 0)
        hour = 12;
    const QString designator = ClockDesignator(time.hour() >= 12);
    return QStringLiteral("%1:%2:%3 %4")
        .arg(hour)
        .arg(time.minute(), 2, 10, QChar(u'0'))
        .arg(time.second(), 2, 10, QChar(u'0'))
        .arg(designator);
}

QString ClockDesignator(bool pm)
{
    return pm ? QStringLiteral("PM") : QStringLiteral("AM");
}

QString NormalClockText(const QString &input, const QLocale &locale)
{
    QString text = input;
    // The clock writes the hour without a leading zero; "07:30:00" typed
    // or stored by hand is its "7:30:00".
    if (text.size() > 2 && text.at(0) == u'0' && text.at(1).isDigit() && text.at(2) == u':')
        text.remove(0, 1);
    const int blank = text.lastIndexOf(u' ');
    if (blank <= 0)
        return text;
    const QString designator = text.mid(blank + 1);
    const auto is = [&designator](const QString &word) {
        return !word.isEmpty() && designator.compare(word, Qt::CaseInsensitive) == 0;
    };
    if (is(QStringLiteral("AM")) || is(locale.amText()))
        return text.left(blank + 1) + ClockDesignator(false);
    if (is(QStringLiteral("PM")) || is(locale.pmText()))
        return text.left(blank + 1) + ClockDesignator(true);
    return text;
}

QTime ParseClockText(const QString &text, const QLocale &locale)
{
    QString t = text.trimmed();
    int pm = -1; // -1: 24-hour text, 0: AM, 1: PM
    const int blank = t.indexOf(u' ');
    if (blank > 0) {
        const QString designator = t.mid(blank + 1).trimmed();
        if (designator.compare(locale.amText(), Qt::CaseInsensitive) == 0 ||
            designator.compare(QLatin1String("AM"), Qt::CaseInsensitive) == 0)
            pm = 0;
        else if (designator.compare(locale.pmText(), Qt::CaseInsensitive) == 0 ||
                 designator.compare(QLatin1String("PM"), Qt::CaseInsensitive) == 0)
            pm = 1;
        else
            return {};
        t = t.left(blank);
    }
    const QStringList parts = t.split(u':');
    if (parts.size() != 3)
        return {};
    int values[3];
    for (int k = 0; k < 3; ++k) {
        bool ok = false;
        values[k] = parts[k].toInt(&ok);
        if (!ok || parts[k].isEmpty() || parts[k].size() > 2)
            return {};
    }
    int hour = values[0];
    if (pm >= 0) {
        if (hour < 1 || hour > 12)
            return {};
        hour = hour % 12 + (pm == 1 ? 12 : 0);
    }
    return QTime(hour, values[1], values[2]); // invalid when out of range
}

QString DateTimeText(const QDateTime &when, const QLocale &locale)
{
    return locale.toString(when.date(), QLocale::ShortFormat) + u' ' +
           ClockText(when.time(), locale);
}

QString TimeText(const QTime &time, const QLocale &locale)
{
    return ClockText(time, locale);
}

} // namespace qelt
