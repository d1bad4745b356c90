#pragma once

#include <QStringList>
#include <QWidget>

#include <memory>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace qelt {

class EventLabel;
class SetupPageHost;
class clsSunrise;

// The preferences page for the location used for sunrise and sunset: a city
// from the list or a place typed in, stored by Apply.
class SetupLocationPage : public QWidget {
public:
    explicit SetupLocationPage(SetupPageHost &host, QWidget *parent = nullptr);
    ~SetupLocationPage() override;

    QComboBox *Combo1 = nullptr;
    QLineEdit *txtLat = nullptr;
    QLineEdit *txtLong = nullptr;
    QLineEdit *txtZone = nullptr;
    QLabel *lblZone = nullptr;
    QLabel *lblCityName = nullptr;
    // Today's sunrise (Text1) and sunset (Text2) as "Test" works them out.
    QLineEdit *Text1 = nullptr;
    QLineEdit *Text2 = nullptr;
    QPushButton *cmdCalcSun = nullptr;
    QPushButton *Command2 = nullptr;
    EventLabel *Label17 = nullptr;
    EventLabel *Label9 = nullptr;
    EventLabel *Label16 = nullptr;
    QLineEdit *txtSavings = nullptr;

    // A location waits for Apply.
    bool LocChanged = false;
    // The computer's standard offset to GMT in whole hours (west positive).
    int PcZoneHours = 0;
    QString CurCityName;
    // Typing in a location box relabels the place as the user's own; a pick
    // from the list loads the city.
    bool RelabelOnEdit = false;

    void Combo1_Click();
    void LocationBox_Change();
    void cmdCalcSun_Click();
    void Command2_Click();
    void Label17_MouseUp(Qt::MouseButton button);
    void Label16_Click();
    void Label9_Click();

    void resetPage();
    void fillLocationPage();
    void applyLocationPage();
    // The boxes hold another place than the one they were loaded or last
    // applied with.
    bool locationEdited() const;

    // The address Label9 opens.
    static QString SunDataAddress();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void connectHandlers();
    void FillCities();
    clsSunrise &sun();
    // The location boxes and city name as a list, to compare with what the
    // page was loaded with.
    QStringList shownLocation() const;
    QString tipFor(QObject *control) const;

    SetupPageHost &m_host;
    QStringList m_loadedLocation;
    std::unique_ptr<clsSunrise> m_sun;
};

} // namespace qelt
