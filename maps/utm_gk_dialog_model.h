// The rules of the dialog "UTM oder GK Zone": UTM or Gauss-Krüger, the zone or strip with its
// spin range and longitude band text, and what OK does to the last position and view centre.
#pragma once

#include <string>

#include "geo/grid_context.h"

namespace vexa {

struct FrameState;
struct LastPosition;

class UtmGkDialogModel {
public:
    // Opening: remembers whether a local datum was in force.
    UtmGkDialogModel(GridContext& grid, LastPosition& last, FrameState& frame);

    bool gaussKrueger() const { return grid_.LocalDatumGrid; }
    // The radio buttons "Utm" (false) and "Gauss Krüger" (true).
    void selectGaussKrueger(bool on);
    int spinMin() const { return grid_.LocalDatumGrid ? 2 : 1; }
    int spinMax() const { return grid_.LocalDatumGrid ? 5 : 60; }
    int spinPosition() const { return grid_.LocalDatumGrid ? grid_.GkStrip : grid_.UtmZone; }
    // Field 1088 changed: its number becomes the zone or the strip.
    void setNumber(int number);
    // The longitude band of the zone or strip, e.g. "6° - 12° östlich".
    std::string infoText() const;

    // OK: the zone and strip texts ("%d"); the last position moved into the datum of the
    // new grid when the datum changed; the view centre recomputed.
    struct Result {
        std::string zoneText;
        std::string stripText;
    };
    Result ok();

private:
    GridContext& grid_;
    LastPosition& last_;
    FrameState& frame_;
    bool localDatumAtOpen_;
};

// The band texts on their own, for a zone 1..60 and a strip.
std::string utmZoneBandText(int zone);
std::string gkStripBandText(int strip);

}  // namespace vexa
