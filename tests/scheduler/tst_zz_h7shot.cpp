#include "tests/support/TestEnv.h"
#include "core/Globals.h"
#include "core/ProgramFolder.h"
#include "scheduler/FrmTimers.h"
#include "scheduler/frmTimerStatus.h"
#include <QFile>
#include <QScreen>
#include <QApplication>
#include <QPlainTextEdit>
using namespace qelt;
class Shot : public QObject {
    Q_OBJECT
private slots:
    void shot()
    {
        SoundsOn = false;
        LangFile = InProgramFolder("language.ini");
        QFile f(InProgramFolder("tmrdat.zyv"));
        f.open(QIODevice::WriteOnly);
        f.write("\"morning.cro*7:05:00*Everyday\"\r\n\"A 3 On*19:30:00*Weekdays\"\r\n\"GROUP 2 OFF*23:00:00*Never\"\r\n\"**not set\"\r\n\"**not set\"\r\n\"**not set\"\r\n\"**not set\"\r\n\"**not set\"\r\n");
        f.close();
        QFile c(InProgramFolder("morning.cro")); c.open(QIODevice::WriteOnly); c.close();
        frmTimerStatus log;
        FrmTimers w(&log);
        w.ensureLoaded();
        log.appendLog("\r\n12/8/2026 7:05:00\r\n\tTimer 1:  (A 3 On) :  Success\r\n");
        log.setStatus(0, "Timer 1 : (morning.cro)\r\n\t: Started 7:05:00 ...running!  (mt0)", QColor(0,255,255));
        w.move(10, 10);
        w.show();
        log.move(600, 10);
        log.show();
        QTest::qWait(800);
        QApplication::primaryScreen()->grabWindow(0).save("/tmp/h7/shot_status.png");
        log.Label4_Click();
        QTest::qWait(500);
        QApplication::primaryScreen()->grabWindow(0).save("/tmp/h7/shot_log.png");
        w.unload();
    }
};
int main(int argc, char **argv)
{
    qelt::test::TestEnv env;
    QApplication app(argc, argv);
    Shot tc;
    return QTest::qExec(&tc, argc, argv);
}
#include "tst_zz_h7shot.moc"
