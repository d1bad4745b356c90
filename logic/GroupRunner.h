#pragma once

#include <QString>

#include <functional>

// Sending the console's eight groups: the plain ON and OFF runs, the delayed
// group (ON, a wait, OFF) and the panic sequence. Nothing here touches a
// window; the main window wraps these runs with its lamp, sounds and tags.
namespace qelt {

// The pause after each command of a group: "Database16"/"GrDelay" in tenths
// of a second, default 6 (0.6 s). A value that is not a number, or is
// negative, counts as the default.
double GroupWaitSeconds();

// The OFF form of an ON code: its 11th character (the third bit of the
// command byte) set to "1". Codes shorter than 16 characters come back as
// they are.
QString GroupOffCode(const QString &code);

// Sends group row (0 to 7) from its file in folder: every code as recorded (ON) or in
// its OFF form, each followed by an event pump and the group pause. Header,
// blank and malformed items are not sent (a malformed one is written to the
// error log). A missing file sends nothing. The run stops as soon as
// AbortSend is set. False, with nothing sent, for a row outside 0 to 7.
// *sent receives the number of frames sent.
bool SendGroup(const QString &folder, int row, bool off, int *sent = nullptr);

// "ON" -> 0, "OFF" -> 1 (exact upper case, as the scheduler passes it);
// -1 for anything else.
int GroupActionOff(const QString &sAction);

// The delayed group's wait from the delay dialog's result: a number of
// seconds, or 0 when the result is not a number (cancelled).
double DelayedGroupSeconds(const QString &delayTime);

// ON, Delay(seconds), OFF through runGroup(off) when seconds is 1 or more;
// false (nothing run) otherwise.
bool RunDelayedGroup(double seconds, const std::function<void(bool off)> &runGroup);

// The panic delay: minutes x 60 + seconds; a text that is not a number
// counts as 0.
double PanicTotalSeconds(const QString &txtPanicMin, const QString &txtPanicSec);

// The panic group's row from txtGroupNum: 0 to 7 for "1" to "8";
// kPanicNotSetUp when the text is empty; kPanicInvalid for anything else.
inline constexpr int kPanicNotSetUp = -1;
inline constexpr int kPanicInvalid = -2;
int PanicGroupRow(const QString &txtGroupNum);

// The panic run: runGroup(false); then, when total is not 0, Delay(total)
// and runGroup(true). Returns true when the OFF run was done.
bool RunPanic(double total, const std::function<void(bool off)> &runGroup);

// The panic button's back colour for txtPanicBcolor "1" to "6"; any other
// text gives light grey.
struct PanicRgb {
    int red;
    int green;
    int blue;
};
PanicRgb PanicBackColour(const QString &text);

} // namespace qelt
