#include "tools/garminsim/receiver.h"

#include <cstdio>

namespace vexa::garminsim {

namespace {

constexpr std::uint16_t kProductId = 0x0122;
constexpr std::int16_t kSoftwareVersion = 310;
constexpr const char* kDescription = "VEXA garminsim Software Version 3.10";

std::int32_t i32At(std::string_view data, std::size_t at) {
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < 4; ++i) v |= static_cast<std::uint32_t>(static_cast<std::uint8_t>(data[at + i])) << (8 * i);
    return static_cast<std::int32_t>(v);
}

unsigned u16At(std::string_view data) {
    return static_cast<std::uint8_t>(data[0]) | (static_cast<unsigned>(static_cast<std::uint8_t>(data[1])) << 8);
}

std::string quoted(std::string_view text) {
    std::string out = "\"";
    for (const char c : text) {
        const auto b = static_cast<std::uint8_t>(c);
        if (b < 0x20 || b == '"' || b == '\\' || b >= 0x7F) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", b);
            out += hex;
        } else {
            out.push_back(c);
        }
    }
    return out + "\"";
}

// The product data packet is longer than a host's packet record holds: framed here.
std::string productDataFrame() {
    std::string data;
    data.push_back(static_cast<char>(kProductId & 0xFF));
    data.push_back(static_cast<char>(kProductId >> 8));
    data.push_back(static_cast<char>(kSoftwareVersion & 0xFF));
    data.push_back(static_cast<char>(kSoftwareVersion >> 8));
    data += kDescription;
    data.push_back('\0');
    std::string out(1, static_cast<char>(kDle));
    unsigned sum = 0;
    auto put = [&](std::uint8_t b) {
        sum += b;
        out.push_back(static_cast<char>(b));
        if (b == kDle) out.push_back(static_cast<char>(kDle));
    };
    put(kPidProductData);
    put(static_cast<std::uint8_t>(data.size()));
    for (const char c : data) put(static_cast<std::uint8_t>(c));
    const auto checksum = static_cast<std::uint8_t>(-sum & 0xFF);
    out.push_back(static_cast<char>(checksum));
    if (checksum == kDle) out.push_back(static_cast<char>(kDle));
    out.push_back(static_cast<char>(kDle));
    out.push_back(static_cast<char>(kEtx));
    return out;
}

}  // namespace

std::string Receiver::answer(std::uint8_t id, std::uint8_t packetId, bool badChecksum) {
    GarminPacket p;
    p.id = id;
    p.size = 2;
    p.data[0] = packetId;
    std::string frame = buildPacket(p);
    if (badChecksum) {
        // The checksum is the byte before DLE ETX (and never a DLE for these answers).
        frame[frame.size() - 3] = static_cast<char>(frame[frame.size() - 3] ^ 0x5A);
    }
    return frame;
}

std::string Receiver::noise() {
    std::string out;
    for (int i = 0; i < 16; ++i) {
        random_ = random_ * 1103515245u + 12345u + faults_.seed;
        auto b = static_cast<std::uint8_t>(random_ >> 16);
        if (b == kDle) b = 0x55;
        out.push_back(static_cast<char>(b));
    }
    return out;
}

Reply Receiver::receive(const GarminFrame& frame) {
    Reply reply;
    const int n = ++packets_;
    auto every = [n](int k) { return k > 0 && n % k == 0; };
    if (!frame.checksumOk()) {
        reply.lines.push_back("bad checksum in packet " + std::to_string(n));
        if (faults_.silentAfter < 0 || n <= faults_.silentAfter) reply.bytes = answer(kPidNak, frame.id(), false);
        return reply;
    }
    const bool negative = every(faults_.nakEvery);
    const std::string_view data = frame.data();
    if (!negative) {
        char line[160];
        switch (frame.id()) {
        case kPidProductRequest: reply.lines.push_back("product request"); break;
        case kPidRecords:
            if (data.size() >= 2) reply.lines.push_back("records " + std::to_string(u16At(data)));
            break;
        case kPidTrackHeader:
            if (data.size() >= 3)
                reply.lines.push_back("header " + quoted(data.substr(2, data.find('\0', 2) - 2)));
            break;
        case kPidTrackPoint:
            if (data.size() >= 24) {
                const std::int32_t lat = i32At(data, 0), lon = i32At(data, 4);
                std::snprintf(line, sizeof line, "point %d %.7f %.7f %d %d%s", points_++,
                              semicirclesToDegrees(lat), semicirclesToDegrees(lon), lat, lon,
                              data[20] ? " new" : "");
                reply.lines.emplace_back(line);
            }
            break;
        case kPidTransferComplete:
            if (data.size() >= 2) reply.lines.push_back("transfer complete " + std::to_string(u16At(data)));
            break;
        default:
            std::snprintf(line, sizeof line, "packet id %d size %d", frame.id(), frame.size());
            reply.lines.emplace_back(line);
        }
    } else {
        reply.lines.push_back("refused packet " + std::to_string(n));
    }
    if (faults_.silentAfter >= 0 && n > faults_.silentAfter) return reply;
    if (every(faults_.garbageEvery)) reply.bytes += noise();
    reply.bytes += answer(negative ? kPidNak : kPidAck, frame.id(), every(faults_.badChecksumEvery));
    if (frame.id() == kPidProductRequest && !negative) reply.bytes += productDataFrame();
    return reply;
}

}  // namespace vexa::garminsim
