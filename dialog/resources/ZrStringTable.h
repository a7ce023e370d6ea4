#pragma once

#include "platform/ZrExport.h"

// The library's string table: texts in UTF-8, found by their resource id as
// MFC's LoadString finds them (CString::LoadString reads this table).
struct ZrStringTableEntry {
    unsigned int id;
    const char* text;
};

// The text of the id, or nullptr when the table has none.
ZRPRJ_API const char* ZrFindStringTableText(unsigned int id);
