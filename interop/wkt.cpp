// Placeholder until this part of the exchange forms is written.
#include "interop/ZrInteropForms_p.h"

int ZrExportWkt(const CZrPJCoordSys&, tagZrCrsTextFormat, CString&, CString* reason) {
    if (reason) *reason = "not available";
    return 0;
}
int ZrImportWkt(const CString&, CZrPJCoordSys&, CString* reason, tagZrCrsTextFormat*) {
    if (reason) *reason = "not available";
    return 0;
}
