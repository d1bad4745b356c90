#include "core/FileHelpers.h"

#include "core/BoundedRead.h"
#include "core/Cipher.h"
#include "core/Dialogs.h"
#include "core/ErrorLog.h"
#include "core/Lang.h"
#include "core/SafeSave.h"
#include "core/TextCodec.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStringConverter>
#include <QUrl>

namespace qelt {

namespace {

bool isPattern(const QString &name)
{
    return name.contains(u'*') || name.contains(u'?');
}

// A local path, or a URL with a scheme of two letters or more (a one-letter
// "scheme" is not a URL).
QUrl targetUrl(const QString &target)
{
    const QUrl url(target, QUrl::StrictMode);
    if (url.isValid() && url.scheme().size() > 1 && !target.startsWith(u'/'))
        return url;
    return QUrl::fromLocalFile(QFileInfo(target).absoluteFilePath());
}

bool isProgram(const QFileInfo &fi)
{
    return fi.isFile() && fi.isExecutable();
}

// A missing local file is a failure, not something to hand to the desktop.
bool openWithDesktop(const QUrl &url)
{
    if (url.isLocalFile() && !QFileInfo::exists(url.toLocalFile()))
        return false;
    return QDesktopServices::openUrl(url);
}

// Starts what a desktop entry (this platform's shortcut) points at: its
// Exec line without the field codes, or the address of a link entry.
bool launchDesktopEntry(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return false;
    bool inEntry = false;
    QString exec, url;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.startsWith(u'[')) {
            inEntry = line == u"[Desktop Entry]";
            continue;
        }
        if (!inEntry)
            continue;
        if (line.startsWith(u"Exec="))
            exec = line.mid(5);
        else if (line.startsWith(u"URL="))
            url = line.mid(4);
    }
    if (!exec.isEmpty()) {
        QStringList args;
        for (const QString &arg : QProcess::splitCommand(exec)) {
            if (arg.size() == 2 && arg.startsWith(u'%') && arg != u"%%")
                continue; // %f, %u, %F, %U, %i, %c, %k: nothing to pass
            args.append(QString(arg).replace(QStringLiteral("%%"), QStringLiteral("%")));
        }
        if (args.isEmpty())
            return false;
        const QString program = args.takeFirst();
        return QProcess::startDetached(program, args);
    }
    if (!url.isEmpty())
        return QDesktopServices::openUrl(QUrl::fromUserInput(url));
    return false;
}

} // namespace

bool FileExists(const QString &path, int attributes)
{
    if (path.isEmpty())
        return false;
    const bool dirsToo = (attributes & kAttrDirectory) != 0;
    const QFileInfo fi(path);
    if (isPattern(fi.fileName())) {
        QDir::Filters filters = QDir::Files | QDir::Hidden | QDir::System;
        if (dirsToo)
            filters |= QDir::Dirs | QDir::NoDotAndDotDot;
        return !QDir(fi.path()).entryList({fi.fileName()}, filters).isEmpty();
    }
    if (!fi.exists())
        return false;
    return fi.isDir() ? dirsToo : true;
}

bool DirExists(const QString &path)
{
    if (path.trimmed().isEmpty())
        return false;
    return QFileInfo(path).isDir();
}

bool MakePath(const QString &path)
{
    QString p = path.trimmed();
    if (p.isEmpty())
        return false;
    if (p.size() > 1 && p.endsWith(u'/'))
        p.chop(1);

    QString prefix = p.startsWith(u'/') ? QStringLiteral("/") : QString();
    const QStringList parts = p.split(u'/', Qt::SkipEmptyParts);
    QDir dir;
    for (const QString &part : parts) {
        if (prefix.isEmpty())
            prefix = part;
        else if (prefix.endsWith(u'/'))
            prefix += part;
        else
            prefix += u'/' + part;
        if (DirExists(prefix))
            continue;
        if (QFileInfo::exists(prefix)) // a file where a folder is needed
            return false;
        if (!dir.mkdir(prefix))
            return false;
    }
    return true;
}

QString LoadTextFile(const QString &path, bool *ok)
{
    if (ok)
        *ok = false;
    if (path.isEmpty() || QFileInfo(path).isDir())
        return {};
    QByteArray bytes;
    if (!QFileInfo::exists(path) && !QFileInfo(path).isSymLink()) {
        // A missing file is created empty, as the whole-file access does.
        QFile file(path);
        if (!file.open(QIODevice::ReadWrite))
            return {};
    } else {
        QString error;
        if (!ReadFileWhole(path, kMaxWholeFileBytes, &bytes, &error)) {
            // Refused (not a regular file, too large) or unreadable: noted,
            // so that the user can find out why a file did not load.
            WriteErrLog(QStringLiteral("File not read: ") + error);
            return {};
        }
    }
    if (ok)
        *ok = true;

    // A byte-order mark is part of the file and stays in the text.
    auto decoder = QStringDecoder(QStringDecoder::Utf8, QStringConverter::Flag::ConvertInitialBom);
    QString text = decoder.decode(bytes);
    if (decoder.hasError()) // an older file in the system's one-byte character set
        text = FromAnsi(bytes);
    return text;
}

QString LoadFormatText(const QString &path, bool *ok)
{
    QString text = LoadTextFile(path, ok);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    return text;
}

bool SaveTextFile(const QString &text, const QString &path, QString *error)
{
    return SaveFileBytes(path, EncodeText(text + QStringLiteral("\r\n")), error);
}

void ReportFailedCopies(const QStringList &errors, const QString &procName,
                        const QString &moduleName)
{
    if (errors.isEmpty())
        return;
    for (const QString &e : errors)
        LogErr(procName, moduleName, 75, e);
    Info(LangCap(QStringLiteral("These files could not be copied:")) + QStringLiteral("\r\n") +
             errors.join(QStringLiteral("\r\n")),
         true, true, LangCap(QStringLiteral("Copy Failed")), QStringLiteral("OK"), true);
}

bool OpenDoc(const QString &target)
{
    const QString t = target.trimmed();
    if (t.isEmpty())
        return false;
    const QUrl url = targetUrl(t);
    if (url.isLocalFile()) {
        const QFileInfo fi(url.toLocalFile());
        if (isProgram(fi))
            return QProcess::startDetached(fi.absoluteFilePath(), {});
    }
    return openWithDesktop(url);
}

bool RunFile(const QString &commandLine)
{
    const QString line = commandLine.trimmed();
    if (line.isEmpty())
        return false;

    // The whole text may be the path of a file with blanks in it.
    const QFileInfo whole(line);
    if (whole.exists()) {
        if (isProgram(whole) && QProcess::startDetached(whole.absoluteFilePath(), {}))
            return true;
        if (whole.suffix() == u"desktop" && launchDesktopEntry(whole.absoluteFilePath()))
            return true;
        return openWithDesktop(QUrl::fromLocalFile(whole.absoluteFilePath()));
    }

    QStringList args = QProcess::splitCommand(line);
    if (!args.isEmpty()) {
        const QString program = args.takeFirst();
        if (QProcess::startDetached(program, args))
            return true;
    }
    return openWithDesktop(targetUrl(line));
}

bool CopyFileAtomic(const QString &source, const QString &target, QString *error)
{
    const auto refuse = [error](const QString &why) {
        if (error)
            *error = why;
        return false;
    };
    const QFileInfo from(source);
    const QFileInfo to(target);
    if (!from.isFile())
        return refuse(QStringLiteral("Not a file: ") + QDir::toNativeSeparators(source));
    if (to.isSymLink() || to.isDir())
        return refuse(QStringLiteral("Cannot replace ") + QDir::toNativeSeparators(target));
    QByteArray bytes;
    QString why;
    if (!ReadFileWhole(source, kMaxWholeFileBytes, &bytes, &why))
        return refuse(why);
    return SaveFileBytes(target, bytes, error);
}

} // namespace qelt
