#pragma once

#include "core/services/PrefsServices.h"

#include <QString>
#include <QUrl>
#include <QWidget>

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolBar;
class QWebEngineView;

namespace qelt {

// The help window: the program's HTML help pages from the program folder in
// a web view, with a toolbar (back, forward, refresh, main page, snap back
// to the last topic, exit), the list of visited addresses (newest first) and
// a row of topic buttons. While "Fill form" is hidden only pages whose
// address holds the program folder's name open, and web pages never do.
// It is also where feedback is sent from: "FB" reveals "Send Feedback",
// which opens the maker's feedback page and fills its form.
class frmBrowser : public QWidget {
    Q_OBJECT
public:
    explicit frmBrowser(QWidget *parent = nullptr);
    ~frmBrowser() override;

    // The page shown on opening and by "Snap": a help file path, optionally
    // with "#" and an anchor, or a web address. The topic buttons and the
    // feedback start overwrite it.
    QString StartingAddress;
    // Set while the window rewrites the address list itself.
    bool DontNavigateNow = false;
    // Set half a second after a web page completed while the feedback start
    // waited for it.
    bool FeedbackPageLoaded = false;

    bool isLoaded() const { return m_loaded; }
    // Places and shows the window and opens StartingAddress. The web view
    // is made at each opening, so the program's start does not pay for the
    // web engine.
    void Form_Load();
    // Saves the position (unless minimised or maximised), hides the window
    // and lets its web view go.
    void Form_Unload();
    void SetLang();

    // Toolbar button by key: "Back", "Forward", "Refresh", "Home", "Snap", "Exit".
    void BrwToolB_ButtonClick(const QString &key);
    void BrwToolB_MouseDown();
    void cboAddress_Click();
    void cboAddress_KeyPress(int keyAscii);
    // Topic buttons: open the page of the button and keep it as StartingAddress.
    void openTopic(const QString &page);
    void Label2_Click();
    // Asks, opens the feedback page, waits for it (events keep running, at
    // most FeedbackWaitSeconds) and fills its form; says so when the page
    // does not load.
    void cmdExit_Click();
    // Fills the first form of the shown page with the feedback report
    // (folding the error log first).
    void Command1_Click();

    // Opens an address: a file path with an optional "#anchor", or a URL.
    // The navigation gate decides whether it really opens.
    void Navigate(const QString &address);
    // The navigation gate: true when the target must not open.
    bool NavigationRefused(const QUrl &target) const;
    // The address of the shown page, as the address list holds it.
    QString LocationURL() const;

    // The feedback page: "https://" + the maker's server + "/beta/contact.htm",
    // or under the base address named by QELT_FEEDBACK_URL (e.g.
    // "http://127.0.0.1:8080"), which may then also be plain http.
    static QUrl FeedbackAddress();
    // Put into the form's recipient element.
    static constexpr const char *kFeedbackEmail = "feedback@brindlecast.example";
    static constexpr const char *kMakerServer = "www.brindlecast.example";
    // How long the feedback start waits for the page.
    double FeedbackWaitSeconds = 30;

    QWebEngineView *brwWebBrowser = nullptr;
    QToolBar *BrwToolB = nullptr;
    QAction *btnBack = nullptr;
    QAction *btnForward = nullptr;
    QAction *btnRefresh = nullptr;
    QAction *btnHome = nullptr;
    QAction *btnSnap = nullptr;
    QAction *btnExit = nullptr;
    QComboBox *cboAddress = nullptr;
    QPushButton *cmdMainWindow = nullptr;
    QPushButton *cmdComPort = nullptr;
    QPushButton *cmdRecGroup = nullptr;
    QPushButton *cmdEditor = nullptr;
    QPushButton *spacer1 = nullptr;
    QPushButton *cmdRecMacro = nullptr;
    QPushButton *cmdTimers = nullptr;
    QPushButton *cmdExit = nullptr;
    QPushButton *Command1 = nullptr;
    QLineEdit *txtSecure = nullptr;
    QLabel *Label2 = nullptr;

signals:
    // A form filling was handed to the page (its script has run).
    void formFilled();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    static QUrl AddressUrl(const QString &address);
    void MakeBrowser();
    void ReleaseBrowser();
    void NavigateComplete();
    void DocumentComplete(bool ok);
    void UpdateCaption();
    bool UnderFeedbackBase(const QUrl &url) const;
    QPushButton *topicButton(const char *name, const char *caption, const QString &page);

    QWidget *m_viewArea = nullptr;
    bool m_loaded = false;
    int m_openings = 0;
    bool m_waitingForFeedback = false;
    // Wait-clock time at which the awaited feedback page completed; -1 while
    // it has not.
    qint64 m_feedbackLoadedAtNs = -1;
    QString m_feedbackError;
};

// The help window of this run, made on first use.
frmBrowser *BrowserWindow();
// The help service for the other windows (makes the window when needed).
HelpService *BrowserService();

} // namespace qelt
