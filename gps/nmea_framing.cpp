#include "gps/nmea_framing.h"

#include <cstring>
#include <mutex>
#include <string_view>

#include "util/diagnostic_text.h"
#include "gps/gps_input.h"
#include "gps/gps_state.h"
#include "gps/gps_views.h"
#include "gps/nmea_checksum.h"
#include "gps/nmea_talker.h"
#include "gps/satellite_parsers.h"
#include "gps/satellites.h"
#include "platform/clock.h"
#include "platform/serial_port.h"
#include "frame/settings.h"
#include "util/text.h"

namespace vexa {

namespace {

void overflow(GpsInput& in, ReaderState& reader, SerialPort* port) {
    std::lock_guard lock(in.stateMutex);
    AddNmeaListLine(in.diagnostics, "inbuffer > 500");
    AddReceivedLine(in, std::string_view(reader.line.data(), reader.length));
    if (port) {
        if (const SerialError failed = port->purge())
            ReportSystemError(in.diagnostics, __LINE__, failed.error, "readPacketNMEA PurgeComm");
    }
    reader.length = 0;
    clearGsvCycles(in.satellites);
}

// A line is taken when its checksum is right, or when it has none and the receiver has not
// sent any (older receivers send none; from one that does, a line without is damaged).
bool accepted(GpsInput& in, LiveSequenceState& sequence, std::string_view sentence) {
    const ChecksumResult result = nmeaChecksum(sentence);
    if (reportChecksum(in.diagnostics, result)) {
        sequence.checksumsSeen = true;
        return true;
    }
    return !sequence.checksumsSeen && result == ChecksumResult::Missing;
}

void completeLine(GpsInput& in, ReaderState& reader) {
    std::unique_lock lock(in.stateMutex);
    // Keeps the machine awake while data flows and re-applies the display power state.
    in.views.keepAwake();
    // The line is a zero-terminated text: a NUL byte ends it.
    std::string_view line(reader.line.data(), reader.length);
    line = line.substr(0, line.find('\0'));
    if (!line.empty() && in.diagnostics.debugMode.load(std::memory_order_relaxed))
        AddReceivedLine(in, line);
    // The sentence starts at the line's last '$': stray bytes before it are skipped.
    const std::string_view sentence = sentenceIn(line);
    if (!sentence.empty() && accepted(in, reader.sequence, sentence))
        ProcessLiveSentence(in, reader.sequence, sentence);
    reader.length = 0;
    const bool deferred = in.satellites.overlongGsv;
    lock.unlock();
    if (deferred) ShowDeferredMessages(in);
}

}  // namespace

void StartReception(GpsInput& in, ReaderState& reader) {
    std::lock_guard lock(in.stateMutex);
    const std::uint32_t now = in.clock.tickCount();
    if (in.diagnostics.debugMode.load())
        AddNmeaListLine(in.diagnostics,
                        strprintf("readPacketNMEA Start Tick Count = <%ld>", static_cast<long>(now)));
    resetForRun(in);
    reader.sequence = LiveSequenceState{};
    reader.sequence.lastTick = now;
    reader.length = 0;
}

void AppendSpecialByte(GpsInput& in, ReaderState& reader, SerialPort* port, unsigned char byte) {
    if (byte == '\n' || byte == '\r') completeLine(in, reader);
    else overflow(in, reader, port);
}

}  // namespace vexa
