#include "gps/nmea_checksum.h"

#include <algorithm>

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

ChecksumResult nmeaChecksum(std::string_view line) {
    if (std::count(line.begin(), line.end(), '$') > 1) return ChecksumResult::Unchecked;
    if (line.size() > kChecksumLineChars) return ChecksumResult::Unchecked;

    const std::size_t star = line.find('*');
    // The first character is taken to be '$'; the XOR is over signed 8-bit values.
    int sum = 0;
    const std::size_t end = std::min(star, line.size());
    for (std::size_t i = 1; i < end; ++i) sum ^= static_cast<signed char>(line[i]);
    if (star == std::string_view::npos) return ChecksumResult::Missing;

    long long given = 0;
    for (std::size_t i = star + 1; i < line.size(); ++i) {
        const int digit = hexDigit(line[i]);
        if (digit < 0) break;
        given = std::min<long long>(given * 16 + digit, 0x7fffffffLL);
    }
    return given == sum ? ChecksumResult::Ok : ChecksumResult::Mismatch;
}

int CheckNMEARecord(DiagnosticText& diagnostics, std::string_view line) {
    switch (nmeaChecksum(line)) {
    case ChecksumResult::Ok: AddDebugLine(diagnostics, "Checksum is ok"); return 1;
    case ChecksumResult::Mismatch: AddNmeaListLine(diagnostics, "Checksum is not ok"); return 0;
    case ChecksumResult::Missing:
    case ChecksumResult::Unchecked: break;
    }
    return 0;
}

}  // namespace vexa
