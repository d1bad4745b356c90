#pragma once

#include "core/Mailbox.h"
#include "core/services/SchedulerServices.h"
#include "logic/LoopTimer.h"
#include "logic/SchedulerEngine.h"
#include "logic/Settings.h"
#include "logic/SunTimers.h"
#include "logic/TimerTable.h"
#include "scheduler/ServicesHost.h"

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QTime>
#include <QWidget>

#include <memory>
#include <optional>

class QAction;
class QCheckBox;
class QDropEvent;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QMouseEvent;
class QPushButton;
class QScrollBar;
class QTimer;

namespace qelt {

class clsSunrise;
class frmTimerStatus;

// The timers window: the timer table (6 to 100 rows), its options, the
// spinner for start times, and the timer controls that drive the scheduler's
// engine (due check, macro slots, overflow list, send queue). It is loaded
// hidden by the console's clock and stays loaded; OK only hides it, Cancel
// unloads it without saving.
class FrmTimers : public QWidget {
    Q_OBJECT
public:
    // log: the timer log window whose status rows follow the timer rows.
    explicit FrmTimers(frmTimerStatus *log, QWidget *parent = nullptr);
    ~FrmTimers() override;

    // What the console reaches through the timers service.
    void ensureLoaded();
    bool isLoaded() const { return m_loaded; }
    void unload();
    bool check2() const;
    void setCheck2(bool on);
    Mailbox &check4Text() { return m_check4Text; }

    // The timer file; tests point it elsewhere.
    QString timerFilePath = TimerTable::DefaultPath();

    TimerTable &table() { return m_table; }
    SchedulerEngine &engine() { return *m_engine; }
    int rowCount() const { return int(cmdT.size()); }
    bool rowShown(int i) const;

    // Row controls (index = timer row).
    QList<QPushButton *> cmdT, cmdM, Command2, Command4;
    QList<QLineEdit *> Text1, Text2; // Text1(i) the action, Text2(i) the start time
    QList<QLabel *> lblActiveDays;
    // Hidden lists kept in step with the rows.
    QStringList lstMacro() const;
    QStringList lstTime() const;

    // Window controls.
    QLabel *Label14 = nullptr; // the window's heading (its caption; drags it)
    QLabel *lblMenu = nullptr, *lblMin = nullptr, *lblExit = nullptr; // label buttons
    QLabel *Label3 = nullptr;    // the clock text every trigger time is compared with
    QLabel *lblDay = nullptr;    // "1" Monday to Friday, "0" at the weekend
    QLabel *Label2 = nullptr;    // the spinner's time text
    QList<QLabel *> Label4;      // column headings; Label4(8) reads "On"
    QCheckBox *Check2 = nullptr; // master switch
    QCheckBox *Check1 = nullptr; // holds the send queue while ticked
    QCheckBox *Check4 = nullptr; // "Allow Manual"
    QCheckBox *Check5 = nullptr; // use the loop's time window
    QCheckBox *chkTSound = nullptr, *chkMsound = nullptr, *chkFlashLp = nullptr;
    QCheckBox *chkEnableLoop = nullptr, *chkAM = nullptr, *chkPM = nullptr;
    QLineEdit *txtLoop = nullptr, *LpStartTm = nullptr, *LpEndTm = nullptr;
    QLabel *lblMacroLoop = nullptr, *lblLoopDays = nullptr, *Label5 = nullptr;
    QList<QLabel *> Label7; // "Start" and "End" of the loop's daily window
    QPushButton *cmdLoop = nullptr, *cmdClearLoop = nullptr;
    QLabel *lblSR = nullptr, *lblSS = nullptr; // today's sunrise and sunset
    QPushButton *cmdTimeReSet = nullptr;
    QPushButton *cmdHelp = nullptr, *cmdInfo = nullptr;
    // The day-rule lists of the rows and of the loop timer.
    QListWidget *Combo1 = nullptr, *combo2 = nullptr;
    // The start-time spinner: index 0 hours, 1 minutes, 2 seconds.
    QList<QScrollBar *> VSTime;
    QList<QLineEdit *> Text3;
    QScrollBar *VScroll1 = nullptr;
    QPushButton *Command3 = nullptr, *cmdApply = nullptr, *cmdCancel = nullptr;
    QPushButton *cmdCreateTimer = nullptr, *cmdKillTimer = nullptr, *cmdRefresh = nullptr;
    QPushButton *cmdStatusDump = nullptr, *cmdSetFocus = nullptr;
    QListWidget *File1 = nullptr;
    QMenu *mnuTimers = nullptr;
    QAction *mnuClearTimer = nullptr, *mnuDeleteTimer = nullptr, *mnuAllowNewTimers = nullptr;
    QAction *mnuAllowManual = nullptr, *mnuSaveQuit = nullptr, *mnuCancel = nullptr;
    QList<QAction *> mnuRun;
    Mailbox txtScroll;
    Mailbox txtStatusDump;

    QTimer *Timer1 = nullptr, *Timer2 = nullptr, *tmrSunSet = nullptr, *TmrOverFlow = nullptr;
    QTimer *tmrSendBits = nullptr, *Tmr7 = nullptr;
    QTimer *tmrThread[MacroSlots::kSlots] = {};

    int DefaultDayRule = 0;
    QString SpinSuffix;
    QString SpinTimeText;

    // Sun rows: the cached location and today's sun times ("HH:mm:ss").
    SunLocation Location;
    QString SunriseText, SunsetText;
    clsSunrise &SunCalc();

    // Row editing.
    int DayListRow = -1;
    int IncompleteClickCount = 0;

    // Loop timer: its lines (lstLoop), position and daily window.
    LoopTimer Loop;
    const QStringList &lstLoop() const { return Loop.lines; }
    bool LoopWindowOpen = true;
    bool LoopWindowOff = true;
    QString Text4 = QStringLiteral("True");

    // Immediate play of a macro file from the file list.
    QString PlayPath, ManualMacroPath;
    int PlayCount = 2;

    // Handlers.
    void cmdCreateTimer_Click();
    void cmdKillTimer_Click();
    void cmdCancel_Click();
    void Command3_Click();
    void cmdStatusDump_Click();
    void cmdRefresh_Click();
    bool SaveTimers();
    void ShowTimerStatus();
    void ShowSpinTime();
    void ScrollRows();
    void VSTime_Change(int index);
    void VScroll1_Change();
    void txtLoop_Change();
    void Check2_Click();
    void Timer1_Timer();
    void Timer2_Timer();
    void tmrSunSet_Timer();
    void tmrSendBits_Timer();

    // Row editing.
    void cmdT_Click(int i);
    void cmdM_Click(int i);
    void Command2_Click(int i);
    void Command4_Click(int i);
    void Text1_DblClick(int i);
    void Text1_OLEDragDrop(int i, const QStringList &files);
    void Text2_DblClick(int i);
    // A typed character; false when the key is dropped.
    bool Text2_KeyPress(int i, QChar key);
    void File1_DblClick();
    void File1_OLEDragDrop(const QStringList &files);
    void lblActiveDays_MouseDown(int i, Qt::MouseButton button);
    // Sets row i's day caption and runs its change handling.
    void setDayCaption(int i, const QString &caption);
    void Combo1_Take();
    void combo2_Take();
    void cmdTimeReSet_Click();
    void chkAM_Click();
    void chkPM_Click();
    void Check4_Click();
    void lblSR_DblClick();

    // Window options and menus.
    void mnuRun_Click(int k);
    void mnuOption_Click(QAction *item);
    void cmdApply_Click();
    void cmdHelp_Click();
    void cmdInfo_Click();
    void lblExit_Click();
    void lblMin_Click();
    void lblMenu_MouseUp();
    void Check5_Click();

    // Loop timer.
    void Tmr7_Timer();
    void chkEnableLoop_Click();
    void chkFlashLp_Click();
    void cmdLoop_Click();
    void cmdClearLoop_Click();
    void lblLoopDays_MouseDown(Qt::MouseButton button);
    bool LpTime_KeyPress(QLineEdit *box, QChar key);
    void txtLoop_OLEDragDrop(const QStringList &files);

    // Plays ManualMacroPath/PlayPath at once (lead-in, lines, closing pattern).
    void CroSend();

    // Status texts as the status rows and the OK block show them.
    static QString StatusRowText(int k, const QString &action, const QString &start,
                                 const QString &rule, bool neverAsOff);

protected:
    void closeEvent(QCloseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Form_Load();
    void Form_Unload();
    void createRow(int i);
    void removeLastRow();
    void fillRow(int i);
    void colourRuleLabel(int i);
    void setLabelBack(QLabel *label, unsigned rgb);
    void syncEngineTimers();
    void LoadLoopMacro();
    void clickSound() const;
    void Text1_Change(int i);
    void Text2_Change(int i);
    void Text3_Change(int k);
    bool setMainTimersSwitch(bool on) const;
    void buildEditControls();
    // The steps of building the window, in order.
    void buildHeading();
    void buildTopBar();
    void buildColumnHeadings();
    void buildSpinner();
    void buildLoopTimer();
    void buildButtons();
    void buildOptionsMenu();
    void buildTimerControls();
    void connectWindowHandlers();
    // The steps of Form_Load.
    void translateCaptions();
    void loadOptions();
    void loadTable(int count);
    bool editEventFilter(QObject *watched, QEvent *event);
    // The event kinds editEventFilter hands on; true when the event is used.
    bool editDropEvent(QWidget *w, QDropEvent *e);
    bool editDoubleClick(QWidget *w, QMouseEvent *m);
    bool editKeyPress(QWidget *w, QKeyEvent *k);
    void editFocusOut(QWidget *w);
    bool editMousePress(QWidget *w, QMouseEvent *m);
    bool editMouseRelease(QWidget *w, QMouseEvent *m);
    void editHover(QWidget *w);
    void colourRow(int i);
    void lblActiveDays_Change(int i);
    void applyManualLock();
    void openDayList(QListWidget *list, QLabel *label, QLineEdit *anchor);
    void checkLocation();
    void setLoopStatus(const QString &state, int rgb);
    void rowToolTips(QObject *watched);

    // The engine's neighbours; log entries and status rows go to this
    // window's own log window.
    class WindowHost : public ServicesHost {
    public:
        explicit WindowHost(frmTimerStatus *log) : m_log(log) {}
        void appendLog(const QString &entry) override;
        int statusRowCount() const override;
        QString statusText(int row) const override;
        void setStatus(int row, const QString &text, unsigned rgb) override;

    private:
        frmTimerStatus *m_log;
    };

    frmTimerStatus *m_log;
    TimerTable m_table;
    WindowHost m_host;
    std::unique_ptr<SchedulerEngine> m_engine;
    Mailbox m_check4Text;
    bool m_loaded = false;
    bool m_keepTable = false; // the last save failed: reload from memory, not the file
    int m_firstRow = 0;
    int m_spinHour = 0, m_spinMinute = 0, m_spinSecond = 0;
    bool m_filling = false;
    QString m_lastDaySavings;
    // The computer's zone as the clock last worked it out, until its next change.
    struct ZoneState {
        QByteArray id;
        bool dst = false;
        int dl = 0; // standard minus current offset, whole hours
        QDateTime nextChange;
    };
    std::optional<ZoneState> m_zoneState;
    std::optional<SettingsStamp> m_locationStamp; // the store as Location was read from it
    // What today's sun times were worked out from, and those times.
    struct SunInputs {
        QDate day;
        QString latitude, longitude, zone, daySavings;
        int ownZoneHours = 0; // the computer's zone, used while none is stored
        bool operator==(const SunInputs &) const = default;
    };
    std::optional<SunInputs> m_sunInputs;
    QTime m_riseTime, m_setTime;
    std::unique_ptr<clsSunrise> m_sun;
    QSet<int> m_sunUnplaced; // sun rows reported as lacking a location
    bool m_manualPlaying = false;
};

} // namespace qelt
