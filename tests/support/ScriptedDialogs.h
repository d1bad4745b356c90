#pragma once

// Stands in for every modal dialog: records what would have been shown and
// gives scripted answers, so that no test waits for a click.

#include "core/Dialogs.h"

#include <QList>
#include <QStringList>

#include <functional>

namespace qelt::test {

class ScriptedDialogs : public DialogProvider {
public:
    // What was shown, in order.
    QStringList messages;    // texts of messages and questions together
    QStringList infos;       // texts of messages
    QStringList titledInfos; // "title | text" of messages
    QList<bool> modal;       // whether each message waited for its button
    QStringList asked;       // texts of questions
    // "info <title> <text> <modal 0/1>" and "questions <title> <text> <button set>"
    QStringList calls;
    // The picture each message and question was to show, in order.
    QList<MsgIcon> icons;

    // Questions take the answers first to last, then `answer` (2, No).
    QList<int> answers;
    int answer = 2;
    // File dialogs: "" is cancelled. Text input: inputOk false is cancelled.
    QString openAnswer;
    QString saveAnswer;
    QString inputAnswer;
    bool inputOk = false;

    // Runs first for every message, for tests that check its arguments.
    std::function<void(const QString &sMsg, bool bOnTop, bool bAlignLeft, const QString &sTitle,
                       const QString &sBtnName, bool bModal)>
        onInfo;
    // Runs inside every question before it is answered: what happens while a
    // real dialog waits and keeps events running.
    std::function<void()> whileOpen;

    void info(const QString &sMsg, bool bOnTop, bool bAlignLeft, const QString &sTitle,
              const QString &sBtnName, bool bModal, MsgIcon icon) override
    {
        icons << icon;
        if (onInfo)
            onInfo(sMsg, bOnTop, bAlignLeft, sTitle, sBtnName, bModal);
        messages << sMsg;
        infos << sMsg;
        titledInfos << sTitle + QStringLiteral(" | ") + sMsg;
        modal << bModal;
        calls << QStringLiteral("info %1 %2 %3").arg(sTitle, sMsg).arg(bModal);
    }
    int questions(const QString &sMsg, int iYesNoCancel, const QString &sTitle,
                  MsgIcon icon) override
    {
        icons << icon;
        if (whileOpen)
            whileOpen();
        messages << sMsg;
        asked << sMsg;
        calls << QStringLiteral("questions %1 %2 %3").arg(sTitle, sMsg).arg(iYesNoCancel);
        return answers.isEmpty() ? answer : answers.takeFirst();
    }
    QString openFileName(QWidget *, const QString &, const QString &, const QString &) override
    {
        return openAnswer;
    }
    QString saveFileName(QWidget *, const QString &, const QString &, const QString &) override
    {
        return saveAnswer;
    }
    QString inputText(QWidget *, const QString &, const QString &, const QString &,
                      bool *ok) override
    {
        if (ok)
            *ok = inputOk;
        return inputAnswer;
    }
};

// Scripted dialogs in place of the real ones for as long as the object lives.
class InstalledDialogs : public ScriptedDialogs {
public:
    InstalledDialogs() { SetDialogProvider(this); }
    ~InstalledDialogs() override { SetDialogProvider(nullptr); }
    InstalledDialogs(const InstalledDialogs &) = delete;
    InstalledDialogs &operator=(const InstalledDialogs &) = delete;
};

} // namespace qelt::test
