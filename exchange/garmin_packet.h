// Garmin's serial link protocol as far as a track upload needs it: the packet record, its
// DLE/ETX frame with byte stuffing and checksum, the track packets, and the reassembly of
// frames from a byte stream.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vexa {

inline constexpr std::uint8_t kDle = 0x10;
inline constexpr std::uint8_t kEtx = 0x03;

// Packet ids.
inline constexpr std::uint8_t kPidAck = 6;
inline constexpr std::uint8_t kPidTransferComplete = 12;
inline constexpr std::uint8_t kPidNak = 21;
inline constexpr std::uint8_t kPidRecords = 27;
inline constexpr std::uint8_t kPidTrackPoint = 34;
inline constexpr std::uint8_t kPidTrackHeader = 99;
inline constexpr std::uint8_t kPidProductRequest = 254;
inline constexpr std::uint8_t kPidProductData = 255;

inline constexpr std::size_t kGarminMaxData = 24;
inline constexpr std::size_t kTrackNameChars = 15;
inline constexpr std::uint16_t kTransferTrack = 7;

// The product request and the end of a track transfer, framed.
inline constexpr std::string_view kProductRequestFrame{"\x10\xFE\x00\x02\x10\x03", 6};
inline constexpr std::string_view kTransferCompleteFrame{"\x10\x0C\x02\x07\x00\xEB\x10\x03", 8};

struct GarminPacket {
    std::uint8_t id = 0;
    std::uint8_t size = 0;
    std::array<std::uint8_t, kGarminMaxData> data{};
};

// Two's complement of the 8-bit sum of id, size and data.
std::uint8_t garminChecksum(const GarminPacket& packet);

// DLE, id, size, data, checksum, DLE, ETX; every 0x10 among id, size, data and checksum is
// sent twice. The count of framed bytes is the string's size.
std::string buildPacket(const GarminPacket& packet);

// trunc(degrees × 2^31 / 180) as a signed 32-bit value; 180° east wraps to −2^31 (the same
// meridian as 180° west).
std::int32_t semicircles(double degrees);
double semicirclesToDegrees(std::int32_t semicircles);

// "Records": the number of packets that follow.
GarminPacket recordsPacket(std::uint16_t count);
// "Track header": display flag, colour, the 8-bit name and its terminating 0.
GarminPacket trackHeaderPacket(std::string_view name8bit);
// "Track point" for a WGS84 position, new-track flag 0.
GarminPacket llh2track(double lon, double lat);
// Sets the new-track flag of a track point packet.
void setNewTrack(GarminPacket& trackPoint, bool newTrack);

// One received frame without its stuffing: the leading DLE, id, size, data and checksum
// (the closing DLE ETX removed).
struct GarminFrame {
    std::string bytes;

    std::uint8_t id() const { return bytes.size() > 1 ? static_cast<std::uint8_t>(bytes[1]) : 0; }
    std::uint8_t size() const { return bytes.size() > 2 ? static_cast<std::uint8_t>(bytes[2]) : 0; }
    std::string_view data() const;
    // The 8-bit sum of id, size, data and checksum is 0, and the size matches.
    bool checksumOk() const;
    // An acknowledgement of the given packet id with a good checksum.
    bool acknowledges(std::uint8_t packetId) const;
};

// Reassembles frames from a byte stream. Bytes before a frame's opening DLE are line noise
// and skipped; a DLE followed by anything but DLE or ETX inside a frame starts a new frame
// there, so a broken frame does not swallow the next one.
class GarminFrameReader {
public:
    enum class Event { None, Frame };

    Event feed(std::uint8_t byte);
    const GarminFrame& frame() const { return frame_; }
    void reset();

private:
    GarminFrame frame_;
    bool inFrame_ = false;
    bool pendingDle_ = false;
};

}  // namespace vexa
