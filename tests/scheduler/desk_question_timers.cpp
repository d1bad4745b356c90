// A question waits on a real desktop while the timers window keeps its clock
// and its timers running: a timer that falls due meanwhile is sent.

#include "tests/scheduler/TimersTestSupport.h"
#include "tests/support/Desktop.h"
#include "tests/support/ShownDialogs.h"
#include "tests/support/TestEnv.h"

#include "core/Dialogs.h"
#include "core/MessageDialog.h"
#include "logic/DayRule.h"
#include "logic/ProgramFolder.h"
#include "logic/SchedulerClock.h"
#include "logic/SerialLink.h"
#include "logic/Settings.h"
#include "logic/Transmitter.h"
#include "logic/X10Codes.h"
#include "scheduler/FrmTimers.h"
#include "scheduler/frmTimerStatus.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>

using namespace qelt;
using test::desktop::Script;
namespace desk = qelt::test::desktop;

class QuestionTimersTest : public QObject {
    Q_OBJECT

    test::SettableWallClock wall;

private slots:
    void timerFallsDueWhileAQuestionWaits()
    {
        test::StartTimersTests(&wall, nullptr);
        wall.at = QDateTime(QDate(2026, 12, 8), QTime(7, 4, 50));
        test::OneTimerWindow timers;
        FrmTimers &w = timers.w;
        w.setCheck2(true);
        QVERIFY(desk::ShowActive(&w));
        const QString &frame = timers.frame;
        RecordingSerialLink &link = timers.link;
        int answer = 0;
        bool returned = false;
        QString sentWhileAsking;
        Script s;
        s.then([&] {
             answer = Questions(QStringLiteral("Go on?"), 2, QStringLiteral("Asking"));
             returned = true;
         })
            .then([] { return !test::ShownDialogs().isEmpty(); },
                  [&] { wall.at = QDateTime(QDate(2026, 12, 8), QTime(7, 5, 0)); })
            .then([&] { return link.decodedBits().size() >= frame.size(); },
                  [&] { sentWhileAsking = link.decodedBits(); })
            // The clock has a timer of its own: it may show the time a moment later.
            .then([&] { return w.Label3->text() == ClockText(QTime(7, 5, 0)); }, [] {})
            // The user answers once the question is there to click.
            .then([] { return test::ShownDialogs().last()->isActiveWindow(); },
                  [&] { s.click(test::ShownDialogs().last()->cmdYes); })
            .then([&] { return returned; }, [] {});
        QVERIFY(s.run([] {
            for (frmInfo *d : test::ShownDialogs())
                d->cmdNo->click();
        }));
        QCOMPARE(sentWhileAsking, frame);
        QCOMPARE(answer, 1);
        w.hide();
        SetWallClock(nullptr);
    }
};

QELT_DESKTOP_TEST_MAIN(QuestionTimersTest)
#include "desk_question_timers.moc"
