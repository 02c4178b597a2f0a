#include "gps/satellite_sentences.h"

#include <algorithm>

#include "gps/nmea_talker.h"

namespace vexa {

namespace {

constexpr int kFirstPrnField = 3;   // GSA: tag, selection mode, fix type
constexpr int kPrnFields = 12;
constexpr int kSystemIdField = 18;  // GSA, NMEA 4.11
constexpr int kFirstGroupField = 4;  // GSV: tag, total, number, satellites in view

int gsaSystem(const NmeaFields& f) {
    if (!f[kSystemIdField].empty()) return parseInt(f[kSystemIdField]);
    if (const int system = systemOfTalker(sentenceTag(f[0]).talker)) return system;
    for (int i = kFirstPrnField; i < kFirstPrnField + kPrnFields; ++i)
        if (!f[i].empty()) return systemOfPrn(parseInt(f[i]));
    return 0;
}

}  // namespace

[[gnu::hot]] GsaSentence readGsa(std::string_view sentence) {
    NmeaFields f;
    splitFields(sentence, f);
    GsaSentence s;
    s.fixMode = f[2];
    s.system = gsaSystem(f);
    // The twelve PRN fields have fixed places; the dilution fields behind them are not read.
    for (int i = kFirstPrnField; i < kFirstPrnField + kPrnFields; ++i) {
        if (f[i].empty()) continue;
        SentenceSatellite& sat = s.satellites[static_cast<std::size_t>(s.count++)];
        sat.prnText = f[i];
        sat.prn = parseInt(f[i]);
        sat.snr = 0;
        sat.system = s.system != 0 ? s.system : systemOfPrn(sat.prn);
    }
    return s;
}

[[gnu::hot]] GsvSentence readGsv(std::string_view sentence) {
    NmeaFields f;
    splitFields(sentence, f);
    GsvSentence s;
    s.total = f[1];
    s.number = f[2];
    s.totalMessages = parseInt(s.total);
    s.messageNumber = parseInt(s.number);
    const std::uint16_t talker = sentenceTag(f[0]).talker;
    // Groups of four fields; one field left over is the signal id.
    const int groupFields = std::max(0, f.count - kFirstGroupField);
    const int signal = groupFields % 4 == 1 ? parseInt(f[f.count - 1]) & 0xff : 0;
    s.cycle = static_cast<std::uint32_t>(talker) << 8 | static_cast<std::uint32_t>(signal);

    const int talkerSystem = systemOfTalker(talker);
    for (int g = 0; g < groupFields / 4; ++g) {
        const int at = kFirstGroupField + 4 * g;
        if (f[at].empty()) continue;
        const std::string_view snr = f[at + 3];
        SentenceSatellite& sat = s.satellites[static_cast<std::size_t>(s.count++)];
        sat.prnText = f[at];
        sat.prn = parseInt(f[at]);
        sat.system = talkerSystem != 0 ? talkerSystem : systemOfPrn(sat.prn);
        sat.snr = snr.size() <= 2 ? parseInt(snr) : 0;
        if (snr.size() > 2) break;
    }
    return s;
}

}  // namespace vexa
