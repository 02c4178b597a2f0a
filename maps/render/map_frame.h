// One frame of the Move or Karte view: background, maps, the overlays of the other
// subsystems, cross-hair and marker, then out to the window straight, turned or in 3D.
#pragma once

#include "maps/render/frame_interfaces.h"
#include "maps/render/map_frame_context.h"
#include "geo/track_point.h"

namespace vexa {

inline constexpr int kPurgeAfterMs = 700;  // a slower frame with a live port purges the port

void show_pos(MapFrameContext& ctx, const TrackPoint& position, const FrameReadings& readings);

// The Move view draws in 3D in display modes 1, 4 and 7.
bool is3DView(const FrameState& frame);

}  // namespace vexa
