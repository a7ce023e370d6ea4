// PROJJSON (https://proj.org/schemas/v0.5/projjson.schema.json), read and
// written the way PROJ 9 writes it.
//
// Reading accepts GeographicCRS (and GeodeticCRS with an ellipsoidal
// coordinate system), ProjectedCRS, a BoundCRS around one of them, and
// EngineeringCRS, the form of a planar system (easting, northing in one linear
// unit, no earth model). Values
// carry their units; a unit PROJ names (degree, grad, metre, US survey foot,
// ...) is taken at its exact factor, not at the rounded conversion_factor
// written beside it. The description becomes the EPSG-style records of the
// interop core and builds through ZrInteropBuild; writing describes the system
// through ZrInteropDescribe.
//
// A BoundCRS's transformation to WGS 84 (a geocentric translation or a
// Helmert, as PROJ writes +towgs84) is honoured, never dropped, by the rule
// of ZrHonourShift: a system here holds no shift of its own, so the shift must
// be the one EPSG prefers for the geographic system the text names (or,
// unnamed, identify that system). Grid-based and other transformations are
// refused.

#include "interop/ZrInteropCore_p.h"
#include "interop/ZrInteropForms_p.h"
#include "interop/ZrInteropMatch_p.h"
#include "interop/json_p.h"
#include "interop/proj_common_p.h"

#include <cctype>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr double kPi = 3.14159265358979323846;

class JsonReader {
public:
    explicit JsonReader(CString* reason) : m_reason(reason) {}

    int Fail(const std::string& why) {
        if (m_reason) *m_reason = CString(ZrShortReason("PROJJSON: " + why).c_str());
        return 0;
    }

    static std::string Name(const ZrJson* object) {
        const ZrJson* n = object ? object->Get("name") : nullptr;
        return n && n->IsString() ? n->text : std::string();
    }
    // An EPSG code from "id" (or the first of "ids"); 0 when there is none.
    static long EpsgId(const ZrJson* object) {
        if (!object) return 0;
        const ZrJson* id = object->Get("id");
        if (!id) {
            const ZrJson* ids = object->Get("ids");
            if (ids && ids->IsArray() && !ids->items.empty()) id = &ids->items[0];
        }
        if (!id || !id->IsObject()) return 0;
        const ZrJson* auth = id->Get("authority");
        const ZrJson* code = id->Get("code");
        if (!auth || !auth->IsString() || auth->text != "EPSG" || !code) return 0;
        if (code->IsNumber() && code->number == std::floor(code->number) && code->number > 0 &&
            code->number < 1e9)
            return long(code->number);
        if (code->IsString()) {
            double v;
            if (ZrReadNumber(code->text, v) && v == std::floor(v) && v > 0 && v < 1e9) return long(v);
        }
        return 0;
    }

    enum Quantity { ANGLE, LENGTH, SCALE };

    // The factor of a unit: degrees, metres or a ratio per unit.
    int UnitFactor(const ZrJson* unit, Quantity q, double& factor, const std::string& what) {
        if (!unit) {
            factor = 1.0; // PROJJSON's defaults: degree, metre, unity
            return 1;
        }
        std::string name;
        const ZrJson* cf = nullptr;
        if (unit->IsString()) {
            name = unit->text;
        } else if (unit->IsObject()) {
            name = Name(unit);
            cf = unit->Get("conversion_factor");
            if (cf && !cf->IsNumber())
                return Fail("the unit of " + what + " has a conversion_factor that is no number");
        } else {
            return Fail("the unit of " + what + " is neither a name nor an object");
        }
        if (q == ANGLE) {
            static const struct {
                const char* name;
                double degrees;
            } kAngles[] = {{"degree", 1.0},
                           {"grad", 0.9},
                           {"gon", 0.9},
                           {"radian", 180.0 / kPi},
                           {"arc-second", 1.0 / 3600.0},
                           {"arc-minute", 1.0 / 60.0},
                           {"microradian", 180e-6 / kPi},
                           {"degree (supplier to define representation)", 1.0}};
            for (const auto& a : kAngles)
                if (name == a.name) {
                    factor = a.degrees;
                    return 1;
                }
            if (cf && cf->number > 0) {
                factor = cf->number * 180.0 / kPi;
                return 1;
            }
        } else if (q == LENGTH) {
            if (const ZrLinearUnit* u = ZrFindUnitByName(name.c_str())) {
                factor = u->toMetre;
                return 1;
            }
            if (cf && cf->number > 0) {
                const ZrLinearUnit* u = ZrFindUnitByFactor(cf->number);
                factor = u ? u->toMetre : cf->number;
                return 1;
            }
        } else {
            if (name == "unity") {
                factor = 1.0;
                return 1;
            }
            if (name == "parts per million") {
                factor = 1e-6;
                return 1;
            }
            if (cf && cf->number > 0) {
                factor = cf->number;
                return 1;
            }
        }
        return Fail("unknown unit \"" + name + "\" for " + what);
    }

    // A value written as a number (in the default unit) or {"value", "unit"}.
    int Value(const ZrJson* v, Quantity q, const ZrJson* unit, double& out, const std::string& what) {
        if (!v) return Fail("no " + what);
        double raw;
        if (v->IsNumber()) {
            raw = v->number;
        } else if (v->IsObject() && v->Get("value") && v->Get("value")->IsNumber()) {
            raw = v->Get("value")->number;
            unit = v->Get("unit");
        } else {
            return Fail(what + " is not a number");
        }
        double f;
        if (!UnitFactor(unit, q, f, what)) return 0;
        out = raw * f;
        if (!std::isfinite(out)) return Fail(what + " is out of range");
        return 1;
    }

    int Geographic(const ZrJson& crs, ZrEpsgGeographicRecord& g);
    int Projected(const ZrJson& crs, ZrEpsgProjectedRecord& p, ZrEpsgGeographicRecord& g);
    int Transformation(const ZrJson& bound, std::vector<double>& shift);
    int Planar(const ZrJson& crs, CZrPJCoordSys& cs, CString* reason);

private:
    CString* m_reason;
};

int JsonReader::Geographic(const ZrJson& crs, ZrEpsgGeographicRecord& g) {
    g.code = EpsgId(&crs);
    g.name = Name(&crs);
    const ZrJson* datum = crs.Get("datum");
    if (!datum) datum = crs.Get("datum_ensemble");
    if (!datum || !datum->IsObject()) return Fail("the geographic system has no datum");
    if (const ZrJson* t = datum->Get("type"))
        if (!t->IsString() || (t->text != "GeodeticReferenceFrame" &&
                               t->text != "DynamicGeodeticReferenceFrame" && t->text != "DatumEnsemble"))
            return Fail("a datum of type " + (t->IsString() ? t->text : std::string("?")) +
                        " cannot be expressed");
    g.datumCode = EpsgId(datum);
    g.datumName = Name(datum);

    const ZrJson* e = datum->Get("ellipsoid");
    if (!e || !e->IsObject()) return Fail("the datum has no ellipsoid");
    g.ellipsoidCode = EpsgId(e);
    g.ellipsoidName = Name(e);
    double a, rf = 0;
    if (const ZrJson* r = e->Get("radius")) {
        if (!Value(r, LENGTH, nullptr, a, "the ellipsoid's radius")) return 0;
    } else {
        if (!Value(e->Get("semi_major_axis"), LENGTH, nullptr, a, "the semi-major axis")) return 0;
        if (const ZrJson* inv = e->Get("inverse_flattening")) {
            if (!Value(inv, SCALE, nullptr, rf, "the inverse flattening")) return 0;
            if (rf != 0 && !(rf > 1)) return Fail("the inverse flattening must be above 1");
        } else if (const ZrJson* b = e->Get("semi_minor_axis")) {
            double bv;
            if (!Value(b, LENGTH, nullptr, bv, "the semi-minor axis")) return 0;
            if (!(bv > 0 && bv <= a))
                return Fail("the semi-minor axis must be positive and at most the semi-major");
            rf = bv == a ? 0.0 : a / (a - bv);
        } else {
            return Fail("the ellipsoid has neither inverse_flattening nor semi_minor_axis");
        }
    }
    if (!(a > 0)) return Fail("the semi-major axis must be positive");
    g.semiMajorAxis = a;
    g.inverseFlattening = rf;

    g.primeMeridianCode = 8901;
    g.primeMeridianName = "Greenwich";
    g.primeMeridianLongitude = 0.0;
    if (const ZrJson* pm = datum->Get("prime_meridian")) {
        if (!pm->IsObject()) return Fail("the prime meridian is not an object");
        double lon = 0;
        if (pm->Get("longitude") && !Value(pm->Get("longitude"), ANGLE, nullptr, lon, "the prime meridian"))
            return 0;
        if (!(lon >= -180 && lon <= 180)) return Fail("the prime meridian is beyond 180 degrees");
        g.primeMeridianLongitude = lon;
        g.primeMeridianName = Name(pm);
        long code = EpsgId(pm);
        g.primeMeridianCode = code ? code : (lon == 0 ? 8901 : 0);
    }

    // The axes: two, latitude and longitude in either order, in angular units.
    g.latitudeFirst = true;
    const ZrJson* cs = crs.Get("coordinate_system");
    if (cs) {
        const ZrJson* sub = cs->Get("subtype");
        if (sub && (!sub->IsString() || sub->text != "ellipsoidal"))
            return Fail("a geodetic system with a " + (sub->IsString() ? sub->text : std::string("?")) +
                        " coordinate system cannot be expressed");
        const ZrJson* axes = cs->Get("axis");
        if (axes && axes->IsArray()) {
            if (axes->items.size() != 2)
                return Fail("a geographic system with other than two axes cannot be expressed");
            const ZrJson* d0 = axes->items[0].Get("direction");
            const ZrJson* d1 = axes->items[1].Get("direction");
            std::string a0 = d0 && d0->IsString() ? d0->text : "", a1 = d1 && d1->IsString() ? d1->text : "";
            if (a0 == "north" && a1 == "east")
                g.latitudeFirst = true;
            else if (a0 == "east" && a1 == "north")
                g.latitudeFirst = false;
            else
                return Fail("geographic axes " + a0 + ", " + a1 + " cannot be expressed");
        }
    }
    return 1;
}

int JsonReader::Projected(const ZrJson& crs, ZrEpsgProjectedRecord& p, ZrEpsgGeographicRecord& g) {
    p.code = EpsgId(&crs);
    p.name = Name(&crs);
    const ZrJson* base = crs.Get("base_crs");
    if (!base || !base->IsObject()) return Fail("the projected system has no base_crs");
    if (const ZrJson* t = base->Get("type"))
        if (!t->IsString() || (t->text != "GeographicCRS" && t->text != "GeodeticCRS"))
            return Fail("a base system of type " + (t->IsString() ? t->text : std::string("?")) +
                        " cannot be expressed");
    if (!Geographic(*base, g)) return 0;
    p.baseGeographicCode = g.code;

    // The linear unit and axis order come from the projected axes.
    double toMetre = 1.0;
    const ZrJson* axisUnit = nullptr;
    p.axisOrder = "EN";
    const ZrJson* cs = crs.Get("coordinate_system");
    if (cs && cs->IsObject()) {
        const ZrJson* sub = cs->Get("subtype");
        if (sub && (!sub->IsString() || sub->text != "Cartesian"))
            return Fail("a projected system with a non-Cartesian coordinate system cannot be expressed");
        const ZrJson* axes = cs->Get("axis");
        if (axes && axes->IsArray()) {
            if (axes->items.size() != 2)
                return Fail("a projected system with other than two axes cannot be expressed");
            std::string order;
            for (const ZrJson& ax : axes->items) {
                const ZrJson* d = ax.Get("direction");
                std::string dir = d && d->IsString() ? d->text : "";
                if (dir.empty()) return Fail("an axis without a direction");
                order += char(std::toupper(static_cast<unsigned char>(dir[0])));
                if (dir != "east" && dir != "north" && dir != "west" && dir != "south")
                    return Fail("an axis pointing " + dir + " cannot be expressed");
            }
            p.axisOrder = order;
            const ZrJson* u0 = axes->items[0].Get("unit");
            const ZrJson* u1 = axes->items[1].Get("unit");
            double f0, f1;
            if (!UnitFactor(u0, LENGTH, f0, "the first axis") ||
                !UnitFactor(u1, LENGTH, f1, "the second axis"))
                return 0;
            if (f0 != f1) return Fail("the two axes have different units");
            toMetre = f0;
            axisUnit = u0;
        }
    }
    p.linearUnitToMetre = toMetre;
    const ZrLinearUnit* known = ZrFindUnitByFactor(toMetre);
    p.linearUnitCode = known ? known->epsgCode : 0;
    p.linearUnitName = known ? known->epsgName
                             : (axisUnit && axisUnit->IsObject() ? Name(axisUnit) : std::string("unknown"));

    const ZrJson* conv = crs.Get("conversion");
    if (!conv || !conv->IsObject()) return Fail("the projected system has no conversion");
    p.conversionCode = EpsgId(conv);
    p.conversionName = Name(conv);
    const ZrJson* method = conv->Get("method");
    if (!method || !method->IsObject()) return Fail("the conversion has no method");
    const ZrMethodNames* m = nullptr;
    if (long code = EpsgId(method)) m = ZrFindMethod(code);
    std::string methodName = Name(method);
    if (!m && !methodName.empty()) m = ZrFindMethodByName(methodName.c_str());
    if (!m) return Fail("the method \"" + methodName + "\" is not one the library has");
    p.methodCode = m->code;
    p.methodName = m->epsgName;

    const ZrJson* params = conv->Get("parameters");
    if (params && !params->IsArray()) return Fail("the parameters are not a list");
    if (params) {
        for (const ZrJson& q : params->items) {
            if (!q.IsObject()) return Fail("a parameter is not an object");
            std::string qname = Name(&q);
            long code = EpsgId(&q);
            const ZrParameterNames* names = nullptr;
            if (code) {
                const ZrParameterNames* list[16];
                int n = ZrMethodParameters(m->code, list, 16);
                for (int i = 0; i < n && i < 16; ++i)
                    if (list[i]->code == code) names = list[i];
            }
            if (!names && !qname.empty()) names = ZrFindParameterByName(m->code, qname.c_str());
            if (!names) return Fail("the parameter \"" + qname + "\" is not one of " + methodName);
            Quantity quantity = names->quantity == ZR_PARAM_ANGLE    ? ANGLE
                                : names->quantity == ZR_PARAM_LENGTH ? LENGTH
                                                                     : SCALE;
            double v;
            if (!Value(q.Get("value"), quantity, q.Get("unit"), v, "the parameter \"" + qname + "\""))
                return 0;
            if (quantity == LENGTH) v /= toMetre;
            if (names->code == 8813 || names->code == 8814) v = ZrDirectionDegrees(v);
            for (const auto& have : p.parameters)
                if (have.code == names->code) return Fail("the parameter \"" + qname + "\" is given twice");
            ZrEpsgParameter e;
            e.code = names->code;
            e.value = v;
            p.parameters.push_back(e);
        }
    }
    return 1;
}

// A BoundCRS's transformation as 3 or 7 position-vector values (metres,
// arc-seconds, ppm), for ZrHonourShift.
int JsonReader::Transformation(const ZrJson& bound, std::vector<double>& shift) {
    const ZrJson* target = bound.Get("target_crs");
    if (!target || (EpsgId(target) != 4326 && Name(target) != "WGS 84"))
        return Fail("a BoundCRS whose target is not WGS 84");
    const ZrJson* t = bound.Get("transformation");
    if (!t || !t->IsObject()) return Fail("the BoundCRS has no transformation");
    const ZrJson* method = t->Get("method");
    const long code = EpsgId(method);
    const bool translation = code == 9603 || code == 1031;
    const bool positionVector = code == 9606 || code == 1033;
    const bool coordinateFrame = code == 9607 || code == 1032;
    if (!translation && !positionVector && !coordinateFrame)
        return Fail("a BoundCRS with the transformation \"" + Name(method) +
                    "\" (grid-based or other) cannot be expressed");
    static const long kCodes[7] = {8605, 8606, 8607, 8608, 8609, 8610, 8611};
    shift.assign(7, 0.0);
    const ZrJson* params = t->Get("parameters");
    if (params && params->IsArray())
        for (const ZrJson& q : params->items) {
            const long c = EpsgId(&q);
            for (int i = 0; i < 7; ++i) {
                if (c != kCodes[i]) continue;
                const Quantity quantity = i < 3 ? LENGTH : i < 6 ? ANGLE : SCALE;
                double v;
                if (!Value(q.Get("value"), quantity, q.Get("unit"), v, "a transformation parameter"))
                    return 0;
                shift[size_t(i)] = i < 3 ? v : i < 6 ? v * 3600.0 : v * 1e6; // arc-seconds, ppm
            }
        }
    if (coordinateFrame)
        for (int i = 3; i < 6; ++i)
            shift[size_t(i)] = -shift[size_t(i)];
    if (translation) shift.resize(3);
    return 1;
}

// A planar system travels as an engineering system: plain easting and
// northing in one linear unit, tied to no earth model.
int JsonReader::Planar(const ZrJson& crs, CZrPJCoordSys& cs, CString* reason) {
    const ZrJson* c = crs.Get("coordinate_system");
    const ZrJson* axes = c ? c->Get("axis") : nullptr;
    const ZrJson* sub = c ? c->Get("subtype") : nullptr;
    if (!axes || !axes->IsArray() || axes->items.size() != 2 ||
        (sub && (!sub->IsString() || sub->text != "Cartesian")))
        return Fail("an engineering system whose coordinates are not 2-D Cartesian");
    std::string order;
    for (const ZrJson& ax : axes->items) {
        const ZrJson* d = ax.Get("direction");
        order += d && d->IsString() && !d->text.empty()
                     ? char(std::toupper(static_cast<unsigned char>(d->text[0])))
                     : '?';
    }
    if (order != "EN" && order != "NE")
        return Fail("planar axes " + order + ": only east and north axes are expressible");
    double f0, f1;
    if (!UnitFactor(axes->items[0].Get("unit"), LENGTH, f0, "the first axis") ||
        !UnitFactor(axes->items[1].Get("unit"), LENGTH, f1, "the second axis"))
        return 0;
    if (f0 != f1) return Fail("the two axes have different units");
    ZrEpsgProjectedRecord unit;
    const ZrLinearUnit* known = ZrFindUnitByFactor(f0);
    unit.linearUnitToMetre = f0;
    unit.linearUnitCode = known ? known->epsgCode : 0;
    unit.linearUnitName = known ? known->epsgName : "unknown";
    long units = 0;
    if (!ZrInteropUnitCode(unit, units, reason)) return 0;
    CZrPJCoordSys planar;
    planar.SetPlanar(units);
    cs = planar;
    return 1;
}

// Writing.

void Id(ZrJsonWriter& w, long code) {
    if (code <= 0) return;
    w.Key("id");
    w.BeginObject();
    w.Key("authority");
    w.String("EPSG");
    w.Key("code");
    w.Integer(code);
    w.EndObject();
}

void LinearUnit(ZrJsonWriter& w, const ZrEpsgProjectedRecord& p) {
    if (p.linearUnitToMetre == 1.0) {
        w.String("metre");
        return;
    }
    const ZrLinearUnit* u = ZrFindUnitByFactor(p.linearUnitToMetre);
    w.BeginObject();
    w.Key("type");
    w.String("LinearUnit");
    w.Key("name");
    w.String(u && u->toMetre == p.linearUnitToMetre ? u->epsgName
             : p.linearUnitName.empty()             ? "unknown"
                                                    : p.linearUnitName);
    w.Key("conversion_factor");
    w.Number(p.linearUnitToMetre);
    if (u && u->epsgCode && u->toMetre == p.linearUnitToMetre) Id(w, u->epsgCode);
    w.EndObject();
}

void Axis(ZrJsonWriter& w, const char* name, const char* abbreviation, const char* direction,
          const ZrEpsgProjectedRecord* p) {
    w.BeginObject();
    w.Key("name");
    w.String(name);
    w.Key("abbreviation");
    w.String(abbreviation);
    w.Key("direction");
    w.String(direction);
    w.Key("unit");
    if (p)
        LinearUnit(w, *p);
    else
        w.String("degree");
    w.EndObject();
}

// The Cartesian coordinate system of a projected or engineering system, in
// the grid's unit: easting first unless northFirst.
void CartesianSystem(ZrJsonWriter& w, const ZrEpsgProjectedRecord& p, bool northFirst) {
    // A south-orientated method counts westwards and southwards whatever its
    // axes are called, so its axes say so; the west-orientated Lambert
    // counts westwards and northwards.
    const bool southWest = p.axisOrder == "WS" || p.axisOrder == "SW";
    const bool westNorth = p.axisOrder == "WN" || p.axisOrder == "NW";
    northFirst = northFirst || p.axisOrder == "SW";
    w.Key("coordinate_system");
    w.BeginObject();
    w.Key("subtype");
    w.String("Cartesian");
    w.Key("axis");
    w.BeginArray();
    auto across = [&] {
        southWest || westNorth ? Axis(w, "Westing", "W", "west", &p) : Axis(w, "Easting", "E", "east", &p);
    };
    auto along = [&] {
        southWest ? Axis(w, "Southing", "S", "south", &p) : Axis(w, "Northing", "N", "north", &p);
    };
    if (northFirst) along();
    across();
    if (!northFirst) along();
    w.EndArray();
    w.EndObject();
}

void GeographicBody(ZrJsonWriter& w, const ZrEpsgGeographicRecord& g, bool geocentric = false) {
    w.Key("name");
    w.String(g.name.empty() ? "unknown" : g.name);
    w.Key("datum");
    w.BeginObject();
    w.Key("type");
    w.String("GeodeticReferenceFrame");
    w.Key("name");
    w.String(g.datumName.empty() ? "unknown" : g.datumName);
    w.Key("ellipsoid");
    w.BeginObject();
    w.Key("name");
    w.String(g.ellipsoidName.empty() ? "unknown" : g.ellipsoidName);
    if (g.inverseFlattening == 0) {
        w.Key("radius");
        w.Number(g.semiMajorAxis);
    } else {
        w.Key("semi_major_axis");
        w.Number(g.semiMajorAxis);
        w.Key("inverse_flattening");
        w.Number(g.inverseFlattening);
    }
    Id(w, g.ellipsoidCode);
    w.EndObject();
    if (g.primeMeridianLongitude != 0) {
        w.Key("prime_meridian");
        w.BeginObject();
        w.Key("name");
        w.String(g.primeMeridianName.empty() ? "unknown" : g.primeMeridianName);
        w.Key("longitude");
        w.Number(g.primeMeridianLongitude);
        Id(w, g.primeMeridianCode);
        w.EndObject();
    }
    Id(w, g.datumCode);
    w.EndObject();
    w.Key("coordinate_system");
    w.BeginObject();
    if (geocentric) {
        // X, Y, Z in metres, as PROJ writes EPSG's geocentric systems.
        ZrEpsgProjectedRecord metre;
        w.Key("subtype");
        w.String("Cartesian");
        w.Key("axis");
        w.BeginArray();
        Axis(w, "Geocentric X", "X", "geocentricX", &metre);
        Axis(w, "Geocentric Y", "Y", "geocentricY", &metre);
        Axis(w, "Geocentric Z", "Z", "geocentricZ", &metre);
        w.EndArray();
        w.EndObject();
        Id(w, g.code);
        return;
    }
    w.Key("subtype");
    w.String("ellipsoidal");
    w.Key("axis");
    w.BeginArray();
    if (g.latitudeFirst) {
        Axis(w, "Geodetic latitude", "Lat", "north", nullptr);
        Axis(w, "Geodetic longitude", "Lon", "east", nullptr);
    } else {
        Axis(w, "Geodetic longitude", "Lon", "east", nullptr);
        Axis(w, "Geodetic latitude", "Lat", "north", nullptr);
    }
    w.EndArray();
    w.EndObject();
    Id(w, g.code);
}

int ExportFail(CString* reason, const std::string& why) {
    if (reason) *reason = CString(("PROJJSON: " + why).c_str());
    return 0;
}

} // namespace

namespace {
// A caller that carries the shift takes it with any values; else the rule of
// ZrHonourShift.
int TakeShift(const std::vector<double>& shift, ZrEpsgGeographicRecord& g, std::string& why) {
    if (ZrShiftCarrier* carrier = ZrActiveShiftCarrier()) {
        carrier->values = shift;
        return 1;
    }
    return ZrHonourShift(shift, g, why);
}
} // namespace

namespace {
bool IsCartesian(const ZrJson& crs) {
    const ZrJson* c = crs.Get("coordinate_system");
    const ZrJson* sub = c ? c->Get("subtype") : nullptr;
    return sub && sub->IsString() && sub->text == "Cartesian";
}
} // namespace

int ZrImportProjJson(const CString& text, CZrPJCoordSys& cs, CString* reason) {
    JsonReader r(reason);
    ZrJson doc;
    std::string why;
    if (!ZrJsonParse(text.str(), doc, why)) {
        if (reason) *reason = CString(why.c_str());
        return 0;
    }
    if (!doc.IsObject()) return r.Fail("the text is not a JSON object");
    const ZrJson* crs = &doc;
    const ZrJson* type = crs->Get("type");
    if (!type || !type->IsString()) return r.Fail("no \"type\"");
    std::vector<double> shift;
    if (type->text == "BoundCRS") {
        if (!r.Transformation(*crs, shift)) return 0;
        crs = crs->Get("source_crs");
        if (!crs || !crs->IsObject()) return r.Fail("the BoundCRS has no source_crs");
        type = crs->Get("type");
        if (!type || !type->IsString()) return r.Fail("the source_crs has no \"type\"");
    }
    ZrEpsgGeographicRecord g;
    if (type->text == "GeodeticCRS" && IsCartesian(*crs)) {
        // A geocentric system: its datum read as a geographic system's, then
        // the geocentric kind on it, in metres (every axis's unit).
        ZrJson datumOnly = *crs;
        for (auto& m : datumOnly.members)
            if (m.first == "coordinate_system") {
                if (const ZrJson* axes = m.second.Get("axis"))
                    for (const ZrJson& axis : axes->items)
                        if (const ZrJson* u = axis.Get("unit"))
                            if (!u->IsString() || u->text != "metre")
                                return r.Fail("a geocentric system in a unit other than the metre");
                m.second = ZrJson();
            }
        if (!r.Geographic(datumOnly, g)) return 0;
        ZrEpsgGeocentricRecord epsg; // the stated code is the geocentric system's
        g.code = g.code > 0 && ZrEpsgFindGeocentric(g.code, epsg) ? epsg.baseCode : 0;
        if (!TakeShift(shift, g, why)) return r.Fail(why);
        return ZrInteropBuildGeocentric(g, g.name, cs, reason);
    }
    if (type->text == "GeographicCRS" || type->text == "GeodeticCRS") {
        if (!r.Geographic(*crs, g)) return 0;
        if (!TakeShift(shift, g, why)) return r.Fail(why);
        return ZrInteropBuildImported(g, nullptr, cs, reason);
    }
    if (type->text == "ProjectedCRS") {
        ZrEpsgProjectedRecord p;
        if (!r.Projected(*crs, p, g)) return 0;
        if (!TakeShift(shift, g, why)) return r.Fail(why);
        if (!ZrSphereOfRadiusA(p.methodCode, g.inverseFlattening, why)) return r.Fail(why);
        p.baseGeographicCode = g.code;
        return ZrInteropBuildImported(g, &p, cs, reason);
    }
    if (type->text == "EngineeringCRS" && shift.empty()) return r.Planar(*crs, cs, reason);
    return r.Fail("a " + type->text + " cannot be expressed");
}

int ZrExportProjJson(const CZrPJCoordSys& cs, CString& text, CString* reason) {
    ZrEpsgGeographicRecord g;
    ZrEpsgProjectedRecord p;
    bool projected = false;
    CString why;
    if (cs.GetType() == 0) {
        ZrInteropDescribeUnit(cs.GetDistUnits(), p);
        ZrJsonWriter w;
        w.BeginObject();
        w.Key("$schema");
        w.String("https://proj.org/schemas/v0.5/projjson.schema.json");
        w.Key("type");
        w.String("EngineeringCRS");
        w.Key("name");
        w.String(cs.GetName().str());
        w.Key("datum");
        w.BeginObject();
        w.Key("name");
        w.String("Unknown engineering datum");
        w.EndObject();
        CartesianSystem(w, p, false);
        w.EndObject();
        text = CString(w.Text().c_str());
        return 1;
    }
    if (cs.GetProjection().GetType() == PJ_KIND_GEOCENTRIC) {
        // The datum as the geographic system on it writes it; the name and
        // code the geocentric system's.
        CZrPJCoordSys geographic;
        geographic.SetEarth(cs.GetGCS(), 10000); // metres
        if (!ZrInteropDescribe(geographic, g, p, projected, reason)) return 0;
        ZrInteropAsWritten(geographic, g, nullptr, false);
        g.name = cs.GetName().str();
        g.code = g.code > 0 ? ZrEpsgGeocentricOf(g.code, g.name) : 0;
        ZrJsonWriter w;
        w.BeginObject();
        w.Key("$schema");
        w.String("https://proj.org/schemas/v0.5/projjson.schema.json");
        w.Key("type");
        w.String("GeodeticCRS");
        GeographicBody(w, g, true);
        w.EndObject();
        text = CString(w.Text().c_str());
        return 1;
    }
    if (!ZrInteropDescribe(cs, g, p, projected, &why)) {
        if (reason) *reason = why;
        return 0;
    }
    ZrInteropAsWritten(cs, g, projected ? &p : nullptr, false);
    ZrJsonWriter w;
    w.BeginObject();
    w.Key("$schema");
    w.String("https://proj.org/schemas/v0.5/projjson.schema.json");
    if (!projected) {
        w.Key("type");
        w.String("GeographicCRS");
        GeographicBody(w, g);
        w.EndObject();
        text = CString(w.Text().c_str());
        return 1;
    }
    const ZrMethodNames* m = ZrFindMethod(p.methodCode);
    if (!m) return ExportFail(reason, "the method " + std::to_string(p.methodCode) + " has no name");
    std::string authalic;
    if (!ZrSphereOfRadiusA(p.methodCode, g.inverseFlattening, authalic)) return ExportFail(reason, authalic);
    w.Key("type");
    w.String("ProjectedCRS");
    w.Key("name");
    w.String(p.name.empty() ? "unknown" : p.name);
    w.Key("base_crs");
    w.BeginObject();
    GeographicBody(w, g);
    w.EndObject();

    w.Key("conversion");
    w.BeginObject();
    w.Key("name");
    w.String(p.conversionName.empty() ? "unknown" : p.conversionName);
    w.Key("method");
    w.BeginObject();
    w.Key("name");
    w.String(m->epsgName);
    // The library's own kinds carry their kind code, which is no EPSG method.
    if (m->code < 43000 || m->code > 43999) Id(w, m->code);
    w.EndObject();
    w.Key("parameters");
    w.BeginArray();
    const ZrParameterNames* list[16];
    int n = ZrMethodParameters(p.methodCode, list, 16);
    for (const auto& q : p.parameters) {
        const ZrParameterNames* names = nullptr;
        for (int i = 0; i < n && i < 16; ++i)
            if (list[i]->code == q.code) names = list[i];
        if (!names) return ExportFail(reason, "the parameter " + std::to_string(q.code) + " has no name");
        w.BeginObject();
        w.Key("name");
        w.String(names->epsgName);
        w.Key("value");
        w.Number(q.value);
        w.Key("unit");
        if (names->quantity == ZR_PARAM_ANGLE)
            w.String("degree");
        else if (names->quantity == ZR_PARAM_SCALE)
            w.String("unity");
        else
            LinearUnit(w, p);
        Id(w, names->code);
        w.EndObject();
    }
    w.EndArray();
    Id(w, p.conversionCode);
    w.EndObject();

    CartesianSystem(w, p, !p.axisOrder.empty() && p.axisOrder[0] == 'N');
    Id(w, p.code);
    w.EndObject();
    text = CString(w.Text().c_str());
    return 1;
}
