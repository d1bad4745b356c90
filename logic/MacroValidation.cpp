#include "logic/MacroValidation.h"

#include "logic/MacroFile.h"
#include "logic/X10Codes.h"

#include <QStringList>

#include <algorithm>
#include <cmath>

namespace qelt {

MacroRows EmptyMacroRows()
{
    return MacroRows{MacroRow{}};
}

QString RunningTotalText(double total)
{
    QString text = QString::number(std::round(total * 100.0) / 100.0, 'f', 2);
    while (text.endsWith(QLatin1Char('0')))
        text.chop(1);
    if (text.endsWith(QLatin1Char('.')))
        text.chop(1);
    if (text.startsWith(QLatin1String("0.")))
        text.remove(0, 1);
    else if (text.startsWith(QLatin1String("-0.")))
        text.remove(1, 1);
    if (text == QLatin1String("0") || text == QLatin1String("-0"))
        return {};
    return text;
}

bool IsZeroPauseText(const QString &pause)
{
    static const QStringList zero = {QStringLiteral("0000"),
                                     QStringLiteral("000"),
                                     QStringLiteral("00"),
                                     QStringLiteral("0"),
                                     QString(),
                                     QStringLiteral("error")};
    return zero.contains(pause);
}

namespace {

void Renumber(MacroRows &rows)
{
    for (int r = 0; r < rows.size(); ++r)
        rows[r][ColRowNum] = QString::number(r + 1);
}

} // namespace

void FixGrid(MacroRows &rows)
{
    Renumber(rows);
    double total = 0.0;
    for (MacroRow &row : rows) {
        row.numberShade = CellShade::Plain;
        if (row.blank())
            continue;

        double seconds = 0.0;
        QString &pause = row[ColPause];
        if (!PauseSeconds(pause, &seconds))
            pause = QStringLiteral("error");
        if (IsZeroPauseText(pause)) {
            pause = QStringLiteral("error");
            row.pauseShade = CellShade::Error;
            seconds = 0.0;
        } else {
            row.pauseShade = CellShade::Plain;
            seconds = double(float(seconds));
        }

        total += seconds;
        row[ColRunning] = RunningTotalText(total);

        row.unitShade = CellShade::Plain;
        QString &unit = row[ColUnit];
        const QString &action = row[ColAction];
        if (action == QLatin1String("BRI") || action == QLatin1String("DIM"))
            unit = QStringLiteral("PRE");
        else if (action == QLatin1String("ALN") || action == QLatin1String("ALF") ||
                 action == QLatin1String("AUF"))
            unit = QStringLiteral("ALL");
        if ((unit == QLatin1String("ALL") || unit == QLatin1String("PRE") ||
             unit == QLatin1String("error")) &&
            (action == QLatin1String("ON") || action == QLatin1String("OFF"))) {
            unit = QStringLiteral("error");
            row.unitShade = CellShade::Error;
        }
    }
}

MacroRow RowFromItem(const MacroItem &item, int number, const QString &running)
{
    MacroRow row;
    const CroWords words = CodeToCmd(item.code);
    row[ColHouse] = words.CroHouse;
    row[ColUnit] = words.CroUnit;
    row[ColAction] = words.CroAction;
    row[ColPause] = item.pause;
    row[ColRowNum] = QString::number(number);
    row[ColRunning] = running;
    row.unitShade = CellShade::Fresh;
    row.pauseShade = CellShade::Fresh;
    row.numberShade = CellShade::Fresh;
    return row;
}

MacroRows RowsFromMacroText(const QString &fileText)
{
    MacroRows rows;
    double total = 0.0;
    // A blank line is skipped, not the end: the lines after it are part of
    // the macro and a later Save must keep them.
    for (const QString &item : MacroItems(fileText)) {
        const MacroItem parsed = ParseMacroItem(item);
        double seconds = 0.0;
        PauseSeconds(parsed.pause, &seconds);
        total += seconds;
        rows << RowFromItem(parsed, int(rows.size()) + 1, QString::number(total));
    }
    if (rows.isEmpty())
        rows = EmptyMacroRows();
    return rows;
}

MacroRowsToItems ItemsFromRows(const MacroRows &rows)
{
    MacroRowsToItems result;
    for (int r = 0; r < rows.size(); ++r) {
        const MacroRow &row = rows.at(r);
        const QString code = CmdToCode(row[ColHouse], row[ColUnit], row[ColAction]);
        const QString pause = FitPause(row[ColPause]);
        double seconds = 0.0;
        if (row[ColHouse].isEmpty() && row[ColUnit].isEmpty() && row[ColAction].isEmpty()) {
            // Empty rows at the end (the empty grid's row) end the macro.
            bool restEmpty = true;
            for (int k = r; k < rows.size(); ++k)
                restEmpty = restEmpty && rows.at(k)[ColHouse].isEmpty() &&
                            rows.at(k)[ColUnit].isEmpty() && rows.at(k)[ColAction].isEmpty();
            if (restEmpty)
                return result;
            result.stopRow = r + 1;
            result.problem = RowProblem::Blank;
            return result;
        }
        const QString &unit = row[ColUnit];
        const QString &action = row[ColAction];
        if (unit.isEmpty() || action.isEmpty() || code.size() != kMacroCodeLength) {
            result.stopRow = r + 1;
            if (unit.isEmpty() || action.isEmpty())
                result.problem = RowProblem::NoUnitOrAction;
            else if ((action == QLatin1String("ON") || action == QLatin1String("OFF")) &&
                     (unit == QLatin1String("ALL") || unit == QLatin1String("PRE") ||
                      unit == QLatin1String("error")))
                result.problem = RowProblem::UnitForAction;
            else
                result.problem = RowProblem::NoCommand;
            return result;
        }
        if (pause.isEmpty() || !PauseSeconds(pause, &seconds)) {
            result.stopRow = r + 1;
            result.badPause = true;
            result.problem = RowProblem::BadPause;
            return result;
        }
        result.items << MacroItem{code, pause};
    }
    return result;
}

bool ShowWrittenItems(MacroRows &rows, const QList<MacroItem> &written)
{
    bool changed = false;
    const int count = int(std::min(rows.size(), written.size()));
    for (int r = 0; r < count; ++r) {
        const MacroRow shown = RowFromItem(written.at(r), r + 1, {});
        for (const int c : {ColHouse, ColUnit, ColAction, ColPause}) {
            if (rows[r][c] != shown[c]) {
                rows[r][c] = shown[c];
                changed = true;
            }
        }
    }
    return changed;
}

bool DeleteMacroRow(MacroRows &rows, int r)
{
    if (r < 1 || r > rows.size())
        return false;
    if (rows.size() < 2) {
        rows[r - 1] = MacroRow{};
        return true;
    }
    rows.removeAt(r - 1);
    Renumber(rows);
    return true;
}

QString PadPause(const QString &text)
{
    if (text.size() >= 4)
        return text;
    return QString(4 - text.size(), QLatin1Char('0')) + text;
}

} // namespace qelt
