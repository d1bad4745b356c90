#include "logic/GroupEditing.h"

#include "logic/FileHelpers.h"
#include "logic/GroupFile.h"
#include "logic/X10Codes.h"

namespace qelt {

QString GroupSelectorText(int n, const QString &label)
{
    return QStringLiteral("Group %1 (%2)").arg(n + 1).arg(label);
}

QString HouseUnitText(const QString &code)
{
    const CroWords words = CodeToCmd(code.left(16));
    return words.CroHouse + words.CroUnit;
}

bool ReadGroupListing(const QString &path, GroupListing *listing)
{
    GroupListing result;
    if (listing)
        *listing = result;
    if (path.isEmpty() || !FileExists(path))
        return false;
    bool ok = false;
    QString text = LoadFormatText(path, &ok);
    if (!ok)
        return false;
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    QStringList parts;
    for (const QString &line : text.split(QLatin1Char('\n'))) {
        const QString item = GroupItem(line);
        if (item.trimmed().isEmpty())
            continue;
        result.lines << item;
        if (IsGroupHeader(item)) {
            if (!result.hasLabel) {
                result.hasLabel = true;
                result.label = item.mid(9);
            }
            continue;
        }
        parts << HouseUnitText(item.trimmed());
    }
    result.contents = parts.join(QStringLiteral(", "));
    if (listing)
        *listing = result;
    return true;
}

} // namespace qelt
