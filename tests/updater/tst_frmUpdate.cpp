#include "logic/Globals.h"
#include "logic/ProgramFolder.h"
#include "logic/Settings.h"
#include "tests/support/FakeWaitClock.h"
#include "tests/support/LocalHttpServer.h"
#include "tests/support/PeakMemory.h"
#include "tests/support/TestEnv.h"
#include "tests/updater/ScriptPeer.h"
#include "tests/updater/TestCertificate.h"
#include "updater/frmUpdate.h"
#include "updater/modUpdate.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QSslConfiguration>
#include <QTimer>
#include <QtTest>

#include <memory>

#include <unistd.h>

using namespace qelt;
using namespace qelt::updater;

class TestFrmUpdate : public QObject {
    Q_OBJECT

    std::unique_ptr<LocalHttpServer> server;
    std::unique_ptr<test::FakeWaitClock> clock;
    std::unique_ptr<frmUpdate> form;
    QStringList started;
    int shows = 0;

    QString folder() const { return ProgramFolder(); }
    QString installer() const { return folder() + "/Upgrade"; }

    // The form under test, with the installer start recorded and every
    // show counted.
    frmUpdate &makeForm(const char *mode)
    {
        UpdateMode = QString::fromLatin1(mode);
        form = std::make_unique<frmUpdate>();
        form->startProgram = [this](const QString &p) {
            started << p;
            return true;
        };
        form->installEventFilter(this);
        return *form;
    }

    void serveVersion(const QByteArray &file) { server->routes["/beta/betaver.txt"] = {200, file}; }

    // An installer for this system: the head of this test program (an
    // executable of this system), then filler.
    static QByteArray installerHead()
    {
        QFile self(QCoreApplication::applicationFilePath());
        return self.open(QIODevice::ReadOnly) ? self.read(64) : QByteArray();
    }
    QByteArray payload(qsizetype n)
    {
        QByteArray b(n, '\0');
        const QByteArray head = installerHead();
        for (qsizetype i = 0; i < n; ++i)
            b[i] = i < head.size() ? head[i] : char(i * 13 % 251);
        return b;
    }

    // The installer head in a file of its own, for the server script.
    static QString headFile()
    {
        const QString path = test::TestEnv::ScratchPath("installer-head");
        QFile f(path);
        if (f.open(QIODevice::WriteOnly))
            f.write(installerHead());
        return path;
    }

    QStringList filesInFolder() const
    {
        return QDir(folder()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
    }

protected:
    bool eventFilter(QObject *o, QEvent *e) override
    {
        if (o == form.get() && e->type() == QEvent::Show)
            ++shows;
        return false;
    }

private slots:
    void init()
    {
        QFile::remove(SettingsFilePath());
        for (const QString &f : filesInFolder())
            QFile::remove(folder() + "/" + f);
        QDir(installer()).removeRecursively();
        LangFile = folder() + "/language.ini";
        LocalVersion = "1.70.1050";
        CancelRequest = false;
        server = std::make_unique<LocalHttpServer>();
        qputenv("QELT_UPDATE_URL", server->baseUrl().toUtf8());
        clock = std::make_unique<test::FakeWaitClock>();
        started.clear();
        shows = 0;
        // Every test is bounded in time: one that hangs ends the run.
        alarm(120);
    }

    void cleanup()
    {
        form.reset();
        clock.reset();
        server.reset();
        CancelRequest = false;
        alarm(0);
    }

    void sameVersionInManualModeOffersThePreviousDownload()
    {
        serveVersion("170.1050,40,\"\",\"\"\r\n");
        frmUpdate &f = makeForm("manual");
        f.Load();
        QVERIFY(f.isVisible());
        QCOMPARE(f.Label3->text(), QString("There are no updates at this time"));
        QCOMPARE(f.Label2->text(), QString());
        QCOMPARE(f.cmdDownload->text(), QString("Get Prev."));
        QCOMPARE(f.cmdDownload->toolTip(), QString(" Download the most recent version "));
        QVERIFY(!f.cmdDownload->isHidden());
        QCOMPARE(f.lblVer->text(), QString("Local Version 170.1050"));
        QCOMPARE(f.lblRev->text(), QString("Web Version 170.105"));
        QCOMPARE(f.ProgressBar1->maximum(), 40);
        QCOMPARE(GetSet("Settings", "CheckedUpdate"), QString("True"));
        QCOMPARE(GetSet("Settings", "ChkType"), QString("manual"));
        // The version file does not stay behind.
        QVERIFY(!filesInFolder().contains("version.txt"));
        QCOMPARE(server->requests.size(), 1);
        QCOMPARE(server->requests[0].target, QByteArray("/beta/betaver.txt"));
        QCOMPARE(server->requests[0].headers.value("user-agent"),
                 QByteArray("Zyv-WEB, manual, 1.70.1050"));
    }

    void newerVersionIsShownInBothModes_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("label2");
        const QString standard =
            "Click the Download button to download and install the update.  "
            "Click Close if you do not want to install the update at this time.";
        QTest::newRow("manual") << "manual" << QByteArray("170.1051,40,\"\",\"\"") << standard;
        QTest::newRow("autocheck") << "autocheck" << QByteArray("170.1051,40") << standard;
        QTest::newRow("head and tail")
            << "manual" << QByteArray("170.1051,40,\"New: \",\"faster, smaller\"")
            << QString("New: faster, smaller");
        QTest::newRow("tail only")
            << "manual" << QByteArray("170.1051,40,\"\",\"tail\"") << standard;
    }

    void newerVersionIsShownInBothModes()
    {
        QFETCH(QString, mode);
        QFETCH(QByteArray, file);
        QFETCH(QString, label2);
        serveVersion(file);
        SaveSet("Settings", "ChkType", mode);
        frmUpdate &f = makeForm(mode.toLatin1().constData());
        f.Load();
        QVERIFY(f.isLoaded());
        QVERIFY(f.isVisible());
        QVERIFY(f.windowFlags() & Qt::WindowStaysOnTopHint);
        QCOMPARE(f.Label3->text(), QString("Update Available"));
        QVERIFY(f.Label3->styleSheet().contains("red"));
        QCOMPARE(f.Label2->text(), label2);
        QCOMPARE(f.cmdDownload->text(), QString("&Download"));
        QCOMPARE(GetSet("Settings", "CheckedUpdate"), QString("True"));
        QCOMPARE(GetSet("Settings", "ChkType"), QString("manual"));
    }

    void automaticCheckWithNothingNewEndsUnseen()
    {
        serveVersion("170.1050,40,\"\",\"\"");
        SaveSet("Settings", "ChkType", "autocheck");
        frmUpdate &f = makeForm("autocheck");
        QSignalSpy unloaded(&f, &frmUpdate::unloaded);
        f.Load();
        QCOMPARE(shows, 0);
        QCOMPARE(unloaded.size(), 1);
        QVERIFY(!f.isLoaded());
        QCOMPARE(GetSet("Settings", "CheckedUpdate"), QString("True"));
        QCOMPARE(GetSet("Settings", "ChkType"), QString("manual"));
    }

    void unusableVersionIsAConnectionError_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QString>("how");
        for (const char *mode : {"manual", "autocheck"})
            for (const char *how : {"text", "zero", "empty", "trailing junk", "404", "refused"})
                QTest::newRow(qPrintable(QString("%1 %2").arg(mode, how))) << mode << how;
    }

    void unusableVersionIsAConnectionError()
    {
        QFETCH(QString, mode);
        QFETCH(QString, how);
        if (how == "text")
            serveVersion("<html>new!</html>");
        else if (how == "zero")
            serveVersion("0,40");
        else if (how == "empty")
            serveVersion("");
        else if (how == "trailing junk")
            serveVersion("999abc,40");
        else if (how == "refused")
            server->close();
        // "404": no route, the server answers with an error page.
        frmUpdate &f = makeForm(mode.toLatin1().constData());
        f.Load();
        QCOMPARE(f.Label3->text(), QString("Error connecting to web site"));
        QCOMPARE(f.Label2->text(),
                 QString("There seems to be a problem with your connection to the internet, or "
                         "the web site.  Please check your connection and try again"));
        QVERIFY(f.cmdDownload->isHidden());
        QCOMPARE(GetSet("Settings", "CheckedUpdate"), QString());
        QVERIFY(!filesInFolder().contains("version.txt"));
        if (mode == "manual") {
            QVERIFY(f.isVisible());
        } else {
            // A hidden check that failed ends instead of waiting for ever.
            QCOMPARE(shows, 0);
            QVERIFY(!f.isLoaded());
        }
    }

    void silentServerTimesOut()
    {
        server->routes["/beta/betaver.txt"] = {200, {}, -1, true};
        frmUpdate &f = makeForm("manual");
        f.Timer1->setInterval(1);
        f.Load();
        QCOMPARE(f.Label3->text(), QString("Connection Timed Out"));
        QCOMPARE(f.Label2->text(),
                 QString("The time limit to make a connection to the web server has expired.  "
                         "Please check your connection and try again."));
        QVERIFY(f.cmdDownload->isHidden());
        QCOMPARE(f.cmdExit->text(), QString("&Close"));
        QVERIFY(CancelRequest);
        QVERIFY(f.WaitTicks >= 60);
        QVERIFY(!f.Timer1->isActive());
        QVERIFY(f.isLoaded());
        f.cmdExit->click();
        QVERIFY(!f.isLoaded());
    }

    void closingDuringTheVersionRequestEndsTheCheck()
    {
        server->routes["/beta/betaver.txt"] = {200, {}, -1, true};
        frmUpdate &f = makeForm("manual");
        QTimer::singleShot(100, &f, [&f] { f.close(); });
        f.Load();
        QVERIFY(!f.isLoaded());
        QVERIFY(!f.isVisible());
        QCOMPARE(GetSet("Settings", "ChkType"), QString("manual"));
        QCOMPARE(GetSet("Settings", "CheckedUpdate"), QString());
    }

    void weeklyCheckSettings()
    {
        SaveSet("Settings", "ChkUpdtsDay", "0");
        SaveSet("Settings", "ChkUpdtsTime", "07");
        SaveSet("Settings", "ChkForUpdts", "1");
        serveVersion("170.1050,40");
        frmUpdate &f = makeForm("manual");
        f.timeText = [] { return QString("20:15"); };
        f.Load();
        // Day 0 (the dashes) becomes Sunday; both lists store their index.
        QCOMPARE(f.Combo1->currentIndex(), 1);
        QCOMPARE(GetSet("Settings", "ChkUpdtsDay"), QString("1"));
        QCOMPARE(f.Combo2->count(), 24);
        QCOMPARE(f.Combo2->currentText(), QString("7:00"));
        QCOMPARE(GetSet("Settings", "ChkUpdtsTime"), QString("7"));
        QVERIFY(f.chkAutoUpdate->isChecked());
        QVERIFY(f.Combo1->isEnabled() && f.Combo2->isEnabled() && f.Label4->isEnabled());

        f.Combo1->setCurrentIndex(4);
        emit f.Combo1->activated(4);
        QCOMPARE(GetSet("Settings", "ChkUpdtsDay"), QString("4"));
        f.Combo2->setCurrentIndex(23);
        emit f.Combo2->activated(23);
        QCOMPARE(GetSet("Settings", "ChkUpdtsTime"), QString("23"));
        f.chkAutoUpdate->click();
        QCOMPARE(GetSet("Settings", "ChkForUpdts"), QString("0"));
        QVERIFY(!f.Combo1->isEnabled() && !f.Combo2->isEnabled() && !f.Label5->isEnabled());
    }

    void storedChoicesOutOfRangeFallBackToNow()
    {
        SaveSet("Settings", "ChkUpdtsDay", "9");
        SaveSet("Settings", "ChkUpdtsTime", "x");
        SaveSet("Settings", "ChkForUpdts", "2");
        serveVersion("170.1050,40");
        frmUpdate &f = makeForm("manual");
        f.timeText = [] { return QString("8:15 pm"); };
        f.Load();
        const int today = QDate::currentDate().dayOfWeek() % 7 + 1;
        QCOMPARE(GetSet("Settings", "ChkUpdtsDay"), QString::number(today));
        QCOMPARE(f.Combo2->itemText(0), QString("12:00 AM"));
        QCOMPARE(f.Combo2->itemText(13), QString("1:00 PM"));
        QVERIFY(f.Combo2->currentIndex() >= 0 && f.Combo2->currentIndex() <= 23);
        QVERIFY(!f.chkAutoUpdate->isChecked());
        QVERIFY(!f.Combo1->isEnabled());
    }

    void hourLists()
    {
        const QStringList twelve = frmUpdate::HourList(true);
        QCOMPARE(twelve.size(), 24);
        QCOMPARE(twelve.first(), QString("12:00 AM"));
        QCOMPARE(twelve[11], QString("11:00 AM"));
        QCOMPARE(twelve[12], QString("12:00 PM"));
        QCOMPARE(twelve.last(), QString("11:00 PM"));
        const QStringList day = frmUpdate::HourList(false);
        QCOMPARE(day.first(), QString("0:00"));
        QCOMPARE(day.last(), QString("23:00"));
        QVERIFY(frmUpdate::TwelveHourTime("8:15 PM"));
        QVERIFY(frmUpdate::TwelveHourTime("8:15 am "));
        QVERIFY(!frmUpdate::TwelveHourTime("20:15"));
        QVERIFY(!frmUpdate::TwelveHourTime(""));
    }

    void completeDownloadIsStoredWholeAndStarted()
    {
        serveVersion("170.1051,3");
        const QByteArray body = payload(2500);
        server->routes["/beta/Upgrade%20Qelt.exe"] = {200, body};
        QFile old(installer());
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("an older installer");
        old.close();

        frmUpdate &f = makeForm("manual");
        f.Load();
        f.cmdDownload->click();
        QCOMPARE(started, QStringList{installer()});
        QFile got(installer());
        QVERIFY(got.open(QIODevice::ReadOnly));
        QCOMPARE(got.readAll(), body);
        QVERIFY(got.permissions() & QFile::ExeOwner);
        QCOMPARE(f.ProgressBar1->value(), 3);
        QVERIFY(f.ProgressBar1->isHidden());
        QVERIFY(f.cmdDownload->isHidden());
        QCOMPARE(f.cmdExit->text(), QString("&Close"));
        QCOMPARE(f.Label3->text().remove(QChar(0x200B)),
                 "If the installer does not automatically start, please browse to \r\n" + folder() +
                     "\r\n and double click 'Upgrade'.");
        QVERIFY(!f.Label3->font().bold());
        QVERIFY(!(f.windowFlags() & Qt::WindowStaysOnTopHint));
        // Ten seconds later (on the fake clock) the manual start is offered.
        QVERIFY(!f.cmdRetry->isHidden());
        QCOMPARE(f.cmdRetry->text(), QString("Retry Installer Manually"));
        f.cmdRetry->click();
        QCOMPARE(started.size(), 2);
        QCOMPARE(filesInFolder(), QStringList{"Upgrade"});
    }

    void cancelledDownloadLeavesNothing()
    {
        serveVersion("170.1051,200");
        server->routes["/beta/Upgrade%20Qelt.exe"] = {200, payload(200 * 1024), 5000};
        frmUpdate &f = makeForm("manual");
        f.Load();
        bool pressed = false;
        clock->onProcessEvents = [&] {
            if (!pressed && f.ProgressBar1->value() >= 2 && f.cmdExit->text() == "&Cancel") {
                pressed = true;
                f.cmdExit->click();
            }
        };
        f.cmdDownload->click();
        QVERIFY(pressed);
        QCOMPARE(f.Label3->text(), QString("Download Canceled"));
        QCOMPARE(f.Label2->text(), QString());
        QCOMPARE(f.cmdExit->text(), QString("&Close"));
        QVERIFY(f.cmdDownload->isHidden());
        QVERIFY(f.cmdRetry->isHidden());
        QVERIFY(started.isEmpty());
        QCOMPARE(filesInFolder(), QStringList());
        // No further transfer in this run.
        QVERIFY(CancelRequest);
        // The transfer is over: the pointer no longer shows the hourglass.
        f.setCursor(Qt::WaitCursor);
        QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), f.mapToGlobal(QPointF(5, 5)),
                         Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&f, &move);
        QCOMPARE(f.cursor().shape(), Qt::ArrowCursor);
    }

    void installerThatCannotBeWrittenIsAPathError()
    {
        serveVersion("170.1051,3");
        server->routes["/beta/Upgrade%20Qelt.exe"] = {200, payload(2500)};
        // A folder in the installer's place: the download arrives whole but
        // cannot be stored.
        QVERIFY(QDir(folder()).mkdir("Upgrade"));
        frmUpdate &f = makeForm("manual");
        f.Load();
        f.cmdDownload->click();
        QDir(installer()).removeRecursively();
        QCOMPARE(f.Label3->text().remove(QChar(0x200B)),
                 "Path error.  Please try searching for the file 'Upgrade' in " + folder() +
                     " manually, or try downloading it again later.");
        QVERIFY(!f.Label3->font().bold());
        QCOMPARE(f.Label2->text(), QString());
        QCOMPARE(f.cmdExit->text(), QString("&Close"));
        QVERIFY(f.cmdDownload->isHidden());
        QVERIFY(f.cmdRetry->isHidden());
        QVERIFY(started.isEmpty());
    }

    void failedDownloadIsNotStartedAndMayBeRetried_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("why");
        const QString general =
            "An error has occured with the internet connection, or the path "
            "to Brindlecast was not found.  Please try downloading again later.";
        const QString nothing = "  Nothing was saved or started.";
        QTest::newRow("404") << "404" << general;
        QTest::newRow("server gone") << "server gone" << general;
        QTest::newRow("cut off") << "cut off"
                                 << "The download ended before the whole file had arrived." +
                                        nothing;
        QTest::newRow("html page")
            << "html page"
            << "The file received is not an installer for this system." + nothing;
        QTest::newRow("other system's program")
            << "other system"
            << "The file received is not an installer for this system." + nothing;
        QTest::newRow("empty") << "empty"
                               << "The update server sent an empty file." + nothing;
        QTest::newRow("bogus chunks") << "bogus chunks"
                                      << "The update server's reply was not well formed." + nothing;
        QTest::newRow("redirect elsewhere")
            << "redirect elsewhere"
            << "The update server sent the request on to another address, which was not "
               "followed." +
                   nothing;
        QTest::newRow("too large")
            << "too large"
            << "The update server sent more than 64 KB, far more than expected." + nothing;
        QTest::newRow("too large, undeclared")
            << "too large, undeclared"
            << "The update server sent more than 64 KB, far more than expected." + nothing;
        QTest::newRow("stalled") << "stalled"
                                 << "The download made no progress for 0.2 seconds." + nothing;
        QTest::newRow("trickling") << "trickling"
                                   << "The download made no progress for 0.2 seconds." + nothing;
    }

    void failedDownloadIsNotStartedAndMayBeRetried()
    {
        QFETCH(QString, how);
        QFETCH(QString, why);
        serveVersion("170.1051,20");
        LocalHttpServer elsewhere;
        elsewhere.routes["/evil"] = {200, payload(3000)};
        LocalHttpServer::Route route;
        if (how == "cut off")
            route = {200, payload(20000), 6000, false, true};
        else if (how == "html page")
            route = {200, "<html><body>Download our new version!</body></html>"};
        else if (how == "other system")
            route = {200, "MZ\x90\0\3\0\0\0" + QByteArray(3000, 'x')};
        else if (how == "empty")
            route = {200, {}};
        else if (how == "bogus chunks")
            route.raw = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nzz\r\n" +
                        payload(3000) + "\r\n0\r\n\r\n";
        else if (how == "redirect elsewhere")
            route = {302,   {},    -1,
                     false, false, {"Location: " + elsewhere.baseUrl().toLatin1() + "/evil"}};
        else if (how == "too large")
            route = {200, payload(64), -1, false, false, {}, {}, 8 * 1024 * 1024};
        else if (how == "too large, undeclared")
            route.raw = "HTTP/1.1 200 OK\r\n\r\n" + payload(100 * 1024);
        else if (how == "stalled")
            route = {200, payload(20000), 1500};
        else if (how == "trickling")
            route = {200, payload(20000), 1024, false, false, {}, {}, -1, 10};
        if (how != "404" && how != "server gone")
            server->routes["/beta/Upgrade%20Qelt.exe"] = route;
        frmUpdate &f = makeForm("manual");
        f.maxInstallerBytes = 64 * 1024;
        f.downloadStallMs = 200;
        f.Load();
        if (how == "server gone")
            server->close();
        f.cmdDownload->click();
        QCOMPARE(f.Label3->text(), QString("Error"));
        QCOMPARE(f.Label2->text(), why);
        QCOMPARE(f.cmdExit->text(), QString("&Close"));
        QVERIFY(f.cmdExit->isEnabled());
        QVERIFY(!f.cmdDownload->isHidden());
        QVERIFY(f.cmdRetry->isHidden());
        QVERIFY(f.ProgressBar1->isHidden());
        QVERIFY(started.isEmpty());
        QCOMPARE(filesInFolder(), QStringList());
        QVERIFY(elsewhere.requests.isEmpty());
    }

    // A server in another process sends as fast as the connection takes the
    // bytes, with a declared length or in chunks: every installer arrives
    // whole and is started, and it goes to its file as it arrives (memory
    // stays small however large it is).
    void realSizeInstallersArriveWholeAndAreStarted_data()
    {
        QTest::addColumn<qint64>("size");
        QTest::addColumn<QString>("framing");
        for (const qint64 mib : {2, 20, 100}) {
            for (const char *framing : {"length", "chunked"})
                QTest::newRow(qPrintable(QString("%1 MiB, %2").arg(mib).arg(framing)))
                    << mib * 1024 * 1024 << QString(framing);
        }
    }

    void realSizeInstallersArriveWholeAndAreStarted()
    {
        QFETCH(qint64, size);
        QFETCH(QString, framing);
        ScriptPeer peer;
        QVERIFY2(
            peer.start({"serve", "--version", "170.1051," + QString::number(size / 1024), "--size",
                        QString::number(size), "--framing", framing, "--head", headFile()}),
            qPrintable(peer.error()));
        qputenv("QELT_UPDATE_URL", QString("http://127.0.0.1:%1").arg(peer.port()).toUtf8());
        frmUpdate &f = makeForm("manual");
        f.Load();
        QCOMPARE(f.Label3->text(), QString("Update Available"));
        QVERIFY(test::ResetPeakMemory());
        const qint64 before = test::ResidentMemoryKiB();
        QElapsedTimer took;
        took.start();
        QTest::mouseClick(f.cmdDownload, Qt::LeftButton);
        const qint64 grown = test::PeakMemoryKiB() - before;
        qInfo("%lld bytes, %s: %s in %lld ms, peak memory %lld KiB above the start", size,
              qPrintable(framing), started.isEmpty() ? "failed" : "arrived", took.elapsed(), grown);
        QCOMPARE(f.Label2->text(), QString());
        QCOMPARE(started, QStringList{installer()});
        QCOMPARE(QFileInfo(installer()).size(), size);
        QCOMPARE(peer.waitForLine("sent "),
                 QString("sent %1 %2").arg(size).arg(ScriptPeer::Sha256Of(installer())));
        if (test::kPeakMemoryMeaningful) {
            QVERIFY2(grown < 16 * 1024, qPrintable(QString("grew by %1 KiB").arg(grown)));
        }
    }

    // A body that does not end as its framing says is no installer, however
    // well it started.
    void bodyNotEndingAsItsFramingSaysIsNeitherKeptNorStarted_data()
    {
        QTest::addColumn<QString>("framing");
        QTest::addColumn<QString>("why");
        QTest::newRow("garbage chunk size after a valid head")
            << "garbage"
            << "The update server's reply was not well formed.";
        QTest::newRow("cut inside a chunk")
            << "cut"
            << "The download ended before the whole file had arrived.";
        QTest::newRow("no terminating chunk")
            << "unended"
            << "The download ended before the whole file had arrived.";
    }

    void bodyNotEndingAsItsFramingSaysIsNeitherKeptNorStarted()
    {
        QFETCH(QString, framing);
        QFETCH(QString, why);
        ScriptPeer peer;
        QVERIFY2(peer.start({"serve", "--version", "170.1051,300", "--size", "300000", "--framing",
                             framing, "--head", headFile()}),
                 qPrintable(peer.error()));
        qputenv("QELT_UPDATE_URL", QString("http://127.0.0.1:%1").arg(peer.port()).toUtf8());
        frmUpdate &f = makeForm("manual");
        f.Load();
        QTest::mouseClick(f.cmdDownload, Qt::LeftButton);
        QCOMPARE(f.Label3->text(), QString("Error"));
        QCOMPARE(f.Label2->text(), why + "  Nothing was saved or started.");
        QVERIFY(started.isEmpty());
        QCOMPARE(filesInFolder(), QStringList());
        QVERIFY(!f.cmdDownload->isHidden());
    }

    // Over https the download works as over the loopback's plain http, and
    // a server whose certificate cannot be verified is not used at all.
    void httpsServerIsUsedOnlyWithAValidCertificate()
    {
        const QSslConfiguration defaults = QSslConfiguration::defaultConfiguration();
        server->useTls(QSslCertificate(QByteArray(kTestCertificatePem)),
                       QSslKey(QByteArray(kTestPrivateKeyPem), QSsl::Rsa));
        qputenv("QELT_UPDATE_URL", server->baseUrl().toUtf8());
        serveVersion("170.1051,3");
        server->routes["/beta/Upgrade%20Qelt.exe"] = {200, payload(2500)};
        {
            frmUpdate &f = makeForm("manual");
            f.Load();
            QCOMPARE(f.Label3->text(), QString("Error connecting to web site"));
            QCOMPARE(f.Label2->text(),
                     QString("The secure connection to the update server could not be verified.  "
                             "Please check your connection and try again"));
        }
        QSslConfiguration trusted = defaults;
        trusted.addCaCertificate(QSslCertificate(QByteArray(kTestCertificatePem)));
        QSslConfiguration::setDefaultConfiguration(trusted);
        frmUpdate &f = makeForm("manual");
        f.Load();
        QCOMPARE(f.Label3->text(), QString("Update Available"));
        f.cmdDownload->click();
        QSslConfiguration::setDefaultConfiguration(defaults);
        QCOMPARE(started, QStringList{installer()});
    }

    void badVersionRepliesAreNotStored_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("why");
        QTest::newRow("oversized") << "oversized"
                                   << "The update server sent more than 64 KB, far more than "
                                      "expected.";
        QTest::newRow("redirect elsewhere")
            << "redirect elsewhere"
            << "The update server sent the request on to another address, which was not followed.";
        QTest::newRow("plain http elsewhere") << "plain http elsewhere"
                                              << "There seems to be a problem with your connection "
                                                 "to the internet, or the web site.";
    }

    void badVersionRepliesAreNotStored()
    {
        QFETCH(QString, how);
        QFETCH(QString, why);
        LocalHttpServer elsewhere;
        elsewhere.routes["/beta/betaver.txt"] = {200, "999.1,1"};
        if (how == "oversized")
            server->routes["/beta/betaver.txt"] = {200,   "999.1,1,\"", -1, false,
                                                   false, {},           {}, 200 * 1024 * 1024};
        else if (how == "redirect elsewhere")
            server->routes["/beta/betaver.txt"] = {
                302,   {},
                -1,    false,
                false, {"Location: " + elsewhere.baseUrl().toLatin1() + "/beta/betaver.txt"}};
        else
            qputenv("QELT_UPDATE_URL", "http://192.0.2.1:9");
        frmUpdate &f = makeForm("manual");
        QFile::remove(folder() + "/version.txt");
        f.Load();
        QCOMPARE(f.Label3->text(), QString("Error connecting to web site"));
        QCOMPARE(f.Label2->text(), why + "  Please check your connection and try again");
        QVERIFY(f.cmdDownload->isHidden());
        QVERIFY(!filesInFolder().contains("version.txt"));
        QVERIFY(elsewhere.requests.isEmpty());
        QVERIFY(server->bodyBytesSent < 32 * 1024 * 1024);
    }

    void escapeClosesTheWindow()
    {
        serveVersion("170.1050,1");
        frmUpdate &f = makeForm("manual");
        QSignalSpy unloaded(&f, &frmUpdate::unloaded);
        f.Load();
        SaveSet("Settings", "ChkType", "autocheck");
        QTest::keyClick(&f, Qt::Key_Escape);
        QCOMPARE(unloaded.size(), 1);
        QCOMPARE(GetSet("Settings", "ChkType"), QString("manual"));
    }
};

QELT_TEST_MAIN(TestFrmUpdate)
#include "tst_frmUpdate.moc"
