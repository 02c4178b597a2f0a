// The texts over the Move and Karte views: the status line, the map name and position line,
// and the speed/altitude/distance line.
#pragma once

#include <string_view>

#include <QRect>

#include "geo/grid.h"

class QImage;
class QPainter;

namespace vexa {

struct DisplaySettings;
struct FrameReadings;
struct FrameState;
struct GpsState;
struct Guidance;
struct LastPosition;
struct MapTable;
struct MapView;
struct PositionTexts;
struct RouteTable;

struct MoveTextContext {
    GpsState& gps;
    LastPosition& last;
    const GridContext& grid;
    const MapTable& maps;
    const MapView& view;
    const FrameState& frame;
    const RouteTable& route;
    const Guidance& guidance;
    const DisplaySettings& display;
    PositionTexts& texts;
    int screenWidth = 240;
    int screenHeight = 320;

    // The part of the 400 × 400 frame the window shows.
    QRect visible() const { return {(400 - screenWidth) / 2, (400 - screenHeight) / 2, screenWidth, screenHeight}; }
};

// The status line: `text` centred across the picture's width in the band y 0..20.
void DrawMoveText(QImage& screen, std::string_view text);

// Map view: the name of the map shown at the position ("Keine Karte für Position" without
// one) and the position line, with the target distance while a route is loaded.
void Draw_Karte_Text(QPainter& painter, MoveTextContext& ctx, GridPoint position);

// The texts drawn after the map: the Karte view's lines, the Move view's missing-map notice
// and its info line.
void ShowMoreInfo(QPainter& painter, MoveTextContext& ctx, GridPoint position, bool mapFound,
                  const FrameReadings& readings);

}  // namespace vexa
