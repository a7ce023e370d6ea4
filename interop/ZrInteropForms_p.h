#pragma once

#include "platform/ZrExport.h"

// Internal: the readers and writers of each exchange form, dispatched by
// ZrExportCoordSys and ZrImportCoordSys.

#include "interop/ZrEpsgData_p.h"
#include "interop/ZrInterop.h"

#include <vector>

// Well-known text: ESRI WKT1, OGC WKT1 (GDAL) and WKT2:2019.
ZRPRJ_API int ZrExportWkt(const CZrPJCoordSys& cs, tagZrCrsTextFormat dialect, CString& text,
                          CString* reason);
ZRPRJ_API int ZrImportWkt(const CString& text, CZrPJCoordSys& cs, CString* reason,
                          tagZrCrsTextFormat* dialect);

// PROJ strings ("+proj=... +type=crs").
ZRPRJ_API int ZrExportProjString(const CZrPJCoordSys& cs, CString& text, CString* reason);
ZRPRJ_API int ZrImportProjString(const CString& text, CZrPJCoordSys& cs, CString* reason);

// PROJJSON.
ZRPRJ_API int ZrExportProjJson(const CZrPJCoordSys& cs, CString& text, CString* reason);
ZRPRJ_API int ZrImportProjJson(const CString& text, CZrPJCoordSys& cs, CString* reason);

// The geocentric system a text describes by the datum of a geographic system
// (geog, its code the geographic system's where known), in metres: on EPSG's
// own geographic system where the text's ellipsoid and meridian are EPSG's,
// as EPSG:n builds it, else on the system the description builds.
int ZrInteropBuildGeocentric(const ZrEpsgGeographicRecord& geog, const std::string& name, CZrPJCoordSys& cs,
                             CString* reason);

// Largest text any importer reads, and deepest nesting it follows.
constexpr int kZrInteropMaxTextBytes = 1 << 20;
constexpr int kZrInteropMaxDepth = 64;

// Whether a reader takes text at all: no longer than kZrInteropMaxTextBytes,
// and one text (an embedded NUL means binary data). false otherwise, with a
// reason that says the text is not the expected kind ("a well-known text").
bool ZrInteropTextReadable(const CString& text, const char* expected, CString* reason);

// While ZrImportCoordSysWithShift reads a text, the readers hand the shift a
// text states to this carrier (of the calling thread) instead of checking it
// against EPSG's; null otherwise.
struct ZrShiftCarrier {
    std::vector<double> values; // 3 or 7, position vector; empty for none
    bool nullGrid = false;      // "+nadgrids=@null"
};
ZrShiftCarrier*& ZrActiveShiftCarrier();
