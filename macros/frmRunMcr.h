#pragma once

#include "core/services/MacroServices.h"

#include <QString>
#include <QStringList>
#include <QWidget>

class QListWidget;

namespace qelt {

// The macro files ("*.cro", in any letter case) of a folder, sorted by name
// without regard to case, as the runner pop-up lists them.
QStringList MacroFileNames(const QString &folder);

// " Run": a small pop-up listing the macro files of the program folder. A
// double click or Enter plays the chosen file on the transmitter at once; a
// right click or leaving the list hides the pop-up. It is shown modeless by
// the console and lives, hidden between uses, until the program ends.
class frmRunMcr : public QWidget, public MacroRunnerService {
    Q_OBJECT
public:
    explicit frmRunMcr(QWidget *parent = nullptr);

    // MacroRunnerService
    void showRunner() override;
    void unload() override;

    // The list of macro files, filling the window.
    QListWidget *File1;

    // The folder File1 lists; set by Form_Load.
    QString folder() const { return m_folder; }
    // Re-reads the folder, keeping the selected name where it still exists.
    void File1_Refresh();
    // The name selected in File1; "" when none is selected.
    QString selectedFileName() const;

    // Plays the file selected in File1: the lead-in, then every line with
    // the lamp, the tick sound and its pause, then the closing pattern.
    void CroSend();

    void Form_Load();
    void Form_Unload();
    void File1_DblClick();
    void File1_KeyPress(int KeyAscii);
    void File1_MouseDown(Qt::MouseButton Button);
    void File1_LostFocus();
    void File1_MouseMove();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void placeNearCursor();

    QString m_folder;
    bool m_loaded = false;
};

// The pop-up of this run, made on first use.
frmRunMcr *RunMcrWindow();
// The runner service for the console: it makes the pop-up on the first call
// that needs it, so it may be registered before the application object
// exists.
MacroRunnerService *RunMcrService();

} // namespace qelt
