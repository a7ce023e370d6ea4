// Grid files: the search path, the shared cache of open grids, and the
// per-point interpolation of horizontal shifts and geoid heights.
//
// The arithmetic is PROJ's hgridshift and vgridshift, step for step, so that
// a point shifted here and by PROJ on the same file agrees to rounding: the
// same node lookup (floor of the offset over the spacing, with PROJ's
// tolerance for a point on the last node line), the same bilinear weights in
// the same order, the same iteration for the inverse. One departure, for
// speed: the offset over the spacing is a product with the spacing's
// reciprocal, not a quotient, which can move the cell fraction by its last
// bit (far below a nanometre on the ground).
#include "transform/grids/ZrGrid_p.h"

#include <dlfcn.h>
#include <sys/stat.h>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <map>
#include <mutex>
#include <unordered_map>

namespace {
constexpr double kPi = 3.14159265358979323846;
constexpr double kDegToRad = kPi / 180.0;

// The inverse shift: the point whose forward shift lands on the input,
// refined until the step is below 1e-12 rad (6 micrometres on the ground,
// PROJ's bar), at most 10 times (the shift's gradient is tiny, so it
// converges in two or three).
constexpr double kInverseTolerance = 1e-12;
constexpr int kInverseIterations = 10;

std::mutex g_mutex;
std::string g_hostDirectory;
std::map<std::string, std::weak_ptr<const CZrHorizontalShiftGrid>> g_horizontal;
std::map<std::string, std::weak_ptr<const CZrGeoidGrid>> g_geoid;

double AdjustLongitude(double lam) {
    if (std::fabs(lam) < kPi + 1e-12) return lam;
    lam = std::fmod(lam + kPi, 2 * kPi);
    if (lam < 0) lam += 2 * kPi;
    return lam - kPi;
}

void SplitInto(const char* list, std::vector<std::string>& out) {
    std::string s(list);
    size_t start = 0;
    while (start <= s.size()) {
        size_t end = s.find(':', start);
        if (end == std::string::npos) end = s.size();
        if (end > start) out.push_back(s.substr(start, end - start));
        start = end + 1;
    }
}

bool IsRegularFile(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// The deepest grid containing the point: the first top-level grid that
// contains it, then, level by level, the first child that does (NTv2's rule
// for nested subgrids).
const ZrHGrid* FindGrid(const ZrHorizontalGridData& d, double lam, double phi) {
    for (int root : d.roots) {
        const ZrHGrid* g = &d.grids[root];
        if (g->null) return g;
        if (!g->extent.Contains(lam, phi)) continue;
        for (bool descended = true; descended;) {
            descended = false;
            for (int c : g->children) {
                if (d.grids[c].extent.Contains(lam, phi)) {
                    g = &d.grids[c];
                    descended = true;
                    break;
                }
            }
        }
        return g;
    }
    return nullptr;
}

struct Shift {
    double lam, phi;
};

// Bilinear shift at (lam, phi) counted from the grid's south-west node, in
// radians; HUGE_VAL outside. A point within 1e-11 of a node spacing past the
// last node line is taken on it, as PROJ does.
Shift Interpolate(double lam, double phi, const ZrHGrid& g) {
    const Shift outside{HUGE_VAL, HUGE_VAL};
    double tx = lam * g.invResX, ty = phi * g.invResY;
    // Far off the grid (or not a number): outside, before a cast could
    // overflow. Within the bound, a cast of the floor is the floor.
    if (!(std::fabs(tx) < 1e9 && std::fabs(ty) < 1e9)) return outside;
    long ix = static_cast<long>(std::floor(tx));
    long iy = static_cast<long>(std::floor(ty));
    double fx = tx - ix, fy = ty - iy;
    if (ix < 0) {
        if (ix == -1 && fx > 0.99999999999) {
            ++ix;
            fx = 0.;
        } else
            return outside;
    } else if (ix + 1 >= g.width) {
        if (ix + 1 == g.width && fx < 1e-11) {
            --ix;
            fx = 1.;
        } else
            return outside;
    }
    if (iy < 0) {
        if (iy == -1 && fy > 0.99999999999) {
            ++iy;
            fy = 0.;
        } else
            return outside;
    } else if (iy + 1 >= g.height) {
        if (iy + 1 == g.height && fy < 1e-11) {
            --iy;
            fy = 1.;
        } else
            return outside;
    }
    const float* n00 = &g.shifts[2 * (static_cast<size_t>(iy) * g.width + ix)];
    const float* n10 = n00 + 2;
    const float* n01 = n00 + 2 * static_cast<size_t>(g.width);
    const float* n11 = n01 + 2;
    double m10 = fx, m11 = m10 * fy, m01 = fy;
    fx = 1. - fx;
    fy = 1. - fy;
    const double m00 = fx * fy;
    m01 *= fx;
    m10 *= fy;
    return {m00 * n00[0] + m10 * n10[0] + m01 * n01[0] + m11 * n11[0],
            m00 * n00[1] + m10 * n10[1] + m01 * n01[1] + m11 * n11[1]};
}

// The point counted from the grid's south-west node, its longitude taken a
// turn round where that brings it onto the grid.
Shift FromOrigin(double lam, double phi, const ZrHGrid& g) {
    const ZrGridExtent& e = g.extent;
    const double eps = (e.resX + e.resY) * 1e-5;
    double x = lam - e.west;
    if (x + eps < 0)
        x += 2 * kPi;
    else if (x - eps > e.east - e.west)
        x -= 2 * kPi;
    return {x, phi - e.south};
}

int ApplyShift(const ZrHorizontalGridData& d, double& lam, double& phi, bool forward) {
    if (std::isnan(lam) || std::isnan(phi)) return 0;
    const ZrHGrid* g = FindGrid(d, lam, phi);
    if (!g) return 0;
    if (g->null) return 1;
    Shift tb = FromOrigin(lam, phi, *g);
    Shift t = Interpolate(tb.lam, tb.phi, *g);
    if (t.lam == HUGE_VAL) return 0;
    if (forward) {
        lam += t.lam;
        phi += t.phi;
        return 1;
    }
    // Inverse: start from the input less its own shift, and correct by the
    // miss of the forward shift; a step that leaves the grid continues in the
    // grid found there (nested subgrids meet at their edges).
    t.lam = tb.lam - t.lam;
    t.phi = tb.phi - t.phi;
    int left = kInverseIterations;
    Shift dif{0, 0};
    do {
        const Shift del = Interpolate(t.lam, t.phi, *g);
        if (del.lam == HUGE_VAL) {
            const double plam = t.lam + g->extent.west, pphi = t.phi + g->extent.south;
            const ZrHGrid* next = FindGrid(d, plam, pphi);
            if (!next || next == g || next->null) break;
            g = next;
            t = {plam - g->extent.west, pphi - g->extent.south};
            tb = FromOrigin(lam, phi, *g);
            dif = {std::numeric_limits<double>::max(), std::numeric_limits<double>::max()};
            continue;
        }
        dif = {t.lam + del.lam - tb.lam, t.phi + del.phi - tb.phi};
        t.lam -= dif.lam;
        t.phi -= dif.phi;
    } while (--left && dif.lam * dif.lam + dif.phi * dif.phi > kInverseTolerance * kInverseTolerance);
    if (left == 0) return 0;
    lam = AdjustLongitude(t.lam + g->extent.west);
    phi = t.phi + g->extent.south;
    return 1;
}

void ExtentOf(const ZrGridExtent& e, double& west, double& south, double& east, double& north) {
    west = e.west / kDegToRad;
    south = e.south / kDegToRad;
    east = e.east / kDegToRad;
    north = e.north / kDegToRad;
}

// The resolved path under which a grid is cached: the same file reached by
// two names is one grid.
std::string CacheKey(const std::string& path) {
    char* real = realpath(path.c_str(), nullptr);
    if (!real) return path;
    std::string key(real);
    std::free(real);
    return key;
}
} // namespace

// ---- lattice ---------------------------------------------------------------

bool ZrGridExtent::FullWorld() const {
    return east - west + resX >= 2 * kPi - 1e-10;
}

bool ZrGridExtent::Contains(double lam, double phi) const {
    if (!(phi >= south && phi <= north)) return false;
    if (FullWorld()) return true;
    if (lam < west)
        lam += 2 * kPi;
    else if (lam > east)
        lam -= 2 * kPi;
    return lam >= west && lam <= east;
}

int ZrCheckLattice(const ZrGridExtent& e, std::int64_t width, std::int64_t height, std::string& reason) {
    const double v[] = {e.west, e.south, e.east, e.north, e.resX, e.resY};
    for (double x : v) {
        if (!std::isfinite(x)) {
            reason = "the grid's bounds or spacing are not numbers";
            return 0;
        }
    }
    if (!(e.resX > 1e-10 && e.resY > 1e-10)) {
        reason = "the grid's node spacing is not positive";
        return 0;
    }
    if (!(std::fabs(e.west) <= 4 * kPi && std::fabs(e.east) <= 4 * kPi && std::fabs(e.south) <= kPi &&
          std::fabs(e.north) <= kPi && e.west <= e.east && e.south <= e.north)) {
        reason = "the grid's bounds are out of range or out of order";
        return 0;
    }
    if (width < 2 || height < 2) {
        reason = "the grid has fewer than two nodes in a direction";
        return 0;
    }
    if (static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) > kZrGridMaxNodes) {
        reason = "the grid's dimensions are too large (" + std::to_string(width) + " x " +
                 std::to_string(height) + ")";
        return 0;
    }
    return 1;
}

int ZrLinkSubgrids(ZrHorizontalGridData& d, bool byExtent, std::string& reason) {
    d.roots.clear();
    for (ZrHGrid& g : d.grids) {
        g.invResX = 1.0 / g.extent.resX;
        g.invResY = 1.0 / g.extent.resY;
    }
    // Names seen so far (the first grid of a name wins); a parent comes
    // before its children, so the tree has no cycle.
    std::unordered_map<std::string, int> earlier;
    for (size_t i = 0; i < d.grids.size(); ++i) {
        ZrHGrid& g = d.grids[i];
        int parent = -1;
        const bool top = g.parent.empty() || g.parent == "NONE" || g.parent == "none";
        if (!top) {
            auto it = earlier.find(g.parent);
            if (it != earlier.end()) parent = it->second;
            if (parent < 0) {
                reason = "subgrid " + g.name + " names a parent grid not found before it: " + g.parent;
                return 0;
            }
        } else if (byExtent) {
            const double cx = (g.extent.west + g.extent.east) / 2, cy = (g.extent.south + g.extent.north) / 2;
            for (size_t j = 0; j < i; ++j) {
                const ZrGridExtent& o = d.grids[j].extent;
                if (o.west <= g.extent.west && o.east >= g.extent.east && o.south <= g.extent.south &&
                    o.north >= g.extent.north && o.Contains(cx, cy))
                    parent = static_cast<int>(j); // later containing grids are nested deeper
            }
        }
        earlier.emplace(g.name, static_cast<int>(i));
        if (parent >= 0)
            d.grids[parent].children.push_back(static_cast<int>(i));
        else
            d.roots.push_back(static_cast<int>(i));
    }
    return 1;
}

// ---- search path -----------------------------------------------------------

void ZrSetGridDirectory(const std::string& dir) {
    std::lock_guard<std::mutex> lock(g_mutex);
    g_hostDirectory = dir;
}

std::string ZrGetGridDirectory() {
    std::lock_guard<std::mutex> lock(g_mutex);
    return g_hostDirectory;
}

std::vector<std::string> ZrGridSearchPath() {
    std::vector<std::string> dirs;
    const char* projData = std::getenv("PROJ_DATA");
    if (!projData || !*projData) projData = std::getenv("PROJ_LIB");
    if (projData && *projData) SplitInto(projData, dirs);
    const std::string host = ZrGetGridDirectory();
    if (!host.empty()) dirs.push_back(host);
    const char* xdg = std::getenv("XDG_DATA_HOME");
    const char* home = std::getenv("HOME");
    if (xdg && *xdg)
        dirs.push_back(std::string(xdg) + "/proj");
    else if (home && *home)
        dirs.push_back(std::string(home) + "/.local/share/proj");
    dirs.push_back("/usr/share/proj");
    Dl_info info{};
    if (dladdr(reinterpret_cast<const void*>(&ZrGridSearchPath), &info) != 0 && info.dli_fname) {
        std::string lib(info.dli_fname);
        const size_t slash = lib.rfind('/');
        dirs.push_back(slash == std::string::npos ? std::string(".") : lib.substr(0, slash));
    }
    return dirs;
}

int ZrFindGrid(const std::string& nameIn, std::string& path, std::string* reason) {
    // PROJ marks optional grids with a leading '@'; the file name is the rest.
    const std::string name = !nameIn.empty() && nameIn[0] == '@' ? nameIn.substr(1) : nameIn;
    if (name.empty()) {
        if (reason) *reason = "grid not found: no name given";
        return 0;
    }
    if (name.find('/') != std::string::npos) {
        if (IsRegularFile(name)) {
            path = name;
            return 1;
        }
        struct stat st {};
        if (reason)
            *reason = stat(name.c_str(), &st) == 0 ? "grid is not a regular file: " + name
                                                   : "grid not found: " + name;
        return 0;
    }
    std::string looked;
    for (const std::string& dir : ZrGridSearchPath()) {
        const std::string candidate = dir + "/" + name;
        if (IsRegularFile(candidate)) {
            path = candidate;
            return 1;
        }
        looked += (looked.empty() ? "" : ", ") + dir;
    }
    if (reason) *reason = "grid not found: " + name + " (looked in " + looked + ")";
    return 0;
}

// ---- opening and sharing ---------------------------------------------------

struct ZrGridOpener {
    static std::shared_ptr<const CZrHorizontalShiftGrid> Horizontal(std::unique_ptr<ZrHorizontalGridData> d) {
        return std::shared_ptr<const CZrHorizontalShiftGrid>(new CZrHorizontalShiftGrid(std::move(d)));
    }
    static const ZrHorizontalGridData* Data(const CZrHorizontalShiftGrid& g) { return g.m_data.get(); }
    static const ZrGeoidGridData* Data(const CZrGeoidGrid& g) { return g.m_data.get(); }
    static std::shared_ptr<const CZrGeoidGrid> Geoid(std::unique_ptr<ZrGeoidGridData> d) {
        return std::shared_ptr<const CZrGeoidGrid>(new CZrGeoidGrid(std::move(d)));
    }
};

CZrHorizontalShiftGrid::CZrHorizontalShiftGrid(std::unique_ptr<ZrHorizontalGridData> data)
    : m_data(std::move(data)) {}
CZrHorizontalShiftGrid::~CZrHorizontalShiftGrid() = default;

// The names of a list "A,@B" and whether each may be missing ('@').
static std::vector<std::pair<std::string, bool>> SplitGridList(const std::string& list) {
    std::vector<std::pair<std::string, bool>> items;
    size_t start = 0;
    while (start <= list.size()) {
        size_t end = list.find(',', start);
        if (end == std::string::npos) end = list.size();
        std::string item = list.substr(start, end - start);
        start = end + 1;
        const bool optional = !item.empty() && item[0] == '@';
        if (optional) item.erase(0, 1);
        if (!item.empty()) items.emplace_back(item, optional);
    }
    return items;
}

static bool IsList(const std::string& name) {
    return name.find(',') != std::string::npos || name == "@null" || name == "null";
}

// A list "A,@B,@null" as PROJ's +nadgrids and +grids take it: each file's
// grids after the previous file's, in order (the first containing a point
// serves it); '@' marks a file that may be missing; "null" is the zero shift
// everywhere, which ends the search. The files are opened (and shared) one by
// one and their grids copied into the list's own.
static std::shared_ptr<const CZrHorizontalShiftGrid> OpenList(const std::string& list, std::string* reason) {
    auto data = std::make_unique<ZrHorizontalGridData>();
    data->path = list;
    for (const auto& [item, optional] : SplitGridList(list)) {
        if (item == "null") {
            ZrHGrid null;
            null.null = true;
            null.extent = {-kPi, -kPi / 2, kPi, kPi / 2, 2 * kPi, kPi};
            data->roots.push_back(static_cast<int>(data->grids.size()));
            data->grids.push_back(std::move(null));
            continue;
        }
        std::string why;
        auto part = CZrHorizontalShiftGrid::Open(item, &why);
        if (!part) {
            if (optional && why.rfind("grid not found", 0) == 0) continue;
            if (reason) *reason = why;
            return nullptr;
        }
        const ZrHorizontalGridData& d = *ZrGridOpener::Data(*part);
        const int base = static_cast<int>(data->grids.size());
        for (ZrHGrid g : d.grids) {
            for (int& c : g.children)
                c += base;
            data->grids.push_back(std::move(g));
        }
        for (int r : d.roots)
            data->roots.push_back(base + r);
    }
    if (data->grids.empty()) {
        if (reason) *reason = "none of the grids found: " + list;
        return nullptr;
    }
    return ZrGridOpener::Horizontal(std::move(data));
}

// A grid file is read once per process while anyone holds it: the cache
// keeps weak references, so a grid no translator uses any more is freed.
// Reading happens under the lock: a second thread asking for the same grid
// waits and shares it rather than reading it twice.
template <class Grid, class Data, class Reader, class Wrap>
static std::shared_ptr<const Grid> OpenShared(const std::string& name,
                                              std::map<std::string, std::weak_ptr<const Grid>>& cache,
                                              Reader read, Wrap wrap, std::string* reason) {
    std::string path, why;
    if (!ZrFindGrid(name, path, &why)) {
        if (reason) *reason = why;
        return nullptr;
    }
    const std::string key = CacheKey(path);
    std::lock_guard<std::mutex> lock(g_mutex);
    auto it = cache.find(key);
    if (it != cache.end()) {
        if (auto grid = it->second.lock()) return grid;
    }
    auto data = std::make_unique<Data>();
    data->path = path;
    if (!read(path, *data, why)) {
        if (reason) *reason = path + ": " + why;
        return nullptr;
    }
    auto grid = wrap(std::move(data));
    cache[key] = grid;
    return grid;
}

std::shared_ptr<const CZrHorizontalShiftGrid> CZrHorizontalShiftGrid::Open(const std::string& name,
                                                                           std::string* reason) {
    if (IsList(name)) return OpenList(name, reason);
    return OpenShared<CZrHorizontalShiftGrid, ZrHorizontalGridData>(name, g_horizontal, ZrReadHorizontalGrid,
                                                                    ZrGridOpener::Horizontal, reason);
}

int CZrHorizontalShiftGrid::Forward(double& lam, double& phi) const {
    return ApplyShift(*m_data, lam, phi, true);
}

int CZrHorizontalShiftGrid::Inverse(double& lam, double& phi) const {
    return ApplyShift(*m_data, lam, phi, false);
}

int CZrHorizontalShiftGrid::ForwardDeg(CPoint2D& pt) const {
    double lam = pt.x * kDegToRad, phi = pt.y * kDegToRad;
    if (!ApplyShift(*m_data, lam, phi, true)) return 0;
    pt.x = lam / kDegToRad;
    pt.y = phi / kDegToRad;
    return 1;
}

int CZrHorizontalShiftGrid::InverseDeg(CPoint2D& pt) const {
    double lam = pt.x * kDegToRad, phi = pt.y * kDegToRad;
    if (!ApplyShift(*m_data, lam, phi, false)) return 0;
    pt.x = lam / kDegToRad;
    pt.y = phi / kDegToRad;
    return 1;
}

long CZrHorizontalShiftGrid::Apply(CPoint2D* points, long count, int forward) const {
    long inside = 0;
    for (long i = 0; i < count; ++i)
        inside += forward ? ForwardDeg(points[i]) : InverseDeg(points[i]);
    return inside;
}

void CZrHorizontalShiftGrid::Extent(double& west, double& south, double& east, double& north) const {
    west = south = HUGE_VAL;
    east = north = -HUGE_VAL;
    for (int r : m_data->roots) {
        double w, s, e, n;
        ExtentOf(m_data->grids[r].extent, w, s, e, n);
        west = std::min(west, w);
        south = std::min(south, s);
        east = std::max(east, e);
        north = std::max(north, n);
    }
}

int CZrHorizontalShiftGrid::Contains(double lonDeg, double latDeg) const {
    return FindGrid(*m_data, lonDeg * kDegToRad, latDeg * kDegToRad) != nullptr;
}

const std::string& CZrHorizontalShiftGrid::Path() const {
    return m_data->path;
}

// ---- geoid heights ---------------------------------------------------------

CZrGeoidGrid::CZrGeoidGrid(std::unique_ptr<ZrGeoidGridData> data) : m_data(std::move(data)) {}
CZrGeoidGrid::~CZrGeoidGrid() = default;

// A list as PROJ's +geoidgrids takes it: the first grid containing the point
// serves it, '@' grids may be missing, "null" is the height 0 everywhere.
static std::shared_ptr<const CZrGeoidGrid> OpenGeoidList(const std::string& list, std::string* reason) {
    auto data = std::make_unique<ZrGeoidGridData>();
    data->path = list;
    for (const auto& [item, optional] : SplitGridList(list)) {
        if (item == "null") {
            ZrVGrid null;
            null.null = true;
            null.extent = {-kPi, -kPi / 2, kPi, kPi / 2, 2 * kPi, kPi};
            data->grids.push_back(std::move(null));
            continue;
        }
        std::string why;
        auto part = CZrGeoidGrid::Open(item, &why);
        if (!part) {
            if (optional && why.rfind("grid not found", 0) == 0) continue;
            if (reason) *reason = why;
            return nullptr;
        }
        for (const ZrVGrid& g : ZrGridOpener::Data(*part)->grids)
            data->grids.push_back(g);
    }
    if (data->grids.empty()) {
        if (reason) *reason = "none of the grids found: " + list;
        return nullptr;
    }
    return ZrGridOpener::Geoid(std::move(data));
}

std::shared_ptr<const CZrGeoidGrid> CZrGeoidGrid::Open(const std::string& name, std::string* reason) {
    if (IsList(name)) return OpenGeoidList(name, reason);
    return OpenShared<CZrGeoidGrid, ZrGeoidGridData>(name, g_geoid, ZrReadGeoidGrid, ZrGridOpener::Geoid,
                                                     reason);
}

// Bilinear over the nodes that hold a value, reweighted when some do not; the
// column east of the last wraps to the first on a grid round the whole
// parallel, and is the last column itself on others.
int CZrGeoidGrid::Height(double lam, double phi, double& height) const {
    if (std::isnan(lam) || std::isnan(phi)) return 0;
    const ZrVGrid* grid = nullptr;
    for (const ZrVGrid& g : m_data->grids) {
        if (g.extent.Contains(lam, phi)) {
            grid = &g;
            break;
        }
    }
    if (!grid) return 0;
    if (grid->null) {
        height = 0.0;
        return 1;
    }
    const ZrGridExtent& e = grid->extent;
    const int w = grid->width, h = grid->height;
    double gx = (lam - e.west) / e.resX;
    if (lam < e.west || lam > e.east) {
        if (e.FullWorld())
            gx = std::fmod(std::fmod(gx + w, w) + w, w);
        else
            gx = (lam + (lam < e.west ? 2 * kPi : -2 * kPi) - e.west) / e.resX;
    }
    double gy = (phi - e.south) / e.resY;
    const long ix = std::lround(std::floor(gx));
    if (!(ix >= 0 && ix < w)) return 0;
    long iy = std::lround(std::floor(gy));
    if (iy < 0) iy = 0; // unreachable after Contains; guards rounding
    if (iy >= h) iy = h - 1;
    gx -= ix;
    gy -= iy;
    long ix2 = ix + 1;
    if (ix2 >= w) ix2 = e.FullWorld() ? 0 : w - 1;
    long iy2 = iy + 1;
    if (iy2 >= h) iy2 = h - 1;
    const float a = grid->heights[iy * w + ix], b = grid->heights[iy * w + ix2];
    const float c = grid->heights[iy2 * w + ix], d = grid->heights[iy2 * w + ix2];
    double total = 0.0, value = 0.0;
    int n = 0;
    auto add = [&](float v, double weight) {
        if (std::isnan(v)) return;
        value += v * weight;
        total += weight;
        ++n;
    };
    add(a, (1.0 - gx) * (1.0 - gy));
    add(b, gx * (1.0 - gy));
    add(c, (1.0 - gx) * gy);
    add(d, gx * gy);
    if (n == 0) return 0;
    if (n != 4) value /= total;
    height = value;
    return 1;
}

int CZrGeoidGrid::HeightDeg(double lonDeg, double latDeg, double& height) const {
    return Height(lonDeg * kDegToRad, latDeg * kDegToRad, height);
}

void CZrGeoidGrid::Extent(double& west, double& south, double& east, double& north) const {
    west = south = HUGE_VAL;
    east = north = -HUGE_VAL;
    for (const ZrVGrid& g : m_data->grids) {
        double w, s, e, n;
        ExtentOf(g.extent, w, s, e, n);
        west = std::min(west, w);
        south = std::min(south, s);
        east = std::max(east, e);
        north = std::max(north, n);
    }
}

const std::string& CZrGeoidGrid::Path() const {
    return m_data->path;
}
