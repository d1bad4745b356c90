#include "logic/GroupRunner.h"

#include "logic/ErrorLog.h"
#include "logic/Globals.h"
#include "logic/GroupFile.h"
#include "logic/Settings.h"
#include "logic/Transmitter.h"

namespace qelt {

double GroupWaitSeconds()
{
    bool ok = false;
    const double tenths =
        GetSet(QStringLiteral("Database16"), QStringLiteral("GrDelay"), QStringLiteral("6"))
            .trimmed()
            .toDouble(&ok);
    if (!ok || tenths < 0)
        return 0.6;
    return tenths / 10.0;
}

QString GroupOffCode(const QString &code)
{
    if (code.size() < 16)
        return code;
    return code.left(10) + QLatin1Char('1') + code.right(5);
}

bool SendGroup(const QString &folder, int row, bool off, int *sent)
{
    if (sent)
        *sent = 0;
    if (row < 0 || row >= kGroupCount)
        return false;

    const double wait = GroupWaitSeconds();
    GroupFileContent content;
    if (!ReadGroupFile(GroupFilePath(folder, row), &content))
        return true; // a missing group sends nothing

    const QString proc = off ? QStringLiteral("cmdGrpOff_Click") : QStringLiteral("cmdGrpOn_Click");
    for (const QString &item : std::as_const(content.codes)) {
        if (AbortSend)
            break;
        QString code = item.left(16);
        if (!IsCmdCode(code)) {
            // Written to the error log by SendCode; nothing goes out.
            SendCode(item, proc, QStringLiteral("frmFire"));
            continue;
        }
        if (off)
            code = GroupOffCode(code);
        if (!SendCode(code, proc, QStringLiteral("frmFire")))
            break;
        if (sent)
            ++*sent;
        CurrentWaitClock().processEvents();
        Delay(wait);
    }
    return true;
}

int GroupActionOff(const QString &sAction)
{
    if (sAction == QLatin1String("ON"))
        return 0;
    if (sAction == QLatin1String("OFF"))
        return 1;
    return -1;
}

double DelayedGroupSeconds(const QString &delayTime)
{
    bool ok = false;
    const double d = delayTime.trimmed().toDouble(&ok);
    return ok ? d : 0.0;
}

bool RunDelayedGroup(double seconds, const std::function<void(bool off)> &runGroup)
{
    if (!(seconds >= 1.0) || !runGroup)
        return false;
    runGroup(false);
    Delay(seconds);
    runGroup(true);
    return true;
}

double PanicTotalSeconds(const QString &txtPanicMin, const QString &txtPanicSec)
{
    bool okMin = false;
    bool okSec = false;
    double min = txtPanicMin.trimmed().toDouble(&okMin);
    double sec = txtPanicSec.trimmed().toDouble(&okSec);
    if (!okMin)
        min = 0;
    if (!okSec)
        sec = 0;
    return min * 60.0 + sec;
}

int PanicGroupRow(const QString &txtGroupNum)
{
    const QString text = txtGroupNum.trimmed();
    if (text.isEmpty())
        return kPanicNotSetUp;
    bool ok = false;
    const int number = text.toInt(&ok);
    if (!ok || number < 1 || number > kGroupCount)
        return kPanicInvalid;
    return number - 1;
}

bool RunPanic(double total, const std::function<void(bool off)> &runGroup)
{
    if (!runGroup)
        return false;
    runGroup(false);
    if (total == 0)
        return false;
    Delay(total);
    runGroup(true);
    return true;
}

PanicRgb PanicBackColour(const QString &text)
{
    if (text == QLatin1String("1"))
        return {192, 192, 255};
    if (text == QLatin1String("2"))
        return {255, 255, 192};
    if (text == QLatin1String("3"))
        return {255, 192, 192};
    if (text == QLatin1String("4"))
        return {192, 255, 192};
    if (text == QLatin1String("5"))
        return {255, 224, 192};
    if (text == QLatin1String("6"))
        return {255, 128, 128};
    return {224, 224, 224};
}

} // namespace qelt
