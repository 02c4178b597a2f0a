// The view-scale state of the map views: which resolution is drawn, which row is current,
// the calibration row, the map status text and the name a size correction hands on.
#pragma once

#include <string>

namespace vexa {

inline constexpr const char* kNoMapForPosition = "Keine Karte für Position";
inline constexpr const char* kNoMapAtSmallScale = "Keine Karte im kleinen Massstab";

struct MapView {
    int WantedResolution = -1;   // upper limit for the drawn resolution; −1 = none
    int AutoResolution = 1;      // 1 = choose from the maps that fit; 0 = keep WantedResolution
    int CalibrationRow = -1;     // row being calibrated; −1 = none
    int ShownResolution = 200;   // the resolution loading and drawing use
    int CurrentRow = -1;         // lowest-index row found in view by the last selection
    std::string MapStatusText = kNoMapForPosition;
    std::string PendingMapName;  // new file name for the rename command after a size correction
    int PendingMapRow = -1;      // the row it is for
    char DatumTag = '2';         // datum code of the last drawn position
};

// The state changes that go with the view commands.
inline void onMapDirectoryChosen(MapView& view) {
    view.WantedResolution = -1;
    view.AutoResolution = 1;
}

inline void startCalibration(MapView& view, int row, int rowResolution) {
    view.CalibrationRow = row;
    view.AutoResolution = 0;
    view.WantedResolution = rowResolution;
}

inline void endCalibration(MapView& view) {
    view.AutoResolution = 1;
    view.CalibrationRow = -1;
}

}  // namespace vexa
