#pragma once

#include <QWidget>

#include <array>

class QCheckBox;
class QLabel;
class QLineEdit;
class QRadioButton;

namespace qelt {

// The preferences page for the panic button: its caption, turn-off time, group and colour.
// It builds and holds the page's controls; the preferences window handles
// their events.
class SetupPanicPage : public QWidget {
public:
    explicit SetupPanicPage(QWidget *parent = nullptr);

    QLabel *lblPanicInfo = nullptr;
    QLineEdit *txtBcaption = nullptr;
    QLineEdit *txtMin = nullptr;
    QLineEdit *txtSec = nullptr;
    QLineEdit *txtGroupNum = nullptr;
    // Option1[0] the default colour, Option1[1..6] the other button colours.
    std::array<QRadioButton *, 7> Option1{};
    QLabel *Label7 = nullptr;
    QLabel *lblMsg = nullptr;
    QCheckBox *Check1 = nullptr;
};

} // namespace qelt
