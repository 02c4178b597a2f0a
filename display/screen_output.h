// Showing the composed frame turned or in 3D through the screen buffer.
#pragma once

#include <QImage>

#include "display/screen_buffer.h"

namespace vexa {

class DiagnosticText;
class FramePresenter;
class FrameOverlays;

// What the output steps need besides the buffer.
struct ScreenOutput {
    CSTScreenBuffer& buffer;
    FramePresenter& presenter;
    FrameOverlays& overlays;
    DiagnosticText& log;     // the step names go to the current-operation text
    int screenWidth;         // the visible middle of the square frame (the buffer)
    int screenHeight;
    bool moveView;
};

// Rotates the visible middle of `source` by `angle` degrees and shows it.
void rotateScreen(ScreenOutput& out, const QImage& source, double angle);

// Shows `source` as a 3D view; moveDisplayMode 1, 4 or 7 picks the variant.
void Screen3D(ScreenOutput& out, const QImage& source, int moveDisplayMode, int P, bool fullScreen);

}  // namespace vexa
