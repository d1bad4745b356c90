// The main window's pop-up menu and option switches.
// (Starting point: the menu code replaces these bodies.)
#include "console/frmFire.h"

namespace qelt {

void frmFire::SetupGroupsPanicMenusModes() {}

void frmFire::mnuGrpDelayB_Click() {}

} // namespace qelt
