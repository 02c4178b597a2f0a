// Everything a map frame reads and writes, gathered for the drawing operations.
#pragma once

#include <chrono>

#include <QImage>
#include <QRect>

#include "frame/screen_size.h"
#include "maps/map_table.h"
#include "maps/map_view.h"
#include "maps/render/frame_interfaces.h"
#include "maps/render/map_images.h"

namespace vexa {

class Clock;
class DiagnosticText;
class DrawingSemaphore;
class Ui;
struct FrameState;
struct GridContext;
class WindowTurn;

inline constexpr QRgb kMapBackground = qRgb(40, 200, 200);
inline constexpr QRgb kLightGrey = qRgb(192, 192, 192);
inline constexpr QRgb kGrey = qRgb(128, 128, 128);
inline constexpr QRgb kCalibrationColour = qRgb(220, 20, 20);
inline constexpr QRgb kTapMarkColour = qRgb(240, 250, 20);
inline constexpr int kCmdPermanentCalibration = 40074;

// The drawing surfaces that live from window creation to exit.
struct MapCanvas {
    QImage buffer;      // the composed frame: the window's part of the square frame, turned or
                        // not, or all of it when it is shown in 3D or copied (fitFrame); null
                        // once the window has kept it
    QImage grey;        // the light-grey layer that dims maps during a calibration
    MapImages images;   // decoded maps, one slot per table row
    QImage compass;     // blitted in the course-up Move modes when set
    // Set while a turned view is composed straight into `buffer`: the maps go through
    // the turn, onto the frame pixels `turnedMaps` under the turned window, and the turn
    // fills the pixels around them.
    WindowTurn* turn = nullptr;
    QRect turnedMaps;
};

// The visible part of the screen: the window shows the frame's middle width × height.
struct ScreenGeometry {
    int width = 240;
    int height = 320;
    bool fullScreen = false;

    ScreenSize size() const { return {width, height}; }
    int side() const { return size().frameSide(); }
    QRect visible() const { return {size().left(), size().top(), width, height}; }
};

// Gives the canvas a frame image of `size`: the one it holds when that has the size (the
// window did not keep it), else a picture from `presenter`.
void fitFrame(MapCanvas& canvas, QSize size, FramePresenter& presenter);

struct MapFrameContext {
    MapTable& table;
    MapView& view;
    FrameState& frame;
    const GridContext& grid;
    MapCanvas& canvas;
    DiagnosticText& log;
    Ui& ui;
    const Clock& clock;
    DrawingSemaphore* semaphore;    // null until the window created it
    FramePresenter& presenter;
    FrameOverlays& overlays;
    GpsLink& gps;
    FrameTurner* turner;            // null: rotated and 3D Move views are not drawn
    ScreenGeometry screen{};
    int MapColourMode = 0;          // 1 = decode maps with 16 colours
    int view3DParameter = 320;
    int infoLineHeight = 14;        // height of an info text line (its font), for the layout
    bool saving = false;            // the frame is drawn for a screen copy
    std::chrono::milliseconds semaphoreWait{6000};
};

}  // namespace vexa
