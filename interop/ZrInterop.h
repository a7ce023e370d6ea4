#pragma once

#include "model/ZrPJCoordSys.h"
#include "model/ZrPJParams.h"
#include "model/ZrPJTypes.h"
#include "platform/ZrExport.h"
#include "platform/ZrString.h"

#include <vector>

class CZrPJTranslator;

// Exchange of coordinate systems with other GIS software: the well-known-text
// dialects, PROJ strings and PROJJSON, and EPSG systems and datum
// transformations beyond the built-in catalogue. Every function returns
// nonzero on success and never throws; on failure the output objects are
// unchanged and, where a reason is asked for, it holds one line naming what
// was not understood.

// The text forms, as other software writes them.
enum tagZrCrsTextFormat : int {
    ZR_CRS_TEXT_UNKNOWN = 0,
    ZR_CRS_TEXT_ESRI_WKT1 = 1,   // ESRI's WKT1, what shapefile .prj files hold
    ZR_CRS_TEXT_WKT1_GDAL = 2,   // OGC WKT1 as GDAL writes it (TOWGS84, AUTHORITY)
    ZR_CRS_TEXT_WKT2_2019 = 3,   // ISO 19162:2019
    ZR_CRS_TEXT_PROJ_STRING = 4, // "+proj=... +type=crs"
    ZR_CRS_TEXT_PROJJSON = 5,
};

// Writes any valid system (catalogue, EPSG-derived or user-defined; planar,
// geographic or projected) in the given form.
ZRPRJ_API int ZrExportCoordSys(const CZrPJCoordSys& cs, tagZrCrsTextFormat format, CString& text,
                               CString* reason = nullptr);

// Which form a text is in, judged by its content; ZR_CRS_TEXT_UNKNOWN when it
// is none of them.
ZRPRJ_API tagZrCrsTextFormat ZrDetectCrsTextFormat(const CString& text);

// Reads any of the forms (detected by content) into cs. A text that names a
// catalogue or mapped EPSG system with a definition that agrees gives that
// system; otherwise a user-defined one (type -1). What the library cannot
// express exactly is refused.
ZRPRJ_API int ZrImportCoordSys(const CString& text, CZrPJCoordSys& cs, CString* reason = nullptr,
                               tagZrCrsTextFormat* format = nullptr);

// An EPSG projected or geographic system by code: the catalogue system the
// mapping file names for it, else one built from EPSG's own definition.
ZRPRJ_API int ZrCoordSysFromEpsg(long epsgCode, CZrPJCoordSys& cs, CString* reason = nullptr);

// The EPSG code of a system (projected or geographic) and of its geographic
// system; -1000 when there is none.
ZRPRJ_API long ZrEpsgCodeOf(const CZrPJCoordSys& cs);
ZRPRJ_API long ZrEpsgGeographicCodeOf(const CZrPJCoordSys& cs);

// Whether EPSG orders the system's coordinates as the model's (y, x): the
// south-west Krovak and Cassini-Soldner kinds hold the westing as x and the
// southing as y, and EPSG (with PROJ, pyproj even with always_xy, and cs2cs)
// gives the southing (X) first. The bindings and the tool swap such a side;
// the model keeps x, y.
ZRPRJ_API bool ZrEpsgOrderSwapsXY(const CZrPJCoordSys& cs);

// One EPSG datum transformation between two geographic systems, in the
// translator's terms.
struct ZrEpsgTransformation {
    long code = 0;
    CString name;
    tagPJTransMethod method = PJTM_GEOCENTRIC_TRANSLATION;
    CZrPJParams params;        // fields 11 to 17: metres, arc-seconds, ppm
    long sourceGeographic = 0; // EPSG codes of the geographic systems
    long targetGeographic = 0;
    double accuracy = -1.0;                                  // metres; negative when EPSG gives none
    CString area;                                            // EPSG's area of use
    double south = 0.0, west = 0.0, north = 0.0, east = 0.0; // degrees
};

ZRPRJ_API int ZrEpsgTransformationByCode(long code, ZrEpsgTransformation& out, CString* reason = nullptr);

// The transformations from one geographic system to another (EPSG codes),
// best first as PROJ's projinfo lists them. Writes at most capacity entries
// and returns how many there are in all.
ZRPRJ_API int ZrEpsgTransformationCandidates(long sourceGeographic, long targetGeographic,
                                             ZrEpsgTransformation* out, int capacity);

// Empty when the EPSG data file (installed beside the mapping file) was found
// and read whole; otherwise why it was not (missing, not a regular file,
// damaged and where), naming the path where it was looked for. The lookups
// above answer "none" alike for what EPSG lacks and for a file they could not
// read: this tells a user which.
ZRPRJ_API CString ZrEpsgDataFileProblem();

// Sets the translator up to convert src to des with the EPSG transformation
// of that code, applied forwards or reversed as the two systems require.
ZRPRJ_API int ZrSetTranslatorTransformation(CZrPJTranslator& translator, const CZrPJCoordSys& src,
                                            const CZrPJCoordSys& des, long transformationCode,
                                            CString* reason = nullptr);

// ---- Datum operations chosen as PROJ chooses them ----

// A shift to WGS 84 that a text states for its system: WKT1's TOWGS84, a
// WKT2 BOUNDCRS, "+towgs84", or PROJ's null grid ("+nadgrids=@null", which
// says the longitudes and latitudes are WGS 84's as they stand). It travels
// beside the system, as PROJ's BoundCRS wraps its base: a coordinate system's
// own datum-shift fields are neither copied nor stored, so the shift cannot
// live there.
enum tagZrCarriedShiftKind : int {
    ZR_CARRIED_NONE = 0,
    ZR_CARRIED_HELMERT = 1,   // count values, position-vector convention
    ZR_CARRIED_NULL_GRID = 2, // longitude and latitude unchanged into WGS 84
};
struct ZrCarriedShift {
    tagZrCarriedShiftKind kind = ZR_CARRIED_NONE;
    int count = 0;         // 3 or 7 for a Helmert
    double values[7] = {}; // metres, arc-seconds, ppm
};

// As ZrImportCoordSys, but a stated shift is accepted whatever its values and
// handed back in shift instead of being checked against EPSG's.
ZRPRJ_API int ZrImportCoordSysWithShift(const CString& text, CZrPJCoordSys& cs, ZrCarriedShift& shift,
                                        CString* reason = nullptr, tagZrCrsTextFormat* format = nullptr);
// As ZrExportCoordSys, writing the shift too where the form has a place for
// it (TOWGS84, BOUNDCRS, +towgs84 or +nadgrids=@null); ESRI's WKT has none.
ZRPRJ_API int ZrExportCoordSysWithShift(const CZrPJCoordSys& cs, const ZrCarriedShift& shift,
                                        tagZrCrsTextFormat format, CString& text, CString* reason = nullptr);

// What a translator was given by the calls below: the operations, best first,
// that it may apply per point.
struct ZrOperationSummary {
    long code = 0; // EPSG code; 0 for a system's own shift or the zero shift
    CString name;
    double accuracy = -1.0; // metres; negative when unknown
};

// Sets the translator up to convert src to des with the best operation for
// each point, as PROJ's proj_create_crs_to_crs does: EPSG's candidates for
// the two geographic systems (best first, as projinfo lists them), the first
// whose area of use holds the point, else the best overall. A system's
// carried shift (null for none) takes the place of EPSG's on its side, as
// PROJ's BoundCRS does, through WGS 84. Two systems on one geographic system
// need none. Where the datums differ and nothing is known, 0 with a reason
// naming what is known, unless ballpark asks for the zero shift. used (may be
// null) receives the operations in their order.
ZRPRJ_API int ZrSetTranslatorBestOperation(CZrPJTranslator& translator, const CZrPJCoordSys& src,
                                           const ZrCarriedShift* srcShift, const CZrPJCoordSys& des,
                                           const ZrCarriedShift* desShift, bool ballpark,
                                           std::vector<ZrOperationSummary>* used = nullptr,
                                           CString* reason = nullptr);

// Sets the translator up with one EPSG operation of any kind it holds
// (Helmert family or grid-based), forwards or reversed as the two systems
// require. A grid that cannot be found is refused naming the file and every
// place looked.
ZRPRJ_API int ZrSetTranslatorEpsgOperation(CZrPJTranslator& translator, const CZrPJCoordSys& src,
                                           const CZrPJCoordSys& des, long code, CString* reason = nullptr);

// One line per candidate between two systems' geographic systems, as
// `zrprj transformations` prints them, in PROJ's order (projinfo with
// --spatial-test intersects): code, name ("Inverse of ..." where reversed),
// method, accuracy, area, and for a grid that cannot be found, "grid
// missing: NAME (looked in ...)". Two geocentric systems' codes list what
// EPSG states between them, as PROJ lists it for them.
struct ZrOperationListing {
    long code = 0;
    CString name;
    long methodCode = 0;
    CString methodName;
    double accuracy = -1.0;
    CString area;
    CString missing; // empty, or "grid missing: ..."
};
ZRPRJ_API int ZrListOperations(long sourceGeographic, long targetGeographic,
                               std::vector<ZrOperationListing>& out);
// The same for the operations EPSG states between two projected systems
// themselves (affine parametric); PROJ lists these alone for such a pair.
ZRPRJ_API int ZrListProjectedOperations(long sourceProjected, long targetProjected,
                                        std::vector<ZrOperationListing>& out);
// For a host that projects on its own and hands the translator only the two
// geographic systems (geoSrc, geoDes): where EPSG states an operation between
// the projected systems src and des themselves (code, or any when 0), sets
// the translator up with it and returns 1; 0 with a reason where code is
// such an operation for other systems; -1 where there is none.
ZRPRJ_API int ZrSetTranslatorProjectedPair(CZrPJTranslator& translator, const CZrPJCoordSys& src,
                                           const CZrPJCoordSys& des, const CZrPJCoordSys& geoSrc,
                                           const CZrPJCoordSys& geoDes, long code,
                                           std::vector<ZrOperationSummary>* used = nullptr,
                                           CString* reason = nullptr);
