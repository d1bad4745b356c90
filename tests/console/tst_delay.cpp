#include "console/frmDelay.h"

#include "core/Dialogs.h"
#include "logic/Globals.h"
#include "tests/support/Bounds.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TestEnv.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

using namespace qelt;

class DelayDialogTest : public QObject {
    Q_OBJECT

private:
    test::ScriptedDialogs dialogs;
    frmDelay *dlg = nullptr;

    QString Continue(const QString &min, const QString &sec)
    {
        dlg->txtMin->setText(min);
        dlg->txtSec->setText(sec);
        dlg->cmdContinue->click();
        return dlg->delayTime();
    }

private slots:
    void initTestCase()
    {
        SoundsOn = false;
        SetDialogProvider(&dialogs);
        dlg = &DelayDialog();
    }
    void init()
    {
        dialogs.messages.clear();
        dlg->show();
        QVERIFY(QTest::qWaitForWindowExposed(dlg, test::kFirstWindowMs));
    }
    void cleanupTestCase() { SetDialogProvider(nullptr); }

    void totalsFromBothBoxes_data()
    {
        QTest::addColumn<QString>("min");
        QTest::addColumn<QString>("sec");
        QTest::addColumn<QString>("result");
        QTest::newRow("2 min 30 s") << "2"
                                    << "30"
                                    << "150";
        QTest::newRow("both empty") << ""
                                    << ""
                                    << "0";
        QTest::newRow("longest entries") << "999"
                                         << "999"
                                         << "60939";
        QTest::newRow("2.5 s rounds to even") << ""
                                              << "2.5"
                                              << "2";
        QTest::newRow("1.5 s rounds to even") << ""
                                              << "1.5"
                                              << "2";
        QTest::newRow("3.5 s rounds to even") << "0"
                                              << "3.5"
                                              << "4";
        QTest::newRow("seconds only") << ""
                                      << "45"
                                      << "45";
    }
    void totalsFromBothBoxes()
    {
        QFETCH(QString, min);
        QFETCH(QString, sec);
        QFETCH(QString, result);
        QCOMPARE(Continue(min, sec), result);
        QVERIFY(!dlg->isVisible());
        QVERIFY(dialogs.messages.isEmpty());
    }

    void keyFiltersDropWhatIsNoNumber()
    {
        dlg->txtMin->clear();
        dlg->txtSec->clear();
        QTest::keyClicks(dlg->txtMin, "a1:-2x");
        QCOMPARE(dlg->txtMin->text(), QString("12"));
        QTest::keyClicks(dlg->txtSec, "1.,2.");
        QCOMPARE(dlg->txtSec->text(), QString("1.2"));
        dlg->txtSec->clear();
        QTest::keyClicks(dlg->txtSec, "-9.9");
        QCOMPARE(dlg->txtSec->text(), QString("9.9"));
        QTest::keyClicks(dlg->txtMin, "34");
        QCOMPARE(dlg->txtMin->text().size(), 3);
    }

    void tabMovesBetweenTheBoxes()
    {
        QApplication::setActiveWindow(dlg);
        dlg->txtMin->setFocus();
        QTRY_VERIFY_WITH_TIMEOUT(dlg->txtMin->hasFocus(), test::kStepMs);
        QTest::keyClick(dlg->txtMin, Qt::Key_Tab);
        QVERIFY(dlg->txtSec->hasFocus());
        QTest::keyClick(dlg->txtSec, Qt::Key_Backtab, Qt::ShiftModifier);
        QVERIFY(dlg->txtMin->hasFocus());
    }

    // Shortcuts edit the boxes whatever text the key carries ("a" or "\x01"
    // for Ctrl+A, by platform and keyboard layout).
    void editingShortcutsWorkInTheBoxes()
    {
        QApplication::setActiveWindow(dlg);
        dlg->txtMin->setText("12");
        dlg->txtMin->setFocus();
        QTRY_VERIFY_WITH_TIMEOUT(dlg->txtMin->hasFocus(), test::kStepMs);
        QTest::keyClick(dlg->txtMin, Qt::Key_End);
        QTest::keyClick(dlg->txtMin, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(dlg->txtMin, Qt::Key_C, Qt::ControlModifier);
        QTest::keyClicks(dlg->txtMin, "5");
        QCOMPARE(dlg->txtMin->text(), QString("5"));
        dlg->txtSec->clear();
        QTest::keyClick(dlg->txtSec, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(dlg->txtSec->text(), QString("12"));
        QTest::keyClick(dlg->txtSec, Qt::Key_Home);
        QTest::keyClicks(dlg->txtSec, "3");
        QCOMPARE(dlg->txtSec->text(), QString("312"));
        QKeyEvent selectAll(QEvent::KeyPress, Qt::Key_A, Qt::ControlModifier, "\x01");
        QApplication::sendEvent(dlg->txtSec, &selectAll);
        QCOMPARE(dlg->txtSec->selectedText(), QString("312"));
        QCOMPARE(Continue(dlg->txtMin->text(), dlg->txtSec->text()), QString("612"));
    }

    void enterContinuesAndEmptyMinutesCountAsNone()
    {
        QCOMPARE(Continue("2", ""), QString("120"));
        dlg->show();
        QVERIFY(QTest::qWaitForWindowExposed(dlg, test::kFirstWindowMs));
        dlg->txtMin->setFocus();
        dlg->txtMin->selectAll();
        QTest::keyClick(dlg->txtMin, Qt::Key_Backspace);
        QCOMPARE(dlg->txtMin->text(), QString());
        QTest::keyClick(dlg->txtMin, Qt::Key_Return);
        QVERIFY(!dlg->isVisible());
        QCOMPARE(dlg->delayTime(), QString("0"));
    }

    void cancelEmptiesTheResultButKeepsTheEntries()
    {
        QCOMPARE(Continue("1", "5"), QString("65"));
        dlg->show();
        QVERIFY(QTest::qWaitForWindowExposed(dlg, test::kFirstWindowMs));
        QTest::keyClick(dlg, Qt::Key_Escape);
        QVERIFY(!dlg->isVisible());
        QCOMPARE(dlg->delayTime(), QString());
        QCOMPARE(dlg->txtMin->text(), QString("1"));
        QCOMPARE(dlg->txtSec->text(), QString("5"));
        dlg->show();
        dlg->cmdContinue->click();
        QCOMPARE(dlg->delayTime(), QString("65"));
    }

    void pastedTextIsRefused()
    {
        QCOMPARE(Continue("", "7"), QString("7"));
        dlg->show();
        dlg->txtSec->setText("ab");
        QCOMPARE(dialogs.messages, QStringList{"You must enter a valid number"});
        QCOMPARE(dlg->txtSec->text(), QString());
        // Minutes that are no number keep the last minutes part.
        dlg->txtMin->setText("1");
        dlg->txtMin->setText("x");
        dlg->cmdContinue->click();
        QCOMPARE(dlg->delayTime(), QString("60"));
    }

    // The dialog may be the only window on the screen (the console in the
    // tray): closing it, with either answer, does not end the program. Run
    // inside the application's own loop, where a last window's close quits.
    void closingNeverEndsTheProgram()
    {
        QSignalSpy lastClosed(qApp, &QGuiApplication::lastWindowClosed);
        QTimer::singleShot(0, dlg, [this] {
            dlg->cmdContinue->click();
            dlg->show();
            QTest::keyClick(dlg, Qt::Key_Escape);
            QTimer::singleShot(20, qApp, [] { QCoreApplication::exit(0); });
        });
        QCoreApplication::exec();
        QCOMPARE(lastClosed.count(), 0);
    }

    // The dialog opens centred on its owner, at its laid-out size (not the
    // size of a dialog never shown before), and never past the screen edge.
    void opensOverItsOwnerAndOnTheScreen()
    {
        dlg->hide();
        QWidget owner;
        const QRect area = owner.screen()->availableGeometry();
        const auto placement = [&](const QRect &ownerRect) {
            owner.setGeometry(ownerRect);
            owner.show();
            dlg->resize(640, 480); // stale size, as before the first show
            QRect seen;
            QTimer::singleShot(0, dlg, [&] {
                seen = dlg->frameGeometry();
                dlg->cmdCancel->click();
            });
            ShowDelayDialog(&owner);
            return seen;
        };

        const QRect mid = placement(QRect(area.center() - QPoint(150, 150), QSize(300, 300)));
        QVERIFY(mid.width() < 400);
        QVERIFY((mid.center() - area.center()).manhattanLength() <= 4);

        const QRect corner = placement(QRect(area.topLeft() + QPoint(5, 5), QSize(60, 40)));
        QVERIFY(area.contains(corner));
        const QRect far = placement(QRect(area.bottomRight() - QPoint(40, 40), QSize(60, 40)));
        QVERIFY(area.contains(far));
        QCOMPARE(dlg->delayTime(), QString());
    }

    void captionsAndTitle()
    {
        QCOMPARE(dlg->windowTitle(), QString("Delay Time"));
        QCOMPARE(dlg->cmdContinue->text(), QString("Continue"));
        QVERIFY(dlg->cmdContinue->isDefault());
        QCOMPARE(dlg->lbl2->text(), QString("Press Esc to Cancel, Enter to continue."));
    }
};

QELT_TEST_MAIN(DelayDialogTest)
#include "tst_delay.moc"
