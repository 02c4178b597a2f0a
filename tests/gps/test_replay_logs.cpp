// Whole recorded logs: through the replay sequence, and byte by byte through the live framing
// as a receiver would send them; both must arrive at the same journey.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <thread>
#include <tuple>

#include "tests/gps/gps_fixture.h"
#include "tests/gps/receiver_corpus.h"
#include "tests/support/temp_dir.h"

namespace vexa::testing {
namespace {

// Path length of the drive as generated, leaving out the gap of the reception loss.
constexpr double kDriveMetres = 3085.8;
constexpr double kGgaOnlyMetres = 1904.1;

void replayLog(GpsRecords& r, const std::string& text) {
    r.settings.LGsaLogTime = 1;
    replay(r, text);
}

// One second of the clock per fix.
void receiveLog(GpsRecords& r, const std::string& text) {
    r.settings.LGsaLogTime = 1;
    ReaderState reader;
    StartReception(r.in, reader);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text.compare(i, 1, "$") == 0 && text.compare(i + 3, 3, "RMC") == 0) r.clock.advance(1000);
        receive(r, reader, text.substr(i, 1));
    }
}

TEST(WholeLogs, DriveReplayedAndReceivedByteByByteArrivesAtTheSameJourney) {
    GpsRecords r, received;
    const std::string text = readDataFile("drive_hannover.txt");
    replayLog(r, text);
    EXPECT_NEAR(r.gps.tripDistance, kDriveMetres, kDriveMetres * 0.02);
    EXPECT_EQ(std::tuple(r.gps.elapsedSeconds, r.gps.fixValid, r.satellites.inViewCount, r.satellites.usedLast), std::tuple(299, true, 9, 4));
    // About one point per 25 m, none while standing.
    EXPECT_NEAR(r.trace->next, kDriveMetres / 26.0, 25.0);
    // RMC comes before the first GGA.
    EXPECT_EQ(std::tuple(r.trace->points[0].segmentStart, r.trace->points[0].dateText.view(), r.trace->points[0].satellitesText.view(),
                         r.trace->points[1].satellitesText.view(), r.trace->replayPos),
              std::tuple(1, "14.06.24", "0", "08", r.trace->next));
    EXPECT_NEAR(r.last.latitude, 52.3759, 0.05);
    EXPECT_GT(r.last.longitude, 9.7320);

    received.settings.LTraceTime = 1;
    receiveLog(received, text);
    // Live drops the one damaged sentence that replay still parses: a metre either way.
    EXPECT_NEAR(received.gps.tripDistance, r.gps.tripDistance, 1.0);
    EXPECT_EQ(std::tuple(received.gps.elapsedSeconds, received.last.latitude, received.last.longitude, received.satellites.inViewCount),
              std::tuple(r.gps.elapsedSeconds, r.last.latitude, r.last.longitude, r.satellites.inViewCount));
    EXPECT_NEAR(received.trace->next, r.trace->next, 1);
    EXPECT_EQ(received.ui.beeps(), 3) << "fix at the start, lost and regained";
}

void expectJourney(const GpsRecords& r, const ReceiverLog& log, const char* how) {
    SCOPED_TRACE(std::string(log.file) + " " + how);
    EXPECT_EQ(std::tuple(r.views.fixesPlaced, r.gps.fixValid), std::tuple(log.fixes, log.fixAtEnd));
    if (log.fixes > 0) {
        // The receiver's single precision: about a metre.
        EXPECT_NEAR(r.last.latitude, log.latitude, 2e-5);
        EXPECT_NEAR(r.last.longitude, log.longitude, 2e-5);
        EXPECT_GE(r.trace->next, 1) << "the first fix is a point before the trace interval has run";
    }
    EXPECT_EQ(std::tuple(r.satellites.inViewCount, r.satellites.usedLast + 1), std::tuple(log.inView, log.used));
    int marked = 0;
    for (int i = 0; i < r.satellites.inViewCount; ++i) marked += r.satellites.inView[static_cast<std::size_t>(i)].used;
    EXPECT_EQ(marked, log.used) << "every used satellite is in view";
}

TEST(ReceiverLogs, EveryTalkerAndFormGivesItsFixesAndSatellitesLiveAndReplayed) {
    for (const ReceiverLog& log : kReceiverLogs) {
        const std::string text = readFile(receiverLogPath(log));
        GpsRecords replayed, received;
        for (GpsRecords* r : {&replayed, &received}) {
            r->settings.imindist = 1000;
            r->settings.LTraceTime = 5;
        }
        replayLog(replayed, text);
        expectJourney(replayed, log, "replayed");
        receiveLog(received, text);
        expectJourney(received, log, "received");
        EXPECT_LE(received.ui.beeps(), 1) << log.file << ": no beeps while the receiver searches";
    }
}

TEST(WholeLogs, ReceiverWithoutRmcCrossesMidnight) {
    GpsRecords r;
    replayLog(r, readDataFile("gga_only_midnight.txt"));
    EXPECT_NEAR(r.gps.tripDistance, kGgaOnlyMetres, kGgaOnlyMetres * 0.02);
    EXPECT_EQ(std::tuple(r.gps.elapsedSeconds, r.last.latitude < -33.0, r.trace->next > 40, r.trace->points[0].source), std::tuple(119, true, true, 2));
}

// A live session near Sydney, then a replay in Hannover: the replay is a trip of its own and
// its first point starts a new piece of trace.
TEST(WholeLogs, AReplayAfterALiveSessionJoinsNoLegToIt) {
    GpsRecords r;
    receiveLog(r, readDataFile("gga_only_midnight.txt"));
    const int first = r.trace->next;
    replayLog(r, readDataFile("drive_hannover.txt"));
    EXPECT_NEAR(r.gps.tripDistance, kDriveMetres, kDriveMetres * 0.02);
    const TracePoint& leg = r.trace->points[static_cast<std::size_t>(first)];
    EXPECT_TRUE(leg.segmentStart == 1 && leg.distance < 1.0) << leg.distance;
}

TEST(WholeLogs, TheUiThreadReadsTheStateWhileALogIsReplayed) {
    GpsRecords r;
    const std::string text = readDataFile("drive_hannover.txt");
    std::atomic<bool> reading{false}, done{false};
    std::thread worker([&] {
        while (!reading) std::this_thread::yield();  // a busy machine must not finish before the reads start
        replayLog(r, text);
        done = true;
    });
    // What the views read on the UI thread, under the state mutex as the records require.
    double furthest = 0.0;
    do {
        {
            std::lock_guard lock(r.mutex);
            furthest = std::max(furthest, r.gps.tripDistance);
            const int newest = r.trace->next;
            if (newest > 0) {
                EXPECT_NE(r.trace->points[static_cast<std::size_t>(newest - 1)].gridX, 0.0);
            }
        }
        r.diagnostics.text();
        reading = true;
    } while (!done);
    worker.join();
    EXPECT_LE(furthest, r.gps.tripDistance);
    EXPECT_NEAR(r.gps.tripDistance, kDriveMetres, kDriveMetres * 0.02);
}

}  // namespace
}  // namespace vexa::testing
