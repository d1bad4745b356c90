#include "macros/frmMcrSetup.h"

#include "core/Dialogs.h"
#include "core/LazyWindow.h"
#include "core/Sounds.h"
#include "core/TypedCharacter.h"
#include "core/WindowHelpers.h"
#include "core/services/ConsoleServices.h"
#include "core/services/SchedulerServices.h"
#include "logic/EditorRun.h"
#include "logic/ErrorLog.h"
#include "logic/FileHelpers.h"
#include "logic/Globals.h"
#include "logic/Lang.h"
#include "logic/MacroBackup.h"
#include "logic/MacroFile.h"
#include "logic/ProgramFolder.h"
#include "logic/Settings.h"
#include "logic/X10Codes.h"
#include "macros/NamedControls.h"
#include "macros/frmMDelay.h"
#include "macros/frmRunMcr.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <cmath>

namespace qelt {

namespace {

frmMcrSetup *g_window = nullptr;

// Grid colours (the settings' &H00BBGGRR values, as RGB).
const QColor kFreshNumber(0xFF, 0xE0, 0xC0);  // &HC0E0FF
const QColor kFreshRunning(0xC0, 0xC0, 0xFF); // &HFFC0C0
const QColor kPanelNumber(0xFF, 0xF4, 0xE0);  // the item-number box
const QColor kPanelRunning(0xE0, 0xE0, 0xFF); // the running-pause label
const QColor kErrorCell(0xFF, 0x80, 0x80);    // &H8080FF
const QColor kHeaderColours[3] = {QColor(0xFF, 0xFF, 0xC0), QColor(0xC0, 0xFF, 0xFF),
                                  QColor(0xC0, 0xFF, 0xC0)};

MainWindowService *Main()
{
    return MainWindow();
}

double NumberOrZero(const QString &text)
{
    double value = 0.0;
    PauseSeconds(text, &value);
    return value;
}

// folder + "/" + name, or "" when name is not a plain file name of that
// folder (empty, ".", "..", or holding a path separator).
QString InFolder(const QString &folder, const QString &name)
{
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..") ||
        name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\')))
        return {};
    return QDir(folder).filePath(name);
}

// A long name shown as "..." and its last 45 characters.
QString ShortName(const QString &name)
{
    return name.size() >= 46 ? QStringLiteral("...") + name.right(45) : name;
}

class LazyEditor : public MacroEditorService {
public:
    QWidget *widget() override { return McrSetupWindow(); }
    void showPage(int page, int groupRow) override { McrSetupWindow()->showPage(page, groupRow); }
    void unload() override
    {
        if (g_window)
            g_window->unload();
    }
    bool mayExit() override { return !g_window || g_window->mayExit(); }
    Mailbox &lblCroSave() override { return McrSetupWindow()->lblCroSave(); }
    Mailbox &lblGrpSave() override { return McrSetupWindow()->lblGrpSave(); }
    void clearGroupHold() override
    {
        if (g_window)
            g_window->clearGroupHold();
    }
    bool macroRecording() const override { return g_window && g_window->macroRecording(); }
    bool groupRecording() const override { return g_window && g_window->groupRecording(); }
};

} // namespace

frmMcrSetup *McrSetupWindow()
{
    return LazyWindow(g_window);
}

MacroEditorService *McrSetupService()
{
    static LazyEditor editor;
    return &editor;
}

frmMcrSetup::frmMcrSetup(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frmMcrSetup"));
    setMouseTracking(true);
    buildControls();
    buildGroupsPage();
    buildQuickEdit();
    buildTabsAndMenus();
    m_lblCroSave.setHandler([this](const QString &) { lblCroSave_Change(); });
    connect(MDelayWindow(), &frmMDelay::continued, this, [this](bool same) {
        if (isVisible() && !chkCroRecord->isChecked())
            activateWindow();
        Option2[same ? 1 : 0]->setChecked(true);
    });
    ensureLoaded();
}

void frmMcrSetup::buildControls()
{
    sTab = new QTabWidget(this);
    sTab->setObjectName(QStringLiteral("sTab"));
    buildMacroPage();
    buildGroupDelayPage();
    buildManageTab();
    buildStatusRow();
    connectControls();
}

// The "Setup Macros" page: the grid, the file buttons and the recorder box.
void frmMcrSetup::buildMacroPage()
{
    auto *macroPage = new QWidget;
    buildMacroGrid(macroPage);
    txtFileName = new QLineEdit(macroPage);
    txtFileName->setObjectName(QStringLiteral("txtFileName"));
    txtFileName->setReadOnly(true);
    txtFileName->setPlaceholderText(LangCap(QStringLiteral("(unnamed)")));

    cmdOpenM = NamedButton(this, "cmdOpenM", "Ope&n");
    cmdSave = NamedButton(this, "cmdSave", "&Save");
    cmdSaveAs = NamedButton(this, "cmdSaveAs", "Save &As");
    cmdClearAll = NamedButton(this, "cmdClearAll", "Clear All");
    cmdCheckGrid = NamedButton(this, "cmdCheckGrid", "Fix it");
    cmdClearRow = NamedButton(this, "cmdClearRow", "Delete Row");
    chkCroRecord = new QCheckBox(LangCap(QStringLiteral("Rec")), this);
    chkCroRecord->setObjectName(QStringLiteral("chkCroRecord"));
    Option2[0] = new QRadioButton(LangCap(QStringLiteral("do during")), this);
    Option2[0]->setToolTip(QStringLiteral(" Add pause times while recorder "));
    Option2[1] = new QRadioButton(LangCap(QStringLiteral("do later")), this);
    Option2[1]->setToolTip(
        QStringLiteral(" Fast Record - Add pause times manually, after recording "));
    Option2[1]->setChecked(true);
    lblRecNum = NamedLabel(this, "lblRecNum", QStringLiteral("0"));
    Label5 = NamedLabel(this, "Label5", LangCap(QStringLiteral("Recorded Items")));
    lblCroW = NamedLabel(this, "lblCroW", LangCap(QStringLiteral("Recording Macro")));
    lblCroW->setStyleSheet(QStringLiteral("color: #c00000; font-weight: bold"));
    // Its row keeps its room while hidden, so that the window neither grows
    // when a recording starts nor stays taller after it.
    QSizePolicy keepRoom = lblCroW->sizePolicy();
    keepRoom.setRetainSizeWhenHidden(true);
    lblCroW->setSizePolicy(keepRoom);
    for (QWidget *w : {static_cast<QWidget *>(lblRecNum), static_cast<QWidget *>(Label5),
                       static_cast<QWidget *>(lblCroW)})
        w->hide();

    auto *recordBox = new QGroupBox(LangCap(QStringLiteral("Record")), macroPage);
    auto *recordLayout = new QGridLayout(recordBox);
    recordLayout->addWidget(chkCroRecord, 0, 0);
    recordLayout->addWidget(Label5, 0, 1);
    recordLayout->addWidget(lblRecNum, 0, 2);
    recordLayout->addWidget(new QLabel(LangCap(QStringLiteral("Pauses:")), recordBox), 1, 0);
    recordLayout->addWidget(Option2[0], 1, 1);
    recordLayout->addWidget(Option2[1], 1, 2);
    recordLayout->addWidget(lblCroW, 2, 0, 1, 3);

    auto *fileButtons = new QGridLayout;
    fileButtons->addWidget(cmdOpenM, 0, 0);
    fileButtons->addWidget(cmdSave, 0, 1);
    fileButtons->addWidget(cmdSaveAs, 1, 0);
    fileButtons->addWidget(cmdClearAll, 1, 1);
    fileButtons->addWidget(cmdCheckGrid, 2, 0);
    fileButtons->addWidget(cmdClearRow, 2, 1);

    auto *side = new QVBoxLayout;
    side->addLayout(fileButtons);
    side->addWidget(recordBox);
    side->addStretch(1);

    auto *macroLayout = new QGridLayout(macroPage);
    macroLayout->addWidget(Grid1, 0, 0);
    macroLayout->addLayout(side, 0, 1);
    macroLayout->addWidget(txtFileName, 1, 0, 1, 2);
    macroLayout->setColumnStretch(0, 1);
    sTab->addTab(macroPage, LangCap(QStringLiteral("Setup Macros")));
}

// Grid1 with its headings and widths, and the pause editor inside it.
void frmMcrSetup::buildMacroGrid(QWidget *macroPage)
{
    Grid1 = new QTableWidget(macroPage);
    Grid1->setObjectName(QStringLiteral("Grid1"));
    Grid1->setColumnCount(kMacroColumns);
    Grid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Grid1->setSelectionMode(QAbstractItemView::SingleSelection);
    Grid1->verticalHeader()->hide();
    const QStringList headers =
        LangCap(QStringLiteral("House Code|Unit Code|Action|Pause|Row Num|Running Pause"))
            .split(QLatin1Char('|'));
    for (int c = 0; c < kMacroColumns; ++c) {
        auto *item =
            new QTableWidgetItem(headers.value(c).replace(QLatin1Char(' '), QLatin1Char('\n')));
        if (c < 3)
            item->setBackground(kHeaderColours[c]);
        Grid1->setHorizontalHeaderItem(c, item);
        Grid1->setColumnWidth(c, (c == ColRunning ? 750 : 550) / kTwipsPerPixel + 14);
    }
    Grid1->horizontalHeader()->setFixedHeight(450 / kTwipsPerPixel + 4);
    Grid1->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    Grid1->horizontalHeader()->setStretchLastSection(true);
    Grid1->verticalHeader()->setDefaultSectionSize(20);
    // Wide enough for all six columns beside a vertical scroll bar, so the
    // running pause is never hidden behind a horizontal one.
    int gridWidth = 2 * Grid1->frameWidth() +
                    Grid1->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, Grid1) + 2;
    for (int c = 0; c < kMacroColumns; ++c)
        gridWidth += Grid1->columnWidth(c);
    Grid1->setMinimumWidth(gridWidth);

    chPause = new QLineEdit(Grid1->viewport());
    chPause->setObjectName(QStringLiteral("chPause"));
    chPause->setAlignment(Qt::AlignCenter);
    chPause->hide();
    chPause->installEventFilter(this);
    // Deleting, cutting and pasting change the pause as typing does.
    connect(chPause, &QLineEdit::textEdited, this, [this] {
        if (!m_rows.first()[ColHouse].isEmpty())
            MacroChanged = true;
    });
}

// The "Setup Groups" page: the group delay the close command stores.
void frmMcrSetup::buildGroupDelayPage()
{
    auto *groupPage = new QWidget;
    Label14 = NamedLabel(this, "Label14", LangCap(QStringLiteral("Group Delay")));
    Label17 = NamedLabel(this, "Label17", QStringLiteral(".6"));
    HScroll2 = new QScrollBar(Qt::Horizontal, this);
    HScroll2->setObjectName(QStringLiteral("HScroll2"));
    HScroll2->setRange(4, 20);
    HScroll2->setValue(6);
    auto *groupLayout = new QGridLayout(groupPage);
    groupLayout->addWidget(Label14, 0, 0);
    groupLayout->addWidget(HScroll2, 0, 1);
    groupLayout->addWidget(Label17, 0, 2);
    groupLayout->setColumnStretch(1, 1);
    groupLayout->setRowStretch(1, 1);
    sTab->addTab(groupPage, LangCap(QStringLiteral("Setup Groups")));
}

// The "Manage Macros" page: the file list, run, test and delete.
void frmMcrSetup::buildManageTab()
{
    auto *managePage = new QWidget;
    File1 = new QListWidget(managePage);
    File1->setObjectName(QStringLiteral("File1"));
    // The folder and the file names shown here are as long as the file system
    // allows; they are cut in the middle to the room the window has, never
    // widening it.
    lblPath = new StatusLabel(this, Qt::ElideMiddle);
    lblPath->setObjectName(QStringLiteral("lblPath"));
    lblMname = new StatusLabel(this, Qt::ElideMiddle);
    lblMname->setObjectName(QStringLiteral("lblMname"));
    cmdRun = NamedButton(this, "cmdRun", "Run Macro");
    cmdTest = NamedButton(this, "cmdTest", "Test Macro");
    cmdDelete = NamedButton(this, "cmdDelete", "Delete Macro");
    cmdRefresh = NamedButton(this, "cmdRefresh", "Refresh List");
    Label16 = NamedLabel(this, "Label16", LangCap(QStringLiteral("test speed")));
    lblTestTime = NamedLabel(this, "lblTestTime", QStringLiteral(" 60 sec."));
    HScroll1 = new QScrollBar(Qt::Horizontal, this);
    HScroll1->setObjectName(QStringLiteral("HScroll1"));
    HScroll1->setRange(1, 60);
    HScroll1->setValue(60);
    auto *manageSide = new QVBoxLayout;
    manageSide->addWidget(cmdRun);
    manageSide->addWidget(cmdTest);
    auto *speed = new QHBoxLayout;
    speed->addWidget(Label16);
    speed->addWidget(lblTestTime);
    manageSide->addLayout(speed);
    manageSide->addWidget(HScroll1);
    manageSide->addSpacing(8);
    manageSide->addWidget(cmdDelete);
    manageSide->addWidget(cmdRefresh);
    manageSide->addStretch(1);
    auto *manageLayout = new QGridLayout(managePage);
    manageLayout->addWidget(lblPath, 0, 0, 1, 2);
    manageLayout->addWidget(File1, 1, 0);
    manageLayout->addLayout(manageSide, 1, 1);
    // Under the backup buttons, across the page: room for a name and what
    // was done with it.
    manageLayout->addWidget(lblMname, 3, 0, 1, 2);
    manageLayout->setColumnStretch(0, 1);
    buildManagePage(managePage, manageLayout);
    sTab->addTab(managePage, LangCap(QStringLiteral("Manage Macros")));
}

// The status line and the Close and Cancel buttons under the tabs.
void frmMcrSetup::buildStatusRow()
{
    lblStatus = new StatusLabel(this);
    lblStatus->setObjectName(QStringLiteral("lblStatus"));
    lblStatus->setFrameShape(QFrame::StyledPanel);
    lblStatus->setMinimumHeight(22);
    cmdClose = NamedButton(this, "cmdClose", " Close ");
    cmdCancel = NamedButton(this, "cmdCancel", "&Cancel");
    cmdFocus = NamedButton(this, "cmdFocus", "");
    cmdFocus->setFixedSize(1, 1);
    cmdFocus->setFlat(true);

    auto *bottom = new QHBoxLayout;
    bottom->addWidget(lblStatus, 1);
    bottom->addWidget(cmdFocus);
    bottom->addWidget(cmdClose);
    bottom->addWidget(cmdCancel);
    bottom->addWidget(cmdHelp);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(sTab, 1);
    layout->addLayout(bottom);

    tmrFlashMain = new QTimer(this);
    tmrFlashMain->setInterval(500);
    connect(tmrFlashMain, &QTimer::timeout, this, [] {
        if (MainWindowService *main = Main())
            main->setRecordingFlash(true);
    });
}

void frmMcrSetup::connectControls()
{
    connect(cmdOpenM, &QPushButton::clicked, this, [this] { cmdOpenM_Click(); });
    connect(cmdSave, &QPushButton::clicked, this, [this] { cmdSave_Click(); });
    connect(cmdSaveAs, &QPushButton::clicked, this, [this] { cmdSaveAs_Click(); });
    connect(cmdClearAll, &QPushButton::clicked, this, [this] { cmdClearAll_Click(); });
    connect(cmdCheckGrid, &QPushButton::clicked, this, [this] { cmdCheckGrid_Click(); });
    connect(cmdClearRow, &QPushButton::clicked, this, [this] { cmdClearRow_Click(); });
    connect(cmdDelete, &QPushButton::clicked, this, [this] { cmdDelete_Click(); });
    connect(cmdRefresh, &QPushButton::clicked, this, [this] { cmdRefresh_Click(); });
    connect(cmdClose, &QPushButton::clicked, this, [this] { cmdClose_Click(); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
    connect(cmdRun, &QPushButton::clicked, this, [this] { cmdRun_Click(); });
    connect(cmdTest, &QPushButton::clicked, this, [this] { cmdTest_Click(); });
    connect(chkCroRecord, &QCheckBox::toggled, this, [this](bool) { chkCroRecord_Click(); });
    connect(HScroll1, &QScrollBar::valueChanged, this, [this](int) { HScroll1_Change(); });
    connect(HScroll2, &QScrollBar::valueChanged, this, [this](int) { HScroll2_Change(); });
    connect(txtFileName, &QLineEdit::textChanged, this,
            [this](const QString &) { txtFileName_Change(); });
    cmdCheckGrid->installEventFilter(this);
}

// ---- window ----

void frmMcrSetup::ensureLoaded()
{
    if (!m_loaded)
        Form_Load();
}

void frmMcrSetup::Form_Load()
{
    m_loaded = true;
    // Position in twips from the corner of the primary screen's usable
    // area, kept on the screen.
    const QRect screen = QGuiApplication::primaryScreen()
                             ? QGuiApplication::primaryScreen()->availableGeometry()
                             : QRect();
    const double left = ReadTwipsSetting(QStringLiteral("McrMainLeft"), 500);
    const double top = ReadTwipsSetting(QStringLiteral("McrMainTop"), 500);
    resize(std::max(width(), 560), 6160 / kTwipsPerPixel);
    MoveOnScreenTwips(this, left + screen.left() * double(kTwipsPerPixel),
                      top + screen.top() * double(kTwipsPerPixel));

    MacroFolder =
        GetSet(QStringLiteral("Database16"), QStringLiteral("CurrentExePath"), ProgramFolder());
    setWindowTitle(QStringLiteral(" ") + LangCap(QStringLiteral("Setup")) + QStringLiteral(" ") +
                   LangCap(QStringLiteral("Macros")) + QStringLiteral(" & ") +
                   LangCap(QStringLiteral("Groups")));
    if (MainWindowService *main = Main())
        main->lblGrpSave().setText({});

    refreshFile1();
    m_settingFileName = true;
    txtFileName->clear();
    m_settingFileName = false;
    ClearGrid();
    setCurrentRow(1);

    MacroChanged = false;
    StopRun = false;
    lblStatus->clear();
    HScroll1_Change();
    lblPath->setText(MacroFolder);

    bool ok = false;
    GroupDelay =
        GetSet(QStringLiteral("Database16"), QStringLiteral("GrDelay"), QStringLiteral("6"))
            .toDouble(&ok);
    if (!ok)
        GroupDelay = 6;
    HScroll2->setValue(int(std::lround(GroupDelay)));
    HScroll2_Change();
    manageLoad();
    quickEditLoad();
    groupsLoad();
}

void frmMcrSetup::Form_Unload()
{
    StopRun = true;
    // Recording ends with the window, so the console sends again.
    chkCroRecord->setChecked(false);
    chkRec->setChecked(false);
    if (frmMDelay *pause = MDelayWindowIfLoaded())
        pause->hide();
    if (MainWindowService *main = Main()) {
        main->setRecordingFlash(false);
        main->setLamp(false);
    }
    if (!isMinimized()) {
        const QRect screen = QGuiApplication::primaryScreen()
                                 ? QGuiApplication::primaryScreen()->availableGeometry()
                                 : QRect();
        SaveTwipsSetting(QStringLiteral("McrMainLeft"), x() - screen.left(), 500);
        SaveTwipsSetting(QStringLiteral("McrMainTop"), y() - screen.top(), 500);
    }
    chPause->hide();
    m_loaded = false;
    hide();
}

void frmMcrSetup::showPage(int sTabPage, int groupRow)
{
    ensureLoaded();
    if (sTabPage >= 0 && sTabPage < sTab->count())
        sTab->setCurrentIndex(sTabPage);
    if (sTabPage == 1 && groupRow >= 0 && groupRow < cbGroup->count()) {
        cbGroup->setCurrentIndex(groupRow);
        cbGroup_Click();
    }
    sTab_MouseUp();
    show();
    raise();
    activateWindow();
}

void frmMcrSetup::unload()
{
    if (m_loaded)
        Form_Unload();
}

void frmMcrSetup::closeEvent(QCloseEvent *event)
{
    // The close box asks about unsaved changes like the Close button.
    event->ignore();
    cmdClose_Click();
}

void frmMcrSetup::mouseMoveEvent(QMouseEvent *event)
{
    // Moving over the window's bare area clears a "double click" hint.
    const QString hint = LangCap(QStringLiteral("double click")).left(12);
    if (lblStatus->text().left(12) == hint)
        lblStatus->clear();
    QWidget::mouseMoveEvent(event);
}

bool frmMcrSetup::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == chPause) {
        if (event->type() == QEvent::KeyPress) {
            auto *key = static_cast<QKeyEvent *>(event);
            if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
                chPause_KeyPress(QChar(13));
                return true;
            }
            if (key->key() == Qt::Key_Backspace) {
                chPause_KeyPress(QChar(8));
                return !m_acceptKey;
            }
            // Tab and Shift+Tab leave the cell editor for the grid it sits in
            // (which would otherwise take them to move its current cell under
            // the editor); leaving stores the pause.
            if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
                Grid1->setFocus(Qt::TabFocusReason);
                return true;
            }
            // Esc, cursor keys and shortcuts work as in any box.
            const QChar typed = TypedCharacter(key);
            if (typed.isNull())
                return false;
            chPause_KeyPress(typed);
            return !m_acceptKey;
        }
        // A double click hands the pause to the quick-edit panel's pause box.
        if (event->type() == QEvent::MouseButtonDblClick && txtPause)
            txtPause->setText(chPause->text());
        if (event->type() == QEvent::FocusOut && chPause->isVisible())
            QTimer::singleShot(0, this, [this] {
                if (chPause->isVisible())
                    chPause_LostFocus();
            });
    }
    if (watched == cmdCheckGrid && event->type() == QEvent::Enter)
        lblStatus->setText(LangCap(
            QStringLiteral("Fix It: Checks the editor for errors and attempts to correct them.")));
    return QWidget::eventFilter(watched, event);
}

// ---- grid ----

void frmMcrSetup::showRow(int index)
{
    const MacroRow &row = m_rows.at(index);
    for (int c = 0; c < kMacroColumns; ++c) {
        QTableWidgetItem *item = Grid1->item(index, c);
        if (!item) {
            item = new QTableWidgetItem;
            item->setTextAlignment(Qt::AlignCenter);
            Grid1->setItem(index, c, item);
        }
        item->setText(row[c]);
        QColor back = Qt::white;
        if (c == ColRowNum)
            back = row.numberShade == CellShade::Fresh ? kFreshNumber : kPanelNumber;
        else if (c == ColRunning)
            back = row.numberShade == CellShade::Fresh ? kFreshRunning : kPanelRunning;
        else if (c == ColUnit && row.unitShade == CellShade::Error)
            back = kErrorCell;
        else if (c == ColPause && row.pauseShade == CellShade::Error)
            back = kErrorCell;
        if (row.blank() && c != ColRowNum && c != ColRunning)
            back = Qt::white;
        item->setBackground(back);
        item->setForeground(Qt::black);
    }
}

void frmMcrSetup::showRows()
{
    const int current = Grid1->currentRow();
    const int currentCol = std::max(0, Grid1->currentColumn());
    Grid1->setRowCount(int(m_rows.size()));
    for (int r = 0; r < m_rows.size(); ++r)
        showRow(r);
    if (current >= 0)
        Grid1->setCurrentCell(std::min(current, int(m_rows.size()) - 1), currentCol);
}

void frmMcrSetup::setCurrentRow(int row)
{
    if (row >= 1 && row <= m_rows.size())
        Grid1->setCurrentCell(row - 1, std::max(0, Grid1->currentColumn()));
}

int frmMcrSetup::currentRow() const
{
    return Grid1->currentRow() + 1;
}

void frmMcrSetup::ClearGrid()
{
    m_rows = EmptyMacroRows();
    m_rows[0].numberShade = CellShade::Plain;
    Grid1->clearContents();
    showRows();
    setCurrentRow(1);
    clearPanelRow();
}

void frmMcrSetup::clearPanelRow()
{
    if (txtItemNum)
        txtItemNum->clear();
    if (txtIPause)
        txtIPause->clear();
}

void frmMcrSetup::LoadCro()
{
    ClearGrid();
    if (!FileExists(CroFileName))
        return;
    bool ok = false;
    const QString text = LoadFormatText(CroFileName, &ok);
    if (!ok)
        return;
    m_rows = RowsFromMacroText(text);
    showRows();
    setCurrentRow(1);
}

void frmMcrSetup::FixGrid()
{
    m_editRow = currentRow();
    m_editCol = Grid1->currentColumn();
    ::qelt::FixGrid(m_rows);
    showRows();
    if (m_editRow >= 1)
        Grid1->setCurrentCell(m_editRow - 1, std::max(0, m_editCol));
}

void frmMcrSetup::cmdCheckGrid_Click()
{
    FixGrid();
    Grid1->setFocus();
}

void frmMcrSetup::cmdClearRow_Click()
{
    const int r = currentRow();
    if (r < 1)
        return;
    if (m_rows.size() < 2) {
        DeleteMacroRow(m_rows, r);
        showRows();
        clearPanelRow();
        return;
    }
    if (!DeleteMacroRow(m_rows, r))
        return;
    Grid1->removeRow(r - 1);
    showRows();
    lblStatus->setText(LangCap(QStringLiteral("Row")) + QString::number(r) + QStringLiteral(" ") +
                       LangCap(QStringLiteral("deleted!")));
    setCurrentRow(std::max(1, r - 1));
    if (txtItemNum)
        txtItemNum->setText(QString::number(currentRow()));
    MacroChanged = true;
}

void frmMcrSetup::chPause_Show(int row)
{
    m_editRow = row;
    m_editCol = ColPause;
    Grid1->setCurrentCell(row - 1, ColPause);
    chPause->setGeometry(Grid1->visualItemRect(Grid1->item(row - 1, ColPause)));
    chPause->setText(m_rows.at(row - 1)[ColPause]);
    chPause->show();
    chPause->setFocus();
    chPause->selectAll();
}

void frmMcrSetup::chPause_KeyPress(QChar key)
{
    m_acceptKey = false;
    const ushort code = key.unicode();
    if (code == 13) {
        if (m_editRow >= 1 && m_editRow <= m_rows.size()) {
            m_rows[m_editRow - 1][m_editCol] = chPause->text();
            showRow(m_editRow - 1);
        }
        // Hiding the editor leaves it, which pads and checks the pause.
        chPause_LostFocus();
    } else if ((code >= '0' && code <= ':') || code == 8) {
        m_acceptKey = true;
    } else if (code == '.' && !chPause->text().contains(QLatin1Char('.'))) {
        m_acceptKey = true;
    }
    if (!m_rows.first()[ColHouse].isEmpty())
        MacroChanged = true;
}

void frmMcrSetup::chPause_LostFocus()
{
    if (m_editRow >= 1 && m_editRow <= m_rows.size()) {
        m_rows[m_editRow - 1][m_editCol] = PadPause(chPause->text());
        Grid1->setCurrentCell(m_editRow - 1, m_editCol);
    }
    FixGrid();
    chPause->hide();
}

void frmMcrSetup::commitPauseEdit()
{
    // The editor leaves its cell when the focus moves, but only once events
    // run again: a click on a file command would otherwise act before it.
    if (chPause->isVisible())
        chPause_LostFocus();
}

// ---- file commands ----

void frmMcrSetup::setFileName(const QString &path)
{
    txtFileName->setText(path);
}

void frmMcrSetup::txtFileName_Change()
{
    if (m_settingFileName)
        return;
    CroFileName = txtFileName->text();
    if (!CroFileName.isEmpty()) {
        // The status line spoke of the rows shown before.
        lblStatus->clear();
        LoadCro();
    }
}

void frmMcrSetup::stopRecordingFlash()
{
    if (MainWindowService *main = Main())
        main->setRecordingFlash(false);
}

bool frmMcrSetup::writeGrid(const QString &path)
{
    const MacroRowsToItems result = ItemsFromRows(m_rows);
    const QString notSaved = LangCap(QStringLiteral("Not saved:")) + QStringLiteral(" ");
    if (result.stopRow > 0) {
        // Nothing is written: the file keeps what it held.
        const MacroRow &row = m_rows.at(result.stopRow - 1);
        QString why;
        switch (result.problem) {
        case RowProblem::Blank:
            why = LangCap(QStringLiteral("is empty."));
            break;
        case RowProblem::UnitForAction:
            why = LangCap(QStringLiteral("has the unit")) + QStringLiteral(" \"") + row[ColUnit] +
                  QStringLiteral("\", ") + row[ColAction] + QStringLiteral(" ") +
                  LangCap(QStringLiteral("needs a unit number 1 to 16."));
            break;
        case RowProblem::NoCommand:
            why = LangCap(QStringLiteral("is not a command:")) + QStringLiteral(" ") +
                  row[ColHouse] + QStringLiteral(" ") + row[ColUnit] + QStringLiteral(" ") +
                  row[ColAction];
            break;
        case RowProblem::BadPause:
            why = LangCap(QStringLiteral("has no valid pause."));
            break;
        default:
            why = LangCap(QStringLiteral("has no unit or action."));
            break;
        }
        lblStatus->setText(notSaved + LangCap(QStringLiteral("Row")) +
                           QString::number(result.stopRow) + QStringLiteral(" ") + why);
        return false;
    }
    if (result.items.size() > kMacroMaxLines) {
        lblStatus->setText(notSaved + LangCap(QStringLiteral("a macro holds at most")) +
                           QStringLiteral(" ") + QString::number(kMacroMaxLines) +
                           QStringLiteral(" ") + LangCap(QStringLiteral("lines; this one has")) +
                           QStringLiteral(" ") + QString::number(result.items.size()) +
                           QStringLiteral("."));
        return false;
    }
    QString error;
    if (!WriteMacroFile(path, result.items, &error)) {
        // The grid and its changed flag stay as they are, so nothing is lost.
        lblStatus->setText(LangCap(QStringLiteral("Error")) + QStringLiteral(" ") +
                           LangCap(QStringLiteral("cannot write")) + QStringLiteral(" ") + path);
        LogErr(QStringLiteral("writeGrid"), QStringLiteral("frmMcrSetup"), 75,
               error.isEmpty() ? QStringLiteral("cannot write ") + path : error);
        return false;
    }
    // A pause that did not fit the file's 4 characters was written fitted:
    // the grid, its running totals and the panel show the saved values.
    if (ShowWrittenItems(m_rows, result.items)) {
        FixGrid();
        if (!txtItemNum->text().isEmpty())
            showRowInPanel();
    }
    return true;
}

bool frmMcrSetup::mayReplaceRows()
{
    if (!MacroChanged)
        return true;
    QString note = QStringLiteral("\r\n");
    if (!txtFileName->text().isEmpty())
        note = QStringLiteral("\r\n") + LangCap(QStringLiteral("Click Yes to save changes to")) +
               QStringLiteral("\r\n") + txtFileName->text() + QStringLiteral("\r\n\r\n");
    const int answer =
        Questions(LangCap(QStringLiteral("The commands in the editor have not been saved.")) +
                      note + LangCap(QStringLiteral("Save changes before closing?")),
                  3, LangCap(QStringLiteral("Save Changes to Macro?")), MsgIcon::Exclamation);
    if (answer == 1) {
        cmdSave_Click();
        // A save that was cancelled or failed keeps the editor as it is, so
        // the unsaved commands are not replaced.
        return !MacroChanged;
    }
    return answer == 2;
}

void frmMcrSetup::cmdOpenM_Click()
{
    if (!mayReplaceRows())
        return;
    const QString path =
        Dialogs().openFileName(this, QStringLiteral(" Open Brindlecast Macro File "), MacroFolder,
                               QStringLiteral("Zyv Macro Files (*.cro);;All Files (*)"));
    if (path.isEmpty())
        return;
    CroFileName = path;
    txtFileName->clear();
    setFileName(path);
    const int slash = path.lastIndexOf(QLatin1Char('/'));
    MacroFolder = slash > 0 ? path.left(slash) : QStringLiteral("/");
    lblPath->setText(MacroFolder);
    refreshFile1();
}

void frmMcrSetup::cmdSave_Click()
{
    commitPauseEdit();
    stopRecordingFlash();
    chkCroRecord->setChecked(false);
    const QString name = txtFileName->text();
    if (name.isEmpty() || !name.endsWith(QLatin1String(".cro"))) {
        cmdSaveAs_Click();
        return;
    }
    if (!FileExists(name))
        lblStatus->setText(LangCap(QStringLiteral("File not Found")));
    if (!writeGrid(name))
        return;
    lblStatus->setText(LangCap(QStringLiteral("Save Successful:")) + QStringLiteral("  ") +
                       ShortName(name));
    MacroChanged = false;
    refreshFile1();
}

void frmMcrSetup::cmdSaveAs_Click()
{
    commitPauseEdit();
    stopRecordingFlash();
    chkCroRecord->setChecked(false);
    const QString start = txtFileName->text().isEmpty() ? MacroFolder : txtFileName->text();
    // The dialog does not ask about an existing file: the question below
    // does, once, for the name with its extension.
    const QString path = WithDefaultSuffix(
        Dialogs().saveFileNameUnasked(this, QStringLiteral("Save Macro As"), start,
                                      QStringLiteral("Macro Files (*.cro);;All Files (*)"),
                                      QStringLiteral("cro")),
        QStringLiteral("cro"));
    if (path.isEmpty()) {
        lblStatus->setText(LangCap(QStringLiteral("Error")) +
                           QStringLiteral(" 32755, Cancel was selected."));
        return;
    }
    if (QFileInfo(path).isDir()) {
        lblStatus->setText(LangCap(QStringLiteral("Error")) + QStringLiteral(" 75, ") +
                           LangCap(QStringLiteral("Path/File access error")));
        return;
    }
    if (FileExists(path)) {
        const int answer = Questions(LangCap(QStringLiteral("Are you sure you want to overwrite")) +
                                         QStringLiteral(" ") + path + QStringLiteral(" ?"),
                                     2, LangCap(QStringLiteral("Overwrite File")));
        if (answer != 1)
            return;
    }
    if (!writeGrid(path))
        return;
    m_settingFileName = true;
    txtFileName->clear();
    m_settingFileName = false;
    setFileName(path);
    MacroChanged = false;
    lblStatus->setText(LangCap(QStringLiteral("File Save successful")) + QStringLiteral(": (") +
                       path + QStringLiteral(")"));
    refreshFile1();
}

void frmMcrSetup::cmdClearAll_Click()
{
    commitPauseEdit();
    ClearGrid();
    m_settingFileName = true;
    txtFileName->clear();
    m_settingFileName = false;
    CroFileName.clear();
    chkCroRecord->setChecked(false);
    stopRecordingFlash();
    MacroChanged = false;
    lblStatus->clear();
}

void frmMcrSetup::refreshFile1()
{
    const QString selected = File1->currentItem() ? File1->currentItem()->text() : QString();
    File1->clear();
    File1->addItems(MacroFileNames(MacroFolder));
    const QList<QListWidgetItem *> found = File1->findItems(selected, Qt::MatchExactly);
    if (!selected.isEmpty() && !found.isEmpty())
        File1->setCurrentItem(found.first());
}

void frmMcrSetup::cmdDelete_Click()
{
    if (!File2->isHidden()) {
        deleteSelectedBackup();
        return;
    }
    const QString name = File1->currentItem() ? File1->currentItem()->text() : QString();
    if (name.isEmpty())
        return;
    const int answer =
        Questions(LangCap(QStringLiteral("Are you sure you want to delete the selected file?")), 2,
                  LangCap(QStringLiteral("Delete Macro?")), MsgIcon::Question);
    if (answer != 1)
        return;
    const QString path = InFolder(MacroFolder, name);
    if (!path.isEmpty() && FileExists(path)) {
        if (QFile::remove(path))
            lblMname->setText(QStringLiteral("(") + name + QStringLiteral(") ") +
                              LangCap(QStringLiteral("Deleted!")));
        else
            Info(LangCap(QStringLiteral("The file could not be deleted:")) + QStringLiteral(" ") +
                     name,
                 true, false, QStringLiteral("Orvendale"), QStringLiteral("OK"), true);
    } else {
        Info(LangCap(QStringLiteral("File Not Found")), true, false, QStringLiteral("Orvendale"),
             QStringLiteral("OK"), true);
    }
    refreshFile1();
    refreshFile2();
    cmdFocus->setFocus();
}

void frmMcrSetup::cmdRefresh_Click()
{
    if (!File2->isHidden()) {
        refreshFile2();
        return;
    }
    refreshFile1();
}

void frmMcrSetup::cmdClose_Click()
{
    if (SoundsOn)
        PlayWav(ClickSound);
    chkRec->setChecked(false);
    SaveSet(QStringLiteral("Database16"), QStringLiteral("GrDelay"),
            QString::number(HScroll2->value()));
    if (!mayClose())
        return;
    Form_Unload();
    if (MainWindowService *main = Main()) {
        if (QWidget *w = main->widget(); w && w->isVisible())
            w->activateWindow();
    }
}

bool frmMcrSetup::mayClose()
{
    if (!MacroChanged)
        return true;
    QString text = LangCap(QStringLiteral("The commands in the editor have not been saved."));
    if (!txtFileName->text().isEmpty())
        text += QStringLiteral("\r\n") + LangCap(QStringLiteral("Click Yes to save changes to")) +
                QStringLiteral("\r\n") + txtFileName->text() + QStringLiteral("\r\n\r\n");
    text += LangCap(QStringLiteral("Save changes before closing?"));
    const int answer =
        Questions(text, 3, QStringLiteral("Save Changes to Macro?"), MsgIcon::Exclamation);
    if (answer == 3)
        return false;
    if (answer == 1) {
        cmdSave_Click();
        // A save that was cancelled or failed keeps the window, so the
        // commands are not lost.
        return !MacroChanged;
    }
    return true;
}

bool frmMcrSetup::mayExit()
{
    // Rows left behind by the editor's Cancel, which closes without asking,
    // were given up by the user; only a loaded editor holds commands.
    if (!m_loaded || !MacroChanged)
        return true;
    // The question comes up over the editor, where the unsaved rows are,
    // also when the exit was chosen in another window.
    ShowRestored(this);
    return mayClose();
}

void frmMcrSetup::cmdCancel_Click()
{
    Form_Unload();
}

// ---- recording ----

bool frmMcrSetup::macroRecording() const
{
    return chkCroRecord->isChecked();
}

void frmMcrSetup::showMainForRecording()
{
    if (MainWindowService *main = Main()) {
        if (QWidget *w = main->widget()) {
            w->show();
            w->activateWindow();
        }
    }
    if (!SendOnRecord())
        NoSend = true;
}

void frmMcrSetup::chkCroRecord_Click()
{
    if (SoundsOn)
        PlayWav(ClickSound);
    if (chkCroRecord->isChecked()) {
        tmrFlashMain->start();
        lblRecNum->setText(QStringLiteral("0"));
        lblRecNum->show();
        RecordedRows = 0;
        chkCroRecord->setText(LangCap(QStringLiteral("Stop")));
        Label5->setText(LangCap(QStringLiteral("Recorded Items")));
        Label5->show();
        RecordRow = m_rows.first()[ColUnit].isEmpty() ? int(m_rows.size()) - 1 : int(m_rows.size());
        lblCroW->show();
        MDelayWindow()->chkSame->show();
        showMainForRecording();
    } else {
        tmrFlashMain->stop();
        lblRecNum->hide();
        Label5->hide();
        chkCroRecord->setText(LangCap(QStringLiteral("Rec")));
        NoSend = false;
        RecordRow = 0;
        stopRecordingFlash();
        lblCroW->hide();
        if (frmMDelay *pause = MDelayWindowIfLoaded())
            pause->chkSame->hide();
        if (MainWindowService *main = Main())
            main->setLamp(false);
    }
}

void frmMcrSetup::lblCroSave_Change()
{
    if (!chkCroRecord->isChecked() || m_lblCroSave.text() == QLatin1String("0"))
        return;
    if (!AddRecRow())
        return;
    ++RecordedRows;
    lblRecNum->setText(QString::number(RecordedRows));
}

bool frmMcrSetup::AddRecRow()
{
    const QString code = m_lblCroSave.text();
    // One command at a time: a command that arrives while an earlier one
    // still waits for its pause is not recorded, so that no row takes
    // another's place or pause.
    if (code == QLatin1String("0") || m_waitingForPause)
        return false;
    MacroItem item{code.left(kMacroCodeLength), QString()};

    QString pause;
    if (Option2[1]->isChecked()) {
        frmMDelay *dialog = MDelayWindowIfLoaded();
        if (dialog && dialog->chkSame->isChecked() && NumberOrZero(dialog->PauseTime) > 0)
            pause = dialog->PauseTime;
        else
            pause = QStringLiteral("0005");
    } else {
        m_waitingForPause = true;
        pause = MDelayWindow()->askModal();
        m_waitingForPause = false;
        // Recording may have ended while the pause was asked for; the row
        // then has no place of its own.
        if (!chkCroRecord->isChecked())
            return false;
    }
    // The row is counted only now that its pause is known.
    ++RecordRow;
    double seconds = 0.0;
    if (pause.isEmpty() || !PauseSeconds(pause, &seconds) || seconds < 0.2) {
        pause = QStringLiteral("0001");
        seconds = 1;
    }
    item.pause = pause;

    const int index = std::clamp(RecordRow, 1, int(m_rows.size()) + 1);
    MacroRow row = RowFromItem(item, RecordRow, QString::number(seconds));
    if (RecordRow > 1)
        m_rows.insert(index - 1, row);
    else
        m_rows[0] = row;
    if (SoundsOn)
        PlayWav(RecordSound);
    showRows();
    setCurrentRow(index);
    FixGrid();
    MacroChanged = true;
    return true;
}

// ---- running ----

void frmMcrSetup::HScroll1_Change()
{
    lblTestTime->setText(QStringLiteral(" ") + QString::number(HScroll1->value()) +
                         QStringLiteral(" sec."));
}

void frmMcrSetup::HScroll2_Change()
{
    GroupDelay = float(HScroll2->value()) / 10.0f;
    Label17->setText(QString::number(HScroll2->value() / 10.0));
}

void frmMcrSetup::runSelected(bool testMode)
{
    if (m_running)
        return;
    cmdFocus->setFocus();
    StopRun = false;
    cmdRun->setEnabled(false);
    cmdTest->setEnabled(false);
    m_running = true;
    // The backup list, when shown, is the one whose selection is played.
    const bool backups = !File2->isHidden();
    const QListWidget *list = backups ? File2 : File1;
    const QString folder = backups ? BackupFolder(ProgramFolder()) : MacroFolder;
    const QString name = list->currentItem() ? list->currentItem()->text() : QString();
    QString path = InFolder(folder, name);
    if (path.isEmpty())
        path = folder + QStringLiteral("/"); // plays the lead-in only
    EditorRunHooks hooks;
    hooks.lamp = [](bool lit) {
        if (MainWindowService *main = Main())
            main->setLamp(lit);
    };
    hooks.tick = [] {
        if (TimersService *timers = Timers(); timers && timers->chkMsound())
            PlayWav(TickSound);
    };
    hooks.closingPattern = [] {
        if (MainWindowService *main = Main())
            main->frmReturn();
    };
    hooks.stopRequested = [this] { return StopRun; };
    RunCro(path, testMode, HScroll1->value(), hooks);
    m_running = false;
    cmdRun->setEnabled(true);
    cmdTest->setEnabled(true);
}

void frmMcrSetup::cmdRun_Click()
{
    runSelected(false);
}
void frmMcrSetup::cmdTest_Click()
{
    runSelected(true);
}

} // namespace qelt
