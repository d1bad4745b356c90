#include "logic/LoopTimer.h"

#include "logic/DayRule.h"
#include "logic/Lang.h"
#include "logic/Transmitter.h"

#include <QLocale>

#include <algorithm>
#include <cmath>

namespace qelt {

namespace {

// The longest pause four digits write ("9999").
constexpr double kLongestPauseSeconds = 9999;

} // namespace

QTime ParseTypedTime(const QString &text)
{
    QString t = text.trimmed();
    int pm = -1; // -1: 24-hour text, 0: AM, 1: PM
    const int blank = t.indexOf(u' ');
    if (blank > 0) {
        const QString d = t.mid(blank + 1).trimmed();
        const QLocale locale;
        if (d.compare(QLatin1String("AM"), Qt::CaseInsensitive) == 0 ||
            d.compare(locale.amText(), Qt::CaseInsensitive) == 0)
            pm = 0;
        else if (d.compare(QLatin1String("PM"), Qt::CaseInsensitive) == 0 ||
                 d.compare(locale.pmText(), Qt::CaseInsensitive) == 0)
            pm = 1;
        else
            return {};
        t = t.left(blank);
    }
    const QStringList parts = t.split(u':');
    if (parts.size() < 2 || parts.size() > 3)
        return {};
    int v[3] = {0, 0, 0};
    for (int k = 0; k < parts.size(); ++k) {
        bool ok = false;
        v[k] = parts[k].toInt(&ok);
        if (!ok || parts[k].isEmpty() || parts[k].size() > 2 || !parts[k][0].isDigit())
            return {};
    }
    int hour = v[0];
    if (pm >= 0) {
        if (hour < 1 || hour > 12)
            return {};
        hour = hour % 12 + (pm == 1 ? 12 : 0);
    }
    return QTime(hour, v[1], v[2]);
}

bool LoopWindowOpen(bool useWindow, const QTime &now, const QString &start, const QString &end)
{
    if (!useWindow)
        return true;
    const QTime from = ParseTypedTime(start);
    const QTime to = ParseTypedTime(end);
    if (!from.isValid() || !to.isValid() || !now.isValid())
        return false;
    const QTime t(now.hour(), now.minute(), now.second());
    if (from < to)
        return t > from && t < to;
    if (from > to)
        return t > from || t < to;
    return false;
}

QString LoopDayStop(const QString &rule, int qtWeekday)
{
    const bool weekend = qtWeekday >= 6;
    // The day as Sunday = 1 .. Saturday = 7.
    const int day = qtWeekday % 7 + 1;
    if (rule == QLatin1String(kRuleWeekdays) && weekend)
        return QStringLiteral("Set for Weekdays only: Stopped for Weekend ");
    if (rule == QLatin1String(kRuleWeekends) && !weekend)
        return QStringLiteral("Set for Weekends only: Stopped for Weekdays ");
    if (rule == QLatin1String(kRuleSunThu) && day >= 6)
        return QStringLiteral("Set for Sunday - Thursday only: Stopped! ");
    if (rule == QLatin1String(kRuleFriSat) && day < 6)
        return QStringLiteral("Set for Friday and Saturday only: Stopped! ");
    return {};
}

void LoopTimer::reset()
{
    lines.clear();
    LoopLine = 0;
    LoopAtBoundary = true;
}

int LoopTimer::IntervalMs(const QString &pause, bool flash)
{
    bool ok = false;
    double seconds = pause.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(seconds))
        seconds = 0;
    if (flash)
        seconds -= 0.2;
    if (seconds < 1)
        seconds = 1.05;
    // Four characters can still spell a huge number ("9e99"); the clock
    // takes whole milliseconds in an int.
    seconds = std::min(seconds, kLongestPauseSeconds);
    return int(std::lround(seconds * 1000));
}

LoopTimer::Tick LoopTimer::tick(bool windowOpen, bool enabled, const QString &rule, int qtWeekday,
                                bool flash, const QString &windowStart, const QString &windowEnd)
{
    Tick t;
    if (!windowOpen && LoopAtBoundary) {
        t.statusChanged = true;
        t.state = LangCap(QStringLiteral("Set for")) + " " + windowStart + " to " + windowEnd +
                  ". " + LangCap(QStringLiteral("Not Running"));
        return t;
    }
    if (!enabled)
        return t;
    if (LoopAtBoundary) {
        const QString stop = LoopDayStop(rule, qtWeekday);
        if (!stop.isEmpty()) {
            t.statusChanged = true;
            t.state = stop;
            t.rgb = int(kLoopStoppedRgb);
            t.nextInterval = 1500;
            return t;
        }
    }
    if (lines.isEmpty()) // nothing to play: the loop stands between passes
        return t;
    if (LoopLine < 0 || LoopLine >= lines.size())
        LoopLine = 0;
    LoopAtBoundary = false;
    t.statusChanged = true;
    t.state = QStringLiteral("Running ... ");
    t.rgb = int(kLoopRunningRgb);
    const QString line = lines.at(LoopLine);
    const QString code = line.left(16);
    // A line whose code is not a command would go out as a garbled frame.
    if (IsCmdCode(code) && line.size() >= 20)
        t.frame = RfFrame(code);
    t.nextInterval = IntervalMs(line.size() >= 20 ? line.right(4) : QString(), flash);
    t.flash = flash && !t.frame.isEmpty();
    if (LoopLine == lines.size() - 1)
        LoopAtBoundary = true;
    LoopLine = (LoopLine + 1) % int(lines.size());
    return t;
}

} // namespace qelt
