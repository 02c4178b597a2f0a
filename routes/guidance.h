// The target guidance shared by the map frame and the text displays: the target is always the
// last route point.
#pragma once

#include <string>

namespace vexa {

struct Guidance {
    double targetDistance = 0.0;  // metres from the view centre to the target
    bool targetLineOff = false;   // the map view leaves out target line and distance
    bool distanceMarkCleared = true;
};

// "Ziel: …" with three, two, one or no decimals as the distance grows.
std::string targetDistanceText(double metres);

}  // namespace vexa
