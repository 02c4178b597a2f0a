// Which sentence a line holds: the tag found after any stray bytes, the talker of any GNSS
// (GP, GN, GL, GA, GB, BD, GQ, GI, …) and the satellite system a talker or PRN stands for.
#pragma once

#include <cstdint>
#include <string_view>

namespace vexa {

enum class SentenceType : std::uint8_t { Other, Rmc, Gga, Gsa, Gsv };

struct SentenceTag {
    SentenceType type = SentenceType::Other;
    std::uint16_t talker = 0;  // the two talker letters, first in the high byte
};

// The sentence in a line: from its last '$' on, so stray bytes or a sentence cut short by a
// lost line end before it do not hide it. Empty when the line holds no '$'.
std::string_view sentenceIn(std::string_view line);

// "$", two letters that are not a proprietary "P…" talker, then RMC, GGA, GSA or GSV.
SentenceTag sentenceTag(std::string_view sentence);

// Satellite systems as NMEA 4.11 numbers them: 1 GPS (with SBAS), 2 GLONASS, 3 Galileo,
// 4 BeiDou, 5 QZSS, 6 NavIC; 0 when the talker does not say (GN, the combined solution).
int systemOfTalker(std::uint16_t talker);
// The system of a satellite number in the combined numbering that GN sentences without a
// system id use (GLONASS 65–96, QZSS 193–202, Galileo 301–336, BeiDou 401–437, else GPS).
int systemOfPrn(int prn);

}  // namespace vexa
