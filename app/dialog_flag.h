// A command's modal dialog: workers do not draw while it is up.
#pragma once

#include "frame/frame_state.h"

namespace vexa {

class DialogFlag {
public:
    explicit DialogFlag(FrameState& frame) : frame_(frame) { frame_.dialogActive = true; }
    ~DialogFlag() { frame_.dialogActive = false; }
    DialogFlag(const DialogFlag&) = delete;
    DialogFlag& operator=(const DialogFlag&) = delete;

private:
    FrameState& frame_;
};

}  // namespace vexa
