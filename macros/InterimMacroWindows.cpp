#include "macros/InterimMacroWindows.h"

#include "macros/MacroServices.h"
#include "macros/frmMcrSetup.h"
#include "macros/frmRunMcr.h"

namespace qelt {

void InstallInterimMacroWindows()
{
    if (!MacroEditor())
        SetMacroEditor(McrSetupService());
    if (!MacroRunner())
        SetMacroRunner(RunMcrService());
}

} // namespace qelt
