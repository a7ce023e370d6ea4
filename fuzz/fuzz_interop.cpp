// libFuzzer entry for one importer of the exchange forms, chosen at build
// time (ZRPRJ_FUZZ_INTEROP), so each importer is its own target with its own
// corpus. Every importer must take any bytes without crashing, leaking,
// hanging or tripping a sanitizer; what it built is written out again in every
// form, so the writers see whatever the readers accept.

#include "interop/ZrInterop.h"
#include "interop/ZrInteropForms_p.h"

#include <cstddef>
#include <cstdint>

#ifndef ZRPRJ_FUZZ_INTEROP
#error "ZRPRJ_FUZZ_INTEROP selects the importer"
#endif

namespace {

enum Importer {
    Wkt = 1,        // well-known text, every dialect
    ProjString = 2, // "+proj=... +type=crs"
    ProjJson = 3,
};

int Import(int importer, const CString& text, CZrPJCoordSys& cs, CString& reason) {
    switch (importer) {
    case Wkt:
        return ZrImportWkt(text, cs, &reason, nullptr);
    case ProjString:
        return ZrImportProjString(text, cs, &reason);
    case ProjJson:
        return ZrImportProjJson(text, cs, &reason);
    default:
        return 0;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const CString text(reinterpret_cast<const char*>(data), static_cast<int>(size));
    CZrPJCoordSys cs;
    CString reason;
    if (!Import(ZRPRJ_FUZZ_INTEROP, text, cs, reason)) return 0;
    const tagZrCrsTextFormat forms[] = {ZR_CRS_TEXT_ESRI_WKT1, ZR_CRS_TEXT_WKT1_GDAL, ZR_CRS_TEXT_WKT2_2019,
                                        ZR_CRS_TEXT_PROJ_STRING, ZR_CRS_TEXT_PROJJSON};
    for (const tagZrCrsTextFormat form : forms) {
        CString out;
        if (!ZrExportCoordSys(cs, form, out, &reason)) continue;
        CZrPJCoordSys again;
        ZrImportCoordSys(out, again, &reason);
    }
    return 0;
}
