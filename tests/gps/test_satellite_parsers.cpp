// parseGSA and parseGSV merge a sentence into the satellite picture: the used table per
// system, the in-view table, cycles and their bounds.
#include <gtest/gtest.h>

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
    parseGSA(r.in, nmea("GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1"));
    EXPECT_EQ(gsv("GPGSV,3,1,09,04,71,120,44,05,33,250,38,09,55,060,41,12,20,300,30"), 0);
    EXPECT_EQ(gsv("GPGSV,3,2,09,17,12,180,,24,64,010,46,25,08,090,22,29,40,200,35"), 0);
    EXPECT_EQ(gsv("GPGSV,3,3,09,31,05,330,"), 1);
    // PRN 24 takes its signal from the in-view table.
    EXPECT_EQ(std::tuple(r.views.gpsRedraws, r.satellites.inViewCount, r.satellites.inView[0].used, r.satellites.inView[4].used,
                         r.satellites.used[4].snr),
              std::tuple(1, 9, 1, 0, 46));
    EXPECT_EQ(r.satellites.gsvCycle[2], nmea("GPGSV,3,3,09,31,05,330,"));
}

TEST_F(Satellites, MessagesBeforeTheFirstOfACycleAreIgnored) {
    EXPECT_EQ(gsv("GPGSV,2,2,08,17,12,180,20,24,64,010,46"), 0);
    EXPECT_EQ(std::tuple(r.satellites.inViewCount, r.satellites.gsvCycle[1].empty()), std::tuple(0, true));
}

TEST_F(Satellites, OversizedCyclesStayInsideTheTablesAndSlots) {
    // Nine messages of four satellites per talker: three talkers hold more than the table.
    for (const std::string talker : {"GP", "GL", "GB"}) {
        for (int m = 1; m <= 9; ++m) {
            std::string body = talker + "GSV,9," + std::to_string(m) + ",36";
            for (int i = 0; i < 4; ++i) body += "," + std::to_string(100 + m * 4 + i) + ",10,100,30";
            gsv(body);
        }
    }
    EXPECT_EQ(std::tuple(r.satellites.inViewCount, r.satellites.inView[kMaxSatellites - 1].system), std::tuple(kMaxSatellites, 4));
    EXPECT_TRUE(r.satellites.gsvCycle[8].find("GBGSV,9,9,") != std::string::npos);

    // The box about an overlong sentence waits until the state mutex is released.
    const std::string huge = nmea("GPGSV,1,1,01,07,10,100,30," + std::string(3000, '7'));
    EXPECT_EQ(parseGSV(r.in, huge, true), 1);
    EXPECT_EQ(std::tuple(r.satellites.gsvCycle[0].size(), r.ui.messages().size()), std::tuple(kGsvSlotChars, 0u));
    ShowDeferredMessages(r.in);
    EXPECT_EQ(std::tuple(r.ui.messages().size(), r.ui.messages().at(0).text), std::tuple(1u, "parseGSV inbuffer > MAXBUF"));
}

}  // namespace
}  // namespace vexa::testing
