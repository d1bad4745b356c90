#include "macros/frmProgress.h"

#include "core/WindowHelpers.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

namespace qelt {

namespace {
frmPbar *g_pbar = nullptr;
} // namespace

frmPbar *PbarWindow()
{
    if (!g_pbar)
        g_pbar = new frmPbar;
    return g_pbar;
}

frmPbar::frmPbar(QWidget *parent) : QWidget(parent, Qt::Dialog)
{
    setObjectName(QStringLiteral("frmPbar"));
    setWindowTitle(QStringLiteral("Orvendale"));
    Label = new QLabel(this);
    Label->setObjectName(QStringLiteral("Label"));
    Label->setAlignment(Qt::AlignCenter);
    Label->setWordWrap(true);
    // A long path is cut in the middle, keeping the file name, rather than
    // widening the window.
    lblFlName = new StatusLabel(this, Qt::ElideMiddle);
    lblFlName->setObjectName(QStringLiteral("lblFlName"));
    lblFlName->setAlignment(Qt::AlignCenter);
    PBar = new QProgressBar(this);
    PBar->setObjectName(QStringLiteral("PBar"));
    PBar->setTextVisible(false);
    PBar->setRange(0, 1000);
    cmdOK = new QPushButton(QStringLiteral("Ok"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    // Offered only by a step that asks for it; the space stays reserved so
    // the window does not jump.
    auto policy = cmdOK->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    cmdOK->setSizePolicy(policy);
    cmdOK->hide();
    tmrClose = new QTimer(this);
    tmrClose->setObjectName(QStringLiteral("tmrClose"));
    tmrClose->setSingleShot(true);
    tmrClose->setInterval(1700);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdOK);
    buttons->addStretch(1);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Label, 1);
    layout->addWidget(lblFlName);
    layout->addWidget(PBar);
    layout->addLayout(buttons);
    setFixedSize(320, 170);

    connect(cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
    connect(tmrClose, &QTimer::timeout, this, [this] { tmrClose_Timer(); });
}

void frmPbar::Form_Load()
{
    m_loaded = true;
    // The window's corner sits 2400 twips left of and above the screen's
    // centre.
    const QRect screen = QGuiApplication::primaryScreen()
                             ? QGuiApplication::primaryScreen()->geometry()
                             : QRect(0, 0, 1024, 768);
    const int left = (screen.width() * kTwipsPerPixel) / 2 - 2400;
    const int top = (screen.height() * kTwipsPerPixel) / 2 - 2400;
    move(screen.left() + std::max(0, left / kTwipsPerPixel),
         screen.top() + std::max(0, top / kTwipsPerPixel));
    Label->clear();
    lblFlName->clear();
    cmdOK->hide();
    tmrClose->stop();
    tmrClose->setInterval(1700);
    m_max = 100;
    m_min = 0;
    m_value = 0;
    showBar();
    PutOnTop(this);
}

void frmPbar::showProgress()
{
    if (!m_loaded)
        Form_Load();
    show();
    raise();
}

void frmPbar::unload()
{
    tmrClose->stop();
    m_loaded = false;
    hide();
}

void frmPbar::showBar()
{
    const double span = double(m_max) - double(m_min);
    const double part = span > 0 ? (double(m_value) - double(m_min)) / span : 1.0;
    PBar->setValue(int(std::clamp(part, 0.0, 1.0) * 1000));
}

// The bar keeps Min <= Value <= Max; a setting that would break that is
// ignored, as the bar control refused it.
void frmPbar::setMax(long value)
{
    if (value < m_min)
        return;
    m_max = value;
    m_value = std::min(m_value, m_max);
    showBar();
}

void frmPbar::setMin(long value)
{
    if (value > m_max)
        return;
    m_min = value;
    m_value = std::max(m_value, m_min);
    showBar();
}

void frmPbar::setValue(long value)
{
    if (value < m_min || value > m_max)
        return;
    m_value = value;
    showBar();
}

void frmPbar::iProgBar(long iPBarMax, long iPBarMin, const QString &sMainLabel)
{
    // Min first when it rises above the old Max would be refused: widen in
    // the order that keeps the range valid.
    if (iPBarMin > m_max) {
        setMax(iPBarMax);
        setMin(iPBarMin);
    } else {
        setMin(iPBarMin);
        setMax(iPBarMax);
    }
    m_value = std::clamp(m_value, m_min, m_max);
    showBar();
    Label->setText(sMainLabel);
    if (iPBarMax == 0 && iPBarMin == 0)
        tmrClose->setInterval(1500);
}

bool frmPbar::incProgBar(long iVal, const QString &iFlName, bool bShowClose, long iSelfCloseTime)
{
    lblFlName->setText(iFlName);
    setValue(iVal);
    if (m_max <= m_value) {
        lblFlName->clear();
        if (bShowClose)
            cmdOK->show();
        if (iSelfCloseTime < 1) {
            tmrClose->setInterval(2000);
        } else {
            tmrClose->setInterval(int(std::min<long>(iSelfCloseTime, 24L * 3600 * 1000)));
            tmrClose->start();
        }
    }
    return false;
}

void frmPbar::closeEvent(QCloseEvent *event)
{
    // The close box unloads the window like OK, so it never stays stuck on
    // top when OK is not offered.
    event->accept();
    unload();
}

void frmPbar::cmdOK_Click()
{
    unload();
}

void frmPbar::tmrClose_Timer()
{
    tmrClose->stop();
    unload();
}

} // namespace qelt
