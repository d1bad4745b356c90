// The pause dialog and the recorder on a real desktop: a message raised over
// the modal pause dialog is answered with the mouse, the keys and the window
// manager's close box, and the recorder takes the console's commands one at
// a time.

#include "core/MessageDialog.h"
#include "core/services/ConsoleServices.h"
#include "core/services/MacroServices.h"
#include "logic/Globals.h"
#include "logic/ProgramFolder.h"
#include "logic/SerialLink.h"
#include "logic/Transmitter.h"
#include "logic/X10Codes.h"
#include "macros/InstallMacroWindows.h"
#include "macros/frmMDelay.h"
#include "macros/frmMcrSetup.h"
#include "tests/support/Desktop.h"
#include "tests/support/FakeMainWindow.h"
#include "tests/support/FileBytes.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/ShownDialogs.h"
#include "tests/support/TestEnv.h"

#include <QApplication>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

using namespace qelt;
using test::desktop::Script;
namespace desk = qelt::test::desktop;

namespace {

const char *const kZeroPause = "Pause time must be at least .3 seconds!";

frmInfo *shownMessage()
{
    const QList<frmInfo *> shown = test::ShownDialogs();
    return shown.isEmpty() ? nullptr : shown.last();
}

// Ends every wait a faulty run leaves open: the messages and the pause dialog.
void endWaits()
{
    for (frmInfo *d : test::ShownDialogs())
        d->cmdOK->isVisible() ? d->cmdOK->click() : d->cmdNo->click();
    if (frmMDelay *d = MDelayWindowIfLoaded(); d && d->isVisible())
        d->Command1_Click();
}

QByteArray Line(const QString &code, const char *pause)
{
    return "\"" + code.toLatin1() + pause + "\"\r\n";
}

// The console with four unit buttons of house A that hand their command to
// the recorder as the console's buttons do: "0" first, then the code.
class Console : public test::FakeMainWindow {
public:
    Console()
    {
        lblGrp().setHandler([](const QString &text) {
            if (MacroEditorService *editor = MacroEditor())
                editor->lblCroSave().setText(text);
        });
        auto *row = new QHBoxLayout(&window);
        for (int unit = 1; unit <= 4; ++unit) {
            auto *b = new QPushButton(QStringLiteral("A%1").arg(unit), &window);
            const QString code = CmdToCode("A", QString::number(unit), "ON");
            QObject::connect(b, &QPushButton::clicked, b, [this, code] {
                lblGrp().setText(QStringLiteral("0"));
                lblGrp().setText(code);
            });
            row->addWidget(b);
            units << b;
        }
        window.setWindowTitle(QStringLiteral("Console"));
        window.move(40, 40);
    }
    QList<QPushButton *> units;
};

} // namespace

class ModalWaitsTest : public QObject {
    Q_OBJECT

    Console console;
    RecordingSerialLink link;

private slots:
    void initTestCase()
    {
        SetMainWindow(&console);
        SetCommLink(&link);
        InstallMacroWindows();
        // The desktop's first window, in the first window's bound: the
        // steps below are given a step's. Recording shows it again.
        QVERIFY(desk::ShowActive(&console.window));
        console.window.hide();
    }

    // Both boxes zero: the message comes up over the pause dialog; its OK,
    // Enter and its close box each end it, and the pause dialog stays open.
    void zeroPauseMessageIsAnswered_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::newRow("OK") << QStringLiteral("OK");
        QTest::newRow("Enter") << QStringLiteral("Enter");
        QTest::newRow("close box") << QStringLiteral("close box");
    }

    void zeroPauseMessageIsAnswered()
    {
        QFETCH(QString, answer);
        frmMDelay *d = MDelayWindow();
        d->txtMin->setText(QStringLiteral("00"));
        d->txtSec->setText(QStringLiteral("00"));
        bool returned = false;
        QString message;
        bool pauseOpenAfter = false;
        int messagesAfter = -1;
        Script s;
        s.then([&] {
             d->askModal();
             returned = true;
         })
            .then([&] { return QApplication::activeWindow() == d && d->txtMin->hasFocus(); },
                  [&] { s.key("Return"); })
            .then([&] { return d->txtSec->hasFocus(); }, [&] { s.key("Return"); })
            .then([&] { return shownMessage() && shownMessage()->isActiveWindow(); },
                  [&] {
                      frmInfo *m = shownMessage();
                      message = m->lbl1->text();
                      if (answer == "OK")
                          s.click(m->cmdOK);
                      else if (answer == "Enter")
                          s.key("Return");
                      else
                          s.clickCloseBox(m);
                  })
            .then([&] { return !shownMessage() || !shownMessage()->isActiveWindow(); },
                  [&] {
                      pauseOpenAfter = d->isVisible();
                      messagesAfter = test::ShownDialogs().size();
                  })
            // The keys are the pause dialog's again: Esc cancels it.
            .then([&] { return QApplication::activeWindow() == d; }, [&] { s.key("Escape"); })
            .then([&] { return returned; }, [] {});
        QVERIFY(s.run(endWaits));
        QVERIFY2(message.startsWith(kZeroPause), qPrintable(message));
        QCOMPARE(messagesAfter, 0);
        QVERIFY(pauseOpenAfter);
        QVERIFY(!d->isVisible());
        QCOMPARE(d->PauseTime, QString()); // cancelled
    }

    // Recording A1 and A2 "do later", then A3 "do during": Enter Enter
    // brings the zero-pause message, a click on A4 meanwhile does nothing,
    // Esc ends the message and Esc again cancels A3's pause; then A4 with a
    // pause of 0:07. The rows stand in the order clicked, each with its own
    // pause: a cancelled pause is one second.
    void recordingKeepsOrderAndPauses()
    {
        frmMcrSetup *w = McrSetupWindow();
        w->show();
        frmMDelay *d = MDelayWindow();
        d->chkSame->setChecked(false);
        w->Option2[1]->setChecked(true);
        w->chkCroRecord->setChecked(true);
        // Recording shows the console.
        QVERIFY(desk::WaitOnScreen(&console.window));
        const auto recorded = [w](const char *n) {
            return [w, n] { return w->lblRecNum->text() == QLatin1String(n); };
        };
        const auto pauseAsks = [d] { return QApplication::activeWindow() == d; };
        Script s;
        s.then([&] { s.click(console.units[0]); })
            .then(recorded("1"), [&] { s.click(console.units[1]); })
            .then(recorded("2"),
                  [&] {
                      w->Option2[0]->setChecked(true);
                      d->txtMin->setText(QStringLiteral("00"));
                      d->txtSec->setText(QStringLiteral("00"));
                      s.click(console.units[2]);
                  })
            .then(pauseAsks, [&] { s.key("Return"); })
            .then([&] { return d->txtSec->hasFocus(); }, [&] { s.key("Return"); })
            .then([&] { return shownMessage() != nullptr; }, [&] { s.click(console.units[3]); })
            .then([&] { s.key("Escape"); })
            .then([&] { return !d->isVisible() || QApplication::activeWindow() == d; },
                  [&] {
                      // The user cancels the pause dialog if it is still asking.
                      if (d->isVisible() && !shownMessage())
                          s.key("Escape");
                  })
            .then([&] { s.click(console.units[3]); })
            .then(pauseAsks,
                  [&] {
                      d->txtMin->setText(QStringLiteral("0"));
                      d->txtSec->setText(QStringLiteral("7"));
                      s.key("Return");
                  })
            .then([&] { return d->txtSec->hasFocus(); }, [&] { s.key("Return"); })
            .then([&] {
                // "OK on the message", if one is still up.
                if (frmInfo *m = shownMessage())
                    s.click(m->cmdOK);
            })
            .then([&] { return !d->isVisible() && !shownMessage(); }, [] {});
        QVERIFY(s.run(endWaits));
        QTRY_VERIFY_WITH_TIMEOUT(test::ShownDialogs().isEmpty(), desk::kStepMs);
        QCOMPARE(w->lblRecNum->text(), QStringLiteral("4"));

        // Saved as the user would name the file in the save dialog.
        test::ScriptedDialogs naming;
        naming.saveAnswer = InProgramFolder(QStringLiteral("recorded.cro"));
        SetDialogProvider(&naming);
        w->cmdSaveAs_Click();
        SetDialogProvider(nullptr);
        const QString path = naming.saveAnswer;
        const auto a = [](int unit) { return CmdToCode("A", QString::number(unit), "ON"); };
        QCOMPARE(test::ReadBytes(path),
                 Line(a(1), "0005") + Line(a(2), "0005") + Line(a(3), "0001") + Line(a(4), "0007"));
    }
};

QELT_DESKTOP_TEST_MAIN(ModalWaitsTest)
#include "desk_modal_waits.moc"
