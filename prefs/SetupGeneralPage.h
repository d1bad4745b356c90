#pragma once

#include <QWidget>

#include <array>

class QGroupBox;
class QLabel;
class QPushButton;

namespace qelt {

class SetupPageHost;

// The preferences page for the general options: the seven switches of Check2
// and the sound switches in Frame2. Every switch acts at once.
class SetupGeneralPage : public QWidget {
    Q_OBJECT
public:
    explicit SetupGeneralPage(SetupPageHost &host, QWidget *parent = nullptr);

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

    void Check2_Click(int index);
    void Check2_MouseUp(int index);
    void Check3_Click();
    void chkTSound_Click();
    void chkMsound_Click();

    // Every switch OFF, as designed.
    void resetPage();
    // The Sounds switch and the scheduler's two sound switches from the
    // settings.
    void fillSoundSwitches();
    void loadSchedulerSoundSwitches();
    // The Check2 switches from the settings and the main window.
    void fillGeneralPage();

signals:
    // The panic button switch was turned; the panic page shows the same
    // switch and follows it.
    void panicButtonSwitched(bool on);

private:
    void connectHandlers();
    void setSwitchLook(QPushButton *box);

    SetupPageHost &m_host;
};

} // namespace qelt
