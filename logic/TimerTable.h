#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

// The scheduler's timer table and its file "tmrdat.zyv".
namespace qelt {

// One timer row (row i is shown to the user as timer i + 1).
struct TimerRow {
    QString action;            // Text1(i): macro file, program, "C 11 On" or "GROUP 2 ON"
    QString startText;         // Text2(i): start time text, or a sun entry ("SR+30")
    QString dayRule;           // lblActiveDays(i) caption: a day-rule word or NotSetText()
    QString macroPath = " ";   // lstMacro entry i: the action as a path
    QString triggerTime = " "; // lstTime entry i: the resolved trigger time text

    // Run-time memory (not stored): the day and trigger text the row last
    // started on, so it cannot start twice in the same second.
    QDate lastFiredDate;
    QString lastFiredTrigger;
};

class TimerTable {
public:
    static constexpr int kMinRows = 6;
    static constexpr int kMaxRows = 100;

    TimerTable(); // kMinRows empty rows

    int rowCount() const { return int(m_rows.size()); }
    TimerRow &row(int i) { return m_rows[i]; }
    const TimerRow &row(int i) const { return m_rows[i]; }
    bool isValidRow(int i) const { return i >= 0 && i < rowCount(); }

    // Adds an empty row at the end; false at kMaxRows.
    bool addRow();
    // Removes the last row; false at kMinRows.
    bool removeLastRow();
    // Sets the number of rows, bounded to kMinRows..kMaxRows (new rows empty).
    void setRowCount(int n);

    // The file text: one line per row, "action*start*rule" between double
    // quotes, CR LF after every line. An empty row is "**" + NotSetText().
    QString toFileText() const;
    static QString TimerLine(const TimerRow &row);

    // Reads a file text: the rows are replaced by one row per complete line
    // (a last line without CR LF is not read), at least kMinRows and at most
    // kMaxRows. Field separator "*" when the text holds one, else "," when it
    // holds one, else none. Quotes are removed; missing fields stay empty;
    // rows without action or time get NotSetText(). Each line that could not
    // be taken whole is described in *problems (row numbers from 1). minRows
    // (bounded to kMinRows..kMaxRows) is the least number of rows made.
    void fromFileText(const QString &text, QStringList *problems = nullptr, int minRows = kMinRows);

    // The file in the program folder.
    static QString DefaultPath();
    // Loads the file (a missing file is created empty and gives empty rows).
    // False when it cannot be read; the table is then left as it was.
    bool load(const QString &path, QStringList *problems = nullptr, int minRows = kMinRows);
    // Writes the file atomically; false (the old file intact) on failure.
    bool save(const QString &path) const;

    // Start-time conflict over the trigger times: the first pair (i, j) of
    // rows whose times are less than 2 seconds apart, {-1, -1} when none.
    // The first index skips empty entries; the second stops at the first
    // empty entry; entries that do not read as a time are skipped.
    std::pair<int, int> findStartConflict() const;
    static QString ConflictMessage(int i, int j);

    // The row's action as a path: a relative text gets the program folder
    // in front (an absolute one, or one inside the program folder, stays).
    static QString ActionPath(const QString &action);

    // Remembers the rows as last loaded or saved, so one row's changed rule
    // can be stored without saving the table's other pending changes.
    void markSaved() { m_saved = m_rows; }
    // Sets the rule of row i in the stored copy and writes that copy to path.
    bool storeRuleOnly(int i, const QString &rule, const QString &path);

private:
    QList<TimerRow> m_rows;
    QList<TimerRow> m_saved;
};

} // namespace qelt
