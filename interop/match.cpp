// Finding the catalogue objects that an EPSG-style description means.
#include "interop/ZrInteropMatch_p.h"

#include "interop/ZrInteropCore_p.h"

#include "model/ZrPJTypes.h"
#include "model/catalogue/ZrProjectedCatalogue.h"
#include "platform/ZrFile.h"
#include "platform/ZrMarkup.h"
#include "transform/ZrPJTranslator.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr long kNone = -1000;

// One direction of the mapping: pairs filed in document order, then sorted
// by code once, the first entry for a code answering as the translator's
// reading has it. Two sorted arrays in place of two hash tables of 1,400
// nodes each, which were a quarter of the mapping's first reading.
class CodeMap {
public:
    void clear() { m_pairs.clear(); }
    void reserve(std::size_t n) { m_pairs.reserve(n); }
    void emplace(long code, long other) { m_pairs.emplace_back(code, other); }
    // The shipped file lists its entries in a few dozen ascending runs:
    // merged pairwise, run by run (a natural merge sort), they take a few
    // passes where a merge sort from single entries takes eleven. Merging
    // keeps equal codes in document order, as the first entry must answer.
    void Sort() {
        auto byCode = [](const std::pair<long, long>& a, const std::pair<long, long>& b) {
            return a.first < b.first;
        };
        std::vector<std::size_t> bounds{0}; // where each run starts, then the end
        for (std::size_t i = 1; i < m_pairs.size(); ++i)
            if (byCode(m_pairs[i], m_pairs[i - 1])) bounds.push_back(i);
        bounds.push_back(m_pairs.size());
        const auto first = m_pairs.begin();
        while (bounds.size() > 2) {
            std::vector<std::size_t> merged{0};
            std::size_t k = 0;
            for (; k + 2 < bounds.size(); k += 2) {
                std::inplace_merge(first + static_cast<std::ptrdiff_t>(bounds[k]),
                                   first + static_cast<std::ptrdiff_t>(bounds[k + 1]),
                                   first + static_cast<std::ptrdiff_t>(bounds[k + 2]), byCode);
                merged.push_back(bounds[k + 2]);
            }
            if (k + 1 < bounds.size()) merged.push_back(bounds[k + 1]); // an odd run left at the end
            bounds.swap(merged);
        }
        const auto last = std::unique(m_pairs.begin(), m_pairs.end(),
                                      [](const auto& a, const auto& b) { return a.first == b.first; });
        m_pairs.erase(last, m_pairs.end());
    }
    long Find(long code) const {
        const auto it = std::lower_bound(m_pairs.begin(), m_pairs.end(), code,
                                         [](const std::pair<long, long>& p, long c) { return p.first < c; });
        return it != m_pairs.end() && it->first == code ? it->second : kNone;
    }

private:
    std::vector<std::pair<long, long>> m_pairs;
};

// The mapping file, read once per thread (the library takes no locks) and
// again when the host points the translator elsewhere or the file changes.
struct MappingCache {
    std::string path;
    long long size = -1;
    long long mtime = -1;
    unsigned long generation = 0; // counts the reads, so a result drawn from the file can tell it is stale
    CodeMap toEpsg, toCatalogue;
};

// The mapping file as the library ships it, read without building a
// document: the declaration, the root, then entries of exactly
// <oml:CodeTransition> <oml:OrvantaCode>digits</oml:OrvantaCode>
// <oml:EPSGCode>digits</oml:EPSGCode> </oml:CodeTransition> with blanks
// between the tags, and the root's end. For such a file the document reading
// below finds the same pairs in the same order; any other byte (a comment, an
// attribute, a leading zero, a tag more than the markup reader takes) makes
// this give up, before anything is filed, and the document reading decides.
// It took half the first set-up of a system from WKT.
bool ReadPlainMapping(const std::string& path, MappingCache& cache) {
    std::string bytes;
    if (!CZrFile::ReadAll(path.c_str(), bytes, CZrFile::kMaxDocumentSize)) return false;
    const char* p = bytes.data();
    const char* const end = p + bytes.size();
    auto blanks = [&] {
        // Space, tab, carriage return and line feed, as bits of one mask.
        constexpr std::uint64_t kBlanks =
            (std::uint64_t(1) << ' ') | (1u << '\t') | (1u << '\r') | (1u << '\n');
        const char* q = p;
        while (q != end && static_cast<unsigned char>(*q) <= ' ' &&
               (kBlanks >> static_cast<unsigned char>(*q) & 1))
            ++q;
        p = q;
    };
    auto take = [&](std::string_view s) {
        if (static_cast<std::size_t>(end - p) < s.size() || std::string_view(p, s.size()) != s) return false;
        p += s.size();
        return true;
    };
    // A code as the translator's comparison takes it: its own decimal digits.
    auto code = [&](long& v) {
        const char* const first = p;
        const char* const stop = end - first > 10 ? first + 10 : end;
        const char* q = first;
        long value = 0;
        for (unsigned d; q != stop && (d = static_cast<unsigned>(*q - '0')) < 10; ++q)
            value = value * 10 + static_cast<long>(d);
        p = q;
        v = value;
        const std::ptrdiff_t n = q - first;
        return n >= 1 && n <= 9 && (n == 1 || *first != '0');
    };
    if (!take("<?xml version=\"1.0\" encoding=\"UTF-8\"?>")) return false;
    blanks();
    if (!take("<oml:CodeTransitions xmlns:oml=\"urn:ZrPrj50:CodeTransition\">")) return false;
    std::vector<std::pair<long, long>> pairs;
    pairs.reserve(bytes.size() / 128); // an entry's six tags and blanks take about 125 bytes
    for (;;) {
        blanks();
        if (take("</oml:CodeTransitions>")) break;
        long o = 0, e = 0;
        if (!take("<oml:CodeTransition>")) return false;
        blanks();
        if (!take("<oml:OrvantaCode>") || !code(o) || !take("</oml:OrvantaCode>")) return false;
        blanks();
        if (!take("<oml:EPSGCode>") || !code(e) || !take("</oml:EPSGCode>")) return false;
        blanks();
        if (!take("</oml:CodeTransition>")) return false;
        pairs.emplace_back(o, e);
    }
    blanks();
    // Six tags an entry, three besides: the markup reader refuses a file of more.
    if (p != end || 6 * pairs.size() + 3 > CMarkup::kMaxFileTags) return false;
    cache.toEpsg.reserve(pairs.size());
    cache.toCatalogue.reserve(pairs.size());
    for (const auto& [o, e] : pairs) {
        cache.toEpsg.emplace(o, e);
        cache.toCatalogue.emplace(e, o);
    }
    return true;
}

const MappingCache& Mapping() {
    thread_local MappingCache cache;
    const std::string path = CZrPJTranslator::m_strEpsgName.str();
    struct stat st {};
    const bool exists = ::stat(path.c_str(), &st) == 0;
    const long long size = exists ? static_cast<long long>(st.st_size) : -1;
    const long long mtime =
        exists ? static_cast<long long>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec : -1;
    if (cache.path == path && cache.size == size && cache.mtime == mtime) return cache;
    cache.path = path;
    cache.size = size;
    cache.mtime = mtime;
    ++cache.generation;
    cache.toEpsg.clear();
    cache.toCatalogue.clear();
    if (exists && ReadPlainMapping(path, cache)) {
        cache.toEpsg.Sort();
        cache.toCatalogue.Sort();
        return cache;
    }
    if (!exists) return cache;
    // A document that breaks off keeps the entries before the break, and
    // the translator's lookups find them: so must these (they once read none).
    CMarkup xml;
    xml.Load(path.c_str());
    // As the translator reads it: entries in document order, the first entry
    // for a code answers, entries lacking either field are passed over.
    while (xml.FindChildElem("oml:CodeTransition")) {
        xml.IntoElem();
        if (xml.FindChildElem("oml:OrvantaCode")) {
            const CString orvanta = xml.GetChildData();
            if (xml.FindChildElem("oml:EPSGCode")) {
                const CString epsg = xml.GetChildData();
                const long o = std::atol(orvanta), e = std::atol(epsg);
                // Only a field that is exactly the number's own digits counts.
                auto written = [](long v, const CString& field) {
                    char check[32];
                    const auto r = std::to_chars(check, check + sizeof check, v);
                    return field.str() == std::string_view(check, static_cast<size_t>(r.ptr - check));
                };
                if (written(o, orvanta)) cache.toEpsg.emplace(o, e);
                if (written(e, epsg)) cache.toCatalogue.emplace(e, o);
            }
        }
        xml.OutOfElem();
    }
    cache.toEpsg.Sort();
    cache.toCatalogue.Sort();
    return cache;
}

bool Near(double a, double b, double tolerance) {
    return std::fabs(a - b) <= tolerance;
}

double FlatteningOf(const ZrEpsgGeographicRecord& g) {
    return g.inverseFlattening == 0.0 ? 0.0 : 1.0 / g.inverseFlattening;
}

bool SpheroidAgrees(const CZrPJSpheroid& s, const ZrEpsgGeographicRecord& g) {
    return Near(s.GetAxis(), g.semiMajorAxis, kZrMatchAxisMetres) &&
           Near(s.GetFlattening(), FlatteningOf(g), kZrMatchFlattening);
}

// Prime meridians are exact in EPSG's degrees to 1e-9 (a tenth of a millimetre).
bool MeridianAgrees(const CZrPJPrimeMeridian& pm, const ZrEpsgGeographicRecord& g) {
    return Near(pm.GetLongitude(), g.primeMeridianLongitude, 1e-9);
}

// A name as ZrInteropSameName compares it (lower case, without blanks,
// underscores and hyphens), reduced to a 64-bit FNV-1a hash: names the same
// to ZrInteropSameName hash alike; two names that hash alike are compared
// again in full. Computed in place, without building the key as a string:
// the indexes below hash every catalogue name on their first use.
std::uint64_t NameHash(const char* name) {
    std::uint64_t h = 0xcbf29ce484222325ULL;
    for (const char* p = name; *p; ++p)
        if (*p != ' ' && *p != '_' && *p != '-') {
            // ASCII folded inline (the library's tolower call was a tenth of
            // the index's building); other bytes as the locale folds them.
            const unsigned char c = static_cast<unsigned char>(*p);
            const unsigned char lower = c < 0x80
                                            ? static_cast<unsigned char>(c >= 'A' && c <= 'Z' ? c + 32 : c)
                                            : static_cast<unsigned char>(std::tolower(c));
            h ^= lower;
            h *= 0x100000001b3ULL;
        }
    return h;
}

// A name index: (hash, catalogue position or code) pairs sorted by hash and
// then position, so that the candidates for a name come in catalogue order.
using HashIndex = std::vector<std::pair<std::uint64_t, long>>;

void SortIndex(HashIndex& index) {
    std::sort(index.begin(), index.end());
    index.erase(std::unique(index.begin(), index.end()), index.end());
}

std::pair<HashIndex::const_iterator, HashIndex::const_iterator> Candidates(const HashIndex& index,
                                                                           const char* name) {
    const std::uint64_t h = NameHash(name);
    return std::equal_range(index.begin(), index.end(), std::make_pair(h, 0L),
                            [](const std::pair<std::uint64_t, long>& a,
                               const std::pair<std::uint64_t, long>& b) { return a.first < b.first; });
}

// Whether an object's name is the name looked for, whole or without the
// object's prefix ("GCS_", "D_").
bool NamedAs(const std::string& objectName, const char* prefix, std::size_t prefixLength, const char* name) {
    if (ZrInteropSameName(objectName.c_str(), name)) return true;
    return prefixLength > 0 && objectName.compare(0, prefixLength, prefix) == 0 &&
           ZrInteropSameName(objectName.c_str() + prefixLength, name);
}

// The catalogue positions of each name, for one kind of object: built once
// per process on first use (the catalogues are fixed), so a lookup by name
// is a search of a sorted table rather than a walk that rebuilds every
// object of the catalogue. A name that begins with the object's prefix is
// also filed without it. Hashes rather than keys as strings in a map: the
// map's nodes and strings were a third of the first EPSG set-up's matching.
template <class Object, class Code> const HashIndex& NameIndex(const char* prefix) {
    static const HashIndex index = [prefix] {
        HashIndex names;
        const std::size_t n = std::strlen(prefix);
        const int count = Object::GetCatalogueCount();
        names.reserve(2 * static_cast<std::size_t>(count));
        // One object set to each row in turn (Set replaces every field):
        // constructing and destroying one a row was a fifth of the building.
        Object o;
        for (int i = 0; i < count; ++i) {
            if (!o.Set(static_cast<Code>(Object::GetCatalogueCode(i)))) continue;
            const std::string name = o.GetName().str();
            names.emplace_back(NameHash(name.c_str()), i);
            if (n > 0 && name.compare(0, n, prefix) == 0) names.emplace_back(NameHash(name.c_str() + n), i);
        }
        SortIndex(names);
        return names;
    }();
    return index;
}

template <class Object, class Code>
bool FindCatalogue(long epsgCode, const std::string& name, const char* prefix, Object& out,
                   bool (*agrees)(const Object&, const ZrEpsgGeographicRecord&),
                   const ZrEpsgGeographicRecord& g) {
    if (epsgCode > 0) {
        const long code = ZrMappedCatalogueCode(epsgCode);
        Object o;
        if (code != kNone && o.Set(static_cast<Code>(code)) && agrees(o, g)) {
            out = o;
            return true;
        }
    }
    if (name.empty()) return false;
    const auto range = Candidates(NameIndex<Object, Code>(prefix), name.c_str());
    const std::size_t n = std::strlen(prefix);
    // The first in catalogue order that is so named and agrees, as the walk
    // over the whole catalogue found it.
    for (auto it = range.first; it != range.second; ++it) {
        Object o;
        if (o.Set(static_cast<Code>(Object::GetCatalogueCode(static_cast<int>(it->second)))) &&
            NamedAs(o.GetName().str(), prefix, n, name.c_str()) && agrees(o, g)) {
            out = o;
            return true;
        }
    }
    return false;
}

// The projected catalogue's rows as the matching reads them: codes by name,
// and the fields a definition is first compared on. Built once per process.
struct DefinitionKey {
    long kind, units;
    double fe, fn, cm;
    bool operator<(const DefinitionKey& o) const {
        if (kind != o.kind) return kind < o.kind;
        if (units != o.units) return units < o.units;
        if (fe != o.fe) return fe < o.fe;
        if (fn != o.fn) return fn < o.fn;
        return cm < o.cm;
    }
};

struct ProjectedIndex {
    HashIndex byName;                                         // codes ascending within a hash
    std::vector<std::pair<DefinitionKey, long>> byDefinition; // codes ascending within a key
};

const ProjectedIndex& Projected() {
    static const ProjectedIndex index = [] {
        ProjectedIndex x;
        ZrProjectedRow row;
        x.byName.reserve(static_cast<std::size_t>(ZrProjectedRowCount()));
        x.byDefinition.reserve(static_cast<std::size_t>(ZrProjectedRowCount()));
        for (int i = 0; i < ZrProjectedRowCount(); ++i) {
            const long code = ZrProjectedCodeAt(i);
            if (!ZrFindProjectedRow(code, row)) continue;
            x.byName.emplace_back(NameHash(row.name), code);
            x.byDefinition.emplace_back(
                DefinitionKey{row.kind, row.units, row.params[0], row.params[1], row.params[2]}, code);
        }
        SortIndex(x.byName);
        std::stable_sort(x.byDefinition.begin(), x.byDefinition.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        return x;
    }();
    return index;
}

bool SpheroidOk(const CZrPJSpheroid& s, const ZrEpsgGeographicRecord& g) {
    return SpheroidAgrees(s, g);
}
bool MeridianOk(const CZrPJPrimeMeridian& pm, const ZrEpsgGeographicRecord& g) {
    return MeridianAgrees(pm, g);
}
bool DatumOk(const CZrPJDatum& d, const ZrEpsgGeographicRecord& g) {
    return SpheroidAgrees(d.GetSpheroid(), g);
}
bool GeographicOk(const CZrPJGeoCoordSys& s, const ZrEpsgGeographicRecord& g) {
    return SpheroidAgrees(s.GetDatum().GetSpheroid(), g) && MeridianAgrees(s.GetPrimeMeridian(), g);
}

// Forward of a 3x3 grid one degree around the origin agrees within a tenth of a
// millimetre (a millimetre at the edge of a zone is then safe).
bool ProjectsAlike(const CZrPJCoordSys& a, const CZrPJCoordSys& b) {
    if (a.GetDistUnits() != b.GetDistUnits()) return false;
    const CZrPJParams p = a.GetParams();
    const double metresPerUnit = 1.0 / a.GetPJOperator().GetUnitFactor();
    double lat0 = p.CentralParallel;
    if (lat0 > 88.0) lat0 = 88.0;
    if (lat0 < -88.0) lat0 = -88.0;
    int compared = 0;
    for (int i = -1; i <= 1; ++i)
        for (int j = -1; j <= 1; ++j) {
            CPoint2D pa(p.CentralMeridian + i, lat0 + j), pb = pa;
            const CPoint2D start = pa;
            a.Forward(&pa, 1);
            b.Forward(&pb, 1);
            const bool movedA = pa.x != start.x || pa.y != start.y;
            const bool movedB = pb.x != start.x || pb.y != start.y;
            if (movedA != movedB) return false;
            if (!movedA) continue;
            if (std::hypot(pa.x - pb.x, pa.y - pb.y) * metresPerUnit > 1e-4) return false;
            ++compared;
        }
    return compared > 0;
}

bool SameGeographic(const CZrPJGeoCoordSys& a, const CZrPJGeoCoordSys& b) {
    if (a.GetType() > 1 && a.GetType() == b.GetType()) return true;
    return a == b;
}

} // namespace

bool ZrInteropSameName(const char* a, const char* b) {
    if (!a || !b) return false;
    auto skip = [](const char*& p) {
        while (*p == ' ' || *p == '_' || *p == '-')
            ++p;
    };
    for (;;) {
        skip(a);
        skip(b);
        if (!*a || !*b) return !*a && !*b;
        if (std::tolower(static_cast<unsigned char>(*a)) != std::tolower(static_cast<unsigned char>(*b)))
            return false;
        ++a;
        ++b;
    }
}

long ZrMappedEpsgCode(long catalogueCode) {
    return Mapping().toEpsg.Find(catalogueCode);
}

long ZrMappedCatalogueCode(long epsgCode) {
    unsigned long unused;
    return ZrMappedCatalogueCode(epsgCode, unused);
}

long ZrMappedCatalogueCode(long epsgCode, unsigned long& generation) {
    const MappingCache& m = Mapping();
    generation = m.generation;
    return m.toCatalogue.Find(epsgCode);
}

bool ZrMatchGeographic(const ZrEpsgGeographicRecord& g, CZrPJGeoCoordSys& gcs) {
    CZrPJGeoCoordSys catalogue;
    if (FindCatalogue<CZrPJGeoCoordSys, tagGeoCoordSysType>(g.code, g.name, "GCS_", catalogue, GeographicOk,
                                                            g)) {
        gcs = catalogue;
        return true;
    }
    CZrPJDatum datum;
    if (!FindCatalogue<CZrPJDatum, tagDatumType>(g.datumCode, g.datumName, "D_", datum, DatumOk, g)) {
        CZrPJSpheroid spheroid;
        if (!FindCatalogue<CZrPJSpheroid, tagPJSpheroidType>(g.ellipsoidCode, g.ellipsoidName, "", spheroid,
                                                             SpheroidOk, g))
            spheroid.Set(g.ellipsoidName.empty() ? CString("Custom") : CString(g.ellipsoidName),
                         g.semiMajorAxis, FlatteningOf(g));
        datum.Set(g.datumName.empty() ? CString("Custom") : CString(g.datumName), spheroid);
    }
    CZrPJPrimeMeridian pm;
    if (!FindCatalogue<CZrPJPrimeMeridian, tagPJPrimeMeridianType>(g.primeMeridianCode, g.primeMeridianName,
                                                                   "", pm, MeridianOk, g)) {
        if (g.primeMeridianLongitude == 0.0)
            pm.Set(PJ_PM_GREENWICH);
        else
            pm.Set(g.primeMeridianName.empty() ? CString("Custom") : CString(g.primeMeridianName),
                   g.primeMeridianLongitude);
    }
    gcs.Set(g.name.empty() ? CString("Custom") : CString(g.name), datum, pm, 0);
    return true;
}

// Whether two systems put every point of a 7x7 grid, 6 degrees square about
// the first one's origin (the extent of a zone), within a millimetre of each
// other. A catalogue row that rounds EPSG's figures does not: British National
// Grid's scale 0.999601 for EPSG's 0.9996012717 is 0.38 m at the grid's edge.
bool ZrAgreesWithinAMillimetre(const CZrPJCoordSys& a, const CZrPJCoordSys& b) {
    constexpr double kMillimetre = 1e-3;
    const CZrPJParams p = a.GetParams();
    // Longitudes count from each system's own prime meridian: a meridian
    // rounded in the catalogue (Lisbon's) moves every point alike.
    const double pmA = a.GetGCS().GetPrimeMeridian().GetLongitude();
    const double pmB = b.GetGCS().GetPrimeMeridian().GetLongitude();
    const double metresA = 1.0 / a.GetPJOperator().GetUnitFactor();
    const double metresB = 1.0 / b.GetPJOperator().GetUnitFactor();
    const double lat0 = std::max(-82.0, std::min(82.0, p.CentralParallel));
    int compared = 0;
    for (int i = -3; i <= 3; ++i)
        for (int j = -3; j <= 3; ++j) {
            CPoint2D pa(p.CentralMeridian + i, lat0 + j), pb(p.CentralMeridian + i + pmA - pmB, lat0 + j);
            const bool okA = a.Forward(&pa, 1) != 0, okB = b.Forward(&pb, 1) != 0;
            if (okA != okB) return false;
            if (!okA) continue;
            if (std::hypot(pa.x * metresA - pb.x * metresB, pa.y * metresA - pb.y * metresB) > kMillimetre)
                return false;
            ++compared;
        }
    return compared > 0;
}

// The farthest apart two systems put the points of EPSG's area of use of the
// code, forward and back, on the ground in metres: 0 where the data file has
// no area. Two grids are sampled: a 9x9 one from edge to edge (the grid about
// the origin misses the area of a zone whose origin is on the equator, where
// a rounded flattening shows least), and a 5x5 one inset a tenth from the
// edges, which is where the comparisons with other software sample the area.
// Each point goes forward through both; b's grid coordinates then go back
// through a (a's inverse at the coordinates b gives, which is how a reader
// of b's coordinates meets a). A catalogue row on a rounded International
// 1924 agreed on the edge grid and was 1.04 mm off at the inset one.
double ZrFarthestOverArea(const CZrPJCoordSys& a, const CZrPJCoordSys& b, long code) {
    ZrEpsgAreaRecord area;
    if (!ZrEpsgFindArea(code, area)) return 0.0;
    const double metresA = 1.0 / a.GetPJOperator().GetUnitFactor();
    const double metresB = 1.0 / b.GetPJOperator().GetUnitFactor();
    const double pmA = a.GetGCS().GetPrimeMeridian().GetLongitude();
    const double pmB = b.GetGCS().GetPrimeMeridian().GetLongitude();
    // Angles on the ground: a degree of the equator of b's ellipsoid.
    constexpr double kDegree = 0.017453292519943295; // radians
    const double metresPerDegree = b.GetGCS().GetDatum().GetSpheroid().GetAxis() * kDegree;
    const double width = area.east - area.west + (area.east < area.west ? 360.0 : 0.0);
    double farthest = 0.0;
    auto compare = [&](double u, double v) {
        double lon = area.west + width * u;
        if (lon > 180.0) lon -= 360.0;
        const double lat = area.south + (area.north - area.south) * v;
        CPoint2D pa(lon - pmA, lat), pb(lon - pmB, lat);
        const bool okA = a.Forward(&pa, 1) != 0, okB = b.Forward(&pb, 1) != 0;
        if (!okA || !okB) return;
        farthest =
            std::max(farthest, std::hypot(pa.x * metresA - pb.x * metresB, pa.y * metresA - pb.y * metresB));
        CPoint2D back(pb.x * metresB / metresA, pb.y * metresB / metresA);
        if (!a.Inverse(&back, 1)) return;
        double east = back.x + pmA - lon;
        east -= 360.0 * std::round(east / 360.0);
        const double north = back.y - lat;
        farthest = std::max(farthest, std::hypot(east * std::cos(lat * kDegree), north) * metresPerDegree);
    };
    for (int i = 0; i <= 8; ++i)
        for (int j = 0; j <= 8; ++j)
            compare(i / 8.0, j / 8.0);
    constexpr double kInset = 0.1;
    for (int i = 0; i <= 4; ++i)
        for (int j = 0; j <= 4; ++j)
            compare(kInset + (1.0 - 2.0 * kInset) * i / 4.0, kInset + (1.0 - 2.0 * kInset) * j / 4.0);
    return farthest;
}

bool ZrAgreesOverArea(const CZrPJCoordSys& a, const CZrPJCoordSys& b, long code) {
    return ZrFarthestOverArea(a, b, code) <= kZrAreaAgreementMetres;
}

bool ZrMatchProjected(const ZrEpsgProjectedRecord& proj, CZrPJCoordSys& built) {
    auto tryCode = [&](long code, bool named) {
        CZrPJCoordSys cat;
        if (code <= 1 || !cat.Set(static_cast<tagPJCoordSysType>(code)) || !cat.IsValid()) return false;
        if (!SameGeographic(cat.GetGCS(), built.GetGCS())) return false;
        // Named by its EPSG code or its name, the row is EPSG's n where it
        // computes it within a millimetre, as the EPSG look-up decides (the
        // exports write such a row with EPSG's exact figures).
        if (!ProjectsAlike(cat, built) &&
            !((named || cat.GetDistUnits() == built.GetDistUnits()) &&
              ZrAgreesWithinAMillimetre(cat, built) && ZrAgreesWithinAMillimetre(built, cat)))
            return false;
        built = cat;
        return true;
    };
    if (proj.code > 0) {
        const long code = ZrMappedCatalogueCode(proj.code);
        if (code != kNone && tryCode(code, true)) return true;
    }
    const ProjectedIndex& index = Projected();
    if (!proj.name.empty()) {
        const auto range = Candidates(index.byName, proj.name.c_str());
        ZrProjectedRow row;
        for (auto it = range.first; it != range.second; ++it)
            if (ZrFindProjectedRow(it->second, row) && ZrInteropSameName(row.name, proj.name.c_str()) &&
                tryCode(it->second, false))
                return true;
    }
    // No name: only a catalogue row of exactly this definition stands for it.
    const CZrPJParams p = built.GetParams();
    const DefinitionKey key{built.GetProjection().GetType(), built.GetDistUnits(), p.FalseEasting,
                            p.FalseNorthing, p.CentralMeridian};
    const auto range =
        std::equal_range(index.byDefinition.begin(), index.byDefinition.end(), std::make_pair(key, 0L),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
    for (auto it = range.first; it != range.second; ++it) {
        CZrPJCoordSys cat;
        if (cat.Set(static_cast<tagPJCoordSysType>(it->second)) && cat.IsValid() && cat == built) {
            built = cat;
            return true;
        }
    }
    return false;
}

namespace {

// ESRI's name for an EPSG system, from the aliases the data file holds: the
// one written without blanks ("GCS_GGRS_1987", "Greek_Grid"); empty if none.
std::string EsriAlias(long code, bool geographic) {
    std::vector<std::string> aliases;
    ZrEpsgAliases(code, aliases);
    for (auto it = aliases.rbegin(); it != aliases.rend(); ++it)
        if (it->find(' ') == std::string::npos && (!geographic || it->compare(0, 4, "GCS_") == 0)) return *it;
    return std::string();
}

// ESRI's words for EPSG's: blanks and punctuation as underscores.
std::string EsriWords(const std::string& name) {
    if (name == "WGS 84") return "WGS_1984";
    // ESRI's spelling of the ellipsoid, which the catalogue keeps too.
    if (name == "Krassowsky 1940") return "Krasovsky_1940";
    std::string out;
    for (const char c : name)
        out += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    return out;
}

bool SameFigures(const ZrEpsgGeographicRecord& a, const ZrEpsgGeographicRecord& b, double flattening) {
    return Near(a.semiMajorAxis, b.semiMajorAxis, kZrMatchAxisMetres) &&
           Near(FlatteningOf(a), FlatteningOf(b), flattening) &&
           Near(a.primeMeridianLongitude, b.primeMeridianLongitude, 1e-9);
}

// The geographic half: EPSG's record, named in ESRI's words for ESRI's form
// (its alias in the data file, else the catalogue's name, which is ESRI's).
void AsWrittenGeographic(ZrEpsgGeographicRecord& g, const ZrEpsgGeographicRecord& epsg, bool esriNames,
                         bool fromCatalogue, bool epsgNames) {
    ZrEpsgGeographicRecord e = epsg;
    e.latitudeFirst = g.latitudeFirst;
    // A datum or spheroid of the system's own (no catalogue object) keeps its
    // name and goes without EPSG's code: read back by that code it would
    // become the catalogue's, whose figures are rounded. Not where its
    // figures are EPSG's own (a system built from EPSG's definition on an
    // ellipsoid the catalogue rounds): a text of EPSG's n is read back as
    // EPSG:n is built, on those figures.
    constexpr double kRounding = 1e-15; // relative, of the flattening
    const bool epsgsFigures = g.semiMajorAxis == epsg.semiMajorAxis &&
                              Near(FlatteningOf(g), FlatteningOf(epsg), kRounding * FlatteningOf(epsg));
    if (g.datumCode <= 0 && !epsgsFigures) {
        e.datumCode = 0;
        e.datumName = g.datumName;
    }
    if (g.ellipsoidCode <= 0 && !epsgsFigures) {
        e.ellipsoidCode = 0;
        e.ellipsoidName = g.ellipsoidName;
    }
    if (esriNames) {
        // The catalogue's names, which its systems are read back by, where
        // they are ESRI's; else ESRI's own where the data file holds it: PROJ
        // identifies ESRI's form by ESRI's names, and some catalogue names are
        // those of another ESRI system ("GCS_ETRF_1989" for ETRS89,
        // "GCS_JAPAN_2000" for JGD2000), which PROJ then takes it for.
        const std::string alias = fromCatalogue && !epsgNames ? std::string() : EsriAlias(e.code, true);
        const bool own = fromCatalogue && (alias.empty() || ZrInteropSameName(alias.c_str(), g.name.c_str()));
        e.name = own ? g.name : !alias.empty() ? alias : "GCS_" + EsriWords(e.name);
        e.datumName = own              ? g.datumName
                      : !alias.empty() ? "D_" + alias.substr(4)
                                       : "D_" + EsriWords(e.datumName);
        e.ellipsoidName = own ? g.ellipsoidName : EsriWords(e.ellipsoidName);
        e.primeMeridianName = own ? g.primeMeridianName : EsriWords(e.primeMeridianName);
    }
    g = e;
}

} // namespace

bool ZrInteropAsWritten(const CZrPJCoordSys& cs, ZrEpsgGeographicRecord& geog, ZrEpsgProjectedRecord* proj,
                        bool esriNames) {
    const bool fromCatalogue = cs.GetGCS().GetType() > 1;
    ZrEpsgGeographicRecord g = geog;
    ZrEpsgProjectedRecord p = proj ? *proj : ZrEpsgProjectedRecord();
    // A projected system is EPSG's when it computes EPSG's n within a
    // millimetre, as ZrCoordSysFromEpsg decides; then all of it is written
    // as EPSG defines it.
    if (proj) {
        ZrEpsgProjectedRecord ep;
        ZrEpsgGeographicRecord eg;
        CZrPJCoordSys own;
        if (p.code > 0 && ZrEpsgFindProjected(p.code, ep) &&
            ZrEpsgFindGeographic(ep.baseGeographicCode, eg) && SameFigures(g, eg, kZrMatchFlattening) &&
            ZrInteropBuild(eg, &ep, own, nullptr, false) && ZrAgreesWithinAMillimetre(cs, own) &&
            ZrAgreesWithinAMillimetre(own, cs) && ZrAgreesOverArea(cs, own, p.code)) {
            if (esriNames) {
                const std::string alias = EsriAlias(ep.code, false);
                ep.name = alias.empty() ? p.name : alias;
                // ESRI names its Gauss-Kruger zones by the method.
                if (p.conversionName == "Gauss-Kruger") ep.conversionName = p.conversionName;
            }
            AsWrittenGeographic(g, eg, esriNames, fromCatalogue, true);
            ep.baseGeographicCode = g.code;
            geog = g;
            *proj = ep;
            return true;
        }
        // Not EPSG's n (or no EPSG system at all): the system's own figures,
        // which its parameters were derived with, and EPSG's codes only for
        // the parts whose figures are EPSG's exactly.
        p.code = 0;
        ZrEpsgGeographicRecord e;
        if (g.code > 0 && ZrEpsgFindGeographic(g.code, e) && !SameFigures(g, e, kZrMatchFlattening))
            g.code = g.datumCode = g.ellipsoidCode = 0;
        p.baseGeographicCode = g.code;
        geog = g;
        *proj = p;
        return false;
    }
    ZrEpsgGeographicRecord e;
    if (g.code <= 0 || !ZrEpsgFindGeographic(g.code, e)) return false;
    if (!SameFigures(g, e, kZrMatchFlattening)) {
        // Another ellipsoid or meridian than EPSG's: not EPSG's system, datum or ellipsoid.
        g.code = g.datumCode = g.ellipsoidCode = 0;
        p.baseGeographicCode = 0;
        geog = g;
        if (proj) *proj = p;
        return false;
    }
    AsWrittenGeographic(g, e, esriNames, fromCatalogue, false);
    p.baseGeographicCode = g.code;
    geog = g;
    if (proj) *proj = p;
    return true;
}
