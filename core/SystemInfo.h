#pragma once

#include "logic/Globals.h"

#include <QDateTime>
#include <QString>
#include <QTimeZone>

namespace qelt {

// Sets WinVer (logic/Globals.h) to the name of the operating system with a
// trailing blank, for example "Debian GNU/Linux 12 (bookworm) ".
void GetWinVer();

// Time-zone offsets as the bias in minutes west of Greenwich (universal time
// minus local time), written "<hours> hours, <minutes> minutes" with both
// numbers truncated toward zero and carrying the bias's sign: a bias of
// -330 gives "-5 hours, -30 minutes".
QString TZStdOffset(); // standard time of the system zone
QString TZOffset();    // the offset in force now
bool IsDST();          // daylight saving time is in force now

// The same for a given zone and moment (what the functions above use).
QString TZStdOffset(const QTimeZone &zone, const QDateTime &at);
QString TZOffset(const QTimeZone &zone, const QDateTime &at);
bool IsDST(const QTimeZone &zone, const QDateTime &at);
QString OffsetText(int biasMinutes);

// The program's version, "major.minor.revision" (1.70.1050).
QString ProgramVersion();
int VersionMajor();
int VersionMinor();
int VersionRevision();

} // namespace qelt
