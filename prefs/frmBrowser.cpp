#include "prefs/frmBrowser.h"

#include "core/FileHelpers.h"
#include "core/Lang.h"
#include "core/ProgramFolder.h"
#include "core/Settings.h"
#include "core/WindowHelpers.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTextBrowser>
#include <QToolBar>
#include <QVBoxLayout>

namespace qelt {

namespace {

frmBrowser *g_window = nullptr;

const QString kMainPage = QStringLiteral("zyvHelp.html");
const QString kEditorPage = QStringLiteral("editorhelp.html");

double StoredTwips(const char *key, double defaultValue)
{
    bool ok = false;
    const double value =
        GetSet(QStringLiteral("Settings"), QLatin1String(key), QString::number(defaultValue))
            .trimmed()
            .toDouble(&ok);
    return ok ? value : defaultValue;
}

QString MissingPageHtml(const QString &address)
{
    return QStringLiteral("<html><head><title>%1</title></head><body><h2>%1</h2><p>%2</p>"
                          "</body></html>")
        .arg(LangCap(QStringLiteral("Page not found")), address.toHtmlEscaped());
}

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
    cboAddress->lineEdit()->installEventFilter(this);
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

    brwWebBrowser = new QTextBrowser(this);
    brwWebBrowser->setObjectName(QStringLiteral("brwWebBrowser"));
    // Every link goes through Navigate and its gate.
    brwWebBrowser->setOpenLinks(false);
    connect(brwWebBrowser, &QTextBrowser::anchorClicked, this, [this](const QUrl &link) {
        const QUrl target = brwWebBrowser->source().resolved(link);
        Navigate(target.isLocalFile() && !target.hasFragment() ? target.toLocalFile()
                                                               : target.toString());
    });
    connect(brwWebBrowser, &QTextBrowser::sourceChanged, this, [this](const QUrl &) {
        // Back, forward and reload arrive here; Navigate reports its own.
        if (m_navigating)
            return;
        m_location = brwWebBrowser->source().toString();
        NavigateComplete();
        DocumentComplete(m_location);
    });

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
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    layout->addLayout(top);
    layout->addLayout(topics);
    layout->addWidget(brwWebBrowser, 1);
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
    // Each opening starts afresh, as a newly made window would.
    cboAddress->clear();
    brwWebBrowser->clearHistory();
    m_location.clear();
    cmdEditor->hide();
    spacer1->hide();
    txtSecure->hide();

    const double left = StoredTwips("HelpLeft", 100);
    const double top = StoredTwips("HelpTop", 100);
    const double width = StoredTwips("HelpWidth", 10750);
    const double height = StoredTwips("HelpHeight", 8000);
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
        auto save = [](const char *key, int pixels) {
            SaveSet(QStringLiteral("Settings"), QLatin1String(key),
                    QString::number(pixels * kTwipsPerPixel));
        };
        save("HelpLeft", x());
        save("HelpTop", y());
        save("HelpWidth", width());
        save("HelpHeight", height());
    }
    m_loaded = false;
    hide();
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
    for (QAbstractButton *b : findChildren<QAbstractButton *>()) {
        const QString name = b->objectName();
        if (name == QLatin1String("chkTips"))
            continue;
        for (const char *p : prefixes) {
            if (name.startsWith(QLatin1String(p))) {
                b->setText(LangCap(b->text()));
                break;
            }
        }
    }
    btnBack->setText(LangCap(QStringLiteral("Back")));
    btnForward->setText(LangCap(QStringLiteral("Forward")));
    btnRefresh->setText(LangCap(QStringLiteral("Refresh")));
    btnHome->setText(LangCap(QStringLiteral("Main")));
    btnSnap->setText(LangCap(QStringLiteral("Snap Back")));
    btnExit->setText(LangCap(QStringLiteral("Exit")));
    setWindowTitle(brwWebBrowser->documentTitle() + QStringLiteral("   Orvendale ( ") +
                   LangCap(QStringLiteral("Help")) + QStringLiteral(")"));
}

void frmBrowser::BrwToolB_ButtonClick(const QString &key)
{
    if (key == QLatin1String("Back")) {
        brwWebBrowser->backward();
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
    if (event->type() == QEvent::KeyPress && watched == cboAddress->lineEdit()) {
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
    brwWebBrowser->setFocus(Qt::OtherFocusReason);
}

QUrl frmBrowser::AddressUrl(const QString &address)
{
    const QString a = address.trimmed();
    if (a.contains(QLatin1String("://")) || a.startsWith(QLatin1String("file:")) ||
        a.startsWith(QLatin1String("mailto:")))
        return QUrl(a);
    // A file path: the part after the first "#" is the anchor.
    const int hash = a.indexOf(QLatin1Char('#'));
    QUrl url = QUrl::fromLocalFile(hash < 0 ? a : a.left(hash));
    if (hash >= 0)
        url.setFragment(a.mid(hash + 1));
    return url;
}

bool frmBrowser::NavigationRefused(const QString &address) const
{
    const QString folderName = QDir::cleanPath(ProgramFolder()).section(QLatin1Char('/'), -1);
    return !address.contains(folderName) || address.contains(QLatin1String("http"));
}

QString frmBrowser::LocationURL() const
{
    return m_location;
}

bool frmBrowser::Navigate(const QString &address)
{
    if (address.trimmed().isEmpty())
        return false;
    const QUrl url = AddressUrl(address);
    const QString target = url.toString();
    if (NavigationRefused(target))
        return false;
    m_navigating = true;
    if (url.isLocalFile() && QFileInfo(url.toLocalFile()).isFile()) {
        brwWebBrowser->setSource(url);
        if (url.hasFragment())
            brwWebBrowser->scrollToAnchor(url.fragment());
    } else {
        brwWebBrowser->setHtml(MissingPageHtml(target));
    }
    m_navigating = false;
    m_location = target;
    NavigateComplete();
    DocumentComplete(target);
    return true;
}

void frmBrowser::NavigateComplete()
{
    DontNavigateNow = true;
    const int found = cboAddress->findText(m_location, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (found >= 0)
        cboAddress->removeItem(found);
    cboAddress->insertItem(0, m_location);
    cboAddress->setCurrentIndex(0);
    // Long addresses show their beginning.
    cboAddress->lineEdit()->setCursorPosition(0);
    DontNavigateNow = false;
}

void frmBrowser::DocumentComplete(const QString &address)
{
    txtSecure->setVisible(address.contains(QLatin1String("https")));
}

frmBrowser *BrowserWindow()
{
    if (!g_window) {
        g_window = new frmBrowser;
        QObject::connect(qApp, &QCoreApplication::aboutToQuit, [] {
            delete g_window;
            g_window = nullptr;
        });
    }
    return g_window;
}

HelpService *BrowserService()
{
    static BrowserHelp service;
    return &service;
}

} // namespace qelt
