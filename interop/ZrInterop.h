#pragma once

#include "model/ZrPJCoordSys.h"
#include "model/ZrPJParams.h"
#include "model/ZrPJTypes.h"
#include "platform/ZrExport.h"
#include "platform/ZrString.h"

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
