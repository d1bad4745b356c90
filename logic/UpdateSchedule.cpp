#include "logic/UpdateSchedule.h"

#include "logic/Lang.h"
#include "logic/Settings.h"
#include "logic/Transmitter.h"

namespace qelt {

namespace {

// A stored number; a value that is not a whole number reads as 0.
int settingNumber(const QString &key, const QString &defaultValue)
{
    bool ok = false;
    const int v = GetSet(QStringLiteral("Settings"), key, defaultValue).trimmed().toInt(&ok);
    return ok ? v : 0;
}

bool checkedUpdate()
{
    return GetSet(QStringLiteral("Settings"), QStringLiteral("CheckedUpdate"),
                  QStringLiteral("False"))
               .compare(QLatin1String("True"), Qt::CaseInsensitive) == 0;
}

} // namespace

int UpdateSchedule::Weekday(const QDate &date)
{
    return date.dayOfWeek() % 7 + 1;
}

void UpdateSchedule::tick(const QDateTime &now)
{
    if (++m_ticks < 30)
        return;
    m_ticks = 0;
    if (settingNumber(QStringLiteral("ChkForUpdts"), QStringLiteral("3")) == 1)
        weeklyRule(now);
    // While the question waits for its answer the clock keeps ticking; a
    // second question is not stacked on top of it.
    if (++m_blocks >= 2 && !m_asking) {
        if (settingNumber(QStringLiteral("ChkForUpdts"), QStringLiteral("3")) == 3) {
            m_asking = true;
            const auto ask = [this, now] {
                firstTimeQuestion(now);
                m_asking = false;
            };
            if (defer)
                defer(ask);
            else
                ask();
        }
        m_blocks = 0;
    }
}

void UpdateSchedule::weeklyRule(const QDateTime &now)
{
    const int day = settingNumber(QStringLiteral("ChkUpdtsDay"), QString());
    const bool checked = checkedUpdate();
    const int today = Weekday(now.date());
    const int hour = settingNumber(QStringLiteral("ChkUpdtsTime"), QStringLiteral("19"));
    if (checked && day != today)
        SaveSet(QStringLiteral("Settings"), QStringLiteral("CheckedUpdate"),
                QStringLiteral("False"));
    if (today == day && now.time().hour() >= hour && !checked)
        AutoUpdate(now);
}

void UpdateSchedule::AutoUpdate(const QDateTime &now)
{
    if (checkedUpdate() ||
        settingNumber(QStringLiteral("ChkUpdtsDay"), QString()) != Weekday(now.date()))
        return;
    if (setIndicator)
        setIndicator(LangCap(QStringLiteral("checking update")), true);
    Delay(0.2);
    SaveSet(QStringLiteral("Settings"), QStringLiteral("ChkType"), QStringLiteral("autocheck"));
    CurrentWaitClock().processEvents();
    Delay(0.3);
    if (startUpdater)
        startUpdater();
    CurrentWaitClock().processEvents();
    SaveSet(QStringLiteral("Settings"), QStringLiteral("CheckedUpdate"), QStringLiteral("True"));
    Delay(0.8);
    if (setIndicator)
        setIndicator(QString(), false);
}

void UpdateSchedule::firstTimeQuestion(const QDateTime &now)
{
    const QString prompt =
        LangCap(QStringLiteral("Would you like to automatically check for updates once a week?")) +
        QStringLiteral("\r\n") +
        LangCap(QStringLiteral("This setting can be changed anytime by clicking Menu ->")) +
        QStringLiteral("\r\n") +
        LangCap(QStringLiteral("Setup Preferences, and then the Advanced tab."));
    const bool yes =
        askYesNo && askYesNo(prompt, LangCap(QStringLiteral("Automatic Check for Updates?")));
    if (yes) {
        SaveSet(QStringLiteral("Settings"), QStringLiteral("ChkForUpdts"), QStringLiteral("1"));
        SaveSet(QStringLiteral("Settings"), QStringLiteral("ChkUpdtsDay"),
                QString::number(Weekday(now.date())));
        SaveSet(QStringLiteral("Settings"), QStringLiteral("ChkUpdtsTime"),
                now.time().toString(QStringLiteral("hh")));
    } else {
        SaveSet(QStringLiteral("Settings"), QStringLiteral("ChkForUpdts"), QStringLiteral("0"));
    }
}

} // namespace qelt
