#include "logic/Transmitter.h"

#include "logic/ErrorLog.h"
#include "logic/Globals.h"
#include "logic/SerialLink.h"

#include <QCoreApplication>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <ctime>
#include <limits>
#include <thread>

namespace qelt {

namespace {

qint64 monotonicNs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return qint64(ts.tv_sec) * 1'000'000'000 + ts.tv_nsec;
}

// The real clock: CLOCK_MONOTONIC, so a wait is unaffected by midnight or by
// changes of the wall clock.
class SystemWaitClock : public WaitClock {
public:
    qint64 nowNs() const override { return monotonicNs(); }

    void processEvents() override
    {
        if (QCoreApplication::instance())
            QCoreApplication::processEvents();
    }

    void sleepMs(int ms) override
    {
        if (ms <= 0) {
            std::this_thread::yield();
            return;
        }
        const qint64 ns = qint64(ms) * 1'000'000;
        timespec ts{time_t(ns / 1'000'000'000), long(ns % 1'000'000'000)};
        while (nanosleep(&ts, &ts) != 0 && errno == EINTR) {
        }
    }

    // A line state must last at least ns, and no event may run meanwhile.
    // Sleep for the bulk of it (the kernel may overshoot by some tens of
    // microseconds, which only lengthens the hold), then spin to the deadline.
    void holdNs(qint64 ns) override
    {
        if (ns <= 0)
            return;
        const qint64 deadline = monotonicNs() + ns;
        constexpr qint64 kSpinNs = 150'000;
        if (ns > kSpinNs) {
            const qint64 sleepNs = ns - kSpinNs;
            timespec ts{time_t(sleepNs / 1'000'000'000), long(sleepNs % 1'000'000'000)};
            while (nanosleep(&ts, &ts) != 0 && errno == EINTR) {
            }
        }
        while (monotonicNs() < deadline) {
        }
    }
};

// The real clock has no state of its own: it reads the system's.
SystemWaitClock g_systemClock;

} // namespace

WaitClock &CurrentWaitClock()
{
    return WaitClockSet ? *WaitClockSet : g_systemClock;
}
void SetWaitClock(WaitClock *clock)
{
    WaitClockSet = clock;
}

SerialLink *CommLink()
{
    return CommLinkSet;
}
void SetCommLink(SerialLink *link)
{
    CommLinkSet = link;
    PoweredLink = nullptr; // a new link powers up with its next open or frame
}

void Delay(double seconds)
{
    WaitClock &clock = CurrentWaitClock();
    // Zero, negative and NaN waits return at once, without running events.
    if (!(seconds > 0))
        return;
    const qint64 start = clock.nowNs();
    const double spanNs = seconds * 1e9;
    // Waits of centuries are clamped rather than overflowing.
    constexpr double kMaxNs = 9.0e18;
    const qint64 target = double(start) + spanNs >= kMaxNs ? std::numeric_limits<qint64>::max()
                                                           : start + qint64(std::llround(spanNs));
    if (clock.nowNs() >= target)
        return;
    for (;;) {
        // Re-read the current clock each turn: a handler run by the pump may
        // install another one, and the old one may be gone by then.
        WaitClock &c = CurrentWaitClock();
        c.processEvents();
        if (AbortSend)
            return;
        c.sleepMs(5);
        if (CurrentWaitClock().nowNs() >= target)
            return;
    }
}

namespace {

// Nanoseconds still to wait before a frame may start on link; a link opened
// since the last look counts as powered up now.
qint64 powerUpRemainingNs(const SerialLink *link)
{
    // A link never opened here powers nothing up.
    if (link->openGeneration() == 0)
        return 0;
    const qint64 now = CurrentWaitClock().nowNs();
    if (link != PoweredLink || link->openGeneration() != PoweredOpen)
        NoteLinkPoweredUp(link);
    const qint64 remaining = PoweredReadyNs - now;
    // More than the whole power-up time left: the stamp came from another
    // clock (a test's), not from this open.
    return remaining > kPowerUpNs ? 0 : remaining;
}

} // namespace

void NoteLinkPoweredUp(const SerialLink *link)
{
    PoweredLink = link;
    PoweredOpen = link ? link->openGeneration() : 0;
    PoweredReadyNs = CurrentWaitClock().nowNs() + kPowerUpNs;
}

void SendBits(const QString &bits)
{
    SendBusy = true;
    // The usual short wait, longer while the transmitter is still powering
    // up after the port was opened. Events run here; a frame begun by one of
    // them is sent whole before this one.
    double wait = 0.07f;
    if (SerialLink *link = CommLink())
        wait = std::max(wait, double(powerUpRemainingNs(link)) / 1e9);
    for (;;) {
        Delay(wait);
        if (AbortSend) {
            // Exit has begun: nothing more leaves the program.
            SendBusy = false;
            return;
        }
        SerialLink *link = CommLink();
        const qint64 remaining = link ? powerUpRemainingNs(link) : 0;
        if (remaining <= 0)
            break;
        wait = double(remaining) / 1e9;
    }
    // No event runs from here to the end of the frame.
    SerialLink *link = CommLink();
    if (link) {
        WaitClock &clock = CurrentWaitClock();
        for (const QChar ch : bits) {
            if (ch == u'1') {
                link->setRTSEnable(true);
                link->setDTREnable(false);
            } else {
                link->setRTSEnable(false);
                link->setDTREnable(true);
            }
            clock.holdNs(kStateHoldNs);
            link->setRTSEnable(true);
            link->setDTREnable(true);
            clock.holdNs(kStateHoldNs);
            clock.sleepMs(0);
        }
    }
    SendBusy = false;
}

bool SendCode(const QString &code, const QString &procName, const QString &moduleName)
{
    if (!IsCmdCode(code)) {
        // Error 5 is the run-time layer's "invalid procedure call or argument".
        LogErr(procName, moduleName, 5,
               QStringLiteral("Invalid command code '%1' not sent").arg(code.left(64)));
        return false;
    }
    SendBits(RfFrame(code));
    return true;
}

} // namespace qelt
