// The names of projection methods and parameters in each dialect, and the
// two-way translation between a coordinate system and its EPSG-style
// description.
//
// Every kind is mapped only to a method whose published formulas compute what
// the kind computes, checked against PROJ. Several kinds compute on a sphere
// although their coordinate system may sit on an ellipsoid: the world kinds on
// the sphere of radius a (PROJ's forms of those methods do the same on any
// ellipsoid, so they map everywhere), and the azimuthal kinds, Cassini and the
// spherical sinusoid, whose methods are ellipsoidal elsewhere, so they map only
// when the ellipsoid is a sphere.
#include "interop/ZrInteropCore_p.h"
#include "interop/ZrInterop.h"
#include "interop/ZrInteropMatch_p.h"

#include "model/ZrPJTypes.h"
#include "platform/ZrToolkit.h"

#include <cctype>
#include <cmath>
#include <cstring>
#include <string>

namespace {

constexpr double kDegree = 0.017453292519943295;

// ---------------------------------------------------------------------------
// Parameters. EPSG's codes; the few parameters EPSG lacks (the two points of
// the two-point equidistant) carry codes of their own above EPSG's range.
// ---------------------------------------------------------------------------
constexpr long kLat1stPoint = 48101, kLon1stPoint = 48102, kLat2ndPoint = 48103, kLon2ndPoint = 48104,
               kSatelliteHeightCode = 48105, kTurnedPoleLatCode = 48106, kTurnedPoleLonCode = 48107,
               kViewHeightCode = 48108, kTiltCode = 48109, kTiltAzimuthCode = 48110;

#define ANGLE ZR_PARAM_ANGLE
#define LENGTH ZR_PARAM_LENGTH
#define SCALE ZR_PARAM_SCALE

const ZrParameterNames kLat0 = {
    8801, "Latitude of natural origin", "latitude_of_origin", "Latitude_Of_Origin", "lat_0", ANGLE};
const ZrParameterNames kLon0 = {
    8802, "Longitude of natural origin", "central_meridian", "Central_Meridian", "lon_0", ANGLE};
const ZrParameterNames kK0 = {8805, "Scale factor at natural origin", "scale_factor", "Scale_Factor", "k_0",
                              SCALE};
const ZrParameterNames kFE = {8806, "False easting", "false_easting", "False_Easting", "x_0", LENGTH};
const ZrParameterNames kFN = {8807, "False northing", "false_northing", "False_Northing", "y_0", LENGTH};
const ZrParameterNames kLatC = {
    8811, "Latitude of projection centre", "latitude_of_center", "Latitude_Of_Center", "lat_0", ANGLE};
const ZrParameterNames kLonC = {
    8812, "Longitude of projection centre", "longitude_of_center", "Longitude_Of_Center", "lonc", ANGLE};
const ZrParameterNames kAlpha = {8813, "Azimuth of initial line", "azimuth", "Azimuth", "alpha", ANGLE};
const ZrParameterNames kGamma = {
    8814, "Angle from Rectified to Skew Grid", "rectified_grid_angle", "XY_Plane_Rotation", "gamma", ANGLE};
const ZrParameterNames kKC = {8815, "Scale factor on initial line", "scale_factor", "Scale_Factor", "k_0",
                              SCALE};
const ZrParameterNames kEC = {8816,  "Easting at projection centre", "false_easting", "False_Easting", "x_0",
                              LENGTH};
const ZrParameterNames kNC = {
    8817, "Northing at projection centre", "false_northing", "False_Northing", "y_0", LENGTH};
const ZrParameterNames kLatF = {
    8821, "Latitude of false origin", "latitude_of_origin", "Latitude_Of_Origin", "lat_0", ANGLE};
const ZrParameterNames kLonF = {
    8822, "Longitude of false origin", "central_meridian", "Central_Meridian", "lon_0", ANGLE};
const ZrParameterNames kLat1 = {
    8823, "Latitude of 1st standard parallel", "standard_parallel_1", "Standard_Parallel_1", "lat_1", ANGLE};
const ZrParameterNames kLat2 = {
    8824, "Latitude of 2nd standard parallel", "standard_parallel_2", "Standard_Parallel_2", "lat_2", ANGLE};
const ZrParameterNames kEF = {8826,  "Easting at false origin", "false_easting", "False_Easting", "x_0",
                              LENGTH};
const ZrParameterNames kNF = {8827,  "Northing at false origin", "false_northing", "False_Northing", "y_0",
                              LENGTH};

// Variants of the names where a dialect spells a parameter otherwise for one method.
const ZrParameterNames kLatFAlbers = {
    8821, "Latitude of false origin", "latitude_of_center", "Latitude_Of_Origin", "lat_0", ANGLE};
const ZrParameterNames kLonFAlbers = {
    8822, "Longitude of false origin", "longitude_of_center", "Central_Meridian", "lon_0", ANGLE};
const ZrParameterNames kLat0Center = {
    8801, "Latitude of natural origin", "latitude_of_center", "Latitude_Of_Origin", "lat_0", ANGLE};
const ZrParameterNames kLon0Center = {
    8802, "Longitude of natural origin", "longitude_of_center", "Central_Meridian", "lon_0", ANGLE};
const ZrParameterNames kLat0Esri = {
    8801, "Latitude of natural origin", "latitude_of_origin", "Latitude_Of_Center", "lat_0", ANGLE};
const ZrParameterNames kLon0Esri = {
    8802, "Longitude of natural origin", "central_meridian", "Longitude_Of_Center", "lon_0", ANGLE};
const ZrParameterNames kLon0Center2 = {
    8802, "Longitude of natural origin", "longitude_of_center", "Central_Meridian", "lon_0", ANGLE};
const ZrParameterNames kLatTs = {
    8823, "Latitude of 1st standard parallel", "standard_parallel_1", "Standard_Parallel_1", "lat_ts", ANGLE};
const ZrParameterNames kLatBonne = {
    8801, "Latitude of natural origin", "standard_parallel_1", "Standard_Parallel_1", "lat_1", ANGLE};
const ZrParameterNames kLatLoxim = {
    8801, "Latitude of natural origin", "latitude_of_origin", "Central_Parallel", "lat_1", ANGLE};
const ZrParameterNames kLatPt1 = {
    kLat1stPoint, "Latitude of 1st point", "Latitude_Of_1st_Point", "Latitude_Of_1st_Point", "lat_1", ANGLE};
const ZrParameterNames kLonPt1 = {
    kLon1stPoint, "Longitude of 1st point", "Longitude_Of_1st_Point", "Longitude_Of_1st_Point", "lon_1",
    ANGLE};
const ZrParameterNames kLatPt2 = {
    kLat2ndPoint, "Latitude of 2nd point", "Latitude_Of_2nd_Point", "Latitude_Of_2nd_Point", "lat_2", ANGLE};
const ZrParameterNames kLonPt2 = {
    kLon2ndPoint, "Longitude of 2nd point", "Longitude_Of_2nd_Point", "Longitude_Of_2nd_Point", "lon_2",
    ANGLE};
// The polar stereographic's standard parallel (its sign names the pole) and
// the longitude its grid is turned to.
const ZrParameterNames kLatStdParallel = {8832,      "Latitude of standard parallel", "latitude_of_standard_parallel",
                                         "Standard_Parallel_1", "lat_ts", ANGLE};
// Krovak's oblique cone: its axis's co-latitude from the centre, and the
// pseudo standard parallel it touches with its scale.
const ZrParameterNames kLonOriginKrovak = {8833, "Longitude of origin", "longitude_of_center",
                                           "Longitude_Of_Center", "lon_0", ANGLE};
const ZrParameterNames kConeAxis = {1036, "Co-latitude of cone axis", "azimuth", "Azimuth", "alpha", ANGLE};
const ZrParameterNames kPseudoParallel = {8818,   "Latitude of pseudo standard parallel",
                                          "pseudo_standard_parallel_1", "Pseudo_Standard_Parallel_1",
                                          "lat_ts", ANGLE};
const ZrParameterNames kPseudoScale = {8819,    "Scale factor on pseudo standard parallel", "scale_factor",
                                       "Scale_Factor", "k", SCALE};
const ZrParameterNames kLonOrigin = {8833, "Longitude of origin", "central_meridian", "Central_Meridian", "lon_0",
                                     ANGLE};

// Laborde's parameters as PROJ's labrd names them; ESRI's name for the New
// Zealand grid's meridian; EPSG's zoned transverse Mercator's zones.
const ZrParameterNames kLatCLaborde = {
    8811, "Latitude of projection centre", "latitude_of_center", "Latitude_Of_Center", "lat_0", ANGLE};
const ZrParameterNames kLonCLaborde = {
    8812, "Longitude of projection centre", "longitude_of_center", "Longitude_Of_Center", "lon_0", ANGLE};
const ZrParameterNames kAlphaLaborde = {8813, "Azimuth of initial line", "azimuth", "Azimuth", "azi", ANGLE};
const ZrParameterNames kKCLaborde = {
    8815, "Scale factor on initial line", "scale_factor", "Scale_Factor", "k", SCALE};
const ZrParameterNames kLon0Nzmg = {
    8802, "Longitude of natural origin", "central_meridian", "Longitude_Of_Origin", "lon_0", ANGLE};
const ZrParameterNames kInitialLongitude = {8830, "Initial longitude", nullptr, nullptr, nullptr, ANGLE};
const ZrParameterNames kZoneWidth = {8831, "Zone width", nullptr, nullptr, nullptr, ANGLE};

// ESRI writes Michigan's ellipsoid scaling as the scale of its one Lambert.
const ZrParameterNames kEllipsoidScale = {1038, "Ellipsoid scaling factor", nullptr, "Scale_Factor", "k_0",
                                          SCALE};
const ZrParameterNames kH0 = {
    1039, "Projection plane origin height", "projection_plane_origin_height", "Height", "h_0", LENGTH};
const ZrParameterNames kSatelliteHeight = {
    kSatelliteHeightCode, "Satellite Height", "satellite_height", "Height", "h", LENGTH};

// The methods PROJ alone defines, named in WKT2 by their PROJ keys as PROJ
// writes them: the turned pole of the general oblique transformation, the
// tilted perspective's height, tilt and the azimuth it tilts towards.
const ZrParameterNames kTurnedPoleLat = {kTurnedPoleLatCode, "o_lat_p", nullptr, nullptr, "o_lat_p", ANGLE};
const ZrParameterNames kTurnedPoleLon = {kTurnedPoleLonCode, "o_lon_p", nullptr, nullptr, "o_lon_p", ANGLE};
const ZrParameterNames kLon0Proj = {8802, "lon_0", nullptr, nullptr, "lon_0", ANGLE};
const ZrParameterNames kLat0Proj = {8801, "lat_0", nullptr, nullptr, "lat_0", ANGLE};
const ZrParameterNames kViewHeight = {kViewHeightCode, "h", nullptr, nullptr, "h", LENGTH};
const ZrParameterNames kTilt = {kTiltCode, "tilt", nullptr, nullptr, "tilt", ANGLE};
const ZrParameterNames kTiltAzimuth = {kTiltAzimuthCode, "azi", nullptr, nullptr, "azi", ANGLE};
const ZrParameterNames kFEProj = {8806, "x_0", nullptr, nullptr, "x_0", LENGTH};
const ZrParameterNames kFNProj = {8807, "y_0", nullptr, nullptr, "y_0", LENGTH};

#undef ANGLE
#undef LENGTH
#undef SCALE

// Method codes that EPSG lacks carry the library's kind code.
constexpr long kMethodTM = 9807, kMethodLcc1 = 9801, kMethodLcc2 = 9802, kMethodAlbers = 9822,
               kMethodHotineA = 9812, kMethodHotineB = 9815, kMethodMercatorA = 9804, kMethodMercatorB = 9805,
               kMethodPseudoMercator = 1024, kMethodLaea = 9820, kMethodLaeaSpherical = 1027,
               kMethodPolyconic = 9818, kMethodEqc = 1028, kMethodEqcSpherical = 1029, kMethodCea = 9835,
               kMethodBonne = 9827, kMethodBonneSouth = 9828, kMethodCassini = 9806, kMethodOrtho = 9840,
               kMethodAeqd = 1125, kMethodEqdc = 1119, kMethodObliqueStereo = 9809, kMethodPolarStereoA = 9810,
               kMethodPolarStereoB = 9829, kMethodPolarStereoC = 9830, kMethodKrovakNorth = 1041,
               kMethodTMSouth = 9808, kMethodEqualEarth = 1078, kMethodLccMichigan = 1051,
               kMethodColombiaUrban = 1052, kMethodLccWest = 9826, kMethodLccBelgium = 9803,
               kMethodLccNearConformal = 9817, kMethodCassiniHyperbolic = 9833, kMethodGuam = 9831,
               kMethodAeqdModified = 9832, kMethodTM3D = 1111,
               kMethodKrovak = 9819, kMethodKrovakModified = 1042,
               kMethodKrovakModifiedNorth = 1043, kMethodLaborde = 9813, kMethodTMZoned = 9824,
               kMethodTunisiaMining = 9816, kMethodNzmg = 9811;

// What the kind computes on, which decides where the method's formulas agree.
enum Surface {
    kEllipsoid,  // the method's own ellipsoidal formulas
    kSphereAny,  // the sphere of radius a, as the method (PROJ's form) does on any ellipsoid
    kSphereOnly, // a sphere (radius a or the authalic radius); the method is ellipsoidal, so
                 // the two agree only when the ellipsoid is a sphere
    kSphereForm, // the method is the spherical form of one the kind computes on the ellipsoid:
                 // the two agree only when the ellipsoid is a sphere
};

// The model field a parameter fills when a description is built, and is
// written from when a system is described.
enum Field {
    kFalseEasting,       // FalseEasting
    kFalseNorthing,      // FalseNorthing
    kLongitude,          // CentralMeridian
    kLatitude,           // CentralParallel
    kParallel1,          // StandardParallel1
    kParallel2,          // StandardParallel2
    kParallels,          // StandardParallel1 and 2 alike: one parallel true to scale
    kOriginAndParallels, // CentralParallel, StandardParallel1 and 2 alike: a one-parallel cone
    kScale,              // ScaleFactor
    kAzimuth,            // Azimuth
    kGridAngle,          // StandardParallel1: the oblique Mercator kinds keep their grid angle there
    kLongitude1,         // FirstPointLongitude
    kLongitude2,         // SecondPointLongitude
    kFixed,              // no field: the kind computes only with this value (refused otherwise)
    kRule,               // read and written by the row's rule
};

enum : unsigned {
    kRequired = 1,            // refused when absent
    kPositive = 2,            // refused when not greater than zero
    kAbsolute = 4,            // the kind takes the parallel's absolute value
    kDefaultsToParallel1 = 8, // absent, or within 1e-7 rad of the first parallel on export: that one
    kDefaultsToAzimuth = 16,  // absent: the azimuth (the skew grid, turned by it)
};

struct Binding {
    const ZrParameterNames* names;
    Field field;
    double value = 0.0; // when absent, or the only value a kFixed parameter may take
    unsigned flags = 0;
};

// The conversions that are more than a parameter filling a field, named on
// the rows that need them.
enum Rule {
    kPlain,
    // Transverse Mercator: a zone whose texts say Gauss-Krueger (origin on
    // the equator, no scale) is built as the Gauss-Krueger kind, so it reads
    // back as written.
    kGaussKrugerByName,
    // Written for the Gauss-Krueger kind: the conversion is named so.
    kGaussKrugerZone,
    // Lambert 1SP is written only for a one-parallel cone whose origin is on
    // that parallel.
    kOneParallelAtOrigin,
    // Lambert 2SP: parallels within 1e-7 rad are one; a one-parallel cone with
    // a scale and its origin off the parallel has no form.
    kTwoParallels,
    // Mercator (variant A): scale k0 on the equator is scale 1 on the parallel
    // whose radius is k0 a. Read only: variant B is what is written.
    kMercatorScale,
    // Bonne: EPSG measures northings from the natural origin, the kind from a
    // fixed line 20738918 m north of the cone's apex.
    kBonneNorthing,
    // Bonne (South Orientated): westings and southings, undefined with its
    // origin on the equator.
    kSouthOrientated,
    // A second code for a method another row writes: read only.
    kReadOnly,
    // The azimuthal kinds that may sit at a pole: EPSG gives polar systems
    // axes named by the meridians they run along (both "north" or both
    // "south"), which are this kind's easting and northing.
    kPolarAxes,
    // Westings and southings, written so (the transverse Mercator turned
    // half round); defined everywhere its unturned method is.
    kWestSouthAxes,
    // Krovak: westings and southings where the axes say so; where they name
    // east and north, or nothing (GDAL's WKT1, ESRI), the north-orientated
    // form, as PROJ reads the method on such axes.
    kKrovakAxes,
    // EPSG's false origin of the north-orientated modified Krovak is the
    // south-orientated one's, negated with the coordinates; the kind's is
    // where the origin lands on the map.
    kNegatedFalseOrigin,
    // A height above the ellipsoid (Colombia urban's plane, a geostationary
    // satellite), which the kind keeps as the scale factor 1 + h / a: the
    // parameter bound to kRule on the row.
    kHeightAsScale,
    // Cassini-Soldner on southing and westing axes (old Austria's Ferro
    // grids) is the south-west kind; PROJ reads EPSG's method on such axes as
    // its Cassini read off the turned axes, W = -(FE + x), S = -(FN + y), so
    // the kind's false origin (its own westing and southing) is EPSG's negated.
    kCassiniAxes,
    // The south-west Cassini-Soldner written: southing then westing, as EPSG
    // orders them, with the false origin turned back to EPSG's.
    kSouthWestTurned,
    // Westings and northings (Lambert's cone with x growing west): written,
    // as Lambert 1SP is, only for a one-parallel cone whose origin is on that
    // parallel, with a westing axis.
    kWestAxes,
};

struct MethodRow {
    ZrMethodNames names;
    long kind; // the kind that computes it; 0 when the row is an alias read only
    Surface surface;
    Binding params[8];
    Rule rule = kPlain;
    long alsoWrites = 0;          // a second kind written as this method
    const char* sphere = nullptr; // why a sphere-only kind is not written on an ellipsoid
};

// Bindings most rows share.
const Binding kAtLat0 = {&kLat0, kLatitude}, kAtLon0 = {&kLon0, kLongitude},
              kAtK0 = {&kK0, kScale, 1.0, kPositive}, kAtFE = {&kFE, kFalseEasting},
              kAtFN = {&kFN, kFalseNorthing}, kAtLatCenter = {&kLat0Center, kLatitude},
              kAtLonCenter = {&kLon0Center, kLongitude}, kAtLonCenter2 = {&kLon0Center2, kLongitude},
              kAtLatEsri = {&kLat0Esri, kLatitude}, kAtLonEsri = {&kLon0Esri, kLongitude},
              kOnEquator = {&kLat0, kFixed, 0.0}, kAtLat1 = {&kLat1, kParallel1, 0.0, kRequired},
              kAtLat2 = {&kLat2, kParallel2, 0.0, kDefaultsToParallel1}, kAtLatTs = {&kLatTs, kParallels};

// Hotine's and Krovak's, which several rows share.
const Binding kAtLatC = {&kLatC, kLatitude}, kAtLonC = {&kLonC, kLongitude},
              kAtAlpha = {&kAlpha, kAzimuth, 0.0, kRequired},
              kAtGamma = {&kGamma, kGridAngle, 0.0, kDefaultsToAzimuth}, kAtKC = {&kKC, kScale, 1.0, kPositive},
              kAtLonKrovak = {&kLonOriginKrovak, kLongitude},
              kAtConeAxis = {&kConeAxis, kAzimuth, 30.28813972222222},
              kAtPseudoParallel = {&kPseudoParallel, kParallels, 78.5},
              kAtPseudoScale = {&kPseudoScale, kScale, 0.9999, kPositive};

const char* const kAzimuthalSphere = "the kind computes on a sphere; the method is ellipsoidal elsewhere";

// The table. A method may appear twice when a dialect has two names for it
// (ESRI's Behrmann, its Gauss-Kruger, the rectified skew orthomorphic forms);
// lookups by code return the first row, and a description is built by the
// first row of its code that has a kind. A system is written by the first row
// of its kind (or alsoWrites) whose surface admits its ellipsoid; rows that
// only write (Gauss-Krueger, Sanson's sinusoid) follow the row that reads
// their code.
const MethodRow kMethods[] = {
    {{kMethodTM, "Transverse Mercator", "Transverse_Mercator", "Transverse_Mercator", "tmerc"},
     PJ_KIND_TRANSVERSE_MERCATOR,
     kEllipsoid,
     {kAtLat0, kAtLon0, kAtK0, kAtFE, kAtFN},
     kGaussKrugerByName},
    {{kMethodTM, "Transverse Mercator", "Transverse_Mercator", "Gauss_Kruger", "tmerc"},
     0,
     kEllipsoid,
     {kAtLat0, kAtLon0, kAtK0, kAtFE, kAtFN}},
    // Gauss-Krueger takes its origin on the equator and applies no scale.
    {{kMethodTM, "Transverse Mercator", "Transverse_Mercator", "Transverse_Mercator", "tmerc"},
     PJ_KIND_GAUSS_KRUGER,
     kEllipsoid,
     {kOnEquator, kAtLon0, {&kK0, kFixed, 1.0}, kAtFE, kAtFN},
     kGaussKrugerZone},
    // The transverse Mercator of a geographic 3D system's horizontal position
    // (heights pass through): read only, the rows above write.
    {{kMethodTM3D, "Transverse Mercator 3D", nullptr, nullptr, nullptr},
     PJ_KIND_TRANSVERSE_MERCATOR,
     kEllipsoid,
     {kAtLat0, kAtLon0, kAtK0, kAtFE, kAtFN},
     kReadOnly},
    {{kMethodLcc1, "Lambert Conic Conformal (1SP)", "Lambert_Conformal_Conic_1SP", "Lambert_Conformal_Conic",
      "lcc"},
     PJ_KIND_LAMBERT_CONFORMAL_CONIC,
     kEllipsoid,
     {{&kLat0, kOriginAndParallels}, kAtLon0, kAtK0, kAtFE, kAtFN},
     kOneParallelAtOrigin},
    {{kMethodLcc2, "Lambert Conic Conformal (2SP)", "Lambert_Conformal_Conic_2SP", "Lambert_Conformal_Conic",
      "lcc"},
     PJ_KIND_LAMBERT_CONFORMAL_CONIC,
     kEllipsoid,
     {{&kLatF, kLatitude},
      {&kLonF, kLongitude},
      kAtLat1,
      kAtLat2,
      {&kEF, kFalseEasting},
      {&kNF, kFalseNorthing}},
     kTwoParallels},
    {{kMethodAlbers, "Albers Equal Area", "Albers_Conic_Equal_Area", "Albers", "aea"},
     PJ_KIND_ALBERS,
     kEllipsoid,
     {{&kLatFAlbers, kLatitude},
      {&kLonFAlbers, kLongitude},
      kAtLat1,
      kAtLat2,
      {&kEF, kFalseEasting},
      {&kNF, kFalseNorthing}}},
    {{PJ_KIND_EQUIDISTANT_CONIC, "Equidistant Conic", "Equidistant_Conic", "Equidistant_Conic", "eqdc"},
     PJ_KIND_EQUIDISTANT_CONIC,
     kEllipsoid,
     {kAtLatCenter, kAtLonCenter, kAtLat1, kAtLat2, kAtFE, kAtFN}},
    // EPSG's own code for the method (PROJ writes it from 9.2 on), with the
    // false origin's names; read only, the row above writes.
    {{kMethodEqdc, "Equidistant Conic", "Equidistant_Conic", "Equidistant_Conic", "eqdc"},
     PJ_KIND_EQUIDISTANT_CONIC,
     kEllipsoid,
     {{&kLatF, kLatitude},
      {&kLonF, kLongitude},
      kAtLat1,
      kAtLat2,
      {&kEF, kFalseEasting},
      {&kNF, kFalseNorthing}},
     kReadOnly},
    {{kMethodHotineA, "Hotine Oblique Mercator (variant A)", "Hotine_Oblique_Mercator",
      "Rectified_Skew_Orthomorphic_Natural_Origin", "omerc"},
     PJ_KIND_HOTINE_OBLIQUE_MERCATOR,
     kEllipsoid,
     {kAtLatC,
      kAtLonC,
      kAtAlpha,
      kAtGamma,
      kAtKC,
      kAtFE,
      kAtFN}},
    {{kMethodHotineA, "Hotine Oblique Mercator (variant A)", "Hotine_Oblique_Mercator",
      "Hotine_Oblique_Mercator_Azimuth_Natural_Origin", "omerc"},
     0,
     kEllipsoid,
     {kAtLatC,
      kAtLonC,
      kAtAlpha,
      kAtGamma,
      kAtKC,
      kAtFE,
      kAtFN}},
    {{kMethodHotineB, "Hotine Oblique Mercator (variant B)", "Hotine_Oblique_Mercator_Azimuth_Center",
      "Rectified_Skew_Orthomorphic_Center", "omerc"},
     PJ_KIND_OBLIQUE_MERCATOR,
     kEllipsoid,
     {kAtLatC,
      kAtLonC,
      kAtAlpha,
      kAtGamma,
      kAtKC,
      {&kEC, kFalseEasting},
      {&kNC, kFalseNorthing}}},
    {{kMethodHotineB, "Hotine Oblique Mercator (variant B)", "Hotine_Oblique_Mercator_Azimuth_Center",
      "Hotine_Oblique_Mercator_Azimuth_Center", "omerc"},
     0,
     kEllipsoid,
     {kAtLatC,
      kAtLonC,
      kAtAlpha,
      kAtGamma,
      kAtKC,
      {&kEC, kFalseEasting},
      {&kNC, kFalseNorthing}}},
    {{kMethodMercatorA, "Mercator (variant A)", "Mercator_1SP", "Mercator", "merc"},
     PJ_KIND_MERCATOR,
     kEllipsoid,
     {kOnEquator, kAtLon0, {&kK0, kRule, 1.0}, kAtFE, kAtFN},
     kMercatorScale},
    // The origin is always on the equator; scale 1 on the standard parallel.
    {{kMethodMercatorB, "Mercator (variant B)", "Mercator_2SP", "Mercator", "merc"},
     PJ_KIND_MERCATOR,
     kEllipsoid,
     {{&kLatTs, kParallels, 0.0, kAbsolute}, kAtLon0, kAtFE, kAtFN}},
    // Mercator on the sphere of radius a whatever the ellipsoid: exactly the
    // popular visualisation method (and plain Mercator where the ellipsoid is a sphere).
    {{kMethodPseudoMercator, "Popular Visualisation Pseudo Mercator", "Popular_Visualisation_Pseudo_Mercator",
      "Mercator_Auxiliary_Sphere", "webmerc"},
     PJ_KIND_SPHERE_MERCATOR,
     kSphereAny,
     {kOnEquator, kAtLon0, kAtFE, kAtFN}},
    {{kMethodLaea, "Lambert Azimuthal Equal Area", "Lambert_Azimuthal_Equal_Area",
      "Lambert_Azimuthal_Equal_Area", "laea"},
     PJ_KIND_LAMBERT_AZIMUTHAL_EQUAL_AREA,
     kSphereOnly,
     {kAtLatCenter, kAtLonCenter, kAtFE, kAtFN}},
    // On an ellipsoid the method is built as the ellipsoidal kind; on a
    // sphere, where the two agree, as the spherical kind above, as before.
    {{kMethodLaea, "Lambert Azimuthal Equal Area", "Lambert_Azimuthal_Equal_Area",
      "Lambert_Azimuthal_Equal_Area", "laea"},
     PJ_KIND_LAMBERT_AZIMUTHAL_EQUAL_AREA_ELLIPSOIDAL,
     kEllipsoid,
     {kAtLatCenter, kAtLonCenter, kAtFE, kAtFN},
     kPolarAxes},
    // On the sphere of the ellipsoid's area: EPSG's spherical form.
    {{kMethodLaeaSpherical, "Lambert Azimuthal Equal Area (Spherical)", nullptr, nullptr, "laea"},
     PJ_KIND_LAMBERT_AZIMUTHAL_EQUAL_AREA,
     kSphereAny,
     {kAtLatCenter, kAtLonCenter, kAtFE, kAtFN}},
    {{kMethodPolyconic, "American Polyconic", "Polyconic", "Polyconic", "poly"},
     PJ_KIND_POLYCONIC,
     kEllipsoid,
     {kAtLat0, kAtLon0, kAtFE, kAtFN}},
    {{kMethodEqc, "Equidistant Cylindrical", "Equirectangular", "Equidistant_Cylindrical", "eqc"},
     PJ_KIND_EQUIDISTANT_CYLINDRICAL,
     kEllipsoid,
     {kAtLatTs, kOnEquator, kAtLon0, kAtFE, kAtFN},
     kPlain,
     PJ_KIND_PLATE_CARREE},
    // ESRI's name for the equidistant cylindrical on the equator.
    {{kMethodEqc, "Equidistant Cylindrical", "Equirectangular", "Plate_Carree", "eqc"},
     0,
     kEllipsoid,
     {kAtLatTs, kOnEquator, kAtLon0, kAtFE, kAtFN}},
    {{kMethodEqcSpherical, "Equidistant Cylindrical (Spherical)", "Equirectangular",
      "Equidistant_Cylindrical", "eqc"},
     PJ_KIND_EQUIDISTANT_CYLINDRICAL,
     kSphereForm,
     {kAtLatTs, kOnEquator, kAtLon0, kAtFE, kAtFN}},
    {{kMethodCea, "Lambert Cylindrical Equal Area", "Cylindrical_Equal_Area", "Cylindrical_Equal_Area",
      "cea"},
     PJ_KIND_EQUIAREA_CYLINDRICAL,
     kEllipsoid,
     {kAtLatTs, kAtLon0, kAtFE, kAtFN},
     kPlain,
     PJ_KIND_BEHRMANN},
    {{kMethodCea, "Lambert Cylindrical Equal Area", "Cylindrical_Equal_Area", "Behrmann", "cea"},
     0,
     kEllipsoid,
     {kAtLatTs, kAtLon0, kAtFE, kAtFN}},
    {{kMethodBonne, "Bonne", "Bonne", "Bonne", "bonne"},
     PJ_KIND_BONNE,
     kEllipsoid,
     {{&kLatBonne, kParallels}, kAtLon0, kAtFE, kAtFN},
     kBonneNorthing},
    // PROJ states it as its Bonne turned about (+axis=wsu with x_0 = -FE, y_0 =
    // -FN); that form is not written here, so the row has no PROJ name and a
    // plain +proj=bonne keeps reading as the Bonne above. EPSG's formulas are
    // the kind's: W = FE - x and S = FN - y about the natural origin, x and y
    // those of the Bonne on that parallel.
    {{kMethodBonneSouth, "Bonne (South Orientated)", "Bonne_South_Orientated", "Bonne_South_Orientated",
      nullptr},
     PJ_KIND_BONNE_SOUTH_ORIENTATED,
     kEllipsoid,
     {{&kLatBonne, kLatitude}, kAtLon0, kAtFE, kAtFN},
     kSouthOrientated},
    // PROJ 9.1 has no routine for the method and writes EPSG's name in both
    // forms of WKT1, with the origin as the latitude of origin.
    {{kMethodBonneSouth, "Bonne (South Orientated)", "Bonne_(South_Orientated)", "Bonne_(South_Orientated)",
      nullptr},
     0,
     kEllipsoid,
     {kAtLat0, kAtLon0, kAtFE, kAtFN}},
    {{kMethodCassini, "Cassini-Soldner", "Cassini_Soldner", "Cassini", "cass"},
     PJ_KIND_CASSINI,
     kSphereOnly,
     {kOnEquator, kAtLon0, kAtFE, kAtFN},
     kPlain,
     0,
     "Cassini computes on a sphere; EPSG's Cassini-Soldner is ellipsoidal"},
    {{kMethodOrtho, "Orthographic", "Orthographic", "Orthographic", "ortho"},
     PJ_KIND_ORTHOTIC_GRAPHIC,
     kSphereOnly,
     {kAtLatEsri, kAtLonEsri, kAtFE, kAtFN},
     kPlain,
     0,
     kAzimuthalSphere},
    // The same method on the ellipsoid; a sphere keeps the spherical kind above.
    // ESRI's Orthographic is spherical (its ellipsoidal view is another
    // method), so this row has no ESRI form.
    {{kMethodOrtho, "Orthographic", "Orthographic", nullptr, "ortho"},
     PJ_KIND_ORTHOGRAPHIC_ELLIPSOID,
     kEllipsoid,
     {kAtLatEsri, kAtLonEsri, kAtFE, kAtFN}},
    {{PJ_KIND_CONFORMAL_AZIMUTHAL, "Stereographic", "Stereographic", "Stereographic", "stere"},
     PJ_KIND_CONFORMAL_AZIMUTHAL,
     kSphereOnly,
     {kAtLat0, kAtLon0, {&kK0, kFixed, 1.0}, kAtFE, kAtFN},
     kPlain,
     0,
     kAzimuthalSphere},
    {{kMethodAeqd, "Azimuthal Equidistant", "Azimuthal_Equidistant", "Azimuthal_Equidistant", "aeqd"},
     PJ_KIND_AZIMUTHAL_EQUIDISTANT,
     kSphereOnly,
     {kAtLatCenter, kAtLonCenter, kAtFE, kAtFN},
     kPlain,
     0,
     kAzimuthalSphere},
    // On the ellipsoid, along its geodesics; a sphere keeps the spherical kind above.
    {{kMethodAeqd, "Azimuthal Equidistant", "Azimuthal_Equidistant", "Azimuthal_Equidistant", "aeqd"},
     PJ_KIND_AZIMUTHAL_EQUIDISTANT_ELLIPSOID,
     kEllipsoid,
     {kAtLatCenter, kAtLonCenter, kAtFE, kAtFN}},
    // The kind of this code computes the gnomonic.
    {{PJ_KIND_HOTINE_OBLIQUE_MERCATOR_AZIMUTH_NATURAL_ORIGIN, "Gnomonic", "Gnomonic", "Gnomonic", "gnom"},
     PJ_KIND_HOTINE_OBLIQUE_MERCATOR_AZIMUTH_NATURAL_ORIGIN,
     kSphereOnly,
     {kAtLatEsri, kAtLonEsri, kAtFE, kAtFN},
     kPlain,
     0,
     kAzimuthalSphere},
    {{PJ_KIND_SINUSOIDAL, "Sinusoidal", "Sinusoidal", "Sinusoidal", "sinu"},
     PJ_KIND_SINUSOIDAL,
     kEllipsoid,
     {kAtLonCenter2, kAtFE, kAtFN}},
    {{PJ_KIND_SINUSOIDAL, "Sinusoidal", "Sinusoidal", "Sinusoidal", "sinu"},
     PJ_KIND_SANSON,
     kSphereOnly,
     {kAtLonCenter2, kAtFE, kAtFN},
     kPlain,
     0,
     "the sinusoid on the sphere of radius a; PROJ's sinusoidal is ellipsoidal"},
    {{PJ_KIND_MILLER_CYLINDRICAL, "Miller Cylindrical", "Miller_Cylindrical", "Miller_Cylindrical", "mill"},
     PJ_KIND_MILLER_CYLINDRICAL,
     kSphereAny,
     {kAtLonCenter2, kAtFE, kAtFN}},
    {{PJ_KIND_GALL_STEREOGRAPHIC, "Gall Stereographic", "Gall_Stereographic", "Gall_Stereographic", "gall"},
     PJ_KIND_GALL_STEREOGRAPHIC,
     kSphereAny,
     {kAtLon0, kAtFE, kAtFN}},
    {{PJ_KIND_MOLLWEIDE, "Mollweide", "Mollweide", "Mollweide", "moll"},
     PJ_KIND_MOLLWEIDE,
     kSphereAny,
     {kAtLon0, kAtFE, kAtFN}},
    {{PJ_KIND_ECKERT_I, "Eckert I", "Eckert_I", "Eckert_I", "eck1"},
     PJ_KIND_ECKERT_I,
     kSphereAny,
     {kAtLon0, kAtFE, kAtFN}},
    {{PJ_KIND_ECKERT_II, "Eckert II", "Eckert_II", "Eckert_II", "eck2"},
     PJ_KIND_ECKERT_II,
     kSphereAny,
     {kAtLon0, kAtFE, kAtFN}},
    {{PJ_KIND_ECKERT_III, "Eckert III", "Eckert_III", "Eckert_III", "eck3"},
     PJ_KIND_ECKERT_III,
     kSphereAny,
     {kAtLon0, kAtFE, kAtFN}},
    {{PJ_KIND_ECKERT_IV, "Eckert IV", "Eckert_IV", "Eckert_IV", "eck4"},
     PJ_KIND_ECKERT_IV,
     kSphereAny,
     {kAtLon0, kAtFE, kAtFN}},
    {{PJ_KIND_ECKERT_V, "Eckert V", "Eckert_V", "Eckert_V", "eck5"},
     PJ_KIND_ECKERT_V,
     kSphereAny,
     {kAtLon0, kAtFE, kAtFN}},
    {{PJ_KIND_ECKERT_VI, "Eckert VI", "Eckert_VI", "Eckert_VI", "eck6"},
     PJ_KIND_ECKERT_VI,
     kSphereAny,
     {kAtLon0, kAtFE, kAtFN}},
    {{PJ_KIND_WINKEL_I, "Winkel I", "Winkel_I", "Winkel_I", "wink1"},
     PJ_KIND_WINKEL_I,
     kSphereAny,
     {kAtLon0, kAtLatTs, kAtFE, kAtFN}},
    {{PJ_KIND_QUARTIC_AUTHALIC, "Quartic Authalic", "Quartic_Authalic", "Quartic_Authalic", "qua_aut"},
     PJ_KIND_QUARTIC_AUTHALIC,
     kSphereAny,
     {kAtLon0, kAtFE, kAtFN}},
    {{PJ_KIND_LOXIMUTHAL, "Loximuthal", "Loximuthal", "Loximuthal", "loxim"},
     PJ_KIND_LOXIMUTHAL,
     kSphereAny,
     {{&kLatLoxim, kParallels}, kAtLon0, kAtFE, kAtFN}},
    {{PJ_KIND_VAN_DER_GRINTEN_I, "Van Der Grinten", "VanDerGrinten", "Van_der_Grinten_I", "vandg"},
     PJ_KIND_VAN_DER_GRINTEN_I,
     kSphereAny,
     {kAtLon0, kAtFE, kAtFN}},
    {{PJ_KIND_ROBINSON, "Robinson", "Robinson", "Robinson", "robin"},
     PJ_KIND_ROBINSON,
     kSphereAny,
     {kAtLonCenter2, kAtFE, kAtFN}},
    // The two points are parameters EPSG lacks: the codes above are the library's own.
    {{PJ_KIND_TWO_POINT_EQUIDISTANT, "Two Point Equidistant", "Two_Point_Equidistant",
      "Two_Point_Equidistant", "tpeqd"},
     PJ_KIND_TWO_POINT_EQUIDISTANT,
     kSphereAny,
     {{&kLatPt1, kParallel1, 0.0, kRequired},
      {&kLonPt1, kLongitude1, 0.0, kRequired},
      {&kLatPt2, kParallel2, 0.0, kRequired},
      {&kLonPt2, kLongitude2, 0.0, kRequired},
      kAtFE,
      kAtFN}},
    // The azimuthal kinds on the ellipsoid.
    {{kMethodObliqueStereo, "Oblique Stereographic", "Oblique_Stereographic", "Double_Stereographic", "sterea"},
     PJ_KIND_OBLIQUE_STEREOGRAPHIC,
     kEllipsoid,
     {kAtLat0, kAtLon0, kAtK0, kAtFE, kAtFN}},
    // PROJ's stere with its origin at a pole; a +proj=stere text reads as the
    // spherical stereographic above, whose row comes first.
    {{kMethodPolarStereoA, "Polar Stereographic (variant A)", "Polar_Stereographic",
      "Polar_Stereographic_Variant_A", "stere"},
     PJ_KIND_POLAR_STEREOGRAPHIC_A,
     kEllipsoid,
     {{&kLat0, kLatitude, 0.0, kRequired}, kAtLon0, kAtK0, kAtFE, kAtFN},
     kPolarAxes},
    // PROJ states variants B and C with a latitude of origin at the pole the
    // standard parallel's sign names, and ESRI names the pole in the method
    // (Stereographic_North_Pole, _South_Pole): more than a field filled, so
    // neither form is written, and neither is mistaken for an equatorial aspect.
    {{kMethodPolarStereoB, "Polar Stereographic (variant B)", "Polar_Stereographic_Variant_B", nullptr,
      nullptr},
     PJ_KIND_POLAR_STEREOGRAPHIC_B,
     kEllipsoid,
     {{&kLatStdParallel, kParallels, 0.0, kRequired}, {&kLonOrigin, kLongitude}, kAtFE, kAtFN},
     kPolarAxes},
    {{kMethodPolarStereoC, "Polar Stereographic (variant C)", "Polar_Stereographic_Variant_C", nullptr,
      nullptr},
     PJ_KIND_POLAR_STEREOGRAPHIC_C,
     kEllipsoid,
     {{&kLatStdParallel, kParallels, 0.0, kRequired},
      {&kLonOrigin, kLongitude},
      {&kEF, kFalseEasting},
      {&kNF, kFalseNorthing}},
     kPolarAxes},
    // Krovak with eastings and northings (its westings and southings negated),
    // as PROJ's krovak computes it.
    {{kMethodKrovakNorth, "Krovak (North Orientated)", "Krovak", "Krovak", "krovak"},
     PJ_KIND_KROVAK_NORTH_ORIENTATED,
     kEllipsoid,
     {kAtLatC,
      kAtLonKrovak,
      kAtConeAxis,
      kAtPseudoParallel,
      kAtPseudoScale,
      kAtFE,
      kAtFN}},
    // Lambert's cone as three national grids state it. PROJ 9.1 computes none
    // of the three as EPSG defines them (it has no west-orientated or
    // near-conformal routine, and renders Belgium's as the unturned 2SP cone),
    // so no PROJ form is written or read.
    {{kMethodLccWest, "Lambert Conic Conformal (West Orientated)", nullptr, nullptr, nullptr},
     PJ_KIND_LAMBERT_CONFORMAL_CONIC_WEST_ORIENTATED,
     kEllipsoid,
     {{&kLat0, kOriginAndParallels}, kAtLon0, kAtK0, kAtFE, kAtFN},
     kWestAxes},
    {{kMethodLccBelgium, "Lambert Conic Conformal (2SP Belgium)", "Lambert_Conformal_Conic_2SP_Belgium",
      nullptr, nullptr},
     PJ_KIND_LAMBERT_CONFORMAL_CONIC_BELGIUM,
     kEllipsoid,
     {{&kLatF, kLatitude},
      {&kLonF, kLongitude},
      kAtLat1,
      kAtLat2,
      {&kEF, kFalseEasting},
      {&kNF, kFalseNorthing}}},
    {{kMethodLccNearConformal, "Lambert Conic Near-Conformal", nullptr, nullptr, nullptr},
     PJ_KIND_LAMBERT_CONIC_NEAR_CONFORMAL,
     kEllipsoid,
     {{&kLat0, kLatitude, 0.0, kRequired}, kAtLon0, kAtK0, kAtFE, kAtFN}},
    // Kinds beyond the original set, in code order. Cassini-Soldner's
    // ellipsoidal kind builds the method wherever the spherical Cassini above
    // (the first row of the code) cannot: on every ellipsoid.
    {{kMethodCassini, "Cassini-Soldner", "Cassini_Soldner", "Cassini", "cass"},
     PJ_KIND_CASSINI_SOLDNER,
     kEllipsoid,
     {kAtLat0, kAtLon0, kAtFE, kAtFN},
     kCassiniAxes},
    // The row that writes the south-west kind (the row above builds it); its
    // PROJ string is cass on axes turned west and south (+axis=wsu), which the
    // PROJ-string form reads and writes.
    {{kMethodCassini, "Cassini-Soldner", "Cassini_Soldner", "Cassini", "cass"},
     PJ_KIND_CASSINI_SOLDNER_SOUTH_WEST,
     kEllipsoid,
     {kAtLat0, kAtLon0, kAtFE, kAtFN},
     kSouthWestTurned},
    // PROJ states it as its Cassini with the flag +hyperbolic, which the
    // table's names cannot carry: the PROJ-string form reads and writes it.
    {{kMethodCassiniHyperbolic, "Hyperbolic Cassini-Soldner", nullptr, nullptr, nullptr},
     PJ_KIND_CASSINI_SOLDNER_HYPERBOLIC,
     kEllipsoid,
     {kAtLat0, kAtLon0, kAtFE, kAtFN}},
    // PROJ states it as its transverse Mercator with +axis=wsu, which the
    // PROJ-string form reads and writes (a plain +proj=tmerc stays the
    // transverse Mercator).
    {{kMethodTMSouth, "Transverse Mercator (South Orientated)", "Transverse_Mercator_South_Orientated",
      "Transverse_Mercator_South_Orientated", nullptr},
     PJ_KIND_TRANSVERSE_MERCATOR_SOUTH_ORIENTATED,
     kEllipsoid,
     {kAtLat0, kAtLon0, kAtK0, kAtFE, kAtFN},
     kWestSouthAxes},
    {{kMethodEqualEarth, "Equal Earth", "Equal_Earth", "Equal_Earth", "eqearth"},
     PJ_KIND_EQUAL_EARTH,
     kEllipsoid,
     {kAtLon0, kAtFE, kAtFN}},
    // PROJ states it as its azimuthal equidistant with the flag +guam: the
    // PROJ-string form reads and writes it.
    {{kMethodGuam, "Guam Projection", nullptr, nullptr, nullptr},
     PJ_KIND_GUAM,
     kEllipsoid,
     {kAtLat0, kAtLon0, kAtFE, kAtFN}},
    // PROJ states it as its two-parallel Lambert with k_0 = K; written here
    // only in the forms that carry EPSG's names (a +proj=lcc stays Lambert).
    // ESRI's one Lambert with two parallels and a scale (after the 2SP row,
    // which its name finds first; the reader tells them apart by the scale).
    {{kMethodLccMichigan, "Lambert Conic Conformal (2SP Michigan)", nullptr, "Lambert_Conformal_Conic",
      nullptr},
     PJ_KIND_LAMBERT_CONFORMAL_CONIC_MICHIGAN,
     kEllipsoid,
     {{&kLatF, kLatitude},
      {&kLonF, kLongitude},
      kAtLat1,
      kAtLat2,
      {&kEF, kFalseEasting},
      {&kNF, kFalseNorthing},
      {&kEllipsoidScale, kScale, 1.0, kRequired | kPositive}}},
    // PROJ renders it as its geodesic azimuthal equidistant, which agrees
    // within micrometres near the centre only: a +proj=aeqd stays that kind.
    {{kMethodAeqdModified, "Modified Azimuthal Equidistant", nullptr, nullptr, nullptr},
     PJ_KIND_MODIFIED_AZIMUTHAL_EQUIDISTANT,
     kEllipsoid,
     {kAtLat0, kAtLon0, kAtFE, kAtFN}},
    // Kinds 43064-43068 and 43075: the remaining Krovak forms and the
    // national grids. Krovak's westings and southings, which PROJ states
    // with +axis=swu (the PROJ-string form reads and writes that; a plain
    // +proj=krovak stays north-orientated); the WKT1 and ESRI forms, which
    // name no axes, stay with the row above.
    {{kMethodKrovak, "Krovak", nullptr, nullptr, nullptr},
     PJ_KIND_KROVAK,
     kEllipsoid,
     {kAtLatC,
      kAtLonKrovak,
      kAtConeAxis,
      kAtPseudoParallel,
      kAtPseudoScale,
      kAtFE,
      kAtFN},
     kKrovakAxes},
    // The modified forms' polynomial is fixed by the method, not a parameter.
    {{kMethodKrovakModified, "Krovak Modified", nullptr, nullptr, nullptr},
     PJ_KIND_KROVAK_MODIFIED,
     kEllipsoid,
     {kAtLatC,
      kAtLonKrovak,
      kAtConeAxis,
      kAtPseudoParallel,
      kAtPseudoScale,
      kAtFE,
      kAtFN},
     kWestSouthAxes},
    {{kMethodKrovakModifiedNorth, "Krovak Modified (North Orientated)", nullptr, nullptr, nullptr},
     PJ_KIND_KROVAK_MODIFIED_NORTH_ORIENTATED,
     kEllipsoid,
     {kAtLatC,
      kAtLonKrovak,
      kAtConeAxis,
      kAtPseudoParallel,
      kAtPseudoScale,
      kAtFE,
      kAtFN},
     kNegatedFalseOrigin},
    {{kMethodLaborde, "Laborde Oblique Mercator", "Laborde_Oblique_Mercator", "Laborde_Oblique_Mercator",
      "labrd"},
     PJ_KIND_LABORDE_OBLIQUE_MERCATOR,
     kEllipsoid,
     {{&kLatCLaborde, kLatitude},
      {&kLonCLaborde, kLongitude},
      {&kAlphaLaborde, kAzimuth, 0.0, kRequired},
      {&kKCLaborde, kScale, 1.0, kPositive},
      kAtFE,
      kAtFN}},
    {{kMethodTMZoned, "Transverse Mercator Zoned Grid System", nullptr, nullptr, nullptr},
     PJ_KIND_TRANSVERSE_MERCATOR_ZONED_GRID,
     kEllipsoid,
     {kAtLat0,
      {&kInitialLongitude, kLongitude, 0.0, kRequired},
      {&kZoneWidth, kLongitude1, 0.0, kRequired | kPositive},
      kAtK0,
      kAtFE,
      kAtFN}},
    // Defined by a table of grads and kilometres, on no ellipsoid in particular;
    // GDAL and ESRI name it a mapping grid.
    {{kMethodTunisiaMining, "Tunisia Mining Grid", "Tunisia_Mapping_Grid", "Tunisia_Mapping_Grid", nullptr},
     PJ_KIND_TUNISIA_MINING_GRID,
     kEllipsoid,
     {{&kLatF, kLatitude}, {&kLonF, kLongitude}, {&kEF, kFalseEasting}, {&kNF, kFalseNorthing}}},
    // GDAL's WKT1 has no form of it; ESRI names it after the agency that defined it.
    {{kMethodColombiaUrban, "Colombia Urban", nullptr, "IGAC_Plano_Cartesiano", "col_urban"},
     PJ_KIND_COLOMBIA_URBAN,
     kEllipsoid,
     {kAtLatEsri, kAtLonEsri, kAtFE, kAtFN, {&kH0, kRule, 0.0, kRequired}},
     kHeightAsScale},
    // The geostationary view, which EPSG lacks (the codes are the library's
    // own). The scanner's axis is in the method's name; the sweep about x has
    // no WKT1 or ESRI name, and PROJ strings state it only by +sweep=x.
    {{PJ_KIND_GEOSTATIONARY_SATELLITE, "Geostationary Satellite (Sweep Y)", "Geostationary_Satellite",
      "Geostationary_Satellite", "geos"},
     PJ_KIND_GEOSTATIONARY_SATELLITE,
     kEllipsoid,
     {kAtLonEsri, {&kSatelliteHeight, kRule, 0.0, kRequired}, kAtFE, kAtFN},
     kHeightAsScale},
    {{PJ_KIND_GEOSTATIONARY_SATELLITE_SWEEP_X, "Geostationary Satellite (Sweep X)", nullptr, nullptr,
      nullptr},
     PJ_KIND_GEOSTATIONARY_SATELLITE_SWEEP_X,
     kEllipsoid,
     {kAtLonEsri, {&kSatelliteHeight, kRule, 0.0, kRequired}, kAtFE, kAtFN},
     kHeightAsScale},
    // ESRI states it as its Goode_Homolosine with an option that selects the
    // interruptions; that form is not read or written here.
    {{PJ_KIND_INTERRUPTED_GOODE_HOMOLOSINE, "Interrupted Goode Homolosine", "Interrupted_Goode_Homolosine",
      nullptr, "igh"},
     PJ_KIND_INTERRUPTED_GOODE_HOMOLOSINE,
     kSphereAny,
     {kAtLon0, kAtFE, kAtFN}},
    // The kinds PROJ alone defines (codes the library's own). The general
    // oblique transformation is read and written with the equidistant
    // cylindrical as the projection of the turned globe (+o_proj=eqc).
    {{PJ_KIND_GENERAL_OBLIQUE_TRANSFORMATION, "PROJ ob_tran o_proj=eqc", nullptr, nullptr, "ob_tran"},
     PJ_KIND_GENERAL_OBLIQUE_TRANSFORMATION,
     kSphereAny,
     {{&kTurnedPoleLat, kParallel1, 0.0, kRequired},
      {&kTurnedPoleLon, kLongitude1},
      {&kLon0Proj, kLongitude},
      {&kFEProj, kFalseEasting},
      {&kFNProj, kFalseNorthing}}},
    {{PJ_KIND_TILTED_PERSPECTIVE, "PROJ tpers", nullptr, nullptr, "tpers"},
     PJ_KIND_TILTED_PERSPECTIVE,
     kSphereAny,
     {{&kViewHeight, kRule, 0.0, kRequired},
      {&kTilt, kParallel1},
      {&kTiltAzimuth, kAzimuth},
      {&kLat0Proj, kLatitude},
      {&kLon0Proj, kLongitude},
      {&kFEProj, kFalseEasting},
      {&kFNProj, kFalseNorthing}},
     kHeightAsScale},
    {{PJ_KIND_QUADRILATERALIZED_SPHERICAL_CUBE, "Quadrilateralized Spherical Cube",
      "Quadrilateralized_Spherical_Cube", "Quadrilateralized_Spherical_Cube", "qsc"},
     PJ_KIND_QUADRILATERALIZED_SPHERICAL_CUBE,
     kEllipsoid,
     {kAtLat0, kAtLon0, kAtFE, kAtFN}},
    {{kMethodNzmg, "New Zealand Map Grid", "New_Zealand_Map_Grid", "New_Zealand_Map_Grid", "nzmg"},
     PJ_KIND_NEW_ZEALAND_MAP_GRID,
     kEllipsoid,
     {kAtLat0, {&kLon0Nzmg, kLongitude}, kAtFE, kAtFN}},
    // EPSG's geographic/geocentric conversion: no parameters, the ellipsoid
    // alone. A PROJ string states it as a system of its own, +proj=geocent
    // (or cart); WKT states a geocentric system as GEOCCS or a GEODCRS with a
    // Cartesian system, never as a projection, so the row has no WKT or ESRI
    // name and the WKT writers refuse it rather than write a PROJCRS.
    {{9602, nullptr, nullptr, nullptr, "geocent"}, PJ_KIND_GEOCENTRIC, kEllipsoid, {}},
    {{9602, nullptr, nullptr, nullptr, "cart"}, 0, kEllipsoid, {}},
};

// Kinds that have a routine but no form elsewhere, and why.
struct Unwritten {
    long kind;
    const char* why;
};
const Unwritten kUnwritten[] = {
    {PJ_KIND_WINKEL_II, "this Winkel II form is the library's own; no other software computes it"},
    // The kind of this code computes the China projection.
    {PJ_KIND_HOTINE_OBLIQUE_MERCATOR_AZIMUTH_CENTER, "the China projection has no equivalent elsewhere"},
};

int ParamCount(const MethodRow& row) {
    int n = 0;
    while (n < 8 && row.params[n].names)
        ++n;
    return n;
}

// The height a kHeightAsScale row keeps as its scale: its parameter bound to the rule.
long HeightCode(const MethodRow& row) {
    for (int i = 0; i < ParamCount(row); ++i)
        if (row.params[i].field == kRule) return row.params[i].names->code;
    return 0;
}

bool SameName(const char* a, const char* b) {
    return ZrInteropSameName(a, b);
}

const MethodRow* FindRow(long code) {
    for (const MethodRow& row : kMethods)
        if (row.names.code == code) return &row;
    return nullptr;
}

// Other spellings of parameters that writers use: EPSG's later names and
// PROJ's older ones.
struct ParameterAlias {
    long code;
    const char* name;
};
const ParameterAlias kParameterAliases[] = {
    {8813, "Azimuth at projection centre"},
    {8815, "Scale factor at projection centre"},
    {8814, "Angle from Rectified to Skew Grid"},
    {8823, "latitude_of_standard_parallel"},
    {8801, "Latitude_Of_Center"},
    {8802, "Longitude_Of_Center"},
    {8801, "latitude_of_center"},
    {8802, "longitude_of_center"},
    {8801, "Central_Parallel"},
    {8821, "Latitude_Of_Center"},
    {8822, "Longitude_Of_Center"},
    {8811, "Latitude_Of_Origin"},
    {8812, "Longitude_Of_Origin"},
    {8812, "Central_Meridian"},
};

CString Line(const char* format, double value) {
    CString text;
    text.Format(format, value);
    return text;
}

} // namespace

// ---------------------------------------------------------------------------
// Lookups
// ---------------------------------------------------------------------------
const ZrMethodNames* ZrFindMethod(long code) {
    const MethodRow* row = FindRow(code);
    return row ? &row->names : nullptr;
}

const ZrMethodNames* ZrFindMethodByName(const char* anyName) {
    if (!anyName || !*anyName) return nullptr;
    for (const MethodRow& row : kMethods) {
        const ZrMethodNames& n = row.names;
        if (SameName(anyName, n.epsgName) || SameName(anyName, n.wkt1Name) || SameName(anyName, n.esriName))
            return &n;
    }
    // PROJ names last: several methods share one (lcc, merc, omerc, laea).
    for (const MethodRow& row : kMethods)
        if (SameName(anyName, row.names.projName)) return &row.names;
    // GDAL names the Transverse Mercator of MapInfo's projection numbers 21
    // to 25 (Finland, Sweden, Denmark and the like) apart; they compute
    // Transverse Mercator.
    const char* mapInfo = "transverse_mercator_mapinfo_";
    const size_t n = std::strlen(mapInfo);
    if (std::strlen(anyName) == n + 2) {
        std::string lowered(anyName);
        for (char& c : lowered)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (lowered.compare(0, n, mapInfo) == 0 && lowered[n] == '2' && lowered[n + 1] >= '1' &&
            lowered[n + 1] <= '5')
            return ZrFindMethod(9807);
    }
    return nullptr;
}

int ZrMethodParameters(long methodCode, const ZrParameterNames** out, int capacity) {
    const MethodRow* row = FindRow(methodCode);
    if (!row) return 0;
    const int n = ParamCount(*row);
    for (int i = 0; i < n && i < capacity; ++i)
        out[i] = row->params[i].names;
    return n;
}

const ZrParameterNames* ZrFindParameterByName(long methodCode, const char* anyName) {
    if (!anyName || !*anyName) return nullptr;
    // Every row of the method: an alias row may spell a parameter otherwise.
    for (const MethodRow& row : kMethods) {
        if (row.names.code != methodCode) continue;
        for (int i = 0; i < ParamCount(row); ++i) {
            const ZrParameterNames* p = row.params[i].names;
            if (SameName(anyName, p->epsgName) || SameName(anyName, p->wkt1Name) ||
                SameName(anyName, p->esriName) || SameName(anyName, p->projKey))
                return p;
        }
    }
    const MethodRow* first = FindRow(methodCode);
    if (!first) return nullptr;
    for (const ParameterAlias& alias : kParameterAliases) {
        if (!SameName(anyName, alias.name)) continue;
        for (int i = 0; i < ParamCount(*first); ++i)
            if (first->params[i].names->code == alias.code) return first->params[i].names;
    }
    return nullptr;
}

// ---------------------------------------------------------------------------
// Build: EPSG-style description -> coordinate system
// ---------------------------------------------------------------------------
namespace {

bool Fail(CString* reason, const CString& text) {
    if (reason) *reason = text;
    return false;
}

// Codes that stand for one another when a description lacks the row's own:
// the origin and false origin as each form of a method names them.
const long kSameRole[][3] = {
    {8806, 8826, 8816}, // false easting
    {8807, 8827, 8817}, // false northing
    {8801, 8821, 8811}, // latitude of the origin
    {8802, 8822, 8812}, // longitude of the origin
};

// The parameters of a description, looked up by code.
class ParamSet {
public:
    explicit ParamSet(const ZrEpsgProjectedRecord& proj) : m_proj(proj) {}
    bool Find(long code, double& value) const {
        for (const ZrEpsgParameter& p : m_proj.parameters)
            if (p.code == code) {
                value = p.value;
                return true;
            }
        return false;
    }
    // The parameter by its code, else by a code of the same role (in the
    // order above, so a false easting is the natural origin's first).
    bool FindRole(long code, double& value) const {
        for (const auto& role : kSameRole)
            if (role[0] == code || role[1] == code || role[2] == code) {
                for (const long c : role)
                    if (Find(c, value)) return true;
                return false;
            }
        return Find(code, value);
    }
    double Get(long code, double fallback) const {
        double v = fallback;
        Find(code, v);
        return v;
    }

private:
    const ZrEpsgProjectedRecord& m_proj;
};

bool ContainsGauss(const std::string& name) {
    for (size_t i = 0; i + 5 <= name.size(); ++i)
        if (ZrInteropSameName(name.substr(i, 5).c_str(), "gauss")) return true;
    return false;
}

bool IsSphere(const ZrEpsgGeographicRecord& geog) {
    return geog.inverseFlattening == 0.0;
}

// A parameter's EPSG name as it reads inside a sentence.
std::string Lowered(const char* name) {
    std::string s = name;
    if (!s.empty()) s[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(s[0])));
    return s;
}

// Bonne's cone: its apex lies N(phi1)/tan(phi1) north of the natural origin.
double BonneApexDistance(double phi1Degrees, double a, double inverseFlattening) {
    const double phi1 = phi1Degrees * kDegree;
    const double f = inverseFlattening == 0.0 ? 0.0 : 1.0 / inverseFlattening;
    const double es = (2.0 - f) * f;
    const double s = std::sin(phi1);
    return a / std::sqrt(1.0 - es * s * s) / std::tan(phi1);
}

constexpr double kBonneFixedLine = 20738918.0; // metres north of the apex, where the kind's northings start

// Fills one field of the model from a parameter's value.
void Fill(Field field, double v, CZrPJParams& params) {
    switch (field) {
    case kFalseEasting:
        params.FalseEasting = v;
        break;
    case kFalseNorthing:
        params.FalseNorthing = v;
        break;
    case kLongitude:
        params.CentralMeridian = v;
        break;
    case kLatitude:
        params.CentralParallel = v;
        break;
    case kParallel1:
    case kGridAngle:
        params.StandardParallel1 = v;
        break;
    case kParallel2:
        params.StandardParallel2 = v;
        break;
    case kOriginAndParallels:
        params.CentralParallel = v;
        [[fallthrough]];
    case kParallels:
        params.StandardParallel1 = params.StandardParallel2 = v;
        break;
    case kScale:
        params.ScaleFactor = v;
        break;
    case kAzimuth:
        params.Azimuth = v;
        break;
    case kLongitude1:
        params.FirstPointLongitude = v;
        break;
    case kLongitude2:
        params.SecondPointLongitude = v;
        break;
    case kFixed:
    case kRule:
        break;
    }
}

// The row that builds a method: the first of its code with a kind.
// The first row of the code with a kind whose surface admits the ellipsoid
// (a method computed by a spherical kind on a sphere and by an ellipsoidal
// one elsewhere), else the first with a kind, which then names the refusal.
const MethodRow* BuildingRow(long methodCode, bool sphere) {
    const MethodRow* first = nullptr;
    for (const MethodRow& r : kMethods) {
        if (r.names.code != methodCode || r.kind == 0) continue;
        if (!first) first = &r;
        if (sphere || (r.surface != kSphereOnly && r.surface != kSphereForm)) return &r;
    }
    return first;
}

} // namespace

int ZrInteropBuildGeographic(const ZrEpsgGeographicRecord& geog, CZrPJGeoCoordSys& gcs, CString* reason) {
    if (!(geog.semiMajorAxis > 0.0) || !std::isfinite(geog.semiMajorAxis))
        return Fail(reason, "ellipsoid without a positive semi-major axis"), 0;
    if (!(geog.inverseFlattening == 0.0 || geog.inverseFlattening > 1.0) ||
        !std::isfinite(geog.inverseFlattening))
        return Fail(reason, Line("ellipsoid with an inverse flattening of %.12g", geog.inverseFlattening)), 0;
    if (!std::isfinite(geog.primeMeridianLongitude) || std::fabs(geog.primeMeridianLongitude) > 180.0)
        return Fail(reason, "prime meridian outside -180..180 degrees"), 0;
    return ZrMatchGeographic(geog, gcs) ? 1 : 0;
}

int ZrInteropBuild(const ZrEpsgGeographicRecord& geog, const ZrEpsgProjectedRecord* proj, CZrPJCoordSys& cs,
                   CString* reason, bool matchCatalogue) {
    CZrPJGeoCoordSys gcs;
    if (!ZrInteropBuildGeographic(geog, gcs, reason)) return 0;
    const CZrPJSpheroid matched = gcs.GetDatum().GetSpheroid();
    const double f = IsSphere(geog) ? 0.0 : 1.0 / geog.inverseFlattening;
    // Built as defined (to compare a catalogue row with): the given figures,
    // not the catalogue's rounded ones (a flattening kept to nine decimals
    // moves a grid's far corner by millimetres), under the names matched.
    const bool exact =
        !matchCatalogue && (matched.GetAxis() != geog.semiMajorAxis || matched.GetFlattening() != f);
    if (exact) {
        CZrPJSpheroid given;
        given.Set(matched.GetName(), geog.semiMajorAxis, f);
        CZrPJDatum datum;
        datum.Set(gcs.GetDatum().GetName(), given);
        CZrPJGeoCoordSys own;
        own.Set(gcs.GetName(), datum, gcs.GetPrimeMeridian(), 0);
        gcs = own;
    }
    if (!proj) {
        CZrPJCoordSys built;
        built.SetEarth(gcs, 0);
        cs = built;
        return 1;
    }

    const MethodRow* row = BuildingRow(proj->methodCode, IsSphere(geog));
    if (!row) {
        CString name = proj->methodName.empty() ? CString("") : CString(proj->methodName);
        CString text;
        text.Format("projection method %ld %s has no kind in this library", proj->methodCode, name.c_str());
        return Fail(reason, text), 0;
    }
    const char* method = row->names.epsgName;
    if (row->surface == kSphereForm && !IsSphere(geog)) {
        CString text;
        text.Format("%s on an ellipsoid: the kind computes the ellipsoidal form", method);
        return Fail(reason, text), 0;
    }
    if (row->surface == kSphereOnly && !IsSphere(geog)) {
        CString text;
        text.Format("%s on an ellipsoid: the kind computes it on a sphere", method);
        return Fail(reason, text), 0;
    }

    long units = 10000;
    if (!ZrInteropUnitCode(*proj, units, reason)) return 0;
    // The south-orientated Bonne's formulas give westings and southings
    // whatever a text says of its axes (ESRI's texts name none, read as east
    // and north); every other method's give eastings and northings.
    const bool westSouth = proj->axisOrder == "WS" || proj->axisOrder == "SW";
    const bool alongMeridians = proj->axisOrder == "NN" || proj->axisOrder == "SS";
    const bool westNorth = proj->axisOrder == "WN" || proj->axisOrder == "NW";
    if (proj->axisOrder.size() == 2 && proj->axisOrder != "EN" && proj->axisOrder != "NE" &&
        !(westSouth &&
          (row->rule == kSouthOrientated || row->rule == kWestSouthAxes || row->rule == kKrovakAxes ||
           row->rule == kCassiniAxes || row->rule == kSouthWestTurned)) &&
        !(alongMeridians && row->rule == kPolarAxes) && !(westNorth && row->rule == kWestAxes))
        return Fail(reason, CString("projected axes ") + proj->axisOrder.c_str() +
                                ": only east and north axes are expressible"),
               0;

    const ParamSet p(*proj);
    CZrPJParams params;
    params.ScaleFactor = 1.0;
    params.FalseEasting = params.FalseNorthing = 0.0;
    long kind = row->kind;
    for (int i = 0; i < ParamCount(*row); ++i) {
        const Binding& b = row->params[i];
        const ZrParameterNames& n = *b.names;
        double v = b.value;
        const bool given = p.FindRole(n.code, v);
        if (!given && (b.flags & kRequired)) {
            CString text;
            text.Format("%s lacks its parameter %s", method, Lowered(n.epsgName).c_str());
            return Fail(reason, text), 0;
        }
        if (!given && (b.flags & kDefaultsToParallel1)) v = params.StandardParallel1;
        if (!given && (b.flags & kDefaultsToAzimuth)) v = params.Azimuth;
        if ((b.flags & kPositive) && !(v > 0.0)) {
            CString text;
            text.Format("%s with a %s that is not positive", method, Lowered(n.epsgName).c_str());
            return Fail(reason, text), 0;
        }
        if (b.field == kFixed && v != b.value) {
            CString text;
            if (b.value == 0.0 && n.quantity == ZR_PARAM_ANGLE)
                text.Format("%s with %s %.12g: the kind takes its origin on the equator", method,
                            Lowered(n.epsgName).c_str(), v);
            else
                text.Format("%s with %s %.12g: the kind takes %.12g", method, Lowered(n.epsgName).c_str(), v,
                            b.value);
            return Fail(reason, text), 0;
        }
        if (b.flags & kAbsolute) v = std::fabs(v);
        Fill(b.field, v, params);
    }

    switch (row->rule) {
    case kGaussKrugerByName:
        if (params.CentralParallel == 0.0 && params.ScaleFactor == 1.0 &&
            (ContainsGauss(proj->methodName) || ContainsGauss(proj->conversionName) ||
             ContainsGauss(proj->name)))
            kind = PJ_KIND_GAUSS_KRUGER;
        break;
    case kTwoParallels:
        // Two standard parallels are both true to scale: the kind reads no scale factor.
        if (std::fabs((params.StandardParallel1 - params.StandardParallel2) * kDegree) < 1e-7)
            params.StandardParallel2 = params.StandardParallel1;
        break;
    case kMercatorScale: {
        // cos^2 phi / (1 - e^2 sin^2 phi) = k0^2, solved for sin^2 phi.
        const double k = p.Get(kK0.code, 1.0);
        if (!(k > 0.0 && k <= 1.0)) return Fail(reason, Line("Mercator with a scale factor of %.12g", k)), 0;
        const double f = IsSphere(geog) ? 0.0 : 1.0 / geog.inverseFlattening;
        const double es = (2.0 - f) * f;
        const double s2 = (1.0 - k * k) / (1.0 - k * k * es);
        params.StandardParallel1 = params.StandardParallel2 = std::asin(std::sqrt(s2)) / kDegree;
        break;
    }
    case kBonneNorthing:
        if (std::fabs(std::tan(params.StandardParallel1 * kDegree)) <= 1e-7)
            return Fail(reason, "Bonne with its origin on the equator"), 0;
        if (units != 10000) return Fail(reason, "Bonne in a unit other than the metre"), 0;
        params.FalseNorthing +=
            BonneApexDistance(params.StandardParallel1, geog.semiMajorAxis, geog.inverseFlattening) -
            kBonneFixedLine;
        break;
    case kSouthOrientated:
        if (std::fabs(std::tan(params.CentralParallel * kDegree)) <= 1e-7)
            return Fail(reason, "Bonne (South Orientated) with its origin on the equator"), 0;
        break;
    case kHeightAsScale: {
        // A length in the system's unit; the ratio is to metres.
        const double h = p.Get(HeightCode(*row), 0.0) * ZrUnitCodeToMetres(units);
        if (!(h > -0.5 * geog.semiMajorAxis)) {
            CString text;
            text.Format("%s with a height of %.12g m", method, h);
            return Fail(reason, text), 0;
        }
        params.ScaleFactor = 1.0 + h / geog.semiMajorAxis;
        break;
    }
    case kKrovakAxes:
        if (!westSouth) kind = PJ_KIND_KROVAK_NORTH_ORIENTATED;
        break;
    case kCassiniAxes:
        if (!westSouth) break;
        kind = PJ_KIND_CASSINI_SOLDNER_SOUTH_WEST;
        params.FalseEasting = -params.FalseEasting;
        params.FalseNorthing = -params.FalseNorthing;
        break;
    case kNegatedFalseOrigin:
    case kSouthWestTurned:
        params.FalseEasting = -params.FalseEasting;
        params.FalseNorthing = -params.FalseNorthing;
        break;
    case kPlain:
    case kPolarAxes:
    case kGaussKrugerZone:
    case kOneParallelAtOrigin:
    case kReadOnly:
    case kWestSouthAxes:
    case kWestAxes:
        break;
    }

    for (const double v :
         {params.FalseEasting, params.FalseNorthing, params.CentralMeridian, params.CentralParallel,
          params.StandardParallel1, params.StandardParallel2, params.ScaleFactor, params.Azimuth,
          params.FirstPointLongitude, params.SecondPointLongitude})
        if (!std::isfinite(v)) return Fail(reason, "a parameter is not a finite number"), 0;
    // The oblique Mercator kinds keep their grid angle where the parallels live.
    bool gridAngle = false;
    for (int i = 0; i < ParamCount(*row); ++i)
        gridAngle = gridAngle || row->params[i].field == kGridAngle;
    for (const double v : {params.CentralParallel, gridAngle ? 0.0 : params.StandardParallel1,
                           gridAngle ? 0.0 : params.StandardParallel2})
        if (std::fabs(v) > 90.0) return Fail(reason, Line("latitude parameter %.12g outside -90..90", v)), 0;

    CZrPJCoordSys built;
    const CString name = proj->name.empty() ? CString("Custom") : CString(proj->name);
    if (!built.Set(name, gcs, CZrPJObject(static_cast<tagPJObjectType>(kind)), params, units)) {
        CString text;
        text.Format("the parameters of %s are degenerate for the kind", method);
        return Fail(reason, text), 0;
    }
    if (matchCatalogue) ZrMatchProjected(*proj, built);
    cs = built;
    return 1;
}

// ---------------------------------------------------------------------------
// Describe: coordinate system -> EPSG-style description
// ---------------------------------------------------------------------------
namespace {

struct UnitName {
    long code;
    long epsg;
    const char* name;
};
const UnitName kUnitNames[] = {
    {10000, 9001, "metre"},        {3048, 9002, "foot"},      {kZrUnitUsSurveyFoot, 9003, "US survey foot"},
    {10000000, 9036, "kilometre"}, {100, 1033, "centimetre"}, {10, 1025, "millimetre"},
    {9144, 9096, "yard"},          {1000, 0, "decimetre"},    {254, 0, "inch"},
    {16090000, 0, "mile"},
};

void DescribeUnitOf(long units, ZrEpsgProjectedRecord& proj) {
    proj.linearUnitCode = 0;
    proj.linearUnitToMetre = ZrUnitCodeToMetres(units);
    for (const UnitName& u : kUnitNames)
        if (u.code == units) {
            proj.linearUnitCode = u.epsg;
            proj.linearUnitName = u.name;
            return;
        }
    if (const ZrExactUnit* exact = ZrFindExactUnit(units)) {
        proj.linearUnitCode = exact->epsgCode;
        proj.linearUnitName = exact->name;
        return;
    }
    CString name;
    name.Format("unit of %.12g m", proj.linearUnitToMetre);
    proj.linearUnitName = name.str();
}

bool OneParallel(const CZrPJParams& prm) {
    return std::fabs((prm.StandardParallel1 - prm.StandardParallel2) * kDegree) < 1e-7;
}

// The value a parameter is written with, from the model's fields.
double Value(const Binding& b, const CZrPJParams& prm) {
    switch (b.field) {
    case kFalseEasting:
        return prm.FalseEasting;
    case kFalseNorthing:
        return prm.FalseNorthing;
    case kLongitude:
        return prm.CentralMeridian;
    case kLatitude:
    case kOriginAndParallels:
        return prm.CentralParallel;
    case kParallel1:
    case kGridAngle:
        return prm.StandardParallel1;
    case kParallel2:
        return (b.flags & kDefaultsToParallel1) && OneParallel(prm) ? prm.StandardParallel1
                                                                    : prm.StandardParallel2;
    case kParallels:
        return (b.flags & kAbsolute) ? std::fabs(prm.StandardParallel1) : prm.StandardParallel1;
    case kScale:
        return prm.ScaleFactor;
    case kAzimuth:
        return prm.Azimuth;
    case kLongitude1:
        return prm.FirstPointLongitude;
    case kLongitude2:
        return prm.SecondPointLongitude;
    case kFixed:
    case kRule:
        break;
    }
    return b.value;
}

// The row that writes a kind: the first whose surface admits the ellipsoid
// and whose rule admits the parameters; null when none does, and then
// sphereOnly names the row that would on a sphere.
const MethodRow* WritingRow(long kind, bool sphere, const CZrPJParams& prm, const MethodRow*& sphereOnly) {
    sphereOnly = nullptr;
    for (const MethodRow& r : kMethods) {
        if (r.kind == 0 || (r.kind != kind && r.alsoWrites != kind) || r.rule == kMercatorScale ||
            r.rule == kReadOnly)
            continue;
        if ((r.surface == kSphereOnly || r.surface == kSphereForm) && !sphere) {
            if (!sphereOnly) sphereOnly = &r;
            continue;
        }
        if ((r.rule == kOneParallelAtOrigin || r.rule == kWestAxes) &&
            !(OneParallel(prm) && prm.CentralParallel == prm.StandardParallel1))
            continue;
        return &r;
    }
    return nullptr;
}

} // namespace

int ZrInteropDescribeGeographic(const CZrPJGeoCoordSys& gcs, ZrEpsgGeographicRecord& geog) {
    const CZrPJDatum datum = gcs.GetDatum();
    const CZrPJSpheroid spheroid = datum.GetSpheroid();
    const CZrPJPrimeMeridian pm = gcs.GetPrimeMeridian();
    ZrEpsgGeographicRecord g;
    if (gcs.GetType() > 1) {
        g.code = ZrMappedEpsgCode(gcs.GetType());
    } else {
        CZrPJCoordSys earth;
        earth.SetEarth(gcs, 0);
        g.code = ZrEpsgGeographicCodeOf(earth);
    }
    if (g.code < 0) g.code = 0;
    g.name = gcs.GetName().str();
    g.datumCode = datum.GetType() > 0 ? ZrMappedEpsgCode(datum.GetType()) : 0;
    if (g.datumCode < 0) g.datumCode = 0;
    g.datumName = datum.GetName().str();
    g.ellipsoidCode = spheroid.GetType() > 0 ? ZrMappedEpsgCode(spheroid.GetType()) : 0;
    if (g.ellipsoidCode < 0) g.ellipsoidCode = 0;
    g.ellipsoidName = spheroid.GetName().str();
    g.semiMajorAxis = spheroid.GetAxis();
    g.inverseFlattening = spheroid.GetFlattening() == 0.0 ? 0.0 : 1.0 / spheroid.GetFlattening();
    g.primeMeridianCode = pm.GetType() > 0 ? ZrMappedEpsgCode(pm.GetType()) : 0;
    if (g.primeMeridianCode < 0) g.primeMeridianCode = 0;
    g.primeMeridianName = pm.GetName().str();
    g.primeMeridianLongitude = pm.GetLongitude();
    g.latitudeFirst = g.code > 0;
    geog = g;
    return 1;
}

int ZrInteropDescribe(const CZrPJCoordSys& cs, ZrEpsgGeographicRecord& geog, ZrEpsgProjectedRecord& proj,
                      bool& projected, CString* reason) {
    const long type = cs.GetType();
    if (type == 0) return Fail(reason, "a planar system has no geographic or projected description"), 0;
    if (!cs.IsValid()) return Fail(reason, "the system is not valid"), 0;
    ZrEpsgGeographicRecord g;
    ZrInteropDescribeGeographic(cs.GetGCS(), g);
    if (type == 1) {
        geog = g;
        proj = ZrEpsgProjectedRecord();
        projected = false;
        return 1;
    }

    const CZrPJParams prm = cs.GetParams();
    const long kind = cs.GetProjection().GetType();
    const long units = cs.GetDistUnits();
    const bool sphere = g.inverseFlattening == 0.0;
    auto refuse = [&](const char* why) {
        CString text;
        text.Format("%s: %s", cs.GetProjection().GetName().c_str(), why);
        return Fail(reason, text);
    };
    // A ratio other than 1 divides every coordinate; no exchange form carries it.
    if (cs.GetPJOperator().GetDivisor() != 1.0) return refuse("coordinates divided by a ratio"), 0;
    for (const Unwritten& u : kUnwritten)
        if (u.kind == kind) return refuse(u.why), 0;
    const MethodRow* sphereOnly = nullptr;
    const MethodRow* row = WritingRow(kind, sphere, prm, sphereOnly);
    if (!row && sphereOnly) return refuse(sphereOnly->sphere ? sphereOnly->sphere : kAzimuthalSphere), 0;
    if (!row) return refuse("the kind has no projection routine"), 0;

    ZrEpsgProjectedRecord p;
    p.code = ZrEpsgCodeOf(cs);
    if (p.code < 0) p.code = 0;
    p.name = cs.GetName().str();
    p.baseGeographicCode = g.code;
    p.axisOrder = "EN";
    ZrInteropDescribeUnit(units, p);
    p.methodCode = row->names.code;
    // The geocentric row has no WKT name (WKT states such a system as GEOCCS or
    // GEODCRS, not as a projection): EPSG's name of its method stands in.
    const char* methodName = FindRow(row->names.code)->names.epsgName;
    p.methodName = methodName ? methodName : "Geographic/geocentric conversions";
    for (int i = 0; i < ParamCount(*row); ++i) {
        const Binding& b = row->params[i];
        if ((b.flags & kPositive) && !(Value(b, prm) > 0.0))
            return refuse("a scale factor that is not positive"), 0;
        ZrEpsgParameter e;
        e.code = b.names->code;
        e.value = Value(b, prm);
        p.parameters.push_back(e);
    }

    switch (row->rule) {
    case kGaussKrugerZone:
        p.conversionName = "Gauss-Kruger";
        break;
    case kTwoParallels:
        // One standard parallel with a scale on it and the origin elsewhere:
        // neither Lambert form carries it.
        if (OneParallel(prm) && prm.ScaleFactor != 1.0)
            return refuse("one standard parallel with a scale factor and an origin off it"), 0;
        break;
    case kBonneNorthing:
        if (units != 10000) return refuse("Bonne in a unit other than the metre"), 0;
        for (ZrEpsgParameter& e : p.parameters)
            if (e.code == kFN.code)
                e.value += kBonneFixedLine -
                           BonneApexDistance(prm.StandardParallel1, g.semiMajorAxis, g.inverseFlattening);
        break;
    case kSouthOrientated:
        // The kind projects nothing with its origin on the equator (the cone
        // becomes a cylinder); EPSG's method is undefined there too.
        if (std::fabs(std::tan(prm.CentralParallel * kDegree)) <= 1e-7)
            return refuse("the south-orientated Bonne with its origin on the equator"), 0;
        p.axisOrder = "WS";
        break;
    case kWestSouthAxes:
    case kKrovakAxes:
        p.axisOrder = "WS";
        break;
    case kWestAxes:
        p.axisOrder = "WN";
        break;
    case kSouthWestTurned:
        p.axisOrder = "SW";
        [[fallthrough]];
    case kNegatedFalseOrigin:
        for (ZrEpsgParameter& e : p.parameters)
            if (e.code == kFE.code || e.code == kFN.code) e.value = -e.value;
        break;
    case kHeightAsScale: {
        const double toMetre = p.linearUnitToMetre > 0.0 ? p.linearUnitToMetre : 1.0;
        for (ZrEpsgParameter& q : p.parameters)
            if (q.code == HeightCode(*row)) q.value = g.semiMajorAxis * (prm.ScaleFactor - 1.0) / toMetre;
        break;
    }
    case kPlain:
    case kPolarAxes:
    case kGaussKrugerByName:
    case kOneParallelAtOrigin:
    case kMercatorScale:
    case kReadOnly:
    case kCassiniAxes:
        break;
    }
    geog = g;
    proj = p;
    projected = true;
    return 1;
}

// The library's unit code of a linear unit given by its length in metres.
int ZrInteropUnitCode(const ZrEpsgProjectedRecord& proj, long& units, CString* reason) {
    const double m = proj.linearUnitToMetre;
    if (!(m > 0.0) || !std::isfinite(m))
        return Fail(reason, "linear unit without a positive length: " + CString(proj.linearUnitName)), 0;
    if (proj.linearUnitCode == 9003) {
        units = kZrUnitUsSurveyFoot;
        return 1;
    }
    // EPSG's units off the tenths-of-a-millimetre scale (Clarke's foot, the
    // Sears yard, ...) by their length, which texts print to 15 to 17 digits.
    if (const long exact = ZrExactUnitCodeOf(m)) {
        units = exact;
        return 1;
    }
    // The unit codes count tenths of a millimetre: the unit must be a whole number of them.
    const double tenths = m * 10000.0;
    const double whole = std::round(tenths);
    if (whole < 1.0 || whole > 2.0e9 || std::fabs(tenths - whole) > 1e-9 * whole)
        return Fail(reason, Line("linear unit of %.12g m is no EPSG unit and no whole number of tenths of a "
                                 "millimetre",
                                 m) +
                                " (" + CString(proj.linearUnitName) + ")"),
               0;
    units = static_cast<long>(whole);
    return 1;
}

void ZrInteropDescribeUnit(long units, ZrEpsgProjectedRecord& proj) {
    DescribeUnitOf(units, proj);
}
