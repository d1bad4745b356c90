#include "platform/DesktopEntry.h"

#include "logic/SafeSave.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace qelt {

namespace {

bool isGroupHeader(const QString &line)
{
    return line.startsWith('[') && line.endsWith(']');
}

// Splits "key=value" (blanks around "=" allowed); false for anything else.
bool splitKeyLine(const QString &line, QString *key, QString *value)
{
    const int eq = line.indexOf('=');
    if (eq <= 0 || line.startsWith('#'))
        return false;
    *key = line.left(eq).trimmed();
    *value = line.mid(eq + 1).trimmed();
    return !key->isEmpty();
}

QStringList splitList(const QString &value)
{
    QStringList ids;
    for (const QString &part : value.split(';')) {
        const QString id = part.trimmed();
        if (!id.isEmpty() && !ids.contains(id))
            ids << id;
    }
    return ids;
}

QStringList readLines(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QString text = QString::fromUtf8(f.readAll());
    text.replace("\r\n", "\n");
    QStringList lines = text.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

// Finds the group's header and the line of key within it; -1 when absent.
struct ListPosition {
    int header = -1;
    int keyLine = -1;
    int groupEnd = -1; // first line after the group
};

ListPosition locate(const QStringList &lines, const QString &group, const QString &key)
{
    ListPosition pos;
    for (int i = 0; i < lines.size(); ++i) {
        const QString line = lines[i].trimmed();
        if (isGroupHeader(line)) {
            if (pos.header >= 0) {
                pos.groupEnd = i;
                break;
            }
            if (line == "[" + group + "]")
                pos.header = i;
            continue;
        }
        QString k, v;
        if (pos.header >= 0 && pos.keyLine < 0 && splitKeyLine(line, &k, &v) && k == key)
            pos.keyLine = i;
    }
    if (pos.header >= 0 && pos.groupEnd < 0)
        pos.groupEnd = lines.size();
    return pos;
}

bool writeLines(const QString &path, const QStringList &lines)
{
    QByteArray data = lines.join('\n').toUtf8();
    if (!lines.isEmpty())
        data += '\n';
    return WriteFileAtomically(path, data);
}

const QString kDefaultGroup = QStringLiteral("Default Applications");

} // namespace

QString QuoteExecArg(const QString &arg)
{
    // Always quoted: a path is safe whatever it holds.
    QString out = QStringLiteral("\"");
    for (const QChar c : arg) {
        if (c == '"' || c == '`' || c == '$' || c == '\\')
            out += '\\';
        if (c == '%')
            out += '%';
        out += c;
    }
    out += '"';
    return out;
}

QStringList SplitExecLine(const QString &exec)
{
    QStringList args;
    QString cur;
    bool inArg = false;
    bool quoted = false;
    for (int i = 0; i < exec.size(); ++i) {
        const QChar c = exec[i];
        if (quoted) {
            if (c == '\\' && i + 1 < exec.size()) {
                cur += exec[++i];
            } else if (c == '"') {
                quoted = false;
            } else if (c == '%' && i + 1 < exec.size() && exec[i + 1] == '%') {
                cur += '%';
                ++i;
            } else {
                cur += c;
            }
        } else if (c == ' ' || c == '\t' || c == '\n') {
            if (inArg)
                args << cur;
            cur.clear();
            inArg = false;
        } else if (c == '"') {
            quoted = true;
            inArg = true;
        } else if (c == '%' && i + 1 < exec.size() && exec[i + 1] == '%') {
            cur += '%';
            inArg = true;
            ++i;
        } else {
            cur += c;
            inArg = true;
        }
    }
    if (inArg)
        args << cur;
    return args;
}

QString EscapeDesktopValue(const QString &value)
{
    QString out;
    for (int i = 0; i < value.size(); ++i) {
        const QChar c = value[i];
        if (c == '\\')
            out += "\\\\";
        else if (c == '\n')
            out += "\\n";
        else if (c == '\t')
            out += "\\t";
        else if (c == '\r')
            out += "\\r";
        else if (c == ' ' && i == 0)
            out += "\\s";
        else
            out += c;
    }
    return out;
}

QString UnescapeDesktopValue(const QString &value)
{
    QString out;
    for (int i = 0; i < value.size(); ++i) {
        const QChar c = value[i];
        if (c != '\\' || i + 1 == value.size()) {
            out += c;
            continue;
        }
        const QChar n = value[++i];
        if (n == 's')
            out += ' ';
        else if (n == 'n')
            out += '\n';
        else if (n == 't')
            out += '\t';
        else if (n == 'r')
            out += '\r';
        else if (n == '\\')
            out += '\\';
        else {
            out += '\\';
            out += n;
        }
    }
    return out;
}

void DesktopEntry::set(const QString &key, const QString &value)
{
    for (auto &kv : m_keys) {
        if (kv.first == key) {
            kv.second = value;
            return;
        }
    }
    m_keys.append({key, value});
}

QString DesktopEntry::value(const QString &key) const
{
    for (const auto &kv : m_keys)
        if (kv.first == key)
            return kv.second;
    return {};
}

bool DesktopEntry::contains(const QString &key) const
{
    for (const auto &kv : m_keys)
        if (kv.first == key)
            return true;
    return false;
}

QByteArray DesktopEntry::toText() const
{
    QString text = QStringLiteral("[Desktop Entry]\n");
    for (const auto &kv : m_keys)
        text += kv.first + '=' + EscapeDesktopValue(kv.second) + '\n';
    return text.toUtf8();
}

bool DesktopEntry::read(const QString &path)
{
    m_keys.clear();
    if (!QFileInfo(path).isFile())
        return false;
    bool inGroup = false;
    bool found = false;
    for (const QString &raw : readLines(path)) {
        const QString line = raw.trimmed();
        if (isGroupHeader(line)) {
            inGroup = line == QLatin1String("[Desktop Entry]");
            found = found || inGroup;
            continue;
        }
        QString k, v;
        if (inGroup && splitKeyLine(line, &k, &v) && !contains(k))
            m_keys.append({k, UnescapeDesktopValue(v)});
    }
    return found;
}

bool DesktopEntry::write(const QString &path, bool executable) const
{
    if (!WriteFileAtomically(path, toText()))
        return false;
    if (executable) {
        QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::ExeOwner |
                                        QFileDevice::ExeUser);
    }
    return true;
}

QStringList DefaultApplications(const QString &listPath, const QString &mimeType)
{
    const QStringList lines = readLines(listPath);
    const ListPosition pos = locate(lines, kDefaultGroup, mimeType);
    if (pos.keyLine < 0)
        return {};
    QString k, v;
    splitKeyLine(lines[pos.keyLine].trimmed(), &k, &v);
    return splitList(v);
}

bool SetDefaultApplication(const QString &listPath, const QString &mimeType,
                           const QString &desktopId)
{
    QStringList lines = readLines(listPath);
    const ListPosition pos = locate(lines, kDefaultGroup, mimeType);
    QStringList ids;
    if (pos.keyLine >= 0) {
        QString k, v;
        splitKeyLine(lines[pos.keyLine].trimmed(), &k, &v);
        ids = splitList(v);
        if (ids.value(0) == desktopId)
            return true;
        ids.removeAll(desktopId);
    }
    ids.prepend(desktopId);
    const QString line = mimeType + '=' + ids.join(';') + ';';
    if (pos.keyLine >= 0) {
        lines[pos.keyLine] = line;
    } else if (pos.header >= 0) {
        // After the group's last non-blank line, so a blank separator stays.
        int at = pos.groupEnd;
        while (at > pos.header + 1 && lines[at - 1].trimmed().isEmpty())
            --at;
        lines.insert(at, line);
    } else {
        if (!lines.isEmpty() && !lines.last().trimmed().isEmpty())
            lines << QString();
        lines << "[" + kDefaultGroup + "]" << line;
    }
    return writeLines(listPath, lines);
}

bool RemoveDefaultApplication(const QString &listPath, const QString &mimeType,
                              const QString &desktopId)
{
    QStringList lines = readLines(listPath);
    const ListPosition pos = locate(lines, kDefaultGroup, mimeType);
    if (pos.keyLine < 0)
        return true;
    QString k, v;
    splitKeyLine(lines[pos.keyLine].trimmed(), &k, &v);
    QStringList ids = splitList(v);
    if (!ids.contains(desktopId))
        return true;
    ids.removeAll(desktopId);
    if (ids.isEmpty())
        lines.removeAt(pos.keyLine);
    else
        lines[pos.keyLine] = mimeType + '=' + ids.join(';') + ';';
    return writeLines(listPath, lines);
}

bool WriteFileAtomically(const QString &path, const QByteArray &data)
{
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    return SaveFileBytes(path, data);
}

} // namespace qelt
