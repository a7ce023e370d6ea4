#include "interop/proj_common_p.h"

#include "platform/ZrString.h"

#include <charconv>
#include <cmath>
#include <cstring>

namespace {

// EPSG's factors; PROJ's "+units=" names for those it has. The US survey foot
// is 1200/3937 m exactly.
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
    {9033, "US survey chain", "us-ch", 79200.0 / 3937.0},
    {9035, "US survey mile", "us-mi", 6336000.0 / 3937.0},
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
