#pragma once

#include <QByteArray>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <functional>
#include <memory>

class QNetworkAccessManager;
class QNetworkReply;

namespace qelt::updater {

// The updater's HTTP client: one connection to a server, GET or POST
// requests with optional form fields, the reply body read in pieces of at
// most 1024 bytes. Window events run at the start of every member and
// between pieces, so buttons and timers work during a transfer; the transfer
// stops after the current piece once CancelRequest is set, or when
// CloseHTTP is called meanwhile.
class HTTPClass {
public:
    HTTPClass();
    ~HTTPClass();
    HTTPClass(const HTTPClass &) = delete;
    HTTPClass &operator=(const HTTPClass &) = delete;

    // Form fields; names are compared without regard to case.
    void setFields(const QString &name, const QString &value);
    QString Fields(const QString &name);

    // Prepares requests to server: a host name (port 80) or a base address
    // such as "http://127.0.0.1:8080". False when it names no usable server.
    bool OpenHTTP(const QString &server);
    // Ends the connection; a request still running stops.
    void CloseHTTP();
    bool isOpen() const { return m_nam != nullptr; }

    // Sends one request and returns the reply body (what was read so far
    // when the transfer stopped early; empty when nothing could be sent).
    // referer is accepted and not used: the referrer sent is the updater's
    // own folder.
    QByteArray SendRequest(const QString &file, const QString &method = QStringLiteral("GET"),
                           const QString &referer = {}, bool reload = false);

    // Every byte (low 8 bits of each character) except 0-9, a-z and A-Z
    // becomes "%" and two upper-case hexadecimal digits.
    static QString URLEncode(const QString &data);

    // How the last SendRequest ended: true only when the whole body arrived
    // without a network error, no cancel and an HTTP status of 2xx.
    bool lastSucceeded() const { return m_lastSucceeded; }
    int lastStatus() const { return m_lastStatus; }

    // Runs once for each piece read (the update window's progress bar).
    std::function<void()> onPieceRead;

private:
    int FindField(const QString &name, bool append);
    QString BuildQuery() const;

    QStringList m_names;
    QStringList m_values;
    std::unique_ptr<QNetworkAccessManager> m_nam;
    QUrl m_base;
    QPointer<QNetworkReply> m_reply;
    bool m_lastSucceeded = false;
    int m_lastStatus = 0;
};

} // namespace qelt::updater
