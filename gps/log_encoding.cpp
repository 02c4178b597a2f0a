#include "gps/log_encoding.h"

namespace vexa {

namespace {

bool startsWith(std::string_view bytes, unsigned char first, unsigned char second) {
    return bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == first &&
           static_cast<unsigned char>(bytes[1]) == second;
}

}  // namespace

bool isUtf16Text(std::string_view bytes) { return startsWith(bytes, 0xFF, 0xFE) || startsWith(bytes, 0xFE, 0xFF); }

std::string nmeaLogText(std::string bytes) {
    if (!isUtf16Text(bytes)) return bytes;
    const bool little = static_cast<unsigned char>(bytes[0]) == 0xFF;
    std::string text;
    text.reserve(bytes.size() / 2);
    for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
        const unsigned low = static_cast<unsigned char>(bytes[little ? i : i + 1]);
        const unsigned high = static_cast<unsigned char>(bytes[little ? i + 1 : i]);
        const unsigned unit = high << 8 | low;
        // Surrogate pairs and everything else beyond Latin-1 is no NMEA character.
        text.push_back(unit <= 0xFF ? static_cast<char>(unit) : '?');
    }
    return text;
}

}  // namespace vexa
