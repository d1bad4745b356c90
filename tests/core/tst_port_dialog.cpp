#include "core/Dialogs.h"
#include "core/EventControls.h"
#include "core/PortDialog.h"
#include "logic/DataFile.h"
#include "logic/ProgramFolder.h"
#include "logic/SerialLink.h"
#include "logic/Transmitter.h"
#include "tests/support/Bounds.h"
#include "tests/support/FakeMainWindow.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TestEnv.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>

#include <memory>

using namespace qelt;

namespace {

QString portMessage(const QString &port)
{
    return "\r\nUnable to initialize Com " + port + ".  It may\rbe in use by another application.";
}

} // namespace

class PortDialogTest : public QObject {
    Q_OBJECT

    std::unique_ptr<RecordingSerialLink> link;
    test::ScriptedDialogs log;

    // The main window's port, open on number port.
    void openLinkOn(const QString &port)
    {
        link->setCommPort(port);
        link->setSettings("1200,E,7,2");
        QVERIFY(link->setPortOpen(true) == PortError::None);
        link->openCount = 0;
    }

    void select(frmSetup &dlg, int option, const QString &typed = {})
    {
        dlg.optComm[option]->click();
        if (option == 0)
            dlg.txtCom->setText(typed);
    }

private slots:
    void initTestCase()
    {
        // Every port message waits on top, with the program's title and an OK button.
        log.onInfo = [](const QString &, bool bOnTop, bool bAlignLeft, const QString &sTitle,
                        const QString &sBtnName, bool bModal) {
            QVERIFY(bOnTop && !bAlignLeft && bModal);
            QCOMPARE(sTitle, QString("Orvendale"));
            QCOMPARE(sBtnName, QString("OK"));
        };
    }

    void init()
    {
        CloseDataFile();
        QFile::remove(InProgramFolder("db.zvd"));
        QVERIFY(OpenDataFile(InProgramFolder("db.zvd")));
        link = std::make_unique<RecordingSerialLink>();
        SetCommLink(link.get());
        SetDialogProvider(&log);
        log.messages.clear();
    }

    void cleanup()
    {
        UnloadPortDialog();
        SetDialogProvider(nullptr);
        SetCommLink(nullptr);
    }

    void loadShowsTheCurrentPort_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("linkPort");
        QTest::addColumn<int>("option");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("status");
        QTest::newRow("nothing stored, link on 1") << ""
                                                   << "1" << 1 << ""
                                                   << "Currently set to Com Port 1";
        QTest::newRow("stored 3") << "3"
                                  << "1" << 3 << ""
                                  << "Currently set to Com Port 3";
        QTest::newRow("stored 7 shows as other") << "7"
                                                 << "1" << 0 << "7"
                                                 << "Currently set to Com Port 7";
        QTest::newRow("stored device path") << "/dev/ttyUSB0"
                                            << "1" << 0 << "/dev/ttyUSB0"
                                            << "Currently set to Com Port /dev/ttyUSB0";
        QTest::newRow("nothing anywhere") << ""
                                          << "" << 0 << ""
                                          << "Com port is not set!";
    }

    void loadShowsTheCurrentPort()
    {
        QFETCH(QString, stored);
        QFETCH(QString, linkPort);
        QFETCH(int, option);
        QFETCH(QString, box);
        QFETCH(QString, status);
        if (!stored.isEmpty())
            QVERIFY(PutRec(kPortRecord, stored));
        link->setCommPort(linkPort);
        frmSetup &dlg = PortSetup();
        QCOMPARE(dlg.selectedOption(), option);
        QCOMPARE(dlg.txtCom->isEnabled(), option == 0);
        QCOMPARE(dlg.txtCom->text(), box);
        QCOMPARE(dlg.lblCommNow->text(), status);
        QVERIFY(!dlg.cmdApply->isEnabled());
        QCOMPARE(dlg.windowTitle(), QString("  Port Setup"));
    }

    void applyReopensTheLinkAndStores_data()
    {
        QTest::addColumn<int>("option");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("port");
        QTest::newRow("Com 3") << 3 << ""
                               << "3";
        QTest::newRow("other, empty box keeps the port") << 0 << ""
                                                         << "1";
        QTest::newRow("other, typed number") << 0 << "12"
                                             << "12";
        QTest::newRow("other, device path") << 0 << "/dev/ttyUSB0"
                                            << "/dev/ttyUSB0";
    }

    void applyReopensTheLinkAndStores()
    {
        QFETCH(int, option);
        QFETCH(QString, typed);
        QFETCH(QString, port);
        openLinkOn("1");
        frmSetup &dlg = PortSetup();
        select(dlg, option, typed);
        if (option != 1) // choosing the option already shown changes nothing
            QVERIFY(dlg.cmdApply->isEnabled());
        QVERIFY(dlg.cmdApply_Click());
        QCOMPARE(link->commPort(), port);
        QCOMPARE(link->settings(), QString("9600,N,8,1"));
        QVERIFY(link->portOpen());
        QCOMPARE(link->openCount, 1);
        QVERIFY(!dlg.cmdApply->isEnabled());
        QCOMPARE(GetRec(kPortRecord), port);
        QCOMPARE(dlg.lblCommNow->text(), "Currently set to Com Port " + port);
        if (option == 0)
            QCOMPARE(dlg.txtCom->text(), port);
        QVERIFY(log.messages.isEmpty());
    }

    // A failed Apply says so, stores nothing, keeps Apply enabled and leaves
    // the console on the port that worked.
    void failedApplyKeepsTheWorkingPort_data()
    {
        QTest::addColumn<int>("option");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("opens");
        QTest::newRow("letters are refused before the port is closed") << 0 << "abc"
                                                                       << "abc" << 0;
        QTest::newRow("zero names no port") << 0 << "0"
                                            << "0" << 0;
        QTest::newRow("busy port, previous reopened") << 2 << ""
                                                      << "2" << 1;
        QTest::newRow("missing port, previous reopened") << 4 << ""
                                                         << "4" << 1;
    }

    void failedApplyKeepsTheWorkingPort()
    {
        QFETCH(int, option);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QFETCH(int, opens);
        link->busyPorts << "2";
        link->missingPorts << "4";
        QVERIFY(PutRec(kPortRecord, "1"));
        openLinkOn("1");
        frmSetup &dlg = PortSetup();
        select(dlg, option, typed);
        QVERIFY(!dlg.cmdApply_Click());
        QCOMPARE(log.messages, QStringList{portMessage(shown)});
        QCOMPARE(GetRec(kPortRecord), QString("1"));
        QVERIFY(dlg.cmdApply->isEnabled());
        QVERIFY(link->portOpen());
        QCOMPARE(link->commPort(), QString("1"));
        QCOMPARE(link->settings(), QString("1200,E,7,2"));
        QCOMPARE(link->openCount, opens);
    }

    void okStoresAValidChoiceEvenWhenBusy_data()
    {
        QTest::addColumn<int>("option");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("messages");
        QTest::newRow("free port") << 3 << ""
                                   << "3" << 0;
        QTest::newRow("busy port is still stored") << 2 << ""
                                                   << "2" << 1;
        QTest::newRow("letters are never stored") << 0 << "abc"
                                                  << "1" << 1;
    }

    void okStoresAValidChoiceEvenWhenBusy()
    {
        QFETCH(int, option);
        QFETCH(QString, typed);
        QFETCH(QString, stored);
        QFETCH(int, messages);
        link->busyPorts << "2";
        QVERIFY(PutRec(kPortRecord, "1"));
        openLinkOn("1");
        ShowPortDialog();
        frmSetup &dlg = PortSetup();
        QVERIFY(dlg.isVisible());
        select(dlg, option, typed);
        dlg.cmdOK->click();
        QCOMPARE(GetRec(kPortRecord), stored);
        QCOMPARE(log.messages.size(), messages);
        QVERIFY(!dlg.isVisible());
        QVERIFY(PortSetupIfLoaded() == nullptr);
        QVERIFY(link->portOpen());
    }

    // Tool tips follow the main window's switch; Cancel says "Close" while
    // there is nothing to lose.
    void toolTipsFollowTheMainWindowSwitch()
    {
        test::FakeMainWindow main;
        SetMainWindow(&main);
        frmSetup &dlg = PortSetup();
        auto tipOf = [](QWidget *w) {
            QEvent enter(QEvent::Enter);
            QCoreApplication::sendEvent(w, &enter);
            return w->toolTip();
        };
        main.tips = true;
        QCOMPARE(tipOf(dlg.cmdCancel), QString(" Close "));
        QCOMPARE(tipOf(dlg.cmdOK), QString(" Save changes and close window "));
        dlg.optComm[3]->click();
        QCOMPARE(tipOf(dlg.cmdCancel), QString(" Quit without saving "));
        main.tips = false;
        QCOMPARE(tipOf(dlg.cmdCancel), QString());
        QCOMPARE(tipOf(dlg.lblCommNow), QString());
        SetMainWindow(nullptr);
    }

    // The dialog opens beside the main window where the screen has room,
    // so the command buttons stay free for trying the port; always on the
    // screen.
    void opensBesideTheMainWindow()
    {
        openLinkOn("1");
        QWidget main;
        const QRect desk = main.screen()->availableGeometry();
        const auto placed = [&](const QRect &mainRect) {
            main.setGeometry(mainRect);
            main.show();
            ShowPortDialog(&main);
            const QRect at = PortSetup().frameGeometry();
            PortSetup().cmdCancel->click();
            return at;
        };
        const QSize mainSize(280, 360);
        QRect at = placed(QRect(desk.topLeft() + QPoint(30, 30), mainSize));
        QVERIFY(!at.intersects(main.frameGeometry()));
        QVERIFY(at.left() > main.frameGeometry().right());
        QVERIFY(desk.contains(at));

        at = placed(QRect(desk.topRight() + QPoint(-40 - mainSize.width(), 30), mainSize));
        QVERIFY(!at.intersects(main.frameGeometry()));
        QVERIFY(at.right() < main.frameGeometry().left());
        QVERIFY(desk.contains(at));

        at = placed(desk.adjusted(10, 10, -10, -10)); // no room on either side
        QVERIFY(desk.contains(at));
        QVERIFY((at.center() - main.frameGeometry().center()).manhattanLength() <= 8);
        PortSetup().setParent(nullptr); // outlives the window of this test
    }

    // A port named by a device path of 240 characters: the dialog keeps its
    // width on the screen; the path is cut in the middle, whole in the tip.
    void longDevicePathKeepsTheDialogWidth()
    {
        openLinkOn("1");
        ShowPortDialog();
        const int width = PortSetup().width();
        PortSetup().cmdCancel->click();
        UnloadPortDialog();

        const QString path = "/dev/serial/by-id/" + QString(222, u'x');
        QCOMPARE(path.size(), 240);
        link->setCommPort(path);
        ShowPortDialog();
        frmSetup &dlg = PortSetup();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg, test::kFirstWindowMs));
        QCOMPARE(dlg.lblCommNow->text(), "Currently set to Com Port " + path);
        QCOMPARE(dlg.width(), width);
        QVERIFY(dlg.screen()->availableGeometry().contains(dlg.frameGeometry()));
        auto *status = dynamic_cast<EventLabel *>(dlg.lblCommNow);
        QVERIFY(status);
        QVERIFY(status->shownText().startsWith("Currently set"));
        QVERIFY(status->shownText().endsWith("xxx"));
        QVERIFY(status->shownText().contains(QChar(0x2026)));
        dlg.cmdCancel->click();
    }

    void cancelAfterApplyKeepsTheNewPort()
    {
        openLinkOn("1");
        ShowPortDialog();
        frmSetup &dlg = PortSetup();
        select(dlg, 3);
        dlg.cmdApply->click();
        select(dlg, 4); // not applied
        dlg.cmdCancel->click();
        QVERIFY(!dlg.isVisible());
        QCOMPARE(link->commPort(), QString("3"));
        QVERIFY(link->portOpen());
        QCOMPARE(GetRec(kPortRecord), QString("3"));
        // Shown again, the dialog loads afresh from the stored choice.
        QCOMPARE(PortSetup().selectedOption(), 3);
        QVERIFY(!PortSetup().cmdApply->isEnabled());
    }

    // Enter presses the focused button, as Space does; in the number box it
    // presses none.
    void enterPressesTheFocusedButton()
    {
        openLinkOn("1");
        ShowPortDialog();
        frmSetup &dlg = PortSetup();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg, test::kFirstWindowMs));
        dlg.activateWindow();
        select(dlg, 0, "3");
        dlg.txtCom->setFocus();
        QTest::keyClick(dlg.txtCom, Qt::Key_Return);
        QVERIFY(dlg.isVisible());
        QCOMPARE(link->commPort(), QString("1"));

        dlg.cmdApply->setFocus();
        QTest::keyClick(dlg.cmdApply, Qt::Key_Return);
        QCOMPARE(link->commPort(), QString("3"));
        QCOMPARE(GetRec(kPortRecord), QString("3"));
        QVERIFY(dlg.isVisible());

        dlg.cmdCancel->setFocus();
        QTest::keyClick(dlg.cmdCancel, Qt::Key_Enter, Qt::KeypadModifier);
        QVERIFY(!dlg.isVisible());
    }
};

QELT_TEST_MAIN(PortDialogTest)
#include "tst_port_dialog.moc"
