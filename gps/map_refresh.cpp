#include <charconv>
#include <cmath>
#include <cstdio>

#include "frame/frame_state.h"
#include "geo/grid_context.h"
#include "gps/gps_input.h"
#include "gps/gps_state.h"
#include "gps/gps_views.h"
#include "gps/position_fix.h"

namespace vexa {

namespace {

// The zone or strip number that grid positions are given in.
int zoneNumber(const GridContext& grid) {
    return grid.LocalDatumGrid && !grid.Ed50Datum ? grid.GkStrip : grid.UtmZone;
}

[[gnu::cold]] [[gnu::noinline]] int wideWhole(char* to, std::size_t room, double v) {
    return std::snprintf(to, room, "%1.0f", v);
}

}  // namespace

[[gnu::hot]] void refreshMap(GpsInput& in, GridPoint grid, bool refreshFlag) {
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
        if (!(std::fabs(r) < 1e15)) [[unlikely]] {
            p += wideWhole(p, static_cast<std::size_t>(text + sizeof text - p), v);
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

}  // namespace vexa
