#include "gps/trip_reset.h"

#include "gps/gps_state.h"

namespace vexa {

void RestartTripDistance(GpsState& gps) { gps.tripDistance = 0.0; }

void RestartTrip(GpsState& gps, LastPosition& last) {
    RestartTripDistance(gps);
    gps.speedProfile.fill(0);
    gps.altitudeProfile.fill(0);
    gps.speedProfileNext = gps.altitudeProfileNext = 0;
    gps.speedMax = gps.altitudeMax = 0;
    gps.tripStartSecond = 0;
    gps.speed = 0.0f;
    gps.course = 0.0f;
    gps.altitude = 0.0f;
    last.timeText.assign(" ");
    last.elapsedText.assign(" ");
    last.dateText.assign(" ");
    gps.elapsedText.assign("00:00:00");
    // No distance is taken to a fix from before the clearing; the next fix starts the trace.
    gps.rmcPrevValid = gps.ggaPrevValid = false;
    gps.rmcPrevLat = gps.ggaPrevLat = 0.0;
    gps.traceSegmentStart = true;
    gps.traceFirstFix = true;
}

}  // namespace vexa
