#pragma once

#include "prefs/PrefsServices.h"

#include <QString>
#include <QUrl>
#include <QWidget>

class QAction;
class QComboBox;
class QLineEdit;
class QPushButton;
class QTextBrowser;
class QToolBar;

namespace qelt {

// The help window: the program's HTML help pages from the program folder in
// a text browser, with a toolbar (back, forward, refresh, main page, snap
// back to the last topic, exit), the list of visited addresses (newest
// first) and a row of topic buttons. Only pages whose address holds the
// program folder's name open, and web pages never do.
class frmBrowser : public QWidget {
    Q_OBJECT
public:
    explicit frmBrowser(QWidget *parent = nullptr);

    // The page shown on opening and by "Snap": a help file path, optionally
    // with "#" and an anchor. The topic buttons overwrite it.
    QString StartingAddress;
    // Set while the window rewrites the address list itself.
    bool DontNavigateNow = false;

    bool isLoaded() const { return m_loaded; }
    // Places and shows the window and opens StartingAddress.
    void Form_Load();
    // Saves the position (unless minimised or maximised) and hides it.
    void Form_Unload();
    void SetLang();

    // Toolbar button by key: "Back", "Forward", "Refresh", "Home", "Snap", "Exit".
    void BrwToolB_ButtonClick(const QString &key);
    void BrwToolB_MouseDown();
    void cboAddress_Click();
    void cboAddress_KeyPress(int keyAscii);
    // Topic buttons: open the page of the button and keep it as StartingAddress.
    void openTopic(const QString &page);

    // Opens an address (a file path with an optional "#anchor", or a URL)
    // when the navigation gate lets it through. False when refused.
    bool Navigate(const QString &address);
    // True when the address must not open: it does not hold the program
    // folder's name, or it holds "http".
    bool NavigationRefused(const QString &address) const;
    // The address of the shown page, as the address list holds it.
    QString LocationURL() const;

    QTextBrowser *brwWebBrowser = nullptr;
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
    QLineEdit *txtSecure = nullptr;

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    static QUrl AddressUrl(const QString &address);
    void NavigateComplete();
    void DocumentComplete(const QString &address);
    QPushButton *topicButton(const char *name, const char *caption, const QString &page);

    bool m_loaded = false;
    bool m_navigating = false;
    QString m_location;
};

// The help window of this run, made on first use.
frmBrowser *BrowserWindow();
// The help service for the other windows (makes the window when needed).
HelpService *BrowserService();

} // namespace qelt
