#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

#include "gps/nmea_checksum.h"
#include "gps/position_sentences.h"
#include "gps/satellite_sentences.h"

#include "tools/gpssim/drive.h"
#include "tools/gpssim/faults.h"
#include "tools/gpssim/nmea_sentences.h"
#include "util/diagnostic_text.h"

namespace vexa::gpssim {
namespace {

// 1 when the line's checksum matches.
int checksumOk(const std::string& line) {
    DiagnosticText list;
    return CheckNMEARecord(list, line);
}

TEST(GpssimWaypoints, SpeedsCarryOverAndBadInputIsNamed) {
    std::string error;
    const auto route = parseWaypoints("9.74,52.37,30; 9.75,52.38 ;9.80,52.40,100;", error);
    ASSERT_TRUE(route) << error;
    ASSERT_EQ(route->size(), 3u);
    EXPECT_EQ(std::tuple((*route)[1].speedKmh, (*route)[2].speedKmh), std::tuple(30.0, 100.0));
    for (const char* bad : {"9.74,52.37", "9.74;52.37,30", "9.74,52.37,x;9.8,52.4", "9.7,95,30;9.8,52.4",
                            "9.7,52.3,30,4;9.8,52.4"}) {
        error.clear();
        EXPECT_FALSE(parseWaypoints(bad, error) || error.empty()) << bad;
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
    EXPECT_EQ(std::tuple(std::round(fixes.back().lon * 1e6), std::round(fixes.back().lat * 1e6), fixes.back().speedKmh), std::tuple(9.8e6, 52.4e6, 0.0));
}

TEST(GpssimSentences, OneSecondIsRmcGgaGsaAndThreeGsvWithValidChecksumsOrVoidWithoutFix) {
    Fix fix;
    fix.second = 10;
    // West and south hemispheres too.
    std::tie(fix.lon, fix.lat, fix.speedKmh, fix.courseDeg, fix.altitude) = std::tuple(-9.75, -52.5, 92.6, 271.5, 71.3);
    const auto sentences = sentencesForFix(fix, UtcTime{2026, 12, 31, 23, 59, 55});
    std::string tags;
    for (const std::string& sentence : sentences) {
        EXPECT_TRUE(sentence.ends_with("\r\n")) << sentence;
        EXPECT_EQ(checksumOk(sentence.substr(0, sentence.size() - 2)), 1) << sentence;
        EXPECT_LE(sentence.size(), 82u + 2) << sentence;  // NMEA's longest sentence
        tags += sentence.substr(1, 5) + " ";
    }
    EXPECT_EQ(tags, "GPRMC GPGGA GPGSA GPGSV GPGSV GPGSV ");
    const RmcSentence rmc = readRmc(sentences[0]);
    // Ten seconds after 23:59:55 on New Year's Eve.
    EXPECT_EQ(std::tuple(rmc.time, rmc.date, rmc.fix), std::tuple("000005.00", "010127", true));
    EXPECT_EQ(std::tuple(std::round(rmc.latitude * 1e5), std::round(rmc.longitude * 1e5)), std::tuple(-52.5e5, -9.75e5));
    EXPECT_NEAR(rmc.speed, 92.6, 0.1);
    EXPECT_EQ(std::tuple(readGga(sentences[1]).fix, readGga(sentences[1]).altitude), std::tuple(true, 71.3f));

    // Without a fix the position is empty and marked void.
    fix.valid = false;
    const auto voids = sentencesForFix(fix, UtcTime{});
    EXPECT_EQ(std::tuple(readRmc(voids[0]).fix, readRmc(voids[0]).northSouth, readGga(voids[1]).fix, readGsa(voids[2]).fixMode),
              std::tuple(false, "", false, "1"));
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
            bad += !checksumOk(line);
        }
    }
    EXPECT_EQ(counter, 36);
    EXPECT_EQ(bad, 9);       // sentences 4, 8, …, 36
    EXPECT_EQ(overlong, 1);  // second 3 only: the line has no end, so the next one joins it
}

}  // namespace
}  // namespace vexa::gpssim
