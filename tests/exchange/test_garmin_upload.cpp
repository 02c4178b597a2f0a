// The upload end to end: the real serial port on a pseudo-terminal, vexa-garminsim on the
// other side, its record of the received track read back.
#include "exchange/garmin_upload.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

#include "exchange/garmin_link.h"
#include "geo/grid.h"
#include "platform/linux/termios_serial_port.h"
#include "routes/route_table.h"
#include "platform/testing/device_simulator.h"
#include "tests/support/garmin_record.h"
#include "tests/support/temp_dir.h"

namespace vexa {
namespace {

using namespace std::chrono_literals;

// Plate carrée in 1/10000 degree: the grid gives back the degrees a point was made with.
GridContext plateCarree() { return {.PlateCarreeGrid = true}; }
TrackPoint at(double lon, double lat) { return TrackPoint{lon * 10000.0, lat * 10000.0}; }

struct UploadFixture : ::testing::Test {
    testing::TempDir dir;
    TermiosSerialPort port;
    GarminUpload up{port};
    std::vector<std::string> lines;

    UploadFixture() {
        up.addLine = [this](std::string_view l) { lines.emplace_back(l); };
        up.showMessage = [this](std::string_view m) { lines.push_back("message: " + std::string(m)); };
        up.answerTimeout = 400ms;
    }
    std::filesystem::path record() const { return dir / "track.txt"; }
    std::unique_ptr<testing::DeviceSimulator> simulator(const std::string& fault = "", const std::string& n = "") {
        std::vector<std::string> arguments{"--output", record().string()};
        if (!fault.empty()) arguments.insert(arguments.end(), {fault, n});
        return std::make_unique<testing::DeviceSimulator>(VEXA_GARMINSIM, arguments);
    }
    GarminUploadResult upload(const std::string& device, const std::vector<TrackPoint>& points,
                              const std::string& name) {
        GarminUploadJob job;
        job.points = points;
        job.grid = plateCarree();
        job.trackName = name;
        job.portName = "COM1:";
        job.device = device;
        return track2gps(up, job);
    }
    std::vector<std::string> received() const { return testing::garminRecord(record()); }
    bool has(std::string_view line) const { return std::find(lines.begin(), lines.end(), line) != lines.end(); }
};

TEST_F(UploadFixture, EdgeCasePointsHeaderAndCountArriveAsTheReceiverExpects) {
    struct Case {
        std::string name;
        std::vector<std::string> track;
        bool twoPieces = false;
    };
    const std::string request = "product request", first = "point 0 52.5000000 13.4000000 626349397 159868227 new",
                      second = "point 1 52.5000000 -10.0000000 626349397 -119304647", complete = "transfer complete 7";
    const Case cases[] = {
        {"ABCD", {request, "records 3", "header \"ABCD\"", first, second, complete}},
        {"", {request, "records 2", first, second, complete}},
        {"", {request, "records 2", first, second + " new", complete}, true},
    };
    for (const Case& c : cases) {
        lines.clear();
        const auto sim = simulator();
        ASSERT_FALSE(sim->device().empty());
        TrackPoint first = at(13.4, 52.5);
        if (c.twoPieces) first.lineKind = LineKind::NotDrawn;
        const GarminUploadResult r = upload(sim->device(), {first, at(-10.0, 52.5)}, c.name);
        EXPECT_EQ(std::tuple(r.ok(), r.pointsSent, received()), std::tuple(true, 2, c.track)) << c.name;
        for (const char* line : {"Send 2 Track-Points to:", "VEXA garminsim Software Version 3.10", "Send 001: breite=52.500000 laenge=-10.000000"})
            EXPECT_TRUE(has(line)) << line;
        EXPECT_EQ(std::tuple(has("Trackname: ABCD"), lines.back(), port.isOpen()), std::tuple(!c.name.empty(), "Close COM1: ok", false));
    }
}

TEST_F(UploadFixture, LoggingTracesEveryByteAndTheAnswerChecks) {
    up.logging = true;
    const auto sim = simulator();
    ASSERT_TRUE(upload(sim->device(), {at(13.4, 52.5)}, "").ok());
    for (const char* line : {"Open COM1: BaudRate 9600 ok", "Byte 1 FE", "Send 6 Bytes to GPS",
                             "Read Answer from GPS", "ACK from GPS", "Answer from GPS",
                             "Checksum Byte 1 06 = 6", "Checksum is ok", "Send 8 Bytes to GPS"})
        EXPECT_TRUE(has(line)) << line;
    EXPECT_FALSE(has("Checksum is not ok"));
}

TEST_F(UploadFixture, ALongRouteArrivesCompleteAndInOrder) {
    std::vector<TrackPoint> points;
    for (int i = 0; i < 3999; ++i) points.push_back(at(6.0 + i * 0.001, 47.0 + i * 0.0005));
    const auto sim = simulator();
    EXPECT_TRUE(upload(sim->device(), points, "Lang").ok());
    const auto track = received();
    ASSERT_EQ(track.size(), 3999u + 4);
    EXPECT_EQ(track[1], "records 4000");
    testing::expectPointsInOrder(track, 3, 3999, [](int i) { return std::pair{47.0 + i * 0.0005, 6.0 + i * 0.001}; },
                                 1e-6);
}

TEST_F(UploadFixture, EachFaultEndsAsDocumentedWithoutHanging) {
    // Five points without a name: product request, records, points 3..7, transfer complete 8.
    // The fault and its number, then ok, complete, points sent and the line before "Close COM1: ok".
    const std::tuple<std::string, std::string, bool, bool, int, std::string> cases[] = {
        {"--nak", "4", false, true, 5, "Track mit 5 Punkten übertragen, 2 Pakete nicht quittiert"},
        {"--silent-after", "4", false, false, 2, "Keine Antwort vom GPS: 2 von 5 Track-Points gesendet"},
        {"--silent-after", "0", false, false, 0, "Keine Antwort vom GPS: 0 von 5 Track-Points gesendet"},
        {"--garbage", "2", true, true, 5, "Track mit 5 Punkten übertragen"},
        {"--bad-checksum", "3", false, true, 5, "Track mit 5 Punkten übertragen, 2 Pakete nicht quittiert"},
        {"--slow", "100", true, true, 5, "Track mit 5 Punkten übertragen"},
        {"--slow", "1000", false, false, 0, "Keine Antwort vom GPS: 0 von 5 Track-Points gesendet"},
    };
    std::vector<TrackPoint> points;
    for (int i = 0; i < 5; ++i) points.push_back(at(9.0 + i * 0.01, 52.0));
    for (const auto& [fault, n, ok, complete, pointsSent, lastReport] : cases) {
        lines.clear();
        const auto sim = simulator(fault, n);
        const auto began = std::chrono::steady_clock::now();
        const GarminUploadResult r = upload(sim->device(), points, "");
        EXPECT_LT(std::chrono::steady_clock::now() - began, 5s) << fault;
        ASSERT_GE(lines.size(), 2u);
        EXPECT_EQ(std::tuple(r.ok(), r.complete, r.pointsSent, lines[lines.size() - 2], port.isOpen()),
                  std::tuple(ok, complete, pointsSent, lastReport, false)) << fault << " " << n;
    }
}

}  // namespace
}  // namespace vexa
