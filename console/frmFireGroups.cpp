// Groups, the delayed group and the panic button of the main window.
// (Starting point: the group code replaces these bodies.)
#include "console/frmFire.h"

namespace qelt {

bool frmFire::strtGroup(int sNum, const QString &sAction)
{
    Q_UNUSED(sAction);
    return sNum >= 0 && sNum < 8 && false;
}

} // namespace qelt
