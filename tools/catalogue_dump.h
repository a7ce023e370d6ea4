#pragma once

// Writes every catalogue object in the plain-text form that
// tools/gen_codetransition.py reads (one object a line, numbers with 17
// significant digits):
//   S code axis flattening            spheroid
//   P code longitude                  prime meridian (degrees east of Greenwich)
//   D code spheroid                   datum
//   G code datum primeMeridian        geographic system
//   C code units gcs kind p1 .. p10   projected system (parameters as stored)
#include "model/ZrPJDatum.h"
#include "model/ZrPJGeoCoordSys.h"
#include "model/ZrPJPrimeMeridian.h"
#include "model/ZrPJSpheroid.h"
#include "model/catalogue/ZrProjectedCatalogue.h"

#include <cstdio>

inline void ZrWriteCatalogueDump(std::FILE* out) {
    for (int i = 0; i < CZrPJSpheroid::GetCatalogueCount(); ++i) {
        CZrPJSpheroid s;
        if (!s.Set(static_cast<tagPJSpheroidType>(CZrPJSpheroid::GetCatalogueCode(i)))) continue;
        std::fprintf(out, "S %ld %.17g %.17g\n", s.GetType(), s.GetAxis(), s.GetFlattening());
    }
    for (int i = 0; i < CZrPJPrimeMeridian::GetCatalogueCount(); ++i) {
        CZrPJPrimeMeridian p;
        if (!p.Set(static_cast<tagPJPrimeMeridianType>(CZrPJPrimeMeridian::GetCatalogueCode(i)))) continue;
        std::fprintf(out, "P %ld %.17g\n", p.GetType(), p.GetLongitude());
    }
    for (int i = 0; i < CZrPJDatum::GetCatalogueCount(); ++i) {
        CZrPJDatum d;
        if (!d.Set(static_cast<tagDatumType>(CZrPJDatum::GetCatalogueCode(i)))) continue;
        std::fprintf(out, "D %ld %ld\n", d.GetType(), d.GetSpheroid().GetType());
    }
    for (int i = 0; i < CZrPJGeoCoordSys::GetCatalogueCount(); ++i) {
        CZrPJGeoCoordSys g;
        if (!g.Set(static_cast<tagGeoCoordSysType>(CZrPJGeoCoordSys::GetCatalogueCode(i)))) continue;
        std::fprintf(out, "G %ld %ld %ld\n", g.GetType(), g.GetDatum().GetType(),
                     g.GetPrimeMeridian().GetType());
    }
    for (int i = 0; i < ZrProjectedRowCount(); ++i) {
        ZrProjectedRow row;
        if (!ZrFindProjectedRow(ZrProjectedCodeAt(i), row)) continue;
        std::fprintf(out, "C %ld %ld %ld %ld", row.code, row.units, row.gcs, row.kind);
        for (double p : row.params)
            std::fprintf(out, " %.17g", p);
        std::fprintf(out, "\n");
    }
}
