#include "core/Dialogs.h"

#include "core/MessageDialog.h"

namespace qelt {

namespace {
DialogProvider *g_provider = nullptr;
} // namespace

DialogProvider &Dialogs() { return g_provider ? *g_provider : RealDialogs(); }

void SetDialogProvider(DialogProvider *provider) { g_provider = provider; }

void Info(const QString &sMsg, bool bOnTop, bool bAlignLeft, const QString &sTitle,
          const QString &sBtnName, bool bModal)
{
    Dialogs().info(sMsg, bOnTop, bAlignLeft, sTitle, sBtnName, bModal);
}

int Questions(const QString &sMsg, int iYesNoCancel, const QString &sTitle)
{
    return Dialogs().questions(sMsg, iYesNoCancel, sTitle);
}

} // namespace qelt
