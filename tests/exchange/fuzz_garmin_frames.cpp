// libFuzzer target: arbitrary bytes through the frame reassembly, each frame through the
// virtual Garmin's receiver, and a packet made of the input framed and read back whole.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "exchange/garmin_packet.h"
#include "tools/garminsim/receiver.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vexa;
    GarminFrameReader reader;
    garminsim::Receiver receiver(garminsim::Faults{});
    for (std::size_t i = 0; i < size; ++i) {
        if (reader.feed(data[i]) != GarminFrameReader::Event::Frame) continue;
        const GarminFrame& frame = reader.frame();
        if (frame.bytes.size() < 4 || static_cast<std::uint8_t>(frame.bytes[0]) != kDle) std::abort();
        receiver.receive(frame);
    }
    // Whatever a packet holds, its frame comes back as one frame with a good checksum.
    if (size >= 1) {
        GarminPacket packet;
        packet.id = data[0];
        packet.size = static_cast<std::uint8_t>(std::min<std::size_t>(size - 1, kGarminMaxData));
        for (std::size_t i = 0; i < packet.size; ++i) packet.data[i] = data[1 + i];
        GarminFrameReader fresh;
        int frames = 0;
        for (const char c : buildPacket(packet))
            if (fresh.feed(static_cast<std::uint8_t>(c)) == GarminFrameReader::Event::Frame) {
                ++frames;
                if (!fresh.frame().checksumOk() || fresh.frame().id() != packet.id) std::abort();
            }
        if (frames != 1) std::abort();
    }
    return 0;
}
