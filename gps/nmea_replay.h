// Replaying a recorded NMEA log: the text split into lines, each through the replay sequence.
#pragma once

#include <functional>
#include <string_view>

#include "gps/sentence_processing.h"

namespace vexa {

struct GpsInput;

// The start of a replay run, a trip of its own: segment start, seen flags, distance marks,
// previous fixes, last position, trip distance, trip start and average speed.
void StartReplay(GpsInput& in);

// Replays every line that ends in a line feed (a carriage return before it stays in the
// line; text after the last line feed is not replayed). `beforeLine` gets each line before
// it is processed (the pace waits there) and stops the replay by returning false (the
// thread's pause and stop requests).
// Returns the number of lines replayed.
long ReplayNmeaText(GpsInput& in, LogTimers& timers, std::string_view text,
                    const std::function<bool(std::string_view line)>& beforeLine = {});

// The end of a replay run: the log closed, "Thread ProcessEmul ended", replay mode off, the
// trace replay starting at the newest point and the map views at the last position.
void FinishReplay(GpsInput& in);

}  // namespace vexa
