#pragma once

#include "prefs/SetupPageHost.h"

#include <QDialog>

class QPushButton;
class QTabWidget;
class QTimer;

namespace qelt {

class SetupAdvancedPage;
class SetupGeneralPage;
class SetupLocationPage;
class SetupPanicPage;
class SetupSoundsPage;

// The preferences window: five pages on the tab strip SSTab1 (0 general
// options, 1 panic button, 2 location, 3 sounds, 4 advanced) and OK, Cancel,
// Apply and Help under them. Each page holds its controls and handlers; the
// switches act at once, while the panic button, location, sound files and
// advanced values wait for Apply, with one change flag per page. Created
// hidden on first use; Form_Load fills it, Form_Unload saves its position and
// hides it.
class FormSetup : public QDialog, private SetupPageHost {
    Q_OBJECT
public:
    explicit FormSetup(QWidget *parent = nullptr);
    ~FormSetup() override;

    bool isLoaded() const { return m_loaded; }
    void Form_Load();
    void Form_Unload();

    void cmdApply_Click();
    void cmdClose_Click();
    void cmdCancel_Click();
    void cmdHelp_Click();
    void tmrApply_Timer();
    void SSTab1_Click();

    QTabWidget *SSTab1 = nullptr;
    // The five pages of SSTab1.
    SetupGeneralPage *general = nullptr;
    SetupPanicPage *panic = nullptr;
    SetupLocationPage *location = nullptr;
    SetupSoundsPage *sounds = nullptr;
    SetupAdvancedPage *advanced = nullptr;

    QPushButton *cmdClose = nullptr;
    QPushButton *cmdCancel = nullptr;
    QPushButton *cmdApply = nullptr;
    QPushButton *cmdHelp = nullptr;
    QTimer *tmrApply = nullptr;

public slots:
    void reject() override; // Esc acts as Cancel

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // What the pages ask of the window.
    Mailbox *mainBox(const char *name) const override;
    bool tipsOn() const override;
    bool clickSoundsOn() const override;
    void enableApply() override;
    void focusOk() override;

    void buildControls();
    void connectHandlers();
    void resetControls();
    void translateCaptions();
    void placeWindow();
    void showToolTip(QObject *control);

    double m_leftTw = 100; // the stored position the window was placed at
    double m_topTw = 100;
    bool m_loaded = false;
    bool m_closing = false;
};

// The one preferences window of the run, created hidden on first use.
FormSetup &SetupWindow();
// Registers the preferences window as the program's PrefsService.
void InstallPrefsWindow();

} // namespace qelt
