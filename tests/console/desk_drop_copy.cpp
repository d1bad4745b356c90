// A file dragged from another program onto the console, on a real desktop:
// the other program offers Copy or Move and proposes Move (Shift held, as in
// a file manager); the console answers Copy, so the file stays where it was.
#include "console/frmFire.h"
#include "logic/Globals.h"
#include "tests/console/ConsoleTestSupport.h"
#include "tests/support/Desktop.h"
#include "tests/support/FileBytes.h"
#include "tests/support/TestEnv.h"

#include <QDir>
#include <QEvent>
#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QTest>

using namespace qelt;
namespace desk = qelt::test::desktop;

namespace {

// A first window may take many seconds to show on a loaded machine.

// Counts the drag's steps as they reach the console.
struct DragSteps : QObject {
    int moves = 0;
    int drops = 0;
    bool eventFilter(QObject *, QEvent *e) override
    {
        moves += e->type() == QEvent::DragMove;
        drops += e->type() == QEvent::Drop;
        return false;
    }
};

// Mouse moves through the X server, one step at a time, so that the
// dragging program sees each (the drag protocol needs a position message
// for every place the pointer passes).
void MoveInSteps(QPoint from, QPoint to, int steps)
{
    for (int i = 1; i <= steps; ++i) {
        const QPoint at = from + (to - from) * i / steps;
        desk::Run(QStringLiteral("xdotool"),
                  {QStringLiteral("mousemove"), QString::number(at.x()), QString::number(at.y())});
        desk::Settle(40);
    }
}

} // namespace

class DeskDropCopyTest : public QObject, private test::ConsoleOnFakeLink {
    Q_OBJECT

private:
    QProcess source;
    QStringList said;

    // The line of the given number (from 0) the dragging program prints:
    // "ready X Y", "dragging", then the action it was answered. Empty
    // where it does not come in time.
    QString waitForLine(int number, int ms)
    {
        QElapsedTimer waited;
        waited.start();
        while (said.size() <= number && waited.elapsed() < ms) {
            QTest::qWait(20);
            said += QString::fromLocal8Bit(source.readAllStandardOutput())
                        .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        }
        return said.value(number);
    }

private slots:
    void initTestCase() { startConsole(); }

    void fileDraggedFromAnotherProgramStaysWhereItWas()
    {
        const QString folder = test::TestEnv::ScratchPath("drag");
        QVERIFY(QDir().mkpath(folder));
        const QString file = folder + "/lamps.txt";
        QVERIFY(test::WriteBytes(file, "lamps"));

        fire->move(20, 40);
        QVERIFY(desk::ShowActive(fire));
        DragSteps steps;
        fire->installEventFilter(&steps);

        source.start(QStringLiteral(QELT_DRAG_SOURCE), {file, "900", "600"});
        QVERIFY(source.waitForStarted(test::kChildMs));
        // Whatever happens, the keys and the mouse button are let go and
        // the other program ends.
        bool held = false;
        const auto letGo = [&held] {
            held = false;
            desk::Run(QStringLiteral("xdotool"),
                      {QStringLiteral("mouseup"), QStringLiteral("1"), QStringLiteral("keyup"),
                       QStringLiteral("shift")});
        };
        auto cleanup = qScopeGuard([&] {
            if (held)
                letGo();
            source.kill();
            source.waitForFinished(test::kChildMs);
        });
        const QStringList ready = waitForLine(0, desk::kFirstWindowMs).split(QLatin1Char(' '));
        QVERIFY2(ready.size() == 3 && ready[0] == "ready", qPrintable(said.join(" | ")));
        const QPoint from(ready[1].toInt(), ready[2].toInt());
        const QPoint onto = fire->mapToGlobal(fire->rect().center());
        // The two windows side by side: the press starts the drag, the
        // release lands on the console.
        QVERIFY(!fire->frameGeometry().contains(from));
        QVERIFY(!QRect(from - QPoint(120, 100), QSize(240, 200)).contains(onto));

        held = true;
        desk::Run(QStringLiteral("xdotool"),
                  desk::MoveTo(from) << QStringLiteral("keydown") << QStringLiteral("shift")
                                     << QStringLiteral("mousedown") << QStringLiteral("1"));
        QCOMPARE(waitForLine(1, desk::kStepMs), QString("dragging"));
        MoveInSteps(from, onto, 12);
        // Over the console until it has taken in the drag's position there.
        QElapsedTimer over;
        over.start();
        for (int i = 0; steps.moves == 0 && over.elapsed() < desk::kStepMs; ++i)
            MoveInSteps(onto + QPoint(i % 2 ? 3 : -3, 0), onto, 2);
        QVERIFY(steps.moves > 0);
        // Time for the dragging program to read the console's answer.
        desk::Settle(300);

        letGo();
        QTRY_COMPARE_WITH_TIMEOUT(steps.drops, 1, desk::kStepMs);
        QCOMPARE(fire->txtCommand().text(), file);
        QCOMPARE(waitForLine(2, desk::kStepMs), QString("copy"));
        QCOMPARE(test::ReadBytes(file), QByteArray("lamps"));
        fire->txtCommand().setText(QString());
    }
};

QELT_DESKTOP_TEST_MAIN(DeskDropCopyTest)
#include "desk_drop_copy.moc"
