#include "prefs/SetupPanicPage.h"

#include "prefs/SetupPageParts.h"
#include "prefs/SetupRules.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

namespace qelt {

SetupPanicPage::SetupPanicPage(QWidget *parent) : QWidget(parent)
{
    QWidget *page = this;
    lblPanicInfo = new QLabel(
        QStringLiteral("The \"Quick\" button lets you click one button to turn on a \"Group\"  "
                       "The \"Group\" will then turn off after the time you set below."),
        page);
    lblPanicInfo->setObjectName(QStringLiteral("Label3"));
    lblPanicInfo->setWordWrap(true);
    lblPanicInfo->setGeometry(12, 8, 456, 40);

    auto label = [page](const char *name, const char *text, int x, int y, int w) {
        auto *l = new QLabel(QLatin1String(text), page);
        l->setObjectName(QLatin1String(name));
        l->setGeometry(x, y, w, 22);
        return l;
    };
    auto box = [page](const char *name, const char *text, int x, int y, int w, int max) {
        auto *e = new QLineEdit(QLatin1String(text), page);
        e->setObjectName(QLatin1String(name));
        e->setGeometry(x, y, w, 22);
        e->setMaxLength(max);
        return e;
    };
    label("Label4", "Button caption:", 12, 58, 150);
    txtBcaption = box("txtBcaption", "", 170, 58, 120, 10);
    label("Label5", "Turn off after (min : sec):", 12, 88, 150);
    txtMin = box("txtMin", "00", 170, 88, 32, 2);
    label("Label6", ":", 206, 88, 8);
    txtSec = box("txtSec", "30", 216, 88, 32, 2);
    label("Label8", "Group to start (1 to 8):", 12, 118, 150);
    txtGroupNum = box("txtGroupNum", "6", 170, 118, 24, 1);
    // A row of its own under the page's controls, wrapped, so the warning
    // is read whole in any language.
    lblMsg = label("lblMsg", "Number for Group must be a number from 1 to 8", 12, 244, 456);
    lblMsg->setWordWrap(true);
    lblMsg->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblMsg->resize(456, 60);
    lblMsg->setStyleSheet(QStringLiteral("color: red;"));
    lblMsg->hide();

    label("Label13", "Button colour:", 12, 150, 150);
    for (int i = 0; i < 7; ++i) {
        Option1[i] = new QRadioButton(i == 0 ? QStringLiteral("Default") : QString(), page);
        Option1[i]->setObjectName(QStringLiteral("Option1_%1").arg(i));
        Option1[i]->setGeometry(i == 0 ? 12 : 60 + i * 40, 174, i == 0 ? 80 : 34, 22);
        Option1[i]->setAutoFillBackground(true);
        Option1[i]->setStyleSheet(ColourSheet("QRadioButton", PanicOptionColour(i)));
    }
    Label7 = new QLabel(page);
    Label7->setObjectName(QStringLiteral("Label7"));
    Label7->setGeometry(370, 150, 90, 46);
    Label7->setFrameShape(QFrame::Box);
    Label7->setStyleSheet(ColourSheet("QLabel", PanicOptionColour(0)));

    Check1 = new QCheckBox(QStringLiteral("Show button on main window."), page);
    Check1->setObjectName(QStringLiteral("Check1"));
    Check1->setGeometry(12, 214, 400, 22);
}

} // namespace qelt
