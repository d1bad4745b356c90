#pragma once

#include <QChar>
#include <QString>
#include <QStringList>

// Rules of editing a timer row that need no window: which typed keys a
// start-time box takes, what a dropped file enters, which console command
// a row takes, and the rule and colours a row gets.
namespace qelt {

// The character a start-time box takes for a typed key, or a null QChar
// when the key is refused. "r", "s", "a", "m", "p" come out in capitals;
// digits and ":" are taken; a blank only while the text holds no blank,
// "-", "+" or "S"; one sign ("+" or "-") at most; nothing else.
QChar StartTimeKey(const QString &text, QChar key);

// The same for the loop window's start and end boxes: digits and ":", and a
// blank only while the text holds no blank, "-", "+" or "S".
QChar LoopTimeKey(const QString &text, QChar key);

// What a row's action box shows for a file dropped on it: the path relative
// to the program folder for a file inside it (a bare name for one directly
// in it), the full path for any other file.
QString DroppedActionText(const QString &file, const QString &programFolder);

// The macro files of a drop on the macro file list that are to be copied
// into the program folder: ".cro" files (any case) not already there.
QStringList MacroFilesToCopy(const QStringList &dropped, const QString &programFolder);

// True when a row takes the console's command text: it begins with the
// console's house letter or with the (translated) word for a group.
bool TakesConsoleCommand(const QString &command, const QString &houseLetter,
                         const QString &groupWord);

// The day rule of a row just filled with a macro and a time: a row still
// "not set" gets the default rule (index into the rule words), an empty
// action makes it "not set", a row with a rule keeps it.
QString RuleAfterFill(const QString &caption, const QString &action, int defaultRule,
                      const QString &notSet);

// Colours of a row (RGB): the day label's back and the text of its boxes.
struct RowColours {
    unsigned label;
    unsigned text;
};
RowColours RowColoursFor(const QString &action, const QString &start, const QString &caption,
                         const QString &notSet);

} // namespace qelt
