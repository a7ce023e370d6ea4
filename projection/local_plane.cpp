// Kinds that map the ellipsoid onto a plane near one point: the Colombian
// city grids (a plane at the city's mean height) and the orthographic view of
// the ellipsoid itself.
//
// Both work on the ellipsoid, not on a sphere: the city grids because their
// definition is a truncated development about the origin whose terms are the
// radii of curvature there, the orthographic view because a parallel
// projection of the ellipsoid onto its tangent plane is exact and cheap (the
// inverse is a quadratic along the view direction, with no iteration).
#include "projection/ZrPJOperator.h"

#include "projection/ZrPJKernels_p.h"

#include <cmath>

using namespace zrpj;

namespace {
// Points whose normal leans this far behind the tangent plane (the cosine of
// its angle with the view direction) are on the far side of the ellipsoid.
constexpr double kOrthographicHorizon = 1e-10;
} // namespace

// ---------------------------------------------------------------------------
// Colombia urban: the city's plane lies h0 above the ellipsoid at the origin.
// The kind keeps h0 as the scale factor 1 + h0 / a, the ratio of that plane's
// distances to the ellipsoid's there, so no new parameter field is needed and
// a text writes h0 = a (k0 - 1) back without loss (6e-10 m in a double).
// Eastings scale the parallel's arc by 1 + h0/nu0, northings the meridian's
// (rho0 times the latitude difference) by 1 + h0/rho_m, rho_m its radius at
// the mean latitude of the point and the origin,
// with the second-order bend of the parallels; the inverse is the
// published one-step approximation (it is what the grids are defined by, and
// PROJ computes the same).
// ---------------------------------------------------------------------------
int CZrPJOperator::Setup_Colombia_Urban() {
    const double k = m_def.k0 == 0.0 ? 1.0 : m_def.k0;
    if (!(k > 0.0) || !std::isfinite(k)) return 0;
    const double h0 = m_def.a * (k - 1.0);
    const double phi0 = m_def.phi0;
    const double nu0 = N(phi0), rho0 = M(phi0);
    if (!(std::fabs(phi0) < kHalfPi)) return 0;
    m_pl.phi0 = phi0;
    m_pl.A = 1.0 + h0 / nu0;
    m_pl.B = std::tan(phi0) / (2.0 * rho0 * nu0);
    m_kc.c1 = h0;
    m_kc.c2 = rho0;
    m_pl.C = 1.0 + h0 / m_def.a;
    m_pl.D = rho0 * (1.0 + h0 / (m_def.a * (1.0 - m_ell.es)));
    return m_pl.A > 0.0 && m_pl.C > 0.0 && m_pl.D > 0.0;
}

int CZrPJOperator::Colombia_Urban_Forward(CPoint2D& pt) const {
    const double dlam = pt.x, phi = pt.y;
    const double s = std::sin(phi), c = std::cos(phi);
    const double nuCos = m_def.a / std::sqrt(1.0 - m_ell.es * s * s) * c;
    pt.x = m_pl.A * nuCos * dlam;
    // The arc is rho0's; the plane's height scales it by 1 + h0/rho_m, the
    // meridian's radius at the mean latitude of the point and the origin
    // (rho0 there is 0.16 mm off 28 km from a plane 4 km up).
    const double sm = std::sin(0.5 * (phi + m_pl.phi0));
    const double wm = 1.0 - m_ell.es * sm * sm;
    const double rhoM = m_def.a * (1.0 - m_ell.es) / (wm * std::sqrt(wm));
    pt.y = (1.0 + m_kc.c1 / rhoM) * m_kc.c2 * ((phi - m_pl.phi0) + m_pl.B * dlam * dlam * nuCos * nuCos);
    return 1;
}

int CZrPJOperator::Colombia_Urban_Inverse(CPoint2D& pt) const {
    const double u = pt.x / m_pl.C;
    const double phi = m_pl.phi0 + pt.y / m_pl.D - m_pl.B * u * u;
    if (!(std::fabs(phi) < kHalfPi)) return 0;
    const double s = std::sin(phi);
    const double nuCos = m_def.a / std::sqrt(1.0 - m_ell.es * s * s) * std::cos(phi);
    pt.x = u / nuCos;
    pt.y = phi;
    return 1;
}

// ---------------------------------------------------------------------------
// Orthographic on the ellipsoid: the point's offset from the origin, in the
// origin's east and north directions. In the origin meridian's frame (x to
// the equator under the origin, z to the pole) the origin is at
// (nu0 cos phi0, 0, nu0 (1 - e^2) sin phi0) and east, north and up are
// (0, 1, 0), (-sin phi0, 0, cos phi0) and (cos phi0, 0, sin phi0). A point is
// seen when its normal faces the viewer (up), which is the spherical test on
// geodetic latitudes.
// ---------------------------------------------------------------------------
int CZrPJOperator::Setup_Orthographic_Ellipsoid() {
    const double phi0 = m_def.phi0;
    if (!(std::fabs(phi0) <= kHalfPi)) return 0;
    m_pl.phi0 = phi0;
    m_pl.A = std::sin(phi0);
    m_pl.B = std::cos(phi0);
    m_pl.C = N(phi0);                             // nu0
    m_pl.D = m_ell.es * m_pl.C * m_pl.A * m_pl.B; // e^2 nu0 sin phi0 cos phi0
    m_pl.Grho0 = 1.0 / (1.0 - m_ell.es);          // w: the ellipsoid is X^2 + Y^2 + w Z^2 = a^2
    return 1;
}

int CZrPJOperator::Orthographic_Ellipsoid_Forward(CPoint2D& pt) const {
    const double sl = std::sin(pt.x), cl = std::cos(pt.x);
    const double s = std::sin(pt.y), c = std::cos(pt.y);
    const double sin0 = m_pl.A, cos0 = m_pl.B;
    if (s * sin0 + c * cos0 * cl < -kOrthographicHorizon) return 0;
    const double nu = m_def.a / std::sqrt(1.0 - m_ell.es * s * s);
    pt.x = nu * c * sl;
    // The origin's own offset, e^2 nu0 sin phi0 cos phi0, less the point's.
    pt.y = nu * (s * cos0 - c * sin0 * cl) + m_pl.D - m_ell.es * nu * s * cos0;
    return 1;
}

int CZrPJOperator::Orthographic_Ellipsoid_Inverse(CPoint2D& pt) const {
    const double sin0 = m_pl.A, cos0 = m_pl.B, nu0 = m_pl.C, w = m_pl.Grho0;
    const double x = pt.x, y = pt.y;
    // The foot of the view line in the plane, then the ellipsoid along up:
    // alpha t^2 + 2 beta t + gamma = 0, the root nearer the viewer.
    const double qx = nu0 * cos0 - y * sin0;
    const double qz = nu0 * (1.0 - m_ell.es) * sin0 + y * cos0;
    const double alpha = cos0 * cos0 + w * sin0 * sin0;
    const double beta = qx * cos0 + w * qz * sin0;
    const double a = m_def.a;
    // gamma = |Q|^2_w - a^2 loses a^2's last bits: 1e-9 m in t.
    const double gamma = qx * qx + x * x + w * qz * qz - a * a;
    const double disc = beta * beta - alpha * gamma;
    if (disc < 0.0) return 0;
    const double root = std::sqrt(disc);
    // The visible root, written so that it does not cancel near the origin.
    double t;
    if (beta > 0.0)
        t = -gamma / (beta + root);
    else
        t = (root - beta) / alpha;
    const double X = qx + t * cos0, Z = qz + t * sin0;
    pt.x = std::atan2(x, X);
    pt.y = std::atan2(w * Z, std::sqrt(X * X + x * x));
    return 1;
}
