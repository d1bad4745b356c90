// Waits without a named bound, each on the line the fixture test expects.
#include <QProcess>
#include <QSignalSpy>
#include <QTest>

constexpr int kCityListMs = 2000;

bool waitForText(QProcess &p, int timeoutMs = 20000);

void bare(QWidget *w, QProcess &p, QSignalSpy &spy, bool shown)
{
    QTRY_VERIFY(w->isVisible());
    QTRY_COMPARE(w->width(), 200);
    QVERIFY(QTest::qWaitForWindowExposed(w, 5000));
    QVERIFY(QTest::qWaitForWindowActive(w));
    QVERIFY(QTest::qWaitFor([&] { return shown; }));
    QVERIFY(QTest::qWaitFor(
        [&] {
            const bool both = shown && w->isVisible();
            return both;
        },
        2000));
    QTRY_VERIFY_WITH_TIMEOUT(shown, 10'000);
    QVERIFY(spy.wait());
    QVERIFY(p.waitForFinished());
    QVERIFY(p.waitForStarted(5000));
    QTest::qWait(800);
    QElapsedTimer t;
    while (t.elapsed() < 30000)
        QTest::qWait(20);
    QVERIFY(waitForText(p, 10000));
}

void pause(int ms = 100);
