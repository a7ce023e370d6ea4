// Placeholder until this part of the exchange forms is written.
#include "interop/ZrInteropForms_p.h"

int ZrExportProjString(const CZrPJCoordSys&, CString&, CString* reason) {
    if (reason) *reason = "not available";
    return 0;
}
int ZrImportProjString(const CString&, CZrPJCoordSys&, CString* reason) {
    if (reason) *reason = "not available";
    return 0;
}
