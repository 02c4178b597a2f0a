// What the stylus and the cursor keys remember between one event and the next.
#pragma once

namespace vexa {

struct StylusState {
    int dragging = 0;             // 1 after a plain tap in the map view, until the lift
    int lastTapX = 0;             // device pixels of the last tap or drag position
    int lastTapY = 0;
    int hitPoi = -1;              // POI under the last tap
    bool poiDragAllowed = false;  // the hit POI belongs to the default POI volume
    bool routeHit = false;        // the last tap selected a route point
    int keyStep = 10;             // cursor-key step multiplier: 10, 15, … 50 while keys repeat
};

}  // namespace vexa
