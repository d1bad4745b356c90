#include "core/SingleInstance.h"

#include "core/services/ConsoleServices.h"
#include "logic/ProcessRuns.h"
#include "logic/Settings.h"
#include "logic/Transmitter.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QStandardPaths>
#include <QTimer>
#include <QtEndian>

#include <cmath>
#include <memory>

#include <sys/socket.h>
#include <unistd.h>

namespace qelt {

namespace {

// A message is a 4-byte big-endian length and that many bytes of UTF-8; the
// answer is the single byte '1'. A command line is far shorter than this.
constexpr quint32 kMaxMessage = 256 * 1024;
// How long a later start keeps trying to reach an instance that holds the
// lock but may not listen yet.
constexpr int kConnectWindowMs = 2000;

SingleInstance *g_instance = nullptr;
QStringList g_pending;
QPointer<QTimer> g_pendingTimer;

// The stored handle as the number it names: text that is not a number gives
// 0, a fraction is rounded.
QString storedHandle()
{
    bool ok = false;
    const double value = GetSet("ActiveWindow", "Handle").trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return {};
    const qint64 n = std::llround(value);
    return n > 0 ? QString::number(n) : QString();
}

// The handle of the instance that holds the lock: its socket is named by
// its process number. Used when the stored value names no socket (another
// part of the program may have stored a different number there).
QString lockHolderHandle()
{
    QLockFile lock(SingleInstance::lockFilePath());
    qint64 pid = 0;
    QString host, app;
    if (!lock.getLockInfo(&pid, &host, &app) || pid <= 0)
        return {};
    return QString::number(pid);
}

bool peerIsSameUser(QLocalSocket *socket)
{
#ifdef SO_PEERCRED
    struct ucred cred {};
    socklen_t len = sizeof cred;
    if (getsockopt(int(socket->socketDescriptor()), SOL_SOCKET, SO_PEERCRED, &cred, &len) != 0)
        return false;
    return cred.uid == getuid();
#else
    Q_UNUSED(socket);
    return true; // the socket lies in a folder only this user can enter
#endif
}

// Sockets of instances that ended without closing them (killed, crashed)
// stay in the folder; each is named by its instance's process number and is
// removed once no process of that number runs.
void removeStaleSockets(const QString &ownHandle)
{
    const QDir folder(SingleInstance::runtimeFolder());
    const QStringList names =
        folder.entryList({"qelt-*.sock"}, QDir::Files | QDir::System | QDir::Hidden);
    for (const QString &name : names) {
        const QString number = name.mid(5, name.size() - 10);
        bool digits = !number.isEmpty() && number.size() <= 9;
        for (const QChar c : number)
            digits = digits && c.isDigit() && c.unicode() < 128;
        if (!digits || number == ownHandle)
            continue;
        const pid_t pid = pid_t(number.toInt());
        if (pid <= 0 || ProcessRuns(pid))
            continue;
        QFile::remove(folder.filePath(name));
    }
}

void flushPending()
{
    while (!g_pending.isEmpty()) {
        MainWindowService *main = MainWindow();
        if (!main)
            return;
        const QString text = g_pending.takeFirst();
        main->txtCommand().setText(text);
    }
    if (g_pendingTimer)
        g_pendingTimer->stop();
}

} // namespace

SingleInstance::SingleInstance(QObject *parent) : QObject(parent) {}

SingleInstance::~SingleInstance()
{
    if (g_instance == this)
        g_instance = nullptr;
    if (m_server)
        m_server->close();
}

QString SingleInstance::runtimeFolder()
{
    // Qt makes sure this folder belongs to the user and is closed to others
    // (XDG_RUNTIME_DIR, or a private folder under the temporary folder). When
    // it cannot, a folder in the user's own cache folder takes its place.
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty() || QFileInfo(folder).ownerId() != getuid())
        folder = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) +
                 "/qelt-runtime";
    QDir().mkpath(folder);
    QFile::setPermissions(folder,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    return folder;
}

QString SingleInstance::lockFilePath()
{
    return runtimeFolder() + "/qelt.lock";
}

QString SingleInstance::socketPath(const QString &handle)
{
    return runtimeFolder() + "/qelt-" + handle + ".sock";
}

bool SingleInstance::claim()
{
    if (m_server)
        return true;
    auto lock = std::make_unique<QLockFile>(lockFilePath());
    // No age limit: a lock is stale only when its owner is gone (Qt checks
    // the process and its file lock), never because the program ran long.
    lock->setStaleLockTime(0);
    bool locked = lock->tryLock(0);
    if (!locked && lock->error() == QLockFile::LockFailedError) {
        // A lock file that names no owner (left empty by a crash while it
        // was being written) would never count as stale. It is removed unless
        // a running owner still holds its native lock on it.
        qint64 pid = 0;
        QString host, app;
        if (!lock->getLockInfo(&pid, &host, &app) && lock->removeStaleLockFile())
            locked = lock->tryLock(0);
    }
    if (!locked) {
        if (lock->error() == QLockFile::LockFailedError)
            return false; // held by a running instance
        // The lock cannot be made at all (folder not writable): the user
        // still gets the program, only without the hand-over.
        qWarning("Cannot create %s; starting without the single-instance check",
                 qPrintable(lockFilePath()));
    } else {
        m_lock = std::move(lock);
    }

    m_handle = QString::number(QCoreApplication::applicationPid());
    removeStaleSockets(m_handle);
    const QString path = socketPath(m_handle);
    QLocalServer::removeServer(path); // left by a crashed instance with our number
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(path)) {
        // Still the only instance; later starts just cannot reach it.
        qWarning("Cannot listen on %s: %s", qPrintable(path), qPrintable(m_server->errorString()));
    }
    connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::onNewConnection);
    g_instance = this;
    SaveSet("ActiveWindow", "Handle", m_handle);
    return true;
}

void SingleInstance::setClientLimits(int maxClients, int messageTimeoutMs)
{
    m_maxClients = qMax(1, maxClients);
    m_messageTimeoutMs = qMax(1, messageTimeoutMs);
}

void SingleInstance::dropClient(QLocalSocket *socket)
{
    m_clients.removeOne(socket);
    socket->disconnect(this);
    socket->abort();
    socket->deleteLater();
}

void SingleInstance::onNewConnection()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        if (!peerIsSameUser(socket)) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        // Full: the oldest connection that has not sent its message yet
        // makes room (one being answered is never dropped).
        if (m_clients.size() >= m_maxClients) {
            for (QLocalSocket *old : std::as_const(m_clients)) {
                if (!old->property("qeltDone").toBool()) {
                    dropClient(old);
                    break;
                }
            }
        }
        if (m_clients.size() >= m_maxClients) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        m_clients.append(socket);
        connect(socket, &QObject::destroyed, this, [this, socket] { m_clients.removeOne(socket); });
        QTimer::singleShot(m_messageTimeoutMs, socket, [this, socket] {
            if (!socket->property("qeltDone").toBool())
                dropClient(socket);
        });
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { onReadyRead(socket); });
        if (socket->bytesAvailable() > 0)
            onReadyRead(socket);
    }
}

void SingleInstance::onReadyRead(QLocalSocket *socket)
{
    if (socket->property("qeltDone").toBool())
        return;
    if (socket->bytesAvailable() < 4)
        return;
    uchar head[4];
    socket->peek(reinterpret_cast<char *>(head), 4);
    const quint32 size = qFromBigEndian<quint32>(head);
    if (size > kMaxMessage) {
        dropClient(socket);
        return;
    }
    if (socket->bytesAvailable() < qint64(4 + size))
        return;
    socket->read(4);
    const QString text = QString::fromUtf8(socket->read(size));
    socket->setProperty("qeltDone", true);

    // The window's handler may wait for the user (a message box); the later
    // start may give up and its connection go away meanwhile.
    QPointer<QLocalSocket> alive(socket);
    DeliverCommandLine(text);
    // The later start waits for this answer, as it waited for the text to
    // be taken by the window.
    if (alive && socket->state() == QLocalSocket::ConnectedState) {
        socket->write("1");
        socket->flush();
        socket->disconnectFromServer();
    }
}

QString CommandBoxHandle()
{
    return g_instance ? g_instance->handle() : QString();
}

bool HandOver(const QString &text, int timeoutMs)
{
    const QByteArray body = text.toUtf8();
    if (quint32(body.size()) > kMaxMessage)
        return false;
    QByteArray message(4, '\0');
    qToBigEndian<quint32>(quint32(body.size()), message.data());
    message += body;

    // Time is read from the wait clock and the socket is polled between its
    // short sleeps, so that tests bound the wait with their own clock.
    WaitClock &clock = CurrentWaitClock();
    const qint64 startNs = clock.nowNs();
    const auto elapsedMs = [&] { return (clock.nowNs() - startNs) / 1'000'000; };
    constexpr int kPollMs = 5;
    while (true) {
        QStringList handles{storedHandle()};
        if (const QString holder = lockHolderHandle(); !handles.contains(holder))
            handles << holder;
        for (const QString &handle : handles) {
            if (handle.isEmpty())
                continue;
            QLocalSocket socket;
            socket.connectToServer(SingleInstance::socketPath(handle));
            if (!socket.waitForConnected(500))
                continue;
            socket.write(message);
            // A connection that breaks ends the wait (no spinning until the timeout).
            while (socket.bytesToWrite() > 0 && socket.state() == QLocalSocket::ConnectedState &&
                   elapsedMs() < timeoutMs) {
                if (!socket.waitForBytesWritten(0))
                    clock.sleepMs(kPollMs);
            }
            while (socket.bytesAvailable() < 1 && socket.state() == QLocalSocket::ConnectedState &&
                   elapsedMs() < timeoutMs) {
                if (!socket.waitForReadyRead(0))
                    clock.sleepMs(kPollMs);
            }
            return socket.read(1) == "1";
        }
        if (elapsedMs() >= kConnectWindowMs || elapsedMs() >= timeoutMs)
            return false;
        clock.sleepMs(50);
    }
}

void DeliverCommandLine(const QString &text)
{
    g_pending.append(text);
    flushPending();
    if (g_pending.isEmpty())
        return;
    // No main window yet: look again until it exists.
    if (!g_pendingTimer) {
        g_pendingTimer = new QTimer(QCoreApplication::instance());
        g_pendingTimer->setInterval(100);
        QObject::connect(g_pendingTimer, &QTimer::timeout, [] { flushPending(); });
    }
    g_pendingTimer->start();
}

QStringList PendingCommandLines()
{
    return g_pending;
}

} // namespace qelt
