#pragma once

#include <QList>
#include <QString>

// The built-in list of places offered for the sun calculation. Rows keep their
// insertion order; rows whose name begins with a blank are headings and
// separators of the list and carry zeros.
namespace qelt {

// One row: longitude and zone are positive WEST of Greenwich, latitude
// positive north, zone in whole hours.
struct CityRec {
    QString Name;
    double Longitude = 0;
    double Latitude = 0;
    int Zone = 0;
};

class CityTable {
public:
    // Appends a row at index CityCount().
    void AddCity(const QString &name, double latitude, double longitude, int zone);

    int CityCount() const { return int(m_rows.size()); }
    // The row's name, or "(Error)" for an index outside 0..CityCount()-1.
    QString CityName(int nCity) const;
    // The row at nCity; nCity must be within 0..CityCount()-1.
    const CityRec &Row(int nCity) const { return m_rows.at(nCity); }
    // Index of the first row whose name, without surrounding blanks and in
    // lower case, equals name treated the same way; -1 when none does.
    int FindCity(const QString &name) const;

    // The 67 rows of the built-in list: prompt, headings, 38 U.S. cities and
    // 22 cities of other countries.
    static CityTable BuiltIn();

private:
    QList<CityRec> m_rows;
};

} // namespace qelt
