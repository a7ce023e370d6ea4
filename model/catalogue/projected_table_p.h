#pragma once

// Private parts of the projected catalogue: the row tables searched by code and
// the rule families, each in its own file.
#include "model/catalogue/ZrProjectedCatalogue.h"

// Parameter slots of ZrProjectedRow::params.
enum ZrProjectedParam {
    kParamFE,
    kParamFN,
    kParamCM,
    kParamCP,
    kParamSP1,
    kParamSP2,
    kParamK,
    kParamAZ,
    kParamLon1,
    kParamLon2
};

constexpr long kUnitMetre = 10000;
constexpr long kUnitFoot = 3048;
constexpr long kUnitYard = 9144;

// One row of a table family, sorted by code.
struct ZrProjectedTableRow {
    long code;
    const char* name;
    long units;
    long gcs;
    long kind;
    double params[10];
};

struct ZrProjectedTable {
    const ZrProjectedTableRow* rows;
    int count;
};

const ZrProjectedTable& ZrNationalTable();   // national and regional grids
const ZrProjectedTable& ZrStatePlaneTable(); // United States State Plane zones

// Binary search of a sorted table; fills row and returns 1, or 0.
int ZrFindTableRow(const ZrProjectedTable& table, long code, ZrProjectedRow& row);

// The rule families. Each fills row and returns 1 for one of its codes, else 0,
// and writes its codes (ascending or not) to out, returning how many.
int ZrFindZoneRow(long code, ZrProjectedRow& row); // UTM, Gauss-Krueger, Australian, Japanese, Korean zones
int ZrZoneCodes(long* out);
int ZrFindWorldRow(long code, ZrProjectedRow& row); // world and sphere projections
int ZrWorldCodes(long* out);

// Clears the row and writes the fields that every family sets.
void ZrStartRow(ZrProjectedRow& row, long code, long units, long gcs, long kind);
