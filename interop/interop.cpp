// Placeholder until this part of the exchange forms is written.
#include "interop/ZrInterop.h"
#include "interop/ZrInteropForms_p.h"

int ZrExportCoordSys(const CZrPJCoordSys&, tagZrCrsTextFormat, CString&, CString* reason) {
    if (reason) *reason = "not available";
    return 0;
}
tagZrCrsTextFormat ZrDetectCrsTextFormat(const CString&) {
    return ZR_CRS_TEXT_UNKNOWN;
}
int ZrImportCoordSys(const CString&, CZrPJCoordSys&, CString* reason, tagZrCrsTextFormat*) {
    if (reason) *reason = "not available";
    return 0;
}
long ZrEpsgCodeOf(const CZrPJCoordSys&) {
    return -1000;
}
long ZrEpsgGeographicCodeOf(const CZrPJCoordSys&) {
    return -1000;
}
