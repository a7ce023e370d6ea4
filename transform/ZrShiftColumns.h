#pragma once

#include "platform/ZrExport.h"
#include "transform/ZrDatumShift.h"

#include <cstddef>

// The datum shift of columns of points in place: x[i], y[i] (and z[i]) lie
// strideX, strideY (and strideZ) bytes apart. With z null each point shifts
// as ZrShiftDatum shifts a CPoint2D, with z as it shifts a CPoint3D, within
// a nanometre; the geocentric translation and the seven-parameter methods of
// 2-D points between Greenwich-based systems compute several points at a time.
ZRPRJ_API void ZrShiftDatumColumns(const ZrDatumShift& shift, double* x, std::size_t strideX, double* y,
                                   std::size_t strideY, double* z, std::size_t strideZ, long count,
                                   int forward);
