// The records of the GPS chain, owned together: what a tool, a benchmark or a test needs to run
// sentences through the parsers without the application. The application owns the same
// records in its own state aggregate.
#pragma once

#include <memory>
#include <mutex>

#include "util/diagnostic_text.h"
#include "frame/frame_state.h"
#include "frame/settings.h"
#include "geo/grid_context.h"
#include "gps/gps_input.h"
#include "gps/gps_state.h"
#include "gps/nmea_log.h"
#include "gps/satellites.h"
#include "routes/trace_table.h"

namespace vexa {

struct GpsRecords {
    GpsState gps;
    LastPosition last;
    SatelliteState satellites;
    std::unique_ptr<TraceTable> trace = std::make_unique<TraceTable>();  // large: on the heap
    NmeaLog log;
    Settings settings;
    FrameState frame;
    GridContext grid;
    DiagnosticText diagnostics;
    std::mutex mutex;

    // The records as a worker takes them, with the user, clock and views it reports to.
    GpsInput input(Ui& ui, Clock& clock, GpsViews& views) {
        return {gps, last, satellites, *trace, log, settings, frame, grid, diagnostics,
                ui, clock, views, mutex};
    }
};

}  // namespace vexa
