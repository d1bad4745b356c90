#pragma once

#include "core/Mailbox.h"
#include "macros/MacroServices.h"
#include "macros/MacroValidation.h"

#include <QString>
#include <QWidget>

class QCheckBox;
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

// The folder whose macro files the editor lists and opens, and the macro
// file the grid loads.
inline QString MacroFolder;
inline QString CroFileName;

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
    Mailbox &lblCroSave() override { return m_lblCroSave; }
    Mailbox &lblGrpSave() override { return m_lblGrpSave; }
    void clearGroupHold() override {}
    bool macroRecording() const override;
    bool groupRecording() const override { return false; }

    // Controls, under the names the handlers use.
    QTabWidget *sTab;
    QTableWidget *Grid1;
    QLineEdit *txtFileName;
    QLineEdit *chPause;
    QLabel *lblStatus;
    QPushButton *cmdOpenM, *cmdSave, *cmdSaveAs, *cmdClearAll, *cmdCheckGrid, *cmdClearRow;
    QCheckBox *chkCroRecord;
    QRadioButton *Option2[2];
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
    void AddRecRow();

    // Running
    void cmdRun_Click();
    void cmdTest_Click();
    void HScroll1_Change();
    void HScroll2_Change();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    void buildControls();
    void showRows();
    void showRow(int index);
    void setFileName(const QString &path);
    bool writeGrid(const QString &path);
    void runSelected(bool testMode);
    void refreshFile1();
    void stopRecordingFlash();
    void ensureLoaded();

    MacroRows m_rows = EmptyMacroRows();
    Mailbox m_lblCroSave;
    Mailbox m_lblGrpSave;
    bool m_loaded = false;
    bool m_running = false;
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
