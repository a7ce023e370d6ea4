#pragma once

// NAD83 / California zone 5 as EPSG defines it in US survey feet: false
// easting 6 561 666.667 ftUS (2 000 000 m), false northing 1 640 416.667 ftUS;
// built here in the given unit code.
#include "model/ZrPJCoordSys.h"

inline CZrPJCoordSys CaliforniaZone5(long units) {
    CZrPJGeoCoordSys gcs;
    gcs.Set(PJ_GCS_NORTH_AMERICAN_1983);
    CZrPJParams p;
    p.FalseEasting = 6561666.667;
    p.FalseNorthing = 1640416.667;
    p.CentralMeridian = -118.0;
    p.CentralParallel = 33.5;
    p.StandardParallel1 = 34.03333333333333;
    p.StandardParallel2 = 35.46666666666667;
    CZrPJCoordSys cs;
    cs.Set("NAD83 / California zone 5 (ftUS)", gcs, CZrPJObject(PJ_KIND_LAMBERT_CONFORMAL_CONIC), p, units);
    return cs;
}
