// What the preferences window reaches of the main window: its hidden option
// boxes and three menu items.
#include "console/frmFire.h"

#include <QAction>

namespace qelt {

Mailbox *frmFire::optionBox(const QString &name)
{
    const struct {
        const char *name;
        Mailbox *box;
    } boxes[] = {
        {"chkTips", &chkTips},         {"txtGrpDelayB", &txtGrpDelayB},
        {"chbPanicOn", &chbPanicOn},   {"txtMinimizeSave", &txtMinimizeSave},
        {"txtPanicNm", &txtPanicNm},   {"txtPanicBcolor", &txtPanicBcolor},
        {"txtPanicMin", &txtPanicMin}, {"txtPanicSec", &txtPanicSec},
        {"txtGroupNum", &txtGroupNum},
    };
    for (const auto &b : boxes) {
        if (name == QLatin1String(b.name))
            return b.box;
    }
    return nullptr;
}

void frmFire::setMnuMinToTray(bool checked)
{
    mnuMinToTray->setChecked(checked);
}

bool frmFire::mnuAssociateChecked() const
{
    return mnuAssociate->isChecked();
}

void frmFire::setMnuAssociate(bool checked)
{
    mnuAssociate->setChecked(checked);
}

void frmFire::setMnuPanicRunText(const QString &text)
{
    mnuPanicRun->setText(text);
}

} // namespace qelt
