// The screen as the GPS worker and the commands see it: composes map frames (show_pos) with
// their overlays, the GPS view and the Move view's status line, and hands finished pictures
// to the window, which shows them on the UI thread.
#pragma once

#include <atomic>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <QImage>

#include "display/gps_view.h"
#include "display/screen_output.h"
#include "display/trace_replay.h"
#include "display/view_overlays.h"
#include "gps/gps_views.h"
#include "maps/render/frame_interfaces.h"
#include "maps/render/map_frame_context.h"

namespace vexa {

class DisplayPower;
class Ui;
struct AppState;

// The window's side: every call may come from any thread and only hands the picture over.
class ViewSink {
public:
    virtual ~ViewSink() = default;
    virtual void presentFrame(QImage visible) = 0;
    // A picture of `size` the window has done with, or a null one; `replacesPending`: the frame
    // it is for replaces the one still waiting, whose picture may serve.
    virtual QImage spareFrame(QSize size, bool replacesPending) = 0;
    // While a frame still waits for the window, keeps `draw` (the newest wins) to run on the UI
    // thread once the window has taken it; false when none waits: the caller draws now.
    virtual bool drawAfterPending(std::function<void()> draw) = 0;
    virtual void presentMoveText(std::string text) = 0;
    virtual void refreshNmea() = 0;
    virtual void displayPower(bool off) = 0;
};

class QtGpsViews : public GpsViews, public FramePresenter, public GpsLink, public ReplayScreen {
public:
    // The screen size is the frame state's `screen`, read under the state mutex.
    QtGpsViews(AppState& state, Ui& ui, ViewSink& sink);

    // Composes the map view at `position` and presents it. The caller holds the state mutex.
    void composeMapView(const TrackPoint& position);
    // Draws the GPS view from the current state. The caller holds the state mutex.
    void drawGpsView();
    // What taps ask of the GPS view's next redraw. The caller holds the state mutex.
    GpsViewRequests& gpsViewRequests() { return gpsView_.requests; }
    // Saves the map view at the view centre as a picture file; the file, or empty.
    // The caller holds the state mutex.
    std::filesystem::path saveScreen(const std::string& baseName, const std::filesystem::path& folder);

    // GpsViews (called by the worker with the state mutex held).
    void show_pos(const PositionFrame& frame) override;
    void setSunTimes(std::string_view sunTimesText) override;
    void ShowGps() override;
    void DrawMoveText(std::string_view text) override;
    void fillGeomsg(double longitude, double latitude, std::string_view eastWest,
                    std::string_view northSouth) override;
    bool checkPosKarte(GridPoint position) override;
    void refreshNmeaList() override;
    void keepAwake() override {}
    void DisplayOnOff(bool off) override;
    bool onAcPower() override;

    // ReplayScreen (the caller holds the state mutex).
    void composeAt(const ReplayFrame& frame) override;
    void showGpsAt(const TracePoint& entry) override;

    // FramePresenter
    void present(QImage& image, const QRect& visible) override;
    QImage pictureToDrawInto(QSize size) override;

    // GpsLink
    bool portOpen() const override;
    bool hasFix() const override;
    int purgeComm() override;

    // The power status reader shared with the display power rules.
    void setPower(DisplayPower* power) { power_ = power; }
    // Full screen moves the map view's bottom tap marks and the 3D view's horizon down.
    void setFullScreen(bool on) { fullScreen_ = on; }
    bool fullScreen() const { return fullScreen_.load(); }

private:
    AppState& state_;
    DisplayPower* power_ = nullptr;
    Ui& ui_;
    ViewSink& sink_;
    ViewOverlays overlays_;
    ScreenBufferTurner turner_;  // the Move view's turned and 3D pictures
    GpsViewState gpsView_;
    std::string sunTimes_;
    std::atomic<bool> fullScreen_{false};

    MapFrameContext context();
    bool drawsNow() const;
    // Off the UI thread, true when `draw` was left for the window because a frame still waits.
    bool leftForWindow(std::function<void()> draw);
    void compose(const TrackPoint& position, const FrameReadings& readings);
};


}  // namespace vexa
