#pragma once

// Small pieces of arithmetic every family of kinds needs, written once: the
// pole snap, rounding-tolerant arcsine and cosine, clamps and signs, the
// classical meridian arc, and a bracketed Newton solver. Internal to the
// engine (not installed).
#include "geodesy/ZrPJMath.h"

#include <cmath>

namespace zrpj {

constexpr double kPi = CZrPJMath::kPi;
constexpr double kHalfPi = CZrPJMath::kHalfPi;
constexpr double kQuarterPi = CZrPJMath::kQuarterPi;
constexpr double kTwoPi = CZrPJMath::kTwoPi;

// The inverse series are good to a few nanoradians, so the image of a pole
// may come back a hair beyond it, and a latitude beyond a pole is otherwise
// read as coming over it to the other side. Within this margin (radians,
// 6 mm on the ground) it is the pole.
constexpr double kPoleMargin = 1e-9;

inline double SnapToPole(double phi) {
    if (phi > kHalfPi && phi - kHalfPi <= kPoleMargin) return kHalfPi;
    if (phi < -kHalfPi && -kHalfPi - phi <= kPoleMargin) return -kHalfPi;
    return phi;
}

// atanh(x) for |x| below the largest eccentricity of any earth ellipsoid
// (< 0.1): the odd series to x^17 is exact to rounding there and costs a few
// multiplications instead of a logarithm.
inline double SmallAtanh(double x) {
    if (std::fabs(x) >= 0.1) return std::atanh(x);
    const double x2 = x * x;
    return x *
           (1.0 +
            x2 * (1.0 / 3 +
                  x2 * (1.0 / 5 +
                        x2 * (1.0 / 7 +
                              x2 * (1.0 / 9 + x2 * (1.0 / 11 +
                                                    x2 * (1.0 / 13 + x2 * (1.0 / 15 + x2 * (1.0 / 17)))))))));
}

// A sine or cosine formed from rounded values may pass 1 by a few units in
// the last place (at a pole, at the edge of a map, at the centre of an
// azimuthal one); beyond this it belongs to a point off the map.
constexpr double kUnitRoundoff = 1e-12;

// Brings such an overshoot back to +-1 and leaves a larger one alone, so
// that asin or acos of it is NaN and the frame refuses the point.
inline double ClampUnit(double s) {
    if (s > 1.0 && s <= 1.0 + kUnitRoundoff) return 1.0;
    if (s < -1.0 && s >= -1.0 - kUnitRoundoff) return -1.0;
    return s;
}

inline double AsinRounded(double v) {
    return std::asin(ClampUnit(v));
}

// The same for a cosine that must lie in [-1, 1]: false when it is further
// out than rounding can carry it.
inline bool ClampCosine(double& c) {
    if (std::fabs(c) <= 1.0) return true;
    if (std::fabs(c) > 1.0 + kUnitRoundoff) return false;
    c = c > 0.0 ? 1.0 : -1.0;
    return true;
}

inline double Clamp(double v, double lo, double hi) {
    return v < lo ? lo : (v > hi ? hi : v);
}

// +1 or -1; zero counts as positive.
inline double SignOf(double v) {
    return v < 0.0 ? -1.0 : 1.0;
}

// W = sqrt(1 - e^2 sin^2 phi), from sin phi: the radius of curvature in the
// prime vertical is N = a / W, the radius of a parallel a cos(phi) / W.
inline double W(double es, double sinphi) {
    return std::sqrt(1.0 - es * sinphi * sinphi);
}

// The classical meridian-arc coefficients A0, A2, A4, A6 of
// a (A0 phi - A2 sin 2phi + A4 sin 4phi - A6 sin 6phi), to e^6.
inline void ClassicalMeridianCoefficients(double es, double A[4]) {
    const double e2 = es, e4 = e2 * e2, e6 = e4 * e2;
    A[0] = 1.0 - e2 * 0.25 - e4 * 0.015625 * 3.0 - e6 * 0.01953125;
    A[1] = e2 * 0.375 + e4 * 0.03125 * 3.0 + e6 * 0.0439453125;
    A[2] = e4 * 0.05859375 + e6 * 0.0439453125;
    A[3] = e6 * 0.011393229166666666;
}

inline double MeridianArc(double a, const double A[4], double phi) {
    return a * (A[0] * phi - A[1] * std::sin(2.0 * phi) + A[2] * std::sin(4.0 * phi) -
                A[3] * std::sin(6.0 * phi));
}

// atan2 by the one-argument arctangent and the quadrant's half turn: the C
// library's atan2 costs twice its atan (a third of the oblique
// transformation's time, a fifth of Laborde's forward). atan(y / x) is
// within a last place of the angle (the quotient's rounding is damped by
// 1 / (1 + q^2)); x = 0 and NaN go to atan2 for its signs.
inline double QuadrantAtan(double y, double x) {
    if (x > 0.0) return std::atan(y / x);
    if (x < 0.0) return std::atan(y / x) + std::copysign(kPi, y);
    return std::atan2(y, x);
}

// (sin, cos) of x + d from those of x, for |d| of a few hundredths (an
// auxiliary latitude's offset from the geodetic one): Taylor's terms to d^7
// are exact to rounding there, and cost no sine or cosine.
// A Newton round's last step is mostly below kFirstOrderTurnBelow, where
// d^2 / 2 is under half a unit in the last place of 1 (2^-54): cos d rounds
// to 1 and sin d to d, so the turn is s + c d, c - s d to the bit, without
// the two polynomials on the chain.
constexpr double kFirstOrderTurnBelow = 1e-8;
inline void RotateBySmallAngle(double& s, double& c, double d) {
    if (std::fabs(d) < kFirstOrderTurnBelow) {
        const double sNew = s + c * d;
        c = c - s * d;
        s = sNew;
        return;
    }
    const double d2 = d * d;
    const double sd = d * (1.0 - d2 * (1.0 / 6.0) * (1.0 - d2 * (1.0 / 20.0) * (1.0 - d2 * (1.0 / 42.0))));
    const double cd = 1.0 - d2 * 0.5 * (1.0 - d2 * (1.0 / 12.0) * (1.0 - d2 * (1.0 / 30.0)));
    const double sNew = s * cd + c * sd;
    c = c * cd - s * sd;
    s = sNew;
}

// The sum c[0] sin 2x + c[1] sin 4x + c[2] sin 6x + c[3] sin 8x from sin x and
// cos x, the multiple angles by the double-angle identities.
inline double SineSumFromSinCos(double s, double c, const double k[4]) {
    const double s2 = 2.0 * s * c, c2 = (c - s) * (c + s);
    const double s4 = 2.0 * s2 * c2, c4 = (c2 - s2) * (c2 + s2);
    const double s6 = s4 * c2 + c4 * s2, s8 = 2.0 * s4 * c4;
    return k[0] * s2 + k[1] * s4 + k[2] * s6 + k[3] * s8;
}

// Root of an increasing function on [lo, hi] (value at lo <= 0 <= value at
// hi) by Newton steps from a first guess; a step that leaves the bracket is
// replaced by bisection, so the solve converges where the derivative
// vanishes and ends after a fixed number of rounds whatever the input.
// f(x, slope) returns the value and sets the slope.
constexpr int kSolveRounds = 60;
constexpr double kSolveTolerance = 1e-15;

template <class F> double SolveIncreasing(F f, double x, double lo, double hi) {
    for (int i = 0; i < kSolveRounds; ++i) {
        double df;
        const double v = f(x, df);
        if (v == 0.0) return x;
        if (v < 0.0)
            lo = x;
        else
            hi = x;
        double next = df > 0.0 ? x - v / df : lo - 1.0; // no slope: bisect
        if (!(next > lo && next < hi)) next = 0.5 * (lo + hi);
        const double step = std::fabs(next - x);
        x = next;
        if (step < kSolveTolerance) break;
    }
    return x;
}

// SmallAtanh's series taken by Estrin's scheme (pairs of terms over x^2,
// x^4, x^8) instead of Horner's: the same terms, to the last place or two,
// in a chain of depth five instead of nine. Where the isometric latitude's
// logarithm and this series run side by side into an exponential (a
// conformal sphere per point), Horner's chain was the longer of the two.
inline double SmallAtanhShallow(double x) {
    if (std::fabs(x) >= 0.1) return std::atanh(x);
    const double x2 = x * x, x4 = x2 * x2, x8 = x4 * x4;
    const double p01 = 1.0 + x2 * (1.0 / 3), p23 = 1.0 / 5 + x2 * (1.0 / 7);
    const double p45 = 1.0 / 9 + x2 * (1.0 / 11), p67 = 1.0 / 13 + x2 * (1.0 / 15);
    return x * ((p01 + x4 * p23) + x8 * ((p45 + x4 * p67) + x8 * (1.0 / 17)));
}

// ---------------------------------------------------------------------------
// Two angles at once. A spherical rotation (the general oblique
// transformation) needs the sines and cosines of two angles and then two
// arctangents per point, independent of each other: each pair is taken in
// the two lanes of one 128-bit register (the compiler's vector extension;
// SSE2 on every x86-64), where two library calls cost twice one. Within a
// unit in the last place of the C library's functions; beyond the ranges
// they are written for, and for NaN, infinities and zeros, the C library's.
// ---------------------------------------------------------------------------
#if defined(__GNUC__)
typedef double DoublePair __attribute__((vector_size(16)));
#define ZRPJ_HAVE_DOUBLE_PAIR 1
#endif

// Angles up to this size (radians) are reduced by k pi/32 in three parts.
constexpr double kSinCosReducedBelow = 1e5;
struct DoubleDouble {
    double hi, lo;
};
// sin(j pi/32), j = 0..16 (to 40 digits, then split into a double and its
// remainder): a quarter turn, the cosines read backwards, the other quarters
// by symmetry.
constexpr DoubleDouble kSineOf32ndsOfPi[17] = {
    {0.0, 0.0},
    {0.0980171403295606, -1.634582362244256e-18},
    {0.19509032201612828, -7.991079068461731e-18},
    {0.2902846772544624, -1.892797870777425e-17},
    {0.3826834323650898, -1.0050772696461588e-17},
    {0.47139673682599764, 6.516678136069013e-18},
    {0.5555702330196022, 4.709410940561677e-17},
    {0.6343932841636455, 1.0420901929280035e-17},
    {0.7071067811865476, -4.833646656726457e-17},
    {0.773010453362737, -3.256590703364977e-17},
    {0.8314696123025452, 1.4073856984728024e-18},
    {0.881921264348355, -1.9843248405890562e-17},
    {0.9238795325112867, 1.7645047084336677e-17},
    {0.9569403357322088, 4.05538698618757e-17},
    {0.9807852804032304, 1.8546939997825006e-17},
    {0.9951847266721969, -4.248691367830441e-17},
    {1.0, 0.0},
};

// sin and cos of x0 and x1. x = k pi/32 + r with |r| <= pi/64 (pi/32 in
// three parts: the first two of 33 bits, so that with |k| < 2^20 their
// products with k and the first difference are exact); sin r and cos r - 1
// by Taylor's terms to r^9 and r^8 (the next are below 1e-19 there); then
// the angle sum with the table's sine and cosine, their remainders added
// before the table's values so that the table's rounding is not the result's.
inline void SinCosPair(double x0, double x1, double& s0, double& c0, double& s1, double& c1) {
#if defined(ZRPJ_HAVE_DOUBLE_PAIR)
    if (!(std::fabs(x0) <= kSinCosReducedBelow && std::fabs(x1) <= kSinCosReducedBelow) || x0 == 0.0 ||
        x1 == 0.0) {
#endif
        s0 = std::sin(x0);
        c0 = std::cos(x0);
        s1 = std::sin(x1);
        c1 = std::cos(x1);
        return;
#if defined(ZRPJ_HAVE_DOUBLE_PAIR)
    }
    constexpr double k32OverPi = 10.185916357881302;
    constexpr double kStepA = 1.5707963267341256 / 16, kStepB = 6.077100506303966e-11 / 16,
                     kStepC = 2.0222662487959506e-21 / 16;
    // Adding and taking away 1.5 * 2^52 rounds to the nearest integer.
    constexpr double kRoundToInteger = 6755399441055744.0;
    const DoublePair x = {x0, x1};
    const DoublePair k = (x * k32OverPi + kRoundToInteger) - kRoundToInteger;
    const DoublePair r = ((x - k * kStepA) - k * kStepB) - k * kStepC;
    const long n0 = static_cast<long>(k[0]), n1 = static_cast<long>(k[1]);
    const int j0 = static_cast<int>(n0 & 15), j1 = static_cast<int>(n1 & 15);
    const DoublePair sHi = {kSineOf32ndsOfPi[j0].hi, kSineOf32ndsOfPi[j1].hi};
    const DoublePair sLo = {kSineOf32ndsOfPi[j0].lo, kSineOf32ndsOfPi[j1].lo};
    const DoublePair cHi = {kSineOf32ndsOfPi[16 - j0].hi, kSineOf32ndsOfPi[16 - j1].hi};
    const DoublePair cLo = {kSineOf32ndsOfPi[16 - j0].lo, kSineOf32ndsOfPi[16 - j1].lo};
    const DoublePair r2 = r * r;
    const DoublePair sinTail =
        r * r2 * (-1.0 / 6 + r2 * (1.0 / 120 + r2 * (-1.0 / 5040 + r2 * (1.0 / 362880))));
    const DoublePair cosMinus1 = r2 * (-0.5 + r2 * (1.0 / 24 + r2 * (-1.0 / 720 + r2 * (1.0 / 40320))));
    // theta = j pi/32 + r, within the quarter turn.
    const DoublePair sinTheta = sHi + (cHi * r + ((sLo + cLo * r) + (sHi * cosMinus1 + cHi * sinTail)));
    const DoublePair cosTheta = cHi + (-(sHi * r) + ((cLo - sLo * r) + (cHi * cosMinus1 - sHi * sinTail)));
    // The quarter turns: sine and cosine exchanged in the odd ones, signed
    // by the quadrant.
    constexpr double kSineSign[4] = {1.0, 1.0, -1.0, -1.0}, kCosineSign[4] = {1.0, -1.0, -1.0, 1.0};
    const int q0 = static_cast<int>((n0 >> 4) & 3), q1 = static_cast<int>((n1 >> 4) & 3);
    const double v0[2] = {sinTheta[0], cosTheta[0]}, v1[2] = {sinTheta[1], cosTheta[1]};
    s0 = kSineSign[q0] * v0[q0 & 1];
    c0 = kCosineSign[q0] * v0[(q0 & 1) ^ 1];
    s1 = kSineSign[q1] * v1[q1 & 1];
    c1 = kCosineSign[q1] * v1[(q1 & 1) ^ 1];
#endif
}

// atan2(y0, x0) and atan2(y1, x1). In the first quadrant the angle is
// b pi/4 + atan(t), |t| <= tan(pi/8), t = |y| / |x|, (|y| - |x|) / (|y| +
// |x|) or -|x| / |y| as the point lies in the first, middle or last eighth
// of the turn, so that one quotient is all that is divided; atan(t) =
// t + t^3 P(t^2), P the Chebyshev fit of degree 11 to (atan(t) / t - 1) / t^2
// over the eighth (its error 2e-19 of t, far below rounding). The other
// quadrants are pi less that angle and its negative, with the multiples of
// pi/4 in two parts.
constexpr double kAtanPairLargest = 1e300;
inline void AtanPair(double y0, double x0, double y1, double x1, double& a0, double& a1) {
#if defined(ZRPJ_HAVE_DOUBLE_PAIR)
    constexpr double kTanEighth = 0.41421356237309503; // tan(pi/8)
    constexpr double kQuarterHi[5] = {0.0, 0.7853981633974483, 1.5707963267948966, 2.356194490192345,
                                      3.141592653589793};
    constexpr double kQuarterLo[5] = {0.0, 3.061616997868383e-17, 6.123233995736766e-17,
                                      9.184850993605148e-17, 1.2246467991473532e-16};
    struct Lane {
        double num, den, sign;
        int eighths;
        bool plain; // computed here, not by the C library
    };
    auto prepare = [](double y, double x) {
        const double ax = std::fabs(x), ay = std::fabs(y);
        const double larger = ax > ay ? ax : ay;
        Lane l{ay, ax, 1.0, 0, larger > 0.0 && larger <= kAtanPairLargest};
        if (!l.plain) {
            l.den = 1.0; // a harmless quotient; the lane is replaced
        } else if (ay <= kTanEighth * ax) {
        } else if (ax <= kTanEighth * ay) {
            l.num = -ax;
            l.den = ay;
            l.eighths = 2;
        } else {
            l.num = ay - ax;
            l.den = ay + ax;
            l.eighths = 1;
        }
        if (x < 0.0) {
            l.eighths = 4 - l.eighths;
            l.sign = -1.0;
        }
        return l;
    };
    const Lane l0 = prepare(y0, x0), l1 = prepare(y1, x1);
    const DoublePair num = {l0.num, l1.num}, den = {l0.den, l1.den};
    const DoublePair t = num / den, t2 = t * t;
    // P by Estrin's scheme (pairs, then pairs of pairs over t^4 and t^8):
    // a chain of depth five instead of twelve.
    const DoublePair t4 = t2 * t2, t8 = t4 * t4;
    const DoublePair p01 = -0.33333333333333331 + t2 * 0.19999999999999804;
    const DoublePair p23 = -0.14285714285659828 + t2 * 0.11111111105155447;
    const DoublePair p45 = -0.090909087535008773 + t2 * 0.076922963750321427;
    const DoublePair p67 = -0.066664248857382549 + t2 * 0.058789289978347752;
    const DoublePair p89 = -0.052304542706502442 + t2 * 0.045515932206265493;
    const DoublePair pAB = -0.034570561981427744 + t2 * 0.016285756855221028;
    const DoublePair p = (p01 + t4 * p23) + t8 * ((p45 + t4 * p67) + t8 * (p89 + t4 * pAB));
    const DoublePair sign = {l0.sign, l1.sign};
    const DoublePair hi = {kQuarterHi[l0.eighths], kQuarterHi[l1.eighths]};
    const DoublePair lo = {kQuarterLo[l0.eighths], kQuarterLo[l1.eighths]};
    const DoublePair angle = hi + (lo + sign * (t + t * t2 * p));
    a0 = l0.plain ? (std::signbit(y0) ? -angle[0] : angle[0]) : std::atan2(y0, x0);
    a1 = l1.plain ? (std::signbit(y1) ? -angle[1] : angle[1]) : std::atan2(y1, x1);
#else
    a0 = std::atan2(y0, x0);
    a1 = std::atan2(y1, x1);
#endif
}

} // namespace zrpj
