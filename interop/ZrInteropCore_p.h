#pragma once

#include "platform/ZrExport.h"

// Internal core shared by every exchange form: the names of projection
// methods and parameters in each dialect, and the two-way translation between
// a coordinate system and its EPSG-style description (the records of
// ZrEpsgData_p.h). Methods that EPSG lacks (the world projections) carry the
// library's own kind code (43xxx) as their method code.

#include "interop/ZrEpsgData_p.h"
#include "model/ZrPJCoordSys.h"
#include "platform/ZrString.h"

enum ZrParameterQuantity { ZR_PARAM_ANGLE = 0, ZR_PARAM_LENGTH = 1, ZR_PARAM_SCALE = 2 };

struct ZrMethodNames {
    long code;            // EPSG method code, or the kind code where EPSG has none
    const char* epsgName; // also the WKT2/PROJJSON method name
    const char* wkt1Name; // OGC WKT1 PROJECTION name as GDAL writes it (null: none)
    const char* esriName; // ESRI WKT1 PROJECTION name (null: none)
    const char* projName; // PROJ "+proj=" name (null: none)
};

struct ZrParameterNames {
    long code;            // EPSG parameter code
    const char* epsgName; // also the WKT2/PROJJSON parameter name
    const char* wkt1Name; // as GDAL writes it for this method (null: none)
    const char* esriName; // (null: none)
    const char* projKey;  // "lat_0", "k_0", ... (null: none)
    ZrParameterQuantity quantity;
};

// Lookups; null when unknown. Names compare without regard to case, blanks
// and underscores.
ZRPRJ_API const ZrMethodNames* ZrFindMethod(long code);
ZRPRJ_API const ZrMethodNames* ZrFindMethodByName(const char* anyName);
// The parameters of a method, in EPSG's order; returns how many (writes at most capacity).
ZRPRJ_API int ZrMethodParameters(long methodCode, const ZrParameterNames** out, int capacity);
// A parameter of that method by any of its names (EPSG, WKT1, ESRI or PROJ key).
ZRPRJ_API const ZrParameterNames* ZrFindParameterByName(long methodCode, const char* anyName);

// Builds cs from an EPSG-style description: geographic when proj is null,
// else projected. A description that names a catalogue or mapped system with
// the same definition gives that system; otherwise a user-defined one. 0 and
// cs unchanged, with a one-line reason, when the library cannot express it.
// Without matchCatalogue a projected description is always built as it is
// defined, to compare a catalogue row with.
ZRPRJ_API int ZrInteropBuild(const ZrEpsgGeographicRecord& geog, const ZrEpsgProjectedRecord* proj,
                             CZrPJCoordSys& cs, CString* reason, bool matchCatalogue = true);

// The EPSG-style description of a valid system. projected tells which of the
// two records is filled beyond the geographic one. Planar systems have no
// such description (0, with a reason).
ZRPRJ_API int ZrInteropDescribe(const CZrPJCoordSys& cs, ZrEpsgGeographicRecord& geog,
                                ZrEpsgProjectedRecord& proj, bool& projected, CString* reason);
