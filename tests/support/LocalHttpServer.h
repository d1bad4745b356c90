#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QMap>
#include <QPointer>
#include <QSslCertificate>
#include <QSslKey>
#include <QSslSocket>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <functional>

// A tiny HTTP server on 127.0.0.1 for tests, optionally over TLS. It runs in
// the test's own thread, so it answers whenever the code
// under test runs events.
class LocalHttpServer : public QTcpServer {
public:
    struct Route {
        int status = 200;
        QByteArray body;
        // When set, only this many body bytes are sent and the connection is
        // then held open (a stalled transfer).
        qsizetype stallAfter = -1;
        // Never answer at all.
        bool silent = false;
        // Close the connection after the stalled part (a cut-off transfer).
        bool drop = false;
        // Further header lines, e.g. "Location: http://...".
        QList<QByteArray> headers = {};
        // Sent as it stands instead of a built reply (malformed replies).
        QByteArray raw = {};
        // A body of this many bytes made as the socket drains (body, then a
        // repeating pattern), so that a large body costs the test no memory.
        qint64 generated = -1;
        // After the stalled part, one more byte every this many ms.
        int trickleMs = 0;
        // Sent as the Content-Type header when set.
        QByteArray contentType = {};
    };
    struct Request {
        QByteArray method;
        QByteArray target;                    // path and query as sent
        QMap<QByteArray, QByteArray> headers; // lower-case names
        QByteArray body;
    };

    LocalHttpServer()
    {
        listen(QHostAddress::LocalHost, 0);
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *s = nextPendingConnection()) {
                m_sockets << s;
                connect(s, &QTcpSocket::readyRead, this, [this, s] { onRead(s); });
                if (s->bytesAvailable() > 0)
                    onRead(s);
            }
        });
    }

    // Serves over TLS with this certificate and key from now on.
    void useTls(const QSslCertificate &certificate, const QSslKey &key)
    {
        m_certificate = certificate;
        m_key = key;
    }

    QString baseUrl() const
    {
        return QStringLiteral("%1://127.0.0.1:%2")
            .arg(m_certificate.isNull() ? QStringLiteral("http") : QStringLiteral("https"))
            .arg(serverPort());
    }

    // Routes are looked up by the path without the query.
    QMap<QByteArray, Route> routes;
    QList<Request> requests;
    // Body bytes handed to sockets so far.
    qint64 bodyBytesSent = 0;

protected:
    void incomingConnection(qintptr descriptor) override
    {
        if (m_certificate.isNull()) {
            QTcpServer::incomingConnection(descriptor);
            return;
        }
        auto *s = new QSslSocket(this);
        if (!s->setSocketDescriptor(descriptor)) {
            delete s;
            return;
        }
        s->setLocalCertificate(m_certificate);
        s->setPrivateKey(m_key);
        s->startServerEncryption();
        addPendingConnection(s);
    }

private:
    static char patternByte(qint64 i) { return char(i * 13 % 251); }

    void onRead(QTcpSocket *s)
    {
        QByteArray &buf = m_buffers[s];
        buf += s->readAll();
        const qsizetype headEnd = buf.indexOf("\r\n\r\n");
        if (headEnd < 0)
            return;
        Request r;
        const QList<QByteArray> lines = buf.left(headEnd).split('\n');
        const QList<QByteArray> first = lines.value(0).trimmed().split(' ');
        r.method = first.value(0);
        r.target = first.value(1);
        for (qsizetype i = 1; i < lines.size(); ++i) {
            const qsizetype colon = lines[i].indexOf(':');
            if (colon > 0)
                r.headers[lines[i].left(colon).trimmed().toLower()] =
                    lines[i].mid(colon + 1).trimmed();
        }
        const qsizetype length = r.headers.value("content-length", "0").toLongLong();
        if (buf.size() < headEnd + 4 + length)
            return;
        r.body = buf.mid(headEnd + 4, length);
        buf.clear();
        requests << r;

        QByteArray path = r.target;
        if (const qsizetype q = path.indexOf('?'); q >= 0)
            path.truncate(q);
        const Route route = routes.value(path, Route{404, "<html>Not Found</html>"});
        if (route.silent)
            return;
        if (!route.raw.isEmpty()) {
            s->write(route.raw);
            s->disconnectFromHost();
            return;
        }
        const qint64 size = route.generated >= 0 ? route.generated : route.body.size();
        QByteArray head = "HTTP/1.1 " + QByteArray::number(route.status) + " X\r\n" +
                          "Content-Length: " + QByteArray::number(size) + "\r\n";
        if (!route.contentType.isEmpty())
            head += "Content-Type: " + route.contentType + "\r\n";
        for (const QByteArray &h : route.headers)
            head += h + "\r\n";
        head += "Connection: keep-alive\r\n\r\n";
        s->write(head);
        const qint64 toSend = route.stallAfter >= 0 ? qMin<qint64>(route.stallAfter, size) : size;
        if (route.generated >= 0) {
            sendGenerated(s, route.body, 0, toSend);
        } else {
            s->write(route.body.left(toSend));
            bodyBytesSent += toSend;
        }
        if (route.trickleMs > 0)
            trickle(s, route, toSend);
        else if (route.drop)
            s->disconnectFromHost();
    }

    // Writes body bytes [from, to) in slices as the socket drains.
    void sendGenerated(QTcpSocket *s, const QByteArray &prefix, qint64 from, qint64 to)
    {
        QPointer<QTcpSocket> guard(s);
        auto next = std::make_shared<qint64>(from);
        auto pump = std::make_shared<std::function<void()>>();
        *pump = [this, guard, prefix, next, to] {
            if (!guard)
                return;
            while (*next < to && guard->bytesToWrite() < 256 * 1024) {
                const qint64 n = qMin<qint64>(64 * 1024, to - *next);
                QByteArray slice(n, '\0');
                for (qint64 i = 0; i < n; ++i) {
                    const qint64 at = *next + i;
                    slice[i] = at < prefix.size() ? prefix[at] : patternByte(at);
                }
                guard->write(slice);
                bodyBytesSent += n;
                *next += n;
            }
        };
        connect(s, &QTcpSocket::bytesWritten, s, [pump] { (*pump)(); });
        (*pump)();
    }

    void trickle(QTcpSocket *s, const Route &route, qint64 sent)
    {
        auto *timer = new QTimer(s);
        auto at = std::make_shared<qint64>(sent);
        const QByteArray body = route.body;
        connect(timer, &QTimer::timeout, s, [this, s, body, at] {
            if (*at >= body.size())
                return;
            s->write(body.mid(*at, 1));
            ++*at;
            ++bodyBytesSent;
        });
        timer->start(route.trickleMs);
    }

    QList<QPointer<QTcpSocket>> m_sockets;
    QMap<QTcpSocket *, QByteArray> m_buffers;
    QSslCertificate m_certificate;
    QSslKey m_key;
};
