#pragma once

#include <QElapsedTimer>
#include <QString>
#include <QStringList>
#include <QVector>

namespace qelt {

// Why a port could not be opened. The console tells "invalid port" (no such
// device, or not a serial device) from "port already open" (another program
// holds it) apart; everything else, a port this user may not open among
// them, is Other.
enum class PortError { None, InvalidPort, PortInUse, Other };

// The serial control the transmitter hangs on: a port chosen by number (or
// device path), its line settings, open/closed, and the two handshake lines
// RTS and DTR. No data byte is ever written.
class SerialLink {
public:
    virtual ~SerialLink() = default;

    // A port number n names /dev/ttyS(n-1); a text starting with "/" is a
    // device path (USB adapters). Takes effect at the next open.
    virtual void setCommPort(const QString &port) = 0;
    virtual QString commPort() const = 0;
    // Line settings in the form "9600,N,8,1".
    virtual void setSettings(const QString &settings) = 0;
    virtual QString settings() const = 0;

    // Opens or closes the port. Opening an open port, or closing a closed
    // one, is PortError::None. A successful open brings RTS and DTR both on
    // (standby): the transmitter takes its power from these lines.
    virtual PortError setPortOpen(bool open) = 0;
    virtual bool portOpen() const = 0;
    // Counts the successful opens of this link (0 before the first), so the
    // bit sender can tell a freshly powered transmitter from a running one.
    virtual quint64 openGeneration() const = 0;
    virtual QString errorString() const = 0;

    virtual void setRTSEnable(bool on) = 0;
    virtual void setDTREnable(bool on) = 0;
    virtual bool rtsEnable() const = 0;
    virtual bool dtrEnable() const = 0;
};

// The device path for a port text: "1" -> "/dev/ttyS0", "/dev/ttyUSB0"
// unchanged; "" for anything else (zero, negative, not a number, relative).
QString PortDeviceName(const QString &port);

// Parsed "baud,parity,data,stop". False when the text is malformed.
struct LineSettings {
    int baud = 9600;
    QChar parity = 'N';
    int dataBits = 8;
    int stopBits = 1;
};
bool ParseLineSettings(const QString &text, LineSettings *out);

// A fake port that records every line change with its time, for tests and
// the benchmarks. Ports listed in missingPorts / busyPorts fail to open.
class RecordingSerialLink : public SerialLink {
public:
    enum class Line { RTS, DTR };
    struct Change {
        Line line;
        bool on;
        qint64 ns; // monotonic time of the change
    };

    RecordingSerialLink();
    void setCommPort(const QString &port) override { m_commPort = port; }
    QString commPort() const override { return m_commPort; }
    void setSettings(const QString &settings) override { m_settings = settings; }
    QString settings() const override { return m_settings; }
    PortError setPortOpen(bool open) override;
    bool portOpen() const override { return m_open; }
    quint64 openGeneration() const override { return quint64(openCount); }
    QString errorString() const override { return m_error; }
    void setRTSEnable(bool on) override;
    void setDTREnable(bool on) override;
    bool rtsEnable() const override { return m_rts; }
    bool dtrEnable() const override { return m_dtr; }

    QVector<Change> changes;
    QStringList missingPorts;
    QStringList busyPorts;
    int openCount = 0;

    // The bits clocked out since the last clear, decoded from the line
    // changes: a 1 is RTS on / DTR off, a 0 is RTS off / DTR on, each followed
    // by both lines on. A pair "RTS on, DTR on" where a bit would begin is
    // the standby of an open and decodes as nothing. A group of four changes
    // that is not such a bit decodes as "?".
    QString decodedBits() const;
    void clear() { changes.clear(); }

private:
    QElapsedTimer m_clock;
    QString m_commPort;
    QString m_settings;
    QString m_error;
    bool m_open = false;
    bool m_rts = false;
    bool m_dtr = false;
};

} // namespace qelt
