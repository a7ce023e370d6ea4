#include "platform/ZrToolkit.h"

#include <algorithm>
#include <array>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <locale.h>

namespace {

struct UnitRow {
    long code;
    const char* name;        // the stored (XML) name
    const char* displayName; // shown to people
};

// The linear units of the library: codes are lengths in tenths of a millimetre
// (the mile is the legacy 16090000, not the international 16093440), and the
// US survey foot, the one exact unit (below) the XML form names.
const UnitRow kUnits[] = {
    {10000000, "Kilometer", "Kilometer"},
    {10000, "Meter", "Meter"},
    {1000, "Decimeter", "Decimeter"},
    {100, "Centimeter", "Centimeter"},
    {10, "Millimeter", "Millimeter"},
    {254, "Inch", "Inch"},
    {3048, "Foot", "Foot"},
    {kZrUnitUsSurveyFoot, "US Survey Foot", "US Survey Foot"},
    {9144, "Yard", "Yard"},
    {16090000, "Mile", "Mile"},
};

// EPSG's figures for the units that are no whole number of tenths of a
// millimetre; a length as num / den metres, EPSG's factor_b / factor_c. The
// US survey foot keeps 1200/3937 as the library first defined it (EPSG's
// 12/39.37 is the same length, one rounding apart).
constexpr long E(long epsg) {
    return ZrExactUnitCode(epsg);
}
const ZrExactUnit kExactUnits[] = {
    {kZrUnitUsSurveyFoot, 9003, "US Survey Foot", 1200.0, 3937.0},
    {E(9005), 9005, "Clarke's foot", 0.3047972654, 1.0},
    {E(9031), 9031, "German legal metre", 1.0000135965, 1.0},
    {E(9033), 9033, "US survey chain", 792.0, 39.37},
    {E(9034), 9034, "US survey link", 7.92, 39.37},
    {E(9035), 9035, "US survey mile", 63360.0, 39.37},
    {E(9037), 9037, "Clarke's yard", 0.9143917962, 1.0},
    {E(9038), 9038, "Clarke's chain", 20.1166195164, 1.0},
    {E(9039), 9039, "Clarke's link", 0.201166195164, 1.0},
    {E(9040), 9040, "British yard (Sears 1922)", 36.0, 39.370147},
    {E(9041), 9041, "British foot (Sears 1922)", 12.0, 39.370147},
    {E(9042), 9042, "British chain (Sears 1922)", 792.0, 39.370147},
    {E(9043), 9043, "British link (Sears 1922)", 7.92, 39.370147},
    {E(9050), 9050, "British yard (Benoit 1895 A)", 0.9143992, 1.0},
    {E(9051), 9051, "British foot (Benoit 1895 A)", 0.9143992, 3.0},
    {E(9052), 9052, "British chain (Benoit 1895 A)", 20.1167824, 1.0},
    {E(9053), 9053, "British link (Benoit 1895 A)", 0.201167824, 1.0},
    {E(9060), 9060, "British yard (Benoit 1895 B)", 36.0, 39.370113},
    {E(9061), 9061, "British foot (Benoit 1895 B)", 12.0, 39.370113},
    {E(9062), 9062, "British chain (Benoit 1895 B)", 792.0, 39.370113},
    {E(9063), 9063, "British link (Benoit 1895 B)", 7.92, 39.370113},
    {E(9070), 9070, "British foot (1865)", 0.9144025, 3.0},
    {E(9080), 9080, "Indian foot", 12.0, 39.370142},
    {E(9081), 9081, "Indian foot (1937)", 0.30479841, 1.0},
    {E(9082), 9082, "Indian foot (1962)", 0.3047996, 1.0},
    {E(9083), 9083, "Indian foot (1975)", 0.3047995, 1.0},
    {E(9084), 9084, "Indian yard", 36.0, 39.370142},
    {E(9085), 9085, "Indian yard (1937)", 0.91439523, 1.0},
    {E(9086), 9086, "Indian yard (1962)", 0.9143988, 1.0},
    {E(9087), 9087, "Indian yard (1975)", 0.9143985, 1.0},
    {E(9094), 9094, "Gold Coast foot", 6378300.0, 20926201.0},
    {E(9095), 9095, "British foot (1936)", 0.3048007491, 1.0},
    {E(9098), 9098, "link", 0.201168, 1.0},
    {E(9099), 9099, "British yard (Sears 1922 truncated)", 0.914398, 1.0},
    {E(9300), 9300, "British foot (Sears 1922 truncated)", 0.914398, 3.0},
    {E(9301), 9301, "British chain (Sears 1922 truncated)", 20.116756, 1.0},
    {E(9302), 9302, "British link (Sears 1922 truncated)", 0.20116756, 1.0},
};

const UnitRow* FindUnit(long code) {
    for (const UnitRow& row : kUnits)
        if (row.code == code) return &row;
    return nullptr;
}

const char* LocaleName() {
    for (const char* var : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        const char* value = std::getenv(var);
        if (value && *value) return value;
    }
    return "";
}

// A "C" numeric locale made once and never freed: uselocale needs it to
// outlive every scope that installs it.
locale_t ClassicNumericLocale() {
    static locale_t loc = newlocale(LC_NUMERIC_MASK, "C", static_cast<locale_t>(0));
    return loc;
}

} // namespace

int CZrOperator::Is0(const double& value) {
    return std::fabs(value) < kZeroTolerance ? 1 : 0;
}

CString CZrToolkit::UnitConvert(long code) {
    if (const UnitRow* row = FindUnit(code)) return CString(row->name);
    CString digits;
    digits.Format("%ld", code);
    return digits;
}

long CZrToolkit::UnitConvert(const CString& name) {
    CString trimmed(name);
    trimmed.Trim();
    for (const UnitRow& row : kUnits)
        if (trimmed.CompareNoCase(row.name) == 0) return row.code;
    // The exact units are written as their codes' digits, which readers that
    // predate them read back to the same code; their names are read too.
    for (const ZrExactUnit& unit : kExactUnits)
        if (trimmed.CompareNoCase(unit.name) == 0) return unit.code;
    return std::atol(trimmed);
}

void CZrToolkit::SplitPath(const CString& path, CString& drive, CString& folder, CString& title,
                           CString& extension) {
    drive.Empty();
    int slash = std::max(path.ReverseFind('/'), path.ReverseFind('\\'));
    folder = path.Left(slash + 1);
    CString file = path.Mid(slash + 1);
    int dot = file.ReverseFind('.');
    if (dot <= 0) {
        title = file;
        extension.Empty();
    } else {
        title = file.Left(dot);
        extension = file.Mid(dot);
    }
}

int CZrToolkit::GetCharset() {
    return std::strncmp(LocaleName(), "ja", 2) == 0 ? kShiftJisCharset : kGb2312Charset;
}

CString ZrGetUnitsNameExt(long code) {
    if (const UnitRow* row = FindUnit(code)) return CString(row->displayName);
    if (const ZrExactUnit* unit = ZrFindExactUnit(code)) return CString(unit->name);
    CString text;
    text.Format("Unit(%ld)", code);
    return text;
}

const ZrExactUnit* ZrExactUnits(int& count) {
    count = static_cast<int>(sizeof(kExactUnits) / sizeof(kExactUnits[0]));
    return kExactUnits;
}

const ZrExactUnit* ZrFindExactUnit(long code) {
    // Every exact code but the US survey foot's lies above the base, far
    // beyond any length in tenths of a millimetre that a system counts in.
    if (code != kZrUnitUsSurveyFoot && code <= kZrUnitEpsgBase) return nullptr;
    for (const ZrExactUnit& unit : kExactUnits)
        if (unit.code == code) return &unit;
    return nullptr;
}

long ZrExactUnitCodeOf(double metres) {
    for (const ZrExactUnit& unit : kExactUnits)
        if (std::fabs(metres * unit.den / unit.num - 1.0) < 1e-12) return unit.code;
    return 0;
}

double ZrUnitCodeToMetres(long code) {
    if (const ZrExactUnit* unit = ZrFindExactUnit(code)) return unit->num / unit->den;
    return static_cast<double>(code) * 0.0001;
}

double ZrUnitFactorOfCode(long code) {
    if (const ZrExactUnit* unit = ZrFindExactUnit(code)) return unit->den / unit->num;
    return 10000.0 / static_cast<double>(code);
}

CZrLocale::CZrLocale() {
    locale_t loc = ClassicNumericLocale();
    if (loc) m_previous = uselocale(loc);
}

CZrLocale::~CZrLocale() {
    if (m_previous) uselocale(static_cast<locale_t>(m_previous));
}

// Eight bytes a step through eight tables (slicing-by-8): the EPSG data file
// is checked whole when it is first read, and byte by byte that took a third
// of the first EPSG set-up in a process.
unsigned CZrToolkit::Crc32(const void* data, size_t size, unsigned crc) {
    using Tables = std::array<std::array<unsigned, 256>, 8>;
    static const Tables kTables = [] {
        Tables t{};
        for (unsigned n = 0; n < 256; ++n) {
            unsigned c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[0][n] = c;
        }
        for (unsigned n = 0; n < 256; ++n)
            for (int k = 1; k < 8; ++k)
                t[k][n] = (t[k - 1][n] >> 8) ^ t[0][t[k - 1][n] & 0xFF];
        return t;
    }();
    const unsigned char* bytes = static_cast<const unsigned char*>(data);
    auto word = [](const unsigned char* p) {
        return static_cast<unsigned>(p[0]) | static_cast<unsigned>(p[1]) << 8 |
               static_cast<unsigned>(p[2]) << 16 | static_cast<unsigned>(p[3]) << 24;
    };
    crc = ~crc;
    for (; size >= 8; bytes += 8, size -= 8) {
        const unsigned one = word(bytes) ^ crc, two = word(bytes + 4);
        crc = kTables[7][one & 0xFF] ^ kTables[6][(one >> 8) & 0xFF] ^ kTables[5][(one >> 16) & 0xFF] ^
              kTables[4][one >> 24] ^ kTables[3][two & 0xFF] ^ kTables[2][(two >> 8) & 0xFF] ^
              kTables[1][(two >> 16) & 0xFF] ^ kTables[0][two >> 24];
    }
    for (; size > 0; ++bytes, --size)
        crc = kTables[0][(crc ^ *bytes) & 0xFF] ^ (crc >> 8);
    return ~crc;
}
