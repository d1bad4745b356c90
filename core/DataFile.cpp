#include "core/DataFile.h"

#include "core/Cipher.h"

#include <QFile>
#include <memory>

namespace qelt
{

namespace
{

std::unique_ptr<QFile> &dataFile()
{
    static std::unique_ptr<QFile> file;
    return file;
}

qint64 recordStart(int rec)
{
    return static_cast<qint64>(rec - 1) * kRecordLength;
}

void fail(bool *ok)
{
    if (ok)
        *ok = false;
}

} // namespace

bool OpenDataFile(const QString &path)
{
    CloseDataFile();
    auto file = std::make_unique<QFile>(path);
    if (!file->open(QIODevice::ReadWrite))
        return false;
    dataFile() = std::move(file);
    return true;
}

void CloseDataFile()
{
    dataFile().reset();
}

bool DataFileIsOpen()
{
    return dataFile() != nullptr;
}

QString GetRec(int rec, bool decode, bool *ok)
{
    if (ok)
        *ok = true;
    QFile *file = dataFile().get();
    if (!file || rec < 1) {
        fail(ok);
        return {};
    }
    const qint64 start = recordStart(rec);
    // A record past the end of the file (or cut off before its length) was
    // never written.
    if (file->size() < start + 2)
        return {};
    if (!file->seek(start)) {
        fail(ok);
        return {};
    }
    const QByteArray head = file->read(2);
    if (head.size() != 2) {
        fail(ok);
        return {};
    }
    const int length =
        static_cast<unsigned char>(head[0]) | (static_cast<unsigned char>(head[1]) << 8);
    if (length > kMaxRecordText) {
        fail(ok);
        return {};
    }
    const QByteArray bytes = file->read(length);
    if (bytes.size() != length) {
        fail(ok);
        return {};
    }
    const QString stored = FromAnsi(bytes);
    return decode ? Crypt(true, stored) : stored;
}

bool PutRec(int rec, const QString &text, bool encode)
{
    QFile *file = dataFile().get();
    if (!file || rec < 1)
        return false;
    const QByteArray bytes = ToAnsi(encode ? Crypt(false, text) : text);
    if (bytes.size() > kMaxRecordText)
        return false;

    // The whole record is written in one piece, so that the file always ends
    // on a record boundary and no stale bytes of an older text remain.
    QByteArray record(kRecordLength, '\0');
    record[0] = static_cast<char>(bytes.size() & 0xFF);
    record[1] = static_cast<char>((bytes.size() >> 8) & 0xFF);
    record.replace(2, bytes.size(), bytes);

    const qint64 start = recordStart(rec);
    // Fill any gap with zeros first: zero-length records read as "".
    if (file->size() < start && !file->resize(start))
        return false;
    if (!file->seek(start))
        return false;
    if (file->write(record) != record.size())
        return false;
    return file->flush();
}

} // namespace qelt
