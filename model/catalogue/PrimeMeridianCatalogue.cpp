// Prime meridians: code, name, longitude east of Greenwich in decimal
// degrees, stored to six decimals (Ferro is -17.666667, not -17 2/3).
#include "model/catalogue/GeodeticCatalogue_p.h"

static constexpr ZrPrimeMeridianRow kPrimeMeridianRows[] = {
    {8901, "Greenwich", 0.0},     {8902, "Lisbon", -9.131906},    {8903, "Paris", 2.337229},
    {8904, "Bogota", -74.080917}, {8905, "Madrid", -3.687939},    {8906, "Rome", 12.452333},
    {8907, "Bern", 7.439583},     {8908, "Jakarta", 106.807719},  {8909, "Ferro", -17.666667},
    {8910, "Brussels", 4.367975}, {8911, "Stockholm", 18.058278}, {8912, "Athens", 23.716337},
};

static_assert(ZrRowsAscending(kPrimeMeridianRows), "the lookup searches the rows by code");

const ZrPrimeMeridianRow* ZrFindPrimeMeridianRow(long code) {
    return ZrFindRowByCode(kPrimeMeridianRows, code);
}
int ZrPrimeMeridianRowCount() {
    return ZrRowCount(kPrimeMeridianRows);
}
const ZrPrimeMeridianRow* ZrPrimeMeridianRowAt(int index) {
    return ZrRowAt(kPrimeMeridianRows, index);
}
