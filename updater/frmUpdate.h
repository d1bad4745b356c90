#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <memory>

class QCheckBox;
class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

namespace qelt::updater {

class HTTPClass;

// The update window: checks the maker's server for a newer version, offers
// the installer download and starts it, and holds the weekly-check options
// shared with the main program. In the automatic mode it stays hidden unless
// an update is available.
class frmUpdate : public QWidget {
    Q_OBJECT
public:
    explicit frmUpdate(QWidget *parent = nullptr);
    ~frmUpdate() override;

    // Runs the check (Form_Load); Unload saves, hides and reports unloaded().
    void Load();
    void Unload();
    bool isLoaded() const { return m_loaded; }

    // The hour list of Combo2: index = hour 0 to 23.
    static QStringList HourList(bool twelveHour);
    // True when a time text of the user's locale ends in "AM" or "PM".
    static bool TwelveHourTime(const QString &timeText);

    // Name of the downloaded installer in ExeFolder.
    static QString InstallerName() { return QStringLiteral("Upgrade"); }

    // Controls
    QLabel *Label3 = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *lblVer = nullptr;
    QLabel *lblRev = nullptr;
    QProgressBar *ProgressBar1 = nullptr;
    QPushButton *cmdDownload = nullptr;
    QPushButton *cmdExit = nullptr;
    QPushButton *cmdRetry = nullptr;
    QCheckBox *chkAutoUpdate = nullptr;
    QLabel *Label7 = nullptr;
    QLabel *Label4 = nullptr;
    QComboBox *Combo1 = nullptr;
    QLabel *Label5 = nullptr;
    QComboBox *Combo2 = nullptr;
    QTimer *Timer1 = nullptr;

    // Form variables
    QString RequestPath;
    QString ExeFolder;
    QString ProgressMax;
    // Shared, so that a handler releasing it while a transfer of it still
    // runs further up the stack does not destroy it under that transfer.
    std::shared_ptr<HTTPClass> WebClient;
    bool TransferDone = false;
    int WaitTicks = 0;

    // Limits on what the server may send: a version file is a few hundred
    // bytes; an installer is far below the installer limit. A download that
    // reads nothing new for downloadStallMs ends as failed.
    static constexpr qint64 kMaxVersionBytes = 64 * 1024;
    static constexpr qint64 kMaxInstallerBytes = qint64(256) * 1024 * 1024;
    qint64 maxInstallerBytes = kMaxInstallerBytes;
    int downloadStallMs = 30000;

    // Starts a program or opens a file; tests replace it.
    std::function<bool(const QString &)> startProgram;
    // The current time text of the user's locale (decides the hour list).
    std::function<QString()> timeText;

    // Event handlers
    void Form_Load();
    void Form_Unload();
    void cmdDownload_Click();
    void cmdExit_Click();
    void cmdRetry_Click();
    void chkAutoUpdate_Click();
    void Combo1_Click();
    void Combo2_Click();
    void Timer1_Timer();

signals:
    void unloaded();

protected:
    void closeEvent(QCloseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    // The steps of building the window, in order.
    void buildControls();
    void layOutControls();
    void connectControls();
    // The steps of Form_Load.
    void loadSchedule();
    bool fetchVersionFile(const QString &versionFile, QString *failure);
    // The steps of cmdDownload_Click.
    bool downloadInstaller(HTTPClass &client, const QString &target, QString *rejected);
    void finishDownload(const QString &target, const QString &rejected);
    std::shared_ptr<HTTPClass> newClient();
    void closeClient();
    void setTitle(const QString &text, bool bold, const char *colour);
    void advanceProgress();
    void connectionError(const QString &reason = {});
    void downloadFailed(const QString &reason);

    bool m_loaded = false;
    bool m_unloading = false;
};

} // namespace qelt::updater
