#pragma once

#include "tests/support/Bounds.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>

// A peer of the updater tests in a process of its own (the script
// update_server.py beside this file): the update server or a web proxy. It writes as fast as
// its socket takes the bytes, whatever the updater's event loop does.
class ScriptPeer {
public:
    ScriptPeer() = default;
    ScriptPeer(const ScriptPeer &) = delete;
    ScriptPeer &operator=(const ScriptPeer &) = delete;
    ~ScriptPeer()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(qelt::test::kChildMs);
        }
    }

    // Starts the script with arguments and waits until it listens. False
    // (with the reason in error()) when it could not start.
    bool start(const QStringList &arguments)
    {
        const QString python = QStandardPaths::findExecutable(QStringLiteral("python3"));
        if (python.isEmpty()) {
            m_error = QStringLiteral("python3 is not installed");
            return false;
        }
        const QString script = QStringLiteral(QELT_UPDATE_SERVER_SCRIPT);
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(python, QStringList{script} + arguments);
        const QString line = waitForLine(QStringLiteral("port "));
        m_port = quint16(line.mid(5).toUInt());
        if (m_port == 0)
            m_error = QStringLiteral("the script did not start: ") + m_process.errorString();
        return m_port != 0;
    }

    quint16 port() const { return m_port; }
    QString error() const { return m_error; }

    // Every line printed so far.
    QStringList lines()
    {
        readLines();
        return m_lines;
    }

    // The first line starting with prefix, waiting up to timeoutMs for it
    // ("" when none came).
    QString waitForLine(const QString &prefix, int timeoutMs = qelt::test::kChildMs)
    {
        const QDeadlineTimer deadline(timeoutMs);
        for (;;) {
            readLines();
            for (const QString &line : std::as_const(m_lines)) {
                if (line.startsWith(prefix))
                    return line;
            }
            if (deadline.hasExpired() || m_process.state() == QProcess::NotRunning)
                return {};
            m_process.waitForReadyRead(qelt::test::kPollMs);
        }
    }

    // The SHA-256 of a file in hexadecimal, as the script reports what it
    // sent.
    static QString Sha256Of(const QString &path)
    {
        QFile f(path);
        QCryptographicHash hash(QCryptographicHash::Sha256);
        if (!f.open(QIODevice::ReadOnly) || !hash.addData(&f))
            return {};
        return QString::fromLatin1(hash.result().toHex());
    }

private:
    void readLines()
    {
        m_partial += m_process.readAllStandardOutput();
        qsizetype nl;
        while ((nl = m_partial.indexOf('\n')) >= 0) {
            m_lines << QString::fromUtf8(m_partial.left(nl));
            m_partial.remove(0, nl + 1);
        }
    }

    QProcess m_process;
    QByteArray m_partial;
    QStringList m_lines;
    quint16 m_port = 0;
    QString m_error;
};
