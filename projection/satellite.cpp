// The view of the ellipsoid from a geostationary satellite: the angles under
// which the satellite's scanner sees each point, times the satellite's height
// (so that the map is in metres near the sub-satellite point). The scanner
// turns about one axis while stepping about the other: Meteosat sweeps about
// the y axis (the default of the method), GOES about the x axis, and the two
// differ away from the axes.
//
// Lengths are in units of a inside; the satellite is 1 + h/a from the centre,
// which the kind keeps as its scale factor (h is a height above the
// ellipsoid, as Colombia's city planes are).
#include "projection/ZrPJOperator.h"

#include "projection/ZrPJKernels_p.h"

#include <cmath>

using namespace zrpj;

namespace {
// The length of (a, b) for the view's lengths, all within a few units of a:
// std::hypot guards against overflow and underflow they cannot reach, at
// the cost of a library call that was half the view's time.
inline double Length(double a, double b) {
    return std::sqrt(a * a + b * b);
}
} // namespace

int CZrPJOperator::Setup_Geostationary() {
    const double g = m_def.k0;
    if (!(g > 1.0) || !std::isfinite(g)) return 0;
    m_sat.g = g;
    m_sat.g1 = g - 1.0;
    m_sat.c = g * g - 1.0;
    m_sat.p2 = 1.0 - m_ell.es;
    m_sat.p = std::sqrt(m_sat.p2);
    m_sat.pinv2 = 1.0 / m_sat.p2;
    return 1;
}

// The point's position seen from the satellite: (g - Vx, Vy, Vz) with V the
// point in units of a, the satellite on the x axis. Refused behind the limb:
// the line of sight meets the ellipsoid before the point.
int CZrPJOperator::GeostationaryView(CPoint2D& pt, double& t, double& vy, double& vz) const {
    // The geocentric latitude's cosine and sine, from tan = (1 - e^2) tan phi
    // without the arctangent; r is the radius there, in units of a.
    const double c0 = std::cos(pt.y), s0 = m_sat.p2 * std::sin(pt.y);
    const double n = Length(c0, s0);
    const double cphi = c0 / n, sphi = s0 / n;
    const double r = m_sat.p / Length(m_sat.p * cphi, sphi);
    const double vx = r * std::cos(pt.x) * cphi;
    vy = r * std::sin(pt.x) * cphi;
    vz = r * sphi;
    t = m_sat.g - vx;
    return (t * vx - vy * vy - vz * vz * m_sat.pinv2) >= 0.0;
}

int CZrPJOperator::Geostationary_Forward(CPoint2D& pt) const {
    double t, vy, vz;
    if (!GeostationaryView(pt, t, vy, vz)) return 0;
    const double h = m_sat.g1 * m_def.a;
    pt.x = h * std::atan(vy / t);
    pt.y = h * std::atan(vz / Length(vy, t));
    return 1;
}

int CZrPJOperator::Geostationary_Sweep_X_Forward(CPoint2D& pt) const {
    double t, vy, vz;
    if (!GeostationaryView(pt, t, vy, vz)) return 0;
    const double h = m_sat.g1 * m_def.a;
    pt.x = h * std::atan(vy / Length(vz, t));
    pt.y = h * std::atan(vz / t);
    return 1;
}

// The line of sight (-1, vy, vz) from the satellite meets the ellipsoid at
// the nearer root of a quadratic; none when it passes beside the globe.
int CZrPJOperator::GeostationaryLocate(CPoint2D& pt, double vy, double vz) const {
    const double vx = -1.0;
    const double zs = vz / m_sat.p;
    const double qa = vy * vy + zs * zs + vx * vx;
    const double qb = 2.0 * m_sat.g * vx;
    const double det = qb * qb - 4.0 * qa * m_sat.c;
    if (det < 0.0) return 0;
    const double k = (-qb - std::sqrt(det)) / (2.0 * qa);
    const double x = m_sat.g + k * vx, y = vy * k, z = vz * k;
    // Geodetic from geocentric: tan phi = tan phic / (1 - e^2), tan phic = z / hypot(x, y).
    pt.x = std::atan2(y, x);
    pt.y = std::atan(m_sat.pinv2 * z / Length(x, y));
    return 1;
}

int CZrPJOperator::Geostationary_Inverse(CPoint2D& pt) const {
    const double h = m_sat.g1 * m_def.a;
    const double vy = std::tan(pt.x / h);
    const double vz = std::tan(pt.y / h) * Length(1.0, vy);
    return GeostationaryLocate(pt, vy, vz);
}

int CZrPJOperator::Geostationary_Sweep_X_Inverse(CPoint2D& pt) const {
    const double h = m_sat.g1 * m_def.a;
    const double vz = std::tan(pt.y / h);
    const double vy = std::tan(pt.x / h) * Length(1.0, vz);
    return GeostationaryLocate(pt, vy, vz);
}
