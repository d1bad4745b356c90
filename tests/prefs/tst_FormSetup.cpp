#include "prefs/FormSetup.h"

#include "console/frmFire.h"
#include "core/EventControls.h"
#include "core/FileTypes.h"
#include "core/services/PrefsServices.h"
#include "core/services/SchedulerServices.h"
#include "logic/CityTable.h"
#include "logic/DataFile.h"
#include "logic/Globals.h"
#include "logic/ProgramFolder.h"
#include "logic/SchedulerClock.h"
#include "logic/SerialLink.h"
#include "logic/Settings.h"
#include "logic/clsSunrise.h"
#include "prefs/SetupAdvancedPage.h"
#include "prefs/SetupGeneralPage.h"
#include "prefs/SetupLocationPage.h"
#include "prefs/SetupPanicPage.h"
#include "prefs/SetupSoundsPage.h"
#include "scheduler/FrmTimers.h"
#include "scheduler/frmTimerStatus.h"
#include "tests/support/Bounds.h"
#include "tests/support/FakeMainWindow.h"
#include "tests/support/FakeTimers.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/ShownDialogs.h"
#include "tests/support/TestEnv.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMap>
#include <QMenu>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QScrollBar>
#include <QSettings>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include <map>
#include <memory>

using namespace qelt;

namespace {

// The main window as the preferences see it: its option boxes and menu marks.
class PrefsMainWindow : public test::FakeMainWindow {
public:
    PrefsMainWindow()
    {
        for (const char *n :
             {"chkTips", "txtGrpDelayB", "chbPanicOn", "txtMinimizeSave", "txtPanicNm",
              "txtPanicBcolor", "txtPanicMin", "txtPanicSec", "txtGroupNum"}) {
            const QString name = QLatin1String(n);
            boxes[name].setHandler([this, name](const QString &t) { changes << name + "=" + t; });
        }
    }
    std::map<QString, Mailbox> boxes;
    QStringList changes;
    bool minToTray = false;
    bool associate = false;
    QString panicRun;

    Mailbox *optionBox(const QString &name) override
    {
        auto it = boxes.find(name);
        return it == boxes.end() ? nullptr : &it->second;
    }
    // The tool-tip switch is the main window's "chkTips" box.
    bool toolTipsOn() const override { return boxes.at(QStringLiteral("chkTips")).text() == "1"; }
    void setMnuMinToTray(bool checked) override { minToTray = checked; }
    bool mnuAssociateChecked() const override { return associate; }
    void setMnuAssociate(bool checked) override { associate = checked; }
    void setMnuPanicRunText(const QString &text) override { panicRun = text; }
    QString box(const char *name) { return boxes[QLatin1String(name)].text(); }
    void fill(const char *name, const QString &text) { boxes[QLatin1String(name)].setText(text); }
};

class FakeHelp : public HelpService {
public:
    QStringList calls;
    void open(const QString &address) override { calls << "open " + address; }
    void unload() override { calls << QStringLiteral("unload"); }
};

using Snapshot = QMap<QString, QString>;

Snapshot TakeSnapshot()
{
    QSettings s(SettingsFilePath(), QSettings::IniFormat);
    Snapshot snap;
    for (const QString &k : s.allKeys())
        snap[k] = s.value(k).toString();
    return snap;
}

// "key=value" for every value added or changed, "-key" for every one removed,
// sorted and joined by " | ".
QString Changes(const Snapshot &before, const Snapshot &after)
{
    QStringList out;
    for (auto it = after.begin(); it != after.end(); ++it) {
        if (!before.contains(it.key()) || before[it.key()] != it.value())
            out << it.key() + "=" + it.value();
    }
    for (auto it = before.begin(); it != before.end(); ++it) {
        if (!after.contains(it.key()))
            out << "-" + it.key();
    }
    out.sort();
    return out.join(QStringLiteral(" | "));
}

void Set(const char *key, const QString &value)
{
    SaveSet(QStringLiteral("Settings"), QLatin1String(key), value);
}
QString Get(const char *key, const QString &def = QStringLiteral("<none>"))
{
    return GetSet(QStringLiteral("Settings"), QLatin1String(key), def);
}

void NoRefresh(const QString &, const QStringList &) {}

// Stores "Settings" values from a process of its own, as the updater does
// while the preferences are open: the file is read, changed and written by
// that process, with no part of this program's settings code.
bool StoreFromAnotherProgram(const QStringList &keyValues)
{
    const QString python = QStandardPaths::findExecutable(QStringLiteral("python3"));
    if (python.isEmpty()) {
        qWarning("python3 is not installed");
        return false;
    }
    static const char script[] = R"(
import configparser, sys
path = sys.argv[1]
store = configparser.RawConfigParser(delimiters=("=",))
store.optionxform = str
store.read(path, encoding="utf-8")
if not store.has_section("Settings"):
    store.add_section("Settings")
for pair in sys.argv[2:]:
    key, value = pair.split("=", 1)
    store.set("Settings", key, value)
with open(path, "w", encoding="utf-8") as f:
    store.write(f, space_around_delimiters=False)
)";
    QProcess writer;
    writer.setProcessChannelMode(QProcess::ForwardedChannels);
    writer.start(
        python, QStringList{QStringLiteral("-c"), QString::fromLatin1(script), SettingsFilePath()} +
                    keyValues);
    return writer.waitForFinished(test::kChildMs) && writer.exitStatus() == QProcess::NormalExit &&
           writer.exitCode() == 0;
}

} // namespace

class FormSetupTest : public QObject {
    Q_OBJECT

    PrefsMainWindow *mw = nullptr;
    test::FakeTimers timers;
    FakeHelp help;
    test::ScriptedDialogs dialogs;
    std::unique_ptr<FormSetup> w;
    QString dataFile;

    FormSetup &load()
    {
        w = std::make_unique<FormSetup>();
        w->Form_Load();
        return *w;
    }
    // Loaded and shown, as the program opens it, ready for clicks and keys.
    FormSetup &open()
    {
        FormSetup &f = load();
        f.show();
        [&f] { QVERIFY(QTest::qWaitForWindowActive(&f, test::kFirstWindowMs)); }();
        return f;
    }
    static void click(QWidget *control, Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mouseClick(control, button);
    }
    // Clicks a switch, check box or option near its left end, where the
    // box of a check box or option is.
    static void press(QAbstractButton *control)
    {
        QTest::mouseClick(control, Qt::LeftButton, {}, QPoint(8, control->height() / 2));
    }
    // Brings a page to the front by clicking its tab.
    static void tab(FormSetup &f, int index)
    {
        QTabBar *bar = f.SSTab1->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
    }
    // One tick of the window's Apply timer.
    [[nodiscard]] static bool tick(FormSetup &f)
    {
        QSignalSpy ticks(f.tmrApply, &QTimer::timeout);
        return ticks.wait(test::kStepMs);
    }
    // Apply as the user clicks it, once the timer has enabled it.
    [[nodiscard]] static bool apply(FormSetup &f)
    {
        if (!QTest::qWaitFor([&f] { return f.cmdApply->isEnabled(); }, test::kStepMs))
            return false;
        QTest::mouseClick(f.cmdApply, Qt::LeftButton);
        return true;
    }
    // Clicks a sound event in the list on the sounds page.
    static void chooseSound(FormSetup &f, int row)
    {
        tab(f, 3);
        QListWidget *list = f.sounds->List1;
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->item(row)).center());
    }
    // Picks a row of the city list from its opened list.
    static bool chooseCity(FormSetup &f, int row)
    {
        QComboBox *combo = f.location->Combo1;
        QTest::mouseClick(combo, Qt::LeftButton, {},
                          QPoint(combo->width() - 6, combo->height() / 2));
        QAbstractItemView *view = combo->view();
        if (!QTest::qWaitFor([view] { return view->isVisible(); }, test::kStepMs))
            return false;
        // A release that comes at once after opening is taken as part of
        // the opening click. The popup stops ignoring releases from a timer
        // of its own, which a loaded machine may run later than this pause:
        // then the click is ignored, and clicked again until it is taken.
        QTest::qWait(QApplication::doubleClickInterval() + 50);
        const QModelIndex index = view->model()->index(row, 0);
        view->scrollTo(index);
        QElapsedTimer clicking;
        clicking.start();
        do {
            QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                              view->visualRect(index).center());
            if (QTest::qWaitFor([view] { return !view->isVisible(); }, test::kSettleMs))
                return true;
        } while (clicking.elapsed() < test::kStepMs);
        return false;
    }
    // The panic mailboxes as the main window fills them at its start.
    void mainWindowPanic(const QString &name, const QString &colour, const QString &min,
                         const QString &sec, const QString &group)
    {
        mw->fill("txtPanicNm", name);
        mw->fill("txtPanicBcolor", colour);
        mw->fill("txtPanicMin", min);
        mw->fill("txtPanicSec", sec);
        mw->fill("txtGroupNum", group);
        mw->changes.clear();
    }

private slots:
    void initTestCase()
    {
        SetDialogProvider(&dialogs);
        timers.loaded = false;
        SetTimers(&timers);
        SetHelp(&help);
        SetDesktopRefreshRunner(&NoRefresh);
        dataFile = InProgramFolder(QStringLiteral("db.zvd"));
    }
    void cleanupTestCase()
    {
        w.reset();
        SetMainWindow(nullptr);
        SetTimers(nullptr);
        SetHelp(nullptr);
        SetDialogProvider(nullptr);
        CloseDataFile();
    }
    void init()
    {
        w.reset();
        QFile::remove(SettingsFilePath());
        CloseDataFile();
        QFile::remove(dataFile);
        QVERIFY(OpenDataFile(dataFile));
        delete mw;
        mw = new PrefsMainWindow;
        SetMainWindow(mw);
        mainWindowPanic(QStringLiteral("Pa&nic"), QString(), QString(), QString(), QString());
        dialogs = test::ScriptedDialogs();
        timers.calls.clear();
        help.calls.clear();
        PrefsOpen = false;
        AssocOn = false;
        SoundsOn = true;
        MinOnStart = false;
        ClickSound = InProgramFolder(QStringLiteral("click.wav"));
        ZoomSound = InProgramFolder(QStringLiteral("expand.wav"));
        RecordSound = InProgramFolder(QStringLiteral("rec.wav"));
        TimerSound = InProgramFolder(QStringLiteral("tmrstart.wav"));
        TickSound = InProgramFolder(QStringLiteral("tick.wav"));
    }

    void loadShowsStoredValues()
    {
        Set("MinToTray", "1");
        Set("MinOnStart", "True");
        Set("GrpDelayB", "0");
        Set("PanicButton", "1");
        Set("ChkForUpdts", "1");
        Set("ChkUpdtsTime", "7");
        Set("SendOnRecord", "0");
        Set("GPause", "0.8");
        Set("MaxLogSize", "300");
        Set("KeepLogSize", "200");
        Set("MaxLogFileLines", "1000");
        Set("TrimTimerLog", "0");
        Set("CityLatitude", "41.51");
        Set("CityLongitude", "87.39");
        Set("CityZone", "6");
        Set("CityName", "Chicago, IL");
        SaveSet("Sounds", "TimerTsound", "0");
        mw->fill("chkTips", "0");
        mainWindowPanic("&Fire", "3", "1", "20", "5");
        ClickSound = "none";

        FormSetup &f = load();
        QVERIFY(PrefsOpen);
        QVERIFY(!f.general->Check2[0]->isChecked());
        QVERIFY(f.general->Check2[1]->isChecked());
        QCOMPARE(f.general->Check2[1]->text(), QStringLiteral("ON"));
        QVERIFY(f.general->Check2[2]->isChecked());
        QVERIFY(!f.general->Check2[4]->isChecked());
        QCOMPARE(f.general->Check2[4]->text(), QStringLiteral("OFF"));
        QVERIFY(f.general->Check2[5]->isChecked());
        QVERIFY(f.panic->Check1->isChecked());
        QVERIFY(!f.general->Check2[6]->isChecked());
        QVERIFY(f.general->Check3->isChecked());
        QVERIFY(!f.general->chkTSound->isChecked());
        QVERIFY(f.general->chkMsound->isChecked());
        QVERIFY(f.advanced->chkUpdates->isChecked());
        QVERIFY(f.advanced->lblAutoCheckTime->isEnabled());
        QCOMPARE(f.advanced->txtUpdateHour->text(), QStringLiteral("7"));
        QVERIFY(!f.advanced->ckRecording->isChecked());
        QCOMPARE(f.advanced->txtGpause->text(), QStringLiteral("0.8"));
        QCOMPARE(f.advanced->HScroll1->value(), 80);
        QCOMPARE(f.advanced->txtMaxLog->text(), QStringLiteral("300"));
        QCOMPARE(f.advanced->txtMinLog->text(), QStringLiteral("200"));
        QCOMPARE(f.advanced->txtMaxLogFile->text(), QStringLiteral("1000"));
        QVERIFY(!f.advanced->TrimLog->isChecked());
        QVERIFY(!f.advanced->txtMaxLogFile->isEnabled());
        // Panic page from the main window's boxes.
        QCOMPARE(f.panic->txtBcaption->text(), QStringLiteral("&Fire"));
        QCOMPARE(f.panic->txtMin->text(), QStringLiteral("1"));
        QCOMPARE(f.panic->txtSec->text(), QStringLiteral("20"));
        QCOMPARE(f.panic->txtGroupNum->text(), QStringLiteral("5"));
        QVERIFY(f.panic->Option1[3]->isChecked());
        QCOMPARE(f.panic->PanicColorIndex, 3);
        // Location and its test lines.
        QCOMPARE(f.location->txtLat->text(), QStringLiteral("41.51"));
        QCOMPARE(f.location->txtZone->text(), QStringLiteral("6"));
        QCOMPARE(f.location->lblCityName->text(), QStringLiteral(" Chicago, IL "));
        QVERIFY(f.location->Text1->text().startsWith(QStringLiteral("Today's Sunrise: ")));
        QVERIFY(f.location->Text2->text().startsWith(QStringLiteral("Today's Sunset: ")));
        QCOMPARE(f.location->Combo1->count(), CityTable::BuiltIn().CityCount());
        QCOMPARE(f.location->Combo1->currentText(), QStringLiteral("   ----- Select City -----"));
        // Sounds page.
        QCOMPARE(f.sounds->Label2[0]->text(), QStringLiteral("none"));
        QCOMPARE(f.sounds->Label2[4]->text(), TickSound);
        QCOMPARE(f.sounds->List1->count(), 5);
        QCOMPARE(f.sounds->List1->item(3)->text(), QStringLiteral(" Timer Starts"));
        // Nothing is pending: Apply stays off.
        QVERIFY(!f.panic->PanicChanged && !f.location->LocChanged && !f.sounds->SndChanged &&
                !f.advanced->AdvChanged);
        QVERIFY(tick(f));
        QVERIFY(!f.cmdApply->isEnabled());
        // The boxes loaded as ticked rewrote their mirrors.
        QCOMPARE(mw->box("txtMinimizeSave"), QStringLiteral("11"));
        QVERIFY(mw->minToTray);
        QVERIFY(MinOnStart);
    }

    void firstOpenDefaults()
    {
        const Snapshot before = TakeSnapshot();
        FormSetup &f = open();
        QVERIFY(f.location->txtLat->text().isEmpty());
        QVERIFY(f.location->txtLong->text().isEmpty());
        QCOMPARE(f.location->txtZone->text(), QString::number(f.location->PcZoneHours));
        QVERIFY(f.location->LocChanged);
        QVERIFY(tick(f));
        QVERIFY(f.cmdApply->isEnabled());
        // "ChkForUpdts" was never answered: unticked, and nothing written.
        QVERIFY(!f.advanced->chkUpdates->isChecked());
        QVERIFY(!f.advanced->lblAutoCheckTime->isEnabled());
        QCOMPARE(f.panic->txtGroupNum->text(), QStringLiteral("8"));
        QCOMPARE(f.advanced->txtGpause->text(), QStringLiteral("0.6"));
        QCOMPARE(f.advanced->HScroll1->value(), 60);
        // Only the boxes loaded as ticked wrote their (default) values.
        QCOMPARE(Changes(before, TakeSnapshot()),
                 QStringList({"Settings/GrpDelayB=1", "Settings/PanicButton=1",
                              "Settings/SendOnRecord=1", "Settings/Sounds=True",
                              "Sounds/TimerMsound=1", "Sounds/TimerTsound=1"})
                     .join(" | "));
        // Apply stores the zone and empty coordinates.
        QVERIFY(apply(f));
        QCOMPARE(Get("CityZone"), QString::number(f.location->PcZoneHours));
        QCOMPARE(Get("CityLatitude"), QString());
        QCOMPARE(Get("CityLongitude"), QString());
        QVERIFY(!f.cmdApply->isEnabled());
    }

    void applyWritesThePagesValues()
    {
        mainWindowPanic("Pa&nic", "0", "00", "30", "6");
        FormSetup &f = open();
        QVERIFY(apply(f)); // the pending location of a first open
        const Snapshot before = TakeSnapshot();
        mw->changes.clear();

        tab(f, 1);
        f.panic->txtBcaption->setText("&Quick");
        press(f.panic->Option1[2]);
        f.panic->txtMin->setText("2");
        f.panic->txtSec->setText("15");
        f.panic->txtGroupNum->setText("3");
        f.advanced->txtMaxLog->setText("600");
        f.advanced->txtMinLog->setText("450");
        f.advanced->txtMaxLogFile->setText("70000");
        tab(f, 4);
        QTest::keyClick(f.advanced->HScroll1, Qt::Key_End);
        QCOMPARE(f.advanced->txtGpause->text(), QStringLiteral("1.5"));
        f.location->txtLat->setText("40");
        f.location->txtLong->setText("75");
        f.location->txtZone->setText("5");
        QVERIFY(f.panic->PanicChanged && f.advanced->AdvChanged && f.location->LocChanged);
        QVERIFY(tick(f));
        QVERIFY(f.cmdApply->isEnabled());

        QVERIFY(apply(f));
        QVERIFY(!f.panic->PanicChanged && !f.advanced->AdvChanged && !f.location->LocChanged);
        QVERIFY(!f.cmdApply->isEnabled());
        QCOMPARE(Changes(before, TakeSnapshot()),
                 QStringList({"Settings/CityLatitude=40", "Settings/CityLongitude=75",
                              "Settings/CityName=User Defined", "Settings/CityZone=5",
                              "Settings/GPause=1.5", "Settings/KeepLogSize=450",
                              "Settings/MaxLogFileLines=70000", "Settings/MaxLogSize=600",
                              "Settings/TrimTimerLog=1"})
                     .join(" | "));
        QCOMPARE(GetRec(274), QStringLiteral("&Quick"));
        QCOMPARE(GetRec(279), QStringLiteral("2"));
        QCOMPARE(GetRec(280), QStringLiteral("2,15"));
        QCOMPARE(GetRec(281), QStringLiteral("3"));
        QCOMPARE(mw->changes, QStringList({"txtGroupNum=3", "txtPanicNm=&Quick", "txtPanicMin=2",
                                           "txtPanicSec=15", "txtPanicBcolor=2"}));
        QCOMPARE(mw->panicRun, QStringLiteral("&Quick (Run)"));
    }

    // OK stores the pages' values as Apply does, then closes the window.
    void okAppliesThenCloses()
    {
        mainWindowPanic("Pa&nic", "0", "00", "30", "6");
        FormSetup &f = open();
        tab(f, 1);
        click(f.panic->txtBcaption);
        QTest::keyClick(f.panic->txtBcaption, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(f.panic->txtBcaption, "&Quick");
        click(f.cmdClose);
        QCOMPARE(GetRec(274), QStringLiteral("&Quick"));
        QCOMPARE(mw->box("txtPanicNm"), QStringLiteral("&Quick"));
        QCOMPARE(Get("CityZone"), QString::number(f.location->PcZoneHours));
        QVERIFY(!f.isLoaded());
        QVERIFY(!f.isVisible());
        QVERIFY(!PrefsOpen);
        QVERIFY(dialogs.asked.isEmpty());
    }

    void cancelWritesNothing()
    {
        mainWindowPanic("Pa&nic", "0", "00", "30", "6");
        PutRec(274, "Pa&nic");
        FormSetup &f = open();
        const Snapshot before = TakeSnapshot();
        mw->changes.clear();
        tab(f, 1);
        f.panic->txtBcaption->setText("Other");
        press(f.panic->Option1[5]);
        f.panic->txtGroupNum->setText("2");
        f.advanced->txtMaxLog->setText("1");
        f.location->txtLat->setText("10");
        chooseSound(f, 1);
        click(f.sounds->Command5);
        QVERIFY(f.sounds->SndChanged);

        click(f.cmdCancel);
        QVERIFY(!f.isLoaded());
        QVERIFY(!PrefsOpen);
        QVERIFY(dialogs.asked.isEmpty());
        QCOMPARE(Changes(before, TakeSnapshot()),
                 "Settings/SuLeft=" + Get("SuLeft") + " | Settings/SuTop=" + Get("SuTop"));
        QCOMPARE(GetRec(274), QStringLiteral("Pa&nic"));
        QCOMPARE(GetRec(279), QString());
        QVERIFY(mw->changes.isEmpty());
        QCOMPARE(ZoomSound, InProgramFolder("expand.wav"));
    }

    void panicPageRules()
    {
        mainWindowPanic("Pa&nic", "4", "5", "30", "6");
        FormSetup &f = open();
        // The colour already stored marks nothing; another one does.
        tab(f, 1);
        press(f.panic->Option1[4]);
        QVERIFY(!f.panic->PanicChanged);
        PutRec(274, "stale");
        QVERIFY(apply(f)); // enabled by the location a first open stores
        QCOMPARE(GetRec(274), QStringLiteral("Pa&nic")); // rewritten on every Apply
        QCOMPARE(GetRec(279), QString());                // the rest only when changed

        // An empty caption becomes the translated "Pa&nic"; minutes "0" go to
        // the main window as typed and into the record as "00".
        press(f.panic->Option1[1]);
        QVERIFY(f.panic->PanicChanged);
        f.panic->txtBcaption->clear();
        f.panic->txtMin->setText("0");
        QVERIFY(apply(f));
        QCOMPARE(mw->box("txtPanicNm"), QStringLiteral("Pa&nic"));
        QCOMPARE(mw->panicRun, QStringLiteral("Pa&nic (Run)"));
        QCOMPARE(mw->box("txtPanicMin"), QStringLiteral("0"));
        QCOMPARE(GetRec(280), QStringLiteral("00,30"));
        QCOMPARE(GetRec(279), QStringLiteral("1"));

        // A colour text that is no number chooses "Default".
        mainWindowPanic("Pa&nic", "red", "5", "30", "6");
        FormSetup &g = open();
        QVERIFY(g.panic->Option1[0]->isChecked());
        QCOMPARE(g.panic->PanicColorIndex, 0);

        // An emptied group box is written empty; the next load shows "8".
        g.panic->txtGroupNum->clear();
        QVERIFY(apply(g));
        QCOMPARE(mw->box("txtGroupNum"), QString());
        QCOMPARE(GetRec(281), QString());
        FormSetup &h = load();
        QCOMPARE(h.panic->txtGroupNum->text(), QStringLiteral("8"));
    }

    void groupNumberRefused()
    {
        mainWindowPanic("Pa&nic", "0", "00", "30", "6");
        FormSetup &f = load();
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f, test::kFirstWindowMs));
        f.panic->txtGroupNum->clear();
        QTest::keyClick(f.panic->txtGroupNum, Qt::Key_9);
        QVERIFY(f.panic->txtGroupNum->text().isEmpty());
        QVERIFY(!f.panic->lblMsg->isHidden());
        QTest::keyClick(f.panic->txtGroupNum, Qt::Key_Backspace);
        QVERIFY(f.panic->lblMsg->isHidden());
        QTest::keyClick(f.panic->txtGroupNum, Qt::Key_4);
        QCOMPARE(f.panic->txtGroupNum->text(), QStringLiteral("4"));
        // Text set by other means than typing is checked too.
        dialogs.messages.clear();
        f.panic->txtGroupNum->setText("9");
        QCOMPARE(dialogs.infos, QStringList{"Group Number must be a number from 1 to 8"});
        QVERIFY(f.panic->txtGroupNum->text().isEmpty());
        click(f.cmdCancel);
    }

    void generalSwitchesActAtOnce()
    {
        mw->fill("chkTips", "1");
        FormSetup &f = open();
        mw->changes.clear();
        press(f.general->Check2[1]);
        QCOMPARE(Get("MinToTray"), QStringLiteral("1"));
        QVERIFY(mw->minToTray && MinOnStart);
        QCOMPARE(mw->box("txtMinimizeSave"), QStringLiteral("10"));
        press(f.general->Check2[1]);
        QCOMPARE(Get("MinToTray"), QStringLiteral("0"));
        QVERIFY(!mw->minToTray && !MinOnStart);
        QCOMPARE(mw->box("txtMinimizeSave"), QStringLiteral("00"));

        press(f.general->Check2[2]);
        QCOMPARE(Get("MinOnStart"), QStringLiteral("True"));
        QCOMPARE(mw->box("txtMinimizeSave"), QStringLiteral("01"));
        press(f.general->Check2[0]);
        QCOMPARE(mw->box("chkTips"), QStringLiteral("0"));
        press(f.general->Check2[4]);
        QCOMPARE(mw->box("txtGrpDelayB"), QStringLiteral("0"));
        QCOMPARE(Get("GrpDelayB"), QStringLiteral("0"));

        // The panic switch exists twice and both stay in step.
        press(f.general->Check2[5]);
        QVERIFY(!f.panic->Check1->isChecked());
        QCOMPARE(mw->box("chbPanicOn"), QStringLiteral("0"));
        QCOMPARE(Get("PanicButton"), QStringLiteral("0"));
        tab(f, 1);
        press(f.panic->Check1);
        tab(f, 0);
        QVERIFY(f.general->Check2[5]->isChecked());
        QCOMPARE(mw->box("chbPanicOn"), QStringLiteral("1"));
        QCOMPARE(Get("PanicButton"), QStringLiteral("1"));

        // Start at login: an existing entry is kept; unticking removes it.
        AddStartup(QStringLiteral("Orvendale"), QCoreApplication::applicationFilePath());
        press(f.general->Check2[6]);
        QCOMPARE(Get("AutoStart"), QStringLiteral("1"));
        QCOMPARE(StartupValue(QStringLiteral("Orvendale")),
                 QCoreApplication::applicationFilePath());
        press(f.general->Check2[6]);
        QCOMPARE(StartupValue(QStringLiteral("Orvendale")), QString());
        QCOMPARE(Get("AutoStart"), QStringLiteral("0"));
    }

    void associationSwitch()
    {
        SetProgramExePath(QCoreApplication::applicationFilePath());
        FormSetup &f = load();
        QVERIFY(!f.general->Check2[3]->isChecked());
        f.general->Check2[3]->click();
        QVERIFY(CroAssociated());
        QVERIFY(AssocOn && mw->associate);
        QCOMPARE(GetSet("Macro", "DoSet"), QStringLiteral("True"));
        f.general->Check2[3]->click();
        QVERIFY(!CroAssociated());
        QVERIFY(!AssocOn && !mw->associate);
        QVERIFY(dialogs.asked.isEmpty());
        SetProgramExePath({});
    }

    // Where the registration folders cannot be written, switching the
    // association on asks first, with OK and Cancel beside the information
    // picture. Only OK goes on; Cancel, Esc and the close box leave the box
    // OFF and nothing registered. Each answer is given on the shown question.
    void administratorQuestionOffersOkAndCancel_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::newRow("OK") << QStringLiteral("OK");
        QTest::newRow("Cancel") << QStringLiteral("Cancel");
        QTest::newRow("Esc") << QStringLiteral("Esc");
        QTest::newRow("close box") << QStringLiteral("close");
    }

    void administratorQuestionOffersOkAndCancel()
    {
        QFETCH(QString, answer);
        SetProgramExePath(QCoreApplication::applicationFilePath());
        const QByteArray oldData = qgetenv("XDG_DATA_HOME");
        const QString blocker = test::TestEnv::ScratchPath("prefs-blocker");
        QFile file(blocker);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        SetDialogProvider(nullptr);
        const auto restore = qScopeGuard([&] {
            qputenv("XDG_DATA_HOME", oldData);
            UnAssocCro();
            QFile::remove(blocker);
            SetDialogProvider(&dialogs);
            SetProgramExePath({});
        });
        FormSetup &f = open();
        qputenv("XDG_DATA_HOME", QFile::encodeName(blocker + "/data"));

        QString title;
        QString text;
        QStringList buttons;
        QImage picture;
        bool answered = false;
        bool leftOpen = false;
        QPointer<frmInfo> acted;
        QElapsedTimer sinceAnswer;
        QTimer watch;
        connect(&watch, &QTimer::timeout, this, [&] {
            const QList<frmInfo *> shownNow = test::ShownDialogs();
            frmInfo *asking = shownNow.isEmpty() ? nullptr : shownNow.last();
            if (acted && !leftOpen && sinceAnswer.elapsed() > test::kStepMs) {
                // The answer did not end the question: end it with its
                // second button, so that the test goes on and fails on
                // what it saw.
                leftOpen = true;
                acted->cmdNo->click();
                return;
            }
            if (answered || !asking || !asking->isActiveWindow())
                return;
            answered = true;
            acted = asking;
            sinceAnswer.start();
            title = asking->windowTitle();
            text = asking->lbl1->text();
            QMap<QString, QPushButton *> shown;
            for (QPushButton *b : asking->findChildren<QPushButton *>()) {
                if (b->isVisible()) {
                    buttons << b->text();
                    shown[b->text()] = b;
                }
            }
            if (asking->lblIcon->isVisible())
                picture = asking->lblIcon->pixmap().toImage();
            // The rights the question warns of are there by the time OK is
            // clicked, so the registration can be seen to happen.
            if (answer == QLatin1String("OK"))
                qputenv("XDG_DATA_HOME", oldData);
            if (shown.contains(answer)) {
                QTest::mouseClick(shown[answer], Qt::LeftButton);
            } else if (answer == QLatin1String("Esc")) {
                QTest::keyClick(asking->focusWidget() ? asking->focusWidget() : asking,
                                Qt::Key_Escape);
            } else {
                asking->close();
            }
        });
        watch.start(10);
        press(f.general->Check2[3]);
        watch.stop();
        qputenv("XDG_DATA_HOME", oldData);

        QVERIFY(answered);
        QVERIFY(!leftOpen);
        QCOMPARE(title, QStringLiteral("Administrative Rights"));
        QCOMPARE(text,
                 QStringLiteral("You may need to be logged in as an administrator to make this "
                                "change.\nIf the association fails, log in as an admisistrator and "
                                "try again."));
        buttons.sort();
        QCOMPARE(buttons, QStringList({QStringLiteral("Cancel"), QStringLiteral("OK")}));
        QVERIFY(!picture.isNull());
        QCOMPARE(picture, test::StylePicture(QStyle::SP_MessageBoxInformation, picture));

        const bool ok = answer == QLatin1String("OK");
        QCOMPARE(f.general->Check2[3]->isChecked(), ok);
        QCOMPARE(f.general->Check2[3]->text(), ok ? QStringLiteral("ON") : QStringLiteral("OFF"));
        QCOMPARE(CroAssociated(), ok);
        QCOMPARE(AssocOn, ok);
        QCOMPARE(mw->associate, ok);
        QCOMPARE(GetSet("Macro", "DoSet") == QLatin1String("True"), ok);
        if (ok) {
            // Unticking never asks, even where the folders cannot be
            // written (any other message is closed as it shows).
            int questionsShown = 0;
            QTimer others;
            connect(&others, &QTimer::timeout, this, [&] {
                for (frmInfo *d : test::ShownDialogs()) {
                    questionsShown += d->windowTitle() == QLatin1String("Administrative Rights");
                    d->close();
                }
            });
            others.start(10);
            qputenv("XDG_DATA_HOME", QFile::encodeName(blocker + "/data"));
            press(f.general->Check2[3]);
            qputenv("XDG_DATA_HOME", oldData);
            others.stop();
            QCOMPARE(questionsShown, 0);
            QVERIFY(!f.general->Check2[3]->isChecked());
        }
    }

    // Any stored value the macro editor takes as "send" shows ticked, so that
    // OK does not turn sending off behind the user's back.
    void recordingBoxFollowsTheEditor()
    {
        Set("SendOnRecord", "2");
        QVERIFY(load().advanced->ckRecording->isChecked());
    }

    void locationFromCityTable()
    {
        Set("CityZone", "6");
        FormSetup &f = open();
        tab(f, 2);
        const CityTable table = CityTable::BuiltIn();
        const int boston = table.FindCity("Boston, MA");
        QVERIFY(boston > 0);
        QVERIFY(chooseCity(f, boston));
        QCOMPARE(f.location->txtLat->text(), QString::number(table.Row(boston).Latitude));
        QCOMPARE(f.location->txtLong->text(), QString::number(table.Row(boston).Longitude));
        QCOMPARE(f.location->txtZone->text(), QStringLiteral("5"));
        QCOMPARE(f.location->lblCityName->text(), QStringLiteral(" Boston, MA "));
        QVERIFY(f.location->Text1->text().contains(
            QRegularExpression("^Today's Sunrise: \\d\\d:\\d\\d:\\d\\d AM$")));
        QVERIFY(f.location->Text2->text().contains(
            QRegularExpression("^Today's Sunset: \\d\\d:\\d\\d:\\d\\d PM$")));
        QVERIFY(f.location->LocChanged);
        QVERIFY(apply(f));
        QCOMPARE(Get("CityName"), QStringLiteral("Boston, MA"));
        QCOMPARE(Get("CityZone"), QStringLiteral("5"));

        // A heading row carries no place: nothing is loaded.
        QVERIFY(chooseCity(f, 2));
        QCOMPARE(f.location->lblCityName->text(), QStringLiteral(" Boston, MA "));
        QCOMPARE(f.location->txtZone->text(), QStringLiteral("5"));

        // Typing relabels once as a place of the user's own.
        QTest::keyClick(f.location->txtLat, Qt::Key_1);
        QCOMPARE(f.location->lblCityName->text(), QStringLiteral("for:  User Defined"));
        QVERIFY(!f.location->RelabelOnEdit);
        f.location->lblCityName->setText("kept");
        QTest::keyClick(f.location->txtLat, Qt::Key_2);
        QCOMPARE(f.location->lblCityName->text(), QStringLiteral("kept"));
        // The first pick after a hand edit only re-arms the list.
        QVERIFY(chooseCity(f, boston));
        QCOMPARE(f.location->lblCityName->text(), QStringLiteral("kept"));
        QVERIFY(chooseCity(f, boston));
        QCOMPARE(f.location->lblCityName->text(), QStringLiteral(" Boston, MA "));

        // Key filters: one decimal sign, ":" allowed, letters refused.
        f.location->txtLat->setText("42.5");
        QTest::keyClick(f.location->txtLat, Qt::Key_Period);
        QTest::keyClick(f.location->txtLat, Qt::Key_Comma);
        QTest::keyClick(f.location->txtLat, Qt::Key_A);
        QTest::keyClick(f.location->txtLat, Qt::Key_Colon);
        QCOMPARE(f.location->txtLat->text(), QStringLiteral("42.5:"));
        // Ctrl+A selects (the letter is no typed character then).
        QTest::keyClick(f.location->txtLat, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(f.location->txtLat, Qt::Key_7);
        QCOMPARE(f.location->txtLat->text(), QStringLiteral("7"));
        f.location->txtZone->setText("");
        QTest::keyClick(f.location->txtZone, Qt::Key_Minus);
        QTest::keyClick(f.location->txtZone, Qt::Key_Period);
        QTest::keyClick(f.location->txtZone, Qt::Key_3);
        QCOMPARE(f.location->txtZone->text(), QStringLiteral("-3"));

        // A latitude that is no number leaves the last one in use; no crash.
        f.location->txtLat->setText("4:2");
        click(f.location->cmdCalcSun);
        QVERIFY(f.location->Text1->text().startsWith("Today's Sunrise: "));

        // Clear, then Apply with an empty zone deletes the stored zone.
        click(f.location->Command2);
        QVERIFY(f.location->txtLat->text().isEmpty() && f.location->Text1->text().isEmpty());
        QCOMPARE(f.location->txtZone->text(), QString::number(f.location->PcZoneHours));
        f.location->txtZone->clear();
        QVERIFY(apply(f));
        QCOMPARE(Get("CityZone"), QStringLiteral("<none>"));
        QCOMPARE(Get("CityName"), QStringLiteral("User Defined"));

        // Right-click on "offset" shows the zone box, another click hides it.
        click(f.location->Label17, Qt::RightButton);
        QVERIFY(!f.location->txtZone->isHidden());
        click(f.location->Label17);
        QVERIFY(f.location->txtZone->isHidden());
    }

    // The timers window's sunrise and sunset follow a location applied here
    // on its next tick, while both windows stay open.
    void timersWindowFollowsTheAppliedLocation()
    {
        frmTimerStatus log;
        FrmTimers timersWindow(&log);
        timersWindow.timerFilePath = InProgramFolder(QStringLiteral("tmrdat.zyv"));
        timersWindow.ensureLoaded();
        const QDateTime today = QDateTime::currentDateTime();
        auto expect = [&today](double latitude, double longitude, int zone) {
            clsSunrise sun;
            sun.setLatitude(latitude);
            sun.setLongitude(longitude);
            sun.setTimeZone(zone);
            sun.setDaySavings(Get("DaySavings") == QLatin1String("True"));
            sun.setDateDay(today);
            sun.CalculateSun();
            const QTime rise = sun.Sunrise().time(), set = sun.Sunset().time();
            return QStringList{
                "Sunrise " + ClockText(QTime(rise.hour(), rise.minute(), rise.second())),
                "Sunset " + ClockText(QTime(set.hour(), set.minute(), set.second()))};
        };
        auto shown = [&timersWindow] {
            timersWindow.tmrSunSet_Timer();
            return QStringList{timersWindow.lblSR->text(), timersWindow.lblSS->text()};
        };
        QCOMPARE(shown(), QStringList({QString(), QString()})); // no place stored yet

        FormSetup &f = open();
        tab(f, 2);
        const CityTable table = CityTable::BuiltIn();
        const int boston = table.FindCity("Boston, MA");
        QVERIFY(chooseCity(f, boston));
        QVERIFY(apply(f));
        QCOMPARE(shown(), expect(table.Row(boston).Latitude, table.Row(boston).Longitude, 5));

        f.location->txtLat->selectAll();
        QTest::keyClicks(f.location->txtLat, "51.5");
        f.location->txtLong->selectAll();
        QTest::keyClicks(f.location->txtLong, "0.1");
        QVERIFY(tick(f));
        QVERIFY(apply(f));
        QCOMPARE(shown(), expect(51.5, 0.1, 5));
        f.close();
        timersWindow.unload();
    }

    void advancedPage()
    {
        FormSetup &f = open();
        tab(f, 4);
        QVERIFY(!f.advanced->AdvChanged);
        // Non-numeric text is put back when the box loses the focus...
        click(f.advanced->txtMaxLog);
        f.advanced->txtMaxLog->setText("abc");
        click(f.advanced->txtGpause);
        QCOMPARE(f.advanced->txtMaxLog->text(), QStringLiteral("500"));
        f.advanced->txtGpause->setText("x");
        click(f.advanced->txtMaxLog);
        QCOMPARE(f.advanced->txtGpause->text(), QStringLiteral(".6"));
        // ...and before Apply stores it, focus or not.
        f.advanced->txtMinLog->setText("lots");
        f.advanced->txtMaxLogFile->setText("");
        QVERIFY(apply(f));
        QCOMPARE(Get("KeepLogSize"), QStringLiteral("400"));
        QCOMPARE(Get("MaxLogFileLines"), QStringLiteral("59000"));
        QCOMPARE(Get("GPause"), QStringLiteral(".6"));

        // Slider and defaults.
        QTest::keyClick(f.advanced->HScroll1, Qt::Key_End);
        QCOMPARE(f.advanced->txtGpause->text(), QStringLiteral("1.5"));
        f.advanced->txtMaxLog->setText("10");
        click(f.advanced->cmdLogDefault);
        QCOMPARE(f.advanced->txtGpause->text(), QStringLiteral("0.6"));
        QCOMPARE(f.advanced->txtMaxLog->text(), QStringLiteral("500"));
        QCOMPARE(f.advanced->txtMinLog->text(), QStringLiteral("400"));
        QCOMPARE(f.advanced->txtMaxLogFile->text(), QStringLiteral("59000"));

        // Unticking the file limit disables its box, yet Apply still writes it.
        press(f.advanced->TrimLog);
        QVERIFY(!f.advanced->txtMaxLogFile->isEnabled());
        QVERIFY(apply(f));
        QCOMPARE(Get("TrimTimerLog"), QStringLiteral("0"));
        QCOMPARE(Get("MaxLogFileLines"), QStringLiteral("59000"));

        // The two check boxes write at once.
        press(f.advanced->ckRecording);
        QCOMPARE(Get("SendOnRecord"), QStringLiteral("0"));
        click(f.advanced->lblAutoCheckTime); // disabled while the weekly check is off
        QCOMPARE(Get("ChkType"), QStringLiteral("<none>"));
        press(f.advanced->chkUpdates);
        QCOMPARE(Get("ChkForUpdts"), QStringLiteral("1"));
        QVERIFY(f.advanced->lblAutoCheckTime->isEnabled() &&
                f.advanced->txtUpdateHour->isEnabled());
        click(f.advanced->lblAutoCheckTime);
        QCOMPARE(Get("ChkType"), QStringLiteral("manual"));
        press(f.advanced->chkUpdates);
        QCOMPARE(Get("ChkForUpdts"), QStringLiteral("0"));
        QVERIFY(!f.advanced->lblAutoCheckTime->isEnabled());

        // A pause the slider cannot hold exactly in binary still comes back
        // as stored (0.29 * 100 is 28.999...).
        Set("GPause", "0.29");
        FormSetup &p = load();
        QCOMPARE(p.advanced->HScroll1->value(), 29);
        QCOMPARE(p.advanced->txtGpause->text(), QStringLiteral("0.29"));
        QVERIFY(!p.advanced->AdvChanged);

        // A stored ".6" comes back from the slider as "0.6": Apply stays on.
        Set("GPause", ".6");
        FormSetup &g = load();
        QCOMPARE(g.advanced->txtGpause->text(), QStringLiteral("0.6"));
        QVERIFY(g.advanced->AdvChanged);

        // A pause beyond the slider's reach is shown as stored and survives
        // an Apply made for another page.
        for (const char *stored : {"3", "-1"}) {
            Set("GPause", stored);
            FormSetup &o = open();
            QCOMPARE(o.advanced->txtGpause->text(), QLatin1String(stored));
            QCOMPARE(o.advanced->HScroll1->value(), 0);
            QVERIFY(!o.advanced->AdvChanged);
            QTest::keyClick(o.location->txtLat, Qt::Key_1);
            QVERIFY(apply(o));
            QCOMPARE(Get("GPause"), QLatin1String(stored));
        }
    }

    // The updater, a program of its own started from the advanced page,
    // stores the day and hour of the weekly check while the preferences stay
    // open. OK there must not put back the hour the window loaded.
    void okKeepsTheUpdateTimeStoredMeanwhile()
    {
        Set("ChkUpdtsDay", "2");
        Set("ChkUpdtsTime", "19");
        FormSetup &f = open();
        tab(f, 4);
        press(f.advanced->chkUpdates);
        QScrollBar *slider = f.advanced->HScroll1; // one step by its right arrow
        QTest::mouseClick(slider, Qt::LeftButton, {},
                          QPoint(slider->width() - 4, slider->height() / 2));
        QCOMPARE(f.advanced->txtGpause->text(), QStringLiteral("0.61"));
        click(f.advanced->lblAutoCheckTime);
        QCOMPARE(Get("ChkType"), QStringLiteral("manual"));
        // Wednesday at 8:00 chosen in the updater, which is then closed.
        QVERIFY(StoreFromAnotherProgram({"ChkUpdtsDay=4", "ChkUpdtsTime=8"}));
        QCOMPARE(Get("ChkUpdtsTime"), QStringLiteral("8"));
        click(f.cmdClose);
        QVERIFY(!f.isLoaded());
        QCOMPARE(Get("ChkUpdtsDay"), QStringLiteral("4"));
        QCOMPARE(Get("ChkUpdtsTime"), QStringLiteral("8"));
        QCOMPARE(Get("ChkForUpdts"), QStringLiteral("1"));
        QCOMPARE(Get("GPause"), QStringLiteral("0.61"));

        // An hour this window changes is stored by Apply, once: a later
        // Apply for another value keeps what the updater stored since.
        FormSetup &g = open();
        QCOMPARE(g.advanced->txtUpdateHour->text(), QStringLiteral("8"));
        g.advanced->txtUpdateHour->setText(QStringLiteral("21"));
        QVERIFY(apply(g));
        QCOMPARE(Get("ChkUpdtsTime"), QStringLiteral("21"));
        QVERIFY(StoreFromAnotherProgram({"ChkUpdtsTime=6"}));
        g.advanced->txtMaxLog->setText(QStringLiteral("600"));
        QVERIFY(apply(g));
        QCOMPARE(Get("MaxLogSize"), QStringLiteral("600"));
        QCOMPARE(Get("ChkUpdtsTime"), QStringLiteral("6"));
    }

    void soundSwitchesAndFiles()
    {
        FormSetup &f = open();
        QVERIFY(f.general->Check3->isChecked());
        press(f.general->Check3);
        QVERIFY(!SoundsOn);
        QCOMPARE(Get("Sounds"), QStringLiteral("False"));
        QVERIFY(!f.general->chkTSound->isEnabled() && !f.general->chkMsound->isEnabled() &&
                !f.general->Label10->isEnabled());
        QCOMPARE(GetSet("Sounds", "TimerTsound"), QStringLiteral("1"));
        press(f.general->Check3);
        QVERIFY(SoundsOn && f.general->chkMsound->isEnabled());

        timers.calls.clear();
        press(f.general->chkMsound);
        QCOMPARE(GetSet("Sounds", "TimerMsound"), QStringLiteral("0"));
        QCOMPARE(timers.calls, QStringList{"M0"});
        QCOMPARE(f.general->chkMsound->text(), QStringLiteral("OFF"));

        // Going back to the first page picks up the timers window's changes.
        SaveSet("Sounds", "TimerTsound", "0");
        tab(f, 3);
        tab(f, 0);
        QVERIFY(!f.general->chkTSound->isChecked());

        // Choosing an event with the keys selects it for the page's buttons.
        f.sounds->List1->setFocus();
        f.sounds->List1->setCurrentRow(0);
        QTest::keyClick(f.sounds->List1, Qt::Key_Down);
        QCOMPARE(f.sounds->List1->currentRow(), 1);
        QCOMPARE(f.sounds->lblSnd->text(), ZoomSound);
        QCOMPARE(f.sounds->SelectedSound, 1);

        // No Sound, then Apply, writes "none".
        chooseSound(f, 2);
        QVERIFY(f.sounds->Command5->isEnabled());
        QCOMPARE(f.sounds->lblSnd->text(), RecordSound);
        click(f.sounds->Command5);
        QCOMPARE(f.sounds->lblSnd->text(), QStringLiteral("none"));
        QVERIFY(f.sounds->SndChanged);
        QVERIFY(apply(f));
        QCOMPARE(GetSet("Sounds", "RecSound"), QStringLiteral("none"));
        QCOMPARE(RecordSound, QStringLiteral("none"));

        // Browse: a cancelled dialog changes nothing; a chosen file is kept.
        dialogs.openAnswer.clear();
        click(f.sounds->Command7);
        QCOMPARE(f.sounds->Label2[2]->text(), QStringLiteral("none"));
        dialogs.openAnswer = "/x/bell.wav";
        click(f.sounds->Command7);
        QCOMPARE(f.sounds->Label2[2]->text(), QStringLiteral("/x/bell.wav"));
        QCOMPARE(f.sounds->lblSnd->text(), QStringLiteral("/x/bell.wav"));

        // Restore defaults: asked first; Yes saves at once, Cancel cannot undo.
        dialogs.answer = 2;
        click(f.sounds->cmdDefaultSound);
        QCOMPARE(f.sounds->Label2[2]->text(), QStringLiteral("/x/bell.wav"));
        dialogs.answer = 1;
        click(f.sounds->cmdDefaultSound);
        QVERIFY(!f.sounds->SndChanged);
        click(f.cmdCancel);
        QCOMPARE(GetSet("Sounds", "RecSound"), InProgramFolder("rec.wav"));
        QCOMPARE(GetSet("Sounds", "defSound"), InProgramFolder("click.wav"));
        QCOMPARE(GetSet("Sounds", "defzsound"), InProgramFolder("expand.wav"));
        QCOMPARE(RecordSound, InProgramFolder("rec.wav"));

        // Opened with sounds off, the scheduler switches are disabled too.
        Set("Sounds", "False");
        FormSetup &g = open();
        QVERIFY(!g.general->Check3->isChecked());
        QVERIFY(!g.general->chkTSound->isEnabled() && !g.general->chkMsound->isEnabled() &&
                !g.general->Label11->isEnabled());
        press(g.general->Check3);
        QVERIFY(g.general->chkTSound->isEnabled() && g.general->chkMsound->isEnabled() &&
                g.general->Label11->isEnabled());
    }

    void closingAsksAboutLocationAndSounds()
    {
        Set("CityZone", "6");
        FormSetup &f = load();
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f, test::kFirstWindowMs));
        f.panic->txtBcaption->setText("Lost");
        f.close();
        QVERIFY(dialogs.asked.isEmpty());
        QVERIFY(!f.isLoaded());
        QCOMPARE(GetRec(274), QString());

        f.Form_Load();
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f, test::kFirstWindowMs));
        f.location->txtLat->setText("12");
        chooseSound(f, 0);
        click(f.sounds->Command5);
        dialogs.answers = {2, 2};
        f.close();
        QCOMPARE(dialogs.asked,
                 QStringList({"City Location has Changed !\r\n\r\nSave changes before closing?",
                              "Save changes before closing?"}));
        QCOMPARE(Get("CityLatitude"), QStringLiteral("<none>"));
        QCOMPARE(GetSet("Sounds", "defSound", "<none>"), QStringLiteral("<none>"));

        // Yes to the location runs Apply, which saves the sounds as well.
        f.Form_Load();
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f, test::kFirstWindowMs));
        f.location->txtLat->setText("12");
        chooseSound(f, 0);
        click(f.sounds->Command5);
        dialogs.asked.clear();
        dialogs.answers = {1};
        f.close();
        QCOMPARE(dialogs.asked.size(), 1);
        QCOMPARE(Get("CityLatitude"), QStringLiteral("12"));
        QCOMPARE(GetSet("Sounds", "defSound", "<none>"), QStringLiteral("none"));
    }

    void closingAsksOnlyWhenTheLocationReallyChanged()
    {
        // First opening: nothing stored, the zone box shows the computer's
        // zone. Closed without a change: no question.
        FormSetup &f = load();
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f, test::kFirstWindowMs));
        QVERIFY(f.location->LocChanged);
        f.close();
        QVERIFY(dialogs.asked.isEmpty());
        QVERIFY(!f.isLoaded());

        // A latitude typed in: asked.
        f.Form_Load();
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f, test::kFirstWindowMs));
        tab(f, 2);
        QTest::keyClicks(f.location->txtLat, "12");
        dialogs.answers = {2};
        f.close();
        QCOMPARE(dialogs.asked,
                 QStringList{"City Location has Changed !\r\n\r\nSave changes before closing?"});
    }

    void groupWarningReadsWholeInAnyLanguage()
    {
        const QString german =
            "Die Nummer der Gruppe muss eine ganze Zahl von 1 bis 8 sein, bitte ändern";
        QFile lang(InProgramFolder("language.ini"));
        QVERIFY(lang.open(QIODevice::WriteOnly));
        lang.write(
            ("[Labels & Captions]\nNumber for Group must be a number from 1 to 8=" + german + "\n")
                .toUtf8());
        lang.close();
        const QString oldLang = LangFile;
        LangFile = lang.fileName();
        const auto restore = qScopeGuard([oldLang] { LangFile = oldLang; });
        for (const bool translated : {false, true}) {
            if (!translated)
                LangFile.clear();
            else
                LangFile = lang.fileName();
            mainWindowPanic("Pa&nic", "0", "00", "30", "6");
            FormSetup &f = load();
            f.show();
            tab(f, 1);
            QVERIFY(QTest::qWaitForWindowExposed(&f, test::kFirstWindowMs));
            f.panic->txtGroupNum->clear();
            QTest::keyClick(f.panic->txtGroupNum, Qt::Key_9);
            QLabel *msg = f.panic->lblMsg;
            QVERIFY(msg->isVisible());
            QCOMPARE(msg->text(), translated
                                      ? german
                                      : QString("Number for Group must be a number from 1 to 8"));
            // All of it fits the label, the label fits the page and covers
            // no other control.
            const QFontMetrics fm(msg->font());
            const QRect need = fm.boundingRect(msg->contentsRect(), Qt::TextWordWrap, msg->text());
            QVERIFY2(need.height() <= msg->contentsRect().height(), qPrintable(msg->text()));
            QVERIFY(need.width() <= msg->contentsRect().width());
            QWidget *page = msg->parentWidget();
            QVERIFY(page->rect().contains(msg->geometry()));
            for (QWidget *other : page->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
                if (other != msg && other->isVisible())
                    QVERIFY2(!other->geometry().intersects(msg->geometry()),
                             qPrintable(other->objectName()));
            click(f.cmdCancel);
        }
    }

    void positionStaysTheSameNumberWhenNotMoved()
    {
        // 100 twips is 6.7 pixels; closed where it opened, it stays 100.
        FormSetup &f = load();
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f, test::kFirstWindowMs));
        QTest::mouseClick(f.cmdCancel, Qt::LeftButton);
        QCOMPARE(Get("SuLeft"), QStringLiteral("100"));
        QCOMPARE(Get("SuTop"), QStringLiteral("100"));
        Set("SuLeft", "1234");
        f.Form_Load();
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f, test::kFirstWindowMs));
        QTest::mouseClick(f.cmdCancel, Qt::LeftButton);
        QCOMPARE(Get("SuLeft"), QStringLiteral("1234"));
    }

    void helpPagesDescribeTheWindowAsItIs()
    {
        QFile page(QStringLiteral(QT_TESTCASE_SOURCEDIR "/../resources/zyvHelp.html"));
        QVERIFY(page.open(QIODevice::ReadOnly));
        const QString html = QString::fromUtf8(page.readAll());
        FormSetup &f = load();
        // Every anchor the window's Help opens is on the page.
        for (const char *anchor :
             {"Preferences", "SetupPanicButton", "Location", "Sounds", "Advanced"})
            QVERIFY2(html.contains(QStringLiteral("name=\"%1\"").arg(anchor)), anchor);
        // The location section names only controls the page has: its buttons
        // by their captions, and no daylight-saving choice, which the page
        // does not offer.
        const int from = html.indexOf("name=\"Location\"");
        const QString section = html.mid(from, html.indexOf("<h3", from) - from);
        QWidget *location = f.SSTab1->widget(2);
        QStringList captions;
        for (QAbstractButton *b : location->findChildren<QAbstractButton *>())
            captions << b->text().remove('&');
        captions << "Apply"
                 << "OK";
        static const QRegularExpression bold("<b>([^<]+)</b>");
        for (auto it = bold.globalMatch(section); it.hasNext();) {
            const QString named = it.next().captured(1);
            QVERIFY2(captions.contains(named), qPrintable(named));
        }
        for (QWidget *w : location->findChildren<QWidget *>())
            QVERIFY(!w->property("text").toString().contains("daylight", Qt::CaseInsensitive));
        QVERIFY(!section.contains("say whether daylight", Qt::CaseInsensitive));
        QVERIFY(!section.contains("choose daylight", Qt::CaseInsensitive));
    }

    void helpFollowsTheTab()
    {
        FormSetup &f = open();
        tab(f, 4);
        click(f.cmdHelp);
        QCOMPARE(help.calls,
                 QStringList({"unload", "open " + InProgramFolder("zyvHelp.html") + "#Advanced"}));
        help.calls.clear();
        tab(f, 1);
        click(f.cmdHelp);
        QVERIFY(help.calls.last().endsWith("#SetupPanicButton"));
    }

    // The same hand-over with the console's own window at the other end.
    void drivesTheMainWindow()
    {
        RecordingSerialLink link;
        frmFire fire(&link);
        SetMainWindow(&fire);
        fire.chbPanicOn.setText("1");
        FormSetup &f = open();
        f.panic->txtBcaption->setText("&Quick");
        QVERIFY(apply(f));
        QCOMPARE(fire.cmdPanic->text(), QStringLiteral("&Quick"));
        QCOMPARE(fire.mnuPanicRun->text(), QStringLiteral("&Quick (Run)"));
        press(f.general->Check2[5]);
        QVERIFY(fire.cmdPanic->isHidden());
        QVERIFY(!fire.mnuShowPanic->isChecked());
        press(f.general->Check2[1]);
        QVERIFY(fire.mnuMinToTray->isChecked());
        if (!f.general->Check2[0]->isChecked())
            press(f.general->Check2[0]);
        press(f.general->Check2[0]);
        QVERIFY(!fire.mnuTips->isChecked());
        w.reset();
        SetMainWindow(mw);
    }

    // Hints follow the main window's tool-tip switch on every page; Enter in
    // the city list moves to OK; a panic box selects its text when entered.
    void hintsKeysAndFocusOnEveryPage()
    {
        const auto hover = [](QWidget *w) {
            QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
            QApplication::sendEvent(w, &enter);
            return w->toolTip();
        };
        mw->fill("chkTips", "1");
        FormSetup &f = load();
        const QList<QPair<QWidget *, QString>> hints = {
            {f.cmdApply, "Apply changes without closing window"},
            {f.panic->txtSec, "Enter zero (0) for NO Off"},
            {f.location->txtZone, "Enter offset to GMT (whole hours only)"},
            {f.sounds->Command6, "Play selected sound"},
            {f.advanced->txtUpdateHour, "Enter hour of day to check for updates. ( 0 to 23 )"}};
        for (const auto &[control, hint] : hints)
            QCOMPARE(hover(control).trimmed(), hint);
        mw->fill("chkTips", "0");
        for (const auto &[control, hint] : hints)
            QVERIFY2(hover(control).isEmpty(), qPrintable(hint));
        // The restore button always explains itself.
        QCOMPARE(hover(f.sounds->cmdDefaultSound).trimmed(),
                 QStringLiteral("Restore all sounds to default"));

        f.show();
        QVERIFY(QTest::qWaitForWindowActive(&f, test::kFirstWindowMs));
        tab(f, 4);
        QTest::mouseClick(f.advanced->chkUpdates, Qt::LeftButton, {},
                          QPoint(8, f.advanced->chkUpdates->height() / 2));
        QVERIFY(f.advanced->txtUpdateHour->isEnabled());
        f.advanced->txtUpdateHour->clear();
        QTest::keyClicks(f.advanced->txtUpdateHour, "1a2");
        QCOMPARE(f.advanced->txtUpdateHour->text(), QStringLiteral("12"));

        tab(f, 2);
        f.location->Combo1->setFocus();
        QTest::keyClick(f.location->Combo1, Qt::Key_Return);
        QVERIFY(f.cmdClose->hasFocus());

        tab(f, 1);
        f.panic->txtBcaption->setText("&Fire");
        f.panic->txtBcaption->setFocus();
        QCoreApplication::processEvents();
        QCOMPARE(f.panic->txtBcaption->selectedText(), QStringLiteral("&Fire"));
        click(f.cmdCancel);
    }

    void serviceShowsThePage()
    {
        InstallPrefsWindow();
        PrefsService *prefs = Prefs();
        QVERIFY(prefs);
        QVERIFY(!prefs->isLoaded());
        prefs->showPage(2);
        QVERIFY(prefs->isLoaded());
        QCOMPARE(SetupWindow().SSTab1->currentIndex(), 2);
        QVERIFY(SetupWindow().isVisible());
        prefs->unload();
        QVERIFY(!prefs->isLoaded());
        QVERIFY(!SetupWindow().isVisible());
        QVERIFY(!PrefsOpen);
    }
};

QELT_TEST_MAIN(FormSetupTest)
#include "tst_FormSetup.moc"
