// The Move display modes: three orientations (normal, landscape, upside down) × three kinds
// (north up, 3D, course up), and the menu-bar image strip that shows each.
#pragma once

namespace vexa {

struct FrameState;

enum class Orientation { Normal, Landscape, UpsideDown };
enum class MoveKind { NorthUp, View3D, CourseUp };

struct MoveDisplay {
    bool courseUp;
    int baseAngle;
    int strip;      // image strip id of the menu bar
};

inline constexpr int kStripNorthUp = 154;

// The mode after wrapping: below 0 becomes 8, above 8 becomes 0.
int wrapMoveDisplayMode(int mode);
MoveDisplay moveDisplayOf(int mode);
Orientation orientationOf(int mode);
MoveKind kindOf(int mode);
// The mode whose strip this is, −1 for an unknown strip.
int modeOfStrip(int strip);

// Wraps `frame.moveDisplayMode` and sets `courseUp` and `baseAngle`; returns the strip the menu
// bar is rebuilt with.
int applyMoveDisplayMode(FrameState& frame);

}  // namespace vexa
