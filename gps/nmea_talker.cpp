#include "gps/nmea_talker.h"

#include <cstring>

namespace vexa {

namespace {

constexpr std::uint16_t talkerCode(char a, char b) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(a) << 8 | static_cast<unsigned char>(b));
}

bool upper(char c) { return c >= 'A' && c <= 'Z'; }

}  // namespace

[[gnu::hot]] std::string_view sentenceIn(std::string_view line) {
    const void* dollar = line.empty() ? nullptr : ::memrchr(line.data(), '$', line.size());
    if (!dollar) return {};
    return line.substr(static_cast<std::size_t>(static_cast<const char*>(dollar) - line.data()));
}

[[gnu::hot]] SentenceTag sentenceTag(std::string_view s) {
    if (s.size() < 6 || s[0] != '$' || !upper(s[1]) || !upper(s[2]) || s[1] == 'P') return {};
    SentenceType type = SentenceType::Other;
    const char* id = s.data() + 3;
    if (std::memcmp(id, "RMC", 3) == 0) type = SentenceType::Rmc;
    else if (std::memcmp(id, "GGA", 3) == 0) type = SentenceType::Gga;
    else if (std::memcmp(id, "GSA", 3) == 0) type = SentenceType::Gsa;
    else if (std::memcmp(id, "GSV", 3) == 0) type = SentenceType::Gsv;
    else return {};
    // The tag is the whole first field.
    if (s.size() > 6 && s[6] != ',' && s[6] != '*') return {};
    return {type, talkerCode(s[1], s[2])};
}

[[gnu::hot]] int systemOfTalker(std::uint16_t talker) {
    switch (talker) {
    case talkerCode('G', 'P'): return 1;
    case talkerCode('G', 'L'): return 2;
    case talkerCode('G', 'A'): return 3;
    case talkerCode('G', 'B'):
    case talkerCode('B', 'D'): return 4;
    case talkerCode('G', 'Q'): return 5;
    case talkerCode('G', 'I'): return 6;
    default: return 0;
    }
}

[[gnu::hot]] int systemOfPrn(int prn) {
    if (prn >= 65 && prn <= 96) return 2;
    if (prn >= 193 && prn <= 202) return 5;
    if (prn >= 301 && prn <= 336) return 3;
    if (prn >= 401 && prn <= 437) return 4;
    return 1;
}

}  // namespace vexa
