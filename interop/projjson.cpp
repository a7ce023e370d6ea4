// Placeholder until this part of the exchange forms is written.
#include "interop/ZrInteropForms_p.h"

int ZrExportProjJson(const CZrPJCoordSys&, CString&, CString* reason) {
    if (reason) *reason = "not available";
    return 0;
}
int ZrImportProjJson(const CString&, CZrPJCoordSys&, CString* reason) {
    if (reason) *reason = "not available";
    return 0;
}
