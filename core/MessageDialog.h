#pragma once

#include "core/Dialogs.h"

#include <QDialog>
#include <QPointer>

class QEventLoop;
class QLabel;
class QPushButton;

namespace qelt {

// The program's own message and question box. Every call makes its own
// window, so a dialog opened by a timer while another one waits never takes
// the other's answer. The waits run a local event loop: other windows'
// timers keep running while the dialog waits, but their input is blocked.
class frmInfo : public QDialog {
    Q_OBJECT
public:
    explicit frmInfo(QWidget *parent = nullptr);
    ~frmInfo() override;

    // Shows sMsg with one button; with bModal the call returns only after
    // the button (or the window frame) was used. The window of a modeless
    // call stays up until its button closes it.
    void Info(const QString &sMsg, bool bOnTop = false, bool bAlignLeft = false,
              const QString &sTitle = {}, const QString &sBtnName = {}, bool bModal = false,
              MsgIcon icon = MsgIcon::None);
    // Yes/No (2), Yes/No/Cancel (3) or OK/Cancel (4); returns 1 Yes or OK,
    // 2 No or the Cancel of OK/Cancel, 3 Cancel. Any other button set is
    // asked as Yes/No.
    int Questions(const QString &sMsg, int iYesNoCancel = 2, const QString &sTitle = {},
                  MsgIcon icon = MsgIcon::None);

    QLabel *lblIcon = nullptr; // the picture left of the text; hidden without one
    QLabel *lbl1 = nullptr;
    QPushButton *cmdOK = nullptr;
    QPushButton *cmdYes = nullptr;
    QPushButton *cmdNo = nullptr;
    QPushButton *cmdCancel = nullptr;

    // The OK button's state word: "hold" (a modal Info waits), "done" (OK was
    // pressed during that wait), "close" (a modeless Info is showing).
    QString okTag() const { return m_okTag; }

protected:
    void closeEvent(QCloseEvent *event) override;
    void reject() override;

private:
    void cmdOK_Click();
    void answer(const QString &tag);
    void setIcon(MsgIcon icon);
    void layoutFor(bool question);
    void blockOthersWhileWaiting(bool waits);

    QString m_okTag;
    QString m_answer;
    bool m_question = false;
    int m_buttonSet = 2;
    QPointer<QEventLoop> m_wait;
};

// The real dialogs behind Dialogs(): frmInfo for messages and questions, the
// toolkit's file and text input dialogs for the rest.
DialogProvider &RealDialogs();

} // namespace qelt
