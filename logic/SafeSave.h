#pragma once

#include <QByteArray>
#include <QString>

// The one way the program replaces a file. The new contents go to a
// temporary file beside the target; every write is checked, the data is
// flushed to the disk and checked, and only then is the temporary file
// renamed over the target. Any failure leaves the old file exactly as it
// was, removes the temporary file and keeps the reason.
namespace qelt {

// A fault the next saves meet, so that tests can see every writer fail the
// way a full disk, a failing disk or a read-only folder makes it fail,
// whoever runs them. Process-wide; in normal runs nothing is set.
struct SaveFault {
    enum Kind {
        None,
        Open,     // the temporary file cannot be created
        DiskFull, // only bytesFree bytes fit; the write that passes it is cut
        Flush,    // the final flush/sync reports an I/O error
        Rename,   // the rename over the target fails
    };
    Kind kind = None;
    qint64 bytesFree = 0;
    // Only targets whose file name contains this text meet the fault (all
    // targets when empty).
    QString nameContains;
    // How many saves meet it before it clears itself; -1 for every save.
    int times = -1;
};

class SafeFileWriter {
public:
    explicit SafeFileWriter(const QString &targetPath);
    // A writer that was not committed removes its temporary file.
    ~SafeFileWriter();
    SafeFileWriter(const SafeFileWriter &) = delete;
    SafeFileWriter &operator=(const SafeFileWriter &) = delete;

    // Creates the temporary file. False (with the reason) for an empty path,
    // a folder, a folder that is missing or cannot be written.
    bool open();
    // Appends bytes; false when not all of them reached the file. After a
    // failure every later write and the commit fail too.
    bool write(const QByteArray &bytes);
    // Flushes, syncs and renames over the target. False when anything
    // failed; the target is then untouched.
    bool commit();
    // Drops what was written; the target is untouched.
    void cancel();

    QString errorString() const;

private:
    void fail(const QString &what, int errnum);
    void discard();

    QString m_target;   // the file as named by the caller
    QString m_resolved; // where it really lives (a link is followed)
    QString m_temp;
    QString m_error;
    int m_fd = -1;
    qint64 m_written = 0;
    bool m_failed = false;
    SaveFault m_fault;
};

// Replaces path with bytes through a SafeFileWriter. On failure the old file
// is whole, false is returned and *error (when given) holds the reason.
bool SaveFileBytes(const QString &path, const QByteArray &bytes, QString *error = nullptr);

// Appends bytes to path (created when missing, also for no bytes), every
// write checked and synced. A failed append cuts the file back to its old
// length, so no part of the bytes is left behind; false with the reason.
bool AppendFileBytes(const QString &path, const QByteArray &bytes, QString *error = nullptr);

// True for the name of a save's temporary file.
bool IsSaveTempName(const QString &fileName);

// Removes the temporary files that saves killed before they finished left
// in folder (those of a save still running in a live process are kept).
// Returns how many were removed.
int RemoveStaleSaveFiles(const QString &folder);

void SetSaveFault(const SaveFault &fault);
// For writers that do not go through SafeFileWriter (the record file): the
// fault a write to target meets now (kind None when there is none), and the
// note that it made the write fail.
SaveFault TakeSaveFault(const QString &target);
void NoteSaveFaultHit();
void ClearSaveFault();
// How many saves failed through the injected fault since it was set.
int SaveFaultHits();

} // namespace qelt
