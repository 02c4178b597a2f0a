#include "tools/gpssim/faults.h"

namespace vexa::gpssim {

namespace {

std::uint32_t nextRandom(std::uint32_t& state) {
    // xorshift32: small, deterministic, good enough for line noise.
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
}

}  // namespace

std::string applyFaults(const FaultPlan& plan, int second, const std::vector<std::string>& sentences,
                        long long& sentenceCounter, std::uint32_t& random) {
    if (random == 0) random = plan.seed ? plan.seed : 1;
    std::string out;
    for (std::string sentence : sentences) {
        ++sentenceCounter;
        if (plan.badChecksumEvery > 0 && sentenceCounter % plan.badChecksumEvery == 0) {
            const auto star = sentence.rfind('*');
            if (star != std::string::npos && star + 2 < sentence.size())
                sentence[star + 2] = sentence[star + 2] == '0' ? '1' : '0';
        }
        out += sentence;
    }
    if (plan.overlongEvery > 0 && second > 0 && second % plan.overlongEvery == 0)
        out += "$GPTXT," + std::string(1500, 'X');  // no line end: the next '$' line continues it
    if (plan.garbageEvery > 0 && second > 0 && second % plan.garbageEvery == 0) {
        const std::uint32_t count = 8 + nextRandom(random) % 40;
        for (std::uint32_t i = 0; i < count; ++i) out.push_back(static_cast<char>(nextRandom(random) & 0xFF));
        out += "\r\n";
    }
    return out;
}

}  // namespace vexa::gpssim
