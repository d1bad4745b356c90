#include "logic/DataFile.h"

#include "logic/Cipher.h"
#include "logic/ErrorLog.h"
#include "logic/SafeSave.h"
#include "logic/TextCodec.h"

#include <QFile>
#include <memory>

namespace qelt {

namespace {

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

bool putFailed(int rec, const QString &why)
{
    WriteErrLog(
        QStringLiteral("The data file record %1 could not be stored (%2)").arg(rec).arg(why));
    return false;
}

} // namespace

bool OpenDataFile(const QString &path)
{
    CloseDataFile();
    auto file = std::make_unique<QFile>(path);
    // Unbuffered: a write that fails must not linger in a buffer and reach
    // the file later with another record.
    if (!file->open(QIODevice::ReadWrite | QIODevice::Unbuffered))
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
    // Text bytes are never zero: zeros there are what a write cut short
    // left behind, or a gap filled after it, not text.
    if (bytes.contains('\0')) {
        fail(ok);
        return {};
    }
    if (!decode)
        return DecodeText(bytes);
    return DecodeText(ToAnsi(Crypt(true, FromAnsi(bytes))));
}

bool PutRec(int rec, const QString &text, bool encode)
{
    QFile *file = dataFile().get();
    if (!file || rec < 1)
        return putFailed(rec, QStringLiteral("no data file open"));
    // The text goes in as bytes of the one encoding rule; FromAnsi carries
    // each byte through the scrambler unchanged.
    const QByteArray plain = EncodeText(text);
    const QByteArray bytes = encode ? ToAnsi(Crypt(false, FromAnsi(plain))) : plain;
    if (bytes.size() > kMaxRecordText)
        return putFailed(rec, QStringLiteral("text too long"));

    // The whole record is written in one piece, so that the file always ends
    // on a record boundary and no stale bytes of an older text remain.
    QByteArray record(kRecordLength, '\0');
    record[0] = static_cast<char>(bytes.size() & 0xFF);
    record[1] = static_cast<char>((bytes.size() >> 8) & 0xFF);
    record.replace(2, bytes.size(), bytes);

    const qint64 start = recordStart(rec);
    const qint64 oldSize = file->size();
    // What the record held, so that a write that did not complete can put it
    // back; and a write that extended the file is cut back. Either way the
    // file never keeps a part of a record that could later read as whole.
    QByteArray oldRecord;
    if (start < oldSize && file->seek(start))
        oldRecord = file->read(kRecordLength);
    const auto undo = [&](const QString &why) {
        const QString reason = file->errorString();
        if (!oldRecord.isEmpty() && file->seek(start))
            file->write(oldRecord);
        if (file->size() > oldSize)
            file->resize(oldSize);
        return putFailed(rec, why + QStringLiteral(": ") + reason);
    };
    // Fill any gap with zeros first: zero-length records read as "".
    if (oldSize < start && !file->resize(start))
        return undo(QStringLiteral("cannot extend the file"));
    if (!file->seek(start))
        return undo(QStringLiteral("cannot seek"));

    SaveFault fault = TakeSaveFault(file->fileName());
    qint64 allowed = record.size();
    if (fault.kind == SaveFault::DiskFull)
        allowed = qBound<qint64>(0, fault.bytesFree, record.size());
    const qint64 written = file->write(record.constData(), allowed);
    if (written != record.size() || (fault.kind == SaveFault::Flush) || !file->flush()) {
        if (fault.kind != SaveFault::None)
            NoteSaveFaultHit();
        return undo(QStringLiteral("write failed"));
    }
    // Read back, so that a record the disk did not keep is reported now.
    if (!file->seek(start) || file->read(record.size()) != record)
        return undo(QStringLiteral("the record did not read back as written"));
    return true;
}

} // namespace qelt
