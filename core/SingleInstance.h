#pragma once

#include <QList>
#include <QLockFile>
#include <QObject>
#include <QPointer>
#include <QString>

#include <memory>

class QLocalServer;
class QLocalSocket;

namespace qelt {

// How long a later start waits for the running instance to take its text.
inline constexpr int kHandOverTimeoutMs = 10000;

// One running copy of the program per user. The first start takes a lock
// file in the user's runtime folder and listens on a local socket named by
// a number; that number is stored under "ActiveWindow"/"Handle" as soon as
// the lock is held. A later start finds the lock taken, sends its command
// line to the socket the stored number names, waits for the answer and
// ends. Only the same user may connect.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    explicit SingleInstance(QObject *parent = nullptr);
    ~SingleInstance() override;

    // True when this is the first instance: the lock is now held, the
    // socket listens and the handle is stored. A stale lock left by a
    // crashed instance is taken over. False when another instance runs.
    bool claim();
    // The decimal number that names this instance's socket ("" before claim).
    QString handle() const { return m_handle; }

    // A later start sends its whole message at once. A connection whose
    // message has arrived is always read and answered; one that has not sent
    // it within messageTimeoutMs is dropped, and at most maxClients such
    // unfinished connections are held (a new one makes room by dropping one
    // of them, never a finished one), so idle connections cannot use up the
    // program's file handles.
    void setClientLimits(int maxClients, int messageTimeoutMs);
    // Connections held now.
    int clientCount() const { return int(m_clients.size()); }

    // The user's own runtime folder (not readable by others) that holds the
    // lock file and the sockets.
    static QString runtimeFolder();
    static QString lockFilePath();
    static QString socketPath(const QString &handle);

private:
    void onNewConnection();
    // Takes the message once all of it has arrived; true when it has.
    bool readMessage(QLocalSocket *socket);
    // Reads what has arrived on the socket so far (without waiting), then
    // takes the message when it is whole.
    bool pull(QLocalSocket *socket);
    void answer(QPointer<QLocalSocket> socket, const QString &text);
    void makeRoom();
    void dropClient(QLocalSocket *socket);

    std::unique_ptr<QLockFile> m_lock;
    QList<QLocalSocket *> m_clients; // oldest first
    int m_maxClients = 16;
    int m_messageTimeoutMs = 5000;
    QLocalServer *m_server = nullptr;
    QString m_handle;
};

// The handle of the running first instance, for the main window to store
// under "ActiveWindow"/"Handle" ("" when no instance has claimed the lock).
QString CommandBoxHandle();

// Hands text to the running instance named by "ActiveWindow"/"Handle" (or,
// when that names no socket, to the instance that holds the lock) and waits
// until it has taken it. A connection the instance dropped before the
// message arrived is made again while time is left. False when no instance
// answered within timeoutMs; the caller tells the user.
bool HandOver(const QString &text, int timeoutMs = kHandOverTimeoutMs);

// Puts a handed-over command line into the main window's txtCommand. Texts
// that arrive before the main window exists wait for it, in order.
void DeliverCommandLine(const QString &text);
// Texts still waiting for the main window.
QStringList PendingCommandLines();

} // namespace qelt
