// Placeholder until this part of the exchange forms is written.
#include "interop/ZrInteropCore_p.h"

const ZrMethodNames* ZrFindMethod(long) {
    return nullptr;
}
const ZrMethodNames* ZrFindMethodByName(const char*) {
    return nullptr;
}
int ZrMethodParameters(long, const ZrParameterNames**, int) {
    return 0;
}
const ZrParameterNames* ZrFindParameterByName(long, const char*) {
    return nullptr;
}
int ZrInteropBuild(const ZrEpsgGeographicRecord&, const ZrEpsgProjectedRecord*, CZrPJCoordSys&,
                   CString* reason) {
    if (reason) *reason = "not available";
    return 0;
}
int ZrInteropDescribe(const CZrPJCoordSys&, ZrEpsgGeographicRecord&, ZrEpsgProjectedRecord&, bool&,
                      CString* reason) {
    if (reason) *reason = "not available";
    return 0;
}
