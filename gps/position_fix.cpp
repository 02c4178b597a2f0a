#include "gps/position_fix.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <utility>

#include "util/diagnostic_text.h"
#include "frame/frame_state.h"
#include "frame/settings.h"
#include "geo/datum.h"
#include "geo/grid_context.h"
#include "geo/sun_times.h"
#include "gps/gps_input.h"
#include "gps/gps_state.h"
#include "gps/gps_views.h"
#include "gps/nmea_fields.h"
#include "gps/time_setting.h"
#include "platform/clock.h"
#include "platform/ui.h"
#include "geo/datum_code.h"
#include "routes/trace_table.h"

namespace vexa {

namespace {

constexpr std::uint32_t kScreenOffAfterMs = 60000;

int twoDigitsAt(std::string_view text, std::size_t at) {
    if (at >= text.size()) return 0;
    return parseInt(text.substr(at, 2));
}

// The zone or strip number that grid positions are given in.
int zoneNumber(const GridContext& grid) {
    return grid.LocalDatumGrid && !grid.Ed50Datum ? grid.GkStrip : grid.UtmZone;
}

}  // namespace

FieldBuffer::FieldBuffer(std::string_view field) {
    size = std::min(field.size(), sizeof data - 1);
    if (size > 0) std::memcpy(data, field.data(), size);
    data[size] = '\0';
}

bool plausibleFix(std::string_view time, std::string_view lat, std::string_view lon) {
    constexpr std::size_t kShortestCoordinate = 7;  // ddmm.mm
    return time.size() >= 6 && lat.size() >= kShortestCoordinate && lon.size() >= kShortestCoordinate;
}

void setGpsOnTitle(GpsInput& in) {
    char title[64];
    std::snprintf(title, sizeof title, "GPS an %s", in.frame.portName.c_str());
    in.ui.setWindowTitle(title);
}

int secondOfDay(std::string_view time) {
    return twoDigitsAt(time, 0) * 3600 + twoDigitsAt(time, 2) * 60 + twoDigitsAt(time, 4);
}

void updateElapsed(GpsState& gps, int second) {
    if (gps.tripStartSecond == 0) gps.tripStartSecond = second;
    int elapsed = second - gps.tripStartSecond;
    if (elapsed < 0) elapsed += 86400;
    gps.elapsedSeconds = elapsed;
    const int parts[3] = {elapsed / 3600 % 100, elapsed / 60 % 60, elapsed % 60};
    char text[8];
    for (int i = 0; i < 3; ++i) {
        text[i * 3] = static_cast<char>('0' + parts[i] / 10);
        text[i * 3 + 1] = static_cast<char>('0' + parts[i] % 10);
        if (i < 2) text[i * 3 + 2] = ':';
    }
    gps.elapsedText.assign(std::string_view(text, 8));
}

std::size_t buildTimeText(std::string_view time, char (&out)[8]) {
    std::size_t n = 0;
    for (std::size_t i = 0; i < 6 && i < time.size(); ++i) {
        if (i == 2 || i == 4) out[n++] = ':';
        out[n++] = time[i];
    }
    return n;
}

void setTimeText(FixedText<8>& text, std::string_view time) {
    char out[8];
    text.assignLatin1(std::string_view(out, buildTimeText(time, out)));
}

void setTodayText(GpsInput& in, FixedText<8>& text) {
    const DateTime today = in.clock.localNow();
    text.format("%02d.%02d.%02d", today.day, today.month, today.year % 1000);
}

Position readPosition(GpsInput& in, std::string_view latField, std::string_view ns,
                      std::string_view lonField, std::string_view ew) {
    Position p{nmeaToDegrees(lonField), nmeaToDegrees(latField)};
    if (ew == "W") p.lon = -p.lon;
    if (ns == "S") p.lat = -p.lat;
    if (in.grid.LocalDatumGrid) {
        const GeodeticPoint local = wgs84ToLocal(p.lon, p.lat, in.grid);
        p.lon = local.longitude;
        p.lat = local.latitude;
    }
    return p;
}

void pushProfile(std::span<int> ring, int& next, int& maximum, float value) {
    if (next < 0 || next >= static_cast<int>(ring.size())) next = 0;
    ring[static_cast<std::size_t>(next)] = truncToInt(value);
    if (value > static_cast<float>(maximum)) maximum = truncToInt(value + 0.5);
    next = next + 1 >= static_cast<int>(ring.size()) ? 0 : next + 1;
}

namespace {

// Live reception without a recorded point: the screen goes dark after a minute standing still.
void applyScreenAutoOff(GpsInput& in) {
    const FrameState& f = in.frame;
    if (!in.settings.iPowerSave || !f.active.load() || f.dialogActive.load() ||
        f.bManualScreenOff.load() || !f.bAutoScreenOn.load() || f.calibrating ||
        f.displayMode.load() == DisplayMode::Karte || in.views.onAcPower())
        return;
    const std::uint32_t idle = in.clock.tickCount() - in.gps.lastActivityTick.load();
    if (idle > kScreenOffAfterMs) {
        in.views.DisplayOnOff(true);
        in.frame.bAutoScreenOn.store(false);
    }
}

}  // namespace

bool applyTraceRule(GpsInput& in, int source, double d, double mark, GridPoint grid,
                    const Position& pos) {
    GpsState& gps = in.gps;
    const bool replaying = in.frame.replaying.load();
    const bool far = mark + d > static_cast<double>(in.settings.imindist);
    const bool due = in.settings.LTraceTime != 0 &&
                     gps.traceTimer >= static_cast<float>(in.settings.LTraceTime);
    const bool first = gps.traceFirstFix && (replaying || in.settings.LTraceTime != 0);
    if (!first && (!far || (!replaying && !due))) return false;
    gps.traceFirstFix = false;

    TraceTable& trace = in.trace;
    // The slot keeps the satellites text that the last GGA wrote into it.
    TracePoint p = trace.points[static_cast<std::size_t>(std::clamp(trace.next, 0, kTraceSlots - 1))];
    p.gridX = grid.easting;
    p.gridY = grid.northing;
    p.segmentStart = gps.traceSegmentStart ? 1 : 0;
    gps.traceSegmentStart = false;
    p.source = source;
    p.speed = gps.speed;
    p.course = gps.course;
    p.altitude = gps.altitude;
    p.distance = gps.tripDistance;
    p.elapsedSeconds = gps.elapsedSeconds;
    p.timeText = gps.fixTimeText;
    p.elapsedText = gps.elapsedText;
    if (source == 1) {
        p.dateText = gps.fixDateText;
    } else {
        if (!replaying) setTodayText(in, gps.fixDateText);
        p.dateText = gps.fixDateText;
        p.satellitesText.assign(gps.satellitesUsedText);
    }
    p.datumCode = datumCodeFor(in.grid);
    p.lon = pos.lon;
    p.ewText = gps.eastWest;
    p.lat = pos.lat;
    p.nsText = gps.northSouth;

    if (source == 1) {
        in.last.dateText = gps.fixDateText;
        in.last.elapsedText = gps.elapsedText;
        in.last.timeText = gps.fixTimeText;
    }
    gps.traceTimer = 0.0f;
    storeTracePoint(trace, p, in.settings.itracemax);

    gps.lastActivityTick.store(in.clock.tickCount());
    if (!in.frame.bAutoScreenOn.load() || in.frame.bManualScreenOff.load()) {
        in.views.DisplayOnOff(false);
        in.frame.bAutoScreenOn.store(true);
        in.frame.bManualScreenOff.store(false);
    }
    return true;
}


void refreshMap(GpsInput& in, GridPoint grid, bool refreshFlag) {
    GpsState& gps = in.gps;
    if (in.frame.displayMode.load() == DisplayMode::Move && !in.frame.replayPaused.load() &&
        refreshFlag) {
        in.views.show_pos({grid, gps.course, gps.speed, gps.altitude, gps.tripDistance,
                           gps.elapsedText.view()});
    }
    gps.onMap = in.views.checkPosKarte(grid);
    // "%d %1.0f %1.0f" without printf: this runs for every fix. Room for the widest doubles
    // (309 digits and a sign each), which only a damaged sentence off the globe produces.
    char text[2 * 320 + 16];
    char* p = text;
    const auto putWhole = [&](double v) {
        const double r = std::nearbyint(v);  // rounds as printf does
        if (!(std::fabs(r) < 1e15)) {
            p += std::snprintf(p, static_cast<std::size_t>(text + sizeof text - p), "%1.0f", v);
            return;
        }
        if (std::signbit(r)) *p++ = '-';
        p = std::to_chars(p, text + sizeof text, static_cast<long long>(std::fabs(r))).ptr;
    };
    p = std::to_chars(p, text + sizeof text, zoneNumber(in.grid)).ptr;
    *p++ = ' ';
    putWhole(grid.easting);
    *p++ = ' ';
    putWhole(grid.northing);
    gps.gridText.assign(std::string_view(text, static_cast<std::size_t>(p - text)));
}

void refreshGpsView(GpsInput& in, bool refreshFlag) {
    if (in.frame.displayMode.load() != DisplayMode::Gps || !refreshFlag) return;
    const std::string sun = CalcSunrise(in.last.latitude, in.last.longitude, in.clock,
                                        in.settings.TimeZoneSetting, in.diagnostics);
    in.views.setSunTimes(sun);
    in.views.ShowGps();
}

void badReception(GpsInput& in, std::string_view sentence, std::string_view tag, bool drawViews,
                  bool timeTexts) {
    GpsState& gps = in.gps;
    in.ui.setWindowTitle(kBadReceptionTitle);
    gps.badReceptionTitled = true;
    const DisplayMode mode = in.frame.displayMode.load();
    if (mode == DisplayMode::Move && drawViews && !gps.noFixShown) {
        in.views.show_pos({in.last.grid, gps.course, gps.speed, gps.altitude, gps.tripDistance,
                           gps.elapsedText.view()});
        in.views.DrawMoveText(kBadReceptionText);
        gps.noFixShown = true;
    }
    if (gps.fixValid) gps.traceFirstFix = true;
    gps.fixValid = false;
    gps.lastActivityTick.store(in.clock.tickCount());
    if (mode != DisplayMode::Gps) return;
    if (timeTexts && drawViews) {
        setTodayText(in, gps.fixDateText);
        // No time at all when the field after the tag is empty.
        if (sentence.size() > tag.size() + 1 && sentence[tag.size() + 1] == ',') {
            gps.fixTimeText.clear();
        } else {
            char text[8];
            const std::size_t n =
                buildTimeText(sentence.substr(std::min(sentence.size(), tag.size() + 1), 6), text);
            AdjustTime(in.clock, std::span<char>(text, n));
            gps.fixTimeText.assignLatin1(std::string_view(text, n));
        }
    }
    refreshGpsView(in, true);
}

void traceOrScreenAutoOff(GpsInput& in, int source, double d, double mark, GridPoint grid,
                          const Position& pos) {
    if (!applyTraceRule(in, source, d, mark, grid, pos) && !in.frame.replaying.load())
        applyScreenAutoOff(in);
}

GridPoint placeFix(GpsInput& in, const Position& pos) {
    in.gps.noFixShown = false;
    // Live reception names the port on every fix; a replay names its file again.
    if (std::exchange(in.gps.badReceptionTitled, false) && in.frame.replaying.load())
        in.ui.setWindowTitle(in.frame.replayTitle);
    in.views.fillGeomsg(pos.lon, pos.lat, in.gps.eastWest, in.gps.northSouth);
    const GridPoint grid = llh2utm(pos.lon, pos.lat, 1, in.grid);
    in.last.grid = grid;
    return grid;
}

}  // namespace vexa
