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

namespace {

constexpr double kDegree = 0.017453292519943295;

// ---------------------------------------------------------------------------
// Parameters. EPSG's codes; the few parameters EPSG lacks (the two points of
// the two-point equidistant) carry codes of their own above EPSG's range.
// ---------------------------------------------------------------------------
constexpr long kLat1stPoint = 48101, kLon1stPoint = 48102, kLat2ndPoint = 48103, kLon2ndPoint = 48104;

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

#undef ANGLE
#undef LENGTH
#undef SCALE

// Method codes that EPSG lacks carry the library's kind code.
constexpr long kMethodTM = 9807, kMethodLcc1 = 9801, kMethodLcc2 = 9802, kMethodAlbers = 9822,
               kMethodHotineA = 9812, kMethodHotineB = 9815, kMethodMercatorA = 9804, kMethodMercatorB = 9805,
               kMethodPseudoMercator = 1024, kMethodLaea = 9820, kMethodLaeaSpherical = 1027,
               kMethodPolyconic = 9818, kMethodEqc = 1028, kMethodEqcSpherical = 1029, kMethodCea = 9835,
               kMethodBonne = 9827, kMethodCassini = 9806, kMethodOrtho = 9840, kMethodAeqd = 1125;

// What the kind computes on, which decides where the method's formulas agree.
enum Surface {
    kEllipsoid,  // the method's own ellipsoidal formulas
    kSphereAny,  // the sphere of radius a, as the method (PROJ's form) does on any ellipsoid
    kSphereOnly, // a sphere (radius a or the authalic radius); the method is ellipsoidal, so
                 // the two agree only when the ellipsoid is a sphere
};

struct MethodRow {
    ZrMethodNames names;
    long kind; // the kind that computes it; 0 when the row is an alias read only
    Surface surface;
    const ZrParameterNames* params[8];
};

// The table. A method may appear twice when a dialect has two names for it
// (ESRI's Behrmann, its Gauss-Kruger, the rectified skew orthomorphic forms);
// lookups by code return the first row.
const MethodRow kMethods[] = {
    {{kMethodTM, "Transverse Mercator", "Transverse_Mercator", "Transverse_Mercator", "tmerc"},
     PJ_KIND_TRANSVERSE_MERCATOR,
     kEllipsoid,
     {&kLat0, &kLon0, &kK0, &kFE, &kFN}},
    {{kMethodTM, "Transverse Mercator", "Transverse_Mercator", "Gauss_Kruger", "tmerc"},
     0,
     kEllipsoid,
     {&kLat0, &kLon0, &kK0, &kFE, &kFN}},
    {{kMethodLcc1, "Lambert Conic Conformal (1SP)", "Lambert_Conformal_Conic_1SP", "Lambert_Conformal_Conic",
      "lcc"},
     PJ_KIND_LAMBERT_CONFORMAL_CONIC,
     kEllipsoid,
     {&kLat0, &kLon0, &kK0, &kFE, &kFN}},
    {{kMethodLcc2, "Lambert Conic Conformal (2SP)", "Lambert_Conformal_Conic_2SP", "Lambert_Conformal_Conic",
      "lcc"},
     PJ_KIND_LAMBERT_CONFORMAL_CONIC,
     kEllipsoid,
     {&kLatF, &kLonF, &kLat1, &kLat2, &kEF, &kNF}},
    {{kMethodAlbers, "Albers Equal Area", "Albers_Conic_Equal_Area", "Albers", "aea"},
     PJ_KIND_ALBERS,
     kEllipsoid,
     {&kLatFAlbers, &kLonFAlbers, &kLat1, &kLat2, &kEF, &kNF}},
    {{PJ_KIND_EQUIDISTANT_CONIC, "Equidistant Conic", "Equidistant_Conic", "Equidistant_Conic", "eqdc"},
     PJ_KIND_EQUIDISTANT_CONIC,
     kEllipsoid,
     {&kLat0Center, &kLon0Center, &kLat1, &kLat2, &kFE, &kFN}},
    {{kMethodHotineA, "Hotine Oblique Mercator (variant A)", "Hotine_Oblique_Mercator",
      "Rectified_Skew_Orthomorphic_Natural_Origin", "omerc"},
     PJ_KIND_HOTINE_OBLIQUE_MERCATOR,
     kEllipsoid,
     {&kLatC, &kLonC, &kAlpha, &kGamma, &kKC, &kFE, &kFN}},
    {{kMethodHotineA, "Hotine Oblique Mercator (variant A)", "Hotine_Oblique_Mercator",
      "Hotine_Oblique_Mercator_Azimuth_Natural_Origin", "omerc"},
     0,
     kEllipsoid,
     {&kLatC, &kLonC, &kAlpha, &kGamma, &kKC, &kFE, &kFN}},
    {{kMethodHotineB, "Hotine Oblique Mercator (variant B)", "Hotine_Oblique_Mercator_Azimuth_Center",
      "Rectified_Skew_Orthomorphic_Center", "omerc"},
     PJ_KIND_OBLIQUE_MERCATOR,
     kEllipsoid,
     {&kLatC, &kLonC, &kAlpha, &kGamma, &kKC, &kEC, &kNC}},
    {{kMethodHotineB, "Hotine Oblique Mercator (variant B)", "Hotine_Oblique_Mercator_Azimuth_Center",
      "Hotine_Oblique_Mercator_Azimuth_Center", "omerc"},
     0,
     kEllipsoid,
     {&kLatC, &kLonC, &kAlpha, &kGamma, &kKC, &kEC, &kNC}},
    {{kMethodMercatorA, "Mercator (variant A)", "Mercator_1SP", "Mercator", "merc"},
     PJ_KIND_MERCATOR,
     kEllipsoid,
     {&kLat0, &kLon0, &kK0, &kFE, &kFN}},
    {{kMethodMercatorB, "Mercator (variant B)", "Mercator_2SP", "Mercator", "merc"},
     PJ_KIND_MERCATOR,
     kEllipsoid,
     {&kLatTs, &kLon0, &kFE, &kFN}},
    {{kMethodPseudoMercator, "Popular Visualisation Pseudo Mercator", "Popular_Visualisation_Pseudo_Mercator",
      "Mercator_Auxiliary_Sphere", "webmerc"},
     PJ_KIND_SPHERE_MERCATOR,
     kSphereAny,
     {&kLat0, &kLon0, &kFE, &kFN}},
    {{kMethodLaea, "Lambert Azimuthal Equal Area", "Lambert_Azimuthal_Equal_Area",
      "Lambert_Azimuthal_Equal_Area", "laea"},
     PJ_KIND_LAMBERT_AZIMUTHAL_EQUAL_AREA,
     kSphereOnly,
     {&kLat0Center, &kLon0Center, &kFE, &kFN}},
    {{kMethodLaeaSpherical, "Lambert Azimuthal Equal Area (Spherical)", nullptr, nullptr, "laea"},
     PJ_KIND_LAMBERT_AZIMUTHAL_EQUAL_AREA,
     kSphereAny,
     {&kLat0Center, &kLon0Center, &kFE, &kFN}},
    {{kMethodPolyconic, "American Polyconic", "Polyconic", "Polyconic", "poly"},
     PJ_KIND_POLYCONIC,
     kEllipsoid,
     {&kLat0, &kLon0, &kFE, &kFN}},
    {{kMethodEqc, "Equidistant Cylindrical", "Equirectangular", "Equidistant_Cylindrical", "eqc"},
     PJ_KIND_EQUIDISTANT_CYLINDRICAL,
     kEllipsoid,
     {&kLatTs, &kLat0, &kLon0, &kFE, &kFN}},
    {{kMethodEqcSpherical, "Equidistant Cylindrical (Spherical)", "Equirectangular",
      "Equidistant_Cylindrical", "eqc"},
     0,
     kSphereOnly,
     {&kLatTs, &kLat0, &kLon0, &kFE, &kFN}},
    {{kMethodCea, "Lambert Cylindrical Equal Area", "Cylindrical_Equal_Area", "Cylindrical_Equal_Area",
      "cea"},
     PJ_KIND_EQUIAREA_CYLINDRICAL,
     kEllipsoid,
     {&kLatTs, &kLon0, &kFE, &kFN}},
    {{kMethodCea, "Lambert Cylindrical Equal Area", "Cylindrical_Equal_Area", "Behrmann", "cea"},
     0,
     kEllipsoid,
     {&kLatTs, &kLon0, &kFE, &kFN}},
    {{kMethodBonne, "Bonne", "Bonne", "Bonne", "bonne"},
     PJ_KIND_BONNE,
     kEllipsoid,
     {&kLatBonne, &kLon0, &kFE, &kFN}},
    {{kMethodCassini, "Cassini-Soldner", "Cassini_Soldner", "Cassini", "cass"},
     PJ_KIND_CASSINI,
     kSphereOnly,
     {&kLat0, &kLon0, &kFE, &kFN}},
    {{kMethodOrtho, "Orthographic", "Orthographic", "Orthographic", "ortho"},
     PJ_KIND_ORTHOTIC_GRAPHIC,
     kSphereOnly,
     {&kLat0Esri, &kLon0Esri, &kFE, &kFN}},
    {{PJ_KIND_CONFORMAL_AZIMUTHAL, "Stereographic", "Stereographic", "Stereographic", "stere"},
     PJ_KIND_CONFORMAL_AZIMUTHAL,
     kSphereOnly,
     {&kLat0, &kLon0, &kK0, &kFE, &kFN}},
    {{kMethodAeqd, "Azimuthal Equidistant", "Azimuthal_Equidistant", "Azimuthal_Equidistant", "aeqd"},
     PJ_KIND_AZIMUTHAL_EQUIDISTANT,
     kSphereOnly,
     {&kLat0Center, &kLon0Center, &kFE, &kFN}},
    {{PJ_KIND_HOTINE_OBLIQUE_MERCATOR_AZIMUTH_NATURAL_ORIGIN, "Gnomonic", "Gnomonic", "Gnomonic", "gnom"},
     PJ_KIND_HOTINE_OBLIQUE_MERCATOR_AZIMUTH_NATURAL_ORIGIN,
     kSphereOnly,
     {&kLat0Esri, &kLon0Esri, &kFE, &kFN}},
    {{PJ_KIND_SINUSOIDAL, "Sinusoidal", "Sinusoidal", "Sinusoidal", "sinu"},
     PJ_KIND_SINUSOIDAL,
     kEllipsoid,
     {&kLon0Center2, &kFE, &kFN}},
    {{PJ_KIND_MILLER_CYLINDRICAL, "Miller Cylindrical", "Miller_Cylindrical", "Miller_Cylindrical", "mill"},
     PJ_KIND_MILLER_CYLINDRICAL,
     kSphereAny,
     {&kLon0Center2, &kFE, &kFN}},
    {{PJ_KIND_GALL_STEREOGRAPHIC, "Gall Stereographic", "Gall_Stereographic", "Gall_Stereographic", "gall"},
     PJ_KIND_GALL_STEREOGRAPHIC,
     kSphereAny,
     {&kLon0, &kFE, &kFN}},
    {{PJ_KIND_MOLLWEIDE, "Mollweide", "Mollweide", "Mollweide", "moll"},
     PJ_KIND_MOLLWEIDE,
     kSphereAny,
     {&kLon0, &kFE, &kFN}},
    {{PJ_KIND_ECKERT_I, "Eckert I", "Eckert_I", "Eckert_I", "eck1"},
     PJ_KIND_ECKERT_I,
     kSphereAny,
     {&kLon0, &kFE, &kFN}},
    {{PJ_KIND_ECKERT_II, "Eckert II", "Eckert_II", "Eckert_II", "eck2"},
     PJ_KIND_ECKERT_II,
     kSphereAny,
     {&kLon0, &kFE, &kFN}},
    {{PJ_KIND_ECKERT_III, "Eckert III", "Eckert_III", "Eckert_III", "eck3"},
     PJ_KIND_ECKERT_III,
     kSphereAny,
     {&kLon0, &kFE, &kFN}},
    {{PJ_KIND_ECKERT_IV, "Eckert IV", "Eckert_IV", "Eckert_IV", "eck4"},
     PJ_KIND_ECKERT_IV,
     kSphereAny,
     {&kLon0, &kFE, &kFN}},
    {{PJ_KIND_ECKERT_V, "Eckert V", "Eckert_V", "Eckert_V", "eck5"},
     PJ_KIND_ECKERT_V,
     kSphereAny,
     {&kLon0, &kFE, &kFN}},
    {{PJ_KIND_ECKERT_VI, "Eckert VI", "Eckert_VI", "Eckert_VI", "eck6"},
     PJ_KIND_ECKERT_VI,
     kSphereAny,
     {&kLon0, &kFE, &kFN}},
    {{PJ_KIND_WINKEL_I, "Winkel I", "Winkel_I", "Winkel_I", "wink1"},
     PJ_KIND_WINKEL_I,
     kSphereAny,
     {&kLon0, &kLatTs, &kFE, &kFN}},
    {{PJ_KIND_QUARTIC_AUTHALIC, "Quartic Authalic", "Quartic_Authalic", "Quartic_Authalic", "qua_aut"},
     PJ_KIND_QUARTIC_AUTHALIC,
     kSphereAny,
     {&kLon0, &kFE, &kFN}},
    {{PJ_KIND_LOXIMUTHAL, "Loximuthal", "Loximuthal", "Loximuthal", "loxim"},
     PJ_KIND_LOXIMUTHAL,
     kSphereAny,
     {&kLatLoxim, &kLon0, &kFE, &kFN}},
    {{PJ_KIND_VAN_DER_GRINTEN_I, "Van Der Grinten", "VanDerGrinten", "Van_der_Grinten_I", "vandg"},
     PJ_KIND_VAN_DER_GRINTEN_I,
     kSphereAny,
     {&kLon0, &kFE, &kFN}},
    {{PJ_KIND_ROBINSON, "Robinson", "Robinson", "Robinson", "robin"},
     PJ_KIND_ROBINSON,
     kSphereAny,
     {&kLon0Center2, &kFE, &kFN}},
    {{PJ_KIND_TWO_POINT_EQUIDISTANT, "Two Point Equidistant", "Two_Point_Equidistant",
      "Two_Point_Equidistant", "tpeqd"},
     PJ_KIND_TWO_POINT_EQUIDISTANT,
     kSphereAny,
     {&kLatPt1, &kLonPt1, &kLatPt2, &kLonPt2, &kFE, &kFN}},
};

int ParamCount(const MethodRow& row) {
    int n = 0;
    while (n < 8 && row.params[n])
        ++n;
    return n;
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
    return nullptr;
}

int ZrMethodParameters(long methodCode, const ZrParameterNames** out, int capacity) {
    const MethodRow* row = FindRow(methodCode);
    if (!row) return 0;
    const int n = ParamCount(*row);
    for (int i = 0; i < n && i < capacity; ++i)
        out[i] = row->params[i];
    return n;
}

const ZrParameterNames* ZrFindParameterByName(long methodCode, const char* anyName) {
    if (!anyName || !*anyName) return nullptr;
    // Every row of the method: an alias row may spell a parameter otherwise.
    for (const MethodRow& row : kMethods) {
        if (row.names.code != methodCode) continue;
        for (int i = 0; i < ParamCount(row); ++i) {
            const ZrParameterNames* p = row.params[i];
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
            if (first->params[i]->code == alias.code) return first->params[i];
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

// The parameters of a description, looked up by code.
class ParamSet {
public:
    explicit ParamSet(const ZrEpsgProjectedRecord& proj) : m_proj(proj) {}
    bool Has(long code) const {
        for (const ZrEpsgParameter& p : m_proj.parameters)
            if (p.code == code) return true;
        return false;
    }
    double Get(long code, double fallback) const {
        for (const ZrEpsgParameter& p : m_proj.parameters)
            if (p.code == code) return p.value;
        return fallback;
    }

private:
    const ZrEpsgProjectedRecord& m_proj;
};

bool UnitCodeOf(const ZrEpsgProjectedRecord& proj, long& units, CString* reason) {
    return ZrInteropUnitCode(proj, units, reason) != 0;
}

bool ContainsGauss(const std::string& name) {
    for (size_t i = 0; i + 5 <= name.size(); ++i)
        if (ZrInteropSameName(name.substr(i, 5).c_str(), "gauss")) return true;
    return false;
}

bool IsSphere(const ZrEpsgGeographicRecord& geog) {
    return geog.inverseFlattening == 0.0;
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
                   CString* reason) {
    CZrPJGeoCoordSys gcs;
    if (!ZrInteropBuildGeographic(geog, gcs, reason)) return 0;
    if (!proj) {
        CZrPJCoordSys built;
        built.SetEarth(gcs, 0);
        cs = built;
        return 1;
    }

    const MethodRow* row = nullptr;
    for (const MethodRow& r : kMethods)
        if (r.names.code == proj->methodCode && r.kind != 0) {
            row = &r;
            break;
        }
    if (!row) {
        // A method read under a dialect's second name has its computing row elsewhere.
        if (const MethodRow* alias = FindRow(proj->methodCode)) row = alias;
    }
    if (!row || row->kind == 0) {
        // Sphere-only aliases (1029) compute with the ellipsoidal row's kind.
        if (row && row->names.code == kMethodEqcSpherical) {
            if (!IsSphere(geog))
                return Fail(reason, "spherical equidistant cylindrical on an ellipsoid: the kind computes "
                                    "the ellipsoidal form"),
                       0;
            row = FindRow(kMethodEqc);
        } else {
            CString name = proj->methodName.empty() ? CString("") : CString(proj->methodName);
            CString text;
            text.Format("projection method %ld %s has no kind in this library", proj->methodCode,
                        name.c_str());
            return Fail(reason, text), 0;
        }
    }
    if (row->surface == kSphereOnly && !IsSphere(geog)) {
        CString text;
        text.Format("%s on an ellipsoid: the kind computes it on a sphere", row->names.epsgName);
        return Fail(reason, text), 0;
    }

    long units = 10000;
    if (!UnitCodeOf(*proj, units, reason)) return 0;
    if (proj->axisOrder.size() == 2 && proj->axisOrder != "EN" && proj->axisOrder != "NE")
        return Fail(reason, CString("projected axes ") + proj->axisOrder.c_str() +
                                ": only east and north axes are expressible"),
               0;

    const ParamSet p(*proj);
    CZrPJParams params;
    params.ScaleFactor = 1.0;
    long kind = row->kind;
    auto require = [&](long code, const char* what) {
        if (p.Has(code)) return true;
        CString text;
        text.Format("%s lacks its parameter %s", row->names.epsgName, what);
        Fail(reason, text);
        return false;
    };
    auto mustBeZero = [&](long code, const char* what) {
        const double v = p.Get(code, 0.0);
        if (v == 0.0) return true;
        CString text;
        text.Format("%s with %s %.12g: the kind takes its origin on the equator", row->names.epsgName, what,
                    v);
        Fail(reason, text);
        return false;
    };
    const double fe = p.Get(8806, p.Get(8826, p.Get(8816, 0.0)));
    const double fn = p.Get(8807, p.Get(8827, p.Get(8817, 0.0)));
    params.FalseEasting = fe;
    params.FalseNorthing = fn;

    switch (proj->methodCode) {
    case kMethodTM:
        params.CentralParallel = p.Get(8801, 0.0);
        params.CentralMeridian = p.Get(8802, 0.0);
        params.ScaleFactor = p.Get(8805, 1.0);
        if (!(params.ScaleFactor > 0.0))
            return Fail(reason, "Transverse Mercator with a scale factor that is not positive"), 0;
        // A Gauss-Krueger zone (origin on the equator, no scale) that says so
        // is computed by the Gauss-Krueger kind, so it reads back as written.
        if (params.CentralParallel == 0.0 && params.ScaleFactor == 1.0 &&
            (ContainsGauss(proj->methodName) || ContainsGauss(proj->conversionName) ||
             ContainsGauss(proj->name)))
            kind = PJ_KIND_GAUSS_KRUGER;
        break;
    case kMethodLcc1:
        params.CentralParallel = p.Get(8801, 0.0);
        params.StandardParallel1 = params.StandardParallel2 = params.CentralParallel;
        params.CentralMeridian = p.Get(8802, 0.0);
        params.ScaleFactor = p.Get(8805, 1.0);
        if (!(params.ScaleFactor > 0.0))
            return Fail(reason, "Lambert 1SP with a scale factor that is not positive"), 0;
        break;
    case kMethodLcc2:
    case kMethodAlbers:
    case PJ_KIND_EQUIDISTANT_CONIC:
        if (!require(8823, "latitude of the 1st standard parallel")) return 0;
        params.StandardParallel1 = p.Get(8823, 0.0);
        params.StandardParallel2 = p.Get(8824, params.StandardParallel1);
        params.CentralParallel = p.Get(8821, p.Get(8801, 0.0));
        params.CentralMeridian = p.Get(8822, p.Get(8802, 0.0));
        // Two standard parallels are both true to scale: the kinds read no scale factor.
        if (proj->methodCode == kMethodLcc2 &&
            std::fabs((params.StandardParallel1 - params.StandardParallel2) * kDegree) < 1e-7)
            params.StandardParallel2 = params.StandardParallel1;
        break;
    case kMethodHotineA:
    case kMethodHotineB:
        if (!require(8813, "azimuth")) return 0;
        params.CentralParallel = p.Get(8811, 0.0);
        params.CentralMeridian = p.Get(8812, 0.0);
        params.Azimuth = p.Get(8813, 0.0);
        // Without a rectified grid angle the grid is the skew one, turned by the azimuth.
        params.StandardParallel1 = p.Get(8814, params.Azimuth);
        params.ScaleFactor = p.Get(8815, 1.0);
        if (!(params.ScaleFactor > 0.0))
            return Fail(reason, "oblique Mercator with a scale factor that is not positive"), 0;
        break;
    case kMethodMercatorA: {
        if (!mustBeZero(8801, "latitude of natural origin")) return 0;
        params.CentralMeridian = p.Get(8802, 0.0);
        // Scale k0 on the equator is scale 1 on the parallel whose radius is k0 a:
        // cos^2 phi / (1 - e^2 sin^2 phi) = k0^2, solved for sin^2 phi.
        const double k = p.Get(8805, 1.0);
        if (!(k > 0.0 && k <= 1.0)) return Fail(reason, Line("Mercator with a scale factor of %.12g", k)), 0;
        const double f = geog.inverseFlattening == 0.0 ? 0.0 : 1.0 / geog.inverseFlattening;
        const double es = (2.0 - f) * f;
        const double s2 = (1.0 - k * k) / (1.0 - k * k * es);
        params.StandardParallel1 = params.StandardParallel2 = std::asin(std::sqrt(s2)) / kDegree;
        break;
    }
    case kMethodMercatorB:
        params.StandardParallel1 = params.StandardParallel2 = std::fabs(p.Get(8823, 0.0));
        params.CentralMeridian = p.Get(8802, 0.0);
        break;
    case kMethodPseudoMercator:
        if (!mustBeZero(8801, "latitude of natural origin")) return 0;
        params.CentralMeridian = p.Get(8802, 0.0);
        break;
    case kMethodLaea:
    case kMethodLaeaSpherical:
    case kMethodOrtho:
    case kMethodAeqd:
    case PJ_KIND_HOTINE_OBLIQUE_MERCATOR_AZIMUTH_NATURAL_ORIGIN:
        params.CentralParallel = p.Get(8801, 0.0);
        params.CentralMeridian = p.Get(8802, 0.0);
        break;
    case PJ_KIND_CONFORMAL_AZIMUTHAL: {
        const double k = p.Get(8805, 1.0);
        if (k != 1.0) return Fail(reason, Line("stereographic with a scale factor of %.12g", k)), 0;
        params.CentralParallel = p.Get(8801, 0.0);
        params.CentralMeridian = p.Get(8802, 0.0);
        break;
    }
    case kMethodPolyconic: {
        params.CentralParallel = p.Get(8801, 0.0);
        params.CentralMeridian = p.Get(8802, 0.0);
        // The kind adds its false origin once in metres inside the projection
        // and once more in the system's unit: stored = effective / (1 + unit factor).
        const double share =
            1.0 + (units == kZrUnitUsSurveyFoot ? 3937.0 / 1200.0 : 10000.0 / static_cast<double>(units));
        params.FalseEasting = fe / share;
        params.FalseNorthing = fn / share;
        break;
    }
    case kMethodEqc:
        params.StandardParallel1 = params.StandardParallel2 = p.Get(8823, 0.0);
        params.CentralMeridian = p.Get(8802, 0.0);
        if (!mustBeZero(8801, "latitude of natural origin")) return 0;
        break;
    case kMethodCea:
        params.StandardParallel1 = params.StandardParallel2 = p.Get(8823, 0.0);
        params.CentralMeridian = p.Get(8802, 0.0);
        break;
    case kMethodBonne: {
        // EPSG's Bonne measures northings from the natural origin; the kind
        // measures them from a fixed line 20738918 m north of the cone's apex,
        // which lies N(phi1)/tan(phi1) north of the origin.
        const double phi1 = p.Get(8801, 0.0) * kDegree;
        if (std::fabs(std::tan(phi1)) <= 1e-7) return Fail(reason, "Bonne with its origin on the equator"), 0;
        if (units != 10000) return Fail(reason, "Bonne in a unit other than the metre"), 0;
        const double f = geog.inverseFlattening == 0.0 ? 0.0 : 1.0 / geog.inverseFlattening;
        const double es = (2.0 - f) * f;
        const double s = std::sin(phi1);
        const double apex = geog.semiMajorAxis / std::sqrt(1.0 - es * s * s) / std::tan(phi1);
        params.StandardParallel1 = params.StandardParallel2 = p.Get(8801, 0.0);
        params.CentralMeridian = p.Get(8802, 0.0);
        params.FalseNorthing = fn + apex - 20738918.0;
        break;
    }
    case kMethodCassini:
        if (!mustBeZero(8801, "latitude of natural origin")) return 0;
        params.CentralMeridian = p.Get(8802, 0.0);
        break;
    case PJ_KIND_WINKEL_I:
        params.StandardParallel1 = params.StandardParallel2 = p.Get(8823, 0.0);
        params.CentralMeridian = p.Get(8802, 0.0);
        break;
    case PJ_KIND_LOXIMUTHAL:
        params.StandardParallel1 = params.StandardParallel2 = p.Get(8801, 0.0);
        params.CentralMeridian = p.Get(8802, 0.0);
        break;
    case PJ_KIND_TWO_POINT_EQUIDISTANT:
        if (!require(kLat1stPoint, "latitude of the 1st point") ||
            !require(kLon1stPoint, "longitude of the 1st point") ||
            !require(kLat2ndPoint, "latitude of the 2nd point") ||
            !require(kLon2ndPoint, "longitude of the 2nd point"))
            return 0;
        params.StandardParallel1 = p.Get(kLat1stPoint, 0.0);
        params.FirstPointLongitude = p.Get(kLon1stPoint, 0.0);
        params.StandardParallel2 = p.Get(kLat2ndPoint, 0.0);
        params.SecondPointLongitude = p.Get(kLon2ndPoint, 0.0);
        break;
    default:
        // The world kinds: a central meridian and the false origin.
        params.CentralMeridian = p.Get(8802, 0.0);
        break;
    }

    for (const double v :
         {params.FalseEasting, params.FalseNorthing, params.CentralMeridian, params.CentralParallel,
          params.StandardParallel1, params.StandardParallel2, params.ScaleFactor, params.Azimuth,
          params.FirstPointLongitude, params.SecondPointLongitude})
        if (!std::isfinite(v)) return Fail(reason, "a parameter is not a finite number"), 0;
    // The oblique Mercator kinds keep their grid angle where the parallels live.
    const bool oblique = kind == PJ_KIND_OBLIQUE_MERCATOR || kind == PJ_KIND_HOTINE_OBLIQUE_MERCATOR;
    for (const double v : {params.CentralParallel, oblique ? 0.0 : params.StandardParallel1,
                           oblique ? 0.0 : params.StandardParallel2})
        if (std::fabs(v) > 90.0) return Fail(reason, Line("latitude parameter %.12g outside -90..90", v)), 0;

    CZrPJCoordSys built;
    const CString name = proj->name.empty() ? CString("Custom") : CString(proj->name);
    if (!built.Set(name, gcs, CZrPJObject(static_cast<tagPJObjectType>(kind)), params, units)) {
        CString text;
        text.Format("the parameters of %s are degenerate for the kind", row->names.epsgName);
        return Fail(reason, text), 0;
    }
    ZrMatchProjected(*proj, built);
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
    proj.linearUnitToMetre =
        units == kZrUnitUsSurveyFoot ? 1200.0 / 3937.0 : static_cast<double>(units) / 10000.0;
    for (const UnitName& u : kUnitNames)
        if (u.code == units) {
            proj.linearUnitCode = u.epsg;
            proj.linearUnitName = u.name;
            return;
        }
    CString name;
    name.Format("unit of %.12g m", proj.linearUnitToMetre);
    proj.linearUnitName = name.str();
}

void Add(ZrEpsgProjectedRecord& proj, long code, double value) {
    ZrEpsgParameter p;
    p.code = code;
    p.value = value;
    proj.parameters.push_back(p);
}

void SetMethod(ZrEpsgProjectedRecord& proj, long code) {
    proj.methodCode = code;
    const MethodRow* row = FindRow(code);
    proj.methodName = row ? row->names.epsgName : "";
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
    ZrEpsgProjectedRecord p;
    p.code = ZrEpsgCodeOf(cs);
    if (p.code < 0) p.code = 0;
    p.name = cs.GetName().str();
    p.baseGeographicCode = g.code;
    p.axisOrder = "EN";
    ZrInteropDescribeUnit(units, p);
    const double fe = prm.FalseEasting, fn = prm.FalseNorthing;
    auto refuse = [&](const char* why) {
        CString text;
        text.Format("%s: %s", cs.GetProjection().GetName().c_str(), why);
        return Fail(reason, text);
    };
    // A ratio other than 1 divides every coordinate; no exchange form carries it.
    if (cs.GetPJOperator().GetDivisor() != 1.0) return refuse("coordinates divided by a ratio"), 0;

    switch (kind) {
    case PJ_KIND_GAUSS_KRUGER:
        // Gauss-Krueger takes its origin on the equator and applies no scale.
        SetMethod(p, kMethodTM);
        p.conversionName = "Gauss-Kruger";
        Add(p, 8801, 0.0), Add(p, 8802, prm.CentralMeridian), Add(p, 8805, 1.0), Add(p, 8806, fe),
            Add(p, 8807, fn);
        break;
    case PJ_KIND_TRANSVERSE_MERCATOR:
        if (!(prm.ScaleFactor > 0.0)) return refuse("a scale factor that is not positive"), 0;
        SetMethod(p, kMethodTM);
        Add(p, 8801, prm.CentralParallel), Add(p, 8802, prm.CentralMeridian), Add(p, 8805, prm.ScaleFactor);
        Add(p, 8806, fe), Add(p, 8807, fn);
        break;
    case PJ_KIND_LAMBERT_CONFORMAL_CONIC:
    case PJ_KIND_ALBERS:
    case PJ_KIND_EQUIDISTANT_CONIC: {
        const bool oneParallel = std::fabs((prm.StandardParallel1 - prm.StandardParallel2) * kDegree) < 1e-7;
        if (kind == PJ_KIND_LAMBERT_CONFORMAL_CONIC && oneParallel) {
            // One standard parallel: scale k0 on it.
            const double k = prm.ScaleFactor > 0.0 ? prm.ScaleFactor : 1.0;
            if (prm.CentralParallel == prm.StandardParallel1) {
                SetMethod(p, kMethodLcc1);
                Add(p, 8801, prm.CentralParallel), Add(p, 8802, prm.CentralMeridian), Add(p, 8805, k);
                Add(p, 8806, fe), Add(p, 8807, fn);
                break;
            }
            if (k != 1.0) return refuse("one standard parallel with a scale factor and an origin off it"), 0;
        }
        const double sp2 = oneParallel ? prm.StandardParallel1 : prm.StandardParallel2;
        if (kind == PJ_KIND_EQUIDISTANT_CONIC) {
            SetMethod(p, PJ_KIND_EQUIDISTANT_CONIC);
            Add(p, 8801, prm.CentralParallel), Add(p, 8802, prm.CentralMeridian);
            Add(p, 8823, prm.StandardParallel1), Add(p, 8824, sp2), Add(p, 8806, fe), Add(p, 8807, fn);
        } else {
            SetMethod(p, kind == PJ_KIND_ALBERS ? kMethodAlbers : kMethodLcc2);
            Add(p, 8821, prm.CentralParallel), Add(p, 8822, prm.CentralMeridian);
            Add(p, 8823, prm.StandardParallel1), Add(p, 8824, sp2), Add(p, 8826, fe), Add(p, 8827, fn);
        }
        break;
    }
    case PJ_KIND_HOTINE_OBLIQUE_MERCATOR:
    case PJ_KIND_OBLIQUE_MERCATOR: {
        const bool centre = kind == PJ_KIND_OBLIQUE_MERCATOR;
        SetMethod(p, centre ? kMethodHotineB : kMethodHotineA);
        Add(p, 8811, prm.CentralParallel), Add(p, 8812, prm.CentralMeridian), Add(p, 8813, prm.Azimuth);
        Add(p, 8814, prm.StandardParallel1), Add(p, 8815, prm.ScaleFactor);
        Add(p, centre ? 8816 : 8806, fe), Add(p, centre ? 8817 : 8807, fn);
        break;
    }
    case PJ_KIND_MERCATOR:
        // Scale 1 on the standard parallel; the origin is always on the equator.
        SetMethod(p, kMethodMercatorB);
        Add(p, 8823, std::fabs(prm.StandardParallel1)), Add(p, 8802, prm.CentralMeridian);
        Add(p, 8806, fe), Add(p, 8807, fn);
        break;
    case PJ_KIND_SPHERE_MERCATOR:
        // Mercator on the sphere of radius a whatever the ellipsoid: exactly the
        // popular visualisation method (and plain Mercator where the ellipsoid is a sphere).
        SetMethod(p, kMethodPseudoMercator);
        Add(p, 8801, 0.0), Add(p, 8802, prm.CentralMeridian), Add(p, 8806, fe), Add(p, 8807, fn);
        break;
    case PJ_KIND_LAMBERT_AZIMUTHAL_EQUAL_AREA:
        // On the sphere of the ellipsoid's area: EPSG's spherical form.
        SetMethod(p, sphere ? kMethodLaea : kMethodLaeaSpherical);
        Add(p, 8801, prm.CentralParallel), Add(p, 8802, prm.CentralMeridian), Add(p, 8806, fe),
            Add(p, 8807, fn);
        break;
    case PJ_KIND_POLYCONIC: {
        // The kind adds its false origin once in metres inside the projection
        // and once more in the system's unit.
        const double share = 1.0 + cs.GetPJOperator().GetUnitFactor();
        SetMethod(p, kMethodPolyconic);
        Add(p, 8801, prm.CentralParallel), Add(p, 8802, prm.CentralMeridian);
        Add(p, 8806, fe * share), Add(p, 8807, fn * share);
        break;
    }
    case PJ_KIND_PLATE_CARREE:
    case PJ_KIND_EQUIDISTANT_CYLINDRICAL:
        SetMethod(p, kMethodEqc);
        Add(p, 8823, prm.StandardParallel1), Add(p, 8801, 0.0), Add(p, 8802, prm.CentralMeridian);
        Add(p, 8806, fe), Add(p, 8807, fn);
        break;
    case PJ_KIND_BEHRMANN:
    case PJ_KIND_EQUIAREA_CYLINDRICAL:
        SetMethod(p, kMethodCea);
        Add(p, 8823, prm.StandardParallel1), Add(p, 8802, prm.CentralMeridian), Add(p, 8806, fe),
            Add(p, 8807, fn);
        break;
    case PJ_KIND_BONNE: {
        if (units != 10000) return refuse("Bonne in a unit other than the metre"), 0;
        const double phi1 = prm.StandardParallel1 * kDegree;
        const double f = sphere ? 0.0 : 1.0 / g.inverseFlattening;
        const double es = (2.0 - f) * f;
        const double s = std::sin(phi1);
        const double apex = g.semiMajorAxis / std::sqrt(1.0 - es * s * s) / std::tan(phi1);
        SetMethod(p, kMethodBonne);
        Add(p, 8801, prm.StandardParallel1), Add(p, 8802, prm.CentralMeridian);
        Add(p, 8806, fe), Add(p, 8807, fn + 20738918.0 - apex);
        break;
    }
    case PJ_KIND_CASSINI:
        if (!sphere) return refuse("Cassini computes on a sphere; EPSG's Cassini-Soldner is ellipsoidal"), 0;
        SetMethod(p, kMethodCassini);
        Add(p, 8801, 0.0), Add(p, 8802, prm.CentralMeridian), Add(p, 8806, fe), Add(p, 8807, fn);
        break;
    case PJ_KIND_ORTHOTIC_GRAPHIC:
    case PJ_KIND_CONFORMAL_AZIMUTHAL:
    case PJ_KIND_AZIMUTHAL_EQUIDISTANT:
    case PJ_KIND_HOTINE_OBLIQUE_MERCATOR_AZIMUTH_NATURAL_ORIGIN:
        if (!sphere) return refuse("the kind computes on a sphere; the method is ellipsoidal elsewhere"), 0;
        SetMethod(p, kind == PJ_KIND_ORTHOTIC_GRAPHIC        ? kMethodOrtho
                     : kind == PJ_KIND_AZIMUTHAL_EQUIDISTANT ? kMethodAeqd
                                                             : kind);
        Add(p, 8801, prm.CentralParallel), Add(p, 8802, prm.CentralMeridian);
        if (kind == PJ_KIND_CONFORMAL_AZIMUTHAL) Add(p, 8805, 1.0);
        Add(p, 8806, fe), Add(p, 8807, fn);
        break;
    case PJ_KIND_SANSON:
        if (!sphere)
            return refuse("the sinusoid on the sphere of radius a; PROJ's sinusoidal is ellipsoidal"), 0;
        SetMethod(p, PJ_KIND_SINUSOIDAL);
        Add(p, 8802, prm.CentralMeridian), Add(p, 8806, fe), Add(p, 8807, fn);
        break;
    case PJ_KIND_WINKEL_I:
        SetMethod(p, kind);
        Add(p, 8802, prm.CentralMeridian), Add(p, 8823, prm.StandardParallel1), Add(p, 8806, fe),
            Add(p, 8807, fn);
        break;
    case PJ_KIND_LOXIMUTHAL:
        SetMethod(p, kind);
        Add(p, 8801, prm.StandardParallel1), Add(p, 8802, prm.CentralMeridian), Add(p, 8806, fe),
            Add(p, 8807, fn);
        break;
    case PJ_KIND_TWO_POINT_EQUIDISTANT:
        SetMethod(p, kind);
        Add(p, kLat1stPoint, prm.StandardParallel1), Add(p, kLon1stPoint, prm.FirstPointLongitude);
        Add(p, kLat2ndPoint, prm.StandardParallel2), Add(p, kLon2ndPoint, prm.SecondPointLongitude);
        Add(p, 8806, fe), Add(p, 8807, fn);
        break;
    case PJ_KIND_SINUSOIDAL:
    case PJ_KIND_MILLER_CYLINDRICAL:
    case PJ_KIND_GALL_STEREOGRAPHIC:
    case PJ_KIND_MOLLWEIDE:
    case PJ_KIND_ECKERT_I:
    case PJ_KIND_ECKERT_II:
    case PJ_KIND_ECKERT_III:
    case PJ_KIND_ECKERT_IV:
    case PJ_KIND_ECKERT_V:
    case PJ_KIND_ECKERT_VI:
    case PJ_KIND_QUARTIC_AUTHALIC:
    case PJ_KIND_VAN_DER_GRINTEN_I:
    case PJ_KIND_ROBINSON:
        SetMethod(p, kind);
        Add(p, 8802, prm.CentralMeridian), Add(p, 8806, fe), Add(p, 8807, fn);
        break;
    case PJ_KIND_WINKEL_II:
        return refuse("this Winkel II form is the library's own; no other software computes it"), 0;
    case PJ_KIND_HOTINE_OBLIQUE_MERCATOR_AZIMUTH_CENTER: // computes the China projection
        return refuse("the China projection has no equivalent elsewhere"), 0;
    case PJ_KIND_BONNE_SOUTH_ORIENTATED:
        return refuse("the south-orientated Bonne is not offered for exchange"), 0;
    default:
        return refuse("the kind has no projection routine"), 0;
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
    if (proj.linearUnitCode == 9003 || std::fabs(m / (1200.0 / 3937.0) - 1.0) < 1e-12) {
        units = kZrUnitUsSurveyFoot;
        return 1;
    }
    // The unit codes count tenths of a millimetre: the unit must be a whole number of them.
    const double tenths = m * 10000.0;
    const double whole = std::round(tenths);
    if (whole < 1.0 || whole > 2.0e9 || std::fabs(tenths - whole) > 1e-9 * whole)
        return Fail(reason, Line("linear unit of %.12g m is no whole number of tenths of a millimetre", m) +
                                " (" + CString(proj.linearUnitName) + ")"),
               0;
    units = static_cast<long>(whole);
    return 1;
}

void ZrInteropDescribeUnit(long units, ZrEpsgProjectedRecord& proj) {
    DescribeUnitOf(units, proj);
}
