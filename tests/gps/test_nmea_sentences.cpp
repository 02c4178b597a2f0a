// The sentence readers, the texts of a fix and the talkers: tables of receiver lines in, records out.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "gps/fix_texts.h"
#include "gps/nmea_talker.h"
#include "gps/position_sentences.h"
#include "gps/satellite_sentences.h"

namespace vexa {
namespace {

constexpr double kDeg = 2e-5;  // minutes to degrees in single precision

TEST(RmcSentence, FixPositionSpeedCourseAndDate) {
    const struct {
        const char* line;
        bool fix, plausible;
        double lat, lon;
        float speed, course;
        const char* date;
        int second;
    } cases[] = {
        {"$GNRMC,101500.00,A,5222.5560,N,00944.4600,E,11.7,0.0,140624,,,A,V*07", true, true, 52.375933, 9.741, 21.6684f, 0.0f, "140624", 36900},
        {"$GLRMC,180000,A,3351.12,S,07036.55,W,5.0,180.0,010224,,,A*66", true, true, -33.852, -70.609167, 9.26f, 180.0f, "010224", 64800},
        // Empty speed and course keep their places: the date is still found.
        {"$GPRMC,120000.00,A,4807.038,N,01131.000,E,,,230394,003.1,W", true, true, 48.1173, 11.516667, 0.0f, 0.0f, "230394", 43200},
        {"$GPRMC,235942.800,V,,,,,,,,,,N*4E", false, false, 0, 0, 0.0f, 0.0f, "", 86382},
        {"$GPRMC,235942.800,A,,,,,,,,,,N", false, false, 0, 0, 0.0f, 0.0f, "", 86382},
        {"$GPRMC,120000.00,V,4807.038,N,01131.000,E,,,230394,,", false, true, 48.1173, 11.516667, 0.0f, 0.0f, "230394", 43200},
        {"$GPRMC,120000.00,A,4807.0,N,01131.0000,E,,,230394,,", true, false, 48.116667, 11.516667, 0.0f, 0.0f, "230394", 43200},
        {"$GPRMC,12000,A,4807.04,N,01131.00,E,,,230394,,", true, false, 48.117333, 11.516667, 0.0f, 0.0f, "230394", 43200},
        {"$GPRMC,120000,A,4807.04,N,1131.00,W,,,230394,,", true, true, 48.117333, -11.516667, 0.0f, 0.0f, "230394", 43200},
        {"$GPRMC", false, false, 0, 0, 0.0f, 0.0f, "", 0},
    };
    for (const auto& c : cases) {
        const RmcSentence s = readRmc(c.line);
        EXPECT_EQ(s.fix, c.fix) << c.line;
        EXPECT_EQ(s.plausible, c.plausible) << c.line;
        EXPECT_NEAR(s.latitude, c.lat, kDeg) << c.line;
        EXPECT_NEAR(s.longitude, c.lon, kDeg) << c.line;
        EXPECT_NEAR(s.speed, c.speed, 1e-3) << c.line;
        EXPECT_FLOAT_EQ(s.course, c.course) << c.line;
        EXPECT_EQ(s.date, c.date) << c.line;
        EXPECT_EQ(s.secondOfDay, c.second) << c.line;
    }
}

TEST(GgaSentence, FixQualitySatellitesAltitudeAndTimeWithFraction) {
    const struct {
        const char* line;
        bool fix, noSatellites, plausible;
        double lat, lon;
        const char* satellites;
        float altitude, second;
    } cases[] = {
        {"$BDGGA,033000.000,3954.321,N,11623.456,E,1,09,1.0,48.0,M,-8.0,M,,*67", true, false, true, 39.90535, 116.390933, "09", 48.0f, 12600.0f},
        {"$GLGGA,180000,3351.12,S,07036.55,W,1,06,1.5,520.0,M,30.0,M,,*5B", true, false, true, -33.852, -70.609167, "06", 520.0f, 64800.0f},
        {"$GPGGA,000032.50,4808.0000,N,01131.0000,E,2,05,1.0,-10.0,M,,M,,", true, false, true, 48.133333, 11.516667, "05", -10.0f, 32.5f},
        {"$GPGGA,235942.800,,,,,0,0,,,M,,M,,*4B", false, false, false, 0, 0, "0", 0.0f, 86382.8f},
        {"$GPGGA,120003.00,,,,,0,00,,,M,,M,,", false, true, false, 0, 0, "00", 0.0f, 43203.0f},
        {"$GPGGA,,,,,,,,,,,,,,", false, false, false, 0, 0, "", 0.0f, 0.0f},
    };
    for (const auto& c : cases) {
        const GgaSentence s = readGga(c.line);
        EXPECT_EQ(s.fix, c.fix) << c.line;
        EXPECT_EQ(s.noSatellites, c.noSatellites) << c.line;
        EXPECT_EQ(s.plausible, c.plausible) << c.line;
        EXPECT_NEAR(s.latitude, c.lat, kDeg) << c.line;
        EXPECT_NEAR(s.longitude, c.lon, kDeg) << c.line;
        EXPECT_EQ(s.satellitesUsed, c.satellites) << c.line;
        EXPECT_FLOAT_EQ(s.altitude, c.altitude) << c.line;
        EXPECT_FLOAT_EQ(s.secondWithFraction, c.second) << c.line;
    }
}

TEST(PositionSentences, DamagedFieldsGiveFiniteNumbers) {
    const std::string lines[] = {"$GPRMC,ab:cd:ef,A,48x7.03Z0,N,0113I.0000,E,knots,deg,date,,",
          "$GPRMC,120000.00,A,99999999999999999999999999999.0,N,1e400000000,E,1e38,1e38,999999,,",
          "$GPGGA,999999.99,-4807.0380,N,-01131.0000,E,7,08,0.9,-99999999999999999999.9,M",
          "$GPRMC," + std::string(10000, '1') + ",A," + std::string(5000, '2') + ",N," + std::string(5000, '3') + ",E,,,"};
    for (const std::string& line : lines) {
        const RmcSentence r = readRmc(line);
        const GgaSentence g = readGga(line);
        for (const double v : {r.latitude, r.longitude, double(r.speed), double(r.course), g.latitude,
                               double(g.altitude), double(g.secondWithFraction)})
            EXPECT_TRUE(std::isfinite(v)) << line.substr(0, 40);
    }
}

TEST(FixTexts, TimeAndDateFieldsOfAnyLengthStayInsideTheirText) {
    const struct {
        const char* field;
        const char* time;
        const char* date;
    } cases[] = {
        {"230394", "23:03:94", "23.03.94"}, {"123456.78", "12:34:56", "12.34.56"},
        {"23039412", "23:03:94", "23.03.94"}, {"2303", "23:03", "23.03"}, {"2", "2", "2"}, {"", "", ""},
    };
    for (const auto& c : cases) {
        FixedText<8> time, date;
        setTimeText(time, c.field);
        setDateText(date, c.field);
        EXPECT_EQ(time.view(), c.time) << c.field;
        EXPECT_EQ(date.view(), c.date) << c.field;
    }
}

TEST(GsaSentence, SystemAndPrnPlaces) {
    const struct {
        const char* line;
        const char* fixMode;
        int system;
        std::vector<int> prns;
        std::vector<int> systems;
    } cases[] = {
        {"$GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1", "3", 1, {4, 5, 9, 12, 24}, {1, 1, 1, 1, 1}},
        {"$GPGSA,A,3,01,02,03,04,05,06,07,08,09,10,11,12,2.5,1.3,2.1", "3", 1, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}, {}},
        {"$GNGSA,A,3,05,13,15,18,20,24,,,,,,,1.4,0.8,1.1,1*32", "3", 1, {5, 13, 15, 18, 20, 24}, {}},
        {"$GNGSA,A,3,66,67,76,,,,,,,,,,1.4,0.8,1.1,2*3F", "3", 2, {66, 67, 76}, {2, 2, 2}},
        {"$GLGSA,A,3,65,71,72,,,,,,,,,,2.1,1.5,1.4*2C", "3", 2, {65, 71, 72}, {}},
        {"$BDGSA,A,3,01,03,06,08,13,,,,,,,,2.0,1.0,1.7*28", "3", 4, {1, 3, 6, 8, 13}, {}},
        // An older combined sentence: the first satellite's numbering names the system.
        {"$GNGSA,A,2,301,302,,,,,,,,,,,1.0,1.0,1.0", "2", 3, {301, 302}, {3, 3}},
        {"$GNGSA,A,2,,,,,,,,,,,,,1.0,1.0,1.0", "2", 0, {}, {}},
        {"$GPGSA,A,1,,,,,,,,,,,,,,,*1E", "1", 1, {}, {}},
    };
    for (const auto& c : cases) {
        const GsaSentence s = readGsa(c.line);
        EXPECT_EQ(s.fixMode, c.fixMode) << c.line;
        EXPECT_EQ(s.system, c.system) << c.line;
        ASSERT_EQ(s.count, static_cast<int>(c.prns.size())) << c.line;
        for (std::size_t i = 0; i < c.prns.size(); ++i) EXPECT_EQ(s.satellites[i].prn, c.prns[i]) << c.line;
        for (std::size_t i = 0; i < c.systems.size(); ++i) EXPECT_EQ(s.satellites[i].system, c.systems[i]) << c.line;
    }
}

TEST(GsvSentence, GroupsSignalStrengthsSystemsAndCycle) {
    constexpr std::uint32_t kGP = 'G' << 16 | 'P' << 8, kGN = 'G' << 16 | 'N' << 8;
    const struct {
        const char* line;
        int number, total;
        bool completes;
        std::uint32_t cycle;
        std::vector<int> prns, snrs, systems;
    } cases[] = {
        {"$GPGSV,2,1,05,25,,,32,31,,,,12,40,100,44,133,20,210,35*4B", 1, 2, false, kGP, {25, 31, 12, 133}, {32, 0, 44, 35}, {1, 1, 1, 1}},
        {"$GPGSV,3,3,09,31,05,330,", 3, 3, true, kGP, {31}, {0}, {1}},
        // NMEA 4.10: the field after the last group is the signal id.
        {"$GPGSV,2,2,08,20,12,180,30,24,55,010,46,29,05,090,,133,30,200,33,1*55", 2, 2, true, kGP | 1, {20, 24, 29, 133}, {30, 46, 0, 33}, {}},
        {"$GNGSV,1,1,04,193,70,090,40,65,10,100,20,301,5,5,21,401,1,1,22", 1, 1, true, kGN, {193, 65, 301, 401}, {40, 20, 21, 22}, {5, 2, 3, 4}},
        {"$GLGSV,1,1,03,65,45,120,40,71,30,200,38,72,60,300,*5F", 1, 1, true, 'G' << 16 | 'L' << 8, {65, 71, 72}, {40, 38, 0}, {2, 2, 2}},
        // A signal strength of three digits is none, and ends the sentence.
        {"$GPGSV,1,1,03,04,71,120,440,05,33,250,38", 1, 1, true, kGP, {4}, {0}, {}},
        {"$GPGSV,2,1,02,,,,,07,1,1,9", 1, 2, false, kGP, {7}, {9}, {}},
    };
    for (const auto& c : cases) {
        const GsvSentence s = readGsv(c.line);
        EXPECT_EQ(s.messageNumber, c.number) << c.line;
        EXPECT_EQ(s.totalMessages, c.total) << c.line;
        EXPECT_EQ(s.completesCycle(), c.completes) << c.line;
        EXPECT_EQ(s.cycle, c.cycle) << c.line;
        ASSERT_EQ(s.count, static_cast<int>(c.prns.size())) << c.line;
        for (std::size_t i = 0; i < c.prns.size(); ++i) {
            EXPECT_EQ(s.satellites[i].prn, c.prns[i]) << c.line;
            EXPECT_EQ(s.satellites[i].snr, c.snrs[i]) << c.line;
        }
        for (std::size_t i = 0; i < c.systems.size(); ++i) EXPECT_EQ(s.satellites[i].system, c.systems[i]) << c.line;
    }
}

TEST(Talkers, SentenceTagsOfEveryTalkerAndTheirBounds) {
    const struct {
        const char* line;
        SentenceType type;
        const char* talker;
    } cases[] = {
        {"$GPRMC,1", SentenceType::Rmc, "GP"}, {"$GNGGA,1", SentenceType::Gga, "GN"},
        {"$BDGSA,A", SentenceType::Gsa, "BD"}, {"$GLGSV,1", SentenceType::Gsv, "GL"},
        {"$GPRMC", SentenceType::Rmc, "GP"},  {"$GPRMC*00", SentenceType::Rmc, "GP"},
        {"$AZRMC,", SentenceType::Rmc, "AZ"},
        {"$GPRM", SentenceType::Other, ""},   {"$GPRMCX,", SentenceType::Other, ""},
        {"$GPVTG,", SentenceType::Other, ""}, {"$PGRMC,", SentenceType::Other, ""},
        {"$gpRMC,", SentenceType::Other, ""}, {"$@PRMC,", SentenceType::Other, ""},
        {"$G[RMC,", SentenceType::Other, ""}, {"GPRMC,1", SentenceType::Other, ""},
    };
    for (const auto& c : cases) {
        const SentenceTag tag = sentenceTag(c.line);
        EXPECT_EQ(tag.type, c.type) << c.line;
        const std::uint16_t talker = c.talker[0] ? static_cast<std::uint16_t>(c.talker[0] << 8 | c.talker[1]) : 0;
        EXPECT_EQ(tag.talker, talker) << c.line;
    }
    EXPECT_EQ(sentenceIn("junk$GPGGA,1"), "$GPGGA,1");
    EXPECT_EQ(sentenceIn("$$GPRMC,1"), "$GPRMC,1");
    EXPECT_EQ(sentenceIn("no sentence"), "");
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

}  // namespace
}  // namespace vexa
