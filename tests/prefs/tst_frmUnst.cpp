#include "prefs/frmUnst.h"

#include "core/FileTypes.h"
#include "core/Shortcuts.h"
#include "core/services/PrefsServices.h"
#include "core/services/SchedulerServices.h"
#include "logic/DataFile.h"
#include "logic/Globals.h"
#include "logic/ProgramFolder.h"
#include "logic/Settings.h"
#include "logic/UninstallFiles.h"
#include "tests/support/FakeTimers.h"
#include "tests/support/FakeWaitClock.h"
#include "tests/support/FileBytes.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TestEnv.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

using namespace qelt;

namespace {

// The timer log as it behaves while loaded: its autosave writes the log
// file whenever its timer fires (here at every event turn), and unloading
// writes the log once more and stops the autosave.
class FakeTimerLog : public TimerLogService {
public:
    FakeTimerLog()
    {
        autosave.setInterval(0);
        QObject::connect(&autosave, &QTimer::timeout, [this] { write(); });
    }
    QWidget *widget() override { return nullptr; }
    QString logText() const override { return {}; }
    void setLogText(const QString &) override {}
    void appendLog(const QString &) override {}
    int statusRowCount() const override { return 0; }
    QString statusText(int) const override { return {}; }
    void setStatus(int, const QString &, const QColor &) override {}
    void showLog() override {}
    void unload() override
    {
        ++unloads;
        autosave.stop();
        write();
    }
    void write() { QVERIFY(test::WriteBytes(InProgramFolder("TimerLog.log"), "log\r\n")); }
    QTimer autosave;
    int unloads = 0;
};

void NoRefresh(const QString &, const QStringList &) {}

QString Folder(const QString &name)
{
    return InProgramFolder(name);
}

void MakeFiles(const QStringList &names)
{
    for (const QString &n : names)
        QVERIFY(test::WriteBytes(Folder(n), "x"));
}

QStringList Remaining()
{
    return QDir(ProgramFolder()).entryList(QDir::Files, QDir::Name | QDir::IgnoreCase);
}

} // namespace

class TestFrmUnst : public QObject {
    Q_OBJECT
private:
    test::FakeTimers timers;
    FakeTimerLog timerLog;
    int exits = 0;
    QString program;

private slots:
    void initTestCase()
    {
        // The timers window notes whether the settings were still there when
        // it was asked to save and close.
        timers.onUnload = [this] {
            timers.calls << (QFile::exists(SettingsFilePath()) ? "unload, settings there"
                                                               : "unload, settings gone");
        };
        SetTimers(&timers);
        SetTimerLog(&timerLog);
        SetDesktopRefreshRunner(&NoRefresh);
        program = InProgramFolder("../bin/Qelt");
        QVERIFY(test::WriteBytes(program, "#!/bin/sh\n"));
        SetProgramExePath(program);
        SetUninstallExit([this] { ++exits; });
    }

    void init()
    {
        QDir(ProgramFolder()).removeRecursively();
        QDir().mkpath(ProgramFolder());
        QFile::remove(SettingsFilePath());
        QFile::remove(AppSettingsFile(kOtherEditionName));
        timers.calls.clear();
        timerLog.unloads = 0;
        timerLog.autosave.stop();
        exits = 0;
        AbortSend = false;
        UnstWindow()->Form_Unload();
    }

    void cleanup() { AbortSend = false; }

    void loadLocksEverythingUntilAModeIsChosen()
    {
        UnstService()->showUninstaller();
        frmUnst *w = UnstWindow();
        QVERIFY(w->isVisible());
        QVERIFY(UnstOpen);
        QVERIFY(!w->cmdUninstall->isEnabled());
        for (QCheckBox *c : w->Check1)
            QVERIFY(!c->isEnabled() && !c->isChecked());
        QVERIFY(!w->chkOtherVer->isVisible());
        QVERIFY(w->Text2->text().isEmpty());

        w->Option1[0]->click();
        QVERIFY(w->cmdUninstall->isEnabled());
        for (QCheckBox *c : w->Check1)
            QVERIFY(!c->isEnabled() && c->isChecked());
        QVERIFY(w->Label3->text().startsWith("This will completly remove Orvendale and all\n"));

        w->Option1[1]->click();
        for (QCheckBox *c : w->Check1)
            QVERIFY(c->isEnabled() && !c->isChecked());
        QCOMPARE(w->Label3->text().count('\n'), 2);
        // Choosing the chosen mode again keeps the items as the user ticked them.
        w->Check1[1]->click();
        w->Option1[1]->click();
        QVERIFY(w->Check1[1]->isChecked());

        w->cmdCancel->click();
        QVERIFY(!w->isVisible());
        QVERIFY(!UnstOpen);
    }

    void nothingTickedDoesNothing()
    {
        test::InstalledDialogs dialogs;
        MakeFiles({"a.cro"});
        UnstService()->showUninstaller();
        frmUnst *w = UnstWindow();
        w->Option1[1]->click();
        w->cmdUninstall->click();
        QVERIFY(dialogs.calls.isEmpty());
        QVERIFY(w->isVisible());
        QCOMPARE(Remaining(), QStringList{"a.cro"});
    }

    void olderEditionOptionFollowsItemZero()
    {
        QVERIFY(test::WriteBytes(AppSettingsFile(kOtherEditionName),
                                 "[Database16]\nCurrentExePath=/opt/old\n"));
        UnstService()->showUninstaller();
        frmUnst *w = UnstWindow();
        QVERIFY(w->OtherVersionFound);
        QCOMPARE(w->Text2->text(), QStringLiteral("Brindlecast Beta"));
        QCOMPARE(w->chkOtherVer->text(),
                 QStringLiteral("Delete Registy entries for Brindlecast Beta also."));
        QVERIFY(!w->chkOtherVer->isVisible());

        w->Option1[0]->click();
        QVERIFY(w->chkOtherVer->isVisible());
        QVERIFY(w->chkOtherVer->isChecked());
        w->Option1[1]->click();
        QVERIFY(!w->chkOtherVer->isVisible());
        w->Check1[0]->click();
        QVERIFY(w->chkOtherVer->isVisible());
        w->Check1[0]->click();
        QVERIFY(!w->chkOtherVer->isVisible());
    }

    void customRemovalOfUserFilesOnly()
    {
        test::InstalledDialogs dialogs;
        dialogs.answers = {2, 1};
        SaveSet("Settings", "HelpTop", "100");
        MakeFiles({"a.cro", "tmrdat.zyv", "file0.grp", "Upgrade", "language.ini", "error.log"});
        UnstService()->showUninstaller();
        frmUnst *w = UnstWindow();
        w->Option1[1]->click();
        w->Check1[1]->click();
        const QString list = QStringLiteral("Delete User Files (Macros, Timers, etc.), \r\n");

        // No: nothing goes.
        w->cmdUninstall->click();
        QCOMPARE(dialogs.calls,
                 QStringList{"questions Remove Zyv Are you sure you want to do the following?"
                             "\r\n\r\n" +
                             list + " 2"});
        QCOMPARE(Remaining().size(), 6);

        // Yes.
        w->cmdUninstall->click();
        QCOMPARE(Remaining(), QStringList({"error.log", "language.ini"}));
        QCOMPARE(GetSet("Settings", "HelpTop"), QStringLiteral("100"));
        QVERIFY(timers.calls.isEmpty());
        QCOMPARE(dialogs.infos, QStringList{list + "\r\n  -Successfully Completed!"});
        QVERIFY(!w->isVisible());
        QCOMPARE(exits, 0);
    }

    void fullRemoval()
    {
        test::InstalledDialogs dialogs;
        dialogs.answer = 1;
        test::FakeWaitClock clock;
        QVERIFY(test::WriteBytes(AppSettingsFile(kOtherEditionName),
                                 "[Database16]\nCurrentExePath=/opt/old\n"));
        SaveSet("Database16", "CurrentVersion", "1.70.1050");
        AssocCro();
        QVERIFY(CroAssociated());
        QVERIFY(CreateDeskLink());
        AddStartup("Orvendale", program, 1, true);
        QVERIFY(!StartupValue("Orvendale").isEmpty());
        MakeFiles({"a.cro", "b.zyv", "file1.grp", "TimerLog.log", "ST6UNST.LOG", "ST6UNST.001",
                   "language.ini", "zyvHelp.html"});
        QVERIFY(OpenDataFile(Folder("db.zvd")));
        QVERIFY(QFile::exists(Folder("db.zvd")));

        // The scheduler runs on: its log's autosave writes the log file at
        // every turn of events until it is stopped.
        timerLog.autosave.start();
        // A message shown after the removal would let events run while it
        // is read.
        dialogs.onInfo = [](auto &&...) {
            for (int i = 0; i < 3; ++i)
                QCoreApplication::processEvents();
        };

        UnstService()->showUninstaller();
        frmUnst *w = UnstWindow();
        QTest::mouseClick(w->Option1[0], Qt::LeftButton);
        QTest::mouseClick(w->cmdUninstall, Qt::LeftButton);
        dialogs.onInfo = nullptr;

        // Asked once, saying beforehand that the program closes and where
        // its own files remain.
        QCOMPARE(dialogs.asked.size(), 1);
        QVERIFY(dialogs.asked[0].contains("Delete Registry Entries, \r\nDelete User Files "
                                          "(Macros, Timers, etc.), \r\nRemove Orvendale, \r\n"));
        QVERIFY(dialogs.asked[0].contains("closes as soon as the removal is done"));
        QVERIFY(dialogs.asked[0].endsWith(ProgramFolder()));
        // Scheduler and timer log stopped (and saved) before anything went.
        QCOMPARE(timers.calls, QStringList{"unload, settings there"});
        QCOMPARE(timerLog.unloads, 1);
        QVERIFY(!timerLog.autosave.isActive());
        QVERIFY(!QFile::exists(SettingsFilePath()));
        QVERIFY(!QFile::exists(AppSettingsFile(kOtherEditionName)));
        QVERIFY(!CroAssociated());
        QVERIFY(!QFile::exists(DeskLinkPath()));
        QVERIFY(StartupValue("Orvendale").isEmpty());
        QVERIFY(!DataFileIsOpen());
        QCOMPARE(Remaining(), QStringList({"language.ini", "ST6UNST.LOG", "zyvHelp.html"}));
        // The program ends at once: no message lets anything run on.
        QCOMPARE(exits, 1);
        QVERIFY(AbortSend);
        QCOMPARE(dialogs.infos, QStringList());
        QCoreApplication::processEvents();
        QVERIFY(!QFile::exists(Folder("TimerLog.log")));
    }

    void clearAllSettingsAsksFirst()
    {
        test::InstalledDialogs dialogs;
        dialogs.answers = {2, 1};
        SaveSet("Settings", "MainTop", "300");
        SaveSet("Database16", "CurrentVersion", "1.70.1050");
        UnstService()->showUninstaller();
        frmUnst *w = UnstWindow();
        w->cmdResetPos->click();
        QCOMPARE(GetSet("Settings", "MainTop"), QStringLiteral("300"));
        w->cmdResetPos->click();
        QCOMPARE(GetSet("Settings", "MainTop", "gone"), QStringLiteral("gone"));
        QCOMPARE(GetSet("Database16", "CurrentVersion"), QStringLiteral("1.70.1050"));
        QCOMPARE(dialogs.asked,
                 QStringList(2, "Are you sure you want to Reset the window locations?"));
    }
};

QELT_TEST_MAIN(TestFrmUnst)
#include "tst_frmUnst.moc"
