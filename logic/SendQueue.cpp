#include "logic/SendQueue.h"

#include "logic/ErrorLog.h"
#include "logic/RfFrame.h"
#include "logic/Settings.h"
#include "logic/Transmitter.h"

#include <algorithm>
#include <cmath>

namespace qelt {

bool IsRfFrame(const QString &frame)
{
    // The code stands after the frame's 16-character head.
    const QString whole = RfFrame(frame.mid(16, 16));
    return !whole.isEmpty() && frame == whole;
}

void SendQueue::add(const QString &frame)
{
    m_entries.append(frame);
}

double SendQueue::GPause()
{
    QString text =
        GetSet(QStringLiteral("Settings"), QStringLiteral("GPause"), QStringLiteral("0.6"))
            .trimmed();
    bool ok = false;
    double pause = text.toDouble(&ok);
    if (!ok) // typed with a decimal comma, as the user's locale may write it
        pause = text.replace(u',', u'.').toDouble(&ok);
    if (!ok || !std::isfinite(pause))
        return 0.6;
    return pause < 0 ? 0.0 : pause;
}

bool SendQueue::busy() const
{
    return m_sending || CurrentWaitClock().nowNs() < m_pauseUntilNs;
}

void SendQueue::tick()
{
    m_interval = 100;
    // While a frame goes out (its lead-in wait lets events run) or during the
    // pause after it, a tick sends nothing, so frames never overlap or change
    // order. The pause is kept as a deadline rather than waited here: a
    // nested wait would hold up whatever handler this tick ran inside of.
    if (busy())
        return;
    m_sending = true;
    WaitClock &clock = CurrentWaitClock();
    clock.processEvents();
    if (!m_entries.isEmpty()) {
        clock.processEvents();
        const QString frame = m_entries.isEmpty() ? QString() : m_entries.takeFirst();
        if (IsRfFrame(frame)) {
            SendBits(frame);
            if (onSent)
                onSent(frame);
            // A day at most, so an absurd setting cannot overflow the deadline.
            m_pauseUntilNs = CurrentWaitClock().nowNs() + qint64(std::min(GPause(), 86400.0) * 1e9);
        } else if (!frame.isNull()) {
            // Not sent, and no pause: the producers queue only whole frames.
            LogErr(QStringLiteral("tmrSendBits_Timer"), QStringLiteral("FrmTimers"), 5,
                   QStringLiteral("Bad frame dropped from the send queue: ") + frame.left(64));
        }
    }
    m_sending = false;
}

} // namespace qelt
