// The wizard's search field over the library's search: the hits it can
// build, in its order, and the system of a hit.

#include "dialog/ZrSystemSearch.h"

#include "interop/ZrInterop.h"
#include "interop/ZrSearch.h"
#include "model/ZrPJTypes.h"

namespace {
constexpr long kMetreUnits = 10000;
} // namespace

std::vector<ZrSystemSearchHit> ZrSearchCoordSystems(const CString& text, int nLimit) {
    std::vector<ZrSystemSearchHit> hits;
    if (nLimit <= 0) return hits;
    std::vector<ZrSearchHit> found;
    ZrSearchCoordSys(text.c_str(), found, 0);
    for (const ZrSearchHit& f : found) {
        // A system no projection kind computes cannot be chosen: the list
        // offers only what Finish can hand back.
        if (!f.built) continue;
        ZrSystemSearchHit hit;
        hit.code = f.code.c_str();
        hit.name = f.name.c_str();
        hit.epsgCode = f.epsgCode;
        hit.catalogue = f.catalogueCode;
        hit.bGeographic = !f.projected;
        hits.push_back(hit);
        if (static_cast<int>(hits.size()) == nLimit) break;
    }
    return hits;
}

int ZrBuildSearchHit(const ZrSystemSearchHit& hit, CZrPJCoordSys& cs) {
    CZrPJCoordSys built;
    if (hit.epsgCode > 0) {
        if (!ZrCoordSysFromEpsg(hit.epsgCode, built)) return 0;
    } else if (hit.catalogue == 0) {
        return 0;
    } else if (hit.bGeographic) {
        CZrPJGeoCoordSys gcs;
        gcs.Set(static_cast<tagGeoCoordSysType>(hit.catalogue));
        built.SetEarth(gcs, kMetreUnits);
    } else {
        built.Set(static_cast<tagPJCoordSysType>(hit.catalogue));
    }
    if (built.GetType() != PJ_CS_PLANAR && !built.IsValid()) return 0;
    cs = built;
    return 1;
}
