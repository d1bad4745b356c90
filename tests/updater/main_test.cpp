#include "logic/Globals.h"
#include "logic/ProgramFolder.h"
#include "logic/Settings.h"
#include "tests/support/FakeWaitClock.h"
#include "tests/support/GtestPrinters.h"
#include "updater/modUpdate.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace qelt;
using namespace qelt::updater;

namespace {

class UpdaterMainTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        QFile::remove(SettingsFilePath());
        started.clear();
        startedAt = -1;
        startResult = true;
        otherRunning = false;
        windowsLoaded = 0;
        hooks.startProgram = [this](const QString &path) {
            started << path;
            startedAt = clock.nowNs();
            return startResult;
        };
        hooks.otherInstanceRunning = [this] { return otherRunning; };
        hooks.loadUpdateWindow = [this] { ++windowsLoaded; };
    }

    test::FakeWaitClock clock;
    MainHooks hooks;
    QStringList started;
    qint64 startedAt = -1;
    bool startResult = true;
    bool otherRunning = false;
    int windowsLoaded = 0;
};

TEST_F(UpdaterMainTest, RestartRequestWaitsOneSecondStartsTheMainProgramAndClearsIt)
{
    const struct {
        const char *stored; // nullptr: nothing stored
        QStringList args;
        bool other;
        bool startWorks;
    } cases[] = {
        {"restart", {}, false, true},
        {"0", {"restart"}, false, true},
        {nullptr, {"restart"}, false, true},
        // Served even while another updater runs, and when the start fails.
        {"restart", {}, true, true},
        {"restart", {}, false, false},
    };
    for (const auto &c : cases) {
        SetUp();
        if (c.stored)
            SaveSet("Database16", "ReStart", c.stored);
        otherRunning = c.other;
        startResult = c.startWorks;
        const qint64 before = clock.nowNs();
        EXPECT_EQ(Main(c.args, hooks), MainResult::Restarted);
        // The console installed beside the updater, not a file in the program
        // folder (which QELT_HOME may put elsewhere).
        EXPECT_EQ(started, QStringList{QCoreApplication::applicationDirPath() + "/Qelt"});
        EXPECT_GE(startedAt - before, 1'000'000'000);
        EXPECT_LT(startedAt - before, 1'100'000'000);
        EXPECT_EQ(GetSet("Database16", "ReStart"), "0");
        EXPECT_EQ(windowsLoaded, 0);
    }
}

TEST_F(UpdaterMainTest, OnlyTheExactWordAsksForARestart)
{
    const struct {
        const char *stored;
        QStringList args;
    } cases[] = {
        {"Restart", {}},           {" restart", {}},    {"restart ", {}}, {"0", {"Restart"}},
        {"0", {"restart", "now"}}, {"0", {"/restart"}}, {"", {}},
    };
    for (const auto &c : cases) {
        SetUp();
        SaveSet("Database16", "ReStart", c.stored);
        windowsLoaded = 0;
        EXPECT_EQ(Main(c.args, hooks), MainResult::CheckStarted) << c.stored;
        EXPECT_TRUE(started.isEmpty());
        EXPECT_EQ(windowsLoaded, 1);
        // The stored value is left as it was.
        EXPECT_EQ(GetSet("Database16", "ReStart"), QString::fromLatin1(c.stored));
    }
}

TEST_F(UpdaterMainTest, SecondUpdaterEndsWithoutWritingAnything)
{
    SaveSet("Settings", "ChkType", "autocheck");
    const QByteArray before = [] {
        QFile f(SettingsFilePath());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    otherRunning = true;
    EXPECT_EQ(Main({}, hooks), MainResult::AlreadyRunning);
    EXPECT_EQ(windowsLoaded, 0);
    EXPECT_TRUE(started.isEmpty());
    QFile f(SettingsFilePath());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), before);
}

TEST_F(UpdaterMainTest, CheckReadsVersionLanguageFileAndMode)
{
    const struct {
        const char *chkType; // nullptr: nothing stored
        const char *mode;
    } modes[] = {{"autocheck", "autocheck"},
                 {"AutoCheck", "manual"},
                 {"manual", "manual"},
                 {"autocheck ", "manual"},
                 {nullptr, "manual"}};
    for (const auto &m : modes) {
        SetUp();
        if (m.chkType)
            SaveSet("Settings", "ChkType", m.chkType);
        ASSERT_EQ(Main({}, hooks), MainResult::CheckStarted);
        EXPECT_EQ(UpdateMode, QString::fromLatin1(m.mode)) << (m.chkType ? m.chkType : "none");
    }

    SetUp();
    Main({}, hooks);
    EXPECT_EQ(LocalVersion, "170.1039");
    EXPECT_EQ(LangFile, ProgramFolder() + "/language.ini");

    SaveSet("Database16", "CurrentVersion", "1.70.1050");
    SaveSet("Database16", "CurrentExePath", "/opt/qelt");
    Main({}, hooks);
    EXPECT_EQ(LocalVersion, "1.70.1050");
    EXPECT_EQ(LangFile, "/opt/qelt/language.ini");
}

} // namespace
