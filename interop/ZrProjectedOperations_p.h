#pragma once

// Internal: EPSG's operations between two projected systems themselves
// (the affine parametric transformations, 9624), as datum operations the
// translator runs. PROJ offers such an operation for that pair of systems
// alone, and never between their geographic systems.

#include "model/ZrPJCoordSys.h"
#include "platform/ZrString.h"
#include "transform/ZrDatumOperation.h"

#include <vector>

struct ZrOperationSummary;

// Adds to choice the operations EPSG states between src and des (either
// direction); how many were added.
int ZrAddProjectedPairOperations(const CZrPJCoordSys& src, const CZrPJCoordSys& des,
                                 CZrPJOperationChoice& choice);

// The operation `code` between src and des: 1 and op filled; 0 with a
// reason where code is such an operation but joins other systems; -1 where
// code is no operation between projected systems.
int ZrProjectedOperationByCode(const CZrPJCoordSys& src, const CZrPJCoordSys& des, long code,
                               ZrDatumOperation& op, CString* reason);

// What the host is told of the operations a translator was given: code,
// name and accuracy of each, best first; used is cleared first.
void ZrSummariseOperations(const CZrPJOperationChoice& choice, std::vector<ZrOperationSummary>& used);
