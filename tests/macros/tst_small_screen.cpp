// The editor's windows on a screen smaller than they were made for.

#include "macros/frmMcrSetup.h"

#include "logic/X10Codes.h"
#include "macros/InstallMacroWindows.h"
#include "macros/frmPreview.h"
#include "tests/support/Bounds.h"
#include "tests/support/FakeMainWindow.h"
#include "tests/support/FakeWaitClock.h"
#include "tests/support/FileBytes.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TestEnv.h"

#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>

using namespace qelt;

class SmallScreenTest : public QObject {
    Q_OBJECT

    test::InstalledDialogs dialogs;
    test::FakeWaitClock clock;
    test::FakeMainWindow main;

private slots:
    void initTestCase()
    {
        SetMainWindow(&main);
        InstallMacroWindows();
        QCOMPARE(QApplication::primaryScreen()->geometry(), QRect(0, 0, 640, 480));
    }

    // The preview opens whole on the screen, and comes back whole after it
    // was moved off it.
    void previewOpensOnTheScreen()
    {
        const QString path = test::TestEnv::ScratchPath("p.cro");
        QVERIFY(test::WriteBytes(path, "\"" + CmdToCode("A", "3", "ON").toLatin1() + "0005\"\r\n"));
        frmMcrSetup *w = McrSetupWindow();
        w->showPage(0);
        w->txtFileName->setText(path);
        w->mnuPreview_Click();
        frmPreview *preview = PreviewWindow();
        QVERIFY(QTest::qWaitForWindowExposed(preview, test::kStepMs));
        const QRect room = preview->screen()->availableGeometry();
        QVERIFY2(room.contains(preview->frameGeometry()),
                 qPrintable(QString("%1,%2 %3x%4")
                                .arg(preview->frameGeometry().x())
                                .arg(preview->frameGeometry().y())
                                .arg(preview->frameGeometry().width())
                                .arg(preview->frameGeometry().height())));
        QVERIFY(preview->txtPreview->toPlainText().contains("\t 1 \tA  \t3  \tON"));

        QTest::mouseClick(preview->Command2, Qt::LeftButton);
        QVERIFY(!preview->isVisible());
        preview->move(room.right() - 20, room.bottom() - 20);
        w->mnuPreview_Click();
        QVERIFY(QTest::qWaitForWindowExposed(preview, test::kStepMs));
        QVERIFY(room.contains(preview->frameGeometry()));
    }
};

QELT_TEST_MAIN_ON_SCREEN(SmallScreenTest, 640, 480)
#include "tst_small_screen.moc"
