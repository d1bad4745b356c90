#include "prefs/SetupRules.h"

#include <QLocale>

namespace qelt {

namespace {

// &H00BBGGRR as a colour.
QColor Bgr(unsigned value)
{
    return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
}

constexpr int kBackspace = 8;

bool DigitOrColon(int key)
{
    return key >= 48 && key <= 58;
}

} // namespace

bool LatLongKeyAccepted(int key, const QString &text)
{
    if (key == kBackspace || key == '-')
        return true;
    if (key == ',' || key == '.')
        return !text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('.'));
    return DigitOrColon(key);
}

bool ZoneKeyAccepted(int key)
{
    return key == kBackspace || key == '-' || DigitOrColon(key);
}

bool HourKeyAccepted(int key)
{
    return key == kBackspace || DigitOrColon(key);
}

bool GroupKeyAccepted(int key)
{
    return key == kBackspace || (key >= '1' && key <= '8');
}

bool GroupNumValid(const QString &text)
{
    return text.isEmpty() || (text > QLatin1String("0") && text < QLatin1String("9"));
}

double NumberFromText(const QString &text, bool *ok)
{
    QString t = text.trimmed();
    t.replace(QLatin1Char(','), QLatin1Char('.'));
    bool good = false;
    double v = 0;
    // Signs and exponents are numbers, but not "inf" or "nan".
    if (!t.isEmpty() && !t.contains(QLatin1String("n"), Qt::CaseInsensitive))
        v = QLocale::c().toDouble(t, &good);
    if (ok)
        *ok = good;
    return good ? v : 0;
}

bool IsNumericText(const QString &text)
{
    bool ok = false;
    NumberFromText(text, &ok);
    return ok;
}

QColor PanicOptionColour(int index)
{
    static const unsigned colours[] = {0xE0E0E0, 0xFFC0C0, 0xC0FFFF, 0xC0C0FF,
                                       0xC0FFC0, 0xC0E0FF, 0x8080FF};
    if (index < 0 || index > 6)
        index = 0;
    return Bgr(colours[index]);
}

QColor SwitchOnColour()
{
    return Bgr(0x00FF00);
}
QColor SwitchOffColour()
{
    return Bgr(0x8080FF);
}

} // namespace qelt
