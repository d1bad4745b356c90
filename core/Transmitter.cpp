#include "core/Transmitter.h"

#include "core/ErrorLog.h"
#include "core/Globals.h"
#include "platform/SerialLink.h"

#include <QCoreApplication>

#include <cerrno>
#include <cmath>
#include <ctime>
#include <limits>
#include <thread>

namespace qelt
{

namespace
{

// The bytes around a command code in a frame (D5 AA ... AD).
constexpr const char *kFrameHead = "1101010110101010";
constexpr const char *kFrameTail = "10101101";

qint64 monotonicNs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return qint64(ts.tv_sec) * 1'000'000'000 + ts.tv_nsec;
}

// The real clock: CLOCK_MONOTONIC, so a wait is unaffected by midnight or by
// changes of the wall clock.
class SystemWaitClock : public WaitClock
{
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

SystemWaitClock g_systemClock;
WaitClock *g_clock = &g_systemClock;
platform::SerialLink *g_link = nullptr;

} // namespace

WaitClock &CurrentWaitClock()
{
    return *g_clock;
}
void SetWaitClock(WaitClock *clock)
{
    g_clock = clock ? clock : &g_systemClock;
}

platform::SerialLink *CommLink()
{
    return g_link;
}
void SetCommLink(platform::SerialLink *link)
{
    g_link = link;
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

void SendBits(const QString &bits)
{
    SendBusy = true;
    Delay(0.07f);
    // No event runs from here to the end of the frame, so frames started by
    // handlers inside the wait above are sent whole before this one begins.
    platform::SerialLink *link = CommLink();
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

bool IsCmdCode(const QString &code)
{
    if (code.size() != 16)
        return false;
    for (const QChar ch : code)
        if (ch != u'0' && ch != u'1')
            return false;
    return true;
}

QString RfFrame(const QString &code)
{
    if (!IsCmdCode(code))
        return {};
    return QLatin1StringView(kFrameHead) + code + QLatin1StringView(kFrameTail);
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
