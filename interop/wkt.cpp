// Well-known text in its three dialects: ESRI's WKT1 (shapefile .prj), OGC
// WKT1 as GDAL writes it, and WKT2:2019. Writing goes through the EPSG-style
// description of the system; reading builds that description from the text's
// tree and hands it to the core, which finds the catalogue objects it names.
#include "interop/ZrInteropCore_p.h"
#include "interop/ZrInteropForms_p.h"
#include "interop/ZrInteropMatch_p.h"
#include "interop/ZrWktTree_p.h"

#include "platform/ZrToolkit.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr double kDegree = 0.017453292519943295;
constexpr long kGeocentricMetres = 10000; // the library's code of the metre
const char kDegreeFactor[] = "0.0174532925199433";

bool Fail(CString* reason, const CString& text) {
    if (reason) *reason = text;
    return false;
}

// ---------------------------------------------------------------------------
// Writing
// ---------------------------------------------------------------------------

// The shortest decimal that reads back as the same double.
std::string Num(double v, bool esri = false) {
    if (v == 0.0) v = 0.0; // no "-0"
    char buf[40];
    for (int digits = 15; digits <= 17; ++digits) {
        std::snprintf(buf, sizeof buf, "%.*g", digits, v);
        if (std::strtod(buf, nullptr) == v) break;
    }
    std::string s(buf);
    // ESRI writes every number with a decimal point.
    if (esri && s.find_first_of(".eEn") == std::string::npos) s += ".0";
    return s;
}

std::string Quote(const std::string& s) {
    std::string out = "\"";
    for (char c : s) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + "\"";
}

std::string Authority(long code) {
    return code > 0 ? ",AUTHORITY[\"EPSG\",\"" + std::to_string(code) + "\"]" : std::string();
}

std::string Id(long code) {
    return code > 0 ? ",ID[\"EPSG\"," + std::to_string(code) + "]" : std::string();
}

struct UnitWords {
    long epsg;
    const char* gdal;
    const char* esri;
};
const UnitWords kUnitWords[] = {
    {9001, "metre", "Meter"},
    {9002, "foot", "Foot"},
    {9003, "US survey foot", "Foot_US"},
    {9036, "kilometre", "Kilometer"},
    {1033, "centimetre", "Centimeter"},
    {1025, "millimetre", "Millimeter"},
    {9096, "yard", "Yard"},
    // The units with exact codes: EPSG's names, and ESRI's for its dialect.
    {9005, "Clarke's foot", "Foot_Clarke"},
    {9031, "German legal metre", "Meter_German"},
    {9033, "US survey chain", "Chain_US"},
    {9034, "US survey link", "Link_US"},
    {9035, "US survey mile", "Mile_US"},
    {9037, "Clarke's yard", "Yard_Clarke"},
    {9038, "Clarke's chain", "Chain_Clarke"},
    {9039, "Clarke's link", "Link_Clarke"},
    {9040, "British yard (Sears 1922)", "Yard_Sears"},
    {9041, "British foot (Sears 1922)", "Foot_Sears"},
    {9042, "British chain (Sears 1922)", "Chain_Sears"},
    {9043, "British link (Sears 1922)", "Link_Sears"},
    {9050, "British yard (Benoit 1895 A)", "Yard_Benoit_1895_A"},
    {9051, "British foot (Benoit 1895 A)", "Foot_Benoit_1895_A"},
    {9052, "British chain (Benoit 1895 A)", "Chain_Benoit_1895_A"},
    {9053, "British link (Benoit 1895 A)", "Link_Benoit_1895_A"},
    {9060, "British yard (Benoit 1895 B)", "Yard_Benoit_1895_B"},
    {9061, "British foot (Benoit 1895 B)", "Foot_Benoit_1895_B"},
    {9062, "British chain (Benoit 1895 B)", "Chain_Benoit_1895_B"},
    {9063, "British link (Benoit 1895 B)", "Link_Benoit_1895_B"},
    {9070, "British foot (1865)", "Foot_1865"},
    {9080, "Indian foot", "Foot_Indian"},
    {9081, "Indian foot (1937)", "Foot_Indian_1937"},
    {9082, "Indian foot (1962)", "Foot_Indian_1962"},
    {9083, "Indian foot (1975)", "Foot_Indian_1975"},
    {9084, "Indian yard", "Yard_Indian"},
    {9085, "Indian yard (1937)", "Yard_Indian_1937"},
    {9086, "Indian yard (1962)", "Yard_Indian_1962"},
    {9087, "Indian yard (1975)", "Yard_Indian_1975"},
    {9094, "Gold Coast foot", "Foot_Gold_Coast"},
    {9095, "British foot (1936)", "Foot_British_1936"},
    {9098, "link", "Link"},
    {9099, "British yard (Sears 1922 truncated)", "Yard_Sears_1922_Truncated"},
    {9300, "British foot (Sears 1922 truncated)", "Foot_Sears_1922_Truncated"},
    {9301, "British chain (Sears 1922 truncated)", "Chain_Sears_1922_Truncated"},
    {9302, "British link (Sears 1922 truncated)", "Link_Sears_1922_Truncated"},
};

std::string UnitName(const ZrEpsgProjectedRecord& p, bool esri) {
    for (const UnitWords& u : kUnitWords)
        if (u.epsg == p.linearUnitCode && p.linearUnitCode != 0) return esri ? u.esri : u.gdal;
    if (esri) {
        if (p.linearUnitName == "decimetre") return "Decimeter";
        if (p.linearUnitName == "inch") return "Inch";
    }
    return p.linearUnitName;
}

// The parameters as written: the eqc origin latitude, always 0, is left out
// as every writer leaves it out.
bool Written(const ZrEpsgProjectedRecord& p, const ZrEpsgParameter& q) {
    return !(p.methodCode == 1028 && q.code == 8801 && q.value == 0.0);
}

const ZrParameterNames* NamesOf(long method, long code) {
    const ZrParameterNames* list[8];
    const int n = ZrMethodParameters(method, list, 8);
    for (int i = 0; i < n && i < 8; ++i)
        if (list[i]->code == code) return list[i];
    return nullptr;
}

bool IsLength(long method, long code) {
    const ZrParameterNames* names = NamesOf(method, code);
    return names && names->quantity == ZR_PARAM_LENGTH;
}

// ESRI lists the false origin first.
std::vector<ZrEpsgParameter> EsriOrder(const ZrEpsgProjectedRecord& p) {
    std::vector<ZrEpsgParameter> out;
    for (const ZrEpsgParameter& q : p.parameters)
        if (IsLength(p.methodCode, q.code)) out.push_back(q);
    for (const ZrEpsgParameter& q : p.parameters)
        if (!IsLength(p.methodCode, q.code)) out.push_back(q);
    return out;
}

double ParamValue(const ZrEpsgProjectedRecord& p, long code, double fallback) {
    for (const ZrEpsgParameter& q : p.parameters)
        if (q.code == code) return q.value;
    return fallback;
}

std::string Spheroid1(const ZrEpsgGeographicRecord& g, bool esri) {
    return "SPHEROID[" + Quote(g.ellipsoidName) + "," + Num(g.semiMajorAxis, esri) + "," +
           Num(g.inverseFlattening, esri) + (esri ? "" : Authority(g.ellipsoidCode)) + "]";
}

// OGC readers take a datum name that starts "D_" or a geographic name that
// starts "GCS_" for ESRI's and read the whole text by ESRI's rules; GDAL
// drops the prefixes, and so do we (reading finds the catalogue objects with
// or without them).
std::string WithoutPrefix(const std::string& name, const char* prefix) {
    const size_t n = std::strlen(prefix);
    return name.compare(0, n, prefix) == 0 && name.size() > n ? name.substr(n) : name;
}
std::string OgcDatumName(const std::string& name) {
    return WithoutPrefix(name, "D_");
}
std::string OgcGeographicName(const std::string& name) {
    return WithoutPrefix(name, "GCS_");
}
// GDAL's WKT1 writes a datum name as one word: each run of blanks and
// punctuation an underscore ("NAD83 (High Accuracy Reference Network)" as
// NAD83_High_Accuracy_Reference_Network), WGS 84's as WGS_1984.
std::string GdalDatumName(const ZrEpsgGeographicRecord& g) {
    if (g.datumCode == 6326) return "WGS_1984";
    std::string out;
    for (const char c : OgcDatumName(g.datumName)) {
        if (std::isalnum(static_cast<unsigned char>(c)) || c == '_' || (c & 0x80))
            out += c;
        else if (!out.empty() && out.back() != '_')
            out += '_';
    }
    while (!out.empty() && out.back() == '_')
        out.pop_back();
    return out;
}

std::string Geogcs1(const ZrEpsgGeographicRecord& g, bool esri, const std::string& towgs84, bool axes) {
    std::string s = "GEOGCS[" + Quote(esri ? g.name : OgcGeographicName(g.name)) + ",DATUM[" +
                    Quote(esri ? g.datumName : GdalDatumName(g)) + "," + Spheroid1(g, esri);
    if (!esri) s += towgs84 + Authority(g.datumCode);
    s += "],PRIMEM[" + Quote(g.primeMeridianName) + "," + Num(g.primeMeridianLongitude, esri) +
         (esri ? "" : Authority(g.primeMeridianCode)) + "]";
    s += esri ? std::string(",UNIT[\"Degree\",") + kDegreeFactor + "]"
              : std::string(",UNIT[\"degree\",") + kDegreeFactor + ",AUTHORITY[\"EPSG\",\"9122\"]]";
    if (!esri && axes)
        s += g.latitudeFirst ? ",AXIS[\"Latitude\",NORTH],AXIS[\"Longitude\",EAST]"
                             : ",AXIS[\"Longitude\",EAST],AXIS[\"Latitude\",NORTH]";
    if (!esri) s += Authority(g.code);
    return s + "]";
}

// The datum's shifts to WGS 84 that EPSG states as Helmert transformations
// (best first, as PROJ ranks them), each as the seven TOWGS84 values in the
// position-vector convention.
std::vector<std::vector<double>> KnownShifts(long geographicCode) {
    std::vector<std::vector<double>> out;
    if (geographicCode <= 0 || geographicCode == 4326) return out;
    std::vector<ZrEpsgTransformationRecord> list;
    ZrEpsgListTransformations(geographicCode, 4326, list);
    for (const ZrEpsgTransformationRecord& t : list) {
        if (t.methodCode != 9603 && t.methodCode != 9606 && t.methodCode != 9607) continue;
        const double sign = t.sourceCode != geographicCode ? -1.0 : 1.0;
        const double rot = (t.methodCode == 9607 ? -1.0 : 1.0) * sign;
        out.push_back(
            {sign * t.tx, sign * t.ty, sign * t.tz, rot * t.rx, rot * t.ry, rot * t.rz, sign * t.ds});
    }
    return out;
}

// TOWGS84 as GDAL 3 writes it: not for a datum it names by EPSG's code
// (PROJ would read the system as bound to WGS 84 and identify it at 25 %,
// and a reader finds EPSG's shifts by the code); for a datum written without
// one, the best-ranked of EPSG's shifts of the geographic system it stands
// for, so that the text still says where it lies.
std::string Towgs84(const ZrEpsgGeographicRecord& g, long standsFor) {
    if (g.datumCode > 0) return std::string();
    const std::vector<std::vector<double>> shifts = KnownShifts(standsFor);
    if (shifts.empty()) return std::string();
    std::string s = ",TOWGS84[";
    for (size_t i = 0; i < 7; ++i)
        s += Num(shifts[0][i]) + (i < 6 ? "," : "]");
    return s;
}

bool WriteWkt1(const ZrEpsgGeographicRecord& g, const ZrEpsgProjectedRecord* p, bool esri, long standsFor,
               std::string& out, CString* reason) {
    const std::string towgs = esri ? std::string() : Towgs84(g, standsFor);
    if (!p) {
        out = Geogcs1(g, esri, towgs, true);
        return true;
    }
    const ZrMethodNames* m = ZrFindMethod(p->methodCode);
    std::string method =
        m ? (esri ? (m->esriName ? m->esriName : "") : (m->wkt1Name ? m->wkt1Name : "")) : "";
    std::string extension;
    std::vector<ZrEpsgParameter> params = esri ? EsriOrder(*p) : p->parameters;
    auto names = [&](long code) { return NamesOf(p->methodCode, code); };
    const double azimuth = ParamValue(*p, 8813, 0.0), gamma = ParamValue(*p, 8814, 0.0);
    if (esri) {
        switch (p->methodCode) {
        case 9801: // ESRI's one Lambert names its parallel and its scale.
            params.insert(params.begin() + 3, ZrEpsgParameter{8823, ParamValue(*p, 8801, 0.0)});
            break;
        case 9812:
        case 9815:
            if (gamma == azimuth) {
                method = p->methodCode == 9812 ? "Hotine_Oblique_Mercator_Azimuth_Natural_Origin"
                                               : "Hotine_Oblique_Mercator_Azimuth_Center";
                for (size_t i = 0; i < params.size(); ++i)
                    if (params[i].code == 8814) params.erase(params.begin() + static_cast<long>(i));
            }
            break;
        case 1024: // Mercator on the auxiliary sphere of radius a
            params = {{8806, ParamValue(*p, 8806, 0.0)},
                      {8807, ParamValue(*p, 8807, 0.0)},
                      {8802, ParamValue(*p, 8802, 0.0)},
                      {8823, 0.0},
                      {-1, 0.0}};
            break;
        case 9807:
            if (p->conversionName == "Gauss-Kruger") method = "Gauss_Kruger";
            break;
        case 9806: // ESRI's Cassini carries a scale of 1
            // ESRI's texts name no axes: a Cassini read off southing and
            // westing axes would be read back on easting and northing.
            if (p->axisOrder == "SW" || p->axisOrder == "WS")
                return Fail(reason,
                            "Cassini-Soldner on southing and westing axes: ESRI's texts name no axes"),
                       false;
            params.insert(params.begin() + 3, ZrEpsgParameter{8805, 1.0});
            break;
        case 9840: // ESRI's Orthographic is the view of the sphere of radius a
            if (g.inverseFlattening != 0.0)
                return Fail(reason,
                            "the orthographic view of an ellipsoid: ESRI's Orthographic is spherical"),
                       false;
            break;
        default:
            break;
        }
    } else if (p->methodCode == 1024) {
        // GDAL's form: Mercator on the sphere of radius a, stated by its PROJ.4 extension.
        method = "Mercator_1SP";
        params = {{8802, ParamValue(*p, 8802, 0.0)},
                  {8805, 1.0},
                  {8806, ParamValue(*p, 8806, 0.0)},
                  {8807, ParamValue(*p, 8807, 0.0)}};
        const std::string a = Num(g.semiMajorAxis);
        extension = ",EXTENSION[\"PROJ4\",\"+proj=merc +a=" + a + " +b=" + a +
                    " +lat_ts=0 +lon_0=" + Num(ParamValue(*p, 8802, 0.0)) +
                    " +x_0=" + Num(ParamValue(*p, 8806, 0.0)) + " +y_0=" + Num(ParamValue(*p, 8807, 0.0)) +
                    " +k=1 +units=m +nadgrids=@null +wktext +no_defs\"]";
    } else if (p->methodCode == 1027) {
        return Fail(reason, "Lambert azimuthal on the sphere of equal area: well-known text has no way to "
                            "state that sphere"),
               false;
    }
    if (method.empty()) {
        CString text;
        text.Format("%s has no name in %s", p->methodName.c_str(), esri ? "ESRI WKT1" : "OGC WKT1");
        return Fail(reason, text), false;
    }
    std::string s = "PROJCS[" + Quote(p->name) + "," + Geogcs1(g, esri, towgs, false) + ",PROJECTION[" +
                    Quote(method) + "]";
    for (const ZrEpsgParameter& q : params) {
        if (!Written(*p, q)) continue;
        const ZrParameterNames* n = names(q.code);
        const char* name = nullptr;
        if (q.code == -1)
            name = "Auxiliary_Sphere_Type";
        else if (q.code == 8823 && (p->methodCode == 9801 || p->methodCode == 1024))
            name = "Standard_Parallel_1";
        else if (q.code == 8805 && p->methodCode == 9806)
            name = "Scale_Factor";
        else if (q.code == 8805 && p->methodCode == 1024)
            name = "scale_factor";
        else if (n)
            name = esri ? n->esriName : n->wkt1Name;
        if (!name) continue;
        s += ",PARAMETER[" + Quote(name) + "," + Num(q.value, esri) + "]";
    }
    const std::string unit = UnitName(*p, esri);
    s += ",UNIT[" + Quote(unit) + "," + Num(p->linearUnitToMetre, esri);
    s += esri ? "]" : Authority(p->linearUnitCode) + "]";
    // GDAL writes no axes for a northing-first system: WKT1 readers take
    // east, north whatever the text says.
    if (!esri)
        s += (p->axisOrder == "WS"   ? ",AXIS[\"Westing\",WEST],AXIS[\"Southing\",SOUTH]"
              : p->axisOrder == "SW" ? ",AXIS[\"Southing\",SOUTH],AXIS[\"Westing\",WEST]"
              : p->axisOrder == "NE" ? ""
                                     : ",AXIS[\"Easting\",EAST],AXIS[\"Northing\",NORTH]") +
             extension + Authority(p->code);
    out = s + "]";
    return true;
}

std::string AngleUnit2() {
    return std::string("ANGLEUNIT[\"degree\",") + kDegreeFactor + "]";
}

std::string GeodeticFrame2(const ZrEpsgGeographicRecord& g) {
    std::string s = "DATUM[" + Quote(OgcDatumName(g.datumName)) + ",ELLIPSOID[" + Quote(g.ellipsoidName) +
                    "," + Num(g.semiMajorAxis) + "," + Num(g.inverseFlattening) + ",LENGTHUNIT[\"metre\",1]" +
                    Id(g.ellipsoidCode) + "]" + Id(g.datumCode) + "],";
    s += "PRIMEM[" + Quote(g.primeMeridianName) + "," + Num(g.primeMeridianLongitude) + "," + AngleUnit2() +
         Id(g.primeMeridianCode) + "]";
    return s;
}

bool WriteWkt2(const ZrEpsgGeographicRecord& g, const ZrEpsgProjectedRecord* p, std::string& out) {
    if (!p) {
        const std::string lat = "AXIS[\"geodetic latitude (Lat)\",north,ORDER[%d]," + AngleUnit2() + "]";
        const std::string lon = "AXIS[\"geodetic longitude (Lon)\",east,ORDER[%d]," + AngleUnit2() + "]";
        auto order = [](std::string axis, int n) {
            return axis.replace(axis.find("%d"), 2, std::to_string(n));
        };
        out = "GEOGCRS[" + Quote(OgcGeographicName(g.name)) + "," + GeodeticFrame2(g) +
              ",CS[ellipsoidal,2]," +
              (g.latitudeFirst ? order(lat, 1) + "," + order(lon, 2) : order(lon, 1) + "," + order(lat, 2)) +
              Id(g.code) + "]";
        return true;
    }
    const std::string length = "LENGTHUNIT[" + Quote(UnitName(*p, false)) + "," + Num(p->linearUnitToMetre) +
                               Id(p->linearUnitCode) + "]";
    // The base system's unit is stated: its EPSG code may name a system in other units (grads).
    std::string s = "PROJCRS[" + Quote(p->name) + ",BASEGEOGCRS[" + Quote(OgcGeographicName(g.name)) + "," +
                    GeodeticFrame2(g) + "," + AngleUnit2() + Id(g.code) + "],CONVERSION[" +
                    Quote(p->conversionName.empty() ? p->name : p->conversionName) + ",METHOD[" +
                    Quote(p->methodName) + (p->methodCode < 40000 ? Id(p->methodCode) : "") + "]";
    for (const ZrEpsgParameter& q : p->parameters) {
        if (!Written(*p, q)) continue;
        const ZrParameterNames* n = NamesOf(p->methodCode, q.code);
        if (!n) continue;
        s += ",PARAMETER[" + Quote(n->epsgName) + "," + Num(q.value) + ",";
        s += n->quantity == ZR_PARAM_ANGLE    ? AngleUnit2()
             : n->quantity == ZR_PARAM_LENGTH ? length
                                              : std::string("SCALEUNIT[\"unity\",1]");
        s += (q.code < 40000 ? Id(q.code) : "") + "]";
    }
    // EPSG's axes in EPSG's order, as PROJ writes them: northing-first
    // systems (Gauss-Kruger zones, Portugal's, Finland's), the south-west
    // Krovak (southing X, westing Y) and the west-orientated Lambert (Iceland's
    // westing first, Greenland's and the Faroes' northing Y, westing X).
    static const struct {
        const char *order, *first, *second;
    } kAxes[] = {
        {"NE", "\"northing (N)\",north", "\"easting (E)\",east"},
        {"WS", "\"westing (W)\",west", "\"southing (S)\",south"},
        {"SW", "\"southing (X)\",south", "\"westing (Y)\",west"},
        {"WN", "\"westing (W)\",west", "\"northing (N)\",north"},
        {"NW", "\"northing (Y)\",north", "\"westing (X)\",west"},
    };
    std::string first = "\"easting (E)\",east", second = "\"northing (N)\",north";
    for (const auto& a : kAxes)
        if (p->axisOrder == a.order) first = a.first, second = a.second;
    s += "],CS[Cartesian,2],AXIS[" + first + ",ORDER[1]," + length + "],AXIS[" + second + ",ORDER[2]," +
         length + "]" + Id(p->code) + "]";
    out = s;
    return true;
}

// ---------------------------------------------------------------------------
// Reading
// ---------------------------------------------------------------------------

struct Reading {
    ZrEpsgGeographicRecord geog;
    ZrEpsgProjectedRecord proj;
    bool projected = false;
    std::vector<double> towgs84; // 3 or 7 values in the position-vector convention
    double angleToDegree = 1.0;  // of the geographic system's angular unit
};

long EpsgCodeOf(const ZrWktNode& node) {
    const ZrWktNode* id = node.Child("AUTHORITY|ID");
    std::string authority;
    if (!id || !id->StringAt(0, authority) || !ZrInteropSameName(authority.c_str(), "EPSG")) return 0;
    if (id->children.size() < 2) return 0;
    const ZrWktNode& c = id->children[1];
    const double v = c.kind == ZrWktNode::kNumber ? c.number : std::atof(c.text.c_str());
    return v > 0 && v < 1e9 && v == std::floor(v) ? static_cast<long>(v) : 0;
}

std::string NameOf(const ZrWktNode& node) {
    std::string s;
    node.StringAt(0, s);
    return s;
}

bool NeedString(const ZrWktNode& node, CString* reason) {
    if (node.children.empty() || node.children[0].kind != ZrWktNode::kString)
        return Fail(reason, CString(node.text.c_str()) + " without a quoted name"), false;
    return true;
}

// A unit node's factor (to metres or radians); false when it has none.
// Writers print the degree and the grad to 15 or 16 digits; a factor that is
// a decimal ratio of the degree to twelve digits is taken as that exact
// ratio, so 90 degrees stays 90 and 55 grads stay 49.5 degrees.
bool UnitFactor(const ZrWktNode* unit, double& factor) {
    return unit && unit->NumberAt(1, factor) && factor > 0.0;
}

bool AngleUnitFactor(const ZrWktNode* unit, double& factor) {
    if (!UnitFactor(unit, factor)) return false;
    const double ratio = factor / kDegree;
    const double snapped = std::round(ratio * 1e12) / 1e12;
    if (ratio < 1e3 && std::fabs(ratio - snapped) < 1e-12 * ratio) factor = snapped * kDegree;
    return true;
}

bool ReadEllipsoid(const ZrWktNode& e, Reading& r, CString* reason) {
    double a = 0, rf = 0;
    if (!NeedString(e, reason)) return false;
    if (!e.NumberAt(1, a) || !e.NumberAt(2, rf))
        return Fail(reason, "ellipsoid " + CString(NameOf(e)) + " lacks its axis or inverse flattening"),
               false;
    double toMetre = 1.0;
    if (const ZrWktNode* u = e.Child("LENGTHUNIT|UNIT"))
        if (!UnitFactor(u, toMetre)) return Fail(reason, "ellipsoid length unit without a factor"), false;
    r.geog.ellipsoidName = NameOf(e);
    r.geog.ellipsoidCode = EpsgCodeOf(e);
    r.geog.semiMajorAxis = a * toMetre;
    r.geog.inverseFlattening = rf;
    return true;
}

bool ReadTowgs84(const ZrWktNode& t, Reading& r, CString* reason) {
    r.towgs84.clear();
    for (const ZrWktNode& c : t.children) {
        if (c.kind != ZrWktNode::kNumber)
            return Fail(reason, "TOWGS84 with a value that is not a number"), false;
        r.towgs84.push_back(c.number);
    }
    if (r.towgs84.size() != 3 && r.towgs84.size() != 7)
        return Fail(reason, "TOWGS84 needs 3 or 7 values"), false;
    return true;
}

// The geographic part of either generation. wkt2 tells where units live.
bool ReadGeographic(const ZrWktNode& gcs, bool wkt2, Reading& r, CString* reason) {
    if (!NeedString(gcs, reason)) return false;
    r.geog.name = NameOf(gcs);
    r.geog.code = EpsgCodeOf(gcs);
    const ZrWktNode* datum = gcs.Child("DATUM|GEODETICDATUM|TRF|ENSEMBLE");
    if (!datum || !NeedString(*datum, reason))
        return Fail(reason, "geographic system " + CString(r.geog.name) + " without a datum"), false;
    r.geog.datumName = NameOf(*datum);
    r.geog.datumCode = EpsgCodeOf(*datum);
    const ZrWktNode* ellipsoid = datum->Child("SPHEROID|ELLIPSOID");
    if (!ellipsoid)
        return Fail(reason, "datum " + CString(r.geog.datumName) + " without an ellipsoid"), false;
    if (!ReadEllipsoid(*ellipsoid, r, reason)) return false;
    if (const ZrWktNode* t = datum->Child("TOWGS84"))
        if (!ReadTowgs84(*t, r, reason)) return false;

    // The angular unit of the system: WKT1 names it once; WKT2 after the axes
    // or in each axis, and a base system may name it once.
    double radians = kDegree;
    const ZrWktNode* unit = gcs.Child(wkt2 ? "ANGLEUNIT|UNIT" : "UNIT");
    if (!unit && wkt2)
        for (const ZrWktNode* axis : gcs.Children("AXIS"))
            if ((unit = axis->Child("ANGLEUNIT|UNIT"))) break;
    if (unit && !AngleUnitFactor(unit, radians)) return Fail(reason, "angular unit without a factor"), false;
    r.angleToDegree = radians == kDegree ? 1.0 : radians / kDegree;

    const ZrWktNode* pm = gcs.Child("PRIMEM|PRIMEMERIDIAN");
    double lon = 0.0;
    if (pm) {
        if (!NeedString(*pm, reason) || !pm->NumberAt(1, lon))
            return Fail(reason, "prime meridian without its longitude"), false;
        // WKT1 writers give the prime meridian in degrees whatever the unit
        // (as GDAL and ESRI do); WKT2 states its unit or takes the system's.
        if (wkt2) {
            double f = radians;
            if (const ZrWktNode* u = pm->Child("ANGLEUNIT|UNIT"))
                if (!AngleUnitFactor(u, f))
                    return Fail(reason, "prime meridian unit without a factor"), false;
            lon = f == kDegree ? lon : lon * (f / kDegree);
        }
        r.geog.primeMeridianName = NameOf(*pm);
        r.geog.primeMeridianCode = EpsgCodeOf(*pm);
    } else {
        r.geog.primeMeridianName = "Greenwich";
        r.geog.primeMeridianCode = 8901;
    }
    r.geog.primeMeridianLongitude = lon;

    // Axis order: a note (the library's geographic coordinates are longitude, latitude).
    const std::vector<const ZrWktNode*> axes = gcs.Children("AXIS");
    r.geog.latitudeFirst = false;
    if (!axes.empty() && axes[0]->children.size() >= 2) {
        const ZrWktNode& dir = axes[0]->children[1];
        r.geog.latitudeFirst =
            dir.kind == ZrWktNode::kWord &&
            (ZrInteropSameName(dir.text.c_str(), "north") || ZrInteropSameName(dir.text.c_str(), "south"));
    }
    return true;
}

// Axis directions of a projected system as first letters ("EN", "NE", ...).
std::string AxisOrder(const ZrWktNode& crs) {
    std::string order;
    for (const ZrWktNode* axis : crs.Children("AXIS")) {
        if (axis->children.size() < 2 || axis->children[1].kind != ZrWktNode::kWord) continue;
        order += static_cast<char>(std::toupper(static_cast<unsigned char>(axis->children[1].text[0])));
    }
    return order.empty() ? "EN" : order;
}

struct RawParameter {
    std::string name;
    long code = 0;    // WKT2 ID, else 0
    double value = 0; // as written
    const ZrWktNode* unit = nullptr;
};

bool Has(const std::vector<RawParameter>& raw, const char* name) {
    for (const RawParameter& q : raw)
        if (ZrInteropSameName(q.name.c_str(), name)) return true;
    return false;
}

double Get(const std::vector<RawParameter>& raw, const char* name, double fallback) {
    for (const RawParameter& q : raw)
        if (ZrInteropSameName(q.name.c_str(), name)) return q.value;
    return fallback;
}

// The EPSG method a WKT1 projection name stands for, where dialects share a
// name for two methods or state a method through an extension.
bool ResolveWkt1Method(const std::string& projection, std::vector<RawParameter>& raw, const ZrWktNode& projcs,
                       Reading& r, long& method, CString* reason) {
    const ZrWktNode* extension = projcs.Child("EXTENSION");
    std::string proj4;
    if (extension) extension->StringAt(1, proj4);
    auto same = [&](const char* n) { return ZrInteropSameName(projection.c_str(), n); };
    if (!proj4.empty()) {
        // GDAL states what WKT1 cannot say through a PROJ.4 extension; its
        // form of the pseudo-Mercator is ours, any other changes the meaning unread.
        const bool merc = proj4.find("+proj=merc") != std::string::npos;
        const size_t a = proj4.find("+a="), b = proj4.find("+b=");
        if ((same("Mercator_1SP") || same("Mercator")) && merc && a != std::string::npos &&
            b != std::string::npos && std::atof(proj4.c_str() + a + 3) == std::atof(proj4.c_str() + b + 3) &&
            std::fabs(std::atof(proj4.c_str() + a + 3) - r.geog.semiMajorAxis) < 1e-3 &&
            proj4.find("+nadgrids=@null") != std::string::npos) {
            method = 1024;
            return true;
        }
        return Fail(reason, "EXTENSION[\"PROJ4\",\"" + CString(proj4.substr(0, 80)) + "\"] not understood"),
               false;
    }
    if (same("Lambert_Conformal_Conic")) {
        // ESRI's one name for the Lambert forms: two parallels (with a scale,
        // Michigan's), or one with a scale.
        if (Has(raw, "Standard_Parallel_2")) {
            // With a scale: EPSG's Michigan form, whose scale enlarges the
            // ellipsoid (as PROJ writes EPSG's Michigan zones for ESRI).
            method = Get(raw, "Scale_Factor", 1.0) != 1.0 ? 1051 : 9802;
            if (method == 1051) return true;
            for (size_t i = 0; i < raw.size(); ++i)
                if (ZrInteropSameName(raw[i].name.c_str(), "Scale_Factor"))
                    raw.erase(raw.begin() + static_cast<long>(i));
            return true;
        }
        const double sp1 = Get(raw, "Standard_Parallel_1", Get(raw, "Latitude_Of_Origin", 0.0));
        const double lat0 = Get(raw, "Latitude_Of_Origin", sp1);
        const double k = Get(raw, "Scale_Factor", 1.0);
        if (sp1 == lat0) {
            method = 9801;
            for (size_t i = 0; i < raw.size(); ++i)
                if (ZrInteropSameName(raw[i].name.c_str(), "Standard_Parallel_1"))
                    raw.erase(raw.begin() + static_cast<long>(i));
            if (!Has(raw, "Latitude_Of_Origin")) raw.push_back({"Latitude_Of_Origin", 0, sp1, nullptr});
            return true;
        }
        if (k != 1.0)
            return Fail(reason, "Lambert with one standard parallel off its origin and a scale factor"),
                   false;
        method = 9802;
        for (size_t i = 0; i < raw.size(); ++i)
            if (ZrInteropSameName(raw[i].name.c_str(), "Scale_Factor"))
                raw.erase(raw.begin() + static_cast<long>(i));
        raw.push_back({"Standard_Parallel_2", 0, sp1, nullptr});
        return true;
    }
    if (same("Mercator")) {
        method = Has(raw, "Standard_Parallel_1") || !Has(raw, "Scale_Factor") ? 9805 : 9804;
        return true;
    }
    if (same("Mercator_Auxiliary_Sphere")) {
        if (Get(raw, "Auxiliary_Sphere_Type", 0.0) != 0.0)
            return Fail(reason, "Mercator_Auxiliary_Sphere of a type other than 0 (the sphere of radius a)"),
                   false;
        if (Get(raw, "Standard_Parallel_1", 0.0) != 0.0)
            return Fail(reason, "Mercator_Auxiliary_Sphere with a standard parallel"), false;
        for (size_t i = 0; i < raw.size();)
            if (ZrInteropSameName(raw[i].name.c_str(), "Auxiliary_Sphere_Type") ||
                ZrInteropSameName(raw[i].name.c_str(), "Standard_Parallel_1"))
                raw.erase(raw.begin() + static_cast<long>(i));
            else
                ++i;
        method = 1024;
        return true;
    }
    if (same("Behrmann")) {
        if (!Has(raw, "Standard_Parallel_1"))
            raw.push_back({"Standard_Parallel_1", 0, 30.0 / r.angleToDegree, nullptr});
        method = 9835;
        return true;
    }
    if (same("Cassini") || same("Cassini_Soldner")) {
        if (Get(raw, "Scale_Factor", 1.0) != 1.0) return Fail(reason, "Cassini with a scale factor"), false;
        for (size_t i = 0; i < raw.size(); ++i)
            if (ZrInteropSameName(raw[i].name.c_str(), "Scale_Factor"))
                raw.erase(raw.begin() + static_cast<long>(i));
        method = 9806;
        return true;
    }
    auto erase = [&](const char* name) {
        for (size_t i = 0; i < raw.size();)
            if (ZrInteropSameName(raw[i].name.c_str(), name))
                raw.erase(raw.begin() + static_cast<long>(i));
            else
                ++i;
    };
    auto rename = [&](const char* from, const char* to) {
        for (RawParameter& q : raw)
            if (ZrInteropSameName(q.name.c_str(), from)) q.name = to;
    };
    // GDAL's polar stereographic names the standard parallel its latitude of
    // origin when that is not a pole (EPSG's variant B, true to scale there).
    if (same("Polar_Stereographic") &&
        std::fabs(Get(raw, "Latitude_Of_Origin", 90.0 / r.angleToDegree) * r.angleToDegree) != 90.0) {
        if (Get(raw, "Scale_Factor", 1.0) != 1.0)
            return Fail(reason, "polar stereographic with both a standard parallel and a scale factor"),
                   false;
        erase("Scale_Factor");
        rename("Latitude_Of_Origin", "Standard_Parallel_1");
        method = 9829;
        return true;
    }
    // ESRI names the pole in the method and the standard parallel as a parameter.
    if (same("Stereographic_North_Pole") || same("Stereographic_South_Pole")) {
        const double sp = Get(raw, "Standard_Parallel_1", 0.0) * r.angleToDegree;
        if (!(same("Stereographic_North_Pole") ? sp > 0 : sp < 0))
            return Fail(reason, CString(projection) + " with a standard parallel of the other hemisphere"),
                   false;
        method = 9829;
        return true;
    }
    // ESRI's Krovak turns its plane by X_Scale, Y_Scale and XY_Plane_Rotation:
    // -1, 1 and 90 degrees give eastings and northings, the north-orientated
    // form; 1, 1 and 0 the method's own westings and southings.
    if (same("Krovak") && (Has(raw, "X_Scale") || Has(raw, "Y_Scale") || Has(raw, "XY_Plane_Rotation"))) {
        const double xs = Get(raw, "X_Scale", 1.0), ys = Get(raw, "Y_Scale", 1.0);
        const double turn = Get(raw, "XY_Plane_Rotation", 0.0) * r.angleToDegree;
        const bool eastNorth = xs == -1.0 && ys == 1.0 && turn == 90.0;
        if (!eastNorth && !(xs == 1.0 && ys == 1.0 && turn == 0.0))
            return Fail(reason,
                        "Krovak turned otherwise than to eastings and northings or westings and southings"),
                   false;
        erase("X_Scale");
        erase("Y_Scale");
        erase("XY_Plane_Rotation");
        method = eastNorth ? 1041 : 9819;
        // ESRI's texts name no axes: the turn is what says which they are.
        if (!eastNorth) r.proj.axisOrder = "WS";
        return true;
    }
    const ZrMethodNames* m = ZrFindMethodByName(projection.c_str());
    if (!m) return Fail(reason, "projection method " + CString(projection) + " not understood"), false;
    method = m->code;
    return true;
}

// Converts the raw parameters into the description's, by the method's names
// (or WKT2 IDs). Unknown parameters are refused unless neutral (0, or a scale of 1).
bool TakeParameters(const std::vector<RawParameter>& raw, long method, bool wkt2, Reading& r,
                    double unitToMetre, CString* reason) {
    for (const RawParameter& q : raw) {
        const ZrParameterNames* n = nullptr;
        if (q.code > 0) {
            n = NamesOf(method, q.code);
            // EPSG's other codes for the same quantities (false origin vs natural origin names).
            if (!n && (q.code == 8826 || q.code == 8816)) n = NamesOf(method, 8806);
            if (!n && (q.code == 8827 || q.code == 8817)) n = NamesOf(method, 8807);
        }
        if (!n) n = ZrFindParameterByName(method, q.name.c_str());
        // GeoTools repeats the ellipsoid's axes among the parameters: taken
        // when they are the ellipsoid's (within a millimetre), refused when
        // they contradict it.
        if (!n && !wkt2 &&
            (ZrInteropSameName(q.name.c_str(), "semi_major") ||
             ZrInteropSameName(q.name.c_str(), "semi_minor"))) {
            const double a = r.geog.semiMajorAxis;
            const double f = r.geog.inverseFlattening == 0.0 ? 0.0 : 1.0 / r.geog.inverseFlattening;
            const double axis = ZrInteropSameName(q.name.c_str(), "semi_major") ? a : a * (1.0 - f);
            if (std::fabs(q.value * unitToMetre - axis) <= 1e-3) continue;
            CString text;
            text.Format("parameter %s = %s is not the ellipsoid's (%s)", q.name.c_str(), Num(q.value).c_str(),
                        Num(axis).c_str());
            return Fail(reason, text), false;
        }
        if (!n) {
            const bool scale = q.name.find("cale") != std::string::npos;
            if (q.value == 0.0 || (scale && q.value == 1.0)) continue;
            CString text;
            text.Format("parameter %s = %s not understood for %s", q.name.c_str(), Num(q.value).c_str(),
                        r.proj.methodName.c_str());
            return Fail(reason, text), false;
        }
        double v = q.value;
        if (n->quantity == ZR_PARAM_ANGLE) {
            double toDegree = r.angleToDegree;
            if (wkt2 && q.unit) {
                double f = 0;
                if (!AngleUnitFactor(q.unit, f))
                    return Fail(reason, "parameter unit without a factor"), false;
                toDegree = f == kDegree ? 1.0 : f / kDegree;
            }
            if (toDegree != 1.0) v *= toDegree;
        } else if (n->quantity == ZR_PARAM_LENGTH) {
            double f = unitToMetre;
            if (wkt2 && q.unit && !UnitFactor(q.unit, f))
                return Fail(reason, "parameter unit without a factor"), false;
            v = v * f / unitToMetre;
        } else {
            double f = 1.0;
            if (wkt2 && q.unit && !UnitFactor(q.unit, f))
                return Fail(reason, "parameter unit without a factor"), false;
            v *= f;
        }
        bool seen = false;
        for (const ZrEpsgParameter& e : r.proj.parameters)
            seen = seen || e.code == n->code;
        if (seen) return Fail(reason, "parameter " + CString(q.name) + " given twice"), false;
        r.proj.parameters.push_back(ZrEpsgParameter{n->code, v});
    }
    return true;
}

void LinearUnit(const ZrWktNode* unit, double factor, Reading& r) {
    r.proj.linearUnitToMetre = factor;
    r.proj.linearUnitName = unit ? NameOf(*unit) : "metre";
    long code = unit ? EpsgCodeOf(*unit) : 9001;
    if (code == 0) {
        const std::string& n = r.proj.linearUnitName;
        if (factor == 1.0)
            code = 9001;
        else if (factor == 0.3048)
            code = 9002;
        else if (std::fabs(factor / (1200.0 / 3937.0) - 1.0) < 1e-12 &&
                 (ZrInteropSameName(n.c_str(), "Foot_US") || n.find("US") != std::string::npos ||
                  n.find("survey") != std::string::npos))
            code = 9003;
    }
    r.proj.linearUnitCode = code;
}

// What both generations' projected systems begin with: a quoted name, the
// base geographic system (under one of baseKeywords; noBase is the reason when
// there is none), and the system's own EPSG code.
bool ReadProjectedHead(const ZrWktNode& root, const char* baseKeywords, bool wkt2, const char* noBase,
                       Reading& r, CString* reason) {
    if (!NeedString(root, reason)) return false;
    const ZrWktNode* base = root.Child(baseKeywords);
    if (!base) return Fail(reason, noBase), false;
    if (!ReadGeographic(*base, wkt2, r, reason)) return false;
    r.projected = true;
    r.proj.name = NameOf(root);
    r.proj.code = EpsgCodeOf(root);
    r.proj.baseGeographicCode = r.geog.code;
    return true;
}

bool ReadWkt1(const ZrWktNode& root, Reading& r, CString* reason) {
    if (root.Is("GEOGCS")) return ReadGeographic(root, false, r, reason);
    if (!ReadProjectedHead(root, "GEOGCS", false, "PROJCS without GEOGCS", r, reason)) return false;
    const ZrWktNode* projection = root.Child("PROJECTION");
    std::string method;
    if (!projection || !projection->StringAt(0, method))
        return Fail(reason, "PROJCS without PROJECTION"), false;
    std::vector<RawParameter> raw;
    for (const ZrWktNode* q : root.Children("PARAMETER")) {
        RawParameter p;
        if (!q->StringAt(0, p.name) || !q->NumberAt(1, p.value))
            return Fail(reason, "PARAMETER without a name and a number"), false;
        raw.push_back(p);
    }
    long code = 0;
    if (!ResolveWkt1Method(method, raw, root, r, code, reason)) return false;
    r.proj.methodCode = code;
    const ZrMethodNames* names = ZrFindMethod(code);
    r.proj.methodName =
        names && !ZrInteropSameName(method.c_str(), "Gauss_Kruger") ? names->epsgName : method;
    const ZrWktNode* unit = root.Child("UNIT");
    double factor = 1.0;
    if (!unit || !UnitFactor(unit, factor)) return Fail(reason, "PROJCS without a linear UNIT"), false;
    LinearUnit(unit, factor, r);
    if (r.proj.axisOrder.empty()) r.proj.axisOrder = AxisOrder(root);
    return TakeParameters(raw, code, false, r, factor, reason);
}

// The linear unit of a projected or engineering system: once after the axes,
// or in each axis (the first is taken). Where none is given, the factor is 1.
bool ReadLengthUnit(const ZrWktNode& root, Reading& r, double& factor, CString* reason) {
    const ZrWktNode* unit = root.Child("LENGTHUNIT|UNIT");
    if (!unit)
        for (const ZrWktNode* axis : root.Children("AXIS"))
            if ((unit = axis->Child("LENGTHUNIT|UNIT"))) break;
    factor = 1.0;
    if (unit && !UnitFactor(unit, factor)) return Fail(reason, "length unit without a factor"), false;
    LinearUnit(unit, factor, r);
    return true;
}

bool ReadWkt2Geographic(const ZrWktNode& crs, Reading& r, CString* reason) {
    if (const ZrWktNode* cs = crs.Child("CS")) {
        if (cs->children.empty() || cs->children[0].kind != ZrWktNode::kWord ||
            !ZrInteropSameName(cs->children[0].text.c_str(), "ellipsoidal"))
            return Fail(reason, "a geodetic system whose coordinates are not ellipsoidal (geocentric)"),
                   false;
        double dims = 2;
        if (cs->NumberAt(1, dims) && dims != 2)
            return Fail(reason, "a geographic system with a height axis (3-D)"), false;
    }
    return ReadGeographic(crs, true, r, reason);
}

bool ReadWkt2(const ZrWktNode& root, Reading& r, CString* reason) {
    if (root.Is("GEOGCRS|GEOGRAPHICCRS|GEODCRS|GEODETICCRS")) return ReadWkt2Geographic(root, r, reason);
    if (!ReadProjectedHead(root, "BASEGEOGCRS|BASEGEODCRS|GEOGCRS|GEODCRS", true,
                           "projected system without its base geographic system", r, reason))
        return false;
    const ZrWktNode* conversion = root.Child("CONVERSION|DERIVINGCONVERSION");
    if (!conversion) return Fail(reason, "projected system without its CONVERSION"), false;
    r.proj.conversionName = NameOf(*conversion);
    r.proj.conversionCode = EpsgCodeOf(*conversion);
    const ZrWktNode* method = conversion->Child("METHOD|PROJECTION");
    std::string methodName;
    if (!method || !method->StringAt(0, methodName))
        return Fail(reason, "CONVERSION without its METHOD"), false;
    const long methodId = EpsgCodeOf(*method);
    const ZrMethodNames* m = methodId > 0 && methodId < 40000 ? ZrFindMethod(methodId) : nullptr;
    if (!m) m = ZrFindMethodByName(methodName.c_str());
    if (!m) {
        CString text;
        text.Format("projection method %s%s not understood", methodName.c_str(),
                    methodId > 0 ? (" (EPSG " + std::to_string(methodId) + ")").c_str() : "");
        return Fail(reason, text), false;
    }
    r.proj.methodCode = m->code;
    r.proj.methodName = m->epsgName;

    double factor = 1.0;
    if (!ReadLengthUnit(root, r, factor, reason)) return false;
    r.proj.axisOrder = AxisOrder(root);
    if (const ZrWktNode* cs = root.Child("CS"))
        if (cs->children.empty() || !ZrInteropSameName(cs->children[0].text.c_str(), "Cartesian"))
            return Fail(reason, "projected coordinates that are not Cartesian"), false;

    std::vector<RawParameter> raw;
    for (const ZrWktNode* q : conversion->Children("PARAMETER")) {
        RawParameter p;
        if (!q->StringAt(0, p.name) || !q->NumberAt(1, p.value))
            return Fail(reason, "PARAMETER without a name and a number"), false;
        p.code = EpsgCodeOf(*q);
        p.unit = q->Child("ANGLEUNIT|LENGTHUNIT|SCALEUNIT|UNIT");
        raw.push_back(p);
    }
    return TakeParameters(raw, m->code, true, r, factor, reason);
}

// A BOUNDCRS whose target is WGS 84 and whose transformation is a Helmert
// states the datum's shift, as TOWGS84 does in WKT1.
bool ReadBound(const ZrWktNode& root, const ZrWktNode*& source, Reading& r, CString* reason) {
    const ZrWktNode* s = root.Child("SOURCECRS");
    const ZrWktNode* t = root.Child("TARGETCRS");
    const ZrWktNode* op = root.Child("ABRIDGEDTRANSFORMATION");
    if (!s || !t || !op || s->children.empty() || t->children.empty())
        return Fail(reason, "BOUNDCRS without its source, target and transformation"), false;
    const ZrWktNode& target = t->children[0];
    if (EpsgCodeOf(target) != 4326 && NameOf(target) != "WGS 84")
        return Fail(reason, "BOUNDCRS whose target is not WGS 84"), false;
    const ZrWktNode* method = op->Child("METHOD");
    const long code = method ? EpsgCodeOf(*method) : 0;
    const bool translation = code == 9603 || code == 1031;
    const bool positionVector = code == 9606 || code == 1033;
    const bool coordinateFrame = code == 9607 || code == 1032;
    if (!translation && !positionVector && !coordinateFrame)
        return Fail(reason, "BOUNDCRS transformation " +
                                CString(method ? NameOf(*method) : std::string("?")) +
                                " not understood (grid-based or other)"),
               false;
    const long codes[7] = {8605, 8606, 8607, 8608, 8609, 8610, 8611};
    std::vector<double> v(7, 0.0);
    for (const ZrWktNode* q : op->Children("PARAMETER")) {
        const long c = EpsgCodeOf(*q);
        double value = 0;
        if (!q->NumberAt(1, value)) return Fail(reason, "BOUNDCRS parameter without a number"), false;
        for (int i = 0; i < 7; ++i)
            if (codes[i] == c) v[static_cast<size_t>(i)] = value;
    }
    if (coordinateFrame)
        for (int i = 3; i < 6; ++i)
            v[static_cast<size_t>(i)] = -v[static_cast<size_t>(i)];
    if (translation) v.resize(3);
    r.towgs84 = v;
    source = &s->children[0];
    return true;
}

// A datum shift in the text is honoured, never dropped: it must be one the
// system's datum already has (none for WGS 84-like datums, else one of EPSG's
// Helmert transformations of the geographic system to WGS 84), because a
// coordinate system here cannot carry a shift of its own.
bool CheckTowgs84(const Reading& r, CString* reason) {
    if (r.towgs84.empty()) return true;
    bool zero = true;
    for (double v : r.towgs84)
        zero = zero && v == 0.0;
    if (zero) return true;
    ZrEpsgGeographicRecord g = r.geog;
    if (g.code <= 0) {
        // A geographic system named by the catalogue: its mapped EPSG code.
        CZrPJGeoCoordSys gcs;
        if (ZrMatchGeographic(r.geog, gcs) && gcs.GetType() > 1) g.code = ZrMappedEpsgCode(gcs.GetType());
    }
    for (const std::vector<double>& k : KnownShifts(g.code)) {
        bool same = true;
        for (size_t i = 0; i < 7; ++i) {
            const double given = i < r.towgs84.size() ? r.towgs84[i] : 0.0;
            const double tolerance = i < 3 ? 1e-3 : (i < 6 ? 1e-4 : 1e-3); // mm, 0.1 mas, 1e-3 ppm
            same = same && std::fabs(given - k[i]) <= tolerance;
        }
        if (same) return true;
    }
    CString text = "TOWGS84[";
    for (size_t i = 0; i < r.towgs84.size(); ++i)
        text += CString(Num(r.towgs84[i])) + (i + 1 < r.towgs84.size() ? "," : "]");
    text += " is none of the datum's known shifts to WGS 84; a system here cannot carry a shift of its own";
    return Fail(reason, text), false;
}

// Well-known text of Miller and Van der Grinten on an ellipsoid means the
// sphere of equal area to PROJ, GDAL and ESRI; the kinds compute on the
// sphere of radius a, so the two agree only on a sphere.
bool AuthalicInWkt(const ZrEpsgGeographicRecord& g, const ZrEpsgProjectedRecord& p, CString* reason) {
    if ((p.methodCode != 43003 && p.methodCode != 43029) || g.inverseFlattening == 0.0) return true;
    return Fail(reason,
                CString(p.methodName.c_str()) +
                    " on an ellipsoid: well-known text means the sphere of equal area, the kind computes "
                    "on the sphere of radius a"),
           false;
}

// A planar system: plain x, y in a linear unit, tied to no earth model. OGC
// WKT1 has LOCAL_CS and WKT2 the engineering system for it; ESRI has none.
bool WritePlanar(const CZrPJCoordSys& cs, tagZrCrsTextFormat dialect, CString& text, CString* reason) {
    if (dialect == ZR_CRS_TEXT_ESRI_WKT1)
        return Fail(reason, "ESRI WKT1 has no planar (local) system"), false;
    ZrEpsgProjectedRecord unit;
    ZrInteropDescribeUnit(cs.GetDistUnits(), unit);
    const std::string name = Quote(cs.GetName().str());
    std::string s;
    if (dialect == ZR_CRS_TEXT_WKT1_GDAL) {
        s = "LOCAL_CS[" + name + ",LOCAL_DATUM[\"Unknown\",32767],UNIT[" + Quote(UnitName(unit, false)) +
            "," + Num(unit.linearUnitToMetre) + Authority(unit.linearUnitCode) +
            "],AXIS[\"Easting\",EAST],AXIS[\"Northing\",NORTH]]";
    } else {
        const std::string length = "LENGTHUNIT[" + Quote(UnitName(unit, false)) + "," +
                                   Num(unit.linearUnitToMetre) + Id(unit.linearUnitCode) + "]";
        s = "ENGCRS[" + name +
            ",EDATUM[\"Unknown engineering datum\"],CS[Cartesian,2],AXIS[\"easting (E)\",east,"
            "ORDER[1]," +
            length + "],AXIS[\"northing (N)\",north,ORDER[2]," + length + "]]";
    }
    text = CString(s);
    return true;
}

bool ReadPlanar(const ZrWktNode& root, CZrPJCoordSys& cs, CString* reason) {
    if (const ZrWktNode* c = root.Child("CS")) {
        double dims = 2;
        if (c->children.empty() || !ZrInteropSameName(c->children[0].text.c_str(), "Cartesian") ||
            (c->NumberAt(1, dims) && dims != 2))
            return Fail(reason, "an engineering system whose coordinates are not 2-D Cartesian"), false;
    }
    Reading r;
    double factor = 1.0;
    if (!ReadLengthUnit(root, r, factor, reason)) return false;
    const std::string order = AxisOrder(root);
    if (order != "EN" && order != "NE")
        return Fail(reason, "planar axes " + CString(order) + ": only east and north axes are expressible"),
               false;
    long units = 0;
    if (!ZrInteropUnitCode(r.proj, units, reason)) return false;
    CZrPJCoordSys planar;
    planar.SetPlanar(units);
    cs = planar;
    return true;
}

// A geocentric system: X, Y, Z in metres on a geodetic datum, written as
// GDAL writes EPSG:4978 and its kind (WKT1 GEOCCS, its axes OTHER, OTHER,
// NORTH) and as WKT2:2019 does (a GEODCRS with a 3-D Cartesian system), so
// that PROJ identifies the EPSG code. ESRI's WKT1 has no such system.
bool WriteGeocentric(const CZrPJCoordSys& cs, tagZrCrsTextFormat dialect, CString& text, CString* reason) {
    if (dialect == ZR_CRS_TEXT_ESRI_WKT1) return Fail(reason, "ESRI WKT1 has no geocentric system"), false;
    // The datum as the geographic system on it writes it: EPSG's records
    // where the geographic system is EPSG's.
    CZrPJCoordSys geographic;
    geographic.SetEarth(cs.GetGCS(), kGeocentricMetres);
    ZrEpsgGeographicRecord g;
    ZrEpsgProjectedRecord unused;
    bool projected = false;
    if (!ZrInteropDescribe(geographic, g, unused, projected, reason)) return false;
    ZrInteropAsWritten(geographic, g, nullptr, false);
    const std::string name = cs.GetName().str();
    const long code = g.code > 0 ? ZrEpsgGeocentricOf(g.code, name) : 0;
    std::string out;
    if (dialect == ZR_CRS_TEXT_WKT1_GDAL) {
        out = "GEOCCS[" + Quote(name) + ",DATUM[" + Quote(GdalDatumName(g)) + "," + Spheroid1(g, false) +
              Authority(g.datumCode) + "],PRIMEM[" + Quote(g.primeMeridianName) + "," +
              Num(g.primeMeridianLongitude) + Authority(g.primeMeridianCode) +
              "],UNIT[\"metre\",1,AUTHORITY[\"EPSG\",\"9001\"]],AXIS[\"Geocentric X\",OTHER],"
              "AXIS[\"Geocentric Y\",OTHER],AXIS[\"Geocentric Z\",NORTH]" +
              Authority(code) + "]";
    } else {
        const std::string metre = "LENGTHUNIT[\"metre\",1]";
        auto axis = [&](const char* x, int order) {
            return ",AXIS[\"(" + std::string(x) + ")\",geocentric" + x + ",ORDER[" + std::to_string(order) +
                   "]," + metre + "]";
        };
        out = "GEODCRS[" + Quote(name) + "," + GeodeticFrame2(g) + ",CS[Cartesian,3]" + axis("X", 1) +
              axis("Y", 2) + axis("Z", 3) + Id(code) + "]";
    }
    text = CString(out);
    return true;
}

// GEOCCS, or a GEODCRS whose coordinate system is Cartesian.
bool IsGeocentricText(const ZrWktNode& root) {
    if (root.Is("GEOCCS")) return true;
    if (!root.Is("GEODCRS|GEODETICCRS")) return false;
    const ZrWktNode* c = root.Child("CS");
    return c && !c->children.empty() && ZrInteropSameName(c->children[0].text.c_str(), "Cartesian");
}

// The datum as a geographic system's, then the geocentric kind on it; the
// coordinates must be in metres (every EPSG geocentric system's unit).
bool ReadGeocentric(const ZrWktNode& root, CZrPJCoordSys& cs, CString* reason) {
    const bool wkt2 = !root.Is("GEOCCS");
    if (wkt2) {
        double dims = 3;
        if (root.Child("CS")->NumberAt(1, dims) && dims != 3)
            return Fail(reason, "a geocentric system whose coordinates are not 3-D"), false;
    }
    Reading r;
    if (!ReadGeographic(root, wkt2, r, reason)) return false;
    // The code the text states is the geocentric system's; the datum is
    // the geographic system's on it.
    ZrEpsgGeocentricRecord epsg;
    r.geog.code = r.geog.code > 0 && ZrEpsgFindGeocentric(r.geog.code, epsg) ? epsg.baseCode : 0;
    double factor = 1.0;
    const ZrWktNode* unit = root.Child("LENGTHUNIT|UNIT");
    if (!unit)
        for (const ZrWktNode* axis : root.Children("AXIS"))
            if ((unit = axis->Child("LENGTHUNIT|UNIT"))) break;
    if (unit && (!UnitFactor(unit, factor) || factor != 1.0))
        return Fail(reason, "a geocentric system in a unit other than the metre"), false;
    if (ZrActiveShiftCarrier())
        ZrActiveShiftCarrier()->values = r.towgs84;
    else if (!CheckTowgs84(r, reason))
        return false;
    return ZrInteropBuildGeocentric(r.geog, NameOf(root), cs, reason) != 0;
}

tagZrCrsTextFormat Wkt1Dialect(const ZrWktNode& root, const CString& text) {
    // ESRI's names carry prefixes, and its texts carry no authority, axis or TOWGS84.
    if (text.Find("AUTHORITY") >= 0 || text.Find("TOWGS84") >= 0 || text.Find("AXIS") >= 0 ||
        text.Find("EXTENSION") >= 0)
        return ZR_CRS_TEXT_WKT1_GDAL;
    if (text.Find("DATUM[\"D_") >= 0 || text.Find("GEOGCS[\"GCS_") >= 0) return ZR_CRS_TEXT_ESRI_WKT1;
    if (const ZrWktNode* p = root.Child("PROJECTION")) {
        std::string name;
        p->StringAt(0, name);
        const ZrMethodNames* m = ZrFindMethodByName(name.c_str());
        if (m && m->esriName && ZrInteropSameName(name.c_str(), m->esriName) &&
            !(m->wkt1Name && ZrInteropSameName(name.c_str(), m->wkt1Name)))
            return ZR_CRS_TEXT_ESRI_WKT1;
    }
    if (text.Find("UNIT[\"Degree\"") >= 0 || text.Find("UNIT[\"Meter\"") >= 0) return ZR_CRS_TEXT_ESRI_WKT1;
    return ZR_CRS_TEXT_WKT1_GDAL;
}

} // namespace

tagZrCrsTextFormat ZrWktDialectOf(const CString& text) {
    ZrWktNode root;
    if (!ZrParseWkt(text, root, nullptr)) return ZR_CRS_TEXT_UNKNOWN;
    if (root.Is("PROJCS|GEOGCS")) return Wkt1Dialect(root, text);
    if (root.Is(
            "PROJCRS|PROJECTEDCRS|GEOGCRS|GEOGRAPHICCRS|GEODCRS|GEODETICCRS|BOUNDCRS|COMPOUNDCRS|COMPD_CS|"
            "VERTCRS|ENGCRS|ENGINEERINGCRS|DERIVEDPROJCRS|PARAMETRICCRS|TIMECRS"))
        return root.Is("COMPD_CS") ? ZR_CRS_TEXT_WKT1_GDAL : ZR_CRS_TEXT_WKT2_2019;
    if (root.Is("GEOCCS|LOCAL_CS|VERT_CS|FITTED_CS")) return ZR_CRS_TEXT_WKT1_GDAL;
    return ZR_CRS_TEXT_UNKNOWN;
}

int ZrInteropBuildGeocentric(const ZrEpsgGeographicRecord& geog, const std::string& name, CZrPJCoordSys& cs,
                             CString* reason) {
    ZrEpsgGeographicRecord epsg;
    CZrPJCoordSys geographic;
    const bool epsgs = geog.code > 0 && ZrEpsgFindGeographic(geog.code, epsg) &&
                       std::fabs(epsg.semiMajorAxis - geog.semiMajorAxis) <= kZrMatchAxisMetres &&
                       std::fabs(epsg.inverseFlattening - geog.inverseFlattening) <= 1e-9 &&
                       epsg.primeMeridianLongitude == geog.primeMeridianLongitude;
    if (!(epsgs && ZrCoordSysFromEpsg(geog.code, geographic)) &&
        !ZrInteropBuild(geog, nullptr, geographic, reason))
        return 0;
    CZrPJCoordSys built;
    if (!built.Set(CString(name.c_str()), geographic.GetGCS(), CZrPJObject(PJ_KIND_GEOCENTRIC), CZrPJParams(),
                   kGeocentricMetres))
        return Fail(reason, "the geocentric system cannot be built"), 0;
    cs = built;
    return 1;
}

int ZrExportWkt(const CZrPJCoordSys& cs, tagZrCrsTextFormat dialect, CString& text, CString* reason) {
    if (dialect != ZR_CRS_TEXT_ESRI_WKT1 && dialect != ZR_CRS_TEXT_WKT1_GDAL &&
        dialect != ZR_CRS_TEXT_WKT2_2019)
        return Fail(reason, "not a well-known-text dialect"), 0;
    if (cs.GetType() == 0) return WritePlanar(cs, dialect, text, reason) ? 1 : 0;
    if (cs.GetProjection().GetType() == PJ_KIND_GEOCENTRIC)
        return WriteGeocentric(cs, dialect, text, reason) ? 1 : 0;
    ZrEpsgGeographicRecord g;
    ZrEpsgProjectedRecord p;
    bool projected = false;
    if (!ZrInteropDescribe(cs, g, p, projected, reason)) return 0;
    if (projected && !AuthalicInWkt(g, p, reason)) return 0;
    const long standsFor = g.code;
    const bool esri = dialect == ZR_CRS_TEXT_ESRI_WKT1;
    auto write = [&](const ZrEpsgGeographicRecord& gw, const ZrEpsgProjectedRecord& pw, std::string& out) {
        return dialect == ZR_CRS_TEXT_WKT2_2019
                   ? WriteWkt2(gw, projected ? &pw : nullptr, out)
                   : WriteWkt1(gw, projected ? &pw : nullptr, esri, standsFor, out, reason);
    };
    std::string out;
    ZrEpsgGeographicRecord ge = g;
    ZrEpsgProjectedRecord pe = p;
    // EPSG's own records where the system is EPSG's; its own description
    // (without the codes it does not deserve) when EPSG's method has no name
    // in the dialect.
    const bool replaced = ZrInteropAsWritten(cs, ge, projected ? &pe : nullptr, esri);
    bool ok = write(ge, pe, out);
    if (!ok && replaced) {
        ZrInteropAsWritten(cs, g, nullptr, esri);
        p.code = 0;
        ok = write(g, p, out);
    }
    if (!ok) return 0;
    text = CString(out);
    return 1;
}

int ZrImportWkt(const CString& text, CZrPJCoordSys& cs, CString* reason, tagZrCrsTextFormat* dialect) {
    ZrWktNode root;
    if (!ZrParseWkt(text, root, reason)) return 0;
    Reading r;
    tagZrCrsTextFormat form = ZR_CRS_TEXT_UNKNOWN;
    const ZrWktNode* crs = &root;
    bool ok = false;
    if (IsGeocentricText(root)) {
        if (!ReadGeocentric(root, cs, reason)) return 0;
        if (dialect) *dialect = root.Is("GEOCCS") ? ZR_CRS_TEXT_WKT1_GDAL : ZR_CRS_TEXT_WKT2_2019;
        return 1;
    } else if (root.Is("PROJCS|GEOGCS")) {
        form = Wkt1Dialect(root, text);
        ok = ReadWkt1(root, r, reason);
    } else if (root.Is("PROJCRS|PROJECTEDCRS|GEOGCRS|GEOGRAPHICCRS|GEODCRS|GEODETICCRS|BOUNDCRS")) {
        form = ZR_CRS_TEXT_WKT2_2019;
        ok = true;
        if (root.Is("BOUNDCRS")) ok = ReadBound(root, crs, r, reason);
        if (ok && !crs->Is("PROJCRS|PROJECTEDCRS|GEOGCRS|GEOGRAPHICCRS|GEODCRS|GEODETICCRS"))
            ok = Fail(reason, CString(crs->text.c_str()) + " is not a geographic or projected system");
        const std::vector<double> towgs = r.towgs84;
        if (ok) ok = ReadWkt2(*crs, r, reason);
        if (ok && !towgs.empty()) r.towgs84 = towgs;
    } else if (root.Is("LOCAL_CS|ENGCRS|ENGINEERINGCRS")) {
        if (!ReadPlanar(root, cs, reason)) return 0;
        if (dialect) *dialect = root.Is("LOCAL_CS") ? ZR_CRS_TEXT_WKT1_GDAL : ZR_CRS_TEXT_WKT2_2019;
        return 1;
    } else {
        return Fail(reason, CString(root.text.c_str()) + " is not a geographic, projected or planar system"),
               0;
    }
    if (ok && ZrActiveShiftCarrier())
        ZrActiveShiftCarrier()->values = r.towgs84; // carried beside the system, any values
    else if (ok)
        ok = CheckTowgs84(r, reason);
    if (!ok || (r.projected && !AuthalicInWkt(r.geog, r.proj, reason))) return 0;
    CZrPJCoordSys built;
    if (!ZrInteropBuildImported(r.geog, r.projected ? &r.proj : nullptr, built, reason)) return 0;
    cs = built;
    if (dialect) *dialect = form;
    return 1;
}
