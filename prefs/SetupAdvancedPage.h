#pragma once

#include <QWidget>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QScrollBar;

namespace qelt {

class EventLabel;

// The preferences page for update checks, recording, the master delay and the timer log limits.
// It builds and holds the page's controls; the preferences window handles
// their events.
class SetupAdvancedPage : public QWidget {
public:
    explicit SetupAdvancedPage(QWidget *parent = nullptr);

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
};

} // namespace qelt
