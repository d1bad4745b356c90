#include "prefs/SetupSoundsPage.h"

#include "prefs/SetupPageParts.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>

namespace qelt {

SetupSoundsPage::SetupSoundsPage(QWidget *parent) : QWidget(parent)
{
    QWidget *page = this;
    List1 = new QListWidget(page);
    List1->setObjectName(QStringLiteral("List1"));
    List1->setGeometry(12, 12, 200, 110);
    for (int i = 0; i < 5; ++i) {
        const int y = 132 + i * 26;
        Label1[i] = new QLabel(QLatin1String(kSoundEvents[i].caption), page);
        Label1[i]->setObjectName(QStringLiteral("Label1_%1").arg(i));
        Label1[i]->setGeometry(12, y, 150, 22);
        Label2[i] = new QLabel(page);
        Label2[i]->setObjectName(QStringLiteral("Label2_%1").arg(i));
        Label2[i]->setGeometry(164, y, 304, 22);
        Label2[i]->setFrameShape(QFrame::StyledPanel);
    }
    lblSnd = new QLabel(page);
    lblSnd->setObjectName(QStringLiteral("lblSnd"));
    lblSnd->setGeometry(12, 270, 456, 22);
    lblSnd->setFrameShape(QFrame::Panel);
    lblSnd->setFrameShadow(QFrame::Sunken);

    auto button = [page](const char *name, const char *text, int y) {
        auto *b = new QPushButton(QLatin1String(text), page);
        b->setObjectName(QLatin1String(name));
        b->setGeometry(224, y, 120, 26);
        b->setAutoDefault(false);
        return b;
    };
    Command7 = button("Command7", "&Browse", 12);
    Command6 = button("Command6", "&Play", 42);
    Command5 = button("Command5", "&No Sound", 72);
    cmdDefaultSound = button("cmdDefaultSound", "&Restore defaults", 102);
    cmdDefaultSound->setGeometry(352, 12, 116, 26);
}

} // namespace qelt
