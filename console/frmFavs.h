#pragma once

#include <QIcon>
#include <QMainWindow>
#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QAction;
class QPushButton;
class QStatusBar;
class QTimer;

namespace qelt {

class PressButton;
class EventLabel;

// One described device of the data file.
struct FavEntry {
    QString address; // house letter and unit, e.g. "C12"
    QString name;
};

// The described devices of records 1 to 256 ("address## name"), in record
// order; records without "## " or with an empty name are left out.
// getRec(n) reads record n.
QVector<FavEntry> ReadFavEntries(const std::function<QString(int)> &getRec);

// The three lists of the window: names sorted without regard to case (equal
// names keep record order), names in record order, and the addresses in the
// order of whichever of the two is shown.
struct FavLists {
    QStringList sorted;
    QStringList unsorted;
    QStringList addresses;
};
FavLists BuildFavLists(const QVector<FavEntry> &entries, bool sorted);

// Record 277 "MaxVisible,OnTop,Sort". Parts that are missing or not what
// they should be (a whole number of rows from 0 to 999; "0" or "1") are
// left unset.
struct FavOptions {
    bool hasMaxVisible = false;
    QString maxVisible;
    int onTop = -1; // -1 unset, else 0 or 1
    int sort = -1;
};
FavOptions ParseFavOptions(const QString &record);

// Shortcuts dropped onto a window: a shortcut (".lnk", or this desktop's
// ".desktop" entry) is started; a shortcut to a macro is one whose name
// before that ending ends in "cro".
bool IsShortcut(const QString &path);
bool IsMacroShortcut(const QString &path);

// House letter and unit of a favourites address ("C12" -> "C", "12"); false
// unless the house is A to P and the unit 1 to 16.
bool SplitFavAddress(const QString &address, QString *house, QString *unit);

// What the favourites window uses of the main window's menu and looks.
// The main window fills these in; any left empty does nothing.
struct FavsMainHooks {
    std::function<void(const QPoint &)> popupMenu;  // Popup1 at a screen position
    std::function<void(bool)> setMnuFavsEnabled;    // mnuFavs
    std::function<void(bool)> setMnuRegularEnabled; // mnuRegular
    std::function<void(bool)> setMnuViewVisible;    // mnuView
    std::function<bool()> mnuMinToTrayChecked;      // mnuMinToTray
    std::function<QString()> caption;               // the main window's caption
    std::function<QIcon()> brightIcon;              // pictures of cmdBright / cmdDim
    std::function<QIcon()> dimIcon;
};

// The favourites window: a compact remote control listing every described
// device with an ON and an OFF button, DIM and BRIGHT for the device last
// switched here, a status bar and an options strip.
class frmFavs : public QMainWindow {
    Q_OBJECT
public:
    explicit frmFavs(QWidget *parent = nullptr);

    FavsMainHooks hooks;

    // Runs the window's load logic (captions, options, position, lists) and
    // shows it; a loaded window is only shown.
    void Load();
    // Runs the unload logic (stores the position, clears the main window's
    // tray-tip addition) and hides the window.
    void Unload();
    bool isLoaded() const { return m_loaded; }

    void SetFavs();

    // Controls
    QListWidget *lstFavs;
    QListWidget *lstFavsUS;
    QStringList lstFavsHC;
    QVector<PressButton *> cmdON;
    QVector<PressButton *> cmdOFF;
    PressButton *cmdBri;
    PressButton *cmdDim;
    QLabel *lblOn;
    QLabel *lblOff;
    QStatusBar *StatusBar1;
    QLabel *statusPanel1;
    QLabel *Label3;
    QTimer *Timer1;
    QWidget *Picture2;
    QCheckBox *chkOnTop;
    QCheckBox *chkSort;
    QLineEdit *txtMaxVis;
    QLabel *Label2;
    QWidget *Pic1;
    EventLabel *lblStandardView;
    QPushButton *cmdFocus;
    QAction *mnuMain;
    QAction *mnuPrefs;
    QAction *mnuHidePrefs;
    QAction *mnuNormal;

    // State
    bool FavSorted = true;
    int FavFitHeight = 0; // twips
    bool FavHold = false;
    QString FavHouseBits;
    QString FavHouse;
    QString FavUnit;
    // "Unload" while the main window is closing.
    QString tag;
    QString label3Tag = QStringLiteral("clock");

    // Handlers
    void cmdON_Click(int i);
    void cmdOFF_Click(int i);
    void cmdOnOff_MouseMove(int i, bool on);
    void cmdBriDim_MouseDown(bool dim);
    void cmdBriDim_MouseUp();
    void cmdBriDim_Click();
    void cmdBriDim_MouseMove(bool dim);
    void chkOnTop_Click();
    void chkSort_Click();
    void mnuPrefs_Click();
    void mnuHidePrefs_Click();
    void lblStandardView_Click();
    void mnuNormal_Click();
    void Timer1_Timer();
    // Drops onto the window: the first file.
    void DropFile(const QString &path);

    // The first visible row of the list shown.
    int firstVisibleRow() const;
    int listHeightTwips() const { return m_listHeight; }
    int maxVisible() const;

protected:
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void SizeFavs();
    void SaveOptions();
    void ClickSound();
    void SendOnOff(int i, bool on);
    void ShowStatus(const QString &text);
    void placeRows();
    // The steps of building the window, in order.
    void buildOptionsStrip(QWidget *central);
    void buildLists(QWidget *central);
    void buildButtonStrip(QWidget *central);
    void connectControls();
    // The steps of Load.
    void loadOptions();
    void placeWindow();
    QListWidget *shownList() const;

    bool m_loaded = false;
    bool m_loading = false;
    bool m_translated = false;
    int m_listHeight = 240; // twips
    int m_stripShift = 0;   // pixels the rows moved down for the options strip
    QIcon m_rowIcon;
};

// The favourites window of the run, created hidden on first use.
frmFavs &FavsWindow();
frmFavs *FavsWindowIfCreated();

} // namespace qelt
