#pragma once

#include <QDateTime>
#include <QString>

#include <functional>

namespace qelt {

// The console clock's update-check schedule: every 30th tick (15 s) it applies
// the weekly rule that starts the updater, and every second such block (30 s)
// it asks, while the user has not been asked yet, whether to check for
// updates automatically. The window supplies the parts that show or start
// something; the settings are read and written here.
class UpdateSchedule {
public:
    // Shows (or with an empty caption and false, hides) the indicator label.
    std::function<void(const QString &caption, bool visible)> setIndicator;
    // Starts the updater program; no arguments.
    std::function<void()> startUpdater;
    // Asks a Yes/No question; true for Yes.
    std::function<bool(const QString &prompt, const QString &title)> askYesNo;
    // Runs the first-time question later, outside the tick (the window
    // queues it, so that its clock goes on while the question is open);
    // unset, the question is asked within the tick.
    std::function<void(std::function<void()>)> defer;

    // One clock tick at local time now.
    void tick(const QDateTime &now);

    // Starts the updater when this week's check is due and has not run.
    void AutoUpdate(const QDateTime &now);

    // Sunday = 1 to Saturday = 7.
    static int Weekday(const QDate &date);

private:
    void weeklyRule(const QDateTime &now);
    void firstTimeQuestion(const QDateTime &now);

    int m_ticks = 0;
    int m_blocks = 0;
    bool m_asking = false; // the question is open (clock ticks go on meanwhile)
};

} // namespace qelt
