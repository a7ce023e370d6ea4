// World projections on the WGS 1984 ellipsoid (World_ rows, codes 54000 + the
// kind's last two digits) and on the sphere (Sphere_ rows, 53000 + ...). False
// origin and central meridian are 0; a scale factor left at 0 becomes 0.9996
// when the coordinate system builds its operator.
#include "model/catalogue/projected_table_p.h"

#include <cstdio>

namespace {
constexpr long kGcsSphere = 4035;
constexpr long kGcsWgs1984 = 4326;
constexpr long kSphereBase = 53000;
constexpr long kWorldBase = 54000;
constexpr long kKindBase = 43000;
// Winkel's standard parallel: arccos(2/pi), where his projections have equal
// mean scale along the equator and the central meridian.
constexpr double kWinkelParallel = 50.459776;

struct WorldKind {
    long kind;
    const char* name;
    bool hasSphereRow;    // the Hotine row exists on the ellipsoid only
    bool worldOnlyParams; // Behrmann: the sphere row keeps every parameter 0
    double cp, sp1, sp2, k, lon2;
};

const WorldKind kWorldKinds[] = {
    {43001, "Plate_Carree", true, false, 0, 0, 0, 0, 0},
    {43002, "Equidistant_Cylindrical", true, false, 0, 60, 60, 0, 0},
    {43003, "Miller_Cylindrical", true, false, 0, 0, 0, 0, 0},
    {43004, "Mercator", true, false, 0, 0, 0, 0, 0},
    {43008, "Sinusoidal", true, false, 0, 0, 0, 0, 0},
    {43009, "Mollweide", true, false, 0, 0, 0, 0, 0},
    {43010, "Eckert_VI", true, false, 0, 0, 0, 0, 0},
    {43011, "Eckert_V", true, false, 0, 0, 0, 0, 0},
    {43012, "Eckert_IV", true, false, 0, 0, 0, 0, 0},
    {43013, "Eckert_III", true, false, 0, 0, 0, 0, 0},
    {43014, "Eckert_II", true, false, 0, 0, 0, 0, 0},
    {43015, "Eckert_I", true, false, 0, 0, 0, 0, 0},
    {43016, "Gall_Stereographic", true, false, 0, 0, 0, 0, 0},
    {43017, "Behrmann", true, true, 0, 30, -30, 0, 0},
    {43018, "Winkel_I", true, false, 0, kWinkelParallel, kWinkelParallel, 0, 0},
    {43019, "Winkel_II", true, false, 0, kWinkelParallel, kWinkelParallel, 0, 0},
    {43021, "Polyconic", true, false, 0, 0, 0, 0, 0},
    {43022, "Quartic_Authalic", true, false, 0, 0, 0, 0, 0},
    {43023, "Loximuthal", true, false, 40, 0, 0, 0, 0},
    {43024, "Bonne", true, false, 0, 60, 60, 0, 0},
    {43025, "Hotine", false, false, 0, 0, 60, 1, 60},
    {43026, "Stereographic", true, false, 0, 0, 0, 1, 0},
    {43027, "Equidistant_Conic", true, false, 0, 60, 60, 0, 0},
    {43028, "Cassini", true, false, 0, 0, 0, 1, 0},
    {43029, "Van_der_Grinten_I", true, false, 0, 0, 0, 0, 0},
    {43030, "Robinson", true, false, 0, 0, 0, 0, 0},
    {43031, "Two_Point_Equidistant", true, false, 0, 0, 60, 0, 60},
};
} // namespace

int ZrFindWorldRow(long code, ZrProjectedRow& row) {
    const bool sphere = code > kSphereBase && code < kSphereBase + 100;
    const bool world = code > kWorldBase && code < kWorldBase + 100;
    if (!sphere && !world) return 0;
    const long kind = kKindBase + code % 100;
    for (const WorldKind& w : kWorldKinds) {
        if (w.kind != kind) continue;
        if (sphere && !w.hasSphereRow) return 0;
        ZrStartRow(row, code, kUnitMetre, sphere ? kGcsSphere : kGcsWgs1984, kind);
        if (!(sphere && w.worldOnlyParams)) {
            row.params[kParamCP] = w.cp;
            row.params[kParamSP1] = w.sp1;
            row.params[kParamSP2] = w.sp2;
            row.params[kParamK] = w.k;
            row.params[kParamLon2] = w.lon2;
        }
        std::snprintf(row.name, sizeof row.name, "%s_%s", sphere ? "Sphere" : "World", w.name);
        return 1;
    }
    return 0;
}

int ZrWorldCodes(long* out) {
    int n = 0;
    for (const WorldKind& w : kWorldKinds) {
        if (w.hasSphereRow) out[n++] = kSphereBase + w.kind % 100;
        out[n++] = kWorldBase + w.kind % 100;
    }
    return n;
}
