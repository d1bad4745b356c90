#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

class QWidget;

namespace qelt {

// The picture a message or question shows beside its text.
enum class MsgIcon { None, Information, Question, Exclamation, Critical };

// Shows a message; with bModal the call waits (letting other events and
// timers run) until the button is pressed. The result is always empty.
void Info(const QString &sMsg, bool bOnTop = false, bool bAlignLeft = false,
          const QString &sTitle = {}, const QString &sBtnName = {}, bool bModal = false,
          MsgIcon icon = MsgIcon::None);

// Asks a question with Yes/No (iYesNoCancel 2), Yes/No/Cancel (3) or
// OK/Cancel (4) and waits for the answer: 1 Yes or OK, 2 No or the Cancel
// of OK/Cancel, 3 Cancel. Closing the window through its
// frame answers No (2) or Cancel (3).
int Questions(const QString &sMsg, int iYesNoCancel = 2, const QString &sTitle = {},
              MsgIcon icon = MsgIcon::None);

// Every modal dialog goes through a provider, so tests can script the
// answers. Each call is its own dialog object: a dialog opened by a timer
// while another one waits does not take the other's answer.
class DialogProvider {
public:
    virtual ~DialogProvider() = default;
    virtual void info(const QString &sMsg, bool bOnTop, bool bAlignLeft, const QString &sTitle,
                      const QString &sBtnName, bool bModal, MsgIcon icon) = 0;
    virtual int questions(const QString &sMsg, int iYesNoCancel, const QString &sTitle,
                          MsgIcon icon) = 0;
    // File dialogs: "" when cancelled. filter as in QFileDialog.
    virtual QString openFileName(QWidget *parent, const QString &title, const QString &folder,
                                 const QString &filter) = 0;
    virtual QString saveFileName(QWidget *parent, const QString &title, const QString &path,
                                 const QString &filter) = 0;
    // A save dialog for callers that ask about overwriting an existing file
    // themselves, so the user is asked once: the dialog asks nothing, and a
    // name typed without an extension gets defaultSuffix. Providers that do
    // not show a real dialog answer as saveFileName does.
    virtual QString saveFileNameUnasked(QWidget *parent, const QString &title, const QString &path,
                                        const QString &filter, const QString &defaultSuffix)
    {
        Q_UNUSED(defaultSuffix);
        return saveFileName(parent, title, path, filter);
    }
    // Text input: ok is false when cancelled.
    virtual QString inputText(QWidget *parent, const QString &title, const QString &prompt,
                              const QString &text, bool *ok) = 0;
};
DialogProvider &Dialogs();
// nullptr restores the real dialogs.
void SetDialogProvider(DialogProvider *provider);

// path with "." + suffix added when its file name has no extension
// ("first" becomes "first.cro", "first." becomes "first.cro"); other paths,
// and an empty one, stay as they are.
QString WithDefaultSuffix(const QString &path, const QString &suffix);

} // namespace qelt
