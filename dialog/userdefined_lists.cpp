#include "dialog/ZrUserDefineLists_p.h"

namespace {

constexpr ZrNamedCode kProjectionKinds[] = {
    {"Plate_Carree", 43001},
    {"Equidistant_Cylindrical", 43002},
    {"Miller_Cylindrical", 43003},
    {"Mercator", 43004},
    {"Gauss_Kruger", 43005},
    {"Transverse_Mercator", 43006},
    {"Albers", 43007},
    {"Sinusoidal", 43008},
    {"Mollweide", 43009},
    {"Eckert_VI", 43010},
    {"Eckert_V", 43011},
    {"Eckert_IV", 43012},
    {"Eckert_III", 43013},
    {"Eckert_II", 43014},
    {"Eckert_I", 43015},
    {"Gall_Stereographic", 43016},
    {"Behrmann", 43017},
    {"Winkel_I", 43018},
    {"Winkel_II", 43019},
    {"Lambert_Conformal_Conic", 43020},
    {"Polyconic", 43021},
    {"Quartic_Authalic", 43022},
    {"Loximuthal", 43023},
    {"Bonne", 43024},
    {"Equidistant_Conic", 43027},
    {"Cassini", 43028},
    {"Van_der_Grinten_I", 43029},
    {"Robinson", 43030},
    {"Two_Point_Equidistant", 43031},
    {"Azimuthal_Equidistant", 43032},
    {"Lambert_Azimuthal_Equal_Area", 43033},
    {"Cylindrical_Equal_Area", 43041},
    {"Conformal_Azimuthal", 43034},
    {"Ortho Graphic", 43035},
    {"Gnomonic", 43036},
    {"Sanson", 43040},
    {"Oblique Mercator", 43043},
    {"Hotine Oblique Mercator", 43044},
    {"Sphere Mercator", 43045},
    {"Bonne (South Orientated)", 43046},
    {"Lambert Azimuthal Equal Area (ellipsoidal)", 43047},
    {"Oblique Stereographic", 43048},
    {"Polar Stereographic (variant A)", 43049},
    {"Polar Stereographic (variant B)", 43050},
    {"Polar Stereographic (variant C)", 43051},
    {"Krovak", 43052},
    {"Krovak (North Orientated)", 43053},
    {"Lambert Conic Conformal (West Orientated)", 43054},
    {"Lambert Conic Conformal (2SP Belgium)", 43055},
    {"Lambert Conic Near-Conformal", 43056},
    {"Cassini-Soldner", 43057},
    {"Cassini-Soldner (Hyperbolic)", 43058},
    {"Transverse_Mercator_South_Orientated", 43059},
    {"Equal Earth", 43060},
    {"Guam", 43061},
    {"Lambert Conic Conformal (2SP Michigan)", 43062},
    {"Azimuthal_Equidistant_Modified", 43063},
    {"Krovak Modified", 43064},
    {"Krovak Modified (North Orientated)", 43065},
    {"Laborde Oblique Mercator", 43066},
    {"Transverse_Mercator_Zoned_Grid_System", 43067},
    {"Tunisia Mining Grid", 43068},
    {"Colombia_Urban", 43069},
    {"Orthographic_Ellipsoid", 43070},
    {"Azimuthal_Equidistant_Ellipsoid", 43071},
    {"Geostationary_Satellite", 43072},
    {"Geostationary_Satellite_Sweep_X", 43073},
    {"Interrupted_Goode_Homolosine", 43074},
    {"New Zealand Map Grid", 43075},
    {"General_Oblique_Transformation", 43076},
    {"Tilted_Perspective", 43077},
    {"Quadrilateralized_Spherical_Cube", 43078},
    {"Cassini-Soldner (South-West)", 43080},
};
static_assert(sizeof kProjectionKinds / sizeof kProjectionKinds[0] == 73, "73 projection kinds are offered");

// The display names users have always seen, which are not the catalogue's
// names; two of them keep their old slips ("19  = 67", "= International 1967").
constexpr ZrNamedCode kSpheroids[] = {
    {"Airy 1830", 7001},
    {"Airy modified", 7002},
    {"Average Terrestrial System 1977", 7041},
    {"Australian National", 7003},
    {"Bessel 1841", 7004},
    {"Bessel modified", 7005},
    {"Bessel Namibia", 7006},
    {"Clarke 1858", 7007},
    {"Clarke 1866", 7008},
    {"Clarke 1866 Michigan", 7009},
    {"Clarke 1880", 7034},
    {"Clarke 1880 (Arc)", 7013},
    {"Clarke 1880 (Benoit)", 7010},
    {"Clarke 1880 (IGN)", 7011},
    {"Clarke 1880 (RGS)", 7012},
    {"Clarke 1880 (SGA)", 7014},
    {"Everest 1830", 7015},
    {"Everest (definition 19  = 67)", 7016},
    {"Everest (definition 1975)", 7017},
    {"Everest modified", 7018},
    {"GEM gravity potential model", 7031},
    {"GRS 1967 = International 1967", 7036},
    {"GRS 1980", 7019},
    {"Helmert 1906", 7020},
    {"Indonesian National", 7021},
    {"International 1924", 7022},
    {"International 1967", 7023},
    {"Krasovsky 1940", 7024},
    {"Transit precise ephemeris", 7025},
    {"OSU 1986 geoidal model", 7032},
    {"OSU 1991 geoidal model", 7033},
    {"Plessis 1817", 7027},
    {"Authalic sphere", 7035},
    {"Struve 1860", 7028},
    {"War Office", 7029},
    {"NWL_10D", 7026},
    {"WGS 1972", 7043},
    {"WGS 1984", 7030},
    {"WGS 1966", 40001},
    {"Fischer 1960", 40002},
    {"Fischer 1968", 40003},
    {"Fischer modified", 40004},
    {"Hough 1960", 40005},
    {"Everest modified 1969", 40006},
    {"Walbeck", 40007},
    {"Authalic sphere (ARC/INFO)", 40008},
    {"International 1975", 40023},
};
static_assert(sizeof kSpheroids / sizeof kSpheroids[0] == 47, "47 spheroids are offered");

constexpr ZrNamedCode kPrimeMeridians[] = {
    {"Greenwich", 8901}, {"Lisbon", 8902},   {"Paris", 8903},     {"Bogota", 8904},
    {"Madrid", 8905},    {"Rome", 8906},     {"Bern", 8907},      {"Jakarta", 8908},
    {"Ferro", 8909},     {"Brussels", 8910}, {"Stockholm", 8911}, {"Athens", 8912},
};

// Datums whose name is not that of their geographic system.
constexpr ZrNamedCode kDatumNames[] = {
    {"International 1924", 6022},
    {"Ancienne Triangulation Francaise", 6901},
    {"Dealul Piscului 1933", 6316},
    {"Dealul Piscului 1970", 6317},
    {"Greek Geodetic Reference System 1987", 6121},
    {"Nord de Guerre", 6902},
    {"Stockholm 1938", 6308},
    {"WGS 1972 Transit Broadcast Ephemeris", 6324},
    {"Montserrat Isl Astro 1958", 39244},
    {"Japanese JGD2000", 39301},
    {"China XiAn 1980", 39312},
    {"Azores Occidental Islands 1939", 6182},
    {"Azores Central Islands 1948", 6183},
    {"Azores Oriental Islands 1940", 6184},
};

constexpr long kGeoToDatumOffset = 2000;
constexpr long kGcsItrf1993 = 4915;
constexpr long kDatumItrf1993 = 6652;
constexpr long kFirstPrimeMeridianVariant = 4801;
constexpr long kLastPrimeMeridianVariant = 4815;
constexpr long kGcsCarthageDegrees = 37223;

template <std::size_t N> const ZrNamedCode* Entries(const ZrNamedCode (&table)[N], int* pCount) {
    if (pCount) *pCount = static_cast<int>(N);
    return table;
}

} // namespace

const ZrNamedCode* ZrProjectionKindListEntries(int* pCount) {
    return Entries(kProjectionKinds, pCount);
}

const ZrNamedCode* ZrSpheroidListEntries(int* pCount) {
    return Entries(kSpheroids, pCount);
}

const ZrNamedCode* ZrPrimeMeridianListEntries(int* pCount) {
    return Entries(kPrimeMeridians, pCount);
}

std::vector<ZrNamedCode> ZrDatumListEntries() {
    int count = 0;
    const ZrNamedCode* gcs = ZrGeoCoordSysListEntries(&count);
    std::vector<ZrNamedCode> datums;
    for (int i = 0; i < count; ++i) {
        const long g = gcs[i].code;
        if ((g >= kFirstPrimeMeridianVariant && g <= kLastPrimeMeridianVariant) || g == kGcsCarthageDegrees)
            continue;
        ZrNamedCode datum = {gcs[i].name, g == kGcsItrf1993 ? kDatumItrf1993 : g + kGeoToDatumOffset};
        for (const ZrNamedCode& renamed : kDatumNames)
            if (renamed.code == datum.code) datum.name = renamed.name;
        datums.push_back(datum);
    }
    return datums;
}
