// The program's exit while the macro editor holds commands it has not saved:
// every way to the exit asks the editor's own question before anything of
// the exit begins, and the program ends only on No, or on Yes with a save
// that happened.

#include "console/frmFavs.h"
#include "console/frmFire.h"
#include "core/MessageDialog.h"
#include "core/Tray.h"
#include "logic/DataFile.h"
#include "logic/Globals.h"
#include "logic/ProgramFolder.h"
#include "logic/SafeSave.h"
#include "logic/SerialLink.h"
#include "logic/UnitRecords.h"
#include "macros/InstallMacroWindows.h"
#include "macros/frmMcrSetup.h"
#include "tests/support/Desktop.h"
#include "tests/support/FakeTimers.h"
#include "tests/support/FakeWaitClock.h"
#include "tests/support/FileBytes.h"
#include "tests/support/SaveFaults.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/ShownDialogs.h"
#include "tests/support/TestEnv.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <memory>

using namespace qelt;

namespace {

const QString kQuestionTitle = QStringLiteral("Save Changes to Macro?");
// A1 ON with the pause of 5 typed into the quick-edit panel, as the file
// holds it.
const QByteArray kRowBytes = "\"01100000000000000005\"\r\n";

// Scripted dialogs; with inWindow the questions are asked in the program's
// own question window, for the answers only a real window gives (its Esc key
// and its frame's close).
class ExitDialogs : public test::ScriptedDialogs {
public:
    bool inWindow = false;
    int questions(const QString &sMsg, int iYesNoCancel, const QString &sTitle,
                  MsgIcon icon) override
    {
        if (!inWindow)
            return ScriptedDialogs::questions(sMsg, iYesNoCancel, sTitle, icon);
        calls << QStringLiteral("questions %1 %2 %3").arg(sTitle, sMsg).arg(iYesNoCancel);
        return RealDialogs().questions(sMsg, iYesNoCancel, sTitle, icon);
    }
};

} // namespace

class ExitQuestionTest : public QObject {
    Q_OBJECT

private:
    ExitDialogs dialogs;
    test::FakeTimers timers;
    std::unique_ptr<test::FakeWaitClock> clock;
    std::unique_ptr<RecordingSerialLink> link;
    frmFire *fire = nullptr;
    frmMcrSetup *editor = nullptr;
    QString macro;

    // The console started on its stand-in port with the timers on, and the
    // editor opened by its Setup button with A 1 ON typed into its first row.
    void start()
    {
        QVERIFY(OpenDataFile(InProgramFolder(QStringLiteral("db.zvd"))));
        PutRec(270, QStringLiteral("1"));
        PutRec(RecLastStart, QStringLiteral("yesterday"));
        PutRec(RecTimersOn, QStringLiteral("1"));
        fire = new frmFire(link.get());
        SetMainWindow(fire);
        fire->Form_Load();
        fire->afterStart_Timer();
        QVERIFY(link->portOpen());
        QVERIFY(fire->Check1->isChecked());
        fire->cmdMacroSetup->click();
        QVERIFY(editor->loaded() && editor->isVisible());
        // The panel keeps what an earlier case typed.
        const std::pair<QLineEdit *, const char *> typed[] = {{editor->txtHouse, "a"},
                                                              {editor->txtUnit, "1"},
                                                              {editor->txtAction, "on"},
                                                              {editor->txtPause, "5"}};
        for (const auto &[box, text] : typed) {
            box->clear();
            QTest::keyClicks(box, QString::fromLatin1(text));
        }
        editor->Command3->click();
        QVERIFY(editor->MacroChanged);
        dialogs.calls.clear();
    }

    int questionsAsked() const
    {
        return int(dialogs.calls.filter(QStringLiteral("questions ") + kQuestionTitle).size());
    }

    // Nothing of the exit has begun: the port, the tray icon, the timers and
    // both windows are as they were, and the editor still holds its row.
    void checkStillRunning(const QSignalSpy &ended)
    {
        QCOMPARE(ended.count(), 0);
        QVERIFY(!fire->isUnloaded());
        QVERIFY(!AbortSend);
        QVERIFY(link->portOpen());
        QVERIFY(TrayShown());
        QVERIFY(DataFileIsOpen());
        QCOMPARE(timers.unloads, 0);
        QVERIFY(fire->Check1->isChecked());
        QVERIFY(editor->loaded() && editor->isVisible());
        QVERIFY(editor->MacroChanged);
        QCOMPARE(editor->rows().size(), 1);
        QCOMPARE(editor->rows().first()[ColHouse], QStringLiteral("A"));
    }

private slots:
    void initTestCase()
    {
        InstallMacroWindows();
        editor = McrSetupWindow();
        macro = InProgramFolder(QStringLiteral("exit.cro"));
    }

    void init()
    {
        AbortSend = false;
        SoundsOn = false;
        FavsView = false;
        MinOnStart = false;
        dialogs = ExitDialogs();
        SetDialogProvider(&dialogs);
        SetTimers(&timers);
        timers.unloads = 0;
        clock = std::make_unique<test::FakeWaitClock>();
        link = std::make_unique<RecordingSerialLink>();
        QFile::remove(macro);
        QFile::remove(InProgramFolder(QStringLiteral("db.zvd")));
    }

    void cleanup()
    {
        if (FavsView && fire && !fire->isUnloaded())
            fire->mnuRegular_Click();
        TrayDelete();
        editor->unload();
        delete fire;
        fire = nullptr;
        SetMainWindow(nullptr);
        SetDialogProvider(nullptr);
        SetTimers(nullptr);
        CloseDataFile();
        clock.reset();
        link.reset();
        AbortSend = false;
    }

    // Each answer to the question, asked by the tray's Exit while the
    // console sits in the tray.
    void answerDecidesTheExit_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("saveAs"); // the Save As dialog's answer; "" cancels it
        QTest::addColumn<bool>("writeFails");
        QTest::addColumn<bool>("exits");
        QTest::addColumn<QByteArray>("saved"); // the file afterwards; "" none
        QTest::newRow("Yes, saved") << "yes" << macro << false << true << kRowBytes;
        QTest::newRow("Yes, Save As cancelled") << "yes"
                                                << "" << false << false << QByteArray();
        QTest::newRow("Yes, the write fails") << "yes" << macro << true << false << QByteArray();
        QTest::newRow("No") << "no" << macro << false << true << QByteArray();
        QTest::newRow("Cancel") << "cancel" << macro << false << false << QByteArray();
        QTest::newRow("Esc") << "Escape" << macro << false << false << QByteArray();
        QTest::newRow("close box") << "close box" << macro << false << false << QByteArray();
    }

    void answerDecidesTheExit()
    {
        QFETCH(QString, answer);
        QFETCH(QString, saveAs);
        QFETCH(bool, writeFails);
        QFETCH(bool, exits);
        QFETCH(QByteArray, saved);
        const bool byWindow = answer == "Escape" || answer == "close box";
        dialogs.inWindow = byWindow;
        start();
        fire->lblMin_MouseDown(Qt::RightButton);
        QVERIFY(TrayShown());
        dialogs.saveAnswer = saveAs;
        dialogs.answers = {answer == "yes" ? 1 : answer == "no" ? 2 : 3};
        std::unique_ptr<test::ScopedSaveFault> fault;
        if (writeFails)
            fault = std::make_unique<test::ScopedSaveFault>(SaveFault::Flush, "exit.cro");
        // The question window waits with events running; the key or the
        // close reaches it once it is up. One that does not go then is
        // answered No, which ends the program and fails the case.
        QTimer answering;
        if (byWindow) {
            QElapsedTimer waited;
            waited.start();
            connect(&answering, &QTimer::timeout, this, [answer, waited, sent = false]() mutable {
                const QList<frmInfo *> shown = test::ShownDialogs();
                if (shown.isEmpty())
                    return;
                if (waited.elapsed() > test::desktop::kStepMs) {
                    shown.last()->cmdNo->click();
                } else if (!sent) {
                    sent = true;
                    if (answer == "Escape")
                        QTest::keyClick(shown.last(), Qt::Key_Escape);
                    else
                        shown.last()->close();
                }
            });
            answering.start(10);
        }

        QSignalSpy ended(fire, &frmFire::programEnded);
        emit TrayEventSource().mouseMessage(kTrayRightDown);
        QVERIFY(fire->Popup1->isVisible());
        fire->mnuExit->trigger();

        QCOMPARE(questionsAsked(), 1);
        if (writeFails)
            QCOMPARE(fault->hits(), 1);
        fault.reset();
        if (saved.isEmpty())
            QVERIFY(!QFile::exists(macro));
        else
            QCOMPARE(test::ReadBytes(macro), saved);
        if (exits) {
            QCOMPARE(ended.count(), 1);
            QVERIFY(fire->isUnloaded());
            QVERIFY(!link->portOpen());
            QVERIFY(!TrayShown());
            QVERIFY(!editor->isVisible());
            return;
        }
        checkStillRunning(ended);
        // The exit had not begun: asked again and answered No, it ends the
        // program.
        dialogs.inWindow = false;
        dialogs.answers = {2};
        fire->mnuExit->trigger();
        QCOMPARE(ended.count(), 1);
        QVERIFY(!QFile::exists(macro));
    }

    // Every way to the exit asks first; Cancel keeps the program running.
    void everyRouteAsks_data()
    {
        QTest::addColumn<QString>("route");
        for (const char *route : {"menu Exit", "exit label", "tray Exit", "favourites Exit",
                                  "language restart", "console close box"})
            QTest::newRow(route) << QString::fromLatin1(route);
    }

    void everyRouteAsks()
    {
        QFETCH(QString, route);
        start();
        QSignalSpy ended(fire, &frmFire::programEnded);
        dialogs.answers = {3};
        if (route == "menu Exit") {
            QTest::mouseClick(fire, Qt::RightButton, {}, QPoint(5, 40));
            QVERIFY(fire->Popup1->isVisible());
            fire->mnuExit->trigger();
        } else if (route == "exit label") {
            QTest::mouseClick(fire->lblExit, Qt::LeftButton);
        } else if (route == "tray Exit") {
            fire->lblMin_MouseDown(Qt::RightButton);
            emit TrayEventSource().mouseMessage(kTrayRightDown);
            QVERIFY(fire->Popup1->isVisible());
            fire->mnuExit->trigger();
        } else if (route == "favourites Exit") {
            fire->lblShowFavs_Click();
            QVERIFY(FavsView && FavsWindow().isVisible());
            QTest::mouseClick(FavsWindow().centralWidget(), Qt::RightButton);
            QVERIFY(fire->Popup1->isVisible());
            fire->mnuExit->trigger();
        } else if (route == "language restart") {
            QAction *other = fire->mnuLan->addAction(QStringLiteral("Deutsch"));
            other->setData(QStringLiteral("Deutsch.lan"));
            other->setCheckable(true);
            fire->mnuLanguage.append(other);
            dialogs.answers = {1, 3}; // restart now: Yes; the editor's question: Cancel
            other->trigger();
            QCOMPARE(dialogs.calls.filter("Restart Now").size(), 1);
        } else {
            fire->close();
        }
        QCOMPARE(questionsAsked(), 1);
        QCOMPARE(ended.count(), 0);
        QVERIFY(!fire->isUnloaded());
        QVERIFY(link->portOpen());
        QVERIFY(editor->isVisible() && editor->MacroChanged);
    }
};

QELT_TEST_MAIN(ExitQuestionTest)
#include "tst_exit_question.moc"
