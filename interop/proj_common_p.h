#pragma once

// Internal, shared by the PROJ-string and PROJJSON forms: linear units by
// their EPSG code, EPSG name and PROJ name, and number formatting that reads
// back to the same double whatever the locale.

#include <string>

struct ZrLinearUnit {
    long epsgCode;
    const char* epsgName; // as PROJ writes it in WKT2 and PROJJSON
    const char* projName; // "+units=" value; null when PROJ has none
    double toMetre;
};

// By PROJ name, by EPSG or common name (case-insensitive), by factor (exactly
// equal, or within 1e-12 relative). Null when unknown.
const ZrLinearUnit* ZrFindUnitByProjName(const char* name);
const ZrLinearUnit* ZrFindUnitByName(const char* name);
const ZrLinearUnit* ZrFindUnitByFactor(double toMetre);

// The shortest decimal text that reads back to value.
std::string ZrShortestNumber(double value);
// A whole decimal number in C syntax (no hex, inf or nan), locale-free. 1 and
// out set when all of text is such a number and finite.
int ZrReadNumber(const std::string& text, double& out);
