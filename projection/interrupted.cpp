// Goode's interrupted homolosine: the sinusoid between 40 44' 11.8" north
// and south, where its scale along the parallels equals Mollweide's, and
// Mollweide's ellipse beyond, each lobe about its own central meridian: two
// lobes in the north (the Americas; Eurasia and Africa) and four in the
// south, on the sphere of radius a. Mollweide's lobes are moved along y so
// that the two meet at the joining parallel.
#include "projection/ZrPJOperator.h"

#include "projection/ZrPJKernels_p.h"

#include "geodesy/ZrPJMath.h"

#include <cmath>

using namespace zrpj;

namespace {

constexpr double kDeg = CZrPJMath::kDegToRad;
// The parallel where the sinusoid and Mollweide's ellipse join.
constexpr double kJoin = (40.0 + 44.0 / 60.0 + 11.8 / 3600.0) * kDeg;
// Points this close outside a lobe's edge (radians) still belong to it.
constexpr double kEdge = 1e-10;

struct Lobe {
    double centre;  // central meridian, radians from the map's
    bool mollweide; // beyond the joining parallel
    int ySign;      // the shift of Mollweide's lobes: up in the north, down in the south
};

// Twelve lobes, numbered as the map is read: north beyond the join (1, 2),
// north within it (3, 4), south within it (5 to 8), south beyond it (9 to 12).
constexpr Lobe kLobes[12] = {
    {-100 * kDeg, true, 1},  {30 * kDeg, true, 1},   {-100 * kDeg, false, 0}, {30 * kDeg, false, 0},
    {-160 * kDeg, false, 0}, {-60 * kDeg, false, 0}, {20 * kDeg, false, 0},   {140 * kDeg, false, 0},
    {-160 * kDeg, true, -1}, {-60 * kDeg, true, -1}, {20 * kDeg, true, -1},   {140 * kDeg, true, -1},
};

// The lobe of a longitude in the southern row (5 to 8, or 9 to 12): its index from 0.
int SouthernLobe(double lam, int first) {
    if (lam <= -100 * kDeg) return first;
    if (lam <= -20 * kDeg) return first + 1;
    if (lam <= 80 * kDeg) return first + 2;
    return first + 3;
}

// The lobe (from 0) that a point in the map's (lambda, phi), or its image in
// units of a, falls in: the bands are the same in both, since the sinusoid's
// y is the latitude.
int LobeOf(double lam, double phi) {
    if (phi >= kJoin) return lam <= -40 * kDeg ? 0 : 1;
    if (phi >= 0.0) return lam <= -40 * kDeg ? 2 : 3;
    if (phi >= -kJoin) return SouthernLobe(lam, 4);
    return SouthernLobe(lam, 8);
}

// Mollweide's lobes lie beyond the joining parallel only, where its
// auxiliary angle solves d - sin d = r for d = pi - 2|theta| with r = pi (1 -
// sin|phi|) at most 1.0915, and d, against c = (6r)^(1/3) at most 1.871, is
// c P(c^2) to 1.8e-7 rad with P below (a least-squares fit to the exact root
// over that range). One Halley round from there is cubic: it ends at
// rounding, which the general Mollweide's cruder start needs three rounds
// of two sines for.
constexpr double kLobeStart[6] = {0.9999999813174039,     0.01666707270463865,    0.0007128854998776323,
                                  4.1405847971294745e-05, 1.5702931657948088e-06, 3.772866871802616e-07};
constexpr double kMollweideX = 0.9003163161571062; // 2 sqrt(2) / pi
constexpr double kMollweideY = 1.4142135623730951; // sqrt(2)

// d - sin d: below 1/2 from Taylor's series (the difference there loses the
// digits the pole's points need; the terms to d^13 leave 1e-15 of it), the
// difference above.
inline double DMinusSin(double d, double sinD) {
    if (d >= 0.5) return d - sinD;
    const double d2 = d * d;
    return d * d2 / 6.0 *
           (1.0 -
            d2 / 20.0 * (1.0 - d2 / 42.0 * (1.0 - d2 / 72.0 * (1.0 - d2 / 110.0 * (1.0 - d2 / 156.0)))));
}

// Mollweide's map of (lam, phi), |phi| at or beyond the joining parallel,
// on the sphere of radius a, before the lobe's shift.
void MollweideLobeForward(double lam, double phi, double a, double& x, double& y) {
    const double g = std::sin(kQuarterPi - std::fabs(phi) / 2.0);
    const double r = kPi * 2.0 * g * g; // pi (1 - sin|phi|), exact at the pole
    double cosTheta = 0.0, sinTheta = 1.0;
    if (r > 0.0) {
        const double c = std::cbrt(6.0 * r), c2 = c * c;
        const double* P = kLobeStart;
        double d = c * (P[0] + c2 * (P[1] + c2 * (P[2] + c2 * (P[3] + c2 * (P[4] + c2 * P[5])))));
        double h = std::sin(d / 2.0), k = std::cos(d / 2.0);
        const double f = DMinusSin(d, 2.0 * h * k) - r, df = 2.0 * h * h, ddf = 2.0 * h * k;
        const double step = f / df / (1.0 - f * ddf / (2.0 * df * df));
        d -= step;
        RotateBySmallAngle(h, k, -step / 2.0); // sin and cos of the new d / 2
        cosTheta = h;
        sinTheta = k;
    }
    x = a * kMollweideX * lam * cosTheta;
    y = a * kMollweideY * (phi < 0.0 ? -sinTheta : sinTheta);
}

bool Between(double v, double lo, double hi) {
    return v >= lo - kEdge && v <= hi + kEdge;
}

// Whether an inverse longitude (and latitude) lies on the lobe it was found
// in: the northern lobes reach over the interruptions near the pole, where
// the map has no gap.
bool OnLobe(int lobe, double lam, double phi) {
    const double d = kDeg;
    switch (lobe) {
    case 0:
        return Between(lam, -180 * d, -40 * d) ||
               (Between(lam, -40 * d, -10 * d) && Between(phi, 60 * d, 90 * d));
    case 1:
        return Between(lam, -40 * d, 180 * d) ||
               (Between(lam, -180 * d, -160 * d) && Between(phi, 50 * d, 90 * d)) ||
               (Between(lam, -50 * d, -40 * d) && Between(phi, 60 * d, 90 * d));
    case 2:
        return Between(lam, -180 * d, -40 * d);
    case 3:
        return Between(lam, -40 * d, 180 * d);
    case 4:
    case 8:
        return Between(lam, -180 * d, -100 * d);
    case 5:
    case 9:
        return Between(lam, -100 * d, -20 * d);
    case 6:
    case 10:
        return Between(lam, -20 * d, 80 * d);
    default:
        return Between(lam, 80 * d, 180 * d);
    }
}

} // namespace

// c1: the shift of Mollweide's lobes, metres, so that both forms give the
// joining parallel the same y.
int CZrPJOperator::Setup_Interrupted_Goode() {
    CPoint2D sinusoid(0.0, kJoin), ellipse(0.0, kJoin);
    if (!Sanson_Forward(sinusoid) || !Mollweide_Forward(ellipse)) return 0;
    m_kc.c1 = sinusoid.y - ellipse.y;
    return 1;
}

int CZrPJOperator::Interrupted_Goode_Forward(CPoint2D& pt) const {
    const Lobe& lobe = kLobes[LobeOf(pt.x, pt.y)];
    const double a = m_def.a, lam = pt.x - lobe.centre, phi = pt.y;
    double x, y;
    if (lobe.mollweide) {
        MollweideLobeForward(lam, phi, a, x, y);
    } else { // the sinusoid
        x = a * lam * std::cos(phi);
        y = a * phi;
    }
    pt.x = x + a * lobe.centre;
    pt.y = y + lobe.ySign * m_kc.c1;
    return 1;
}

int CZrPJOperator::Interrupted_Goode_Inverse(CPoint2D& pt) const {
    const double a = m_def.a;
    // Mollweide's pole lies sqrt(2) a beyond the shift.
    const double top = m_kc.c1 + std::sqrt(2.0) * a;
    if (pt.y > top + kEdge * a || pt.y < -top + kEdge * a) return 0;
    const int index = LobeOf(pt.x / a, pt.y / a);
    const Lobe& lobe = kLobes[index];
    CPoint2D xy(pt.x - a * lobe.centre, pt.y - lobe.ySign * m_kc.c1);
    if (!(lobe.mollweide ? Mollweide_Inverse(xy) : Sanson_Inverse(xy))) return 0;
    const double lam = xy.x + lobe.centre;
    if (!OnLobe(index, lam, xy.y)) return 0;
    pt.x = lam;
    pt.y = xy.y;
    return 1;
}
