#include "core/Lang.h"

#include "core/Cipher.h"
#include "core/Globals.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QStringDecoder>

namespace qelt
{

namespace
{

// The reader's buffer holds 2048 characters including the terminator.
constexpr qsizetype kMaxValue = 2047;

using Section = QHash<QString, QString>; // folded key -> value

struct ParsedFile {
    QDateTime modified;
    QDateTime changed;
    qint64 size = -1;
    QHash<QString, Section> sections; // folded section name -> entries
};

QString fold(const QString &name)
{
    return name.trimmed().toCaseFolded();
}

// Language files are in the one-byte character set; one saved as UTF-8 (with
// or without a byte-order mark) is read as such.
QString decodeFile(QByteArray bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(bytes.mid(3));
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString asUtf8 = utf8(bytes);
    if (!utf8.hasError())
        return asUtf8;
    return FromAnsi(bytes);
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

void parse(const QString &content, ParsedFile &out)
{
    Section *current = nullptr;
    const QStringList lines = content.split(QLatin1Char('\n'));
    for (const QString &raw : lines) {
        const QString line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')))
            continue;
        if (line.startsWith(QLatin1Char('['))) {
            qsizetype end = line.indexOf(QLatin1Char(']'));
            if (end < 0)
                end = line.size();
            const QString name = fold(line.mid(1, end - 1));
            // The first section of a name wins; a repeated one adds only
            // keys the first lacks.
            current = &out.sections[name];
            continue;
        }
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (!current || eq < 0)
            continue;
        const QString key = fold(line.left(eq));
        if (key.isEmpty() || current->contains(key))
            continue;
        current->insert(key, unquote(line.mid(eq + 1).trimmed()).left(kMaxValue));
    }
}

// Parsed files by path; a file is read again when its size or times change
// (the language menu copies another language over "language.ini").
const ParsedFile *loadFile(const QString &path)
{
    static QHash<QString, ParsedFile> cache;
    const QFileInfo info(path);
    if (!info.isFile()) {
        cache.remove(path);
        return nullptr;
    }
    const QDateTime modified = info.lastModified();
    const QDateTime changed = info.metadataChangeTime();
    const qint64 size = info.size();
    auto it = cache.find(path);
    if (it != cache.end() && it->modified == modified && it->changed == changed && it->size == size)
        return &*it;

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        cache.remove(path);
        return nullptr;
    }
    ParsedFile parsed;
    parsed.modified = modified;
    parsed.changed = changed;
    parsed.size = size;
    parse(decodeFile(file.readAll()), parsed);
    return &*cache.insert(path, std::move(parsed));
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

    if (const ParsedFile *parsed = loadFile(file)) {
        const auto sec = parsed->sections.constFind(fold(section));
        if (sec != parsed->sections.cend()) {
            const auto entry = sec->constFind(fold(key));
            if (entry != sec->cend() && !fold(key).isEmpty())
                value = *entry;
        }
    }
    return value;
}

QString LangCap(const QString &text)
{
    const QString v = ReadINI(QStringLiteral("Labels & Captions"), text, QString(), LangFile);
    return v.isEmpty() ? text : v;
}

QString LangTip(const QString &text)
{
    const QString v = ReadINI(QStringLiteral("t-Tips"), text, QString(), LangFile);
    return QLatin1Char(' ') + (v.isEmpty() ? text : v) + QLatin1Char(' ');
}

} // namespace qelt
