// The NMEA checksum: XOR of the characters between '$' and '*' against the hex digits after it.
#pragma once

#include <string_view>

namespace vexa {

class DiagnosticText;

inline constexpr std::size_t kChecksumLineChars = 255;  // longer lines are not NMEA

enum class ChecksumResult { Ok, Mismatch, Missing, Unchecked };

// The verdict alone: Missing when there is no '*', Unchecked for several '$' or an overlong line.
ChecksumResult nmeaChecksum(std::string_view line);

// 1 when the line carries a correct checksum, else 0. A mismatch is reported as
// "Checksum is not ok"; a missing '*', several '$' or an overlong line fail silently.
int CheckNMEARecord(DiagnosticText& diagnostics, std::string_view line);
// The same for a verdict already taken.
int reportChecksum(DiagnosticText& diagnostics, ChecksumResult result);

}  // namespace vexa
