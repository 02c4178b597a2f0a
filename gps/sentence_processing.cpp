#include "gps/sentence_processing.h"

#include <mutex>
#include <utility>

#include "util/diagnostic_text.h"
#include "frame/frame_state.h"
#include "frame/settings.h"
#include "gps/gps_input.h"
#include "gps/gps_state.h"
#include "gps/gps_views.h"
#include "gps/nmea_checksum.h"
#include "gps/nmea_fields.h"
#include "gps/nmea_log.h"
#include "gps/nmea_talker.h"
#include "gps/position_parsers.h"
#include "gps/satellite_parsers.h"
#include "gps/satellites.h"
#include "platform/clock.h"
#include "platform/ui.h"
#include "util/text.h"

namespace vexa {

namespace {

enum class Mode { Live, Replay };

bool logging(const GpsInput& in) { return in.log.active.load(std::memory_order_relaxed); }

bool timerRan(float timer, long interval) { return timer >= static_cast<float>(interval); }

void writeGsvCycle(GpsInput& in) {
    SatelliteState& sats = in.satellites;
    const int last = sats.gsvCycleStarted ? std::min(sats.gsvTotal, kGsvSlots) : 0;
    for (int i = 0; i < last; ++i) WriteLogFile(in.log, sats.gsvCycle[static_cast<std::size_t>(i)]);
    sats.gsvCycleStarted = false;
}

// Distance mark bookkeeping around a position sentence and its log rule.
void addToMark(double& mark, double d) {
    mark += d;
    if (mark < 0.0) mark = 0.0;
}

void resetMarkWhenPassed(const GpsInput& in, double& mark) {
    if (mark > static_cast<double>(in.settings.imindist)) mark = 0.0;
}

// RMC or GGA: the applying step, the distance mark and the log rule. A GGA is logged after a
// logged RMC even when the receiver has not moved, so the log holds both of the fix.
void positionStep(GpsInput& in, LogTimers& t, SentenceTag tag, std::string_view line, Mode mode) {
    const bool rmc = tag.type == SentenceType::Rmc;
    if (!rmc && tag.type != SentenceType::Gga) return;
    const long interval = rmc ? in.settings.LRmcLogTime : in.settings.LGgaLogTime;
    if (interval < 0) return;
    GpsState& gps = in.gps;
    double& mark = rmc ? gps.rmcDistanceSinceMark : gps.ggaDistanceSinceMark;
    float& timer = rmc ? t.rmc : t.gga;
    if (mode == Mode::Live) AddLatin1ListLine(in.diagnostics, line);
    (rmc ? gps.rmcSeen : gps.ggaSeen) = true;
    addToMark(mark, (rmc ? parseRMC : parseGGA)(in, line, true, true));
    const bool due = mark > static_cast<double>(in.settings.imindist) || (!rmc && t.forceGga);
    if (logging(in) && due && interval > 0 &&
        (mode == Mode::Replay || (gps.fixValid && timerRan(timer, interval)))) {
        WriteLogFile(in.log, line);
        t.forceGga = rmc;
        if (mode == Mode::Live) {
            timer = 0.0f;
            if (!rmc) mark = 0.0;
        }
    }
    resetMarkWhenPassed(in, mark);
}

// GSA sentences are logged per system: the talker with the system of the used satellites.
std::uint32_t gsaLogKey(const GpsInput& in, SentenceTag tag) {
    const SatelliteState& sats = in.satellites;
    const int system = sats.usedLast >= 0 ? sats.used[static_cast<std::size_t>(sats.usedLast)].system : 0;
    return static_cast<std::uint32_t>(tag.talker) << 8 | static_cast<std::uint32_t>(system);
}

void gsaStep(GpsInput& in, LogTimers& t, SentenceTag tag, std::string_view line, Mode mode) {
    if (tag.type != SentenceType::Gsa || in.settings.LGsaLogTime < 0) return;
    if (mode == Mode::Live) AddLatin1ListLine(in.diagnostics, line);
    in.gps.gsaSeen = true;
    parseGSA(in, line);
    if (!logging(in)) return;
    if (mode == Mode::Replay) {
        WriteLogFile(in.log, line);
    } else if (float& timer = t.gsa.of(gsaLogKey(in, tag));
               in.settings.LGsaLogTime > 0 && timerRan(timer, in.settings.LGsaLogTime)) {
        WriteLogFile(in.log, line);
        timer = 0.0f;
    }
}

void gsvStep(GpsInput& in, LogTimers& t, SentenceTag tag, std::string_view line, Mode mode) {
    if (tag.type != SentenceType::Gsv || in.settings.LGsaLogTime < 0) return;
    GpsState& gps = in.gps;
    if (mode == Mode::Live) AddLatin1ListLine(in.diagnostics, line);
    gps.gsvSeen = true;
    // While a fix is held, RMC and GGA refresh the GPS view instead.
    const bool refresh = mode == Mode::Live ? !gps.fixValid : !(gps.rmcSeen && gps.ggaSeen);
    const int complete = parseGSV(in, line, refresh);
    if (!logging(in) || !complete) return;
    if (mode == Mode::Replay) {
        writeGsvCycle(in);
    } else if (float& timer = t.gsv.of(in.satellites.gsvKey);
               in.settings.LGsaLogTime > 0 && timerRan(timer, in.settings.LGsaLogTime)) {
        writeGsvCycle(in);
        timer = 0.0f;
    }
}

// The rare lines of the live sequence stay out of its way (debug mode, a receiver that sends
// no position sentence).
[[gnu::cold]] [[gnu::noinline]] void addTickLine(GpsInput& in, std::uint32_t now, float dt) {
    AddNmeaListLine(in.diagnostics, strprintf("readPacketNMEA End Tick Count = <%ld> deltatime=<%0.3f>",
                                              static_cast<long>(now), static_cast<double>(dt)));
}

[[gnu::cold]] [[gnu::noinline]] void askForPositionSentences(GpsInput& in) {
    in.ui.setWindowTitle("RMC/GGA aktivieren");
    AddNmeaListLine(in.diagnostics, "Tools->Einstellungen->Log Einstellungen");
    AddNmeaListLine(in.diagnostics, "$GPRMC oder $GPGGA aktivieren");
}

void fixChangeSignal(GpsInput& in, LiveSequenceState& state) {
    GpsState& gps = in.gps;
    if (gps.fixValid && !state.previousFix) {
        in.ui.beep();  // fix acquired
    } else if (!gps.fixValid && state.previousFix) {
        in.ui.beep();  // fix lost
        if (in.frame.displayMode.load() == DisplayMode::Move)
            in.views.show_pos({in.last.grid, gps.course, gps.speed, gps.altitude,
                               gps.tripDistance, gps.elapsedText.view()});
    }
    state.previousFix = gps.fixValid;
}

}  // namespace

void resetForRun(GpsInput& in) {
    GpsState& gps = in.gps;
    gps.gsaSeen = false;
    gps.gsvSeen = false;
    gps.traceSegmentStart = true;
    gps.traceFirstFix = true;
    gps.noFixShown = false;
    gps.clockSetRefused = false;
    // A new leg: no distance or course is taken from a fix of an earlier run.
    gps.fixValid = false;
    gps.rmcPrevValid = false;
    gps.ggaPrevValid = false;
    gps.rmcDistanceSinceMark = static_cast<double>(in.settings.imindist) + 1.0;
    gps.ggaDistanceSinceMark = static_cast<double>(in.settings.imindist) + 1.0;
}

[[gnu::hot]] float& KeyedLogTimers::of(std::uint32_t key) {
    for (int i = 0; i < count; ++i)
        if (keys[static_cast<std::size_t>(i)] == key) return seconds[static_cast<std::size_t>(i)];
    const int slot = count < kKeys ? count++ : kKeys - 1;
    keys[static_cast<std::size_t>(slot)] = key;
    seconds[static_cast<std::size_t>(slot)] = sinceStart;
    return seconds[static_cast<std::size_t>(slot)];
}

[[gnu::hot]] void KeyedLogTimers::advance(float dt) {
    sinceStart += dt;
    for (int i = 0; i < count; ++i) seconds[static_cast<std::size_t>(i)] += dt;
}

[[gnu::hot]] void ProcessLiveSentence(GpsInput& in, LiveSequenceState& state, std::string_view line) {
    const std::uint32_t now = in.clock.tickCount();
    const float dt = static_cast<float>(now - state.lastTick) * 0.001f;
    state.lastTick = now;
    if (in.diagnostics.debugMode.load(std::memory_order_relaxed)) addTickLine(in, now, dt);
    LogTimers& t = state.timers;
    t.gsa.advance(dt);
    t.gsv.advance(dt);
    t.rmc += dt;
    t.gga += dt;
    in.gps.traceTimer += dt;

    const SentenceTag tag = sentenceTag(line);
    gsaStep(in, t, tag, line, Mode::Live);
    gsvStep(in, t, tag, line, Mode::Live);
    fixChangeSignal(in, state);
    positionStep(in, t, tag, line, Mode::Live);
    if (!in.gps.rmcSeen && !in.gps.ggaSeen) askForPositionSentences(in);
    if (in.frame.displayMode.load() == DisplayMode::Nmea) in.views.refreshNmeaList();
}

void ProcessReplaySentence(GpsInput& in, LogTimers& timers, std::string_view line) {
    bool deferred = false;
    {
        std::lock_guard lock(in.stateMutex);
        // The sentence tag is found after stray bytes; the list shows the line as read.
        const std::string_view sentence = sentenceIn(line);
        CheckNMEARecord(in.diagnostics, sentence);
        const SentenceTag tag = sentenceTag(sentence);
        positionStep(in, timers, tag, sentence, Mode::Replay);
        gsaStep(in, timers, tag, sentence, Mode::Replay);
        gsvStep(in, timers, tag, sentence, Mode::Replay);
        AddLatin1ListLine(in.diagnostics, line);
        in.views.keepAwake();
        if (in.frame.displayMode.load() == DisplayMode::Nmea) in.views.refreshNmeaList();
        deferred = in.satellites.overlongGsv;
    }
    if (deferred) ShowDeferredMessages(in);
}

void ShowDeferredMessages(GpsInput& in) {
    bool overlong;
    {
        std::lock_guard lock(in.stateMutex);
        overlong = std::exchange(in.satellites.overlongGsv, false);
    }
    if (overlong) in.ui.messageBox("parseGSV inbuffer > MAXBUF", "");
}

}  // namespace vexa
