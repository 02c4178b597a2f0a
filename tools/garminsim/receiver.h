// The virtual Garmin's side of the link: what it answers to each packet the host sends, and
// the readable record of the track it received. Faults make it misbehave on purpose.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "exchange/garmin_packet.h"

namespace vexa::garminsim {

struct Faults {
    int nakEvery = 0;          // answer every N-th packet with a negative acknowledgement
    int silentAfter = -1;      // answer only the first N packets, then nothing
    int garbageEvery = 0;      // send line noise (no DLE) before every N-th answer
    int badChecksumEvery = 0;  // every N-th answer carries a wrong checksum
    std::uint32_t seed = 1;
};

struct Reply {
    std::string bytes;               // framed answers to send, in order
    std::vector<std::string> lines;  // what the receiver writes to its record
};

class Receiver {
public:
    explicit Receiver(Faults faults) : faults_(faults) {}

    // One complete frame from the host.
    Reply receive(const GarminFrame& frame);
    int packets() const { return packets_; }

private:
    Faults faults_;
    int packets_ = 0;
    int points_ = 0;
    std::uint32_t random_ = 0;

    std::string answer(std::uint8_t id, std::uint8_t packetId, bool badChecksum);
    std::string noise();
};

}  // namespace vexa::garminsim
