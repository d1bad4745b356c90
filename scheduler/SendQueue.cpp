#include "scheduler/SendQueue.h"

#include "core/ErrorLog.h"
#include "core/Settings.h"
#include "core/Transmitter.h"

namespace qelt {

namespace {
const QString kFrameHead = QStringLiteral("1101010110101010");
const QString kFrameTail = QStringLiteral("10101101");
} // namespace

bool IsRfFrame(const QString &frame)
{
    return frame.size() == 40 && frame.startsWith(kFrameHead) && frame.endsWith(kFrameTail)
           && IsCmdCode(frame.mid(16, 16));
}

void SendQueue::add(const QString &frame)
{
    m_entries.append(frame);
}

double SendQueue::GPause()
{
    bool ok = false;
    const double pause =
        GetSet(QStringLiteral("Settings"), QStringLiteral("GPause"), QStringLiteral("0.6"))
            .trimmed()
            .toDouble(&ok);
    if (!ok || pause != pause) // not a number
        return 0.6;
    return pause < 0 ? 0.0 : pause;
}

void SendQueue::tick()
{
    m_interval = 100;
    if (m_busy)
        return; // the previous tick is still sending or pausing
    m_busy = true;
    CurrentWaitClock().processEvents();
    if (m_entries.isEmpty()) {
        m_busy = false;
        return;
    }
    CurrentWaitClock().processEvents();
    if (!m_entries.isEmpty()) {
        const QString frame = m_entries.takeFirst();
        if (IsRfFrame(frame)) {
            SendBits(frame);
            if (onSent)
                onSent(frame);
        } else {
            // Not sent: the producers queue only whole frames, so this is a fault.
            LogErr(QStringLiteral("tmrSendBits_Timer"), QStringLiteral("FrmTimers"), 5,
                   QStringLiteral("Bad frame dropped from the send queue: ") + frame.left(64));
            m_busy = false;
            return; // nothing was sent, so no pause
        }
    }
    Delay(GPause());
    m_busy = false;
}

} // namespace qelt
