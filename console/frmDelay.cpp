#include "console/frmDelay.h"

#include "core/Dialogs.h"
#include "core/Sounds.h"
#include "core/TypedCharacter.h"
#include "core/WindowHelpers.h"
#include "core/services/ConsoleServices.h"
#include "logic/Globals.h"
#include "logic/Lang.h"
#include "logic/Transmitter.h"

#include <QEvent>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <limits>

namespace qelt {

namespace {

// Rounds half to even, as whole-number conversions of typed entries do
// ("2.5" gives 2, "3.5" gives 4). False when the value does not fit 32 bits.
bool RoundToInt(double value, int *out)
{
    const double r = std::rint(value);
    if (!std::isfinite(r) || r > std::numeric_limits<int>::max() ||
        r < std::numeric_limits<int>::min())
        return false;
    *out = int(r);
    return true;
}

bool IsNumeric(const QString &text, double *value)
{
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);
    if (ok && value)
        *value = v;
    return ok && !text.trimmed().isEmpty();
}

bool ToolTipsOn()
{
    MainWindowService *main = MainWindow();
    return main && main->toolTipsOn();
}

} // namespace

frmDelay::frmDelay(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmDelay"));
    setWindowTitle(QStringLiteral("Delay Time"));
    setModal(true);
    // Closing the dialog while the console sits in the tray must not end
    // the program; the program ends only through its exit.
    setAttribute(Qt::WA_QuitOnClose, false);

    lblDesc = new QLabel(QStringLiteral("Enter Delay Time "), this);
    lblDesc->setObjectName(QStringLiteral("lblDesc"));
    lbl1 = new QLabel(QStringLiteral("Min.  Sec."), this);
    lbl1->setObjectName(QStringLiteral("lbl1"));
    lbl1->setAlignment(Qt::AlignCenter);
    txtMin = new QLineEdit(this);
    txtMin->setObjectName(QStringLiteral("txtMin"));
    txtSec = new QLineEdit(this);
    txtSec->setObjectName(QStringLiteral("txtSec"));
    for (QLineEdit *box : {txtMin, txtSec}) {
        box->setMaxLength(3);
        box->setAlignment(Qt::AlignCenter);
        box->setFixedWidth(48);
        box->installEventFilter(this);
    }
    cmdContinue = new QPushButton(QStringLiteral("Continue"), this);
    cmdContinue->setObjectName(QStringLiteral("cmdContinue"));
    cmdContinue->setDefault(true);
    cmdContinue->setAutoDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setAutoDefault(false);
    cmdContinue->installEventFilter(this);
    cmdCancel->installEventFilter(this);
    lbl2 = new QLabel(QStringLiteral("Press Esc to Cancel, Enter to continue."), this);
    lbl2->setObjectName(QStringLiteral("lbl2"));

    auto *grid = new QGridLayout;
    grid->addWidget(lblDesc, 1, 0);
    grid->addWidget(lbl1, 0, 1, 1, 2);
    grid->addWidget(txtMin, 1, 1);
    grid->addWidget(txtSec, 1, 2);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(cmdContinue);
    buttons->addWidget(cmdCancel);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    layout->addWidget(lbl2);
    setTabOrder(txtMin, txtSec);
    setTabOrder(txtSec, cmdContinue);
    setTabOrder(cmdContinue, cmdCancel);

    // Captions of buttons and labels go through the language file; the
    // window's own caption stays as it is.
    for (QLabel *label : {lblDesc, lbl1, lbl2})
        label->setText(LangCap(label->text()));
    for (QPushButton *button : {cmdContinue, cmdCancel})
        button->setText(LangCap(button->text()));

    connect(txtMin, &QLineEdit::textChanged, this, [this] { CalcDelay(); });
    connect(txtSec, &QLineEdit::textChanged, this, [this] { CalcDelay(); });
    connect(cmdContinue, &QPushButton::clicked, this, [this] { cmdContinue_Click(); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
}

void frmDelay::invalidNumber()
{
    Info(LangCap(QStringLiteral("You must enter a valid number")), false, false, {}, {}, true);
}

void frmDelay::CalcDelay()
{
    if (m_inCalc)
        return;
    m_inCalc = true;

    int minPart = m_minPart;
    double minutes = 0;
    const QString minText = txtMin->text().trimmed();
    bool overflow = false;
    if (minText.isEmpty())
        minPart = 0; // an empty box is no minutes, also when Enter comes straight from it
    else if (IsNumeric(minText, &minutes) && !RoundToInt(minutes * 60.0, &minPart))
        overflow = true;

    int secPart = 0;
    const QString secText = txtSec->text().trimmed();
    bool secBad = false;
    if (!secText.isEmpty()) {
        double seconds = 0;
        if (!IsNumeric(secText, &seconds))
            secBad = true;
        else if (!RoundToInt(seconds, &secPart))
            overflow = true;
    }

    const qint64 sum = qint64(minPart) + qint64(secPart);
    if (sum > std::numeric_limits<int>::max())
        overflow = true;

    if (secBad || overflow) {
        invalidNumber();
        m_inCalc = false;
        if (secBad) {
            // Emptying the box recomputes the total with no seconds.
            txtSec->clear();
            txtSec->setFocus();
        }
        return; // the parts, the total and DelayTime keep their values
    }

    m_minPart = minPart;
    m_secPart = secPart;
    m_total = int(sum);
    DelayTime = QString::number(m_total);
    m_inCalc = false;
}

void frmDelay::txtMin_LostFocus()
{
    const QString text = txtMin->text().trimmed();
    if (text.isEmpty()) {
        m_minPart = 0;
        return;
    }
    if (IsNumeric(text, nullptr)) {
        CalcDelay();
        return;
    }
    invalidNumber();
    txtMin->clear();
    txtMin->setFocus();
}

void frmDelay::cmdContinue_Click()
{
    CalcDelay();
    CurrentWaitClock().processEvents();
    DelayTime = QString::number(m_total);
    if (SoundsOn && m_total < 1)
        PlayWav(ClickSound);
    QDialog::accept();
}

void frmDelay::cmdCancel_Click()
{
    if (SoundsOn)
        PlayWav(ClickSound);
    QDialog::reject();
    DelayTime.clear();
    MainWindowService *main = MainWindow();
    if (MainView && main && main->widget()) {
        if (QWidget *focus = main->widget()->findChild<QWidget *>(QStringLiteral("Focus")))
            focus->setFocus();
    }
}

void frmDelay::reject()
{
    cmdCancel_Click();
}

bool frmDelay::keyAllowed(QLineEdit *box, QKeyEvent *key) const
{
    const QChar c = TypedCharacter(key);
    if (c.isNull())
        return true; // Enter, Esc, Tab, Backspace, cursor keys and shortcuts are no typing
    if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
        return true;
    if (box == txtSec && c == QLatin1Char('.'))
        return !box->text().contains(QLatin1Char('.')) && !box->text().contains(QLatin1Char(','));
    return false;
}

bool frmDelay::eventFilter(QObject *watched, QEvent *event)
{
    auto *box = qobject_cast<QLineEdit *>(watched);
    if (box && (box == txtMin || box == txtSec)) {
        switch (event->type()) {
        case QEvent::KeyPress:
            if (!keyAllowed(box, static_cast<QKeyEvent *>(event)))
                return true;
            break;
        case QEvent::FocusIn:
            // Later than the click that gave the focus, which would undo it.
            QTimer::singleShot(0, box, [] { SelectAll(); });
            break;
        case QEvent::FocusOut:
            if (isVisible()) {
                if (box == txtMin)
                    txtMin_LostFocus();
                else
                    CalcDelay();
            }
            break;
        default:
            break;
        }
    } else if ((watched == cmdContinue || watched == cmdCancel) &&
               (event->type() == QEvent::Enter || event->type() == QEvent::ToolTip)) {
        auto *button = static_cast<QPushButton *>(watched);
        if (!ToolTipsOn())
            button->setToolTip(QString());
        else if (button == cmdContinue)
            button->setToolTip(LangTip(QStringLiteral("Click Enter to Continue")));
        else
            button->setToolTip(LangTip(QStringLiteral("Click or Press Esc to Cancel")));
    }
    return QDialog::eventFilter(watched, event);
}

frmDelay &DelayDialog()
{
    static frmDelay *dialog = nullptr;
    if (!dialog)
        dialog = new frmDelay;
    return *dialog;
}

QString ShowDelayDialog(QWidget *owner)
{
    frmDelay &dialog = DelayDialog();
    if (owner) {
        // The size comes from the layout only once it is computed; centring
        // on the default size of a never-shown dialog puts it far up-left.
        dialog.adjustSize();
        // move() places the window frame, known once the dialog was shown.
        const QSize outer = dialog.frameGeometry().size().expandedTo(dialog.size());
        QRect frame(owner->geometry().center() - QPoint(outer.width() / 2, outer.height() / 2),
                    outer);
        if (const QScreen *screen = owner->screen()) {
            const QRect area = screen->availableGeometry();
            frame.moveRight(std::min(frame.right(), area.right()));
            frame.moveBottom(std::min(frame.bottom(), area.bottom()));
            frame.moveLeft(std::max(frame.left(), area.left()));
            frame.moveTop(std::max(frame.top(), area.top()));
        }
        dialog.move(frame.topLeft());
    }
    dialog.txtMin->setFocus();
    dialog.exec();
    return dialog.delayTime();
}

} // namespace qelt
