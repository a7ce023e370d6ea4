// The EPSG data file (written by tools/gen_epsg.py): read once, on first use,
// from the folder that holds the mapping file, and searched by code.
#include "interop/ZrEpsgData_p.h"
#include "interop/ZrEpsgLeftOut_p.h"
#include "transform/ZrPJTranslator.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <system_error>
#include <vector>

namespace {
const char kFileName[] = "EpsgData.txt";
// A sane file is about 1 MB; anything far larger is not ours.
constexpr std::streamoff kMaxFileSize = 64L * 1024 * 1024;

struct Box {
    double south = -90, west = -180, north = 90, east = 180;
};

struct Geographic {
    ZrEpsgGeographicRecord record;
    Box area;
};

struct Data {
    bool ok = false;
    std::string path;
    std::vector<Geographic> geographic;
    std::vector<ZrEpsgProjectedRecord> projected;
    std::vector<ZrEpsgTransformationRecord> transformations;
    // Per transformation (same order): the codes that supersede it between
    // the same two systems.
    std::vector<std::vector<long>> replacements;
    // Projected systems whose method no kind computes.
    std::vector<ZrEpsgLeftOutRecord> leftOut;
};

std::vector<std::string> SplitTabs(const std::string& line) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t tab = line.find('\t', start);
        fields.push_back(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
        if (tab == std::string::npos) break;
        start = tab + 1;
    }
    return fields;
}

// Numbers are read without regard to the C locale, which a host may have set
// to one with a decimal comma.
bool ToDouble(const std::string& s, double& out) {
    const char* end = s.data() + s.size();
    const auto r = std::from_chars(s.data(), end, out);
    return r.ec == std::errc() && r.ptr == end && std::isfinite(out);
}

bool ToLong(const std::string& s, long& out) {
    const char* end = s.data() + s.size();
    const auto r = std::from_chars(s.data(), end, out);
    return r.ec == std::errc() && r.ptr == end;
}

bool ReadBox(const std::vector<std::string>& f, std::size_t at, Box& box) {
    return ToDouble(f[at], box.south) && ToDouble(f[at + 1], box.west) && ToDouble(f[at + 2], box.north) &&
           ToDouble(f[at + 3], box.east) && box.south <= box.north;
}

bool ParseGeographic(const std::vector<std::string>& f, Geographic& g) {
    if (f.size() != 17) return false;
    ZrEpsgGeographicRecord& r = g.record;
    long latFirst = 0;
    r.name = f[2];
    r.datumName = f[4];
    r.ellipsoidName = f[6];
    r.primeMeridianName = f[10];
    if (!ToLong(f[1], r.code) || !ToLong(f[3], r.datumCode) || !ToLong(f[5], r.ellipsoidCode) ||
        !ToDouble(f[7], r.semiMajorAxis) || !ToDouble(f[8], r.inverseFlattening) ||
        !ToLong(f[9], r.primeMeridianCode) || !ToDouble(f[11], r.primeMeridianLongitude) ||
        !ToLong(f[12], latFirst) || !ReadBox(f, 13, g.area))
        return false;
    r.latitudeFirst = latFirst != 0;
    return r.semiMajorAxis > 0 && r.inverseFlattening >= 0;
}

bool ParseProjected(const std::vector<std::string>& f, ZrEpsgProjectedRecord& r) {
    if (f.size() < 12) return false;
    r.name = f[2];
    r.methodName = f[5];
    r.conversionName = f[7];
    r.linearUnitName = f[9];
    r.axisOrder = f[11];
    if (!ToLong(f[1], r.code) || !ToLong(f[3], r.baseGeographicCode) || !ToLong(f[4], r.methodCode) ||
        !ToLong(f[6], r.conversionCode) || !ToLong(f[8], r.linearUnitCode) ||
        !ToDouble(f[10], r.linearUnitToMetre) || r.linearUnitToMetre <= 0)
        return false;
    for (std::size_t i = 12; i < f.size(); ++i) {
        const std::size_t eq = f[i].find('=');
        if (eq == std::string::npos) return false;
        ZrEpsgParameter p;
        if (!ToLong(f[i].substr(0, eq), p.code) || !ToDouble(f[i].substr(eq + 1), p.value)) return false;
        r.parameters.push_back(p);
    }
    return true;
}

bool ParseTransformation(const std::vector<std::string>& f, ZrEpsgTransformationRecord& r,
                         std::vector<long>& replacements) {
    if (f.size() != 20) return false;
    for (std::size_t start = 0; start < f[19].size();) {
        std::size_t comma = f[19].find(',', start);
        if (comma == std::string::npos) comma = f[19].size();
        long code = 0;
        if (!ToLong(f[19].substr(start, comma - start), code)) return false;
        replacements.push_back(code);
        start = comma + 1;
    }
    r.name = f[2];
    r.area = f[18];
    Box box;
    const bool ok = ToLong(f[1], r.code) && ToLong(f[3], r.methodCode) && ToLong(f[4], r.sourceCode) &&
                    ToLong(f[5], r.targetCode) && ToDouble(f[6], r.tx) && ToDouble(f[7], r.ty) &&
                    ToDouble(f[8], r.tz) && ToDouble(f[9], r.rx) && ToDouble(f[10], r.ry) &&
                    ToDouble(f[11], r.rz) && ToDouble(f[12], r.ds) && ToDouble(f[13], r.accuracy) &&
                    ReadBox(f, 14, box);
    r.south = box.south;
    r.west = box.west;
    r.north = box.north;
    r.east = box.east;
    return ok && (r.methodCode == 9603 || r.methodCode == 9606 || r.methodCode == 9607);
}

template <class T> long CodeOf(const T& t) {
    return t.code;
}
long CodeOf(const Geographic& g) {
    return g.record.code;
}

template <class T> bool SortUnique(std::vector<T>& v) {
    std::sort(v.begin(), v.end(), [](const T& a, const T& b) { return CodeOf(a) < CodeOf(b); });
    return std::adjacent_find(v.begin(), v.end(),
                              [](const T& a, const T& b) { return CodeOf(a) == CodeOf(b); }) == v.end();
}

// The folder of the mapping file, read now: a host that points the library
// at another mapping file moves the EPSG data with it.
std::string DataPath() {
    const std::string mapping = CZrPJTranslator::m_strEpsgName.c_str();
    const std::size_t slash = mapping.find_last_of('/');
    if (slash == std::string::npos) return std::string();
    return mapping.substr(0, slash + 1) + kFileName;
}

// Reads the whole file; any line it cannot understand makes the data
// unavailable rather than partly there.
void Load(Data& d) {
    d.path = DataPath();
    if (d.path.empty()) return;
    std::ifstream in(d.path, std::ios::binary);
    if (!in) return;
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    if (size <= 0 || size > kMaxFileSize) return;
    in.seekg(0);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        const std::vector<std::string> f = SplitTabs(line);
        bool ok = false;
        if (f[0] == "G") {
            Geographic g;
            ok = ParseGeographic(f, g);
            if (ok) d.geographic.push_back(std::move(g));
        } else if (f[0] == "P") {
            ZrEpsgProjectedRecord p;
            ok = ParseProjected(f, p);
            if (ok) d.projected.push_back(std::move(p));
        } else if (f[0] == "X") {
            ZrEpsgLeftOutRecord x;
            ok = f.size() == 5 && ToLong(f[1], x.code) && ToLong(f[3], x.methodCode);
            if (ok) {
                x.name = f[2];
                x.methodName = f[4];
                d.leftOut.push_back(std::move(x));
            }
        } else if (f[0] == "T") {
            ZrEpsgTransformationRecord t;
            std::vector<long> replacements;
            ok = ParseTransformation(f, t, replacements);
            if (ok) {
                d.transformations.push_back(std::move(t));
                d.replacements.push_back(std::move(replacements));
            }
        }
        if (!ok) {
            d.geographic.clear();
            d.projected.clear();
            d.transformations.clear();
            d.replacements.clear();
            d.leftOut.clear();
            return;
        }
    }
    // The generator writes each kind sorted by code; transformations must stay
    // in file order to keep their replacement lists beside them.
    const bool transformationsSorted =
        std::adjacent_find(d.transformations.begin(), d.transformations.end(),
                           [](const ZrEpsgTransformationRecord& a, const ZrEpsgTransformationRecord& b) {
                               return a.code >= b.code;
                           }) == d.transformations.end();
    d.ok = SortUnique(d.geographic) && SortUnique(d.projected) && SortUnique(d.leftOut) &&
           transformationsSorted && !d.geographic.empty();
    if (!d.ok) {
        d.geographic.clear();
        d.projected.clear();
        d.transformations.clear();
        d.replacements.clear();
        d.leftOut.clear();
    }
}

const Data& TheData() {
    // Initialised once, by whichever thread comes first; the others wait.
    static const Data data = [] {
        Data d;
        Load(d);
        return d;
    }();
    return data;
}

template <class T> const T* Find(const std::vector<T>& v, long code) {
    auto it = std::lower_bound(v.begin(), v.end(), code, [](const T& t, long c) { return CodeOf(t) < c; });
    return it != v.end() && CodeOf(*it) == code ? &*it : nullptr;
}

// Areas of use as PROJ weighs them when it ranks operations: the longitude
// span times the difference of the sines of the bounding latitudes, which is
// proportional to the area on a sphere.
double PseudoArea(const Box& b) {
    double east = b.east;
    if (b.west > east) east += 360.0; // crosses the antimeridian
    constexpr double kDegree = 0.017453292519943295;
    return (east - b.west) * (std::sin(b.north * kDegree) - std::sin(b.south * kDegree));
}

// One longitude interval, unwrapped so that west <= east (east may pass 180).
struct Span {
    double west, east;
};

// The intersection of two boxes, either of which may cross the antimeridian;
// false when they do not meet. Where the longitude overlap splits in two (both
// cross), the larger part stands for it.
bool Intersect(const Box& a, const Box& b, Box& out) {
    out.south = std::max(a.south, b.south);
    out.north = std::min(a.north, b.north);
    if (out.south > out.north) return false;
    auto wholeCircle = [](const Box& x) { return x.west == -180.0 && x.east == 180.0; };
    if (wholeCircle(a) || wholeCircle(b)) {
        out.west = wholeCircle(a) ? b.west : a.west;
        out.east = wholeCircle(a) ? b.east : a.east;
        return true;
    }
    const Span sa{a.west, a.west > a.east ? a.east + 360.0 : a.east};
    const Span sb{b.west, b.west > b.east ? b.east + 360.0 : b.east};
    double bestWest = 0, bestEast = 0, bestWidth = -1;
    for (double shift : {-360.0, 0.0, 360.0}) {
        const double w = std::max(sa.west, sb.west + shift);
        const double e = std::min(sa.east, sb.east + shift);
        if (e >= w && e - w > bestWidth) {
            bestWidth = e - w;
            bestWest = w;
            bestEast = e;
        }
    }
    if (bestWidth < 0) return false;
    if (bestEast - bestWest >= 360.0) {
        out.west = -180.0;
        out.east = 180.0;
        return true;
    }
    while (bestWest >= 180.0)
        bestWest -= 360.0, bestEast -= 360.0;
    while (bestWest < -180.0)
        bestWest += 360.0, bestEast += 360.0;
    out.west = bestWest;
    out.east = bestEast > 180.0 ? bestEast - 360.0 : bestEast; // west > east: crosses the antimeridian
    return true;
}
} // namespace

int ZrEpsgFindGeographic(long code, ZrEpsgGeographicRecord& out) {
    const Geographic* g = Find(TheData().geographic, code);
    if (!g) return 0;
    out = g->record;
    return 1;
}

int ZrEpsgFindProjected(long code, ZrEpsgProjectedRecord& out) {
    const ZrEpsgProjectedRecord* p = Find(TheData().projected, code);
    if (!p) return 0;
    out = *p;
    return 1;
}

int ZrEpsgFindTransformation(long code, ZrEpsgTransformationRecord& out) {
    const ZrEpsgTransformationRecord* t = Find(TheData().transformations, code);
    if (!t) return 0;
    out = *t;
    return 1;
}

int ZrEpsgListTransformations(long sourceCode, long targetCode,
                              std::vector<ZrEpsgTransformationRecord>& out) {
    out.clear();
    const Data& d = TheData();
    const Geographic* src = Find(d.geographic, sourceCode);
    const Geographic* dst = Find(d.geographic, targetCode);
    if (!src || !dst || sourceCode == targetCode) return 0;
    // The smaller of the two systems' areas stands for the area of interest,
    // as PROJ takes it when none is given: an operation that does not reach
    // it is no candidate, and among the others the one covering more of it
    // ranks first.
    const Box& interest = PseudoArea(src->area) < PseudoArea(dst->area) ? src->area : dst->area;
    struct Candidate {
        const ZrEpsgTransformationRecord* t;
        double area;
        bool inverse;
        bool null; // all seven values zero: PROJ's pipeline for it has no shift step
        std::string name;
    };
    std::vector<std::size_t> between;
    for (std::size_t i = 0; i < d.transformations.size(); ++i) {
        const ZrEpsgTransformationRecord& t = d.transformations[i];
        if ((t.sourceCode == sourceCode && t.targetCode == targetCode) ||
            (t.sourceCode == targetCode && t.targetCode == sourceCode))
            between.push_back(i);
    }
    // A transformation that EPSG says another one between the same two
    // systems supersedes is not offered beside it.
    auto held = [&](long code) {
        return std::any_of(between.begin(), between.end(),
                           [&](std::size_t i) { return d.transformations[i].code == code; });
    };
    std::vector<Candidate> list;
    for (std::size_t i : between) {
        const std::vector<long>& replacements = d.replacements[i];
        if (std::any_of(replacements.begin(), replacements.end(), held)) continue;
        const ZrEpsgTransformationRecord& t = d.transformations[i];
        Box use;
        if (!Intersect(Box{t.south, t.west, t.north, t.east}, interest, use)) continue;
        const bool inverse = t.sourceCode != sourceCode;
        const bool null =
            t.tx == 0 && t.ty == 0 && t.tz == 0 && t.rx == 0 && t.ry == 0 && t.rz == 0 && t.ds == 0;
        list.push_back({&t, PseudoArea(use), inverse, null, inverse ? "Inverse of " + t.name : t.name});
    }
    // PROJ's ranking: known accuracy before unknown; then the larger area;
    // then the better accuracy; then the shorter pipeline; then the shorter
    // name; last the greater name, so that "(4)" comes before "(3)".
    std::sort(list.begin(), list.end(), [](const Candidate& a, const Candidate& b) {
        const double accA = a.t->accuracy, accB = b.t->accuracy;
        if ((accA >= 0) != (accB >= 0)) return accA >= 0;
        if (a.area != b.area) return a.area > b.area;
        if (accA >= 0 && accA != accB) return accA < accB;
        if (a.null != b.null) return a.null;
        if (a.name.size() != b.name.size()) return a.name.size() < b.name.size();
        return a.name > b.name;
    });
    // Two that compute the same thing over the same area: the first stays.
    auto same = [](const Candidate& a, const Candidate& b) {
        const ZrEpsgTransformationRecord &x = *a.t, &y = *b.t;
        return a.inverse == b.inverse && x.methodCode == y.methodCode && x.tx == y.tx && x.ty == y.ty &&
               x.tz == y.tz && x.rx == y.rx && x.ry == y.ry && x.rz == y.rz && x.ds == y.ds &&
               x.south == y.south && x.west == y.west && x.north == y.north && x.east == y.east;
    };
    for (std::size_t i = 0; i < list.size(); ++i) {
        const bool repeated = std::any_of(list.begin(), list.begin() + static_cast<std::ptrdiff_t>(i),
                                          [&](const Candidate& c) { return same(c, list[i]); });
        if (!repeated) out.push_back(*list[i].t);
    }
    return static_cast<int>(out.size());
}

int ZrEpsgFindLeftOut(long code, ZrEpsgLeftOutRecord& out) {
    const ZrEpsgLeftOutRecord* x = Find(TheData().leftOut, code);
    if (!x) return 0;
    out = *x;
    return 1;
}

void ZrEpsgProjectedCodes(std::vector<long>& out) {
    out.clear();
    for (const ZrEpsgProjectedRecord& p : TheData().projected)
        out.push_back(p.code);
}

void ZrEpsgGeographicCodes(std::vector<long>& out) {
    out.clear();
    for (const Geographic& g : TheData().geographic)
        out.push_back(g.record.code);
}

int ZrEpsgDataAvailable() {
    return TheData().ok ? 1 : 0;
}

std::string ZrEpsgDataPath() {
    return TheData().path;
}
