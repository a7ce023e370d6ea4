// Lambert conic conformal as three national grids state it: Greenland's,
// Iceland's and the Faroes' with x growing west, Belgium's 1972 cone turned
// by a fixed angle, and the Levant's near-conformal cone, whose radii come
// from a series cut short at the cube of the meridian arc.
#include "projection/ZrPJOperator.h"

#include "projection/ZrPJKernels_p.h"

#include <cmath>

using namespace zrpj;

namespace {
// Belgium 1972: theta = n dlam - a, with a = 29.2985 seconds of arc. The
// grid's published coordinates carry it (the national survey's definition
// and EPSG's worked example alike).
constexpr double kBelgiumTurn = 29.2985 / 3600.0 * kPi / 180.0;

// Near-conformal inverse: the root of M = m + A m^3 is its Lagrange series,
// m = M (1 - X + 3 X^2 - 12 X^3 + 55 X^4 - 273 X^5 + 1428 X^6 - ...) with
// X = A M^2 (the coefficients C(3k, k) / (2k + 1)). Cut after X^6 it is
// within 7752 X^7 M of the root: below 4e-12 m while X is below 1e-3 (500 km
// from the origin parallel; the Levant zone's 300 km are X = 4e-4). Beyond,
// Newton's method takes over from the series cut after X^2 (or from M where
// the series no longer converges), each round squaring the error times
// 3 A m, until the next step is foreseen below kNearConformalTolerance, about
// the unit in the last place of a northing of 300 km; the cap stops a
// non-numeric value from looping.
constexpr double kNearConformalSeriesBelow = 1e-3;
constexpr int kNearConformalRounds = 8;
constexpr double kNearConformalTolerance = 1e-11; // metres at unit scale
// X below which the start from the short series is the closer (its radius
// of convergence is 4/27).
constexpr double kNearConformalStartBelow = 0.05;
} // namespace

// ---------------------------------------------------------------------------
// West orientated (43054): the one-parallel cone with its easting negated,
// E = FE - r sin(theta); the frame adds the false origin.
// ---------------------------------------------------------------------------
int CZrPJOperator::Lambert_West_Forward(CPoint2D& pt) const {
    if (!Conformal_Conic_Forward(pt)) return 0;
    pt.x = -pt.x;
    return 1;
}

int CZrPJOperator::Lambert_West_Inverse(CPoint2D& pt) const {
    pt.x = -pt.x;
    return Conformal_Conic_Inverse(pt);
}

// ---------------------------------------------------------------------------
// Belgium (43055): the two-parallel cone turned by a about its apex. Turning
// theta by -a is turning the longitude by -a / n, kept in lamShift.
// ---------------------------------------------------------------------------
int CZrPJOperator::Setup_Lambert_Belgium() {
    if (!Setup_Conformal_Conic()) return 0;
    m_kc.lamShift = kBelgiumTurn / m_kc.c1;
    return 1;
}

int CZrPJOperator::Lambert_Belgium_Forward(CPoint2D& pt) const {
    pt.x -= m_kc.lamShift;
    return Conformal_Conic_Forward(pt);
}

int CZrPJOperator::Lambert_Belgium_Inverse(CPoint2D& pt) const {
    if (!Conformal_Conic_Inverse(pt)) return 0;
    pt.x += m_kc.lamShift;
    return 1;
}

// ---------------------------------------------------------------------------
// Near-conformal (43056). With m the meridian arc from the origin parallel,
// the cone's radius is r = r0 - M, M = k0 (m + A m^3), A = 1 / (6 rho0 nu0):
// the conformal cone's series in m cut after its cube, as the Levant zone's
// tables were computed. At unit scale (the frame applies k0):
//   r0 = nu0 / tan(phi0), theta = dlam sin(phi0),
//   x = r sin(theta), y = M + r sin(theta) tan(theta / 2).
// c1 = sin(phi0), c2 = r0 and c3 = A, all at unit scale.
// ---------------------------------------------------------------------------
int CZrPJOperator::Setup_Lambert_Near_Conformal() {
    const double phi0 = m_def.phi0;
    const double s = std::sin(phi0), c = std::cos(phi0);
    // The origin parallel is the cone's touching one: at the equator the cone
    // is a cylinder, and there is no cone at a pole.
    if (!(std::fabs(s) > 1e-7) || !(std::fabs(c) > 1e-10)) return 0;
    if (!ScaleFromDefinition(m_kc.scale)) return 0;
    m_kc.invScale = 1.0 / m_kc.scale;
    const double w = 1.0 - m_ell.es * s * s;
    const double nu0 = m_def.a / std::sqrt(w);
    const double rho0 = m_def.a * (1.0 - m_ell.es) / (w * std::sqrt(w));
    return StoreCone(s, nu0 * c / s, 1.0 / (6.0 * rho0 * nu0));
}

int CZrPJOperator::Lambert_Near_Conformal_Forward(CPoint2D& pt) const {
    const double n = m_kc.c1, r0 = m_kc.c2, A = m_kc.c3;
    const double phi = pt.y;
    const double m = m_def.a * (MeridianLength(phi, std::sin(phi), std::cos(phi)) - m_ml.ml0);
    const double M = m + A * m * m * m;
    const double r = r0 - M;
    const double theta = pt.x * n;
    const double st = std::sin(theta);
    pt.x = r * st;
    pt.y = M + r * st * std::tan(0.5 * theta);
    return 1;
}

int CZrPJOperator::Lambert_Near_Conformal_Inverse(CPoint2D& pt) const {
    const double n = m_kc.c1, r0 = m_kc.c2, A = m_kc.c3;
    const double sign = n < 0.0 ? -1.0 : 1.0;
    const double dy = r0 - pt.y;
    // Radii and angles carry the sign of the cone: a southern origin's apex
    // lies south, where r0 is negative.
    const double theta = std::atan2(sign * pt.x, sign * dy);
    // The radius as a square root: the coordinates are lengths on the grid,
    // far from hypot's overflow range, and hypot was a tenth of the time.
    const double r = sign * std::sqrt(pt.x * pt.x + dy * dy);
    const double M = r0 - r;
    const double X = A * M * M;
    double m;
    if (X < kNearConformalSeriesBelow) {
        // By Estrin's scheme: pairs of terms, then the powers X^2 and X^4.
        const double X2 = X * X;
        m = M * ((1.0 - X) + X2 * (3.0 - 12.0 * X) + X2 * X2 * (55.0 - 273.0 * X + 1428.0 * X2));
    } else {
        m = X < kNearConformalStartBelow ? M * (1.0 - X * (1.0 - 3.0 * X)) : M;
        for (int i = 0; i < kNearConformalRounds; ++i) {
            const double Am = A * m;
            const double step = (m + Am * m * m - M) / (1.0 + 3.0 * Am * m);
            m -= step;
            if (!(3.0 * std::fabs(Am) * step * step > kNearConformalTolerance)) break;
        }
    }
    if (!std::isfinite(m)) return 0;
    pt.y = MeridianLengthInverse(m_ml.ml0 + m * m_ell.invA);
    pt.x = theta / n;
    return 1;
}
