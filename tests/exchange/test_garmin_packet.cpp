// Garmin frames byte for byte: stuffing, checksums, semicircles, the track packets, the
// reassembly of received frames and the track name a dialog text gives.
#include "exchange/garmin_packet.h"

#include <gtest/gtest.h>

#include <tuple>

#include "exchange/garmin_link.h"

namespace vexa {
namespace {

std::string bytes(std::initializer_list<int> values) {
    std::string out;
    for (const int v : values) out.push_back(static_cast<char>(v));
    return out;
}

GarminPacket packet(std::uint8_t id, std::initializer_list<int> data) {
    GarminPacket p;
    p.id = id;
    p.size = static_cast<std::uint8_t>(data.size());
    std::size_t i = 0;
    for (const int v : data) p.data[i++] = static_cast<std::uint8_t>(v);
    return p;
}

TEST(GarminFrame, BuildPacketStuffsEveryDleButTheFraming) {
    const std::tuple<const char*, GarminPacket, std::string> cases[] = {  // what, packet, frame
        {"product request", packet(kPidProductRequest, {}), std::string(kProductRequestFrame)},
        {"transfer complete", packet(kPidTransferComplete, {7, 0}), std::string(kTransferCompleteFrame)},
        // 0x0A + 0x01 + 0xE5 = 0xF0: the checksum is 0x10 and is doubled.
        {"checksum 0x10", packet(0x0A, {0xE5}), bytes({0x10, 0x0A, 0x01, 0xE5, 0x10, 0x10, 0x10, 0x03})},
        {"DLE in data and size", packet(0x22, {0x10, 0x10, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14}),
         bytes({0x10, 0x22, 0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13,
                14, 0x45, 0x10, 0x03})},
        {"records 4000", recordsPacket(4000), bytes({0x10, 0x1B, 0x02, 0xA0, 0x0F, 0x34, 0x10, 0x03})},
    };
    for (const auto& [what, packet, framed] : cases) EXPECT_EQ(buildPacket(packet), framed) << what;
}

TEST(GarminFrame, SemicirclesTruncateAndWrapAtTheDateLine) {
    const std::pair<double, std::int32_t> cases[] = {{52.5, 626349397},       {13.4, 159868227},        {-10.0, -119304647},
                          {-52.5, -626349397},     {0.0, 0},                 {90.0, 1073741824},
                          {180.0, INT32_MIN},      {-180.0, INT32_MIN},      {179.9999999, 2147483646}};
    for (const auto& [degrees, value] : cases) EXPECT_EQ(semicircles(degrees), value) << degrees;
    EXPECT_NEAR(semicirclesToDegrees(626349397), 52.5, 1e-7);
}

TEST(GarminFrame, TrackPacketsCarryTheirFields) {
    const GarminPacket point = llh2track(13.4, 52.5);
    ASSERT_EQ(std::tuple(point.id, point.size), std::tuple(kPidTrackPoint, 24));
    // Latitude first, little-endian: 626349397 = 0x2555 5555.
    EXPECT_EQ(buildPacket(point).substr(3, 8), bytes({0x55, 0x55, 0x55, 0x25, 0x43, 0x65, 0x87, 0x09}));
    GarminPacket first = point, later = point;
    setNewTrack(first, true);
    setNewTrack(later, false);
    EXPECT_EQ(std::tuple(first.data[20], later.data[20]), std::tuple(1, 0));

    const GarminPacket header = trackHeaderPacket("ABCD");
    EXPECT_EQ(buildPacket(header), bytes({0x10, 0x63, 0x07, 0x01, 0xFF, 'A', 'B', 'C', 'D', 0x00, 0x8C, 0x10, 0x03}));
    const GarminPacket cut = trackHeaderPacket("0123456789ABCDEFGH");  // its first 15 characters
    EXPECT_EQ(std::tuple(int{cut.size}, std::string(cut.data.begin() + 2, cut.data.begin() + 17)), std::tuple(18, std::string("0123456789ABCDE")));
}

TEST(GarminFrame, ReaderSkipsNoiseUnstuffsAndRestartsOnABrokenFrame) {
    const std::string ack = buildPacket(packet(kPidAck, {0x22, 0}));
    const std::string stuffed = buildPacket(packet(0x0A, {0xE5}));
    const std::string ackFrame = bytes({0x10, 6, 2, 0x22, 0, 0xD6});
    const std::tuple<const char*, std::string, std::string> cases[] = {  // what, stream, the frames in it
        {"noise before", bytes({0x00, 0x55, 0x03, 0xFF}) + ack, ackFrame},
        {"stuffed checksum", stuffed, bytes({0x10, 0x0A, 0x01, 0xE5, 0x10})},
        {"broken then whole", bytes({0x10, 0x06, 0x02, 0x22}) + ack, ackFrame},
        {"empty frame", bytes({0x10, 0x10, 0x03}), ""},
        {"no end", bytes({0x10, 0x06, 0x02, 0x22, 0x00}), ""},
        {"shortest frame", std::string(kProductRequestFrame), std::string(kProductRequestFrame).substr(0, 4)},
        {"noise between frames", ack + bytes({0x55, 0x03}) + ack, ackFrame + ackFrame},
    };
    for (const auto& [what, stream, frames] : cases) {
        GarminFrameReader reader;
        std::string got;
        for (const char b : stream)
            if (reader.feed(static_cast<std::uint8_t>(b)) == GarminFrameReader::Event::Frame) got += reader.frame().bytes;
        EXPECT_EQ(got, frames) << what;
    }
    GarminFrame frame{bytes({0x10, 6, 2, 0x22, 0, 0xD6})};
    EXPECT_EQ(std::tuple(frame.acknowledges(kPidTrackPoint), frame.acknowledges(kPidRecords)), std::tuple(true, false));
    frame.bytes.back() = 0x00;
    EXPECT_FALSE(frame.checksumOk());
    EXPECT_FALSE(GarminFrame{bytes({0x10, 6, 3, 0x22, 0, 0xD5})}.checksumOk());  // size says 3, has 2
    EXPECT_TRUE(GarminFrame{std::string(kProductRequestFrame).substr(0, 4)}.checksumOk());  // no data at all
}

TEST(GarminTrackName, IsEightBitAndAtMostFifteenCharacters) {
    const std::pair<const char*, std::string> cases[] = {
        {"Harz", "Harz"}, {"Rundweg Köln–Bonn über Siegburg", "Rundweg K\xF6ln?Bo"}, {"", ""}};
    GarminLink link;
    for (const auto& [text, name] : cases) {
        link.trackName = "old";
        setGarminTrackName(link, text);
        EXPECT_EQ(link.trackName, name) << text;
    }
}

}  // namespace
}  // namespace vexa
