// Equal Earth (Šavrič, Patterson and Jenny 2018): a pseudocylindrical
// equal-area map of the authalic sphere, whose parallels are spaced by a
// polynomial in the parametric latitude theta, sin(theta) = sqrt(3)/2 sin(beta).
// On the ellipsoid beta is the authalic latitude and the sphere has the
// ellipsoid's area; on a sphere beta is the latitude itself.
#include "projection/ZrPJOperator.h"

#include "projection/ZrPJKernels_p.h"

#include <cmath>

using namespace zrpj;

namespace {
constexpr double A1 = 1.340264, A2 = -0.081106, A3 = 0.000893, A4 = 0.003796;
constexpr double kM = 0.8660254037844386;    // sqrt(3) / 2
constexpr double kInvM = 1.1547005383792517; // 2 / sqrt(3)
constexpr double kInvA1 = 1.0 / A1;
// Halley's rounds on theta from the northing: the polynomial is monotonic,
// its derivative above 0.9 and its third below 2.3 on the map (theta up to
// 60 degrees), so after a step d the error is under 0.4 d^3: a step below
// 1e-5 rad leaves less than 4e-16 rad (3 nm), and the round that would
// follow changes nothing. From the fitted start below (within 6e-7 rad
// anywhere on the map) one round reaches that; the cap only guards
// non-numeric input.
constexpr int kThetaRounds = 12;
constexpr double kThetaTolerance = 1e-5;
constexpr double kEdgeRounding = 1e-12;
constexpr double kPoleSine = 4.0 * 2.220446049250313e-16; // four units in the last place of 1

// q(phi) / (1 - e^2): the authalic function, closed form.
inline double EqualEarthAuthalicQ(double s, double e, double es) {
    if (e < 1e-12) return 2.0 * s;
    return s / (1.0 - es * s * s) + SmallAtanh(e * s) / e;
}

// The same over its value at the pole, qp: sin(beta). atanh(e s) / e is s
// times an even series in e s (exact to rounding below e s = 0.1, as
// SmallAtanh's), so the 1 / e folds in and the point costs one division;
// on a sphere the series is 1 and this is s.
inline double SinAuthalic(double s, double e, double es, double invQp) {
    if (e >= 0.1) return EqualEarthAuthalicQ(s, e, es) * invQp; // beyond the series' reach
    const double x2 = es * s * s;
    const double series =
        1.0 +
        x2 * (1.0 / 3 +
              x2 * (1.0 / 5 +
                    x2 * (1.0 / 7 +
                          x2 * (1.0 / 9 +
                                x2 * (1.0 / 11 + x2 * (1.0 / 13 + x2 * (1.0 / 15 + x2 * (1.0 / 17))))))));
    return s * (1.0 / (1.0 - x2) + series) * invQp;
}

// theta from y: u P(u^2) with u = y / A1, P a least-squares fit of degree 5
// to the polynomial's inverse over the map (theta from 0 to 60 degrees),
// within 6e-7 rad of the root.
inline double ThetaStart(double y) {
    constexpr double P[6] = {1.0000002374169883,    0.06049328618542444,  0.011304189870897343,
                             0.0002993900946027389, 0.001509058358693513, -0.0061520565803530845};
    const double u = y * kInvA1, u2 = u * u;
    return u * (P[0] + u2 * (P[1] + u2 * (P[2] + u2 * (P[3] + u2 * (P[4] + u2 * P[5])))));
}

} // namespace

// c1: q at the pole, c2: the authalic radius, c3: its reciprocal; the
// reciprocal of q at the pole and the authalic latitude's series back to the
// geodetic in the azimuthal block.
int CZrPJOperator::Setup_Equal_Earth() {
    m_kc.c1 = EqualEarthAuthalicQ(1.0, m_ell.e, m_ell.es);
    m_az.invQp = 1.0 / m_kc.c1;
    m_kc.c2 = m_ser.authalicRadius;
    m_kc.c3 = 1.0 / m_kc.c2;
    ComputeAuthalicInverseSeries();
    return 1;
}

int CZrPJOperator::Equal_Earth_Forward(CPoint2D& pt) const {
    double sinBeta = SinAuthalic(std::sin(pt.y), m_ell.e, m_ell.es, m_az.invQp);
    if (sinBeta > 1.0) sinBeta = 1.0;
    if (sinBeta < -1.0) sinBeta = -1.0;
    const double sinTheta = kM * sinBeta;
    const double theta = std::asin(sinTheta);
    const double cosTheta = std::sqrt((1.0 - sinTheta) * (1.0 + sinTheta)); // theta within +-60 degrees
    const double t2 = theta * theta, t6 = t2 * t2 * t2;
    const double R = m_kc.c2;
    pt.x = R * pt.x * cosTheta / (kM * (A1 + 3.0 * A2 * t2 + t6 * (7.0 * A3 + 9.0 * A4 * t2)));
    pt.y = R * theta * (A1 + A2 * t2 + t6 * (A3 + A4 * t2));
    return 1;
}

int CZrPJOperator::Equal_Earth_Inverse(CPoint2D& pt) const {
    const double y = pt.y * m_kc.c3;
    double theta = ThetaStart(y), t2 = 0.0, t6 = 0.0, slope = A1;
    for (int i = 0; i < kThetaRounds; ++i) {
        t2 = theta * theta;
        t6 = t2 * t2 * t2;
        const double f = theta * (A1 + A2 * t2 + t6 * (A3 + A4 * t2)) - y;
        slope = A1 + 3.0 * A2 * t2 + t6 * (7.0 * A3 + 9.0 * A4 * t2);
        const double bend = theta * (6.0 * A2 + t2 * t2 * (42.0 * A3 + 72.0 * A4 * t2));
        const double step = 2.0 * f * slope / (2.0 * slope * slope - f * bend);
        theta -= step;
        if (!(std::fabs(step) >= kThetaTolerance)) break;
    }
    t2 = theta * theta;
    t6 = t2 * t2 * t2;
    slope = A1 + 3.0 * A2 * t2 + t6 * (7.0 * A3 + 9.0 * A4 * t2);
    const double sinTheta = std::sin(theta), cosTheta = std::cos(theta);
    double sinBeta = sinTheta * kInvM;
    if (!(std::fabs(sinBeta) <= 1.0 + kEdgeRounding)) return 0;
    // At a pole cos(beta) is the root of 1 - sin(beta), so theta's last bits
    // alone place a point within 0.3 m of it; a sine that close to 1 is the
    // pole the forward made, not a point 0.1 m beside it.
    if (std::fabs(sinBeta) > 1.0 - kPoleSine) sinBeta = sinBeta > 0.0 ? 1.0 : -1.0;
    const double lam = kM * (pt.x * m_kc.c3) * slope / cosTheta;
    // The map's edge is the meridian half a turn away; a point on it comes
    // back a rounding beyond, which the frame folds.
    if (!(std::fabs(lam) <= kPi * (1.0 + kEdgeRounding))) return 0;
    pt.x = lam;
    pt.y = LatitudeFromAuthalic(sinBeta, std::sqrt((1.0 - sinBeta) * (1.0 + sinBeta)));
    return 1;
}
