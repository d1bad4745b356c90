#pragma once

#include <QString>
#include <QStringList>

// What the group editor shows of a group, as plain data. Links Qt Core only.
namespace qelt {

// The group selector's entry for group n (0 to 7): "Group " + (n + 1) +
// " (" + label + ")".
QString GroupSelectorText(int n, const QString &label);

// A recorded command as the group editor lists it: house letter and unit
// number ("C12").
QString HouseUnitText(const QString &code);

// A group file as the group page shows it.
struct GroupListing {
    QStringList lines; // every item of the file, quotes taken off
    QString label;     // from the first header line; empty when none
    bool hasLabel = false;
    QString contents; // house and unit of every code, joined by ", "
};

// Reads the group file at `path`. False when it is missing or cannot be
// read (the listing is then empty).
bool ReadGroupListing(const QString &path, GroupListing *listing);

} // namespace qelt
