#pragma once

#include <QWidget>

#include <array>

class QCheckBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QValidator;

namespace qelt {

class SetupPageHost;

// The preferences page for the panic button: its caption, turn-off time,
// group and colour, which wait for Apply, and the switch that shows it, which
// acts at once.
class SetupPanicPage : public QWidget {
    Q_OBJECT
public:
    explicit SetupPanicPage(SetupPageHost &host, QWidget *parent = nullptr);

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

    // Caption, time, group or colour edited since the last Apply.
    bool PanicChanged = false;
    int PanicColorIndex = 0;

    void Option1_Click(int index);
    void Check1_Click();
    void txtGroupNum_Change();

    void resetPage();
    // The boxes from the main window's panic mailboxes.
    void fillPanicPage();
    // Hands the boxes to the main window and stores them; no edit is then
    // pending.
    void applyPanicPage();

signals:
    // Check1 was turned; the general page shows the same switch and follows
    // it.
    void panicButtonSwitched(bool on);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void connectHandlers();
    QString tipFor(QObject *control) const;

    SetupPageHost &m_host;
    QValidator *m_digitsOnly = nullptr;
};

} // namespace qelt
