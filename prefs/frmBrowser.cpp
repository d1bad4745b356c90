#include "prefs/frmBrowser.h"

#include "Version.h"
#include "core/Dialogs.h"
#include "core/LazyWindow.h"
#include "core/WindowHelpers.h"
#include "logic/ErrorLogFolding.h"
#include "logic/FileHelpers.h"
#include "logic/Globals.h"
#include "logic/Lang.h"
#include "logic/ProgramFolder.h"
#include "logic/Settings.h"
#include "logic/Transmitter.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QJsonArray>
#include <QJsonDocument>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QQuickWindow>
#include <QStyle>
#include <QToolBar>
#include <QVBoxLayout>
#include <QWebEngineHistory>
#include <QWebEngineLoadingInfo>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineView>

#include <functional>
#include <utility>

#include <unistd.h>

namespace qelt {

namespace {

frmBrowser *g_window = nullptr;

// Once loaded, the web engine's library has the application make one OpenGL
// context for the whole program at its start. On X11 that loads the OpenGL
// driver, which more than doubles the console's memory even when help is
// never opened. Help pages draw well without it: the X11 connection is made
// without OpenGL (unless the user chose otherwise) and the view is drawn by
// Qt Quick's software renderer. This runs before main, after the library's
// own start-up code.
bool g_glIntegrationSetHere = false;
void DrawHelpInSoftware()
{
    if (!qEnvironmentVariableIsSet("QT_XCB_GL_INTEGRATION")) {
        qputenv("QT_XCB_GL_INTEGRATION", "none");
        g_glIntegrationSetHere = true;
    }
    QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
}
Q_CONSTRUCTOR_FUNCTION(DrawHelpInSoftware)

// Programs started from this one get the user's own environment back, once
// the application has made its X11 connection and the web engine's shared
// context (both at the application's start, before its first event).
void RestoreGlIntegration()
{
    if (g_glIntegrationSetHere)
        QMetaObject::invokeMethod(
            qApp, [] { qunsetenv("QT_XCB_GL_INTEGRATION"); }, Qt::QueuedConnection);
}
Q_COREAPP_STARTUP_FUNCTION(RestoreGlIntegration)

const QString kMainPage = QStringLiteral("zyvHelp.html");
const QString kEditorPage = QStringLiteral("editorhelp.html");

// The window's place and size, in twips, where none is stored.
constexpr double kDefaultLeft = 100;
constexpr double kDefaultTop = 100;
constexpr double kDefaultWidth = 10750;
constexpr double kDefaultHeight = 8000;

const QString kCrLf = QStringLiteral("\r\n");

// The address as the gate searches it: a file as its path (with "#" and the
// anchor), so that a program folder named with "#", blanks or non-ASCII
// letters is found as it is written; anything else as its URL text.
QString GateText(const QUrl &url)
{
    if (!url.isLocalFile())
        return url.toString();
    QString text = url.toLocalFile();
    if (url.hasFragment())
        text += QLatin1Char('#') + url.fragment();
    return text;
}

// Fills the first form of the page; each assignment stands alone, so a
// missing field or element skips only its own. The values arrive as one
// JSON array, so no text from the error log can break out of its string.
const char *const kFillFormScript = R"JS(
(function (v) {
    var f = document.forms[0];
    if (!f) return;
    var named = function (name) { return f.elements.namedItem(name); };
    try { f.elements[10].checked = true; } catch (e) {}
    try {
        for (var i = 0; i < f.elements.length; ++i) {
            var r = f.elements[i];
            if (r.name === "MessageType" && (r.value === "Comment" || r.id === "Comment")) {
                r.checked = true;
                break;
            }
        }
    } catch (e) {}
    try { f.elements[0].value = v[0]; } catch (e) {}
    try { f.elements[12].value = v[1]; } catch (e) {}
    try { named("realname").value = v[2]; } catch (e) {}
    try { named("UserAddress").value = v[3]; } catch (e) {}
    try { named("Email").value = v[4]; } catch (e) {}
    try { named("Comments").value = v[5]; } catch (e) {}
    try { named("UserTel").value = v[6]; } catch (e) {}
    try { named("ContactRequested").value = false; } catch (e) {}
})(%1);
)JS";

// The web view's page: every navigation passes the window's gate, and links
// that ask for a new window open in this one (through the same gate).
class BrowserPage : public QWebEnginePage {
public:
    // Says whether a navigation to url (of the page itself, or of one of
    // its frames) may go ahead.
    using Gate = std::function<bool(const QUrl &url, bool isMainFrame)>;
    BrowserPage(Gate gate, QObject *parent) : QWebEnginePage(parent), m_gate(std::move(gate)) {}

protected:
    bool acceptNavigationRequest(const QUrl &url, NavigationType, bool isMainFrame) override
    {
        return m_gate(url, isMainFrame);
    }
    QWebEnginePage *createWindow(WebWindowType) override { return this; }

private:
    Gate m_gate;
};

class BrowserHelp : public HelpService {
public:
    void open(const QString &startingAddress) override
    {
        frmBrowser *w = BrowserWindow();
        if (w->isLoaded())
            w->Form_Unload();
        w->StartingAddress = startingAddress;
        w->Form_Load();
    }
    void unload() override
    {
        if (g_window && g_window->isLoaded())
            g_window->Form_Unload();
    }
};

} // namespace

frmBrowser::frmBrowser(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("frmBrowser"));
    // Closing help must not end the program while the console sits in the tray.
    setAttribute(Qt::WA_QuitOnClose, false);

    BrwToolB = new QToolBar(this);
    BrwToolB->setObjectName(QStringLiteral("BrwToolB"));
    BrwToolB->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    BrwToolB->setIconSize(QSize(20, 20));
    BrwToolB->installEventFilter(this);
    auto *dashes = BrwToolB->addAction(QStringLiteral("----"));
    dashes->setEnabled(false);
    QStyle *st = style();
    auto button = [this](QAction *&slot, const QIcon &icon, const char *key, const char *caption) {
        slot = BrwToolB->addAction(icon, QLatin1String(caption));
        slot->setData(QLatin1String(key));
        connect(slot, &QAction::triggered, this,
                [this, key] { BrwToolB_ButtonClick(QLatin1String(key)); });
    };
    button(btnBack, st->standardIcon(QStyle::SP_ArrowBack), "Back", "Back");
    button(btnForward, st->standardIcon(QStyle::SP_ArrowForward), "Forward", "Forward");
    button(btnRefresh, st->standardIcon(QStyle::SP_BrowserReload), "Refresh", "Refresh");
    button(btnHome, st->standardIcon(QStyle::SP_DirHomeIcon), "Home", "Main");
    button(btnSnap, st->standardIcon(QStyle::SP_FileDialogBack), "Snap", "Snap back");
    BrwToolB->addSeparator();
    button(btnExit, st->standardIcon(QStyle::SP_DialogCloseButton), "Exit", "Exit");
    for (QWidget *w : BrwToolB->findChildren<QWidget *>())
        w->installEventFilter(this);

    cboAddress = new QComboBox(this);
    cboAddress->setObjectName(QStringLiteral("cboAddress"));
    cboAddress->setEditable(true);
    cboAddress->setInsertPolicy(QComboBox::NoInsert);
    cboAddress->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    cboAddress->setMinimumContentsLength(12);
    // Keys typed in the box reach the box itself, which passes them on to
    // its text field.
    cboAddress->installEventFilter(this);
    connect(cboAddress, &QComboBox::activated, this, [this] { cboAddress_Click(); });

    txtSecure = new QLineEdit(QStringLiteral("This page is SECURE!"), this);
    txtSecure->setObjectName(QStringLiteral("txtSecure"));
    txtSecure->setReadOnly(true);
    txtSecure->setFixedWidth(150);
    txtSecure->hide();

    cmdMainWindow = topicButton("cmdMainWindow", "Main Window", kMainPage + "#MainFormWindow");
    cmdComPort = topicButton("cmdComPort", "Com Port Setup", kMainPage + "#CommunicationPortSetup");
    cmdRecGroup = topicButton("cmdRecGroup", "Record Group", kMainPage + "#GroupRecorder");
    cmdEditor = topicButton("cmdEditor", "Macro Editor", kEditorPage);
    spacer1 = new QPushButton(this);
    spacer1->setObjectName(QStringLiteral("spacer1"));
    spacer1->setEnabled(false);
    spacer1->setFixedWidth(12);
    // The editor's page file is "editorhelp.html" in every reference but
    // this one; file names differ by letter case here, so one spelling is used.
    cmdRecMacro = topicButton("cmdRecMacro", "Record Macro", kEditorPage + "#Create");
    cmdTimers = topicButton("cmdTimers", "Timers", kMainPage + "#Timer");

    cmdExit = new QPushButton(QStringLiteral("Send Feedback"), this);
    cmdExit->setObjectName(QStringLiteral("cmdExit"));
    cmdExit->setAutoDefault(false);
    cmdExit->hide();
    connect(cmdExit, &QPushButton::clicked, this, [this] { cmdExit_Click(); });
    Command1 = new QPushButton(QStringLiteral("Fill form"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setAutoDefault(false);
    Command1->hide();
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    Label2 = new QLabel(QStringLiteral("FB"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->installEventFilter(this);

    // The web view goes here when the window first opens.
    m_viewArea = new QWidget(this);
    m_viewArea->setObjectName(QStringLiteral("viewArea"));
    auto *viewLayout = new QVBoxLayout(m_viewArea);
    viewLayout->setContentsMargins(0, 0, 0, 0);

    auto *top = new QHBoxLayout;
    top->setContentsMargins(0, 0, 4, 0);
    top->addWidget(BrwToolB);
    top->addWidget(cboAddress, 1);
    top->addWidget(txtSecure);
    auto *topics = new QHBoxLayout;
    topics->setContentsMargins(4, 0, 4, 0);
    for (QPushButton *b :
         {cmdMainWindow, cmdComPort, cmdRecGroup, cmdEditor, spacer1, cmdRecMacro, cmdTimers})
        topics->addWidget(b);
    topics->addStretch(1);
    topics->addWidget(Label2);
    // The feedback buttons have a row of their own under "FB", so that
    // their appearing does not make the topic row, and so the window, wider.
    // While both are hidden the row takes no room.
    auto *feedback = new QHBoxLayout;
    feedback->setContentsMargins(4, 0, 4, 0);
    feedback->addStretch(1);
    feedback->addWidget(cmdExit);
    feedback->addWidget(Command1);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    layout->addLayout(top);
    layout->addLayout(topics);
    layout->addLayout(feedback);
    layout->addWidget(m_viewArea, 1);
}

frmBrowser::~frmBrowser() = default;

void frmBrowser::MakeBrowser()
{
    if (brwWebBrowser)
        return;
    // Chromium's sandbox refuses to start for root; everyone else keeps it.
    if (geteuid() == 0 && !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    brwWebBrowser = new QWebEngineView(m_viewArea);
    brwWebBrowser->setObjectName(QStringLiteral("brwWebBrowser"));
    brwWebBrowser->setPage(new BrowserPage(
        [this](const QUrl &url, bool isMainFrame) {
            if (!NavigationRefused(url))
                return true;
            // The page stays, so the address box shows its address again
            // instead of the refused one typed there.
            if (isMainFrame) {
                cboAddress->setEditText(cboAddress->count() > 0 ? cboAddress->itemText(0)
                                                                : QString());
                cboAddress->lineEdit()->setCursorPosition(0);
            }
            return false;
        },
        brwWebBrowser));
    m_viewArea->layout()->addWidget(brwWebBrowser);
    QWebEnginePage *page = brwWebBrowser->page();
    connect(page, &QWebEnginePage::urlChanged, this, [this] { NavigateComplete(); });
    connect(page, &QWebEnginePage::loadFinished, this, [this](bool ok) { DocumentComplete(ok); });
    connect(page, &QWebEnginePage::titleChanged, this, [this] { UpdateCaption(); });
    connect(page, &QWebEnginePage::loadingChanged, this, [this](const QWebEngineLoadingInfo &info) {
        // The feedback wait ends early with the reason when its page fails.
        if (!m_waitingForFeedback || info.status() != QWebEngineLoadingInfo::LoadFailedStatus ||
            info.url().adjusted(QUrl::StripTrailingSlash) !=
                FeedbackAddress().adjusted(QUrl::StripTrailingSlash))
            return;
        if (info.errorDomain() == QWebEngineLoadingInfo::HttpStatusCodeDomain)
            m_feedbackError = QStringLiteral("the server answered %1").arg(info.errorCode());
        else
            m_feedbackError = info.errorString().isEmpty()
                                  ? QStringLiteral("error %1").arg(info.errorCode())
                                  : info.errorString();
    });
}

QPushButton *frmBrowser::topicButton(const char *name, const char *caption, const QString &page)
{
    auto *b = new QPushButton(QLatin1String(caption), this);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    connect(b, &QPushButton::clicked, this, [this, page] { openTopic(page); });
    return b;
}

void frmBrowser::Form_Load()
{
    MakeBrowser();
    // Each opening starts afresh, as a newly made window would; a feedback
    // wait of an earlier opening ends.
    ++m_openings;
    cboAddress->clear();
    for (QWidget *w : {static_cast<QWidget *>(cmdExit), static_cast<QWidget *>(Command1),
                       static_cast<QWidget *>(txtSecure), static_cast<QWidget *>(cmdEditor),
                       static_cast<QWidget *>(spacer1)})
        w->hide();
    FeedbackPageLoaded = false;

    const double left = ReadTwipsSetting(QStringLiteral("HelpLeft"), kDefaultLeft);
    const double top = ReadTwipsSetting(QStringLiteral("HelpTop"), kDefaultTop);
    const double width = ReadTwipsSetting(QStringLiteral("HelpWidth"), kDefaultWidth);
    const double height = ReadTwipsSetting(QStringLiteral("HelpHeight"), kDefaultHeight);
    resize(qMax(1, int(width / kTwipsPerPixel)), qMax(1, int(height / kTwipsPerPixel)));
    MoveOnScreenTwips(this, left, top);

    m_loaded = true;
    setWindowState(windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized));
    show();
    raise();
    activateWindow();
    if (!StartingAddress.isEmpty()) {
        cboAddress->setEditText(StartingAddress);
        Navigate(StartingAddress);
    }
    if (FileExists(InProgramFolder(kEditorPage))) {
        cmdEditor->show();
        spacer1->show();
    }
    SetLang();
}

void frmBrowser::Form_Unload()
{
    if (!m_loaded)
        return;
    if (!(windowState() & (Qt::WindowMinimized | Qt::WindowMaximized))) {
        SaveTwipsSetting(QStringLiteral("HelpLeft"), x(), kDefaultLeft);
        SaveTwipsSetting(QStringLiteral("HelpTop"), y(), kDefaultTop);
        SaveTwipsSetting(QStringLiteral("HelpWidth"), width(), kDefaultWidth);
        SaveTwipsSetting(QStringLiteral("HelpHeight"), height(), kDefaultHeight);
    }
    m_loaded = false;
    hide();
    ReleaseBrowser();
}

void frmBrowser::ReleaseBrowser()
{
    // The web view and its page hold the web engine's page processes and
    // their memory; they go with each closing and the next opening makes
    // them anew. Deleted later, as the call may come from inside one of the
    // view's own events; until then nothing of it reaches the window.
    QWebEngineView *view = std::exchange(brwWebBrowser, nullptr);
    if (!view)
        return;
    view->stop();
    view->page()->disconnect(this);
    view->hide();
    m_viewArea->layout()->removeWidget(view);
    view->deleteLater();
}

void frmBrowser::closeEvent(QCloseEvent *event)
{
    Form_Unload();
    event->accept();
}

void frmBrowser::SetLang()
{
    static const char *const prefixes[] = {"cmd", "lbl", "Che", "chk", "Lab",
                                           "Fra", "ckb", "mnu", "Com"};
    auto translated = [](const QString &name) {
        if (name == QLatin1String("chkTips"))
            return false;
        for (const char *p : prefixes) {
            if (name.startsWith(QLatin1String(p)))
                return true;
        }
        return false;
    };
    for (QAbstractButton *b : findChildren<QAbstractButton *>()) {
        if (translated(b->objectName()))
            b->setText(LangCap(b->text()));
    }
    for (QLabel *l : findChildren<QLabel *>()) {
        if (translated(l->objectName()))
            l->setText(LangCap(l->text()));
    }
    btnBack->setText(LangCap(QStringLiteral("Back")));
    btnForward->setText(LangCap(QStringLiteral("Forward")));
    btnRefresh->setText(LangCap(QStringLiteral("Refresh")));
    btnHome->setText(LangCap(QStringLiteral("Main")));
    btnSnap->setText(LangCap(QStringLiteral("Snap Back")));
    btnExit->setText(LangCap(QStringLiteral("Exit")));
    UpdateCaption();
}

void frmBrowser::UpdateCaption()
{
    const QString title = brwWebBrowser ? brwWebBrowser->title() : QString();
    setWindowTitle(title + QStringLiteral("   Orvendale ( ") + LangCap(QStringLiteral("Help")) +
                   QStringLiteral(")"));
}

void frmBrowser::BrwToolB_ButtonClick(const QString &key)
{
    if (!brwWebBrowser)
        return;
    if (key == QLatin1String("Back")) {
        brwWebBrowser->back();
        btnBack->setToolTip(LangTip(QStringLiteral("Back")));
    } else if (key == QLatin1String("Forward")) {
        brwWebBrowser->forward();
        btnForward->setToolTip(LangTip(QStringLiteral("Forward")));
    } else if (key == QLatin1String("Refresh")) {
        brwWebBrowser->reload();
    } else if (key == QLatin1String("Home")) {
        Navigate(InProgramFolder(kMainPage));
    } else if (key == QLatin1String("Snap")) {
        Navigate(StartingAddress);
    } else if (key == QLatin1String("Exit")) {
        Form_Unload();
    }
}

void frmBrowser::BrwToolB_MouseDown()
{
    btnBack->setToolTip(LangTip(QStringLiteral("Back")));
    btnForward->setToolTip(LangTip(QStringLiteral("Forward")));
    btnRefresh->setToolTip(LangTip(QStringLiteral("Refresh")));
    btnHome->setToolTip(LangTip(QStringLiteral("Top Level")));
    btnSnap->setToolTip(LangTip(QStringLiteral("Snap Back to Last Topic")));
    btnExit->setToolTip(LangTip(QStringLiteral("Exit help window")));
}

bool frmBrowser::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonPress &&
        (watched == BrwToolB || watched->parent() == BrwToolB))
        BrwToolB_MouseDown();
    if (event->type() == QEvent::MouseButtonRelease && watched == Label2)
        Label2_Click();
    if (event->type() == QEvent::KeyPress && watched == cboAddress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            cboAddress_KeyPress(13);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void frmBrowser::cboAddress_Click()
{
    if (!DontNavigateNow)
        Navigate(cboAddress->currentText());
}

void frmBrowser::cboAddress_KeyPress(int keyAscii)
{
    if (keyAscii == 13 && !DontNavigateNow)
        Navigate(cboAddress->currentText());
}

void frmBrowser::openTopic(const QString &page)
{
    StartingAddress = InProgramFolder(page);
    Navigate(StartingAddress);
    if (brwWebBrowser)
        brwWebBrowser->setFocus(Qt::OtherFocusReason);
}

void frmBrowser::Label2_Click()
{
    cmdExit->show();
}

QUrl frmBrowser::AddressUrl(const QString &address)
{
    const QString a = address.trimmed();
    if (a.contains(QLatin1String("://")) || a.startsWith(QLatin1String("file:")) ||
        a.startsWith(QLatin1String("mailto:")))
        return QUrl(a);
    // A file path: the part after the last "#" is the anchor, unless the
    // whole text names a file (a folder name may hold "#" itself).
    const int hash = a.lastIndexOf(QLatin1Char('#'));
    if (hash < 0 || QFileInfo(a).isFile())
        return QUrl::fromLocalFile(a);
    QUrl url = QUrl::fromLocalFile(a.left(hash));
    url.setFragment(a.mid(hash + 1));
    return url;
}

bool frmBrowser::UnderFeedbackBase(const QUrl &url) const
{
    if (qEnvironmentVariable("QELT_FEEDBACK_URL").trimmed().isEmpty())
        return false;
    const QUrl base = FeedbackAddress();
    return url.scheme() == base.scheme() && url.host() == base.host() && url.port() == base.port();
}

QUrl frmBrowser::FeedbackAddress()
{
    QString base = qEnvironmentVariable("QELT_FEEDBACK_URL").trimmed();
    if (base.isEmpty())
        base = QStringLiteral("https://") + QLatin1String(kMakerServer);
    while (base.endsWith(QLatin1Char('/')))
        base.chop(1);
    return QUrl(base + QStringLiteral("/beta/contact.htm"));
}

bool frmBrowser::NavigationRefused(const QUrl &target) const
{
    if (!Command1->isHidden())
        return false;
    const QString folder = QDir::cleanPath(ProgramFolder());
    const QString text = GateText(target);
    if (!text.contains(folder.section(QLatin1Char('/'), -1)))
        return true;
    // Web pages never open; the program folder's own path may hold "http"
    // in a folder name without making its help pages web pages.
    const QString rest = target.isLocalFile() && text.startsWith(folder + QLatin1Char('/'))
                             ? text.mid(folder.size())
                             : text;
    return rest.contains(QLatin1String("http"));
}

QString frmBrowser::LocationURL() const
{
    return brwWebBrowser ? brwWebBrowser->url().toString() : QString();
}

void frmBrowser::Navigate(const QString &address)
{
    if (address.trimmed().isEmpty() || !brwWebBrowser)
        return;
    brwWebBrowser->load(AddressUrl(address));
}

void frmBrowser::NavigateComplete()
{
    const QString location = LocationURL();
    if (location.isEmpty())
        return;
    DontNavigateNow = true;
    const int found = cboAddress->findText(location, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (found >= 0)
        cboAddress->removeItem(found);
    cboAddress->insertItem(0, location);
    cboAddress->setCurrentIndex(0);
    // Long addresses show their beginning.
    cboAddress->lineEdit()->setCursorPosition(0);
    DontNavigateNow = false;
}

void frmBrowser::DocumentComplete(bool ok)
{
    // A navigation the gate refused also ends here, not ok, on the page
    // still shown.
    const QUrl url = brwWebBrowser->url();
    const QString address = url.toString();
    const bool secure = address.contains(QLatin1String("https"));
    txtSecure->setVisible(secure && ok);
    // The test server's plain-http feedback page keeps "Fill form" as a
    // secure one would.
    if (!secure && !UnderFeedbackBase(url))
        Command1->hide();
    // Only a page that completes while the feedback start waits is its page;
    // the wait gives it half a second more before the form is filled.
    if (m_waitingForFeedback && ok && address.contains(QLatin1String("http")) &&
        !cmdExit->isHidden())
        m_feedbackLoadedAtNs = CurrentWaitClock().nowNs();
}

void frmBrowser::cmdExit_Click()
{
    // One feedback start at a time: a second click waits for nothing.
    if (m_waitingForFeedback || !brwWebBrowser)
        return;
    const int answer = Questions(
        QStringLiteral("You must be connected to the internet to use this form.") + kCrLf +
            QStringLiteral("You will be connected to a secure server to fill out a feedback "
                           "form.  If you see a certificate pop up, please accept it to "
                           "continue.  Connect now?"),
        2, QStringLiteral("Connect to Secure Server?"));
    if (answer != 1 || !m_loaded)
        return;

    const QUrl page = FeedbackAddress();
    StartingAddress = page.toString();
    // Shown before the navigation starts: it opens the gate for web pages.
    Command1->show();
    Navigate(StartingAddress);

    FeedbackPageLoaded = false;
    m_feedbackError.clear();
    m_feedbackLoadedAtNs = -1;
    m_waitingForFeedback = true;
    QPointer<frmBrowser> self(this);
    const int opening = m_openings;
    const qint64 deadline =
        CurrentWaitClock().nowNs() + qint64(FeedbackWaitSeconds * 1'000'000'000.0);
    constexpr qint64 kSettleNs = 500'000'000;
    // A page that completed in time is given its half second even past the
    // deadline.
    while (self && m_loaded && m_openings == opening && !FeedbackPageLoaded &&
           m_feedbackError.isEmpty() && !AbortSend &&
           (m_feedbackLoadedAtNs >= 0 || CurrentWaitClock().nowNs() < deadline)) {
        Delay(0.1);
        if (self && m_feedbackLoadedAtNs >= 0 &&
            CurrentWaitClock().nowNs() >= m_feedbackLoadedAtNs + kSettleNs)
            FeedbackPageLoaded = true;
    }
    if (!self)
        return;
    m_waitingForFeedback = false;
    // Closed or opened anew meanwhile, or the program ends: nothing more to do.
    if (!m_loaded || m_openings != opening || AbortSend)
        return;
    if (FeedbackPageLoaded) {
        Delay(0.2);
        if (self && m_loaded)
            Command1_Click();
        return;
    }
    const QString reason =
        m_feedbackError.isEmpty()
            ? QStringLiteral("it did not load within %1 seconds").arg(FeedbackWaitSeconds)
            : m_feedbackError;
    brwWebBrowser->stop();
    Info(QStringLiteral("The feedback page could not be opened (%1):").arg(reason) + kCrLf +
             page.toString() + kCrLf + kCrLf +
             QStringLiteral("Check the connection to the internet and try again."),
         false, false, QStringLiteral("Send Feedback"));
}

void frmBrowser::Command1_Click()
{
    if (!brwWebBrowser)
        return;
    const QString version = QStringLiteral("%1.%2.%3")
                                .arg(QELT_VERSION_MAJOR)
                                .arg(QELT_VERSION_MINOR)
                                .arg(QELT_VERSION_REVISION);
    const QString comment = FeedbackComment(InProgramFolder(QStringLiteral("error.log")), version);
    const QJsonArray values = {
        QLatin1String(kFeedbackEmail),  QStringLiteral("Error Report "), QString(),
        QStringLiteral("city & state"), QStringLiteral("your@address"),  kCrLf + kCrLf + comment,
        QStringLiteral("not required")};
    const QString script =
        QString::fromLatin1(kFillFormScript)
            .arg(QString::fromUtf8(QJsonDocument(values).toJson(QJsonDocument::Compact)));
    QPointer<frmBrowser> self(this);
    brwWebBrowser->page()->runJavaScript(script, QWebEngineScript::ApplicationWorld,
                                         [self](const QVariant &) {
                                             if (self)
                                                 emit self->formFilled();
                                         });
}

frmBrowser *BrowserWindow()
{
    return LazyWindow(g_window);
}

HelpService *BrowserService()
{
    static BrowserHelp service;
    return &service;
}

} // namespace qelt
