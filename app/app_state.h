// The program's process-wide records in one aggregate, owned by main() (or by a test).
//
// The GPS worker and the UI thread share these records; `stateMutex` guards them: the worker
// holds it per sentence, the UI thread per command step (never across a modal dialog).
#pragma once

#include <mutex>

#include "display/display_settings.h"
#include "display/screen_buffer.h"
#include "exchange/garmin_link.h"
#include "display/trace_replay.h"
#include "util/diagnostic_text.h"
#include "frame/frame_state.h"
#include "frame/settings.h"
#include "geo/grid_context.h"
#include "gps/gps_state.h"
#include "gps/nmea_log.h"
#include "gps/satellites.h"
#include "maps/drawing_semaphore.h"
#include "maps/map_table.h"
#include "maps/map_view.h"
#include "maps/render/map_frame_context.h"
#include "routes/guidance.h"
#include "routes/poi_db.h"
#include "routes/poi_record.h"
#include "routes/route_db.h"
#include "routes/route_table.h"
#include "routes/trace_table.h"

namespace vexa {

class Clock;
class SerialPort;
class SettingsStorage;

struct AppState {
    AppState(Clock& clockRef, SettingsStorage& storageRef, SerialPort& portRef)
        : clock(clockRef), storage(storageRef), port(portRef) {}
    AppState(const AppState&) = delete;
    AppState& operator=(const AppState&) = delete;

    Clock& clock;
    SettingsStorage& storage;
    SerialPort& port;

    std::mutex stateMutex;
    Settings settings;
    FrameState frame;
    GridContext grid;
    DiagnosticText diagnostics;
    GpsState gps;
    LastPosition last;
    SatelliteState satellites;
    TraceTable trace;
    RouteTable route;
    PoiTable pois;
    PoiDb poiDb;
    RouteDb routeDb;
    NmeaLog log;
    MapTable maps;
    MapView mapView;
    MapCanvas canvas;
    DrawingSemaphore semaphore;
    CSTScreenBuffer screenBuffer;
    Guidance guidance;
    DisplaySettings display;
    PositionTexts texts;
    GarminLink garmin;
    ReplayControl replay;
};

}  // namespace vexa
