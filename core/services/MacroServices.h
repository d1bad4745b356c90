#pragma once

#include "core/Mailbox.h"

#include <QString>

class QWidget;

namespace qelt {

// What the console uses of the macro and group editor (frmMcrSetup), the
// macro runner pop-up (frmRunMcr) and the recording-pause dialog.
class MacroEditorService {
public:
    virtual ~MacroEditorService() = default;
    virtual QWidget *widget() = 0;
    // Shows the editor on page sTab (0 "Setup Macros", 1 "Setup Groups",
    // 2 "Manage Macros"); for page 1, groupRow (0 to 7) selects cbGroup.
    virtual void showPage(int sTab, int groupRow = -1) = 0;
    virtual void unload() = 0;
    // Before the program ends: when the editor holds unsaved commands it asks
    // its own question about saving them, over itself. False when the program
    // must keep running (Cancel, or Yes and the save did not happen).
    virtual bool mayExit() = 0;
    // Mailboxes fed by the console's lblGrp / lblGrpSave.
    virtual Mailbox &lblCroSave() = 0;
    virtual Mailbox &lblGrpSave() = 0;
    // lstGrphold: cleared at the start of every group run.
    virtual void clearGroupHold() = 0;
    // chkCroRecord / chkRec: macro / group recording is on.
    virtual bool macroRecording() const = 0;
    virtual bool groupRecording() const = 0;
};

class MacroRunnerService {
public:
    virtual ~MacroRunnerService() = default;
    // Refreshes the file list and shows the pop-up modeless.
    virtual void showRunner() = 0;
    virtual void unload() = 0;
};

MacroEditorService *MacroEditor();
void SetMacroEditor(MacroEditorService *editor);
MacroRunnerService *MacroRunner();
void SetMacroRunner(MacroRunnerService *runner);

} // namespace qelt
