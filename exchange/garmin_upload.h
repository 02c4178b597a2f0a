// "Send Route to Garmin": the route goes to a Garmin receiver as a track over the serial link
// protocol at 9600 baud, each packet answered before the next is sent.
//
// The upload works on its own copy of the route (GarminUploadJob), taken when it starts, so
// the route may be edited meanwhile. Its progress goes to the diagnostic text through
// `addLine`; the port is closed at the end, so that "GPS Start" opens it afresh at its own
// baud rate.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "exchange/garmin_packet.h"
#include "geo/grid_context.h"
#include "geo/track_point.h"

namespace vexa {

class SerialPort;
struct RouteTable;

inline constexpr int kGarminBaud = 9600;
// Longest wait for the next byte of an answer: the GPS reader's give-up time.
inline constexpr std::chrono::milliseconds kGarminAnswerTimeout{5000};
inline constexpr std::size_t kAnswerBufferBytes = 1025;

// What the upload sends: a copy of the route and the grid its points are on.
struct GarminUploadJob {
    std::vector<TrackPoint> points;
    GridContext grid;
    std::string trackName;  // 8-bit, at most 15 characters; empty: no header
    std::string portName;   // for the diagnostic lines ("COM1:" or the device)
    std::string device;     // what to open
};

GarminUploadJob makeGarminUploadJob(const RouteTable& route, const GridContext& grid,
                                    std::string trackName, std::string portName,
                                    std::string device);

// The link to the receiver and where the upload reports.
struct GarminUpload {
    explicit GarminUpload(SerialPort& serial) : port(serial) {}

    SerialPort& port;
    std::function<void(std::string_view)> addLine;      // a line of the diagnostic text
    std::function<void(std::string_view)> showMessage;  // a message box without title
    std::function<void()> showTextView;                 // brings the diagnostic text to the front
    std::function<void(int sent, int total)> pointSent;  // after each acknowledged track point
    bool logging = false;  // NMEA logging is on: every byte is traced
    std::chrono::milliseconds answerTimeout = kGarminAnswerTimeout;
    std::atomic<bool> stopRequested{false};  // at exit: stop waiting for answers

    GarminFrame answer;        // the last complete answer
    bool writeFailed = false;  // a packet could not be written (already reported)
};

struct GarminUploadResult {
    int points = 0;        // route points to send
    int pointsSent = 0;    // track points sent and answered
    int packets = 0;       // packets that were answered or should have been
    int acknowledged = 0;  // of them, acknowledged with a good checksum
    bool complete = false; // the transfer reached its end
    int openError = 0;     // the port did not open: its error number
    // Every packet reached the receiver and was acknowledged.
    bool ok() const { return complete && acknowledged == packets; }
};

// Frames and writes a packet; "Byte %d %02X" per byte when logging. False (after the message
// box) when the write failed.
bool sendPacket(GarminUpload& up, const GarminPacket& packet);
// Waits for one complete frame: 0, or −1 on time-out or overflow.
int readAnswer(GarminUpload& up);
// Records packet, then the track header when a name is set: ≥ 0, or −1 when an answer is
// missing.
int sendTrackHeader(GarminUpload& up, int count, const std::string& trackName,
                    GarminUploadResult* result = nullptr);
// The whole transfer on the calling thread: opens the port at 9600 baud, sends, closes it.
GarminUploadResult track2gps(GarminUpload& up, const GarminUploadJob& job);

}  // namespace vexa
