#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QMap>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>

// A tiny HTTP server on 127.0.0.1 for tests. It runs in the
// test's own thread, so it answers whenever the code under test runs events.
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
            }
        });
    }

    QString baseUrl() const { return QStringLiteral("http://127.0.0.1:%1").arg(serverPort()); }

    // Routes are looked up by the path without the query.
    QMap<QByteArray, Route> routes;
    QList<Request> requests;

private:
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
        const Route route =
            routes.value(path, Route{404, "<html>Not Found</html>", -1, false, false, {}});
        if (route.silent)
            return;
        QByteArray reply =
            "HTTP/1.1 " + QByteArray::number(route.status) + " X\r\n" +
            "Content-Length: " + QByteArray::number(route.body.size()) + "\r\n" +
            (route.contentType.isEmpty() ? QByteArray()
                                         : "Content-Type: " + route.contentType + "\r\n") +
            "Connection: keep-alive\r\n\r\n";
        reply += route.stallAfter >= 0 ? route.body.left(route.stallAfter) : route.body;
        s->write(reply);
        if (route.drop)
            s->disconnectFromHost();
    }

    QList<QPointer<QTcpSocket>> m_sockets;
    QMap<QTcpSocket *, QByteArray> m_buffers;
};
