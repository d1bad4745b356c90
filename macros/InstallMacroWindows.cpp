#include "macros/InstallMacroWindows.h"

#include "core/services/MacroServices.h"
#include "macros/frmMcrSetup.h"
#include "macros/frmRunMcr.h"

namespace qelt {

void InstallMacroWindows()
{
    if (!MacroEditor())
        SetMacroEditor(McrSetupService());
    if (!MacroRunner())
        SetMacroRunner(RunMcrService());
}

} // namespace qelt
