#include "updater/HTTPClass.h"

#include "logic/Transmitter.h"
#include "updater/HttpReply.h"
#include "updater/modUpdate.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QHostAddress>
#include <QNetworkProxy>
#include <QScopeGuard>
#include <QSslSocket>
#include <QTimer>

#include <memory>

namespace qelt::updater {

namespace {

constexpr qint64 kPiece = 1024;
// The most a connection holds of the reply ahead of the reads. Beyond it
// the connection stops taking bytes and the server is held back, so memory
// stays small however large the body and however fast the server.
constexpr qint64 kSocketBuffer = 256 * 1024;
constexpr int kMaxRedirects = 5;

void pump()
{
    CurrentWaitClock().processEvents();
}

bool isSafe(uchar c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

int defaultPort(const QUrl &url)
{
    return url.scheme().compare(u"https", Qt::CaseInsensitive) == 0 ? 443 : 80;
}

bool isSecure(const QUrl &url)
{
    return defaultPort(url) == 443;
}

bool sameOrigin(const QUrl &a, const QUrl &b)
{
    return a.scheme().compare(b.scheme(), Qt::CaseInsensitive) == 0 &&
           a.host().compare(b.host(), Qt::CaseInsensitive) == 0 &&
           a.port(defaultPort(a)) == b.port(defaultPort(b));
}

// Header text from settings and such: no control characters, so that it
// cannot end its line and add lines of its own.
QByteArray headerText(const QString &text)
{
    QByteArray out = text.toUtf8();
    for (char &c : out) {
        if (uchar(c) < 0x20 || c == 0x7f)
            c = ' ';
    }
    return out;
}

// The request as sent: request line, fields, body. The connection closes
// after the reply, so the reply's end is never in doubt.
QByteArray requestBytes(const QUrl &url, const QByteArray &verb, const QByteArray &body,
                        const QByteArray &contentType, bool reload)
{
    QByteArray target =
        url.toEncoded(QUrl::RemoveScheme | QUrl::RemoveAuthority | QUrl::RemoveFragment);
    if (!target.startsWith('/'))
        target.prepend('/');
    QByteArray host = url.host(QUrl::FullyEncoded).toLatin1();
    if (host.contains(':'))
        host = '[' + host + ']';
    if (url.port() >= 0 && url.port() != defaultPort(url))
        host += ':' + QByteArray::number(url.port());
    QByteArray r = verb + ' ' + target + " HTTP/1.1\r\nHost: " + host + "\r\nUser-Agent: " +
                   headerText(QStringLiteral("Zyv-WEB, %1, %2").arg(UpdateMode, LocalVersion)) +
                   // The body as sent, uncompressed, so that its length can be
                   // checked against the length the server declares.
                   "\r\nAccept-Encoding: identity\r\nConnection: close\r\n";
    if (reload)
        r += "Cache-Control: no-cache\r\nPragma: no-cache\r\n";
    if (!contentType.isEmpty())
        r += "Content-Type: " + contentType + "\r\n";
    if (!body.isEmpty() || verb == "POST" || verb == "PUT")
        r += "Content-Length: " + QByteArray::number(body.size()) + "\r\n";
    return r + "\r\n" + body;
}

// Why a connection that ended before its reply did failed.
HTTPClass::Failure connectionFailure(const QTcpSocket &socket)
{
    return socket.error() == QAbstractSocket::SslHandshakeFailedError ? HTTPClass::Failure::Insecure
                                                                      : HTTPClass::Failure::Network;
}

} // namespace

HTTPClass::HTTPClass()
{
    pump();
}

HTTPClass::~HTTPClass()
{
    CloseHTTP();
}

int HTTPClass::FindField(const QString &name, bool append)
{
    pump();
    for (qsizetype i = 0; i < m_names.size(); ++i) {
        if (m_names[i].compare(name, Qt::CaseInsensitive) == 0)
            return int(i);
    }
    if (!append)
        return -1;
    m_names << name;
    m_values << QString();
    return int(m_names.size() - 1);
}

void HTTPClass::setFields(const QString &name, const QString &value)
{
    pump();
    m_values[FindField(name, true)] = value;
}

QString HTTPClass::Fields(const QString &name)
{
    pump();
    const int i = FindField(name, false);
    return i < 0 ? QString() : m_values[i];
}

QString HTTPClass::BuildQuery() const
{
    QStringList pairs;
    for (qsizetype i = 0; i < m_names.size(); ++i)
        pairs << URLEncode(m_names[i]) + u'=' + URLEncode(m_values[i]);
    return pairs.join(u'&');
}

QString HTTPClass::URLEncode(const QString &data)
{
    static const char hex[] = "0123456789ABCDEF";
    QString out;
    out.reserve(data.size() * 3);
    for (const QChar ch : data) {
        const uchar c = uchar(ch.unicode() & 0xFF);
        if (isSafe(c)) {
            out += QChar(c);
        } else {
            out += u'%';
            out += QChar(hex[c >> 4]);
            out += QChar(hex[c & 0xF]);
        }
    }
    return out;
}

bool HTTPClass::OpenHTTP(const QString &server)
{
    CloseHTTP();
    const QString s = server.trimmed();
    QUrl base;
    if (s.contains(QStringLiteral("://"))) {
        base = QUrl(s, QUrl::StrictMode);
    } else {
        base.setScheme(QStringLiteral("https"));
        base.setHost(s);
    }
    const QString scheme = base.scheme().toLower();
    if (!base.isValid() || base.host().isEmpty() || (scheme != u"http" && scheme != u"https"))
        return false;
    // What is fetched is run: plain http only where nothing can listen in
    // between, the loopback address of a local test server.
    if (scheme == u"http" && !QHostAddress(base.host()).isLoopback())
        return false;
    m_base = base;
    m_open = true;
    return true;
}

void HTTPClass::CloseHTTP()
{
    // The request running now (further up the stack) sees that its
    // connection is no longer the current one and ends.
    if (QTcpSocket *s = m_socket) {
        m_socket = nullptr;
        s->abort();
    }
    m_open = false;
}

QByteArray HTTPClass::SendRequest(const QString &file, const QString &method,
                                  const QString &referer, bool reload)
{
    Q_UNUSED(referer);
    pump();
    m_lastFailure = Failure::NotOpen;
    m_lastStatus = 0;
    if (!m_open)
        return {};

    const QByteArray verb = method.toUpper().toLatin1();
    QUrl url;
    QByteArray body;
    QByteArray contentType;
    if (!buildRequest(file, verb, &url, &body, &contentType))
        return {};
    QByteArray out;
    m_lastFailure = exchange(url, verb, body, contentType, reload, &out);
    return out;
}

// The address of file on the server and the fields as query (in the body
// for a POST). False for an address that is not valid.
bool HTTPClass::buildRequest(const QString &file, const QByteArray &verb, QUrl *url,
                             QByteArray *body, QByteArray *contentType) const
{
    const QString query = BuildQuery();
    *url = m_base;
    QString basePath = m_base.path();
    while (basePath.endsWith(u'/'))
        basePath.chop(1);
    url->setPath(basePath + file);
    if (!query.isEmpty()) {
        if (verb == "POST") {
            *body = query.toLatin1();
            *contentType = QByteArrayLiteral("application/x-www-form-urlencoded");
        } else {
            url->setQuery(query, QUrl::TolerantMode);
        }
    }
    return url->isValid();
}

// Sends the request and reads its reply into out (or hands it to onBody),
// following redirects that stay on the server (same scheme, host and port).
// Each request goes on a connection of its own.
HTTPClass::Failure HTTPClass::exchange(QUrl url, QByteArray verb, QByteArray body,
                                       const QByteArray &contentType, bool reload, QByteArray *out)
{
    QElapsedTimer sincePiece;
    sincePiece.start();
    for (int redirects = 0;; ++redirects) {
        std::unique_ptr<QTcpSocket> socket;
        if (isSecure(url))
            socket = std::make_unique<QSslSocket>();
        else
            socket = std::make_unique<QTcpSocket>();
        m_socket = socket.get();
        // The socket is gone with this turn; CloseHTTP must not reach it.
        const auto forget = qScopeGuard([this, s = socket.get()] {
            if (m_socket == s)
                m_socket = nullptr;
        });
        Failure stop = connectTo(url, socket.get(), sincePiece);
        if (stop != Failure::None)
            return stop;
        socket->write(requestBytes(url, verb, body, contentType, reload));

        // The reply head (interim 1xx replies are passed over).
        QByteArray raw;
        ReplyHead head;
        for (;;) {
            raw += socket->readAll();
            const qsizetype used = ParseReplyHead(raw, &head);
            if (used < 0)
                return Failure::Malformed;
            if (used > 0) {
                raw.remove(0, used);
                if (head.status >= 200)
                    break;
                continue;
            }
            if (socket->state() != QAbstractSocket::ConnectedState && socket->bytesAvailable() == 0)
                return connectionFailure(*socket);
            stop = waitForNews(socket.get(), sincePiece);
            if (stop != Failure::None)
                return stop;
        }
        m_lastStatus = head.status;
        const bool redirect = head.status >= 300 && head.status < 400;
        if (redirect && head.fields.contains("location")) {
            const QUrl next = url.resolved(QUrl(QString::fromUtf8(head.fields.value("location"))));
            if (!next.isValid() || !sameOrigin(url, next) || redirects >= kMaxRedirects)
                return Failure::Redirect;
            if (head.status == 303 ||
                ((head.status == 301 || head.status == 302) && verb == "POST")) {
                verb = "GET";
                body.clear();
            }
            url = next;
            continue;
        }
        // A receiver of the body gets only a real body, never an error page.
        const bool success = head.status >= 200 && head.status < 300;
        if (onBody && !success)
            return redirect ? Failure::Redirect : Failure::Status;

        BodyReader reader;
        if (!reader.start(head, verb == "HEAD"))
            return Failure::Malformed;
        if (maxBodyBytes >= 0 && reader.declaredLength() > maxBodyBytes)
            return Failure::TooLarge;
        stop = readBody(socket.get(), &raw, &reader, out, &sincePiece);
        if (stop != Failure::None)
            return stop;
        if (!success)
            return redirect ? Failure::Redirect : Failure::Status;
        return Failure::None;
    }
}

// Connects socket straight to url's server and, for https, makes the secure
// connection with the certificate checked. No proxy is used, neither the
// system's nor one set for the whole application.
HTTPClass::Failure HTTPClass::connectTo(const QUrl &url, QTcpSocket *socket,
                                        const QElapsedTimer &sincePiece)
{
    socket->setProxy(QNetworkProxy::NoProxy);
    socket->setReadBufferSize(kSocketBuffer);
    auto *secure = qobject_cast<QSslSocket *>(socket);
    const quint16 port = quint16(url.port(defaultPort(url)));
    if (secure)
        secure->connectToHostEncrypted(url.host(), port);
    else
        socket->connectToHost(url.host(), port);
    for (;;) {
        if (secure ? secure->isEncrypted() : socket->state() == QAbstractSocket::ConnectedState)
            return Failure::None;
        if (socket->state() == QAbstractSocket::UnconnectedState)
            return connectionFailure(*socket);
        const Failure stop = waitForNews(socket, sincePiece);
        if (stop != Failure::None)
            return stop;
    }
}

// Reads the body as the connection delivers it, whatever has arrived at a
// time, and hands it on in whole pieces of 1024 bytes (only the last may be
// shorter): into out, or to onBody. Counts them against maxBodyBytes.
HTTPClass::Failure HTTPClass::readBody(QTcpSocket *socket, QByteArray *raw, BodyReader *reader,
                                       QByteArray *out, QElapsedTimer *sincePiece)
{
    QByteArray pending; // body bytes not yet handed on, less than a piece
    qint64 received = 0;
    for (;;) {
        *raw += socket->readAll();
        if (!reader->take(raw, &pending))
            return Failure::Malformed;
        if (!reader->done() && socket->state() != QAbstractSocket::ConnectedState &&
            socket->bytesAvailable() == 0) {
            // The connection ended: the end of a body that runs up to a
            // clean close; any other body was cut off.
            if (socket->error() != QAbstractSocket::RemoteHostClosedError || !reader->closed())
                return reader->framing() == BodyReader::Framing::UntilClose
                           ? connectionFailure(*socket)
                           : Failure::Incomplete;
        }
        qsizetype at = 0;
        while (pending.size() - at >= kPiece || (reader->done() && at < pending.size())) {
            const QByteArray piece = pending.mid(at, kPiece);
            at += piece.size();
            received += piece.size();
            if (maxBodyBytes >= 0 && received > maxBodyBytes)
                return Failure::TooLarge;
            sincePiece->restart();
            if (onBody) {
                if (!onBody(piece))
                    return Failure::Refused;
            } else {
                *out += piece;
            }
            if (onPieceRead)
                onPieceRead();
            pump();
            if (m_socket != socket)
                return Failure::Closed;
            if (CancelRequest)
                return Failure::Cancelled;
        }
        pending.remove(0, at);
        if (reader->done())
            return Failure::None;
        // What arrived while events ran is read at once: its notice was
        // given then, and a full buffer gives no other.
        if (socket->bytesAvailable() > 0)
            continue;
        const Failure stop = waitForNews(socket, *sincePiece);
        if (stop != Failure::None)
            return stop;
    }
}

// Waits until the connection has news (bytes, a change of state, an error)
// or a short while has passed, running window events meanwhile. Then why
// the transfer must end, or None.
HTTPClass::Failure HTTPClass::waitForNews(QTcpSocket *socket, const QElapsedTimer &sincePiece) const
{
    if (m_socket == socket && !CancelRequest) {
        QEventLoop loop;
        QObject::connect(socket, &QIODevice::readyRead, &loop, &QEventLoop::quit);
        QObject::connect(socket, &QAbstractSocket::stateChanged, &loop, &QEventLoop::quit);
        QObject::connect(socket, &QAbstractSocket::errorOccurred, &loop, &QEventLoop::quit);
        if (auto *secure = qobject_cast<QSslSocket *>(socket))
            QObject::connect(secure, &QSslSocket::encrypted, &loop, &QEventLoop::quit);
        QTimer::singleShot(50, &loop, &QEventLoop::quit);
        loop.exec();
    }
    if (m_socket != socket)
        return Failure::Closed;
    if (CancelRequest)
        return Failure::Cancelled;
    if (stallTimeoutMs > 0 && sincePiece.elapsed() >= stallTimeoutMs)
        return Failure::Stalled;
    return Failure::None;
}

} // namespace qelt::updater
