#include "exchange/garmin_upload.h"

#include "geo/grid_refresh.h"
#include "platform/serial_port.h"
#include "routes/route_table.h"
#include "util/text.h"

namespace vexa {

namespace {

using SteadyClock = std::chrono::steady_clock;

void line(GarminUpload& up, std::string_view text) {
    if (up.addLine) up.addLine(text);
}

void logBytes(GarminUpload& up, std::string_view bytes) {
    for (std::size_t i = 0; i < bytes.size(); ++i)
        line(up, strprintf("Byte %d %02X", static_cast<int>(i), static_cast<std::uint8_t>(bytes[i])));
}

// Writes a fixed frame; `what` names it in the failure line.
bool sendFixed(GarminUpload& up, std::string_view frame, const char* what) {
    if (up.logging) {
        logBytes(up, frame);
        line(up, strprintf("Send %d Bytes to GPS", static_cast<int>(frame.size())));
    }
    if (up.port.write(frame)) {
        line(up, strprintf("%s: 0 Bytes written to GPS", what));
        return false;
    }
    return true;
}

void reportPortError(GarminUpload& up, const SerialError& failed, const std::string& portName) {
    line(up, strprintf("%s function=%.*s error=%ld", portName.c_str(),
                       static_cast<int>(failed.function.size()), failed.function.data(),
                       static_cast<long>(failed.error)));
}

void closeGarminPort(GarminUpload& up, const std::string& portName) {
    if (const SerialError failed = up.port.close()) {
        reportPortError(up, failed, portName);
        line(up, strprintf("Close %s not ok", portName.c_str()));
        return;
    }
    line(up, strprintf("Close %s ok", portName.c_str()));
}

// The answer to a packet just sent: counts it, and whether the receiver acknowledged it.
bool awaitAcknowledgement(GarminUpload& up, std::uint8_t packetId, GarminUploadResult* result) {
    if (result) ++result->packets;
    if (readAnswer(up) < 0) return false;
    if (result && up.answer.acknowledges(packetId)) ++result->acknowledged;
    return true;
}

// Steps after the port is open: product request, header, points, transfer complete.
void transfer(GarminUpload& up, const GarminUploadJob& job, GarminUploadResult& r) {
    const int count = r.points;
    auto noAnswer = [&] {
        if (up.writeFailed) return;
        line(up, strprintf("Keine Antwort vom GPS: %d von %d Track-Points gesendet", r.pointsSent, count));
    };
    if (!sendFixed(up, kProductRequestFrame, "PROD_ID")) return;
    // The acknowledgement, then the product data.
    if (!awaitAcknowledgement(up, kPidProductRequest, &r)) return noAnswer();
    if (readAnswer(up) < 0) return noAnswer();
    line(up, strprintf("Send %d Track-Points to:", count));
    const GarminFrame product = up.answer;
    if (product.bytes.size() > 7) {
        const std::string description = product.bytes.substr(7, product.bytes.size() - 8);
        line(up, latin1ToUtf8(description.substr(0, description.find('\0'))));
    }
    if (count == 0) return;
    if (sendTrackHeader(up, count, job.trackName, &r) < 0) return noAnswer();

    for (int i = 0; i < count; ++i) {
        if (up.stopRequested) return;
        const TrackPoint& point = job.points[static_cast<std::size_t>(i)];
        const GeodeticPoint geo = storedPointToWgs84(point.gridX, point.gridY, point.datumCode, job.grid);
        GarminPacket packet = llh2track(geo.longitude, geo.latitude);
        // Each piece of the route (after a leg that is not drawn) begins a track segment.
        setNewTrack(packet, i == 0 || job.points[static_cast<std::size_t>(i - 1)].lineKind == LineKind::NotDrawn);
        if (!sendPacket(up, packet)) return;
        line(up, strprintf("Send %03d: breite=%8.6f laenge=%8.6f", i, geo.latitude, geo.longitude));
        if (!awaitAcknowledgement(up, kPidTrackPoint, &r)) return noAnswer();
        ++r.pointsSent;
        if (up.pointSent) up.pointSent(r.pointsSent, count);
    }
    if (!sendFixed(up, kTransferCompleteFrame, "EOF_TRACE")) return;
    r.complete = true;
    // The receiver acknowledges the end too; a missing answer only leaves it unacknowledged.
    awaitAcknowledgement(up, kPidTransferComplete, &r);
    const int unacknowledged = r.packets - r.acknowledged;
    line(up, unacknowledged == 0
                 ? strprintf("Track mit %d Punkten übertragen", r.pointsSent)
                 : strprintf("Track mit %d Punkten übertragen, %d Pakete nicht quittiert",
                             r.pointsSent, unacknowledged));
}

}  // namespace

GarminUploadJob makeGarminUploadJob(const RouteTable& route, const GridContext& grid,
                                    std::string trackName, std::string portName,
                                    std::string device) {
    GarminUploadJob job;
    const int n = route.count < 0 ? 0 : (route.count > kRouteCapacity ? kRouteCapacity : route.count);
    job.points.assign(route.points.begin(), route.points.begin() + n);
    job.grid = grid;
    job.trackName = std::move(trackName);
    job.portName = std::move(portName);
    job.device = std::move(device);
    return job;
}

bool sendPacket(GarminUpload& up, const GarminPacket& packet) {
    const std::string frame = buildPacket(packet);
    if (up.logging) logBytes(up, frame);
    if (const SerialError failed = up.port.write(frame)) {
        up.writeFailed = true;
        if (up.showMessage) up.showMessage("Error: 0 Bytes written to GPS");
        return false;
    }
    return true;
}

int readAnswer(GarminUpload& up) {
    up.answer.bytes.clear();
    if (up.logging) line(up, "Read Answer from GPS");
    GarminFrameReader reader;
    std::string received;  // every byte of this answer, noise included
    auto lastByte = SteadyClock::now();
    for (;;) {
        if (up.stopRequested) return -1;
        if (!up.port.isOpen()) return 0;
        const ReadResult read = up.port.readByte();
        if (read.status == ReadStatus::Closed || read.status == ReadStatus::Error) return -1;
        if (read.status == ReadStatus::Idle) {
            if (SteadyClock::now() - lastByte >= up.answerTimeout) return -1;
            continue;
        }
        lastByte = SteadyClock::now();
        received.push_back(static_cast<char>(read.byte));
        if (read.byte == kPidAck && up.logging) line(up, "ACK from GPS");
        if (reader.feed(read.byte) == GarminFrameReader::Event::Frame) break;
        if (received.size() >= kAnswerBufferBytes) {
            line(up, "inbuffer > 500");
            logBytes(up, std::string_view(received).substr(0, 30));
            return -1;
        }
    }
    up.answer = reader.frame();
    if (up.logging) {
        line(up, "Answer from GPS");
        logBytes(up, up.answer.bytes);
        unsigned sum = 0;
        for (std::size_t i = 1; i < up.answer.bytes.size(); ++i) {
            const auto b = static_cast<std::uint8_t>(up.answer.bytes[i]);
            sum = (sum + b) & 0xFF;
            line(up, strprintf("Checksum Byte %d %02X = %d", static_cast<int>(i), b, sum));
        }
        line(up, up.answer.checksumOk() ? "Checksum is ok" : "Checksum is not ok");
    }
    return 0;
}

int sendTrackHeader(GarminUpload& up, int count, const std::string& trackName,
                    GarminUploadResult* result) {
    const bool named = !trackName.empty();
    if (!sendPacket(up, recordsPacket(static_cast<std::uint16_t>(count + (named ? 1 : 0))))) return -1;
    if (!awaitAcknowledgement(up, kPidRecords, result)) return -1;
    if (!named) return 0;
    line(up, "Trackname: " + latin1ToUtf8(trackName));
    if (!sendPacket(up, trackHeaderPacket(trackName))) return -1;
    if (!awaitAcknowledgement(up, kPidTrackHeader, result)) return -1;
    return 1;
}

GarminUploadResult track2gps(GarminUpload& up, const GarminUploadJob& job) {
    GarminUploadResult r;
    r.points = static_cast<int>(job.points.size());
    up.writeFailed = false;
    if (up.port.isOpen()) closeGarminPort(up, job.portName);
    if (const SerialError failed = up.port.open(job.device, kGarminBaud)) {
        reportPortError(up, failed, job.portName);
        r.openError = failed.error;
        return r;
    }
    if (up.logging) line(up, strprintf("Open %s BaudRate 9600 ok", job.portName.c_str()));
    if (up.showTextView) up.showTextView();
    transfer(up, job, r);
    // Closed, not left at 9600 baud: "GPS Start" opens it again at the receiver's rate.
    if (up.port.isOpen()) closeGarminPort(up, job.portName);
    return r;
}

}  // namespace vexa
