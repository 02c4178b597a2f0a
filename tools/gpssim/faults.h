// Faults a real receiver line shows now and then, injected on purpose.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vexa::gpssim {

struct FaultPlan {
    int badChecksumEvery = 0;  // every n-th sentence gets a wrong checksum; 0 = never
    int overlongEvery = 0;     // every n-th second adds a 1500-byte line without line end
    int garbageEvery = 0;      // every n-th second adds a burst of random bytes
    int silenceAt = -1;        // after this second, nothing is sent for silenceSeconds
    int silenceSeconds = 0;
    int hangupAt = -1;         // after this second the line is hung up
    std::uint32_t seed = 1;
};

// Applies the plan to one second's sentences; `sentenceCounter` runs across seconds.
// Returns the bytes to send for that second.
std::string applyFaults(const FaultPlan& plan, int second, const std::vector<std::string>& sentences,
                        long long& sentenceCounter, std::uint32_t& random);

}  // namespace vexa::gpssim
