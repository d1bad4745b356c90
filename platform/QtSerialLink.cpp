#include "platform/QtSerialLink.h"

#include <QFile>
#include <QSerialPort>

#include <cerrno>

#include <sys/ioctl.h>
#include <unistd.h>

namespace qelt::platform {

namespace {

// What a failed QSerialPort::open means on Linux. A missing device file, a
// file that is not a serial device (ENOTTY) and a device node with no port
// behind it (ENXIO, EIO) all name no usable port. A port held by another
// program (QSerialPort's lock file, or the device's exclusive flag) is a
// PermissionError, but so is a device this user may not open: only where the
// user has read and write access was the port in use.
PortError openFailure(QSerialPort::SerialPortError error, const QString &device)
{
    switch (error) {
    case QSerialPort::DeviceNotFoundError:
    case QSerialPort::UnsupportedOperationError:
    case QSerialPort::ResourceError:
    case QSerialPort::UnknownError:
        return PortError::InvalidPort;
    case QSerialPort::PermissionError:
        return ::access(QFile::encodeName(device).constData(), R_OK | W_OK) == 0
                   ? PortError::PortInUse
                   : PortError::Other;
    default:
        return PortError::Other;
    }
}

} // namespace

QtSerialLink::QtSerialLink(ModemControl control)
    : m_control(control ? std::move(control)
                        : [](int fd, unsigned long request,
                             int lines) { return ::ioctl(fd, request, &lines); }),
      m_port(std::make_unique<QSerialPort>())
{
}
QtSerialLink::~QtSerialLink() = default;

void QtSerialLink::setCommPort(const QString &port)
{
    m_commPort = port;
}
QString QtSerialLink::commPort() const
{
    return m_commPort;
}
void QtSerialLink::setSettings(const QString &settings)
{
    m_settings = settings;
}
QString QtSerialLink::settings() const
{
    return m_settings;
}
bool QtSerialLink::portOpen() const
{
    return m_port->isOpen();
}
QString QtSerialLink::errorString() const
{
    return m_error;
}
bool QtSerialLink::rtsEnable() const
{
    return m_rts;
}
bool QtSerialLink::dtrEnable() const
{
    return m_dtr;
}

PortError QtSerialLink::setPortOpen(bool open)
{
    m_error.clear();
    if (!open) {
        if (m_port->isOpen())
            m_port->close();
        return PortError::None;
    }
    if (m_port->isOpen())
        return PortError::None;

    const QString device = PortDeviceName(m_commPort);
    if (device.isEmpty()) {
        m_error = QStringLiteral("No such port: %1").arg(m_commPort);
        return PortError::InvalidPort;
    }
    LineSettings ls;
    if (!ParseLineSettings(m_settings, &ls)) {
        m_error = QStringLiteral("Invalid line settings: %1").arg(m_settings);
        return PortError::Other;
    }
    m_port->setPortName(device);
    m_port->setBaudRate(ls.baud);
    m_port->setDataBits(static_cast<QSerialPort::DataBits>(ls.dataBits));
    m_port->setStopBits(ls.stopBits == 2 ? QSerialPort::TwoStop : QSerialPort::OneStop);
    switch (ls.parity.unicode()) {
    case 'E':
        m_port->setParity(QSerialPort::EvenParity);
        break;
    case 'O':
        m_port->setParity(QSerialPort::OddParity);
        break;
    case 'M':
        m_port->setParity(QSerialPort::MarkParity);
        break;
    case 'S':
        m_port->setParity(QSerialPort::SpaceParity);
        break;
    default:
        m_port->setParity(QSerialPort::NoParity);
        break;
    }
    m_port->setFlowControl(QSerialPort::NoFlowControl);

    if (!m_port->open(QIODevice::ReadWrite)) {
        const auto err = m_port->error();
        m_error = m_port->errorString();
        m_port->clearError();
        return openFailure(err, device);
    }
    // Both lines on: the transmitter draws its power from them and stands by.
    ++m_opens;
    setRTSEnable(true);
    setDTREnable(true);
    return PortError::None;
}

void QtSerialLink::switchLine(int line, const char *name, bool on)
{
    if (m_control(int(m_port->handle()), on ? TIOCMBIS : TIOCMBIC, line) == 0)
        return;
    const int error = errno;
    if (!m_error.isEmpty())
        return; // the first failure since the open tells most
    m_error = QStringLiteral("Cannot switch %1 %2 on %3: %4")
                  .arg(QLatin1String(name), QLatin1String(on ? "on" : "off"), m_port->portName(),
                       qt_error_string(error));
}

void QtSerialLink::setRTSEnable(bool on)
{
    m_rts = on;
    if (m_port->isOpen())
        switchLine(TIOCM_RTS, "RTS", on);
}

void QtSerialLink::setDTREnable(bool on)
{
    m_dtr = on;
    if (m_port->isOpen())
        switchLine(TIOCM_DTR, "DTR", on);
}

} // namespace qelt::platform
