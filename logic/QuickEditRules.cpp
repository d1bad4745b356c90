#include "logic/QuickEditRules.h"

#include "logic/MacroFile.h"

#include <QStringList>

#include <cmath>

namespace qelt {

namespace {

bool IsDigitOrColon(QChar c)
{
    return c.unicode() >= '0' && c.unicode() <= ':';
}

// Room for one more character under a length limit.
bool Fits(const QString &text, int selected, int limit)
{
    return text.size() - selected < limit;
}

} // namespace

QChar QuickEditKey(QuickBox box, QChar key, const QString &text, int selected)
{
    if (key.unicode() == 8)
        return key;
    const QChar upper = key.toUpper();
    switch (box) {
    case QuickBox::House:
        if (upper.unicode() >= 'A' && upper.unicode() <= 'P')
            return upper;
        return {};
    case QuickBox::Unit:
    case QuickBox::UnitPicker: {
        const bool limited = box == QuickBox::Unit;
        if (IsDigitOrColon(key))
            return !limited || Fits(text, selected, 2) ? key : QChar();
        if (QStringLiteral("AELPR").contains(upper) && upper.unicode() < 128)
            return !limited || Fits(text, selected, 3) ? upper : QChar();
        return {};
    }
    case QuickBox::Action:
        if (upper.unicode() < 128 && QStringLiteral("ABDFILMNORU").contains(upper))
            return upper;
        return {};
    case QuickBox::Pause:
        if (IsDigitOrColon(key))
            return key;
        if ((key == QLatin1Char('.') || key == QLatin1Char(',')) &&
            !text.contains(QLatin1Char('.')) && !text.contains(QLatin1Char(',')))
            return key;
        return {};
    }
    return {};
}

QString CorrectUnit(const QString &unit)
{
    if (unit == QLatin1String("P"))
        return QStringLiteral("PRE");
    if (unit == QLatin1String("A"))
        return QStringLiteral("ALL");
    return unit;
}

void CorrectAction(QString &action, QString &unit)
{
    action = action.toUpper();
    if (action == QLatin1String("D"))
        action = QStringLiteral("DIM");
    else if (action == QLatin1String("B"))
        action = QStringLiteral("BRI");
    else if (action == QLatin1String("N"))
        action = QStringLiteral("ON");
    else if (action == QLatin1String("F"))
        action = QStringLiteral("OFF");

    if ((action == QLatin1String("ON") || action == QLatin1String("OFF")) &&
        (unit == QLatin1String("ALL") || unit == QLatin1String("PRE")))
        unit.clear();
    else if (action == QLatin1String("BRI") || action == QLatin1String("DIM"))
        unit = QStringLiteral("PRE");
    else if (action == QLatin1String("AUF") || action == QLatin1String("ALF") ||
             action == QLatin1String("ALN"))
        unit = QStringLiteral("ALL");
}

QString CorrectPause(const QString &pause)
{
    QString text = pause.toUpper();
    QString number = text;
    number.replace(QLatin1Char(','), QLatin1Char('.'));
    double value = 0;
    if (number.trimmed().isEmpty() || !PauseSeconds(number, &value))
        return text;
    // The decimal point is always ".", the form the grid and files read.
    text = number.trimmed();
    if (value < 0.3)
        text = QStringLiteral("0.3");
    while (text.size() < 4)
        text.prepend(QLatin1Char('0'));
    return text;
}

QString RunningPauseText(const QString &runningCell)
{
    double v = 0;
    if (!runningCell.isEmpty())
        PauseSeconds(runningCell, &v);
    if (v < 60)
        return (runningCell.isEmpty() ? QStringLiteral("0") : runningCell) + QStringLiteral(" sec");
    // Whole minutes and hours, counted in doubles: a long pause typed into
    // the box can sum to more than any integer holds.
    double m = std::floor(v / 60.0);
    v = std::fmod(v, 60.0);
    if (m < 60)
        return QStringLiteral("%1m %2s").arg(m, 0, 'f', 0).arg(QString::asprintf("%04.1f", v));
    const double h = std::floor(m / 60.0);
    m = std::fmod(m, 60.0);
    return QStringLiteral("%1h %2m %3s")
        .arg(h, 0, 'f', 0)
        .arg(m, 0, 'f', 0)
        .arg(QString::asprintf("%02.0f", v));
}

QString PaletteCaption(int index)
{
    static const QStringList tail = {
        QStringLiteral("PRE"), QStringLiteral("ALL"), QStringLiteral("BRI"),
        QStringLiteral("DIM"), QStringLiteral("ALN"), QStringLiteral("ALF"),
        QStringLiteral("AUF"), QStringLiteral("ON"),  QStringLiteral("OFF")};
    if (index >= 0 && index < 16)
        return QString(QChar('A' + index));
    if (index >= 16 && index < 32)
        return QString::number(index - 15);
    return tail.value(index - 32);
}

QString PaletteStatus(int index)
{
    if (index >= 0 && index < 16)
        return QStringLiteral("Select House Code:  Click letter to enter house code.");
    if (index >= 16 && index < 32)
        return QStringLiteral("Select Unit Code:  Click number to enter unit code.");
    switch (index) {
    case 32:
        return QStringLiteral("PRE (previous):  May only be used with BRI or DIM.");
    case 33:
        return QStringLiteral("ALL:  May only be used with ALN, ALF, or AUF.");
    case 34:
    case 35:
        return QStringLiteral("Bright and Dim may only be used with PRE in Unit Code.");
    case 36:
        return QStringLiteral("All Lights ON:  Must have ALL in Unit Code.");
    case 37:
        return QStringLiteral("All Lights OFF:  Must have ALL in Unit Code.");
    case 38:
        return QStringLiteral("All Units OFF:  Must have ALL in Unit Code.");
    case 39:
    case 40:
        return QStringLiteral("ON and OFF must have a number in Unit Code.");
    default:
        return {};
    }
}

bool PaletteFitsColumn(int index, int column)
{
    switch (column) {
    case ColHouse:
        return index >= 0 && index <= 15;
    case ColUnit:
        return index >= 16 && index <= 33;
    case ColAction:
        return index >= 34 && index <= 40;
    default:
        return false;
    }
}

int QuickEnterRow(MacroRows &rows, InsertMode mode, int currentRow,
                  const std::array<QString, 4> &fields)
{
    if (rows.isEmpty())
        rows = EmptyMacroRows();
    int r = 0;
    switch (mode) {
    case InsertMode::AtEnd:
        if (!rows.last()[ColUnit].isEmpty())
            rows.append(MacroRow{});
        r = int(rows.size());
        break;
    case InsertMode::AtRowNum:
        if (currentRow < 1)
            return 0;
        r = std::min(currentRow, int(rows.size()) + 1);
        rows.insert(r - 1, MacroRow{});
        break;
    case InsertMode::Replace:
        if (currentRow < 1 || currentRow > rows.size())
            return 0;
        r = currentRow;
        break;
    }
    MacroRow &row = rows[r - 1];
    for (int c = 0; c < 4; ++c)
        row[c] = fields[std::size_t(c)];
    return r;
}

void QuickRenumber(MacroRows &rows)
{
    double total = 0;
    for (int i = 0; i < rows.size(); ++i) {
        MacroRow &row = rows[i];
        if (row[ColPause].isEmpty())
            return;
        double seconds = 0;
        PauseSeconds(row[ColPause], &seconds);
        total += seconds;
        row[ColRowNum] = QString::number(i + 1);
        row[ColRunning] = QString::number(total, 'g', 15);
        row.numberShade = CellShade::Fresh;
    }
}

} // namespace qelt
