#pragma once

#include <QByteArray>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <functional>

class QElapsedTimer;
class QTcpSocket;

namespace qelt::updater {

class BodyReader;

// The updater's HTTP client: GET or POST requests with optional form fields
// to one server, each on a direct connection of its own (never through a
// proxy), the reply body read in pieces of at most 1024 bytes. Window events
// run at the start of every member and between pieces, so buttons and
// timers work during a transfer; the transfer stops after the current piece
// once CancelRequest is set, or when CloseHTTP is called meanwhile.
class HTTPClass {
public:
    HTTPClass();
    ~HTTPClass();
    HTTPClass(const HTTPClass &) = delete;
    HTTPClass &operator=(const HTTPClass &) = delete;

    // Form fields; names are compared without regard to case.
    void setFields(const QString &name, const QString &value);
    QString Fields(const QString &name);

    // Prepares requests to server: a host name (reached over https, with
    // its certificate checked) or a base address such as
    // "https://host:8443". Plain http is accepted only for a loopback
    // address (a local test server), since what the updater fetches is run.
    // False when it names no usable server.
    bool OpenHTTP(const QString &server);
    // Ends the connection; a request still running stops.
    void CloseHTTP();
    bool isOpen() const { return m_open; }

    // Sends one request and returns the reply body (what was read so far
    // when the transfer stopped early; empty when nothing could be sent).
    // referer is accepted and not used: no referrer is sent at all (it would
    // tell the server nothing of use, only the user's folders). Redirects are
    // followed only to the same scheme, host and port.
    QByteArray SendRequest(const QString &file, const QString &method = QStringLiteral("GET"),
                           const QString &referer = {}, bool reload = false);

    // Every byte (low 8 bits of each character) except 0-9, a-z and A-Z
    // becomes "%" and two upper-case hexadecimal digits.
    static QString URLEncode(const QString &data);

    // How the last SendRequest ended.
    enum class Failure {
        None,
        NotOpen,    // no server prepared, or the address is not usable
        Network,    // the connection failed or broke
        Insecure,   // the server's certificate could not be verified
        Redirect,   // sent elsewhere (another origin, or too many redirects)
        Status,     // an HTTP status other than 2xx
        Cancelled,  // CancelRequest was set
        Closed,     // CloseHTTP was called meanwhile
        TooLarge,   // the body is (or says it is) larger than maxBodyBytes
        Stalled,    // no new piece within stallTimeoutMs
        Incomplete, // the connection ended before the body's framing did
        Refused,    // onBody refused a piece
        Malformed,  // the reply's head or the body's framing cannot be read
    };
    // True only when the whole body arrived, ending as its framing says,
    // without a network error, no cancel, an HTTP status of 2xx and no limit
    // passed.
    bool lastSucceeded() const { return m_lastFailure == Failure::None; }
    Failure lastFailure() const { return m_lastFailure; }
    int lastStatus() const { return m_lastStatus; }

    // Runs once for each piece read (the update window's progress bar).
    std::function<void()> onPieceRead;
    // When set, the pieces of a 2xx reply go here as they arrive instead of
    // into the returned body, so a body of any size is never held whole.
    // Returning false stops the transfer (Failure::Refused).
    std::function<bool(const QByteArray &piece)> onBody;
    // The most body bytes accepted (-1: no limit); checked against the
    // declared length before reading and while reading.
    qint64 maxBodyBytes = -1;
    // A transfer that completes no new piece for this long ends (0: never).
    // A piece is 1024 bytes, so a server that trickles a few bytes at a time
    // counts as stalled too.
    int stallTimeoutMs = 0;

private:
    int FindField(const QString &name, bool append);
    QString BuildQuery() const;
    // The steps of SendRequest.
    bool buildRequest(const QString &file, const QByteArray &verb, QUrl *url, QByteArray *body,
                      QByteArray *contentType) const;
    Failure exchange(QUrl url, QByteArray verb, QByteArray body, const QByteArray &contentType,
                     bool reload, QByteArray *out);
    Failure connectTo(const QUrl &url, QTcpSocket *socket, const QElapsedTimer &sincePiece);
    Failure readBody(QTcpSocket *socket, QByteArray *raw, BodyReader *reader, QByteArray *out,
                     QElapsedTimer *sincePiece);
    Failure waitForNews(QTcpSocket *socket, const QElapsedTimer &sincePiece) const;

    QStringList m_names;
    QStringList m_values;
    bool m_open = false;
    QUrl m_base;
    // The connection of the request running now; CloseHTTP aborts it.
    QPointer<QTcpSocket> m_socket;
    Failure m_lastFailure = Failure::NotOpen;
    int m_lastStatus = 0;
};

} // namespace qelt::updater
