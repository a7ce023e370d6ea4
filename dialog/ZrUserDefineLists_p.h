#pragma once

// The lists of the user-defined first page: projection kinds, datums,
// spheroids and prime meridians, each a display name with its catalogue code.
// The geographic systems are the kind page's (ZrGeoCoordSysListEntries).

#include "dialog/ZrPageCoordSysSetting.h"

#include <vector>

ZRPRJ_API const ZrNamedCode* ZrProjectionKindListEntries(int* pCount);
ZRPRJ_API const ZrNamedCode* ZrSpheroidListEntries(int* pCount);
ZRPRJ_API const ZrNamedCode* ZrPrimeMeridianListEntries(int* pCount);
// Follows the geographic list: the datum of a geographic system g is g + 2000,
// with its own name where the datum's differs; the prime-meridian variants
// (4801 to 4815) and "Carthage (degrees)" bring no datum of their own.
ZRPRJ_API std::vector<ZrNamedCode> ZrDatumListEntries();
