#pragma once

// PROJ's view of an EPSG projected CRS, as the oracle comparisons of EPSG
// systems take it: the CRS written as one projection step (its +proj string
// without +type=crs, which takes Greenwich longitudes and handles +pm
// itself), the grid's unit, and a grid of points inside EPSG's area of use.
#include "support/ProjLambertStandIns_p.h"
#include "support/ProjOracle.h"

#include <proj.h>

#include <string>
#include <utility>
#include <vector>

struct ProjEpsgProjection {
    std::string definition;                          // single projection step
    double unitMetres = 1;                           // the grid's linear unit
    double west = 0, south = 0, east = 0, north = 0; // area of use, degrees
};

// Fills out from crs; false when PROJ cannot give all of it.
// PROJ 9.1 writes no string for the south-orientated Bonne; with
// southBonneStandIn its Bonne turned about stands in, and its Lambert stands
// in for the two Lambert methods it does not compute as EPSG defines them
// (ProjLambertStandIn).
inline bool ReadProjEpsgProjection(PJ_CONTEXT* ctx, PJ* crs, ProjEpsgProjection& out,
                                   bool southBonneStandIn = false) {
    const std::string lambert = southBonneStandIn ? ProjLambertStandIn(ctx, crs) : std::string();
    const char* s = lambert.empty() ? proj_as_proj_string(ctx, crs, PJ_PROJ_4, nullptr) : lambert.c_str();
    const std::string southBonne =
        s || !southBonneStandIn ? std::string() : ProjSouthOrientatedBonne(ctx, crs, true);
    if (!s && southBonne.empty()) return false;
    out.definition = s ? s : southBonne;
    const std::size_t at = out.definition.find(" +type=crs");
    if (at != std::string::npos) out.definition.erase(at);
    // EPSG lists Krovak's southing before its westing, and PROJ's +axis=swu
    // answers in that order; the library's x is the east-west axis whatever
    // its direction, so the oracle answers westing first.
    const std::size_t swu = out.definition.find("+axis=swu");
    if (swu != std::string::npos) out.definition.replace(swu, 9, "+axis=wsu");
    PJ* cs = proj_crs_get_coordinate_system(ctx, crs);
    const char *first = nullptr, *second = nullptr;
    const bool ok = cs && proj_cs_get_axis_info(ctx, cs, 0, nullptr, nullptr, &first, &out.unitMetres,
                                                nullptr, nullptr, nullptr);
    // PROJ 9.1 writes Cassini-Soldner on southing and westing axes (Austria's
    // Ferro grids) as a plain cass, though cs2cs answers EPSG:n on the turned
    // axes: the oracle turns them, westing first as above.
    if (ok &&
        proj_cs_get_axis_info(ctx, cs, 1, nullptr, nullptr, &second, nullptr, nullptr, nullptr, nullptr) &&
        first && second && std::string(first) == "south" && std::string(second) == "west" &&
        out.definition.find("+axis=") == std::string::npos)
        out.definition += " +axis=wsu";
    if (cs) proj_destroy(cs);
    return ok && proj_get_area_of_use(ctx, crs, &out.west, &out.south, &out.east, &out.north, nullptr);
}

inline double Wrap180(double lon) {
    while (lon > 180.0)
        lon -= 360.0;
    while (lon < -180.0)
        lon += 360.0;
    return lon;
}

// Grid of points per system inside EPSG's area of use, inset from its edges:
// (Greenwich longitude, latitude) in degrees, longitude outer.
constexpr int kGridSteps = 5;
constexpr double kGridInset = 0.1;

inline std::vector<std::pair<double, double>> AreaOfUseGrid(const ProjEpsgProjection& o) {
    std::vector<std::pair<double, double>> points;
    double east = o.east;
    if (east < o.west) east += 360.0; // area across the antimeridian
    for (int i = 0; i < kGridSteps; ++i) {
        for (int j = 0; j < kGridSteps; ++j) {
            const double u = kGridInset + (1.0 - 2.0 * kGridInset) * i / (kGridSteps - 1);
            const double v = kGridInset + (1.0 - 2.0 * kGridInset) * j / (kGridSteps - 1);
            points.emplace_back(Wrap180(o.west + u * (east - o.west)), o.south + v * (o.north - o.south));
        }
    }
    return points;
}
