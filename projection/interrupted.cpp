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
    CPoint2D lp(pt.x - lobe.centre, pt.y);
    if (!(lobe.mollweide ? Mollweide_Forward(lp) : Sanson_Forward(lp))) return 0;
    pt.x = lp.x + m_def.a * lobe.centre;
    pt.y = lp.y + lobe.ySign * m_kc.c1;
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
