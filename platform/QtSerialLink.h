#pragma once

#include "logic/SerialLink.h"

#include <QString>

#include <functional>
#include <memory>

class QSerialPort;

namespace qelt::platform {

// The real port over QSerialPort, no flow control. RTS and DTR are switched
// with one ioctl per change on the port's own descriptor: QSerialPort reads
// the lines back before every change, which doubles the time a bit takes.
class QtSerialLink : public SerialLink {
public:
    // Sets (TIOCMBIS) or clears (TIOCMBIC) the modem-control bits in `lines`
    // on descriptor fd; returns 0, or -1 with errno set, as ioctl does.
    using ModemControl = std::function<int(int fd, unsigned long request, int lines)>;

    // control: how the lines are switched; empty for the real ioctl.
    explicit QtSerialLink(ModemControl control = {});
    ~QtSerialLink() override;
    void setCommPort(const QString &port) override;
    QString commPort() const override;
    void setSettings(const QString &settings) override;
    QString settings() const override;
    PortError setPortOpen(bool open) override;
    bool portOpen() const override;
    quint64 openGeneration() const override { return m_opens; }
    QString errorString() const override;
    void setRTSEnable(bool on) override;
    void setDTREnable(bool on) override;
    bool rtsEnable() const override;
    bool dtrEnable() const override;

private:
    // Switches one line of the open port. The first failure is kept in
    // errorString() until the next open, so that the changes after it do not
    // hide it.
    void switchLine(int line, const char *name, bool on);

    ModemControl m_control;
    std::unique_ptr<QSerialPort> m_port;
    QString m_commPort;
    QString m_settings = QStringLiteral("9600,N,8,1");
    QString m_error;
    bool m_rts = false;
    bool m_dtr = false;
    quint64 m_opens = 0;
};

} // namespace qelt::platform
