#include "gps/nmea_checksum.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "util/diagnostic_text.h"

namespace vexa {

namespace {

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

[[gnu::hot]] ChecksumResult nmeaChecksum(std::string_view line) {
    if (line.size() > kChecksumLineChars) return ChecksumResult::Unchecked;
    if (line.empty()) return ChecksumResult::Missing;
    const char* const text = line.data();
    const std::size_t size = line.size();
    const void* dollar = std::memchr(text, '$', size);
    if (dollar && std::memchr(static_cast<const char*>(dollar) + 1, '$',
                              size - static_cast<std::size_t>(static_cast<const char*>(dollar) - text) - 1))
        return ChecksumResult::Unchecked;
    const char* const star = static_cast<const char*>(std::memchr(text, '*', size));
    if (!star) return ChecksumResult::Missing;

    // The first character is taken to be '$'. The XOR is over signed 8-bit values; the XOR of
    // sign-extended bytes is the sign-extended XOR of the bytes, so they are taken eight at once.
    const char* p = text + 1;
    std::uint64_t wide = 0;
    for (; star - p >= 8; p += 8) {
        std::uint64_t word;
        std::memcpy(&word, p, 8);
        wide ^= word;
    }
    wide ^= wide >> 32;
    wide ^= wide >> 16;
    wide ^= wide >> 8;
    unsigned char narrow = static_cast<unsigned char>(wide);
    for (; p < star; ++p) narrow ^= static_cast<unsigned char>(*p);
    const int sum = static_cast<signed char>(narrow);

    long long given = 0;
    for (p = star + 1; p < text + size; ++p) {
        const int digit = hexDigit(*p);
        if (digit < 0) break;
        given = std::min<long long>(given * 16 + digit, 0x7fffffffLL);
    }
    return given == sum ? ChecksumResult::Ok : ChecksumResult::Mismatch;
}

int CheckNMEARecord(DiagnosticText& diagnostics, std::string_view line) {
    return reportChecksum(diagnostics, nmeaChecksum(line));
}

[[gnu::hot]] int reportChecksum(DiagnosticText& diagnostics, ChecksumResult result) {
    switch (result) {
    case ChecksumResult::Ok: AddDebugLine(diagnostics, "Checksum is ok"); return 1;
    case ChecksumResult::Mismatch: AddNmeaListLine(diagnostics, "Checksum is not ok"); return 0;
    case ChecksumResult::Missing:
    case ChecksumResult::Unchecked: break;
    }
    return 0;
}

}  // namespace vexa
