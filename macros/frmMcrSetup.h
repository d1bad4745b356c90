#pragma once

#include "core/Mailbox.h"
#include "core/services/MacroServices.h"
#include "logic/Globals.h"
#include "logic/MacroValidation.h"

#include <QString>
#include <QWidget>

class QAction;
class QCheckBox;
class QComboBox;
class QFrame;
class QMenu;
class QPlainTextEdit;
class QGridLayout;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QScrollBar;
class QTabWidget;
class QTableWidget;
class QTimer;

namespace qelt {

// " Setup Macros & Groups": the macro grid with its checks and file
// commands, recording from the console, and playing macro files from the
// "Manage Macros" page. Made on first use, hidden, and kept until the
// program ends; unload() saves its position, stops a run and hides it.
class frmMcrSetup : public QWidget, public MacroEditorService {
    Q_OBJECT
public:
    explicit frmMcrSetup(QWidget *parent = nullptr);

    // MacroEditorService
    QWidget *widget() override { return this; }
    void showPage(int sTabPage, int groupRow = -1) override;
    void unload() override;
    bool mayExit() override;
    Mailbox &lblCroSave() override { return m_lblCroSave; }
    Mailbox &lblGrpSave() override { return m_lblGrpSave; }
    bool macroRecording() const override;

    // Controls, under the names the handlers use.
    QTabWidget *sTab;
    QTableWidget *Grid1;
    QLineEdit *txtFileName;
    QLineEdit *chPause;
    QLabel *lblStatus;
    QPushButton *cmdOpenM, *cmdSave, *cmdSaveAs, *cmdClearAll, *cmdCheckGrid, *cmdClearRow;
    QCheckBox *chkCroRecord;
    QRadioButton *Option2[2]; // pauses while recording: 0 "do during", 1 "do later"
    QLabel *lblRecNum, *Label5, *lblCroW;
    QLabel *Label14, *Label17;
    QScrollBar *HScroll2;
    QListWidget *File1;
    QPushButton *cmdRun, *cmdTest, *cmdDelete, *cmdRefresh;
    QScrollBar *HScroll1;
    QLabel *Label16, *lblTestTime, *lblMname, *lblPath;
    QPushButton *cmdClose, *cmdCancel, *cmdFocus;
    QTimer *tmrFlashMain;

    // The grid as data; the widget shows it.
    const MacroRows &rows() const { return m_rows; }
    bool MacroChanged = false;
    bool StopRun = false;
    double GroupDelay = 0.6;
    int RecordRow = 0;
    int RecordedRows = 0;
    bool loaded() const { return m_loaded; }

    // Grid and validation
    void ClearGrid();
    void LoadCro();
    void FixGrid();
    void cmdCheckGrid_Click();
    void cmdClearRow_Click();
    void setCurrentRow(int row); // 1-based grid row
    int currentRow() const;
    void chPause_Show(int row); // the inline pause editor over a Pause cell
    void chPause_KeyPress(QChar key);
    void chPause_LostFocus();
    // A pause still open in the inline editor is put into its cell before a
    // file command saves or clears the rows.
    void commitPauseEdit();

    // Window and file commands
    void Form_Load();
    void Form_Unload();
    void cmdOpenM_Click();
    void cmdSave_Click();
    void cmdSaveAs_Click();
    void cmdClearAll_Click();
    void cmdDelete_Click();
    void cmdRefresh_Click();
    void cmdClose_Click();
    void cmdCancel_Click();
    void txtFileName_Change();

    // Recording
    void chkCroRecord_Click();
    void lblCroSave_Change();
    bool AddRecRow(); // false when no row was added

    // Running
    void cmdRun_Click();
    void cmdTest_Click();
    void HScroll1_Change();
    void HScroll2_Change();

    // --- manage page: file list, listing, backups ---
    // The backup area of the "Manage Macros" page: Command1 "Backup All
    // Macros", Command4 "Backup a Macro", cmdRestoreCro "Restore All Macros",
    // cmdDelCro "Delete Full Backup", Command2 "Restore a Macro" (opens the
    // backup list File2 over File1, with Label18 in place of lblPath).
    QListWidget *File2 = nullptr;
    QLabel *Label18 = nullptr;
    QPushButton *Command1 = nullptr, *Command4 = nullptr, *cmdRestoreCro = nullptr,
                *cmdDelCro = nullptr, *Command2 = nullptr;
    QString Command2Tag; // "B" while the restore list is open
    QPushButton *cmdHelp = nullptr;
    QString Text1; // the listing as last built by MakeListing
    // File list
    void File1_Click();
    void File1_DblClick();
    void File1_OLEDragDrop(const QStringList &files);
    void cmdHelp_Click();
    // Listing, preview and printing
    void MakeListing();
    void mnuPreview_Click();
    void mnuPrintConts_Click();
    // Backups
    void Command1_Click();
    void Command4_Click();
    void cmdRestoreCro_Click();
    void cmdDelCro_Click();
    void Command2_Click();
    void File2_Click();
    void File2_DblClick();
    void refreshFile2();
    // Builds the page's file-list and backup controls into the page layout.
    void buildManagePage(QWidget *page, QGridLayout *layout);
    // At load: backup buttons enabled when a backup exists.
    void manageLoad();
    // Delete Macro while the backup list is open: deletes the selected backup copy.
    void deleteSelectedBackup();

private:
    bool loadSelectedForListing();
    bool prepareBackup(bool translated);
    void setBackupButtons(bool on);
    void closeRestoreList();
    bool m_backupBusy = false;
    // --- end of manage page ---

    // --- groups page, quick-edit panel, tabs and menus ---
public:
    // Groups page: pick one of the eight groups, record its ON commands
    // from the console, label, save or delete it.
    QComboBox *cbGroup = nullptr;
    QLineEdit *txtGrName = nullptr;
    QPlainTextEdit *txtGrpContents = nullptr;
    QListWidget *lstGrFix = nullptr, *lstGrRecorded = nullptr;
    QListWidget *lstGrp1 = nullptr, *lstGrphold = nullptr; // hidden
    QLabel *lbl3 = nullptr, *lblGrpCounter = nullptr, *lblrecW = nullptr, *Label10 = nullptr;
    QCheckBox *chkRec = nullptr;
    QPushButton *cmdSaveGr = nullptr, *cmdStartOver = nullptr, *cmdDelGrCmd = nullptr,
                *cmdLabelOnly = nullptr, *cmdDeleteGroup = nullptr;
    int GroupIndex = 0;
    void clearGroupHold() override;
    bool groupRecording() const override;
    void cbGroup_Click();
    void chkRec_Click();
    void lblGrpSave_Change();
    void cmdSaveGr_Click();
    void cmdStartOver_Click();
    void cmdDelGrCmd_Click();
    void lstGrRecorded_Click();
    void cmdLabelOnly_Click();
    void cmdDeleteGroup_Click();
    // Plays the hold list (not called by any other window).
    void test();

    // Quick-edit panel beside the grid, covered by a sliding lid.
    QFrame *Frame1 = nullptr, *FrameLid = nullptr;
    QPushButton *lblLid = nullptr;
    QLabel *lblCloseLid = nullptr;
    QLineEdit *txtHouse = nullptr, *txtUnit = nullptr, *txtAction = nullptr, *txtPause = nullptr,
              *txtItemNum = nullptr;
    QLabel *txtIPause = nullptr;
    QComboBox *cbHouse = nullptr, *cbUnit = nullptr, *cbAction = nullptr;
    // Insert modes: 0 replace selected, 1 add as row number, 2 add to end.
    QRadioButton *Option1[3] = {};
    QPushButton *Command3 = nullptr;
    QLabel *Label1 = nullptr, *Label3 = nullptr;
    // The code palette: 0-15 houses A-P, 16-31 units 1-16, 32-40 PRE ALL BRI
    // DIM ALN ALF AUF ON OFF.
    QLabel *Label12[41] = {};
    int lidHeight() const { return m_lidHeight; } // twips
    void lblLid_Click();
    void mnuCloseLid_Click();
    void quickBox_Change();
    // Key filters: false drops the key (the box may have changed it).
    bool quickBox_KeyPress(QLineEdit *box, QChar key);
    void txtUnit_LostFocus();
    void txtAction_LostFocus();
    void txtPause_LostFocus();
    void quickBox_DblClick(QLineEdit *box);
    void picker_LostFocus(QComboBox *picker);
    void Option1_Click(int index);
    void Command3_Click();
    void Label12_MouseDown(int index);
    void Grid1_Click();
    void Grid1_DblClick(int row, int column); // 1-based row
    void Grid1_OLEDragDrop(const QStringList &files);

    // Page tabs, pop-up menu, folder indicator.
    QMenu *pop1 = nullptr;
    QAction *mnuOpen = nullptr, *mnuPrintConts = nullptr, *mnuPreview = nullptr,
            *mnuSound = nullptr, *mnuOpenLid = nullptr, *mnuCloseLid = nullptr, *mnuLine1 = nullptr,
            *mnuHelp = nullptr, *mnuCancel = nullptr, *mnuExit = nullptr;
    QTimer *tmrManage = nullptr;
    void sTab_MouseDown(Qt::MouseButton button);
    void sTab_MouseUp();
    void tmrManage_Timer();
    void lblPath_DblClick();
    void mnuOpen_Click();
    // Pops pop1 up at the mouse unless it is disabled.
    void popupMenu();

private:
    void buildGroupsPage();
    void buildGroupControls(QWidget *page);
    void layOutGroupsPage(QWidget *page);
    void connectGroupsPage();
    void buildQuickEdit();
    void buildQuickFields(QWidget *page);
    QWidget *buildPalette(QWidget *page);
    void placeQuickEdit(QWidget *page, QWidget *palette);
    void connectQuickBoxes();
    void connectQuickPanel();
    void connectGridEvents();
    void buildTabsAndMenus();
    void groupsLoad();    // at window load: the group selector
    void quickEditLoad(); // at window load: the lid closed, the pickers hidden
    void setGroupCounter(const QString &text);
    void setGroupToolTips();
    void showPicker(QComboBox *picker, QLineEdit *box, const QString &fallback);
    void showRowInPanel();
    void placeLid();
    int m_lidHeight = 985; // twips; the grip rides 250 twips above its lower edge
    bool m_lidMoving = false;
    // --- end of groups page, quick-edit panel, tabs and menus ---

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    void buildControls();
    // The steps of buildControls, in order.
    void buildMacroPage();
    void buildMacroGrid(QWidget *macroPage);
    void buildGroupDelayPage();
    void buildManageTab();
    void buildStatusRow();
    void connectControls();
    void showRows();
    void showRow(int index);
    void clearPanelRow(); // empties the panel's item number and pause label
    // A recording starts with the main window in front, where the commands
    // to record are clicked; they are sent too unless "SendOnRecord" is off.
    void showMainForRecording();
    void setFileName(const QString &path);
    bool writeGrid(const QString &path);
    // The Close button's question about unsaved changes (Yes saves, No
    // drops them): false when the window must stay (Cancel, or the save did
    // not happen).
    bool mayClose();
    // Before rows with unsaved changes are replaced: asks whether to save
    // them first. False when the user cancels or the save did not happen.
    bool mayReplaceRows();
    void runSelected(bool testMode);
    void refreshFile1();
    void stopRecordingFlash();
    void ensureLoaded();

    MacroRows m_rows = EmptyMacroRows();
    Mailbox m_lblCroSave;
    Mailbox m_lblGrpSave;
    bool m_loaded = false;
    bool m_running = false;
    bool m_waitingForPause = false; // the recorder asks for a command's pause
    bool m_settingFileName = false;
    bool m_acceptKey = false;
    int m_editRow = 0;
    int m_editCol = 0;
};

// The editor of this run, made on first use (a QApplication must exist).
frmMcrSetup *McrSetupWindow();
// The editor service for the console; it makes the window on the first call
// that needs it, so it may be registered before the application exists.
MacroEditorService *McrSetupService();

} // namespace qelt
