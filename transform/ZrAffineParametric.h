#pragma once

#include "model/ZrPJCoordSys.h"
#include "platform/ZrExport.h"
#include "platform/ZrPoint.h"

// EPSG's affine parametric transformation (method 9624) between two
// projected systems, on their own coordinates:
//   x' = a0 + a1 x + a2 y,   y' = b0 + b1 x + b2 y,
// x, y in the source system's unit, x', y' in the target's (the
// coefficients carry any change of unit, Clarke's feet to metres in
// Jamaica's case). A datum operation runs between geographic coordinates, so
// the step projects the point on the source system, applies the affine and
// takes the result back through the target system; the round trip through
// each projection is exact to nanometres. Heights pass unchanged, as PROJ's
// affine with its vertical coefficients left at one keeps them.
// Built once; applying it only reads, so one may serve several threads.
class ZRPRJ_API CZrAffineParametric {
public:
    // coefficients: a0 a1 a2 b0 b1 b2 as EPSG states them from source to target.
    CZrAffineParametric(const CZrPJCoordSys& source, const CZrPJCoordSys& target,
                        const double coefficients[6]);

    // Whether the matrix can be inverted (EPSG's all can; a zero
    // determinant would leave the inverse undefined).
    bool IsValid() const { return m_det != 0.0; }

    // Plane coordinates, source to target (forward nonzero) or back.
    void ApplyPlane(double& x, double& y, int forward) const;
    // (lon, lat in degrees on the source's geographic system, height) to the
    // target's geographic system (forward nonzero) or back; false, the point
    // untouched, where either projection cannot take it.
    bool Apply(CPoint3D& pt, int forward) const;

private:
    CZrPJCoordSys m_source, m_target;
    double m_a0, m_a1, m_a2, m_b0, m_b1, m_b2;
    double m_det; // a1 b2 - a2 b1
};
