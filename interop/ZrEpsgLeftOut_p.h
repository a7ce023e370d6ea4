#pragma once

// Internal: the EPSG projected systems the data file names without holding
// them, because no projection kind computes their method.

#include "platform/ZrExport.h"

#include <string>

struct ZrEpsgLeftOutRecord {
    long code = 0;
    std::string name;
    long methodCode = 0;
    std::string methodName;
};

// 1 and the record filled when the data file names that code as left out.
ZRPRJ_API int ZrEpsgFindLeftOut(long code, ZrEpsgLeftOutRecord& out);
