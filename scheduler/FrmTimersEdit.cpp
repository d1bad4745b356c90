// The timers window's editing half: sun rows, row editing, the day-rule
// lists, the window's options and menus, the loop timer and the immediate
// play of a macro from the file list.
#include "scheduler/FrmTimers.h"

#include "core/Dialogs.h"
#include "core/FileActions.h"
#include "core/FileDrops.h"
#include "core/Sounds.h"
#include "core/SystemInfo.h"
#include "core/WindowHelpers.h"
#include "core/services/ConsoleServices.h"
#include "core/services/PrefsServices.h"
#include "logic/DayRule.h"
#include "logic/ErrorLog.h"
#include "logic/FileHelpers.h"
#include "logic/Globals.h"
#include "logic/Lang.h"
#include "logic/MacroPlayer.h"
#include "logic/ProgramFolder.h"
#include "logic/SchedulerClock.h"
#include "logic/Settings.h"
#include "logic/TimerEditRules.h"
#include "logic/Transmitter.h"
#include "logic/clsSunrise.h"
#include "scheduler/frmTimerStatus.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QDropEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>

namespace qelt {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

int px(int twips)
{
    return (twips + kTwipsPerPixel / 2) / kTwipsPerPixel;
}

QColor rgbColour(unsigned v)
{
    return QColor((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
}

void setTextColour(QWidget *w, const QColor &c)
{
    QPalette p = w->palette();
    p.setColor(QPalette::WindowText, c);
    p.setColor(QPalette::Text, c);
    w->setPalette(p);
}

void setBaseColour(QLineEdit *w, unsigned rgb)
{
    QPalette p = w->palette();
    p.setColor(QPalette::Base, rgbColour(rgb));
    w->setPalette(p);
}

QStringList localFiles(const QMimeData *mime)
{
    QStringList files;
    if (!mime)
        return files;
    for (const QUrl &u : mime->urls())
        if (u.isLocalFile())
            files << u.toLocalFile();
    return files;
}

bool tipsOn()
{
    MainWindowService *main = MainWindow();
    return main && main->toolTipsOn();
}

} // namespace

// --- sunrise and sunset rows -------------------------------------------------------

clsSunrise &FrmTimers::SunCalc()
{
    if (!m_sun)
        m_sun = std::make_unique<clsSunrise>();
    return *m_sun;
}

void FrmTimers::tmrSunSet_Timer()
{
    if (tmrSunSet->interval() != 1000)
        tmrSunSet->setInterval(1000);
    // A read of the store parses the whole settings file; the location is
    // read again only when something was stored since.
    const SettingsStamp stamp = CurrentSettingsStamp();
    if (!m_locationStamp || *m_locationStamp != stamp) {
        m_locationStamp = stamp;
        Location = SunLocation::FromSettings();
    }
    const QDateTime now = WallNow();
    // Without a stored zone the sun times are those of the computer's own
    // standard zone rather than of Greenwich.
    const bool ownZone = Location.zone.trimmed().isEmpty();
    const SunInputs inputs{now.date(),          Location.latitude,
                           Location.longitude,  Location.zone,
                           Location.daySavings, ownZone ? ComputerZoneHoursWest(now) : 0};
    // The sun times change only with the day and the location.
    if (!m_sunInputs || *m_sunInputs != inputs) {
        m_sunInputs = inputs;
        clsSunrise &sun = SunCalc();
        sun.setDateDay(now);
        if (ownZone)
            sun.setTimeZone(inputs.ownZoneHours);
        Location.applyTo(sun);
        sun.CalculateSun();
        const QTime rise = SunClockTime(sun.Sunrise());
        const QTime set = SunClockTime(sun.Sunset());
        if (rise.isValid())
            SunriseText = rise.toString(QStringLiteral("HH:mm:ss"));
        if (set.isValid())
            SunsetText = set.toString(QStringLiteral("HH:mm:ss"));
        m_riseTime = QTime::fromString(SunriseText, QStringLiteral("HH:mm:ss"));
        m_setTime = QTime::fromString(SunsetText, QStringLiteral("HH:mm:ss"));
    }
    const QTime riseTime = m_riseTime, setTime = m_setTime;
    // The labels show the times only for a whole stored location; rows are
    // resolved as soon as the place is known.
    if (Location.complete() && riseTime.isValid() && setTime.isValid()) {
        lblSR->setText(LangCap("Sunrise") + " " + ClockText(riseTime));
        lblSS->setText(LangCap("Sunset") + " " + ClockText(setTime));
    } else {
        lblSR->setText(QString());
        lblSS->setText(QString());
    }
    const bool place = Location.hasPlace();
    for (int i = 0; i < m_table.rowCount(); ++i) {
        TimerRow &r = m_table.row(i);
        const bool hasAction = !r.action.trimmed().isEmpty();
        r.triggerTime = ResolveStartText(r.startText, hasAction, place ? riseTime : QTime(),
                                         place ? setTime : QTime());
        // A sun row that cannot fall due for want of a place is reported
        // once in the log, not skipped in silence.
        const bool sunRow = r.startText.startsWith(QLatin1String("SR")) ||
                            r.startText.startsWith(QLatin1String("SS"));
        if (sunRow && hasAction && !place) {
            if (!m_sunUnplaced.contains(i)) {
                m_sunUnplaced.insert(i);
                m_host.appendLog(LogEntry(
                    LangCap("Timer") + " " + QString::number(i + 1) + ": " +
                    LangCap(
                        "You must setup your location before using sunrise and sunset timers")));
            }
        } else {
            m_sunUnplaced.remove(i);
        }
    }
}

void FrmTimers::checkLocation()
{
    const SunLocation l = SunLocation::FromSettings();
    if (l.hasPlace())
        return;
    Info(LangCap("You must setup your location before using sunrise and sunset timers"), true,
         false, LangCap("Setup Location"));
    if (PrefsService *prefs = Prefs())
        prefs->showPage(2);
}

void FrmTimers::lblSR_DblClick()
{
    if (PrefsService *prefs = Prefs())
        prefs->showPage(2);
}

// --- row editing --------------------------------------------------------------------

void FrmTimers::colourRow(int i)
{
    if (i < 0 || i >= rowCount())
        return;
    const RowColours c =
        RowColoursFor(Text1[i]->text(), Text2[i]->text(), lblActiveDays[i]->text(), NotSetText());
    setLabelBack(lblActiveDays[i], c.label);
    setTextColour(Text1[i], rgbColour(c.text));
    setTextColour(Text2[i], rgbColour(c.text));
    setBaseColour(Text2[i], Text2[i]->text().startsWith(u'S') ? 0xFFFFC0 : 0xFFFFFF);
}

void FrmTimers::setDayCaption(int i, const QString &caption)
{
    if (i < 0 || i >= rowCount() || lblActiveDays[i]->text() == caption)
        return;
    lblActiveDays[i]->setText(caption);
    lblActiveDays_Change(i);
}

void FrmTimers::lblActiveDays_Change(int i)
{
    TmrChanged = true;
    if (Text1[i]->text().isEmpty() || Text2[i]->text().isEmpty())
        lblActiveDays[i]->setText(NotSetText());
    m_table.row(i).dayRule = lblActiveDays[i]->text();
    colourRow(i);
    ShowTimerStatus();
}

void FrmTimers::applyManualLock()
{
    const bool readOnly = !Check4->isChecked();
    for (int i = 0; i < rowCount(); ++i) {
        Text1[i]->setReadOnly(readOnly);
        Text2[i]->setReadOnly(readOnly);
    }
    for (QLineEdit *e : {txtLoop, LpStartTm, LpEndTm})
        e->setReadOnly(readOnly);
}

void FrmTimers::Check4_Click()
{
    if (isVisible())
        clickSound();
    applyManualLock();
}

void FrmTimers::cmdM_Click(int i)
{
    if (isVisible())
        clickSound();
    QListWidgetItem *item = File1->currentItem();
    Text1[i]->setText(item ? item->text() : QString());
    cmdRefresh_Click();
    cmdSetFocus->setFocus();
    ShowTimerStatus();
}

void FrmTimers::Command2_Click(int i)
{
    if (isVisible())
        clickSound();
    QListWidgetItem *item = File1->currentItem();
    const QString name = item ? item->text() : QString();
    Text1[i]->setText(name);
    m_table.row(i).macroPath = ProgramFolder() + "/" + name;
    Text2[i]->setText(Label2->text());
    setDayCaption(
        i, RuleAfterFill(lblActiveDays[i]->text(), Text1[i]->text(), DefaultDayRule, NotSetText()));
    colourRow(i);
    cmdRefresh_Click();
    ShowTimerStatus();
}

void FrmTimers::cmdT_Click(int i)
{
    if (isVisible())
        clickSound();
    Text2[i]->setText(Label2->text());
    cmdRefresh_Click();
    cmdSetFocus->setFocus();
    ShowTimerStatus();
}

void FrmTimers::Command4_Click(int i)
{
    if (Text1[i]->text().isEmpty() && Text2[i]->text().isEmpty())
        return;
    if (mnuClearTimer->isChecked() && Questions(LangCap("Are you sure you want to clear Timer #") +
                                                    " " + QString::number(i + 1) + ".",
                                                2, LangCap("Clear Timer?")) != 1)
        return;
    Text1[i]->clear();
    Text2[i]->clear();
    setDayCaption(i, NotSetText());
    TmrChanged = true;
    ShowTimerStatus();
}

void FrmTimers::Text1_DblClick(int i)
{
    const QString m = m_check4Text.text();
    MainWindowService *main = MainWindow();
    if (!TakesConsoleCommand(m, main ? main->houseLetter() : QString(), LangCap("Group")))
        return;
    Text1[i]->setText(m);
    m_check4Text.setText(QString());
}

void FrmTimers::Text1_OLEDragDrop(int i, const QStringList &files)
{
    if (files.isEmpty() || files.first().isEmpty())
        return;
    Text1[i]->setText(DroppedActionText(files.first(), ProgramFolder()));
    Text1[i]->end(false);
    ShowTimerStatus();
}

void FrmTimers::Text2_DblClick(int i)
{
    Text2[i]->setReadOnly(false);
    Text2[i]->setFocus();
}

bool FrmTimers::Text2_KeyPress(int i, QChar key)
{
    QLineEdit *box = Text2.value(i);
    if (!box || box->isReadOnly())
        return false;
    const bool wasSun = box->text().startsWith(u'S');
    const QChar taken = StartTimeKey(box->text(), key);
    if (!taken.isNull())
        box->insert(QString(taken));
    // Only a sun entry needs the location, and the user is told once as it
    // begins; plain times are typed in peace.
    if (!wasSun && box->text().startsWith(u'S'))
        checkLocation();
    return !taken.isNull();
}

void FrmTimers::File1_OLEDragDrop(const QStringList &files)
{
    const QString folder = ProgramFolder();
    QStringList failed;
    for (const QString &f : MacroFilesToCopy(files, folder)) {
        QString error;
        if (!CopyFileAtomic(f, folder + "/" + QFileInfo(f).fileName(), &error))
            failed << error; // the others are still copied
    }
    cmdRefresh_Click();
    ReportFailedCopies(failed, "File1_OLEDragDrop", "FrmTimers");
}

void FrmTimers::File1_DblClick()
{
    QListWidgetItem *item = File1->currentItem();
    if (!item || m_manualPlaying)
        return; // one play at a time: a second would interleave its lines
    PlayPath = ProgramFolder() + "/" + item->text();
    ManualMacroPath = PlayPath;
    PlayCount = 2;
    TimerLogService *log = m_log ? static_cast<TimerLogService *>(m_log) : TimerLog();
    auto entry = [&](const QString &what) {
        if (log)
            log->appendLog(kCrLf + DateTimeText(WallNow()) + kCrLf + PlayPath + kCrLf + what +
                           kCrLf);
    };
    if (!FileExists(PlayPath)) {
        entry("FILE NOT FOUND");
        return;
    }
    entry("Manually started.");
    CroSend();
    entry("Completed.");
}

void FrmTimers::CroSend()
{
    m_manualPlaying = true;
    QApplication::processEvents();
    Delay(0.05);
    MainWindowService *main = MainWindow();
    const QString path = PlayPath;
    if (!path.endsWith(QLatin1String("cro")) || !QDir::isAbsolutePath(path)) {
        SendBits(QLatin1String(kLeadIn));
        if (path.endsWith(QLatin1String("cro")))
            Info(LangCap("Path not found!"));
        m_manualPlaying = false;
        return;
    }
    if (m_engine->MacroRunning() && main)
        main->setTimerIndicator(true);
    if (!chkTSound->isChecked())
        PlayCount = 2;
    MacroPlayHooks hooks;
    hooks.lamp = [](bool lit) {
        if (MainWindowService *m = MainWindow())
            m->setLamp(lit);
    };
    hooks.tick = [this] {
        ++PlayCount;
        if (chkMsound->isChecked() && PlayCount > 1)
            PlayWav(TickSound);
    };
    hooks.closingPattern = [] {
        if (MainWindowService *m = MainWindow())
            m->frmReturn();
        else
            SendClosingPattern();
    };
    hooks.minimumPause = 0.16;
    hooks.pauseShortening = 0.12;
    hooks.badPauseKeepsLastWait = true;
    hooks.procName = QStringLiteral("CroSend (Send Macro)");
    hooks.moduleName = QStringLiteral("frmTimers");
    const MacroPlayResult result = PlayMacroFile(path, hooks);
    if (result == MacroPlayResult::MissingFile || result == MacroPlayResult::Failed) {
        if (main && !m_engine->MacroRunning())
            main->setTimerIndicator(false);
        LogErr(hooks.procName, hooks.moduleName, result == MacroPlayResult::MissingFile ? 53 : 13,
               result == MacroPlayResult::MissingFile
                   ? QStringLiteral("File not found: %1").arg(path)
                   : QStringLiteral("Macro not played to its end: %1").arg(path));
    }
    m_manualPlaying = false;
}

// --- spinner modes ------------------------------------------------------------------

void FrmTimers::cmdTimeReSet_Click()
{
    const QTime now = WallNow().time();
    const bool twelve = LocaleUsesTwelveHourClock();
    if (twelve) {
        SpinSuffix = " " + ClockDesignator(now.hour() >= 12);
        (now.hour() < 12 ? chkAM : chkPM)->setChecked(true);
    } else {
        SpinSuffix.clear();
        chkAM->setChecked(false);
        chkPM->setChecked(false);
    }
    const bool twelveMode = chkAM->isChecked() || chkPM->isChecked();
    const int hour = now.hour() > 12 && twelveMode ? now.hour() - 12 : now.hour();
    VSTime[0]->setValue(hour);
    VSTime[1]->setValue(now.minute());
    VSTime[2]->setValue(now.second());
    // A bar already at the value raises no change: show the time all the same.
    VSTime_Change(0);
    ShowSpinTime();
}

void FrmTimers::chkAM_Click()
{
    if (chkAM->isChecked()) {
        SpinSuffix = " " + ClockDesignator(false);
        chkPM->setChecked(false);
        if (VSTime[0]->value() >= 13)
            VSTime[0]->setValue(VSTime[0]->value() - 12);
    }
    if (!chkAM->isChecked() && !chkPM->isChecked())
        SpinSuffix.clear();
    ShowSpinTime();
}

void FrmTimers::chkPM_Click()
{
    if (chkPM->isChecked()) {
        SpinSuffix = " " + ClockDesignator(true);
        chkAM->setChecked(false);
        if (VSTime[0]->value() >= 13)
            VSTime[0]->setValue(VSTime[0]->value() - 12);
    }
    if (!chkAM->isChecked() && !chkPM->isChecked())
        SpinSuffix.clear();
    ShowSpinTime();
}

// --- day-rule lists -------------------------------------------------------------------

void FrmTimers::openDayList(QListWidget *list, QLabel *label, QLineEdit *anchor)
{
    const int height = list->sizeHintForRow(0) * list->count() + 2 * list->frameWidth();
    list->resize(label->width() + px(170), height);
    // Just below the row (the list covers neither the row's own label nor its time).
    int top = anchor ? std::max(anchor->y() + anchor->height(), label->y() + label->height())
                     : label->y() - height;
    if (label->y() >= px(3200) || top + height > this->height())
        top = label->y() - height;
    list->move(std::max(0, label->x() - px(85)), std::max(0, top));
    list->show();
    list->raise();
    list->setFocus();
    list->setCurrentRow(-1);
    for (int k = 0; k < list->count(); ++k)
        if (list->item(k)->text() == label->text()) {
            list->setCurrentRow(k);
            break;
        }
}

void FrmTimers::lblActiveDays_MouseDown(int i, Qt::MouseButton button)
{
    if (button != Qt::LeftButton) {
        Combo1->hide();
        return;
    }
    clickSound();
    if (Text1[i]->text().isEmpty() || Text2[i]->text().isEmpty()) {
        if (++IncompleteClickCount >= 3) {
            IncompleteClickCount = 0;
            Info(LangCap("Macro and Time must be set to activate!"));
        }
        return;
    }
    DayListRow = i;
    openDayList(Combo1, lblActiveDays[i], Text2[i]);
    IncompleteClickCount = 0;
}

void FrmTimers::Combo1_Take()
{
    QListWidgetItem *item = Combo1->currentItem();
    Combo1->hide();
    if (item && DayListRow >= 0 && DayListRow < rowCount())
        setDayCaption(DayListRow, item->text());
}

void FrmTimers::combo2_Take()
{
    QListWidgetItem *item = combo2->currentItem();
    combo2->hide();
    if (item && lblLoopDays->text() != item->text()) {
        lblLoopDays->setText(item->text());
        TmrChanged = true; // stored with the timers
        ShowTimerStatus();
    }
}

void FrmTimers::lblLoopDays_MouseDown(Qt::MouseButton button)
{
    if (button != Qt::LeftButton) {
        combo2->hide();
        return;
    }
    clickSound();
    if (txtLoop->text().isEmpty()) {
        Info(LangCap("Loop timer must contain a macro to activate!"));
        return;
    }
    openDayList(combo2, lblLoopDays, nullptr);
}

// --- options and menus ----------------------------------------------------------------

void FrmTimers::mnuRun_Click(int k)
{
    for (int n = 0; n < mnuRun.size(); ++n)
        mnuRun[n]->setChecked(n == k);
    DefaultDayRule = k;
    SaveSet("Settings", "RunDef", QString::number(k));
}

void FrmTimers::mnuOption_Click(QAction *item)
{
    // The item's mark was inverted by the click.
    const QString value = item->isChecked() ? "True" : "False";
    if (item == mnuAllowNewTimers) {
        SaveSet("Settings", "NewTimers", value);
        cmdCreateTimer->setVisible(item->isChecked());
        cmdKillTimer->setVisible(item->isChecked() && rowCount() >= TimerTable::kMinRows);
    } else if (item == mnuAllowManual) {
        SaveSet("Settings", "ManualTimers", value); // takes effect at the next load
    } else if (item == mnuClearTimer) {
        SaveSet("Settings", "cClearTimers", value);
    } else if (item == mnuDeleteTimer) {
        SaveSet("Settings", "cDeleteTimers", value);
    } else if (item == mnuSaveQuit) {
        SaveSet("Settings", "cSaveQuit", value);
    }
}

void FrmTimers::cmdApply_Click()
{
    const int selected = File1->currentRow();
    clickSound();
    if (SaveTimers()) // a failed save leaves Apply on: the changes are still unsaved
        cmdApply->setEnabled(false);
    if (isVisible())
        cmdSetFocus->setFocus();
    if (selected >= 0 && selected < File1->count())
        File1->setCurrentRow(selected);
}

void FrmTimers::cmdHelp_Click()
{
    if (isVisible())
        clickSound();
    if (HelpService *help = Help())
        help->open(InProgramFolder("zyvHelp.html") + "#TimersMnu");
}

void FrmTimers::cmdInfo_Click()
{
    GetWinVer();
    Info("        " + WinVer, false, false, "Windows Version");
}

void FrmTimers::lblExit_Click()
{
    clickSound();
    if (MainWindowService *main = MainWindow();
        main && main->widget() && main->widget()->isVisible())
        main->widget()->activateWindow();
    hide();
    cmdRefresh_Click();
    setTextColour(lblExit, Qt::black);
}

void FrmTimers::lblMin_Click()
{
    clickSound();
    showMinimized();
    cmdRefresh_Click();
    setTextColour(lblMin, Qt::black);
}

void FrmTimers::lblMenu_MouseUp()
{
    mnuTimers->popup(mapToGlobal(QPoint(lblMenu->x(), lblMenu->y() + lblMenu->height() - 1)));
}

void FrmTimers::Check5_Click()
{
    const bool on = Check5->isChecked();
    for (QWidget *w : {static_cast<QWidget *>(LpStartTm), static_cast<QWidget *>(LpEndTm),
                       static_cast<QWidget *>(Label7[0]), static_cast<QWidget *>(Label7[1])})
        w->setEnabled(on);
    LoopWindowOff = !on;
    if (isVisible())
        TmrChanged = true;
}

// --- loop timer -----------------------------------------------------------------------

void FrmTimers::setLoopStatus(const QString &state, int rgb)
{
    if (!m_log)
        return;
    const QColor colour = rgb < 0 ? m_log->loopStatusColor() : rgbColour(unsigned(rgb));
    m_log->setLoopStatus("Loop Timer : (" + txtLoop->text() + ")" + kCrLf + "     " + state,
                         colour);
}

void FrmTimers::Tmr7_Timer()
{
    const LoopTimer::Tick t = Loop.tick(
        LoopWindowOpen, chkEnableLoop->isChecked(), lblLoopDays->text(),
        WallNow().date().dayOfWeek(), chkFlashLp->isChecked(), LpStartTm->text(), LpEndTm->text());
    if (t.statusChanged)
        setLoopStatus(t.state, t.rgb);
    if (!t.frame.isEmpty()) {
        m_engine->queue.add(t.frame);
        QApplication::processEvents();
        CurrentWaitClock().sleepMs(5);
    }
    if (t.nextInterval > 0)
        Tmr7->setInterval(t.nextInterval);
    if (t.flash) {
        MainWindowService *main = MainWindow();
        if (main)
            main->setLamp(true);
        QApplication::processEvents();
        CurrentWaitClock().sleepMs(50);
        if ((main = MainWindow()))
            main->setLamp(false);
    }
}

void FrmTimers::LoadLoopMacro()
{
    Loop.lines.clear();
    const QString path = lblMacroLoop->text();
    if (!path.endsWith(".cro")) {
        chkEnableLoop->setChecked(false);
        return;
    }
    if (FileExists(path) && ReadMacroItems(path, &Loop.lines))
        return;
    chkEnableLoop->setChecked(false);
    if (isVisible()) {
        Info(LangCap("The macro for the Loop Timer was not found!"), true, false,
             LangCap("Loop Cannot Start"), {}, false, MsgIcon::Information);
        setLabelBack(lblLoopDays, kRuleNotSetRgb);
    }
}

void FrmTimers::chkEnableLoop_Click()
{
    if (lblLoopDays->text() == NotSetText() || txtLoop->text().isEmpty()) {
        chkEnableLoop->setChecked(false);
        setLabelBack(lblLoopDays, kRuleNotSetRgb);
        Tmr7->stop();
        return;
    }
    if (isVisible())
        clickSound();
    if (chkEnableLoop->isChecked()) {
        LoadLoopMacro();
        if (!chkEnableLoop->isChecked())
            return; // the macro is missing: switched off (and stored) inside
        Tmr7->start();
        setLabelBack(lblLoopDays, kRuleActiveRgb);
    } else {
        Tmr7->stop();
        Loop.lines.clear();
        setLabelBack(lblLoopDays, kRuleNotSetRgb);
        if (m_log)
            m_log->setLoopStatus(LangCap("Loop Timer is Not Set!"), rgbColour(kLoopOffRgb));
    }
    SaveSet("Macro", "LoopR", chkEnableLoop->isChecked() ? "1" : "0");
}

void FrmTimers::chkFlashLp_Click()
{
    if (isVisible())
        cmdSetFocus->setFocus();
    SaveSet("Macro", "LpFl", chkFlashLp->isChecked() ? "1" : "0");
}

void FrmTimers::cmdLoop_Click()
{
    if (isVisible())
        clickSound();
    QListWidgetItem *item = File1->currentItem();
    txtLoop->setText(item ? item->text() : QString());
    cmdRefresh_Click();
    cmdSetFocus->setFocus();
    if (txtLoop->text().isEmpty())
        lblLoopDays->setText(NotSetText());
    ShowTimerStatus();
}

void FrmTimers::cmdClearLoop_Click()
{
    if (txtLoop->text().isEmpty())
        return;
    if (mnuClearTimer->isChecked() &&
        Questions(LangCap("Are you sure you want to clear the 'Loop' timer?"), 2,
                  LangCap("Clear Timer?")) != 1)
        return;
    TmrChanged = true;
    chkEnableLoop->setChecked(false);
    txtLoop->clear();
    lblLoopDays->setText(NotSetText());
    SaveSet("Macro", "LoopR", chkEnableLoop->isChecked() ? "1" : "0");
    ShowTimerStatus();
}

bool FrmTimers::LpTime_KeyPress(QLineEdit *box, QChar key)
{
    if (!box || box->isReadOnly())
        return false;
    const QChar taken = LoopTimeKey(box->text(), key);
    if (taken.isNull())
        return false;
    box->insert(QString(taken));
    return true;
}

void FrmTimers::txtLoop_OLEDragDrop(const QStringList &files)
{
    if (files.isEmpty())
        return;
    const QFileInfo f(files.first());
    if (!f.fileName().endsWith(QLatin1String("cro"), Qt::CaseInsensitive) ||
        QDir::cleanPath(f.absolutePath()) != QDir::cleanPath(ProgramFolder()))
        return; // only macros of the program folder can loop
    lblMacroLoop->setText(f.absoluteFilePath());
    txtLoop->setText(f.fileName());
}

// --- events -------------------------------------------------------------------------

void FrmTimers::rowToolTips(QObject *watched)
{
    const bool tips = tipsOn();
    auto *w = qobject_cast<QWidget *>(watched);
    if (!w)
        return;
    auto tipFor = [&](const QList<QPushButton *> &buttons, const QString &head,
                      const QString &tail) -> bool {
        const int i = int(buttons.indexOf(qobject_cast<QPushButton *>(w)));
        if (i < 0)
            return false;
        w->setToolTip(tips ? LangTip(head) + QString::number(i + 1) +
                                 (tail == " " ? tail : LangTip(tail))
                           : QString());
        return true;
    };
    if (tipFor(cmdT, "Update the Time only for Timer", "(leaves the macro as-is)") ||
        tipFor(cmdM, "Enter selected Macro for Timer",
               "(use to change the macro without changing the time)") ||
        tipFor(Command2, "Enter selected Macro and Start Time for Timer",
               "(Timer must have both to operate)") ||
        tipFor(Command4, "Click to clear Timer", " "))
        return;
    if (const int i = int(Text1.indexOf(qobject_cast<QLineEdit *>(w))); i >= 0) {
        w->setToolTip(Text1[i]->text().size() >= 19 ? " " + m_table.row(i).macroPath + " "
                                                    : QString());
        return;
    }
    if (const int i = int(Text2.indexOf(qobject_cast<QLineEdit *>(w))); i >= 0) {
        w->setToolTip(Text2[i]->text().startsWith(u'S') ? " " + m_table.row(i).triggerTime + " "
                                                        : QString());
        return;
    }
    if (const int i = int(lblActiveDays.indexOf(qobject_cast<QLabel *>(w))); i >= 0) {
        MainWindowService *main = MainWindow();
        w->setToolTip(main && main->mnuTipsChecked()
                          ? LangTip("Select which days to run this timer") + " (" +
                                LangCap("set for") + ": " + LangCap(lblActiveDays[i]->text()) + ") "
                          : QString());
        return;
    }
    QString tip;
    if (w == cmdTimeReSet)
        tip = LangTip("Sets the Start Time to the current system time");
    else if (w == chkAM || w == chkPM)
        tip = LangTip("Set the AM or PM for the Start Time");
    else if (Text3.contains(qobject_cast<QLineEdit *>(w)))
        tip = LangTip("Use the up and down arrows to adjust the start time");
    else if (w == Check4)
        tip = LangTip("Select to allow manual editing of start time and macros");
    else if (w == lblSR || w == lblSS)
        tip = LangTip("Double click for sunrise/sunset setup");
    else if (w == cmdApply)
        tip = LangTip("Save changes");
    else if (w == chkFlashLp)
        tip = LangTip("Causes the light to flash on the main window as commands are sent from "
                      "the loop timer");
    else if (w == cmdClearLoop)
        tip = LangTip("Clear the loop timer");
    else if (w == cmdLoop)
        tip = LangTip("Enter selected macro in loop timer");
    else if (w == lblLoopDays)
        tip = LangTip("Select which days to run the loop timer");
    else if (w == LpStartTm || w == LpEndTm)
        tip = LangTip("Double Click to enter 'Start Time'");
    else
        return;
    w->setToolTip(tips ? tip : QString());
}

bool FrmTimers::editEventFilter(QObject *watched, QEvent *event)
{
    auto *w = qobject_cast<QWidget *>(watched);
    if (!w)
        return false;
    const QEvent::Type type = event->type();
    if (type == QEvent::Enter || type == QEvent::ToolTip)
        rowToolTips(watched);

    switch (type) {
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
        return editDropEvent(w, static_cast<QDropEvent *>(event));
    case QEvent::MouseButtonDblClick:
        return editDoubleClick(w, static_cast<QMouseEvent *>(event));
    case QEvent::KeyPress:
        return editKeyPress(w, static_cast<QKeyEvent *>(event));
    case QEvent::FocusOut:
        editFocusOut(w);
        return false;
    case QEvent::MouseButtonPress:
        return editMousePress(w, static_cast<QMouseEvent *>(event));
    case QEvent::MouseButtonRelease:
        return editMouseRelease(w, static_cast<QMouseEvent *>(event));
    case QEvent::MouseMove:
    case QEvent::Enter:
        editHover(w);
        return false;
    default:
        return false;
    }
}

// Files dragged onto the action boxes, the loop box and the file list.
bool FrmTimers::editDropEvent(QWidget *w, QDropEvent *e)
{
    const bool dropTarget =
        (qobject_cast<QLineEdit *>(w) && Text1.contains(qobject_cast<QLineEdit *>(w))) ||
        w == txtLoop || w == File1->viewport();
    if (!dropTarget)
        return false;
    const QStringList files = localFiles(e->mimeData());
    if (files.isEmpty())
        return false;
    // Taken here either way: a refused drag must not reach the box's own
    // text drop, which would answer what the dragging program proposes.
    if (!AcceptDropAsCopy(e) || e->type() != QEvent::Drop)
        return true;
    if (w == txtLoop)
        txtLoop_OLEDragDrop(files);
    else if (w == File1->viewport())
        File1_OLEDragDrop(files);
    else
        Text1_OLEDragDrop(int(Text1.indexOf(qobject_cast<QLineEdit *>(w))), files);
    return true;
}

bool FrmTimers::editDoubleClick(QWidget *w, QMouseEvent *m)
{
    if (const int i = int(Text1.indexOf(qobject_cast<QLineEdit *>(w))); i >= 0) {
        Text1_DblClick(i);
        return true;
    }
    if (const int i = int(Text2.indexOf(qobject_cast<QLineEdit *>(w))); i >= 0) {
        Text2_DblClick(i);
        return true;
    }
    if (w == LpStartTm || w == LpEndTm) {
        static_cast<QLineEdit *>(w)->setText(Label2->text());
        return true;
    }
    if (w == lblSR || w == lblSS) {
        lblSR_DblClick();
        return true;
    }
    if (w == File1->viewport()) {
        // Only a double click on a file plays it.
        if (QListWidgetItem *item = File1->itemAt(m->position().toPoint())) {
            File1->setCurrentItem(item);
            File1_DblClick();
        }
        return true;
    }
    return false;
}

bool FrmTimers::editKeyPress(QWidget *w, QKeyEvent *k)
{
    if (w == Combo1 || w == combo2) {
        if (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) {
            w == Combo1 ? Combo1_Take() : combo2_Take();
            return true;
        }
        if (k->key() == Qt::Key_Escape) {
            w->hide();
            return true;
        }
        return false;
    }
    const QString text = k->text();
    const bool typed = !text.isEmpty() && text.at(0).isPrint() &&
                       !(k->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
    if (typed) {
        if (const int i = int(Text2.indexOf(qobject_cast<QLineEdit *>(w))); i >= 0) {
            Text2_KeyPress(i, text.at(0));
            return true;
        }
        if (w == LpStartTm || w == LpEndTm) {
            LpTime_KeyPress(static_cast<QLineEdit *>(w), text.at(0));
            return true;
        }
    }
    return false;
}

void FrmTimers::editFocusOut(QWidget *w)
{
    if ((w == Combo1 || w == combo2) && !w->isAncestorOf(QApplication::focusWidget()))
        w->hide();
    else if (Text1.contains(qobject_cast<QLineEdit *>(w)))
        ShowTimerStatus();
    else if (const int i = int(Text2.indexOf(qobject_cast<QLineEdit *>(w))); i >= 0) {
        ShowTimerStatus();
        Text2[i]->setText(Text2[i]->text().toUpper());
    }
}

bool FrmTimers::editMousePress(QWidget *w, QMouseEvent *m)
{
    if (const int i = int(lblActiveDays.indexOf(qobject_cast<QLabel *>(w))); i >= 0) {
        lblActiveDays_MouseDown(i, m->button());
        return true;
    }
    if (w == lblLoopDays) {
        lblLoopDays_MouseDown(m->button());
        return true;
    }
    if (w == lblSR || w == lblSS || w == Label14 || w == Label3 ||
        Label4.contains(qobject_cast<QLabel *>(w))) {
        if (m->button() == Qt::LeftButton) {
            QApplication::processEvents();
            FormDrag(this);
        } else if (m->button() == Qt::RightButton && Label4.contains(qobject_cast<QLabel *>(w))) {
            clickSound();
            mnuTimers->popup(m->globalPosition().toPoint());
        }
        return true;
    }
    if (w == lblExit || w == lblMin)
        return true; // acts on release, as a click
    return false;
}

bool FrmTimers::editMouseRelease(QWidget *w, QMouseEvent *m)
{
    if (w == lblMenu) {
        lblMenu_MouseUp();
        return true;
    }
    if ((w == lblExit || w == lblMin) && m->button() == Qt::LeftButton &&
        w->rect().contains(m->position().toPoint())) {
        w == lblExit ? lblExit_Click() : lblMin_Click();
        return true;
    }
    if (w == Check4 || w == Check2)
        QTimer::singleShot(0, cmdSetFocus, [this] { cmdSetFocus->setFocus(); });
    return false;
}

// Hover marks: the label buttons turn red, the day rules show a frame.
void FrmTimers::editHover(QWidget *w)
{
    if (w == lblExit || w == lblMin)
        setTextColour(w, QColor(0xFF, 0, 0));
    else if (w == lblMenu) {
        setTextColour(lblMenu, Qt::black);
        lblMenu->setFrameShape(QFrame::Box);
    } else if (w == Label5) {
        setTextColour(lblLoopDays, Qt::black);
        lblLoopDays->setFrameShape(QFrame::Box);
    } else if (w == Label3) {
        Label3->setToolTip("  " + QLocale().toString(WallNow().date(), "MMM dd, yyyy") + "  ");
    } else if (const int i = int(lblActiveDays.indexOf(qobject_cast<QLabel *>(w))); i >= 0) {
        for (QLabel *l : std::as_const(lblActiveDays)) {
            setTextColour(l, Qt::black);
            l->setFrameShape(QFrame::Box);
        }
        setTextColour(w, QColor(0, 0, 0xFF));
        lblActiveDays[i]->setFrameShape(QFrame::NoFrame);
    }
}

} // namespace qelt
