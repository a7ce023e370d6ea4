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
// (the mile is the legacy 16090000, not the international 16093440), except
// the US survey foot, which has a code of its own.
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
    CString text;
    text.Format("Unit(%ld)", code);
    return text;
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
