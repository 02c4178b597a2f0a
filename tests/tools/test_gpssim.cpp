#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

#include "tools/gpssim/drive.h"
#include "tools/gpssim/faults.h"
#include "tools/gpssim/nmea_sentences.h"

namespace vexa::gpssim {
namespace {

std::vector<std::string> fields(const std::string& sentence) {
    std::vector<std::string> out;
    std::string field;
    for (const char c : sentence.substr(1, sentence.find('*') - 1)) {
        if (c == ',') { out.push_back(field); field.clear(); }
        else field.push_back(c);
    }
    out.push_back(field);
    return out;
}

bool checksumOk(const std::string& sentence) {
    const auto star = sentence.find('*');
    if (sentence.empty() || sentence[0] != '$' || star == std::string::npos) return false;
    unsigned sum = 0;
    for (std::size_t i = 1; i < star; ++i) sum ^= static_cast<unsigned char>(sentence[i]);
    unsigned given = 0;
    return std::sscanf(sentence.c_str() + star + 1, "%2X", &given) == 1 && given == sum;
}

double degrees(const std::string& value, const std::string& hemisphere) {
    const double v = std::stod(value);
    const double d = std::floor(v / 100) + std::fmod(v, 100) / 60;
    return (hemisphere == "S" || hemisphere == "W") ? -d : d;
}

TEST(GpssimWaypoints, SpeedsCarryOverAndBadInputIsNamed) {
    std::string error;
    const auto route = parseWaypoints("9.74,52.37,30; 9.75,52.38 ;9.80,52.40,100;", error);
    ASSERT_TRUE(route) << error;
    ASSERT_EQ(route->size(), 3u);
    EXPECT_DOUBLE_EQ((*route)[1].speedKmh, 30.0);
    EXPECT_DOUBLE_EQ((*route)[2].speedKmh, 100.0);
    for (const char* bad : {"9.74,52.37", "9.74;52.37,30", "9.74,52.37,x;9.8,52.4", "9.7,95,30;9.8,52.4",
                            "9.7,52.3,30,4;9.8,52.4"}) {
        error.clear();
        EXPECT_FALSE(parseWaypoints(bad, error)) << bad;
        EXPECT_FALSE(error.empty()) << bad;
    }
}

TEST(GpssimDrive, FollowsTheRouteAtPlausibleSpeedsAndStopsAtTheEnd) {
    std::string error;
    const auto route = parseWaypoints("9.7410,52.3766,50;9.7400,52.4000,100;9.8000,52.4000,30", error);
    ASSERT_TRUE(route);
    const auto fixes = simulateDrive(*route, {{30, 45}});
    ASSERT_GT(fixes.size(), 100u);
    for (std::size_t i = 1; i < fixes.size(); ++i) {
        EXPECT_EQ(fixes[i].second, fixes[i - 1].second + 1);
        EXPECT_LE(std::fabs(fixes[i].speedKmh - fixes[i - 1].speedKmh), 1.5 * 3.6 + 1e-9) << i;
        EXPECT_LE(fixes[i].speedKmh, 100.0 + 1e-9);
        EXPECT_EQ(fixes[i].valid, fixes[i].second < 30 || fixes[i].second >= 45) << i;
    }
    EXPECT_NEAR(fixes.back().lon, 9.8, 1e-9);
    EXPECT_NEAR(fixes.back().lat, 52.4, 1e-9);
    EXPECT_EQ(fixes.back().speedKmh, 0.0);
}

TEST(GpssimSentences, OneSecondIsRmcGgaGsaAndThreeGsvWithValidChecksumsOrVoidWithoutFix) {
    Fix fix;
    fix.second = 10;
    fix.lon = -9.75;  // west and south hemispheres too
    fix.lat = -52.5;
    fix.speedKmh = 92.6;
    fix.courseDeg = 271.5;
    fix.altitude = 71.3;
    const auto sentences = sentencesForFix(fix, UtcTime{2026, 12, 31, 23, 59, 55});
    ASSERT_EQ(sentences.size(), 6u);
    const char* tags[] = {"GPRMC", "GPGGA", "GPGSA", "GPGSV", "GPGSV", "GPGSV"};
    for (std::size_t i = 0; i < 6; ++i) {
        ASSERT_GE(sentences[i].size(), 2u);
        EXPECT_EQ(sentences[i].substr(sentences[i].size() - 2), "\r\n");
        const std::string line = sentences[i].substr(0, sentences[i].size() - 2);
        EXPECT_TRUE(checksumOk(line)) << line;
        EXPECT_LE(line.size(), 82u) << line;  // NMEA's longest sentence
        EXPECT_EQ(fields(line)[0], tags[i]);
    }
    const auto rmc = fields(sentences[0].substr(0, sentences[0].size() - 2));
    EXPECT_EQ(rmc[1], "000005.00");  // ten seconds after 23:59:55 on New Year's Eve
    EXPECT_EQ(rmc[2], "A");
    EXPECT_NEAR(degrees(rmc[3], rmc[4]), -52.5, 1e-5);
    EXPECT_NEAR(degrees(rmc[5], rmc[6]), -9.75, 1e-5);
    EXPECT_NEAR(std::stod(rmc[7]) * 1.852, 92.6, 0.1);
    EXPECT_EQ(rmc[9], "010127");
    const auto gga = fields(sentences[1].substr(0, sentences[1].size() - 2));
    EXPECT_EQ(gga[6], "1");
    EXPECT_EQ(gga[9], "71.3");

    // Without a fix the position is empty and marked void.
    fix.valid = false;
    const auto voids = sentencesForFix(fix, UtcTime{});
    const auto voidRmc = fields(voids[0].substr(0, voids[0].size() - 2));
    EXPECT_EQ(voidRmc[2], "V");
    EXPECT_EQ(voidRmc[3], "");
    EXPECT_EQ(fields(voids[1].substr(0, voids[1].size() - 2))[6], "0");
    EXPECT_EQ(fields(voids[2].substr(0, voids[2].size() - 2))[2], "1");
}

TEST(GpssimFaults, InjectsExactlyWhatThePlanSays) {
    Fix fix;
    FaultPlan plan;
    plan.badChecksumEvery = 4;
    plan.garbageEvery = 2;
    plan.overlongEvery = 3;
    long long counter = 0;
    std::uint32_t random = 0;
    int bad = 0, overlong = 0;
    for (int second = 0; second < 6; ++second) {
        fix.second = second;
        const std::string bytes = applyFaults(plan, second, sentencesForFix(fix, UtcTime{}), counter, random);
        for (std::size_t pos = 0; (pos = bytes.find("$GP", pos)) != std::string::npos; ++pos) {
            const auto end = bytes.find("\r\n", pos);
            const std::string line = bytes.substr(pos, end - pos);
            if (line.rfind("$GPTXT", 0) == 0) { ++overlong; continue; }
            if (!checksumOk(line)) ++bad;
        }
    }
    EXPECT_EQ(counter, 36);
    EXPECT_EQ(bad, 9);       // sentences 4, 8, …, 36
    EXPECT_EQ(overlong, 1);  // second 3 only: the line has no end, so the next one joins it
}

}  // namespace
}  // namespace vexa::gpssim
