#include "logic/EditorRun.h"

#include "logic/FileHelpers.h"
#include "logic/Globals.h"
#include "logic/MacroFile.h"
#include "logic/Transmitter.h"

#include <QStringList>

namespace qelt {

EditorRunResult RunCro(const QString &path, bool testMode, double testInterval,
                       const EditorRunHooks &hooks)
{
    SendBits(QString::fromLatin1(kLeadIn));
    if (!path.endsWith(QLatin1String("cro")) || !FileExists(path))
        return EditorRunResult::NotPlayable;

    bool ok = false;
    const QString text = LoadFormatText(path, &ok);
    if (!ok)
        return EditorRunResult::NotPlayable;
    // Every non-blank line is a command, whichever line ends the file uses.
    const QStringList lines = MacroItems(text);
    const int count = int(lines.size());

    for (int i = 0; i < count; ++i) {
        const QString &line = lines.at(i);
        Delay(0.05);
        if (hooks.lamp)
            hooks.lamp(true);
        if (hooks.tick)
            hooks.tick();
        double pause = testInterval;
        if (!testMode) {
            double stored = 0.0;
            if (!PauseSeconds(line.right(kMacroPauseLength), &stored)) {
                if (hooks.lamp)
                    hooks.lamp(false);
                return EditorRunResult::BadPause;
            }
            pause = stored - 0.1;
        }
        SendCode(line.left(kMacroCodeLength), QStringLiteral("RunCro"),
                 QStringLiteral("frmMcrSetup"));
        Delay(0.05);
        if (hooks.lamp)
            hooks.lamp(false);
        if (pause < 0.15)
            pause = 0.15;
        if (i == count - 1)
            pause = 0.5;
        Delay(pause);
        if (AbortSend || (hooks.stopRequested && hooks.stopRequested()))
            return EditorRunResult::Stopped;
    }
    if (hooks.closingPattern)
        hooks.closingPattern();
    return EditorRunResult::Played;
}

} // namespace qelt
