#include "logic/Settings.h"
#include "tests/support/FileBytes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace qelt;

// Values as a user may type them into the settings file by hand.
TEST(SettingsRead, HandEditedValues)
{
    ASSERT_TRUE(test::WriteBytes(SettingsFilePath(), "[Settings]\n"
                                                     "MainLeft=120, 45\n"
                                                     "Trailing=a,\n"
                                                     "Quoted=\"a, b\"\n"
                                                     "Plain=7\n"
                                                     "Empty=\n"
                                                     "[database16]\n"
                                                     "currentexepath=/opt/q\n"));
    // An unquoted comma makes no single text: the value counts as absent.
    EXPECT_EQ(GetSet("Settings", "MainLeft", "300"), "300");
    EXPECT_EQ(GetSet("Settings", "Trailing", "d"), "d");
    EXPECT_EQ(GetSet("Settings", "Quoted", "d"), "a, b");
    EXPECT_EQ(GetSet("Settings", "Plain", "d"), "7");
    EXPECT_EQ(GetSet("Settings", "Empty", "d"), "");
    EXPECT_EQ(GetSet("Database16", "CurrentExePath"), "/opt/q");

    // A comma the program writes itself reads back as written.
    SaveSet("Settings", "MainLeft", "1, 5");
    EXPECT_EQ(GetSet("Settings", "MainLeft", "300"), "1, 5");
}

// The macro editor and the preferences read "SendOnRecord" alike: only a
// number equal to 0 stops sending while recording.
TEST(SettingsRead, SendOnRecord)
{
    const struct {
        const char *stored;
        bool sends;
    } cases[] = {{"1", true}, {"0", false},  {" 0 ", false}, {"0.0", false}, {"-0", false},
                 {"2", true}, {"0.5", true}, {"", true},     {"abc", true},  {"0x", true}};
    for (const auto &c : cases)
        EXPECT_EQ(SendOnRecordValue(c.stored), c.sends) << c.stored;

    DeleteSet("Settings", "SendOnRecord");
    EXPECT_TRUE(SendOnRecord());
    SaveSet("Settings", "SendOnRecord", "0");
    EXPECT_FALSE(SendOnRecord());
}

// A settings file that is not a regular file is not read: a FIFO would hold a
// plain reader for ever. The change is refused at once and the FIFO stays.
// A child process runs it, so that a reader that blocks ends the test.
TEST(SettingsRead, ChangeRefusedWhenTheFileIsNoRegularFile)
{
    const QString path = SettingsFilePath();
    QFile::remove(path);
    ASSERT_TRUE(QDir().mkpath(QFileInfo(path).path()));
    ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::alarm(10);
        ::_exit(SaveSet("Settings", "Plain", "8") ? 1 : 0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    const bool stillFifo = QFileInfo(path).exists() && !QFileInfo(path).isFile();
    QFile::remove(path);
    ASSERT_TRUE(WIFEXITED(status)) << "the change did not end";
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_TRUE(stillFifo);
}

// The preferences, the timers window, the scheduler and the macro runner
// read the sound switches alike: a value the preferences show as ON plays
// the sound, and one shown as OFF stays silent.
TEST(SettingsRead, SoundSwitches)
{
    const struct {
        const char *stored;
        bool on;
    } cases[] = {{"1", true},  {" 1", true}, {"1.0", true},  {"1,0", true}, {"0", false},
                 {"2", false}, {"", false},  {"abc", false}, {"1x", false}};
    for (const auto &c : cases)
        EXPECT_EQ(SwitchOnValue(c.stored), c.on) << c.stored;

    DeleteSetSection("Sounds");
    EXPECT_TRUE(SchedulerSoundOn("TimerTsound"));
    SaveSet("Sounds", "TimerTsound", " 1");
    EXPECT_TRUE(SchedulerSoundOn("TimerTsound"));
    SaveSet("Sounds", "TimerMsound", "0");
    EXPECT_FALSE(SchedulerSoundOn("TimerMsound"));
}
