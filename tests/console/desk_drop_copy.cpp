// Drags from another program, on a real desktop: the other program offers
// Copy or Move and proposes Move (Shift held, as in a file manager or a text
// editor). The console takes a file as a copy, so the file stays where it
// was; the favourites' number box and the preferences' caption field refuse
// a file, so neither takes its name nor stores anything, and the caption
// field takes a text as a copy.
#include "console/frmFavs.h"
#include "console/frmFire.h"
#include "core/services/PrefsServices.h"
#include "logic/DataFile.h"
#include "logic/Globals.h"
#include "prefs/InstallPrefsWindows.h"
#include "tests/console/ConsoleTestSupport.h"
#include "tests/support/Desktop.h"
#include "tests/support/FileBytes.h"
#include "tests/support/TestEnv.h"

#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QScopeGuard>
#include <QTest>

using namespace qelt;
namespace desk = qelt::test::desktop;

namespace {

// Counts the drag's steps as they reach one widget, before the program's
// own rule for drags sees them (a refused step goes no further).
struct DragSteps : QObject {
    const QWidget *target = nullptr;
    int steps = 0;
    int drops = 0;
    bool eventFilter(QObject *receiver, QEvent *e) override
    {
        if (receiver != target)
            return false;
        steps += e->type() == QEvent::DragEnter || e->type() == QEvent::DragMove;
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
        desk::Settle(desk::kPollMs);
    }
}

QLineEdit *PanicCaption()
{
    for (QWidget *top : QApplication::topLevelWidgets())
        if (auto *e = top->findChild<QLineEdit *>(QStringLiteral("txtBcaption")))
            return e;
    return nullptr;
}

} // namespace

class DeskDropCopyTest : public QObject, private test::ConsoleOnFakeLink {
    Q_OBJECT

private:
    QProcess source;
    QStringList said;
    QString file;

    // The line of the given number (from 0) the dragging program prints:
    // "ready X Y", "dragging", then the action it was answered. Empty
    // where it does not come in time.
    QString waitForLine(int number, int ms)
    {
        QElapsedTimer waited;
        waited.start();
        while (said.size() <= number && waited.elapsed() < ms) {
            QTest::qWait(desk::kPollMs);
            said += QString::fromLocal8Bit(source.readAllStandardOutput())
                        .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        }
        return said.value(number);
    }

    // Drags from the other program, started with sourceArgs, onto the middle
    // of target, Shift held, and sets answer to the action the program was
    // told. dropped counts the drops that reached target.
    void dragOnto(QWidget *target, const QStringList &sourceArgs, QString *answer,
                  int *dropped = nullptr)
    {
        QWidget *window = target->window();
        window->move(20, 40);
        QVERIFY(desk::ShowActive(window));
        const QPoint onto = target->mapToGlobal(target->rect().center());
        QTRY_VERIFY_WITH_TIMEOUT(QApplication::widgetAt(onto) == target ||
                                     target->isAncestorOf(QApplication::widgetAt(onto)),
                                 desk::kStepMs);
        DragSteps steps;
        steps.target = target;
        qApp->installEventFilter(&steps);

        said.clear();
        source.start(QStringLiteral(QELT_DRAG_SOURCE), sourceArgs + QStringList{"900", "600"});
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
        // The two windows side by side: the press starts the drag, the
        // release lands on the target.
        QVERIFY(!window->frameGeometry().contains(from));
        QVERIFY(!QRect(from - QPoint(120, 100), QSize(240, 200)).contains(onto));

        held = true;
        desk::Run(QStringLiteral("xdotool"),
                  desk::MoveTo(from) << QStringLiteral("keydown") << QStringLiteral("shift")
                                     << QStringLiteral("mousedown") << QStringLiteral("1"));
        QCOMPARE(waitForLine(1, desk::kStepMs), QString("dragging"));
        MoveInSteps(from, onto, 12);
        // Over the target until it has taken in the drag's position there.
        QElapsedTimer over;
        over.start();
        for (int i = 0; steps.steps == 0 && over.elapsed() < desk::kStepMs; ++i)
            MoveInSteps(onto + QPoint(i % 2 ? 3 : -3, 0), onto, 2);
        QVERIFY(steps.steps > 0);
        // Time for the dragging program to read the answer.
        desk::Settle(test::kSettleMs);

        letGo();
        *answer = waitForLine(2, desk::kStepMs);
        desk::Settle(test::kSettleMs);
        if (dropped)
            *dropped = steps.drops;
    }

private slots:
    void initTestCase()
    {
        startConsole();
        InstallPrefsWindows();
        const QString folder = test::TestEnv::ScratchPath("drag");
        QVERIFY(QDir().mkpath(folder));
        file = folder + "/lamps.txt";
        QVERIFY(test::WriteBytes(file, "lamps"));
    }

    void fileDraggedOntoTheConsoleIsCopied()
    {
        QString answer;
        int dropped = 0;
        dragOnto(fire, {file}, &answer, &dropped);
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(answer, QString("copy"));
        QCOMPARE(dropped, 1);
        QCOMPARE(fire->txtCommand().text(), file);
        QCOMPARE(test::ReadBytes(file), QByteArray("lamps"));
        fire->txtCommand().setText(QString());
    }

    // The box holds the number of rows shown, and what it holds is stored
    // at once.
    void fileDraggedOntoTheFavouritesBoxIsRefused()
    {
        frmFavs &favs = FavsWindow();
        favs.Load();
        favs.mnuPrefs->trigger(); // the strip that holds the box
        const QString shown = favs.txtMaxVis->text();
        const QString stored = GetRec(277);
        QString answer;
        dragOnto(favs.txtMaxVis, {file}, &answer);
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(answer, QString("ignore"));
        QCOMPARE(test::ReadBytes(file), QByteArray("lamps"));
        QCOMPARE(favs.txtMaxVis->text(), shown);
        QCOMPARE(GetRec(277), stored);
        favs.hide();
    }

    void fileDraggedOntoThePanicCaptionIsRefusedAndTextIsCopied()
    {
        Prefs()->showPage(1);
        QLineEdit *caption = PanicCaption();
        QVERIFY(caption);
        const QString before = caption->text();
        QString answer;
        dragOnto(caption, {file}, &answer);
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(answer, QString("ignore"));
        QCOMPARE(test::ReadBytes(file), QByteArray("lamps"));
        QCOMPARE(caption->text(), before);

        // Text from an editor, where Move would remove it there.
        caption->clear();
        dragOnto(caption, {"--text", "Lamps"}, &answer);
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(answer, QString("copy"));
        QCOMPARE(caption->text(), QString("Lamps"));
    }
};

QELT_DESKTOP_TEST_MAIN(DeskDropCopyTest)
#include "desk_drop_copy.moc"
