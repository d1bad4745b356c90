#pragma once

#include "logic/SchedulerHost.h"

namespace qelt {

// The real neighbours: TimerLog(), MainWindow() (each skipped while it does
// not exist), the chosen timer and tick sounds, RunFile. The sound switches follow the settings
// "Sounds"/"TimerTsound" and "TimerMsound" unless the window overrides them.
class ServicesHost : public SchedulerHost {
public:
    void appendLog(const QString &entry) override;
    int statusRowCount() const override;
    QString statusText(int row) const override;
    void setStatus(int row, const QString &text, unsigned rgb) override;
    void setTimerIndicator(bool on) override;
    void setLamp(bool lit) override;
    void frmReturn() override;
    bool strtGroup(int sNum, const QString &sAction) override;
    bool timerSoundOn() const override;
    bool tickSoundOn() const override;
    void playTimerSound() override;
    void playTickSound() override;
    bool runFile(const QString &commandLine) override;
};

} // namespace qelt
