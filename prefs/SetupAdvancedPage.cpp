#include "prefs/SetupAdvancedPage.h"

#include "core/EventControls.h"
#include "core/FileActions.h"
#include "logic/ProgramFolder.h"
#include "logic/Settings.h"
#include "logic/Transmitter.h"
#include "prefs/SetupPageHost.h"
#include "prefs/SetupPageParts.h"
#include "prefs/SetupRules.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>

namespace qelt {

SetupAdvancedPage::SetupAdvancedPage(SetupPageHost &host, QWidget *parent)
    : QWidget(parent), m_host(host)
{
    QWidget *page = this;
    auto box = [page](const char *name, const char *text, int x, int y, int w) {
        auto *e = new QLineEdit(QLatin1String(text), page);
        e->setObjectName(QLatin1String(name));
        e->setGeometry(x, y, w, 22);
        return e;
    };
    auto check = [page](const char *name, const char *text, int x, int y, int w) {
        auto *c = new QCheckBox(QLatin1String(text), page);
        c->setObjectName(QLatin1String(name));
        c->setGeometry(x, y, w, 22);
        return c;
    };

    chkUpdates = check("chkUpdates", "Automatically check for updates once a week.", 12, 8, 300);
    lblAutoCheckTime = new EventLabel(QStringLiteral("Check now and setup day and time"), page);
    lblAutoCheckTime->setObjectName(QStringLiteral("lblAutoCheckTime"));
    lblAutoCheckTime->setGeometry(32, 30, 420, 20);
    lblAutoCheckTime->setStyleSheet(QStringLiteral("QLabel:enabled { color: blue; }"));
    lblAutoCheckTime->setEnabled(false);
    txtUpdateHour = box("txtUpdateHour", "08", 440, 8, 28);
    txtUpdateHour->setMaxLength(2);
    txtUpdateHour->setEnabled(false);
    txtUpdateHour->hide();

    ckRecording =
        check("ckRecording", "Send commands while recording macros and groups", 12, 56, 456);

    auto *delayFrame = new QGroupBox(
        QStringLiteral("Master Delay for timer buffer (prevents command collisions)"), page);
    delayFrame->setObjectName(QStringLiteral("Frame3"));
    delayFrame->setGeometry(8, 82, 464, 60);
    HScroll1 = new QScrollBar(Qt::Horizontal, delayFrame);
    HScroll1->setObjectName(QStringLiteral("HScroll1"));
    HScroll1->setGeometry(12, 28, 300, 18);
    HScroll1->setRange(0, 150);
    HScroll1->setSingleStep(1);
    HScroll1->setPageStep(10);
    txtGpause = new QLineEdit(QStringLiteral(".6"), delayFrame);
    txtGpause->setObjectName(QStringLiteral("txtGpause"));
    txtGpause->setGeometry(324, 26, 56, 22);
    auto *seconds = new QLabel(QStringLiteral("seconds"), delayFrame);
    seconds->setObjectName(QStringLiteral("Label20"));
    seconds->setGeometry(388, 26, 70, 22);

    auto *logFrame = new QGroupBox(QStringLiteral("Timer Log Window and Log File"), page);
    logFrame->setObjectName(QStringLiteral("Frame4"));
    logFrame->setGeometry(8, 148, 464, 146);
    QWidget *f = logFrame;
    auto flabel = [f](const char *name, const char *text, int y) {
        auto *l = new QLabel(QLatin1String(text), f);
        l->setObjectName(QLatin1String(name));
        l->setGeometry(12, y, 360, 22);
        return l;
    };
    auto fbox = [f](const char *name, const char *text, int y) {
        auto *e = new QLineEdit(QLatin1String(text), f);
        e->setObjectName(QLatin1String(name));
        e->setGeometry(376, y, 76, 22);
        return e;
    };
    flabel("Label21", "Maximum number of lines in Timer Log window -", 24);
    txtMaxLog = fbox("txtMaxLog", "500", 24);
    flabel("Label22", "Number of lines to leave in Timer Log window -", 52);
    txtMinLog = fbox("txtMinLog", "400", 52);
    TrimLog = new QCheckBox(QStringLiteral("Set size limit on timerlog file"), f);
    TrimLog->setObjectName(QStringLiteral("TrimLog"));
    TrimLog->setGeometry(12, 80, 360, 22);
    flabel("Label23", "Max number of lines in autosaved timerlog file -", 108);
    txtMaxLogFile = fbox("txtMaxLogFile", "59000", 108);

    cmdLogDefault = new QPushButton(QStringLiteral("&Restore defaults"), page);
    cmdLogDefault->setObjectName(QStringLiteral("cmdLogDefault"));
    cmdLogDefault->setGeometry(340, 300, 132, 26);
    cmdLogDefault->setAutoDefault(false);

    m_digitsOnly = DigitsOnlyValidator(this);
    connectHandlers();
}

void SetupAdvancedPage::connectHandlers()
{
    for (QLineEdit *e : {txtMaxLog, txtMinLog, txtMaxLogFile, txtGpause, txtUpdateHour})
        connect(e, &QLineEdit::textChanged, this, [this] { AdvChanged = true; });
    connect(txtUpdateHour, &QLineEdit::textChanged, this, [this] { m_hourChanged = true; });
    connect(HScroll1, &QScrollBar::valueChanged, this, [this] { HScroll1_Change(); });
    connect(TrimLog, &QCheckBox::toggled, this, [this] { TrimLog_Click(); });
    connect(ckRecording, &QCheckBox::toggled, this, [this] { ckRecording_Click(); });
    connect(chkUpdates, &QCheckBox::toggled, this, [this] { chkUpdates_Click(); });
    connect(lblAutoCheckTime, &EventLabel::clicked, this, [this] { lblAutoCheckTime_Click(); });
    connect(cmdLogDefault, &QPushButton::clicked, this, [this] { cmdLogDefault_Click(); });
    for (QWidget *w : {txtUpdateHour, txtMaxLog, txtMinLog, txtMaxLogFile, txtGpause})
        w->installEventFilter(this);
}

void SetupAdvancedPage::resetPage()
{
    for (QCheckBox *c : {TrimLog, ckRecording, chkUpdates}) {
        const QSignalBlocker block(c);
        c->setChecked(false);
    }
    {
        const QSignalBlocker block(HScroll1);
        HScroll1->setValue(0);
    }
    lblAutoCheckTime->setEnabled(false);
    txtUpdateHour->setEnabled(false);
    txtMaxLogFile->setEnabled(false);
    AdvChanged = false;
    m_hourChanged = false;
}

void SetupAdvancedPage::fillAdvancedPage()
{
    bool ok = false;
    const double check =
        NumberFromText(SetupSetting(QStringLiteral("ChkForUpdts"), QStringLiteral("3")), &ok);
    if (ok && check < 2)
        chkUpdates->setChecked(check == 1);
    txtUpdateHour->setText(SetupSetting(QStringLiteral("ChkUpdtsTime"), QStringLiteral("19")));
    m_hourChanged = false;
    TrimLog->setChecked(
        SwitchOnValue(SetupSetting(QStringLiteral("TrimTimerLog"), QStringLiteral("1"))));
    txtMaxLogFile->setEnabled(TrimLog->isChecked());
    txtMaxLog->setText(SetupSetting(QStringLiteral("MaxLogSize"), QStringLiteral("500")));
    txtMinLog->setText(SetupSetting(QStringLiteral("KeepLogSize"), QStringLiteral("400")));
    txtMaxLogFile->setText(
        SetupSetting(QStringLiteral("MaxLogFileLines"), QStringLiteral("59000")));
    txtGpause->setText(SetupSetting(QStringLiteral("GPause"), QStringLiteral("0.6")));
    AdvChanged = false;
    for (QLineEdit *e : {txtMaxLog, txtMinLog, txtMaxLogFile})
        e->setValidator(m_digitsOnly);
    // From the design position 0, so any other position rewrites the box
    // with the slider's own text. A pause the slider cannot show (not a
    // number, below 0 or above 1.5 s) leaves slider and box as they are:
    // clamping it would put another pause in the box, and the next Apply
    // would store that one instead of the user's.
    const double hundredths = NumberFromText(txtGpause->text(), &ok) * 100;
    if (ok && hundredths >= HScroll1->minimum() - 0.5 && hundredths < HScroll1->maximum() + 0.5)
        HScroll1->setValue(qRound(hundredths));
    ckRecording->setChecked(SendOnRecord());
}

void SetupAdvancedPage::AdvancedBox_LostFocus(QLineEdit *box)
{
    if (IsNumericText(box->text()))
        return;
    if (box == txtMaxLog)
        box->setText(QStringLiteral("500"));
    else if (box == txtMinLog)
        box->setText(QStringLiteral("400"));
    else if (box == txtMaxLogFile)
        box->setText(QStringLiteral("59000"));
    else if (box == txtGpause)
        box->setText(QStringLiteral(".6"));
}

void SetupAdvancedPage::HScroll1_Change()
{
    txtGpause->setText(QString::number(HScroll1->value() * 0.01, 'g', 15));
}

void SetupAdvancedPage::TrimLog_Click()
{
    AdvChanged = true;
    txtMaxLogFile->setEnabled(TrimLog->isChecked());
}

void SetupAdvancedPage::ckRecording_Click()
{
    SaveSetupSetting(QStringLiteral("SendOnRecord"), Bit(ckRecording->isChecked()));
}

void SetupAdvancedPage::chkUpdates_Click()
{
    const bool on = chkUpdates->isChecked();
    SaveSetupSetting(QStringLiteral("ChkForUpdts"), Bit(on));
    txtUpdateHour->setEnabled(on);
    lblAutoCheckTime->setEnabled(on);
}

void SetupAdvancedPage::lblAutoCheckTime_Click()
{
    if (!lblAutoCheckTime->isEnabled())
        return;
    SaveSetupSetting(QStringLiteral("ChkType"), QStringLiteral("manual"));
    CurrentWaitClock().processEvents();
    OpenDoc(InstalledProgramPath(QStringLiteral("update")));
}

void SetupAdvancedPage::cmdLogDefault_Click()
{
    txtMaxLog->setText(QStringLiteral("500"));
    txtMinLog->setText(QStringLiteral("400"));
    txtMaxLogFile->setText(QStringLiteral("59000"));
    if (HScroll1->value() == 60)
        HScroll1_Change();
    else
        HScroll1->setValue(60);
}

void SetupAdvancedPage::applyAdvancedPage()
{
    // A box that lost no focus since it was typed in is put right here, so a
    // text that is not a number never reaches the stored limits.
    for (QLineEdit *box : {txtMaxLog, txtMinLog, txtMaxLogFile, txtGpause})
        AdvancedBox_LostFocus(box);
    SaveSetupSetting(QStringLiteral("MaxLogSize"), txtMaxLog->text());
    SaveSetupSetting(QStringLiteral("KeepLogSize"), txtMinLog->text());
    SaveSetupSetting(QStringLiteral("MaxLogFileLines"), txtMaxLogFile->text());
    SaveSetupSetting(QStringLiteral("TrimTimerLog"), Bit(TrimLog->isChecked()));
    SaveSetupSetting(QStringLiteral("GPause"), txtGpause->text());
    if (m_hourChanged)
        SaveSetupSetting(QStringLiteral("ChkUpdtsTime"), txtUpdateHour->text());
    AdvChanged = false;
    m_hourChanged = false;
}

bool SetupAdvancedPage::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::Enter:
        if (watched == txtUpdateHour)
            ShowTip(txtUpdateHour,
                    QStringLiteral("Enter hour of day to check for updates. ( 0 to 23 )"),
                    m_host.tipsOn());
        break;
    case QEvent::KeyPress:
        if (watched == txtUpdateHour) {
            const int code = KeyCode(static_cast<QKeyEvent *>(event));
            if (code >= 0 && !HourKeyAccepted(code))
                return true;
        }
        break;
    case QEvent::FocusOut:
        if (watched != txtUpdateHour)
            AdvancedBox_LostFocus(static_cast<QLineEdit *>(watched));
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace qelt
