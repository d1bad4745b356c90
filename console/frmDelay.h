#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QLineEdit;
class QPushButton;

namespace qelt {

// "Delay Time": the small modal dialog in which the user types how long a
// group stays on before it is switched off again. It is hidden, not
// destroyed, when it closes, so it keeps its entries for the next use.
class frmDelay : public QDialog {
    Q_OBJECT
public:
    explicit frmDelay(QWidget *parent = nullptr);

    QLabel *lblDesc;
    QLabel *lbl1;
    QLineEdit *txtMin;
    QLineEdit *txtSec;
    QPushButton *cmdContinue;
    QPushButton *cmdCancel;
    QLabel *lbl2;

    void cmdContinue_Click();
    void cmdCancel_Click();
    // The result: the total in whole seconds as text after Continue, "" after
    // Cancel.
    QString delayTime() const { return DelayTime; }

public slots:
    void reject() override; // Esc and the close box act as Cancel

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void CalcDelay();
    void txtMin_LostFocus();
    bool keyAllowed(QLineEdit *box, QKeyEvent *key) const;
    void invalidNumber();

    QString DelayTime;
    // The parts of the entry and their sum, in seconds.
    int m_minPart = 0;
    int m_secPart = 0;
    int m_total = 0;
    bool m_inCalc = false;
};

// The one delay dialog of the run, created hidden on first use.
frmDelay &DelayDialog();

// Shows the delay dialog modally and returns its result.
QString ShowDelayDialog(QWidget *owner = nullptr);

} // namespace qelt
