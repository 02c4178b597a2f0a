// The reader thread's redraws handed to a drawing step. The worker only records what is to be
// drawn (the newest Move frame, the GPS view, the Move view's status line written after that
// frame) and wakes the drawing side once; the drawing side later draws the newest of each.
// Redraws that a newer one replaces before they are drawn are skipped, nothing else: every
// other call passes straight through, so parsing, logging and the trace are untouched.
//
// Every member is guarded by the state mutex: the worker calls with it held (as for every
// `GpsViews` call), and the drawing side holds it while it draws.
#pragma once

#include <functional>
#include <string>

#include "gps/gps_views.h"
#include "util/fixed_text.h"

namespace vexa {

struct FrameState;

class PendingDrawing : public GpsViews {
public:
    // `wake` asks the drawing side to call `drawPending` soon; it runs at most once between
    // two drawings, with the state mutex held.
    PendingDrawing(GpsViews& target, const FrameState& frame, std::function<void()> wake);

    // The drawing step: the Move frame and the GPS view asked for since the last call, each
    // the newest and only while its view is still the one shown, then a status line written
    // after the frame. The caller holds the state mutex.
    void drawPending();

    void show_pos(const PositionFrame& frame) override;
    void ShowGps() override;
    void DrawMoveText(std::string_view text) override;
    void setSunTimes(std::string_view text) override { target_.setSunTimes(text); }
    void fillGeomsg(double longitude, double latitude, std::string_view eastWest,
                    std::string_view northSouth) override {
        target_.fillGeomsg(longitude, latitude, eastWest, northSouth);
    }
    bool checkPosKarte(GridPoint position) override { return target_.checkPosKarte(position); }
    void refreshNmeaList() override { target_.refreshNmeaList(); }
    void keepAwake() override { target_.keepAwake(); }
    void DisplayOnOff(bool off) override { target_.DisplayOnOff(off); }
    bool onAcPower() override { return target_.onAcPower(); }

private:
    GpsViews& target_;
    const FrameState& frame_;
    std::function<void()> wake_;
    bool woken_ = false;
    bool movePending_ = false;
    PositionFrame move_;
    FixedText<8> moveElapsed_;  // the text `move_.elapsedText` shows
    bool gpsPending_ = false;
    bool textPending_ = false;
    std::string text_;

    void wakeOnce();
};

}  // namespace vexa
