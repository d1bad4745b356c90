#pragma once

#include <QWidget>

class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

namespace qelt {

// "Orvendale": a small always-on-top window that shows the progress of a
// copy of many files: a main text, the current file and a bar. Callers make
// it visible, prepare it with iProgBar and step it with incProgBar; it
// closes itself a set time after the bar is full, or by its OK button.
class frmPbar : public QWidget {
    Q_OBJECT
public:
    explicit frmPbar(QWidget *parent = nullptr);

    QLabel *Label;
    QLabel *lblFlName;
    QProgressBar *PBar;
    QPushButton *cmdOK;
    QTimer *tmrClose;

    // Sets the bar's range and the main text; does not show the window.
    // iProgBar(0, 0, text) only sets the self-close time to 1.5 s.
    void iProgBar(long iPBarMax, long iPBarMin, const QString &sMainLabel);
    // One step: shows the file and moves the bar. When the bar is full the
    // file line is cleared, OK is offered (bShowClose), and the window closes
    // itself iSelfCloseTime ms later (below 1: it waits for OK). Always false.
    bool incProgBar(long iVal, const QString &iFlName, bool bShowClose = false,
                    long iSelfCloseTime = 0);

    // The bar's range and position, as the callers set and read them.
    long max() const { return m_max; }
    long min() const { return m_min; }
    long value() const { return m_value; }
    void setMax(long value);
    void setMin(long value);
    void setValue(long value);

    // Shows the window, loading it first when it is not loaded.
    void showProgress();
    bool loaded() const { return m_loaded; }
    void Form_Load();
    void unload();
    void cmdOK_Click();
    void tmrClose_Timer();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void showBar();

    long m_max = 100;
    long m_min = 0;
    long m_value = 0;
    bool m_loaded = false;
};

// The progress dialog of this run, made on first use.
frmPbar *PbarWindow();

} // namespace qelt
