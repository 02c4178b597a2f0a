// The sentence readers, the texts of a fix and the talkers. The readers run on the lines of
// data/sentence_records.txt, each followed by the record it must give.
#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <climits>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "gps/fix_texts.h"
#include "gps/nmea_fields.h"
#include "gps/nmea_talker.h"
#include "gps/position_sentences.h"
#include "gps/satellite_sentences.h"
#include "tests/support/golden_file.h"

namespace vexa {
namespace {

std::string format(const char* pattern, auto... values) {
    char text[160];
    std::snprintf(text, sizeof text, pattern, values...);
    return text;
}

std::string str(std::string_view v) { return std::string(v); }

std::string position(const PositionSentence& s) {
    return format("fix=%d plausible=%d %.5f %.5f %s %s second=%d", s.fix, s.plausible, s.latitude,
                  s.longitude, str(s.northSouth).c_str(), str(s.eastWest).c_str(), s.secondOfDay);
}

std::string satellites(const auto& s, bool snr) {
    std::string text;
    for (const SentenceSatellite& sat : std::span(s.satellites).first(static_cast<std::size_t>(s.count)))
        text += snr ? format(" %d/%d/%d", sat.prn, sat.snr, sat.system) : format(" %d/%d", sat.prn, sat.system);
    return text;
}

// The record a line gives, as one line of text.
std::string record(std::string_view line) {
    const std::string_view sentence = sentenceIn(line);
    const SentenceTag tag = sentenceTag(sentence);
    const std::string talker = format("%c%c ", tag.talker >> 8, tag.talker & 0xff);
    switch (tag.type) {
    case SentenceType::Rmc: {
        const RmcSentence s = readRmc(sentence);
        return "RMC " + talker + position(s) +
               format(" speed=%.3f course=%.1f date=%s", s.speed, s.course, str(s.date).c_str());
    }
    case SentenceType::Gga: {
        const GgaSentence s = readGga(sentence);
        return "GGA " + talker + position(s) +
               format(" %.2f satellites=%s none=%d altitude=%.1f", s.secondWithFraction,
                      str(s.satellitesUsed).c_str(), s.noSatellites, s.altitude);
    }
    case SentenceType::Gsa: {
        const GsaSentence s = readGsa(sentence);
        return "GSA " + talker + format("mode=%s system=%d used", str(s.fixMode).c_str(), s.system) +
               satellites(s, false);
    }
    case SentenceType::Gsv: {
        const GsvSentence s = readGsv(sentence);
        return "GSV " + talker + format("%d/%d cycle=%06x complete=%d in view", s.messageNumber,
                                        s.totalMessages, s.cycle, s.completesCycle()) + satellites(s, true);
    }
    default: return "-";
    }
}

TEST(SentenceRecords, EveryLineGivesItsRecord) {
    EXPECT_GT(testing::compareGoldenFile(std::string(VEXA_GPS_TEST_DATA) + "/sentence_records.txt", record), 40);
}

TEST(FixTexts, TimeAndDateFieldsOfAnyLengthStayInsideTheirText) {
    const std::pair<const char*, const char*> cases[] = {
        {"230394", "23:03:94"}, {"123456.78", "12:34:56"}, {"23039412", "23:03:94"},
        {"2303", "23:03"},      {"2", "2"},                {"", ""},
    };
    for (const auto& [field, text] : cases) {
        char out[8];
        EXPECT_EQ(std::string_view(out, pairedText(field, ':', out)), text) << field;
    }
}

TEST(Talkers, SystemsOfTalkersAndOfTheCombinedNumbering) {
    const std::pair<const char*, int> talkers[] = {{"GP", 1}, {"GL", 2}, {"GA", 3}, {"GB", 4}, {"BD", 4},
                                                   {"GQ", 5}, {"GI", 6}, {"GN", 0}, {"PG", 0}};
    for (const auto& [talker, system] : talkers)
        EXPECT_EQ(systemOfTalker(static_cast<std::uint16_t>(talker[0] << 8 | talker[1])), system) << talker;
    const std::pair<int, int> prns[] = {{1, 1},   {64, 1},  {65, 2},  {96, 2},  {97, 1},  {192, 1},
                                        {193, 5}, {202, 5}, {203, 1}, {300, 1}, {301, 3}, {336, 3},
                                        {337, 1}, {400, 1}, {401, 4}, {437, 4}, {438, 1}};
    for (const auto& [prn, system] : prns) EXPECT_EQ(systemOfPrn(prn), system) << prn;
}

// Every number field converts bit for bit as the general conversion does: tricky decimals
// (float and double halfway points, too many digits or decimals for the short path, texts the
// short path must leave alone) and every field of the receiver logs.
TEST(NmeaNumbers, FieldsGiveTheCorrectlyRoundedValue) {
    std::vector<std::string> fields = {
        "0", "000.000", "5207.1234", "00943.92001", "0.1", "0.3", "1.005", "16777217", "16777219",
        "33554435.5", "0.30000000000000004", "1.0000000596046448", "4503599627370497.5",
        "9007199254740993", "123456789.123456789", "999999999", "2.00000011920928955078125",
        "0.00000001", "0.000000015", "1e5", "5.", "5.x", "0x10", "1.5.5", "12345678901234567890123"};
    for (const auto& entry : std::filesystem::directory_iterator(VEXA_RECEIVER_LOGS)) {
        std::ifstream log(entry.path());
        for (std::string line; std::getline(log, line, ',');) fields.push_back(line.substr(0, line.find('*')));
    }
    for (const std::string& f : fields) {
        if (f.empty() || f[0] < '0' || f[0] > '9') continue;
        double d = 0;
        float s = 0;
        std::from_chars(f.data(), f.data() + f.size(), d, std::chars_format::fixed);
        std::from_chars(f.data(), f.data() + f.size(), s, std::chars_format::fixed);
        EXPECT_EQ(std::bit_cast<std::uint64_t>(parseDouble(f)), std::bit_cast<std::uint64_t>(d)) << f;
        EXPECT_EQ(std::bit_cast<std::uint32_t>(parseFloat(f)), std::bit_cast<std::uint32_t>(s)) << f;
    }
}

// Whole numbers are their leading digits after blanks and a sign, as "%d" reads them; beyond
// the int range the largest int. Decimals take blanks and a sign the same way.
TEST(NmeaNumbers, LeadingDigitsAfterBlanksAndASign) {
    const std::pair<std::string, int> whole[] = {
        {"0008", 8}, {"999999999", 999999999}, {"12abc", 12}, {"1 2", 1}, {" 7", 7}, {"\t+7", 7},
        {"-3", -3}, {"+", 0}, {"", 0}, {"x1", 0}, {"12345678901", INT_MAX}, {"-12345678901", -INT_MAX}};
    for (const auto& [text, value] : whole) EXPECT_EQ(parseInt(text), value) << text;
    const std::pair<std::string, double> decimal[] = {{" -5.5", -5.5}, {"\t+2.25", 2.25}, {"-x", 0.0}};
    for (const auto& [text, value] : decimal) EXPECT_EQ(std::pair(parseFloat(text), parseDouble(text)), std::pair(static_cast<float>(value), value)) << text;
}

}  // namespace
}  // namespace vexa
