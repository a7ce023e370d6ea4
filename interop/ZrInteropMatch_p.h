#pragma once

#include "platform/ZrExport.h"

// Internal: how an EPSG-style description finds the catalogue objects it
// means, and the mapping file read once per thread.

#include "interop/ZrEpsgData_p.h"
#include "model/ZrPJCoordSys.h"
#include "model/ZrPJGeoCoordSys.h"
#include "platform/ZrString.h"

// The EPSG code the mapping file gives a catalogue code, and the catalogue
// code it gives an EPSG code; -1000 when there is none. The file is read once
// per thread and again when its path, size or time changes.
ZRPRJ_API long ZrMappedEpsgCode(long catalogueCode);
ZRPRJ_API long ZrMappedCatalogueCode(long epsgCode);
// The same, and which reading of the file (in this thread) answered: it
// changes whenever the file is read anew, so that what was built from an
// earlier reading can be told apart.
ZRPRJ_API long ZrMappedCatalogueCode(long epsgCode, unsigned long& generation);

// The geographic system a description means: the catalogue system it names
// (by mapped code or by name) when the definitions agree, else one defined
// from parts whose datum, ellipsoid and prime meridian are catalogue objects
// where those agree. Always succeeds for a checked description.
bool ZrMatchGeographic(const ZrEpsgGeographicRecord& geog, CZrPJGeoCoordSys& gcs);

// Replaces built (a valid user-defined projected system) by the catalogue
// system the description names, when the two agree within a millimetre on a
// grid around the origin; failing a name, by a catalogue system of exactly the
// same definition. Returns whether it did.
bool ZrMatchProjected(const ZrEpsgProjectedRecord& proj, CZrPJCoordSys& built);

// Whether two systems put every point of a 7x7 grid, 6 degrees square about
// a's origin, within a millimetre of each other (longitudes from each one's
// own prime meridian, coordinates in metres).
bool ZrAgreesWithinAMillimetre(const CZrPJCoordSys& a, const CZrPJCoordSys& b);
// The farthest apart a and b put points of EPSG's area of use of the code
// (a 9x9 grid from edge to edge and a 5x5 one inset a tenth), forward and
// a's inverse of b's coordinates, as a distance on the ground in metres; 0
// where the data file has no area.
ZRPRJ_API double ZrFarthestOverArea(const CZrPJCoordSys& a, const CZrPJCoordSys& b, long code);
// Whether ZrFarthestOverArea is within kZrAreaAgreementMetres.
bool ZrAgreesOverArea(const CZrPJCoordSys& a, const CZrPJCoordSys& b, long code);
// How close over the area a catalogue row must come to EPSG's own definition
// to answer for it: half a millimetre, so that the row stays within a
// millimetre of any other software computing EPSG's definition to half a
// millimetre, at the sampled points and between them.
constexpr double kZrAreaAgreementMetres = 0.5e-3;

// ZrInteropBuild for a text read in: as ZrInteropBuild, except that the
// text's ellipsoid figures are kept where the catalogue's spheroid rounds
// them, and a text that is EPSG's n (named or identified so) gives that
// system as ZrCoordSysFromEpsg builds it.
int ZrInteropBuildImported(const ZrEpsgGeographicRecord& geog, const ZrEpsgProjectedRecord* proj,
                           CZrPJCoordSys& cs, CString* reason);

// The geographic halves of ZrInteropBuild and ZrInteropDescribe.
ZRPRJ_API int ZrInteropBuildGeographic(const ZrEpsgGeographicRecord& geog, CZrPJGeoCoordSys& gcs,
                                       CString* reason);
ZRPRJ_API int ZrInteropDescribeGeographic(const CZrPJGeoCoordSys& gcs, ZrEpsgGeographicRecord& geog);

// The units of the two ellipsoid comparisons, shared with the tests: axes
// within a millimetre, flattenings within 1e-10 (a polar radius within 0.64 mm):
// the catalogue keeps flattenings to eight digits, EPSG to the full double.
constexpr double kZrMatchAxisMetres = 1e-3;
constexpr double kZrMatchFlattening = 1e-10;

// The library's linear-unit code of a description's unit (metre 10000, an
// EPSG unit off that scale its exact code, any other unit its length in
// tenths of a millimetre when it is a whole number of them), and the reverse.
int ZrInteropUnitCode(const ZrEpsgProjectedRecord& proj, long& units, CString* reason);
void ZrInteropDescribeUnit(long units, ZrEpsgProjectedRecord& proj);

// Names compare without regard to case, blanks, underscores and hyphens.
bool ZrInteropSameName(const char* a, const char* b);

// A description (of cs, from ZrInteropDescribe) as the exports write it. Where
// cs is an EPSG system, one that computes EPSG's definition of its code within
// a millimetre over EPSG's area of use (a geographic system: its ellipsoid
// within the import's match, a polar radius within 0.64 mm), EPSG's own
// records replace the description's: exact figures, names and codes, which
// other software identifies at full confidence (the catalogue keeps
// flattenings to nine or ten decimals, and a WGS 84 written as
// 1/f 298.2572204270286 is not WGS 84 to PROJ or GDAL). Where it differs, its
// own figures stay and the code goes: it is not EPSG's n. esriNames keeps
// ESRI's names (the catalogue's, else ESRI's aliases in the data file).
// Returns false when nothing was replaced.
bool ZrInteropAsWritten(const CZrPJCoordSys& cs, ZrEpsgGeographicRecord& geog, ZrEpsgProjectedRecord* proj,
                        bool esriNames);
