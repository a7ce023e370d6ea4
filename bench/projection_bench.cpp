// The library and PROJ side by side over the same million points. Each case
// pairs a Zr_ run with a Proj_ run of the same job; tools/bench.sh prints the
// points per second of both and their ratio.
//
// PROJ's side is what a GIS user would build: a CRS-to-CRS operation between
// the geographic and the projected system, normalised to longitude/latitude
// order, run with proj_trans_generic over the array; for the conversion the
// explicit pipeline that does what our translator does (inverse projection,
// geocentric, seven-parameter Helmert, geodetic, projection).
#include <ZrPrj50/ZrPrj50.h>
#include "interop/ZrInterop.h"
#include "model/ZrPJCoordSys.h"
#include "transform/ZrPJTranslator.h"

#include <benchmark/benchmark.h>
#include <proj.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <vector>

namespace {
constexpr int kPoints = 1000000;

// A grid of points inside the box, longitude in x and latitude in y.
std::vector<CPoint2D> Grid(double lon0, double lon1, double lat0, double lat1) {
    std::vector<CPoint2D> pts;
    pts.reserve(kPoints);
    const int side = static_cast<int>(std::sqrt(static_cast<double>(kPoints)));
    for (int i = 0; i < kPoints; ++i) {
        const double u = (i % side + 0.5) / side, v = (i / side % side + 0.5) / side;
        pts.emplace_back(lon0 + u * (lon1 - lon0), lat0 + v * (lat1 - lat0));
    }
    return pts;
}

// China's Albers equal-area conic on Krasovsky (standard parallels 25 and 47
// north, central meridian 105 east), which the catalogue has no row for.
bool ChinaAlbers(CZrPJCoordSys& cs) {
    CZrPJGeoCoordSys beijing;
    if (!beijing.Set(static_cast<tagGeoCoordSysType>(4214))) return false;
    CZrPJParams p;
    p.FalseEasting = 0.0;
    p.FalseNorthing = 0.0;
    p.CentralMeridian = 105.0;
    p.CentralParallel = 0.0;
    p.StandardParallel1 = 25.0;
    p.StandardParallel2 = 47.0;
    p.ScaleFactor = 1.0;
    return cs.Set("China_Albers", beijing, CZrPJObject(static_cast<tagPJObjectType>(43007)), p, 10000) != 0;
}

// Two-point equidistant on WGS 84's semi-major axis, with New York (JFK)
// and Paris (CDG) as its points, which the catalogue has no row for either.
bool TwoPointNewYorkParis(CZrPJCoordSys& cs) {
    CZrPJGeoCoordSys wgs84;
    if (!wgs84.Set(static_cast<tagGeoCoordSysType>(4326))) return false;
    CZrPJParams p;
    p.FalseEasting = 0.0;
    p.FalseNorthing = 0.0;
    p.StandardParallel1 = 40.64;
    p.StandardParallel2 = 49.01;
    p.FirstPointLongitude = -73.78;
    p.SecondPointLongitude = 2.55;
    p.ScaleFactor = 1.0;
    const CZrPJObject twoPoint(static_cast<tagPJObjectType>(43031));
    return cs.Set("NewYork_Paris_TPEQD", wgs84, twoPoint, p, 10000) != 0;
}

// Web Mercator: the Mercator on the sphere of WGS 84's semi-major axis,
// longitudes and latitudes read on WGS 84 as EPSG:3857 takes them.
bool WebMercator(CZrPJCoordSys& cs) {
    CZrPJGeoCoordSys wgs84;
    if (!wgs84.Set(static_cast<tagGeoCoordSysType>(4326))) return false;
    CZrPJParams p;
    p.FalseEasting = 0.0;
    p.FalseNorthing = 0.0;
    p.ScaleFactor = 1.0;
    const CZrPJObject sphereMercator(static_cast<tagPJObjectType>(43045));
    return cs.Set("WGS_84_Pseudo_Mercator", wgs84, sphereMercator, p, 10000) != 0;
}

// Hotine oblique Mercator from the centre: Hungary's EOV (azimuth 90) and
// Swiss LV03 as EPSG defines them.
bool Eov(CZrPJCoordSys& cs) {
    return ZrCoordSysFromEpsg(23700, cs) != 0;
}
bool SwissLv03(CZrPJCoordSys& cs) {
    return ZrCoordSysFromEpsg(21781, cs) != 0;
}
// Hotine variant A (origin at the natural origin): Peninsular Malaysia's RSO.
bool MalaysiaRso(CZrPJCoordSys& cs) {
    return ZrCoordSysFromEpsg(3375, cs) != 0;
}
// The polyconic: SIRGAS 2000 / Brazil Polyconic, over the whole country.
bool BrazilPolyconic(CZrPJCoordSys& cs) {
    return ZrCoordSysFromEpsg(5880, cs) != 0;
}

// The azimuthal kinds on the ellipsoid, as EPSG defines the systems that
// use them most: the EU's equal-area grid, the Dutch grid, UPS North and the
// Antarctic and Arctic polar stereographics (variants B) and Terre Adelie (C).
bool EtrsLaea(CZrPJCoordSys& cs) {
    return ZrCoordSysFromEpsg(3035, cs) != 0;
}
bool RdNew(CZrPJCoordSys& cs) {
    return ZrCoordSysFromEpsg(28992, cs) != 0;
}
bool UpsNorth(CZrPJCoordSys& cs) {
    return ZrCoordSysFromEpsg(5041, cs) != 0;
}
bool AntarcticStereo(CZrPJCoordSys& cs) {
    return ZrCoordSysFromEpsg(3031, cs) != 0;
}
bool KrovakEastNorth(CZrPJCoordSys& cs) {
    return ZrCoordSysFromEpsg(5514, cs) != 0;
}
// The remaining Krovak forms and the national grids, by EPSG code.
bool Krovak5513(CZrPJCoordSys& cs) {
    return ZrCoordSysFromEpsg(5513, cs) != 0;
}
bool KrovakModified5515(CZrPJCoordSys& cs) {
    return ZrCoordSysFromEpsg(5515, cs) != 0;
}
bool LabordeMadagascar(CZrPJCoordSys& cs) {
    return ZrCoordSysFromEpsg(8441, cs) != 0;
}
bool UtmGridNorth(CZrPJCoordSys& cs) {
    return ZrCoordSysFromEpsg(32600, cs) != 0;
}
bool TunisiaMining(CZrPJCoordSys& cs) {
    return ZrCoordSysFromEpsg(22300, cs) != 0;
}
bool NewZealandMapGrid(CZrPJCoordSys& cs) {
    return ZrCoordSysFromEpsg(27200, cs) != 0;
}
bool TerreAdelie(CZrPJCoordSys& cs) {
    return ZrCoordSysFromEpsg(2985, cs) != 0;
}
// Ellipsoidal Cassini-Soldner (Palestine Grid), the south-orientated
// transverse Mercator (South Africa's Lo19) and Equal Earth on WGS 84.
bool PalestineCassini(CZrPJCoordSys& cs) {
    return ZrCoordSysFromEpsg(28191, cs) != 0;
}
// Cassini-Soldner on southing and westing axes (Gusterberg Grid, on Ferro:
// both sides take Ferro longitudes).
bool Gusterberg(CZrPJCoordSys& cs) {
    return ZrCoordSysFromEpsg(8044, cs) != 0;
}
bool SouthAfricaLo19(CZrPJCoordSys& cs) {
    return ZrCoordSysFromEpsg(2048, cs) != 0;
}
bool EqualEarthWorld(CZrPJCoordSys& cs) {
    return ZrCoordSysFromEpsg(8857, cs) != 0;
}
bool MichiganNorth(CZrPJCoordSys& cs) {
    return ZrCoordSysFromEpsg(6201, cs) != 0;
}
// Lambert's cone as Greenland (west orientated), Belgium and the Levant
// (near-conformal) state it; the hyperbolic Cassini of Vanua Levu; Guam's
// and Yap's azimuthal forms. PROJ 9.1 computes neither the west-orientated
// nor the near-conformal method from its EPSG code: its Lambert turned west
// and its lcca (the same truncated cone) stand in.
bool GreenlandWest(CZrPJCoordSys& cs) {
    return ZrCoordSysFromEpsg(2218, cs) != 0;
}
bool BelgeLambert72(CZrPJCoordSys& cs) {
    return ZrCoordSysFromEpsg(31300, cs) != 0;
}
bool LevantNearConformal(CZrPJCoordSys& cs) {
    return ZrCoordSysFromEpsg(22700, cs) != 0;
}
// Vanua Levu's grid counts Clarke's links, which no unit code expresses:
// its definition in metres, on its own geographic system.
bool VanuaLevu(CZrPJCoordSys& cs) {
    CZrPJCoordSys geographic;
    if (!ZrCoordSysFromEpsg(4748, geographic)) return false;
    CZrPJParams p;
    p.FalseEasting = 251727.9155424;
    p.FalseNorthing = 334519.953768;
    p.CentralMeridian = 179.0 + 20.0 / 60.0;
    p.CentralParallel = -16.25;
    return cs.Set("Vanua Levu Grid (metres)", geographic.GetGCS(),
                  CZrPJObject(PJ_KIND_CASSINI_SOLDNER_HYPERBOLIC), p, 10000) != 0;
}
bool GuamSpcs(CZrPJCoordSys& cs) {
    return ZrCoordSysFromEpsg(3993, cs) != 0;
}
bool YapIslands(CZrPJCoordSys& cs) {
    return ZrCoordSysFromEpsg(3295, cs) != 0;
}

// Bogota's city grid (Colombia urban, plane 2550 m up) as EPSG defines it,
// and the orthographic view of WGS 84 from above Europe.
bool BogotaUrban(CZrPJCoordSys& cs) {
    return ZrCoordSysFromEpsg(6247, cs) != 0;
}
// A system on WGS 84 of one of the kinds after the first block, centred on
// (lon0, lat0), with the scale given (the geostationary view keeps 1 + h/a there).
bool OnWgs84(CZrPJCoordSys& cs, long kind, double lon0, double lat0, double k) {
    CZrPJGeoCoordSys wgs84;
    if (!wgs84.Set(static_cast<tagGeoCoordSysType>(4326))) return false;
    CZrPJParams p;
    p.FalseEasting = 0.0;
    p.FalseNorthing = 0.0;
    p.CentralMeridian = lon0;
    p.CentralParallel = lat0;
    p.ScaleFactor = k;
    return cs.Set("Bench", wgs84, CZrPJObject(static_cast<tagPJObjectType>(kind)), p, 10000) != 0;
}
bool OrthographicEurope(CZrPJCoordSys& cs) {
    return OnWgs84(cs, 43070, 10.0, 50.0, 1.0);
}
bool AzimuthalEquidistantEurope(CZrPJCoordSys& cs) {
    return OnWgs84(cs, 43071, 10.0, 50.0, 1.0);
}
bool AzimuthalEquidistantNorthPole(CZrPJCoordSys& cs) {
    return OnWgs84(cs, 43071, 0.0, 90.0, 1.0);
}
bool MeteosatView(CZrPJCoordSys& cs) {
    return OnWgs84(cs, 43072, 0.0, 0.0, 1.0 + 35785831.0 / 6378137.0);
}
bool GoodeWorld(CZrPJCoordSys& cs) {
    return OnWgs84(cs, 43074, 0.0, 0.0, 1.0);
}
bool MeteosatSweepX(CZrPJCoordSys& cs) {
    return OnWgs84(cs, 43073, 0.0, 0.0, 1.0 + 35785831.0 / 6378137.0);
}
// The same Krovak definition as 5514 in the kind's own south-west axes (as
// EPSG:5513 has them).
bool KrovakSouthWest(CZrPJCoordSys& cs) {
    CZrPJCoordSys north;
    if (!ZrCoordSysFromEpsg(5514, north)) return false;
    return cs.Set("Bench", north.GetGCS(), CZrPJObject(static_cast<tagPJObjectType>(43052)),
                  north.GetParams(), north.GetDistUnits()) != 0;
}

// The kinds read from other software's texts: a climate model's rotated
// pole, a tilted view from 5500 km up and the front face of the cube, each
// built from the PROJ string PROJ runs against it.
constexpr const char* kRotatedPole = "+proj=ob_tran +o_proj=eqc +o_lat_p=39.25 +o_lon_p=-162 +lon_0=180 "
                                     "+datum=WGS84 +units=m +no_defs +type=crs";
constexpr const char* kTiltedView =
    "+proj=tpers +h=5500000 +tilt=10 +azi=20 +lat_0=40 +lon_0=5 +datum=WGS84 +units=m +no_defs +type=crs";
constexpr const char* kCubeFace = "+proj=qsc +lat_0=0 +lon_0=0 +datum=WGS84 +units=m +no_defs +type=crs";
bool RotatedPole(CZrPJCoordSys& cs) {
    return ZrImportCoordSys(CString(kRotatedPole), cs) != 0;
}
bool TiltedView(CZrPJCoordSys& cs) {
    return ZrImportCoordSys(CString(kTiltedView), cs) != 0;
}
bool CubeFace(CZrPJCoordSys& cs) {
    return ZrImportCoordSys(CString(kCubeFace), cs) != 0;
}

struct Case {
    const char* name;
    long code;              // catalogue code of our system; 0: ChinaAlbers or build
    const char* projSource; // PROJ geographic CRS
    const char* projTarget; // PROJ projected CRS
    double lon0, lon1, lat0, lat1;
    bool (*build)(CZrPJCoordSys&) = nullptr; // a system outside the catalogue
};

const Case kCases[] = {
    {"UTM50N", 32650, "EPSG:4326", "EPSG:32650", 114.0, 120.0, 0.0, 60.0},
    // UTM's zone-50 definition 20 degrees either side of its meridian, where
    // the transverse Mercator takes Krueger's series (PROJ: its exact default).
    {"UTM50N_Wide", 32650, "EPSG:4326", "EPSG:32650", 97.0, 137.0, 0.0, 60.0},
    {"GaussKrueger20", 21420, "EPSG:4214", "EPSG:21420", 114.0, 120.0, 18.0, 53.0},
    {"LambertConic_CA3", 26943, "EPSG:4269", "EPSG:26943", -124.0, -117.0, 36.0, 39.0},
    {"Albers_China", 0, "+proj=longlat +ellps=krass +no_defs +type=crs",
     "+proj=aea +lat_0=0 +lon_0=105 +lat_1=25 +lat_2=47 +x_0=0 +y_0=0 +ellps=krass +units=m +no_defs "
     "+type=crs",
     75.0, 135.0, 18.0, 53.0},
    // The conformal and authalic latitude inverses on their own: the world
    // Mercator and Behrmann's equal-area cylinder on WGS 84.
    {"Mercator_World", 54004, "EPSG:4326", "ESRI:54004", -180.0, 180.0, -80.0, 80.0},
    {"WebMercator", 0, "EPSG:4326", "EPSG:3857", -180.0, 180.0, -80.0, 80.0, WebMercator},
    {"Behrmann_World", 54017, "EPSG:4326", "ESRI:54017", -180.0, 180.0, -85.0, 85.0},
    // The two-point equidistant over the North Atlantic and the lands on
    // either side (both points and the line through them inside the box).
    {"TwoPoint_NewYork_Paris", 0, "+proj=longlat +R=6378137 +no_defs +type=crs",
     "+proj=tpeqd +lat_1=40.64 +lon_1=-73.78 +lat_2=49.01 +lon_2=2.55 +R=6378137 +units=m +no_defs "
     "+type=crs",
     -100.0, 30.0, 20.0, 70.0, TwoPointNewYorkParis},
    {"Hotine_EOV", 0, "EPSG:4237", "EPSG:23700", 16.0, 23.0, 45.7, 48.6, Eov},
    {"Hotine_LV03", 0, "EPSG:4149", "EPSG:21781", 5.9, 10.5, 45.8, 47.8, SwissLv03},
    {"Hotine_Malaysia", 0, "EPSG:4742", "EPSG:3375", 99.6, 104.6, 1.2, 6.8, MalaysiaRso},
    {"Polyconic_Brazil", 0, "EPSG:4674", "EPSG:5880", -74.0, -34.0, -34.0, 5.0, BrazilPolyconic},
    {"LaeaEllipsoid_3035", 0, "EPSG:4258", "EPSG:3035", -16.1, 40.18, 32.88, 84.73, EtrsLaea},
    {"ObliqueStereo_RDNew", 0, "EPSG:4289", "EPSG:28992", 3.2, 7.22, 50.75, 53.7, RdNew},
    {"PolarStereoA_UPSNorth", 0, "EPSG:4326", "EPSG:5041", -180.0, 180.0, 60.0, 90.0, UpsNorth},
    {"PolarStereoB_3031", 0, "EPSG:4326", "EPSG:3031", -180.0, 180.0, -90.0, -60.0, AntarcticStereo},
    {"PolarStereoC_2985", 0, "EPSG:4636", "EPSG:2985", 136.0, 142.0, -67.0, -65.6, TerreAdelie},
    {"KrovakNorth_5514", 0, "EPSG:4156", "EPSG:5514", 12.09, 22.56, 47.73, 51.06, KrovakEastNorth},
    {"Krovak_5513", 0, "EPSG:4156", "EPSG:5513", 12.09, 22.56, 47.73, 51.06, Krovak5513},
    // PROJ 9.1 computes neither the modified Krovak, the zoned grid nor the
    // Tunisia grid: its nearest forms stand in (Krovak unmodified, the UTM
    // zone the points lie in, the equidistant cylinder).
    {"KrovakModified_5515", 0, "EPSG:4156", "EPSG:5513", 12.09, 18.86, 48.58, 51.06, KrovakModified5515},
    {"Laborde_8441", 0, "EPSG:4297", "EPSG:8441", 43.18, 50.56, -25.64, -11.89, LabordeMadagascar},
    {"TMZoned_32600", 0, "EPSG:4326", "EPSG:32632", 6.0, 12.0, 0.0, 84.0, UtmGridNorth},
    {"TunisiaMining_22300", 0, "EPSG:4816",
     "+proj=eqc +lat_ts=33 +lon_0=10 +ellps=clrk80ign +pm=paris +units=km +no_defs +type=crs", 7.49, 11.59,
     30.23, 37.4, TunisiaMining},
    {"NZMG_27200", 0, "EPSG:4272", "EPSG:27200", 166.37, 178.63, -47.33, -34.1, NewZealandMapGrid},
    {"Cassini_Palestine", 0, "EPSG:4281", "EPSG:28191", 34.2, 35.7, 29.2, 33.3, PalestineCassini},
    {"CassiniSouthWest_8044", 0, "EPSG:4805", "EPSG:8044", 29.74, 34.5, 46.93, 51.06, Gusterberg},
    {"TMSouth_Lo19", 0, "EPSG:4148", "EPSG:2048", 18.0, 20.0, -34.9, -28.0, SouthAfricaLo19},
    {"EqualEarth_World", 0, "EPSG:4326", "EPSG:8857", -180.0, 180.0, -90.0, 90.0, EqualEarthWorld},
    {"LambertMichigan_North", 0, "EPSG:4267", "EPSG:6201", -87.0, -82.3, 43.8, 45.9, MichiganNorth},
    {"LambertWest_Greenland5", 0, "EPSG:4195",
     "+proj=lcc +lat_1=70.5 +lat_0=70.5 +lon_0=-24 +k_0=1 +x_0=0 +y_0=0 +axis=wnu +ellps=intl +units=m "
     "+no_defs +type=crs",
     -29.0, -19.0, 68.0, 74.0, GreenlandWest},
    {"LambertBelgium_31300", 0, "EPSG:4313", "EPSG:31300", 2.5, 6.4, 49.5, 51.5, BelgeLambert72},
    {"LambertNearConformal_22700", 0, "EPSG:4227",
     "+proj=lcca +lat_0=34.65 +lon_0=37.35 +k_0=0.9996256 +x_0=300000 +y_0=300000 +a=6378249.2 "
     "+rf=293.466021293627 +units=m +no_defs +type=crs",
     35.0, 42.0, 32.0, 37.5, LevantNearConformal},
    {"CassiniHyperbolic_VanuaLevu", 0, "EPSG:4748",
     "+proj=cass +hyperbolic +lat_0=-16.25 +lon_0=179.333333333333 +x_0=251727.9155424 +y_0=334519.953768 "
     "+a=6378306.3696 +b=6356571.996 +units=m +no_defs +type=crs",
     178.4, 180.0, -17.1, -16.1, VanuaLevu},
    {"Guam_3993", 0, "EPSG:4675", "EPSG:3993", 144.6, 145.0, 13.2, 13.7, GuamSpcs},
    {"ModifiedAeqd_Yap", 0, "EPSG:4675", "EPSG:3295", 138.0, 138.3, 9.4, 9.7, YapIslands},
    {"ColombiaUrban_Bogota", 0, "EPSG:4686", "EPSG:6247", -74.4, -73.9, 4.4, 5.0, BogotaUrban},
    {"Orthographic_Europe", 0, "EPSG:4326",
     "+proj=ortho +lat_0=50 +lon_0=10 +x_0=0 +y_0=0 +datum=WGS84 +units=m +no_defs +type=crs", -20.0, 40.0,
     30.0, 70.0, OrthographicEurope},
    {"AzimuthalEquidistant_Europe", 0, "EPSG:4326",
     "+proj=aeqd +lat_0=50 +lon_0=10 +x_0=0 +y_0=0 +datum=WGS84 +units=m +no_defs +type=crs", -20.0, 40.0,
     30.0, 70.0, AzimuthalEquidistantEurope},
    // The same centre over the whole globe: the antipode's region, both poles
    // and the centre's meridians take the geodesic library's path.
    {"AzimuthalEquidistant_World", 0, "EPSG:4326",
     "+proj=aeqd +lat_0=50 +lon_0=10 +x_0=0 +y_0=0 +datum=WGS84 +units=m +no_defs +type=crs", -180.0, 180.0,
     -90.0, 90.0, AzimuthalEquidistantEurope},
    // Centred on the pole, where every geodesic from the centre is a meridian.
    {"AzimuthalEquidistant_NorthPole", 0, "EPSG:4326",
     "+proj=aeqd +lat_0=90 +lon_0=0 +x_0=0 +y_0=0 +datum=WGS84 +units=m +no_defs +type=crs", -180.0, 180.0,
     0.0, 90.0, AzimuthalEquidistantNorthPole},
    {"Geostationary_Meteosat", 0, "EPSG:4326",
     "+proj=geos +h=35785831 +lon_0=0 +x_0=0 +y_0=0 +datum=WGS84 +units=m +no_defs +type=crs", -60.0, 60.0,
     -60.0, 60.0, MeteosatView},
    {"Goode_World", 0, "EPSG:4326",
     "+proj=igh +lon_0=0 +x_0=0 +y_0=0 +datum=WGS84 +units=m +no_defs +type=crs", -180.0, 180.0, -85.0, 85.0,
     GoodeWorld},
    // The geostationary view scanned as GOES does (sweep about x), and the
    // Krovak grid in its own south-west orientation.
    {"GeostationarySweepX_GOES", 0, "EPSG:4326",
     "+proj=geos +h=35785831 +sweep=x +lon_0=0 +x_0=0 +y_0=0 +datum=WGS84 +units=m +no_defs +type=crs", -60.0,
     60.0, -60.0, 60.0, MeteosatSweepX},
    {"Krovak_5513", 0, "EPSG:4156", "EPSG:5513", 12.09, 22.56, 47.73, 51.06, KrovakSouthWest},
    {"ObliqueTransformation_RotatedPole", 0, "EPSG:4326", kRotatedPole, -30.0, 40.0, 30.0, 70.0, RotatedPole},
    {"TiltedPerspective_Europe", 0, "EPSG:4326", kTiltedView, -10.0, 20.0, 30.0, 50.0, TiltedView},
    {"SphericalCube_Front", 0, "EPSG:4326", kCubeFace, -40.0, 40.0, -40.0, 40.0, CubeFace},
};

bool BuildOurs(const Case& c, CZrPJCoordSys& cs) {
    if (c.build) return c.build(cs);
    if (c.code == 0) return ChinaAlbers(cs);
    return cs.Set(static_cast<tagPJCoordSysType>(c.code)) != 0;
}

void CountPoints(benchmark::State& state) {
    state.counters["points/s"] =
        benchmark::Counter(static_cast<double>(kPoints) * state.iterations(), benchmark::Counter::kIsRate);
}

// Times fn over a fresh copy of input in every iteration (the copy untimed).
void TimeInPlace(benchmark::State& state, const std::vector<CPoint2D>& input,
                 const std::function<void(CPoint2D*)>& fn) {
    std::vector<CPoint2D> work(kPoints);
    for (auto _ : state) {
        state.PauseTiming();
        std::memcpy(work.data(), input.data(), kPoints * sizeof(CPoint2D));
        state.ResumeTiming();
        fn(work.data());
        benchmark::DoNotOptimize(work.data());
        benchmark::ClobberMemory();
    }
    CountPoints(state);
}

void RunProj(PJ* op, PJ_DIRECTION dir, CPoint2D* pts) {
    const size_t stride = sizeof(CPoint2D);
    proj_trans_generic(op, dir, &pts[0].x, stride, kPoints, &pts[0].y, stride, kPoints, nullptr, 0, 0,
                       nullptr, 0, 0);
}

// Our side: CZrPJCoordSys::Forward/Inverse over the array.
void ZrProject(benchmark::State& state, const Case& c, bool inverse) {
    CZrPJCoordSys cs;
    if (!BuildOurs(c, cs)) {
        state.SkipWithError("our system cannot be built");
        return;
    }
    std::vector<CPoint2D> input = Grid(c.lon0, c.lon1, c.lat0, c.lat1);
    if (inverse) cs.Forward(input.data(), kPoints);
    TimeInPlace(state, input, [&cs, inverse](CPoint2D* pts) {
        if (inverse)
            cs.Inverse(pts, kPoints);
        else
            cs.Forward(pts, kPoints);
    });
}

// Our side over separate x and y arrays (the column entry, as a host with
// columnar data calls it): the same points as UTM50N, nothing copied.
void Zr_UTM50N_Columns(benchmark::State& state, bool inverse) {
    CZrPJCoordSys cs;
    cs.Set(static_cast<tagPJCoordSysType>(32650));
    std::vector<CPoint2D> grid = Grid(114.0, 120.0, 0.0, 60.0);
    if (inverse) cs.Forward(grid.data(), kPoints);
    std::vector<double> x0(kPoints), y0(kPoints), x(kPoints), y(kPoints);
    for (int i = 0; i < kPoints; ++i) {
        x0[i] = grid[i].x;
        y0[i] = grid[i].y;
    }
    for (auto _ : state) {
        state.PauseTiming();
        x = x0;
        y = y0;
        state.ResumeTiming();
        if (inverse)
            cs.Inverse(x.data(), sizeof(double), y.data(), sizeof(double), kPoints);
        else
            cs.Forward(x.data(), sizeof(double), y.data(), sizeof(double), kPoints);
        benchmark::DoNotOptimize(x.data());
        benchmark::ClobberMemory();
    }
    CountPoints(state);
}

PJ* ProjCrsToCrs(PJ_CONTEXT* ctx, const char* source, const char* target) {
    PJ* raw = proj_create_crs_to_crs(ctx, source, target, nullptr);
    PJ* op = raw ? proj_normalize_for_visualization(ctx, raw) : nullptr;
    if (raw) proj_destroy(raw);
    return op;
}

// PROJ's side: a CRS-to-CRS operation over the same array.
void ProjProject(benchmark::State& state, const Case& c, bool inverse) {
    PJ_CONTEXT* ctx = proj_context_create();
    PJ* op = ProjCrsToCrs(ctx, c.projSource, c.projTarget);
    if (!op) {
        state.SkipWithError("PROJ could not build the operation");
        proj_context_destroy(ctx);
        return;
    }
    std::vector<CPoint2D> input = Grid(c.lon0, c.lon1, c.lat0, c.lat1);
    if (inverse) RunProj(op, PJ_FWD, input.data());
    TimeInPlace(state, input, [op, inverse](CPoint2D* pts) { RunProj(op, inverse ? PJ_INV : PJ_FWD, pts); });
    proj_destroy(op);
    proj_context_destroy(ctx);
}

// ---- Conversion between two projected systems on different datums ----
// Beijing 1954 / Gauss-Krueger zone 20 to WGS 84 / UTM zone 50N with EPSG's
// transformation 15919 (position vector).
CZrPJParams Beijing1954ToWgs84() {
    CZrPJParams p;
    p.TranslationX = 15.53;
    p.TranslationY = -113.82;
    p.TranslationZ = -41.38;
    p.RotationZ = 0.814;
    p.ScaleDifference = -0.38;
    return p;
}

const char kConversionPipeline[] =
    "+proj=pipeline "
    "+step +inv +proj=tmerc +lat_0=0 +lon_0=117 +k=1 +x_0=20500000 +y_0=0 +ellps=krass "
    "+step +proj=cart +ellps=krass "
    "+step +proj=helmert +x=15.53 +y=-113.82 +z=-41.38 +rx=0 +ry=0 +rz=0.814 +s=-0.38 "
    "+convention=position_vector "
    "+step +inv +proj=cart +ellps=WGS84 "
    "+step +proj=utm +zone=50 +ellps=WGS84";

bool BuildTranslator(CZrPJTranslator& translator) {
    CZrPJCoordSys gk, utm;
    if (!gk.Set(static_cast<tagPJCoordSysType>(21420)) || !utm.Set(static_cast<tagPJCoordSysType>(32650)))
        return false;
    translator.Set(gk, utm);
    translator.SetMethod(PJTM_POSITION_VECTOR);
    return translator.SetParams(Beijing1954ToWgs84()) != 0;
}

std::vector<CPoint2D> GaussKruegerGrid() {
    CZrPJCoordSys gk;
    gk.Set(static_cast<tagPJCoordSysType>(21420));
    std::vector<CPoint2D> pts = Grid(114.0, 120.0, 18.0, 53.0);
    gk.Forward(pts.data(), kPoints);
    return pts;
}

void Zr_Conversion(benchmark::State& state) {
    CZrPJTranslator translator;
    if (!BuildTranslator(translator)) {
        state.SkipWithError("translator not valid");
        return;
    }
    TimeInPlace(state, GaussKruegerGrid(),
                [&translator](CPoint2D* pts) { translator.Convert(pts, kPoints, 1); });
}

void Proj_Conversion(benchmark::State& state) {
    PJ_CONTEXT* ctx = proj_context_create();
    PJ* op = proj_create(ctx, kConversionPipeline);
    if (!op) {
        state.SkipWithError("PROJ could not build the pipeline");
        proj_context_destroy(ctx);
        return;
    }
    TimeInPlace(state, GaussKruegerGrid(), [op](CPoint2D* pts) { RunProj(op, PJ_FWD, pts); });
    proj_destroy(op);
    proj_context_destroy(ctx);
}

// PROJ as GDAL and QGIS call it: the operation it chooses between the two
// projected systems (for this pair the same Beijing 1954 to WGS 84 shift).
void Proj_ConversionCrsToCrs(benchmark::State& state) {
    PJ_CONTEXT* ctx = proj_context_create();
    PJ* op = ProjCrsToCrs(ctx, "EPSG:21420", "EPSG:32650");
    if (!op) {
        state.SkipWithError("PROJ could not build the operation");
        proj_context_destroy(ctx);
        return;
    }
    state.SetLabel(proj_pj_info(op).description ? proj_pj_info(op).description : "");
    TimeInPlace(state, GaussKruegerGrid(), [op](CPoint2D* pts) { RunProj(op, PJ_FWD, pts); });
    proj_destroy(op);
    proj_context_destroy(ctx);
}

// ---- Set-up costs: per set-up, so "points/s" here counts set-ups ----
void CountSetups(benchmark::State& state) {
    state.counters["points/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void Zr_SetCode(benchmark::State& state) {
    CZrPJCoordSys cs;
    for (auto _ : state)
        benchmark::DoNotOptimize(cs.Set(static_cast<tagPJCoordSysType>(32650)));
    CountSetups(state);
}

void Proj_SetCode(benchmark::State& state) {
    PJ_CONTEXT* ctx = proj_context_create();
    for (auto _ : state) {
        PJ* crs = proj_create(ctx, "EPSG:32650");
        benchmark::DoNotOptimize(crs);
        proj_destroy(crs);
    }
    proj_context_destroy(ctx);
    CountSetups(state);
}

void Zr_TranslatorSetup(benchmark::State& state) {
    for (auto _ : state) {
        CZrPJTranslator translator;
        benchmark::DoNotOptimize(BuildTranslator(translator));
    }
    CountSetups(state);
}

void Proj_TranslatorSetup(benchmark::State& state) {
    PJ_CONTEXT* ctx = proj_context_create();
    for (auto _ : state) {
        PJ* op = proj_create(ctx, kConversionPipeline);
        benchmark::DoNotOptimize(op);
        proj_destroy(op);
    }
    proj_context_destroy(ctx);
    CountSetups(state);
}

// Seconds each array case runs at least: 1, or ZRPRJ_BENCH_MIN_TIME (a
// shorter time for many repetitions on a loaded machine).
double ArrayMinTime() {
    const char* env = std::getenv("ZRPRJ_BENCH_MIN_TIME");
    const double t = env ? std::atof(env) : 0.0;
    return t > 0.0 ? t : 1.0;
}

int RegisterAll() {
    for (const Case& c : kCases) {
        for (bool inverse : {false, true}) {
            const char* dir = inverse ? "Inverse" : "Forward";
            char name[128];
            std::snprintf(name, sizeof name, "Zr_%s_%s", c.name, dir);
            benchmark::RegisterBenchmark(name,
                                         [&c, inverse](benchmark::State& s) { ZrProject(s, c, inverse); })
                ->Unit(benchmark::kMillisecond)
                ->MinTime(ArrayMinTime());
            std::snprintf(name, sizeof name, "Proj_%s_%s", c.name, dir);
            benchmark::RegisterBenchmark(name,
                                         [&c, inverse](benchmark::State& s) { ProjProject(s, c, inverse); })
                ->Unit(benchmark::kMillisecond)
                ->MinTime(ArrayMinTime());
        }
    }
    for (bool inverse : {false, true})
        benchmark::RegisterBenchmark(inverse ? "Zr_UTM50N_Columns_Inverse" : "Zr_UTM50N_Columns_Forward",
                                     [inverse](benchmark::State& s) { Zr_UTM50N_Columns(s, inverse); })
            ->Unit(benchmark::kMillisecond)
            ->MinTime(ArrayMinTime());
    benchmark::RegisterBenchmark("Zr_GK20_to_UTM50N_Helmert", Zr_Conversion)
        ->Unit(benchmark::kMillisecond)
        ->MinTime(ArrayMinTime());
    benchmark::RegisterBenchmark("Proj_GK20_to_UTM50N_Helmert", Proj_Conversion)
        ->Unit(benchmark::kMillisecond)
        ->MinTime(ArrayMinTime());
    benchmark::RegisterBenchmark("Proj_GK20_to_UTM50N_CrsToCrs", Proj_ConversionCrsToCrs)
        ->Unit(benchmark::kMillisecond)
        ->MinTime(ArrayMinTime());
    benchmark::RegisterBenchmark("Zr_SetCode_32650", Zr_SetCode)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("Proj_SetCode_32650", Proj_SetCode)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("Zr_TranslatorSetup", Zr_TranslatorSetup)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("Proj_TranslatorSetup", Proj_TranslatorSetup)->Unit(benchmark::kMicrosecond);
    return 0;
}
const int kRegistered = RegisterAll();
} // namespace

BENCHMARK_MAIN();
