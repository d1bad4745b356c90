#pragma once

#include <QWidget>

class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

namespace qelt {

// The splash window shown while the program comes up; tmr1 loads the main
// window 750 ms after the load and hides the splash, which stays loaded.
// The same window is the about box (shown with tmr1 off).
class frmSplash : public QWidget {
    Q_OBJECT
public:
    explicit frmSplash(QWidget *parent = nullptr);

    // Creation (initialise) and load; both run again when an unloaded window
    // is referred to anew.
    void Form_Initialize();
    void Form_Load();
    // Hides the window; the next reference loads it again.
    void Unload();
    bool isLoaded() const { return m_loaded; }

    void tmr1_Timer();

    QLabel *lblProductName = nullptr;
    QLabel *lblPlatform = nullptr;
    QLabel *lblVersion = nullptr;
    QLabel *lblCompany = nullptr;
    QLabel *lblFileDescription = nullptr;
    QLabel *lblCopyright = nullptr;
    QLabel *lblWeb = nullptr;
    QLabel *Image1 = nullptr;
    QLabel *Label3 = nullptr;
    QProgressBar *Progress1 = nullptr;
    QPushButton *Command2 = nullptr;
    QTimer *tmr1 = nullptr;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void Command2_Click();
    bool m_loaded = false;
};

// The web site the about box links to and the texts of its version lines.
inline constexpr const char *kWebSite = "https://www.brindlecast.example/";
inline constexpr const char *kCompanyName = "Brindlecast";
inline constexpr const char *kFileDescription = "Orvendale X10 home automation console";
inline constexpr const char *kCopyright = "Copyright (C) Brindlecast";

// The splash window, created and loaded on first reference (and loaded
// again after an unload).
frmSplash &SplashWindow();
// The splash window when it is loaded, else nullptr (nothing is created).
frmSplash *SplashIfLoaded();
// Start-up: shows the splash modeless with its progress bar hidden.
void ShowSplash();
// The "About" menu: shows the window with its timer stopped.
void ShowAbout();
// The message dialog hides a visible splash so that it covers no message.
void HideSplashIfVisible();
void UnloadSplash();

} // namespace qelt
