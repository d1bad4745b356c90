#include "prefs/SetupLocationPage.h"

#include "core/EventControls.h"
#include "prefs/SetupPageParts.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace qelt {

SetupLocationPage::SetupLocationPage(QWidget *parent) : QWidget(parent)
{
    QWidget *page = this;
    Label16 = new EventLabel(
        QStringLiteral("Select a city from the list, or enter information below."), page);
    Label16->setObjectName(QStringLiteral("Label16"));
    Label16->setGeometry(12, 8, 456, 22);
    Combo1 = new QComboBox(page);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    Combo1->setGeometry(12, 32, 260, 24);
    Combo1->setEditable(true);
    Combo1->lineEdit()->setReadOnly(true);
    Combo1->setInsertPolicy(QComboBox::NoInsert);
    Combo1->setMaxVisibleItems(20);

    lblCityName = new QLabel(page);
    lblCityName->setObjectName(QStringLiteral("lblCityName"));
    lblCityName->setGeometry(12, 64, 456, 22);
    QFont bold = lblCityName->font();
    bold.setBold(true);
    lblCityName->setFont(bold);

    auto label = [page](const char *name, const char *text, int x, int y, int w) {
        auto *l = new QLabel(QLatin1String(text), page);
        l->setObjectName(QLatin1String(name));
        l->setGeometry(x, y, w, 22);
        return l;
    };
    label("Label14", "Latitude", 12, 94, 90);
    txtLat = new QLineEdit(QStringLiteral("31.5"), page);
    txtLat->setObjectName(QStringLiteral("txtLat"));
    txtLat->setGeometry(104, 94, 80, 22);
    label("Label15", "Longitude", 200, 94, 90);
    txtLong = new QLineEdit(QStringLiteral("100.5"), page);
    txtLong->setObjectName(QStringLiteral("txtLong"));
    txtLong->setGeometry(292, 94, 80, 22);

    lblZone = label("lblZone", " Offset  to GMT", 12, 124, 90);
    txtZone = new QLineEdit(page);
    txtZone->setObjectName(QStringLiteral("txtZone"));
    txtZone->setGeometry(104, 124, 40, 22);
    txtZone->setMaxLength(3);
    lblZone->hide();
    txtZone->hide();
    Label17 = new EventLabel(QStringLiteral("offset"), page);
    Label17->setObjectName(QStringLiteral("Label17"));
    Label17->setGeometry(430, 124, 40, 22);
    QFont small = Label17->font();
    small.setPointSizeF(small.pointSizeF() * 0.8);
    Label17->setFont(small);

    cmdCalcSun = new QPushButton(QStringLiteral("Test"), page);
    cmdCalcSun->setObjectName(QStringLiteral("cmdCalcSun"));
    cmdCalcSun->setGeometry(292, 32, 80, 24);
    cmdCalcSun->setAutoDefault(false);
    Command2 = new QPushButton(QStringLiteral("Clear"), page);
    Command2->setObjectName(QStringLiteral("Command2"));
    Command2->setGeometry(384, 32, 80, 24);
    Command2->setAutoDefault(false);

    Text1 = new QLineEdit(page);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setGeometry(12, 156, 360, 22);
    Text1->setReadOnly(true);
    Text2 = new QLineEdit(page);
    Text2->setObjectName(QStringLiteral("Text2"));
    Text2->setGeometry(12, 182, 360, 22);
    Text2->setReadOnly(true);

    label("Label18", "Make sure your computer is set to the correct time zone.", 12, 220, 456);
    label("Label19", "For help finding your location:", 12, 250, 200);
    Label9 = new EventLabel(SunDataAddress(), page);
    Label9->setObjectName(QStringLiteral("Label9"));
    Label9->setGeometry(212, 250, 256, 22);
    Label9->setStyleSheet(QStringLiteral("color: blue; text-decoration: underline;"));
    Label9->setCursor(Qt::PointingHandCursor);

    txtSavings = new QLineEdit(page);
    txtSavings->setObjectName(QStringLiteral("txtSavings"));
    txtSavings->hide();
}

QString SetupLocationPage::SunDataAddress()
{
    return QStringLiteral("https://gml.noaa.gov/grad/solcalc/");
}

} // namespace qelt
