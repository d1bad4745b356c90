#pragma once

#include <QString>

namespace qelt {

// The record data file: fixed records of 255 bytes, record n (from 1) at
// byte (n - 1) * 255, each a 2-byte little-endian length and that many bytes
// of text (at most 253): Windows-1252 where the text fits, otherwise UTF-8.
// Records are stored scrambled. One file is held open for the whole run.
inline constexpr int kRecordLength = 255;
inline constexpr int kMaxRecordText = kRecordLength - 2;

// Opens (creating when missing) the data file for reading and writing and
// keeps it open; a file already open is closed first. False when the file
// cannot be opened.
bool OpenDataFile(const QString &path);
void CloseDataFile();
bool DataFileIsOpen();

// Reads record rec; unscrambles it when decode is set. A record never written
// reads as "". On failure (no open file, rec below 1, unreadable or damaged
// record, such as one holding zero bytes where its text should be) returns ""
// and sets *ok to false.
QString GetRec(int rec, bool decode = true, bool *ok = nullptr);

// Writes text (scrambled when encode is set) as record rec, extending the file
// when needed. Returns false and leaves the file untouched when no file is
// open, rec is below 1 or the stored text would exceed 253 bytes. A write that
// fails or does not read back is taken back as far as it extended the file,
// logged in the error log and gives false.
bool PutRec(int rec, const QString &text, bool encode = true);

} // namespace qelt
