// Which maps touch the view, which contain the position, and at which resolution the view is
// drawn.
#pragma once

#include "geo/grid.h"
#include "maps/map_table.h"
#include "maps/map_view.h"

namespace vexa {

struct FrameState;
struct GridContext;

// The zoom commands: 40115 zooms in, 40116 zooms out, 40118 resets.
inline constexpr int kCmdZoomIn = 40115;
inline constexpr int kCmdZoomOut = 40116;
inline constexpr int kCmdZoomReset = 40118;
void applyZoomCommand(FrameState& frame, int commandId);

// Marks the rows in view and containing the position, and chooses the shown resolution.
// Only the width and height of the view rectangle (screen pixels) matter.
void setMatchKarten(MapTable& table, MapView& view, FrameState& frame, const GridContext& grid,
                    GridPoint position, int viewLeft, int viewTop, int viewRight, int viewBottom,
                    int* anyInView);

// The row at the current map scale that contains the position, or −1.
int getMatchKarten(const MapTable& table, const FrameState& frame, const GridContext& grid,
                   GridPoint position, int viewLeft, int viewTop, int viewRight, int viewBottom);

// Plate carrée: whether row `row`, drawn at row 0's resolution around the position, covers
// the middle of a width × height screen.
bool plateCarreeHit(const MapTable& table, int row, const FrameState& frame, GridPoint position,
                    int width, int height);

// Non-plate carrée containment: the truncated position in the truncated edges, lower bounds
// inclusive, upper bounds exclusive.
bool rowContainsPoint(const MapEntry& row, GridPoint position);

}  // namespace vexa
