// The pieces of a map frame: one map's blit, the overview map, the cross-hair and position
// marker, the scale bar and the grey calibration layer.
#pragma once

#include "maps/render/map_frame_context.h"
#include "geo/track_point.h"

class QPainter;

namespace vexa {

// Blits one loaded row into the frame around the position; rows drawn earlier show where
// this one has no pixels.
void show_karte_pos(MapFrameContext& ctx, QPainter& painter, const TrackPoint& position, int row);

// Outlines of all maps at the coarsest resolution around the position. Returns the last row
// containing the position, else 0; `resolution` receives the shown resolution.
int show_KarteOV(MapFrameContext& ctx, QPainter& painter, const TrackPoint& position, int* resolution);

// Cross-hair and tap marks (Karte view), the position arrow (Move view) and the circle.
void show_fadenkreuz(MapFrameContext& ctx, QPainter& painter, float course);

// The scale bar drawn when there are no maps.
void DrawScale(MapFrameContext& ctx, QPainter& painter, const TrackPoint& position);

// Replaces the grey layer with a width × height one in light grey.
void Init_hdcCompGray(MapCanvas& canvas, int width, int height);

}  // namespace vexa
