// EPSG's affine parametric transformation between two projected systems.
#include "transform/ZrAffineParametric.h"

#include <cmath>

CZrAffineParametric::CZrAffineParametric(const CZrPJCoordSys& source, const CZrPJCoordSys& target,
                                         const double c[6])
    : m_source(source), m_target(target), m_a0(c[0]), m_a1(c[1]), m_a2(c[2]), m_b0(c[3]), m_b1(c[4]),
      m_b2(c[5]), m_det(c[1] * c[5] - c[2] * c[4]) {}

void CZrAffineParametric::ApplyPlane(double& x, double& y, int forward) const {
    if (forward) {
        const double u = m_a0 + m_a1 * x + m_a2 * y;
        const double v = m_b0 + m_b1 * x + m_b2 * y;
        x = u;
        y = v;
        return;
    }
    // The exact inverse of the 2x2 matrix (Cramer's rule), as PROJ's affine
    // inverts its own; EPSG defines no separate reverse values for 9624.
    const double dx = x - m_a0, dy = y - m_b0;
    x = (m_b2 * dx - m_a2 * dy) / m_det;
    y = (m_a1 * dy - m_b1 * dx) / m_det;
}

bool CZrAffineParametric::Apply(CPoint3D& pt, int forward) const {
    const CZrPJCoordSys& from = forward ? m_source : m_target;
    const CZrPJCoordSys& to = forward ? m_target : m_source;
    CPoint2D p(pt.x, pt.y);
    if (!from.Forward(&p, 1) || !std::isfinite(p.x) || !std::isfinite(p.y)) return false;
    ApplyPlane(p.x, p.y, forward);
    if (!to.Inverse(&p, 1) || !std::isfinite(p.x) || !std::isfinite(p.y)) return false;
    pt.x = p.x;
    pt.y = p.y;
    return true;
}
