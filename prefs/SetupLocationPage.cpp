#include "prefs/SetupLocationPage.h"

#include "core/EventControls.h"
#include "core/FileActions.h"
#include "core/SystemInfo.h"
#include "core/WindowHelpers.h"
#include "logic/Lang.h"
#include "logic/SunTimers.h"
#include "logic/clsSunrise.h"
#include "prefs/SetupPageHost.h"
#include "prefs/SetupPageParts.h"
#include "prefs/SetupRules.h"

#include <QComboBox>
#include <QDateTime>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace qelt {

SetupLocationPage::SetupLocationPage(SetupPageHost &host, QWidget *parent)
    : QWidget(parent), m_host(host)
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

    lblCityName = new StatusLabel(page);
    lblCityName->setObjectName(QStringLiteral("lblCityName"));
    lblCityName->setGeometry(12, 64, 456, 22);
    QFont bold = lblCityName->font();
    bold.setBold(true);
    lblCityName->setFont(bold);

    PageLabel(page, "Label14", "Latitude", 12, 94, 90);
    txtLat = new QLineEdit(QStringLiteral("31.5"), page);
    txtLat->setObjectName(QStringLiteral("txtLat"));
    txtLat->setGeometry(104, 94, 80, 22);
    PageLabel(page, "Label15", "Longitude", 200, 94, 90);
    txtLong = new QLineEdit(QStringLiteral("100.5"), page);
    txtLong->setObjectName(QStringLiteral("txtLong"));
    txtLong->setGeometry(292, 94, 80, 22);

    lblZone = PageLabel(page, "lblZone", " Offset  to GMT", 12, 124, 90);
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

    PageLabel(page, "Label18", "Make sure your computer is set to the correct time zone.", 12, 220,
              456);
    PageLabel(page, "Label19", "For help finding your location:", 12, 250, 200);
    Label9 = new EventLabel(SunDataAddress(), page);
    Label9->setObjectName(QStringLiteral("Label9"));
    Label9->setGeometry(212, 250, 256, 22);
    Label9->setStyleSheet(QStringLiteral("color: blue; text-decoration: underline;"));
    Label9->setCursor(Qt::PointingHandCursor);

    txtSavings = new QLineEdit(page);
    txtSavings->setObjectName(QStringLiteral("txtSavings"));
    txtSavings->hide();
    connectHandlers();
}

SetupLocationPage::~SetupLocationPage() = default;

void SetupLocationPage::connectHandlers()
{
    connect(Combo1, &QComboBox::activated, this, [this] { Combo1_Click(); });
    for (QLineEdit *e : {txtLat, txtLong, txtZone})
        connect(e, &QLineEdit::textChanged, this, [this] { LocationBox_Change(); });
    connect(cmdCalcSun, &QPushButton::clicked, this, [this] { cmdCalcSun_Click(); });
    connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
    connect(Label17, &EventLabel::mouseUp, this, [this](Qt::MouseButton b) { Label17_MouseUp(b); });
    connect(Label16, &EventLabel::clicked, this, [this] { Label16_Click(); });
    connect(Label9, &EventLabel::clicked, this, [this] { Label9_Click(); });
    for (QWidget *w : std::initializer_list<QWidget *>{cmdCalcSun, Command2, txtLat, txtLong,
                                                       txtZone, Combo1, Combo1->lineEdit()})
        w->installEventFilter(this);
}

void SetupLocationPage::resetPage()
{
    Combo1->clear();
    lblCityName->clear();
    Text1->clear();
    Text2->clear();
    LocChanged = false;
    PcZoneHours = 0;
    CurCityName.clear();
    RelabelOnEdit = false;
}

QStringList SetupLocationPage::shownLocation() const
{
    return {txtLat->text(), txtLong->text(), txtZone->text(), CurCityName};
}

bool SetupLocationPage::locationEdited() const
{
    return shownLocation() != m_loadedLocation;
}

clsSunrise &SetupLocationPage::sun()
{
    if (!m_sun)
        m_sun = std::make_unique<clsSunrise>();
    return *m_sun;
}

void SetupLocationPage::fillLocationPage()
{
    PcZoneHours = ZoneHoursFromOffsetText(TZStdOffset());
    txtLat->setText(SetupSetting(QStringLiteral("CityLatitude")));
    txtLong->setText(SetupSetting(QStringLiteral("CityLongitude")));
    txtZone->setText(SetupSetting(QStringLiteral("CityZone"), QString::number(PcZoneHours)));
    CurCityName = SetupSetting(QStringLiteral("CityName"));
    lblCityName->setText(CurCityName.isEmpty() ? QString()
                                               : QLatin1Char(' ') + CurCityName + QLatin1Char(' '));
    // Nothing stored yet: Apply stores the computer's zone.
    LocChanged = SetupSetting(QStringLiteral("CityZone")).isEmpty();
    if (!txtLat->text().isEmpty() && !txtLong->text().isEmpty())
        cmdCalcSun_Click();
    m_loadedLocation = shownLocation();
    FillCities();
    RelabelOnEdit = true;
}

void SetupLocationPage::FillCities()
{
    clsSunrise &s = sun();
    for (int i = 0; i < s.CityCount(); ++i)
        Combo1->addItem(s.CityName(i));
    Combo1->setCurrentIndex(-1);
    Combo1->setEditText(QStringLiteral("   ----- Select City -----"));
}

void SetupLocationPage::Combo1_Click()
{
    if (RelabelOnEdit) {
        const int index = Combo1->currentIndex();
        clsSunrise &s = sun();
        s.setCity(index);
        s.setDateDay(QDateTime::currentDateTime());
        s.CalculateSun();
        if (!(s.Latitude() == 0 && s.Longitude() == 0 && s.TimeZone() == 0)) {
            txtLat->setText(QString::number(s.Latitude()));
            txtLong->setText(QString::number(s.Longitude()));
            txtZone->setText(QString::number(s.TimeZone()));
            CurCityName = s.CityName(index);
            if (!CurCityName.isEmpty() && !CurCityName.startsWith(QLatin1Char(' '))) {
                lblCityName->setText(QLatin1Char(' ') + CurCityName + QLatin1Char(' '));
                lblCityName->setVisible(true);
                cmdCalcSun_Click();
            } else {
                lblCityName->clear();
            }
        }
    }
    RelabelOnEdit = true;
}

void SetupLocationPage::LocationBox_Change()
{
    LocChanged = true;
    if (RelabelOnEdit) {
        CurCityName = QStringLiteral("User Defined");
        lblCityName->setText(QStringLiteral("for:  ") + CurCityName);
        RelabelOnEdit = false;
    }
}

void SetupLocationPage::cmdCalcSun_Click()
{
    clsSunrise &s = sun();
    bool ok = false;
    double v = NumberFromText(txtLat->text(), &ok);
    if (ok)
        s.setLatitude(v);
    v = NumberFromText(txtLong->text(), &ok);
    if (ok)
        s.setLongitude(v);
    v = NumberFromText(txtZone->text(), &ok);
    if (ok && v == double(int(v)))
        s.setTimeZone(int(v));
    const QString savings = SetupSetting(QStringLiteral("DaySavings")).trimmed();
    if (savings.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
        s.setDaySavings(true);
    else if (savings.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
        s.setDaySavings(false);
    s.setDateDay(QDateTime::currentDateTime());
    s.CalculateSun();
    if (txtLat->text().isEmpty() || txtLong->text().isEmpty() || txtZone->text().isEmpty()) {
        Text1->clear();
        Text2->clear();
        return;
    }
    const QString format = QStringLiteral("hh:mm:ss AP");
    const auto shown = [&format](const QDateTime &t) {
        return t.isValid() ? t.time().toString(format) : QString();
    };
    Text1->setText(LangCap(QStringLiteral("Today's Sunrise:")) + QLatin1Char(' ') +
                   shown(s.Sunrise()));
    Text2->setText(LangCap(QStringLiteral("Today's Sunset:")) + QLatin1Char(' ') +
                   shown(s.Sunset()));
}

void SetupLocationPage::Command2_Click()
{
    txtLat->clear();
    txtLong->clear();
    txtZone->setText(QString::number(PcZoneHours));
    CurCityName.clear();
    lblCityName->clear();
    Text1->clear();
    Text2->clear();
    Combo1->setFocus();
    RelabelOnEdit = true;
}

void SetupLocationPage::Label17_MouseUp(Qt::MouseButton button)
{
    const bool show = button == Qt::RightButton;
    txtZone->setVisible(show);
    lblZone->setVisible(show);
}

void SetupLocationPage::Label16_Click()
{
    Combo1->setFocus();
}

void SetupLocationPage::Label9_Click()
{
    OpenDoc(SunDataAddress());
}

void SetupLocationPage::applyLocationPage()
{
    SaveSetupSetting(QStringLiteral("CityLatitude"), txtLat->text());
    SaveSetupSetting(QStringLiteral("CityLongitude"), txtLong->text());
    SaveSetupSetting(QStringLiteral("CityZone"), txtZone->text());
    SaveSetupSetting(QStringLiteral("CityName"), CurCityName);
    LocChanged = false;
    m_loadedLocation = shownLocation();
    if (txtZone->text().isEmpty())
        DeleteSet(QStringLiteral("Settings"), QStringLiteral("CityZone"));
}

QString SetupLocationPage::tipFor(QObject *control) const
{
    if (control == cmdCalcSun)
        return QStringLiteral("Calculate the sunrise/ sunset times");
    if (control == Command2)
        return QStringLiteral("Clear saved settings");
    if (control == txtLat)
        return QStringLiteral("Enter Latitude for your location");
    if (control == txtLong)
        return QStringLiteral("Enter Longitude for your location");
    if (control == txtZone)
        return QStringLiteral("Enter offset to GMT (whole hours only)");
    return {};
}

bool SetupLocationPage::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Enter) {
        if (const QString tip = tipFor(watched); !tip.isEmpty())
            ShowTip(static_cast<QWidget *>(watched), tip, m_host.tipsOn());
    } else if (event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if ((watched == Combo1 || watched == Combo1->lineEdit()) &&
            (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
            m_host.focusOk();
            return true;
        }
        const int code = KeyCode(key);
        if (code >= 0 && (watched == txtLat || watched == txtLong) &&
            !LatLongKeyAccepted(code, static_cast<QLineEdit *>(watched)->text()))
            return true;
        if (code >= 0 && watched == txtZone && !ZoneKeyAccepted(code))
            return true;
    }
    return QWidget::eventFilter(watched, event);
}

QString SetupLocationPage::SunDataAddress()
{
    return QStringLiteral("https://gml.noaa.gov/grad/solcalc/");
}

} // namespace qelt
