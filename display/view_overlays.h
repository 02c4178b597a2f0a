// The layers the map frame draws over the maps: POIs, route, trace, guidance, big numbers and
// info texts, reading the program's records.
#pragma once

#include <string>

#include "display/move_texts.h"
#include "maps/render/frame_interfaces.h"
#include "routes/route_hits.h"

namespace vexa {

struct DisplaySettings;
struct FrameState;
struct GpsState;
struct GridContext;
struct Guidance;
struct LastPosition;
struct MapTable;
struct MapView;
struct PoiTable;
struct PositionTexts;
struct ReplayControl;
struct RouteTable;
struct Settings;
struct TraceTable;

struct ViewRecords {
    const RouteTable& route;
    const TraceTable& trace;
    const PoiTable& pois;
    const Settings& settings;
    GpsState& gps;
    LastPosition& last;
    const GridContext& grid;
    const MapTable& maps;
    const MapView& view;
    FrameState& frame;
    Guidance& guidance;
    const DisplaySettings& display;
    PositionTexts& texts;
    std::string defaultPoiVolume{}; // POIs of this volume are filled white
    int poiLabelPosition = 0;       // 0 above left, 1 below left
    const ReplayControl* replay = nullptr;  // which replay runs, for the replay buttons
};

class ViewOverlays : public FrameOverlays {
public:
    explicit ViewOverlays(const ViewRecords& records) : r_(records) {}

    void drawPois(QPainter& painter, const OverlayFrame& frame) override;
    void drawRoute(QPainter& painter, const OverlayFrame& frame) override;
    void drawTrace(QPainter& painter, const OverlayFrame& frame) override;
    void drawGuidance(QPainter& painter, const OverlayFrame& frame) override;
    void drawBigNumbers(QPainter& painter, const OverlayFrame& frame) override;
    void drawInfoTexts(QPainter& painter, const OverlayFrame& frame) override;
    void drawInfoPanel(QPainter& painter, const FrameReadings& readings) override;
    bool hasReplayButtons() const override;
    void drawReplayButtons(QPainter& painter) override;

private:
    ViewRecords r_;
    MoveTextContext textContext() const;
    bool mapUnderPosition() const;
    RouteDistanceMemo routeDistance_;
};

}  // namespace vexa
