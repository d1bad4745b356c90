#pragma once

#include <QColor>
#include <QString>

// The rules of the preferences window that need no widgets: key filters,
// the group-number check, number tests and the panic button colours.
namespace qelt {

// Key filters; key is the character code of the pressed key (8 backspace).
// Latitude and longitude: backspace and "-" always; one "," or "." while the
// text holds neither; otherwise only the codes 48 to 58 (digits and ":").
bool LatLongKeyAccepted(int key, const QString &text);
// Time-zone offset: backspace, "-" and the codes 48 to 58.
bool ZoneKeyAccepted(int key);
// Update hour: backspace and the codes 48 to 58.
bool HourKeyAccepted(int key);
// Quick group number: backspace and "1" to "8".
bool GroupKeyAccepted(int key);

// The quick group box's text is acceptable: empty, or between "0" and "9"
// as text (exclusive).
bool GroupNumValid(const QString &text);

// The text reads as a number (blanks around it allowed; "." or "," as the
// decimal sign; ".6" counts).
bool IsNumericText(const QString &text);
// The number a text reads as; ok false when it is none.
double NumberFromText(const QString &text, bool *ok = nullptr);

// Panic button colours by index 0 to 6 (0 is "Default"); an index outside
// that range gives the default colour.
QColor PanicOptionColour(int index);

// ON/OFF switch looks: green when on, light red when off.
QColor SwitchOnColour();
QColor SwitchOffColour();

} // namespace qelt
