// The EPSG data file (written by tools/gen_epsg.py): read once, on first use,
// from the folder that holds the mapping file, its seal checked over every
// byte, and its runs of lines of one record type noted by a scan of its line
// ends. A record looked up by code is found by a search of its run's bytes
// and checked and decoded alone (the first EPSG set-up reads three lines of
// 25,000); a type listed whole is checked whole on that first listing.
#include "interop/ZrEpsgData_p.h"
#include "interop/ZrEpsgLeftOut_p.h"
#include "interop/ZrHeightOffsets_p.h"
#include "interop/ZrInterop.h"
#include "transform/ZrPJTranslator.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <string_view>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace {
const char kFileName[] = "EpsgData.txt";
// A sane file is about 2 MB. The records read from a file take at most
// about ten times its size (a record's strings and numbers against its
// shortest line), so the cap also bounds the memory a load can take.
constexpr long long kMaxFileSize = 8LL * 1024 * 1024;
// The longest line the generator writes is about 300 bytes; one far longer is
// no record of ours, and is refused before it is split.
constexpr std::size_t kMaxLineLength = 4096;
// The most fields a record has: a time-dependent Helmert's 27 (a
// Molodensky-Badekas transformation 22, a Helmert 20).
constexpr std::size_t kMaxFields = 27;

struct Box {
    double south = -90, west = -180, north = 90, east = 180;
};

struct Geographic {
    ZrEpsgGeographicRecord record;
    Box area;
};

// Where each record's line starts in the file, by code.
struct Entry {
    long code;
    std::size_t offset;
};

// The file's bytes, mapped read-only from the page cache. Read into memory of
// its own, the 2 MB file cost the kernel a zeroed huge page and a copy (0.8 ms
// of CPU time, a third of the first EPSG set-up), where the mapping costs a
// page fault per 64 KB touched. A file truncated in place while a process has
// it mapped would fault on the lost pages; installers replace the file by
// renaming a new one over it, which leaves the mapped one whole.
class Bytes {
public:
    Bytes() = default;
    Bytes(const Bytes&) = delete;
    Bytes& operator=(const Bytes&) = delete;
    Bytes& operator=(Bytes&& o) noexcept {
        std::swap(m_block, o.m_block);
        std::swap(m_size, o.m_size);
        return *this;
    }
    ~Bytes() {
        if (m_block) ::munmap(m_block, m_size);
    }
    std::string_view View() const {
        return m_block ? std::string_view(static_cast<const char*>(m_block), m_size) : std::string_view();
    }
    // Maps that many bytes of an open regular file: false when it cannot.
    bool Map(int fd, std::size_t size) {
        if (size == 0) return true; // nothing to map: an empty text
        void* block = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
        if (block == MAP_FAILED) return false;
        m_block = block;
        m_size = size;
        return true;
    }

private:
    void* m_block = nullptr;
    std::size_t m_size = 0;
};

// One record type's lines: where they lie, as the scan at load found them;
// one record found by a search of its run's bytes, or, once the type is used
// often or whole, by an index of its line starts.
struct Letter {
    // Runs of lines of this type (and comments), from a line's start to the
    // next run's. The generator writes one run a type, sorted by code.
    struct Run {
        std::size_t begin, end;
    };
    std::vector<Run> runs;
    std::vector<Entry> entries; // listed and checked on first use of the whole type
    std::once_flag checked;
    std::atomic<bool> entriesReady{false};
    std::string problem; // what its check found wrong, for the user
    // The single-record look-ups so far: past a few, the type's line starts
    // are listed (codes read, lines not checked), so that a warm look-up is
    // a search of an array rather than of the bytes.
    std::atomic<unsigned> lookups{0};
    std::once_flag listed;
    std::vector<Entry> starts;
    std::atomic<bool> startsReady{false};
};

struct Data {
    explicit Data(void (*load)(Data&)) { load(*this); }
    bool ok = false; // found, sealed, every line in its place
    std::string path;
    std::string problem; // empty when ok: what is wrong with the file, for the user
    // The file's bytes, kept: a lookup decodes its one line from them.
    Bytes bytes;
    std::string_view Text() const { return bytes.View(); }
    // Per leading letter (A to Z) of a record type, its records by code once
    // checked: ascending, except the transformations, which keep file order
    // (their replacement lists name later ones). Checked on first use, by
    // whichever thread comes first; the others wait for it.
    mutable std::array<Letter, 26> index;
    // Set once a record in use, or a type checked whole, held a line the
    // reader cannot decode, with what was wrong. From then on the file is
    // refused whole, as a file damaged anywhere always was: no later lookup
    // answers from part of it.
    mutable std::atomic<bool> damaged{false};
    mutable std::once_flag refused;
    mutable std::string damage;

    bool Ok() const { return ok && !damaged.load(std::memory_order_acquire); }
    const std::string& Problem() const { return damaged.load(std::memory_order_acquire) ? damage : problem; }
    // Refuses the file from now on, for that reason (the first one given,
    // where several threads find damage at once).
    void Refuse(const std::string& why) const {
        std::call_once(refused, [&] {
            damage = why;
            damaged.store(true, std::memory_order_release);
        });
    }
    // The records of that type, checked; none once the file is refused.
    const std::vector<Entry>& Of(char letter) const;
};

// A line's fields, views into the file's bytes: no allocation per field.
struct Fields {
    std::array<std::string_view, kMaxFields> at;
    std::size_t size = 0;
    const std::string_view& operator[](std::size_t i) const { return at[i]; }
};

// False when the line has more fields than any record.
bool SplitTabs(std::string_view line, Fields& f) {
    f.size = 0;
    for (;;) {
        if (f.size == kMaxFields) return false;
        const std::size_t tab = line.find('\t');
        f.at[f.size++] = line.substr(0, tab);
        if (tab == std::string_view::npos) return true;
        line.remove_prefix(tab + 1);
    }
}

// Numbers are read without regard to the C locale, which a host may have set
// to one with a decimal comma. Every number of the file is read when it is
// checked, so the common forms take a short path: a plain decimal of at most
// 15 digits, of which at most 22 after the point, is its digits as an integer
// (exact below 2^53) divided by a power of ten (exact up to 1e22), one
// correctly rounded division, the very double from_chars gives (Clinger's
// fast path). Anything else goes to from_chars.
constexpr double kPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                   1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

inline bool Digit(char c, unsigned& d) {
    d = static_cast<unsigned>(c - '0');
    return d < 10;
}

bool ToDouble(std::string_view s, double& out) {
    const char* p = s.data();
    const char* end = p + s.size();
    const bool negative = p != end && *p == '-';
    if (negative) ++p;
    // The digits as one integer; it wraps past 19 digits, but only 15 are used.
    std::uint64_t digits = 0;
    unsigned d;
    const char* first = p;
    for (; p != end && Digit(*p, d); ++p)
        digits = digits * 10 + d;
    std::ptrdiff_t count = p - first, after = 0;
    if (p != end && *p == '.') {
        const char* fraction = ++p;
        for (; p != end && Digit(*p, d); ++p)
            digits = digits * 10 + d;
        after = p - fraction;
        count += after;
    }
    if (p == end && count > 0 && count <= 15) {
        const double v = static_cast<double>(digits) / kPowersOfTen[after];
        out = negative ? -v : v;
        return true;
    }
    const auto r = std::from_chars(s.data(), end, out);
    return r.ec == std::errc() && r.ptr == end && std::isfinite(out);
}

bool ToLong(std::string_view s, long& out) {
    const char* p = s.data();
    const char* end = p + s.size();
    const bool negative = p != end && *p == '-';
    if (negative) ++p;
    // Up to 18 digits cannot overflow; longer ones go to from_chars.
    if (end - p > 0 && end - p <= 18) {
        long v = 0;
        unsigned d;
        for (; p != end && Digit(*p, d); ++p)
            v = v * 10 + static_cast<long>(d);
        if (p == end) {
            out = negative ? -v : v;
            return true;
        }
    }
    const auto r = std::from_chars(s.data(), end, out);
    return r.ec == std::errc() && r.ptr == end;
}

bool ReadBox(const Fields& f, std::size_t at, Box& box) {
    return ToDouble(f[at], box.south) && ToDouble(f[at + 1], box.west) && ToDouble(f[at + 2], box.north) &&
           ToDouble(f[at + 3], box.east) && box.south <= box.north;
}

// The parsers check a line's fields and decode them; withText false leaves
// the names and lists out, for the check of every record at load.
bool ParseGeographic(const Fields& f, Geographic& g, bool withText) {
    if (f.size != 17) return false;
    ZrEpsgGeographicRecord& r = g.record;
    long latFirst = 0;
    if (withText) {
        r.name = f[2];
        r.datumName = f[4];
        r.ellipsoidName = f[6];
        r.primeMeridianName = f[10];
    }
    if (!ToLong(f[1], r.code) || !ToLong(f[3], r.datumCode) || !ToLong(f[5], r.ellipsoidCode) ||
        !ToDouble(f[7], r.semiMajorAxis) || !ToDouble(f[8], r.inverseFlattening) ||
        !ToLong(f[9], r.primeMeridianCode) || !ToDouble(f[11], r.primeMeridianLongitude) ||
        !ToLong(f[12], latFirst) || !ReadBox(f, 13, g.area))
        return false;
    r.latitudeFirst = latFirst != 0;
    return r.semiMajorAxis > 0 && r.inverseFlattening >= 0;
}

bool ParseProjected(const Fields& f, ZrEpsgProjectedRecord& r, bool withText) {
    if (f.size < 12) return false;
    if (withText) {
        r.name = f[2];
        r.methodName = f[5];
        r.conversionName = f[7];
        r.linearUnitName = f[9];
        r.axisOrder = f[11];
    }
    if (!ToLong(f[1], r.code) || !ToLong(f[3], r.baseGeographicCode) || !ToLong(f[4], r.methodCode) ||
        !ToLong(f[6], r.conversionCode) || !ToLong(f[8], r.linearUnitCode) ||
        !ToDouble(f[10], r.linearUnitToMetre) || r.linearUnitToMetre <= 0)
        return false;
    if (withText) r.parameters.reserve(f.size - 12);
    for (std::size_t i = 12; i < f.size; ++i) {
        const std::size_t eq = f[i].find('=');
        if (eq == std::string_view::npos) return false;
        ZrEpsgParameter p;
        if (!ToLong(f[i].substr(0, eq), p.code) || !ToDouble(f[i].substr(eq + 1), p.value)) return false;
        if (withText) r.parameters.push_back(p);
    }
    return true;
}

bool ParseTransformation(const Fields& f, ZrEpsgTransformationRecord& r, std::vector<long>& replacements,
                         bool withText) {
    if (f.size != 20) return false;
    for (std::string_view list = f[19]; !list.empty();) {
        const std::size_t comma = list.find(',');
        long code = 0;
        if (!ToLong(list.substr(0, comma), code)) return false;
        if (withText) replacements.push_back(code);
        if (comma == std::string_view::npos) break;
        list.remove_prefix(comma + 1);
        if (list.empty()) return false; // a trailing comma
    }
    if (withText) {
        r.name = f[2];
        r.area = f[18];
    }
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

// A Helmert between geocentric or geographic 3D systems ('D'): the seven
// values, their rates and reference epoch, accuracy and area.
bool ParseTimedHelmert(const Fields& f, ZrEpsgTransformationRecord& r, bool withText) {
    if (f.size != 27) return false;
    if (withText) {
        r.name = f[2];
        r.area = f[26];
    }
    double* const values[] = {&r.tx,  &r.ty,  &r.tz,  &r.rx,  &r.ry,  &r.rz,  &r.ds,    &r.rtx,
                              &r.rty, &r.rtz, &r.rrx, &r.rry, &r.rrz, &r.rds, &r.epoch, &r.accuracy};
    bool ok = ToLong(f[1], r.code) && ToLong(f[3], r.methodCode) && ToLong(f[4], r.sourceCode) &&
              ToLong(f[5], r.targetCode);
    for (std::size_t i = 0; ok && i < sizeof values / sizeof values[0]; ++i)
        ok = ToDouble(f[6 + i], *values[i]);
    Box box;
    ok = ok && ReadBox(f, 22, box);
    r.south = box.south;
    r.west = box.west;
    r.north = box.north;
    r.east = box.east;
    switch (r.methodCode) {
    case 1031:
    case 1032:
    case 1033:
    case 1053:
    case 1056:
    case 1065:
    case 1066:
        return ok;
    default:
        return false;
    }
}

bool ParseGeocentric(const Fields& f, ZrEpsgGeocentricRecord& r, bool withText) {
    if (f.size != 9) return false;
    if (withText) {
        r.name = f[2];
        r.area = f[8];
    }
    Box box;
    const bool ok = ToLong(f[1], r.code) && ToLong(f[3], r.baseCode) && ReadBox(f, 4, box);
    r.south = box.south;
    r.west = box.west;
    r.north = box.north;
    r.east = box.east;
    return ok;
}

// The folder of the mapping file, read now: a host that points the library
// at another mapping file moves the EPSG data with it.
std::string DataPath() {
    const std::string mapping = CZrPJTranslator::m_strEpsgName.c_str();
    const std::size_t slash = mapping.find_last_of('/');
    if (slash == std::string::npos) return std::string();
    return mapping.substr(0, slash + 1) + kFileName;
}

std::string Quoted(const std::string& path) {
    return "the EPSG data file \"" + path + "\"";
}

bool ParseLeftOut(const Fields& f, ZrEpsgLeftOutRecord& x, bool withText) {
    if (f.size != 5 || !ToLong(f[1], x.code) || !ToLong(f[3], x.methodCode)) return false;
    if (withText) {
        x.name = f[2];
        x.methodName = f[4];
    }
    return true;
}

bool ParseArea(const Fields& f, std::size_t at, ZrEpsgAreaRecord& r, bool withText) {
    Box box;
    if (f.size != at + 5 || !ReadBox(f, at, box)) return false;
    r.south = box.south;
    r.west = box.west;
    r.north = box.north;
    r.east = box.east;
    if (withText) r.name = f[at + 4];
    return true;
}

// The records only a search by name, code or place needs: a system's other
// names (several lines per code), its area of use, and the systems ESRI
// numbers itself.
bool ParseAlias(const Fields& f, long& code, std::string* alias) {
    if (f.size != 3 || !ToLong(f[1], code) || f[2].empty()) return false;
    if (alias) *alias = f[2];
    return true;
}
bool ParseUse(const Fields& f, ZrEpsgAreaRecord& u, bool withText) {
    return f.size == 7 && ToLong(f[1], u.code) && ParseArea(f, 2, u, withText);
}
bool ParseEsri(const Fields& f, ZrEsriSystemRecord& r, bool withText) {
    if (f.size != 9 || !ToLong(f[1], r.code) || (f[3] != "G" && f[3] != "P") ||
        !ParseArea(f, 4, r.area, withText))
        return false;
    r.projected = f[3] == "P";
    r.area.code = r.code;
    if (withText) r.name = f[2];
    return true;
}

bool ParseGridTransformation(const Fields& f, ZrEpsgGridTransformationRecord& r) {
    if (f.size != 17) return false;
    for (std::string_view list = f[16]; !list.empty();) {
        const std::size_t comma = list.find(',');
        long code = 0;
        if (!ToLong(list.substr(0, comma), code)) return false;
        r.replacements.push_back(code);
        if (comma == std::string_view::npos) break;
        list.remove_prefix(comma + 1);
    }
    r.gridKnown = f[15] == "1";
    r.name = f[2];
    r.area = f[11];
    r.grid = f[12];
    r.oldGrid = f[13];
    Box box;
    const bool ok = ToLong(f[1], r.code) && ToLong(f[3], r.methodCode) && ToLong(f[4], r.sourceCode) &&
                    ToLong(f[5], r.targetCode) && ToDouble(f[6], r.accuracy) && ReadBox(f, 7, box) &&
                    (f[14] == "0" || f[14] == "1") && (f[15] == "0" || f[15] == "1") && !r.grid.empty();
    r.gridInverse = f[14] == "1";
    r.south = box.south;
    r.west = box.west;
    r.north = box.north;
    r.east = box.east;
    return ok && (r.methodCode == 9613 || r.methodCode == 9614 || r.methodCode == 9615);
}

// M (Molodensky-Badekas, ten values) and O (offsets, two values) records.
bool ParseOtherTransformation(const Fields& f, ZrEpsgOtherTransformationRecord& r) {
    const bool badekas = f[0] == "M";
    const std::size_t n = badekas ? 10 : 2;
    if (f.size != 12 + n) return false;
    bool ok = ToLong(f[1], r.code) && ToLong(f[3], r.methodCode) && ToLong(f[4], r.sourceCode) &&
              ToLong(f[5], r.targetCode);
    for (std::size_t i = 0; i < n; ++i)
        ok = ok && ToDouble(f[6 + i], r.values[i]);
    Box box;
    ok = ok && ToDouble(f[6 + n], r.accuracy) && ReadBox(f, 7 + n, box);
    r.name = f[2];
    r.area = f[11 + n];
    r.south = box.south;
    r.west = box.west;
    r.north = box.north;
    r.east = box.east;
    const bool method = badekas ? (r.methodCode == 9636 || r.methodCode == 1063)
                                : (r.methodCode == 9601 || r.methodCode == 9619);
    return ok && method;
}

// N records: an affine parametric transformation (9624) between two
// projected systems, its six values a0 a1 a2 b0 b1 b2 in values[0..5].
bool ParseAffine(const Fields& f, ZrEpsgOtherTransformationRecord& r) {
    if (f.size != 18) return false;
    bool ok = ToLong(f[1], r.code) && ToLong(f[3], r.methodCode) && ToLong(f[4], r.sourceCode) &&
              ToLong(f[5], r.targetCode);
    for (std::size_t i = 0; i < 6; ++i)
        ok = ok && ToDouble(f[6 + i], r.values[i]);
    Box box;
    ok = ok && ToDouble(f[12], r.accuracy) && ReadBox(f, 13, box);
    r.name = f[2];
    r.area = f[17];
    r.south = box.south;
    r.west = box.west;
    r.north = box.north;
    r.east = box.east;
    return ok && r.methodCode == 9624;
}
bool CheckAffine(const Fields& f) {
    ZrEpsgOtherTransformationRecord r;
    return ParseAffine(f, r);
}

bool ParseGeoid(const Fields& f, ZrEpsgGeoidRecord& r) {
    if (f.size != 16) return false;
    r.name = f[2];
    r.targetName = f[7];
    r.area = f[13];
    r.grid = f[14];
    r.oldGrid = f[15];
    Box box;
    const bool ok = ToLong(f[1], r.code) && ToLong(f[3], r.methodCode) && ToLong(f[4], r.sourceCode) &&
                    ToLong(f[5], r.source2dCode) && ToLong(f[6], r.targetCode) &&
                    ToDouble(f[8], r.accuracy) && ReadBox(f, 9, box) && !r.grid.empty();
    r.south = box.south;
    r.west = box.west;
    r.north = box.north;
    r.east = box.east;
    return ok;
}

bool ParseConcatenated(const Fields& f, ZrEpsgConcatenatedRecord& r) {
    if (f.size != 12) return false;
    for (std::string_view list = f[11]; !list.empty();) {
        const std::size_t comma = list.find(',');
        long code = 0;
        if (!ToLong(list.substr(0, comma), code)) return false;
        r.steps.push_back(code);
        if (comma == std::string_view::npos) break;
        list.remove_prefix(comma + 1);
    }
    r.name = f[2];
    r.area = f[10];
    Box box;
    const bool ok = ToLong(f[1], r.code) && ToLong(f[3], r.sourceCode) && ToLong(f[4], r.targetCode) &&
                    ToDouble(f[5], r.accuracy) && ReadBox(f, 6, box) && !r.steps.empty();
    r.south = box.south;
    r.west = box.west;
    r.north = box.north;
    r.east = box.east;
    return ok;
}

bool CheckGrid(const Fields& f) {
    ZrEpsgGridTransformationRecord r;
    return ParseGridTransformation(f, r);
}
bool CheckOther(const Fields& f) {
    ZrEpsgOtherTransformationRecord r;
    return ParseOtherTransformation(f, r);
}
bool CheckGeoid(const Fields& f) {
    ZrEpsgGeoidRecord r;
    return ParseGeoid(f, r);
}
bool CheckSupersession(const Fields& f) {
    long a = 0, b = 0;
    return f.size == 3 && ToLong(f[1], a) && ToLong(f[2], b);
}
bool CheckOffshore(const Fields& f) {
    long code = 0;
    return f.size == 2 && ToLong(f[1], code);
}
bool CheckConcatenated(const Fields& f) {
    ZrEpsgConcatenatedRecord r;
    return ParseConcatenated(f, r);
}

// The record types the reader knows, by leading letter: each line of a type
// is checked by its type's parser when the type is first used, so that a
// file with a line the reader cannot decode is refused whole before any
// lookup of that type answers. A new type is a parser and a row here.
bool CheckGeographic(const Fields& f) {
    Geographic g;
    return ParseGeographic(f, g, false);
}
bool CheckProjected(const Fields& f) {
    ZrEpsgProjectedRecord p;
    return ParseProjected(f, p, false);
}
bool CheckLeftOut(const Fields& f) {
    ZrEpsgLeftOutRecord x;
    return ParseLeftOut(f, x, false);
}
bool CheckAlias(const Fields& f) {
    long code = 0;
    return ParseAlias(f, code, nullptr);
}
bool CheckUse(const Fields& f) {
    ZrEpsgAreaRecord u;
    return ParseUse(f, u, false);
}
bool CheckEsri(const Fields& f) {
    ZrEsriSystemRecord r;
    return ParseEsri(f, r, false);
}
bool CheckTransformation(const Fields& f) {
    ZrEpsgTransformationRecord t;
    std::vector<long> none;
    return ParseTransformation(f, t, none, false);
}

// The end of the run of decimal digits that starts at p, eight bytes a step
// while the line holds eight more: a byte b is a digit when b - '0' is below
// 10, so subtracting '0' from every byte, and adding 0x80 - 10 to the
// differences, sets the top bit of the first byte that is not a digit (and
// perhaps of later ones, where a borrow or carry has spread: the first is
// exact, since the digits below it neither borrow nor carry).
inline const char* PastDigits(const char* p, const char* end) {
    constexpr std::uint64_t kZeros = 0x3030303030303030ull, kTens = 0x7676767676767676ull,
                            kTops = 0x8080808080808080ull;
#if defined(__GNUC__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__ // the first byte the lowest
    for (; end - p >= 8; p += 8) {
        std::uint64_t word;
        std::memcpy(&word, p, 8);
        const std::uint64_t less = word - kZeros;
        const std::uint64_t stops = (less | (less + kTens)) & kTops;
        if (stops) return p + (__builtin_ctzll(stops) >> 3);
    }
#endif
    unsigned d;
    while (p != end && Digit(*p, d))
        ++p;
    return p;
}

// The quick check of the commonest records: one walk along the line, no
// split into fields and no record built. It accepts only lines the full
// check accepts (exact field counts, the numbers in the plain forms that
// ToLong and ToDouble read on their short paths, the same value limits) and
// gives up on anything else, which the full check then decides and names.
// Most of the first EPSG set-up's time went to splitting and parsing these
// lines whole.
struct Cursor {
    const char* p;
    const char* end;
    bool more = true; // a field remains
    explicit Cursor(std::string_view line) : p(line.data() + 2), end(line.data() + line.size()) {}
    // Past a field that ends at q: at the line's end or a tab.
    bool Close(const char* q) {
        if (q == end) {
            p = q;
            more = false;
            return true;
        }
        if (*q != '\t') return false;
        p = q + 1;
        return true;
    }
    bool Text(bool nonEmpty = false) {
        if (!more) return false;
        const void* tab = std::memchr(p, '\t', static_cast<std::size_t>(end - p));
        const char* q = tab ? static_cast<const char*>(tab) : end;
        return !(nonEmpty && q == p) && Close(q);
    }
    // A field that is exactly "G" or "P": its letter, or 0.
    char Letter() {
        if (!more || end - p < 1) return 0;
        const char c = *p;
        return (c == 'G' || c == 'P') && Close(p + 1) ? c : 0;
    }
    // ToLong's short path: a sign and 1 to 18 digits, up to the field's end
    // or, for a parameter's code, up to stop.
    bool Long(long& out, char stop = '\t') {
        if (!more) return false;
        const char* q = p;
        const bool negative = q != end && *q == '-';
        if (negative) ++q;
        const char* first = q;
        long v = 0;
        unsigned d;
        // At most 18 digits are summed, which cannot overflow; a 19th is
        // from_chars's to judge.
        for (; q != end && q - first < 18 && Digit(*q, d); ++q)
            v = v * 10 + static_cast<long>(d);
        if (q == first || (q != end && Digit(*q, d))) return false;
        out = negative ? -v : v;
        if (stop != '\t') {
            if (q == end || *q != stop) return false;
            p = q + 1;
            return true;
        }
        return Close(q);
    }
    // ToDouble's short path, the very same arithmetic; any other number
    // (EPSG writes some with 16 or 17 digits) is ToDouble's to read whole.
    bool Double(double& out) {
        if (!more) return false;
        const char* q = p;
        const bool negative = q != end && *q == '-';
        if (negative) ++q;
        std::uint64_t digits = 0;
        unsigned d;
        const char* first = q;
        for (; q != end && Digit(*q, d); ++q)
            digits = digits * 10 + d;
        std::ptrdiff_t count = q - first, after = 0;
        if (q != end && *q == '.') {
            const char* fraction = ++q;
            for (; q != end && Digit(*q, d); ++q)
                digits = digits * 10 + d;
            after = q - fraction;
            count += after;
        }
        if (count == 0 || count > 15 || (q != end && *q != '\t')) {
            const void* tab = std::memchr(p, '\t', static_cast<std::size_t>(end - p));
            q = tab ? static_cast<const char*>(tab) : end;
            return ToDouble(std::string_view(p, static_cast<std::size_t>(q - p)), out) && Close(q);
        }
        const double v = static_cast<double>(digits) / kPowersOfTen[after];
        out = negative ? -v : v;
        return Close(q);
    }
    // The forms alone, where the value is not needed for the check: an
    // integer as Long takes it, up to the field's end or stop; a number of a
    // sign, at most one point and 1 to 40 digits, which ToDouble always reads
    // (from_chars, exactly; none of 40 digits overflows). Anything else is
    // the full check's to judge.
    bool Integer(char stop = '\t') {
        if (!more) return false;
        const char* q = p + (p != end && *p == '-');
        const char* const first = q;
        q = PastDigits(q, end);
        if (q == first || q - first > 18) return false;
        if (stop != '\t') {
            if (q == end || *q != stop) return false;
            p = q + 1;
            return true;
        }
        return Close(q);
    }
    bool Number() {
        if (!more) return false;
        const char* q = p + (p != end && *p == '-');
        const char* const first = q;
        q = PastDigits(q, end);
        std::ptrdiff_t count = q - first;
        if (q != end && *q == '.') {
            const char* const fraction = ++q;
            q = PastDigits(q, end);
            count += q - fraction;
        }
        return count > 0 && count <= 40 && Close(q);
    }
    bool Box() {
        double south, west, north, east;
        return Double(south) && Double(west) && Double(north) && Double(east) && south <= north;
    }
};

bool QuickGeographic(std::string_view line, long& code) {
    Cursor c(line);
    long l;
    double axis, inverseFlattening, v;
    return c.Long(code) && c.Text() && c.Long(l) && c.Text() && c.Long(l) && c.Text() && c.Double(axis) &&
           c.Double(inverseFlattening) && c.Long(l) && c.Text() && c.Double(v) && c.Long(l) && c.Box() &&
           !c.more && axis > 0 && inverseFlattening >= 0;
}
// The projected systems are two fifths of the file, and the first EPSG
// set-up checks them all: their numbers are checked by form, the unit's
// factor (which must be positive) alone by value.
bool QuickProjected(std::string_view line, long& code) {
    Cursor c(line);
    double toMetre;
    if (!(c.Long(code) && c.Text() && c.Integer() && c.Integer() && c.Text() && c.Integer() && c.Text() &&
          c.Integer() && c.Text() && c.Double(toMetre) && c.Text() && toMetre > 0))
        return false;
    // At most the fields SplitTabs takes: 12 and 10 parameters.
    for (std::size_t field = 12; c.more; ++field)
        if (field == kMaxFields || !c.Integer('=') || !c.Number()) return false;
    return true;
}
bool QuickAlias(std::string_view line, long& code) {
    Cursor c(line);
    return c.Long(code) && c.Text(true) && !c.more;
}
bool QuickUse(std::string_view line, long& code) {
    Cursor c(line);
    return c.Long(code) && c.Box() && c.Text() && !c.more;
}
bool QuickEsri(std::string_view line, long& code) {
    Cursor c(line);
    return c.Long(code) && c.Text() && c.Letter() && c.Box() && c.Text() && !c.more;
}

bool CheckTimedHelmert(const Fields& f) {
    ZrEpsgTransformationRecord t;
    return ParseTimedHelmert(f, t, false);
}
bool CheckGeocentric(const Fields& f) {
    ZrEpsgGeocentricRecord g;
    return ParseGeocentric(f, g, false);
}

// Y records (height offsets) are decoded by their own reader.
bool CheckHeightOffset(const Fields& f) {
    ZrEpsgHeightOffsetRecord r;
    return ZrParseHeightOffset(f.at.data(), f.size, r);
}

// A new type is a parser, its check and a row here; the quick check is
// optional (nullptr: every line of the type takes the full check).
struct RecordType {
    char letter;
    bool (*check)(const Fields&);
    bool severalPerCode; // aliases: a system may have many
    bool (*quick)(std::string_view line, long& code);
};
constexpr RecordType kRecordTypes[] = {
    {'G', CheckGeographic, false, QuickGeographic},
    {'P', CheckProjected, false, QuickProjected},
    {'X', CheckLeftOut, false, nullptr},
    {'T', CheckTransformation, false, nullptr},
    {'A', CheckAlias, true, QuickAlias},
    {'U', CheckUse, false, QuickUse},
    {'R', CheckEsri, false, QuickEsri},
    {'H', CheckGrid, false, nullptr},
    {'M', CheckOther, false, nullptr},
    {'O', CheckOther, false, nullptr},
    {'V', CheckGeoid, false, nullptr},
    {'S', CheckSupersession, true, nullptr},
    {'C', CheckConcatenated, false, nullptr},
    {'K', CheckGeocentric, false, nullptr},
    {'L', CheckGeocentric, false, nullptr},
    {'D', CheckTimedHelmert, false, nullptr},
    {'N', CheckAffine, false, nullptr},
    {'F', CheckOffshore, false, nullptr},
    {'Y', CheckHeightOffset, false, nullptr},
};

const RecordType* TypeOf(char letter) {
    static const std::array<const RecordType*, 26> kByLetter = [] {
        std::array<const RecordType*, 26> t{};
        for (const RecordType& r : kRecordTypes)
            t[static_cast<std::size_t>(r.letter - 'A')] = &r;
        return t;
    }();
    const unsigned at = static_cast<unsigned>(letter - 'A');
    return at < kByLetter.size() ? kByLetter[at] : nullptr;
}

constexpr std::size_t kNoLetter = 26;

// The line that starts at that offset, without its line end.
std::string_view LineAt(std::string_view text, std::size_t offset) {
    const void* newline = std::memchr(text.data() + offset, '\n', text.size() - offset);
    const std::size_t end =
        newline ? static_cast<std::size_t>(static_cast<const char*>(newline) - text.data()) : text.size();
    std::string_view line = text.substr(offset, end - offset);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    return line;
}

// The seal over the file's bytes is their CRC-32C (Castagnoli's polynomial,
// as iSCSI and ext4 use it), which x86-64 computes by one instruction per
// eight bytes (SSE4.2): the 2 MB file in about a quarter of a millisecond,
// where zlib's CRC-32 by tables took a millisecond, a fifth of the first
// EPSG set-up. The closing line names it, so that a file sealed otherwise is
// refused as of another format rather than as altered.
constexpr char kSealName[] = "CRC-32C";
constexpr std::uint32_t kCastagnoli = 0x82F63B78u; // the polynomial, bits reversed

// Eight bytes a step through eight tables, where the instruction is missing.
std::uint32_t PortableCrc32c(const unsigned char* p, std::size_t n, std::uint32_t crc) {
    using Tables = std::array<std::array<std::uint32_t, 256>, 8>;
    static const Tables kTables = [] {
        Tables t{};
        for (std::uint32_t b = 0; b < 256; ++b) {
            std::uint32_t c = b;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? kCastagnoli ^ (c >> 1) : c >> 1;
            t[0][b] = c;
        }
        for (std::uint32_t b = 0; b < 256; ++b)
            for (std::size_t k = 1; k < 8; ++k)
                t[k][b] = (t[k - 1][b] >> 8) ^ t[0][t[k - 1][b] & 0xFF];
        return t;
    }();
    for (; n >= 8; p += 8, n -= 8) {
        std::uint32_t one, two;
        std::memcpy(&one, p, 4);
        std::memcpy(&two, p + 4, 4);
        one ^= crc;
        crc = kTables[7][one & 0xFF] ^ kTables[6][(one >> 8) & 0xFF] ^ kTables[5][(one >> 16) & 0xFF] ^
              kTables[4][one >> 24] ^ kTables[3][two & 0xFF] ^ kTables[2][(two >> 8) & 0xFF] ^
              kTables[1][(two >> 16) & 0xFF] ^ kTables[0][two >> 24];
    }
    for (; n > 0; ++p, --n)
        crc = kTables[0][(crc ^ *p) & 0xFF] ^ (crc >> 8);
    return crc;
}

// The register's change over that many zero bytes, a linear map over GF(2)
// held as a 32x32 bit matrix (column i the image of bit i): it joins the
// checksums of parts taken apart, crc(A B) = zeros(|B|)(crc(A)) ^ crc0(B),
// crc0 starting from a cleared register.
using Crc32cMap = std::array<std::uint32_t, 32>;

std::uint32_t ApplyMap(const Crc32cMap& m, std::uint32_t v) {
    std::uint32_t r = 0;
    for (std::size_t i = 0; v; ++i, v >>= 1)
        if (v & 1) r ^= m[i];
    return r;
}

// first then second.
Crc32cMap ComposeMaps(const Crc32cMap& first, const Crc32cMap& second) {
    Crc32cMap out{};
    for (std::size_t i = 0; i < 32; ++i)
        out[i] = ApplyMap(second, first[i]);
    return out;
}

Crc32cMap ZeroBytesMap(std::size_t bytes) {
    // One zero bit: the register shifts down, the polynomial folded in where
    // bit 0 falls out. Three squarings make it a byte.
    Crc32cMap power{};
    power[0] = kCastagnoli;
    for (std::size_t i = 1; i < 32; ++i)
        power[i] = std::uint32_t(1) << (i - 1);
    for (int k = 0; k < 3; ++k)
        power = ComposeMaps(power, power);
    Crc32cMap result{};
    for (std::size_t i = 0; i < 32; ++i)
        result[i] = std::uint32_t(1) << i;
    for (; bytes; bytes >>= 1) {
        if (bytes & 1) result = ComposeMaps(result, power);
        if (bytes > 1) power = ComposeMaps(power, power);
    }
    return result;
}

#if defined(__x86_64__) && defined(__GNUC__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
#define ZRPRJ_CRC32C_INSTRUCTION 1
// The instruction takes three cycles to give its result but starts one every
// cycle: three thirds of a long text are taken side by side and joined, the
// 2 MB file in about half the time one stream took. Joining costs about as
// much as 100 KB of one stream, so shorter texts take one.
constexpr std::size_t kThreeStreamsFrom = 256 * 1024;

__attribute__((target("sse4.2"))) std::uint32_t InstructionCrc32c(const unsigned char* p, std::size_t n,
                                                                  std::uint32_t crc) {
    std::uint64_t c = crc;
    if (n >= kThreeStreamsFrom) {
        const std::size_t third = n / 24 * 8;
        const unsigned char* const second = p + third;
        const unsigned char* const last = p + 2 * third;
        std::uint64_t b = 0, d = 0;
        for (std::size_t i = 0; i < third; i += 8) {
            std::uint64_t x, y, z;
            std::memcpy(&x, p + i, 8);
            std::memcpy(&y, second + i, 8);
            std::memcpy(&z, last + i, 8);
            c = __builtin_ia32_crc32di(c, x);
            b = __builtin_ia32_crc32di(b, y);
            d = __builtin_ia32_crc32di(d, z);
        }
        const Crc32cMap zeros = ZeroBytesMap(third);
        const std::uint32_t joined =
            ApplyMap(zeros, static_cast<std::uint32_t>(c)) ^ static_cast<std::uint32_t>(b);
        c = ApplyMap(zeros, joined) ^ static_cast<std::uint32_t>(d);
        p += 3 * third;
        n -= 3 * third;
    }
    for (; n >= 8; p += 8, n -= 8) {
        std::uint64_t word;
        std::memcpy(&word, p, 8);
        c = __builtin_ia32_crc32di(c, word);
    }
    auto c32 = static_cast<std::uint32_t>(c);
    for (; n > 0; ++p, --n)
        c32 = __builtin_ia32_crc32qi(c32, *p);
    return c32;
}
#endif

std::string LineError(const std::string& damaged, std::size_t lineNumber, const char* what) {
    return damaged + "line " + std::to_string(lineNumber) + " " + what;
}

// Reads the whole file and returns an empty string, or what is wrong with
// it. The file must end with its closing line, "E <records> <crc> CRC-32C",
// the count of the records before it and the checksum of every byte before it:
// a file cut short, even at a line end, or altered is refused, not read in
// part. A line of no record type refuses the file too; a line of a known
// type that its parser cannot decode refuses it when that type is first
// used (CheckLetter).
//
// One pass over the line ends does the rest. The closing line can only be
// the last, so it is read first and the checksum of the bytes before it
// taken: the pass then indexes the records (letter and code, nothing more)
// only of a file whose bytes are the ones its closing line seals, while
// checking every line's length and place. A damaged file thus costs its size
// once (no record is indexed); a sealed one adds its index. The problems are
// reported in this order: a line too long or one after the closing line, the
// closing line, the count, the checksum, then the first line of no type.
bool ReadClosing(std::string_view closing, long& count, long& crc) {
    if (!closing.empty() && closing.back() == '\r') closing.remove_suffix(1);
    Fields f;
    return SplitTabs(closing, f) && f.size == 4 && f[0] == "E" && ToLong(f[1], count) && f[2].size() == 8 &&
           std::from_chars(f[2].data(), f[2].data() + 8, crc, 16).ptr == f[2].data() + 8 && f[3] == kSealName;
}

std::string Parse(Data& d) {
    struct stat st;
    if (::stat(d.path.c_str(), &st) != 0)
        return Quoted(d.path) + " is missing (" + std::strerror(errno) + ")";
    if (!S_ISREG(st.st_mode)) return Quoted(d.path) + " is not a regular file";
    const std::string damaged = Quoted(d.path) + " is damaged: ";
    if (st.st_size > kMaxFileSize)
        return damaged + "it is " + std::to_string(st.st_size) +
               " bytes long, far more than the EPSG data ever takes";
    // Opened without blocking, so that a FIFO or device swapped in meanwhile
    // is refused rather than waited on.
    Bytes bytes;
    {
        const int fd = ::open(d.path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
        struct stat opened;
        const bool read = fd >= 0 && ::fstat(fd, &opened) == 0 && S_ISREG(opened.st_mode) &&
                          opened.st_size <= kMaxFileSize &&
                          bytes.Map(fd, static_cast<std::size_t>(opened.st_size));
        if (fd >= 0) ::close(fd);
        if (!read) return Quoted(d.path) + " cannot be read, or is no longer a regular file";
    }
    const std::string_view text = bytes.View();

    // The last line, and whether it is a closing line that seals the rest.
    const std::size_t lastNewline =
        text.size() < 2 ? std::string_view::npos : text.rfind('\n', text.size() - 2);
    const std::size_t lastStart = lastNewline == std::string_view::npos ? 0 : lastNewline + 1;
    bool sealed = false;
    {
        std::string_view last = text.substr(lastStart);
        if (!last.empty() && last.back() == '\n') last.remove_suffix(1);
        long count = 0, crc = 0;
        sealed = !last.empty() && last[0] == 'E' && ReadClosing(last, count, crc) &&
                 ZrEpsgChecksum(text.data(), lastStart) == static_cast<std::uint32_t>(crc);
    }

    std::size_t records = 0, lineNumber = 0, closingStart = std::string_view::npos;
    std::string_view closing;
    std::string recordProblem;
    bool checking = sealed;
    std::size_t previous = kNoLetter; // the type of the last record line
    char runLetter = 0;               // its letter while its run is open
    Fields f;
    const char* const first = text.data();
    const char* const last = first + text.size();
    for (const char* at = first; at < last;) {
        ++lineNumber;
        const void* newline = std::memchr(at, '\n', static_cast<std::size_t>(last - at));
        const char* const end = newline ? static_cast<const char*>(newline) : last;
        // A further line of the open run, the commonest case by far: its
        // letter, tab and length are all the scan checks of it, and its run
        // is closed when another line comes.
        if (end - at >= 2 && at[0] == runLetter && at[1] == '\t' &&
            end - at <= static_cast<std::ptrdiff_t>(kMaxLineLength)) {
            ++records;
            at = end + 1;
            continue;
        }
        std::string_view line(at, static_cast<std::size_t>(end - at));
        if (line.size() > kMaxLineLength) {
            const std::string cap = "is longer than " + std::to_string(kMaxLineLength) + " bytes";
            return LineError(damaged, lineNumber, cap.c_str());
        }
        if (closingStart != std::string_view::npos)
            return LineError(damaged, lineNumber - 1, "is a closing line out of place");
        const std::size_t lineStart = static_cast<std::size_t>(at - first);
        at = end + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty() || line[0] == '#') continue;
        // The open run, if any, ends here (its comments kept in it).
        if (previous != kNoLetter) d.index[previous].runs.back().end = lineStart;
        runLetter = 0;
        if (line[0] == 'E') {
            closingStart = lineStart;
            closing = line;
            continue;
        }
        ++records;
        if (!checking) continue;
        // Only its type is noted, as part of a run of lines of that type:
        // the type's first use lists and checks them. A line of no known
        // type is refused now, since no use would ever check it.
        const RecordType* type = line.size() == 1 || line[1] == '\t' ? TypeOf(line[0]) : nullptr;
        if (!type) {
            recordProblem =
                LineError(damaged, lineNumber,
                          SplitTabs(line, f) ? "is not a record this library reads" : "has too many fields");
            checking = false;
            continue;
        }
        const std::size_t letter = static_cast<std::size_t>(type->letter - 'A');
        std::vector<Letter::Run>& runs = d.index[letter].runs;
        const std::size_t next = static_cast<std::size_t>(std::min(at, last) - first);
        if (letter == previous)
            runs.back().end = next;
        else
            runs.push_back({lineStart, next});
        previous = letter;
        runLetter = type->letter;
    }
    // A run still open reaches the end (a file without its closing line is
    // refused below).
    if (previous != kNoLetter && closingStart == std::string_view::npos)
        d.index[previous].runs.back().end = text.size();
    if (closingStart == std::string_view::npos)
        return damaged + "it ends without its closing line (cut short?)";
    long count = 0, crc = 0;
    if (!ReadClosing(closing, count, crc))
        return LineError(damaged, lineNumber, "is no closing line of this format");
    if (static_cast<std::size_t>(count) != records)
        return damaged + "it holds " + std::to_string(records) + " records where its closing line counts " +
               std::to_string(count);
    if (!sealed) return damaged + "its checksum does not match its content";
    if (!recordProblem.empty()) return recordProblem;
    d.bytes = std::move(bytes);
    return std::string();
}

void Load(Data& d) {
    d.path = DataPath();
    if (d.path.empty()) {
        d.problem = "the library could not tell its own folder, where the EPSG data file is looked for";
        return;
    }
    d.problem = Parse(d);
    if (d.problem.empty() && d.index['G' - 'A'].runs.empty())
        d.problem = Quoted(d.path) + " is damaged: it holds no geographic system";
    d.ok = d.problem.empty();
    if (!d.ok) {
        // Nothing rather than part of it.
        d.bytes = Bytes();
        for (Letter& l : d.index)
            l.runs = std::vector<Letter::Run>();
    }
}

// The number of the line that starts at that offset, counted from 1: only
// for a message about a damaged line.
std::size_t LineNumberAt(std::string_view text, std::size_t offset) {
    return 1 + static_cast<std::size_t>(
                   std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(offset), '\n'));
}

// Checks every line of one record type, in file order, as the whole file was
// once checked at load: a line its parser cannot decode refuses the file, and
// names the line. Then the type's records are put in order by code.
void CheckLetter(const Data& d, std::size_t at, Letter& l) {
    const char letter = static_cast<char>('A' + at);
    const RecordType* type = TypeOf(letter);
    if (!type) return;
    const std::string_view text = d.Text();
    const std::string damaged = Quoted(d.path) + " is damaged: ";
    auto lineError = [&](std::size_t offset, const char* what) {
        return LineError(damaged, LineNumberAt(text, offset), what);
    };
    // Each line of the type, in file order: its code, and whether it decodes.
    Fields f;
    auto list = [&](std::size_t offset, std::string_view line) {
        long code = 0;
        if (!(line.size() >= 2 && type->quick && type->quick(line, code))) {
            if (!SplitTabs(line, f)) {
                l.problem = lineError(offset, "has too many fields");
                return false;
            }
            if (!type->check(f) || !ToLong(f[1], code)) {
                l.problem = lineError(offset, "is not a record this library reads");
                return false;
            }
        }
        l.entries.push_back({code, offset});
        return true;
    };
    bool listed = true;
    for (const Letter::Run& run : l.runs) {
        for (std::size_t at = run.begin; listed && at < run.end;) {
            const std::size_t start = at;
            const void* newline = std::memchr(text.data() + at, '\n', run.end - at);
            const std::size_t end =
                newline ? static_cast<std::size_t>(static_cast<const char*>(newline) - text.data()) : run.end;
            at = end + 1;
            std::string_view line = text.substr(start, end - start);
            if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
            if (!line.empty() && line[0] != '#') listed = list(start, line);
        }
    }
    if (l.problem.empty()) {
        // The generator writes each type sorted by code; transformations must
        // stay in file order to keep their replacement lists beside them.
        std::vector<Entry>& v = l.entries;
        const bool fileOrder = letter == 'T';
        auto before = [](const Entry& a, const Entry& b) { return a.code < b.code; };
        // A code's several lines keep their file order (a system's aliases).
        if (!fileOrder && !std::is_sorted(v.begin(), v.end(), before))
            std::stable_sort(v.begin(), v.end(), before);
        if (!type->severalPerCode &&
            std::adjacent_find(v.begin(), v.end(), [fileOrder](const Entry& a, const Entry& b) {
                return fileOrder ? a.code >= b.code : a.code == b.code;
            }) != v.end())
            l.problem = damaged + "a code is listed twice or out of order";
    }
    if (l.problem.empty())
        l.entriesReady.store(true, std::memory_order_release);
    else
        d.Refuse(l.problem);
}

const std::vector<Entry>& Data::Of(char letter) const {
    static const std::vector<Entry> kNone;
    const std::size_t at = static_cast<std::size_t>(letter - 'A');
    if (!ok || at >= index.size()) return kNone;
    Letter& l = index[at];
    std::call_once(l.checked, [&] { CheckLetter(*this, at, l); });
    return Ok() ? l.entries : kNone;
}

const Data& TheData() {
    // Initialised once, by whichever thread comes first; the others wait.
    static const Data data(Load);
    return data;
}

// The fields of the line that starts at that offset.
bool SplitLineAt(const Data& d, std::size_t offset, Fields& f) {
    return SplitTabs(LineAt(d.Text(), offset), f);
}

// A record line's code (its second field), or false when it has none.
bool CodeOfLine(std::string_view line, long& code) {
    if (line.size() < 3 || line[1] != '\t') return false;
    line.remove_prefix(2);
    return ToLong(line.substr(0, line.find('\t')), code);
}

std::string DamagedLine(const Data& d, std::size_t offset, const char* what) {
    return LineError(Quoted(d.path) + " is damaged: ", LineNumberAt(d.Text(), offset), what);
}

// The first record line that starts at or after at and before end (comments
// skipped), or end.
std::size_t RecordLineFrom(std::string_view text, std::size_t at, std::size_t end) {
    while (at < end && (text[at] == '#' || text[at] == '\n' || text[at] == '\r')) {
        const void* newline = std::memchr(text.data() + at, '\n', end - at);
        at = newline ? static_cast<std::size_t>(static_cast<const char*>(newline) - text.data()) + 1 : end;
    }
    return at;
}

// Where the line after the one that starts at at starts, or end.
std::size_t NextLineStart(std::string_view text, std::size_t at, std::size_t end) {
    const void* newline = std::memchr(text.data() + at, '\n', end - at);
    return newline ? static_cast<std::size_t>(static_cast<const char*>(newline) - text.data()) + 1 : end;
}

// Where the line that holds the byte at starts (the last line start at or
// before it), not before floor.
std::size_t LineStartBefore(std::string_view text, std::size_t floor, std::size_t at) {
    const void* newline = at > floor ? ::memrchr(text.data() + floor, '\n', at - floor) : nullptr;
    return newline ? static_cast<std::size_t>(static_cast<const char*>(newline) - text.data()) + 1 : floor;
}

enum class Found { kNone, kOne, kDamaged };

// One run searched for a code by halving its bytes: a probe lands inside a
// line, steps back to its start and reads its code. The run is sorted by
// code (the generator writes it so, and the seal holds it as written); the
// lines beside the one found are read too, so that a code listed twice,
// which sorting puts side by side, is damage rather than either answer.
Found SearchRun(const Data& d, const Letter::Run& run, long code, std::size_t& offset) {
    const std::string_view text = d.Text();
    auto codeAt = [&](std::size_t start, long& c) {
        if (CodeOfLine(LineAt(text, start), c)) return true;
        d.Refuse(DamagedLine(d, start, "is not a record this library reads"));
        return false;
    };
    std::size_t lo = run.begin, hi = run.end; // both line starts
    while (lo < hi) {
        // The line holding the middle byte: it starts before hi, so each
        // step narrows the range, blank and comment lines included.
        const std::size_t probe = LineStartBefore(text, lo, lo + (hi - lo) / 2);
        const std::size_t start = RecordLineFrom(text, probe, hi);
        if (start == hi) {
            hi = probe; // only comments from there on
            continue;
        }
        long c = 0;
        if (!codeAt(start, c)) return Found::kDamaged;
        if (c == code) {
            // The record lines on either side, where the run has them.
            const std::size_t next = RecordLineFrom(text, NextLineStart(text, start, run.end), run.end);
            std::size_t before = start; // the record line before, or start where there is none
            for (std::size_t at = start; at > run.begin;) {
                at = LineStartBefore(text, run.begin, at - 1);
                if (RecordLineFrom(text, at, start) == at) {
                    before = at;
                    break;
                }
            }
            long n = 0;
            if ((next < run.end && (!codeAt(next, n) || n <= code)) ||
                (before < start && (!codeAt(before, n) || n >= code))) {
                d.Refuse(Quoted(d.path) + " is damaged: a code is listed twice or out of order");
                return Found::kDamaged;
            }
            offset = start;
            return Found::kOne;
        }
        if (c < code) {
            lo = NextLineStart(text, start, hi);
        } else {
            hi = start;
        }
    }
    return Found::kNone;
}

// The line starts of a type's records by code, their codes read and nothing
// else checked (each record is checked when it is used): listed once a type
// has been looked up a few times, so that warm look-ups search an array. A
// line without a code leaves the type to the byte search, which refuses it
// when a search reaches it.
void ListStarts(const Data& d, Letter& l) {
    const std::string_view text = d.Text();
    std::vector<Entry> v;
    for (const Letter::Run& run : l.runs) {
        for (std::size_t at = RecordLineFrom(text, run.begin, run.end); at < run.end;) {
            const std::string_view line = LineAt(text, at);
            long code = 0;
            if (!CodeOfLine(line, code)) return;
            v.push_back({code, at});
            at = RecordLineFrom(text, NextLineStart(text, at, run.end), run.end);
        }
    }
    auto before = [](const Entry& a, const Entry& b) { return a.code < b.code; };
    if (!std::is_sorted(v.begin(), v.end(), before)) std::stable_sort(v.begin(), v.end(), before);
    l.starts = std::move(v);
    l.startsReady.store(true, std::memory_order_release);
}

// Single-record look-ups of a type before its line starts are listed: the
// first EPSG set-up makes three (a geographic miss, the projected system,
// its base), and a search of the bytes costs them a few microseconds where
// listing the projected systems' starts would cost a millisecond.
constexpr unsigned kSearchesBeforeListing = 8;

// Where the record of that type and code starts: false when there is none,
// or when the search met damage (the file is then refused).
bool Locate(const Data& d, char letter, long code, std::size_t& offset) {
    const std::size_t at = static_cast<std::size_t>(letter - 'A');
    if (!d.Ok() || at >= d.index.size()) return false;
    Letter& l = d.index[at];
    const std::vector<Entry>* listed = l.entriesReady.load(std::memory_order_acquire)  ? &l.entries
                                       : l.startsReady.load(std::memory_order_acquire) ? &l.starts
                                                                                       : nullptr;
    if (!listed && l.lookups.fetch_add(1, std::memory_order_relaxed) >= kSearchesBeforeListing) {
        std::call_once(l.listed, [&] { ListStarts(d, l); });
        if (l.startsReady.load(std::memory_order_acquire)) listed = &l.starts;
    }
    if (listed) {
        const std::vector<Entry>& v = *listed;
        const auto it =
            std::lower_bound(v.begin(), v.end(), code, [](const Entry& e, long c) { return e.code < c; });
        if (it == v.end() || it->code != code) return false;
        if (it + 1 != v.end() && it[1].code == code) {
            d.Refuse(Quoted(d.path) + " is damaged: a code is listed twice or out of order");
            return false;
        }
        offset = it->offset;
        return true;
    }
    // Every run searched: a code found in two is listed twice.
    bool found = false;
    for (const Letter::Run& run : l.runs) {
        std::size_t here = 0;
        switch (SearchRun(d, run, code, here)) {
        case Found::kDamaged:
            return false;
        case Found::kOne:
            if (found) {
                d.Refuse(Quoted(d.path) + " is damaged: a code is listed twice or out of order");
                return false;
            }
            found = true;
            offset = here;
            break;
        case Found::kNone:
            break;
        }
    }
    return found;
}

// The record of that type and code, split into f and decoded by parse (a
// callable on the fields): false when there is none. A line that does not
// split or decode refuses the file, naming the line, as a damaged file is
// refused: the record in use is checked, the others when they are used.
template <class Parse> bool FindRecord(const Data& d, char letter, long code, Fields& f, Parse parse) {
    std::size_t offset = 0;
    if (!Locate(d, letter, code, offset)) return false;
    if (!SplitLineAt(d, offset, f)) {
        d.Refuse(DamagedLine(d, offset, "has too many fields"));
        return false;
    }
    if (!parse(f)) {
        d.Refuse(DamagedLine(d, offset, "is not a record this library reads"));
        return false;
    }
    return true;
}

bool FindGeographic(long code, Geographic& g) {
    Fields f;
    return FindRecord(TheData(), 'G', code, f, [&](const Fields& x) { return ParseGeographic(x, g, true); });
}

// Every transformation decoded, in file order, with its replacement list:
// the candidates between two systems are searched over all of them. Decoded
// on the first such search, once per process.
struct Transformations {
    std::vector<ZrEpsgTransformationRecord> records;
    std::vector<std::vector<long>> replacements;
};

const Transformations& AllTransformations() {
    static const Transformations all = [] {
        Transformations t;
        const Data& d = TheData();
        const std::string_view text = d.Text();
        Fields f;
        for (const Entry& e : d.Of('T')) {
            const std::string_view line = LineAt(text, e.offset);
            ZrEpsgTransformationRecord r;
            std::vector<long> replacements;
            if (!SplitTabs(line, f) || !ParseTransformation(f, r, replacements, true)) continue;
            t.records.push_back(std::move(r));
            t.replacements.push_back(std::move(replacements));
        }
        // The Helmerts between geocentric and 3D systems, after the rest.
        for (const Entry& e : d.Of('D')) {
            ZrEpsgTransformationRecord r;
            if (!SplitLineAt(d, e.offset, f) || !ParseTimedHelmert(f, r, true)) continue;
            t.records.push_back(std::move(r));
            t.replacements.emplace_back();
        }
        return t;
    }();
    return all;
}

// The grid-based, other parametric, geoid and concatenated operations and the
// supersessions between operations, decoded together on first use: they are
// a few hundred records, searched whole when candidates are ranked.
struct Operations {
    std::vector<ZrEpsgGridTransformationRecord> grids;
    std::vector<ZrEpsgOtherTransformationRecord> others;
    std::vector<ZrEpsgGeoidRecord> geoids;
    std::vector<ZrEpsgConcatenatedRecord> concatenated;
    std::vector<std::pair<long, long>> superseded; // (superseded, replacement)
};

template <class Record, class Parse>
void DecodeAll(const Data& d, char letter, std::vector<Record>& out, Parse parse) {
    Fields f;
    for (const Entry& e : d.Of(letter)) {
        Record r;
        if (SplitLineAt(d, e.offset, f) && parse(f, r)) out.push_back(std::move(r));
    }
}

const Operations& AllOperations() {
    static const Operations all = [] {
        Operations o;
        const Data& d = TheData();
        DecodeAll(d, 'H', o.grids, ParseGridTransformation);
        DecodeAll(d, 'M', o.others, ParseOtherTransformation);
        DecodeAll(d, 'O', o.others, ParseOtherTransformation);
        DecodeAll(d, 'N', o.others, ParseAffine);
        std::sort(o.others.begin(), o.others.end(),
                  [](const auto& a, const auto& b) { return a.code < b.code; });
        DecodeAll(d, 'V', o.geoids, ParseGeoid);
        DecodeAll(d, 'C', o.concatenated, ParseConcatenated);
        Fields f;
        for (const Entry& e : d.Of('S')) {
            std::pair<long, long> pair;
            if (SplitLineAt(d, e.offset, f) && ToLong(f[1], pair.first) && ToLong(f[2], pair.second))
                o.superseded.push_back(pair);
        }
        return o;
    }();
    return all;
}

// All seven values zero, and their rates: PROJ's pipeline has no shift step.
// (ITRF2014 to ETRF2014 (1) is zero at its epoch, 1989, and moves after it.)
bool IsNullHelmert(const ZrEpsgTransformationRecord& t) {
    return t.tx == 0 && t.ty == 0 && t.tz == 0 && t.rx == 0 && t.ry == 0 && t.rz == 0 && t.ds == 0 &&
           t.rtx == 0 && t.rty == 0 && t.rtz == 0 && t.rrx == 0 && t.rry == 0 && t.rrz == 0 && t.rds == 0;
}

// A Helmert stated between geocentric or geographic 3D systems (the 'D'
// records: EPSG's method codes below 9000).
bool IsGeocentricHelmert(const ZrEpsgCandidate& c) {
    return c.kind == ZrEpsgCandidate::kHelmert && c.helmert.methodCode < 9000;
}

template <class T> const T* FindCode(const std::vector<T>& v, long code) {
    auto it = std::lower_bound(v.begin(), v.end(), code, [](const T& t, long c) { return t.code < c; });
    return it != v.end() && it->code == code ? &*it : nullptr;
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
    Geographic g;
    if (!FindGeographic(code, g)) return 0;
    out = std::move(g.record);
    return 1;
}

int ZrEpsgFindProjected(long code, ZrEpsgProjectedRecord& out) {
    Fields f;
    ZrEpsgProjectedRecord p;
    if (!FindRecord(TheData(), 'P', code, f, [&](const Fields& x) { return ParseProjected(x, p, true); }))
        return 0;
    out = std::move(p);
    return 1;
}

int ZrEpsgFindTransformation(long code, ZrEpsgTransformationRecord& out) {
    Fields f;
    ZrEpsgTransformationRecord t;
    std::vector<long> replacements;
    const Data& d = TheData();
    if (!FindRecord(d, 'T', code, f,
                    [&](const Fields& x) { return ParseTransformation(x, t, replacements, true); }) &&
        (!d.Ok() ||
         !FindRecord(d, 'D', code, f, [&](const Fields& x) { return ParseTimedHelmert(x, t, true); })))
        return 0;
    out = std::move(t);
    return 1;
}

int ZrEpsgFindGeocentric(long code, ZrEpsgGeocentricRecord& out) {
    Fields f;
    ZrEpsgGeocentricRecord g;
    if (!FindRecord(TheData(), 'K', code, f, [&](const Fields& x) { return ParseGeocentric(x, g, true); }))
        return 0;
    out = std::move(g);
    return 1;
}

long ZrEpsgGeocentricOf(long baseCode, const std::string& name) {
    const Data& d = TheData();
    Fields f;
    long first = 0;
    for (const Entry& e : d.Of('K')) {
        ZrEpsgGeocentricRecord g;
        if (!SplitLineAt(d, e.offset, f) || !ParseGeocentric(f, g, true) || g.baseCode != baseCode) continue;
        if (g.name == name) return g.code;
        if (first == 0) first = g.code;
    }
    return first;
}

int ZrEpsgListTransformations(long sourceCode, long targetCode,
                              std::vector<ZrEpsgTransformationRecord>& out) {
    out.clear();
    Geographic source, target;
    if (!FindGeographic(sourceCode, source) || !FindGeographic(targetCode, target) ||
        sourceCode == targetCode)
        return 0;
    const Geographic* src = &source;
    const Geographic* dst = &target;
    const Transformations& d = AllTransformations();
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
    for (std::size_t i = 0; i < d.records.size(); ++i) {
        const ZrEpsgTransformationRecord& t = d.records[i];
        if ((t.sourceCode == sourceCode && t.targetCode == targetCode) ||
            (t.sourceCode == targetCode && t.targetCode == sourceCode))
            between.push_back(i);
    }
    // The Helmerts of geocentric and 3D systems only where the geographic
    // systems have none of their own, as PROJ reaches them.
    const auto geocentric = [&d](std::size_t i) { return d.records[i].methodCode < 9000; };
    if (!std::all_of(between.begin(), between.end(), geocentric))
        between.erase(std::remove_if(between.begin(), between.end(), geocentric), between.end());
    // A transformation that EPSG says another one between the same two
    // systems supersedes is not offered beside it.
    auto held = [&](long code) {
        return std::any_of(between.begin(), between.end(),
                           [&](std::size_t i) { return d.records[i].code == code; });
    };
    std::vector<Candidate> list;
    for (std::size_t i : between) {
        const std::vector<long>& replacements = d.replacements[i];
        if (std::any_of(replacements.begin(), replacements.end(), held)) continue;
        const ZrEpsgTransformationRecord& t = d.records[i];
        Box use;
        if (!Intersect(Box{t.south, t.west, t.north, t.east}, interest, use)) continue;
        const bool inverse = t.sourceCode != sourceCode;
        const bool null = IsNullHelmert(t);
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
    Fields f;
    ZrEpsgLeftOutRecord x;
    if (!FindRecord(TheData(), 'X', code, f, [&](const Fields& y) { return ParseLeftOut(y, x, true); }))
        return 0;
    out = std::move(x);
    return 1;
}

int ZrEpsgFindArea(long code, ZrEpsgAreaRecord& out) {
    Fields f;
    ZrEpsgAreaRecord u;
    if (!FindRecord(TheData(), 'U', code, f, [&](const Fields& x) { return ParseUse(x, u, true); })) return 0;
    out = std::move(u);
    return 1;
}

int ZrEpsgAliases(long code, std::vector<std::string>& out) {
    out.clear();
    const Data& d = TheData();
    const std::vector<Entry>& v = d.Of('A');
    auto it = std::lower_bound(v.begin(), v.end(), code, [](const Entry& e, long c) { return e.code < c; });
    Fields f;
    for (; it != v.end() && it->code == code; ++it) {
        std::string alias;
        long same = 0;
        if (SplitLineAt(d, it->offset, f) && ParseAlias(f, same, &alias)) out.push_back(std::move(alias));
    }
    return static_cast<int>(out.size());
}

void ZrEsriSystems(std::vector<ZrEsriSystemRecord>& out) {
    out.clear();
    const Data& d = TheData();
    Fields f;
    for (const Entry& e : d.Of('R')) {
        ZrEsriSystemRecord r;
        if (SplitLineAt(d, e.offset, f) && ParseEsri(f, r, true)) out.push_back(std::move(r));
    }
}

void ZrEpsgLeftOutCodes(std::vector<long>& out) {
    out.clear();
    for (const Entry& e : TheData().Of('X'))
        out.push_back(e.code);
}

void ZrEpsgProjectedCodes(std::vector<long>& out) {
    out.clear();
    for (const Entry& e : TheData().Of('P'))
        out.push_back(e.code);
}

void ZrEpsgGeographicCodes(std::vector<long>& out) {
    out.clear();
    for (const Entry& e : TheData().Of('G'))
        out.push_back(e.code);
}

std::uint32_t ZrEpsgChecksum(const void* data, std::size_t size, bool portable) {
    const auto* p = static_cast<const unsigned char*>(data);
#ifdef ZRPRJ_CRC32C_INSTRUCTION
    static const bool instruction = __builtin_cpu_supports("sse4.2");
    if (instruction && !portable) return ~InstructionCrc32c(p, size, ~0u);
#else
    (void)portable;
#endif
    return ~PortableCrc32c(p, size, ~0u);
}

int ZrEpsgDataAvailable() {
    return TheData().Ok() ? 1 : 0;
}

std::string ZrEpsgDataPath() {
    return TheData().path;
}

std::string ZrEpsgDataProblem() {
    return TheData().Problem();
}

CString ZrEpsgDataFileProblem() {
    return CString(TheData().Problem().c_str());
}
int ZrEpsgFindGridTransformation(long code, ZrEpsgGridTransformationRecord& out) {
    const ZrEpsgGridTransformationRecord* g = FindCode(AllOperations().grids, code);
    if (!g) return 0;
    out = *g;
    return 1;
}

int ZrEpsgFindOtherTransformation(long code, ZrEpsgOtherTransformationRecord& out) {
    const ZrEpsgOtherTransformationRecord* o = FindCode(AllOperations().others, code);
    if (!o) return 0;
    out = *o;
    return 1;
}

int ZrEpsgHeightOffsets(std::vector<ZrEpsgHeightOffsetRecord>& out) {
    out.clear();
    const Data& d = TheData();
    Fields f;
    for (const Entry& e : d.Of('Y')) {
        ZrEpsgHeightOffsetRecord r;
        if (SplitLineAt(d, e.offset, f) && ZrParseHeightOffset(f.at.data(), f.size, r))
            out.push_back(std::move(r));
    }
    return static_cast<int>(out.size());
}

int ZrEpsgListProjectedOperations(long sourceCode, long targetCode,
                                  std::vector<ZrEpsgOtherTransformationRecord>& out) {
    out.clear();
    for (const ZrEpsgOtherTransformationRecord& o : AllOperations().others)
        if (o.methodCode == 9624 && ((o.sourceCode == sourceCode && o.targetCode == targetCode) ||
                                     (o.sourceCode == targetCode && o.targetCode == sourceCode)))
            out.push_back(o);
    return static_cast<int>(out.size());
}

int ZrEpsgOperationOffshore(long code) {
    Fields f;
    return FindRecord(TheData(), 'F', code, f, CheckOffshore) ? 1 : 0;
}

int ZrEpsgFindConcatenated(long code, ZrEpsgConcatenatedRecord& out) {
    const ZrEpsgConcatenatedRecord* c = FindCode(AllOperations().concatenated, code);
    if (!c) return 0;
    out = *c;
    return 1;
}

namespace {
// A candidate with what PROJ ranks it by: the share of the area of interest
// it covers (PseudoArea), whether its grids are found and known to PROJ, its
// steps and name as PROJ writes them.
struct Ranked {
    ZrEpsgCandidate c;
    double area = 0;
    bool available = true;
    bool known = true;
    bool hasGrid = false;
    int steps = 1;
    bool null = false;
    std::string name;
    double accuracy = -1;
};

Box BoxOf(const ZrEpsgCandidate& c) {
    switch (c.kind) {
    case ZrEpsgCandidate::kGrid:
        return Box{c.grid.south, c.grid.west, c.grid.north, c.grid.east};
    case ZrEpsgCandidate::kOther:
        return Box{c.other.south, c.other.west, c.other.north, c.other.east};
    case ZrEpsgCandidate::kConcatenated:
        return Box{c.concatenated.south, c.concatenated.west, c.concatenated.north, c.concatenated.east};
    default:
        return Box{c.helmert.south, c.helmert.west, c.helmert.north, c.helmert.east};
    }
}

bool SameBox(const Box& a, const Box& b) {
    return a.south == b.south && a.west == b.west && a.north == b.north && a.east == b.east;
}

const std::string& AreaNameOf(const ZrEpsgCandidate& c) {
    switch (c.kind) {
    case ZrEpsgCandidate::kGrid:
        return c.grid.area;
    case ZrEpsgCandidate::kOther:
        return c.other.area;
    case ZrEpsgCandidate::kConcatenated:
        return c.concatenated.area;
    default:
        return c.helmert.area;
    }
}

// EPSG's concatenated operation as a candidate between two geographic systems
// (reversed where it runs from target to source): false where it joins
// others or its area misses the one of interest. PROJ ranks it as one
// operation whose grids are those of its steps.
bool ConcatenatedCandidate(const ZrEpsgConcatenatedRecord& k, long sourceCode, long targetCode,
                           const Box& interest, bool (*gridAvailable)(const std::string&), ZrEpsgCandidate& c,
                           double& area, bool& available, bool& known, bool& hasGrid) {
    const bool direct = k.sourceCode == sourceCode && k.targetCode == targetCode;
    const bool reversed = k.sourceCode == targetCode && k.targetCode == sourceCode;
    Box use;
    if ((!direct && !reversed) || !Intersect(Box{k.south, k.west, k.north, k.east}, interest, use))
        return false;
    // PROJ builds EPSG's chain only where its steps' areas meet (ED50 to WGS
    // 84 (15) joins a step north of 65°N to one south of 62°N: not offered).
    Box common{-90, -180, 90, 180};
    for (long step : k.steps) {
        ZrEpsgCandidate one;
        ZrEpsgTransformationRecord t;
        if (const ZrEpsgGridTransformationRecord* g = FindCode(AllOperations().grids, step)) {
            one.kind = ZrEpsgCandidate::kGrid, one.grid = *g;
        } else if (const ZrEpsgOtherTransformationRecord* o = FindCode(AllOperations().others, step)) {
            one.kind = ZrEpsgCandidate::kOther, one.other = *o;
        } else if (ZrEpsgFindTransformation(step, t)) {
            one.helmert = t;
        } else {
            continue;
        }
        const Box before = common;
        if (!Intersect(before, BoxOf(one), common)) return false;
    }
    c = ZrEpsgCandidate();
    c.kind = ZrEpsgCandidate::kConcatenated;
    c.concatenated = k;
    c.inverse = reversed;
    area = PseudoArea(use);
    available = known = true;
    hasGrid = false;
    for (long step : k.steps) {
        const ZrEpsgGridTransformationRecord* g = FindCode(AllOperations().grids, step);
        if (!g) continue;
        hasGrid = true;
        known = known && g->gridKnown;
        available = available && (!gridAvailable || gridAvailable(g->grid) || gridAvailable(g->oldGrid));
    }
    return true;
}

// EPSG's operations between two geographic systems, either way round, that
// reach the area of interest (given: the caller's own area, which also holds
// back the Helmerts that miss it), superseded ones and those PROJ does not
// reach dropped; unranked.
std::vector<Ranked> DirectCandidates(long sourceCode, long targetCode,
                                     bool (*gridAvailable)(const std::string&), const Box& interest,
                                     bool given) {
    const Operations& d = AllOperations();
    std::vector<Ranked> list;
    std::vector<ZrEpsgTransformationRecord> helmerts;
    ZrEpsgListTransformations(sourceCode, targetCode, helmerts);
    for (const ZrEpsgTransformationRecord& t : helmerts) {
        Ranked r;
        r.c.helmert = t;
        r.c.inverse = t.sourceCode != sourceCode;
        Box use;
        if (!Intersect(Box{t.south, t.west, t.north, t.east}, interest, use) && given) continue;
        r.area = PseudoArea(use);
        r.available = true;
        r.null = IsNullHelmert(t);
        r.name = r.c.inverse ? "Inverse of " + t.name : t.name;
        r.accuracy = t.accuracy;
        list.push_back(std::move(r));
    }
    for (const ZrEpsgGridTransformationRecord& g : d.grids) {
        const bool direct = g.sourceCode == sourceCode && g.targetCode == targetCode;
        const bool reversed = g.sourceCode == targetCode && g.targetCode == sourceCode;
        if (!direct && !reversed) continue;

        Box use;
        if (!Intersect(Box{g.south, g.west, g.north, g.east}, interest, use)) continue;
        Ranked r;
        r.c.isGrid = true;
        r.c.kind = ZrEpsgCandidate::kGrid;
        r.c.grid = g;
        r.c.inverse = reversed;
        r.area = PseudoArea(use);
        r.available = !gridAvailable || gridAvailable(g.grid) || gridAvailable(g.oldGrid);
        r.known = g.gridKnown;
        r.hasGrid = true;
        r.null = false;
        r.name = reversed ? "Inverse of " + g.name : g.name;
        r.accuracy = g.accuracy;
        list.push_back(std::move(r));
    }
    for (const ZrEpsgOtherTransformationRecord& o : d.others) {
        const bool direct = o.sourceCode == sourceCode && o.targetCode == targetCode;
        const bool reversed = o.sourceCode == targetCode && o.targetCode == sourceCode;
        if (!direct && !reversed) continue;
        Box use;
        if (!Intersect(Box{o.south, o.west, o.north, o.east}, interest, use)) continue;
        Ranked r;
        r.c.kind = ZrEpsgCandidate::kOther;
        r.c.other = o;
        r.c.inverse = reversed;
        r.area = PseudoArea(use);
        r.available = true;
        r.null = false;
        r.name = reversed ? "Inverse of " + o.name : o.name;
        r.accuracy = o.accuracy;
        list.push_back(std::move(r));
    }
    for (const ZrEpsgConcatenatedRecord& k : d.concatenated) {
        Ranked r;
        if (!ConcatenatedCandidate(k, sourceCode, targetCode, interest, gridAvailable, r.c, r.area,
                                   r.available, r.known, r.hasGrid))
            continue;
        r.steps = static_cast<int>(k.steps.size());
        r.null = false;
        r.name = r.c.inverse ? "Inverse of " + k.name : k.name;
        r.accuracy = k.accuracy;
        list.push_back(std::move(r));
    }
    // An operation superseded by another that is offered beside it goes, as
    // PROJ drops it, unless the replacement runs on a grid PROJ does not
    // know (ED50 to ETRS89 (12) stays beside 9408 and 9409), or the
    // replacement's grid is missing while the superseded one can run
    // (CH1903 to ETRS89 (1) stays where CHENyx06 is not installed).
    auto replaces = [&](long code, const Ranked& superseded) {
        return std::any_of(list.begin(), list.end(), [&](const Ranked& r) {
            const bool known = r.c.kind != ZrEpsgCandidate::kGrid || r.c.grid.gridKnown;
            return r.c.Code() == code && known && (r.available || !superseded.available);
        });
    };
    list.erase(std::remove_if(list.begin(), list.end(),
                              [&](const Ranked& r) {
                                  const long code = r.c.Code();
                                  for (const auto& s : d.superseded)
                                      if (s.first == code && replaces(s.second, r)) return true;
                                  return false;
                              }),
               list.end());
    // PROJ reaches the Helmerts of geocentric and 3D systems only where the
    // two geographic systems have no operation of their own (ETRS89 -> WGS 84
    // lists EPSG 1149 alone, not 9225 between the geocentric systems).
    const auto geocentricHelmert = [](const Ranked& r) { return IsGeocentricHelmert(r.c); };
    if (!std::all_of(list.begin(), list.end(), geocentricHelmert))
        list.erase(std::remove_if(list.begin(), list.end(), geocentricHelmert), list.end());
    return list;
}

// Whether PROJ can write the operation as a pipeline: it ranks those it
// cannot after all others, whatever their accuracy or area. Its 9.1 writes
// no time-specific Helmert (EPSG's methods 1065 and 1066, ITRF96 to ITRF97
// (1) among them).
bool ProjRuns(const Ranked& r) {
    return !(r.c.kind == ZrEpsgCandidate::kHelmert &&
             (r.c.helmert.methodCode == 1065 || r.c.helmert.methodCode == 1066));
}

// PROJ's ranking, with its grid rules: those it can write first; runnable
// operations next; known accuracy before unknown (and among unknown ones,
// grids first, for their likely better practice); the larger area; the
// better accuracy (and at equal accuracy, no grid first); then as for the
// Helmerts alone.
bool RankedBefore(const Ranked& a, const Ranked& b) {
    if (ProjRuns(a) != ProjRuns(b)) return ProjRuns(a);
    if (a.available != b.available) return a.available;
    if (a.known != b.known) return a.known;
    const double accA = a.accuracy, accB = b.accuracy;
    if ((accA >= 0) != (accB >= 0)) return accA >= 0;
    if (accA < 0 && a.hasGrid != b.hasGrid) return a.hasGrid;
    if (a.area != b.area) return a.area > b.area;
    if (accA >= 0 && accA != accB) return accA < accB;
    if (accA >= 0 && a.hasGrid != b.hasGrid) return !a.hasGrid;
    if (a.null != b.null) return a.null;
    if (a.steps != b.steps) return a.steps < b.steps; // the fewer steps, the better
    if (a.name.size() != b.name.size()) return a.name.size() < b.name.size();
    // PROJ's one named exception to "the greater name first": EPSG prefers
    // IGN Paris's value of the Paris meridian, NTF (Paris) to NTF (1).
    const bool ntfA = a.name.find("NTF (Paris) to NTF (1)") != std::string::npos;
    const bool ntfB = b.name.find("NTF (Paris) to NTF (2)") != std::string::npos;
    if (ntfA && ntfB) return true;
    if (b.name.find("NTF (Paris) to NTF (1)") != std::string::npos &&
        a.name.find("NTF (Paris) to NTF (2)") != std::string::npos)
        return false;
    return a.name > b.name;
}

// Whether EPSG holds any operation between the two systems, wherever its
// area: PROJ looks for an intermediate system only where it holds none.
bool AnyDirect(long a, long b) {
    auto joins = [a, b](const auto& r) {
        return (r.sourceCode == a && r.targetCode == b) || (r.sourceCode == b && r.targetCode == a);
    };
    const Operations& d = AllOperations();
    const auto& helmerts = AllTransformations().records;
    return std::any_of(helmerts.begin(), helmerts.end(), joins) ||
           std::any_of(d.grids.begin(), d.grids.end(), joins) ||
           std::any_of(d.others.begin(), d.others.end(), joins) ||
           std::any_of(d.concatenated.begin(), d.concatenated.end(), joins);
}

// A candidate's single operations in the order it runs them (a reversed
// concatenation runs its steps backwards); each step finds its own
// direction from the system it starts at.
void AppendSteps(const ZrEpsgCandidate& c, std::vector<long>& steps) {
    if (c.kind != ZrEpsgCandidate::kConcatenated) {
        steps.push_back(c.Code());
        return;
    }
    const std::vector<long>& own = c.concatenated.steps;
    if (c.inverse)
        steps.insert(steps.end(), own.rbegin(), own.rend());
    else
        steps.insert(steps.end(), own.begin(), own.end());
}

// The name PROJ gives a chain it builds: its single operations' names from
// the system `at` on, joined by " + ", each "Inverse of" where it runs from
// EPSG's target to its source; false where a step does not join on.
bool ChainName(const std::vector<long>& steps, long at, std::string& name) {
    const Operations& d = AllOperations();
    name.clear();
    for (long code : steps) {
        long source = 0, target = 0;
        const std::string* own = nullptr;
        ZrEpsgTransformationRecord t;
        if (const ZrEpsgGridTransformationRecord* g = FindCode(d.grids, code)) {
            source = g->sourceCode, target = g->targetCode, own = &g->name;
        } else if (const ZrEpsgOtherTransformationRecord* o = FindCode(d.others, code)) {
            source = o->sourceCode, target = o->targetCode, own = &o->name;
        } else if (ZrEpsgFindTransformation(code, t)) {
            source = t.sourceCode, target = t.targetCode;
        } else {
            return false;
        }
        if (at != source && at != target) return false;
        if (!name.empty()) name += " + ";
        if (at != source) name += "Inverse of ";
        name += own ? *own : t.name;
        at = at == source ? target : source;
    }
    return true;
}

// The operations PROJ builds through one intermediate geographic system
// where EPSG holds none between the two (NAD83(CSRS)v2 to WGS 84 goes
// through NAD83 or NAD27): each of EPSG's operations from the source to the
// intermediate followed by each from it to the target, over the area both
// cover (which must meet the area of interest), its accuracy the sum of
// theirs (unknown where either is), its name theirs joined by " + ".
std::vector<Ranked> PivotCandidates(long sourceCode, long targetCode,
                                    bool (*gridAvailable)(const std::string&), const Box& interest) {
    std::vector<Ranked> out;
    const Box world{-90, -180, 90, 180};
    for (const Entry& e : TheData().Of('G')) {
        const long via = e.code;
        if (via == sourceCode || via == targetCode) continue;
        const std::vector<Ranked> first = DirectCandidates(sourceCode, via, gridAvailable, world, true);
        if (first.empty()) continue;
        const std::vector<Ranked> second = DirectCandidates(via, targetCode, gridAvailable, world, true);
        for (const Ranked& a : first)
            for (const Ranked& b : second) {
                // PROJ joins operations between geographic systems only: a
                // Helmert stated between geocentric ones is no step here.
                if (IsGeocentricHelmert(a.c) || IsGeocentricHelmert(b.c)) continue;
                Box both, use;
                if (!Intersect(BoxOf(a.c), BoxOf(b.c), both) || !Intersect(both, interest, use)) continue;
                Ranked r;
                r.c.kind = ZrEpsgCandidate::kConcatenated;
                ZrEpsgConcatenatedRecord& k = r.c.concatenated;
                k.code = 0; // PROJ's own: no EPSG code
                AppendSteps(a.c, k.steps);
                AppendSteps(b.c, k.steps);
                if (!ChainName(k.steps, sourceCode, k.name)) continue;
                k.sourceCode = sourceCode;
                k.targetCode = targetCode;
                k.accuracy = a.accuracy >= 0 && b.accuracy >= 0 ? a.accuracy + b.accuracy : -1.0;
                // The area of the step that bounds the chain, as PROJ names it.
                const Box boxA = BoxOf(a.c);
                k.area = SameBox(both, boxA)         ? AreaNameOf(a.c)
                         : SameBox(both, BoxOf(b.c)) ? AreaNameOf(b.c)
                                                     : "";
                k.south = both.south, k.west = both.west, k.north = both.north, k.east = both.east;
                r.area = PseudoArea(use);
                r.available = a.available && b.available;
                r.known = a.known && b.known;
                r.hasGrid = a.hasGrid || b.hasGrid;
                r.steps = static_cast<int>(k.steps.size());
                r.name = k.name;
                r.accuracy = k.accuracy;
                out.push_back(std::move(r));
            }
    }
    return out;
}

// PROJ's last pass over its ranked list: an operation of more steps than the
// one kept before it, over the same area, with a worse accuracy, goes, grids
// or none (Accra to WGS 84 (2), through WGS 72BE at 26 m, after Accra to
// WGS 84 (3) at 25 m over Ghana's offshore; NAD83(CSRS)v3 to WGS 84 through
// NAD27 and EPSG's chain NAD27 -> NAD83 -> WGS 84 after the shorter one
// through NAD83 over Louisiana).
void DropLongerAndWorse(std::vector<Ranked>& list) {
    std::vector<Ranked> kept;
    for (Ranked& r : list) {
        if (!kept.empty()) {
            const Ranked& last = kept.back();
            if (r.steps > last.steps && last.accuracy >= 0 && r.accuracy > last.accuracy &&
                SameBox(BoxOf(r.c), BoxOf(last.c)) && AreaNameOf(r.c) == AreaNameOf(last.c))
                continue;
        }
        kept.push_back(std::move(r));
    }
    list = std::move(kept);
}

int ListCandidates(long sourceCode, long targetCode, bool (*gridAvailable)(const std::string&),
                   std::vector<ZrEpsgCandidate>& out, const ZrEpsgAreaRecord* given) {
    out.clear();
    Geographic src, dst;
    if (sourceCode == targetCode || !FindGeographic(sourceCode, src) || !FindGeographic(targetCode, dst))
        return 0;
    const Box& smaller = PseudoArea(src.area) < PseudoArea(dst.area) ? src.area : dst.area;
    const Box interest = given ? Box{given->south, given->west, given->north, given->east} : smaller;
    std::vector<Ranked> list = DirectCandidates(sourceCode, targetCode, gridAvailable, interest, given);
    const bool pivots = list.empty() && !AnyDirect(sourceCode, targetCode);
    if (pivots) list = PivotCandidates(sourceCode, targetCode, gridAvailable, interest);
    std::stable_sort(list.begin(), list.end(), RankedBefore);
    DropLongerAndWorse(list);
    for (Ranked& r : list)
        out.push_back(std::move(r.c));
    return static_cast<int>(out.size());
}
} // namespace

int ZrEpsgListCandidates(long sourceCode, long targetCode, bool (*gridAvailable)(const std::string&),
                         std::vector<ZrEpsgCandidate>& out) {
    return ListCandidates(sourceCode, targetCode, gridAvailable, out, nullptr);
}

int ZrEpsgListCandidates(long sourceCode, long targetCode, bool (*gridAvailable)(const std::string&),
                         std::vector<ZrEpsgCandidate>& out, const ZrEpsgAreaRecord& interest) {
    return ListCandidates(sourceCode, targetCode, gridAvailable, out, &interest);
}

namespace {
// EPSG's Helmerts stated between geocentric systems (or geographic 3D ones)
// on the datums of two geographic systems, ranked as PROJ ranks them.
std::vector<Ranked> GeocentricHelmerts(long sourceBase, long targetBase, const Box& interest) {
    std::vector<Ranked> list;
    for (const ZrEpsgTransformationRecord& t : AllTransformations().records) {
        if (!(t.sourceCode == sourceBase && t.targetCode == targetBase) &&
            !(t.sourceCode == targetBase && t.targetCode == sourceBase))
            continue;
        Ranked r;
        r.c.helmert = t;
        r.c.inverse = t.sourceCode != sourceBase;
        Box use;
        if (!IsGeocentricHelmert(r.c) || !Intersect(Box{t.south, t.west, t.north, t.east}, interest, use))
            continue;
        r.area = PseudoArea(use);
        r.null = IsNullHelmert(t);
        r.name = r.c.inverse ? "Inverse of " + t.name : t.name;
        r.accuracy = t.accuracy;
        list.push_back(std::move(r));
    }
    // One superseded by another offered beside it goes, as between geographic systems.
    const auto& superseded = AllOperations().superseded;
    const auto offered = [&](long code) {
        return std::any_of(list.begin(), list.end(), [code](const Ranked& r) { return r.c.Code() == code; });
    };
    list.erase(std::remove_if(list.begin(), list.end(),
                              [&](const Ranked& r) {
                                  return std::any_of(superseded.begin(), superseded.end(),
                                                     [&](const auto& s) {
                                                         return s.first == r.c.Code() && offered(s.second);
                                                     });
                              }),
               list.end());
    std::stable_sort(list.begin(), list.end(), RankedBefore);
    return list;
}
} // namespace

int ZrEpsgListGeocentricCandidates(long sourceGeocentric, long targetGeocentric,
                                   bool (*gridAvailable)(const std::string&),
                                   std::vector<ZrEpsgCandidate>& out) {
    out.clear();
    ZrEpsgGeocentricRecord a, b;
    if (sourceGeocentric == targetGeocentric || !ZrEpsgFindGeocentric(sourceGeocentric, a) ||
        !ZrEpsgFindGeocentric(targetGeocentric, b))
        return 0;
    // PROJ looks first for EPSG's operations between the geocentric systems
    // themselves (ETRS89 to WGS 84 gives 9225, stated between them, and not
    // 1149, stated between the geographic ones); where EPSG states none, it
    // goes through the geographic systems on the two datums.
    const Box areaA{a.south, a.west, a.north, a.east}, areaB{b.south, b.west, b.north, b.east};
    const Box& interest = PseudoArea(areaA) < PseudoArea(areaB) ? areaA : areaB;
    std::vector<Ranked> list = GeocentricHelmerts(a.baseCode, b.baseCode, interest);
    if (list.empty()) return ZrEpsgListCandidates(a.baseCode, b.baseCode, gridAvailable, out);
    for (Ranked& r : list)
        out.push_back(std::move(r.c));
    return static_cast<int>(out.size());
}

int ZrEpsgListGeocentricHelmertsOf(long base, std::vector<ZrEpsgTransformationRecord>& out) {
    out.clear();
    for (const ZrEpsgTransformationRecord& t : AllTransformations().records) {
        ZrEpsgCandidate c;
        c.helmert = t;
        if ((t.sourceCode == base || t.targetCode == base) && IsGeocentricHelmert(c)) out.push_back(t);
    }
    // One superseded by another between the same two goes (ITRF96 to GDA94
    // (1) by (2)), as PROJ leaves it out.
    const auto& superseded = AllOperations().superseded;
    const auto replaced = [&](const ZrEpsgTransformationRecord& t) {
        return std::any_of(superseded.begin(), superseded.end(), [&](const auto& s) {
            return s.first == t.code &&
                   std::any_of(out.begin(), out.end(), [&](const ZrEpsgTransformationRecord& o) {
                       return o.code == s.second && std::minmax(o.sourceCode, o.targetCode) ==
                                                        std::minmax(t.sourceCode, t.targetCode);
                   });
        });
    };
    out.erase(std::remove_if(out.begin(), out.end(), replaced), out.end());
    return static_cast<int>(out.size());
}

int ZrEpsgListGeoidOperations(long verticalCode, std::vector<ZrEpsgGeoidRecord>& out) {
    out.clear();
    for (const ZrEpsgGeoidRecord& v : AllOperations().geoids)
        if (v.targetCode == verticalCode) out.push_back(v);
    // PROJ's order for these: known accuracy first, the larger area, the
    // better accuracy, the shorter name.
    std::stable_sort(out.begin(), out.end(), [](const ZrEpsgGeoidRecord& a, const ZrEpsgGeoidRecord& b) {
        if ((a.accuracy >= 0) != (b.accuracy >= 0)) return a.accuracy >= 0;
        const double areaA = PseudoArea(Box{a.south, a.west, a.north, a.east});
        const double areaB = PseudoArea(Box{b.south, b.west, b.north, b.east});
        if (areaA != areaB) return areaA > areaB;
        if (a.accuracy != b.accuracy) return a.accuracy < b.accuracy;
        return a.name.size() < b.name.size();
    });
    return static_cast<int>(out.size());
}

long ZrEpsgGeographic2DOf(long geographic3dCode) {
    for (const ZrEpsgGeoidRecord& v : AllOperations().geoids)
        if (v.sourceCode == geographic3dCode) return v.source2dCode;
    // The geographic 3D systems ('L', laid out as the geocentric ones).
    Fields f;
    ZrEpsgGeocentricRecord g;
    if (FindRecord(TheData(), 'L', geographic3dCode, f,
                   [&](const Fields& x) { return ParseGeocentric(x, g, false); }))
        return g.baseCode;
    return 0;
}
