#pragma once

#include "platform/ZrExport.h"

// One predefined projected coordinate system. Rows of the families that follow
// a rule (UTM, Gauss-Krueger, ...) are generated on lookup, so the name is
// written into the row rather than pointing at a literal.
struct ZrProjectedRow {
    long code;
    char name[96];
    long units;        // linear-unit code, tenths of a millimetre
    long gcs;          // geographic coordinate-system code
    long kind;         // projection kind code
    double params[10]; // FE, FN, CM, CP, SP1, SP2, k, AZ, LON1, LON2 (angles in degrees)
};

// Fills row for a catalogue code; returns 1, or 0 (row untouched) when the
// code has no row. Allocates nothing.
ZRPRJ_API int ZrFindProjectedRow(long code, ZrProjectedRow& row);

// Every catalogue code, ascending: ZrProjectedCodeAt(0 .. ZrProjectedRowCount()-1).
ZRPRJ_API int ZrProjectedRowCount();
ZRPRJ_API long ZrProjectedCodeAt(int index);
