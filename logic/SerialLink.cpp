#include "logic/SerialLink.h"

namespace qelt {

QString PortDeviceName(const QString &port)
{
    const QString t = port.trimmed();
    if (t.startsWith('/'))
        return t;
    bool ok = false;
    const int n = t.toInt(&ok);
    if (!ok || n < 1)
        return {};
    return QStringLiteral("/dev/ttyS%1").arg(n - 1);
}

bool ParseLineSettings(const QString &text, LineSettings *out)
{
    const QStringList parts = text.split(',');
    if (parts.size() != 4)
        return false;
    bool okBaud = false, okData = false, okStop = false;
    LineSettings s;
    s.baud = parts[0].trimmed().toInt(&okBaud);
    const QString parity = parts[1].trimmed().toUpper();
    s.dataBits = parts[2].trimmed().toInt(&okData);
    s.stopBits = parts[3].trimmed().toInt(&okStop);
    if (!okBaud || s.baud <= 0 || parity.size() != 1 || !QStringLiteral("NEOMS").contains(parity) ||
        !okData || s.dataBits < 5 || s.dataBits > 8 || !okStop ||
        (s.stopBits != 1 && s.stopBits != 2))
        return false;
    s.parity = parity[0];
    *out = s;
    return true;
}

RecordingSerialLink::RecordingSerialLink()
{
    m_clock.start();
}

PortError RecordingSerialLink::setPortOpen(bool open)
{
    m_error.clear();
    if (!open) {
        m_open = false;
        return PortError::None;
    }
    if (m_open)
        return PortError::None;
    if (PortDeviceName(m_commPort).isEmpty() || missingPorts.contains(m_commPort)) {
        m_error = QStringLiteral("No such port: %1").arg(m_commPort);
        return PortError::InvalidPort;
    }
    if (busyPorts.contains(m_commPort)) {
        m_error = QStringLiteral("Port in use: %1").arg(m_commPort);
        return PortError::PortInUse;
    }
    m_open = true;
    ++openCount;
    setRTSEnable(true);
    setDTREnable(true);
    return PortError::None;
}

void RecordingSerialLink::setRTSEnable(bool on)
{
    m_rts = on;
    changes.append({Line::RTS, on, m_clock.nsecsElapsed()});
}

void RecordingSerialLink::setDTREnable(bool on)
{
    m_dtr = on;
    changes.append({Line::DTR, on, m_clock.nsecsElapsed()});
}

QString RecordingSerialLink::decodedBits() const
{
    QString bits;
    int i = 0;
    while (i < changes.size()) {
        const Change &a = changes[i];
        if (i + 1 < changes.size() && a.line == Line::RTS && a.on &&
            changes[i + 1].line == Line::DTR && changes[i + 1].on) {
            i += 2; // standby, no bit
            continue;
        }
        if (i + 3 >= changes.size()) {
            bits += '?';
            break;
        }
        const Change &b = changes[i + 1], &c = changes[i + 2], &d = changes[i + 3];
        const bool shape = a.line == Line::RTS && b.line == Line::DTR && c.line == Line::RTS &&
                           d.line == Line::DTR && c.on && d.on && a.on != b.on;
        bits += shape ? (a.on ? QChar('1') : QChar('0')) : QChar('?');
        i += 4;
    }
    return bits;
}

} // namespace qelt
