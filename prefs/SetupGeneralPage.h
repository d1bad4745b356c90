#pragma once

#include <QWidget>

#include <array>

class QGroupBox;
class QLabel;
class QPushButton;

namespace qelt {

// The preferences page for the general options: the seven switches of Check2 and the sound switches
// in Frame2. It builds and holds the page's controls; the preferences window handles their events.
class SetupGeneralPage : public QWidget {
public:
    explicit SetupGeneralPage(QWidget *parent = nullptr);

    // Check2[i] with its caption Label12[i]: 0 tool tips, 1 minimise to tray,
    // 2 tray at start, 3 macro file association, 4 delay buttons, 5 panic
    // button, 6 start with the session.
    std::array<QPushButton *, 7> Check2{};
    std::array<QLabel *, 7> Label12{};
    QGroupBox *Frame2 = nullptr;
    QPushButton *Check3 = nullptr;
    QPushButton *chkTSound = nullptr;
    QPushButton *chkMsound = nullptr;
    QLabel *Label10 = nullptr;
    QLabel *Label11 = nullptr;
};

} // namespace qelt
