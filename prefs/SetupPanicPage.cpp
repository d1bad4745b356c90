#include "prefs/SetupPanicPage.h"

#include "core/Dialogs.h"
#include "core/Mailbox.h"
#include "core/Sounds.h"
#include "core/services/ConsoleServices.h"
#include "logic/DataFile.h"
#include "logic/Globals.h"
#include "logic/Lang.h"
#include "prefs/SetupPageHost.h"
#include "prefs/SetupPageParts.h"
#include "prefs/SetupRules.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTimer>

namespace qelt {

SetupPanicPage::SetupPanicPage(SetupPageHost &host, QWidget *parent) : QWidget(parent), m_host(host)
{
    QWidget *page = this;
    lblPanicInfo = new QLabel(
        QStringLiteral("The \"Quick\" button lets you click one button to turn on a \"Group\"  "
                       "The \"Group\" will then turn off after the time you set below."),
        page);
    lblPanicInfo->setObjectName(QStringLiteral("Label3"));
    lblPanicInfo->setWordWrap(true);
    lblPanicInfo->setGeometry(12, 8, 456, 40);

    auto box = [page](const char *name, const char *text, int x, int y, int w, int max) {
        auto *e = new QLineEdit(QLatin1String(text), page);
        e->setObjectName(QLatin1String(name));
        e->setGeometry(x, y, w, 22);
        e->setMaxLength(max);
        return e;
    };
    PageLabel(page, "Label4", "Button caption:", 12, 58, 150);
    txtBcaption = box("txtBcaption", "", 170, 58, 120, 10);
    PageLabel(page, "Label5", "Turn off after (min : sec):", 12, 88, 150);
    txtMin = box("txtMin", "00", 170, 88, 32, 2);
    PageLabel(page, "Label6", ":", 206, 88, 8);
    txtSec = box("txtSec", "30", 216, 88, 32, 2);
    PageLabel(page, "Label8", "Group to start (1 to 8):", 12, 118, 150);
    txtGroupNum = box("txtGroupNum", "6", 170, 118, 24, 1);
    // A row of its own under the page's controls, wrapped, so the warning
    // is read whole in any language.
    lblMsg =
        PageLabel(page, "lblMsg", "Number for Group must be a number from 1 to 8", 12, 244, 456);
    lblMsg->setWordWrap(true);
    lblMsg->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblMsg->resize(456, 60);
    lblMsg->setStyleSheet(QStringLiteral("color: red;"));
    lblMsg->hide();

    PageLabel(page, "Label13", "Button colour:", 12, 150, 150);
    for (int i = 0; i < 7; ++i) {
        Option1[i] = new QRadioButton(i == 0 ? QStringLiteral("Default") : QString(), page);
        Option1[i]->setObjectName(QStringLiteral("Option1_%1").arg(i));
        Option1[i]->setGeometry(i == 0 ? 12 : 60 + i * 40, 174, i == 0 ? 80 : 34, 22);
        Option1[i]->setAutoFillBackground(true);
        Option1[i]->setStyleSheet(ColourSheet("QRadioButton", PanicOptionColour(i)));
    }
    Label7 = new QLabel(page);
    Label7->setObjectName(QStringLiteral("Label7"));
    Label7->setGeometry(370, 150, 90, 46);
    Label7->setFrameShape(QFrame::Box);
    Label7->setStyleSheet(ColourSheet("QLabel", PanicOptionColour(0)));

    Check1 = new QCheckBox(QStringLiteral("Show button on main window."), page);
    Check1->setObjectName(QStringLiteral("Check1"));
    Check1->setGeometry(12, 214, 400, 22);

    m_digitsOnly = DigitsOnlyValidator(this);
    connectHandlers();
}

void SetupPanicPage::connectHandlers()
{
    for (QLineEdit *e : {txtBcaption, txtMin, txtSec})
        connect(e, &QLineEdit::textChanged, this, [this] { PanicChanged = true; });
    connect(txtGroupNum, &QLineEdit::textChanged, this, [this] { txtGroupNum_Change(); });
    for (int i = 0; i < 7; ++i) {
        connect(Option1[i], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on)
                Option1_Click(i);
        });
    }
    connect(Check1, &QCheckBox::toggled, this, [this] { Check1_Click(); });
    for (QWidget *w : std::initializer_list<QWidget *>{txtBcaption, txtGroupNum, txtSec, txtMin})
        w->installEventFilter(this);
}

void SetupPanicPage::resetPage()
{
    {
        const QSignalBlocker block(Check1);
        Check1->setChecked(false);
    }
    for (QRadioButton *r : Option1)
        r->setAutoExclusive(false);
    for (QRadioButton *r : Option1) {
        const QSignalBlocker block(r);
        r->setChecked(false);
    }
    for (QRadioButton *r : Option1)
        r->setAutoExclusive(true);
    lblMsg->hide();
    PanicChanged = false;
    PanicColorIndex = 0;
}

void SetupPanicPage::fillPanicPage()
{
    const auto text = [this](const char *name) {
        Mailbox *box = m_host.mainBox(name);
        return box ? box->text() : QString();
    };
    txtGroupNum->setText(text("txtGroupNum"));
    txtBcaption->setText(text("txtPanicNm"));
    txtMin->setText(text("txtPanicMin"));
    txtSec->setText(text("txtPanicSec"));
    bool ok = false;
    const int colour = text("txtPanicBcolor").trimmed().toInt(&ok);
    if (ok)
        PanicColorIndex = colour;
    Option1[PanicColorIndex >= 1 && PanicColorIndex <= 6 ? PanicColorIndex : 0]->setChecked(true);
    if (txtGroupNum->text().isEmpty())
        txtGroupNum->setText(QStringLiteral("8"));
    for (QLineEdit *e : {txtGroupNum, txtMin, txtSec})
        e->setValidator(m_digitsOnly);
    // What the boxes were loaded with is no edit. Check1 follows the general
    // page's panic switch when that is loaded.
    PanicChanged = false;
}

void SetupPanicPage::Option1_Click(int index)
{
    if (m_host.clickSoundsOn())
        PlayWav(ClickSound);
    if (index != PanicColorIndex)
        PanicChanged = true;
    PanicColorIndex = index;
    Label7->setStyleSheet(ColourSheet("QLabel", PanicOptionColour(index)));
}

void SetupPanicPage::Check1_Click()
{
    const bool on = Check1->isChecked();
    emit panicButtonSwitched(on);
    SetMainBox(m_host, "chbPanicOn", Bit(on));
    SaveSetupSetting(QStringLiteral("PanicButton"), Bit(on));
}

void SetupPanicPage::txtGroupNum_Change()
{
    if (!GroupNumValid(txtGroupNum->text())) {
        if (window()->isVisible())
            Info(LangCap(QStringLiteral("Group Number must be a number from 1 to 8")), true, false,
                 QApplication::applicationName(), QStringLiteral("OK"), true);
        txtGroupNum->clear();
        txtGroupNum->setFocus();
    }
    PanicChanged = true;
}

void SetupPanicPage::applyPanicPage()
{
    if (txtGroupNum->text().isEmpty())
        txtGroupNum->setFocus();
    SetMainBox(m_host, "txtGroupNum", txtGroupNum->text());
    if (txtBcaption->text().isEmpty())
        txtBcaption->setText(LangCap(QStringLiteral("Pa&nic")));
    SetMainBox(m_host, "txtPanicNm", txtBcaption->text());
    if (MainWindowService *mw = MainWindow())
        mw->setMnuPanicRunText(txtBcaption->text() + QLatin1Char(' ') +
                               LangCap(QStringLiteral("(Run)")));
    if (txtMin->text().isEmpty())
        txtMin->setText(QStringLiteral("00"));
    SetMainBox(m_host, "txtPanicMin", txtMin->text());
    SetMainBox(m_host, "txtPanicSec", txtSec->text());
    SetMainBox(m_host, "txtPanicBcolor", QString::number(PanicColorIndex));
    PutRec(274, txtBcaption->text());
    if (PanicChanged) {
        PutRec(279, QString::number(PanicColorIndex));
        if (txtMin->text().isEmpty() || txtMin->text() == QLatin1String("0"))
            txtMin->setText(QStringLiteral("00"));
        PutRec(280, txtMin->text() + QLatin1Char(',') + txtSec->text());
        PutRec(281, txtGroupNum->text());
    }
    PanicChanged = false;
}

QString SetupPanicPage::tipFor(QObject *control) const
{
    if (control == txtBcaption)
        return QStringLiteral("Enter the name you want to appear on the button. Put the '&' "
                              "symbol before a character to create a hot key.");
    if (control == txtGroupNum)
        return QStringLiteral(
            "Enter Group number (1 to 8) to start when the 'quick' button is clicked");
    if (control == txtSec)
        return QStringLiteral("Enter zero (0) for NO Off");
    return {};
}

bool SetupPanicPage::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::Enter:
        if (const QString tip = tipFor(watched); !tip.isEmpty())
            ShowTip(static_cast<QWidget *>(watched), tip, m_host.tipsOn());
        break;
    case QEvent::KeyPress:
        if (watched == txtGroupNum) {
            if (const int code = KeyCode(static_cast<QKeyEvent *>(event)); code >= 0) {
                const bool accepted = GroupKeyAccepted(code);
                lblMsg->setVisible(!accepted);
                if (!accepted)
                    return true;
            }
        }
        break;
    case QEvent::FocusIn: {
        auto *box = static_cast<QLineEdit *>(watched);
        QTimer::singleShot(0, box, [box] { box->selectAll(); });
        break;
    }
    case QEvent::FocusOut:
        if (watched == txtGroupNum)
            lblMsg->hide();
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace qelt
