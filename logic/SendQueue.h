#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// The send queue lstBuffer and its timer tmrSendBits: frames queued by the
// macro slots and the loop timer are sent one per tick, oldest first, each
// followed by the pause "Settings"/"GPause".
namespace qelt {

class SendQueue {
public:
    // tmrSendBits' interval in ms: 50 until the first tick, then 100.
    int interval() const { return m_interval; }

    // Appends a frame (lstBuffer AddItem).
    void add(const QString &frame);
    int size() const { return int(m_entries.size()); }
    bool isEmpty() const { return m_entries.isEmpty(); }
    const QStringList &entries() const { return m_entries; }
    void clear() { m_entries.clear(); }

    // The tmrSendBits tick: sends the first entry with SendBits and removes
    // it; the ticks of the next GPause seconds then send nothing (other
    // events run as usual). A tick that comes while a frame is still going
    // out does nothing either, so frames never overlap or change order. An
    // entry that is not a frame (empty, or not "1101010110101010" + code +
    // "10101101") is dropped unsent and written to the error log.
    void tick();
    // True while a frame is going out or its pause lasts.
    bool busy() const;

    // "Settings"/"GPause" in seconds ("0.6", ".6" or "0,6"): 0.6 when
    // missing or not a number, 0 when negative.
    static double GPause();

    // Called after every frame handed to SendBits (the benchmark's probe).
    std::function<void(const QString &frame)> onSent;

private:
    QStringList m_entries;
    int m_interval = 50;
    bool m_sending = false;
    qint64 m_pauseUntilNs = 0;
};

// True when frame is a whole RfFrame of a valid command code.
bool IsRfFrame(const QString &frame);

} // namespace qelt
