#include "logic/TimerTable.h"

#include "logic/DayRule.h"
#include "logic/FileHelpers.h"
#include "logic/Lang.h"
#include "logic/ProgramFolder.h"
#include "logic/SchedulerClock.h"

#include <QDir>
#include <QRegularExpression>

namespace qelt {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

TimerRow emptyRow()
{
    TimerRow row;
    row.dayRule = NotSetText();
    return row;
}

QString timerWord(int rowIndex)
{
    return LangCap(QStringLiteral("Timer")) + u' ' + QString::number(rowIndex + 1);
}

// Removes control characters (binary bytes in a damaged file) but keeps TAB.
bool stripControls(QString *text)
{
    bool found = false;
    QString clean;
    clean.reserve(text->size());
    for (QChar c : *text) {
        if ((c.unicode() < 0x20 && c != u'\t') || c.unicode() == 0x7F) {
            found = true;
            continue;
        }
        clean.append(c);
    }
    if (found)
        *text = clean;
    return found;
}

} // namespace

TimerTable::TimerTable()
{
    for (int i = 0; i < kMinRows; ++i)
        m_rows.append(emptyRow());
    m_saved = m_rows;
}

bool TimerTable::addRow()
{
    if (rowCount() >= kMaxRows)
        return false;
    m_rows.append(emptyRow());
    return true;
}

bool TimerTable::removeLastRow()
{
    if (rowCount() <= kMinRows)
        return false;
    m_rows.removeLast();
    return true;
}

void TimerTable::setRowCount(int n)
{
    n = qBound(kMinRows, n, kMaxRows);
    while (rowCount() < n)
        m_rows.append(emptyRow());
    while (rowCount() > n)
        m_rows.removeLast();
}

QString TimerTable::TimerLine(const TimerRow &row)
{
    return u'"' + row.action + u'*' + row.startText + u'*' + row.dayRule + u'"';
}

QString TimerTable::toFileText() const
{
    QString text;
    for (const TimerRow &row : m_rows)
        text += TimerLine(row) + kCrLf;
    return text;
}

void TimerTable::fromFileText(const QString &text, QStringList *problems, int minRows)
{
    QStringList found;
    // Lines end in CR LF; a bare LF is taken as a line end too, so a file
    // edited with another tool still reads. The piece after the last line
    // end is not a complete line and is not read.
    QStringList pieces = text.split(QRegularExpression(QStringLiteral("\r?\n")));
    if (!pieces.last().isEmpty())
        found << LangCap(QStringLiteral("Timer file")) + QStringLiteral(": ") +
                     LangCap(QStringLiteral("last line without line end not read"));
    pieces.removeLast();
    if (pieces.size() > kMaxRows) {
        found << LangCap(QStringLiteral("Timer file")) + QStringLiteral(": ") +
                     QString::number(pieces.size()) + u' ' +
                     LangCap(QStringLiteral("lines; only the first")) + u' ' +
                     QString::number(kMaxRows) + u' ' + LangCap(QStringLiteral("were read"));
        pieces = pieces.mid(0, kMaxRows);
    }

    QChar separator;
    if (text.contains(u'*'))
        separator = u'*';
    else if (text.contains(u','))
        separator = u',';

    m_rows.clear();
    const int rows = qBound(kMinRows, qMax(minRows, int(pieces.size())), kMaxRows);
    for (int i = 0; i < rows; ++i)
        m_rows.append(emptyRow());

    for (int i = 0; i < pieces.size(); ++i) {
        QString line = pieces[i];
        line.remove(u'"');
        if (stripControls(&line))
            found << timerWord(i) + QStringLiteral(": ") +
                         LangCap(QStringLiteral("unreadable characters removed"));
        const QStringList fields = separator.isNull() ? QStringList{line} : line.split(separator);
        TimerRow &row = m_rows[i];
        if (fields.size() > 0)
            row.action = fields[0];
        if (fields.size() > 1)
            row.startText = fields[1];
        if (fields.size() > 2)
            row.dayRule = fields[2];
        if (fields.size() < 3 && !line.isEmpty())
            found << timerWord(i) + QStringLiteral(": ") +
                         LangCap(QStringLiteral("incomplete line")) + QStringLiteral(" - ") + line;
        if (row.action.isEmpty() || row.startText.isEmpty()) {
            row.dayRule = NotSetText();
        } else if (!IsDayRule(row.dayRule) && row.dayRule != NotSetText()) {
            found << timerWord(i) + QStringLiteral(": ") +
                         LangCap(QStringLiteral("unknown day rule")) + QStringLiteral(" - ") +
                         row.dayRule;
        }
    }
    if (problems)
        *problems << found;
}

QString TimerTable::DefaultPath()
{
    return InProgramFolder(QStringLiteral("tmrdat.zyv"));
}

bool TimerTable::load(const QString &path, QStringList *problems, int minRows)
{
    bool ok = false;
    const QString text = LoadFormatText(path, &ok);
    if (!ok)
        return false;
    fromFileText(text, problems, minRows);
    markSaved();
    return true;
}

bool TimerTable::save(const QString &path) const
{
    QString text = toFileText();
    text.chop(2); // SaveTextFile ends the text with CR LF itself
    return SaveTextFile(text, path);
}

std::pair<int, int> TimerTable::findStartConflict() const
{
    const int n = rowCount();
    QList<QTime> times(n);
    QList<bool> empty(n);
    for (int k = 0; k < n; ++k) {
        const QString t = m_rows[k].triggerTime.trimmed();
        empty[k] = t.isEmpty();
        times[k] = ParseClockText(t);
    }
    for (int i = 0; i < n; ++i) {
        if (empty[i] || !times[i].isValid())
            continue;
        for (int j = 0; j < n && !empty[j]; ++j) {
            if (j == i || !times[j].isValid())
                continue;
            if (qAbs(times[i].secsTo(times[j])) <= 1)
                return {i, j};
        }
    }
    return {-1, -1};
}

QString TimerTable::ConflictMessage(int i, int j)
{
    return LangCap(QStringLiteral("Timer")) + u' ' + QString::number(i + 1) +
           LangTip(QStringLiteral("and")) + LangCap(QStringLiteral("Timer")) + u' ' +
           QString::number(j + 1) + u' ' + LangCap(QStringLiteral("have a start time conflict.")) +
           kCrLf + LangCap(QStringLiteral("Start times should be at least 2 seconds apart!"));
}

QString TimerTable::ActionPath(const QString &action)
{
    const QString folder = ProgramFolder();
    if (QDir::isAbsolutePath(action) || action.left(60) == folder.left(60))
        return action;
    return folder + u'/' + action;
}

bool TimerTable::storeRuleOnly(int i, const QString &rule, const QString &path)
{
    if (i < 0 || i >= m_saved.size())
        return true; // a row never stored has no line to change
    QList<TimerRow> saved = m_saved;
    saved[i].dayRule = rule;
    QString text;
    for (const TimerRow &row : saved)
        text += TimerLine(row) + kCrLf;
    text.chop(2);
    if (!SaveTextFile(text, path))
        return false;
    m_saved = saved;
    return true;
}

} // namespace qelt
