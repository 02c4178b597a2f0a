#include "tools/gpssim/nmea_sentences.h"

#include <chrono>
#include <cmath>
#include <cstdio>

namespace vexa::gpssim {

namespace {

std::string format(const char* fmt, auto... args) {
    char buffer[256];
    const int n = std::snprintf(buffer, sizeof buffer, fmt, args...);
    return std::string(buffer, static_cast<std::size_t>(std::max(0, std::min<int>(n, sizeof buffer - 1))));
}

// ddmm.mmmm / dddmm.mmmm with the hemisphere letter.
std::string coordinate(double degrees, bool longitude) {
    const double a = std::fabs(degrees);
    int whole = static_cast<int>(a);
    double minutes = (a - whole) * 60.0;
    if (minutes >= 59.99995) { ++whole; minutes = 0.0; }
    const char hemisphere = longitude ? (degrees < 0 ? 'W' : 'E') : (degrees < 0 ? 'S' : 'N');
    return format(longitude ? "%03d%07.4f,%c" : "%02d%07.4f,%c", whole, minutes, hemisphere);
}

struct Satellite {
    int prn;
    double elevation;  // degrees
    double azimuth;    // degrees
    int snr;           // dB-Hz, 0 = not tracked
};

// Twelve satellites in view, drifting slowly across the sky; the first eight are used.
std::vector<Satellite> satellitesAt(int second, bool fix) {
    static constexpr int kPrns[12] = {2, 5, 7, 9, 13, 15, 18, 20, 24, 27, 29, 30};
    std::vector<Satellite> sats;
    for (int i = 0; i < 12; ++i) {
        const double phase = i * 0.5236 + second / 2400.0;
        const double elevation = 12.0 + 70.0 * std::fabs(std::sin(phase * 0.7 + i));
        const double azimuth = std::fmod(i * 30.0 + second / 120.0, 360.0);
        const int snr = fix ? 28 + static_cast<int>(elevation / 5.0) + (second + i * 7) % 4 : 0;
        sats.push_back({kPrns[i], elevation, azimuth, snr});
    }
    return sats;
}

}  // namespace

UtcTime addSeconds(const UtcTime& start, long long seconds) {
    using namespace std::chrono;
    const sys_days day = year_month_day{year{start.year}, month{static_cast<unsigned>(start.month)},
                                        std::chrono::day{static_cast<unsigned>(start.day)}};
    const auto t = day + hours{start.hour} + minutes{start.minute} + std::chrono::seconds{start.second} +
                   std::chrono::seconds{seconds};
    const auto d = floor<days>(t);
    const year_month_day ymd{d};
    const hh_mm_ss hms{t - d};
    return {static_cast<int>(ymd.year()), static_cast<int>(static_cast<unsigned>(ymd.month())),
            static_cast<int>(static_cast<unsigned>(ymd.day())), static_cast<int>(hms.hours().count()),
            static_cast<int>(hms.minutes().count()), static_cast<int>(hms.seconds().count())};
}

std::string withChecksum(std::string_view body) {
    unsigned sum = 0;
    for (const char c : body) sum ^= static_cast<unsigned char>(c);
    return format("$%.*s*%02X", static_cast<int>(body.size()), body.data(), sum);
}

std::vector<std::string> sentencesForFix(const Fix& fix, const UtcTime& start) {
    const UtcTime t = addSeconds(start, fix.second);
    const std::string time = format("%02d%02d%02d.00", t.hour, t.minute, t.second);
    const std::string date = format("%02d%02d%02d", t.day, t.month, t.year % 100);
    const auto sats = satellitesAt(fix.second, fix.valid);
    std::vector<std::string> out;

    if (fix.valid) {
        const std::string lat = coordinate(fix.lat, false), lon = coordinate(fix.lon, true);
        out.push_back(withChecksum(format("GPRMC,%s,A,%s,%s,%.1f,%.1f,%s,,,A", time.c_str(), lat.c_str(),
                                          lon.c_str(), fix.speedKmh / 1.852, fix.courseDeg, date.c_str())));
        out.push_back(withChecksum(format("GPGGA,%s,%s,%s,1,08,0.9,%.1f,M,46.9,M,,", time.c_str(),
                                          lat.c_str(), lon.c_str(), fix.altitude)));
        std::string gsa = "GPGSA,A,3";
        for (int i = 0; i < 12; ++i) gsa += i < 8 ? format(",%02d", sats[static_cast<std::size_t>(i)].prn) : ",";
        out.push_back(withChecksum(gsa + ",1.8,0.9,1.6"));
    } else {
        out.push_back(withChecksum(format("GPRMC,%s,V,,,,,,,%s,,,N", time.c_str(), date.c_str())));
        out.push_back(withChecksum(format("GPGGA,%s,,,,,0,00,99.9,,M,,M,,", time.c_str())));
        out.push_back(withChecksum("GPGSA,A,1,,,,,,,,,,,,,99.9,99.9,99.9"));
    }
    for (int part = 0; part < 3; ++part) {
        std::string gsv = format("GPGSV,3,%d,12", part + 1);
        for (int i = part * 4; i < part * 4 + 4; ++i) {
            const Satellite& s = sats[static_cast<std::size_t>(i)];
            gsv += s.snr > 0 ? format(",%02d,%02d,%03d,%02d", s.prn, static_cast<int>(s.elevation),
                                      static_cast<int>(s.azimuth), s.snr)
                             : format(",%02d,%02d,%03d,", s.prn, static_cast<int>(s.elevation),
                                      static_cast<int>(s.azimuth));
        }
        out.push_back(withChecksum(gsv));
    }
    for (auto& sentence : out) sentence += "\r\n";
    return out;
}

}  // namespace vexa::gpssim
