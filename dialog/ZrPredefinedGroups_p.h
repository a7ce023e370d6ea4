#pragma once

// The families of predefined projected systems the predefined page offers:
// each main item (a string resource) with its group code, and the group's
// sub-class entries as string resources paired with catalogue codes.

#include "platform/ZrExport.h"

#include <vector>

// A run of entries: count string ids from firstId, stepping by idStep, paired
// in step with the codes counting up by one from firstCode.
struct ZrPredefinedRun {
    unsigned int firstId;
    long firstCode;
    int count;
    int idStep;
};

struct ZrPredefinedGroup {
    long code;             // group code, the main item's item data
    unsigned int stringId; // text of the main item
    const ZrPredefinedRun* runs;
    int runCount;
    int preselect; // list index selected when the group is chosen
};

struct ZrPredefinedEntry {
    unsigned int stringId;
    long code;
};

// The groups in the order of the table (not by code).
ZRPRJ_API int ZrPredefinedGroupCount();
ZRPRJ_API const ZrPredefinedGroup* ZrPredefinedGroupAt(int index);
// nullptr for a code without a group.
ZRPRJ_API const ZrPredefinedGroup* ZrFindPredefinedGroup(long groupCode);
// The group's entries in list order.
ZRPRJ_API std::vector<ZrPredefinedEntry> ZrPredefinedGroupEntries(const ZrPredefinedGroup& group);
// The group with the lowest group code that lists the coordinate-system code;
// nullptr when none does.
ZRPRJ_API const ZrPredefinedGroup* ZrFindPredefinedGroupOfCode(long coordSysCode);
