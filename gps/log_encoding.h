// NMEA logs saved as UTF-16 with a byte-order mark (as some Windows tools save text) are read
// as the 8-bit text the replay works on.
#pragma once

#include <string>
#include <string_view>

namespace vexa {

// Whether the bytes begin with a UTF-16 byte-order mark, little or big endian.
bool isUtf16Text(std::string_view bytes);

// The log as 8-bit text: UTF-16 (after its mark) is narrowed, characters beyond Latin-1 become
// '?' and an odd last byte is dropped; other bytes come back unchanged.
std::string nmeaLogText(std::string bytes);

}  // namespace vexa
