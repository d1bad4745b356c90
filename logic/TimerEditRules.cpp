#include "logic/TimerEditRules.h"

#include "logic/DayRule.h"

#include <QDir>
#include <QFileInfo>

namespace qelt {

namespace {

bool blankRefused(const QString &text)
{
    return text.contains(u' ') || text.contains(u'-') || text.contains(u'+') || text.contains(u'S');
}

QString folderPrefix(const QString &programFolder)
{
    QString f = QDir::cleanPath(programFolder);
    return f.endsWith(u'/') ? f : f + u'/';
}

} // namespace

QChar StartTimeKey(const QString &text, QChar key)
{
    switch (key.unicode()) {
    case 'r':
    case 's':
    case 'a':
    case 'm':
    case 'p':
        return key.toUpper();
    case 'R':
    case 'S':
    case 'A':
    case 'M':
    case 'P':
        return key;
    case ' ':
        return blankRefused(text) ? QChar() : key;
    case '+':
    case '-':
        return text.contains(u'-') || text.contains(u'+') ? QChar() : key;
    default:
        break;
    }
    if ((key >= u'0' && key <= u'9') || key == u':')
        return key;
    return {};
}

QChar LoopTimeKey(const QString &text, QChar key)
{
    if (key == u' ')
        return blankRefused(text) ? QChar() : key;
    if ((key >= u'0' && key <= u'9') || key == u':')
        return key;
    return {};
}

QString DroppedActionText(const QString &file, const QString &programFolder)
{
    const QString prefix = folderPrefix(programFolder);
    const QString clean = QDir::cleanPath(file);
    if (clean.startsWith(prefix))
        return clean.mid(prefix.size());
    return file;
}

QStringList MacroFilesToCopy(const QStringList &dropped, const QString &programFolder)
{
    QStringList copy;
    const QString prefix = folderPrefix(programFolder);
    for (const QString &f : dropped) {
        const QString name = QFileInfo(f).fileName();
        if (!name.right(3).toLower().endsWith(QLatin1String("cro")))
            continue;
        if (QDir::cleanPath(f) == prefix + name)
            continue; // already there
        copy << f;
    }
    return copy;
}

bool TakesConsoleCommand(const QString &command, const QString &houseLetter,
                         const QString &groupWord)
{
    if (command.isEmpty())
        return false;
    if (!houseLetter.isEmpty() && command.at(0) == houseLetter.at(0))
        return true;
    return !groupWord.isEmpty() && command.startsWith(groupWord);
}

QString RuleAfterFill(const QString &caption, const QString &action, int defaultRule,
                      const QString &notSet)
{
    if (caption == notSet && !action.isEmpty()) {
        const QStringList words = DayRuleWords();
        return words.value(defaultRule, words.first());
    }
    if (action.isEmpty())
        return notSet;
    return caption;
}

RowColours RowColoursFor(const QString &action, const QString &start, const QString &caption,
                         const QString &notSet)
{
    if (action.isEmpty() || start.isEmpty() || caption == notSet)
        return {kRuleNotSetRgb, 0x400000};
    if (caption == QLatin1String(kRuleNever))
        return {kRuleNeverRgb, 0x400000};
    return {kRuleActiveRgb, 0x004000};
}

} // namespace qelt
