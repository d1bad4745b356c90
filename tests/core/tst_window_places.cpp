#include "core/WindowHelpers.h"
#include "tests/support/Bounds.h"
#include "tests/support/TestEnv.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

#include <memory>

using namespace qelt;

// Stored window places on a desktop of three screens: a 1280 x 1024
// primary, a 1920 x 1080 one to its right reaching 200 pixels higher, and a
// 1024 x 768 one to its left.
class TestWindowPlaces : public QObject {
    Q_OBJECT

    // A shown window of the given client size, so that its frame is known
    // (the offscreen screens give every window a 2 pixel frame).
    static std::unique_ptr<QWidget> shownWindow(QSize size)
    {
        auto w = std::make_unique<QWidget>();
        w->resize(size);
        w->show();
        [&] { QVERIFY(QTest::qWaitForWindowExposed(w.get(), test::kFirstWindowMs)); }();
        return w;
    }

private slots:
    void initTestCase()
    {
        QList<QRect> areas;
        for (const QScreen *s : QGuiApplication::screens())
            areas << s->availableGeometry();
        QCOMPARE(areas, (QList<QRect>{
                            {0, 0, 1280, 1024}, {1280, -200, 1920, 1080}, {-1024, 0, 1024, 768}}));
        QCOMPARE(QGuiApplication::primaryScreen()->availableGeometry(), QRect(0, 0, 1280, 1024));
    }

    void placesAreKeptOnTheScreenTheyBelongTo()
    {
        const auto w = shownWindow({282, 368});
        QCOMPARE(w->frameGeometry().size(), QSize(286, 372));
        const struct {
            const char *what;
            double left, top; // twips
            QRect frame;
        } cases[] = {
            {"on the primary", 1500, 3000, {100, 200, 286, 372}},
            {"on the right screen", 1400 * 15, -150 * 15, {1400, -150, 286, 372}},
            {"on the left screen", -800 * 15, 300 * 15, {-800, 300, 286, 372}},
            {"past the primary's corner, nearest to the right screen",
             30000,
             30000,
             {2000, 508, 286, 372}},
            {"past the right screen's right edge", 60000, 3000, {2914, 200, 286, 372}},
            {"left of the left screen", -60000, 3000, {-1024, 200, 286, 372}},
        };
        for (const auto &c : cases) {
            MoveOnScreenTwips(w.get(), c.left, c.top);
            const QRect frame = w->frameGeometry();
            QVERIFY2(frame == c.frame, qPrintable(QStringLiteral("%1: %2,%3 %4x%5")
                                                      .arg(QLatin1String(c.what))
                                                      .arg(frame.x())
                                                      .arg(frame.y())
                                                      .arg(frame.width())
                                                      .arg(frame.height())));
        }
    }

    // The frame is known only once a window has been shown: a window placed
    // before its first showing is placed again when it gets its frame.
    void firstShownWindowKeepsItsFrameOnTheScreen()
    {
        QWidget w;
        w.resize(282, 368);
        const QPointer<QLabel> child = new QLabel(QStringLiteral("X"), &w);
        // Placed twice before it shows (as a window loaded twice is): the
        // second placing counts, and the window's own children stay.
        MoveOnScreenTwips(&w, 1500, 3000);
        MoveOnScreenTwips(&w, 30000, 30000);
        QVERIFY(child);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w, test::kFirstWindowMs));
        QTRY_COMPARE_WITH_TIMEOUT(w.frameGeometry(), QRect(2000, 508, 286, 372), test::kStepMs);

        QWidget large;
        large.resize(2500, 1500);
        MoveOnScreenTwips(&large, 100, 100);
        large.show();
        QVERIFY(QTest::qWaitForWindowExposed(&large, test::kFirstWindowMs));
        QTRY_COMPARE_WITH_TIMEOUT(large.frameGeometry(), QRect(0, 0, 1280, 1024), test::kStepMs);
    }

    // A window larger than its screen is made as large as the screen,
    // frame included.
    void largerWindowIsMadeAsLargeAsItsScreen()
    {
        const auto w = shownWindow({2500, 1500});
        MoveOnScreenTwips(w.get(), 100, 100);
        QCOMPARE(w->frameGeometry(), QRect(0, 0, 1280, 1024));
        QCOMPARE(w->size(), QSize(1276, 1020));
        // Mostly on the right screen, which is wider but only 1080 high.
        MoveOnScreenTwips(w.get(), 1500 * 15, 0);
        QCOMPARE(w->frameGeometry(), QRect(1500, 880 - 1024, 1280, 1024));
        QCOMPARE(w->size(), QSize(1276, 1020));
    }
};

int main(int argc, char **argv)
{
    qelt::test::TestEnv env;
    QTemporaryDir dir;
    const QString config = dir.filePath(QStringLiteral("screens.json"));
    {
        QFile f(config);
        if (!f.open(QIODevice::WriteOnly))
            return 1;
        // The offscreen platform takes the screens in the order of their
        // names; the first is the primary.
        f.write(R"({"screens": [
            {"name": "1 primary", "x": 0, "y": 0, "width": 1280, "height": 1024,
             "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1},
            {"name": "2 right", "x": 1280, "y": -200, "width": 1920, "height": 1080,
             "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1},
            {"name": "3 left", "x": -1024, "y": 0, "width": 1024, "height": 768,
             "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
    }
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + config.toLocal8Bit());
    QApplication app(argc, argv);
    TestWindowPlaces tc;
    return QTest::qExec(&tc, argc, argv);
}

#include "tst_window_places.moc"
