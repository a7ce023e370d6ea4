#pragma once

#include "model/ZrPJCoordSys.h"
#include "platform/ZrExport.h"
#include "platform/ZrString.h"

#include <string>

class CZrPJTranslator;
struct ZrCarriedShift;

// A coordinate system named the ways a user names one, for the command-line
// tool and the language bindings alike:
//   - a catalogue code (a projected row, else a geographic system);
//   - "EPSG:n" (also "EPSG: n", "epsg:n"): the catalogue row the mapping file
//     names, else a system built from EPSG's own definition;
//   - "ESRI:n": the catalogue row n (the catalogue numbers its rows with
//     ESRI's codes), else EPSG's definition of n, which ESRI's codes reuse;
//   - the path of a system file, its form told by its content (WKT of any
//     dialect, PROJJSON, a PROJ string, the XML projection file, the
//     key-value file, the one-line text form);
//   - a PROJ string, WKT or PROJJSON text itself.
// Returns nonzero on success; on failure cs is unchanged and reason says what
// was expected. A planar system, which has no earth model to project with,
// is refused unless planarAllowed. With shift, a shift to WGS 84 that a text
// states (TOWGS84, BOUNDCRS, +towgs84, +nadgrids=@null) is taken whatever its
// values and handed back there; without, it must be one EPSG knows for the
// datum.
ZRPRJ_API int ZrResolveCoordSys(const std::string& spec, CZrPJCoordSys& cs, std::string* reason = nullptr,
                                bool planarAllowed = false, ZrCarriedShift* shift = nullptr);

// The same for a bare number as EPSG and ESRI codes are given: authority is
// "EPSG", "ESRI" or the library's own catalogue, "ZRPRJ" (any letter case).
ZRPRJ_API int ZrResolveCoordSysByAuthority(const std::string& authority, long code, CZrPJCoordSys& cs,
                                           std::string* reason = nullptr);

// Empty when the mapping file beside the library can be read; otherwise why
// not, naming the path where it was looked for.
ZRPRJ_API std::string ZrMappingFileProblem();

// Sets translator up to convert src to dst by the operation the library
// chooses for the two systems: none when they lie on one geographic system
// or one datum (by EPSG's datum code where a catalogue system and one built
// from EPSG's definition name it differently: longitude and latitude pass
// unchanged, whatever rounding either ellipsoid holds); else the best
// operation for each point, as PROJ's proj_create_crs_to_crs chooses it
// (EPSG's candidates best first, the first whose area of use holds the
// point, grid-based ones where the grid is found). 0 and reason when the datums differ and no operation is
// known: converting as if they were one would be wrong by up to hundreds of
// metres without a word. description names the operations that may apply.
ZRPRJ_API int ZrChooseOperation(const CZrPJCoordSys& src, const CZrPJCoordSys& dst,
                                CZrPJTranslator& translator, std::string* description = nullptr,
                                std::string* reason = nullptr);
