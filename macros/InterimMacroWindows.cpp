#include "macros/InterimMacroWindows.h"

#include "console/ConsoleServices.h"
#include "core/Dialogs.h"
#include "core/Lang.h"
#include "core/ProgramFolder.h"
#include "macros/MacroServices.h"

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

class InterimMacroRunner : public MacroRunnerService {
public:
    void showRunner() override
    {
        MainWindowService *main = MainWindow();
        const QString path = Dialogs().openFileName(
            main ? main->widget() : nullptr, LangCap(QStringLiteral("Run a Macro")),
            ProgramFolder(), QStringLiteral("Macros (*.cro)"));
        // Played through the hand-over box, in turn with other hand-overs.
        if (!path.isEmpty() && main)
            main->txtCommand().setText(path);
    }
    void unload() override {}
};

} // namespace

void InstallInterimMacroWindows()
{
    static InterimMacroEditor editor;
    static InterimMacroRunner runner;
    if (!MacroEditor())
        SetMacroEditor(&editor);
    if (!MacroRunner())
        SetMacroRunner(&runner);
}

} // namespace qelt
