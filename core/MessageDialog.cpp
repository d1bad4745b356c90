#include "core/MessageDialog.h"

#include "core/Splash.h"
#include "core/WindowHelpers.h"
#include "logic/Transmitter.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QEventLoop>
#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>

namespace qelt {

namespace {

constexpr int twips(int t)
{
    return t / kTwipsPerPixel;
}

// Window and button geometry, in pixels (the button edges are the twips of
// the answer buttons' places).
constexpr int kWidth = twips(4800);
constexpr int kButtonWidth = twips(1050);
constexpr int kButtonHeight = twips(375);
constexpr int kMargin = 10;

// Messages break lines with CR LF or a lone CR; the label breaks on LF. A
// long folder or file name wraps at the label's edge instead of being cut
// off on both sides.
QString labelText(QString text)
{
    text.replace("\r\n", "\n");
    text.replace('\r', '\n');
    return BreakableText(text);
}

// The style's picture for a message that has one.
QStyle::StandardPixmap iconPixmap(MsgIcon icon)
{
    switch (icon) {
    case MsgIcon::Question:
        return QStyle::SP_MessageBoxQuestion;
    case MsgIcon::Exclamation:
        return QStyle::SP_MessageBoxWarning;
    case MsgIcon::Critical:
        return QStyle::SP_MessageBoxCritical;
    default:
        return QStyle::SP_MessageBoxInformation;
    }
}

} // namespace

frmInfo::frmInfo(QWidget *parent) : QDialog(parent)
{
    setObjectName("frmInfo");
    setWindowTitle("  Orvendale");
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    // Closing this window never ends the program, even while the main
    // window is hidden in the tray.
    setAttribute(Qt::WA_QuitOnClose, false);

    lblIcon = new QLabel(this);
    lblIcon->setObjectName("lblIcon");
    lblIcon->hide();
    lbl1 = new QLabel(this);
    lbl1->setObjectName("lbl1");
    lbl1->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    lbl1->setWordWrap(true);
    lbl1->setTextFormat(Qt::PlainText);

    auto makeButton = [this](const char *name, const QString &caption) {
        auto *b = new QPushButton(caption, this);
        b->setObjectName(name);
        // Enter presses the button that has the focus, else the default one.
        b->setAutoDefault(true);
        b->resize(kButtonWidth, kButtonHeight);
        return b;
    };
    cmdOK = makeButton("cmdOK", "OK");
    cmdYes = makeButton("cmdYes", "Yes");
    cmdNo = makeButton("cmdNo", "No");
    cmdCancel = makeButton("cmdCancel", "&Cancel");
    cmdYes->hide();
    cmdNo->hide();
    cmdCancel->hide();

    connect(cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
    connect(cmdYes, &QPushButton::clicked, this, [this] { answer("1"); });
    connect(cmdNo, &QPushButton::clicked, this, [this] { answer("2"); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { answer("3"); });
}

frmInfo::~frmInfo()
{
    // A window destroyed while its caller still waits (program exit) must
    // not leave that caller's loop running.
    if (m_wait)
        m_wait->quit();
}

void frmInfo::setIcon(MsgIcon icon)
{
    if (icon == MsgIcon::None) {
        lblIcon->clear();
        lblIcon->hide();
        return;
    }
    const int size = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
    lblIcon->setPixmap(style()->standardIcon(iconPixmap(icon), nullptr, this).pixmap(size, size));
    lblIcon->setGeometry(kMargin, kMargin, size, size);
    lblIcon->show();
}

void frmInfo::layoutFor(bool question)
{
    // The text stands right of the picture, when there is one.
    const int textLeft = lblIcon->isHidden() ? kMargin : lblIcon->geometry().right() + 1 + kMargin;
    const int textWidth = kWidth - textLeft - kMargin;
    const int textHeight = qMax(qMax(twips(600), lbl1->heightForWidth(textWidth)),
                                lblIcon->isHidden() ? 0 : lblIcon->height());
    lbl1->setGeometry(textLeft, kMargin, textWidth, textHeight);
    const int top = kMargin + textHeight + kMargin;
    if (question) {
        if (m_buttonSet == 3) {
            cmdYes->move(twips(518), top);
            cmdNo->move(twips(1868), top);
            cmdCancel->move(twips(3233), top);
        } else {
            cmdYes->move(twips(1200), top);
            cmdNo->move(twips(2550), top);
        }
    } else {
        cmdOK->move((kWidth - kButtonWidth) / 2, top);
    }
    setFixedSize(kWidth, top + kButtonHeight + kMargin);
    if (!isVisible()) {
        const QScreen *screen = QGuiApplication::primaryScreen();
        if (QWidget *active = QApplication::activeWindow())
            screen = active->screen();
        if (screen)
            move(screen->availableGeometry().center() - rect().center());
    }
}

void frmInfo::Info(const QString &sMsg, bool bOnTop, bool bAlignLeft, const QString &sTitle,
                   const QString &sBtnName, bool bModal, MsgIcon icon)
{
    m_question = false;
    setIcon(icon);
    if (bAlignLeft)
        lbl1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lbl1->setText(labelText(sMsg));
    setWindowTitle(sTitle);
    // The button's design caption stands when the caller gives none, so the
    // window never shows a blank button.
    cmdOK->setText(sBtnName.isEmpty() ? QStringLiteral("OK") : sBtnName);
    cmdOK->setDefault(true);
    layoutFor(false);
    blockOthersWhileWaiting(bModal);

    QCoreApplication::processEvents();
    show();
    if (bOnTop)
        PutOnTop(this);
    QPointer<frmInfo> self(this);
    Delay(0.2);
    if (!self)
        return;
    HideSplashIfVisible();

    // OK (or the window frame) may have been used during the short wait.
    const bool okAlready = m_okTag == "done";
    if (!bModal) {
        if (okAlready) {
            hide();
            deleteLater();
        } else {
            m_okTag = "close";
        }
        return;
    }
    if (!okAlready) {
        m_okTag = "hold";
        QEventLoop loop;
        m_wait = &loop;
        loop.exec();
        if (!self) // destroyed while waiting (the program is closing)
            return;
        m_wait = nullptr;
    }
    hide();
}

int frmInfo::Questions(const QString &sMsg, int iYesNoCancel, const QString &sTitle, MsgIcon icon)
{
    m_question = true;
    setIcon(icon);
    m_buttonSet = iYesNoCancel == 3 ? 3 : 2;
    // The two-button question in its OK/Cancel form answers as Yes/No do.
    const bool okCancel = iYesNoCancel == 4;
    cmdYes->setText(okCancel ? QStringLiteral("OK") : QStringLiteral("Yes"));
    cmdNo->setText(okCancel ? QStringLiteral("Cancel") : QStringLiteral("No"));
    m_answer.clear();
    setWindowTitle(sTitle);
    lbl1->setText(labelText(sMsg));
    PutOnTop(this);

    cmdOK->hide();
    cmdYes->show();
    cmdNo->show();
    cmdCancel->setVisible(m_buttonSet == 3);
    cmdYes->setDefault(true);
    layoutFor(true);
    blockOthersWhileWaiting(true);
    show();
    cmdYes->setFocus();

    const int unanswered = m_buttonSet == 3 ? 3 : 2;
    QPointer<frmInfo> self(this);
    QEventLoop loop;
    m_wait = &loop;
    loop.exec();
    if (!self) // destroyed while waiting (the program is closing)
        return unanswered;
    m_wait = nullptr;
    hide();
    return m_answer.toInt();
}

void frmInfo::blockOthersWhileWaiting(bool waits)
{
    // A window that waits for its answer takes all input while it is shown:
    // a modal window raised earlier (the pause or delay dialog) cannot keep
    // it from the user, and the handler that raised it cannot be run again
    // before it returns. Timers and other events keep running in the wait.
    // A message that does not wait leaves the other windows usable.
    setWindowModality(waits ? Qt::ApplicationModal : Qt::NonModal);
}

void frmInfo::cmdOK_Click()
{
    if (m_okTag == "close") {
        hide();
        deleteLater();
    } else if (m_okTag == "hold" || m_okTag.isEmpty()) {
        m_okTag = "done";
        if (m_wait)
            m_wait->quit();
    }
}

void frmInfo::answer(const QString &tag)
{
    if (!m_answer.isEmpty())
        return;
    m_answer = tag;
    if (m_wait)
        m_wait->quit();
}

// Escape and the window frame: a message counts as read (OK), a question is
// answered No, or Cancel where Cancel is offered.
void frmInfo::reject()
{
    if (m_question)
        answer(m_buttonSet == 3 ? "3" : "2");
    else
        cmdOK_Click();
}

void frmInfo::closeEvent(QCloseEvent *event)
{
    reject();
    event->accept();
}

namespace {

class RealDialogProvider : public DialogProvider {
public:
    void info(const QString &sMsg, bool bOnTop, bool bAlignLeft, const QString &sTitle,
              const QString &sBtnName, bool bModal, MsgIcon icon) override
    {
        auto *dlg = new frmInfo;
        dlg->setAttribute(Qt::WA_DeleteOnClose, false);
        QPointer<frmInfo> guard(dlg);
        dlg->Info(sMsg, bOnTop, bAlignLeft, sTitle, sBtnName, bModal, icon);
        // A modeless window deletes itself when its OK closes it.
        if (bModal && guard)
            guard->deleteLater();
    }

    int questions(const QString &sMsg, int iYesNoCancel, const QString &sTitle,
                  MsgIcon icon) override
    {
        auto *dlg = new frmInfo;
        QPointer<frmInfo> guard(dlg);
        const int result = dlg->Questions(sMsg, iYesNoCancel, sTitle, icon);
        if (guard)
            guard->deleteLater();
        return result;
    }

    QString openFileName(QWidget *parent, const QString &title, const QString &folder,
                         const QString &filter) override
    {
        return QFileDialog::getOpenFileName(parent, title, folder, filter);
    }

    QString saveFileName(QWidget *parent, const QString &title, const QString &path,
                         const QString &filter) override
    {
        return QFileDialog::getSaveFileName(parent, title, path, filter);
    }

    QString saveFileNameUnasked(QWidget *parent, const QString &title, const QString &path,
                                const QString &filter, const QString &defaultSuffix) override
    {
        QFileDialog dialog(parent, title, path, filter);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
        dialog.setDefaultSuffix(defaultSuffix);
        if (dialog.exec() != QDialog::Accepted)
            return {};
        return dialog.selectedFiles().value(0);
    }

    QString inputText(QWidget *parent, const QString &title, const QString &prompt,
                      const QString &text, bool *ok) override
    {
        bool accepted = false;
        const QString result =
            QInputDialog::getText(parent, title, prompt, QLineEdit::Normal, text, &accepted);
        if (ok)
            *ok = accepted;
        return accepted ? result : QString();
    }
};

} // namespace

DialogProvider &RealDialogs()
{
    static RealDialogProvider provider;
    return provider;
}

} // namespace qelt
