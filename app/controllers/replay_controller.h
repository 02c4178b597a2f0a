// The replays: the NMEA replay (started, stopped, its speed), the drawing replay of the trace
// and the route on the replay thread, the start-up route animation, and the Move view's
// replay buttons and the stepping keys on the UI thread.
#pragma once

#include <atomic>
#include <chrono>
#include <memory>
#include <vector>

#include <QPoint>

#include "app/controllers/window_context.h"

namespace vexa {

class ReplayThread;

class ReplayController : public Controller {
public:
    explicit ReplayController(WindowContext& context);
    ~ReplayController() override;
    bool handles(int id) const override;
    void run(int id) override;

    bool StartProcess_ShowIrcTrace();
    bool StartProcess_ShowIrcRoute();
    void pauseDrawingReplay(bool paused);
    bool stopDrawingReplay(std::chrono::milliseconds wait);
    bool drawingReplayRuns();
    ReplayThread& replayThread() { return *replay_; }
    // An NMEA replay starts: the Move view where maps are, else the GPS view.
    void showReplayView();
    void startupRouteAnimation();
    // An NMEA replay moves the position itself: the start-up route gives way before it starts.
    void endStartupAnimation();
    // A tap on a shown replay button; false when the tap is on none.
    bool replayButtonTap(int x, int y);
    // Holding a replay button offers the NMEA replay speeds.
    bool replayButtonHold(int x, int y);
    // Digit keys: "0" ten trace entries back, "1".."9" that many forward.
    void digitKey(int digit);
    // The Move view's Left and Right: one step through the trace, without one through the route.
    void stepTrace(int direction);
    void stepRoute(int direction);
    // The GPS view's replay keys (Left, Right, Down).
    void gpsReplayKey(int key);

private:
    WindowContext& c_;
    std::unique_ptr<ReplayThread> replay_;
    bool startupAnimating_ = false;         // the drawing replay is the start-up route (UI thread only)
    std::atomic<bool> startupCut_{false};  // a replay has ended the start-up route

    bool startDrawingReplay(bool route, std::vector<int> indices);
    void showTraceStep(int index);
    // The speed menu at `at` (global pixels); the choice holds at once and is stored.
    void chooseReplaySpeed(QPoint at);
};

}  // namespace vexa
