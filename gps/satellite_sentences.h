// The satellite sentences GSA (satellites used for the fix) and GSV (satellites in view) of
// any talker read into records: no state, no side effects. Text fields are views into the
// sentence; the applying steps (satellite_parsers.h) merge a record into the satellite picture.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "gps/nmea_fields.h"

namespace vexa {

// The readers fill every field of the places they use: the records' lists are left
// uninitialised beyond their `count`, so that reading a sentence clears no unused places.
struct SentenceSatellite {
    std::string_view prnText;
    int prn;
    int snr;     // dB, 0 when empty (always 0 in GSA)
    int system;  // 1 GPS … 6 NavIC (see systemOfTalker)
};

struct GsaSentence {
    std::string_view fixMode;  // "1", "2" or "3" as received
    // The system whose used satellites the sentence lists: its system id (NMEA 4.11), else its
    // talker, else (a combined GN sentence of an older receiver) the numbering of its first
    // satellite; 0 for all systems.
    int system = 0;
    std::array<SentenceSatellite, 12> satellites;  // the filled PRN places, in order
    int count = 0;
};

struct GsvSentence {
    std::string_view total;   // message count of the cycle, as received
    std::string_view number;  // this message's number, as received
    int totalMessages = 0;
    int messageNumber = 0;
    // The cycle: the talker letters in bits 8..23, the signal id (NMEA 4.10) in bits 0..7.
    std::uint32_t cycle = 0;
    // Groups with a PRN; a signal strength of more than two digits is no SNR and ends the list.
    std::array<SentenceSatellite, kMaxNmeaFields / 4> satellites;
    int count = 0;

    bool completesCycle() const { return total == number; }
};

GsaSentence readGsa(std::string_view sentence);
GsvSentence readGsv(std::string_view sentence);

}  // namespace vexa
