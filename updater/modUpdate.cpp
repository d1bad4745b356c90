#include "updater/modUpdate.h"

#include "logic/Globals.h"
#include "logic/ProgramFolder.h"
#include "logic/Settings.h"
#include "logic/Transmitter.h"

namespace qelt::updater {

QString UpdateServer()
{
    const QString fromEnv = qEnvironmentVariable("QELT_UPDATE_URL").trimmed();
    return fromEnv.isEmpty() ? QString::fromLatin1(kMakerServer) : fromEnv;
}

QString OwnFolder()
{
    return ProgramFolder();
}

QString MainProgramPath()
{
    return InstalledProgramPath(QStringLiteral("Qelt"));
}

MainResult Main(const QStringList &arguments, const MainHooks &hooks)
{
    const QString reStart = GetSet(QStringLiteral("Database16"), QStringLiteral("ReStart"));
    if (reStart == u"restart" || arguments.join(QLatin1Char(' ')) == u"restart") {
        Delay(1.0);
        if (hooks.startProgram)
            hooks.startProgram(MainProgramPath());
        SaveSet(QStringLiteral("Database16"), QStringLiteral("ReStart"), QStringLiteral("0"));
        return MainResult::Restarted;
    }
    if (hooks.otherInstanceRunning && hooks.otherInstanceRunning())
        return MainResult::AlreadyRunning;

    LocalVersion = GetSet(QStringLiteral("Database16"), QStringLiteral("CurrentVersion"),
                          QStringLiteral("170.1039"));
    LangFile = GetSet(QStringLiteral("Database16"), QStringLiteral("CurrentExePath"), OwnFolder()) +
               QStringLiteral("/language.ini");
    UpdateMode = GetSet(QStringLiteral("Settings"), QStringLiteral("ChkType"),
                        QStringLiteral("manual")) == u"autocheck"
                     ? QStringLiteral("autocheck")
                     : QStringLiteral("manual");
    if (hooks.loadUpdateWindow)
        hooks.loadUpdateWindow();
    return MainResult::CheckStarted;
}

} // namespace qelt::updater
