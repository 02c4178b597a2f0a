// The text of a KML <coordinates> element (or a gx:coord) as positions.
#pragma once

#include <functional>
#include <string_view>

namespace vexa {

// Calls `point` (longitude, latitude, altitude) for each position in `text` until it returns
// false. Tuples are "lon,lat[,alt]" separated by any whitespace, blanks around the commas
// allowed; a text without any comma is taken three numbers at a time, as the handheld read
// it. Words between the numbers are passed over; tuples of one number are dropped.
void readCoordinateTuples(std::string_view text,
                          const std::function<bool(double, double, double)>& point);

}  // namespace vexa
