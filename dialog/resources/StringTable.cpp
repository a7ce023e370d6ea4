#include "dialog/resources/ZrStringTable.h"

#include "platform/ZrString.h"

#include <cstddef>

namespace {
// Ascending by id (checked below); the lookup is a binary search.
constexpr ZrStringTableEntry kStringTable[] = {
    {28774, "经纬坐标系"},
    {28776, "平面坐标系"},
};

constexpr bool Ascending() {
    for (std::size_t i = 1; i < sizeof(kStringTable) / sizeof(kStringTable[0]); ++i)
        if (!(kStringTable[i - 1].id < kStringTable[i].id)) return false;
    return true;
}
static_assert(Ascending(), "the string table is searched by id");
} // namespace

const char* ZrFindStringTableText(unsigned int id) {
    std::size_t lo = 0, hi = sizeof(kStringTable) / sizeof(kStringTable[0]);
    while (lo < hi) {
        const std::size_t mid = lo + (hi - lo) / 2;
        if (kStringTable[mid].id < id)
            lo = mid + 1;
        else
            hi = mid;
    }
    return (lo < sizeof(kStringTable) / sizeof(kStringTable[0]) && kStringTable[lo].id == id)
               ? kStringTable[lo].text
               : nullptr;
}

int CString::LoadString(unsigned int id) {
    const char* text = ZrFindStringTableText(id);
    if (!text) return 0;
    *this = text;
    return 1;
}
