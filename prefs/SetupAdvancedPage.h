#pragma once

#include <QWidget>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QScrollBar;
class QValidator;

namespace qelt {

class EventLabel;
class SetupPageHost;

// The preferences page for update checks, recording, the master delay and
// the timer log limits. The check boxes act at once; the delay and the
// limits wait for Apply.
class SetupAdvancedPage : public QWidget {
public:
    explicit SetupAdvancedPage(SetupPageHost &host, QWidget *parent = nullptr);

    QLineEdit *txtMaxLog = nullptr;
    QLineEdit *txtMinLog = nullptr;
    QLineEdit *txtMaxLogFile = nullptr;
    QCheckBox *TrimLog = nullptr;
    QLineEdit *txtGpause = nullptr;
    QScrollBar *HScroll1 = nullptr;
    QCheckBox *ckRecording = nullptr;
    QCheckBox *chkUpdates = nullptr;
    QLineEdit *txtUpdateHour = nullptr;
    EventLabel *lblAutoCheckTime = nullptr;
    QPushButton *cmdLogDefault = nullptr;

    // The delay or a limit edited since the last Apply.
    bool AdvChanged = false;

    // Puts a limit or the delay that is no number back to its default.
    void AdvancedBox_LostFocus(QLineEdit *box);
    void HScroll1_Change();
    void TrimLog_Click();
    void ckRecording_Click();
    void chkUpdates_Click();
    void lblAutoCheckTime_Click();
    void cmdLogDefault_Click();

    void resetPage();
    void fillAdvancedPage();
    void applyAdvancedPage();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void connectHandlers();

    SetupPageHost &m_host;
    // The hour box edited here since the page was filled or applied. The
    // updater stores the day and hour of the weekly check while this window
    // stays open, so Apply writes the hour only when this window changed it.
    bool m_hourChanged = false;
    QValidator *m_digitsOnly = nullptr;
};

} // namespace qelt
