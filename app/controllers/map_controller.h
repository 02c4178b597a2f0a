// The map commands: the map directory (loaded at start, chosen, scanned, swapped), the import
// of georeferenced rasters, overview, overlays, zoom, the map corners of key "n", the map
// choice by resolution and the calibration of a map.
#pragma once

#include <string>

#include "app/controllers/window_context.h"

class QProgressBar;

namespace vexa {

class MapController : public Controller {
public:
    explicit MapController(WindowContext& context) : c_(context) {}
    bool handles(int id) const override;
    void run(int id) override;

    // Scans `directory` into the map table under a wait cursor; returns the last row's index.
    // With a progress bar the window keeps painting while a large folder is read.
    int scanMapDirectory(const std::string& directory, QProgressBar* progress = nullptr);
    // Key "g": the current directory read again, the view where it was.
    void rescanMapDirectory();
    // No map directory yet: the map views say what to do.
    bool firstStartHint() const { return firstStartHint_; }
    void selectMapAtZoom();
    void selectMapAtPosition();
    bool swapMapDirectories();
    void showNextMapCorner();
    // Dialog "Karte umbenennen" for the map being calibrated.
    void DlgKalib();
    // The stored points follow a grid change.
    void refreshGridCoordinates();
    // A tap in the Move view while calibrating: map `row` is to be moved by (east, north)
    // metres, for good or for now as the calibration menu chooses next.
    void calibrationTapped(int row, float east, float north) { calibrationTap_ = {row, east, north}; }

private:
    WindowContext& c_;
    bool firstStartHint_ = false;
    int cornerCounter_ = 0;  // key "n": map × 4 + corner
    struct {
        int row = -1;
        float east = 0.0f;
        float north = 0.0f;
    } calibrationTap_;

    void loadMapDirectory();
    void openMapDirectory();
    void importMapFiles();
    void toggleOverview();
    void toggleOverlay(int id);
    void toggleCalibration();
    void zoom(int id);
    void calibrationCommand(int id);
};

}  // namespace vexa
