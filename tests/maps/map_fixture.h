// A map directory written by the test, the state a frame works on, and a window that records
// what it is shown.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include <QImage>

#include "util/diagnostic_text.h"
#include "frame/frame_state.h"
#include "geo/grid_context.h"
#include "maps/drawing_semaphore.h"
#include "maps/map_catalogue.h"
#include "maps/render/map_frame_context.h"
#include "platform/testing/manual_clock.h"
#include "platform/testing/scripted_ui.h"
#include "tests/support/temp_dir.h"

namespace vexa::testing {

class RecordingPresenter : public FramePresenter {
public:
    void present(QImage& image, const QRect& visible) override {
        shown = image.copy(visible);
        ++presented;
    }
    void windowText(int, int, std::string_view text) override { texts.emplace_back(text); }

    QImage shown;
    int presented = 0;
    std::vector<std::string> texts;
};

// A receiver link whose port and fix the test sets; purges and restarts are counted.
class TestLink : public GpsLink {
public:
    bool portOpen() const override { return open; }
    bool hasFix() const override { return fix; }
    int purgeComm() override { return ++purges, 0; }
    void restartSatelliteSequence() override { ++restarts; }
    bool open = false, fix = false;
    int purges = 0, restarts = 0;
};

// A map image with blocks of 10 × 10 pixels; block (bx, by) has colour
// (bx·10 mod 256, by·10 mod 256, base).
QImage blockPattern(int width, int height, int base);
QRgb blockColour(int px, int py, int base);
void saveImage(const QImage& image, const std::filesystem::path& file, const char* format = nullptr);

struct MapWorld {
    TempDir temp;
    std::filesystem::path dir;     // <temp>/Karten_utm/
    MapTable table;
    GridContext grid;
    FrameState frame;
    MapView view;
    DiagnosticText log;
    ScriptedUi ui;
    ManualClock clock;
    DrawingSemaphore semaphore;
    MapCanvas canvas;
    RecordingPresenter presenter;
    FrameOverlays overlays;
    GpsLink gps;
    ScreenGeometry screen_{};

    explicit MapWorld(const std::string& dirName = "Karten_utm");

    // Scans `folder`, by default the map directory; returns fill_karte_tab's result.
    int scan(std::optional<std::filesystem::path> folder = {});
    MapFrameContext context(FrameOverlays* overlays = nullptr, GpsLink* gps = nullptr);
    bool logHas(const std::string& line) const;
};

}  // namespace vexa::testing
