// Projection kinds and the labels that name them in the text and XML
// forms. The labels are historical: note the blanks in "Plate Carree" and
// in the four kinds from 43043 on. -1 labels planar and geographic systems.
#include "model/catalogue/GeodeticCatalogue_p.h"

static constexpr ZrProjectionKindRow kProjectionKindRows[] = {
    {-1, "No Projection"},
    {43001, "Plate Carree"},
    {43002, "Equidistant_Cylindrical"},
    {43003, "Miller_Cylindrical"},
    {43004, "Mercator"},
    {43005, "Gauss_Kruger"},
    {43006, "Transverse_Mercator"},
    {43007, "Albers"},
    {43008, "Sinusoidal"},
    {43009, "Mollweide"},
    {43010, "Eckert_VI"},
    {43011, "Eckert_V"},
    {43012, "Eckert_IV"},
    {43013, "Eckert_III"},
    {43014, "Eckert_II"},
    {43015, "Eckert_I"},
    {43016, "Gall_Stereographic"},
    {43017, "Behrmann"},
    {43018, "Winkel_I"},
    {43019, "Winkel_II"},
    {43020, "Lambert_Conformal_Conic"},
    {43021, "Polyconic"},
    {43022, "Quartic_Authalic"},
    {43023, "Loximuthal"},
    {43024, "Bonne"},
    {43025, "Hotine_Oblique_Mercator_Two_Point_Natural_Origin"},
    {43026, "Stereographic"},
    {43027, "Equidistant_Conic"},
    {43028, "Cassini"},
    {43029, "Van_der_Grinten_I"},
    {43030, "Robinson"},
    {43031, "Two_Point_Equidistant"},
    {43032, "Azimuthal_Equidistant"},
    {43033, "Lambert_Azimuthal_Equal_Area"},
    {43034, "Conformal_Azimuthal"},
    {43035, "Orthotic_Graphic"},
    {43036, "Hotine_Oblique_Mercator_Azimuth_Natural_Origin"},
    {43037, "Hotine_Oblique_Mercator_Azimuth_Center"},
    {43040, "Sanson"},
    {43041, "EquiArea_Cylindrical"},
    {43043, "Oblique Mercator"},
    {43044, "Hotine Oblique Mercator"},
    {43045, "Sphere Mercator"},
    {43046, "Bonne (South Orientated)"},
    {43047, "Lambert_Azimuthal_Equal_Area_Ellipsoidal"},
    {43048, "Oblique_Stereographic"},
    {43049, "Polar_Stereographic_Variant_A"},
    {43050, "Polar_Stereographic_Variant_B"},
    {43051, "Polar_Stereographic_Variant_C"},
    {43052, "Krovak"},
    {43053, "Krovak_North_Orientated"},
    {43054, "Lambert Conic Conformal (West Orientated)"},
    {43055, "Lambert Conic Conformal (2SP Belgium)"},
    {43056, "Lambert Conic Near-Conformal"},
    {43057, "Cassini-Soldner"},
    {43058, "Cassini-Soldner (Hyperbolic)"},
    {43059, "Transverse Mercator (South Orientated)"},
    {43060, "Equal Earth"},
    {43061, "Guam"},
    {43062, "Lambert Conic Conformal (2SP Michigan)"},
    {43063, "Azimuthal_Equidistant_Modified"},
    {43064, "Krovak_Modified"},
    {43065, "Krovak_Modified_North_Orientated"},
    {43066, "Laborde_Oblique_Mercator"},
    {43067, "Transverse_Mercator_Zoned_Grid_System"},
    {43068, "Tunisia_Mining_Grid"},
    {43069, "Colombia_Urban"},
    {43070, "Orthographic_Ellipsoid"},
    {43071, "Azimuthal_Equidistant_Ellipsoid"},
    {43072, "Geostationary_Satellite"},
    {43073, "Geostationary_Satellite_Sweep_X"},
    {43074, "Interrupted_Goode_Homolosine"},
    {43075, "New_Zealand_Map_Grid"},
    {43076, "General_Oblique_Transformation"},
    {43077, "Tilted_Perspective"},
    {43078, "Quadrilateralized_Spherical_Cube"},
    {43079, "Geocentric"},
    {43080, "Cassini-Soldner (South-West)"},
};

static_assert(ZrRowsAscending(kProjectionKindRows), "the lookup searches the rows by code");

const ZrProjectionKindRow* ZrFindProjectionKindRow(long code) {
    return ZrFindRowByCode(kProjectionKindRows, code);
}
int ZrProjectionKindRowCount() {
    return ZrRowCount(kProjectionKindRows);
}
const ZrProjectionKindRow* ZrProjectionKindRowAt(int index) {
    return ZrRowAt(kProjectionKindRows, index);
}
