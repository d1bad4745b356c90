#pragma once

#include <QWidget>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace qelt {

class EventLabel;

// The preferences page for the location used for sunrise and sunset.
// It builds and holds the page's controls; the preferences window handles
// their events.
class SetupLocationPage : public QWidget {
public:
    explicit SetupLocationPage(QWidget *parent = nullptr);

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

    // The address Label9 opens.
    static QString SunDataAddress();
};

} // namespace qelt
