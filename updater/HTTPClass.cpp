#include "updater/HTTPClass.h"

#include "core/Transmitter.h"
#include "updater/modUpdate.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

namespace qelt::updater {

namespace {

constexpr qint64 kPiece = 1024;

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
        base.setScheme(QStringLiteral("http"));
        base.setHost(s);
        base.setPort(80);
    }
    const QString scheme = base.scheme().toLower();
    if (!base.isValid() || base.host().isEmpty() || (scheme != u"http" && scheme != u"https"))
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
    m_lastSucceeded = false;
    m_lastStatus = 0;
    if (!m_nam)
        return {};

    const QByteArray verb = method.toUpper().toLatin1();
    const QString query = BuildQuery();
    QByteArray body;
    QUrl url = m_base;
    QString basePath = m_base.path();
    while (basePath.endsWith(u'/'))
        basePath.chop(1);
    url.setPath(basePath + file);
    QNetworkRequest request;
    if (!query.isEmpty()) {
        if (verb == "POST") {
            body = query.toLatin1();
            request.setHeader(QNetworkRequest::ContentTypeHeader,
                              QByteArrayLiteral("application/x-www-form-urlencoded"));
        } else {
            url.setQuery(query, QUrl::TolerantMode);
        }
    }
    if (!url.isValid())
        return {};
    request.setUrl(url);
    request.setHeader(QNetworkRequest::UserAgentHeader,
                      QStringLiteral("Zyv-WEB, %1, %2").arg(UpdateMode, LocalVersion));
    request.setRawHeader("Referer", OwnFolder().toUtf8());
    if (reload) {
        request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                             QNetworkRequest::AlwaysNetwork);
        request.setRawHeader("Cache-Control", "no-cache");
        request.setRawHeader("Pragma", "no-cache");
    }

    QPointer<QNetworkReply> reply = m_nam->sendCustomRequest(request, verb, body);
    m_reply = reply;

    QByteArray out;
    bool stopped = false;
    pump();
    for (;;) {
        while (reply && !reply->isFinished() && reply->bytesAvailable() < kPiece && !CancelRequest)
            waitForNews(reply);
        if (!reply) {
            stopped = true; // closed meanwhile
            break;
        }
        if (CancelRequest) {
            stopped = true;
            break;
        }
        if (reply->bytesAvailable() <= 0)
            break;
        out += reply->read(kPiece);
        if (onPieceRead)
            onPieceRead();
        pump();
    }

    if (reply) {
        m_lastStatus = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        m_lastSucceeded = !stopped && reply->isFinished() &&
                          reply->error() == QNetworkReply::NoError && m_lastStatus >= 200 &&
                          m_lastStatus < 300;
        if (m_reply == reply)
            m_reply = nullptr;
        reply->disconnect();
        if (!reply->isFinished())
            reply->abort();
        delete reply.data();
    }
    return out;
}

} // namespace qelt::updater
