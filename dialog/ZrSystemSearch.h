#pragma once

// The wizard's side of the library's search (interop/ZrSearch.h): a code
// ("4490", "EPSG:2154", "ESRI:54030"), a fragment of a name in any order
// ("Lambert 93", "beijing_1954 zone 20") or a Chinese name ("北京54",
// "国家2000"), over the catalogue and every EPSG system the library builds;
// only hits that can be built, each with what the list shows and what builds
// it.

#include "model/ZrPJCoordSys.h"
#include "platform/ZrExport.h"
#include "platform/ZrString.h"

#include <vector>

struct ZrSystemSearchHit {
    CString code;       // as shown: "EPSG:2154", "ESRI:53001", or the catalogue's own number
    CString name;       // EPSG's name where EPSG has the system, else the catalogue's
    long epsgCode = 0;  // > 0: built from EPSG (which maps to the catalogue where it can)
    long catalogue = 0; // otherwise the catalogue code
    bool bGeographic = false;
};

// The best hits first (as the library ranks them), at most nLimit.
ZRPRJ_API std::vector<ZrSystemSearchHit> ZrSearchCoordSystems(const CString& text, int nLimit);

// Builds the system of a hit; 0 and cs untouched when it cannot be built.
ZRPRJ_API int ZrBuildSearchHit(const ZrSystemSearchHit& hit, CZrPJCoordSys& cs);
