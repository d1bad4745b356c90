// Tray and window modes of the main window and the favourites view.
// (Starting point: the window-mode code replaces these bodies.)
#include "console/frmFire.h"

namespace qelt {

void frmFire::UnloadFavs() {}

void frmFire::ActivateFavs() {}

} // namespace qelt
