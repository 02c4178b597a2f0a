// The texts over the Move and Karte views: the status line, the map name and position line,
// and the speed/altitude/distance line.
#pragma once

#include <string_view>

#include <QRect>

#include "frame/screen_size.h"
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
    ScreenSize screen{};

    // The part of the frame the window shows.
    QRect visible() const { return {screen.left(), screen.top(), screen.width, screen.height}; }
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

// The Move view shows the missing-map notice: no map under the position, maps in the catalogue.
bool missingMapNotice(const MoveTextContext& ctx, bool mapFound);

}  // namespace vexa
