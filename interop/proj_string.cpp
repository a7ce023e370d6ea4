// PROJ strings: "+proj=tmerc +lat_0=0 +lon_0=117 ... +type=crs".
//
// A PROJ string names a projection, its parameters, an ellipsoid, a prime
// meridian and a unit; it carries no authority codes, and a name only in
// +title, which PROJ reads and ignores (we write the system's name there, and
// a title that names a catalogue row of the same definition gives that row
// back). A planar system has no PROJ string. Reading
// turns it into the EPSG-style records of the interop core and builds through
// ZrInteropBuild; writing describes the system through ZrInteropDescribe. The
// method and parameter names come from the core's table, except where one
// PROJ name stands for several EPSG methods (lcc, merc, omerc, utm).
//
// What a string may say that our systems cannot hold is refused, naming the
// key: an explicit grid shift (+nadgrids, +geoidgrids), axis orders other
// than east/north, vertical units, pipelines and +init files. A +towgs84
// shift is honoured, never dropped (a system here holds no shift of its own):
// it must be zero, or identify the EPSG geographic system whose preferred
// shift it is (ZrHonourShift), which the string then means. PROJ's named
// datums (+datum=NAD27, whose way to WGS 84 is a grid) are datums like any
// other: their way to WGS 84 is a transformation, not part of the system.
//
// PROJ's eqc computes on the sphere of radius a even on an ellipsoid, where
// the library's equidistant cylindrical follows the meridian arc (as EPSG's
// method does): on an ellipsoid the two mean different things, so that case
// is refused both ways.

#include "interop/ZrInteropCore_p.h"
#include "interop/ZrInteropForms_p.h"
#include "interop/ZrInteropMatch_p.h"
#include "interop/proj_common_p.h"
#include "model/ZrPJTypes.h"
#include "model/catalogue/ZrProjectedCatalogue.h"
#include "platform/ZrToolkit.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

namespace {

// PROJ's built-in ellipsoids with their published defining values: a and the
// inverse flattening, or a and b where that is how they are defined.
struct ProjEllipsoid {
    const char* id;
    const char* name;
    double a;
    double rf; // 0 when b defines the shape
    double b;
};
const ProjEllipsoid kEllipsoids[] = {
    {"MERIT", "MERIT 1983", 6378137.0, 298.257, 0},
    {"SGS85", "Soviet Geodetic System 85", 6378136.0, 298.257, 0},
    {"GRS80", "GRS 1980", 6378137.0, 298.257222101, 0},
    {"IAU76", "IAU 1976", 6378140.0, 298.257, 0},
    {"airy", "Airy 1830", 6377563.396, 299.3249646, 0},
    {"APL4.9", "Appl. Physics. 1965", 6378137.0, 298.25, 0},
    {"NWL9D", "Naval Weapons Lab., 1965", 6378145.0, 298.25, 0},
    {"mod_airy", "Modified Airy", 6377340.189, 0, 6356034.446},
    {"andrae", "Andrae 1876 (Den., Iclnd.)", 6377104.43, 300.0, 0},
    {"danish", "Andrae 1876 (Denmark, Iceland)", 6377019.2563, 300.0, 0},
    {"aust_SA", "Australian Natl & S. Amer. 1969", 6378160.0, 298.25, 0},
    {"GRS67", "GRS 67(IUGG 1967)", 6378160.0, 298.2471674270, 0},
    {"GSK2011", "GSK-2011", 6378136.5, 298.2564151, 0},
    {"bessel", "Bessel 1841", 6377397.155, 299.1528128, 0},
    {"bess_nam", "Bessel 1841 (Namibia)", 6377483.865, 299.1528128, 0},
    {"clrk66", "Clarke 1866", 6378206.4, 0, 6356583.8},
    {"clrk80", "Clarke 1880 mod.", 6378249.145, 293.4663, 0},
    {"clrk80ign", "Clarke 1880 (IGN)", 6378249.2, 293.4660212936269, 0},
    {"CPM", "Comm. des Poids et Mesures 1799", 6375738.7, 334.29, 0},
    {"delmbr", "Delambre 1810 (Belgium)", 6376428.0, 311.5, 0},
    {"engelis", "Engelis 1985", 6378136.05, 298.2566, 0},
    {"evrst30", "Everest 1830", 6377276.345, 300.8017, 0},
    {"evrst48", "Everest 1948", 6377304.063, 300.8017, 0},
    {"evrst56", "Everest 1956", 6377301.243, 300.8017, 0},
    {"evrst69", "Everest 1969", 6377295.664, 300.8017, 0},
    {"evrstSS", "Everest (Sabah & Sarawak)", 6377298.556, 300.8017, 0},
    {"fschr60", "Fischer (Mercury Datum) 1960", 6378166.0, 298.3, 0},
    {"fschr60m", "Modified Fischer 1960", 6378155.0, 298.3, 0},
    {"fschr68", "Fischer 1968", 6378150.0, 298.3, 0},
    {"helmert", "Helmert 1906", 6378200.0, 298.3, 0},
    {"hough", "Hough", 6378270.0, 297.0, 0},
    {"intl", "International 1924", 6378388.0, 297.0, 0},
    {"krass", "Krassovsky, 1942", 6378245.0, 298.3, 0},
    {"kaula", "Kaula 1961", 6378163.0, 298.24, 0},
    {"lerch", "Lerch 1979", 6378139.0, 298.257, 0},
    {"mprts", "Maupertius 1738", 6397300.0, 191.0, 0},
    {"new_intl", "New International 1967", 6378157.5, 0, 6356772.2},
    {"plessis", "Plessis 1817 (France)", 6376523.0, 0, 6355863.0},
    {"PZ90", "PZ-90", 6378136.0, 298.25784, 0},
    {"SEasia", "Southeast Asia", 6378155.0, 0, 6356773.3205},
    {"walbeck", "Walbeck", 6376896.0, 0, 6355834.8467},
    {"WGS60", "WGS 60", 6378165.0, 298.3, 0},
    {"WGS66", "WGS 66", 6378145.0, 298.25, 0},
    {"WGS72", "WGS 72", 6378135.0, 298.26, 0},
    {"WGS84", "WGS 84", 6378137.0, 298.257223563, 0},
    {"sphere", "Normal Sphere (r=6370997)", 6370997.0, 0, 6370997.0},
};

double InverseFlattening(const ProjEllipsoid& e) {
    if (e.rf != 0) return e.rf;
    return e.b == e.a ? 0.0 : e.a / (e.a - e.b);
}

const ProjEllipsoid* FindEllipsoid(const std::string& id) {
    for (const auto& e : kEllipsoids)
        if (id == e.id) return &e;
    return nullptr;
}

// PROJ's datum names and the ellipsoid each implies. Some of them also imply a
// way to WGS 84 (+towgs84 values, or grids for NAD27 and potsdam): that is a
// transformation, which a coordinate system here never holds (as for
// +towgs84), while the datum itself is one the library can hold.
struct ProjDatum {
    const char* id;
    const char* ellps;
    long epsgDatum; // 0 where the name alone does not fix EPSG's datum
    const char* name;
};
const ProjDatum kDatums[] = {
    {"WGS84", "WGS84", 6326, "World Geodetic System 1984"},
    {"NAD83", "GRS80", 6269, "North American Datum 1983"},
    {"NAD27", "clrk66", 6267, "North American Datum 1927"},
    {"GGRS87", "GRS80", 6121, "Greek Geodetic Reference System 1987"},
    {"potsdam", "bessel", 6314, "Deutsches Hauptdreiecksnetz"},
    {"carthage", "clrk80ign", 6223, "Carthage"},
    {"hermannskogel", "bessel", 0, "Hermannskogel"},
    {"ire65", "mod_airy", 6299, "TM65"},
    {"nzgd49", "intl", 6272, "New Zealand Geodetic Datum 1949"},
    {"OSGB36", "airy", 6277, "Ordnance Survey of Great Britain 1936"},
};

// PROJ's prime-meridian names, with their published longitudes (degrees,
// minutes, seconds) and EPSG codes.
struct ProjMeridian {
    const char* id;
    const char* name;
    long epsg;
    double degrees;
};
constexpr double Dms(double d, double m, double s) {
    return d < 0 ? -(-d + m / 60.0 + s / 3600.0) : d + m / 60.0 + s / 3600.0;
}
const ProjMeridian kMeridians[] = {
    {"greenwich", "Greenwich", 8901, 0.0},
    {"lisbon", "Lisbon", 8902, Dms(-9, 7, 54.862)},
    {"paris", "Paris", 8903, Dms(2, 20, 14.025)},
    {"bogota", "Bogota", 8904, Dms(-74, 4, 51.3)},
    {"madrid", "Madrid", 8905, Dms(-3, 41, 16.58)},
    {"rome", "Rome", 8906, Dms(12, 27, 8.4)},
    {"bern", "Bern", 8907, Dms(7, 26, 22.5)},
    {"jakarta", "Jakarta", 8908, Dms(106, 48, 27.79)},
    {"ferro", "Ferro", 8909, Dms(-17, 40, 0)},
    {"brussels", "Brussels", 8910, Dms(4, 22, 4.71)},
    {"stockholm", "Stockholm", 8911, Dms(18, 3, 29.8)},
    {"athens", "Athens", 8912, Dms(23, 42, 58.815)},
    {"oslo", "Oslo", 8913, Dms(10, 43, 22.5)},
    {"copenhagen", "Copenhagen", 1026, Dms(12, 34, 40.35)},
};

// Keys that describe the string rather than the system, and +approx, which
// only picks PROJ's faster, less accurate transverse Mercator series.
const char* const kIgnoredKeys[] = {"no_defs", "wktext", "type", "approx"};

// Parameters that PROJ parses for the methods that take them and passes over
// everywhere else, at any value: every method the library reads whose PROJ
// form uses the standard parallels (lcc, aea, eqdc, bonne, loxim, tpeqd) or
// the two points of omerc consumes them, so one left over is one PROJ ignores
// too (its own test strings give "+lat_1=0.5 +lat_2=2" to every method).
const char* const kIgnoredWhereUnused[] = {"lat_1", "lat_2", "n"};

// Parameters a projection may be given at their neutral value although it
// does not use them (PROJ writes "+lat_ts=0" for Mercator, "+k=1" and so on).
const char* const kNeutralZero[] = {"lat_0", "lon_0", "x_0",   "y_0",   "lat_ts", "lat_1",
                                    "lat_2", "lonc",  "alpha", "gamma", "lon_1",  "lon_2"};

struct Token {
    std::string key;
    std::string value;
    bool hasValue = false;
    bool used = false;
};

class ProjReader {
public:
    explicit ProjReader(CString* reason) : m_reason(reason) {}

    int Fail(const std::string& why) {
        if (m_reason) *m_reason = CString(ZrShortReason("PROJ string: " + why).c_str());
        return 0;
    }

    int Tokenize(const std::string& text) {
        if (text.size() > size_t(kZrInteropMaxTextBytes))
            return Fail("text longer than the 1 MiB an importer reads");
        size_t i = 0, n = text.size();
        if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) i = 3; // a byte-order mark, as some editors save files
        while (i < n) {
            unsigned char c = static_cast<unsigned char>(text[i]);
            if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
                ++i;
                continue;
            }
            size_t start = i;
            while (i < n && !std::strchr(" \t\r\n", text[i])) {
                unsigned char d = static_cast<unsigned char>(text[i]);
                if (d < 0x20 || d >= 0x7F) return Fail("a byte that is not printable ASCII");
                ++i;
            }
            // No key or value of a CRS is near this long (a +towgs84 with seven
            // values is about 80); the cap also keeps every reason short.
            if (i - start > 256) return Fail("a token longer than 256 characters");
            std::string word = text.substr(start, i - start);
            if (word[0] == '+') word.erase(0, 1);
            Token t;
            size_t eq = word.find('=');
            t.key = word.substr(0, eq);
            if (eq != std::string::npos) {
                t.value = word.substr(eq + 1);
                t.hasValue = true;
            }
            if (t.key.empty()) return Fail("a token without a key");
            if ((t.key == "proj" && t.value == "pipeline") || t.key == "step")
                return Fail("a pipeline is not a coordinate system");
            for (char k : t.key)
                if (!(std::isalnum(static_cast<unsigned char>(k)) || k == '_' || k == '.' || k == '-'))
                    return Fail("\"" + word + "\" is not a +key=value token");
            for (const Token& o : m_tokens)
                if (o.key == t.key) return Fail("+" + t.key + " given twice");
            // A CRS needs a few dozen keys; more is not a PROJ string we read.
            if (m_tokens.size() >= 200) return Fail("too many tokens");
            m_tokens.push_back(t);
        }
        if (m_tokens.empty()) return Fail("empty text");
        return 1;
    }

    Token* Find(const char* key) {
        for (Token& t : m_tokens)
            if (t.key == key) {
                t.used = true;
                return &t;
            }
        return nullptr;
    }
    const Token* Peek(const char* key) const {
        for (const Token& t : m_tokens)
            if (t.key == key) return &t;
        return nullptr;
    }

    // A number, or a fraction "1/10" as PROJ's unit list writes some.
    int Number(const Token& t, double& out) {
        if (!t.hasValue) return Fail("+" + t.key + " needs a value");
        size_t slash = t.value.find('/');
        if (slash != std::string::npos) {
            double num, den;
            if (ZrReadNumber(t.value.substr(0, slash), num) && ZrReadNumber(t.value.substr(slash + 1), den) &&
                den != 0) {
                out = num / den;
                return 1;
            }
        } else if (ZrReadNumber(t.value, out)) {
            return 1;
        }
        return Fail("+" + t.key + "=" + t.value + " is not a number");
    }
    // An optional number: 1 with the default when absent.
    int Optional(const char* key, double fallback, double& out, bool* given = nullptr) {
        Token* t = Find(key);
        if (given) *given = t != nullptr;
        if (!t) {
            out = fallback;
            return 1;
        }
        return Number(*t, out);
    }

    int Ellipsoid(ZrEpsgGeographicRecord& g);
    int Meridian(ZrEpsgGeographicRecord& g);
    int Shift(std::vector<double>& shift);
    int Units(double& toMetre, long& epsgUnit, std::string& unitName);
    int Leftovers();

    std::vector<Token> m_tokens;

private:
    CString* m_reason;
};

int ProjReader::Ellipsoid(ZrEpsgGeographicRecord& g) {
    const ProjEllipsoid* base = nullptr;
    if (Token* d = Find("datum")) {
        const ProjDatum* datum = nullptr;
        for (const auto& k : kDatums)
            if (d->value == k.id) datum = &k;
        if (!datum) return Fail("unknown +datum=" + d->value);
        base = FindEllipsoid(datum->ellps);
        g.datumCode = datum->epsgDatum;
        g.datumName = datum->name;
    }
    if (Token* e = Find("ellps")) {
        const ProjEllipsoid* named = FindEllipsoid(e->value);
        if (!named) return Fail("unknown +ellps=" + e->value);
        base = named; // PROJ lets +ellps override the datum's ellipsoid
    }
    double a = base ? base->a : 0.0;
    double rf = base ? InverseFlattening(*base) : 0.0;
    std::string name = base ? base->name : "unknown";
    bool shaped = base != nullptr;
    if (Token* r = Find("R")) {
        if (!Number(*r, a)) return 0;
        rf = 0.0;
        shaped = true;
        name = "unknown";
    } else {
        if (Token* t = Find("a")) {
            if (!Number(*t, a)) return 0;
            name = "unknown";
            if (!base) rf = 0.0; // +a alone is a sphere, as PROJ reads it
            shaped = true;
        }
        // One shape key at most; PROJ would take the first it looks for.
        int shapes = 0;
        double v = 0;
        if (Token* t = Find("rf")) {
            ++shapes;
            if (!Number(*t, v)) return 0;
            if (v != 0 && !(v > 1.0)) return Fail("+rf must be above 1");
            rf = v;
        }
        if (Token* t = Find("f")) {
            ++shapes;
            if (!Number(*t, v)) return 0;
            if (!(v >= 0 && v < 1)) return Fail("+f must be in [0, 1)");
            rf = v == 0 ? 0.0 : 1.0 / v;
        }
        if (Token* t = Find("b")) {
            ++shapes;
            if (!Number(*t, v)) return 0;
            if (!(v > 0 && v <= a)) return Fail("+b must be positive and at most +a");
            rf = v == a ? 0.0 : a / (a - v);
        }
        if (Token* t = Find("es")) {
            ++shapes;
            if (!Number(*t, v)) return 0;
            if (!(v >= 0 && v < 1)) return Fail("+es must be in [0, 1)");
            double f = 1.0 - std::sqrt(1.0 - v);
            rf = f == 0 ? 0.0 : 1.0 / f;
        }
        if (Token* t = Find("e")) {
            ++shapes;
            if (!Number(*t, v)) return 0;
            if (!(v >= 0 && v < 1)) return Fail("+e must be in [0, 1)");
            double f = 1.0 - std::sqrt(1.0 - v * v);
            rf = f == 0 ? 0.0 : 1.0 / f;
        }
        if (shapes > 1) return Fail("more than one of +rf, +f, +b, +es, +e");
        if (shapes) name = "unknown";
    }
    if (!shaped) {
        // What PROJ takes when a string names no ellipsoid: its operations
        // (and their regression cases) compute on GRS 1980, while its CRS
        // reader makes "+type=crs" without an earth a WGS 84 system, datum
        // and all (as GDAL and pyproj read every PROJ string).
        const bool crs = Peek("type") != nullptr;
        base = FindEllipsoid(crs ? "WGS84" : "GRS80");
        a = base->a;
        rf = InverseFlattening(*base);
        name = base->name;
        if (crs) {
            g.datumCode = kDatums[0].epsgDatum;
            g.datumName = kDatums[0].name;
        }
    }
    if (!(a > 0) || !std::isfinite(a)) return Fail("the semi-major axis must be positive");
    g.semiMajorAxis = a;
    g.inverseFlattening = rf;
    g.ellipsoidName = name;
    g.ellipsoidCode = 0;
    if (g.datumName.empty()) g.datumName = "Unknown based on " + name + " ellipsoid";
    return 1;
}

int ProjReader::Meridian(ZrEpsgGeographicRecord& g) {
    g.primeMeridianCode = 8901;
    g.primeMeridianName = "Greenwich";
    g.primeMeridianLongitude = 0.0;
    Token* t = Find("pm");
    if (!t) return 1;
    for (const auto& m : kMeridians)
        if (t->value == m.id) {
            g.primeMeridianCode = m.epsg;
            g.primeMeridianName = m.name;
            g.primeMeridianLongitude = m.degrees;
            return 1;
        }
    double v;
    if (!ZrReadNumber(t->value, v)) return Fail("unknown +pm=" + t->value);
    if (!(v >= -180 && v <= 180)) return Fail("+pm must be within 180 degrees of Greenwich");
    g.primeMeridianCode = v == 0 ? 8901 : 0;
    g.primeMeridianName = v == 0 ? "Greenwich" : "unknown";
    g.primeMeridianLongitude = v;
    return 1;
}

// Grid shifts cannot be held; a +towgs84 is read for ZrHonourShift. "@null"
// is PROJ's identity grid (as in its form of the web Mercator) and says only
// that no shift applies.
int ProjReader::Shift(std::vector<double>& shift) {
    if (Token* t = Find("nadgrids"))
        if (t->value != "@null")
            return Fail("+nadgrids=" + t->value + " is a grid-based datum shift, which cannot be expressed");
    if (Find("geoidgrids")) return Fail("+geoidgrids (a vertical grid) cannot be expressed");
    if (Token* t = Find("towgs84")) {
        size_t start = 0;
        for (;;) {
            size_t comma = t->value.find(',', start);
            double v;
            std::string part =
                t->value.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
            if (!ZrReadNumber(part, v)) return Fail("+towgs84=" + t->value + " is not a list of numbers");
            shift.push_back(v);
            if (comma == std::string::npos) break;
            start = comma + 1;
        }
        if (shift.size() != 3 && shift.size() != 7) return Fail("+towgs84 needs 3 or 7 values");
    }
    return 1;
}

int ProjReader::Units(double& toMetre, long& epsgUnit, std::string& unitName) {
    toMetre = 1.0;
    epsgUnit = 9001;
    unitName = "metre";
    Token* u = Find("units");
    Token* m = Find("to_meter");
    if (u) {
        const ZrLinearUnit* unit = ZrFindUnitByProjName(u->value.c_str());
        if (!unit) return Fail("unknown +units=" + u->value);
        toMetre = unit->toMetre;
        epsgUnit = unit->epsgCode;
        unitName = unit->epsgName;
    }
    if (m) {
        double v;
        if (!Number(*m, v)) return 0;
        if (!(v > 0)) return Fail("+to_meter must be positive");
        if (u && std::fabs(v - toMetre) > 1e-12 * toMetre) return Fail("+units and +to_meter disagree");
        if (!u) {
            const ZrLinearUnit* unit = ZrFindUnitByFactor(v);
            toMetre = unit ? unit->toMetre : v;
            epsgUnit = unit ? unit->epsgCode : 0;
            unitName = unit ? unit->epsgName : "unknown";
        }
    }
    if (Token* v = Find("vunits"))
        return Fail("+vunits=" + v->value + " (a vertical unit) cannot be expressed");
    if (Token* a = Find("axis")) {
        // Westings and southings: left for the projection to take (PROJ's
        // south-orientated transverse Mercator as wsu, EPSG's Krovak as swu,
        // the two axes PROJ writes for EPSG systems, and Cassini-Soldner on
        // such axes), refused as left over
        // where no projection takes them.
        if (a->value == "wsu" || a->value == "swu")
            a->used = false;
        else if (a->value != "enu" && a->value != "en")
            return Fail("+axis=" + a->value + ": the library's systems run east then north");
    }
    return 1;
}

int ProjReader::Leftovers() {
    for (Token& t : m_tokens) {
        if (t.used) continue;
        bool ignored = false;
        for (const char* k : kIgnoredKeys)
            if (t.key == k) ignored = true;
        for (const char* k : kIgnoredWhereUnused)
            if (t.key == k) ignored = true;
        if (ignored) continue;
        // PROJ's own renderings give some projections parameters at the value
        // that leaves them without effect.
        double v;
        bool neutral = false;
        for (const char* k : kNeutralZero)
            if (t.key == k && t.hasValue && ZrReadNumber(t.value, v) && v == 0) neutral = true;
        if ((t.key == "k" || t.key == "k_0") && t.hasValue && ZrReadNumber(t.value, v) && v == 1)
            neutral = true;
        if (neutral) continue;
        return Fail("+" + t.key + (t.hasValue ? "=" + t.value : std::string()) + " is not understood here");
    }
    return 1;
}

void AddParameter(ZrEpsgProjectedRecord& p, long code, double value) {
    ZrEpsgParameter q;
    q.code = code;
    q.value = value;
    p.parameters.push_back(q);
}

// The scale factor: PROJ reads +k_0, else +k.
int ScaleOf(ProjReader& r, double& k, bool* given = nullptr) {
    const Token* k0 = r.Peek("k_0");
    const Token* k1 = r.Peek("k");
    if (k0 && k1) {
        double a, b;
        if (!r.Number(*k0, a) || !r.Number(*k1, b)) return 0;
        if (a != b) return r.Fail("+k and +k_0 disagree");
    }
    double unused;
    if (k0) {
        if (!r.Optional("k", 1.0, unused)) return 0;
        return r.Optional("k_0", 1.0, k, given);
    }
    return r.Optional("k", 1.0, k, given);
}

// The projection: method code and parameters, lengths in the system's unit.
int ReadProjection(ProjReader& r, const std::string& proj, double toMetre, bool sphere,
                   ZrEpsgProjectedRecord& p) {
    constexpr double kDegree = 0.017453292519943295;
    double lat0, lon0, k, x0, y0;
    auto falseOrigin = [&](long eCode, long nCode) {
        if (!r.Optional("x_0", 0, x0) || !r.Optional("y_0", 0, y0)) return 0;
        AddParameter(p, eCode, x0 / toMetre);
        AddParameter(p, nCode, y0 / toMetre);
        return 1;
    };

    if (proj == "utm") {
        const Token* z = r.Find("zone");
        double zone = 0;
        if (!z || !r.Number(*z, zone)) return r.Fail("+proj=utm needs +zone");
        if (zone != std::floor(zone) || zone < 1 || zone > 60) return r.Fail("+zone must be 1 to 60");
        bool south = r.Find("south") != nullptr;
        p.methodCode = 9807;
        AddParameter(p, 8801, 0.0);
        AddParameter(p, 8802, zone * 6.0 - 183.0);
        AddParameter(p, 8805, 0.9996);
        AddParameter(p, 8806, 500000.0 / toMetre);
        AddParameter(p, 8807, (south ? 10000000.0 : 0.0) / toMetre);
        p.conversionName = "UTM zone " + std::to_string(int(zone)) + (south ? "S" : "N");
        return 1;
    }
    if (proj == "lcc") {
        double lat1, lat2;
        bool has1, has2;
        if (!r.Optional("lat_1", 0, lat1, &has1) || !r.Optional("lat_2", lat1, lat2, &has2) ||
            !r.Optional("lat_0", 0, lat0) || !r.Optional("lon_0", 0, lon0) || !ScaleOf(r, k))
            return 0;
        if (!has1) return r.Fail("+proj=lcc needs +lat_1");
        if (lat1 == lat2 && lat0 == lat1) {
            // One tangent parallel through the origin: EPSG's 1SP form.
            p.methodCode = 9801;
            AddParameter(p, 8801, lat0);
            AddParameter(p, 8802, lon0);
            AddParameter(p, 8805, k);
            return falseOrigin(8806, 8807);
        }
        // Two parallels and a scale: EPSG's Michigan form, whose ellipsoid
        // scaling factor K is PROJ's k_0 there (the cone on an ellipsoid
        // enlarged by K, every length of the map times K).
        p.methodCode = k != 1.0 ? 1051 : 9802;
        AddParameter(p, 8821, lat0);
        AddParameter(p, 8822, lon0);
        AddParameter(p, 8823, lat1);
        AddParameter(p, 8824, lat2);
        if (k != 1.0) AddParameter(p, 1038, k);
        return falseOrigin(8826, 8827);
    }
    if (proj == "merc") {
        double lts;
        bool hasTs, hasK;
        if (!r.Optional("lat_ts", 0, lts, &hasTs) || !ScaleOf(r, k, &hasK) || !r.Optional("lon_0", 0, lon0))
            return 0;
        if (hasTs && hasK && !(lts == 0 && k == 1))
            return r.Fail("+proj=merc with both +lat_ts and +k is ambiguous");
        if (hasTs && lts != 0) {
            p.methodCode = 9805;
            AddParameter(p, 8823, lts);
            AddParameter(p, 8802, lon0);
        } else {
            p.methodCode = 9804;
            AddParameter(p, 8801, 0.0);
            AddParameter(p, 8802, lon0);
            AddParameter(p, 8805, k);
        }
        return falseOrigin(8806, 8807);
    }
    if (proj == "omerc") {
        if (r.Peek("lat_1") || r.Peek("lon_1") || r.Peek("lat_2") || r.Peek("lon_2"))
            return r.Fail("+proj=omerc by two points is not read here; give +alpha and +lonc");
        if (r.Find("no_rot")) return r.Fail("+no_rot (an unrotated oblique Mercator) cannot be expressed");
        double alpha, gamma, lonc;
        bool hasAlpha, hasGamma;
        if (!r.Optional("lat_0", 0, lat0) || !r.Optional("lonc", 0, lonc) ||
            !r.Optional("alpha", 0, alpha, &hasAlpha) || !r.Optional("gamma", 0, gamma, &hasGamma) ||
            !ScaleOf(r, k))
            return 0;
        if (!hasAlpha) return r.Fail("+proj=omerc needs +alpha");
        // At a pole every direction is south, so no azimuth names a central
        // line: PROJ refuses the set-up, where the kind would quietly take
        // the transverse case.
        if (std::fabs(lat0) >= 90.0)
            return r.Fail("+proj=omerc with its centre at a pole has no central line");
        if (!hasGamma) gamma = alpha; // PROJ rectifies by the azimuth when no gamma is given
        bool variantA = r.Find("no_uoff") != nullptr;
        if (r.Find("no_off")) variantA = true; // PROJ's older spelling
        p.methodCode = variantA ? 9812 : 9815;
        AddParameter(p, 8811, lat0);
        AddParameter(p, 8812, lonc);
        AddParameter(p, 8813, ZrDirectionDegrees(alpha));
        AddParameter(p, 8814, ZrDirectionDegrees(gamma));
        AddParameter(p, 8815, k);
        return variantA ? falseOrigin(8806, 8807) : falseOrigin(8816, 8817);
    }

    if (proj == "stere" && !sphere) {
        // PROJ's stere at a pole on an ellipsoid is EPSG's polar stereographic:
        // variant A scales the pole by +k_0, variant B is true to scale on the
        // parallel +lat_ts (PROJ then ignores +k_0). Off the poles PROJ's stere
        // is its own oblique form (EPSG's oblique stereographic is sterea), so
        // that case goes on to the spherical kind, which refuses an ellipsoid.
        double lts;
        bool hasTs, hasK;
        if (!r.Optional("lat_0", 0, lat0) || !r.Optional("lat_ts", lat0, lts, &hasTs) ||
            !ScaleOf(r, k, &hasK) || !r.Optional("lon_0", 0, lon0))
            return 0;
        if (std::fabs(lat0) == 90) {
            const bool variantB = hasTs && std::fabs(lts) != 90;
            if (variantB) {
                if (hasK && k != 1) return r.Fail("+proj=stere with both +lat_ts and +k is ambiguous");
                if (lts * lat0 <= 0)
                    return r.Fail("+lat_ts must lie in the hemisphere of the pole +lat_0 names");
                p.methodCode = 9829;
                AddParameter(p, 8832, lts);
                AddParameter(p, 8833, lon0);
            } else {
                if (hasTs && lts != lat0) return r.Fail("+lat_ts names the other pole than +lat_0");
                p.methodCode = 9810;
                AddParameter(p, 8801, lat0);
                AddParameter(p, 8802, lon0);
                AddParameter(p, 8805, k);
            }
            return falseOrigin(8806, 8807);
        }
        // Given back for the table's reading below.
        for (Token& t : r.m_tokens)
            if (t.key == "lat_0" || t.key == "lat_ts" || t.key == "k" || t.key == "k_0" || t.key == "lon_0")
                t.used = false;
    }
    if (proj == "tmerc") {
        // PROJ states EPSG's south-orientated transverse Mercator as tmerc
        // with its axes turned west and south, which turns the false origin
        // about too: x_0 = -FE, y_0 = -FN.
        const Token* axis = r.Peek("axis");
        if (axis && axis->value == "wsu") {
            r.Find("axis");
            if (!r.Optional("lat_0", 0, lat0) || !r.Optional("lon_0", 0, lon0) || !ScaleOf(r, k) ||
                !r.Optional("x_0", 0, x0) || !r.Optional("y_0", 0, y0))
                return 0;
            p.methodCode = 9808;
            p.axisOrder = "WS";
            AddParameter(p, 8801, lat0);
            AddParameter(p, 8802, lon0);
            AddParameter(p, 8805, k);
            AddParameter(p, 8806, -x0 / toMetre);
            AddParameter(p, 8807, -y0 / toMetre);
            return 1;
        }
    }
    if (proj == "cass" && !r.Peek("hyperbolic")) {
        // Cassini-Soldner read off axes turned west and south (either order):
        // EPSG's method on southing and westing axes, whose false origin
        // PROJ applies before the turn, so x_0 and y_0 are EPSG's own.
        const Token* axis = r.Peek("axis");
        if (axis && (axis->value == "wsu" || axis->value == "swu")) {
            r.Find("axis");
            if (!r.Optional("lat_0", 0, lat0) || !r.Optional("lon_0", 0, lon0) || !r.Optional("x_0", 0, x0) ||
                !r.Optional("y_0", 0, y0))
                return 0;
            p.methodCode = 9806;
            p.axisOrder = "WS";
            AddParameter(p, 8801, lat0);
            AddParameter(p, 8802, lon0);
            AddParameter(p, 8806, x0 / toMetre);
            AddParameter(p, 8807, y0 / toMetre);
            return 1;
        }
    }
    if (proj == "sterea" && !sphere) {
        // At a pole the conformal sphere of the oblique stereographic keeps
        // the ellipsoid's scale (its n is 1), and the map is EPSG's polar
        // stereographic variant A with the same scale at the pole.
        if (!r.Optional("lat_0", 0, lat0)) return 0;
        if (std::fabs(lat0) == 90) {
            if (!ScaleOf(r, k) || !r.Optional("lon_0", 0, lon0)) return 0;
            p.methodCode = 9810;
            AddParameter(p, 8801, lat0);
            AddParameter(p, 8802, lon0);
            AddParameter(p, 8805, k);
            return falseOrigin(8806, 8807);
        }
        for (Token& t : r.m_tokens)
            if (t.key == "lat_0") t.used = false;
    }
    if (proj == "somerc") {
        // The Swiss oblique Mercator: the Hotine oblique Mercator whose central
        // line runs due east through the centre, rectified by the same right
        // angle (PROJ writes EPSG's variant B at 90 degrees so).
        if (!r.Optional("lat_0", 0, lat0) || !r.Optional("lon_0", 0, lon0) || !ScaleOf(r, k)) return 0;
        p.methodCode = 9815;
        AddParameter(p, 8811, lat0);
        AddParameter(p, 8812, lon0);
        AddParameter(p, 8813, 90.0);
        AddParameter(p, 8814, 90.0);
        AddParameter(p, 8815, k);
        return falseOrigin(8816, 8817);
    }
    if (proj == "krovak") {
        // PROJ's krovak is the north-orientated form (its +czech flag turns the
        // axes to southings and westings, which that method does not hold). The
        // pseudo standard parallel is fixed at 78.5 degrees and not a key there;
        // the defaults are PROJ's: the Czech and Slovak system's own values.
        if (r.Find("czech")) return r.Fail("+czech (Krovak with westings and southings) cannot be expressed");
        // EPSG's Krovak (southings and westings) PROJ writes as its krovak
        // with the axes turned to south and west, which turns the false
        // origin about too: x_0 = -FE, y_0 = -FN, as for tmerc's wsu.
        const Token* axis = r.Peek("axis");
        const bool southWest = axis && axis->value == "swu";
        if (southWest) r.Find("axis");
        double alpha, lts;
        bool hasK;
        if (!r.Optional("lat_0", 49.5, lat0) || !r.Optional("lon_0", 42.5 - 17.0 - 40.0 / 60.0, lon0) ||
            !r.Optional("alpha", Dms(30, 17, 17.30311), alpha) || !r.Optional("lat_ts", 78.5, lts) ||
            !ScaleOf(r, k, &hasK))
            return 0;
        if (lts != 78.5) return r.Fail("+proj=krovak has its pseudo standard parallel at 78.5 degrees");
        p.methodCode = southWest ? 9819 : 1041;
        AddParameter(p, 8811, lat0);
        AddParameter(p, 8833, lon0);
        AddParameter(p, 1036, alpha);
        AddParameter(p, 8818, 78.5);
        AddParameter(p, 8819, hasK ? k : 0.9999);
        if (!southWest) return falseOrigin(8806, 8807);
        if (!r.Optional("x_0", 0, x0) || !r.Optional("y_0", 0, y0)) return 0;
        p.axisOrder = "WS";
        AddParameter(p, 8806, -x0 / toMetre);
        AddParameter(p, 8807, -y0 / toMetre);
        return 1;
    }

    if (proj == "ob_tran") {
        // The globe turned so that its pole lies at (+o_lat_p, +o_lon_p) of the
        // turned graticule, then projected by +o_proj; only the equidistant
        // cylindrical (without its own origin or true parallel) is computed.
        // PROJ's two other ways of placing the pole, by a great circle's
        // azimuth at a point and by two points on the turned equator, are
        // turned into the pole here as PROJ turns them.
        const Token* o = r.Find("o_proj");
        if (!o || !o->hasValue) return r.Fail("+proj=ob_tran needs +o_proj");
        if (o->value != "eqc")
            return r.Fail("+proj=ob_tran with +o_proj=" + o->value +
                          " is not computed; the library turns the globe under eqc only");
        if (r.Peek("lat_ts") || r.Peek("lat_0"))
            return r.Fail("+proj=ob_tran's eqc with its own +lat_ts or +lat_0 is not computed");
        double latp = 0, lonp = 0;
        bool hasLatP;
        if (!r.Optional("o_lat_p", 0, latp, &hasLatP) || !r.Optional("o_lon_p", 0, lonp) ||
            !r.Optional("lon_0", 0, lon0))
            return 0;
        if (!hasLatP) {
            double alpha, lonc, latc;
            bool hasAlpha;
            if (!r.Optional("o_alpha", 0, alpha, &hasAlpha) || !r.Optional("o_lon_c", 0, lonc) ||
                !r.Optional("o_lat_c", 0, latc))
                return 0;
            if (hasAlpha) {
                if (std::fabs(std::fabs(latc) - 90.0) <= 1e-10)
                    return r.Fail("+o_lat_c at a pole leaves +o_alpha undefined");
                const double al = alpha * kDegree, pc = latc * kDegree;
                lonp = lonc + std::atan2(-std::cos(al), -std::sin(al) * std::sin(pc)) / kDegree;
                latp = std::asin(std::cos(pc) * std::sin(al)) / kDegree;
            } else {
                double lat1, lon1, lat2, lon2;
                bool has1;
                if (!r.Optional("o_lat_1", 0, lat1, &has1) || !r.Optional("o_lon_1", 0, lon1) ||
                    !r.Optional("o_lat_2", 0, lat2) || !r.Optional("o_lon_2", 0, lon2))
                    return 0;
                if (!has1) return r.Fail("+proj=ob_tran needs +o_lat_p, +o_alpha or +o_lat_1");
                const double p1 = lat1 * kDegree, p2 = lat2 * kDegree, l1 = lon1 * kDegree,
                             l2 = lon2 * kDegree;
                if (std::fabs(p1 - p2) <= 1e-10 || std::fabs(p1) <= 1e-10 ||
                    std::fabs(std::fabs(p1) - kDegree * 90.0) <= 1e-10 ||
                    std::fabs(std::fabs(p2) - kDegree * 90.0) <= 1e-10)
                    return r.Fail("+o_lat_1 and +o_lat_2 do not define a turned equator");
                const double lp = std::atan2(
                    std::cos(p1) * std::sin(p2) * std::cos(l1) - std::sin(p1) * std::cos(p2) * std::cos(l2),
                    std::sin(p1) * std::cos(p2) * std::sin(l2) - std::cos(p1) * std::sin(p2) * std::sin(l1));
                latp = std::atan(-std::cos(lp - l1) / std::tan(p1)) / kDegree;
                lonp = lp / kDegree;
            }
        }
        p.methodCode = PJ_KIND_GENERAL_OBLIQUE_TRANSFORMATION;
        AddParameter(p, 48106, latp);
        AddParameter(p, 48107, lonp);
        AddParameter(p, 8802, lon0);
        return falseOrigin(8806, 8807);
    }

    // Two EPSG methods PROJ states as flags of another: Guam's azimuthal
    // equidistant (aeqd +guam) and the hyperbolic Cassini-Soldner of Vanua
    // Levu (cass +hyperbolic). Both are ellipsoidal; on a sphere PROJ's
    // spherical forms pass over the flag, and so does the reader.
    const bool guam = proj == "aeqd" && r.Find("guam");
    const bool hyperbolic = proj == "cass" && r.Find("hyperbolic");
    if ((guam || hyperbolic) && !sphere) {
        if (!r.Optional("lat_0", 0, lat0) || !r.Optional("lon_0", 0, lon0)) return 0;
        p.methodCode = guam ? 9831 : 9833;
        AddParameter(p, 8801, lat0);
        AddParameter(p, 8802, lon0);
        return falseOrigin(8806, 8807);
    }

    if (proj == "eqc" && !sphere)
        return r.Fail("+proj=eqc computes on a sphere; on an ellipsoid the library's equidistant "
                      "cylindrical follows the meridian, so it cannot be expressed");

    // Every other name through the core's table, whose parameters carry their
    // PROJ keys.
    const ZrMethodNames* m = ZrFindMethodByName(proj.c_str());
    if (!m || !m->projName || proj != m->projName)
        return r.Fail("+proj=" + proj + " is not a method the library has");
    p.methodCode = m->code;
    const ZrParameterNames* params[16];
    int n = ZrMethodParameters(m->code, params, 16);
    for (int i = 0; i < n && i < 16; ++i) {
        const ZrParameterNames* q = params[i];
        double v = 0;
        if (!q->projKey) {
            AddParameter(p, q->code, 0.0);
            continue;
        }
        std::string key = q->projKey;
        if (q->quantity == ZR_PARAM_SCALE && (key == "k" || key == "k_0")) {
            if (!ScaleOf(r, v)) return 0;
        } else if (!r.Optional(q->projKey, q->quantity == ZR_PARAM_SCALE ? 1.0 : 0.0, v)) {
            return 0;
        }
        AddParameter(p, q->code, q->quantity == ZR_PARAM_LENGTH ? v / toMetre : v);
    }
    return 1;
}

bool IsGeographicName(const std::string& proj) {
    return proj == "longlat" || proj == "latlong" || proj == "lonlat" || proj == "latlon";
}

// Writing.

void Put(std::string& s, const char* key, double value) {
    s += " +";
    s += key;
    s += '=';
    s += ZrShortestNumber(value);
}

// The figures of the EPSG ellipsoid a catalogue spheroid stands for. The
// catalogue holds them to its own digits (WGS 84 as 1/298.2572204270286, not
// 1/298.257223563: 0.07 mm at the pole), and PROJ matches ellipsoids by their
// figures, so a string with the rounded ones names no ellipsoid PROJ knows.
// EPSG's record of a geographic system on that ellipsoid gives the defined
// figures where the catalogue's differ from them by rounding only (under a
// centimetre at the pole: Clarke 1880 (IGN) is 3 mm off); else the figures
// stay as they are.
ZrEpsgGeographicRecord ExactEarth(const ZrEpsgGeographicRecord& g) {
    constexpr double kRoundingMetres = 0.01;
    if (g.ellipsoidCode <= 0) return g;
    ZrEpsgGeographicRecord e;
    if (g.code <= 0 || !ZrEpsgFindGeographic(g.code, e) || e.ellipsoidCode != g.ellipsoidCode) {
        // A catalogue system EPSG does not name (the mapping file leaves out
        // Carthage's): any EPSG system on the same ellipsoid has its figures.
        std::vector<long> codes;
        ZrEpsgGeographicCodes(codes);
        e.ellipsoidCode = 0;
        for (long c : codes)
            if (ZrEpsgFindGeographic(c, e) && e.ellipsoidCode == g.ellipsoidCode) break;
    }
    const double f = g.inverseFlattening == 0 ? 0.0 : 1.0 / g.inverseFlattening;
    const double ef = e.inverseFlattening == 0 ? 0.0 : 1.0 / e.inverseFlattening;
    if (e.ellipsoidCode != g.ellipsoidCode || e.semiMajorAxis != g.semiMajorAxis ||
        g.semiMajorAxis * std::fabs(f - ef) > kRoundingMetres)
        return g;
    ZrEpsgGeographicRecord out = g;
    out.inverseFlattening = e.inverseFlattening;
    return out;
}

// PROJ's name for an ellipsoid of these figures, as PROJ's own writer finds
// it: the same axis and the same shape to the last digit that matters (1e-14
// of the flattening moves no point by a nanometre). Its "sphere" is left out:
// a sphere is written by its radius.
const ProjEllipsoid* ProjEllipsoidOf(double a, double rf) {
    for (const auto& e : kEllipsoids) {
        double erf = InverseFlattening(e);
        bool sameShape = erf == 0 ? rf == 0 : rf != 0 && std::fabs(1.0 / rf - 1.0 / erf) <= 1e-14 / erf;
        if (e.a == a && sameShape && std::strcmp(e.id, "sphere") != 0) return &e;
    }
    return nullptr;
}

// The earth as PROJ writes the same system: +datum= for the datums whose
// name PROJ writes for a system that holds no transformation (WGS 84, NAD83,
// NAD27, each on its own ellipsoid), else +ellps= with PROJ's name, else the
// figures; for an EPSG ellipsoid always EPSG's exact figures.
std::string EllipsoidText(const ZrEpsgGeographicRecord& described) {
    const ZrEpsgGeographicRecord g = ExactEarth(described);
    const double a = g.semiMajorAxis, rf = g.inverseFlattening;
    if (const ProjEllipsoid* e = ProjEllipsoidOf(a, rf)) {
        for (const auto& d : kDatums)
            if (d.epsgDatum == g.datumCode &&
                (d.epsgDatum == 6326 || d.epsgDatum == 6269 || d.epsgDatum == 6267) &&
                std::strcmp(d.ellps, e->id) == 0)
                return std::string(" +datum=") + d.id;
        return std::string(" +ellps=") + e->id;
    }
    std::string s;
    if (rf == 0) {
        Put(s, "R", a);
    } else {
        Put(s, "a", a);
        Put(s, "rf", rf);
    }
    return s;
}

std::string MeridianText(const ZrEpsgGeographicRecord& g) {
    if (g.primeMeridianLongitude == 0) return std::string();
    std::string s;
    Put(s, "pm", g.primeMeridianLongitude);
    return s;
}

// The name as +title: blanks become underscores (names compare without regard
// to either); a name that is not printable ASCII, or is longer than a token
// may be, is left out.
std::string TitleText(const std::string& name) {
    if (name.empty() || name.size() > 200 || name == "unknown") return std::string();
    std::string v;
    for (char c : name) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (u < 0x20 || u >= 0x7F) return std::string();
        v += c == ' ' ? '_' : c;
    }
    return " +title=" + v;
}

int ExportFail(CString* reason, const std::string& why) {
    if (reason) *reason = CString(("PROJ string: " + why).c_str());
    return 0;
}

double ParameterValue(const ZrEpsgProjectedRecord& p, long code, double fallback) {
    for (const auto& q : p.parameters)
        if (q.code == code) return q.value;
    return fallback;
}

// An ellipsoid's figures are the given ones: the same axis, the same
// flattening to the last bits, which a flattening written as 1/f and read
// back may change.
bool SameFigures(double a1, double f1, double a2, double f2) {
    constexpr double kFlatteningUlps = 4 * std::numeric_limits<double>::epsilon();
    return a1 == a2 && std::fabs(f1 - f2) <= kFlatteningUlps * f2;
}

// A catalogue geographic system's ellipsoid is a string's where the string
// has its figures: the catalogue's own, or those of the EPSG ellipsoid it
// stands for, which is what the library writes for it.
bool OwnFigures(const CZrPJGeoCoordSys& gcs, const CZrPJSpheroid& s) {
    const CZrPJSpheroid cs = gcs.GetDatum().GetSpheroid();
    if (SameFigures(cs.GetAxis(), cs.GetFlattening(), s.GetAxis(), s.GetFlattening())) return true;
    ZrEpsgGeographicRecord g;
    ZrInteropDescribeGeographic(gcs, g);
    const ZrEpsgGeographicRecord e = ExactEarth(g);
    const double f = e.inverseFlattening == 0.0 ? 0.0 : 1.0 / e.inverseFlattening;
    return e.ellipsoidCode > 0 && SameFigures(e.semiMajorAxis, f, s.GetAxis(), s.GetFlattening());
}

// A string names no geographic system, so the interop core cannot hold a
// catalogue row it names against one. The row its +title names stands for it
// when the row's ellipsoid (its very figures, or the exact ones of the EPSG
// ellipsoid it stands for, as the library writes the row: a string of GRS 1980
// is the catalogue's rounded one only where its title names the row), prime
// meridian and unit are the string's and the row projects as the string does
// within a millimetre around its origin (the Gauss-Krueger rows, which a
// string can only call tmerc, differ from the transverse Mercator kind by
// micrometres).
void CatalogueByTitle(const std::string& title, CZrPJCoordSys& built) {
    if (title == "unknown") return;
    const CZrPJSpheroid s = built.GetGCS().GetDatum().GetSpheroid();
    const double pm = built.GetGCS().GetPrimeMeridian().GetLongitude();
    ZrProjectedRow row;
    for (int i = 0; i < ZrProjectedRowCount(); ++i) {
        const long code = ZrProjectedCodeAt(i);
        if (!ZrFindProjectedRow(code, row) || !ZrInteropSameName(row.name, title.c_str())) continue;
        CZrPJCoordSys cat;
        if (!cat.Set(static_cast<tagPJCoordSysType>(code)) || !cat.IsValid()) continue;
        if (!OwnFigures(cat.GetGCS(), s) ||
            std::fabs(cat.GetGCS().GetPrimeMeridian().GetLongitude() - pm) > 1e-9 ||
            cat.GetDistUnits() != built.GetDistUnits())
            continue;
        const CZrPJParams prm = cat.GetParams();
        const double metres = ZrUnitCodeToMetres(cat.GetDistUnits());
        bool alike = true;
        for (int k = 0; k < 9 && alike; ++k) {
            const double lon = prm.CentralMeridian + (k % 3 - 1) * 0.5;
            const double lat = std::max(-80.0, std::min(80.0, prm.CentralParallel + (k / 3 - 1) * 0.5));
            CPoint2D a(lon, lat), b(lon, lat);
            cat.Forward(&a, 1);
            built.Forward(&b, 1);
            alike =
                std::isfinite(a.x) && std::isfinite(b.x) && std::hypot(a.x - b.x, a.y - b.y) * metres <= 1e-3;
        }
        if (alike) {
            built = cat;
            return;
        }
    }
}

// The library writes a catalogue geographic system with the exact figures of
// the EPSG ellipsoid its spheroid stands for, which the catalogue holds to its
// own digits (Airy 1830 2 mm off at the pole): a string titled with the
// system's name, on those figures and its prime meridian, reads back as the
// system, on the catalogue's figures.
void CatalogueEarthByTitle(const std::string& title, ZrEpsgGeographicRecord& g) {
    if (title == "unknown") return;
    CZrPJSpheroid given;
    given.Set("unknown", g.semiMajorAxis, g.inverseFlattening == 0.0 ? 0.0 : 1.0 / g.inverseFlattening);
    for (int i = 0; i < CZrPJGeoCoordSys::GetCatalogueCount(); ++i) {
        CZrPJGeoCoordSys gcs;
        if (!gcs.Set(static_cast<tagGeoCoordSysType>(CZrPJGeoCoordSys::GetCatalogueCode(i))) ||
            !ZrInteropSameName(gcs.GetName().c_str(), title.c_str()) ||
            std::fabs(gcs.GetPrimeMeridian().GetLongitude() - g.primeMeridianLongitude) > 1e-9 ||
            !OwnFigures(gcs, given))
            continue;
        const CZrPJSpheroid cs = gcs.GetDatum().GetSpheroid();
        g.semiMajorAxis = cs.GetAxis();
        g.inverseFlattening = cs.GetFlattening() == 0.0 ? 0.0 : 1.0 / cs.GetFlattening();
        return;
    }
}

// Builds what the string says with the figures of its ellipsoid as given.
// The interop core gives a catalogue ellipsoid wherever the given one agrees
// with it within the catalogue's digits, but PROJ's ellipsoids are defined
// values (GRS 1980's 1/298.257222101, which the catalogue holds as
// 1/298.257220427: 0.1 mm at a few thousand kilometres), so the catalogue's
// objects are kept only where their figures are the given ones exactly
// (Krassovsky's); otherwise the system is built as defined, under the names
// matched.
int BuildAsGiven(const ZrEpsgGeographicRecord& g, const ZrEpsgProjectedRecord* p, CZrPJCoordSys& cs,
                 CString* reason) {
    CZrPJCoordSys built;
    if (!ZrInteropBuild(g, p, built, reason)) return 0;
    const CZrPJSpheroid s = built.GetGCS().GetDatum().GetSpheroid();
    const double f = g.inverseFlattening == 0.0 ? 0.0 : 1.0 / g.inverseFlattening;
    if (!SameFigures(s.GetAxis(), s.GetFlattening(), g.semiMajorAxis, f) &&
        !ZrInteropBuild(g, p, built, reason, false))
        return 0;
    cs = built;
    return 1;
}

} // namespace

int ZrImportProjString(const CString& text, CZrPJCoordSys& cs, CString* reason) {
    ProjReader r(reason);
    if (!r.Tokenize(text.str())) return 0;
    if (r.Peek("init")) return r.Fail("+init needs PROJ's init files; give the definition itself");
    if (r.Peek("step") || r.Peek("inv"))
        return r.Fail("a pipeline or inverse operation is not a coordinate system");
    const Token* type = r.Peek("type");
    if (type && type->value != "crs") return r.Fail("+type=" + type->value + " is not a coordinate system");
    Token* projToken = r.Find("proj");
    if (!projToken || !projToken->hasValue) return r.Fail("no +proj=");
    std::string proj = projToken->value;
    if (proj == "etmerc") proj = "tmerc"; // PROJ's older name for its exact series
    if (proj == "pipeline") return r.Fail("a pipeline is not a coordinate system");

    // +title, which PROJ reads and ignores, carries the system's name: with it
    // the interop core finds the catalogue system a string was written from.
    std::string title = "unknown";
    if (Token* t = r.Find("title"))
        if (!t->value.empty()) title = t->value;

    ZrEpsgGeographicRecord g;
    g.code = 0;
    g.name = "unknown";
    g.latitudeFirst = false;
    std::vector<double> shift;
    if (!r.Ellipsoid(g) || !r.Meridian(g) || !r.Shift(shift)) return 0;
    std::string why;
    if (ZrShiftCarrier* carrier = ZrActiveShiftCarrier()) {
        // Carried beside the system, any values; "@null" says WGS 84 as it stands.
        carrier->values = shift;
        const Token* grids = r.Peek("nadgrids");
        carrier->nullGrid = grids && grids->value == "@null";
    } else if (!ZrHonourShift(shift, g, why)) {
        return r.Fail("+towgs84: " + why);
    }

    if (IsGeographicName(proj)) {
        if (g.code <= 0) CatalogueEarthByTitle(title, g);
        // PROJ reads latlong as longlat too: the axis order is +axis's alone.
        if (Token* a = r.Find("axis"))
            if (a->value != "enu" && a->value != "en")
                return r.Fail("+axis=" + a->value + ": the library's systems run east then north");
        if (!r.Leftovers()) return 0;
        if (g.code <= 0) g.name = title;
        return BuildAsGiven(g, nullptr, cs, reason);
    }

    ZrEpsgProjectedRecord p;
    p.code = 0;
    p.name = title;
    p.conversionName = "unknown";
    double toMetre;
    if (!r.Units(toMetre, p.linearUnitCode, p.linearUnitName)) return 0;
    p.linearUnitToMetre = toMetre;
    p.axisOrder = "EN";
    if (!ReadProjection(r, proj, toMetre, g.inverseFlattening == 0, p)) return 0;
    const ZrMethodNames* m = ZrFindMethod(p.methodCode);
    p.methodName = m ? m->epsgName : proj;
    if (!ZrSphereOfRadiusA(p.methodCode, g.inverseFlattening, why)) return r.Fail(why);
    if (!r.Leftovers()) return 0;
    CZrPJCoordSys built;
    if (!BuildAsGiven(g, &p, built, reason)) return 0;
    if (built.GetType() == -1) CatalogueByTitle(title, built);
    cs = built;
    return 1;
}

int ZrExportProjString(const CZrPJCoordSys& cs, CString& text, CString* reason) {
    ZrEpsgGeographicRecord g;
    ZrEpsgProjectedRecord p;
    bool projected = false;
    CString why;
    if (!ZrInteropDescribe(cs, g, p, projected, &why)) {
        if (reason) *reason = why;
        return 0;
    }
    std::string s;
    if (!projected) {
        s = "+proj=longlat" + EllipsoidText(g) + MeridianText(g) + TitleText(g.name) + " +no_defs +type=crs";
        text = CString(s.c_str());
        return 1;
    }
    if (p.methodCode == 9829) {
        // Variant B as PROJ writes it: stere at the pole the standard parallel's
        // sign names, true to scale on +lat_ts.
        const double lts = ParameterValue(p, 8832, 0);
        const double pole = lts < 0 ? -90.0 : 90.0;
        p.methodCode = 9810; // the row whose keys the lengths below are written with
        s = "+proj=stere";
        Put(s, "lat_0", pole);
        Put(s, "lat_ts", lts);
        Put(s, "lon_0", ParameterValue(p, 8833, 0));
        Put(s, "x_0", ParameterValue(p, 8806, 0) * p.linearUnitToMetre);
        Put(s, "y_0", ParameterValue(p, 8807, 0) * p.linearUnitToMetre);
        p.parameters.clear();
    }
    if (p.methodCode == 9808) {
        // The south-orientated transverse Mercator as PROJ writes it: tmerc
        // with west and south axes, the false origin turned about with them.
        p.methodCode = 9807;
        s = "+proj=tmerc +axis=wsu";
        Put(s, "lat_0", ParameterValue(p, 8801, 0));
        Put(s, "lon_0", ParameterValue(p, 8802, 0));
        Put(s, "k", ParameterValue(p, 8805, 1));
        Put(s, "x_0", -ParameterValue(p, 8806, 0) * p.linearUnitToMetre);
        Put(s, "y_0", -ParameterValue(p, 8807, 0) * p.linearUnitToMetre);
        p.parameters.clear();
    }
    if (p.methodCode == 9806 && (p.axisOrder == "SW" || p.axisOrder == "WS")) {
        // Cassini-Soldner on southing and westing axes as PROJ reads EPSG's
        // method there: its cass read off axes turned west and south, the
        // false origin applied before the turn (W = -(x + x_0)).
        s = "+proj=cass +axis=wsu";
        Put(s, "lat_0", ParameterValue(p, 8801, 0));
        Put(s, "lon_0", ParameterValue(p, 8802, 0));
        Put(s, "x_0", ParameterValue(p, 8806, 0) * p.linearUnitToMetre);
        Put(s, "y_0", ParameterValue(p, 8807, 0) * p.linearUnitToMetre);
        p.parameters.clear();
    }
    if (p.methodCode == 9831 || p.methodCode == 9833) {
        // Guam's and the hyperbolic Cassini's as PROJ writes them: its aeqd
        // and cass with a flag.
        const bool guam = p.methodCode == 9831;
        p.methodCode = guam ? 1125 : 9806; // the rows whose keys the lengths below are written with
        s = guam ? "+proj=aeqd +guam" : "+proj=cass +hyperbolic";
        Put(s, "lat_0", ParameterValue(p, 8801, 0));
        Put(s, "lon_0", ParameterValue(p, 8802, 0));
        Put(s, "x_0", ParameterValue(p, 8806, 0) * p.linearUnitToMetre);
        Put(s, "y_0", ParameterValue(p, 8807, 0) * p.linearUnitToMetre);
        p.parameters.clear();
    }
    if (p.methodCode == 9819) {
        // EPSG's Krovak as PROJ writes it: its krovak with south and west
        // axes, the false origin turned about with them.
        if (ParameterValue(p, 8818, 78.5) != 78.5)
            return ExportFail(reason, "PROJ's krovak has its pseudo standard parallel at 78.5 degrees only");
        p.methodCode = 1041;
        s = "+proj=krovak +axis=swu";
        Put(s, "lat_0", ParameterValue(p, 8811, 0));
        Put(s, "lon_0", ParameterValue(p, 8833, 0));
        Put(s, "alpha", ParameterValue(p, 1036, 0));
        Put(s, "k", ParameterValue(p, 8819, 1));
        Put(s, "x_0", -ParameterValue(p, 8806, 0) * p.linearUnitToMetre);
        Put(s, "y_0", -ParameterValue(p, 8807, 0) * p.linearUnitToMetre);
        p.parameters.clear();
    }
    if (p.methodCode == 1051) {
        // Michigan's cone as PROJ writes it: the two-parallel lcc whose k_0 is
        // the ellipsoid scaling factor.
        const double k = ParameterValue(p, 1038, 1);
        p.methodCode = 9802;
        s = "+proj=lcc";
        Put(s, "k_0", k);
        std::vector<ZrEpsgParameter> rest;
        for (const auto& q : p.parameters)
            if (q.code != 1038) rest.push_back(q);
        p.parameters = rest;
    }
    const ZrMethodNames* m = ZrFindMethod(p.methodCode);
    if (!m || !m->projName)
        return ExportFail(reason, "the method " +
                                      (m ? std::string(m->epsgName) : std::to_string(p.methodCode)) +
                                      " has no PROJ form");
    std::string authalic;
    if (!ZrSphereOfRadiusA(p.methodCode, g.inverseFlattening, authalic)) return ExportFail(reason, authalic);
    if (std::strcmp(m->projName, "eqc") == 0 && g.inverseFlattening != 0)
        return ExportFail(reason, "PROJ's eqc computes on a sphere; this equidistant cylindrical follows the "
                                  "meridian of its ellipsoid");
    double toMetre = p.linearUnitToMetre;
    if (s.empty()) s = std::string("+proj=") + m->projName;
    if (p.methodCode == PJ_KIND_GENERAL_OBLIQUE_TRANSFORMATION) s += " +o_proj=eqc";
    if (p.methodCode == 9807) {
        // UTM zones in PROJ's own short form.
        double lon0 = ParameterValue(p, 8802, 0), x0 = ParameterValue(p, 8806, 0) * toMetre;
        double y0 = ParameterValue(p, 8807, 0) * toMetre;
        double zone = (lon0 + 183.0) / 6.0;
        if (ParameterValue(p, 8801, 0) == 0 && ParameterValue(p, 8805, 1) == 0.9996 && x0 == 500000.0 &&
            (y0 == 0.0 || y0 == 10000000.0) && zone == std::floor(zone) && zone >= 1 && zone <= 60) {
            s = "+proj=utm +zone=" + std::to_string(int(zone)) + (y0 != 0 ? " +south" : "");
            p.parameters.clear();
        }
    }
    if (p.methodCode == 9801) {
        // PROJ's lcc takes the tangent parallel as +lat_1 and the origin as +lat_0.
        s = "+proj=lcc";
        Put(s, "lat_1", ParameterValue(p, 8801, 0));
    }
    const ZrParameterNames* params[16];
    int n = ZrMethodParameters(p.methodCode, params, 16);
    for (const auto& q : p.parameters) {
        const ZrParameterNames* names = nullptr;
        for (int i = 0; i < n && i < 16; ++i)
            if (params[i]->code == q.code) names = params[i];
        double v = q.value;
        if (names && names->quantity == ZR_PARAM_LENGTH) v *= toMetre;
        if (p.methodCode == 1041 && q.code == 8818) {
            // PROJ's krovak fixes its pseudo standard parallel and has no key for it.
            if (v == 78.5) continue;
            return ExportFail(reason, "PROJ's krovak has its pseudo standard parallel at 78.5 degrees only");
        }
        if (!names || !names->projKey) {
            if (v == 0) continue; // a parameter PROJ does not take, at the value that has no effect
            return ExportFail(reason, "the parameter " + std::to_string(q.code) + " has no PROJ key");
        }
        Put(s, p.methodCode == 9801 && q.code == 8801 ? "lat_0" : names->projKey, v);
    }
    if (p.methodCode == 9812) s += " +no_uoff";
    s += EllipsoidText(g) + MeridianText(g);
    const ZrLinearUnit* unit = ZrFindUnitByFactor(toMetre);
    if (unit && unit->projName && unit->toMetre == toMetre) {
        s += std::string(" +units=") + unit->projName;
    } else {
        Put(s, "to_meter", toMetre);
    }
    s += TitleText(p.name) + " +no_defs +type=crs";
    text = CString(s.c_str());
    return 1;
}
