#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>

#include <array>
#include <memory>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QScrollBar;
class QTabWidget;
class QTimer;
class QValidator;

namespace qelt {

class EventLabel;
class MainWindowService;
class Mailbox;
class clsSunrise;
class SetupAdvancedPage;
class SetupGeneralPage;
class SetupLocationPage;
class SetupPanicPage;
class SetupSoundsPage;

// The preferences window: five pages on the tab strip SSTab1 (0 general
// options, 1 panic button, 2 location, 3 sounds, 4 advanced) and OK, Cancel,
// Apply and Help under them. The switches act at once; the panic button,
// location, sound files and advanced values wait in their boxes for Apply,
// with one change flag per page. Created hidden on first use; Form_Load fills
// it, Form_Unload saves its position and hides it.
class FormSetup : public QDialog {
    Q_OBJECT
public:
    explicit FormSetup(QWidget *parent = nullptr);
    ~FormSetup() override;

    bool isLoaded() const { return m_loaded; }
    void Form_Load();
    void Form_Unload();

    // Frame buttons.
    void cmdApply_Click();
    void cmdClose_Click();
    void cmdCancel_Click();
    void cmdHelp_Click();
    void tmrApply_Timer();
    void SSTab1_Click();

    // General options page.
    void Check2_Click(int index);
    void Check2_MouseUp(int index);

    // Panic page.
    void Option1_Click(int index);
    void Check1_Click();
    void txtGroupNum_Change();

    // Location page.
    void Combo1_Click();
    void LocationBox_Change();
    void cmdCalcSun_Click();
    void Command2_Click();
    void Label17_MouseUp(Qt::MouseButton button);
    void Label16_Click();
    void Label9_Click();

    // Sounds page and switches.
    void Check3_Click();
    void chkTSound_Click();
    void chkMsound_Click();
    void List1_Click();
    void Command5_Click();
    void Command6_Click();
    void Command7_MouseUp();
    void cmdDefaultSound_Click();
    void SaveSounds();

    // Advanced page.
    void AdvancedBox_LostFocus(QLineEdit *box);
    void HScroll1_Change();
    void TrimLog_Click();
    void ckRecording_Click();
    void chkUpdates_Click();
    void lblAutoCheckTime_Click();
    void cmdLogDefault_Click();

    // Change flags and form-level values.
    bool PanicChanged = false;
    bool LocChanged = false;
    bool SndChanged = false;
    bool AdvChanged = false;
    int PanicColorIndex = 0;
    int PcZoneHours = 0;
    QString CurCityName;
    bool RelabelOnEdit = false;
    // The sound event last chosen in List1 (-1 none); its path is lblSnd's.
    int SelectedSound = -1;

    // Frame.
    QTabWidget *SSTab1 = nullptr;
    // The five pages of SSTab1, each a widget that builds its own controls.
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

    // The pages' controls under the names the handlers use (see the page
    // classes for what each numbered array holds).
    // Page 0.
    std::array<QPushButton *, 7> Check2{};
    std::array<QLabel *, 7> Label12{};
    QGroupBox *Frame2 = nullptr;
    QPushButton *Check3 = nullptr;
    QPushButton *chkTSound = nullptr;
    QPushButton *chkMsound = nullptr;
    QLabel *Label10 = nullptr;
    QLabel *Label11 = nullptr;

    // Page 1.
    QLabel *lblPanicInfo = nullptr;
    QLineEdit *txtBcaption = nullptr;
    QLineEdit *txtMin = nullptr;
    QLineEdit *txtSec = nullptr;
    QLineEdit *txtGroupNum = nullptr;
    std::array<QRadioButton *, 7> Option1{};
    QLabel *Label7 = nullptr;
    QLabel *lblMsg = nullptr;
    QCheckBox *Check1 = nullptr;

    // Page 2.
    QComboBox *Combo1 = nullptr;
    QLineEdit *txtLat = nullptr;
    QLineEdit *txtLong = nullptr;
    QLineEdit *txtZone = nullptr;
    QLabel *lblZone = nullptr;
    QLabel *lblCityName = nullptr;
    QLineEdit *Text1 = nullptr;
    QLineEdit *Text2 = nullptr;
    QPushButton *cmdCalcSun = nullptr;
    QPushButton *Command2 = nullptr;
    EventLabel *Label17 = nullptr;
    EventLabel *Label9 = nullptr;
    EventLabel *Label16 = nullptr;
    QLineEdit *txtSavings = nullptr;

    // Page 3.
    QListWidget *List1 = nullptr;
    std::array<QLabel *, 5> Label1{};
    std::array<QLabel *, 5> Label2{};
    QLabel *lblSnd = nullptr;
    QPushButton *Command7 = nullptr;
    QPushButton *Command6 = nullptr;
    QPushButton *Command5 = nullptr;
    QPushButton *cmdDefaultSound = nullptr;

    // Page 4.
    QLineEdit *txtMaxLog = nullptr;
    QLineEdit *txtMinLog = nullptr;
    QLineEdit *txtMaxLogFile = nullptr;
    QCheckBox *TrimLog = nullptr;
    QLineEdit *txtGpause = nullptr;
    QScrollBar *HScroll1 = nullptr;
    QCheckBox *ckRecording = nullptr;
    QCheckBox *chkUpdates = nullptr;
    QLineEdit *txtUpdateHour = nullptr;
    EventLabel *lblAutoCheckTime = nullptr;
    QPushButton *cmdLogDefault = nullptr;

    // The address Label9 opens.
    static QString SunDataAddress();

public slots:
    void reject() override; // Esc acts as Cancel

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    void takePageControls();
    void connectHandlers();
    void resetControls();
    void translateCaptions();
    void placeWindow();
    void fillPanicPage();
    void fillLocationPage();
    void fillAdvancedPage();
    void FillCities();
    void applyPanicPage();
    void applyAdvancedPage();
    void applyLocationPage();
    void setSwitchLook(QPushButton *box);
    void setSoundLabel(int index, const QString &path);
    void loadSchedulerSoundSwitches();
    void showToolTip(QObject *control);
    bool keyFiltered(QObject *watched, int key);
    bool tipsOn() const;
    Mailbox *mainBox(const char *name) const;
    clsSunrise &sun();

    // The location boxes and city name as a list, to compare with what the
    // page was loaded with.
    QStringList shownLocation() const;

    QValidator *m_digitsOnly = nullptr;
    QStringList m_loadedLocation;
    double m_leftTw = 100; // the stored position the window was placed at
    double m_topTw = 100;
    bool m_loaded = false;
    bool m_closing = false;
    std::unique_ptr<clsSunrise> m_sun;
};

// The one preferences window of the run, created hidden on first use.
FormSetup &SetupWindow();
// Registers the preferences window as the program's PrefsService.
void InstallPrefsWindow();

} // namespace qelt
