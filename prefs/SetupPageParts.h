#pragma once

// Pieces the preferences pages and the preferences window share.

#include <QColor>
#include <QPushButton>
#include <QString>

namespace qelt {

// The sound events: list caption, value in "Sounds", factory file.
struct SoundEvent {
    const char *caption;
    const char *value;
    const char *file;
};
inline constexpr SoundEvent kSoundEvents[5] = {
    {" Button Click", "defSound", "click.wav"},
    {" Resize Window", "defZSound", "expand.wav"},
    {" Item gets Recorded", "RecSound", "rec.wav"},
    {" Timer Starts", "defTsound", "tmrstart.wav"},
    {" Macro sends command", "defMsound", "tick.wav"},
};

inline QString ColourSheet(const char *widget, const QColor &c)
{
    return QStringLiteral("%1 { background-color: %2; }").arg(QLatin1String(widget), c.name());
}

// An ON/OFF switch: a checkable button that starts OFF.
inline QPushButton *MakeSwitch(QWidget *page, const QString &name, int x, int y)
{
    auto *b = new QPushButton(QStringLiteral("OFF"), page);
    b->setObjectName(name);
    b->setCheckable(true);
    b->setAutoDefault(false);
    b->setGeometry(x, y, 44, 22);
    return b;
}

} // namespace qelt
