#include "logic/ActionRunner.h"

#include "logic/ErrorLog.h"
#include "logic/FileHelpers.h"
#include "logic/Lang.h"
#include "logic/MacroSlots.h"
#include "logic/SchedulerClock.h"
#include "logic/SchedulerHost.h"
#include "logic/TimerTable.h"
#include "logic/Transmitter.h"
#include "logic/X10Codes.h"

#include <QDir>
#include <QFileInfo>

namespace qelt {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

QString timerWord(int row)
{
    return LangCap(QStringLiteral("Timer")) + u' ' + QString::number(row + 1);
}

// True when the text names a program or shortcut to start: the whole text
// is a file, or the text up to and including the first ".exe" / ".lnk" /
// ".desktop" of its file name is one, or (programs here need no extension)
// the text up to one of its blanks is an executable file, the rest being
// arguments.
bool namesProgram(const QString &t)
{
    if (FileExists(t))
        return true;
    const int slash = t.lastIndexOf(u'/');
    const QString folder = t.left(slash + 1);
    const QString name = t.mid(slash + 1);
    for (const QString &ext :
         {QStringLiteral(".exe"), QStringLiteral(".lnk"), QStringLiteral(".desktop")}) {
        const int at = name.indexOf(ext, 0, Qt::CaseInsensitive);
        if (at >= 0)
            return FileExists(folder + name.left(at + ext.size()));
    }
    for (int blank = t.indexOf(u' '); blank > 0; blank = t.indexOf(u' ', blank + 1)) {
        const QFileInfo info(t.left(blank));
        if (info.isFile() && info.isExecutable())
            return true;
    }
    return false;
}

// The command line that starts the program the action text names: the text
// as it stands, or, for a relative name found only in the program folder,
// the text with that folder in front. Empty when it names no program.
QString programCommand(const QString &s)
{
    if (s.isEmpty())
        return {};
    if (namesProgram(s))
        return s;
    const QString inFolder = TimerTable::ActionPath(s);
    return inFolder != s && namesProgram(inFolder) ? inFolder : QString();
}

} // namespace

ActionRunner::ActionRunner(TimerTable &table, MacroSlots &macroSlots, OverflowList &overflow,
                           SchedulerHost &host)
    : m_table(table), m_slots(macroSlots), m_overflow(overflow), m_host(host)
{
}

void ActionRunner::hold(qint64 startNs)
{
    TimerStarting = true;
    m_holdUntilNs = startNs + qint64(StartHold * 1e9);
}

void ActionRunner::endHoldIfDue()
{
    if (TimerStarting && CurrentWaitClock().nowNs() >= m_holdUntilNs)
        TimerStarting = false;
}

void ActionRunner::StartTimer()
{
    const int row = CurTimer;
    // The hold counts from the start's beginning, so rows due a second
    // apart each start on time however long the action took.
    const qint64 startNs = CurrentWaitClock().nowNs();
    auto finish = [this, startNs] { hold(startNs); };
    if (!m_table.isValidRow(row)) {
        TimerStarting = false;
        return;
    }
    QString path = m_table.row(row).macroPath;
    const QString e = path.right(3);
    if (e != QLatin1String("cro")) {
        if (e == QLatin1String("exe") || e == QLatin1String("lnk") ||
            !FileExists(path + QStringLiteral(".cro"))) {
            RunAction(QString::number(row));
            finish();
            return;
        }
        path += QStringLiteral(".cro"); // a macro named without its extension
    }

    int k = m_slots.firstFree();
    if (k < 0) {
        // All busy: let pending events run once per slot, in case one ends now.
        for (int n = 0; n < MacroSlots::kSlots && k < 0; ++n) {
            CurrentWaitClock().processEvents();
            if (!m_slots.enabled(n))
                k = n;
        }
    }

    if (!FileExists(path)) {
        ReportFileNotFound(m_host, row, path);
        finish();
        return;
    }
    if (k < 0) {
        m_overflow.add(row, WallNow(), path);
        m_host.setStatus(row,
                         timerWord(row) + QStringLiteral(":  To many timers running...") + kCrLf +
                             m_table.row(row).action +
                             QStringLiteral(" was sent to the overflow buffer!"),
                         kStatusOverflowRgb);
        m_host.appendLog(
            LogEntry(timerWord(row) + QStringLiteral(" was sent to overflow buffer to run next!")));
        finish();
        return;
    }
    QStringList items;
    if (!ReadMacroItems(path, &items)) {
        WriteErrLog(
            QStringLiteral("75 Path/File access error: StartTimer in FrmTimers: Timer %1 - %2")
                .arg(row + 1)
                .arg(path));
        m_host.setStatus(
            row, m_host.statusText(row) + u'\t' + LangCap(QStringLiteral("Error")).toUpper(),
            kStatusErrorRgb);
        m_host.appendLog(LogEntry(timerWord(row) + QStringLiteral(": ") +
                                  LangCap(QStringLiteral("Error")).toUpper() +
                                  QStringLiteral(" - ") + QDir::toNativeSeparators(path)));
        finish();
        return;
    }
    m_slots.load(k, row, items, WallNow(), true);
    finish();
}

void ActionRunner::RunAction(const QString &rowText)
{
    bool ok = false;
    const int i = rowText.toInt(&ok);
    if (!ok || !m_table.isValidRow(i))
        return;
    const QString A = m_table.row(i).action;
    if (m_host.timerSoundOn())
        m_host.playTimerSound();
    m_host.setTimerIndicator(true);

    const QString s = A.trimmed();
    bool done = false;
    const QString program = programCommand(s);
    if (!program.isEmpty()) {
        // The whole text, so words after the program name reach it as arguments.
        done = m_host.runFile(program);
    } else {
        const QStringList w = s.split(u' ');
        if (w.size() == 3) {
            const QString upper = w[0].toUpper();
            if (upper == QLatin1String("GROUP") ||
                upper == LangCap(QStringLiteral("Group")).toUpper()) {
                bool numOk = false;
                const int group = w[1].toInt(&numOk);
                done = numOk && group >= 1 && group <= 8 &&
                       m_host.strtGroup(group - 1, w[2].toUpper());
            } else {
                const QString code = CmdToCode(w[0], w[1], w[2]);
                done = IsCmdCode(code) &&
                       SendCode(code, QStringLiteral("RunAction"), QStringLiteral("FrmTimers"));
            }
        }
    }

    if (done) {
        m_host.appendLog(LogEntry(u'\t' + timerWord(i) + QStringLiteral(":  (") + A +
                                  QStringLiteral(") :  ") + LangCap(QStringLiteral("Success"))));
        m_host.setStatus(i, m_host.statusText(i) + u'\t' + LangCap(QStringLiteral("Success")),
                         kStatusDoneRgb);
    } else {
        m_host.appendLog(LogEntry(timerWord(i) + QStringLiteral(": ") +
                                  LangCap(QStringLiteral("Error")) + QStringLiteral(" - ") + A));
        m_host.setStatus(i, m_host.statusText(i) + u'\t' + LangCap(QStringLiteral("Error")),
                         kStatusErrorRgb);
    }
    m_host.setTimerIndicator(false);
}

} // namespace qelt
