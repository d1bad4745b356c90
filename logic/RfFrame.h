#pragma once

#include <QString>

// The radio frame of one command code, as the transmitter sends it.
namespace qelt {

// True when code is exactly 16 characters of "0" and "1".
bool IsCmdCode(const QString &code);
// "1101010110101010" + code + "10101101"; "" when code is not a CmdCode.
QString RfFrame(const QString &code);

} // namespace qelt
