#pragma once

// Finding a coordinate system by what a user knows of it: a code ("4490",
// "EPSG:2154", "ESRI:54030"), a fragment of its name in any order
// ("Lambert 93", "beijing_1954 zone 20"), or a Chinese name of a datum or
// projection ("北京54", "国家2000"), over the catalogue the wizard's lists
// offer and every EPSG system the library builds.

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

// The best hits first, at most nLimit: an exact code, then names whose words
// start with every word typed, then names that merely contain them, shorter
// names before longer ones, as projinfo orders its search. Spaces,
// underscores, hyphens and slashes separate words alike; ASCII case is
// ignored.
ZRPRJ_API std::vector<ZrSystemSearchHit> ZrSearchCoordSystems(const CString& text, int nLimit);

// Builds the system of a hit; 0 and cs untouched when it cannot be built.
ZRPRJ_API int ZrBuildSearchHit(const ZrSystemSearchHit& hit, CZrPJCoordSys& cs);
