#include "logic/EditorRun.h"

#include "logic/FileHelpers.h"
#include "logic/Globals.h"
#include "logic/MacroFile.h"
#include "logic/MacroPlayer.h"
#include "logic/Transmitter.h"

namespace qelt {

EditorRunResult RunCro(const QString &path, bool testMode, double testInterval,
                       const EditorRunHooks &hooks)
{
    SendBits(QString::fromLatin1(kLeadIn));
    if (!path.endsWith(QLatin1String("cro")) || !FileExists(path))
        return EditorRunResult::NotPlayable;

    QList<MacroItem> items;
    if (!ReadMacroFile(path, &items))
        return EditorRunResult::NotPlayable;
    const int count = int(items.size());

    for (int i = 0; i < count; ++i) {
        const MacroItem &item = items.at(i);
        Delay(0.05);
        if (hooks.lamp)
            hooks.lamp(true);
        if (hooks.tick)
            hooks.tick();
        // The test interval is waited whole; a stored pause loses 0.1 s.
        double pause = LinePauseSeconds(testInterval, 0.15, 0.0);
        if (!testMode) {
            double stored = 0.0;
            if (!PauseSeconds(item.pause, &stored)) {
                if (hooks.lamp)
                    hooks.lamp(false);
                return EditorRunResult::BadPause;
            }
            pause = LinePauseSeconds(stored);
        }
        SendCode(item.code, QStringLiteral("RunCro"), QStringLiteral("frmMcrSetup"));
        Delay(0.05);
        if (hooks.lamp)
            hooks.lamp(false);
        Delay(i == count - 1 ? 0.5 : pause);
        if (AbortSend || (hooks.stopRequested && hooks.stopRequested()))
            return EditorRunResult::Stopped;
    }
    if (hooks.closingPattern)
        hooks.closingPattern();
    return EditorRunResult::Played;
}

} // namespace qelt
