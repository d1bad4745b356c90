#pragma once

#include "logic/RfFrame.h"

#include <QString>

namespace qelt {

class SerialLink;

// Time source of every wait. The real one uses the monotonic clock; tests
// install a fake whose sleeps advance its own time, so no test waits for
// real seconds.
class WaitClock {
public:
    virtual ~WaitClock() = default;
    virtual qint64 nowNs() const = 0;   // monotonic nanoseconds
    virtual void processEvents() = 0;   // let pending window events run
    virtual void sleepMs(int ms) = 0;   // sleep without running events (0 = yield)
    virtual void holdNs(qint64 ns) = 0; // hold a line state (no events run)
};
WaitClock &CurrentWaitClock();
// nullptr restores the real clock.
void SetWaitClock(WaitClock *clock);

// The serial link every sender drives (the main window's MSComm1). It is
// owned by the main window; nullptr while none is set.
SerialLink *CommLink();
void SetCommLink(SerialLink *link);

// Waits the given seconds on the monotonic clock, letting window events run
// and sleeping about 5 ms a turn. A wait of 0 or less returns at once without
// running events; once AbortSend is set it returns after the next event run.
void Delay(double seconds);

// The transmitter needs every line state (signal and standby) held at least
// this long.
inline constexpr qint64 kStateHoldNs = 500'000;

// After the port is opened (both lines on), the transmitter needs this long
// to power up before it takes its first frame.
inline constexpr qint64 kPowerUpNs = 500'000'000;

// Clocks a string of "0"/"1" out on RTS and DTR after a 0.07 s Delay (the
// only place where events run), stretched so that no frame starts sooner
// than kPowerUpNs after the link was opened. Per character: a "1" is RTS on,
// DTR off; anything else is RTS off, DTR on; then both on (standby). Each
// signal and each standby state is held kStateHoldNs. Sets SendBusy while it
// runs. Sends nothing when no link is set, and nothing once AbortSend is set
// (exit has begun).
void SendBits(const QString &bits);

// Notes that link was opened just now: the power-up wait counts from here.
// The bit sender notices an open it was not told of by itself, and then
// counts the wait from its first frame.
void NoteLinkPoweredUp(const SerialLink *link);

// Sends the frame of one command code. A code that is not a CmdCode is not
// sent: it is written to the error log with the caller's procedure and
// module names, and the result is false.
bool SendCode(const QString &code, const QString &procName, const QString &moduleName);

// The two fixed patterns.
inline constexpr const char *kLeadIn = "1000000000000000000000001";
inline constexpr const char *kClosingPattern = "10000000000000000000000000000001";

} // namespace qelt
