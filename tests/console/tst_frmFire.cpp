#include "console/frmFire.h"
#include "core/EventControls.h"
#include "logic/UnitRecords.h"

#include "core/Dialogs.h"
#include "core/MessageDialog.h"
#include "core/PortDialog.h"
#include "core/Shortcuts.h"
#include "core/SystemInfo.h"
#include "core/services/MacroServices.h"
#include "core/services/PrefsServices.h"
#include "core/services/SchedulerServices.h"
#include "logic/DataFile.h"
#include "logic/Globals.h"
#include "logic/ProgramFolder.h"
#include "logic/SerialLink.h"
#include "logic/Settings.h"
#include "logic/Transmitter.h"
#include "tests/support/Bounds.h"
#include "tests/support/FakeTimers.h"
#include "tests/support/FakeWaitClock.h"
#include "tests/support/FixedPatterns.h"
#include "tests/support/SaveFaults.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/ShownDialogs.h"
#include "tests/support/TestEnv.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <QTextDocumentFragment>
#include <QTimer>
#include <QToolTip>

#include <functional>
#include <memory>

using namespace qelt;

namespace {

const QString kLead = QString::fromLatin1(test::kLeadInBits);
const QString kClose = QString::fromLatin1(test::kClosingBits);

QString Frame(const QString &code)
{
    return QStringLiteral("1101010110101010") + code + QStringLiteral("10101101");
}

class FakeEditor : public MacroEditorService {
public:
    FakeEditor()
    {
        m_croSave.setHandler([this](const QString &t) {
            macroLines << t;
            if (onMacroLine)
                onMacroLine(t);
        });
        m_grpSave.setHandler([this](const QString &t) { groupLines << t; });
    }
    QWidget *widget() override { return nullptr; }
    void showPage(int page, int) override { pages << page; }
    void unload() override { ++unloads; }
    bool mayExit() override { return true; }
    Mailbox &lblCroSave() override { return m_croSave; }
    Mailbox &lblGrpSave() override { return m_grpSave; }
    void clearGroupHold() override {}
    bool macroRecording() const override { return false; }
    bool groupRecording() const override { return false; }

    QStringList macroLines;
    QStringList groupLines;
    QList<int> pages; // pages shown, in order
    int unloads = 0;
    // Runs when a command reaches the recorder (which may let events run).
    std::function<void(const QString &)> onMacroLine;

private:
    Mailbox m_croSave;
    Mailbox m_grpSave;
};

class FakeUninstaller : public UninstallService {
public:
    void showUninstaller() override { ++shown; }
    void unload() override {}
    int shown = 0;
};

// A port that fails to open with an error other than "invalid" or "busy".
class BrokenLink : public RecordingSerialLink {
public:
    PortError setPortOpen(bool open) override
    {
        if (open)
            return PortError::Other;
        return RecordingSerialLink::setPortOpen(false);
    }
    QString errorString() const override { return QStringLiteral("Input/output error"); }
};

} // namespace

class FrmFireTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<test::FakeWaitClock> clock;
    RecordingSerialLink *link = nullptr;
    std::unique_ptr<RecordingSerialLink> ownLink;
    test::ScriptedDialogs dialogs;
    test::FakeTimers timers;
    FakeEditor editor;
    FakeUninstaller uninstaller;
    frmFire *w = nullptr;

    // Creates the window (initialise and load) and runs the start's
    // continuation, as the program does half a second after the load.
    frmFire *start(RecordingSerialLink *useLink = nullptr)
    {
        link = useLink ? useLink : ownLink.get();
        w = new frmFire(link);
        SetMainWindow(w);
        w->Form_Load();
        w->afterStart_Timer();
        return w;
    }
    // The port dialog stays for the whole run; it must not die with a
    // window the test throws away.
    void destroyWindow()
    {
        if (!w)
            return;
        for (frmSetup *d : w->findChildren<frmSetup *>())
            d->setParent(nullptr);
        delete w;
        w = nullptr;
    }
    QString writeMacro(const QString &name, const QByteArray &lines)
    {
        const QString path = InProgramFolder(name);
        QFile f(path);
        f.open(QIODevice::WriteOnly | QIODevice::Truncate);
        f.write(lines);
        return path;
    }

private slots:
    void init()
    {
        AbortSend = false;
        NoSend = false;
        UnitBank = false;
        TimerEditOpen = false;
        MainView = false;
        FavsView = false;
        MinOnStart = false;
        QFile::remove(InProgramFolder(QStringLiteral("db.zvd")));
        QVERIFY(OpenDataFile(InProgramFolder(QStringLiteral("db.zvd"))));
        PutRec(270, QStringLiteral("1"));
        PutRec(RecLastStart, QStringLiteral("yesterday")); // not a first start
        clock = std::make_unique<test::FakeWaitClock>();
        ownLink = std::make_unique<RecordingSerialLink>();
        dialogs.messages.clear();
        dialogs.modal.clear();
        SetDialogProvider(&dialogs);
        SetTimers(&timers);
        SetMacroEditor(&editor);
        SetUninstaller(&uninstaller);
        editor.macroLines.clear();
        editor.groupLines.clear();
        editor.pages.clear();
        timers.window = nullptr;
        timers.consoleCommandBox().setText(QString());
        timers.loopValues.clear();
        uninstaller.shown = 0;
    }

    void cleanup()
    {
        destroyWindow();
        SetMainWindow(nullptr);
        SetCommLink(nullptr);
        if (QWidget *setup = PortSetupIfLoaded())
            setup->hide();
        clock.reset();
        ownLink.reset();
        SetDialogProvider(nullptr);
        CloseDataFile();
        AbortSend = false;
    }

    void clockKeepsTheTimersWindowLoadedAndSwitchedOn()
    {
        start();
        w->Check1->setChecked(false);
        timers.setTimersEnabled(false);
        const int before = timers.loads;
        w->tmrClock_Timer();
        QVERIFY(timers.loads > before);
        QVERIFY(!timers.timersEnabled); // an unticked Check1 leaves the switch alone
        QVERIFY(!w->lblClock->text().isEmpty());

        w->Check1->setChecked(true);
        timers.setTimersEnabled(false); // switched off elsewhere
        w->tmrClock_Timer();
        QVERIFY(timers.timersEnabled);

        w->hide();
        w->tmrClock_Timer();
        QVERIFY(!MainView);
        w->show();
        w->tmrClock_Timer();
        QVERIFY(MainView);
    }

    void startRestoresTheStoredState()
    {
        PutRec(RecHouse, QStringLiteral("2"));
        PutRec(RecUnitBank, QStringLiteral("True"));
        PutRec(RecTimersOn, QStringLiteral("1"));
        PutRec(RecPanicColour, QStringLiteral("4"));
        PutRec(RecQuickGroup, QStringLiteral("3"));
        PutRec(RecPanicDelay, QStringLiteral("5,30"));
        PutRec(DeviceRec(2, 11), DeviceRecText(QStringLiteral("C"), 11, QStringLiteral("Porch")));
        PutRec(DeviceRec(2, 3), DeviceRecText(QStringLiteral("C"), 3, QStringLiteral("Den")));
        start();

        QCOMPARE(w->cboHouse->currentText(), QStringLiteral("C"));
        QVERIFY(UnitBank);
        QCOMPARE(w->lblCell[0]->text(), QStringLiteral("9"));
        QCOMPARE(w->lblCell[7]->text(), QStringLiteral("16"));
        QCOMPARE(w->ImageSlidePicture(), 4);
        QCOMPARE(GetRec(RecUnitBank), QStringLiteral("True"));
        QCOMPARE(w->HouseBits, QStringLiteral("01000100"));
        QCOMPARE(w->lblDescription[2]->text(), QStringLiteral("Porch"));
        QVERIFY(w->Check1->isChecked());
        QCOMPARE(w->txtPanicNm.text(), QStringLiteral("Pa&nic")); // record 274 empty
        QCOMPARE(w->txtPanicBcolor.text(), QStringLiteral("4"));
        QCOMPARE(w->txtGroupNum.text(), QStringLiteral("3"));
        QCOMPARE(w->txtPanicMin.text(), QStringLiteral("5"));
        QCOMPARE(w->txtPanicSec.text(), QStringLiteral("30"));
        QVERIFY(link->portOpen());
        QCOMPARE(link->commPort(), QStringLiteral("1"));
        QCOMPARE(link->settings(), QStringLiteral("9600,N,8,1"));
        QVERIFY(w->isVisible());
        QVERIFY(dialogs.messages.isEmpty());
    }

    void startWithOddRecords()
    {
        // No comma in the panic delay: the minutes stay, the seconds take all.
        PutRec(RecPanicDelay, QStringLiteral("45"));
        PutRec(RecHouse, QStringLiteral("banana"));
        PutRec(RecTimersOn, QString());
        PutRec(RecPanicName, QStringLiteral("&Help"));
        start();
        QCOMPARE(w->txtPanicMin.text(), QString());
        QCOMPARE(w->txtPanicSec.text(), QStringLiteral("45"));
        QVERIFY(!w->Check1->isChecked());
        QCOMPARE(w->txtPanicNm.text(), QStringLiteral("&Help"));
        QVERIFY(!UnitBank);
        QCOMPARE(w->cboHouse->currentText(), QStringLiteral("A")); // damaged record 271
        QCOMPARE(GetRec(RecHouse), QStringLiteral("0"));
        QCOMPARE(w->lblCell[0]->text(), QStringLiteral("1"));
        QCOMPARE(w->ImageSlidePicture(), 3);
    }

    void captionsAndLanguageMenuFollowTheProgramFolder()
    {
        const QString ini = InProgramFolder(QStringLiteral("language.ini"));
        {
            QFile f(ini);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("[Labels & Captions]\r\nMenu=Men\xfc\r\n&Timers=&Zeitplan\r\n"
                    "Group=Gruppe\r\n");
        }
        const QString oldLang = LangFile;
        LangFile = ini;
        SaveSet(QStringLiteral("Settings"), QStringLiteral("Language"), QStringLiteral("Deutsch"));
        for (const char *name : {"Deutsch.lan", "English.lan", "Aleut.lan"}) {
            QFile f(InProgramFolder(QLatin1String(name)));
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
        start();
        QCOMPARE(w->lblMenu->text(), QString::fromUtf8("Men\u00fc"));
        QCOMPARE(w->Check1->text(), QStringLiteral("&Zeitplan  "));
        QCOMPARE(w->lblGourpNumber[3]->text(), QStringLiteral("Gruppe &3"));
        QVERIFY(w->mnuLan->menuAction()->isVisible());
        QStringList names;
        for (QAction *a : w->mnuLanguage)
            names << a->text() + (a->isChecked() ? QStringLiteral("*") : QString());
        // English keeps the first place even when a file sorts before it.
        QCOMPARE(names, (QStringList{"English", "Aleut", "Deutsch*"}));
        destroyWindow();

        for (const char *name : {"Deutsch.lan", "English.lan", "Aleut.lan"})
            QFile::remove(InProgramFolder(QLatin1String(name)));
        QFile::remove(ini);
        LangFile = oldLang;
        DeleteSet(QStringLiteral("Settings"), QStringLiteral("Language"));
        start();
        QVERIFY(!w->mnuLan->menuAction()->isVisible());
        QCOMPARE(w->mnuLanguage.size(), 1);
    }

    // The tray needs a picture to show; the window hidden there is reached
    // only through it.
    void windowsHaveAnIconForTheTray()
    {
        start();
        QVERIFY(!w->windowIcon().isNull());
        QVERIFY(!QApplication::windowIcon().isNull());
    }

    // Longer translated captions are shown whole (in a smaller font where
    // the control is too narrow); the English ones keep the window's font.
    void translatedCaptionsAreShownWhole()
    {
        // Longer than the buttons and labels were drawn for.
        const QString longer = InProgramFolder(QStringLiteral("long.lan"));
        {
            QFile f(longer);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("[Labels & Captions]\r\nDim=Dunkler\r\nBright=Heller\r\n"
                    "Timers=Zeitschalter\r\nSetup=Einrichten\r\nHouse=Hauscode\r\n"
                    "Group=Gruppe\r\n");
        }
        struct Caption {
            QWidget *control;
            QString text;
        };
        auto captions = [this] {
            QList<Caption> all;
            for (QWidget *c : w->findChildren<QWidget *>()) {
                QString text;
                if (auto *b = qobject_cast<QAbstractButton *>(c))
                    text = b->text();
                else if (auto *l = qobject_cast<QLabel *>(c); l && l->pixmap().isNull())
                    text = l->text();
                text.remove(QLatin1Char('&'));
                if (!text.trimmed().isEmpty() && c->styleSheet().isEmpty() && !c->isHidden())
                    all.append({c, text});
            }
            return all;
        };
        const QString oldLang = LangFile;

        LangFile = longer;
        start();
        LangFile = oldLang;
        w->ckbGroups->setChecked(true); // the group panel too
        QCOMPARE(w->cmdDim->text(), QStringLiteral("Dunkler"));
        int checked = 0;
        for (const Caption &c : captions()) {
            int room = c.control->width();
            if (qobject_cast<QCheckBox *>(c.control))
                room -= 16; // the tick box
            else if (qobject_cast<QPushButton *>(c.control))
                room -= 4; // the button's frame
            const int needed = QFontMetrics(c.control->font()).horizontalAdvance(c.text);
            QVERIFY2(needed <= room,
                     qPrintable(c.control->objectName() + QLatin1String(": ") + c.text +
                                QLatin1String(" needs ") + QString::number(needed)));
            ++checked;
        }
        QVERIFY(checked > 40);
        QVERIFY(w->cmdDim->font().pointSizeF() < w->font().pointSizeF());
        destroyWindow();

        LangFile = InProgramFolder(QStringLiteral("no-language.ini"));
        start();
        LangFile = oldLang;
        w->ckbGroups->setChecked(true);
        for (const Caption &c : captions())
            QVERIFY2(c.control->font() == w->font(), qPrintable(c.control->objectName()));
    }

    void shippedEnglishFileLeavesEveryTextAsWritten()
    {
        // Language names are not case-sensitive, so an English entry such as
        // "On" would also turn the unit buttons' "ON" into "On".
        const QString shipped = QStringLiteral(QT_TESTCASE_SOURCEDIR "/../resources/language.ini");
        QVERIFY(QFile::exists(shipped));
        auto texts = [this] {
            QStringList all;
            for (QObject *o : w->findChildren<QObject *>()) {
                if (auto *b = qobject_cast<QAbstractButton *>(o))
                    all << o->objectName() + QLatin1Char('=') + b->text();
                else if (auto *l = qobject_cast<QLabel *>(o))
                    all << o->objectName() + QLatin1Char('=') + l->text();
                else if (auto *a = qobject_cast<QAction *>(o))
                    all << o->objectName() + QLatin1Char('=') + a->text();
            }
            return all;
        };
        const QString oldLang = LangFile;
        LangFile = InProgramFolder(QStringLiteral("no-language.ini"));
        start();
        const QStringList written = texts();
        destroyWindow();

        LangFile = shipped;
        start();
        const QStringList shown = texts();
        w->chkTips.setText(QStringLiteral("1"));
        QEvent enter(QEvent::Enter);
        QApplication::sendEvent(w->cmdON[0], &enter);
        const QString tip = w->cmdON[0]->toolTip();
        LangFile = oldLang;
        QCOMPARE(shown, written);
        QCOMPARE(w->cmdON[0]->text(), QStringLiteral("ON"));
        QCOMPARE(w->cmdAllOn->text(), QStringLiteral("On"));
        QCOMPARE(tip, QStringLiteral(" Turn Unit 1 ON"));
    }

    void firstStartMakesTheDesktopShortcutOnce()
    {
        QFile::remove(DeskLinkPath());
        PutRec(RecLastStart, QString());
        start();
        QVERIFY(QFile::exists(DeskLinkPath()));
        QVERIFY(!GetRec(RecLastStart).isEmpty());
        destroyWindow();

        QFile::remove(DeskLinkPath());
        start();
        QVERIFY(!QFile::exists(DeskLinkPath()));
    }

    void unloadWritesItsRecordsAndSettings()
    {
        start();
        w->move(40, 60);
        w->Check1->setChecked(true);
        QSignalSpy ended(w, &frmFire::programEnded);
        w->cmdExit_Click();
        QCOMPARE(ended.count(), 1);
        QVERIFY(!DataFileIsOpen());
        QVERIFY(!link->portOpen());
        QCOMPARE(timers.unloads > 0, true);
        QCOMPARE(GetSet(QStringLiteral("Database16"), QStringLiteral("CurrentVersion")),
                 ProgramVersion());
        QCOMPARE(GetSet(QStringLiteral("Database16"), QStringLiteral("CurrentExePath")),
                 ProgramFolder());
        QCOMPARE(GetSet(QStringLiteral("Settings"), QStringLiteral("MainLeft")),
                 QString::number(w->x() * 15));
        QVERIFY(OpenDataFile(InProgramFolder(QStringLiteral("db.zvd"))));
        QCOMPARE(GetRec(RecTimersOn), QStringLiteral("1"));
        destroyWindow();

        // Closing while minimised keeps the stored position.
        SaveSet(QStringLiteral("Settings"), QStringLiteral("MainLeft"), QStringLiteral("1500"));
        start();
        w->move(200, 200);
        w->setWindowState(Qt::WindowMinimized);
        w->cmdExit_Click();
        QCOMPARE(GetSet(QStringLiteral("Settings"), QStringLiteral("MainLeft")),
                 QStringLiteral("1500"));
    }

    void unitFramesReachTheLinkAndTheRecorders()
    {
        PutRec(RecHouse, QStringLiteral("2"));
        PutRec(RecUnitBank, QStringLiteral("True"));
        start();
        link->clear();
        editor.macroLines.clear();
        editor.groupLines.clear();
        editor.pages.clear();
        timers.window = nullptr;

        // Third ON of units 9 to 16, house C: unit 11.
        QTest::mouseClick(w->cmdON[2], Qt::LeftButton);
        const QString code = QStringLiteral("0100010000001000");
        QCOMPARE(link->decodedBits(), Frame(code));
        QCOMPARE(w->lblGrp().text(), code);
        QCOMPARE(w->lblGrpSave().text(), code);
        QCOMPARE(w->imgLightPicture(), 1);

        // The same command again reaches the macro recorder again (a "0"
        // goes first); the group recorder hears each code once.
        QTest::mouseClick(w->cmdON[2], Qt::LeftButton);
        QCOMPARE(editor.macroLines, (QStringList{"0", code, "0", code}));
        QCOMPARE(editor.groupLines, QStringList{code});

        // A quick click released while the frame is still being sent leaves
        // the lamp out and the flash off.
        bool released = false;
        clock->onProcessEvents = [&] {
            if (!released) {
                released = true;
                QTest::mouseRelease(w->cmdON[2], Qt::LeftButton);
            }
        };
        QTest::mousePress(w->cmdON[2], Qt::LeftButton);
        clock->onProcessEvents = nullptr;
        QVERIFY(released);
        QVERIFY(!w->tmrFlash->isActive());
        QCOMPARE(w->imgLightPicture(), 1);

        // OFF goes to the macro recorder only.
        link->clear();
        QTest::mouseClick(w->cmdOFF[2], Qt::LeftButton);
        QCOMPARE(link->decodedBits(), Frame(QStringLiteral("0100010000101000")));
        QCOMPARE(editor.groupLines, QStringList{code});

        // All Lights Off uses the house byte without the bank bit; the same
        // ALL command twice reaches the recorder once.
        link->clear();
        editor.macroLines.clear();
        QTest::mouseClick(w->cmdAllOff, Qt::LeftButton);
        QTest::mouseClick(w->cmdAllOff, Qt::LeftButton);
        const QString allOff = QStringLiteral("0100000011000000");
        QCOMPARE(link->decodedBits(), Frame(allOff) + Frame(allOff));
        QCOMPARE(editor.macroLines, QStringList{allOff});
        QCOMPARE(w->AllPacket, Frame(allOff));

        // While recording without sending, nothing goes out but the
        // recorders still hear the commands.
        NoSend = true;
        link->clear();
        editor.macroLines.clear();
        QTest::mouseClick(w->cmdON[0], Qt::LeftButton);
        QTest::mouseClick(w->cmdAllOn, Qt::LeftButton);
        QCOMPARE(link->decodedBits(), QString());
        QCOMPARE(editor.macroLines, (QStringList{"0", "0100010000000000", "0100000010010000"}));
        NoSend = false;
    }

    void rightPressWritesTheTimersMailbox()
    {
        PutRec(RecHouse, QStringLiteral("2"));
        PutRec(RecUnitBank, QStringLiteral("True"));
        start();
        link->clear();

        // Timers window not loaded: only the flash.
        QTest::mousePress(w->cmdOFF[2], Qt::RightButton);
        QVERIFY(w->tmrFlash->isActive());
        QTest::mouseRelease(w->cmdOFF[2], Qt::RightButton);
        QCOMPARE(timers.consoleCommandBox().text(), QString());

        TimerEditOpen = true;
        const struct {
            QWidget *button;
            const char *text;
        } cases[] = {{w->cmdOFF[2], "C 11 Off"},
                     {w->cmdON[7], "C 16 On"},
                     {w->cmdAllOff, "C ALL ALF"},
                     {w->cmdAllOn, "C ALL ALN"},
                     {w->cmdAllUOff, "C ALL AUF"}};
        for (const auto &c : cases) {
            QTest::mousePress(c.button, Qt::RightButton);
            QTest::mouseRelease(c.button, Qt::RightButton);
            QCOMPARE(timers.consoleCommandBox().text(), QString::fromLatin1(c.text));
        }
        QCOMPARE(link->decodedBits(), QString());
        QCOMPARE(w->lblGrp().text(), QString());
    }

    void brightRepeatsWhileHeld()
    {
        PutRec(RecHouse, QStringLiteral("2"));
        PutRec(RecUnitBank, QStringLiteral("True"));
        start();
        clock->advanceMs(600); // past the transmitter's power-up after the open
        link->clear();
        editor.macroLines.clear();
        const qint64 t0 = clock->now;
        bool released = false;
        clock->onProcessEvents = [&] {
            if (!released && clock->now - t0 >= 1'000'000'000) {
                released = true;
                QTest::mouseRelease(w->cmdBright, Qt::LeftButton);
            }
        };
        QTest::mousePress(w->cmdBright, Qt::LeftButton);
        clock->onProcessEvents = nullptr;
        QVERIFY(released);
        QVERIFY(!HoldRepeat);
        const QString bright = Frame(QStringLiteral("0100000010001000"));
        const QString bits = link->decodedBits();
        QCOMPARE(bits.size() % 40, 0);
        const int frames = bits.size() / 40;
        QVERIFY2(frames >= 3 && frames <= 5, qPrintable(QString::number(frames)));
        QCOMPARE(bits, bright.repeated(frames));
        QCOMPARE(w->imgLightPicture(), 1);

        // Released while the first pass is still at work (before it starts
        // the flasher): the lamp goes out and stops blinking all the same.
        released = false;
        editor.onMacroLine = [&](const QString &line) {
            if (!released && line != QLatin1String("0")) {
                released = true;
                QTest::mouseRelease(w->cmdBright, Qt::LeftButton);
            }
        };
        QTest::mousePress(w->cmdBright, Qt::LeftButton);
        editor.onMacroLine = nullptr;
        QVERIFY(released);
        QVERIFY(!w->tmrFlash->isActive());
        QCOMPARE(w->imgLightPicture(), 1);

        // A dialog opened by the press (the recorder's pause dialog) takes
        // the release and ends the repeat itself: DIM is not left drawn down.
        editor.onMacroLine = [&](const QString &line) {
            if (line != QLatin1String("0"))
                HoldRepeat = false;
        };
        QTest::mousePress(w->cmdDim, Qt::LeftButton);
        editor.onMacroLine = nullptr;
        QVERIFY(!HoldRepeat);
        QVERIFY(!w->cmdDim->isDown());
        QTest::mouseRelease(w->cmdDim, Qt::LeftButton);

        // DIM stops as soon as exit begins: not one frame after that.
        link->clear();
        clock->onProcessEvents = [&] { AbortSend = true; };
        QTest::mousePress(w->cmdDim, Qt::LeftButton);
        clock->onProcessEvents = nullptr;
        QCOMPARE(link->decodedBits(), QString());
        QTest::mouseRelease(w->cmdDim, Qt::LeftButton);
    }

    void toolTipsFollowTheTipsSwitch()
    {
        PutRec(RecHouse, QStringLiteral("2"));
        PutRec(RecUnitBank, QStringLiteral("True"));
        start();
        auto hover = [](QWidget *control) {
            QEvent enter(QEvent::Enter);
            QApplication::sendEvent(control, &enter);
            return control->toolTip();
        };
        w->chkTips.setText(QStringLiteral("1"));
        QCOMPARE(hover(w->cmdON[2]), QStringLiteral(" Turn Unit 11 ON"));
        QCOMPARE(hover(w->cmdOFF[0]), QStringLiteral(" Turn Unit 9 OFF "));
        QCOMPARE(hover(w->cmdAllUOff), QStringLiteral(" All Units Off "));
        QCOMPARE(hover(w->ImageSlide), QStringLiteral(" Click for Units 1 thru 8 "));
        w->chkTips.setText(QStringLiteral("0"));
        QCOMPARE(hover(w->cmdON[2]), QString());
        QCOMPARE(hover(w->cmdDim), QString());
        // The bank switch keeps its tip while tips are off.
        QCOMPARE(hover(w->ImageSlide), QStringLiteral(" Click for Units 1 thru 8 "));
    }

    void descriptionsAreEditedInPlace()
    {
        PutRec(RecHouse, QStringLiteral("2"));
        PutRec(RecUnitBank, QStringLiteral("True"));
        start();
        w->lblDescription_DblClick(2);
        QVERIFY(w->txtDescription->isVisible());
        QCOMPARE(w->txtDescription->maxLength(), 30);
        w->txtDescription->setText(QStringLiteral("Porch"));
        QTest::keyClick(w->txtDescription, Qt::Key_Return);
        QVERIFY(!w->txtDescription->isVisible());
        QCOMPARE(w->lblDescription[2]->text(), QStringLiteral("Porch"));
        QCOMPARE(GetRec(43), QStringLiteral("C11## Porch"));

        // Emptied: stored as letter, unit and separator; reads back empty.
        w->lblDescription_DblClick(2);
        w->txtDescription->clear();
        QTest::keyClick(w->txtDescription, Qt::Key_Return);
        QCOMPARE(GetRec(43), QStringLiteral("C11## "));
        w->LoadDescs();
        QCOMPARE(w->lblDescription[2]->text(), QString());

        // The longest description is shown whole, typed or loaded; a short
        // one keeps the window's font.
        const auto shownWhole = [this](int row) {
            QLabel *l = w->lblDescription[row];
            return QFontMetrics(l->font()).horizontalAdvance(l->text()) <=
                   l->contentsRect().width();
        };
        const QString longest = QStringLiteral("Kitchen ceiling light, north w");
        QCOMPARE(longest.size(), 30);
        w->lblDescription_DblClick(1);
        w->txtDescription->setText(longest);
        QTest::keyClick(w->txtDescription, Qt::Key_Return);
        QCOMPARE(w->lblDescription[1]->text(), longest);
        QVERIFY(shownWhole(1));
        PutRec(44, QStringLiteral("C12## ") + longest);
        w->LoadDescs();
        QVERIFY(shownWhole(3));
        QVERIFY(w->lblDescription[3]->font().pointSizeF() < w->font().pointSizeF());
        QCOMPARE(w->lblDescription[0]->font(), w->font());
    }

    // Typed text is stored as typed, whatever its script; a description
    // the data file does not take is reported and stays on screen.
    void descriptionsKeepEveryCharacterAndReportFailure()
    {
        PutRec(RecHouse, QStringLiteral("0"));
        start();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w, test::kFirstWindowMs));
        const QString typed = QString::fromUtf8("\xD0\x9A\xD1\x83\xD1\x85\xD0\xBD\xD1\x8F "
                                                "\xC5\x82\xC3\xB3\x64\xC5\xBA");
        QTest::mouseDClick(w->lblDescription[0], Qt::LeftButton);
        w->txtDescription->clear();
        for (const QChar ch : typed) { // typed on a keyboard that has these letters
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(ch));
            QApplication::sendEvent(w->txtDescription, &press);
        }
        QTest::keyClick(w->txtDescription, Qt::Key_Return);
        QCOMPARE(GetRec(DeviceRec(0, 1)), "A1## " + typed);
        w->LoadDescs();
        QCOMPARE(w->lblDescription[0]->text(), typed);

        dialogs.infos.clear();
        QTest::mouseDClick(w->lblDescription[1], Qt::LeftButton);
        w->txtDescription->clear();
        QTest::keyClicks(w->txtDescription, QStringLiteral("Hall"));
        {
            test::ScopedSaveFault fault(SaveFault::DiskFull, QStringLiteral("db.zvd"), 40);
            QTest::keyClick(w->txtDescription, Qt::Key_Return);
            QCOMPARE(fault.hits(), 1);
        }
        QCOMPARE(w->lblDescription[1]->text(), QStringLiteral("Hall"));
        bool ok = false;
        QCOMPARE(GetRec(DeviceRec(0, 2), true, &ok), QString());
        QVERIFY(ok);
        QCOMPARE(dialogs.infos.size(), 1);
        QVERIFY(dialogs.infos[0].contains("could not be saved"));
    }

    void switchingWhileEditingStoresTheEditWhereItWasOpened()
    {
        start(); // house A, units 1 to 8
        // House switch: the edit of A 2 stays with A 2.
        w->lblDescription_DblClick(1);
        w->txtDescription->setText(QStringLiteral("Kitchen"));
        w->cboHouse->setCurrentIndex(3);
        w->cboHouse_Click();
        QCOMPARE(GetRec(DeviceRec(0, 2)), QStringLiteral("A2## Kitchen"));
        QCOMPARE(GetRec(DeviceRec(3, 2)), QString());
        QCOMPARE(w->lblDescription[1]->text(), QString());
        QVERIFY(!w->txtDescription->isVisible());

        // Bank switch: the edit of D 3 stays with D 3, not D 11.
        w->lblDescription_DblClick(2);
        w->txtDescription->setText(QStringLiteral("Garage"));
        w->ImageSlide_Click();
        QCOMPARE(GetRec(DeviceRec(3, 3)), QStringLiteral("D3## Garage"));
        QCOMPARE(GetRec(DeviceRec(3, 11)), QString());
        QCOMPARE(GetRec(RecHouse), QStringLiteral("3"));
        QCOMPARE(GetRec(RecUnitBank), QStringLiteral("True"));
    }

    void handOverOfPreviousAndUninstall()
    {
        start();
        MainView = true;
        w->txtCommand().setText(QStringLiteral("previous"));
        QCOMPARE(w->txtCommand().text(), QString());
        QVERIFY(w->isVisible());

        w->txtCommand().setText(QStringLiteral("\"/tmp/some where/unst.zvu\""));
        QCOMPARE(uninstaller.shown, 1);
        QCOMPARE(w->txtCommand().text(), QString());

        // Anything else stays and does nothing.
        w->txtCommand().setText(QStringLiteral("/tmp/notes.txt"));
        QCOMPARE(w->txtCommand().text(), QStringLiteral("/tmp/notes.txt"));
        QVERIFY(w->pendingMacros().isEmpty());
    }

    void handedOverMacrosWaitForThePortAndPlayInOrder()
    {
        const QString code = QStringLiteral("0100010000001000");
        const QString path =
            writeMacro(QStringLiteral("Odd name (1).CRO"), "\"" + code.toLatin1() + "0000\"\r\n");
        link = ownLink.get();
        w = new frmFire(link);
        SetMainWindow(w);
        // The command line arrives before the load.
        w->txtCommand().setText(QLatin1Char('"') + path + QLatin1Char('"'));
        w->Form_Load();
        QCOMPARE(w->pendingMacros(), QStringList{path});
        w->tmrAcro_Timer();
        QCOMPARE(link->decodedBits(), QString()); // port not open yet
        w->afterStart_Timer();
        QVERIFY(link->portOpen());
        QVERIFY(w->tmrAcro->isActive());

        // A second hand-over of the same file while the first plays is kept.
        bool handed = false;
        clock->onProcessEvents = [&] {
            if (!handed && w->macroPlaying()) {
                handed = true;
                w->txtCommand().setText(path);
            }
        };
        w->tmrAcro_Timer();
        clock->onProcessEvents = nullptr;
        QVERIFY(handed);
        const QString once = kLead + Frame(code) + kClose + kClose;
        QCOMPARE(link->decodedBits(), once + once);
        QVERIFY(w->pendingMacros().isEmpty());
        QCOMPARE(timers.loopValues, (QList<int>{0, 0, 0, 0}));
    }

    // A macro handed over while the port cannot open says so in the title
    // strip until the port opens and it plays.
    void macroWaitingForThePortIsShown()
    {
        const QString code = QStringLiteral("0100010000001000");
        const QString path =
            writeMacro(QStringLiteral("wait.cro"), "\"" + code.toLatin1() + "0000\"\r\n");
        ownLink->busyPorts << QStringLiteral("1");
        start();
        QVERIFY(!link->portOpen());
        const QString title = w->lblCaption->text();

        w->txtCommand().setText(path);
        w->tmrAcro_Timer();
        QVERIFY(w->macroWaiting());
        QCOMPARE(w->lblCaption->text(), QStringLiteral("Macro waits for port"));
        QCOMPARE(link->decodedBits(), QString());
        w->tmrAcro_Timer(); // still waiting: nothing changes
        QCOMPARE(w->lblCaption->text(), QStringLiteral("Macro waits for port"));

        // The port opens (as the port dialog's Apply does): the macro plays.
        ownLink->busyPorts.clear();
        QVERIFY(link->setPortOpen(true) == PortError::None);
        w->tmrAcro_Timer();
        QCOMPARE(link->decodedBits(), kLead + Frame(code) + kClose + kClose);
        QVERIFY(!w->macroWaiting());
        QCOMPARE(w->lblCaption->text(), title);
    }

    void initializeReportsEveryPortFailure()
    {
        // Not set up: a message and the port dialog.
        PutRec(270, QStringLiteral(" "));
        start();
        QVERIFY(!link->portOpen());
        QCOMPARE(dialogs.messages.size(), 1);
        QVERIFY(dialogs.messages[0].contains(QStringLiteral("has not been set up")));
        QVERIFY(PortSetupIfLoaded());
        destroyWindow();

        // Busy: one retry, then the modal message.
        dialogs.messages.clear();
        dialogs.modal.clear();
        PutRec(270, QStringLiteral("2"));
        ownLink->busyPorts << QStringLiteral("2");
        start();
        QVERIFY(!link->portOpen());
        QCOMPARE(dialogs.messages.size(), 1);
        QVERIFY(dialogs.messages[0].startsWith(QStringLiteral("Error: Unable to initialize")));
        QCOMPARE(dialogs.modal, QList<bool>{true});
        QCOMPARE(w->Tag, QString());
        destroyWindow();

        // Any other failure is reported as a failure.
        dialogs.messages.clear();
        BrokenLink broken;
        start(&broken);
        dialogs.messages.clear();
        QVERIFY(!w->Initialize());
        QCOMPARE(dialogs.messages, QStringList{QStringLiteral("Input/output error")});
    }

    // The check boxes of the shown, active window take real clicks: the left
    // button toggles them; the right one opens the timers window or the
    // group editor, not the main pop-up menu.
    void switchesTakeMouseClicksInTheActiveWindow()
    {
        PutRec(RecTimersOn, QStringLiteral("0"));
        PutRec(RecGroupsShown, QStringLiteral("0"));
        QWidget timersWindow;
        timers.window = &timersWindow;
        start();
        w->show();
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w, test::kFirstWindowMs));
        QVERIFY(!w->Check1->isChecked());

        QTest::mouseClick(w->Check1, Qt::LeftButton, {}, QPoint(8, w->Check1->height() / 2));
        QVERIFY(w->Check1->isChecked());
        QVERIFY(timers.timersEnabled);
        QCOMPARE(w->Text2.text(), QStringLiteral("1"));
        QVERIFY(w->Focus->hasFocus()); // the mouse-up still moves the focus away

        QTest::mouseClick(w->ckbGroups, Qt::LeftButton, {}, QPoint(8, w->ckbGroups->height() / 2));
        QVERIFY(w->ckbGroups->isChecked());
        QCOMPARE(GetRec(RecGroupsShown), QStringLiteral("1"));
        QCOMPARE(w->width(), 6400 / 15);

        QTest::mouseClick(w->Check1, Qt::RightButton, {}, QPoint(8, w->Check1->height() / 2));
        QVERIFY(w->Check1->isChecked()); // the right button does not toggle
        QVERIFY(timersWindow.isVisible());
        QVERIFY(!w->Popup1->isVisible());

        QTest::mouseClick(w->ckbGroups, Qt::RightButton, {}, QPoint(8, w->ckbGroups->height() / 2));
        QVERIFY(w->ckbGroups->isChecked());
        QCOMPARE(editor.pages, QList<int>{1});
        QVERIFY(!w->Popup1->isVisible());
        timersWindow.hide();

        // At exit the switch as clicked goes into its record.
        w->cmdExit_Click();
        QVERIFY(OpenDataFile(InProgramFolder(QStringLiteral("db.zvd"))));
        QCOMPARE(GetRec(RecTimersOn), QStringLiteral("1"));
    }

    // The first-time update question waits for its answer outside the
    // clock's tick: the clock goes on ticking meanwhile.
    void clockTicksWhileTheUpdateQuestionIsOpen()
    {
        DeleteSet(QStringLiteral("Settings"), QStringLiteral("ChkForUpdts"));
        start();
        test::ScriptedDialogs asking;
        asking.answers = {2};
        int ticksWhileOpen = -1;
        QString clockWhileOpen;
        asking.whileOpen = [&] {
            QSignalSpy ticks(w->tmrClock, &QTimer::timeout);
            w->lblClock->clear();
            ticksWhileOpen = QTest::qWaitFor([&] { return ticks.count() > 0; }, test::kStepMs)
                                 ? int(ticks.count())
                                 : 0;
            clockWhileOpen = w->lblClock->text();
        };
        SetDialogProvider(&asking);
        // Up to the tick before the question; the next one comes from the
        // running clock itself.
        for (int k = 0; k < 59; ++k)
            w->tmrClock_Timer();
        QVERIFY(asking.asked.isEmpty());
        w->tmrClock->setInterval(5);
        w->tmrClock->start();
        QTRY_VERIFY_WITH_TIMEOUT(!asking.asked.isEmpty(), test::kStepMs);
        w->tmrClock->stop();
        SetDialogProvider(&dialogs);
        QCOMPARE(asking.asked.size(), 1);
        QVERIFY2(ticksWhileOpen > 0, qPrintable(QString::number(ticksWhileOpen)));
        QVERIFY(!clockWhileOpen.isEmpty());
        QCOMPARE(GetSet(QStringLiteral("Settings"), QStringLiteral("ChkForUpdts")),
                 QStringLiteral("0"));
    }

    // A first start as the user meets it, on the real message windows: the
    // port message, the port dialog taking clicks beside it, and the update
    // question only once both are answered (also when the port dialog is
    // cancelled), asked once, with the clock going on while it is open.
    void firstStartAsksAboutUpdatesAfterThePort_data()
    {
        QTest::addColumn<bool>("cancelPort");
        QTest::newRow("port chosen") << false;
        QTest::newRow("port dialog cancelled") << true;
    }

    void firstStartAsksAboutUpdatesAfterThePort()
    {
        QFETCH(bool, cancelPort);
        const auto shownInfo = [](const QString &text) -> frmInfo * {
            for (frmInfo *info : test::ShownDialogs()) {
                if (info->lbl1->text().contains(text))
                    return info;
            }
            return nullptr;
        };
        const QString question = QStringLiteral("check for updates once a week");
        PutRec(270, QString());
        PutRec(RecLastStart, QString());
        DeleteSet(QStringLiteral("Settings"), QStringLiteral("ChkForUpdts"));
        SetDialogProvider(nullptr);
        UnloadPortDialog();
        start();
        w->show();

        // Each question as it shows: what else is open, whether the clock
        // goes on while it waits; then No.
        int questions = 0;
        bool othersOpen = false;
        int ticksWhileOpen = 0;
        QSignalSpy ticks(w->tmrClock, &QTimer::timeout);
        qsizetype ticksAtQuestion = -1;
        QElapsedTimer openFor;
        QTimer watch;
        QPointer<frmInfo> seen;
        connect(&watch, &QTimer::timeout, this, [&] {
            frmInfo *asking = shownInfo(question);
            if (!asking)
                return;
            if (asking != seen) {
                seen = asking;
                ++questions;
                const frmSetup *port = PortSetupIfLoaded();
                othersOpen = othersOpen || (port && port->isVisible()) ||
                             shownInfo(QStringLiteral("has not been set up"));
                ticksAtQuestion = ticks.count();
                openFor.start();
                return;
            }
            if (ticks.count() > ticksAtQuestion + 3 || openFor.elapsed() > test::kStepMs) {
                ticksWhileOpen = int(ticks.count() - ticksAtQuestion);
                QTest::mouseClick(asking->cmdNo, Qt::LeftButton);
            }
        });
        watch.start(10);
        // The clock runs fast: a question's 30 seconds pass in 0.3 s.
        w->tmrClock->setInterval(5);
        w->tmrClock->start();

        frmInfo *message = shownInfo(QStringLiteral("has not been set up"));
        QVERIFY(message);
        frmSetup *port = PortSetupIfLoaded();
        QVERIFY(port && port->isVisible());
        QTest::mouseClick(port->optComm[2], Qt::LeftButton, {},
                          QPoint(8, port->optComm[2]->height() / 2));
        QVERIFY(port->optComm[2]->isChecked());
        QTest::qWait(test::kNothingHappensMs);
        QCOMPARE(questions, 0);

        QTest::mouseClick(message->cmdOK, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!shownInfo(QStringLiteral("has not been set up")), test::kStepMs);
        QTest::qWait(test::kNothingHappensMs);
        QCOMPARE(questions, 0); // the port dialog is still open

        QTest::mouseClick(cancelPort ? port->cmdCancel : port->cmdOK, Qt::LeftButton);
        QVERIFY(!port->isVisible());
        QTRY_COMPARE_WITH_TIMEOUT(GetSet(QStringLiteral("Settings"), QStringLiteral("ChkForUpdts")),
                                  QStringLiteral("0"), test::kFirstWindowMs);
        QCOMPARE(questions, 1);
        QVERIFY(!othersOpen);
        QVERIFY(ticksWhileOpen > 3);
        // Asked once: the clock goes on without asking again.
        QTest::qWait(test::kNothingHappensMs);
        watch.stop();
        w->tmrClock->stop();
        QCOMPARE(questions, 1);
        QVERIFY(!shownInfo(question));
        QCOMPARE(GetRec(270), cancelPort ? QString() : QStringLiteral("2"));
    }

    // The console has no frame a window manager could move it by: a place
    // left by a larger or a second screen brings all of it back on this one,
    // "-" and "X" included. A place on the screen is kept as it is stored,
    // and one never stored stores the default it was put at (500, not 495).
    void storedPlaceComesBackOnTheScreen()
    {
        QCOMPARE(QGuiApplication::primaryScreen()->availableGeometry(), QRect(0, 0, 800, 800));
        const QRect screen(0, 0, 800, 800);
        const struct {
            QByteArray file;
            QRect frame;
            QString left, top; // stored after "X"
        } cases[] = {
            {"[Settings]\r\nMainLeft=30000\r\nMainTop=30000\r\n",
             {514, 428, 286, 372},
             "7710",
             "6420"},
            {"[Settings]\r\nMainLeft=1507\r\nMainTop=3014\r\n",
             {100, 200, 286, 372},
             "1507",
             "3014"},
            {"[Settings]\r\n", {33, 33, 286, 372}, "500", "500"},
        };
        UnloadPortDialog();
        for (const auto &c : cases) {
            {
                QFile f(SettingsFilePath());
                QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
                QCOMPARE(f.write(c.file), qint64(c.file.size()));
            }
            QVERIFY(DataFileIsOpen() || OpenDataFile(InProgramFolder(QStringLiteral("db.zvd"))));
            start();
            w->show();
            QVERIFY(QTest::qWaitForWindowExposed(w, test::kFirstWindowMs));
            QCOMPARE(w->frameGeometry(), c.frame);
            for (QWidget *l :
                 {static_cast<QWidget *>(w->lblMin), static_cast<QWidget *>(w->lblExit)})
                QVERIFY(screen.contains(QRect(l->mapToGlobal(QPoint(0, 0)), l->size())));
            QTest::mouseClick(w->lblExit, Qt::LeftButton);
            QVERIFY(!DataFileIsOpen());
            QCOMPARE(GetSet(QStringLiteral("Settings"), QStringLiteral("MainLeft")), c.left);
            QCOMPARE(GetSet(QStringLiteral("Settings"), QStringLiteral("MainTop")), c.top);
            destroyWindow();
        }
    }

    // Double-click a description, type, click "X": the text is kept.
    void exitKeepsTheDescriptionBeingTyped()
    {
        // The main window alone, as the user has it: no window left by an
        // earlier test takes the focus while the others unload.
        UnloadPortDialog();
        start();
        w->show();
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w, test::kFirstWindowMs));
        QTest::mouseDClick(w->lblDescription[1], Qt::LeftButton);
        QVERIFY(w->txtDescription->isVisible());
        QTest::keyClicks(w->txtDescription, QStringLiteral("Pantry shelf"));
        QTest::mouseClick(w->lblExit, Qt::LeftButton);
        QVERIFY(!DataFileIsOpen());
        QVERIFY(OpenDataFile(InProgramFolder(QStringLiteral("db.zvd"))));
        QCOMPARE(GetRec(DeviceRec(0, 2)), QStringLiteral("A2## Pantry shelf"));
    }

    // A label as long as the group editor allows (30 characters), or a unit
    // description of 30 wide characters, is either shown whole or shortened
    // with "…" and shown whole in its tool tip, never cut off silently.
    void longGroupLabelsAndDescriptionsStayReadable()
    {
        const QString wide = QString(30, QLatin1Char('W'));
        const QString label = QStringLiteral("Living room lamps and hallway");
        QVERIFY(label.size() <= 30);
        PutRec(DeviceRec(0, 1), DeviceRecText(QStringLiteral("A"), 1, wide));
        start();
        w->setGroupLabel(0, label);
        w->setGroupLabel(1, QStringLiteral("Hall"));
        w->ckbGroups->setChecked(true);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w, test::kFirstWindowMs));
        const auto readable = [](EventLabel *l, const QString &full) {
            if (QFontMetrics(l->font()).horizontalAdvance(full) <= l->contentsRect().width())
                return l->shownText() == full;
            // Shortened: what is drawn fits and ends with the ellipsis, and
            // the tool tip gives the whole text.
            if (!l->shownText().endsWith(QChar(0x2026)) ||
                QFontMetrics(l->font()).horizontalAdvance(l->shownText()) >
                    l->contentsRect().width())
                return false;
            QHelpEvent help(QEvent::ToolTip, QPoint(2, 2), l->mapToGlobal(QPoint(2, 2)));
            QApplication::sendEvent(l, &help);
            const bool tipped =
                QToolTip::isVisible() && QTextDocumentFragment::fromHtml(QToolTip::text())
                                             .toPlainText()
                                             .remove(QChar(0x200B))
                                             .contains(full);
            QToolTip::hideText();
            return tipped;
        };
        QCOMPARE(w->groupLabel(0), label);
        QVERIFY(readable(w->lblGrpLbl[0], label));
        QVERIFY(readable(w->lblGrpLbl[1], QStringLiteral("Hall")));
        QCOMPARE(w->lblGrpLbl[1]->shownText(), QStringLiteral("Hall"));
        QCOMPARE(w->lblDescription[0]->text(), wide);
        QVERIFY(readable(w->lblDescription[0], wide));
    }

    void exitStopsAPlayingMacro()
    {
        const QString code = QStringLiteral("0100010000001000");
        const QString path = writeMacro(QStringLiteral("long.cro"),
                                        ("\"" + code.toLatin1() + "0009\"\r\n").repeated(5));
        start();
        link->clear();
        QSignalSpy ended(w, &frmFire::programEnded);
        const qint64 t0 = clock->now;
        bool exited = false;
        clock->onProcessEvents = [&] {
            if (!exited && clock->now - t0 > 3'000'000'000) {
                exited = true;
                w->cmdExit_Click();
            }
        };
        w->CroSend(path);
        clock->onProcessEvents = nullptr;
        QVERIFY(exited);
        QCOMPARE(ended.count(), 1);
        QCOMPARE(link->decodedBits(), kLead + Frame(code));
    }
};

QELT_TEST_MAIN(FrmFireTest)
#include "tst_frmFire.moc"
