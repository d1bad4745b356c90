#pragma once

#include "core/EventControls.h"
#include "core/Mailbox.h"
#include "core/services/ConsoleServices.h"
#include "logic/UpdateSchedule.h"

#include <QPixmap>
#include <QStringList>
#include <QWidget>

#include <array>
#include <memory>

class QAction;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QMenu;
class QTimer;

namespace qelt {

class SerialLink;

// The main console window: house code and unit bank, eight unit rows with
// their descriptions, the unit and ALL commands, the lamp, the hand-over of
// command lines and the macro player. It owns the serial link (MSComm1) the
// transmitter hangs on. Created hidden; the constructor is its initialise
// event, Form_Load its load event, and afterStart_Timer finishes the start
// half a second later and shows it.
class frmFire : public QWidget, public MainWindowService {
    Q_OBJECT
public:
    // link: the serial link to use (not owned); nullptr makes the window's
    // own: the recording fake when QELT_FAKE_SERIAL=1, else the real port.
    explicit frmFire(SerialLink *link = nullptr, QWidget *parent = nullptr);
    ~frmFire() override;

    // Plays a macro file handed over on the command line or by a second start.
    void CroSend(const QString &sFilename);

    // --- MainWindowService ---
    QWidget *widget() override { return this; }
    void frmReturn() override;
    bool strtGroup(int sNum, const QString &sAction) override;
    void setLamp(bool lit) override;
    void setTimerIndicator(bool on) override;
    void setRecordingFlash(bool on) override;
    Mailbox &lblGrp() override { return m_lblGrp; }
    Mailbox &lblGrpSave() override { return m_lblGrpSave; }
    Mailbox &txtCommand() override { return m_txtCommand; }
    QString groupLabel(int n) const override;
    void setGroupLabel(int n, const QString &label) override;
    bool toolTipsOn() const override;
    bool mnuTipsChecked() const override;
    bool setTimersMasterSwitch(bool on) override;
    QString timersSwitchTag() const override { return m_check1Text; }
    void setTimersSwitchTag(const QString &text) override { m_check1Text = text; }
    QString houseLetter() const override;
    Mailbox *optionBox(const QString &name) override;
    void setMnuMinToTray(bool checked) override;
    bool mnuAssociateChecked() const override;
    void setMnuAssociate(bool checked) override;
    void setMnuPanicRunText(const QString &text) override;

    // --- start-up and shutdown ---
    void Form_Load();
    void afterStart_Timer();
    // Opens MSComm1 on the port in record 270; true when it is open.
    bool Initialize();
    // The exit command of every route (menu, exit label, tray, favourites,
    // window frame, language restart). Unsaved commands in the macro editor
    // are asked about first; false when the program keeps running.
    bool cmdExit_Click();
    // The shutdown of the program (the unload event).
    void Form_Unload();
    void LoadCaptions();
    bool isUnloaded() const { return m_unloaded; }

    // --- house code, unit bank, descriptions ---
    void FillHouseCodes();
    void FillDescs(int firstUnit);
    void LoadDescs();
    void cboHouse_Click();
    void ImageSlide_Click();
    void lblDescription_DblClick(int index);
    // Enter in the description editor (also run when it loses the focus).
    void txtDescription_Commit();

    // --- unit and ALL commands ---
    void cmdON_MouseDown(int index, Qt::MouseButton button);
    void cmdON_MouseUp(int index, Qt::MouseButton button);
    void cmdON_Click(int index);
    void cmdOFF_MouseDown(int index, Qt::MouseButton button);
    void cmdOFF_MouseUp(int index, Qt::MouseButton button);
    void cmdOFF_Click(int index);
    // function: "11000000" all lights off, "10010000" all lights on,
    // "10000000" all units off.
    void cmdAll_Click(const QString &functionBits);
    void cmdAll_MouseDown(const QString &word, Qt::MouseButton button);
    void cmdAll_MouseUp();
    void cmdBright_MouseDown(Qt::MouseButton button);
    void cmdDim_MouseDown(Qt::MouseButton button);
    void cmdRepeat_MouseUp(Qt::MouseButton button);
    void cmdRepeat_Click();

    // --- hand-over, lamp, indicator ---
    void txtCommand_Change(const QString &text);
    void tmrAcro_Timer();
    void tmrFlash_Timer();
    void tmrTindicate_Timer();
    void flashOff();

    // --- clock and weekly update check ---
    void tmrClock_Timer();
    void setupClock();
    // Runs ask from the event loop once no message, question or dialog that
    // waits for the user is open (looking again every delayMs meanwhile).
    void askWhenNoDialogOpen(std::function<void()> ask, int delayMs = 0);
    // Hand-overs of macro files waiting to be played, in order.
    QStringList pendingMacros() const { return m_croQueue; }
    bool macroPlaying() const { return m_croPlaying; }
    bool macroWaiting() const { return m_macroWaiting; }

    SerialLink *MSComm1() const { return m_link; }

    // The pictures of ImageList: 1 lamp off, 2 lamp lit, 3 units 1 to 8,
    // 4 units 9 to 16.
    QPixmap ImageList(int index) const;
    // Which ImageList picture a picture control shows (0 for none).
    int imgLightPicture() const { return m_lampPicture; }
    int ImageSlidePicture() const { return m_slidePicture; }

    // The window's tag: "", "port false" or "restart".
    QString Tag;

    // Form-level values.
    QString HouseBits;
    QString UnitBits;
    QString AllPacket;
    bool AssocOk = false;

    // Controls of the title strip and the unit rows.
    EventLabel *lblMenu = nullptr;
    EventLabel *lblMin = nullptr;
    EventLabel *lblExit = nullptr;
    EventLabel *lblCaption = nullptr;
    EventLabel *lblClock = nullptr;
    EventLabel *lblHousecode = nullptr;
    QComboBox *cboHouse = nullptr;
    EventLabel *ImageSlide = nullptr;
    EventLabel *lblSlider = nullptr;
    // The eight unit rows, index 0 to 7: units 1-8, or 9-16 when the slider
    // shows the second bank.
    std::array<EventLabel *, 8> lblCell{};
    std::array<EventLabel *, 8> lblDescription{};
    std::array<PressButton *, 8> cmdON{};
    std::array<PressButton *, 8> cmdOFF{};
    QLineEdit *txtDescription = nullptr;
    EventLabel *lblOn = nullptr;
    EventLabel *lblOff = nullptr;
    EventLabel *lblAllLights = nullptr;
    EventLabel *Label1 = nullptr;
    EventLabel *Label11 = nullptr;
    PressButton *cmdAllOn = nullptr;
    PressButton *cmdAllOff = nullptr;
    PressButton *cmdAllUOff = nullptr;
    PressButton *cmdBright = nullptr;
    PressButton *cmdDim = nullptr;
    EventLabel *imgLight = nullptr;
    EventLabel *lblIndicate = nullptr;
    QCheckBox *Check1 = nullptr;
    QCheckBox *ckbGroups = nullptr;
    PressButton *cmdMacro = nullptr;
    PressButton *cmdMacroSetup = nullptr;
    PressButton *cmdHelp = nullptr;
    PressButton *cmdSetup = nullptr;
    PressButton *Command1 = nullptr;
    PressButton *cmdExit = nullptr;
    PressButton *cmdPanic = nullptr;
    PressButton *Focus = nullptr;
    EventLabel *picIcon = nullptr;
    EventLabel *lblShowFavs = nullptr;

    // The group panel (shown while ckbGroups is ticked).
    std::array<EventLabel *, 9> lblGourpNumber{}; // 1 to 8 used
    // Index 0 to 7 runs groups 1 to 8.
    std::array<EventLabel *, 8> lblGrpLbl{};
    std::array<PressButton *, 8> cmdGrpOn{};
    std::array<PressButton *, 8> cmdGrpOff{};
    std::array<PressButton *, 8> Command2{}; // delayed group
    EventLabel *lblCloseGrp = nullptr;

    // Hidden text boxes holding option values (their change handlers belong
    // to the code that owns each option).
    Mailbox chkTips;
    Mailbox txtGrpDelayB;
    Mailbox chbPanicOn;
    Mailbox txtPanicNm;
    Mailbox txtPanicBcolor;
    Mailbox txtPanicMin;
    Mailbox txtPanicSec;
    Mailbox txtGroupNum;
    Mailbox txtMinimizeSave;

    // Timers.
    QTimer *afterStart = nullptr;
    QTimer *tmrFlash = nullptr;
    QTimer *tmrAcro = nullptr;
    QTimer *tmrPanic = nullptr;
    QTimer *tmrStartUp = nullptr;
    QTimer *tmrTindicate = nullptr;
    QTimer *tmrClock = nullptr;
    UpdateSchedule m_updateSchedule;
    QString tmrFlashTag; // "run" during a group, "Recording" while recording

    // The pop-up menu and its items (captions and design states; what each
    // item does is wired by the menu code).
    QMenu *Popup1 = nullptr;
    QAction *mnuPanicRun = nullptr;
    QAction *mnuRunMacro = nullptr;
    QAction *mnuShowLog = nullptr;
    QMenu *mnuView = nullptr;
    QAction *mnuFavs = nullptr;
    QAction *mnuRegular = nullptr;
    QMenu *mnuSetup = nullptr;
    QAction *mnuGroup = nullptr;
    QAction *mnuMacro = nullptr;
    QAction *mnuTimer = nullptr;
    QAction *mnuManage = nullptr;
    QAction *mnuPanic = nullptr;
    QAction *mnuPort = nullptr;
    QAction *mnuSoundSetUp = nullptr;
    QAction *mnuDesktop = nullptr;
    QAction *mnuStartup = nullptr;
    QAction *mnuRemoveDesktop = nullptr;
    QAction *mnuRemoveStartup = nullptr;
    QAction *mnuSetPrefs = nullptr;
    QMenu *mnuLan = nullptr;
    QString mnuLanTag; // the name of the current language
    QVector<QAction *> mnuLanguage;
    QStringList lstLan; // the "*.lan" files of the program folder, sorted
    QMenu *mnuPrefs = nullptr;
    QAction *mnuShowPanic = nullptr;
    QAction *mnuGrpDelayB = nullptr;
    QAction *mnuMinToTray = nullptr;
    QAction *mnuMinOnStart = nullptr;
    QAction *mnuAssociate = nullptr;
    QAction *mnuTips = nullptr;
    QAction *mnuDisAssociate = nullptr;
    QMenu *mnuUninstMnu = nullptr;
    QAction *mnuUninstall = nullptr;
    QAction *mnuExit = nullptr;
    QAction *mnuHelp = nullptr;

    // --- groups, panic, menus and window modes ---
    // (Declared and defined by the group, menu and window-mode code in
    // console/frmFireGroups.cpp, console/frmFireMenus.cpp and
    // console/frmFireModes.cpp.)
    // Connects that code's handlers; run once by the initialise event after
    // the controls exist.
    void SetupGroupsPanicMenusModes();
    // The click handling of mnuGrpDelayB (initialise step 7).
    void mnuGrpDelayB_Click();
    // Unloads the favourites window while the program closes.
    void UnloadFavs();
    // Gives the favourites window the focus ("previous" hand-over).
    void ActivateFavs();

    // Groups: a run of row i ON or OFF, as a click of cmdGrpOn(i) /
    // cmdGrpOff(i) does it (lamp, tags, sound, focus).
    void cmdGrpOn_Click(int i);
    void cmdGrpOff_Click(int i);
    void cmdGrp_MouseDown(int i, bool off, Qt::MouseButton button);
    void Command2_Click(int i); // delayed group
    void cmdPanic_Click();
    void tmrPanic_Timer();
    void ckbGroups_Click();
    void lblGrpLbl_DblClick(int i);
    void cmdCreateGr_Click();
    // Tags of the group buttons: "timer" while strtGroup runs them.
    std::array<QString, 8> cmdGrpOnTag;
    std::array<QString, 8> cmdGrpOffTag;
    EventLabel *Label12 = nullptr; // "Show Groups"
    PressButton *cmdCreateGr = nullptr;
    // Width of the window with the group panel open / closed, in twips.
    static constexpr int kGroupsOpenTwips = 6400;
    static constexpr int kGroupsClosedTwips = 4300;

    // The rest of the pop-up menu.
    QAction *mnuUpdate = nullptr;
    QAction *mnuAbout = nullptr;
    QAction *mnuCancel = nullptr;
    Mailbox Text2; // mirror of the timers switch, "1" / "0"
    void mnuPanicRun_Click();
    void mnuShowLog_Click();
    void mnuManage_Click();
    void mnuPanic_Click();
    void mnuPort_Click();
    void mnuShowPanic_Click();
    void mnuMinToTray_Click();
    void mnuMinOnStart_Click();
    void mnuTips_Click();
    void mnuDisAssociate_Click();
    void mnuHelp_Click();
    void mnuUpdate_Click();
    void mnuAbout_Click();
    // The language switch; true when the program is closing for a restart.
    bool mnuLanguage_Click(int i);
    void Check1_Click();
    void Check1_MouseUp(Qt::MouseButton button);
    // The tray tip: caption, timers state and Check1's text slot.
    QString TrayTipText() const;
    void RefreshTrayTip();

    // Window modes.
    void lblMin_Click();
    void lblMin_MouseDown(Qt::MouseButton button);
    void tmrStartUp_Timer();
    // A mouse message of the tray icon (see TrayMsg).
    void TrayMouse(int message);
    void lblShowFavs_Click();
    void mnuRegular_Click();
    void picIcon_MouseDown(Qt::MouseButton button);
    // A file dropped onto the window / onto the logo.
    void DropOnWindow(const QString &path);
    void DropOnLogo(const QString &path);
    void mouseMoveEvent(QMouseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    // lblIndicate is up: a timer macro is running.
    bool timerIndicatorShown() const;

private:
    void GroupRun(int i, bool off);
    void ResetHoverLooks(bool full);
    void SetGroupButtonsVisible(bool visible);
    void ApplyMinimizeSave(int first, int last);

signals:
    // The program's end (the unload event finished); the program quits.
    void programEnded();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    void buildMenu();
    void connectHandlers();
    // The steps of buildControls and connectHandlers.
    void buildTitleStrip();
    void buildUnitRows();
    void buildCommandRows();
    void buildGroupPanel();
    void buildTimers();
    void connectUnitButtons();
    void connectWindowButtons();
    // The steps of SetupGroupsPanicMenusModes.
    void connectGroupButtons();
    void connectPanicAndGroupPanel();
    void connectOptionHolders();
    void connectTimersSwitch();
    void connectMenuCommands();
    void connectWindowModes();
    void clickSound(bool skipWhenRecording, bool groupRecordingToo);
    void focusToFocus();
    void sendFrame(const QString &frame);
    // Sends the unit command of row index (action 0 on, 1 off) to the
    // chosen house and passes it on to the recorder; returns the code, or an
    // empty text (logged under procName) when no house is chosen yet.
    QString sendUnitCommand(int index, int action, const QString &procName);
    void writeTimersMailbox(const QString &text);
    void showTimersWindow();
    void repeatLoop(bool bright, Qt::MouseButton button);
    void playNextMacro();
    bool portReady() const;
    // Shows in the title strip that handed-over macros wait for the port.
    void showMacroWaiting(bool waiting);
    void setToolTipFor(QWidget *w, const QString &tip);
    void updateTip(QObject *control);
    void BuildLanguageMenu();

    SerialLink *m_link = nullptr;
    std::unique_ptr<SerialLink> m_ownLink;
    Mailbox m_lblGrp;
    Mailbox m_lblGrpSave;
    Mailbox m_txtCommand;
    QString m_check1Text;
    std::array<QPixmap, 5> m_images;
    int m_lampPicture = 1;
    int m_slidePicture = 3;
    bool m_flashLit = false;
    int m_editRow = -1;      // row of an open description edit
    int m_editHouse = -1;    // house index the edit was opened under
    bool m_editBank = false; // bank the edit was opened under
    bool m_committing = false;
    QStringList m_croQueue;
    bool m_croPlaying = false;
    bool m_macroWaiting = false;
    bool m_afterStartDone = false;
    bool m_unloaded = false;
    bool m_inClockTick = false; // the clock's tick handler is running
    bool m_exiting = false;
    bool m_indicatorOn = false;
};

// Installs the console: the main window's factory (creating the window runs
// its initialise and load events), and the macro and preferences windows it
// reaches through their services.
void InstallConsole();

} // namespace qelt
