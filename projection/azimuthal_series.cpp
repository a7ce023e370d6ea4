// Two azimuthal equidistant forms for islands, where a development about the
// centre is as good as the geodesic and far cheaper: Guam's (the meridian arc
// and the parallel's arc, with the second-order bend of the parallels) and
// the modified form of the Micronesian grids (the normal section's azimuth
// and a series for its length, as EPSG states them).
#include "projection/ZrPJOperator.h"

#include "projection/ZrPJKernels_p.h"

#include <algorithm>
#include <cmath>

using namespace zrpj;

namespace {
// Guam's inverse: the latitude solves y = M(phi) - M0 + x^2 tan(phi) / (2 nu)
// by fixed-point rounds on the meridian arc; the bend term changes by about
// x^2 / (2 a^2 cos^2 phi) of itself per radian, which is the rounds'
// contraction q: at the island's 50 km each round gains some eight digits.
// The rounds stop once the next step, q times the last, is foreseen below
// kGuamLastStep (about the unit in the last place of a latitude of 0.1 rad).
// The cap leaves room for points a thousand kilometres out.
constexpr int kGuamRounds = 10;
constexpr double kGuamLastStep = 1e-17;       // radians
constexpr double kGuamFootpointStep = 100.0; // metres
// Steps up to this (radians) carry the latitude's sine and cosine by the
// small-angle rotation, exact to rounding there; larger ones take them anew.
constexpr double kGuamRotateBelow = 0.01;
// Within this angular distance (radians) of the centre a point is the centre.
constexpr double kCentreAngle = 1e-15;
} // namespace

// ---------------------------------------------------------------------------
// Guam (43061): x = nu cos(phi) dlam, y = M - M0 + x^2 tan(phi) / (2 nu).
// ---------------------------------------------------------------------------
int CZrPJOperator::Guam_Forward(CPoint2D& pt) const {
    const double phi = pt.y;
    const double s = std::sin(phi), c = std::cos(phi);
    const double t = 1.0 / std::sqrt(1.0 - m_ell.es * s * s); // nu / a
    const double dlam = pt.x;
    pt.x = m_def.a * dlam * c * t;
    // x^2 tan(phi) / (2 nu) = dlam^2 nu sin(phi) cos(phi) / 2, without dividing by cos(phi).
    pt.y = m_def.a * (MeridianLength(phi, s, c) - m_ml.ml0 + 0.5 * dlam * dlam * s * c * t);
    return 1;
}

int CZrPJOperator::Guam_Inverse(CPoint2D& pt) const {
    const double x = pt.x * m_ell.invA, y = pt.y * m_ell.invA; // in units of a
    const double halfX2 = 0.5 * x * x;
    // The footpoint of y, and the meridian's radius there (units of a): the
    // latitude of y - d is taken from it by its Taylor series in d (see the
    // hyperbolic Cassini), found anew when the bend exceeds kGuamFootpointStep.
    double base = y, s0, c0;
    double phi0 = MeridianLengthInverse(m_ml.ml0 + base, s0, c0);
    // The series' two coefficients, 1 / rho0 and 3/2 e^2 sin cos / (w rho0^2).
    double k1, k2;
    const auto taylor = [&]() {
        const double w0 = 1.0 - m_ell.es * s0 * s0;
        k1 = w0 * std::sqrt(w0) * m_ell.invOneMinusEs;
        k2 = 1.5 * m_ell.es * s0 * c0 * w0 * w0 * m_ell.invOneMinusEs * m_ell.invOneMinusEs; // k1^2 / w0
    };
    taylor();
    double phi = phi0, s = s0, c = c0;
    for (int i = 0; i < kGuamRounds; ++i) {
        const double w = std::sqrt(1.0 - m_ell.es * s * s); // a / nu
        const double tanPhi = s / c;
        double d = y - halfX2 * w * tanPhi - base;
        if (std::fabs(d) * m_def.a > kGuamFootpointStep) {
            base += d;
            phi0 = MeridianLengthInverse(m_ml.ml0 + base, s0, c0);
            taylor();
            d = 0.0;
        }
        const double next = phi0 + d * (k1 - k2 * d);
        if (!std::isfinite(next)) return 0;
        const double step = next - phi;
        phi = next;
        // One sine and cosine a point (the footpoint's): each round turns
        // them by its step rather than taking them anew.
        if (std::fabs(step) < kGuamRotateBelow) {
            RotateBySmallAngle(s, c, step);
        } else {
            s = std::sin(phi);
            c = std::cos(phi);
        }
        if (!(std::fabs(step) * halfX2 * (1.0 + tanPhi * tanPhi) > kGuamLastStep)) break;
    }
    if (!(std::fabs(c) > 0.0)) return 0;
    pt.x = x * std::sqrt(1.0 - m_ell.es * s * s) / c;
    pt.y = phi;
    return 1;
}

// ---------------------------------------------------------------------------
// Modified azimuthal equidistant (43063). The point's direction from the
// centre is the normal section's, through the geocentric-like latitude psi
// with tan psi = (1 - e^2) tan phi + e^2 nu0 sin phi0 / (nu cos phi); its
// distance c = nu0 s [1 - s^2 H^2 (1 - H^2) / 6 + s^3 G H (1 - 2 H^2) / 8
// + s^4 (H^2 (4 - 7 H^2) - 3 G^2 (1 - 7 H^2)) / 120 - s^5 G H / 48], s the
// arc on the sphere, G = e' sin phi0 and H = e' cos phi0 cos(alpha). The
// inverse is EPSG's series in c / nu0. Constants in the local-plane block:
// A, B = sin, cos phi0, C = nu0 (metres), D = e^2 nu0 sin phi0, Grho0 = G.
// ---------------------------------------------------------------------------
int CZrPJOperator::Setup_Modified_Azimuthal_Equidistant() {
    const double phi0 = m_def.phi0;
    if (!(std::fabs(phi0) <= kHalfPi)) return 0;
    m_pl.phi0 = phi0;
    m_pl.A = std::sin(phi0);
    m_pl.B = std::cos(phi0);
    m_pl.C = m_def.a / std::sqrt(1.0 - m_ell.es * m_pl.A * m_pl.A);
    m_pl.D = m_ell.es * m_pl.C * m_pl.A;
    m_pl.Grho0 = m_ell.ep * m_pl.A;
    return 1;
}

int CZrPJOperator::Modified_Azimuthal_Equidistant_Forward(CPoint2D& pt) const {
    const double dlam = pt.x, phi = pt.y;
    const double sp = std::sin(phi), cp = std::cos(phi);
    const double nu = m_def.a / std::sqrt(1.0 - m_ell.es * sp * sp);
    // psi from its tangent's numerator and denominator, both times nu cos(phi).
    const double psi = std::atan2((1.0 - m_ell.es) * nu * sp + m_pl.D, nu * cp);
    const double sPsi = std::sin(psi), cPsi = std::cos(psi);
    const double sl = std::sin(dlam), cl = std::cos(dlam);
    const double east = cPsi * sl;
    const double north = m_pl.B * sPsi - m_pl.A * cPsi * cl;
    const double sinS = std::hypot(east, north);
    const double s = std::atan2(sinS, m_pl.A * sPsi + m_pl.B * cPsi * cl);
    if (s < kCentreAngle) {
        pt.x = pt.y = 0.0;
        return 1;
    }
    const double sinAlpha = east / sinS, cosAlpha = north / sinS;
    const double G = m_pl.Grho0, H = m_ell.ep * m_pl.B * cosAlpha;
    const double H2 = H * H, s2 = s * s;
    const double c = m_pl.C * s *
                     (1.0 - s2 * H2 * (1.0 - H2) / 6.0 + s2 * s / 8.0 * G * H * (1.0 - 2.0 * H2) +
                      s2 * s2 / 120.0 * (H2 * (4.0 - 7.0 * H2) - 3.0 * G * G * (1.0 - 7.0 * H2)) -
                      s2 * s2 * s / 48.0 * G * H);
    pt.x = c * sinAlpha;
    pt.y = c * cosAlpha;
    return 1;
}

int CZrPJOperator::Modified_Azimuthal_Equidistant_Inverse(CPoint2D& pt) const {
    const double c = std::hypot(pt.x, pt.y);
    if (c * m_ell.invA < kCentreAngle) {
        pt.x = 0.0;
        pt.y = m_pl.phi0;
        return 1;
    }
    const double sinAlpha = pt.x / c, cosAlpha = pt.y / c;
    const double es = m_ell.es, sp0 = m_pl.A, cp0 = m_pl.B;
    const double A = -es * cp0 * cp0 * cosAlpha * cosAlpha * m_ell.invOneMinusEs;
    const double B = 3.0 * es * (1.0 - A) * sp0 * cp0 * cosAlpha * m_ell.invOneMinusEs;
    const double D = c / m_pl.C;
    const double D3 = D * D * D;
    const double J = D - A * (1.0 + A) * D3 / 6.0 - B * (1.0 + 3.0 * A) * D3 * D / 24.0;
    const double K = 1.0 - A * J * J / 2.0 - B * J * J * J / 6.0;
    const double sJ = std::sin(J), cJ = std::cos(J);
    const double sPsi = sp0 * cJ + cp0 * sJ * cosAlpha;
    const double cPsi = std::sqrt(std::max(0.0, 1.0 - sPsi * sPsi));
    if (!(cPsi > 0.0)) {
        pt.x = 0.0;
        pt.y = sPsi > 0.0 ? kHalfPi : -kHalfPi;
        return 1;
    }
    // tan phi = (1 - e^2 K sin phi0 / sin psi) tan psi / (1 - e^2), with the
    // sine factored through so that psi = 0 needs no division by it.
    pt.y = std::atan((sPsi - es * K * sp0) / cPsi * m_ell.invOneMinusEs);
    pt.x = std::asin(std::max(-1.0, std::min(1.0, sinAlpha * sJ / cPsi)));
    return 1;
}
