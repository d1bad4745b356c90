// Waits through named bounds, poll loops turning at kPollMs, waitpid, and wait-like words in
// comments and strings ("QTRY_VERIFY(x)", qWaitFor(pred), spy.wait()), none
// of which the check may report.
#include "tests/support/Bounds.h"

#include <QProcess>
#include <QSignalSpy>
#include <QTest>

bool waitForText(QProcess &p, int timeoutMs = test::kStepMs);

void clean(QWidget *w, QProcess &p, QSignalSpy &spy, bool shown)
{
    QTRY_VERIFY_WITH_TIMEOUT(w->isVisible(), test::kStepMs);
    QTRY_COMPARE_WITH_TIMEOUT(w->width(), 200, kStepMs);
    QVERIFY(QTest::qWaitForWindowExposed(w, test::kFirstWindowMs));
    QVERIFY(QTest::qWaitFor([&] { return shown && w->width() > 100; }, test::kStepMs));
    QVERIFY(spy.wait(test::kStepMs));
    QVERIFY(p.waitForFinished(test::kChildMs));
    QTest::qWait(test::kNothingHappensMs);
    QElapsedTimer t;
    while (t.elapsed() < test::kChildMs && !p.waitForFinished(test::kPollMs))
        QTest::qWait(test::kPollMs);
    int status = 0;
    waitpid(p.processId(), &status, 0);
    QVERIFY(waitForText(p));
    const char *said = "QTRY_VERIFY(shown); QTest::qWaitForWindowExposed(w, 5000)";
    const char *raw = R"(QTRY_COMPARE(a, b) "qWait(900)")";
    const char quote = '"';
    QCOMPARE(QByteArray(said) + raw + quote, QByteArray("QTRY_VERIFY(x)"));
}
