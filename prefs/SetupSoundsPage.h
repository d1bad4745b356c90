#pragma once

#include <QWidget>

#include <array>

class QLabel;
class QListWidget;
class QPushButton;

namespace qelt {

class SetupPageHost;

// The preferences page for the sound file of each sound event. A changed
// file waits for Apply; restoring the defaults stores them at once.
class SetupSoundsPage : public QWidget {
public:
    explicit SetupSoundsPage(SetupPageHost &host, QWidget *parent = nullptr);

    QListWidget *List1 = nullptr;
    // Label1[i] names sound event i (kSoundEvents order), Label2[i] its file.
    std::array<QLabel *, 5> Label1{};
    std::array<QLabel *, 5> Label2{};
    QLabel *lblSnd = nullptr;
    QPushButton *Command7 = nullptr;
    QPushButton *Command6 = nullptr;
    QPushButton *Command5 = nullptr;
    QPushButton *cmdDefaultSound = nullptr;

    // A sound file changed since the last save.
    bool SndChanged = false;
    // The sound event last chosen in List1 (-1 none); its path is lblSnd's.
    int SelectedSound = -1;

    void List1_Click();
    void Command5_Click();
    void Command6_Click();
    void Command7_MouseUp();
    void cmdDefaultSound_Click();
    // Makes the files on the page the program's sounds and stores them; no
    // edit is then pending.
    void SaveSounds();

    void resetPage();
    // The files of the program's sounds and the list of events.
    void fillSoundsPage();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void connectHandlers();
    void setSoundLabel(int index, const QString &path);

    SetupPageHost &m_host;
};

} // namespace qelt
