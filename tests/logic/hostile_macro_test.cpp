#include "logic/MacroPlayer.h"

#include "logic/BoundedRead.h"
#include "logic/ErrorLog.h"
#include "logic/Globals.h"
#include "logic/MacroFile.h"
#include "logic/ProgramFolder.h"
#include "logic/SerialLink.h"
#include "logic/Transmitter.h"
#include "tests/support/Bounds.h"
#include "tests/support/FakeWaitClock.h"
#include "tests/support/FileBytes.h"

#include <QElapsedTimer>
#include <QFile>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

using namespace qelt;

// A ".cro" handed over by another program may name anything. The console
// plays only a regular macro file of sane size; anything else is refused at
// once, noted in the error log, and sends nothing but the lead-in.
TEST(HostileMacro, FifoDeviceAndHugeFileAreRefusedWithoutWaiting)
{
    alarm(60); // a read that blocks ends the test run instead of hanging it
    test::FakeWaitClock clock;
    clock.pumpRealEvents = false;
    RecordingSerialLink link;
    SetCommLink(&link);

    const QString fifo = InProgramFolder(QStringLiteral("x.cro"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString zero = InProgramFolder(QStringLiteral("zero.cro"));
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), zero));
    const QString huge = InProgramFolder(QStringLiteral("huge.cro"));
    {
        QFile f(huge);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        // Sparse: a long run of zero bytes that costs no disk.
        ASSERT_TRUE(f.resize(qint64(64) * 1024 * 1024));
    }
    for (const QString &path : {fifo, zero, huge}) {
        QFile::remove(ErrorLogPath());
        QList<MacroItem> items;
        QElapsedTimer t;
        t.start();
        EXPECT_FALSE(ReadMacroFile(path, &items)) << path.toStdString();
        EXPECT_TRUE(items.isEmpty());
        MacroPlayHooks hooks;
        bool closed = false;
        hooks.closingPattern = [&] { closed = true; };
        EXPECT_EQ(PlayMacroFile(path, hooks), MacroPlayResult::Failed) << path.toStdString();
        EXPECT_FALSE(closed);
        EXPECT_LT(t.elapsed(), test::kAtOnceMs) << path.toStdString();
        EXPECT_TRUE(test::ReadBytes(ErrorLogPath()).contains("Logged")) << path.toStdString();
    }
    SetCommLink(nullptr);
    alarm(0);
}
