#include "interop/proj_common_p.h"

#include "interop/ZrEpsgData_p.h"
#include "interop/ZrInteropMatch_p.h"

#include "platform/ZrCodePage.h"
#include "platform/ZrString.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

namespace {

// EPSG's factors, as EPSG's own ratios where it gives one (the same doubles
// as the library's exact unit codes hold); PROJ's "+units=" names for those
// it has. The US survey foot is 1200/3937 m exactly.
const ZrLinearUnit kUnits[] = {
    {9001, "metre", "m", 1.0},
    {9036, "kilometre", "km", 1000.0},
    {0, "decimetre", "dm", 0.1},
    {1033, "centimetre", "cm", 0.01},
    {1025, "millimetre", "mm", 0.001},
    {9002, "foot", "ft", 0.3048},
    {9003, "US survey foot", "us-ft", 1200.0 / 3937.0},
    {9096, "yard", "yd", 0.9144},
    {0, "inch", "in", 0.0254},
    {9093, "Statute mile", "mi", 1609.344},
    {9030, "nautical mile", "kmi", 1852.0},
    {9014, "fathom", "fath", 1.8288},
    {9097, "chain", "ch", 20.1168},
    {9098, "link", "link", 0.201168},
    {9033, "US survey chain", "us-ch", 792.0 / 39.37},
    {9034, "US survey link", nullptr, 7.92 / 39.37},
    {9035, "US survey mile", "us-mi", 63360.0 / 39.37},
    {0, "US survey inch", "us-in", 100.0 / 3937.0},
    {0, "US survey yard", "us-yd", 3600.0 / 3937.0},
    {9081, "Indian foot (1937)", "ind-ft", 0.30479841},
    {9085, "Indian yard (1937)", "ind-yd", 0.91439523},
    {9080, "Indian foot", nullptr, 0.30479951024814694},
    {9084, "Indian yard", nullptr, 0.9143985307444408},
    {9005, "Clarke's foot", nullptr, 0.3047972654},
    {9037, "Clarke's yard", nullptr, 0.9143917962},
    {9039, "Clarke's link", nullptr, 0.201166195164},
    {9041, "British foot (Sears 1922)", nullptr, 0.3047994715386762},
    {9040, "British yard (Sears 1922)", nullptr, 0.9143984146160287},
    {9042, "British chain (Sears 1922)", nullptr, 20.116765121552632},
    {9094, "Gold Coast foot", nullptr, 0.3047997101815088},
    {9031, "German legal metre", nullptr, 1.0000135965},
    {9038, "Clarke's chain", nullptr, 20.1166195164},
    {9043, "British link (Sears 1922)", nullptr, 7.92 / 39.370147},
    {9050, "British yard (Benoit 1895 A)", nullptr, 0.9143992},
    {9051, "British foot (Benoit 1895 A)", nullptr, 0.9143992 / 3.0},
    {9052, "British chain (Benoit 1895 A)", nullptr, 20.1167824},
    {9053, "British link (Benoit 1895 A)", nullptr, 0.201167824},
    {9060, "British yard (Benoit 1895 B)", nullptr, 36.0 / 39.370113},
    {9061, "British foot (Benoit 1895 B)", nullptr, 12.0 / 39.370113},
    {9062, "British chain (Benoit 1895 B)", nullptr, 792.0 / 39.370113},
    {9063, "British link (Benoit 1895 B)", nullptr, 7.92 / 39.370113},
    {9070, "British foot (1865)", nullptr, 0.9144025 / 3.0},
    {9082, "Indian foot (1962)", nullptr, 0.3047996},
    {9083, "Indian foot (1975)", nullptr, 0.3047995},
    {9086, "Indian yard (1962)", nullptr, 0.9143988},
    {9087, "Indian yard (1975)", nullptr, 0.9143985},
    {9095, "British foot (1936)", nullptr, 0.3048007491},
    {9099, "British yard (Sears 1922 truncated)", nullptr, 0.914398},
    {9300, "British foot (Sears 1922 truncated)", nullptr, 0.914398 / 3.0},
    {9301, "British chain (Sears 1922 truncated)", nullptr, 20.116756},
    {9302, "British link (Sears 1922 truncated)", nullptr, 0.20116756},
};

} // namespace

const ZrLinearUnit* ZrFindUnitByProjName(const char* name) {
    for (const auto& u : kUnits)
        if (u.projName && std::strcmp(u.projName, name) == 0) return &u;
    return nullptr;
}

const ZrLinearUnit* ZrFindUnitByName(const char* name) {
    for (const auto& u : kUnits)
        if (ZrStrICmp(u.epsgName, name) == 0) return &u;
    if (ZrStrICmp(name, "meter") == 0) return &kUnits[0];
    if (ZrStrICmp(name, "US survey foot (1200/3937 m)") == 0 || ZrStrICmp(name, "Foot_US") == 0)
        return ZrFindUnitByProjName("us-ft");
    return nullptr;
}

const ZrLinearUnit* ZrFindUnitByFactor(double toMetre) {
    for (const auto& u : kUnits)
        if (u.toMetre == toMetre) return &u;
    for (const auto& u : kUnits)
        if (std::fabs(u.toMetre - toMetre) <= 1e-12 * u.toMetre) return &u;
    return nullptr;
}

std::string ZrShortestNumber(double value) {
    if (value == 0.0) return "0"; // also for -0, which PROJ would print as "-0"
    char buf[32];
    auto r = std::to_chars(buf, buf + sizeof buf, value);
    return std::string(buf, r.ptr);
}

int ZrReadNumber(const std::string& text, double& out) {
    const char* p = text.c_str();
    const char* end = p + text.size();
    if (p != end && *p == '+') ++p; // PROJ writes "+x_0=+500000" rarely, but reads it
    // Only digits, one point, an exponent: refuses "inf", "nan", hex.
    for (const char* q = p; q != end; ++q)
        if (!std::strchr("0123456789.eE+-", *q)) return 0;
    double v = 0;
    auto r = std::from_chars(p, end, v);
    if (r.ec != std::errc() || r.ptr != end || !std::isfinite(v)) return 0;
    out = v;
    return 1;
}

double ZrDirectionDegrees(double degrees) {
    if (!std::isfinite(degrees)) return degrees;
    double d = std::fmod(degrees, 360.0);
    if (d > 180.0) d -= 360.0;
    if (d <= -180.0) d += 360.0;
    return d;
}

std::string ZrShortReason(const std::string& reason) {
    constexpr size_t kLongest = 160;
    if (reason.size() <= kLongest) return reason;
    // Whole characters only, so the cut text stays UTF-8; a byte that begins
    // none (a reason may quote the caller's text) counts as one.
    size_t cut = 0;
    for (;;) {
        const int n = CZrCodePage::Utf8CharLength(reason.data() + cut, reason.size() - cut);
        const size_t step = n > 0 ? size_t(n) : 1;
        if (cut + step > kLongest) break;
        cut += step;
    }
    return reason.substr(0, cut) + "...";
}

namespace {

// The preferred Helmert or translation of an EPSG geographic system to
// WGS 84, position-vector convention, 7 values; false when EPSG has none.
bool KnownShift(long code, double out[7]) {
    if (code <= 0 || code == 4326) return false;
    std::vector<ZrEpsgTransformationRecord> list;
    ZrEpsgListTransformations(code, 4326, list);
    for (const ZrEpsgTransformationRecord& t : list) {
        if (t.methodCode != 9603 && t.methodCode != 9606 && t.methodCode != 9607) continue;
        const double sign = t.sourceCode != code ? -1.0 : 1.0;         // stored the other way round
        const double rot = (t.methodCode == 9607 ? -1.0 : 1.0) * sign; // coordinate frame: rotations negated
        const double v[7] = {sign * t.tx, sign * t.ty, sign * t.tz, rot * t.rx,
                             rot * t.ry,  rot * t.rz,  sign * t.ds};
        for (int i = 0; i < 7; ++i)
            out[i] = v[i];
        return true;
    }
    return false;
}

// Within a millimetre, 0.1 milli-arc-second and 0.001 ppm: the printed
// precision of EPSG's values.
bool SameShift(const std::vector<double>& given, const double known[7]) {
    for (size_t i = 0; i < 7; ++i) {
        const double v = i < given.size() ? given[i] : 0.0;
        const double tolerance = i < 3 ? 1e-3 : (i < 6 ? 1e-4 : 1e-3);
        if (!(std::fabs(v - known[i]) <= tolerance)) return false;
    }
    return true;
}

bool SameEarth(const ZrEpsgGeographicRecord& a, const ZrEpsgGeographicRecord& b) {
    const double fa = a.inverseFlattening == 0 ? 0 : 1 / a.inverseFlattening;
    const double fb = b.inverseFlattening == 0 ? 0 : 1 / b.inverseFlattening;
    return std::fabs(a.semiMajorAxis - b.semiMajorAxis) <= kZrMatchAxisMetres &&
           std::fabs(fa - fb) <= kZrMatchFlattening &&
           std::fabs(a.primeMeridianLongitude - b.primeMeridianLongitude) <= 1e-9;
}

} // namespace

int ZrHonourShift(const std::vector<double>& shift, ZrEpsgGeographicRecord& g, std::string& reason) {
    bool zero = true;
    for (double v : shift)
        zero = zero && v == 0.0;
    if (zero) return 1;
    double known[7];
    long named = g.code;
    if (named <= 0 && !g.datumName.empty()) {
        // Names that give a catalogue system: its mapped EPSG code.
        CZrPJGeoCoordSys gcs;
        if (ZrMatchGeographic(g, gcs) && gcs.GetType() > 1) named = ZrMappedEpsgCode(gcs.GetType());
    }
    if (named > 0) {
        if (KnownShift(named, known) && SameShift(shift, known)) return 1;
    } else {
        // No name: the shift and the earth identify the system, if exactly one
        // datum has them.
        std::vector<long> codes;
        ZrEpsgGeographicCodes(codes);
        ZrEpsgGeographicRecord found;
        std::vector<long> datums;
        for (long code : codes) {
            ZrEpsgGeographicRecord e;
            if (!ZrEpsgFindGeographic(code, e) || !SameEarth(e, g)) continue;
            if (!KnownShift(code, known) || !SameShift(shift, known)) continue;
            if (datums.empty()) found = e; // codes ascend: the lowest of the datum's systems
            if (std::find(datums.begin(), datums.end(), e.datumCode) == datums.end())
                datums.push_back(e.datumCode);
        }
        if (datums.size() == 1) {
            g = found;
            return 1;
        }
    }
    std::string text = "the shift to WGS 84 (";
    for (size_t i = 0; i < shift.size(); ++i)
        text += ZrShortestNumber(shift[i]) + (i + 1 < shift.size() ? "," : ")");
    text += " is not the known shift of an EPSG datum on that ellipsoid; a system here cannot carry a shift "
            "of its own";
    reason = text;
    return 0;
}

int ZrSphereOfRadiusA(long methodCode, double inverseFlattening, std::string& reason) {
    if ((methodCode != 43003 && methodCode != 43029) || inverseFlattening == 0.0) return 1;
    reason =
        std::string(methodCode == 43003 ? "Miller" : "Van der Grinten") +
        " on an ellipsoid: PROJ means the sphere of equal area, the kind computes on the sphere of radius a";
    return 0;
}
