// The trip figures started again when the user clears the route or the trace. The commands call
// these beside the clearing of the tables (ClearRoute, ClearTrace).
#pragma once

namespace vexa {

struct GpsState;
struct LastPosition;

// "Route löschen": the trip distance starts again at 0.
void RestartTripDistance(GpsState& gps);

// "Trace löschen": the whole trip starts again: distance, start time and elapsed text, the
// speed and altitude profiles with their maxima, speed, course and altitude, the last fix's
// texts; no distance is taken to a fix from before, and the next fix starts the trace.
void RestartTrip(GpsState& gps, LastPosition& last);

}  // namespace vexa
