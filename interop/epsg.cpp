// Placeholder until this part of the exchange forms is written.
#include "interop/ZrInterop.h"

int ZrCoordSysFromEpsg(long, CZrPJCoordSys&, CString* reason) {
    if (reason) *reason = "not available";
    return 0;
}
int ZrEpsgTransformationByCode(long, ZrEpsgTransformation&, CString* reason) {
    if (reason) *reason = "not available";
    return 0;
}
int ZrEpsgTransformationCandidates(long, long, ZrEpsgTransformation*, int) {
    return 0;
}
int ZrSetTranslatorTransformation(CZrPJTranslator&, const CZrPJCoordSys&, const CZrPJCoordSys&, long,
                                  CString* reason) {
    if (reason) *reason = "not available";
    return 0;
}
