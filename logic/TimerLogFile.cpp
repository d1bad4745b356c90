#include "logic/TimerLogFile.h"

#include "logic/BoundedRead.h"
#include "logic/ErrorLog.h"
#include "logic/FileHelpers.h"
#include "logic/ProgramFolder.h"
#include "logic/SafeSave.h"
#include "logic/Settings.h"
#include "logic/TextCodec.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>

#include <cmath>
#include <deque>
#include <limits>

namespace qelt {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

// A stored number, or the default when the text is not a finite number.
double settingNumber(const QString &key, double defaultValue)
{
    bool ok = false;
    const double v = GetSet("Settings", key, QString::number(defaultValue)).trimmed().toDouble(&ok);
    return ok && std::isfinite(v) ? v : defaultValue;
}

// A stored 16-bit integer (rounded to the nearest, halves to even), or the default.
int settingInt16(const QString &key, int defaultValue)
{
    const double v = settingNumber(key, defaultValue);
    const double r = std::nearbyint(v);
    if (r < std::numeric_limits<qint16>::min() || r > std::numeric_limits<qint16>::max())
        return defaultValue;
    return int(r);
}

// The time in the clock's form: 12-hour with the designator when the
// user's locale writes times that way, else 24-hour; no leading zero.
QString timeText(const QTime &t)
{
    const QLocale loc = QLocale::system();
    const bool twelveHour =
        loc.timeFormat(QLocale::ShortFormat).contains(QLatin1Char('a'), Qt::CaseInsensitive);
    return loc.toString(t, twelveHour ? QStringLiteral("h:mm:ss AP") : QStringLiteral("H:mm:ss"));
}

} // namespace

TimerLogFile::Limits TimerLogFile::Limits::FromSettings()
{
    Limits l;
    l.maxLogSize = settingNumber("MaxLogSize", 500);
    l.keepLogSize = settingInt16("KeepLogSize", 400);
    l.trimFile = settingInt16("TrimTimerLog", 1) == 1;
    l.maxFileLines = settingNumber("MaxLogFileLines", 59000);
    return l;
}

TimerLogFile::TimerLogFile(QString path) : m_path(std::move(path)) {}

QString TimerLogFile::DefaultPath()
{
    return InProgramFolder("TimerLog.log");
}

QString TimerLogFile::NowText(const QDateTime &now)
{
    return QLocale::system().toString(now.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
           timeText(now.time());
}

QString TimerLogFile::QuotedItem(const QString &text)
{
    return QLatin1Char('"') + text + QLatin1Char('"') + kCrLf;
}

QString TimerLogFile::SaveBlock(const QString &logText, const QDateTime &now)
{
    const QString stamp = NowText(now);
    return QuotedItem(kCrLf + kCrLf + "******** Timer log save " + stamp + "********" + kCrLf) +
           QuotedItem(logText) +
           QuotedItem("******** end of log save for " + stamp + "********" + kCrLf);
}

QString TimerLogFile::AutosaveBlock(const QStringList &lines, const QDateTime &now)
{
    const QString stamp = NowText(now);
    QString block = QuotedItem(kCrLf + "******** Timer log autosave " + stamp + "********" + kCrLf);
    for (const QString &line : lines)
        block += QuotedItem(line);
    block += QuotedItem(kCrLf + "******** end  autosave for " + stamp + "********" + kCrLf);
    return block;
}

TimerLogFile::Split TimerLogFile::SplitForAutosave(const QString &logText, double maxLogSize,
                                                   int keepLogSize)
{
    Split s;
    if (logText.isEmpty())
        return s;
    const QStringList pieces = logText.split(kCrLf);
    const qsizetype u = pieces.size() - 1;
    if (!(double(u) > maxLogSize))
        return s;
    s.due = true;
    // A negative keep count would drop every line from the screen.
    const qsizetype firstKept = u - std::max(keepLogSize, 0);
    for (qsizetype i = 0; i <= u; ++i) {
        if (i >= firstKept) {
            const QString &piece = pieces[i];
            s.kept += kCrLf + (piece == QLatin1String(" ") ? kCrLf : piece);
        } else {
            s.moved << pieces[i];
        }
    }
    return s;
}

bool TimerLogFile::append(const QString &text, QString *error) const
{
    return AppendFileBytes(m_path, EncodeText(text), error);
}

TimerLogFile::AutosaveResult TimerLogFile::autosave(const QString &logText, bool saveOn,
                                                    const Limits &limits,
                                                    const QDateTime &now) const
{
    AutosaveResult r;
    const Split split = SplitForAutosave(logText, limits.maxLogSize, limits.keepLogSize);
    if (!split.due)
        return r;
    r.moved = true;
    // Opening for appending creates the file also when nothing is written.
    // Without auto-save nothing is lost by dropping the lines, so a file
    // that cannot be created does not keep them on screen.
    const bool opened = append(saveOn ? AutosaveBlock(split.moved, now) : QString());
    r.written = opened || !saveOn;
    if (r.written)
        r.keptText = split.kept;
    return r;
}

bool TimerLogFile::saveAtClose(const QString &logText, bool saveOn, const QDateTime &now) const
{
    if (!saveOn || logText.isEmpty())
        return true;
    return append(SaveBlock(logText, now));
}

bool TimerLogFile::FixFileSize(const QString &fileName, double maxSize, QString *error)
{
    // A missing file is created empty.
    if (!QFileInfo::exists(fileName) && !QFileInfo(fileName).isSymLink())
        return AppendFileBytes(fileName, {}, error);
    // The log is read line by line, keeping only the lines that stay, so
    // memory follows the kept tail, not the file's size.
    CrLfPieceReader in;
    if (!in.open(fileName, error))
        return false;
    if (!std::isfinite(maxSize))
        return true;
    const double limit = std::max(0.0, std::floor(maxSize));
    const qint64 keep = limit >= double(std::numeric_limits<qint64>::max())
                            ? std::numeric_limits<qint64>::max()
                            : qint64(limit);
    std::deque<QByteArray> pieces;
    qint64 u = 0; // CR LF pairs read: the index of the last piece
    QByteArray piece;
    bool last = false;
    while (in.next(&piece, &last)) {
        if (!last)
            ++u;
        if (keep == 0)
            continue;
        if (qint64(pieces.size()) == keep)
            pieces.pop_front();
        pieces.push_back(piece);
    }
    if (in.failed()) {
        if (error)
            *error = QStringLiteral("Cannot read ") + QDir::toNativeSeparators(fileName);
        return false;
    }
    if (!(limit + 2 < double(u)))
        return true;
    // Keep the last `limit` pieces as they stand; only double quotes go.
    // Blocks appended in different runs may differ in encoding, so each
    // line is read on its own.
    QStringList kept;
    for (const QByteArray &p : pieces)
        kept << DecodeText(p);
    QString text = kept.join(kCrLf);
    text.remove(QLatin1Char('"'));
    return SaveTextFile(text, fileName, error);
}

QString TimerLogFile::SaveAsPath(const QString &answer, bool *refused)
{
    if (refused)
        *refused = false;
    const QString name = answer + ".log";
    if (name == QLatin1String(".log"))
        return {};
    for (const QChar c : answer) {
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') ||
            c.category() == QChar::Other_Control) {
            if (refused)
                *refused = true;
            return {};
        }
    }
    return InProgramFolder(name);
}

bool TimerLogFile::WriteSaveAs(const QString &path, const QString &logText, const QDateTime &now,
                               QString *error)
{
    return SaveFileBytes(path, EncodeText(SaveBlock(logText, now)), error);
}

QString TimerLogFile::PrintText(const QString &logText, const QDateTime &now)
{
    const QLocale loc = QLocale::system();
    QString text = logText;
    text.replace(kCrLf, QStringLiteral("\n"));
    text += QStringLiteral("\n\nPrinted on:  ") + loc.toString(now.date(), QLocale::ShortFormat) +
            " at " + timeText(now.time());
    return text;
}

} // namespace qelt
