#include "macros/frmMDelay.h"

#include "logic/Globals.h"
#include "logic/MacroValidation.h"
#include "logic/ProgramFolder.h"
#include "logic/X10Codes.h"
#include "macros/InstallMacroWindows.h"
#include "macros/frmMcrSetup.h"
#include "tests/support/Bounds.h"
#include "tests/support/FakeMainWindow.h"
#include "tests/support/FileBytes.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TestEnv.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>

using namespace qelt;

// The pause dialog and the editor's pause cell driven with real keys. The
// dialog is opened as the user opens it: a double click on the quick-edit
// pause box of the editor, which takes the chosen pause.
class PauseKeysTest : public QObject {
    Q_OBJECT

private:
    test::InstalledDialogs dialogs;
    test::FakeMainWindow main;
    frmMcrSetup *w = nullptr;
    frmMDelay *d = nullptr;

    // Double-clicks the pause box and runs keys on the dialog while it is
    // shown modally; a dialog still open afterwards is cancelled (and the
    // test fails) so that the modal wait ends.
    bool askThroughPauseBox(const std::function<void()> &keys)
    {
        bool closedByKeys = false;
        QTimer::singleShot(0, d, [&] {
            if (QTest::qWaitForWindowActive(d, test::kStepMs))
                keys();
            closedByKeys = !d->isVisible();
            if (d->isVisible())
                d->Command1->click();
        });
        QTest::mouseDClick(w->txtPause, Qt::LeftButton);
        // The window system gives the focus back to the editor once the
        // dialog has gone; the headless one leaves it on the hidden dialog.
        w->activateWindow();
        return closedByKeys;
    }

private slots:
    void initTestCase()
    {
        SetMainWindow(&main);
        InstallMacroWindows();
        w = McrSetupWindow();
        w->showPage(0);
        QVERIFY(QTest::qWaitForWindowExposed(w, test::kFirstWindowMs));
        w->lblLid_Click(); // opens the quick-edit panel
        d = MDelayWindow();
    }

    void init()
    {
        d->hide();
        d->txtMin->setText("50");
        d->txtSec->setText("00");
        w->txtPause->setText("0005");
    }

    // Ctrl+A selects, Tab leaves the minutes box and so cuts 200 to 166
    // there, Enter in the seconds box continues: the caller gets 166 min 30 s.
    void tabAndSelectAllReachTheFocusLossRule()
    {
        QStringList seen;
        const bool closed = askThroughPauseBox([&] {
            QTRY_VERIFY_WITH_TIMEOUT(d->txtMin->hasFocus(), test::kStepMs);
            QTest::keyClick(d->txtMin, Qt::Key_End);
            QTest::keyClick(d->txtMin, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(d->txtMin, "200");
            seen << d->txtMin->text();
            QTest::keyClick(d->txtMin, Qt::Key_Tab);
            seen << d->txtMin->text() << (d->txtMin->hasFocus() ? "kept" : "left");
            QTest::keyClick(d->txtMin, Qt::Key_Tab);
            seen << (d->txtSec->hasFocus() ? "seconds" : "elsewhere");
            QTest::keyClick(d->txtSec, Qt::Key_End);
            QTest::keyClick(d->txtSec, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(d->txtSec, "30");
            QTest::keyClick(d->txtSec, Qt::Key_Return);
        });
        QCOMPARE(seen, (QStringList{"200", "166", "kept", "seconds"}));
        QVERIFY(closed);
        QCOMPARE(w->txtPause->text(), QString("9990"));
    }

    // Esc cancels, as the Cancel button's tip says: no pause is handed back
    // and the pause box keeps its own.
    void escapeCancels()
    {
        const bool closed = askThroughPauseBox([&] {
            QTRY_VERIFY_WITH_TIMEOUT(d->txtMin->hasFocus(), test::kStepMs);
            QTest::keyClicks(d->txtMin, "7");
            QTest::keyClick(d->txtMin, Qt::Key_Escape);
        });
        QVERIFY(closed);
        QCOMPARE(w->txtPause->text(), QString("0005"));
        // From the seconds box too.
        const bool closedFromSeconds = askThroughPauseBox([&] {
            d->txtSec->setFocus();
            QTRY_VERIFY_WITH_TIMEOUT(d->txtSec->hasFocus(), test::kStepMs);
            QTest::keyClick(d->txtSec, Qt::Key_Escape);
        });
        QVERIFY(closedFromSeconds);
        QCOMPARE(w->txtPause->text(), QString("0005"));
    }

    // Shift+Tab leaves the seconds box (which cuts 50 to 39 at 166 minutes);
    // cursor keys, Home/End and the clipboard keys edit as in any box; what
    // is pasted keeps to the characters the boxes take.
    void editingKeysWorkAsInAnyBox()
    {
        d->show();
        QVERIFY(QTest::qWaitForWindowActive(d, test::kFirstWindowMs));
        d->txtMin->setText("166");
        d->txtSec->setFocus();
        QTRY_VERIFY_WITH_TIMEOUT(d->txtSec->hasFocus(), test::kStepMs);
        QTest::keyClick(d->txtSec, Qt::Key_End);
        QTest::keyClick(d->txtSec, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(d->txtSec, "50");
        QTest::keyClick(d->txtSec, Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(d->txtSec->text(), QString("39"));
        QVERIFY(d->txtSec->hasFocus()); // it keeps the focus, as Tab does
        QCOMPARE(d->txtPTime->text(), QString("9999"));

        d->txtMin->setFocus();
        QTRY_VERIFY_WITH_TIMEOUT(d->txtMin->hasFocus(), test::kStepMs);
        d->txtMin->setText("12");
        QTest::keyClick(d->txtMin, Qt::Key_Left);
        QTest::keyClicks(d->txtMin, "5");
        QCOMPARE(d->txtMin->text(), QString("152"));
        QTest::keyClick(d->txtMin, Qt::Key_Home);
        QTest::keyClick(d->txtMin, Qt::Key_Delete);
        QTest::keyClick(d->txtMin, Qt::Key_Right);
        QTest::keyClick(d->txtMin, Qt::Key_Backspace);
        QCOMPARE(d->txtMin->text(), QString("2"));
        QTest::keyClick(d->txtMin, Qt::Key_End);
        QTest::keyClicks(d->txtMin, "4");
        QCOMPARE(d->txtMin->text(), QString("24"));

        // Copy the minutes, cut them, paste them into the seconds box.
        QTest::keyClick(d->txtMin, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(d->txtMin, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), QString("24"));
        QTest::keyClick(d->txtMin, Qt::Key_X, Qt::ControlModifier);
        QCOMPARE(d->txtMin->text(), QString());
        d->txtSec->clear();
        QTest::keyClick(d->txtSec, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(d->txtSec->text(), QString("24"));
        QCOMPARE(d->txtPTime->text(), QString("0024"));

        // A sign or a letter pasted is refused; a decimal is taken in seconds only.
        for (const char *refused : {"-5", "1e2", "x"}) {
            QApplication::clipboard()->setText(refused);
            d->txtMin->setText("3");
            QTest::keyClick(d->txtMin, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClick(d->txtMin, Qt::Key_V, Qt::ControlModifier);
            QCOMPARE(d->txtMin->text(), QString("3"));
        }
        QApplication::clipboard()->setText("2,5");
        QTest::keyClick(d->txtMin, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(d->txtMin, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(d->txtMin->text(), QString("3"));
        QTest::keyClick(d->txtSec, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(d->txtSec, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(d->txtSec->text(), QString("2,5"));
        QCOMPARE(d->txtPTime->text(), QString("182.5"));

        // Typed characters still follow the boxes' own rules.
        d->txtMin->clear();
        QTest::keyClicks(d->txtMin, "1a-2");
        QCOMPARE(d->txtMin->text(), QString("12"));
        d->hide();
    }

    // The grid's pause cell: Ctrl+A selects, Tab leaves it (which stores the
    // padded pause), and deleting marks the macro changed as typing does.
    void gridPauseCellKeys()
    {
        const QString path = InProgramFolder("keys.cro");
        QVERIFY(test::WriteBytes(path, "\"" + CmdToCode("A", "1", "ON").toLatin1() + "0005\"\r\n"));
        w->txtFileName->setText(QString());
        w->txtFileName->setText(path);
        QVERIFY(!w->MacroChanged);
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w, test::kFirstWindowMs));

        w->chPause_Show(1);
        QTRY_VERIFY_WITH_TIMEOUT(w->chPause->hasFocus(), test::kStepMs);
        QTest::keyClick(w->chPause, Qt::Key_End);
        QTest::keyClick(w->chPause, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(w->chPause, "7");
        QCOMPARE(w->chPause->text(), QString("7"));
        QTest::keyClick(w->chPause, Qt::Key_Tab);
        QTRY_VERIFY_WITH_TIMEOUT(w->chPause->isHidden(), test::kStepMs);
        QCOMPARE(w->rows().at(0)[ColPause], QString("0007"));

        w->MacroChanged = false;
        w->chPause_Show(1);
        QTRY_VERIFY_WITH_TIMEOUT(w->chPause->hasFocus(), test::kStepMs);
        QTest::keyClick(w->chPause, Qt::Key_Home);
        QTest::keyClick(w->chPause, Qt::Key_Delete);
        QCOMPARE(w->chPause->text(), QString("007"));
        QVERIFY(w->MacroChanged);
        QTest::keyClick(w->chPause, Qt::Key_Return);
        QVERIFY(w->chPause->isHidden());
        QCOMPARE(w->rows().at(0)[ColPause], QString("0007"));
        w->MacroChanged = false;
    }
};

QELT_TEST_MAIN(PauseKeysTest)
#include "tst_pause_keys.moc"
