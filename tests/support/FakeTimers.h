#pragma once

#include "core/Mailbox.h"
#include "core/services/SchedulerServices.h"

#include <QList>
#include <QStringList>

#include <functional>

namespace qelt::test {

// The timers window as the other windows see it: it keeps the switches they
// set and counts loads and unloads.
class FakeTimers : public TimersService {
public:
    QWidget *widget() override { return window; }
    void ensureLoaded() override { ++loads; }
    bool isLoaded() const override { return loaded; }
    void unload() override
    {
        ++unloads;
        if (onUnload)
            onUnload();
    }
    void setTimersEnabled(bool on) override { timersEnabled = on; }
    Mailbox &consoleCommandBox() override { return m_check4; }
    void setChkEnableLoop(int value) override { loopValues << value; }
    bool chkMsound() const override { return false; }
    void setChkTSound(int v) override { calls << QStringLiteral("T%1").arg(v); }
    void setChkMsound(int v) override { calls << QStringLiteral("M%1").arg(v); }
    void refreshFileList() override {}

    QWidget *window = nullptr; // stands for the timers window where a test needs one
    bool loaded = true;
    int loads = 0;
    int unloads = 0;
    QList<int> loopValues;
    QStringList calls; // "T<value>" / "M<value>" for the sound switches, and what onUnload adds
    std::function<void()> onUnload;
    bool timersEnabled = false; // the master switch as last set

private:
    Mailbox m_check4;
};

} // namespace qelt::test
