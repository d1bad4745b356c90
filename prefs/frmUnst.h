#pragma once

#include "core/services/PrefsServices.h"

#include <QString>
#include <QWidget>

#include <array>
#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace qelt {

// The uninstall window: removes the program's settings and file types, the
// user's files in the program folder, and the program's working files,
// shortcuts and start-at-login entry, in full or item by item, after asking.
// It also offers to delete the settings of the older edition when they are
// found, and to clear the "Settings" section alone. It stays on top of
// other windows; UnstOpen is set while it is loaded.
class frmUnst : public QWidget {
    Q_OBJECT
public:
    explicit frmUnst(QWidget *parent = nullptr);

    bool isLoaded() const { return m_loaded; }
    void Form_Load();
    void Form_Unload();

    // Older-edition detection: its settings hold "Database16"/"CurrentExePath".
    void FindOtherVersion();
    void Option1_Click(int index);
    void Check1_Click(int index);
    void cmdUninstall_Click();
    void cmdCancel_Click();
    void cmdResetPos_Click();
    void Command1_Click();

    // The caption list of the ticked items, each followed by ", " CR LF.
    QString ChosenItems() const;

    bool OtherVersionFound = false;

    QLabel *Label2 = nullptr;
    std::array<QRadioButton *, 2> Option1{}; // 0 full removal, 1 custom removal
    // 0 settings and file types, 1 the user's files, 2 the program itself.
    std::array<QCheckBox *, 3> Check1{};
    QCheckBox *chkOtherVer = nullptr;
    QLabel *Label3 = nullptr;
    QLineEdit *Text2 = nullptr;
    QPushButton *Command1 = nullptr;
    QPushButton *cmdUninstall = nullptr;
    QPushButton *cmdCancel = nullptr;
    QPushButton *cmdResetPos = nullptr;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    // True when it removed the program and ended it.
    bool removal();
    void translateCaptions();

    bool m_loaded = false;
};

// The older edition's name in the settings store.
inline constexpr const char *kOtherEditionName = "Brindlecast Beta";

// How the program ends after a full removal: at once, without any window
// saving its state again. Tests install their own (an empty function
// restores the real one).
void SetUninstallExit(std::function<void()> exitNow);

// The uninstall window of this run, made on first use.
frmUnst *UnstWindow();
// The uninstaller service for the console (makes the window when needed).
UninstallService *UnstService();

} // namespace qelt
