// The GPS view: speed, altitude, trip, time, position, sun times, the target compass, the
// satellite panel, the profiles and the battery, drawn into one picture and shown.
#pragma once

#include <filesystem>
#include <string>

#include <QColor>
#include <QImage>
#include <QRect>

namespace vexa {

class Clock;
class DiagnosticText;
class FramePresenter;
class GpsLink;
struct DisplaySettings;
struct FrameState;
struct GpsState;
struct GridContext;
struct Guidance;
struct LastPosition;
struct MapTable;
struct PositionTexts;
struct RouteTable;
struct SatelliteState;
struct Settings;

// Requests set by taps on the view, served at the next redraw.
struct GpsViewRequests {
    bool recomputeSpeedMax = false;
    bool recomputeAltitudeMax = false;
    bool resetTrip = false;
};

struct GpsViewContext {
    GpsState& gps;
    LastPosition& last;
    const SatelliteState& satellites;
    const Settings& settings;
    const GridContext& grid;
    const MapTable& maps;
    const RouteTable& route;
    Guidance& guidance;
    const FrameState& frame;
    const DisplaySettings& display;
    PositionTexts& texts;
    DiagnosticText& log;
    const Clock& clock;
    GpsLink& link;
    FramePresenter& presenter;
    std::string sunTimes{};           // "hh:mm-hh:mm"
    std::filesystem::path powerSupplyDir = "/sys/class/power_supply";
    int screenWidth = 240;
    int screenHeight = 320;
};

// What the view keeps between redraws.
struct GpsViewState {
    GpsViewRequests requests;
    QColor background{192, 192, 192};
    bool onAcPower = false;     // the screen auto-off reads it
};

// The background colour of `iGpsBKColor`, or `previous` for other values.
QColor gpsBackground(int iGpsBKColor, const QColor& previous);

void ShowGps(GpsViewContext& ctx, GpsViewState& state);

}  // namespace vexa
