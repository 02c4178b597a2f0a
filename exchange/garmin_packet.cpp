#include "exchange/garmin_packet.h"

#include <cmath>

namespace vexa {

namespace {

void putU16(GarminPacket& p, std::size_t at, std::uint16_t v) {
    p.data[at] = static_cast<std::uint8_t>(v & 0xFF);
    p.data[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

void putI32(GarminPacket& p, std::size_t at, std::int32_t v) {
    const auto u = static_cast<std::uint32_t>(v);
    for (std::size_t i = 0; i < 4; ++i) p.data[at + i] = static_cast<std::uint8_t>(u >> (8 * i));
}

constexpr std::size_t kNewTrackOffset = 20;

}  // namespace

std::uint8_t garminChecksum(const GarminPacket& packet) {
    unsigned sum = packet.id + packet.size;
    for (std::size_t i = 0; i < packet.size && i < kGarminMaxData; ++i) sum += packet.data[i];
    return static_cast<std::uint8_t>(-sum & 0xFF);
}

std::string buildPacket(const GarminPacket& packet) {
    const std::size_t size = packet.size < kGarminMaxData ? packet.size : kGarminMaxData;
    std::string out;
    out.reserve(2 * (size + 3) + 3);
    auto put = [&out](std::uint8_t b) {
        out.push_back(static_cast<char>(b));
        if (b == kDle) out.push_back(static_cast<char>(kDle));
    };
    out.push_back(static_cast<char>(kDle));
    put(packet.id);
    put(static_cast<std::uint8_t>(size));
    for (std::size_t i = 0; i < size; ++i) put(packet.data[i]);
    put(garminChecksum(packet));
    out.push_back(static_cast<char>(kDle));
    out.push_back(static_cast<char>(kEtx));
    return out;
}

std::int32_t semicircles(double degrees) {
    if (!std::isfinite(degrees)) return 0;
    const auto whole = static_cast<std::int64_t>(std::trunc(degrees * (2147483648.0 / 180.0)));
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(whole));
}

double semicirclesToDegrees(std::int32_t value) { return value * (180.0 / 2147483648.0); }

GarminPacket recordsPacket(std::uint16_t count) {
    GarminPacket p;
    p.id = kPidRecords;
    p.size = 2;
    putU16(p, 0, count);
    return p;
}

GarminPacket trackHeaderPacket(std::string_view name) {
    if (name.size() > kTrackNameChars) name = name.substr(0, kTrackNameChars);
    GarminPacket p;
    p.id = kPidTrackHeader;
    p.size = static_cast<std::uint8_t>(name.size() + 3);
    p.data[0] = 0x01;  // displayed
    p.data[1] = 0xFF;  // the receiver's default colour
    for (std::size_t i = 0; i < name.size(); ++i) p.data[2 + i] = static_cast<std::uint8_t>(name[i]);
    p.data[2 + name.size()] = 0;
    return p;
}

GarminPacket llh2track(double lon, double lat) {
    GarminPacket p;
    p.id = kPidTrackPoint;
    p.size = 24;
    putI32(p, 0, semicircles(lat));
    putI32(p, 4, semicircles(lon));
    // Time, altitude and depth (12 bytes), the new-track flag and 3 bytes stay 0.
    return p;
}

void setNewTrack(GarminPacket& trackPoint, bool newTrack) {
    trackPoint.data[kNewTrackOffset] = newTrack ? 1 : 0;
}

std::string_view GarminFrame::data() const {
    if (bytes.size() < 4) return {};
    return std::string_view(bytes).substr(3, bytes.size() - 4);
}

bool GarminFrame::checksumOk() const {
    if (bytes.size() < 4 || static_cast<std::size_t>(size()) != bytes.size() - 4) return false;
    unsigned sum = 0;
    for (std::size_t i = 1; i < bytes.size(); ++i) sum += static_cast<std::uint8_t>(bytes[i]);
    return (sum & 0xFF) == 0;
}

bool GarminFrame::acknowledges(std::uint8_t packetId) const {
    return id() == kPidAck && checksumOk() && !data().empty() &&
           static_cast<std::uint8_t>(data()[0]) == packetId;
}

void GarminFrameReader::reset() {
    frame_.bytes.clear();
    inFrame_ = false;
    pendingDle_ = false;
}

GarminFrameReader::Event GarminFrameReader::feed(std::uint8_t byte) {
    if (!inFrame_) {
        if (byte == kDle) {
            frame_.bytes.assign(1, static_cast<char>(kDle));
            inFrame_ = true;
            pendingDle_ = false;
        }
        return Event::None;
    }
    if (!pendingDle_) {
        if (byte == kDle) pendingDle_ = true;
        else frame_.bytes.push_back(static_cast<char>(byte));
        return Event::None;
    }
    pendingDle_ = false;
    if (byte == kDle) {
        frame_.bytes.push_back(static_cast<char>(kDle));
        return Event::None;
    }
    if (byte == kEtx) {
        inFrame_ = false;
        // DLE DLE ETX alone carries no packet.
        return frame_.bytes.size() >= 4 ? Event::Frame : Event::None;
    }
    // A lone DLE inside a frame: the frame was broken, a new one starts here.
    frame_.bytes.assign(1, static_cast<char>(kDle));
    frame_.bytes.push_back(static_cast<char>(byte));
    return Event::None;
}

}  // namespace vexa
