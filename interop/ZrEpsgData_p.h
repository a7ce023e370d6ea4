#pragma once

#include "platform/ZrExport.h"

// Internal: EPSG definitions beyond the catalogue, read from the data file
// generated from the EPSG dataset and installed beside the library (found the
// way the mapping file is found). Values are EPSG's, decoded: angles in
// decimal degrees, lengths in the unit named with them.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct ZrEpsgGeographicRecord {
    long code = 0;
    std::string name;
    long datumCode = 0;
    std::string datumName;
    long ellipsoidCode = 0;
    std::string ellipsoidName;
    double semiMajorAxis = 0.0;     // metres
    double inverseFlattening = 0.0; // 0 for a sphere
    long primeMeridianCode = 8901;
    std::string primeMeridianName;
    double primeMeridianLongitude = 0.0; // degrees east of Greenwich
    bool latitudeFirst = true;           // EPSG's axis order
};

struct ZrEpsgParameter {
    long code = 0;      // EPSG parameter code (8801 latitude of natural origin, ...)
    double value = 0.0; // angles in degrees, lengths in the system's linear unit, scales as ratios
};

struct ZrEpsgProjectedRecord {
    long code = 0;
    std::string name;
    long baseGeographicCode = 0;
    long methodCode = 0;
    std::string methodName;
    long conversionCode = 0;
    std::string conversionName;
    std::vector<ZrEpsgParameter> parameters;
    long linearUnitCode = 9001; // EPSG unit code: 9001 metre, 9002 foot, 9003 US survey foot, ...
    std::string linearUnitName;
    double linearUnitToMetre = 1.0;
    std::string axisOrder; // first letters of the axis directions: "EN", "NE", "WS", ...
};

struct ZrEpsgTransformationRecord {
    long code = 0;
    std::string name;
    long methodCode = 0; // 9603, 9604, 9605, 9606, 9607
    long sourceCode = 0; // geographic CRS codes
    long targetCode = 0;
    double tx = 0, ty = 0, tz = 0; // metres
    double rx = 0, ry = 0, rz = 0; // arc-seconds
    double ds = 0;                 // ppm
    // Molodensky only: differences of the ellipsoids as EPSG states them.
    double da = 0, df = 0;
    // Helmerts between geocentric or geographic 3D systems (1031-1033, 1053,
    // 1056, 1065, 1066), held between the geographic 2D systems on the same
    // datums: the rates per year (m, arc-seconds, ppm; zero when constant)
    // and the reference epoch (decimal year; 0 when none).
    double rtx = 0, rty = 0, rtz = 0, rrx = 0, rry = 0, rrz = 0, rds = 0;
    double epoch = 0;
    double accuracy = -1.0; // metres, negative when unknown
    std::string area;
    double south = 0, west = 0, north = 0, east = 0;
};

// Where a system may be used: EPSG's bounding box, in degrees (west > east
// when it crosses the antimeridian), and the area's name.
struct ZrEpsgAreaRecord {
    long code = 0; // the system's
    std::string name;
    double south = -90, west = -180, north = 90, east = 180;
};

// A system under ESRI's own code, one that EPSG does not define under it.
struct ZrEsriSystemRecord {
    long code = 0;
    std::string name;
    bool projected = false;
    ZrEpsgAreaRecord area;
};

// A grid-based transformation between two geographic systems (NADCON 9613,
// NTv1 9614, NTv2 9615).
struct ZrEpsgGridTransformationRecord {
    long code = 0;
    std::string name;
    long methodCode = 0;
    long sourceCode = 0;
    long targetCode = 0;
    std::string grid;               // PROJ-data's name (a GeoTIFF)
    std::string oldGrid;            // the name it had before, which older packages ship
    bool gridInverse = false;       // the grid runs from target to source
    bool gridKnown = true;          // PROJ's database knows the grid
    std::vector<long> replacements; // grid transformations that supersede it
    double accuracy = -1.0;
    std::string area;
    double south = 0, west = 0, north = 0, east = 0;
};

// Molodensky-Badekas (9636, 1063) or a geographic offset (9619, 9601)
// between two geographic systems, or an affine parametric transformation
// (9624) between two projected ones. values: for Molodensky-Badekas tx ty tz
// (metres) rx ry rz (arc-seconds) ds (ppm) px py pz (metres, the evaluation
// point); for an offset, the latitude and longitude offsets in degrees.
struct ZrEpsgOtherTransformationRecord {
    long code = 0;
    std::string name;
    long methodCode = 0;
    long sourceCode = 0;
    long targetCode = 0;
    double values[10] = {};
    double accuracy = -1.0;
    std::string area;
    double south = 0, west = 0, north = 0, east = 0;
};

// One of EPSG's concatenated operations between two geographic systems,
// its steps held operations of the kinds above, in order.
struct ZrEpsgConcatenatedRecord {
    long code = 0;
    std::string name;
    long sourceCode = 0;
    long targetCode = 0;
    std::vector<long> steps;
    double accuracy = -1.0;
    std::string area;
    double south = 0, west = 0, north = 0, east = 0;
};

// One candidate between two geographic systems, of any kind held: a Helmert
// (helmert), a grid (grid) or another parametric one (other), applied
// reversed when inverse.
struct ZrEpsgCandidate {
    enum Kind { kHelmert, kGrid, kOther, kConcatenated } kind = kHelmert;
    bool isGrid = false; // kind == kGrid
    bool inverse = false;
    ZrEpsgTransformationRecord helmert;
    ZrEpsgGridTransformationRecord grid;
    ZrEpsgOtherTransformationRecord other;
    ZrEpsgConcatenatedRecord concatenated;
    long Code() const {
        return kind == kGrid ? grid.code : kind == kOther ? other.code
                                       : kind == kConcatenated ? concatenated.code
                                                                : helmert.code;
    }
};

// An operation from a geographic 3D system's ellipsoidal heights to the
// heights of a vertical system by a geoid-height grid (EPSG's
// "Geographic3D to GravityRelatedHeight" methods whose grid PROJ-data
// distributes as GTX or GeoTIFF): H = h - N.
struct ZrEpsgGeoidRecord {
    long code = 0;
    std::string name;
    long methodCode = 0;
    long sourceCode = 0;   // geographic 3D
    long source2dCode = 0; // its geographic 2D counterpart (same datum)
    long targetCode = 0;   // vertical
    std::string targetName;
    std::string grid, oldGrid;
    double accuracy = -1.0;
    std::string area;
    double south = 0, west = 0, north = 0, east = 0;
};

// The geoid operations to a vertical system, best first as PROJ ranks them.
ZRPRJ_API int ZrEpsgListGeoidOperations(long verticalCode, std::vector<ZrEpsgGeoidRecord>& out);
// A geocentric system EPSG defines (4978, 4936, 7789, ...): the geographic 2D
// system on its datum and its area of use; 0 when the data file has none.
struct ZrEpsgGeocentricRecord {
    long code = 0;
    std::string name;
    long baseCode = 0;
    std::string area;
    double south = -90, west = -180, north = 90, east = 180;
};
ZRPRJ_API int ZrEpsgFindGeocentric(long code, ZrEpsgGeocentricRecord& out);
// The geocentric system on the datum of the geographic 2D system baseCode:
// the one named name, else the lowest code; 0 when there is none.
ZRPRJ_API long ZrEpsgGeocentricOf(long baseCode, const std::string& name);

// The geographic 2D system of a geographic 3D one (4979 -> 4326, 7912 ->
// 9000); 0 when the data file knows none.
ZRPRJ_API long ZrEpsgGeographic2DOf(long geographic3dCode);

// 1 and the record filled when the data file holds that code.
ZRPRJ_API int ZrEpsgFindGeographic(long code, ZrEpsgGeographicRecord& out);
ZRPRJ_API int ZrEpsgFindProjected(long code, ZrEpsgProjectedRecord& out);
ZRPRJ_API int ZrEpsgFindTransformation(long code, ZrEpsgTransformationRecord& out);
// Direct transformations between two geographic CRS (either direction stored
// in the data; a reversed one comes back with source and target as stored),
// ordered as PROJ's projinfo orders them.
ZRPRJ_API int ZrEpsgListTransformations(long sourceCode, long targetCode,
                                        std::vector<ZrEpsgTransformationRecord>& out);
// The area of use of a geographic, projected or left-out system; 0 when the
// data file has none for the code.
ZRPRJ_API int ZrEpsgFindArea(long code, ZrEpsgAreaRecord& out);
// The other names of a system (EPSG's aliases and ESRI's name for it), in
// the file's order; returns how many.
ZRPRJ_API int ZrEpsgAliases(long code, std::vector<std::string>& out);
// The systems ESRI numbers itself, ascending by code.
ZRPRJ_API void ZrEsriSystems(std::vector<ZrEsriSystemRecord>& out);
ZRPRJ_API int ZrEpsgFindGridTransformation(long code, ZrEpsgGridTransformationRecord& out);
ZRPRJ_API int ZrEpsgFindOtherTransformation(long code, ZrEpsgOtherTransformationRecord& out);
ZRPRJ_API int ZrEpsgFindConcatenated(long code, ZrEpsgConcatenatedRecord& out);
// The operations EPSG states between two projected systems themselves (the
// affine parametric ones, 9624, held as "other" records with a0 a1 a2 b0 b1
// b2 in values), either direction, as stored.
ZRPRJ_API int ZrEpsgListProjectedOperations(long sourceCode, long targetCode,
                                            std::vector<ZrEpsgOtherTransformationRecord>& out);
// 1 where EPSG describes the operation's area as offshore ("- offshore"),
// which PROJ's per-point pick weighs.
ZRPRJ_API int ZrEpsgOperationOffshore(long code);
// Every candidate between two geographic systems (Helmert, grid, other
// parametric, EPSG's concatenated ones; where EPSG holds none for the pair,
// PROJ's own chains through one intermediate geographic system, code 0),
// ranked as PROJ ranks them: where gridAvailable (may be null: all are) says
// a grid is missing, the operation goes after those it can run.
ZRPRJ_API int ZrEpsgListCandidates(long sourceCode, long targetCode,
                                   bool (*gridAvailable)(const std::string&),
                                   std::vector<ZrEpsgCandidate>& out);
// The same for an area of interest of the caller's (the area two projected
// systems share, say) in place of the geographic systems' own: operations
// whose area misses it are left out, and the rest ranked by their share of
// it, as PROJ ranks them for a projected system.
ZRPRJ_API int ZrEpsgListCandidates(long sourceCode, long targetCode,
                                   bool (*gridAvailable)(const std::string&),
                                   std::vector<ZrEpsgCandidate>& out, const ZrEpsgAreaRecord& interest);
// Every code the data file holds, ascending (for tests and listings).
// The same between two geocentric systems (EPSG codes of theirs): EPSG's
// Helmerts stated between them where it holds any, else the candidates
// between the geographic systems on their datums.
ZRPRJ_API int ZrEpsgListGeocentricCandidates(long sourceGeocentric, long targetGeocentric,
                                             bool (*gridAvailable)(const std::string&),
                                             std::vector<ZrEpsgCandidate>& out);
// EPSG's Helmerts stated between geocentric systems (or geographic 3D ones)
// with the datum of the geographic system `base` at one end, in code order.
ZRPRJ_API int ZrEpsgListGeocentricHelmertsOf(long base, std::vector<ZrEpsgTransformationRecord>& out);
ZRPRJ_API void ZrEpsgProjectedCodes(std::vector<long>& out);
ZRPRJ_API void ZrEpsgGeographicCodes(std::vector<long>& out);
ZRPRJ_API void ZrEpsgLeftOutCodes(std::vector<long>& out);
// Nonzero when the data file was found and read whole; where it was looked
// for; and, when it was not read, why (missing, not a file, damaged at which
// line), naming the path, in words for the user.
//
// Available means the file was found, its seal holds and no record read so
// far held a line the reader cannot decode: a record is checked when it is
// looked up, a type's every line when the type is listed whole, and a
// damaged line refuses the file from then on, every lookup failing and the
// problem naming the line.
ZRPRJ_API int ZrEpsgDataAvailable();
ZRPRJ_API std::string ZrEpsgDataPath();
ZRPRJ_API std::string ZrEpsgDataProblem();
// The checksum the closing line seals the file with: CRC-32C of the bytes,
// by the processor's instruction where it has one, else (or when portable)
// by tables.
ZRPRJ_API std::uint32_t ZrEpsgChecksum(const void* data, std::size_t size, bool portable = false);
