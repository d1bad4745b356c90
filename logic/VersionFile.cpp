#include "logic/VersionFile.h"

#include "logic/Cipher.h"

#include <QLocale>
#include <QRegularExpression>
#include <QStringDecoder>

namespace qelt::updater {

namespace {

// The server's text is UTF-8 or, failing that, the one-byte character set.
QString decode(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8(bytes);
    return utf8.hasError() ? FromAnsi(bytes) : text;
}

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

} // namespace

QStringList ReadVersionItems(const QByteArray &bytes)
{
    const QString text = decode(bytes);
    QStringList items;
    qsizetype i = 0;
    const qsizetype n = text.size();
    auto atLineEnd = [&](qsizetype p) { return p < n && (text[p] == u'\r' || text[p] == u'\n'); };
    // Steps over one separator: a comma, or a line end (CR LF counts once).
    auto skipSeparator = [&] {
        if (i < n && text[i] == u',') {
            ++i;
        } else if (atLineEnd(i)) {
            if (text[i] == u'\r' && i + 1 < n && text[i + 1] == u'\n')
                ++i;
            ++i;
        }
    };
    while (items.size() < 4 && i < n) {
        while (i < n && isBlank(text[i]))
            ++i;
        QString item;
        if (i < n && text[i] == u'"') {
            const qsizetype close = text.indexOf(u'"', i + 1);
            const qsizetype end = close < 0 ? n : close;
            item = text.mid(i + 1, end - i - 1);
            i = close < 0 ? n : close + 1;
            // Whatever follows the closing quote up to the separator is dropped.
            while (i < n && text[i] != u',' && !atLineEnd(i))
                ++i;
        } else {
            const qsizetype start = i;
            while (i < n && text[i] != u',' && !atLineEnd(i))
                ++i;
            item = text.mid(start, i - start).trimmed();
        }
        skipSeparator();
        items << item;
    }
    while (items.size() < 4)
        items << QString();
    return items;
}

std::optional<double> VersionNumber(const QString &text)
{
    static const QRegularExpression form(QStringLiteral("^[0-9]+(\\.[0-9]+)?$"));
    const QString t = text.trimmed();
    if (!form.match(t).hasMatch())
        return std::nullopt;
    bool ok = false;
    const double v = QLocale::c().toDouble(t, &ok);
    if (!ok)
        return std::nullopt;
    return v;
}

QString NormaliseVersion(const QString &localVersion)
{
    const QString v = localVersion.trimmed();
    const qsizetype lastPoint = v.lastIndexOf(u'.');
    if (lastPoint < 0)
        return v;
    QString head = v.left(4);
    head.remove(u'.');
    return head + v.mid(lastPoint);
}

QString ShortestNumber(double value)
{
    return QLocale::c().toString(value, 'f', QLocale::FloatingPointShortest);
}

bool IsNewer(const QString &webItem, const QString &localVersion)
{
    const auto web = VersionNumber(webItem);
    const auto local = VersionNumber(NormaliseVersion(localVersion));
    return web && local && *web > *local;
}

} // namespace qelt::updater
