#include "core/Splash.h"

#include "core/FileActions.h"
#include "core/Tray.h"
#include "core/WindowHelpers.h"
#include "core/services/ConsoleServices.h"
#include "logic/ErrorLog.h"
#include "logic/FileHelpers.h"
#include "logic/Globals.h"
#include "logic/Lang.h"
#include "logic/ProgramFolder.h"
#include "logic/Settings.h"
#include "logic/Transmitter.h"

#include "Version.h"

#include <QEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

namespace qelt {

namespace {

constexpr int twips(int t)
{
    return t / kTwipsPerPixel;
}
constexpr int kWidthTwips = 5685;
constexpr int kHeightTwips = 3240;

// A stored Boolean as the settings hold it: "True"/"False", or a number
// (non-zero is true).
bool settingBool(const QString &text)
{
    const QString t = text.trimmed();
    bool isNumber = false;
    const double n = t.toDouble(&isNumber);
    if (isNumber)
        return n != 0;
    return t.compare("True", Qt::CaseInsensitive) == 0;
}

// The picture that opens the licence agreement: a lit lamp on a page.
QPixmap licencePicture()
{
    QPixmap pm(56, 64);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::darkGray, 1));
    p.setBrush(Qt::white);
    p.drawRect(2, 2, 50, 60);
    p.setPen(QPen(QColor(0x90, 0x90, 0x90), 1));
    for (int y = 40; y < 58; y += 5)
        p.drawLine(8, y, 46, y);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xFF, 0xD7, 0x40));
    p.drawEllipse(QPoint(27, 18), 11, 11);
    p.setBrush(QColor(0x70, 0x70, 0x70));
    p.drawRect(22, 28, 10, 6);
    return pm;
}

frmSplash *g_splash = nullptr;

} // namespace

frmSplash::frmSplash(QWidget *parent) : QWidget(parent, Qt::Dialog)
{
    setObjectName("frmSplash");
    setWindowTitle("     ");
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    // Closing this window never ends the program, even while the main
    // window is hidden in the tray.
    setAttribute(Qt::WA_QuitOnClose, false);

    // The overlay first, so every other control lies above it.
    Label3 = new QLabel(this);
    Label3->setObjectName("Label3");

    auto label = [this](const char *name, const QString &text) {
        auto *l = new QLabel(text, this);
        l->setObjectName(name);
        l->setTextFormat(Qt::PlainText);
        l->installEventFilter(this);
        return l;
    };
    Image1 = label("Image1", {});
    Image1->setPixmap(licencePicture());
    Image1->setCursor(Qt::PointingHandCursor);
    lblProductName = label("lblProductName", "Orvendale ");
    QFont big = lblProductName->font();
    big.setPointSize(18);
    big.setBold(true);
    lblProductName->setFont(big);
    lblPlatform = label("lblPlatform", "For Windows (R) 95 and Up");
    lblVersion = label("lblVersion", "Version");
    lblFileDescription = label("lblFileDescription", {});
    lblCompany = label("lblCompany", {});
    lblCopyright = label("lblCopyright", {});
    lblWeb = label("lblWeb", "Click for Web Site");
    lblWeb->setCursor(Qt::PointingHandCursor);
    lblWeb->setStyleSheet("color: #0000C0");
    Label3->installEventFilter(this);

    Progress1 = new QProgressBar(this);
    Progress1->setObjectName("Progress1");
    Progress1->setTextVisible(false);
    Command2 = new QPushButton(this);
    Command2->setObjectName("Command2");
    connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });

    Image1->setGeometry(16, 14, 56, 64);
    lblProductName->setGeometry(90, 10, 270, 32);
    lblPlatform->setGeometry(90, 44, 270, 18);
    lblVersion->setGeometry(90, 62, 270, 18);
    lblFileDescription->setGeometry(16, 92, 347, 18);
    lblCompany->setGeometry(16, 112, 347, 18);
    lblCopyright->setGeometry(16, 132, 347, 18);
    lblWeb->setGeometry(16, 160, 250, 20);
    Progress1->setGeometry(16, 190, 347, 12);
    // Below the visible area: reached only from the keyboard.
    Command2->setGeometry(16, twips(kHeightTwips) + 40, 80, 24);

    tmr1 = new QTimer(this);
    tmr1->setObjectName("tmr1");
    tmr1->setInterval(750);
    tmr1->setSingleShot(false);
    connect(tmr1, &QTimer::timeout, this, [this] { tmr1_Timer(); });
}

void frmSplash::Form_Initialize()
{
    MinOnStart = settingBool(GetSet("Settings", "MinOnStart", "False"));
}

void frmSplash::Form_Load()
{
    m_loaded = true;
    tmr1->start();

    const QString web = LangCap("Click for Web Site");
    lblWeb->setText(web);
    QFont f = font();
    f.setPointSizeF(9.75);
    f.setBold(true);
    f.setUnderline(true);
    if (web.size() >= 21) {
        // A long translation is set smaller and not bold, so it fits its line.
        f.setPointSizeF(8);
        f.setBold(false);
    }
    lblWeb->setFont(f);

    setFixedSize(twips(kWidthTwips), twips(kHeightTwips));
    Label3->setGeometry(0, 0, width(), height());
    Label3->lower();
    if (!isVisible())
        if (const QScreen *screen = QGuiApplication::primaryScreen())
            move(screen->availableGeometry().center() - rect().center());

    lblVersion->setText(QStringLiteral("Version %1.%2.%3 BETA")
                            .arg(QELT_VERSION_MAJOR)
                            .arg(QELT_VERSION_MINOR)
                            .arg(QELT_VERSION_REVISION));
    lblCompany->setText(kCompanyName);
    lblFileDescription->setText(kFileDescription);
    lblCopyright->setText(kCopyright);

    // The updater finds the program through this value.
    const QString folder = ProgramFolder();
    SaveSet("Database16", "CurrentExePath", folder);
    if (GetSet("Database16", "CurrentExePath") != folder)
        LogErr("Form Load", "frmSplash", 75, "Path/File access error");
}

void frmSplash::Unload()
{
    tmr1->stop();
    hide();
    m_loaded = false;
}

void frmSplash::tmr1_Timer()
{
    tmr1->stop();
    LoadMainWindow();
    Delay(0.25);
    hide();
}

void frmSplash::Command2_Click()
{
    MainWindowService *main = MainWindow();
    if (!main || !main->widget())
        return;
    QWidget *w = main->widget();
    TrayAdd(w->windowIcon(), w->windowTitle(), w);
}

bool frmSplash::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Enter) {
        if (watched == Image1)
            Image1->setToolTip(LangTip("Click here to view the User License Agreement"));
        else if (watched == Label3)
            Label3->setToolTip(LangTip("Click to close"));
    } else if (event->type() == QEvent::MouseButtonRelease) {
        if (watched == lblWeb) {
            OpenDoc(kWebSite);
        } else if (watched == Image1) {
            OpenDoc(InProgramFolder("agree.txt"));
        } else {
            hide();
        }
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void frmSplash::mouseReleaseEvent(QMouseEvent *)
{
    hide();
    Unload();
}

void frmSplash::keyPressEvent(QKeyEvent *)
{
    hide();
}

frmSplash &SplashWindow()
{
    if (!g_splash)
        g_splash = new frmSplash;
    if (!g_splash->isLoaded()) {
        g_splash->Form_Initialize();
        g_splash->Form_Load();
    }
    return *g_splash;
}

frmSplash *SplashIfLoaded()
{
    return g_splash && g_splash->isLoaded() ? g_splash : nullptr;
}

void ShowSplash()
{
    frmSplash &s = SplashWindow();
    s.Progress1->setVisible(false);
    s.show();
}

void ShowAbout()
{
    frmSplash &s = SplashWindow();
    s.show();
    s.tmr1->stop();
}

void HideSplashIfVisible()
{
    if (frmSplash *s = SplashIfLoaded(); s && s->isVisible())
        s->hide();
}

void UnloadSplash()
{
    if (g_splash)
        g_splash->Unload();
}

} // namespace qelt
