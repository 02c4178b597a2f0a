// parseGSA and parseGSV merge a sentence into the satellite picture: the used table per
// system, the in-view table, cycles and their bounds.
#include <gtest/gtest.h>

#include <array>
#include <tuple>

#include "gps/satellite_parsers.h"
#include "gps/sentence_processing.h"
#include "tests/gps/gps_fixture.h"

namespace vexa::testing {
namespace {

struct Satellites : ::testing::Test {
    GpsRecords r;
    int gsv(const std::string& body, bool refresh = true) { return parseGSV(r.in, nmea(body), refresh); }
};

TEST_F(Satellites, GsaRebuildsTheUsedSatellitesOfItsSystemAndWithoutFixEmptiesTheTable) {
    parseGSA(r.in, nmea("GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1"));
    parseGSA(r.in, nmea("GLGSA,A,3,65,71,,,,,,,,,,,2.1,1.5,1.4"));
    parseGSA(r.in, nmea("GPGSA,A,2,07,08,,,,,,,,,,,2.5,1.3,2.1"));
    // GLONASS kept, GPS rebuilt behind it.
    EXPECT_EQ(std::tuple(r.satellites.usedLast, r.satellites.used[0].prn, r.satellites.used[3].prn, r.satellites.used[3].used),
              std::tuple(3, 65, 8, 1));
    EXPECT_EQ(std::tuple(r.gps.fixValid, r.satellites.fixMode.view()), std::tuple(true, "2"));

    r.clock.setTick(777);
    parseGSA(r.in, nmea("GNGSA,A,1,,,,,,,,,,,,,,,"));
    EXPECT_EQ(std::tuple(r.satellites.usedLast, r.gps.fixValid, r.gps.lastActivityTick.load()), std::tuple(-1, false, 777u));
}

TEST_F(Satellites, GsvCycleCompletesAndMergesUsedMarks) {
    r.frame.displayMode = DisplayMode::Gps;
    parseGSA(r.in, nmea("GPGSA,A,3,04,05,,09,12,,,24,02,,,,2.5,1.3,2.1"));
    const std::string cycle[] = {"GPGSV,3,1,09,04,71,120,44,05,33,250,38,09,55,060,41,12,20,300,30",
                                 "GPGSV,3,2,09,17,12,180,,24,64,010,46,25,08,090,22,29,40,200,35",
                                 "GPGSV,3,3,09,31,05,330,"};
    EXPECT_EQ((std::array{gsv(cycle[0]), gsv(cycle[1]), gsv(cycle[2])}), (std::array{0, 0, 1}));  // in this order
    // PRN 24 takes its signal from the in-view table; PRN 02, used but not in view, has none.
    EXPECT_EQ(std::tuple(r.views.gpsRedraws, r.satellites.inViewCount, r.satellites.inView[0].used, r.satellites.inView[4].used,
                         r.satellites.used[4].snr, r.satellites.used[5].snr, r.satellites.inView[0].prnText.view()),
              std::tuple(1, 9, 1, 0, 46, 0, "04"));
    EXPECT_EQ(r.satellites.gsvCycle[2], nmea(cycle[2]));

    // Outside the GPS view a cycle draws nothing; a cycle's middle without its first message
    // is ignored, also right after a complete cycle.
    r.frame.displayMode = DisplayMode::Move;
    EXPECT_EQ(gsv(cycle[1]), 0);
    EXPECT_EQ(r.satellites.inViewCount, 9);
    EXPECT_EQ((std::array{gsv(cycle[0]), gsv(cycle[1]), gsv(cycle[2]), r.views.gpsRedraws}), (std::array{0, 0, 1, 1}));
}

// Also when the cycles were cleared (a line overflowed) after the first message.
TEST_F(Satellites, MessagesBeforeTheFirstOfACycleAreIgnored) {
    EXPECT_EQ(gsv("GPGSV,2,2,08,17,12,180,20,24,64,010,46"), 0);
    EXPECT_EQ(std::tuple(r.satellites.inViewCount, r.satellites.gsvCycle[1].empty()), std::tuple(0, true));
    gsv("GPGSV,2,1,08,04,71,120,44");
    clearGsvCycles(r.satellites);
    EXPECT_EQ(gsv("GPGSV,2,2,08,17,12,180,20,24,64,010,46"), 0);
    EXPECT_EQ(std::tuple(r.satellites.inViewCount, r.satellites.gsvCycle[1].empty()), std::tuple(1, true));
}

// Another talker's satellite stays in view and loses its used mark when its system's GSA no
// longer lists it.
TEST_F(Satellites, AKeptSatelliteFollowsTheLatestGsa) {
    parseGSA(r.in, nmea("GLGSA,A,3,65,,,,,,,,,,,,2.1,1.5,1.4"));
    gsv("GLGSV,1,1,01,65,45,100,40");
    parseGSA(r.in, nmea("GLGSA,A,3,66,,,,,,,,,,,,2.1,1.5,1.4"));
    gsv("GPGSV,1,1,01,04,71,120,44");
    EXPECT_EQ(std::tuple(r.satellites.inViewCount, r.satellites.inView[0].prn, r.satellites.inView[0].used), std::tuple(2, 65, 0));
}

TEST_F(Satellites, OversizedCyclesStayInsideTheTablesAndSlots) {
    // More signals with a cycle of their own than there are cycle places: the last place is
    // shared.
    for (int signal = 1; signal <= kGsvCycleKeys + 2; ++signal)
        EXPECT_EQ(gsv("GAGSV,1,1,01," + std::to_string(signal) + ",10,100,30," + std::to_string(signal)), 1) << signal;
    EXPECT_EQ(r.satellites.inViewCount, kGsvCycleKeys + 2);
    // Nine messages of four satellites per talker (ten for the last, one beyond the slots):
    // three talkers hold more than the table.
    for (const std::string talker : {"GP", "GL", "GB"}) {
        const int messages = talker == "GB" ? kGsvSlots + 1 : kGsvSlots;
        for (int m = 1; m <= messages; ++m) {
            std::string body = talker + "GSV," + std::to_string(messages) + "," + std::to_string(m) + ",36";
            for (int i = 0; i < 4; ++i) body += "," + std::to_string(100 + m * 4 + i) + ",10,100,30";
            gsv(body);
        }
    }
    EXPECT_EQ(std::tuple(r.satellites.inViewCount, r.satellites.inView[kMaxSatellites - 1].system), std::tuple(kMaxSatellites, 4));
    EXPECT_TRUE(r.satellites.gsvCycle[8].find("GBGSV,10,9,") != std::string::npos);

    // The box about an overlong sentence waits until the state mutex is released.
    const std::string body = "GPGSV,1,1,01,07,10,100,30,";
    const std::string longest = nmea(body + std::string(kGsvSlotChars - body.size() - 4, '7'));  // "$" and "*XX"
    EXPECT_EQ(parseGSV(r.in, longest, true), 1);
    EXPECT_FALSE(r.satellites.overlongGsv);
    const std::string huge = nmea(body + std::string(kGsvSlotChars - body.size() - 3, '7'));
    EXPECT_EQ(parseGSV(r.in, huge, true), 1);
    EXPECT_EQ(std::tuple(r.satellites.gsvCycle[0].size(), r.ui.messages().size()), std::tuple(kGsvSlotChars, 0u));
    ShowDeferredMessages(r.in);
    EXPECT_EQ(std::tuple(r.ui.messages().size(), r.ui.messages().at(0).text), std::tuple(1u, "parseGSV inbuffer > MAXBUF"));
}

}  // namespace
}  // namespace vexa::testing
