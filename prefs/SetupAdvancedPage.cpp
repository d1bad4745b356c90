#include "prefs/SetupAdvancedPage.h"

#include "core/EventControls.h"
#include "prefs/SetupPageParts.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>

namespace qelt {

SetupAdvancedPage::SetupAdvancedPage(QWidget *parent) : QWidget(parent)
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
}

} // namespace qelt
