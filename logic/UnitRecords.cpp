#include "logic/UnitRecords.h"

namespace qelt {

int RowUnit(int row, bool unitBank)
{
    return row + 1 + (unitBank ? 8 : 0);
}

int DeviceRec(int houseIndex, int unit)
{
    if (houseIndex < 0 || houseIndex > 15 || unit < 1 || unit > 16)
        return 0;
    return houseIndex * 16 + unit;
}

QString DescriptionOf(const QString &record)
{
    const int at = record.indexOf(QLatin1String(kDescSeparator));
    if (at >= 0)
        return record.mid(at + 3);
    return record.mid(2);
}

QString DeviceRecText(const QString &houseLetter, int unit, const QString &description)
{
    return houseLetter + QString::number(unit) + QLatin1String(kDescSeparator) + description;
}

QString HouseLetter(int houseIndex)
{
    if (houseIndex < 0 || houseIndex > 15)
        return {};
    return QString(QChar('A' + houseIndex));
}

} // namespace qelt
