#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

namespace qelt {

// The lasting record of the scheduler's log, "TimerLog.log" in the program
// folder, and the saved copies of the log. Items are written one per line as
// a double quote, the text unchanged, a double quote and CR LF.
class TimerLogFile {
public:
    // Limits read from section "Settings" (written by the preferences). A value
    // that is missing, not a number or out of range falls back to its default.
    struct Limits {
        double maxLogSize = 500;     // "MaxLogSize": highest line index kept on screen
        int keepLogSize = 400;       // "KeepLogSize": lines (plus one) kept after a move
        bool trimFile = true;        // "TrimTimerLog" = 1
        double maxFileLines = 59000; // "MaxLogFileLines"
        static Limits FromSettings();
    };

    // How the log text of the window is split by the minute's autosave.
    struct Split {
        bool due = false;  // the log has more pieces than the limit allows
        QStringList moved; // the oldest pieces, without line ends, oldest first
        QString kept;      // the new window text: CR LF + piece for each kept piece
    };

    struct AutosaveResult {
        bool moved = false;  // older lines are to leave the window
        bool written = true; // the file step worked (also true when nothing was to be written)
        QString keptText;    // the window's new text when moved and written
    };

    explicit TimerLogFile(QString path = DefaultPath());

    static QString DefaultPath(); // program folder + "/TimerLog.log"
    const QString &path() const { return m_path; }

    // The date and time as log blocks stamp them, in the user's locale.
    static QString NowText(const QDateTime &now);
    static QString QuotedItem(const QString &text);
    // The save block (close, Clear, Save As) and the autosave block.
    static QString SaveBlock(const QString &logText, const QDateTime &now);
    static QString AutosaveBlock(const QStringList &lines, const QDateTime &now);

    static Split SplitForAutosave(const QString &logText, double maxLogSize, int keepLogSize);

    // Appends text to the file, creating it when missing. False on failure,
    // with the file as it was and the reason in *error when given.
    bool append(const QString &text, QString *error = nullptr) const;

    // The minute's move of older lines: when the log is past the limit the
    // file is opened for appending (so it exists afterwards) and, with saveOn,
    // the autosave block is written. When that write fails, written is false
    // and the window must keep its text: nothing is dropped that was not saved.
    // Without saveOn the lines are dropped even when the file cannot be made.
    AutosaveResult autosave(const QString &logText, bool saveOn, const Limits &limits,
                            const QDateTime &now) const;

    // Appends the save block when saveOn and the log is not empty (window
    // close and Clear). True when nothing had to be written or it was written.
    bool saveAtClose(const QString &logText, bool saveOn, const QDateTime &now) const;

    // Cuts a text file back to its last maxSize lines (CR LF separated) once
    // it holds more than maxSize + 3 pieces, removing every double quote. The
    // file is replaced atomically, so a failed write leaves it whole. A
    // missing file is created empty. False when it cannot be read or written.
    static bool FixFileSize(const QString &fileName, double maxSize, QString *error = nullptr);

    // "Save As": the path for a typed answer, program folder + "/" + answer +
    // ".log". Empty when there is nothing to save to (empty answer) or the name
    // is refused (it holds a folder separator or control characters, which
    // would write outside the program folder); *refused tells the two apart.
    static QString SaveAsPath(const QString &answer, bool *refused = nullptr);
    // Creates or replaces path with the save block, atomically; false with
    // the reason in *error when it could not be written whole.
    static bool WriteSaveAs(const QString &path, const QString &logText, const QDateTime &now,
                            QString *error = nullptr);

    // The text a print of the log shows: the log text with plain line ends,
    // followed by "Printed on:  " + date + " at " + time.
    static QString PrintText(const QString &logText, const QDateTime &now);

private:
    QString m_path;
};

} // namespace qelt
