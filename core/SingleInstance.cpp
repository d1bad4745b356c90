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

#include <cerrno>
#include <cstring>
#include <functional>

#include <poll.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <sys/un.h>
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

namespace {
// Set on a connection once its whole message has been read.
constexpr const char *kDone = "qeltDone";

bool isDone(const QLocalSocket *socket)
{
    return socket->property(kDone).toBool();
}
} // namespace

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
        m_clients.append(socket);
        connect(socket, &QObject::destroyed, this, [this, socket] { m_clients.removeOne(socket); });
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readMessage(socket); });
        QTimer::singleShot(m_messageTimeoutMs, socket, [this, socket] {
            // A message that arrived just now is still taken.
            if (!pull(socket))
                dropClient(socket);
        });
        // A later start writes its message as soon as it is connected, often
        // before the connection is accepted; it is read now, so that it counts
        // as finished before any other connection can make room.
        pull(socket);
        makeRoom();
    }
}

void SingleInstance::makeRoom()
{
    const auto unfinished = [this] {
        QList<QLocalSocket *> list;
        for (QLocalSocket *socket : std::as_const(m_clients))
            if (!isDone(socket))
                list.append(socket);
        return list;
    };
    if (unfinished().size() <= m_maxClients)
        return;
    // What has arrived on them is read first: a connection whose message is
    // whole is answered, never dropped.
    for (QLocalSocket *socket : unfinished())
        pull(socket);
    QList<QLocalSocket *> candidates = unfinished();
    while (candidates.size() > m_maxClients) {
        // One that sent part of a message and stopped goes first, the oldest
        // of them; a silent one may be a later start about to write.
        QLocalSocket *victim = candidates.first();
        for (QLocalSocket *socket : std::as_const(candidates)) {
            if (socket->bytesAvailable() > 0) {
                victim = socket;
                break;
            }
        }
        candidates.removeOne(victim);
        dropClient(victim);
    }
}

bool SingleInstance::pull(QLocalSocket *socket)
{
    if (isDone(socket))
        return true;
    // Reads from the system's buffer into the socket's own without waiting;
    // that raises readyRead, which takes a whole message.
    if (socket->state() == QLocalSocket::ConnectedState)
        socket->waitForReadyRead(0);
    return readMessage(socket);
}

bool SingleInstance::readMessage(QLocalSocket *socket)
{
    if (isDone(socket))
        return true;
    if (socket->bytesAvailable() < 4)
        return false;
    uchar head[4];
    socket->peek(reinterpret_cast<char *>(head), 4);
    const quint32 size = qFromBigEndian<quint32>(head);
    if (size > kMaxMessage) {
        dropClient(socket);
        return false;
    }
    if (socket->bytesAvailable() < qint64(4 + size))
        return false;
    socket->read(4);
    const QString text = QString::fromUtf8(socket->read(size));
    socket->setProperty(kDone, true);
    // Handed to the window from the event loop, not from within the accept
    // or a read of another connection: the window's handler may wait for the
    // user and let further connections arrive meanwhile.
    QTimer::singleShot(
        0, this, [this, alive = QPointer<QLocalSocket>(socket), text] { answer(alive, text); });
    return true;
}

void SingleInstance::answer(QPointer<QLocalSocket> socket, const QString &text)
{
    // A later start that stopped waiting (this instance was stalled) has
    // closed its end and told its user that the text was not handed over;
    // it is not acted on behind the user's back.
    if (!socket || socket->state() != QLocalSocket::ConnectedState)
        return;
    char next = 0;
    if (::recv(int(socket->socketDescriptor()), &next, 1, MSG_PEEK | MSG_DONTWAIT) == 0)
        return;
    // The later start may still give up and its connection go away while
    // the window's handler waits for the user.
    DeliverCommandLine(text);
    // The later start waits for this answer, as it waited for the text to
    // be taken by the window.
    if (socket && socket->state() == QLocalSocket::ConnectedState) {
        socket->write("1");
        socket->flush();
        socket->disconnectFromServer();
    }
}

QString CommandBoxHandle()
{
    return g_instance ? g_instance->handle() : QString();
}

namespace {

enum class Reach { Connected, Busy, Nobody };

// Connects to the socket at path. While its queue of connections waiting to
// be accepted is full, the call waits in that queue (up to waitMs), as every
// other client does, instead of trying again after a pause in which the
// others take every free place.
Reach connectTo(const QString &path, int waitMs, int *fd)
{
    const QByteArray native = QFile::encodeName(path);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    if (native.size() >= qsizetype(sizeof addr.sun_path))
        return Reach::Nobody;
    memcpy(addr.sun_path, native.constData(), size_t(native.size()));
    const int s = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (s < 0)
        return Reach::Nobody;
    const timeval wait{waitMs / 1000, (waitMs % 1000) * 1000};
    ::setsockopt(s, SOL_SOCKET, SO_SNDTIMEO, &wait, sizeof wait);
    int result;
    do {
        result = ::connect(s, reinterpret_cast<const sockaddr *>(&addr), sizeof addr);
    } while (result != 0 && errno == EINTR);
    if (result != 0) {
        const bool busy = errno == EAGAIN || errno == EWOULDBLOCK;
        ::close(s);
        return busy ? Reach::Busy : Reach::Nobody;
    }
    *fd = s;
    return Reach::Connected;
}

enum class Reply { Taken, Dropped, NoAnswer };

// Sends the message at once (a later start must not leave a connection
// silent: the instance drops silent ones first when many are open) and waits
// for the answer until the wait clock passes deadlineMs.
Reply sendAndWait(int fd, const QByteArray &message, const std::function<qint64()> &elapsedMs,
                  qint64 deadlineMs)
{
    WaitClock &clock = CurrentWaitClock();
    constexpr int kPollMs = 5;
    qsizetype sent = 0;
    while (sent < message.size()) {
        const ssize_t n = ::send(fd, message.constData() + sent, size_t(message.size() - sent),
                                 MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n > 0) {
            sent += n;
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK)
            return Reply::Dropped;
        if (elapsedMs() >= deadlineMs)
            return Reply::NoAnswer;
        clock.sleepMs(kPollMs);
    }
    while (true) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 0) > 0) {
            char answer = 0;
            const ssize_t n = ::recv(fd, &answer, 1, MSG_DONTWAIT);
            if (n == 1)
                return answer == '1' ? Reply::Taken : Reply::Dropped;
            if (n == 0 || (errno != EINTR && errno != EAGAIN && errno != EWOULDBLOCK))
                return Reply::Dropped;
        }
        if (elapsedMs() >= deadlineMs)
            return Reply::NoAnswer;
        clock.sleepMs(kPollMs);
    }
}

} // namespace

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
    const std::function<qint64()> elapsedMs = [&] { return (clock.nowNs() - startNs) / 1'000'000; };
    // An instance was found listening: it is tried until the time is up. With
    // none found, the start gives up after the connect window.
    bool found = false;
    while (true) {
        QStringList handles{storedHandle()};
        if (const QString holder = lockHolderHandle(); !handles.contains(holder))
            handles << holder;
        for (const QString &handle : handles) {
            if (handle.isEmpty())
                continue;
            int fd = -1;
            const Reach reach = connectTo(SingleInstance::socketPath(handle), 500, &fd);
            if (reach == Reach::Busy)
                found = true;
            if (reach != Reach::Connected)
                continue;
            found = true;
            const Reply reply = sendAndWait(fd, message, elapsedMs, timeoutMs);
            ::close(fd);
            if (reply == Reply::Taken)
                return true;
            if (reply == Reply::NoAnswer)
                return false;
            // Dropped before the message arrived (the instance makes room
            // when many connections are open): connect again.
            break;
        }
        if (elapsedMs() >= timeoutMs || (!found && elapsedMs() >= kConnectWindowMs))
            return false;
        clock.sleepMs(found ? 5 : 50);
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
