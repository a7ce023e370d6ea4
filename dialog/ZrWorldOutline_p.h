#pragma once

// Internal: the world's coastlines, generalised for a map a few hundred pixels
// wide, compiled into the library (dialog/resources/coastline_data.cpp, made
// by tools/gen_coastline.py). Compiled in rather than installed beside the
// library: the map is a picture of the dialog like its banner bitmap, and a
// missing file would leave the area of use drawn on nothing.

#include "platform/ZrExport.h"

struct ZrWorldOutline {
    const short* points; // longitude, latitude pairs, in 1/unitsPerDegree degrees
    const int* starts;   // polyline i runs over points starts[i] .. starts[i + 1] - 1
    int polylineCount;
    int unitsPerDegree;
};

ZRPRJ_API const ZrWorldOutline& ZrGetWorldOutline();
