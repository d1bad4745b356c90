#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

// The version file the maker's server offers, and version numbers.
namespace qelt::updater {

// The four items of a version file (web version, progress maximum, message
// head, message tail), read as comma- or line-separated items: a quoted item
// may hold commas and loses its quotes, blanks around an unquoted item are
// dropped, a missing item is empty. Always four entries.
QStringList ReadVersionItems(const QByteArray &bytes);

// A version number written as digits with at most one decimal point
// ("170.1050"), read with "." as the decimal point whatever the locale.
// Anything else (empty, text, signs, exponents, quotes) is not a version.
std::optional<double> VersionNumber(const QString &text);

// The main program's version "Major.Minor.Revision" in the server's form:
// its first four characters without the points, then the part from the last
// point on ("1.70.1050" gives "170.1050", "1.7.1050" gives "17.1050").
// A version without a point is taken as it stands.
QString NormaliseVersion(const QString &localVersion);

// A number in its shortest form ("170.105" for 170.1050).
QString ShortestNumber(double value);

// True when the web version is a version greater than the normalised local
// version. A web or local text that is not a version is never newer.
bool IsNewer(const QString &webItem, const QString &localVersion);

} // namespace qelt::updater
