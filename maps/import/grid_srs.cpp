#include "maps/import/grid_srs.h"

#include <cpl_conv.h>

#include "geo/datum.h"
#include "geo/grid.h"
#include "maps/map_catalogue.h"
#include "util/text.h"

namespace vexa {

namespace {

struct DatumNames {
    const char* datum;
    const char* ellipsoid;
};

DatumNames datumNames(const GridContext& grid) {
    if (!grid.LocalDatumGrid) return {"WGS_1984", "WGS 84"};
    if (grid.Ed50Datum) return {"European 1950, 3-parameter shift", "International 1924"};
    return {"Potsdam, 3-parameter shift", "Bessel 1841"};
}

void setGeographic(OGRSpatialReference& srs, const char* name, const DatumNames& names, const Ellipsoid& e,
                   const char* angularUnit, double radiansPerUnit) {
    srs.SetGeogCS(name, names.datum, names.ellipsoid, e.a, 1.0 / e.f, "Greenwich", 0.0, angularUnit,
                  radiansPerUnit);
}

}  // namespace

OGRSpatialReference gridSpatialReference(const GridContext& grid) {
    OGRSpatialReference srs;
    if (grid.MercatorGrid) {
        // Mercator on a sphere, fed with WGS84 latitudes as they are: a null shift between
        // the sphere and WGS84, not a geocentric one, which would move latitudes.
        srs.importFromProj4(strprintf("+proj=merc +R=%.3f +lon_0=0 +x_0=0 +y_0=0 +k=1 +units=m "
                                      "+nadgrids=@null +wktext +no_defs",
                                      grid.MercatorRadius)
                                .c_str());
    } else if (grid.PlateCarreeGrid) {
        setGeographic(srs, "WGS 84 in 1/10000 degree", datumNames(grid), kWgs84, "1/10000 degree",
                      kDegToRad / 10000.0);
    } else {
        const TransverseMercatorGrid tm = transverseMercatorGrid(grid);
        const DatumNames names = datumNames(grid);
        const bool gk = grid.LocalDatumGrid && !grid.Ed50Datum;
        srs.SetProjCS(gk ? strprintf("Gauss-Krueger strip %d", grid.GkStrip).c_str()
                         : strprintf("UTM zone %d, %s", grid.UtmZone, names.ellipsoid).c_str());
        setGeographic(srs, names.datum, names, tm.ellipsoid, SRS_UA_DEGREE, kDegToRad);
        if (grid.LocalDatumGrid) {
            const CartesianPoint shift = localDatumToWgs84Shift(grid);
            srs.SetTOWGS84(shift.X, shift.Y, shift.Z);
        }
        srs.SetTM(0.0, tm.centralMeridian, tm.scale, kFalseEasting, 0.0);
        srs.SetLinearUnits(SRS_UL_METER, 1.0);
    }
    srs.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    return srs;
}

std::string gridWkt(const GridContext& grid) {
    char* wkt = nullptr;
    const char* const options[] = {"FORMAT=WKT1_GDAL", nullptr};
    gridSpatialReference(grid).exportToWkt(&wkt, options);
    std::string text = wkt ? wkt : "";
    CPLFree(wkt);
    return text;
}

std::array<double, 6> mapGeoTransform(const GridContext& grid, const MapFileName& name) {
    const double height = 1000.0 / name.resolution;
    const double stretch =
        grid.PlateCarreeGrid && grid.RectangularPixels ? rectangularPixelStretch(name.top) : 1.0;
    return {static_cast<double>(name.left), height * stretch, 0.0, static_cast<double>(name.top), 0.0, -height};
}

}  // namespace vexa
