#include "gps/nmea_framing.h"

#include <cstring>
#include <mutex>
#include <string_view>

#include "util/byte_mask.h"
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

// One line, with the state mutex held.
void processLine(GpsInput& in, LiveSequenceState& sequence, std::string_view line) {
    // Keeps the machine awake while data flows and re-applies the display power state.
    in.views.keepAwake();
    // The line is a zero-terminated text: a NUL byte ends it.
    line = line.substr(0, line.find('\0'));
    if (!line.empty() && in.diagnostics.debugMode.load(std::memory_order_relaxed))
        AddLatin1ListLine(in.diagnostics, line);
    // The sentence starts at the line's last '$': stray bytes before it are skipped.
    const std::string_view sentence = sentenceIn(line);
    if (!sentence.empty() && accepted(in, sequence, sentence)) ProcessLiveSentence(in, sequence, sentence);
}

void processWaitingLines(GpsInput& in, ReaderState& reader) {
    LineBacklog& backlog = reader.backlog;
    for (; backlog.count > 0; --backlog.count, backlog.first = (backlog.first + 1) % LineBacklog::kLines)
        processLine(in, reader.sequence, backlog.lines[backlog.first]);
}

void overflow(GpsInput& in, ReaderState& reader, SerialPort* port) {
    std::lock_guard lock(in.stateMutex);
    processWaitingLines(in, reader);
    AddNmeaListLine(in.diagnostics, "inbuffer > 500");
    AddLatin1ListLine(in.diagnostics, std::string_view(reader.line.data(), reader.length));
    if (port) {
        if (const SerialError failed = port->purge())
            ReportSystemError(in.diagnostics, __LINE__, failed.error, "readPacketNMEA PurgeComm");
    }
    reader.length = 0;
    clearGsvCycles(in.satellites);
}

// A received line never outgrows a GSV slot, so no box about an overlong GSV waits for the
// state to be released here (a replayed file's lines may be longer).
static_assert(kMaxLineChars <= kGsvSlotChars);

bool keep(LineBacklog& backlog, std::string_view line) {
    if (backlog.count == LineBacklog::kLines) return false;
    backlog.lines[(backlog.first + backlog.count++) % LineBacklog::kLines].assign(line);
    return true;
}

// The line, and the empty line of a CR LF pair (`pairEnd`), with one lock.
void completeLine(GpsInput& in, ReaderState& reader, std::string_view line, bool pairEnd) {
    std::unique_lock lock(in.stateMutex, std::try_to_lock);
    bool lineKept = false, emptyKept = !pairEnd;
    if (!lock.owns_lock()) {
        lineKept = keep(reader.backlog, line);
        emptyKept = !pairEnd || (lineKept && keep(reader.backlog, {}));
        if (lineKept && emptyKept) return;
        lock.lock();  // a full backlog waits
    }
    processWaitingLines(in, reader);
    if (!lineKept) processLine(in, reader.sequence, line);
    if (!emptyKept) processLine(in, reader.sequence, {});
}

// Where the first CR or LF is, or `end`.
const char* lineEnd(const char* p, const char* end) {
#if defined(__SSE2__)
    const char* const start = p;
    const auto ends = [](const char* at) { return byteMask16(at, '\r') | byteMask16(at, '\n'); };
    for (; end - p >= 16; p += 16)
        if (const unsigned found = ends(p)) return p + __builtin_ctz(found);
    if (p == end) return end;
    // The rest: the last sixteen bytes again, those before `p` shifted out.
    if (end - start >= 16) {
        const unsigned found = ends(end - 16) >> (16 - (end - p));
        return found ? p + __builtin_ctz(found) : end;
    }
#endif
    for (; p < end; ++p)
        if (*p == '\r' || *p == '\n') return p;
    return end;
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
    reader.backlog.count = 0;
}

void ProcessBacklog(GpsInput& in, ReaderState& reader, bool wait) {
    if (reader.backlog.count == 0) return;
    std::unique_lock lock(in.stateMutex, std::defer_lock);
    if (wait) lock.lock();
    else if (!lock.try_lock()) return;
    processWaitingLines(in, reader);
}

// The live path's functions, from the received bytes to the GPS state, are marked hot: the
// compiler keeps them together, apart from the rest of the program, so that a reader woken
// after a frame was drawn finds them on few pages and cache lines.
[[gnu::hot]] void AppendBytes(GpsInput& in, ReaderState& reader, SerialPort* port, std::string_view bytes) {
    const char* p = bytes.data();
    const char* const end = p + bytes.size();
    while (p < end) {
        const char* const stop = lineEnd(p, end);
        const std::size_t run = static_cast<std::size_t>(stop - p);
        const std::size_t room = kMaxLineChars - reader.length;
        if (run > room) {
            // The character after the full line is dropped with it.
            std::memcpy(reader.line.data() + reader.length, p, room);
            reader.length = kMaxLineChars;
            overflow(in, reader, port);
            p += room + 1;
            continue;
        }
        if (stop == end) {
            std::memcpy(reader.line.data() + reader.length, p, run);
            reader.length += run;
            return;
        }
        // A line that lies whole in this read is taken where it is.
        std::string_view line(p, run);
        if (reader.length > 0) {
            std::memcpy(reader.line.data() + reader.length, p, run);
            line = std::string_view(reader.line.data(), reader.length + run);
            reader.length = 0;
        }
        const bool pairEnd = *stop == '\r' && stop + 1 < end && stop[1] == '\n';
        completeLine(in, reader, line, pairEnd);
        p = stop + (pairEnd ? 2 : 1);
    }
}

}  // namespace vexa
