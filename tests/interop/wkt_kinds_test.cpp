// Systems defined from parts, one or more per exchangeable kind (many kinds
// have no catalogue row), in each dialect: PROJ's conversion of the text
// agrees with our Forward, and the text read back projects identically.
#include "interop/ZrInterop.h"
#include "model/ZrPJCoordSys.h"
#include "platform/ZrToolkit.h"
#include "tests/interop/wkt_support_p.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

constexpr double kMillimetre = 1e-3;
constexpr double kNanometre = 1e-9;

struct Case {
    const char* what;
    long kind;
    int spheroid; // 0 WGS 84 (catalogue), 1 a user sphere of radius 6371000 m, 2 Clarke 1866 from parts
    long units;
    double fe, fn, cm, cp, sp1, sp2, k, az, lon1, lon2;
    const char* refused;          // dialects refused: any of "E" (ESRI), "1" (WKT1), "2" (WKT2)
    const char* projDiffers = ""; // dialects PROJ 9.1 reads but does not compute as EPSG defines
};

const Case kCases[] = {
    {"Albers, two parallels", 43007, 0, 10000, 0, 0, 105, 0, 25, 47, 1, 0, 0, 0, ""},
    {"Lambert 1SP with scale, user ellipsoid", 43020, 2, 10000, 600000, 2200000, 2.337229, 46.8, 46.8, 46.8,
     0.99987742, 0, 0, 0, ""},
    {"Lambert 2SP in US survey feet", 43020, 2, kZrUnitUsSurveyFoot, 2000000, 500000, -122, 37.666667,
     39.833333, 38.333333, 1, 0, 0, 0, ""},
    {"Lambert, one parallel off the origin", 43020, 0, 10000, 0, 0, 10, 30, 45, 45, 1, 0, 0, 0, ""},
    {"equidistant conic", 43027, 0, 10000, 0, 0, 20, 10, 30, 60, 1, 0, 0, 0, ""},
    {"Transverse Mercator in kilometres, origin at 49N", 43006, 2, 10000000, 400, -100, -2, 49, 0, 0,
     0.9996012717, 0, 0, 0, ""},
    {"Gauss-Krueger", 43005, 0, 10000, 500000, 0, 117, 0, 0, 0, 1, 0, 0, 0, ""},
    {"oblique Mercator from the centre", 43043, 0, 10000, 590476.87, 442857.65, 115, 4, 53.13010236111111, 0,
     0.99984, 53.31582047222222, 0, 0, ""},
    {"oblique Mercator from the natural origin, grid angle = azimuth", 43044, 0, 10000, 0, 0, -133.666667, 57,
     -36.86989764, 0, 0.9999, -36.86989764, 0, 0, ""},
    {"Mercator on a standard parallel", 43004, 0, 10000, 0, 0, 100, 0, 41, 41, 1, 0, 0, 0, ""},
    {"Mercator on the sphere of radius a", 43045, 0, 10000, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, ""},
    {"polyconic in feet", 43021, 0, 3048, 100000, 50000, -54, 10, 0, 0, 1, 0, 0, 0, ""},
    {"Bonne", 43024, 0, 10000, 1000, 2000, 10, 0, 45, 45, 1, 0, 0, 0, ""},
    {"south-orientated Bonne in feet about a southern origin", 43046, 2, 3048, 300000, 400000, 25, -30, 0, 0,
     1, 0, 0, 0, ""},
    {"cylindrical equal area", 43041, 0, 10000, 0, 0, 0, 0, 30, 30, 1, 0, 0, 0, ""},
    {"sinusoidal", 43008, 0, 10000, 0, 0, 20, 0, 0, 0, 1, 0, 0, 0, ""},
    {"Mollweide", 43009, 0, 10000, 0, 0, 20, 0, 0, 0, 1, 0, 0, 0, ""},
    {"Eckert IV", 43012, 0, 10000, 0, 0, 20, 0, 0, 0, 1, 0, 0, 0, ""},
    {"Eckert VI", 43010, 0, 10000, 0, 0, 20, 0, 0, 0, 1, 0, 0, 0, ""},
    {"Winkel I", 43018, 0, 10000, 0, 0, 20, 0, 50.459973, 0, 1, 0, 0, 0, ""},
    {"loximuthal", 43023, 0, 10000, 0, 0, 20, 0, 40, 40, 1, 0, 0, 0, ""},
    {"quartic authalic", 43022, 0, 10000, 0, 0, 20, 0, 0, 0, 1, 0, 0, 0, ""},
    {"two-point equidistant", 43031, 0, 10000, 0, 0, 0, 0, 30, 40, 1, 0, 10, 30, ""},
    {"Gall stereographic", 43016, 0, 10000, 0, 0, 20, 0, 0, 0, 1, 0, 0, 0, ""},
    {"Miller on a sphere", 43003, 1, 10000, 0, 0, 20, 0, 0, 0, 1, 0, 0, 0, ""},
    {"Van der Grinten on a sphere", 43029, 1, 10000, 0, 0, 20, 0, 0, 0, 1, 0, 0, 0, ""},
    {"Cassini on a sphere", 43028, 1, 10000, 0, 0, 20, 0, 0, 0, 1, 0, 0, 0, ""},
    {"Lambert azimuthal on a sphere", 43033, 1, 10000, 0, 0, 20, 50, 0, 0, 1, 0, 0, 0, ""},
    {"stereographic on a sphere", 43034, 1, 10000, 0, 0, 20, 50, 0, 0, 1, 0, 0, 0, ""},
    {"orthographic on a sphere", 43035, 1, 10000, 0, 0, 20, 50, 0, 0, 1, 0, 0, 0, ""},
    {"gnomonic on a sphere", 43036, 1, 10000, 0, 0, 20, 50, 0, 0, 1, 0, 0, 0, ""},
    // EPSG's azimuthal equidistant (1125) is newer than PROJ 9.1, which cannot compute it.
    {"azimuthal equidistant on a sphere", 43032, 1, 10000, 0, 0, 20, 50, 0, 0, 1, 0, 0, 0, "", "2"},
    {"sinusoid on a sphere", 43040, 1, 10000, 0, 0, 20, 0, 0, 0, 1, 0, 0, 0, ""},
    {"Lambert azimuthal equal area on the ellipsoid", 43047, 0, 10000, 4321000, 3210000, 10, 52, 0, 0, 1, 0, 0,
     0, ""},
    {"Lambert azimuthal equal area on the ellipsoid, north polar", 43047, 2, 10000, 0, 0, -100, 90, 0, 0, 1,
     0, 0, 0, ""},
    {"oblique stereographic", 43048, 0, 10000, 155000, 463000, 5.387638889, 52.156160556, 0, 0, 0.9999079,
     0, 0, 0, ""},
    {"polar stereographic (variant A), south", 43049, 0, 10000, 2000000, 2000000, 0, -90, 0, 0, 0.994, 0, 0,
     0, ""},
    // ESRI names variant B's pole in the method: not written in that dialect.
    {"polar stereographic (variant B)", 43050, 0, 10000, 0, 0, -45, 0, 70, 70, 1, 0, 0, 0, "E"},
    // PROJ 9.1's krovak computes on Bessel 1841 whatever ellipsoid it is given.
    {"Krovak (north orientated)", 43053, 2, 10000, 0, 0, 24.8333333333333, 49.5, 78.5, 78.5, 0.9999,
     30.2881397527778, 0, 0, "", "E12"},
    // Westings and southings: only WKT2 names the axes that tell it from the
    // north-orientated form. PROJ 9.1's krovak computes on Bessel 1841 whatever ellipsoid it is given.
    {"Krovak (westings and southings)", 43052, 0, 10000, 0, 0, 24.8333333333333, 49.5, 78.5, 78.5, 0.9999,
     30.2881397527778, 0, 0, "E1", "2"},
    // PROJ 9.1 reads the modified Krovaks and the zoned grid but computes neither.
    {"Krovak modified", 43064, 0, 10000, 5000000, 5000000, 24.8333333333333, 49.5, 78.5, 78.5, 0.9999,
     30.2881397222222, 0, 0, "E1", "2"},
    {"Krovak modified north orientated", 43065, 0, 10000, -5000000, -5000000, 24.8333333333333, 49.5, 78.5,
     78.5, 0.9999, 30.2881397222222, 0, 0, "E1", "2"},
    {"Laborde", 43066, 0, 10000, 400000, 800000, 46.4372291666667, -18.9, 0, 0, 0.9995, 18.9, 0, 0, ""},
    {"transverse Mercator zoned grid", 43067, 0, 10000, 500000, 0, -180, 0, 0, 0, 0.9996, 0, 6, 0, "E1", "2"},
    {"Tunisia mining grid", 43068, 0, 10000, 270000, 360000, 7.051005, 32.93676, 0, 0, 1, 0, 0, 0, "", "E12"},
    {"Cassini-Soldner on an ellipsoid from parts", 43057, 2, 10000, 100000, 50000, -61.3, 10.4, 0, 0, 1, 0, 0,
     0, ""},
    // Southings and westings: ESRI's texts name no axes, so it has no ESRI form.
    {"Cassini-Soldner on south and west axes, false origin", 43080, 2, 10000, 100000, 50000, 14.1, 48, 0, 0,
     1, 0, 0, 0, "E"},
    {"transverse Mercator south orientated", 43059, 0, 10000, 0, 0, 29, 0, 0, 0, 1, 0, 0, 0, ""},
    // PROJ 9.1 reads it, but its +axis=wsu step computes no point once a false
    // origin is set (as cct and cs2cs show on the plain string); the texts
    // still read back here.
    {"transverse Mercator south orientated, scaled about a southern origin", 43059, 2, 3048, 300000, 400000,
     17, -22, 0, 0, 0.9999, 0, 0, 0, "", "E12"},
    {"Equal Earth about 150E", 43060, 0, 10000, 1000, -2000, 150, 0, 0, 0, 1, 0, 0, 0, ""},
    // Bogota's city grid, its plane 2550 m up kept as the scale 1 + h0 / a; GDAL's WKT1 has no form of it.
    {"Colombia urban", 43069, 0, 10000, 92334.879, 109320.965, -74.1465916666667, 4.68048611111111, 0, 0,
     1.0 + 2550.0 / 6378137.0, 0, 0, 0, "1"},
    // ESRI's Orthographic is spherical: the ellipsoidal view has no ESRI form.
    {"orthographic on the ellipsoid", 43070, 0, 10000, 1000, 2000, 20, 50, 0, 0, 1, 0, 0, 0, "E"},
    {"azimuthal equidistant on the ellipsoid", 43071, 2, 10000, 0, 0, 20, 50, 0, 0, 1, 0, 0, 0, "", "2"},
    // PROJ 9.1's nzmg computes on the International ellipsoid whatever ellipsoid it is given.
    {"New Zealand map grid", 43075, 0, 10000, 2510000, 6023150, 173, -41, 0, 0, 1, 0, 0, 0, "", "E12"},
    // The satellite 35785831 m up, kept as the scale 1 + h / a; the sweep about x has only WKT2's name.
    {"geostationary satellite", 43072, 0, 10000, 0, 0, -75, 0, 0, 0, 1.0 + 35785831.0 / 6378137.0, 0, 0, 0,
     ""},
    {"geostationary satellite, sweep about x", 43073, 2, 10000, 0, 0, -75, 0, 0, 0,
     1.0 + 35785831.0 / 6378206.4, 0, 0, 0, "E1"},
    {"interrupted Goode homolosine", 43074, 0, 10000, 0, 0, 10, 0, 0, 0, 1, 0, 0, 0, "E"},
    // What no dialect (or not every dialect) can state.
    // EPSG's spherical Lambert azimuthal (1027), computed by PROJ 9.1 on the ellipsoid.
    {"Lambert azimuthal on the sphere of equal area", 43033, 0, 10000, 0, 0, 20, 50, 0, 0, 1, 0, 0, 0, "E1",
     "2"},
    {"Miller on an ellipsoid", 43003, 0, 10000, 0, 0, 20, 0, 0, 0, 1, 0, 0, 0, "E12"},
    {"Cassini on an ellipsoid", 43028, 0, 10000, 0, 0, 20, 0, 0, 0, 1, 0, 0, 0, "E12"},
    {"stereographic on an ellipsoid", 43034, 0, 10000, 0, 0, 20, 50, 0, 0, 1, 0, 0, 0, "E12"},
    {"Winkel II", 43019, 0, 10000, 0, 0, 20, 0, 50, 0, 1, 0, 0, 0, "E12"},
    {"China", 43037, 0, 10000, 0, 0, 105, 0, 35, 0, 1, 0, 0, 0, "E12"},
    {"south-orientated Bonne with its origin on the equator", 43046, 0, 10000, 0, 0, 20, 0, 0, 0, 1, 0, 0, 0,
     "E12"},
};

CZrPJGeoCoordSys Geographic(int spheroid) {
    CZrPJGeoCoordSys gcs;
    if (spheroid == 0) {
        gcs.Set(static_cast<tagGeoCoordSysType>(4326));
        return gcs;
    }
    const CZrPJSpheroid s = spheroid == 1
                                ? CZrPJSpheroid("Sphere_6371000", 6371000.0, 0.0)
                                : CZrPJSpheroid("Clarke 1866 (parts)", 6378206.4, 1 / 294.9786982138982);
    gcs.Set("GCS_Parts", CZrPJDatum("D_Parts", s), CZrPJPrimeMeridian(), 0);
    return gcs;
}

} // namespace

TEST(WktKinds, EveryExchangeableKindAgreesWithProjAndReadsBackIdentically) {
    const tagZrCrsTextFormat forms[3] = {ZR_CRS_TEXT_ESRI_WKT1, ZR_CRS_TEXT_WKT1_GDAL, ZR_CRS_TEXT_WKT2_2019};
    const char letters[3] = {'E', '1', '2'};
    for (const Case& c : kCases) {
        CZrPJParams p;
        p.FalseEasting = c.fe, p.FalseNorthing = c.fn, p.CentralMeridian = c.cm, p.CentralParallel = c.cp;
        p.StandardParallel1 = c.sp1, p.StandardParallel2 = c.sp2, p.ScaleFactor = c.k, p.Azimuth = c.az;
        p.FirstPointLongitude = c.lon1, p.SecondPointLongitude = c.lon2;
        CZrPJCoordSys cs;
        ASSERT_TRUE(cs.Set(c.what, Geographic(c.spheroid), CZrPJObject(static_cast<tagPJObjectType>(c.kind)),
                           p, c.units))
            << c.what;
        const double metres = ZrUnitCodeToMetres(c.units);
        for (int d = 0; d < 3; ++d) {
            CString text, reason;
            const bool expectRefusal = std::string(c.refused).find(letters[d]) != std::string::npos;
            const int ok = ZrExportCoordSys(cs, forms[d], text, &reason);
            if (expectRefusal) {
                EXPECT_FALSE(ok) << c.what << " " << letters[d] << ": " << text.c_str();
                EXPECT_FALSE(reason.IsEmpty());
                continue;
            }
            ASSERT_TRUE(ok) << c.what << " " << letters[d] << ": " << reason.c_str();
            ProjCrs proj(text.c_str());
            const bool projComputes = std::string(c.projDiffers).find(letters[d]) == std::string::npos;
            ASSERT_TRUE(proj.ok()) << c.what << ": PROJ cannot read " << text.c_str();
            ASSERT_TRUE(proj.projected() || !projComputes) << c.what << ": PROJ cannot read " << text.c_str();
            CZrPJCoordSys back;
            ASSERT_TRUE(ZrImportCoordSys(text, back, &reason)) << c.what << ": " << reason.c_str();
            int compared = 0;
            for (int i = -1; i <= 1; ++i)
                for (int j = -1; j <= 1; ++j) {
                    const double lon = (c.kind == 43031 ? 20 : c.cm) + 2 * i;
                    const double lat = std::max(-80.0, std::min(80.0, (c.kind == 43031 ? 35 : c.cp) + j + 1));
                    CPoint2D ours(lon, lat), again(lon, lat);
                    cs.Forward(&ours, 1);
                    back.Forward(&again, 1);
                    EXPECT_LE(std::hypot(ours.x - again.x, ours.y - again.y) * metres, kNanometre)
                        << c.what << " " << letters[d] << " read back";
                    double x, y;
                    if (!projComputes || !proj.Forward(lon, lat, x, y) || (ours.x == lon && ours.y == lat))
                        continue;
                    EXPECT_LE(std::hypot(ours.x * metres - x * proj.metresPerUnit(),
                                         ours.y * metres - y * proj.metresPerUnit()),
                              kMillimetre)
                        << c.what << " " << letters[d] << " at " << lon << "," << lat << ": " << text.c_str();
                    ++compared;
                }
            EXPECT_TRUE(compared > 0 || !projComputes) << c.what;
        }
    }
}
