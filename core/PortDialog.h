#pragma once

#include "core/Mailbox.h"

#include <QDialog>

#include <array>

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace qelt {

// The data file record that holds the chosen serial port.
inline constexpr int kPortRecord = 270;

// The serial port dialog: the user picks the port the transmitter hangs on.
// Apply and OK close and reopen the main window's serial link on the chosen
// port at once (so the port can be tried from the main window while the
// dialog stays open) and store the choice in the data file.
class frmSetup : public QDialog {
    Q_OBJECT
public:
    explicit frmSetup(QWidget *parent = nullptr);

    void Form_Load();
    // Hides the window and gives the main window the focus; the next
    // reference loads the window again.
    void Unload();
    bool isLoaded() const { return m_loaded; }

    void optComm_Click(int index);
    // True when the port was opened and the choice stored.
    bool cmdApply_Click();
    void cmdOK_Click();
    void cmdCancel_Click();

    // Index 0 "Other (enter number)", 1 to 4 the ports of those numbers.
    std::array<QRadioButton *, 5> optComm{};
    QLineEdit *txtCom = nullptr;
    QLabel *lblTitle = nullptr;
    QLabel *lblCommNow = nullptr;
    QPushButton *cmdOK = nullptr;
    QPushButton *cmdCancel = nullptr;
    QPushButton *cmdApply = nullptr;
    // Hidden: the chosen port as text, and the selected option's index
    // (any change of it enables Apply).
    Mailbox txtComm;
    Mailbox txtChanger;

    // The index of the selected option, -1 when none is.
    int selectedOption() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void reject() override;

private:
    void showPortError();
    void setTip(QWidget *w, const QString &tip);
    bool m_loaded = false;
};

// The port dialog, created and loaded on first reference (and loaded again
// after an unload).
frmSetup &PortSetup();
// The dialog when it is loaded, else nullptr (nothing is created).
frmSetup *PortSetupIfLoaded();
// Shows the dialog modeless; with an owner it stays above that window.
void ShowPortDialog(QWidget *owner = nullptr);
void UnloadPortDialog();

} // namespace qelt
