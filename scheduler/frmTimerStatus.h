#pragma once

#include "core/Mailbox.h"
#include "core/services/SchedulerServices.h"
#include "logic/TimerLogFile.h"

#include <QColor>
#include <QList>
#include <QString>
#include <QWidget>

class QCheckBox;
class QFrame;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QScrollBar;
class QTimer;

namespace qelt {

class EventLabel;

// The timer log window: a "Timer Status" view with one status row per timer
// row plus the loop timer's line, and a "Timer Log" view with the running
// log text. The scheduler and the main window write into it; once a minute
// it moves the older log lines into "TimerLog.log". Closing only hides it.
class frmTimerStatus : public QWidget, public TimerLogService {
    Q_OBJECT
public:
    explicit frmTimerStatus(QWidget *parent = nullptr);
    ~frmTimerStatus() override;

    // TimerLogService
    QWidget *widget() override { return this; }
    QString logText() const override { return m_log; }
    void setLogText(const QString &text) override;
    void appendLog(const QString &entry) override;
    int statusRowCount() const override { return int(Text2.size()); }
    QString statusText(int i) const override;
    void setStatus(int i, const QString &text, const QColor &backColor) override;
    void showLog() override;
    void unload() override;

    // Status rows: element i belongs to timer row i; 6 always exist.
    QColor statusColor(int i) const;
    // Adds status row n at the end with "Status not set!" (the timers
    // window's New); removes the last one (Del). Both keep VSEvents in step.
    void addStatusRow();
    void removeLastStatusRow();
    // Makes exactly n status rows (at least 6), as the timers window's load does.
    void setStatusRowCount(int n);
    // VSEvents: Max = rows - 6, enabled when Max >= 1.
    void updateVSEvents();
    // The loop timer's line.
    void setLoopStatus(const QString &text, const QColor &backColor);
    QString loopStatusText() const;
    QColor loopStatusColor() const;
    // Puts the label-buttons back to their resting red.
    void resetLabelButtons();
    // Redraws the current view by switching it twice with the click muted.
    void iRefresh();
    bool statusRowVisible(int i) const;
    // True in the "Timer Status" view (Check1 = 1).
    bool statusView() const;

    // Trims a text file to its last lines (see TimerLogFile::FixFileSize).
    static bool FixFileSize(const QString &File_Name, double Max_Size);
    // The log file this window writes; tests point it elsewhere.
    TimerLogFile logFile;

    // Controls, under the names the rest of the program uses.
    QPlainTextEdit *Text1 = nullptr;
    QList<QPlainTextEdit *> Text2; // the status rows shown, top first
    QPlainTextEdit *txtLoopT = nullptr;
    QScrollBar *VSEvents = nullptr;
    Mailbox Text3;
    QCheckBox *Check1 = nullptr;
    QCheckBox *chkSaveLog = nullptr;
    EventLabel *lblSaveLog = nullptr;
    QLabel *lblLabel = nullptr;
    EventLabel *Label4 = nullptr;
    EventLabel *lblSave = nullptr;
    EventLabel *lblAppend = nullptr;
    EventLabel *Label1 = nullptr;
    EventLabel *lblPrint = nullptr;
    EventLabel *Label2 = nullptr;
    EventLabel *Label3 = nullptr;
    QPushButton *cmdOpenLog = nullptr;
    QPushButton *cmdFocus = nullptr;
    QTimer *tmrLogWrite = nullptr;
    QFrame *Line1 = nullptr;

    // Handlers (public so that the other windows and tests can run them).
    void Check1_Click();
    void Label4_Click();
    void Text3_Change(const QString &text);
    void VSEvents_Change();
    void Label1_Click();
    void Label2_Click();
    void Label3_Click();
    void lblPrint_Click();
    void lblSave_Click();
    void lblAppend_Click();
    void lblSaveLog_Click();
    void cmdOpenLog_Click();
    void lblLabel_DblClick();
    void tmrLogWrite_Timer();

    // Label-button colours.
    static QColor RestColor() { return QColor(0xFF, 0, 0); }
    static QColor HoverColor() { return QColor(0, 0xFF, 0); }
    static QColor PressColor() { return QColor(0xFF, 0xFF, 0); }
    static QColor TextColorOf(const QLabel *label);

protected:
    void closeEvent(QCloseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void changeEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Form_Load();
    void clickSound() const;
    void scrollLogToEnd();
    void placeLinkRows();
    void refreshLogView();
    void setLabelColor(QLabel *label, const QColor &color, bool bold = false);
    void hoverLabel(EventLabel *label);
    void layStatusRowsFrom(int first);
    QPlainTextEdit *makeStatusRow(int i);
    // The steps of building the window, in order.
    void buildHeading();
    void buildRowsAndLog();
    void buildHiddenControls();
    void connectLabels();

    QString m_log;
    QString m_loopText;
    QColor m_loopColor;
    QList<QColor> m_statusColors;
    int m_firstRow = -1;
    bool m_loaded = false;
};

} // namespace qelt
