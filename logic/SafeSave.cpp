#include "logic/SafeSave.h"

#include "logic/ProcessRuns.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QMutexLocker>
#include <QRandomGenerator>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qelt {

namespace {

const QLatin1String kTempMark(".qsave-");

QMutex faultMutex;
SaveFault currentFault;
int faultHits = 0;

// The fault a save of target meets, if any; a fault that was to be met a
// number of times counts this save.
SaveFault takeFault(const QString &target)
{
    QMutexLocker lock(&faultMutex);
    if (currentFault.kind == SaveFault::None || currentFault.times == 0)
        return {};
    if (!currentFault.nameContains.isEmpty() &&
        !QFileInfo(target).fileName().contains(currentFault.nameContains))
        return {};
    SaveFault taken = currentFault;
    if (currentFault.times > 0 && --currentFault.times == 0)
        currentFault.kind = SaveFault::None;
    return taken;
}

void countHit()
{
    QMutexLocker lock(&faultMutex);
    ++faultHits;
}

QString errnoText(int errnum)
{
    return QString::fromLocal8Bit(std::strerror(errnum));
}

// Temporary names are ".<target name>.qsave-<process id>-<random>", hidden
// and ending in neither the target's extension nor anything a file list
// picks up.
QString tempPrefix(const QString &fileName)
{
    return u'.' + fileName + kTempMark + QString::number(::getpid()) + u'-';
}

// The process id in a temporary name, or 0 when the name is not one.
qint64 tempOwner(const QString &fileName)
{
    if (!fileName.startsWith(u'.'))
        return 0;
    const qsizetype mark = fileName.lastIndexOf(kTempMark);
    if (mark < 0)
        return 0;
    const qsizetype from = mark + kTempMark.size();
    const qsizetype dash = fileName.indexOf(u'-', from);
    if (dash < 0)
        return 0;
    bool ok = false;
    const qint64 pid = fileName.mid(from, dash - from).toLongLong(&ok);
    return ok && pid > 0 ? pid : 0;
}

int removeStale(const QString &folder, const QString &onlyFor)
{
    const QString filter = onlyFor.isEmpty() ? QStringLiteral(".*") + kTempMark + u'*'
                                             : u'.' + onlyFor + kTempMark + u'*';
    QDir dir(folder);
    int removed = 0;
    const QStringList names =
        dir.entryList({filter}, QDir::Files | QDir::Hidden | QDir::System | QDir::NoSymLinks);
    for (const QString &name : names) {
        const qint64 owner = tempOwner(name);
        if (owner != 0 && !ProcessRuns(owner) && dir.remove(name))
            ++removed;
    }
    return removed;
}

} // namespace

SafeFileWriter::SafeFileWriter(const QString &targetPath) : m_target(targetPath) {}

SafeFileWriter::~SafeFileWriter()
{
    discard();
}

void SafeFileWriter::fail(const QString &what, int errnum)
{
    m_failed = true;
    m_error = errnum != 0 ? QStringLiteral("%1 %2: %3")
                                .arg(what, QDir::toNativeSeparators(m_target), errnoText(errnum))
                          : QStringLiteral("%1 %2").arg(what, QDir::toNativeSeparators(m_target));
    discard();
}

void SafeFileWriter::discard()
{
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    if (!m_temp.isEmpty()) {
        ::unlink(QFile::encodeName(m_temp).constData());
        m_temp.clear();
    }
}

bool SafeFileWriter::open()
{
    discard();
    m_failed = false;
    m_error.clear();
    m_written = 0;

    if (m_target.isEmpty()) {
        m_failed = true;
        m_error = QStringLiteral("No file name given");
        return false;
    }
    QFileInfo info(m_target);
    m_resolved = info.isSymLink() ? info.symLinkTarget() : info.absoluteFilePath();
    const QFileInfo real(m_resolved);
    if (real.isDir()) {
        fail(QStringLiteral("Cannot save over the folder"), 0);
        return false;
    }
    const QString folder = real.absolutePath();
    if (!QFileInfo(folder).isDir()) {
        fail(QStringLiteral("Cannot save"), ENOENT);
        return false;
    }
    removeStale(folder, real.fileName());

    m_fault = takeFault(m_target);
    if (m_fault.kind == SaveFault::Open) {
        countHit();
        fail(QStringLiteral("Cannot save"), EACCES);
        return false;
    }

    struct stat old {};
    const bool hadOld = ::stat(QFile::encodeName(m_resolved).constData(), &old) == 0;
    const QString prefix = folder + u'/' + tempPrefix(real.fileName());
    for (int attempt = 0; attempt < 100 && m_fd < 0; ++attempt) {
        const QString candidate =
            prefix + QString::number(QRandomGenerator::global()->generate() & 0xFFFFFF, 36);
        const int fd = ::open(QFile::encodeName(candidate).constData(),
                              O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            m_fd = fd;
            m_temp = candidate;
        } else if (errno != EEXIST) {
            fail(QStringLiteral("Cannot save"), errno);
            return false;
        }
    }
    if (m_fd < 0) {
        fail(QStringLiteral("Cannot save"), EEXIST);
        return false;
    }
    // The new file keeps the old one's permissions.
    if (hadOld)
        ::fchmod(m_fd, old.st_mode & 07777);
    return true;
}

bool SafeFileWriter::write(const QByteArray &bytes)
{
    if (m_failed)
        return false;
    if (m_fd < 0) {
        fail(QStringLiteral("Not open for saving"), 0);
        return false;
    }
    const char *data = bytes.constData();
    qint64 left = bytes.size();
    qint64 allowed = left;
    if (m_fault.kind == SaveFault::DiskFull)
        allowed = qBound<qint64>(0, m_fault.bytesFree - m_written, left);
    while (allowed > 0) {
        const ssize_t n = ::write(m_fd, data, static_cast<size_t>(allowed));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            fail(QStringLiteral("Cannot write"), n < 0 ? errno : ENOSPC);
            return false;
        }
        data += n;
        left -= n;
        allowed -= n;
        m_written += n;
    }
    if (left > 0) {
        countHit();
        fail(QStringLiteral("Cannot write"), ENOSPC);
        return false;
    }
    return true;
}

bool SafeFileWriter::commit()
{
    if (m_failed)
        return false;
    if (m_fd < 0) {
        fail(QStringLiteral("Not open for saving"), 0);
        return false;
    }
    // The data must be on the disk before the new name points at it, or a
    // crash right after the rename leaves an empty file in its place.
    int syncError = ::fsync(m_fd) == 0 ? 0 : errno;
    if (syncError == 0 && m_fault.kind == SaveFault::Flush) {
        countHit();
        syncError = EIO;
    }
    if (syncError != 0 && syncError != EINVAL) { // EINVAL: a file system without sync
        fail(QStringLiteral("Cannot write"), syncError);
        return false;
    }
    if (::close(m_fd) != 0) {
        m_fd = -1;
        fail(QStringLiteral("Cannot write"), errno);
        return false;
    }
    m_fd = -1;
    int renameError = 0;
    if (m_fault.kind == SaveFault::Rename) {
        countHit();
        renameError = EACCES;
    } else if (::rename(QFile::encodeName(m_temp).constData(),
                        QFile::encodeName(m_resolved).constData()) != 0) {
        renameError = errno;
    }
    if (renameError != 0) {
        fail(QStringLiteral("Cannot replace"), renameError);
        return false;
    }
    m_temp.clear();
    // Make the new name itself durable; a failure here does not undo the save.
    const int dirFd = ::open(QFile::encodeName(QFileInfo(m_resolved).absolutePath()).constData(),
                             O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return true;
}

void SafeFileWriter::cancel()
{
    discard();
}

QString SafeFileWriter::errorString() const
{
    return m_error;
}

bool SaveFileBytes(const QString &path, const QByteArray &bytes, QString *error)
{
    SafeFileWriter writer(path);
    const bool ok = writer.open() && writer.write(bytes) && writer.commit();
    if (!ok && error)
        *error = writer.errorString();
    return ok;
}

bool AppendFileBytes(const QString &path, const QByteArray &bytes, QString *error)
{
    const auto failed = [&](const QString &what, int errnum) {
        if (error)
            *error = QStringLiteral("%1 %2: %3")
                         .arg(what, QDir::toNativeSeparators(path), errnoText(errnum));
        return false;
    };
    if (path.isEmpty() || QFileInfo(path).isDir())
        return failed(QStringLiteral("Cannot append to"), EISDIR);
    const SaveFault fault = takeFault(path);
    if (fault.kind == SaveFault::Open) {
        countHit();
        return failed(QStringLiteral("Cannot append to"), EACCES);
    }
    const int fd = ::open(QFile::encodeName(path).constData(),
                          O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0)
        return failed(QStringLiteral("Cannot append to"), errno);
    struct stat st {};
    const off_t oldSize = ::fstat(fd, &st) == 0 ? st.st_size : -1;
    const char *data = bytes.constData();
    qint64 left = bytes.size();
    qint64 allowed = left;
    if (fault.kind == SaveFault::DiskFull)
        allowed = qBound<qint64>(0, fault.bytesFree, left);
    int err = 0;
    while (allowed > 0) {
        const ssize_t n = ::write(fd, data, static_cast<size_t>(allowed));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            err = n < 0 ? errno : ENOSPC;
            break;
        }
        data += n;
        left -= n;
        allowed -= n;
    }
    if (err == 0 && left > 0) {
        countHit();
        err = ENOSPC;
    }
    if (err == 0 && !bytes.isEmpty()) {
        if (fault.kind == SaveFault::Flush) {
            countHit();
            err = EIO;
        } else if (::fsync(fd) != 0 && errno != EINVAL) {
            err = errno;
        }
    }
    if (err != 0 && oldSize >= 0)
        (void)::ftruncate(fd, oldSize);
    if (::close(fd) != 0 && err == 0)
        err = errno;
    if (err != 0)
        return failed(QStringLiteral("Cannot append to"), err);
    return true;
}

bool IsSaveTempName(const QString &fileName)
{
    return tempOwner(fileName) != 0;
}

int RemoveStaleSaveFiles(const QString &folder)
{
    return removeStale(folder, QString());
}

void SetSaveFault(const SaveFault &fault)
{
    QMutexLocker lock(&faultMutex);
    currentFault = fault;
    faultHits = 0;
}

void ClearSaveFault()
{
    SetSaveFault({});
}

SaveFault TakeSaveFault(const QString &target)
{
    return takeFault(target);
}

void NoteSaveFaultHit()
{
    countHit();
}

int SaveFaultHits()
{
    QMutexLocker lock(&faultMutex);
    return faultHits;
}

} // namespace qelt
