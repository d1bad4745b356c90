#pragma once

#include <QWidget>

#include <array>

class QLabel;
class QListWidget;
class QPushButton;

namespace qelt {

// The preferences page for the sound file of each sound event.
// It builds and holds the page's controls; the preferences window handles
// their events.
class SetupSoundsPage : public QWidget {
public:
    explicit SetupSoundsPage(QWidget *parent = nullptr);

    QListWidget *List1 = nullptr;
    // Label1[i] names sound event i (kSoundEvents order), Label2[i] its file.
    std::array<QLabel *, 5> Label1{};
    std::array<QLabel *, 5> Label2{};
    QLabel *lblSnd = nullptr;
    QPushButton *Command7 = nullptr;
    QPushButton *Command6 = nullptr;
    QPushButton *Command5 = nullptr;
    QPushButton *cmdDefaultSound = nullptr;
};

} // namespace qelt
