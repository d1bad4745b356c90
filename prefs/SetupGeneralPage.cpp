#include "prefs/SetupGeneralPage.h"

#include "prefs/SetupPageParts.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

namespace qelt {

SetupGeneralPage::SetupGeneralPage(QWidget *parent) : QWidget(parent)
{
    QWidget *page = this;
    const char *captions[7] = {
        "Show tool tips ( button hints )",        "Minimize sends to system tray",
        "Send program to system tray on startup", "Associate macro files (.cro) with Brindlecast",
        "Show Group Auto-Off Delay Buttons",      "Show Quick (Panic) Button",
        "Load when Windows starts (current user)"};
    for (int i = 0; i < 7; ++i) {
        const int y = 12 + i * 28;
        Check2[i] = MakeSwitch(page, QStringLiteral("Check2_%1").arg(i), 12, y);
        Label12[i] = new QLabel(QLatin1String(captions[i]), page);
        Label12[i]->setObjectName(QStringLiteral("Label12_%1").arg(i));
        Label12[i]->setGeometry(64, y, 400, 22);
    }
    Frame2 = new QGroupBox(page);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    Frame2->setGeometry(8, 214, 464, 112);
    Check3 = MakeSwitch(Frame2, QStringLiteral("Check3"), 12, 24);
    auto *soundsLabel = new QLabel(QStringLiteral("Sounds"), Frame2);
    soundsLabel->setObjectName(QStringLiteral("lblSoundsOn"));
    soundsLabel->setGeometry(64, 24, 380, 22);
    chkTSound = MakeSwitch(Frame2, QStringLiteral("chkTSound"), 12, 52);
    Label10 = new QLabel(QStringLiteral("Play sound when timer starts"), Frame2);
    Label10->setObjectName(QStringLiteral("Label10"));
    Label10->setGeometry(64, 52, 380, 22);
    chkMsound = MakeSwitch(Frame2, QStringLiteral("chkMsound"), 12, 80);
    Label11 = new QLabel(QStringLiteral("Play sound on each macro command"), Frame2);
    Label11->setObjectName(QStringLiteral("Label11"));
    Label11->setGeometry(64, 80, 380, 22);
}

} // namespace qelt
