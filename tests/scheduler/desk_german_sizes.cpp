// In German, on a real desktop, the texts the windows set while they run are
// drawn whole and at most 1 pt below their normal size: the timers window
// with the master switch on and a city chosen, the timer log after a timer
// ran, the uninstaller's explanation of each mode and the main window with
// its group panel.

#include "tests/scheduler/TimersTestSupport.h"
#include "tests/support/CaptionSizes.h"
#include "tests/support/Desktop.h"
#include "tests/support/TestEnv.h"

#include "console/frmFire.h"
#include "core/services/ConsoleServices.h"
#include "core/services/PrefsServices.h"
#include "logic/DayRule.h"
#include "logic/Globals.h"
#include "logic/ProgramFolder.h"
#include "logic/SchedulerClock.h"
#include "logic/SerialLink.h"
#include "logic/Settings.h"
#include "logic/Transmitter.h"
#include "logic/X10Codes.h"
#include "prefs/InstallPrefsWindows.h"
#include "prefs/frmUnst.h"
#include "scheduler/FrmTimers.h"
#include "scheduler/frmTimerStatus.h"

#include <QCheckBox>
#include <QLabel>
#include <QLocale>
#include <QPlainTextEdit>
#include <QRadioButton>

using namespace qelt;
namespace desktop = test::desktop;

namespace {

QString Faults(const QStringList &faults)
{
    return faults.join(QLatin1Char('\n'));
}

} // namespace

class GermanSizesTest : public QObject {
    Q_OBJECT

    test::SettableWallClock wall;

private slots:
    void initTestCase()
    {
        test::StartTimersTests(&wall, nullptr);
        LangFile = QStringLiteral(QT_TESTCASE_SOURCEDIR "/../resources/Deutsch.lan");
        // A German user's clock: 24 hours.
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    }

    // The master switch set with the mouse, today's sun times for a chosen
    // city, and a timer that ran: its status row and the log.
    void timersWindowAndLogAfterATimerRan()
    {
        SaveSet("Settings", "CityLatitude", "40.7");
        SaveSet("Settings", "CityLongitude", "74.0");
        SaveSet("Settings", "CityZone", "5");
        SaveSet("Settings", "DaySavings", "False");
        // A December evening's sunset still has a two-digit hour.
        wall.at = QDateTime(QDate(2026, 12, 8), QTime(7, 4, 58));
        test::OneTimerWindow timers;
        FrmTimers &w = timers.w;
        frmTimerStatus &log = timers.log;
        QVERIFY(desktop::ShowActive(&w));
        desktop::Click(w.Check2);
        QTRY_VERIFY_WITH_TIMEOUT(w.Check2->isChecked(), desktop::kStepMs);
        QTRY_VERIFY_WITH_TIMEOUT(!w.lblSS->text().isEmpty(), desktop::kStepMs);
        QVERIFY2(w.lblSS->text().contains(QRegularExpression(R"(1\d:\d\d:\d\d$)")),
                 qPrintable(w.lblSS->text()));

        wall.at = QDateTime(QDate(2026, 12, 8), QTime(7, 5, 0));
        QTRY_VERIFY_WITH_TIMEOUT(timers.link.decodedBits().size() >= timers.frame.size(),
                                 desktop::kStepMs);
        QTRY_VERIFY_WITH_TIMEOUT(!log.logText().isEmpty(), desktop::kStepMs);
        log.showLog();
        QVERIFY(desktop::WaitOnScreen(&log));
        if (!log.statusView())
            log.Check1->click();
        QVERIFY(log.statusView());
        desktop::Settle();

        int checked = 0;
        QStringList faults =
            test::CaptionFaults(&w, &checked) + test::CaptionFaults(&log, &checked);
        QList<QPlainTextEdit *> boxes;
        for (QPlainTextEdit *box : log.Text2)
            if (box->isVisible())
                boxes << box;
        boxes << log.txtLoopT;
        faults += test::BoxFaults(boxes);
        QVERIFY2(faults.isEmpty(), qPrintable(Faults(faults)));
        QVERIFY(checked > 30);
        QVERIFY2(log.statusText(0) != NotSetText(), qPrintable(log.statusText(0)));

        w.setCheck2(false);
        w.unload();
        log.unload();
    }

    // Each mode chosen with the mouse puts its explanation under the items.
    void uninstallerExplainsEachMode()
    {
        InstallPrefsWindows();
        Uninstaller()->showUninstaller();
        frmUnst *u = UnstWindow();
        QVERIFY(desktop::WaitOnScreen(u));
        for (int mode : {1, 0}) {
            desktop::Click(u->Option1[mode]);
            QTRY_VERIFY_WITH_TIMEOUT(u->Option1[mode]->isChecked(), desktop::kStepMs);
            desktop::Settle();
            QVERIFY(!u->Label3->text().isEmpty());
            const QStringList faults = test::CaptionFaults(u);
            QVERIFY2(faults.isEmpty(), qPrintable(Faults(faults)));
        }
        Uninstaller()->unload();
    }

    void mainWindowWithItsGroupPanel()
    {
        RecordingSerialLink link;
        frmFire fire(&link);
        SetMainWindow(&fire);
        fire.Form_Load();
        fire.afterStart_Timer();
        QVERIFY(desktop::ShowActive(&fire));
        fire.ckbGroups->setChecked(true);
        QTRY_VERIFY_WITH_TIMEOUT(fire.cmdGrpOff[0]->isVisible(), desktop::kStepMs);
        int checked = 0;
        const QStringList faults = test::CaptionFaults(&fire, &checked);
        QVERIFY2(faults.isEmpty(), qPrintable(Faults(faults)));
        QVERIFY(checked > 40);
        SetMainWindow(nullptr);
    }
};

QELT_DESKTOP_TEST_MAIN(GermanSizesTest)
#include "desk_german_sizes.moc"
