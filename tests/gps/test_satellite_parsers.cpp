// parseGSA and parseGSV merge a sentence into the satellite picture: the used table per
// system, the in-view table, cycles and their bounds.
#include <gtest/gtest.h>

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
    ASSERT_EQ(r.satellites.usedLast, 3);
    EXPECT_EQ(r.satellites.used[0].prn, 65) << "GLONASS kept, GPS rebuilt behind it";
    EXPECT_EQ(r.satellites.used[3].prn, 8);
    EXPECT_EQ(r.satellites.used[3].used, 1);
    EXPECT_TRUE(r.gps.fixValid);
    EXPECT_EQ(r.satellites.fixMode.view(), "2");

    r.clock.setTick(777);
    parseGSA(r.in, nmea("GNGSA,A,1,,,,,,,,,,,,,,,"));
    EXPECT_EQ(r.satellites.usedLast, -1);
    EXPECT_FALSE(r.gps.fixValid);
    EXPECT_EQ(r.gps.lastActivityTick.load(), 777u);
}

TEST_F(Satellites, GsvCycleCompletesAndMergesUsedMarks) {
    r.frame.displayMode = DisplayMode::Gps;
    parseGSA(r.in, nmea("GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1"));
    EXPECT_EQ(gsv("GPGSV,3,1,09,04,71,120,44,05,33,250,38,09,55,060,41,12,20,300,30"), 0);
    EXPECT_EQ(gsv("GPGSV,3,2,09,17,12,180,,24,64,010,46,25,08,090,22,29,40,200,35"), 0);
    EXPECT_EQ(gsv("GPGSV,3,3,09,31,05,330,"), 1);
    EXPECT_EQ(r.views.gpsRedraws, 1);
    ASSERT_EQ(r.satellites.inViewCount, 9);
    EXPECT_EQ(r.satellites.inView[0].used, 1);
    EXPECT_EQ(r.satellites.inView[4].used, 0);
    EXPECT_EQ(r.satellites.used[4].snr, 46) << "PRN 24 takes its signal from the in-view table";
    EXPECT_EQ(r.satellites.gsvCycle[2], nmea("GPGSV,3,3,09,31,05,330,"));
}

TEST_F(Satellites, MessagesBeforeTheFirstOfACycleAreIgnored) {
    EXPECT_EQ(gsv("GPGSV,2,2,08,17,12,180,20,24,64,010,46"), 0);
    EXPECT_EQ(r.satellites.inViewCount, 0);
    EXPECT_TRUE(r.satellites.gsvCycle[1].empty());
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
    EXPECT_EQ(r.satellites.inViewCount, kMaxSatellites);
    EXPECT_EQ(r.satellites.inView[kMaxSatellites - 1].system, 4);
    EXPECT_TRUE(r.satellites.gsvCycle[8].find("GBGSV,9,9,") != std::string::npos);

    // The box about an overlong sentence waits until the state mutex is released.
    const std::string huge = nmea("GPGSV,1,1,01,07,10,100,30," + std::string(3000, '7'));
    EXPECT_EQ(parseGSV(r.in, huge, true), 1);
    EXPECT_EQ(r.satellites.gsvCycle[0].size(), kGsvSlotChars);
    EXPECT_TRUE(r.ui.messages().empty());
    ShowDeferredMessages(r.in);
    ASSERT_EQ(r.ui.messages().size(), 1u);
    EXPECT_EQ(r.ui.messages()[0].text, "parseGSV inbuffer > MAXBUF");
}

}  // namespace
}  // namespace vexa::testing
