#include "logic/ErrorLog.h"

#include "logic/Cipher.h"
#include "logic/ProgramFolder.h"
#include "logic/SafeSave.h"
#include "logic/TextCodec.h"

#include <QFile>
#include <QLocale>

namespace qelt {

namespace {

std::function<QDateTime()> &logClock()
{
    static std::function<QDateTime()> clock;
    return clock;
}

} // namespace

QString ErrorLogPath()
{
    return InProgramFolder(QStringLiteral("error.log"));
}

void SetErrLogClock(std::function<QDateTime()> clock)
{
    logClock() = std::move(clock);
}

QString ErrLogTimeText(const QDateTime &when)
{
    return QLocale::c().toString(when, QStringLiteral("M/d/yyyy h:mm:ss AP"));
}

bool WriteErrLog(const QString &text)
{
    const QDateTime now = logClock() ? logClock()() : QDateTime::currentDateTime();
    // Each item is written quoted and ends the line; the first item starts
    // with CR LF inside its quotes, so an entry takes three lines.
    QByteArray entry;
    entry += "\"\r\nLogged:  ";
    entry += ToAnsi(ErrLogTimeText(now));
    entry += "\"\r\n\"\t";
    // The text is scrambled as the bytes of the one encoding rule (one byte
    // a character where Windows-1252 holds it, else UTF-8), so characters
    // outside Windows-1252 are kept instead of becoming "?"; FromAnsi
    // carries each byte through the scrambler unchanged.
    entry += ToAnsi(Crypt(false, FromAnsi(EncodeText(text))));
    entry += "\"\r\n";

    // A failed append is cut back, so a half entry never garbles the log.
    return AppendFileBytes(ErrorLogPath(), entry);
}

bool LogErr(const QString &procName, const QString &moduleName, int number,
            const QString &description)
{
    return WriteErrLog(QStringLiteral("Error %1 (%2), %3 on %4")
                           .arg(QString::number(number), description, procName, moduleName));
}

} // namespace qelt
