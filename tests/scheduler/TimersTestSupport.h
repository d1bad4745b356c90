#pragma once

#include "core/Dialogs.h"
#include "logic/DayRule.h"
#include "logic/Globals.h"
#include "logic/ProgramFolder.h"
#include "logic/SchedulerClock.h"
#include "logic/SerialLink.h"
#include "logic/Transmitter.h"
#include "logic/X10Codes.h"
#include "scheduler/FrmTimers.h"
#include "scheduler/frmTimerStatus.h"

#include <QDateTime>
#include <QFile>
#include <QStringList>
#include <QTest>

namespace qelt::test {

// A wall clock the test sets; it starts on a Tuesday morning, two seconds
// before 7:05.
class SettableWallClock : public WallClock {
public:
    QDateTime at = QDateTime(QDate(2026, 12, 8), QTime(7, 4, 58));
    QDateTime now() const override { return at; }
};

// Writes a timer or macro file: each line quoted, ended with CR LF.
inline void writeQuotedLines(const QString &path, const QStringList &lines)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    for (const QString &l : lines)
        f.write(("\"" + l + "\"\r\n").toUtf8());
}

// n rows of a timer file that hold no timer.
inline QStringList notSetRows(int n)
{
    QStringList rows;
    for (int i = 0; i < n; ++i)
        rows << "**" + NotSetText();
    return rows;
}

// What the timers window tests start from: their wall clock and dialogs, no
// sounds, the language file in the program folder and the code tables.
inline void StartTimersTests(WallClock *wall, DialogProvider *dialogs)
{
    SetWallClock(wall);
    SetDialogProvider(dialogs);
    SoundsOn = false;
    LangFile = InProgramFolder("language.ini");
    SetHouseCodes();
    SetUnitCodes();
}

// The timers window and its log with one timer, "A 3 On" every day at
// 7:05, loaded from the timer file, over fake lines that record what is
// sent. The test sets its wall clock before making it.
struct OneTimerWindow {
    RecordingSerialLink link;
    frmTimerStatus log;
    FrmTimers w{&log};
    // What the timer sends.
    const QString frame = "1101010110101010" + CmdToCode("A", "3", "On") + "10101101";

    OneTimerWindow()
    {
        const QString path = InProgramFolder("tmrdat.zyv");
        writeQuotedLines(path, QStringList{"A 3 On*" + ClockText(QTime(7, 5, 0)) + "*Everyday"} +
                                   notSetRows(5));
        link.setPortOpen(true);
        SetCommLink(&link);
        w.timerFilePath = path;
        w.ensureLoaded();
    }
    ~OneTimerWindow() { SetCommLink(nullptr); }
};

} // namespace qelt::test
