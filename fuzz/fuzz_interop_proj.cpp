// libFuzzer entry for the PROJ-string (ZRPRJ_FUZZ_PROJ_FORM 1) and PROJJSON
// (2) importers. Any bytes must be refused or read without crashing, leaking,
// hanging or tripping a sanitizer; a system that was read is written in both
// forms, and what the library writes it must read back.

#include "interop/ZrInteropForms_p.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#ifndef ZRPRJ_FUZZ_PROJ_FORM
#error "ZRPRJ_FUZZ_PROJ_FORM selects the importer"
#endif

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const CString text(reinterpret_cast<const char*>(data), static_cast<int>(size));
    CZrPJCoordSys cs;
    CString reason;
    const int read = ZRPRJ_FUZZ_PROJ_FORM == 1 ? ZrImportProjString(text, cs, &reason)
                                               : ZrImportProjJson(text, cs, &reason);
    if (!read) {
        if (reason.IsEmpty()) std::abort(); // a refusal always says why
        return 0;
    }
    for (int form = 1; form <= 2; ++form) {
        CString written;
        if (!(form == 1 ? ZrExportProjString(cs, written, &reason) : ZrExportProjJson(cs, written, &reason)))
            continue; // a system the form cannot hold, refused with a reason
        CZrPJCoordSys back;
        if (!(form == 1 ? ZrImportProjString(written, back, &reason) : ZrImportProjJson(written, back, &reason)))
            std::abort(); // what we write, we read
    }
    return 0;
}
