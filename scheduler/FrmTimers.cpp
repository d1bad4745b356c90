#include "scheduler/FrmTimers.h"
#include "scheduler/TimerTableFile.h"

#include "core/Dialogs.h"
#include "core/FileDrops.h"
#include "core/Sounds.h"
#include "core/SystemInfo.h"
#include "core/WindowHelpers.h"
#include "core/services/ConsoleServices.h"
#include "logic/DayRule.h"
#include "logic/FileHelpers.h"
#include "logic/Globals.h"
#include "logic/Lang.h"
#include "logic/ProgramFolder.h"
#include "logic/SchedulerClock.h"
#include "logic/Settings.h"
#include "logic/SunTimers.h"
#include "logic/Transmitter.h"
#include "logic/clsSunrise.h"
#include "scheduler/frmTimerStatus.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QTimeZone>
#include <QTimer>

namespace qelt {

namespace {

constexpr int kMinRows = TimerTable::kMinRows;
constexpr int kMaxRows = TimerTable::kMaxRows;
constexpr int kRowTop = 1005;  // twips, top shown row
constexpr int kLabelDrop = 60; // day-rule label and "C" button sit lower
constexpr int kRowPitch = 432; // twips between shown rows
constexpr int kWidth = 560;
constexpr int kHeight = 470;

const QString kCrLf = QStringLiteral("\r\n");

int px(int twips)
{
    return (twips + kTwipsPerPixel / 2) / kTwipsPerPixel;
}

QColor rgb(unsigned v)
{
    return QColor((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
}

bool isTrue(const QString &key, const QString &section = "Settings")
{
    return GetSet(section, key, "True").compare("False", Qt::CaseInsensitive) != 0;
}

int intSetting(const QString &section, const QString &key, int defaultValue)
{
    bool ok = false;
    const int v = GetSet(section, key, QString::number(defaultValue)).trimmed().toInt(&ok);
    return ok ? v : defaultValue;
}

QLabel *NewLabel(QWidget *parent, const QString &text, int x, int y, int w = -1)
{
    auto *l = new QLabel(text, parent);
    l->move(x, y);
    if (w > 0)
        l->resize(w, l->sizeHint().height());
    return l;
}

QCheckBox *NewCheck(QWidget *parent, const char *name, const QString &text, int x, int y)
{
    auto *c = new QCheckBox(text, parent);
    c->setObjectName(name);
    c->move(x, y);
    return c;
}

QPushButton *NewButton(QWidget *parent, const char *name, const QString &text, int x, int y,
                       int w = 64)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setGeometry(x, y, w, 24);
    return b;
}

} // namespace

void FrmTimers::WindowHost::appendLog(const QString &entry)
{
    if (m_log)
        m_log->appendLog(entry);
    else
        ServicesHost::appendLog(entry);
}

int FrmTimers::WindowHost::statusRowCount() const
{
    return m_log ? m_log->statusRowCount() : ServicesHost::statusRowCount();
}

QString FrmTimers::WindowHost::statusText(int row) const
{
    return m_log ? m_log->statusText(row) : ServicesHost::statusText(row);
}

void FrmTimers::WindowHost::setStatus(int row, const QString &text, unsigned back)
{
    if (m_log)
        m_log->setStatus(row, text, rgb(back));
    else
        ServicesHost::setStatus(row, text, back);
}

FrmTimers::FrmTimers(frmTimerStatus *log, QWidget *parent)
    : QWidget(parent), m_log(log), m_host(log)
{
    setObjectName("FrmTimers");
    // Borderless: its own heading drags it, label buttons close, minimise and open the menu.
    setWindowFlags(windowFlags() | Qt::FramelessWindowHint);
    setMouseTracking(true);
    resize(kWidth, kHeight);
    m_engine = std::make_unique<SchedulerEngine>(m_table, m_host, TmrChanged);
    m_engine->onTimersChanged = [this] { syncEngineTimers(); };
    m_engine->onRuleChanged = [this](int row) {
        if (row >= 0 && row < rowCount()) {
            lblActiveDays[row]->setText(m_table.row(row).dayRule);
            colourRuleLabel(row);
            // The status rows of a hidden window keep what the runs wrote
            // there ("Success", "Error", ...); they are rebuilt when the
            // user works in the shown window.
            if (isVisible())
                ShowTimerStatus();
        }
    };
    m_engine->saveTable = [this] { return SaveTimers(); };

    buildHeading();
    buildTopBar();
    buildColumnHeadings();
    buildSpinner();
    buildLoopTimer();
    buildButtons();
    buildOptionsMenu();
    buildTimerControls();
    connectWindowHandlers();

    buildEditControls();
    for (int i = 0; i < kMinRows; ++i)
        createRow(i);
}

// The heading strip: the caption, the menu and the window's label buttons.
void FrmTimers::buildHeading()
{
    Label14 = NewLabel(this, "Setup Timers", 8, 3, kWidth - 160);
    Label14->setObjectName("Label14");
    lblMenu = NewLabel(this, " Menu ", kWidth - 104, 2);
    lblMenu->setObjectName("lblMenu");
    lblMin = NewLabel(this, "-", kWidth - 44, 1);
    lblMin->setObjectName("lblMin");
    lblExit = NewLabel(this, "X", kWidth - 22, 1);
    lblExit->setObjectName("lblExit");
    for (QLabel *l : {lblMin, lblExit}) {
        QFont f = l->font();
        f.setBold(true);
        l->setFont(f);
        l->resize(18, 18);
        l->setAlignment(Qt::AlignCenter);
    }
    lblMin->setToolTip(" Minimize ");
    lblExit->setToolTip(" Close ");
}

// The top bar: clock, master switch and sound switches.
void FrmTimers::buildTopBar()
{
    Label3 = NewLabel(this, "0:00:00", 10, 22, 110);
    Label3->setObjectName("Label3");
    QFont clockFont = Label3->font();
    clockFont.setBold(true);
    clockFont.setPointSize(clockFont.pointSize() + 3);
    Label3->setFont(clockFont);
    Label3->resize(130, 22);
    lblDay = NewLabel(this, "1", -100, -100);
    lblDay->hide();
    Check2 = NewCheck(this, "Check2", "Timers Off", 140, 24);
    chkTSound = NewCheck(this, "chkTSound", "Timer Sound", 240, 24);
    chkMsound = NewCheck(this, "chkMsound", "Macro Sound", 345, 24);
    Check4 = NewCheck(this, "Check4", "Allow Manual", 450, 24);
    // Each switch of the top bar ends where the next begins, so a longer
    // (translated) caption is fitted instead of running under its neighbour.
    for (QCheckBox *c : {Check2, chkTSound, chkMsound})
        c->resize(100, c->sizeHint().height());
    Check4->resize(kWidth - 450 - 4, Check4->sizeHint().height());
    Check1 = NewCheck(this, "Check1", "Check1", -200, -200);
    Check1->hide();
}

// The column headings over the rows and the rows' scroll bar.
void FrmTimers::buildColumnHeadings()
{
    const QStringList headings = {"#", "Action", "Start", "Days", "", "", "", "", "On"};
    const int headingX[] = {60, 102, 324, 416, -100, -100, -100, -100, 512};
    for (int k = 0; k < headings.size(); ++k) {
        QLabel *h = NewLabel(this, headings[k], headingX[k], 46);
        h->setObjectName(QStringLiteral("Label4_%1").arg(k));
        if (headingX[k] < 0)
            h->hide();
        Label4.append(h);
    }

    VScroll1 = new QScrollBar(Qt::Vertical, this);
    VScroll1->setObjectName("VScroll1");
    VScroll1->setGeometry(534, px(kRowTop), 16, px(kRowPitch * 6));
    VScroll1->setRange(0, 0);
    VScroll1->setPageStep(6);
    VScroll1->setEnabled(false);
    connect(VScroll1, &QScrollBar::valueChanged, this, [this] { VScroll1_Change(); });
}

// The start-time spinner, today's sun times and the macro file list.
void FrmTimers::buildSpinner()
{
    const int spinY = 258;
    NewLabel(this, "Start time", 10, spinY - 2);
    for (int k = 0; k < 3; ++k) {
        auto *bar = new QScrollBar(Qt::Vertical, this);
        bar->setObjectName(QStringLiteral("VSTime_%1").arg(k));
        // Up raises the value; one step past a legal value is possible.
        bar->setInvertedAppearance(true);
        bar->setInvertedControls(true);
        if (k == 0)
            bar->setRange(0, 24);
        else
            bar->setRange(-1, 60);
        bar->setGeometry(10 + k * 52, spinY + 18, 16, 36);
        connect(bar, &QScrollBar::valueChanged, this, [this, k] { VSTime_Change(k); });
        VSTime.append(bar);
        auto *box = new QLineEdit("00", this);
        box->setObjectName(QStringLiteral("Text3_%1").arg(k));
        box->setGeometry(28 + k * 52, spinY + 24, 28, 24);
        box->setMaxLength(3);
        connect(box, &QLineEdit::textChanged, this, [this, k] { Text3_Change(k); });
        Text3.append(box);
    }
    chkAM = NewCheck(this, "chkAM", "AM", 168, spinY + 18);
    chkPM = NewCheck(this, "chkPM", "PM", 168, spinY + 38);
    connect(chkAM, &QCheckBox::toggled, this, [this] { chkAM_Click(); });
    connect(chkPM, &QCheckBox::toggled, this, [this] { chkPM_Click(); });
    Label2 = NewLabel(this, "0:00:00", 10, spinY + 62, 150);
    Label2->setObjectName("Label2");
    cmdTimeReSet = NewButton(this, "cmdTimeReSet", "Sync to system time", 160, spinY + 60, 160);

    // Today's sun times.
    lblSR = NewLabel(this, "", 222, spinY + 20, 104);
    lblSR->setObjectName("lblSR");
    lblSS = NewLabel(this, "", 222, spinY + 40, 104);
    lblSS->setObjectName("lblSS");

    // Macro file list.
    NewLabel(this, "Macros", 330, spinY - 2);
    File1 = new QListWidget(this);
    File1->setObjectName("File1");
    File1->setGeometry(330, spinY + 16, 220, 90);
}

// The loop timer's controls.
void FrmTimers::buildLoopTimer()
{
    const int loopY = 370;
    Label5 = NewLabel(this, "", 0, loopY - 6);
    Label5->setObjectName("Label5");
    Label5->resize(kWidth, 58);
    chkEnableLoop = NewCheck(this, "chkEnableLoop", "Loop Timer", 10, loopY);
    chkEnableLoop->resize(94, chkEnableLoop->sizeHint().height());
    cmdLoop = NewButton(this, "cmdLoop", "M", 106, loopY - 2, 22);
    txtLoop = new QLineEdit(this);
    txtLoop->setObjectName("txtLoop");
    txtLoop->setGeometry(130, loopY - 2, 170, 24);
    connect(txtLoop, &QLineEdit::textChanged, this, [this] { txtLoop_Change(); });
    lblLoopDays = NewLabel(this, "not set", 306, loopY + 2, 80);
    lblLoopDays->setObjectName("lblLoopDays");
    lblLoopDays->setAutoFillBackground(true);
    lblLoopDays->setFrameShape(QFrame::Box);
    lblLoopDays->setAlignment(Qt::AlignCenter);
    lblLoopDays->resize(80, 20);
    cmdClearLoop = NewButton(this, "cmdClearLoop", "C", 390, loopY - 2, 22);
    chkFlashLp = NewCheck(this, "chkFlashLp", "Flash", 420, loopY);
    Check5 = NewCheck(this, "Check5", "Use start && end times", 10, loopY + 26);
    Check5->resize(168, Check5->sizeHint().height());
    Label7.append(NewLabel(this, "Start", 180, loopY + 28, 34));
    Label7.append(NewLabel(this, "End", 280, loopY + 28, 28));
    Label7[0]->setObjectName("Label7_0");
    Label7[1]->setObjectName("Label7_1");
    LpStartTm = new QLineEdit(this);
    LpStartTm->setObjectName("LpStartTm");
    LpStartTm->setGeometry(214, loopY + 24, 62, 24);
    LpEndTm = new QLineEdit(this);
    LpEndTm->setObjectName("LpEndTm");
    LpEndTm->setGeometry(310, loopY + 24, 62, 24);
    // The loop macro's path, cut in the middle so that its file name shows.
    lblMacroLoop = new StatusLabel(this, Qt::ElideMiddle);
    lblMacroLoop->setGeometry(378, loopY + 28, 172, lblMacroLoop->sizeHint().height());
    lblMacroLoop->setObjectName("lblMacroLoop");
}

// The button row along the bottom.
void FrmTimers::buildButtons()
{
    const int btnY = kHeight - 36;
    Command3 = NewButton(this, "Command3", "OK", 10, btnY, 52);
    cmdApply = NewButton(this, "cmdApply", "Apply", 66, btnY, 52);
    cmdCancel = NewButton(this, "cmdCancel", "Cancel", 122, btnY, 58);
    cmdCreateTimer = NewButton(this, "cmdCreateTimer", "New", 190, btnY, 44);
    cmdKillTimer = NewButton(this, "cmdKillTimer", "Del", 238, btnY, 44);
    cmdRefresh = NewButton(this, "cmdRefresh", "Refresh", 292, btnY, 64);
    cmdHelp = NewButton(this, "cmdHelp", "&Help", 360, btnY, 50);
    cmdInfo = NewButton(this, "cmdInfo", "&V", 414, btnY, 28);
    cmdStatusDump = NewButton(this, "cmdStatusDump", "Status / Log", 446, btnY, 104);
    cmdSetFocus = NewButton(this, "cmdSetFocus", "", -300, -300, 10);
    cmdApply->setEnabled(false);
}

// The options menu (its toggles are handled with the window's other options).
void FrmTimers::buildOptionsMenu()
{
    mnuTimers = new QMenu(this);
    mnuTimers->addSeparator();
    QMenu *defaults = mnuTimers->addMenu("Timer Setup Defaults to:");
    const QStringList runCaptions = {"run Everyday",   "run Weekdays",  "run Weekends",
                                     "run Fri && Sat", "run Sun - Thu", "run One Time",
                                     "run Never"};
    for (const QString &c : runCaptions) {
        QAction *a = defaults->addAction(c);
        a->setCheckable(true);
        mnuRun.append(a);
    }
    QMenu *prefs = mnuTimers->addMenu("Timer Preferences");
    mnuAllowNewTimers = prefs->addAction("Allow new timers to be added or removed");
    mnuAllowManual = prefs->addAction("\"Allow Manual\" NOT selected on startup");
    QMenu *confirm = mnuTimers->addMenu("Show Confimations For:");
    mnuClearTimer = confirm->addAction("Clear Timer");
    mnuDeleteTimer = confirm->addAction("Delete Timer");
    mnuSaveQuit = confirm->addAction("Exit without Saving Timers");
    mnuTimers->addSeparator();
    mnuCancel = mnuTimers->addAction("Cancel"); // closes the menu; nothing else
    for (QAction *a :
         {mnuAllowNewTimers, mnuAllowManual, mnuClearTimer, mnuDeleteTimer, mnuSaveQuit}) {
        a->setCheckable(true);
        a->setChecked(true);
    }
}

// The window's timers and the macro slots' timers.
void FrmTimers::buildTimerControls()
{
    auto makeTimer = [this](const char *name, int ms) {
        auto *t = new QTimer(this);
        t->setObjectName(name);
        t->setInterval(ms);
        return t;
    };
    Timer1 = makeTimer("Timer1", 250);
    Timer2 = makeTimer("Timer2", 500);
    tmrSunSet = makeTimer("tmrSunSet", 1000);
    TmrOverFlow = makeTimer("TmrOverFlow", 500);
    tmrSendBits = makeTimer("tmrSendBits", 50);
    Tmr7 = makeTimer("Tmr7", 250);
    for (int n = 0; n < MacroSlots::kSlots; ++n) {
        tmrThread[n] = makeTimer(QStringLiteral("tmrThread%1").arg(n).toLatin1().constData(), 5);
        connect(tmrThread[n], &QTimer::timeout, this, [this, n] {
            m_engine->macroSlots.tick(n);
            syncEngineTimers();
        });
    }
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1_Timer(); });
    connect(Timer2, &QTimer::timeout, this, [this] { Timer2_Timer(); });
    connect(tmrSunSet, &QTimer::timeout, this, [this] { tmrSunSet_Timer(); });
    connect(TmrOverFlow, &QTimer::timeout, this, [this] {
        m_engine->overflow.tick();
        syncEngineTimers();
    });
    connect(tmrSendBits, &QTimer::timeout, this, [this] { tmrSendBits_Timer(); });
    connect(Tmr7, &QTimer::timeout, this, [this] { Tmr7_Timer(); });
}

void FrmTimers::connectWindowHandlers()
{
    connect(cmdCreateTimer, &QPushButton::clicked, this, [this] { cmdCreateTimer_Click(); });
    connect(cmdKillTimer, &QPushButton::clicked, this, [this] { cmdKillTimer_Click(); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
    connect(Command3, &QPushButton::clicked, this, [this] { Command3_Click(); });
    connect(cmdApply, &QPushButton::clicked, this, [this] { cmdApply_Click(); });
    connect(cmdStatusDump, &QPushButton::clicked, this, [this] { cmdStatusDump_Click(); });
    connect(cmdRefresh, &QPushButton::clicked, this, [this] { cmdRefresh_Click(); });
    connect(Check2, &QCheckBox::toggled, this, [this] { Check2_Click(); });
    Check2->installEventFilter(this);
    for (QWidget *b :
         {cmdCancel, cmdCreateTimer, cmdKillTimer, cmdRefresh, cmdStatusDump, Command3})
        b->installEventFilter(this);
    connect(Check1, &QCheckBox::toggled, this, [this](bool on) {
        if (on)
            tmrSendBits->stop();
        else
            tmrSendBits->start();
    });
    connect(chkTSound, &QCheckBox::toggled, this,
            [](bool on) { SaveSet("Sounds", "TimerTsound", on ? "1" : "0"); });
    connect(chkMsound, &QCheckBox::toggled, this,
            [](bool on) { SaveSet("Sounds", "TimerMsound", on ? "1" : "0"); });

    txtScroll.setHandler([this](const QString &text) {
        bool ok = false;
        const int v = text.trimmed().toInt(&ok);
        if (text.trimmed().isEmpty() || !ok)
            return;
        m_firstRow = v;
        ScrollRows();
    });
    txtStatusDump.setHandler([this](const QString &text) {
        if (TimerLogService *log = m_log ? m_log : TimerLog())
            log->appendLog(kCrLf + text);
    });
}

// The editing controls' lists and their handlers.
void FrmTimers::buildEditControls()
{
    auto dayList = [this](const char *name, int words) {
        auto *l = new QListWidget(this);
        l->setObjectName(name);
        l->addItems(DayRuleWords().mid(0, words));
        l->hide();
        l->installEventFilter(this);
        return l;
    };
    Combo1 = dayList("Combo1", 7);
    combo2 = dayList("combo2", 5);
    connect(Combo1, &QListWidget::itemClicked, this, [this] { Combo1_Take(); });
    connect(combo2, &QListWidget::itemClicked, this, [this] { combo2_Take(); });

    connect(cmdTimeReSet, &QPushButton::clicked, this, [this] { cmdTimeReSet_Click(); });
    connect(Check4, &QCheckBox::toggled, this, [this] { Check4_Click(); });
    connect(Check5, &QCheckBox::toggled, this, [this] { Check5_Click(); });
    connect(chkEnableLoop, &QCheckBox::toggled, this, [this] { chkEnableLoop_Click(); });
    connect(chkFlashLp, &QCheckBox::toggled, this, [this] { chkFlashLp_Click(); });
    connect(cmdLoop, &QPushButton::clicked, this, [this] { cmdLoop_Click(); });
    connect(cmdClearLoop, &QPushButton::clicked, this, [this] { cmdClearLoop_Click(); });
    connect(cmdHelp, &QPushButton::clicked, this, [this] { cmdHelp_Click(); });
    connect(cmdInfo, &QPushButton::clicked, this, [this] { cmdInfo_Click(); });
    for (QLineEdit *box : {LpStartTm, LpEndTm})
        connect(box, &QLineEdit::textChanged, this, [this] {
            if (!m_filling)
                TmrChanged = true;
        });
    for (int k = 0; k < mnuRun.size(); ++k)
        connect(mnuRun[k], &QAction::triggered, this, [this, k] { mnuRun_Click(k); });
    for (QAction *a :
         {mnuAllowNewTimers, mnuAllowManual, mnuClearTimer, mnuDeleteTimer, mnuSaveQuit})
        connect(a, &QAction::triggered, this, [this, a] { mnuOption_Click(a); });

    Label5->lower();
    for (QWidget *w : {static_cast<QWidget *>(lblMenu), static_cast<QWidget *>(lblMin),
                       static_cast<QWidget *>(lblExit), static_cast<QWidget *>(Label5),
                       static_cast<QWidget *>(lblSR), static_cast<QWidget *>(lblSS),
                       static_cast<QWidget *>(Label14), static_cast<QWidget *>(lblLoopDays)}) {
        w->setMouseTracking(true);
        w->installEventFilter(this);
    }
    for (QWidget *w : {static_cast<QWidget *>(Label3), static_cast<QWidget *>(txtLoop),
                       static_cast<QWidget *>(LpStartTm), static_cast<QWidget *>(LpEndTm),
                       static_cast<QWidget *>(cmdTimeReSet), static_cast<QWidget *>(chkAM),
                       static_cast<QWidget *>(chkPM), static_cast<QWidget *>(Check4),
                       static_cast<QWidget *>(cmdApply), static_cast<QWidget *>(chkFlashLp),
                       static_cast<QWidget *>(cmdClearLoop), static_cast<QWidget *>(cmdLoop),
                       static_cast<QWidget *>(File1->viewport())})
        w->installEventFilter(this);
    for (QLabel *l : std::as_const(Label4))
        l->installEventFilter(this);
    for (QLineEdit *t : std::as_const(Text3))
        t->installEventFilter(this);
    Label3->setMouseTracking(true);
    AcceptFileDrops(txtLoop);
    File1->setAcceptDrops(true);
    AcceptFileDrops(File1->viewport());
}

FrmTimers::~FrmTimers() = default;

// --- rows -----------------------------------------------------------------------

void FrmTimers::createRow(int i)
{
    auto *t = new QPushButton("T", this);
    auto *m = new QPushButton("M", this);
    auto *c2 = new QPushButton(QString::number(i + 1) + "-->", this);
    auto *t1 = new QLineEdit(this);
    auto *t2 = new QLineEdit(this);
    auto *days = new QLabel(NotSetText(), this);
    auto *c4 = new QPushButton("C", this);
    t->setObjectName(QStringLiteral("cmdT_%1").arg(i));
    m->setObjectName(QStringLiteral("cmdM_%1").arg(i));
    c2->setObjectName(QStringLiteral("Command2_%1").arg(i));
    t1->setObjectName(QStringLiteral("Text1_%1").arg(i));
    t2->setObjectName(QStringLiteral("Text2_%1").arg(i));
    days->setObjectName(QStringLiteral("lblActiveDays_%1").arg(i));
    c4->setObjectName(QStringLiteral("Command4_%1").arg(i));
    t->resize(22, 24);
    m->resize(22, 24);
    c2->resize(44, 24);
    t1->resize(220, 24);
    t2->resize(88, 24);
    days->resize(86, 20);
    days->setAlignment(Qt::AlignCenter);
    days->setAutoFillBackground(true);
    days->setFrameShape(QFrame::Box);
    c4->resize(22, 24);
    setLabelBack(days, kRuleNotSetRgb);
    connect(t1, &QLineEdit::textChanged, this,
            [this, t1] { Text1_Change(int(Text1.indexOf(t1))); });
    connect(t2, &QLineEdit::textChanged, this,
            [this, t2] { Text2_Change(int(Text2.indexOf(t2))); });
    connect(t, &QPushButton::clicked, this, [this, t] { cmdT_Click(int(cmdT.indexOf(t))); });
    connect(m, &QPushButton::clicked, this, [this, m] { cmdM_Click(int(cmdM.indexOf(m))); });
    connect(c2, &QPushButton::clicked, this,
            [this, c2] { Command2_Click(int(Command2.indexOf(c2))); });
    connect(c4, &QPushButton::clicked, this,
            [this, c4] { Command4_Click(int(Command4.indexOf(c4))); });
    AcceptFileDrops(t1);
    days->setMouseTracking(true);
    for (QWidget *w :
         {static_cast<QWidget *>(t), static_cast<QWidget *>(m), static_cast<QWidget *>(c2),
          static_cast<QWidget *>(t1), static_cast<QWidget *>(t2), static_cast<QWidget *>(days),
          static_cast<QWidget *>(c4)})
        w->installEventFilter(this);
    t1->setReadOnly(Check4 && !Check4->isChecked());
    t2->setReadOnly(Check4 && !Check4->isChecked());
    cmdT.append(t);
    cmdM.append(m);
    Command2.append(c2);
    Text1.append(t1);
    Text2.append(t2);
    lblActiveDays.append(days);
    Command4.append(c4);
    for (QWidget *w :
         {static_cast<QWidget *>(t), static_cast<QWidget *>(m), static_cast<QWidget *>(c2),
          static_cast<QWidget *>(t1), static_cast<QWidget *>(t2), static_cast<QWidget *>(days),
          static_cast<QWidget *>(c4)})
        w->hide();
}

void FrmTimers::removeLastRow()
{
    for (auto *list : {&cmdT, &cmdM, &Command2, &Command4})
        delete list->takeLast();
    delete Text1.takeLast();
    delete Text2.takeLast();
    delete lblActiveDays.takeLast();
}

void FrmTimers::fillRow(int i)
{
    const TimerRow &r = m_table.row(i);
    m_filling = true;
    Command2[i]->setText(QString::number(i + 1) + "-->");
    Text1[i]->setText(r.action);
    Text2[i]->setText(r.startText);
    lblActiveDays[i]->setText(r.dayRule.isEmpty() ? NotSetText() : r.dayRule);
    m_filling = false;
}

void FrmTimers::setLabelBack(QLabel *label, unsigned back)
{
    // The clock restyles every rule label four times a second; only a change
    // of colour is worth a new palette.
    const QVariant current = label->property("qeltBack");
    if (current.isValid() && current.toUInt() == back)
        return;
    QPalette p = label->palette();
    p.setColor(QPalette::Window, rgb(back));
    label->setPalette(p);
    label->setProperty("qeltBack", back);
}

void FrmTimers::colourRuleLabel(int i)
{
    colourRow(i);
}

bool FrmTimers::rowShown(int i) const
{
    return i >= 0 && i < rowCount() && !Text1[i]->isHidden();
}

QStringList FrmTimers::lstMacro() const
{
    QStringList l;
    for (int i = 0; i < m_table.rowCount(); ++i)
        l << m_table.row(i).macroPath;
    return l;
}

QStringList FrmTimers::lstTime() const
{
    QStringList l;
    for (int i = 0; i < m_table.rowCount(); ++i)
        l << m_table.row(i).triggerTime;
    return l;
}

void FrmTimers::Text1_Change(int i)
{
    if (i < 0 || i >= m_table.rowCount())
        return;
    QString text = Text1[i]->text();
    if (text.contains(QLatin1Char('*'))) {
        // "*" separates the fields of the timer file.
        Info(LangCap("* is not allowed"), true, false, {}, {}, false);
        text.remove(QLatin1Char('*'));
        Text1[i]->setText(text);
        return;
    }
    TimerRow &r = m_table.row(i);
    r.action = text;
    r.macroPath = TimerTable::ActionPath(text);
    if (m_filling)
        return;
    TmrChanged = true;
    // A row without its action cannot run: its rule reads "not set" again.
    if (text.isEmpty())
        setDayCaption(i, NotSetText());
    colourRow(i);
}

void FrmTimers::Text2_Change(int i)
{
    if (i < 0 || i >= m_table.rowCount())
        return;
    QString text = Text2[i]->text();
    if (text.contains(QLatin1Char('*'))) {
        text.remove(QLatin1Char('*'));
        Text2[i]->setText(text);
        return;
    }
    TimerRow &r = m_table.row(i);
    r.startText = text;
    // The location may have been set meanwhile; the entry resolves at once.
    Location = SunLocation::FromSettings();
    Location.applyTo(SunCalc());
    const bool known = Location.complete();
    r.triggerTime = ResolveStartText(
        text, !r.action.trimmed().isEmpty(),
        known ? QTime::fromString(SunriseText, QStringLiteral("HH:mm:ss")) : QTime(),
        known ? QTime::fromString(SunsetText, QStringLiteral("HH:mm:ss")) : QTime());
    if (m_filling) {
        colourRow(i);
        return;
    }
    TmrChanged = true;
    if (text.isEmpty())
        setDayCaption(i, NotSetText());
    colourRow(i);
}

void FrmTimers::ScrollRows()
{
    const int n = rowCount();
    for (int i = 0; i < n; ++i)
        for (QWidget *w :
             {static_cast<QWidget *>(cmdT[i]), static_cast<QWidget *>(cmdM[i]),
              static_cast<QWidget *>(Command2[i]), static_cast<QWidget *>(Text1[i]),
              static_cast<QWidget *>(Text2[i]), static_cast<QWidget *>(lblActiveDays[i]),
              static_cast<QWidget *>(Command4[i])})
            w->hide();
    for (int k = 0; k < 6; ++k) {
        const int i = m_firstRow + k;
        if (i < 0 || i >= n)
            continue;
        const int top = px(kRowTop + k * kRowPitch);
        const int low = px(kRowTop + kLabelDrop + k * kRowPitch);
        cmdT[i]->move(10, top);
        cmdM[i]->move(34, top);
        Command2[i]->move(58, top);
        Text1[i]->move(104, top);
        Text2[i]->move(326, top);
        lblActiveDays[i]->move(418, low);
        Command4[i]->move(508, low - 2);
        for (QWidget *w :
             {static_cast<QWidget *>(cmdT[i]), static_cast<QWidget *>(cmdM[i]),
              static_cast<QWidget *>(Command2[i]), static_cast<QWidget *>(Text1[i]),
              static_cast<QWidget *>(Text2[i]), static_cast<QWidget *>(lblActiveDays[i]),
              static_cast<QWidget *>(Command4[i])})
            w->show();
    }
}

void FrmTimers::VScroll1_Change()
{
    {
        const QSignalBlocker block(VScroll1);
        VScroll1->setMaximum(std::max(0, rowCount() - 6));
    }
    txtScroll.setText(QString::number(VScroll1->value()));
    cmdSetFocus->setFocus();
}

void FrmTimers::cmdCreateTimer_Click()
{
    const bool wasChanged = TmrChanged;
    const int n = rowCount();
    if (n >= kMaxRows || !m_table.addRow())
        return;
    createRow(n);
    setLabelBack(lblActiveDays[n], kRuleNewRowRgb);
    if (m_log)
        m_log->addStatusRow();
    Command2[n]->setText(QString::number(n + 1) + "-->");
    Text1[n]->setText(QString());
    Text2[n]->setText(QString());
    lblActiveDays[n]->setText(NotSetText());
    cmdKillTimer->show();
    TimerCount = QString::number(rowCount());
    if (isVisible())
        TmrChanged = true;
    else
        TmrChanged = wasChanged;
    {
        const QSignalBlocker block(VScroll1);
        VScroll1->setMaximum(rowCount() - 6);
    }
    VScroll1->setEnabled(true);
    if (VScroll1->value() == n - 5)
        ScrollRows();
    VScroll1->setValue(n - 5);
}

void FrmTimers::cmdKillTimer_Click()
{
    const int n = rowCount();
    if (n <= kMinRows)
        return;
    if (mnuDeleteTimer->isChecked() &&
        Questions(LangCap("Are you sure you want to REMOVE Timer #") + QString::number(n) + "   ",
                  2, LangCap("Remove Timer #") + QString::number(n), MsgIcon::Question) != 1)
        return;
    TmrChanged = true;
    removeLastRow();
    m_table.removeLastRow();
    if (m_log)
        m_log->removeLastStatusRow();
    if (rowCount() == kMinRows) {
        cmdKillTimer->hide();
        VScroll1->setEnabled(false);
        cmdRefresh_Click();
        cmdSetFocus->setFocus();
    }
    TimerCount = QString::number(rowCount());
    {
        const QSignalBlocker block(VScroll1);
        VScroll1->setMaximum(rowCount() - 6);
    }
    if (m_firstRow > rowCount() - 6) {
        m_firstRow = rowCount() - 6;
        const QSignalBlocker block(VScroll1);
        VScroll1->setValue(m_firstRow);
    }
    ScrollRows();
    if (m_log) {
        m_log->updateVSEvents();
        bool ok = false;
        const int first = m_log->Text3.text().toInt(&ok);
        if (ok && first > rowCount() - 7)
            m_log->Text3.setText(QString::number(first - 1));
    }
    ShowTimerStatus();
}

void FrmTimers::cmdRefresh_Click()
{
    const int selected = File1->currentRow();
    File1->clear();
    const QStringList files =
        QDir(ProgramFolder()).entryList({"*.cro"}, QDir::Files, QDir::Name | QDir::IgnoreCase);
    File1->addItems(files);
    if (selected >= 0 && selected < File1->count())
        File1->setCurrentRow(selected);
}

// --- status ---------------------------------------------------------------------

QString FrmTimers::StatusRowText(int k, const QString &action, const QString &start,
                                 const QString &rule, bool neverAsOff)
{
    const QString timer = LangCap("Timer");
    if (rule == NotSetText() || (neverAsOff && rule == QLatin1String(kRuleNever)))
        return timer + " " + QString::number(k) + ", OFF " + kCrLf;
    return timer + " " + QString::number(k) + ", " + LangCap("Set For") + " " + LangCap(rule) +
           " " + "at " + start + kCrLf + "\t(" + (action.isEmpty() ? LangCap("Empty") : action) +
           ")" + kCrLf;
}

void FrmTimers::ShowTimerStatus()
{
    if (!m_log)
        return;
    for (int i = 0; i < rowCount() && i < m_log->statusRowCount(); ++i) {
        const QString rule = lblActiveDays[i]->text();
        const bool off = rule == NotSetText();
        const bool green = !off && LangCap(rule) != LangCap(kRuleNever);
        m_log->setStatus(i, StatusRowText(i + 1, Text1[i]->text(), Text2[i]->text(), rule, false),
                         green ? QColor(0, 0xFF, 0) : QColor(0xFF, 0xFF, 0));
    }
    if (chkEnableLoop->isChecked())
        m_log->setLoopStatus(LangCap("Loop Timer") + " -  , " + LangCap("Set For") + " " +
                                 LangCap(lblLoopDays->text()) + " " + kCrLf + txtLoop->text(),
                             QColor(0, 0xFF, 0));
    else
        m_log->setLoopStatus(LangCap("Loop Timer") + " -  " + LangCap("Not Set!") + "  ",
                             QColor(0xFF, 0xFF, 0));
}

void FrmTimers::cmdStatusDump_Click()
{
    if (!m_log)
        return;
    m_log->resetLabelButtons();
    cmdSetFocus->setFocus();
    m_log->showLog();
}

// --- spinner ----------------------------------------------------------------------

void FrmTimers::VSTime_Change(int)
{
    for (int k = 0; k < 3; ++k) {
        const int v = VSTime[k]->value();
        Text3[k]->setText(v < 0 ? "-" + QString::asprintf("%02d", -v)
                                : QString::asprintf("%02d", v));
    }
    const bool twelve = chkAM->isChecked() || chkPM->isChecked();
    QScrollBar *h = VSTime[0];
    if (twelve) {
        if (h->value() < 1)
            h->setValue(12);
        if (h->value() > 12)
            h->setValue(1);
    } else {
        if (h->value() < 0)
            h->setValue(23);
        if (h->value() > 23)
            h->setValue(0);
    }
    if (VSTime[1]->value() < 0)
        VSTime[1]->setValue(59);
    if (VSTime[2]->value() < 0)
        VSTime[2]->setValue(59);
    if (VSTime[1]->value() > 59)
        VSTime[1]->setValue(0);
    if (VSTime[2]->value() > 59)
        VSTime[2]->setValue(0);
}

void FrmTimers::Text3_Change(int)
{
    ShowSpinTime();
}

void FrmTimers::ShowSpinTime()
{
    m_spinHour = VSTime[0]->value();
    m_spinMinute = VSTime[1]->value();
    m_spinSecond = VSTime[2]->value();
    for (int k = 0; k < 3; ++k) {
        bool ok = false;
        const int v = Text3[k]->text().trimmed().toInt(&ok);
        if (ok)
            VSTime[k]->setValue(v); // a new value writes itself back and runs this again
    }
    // The values are those of the innermost run when a spinner moved above.
    SpinTimeText = QString::number(m_spinHour) + ":" + QString::asprintf("%02d", m_spinMinute) +
                   ":" + QString::asprintf("%02d", m_spinSecond) + SpinSuffix;
    Label2->setText(SpinTimeText);
}

// --- loop macro path ------------------------------------------------------------------

void FrmTimers::txtLoop_Change()
{
    QString caption = txtLoop->text();
    // A name without a folder is a macro of the program folder.
    if (!QDir::isAbsolutePath(caption) && caption.left(60) != ProgramFolder().left(60))
        caption = ProgramFolder() + "/" + caption;
    lblMacroLoop->setText(caption);
    LoadLoopMacro();
    if (isVisible())
        TmrChanged = true;
}

// --- master switch --------------------------------------------------------------------

bool FrmTimers::check2() const
{
    return Check2->isChecked();
}

void FrmTimers::setCheck2(bool on)
{
    ensureLoaded();
    Check2->setChecked(on);
}

bool FrmTimers::setMainTimersSwitch(bool on) const
{
    MainWindowService *main = MainWindow();
    return main && main->setTimersMasterSwitch(on);
}

void FrmTimers::Check2_Click()
{
    const bool on = Check2->isChecked();
    if (on) {
        m_engine->dueCheckSwitchedOn(); // times passed while off do not start now
        Timer2->start();
    } else {
        Timer2->stop();
        m_engine->dueCheckSwitchedOff();
    }
    setMainTimersSwitch(on);
    QPalette p = Check2->palette();
    p.setColor(QPalette::WindowText, on ? QColor(0, 0x80, 0) : QColor(0xFF, 0, 0));
    p.setColor(QPalette::ButtonText, p.color(QPalette::WindowText));
    Check2->setPalette(p);
    Check2->setText(LangCap(on ? "Timers ON" : "Timers OFF"));
    FitCaptions(this);
    setWindowTitle("   " + LangCap("Setup Timers") + "  " +
                   LangCap(on ? "-- Timers are Enabled!" : "-- Timers are Disabled!"));
    MainWindowService *main = MainWindow();
    if (!main || main->timersSwitchTag().isEmpty()) {
        if (TimerLogService *log = m_log ? m_log : TimerLog())
            log->appendLog(kCrLf + LangCap(on ? "Master Timer Enabled" : "Master Timer Disabled") +
                           " " + kCrLf + "\t" + DateTimeText(WallNow()) + kCrLf);
    }
    // The open window takes the focus, also when the console made the change.
    if (isVisible())
        activateWindow();
}

// --- timer controls ---------------------------------------------------------------------

void FrmTimers::syncEngineTimers()
{
    auto apply = [](QTimer *t, bool enabled, int interval) {
        interval = std::max(1, interval);
        if (!enabled) {
            t->stop();
            return;
        }
        if (t->interval() != interval || !t->isActive())
            t->start(interval);
    };
    for (int n = 0; n < MacroSlots::kSlots; ++n)
        apply(tmrThread[n], m_engine->macroSlots.enabled(n), m_engine->macroSlots.interval(n));
    apply(TmrOverFlow, m_engine->overflow.enabled(), m_engine->overflow.interval());
}

void FrmTimers::Timer1_Timer()
{
    const QDateTime now = WallNow();
    Label3->setText(ClockText(now.time()));
    const int weekday = now.date().dayOfWeek(); // Monday = 1 .. Sunday = 7
    lblDay->setText(weekday >= 6 ? "0" : "1");
    LoopWindowOpen =
        ::qelt::LoopWindowOpen(Check5->isChecked(), now.time(), LpStartTm->text(), LpEndTm->text());
    Text4 = LoopWindowOpen ? "True" : "False";

    // A zone's offsets change only at its transitions: they are worked out
    // again after the next one, or for another zone of the computer.
    const QTimeZone zone = QTimeZone::systemTimeZone();
    const QDateTime utc = QDateTime::currentDateTimeUtc();
    if (!m_zoneState || m_zoneState->id != zone.id() ||
        (m_zoneState->nextChange.isValid() && utc >= m_zoneState->nextChange)) {
        const int dl = ZoneHoursFromOffsetText(TZStdOffset(zone, utc)) -
                       ZoneHoursFromOffsetText(TZOffset(zone, utc));
        m_zoneState =
            ZoneState{zone.id(), IsDST(zone, utc), dl,
                      zone.hasTransitions() ? zone.nextTransition(utc).atUtc : QDateTime()};
    }
    const bool dst = m_zoneState->dst;
    const int dl = m_zoneState->dl;
    DLSavings = QString::number(dl);
    const QString daySavings = dst && dl == 1 ? "True" : "False";
    if (daySavings != m_lastDaySavings) { // unchanged values are not rewritten every tick
        SaveSet("Settings", "DaySavings", daySavings);
        m_lastDaySavings = daySavings;
    }

    cmdApply->setEnabled(TmrChanged);
    if (rowCount() > 6)
        VScroll1->setEnabled(true);

    for (int i = 0; i < rowCount(); ++i) {
        switch (DayRuleShade(lblActiveDays[i]->text(), weekday)) {
        case RuleShade::Active:
            setLabelBack(lblActiveDays[i], kRuleActiveRgb);
            break;
        case RuleShade::Idle:
            setLabelBack(lblActiveDays[i], kRuleIdleRgb);
            break;
        case RuleShade::Keep:
            break;
        }
    }
    if (chkEnableLoop->isChecked()) {
        const RuleShade s = DayRuleShade(lblLoopDays->text(), weekday);
        if (s != RuleShade::Keep)
            setLabelBack(lblLoopDays, s == RuleShade::Active ? kRuleActiveRgb : kRuleIdleRgb);
    } else {
        setLabelBack(lblLoopDays, kRuleNotSetRgb);
    }
}

void FrmTimers::Timer2_Timer()
{
    if (!Check2->isChecked())
        Timer2->stop();
    m_engine->Timer2();
    syncEngineTimers();
}

void FrmTimers::tmrSendBits_Timer()
{
    // Setting a running timer's interval restarts it; only a change is set.
    if (tmrSendBits->interval() != 100)
        tmrSendBits->setInterval(100);
    m_engine->queue.tick();
}

// --- load, save, unload ------------------------------------------------------------------

void FrmTimers::ensureLoaded()
{
    if (!m_loaded)
        Form_Load();
}

void FrmTimers::Form_Load()
{
    m_loaded = true;
    TimerEditOpen = true;
    translateCaptions();

    bool ok = false;
    int count = GetSet("Settings", "TimerCount", "6").trimmed().toInt(&ok);
    count = std::clamp(ok ? count : kMinRows, kMinRows, kMaxRows);
    TimerCount = QString::number(count);

    loadOptions();
    loadTable(count);

    DefaultDayRule = std::clamp(intSetting("Settings", "RunDef", 0), 0, 6);
    for (int k = 0; k < mnuRun.size(); ++k)
        mnuRun[k]->setChecked(k == DefaultDayRule);

    // Spinner at the current time.
    cmdTimeReSet_Click();

    cmdCreateTimer->setVisible(mnuAllowNewTimers->isChecked());
    cmdKillTimer->setVisible(mnuAllowNewTimers->isChecked() && rowCount() >= 7);
    cmdRefresh_Click();
    m_firstRow = 0;
    ScrollRows();
    // The loop starts between passes at its first line, with no lines until
    // its switch loads them.
    Loop.reset();
    {
        const QSignalBlocker block(chkEnableLoop); // the stored value runs the switch's handler
        chkEnableLoop->setChecked(false);
    }
    chkEnableLoop->setChecked(intSetting("Macro", "LoopR", 0) == 1);
    ShowTimerStatus();

    Timer1->start();
    tmrSunSet->start();
    tmrSunSet_Timer();
    tmrSendBits->setInterval(50);
    if (!Check1->isChecked())
        tmrSendBits->start();
    if (Check2->isChecked())
        Timer2->start();
    Timer1_Timer();
    if (m_keepTable) {
        TmrChanged = true; // the unsaved rows are still unsaved
        m_keepTable = false;
    } else {
        TmrChanged = false;
    }
}

// The captions in the chosen language; row texts, paths and the loop rule
// stay as they are.
void FrmTimers::translateCaptions()
{
    for (QWidget *w : findChildren<QWidget *>()) {
        const QString name = w->objectName();
        static const QStringList prefixes = {"cmd", "lbl", "Che", "chk", "Lab", "ckb", "Com"};
        bool match = false;
        for (const QString &p : prefixes)
            match = match || name.startsWith(p);
        // Row captions, file paths and the stored loop rule are not captions to translate.
        if (!match || name.startsWith("lblActiveDays") || name.startsWith("Command2_") ||
            name == "lblMacroLoop" || name == "lblLoopDays")
            continue;
        if (auto *b = qobject_cast<QAbstractButton *>(w))
            b->setText(LangCap(b->text()));
        else if (auto *l = qobject_cast<QLabel *>(w))
            l->setText(LangCap(l->text()));
    }
    for (QAction *a : mnuTimers->findChildren<QAction *>())
        if (!a->text().isEmpty())
            a->setText(LangCap(a->text()));
    setWindowTitle("   " + LangCap("Setup Timers") + "  " + LangCap("-- Timers are Disabled!"));
    if (Label4.size() > 8)
        Label4[8]->setText("On");
    FitCaptions(this);
}

// The window's place and the stored switches, loop settings and menu options.
void FrmTimers::loadOptions()
{
    // Position in twips, kept on the screen.
    MoveOnScreenTwips(this, ReadTwipsSetting(QStringLiteral("TimerMainLeft"), 500),
                      ReadTwipsSetting(QStringLiteral("TimerMainTop"), 500));

    chkTSound->setChecked(SchedulerSoundOn("TimerTsound"));
    chkMsound->setChecked(SchedulerSoundOn("TimerMsound"));
    chkFlashLp->setChecked(intSetting("Macro", "LpFl", 0) == 1);
    txtLoop->setText(GetSet("Macro", "LoopN"));
    lblLoopDays->setText(GetSet("Macro", "LoopD", NotSetText()));
    mnuClearTimer->setChecked(isTrue("cClearTimers"));
    mnuDeleteTimer->setChecked(isTrue("cDeleteTimers"));
    mnuAllowNewTimers->setChecked(isTrue("NewTimers"));
    mnuAllowManual->setChecked(isTrue("ManualTimers"));
    mnuSaveQuit->setChecked(isTrue("cSaveQuit"));
    Check5->setChecked(intSetting("Macro", "UseLpStartEndTimes", 0) == 1);
    Check5_Click(); // the boxes follow the switch even when it kept its value
    LpStartTm->setText(GetSet("Macro", "LpStartTime"));
    LpEndTm->setText(GetSet("Macro", "LpEndTime"));
    Check4->setChecked(!mnuAllowManual->isChecked());
    applyManualLock();
}

void FrmTimers::loadTable(int count)
{
    // The table: from the file, or kept in memory when its last save failed.
    // A "One Time" row's new rule goes into the same file.
    m_engine->timerFilePath = timerFilePath;
    if (!m_keepTable) {
        TimerTable loaded;
        loaded.setRowCount(count);
        if (LoadTimerTable(loaded, timerFilePath))
            m_table = loaded;
        else
            m_table.setRowCount(count);
    }
    while (rowCount() < m_table.rowCount())
        createRow(rowCount());
    while (rowCount() > m_table.rowCount())
        removeLastRow();
    if (m_log)
        m_log->setStatusRowCount(m_table.rowCount());
    for (int i = 0; i < rowCount(); ++i) {
        fillRow(i);
        TimerRow &r = m_table.row(i);
        r.macroPath = TimerTable::ActionPath(r.action);
        r.triggerTime = r.startText;
        if (Text1[i]->text().isEmpty() || Text2[i]->text().isEmpty())
            lblActiveDays[i]->setText(NotSetText());
        r.dayRule = lblActiveDays[i]->text();
        colourRuleLabel(i);
    }
    TimerCount = QString::number(rowCount());
    {
        const QSignalBlocker block(VScroll1);
        VScroll1->setRange(0, std::max(0, rowCount() - 6));
        VScroll1->setValue(0);
    }
    VScroll1->setEnabled(rowCount() > 6);
}

bool FrmTimers::SaveTimers()
{
    if (!SaveTimerTable(m_table, timerFilePath))
        return false;
    SaveSet("Macro", "LoopN", txtLoop->text());
    SaveSet("Macro", "LoopD", lblLoopDays->text());
    SaveSet("Macro", "LpStartTime", LpStartTm->text());
    SaveSet("Macro", "LpEndTime", LpEndTm->text());
    SaveSet("Macro", "UseLpStartEndTimes", Check5->isChecked() ? "1" : "0");
    TimerCount = QString::number(rowCount());
    return true;
}

void FrmTimers::Command3_Click()
{
    clickSound();
    const bool changed = TmrChanged;
    if (!SaveTimers())
        return; // the table stays as it is, still marked changed
    if (changed) {
        QString block = kCrLf + "========* " + LangCap("Saving Timers") + " *========" + kCrLf +
                        QLocale().toString(WallNow().date(), QLocale::ShortFormat) + kCrLf;
        for (int i = 0; i < rowCount(); ++i)
            block += kCrLf + StatusRowText(i + 1, Text1[i]->text(), Text2[i]->text(),
                                           lblActiveDays[i]->text(), true);
        block += "===== " + LangCap("Timers Saved") + " " + TimeText(WallNow().time()) +
                 " =====" + kCrLf;
        if (TimerLogService *log = m_log ? m_log : TimerLog())
            log->appendLog(block);
    }
    cmdApply->setEnabled(false);
    hide();
}

void FrmTimers::cmdCancel_Click()
{
    bool ok = false;
    int saved = GetSet("Settings", "TimerCount", "6").trimmed().toInt(&ok);
    saved = std::clamp(ok ? saved : kMinRows, kMinRows, kMaxRows);
    if (m_engine->MacroRunning() &&
        Questions(LangCap("The action will stop the timer that is currently running.") + kCrLf +
                      LangCap("Do you wish to continue?"),
                  2, LangCap("A Timer is Running!"), MsgIcon::Question) != 1)
        return;
    while (rowCount() > saved) {
        removeLastRow();
        m_table.removeLastRow();
        if (m_log)
            m_log->removeLastStatusRow();
    }
    TimerCount = QString::number(rowCount());
    if (isVisible())
        clickSound();
    hide();
    const QString click = ClickSound, zoom = ZoomSound;
    ClickSound = ZoomSound = "none";
    Delay(0.05);
    const bool wasOn = Check2->isChecked();
    MainWindowService *main = MainWindow();
    if (wasOn && main)
        main->setTimersSwitchTag("NoLog");
    Check2->setChecked(false);
    Timer2->stop();
    setMainTimersSwitch(false);
    TmrChanged = false;
    if (main)
        main->setTimerIndicator(false);
    m_engine->stopAll();
    syncEngineTimers();
    unload();
    if (wasOn) {
        // The console's switch handler switches the scheduler on, which loads
        // this window again.
        if (!setMainTimersSwitch(true))
            setCheck2(true);
    }
    ClickSound = click;
    ZoomSound = zoom;
}

void FrmTimers::unload()
{
    if (!m_loaded)
        return;
    Form_Unload();
}

void FrmTimers::Form_Unload()
{
    // The window's timers, slots, overflow list and send queue end first:
    // the question below waits for its answer with events running, and no
    // macro or queued frame may go on meanwhile.
    m_engine->stopAll();
    for (QTimer *t : {Timer1, Timer2, tmrSunSet, TmrOverFlow, tmrSendBits, Tmr7})
        t->stop();
    for (QTimer *t : tmrThread)
        t->stop();
    bool saveFailed = false;
    if (mnuSaveQuit->isChecked() && TmrChanged &&
        Questions(LangCap("Save Changes to Timers before closing?"), 2,
                  LangCap("Timers have Changed!")) == 1)
        saveFailed = !SaveTimers();
    if (!isMinimized()) {
        SaveTwipsSetting(QStringLiteral("TimerMainLeft"), x(), 500);
        SaveTwipsSetting(QStringLiteral("TimerMainTop"), y(), 500);
    }
    // A failed save keeps the rows in memory; the next load shows them again.
    m_keepTable = saveFailed;
    TmrChanged = false;
    hide();
    if (MainWindowService *main = MainWindow();
        main && main->widget() && main->widget()->isVisible())
        main->widget()->activateWindow();
    m_loaded = false;
    TimerEditOpen = false;
}

// --- window events -----------------------------------------------------------------------

void FrmTimers::clickSound() const
{
    if (SoundsOn)
        PlayWav(ClickSound);
}

void FrmTimers::closeEvent(QCloseEvent *event)
{
    // The window stays loaded; the frame's close only hides it.
    event->ignore();
    hide();
}

void FrmTimers::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        QApplication::processEvents();
        FormDrag(this);
    } else if (event->button() == Qt::RightButton) {
        clickSound();
        mnuTimers->popup(event->globalPosition().toPoint());
    }
}

bool FrmTimers::eventFilter(QObject *watched, QEvent *event)
{
    if (editEventFilter(watched, event))
        return true;
    if (event->type() == QEvent::Enter || event->type() == QEvent::ToolTip) {
        // Tool tips follow the main window's switch; without it they are empty.
        MainWindowService *main = MainWindow();
        const bool tips = main && main->toolTipsOn();
        const QString rows = QString::number(rowCount());
        QString tip;
        if (watched == cmdCancel)
            tip = LangTip("Close window without saving changes");
        else if (watched == cmdCreateTimer)
            tip = LangTip("Add a new timer! (Timer") + QString::number(rowCount() + 1) + ") ";
        else if (watched == cmdKillTimer)
            tip = LangTip("Remove Timer") + rows + " ";
        else if (watched == cmdRefresh)
            tip = LangTip("Refresh macro list");
        else if (watched == cmdStatusDump)
            tip = LangTip("Show timer status and log window");
        else if (watched == Command3)
            tip = LangTip("Close and save the current settings");
        else if (watched == Check2)
            tip = LangTip("Turns the selected timers ON or OFF (does NOT change the loop timer)");
        // The other controls' tips are set with the editing controls.
        if (auto *w = qobject_cast<QWidget *>(watched); w && !tip.isEmpty())
            w->setToolTip(tips ? tip : QString());
    }
    // A press on the master switch is the user's own: its change is logged.
    if (watched == Check2 && (event->type() == QEvent::MouseButtonPress ||
                              event->type() == QEvent::MouseButtonRelease)) {
        if (MainWindowService *main = MainWindow())
            main->setTimersSwitchTag(QString());
    }
    return QWidget::eventFilter(watched, event);
}

void FrmTimers::mouseMoveEvent(QMouseEvent *event)
{
    // The label buttons go back to their resting look.
    for (QLabel *l : lblActiveDays + QList<QLabel *>{lblLoopDays, lblExit, lblMin}) {
        QPalette p = l->palette();
        p.setColor(QPalette::WindowText, Qt::black);
        l->setPalette(p);
        if (l != lblExit && l != lblMin)
            l->setFrameShape(QFrame::Box);
    }
    lblMenu->setFrameShape(QFrame::NoFrame);
    QWidget::mouseMoveEvent(event);
}

void FrmTimers::resizeEvent(QResizeEvent *event)
{
    if (m_loaded && isVisible() && SoundsOn)
        PlayWav(ZoomSound);
    QWidget::resizeEvent(event);
}

void FrmTimers::changeEvent(QEvent *event)
{
    // The window has no frame: its heading shows the caption.
    if (event->type() == QEvent::WindowTitleChange && Label14)
        Label14->setText(windowTitle().trimmed());
    if (event->type() == QEvent::WindowStateChange && m_loaded && SoundsOn)
        PlayWav(ZoomSound);
    QWidget::changeEvent(event);
}

} // namespace qelt
