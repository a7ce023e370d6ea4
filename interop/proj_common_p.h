#pragma once

// Internal, shared by the PROJ-string and PROJJSON forms: linear units by
// their EPSG code, EPSG name and PROJ name, and number formatting that reads
// back to the same double whatever the locale.

#include "platform/ZrExport.h"

#include <string>
#include <vector>

struct ZrLinearUnit {
    long epsgCode;
    const char* epsgName; // as PROJ writes it in WKT2 and PROJJSON
    const char* projName; // "+units=" value; null when PROJ has none
    double toMetre;
};

// By PROJ name, by EPSG or common name (case-insensitive), by factor (exactly
// equal, or within 1e-12 relative). Null when unknown.
const ZrLinearUnit* ZrFindUnitByProjName(const char* name);
const ZrLinearUnit* ZrFindUnitByName(const char* name);
ZRPRJ_API const ZrLinearUnit* ZrFindUnitByFactor(double toMetre);

// The shortest decimal text that reads back to value.
std::string ZrShortestNumber(double value);
// A whole decimal number in C syntax (no hex, inf or nan), locale-free. 1 and
// out set when all of text is such a number and finite.
int ZrReadNumber(const std::string& text, double& out);

// An azimuth or grid angle (EPSG 8813, 8814) as a direction in (-180, 180]:
// EPSG and PROJ write Alaska's skew azimuth as 323.13 degrees, which is the
// same line as -36.87 degrees.
double ZrDirectionDegrees(double degrees);

// A reason for a refusal, cut to one short line: reasons quote names and
// values from the text, which may be anything up to the importers' cap.
std::string ZrShortReason(const std::string& reason);

struct ZrEpsgGeographicRecord;

// A datum shift to WGS 84 as a text states it (+towgs84, a BoundCRS): 3 or 7
// values in the position-vector convention (metres, arc-seconds, ppm). A
// system here cannot carry a shift of its own, so the shift is honoured, never
// dropped: it must be none (all zero), or the shift EPSG prefers for the
// geographic system the text names (g.code, or the catalogue system its names
// give), or - where the text names none, as PROJ strings never do - identify
// the one EPSG geographic system with that ellipsoid, prime meridian and
// preferred shift, whose record then replaces g. Else 0 with a reason. The
// rule is the one the well-known-text reader applies to TOWGS84.
int ZrHonourShift(const std::vector<double>& shift, ZrEpsgGeographicRecord& g, std::string& reason);

// Miller and Van der Grinten on an ellipsoid mean the sphere of equal area to
// PROJ's CRS machinery (as to GDAL and ESRI in well-known text), while the
// kinds compute on the sphere of radius a: the forms carry them only on a
// sphere. 0 with a reason for such a description.
int ZrSphereOfRadiusA(long methodCode, double inverseFlattening, std::string& reason);
