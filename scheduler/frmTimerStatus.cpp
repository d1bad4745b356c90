#include "scheduler/frmTimerStatus.h"

#include "core/Dialogs.h"
#include "core/EventControls.h"
#include "core/FileActions.h"
#include "core/Sounds.h"
#include "core/WindowHelpers.h"
#include "core/services/ConsoleServices.h"
#include "logic/ErrorLog.h"
#include "logic/FileHelpers.h"
#include "logic/Globals.h"
#include "logic/Lang.h"
#include "logic/ProgramFolder.h"
#include "logic/SchedulerClock.h"
#include "logic/Settings.h"
#include "logic/Transmitter.h"
#include "scheduler/TimerLogPrint.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QScrollBar>
#include <QTextCursor>
#include <QTextDocument>
#include <QThread>
#include <QTimer>

#include <algorithm>

namespace qelt {

namespace {

constexpr int kRowTop = 2040 / kTwipsPerPixel;  // first visible status row
constexpr int kRowPitch = 705 / kTwipsPerPixel; // status rows apart
constexpr int kRowWidth = 3950 / kTwipsPerPixel;
constexpr int kRowHeight = 700 / kTwipsPerPixel;
constexpr int kVisibleRows = 6;
constexpr int kLeft = 135 / kTwipsPerPixel;

const QString kCrLf = QStringLiteral("\r\n");

QString displayText(QString text)
{
    text.replace(kCrLf, QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

// Green on black, as the log and status boxes are drawn; on a light back
// colour the text turns black so that it stays readable.
void paintBox(QPlainTextEdit *box, const QColor &back)
{
    QPalette p = box->palette();
    p.setColor(QPalette::Base, back);
    p.setColor(QPalette::Text, back.lightness() > 100 ? QColor(Qt::black) : QColor(0, 0xFF, 0));
    box->setPalette(p);
}

// A status box is only a few lines high: its font shrinks (down to 6 pt)
// until every line of its text, wrapped at the box's width, fits; a text
// that is too long even then can be scrolled.
void fitStatusBox(QPlainTextEdit *box, QString shown)
{
    constexpr qreal kSmallest = 6.0;
    while (shown.endsWith(QLatin1Char('\n')))
        shown.chop(1); // trailing empty lines need no room
    box->document()->setDocumentMargin(2);
    const QRect room = box->contentsRect();
    const auto height = [&](const QFont &f) {
        QTextDocument doc;
        doc.setDefaultFont(f);
        doc.setDocumentMargin(box->document()->documentMargin());
        doc.setDefaultTextOption(box->document()->defaultTextOption());
        doc.setTextWidth(room.width());
        doc.setPlainText(shown);
        return doc.size().height() + 1;
    };
    const QFont font = ShrinkFontToFit(OwnFont(box), kSmallest,
                                       [&](const QFont &f) { return height(f) <= room.height(); });
    box->setFont(font);
    box->setVerticalScrollBarPolicy(height(font) > room.height() ? Qt::ScrollBarAsNeeded
                                                                 : Qt::ScrollBarAlwaysOff);
}

} // namespace

frmTimerStatus::frmTimerStatus(QWidget *parent) : QWidget(parent)
{
    setObjectName("frmTimerStatus");
    setMouseTracking(true);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::black);
    pal.setColor(QPalette::WindowText, QColor(0, 0xFF, 0));
    setPalette(pal);

    buildHeading();
    buildRowsAndLog();
    buildHiddenControls();
    connectLabels();

    Form_Load();
}

// The title, the label buttons under it and the auto-save switch.
void frmTimerStatus::buildHeading()
{
    auto makeLabelButton = [this](const char *name, const QString &caption, int x, int y) {
        auto *l = new EventLabel(caption, this);
        l->setObjectName(name);
        l->move(x, y);
        l->setCursor(Qt::PointingHandCursor);
        setLabelColor(l, RestColor());
        connect(l, &EventLabel::mouseMoved, this, [this, l] { hoverLabel(l); });
        return l;
    };

    lblLabel = new QLabel("Timer Status", this);
    lblLabel->setObjectName("lblLabel");
    lblLabel->setGeometry(kLeft, 6, 150, 20);
    QFont bold = lblLabel->font();
    bold.setBold(true);
    bold.setPointSize(bold.pointSize() + 1);
    lblLabel->setFont(bold);
    setLabelColor(lblLabel, PressColor(), true);
    lblLabel->installEventFilter(this);

    Label2 = makeLabelButton("Label2", "Minimize", 175, 8);
    Label3 = makeLabelButton("Label3", "Close", 245, 8);
    Label4 = makeLabelButton("Label4", "Show Log", kLeft, 34);
    lblSave = makeLabelButton("lblSave", "Save As", 100, 34);
    lblAppend = makeLabelButton("lblAppend", "Clear", 158, 34);
    Label1 = makeLabelButton("Label1", "Select All", 198, 34);
    lblPrint = makeLabelButton("lblPrint", "Print", 260, 34);

    chkSaveLog = new QCheckBox(this);
    chkSaveLog->setObjectName("chkSaveLog");
    chkSaveLog->move(kLeft, 58);
    chkSaveLog->installEventFilter(this);
    lblSaveLog = makeLabelButton("lblSaveLog", "Auto Save Log", kLeft + 20, 60);

    cmdOpenLog = new QPushButton("Ope&n", this);
    cmdOpenLog->setObjectName("cmdOpenLog");
    QFont small = cmdOpenLog->font();
    small.setPointSize(std::max(6, small.pointSize() - 2));
    cmdOpenLog->setFont(small);
    cmdOpenLog->setGeometry(230, 56, 56, 22);
    cmdOpenLog->installEventFilter(this);
}

// The loop-timer line, the status rows with their scroll bar, and the log
// that covers them in the log view.
void frmTimerStatus::buildRowsAndLog()
{
    Line1 = new QFrame(this);
    Line1->setObjectName("Line1");
    Line1->setFrameShape(QFrame::HLine);
    Line1->setGeometry(kLeft, 81, 279, 3);
    QPalette linePal = Line1->palette();
    linePal.setColor(QPalette::WindowText, QColor(0, 0xFF, 0));
    Line1->setPalette(linePal);

    txtLoopT = new QPlainTextEdit(this);
    txtLoopT->setObjectName("txtLoopT");
    txtLoopT->setReadOnly(true);
    txtLoopT->setGeometry(kLeft, 88, kRowWidth, kRowHeight);
    txtLoopT->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    paintBox(txtLoopT, Qt::black);

    VSEvents = new QScrollBar(Qt::Vertical, this);
    VSEvents->setObjectName("VSEvents");
    VSEvents->setGeometry(kLeft + kRowWidth, kRowTop, 16, kRowPitch * kVisibleRows);
    VSEvents->setRange(0, 0);
    VSEvents->setEnabled(false);
    connect(VSEvents, &QScrollBar::valueChanged, this, [this] { VSEvents_Change(); });

    for (int i = 0; i < kVisibleRows; ++i)
        makeStatusRow(i);

    // The log lies above the status rows and covers them in the log view.
    Text1 = new QPlainTextEdit(this);
    Text1->setObjectName("Text1");
    Text1->setReadOnly(true);
    Text1->setGeometry(kLeft, 88, 279, 332);
    Text1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Text1->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    paintBox(Text1, Qt::black);
    Text1->installEventFilter(this);
    Text1->viewport()->installEventFilter(this);
}

// Hidden controls, outside the visible area, and the log-writing timer.
void frmTimerStatus::buildHiddenControls()
{
    Check1 = new QCheckBox(this);
    Check1->setObjectName("Check1");
    Check1->setGeometry(-100, -100, 10, 10);
    Check1->hide();
    connect(Check1, &QCheckBox::toggled, this, [this] { Check1_Click(); });
    cmdFocus = new QPushButton("Focus", this);
    cmdFocus->setObjectName("cmdFocus");
    cmdFocus->setGeometry(-200, -200, 40, 20);
    Text3.setText("-1");
    Text3.setHandler([this](const QString &t) { Text3_Change(t); });

    tmrLogWrite = new QTimer(this);
    tmrLogWrite->setObjectName("tmrLogWrite");
    tmrLogWrite->setInterval(60000);
    connect(tmrLogWrite, &QTimer::timeout, this, [this] { tmrLogWrite_Timer(); });
}

void frmTimerStatus::connectLabels()
{
    connect(Label4, &EventLabel::clicked, this, [this] { Label4_Click(); });
    connect(Label1, &EventLabel::clicked, this, [this] { Label1_Click(); });
    connect(Label1, &EventLabel::mouseDown, this, [this] { setLabelColor(Label1, PressColor()); });
    connect(Label2, &EventLabel::clicked, this, [this] { Label2_Click(); });
    connect(Label3, &EventLabel::clicked, this, [this] { Label3_Click(); });
    connect(lblPrint, &EventLabel::clicked, this, [this] { lblPrint_Click(); });
    connect(lblSave, &EventLabel::clicked, this, [this] { lblSave_Click(); });
    connect(lblAppend, &EventLabel::clicked, this, [this] { lblAppend_Click(); });
    connect(lblSaveLog, &EventLabel::clicked, this, [this] { lblSaveLog_Click(); });
    // The box's click also runs when "Auto Save Log" beside it toggles it;
    // restoring it at load is silent.
    connect(chkSaveLog, &QCheckBox::toggled, this, [this] {
        if (m_loaded)
            clickSound();
    });
    connect(cmdOpenLog, &QPushButton::clicked, this, [this] { cmdOpenLog_Click(); });
}

frmTimerStatus::~frmTimerStatus()
{
    if (TimerLog() == this)
        SetTimerLog(nullptr);
}

QPlainTextEdit *frmTimerStatus::makeStatusRow(int i)
{
    auto *box = new QPlainTextEdit(this);
    box->setObjectName(QStringLiteral("Text2_%1").arg(i));
    box->setReadOnly(true);
    box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    box->setGeometry(kLeft, kRowTop + i * kRowPitch, kRowWidth, kRowHeight);
    box->installEventFilter(this);
    paintBox(box, Qt::black);
    Text2.append(box);
    m_statusColors.append(QColor(Qt::black));
    box->setProperty("qeltText", QString());
    if (Text1)
        box->stackUnder(Text1);
    return box;
}

void frmTimerStatus::Form_Load()
{
    // Client area of the 4410 x 6655 twips window.
    resize(4410 / kTwipsPerPixel, 428);
    setWindowTitle(LangCap("Timer Event Session Log"));
    const double leftTw = ReadTwipsSetting("TimerLogL", 500);
    const double topTw = ReadTwipsSetting("TimerLogT", 500);
    bool ok = false;
    const int save = GetSet("Settings", "TimerLogS").toInt(&ok);
    chkSaveLog->setChecked(ok && save == 1);
    const int status = GetSet("Settings", "LogStatus", "1").toInt(&ok);
    {
        const QSignalBlocker block(Check1);
        Check1->setChecked(!ok || status != 0);
    }
    Check1_Click();

    // Keep the window on the screen.
    MoveOnScreenTwips(this, leftTw, topTw);

    for (QLabel *l : {lblLabel, static_cast<QLabel *>(Label4), static_cast<QLabel *>(lblSave),
                      static_cast<QLabel *>(lblAppend), static_cast<QLabel *>(Label1),
                      static_cast<QLabel *>(lblPrint), static_cast<QLabel *>(Label2),
                      static_cast<QLabel *>(Label3), static_cast<QLabel *>(lblSaveLog)}) {
        l->setText(LangCap(l->text()));
        l->adjustSize();
    }
    cmdOpenLog->setText(LangCap(cmdOpenLog->text()));
    cmdFocus->setText(LangCap(cmdFocus->text()));
    Check1_Click(); // view captions after translation, and their places
    Text3.setText("0");
    tmrLogWrite->start();
    m_loaded = true;
}

void frmTimerStatus::clickSound() const
{
    if (SoundsOn)
        PlayWav(ClickSound);
}

void frmTimerStatus::setLabelColor(QLabel *label, const QColor &color, bool bold)
{
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, color);
    label->setPalette(p);
    if (label == Label4) {
        QFont f = label->font();
        f.setBold(bold);
        label->setFont(f);
        label->adjustSize();
    }
}

QColor frmTimerStatus::TextColorOf(const QLabel *label)
{
    return label->palette().color(QPalette::WindowText);
}

void frmTimerStatus::hoverLabel(EventLabel *label)
{
    if (label == Label4) {
        setLabelColor(Label4, PressColor(), true);
        return;
    }
    setLabelColor(label, HoverColor());
    if (label == lblAppend) {
        QString tip;
        if (MainWindowService *main = MainWindow(); main && main->mnuTipsChecked())
            tip = chkSaveLog->isChecked() ? LangTip("Clear and Save log") : LangTip("Clear log");
        lblAppend->setToolTip(tip);
    }
}

void frmTimerStatus::resetLabelButtons()
{
    for (QLabel *l : {static_cast<QLabel *>(lblSave), static_cast<QLabel *>(lblAppend),
                      static_cast<QLabel *>(lblPrint), static_cast<QLabel *>(Label3),
                      static_cast<QLabel *>(Label1), static_cast<QLabel *>(lblSaveLog),
                      static_cast<QLabel *>(Label2)})
        setLabelColor(l, RestColor());
    setLabelColor(Label4, RestColor(), false);
}

void frmTimerStatus::mouseMoveEvent(QMouseEvent *event)
{
    resetLabelButtons();
    QWidget::mouseMoveEvent(event);
}

bool frmTimerStatus::eventFilter(QObject *watched, QEvent *event)
{
    const bool over = event->type() == QEvent::Enter || event->type() == QEvent::MouseMove;
    if (over && (watched == Text1 || watched == Text1->viewport())) {
        for (QLabel *l : {static_cast<QLabel *>(lblSave), static_cast<QLabel *>(lblAppend),
                          static_cast<QLabel *>(lblPrint), static_cast<QLabel *>(Label3),
                          static_cast<QLabel *>(lblSaveLog)})
            setLabelColor(l, RestColor());
    } else if (over && watched == chkSaveLog) {
        setLabelColor(lblSaveLog, HoverColor());
    } else if (over && watched == cmdOpenLog) {
        cmdOpenLog->setToolTip(LangTip("Open Auto Saved log file in external program"));
    } else if (event->type() == QEvent::MouseButtonDblClick && watched == lblLabel) {
        lblLabel_DblClick();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

// --- log text ---------------------------------------------------------------

void frmTimerStatus::setLogText(const QString &text)
{
    if (text == m_log)
        return;
    // Appending keeps the shown text and only adds the new part.
    if (text.startsWith(m_log) && !m_log.isEmpty()) {
        const QString added = text.mid(m_log.size());
        const bool joinsCrLf =
            m_log.endsWith(QLatin1Char('\r')) && added.startsWith(QLatin1Char('\n'));
        m_log = text;
        if (joinsCrLf) {
            refreshLogView();
        } else {
            QTextCursor c(Text1->document());
            c.movePosition(QTextCursor::End);
            c.insertText(displayText(added));
        }
    } else {
        m_log = text;
        refreshLogView();
    }
    scrollLogToEnd();
}

void frmTimerStatus::appendLog(const QString &entry)
{
    setLogText(m_log + entry);
}

void frmTimerStatus::refreshLogView()
{
    Text1->setPlainText(displayText(m_log));
}

void frmTimerStatus::scrollLogToEnd()
{
    QTextCursor c = Text1->textCursor();
    c.movePosition(QTextCursor::End);
    Text1->setTextCursor(c);
    Text1->ensureCursorVisible();
}

// --- status rows --------------------------------------------------------------

QString frmTimerStatus::statusText(int i) const
{
    if (i < 0 || i >= Text2.size())
        return {};
    return Text2[i]->property("qeltText").toString();
}

QColor frmTimerStatus::statusColor(int i) const
{
    return i >= 0 && i < m_statusColors.size() ? m_statusColors[i] : QColor();
}

void frmTimerStatus::setStatus(int i, const QString &text, const QColor &backColor)
{
    if (i < 0 || i >= Text2.size())
        return;
    Text2[i]->setProperty("qeltText", text);
    Text2[i]->setPlainText(displayText(text));
    fitStatusBox(Text2[i], displayText(text));
    if (backColor.isValid()) {
        m_statusColors[i] = backColor;
        paintBox(Text2[i], backColor);
    }
}

bool frmTimerStatus::statusRowVisible(int i) const
{
    return i >= 0 && i < Text2.size() && !Text2[i]->isHidden();
}

void frmTimerStatus::addStatusRow()
{
    const int n = int(Text2.size());
    if (n >= 100)
        return;
    makeStatusRow(n);
    setStatus(n, "Status not set!", QColor(Qt::black));
    updateVSEvents();
    // The page of six is laid out again, so that the new row shows only when
    // it falls inside it instead of lying over the rows above.
    layStatusRowsFrom(std::max(0, m_firstRow));
}

void frmTimerStatus::removeLastStatusRow()
{
    if (Text2.size() <= kVisibleRows)
        return;
    delete Text2.takeLast();
    m_statusColors.removeLast();
    updateVSEvents();
}

void frmTimerStatus::setStatusRowCount(int n)
{
    n = std::clamp(n, kVisibleRows, 100);
    while (Text2.size() < n) {
        makeStatusRow(int(Text2.size()));
        setStatus(int(Text2.size()) - 1, QString(), QColor(Qt::black));
    }
    while (Text2.size() > n) {
        delete Text2.takeLast();
        m_statusColors.removeLast();
    }
    updateVSEvents();
    {
        // The rows are laid out from the top again; the bar follows.
        const QSignalBlocker block(VSEvents);
        VSEvents->setValue(0);
    }
    Text3.setText("-1");
    Text3.setText("0");
}

void frmTimerStatus::updateVSEvents()
{
    const int max = int(Text2.size()) - kVisibleRows;
    const QSignalBlocker block(VSEvents);
    VSEvents->setMaximum(std::max(0, max));
    VSEvents->setPageStep(kVisibleRows);
    VSEvents->setEnabled(max >= 1);
}

void frmTimerStatus::layStatusRowsFrom(int first)
{
    for (QPlainTextEdit *box : Text2)
        box->hide();
    if (first < 0 || first >= Text2.size())
        return;
    m_firstRow = first;
    for (int k = 0; k < kVisibleRows && first + k < Text2.size(); ++k) {
        Text2[first + k]->move(kLeft, kRowTop + k * kRowPitch);
        Text2[first + k]->show();
        Text2[first + k]->stackUnder(Text1);
    }
}

void frmTimerStatus::Text3_Change(const QString &text)
{
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);
    if (text.trimmed().isEmpty() || !ok)
        return;
    const int first = int(v);
    if (first < 0) {
        Text3.setText("0"); // lays the rows out from the top
        return;
    }
    layStatusRowsFrom(first);
}

void frmTimerStatus::VSEvents_Change()
{
    updateVSEvents();
    Text3.setText(QString::number(VSEvents->value()));
    cmdFocus->setFocus();
}

void frmTimerStatus::setLoopStatus(const QString &text, const QColor &backColor)
{
    m_loopText = text;
    m_loopColor = backColor;
    txtLoopT->setPlainText(displayText(text));
    fitStatusBox(txtLoopT, displayText(text));
    paintBox(txtLoopT, backColor);
}

QString frmTimerStatus::loopStatusText() const
{
    return m_loopText;
}
QColor frmTimerStatus::loopStatusColor() const
{
    return m_loopColor;
}

// --- views --------------------------------------------------------------------

// The two rows of clickable captions keep their places while their texts fit;
// a longer caption (another language) moves the ones after it right, and a
// row that would pass the window's right edge is moved back left, so that no
// caption covers another or is cut off by the edge.
void frmTimerStatus::placeLinkRows()
{
    constexpr int kGap = 6;
    const int right = width() - 2;
    const QList<QList<QLabel *>> rows = {{Label2, Label3},
                                         {Label4, lblSave, lblAppend, Label1, lblPrint}};
    for (const QList<QLabel *> &row : rows) {
        QList<int> x;
        for (qsizetype i = 0; i < row.size(); ++i) {
            const int home = row[i]->property("homeX").isValid() ? row[i]->property("homeX").toInt()
                                                                 : row[i]->x();
            row[i]->setProperty("homeX", home);
            x << (i == 0 ? home : std::max(home, x[i - 1] + row[i - 1]->width() + kGap));
        }
        for (qsizetype i = row.size() - 1; i >= 0; --i) {
            const int limit = i == row.size() - 1 ? right : x[i + 1] - kGap;
            x[i] = std::max(kLeft, std::min(x[i], limit - row[i]->width()));
        }
        for (qsizetype i = 0; i < row.size(); ++i)
            row[i]->move(x[i], row[i]->y());
    }
}

bool frmTimerStatus::statusView() const
{
    return Check1->isChecked();
}

void frmTimerStatus::Check1_Click()
{
    const bool status = Check1->isChecked();
    Label4->setText(LangCap(status ? "Show Log" : "Show Status"));
    Label4->adjustSize();
    Text1->setVisible(!status);
    txtLoopT->setVisible(status);
    for (QWidget *w : {static_cast<QWidget *>(lblSave), static_cast<QWidget *>(lblAppend),
                       static_cast<QWidget *>(Label1), static_cast<QWidget *>(lblPrint)})
        w->setVisible(!status);
    lblLabel->setText(LangCap(status ? "Timer Status" : "Timer Log"));
    placeLinkRows();
    if (!status) {
        Text1->raise();
        if (isVisible())
            Text1->setFocus();
        scrollLogToEnd();
    }
    SaveSet("Settings", "LogStatus", status ? "1" : "0");
}

void frmTimerStatus::Label4_Click()
{
    clickSound();
    Check1->setChecked(!Check1->isChecked());
}

void frmTimerStatus::iRefresh()
{
    Text3.setText("1");
    ClickSound.clear();
    Label4_Click();
    QThread::msleep(4);
    Label4_Click();
    ClickSound = GetSet("Sounds", "defsound", InProgramFolder("click.wav"));
    Text3.setText("0");
}

// --- label-buttons ------------------------------------------------------------

void frmTimerStatus::Label1_Click()
{
    clickSound();
    if (Text1->isHidden())
        return;
    Text1->setFocus();
    Text1->selectAll();
}

void frmTimerStatus::Label2_Click()
{
    setWindowState(windowState() | Qt::WindowMinimized);
}

void frmTimerStatus::Label3_Click()
{
    clickSound();
    hide();
    if (TimersService *timers = Timers();
        timers && timers->isLoaded() && timers->widget() && timers->widget()->isVisible()) {
        timers->widget()->activateWindow();
    } else if (MainWindowService *main = MainWindow();
               main && main->widget() && main->widget()->isVisible()) {
        main->widget()->activateWindow();
    }
}

void frmTimerStatus::lblPrint_Click()
{
    clickSound();
    // The system printer when there is one; otherwise the log goes to a PDF
    // file the user names (nothing is printed when that is cancelled).
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    QPrinter printer(QPrinter::HighResolution);
    if (!info.isNull()) {
        printer.setPrinterName(info.printerName());
    } else {
        const QString pdf = Dialogs().saveFileName(this, LangCap("Print"),
                                                   InProgramFolder("TimerLog.pdf"), "PDF (*.pdf)");
        if (pdf.isEmpty())
            return;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
    }
    PrintTimerLog(printer, m_log, WallNow());
}

void frmTimerStatus::lblSave_Click()
{
    clickSound();
    if (m_log.isEmpty())
        return;
    bool ok = false;
    const QString answer = Dialogs().inputText(this, LangCap("File Name?"),
                                               LangCap("Please enter a filename for the log file."),
                                               LangCap("Timer"), &ok);
    if (!ok)
        return;
    bool refused = false;
    const QString path = TimerLogFile::SaveAsPath(answer, &refused);
    if (refused) {
        Info(LangCap("Please enter a file name without a folder."), true, false,
             LangCap("File Name?"));
        return;
    }
    if (path.isEmpty())
        return;
    QString error;
    if (!TimerLogFile::WriteSaveAs(path, m_log, WallNow(), &error)) {
        LogErr("lblSave_Click", "frmTimerStatus", 75,
               error.isEmpty() ? "cannot write " + path : error);
        Info(LangCap("The log could not be saved:") + " " + path, true, false, LangCap("Save As"));
        return;
    }
    clickSound();
}

void frmTimerStatus::lblAppend_Click()
{
    clickSound();
    if (!logFile.saveAtClose(m_log, chkSaveLog->isChecked(), WallNow())) {
        // The log stays on screen when it could not be saved.
        LogErr("lblAppend_Click", "frmTimerStatus", 75, "cannot write " + logFile.path());
        Info(LangCap("The log could not be saved:") + " " + logFile.path(), true, false,
             LangCap("Clear"));
        return;
    }
    setLogText(QString());
}

void frmTimerStatus::lblSaveLog_Click()
{
    chkSaveLog->setChecked(!chkSaveLog->isChecked());
}

void frmTimerStatus::cmdOpenLog_Click()
{
    OpenDoc(logFile.path());
}

void frmTimerStatus::lblLabel_DblClick()
{
    cmdOpenLog->setVisible(cmdOpenLog->isHidden());
}

// --- log file -----------------------------------------------------------------

bool frmTimerStatus::FixFileSize(const QString &File_Name, double Max_Size)
{
    return TimerLogFile::FixFileSize(File_Name, Max_Size);
}

void frmTimerStatus::tmrLogWrite_Timer()
{
    const TimerLogFile::Limits limits = TimerLogFile::Limits::FromSettings();
    if (!m_log.isEmpty()) {
        const bool saveOn = chkSaveLog->isChecked();
        const auto result = logFile.autosave(m_log, saveOn, limits, WallNow());
        if (result.moved) {
            if (saveOn)
                setLabelColor(lblSaveLog, PressColor());
            if (result.written)
                setLogText(result.keptText);
            else
                LogErr("tmrLogWrite_Timer", "frmTimerStatus", 75, "cannot write " + logFile.path());
            Delay(1);
            setLabelColor(lblSaveLog, RestColor());
        }
    }
    if (limits.trimFile && !FixFileSize(logFile.path(), limits.maxFileLines))
        LogErr("FixFileSize", "frmTimerStatus", 75, "cannot trim " + logFile.path());
}

// --- window -------------------------------------------------------------------

void frmTimerStatus::showLog()
{
    resetLabelButtons();
    if (isMinimized())
        setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
    scrollLogToEnd();
    updateVSEvents();
}

void frmTimerStatus::unload()
{
    // Once unloaded the log has been saved; a second unload must not append
    // it again, and the minute's autosave ends with the window.
    if (!m_loaded)
        return;
    tmrLogWrite->stop();
    if (!logFile.saveAtClose(m_log, chkSaveLog->isChecked(), WallNow()))
        LogErr("Form_Unload", "frmTimerStatus", 75, "cannot write " + logFile.path());
    if (!isMinimized()) {
        SaveTwipsSetting(QStringLiteral("TimerLogL"), x(), 500);
        SaveTwipsSetting(QStringLiteral("TimerLogT"), y(), 500);
    }
    SaveSet("Settings", "TimerLogS", chkSaveLog->isChecked() ? "1" : "0");
    hide();
    m_loaded = false;
}

void frmTimerStatus::closeEvent(QCloseEvent *event)
{
    event->ignore();
    Label3_Click();
}

void frmTimerStatus::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::WindowStateChange && m_loaded && SoundsOn)
        PlayWav(ZoomSound);
    QWidget::changeEvent(event);
}

void frmTimerStatus::resizeEvent(QResizeEvent *event)
{
    if (m_loaded && SoundsOn && isVisible())
        PlayWav(ZoomSound);
    QWidget::resizeEvent(event);
}

} // namespace qelt
