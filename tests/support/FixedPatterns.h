#pragma once

// The two fixed bit patterns the transmitter is sent besides frames, written
// out here so that tests compare what reaches the lines with the patterns
// themselves, not with the program's own constants.

namespace qelt::test {

// Sent once before a macro played by hand: 25 characters.
inline constexpr char kLeadInBits[] = "1000000000000000000000001";

// Sent twice at the end of every macro run, and before a group's test
// play: 32 characters.
inline constexpr char kClosingBits[] = "10000000000000000000000000000001";

} // namespace qelt::test
