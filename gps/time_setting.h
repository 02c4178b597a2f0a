// GPS time against the device clock: setting the clock from the receiver and showing fix
// times in local time.
#pragma once

#include <span>
#include <string_view>

namespace vexa {

struct GpsInput;
class Clock;

// `timeField` is hhmmss[.sss] as received, `dateField` ddmmyy or empty. Sets the clock when
// synchronisation is on, a fix is held and no log is being replayed; then rewrites the first
// two characters of `timeField` to the local hour.
void TimeSetting(GpsInput& in, std::span<char> timeField, std::string_view dateField);

// Rewrites the first two characters of "hh:mm:ss" from the UTC hour to the local hour.
void AdjustTime(const Clock& clock, std::span<char> timeText);

}  // namespace vexa
