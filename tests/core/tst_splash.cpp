#include "core/Splash.h"
#include "logic/Globals.h"
#include "logic/ProgramFolder.h"
#include "logic/Settings.h"
#include "tests/support/FakeMainWindow.h"
#include "tests/support/FakeWaitClock.h"
#include "tests/support/TestEnv.h"

#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QTimer>

using namespace qelt;

class SplashTest : public QObject {
    Q_OBJECT

    test::FakeWaitClock clock;
    test::FakeMainWindow main;
    int mainLoads = 0;

private slots:
    void initTestCase()
    {
        SetMainWindowFactory([this] {
            ++mainLoads;
            return &main;
        });
    }

    void init()
    {
        UnloadSplash();
        SetMainWindow(nullptr);
        mainLoads = 0;
        DeleteSet("Database16", "CurrentExePath");
        LangFile = InProgramFolder("language.ini");
        QFile::remove(LangFile);
    }

    void loadFillsTheWindowAndStoresTheProgramFolder()
    {
        ShowSplash();
        frmSplash &s = SplashWindow();
        QVERIFY(s.isVisible());
        QVERIFY(!s.Progress1->isVisible());
        QCOMPARE(s.lblVersion->text(), QString("Version 1.70.1050 BETA"));
        QCOMPARE(s.lblProductName->text(), QString("Orvendale "));
        QCOMPARE(s.size(), QSize(5685 / 15, 3240 / 15));
        QCOMPARE(s.Label3->geometry(), s.rect());
        QCOMPARE(GetSet("Database16", "CurrentExePath"), ProgramFolder());
        QVERIFY(s.tmr1->isActive());
        QCOMPARE(s.tmr1->interval(), 750);

        s.tmr1_Timer();
        QCOMPARE(mainLoads, 1);
        QVERIFY(!s.tmr1->isActive()); // it fires once
        QVERIFY(!s.isVisible());
        QVERIFY(s.isLoaded());
    }

    void webLinkFontFollowsTheTranslation_data()
    {
        QTest::addColumn<QString>("translation");
        QTest::addColumn<double>("points");
        QTest::addColumn<bool>("bold");
        QTest::newRow("none") << "" << 9.75 << true;
        QTest::newRow("20 characters") << "Visit our web site!!" << 9.75 << true;
        QTest::newRow("21 characters") << "Visitez notre site web" << 8.0 << false;
    }

    void webLinkFontFollowsTheTranslation()
    {
        QFETCH(QString, translation);
        QFETCH(double, points);
        QFETCH(bool, bold);
        if (!translation.isEmpty()) {
            QFile f(LangFile);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(("[Labels & Captions]\r\nClick for Web Site=" + translation + "\r\n").toUtf8());
        }
        frmSplash &s = SplashWindow();
        QCOMPARE(s.lblWeb->text(),
                 translation.isEmpty() ? QString("Click for Web Site") : translation);
        QCOMPARE(s.lblWeb->font().pointSizeF(), points);
        QCOMPARE(s.lblWeb->font().bold(), bold);
        QVERIFY(s.lblWeb->font().underline());
    }

    // Clicks: the labels hide the window, the window's own surface unloads
    // it; the about box then loads it anew without loading the main window.
    void aboutAfterUnloadReloadsWithTheTimerOff()
    {
        ShowSplash();
        frmSplash &s = SplashWindow();
        s.tmr1_Timer();
        QCOMPARE(mainLoads, 1);

        ShowAbout();
        QVERIFY(s.isVisible());
        QVERIFY(!s.tmr1->isActive());
        QTest::mouseClick(s.lblVersion, Qt::LeftButton);
        QVERIFY(!s.isVisible());
        QVERIFY(s.isLoaded());

        ShowAbout();
        SaveSet("Settings", "MinOnStart", "True");
        DeleteSet("Database16", "CurrentExePath");
        QTest::mouseClick(&s, Qt::LeftButton);
        QVERIFY(!s.isVisible());
        QVERIFY(!s.isLoaded());

        MinOnStart = false;
        ShowAbout();
        QVERIFY(s.isVisible());
        QVERIFY(!s.tmr1->isActive());
        QCOMPARE(GetSet("Database16", "CurrentExePath"), ProgramFolder());
        QVERIFY(MinOnStart); // creation ran again
        QCOMPARE(mainLoads, 1);
        DeleteSet("Settings", "MinOnStart");
    }
};

QELT_TEST_MAIN(SplashTest)
#include "tst_splash.moc"
