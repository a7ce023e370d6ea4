// Placeholder until this part of the exchange forms is written.
#include "interop/ZrEpsgData_p.h"

int ZrEpsgFindGeographic(long, ZrEpsgGeographicRecord&) {
    return 0;
}
int ZrEpsgFindProjected(long, ZrEpsgProjectedRecord&) {
    return 0;
}
int ZrEpsgFindTransformation(long, ZrEpsgTransformationRecord&) {
    return 0;
}
int ZrEpsgListTransformations(long, long, std::vector<ZrEpsgTransformationRecord>&) {
    return 0;
}
void ZrEpsgProjectedCodes(std::vector<long>& out) {
    out.clear();
}
void ZrEpsgGeographicCodes(std::vector<long>& out) {
    out.clear();
}
int ZrEpsgDataAvailable() {
    return 0;
}
std::string ZrEpsgDataPath() {
    return std::string();
}
