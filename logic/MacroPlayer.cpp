#include "logic/MacroPlayer.h"

#include "logic/ErrorLog.h"
#include "logic/FileHelpers.h"
#include "logic/Globals.h"
#include "logic/MacroFile.h"
#include "logic/Settings.h"
#include "logic/Transmitter.h"

#include <algorithm>

namespace qelt {

double LinePauseSeconds(double seconds, double minimum, double shortening)
{
    return std::max(seconds - shortening, minimum);
}

MacroPlayResult PlayMacroFile(const QString &path, const MacroPlayHooks &hooks)
{
    const QString loopSetting = GetSet(QStringLiteral("Macro"), QStringLiteral("LoopR"));
    auto restoreLoop = [&] {
        if (hooks.loopSwitch)
            hooks.loopSwitch(loopSetting.trimmed().toInt());
    };
    auto lamp = [&](bool lit) {
        if (hooks.lamp)
            hooks.lamp(lit);
    };

    SendBits(QLatin1String(kLeadIn));
    if (hooks.loopSwitch)
        hooks.loopSwitch(0);
    if (!FileExists(path)) {
        restoreLoop();
        return MacroPlayResult::MissingFile;
    }

    QList<MacroItem> items;
    bool failed = !ReadMacroFile(path, &items);
    double wait = 0; // after the line played before
    for (int i = 0; !failed && i < items.size(); ++i) {
        const MacroItem &item = items.at(i);
        double pause = 0;
        const bool pauseRead = PauseSeconds(item.pause, &pause);
        if (!pauseRead && !hooks.badPauseKeepsLastWait) {
            failed = true;
            break;
        }
        if (!IsCmdCode(item.code) || !item.whole()) {
            // A short line's pause would be read out of its code: nothing
            // of it goes out.
            LogErr(hooks.procName, hooks.moduleName, 5,
                   QStringLiteral("Invalid macro line '%1' not sent").arg(item.text().left(64)));
            continue;
        }
        wait = pauseRead ? LinePauseSeconds(pause, hooks.minimumPause, hooks.pauseShortening)
                         : std::max(wait, hooks.minimumPause);
        if (hooks.tick)
            hooks.tick();
        Delay(0.05);
        if (AbortSend)
            return MacroPlayResult::Aborted;
        lamp(true);
        SendCode(item.code, hooks.procName, hooks.moduleName);
        Delay(0.05);
        lamp(false);
        if (AbortSend)
            return MacroPlayResult::Aborted;
        Delay(wait);
        if (AbortSend)
            return MacroPlayResult::Aborted;
    }
    if (!failed && hooks.closingPattern)
        hooks.closingPattern();
    restoreLoop();
    lamp(false);
    if (hooks.finished)
        hooks.finished();
    return failed ? MacroPlayResult::Failed : MacroPlayResult::Played;
}

void SendClosingPattern()
{
    SendBits(QLatin1String(kClosingPattern));
    CurrentWaitClock().sleepMs(150);
    SendBits(QLatin1String(kClosingPattern));
}

HandOverKind ClassifyHandOver(const QString &text)
{
    const QString tail = text.right(4).toLower();
    if (tail == QLatin1String(".cro"))
        return HandOverKind::PlayMacro;
    if (tail == QLatin1String(".zvu"))
        return HandOverKind::Uninstall;
    if (tail == QLatin1String("ious"))
        return HandOverKind::Previous;
    return HandOverKind::Ignore;
}

} // namespace qelt
