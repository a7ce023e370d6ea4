#pragma once

#include "platform/ZrExport.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

class CString;
class CZrPJCoordSys;
class CZrPJTranslator;
struct ZrOperationListing;
struct ZrOperationSummary;

// Internal: EPSG's geographic offsets with a height offset ("Geographic2D
// with Height Offsets"). EPSG states each from a compound system (a
// geographic 2D system with gravity-related heights, Tokyo + JSLD69 height)
// to a geographic 3D one (WGS 84): latitude and longitude move by constant
// offsets, and the height offset turns the gravity-related height into an
// ellipsoidal one (h = H + dh). Each holds for a small box of its own, so a
// pair of systems has many, chosen per point as PROJ chooses them.
struct ZrEpsgHeightOffsetRecord {
    long code = 0;
    std::string name;
    long methodCode = 0;
    long compoundCode = 0;   // the source as EPSG states it
    long horizontalCode = 0; // its geographic 2D part
    long verticalCode = 0;   // its vertical part
    std::string verticalName;
    long targetCode = 0;       // geographic 3D
    long target2dCode = 0;     // its geographic 2D counterpart (same datum)
    double dlat = 0, dlon = 0; // degrees
    double dh = 0;             // metres
    double accuracy = -1.0;
    std::string area;
    double south = 0, west = 0, north = 0, east = 0;
    // The compound system's area of use: PROJ leaves out the operations that miss it.
    double compoundSouth = -90, compoundWest = -180, compoundNorth = 90, compoundEast = 180;
};

// Decodes one data-file line split at its tabs (the record letter first);
// false where it is no such record.
ZRPRJ_API bool ZrParseHeightOffset(const std::string_view* fields, std::size_t count,
                                   ZrEpsgHeightOffsetRecord& out);
// Every such record of the data file, ascending by code.
ZRPRJ_API int ZrEpsgHeightOffsets(std::vector<ZrEpsgHeightOffsetRecord>& out);

// The geographic 2D and vertical parts of a compound system that such an
// operation starts from; 0 where EPSG states none from it.
ZRPRJ_API int ZrHeightOffsetCompound(long compoundCode, long& horizontal, long& vertical);

// Two sides with heights: one with gravity-related heights (a geographic 2D
// system `horizontal` and the vertical system `vertical`), one with
// ellipsoidal heights (the geographic 3D system on the datum of
// `geographic2d`); compoundIsSource tells which is converted from. Where
// the other side's heights are themselves gravity-related (WGS 84 + EGM96
// height), geoidVertical names that vertical system: EPSG's geoid
// operation (the first on the geographic 3D system) takes the ellipsoidal
// heights on to it, and PROJ chains each offset with it and offers nothing
// beyond the offsets' boxes.
struct ZrHeightOffsetPair {
    long horizontal = 0;
    long vertical = 0;
    long geographic2d = 0;
    bool compoundIsSource = true;
    long geoidVertical = 0;
    // Nonzero: that one height offset for every point, as an operation named
    // by its code runs (wherever its box lies).
    long onlyCode = 0;
};

// The candidates for the pair in the order `projinfo --spatial-test
// intersects` prints them: EPSG's height offsets whose area meets the
// compound system's, then PROJ's own: the zero shift and each horizontal
// operation between the two geographic systems, each with the heights
// passed unchanged (with geoidVertical set, the offsets alone, each chained
// with the geoid). 0 where EPSG states no height offset for the pair.
ZRPRJ_API int ZrListHeightOffsetOperations(const ZrHeightOffsetPair& pair,
                                           std::vector<ZrOperationListing>& out);

// Sets the translator (between the two geographic systems src and des, the
// source first) up to apply, per point, the candidate proj_create_crs_to_crs
// would: the first height offset whose area holds the point (the smallest
// accuracy figure where several do), else the zero shift. Converted in three
// dimensions, the height offset applies to the height. With geoidVertical
// set, the offsets alone: the geoid heights are the caller's to apply, and a
// point no offset's box holds is the caller's to refuse, as PROJ refuses it.
// -1 where EPSG states no height offset for the pair (or none of that code
// with onlyCode); 0 with a reason where it cannot be set up.
ZRPRJ_API int ZrSetTranslatorHeightOffsets(CZrPJTranslator& translator, const CZrPJCoordSys& src,
                                           const CZrPJCoordSys& des, const ZrHeightOffsetPair& pair,
                                           std::vector<ZrOperationSummary>* used = nullptr,
                                           CString* reason = nullptr);
