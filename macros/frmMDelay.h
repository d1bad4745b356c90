#pragma once

#include <QDialog>
#include <QString>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace qelt {

// The total of minutes and seconds as the pause field shows it: shortest
// decimal form, left-padded with "0" to 4 characters ("0090", "02.5").
QString PauseTotalText(const QString &minutes, const QString &seconds);
// The pause a Continue hands back for a total text: with a point, two
// decimals ("00.3" -> "0.30", "12.5" -> "12.50"); otherwise unchanged.
QString PauseResultText(const QString &total);

// " Pause Time": asks for the pause after a recorded macro command as
// minutes and seconds. Shown modally; Continue hides it and leaves the
// result in PauseTime; it stays loaded, so a later showing keeps the last
// entry and the last result.
class frmMDelay : public QDialog {
    Q_OBJECT
public:
    explicit frmMDelay(QWidget *parent = nullptr);

    QLabel *lblDesc, *Label1, *Label2;
    QLineEdit *txtMin, *txtSec, *txtPTime;
    QPushButton *cmdContinue, *Command1;
    QCheckBox *chkSame;

    // The pause chosen: "" until one is chosen, "" again after Cancel.
    QString PauseTime;

    // Shows the dialog modally; returns PauseTime when it is hidden again.
    QString askModal();

    void CalcPause();
    void cmdContinue_Click();
    void Command1_Click();
    // Key filters for Enter (13) and typed characters: false drops the key.
    bool txtMin_KeyPress(QChar key);
    bool txtSec_KeyPress(QChar key);
    void txtMin_LostFocus();
    void txtSec_LostFocus();

signals:
    // Continue closed the dialog; the editor sets its recording mode from it.
    void continued(bool sameTicked);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void reject() override;
};

// The dialog of this run, made on first use; nullptr-safe check for
// whether it exists yet.
frmMDelay *MDelayWindow();
frmMDelay *MDelayWindowIfLoaded();

} // namespace qelt
