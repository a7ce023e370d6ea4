// The zone families of the projected catalogue, each a rule over a zone number:
// Universal Transverse Mercator on many datums, Gauss-Krueger 6-degree zones,
// the Australian grids, the Japanese and Korean UTM rows and the Japanese plane
// rectangular zones. Rows are generated on lookup; names are written into
// the row, so nothing is allocated.
#include "model/catalogue/projected_table_p.h"

#include <charconv>

namespace {
// A row's name written piece by piece, cut to the row's room as snprintf
// would cut it. The catalogue's name index writes every zone row's name on
// the first EPSG set-up in a process, where snprintf's reading of its format
// cost two thirds of the zone rows' time.
class RowName {
public:
    explicit RowName(ZrProjectedRow& row) : m_at(row.name), m_last(row.name + sizeof row.name - 1) {
        *m_at = '\0';
    }
    RowName& operator<<(const char* text) {
        while (*text && m_at != m_last)
            *m_at++ = *text++;
        *m_at = '\0';
        return *this;
    }
    RowName& operator<<(long number) {
        char digits[24];
        *std::to_chars(digits, digits + sizeof digits - 1, number).ptr = '\0';
        return *this << static_cast<const char*>(digits);
    }
    RowName& operator<<(char letter) {
        const char text[2] = {letter, '\0'};
        return *this << static_cast<const char*>(text);
    }

private:
    char* m_at;
    char* const m_last;
};

constexpr long kGaussKruger = 43005;
constexpr long kTransverseMercator = 43006;
constexpr double kUtmScale = 0.9996;
constexpr double kUtmFalseEasting = 500000.0;
constexpr double kSouthFalseNorthing = 10000000.0;

// Central meridian of a 6-degree zone numbered from 180 W.
inline double UtmMeridian(int zone) {
    return 6.0 * zone - 183.0;
}

// ---------------------------------------------------------------------------
// Universal Transverse Mercator: code = base + zone.
// ---------------------------------------------------------------------------
enum Hemisphere : char { kNorth = 'N', kSouth = 'S' };

struct UtmGroup {
    const char* prefix;
    Hemisphere hemisphere;
    long gcs;
    int firstZone, lastZone;
    long base;
};

const UtmGroup kUtmGroups[] = {
    {"ATS_1977", kNorth, 4122, 19, 20, 2200},
    {"Adindan", kNorth, 4201, 37, 38, 20100},
    {"Ain_el_Abd", kNorth, 4204, 37, 39, 20400},
    {"Afgooye", kNorth, 4205, 38, 39, 20500},
    {"Aratu", kSouth, 4208, 22, 24, 20800},
    {"Batavia", kSouth, 4211, 48, 50, 21100},
    {"Bogota", kNorth, 4218, 17, 18, 21800},
    {"Camacupa", kSouth, 4220, 32, 33, 22000},
    {"Carthage", kNorth, 37223, 32, 32, 22300},
    {"Corrego_Alegre", kSouth, 4225, 23, 24, 22500},
    {"Douala", kNorth, 4228, 32, 32, 22800},
    {"ED_1950", kNorth, 4230, 28, 38, 23000},
    {"Fahud", kNorth, 4232, 39, 40, 23200},
    {"Garoua", kNorth, 4234, 33, 33, 23400},
    {"Indonesian_1974", kNorth, 4238, 46, 53, 23800},
    {"Indonesian_1974", kSouth, 4238, 46, 54, 23840},
    {"Indian_1954", kNorth, 4239, 47, 48, 23900},
    {"Indian_1975", kNorth, 4240, 47, 48, 24000},
    {"Kertau", kNorth, 4245, 47, 48, 24500},
    {"La_Canoa", kNorth, 4247, 20, 21, 24700},
    {"PSAD_1956", kNorth, 4248, 18, 21, 24800},
    {"PSAD_1956", kSouth, 4248, 17, 20, 24860},
    {"Lome", kNorth, 4252, 31, 31, 25200},
    {"ETRF_1989", kNorth, 4258, 28, 38, 25800},
    {"Malongo_1987", kSouth, 4259, 32, 32, 25900},
    {"Massawa", kNorth, 4262, 37, 37, 26200},
    {"Minna", kNorth, 4263, 31, 32, 26300},
    {"Mhast", kSouth, 4264, 32, 32, 26400},
    {"Mporaloko", kNorth, 4266, 32, 32, 26600},
    {"Mporaloko", kSouth, 4266, 32, 32, 26660},
    {"NAD_1927", kNorth, 4267, 3, 22, 26700},
    {"NAD_1983", kNorth, 4269, 3, 23, 26900},
    {"Nahrwan_1967", kNorth, 4270, 38, 40, 27000},
    {"Naparima_1972", kNorth, 4271, 20, 20, 27100},
    {"Datum_73", kNorth, 4274, 29, 29, 27400},
    {"Pointe_Noire", kSouth, 4282, 32, 32, 28200},
    {"SAD_1969", kNorth, 4291, 18, 22, 29100},
    {"SAD_1969", kSouth, 4291, 17, 25, 29160},
    {"Sapper_Hill_1943", kSouth, 4292, 20, 21, 29200},
    {"Schwarzeck", kSouth, 4293, 33, 33, 29300},
    {"Sudan", kNorth, 4296, 35, 36, 29600},
    {"Tananarive_1925", kSouth, 4297, 38, 39, 29700},
    {"Timbalai_1948", kNorth, 4298, 49, 50, 29800},
    {"TC_1948", kNorth, 4303, 39, 40, 30300},
    {"Nord_Sahara_1959", kNorth, 4307, 29, 32, 30700},
    {"Yoff_1972", kNorth, 4310, 28, 28, 31000},
    {"Zanderij_1972", kNorth, 4311, 21, 21, 31100},
    {"NGN", kNorth, 4318, 38, 39, 31800},
    {"WGS_1972", kNorth, 4322, 1, 60, 32200},
    {"WGS_1972", kSouth, 4322, 1, 60, 32300},
    {"WGS_1984", kNorth, 4326, 1, 60, 32600},
    {"WGS_1984", kSouth, 4326, 1, 60, 32700},
};

void FillUtm(ZrProjectedRow& row, long code, long gcs, int zone, bool south) {
    ZrStartRow(row, code, kUnitMetre, gcs, kTransverseMercator);
    row.params[kParamFE] = kUtmFalseEasting;
    row.params[kParamFN] = south ? kSouthFalseNorthing : 0.0;
    row.params[kParamCM] = UtmMeridian(zone);
    row.params[kParamK] = kUtmScale;
}

int FindUtm(long code, ZrProjectedRow& row) {
    for (const UtmGroup& g : kUtmGroups) {
        const long zone = code - g.base;
        if (zone < g.firstZone || zone > g.lastZone) continue;
        FillUtm(row, code, g.gcs, static_cast<int>(zone), g.hemisphere == kSouth);
        RowName(row) << g.prefix << "_UTM_Zone_" << zone << static_cast<char>(g.hemisphere);
        return 1;
    }
    return 0;
}

// ---------------------------------------------------------------------------
// Gauss-Krueger 6-degree zones: code = base + zone. The plain form carries the
// zone number in front of the easting; the form named with N does not.
// ---------------------------------------------------------------------------
struct GkGroup {
    const char* prefix;
    bool zonePrefixedEasting;
    long gcs;
    int firstZone, lastZone;
    long base;
};

const GkGroup kGkGroups[] = {
    {"Pulkovo_1995", true, 4200, 4, 32, 20000},   {"Beijing_1954", true, 4214, 13, 23, 21400},
    {"Pulkovo_1942", true, 4284, 4, 32, 28400},   {"Pulkovo_1995", false, 4200, 4, 32, 20060},
    {"Beijing_1954", false, 4214, 13, 23, 21460}, {"Pulkovo_1942", false, 4284, 4, 32, 28460},
};

int FindGaussKruger(long code, ZrProjectedRow& row) {
    for (const GkGroup& g : kGkGroups) {
        const long zone = code - g.base;
        if (zone < g.firstZone || zone > g.lastZone) continue;
        ZrStartRow(row, code, kUnitMetre, g.gcs, kGaussKruger);
        // Zones 31 and 32 lie east of 180 and take their meridians west of it.
        double cm = 6.0 * zone - 3.0;
        if (cm > 180.0) cm -= 360.0;
        row.params[kParamCM] = cm;
        row.params[kParamFE] = g.zonePrefixedEasting ? zone * 1000000.0 + 500000.0 : 500000.0;
        row.params[kParamK] = 1.0;
        RowName(row) << g.prefix << "_GK_Zone_" << zone << (g.zonePrefixedEasting ? "" : "N");
        return 1;
    }
    return 0;
}

// ---------------------------------------------------------------------------
// Australian Map Grid and Map Grid of Australia: southern UTM zones 48 to 58.
// ---------------------------------------------------------------------------
struct AustralianGroup {
    const char* prefix;
    long gcs;
    long base;
};
const AustralianGroup kAustralianGroups[] = {
    {"AGD_1966_AMG", 4202, 20200},
    {"AGD_1984_AMG", 4203, 20300},
    {"GDA_1994_MGA", 4283, 28300},
};
constexpr int kAustralianFirstZone = 48, kAustralianLastZone = 58;

int FindAustralian(long code, ZrProjectedRow& row) {
    for (const AustralianGroup& g : kAustralianGroups) {
        const long zone = code - g.base;
        if (zone < kAustralianFirstZone || zone > kAustralianLastZone) continue;
        FillUtm(row, code, g.gcs, static_cast<int>(zone), true);
        RowName(row) << g.prefix << "_Zone_" << zone;
        return 1;
    }
    return 0;
}

// ---------------------------------------------------------------------------
// Japanese and Korean UTM rows: names as the grids were published (case and
// blanks included), zone number at the end of the name.
// ---------------------------------------------------------------------------
struct NamedUtm {
    long code;
    const char* name;
    long gcs;
    int zone;
};
const NamedUtm kNamedUtm[] = {
    {32780, "Tokyo UTM 51", 4301, 51},     {32781, "TOKYO UTM 52", 4301, 52},
    {32782, "TOKYO UTM 53", 4301, 53},     {32783, "TOKYO UTM 54", 4301, 54},
    {32784, "TOKYO UTM 55", 4301, 55},     {32785, "TOKYO UTM 56", 4301, 56},
    {32806, "Japanese UTM 51", 37301, 51}, {32807, "Japanese UTM 52", 37301, 52},
    {32808, "Japanese UTM 53", 37301, 53}, {32809, "Japanese UTM 54", 37301, 54},
    {32810, "Japanese UTM 55", 37301, 55}, {32811, "Japanese UTM 56", 37301, 56},
    {32824, "KOREA_TM_UTM_51", 4413, 51},  {32825, "KOREA_TM_UTM_52", 4413, 52},
    {32829, "KGD2002_UTM_51", 37413, 51},  {32830, "KGD2002_UTM_52", 37413, 52},
};

int FindNamedUtm(long code, ZrProjectedRow& row) {
    for (const NamedUtm& n : kNamedUtm) {
        if (n.code != code) continue;
        FillUtm(row, code, n.gcs, n.zone, false);
        RowName(row) << n.name;
        return 1;
    }
    return 0;
}

// ---------------------------------------------------------------------------
// Japanese plane rectangular zones I to XIX, on the Tokyo datum and on JGD2000.
// The 2000 series skips 32799: its zone XIV is 32800.
// ---------------------------------------------------------------------------
struct JapanZone {
    const char* numeral;
    double cm, cp;
    long tokyoCode, jgd2000Code;
};
const JapanZone kJapanZones[] = {
    {"I", 129.5, 33, 32761, 32786},        {"II", 131, 33, 32762, 32787},
    {"III", 132.166666, 36, 32763, 32788}, {"IV", 133.5, 33, 32764, 32789},
    {"V", 134.333333, 36, 32765, 32790},   {"VI", 136, 36, 32766, 32791},
    {"VII", 137.166666, 36, 32767, 32792}, {"VIII", 138.5, 36, 32768, 32793},
    {"IX", 139.833333, 36, 32769, 32794},  {"X", 140.833333, 40, 32770, 32795},
    {"XI", 140.25, 44, 32771, 32796},      {"XII", 142.25, 44, 32772, 32797},
    {"XIII", 144.25, 44, 32773, 32798},    {"XIV", 142, 26, 32774, 32800},
    {"XV", 127.5, 26, 32775, 32801},       {"XVI", 124, 26, 32776, 32802},
    {"XVII", 131, 26, 32777, 32803},       {"XVIII", 136, 20, 32778, 32804},
    {"XIX", 154, 26, 32779, 32805},
};
constexpr long kGcsTokyo = 4301, kGcsJapan2000 = 37301;
constexpr double kJapanScale = 0.9999;

int FindJapanZone(long code, ZrProjectedRow& row) {
    for (const JapanZone& z : kJapanZones) {
        const bool tokyo = code == z.tokyoCode;
        if (!tokyo && code != z.jgd2000Code) continue;
        ZrStartRow(row, code, kUnitMetre, tokyo ? kGcsTokyo : kGcsJapan2000, kTransverseMercator);
        row.params[kParamCM] = z.cm;
        row.params[kParamCP] = z.cp;
        row.params[kParamK] = kJapanScale;
        RowName(row) << (tokyo ? "Japanese Zone " : "Japanese 2000 Zone ") << z.numeral;
        return 1;
    }
    return 0;
}
} // namespace

int ZrFindZoneRow(long code, ZrProjectedRow& row) {
    return FindUtm(code, row) || FindGaussKruger(code, row) || FindAustralian(code, row) ||
           FindNamedUtm(code, row) || FindJapanZone(code, row);
}

int ZrZoneCodes(long* out) {
    int n = 0;
    for (const UtmGroup& g : kUtmGroups)
        for (int z = g.firstZone; z <= g.lastZone; ++z)
            out[n++] = g.base + z;
    for (const GkGroup& g : kGkGroups)
        for (int z = g.firstZone; z <= g.lastZone; ++z)
            out[n++] = g.base + z;
    for (const AustralianGroup& g : kAustralianGroups)
        for (int z = kAustralianFirstZone; z <= kAustralianLastZone; ++z)
            out[n++] = g.base + z;
    for (const NamedUtm& u : kNamedUtm)
        out[n++] = u.code;
    for (const JapanZone& z : kJapanZones) {
        out[n++] = z.tokyoCode;
        out[n++] = z.jgd2000Code;
    }
    return n;
}
