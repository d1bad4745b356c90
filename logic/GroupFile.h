#pragma once

#include <QString>
#include <QStringList>

// Group files: group n (0 to 7, shown to the user as "Group n+1") lives in
// "file<n>.grp" in the group folder (the program's ExePath). Each line is one text in
// double quotes ended by CR LF: first the header "Group " + (n + 1) + ", " +
// label, then one 16-character command code per line.
namespace qelt {

inline constexpr int kGroupCount = 8;

// "file<n>.grp".
QString GroupFileName(int n);
// folder + "/file<n>.grp" ("" for n outside 0 to 7).
QString GroupFilePath(const QString &folder, int n);

// One line of a group file with the enclosing quotes taken off (the quotes
// at both ends only, so a label holding quotes keeps them).
QString GroupItem(const QString &line);
// True when an item is a header line (its first five characters, quotes
// removed, are "Group").
bool IsGroupHeader(const QString &item);

// What a group file holds. Blank lines are dropped; a code item is kept as
// it stands (readers that send it take its first 16 characters).
struct GroupFileContent {
    bool hasHeader = false;
    QString label;     // text of the header from its 10th character
    QStringList codes; // every non-header item, in file order
};

// Reads a group file. False (and an empty content) when the file is missing
// or cannot be read.
bool ReadGroupFile(const QString &path, GroupFileContent *content);

// The label kept in the header of a group file: with gGet_pPut "g" returns
// it ("" when the file is missing or its first line is not a header); with
// "p" rewrites the header with sLabel, keeping every code line (a file
// without a header gains one) and returns sLabel. "" for a missing file, on
// a failure, and for any other gGet_pPut (which is written to the error log).
// A "p" whose rewrite failed returns "" and, when given, sets *error to the
// reason (the file keeps its old label).
QString goGrLabel(const QString &gGet_pPut, const QString &iFlName, const QString &sLabel = {},
                  QString *error = nullptr);

// Writes group n in folder with its label and codes, replacing any old file whole (the
// old file stays as it was when the new one cannot be written). Asking
// whether to overwrite is the caller's business. False on failure.
bool SaveGroupFile(const QString &folder, int n, const QString &label, const QStringList &codes);

// Removes the file of group n in folder; true when it is gone afterwards.
bool DeleteGroupFile(const QString &folder, int n);

// The file text of a group: every line quoted and ended by CR LF.
QString GroupFileText(int n, const QString &label, const QStringList &codes);

} // namespace qelt
