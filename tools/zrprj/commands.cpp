// The commands of zrprj: project, unproject, convert, info, list, sample.
#include "tools/zrprj/zrprj_p.h"

#include "interop/ZrEpsgData_p.h"
#include "interop/ZrHeightOffsets_p.h"
#include "interop/ZrInterop.h"
#include "interop/ZrSearch.h"
#include "model/ZrPJDatum.h"
#include "model/ZrPJObject.h"
#include "model/ZrPJPrimeMeridian.h"
#include "model/ZrPJSpheroid.h"
#include "model/catalogue/ZrProjectedCatalogue.h"
#include "persistence/ZrPrjFiles.h"
#include "platform/ZrToolkit.h"
#include "platform/ui/ZrDC.h"
#include "projection/ZrGeocentric.h"
#include "transform/ZrGrid.h"
#include "transform/ZrPJTranslator.h"

#include <algorithm>
#include <charconv>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <climits>
#include <map>
#include <memory>
#include <strings.h>

namespace {

struct OptionSpec {
    const char* longName;  // "--precision"
    const char* shortName; // "-p" or nullptr
    bool takesValue;
};

// Options anywhere among the arguments, "--" ends them, "-" alone is a
// positional argument (standard input).
struct ParsedArgs {
    std::map<std::string, std::string> options; // by long name
    std::vector<std::string> positional;
    bool help = false;
};

bool ParseArgs(const char* command, const std::vector<std::string>& args,
               const std::vector<OptionSpec>& specs, ParsedArgs& parsed, int& status) {
    bool optionsEnded = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-' ||
            std::isdigit(static_cast<unsigned char>(arg[1]))) {
            parsed.positional.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (arg == "-h" || arg == "--help") {
            parsed.help = true;
            continue;
        }
        std::string name = arg, value;
        bool hasValue = false;
        const size_t eq = arg.find('=');
        if (arg.compare(0, 2, "--") == 0 && eq != std::string::npos) {
            name = arg.substr(0, eq);
            value = arg.substr(eq + 1);
            hasValue = true;
        }
        const OptionSpec* spec = nullptr;
        for (const OptionSpec& s : specs)
            if (name == s.longName || (s.shortName && name == s.shortName)) spec = &s;
        if (!spec) {
            status = ZrCliUsageError(command, "unknown option \"" + arg + "\"");
            return false;
        }
        if (spec->takesValue && !hasValue) {
            if (i + 1 >= args.size()) {
                status = ZrCliUsageError(command, std::string("option ") + spec->longName + " needs a value");
                return false;
            }
            value = args[++i];
        } else if (!spec->takesValue && hasValue) {
            status = ZrCliUsageError(command, std::string("option ") + spec->longName + " takes no value");
            return false;
        }
        parsed.options[spec->longName] = value;
    }
    // "EPSG: 32650" typed without quotes arrives as two arguments; it names
    // one system.
    for (size_t i = 0; i + 1 < parsed.positional.size(); ++i) {
        if (strcasecmp(parsed.positional[i].c_str(), "EPSG:") == 0) {
            parsed.positional[i] += parsed.positional[i + 1];
            parsed.positional.erase(parsed.positional.begin() + static_cast<long>(i) + 1);
        }
    }
    return true;
}

bool ParseInt(const std::string& text, long low, long high, long& value) {
    char* end = nullptr;
    errno = 0;
    const long v = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || errno != 0 || *end != '\0' || v < low || v > high) return false;
    value = v;
    return true;
}

// The precision option, or the fixed default of the output side.
bool Decimals(const char* command, const ParsedArgs& parsed, int fallback, int& decimals, int& status) {
    decimals = fallback;
    const auto it = parsed.options.find("--precision");
    if (it == parsed.options.end()) return true;
    long value = 0;
    if (!ParseInt(it->second, 0, 17, value)) {
        status = ZrCliUsageError(command, "--precision takes a whole number of decimals from 0 to 17");
        return false;
    }
    decimals = static_cast<int>(value);
    return true;
}

bool Resolve(const char* command, const std::string& spec, CZrPJCoordSys& cs, int& status,
             bool planarAllowed = false, ZrCarriedShift* shift = nullptr) {
    std::string why;
    if (ZrCliResolveSystem(spec, cs, why, planarAllowed, shift)) return true;
    ZrCliError(command, why);
    status = ZRCLI_USAGE;
    return false;
}

// Seven comma- or blank-separated numbers: dX dY dZ (m), rX rY rZ (arc-seconds), dS (ppm).
bool ParseShift(const std::string& text, CZrPJParams& params) {
    double values[7];
    std::string copy = text;
    for (char& c : copy)
        if (c == ',') c = ' ';
    const char* p = copy.c_str();
    for (double& v : values) {
        char* end = nullptr;
        v = std::strtod(p, &end);
        if (end == p || !std::isfinite(v)) return false;
        p = end;
    }
    while (*p == ' ')
        ++p;
    if (*p != '\0') return false;
    params.TranslationX = values[0];
    params.TranslationY = values[1];
    params.TranslationZ = values[2];
    params.RotationX = values[3];
    params.RotationY = values[4];
    params.RotationZ = values[5];
    params.ScaleDifference = values[6];
    return true;
}

// The options of the point formats, the same for project, unproject and convert.
const std::vector<OptionSpec> kFormatOptions = {{"--delimiter", nullptr, true},
                                                {"--header", nullptr, false},
                                                {"--columns", nullptr, true},
                                                {"--lat-first", nullptr, false}};

std::vector<OptionSpec> WithFormatOptions(std::vector<OptionSpec> specs) {
    specs.insert(specs.end(), kFormatOptions.begin(), kFormatOptions.end());
    return specs;
}

// The point format: CSV when a delimiter, a header or columns are given,
// whitespace columns otherwise. geographicIn and geographicOut say which
// sides --lat-first turns round; systemIn and systemOut, the systems the
// points come from and go to, which sides EPSG's order turns round.
bool StreamFormat(const char* command, const ParsedArgs& parsed, bool geographicIn, bool geographicOut,
                  const CZrPJCoordSys& systemIn, const CZrPJCoordSys& systemOut, ZrCliStreamOptions& options,
                  int& status) {
    const auto has = [&parsed](const char* name) { return parsed.options.count(name) != 0; };
    std::string why;
    options.csv = has("--delimiter") || has("--header") || has("--columns");
    options.header = has("--header");
    if ((has("--delimiter") && !ZrCliParseDelimiter(parsed.options.at("--delimiter"), options, why)) ||
        (has("--columns") && !ZrCliParseColumns(parsed.options.at("--columns"), options, why))) {
        status = ZrCliUsageError(command, why);
        return false;
    }
    const bool latFirst = has("--lat-first");
    options.swapIn = (latFirst && geographicIn) || (!geographicIn && ZrEpsgOrderSwapsXY(systemIn));
    options.swapOut = (latFirst && geographicOut) || (!geographicOut && ZrEpsgOrderSwapsXY(systemOut));
    return true;
}

const std::vector<OptionSpec> kProjectOptions =
    WithFormatOptions({{"--inverse", "-I", false}, {"--precision", "-p", true}});

} // namespace

int ZrCliProject(const std::vector<std::string>& args, bool inverse) {
    const char* command = inverse ? "zrprj unproject" : "zrprj project";
    ParsedArgs parsed;
    int status = ZRCLI_OK;
    if (!ParseArgs(command, args, kProjectOptions, parsed, status)) return status;
    if (parsed.help)
        return ZrCliPrintHelp(inverse ? "unproject" : "project", stdout) ? ZRCLI_OK : ZRCLI_USAGE;
    if (parsed.options.count("--inverse")) inverse = !inverse;
    if (parsed.positional.empty()) return ZrCliUsageError(command, "a coordinate system is needed");

    CZrPJCoordSys cs;
    if (!Resolve(command, parsed.positional[0], cs, status)) return status;
    if (!ZrCliIsProjected(cs)) {
        ZrCliErrorf(command, "%s is not a projected system; use zrprj convert between geographic systems",
                    ZrCliLabel(cs).c_str());
        return ZRCLI_USAGE;
    }
    ZrCliStreamOptions options;
    options.command = command;
    if (!Decimals(command, parsed, inverse ? kAngularDecimals : kLinearDecimals, options.decimals, status))
        return status;
    if (!StreamFormat(command, parsed, !inverse, inverse, cs, cs, options, status)) return status;

    // The operator's own per-point result tells a refused point from a
    // projected one; the coordinate system's array call does not. The checks
    // refuse what the library would clamp or fold.
    const CZrPJOperator op = cs.GetPJOperator();
    const ZrCliPointFn fn = [&op, inverse](CPoint2D& pt, std::string& why) {
        return (inverse ? ZrCliCheckedInverse(op, "projection", pt, why)
                        : ZrCliCheckedForward(op, "projection", kCliGrossMissMetres, pt, why)) != 0;
    };
    const std::vector<std::string> files(parsed.positional.begin() + 1, parsed.positional.end());
    return ZrCliRunStream(files, fn, options, stdout);
}

namespace {

// A conversion, one point at a time, along the translator's route: unproject
// with the side the point comes from, shift the datum when the geographic
// systems differ (a translator between the two geographic systems, so the
// shift is the library's own), project with the side it goes to. Each step
// reports its own failure.
class PointConverter {
public:
    PointConverter(const CZrPJCoordSys& src, const CZrPJCoordSys& dst, bool forward)
        : m_from(forward ? src : dst), m_to(forward ? dst : src), m_forward(forward), m_srcSystem(src),
          m_dstSystem(dst) {
        // A geocentric side is no map: its X, Y, Z come from longitude,
        // latitude and height on its ellipsoid, in the 3-D path.
        m_fromGeocentric = Geocentric(m_from, m_fromEarth);
        m_toGeocentric = Geocentric(m_to, m_toEarth);
        m_fromProjected = ZrCliIsProjected(m_from) && !m_fromGeocentric;
        m_toProjected = ZrCliIsProjected(m_to) && !m_toGeocentric;
        // CopyAll: the operator's assignment leaves the series behind.
        m_fromOp.CopyAll(m_from.GetPJOperator());
        m_toOp.CopyAll(m_to.GetPJOperator());
        m_shift = !(src.GetGCS() == dst.GetGCS());
        if (m_shift) {
            m_src.SetEarth(src.GetGCS(), 10000);
            m_dst.SetEarth(dst.GetGCS(), 10000);
            m_datum.Set(m_src, m_dst);
        }
    }

    // 1 when the datum part is ready (or not needed).
    int Prepare(tagPJTransMethod method, const CZrPJParams& params) {
        if (!m_shift) return 1;
        m_datum.SetMethod(method);
        return m_datum.SetParams(params);
    }
    // The datum part from an EPSG transformation, taken forwards or reversed
    // as the two geographic systems require; 0 and why when it does not join
    // them.
    int PrepareEpsg(long code, std::string& why) {
        if (!m_shift) {
            why = "the two systems lie on one geographic system, so there is no datum to shift";
            return 0;
        }
        CString reason;
        const int pair = ZrSetTranslatorProjectedPair(m_datum, m_srcSystem, m_dstSystem, m_src, m_dst, code,
                                                      nullptr, &reason);
        if (pair >= 0) {
            why = reason.str();
            return pair;
        }
        if (!ZrSetTranslatorEpsgOperation(m_datum, m_src, m_dst, code, &reason)) {
            why = reason.str();
            return 0;
        }
        return 1;
    }
    // The best operation for each point, as PROJ chooses it (EPSG's
    // candidates, or the shifts the systems carry); 0 and why where the
    // datums differ and nothing is known, unless ballpark.
    int PrepareBest(const ZrCarriedShift& srcShift, const ZrCarriedShift& dstShift, bool ballpark,
                    std::string& why) {
        if (!m_shift) return 1;
        CString reason;
        // EPSG's operations between the two projected systems themselves come first, as PROJ offers them.
        const bool carried = srcShift.kind != ZR_CARRIED_NONE || dstShift.kind != ZR_CARRIED_NONE;
        if (!carried && ZrSetTranslatorProjectedPair(m_datum, m_srcSystem, m_dstSystem, m_src, m_dst, 0,
                                                     &m_used, &reason) == 1) {
            m_applied.assign(m_used.size(), 0);
            return 1;
        }
        if (!ZrSetTranslatorBestOperation(m_datum, m_src, &srcShift, m_dst, &dstShift, ballpark, &m_used,
                                          &reason)) {
            why = reason.str();
            return 0;
        }
        m_applied.assign(m_used.size(), 0);
        return 1;
    }
    // EPSG's height offsets between a compound system and a geographic 3D
    // one, per point as PROJ chooses them; -1 where EPSG states none for the
    // pair, 0 and why where they cannot be set up.
    int PrepareHeightOffsets(const ZrHeightOffsetPair& pair, std::string& why) {
        if (!m_shift) return -1;
        CString reason;
        const int set = ZrSetTranslatorHeightOffsets(m_datum, m_src, m_dst, pair, &m_used, &reason);
        if (set == 1) m_applied.assign(m_used.size(), 0);
        m_withinAreas = set == 1 && pair.geoidVertical != 0 && !pair.onlyCode;
        if (set == 0) why = reason.str();
        return set;
    }
    // The operations applied to at least one point, one a line, for stderr.
    std::string Applied() const {
        std::string s;
        for (size_t i = 0; i < m_used.size(); ++i) {
            if (!m_applied[i]) continue;
            const ZrOperationSummary& u = m_used[i];
            char accuracy[40] = "accuracy unknown";
            if (u.accuracy >= 0.0) std::snprintf(accuracy, sizeof accuracy, "accuracy %g m", u.accuracy);
            s += (u.code > 0 ? "EPSG:" + std::to_string(u.code) + " " : std::string()) + u.name.str() + " (" +
                 accuracy + ")\n";
        }
        return s;
    }
    bool NeedsShift() const { return m_shift; }
    bool FromGeocentric() const { return m_fromGeocentric; }
    bool ToGeocentric() const { return m_toGeocentric; }
    // Whether the operation chosen moves with the coordinate epoch.
    bool TimeDependent() const {
        return m_shift && m_datum.GetOperations() && m_datum.GetOperations()->TimeDependent();
    }

    // The 3-D path: longitude, latitude and height (or geocentric X, Y, Z)
    // through the same steps, the height carried by the datum operation, at
    // the coordinate epoch given (NaN: none).
    bool Convert3D(CPoint3D& pt, double epoch, std::string& why) const {
        if (m_fromGeocentric) {
            double lon = 0, lat = 0, h = 0;
            if (!ZrGeocentricToGeodetic(m_fromEarth.a, m_fromEarth.f, pt.x, pt.y, pt.z, lon, lat, h)) {
                why = "the geocentric point is not three finite numbers";
                return false;
            }
            lon -= m_fromEarth.pm;
            pt = CPoint3D(lon > 180.0 ? lon - 360.0 : lon, lat, h);
        } else if (m_fromProjected) {
            CPoint2D p(pt.x, pt.y);
            if (!ZrCliCheckedInverse(m_fromOp, "source projection", p, why)) return false;
            pt.x = p.x;
            pt.y = p.y;
        } else if (!(std::fabs(pt.y) <= 90.0)) {
            why = "the latitude is beyond 90 degrees";
            return false;
        }
        m_geoFrom = CPoint2D(pt.x, pt.y);
        if (m_shift) {
            if (const CZrPJOperationChoice* choice = m_datum.GetOperations()) {
                const int i = choice->Pick(pt.x, pt.y);
                if (m_withinAreas && (i < 0 || !choice->At(i).Contains(pt.x, pt.y))) {
                    why = "no operation's area of use holds the point";
                    return false;
                }
                if (i >= 0 && static_cast<size_t>(i) < m_applied.size())
                    m_applied[static_cast<size_t>(i)] = 1;
            }
            m_datum.SetEpoch(epoch);
            m_datum.Convert(&pt, 1, m_forward ? 1 : 0);
            if (!std::isfinite(pt.x) || !std::isfinite(pt.y) || !std::isfinite(pt.z)) {
                why = "the datum shift gives no position for the point";
                return false;
            }
        }
        m_geoTo = CPoint2D(pt.x, pt.y);
        if (m_toGeocentric) {
            ZrGeodeticToGeocentric(m_toEarth.a, m_toEarth.f, pt.x + m_toEarth.pm, pt.y, pt.z, pt.x, pt.y,
                                   pt.z);
            return true;
        }
        if (!m_toProjected) return true;
        CPoint2D p(pt.x, pt.y);
        if (!ZrCliCheckedForward(m_toOp, "destination projection", kCliRoundTripMetres, p, why)) return false;
        pt.x = p.x;
        pt.y = p.y;
        return true;
    }

    bool operator()(CPoint2D& pt, std::string& why) const {
        if (m_fromProjected) {
            if (!ZrCliCheckedInverse(m_fromOp, "source projection", pt, why)) return false;
        } else if (!(std::fabs(pt.y) <= 90.0)) {
            why = "the latitude is beyond 90 degrees";
            return false;
        }
        m_geoFrom = pt;
        if (m_shift) {
            if (const CZrPJOperationChoice* choice = m_datum.GetOperations()) {
                const int i = choice->Pick(pt.x, pt.y, m_forward ? 1 : 0);
                if (i >= 0 && static_cast<size_t>(i) < m_applied.size())
                    m_applied[static_cast<size_t>(i)] = 1;
            }
            m_datum.Convert(&pt, 1, m_forward ? 1 : 0);
            if (!std::isfinite(pt.x) || !std::isfinite(pt.y)) {
                why = "the datum shift gives no position for the point";
                return false;
            }
        }
        m_geoTo = pt;
        return !m_toProjected ||
               ZrCliCheckedForward(m_toOp, "destination projection", kCliRoundTripMetres, pt, why);
    }
    // The last point's longitude and latitude on the side it came from and on
    // the side it went to, for the heights.
    const CPoint2D& GeoFrom() const { return m_geoFrom; }
    const CPoint2D& GeoTo() const { return m_geoTo; }

    bool FromProjected() const { return m_fromProjected; }
    bool ToProjected() const { return m_toProjected; }

private:
    struct Earth {
        double a = 0, f = 0, pm = 0;
    };
    static bool Geocentric(const CZrPJCoordSys& cs, Earth& e) {
        if (cs.GetProjection().GetType() != PJ_KIND_GEOCENTRIC) return false;
        const CZrPJGeoCoordSys gcs = cs.GetGCS();
        e.a = gcs.GetDatum().GetSpheroid().GetAxis();
        e.f = gcs.GetDatum().GetSpheroid().GetFlattening();
        e.pm = gcs.GetPrimeMeridian().GetLongitude();
        // The catalogue rounds some flattenings (WGS 84's to ten digits, 0.2 mm
        // in Z); EPSG's own figures where EPSG names the geographic system.
        ZrEpsgGeographicRecord g;
        const long code = ZrCliEpsgGeographicOf(cs);
        if (code > 0 && ZrEpsgFindGeographic(code, g) && std::fabs(g.semiMajorAxis - e.a) < 1.0) {
            e.a = g.semiMajorAxis;
            e.f = g.inverseFlattening == 0.0 ? 0.0 : 1.0 / g.inverseFlattening;
        }
        return true;
    }

    CZrPJCoordSys m_from, m_to;
    bool m_forward;
    bool m_fromProjected = false, m_toProjected = false;
    bool m_fromGeocentric = false, m_toGeocentric = false;
    Earth m_fromEarth, m_toEarth;
    CZrPJOperator m_fromOp, m_toOp;
    CZrPJCoordSys m_srcSystem, m_dstSystem; // as given: EPSG may join the two projected systems directly
    bool m_shift = false;
    CZrPJCoordSys m_src, m_dst;             // the two geographic systems of the shift
    mutable CZrPJTranslator m_datum;        // its epoch is set per point in the 3-D path
    bool m_withinAreas = false;             // a point outside every operation's area is refused
    std::vector<ZrOperationSummary> m_used; // the best operation's candidates, best first
    mutable std::vector<char> m_applied;    // which of them some point took
    mutable CPoint2D m_geoFrom, m_geoTo;
};

// A system given with heights: "EPSG:h+v", a horizontal system and a
// vertical one (as PROJ writes a compound system), or a geographic 3D system
// such as EPSG:4979, whose heights are ellipsoidal and whose horizontal part
// is its geographic 2D counterpart.
struct HeightSpec {
    std::string horizontal;
    long vertical = 0;
    bool ellipsoidal = false;
};

HeightSpec SplitHeights(const std::string& spec) {
    HeightSpec h;
    h.horizontal = spec;
    if (spec.size() <= 5 || strncasecmp(spec.c_str(), "EPSG:", 5) != 0) return h;
    const size_t plus = spec.find('+', 5);
    long code = 0;
    if (plus != std::string::npos) {
        std::string vertical = spec.substr(plus + 1);
        if (vertical.size() > 5 && strncasecmp(vertical.c_str(), "EPSG:", 5) == 0)
            vertical = vertical.substr(5);
        if (ParseInt(vertical, 1, INT_MAX, code)) {
            h.horizontal = spec.substr(0, plus);
            h.vertical = code;
        }
    } else if (ParseInt(spec.substr(5), 1, INT_MAX, code)) {
        const long base = ZrEpsgGeographic2DOf(code);
        long horizontal = 0, vertical = 0;
        if (base > 0) {
            h.horizontal = "EPSG:" + std::to_string(base);
            h.ellipsoidal = true;
        } else if (ZrHeightOffsetCompound(code, horizontal, vertical)) {
            // A compound system by its own code (Tokyo + JSLD69 height).
            h.horizontal = "EPSG:" + std::to_string(horizontal);
            h.vertical = vertical;
        }
    }
    return h;
}

// The two sides as EPSG's height offsets join them: one with
// gravity-related heights, the other with ellipsoidal heights or with those
// of another vertical system reached from them by a geoid; false otherwise.
bool HeightOffsetPair(const HeightSpec& src, const CZrPJCoordSys& srcCs, const HeightSpec& dst,
                      const CZrPJCoordSys& dstCs, ZrHeightOffsetPair& pair) {
    for (const bool forward : {true, false}) {
        const HeightSpec& compound = forward ? src : dst;
        const HeightSpec& other = forward ? dst : src;
        const CZrPJCoordSys& compoundCs = forward ? srcCs : dstCs;
        const CZrPJCoordSys& otherCs = forward ? dstCs : srcCs;
        if (!compound.vertical ||
            !(other.ellipsoidal || (other.vertical && other.vertical != compound.vertical)))
            continue;
        // PROJ applies them from the geographic compound system alone: from a
        // projected one (Tokyo / Japan Plane Rectangular CS + JSLD69 height) it
        // offers only its zero shift.
        if (ZrCliIsProjected(compoundCs)) continue;
        pair.horizontal = ZrCliEpsgGeographicOf(compoundCs);
        pair.vertical = compound.vertical;
        pair.geographic2d = ZrCliEpsgGeographicOf(otherCs);
        pair.compoundIsSource = forward;
        pair.geoidVertical = other.vertical;
        std::vector<ZrOperationListing> any;
        if (pair.horizontal > 0 && pair.geographic2d > 0 && ZrListHeightOffsetOperations(pair, any) > 0)
            return true;
    }
    return false;
}

// The geoid grid that turns ellipsoidal heights on the geographic system
// geographic2d into heights of the vertical system; null and why (naming
// the grids and where they were looked for) when none can be used.
std::shared_ptr<const CZrGeoidGrid> GeoidFor(long vertical, long geographic2d, std::string& name,
                                             std::string& why, long only = 0) {
    std::vector<ZrEpsgGeoidRecord> ops;
    ZrEpsgListGeoidOperations(vertical, ops);
    if (ops.empty()) {
        why = "EPSG:" + std::to_string(vertical) + " is no vertical system that EPSG reaches by a geoid grid";
        return nullptr;
    }
    std::string missing;
    for (const ZrEpsgGeoidRecord& op : ops) {
        if (op.source2dCode != geographic2d || (only && op.code != only)) continue;
        for (const std::string& grid : {op.grid, op.oldGrid}) {
            std::string path, reason;
            if (!ZrFindGrid(grid, path, &reason)) {
                if (missing.empty()) missing = reason;
                continue;
            }
            std::shared_ptr<const CZrGeoidGrid> g = CZrGeoidGrid::Open(grid, &reason);
            if (!g) {
                missing = "the grid " + path + " cannot be read: " + reason;
                continue;
            }
            name = "EPSG:" + std::to_string(op.code) + " " + op.name + " (" + grid + ")";
            return g;
        }
    }
    why = missing.empty() ? "EPSG knows no geoid grid from EPSG:" + std::to_string(geographic2d) +
                                " to EPSG:" + std::to_string(vertical)
                          : "the heights of EPSG:" + std::to_string(vertical) + " need a grid: " + missing;
    return nullptr;
}

// "EPSG:n" or "n": the code, else 0.
long TransformationCode(const std::string& text) {
    std::string digits = text;
    if (digits.size() > 5 && strncasecmp(digits.c_str(), "EPSG:", 5) == 0) digits = digits.substr(5);
    while (!digits.empty() && digits[0] == ' ')
        digits.erase(0, 1);
    long code = 0;
    return ParseInt(digits, 1, 2147483647L, code) ? code : 0;
}

const std::vector<OptionSpec> kConvertOptions = WithFormatOptions({{"--inverse", "-I", false},
                                                                   {"--precision", "-p", true},
                                                                   {"--method", "-m", true},
                                                                   {"--params", "-t", true},
                                                                   {"--transformation", "-T", true},
                                                                   {"--ballpark", nullptr, false},
                                                                   {"--epoch", nullptr, true}});

} // namespace

int ZrCliConvert(const std::vector<std::string>& args) {
    const char* command = "zrprj convert";
    ParsedArgs parsed;
    int status = ZRCLI_OK;
    if (!ParseArgs(command, args, kConvertOptions, parsed, status)) return status;
    if (parsed.help) return ZrCliPrintHelp("convert", stdout) ? ZRCLI_OK : ZRCLI_USAGE;
    if (parsed.positional.size() < 2)
        return ZrCliUsageError(command, "a source and a destination system are needed");

    CZrPJCoordSys src, dst;
    ZrCarriedShift srcShift, dstShift;
    const HeightSpec srcHeights = SplitHeights(parsed.positional[0]);
    const HeightSpec dstHeights = SplitHeights(parsed.positional[1]);
    if (!Resolve(command, srcHeights.horizontal, src, status, false, &srcShift)) return status;
    if (!Resolve(command, dstHeights.horizontal, dst, status, false, &dstShift)) return status;

    long method = PJTM_COORDINATE_FRAME;
    if (parsed.options.count("--method") && !ParseInt(parsed.options["--method"], 0, 99999, method))
        return ZrCliUsageError(command, "--method takes an EPSG method code (9603 to 9608 or 42607)");
    CZrPJParams params;
    if (parsed.options.count("--params") && !ParseShift(parsed.options["--params"], params))
        return ZrCliUsageError(command, "--params takes seven numbers: dX,dY,dZ (m),rX,rY,rZ (\"),dS (ppm)");

    const bool forward = parsed.options.count("--inverse") == 0;
    PointConverter converter(src, dst, forward);
    long namedGeoid = 0; // a geoid operation named by --transformation
    // EPSG's height offsets join a compound system to a geographic 3D one
    // (latitude, longitude and height at once): the default choice there.
    bool heightOffsets = false;
    ZrHeightOffsetPair pair;
    const bool named = parsed.options.count("--transformation") || parsed.options.count("--method") ||
                       parsed.options.count("--params");
    // One of them named by its code runs alone.
    const long namedCode = parsed.options.count("--transformation") && !parsed.options.count("--method") &&
                                   !parsed.options.count("--params")
                               ? TransformationCode(parsed.options["--transformation"])
                               : 0;
    if ((!named || namedCode) && HeightOffsetPair(srcHeights, src, dstHeights, dst, pair)) {
        std::string why;
        pair.onlyCode = namedCode;
        const int set = converter.PrepareHeightOffsets(pair, why);
        if (set == 0) {
            ZrCliErrorf(command, "%s", why.c_str());
            return ZRCLI_USAGE;
        }
        heightOffsets = set == 1;
    }
    if (heightOffsets) {
        // Set up above.
    } else if (parsed.options.count("--transformation")) {
        if (parsed.options.count("--method") || parsed.options.count("--params"))
            return ZrCliUsageError(command, "--transformation brings its own method and values: give it "
                                            "without --method and --params");
        const long code = TransformationCode(parsed.options["--transformation"]);
        if (code == 0) return ZrCliUsageError(command, "--transformation takes an EPSG code, EPSG:n or n");
        std::string why;
        // A geoid operation to the vertical system one side names is what the
        // default path would apply to the heights: it is taken for them, and
        // the horizontal part, if the datums differ, chosen as by default.
        const long vertical = srcHeights.vertical ? srcHeights.vertical : dstHeights.vertical;
        std::vector<ZrEpsgGeoidRecord> geoidOps;
        if (vertical) ZrEpsgListGeoidOperations(vertical, geoidOps);
        for (const ZrEpsgGeoidRecord& op : geoidOps)
            if (op.code == code) namedGeoid = code;
        if (namedGeoid) {
            if (!converter.PrepareBest(srcShift, dstShift, false, why)) {
                ZrCliErrorf(command, "%s and %s lie on different datums: %s", ZrCliLabel(src).c_str(),
                            ZrCliLabel(dst).c_str(), why.c_str());
                return ZRCLI_USAGE;
            }
        } else if (!converter.PrepareEpsg(code, why)) {
            ZrCliErrorf(command, "the transformation EPSG:%ld cannot convert %s to %s: %s", code,
                        ZrCliLabel(src).c_str(), ZrCliLabel(dst).c_str(), why.c_str());
            return ZRCLI_USAGE;
        }
    } else if (!parsed.options.count("--method") && !parsed.options.count("--params")) {
        std::string why;
        if (!converter.PrepareBest(srcShift, dstShift, parsed.options.count("--ballpark") != 0, why)) {
            ZrCliErrorf(command, "%s and %s lie on different datums: %s", ZrCliLabel(src).c_str(),
                        ZrCliLabel(dst).c_str(), why.c_str());
            return ZRCLI_USAGE;
        }
    } else if (!converter.Prepare(static_cast<tagPJTransMethod>(method), params)) {
        std::fprintf(
            stderr,
            "%s: the datum method %ld is none of 9603 to 9608 or 42607, and the systems lie on different "
            "geographic systems\n",
            command, method);
        return ZRCLI_USAGE;
    }
    ZrCliStreamOptions options;
    options.command = command;
    const bool toLinear = converter.ToProjected() || converter.ToGeocentric();
    if (!Decimals(command, parsed, toLinear ? kLinearDecimals : kAngularDecimals, options.decimals, status))
        return status;
    if (!StreamFormat(command, parsed, !converter.FromProjected() && !converter.FromGeocentric(), !toLinear,
                      forward ? src : dst, forward ? dst : src, options, status))
        return status;
    const ZrCliPointFn fn = [&converter](CPoint2D& pt, std::string& why) { return converter(pt, why); };

    // Three numbers a line, and an epoch: where a side is geocentric, where an
    // epoch is given, or where the operation moves with time between systems
    // with ellipsoidal heights (cs2cs reads the epoch as the fourth column).
    double epoch = kZrNoEpoch;
    if (parsed.options.count("--epoch")) {
        char* end = nullptr;
        const std::string& text = parsed.options["--epoch"];
        epoch = std::strtod(text.c_str(), &end);
        if (text.empty() || *end != '\0' || !std::isfinite(epoch))
            return ZrCliUsageError(command, "--epoch takes a decimal year, such as 2024.5");
    }
    const bool ellipsoidal = srcHeights.ellipsoidal || dstHeights.ellipsoidal;
    const bool threeD = converter.FromGeocentric() || converter.ToGeocentric() || !std::isnan(epoch) ||
                        (converter.TimeDependent() && ellipsoidal) || heightOffsets;
    if (threeD) {
        if (options.csv)
            return ZrCliUsageError(command, heightOffsets
                                                ? "points with heights offset by EPSG's height offsets "
                                                  "are read as whitespace columns (lon lat h), not as CSV"
                                                : "geocentric and epoch-dependent points are read as "
                                                  "whitespace columns (x y z [epoch]), not as CSV");
        if ((srcHeights.vertical || dstHeights.vertical) && !heightOffsets)
            return ZrCliUsageError(command, "a geocentric or epoch-dependent conversion takes ellipsoidal "
                                            "heights, not those of a vertical system");
        options.zDecimals = converter.ToGeocentric() ? options.decimals : kHeightDecimals;
        options.zOptional = !converter.FromGeocentric();
        // Height offsets to or from a vertical system other than the
        // compound side's: its geoid takes the ellipsoidal heights on (H = h
        // - N where they come out, h = H + N where they go in; the offsets
        // add dh alike either way, so N is added after them).
        std::shared_ptr<const CZrGeoidGrid> geoid;
        std::string geoidName;
        bool geoidOut = false;
        if (heightOffsets && pair.geoidVertical) {
            std::string why;
            geoid = GeoidFor(pair.geoidVertical, pair.geographic2d, geoidName, why);
            if (!geoid) {
                ZrCliErrorf(command, "%s", why.c_str());
                return ZRCLI_USAGE;
            }
            geoidOut = pair.compoundIsSource == forward;
        }
        options.point3d = [&converter, epoch, geoid, geoidOut](CPoint3D& pt, double lineEpoch,
                                                               std::string& why) {
            if (!converter.Convert3D(pt, std::isnan(lineEpoch) ? epoch : lineEpoch, why)) return false;
            if (!geoid) return true;
            const CPoint2D& at = geoidOut ? converter.GeoTo() : converter.GeoFrom();
            double n = 0.0;
            if (!geoid->HeightDeg(at.x, at.y, n)) {
                why = "the geoid grid does not cover the point";
                return false;
            }
            pt.z += geoidOut ? -n : n;
            return true;
        };
        const std::vector<std::string> files(parsed.positional.begin() + 2, parsed.positional.end());
        const int result = ZrCliRunStream(files, fn, options, stdout);
        if (geoid) std::fprintf(stderr, "%s: heights by %s\n", command, geoidName.c_str());
        const std::string applied = converter.Applied();
        if (!applied.empty())
            std::fprintf(stderr, "%s: datum operation applied:\n%s", command, applied.c_str());
        return result;
    }

    // Heights: ellipsoidal ones become heights of a vertical system by its
    // geoid grid (H = h - N), and back (h = H + N), N taken where the point
    // lies on the geographic system the grid is defined on.
    const HeightSpec& fromHeights = forward ? srcHeights : dstHeights;
    const HeightSpec& toHeights = forward ? dstHeights : srcHeights;
    std::shared_ptr<const CZrGeoidGrid> geoid;
    std::string geoidName;
    if (fromHeights.vertical && toHeights.vertical && fromHeights.vertical != toHeights.vertical) {
        ZrCliErrorf(command, "heights between two vertical systems (EPSG:%ld, EPSG:%ld) are not converted",
                    fromHeights.vertical, toHeights.vertical);
        return ZRCLI_USAGE;
    }
    const bool down = fromHeights.ellipsoidal && toHeights.vertical;
    const bool up = fromHeights.vertical && toHeights.ellipsoidal;
    if (down || up) {
        const CZrPJCoordSys& geoSide = down ? (forward ? dst : src) : (forward ? src : dst);
        std::string why;
        geoid = GeoidFor(down ? toHeights.vertical : fromHeights.vertical, ZrCliEpsgGeographicOf(geoSide),
                         geoidName, why, namedGeoid);
        if (!geoid) {
            ZrCliErrorf(command, "%s", why.c_str());
            return ZRCLI_USAGE;
        }
        options.height = [&converter, geoid, down](double& z, std::string& why) {
            const CPoint2D& at = down ? converter.GeoTo() : converter.GeoFrom();
            double n = 0.0;
            if (!geoid->HeightDeg(at.x, at.y, n)) {
                why = "the geoid grid does not cover the point";
                return false;
            }
            z += down ? -n : n;
            return true;
        };
    }
    const std::vector<std::string> files(parsed.positional.begin() + 2, parsed.positional.end());
    const int result = ZrCliRunStream(files, fn, options, stdout);
    if (geoid) std::fprintf(stderr, "%s: heights by %s\n", command, geoidName.c_str());
    const std::string applied = converter.Applied();
    if (!applied.empty()) std::fprintf(stderr, "%s: datum operation applied:\n%s", command, applied.c_str());
    return result;
}

// ---------------------------------------------------------------- info

namespace {

// "France (S 41.15, W -9.86, N 51.56, E 10.38)"; "-" when EPSG gives none.
std::string AreaText(const ZrSearchHit& hit) {
    if (!hit.hasArea) return "-";
    char box[160];
    std::snprintf(box, sizeof box, "(S %.2f, W %.2f, N %.2f, E %.2f)", hit.south, hit.west, hit.north,
                  hit.east);
    return (hit.areaName.empty() ? std::string() : hit.areaName + " ") + box;
}

const std::vector<OptionSpec> kInfoOptions = {{"--text", nullptr, false}, {"--xml", nullptr, false},
                                              {"--kv", nullptr, false},   {"--epsg", nullptr, false},
                                              {"--save", "-o", true},     {"--format", "-f", true}};

// The forms of --format: the library's own three and the exchange forms.
struct FormSpec {
    const char* name;
    tagZrCrsTextFormat exchange; // ZR_CRS_TEXT_UNKNOWN for the library's own forms
    const char* title;
};
const FormSpec kForms[] = {
    {"text", ZR_CRS_TEXT_UNKNOWN, "one-line text form"}, {"xml", ZR_CRS_TEXT_UNKNOWN, "XML form"},
    {"prj", ZR_CRS_TEXT_UNKNOWN, "key-value form"},      {"esri", ZR_CRS_TEXT_ESRI_WKT1, "ESRI WKT"},
    {"wkt1", ZR_CRS_TEXT_WKT1_GDAL, "OGC WKT1"},         {"wkt2", ZR_CRS_TEXT_WKT2_2019, "WKT2:2019"},
    {"proj", ZR_CRS_TEXT_PROJ_STRING, "PROJ string"},    {"projjson", ZR_CRS_TEXT_PROJJSON, "PROJJSON"},
    {"json", ZR_CRS_TEXT_UNKNOWN, "JSON description"},
};

int FormText(const CZrPJCoordSys& cs, const FormSpec& form, std::string& text, std::string& why);

// ---- The JSON description (--format json): one object, its members in a
// fixed order, documented in the help and the manual page. A value the
// system lacks is null, never left out, so a reader can rely on every member.

std::string JsonString(const std::string& text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            out += escaped;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

// The shortest text that reads back as the same double.
std::string JsonNumber(double value) {
    if (!std::isfinite(value)) return "null";
    char text[32];
    const auto r = std::to_chars(text, text + sizeof text, value);
    return std::string(text, r.ptr);
}

std::string JsonCode(long code) {
    return code > 0 ? std::to_string(code) : "null";
}

std::string JsonNamed(const std::string& name, long code) {
    return "{\"name\": " + JsonString(name) + ", \"code\": " + JsonCode(code) + "}";
}

std::string JsonDescription(const CZrPJCoordSys& cs) {
    const bool planar = cs.GetType() == PJ_CS_PLANAR, projected = ZrCliIsProjected(cs);
    const CZrPJGeoCoordSys gcs = cs.GetGCS();
    const CZrPJDatum datum = gcs.GetDatum();
    const CZrPJSpheroid spheroid = datum.GetSpheroid();
    ZrSearchHit entry;
    const bool described = ZrDescribeCoordSys(cs, entry) != 0;
    const int epsg = ZrCliEpsgOf(cs);
    const long catalogue = cs.GetType() == PJ_CS_EARTH ? gcs.GetType() : cs.GetType();
    std::string j = "{\n";
    j += "  \"name\": " + JsonString(ZrCliDisplayName(cs)) + ",\n";
    j += "  \"kind\": \"" + std::string(planar ? "planar" : projected ? "projected" : "geographic") + "\",\n";
    j += "  \"codes\": {\"catalogue\": " + JsonCode(planar ? 0 : catalogue) +
         ", \"epsg\": " + JsonCode(epsg) + ", \"esri\": " + JsonCode(described ? entry.esriCode : 0) + "},\n";
    if (planar) {
        j += "  \"geographic_system\": null,\n  \"datum\": null,\n  \"ellipsoid\": null,\n";
        j += "  \"prime_meridian\": null,\n";
    } else {
        j += "  \"geographic_system\": {\"name\": " + JsonString(gcs.GetName().str()) +
             ", \"code\": " + JsonCode(gcs.GetType()) + ", \"epsg\": " + JsonCode(ZrCliEpsgGeographicOf(cs)) +
             "},\n";
        j += "  \"datum\": " + JsonNamed(datum.GetName().str(), datum.GetType()) + ",\n";
        const double f = spheroid.GetFlattening();
        j += "  \"ellipsoid\": {\"name\": " + JsonString(spheroid.GetName().str()) +
             ", \"code\": " + JsonCode(spheroid.GetType()) +
             ", \"semi_major_axis\": " + JsonNumber(spheroid.GetAxis()) +
             ", \"inverse_flattening\": " + JsonNumber(f > 0.0 ? 1.0 / f : 0.0) + "},\n";
        const CZrPJPrimeMeridian pm = gcs.GetPrimeMeridian();
        j += "  \"prime_meridian\": {\"name\": " + JsonString(pm.GetName().str()) +
             ", \"code\": " + JsonCode(pm.GetType()) + ", \"longitude\": " + JsonNumber(pm.GetLongitude()) +
             "},\n";
    }
    if (projected) {
        const CZrPJObject kind = cs.GetProjection();
        const CZrPJParams p = cs.GetParams();
        const std::pair<const char*, double> parameters[] = {
            {"false_easting", p.FalseEasting},
            {"false_northing", p.FalseNorthing},
            {"central_meridian", p.CentralMeridian},
            {"central_parallel", p.CentralParallel},
            {"standard_parallel_1", p.StandardParallel1},
            {"standard_parallel_2", p.StandardParallel2},
            {"scale_factor", p.ScaleFactor},
            {"azimuth", p.Azimuth},
            {"first_point_longitude", p.FirstPointLongitude},
            {"second_point_longitude", p.SecondPointLongitude},
        };
        j += "  \"projection\": {\"name\": " + JsonString(kind.GetName().str()) +
             ", \"code\": " + JsonCode(kind.GetType()) + ", \"parameters\": {";
        for (std::size_t i = 0; i < sizeof parameters / sizeof parameters[0]; ++i)
            j += std::string(i ? ", " : "") + "\"" + parameters[i].first +
                 "\": " + JsonNumber(parameters[i].second);
        j += "}},\n";
    } else {
        j += "  \"projection\": null,\n";
    }
    if (projected || planar)
        j += "  \"unit\": {\"name\": " + JsonString(ZrCliUnitName(cs.GetDistUnits())) +
             ", \"code\": " + JsonCode(cs.GetDistUnits()) +
             ", \"metres\": " + JsonNumber(ZrUnitCodeToMetres(cs.GetDistUnits())) + "},\n";
    else
        j += "  \"unit\": {\"name\": \"degree\", \"code\": null, \"metres\": null},\n";
    if (described && entry.hasArea)
        j += "  \"area_of_use\": {\"name\": " + JsonString(entry.areaName) +
             ", \"south\": " + JsonNumber(entry.south) + ", \"west\": " + JsonNumber(entry.west) +
             ", \"north\": " + JsonNumber(entry.north) + ", \"east\": " + JsonNumber(entry.east) + "},\n";
    else
        j += "  \"area_of_use\": null,\n";
    j += "  \"aliases\": [";
    if (described)
        for (std::size_t i = 0; i < entry.aliases.size(); ++i)
            j += std::string(i ? ", " : "") + JsonString(entry.aliases[i]);
    j += "],\n";
    // The texts: the library's own forms and every exchange form, null
    // where the form cannot express the system.
    j += "  \"texts\": {";
    const struct {
        const char* key;
        const char* form;
    } texts[] = {{"text", "text"}, {"esri_wkt", "esri"}, {"wkt1", "wkt1"},
                 {"wkt2", "wkt2"}, {"proj", "proj"},     {"projjson", "projjson"}};
    bool first = true;
    for (const auto& t : texts) {
        std::string text, why;
        for (const FormSpec& f : kForms)
            if (std::string(f.name) == t.form && !FormText(cs, f, text, why)) text.clear();
        j += std::string(first ? "\n" : ",\n") + "    \"" + t.key +
             "\": " + (text.empty() ? "null" : JsonString(text));
        first = false;
    }
    j += "\n  }\n}";
    return j;
}

// The system in one form, without a final line end; 0 and why when the
// exchange form cannot express it.
int FormText(const CZrPJCoordSys& cs, const FormSpec& form, std::string& text, std::string& why) {
    const std::string name = form.name;
    if (name == "text") {
        text = cs.ToString().str();
    } else if (name == "xml") {
        text = cs.ToXML(ZRPRJ_XML_VERSION).str();
    } else if (name == "json") {
        text = JsonDescription(cs);
    } else if (name == "prj") {
        text = ZrKeyValueProjectionText(cs).str();
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
            text.pop_back();
    } else {
        CString exported, reason;
        if (!ZrExportCoordSys(cs, form.exchange, exported, &reason)) {
            why = reason.str();
            return 0;
        }
        text = exported.str();
        while (!text.empty() && text.back() == '\n')
            text.pop_back();
    }
    return 1;
}

// Saves in the library's own form named (text, xml, prj), else by extension:
// ".xml" the XML file, ".prj" the key-value file, any other the one-line text
// file.
int SaveSystem(const std::string& path, const CZrPJCoordSys& cs, const std::string& form) {
    if (form == "text") return ZrSaveTextProjectionFile(CString(path.c_str()), cs);
    if (form == "xml") return ZrSaveXmlProjectionFile(CString(path.c_str()), cs);
    if (form == "prj") return ZrSaveKeyValueProjectionFile(CString(path.c_str()), cs);
    std::string ext;
    const size_t dot = path.find_last_of('.');
    if (dot != std::string::npos && path.find('/', dot) == std::string::npos) ext = path.substr(dot);
    for (char& c : ext)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (ext == ".xml" || ext == ".prj") return ZrSaveProjectionFile(CString(path.c_str()), cs);
    return ZrSaveTextProjectionFile(CString(path.c_str()), cs);
}

void PrintSummary(const CZrPJCoordSys& cs, FILE* out) {
    const CZrPJGeoCoordSys gcs = cs.GetGCS();
    const CZrPJDatum datum = gcs.GetDatum();
    const CZrPJSpheroid spheroid = datum.GetSpheroid();
    const int epsg = ZrCliEpsgOf(cs);
    std::fprintf(out, "Name:               %s\n", ZrCliDisplayName(cs).c_str());
    std::fprintf(out, "Code:               %ld\n", cs.GetType());
    const std::string problem = epsg == -1000 ? ZrCliMappingFileProblem() : std::string();
    if (!problem.empty())
        std::fprintf(out, "EPSG:               unknown: %s\n", problem.c_str());
    else if (epsg == -1000)
        std::fprintf(out, "EPSG:               none\n");
    else
        std::fprintf(out, "EPSG:               %d\n", epsg);
    ZrSearchHit entry;
    if (ZrDescribeCoordSys(cs, entry)) {
        if (entry.esriCode != 0) std::fprintf(out, "ESRI:               %ld\n", entry.esriCode);
        if (entry.hasArea) std::fprintf(out, "Area of use:        %s\n", AreaText(entry).c_str());
    }
    if (cs.GetType() == 0) {
        // A planar system has a unit and nothing more: no earth model.
        std::fprintf(out, "Planar system, units: %s (%ld)\n", ZrCliUnitName(cs.GetDistUnits()).c_str(),
                     cs.GetDistUnits());
        return;
    }
    if (ZrCliIsProjected(cs)) {
        const CZrPJObject kind = cs.GetProjection();
        const CZrPJParams p = cs.GetParams();
        std::fprintf(out, "Projection:         %s (%ld)\n", kind.GetName().c_str(), kind.GetType());
        std::fprintf(out, "Units:              %s (%ld)\n", ZrCliUnitName(cs.GetDistUnits()).c_str(),
                     cs.GetDistUnits());
        std::fprintf(out, "Parameters:         FE %.6f  FN %.6f  CM %.9f  CP %.9f\n", p.FalseEasting,
                     p.FalseNorthing, p.CentralMeridian, p.CentralParallel);
        std::fprintf(out, "                    SP1 %.9f  SP2 %.9f  k %.9f  AZ %.9f  LON1 %.9f  LON2 %.9f\n",
                     p.StandardParallel1, p.StandardParallel2, p.ScaleFactor, p.Azimuth,
                     p.FirstPointLongitude, p.SecondPointLongitude);
    }
    std::fprintf(out, "Geographic system:  %s (%ld)\n", gcs.GetName().c_str(), gcs.GetType());
    std::fprintf(out, "Datum:              %s (%ld)\n", datum.GetName().c_str(), datum.GetType());
    std::fprintf(out, "Spheroid:           %s (%ld), a = %.4f m, 1/f = %.9f\n", spheroid.GetName().c_str(),
                 spheroid.GetType(), spheroid.GetAxis(),
                 spheroid.GetFlattening() > 0.0 ? 1.0 / spheroid.GetFlattening() : 0.0);
    std::fprintf(out, "Prime meridian:     %s (%ld)\n", gcs.GetPrimeMeridian().GetName().c_str(),
                 gcs.GetPrimeMeridian().GetType());
}

} // namespace

int ZrCliInfo(const std::vector<std::string>& args) {
    const char* command = "zrprj info";
    ParsedArgs parsed;
    int status = ZRCLI_OK;
    if (!ParseArgs(command, args, kInfoOptions, parsed, status)) return status;
    if (parsed.help) return ZrCliPrintHelp("info", stdout) ? ZRCLI_OK : ZRCLI_USAGE;
    if (parsed.positional.size() != 1) return ZrCliUsageError(command, "one coordinate system is needed");
    CZrPJCoordSys cs;
    // A planar system has nothing to project with, but can be described and
    // written in every form.
    if (!Resolve(command, parsed.positional[0], cs, status, true)) return status;

    const FormSpec* form = nullptr;
    if (parsed.options.count("--format")) {
        for (const FormSpec& f : kForms)
            if (parsed.options["--format"] == f.name) form = &f;
        if (!form)
            return ZrCliUsageError(command,
                                   "unknown form \"" + parsed.options["--format"] +
                                       "\" (text, xml, prj, esri, wkt1, wkt2, proj, projjson or json)");
    }

    if (form && (form->exchange != ZR_CRS_TEXT_UNKNOWN || std::string(form->name) == "json") &&
        parsed.options.count("--save")) {
        // An exchange form goes to the file as it is printed: a shapefile's
        // .prj holds the ESRI WKT alone, without a line end.
        const std::string path = parsed.options["--save"];
        std::string text, why;
        if (!FormText(cs, *form, text, why)) {
            ZrCliErrorf(command, "%s cannot be written as %s: %s", ZrCliLabel(cs).c_str(), form->title,
                        why.c_str());
            return ZRCLI_SOME_FAILED;
        }
        // The close flushes the buffer: a full disk shows there, and is a
        // failed save like any other.
        errno = 0;
        FILE* file = std::fopen(path.c_str(), "wb");
        bool written = file && std::fwrite(text.data(), 1, text.size(), file) == text.size();
        if (file && std::fclose(file) != 0) written = false;
        if (!written) {
            ZrCliErrorf(command, "cannot write \"%s\": %s", path.c_str(),
                        errno != 0 ? std::strerror(errno) : "write error");
            return ZRCLI_SOME_FAILED;
        }
        return ZRCLI_OK;
    }
    if (parsed.options.count("--save")) {
        const std::string path = parsed.options["--save"];
        if (!SaveSystem(path, cs, form ? form->name : "")) {
            ZrCliErrorf(command, "cannot write \"%s\"", path.c_str());
            return ZRCLI_SOME_FAILED;
        }
        return ZRCLI_OK;
    }
    const bool text = parsed.options.count("--text"), xml = parsed.options.count("--xml"),
               kv = parsed.options.count("--kv"), epsg = parsed.options.count("--epsg");
    if (text + xml + kv + epsg + (form != nullptr) > 1)
        return ZrCliUsageError(command, "choose one of --text, --xml, --kv, --epsg and --format");
    if (form) {
        std::string out, why;
        if (!FormText(cs, *form, out, why)) {
            ZrCliErrorf(command, "%s cannot be written as %s: %s", ZrCliLabel(cs).c_str(), form->title,
                        why.c_str());
            return ZRCLI_SOME_FAILED;
        }
        std::printf("%s\n", out.c_str());
        return ZRCLI_OK;
    }
    if (text) std::printf("%s\n", cs.ToString().c_str());
    if (xml) std::printf("%s\n", cs.ToXML(ZRPRJ_XML_VERSION).c_str());
    if (kv) std::printf("%s", ZrKeyValueProjectionText(cs).c_str());
    if (epsg) {
        const int code = ZrCliEpsgOf(cs);
        if (code == -1000) {
            const std::string problem = ZrCliMappingFileProblem();
            if (!problem.empty())
                ZrCliErrorf(command, "the EPSG code of %s cannot be looked up: %s", ZrCliLabel(cs).c_str(),
                            problem.c_str());
            else
                ZrCliErrorf(command, "%s has no EPSG code", ZrCliLabel(cs).c_str());
            return ZRCLI_SOME_FAILED;
        }
        std::printf("%d\n", code);
    }
    if (text || xml || kv || epsg) return ZRCLI_OK;

    PrintSummary(cs, stdout);
    std::printf("\nText form:\n%s\n", cs.ToString().c_str());
    std::printf("\nXML form:\n%s\n", cs.ToXML(ZRPRJ_XML_VERSION).c_str());
    std::printf("\nKey-value form:\n%s", ZrKeyValueProjectionText(cs).c_str());
    CString wkt2, reason;
    if (ZrExportCoordSys(cs, ZR_CRS_TEXT_WKT2_2019, wkt2, &reason))
        std::printf("\nWKT2 form:\n%s\n", wkt2.c_str());
    else
        std::printf("\nWKT2 form: none (%s)\n", reason.c_str());
    return ZRCLI_OK;
}

// ---------------------------------------------------------------- list

namespace {

struct CatalogueEntry {
    long code;
    std::string name;
    std::string unit; // projected systems not in metres: the unit, a third column
};

std::vector<CatalogueEntry> Catalogue(const std::string& which) {
    std::vector<CatalogueEntry> entries;
    if (which == "projected") {
        ZrProjectedRow row;
        for (int i = 0; i < ZrProjectedRowCount(); ++i)
            if (ZrFindProjectedRow(ZrProjectedCodeAt(i), row))
                entries.push_back(
                    {row.code, row.name, row.units == 10000 ? std::string() : ZrCliUnitName(row.units)});
    } else if (which == "geographic") {
        for (int i = 0; i < CZrPJGeoCoordSys::GetCatalogueCount(); ++i) {
            CZrPJGeoCoordSys item;
            const long code = CZrPJGeoCoordSys::GetCatalogueCode(i);
            if (item.Set(static_cast<tagGeoCoordSysType>(code)))
                entries.push_back({code, item.GetName().str(), std::string()});
        }
    } else if (which == "datum") {
        for (int i = 0; i < CZrPJDatum::GetCatalogueCount(); ++i) {
            CZrPJDatum item;
            const long code = CZrPJDatum::GetCatalogueCode(i);
            if (item.Set(static_cast<tagDatumType>(code)))
                entries.push_back({code, item.GetName().str(), std::string()});
        }
    } else if (which == "spheroid") {
        for (int i = 0; i < CZrPJSpheroid::GetCatalogueCount(); ++i) {
            CZrPJSpheroid item;
            const long code = CZrPJSpheroid::GetCatalogueCode(i);
            if (item.Set(static_cast<tagPJSpheroidType>(code)))
                entries.push_back({code, item.GetName().str(), std::string()});
        }
    } else if (which == "meridian") {
        for (int i = 0; i < CZrPJPrimeMeridian::GetCatalogueCount(); ++i) {
            CZrPJPrimeMeridian item;
            const long code = CZrPJPrimeMeridian::GetCatalogueCode(i);
            if (item.Set(static_cast<tagPJPrimeMeridianType>(code)))
                entries.push_back({code, item.GetName().str(), std::string()});
        }
    } else if (which == "kind") {
        for (int i = 0; i < CZrPJObject::GetCatalogueCount(); ++i) {
            const long code = CZrPJObject::GetCatalogueCode(i);
            if (code == -1) continue;
            CZrPJObject item;
            if (item.Set(static_cast<tagPJObjectType>(code)))
                entries.push_back({code, item.GetName().str(), std::string()});
        }
    }
    return entries;
}

std::string Lower(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

const char* const kCatalogues[] = {"projected", "geographic", "datum", "spheroid", "meridian", "kind"};
const std::vector<OptionSpec> kListOptions = {{"--catalogue", "-c", true}};

} // namespace

int ZrCliList(const std::vector<std::string>& args) {
    const char* command = "zrprj list";
    ParsedArgs parsed;
    int status = ZRCLI_OK;
    if (!ParseArgs(command, args, kListOptions, parsed, status)) return status;
    if (parsed.help) return ZrCliPrintHelp("list", stdout) ? ZRCLI_OK : ZRCLI_USAGE;
    if (parsed.positional.size() > 1) return ZrCliUsageError(command, "at most one name filter");
    const std::string which =
        parsed.options.count("--catalogue") ? parsed.options["--catalogue"] : "projected";
    bool known = which == "all";
    for (const char* name : kCatalogues)
        known = known || which == name;
    if (!known)
        return ZrCliUsageError(command,
                               "unknown catalogue \"" + which +
                                   "\" (projected, geographic, datum, spheroid, meridian, kind or all)");
    const std::string filter = parsed.positional.empty() ? std::string() : Lower(parsed.positional[0]);

    int shown = 0;
    for (const char* name : kCatalogues) {
        if (which != "all" && which != name) continue;
        for (const CatalogueEntry& entry : Catalogue(name)) {
            if (!filter.empty() && Lower(entry.name).find(filter) == std::string::npos &&
                Lower(entry.unit).find(filter) == std::string::npos && std::to_string(entry.code) != filter)
                continue;
            const std::string unit = entry.unit.empty() ? std::string() : "\t" + entry.unit;
            if (which == "all")
                std::printf("%s\t%ld\t%s%s\n", name, entry.code, entry.name.c_str(), unit.c_str());
            else
                std::printf("%ld\t%s%s\n", entry.code, entry.name.c_str(), unit.c_str());
            ++shown;
        }
    }
    if (shown == 0) {
        ZrCliErrorf(command, "nothing matches \"%s\"", filter.c_str());
        return ZRCLI_SOME_FAILED;
    }
    return ZRCLI_OK;
}

// ---------------------------------------------------------------- search

namespace {
const std::vector<OptionSpec> kSearchOptions = {
    {"--limit", "-n", true}, {"--kind", "-k", true}, {"--built", nullptr, false}};

// Tabs and line ends inside a name would break the columns.
std::string Field(std::string text) {
    for (char& c : text)
        if (c == '\t' || c == '\n' || c == '\r') c = ' ';
    return text;
}
} // namespace

int ZrCliSearch(const std::vector<std::string>& args) {
    const char* command = "zrprj search";
    ParsedArgs parsed;
    int status = ZRCLI_OK;
    if (!ParseArgs(command, args, kSearchOptions, parsed, status)) return status;
    if (parsed.help) return ZrCliPrintHelp("search", stdout) ? ZRCLI_OK : ZRCLI_USAGE;
    if (parsed.positional.empty()) return ZrCliUsageError(command, "a name, alias or code to search for");
    // Unquoted words are one query: zrprj search British National Grid.
    std::string query;
    for (const std::string& word : parsed.positional)
        query += (query.empty() ? "" : " ") + word;
    long limit = 20;
    if (parsed.options.count("--limit") && !ParseInt(parsed.options["--limit"], 0, 1000000, limit))
        return ZrCliUsageError(command, "--limit takes a whole number (0: every match)");
    const std::string kind = parsed.options.count("--kind") ? parsed.options["--kind"] : std::string();
    if (!kind.empty() && kind != "projected" && kind != "geographic")
        return ZrCliUsageError(command, "--kind is projected or geographic");
    const bool builtOnly = parsed.options.count("--built") != 0;
    const bool filtered = builtOnly || !kind.empty();

    std::vector<ZrSearchHit> hits;
    ZrSearchCoordSys(query, hits, filtered ? 0 : static_cast<int>(limit));
    long shown = 0;
    for (const ZrSearchHit& hit : hits) {
        if ((builtOnly && !hit.built) || (!kind.empty() && hit.projected != (kind == "projected"))) continue;
        if (limit > 0 && shown == limit) break;
        std::string others;
        auto add = [&others](const std::string& text) { others += (others.empty() ? "" : "; ") + text; };
        if (hit.catalogueCode != 0 && (hit.epsgCode != 0 || hit.esriCode != 0))
            add("catalogue " + std::to_string(hit.catalogueCode) + " " + hit.catalogueName);
        else if (hit.catalogueCode != 0 && hit.catalogueName != hit.name)
            add(hit.catalogueName);
        for (const std::string& alias : hit.aliases)
            add(alias);
        std::string kindText = hit.projected ? "projected" : "geographic";
        if (!hit.built) kindText += ", not built";
        const std::string line = hit.code + "\t" + Field(hit.name) + "\t" + kindText + "\t" +
                                 Field(AreaText(hit)) + "\t" + Field(others.empty() ? "-" : others) + "\n";
        if (std::fwrite(line.data(), 1, line.size(), stdout) != line.size()) return ZrCliOutputLost(command);
        ++shown;
    }
    if (shown == 0) {
        ZrCliErrorf(command, "nothing matches \"%s\"", query.c_str());
        return ZRCLI_SOME_FAILED;
    }
    return ZRCLI_OK;
}

// ---------------------------------------------------------------- sample

namespace {
const std::vector<OptionSpec> kSampleOptions = {{"--size", "-s", true}};
constexpr COLORREF kSampleBackground = RGB(240, 240, 240); // as the dialog's preview
} // namespace

int ZrCliSample(const std::vector<std::string>& args) {
    const char* command = "zrprj sample";
    ParsedArgs parsed;
    int status = ZRCLI_OK;
    if (!ParseArgs(command, args, kSampleOptions, parsed, status)) return status;
    if (parsed.help) return ZrCliPrintHelp("sample", stdout) ? ZRCLI_OK : ZRCLI_USAGE;
    if (parsed.positional.size() != 2)
        return ZrCliUsageError(command, "a coordinate system and a PNG path are needed");
    // The drawing fills about 280 x 200 pixels from the top-left corner, the
    // size of the preview area of the coordinate-system dialog.
    long width = 280, height = 200;
    if (parsed.options.count("--size")) {
        const std::string size = parsed.options["--size"];
        const size_t x = size.find('x');
        if (x == std::string::npos || !ParseInt(size.substr(0, x), 16, 4096, width) ||
            !ParseInt(size.substr(x + 1), 16, 4096, height))
            return ZrCliUsageError(command, "--size takes WIDTHxHEIGHT, each 16 to 4096 pixels");
    }
    CZrPJCoordSys cs;
    if (!Resolve(command, parsed.positional[0], cs, status)) return status;
    CZrImage image(static_cast<int>(width), static_cast<int>(height), kSampleBackground);
    CDC dc(&image);
    cs.DrawSample(&dc);
    if (!image.SavePng(parsed.positional[1].c_str())) {
        ZrCliErrorf(command, "cannot write \"%s\"", parsed.positional[1].c_str());
        return ZRCLI_SOME_FAILED;
    }
    return ZRCLI_OK;
}

// ---------------------------------------------------------------- transformations

namespace {} // namespace

int ZrCliTransformations(const std::vector<std::string>& args) {
    const char* command = "zrprj transformations";
    ParsedArgs parsed;
    int status = ZRCLI_OK;
    if (!ParseArgs(command, args, {}, parsed, status)) return status;
    if (parsed.help) return ZrCliPrintHelp("transformations", stdout) ? ZRCLI_OK : ZRCLI_USAGE;
    if (parsed.positional.size() != 2)
        return ZrCliUsageError(command, "a source and a destination system are needed");
    CZrPJCoordSys src, dst;
    const HeightSpec srcHeights = SplitHeights(parsed.positional[0]);
    const HeightSpec dstHeights = SplitHeights(parsed.positional[1]);
    if (!Resolve(command, srcHeights.horizontal, src, status)) return status;
    if (!Resolve(command, dstHeights.horizontal, dst, status)) return status;
    const long from = ZrCliEpsgGeographicOf(src), to = ZrCliEpsgGeographicOf(dst);
    for (const CZrPJCoordSys* cs : {&src, &dst}) {
        if ((cs == &src ? from : to) == -1000) {
            std::fprintf(stderr,
                         "%s: the geographic system of %s has no EPSG code, so EPSG lists nothing for it\n",
                         command, ZrCliLabel(*cs).c_str());
            return ZRCLI_USAGE;
        }
    }
    if (from == to) {
        std::fprintf(stderr, "%s: both systems lie on EPSG:%ld; no datum shift is needed\n", command, from);
        return ZRCLI_SOME_FAILED;
    }
    std::vector<ZrOperationListing> found;
    // Between a compound system and a geographic 3D one EPSG's height offsets
    // come first, with PROJ's own operations for the pair after them.
    ZrHeightOffsetPair pair;
    int listed = HeightOffsetPair(srcHeights, src, dstHeights, dst, pair)
                     ? ZrListHeightOffsetOperations(pair, found)
                     : 0;
    // An operation EPSG states between the two projected systems themselves is listed alone, as PROJ does.
    if (listed == 0) listed = ZrListProjectedOperations(ZrEpsgCodeOf(src), ZrEpsgCodeOf(dst), found);
    // Between two geocentric systems, what EPSG states between them (projinfo lists that).
    const auto geocentricCode = [](const CZrPJCoordSys& cs, long base) {
        return cs.GetProjection().GetType() == PJ_KIND_GEOCENTRIC
                   ? ZrEpsgGeocentricOf(base, cs.GetName().str())
                   : 0L;
    };
    const long fromGeocentric = geocentricCode(src, from), toGeocentric = geocentricCode(dst, to);
    if (listed == 0 && fromGeocentric > 0 && toGeocentric > 0)
        listed = ZrListOperations(fromGeocentric, toGeocentric, found);
    if (listed == 0) listed = ZrListOperations(from, to, found);
    if (listed <= 0) {
        // "None" from the lookup is also its answer when the data file could not be read.
        const CString problem = ZrEpsgDataFileProblem();
        if (!problem.IsEmpty())
            std::fprintf(stderr, "%s: EPSG's transformations cannot be looked up: %s\n", command,
                         problem.c_str());
        else
            std::fprintf(stderr, "%s: EPSG lists no transformation from EPSG:%ld to EPSG:%ld\n", command,
                         from, to);
        return ZRCLI_SOME_FAILED;
    }
    for (const ZrOperationListing& t : found) {
        char accuracy[32] = "unknown";
        if (t.accuracy >= 0.0) std::snprintf(accuracy, sizeof accuracy, "%g m", t.accuracy);
        // An operation built through an intermediate system has no code of its own (projinfo's "unknown id").
        const std::string id = t.code > 0 ? "EPSG:" + std::to_string(t.code) : std::string("unknown id");
        std::printf("%s\t%s\t%s (%ld)\t%s\t%s%s%s\n", id.c_str(), t.name.c_str(), t.methodName.c_str(),
                    t.methodCode, accuracy, t.area.c_str(), t.missing.IsEmpty() ? "" : "\t",
                    t.missing.c_str());
    }
    return ZRCLI_OK;
}
