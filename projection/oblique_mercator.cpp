// Oblique Mercator kinds: the ellipsoidal Hotine oblique Mercator with the
// central line given by its centre (lambda_c = lambda0, phi_c = phi0) and its
// azimuth alpha there, and the rectified grid turned by gamma_c (the phi1
// field). 43043 measures u from the centre of the projection, 43044 from the
// natural origin where the central line crosses the equator of the aposphere.
#include "projection/ZrPJOperator.h"

#include "projection/ZrPJKernels_p.h"

#include "geodesy/ZrPJMath.h"

#include <cmath>

using namespace zrpj;

namespace {
constexpr long kOriginAtCentre = 43043;

} // namespace

int CZrPJOperator::Setup_Oblique_Mercator() {
    const double phic = m_def.phi0, lamc = m_def.lam0, alpha = m_def.alpha;
    const double es = m_ell.es;
    const double sinphic = std::sin(phic), cosphic = std::cos(phic);
    const double cos2 = cosphic * cosphic;
    const double w = 1.0 - es * sinphic * sinphic;

    double k0;
    if (!ScaleFromDefinition(k0)) return 0;
    m_om.B = std::sqrt(1.0 + es * cos2 * cos2 / (1.0 - es));
    m_om.A = m_def.a * k0 * m_om.B * std::sqrt(1.0 - es) / w;
    const double t0 = std::exp(-IsometricLatitude(phic)); // exp of minus the isometric latitude
    const double D = m_om.B * std::sqrt(1.0 - es) / (cosphic * std::sqrt(w));
    // D^2 - 1 = (1 - e^2) sin^2 phi_c / (cos^2 phi_c (1 - e^2 sin^2 phi_c)) >= 0;
    // at phi_c = 0 it rounds to just below 0, which must not reach a square root.
    const double D2 = D * D < 1.0 ? 1.0 : D * D;
    const double root = std::sqrt(D2 - 1.0);
    const double F = phic > 0.0 ? D + root : (phic < 0.0 ? D - root : D);
    m_om.E = F * std::pow(t0, m_om.B);
    const double G = (F - 1.0 / F) / 2.0;
    m_om.gamma0 =
        std::asin(Clamp(std::sin(alpha) / D, -1.0, 1.0)); // azimuth of the central line at the natural origin
    // The natural origin lies B (lambda_c - lambda_0) = asin(G tan gamma0) of
    // aposphere longitude west of the centre. With G^2 = D^2 - 1 and
    // tan gamma0 = sin alpha / sqrt(D^2 - sin^2 alpha), the cosine of that
    // angle is D |cos alpha| / sqrt(D^2 - sin^2 alpha), so it is the angle
    // atan2(G sin alpha, D |cos alpha|). The arcsine of G tan gamma0 was
    // ill-conditioned at alpha = 90 degrees, where its argument is 1 and
    // rounding of one unit in the last place moved the angle by 1.5e-8: the
    // Hungarian EOV grid (azimuth 90) came out 9 cm off everywhere.
    const double sinalpha = std::sin(alpha), cosalpha = std::cos(alpha);
    m_om.lam0Natural = lamc - std::atan2(G * sinalpha, D * std::fabs(cosalpha)) / m_om.B;
    // u of the centre from the natural origin; only its size is used (its
    // sign is the hemisphere's). At alpha = 90 it is a quarter turn of the
    // aposphere, which the two-argument form reaches without a special case.
    m_om.uc = (m_om.A / m_om.B) * std::atan2(root, std::fabs(cosalpha));
    // The grid's and the central line's turns are the same for every point.
    m_om.sing0 = std::sin(m_om.gamma0);
    m_om.cosg0 = std::cos(m_om.gamma0);
    m_om.sinr = std::sin(m_def.phi1);
    m_om.cosr = std::cos(m_def.phi1);
    m_om.sign = phic > 0.0 ? 1 : -1;
    m_om.lnE = std::log(m_om.E);
    m_om.invB = 1.0 / m_om.B;
    // Conformal latitude chi back to the geodetic one: the series in e^2 to
    // e^8 (its terms in sin 2chi .. sin 8chi), summed per point from these.
    const double e2 = es, e4 = e2 * e2, e6 = e4 * e2, e8 = e4 * e4;
    m_om.chi[0] = e2 / 2.0 + 0.20833333333333331 * e4 + 0.08333333333333333 * e6 + 0.036111111111111115 * e8;
    m_om.chi[1] = 0.14583333333333331 * e4 + 0.12083333333333333 * e6 + 0.07039930555555556 * e8;
    m_om.chi[2] = 0.058333333333333334 * e6 + 0.07232142857142856 * e8;
    m_om.chi[3] = 0.026531498015873015 * e8;
    return 1;
}

// The forward u is a two-argument arctangent, and the longitude difference
// from the natural origin is reduced to [-pi, pi], so points beyond 90 degrees
// of aposphere longitude, or across the antimeridian from the natural
// origin, do not fold back onto other points.
int CZrPJOperator::Oblique_Mercator_Forward(CPoint2D& pt) const {
    const double dlam = pt.x, phi = pt.y;
    const double B = m_om.B, A = m_om.A;
    const double sing0 = m_om.sing0, cosg0 = m_om.cosg0;

    double U, u;
    if (std::fabs(phi) >= kHalfPi) {
        // The poles, where Q is 0 or infinite: the limits of U and u (every
        // meridian meets the pole at the same point of the map).
        U = phi > 0.0 ? sing0 : -sing0;
        u = (phi > 0.0 ? A : -A) * kHalfPi / B;
    } else {
        // Q = E / t^B with t = exp(-psi), psi the isometric latitude: one
        // exponential, where t and its power took an exponential and a power.
        const double Q = m_om.E * std::exp(B * IsometricLatitude(phi));
        const double S = (Q - 1.0 / Q) / 2.0, T = (Q + 1.0 / Q) / 2.0;
        // Longitude from the natural origin of the central line.
        const double Bl = B * AdjLongitude(dlam + (m_def.lam0 - m_om.lam0Natural));
        const double V = std::sin(Bl);
        U = (S * sing0 - V * cosg0) / T;
        u = A * std::atan2(S * cosg0 + V * sing0, std::cos(Bl)) / B;
    }
    // |U| = 1 is 90 degrees from the central line: v is infinite there and
    // the frame refuses the point.
    const double v = A * std::log((1.0 - U) / (1.0 + U)) / (2.0 * B);
    if (m_def.kind == kOriginAtCentre) {
        // Counted from the centre, u must stay within half a turn of the
        // aposphere (pi A / B) of it, as the natural origin's u does of the
        // origin: the shift by uc carried points more than 90 degrees from
        // the centre on its far side a whole period out (Swiss LV03 gave x of
        // -23 000 km for 150 E 30 S, where the period is 40 000 km).
        u -= std::fabs(m_om.uc) * m_om.sign;
        const double halfTurn = kPi * A / B;
        if (u < -halfTurn) u += 2.0 * halfTurn;
        if (u > halfTurn) u -= 2.0 * halfTurn;
    }

    const double sinr = m_om.sinr, cosr = m_om.cosr;
    pt.x = v * cosr + u * sinr;
    pt.y = u * cosr - v * sinr;
    return 1;
}

int CZrPJOperator::Oblique_Mercator_Inverse(CPoint2D& pt) const {
    const double x = pt.x, y = pt.y;
    const double B = m_om.B, A = m_om.A;
    const double sing0 = m_om.sing0, cosg0 = m_om.cosg0;
    const double sinr = m_om.sinr, cosr = m_om.cosr;

    const double v = x * cosr - y * sinr;
    double u = y * cosr + x * sinr;
    if (m_def.kind == kOriginAtCentre) u += std::fabs(m_om.uc) * m_om.sign;

    const double Q = std::exp(-B * v / A);
    const double S = (Q - 1.0 / Q) / 2.0, T = (Q + 1.0 / Q) / 2.0;
    const double Bu = B * u / A;
    const double V = std::sin(Bu);
    // |U| = 1 at the poles' images, where rounding may carry it just past 1.
    const double U = Clamp((V * cosg0 + S * sing0) / T, -1.0, 1.0);
    // t = (E / sqrt((1 + U) / (1 - U)))^(1/B), through its logarithm
    // (ln E - atanh U) / B: an exponential where a square root and a power
    // were. At U = +-1 it is 0 or infinite as before, chi +-90 degrees.
    const double t = std::exp((m_om.lnE - std::atanh(U)) * m_om.invB);
    pt.x = (m_om.lam0Natural - m_def.lam0) - std::atan2(S * cosg0 - V * sing0, std::cos(Bu)) / B;

    // Conformal latitude chi to geodetic latitude: the multiple angles from
    // one sine and cosine by the double-angle identities.
    const double chi = kHalfPi - 2.0 * std::atan(t);
    const double s2 = std::sin(2.0 * chi), c2 = std::cos(2.0 * chi);
    const double s4 = 2.0 * s2 * c2, c4 = 1.0 - 2.0 * s2 * s2;
    const double s6 = s4 * c2 + c4 * s2, s8 = 2.0 * s4 * c4;
    const double* k = m_om.chi;
    pt.y = chi + (k[0] * s2 + k[1] * s4 + k[2] * s6 + k[3] * s8);
    return 1;
}

// 43044 shares the routine; it differs only in where u is measured from,
// which the routine reads from the kind.
int CZrPJOperator::Hotine_Oblique_Mercator_Forward(CPoint2D& pt) const {
    return Oblique_Mercator_Forward(pt);
}
int CZrPJOperator::Hotine_Oblique_Mercator_Inverse(CPoint2D& pt) const {
    return Oblique_Mercator_Inverse(pt);
}
