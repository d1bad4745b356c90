#include "updater/HTTPClass.h"

#include "logic/Transmitter.h"
#include "updater/modUpdate.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QHostAddress>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

namespace qelt::updater {

namespace {

constexpr qint64 kPiece = 1024;
constexpr qint64 kReadBuffer = 256 * 1024;
constexpr int kMaxRedirects = 5;

void pump()
{
    CurrentWaitClock().processEvents();
}

bool isSafe(uchar c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// Waits until the reply has news (data, end) or a short while has passed,
// running window events meanwhile.
void waitForNews(QNetworkReply *reply)
{
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::readyRead, &loop, &QEventLoop::quit);
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(50, &loop, &QEventLoop::quit);
    loop.exec();
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
    m_nam = std::make_unique<QNetworkAccessManager>();
    // Always a direct connection, never the system's proxy.
    m_nam->setProxy(QNetworkProxy::NoProxy);
    return true;
}

void HTTPClass::CloseHTTP()
{
    if (m_reply) {
        QNetworkReply *r = m_reply;
        m_reply = nullptr;
        r->disconnect();
        r->abort();
    }
    // Deleting the manager deletes its replies, which a waiting SendRequest
    // sees through its guarded pointer.
    m_nam.reset();
}

QByteArray HTTPClass::SendRequest(const QString &file, const QString &method,
                                  const QString &referer, bool reload)
{
    Q_UNUSED(referer);
    pump();
    m_lastFailure = Failure::NotOpen;
    m_lastStatus = 0;
    if (!m_nam)
        return {};

    const QByteArray verb = method.toUpper().toLatin1();
    QNetworkRequest request;
    QByteArray body;
    if (!buildRequest(file, verb, reload, &request, &body))
        return {};

    QPointer<QNetworkReply> reply = m_nam->sendCustomRequest(request, verb, body);
    m_reply = reply;
    // Qt buffers at most this much ahead of the reads, so memory stays small
    // however large the body. Set again once the reply has begun: Qt's
    // network thread drops a size set before its connection exists.
    reply->setReadBufferSize(kReadBuffer);
    QObject::connect(reply, &QNetworkReply::metaDataChanged, reply,
                     [r = reply.data()] { r->setReadBufferSize(kReadBuffer); });
    bool sslFailed = false;
    QObject::connect(reply, &QNetworkReply::sslErrors, reply, [&sslFailed] { sslFailed = true; });

    QByteArray out;
    qint64 received = 0;
    Failure stop = readReply(reply, &out, &received);

    if (reply) {
        m_lastStatus = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        if (stop == Failure::None)
            stop = replyFailure(reply, sslFailed, received);
        if (m_reply == reply)
            m_reply = nullptr;
        reply->disconnect();
        if (!reply->isFinished())
            reply->abort();
        delete reply.data();
    }
    m_lastFailure = stop;
    return out;
}

// The request for file on the server: the fields as query (in the body for
// a POST), the agent, redirects kept on the server, no compression, and
// no cache for a reload. False for an address that is not valid.
bool HTTPClass::buildRequest(const QString &file, const QByteArray &verb, bool reload,
                             QNetworkRequest *request, QByteArray *body) const
{
    const QString query = BuildQuery();
    QUrl url = m_base;
    QString basePath = m_base.path();
    while (basePath.endsWith(u'/'))
        basePath.chop(1);
    url.setPath(basePath + file);
    if (!query.isEmpty()) {
        if (verb == "POST") {
            *body = query.toLatin1();
            request->setHeader(QNetworkRequest::ContentTypeHeader,
                               QByteArrayLiteral("application/x-www-form-urlencoded"));
        } else {
            url.setQuery(query, QUrl::TolerantMode);
        }
    }
    if (!url.isValid())
        return false;
    request->setUrl(url);
    request->setHeader(QNetworkRequest::UserAgentHeader,
                       QStringLiteral("Zyv-WEB, %1, %2").arg(UpdateMode, LocalVersion));
    // A redirect may not leave the server (another host or port) nor drop
    // from https to http.
    request->setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                          QNetworkRequest::SameOriginRedirectPolicy);
    request->setMaximumRedirectsAllowed(kMaxRedirects);
    // The body as sent, uncompressed, so that its length can be checked
    // against the length the server declares.
    request->setRawHeader("Accept-Encoding", "identity");
    if (reload) {
        request->setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                              QNetworkRequest::AlwaysNetwork);
        request->setRawHeader("Cache-Control", "no-cache");
        request->setRawHeader("Pragma", "no-cache");
    }
    return true;
}

// Reads the reply piece by piece into out (or hands each piece to onBody),
// counting the bytes in received, until it ends or a limit stops it.
HTTPClass::Failure HTTPClass::readReply(QPointer<QNetworkReply> &reply, QByteArray *out,
                                        qint64 *received)
{
    Failure stop = Failure::None;
    bool headChecked = false;
    QElapsedTimer sincePiece;
    sincePiece.start();
    auto status = [&reply] {
        return reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    };
    pump();
    for (;;) {
        while (reply && !reply->isFinished() && reply->bytesAvailable() < kPiece &&
               !CancelRequest && !(stallTimeoutMs > 0 && sincePiece.elapsed() >= stallTimeoutMs))
            waitForNews(reply);
        if (!reply) {
            stop = Failure::Closed;
            break;
        }
        if (CancelRequest) {
            stop = Failure::Cancelled;
            break;
        }
        // Checked once the final reply's body starts (a redirect being
        // followed shows its own status until then).
        if (!headChecked && status() != 0 && (reply->bytesAvailable() > 0 || reply->isFinished())) {
            headChecked = true;
            const QVariant declared = reply->header(QNetworkRequest::ContentLengthHeader);
            if (maxBodyBytes >= 0 && declared.isValid() && declared.toLongLong() > maxBodyBytes) {
                stop = Failure::TooLarge;
                break;
            }
            // A receiver of the body gets only a real body, never an error
            // page.
            if (onBody && (status() < 200 || status() >= 300)) {
                stop = status() >= 300 && status() < 400 ? Failure::Redirect : Failure::Status;
                break;
            }
        }
        // Neither a whole piece nor the end within the time allowed.
        if (reply->bytesAvailable() < kPiece && !reply->isFinished()) {
            stop = Failure::Stalled;
            break;
        }
        if (reply->bytesAvailable() <= 0)
            break;
        const QByteArray piece = reply->read(kPiece);
        *received += piece.size();
        if (maxBodyBytes >= 0 && *received > maxBodyBytes) {
            stop = Failure::TooLarge;
            break;
        }
        sincePiece.restart();
        if (onBody) {
            if (!onBody(piece)) {
                stop = Failure::Refused;
                break;
            }
        } else {
            *out += piece;
        }
        if (onPieceRead)
            onPieceRead();
        pump();
    }
    return stop;
}

// Why a transfer that read to its end still failed, or None.
HTTPClass::Failure HTTPClass::replyFailure(QNetworkReply *reply, bool sslFailed,
                                           qint64 received) const
{
    const QNetworkReply::NetworkError error = reply->error();
    const QVariant declared = reply->header(QNetworkRequest::ContentLengthHeader);
    if (sslFailed || error == QNetworkReply::SslHandshakeFailedError)
        return Failure::Insecure;
    if (error == QNetworkReply::InsecureRedirectError ||
        error == QNetworkReply::TooManyRedirectsError ||
        (m_lastStatus >= 300 && m_lastStatus < 400))
        return Failure::Redirect;
    if (m_lastStatus != 0 && (m_lastStatus < 200 || m_lastStatus >= 300))
        return Failure::Status;
    if (declared.isValid() && received < declared.toLongLong())
        return Failure::Incomplete;
    if (error != QNetworkReply::NoError || m_lastStatus == 0)
        return Failure::Network;
    return Failure::None;
}

} // namespace qelt::updater
