#include "core/Dialogs.h"

#include "core/MessageDialog.h"
#include "logic/Settings.h"

namespace qelt {

namespace {
DialogProvider *g_provider = nullptr;

// The settings store lies below the windows; a program that has the dialogs
// shows the store's first failure of a run as a message.
void showSettingsNotice(const QString &title, const QString &message)
{
    Info(message, true, false, title, QStringLiteral("OK"), false);
}
const bool g_settingsNoticeSet = (SetSettingsNotice(&showSettingsNotice), true);
} // namespace

DialogProvider &Dialogs()
{
    return g_provider ? *g_provider : RealDialogs();
}

void SetDialogProvider(DialogProvider *provider)
{
    g_provider = provider;
}

void Info(const QString &sMsg, bool bOnTop, bool bAlignLeft, const QString &sTitle,
          const QString &sBtnName, bool bModal, MsgIcon icon)
{
    Dialogs().info(sMsg, bOnTop, bAlignLeft, sTitle, sBtnName, bModal, icon);
}

QString WithDefaultSuffix(const QString &path, const QString &suffix)
{
    const QString name = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
    if (name.isEmpty() || suffix.isEmpty())
        return path;
    if (name.endsWith(QLatin1Char('.')))
        return path + suffix;
    if (!name.contains(QLatin1Char('.')))
        return path + QLatin1Char('.') + suffix;
    return path;
}

int Questions(const QString &sMsg, int iYesNoCancel, const QString &sTitle, MsgIcon icon)
{
    return Dialogs().questions(sMsg, iYesNoCancel, sTitle, icon);
}

} // namespace qelt
