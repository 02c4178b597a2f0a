// What the GPS core asks of the screen. The application implements it: the map frame, the
// GPS graphic, the Move view's status text, the NMEA list and the display power.
//
// Every call comes from the GPS worker thread while it holds the application's state mutex,
// so an implementation reads the shared records directly and must not take that mutex. The
// window puts a `PendingDrawing` in front of its views, so the worker itself never draws.
#pragma once

#include <string_view>

#include "geo/grid.h"

namespace vexa {

// One frame of the Move view: where and how the receiver moves.
struct PositionFrame {
    GridPoint grid;
    float course = 0.0f;
    float speed = 0.0f;
    float altitude = 0.0f;
    double tripDistance = 0.0;
    std::string_view elapsedText;
};

class GpsViews {
public:
    virtual ~GpsViews() = default;

    // The map composed at a position and presented (Move view).
    virtual void show_pos(const PositionFrame& frame) = 0;
    // Today's sun times at the last position, "hh:mm-hh:mm", for the GPS graphic.
    virtual void setSunTimes(std::string_view sunTimesText) = 0;
    // The GPS graphic redrawn.
    virtual void ShowGps() = 0;
    // The Move view's status line.
    virtual void DrawMoveText(std::string_view text) = 0;
    // The geographic position text of the info lines.
    virtual void fillGeomsg(double longitude, double latitude, std::string_view eastWest,
                            std::string_view northSouth) = 0;
    // Whether a map of the catalogue covers the grid position.
    virtual bool checkPosKarte(GridPoint position) = 0;
    // A line was added to the NMEA list; the list view shows it when it is up.
    virtual void refreshNmeaList() = 0;
    // Data flows: keep the machine from idling, and re-apply the display power state.
    virtual void keepAwake() = 0;
    // Display power: switch the screen off (true) or on (false); external power present.
    virtual void DisplayOnOff(bool off) = 0;
    virtual bool onAcPower() = 0;
};

// No window: for tools and benchmarks.
class NoGpsViews : public GpsViews {
public:
    void show_pos(const PositionFrame&) override {}
    void setSunTimes(std::string_view) override {}
    void ShowGps() override {}
    void DrawMoveText(std::string_view) override {}
    void fillGeomsg(double, double, std::string_view, std::string_view) override {}
    bool checkPosKarte(GridPoint) override { return false; }
    void refreshNmeaList() override {}
    void keepAwake() override {}
    void DisplayOnOff(bool) override {}
    bool onAcPower() override { return false; }
};

}  // namespace vexa
