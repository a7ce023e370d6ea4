// Equal Earth (Šavrič, Patterson and Jenny 2018): a pseudocylindrical
// equal-area map of the authalic sphere, whose parallels are spaced by a
// polynomial in the parametric latitude theta, sin(theta) = sqrt(3)/2 sin(beta).
// On the ellipsoid beta is the authalic latitude and the sphere has the
// ellipsoid's area; on a sphere beta is the latitude itself.
#include "projection/ZrPJOperator.h"

#include "projection/ZrPJKernels_p.h"

#include <algorithm>
#include <cmath>

using namespace zrpj;

namespace {
constexpr double A1 = 1.340264, A2 = -0.081106, A3 = 0.000893, A4 = 0.003796;
constexpr double kM = 0.8660254037844386; // sqrt(3) / 2
// Newton on theta from the northing: the polynomial is monotonic and its
// derivative at least 1.34 - 3 * 0.0811 theta^2 > 0.9, so a dozen rounds
// from theta = y reach rounding anywhere on the map. A step below 1e-11 rad
// leaves an error of its square: the next step would change nothing.
constexpr int kThetaRounds = 12;
constexpr double kThetaTolerance = 1e-11;
// The authalic latitude back to the geodetic: the sine series leaves a few
// nanoradians, and one Newton round on the exact function squares that to
// rounding.
constexpr int kAuthalicRounds = 1;
constexpr double kEdgeRounding = 1e-12;
// Below this cos(beta) the point is on a pole line.
constexpr double kPoleCosine = 1e-12;

// q(phi) / (1 - e^2): the authalic function, closed form.
inline double EqualEarthAuthalicQ(double s, double e, double es) {
    if (e < 1e-12) return 2.0 * s;
    return s / (1.0 - es * s * s) + SmallAtanh(e * s) / e;
}

} // namespace

// c1: q at the pole, c2: the authalic radius.
int CZrPJOperator::Setup_Equal_Earth() {
    m_kc.c1 = EqualEarthAuthalicQ(1.0, m_ell.e, m_ell.es);
    m_kc.c2 = m_ser.authalicRadius;
    return 1;
}

int CZrPJOperator::Equal_Earth_Forward(CPoint2D& pt) const {
    double sinBeta = EqualEarthAuthalicQ(std::sin(pt.y), m_ell.e, m_ell.es) / m_kc.c1;
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
    const double R = m_kc.c2;
    const double y = pt.y / R;
    double theta = y / A1, t2 = 0.0, t6 = 0.0, slope = A1;
    for (int i = 0; i < kThetaRounds; ++i) {
        t2 = theta * theta;
        t6 = t2 * t2 * t2;
        const double f = theta * (A1 + A2 * t2 + t6 * (A3 + A4 * t2)) - y;
        slope = A1 + 3.0 * A2 * t2 + t6 * (7.0 * A3 + 9.0 * A4 * t2);
        const double step = f / slope;
        theta -= step;
        if (std::fabs(step) < kThetaTolerance) break;
    }
    t2 = theta * theta;
    t6 = t2 * t2 * t2;
    slope = A1 + 3.0 * A2 * t2 + t6 * (7.0 * A3 + 9.0 * A4 * t2);
    double sinBeta = std::sin(theta) / kM;
    if (!(std::fabs(sinBeta) <= 1.0 + kEdgeRounding)) return 0;
    sinBeta = std::max(-1.0, std::min(1.0, sinBeta));
    const double lam = kM * (pt.x / R) * slope / std::cos(theta);
    // The map's edge is the meridian half a turn away; a point on it comes
    // back a rounding beyond, which the frame folds.
    if (!(std::fabs(lam) <= kPi * (1.0 + kEdgeRounding))) return 0;
    const double cosBeta = std::sqrt((1.0 - sinBeta) * (1.0 + sinBeta));
    double phi = std::atan2(sinBeta, cosBeta);
    if (m_ell.e >= 1e-12 && cosBeta > kPoleCosine) {
        // The sine series from beta's multiple angles, then one Newton round
        // on the exact function: q(phi) = sin(beta) q(pole).
        const double d = SineSumFromSinCos(sinBeta, cosBeta, m_ser.Q);
        phi += d;
        double s = sinBeta, c = cosBeta;
        RotateBySmallAngle(s, c, d);
        const double q = sinBeta * m_kc.c1;
        for (int i = 0; i < kAuthalicRounds; ++i) {
            const double w = 1.0 - m_ell.es * s * s;
            const double step = w * w / (2.0 * c) * (q - EqualEarthAuthalicQ(s, m_ell.e, m_ell.es));
            phi += step;
            if (i + 1 < kAuthalicRounds) RotateBySmallAngle(s, c, step);
        }
    }
    pt.x = lam;
    pt.y = phi;
    return 1;
}
