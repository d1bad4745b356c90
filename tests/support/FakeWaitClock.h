#pragma once

#include "logic/Transmitter.h"

#include <QCoreApplication>

#include <functional>

namespace qelt::test {

// A wait clock whose time moves only when the code under test sleeps or
// holds a line state, so waits of any length finish at once. Constructing it
// installs it as the current wait clock; destroying it restores the real one.
//
//   FakeWaitClock clock;
//   clock.onProcessEvents = [&] { if (clock.nowNs() > 50'000'000) AbortSend = true; };
//   Delay(1.0);
class FakeWaitClock : public WaitClock {
public:
    FakeWaitClock() { SetWaitClock(this); }
    ~FakeWaitClock() override { SetWaitClock(nullptr); }
    FakeWaitClock(const FakeWaitClock &) = delete;
    FakeWaitClock &operator=(const FakeWaitClock &) = delete;

    qint64 nowNs() const override { return now; }

    void processEvents() override
    {
        ++processCount;
        if (pumpRealEvents && QCoreApplication::instance())
            QCoreApplication::processEvents();
        if (onProcessEvents)
            onProcessEvents();
    }

    void sleepMs(int ms) override
    {
        ++sleepCount;
        if (ms > 0)
            now += qint64(ms) * 1'000'000;
    }

    void holdNs(qint64 ns) override
    {
        ++holdCount;
        if (ns > 0) {
            now += ns;
            heldNs += ns;
        }
    }

    void advanceMs(qint64 ms) { now += ms * 1'000'000; }
    double elapsedSeconds(qint64 sinceNs = 0) const { return double(now - sinceNs) / 1e9; }

    qint64 now = 0;       // fake monotonic time in nanoseconds
    int processCount = 0; // event pumps so far
    int sleepCount = 0;   // sleeps (and yields) so far
    int holdCount = 0;    // line-state holds so far
    qint64 heldNs = 0;    // total time spent holding line states
    // Also run the application's pending events on each pump (queued
    // signals, posted events), as the real clock does.
    bool pumpRealEvents = true;
    // Runs on every event pump, after the application's events: lets a test
    // act "inside" a wait (set AbortSend, send another frame, ...).
    std::function<void()> onProcessEvents;
};

} // namespace qelt::test
