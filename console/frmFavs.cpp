#include "console/frmFavs.h"

#include "core/EventControls.h"
#include "core/FileActions.h"
#include "core/FileDrops.h"
#include "core/Sounds.h"
#include "core/Tray.h"
#include "core/WindowHelpers.h"
#include "core/services/ConsoleServices.h"
#include "logic/DataFile.h"
#include "logic/FileHelpers.h"
#include "logic/Globals.h"
#include "logic/Lang.h"
#include "logic/Transmitter.h"
#include "logic/X10Codes.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDateTime>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QMimeData>
#include <QPainter>
#include <QScrollBar>
#include <QStatusBar>
#include <QTimer>
#include <QUrl>

#include <algorithm>

namespace qelt {

namespace {

constexpr int kRowPx = 16;   // 240 twips: one list row and one button row
constexpr int kRowLeft = 6;  // left of cmdON(0)
constexpr int kButtonW = 24; // 360 twips: cmdOFF sits this far right of cmdON
constexpr int kGapPx = 13;   // 200 twips between the buttons and the list
constexpr int kHeadTop = 2;  // the ON / OFF headings
constexpr int kListTop = 18; // first row
constexpr int kStripPx = 64; // height of the options strip
constexpr int kPic1Px = 34;  // height of the bottom area
constexpr int kMinWidthTwips = 2900;

QString Unscrambled(int rec)
{
    return GetRec(rec, true);
}

QIcon RowIcon()
{
    QPixmap pm(12, 12);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(250, 230, 120));
    p.setPen(QColor(90, 90, 90));
    p.drawEllipse(1, 1, 10, 10);
    return QIcon(pm);
}

// Where the window goes, in twips, while no place of its own is stored:
// the main window's place.
QPointF DefaultPlaceTwips()
{
    QWidget *main = MainWindow() ? MainWindow()->widget() : nullptr;
    return main ? QPointF(main->pos()) * kTwipsPerPixel : QPointF(0, 0);
}

} // namespace

QVector<FavEntry> ReadFavEntries(const std::function<QString(int)> &getRec)
{
    QVector<FavEntry> entries;
    if (!getRec)
        return entries;
    for (int rec = 1; rec <= 256; ++rec) {
        const QString text = getRec(rec);
        const int sep = text.indexOf(QLatin1String("## "));
        if (sep < 0)
            continue;
        const QString name = text.mid(sep + 3);
        if (name.isEmpty())
            continue;
        entries.append({text.left(text.indexOf(QLatin1String("##"))), name});
    }
    return entries;
}

FavLists BuildFavLists(const QVector<FavEntry> &entries, bool sorted)
{
    FavLists lists;
    QVector<int> sortedOrder;
    for (int i = 0; i < entries.size(); ++i) {
        const QString &name = entries.at(i).name;
        // Insert after every name that sorts equal, so equal names keep
        // record order, as a sorted list box adds them.
        auto it = std::upper_bound(lists.sorted.begin(), lists.sorted.end(), name,
                                   [](const QString &a, const QString &b) {
                                       return a.compare(b, Qt::CaseInsensitive) < 0;
                                   });
        const int pos = int(it - lists.sorted.begin());
        lists.sorted.insert(pos, name);
        sortedOrder.insert(pos, i);
        lists.unsorted.append(name);
    }
    if (sorted) {
        for (int i : std::as_const(sortedOrder))
            lists.addresses.append(entries.at(i).address);
    } else {
        for (const FavEntry &e : entries)
            lists.addresses.append(e.address);
    }
    return lists;
}

FavOptions ParseFavOptions(const QString &record)
{
    FavOptions options;
    const QStringList parts = record.split(QLatin1Char(','));
    if (!record.isEmpty() && parts.size() >= 1) {
        bool ok = false;
        const int rows = parts.at(0).trimmed().toInt(&ok);
        if (ok && rows >= 0 && rows <= 999) {
            options.hasMaxVisible = true;
            options.maxVisible = QString::number(rows);
        }
    }
    auto flag = [&](int index) {
        if (parts.size() <= index)
            return -1;
        const QString t = parts.at(index).trimmed();
        if (t == QLatin1String("0"))
            return 0;
        if (t == QLatin1String("1"))
            return 1;
        return -1;
    };
    options.onTop = flag(1);
    options.sort = flag(2);
    return options;
}

bool IsShortcut(const QString &path)
{
    return path.endsWith(QLatin1String("lnk"), Qt::CaseInsensitive) ||
           path.endsWith(QLatin1String(".desktop"), Qt::CaseInsensitive);
}

bool IsMacroShortcut(const QString &path)
{
    return path.endsWith(QLatin1String("cro.lnk"), Qt::CaseInsensitive) ||
           path.endsWith(QLatin1String("cro.desktop"), Qt::CaseInsensitive);
}

bool SplitFavAddress(const QString &address, QString *house, QString *unit)
{
    const QString a = address.trimmed();
    if (a.isEmpty())
        return false;
    const QString h = a.left(1).trimmed().toUpper();
    const QString u = a.mid(1).trimmed();
    if (h.size() != 1 || h.at(0) < QLatin1Char('A') || h.at(0) > QLatin1Char('P'))
        return false;
    bool ok = false;
    const int n = u.toInt(&ok);
    if (!ok || n < 1 || n > 16 || u != QString::number(n))
        return false;
    if (house)
        *house = h;
    if (unit)
        *unit = u;
    return true;
}

frmFavs::frmFavs(QWidget *parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("frmFavs"));
    // Closing it brings the main window back; it never ends the program.
    setAttribute(Qt::WA_QuitOnClose, false);
    AcceptFileDrops(this);
    m_rowIcon = RowIcon();

    auto *bar = menuBar();
    mnuMain = bar->addAction(QStringLiteral("&Menu"));
    mnuPrefs = bar->addAction(QStringLiteral("&Options"));
    mnuHidePrefs = bar->addAction(QStringLiteral("&Options"));
    mnuHidePrefs->setVisible(false);
    mnuNormal = bar->addAction(QStringLiteral("Sw_View"));
    mnuNormal->setVisible(false);

    auto *central = new QWidget(this);
    central->setObjectName(QStringLiteral("central"));
    central->setMouseTracking(true);
    central->installEventFilter(this);
    setCentralWidget(central);

    buildOptionsStrip(central);
    buildLists(central);
    buildButtonStrip(central);
    connectControls();

    placeRows();
    resize(3360 / kTwipsPerPixel, 200);
}

// The options strip shown by the Options menu: on top, sort, how many rows.
void frmFavs::buildOptionsStrip(QWidget *central)
{
    Picture2 = new QWidget(central);
    Picture2->setObjectName(QStringLiteral("Picture2"));
    Picture2->setGeometry(0, 0, 400, kStripPx);
    Picture2->hide();
    chkOnTop = new QCheckBox(QStringLiteral("Always on top"), Picture2);
    chkOnTop->setObjectName(QStringLiteral("chkOnTop"));
    chkOnTop->move(4, 2);
    chkSort = new QCheckBox(QStringLiteral("Sort by name"), Picture2);
    chkSort->setObjectName(QStringLiteral("chkSort"));
    chkSort->move(4, 22);
    txtMaxVis = new QLineEdit(QStringLiteral("10"), Picture2);
    txtMaxVis->setObjectName(QStringLiteral("txtMaxVis"));
    txtMaxVis->setMaxLength(3);
    txtMaxVis->setGeometry(4, 42, 32, 20);
    txtMaxVis->installEventFilter(this);
    Label2 = new QLabel(QStringLiteral("Max Favorites Visible"), Picture2);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->move(40, 44);
}

// The ON/OFF heads and the two lists (names and unit codes) that scroll together.
void frmFavs::buildLists(QWidget *central)
{
    lblOn = new QLabel(QStringLiteral("ON"), central);
    lblOn->setObjectName(QStringLiteral("lblOn"));
    lblOff = new QLabel(QStringLiteral("OFF"), central);
    lblOff->setObjectName(QStringLiteral("lblOff"));
    for (QLabel *l : {lblOn, lblOff}) {
        QFont f = l->font();
        f.setPointSizeF(f.pointSizeF() * 0.75);
        l->setFont(f);
        l->setAlignment(Qt::AlignCenter);
    }

    auto makeList = [&](const char *name) {
        auto *list = new QListWidget(central);
        list->setObjectName(QLatin1String(name));
        list->setUniformItemSizes(true);
        list->setFrameShape(QFrame::NoFrame);
        list->setStyleSheet(
            QStringLiteral("QListWidget::item { height: %1px; padding: 0px; }").arg(kRowPx));
        list->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
        list->setMouseTracking(true);
        list->viewport()->installEventFilter(this);
        return list;
    };
    lstFavs = makeList("lstFavs");
    lstFavsUS = makeList("lstFavsUS");
    lstFavsUS->hide();
    // Both lists always show the same rows.
    connect(lstFavs->verticalScrollBar(), &QScrollBar::valueChanged, this,
            [this](int v) { lstFavsUS->verticalScrollBar()->setValue(v); });
    connect(lstFavsUS->verticalScrollBar(), &QScrollBar::valueChanged, this,
            [this](int v) { lstFavs->verticalScrollBar()->setValue(v); });
}

// Bright, dim and the main-window link under the lists, the status bar, the
// timer and the design row of the button arrays.
void frmFavs::buildButtonStrip(QWidget *central)
{
    Pic1 = new QWidget(central);
    Pic1->setObjectName(QStringLiteral("Pic1"));
    cmdBri = new PressButton(QStringLiteral("BRIGHT"), Pic1);
    cmdBri->setObjectName(QStringLiteral("cmdBri"));
    cmdBri->setGeometry(kRowLeft, 4, 52, 24);
    cmdDim = new PressButton(QStringLiteral("DIM"), Pic1);
    cmdDim->setObjectName(QStringLiteral("cmdDim"));
    cmdDim->setGeometry(kRowLeft + 56, 4, 52, 24);
    lblStandardView = new EventLabel(QStringLiteral("Main Window"), Pic1);
    lblStandardView->setObjectName(QStringLiteral("lblStandardView"));
    lblStandardView->setGeometry(kRowLeft + 116, 8, 90, 18);
    lblStandardView->setMouseTracking(true);
    lblStandardView->setCursor(Qt::PointingHandCursor);
    for (PressButton *b : {cmdBri, cmdDim}) {
        QFont f = b->font();
        f.setPointSizeF(f.pointSizeF() * 0.8);
        b->setFont(f);
        b->setMouseTracking(true);
        b->setFocusPolicy(Qt::NoFocus);
    }

    cmdFocus = new QPushButton(QStringLiteral("Focus"), central);
    cmdFocus->setObjectName(QStringLiteral("cmdFocus"));
    cmdFocus->setGeometry(0, 2000, 10, 10); // parked below the visible area

    Label3 = new QLabel(central);
    Label3->setObjectName(QStringLiteral("Label3"));
    Label3->hide();
    StatusBar1 = statusBar();
    StatusBar1->setSizeGripEnabled(false);
    statusPanel1 = new StatusLabel(StatusBar1);
    statusPanel1->setObjectName(QStringLiteral("statusPanel1"));
    StatusBar1->addWidget(statusPanel1, 1);
    StatusBar1->installEventFilter(this);

    Timer1 = new QTimer(this);
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1_Timer(); });

    // The design row: element 0 of both button arrays always exists.
    cmdON.append(new PressButton(central));
    cmdOFF.append(new PressButton(central));
}

void frmFavs::connectControls()
{
    connect(mnuMain, &QAction::triggered, this, [this] {
        if (hooks.popupMenu)
            hooks.popupMenu(QCursor::pos());
    });
    connect(mnuPrefs, &QAction::triggered, this, [this] { mnuPrefs_Click(); });
    connect(mnuHidePrefs, &QAction::triggered, this, [this] { mnuHidePrefs_Click(); });
    connect(mnuNormal, &QAction::triggered, this, [this] { mnuNormal_Click(); });
    connect(chkOnTop, &QCheckBox::toggled, this, [this] { chkOnTop_Click(); });
    connect(chkSort, &QCheckBox::toggled, this, [this] { chkSort_Click(); });
    connect(txtMaxVis, &QLineEdit::textChanged, this, [this] {
        if (!m_loading)
            SaveOptions();
    });
    connect(txtMaxVis, &QLineEdit::returnPressed, this, [this] { SetFavs(); });
    connect(cmdBri, &PressButton::mouseDown, this, [this] { cmdBriDim_MouseDown(false); });
    connect(cmdDim, &PressButton::mouseDown, this, [this] { cmdBriDim_MouseDown(true); });
    for (PressButton *b : {cmdBri, cmdDim}) {
        connect(b, &PressButton::mouseUp, this, [this] { cmdBriDim_MouseUp(); });
        connect(b, &PressButton::clicked, this, [this] { cmdBriDim_Click(); });
    }
    connect(cmdBri, &PressButton::mouseMoved, this, [this] { cmdBriDim_MouseMove(false); });
    connect(cmdDim, &PressButton::mouseMoved, this, [this] { cmdBriDim_MouseMove(true); });
    connect(lblStandardView, &EventLabel::clicked, this, [this] { lblStandardView_Click(); });
    connect(lblStandardView, &EventLabel::mouseMoved, this, [this] {
        label3Tag.clear();
        ShowStatus(LangCap(QStringLiteral("Switch to normal view")));
        QFont f = lblStandardView->font();
        f.setUnderline(true);
        lblStandardView->setFont(f);
    });
}

QListWidget *frmFavs::shownList() const
{
    return FavSorted ? lstFavs : lstFavsUS;
}

int frmFavs::firstVisibleRow() const
{
    const QListWidget *list = shownList();
    const QModelIndex top = list->indexAt(QPoint(2, 2));
    if (top.isValid())
        return top.row();
    return list->verticalScrollBar()->value();
}

int frmFavs::maxVisible() const
{
    bool ok = false;
    const int n = txtMaxVis->text().trimmed().toInt(&ok);
    return ok && n > 0 ? n : 0;
}

void frmFavs::ClickSound()
{
    if (SoundsOn)
        PlayWav(qelt::ClickSound);
}

void frmFavs::ShowStatus(const QString &text)
{
    statusPanel1->setText(text);
}

void frmFavs::SaveOptions()
{
    PutRec(277, txtMaxVis->text() + QLatin1Char(',') + (chkOnTop->isChecked() ? "1" : "0") +
                    QLatin1Char(',') + (chkSort->isChecked() ? "1" : "0"));
}

void frmFavs::placeRows()
{
    const int shift = m_stripShift;
    lblOn->setGeometry(kRowLeft, kHeadTop + shift - 2, kButtonW, 14);
    lblOff->setGeometry(kRowLeft + kButtonW, kHeadTop + shift - 2, kButtonW, 14);
    for (int i = 0; i < cmdON.size(); ++i) {
        cmdON[i]->setGeometry(kRowLeft, kListTop + shift + i * kRowPx, kButtonW, kRowPx);
        cmdOFF[i]->setGeometry(kRowLeft + kButtonW, kListTop + shift + i * kRowPx, kButtonW,
                               kRowPx);
    }
    const int listLeft = kRowLeft + 2 * kButtonW + kGapPx;
    const int listWidth = std::max(40, centralWidget()->width() - listLeft - 4);
    const int listHeight = m_listHeight / kTwipsPerPixel;
    lstFavs->setGeometry(listLeft, kListTop + shift, listWidth, listHeight);
    lstFavsUS->setGeometry(listLeft, kListTop + shift, listWidth, listHeight);
    Pic1->setGeometry(0, kListTop + shift + listHeight + 10, centralWidget()->width(), kPic1Px);
    Picture2->setGeometry(0, 0, centralWidget()->width(), kStripPx);
}

void frmFavs::SetFavs()
{
    const FavLists lists = BuildFavLists(ReadFavEntries(Unscrambled), FavSorted);
    lstFavs->clear();
    lstFavsUS->clear();
    lstFavs->addItems(lists.sorted);
    lstFavsUS->addItems(lists.unsorted);
    lstFavsHC = lists.addresses;

    const int rows = maxVisible();
    const int entries = int(lists.unsorted.size());
    QWidget *central = centralWidget();
    for (int i = 0; i < rows && i < entries; ++i) {
        if (cmdON.size() < i + 1) {
            auto *on = new PressButton(central);
            auto *off = new PressButton(central);
            cmdON.append(on);
            cmdOFF.append(off);
        }
        cmdON[i]->show();
        cmdOFF[i]->show();
    }
    bool ok = false;
    txtMaxVis->text().trimmed().toInt(&ok);
    if (!ok)
        m_listHeight = 0; // no number of rows: no list until one is typed
    else if (entries < rows + 1)
        m_listHeight = (entries + 1) * 240;
    else
        m_listHeight = (rows + 1) * 240;

    // Surplus rows go; element 0 stays.
    while (cmdON.size() > 1 && cmdON.size() > rows) {
        delete cmdON.takeLast();
        delete cmdOFF.takeLast();
    }
    for (int i = 0; i < cmdON.size(); ++i) {
        PressButton *on = cmdON[i];
        PressButton *off = cmdOFF[i];
        if (on->property("wired").toBool())
            continue;
        on->setProperty("wired", true);
        for (PressButton *b : {on, off}) {
            b->setObjectName(b == on ? QStringLiteral("cmdON") : QStringLiteral("cmdOFF"));
            b->setFocusPolicy(Qt::NoFocus);
            b->setMouseTracking(true);
            b->setIconSize(QSize(10, 10));
        }
        connect(on, &PressButton::clicked, this,
                [this, on] { cmdON_Click(int(cmdON.indexOf(on))); });
        connect(off, &PressButton::clicked, this,
                [this, off] { cmdOFF_Click(int(cmdOFF.indexOf(off))); });
        connect(on, &PressButton::mouseMoved, this,
                [this, on] { cmdOnOff_MouseMove(int(cmdON.indexOf(on)), true); });
        connect(off, &PressButton::mouseMoved, this,
                [this, off] { cmdOnOff_MouseMove(int(cmdOFF.indexOf(off)), false); });
    }
    for (int i = 0; i < cmdON.size(); ++i) {
        cmdON[i]->setIcon(m_rowIcon);
        cmdOFF[i]->setIcon(m_rowIcon);
    }
    placeRows();
    SizeFavs();
}

void frmFavs::SizeFavs()
{
    if (isMinimized())
        return;
    placeRows();
    const int central = Pic1->geometry().bottom() + 1;
    const int fit = menuBar()->sizeHint().height() + central + StatusBar1->sizeHint().height();
    FavFitHeight = fit * kTwipsPerPixel;
    setMinimumHeight(fit);
    setMaximumHeight(fit);
    resize(width(), fit);
    if (hooks.setMnuRegularEnabled)
        hooks.setMnuRegularEnabled(true);
}

void frmFavs::Load()
{
    if (m_loaded) {
        show();
        return;
    }
    m_loading = true;
    m_loaded = true;
    // A window opens as designed: one row of buttons, the options strip
    // hidden, no device chosen.
    while (cmdON.size() > 1) {
        delete cmdON.takeLast();
        delete cmdOFF.takeLast();
    }
    Picture2->hide();
    mnuPrefs->setVisible(true);
    mnuHidePrefs->setVisible(false);
    m_stripShift = 0;
    FavHold = false;
    FavHouse.clear();
    FavUnit.clear();
    FavHouseBits.clear();
    label3Tag = QStringLiteral("clock");

    if (!m_translated) {
        // The window lives for the run, so its English captions are
        // translated once.
        m_translated = true;
        for (QLabel *l : {lblOn, lblOff, Label2})
            l->setText(LangCap(l->text()));
        lblStandardView->setText(LangCap(lblStandardView->text()));
        for (QAbstractButton *b :
             std::initializer_list<QAbstractButton *>{cmdBri, cmdDim, chkOnTop, chkSort})
            b->setText(LangCap(b->text()));
        for (QAction *a : {mnuMain, mnuPrefs, mnuHidePrefs, mnuNormal})
            a->setText(LangCap(a->text()));
    }
    setWindowTitle(QStringLiteral("Zyv ") + LangCap(QStringLiteral("Favorites")));

    loadOptions();

    m_loading = false;
    SetFavs();
    // Placed once its height fits its rows, so that all of it is kept on
    // the screen.
    placeWindow();

    if (hooks.brightIcon)
        cmdBri->setIcon(hooks.brightIcon());
    if (hooks.dimIcon)
        cmdDim->setIcon(hooks.dimIcon());
    if (MainWindow())
        MainWindow()->setTimersSwitchTag(QStringLiteral("\r\n   ") +
                                         LangCap(QStringLiteral("Favorites")) + QLatin1Char(' ') +
                                         LangCap(QStringLiteral("View")));
    Timer1_Timer();
    Timer1->start();
    ClickSound();
    show();
}

// Rows shown, on top and sorting: reset, then as stored in record 277.
void frmFavs::loadOptions()
{
    txtMaxVis->setText(QStringLiteral("10"));
    if (chkOnTop->isChecked()) {
        const QSignalBlocker block(chkOnTop);
        chkOnTop->setChecked(false);
        NotOnTop(this);
    }

    const QString record = GetRec(277);
    // Sorting is on at every open; the stored options then apply.
    FavSorted = true;
    {
        const QSignalBlocker block(chkSort);
        chkSort->setChecked(true);
    }
    lstFavs->show();
    lstFavsUS->hide();
    const FavOptions options = ParseFavOptions(record);
    if (options.hasMaxVisible)
        txtMaxVis->setText(options.maxVisible);
    if (options.onTop >= 0)
        chkOnTop->setChecked(options.onTop == 1);
    if (options.sort >= 0) {
        const QSignalBlocker block(chkSort);
        chkSort->setChecked(options.sort == 1);
        FavSorted = options.sort == 1;
        lstFavs->setVisible(FavSorted);
        lstFavsUS->setVisible(!FavSorted);
    }
    if (record.size() < 5)
        PutRec(277, QStringLiteral("10,0,0"));
}

// The stored position and width, in twips, kept on the screen; at first
// the main window's place.
void frmFavs::placeWindow()
{
    const QPointF defaultPlace = DefaultPlaceTwips();
    const double left = ReadTwipsSetting(QStringLiteral("FavLeft"), defaultPlace.x());
    const double top = ReadTwipsSetting(QStringLiteral("FavTop"), defaultPlace.y());
    const double widthTw =
        std::max<double>(ReadTwipsSetting(QStringLiteral("FavWidth"), 3360), kMinWidthTwips);
    resize(int(widthTw / kTwipsPerPixel), height());
    MoveOnScreenTwips(this, left, top);
}

void frmFavs::Unload()
{
    if (!m_loaded)
        return;
    FavsView = false;
    MainView = true;
    if (!isMinimized()) {
        const QPointF defaultPlace = DefaultPlaceTwips();
        SaveTwipsSetting(QStringLiteral("FavLeft"), x(), defaultPlace.x());
        SaveTwipsSetting(QStringLiteral("FavTop"), y(), defaultPlace.y());
    }
    SaveTwipsSetting(QStringLiteral("FavWidth"), width(), 3360);
    if (MainWindow())
        MainWindow()->setTimersSwitchTag(QString());
    FavHold = false;
    Timer1->stop();
    m_loaded = false;
    hide();
}

void frmFavs::closeEvent(QCloseEvent *event)
{
    // Accepted: the window only hides (it is kept for the next use), and a
    // close asked for by the application's quit is not refused.
    event->accept();
    if (tag != QLatin1String("Unload")) {
        FavUnit.clear();
        FavHouse.clear();
        ClickSound();
        if (hooks.setMnuFavsEnabled)
            hooks.setMnuFavsEnabled(true);
        if (hooks.setMnuRegularEnabled)
            hooks.setMnuRegularEnabled(false);
        if (MainWindow() && MainWindow()->widget())
            ShowRestored(MainWindow()->widget());
        MinOnStart = false;
    }
    Unload();
}

void frmFavs::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange || !m_loaded)
        return;
    if (hooks.mnuMinToTrayChecked && hooks.mnuMinToTrayChecked())
        MinOnStart = true;
    if (isMinimized() && MinOnStart) {
        const QString tip = (hooks.caption ? hooks.caption() : QString()) + StatusTip +
                            (MainWindow() ? MainWindow()->timersSwitchTag() : QString());
        if (SoundsOn)
            PlayWav(ZoomSound);
        QWidget *main = MainWindow() ? MainWindow()->widget() : nullptr;
        TrayAdd(windowIcon(), tip, this);
        TrayModify(windowIcon(), tip, main ? main : this);
        if (hooks.setMnuViewVisible)
            hooks.setMnuViewVisible(false);
        // Hidden after the state change has been handled; without a tray it
        // stays minimised on the task bar, so that it can be reached again.
        QTimer::singleShot(0, this, [this] {
            if (isMinimized())
                TrayHideWindow(this);
        });
        return;
    }
    if (hooks.setMnuViewVisible)
        hooks.setMnuViewVisible(true);
    SizeFavs();
}

void frmFavs::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    if (width() < kMinWidthTwips / kTwipsPerPixel)
        resize(kMinWidthTwips / kTwipsPerPixel, height());
    placeRows();
}

void frmFavs::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::RightButton && hooks.popupMenu)
        hooks.popupMenu(event->globalPosition().toPoint());
    QMainWindow::mousePressEvent(event);
}

bool frmFavs::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == centralWidget()) {
        if (event->type() == QEvent::MouseMove || event->type() == QEvent::Enter) {
            label3Tag = QStringLiteral("clock");
            ShowStatus(QLocale().toString(QDateTime::currentDateTime(), QLocale::ShortFormat));
            QFont f = lblStandardView->font();
            if (f.underline()) {
                f.setUnderline(false);
                lblStandardView->setFont(f);
            }
        } else if (event->type() == QEvent::MouseButtonPress) {
            auto *me = static_cast<QMouseEvent *>(event);
            if (me->button() == Qt::RightButton && hooks.popupMenu) {
                hooks.popupMenu(me->globalPosition().toPoint());
                return true;
            }
        }
    } else if (watched == lstFavs->viewport() || watched == lstFavsUS->viewport()) {
        if (event->type() == QEvent::MouseMove || event->type() == QEvent::Enter)
            label3Tag = QStringLiteral("clock");
    } else if (watched == txtMaxVis && event->type() == QEvent::FocusOut) {
        SetFavs();
        cmdFocus->setFocus();
    }
    return QMainWindow::eventFilter(watched, event);
}

void frmFavs::dragEnterEvent(QDragEnterEvent *event)
{
    if (event->mimeData()->hasUrls())
        AcceptDropAsCopy(event);
}

void frmFavs::dropEvent(QDropEvent *event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.isEmpty() || !urls.first().isLocalFile() || !AcceptDropAsCopy(event))
        return;
    DropFile(urls.first().toLocalFile());
}

void frmFavs::DropFile(const QString &path)
{
    if (path.isEmpty())
        return;
    if (IsMacroShortcut(path)) {
        RunFile(path);
        return;
    }
    if (MainWindow())
        MainWindow()->txtCommand().setText(path);
}

void frmFavs::Timer1_Timer()
{
    Label3->setText(QLocale().toString(QDateTime::currentDateTime(), QLocale::ShortFormat));
    if (label3Tag == QLatin1String("clock"))
        ShowStatus(Label3->text());
}

void frmFavs::chkOnTop_Click()
{
    if (chkOnTop->isChecked())
        PutOnTop(this);
    else
        NotOnTop(this);
    if (m_loading)
        return;
    SaveOptions();
    if (FavsView)
        ClickSound();
}

void frmFavs::chkSort_Click()
{
    FavSorted = chkSort->isChecked();
    lstFavs->setVisible(FavSorted);
    lstFavsUS->setVisible(!FavSorted);
    SaveOptions();
    if (FavsView)
        ClickSound();
    SetFavs();
}

void frmFavs::mnuPrefs_Click()
{
    Picture2->show();
    mnuPrefs->setVisible(false);
    mnuHidePrefs->setVisible(true);
    m_stripShift = kStripPx;
    ClickSound();
    SizeFavs();
}

void frmFavs::mnuHidePrefs_Click()
{
    Picture2->hide();
    mnuPrefs->setVisible(true);
    mnuHidePrefs->setVisible(false);
    m_stripShift = 0;
    ClickSound();
    SizeFavs();
    SetFavs();
}

void frmFavs::lblStandardView_Click()
{
    FavsView = false;
    if (MainWindow() && MainWindow()->widget())
        ShowRestored(MainWindow()->widget());
    MainView = true;
    // Through the window's closing, as a close by the user: the main
    // window's Favorites item comes back and Main Window goes grey.
    close();
}

void frmFavs::mnuNormal_Click()
{
    if (hooks.setMnuRegularEnabled)
        hooks.setMnuRegularEnabled(false);
    if (hooks.setMnuFavsEnabled)
        hooks.setMnuFavsEnabled(true);
    lblStandardView_Click();
}

void frmFavs::SendOnOff(int i, bool on)
{
    if (i < 0)
        return;
    const int row = i + firstVisibleRow();
    if (row >= 0 && row < lstFavsHC.size()) {
        QString house;
        QString unit;
        // A row whose address is no house and unit sends nothing and leaves
        // the device of DIM and BRIGHT as it was.
        if (SplitFavAddress(lstFavsHC.at(row), &house, &unit)) {
            const QString code =
                CmdToCode(house, unit, on ? QStringLiteral("ON") : QStringLiteral("OFF"));
            if (IsCmdCode(code)) {
                FavHouse = house;
                FavUnit = unit;
                FavHouseBits = code.left(8);
                CurrentWaitClock().processEvents();
                SendBits(RfFrame(code));
            }
        }
    }
    cmdFocus->setFocus();
    ClickSound();
}

void frmFavs::cmdON_Click(int i)
{
    SendOnOff(i, true);
}
void frmFavs::cmdOFF_Click(int i)
{
    SendOnOff(i, false);
}

void frmFavs::cmdOnOff_MouseMove(int i, bool on)
{
    label3Tag.clear();
    const int row = i + firstVisibleRow();
    const QListWidget *list = shownList();
    if (i < 0 || row < 0 || row >= lstFavsHC.size() || row >= list->count())
        return;
    ShowStatus(lstFavsHC.at(row) + (on ? QStringLiteral(" ON: ") : QStringLiteral(" OFF: ")) +
               list->item(row)->text());
}

void frmFavs::cmdBriDim_MouseDown(bool dim)
{
    FavHold = true;
    // Nothing to brighten or dim before a device was switched here.
    if (FavHouseBits.size() != 8)
        return;
    const QString frame =
        RfFrame(FavHouseBits.left(5) + QStringLiteral("000") + UnitCodes(8, dim ? 1 : 0));
    do {
        SendBits(frame);
        CurrentWaitClock().processEvents();
        Delay(0.35);
    } while (FavHold && !AbortSend);
}

void frmFavs::cmdBriDim_MouseUp()
{
    FavHold = false;
}

void frmFavs::cmdBriDim_Click()
{
    cmdFocus->setFocus();
    ClickSound();
}

void frmFavs::cmdBriDim_MouseMove(bool dim)
{
    label3Tag.clear();
    ShowStatus(LangCap(dim ? QStringLiteral("Dim") : QStringLiteral("Brighten")) +
               QLatin1Char(' ') + FavHouse + FavUnit);
}

namespace {
frmFavs *g_favs = nullptr;
}

frmFavs &FavsWindow()
{
    if (!g_favs)
        g_favs = new frmFavs;
    return *g_favs;
}

frmFavs *FavsWindowIfCreated()
{
    return g_favs;
}

} // namespace qelt
