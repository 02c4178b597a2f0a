// garmin:DEVICE: the route goes to the receiver as a track, with a progress bar on a terminal
// or the upload's own lines packet by packet.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>

#include "exchange/garmin_link.h"
#include "exchange/garmin_upload.h"
#include "platform/linux/termios_serial_port.h"
#include "tools/vexa-convert/conversion.h"

namespace vexa {

namespace {

using Clock = std::chrono::steady_clock;

// Points sent of all, the rate so far, and how long the rest takes at the link's baud rate
// (a point packet and its acknowledgement, ten bits a byte): what the receiver may add on
// top of that, the bar cannot know.
class UploadBar {
public:
    void operator()(int sent, int total) {
        static const std::size_t pointBytes = buildPacket(llh2track(0, 0)).size() + kAckFrameBytes;
        const double elapsed = std::chrono::duration<double>(Clock::now() - began_).count();
        const int left = static_cast<int>((total - sent) * pointBytes * 10 / kGarminBaud);
        constexpr int kWidth = 30;
        const int filled = total > 0 ? sent * kWidth / total : kWidth;
        std::fprintf(stderr, "\r[%.*s%*s] %d/%d points  %.1f points/s  %d:%02d left ", filled,
                     "##############################", kWidth - filled, "", sent, total,
                     elapsed > 0 ? sent / elapsed : 0.0, left / 60, left % 60);
        std::fflush(stderr);
        shown_ = true;
    }
    ~UploadBar() {
        if (shown_) std::fputc('\n', stderr);
    }

private:
    static constexpr std::size_t kAckFrameBytes = 8;  // DLE, id, size, packet id, 0, checksum, DLE, ETX
    Clock::time_point began_ = Clock::now();
    bool shown_ = false;
};

void complain(const std::string& device, const std::string& what) {
    std::fprintf(stderr, "vexa-convert: %s: %s\n", device.c_str(), what.c_str());
}

}  // namespace

ExitStatus sendToGarmin(const Endpoint& target, const Conversion& conversion) {
    GarminLink link;
    setGarminTrackName(link, conversion.givenName.value_or(conversion.name));
    TermiosSerialPort port;
    GarminUpload up(port);
    UploadBar bar;
    if (conversion.talk == Conversion::Talk::Verbose)
        up.addLine = [](std::string_view line) {
            std::fprintf(stderr, "%.*s\n", static_cast<int>(line.size()), line.data());
        };
    else if (conversion.talk == Conversion::Talk::Normal && isatty(STDERR_FILENO))
        up.pointSent = std::ref(bar);
    const GarminUploadResult r =
        track2gps(up, makeGarminUploadJob(*conversion.route, conversion.grid, link.trackName, target.device, target.device));
    if (r.ok()) return kConverted;
    if (r.openError != 0)
        complain(target.device, std::string("cannot open the device: ") + std::strerror(r.openError));
    else if (up.writeFailed)
        complain(target.device, "cannot write to the device");
    else if (!r.complete)
        complain(target.device, "no answer from the receiver after " + std::to_string(r.pointsSent) + " of " +
                                    std::to_string(r.points) + " points");
    else
        complain(target.device, "the receiver did not acknowledge " + std::to_string(r.packets - r.acknowledged) +
                                    " of " + std::to_string(r.packets) + " packets");
    return kFailed;
}

}  // namespace vexa
