// Stored points and the grid in force. A point keeps the datum it was stored in (its datum
// code) until a grid change brings it up to date: it is moved into the datum the new grid
// needs and gets new grid coordinates.
#pragma once

#include "geo/grid.h"
#include "geo/grid_context.h"

namespace vexa {

// One point: longitude, latitude and datum code updated in place; returns the new grid
// position. The grid in force decides:
//   local-datum grid, code '2'        → shifted to the local datum, code '0' or '3'
//   WGS84 grid, code '0'              → shifted from Potsdam to WGS84, code '2'
//   no ED50 grid in force, code '3'   → shifted from ED50 to WGS84, code '2'
GridPoint refreshPoint(double& lon, double& lat, char& datumCode, const GridContext& grid);

// The WGS84 position of a stored point: its grid position through the inverse grid, then
// shifted back from the datum its code names (Potsdam, ED50), whatever the grid's flag says.
GeodeticPoint storedPointToWgs84(double gridX, double gridY, char datumCode, const GridContext& grid);

// Position shifts between WGS84 and the local datums, height 0.
GeodeticPoint wgs84ToLocalDatum(double lon, double lat, const GridContext& grid);
GeodeticPoint potsdamToWgs84(double lon, double lat);
GeodeticPoint ed50ToWgs84(double lon, double lat);

}  // namespace vexa
