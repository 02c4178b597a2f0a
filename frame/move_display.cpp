#include "frame/move_display.h"

#include <array>

#include "frame/frame_state.h"

namespace vexa {

namespace {

constexpr std::array<MoveDisplay, 9> kModes = {{
    {false, 0, 154},
    {false, 0, 177},
    {true, 0, 169},
    {false, -90, 168},
    {true, 0, 180},
    {true, -90, 170},
    {false, 180, 173},
    {false, 0, 181},
    {true, 180, 155},
}};

}  // namespace

int wrapMoveDisplayMode(int mode) {
    if (mode < 0) return 8;
    if (mode > 8) return 0;
    return mode;
}

MoveDisplay moveDisplayOf(int mode) { return kModes[static_cast<std::size_t>(wrapMoveDisplayMode(mode))]; }

Orientation orientationOf(int mode) { return static_cast<Orientation>(wrapMoveDisplayMode(mode) / 3); }

MoveKind kindOf(int mode) { return static_cast<MoveKind>(wrapMoveDisplayMode(mode) % 3); }

int modeOfStrip(int strip) {
    for (std::size_t i = 0; i < kModes.size(); ++i)
        if (kModes[i].strip == strip) return static_cast<int>(i);
    return -1;
}

int applyMoveDisplayMode(FrameState& frame) {
    frame.moveDisplayMode = wrapMoveDisplayMode(frame.moveDisplayMode);
    const MoveDisplay display = moveDisplayOf(frame.moveDisplayMode);
    frame.courseUp = display.courseUp;
    frame.baseAngle = display.baseAngle;
    if (frame.moveDisplayMode != 0) frame.routeStepping = false;
    return display.strip;
}

}  // namespace vexa
