#include "core/SingleInstance.h"
#include "logic/Settings.h"
#include "tests/support/FakeMainWindow.h"
#include "tests/support/TestEnv.h"

#include <QDir>
#include <QLocalSocket>
#include <QtEndian>
#include <QtTest>

#include <memory>
#include <vector>

#include <unistd.h>

using namespace qelt;

// Connections to the hand-over socket that never finish their message (or
// arrive by the hundred) must not pile up in the console: they are dropped
// after a while, only a few are held at once, and a real hand-over still
// gets through.
class SingleInstanceClientsTest : public QObject {
    Q_OBJECT

    test::FakeMainWindow main;

    static QByteArray message(const QByteArray &text)
    {
        QByteArray m(4, '\0');
        qToBigEndian<quint32>(quint32(text.size()), m.data());
        return m + text;
    }

    static int openDescriptors()
    {
        return int(QDir(QStringLiteral("/proc/self/fd"))
                       .entryList(QDir::NoDotAndDotDot | QDir::System)
                       .size());
    }

private slots:
    void init() { alarm(120); }
    void cleanup()
    {
        SetMainWindow(nullptr);
        alarm(0);
    }

    void idleAndHalfSentClientsAreDroppedAndBounded()
    {
        SingleInstance first;
        QVERIFY(first.claim());
        first.setClientLimits(4, 300);
        SetMainWindow(&main);
        const QString path = SingleInstance::socketPath(first.handle());
        const int fdsBefore = openDescriptors();

        std::vector<std::unique_ptr<QLocalSocket>> idle;
        for (int i = 0; i < 60; ++i) {
            auto s = std::make_unique<QLocalSocket>();
            s->connectToServer(path);
            QVERIFY(s->waitForConnected(2000));
            // Some send only part of the length, some a length and no text.
            if (i % 3 == 1)
                s->write("\0\0", 2);
            else if (i % 3 == 2)
                s->write(message("never.cro").left(6));
            s->flush();
            idle.push_back(std::move(s));
            QCoreApplication::processEvents();
        }
        QTRY_VERIFY(first.clientCount() <= 4);

        // A whole message still gets through at once, flood or not.
        QLocalSocket real;
        real.connectToServer(path);
        QVERIFY(real.waitForConnected(2000));
        real.write(message("/home/u/lights on.cro"));
        real.flush();
        QTRY_COMPARE_WITH_TIMEOUT(main.received, QStringList{"/home/u/lights on.cro"}, 2000);
        QTRY_VERIFY_WITH_TIMEOUT(real.bytesAvailable() > 0, 2000);
        QCOMPARE(real.read(1), QByteArray("1"));

        // The idle ones are gone after the time limit, and their handles
        // with them (the test's own ends are closed too).
        QTRY_COMPARE_WITH_TIMEOUT(first.clientCount(), 0, 5000);
        for (auto &s : idle)
            QTRY_VERIFY_WITH_TIMEOUT(s->state() == QLocalSocket::UnconnectedState, 2000);
        idle.clear();
        real.abort();
        QTRY_VERIFY_WITH_TIMEOUT(openDescriptors() <= fdsBefore + 1, 2000);
    }
};

QELT_TEST_MAIN(SingleInstanceClientsTest)
#include "tst_single_instance_clients.moc"
