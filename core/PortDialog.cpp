#include "core/PortDialog.h"

#include "core/Dialogs.h"
#include "core/WindowHelpers.h"
#include "core/services/ConsoleServices.h"
#include "logic/DataFile.h"
#include "logic/Lang.h"
#include "logic/SerialLink.h"
#include "logic/Transmitter.h"

#include <QCloseEvent>
#include <QEvent>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>

namespace qelt {

namespace {

constexpr const char *kLineSettings = "9600,N,8,1";

// Guarded: the dialog goes with its owner window when that is destroyed.
QPointer<frmSetup> g_setup;

// The port text the serial link is given: a number without blanks or
// leading zeros, or a device path as typed.
QString portText(const QString &text)
{
    const QString t = text.trimmed();
    bool ok = false;
    const int n = t.toInt(&ok);
    return ok ? QString::number(n) : t;
}

bool isPortEntry(const QString &text)
{
    return !PortDeviceName(text).isEmpty();
}

} // namespace

frmSetup::frmSetup(QWidget *parent) : QDialog(parent)
{
    setObjectName("frmSetup");
    setWindowTitle("  Port Setup");
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setModal(false);
    // Closing this window never ends the program, even while the main
    // window is hidden in the tray.
    setAttribute(Qt::WA_QuitOnClose, false);

    lblTitle = new QLabel("Select Communication Port", this);
    lblTitle->setObjectName("lblTitle");
    QFont bold = lblTitle->font();
    bold.setBold(true);
    lblTitle->setFont(bold);

    const char *captions[] = {"Other (enter number)", "Com 1", "Com 2", "Com 3", "Com 4"};
    for (int i = 0; i < 5; ++i) {
        optComm[i] = new QRadioButton(captions[i], this);
        optComm[i]->setObjectName(QStringLiteral("optComm%1").arg(i));
        connect(optComm[i], &QRadioButton::clicked, this, [this, i] { optComm_Click(i); });
    }
    txtCom = new QLineEdit(this);
    txtCom->setObjectName("txtCom");
    txtCom->setEnabled(false);
    txtCom->setMaximumWidth(140);

    // A port named by a long device path is cut in the middle rather than
    // widening the dialog; the dialog's own texts fit.
    lblCommNow = new StatusLabel(this, Qt::ElideMiddle);
    lblCommNow->setText("Current port");
    lblCommNow->setObjectName("lblCommNow");
    lblCommNow->setFrameShape(QFrame::Panel);
    lblCommNow->setFrameShadow(QFrame::Sunken);
    lblCommNow->setMinimumWidth(lblCommNow->fontMetrics().horizontalAdvance(
                                    QStringLiteral("Com Port is not currently set")) +
                                2 * lblCommNow->frameWidth() + 8);

    cmdOK = new QPushButton("&OK", this);
    cmdOK->setObjectName("cmdOK");
    cmdCancel = new QPushButton("&Cancel", this);
    cmdCancel->setObjectName("cmdCancel");
    cmdApply = new QPushButton("&Apply", this);
    cmdApply->setObjectName("cmdApply");
    for (QPushButton *b : {cmdOK, cmdCancel, cmdApply})
        b->setAutoDefault(false);
    connect(cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
    connect(cmdApply, &QPushButton::clicked, this, [this] { cmdApply_Click(); });

    for (QWidget *w : {static_cast<QWidget *>(cmdApply), static_cast<QWidget *>(cmdOK),
                       static_cast<QWidget *>(cmdCancel), static_cast<QWidget *>(lblCommNow)})
        w->installEventFilter(this);

    auto *ports = new QGridLayout;
    for (int i = 1; i <= 4; ++i)
        ports->addWidget(optComm[i], (i - 1) % 2, (i - 1) / 2);
    auto *other = new QHBoxLayout;
    other->addWidget(optComm[0]);
    other->addWidget(txtCom);
    other->addStretch();
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    buttons->addWidget(cmdApply);
    auto *main = new QVBoxLayout(this);
    main->addWidget(lblTitle);
    main->addLayout(ports);
    main->addLayout(other);
    main->addWidget(lblCommNow);
    main->addLayout(buttons);
    main->setSizeConstraint(QLayout::SetFixedSize);

    txtComm.setHandler([this](const QString &text) {
        lblCommNow->setText(text.isEmpty() ? QStringLiteral("Com Port is not currently set")
                                           : "Currently set to Com Port " + text);
    });
    txtComm.setText("port");
    txtChanger.setHandler([this](const QString &) { cmdApply->setEnabled(true); });
}

int frmSetup::selectedOption() const
{
    for (int i = 0; i < 5; ++i)
        if (optComm[i]->isChecked())
            return i;
    return -1;
}

void frmSetup::Form_Load()
{
    m_loaded = true;
    txtCom->clear(); // a reload starts from the stored choice, not the last typing
    QString number = GetRec(kPortRecord);
    if (number.isEmpty() && CommLink())
        number = CommLink()->commPort();

    // A port without an option of its own (above 4, or a device path) is
    // shown as "Other" with the port in the number box.
    bool isNumber = false;
    const int n = number.trimmed().toInt(&isNumber);
    const int index = isNumber && n >= 1 && n <= 4 ? n : 0;
    if (index == 0 && !number.trimmed().isEmpty())
        txtCom->setText(number.trimmed());
    optComm[index]->setChecked(true);
    optComm_Click(index);

    txtChanger.setText(QString::number(index));
    txtComm.setText(number);
    if (number.isEmpty() || number == " ")
        lblCommNow->setText("Com port is not set!");
    cmdApply->setEnabled(false);

    cmdOK->setText(LangCap("&OK"));
    cmdCancel->setText(LangCap("&Cancel"));
    cmdApply->setText(LangCap("&Apply"));
    optComm[0]->setText(LangCap("Other (enter number)"));
}

void frmSetup::optComm_Click(int index)
{
    if (index == 0) {
        txtCom->setEnabled(true);
        if (isVisible())
            txtCom->setFocus();
    } else {
        txtCom->setEnabled(false);
    }
    txtChanger.setText(QString::number(index));
}

void frmSetup::showPortError()
{
    Info("\r\nUnable to initialize Com " + txtComm.text() +
             ".  It may\rbe in use by another application.",
         true, false, "Orvendale", "OK", true);
}

bool frmSetup::cmdApply_Click()
{
    for (int i = 1; i <= 4; ++i)
        if (optComm[i]->isChecked())
            txtComm.setText(QString::number(i));
    if (optComm[0]->isChecked()) {
        if (txtCom->text().isEmpty())
            txtCom->setText(txtComm.text());
        txtComm.setText(txtCom->text());
    }

    // An entry that names no port is refused before the working port is
    // touched, so a typing slip never leaves the console without its port.
    SerialLink *link = CommLink();
    if (!link || !isPortEntry(txtComm.text())) {
        showPortError();
        return false;
    }

    const QString previousPort = link->commPort();
    const QString previousSettings = link->settings();
    const bool wasOpen = link->portOpen();
    bool opened = !wasOpen || link->setPortOpen(false) == PortError::None;
    if (opened) {
        link->setCommPort(portText(txtComm.text()));
        link->setSettings(kLineSettings);
        opened = link->setPortOpen(true) == PortError::None;
    }
    if (!opened) {
        // Back to the port that worked, so the console can still send.
        if (wasOpen) {
            link->setPortOpen(false);
            link->setCommPort(previousPort);
            link->setSettings(previousSettings);
            link->setPortOpen(true);
        }
        showPortError();
        return false;
    }

    cmdApply->setEnabled(false);
    PutRec(kPortRecord, txtComm.text());
    return true;
}

void frmSetup::cmdOK_Click()
{
    cmdApply_Click();
    // A valid port is kept even when it is busy now (the transmitter may be
    // plugged in later); an entry that names no port is never stored.
    if (isPortEntry(txtComm.text()))
        PutRec(kPortRecord, txtComm.text());
    Unload();
}

void frmSetup::cmdCancel_Click()
{
    Unload();
}

void frmSetup::Unload()
{
    hide();
    m_loaded = false;
    if (MainWindowService *main = MainWindow()) {
        if (QWidget *w = main->widget(); w && w->isVisible()) {
            w->activateWindow();
            w->setFocus();
        }
    }
}

void frmSetup::reject()
{
    Unload();
}

void frmSetup::keyPressEvent(QKeyEvent *event)
{
    // Enter presses the button that has the focus. No button is the
    // dialog's default, so Enter elsewhere (in the number box) presses none.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        auto *button = qobject_cast<QPushButton *>(focusWidget());
        if (button && button->isEnabled() && button->isVisible()) {
            event->accept();
            button->click();
            return;
        }
    }
    QDialog::keyPressEvent(event);
}

void frmSetup::closeEvent(QCloseEvent *event)
{
    event->accept();
    Unload();
}

void frmSetup::setTip(QWidget *w, const QString &tip)
{
    MainWindowService *main = MainWindow();
    w->setToolTip(main && main->toolTipsOn() ? tip : QString());
}

bool frmSetup::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Enter) {
        if (watched == cmdApply)
            setTip(cmdApply, LangTip("Save changes without closing window (use to test com port)"));
        else if (watched == cmdOK)
            setTip(cmdOK, LangTip("Save changes and close window"));
        else if (watched == cmdCancel)
            setTip(cmdCancel, cmdApply->isEnabled() ? LangTip("Quit without saving")
                                                    : " " + LangCap("Close") + " ");
        else if (watched == lblCommNow)
            setTip(lblCommNow, LangTip("Test com port by clicking buttons on main window"));
    }
    return QDialog::eventFilter(watched, event);
}

frmSetup &PortSetup()
{
    if (!g_setup)
        g_setup = new frmSetup;
    if (!g_setup->isLoaded())
        g_setup->Form_Load();
    return *g_setup;
}

frmSetup *PortSetupIfLoaded()
{
    return g_setup && g_setup->isLoaded() ? g_setup : nullptr;
}

void ShowPortDialog(QWidget *owner)
{
    frmSetup &dlg = PortSetup();
    if (owner && dlg.parentWidget() != owner)
        dlg.setParent(owner, dlg.windowFlags());
    if (!dlg.isVisible()) {
        dlg.adjustSize();
        const QScreen *screen =
            owner && owner->isVisible() ? owner->screen() : QGuiApplication::primaryScreen();
        const QRect desk = screen ? screen->availableGeometry() : QRect();
        const QSize size = dlg.frameGeometry().size().expandedTo(dlg.size());
        QRect place;
        if (owner && owner->isVisible()) {
            // Beside the main window where the screen has room, so that its
            // command buttons stay free for trying the port out.
            const QRect main = owner->frameGeometry();
            constexpr int kGap = 8;
            const QRect right(QPoint(main.right() + 1 + kGap, main.top()), size);
            const QRect left(QPoint(main.left() - kGap - size.width(), main.top()), size);
            if (desk.isValid() && desk.contains(right))
                place = right;
            else if (desk.isValid() && desk.contains(left))
                place = left;
            else
                place = QRect(main.center() - QPoint(size.width() / 2, size.height() / 2), size);
        } else if (desk.isValid()) {
            place = QRect(desk.center() - QPoint(size.width() / 2, size.height() / 2), size);
        }
        if (place.isValid()) {
            if (desk.isValid()) {
                place.moveRight(std::min(place.right(), desk.right()));
                place.moveBottom(std::min(place.bottom(), desk.bottom()));
                place.moveLeft(std::max(place.left(), desk.left()));
                place.moveTop(std::max(place.top(), desk.top()));
            }
            dlg.move(place.topLeft());
        }
    }
    dlg.show();
    dlg.raise();
    dlg.activateWindow();
}

void UnloadPortDialog()
{
    if (g_setup && g_setup->isLoaded())
        g_setup->Unload();
}

} // namespace qelt
