#include "macros/frmMDelay.h"

#include "core/Dialogs.h"
#include "core/TypedCharacter.h"
#include "logic/Globals.h"
#include "logic/Lang.h"

#include <QCheckBox>
#include <QEventLoop>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QTimer>
#include <QVBoxLayout>

namespace qelt {

namespace {

frmMDelay *g_dialog = nullptr;

double NumberOf(const QString &text, bool *ok)
{
    QString t = text.trimmed();
    t.replace(QLatin1Char(','), QLatin1Char('.'));
    if (t.isEmpty()) {
        *ok = true;
        return 0.0;
    }
    return t.toDouble(ok);
}

QString PadFour(QString text)
{
    while (text.size() < 4)
        text.prepend(QLatin1Char('0'));
    return text;
}

} // namespace

QString PauseTotalText(const QString &minutes, const QString &seconds)
{
    bool okMin = false;
    bool okSec = false;
    const double min = NumberOf(minutes, &okMin);
    const double sec = NumberOf(seconds, &okSec);
    const double total = (okMin ? min : 0.0) * 60.0 + (okSec ? sec : 0.0);
    QString text = QString::number(total, 'f', 6);
    while (text.contains(QLatin1Char('.')) && text.endsWith(QLatin1Char('0')))
        text.chop(1);
    if (text.endsWith(QLatin1Char('.')))
        text.chop(1);
    if (text.startsWith(QLatin1String("0.")))
        text.remove(0, 1); // the shortest form: ".3"
    return PadFour(text);
}

QString PauseResultText(const QString &total)
{
    if (!total.contains(QLatin1Char('.')))
        return total;
    bool ok = false;
    const double value = total.toDouble(&ok);
    return ok ? QString::number(value, 'f', 2) : total;
}

frmMDelay *MDelayWindow()
{
    if (!g_dialog)
        g_dialog = new frmMDelay;
    return g_dialog;
}

frmMDelay *MDelayWindowIfLoaded()
{
    return g_dialog;
}

frmMDelay::frmMDelay(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmMDelay"));
    setWindowTitle(QStringLiteral(" Pause Time"));
    lblDesc = new QLabel(LangCap(QStringLiteral("Enter Pause Time")), this);
    Label1 = new QLabel(QStringLiteral("Min.  Sec."), this);
    txtMin = new QLineEdit(QStringLiteral("00"), this);
    txtSec = new QLineEdit(QStringLiteral("00"), this);
    txtPTime = new QLineEdit(this);
    txtPTime->setReadOnly(true);
    for (QLineEdit *box : {txtMin, txtSec, txtPTime}) {
        box->setAlignment(Qt::AlignCenter);
        box->setFixedWidth(56);
    }
    txtMin->setMaxLength(3);
    txtSec->setMaxLength(3);
    // What is pasted keeps to the characters the boxes take when typed, so
    // no sign or letter reaches the total.
    txtMin->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,3}")), txtMin));
    txtSec->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[0-9]*[.,]?[0-9]*")), txtSec));
    txtMin->setObjectName(QStringLiteral("txtMin"));
    txtSec->setObjectName(QStringLiteral("txtSec"));
    txtPTime->setObjectName(QStringLiteral("txtPTime"));
    cmdContinue = new QPushButton(LangCap(QStringLiteral("Continue")), this);
    cmdContinue->setToolTip(QStringLiteral("\"Enter\" key to continue"));
    Command1 = new QPushButton(LangCap(QStringLiteral("Cancel")), this);
    Command1->setToolTip(QStringLiteral("Esc to Cancel"));
    chkSame =
        new QCheckBox(LangCap(QStringLiteral("Make pauses all the same while recording")), this);
    chkSame->hide();
    Label2 =
        new QLabel(LangCap(QStringLiteral("The maximum pause time is 166 min. and 39 sec.")), this);
    Label2->setWordWrap(true);

    auto *boxes = new QGridLayout;
    boxes->addWidget(Label1, 0, 0, 1, 2, Qt::AlignCenter);
    boxes->addWidget(txtMin, 1, 0);
    boxes->addWidget(txtSec, 1, 1);
    boxes->addWidget(txtPTime, 1, 3);
    boxes->setColumnStretch(2, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(cmdContinue, 1);
    buttons->addWidget(Command1);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lblDesc);
    layout->addLayout(boxes);
    layout->addLayout(buttons);
    layout->addWidget(chkSame);
    layout->addWidget(Label2);

    txtMin->installEventFilter(this);
    txtSec->installEventFilter(this);
    connect(txtMin, &QLineEdit::textChanged, this, [this] { CalcPause(); });
    connect(txtSec, &QLineEdit::textChanged, this, [this] { CalcPause(); });
    connect(cmdContinue, &QPushButton::clicked, this, [this] { cmdContinue_Click(); });
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });

    CalcPause();
}

QString frmMDelay::askModal()
{
    setModal(true);
    show();
    raise();
    activateWindow();
    txtMin->setFocus();
    txtMin->selectAll();
    QEventLoop loop;
    QTimer poll;
    poll.setInterval(20);
    connect(&poll, &QTimer::timeout, &loop, [&] {
        if (!isVisible() || AbortSend)
            loop.quit();
    });
    poll.start();
    if (isVisible())
        loop.exec();
    return PauseTime;
}

void frmMDelay::CalcPause()
{
    txtPTime->setText(PauseTotalText(txtMin->text(), txtSec->text()));
}

void frmMDelay::cmdContinue_Click()
{
    HoldRepeat = false;
    if (txtMin->text().isEmpty())
        txtMin->setText(QStringLiteral("0"));
    if (txtSec->text().isEmpty())
        txtSec->setText(QStringLiteral("0"));
    const auto zero = [](const QString &t) {
        return t == QLatin1String("0") || t == QLatin1String("00");
    };
    if (zero(txtMin->text()) && zero(txtSec->text())) {
        Info(LangCap(QStringLiteral("Pause time must be at least .3 seconds!")) +
                 QStringLiteral("\r") +
                 LangCap(QStringLiteral("Caution should be used anytime you try to use less than "
                                        ".6 seconds as the commands may not be received.")),
             true, false, QStringLiteral("Orvendale"), QStringLiteral("OK"), true);
        CalcPause();
        txtSec->setFocus();
        return;
    }
    CalcPause();
    PauseTime = PauseResultText(txtPTime->text());
    hide();
    emit continued(chkSame->isChecked());
}

void frmMDelay::Command1_Click()
{
    // Cancel: no pause chosen.
    PauseTime.clear();
    hide();
}

void frmMDelay::reject()
{
    Command1_Click();
}

bool frmMDelay::txtMin_KeyPress(QChar key)
{
    if (key.unicode() == 13) {
        txtSec->setFocus();
        return false;
    }
    return key >= QLatin1Char('0') && key <= QLatin1Char('9');
}

bool frmMDelay::txtSec_KeyPress(QChar key)
{
    const ushort c = key.unicode();
    if (c == 13) {
        cmdContinue_Click();
        return false;
    }
    if (c >= '1' && c <= '9')
        return true;
    const bool hasPoint =
        txtSec->text().contains(QLatin1Char('.')) || txtSec->text().contains(QLatin1Char(','));
    return (c == '0' || c == '.' || c == ',') && !hasPoint;
}

void frmMDelay::txtMin_LostFocus()
{
    if (txtMin->text().isEmpty())
        txtMin->setText(QStringLiteral("0"));
    if (txtMin->text().toInt() > 166) {
        txtMin->setText(QStringLiteral("166"));
        txtMin->setFocus();
    }
    CalcPause();
}

void frmMDelay::txtSec_LostFocus()
{
    if (txtSec->text().isEmpty() || txtSec->text() == QLatin1String("."))
        txtSec->setText(QStringLiteral("0"));
    bool ok = false;
    const double seconds = NumberOf(txtSec->text(), &ok);
    if (ok && txtMin->text().toInt() >= 166 && seconds > 39) {
        txtSec->setText(QStringLiteral("39"));
        txtSec->setFocus();
    }
    CalcPause();
}

bool frmMDelay::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == txtMin || watched == txtSec) {
        if (event->type() == QEvent::KeyPress) {
            auto *key = static_cast<QKeyEvent *>(event);
            QChar c;
            if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
                c = QChar(13);
            else
                c = TypedCharacter(key);
            // Tab, Esc, Backspace, cursor keys and shortcuts work as in any
            // box: Tab leaves it (and so runs its focus-loss rule), Esc
            // cancels the dialog.
            if (c.isNull())
                return false;
            const bool pass = watched == txtMin ? txtMin_KeyPress(c) : txtSec_KeyPress(c);
            return !pass;
        }
        if (event->type() == QEvent::FocusIn) {
            auto *box = static_cast<QLineEdit *>(watched);
            QTimer::singleShot(0, box, [box] { box->selectAll(); });
        }
        if (event->type() == QEvent::FocusOut && isVisible()) {
            if (watched == txtMin)
                txtMin_LostFocus();
            else
                txtSec_LostFocus();
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace qelt
