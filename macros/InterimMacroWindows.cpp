#include "macros/InterimMacroWindows.h"

#include "core/Dialogs.h"
#include "core/Lang.h"
#include "macros/MacroServices.h"
#include "macros/frmRunMcr.h"

namespace qelt {

namespace {

class InterimMacroEditor : public MacroEditorService {
public:
    QWidget *widget() override { return nullptr; }
    void showPage(int, int) override
    {
        Info(LangCap(QStringLiteral("The macro and group editor is not available yet.")), true,
             false, QStringLiteral("Orvendale"), QStringLiteral("OK"), false);
    }
    void unload() override {}
    Mailbox &lblCroSave() override { return m_croSave; }
    Mailbox &lblGrpSave() override { return m_grpSave; }
    void clearGroupHold() override {}
    bool macroRecording() const override { return false; }
    bool groupRecording() const override { return false; }

private:
    Mailbox m_croSave;
    Mailbox m_grpSave;
};

} // namespace

void InstallInterimMacroWindows()
{
    static InterimMacroEditor editor;
    if (!MacroEditor())
        SetMacroEditor(&editor);
    if (!MacroRunner())
        SetMacroRunner(RunMcrService());
}

} // namespace qelt
