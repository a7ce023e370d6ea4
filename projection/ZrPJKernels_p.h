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

} // namespace zrpj
