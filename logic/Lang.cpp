#include "logic/Lang.h"
#include "logic/LangRecorder.h"

#include "logic/BoundedRead.h"
#include "logic/Globals.h"
#include "logic/TextCodec.h"

#include <QFile>

#include <optional>

namespace qelt {

namespace {

const QString kCaptions = QStringLiteral("Labels & Captions");
const QString kTips = QStringLiteral("t-Tips");

LangLookupRecorder &recorder()
{
    static LangLookupRecorder r;
    return r;
}

// The reader's buffer holds 2048 characters including the terminator.
constexpr qsizetype kMaxValue = 2047;

QString fold(const QString &name)
{
    return name.trimmed().toCaseFolded();
}

// Language files are in the one-byte character set; one saved as UTF-8 is
// read as such. A byte-order mark declares UTF-8 even where a byte in the
// file is broken, so that the first section's name is still found.
QString decodeFile(const QByteArray &bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(bytes.mid(3));
    return DecodeText(bytes);
}

QString unquote(const QString &value)
{
    if (value.size() >= 2) {
        const QChar first = value.front();
        if ((first == QLatin1Char('"') || first == QLatin1Char('\'')) && value.back() == first)
            return value.mid(1, value.size() - 2);
    }
    return value;
}

// The first entry for key in any section named section, in file order (a
// repeated section adds only keys the earlier one lacks).
std::optional<QString> lookup(const QString &content, const QString &section, const QString &key)
{
    const QString wantSection = fold(section);
    const QString wantKey = fold(key);
    if (wantKey.isEmpty())
        return std::nullopt;
    bool inSection = false;
    const QStringList lines = content.split(QLatin1Char('\n'));
    for (const QString &raw : lines) {
        const QString line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')))
            continue;
        if (line.startsWith(QLatin1Char('['))) {
            qsizetype end = line.indexOf(QLatin1Char(']'));
            if (end < 0)
                end = line.size();
            inSection = fold(line.mid(1, end - 1)) == wantSection;
            continue;
        }
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (inSection && eq >= 0 && fold(line.left(eq)) == wantKey)
            return unquote(line.mid(eq + 1).trimmed()).left(kMaxValue);
    }
    return std::nullopt;
}

} // namespace

QString ReadINI(const QString &section, const QString &key, const QString &defaultValue,
                const QString &file)
{
    QString value = defaultValue;
    // The reader drops trailing blanks of the default.
    while (!value.isEmpty() && value.back() == QLatin1Char(' '))
        value.chop(1);
    value = value.left(kMaxValue);

    // Read afresh on every call: the language menu copies another language
    // over the file while the program runs.
    QByteArray bytes;
    if (!file.isEmpty() && ReadFileWhole(file, kMaxWholeFileBytes, &bytes)) {
        if (const auto found = lookup(decodeFile(bytes), section, key))
            value = *found;
    }
    return value;
}

void SetLangLookupRecorder(LangLookupRecorder r)
{
    recorder() = std::move(r);
}

QString LangCap(const QString &text)
{
    if (recorder())
        recorder()(kCaptions, text);
    const QString v = ReadINI(kCaptions, text, QString(), LangFile);
    return v.isEmpty() ? text : v;
}

QString LangTip(const QString &text)
{
    if (recorder())
        recorder()(kTips, text);
    const QString v = ReadINI(kTips, text, QString(), LangFile);
    return QLatin1Char(' ') + (v.isEmpty() ? text : v) + QLatin1Char(' ');
}

} // namespace qelt
