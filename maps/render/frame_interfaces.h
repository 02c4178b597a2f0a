// What a map frame hands to the rest of the program: the window it is shown in, the layers
// other subsystems draw on top of the maps, the turned and 3D pictures of the Move view, and
// the GPS link whose state the frame reads.
#pragma once

#include <string>
#include <string_view>

#include <QImage>
#include <QRect>

#include "geo/track_point.h"

class QPainter;

namespace vexa {

class DiagnosticText;
class View3D;

// The window the frames are shown in. Implemented by the application, which shows the image
// on the UI thread.
class FramePresenter {
public:
    virtual ~FramePresenter() = default;
    // Shows the rectangle `visible` of `image` at the window's top left. When `visible` is all
    // of it, the window may keep the picture itself and leave a null one in its place; else
    // `image` is only read during the call.
    virtual void present(QImage& image, const QRect& visible) = 0;
    // A 32-bit picture of `size` for the next frame to draw over completely: one the window is
    // done with (holding an older frame), else a new one. A frame takes it when it starts and
    // hands it over with `present`, so no drawing keeps a screen-sized picture between frames.
    virtual QImage pictureToDrawInto(QSize size) { return QImage(size, QImage::Format_RGB32); }
    // A short notice written straight onto the window at (x, y), such as a load message.
    virtual void windowText(int /*x*/, int /*y*/, std::string_view /*text*/) {}
};

// The readings show_pos hands through to the big-number display and the info texts.
struct FrameReadings {
    float course = 0.0f;       // degrees
    double speed = 0.0;        // km/h
    int altitude = 0;          // m
    double tripDistance = 0.0; // m
    std::string elapsedText;
};

// What the overlay layers need to know about the frame being drawn.
struct OverlayFrame {
    const TrackPoint& position;
    const FrameReadings& readings;
    int mapScale;
    double zoomFactor;
    double verticalRatio;
    bool view3D;           // the Move view draws in 3D
    bool positionsArrive;  // a port is open, or a replay runs and is not paused
    bool saving;           // the frame is drawn for a screen copy
};

// The layers drawn over the maps, in this order, into the 400 × 400 frame. Routes, trace and
// POIs implement them; the default draws nothing.
class FrameOverlays {
public:
    virtual ~FrameOverlays() = default;
    virtual void drawPois(QPainter&, const OverlayFrame&) {}
    virtual void drawRoute(QPainter&, const OverlayFrame&) {}
    virtual void drawTrace(QPainter&, const OverlayFrame&) {}
    // Route distance and target guidance, including choosing the guided route point.
    virtual void drawGuidance(QPainter&, const OverlayFrame&) {}
    // Called in the Move view in display modes 0 and 6; draws when the display is enabled.
    virtual void drawBigNumbers(QPainter&, const OverlayFrame&) {}
    virtual void drawInfoTexts(QPainter&, const OverlayFrame&) {}
    // The large info panel drawn into a rotated or 3D Move view before it is shown.
    virtual void drawInfoPanel(QPainter&, const FrameReadings&) {}
    // The replay buttons, drawn over the picture as the window shows it (unturned), in the
    // Move view while no port is open; only called when `hasReplayButtons`.
    virtual bool hasReplayButtons() const { return false; }
    virtual void drawReplayButtons(QPainter&) {}
};

// Where a turned or 3D picture goes: the window, the layers drawn into the picture, and the
// log whose current-operation text names each step.
struct TurnedFrameTarget {
    FramePresenter& presenter;
    FrameOverlays& overlays;
    DiagnosticText& log;
    int screenWidth;   // the visible middle of the square frame
    int screenHeight;
    bool replayButtons;  // draw the replay buttons over the picture
    const FrameReadings& readings;  // the frame's, for the info panel
};

// Makes the Move view's turned and 3D pictures of the composed frame as screen-sized pictures,
// draws the info panel (and the replay buttons) into them and shows them. Implemented by the
// display layer.
class FrameTurner {
public:
    virtual ~FrameTurner() = default;
    // Shows the visible middle of `frame` turned by `angle` degrees.
    virtual void showTurned(const QImage& frame, double angle, const TurnedFrameTarget& target) = 0;
    // Shows `screen`, a turned view composed at the screen's size from a frame `frameSide`
    // pixels a side; the window may keep the picture (FramePresenter::present).
    virtual void showScreen(QImage& screen, int frameSide, const TurnedFrameTarget& target) = 0;
    // Shows the window's part of `view`, reading the square frame from `band`, whose pixel 0
    // is frame pixel `origin` and which holds what the window reads (View3D::sourceArea).
    virtual void show3D(const QImage& band, QPoint origin, const View3D& view, const TurnedFrameTarget& target) = 0;
};

// The GPS link as the frame sees it.
class GpsLink {
public:
    virtual ~GpsLink() = default;
    virtual bool portOpen() const { return false; }
    virtual bool hasFix() const { return false; }
    // Throws away the port's receive and transmit queues; 0 or the system error.
    virtual int purgeComm() { return 0; }
    // Forgets a started satellite sentence sequence.
    virtual void restartSatelliteSequence() {}
};

}  // namespace vexa
