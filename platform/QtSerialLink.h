#pragma once

#include "logic/SerialLink.h"

#include <QString>

#include <memory>

class QSerialPort;

namespace qelt::platform {

// The real port over QSerialPort, no flow control.
class QtSerialLink : public SerialLink {
public:
    QtSerialLink();
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
    std::unique_ptr<QSerialPort> m_port;
    QString m_commPort;
    QString m_settings = QStringLiteral("9600,N,8,1");
    QString m_error;
    bool m_rts = false;
    bool m_dtr = false;
    quint64 m_opens = 0;
};

} // namespace qelt::platform
