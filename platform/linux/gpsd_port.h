// SerialPort over a connection to gpsd: the daemon owns the receiver (in any protocol it
// speaks) and hands its NMEA stream to watchers. Opening connects over TCP and asks for that
// stream with ?WATCH={"enable":true,"nmea":true}; from then on the bytes flow through the same
// framing and parsers as those of a serial receiver.
//
// gpsd answers the watch with JSON lines (VERSION, DEVICES, WATCH); lines that begin with '{'
// are dropped here, so that the NMEA list shows sentences only. A closed connection reads as a
// device failure, like a pulled cable.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "platform/linux/descriptor_port.h"

namespace vexa {

struct GpsdAddress {
    std::string host = "localhost";
    std::string port = "2947";
};

// "gpsd" (the default address), "gpsd://HOST", "gpsd://HOST:PORT" or "gpsd://[IPv6]:PORT";
// nothing for every other name.
std::optional<GpsdAddress> parseGpsdAddress(std::string_view name);
// The name that parseGpsdAddress reads back: "gpsd://HOST:PORT".
std::string gpsdPortName(const GpsdAddress& address);

class GpsdPort : public DescriptorPort {
public:
    static constexpr int kConnectTimeoutMs = 3000;

    // `device` is a gpsd name as parseGpsdAddress takes it; the baud rate is gpsd's business.
    SerialError open(const std::string& device, int baud) override;
    // gpsd takes no bytes for the receiver over a watch: writing fails with EOPNOTSUPP.
    SerialError write(std::string_view bytes) override;
    SerialError purge() override;

private:
    std::size_t takeReceived(char* into, std::size_t capacity) override;
    std::optional<ReadResult> readReady(short revents) override;

    // Received bytes not yet handed out; only the reading thread touches them while open.
    std::array<char, 4096> buffer_{};
    std::size_t begin_ = 0, end_ = 0;
    bool lineStart_ = true;
    bool skippingJson_ = false;
};

}  // namespace vexa
