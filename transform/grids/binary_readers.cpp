// The binary grid formats: NTv2 (.gsb), NTv1 (.dat), NADCON (.las/.los) and
// GTX. Each file is mapped read-only, its header checked against the file's
// size before anything is allocated, its nodes converted once, and the map
// released: a truncated file or one claiming more nodes than it holds is
// refused without reading past its end.
#include "transform/grids/ZrGrid_p.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstring>

namespace {
constexpr double kPi = 3.14159265358979323846;
constexpr double kDegToRad = kPi / 180.0;
// Shifts are stored in arc-seconds by the NT formats and NADCON.
constexpr double kArcSecToRad = (kPi / 180.0) / 3600.0;

// A read-only view of a whole regular file.
class CMappedFile {
public:
    ~CMappedFile() {
        if (m_data) munmap(const_cast<unsigned char*>(m_data), m_size);
    }
    int Open(const std::string& path, std::string& reason) {
        const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) {
            reason = "cannot be opened";
            return 0;
        }
        struct stat st {};
        if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
            ::close(fd);
            reason = "is not a regular file";
            return 0;
        }
        m_size = static_cast<size_t>(st.st_size);
        if (m_size == 0) {
            ::close(fd);
            reason = "is empty";
            return 0;
        }
        void* p = mmap(nullptr, m_size, PROT_READ, MAP_PRIVATE, fd, 0);
        ::close(fd);
        if (p == MAP_FAILED) {
            m_size = 0;
            reason = "cannot be read";
            return 0;
        }
        m_data = static_cast<const unsigned char*>(p);
        return 1;
    }
    const unsigned char* Data() const { return m_data; }
    size_t Size() const { return m_size; }

private:
    const unsigned char* m_data = nullptr;
    size_t m_size = 0;
};

bool HostIsLittleEndian() {
    const std::uint16_t one = 1;
    unsigned char b;
    std::memcpy(&b, &one, 1);
    return b == 1;
}

// Fixed-size values at a byte offset, in the file's byte order.
template <class T> T Get(const unsigned char* p, bool swap) {
    unsigned char b[sizeof(T)];
    std::memcpy(b, p, sizeof(T));
    if (swap)
        for (size_t i = 0; i < sizeof(T) / 2; ++i)
            std::swap(b[i], b[sizeof(T) - 1 - i]);
    T v;
    std::memcpy(&v, b, sizeof(T));
    return v;
}

std::string Field(const unsigned char* p, size_t n) {
    std::string s(reinterpret_cast<const char*>(p), n);
    const size_t end = s.find_last_not_of(std::string(" \0", 2));
    return end == std::string::npos ? std::string() : s.substr(0, end + 1);
}

// Node counts from a rectangle and its spacing, rounded as PROJ rounds them.
std::int64_t NodeCount(double from, double to, double res) {
    const double n = std::fabs((to - from) / res + 0.5) + 1;
    return n < 1e12 ? static_cast<std::int64_t>(n) : std::int64_t(1e12);
}

bool EndsWith(const std::string& s, const char* tail) {
    const size_t n = std::strlen(tail);
    if (s.size() < n) return false;
    for (size_t i = 0; i < n; ++i)
        if (std::tolower(static_cast<unsigned char>(s[s.size() - n + i])) != tail[i]) return false;
    return true;
}

// One NTv2/NTv1/NADCON node: shifts in arc-seconds (NT and NADCON
// longitudes count positive west), rounded to float radians, east positive.
void StoreNode(float* out, double lonWestArcSec, double latArcSec, double toRad) {
    out[0] = -static_cast<float>(lonWestArcSec * toRad);
    out[1] = static_cast<float>(latArcSec * toRad);
}

bool Finite(float a, float b) {
    return std::isfinite(a) && std::isfinite(b);
}

// NTv2: an overview header of 11 16-byte records (key, value), then per
// subgrid a header of 11 records and its nodes, 4 floats each (latitude and
// longitude shift in arc-seconds, longitude positive west, and their
// accuracies), rows from the south, each row from the east. Either byte order;
// the record count 11 tells which.
int ReadNTv2(const CMappedFile& f, ZrHorizontalGridData& out, std::string& reason) {
    const unsigned char* p = f.Data();
    const size_t size = f.Size();
    if (size < 176) {
        reason = "truncated NTv2 header";
        return 0;
    }
    const bool swap = (p[8] == 11) != HostIsLittleEndian();
    if (Get<std::int32_t>(p + 8, swap) != 11) {
        reason = "NTv2 header record count is not 11";
        return 0;
    }
    const std::int32_t count = Get<std::int32_t>(p + 40, swap);
    if (count < 1 || count > kZrGridMaxSubgrids) {
        reason = "NTv2 subgrid count out of range: " + std::to_string(count);
        return 0;
    }
    std::uint64_t offset = 176, total = 0;
    for (int k = 0; k < count; ++k) {
        if (offset + 176 > size) {
            reason = "truncated NTv2 file: subgrid " + std::to_string(k + 1) + " header missing";
            return 0;
        }
        const unsigned char* h = p + offset;
        if (std::memcmp(h, "SUB_NAME", 8) != 0) {
            reason = "NTv2 subgrid " + std::to_string(k + 1) + " header does not start with SUB_NAME";
            return 0;
        }
        ZrHGrid g;
        g.name = Field(h + 8, 8);
        g.parent = Field(h + 24, 8);
        auto sec = [&](size_t at) { return Get<double>(h + at, swap) * kDegToRad / 3600; };
        g.extent.south = sec(72);
        g.extent.north = sec(88);
        g.extent.east = -sec(104); // stored positive west
        g.extent.west = -sec(120);
        g.extent.resY = sec(136);
        g.extent.resX = sec(152);
        const std::int64_t w = NodeCount(g.extent.west, g.extent.east, g.extent.resX);
        const std::int64_t ht = NodeCount(g.extent.south, g.extent.north, g.extent.resY);
        if (!ZrCheckLattice(g.extent, w, ht, reason)) {
            reason = "NTv2 subgrid " + g.name + ": " + reason;
            return 0;
        }
        const std::int64_t nodes = Get<std::int32_t>(h + 168, swap);
        if (nodes != w * ht) {
            reason = "NTv2 subgrid " + g.name + " holds " + std::to_string(nodes) + " nodes, its bounds " +
                     std::to_string(w * ht);
            return 0;
        }
        total += static_cast<std::uint64_t>(nodes);
        offset += 176;
        if (total > kZrGridMaxNodes || offset + 16 * static_cast<std::uint64_t>(nodes) > size) {
            reason = total > kZrGridMaxNodes ? "NTv2 file holds too many nodes"
                                             : "truncated NTv2 file: subgrid " + g.name + " nodes missing";
            return 0;
        }
        g.width = static_cast<int>(w);
        g.height = static_cast<int>(ht);
        g.shifts.resize(2 * static_cast<size_t>(nodes));
        for (int j = 0; j < g.height; ++j) {
            for (int i = 0; i < g.width; ++i) {
                const unsigned char* n = p + offset + 16 * (static_cast<size_t>(j) * w + (w - 1 - i));
                const float lat = Get<float>(n, swap), lon = Get<float>(n + 4, swap);
                if (!Finite(lat, lon)) {
                    reason = "NTv2 subgrid " + g.name + " has a node that is not a number";
                    return 0;
                }
                StoreNode(&g.shifts[2 * (static_cast<size_t>(j) * w + i)], lon, lat, kArcSecToRad);
            }
        }
        offset += 16 * static_cast<std::uint64_t>(nodes);
        out.grids.push_back(std::move(g));
    }
    return ZrLinkSubgrids(out, false, reason);
}

// NTv1: one big-endian header of 12 records (bounds and spacing in degrees,
// longitudes positive west), then the nodes as pairs of doubles (latitude,
// longitude shift in arc-seconds), rows from the south, each from the east.
constexpr size_t kNTv1Header = 12 * 16;

int ReadNTv1(const CMappedFile& f, ZrHorizontalGridData& out, std::string& reason) {
    const unsigned char* p = f.Data();
    const bool swap = HostIsLittleEndian();
    if (Get<std::int32_t>(p + 8, swap) != 12) {
        reason = "NTv1 header record count is not 12";
        return 0;
    }
    ZrHGrid g;
    g.extent.south = Get<double>(p + 24, swap) * kDegToRad;
    g.extent.north = Get<double>(p + 40, swap) * kDegToRad;
    g.extent.east = -Get<double>(p + 56, swap) * kDegToRad;
    g.extent.west = -Get<double>(p + 72, swap) * kDegToRad;
    g.extent.resY = Get<double>(p + 88, swap) * kDegToRad;
    g.extent.resX = Get<double>(p + 104, swap) * kDegToRad;
    const std::int64_t w = NodeCount(g.extent.west, g.extent.east, g.extent.resX);
    const std::int64_t h = NodeCount(g.extent.south, g.extent.north, g.extent.resY);
    if (!ZrCheckLattice(g.extent, w, h, reason)) {
        reason = "NTv1: " + reason;
        return 0;
    }
    if (kNTv1Header + 16 * static_cast<std::uint64_t>(w * h) > f.Size()) {
        reason = "truncated NTv1 file: " + std::to_string(w * h) + " nodes expected";
        return 0;
    }
    g.width = static_cast<int>(w);
    g.height = static_cast<int>(h);
    g.shifts.resize(2 * static_cast<size_t>(w * h));
    for (int j = 0; j < g.height; ++j) {
        for (int i = 0; i < g.width; ++i) {
            const unsigned char* n = p + kNTv1Header + 16 * (static_cast<size_t>(j) * w + (w - 1 - i));
            const double lat = Get<double>(n, swap), lon = Get<double>(n + 8, swap);
            if (!std::isfinite(lat) || !std::isfinite(lon)) {
                reason = "NTv1 grid has a node that is not a number";
                return 0;
            }
            StoreNode(&g.shifts[2 * (static_cast<size_t>(j) * w + i)], lon, lat, kArcSecToRad);
        }
    }
    out.grids.push_back(std::move(g));
    return ZrLinkSubgrids(out, false, reason);
}

// One NADCON file: records of (columns + 1) 4-byte words, little-endian. The
// first record is the header (56 characters of title, 8 of program name, then
// columns, rows, z count as integers and west, spacing in longitude, south,
// spacing in latitude, angle as floats, degrees); each following record is a
// row from the south, a leading word then the row's values in arc-seconds
// from the west (longitude shifts positive west).
struct NadconHeader {
    std::int32_t columns = 0, rows = 0;
    float west = 0, dx = 0, south = 0, dy = 0;
};

int ReadNadconFile(const CMappedFile& f, NadconHeader& hdr, std::string& reason) {
    const unsigned char* p = f.Data();
    if (f.Size() < 96) {
        reason = "truncated NADCON header";
        return 0;
    }
    const bool swap = !HostIsLittleEndian();
    hdr.columns = Get<std::int32_t>(p + 64, swap);
    hdr.rows = Get<std::int32_t>(p + 68, swap);
    hdr.west = Get<float>(p + 76, swap);
    hdr.dx = Get<float>(p + 80, swap);
    hdr.south = Get<float>(p + 84, swap);
    hdr.dy = Get<float>(p + 88, swap);
    if (hdr.columns < 23 || hdr.rows < 2) {
        reason = "NADCON header has " + std::to_string(hdr.columns) + " columns and " +
                 std::to_string(hdr.rows) + " rows";
        return 0;
    }
    const std::uint64_t need = 4 * (static_cast<std::uint64_t>(hdr.columns) + 1) * (hdr.rows + 1ull);
    if (static_cast<std::uint64_t>(hdr.columns) * hdr.rows > kZrGridMaxNodes) {
        reason = "NADCON grid's dimensions are too large";
        return 0;
    }
    if (need > f.Size()) {
        reason = "truncated NADCON file: " + std::to_string(need) + " bytes expected";
        return 0;
    }
    return 1;
}

int ReadNadcon(const std::string& path, ZrHorizontalGridData& out, std::string& reason) {
    // Either file of the pair names it.
    const std::string stem = path.substr(0, path.size() - 4);
    const bool upper = path[path.size() - 3] == 'L';
    const std::string lasPath = stem + (upper ? ".LAS" : ".las"), losPath = stem + (upper ? ".LOS" : ".los");
    CMappedFile las, los;
    if (!las.Open(lasPath, reason)) {
        reason = lasPath + " " + reason;
        return 0;
    }
    if (!los.Open(losPath, reason)) {
        reason = losPath + " " + reason;
        return 0;
    }
    NadconHeader a, b;
    if (!ReadNadconFile(las, a, reason) || !ReadNadconFile(los, b, reason)) return 0;
    if (a.columns != b.columns || a.rows != b.rows || a.west != b.west || a.dx != b.dx ||
        a.south != b.south || a.dy != b.dy) {
        reason = "NADCON .las and .los headers differ";
        return 0;
    }
    ZrHGrid g;
    g.width = a.columns;
    g.height = a.rows;
    g.extent.west = a.west * kDegToRad;
    g.extent.south = a.south * kDegToRad;
    g.extent.resX = a.dx * kDegToRad;
    g.extent.resY = a.dy * kDegToRad;
    g.extent.east = (static_cast<double>(a.west) + static_cast<double>(a.dx) * (a.columns - 1)) * kDegToRad;
    g.extent.north = (static_cast<double>(a.south) + static_cast<double>(a.dy) * (a.rows - 1)) * kDegToRad;
    if (!ZrCheckLattice(g.extent, g.width, g.height, reason)) {
        reason = "NADCON: " + reason;
        return 0;
    }
    const bool swap = !HostIsLittleEndian();
    const size_t record = 4 * (static_cast<size_t>(a.columns) + 1);
    g.shifts.resize(2 * static_cast<size_t>(g.width) * g.height);
    for (int j = 0; j < g.height; ++j) {
        for (int i = 0; i < g.width; ++i) {
            const size_t at = record * (j + 1) + 4 * (i + 1);
            const float lat = Get<float>(las.Data() + at, swap), lon = Get<float>(los.Data() + at, swap);
            if (!Finite(lat, lon)) {
                reason = "NADCON grid has a node that is not a number";
                return 0;
            }
            StoreNode(&g.shifts[2 * (static_cast<size_t>(j) * g.width + i)], lon, lat, kArcSecToRad);
        }
    }
    out.grids.push_back(std::move(g));
    return ZrLinkSubgrids(out, false, reason);
}

bool IsTiff(const unsigned char* p, size_t size) {
    return size >= 4 && ((p[0] == 'I' && p[1] == 'I' && (p[2] == 42 || p[2] == 43) && p[3] == 0) ||
                         (p[0] == 'M' && p[1] == 'M' && p[2] == 0 && (p[3] == 42 || p[3] == 43)));
}

// GTX: a big-endian header of four doubles (south, west, latitude and
// longitude spacing, degrees) and two integers (rows, columns), then the
// heights as big-endian floats, rows from the south, each from the west.
// -88.8888 marks a node without value; so do the huge values some files
// use instead.
int ReadGtx(const CMappedFile& f, ZrGeoidGridData& out, std::string& reason) {
    const unsigned char* p = f.Data();
    if (f.Size() < 40) {
        reason = "truncated GTX header";
        return 0;
    }
    const bool swap = HostIsLittleEndian();
    double south = Get<double>(p, swap), west = Get<double>(p + 8, swap);
    const double dy = Get<double>(p + 16, swap), dx = Get<double>(p + 24, swap);
    const std::int32_t rows = Get<std::int32_t>(p + 32, swap), cols = Get<std::int32_t>(p + 36, swap);
    // Some GTX files count longitudes from 0 to 360; bring them to -180..180.
    if (west >= 180.0) west -= 360.0;
    ZrVGrid g;
    g.extent.west = west * kDegToRad;
    g.extent.south = south * kDegToRad;
    g.extent.resX = dx * kDegToRad;
    g.extent.resY = dy * kDegToRad;
    g.extent.east = (west + dx * (cols - 1)) * kDegToRad;
    g.extent.north = (south + dy * (rows - 1)) * kDegToRad;
    if (!ZrCheckLattice(g.extent, cols, rows, reason)) {
        reason = "GTX: " + reason;
        return 0;
    }
    const std::uint64_t n = static_cast<std::uint64_t>(cols) * static_cast<std::uint64_t>(rows);
    if (40 + 4 * n > f.Size()) {
        reason = "truncated GTX file: " + std::to_string(n) + " heights expected";
        return 0;
    }
    g.width = cols;
    g.height = rows;
    g.heights.resize(n);
    for (std::uint64_t k = 0; k < n; ++k) {
        const float v = Get<float>(p + 40 + 4 * k, swap);
        if (std::isnan(v)) {
            reason = "GTX grid has a node that is not a number";
            return 0;
        }
        g.heights[k] = (v == -88.8888f || std::fabs(v) > 1e10f) ? NAN : v;
    }
    out.grids.push_back(std::move(g));
    return 1;
}
} // namespace

int ZrReadHorizontalGrid(const std::string& path, ZrHorizontalGridData& out, std::string& reason) {
    if (EndsWith(path, ".las") || EndsWith(path, ".los")) return ReadNadcon(path, out, reason);
    CMappedFile f;
    if (!f.Open(path, reason)) return 0;
    const unsigned char* p = f.Data();
    const size_t size = f.Size();
    if (IsTiff(p, size)) return ZrReadTiffHorizontalGrid(path, out, reason);
    if (size >= 176 && std::memcmp(p, "NUM_OREC", 8) == 0 && std::memcmp(p + 48, "GS_TYPE", 7) == 0)
        return ReadNTv2(f, out, reason);
    if (size >= 192 && std::memcmp(p, "HEADER", 6) == 0 && std::memcmp(p + 96, "W GRID", 6) == 0)
        return ReadNTv1(f, out, reason);
    reason = "not a horizontal shift grid this library reads (NTv2, NTv1, NADCON, GeoTIFF)";
    return 0;
}

int ZrReadGeoidGrid(const std::string& path, ZrGeoidGridData& out, std::string& reason) {
    CMappedFile f;
    if (!f.Open(path, reason)) return 0;
    if (IsTiff(f.Data(), f.Size())) return ZrReadTiffGeoidGrid(path, out, reason);
    if (EndsWith(path, ".gtx")) return ReadGtx(f, out, reason);
    reason = "not a geoid grid this library reads (GTX, GeoTIFF)";
    return 0;
}
