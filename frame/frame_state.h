// The frame's part of the application state: which view is shown, zoom and view centre, the
// Move display mode, replay control and the display-power flags.
//
// Fields that the GPS worker thread reads while the UI thread writes them are atomics;
// the rest are guarded by the application's state mutex. Debug mode and the current-operation
// texts live with the diagnostic text (util/diagnostic_text.h).
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "frame/screen_size.h"
#include "geo/track_point.h"

namespace vexa {

enum class DisplayMode { Nmea, Gps, Move, Karte };

// Command identifiers that ask for a redraw of a view.
inline constexpr int kCmdRedrawKarte = 40038;
inline constexpr int kCmdRedrawMove = 110;
inline constexpr int kCmdRedrawGps = 40008;
inline constexpr int kCmdRedrawNmea = 40011;

struct FrameState {
    std::atomic<DisplayMode> displayMode{DisplayMode::Move};
    int moveDisplayMode = 0;        // 0..8: three orientations × three kinds
    bool courseUp = false;
    int baseAngle = 0;              // 0, −90 or 180 degrees
    bool calibrating = false;       // "Kalibrierung"
    bool routeStepping = false;     // the keys step through the route: the Move view turns to each leg
    bool overview = false;          // "Karten Übersicht"
    bool showPois = false;          // "Show POIs"
    bool showRoutePoints = false;   // "Show Routepoints"
    double zoomFactor = 1.0;        // smaller is more detail; zoom in multiplies by 0.75
    TrackPoint viewCentre{500000.0, 5500000.0};
    TrackPoint lastShown{};
    int mapScale = 200;             // pixels per 1000 m of the current map
    double verticalRatio = 1.0;
    std::string portName = "COM1:";
    std::atomic<bool> replaying{false};
    std::atomic<bool> replayPaused{false};
    std::atomic<bool> replayStopRequested{false};
    bool logOpenedByKey = false;
    bool firstActivation = true;
    std::atomic<bool> active{true};        // the main window is active
    std::atomic<bool> dialogActive{false}; // a modal dialog of a command is up
    std::atomic<bool> bAutoScreenOn{true};
    std::atomic<bool> bManualScreenOff{false};
    int selectedRoutePoint = 0;
    int lastMapIndex = -1;
    std::string alternateMapDir;
    std::string currentMapDir;
    ScreenSize screen{};            // the virtual screen every view is drawn for
};

}  // namespace vexa
