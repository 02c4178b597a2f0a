// Which UTM zone or Gauss-Krüger strip a longitude falls in.
#pragma once

namespace vexa {

// The 6° UTM zone, 1 to 60, counted eastward from 180° W.
int utmZoneAt(double longitude);
// The 3° Gauss-Krüger strip whose central meridian (3° · strip) is nearest.
int gkStripAt(double longitude);

}  // namespace vexa
