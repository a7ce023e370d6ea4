// PROJ's own well-known text of every EPSG system the data file holds, read
// by us and compared with PROJ's conversion of the code.
#include "interop/ZrEpsgData_p.h"
#include "interop/ZrInterop.h"
#include "model/ZrPJCoordSys.h"
#include "platform/ZrToolkit.h"
#include "tests/interop/wkt_support_p.h"
#include "support/Sweep_p.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>

namespace {

constexpr double kMillimetre = 1e-3;
// The Transverse Mercator series of the kind (eighth order in longitude) and
// PROJ's exact form part beyond about 4 degrees from the central meridian;
// there the series' own error is measured and printed instead.
constexpr double kTmSeriesReachDegrees = 4.0;

struct Dialect {
    PJ_WKT_TYPE type;
    tagZrCrsTextFormat format;
    const char* name;
};
const Dialect kDialects[] = {
    {PJ_WKT1_ESRI, ZR_CRS_TEXT_ESRI_WKT1, "ESRI WKT1"},
    {PJ_WKT1_GDAL, ZR_CRS_TEXT_WKT1_GDAL, "WKT1"},
    {PJ_WKT2_2019, ZR_CRS_TEXT_WKT2_2019, "WKT2"},
};

// A 3x3 grid over the middle half of the code's area of use, in longitudes
// from the system's prime meridian (the area is given from Greenwich).
bool AreaGrid(const ProjCrs& proj, double lon[9], double lat[9]) {
    double west, south, east, north, a, rf, pm;
    if (!proj_get_area_of_use(proj.ctx(), proj.crs(), &west, &south, &east, &north, nullptr) ||
        !proj.Ellipsoid(a, rf, pm))
        return false;
    west -= pm;
    east -= pm;
    if (west > east) east += 360.0;
    int n = 0;
    for (int i = 1; i <= 3; ++i)
        for (int j = 1; j <= 3; ++j, ++n) {
            lon[n] = west + (east - west) * i / 4.0;
            if (lon[n] > 180.0) lon[n] -= 360.0;
            if (lon[n] < -180.0) lon[n] += 360.0;
            lat[n] = south + (north - south) * j / 4.0;
        }
    return true;
}

} // namespace

// Every projected EPSG system the EPSG function builds: PROJ's ESRI WKT1, WKT1 and
// WKT2 renderings are read and project as PROJ's conversion of the code does,
// within a millimetre on a grid over the area of use (Transverse Mercator
// beyond its series' reach is measured and printed). What is refused names
// its reason, and only the known reasons occur (a kind on a sphere, a unit that
// is no whole number of tenths of a millimetre). Sanitizer builds read every
// tenth code.
TEST(WktImport, ProjRenderingsOfEveryEpsgProjectedSystemProjectAsProjDoes) {
    std::vector<long> codes;
    ZrEpsgProjectedCodes(codes);
    if (codes.empty()) GTEST_SKIP() << "no EPSG data file";
    std::map<std::string, int> refused;
    std::map<std::string, double> worst, tmBeyond;
    int accepted[3] = {0, 0, 0}, tried = 0;
    double eqcDiffers = 0;
    for (size_t c = 0; c < codes.size(); c += kZrSweepStride) {
        const long code = codes[c];
        CZrPJCoordSys fromEpsg;
        if (!ZrCoordSysFromEpsg(code, fromEpsg)) continue;
        ProjCrs proj("EPSG:" + std::to_string(code));
        if (!proj.projected()) continue;
        ++tried;
        double lon[9], lat[9];
        if (!AreaGrid(proj, lon, lat)) continue;
        for (int d = 0; d < 3; ++d) {
            const std::string text = proj.Wkt(kDialects[d].type);
            if (text.empty()) continue;
            CZrPJCoordSys cs;
            CString reason;
            tagZrCrsTextFormat detected = ZR_CRS_TEXT_UNKNOWN;
            if (!ZrImportCoordSys(CString(text), cs, &reason, &detected)) {
                std::string why = reason.str();
                ASSERT_FALSE(why.empty()) << code;
                // The reason without its numbers, for the tally.
                why = why.substr(0, why.find_first_of("0123456789("));
                ++refused[std::string(kDialects[d].name) + ": " + why];
                continue;
            }
            EXPECT_EQ(detected, kDialects[d].format) << code;
            ++accepted[d];
            const bool tm = text.find("ransverse") != std::string::npos;
            // PROJ computes EPSG's ellipsoidal equidistant cylindrical on the
            // sphere of radius a, and EPSG's spherical Lambert azimuthal on the ellipsoid.
            const long kind = cs.GetProjection().GetType();
            const bool eqc = kind == 43002 || kind == 43001 || kind == 43033;
            // PROJ 9.1 computes Belgium's Lambert (EPSG:31300) without EPSG's
            // 29.2985" turn, 750 m from EPSG's worked example, which the
            // library follows (held to it in the projection tests).
            if (kind == 43055) continue;
            // PROJ's WKT1 of Krovak's westings and southings names no axes,
            // nor do both WKT1 forms of Austria's south-west Cassini-Soldner
            // grids, and PROJ (as GDAL) reads them back on east and north
            // axes: such a text is held to PROJ's reading of it.
            const bool unturnedWkt1 = ((d == 1 && kind == 43053) || (d < 2 && kind == 43057)) &&
                                      text.find("AXIS") == std::string::npos &&
                                      proj.Wkt(PJ_WKT2_2019).find("south") != std::string::npos;
            const ProjCrs ownReading(unturnedWkt1 ? text : std::string());
            const ProjCrs& oracle = unturnedWkt1 ? ownReading : proj;
            std::string method = text.substr(text.find(d == 2 ? "METHOD[" : "PROJECTION["));
            method = method.substr(0, method.find(']'));
            for (int k = 0; k < 9; ++k) {
                double e;
                if (!GroundDifference(cs, oracle, lon[k], lat[k], e)) continue;
                double dl = std::fabs(lon[k] - cs.GetParams().CentralMeridian);
                dl = std::min(dl, 360.0 - dl);
                if (eqc) {
                    eqcDiffers = std::max(eqcDiffers, e);
                    continue;
                }
                if (tm && dl > kTmSeriesReachDegrees) {
                    tmBeyond[method] = std::max(tmBeyond[method], e);
                    continue;
                }
                EXPECT_LE(e, kMillimetre)
                    << "EPSG:" << code << " " << kDialects[d].name << " at " << lon[k] << "," << lat[k];
                worst[method] = std::max(worst[method], e);
            }
        }
    }
    // The reasons EPSG systems are refused for: a kind computing on a sphere,
    // units that are no whole number of tenths of a millimetre, PROJ's ESRI
    // form of a 3-D system, and ESRI's
    // form of Michigan's scaled cone (a two-parallel Lambert with a scale
    // factor, not yet read as the Michigan kind; its WKT1 and WKT2 build).
    for (const auto& r : refused) {
        const bool known = r.first.find("sphere") != std::string::npos ||
                           r.first.find("linear unit") != std::string::npos ||
                           r.first == "ESRI WKT1: Lambert with two standard parallels and a scale factor" ||
                           // PROJ writes the transverse Mercator 3D system
                           // (EPSG:9895) in ESRI's form with a VERTCS after
                           // the PROJCS, which is not one definition.
                           (r.first.rfind("ESRI WKT1: malformed WKT", 0) == 0 && r.second == 1);
        EXPECT_TRUE(known) << r.first;
    }
    std::printf("%d EPSG projected systems built by code; read: ESRI WKT1 %d, WKT1 %d, WKT2 %d\n", tried,
                accepted[0], accepted[1], accepted[2]);
    for (const auto& r : refused)
        std::printf("  refused %4d  %s\n", r.second, r.first.c_str());
    for (const auto& w : worst)
        std::printf("  worst %-70s %.3g mm\n", w.first.c_str(), w.second * 1e3);
    std::printf(
        "  equidistant cylindrical and spherical Lambert azimuthal, which PROJ computes otherwise: %.3g m\n",
        eqcDiffers);
    for (const auto& w : tmBeyond)
        std::printf("  beyond %g deg %-62s %.3g mm\n", kTmSeriesReachDegrees, w.first.c_str(),
                    w.second * 1e3);
}

// Every geographic EPSG system of the data file: the three renderings read as
// a geographic system on the same ellipsoid and prime meridian as PROJ's.
TEST(WktImport, ProjRenderingsOfEveryEpsgGeographicSystemKeepEllipsoidAndMeridian) {
    std::vector<long> codes;
    ZrEpsgGeographicCodes(codes);
    if (codes.empty()) GTEST_SKIP() << "no EPSG data file";
    int read = 0;
    for (size_t i = 0; i < codes.size(); i += kZrSweepStride) {
        const long code = codes[i];
        ProjCrs proj("EPSG:" + std::to_string(code));
        double a, rf, pm;
        if (!proj.ok() || !proj.Ellipsoid(a, rf, pm)) continue;
        for (const Dialect& d : kDialects) {
            CZrPJCoordSys cs;
            CString reason;
            ASSERT_TRUE(ZrImportCoordSys(CString(proj.Wkt(d.type)), cs, &reason))
                << "EPSG:" << code << " " << d.name << ": " << reason.c_str();
            ASSERT_EQ(cs.GetType(), 1);
            const CZrPJSpheroid s = cs.GetGCS().GetDatum().GetSpheroid();
            EXPECT_NEAR(s.GetAxis(), a, 1e-3) << code;
            EXPECT_NEAR(s.GetFlattening(), rf == 0 ? 0 : 1 / rf, 1e-9) << code;
            EXPECT_NEAR(cs.GetGCS().GetPrimeMeridian().GetLongitude(), pm, 1e-9) << code;
            ++read;
        }
    }
    std::printf("%zu EPSG geographic systems, %d renderings read\n", codes.size(), read);
}

// Names other software writes for methods the kinds compute: ESRI's
// Plate_Carree (PROJ reads it as +proj=eqc +lat_ts=0) and EPSG's own code
// for the equidistant conic with the false origin's parameter names (as PROJ
// writes it from 9.2 on). Each reads as the kind and parameters PROJ gives it.
TEST(WktImport, OtherSoftwaresMethodNamesReadAsTheirKinds) {
    struct Case {
        const char* text;
        long kind;
        double lon0, lat0, sp1, sp2, fe;
    };
    const Case cases[] = {
        {"PROJCS[\"x\",GEOGCS[\"GCS_WGS_1984\",DATUM[\"D_WGS_1984\",SPHEROID[\"WGS_1984\",6378137.0,"
         "298.257223563]],PRIMEM[\"Greenwich\",0.0],UNIT[\"Degree\",0.0174532925199433]],"
         "PROJECTION[\"Plate_Carree\"],PARAMETER[\"False_Easting\",1000.0],PARAMETER[\"False_Northing\",0.0],"
         "PARAMETER[\"Central_Meridian\",10.0],UNIT[\"Meter\",1.0]]",
         PJ_KIND_EQUIDISTANT_CYLINDRICAL, 10.0, 0.0, 0.0, 0.0, 1000.0},
        {"PROJCRS[\"x\",BASEGEOGCRS[\"WGS 84\",DATUM[\"World Geodetic System 1984\",ELLIPSOID[\"WGS 84\","
         "6378137,298.257223563]],PRIMEM[\"Greenwich\",0],ANGLEUNIT[\"degree\",0.0174532925199433]],"
         "CONVERSION[\"x\",METHOD[\"Equidistant Conic\",ID[\"EPSG\",1119]],"
         "PARAMETER[\"Latitude of false "
         "origin\",10,ANGLEUNIT[\"degree\",0.0174532925199433],ID[\"EPSG\",8821]],"
         "PARAMETER[\"Longitude of false "
         "origin\",20,ANGLEUNIT[\"degree\",0.0174532925199433],ID[\"EPSG\",8822]],"
         "PARAMETER[\"Latitude of 1st standard parallel\",30,ANGLEUNIT[\"degree\",0.0174532925199433],"
         "ID[\"EPSG\",8823]],PARAMETER[\"Latitude of 2nd standard parallel\",60,"
         "ANGLEUNIT[\"degree\",0.0174532925199433],ID[\"EPSG\",8824]],"
         "PARAMETER[\"Easting at false origin\",500,LENGTHUNIT[\"metre\",1],ID[\"EPSG\",8826]],"
         "PARAMETER[\"Northing at false origin\",0,LENGTHUNIT[\"metre\",1],ID[\"EPSG\",8827]]],"
         "CS[Cartesian,2],AXIS[\"(E)\",east,ORDER[1],LENGTHUNIT[\"metre\",1]],"
         "AXIS[\"(N)\",north,ORDER[2],LENGTHUNIT[\"metre\",1]]]",
         PJ_KIND_EQUIDISTANT_CONIC, 20.0, 10.0, 30.0, 60.0, 500.0},
    };
    for (const Case& c : cases) {
        CZrPJCoordSys cs;
        CString reason;
        ASSERT_TRUE(ZrImportCoordSys(c.text, cs, &reason)) << reason.c_str();
        const CZrPJParams p = cs.GetParams();
        EXPECT_EQ(cs.GetProjection().GetType(), c.kind);
        EXPECT_EQ(p.CentralMeridian, c.lon0);
        EXPECT_EQ(p.CentralParallel, c.lat0);
        EXPECT_EQ(p.StandardParallel1, c.sp1);
        EXPECT_EQ(p.StandardParallel2, c.sp2);
        EXPECT_EQ(p.FalseEasting, c.fe);
    }
}

namespace {
// EPSG's Krovak (southings and westings) in WKT2 on the Ferro meridian, with the axes given.
std::string KrovakWkt2(const std::string& axes) {
    const std::string deg = ",ANGLEUNIT[\"degree\",0.0174532925199433]]";
    return "PROJCRS[\"K\",BASEGEOGCRS[\"S-JTSK (Ferro)\",DATUM[\"S-JTSK (Ferro)\",ELLIPSOID[\"Bessel 1841\","
           "6377397.155,299.1528128]],PRIMEM[\"Ferro\",-17.6666666666667" +
           deg +
           "],CONVERSION[\"Krovak\",METHOD[\"Krovak\",ID[\"EPSG\",9819]],"
           "PARAMETER[\"Latitude of projection centre\",49.5" +
           deg + ",PARAMETER[\"Longitude of origin\",42.5" + deg +
           ",PARAMETER[\"Co-latitude of cone axis\",30.2881397527778" + deg +
           ",PARAMETER[\"Latitude of pseudo standard parallel\",78.5" + deg +
           ",PARAMETER[\"Scale factor on pseudo standard parallel\",0.9999,SCALEUNIT[\"unity\",1]],"
           "PARAMETER[\"False easting\",0,LENGTHUNIT[\"metre\",1]],"
           "PARAMETER[\"False northing\",0,LENGTHUNIT[\"metre\",1]]],CS[Cartesian,2]," +
           axes + ",LENGTHUNIT[\"metre\",1]]";
}
} // namespace

// The dialects' own forms of the polar stereographic and Krovak read as the
// EPSG method PROJ reads them as, on the text's own prime meridian: GDAL's
// Polar_Stereographic with a latitude of origin off the pole (variant B),
// ESRI's pole-named methods, ESRI's Krovak turned to eastings and northings
// or left unturned, EPSG's Krovak on either pair of axes, and a Ferro-based Krovak, which shares its ground
// with the Greenwich one but not its longitudes.
TEST(WktImport, PolarStereographicAndKrovakDialectFormsProjectAsProjReadsThem) {
    const std::string wgs84 =
        "GEOGCS[\"GCS_WGS_1984\",DATUM[\"D_WGS_1984\",SPHEROID[\"WGS_1984\",6378137.0,"
        "298.257223563]],PRIMEM[\"Greenwich\",0.0],UNIT[\"Degree\",0.0174532925199433]]";
    const std::string ferro = "GEOGCS[\"S-JTSK (Ferro)\",DATUM[\"S-JTSK_Ferro\",SPHEROID[\"Bessel 1841\","
                              "6377397.155,299.1528128]],PRIMEM[\"Ferro\",-17.6666666666667],"
                              "UNIT[\"degree\",0.0174532925199433]]";
    const struct {
        std::string text;
        long kind;
        double lon, lat; // a point on the base system
    } kCases[] = {
        {"PROJCS[\"South\"," + wgs84 +
             ",PROJECTION[\"Polar_Stereographic\"],PARAMETER[\"latitude_of_origin\",-71],"
             "PARAMETER[\"central_meridian\",70],PARAMETER[\"scale_factor\",1],PARAMETER[\"false_easting\","
             "6000000],PARAMETER[\"false_northing\",6000000],UNIT[\"metre\",1]]",
         43050, 100.0, -75.0},
        {"PROJCS[\"North\"," + wgs84 +
             ",PROJECTION[\"Stereographic_North_Pole\"],PARAMETER[\"False_Easting\",0.0],"
             "PARAMETER[\"False_Northing\",0.0],PARAMETER[\"Central_Meridian\",-45.0],"
             "PARAMETER[\"Standard_Parallel_1\",70.0],UNIT[\"Meter\",1.0]]",
         43050, -30.0, 75.0},
        {"PROJCS[\"South\"," + wgs84 +
             ",PROJECTION[\"Stereographic_South_Pole\"],PARAMETER[\"False_Easting\",0.0],"
             "PARAMETER[\"False_Northing\",0.0],PARAMETER[\"Central_Meridian\",0.0],"
             "PARAMETER[\"Standard_Parallel_1\",-71.0],UNIT[\"Meter\",1.0]]",
         43050, 20.0, -80.0},
        {"PROJCS[\"Krovak\"," + ferro +
             ",PROJECTION[\"Krovak\"],PARAMETER[\"False_Easting\",0.0],PARAMETER[\"False_Northing\",0.0],"
             "PARAMETER[\"Pseudo_Standard_Parallel_1\",78.5],PARAMETER[\"Scale_Factor\",0.9999],"
             "PARAMETER[\"Azimuth\",30.28813975277778],PARAMETER[\"Longitude_Of_Center\",42.5],"
             "PARAMETER[\"Latitude_Of_Center\",49.5],PARAMETER[\"X_Scale\",-1.0],PARAMETER[\"Y_Scale\",1.0],"
             "PARAMETER[\"XY_Plane_Rotation\",90.0],UNIT[\"Meter\",1.0]]",
         43053, 34.0, 49.5},
        {"PROJCS[\"S-JTSK (Ferro) / Krovak East North\"," + ferro +
             ",PROJECTION[\"Krovak\"],PARAMETER[\"latitude_of_center\",49.5],"
             "PARAMETER[\"longitude_of_center\",42.5],PARAMETER[\"azimuth\",30.2881397527778],"
             "PARAMETER[\"pseudo_standard_parallel_1\",78.5],PARAMETER[\"scale_factor\",0.9999],"
             "PARAMETER[\"false_easting\",0],PARAMETER[\"false_northing\",0],UNIT[\"metre\",1],"
             "AXIS[\"Easting\",EAST],AXIS[\"Northing\",NORTH]]",
         43053, 34.0, 49.5},
        // ESRI's Krovak unturned: the method's own westings and southings.
        {"PROJCS[\"Krovak\"," + ferro +
             ",PROJECTION[\"Krovak\"],PARAMETER[\"False_Easting\",0.0],PARAMETER[\"False_Northing\",0.0],"
             "PARAMETER[\"Pseudo_Standard_Parallel_1\",78.5],PARAMETER[\"Scale_Factor\",0.9999],"
             "PARAMETER[\"Azimuth\",30.28813975277778],PARAMETER[\"Longitude_Of_Center\",42.5],"
             "PARAMETER[\"Latitude_Of_Center\",49.5],PARAMETER[\"X_Scale\",1.0],PARAMETER[\"Y_Scale\",1.0],"
             "PARAMETER[\"XY_Plane_Rotation\",0.0],UNIT[\"Meter\",1.0]]",
         43052, 34.0, 49.5},
        // EPSG's Krovak on southing and westing axes, and the same method on
        // east and north axes, which PROJ computes north-orientated.
        {KrovakWkt2("AXIS[\"southing (X)\",south,ORDER[1]],AXIS[\"westing (Y)\",west,ORDER[2]]"), 43052, 34.0,
         49.5},
        {KrovakWkt2("AXIS[\"easting (X)\",east,ORDER[1]],AXIS[\"northing (Y)\",north,ORDER[2]]"), 43053, 34.0,
         49.5},
    };
    for (const auto& c : kCases) {
        CZrPJCoordSys cs;
        CString why;
        ASSERT_TRUE(ZrImportCoordSys(CString(c.text.c_str()), cs, &why)) << c.text << "\n" << why.str();
        EXPECT_EQ(cs.GetProjection().GetType(), c.kind) << c.text;
        ProjCrs proj(c.text);
        ASSERT_TRUE(proj.projected()) << c.text;
        double e = 0;
        ASSERT_TRUE(GroundDifference(cs, proj, c.lon, c.lat, e)) << c.text;
        EXPECT_LE(e, kMillimetre) << c.text;
    }
    // A pole-named ESRI method with the other hemisphere's parallel is refused, naming it.
    CZrPJCoordSys cs;
    CString why;
    const std::string crossed = "PROJCS[\"X\"," + wgs84 +
                                ",PROJECTION[\"Stereographic_North_Pole\"],PARAMETER[\"Central_Meridian\",0],"
                                "PARAMETER[\"Standard_Parallel_1\",-70.0],UNIT[\"Meter\",1.0]]";
    EXPECT_FALSE(ZrImportCoordSys(CString(crossed.c_str()), cs, &why));
    EXPECT_NE(why.Find("hemisphere"), -1) << why.str();
}
