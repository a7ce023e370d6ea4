// The vector kernels of the array projections, compiled once per instruction
// set (SSE2, SSE4, AVX2, AVX-512) and chosen at run time, so that one binary
// runs on every x86-64. Highway supplies the dispatch and the vector
// inverse hyperbolic sine; the sine, cosine, arctangent, arcsine,
// exponential and logarithm are our own, rounded as the C library's.
//
// Each kernel does what the scalar frame and the kind's routine do for a
// common point, in the same order of operations, and marks the lanes it
// finished; the operator sends every other lane through the scalar path.
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "projection/batch.cpp"
#include <hwy/foreach_target.h> // IWYU pragma: keep

#include <hwy/contrib/math/math-inl.h>
#include <hwy/highway.h>

#include "projection/ZrPJBatch_p.h"
#include "projection/ZrPJVectorMath-inl.h"

#include <cmath>
#include <limits>

HWY_BEFORE_NAMESPACE();
namespace zrpj {
namespace HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

constexpr double kPi = 3.14159265358979323846;
constexpr double kHalfPi = kPi / 2.0;
constexpr double kQuarterPi = kPi / 4.0;
constexpr double kTwoPi = 2.0 * kPi;
constexpr double kDegToRad = 0.017453292519943295;
constexpr double kRadToDeg = 57.29577951308232;

// The scalar routines' own limits, repeated where the kernels test them.
constexpr double kPoleCosine = 1e-10;                        // |cos phi| below: tan phi taken as 0
constexpr double kClassicalReach = 3.0 * kPi / 180.0;        // classical transverse series, radians
constexpr double kClassicalEasting = kClassicalReach * 1.01; // in units of a
constexpr double kSmallRotation = 0.01;                      // footpoint start's rotation, radians
constexpr double kMeridianInverseTolerance = 1e-7;           // footpoint Newton step
constexpr double kMercatorLatitudeLimit = 1.53588974175501;  // 88 degrees
// The vector exponential is valid up to 709; beyond, the scalar path decides.
constexpr double kExpLimit = 700.0;

// Sine and cosine together, as the C library rounds them (its are correctly
// rounded in all but rare cases) for |x| < 8 (the kernels' arguments are
// angles of at most a turn): Highway's own are three units off in a sixth of
// the arguments and its cosine of 0 is one unit below 1, and the chains below
// magnify such a difference into nanometres. The argument is reduced by pi/2
// in two parts, the product with the first exact (fused or Dekker's), and the
// reduced argument kept with its rounding error; then the Taylor series of
// sine and cosine to x^17 and x^18, whose omitted terms are below 1e-19 of
// the result on [-pi/4, pi/4]. The square of the reduced argument and its cube
// carry their rounding errors into the final addition, which alone rounds.
constexpr double kHalfPiHigh = 1.5707963267948966;   // pi/2 rounded to a double
constexpr double kHalfPiLow = 6.123233995736766e-17; // pi/2 - kHalfPiHigh
// SinCosParts leaves each as its unrounded pair, high part and the rest, for
// a caller that must know how near its rounding lies to a tie.
HWY_INLINE void SinCosParts(V x, V& sinHi, V& sinLo, V& cosHi, V& cosLo) {
    const V q = hn::Round(x * C(2.0 / kPi));
    const V p = q * C(kHalfPiHigh);
    // x - p is exact (q is 0 or x lies within a factor of two of p).
    V r, rLow;
    TwoSum(x - p, hn::Neg(hn::MulAdd(q, C(kHalfPiLow), ProductError(q, C(kHalfPiHigh), p))), r, rLow);
    const V z = r * r;
    // (r + rLow)^2 - z and (r + rLow)^3 - z r, to the rounding of small terms
    // (so that rLow enters the sine as (1 - r^2/2) rLow, its cosine's terms).
    const V zLow = hn::MulAdd(C(2.0) * r, rLow, ProductError(r, r, z));
    const V cube = z * r;
    const V cubeLow = hn::MulAdd(zLow, r, hn::MulAdd(z, rLow, ProductError(z, r, cube)));
    V S = C(1.0 / 355687428096000.0);
    S = hn::MulAdd(S, z, C(-1.0 / 1307674368000.0));
    S = hn::MulAdd(S, z, C(1.0 / 6227020800.0));
    S = hn::MulAdd(S, z, C(-1.0 / 39916800.0));
    S = hn::MulAdd(S, z, C(1.0 / 362880.0));
    S = hn::MulAdd(S, z, C(-1.0 / 5040.0));
    S = hn::MulAdd(S, z, C(1.0 / 120.0));
    // The cubic term, up to a tenth of the sine, as a pair: -1/6 itself in
    // two parts, its product with the cube exact.
    constexpr double kSixthHigh = -0.16666666666666666, kSixthLow = -9.25185853854297e-18;
    const V third = cube * C(kSixthHigh);
    const V thirdLow =
        ProductError(cube, C(kSixthHigh), third) + hn::MulAdd(cube, C(kSixthLow), cubeLow * C(kSixthHigh));
    V sh, se;
    TwoSum(r, third, sh, se);
    const V sinRLow = se + hn::MulAdd(cube * z, S, thirdLow + rLow);
    V Q = C(-1.0 / 6402373705728000.0);
    Q = hn::MulAdd(Q, z, C(1.0 / 20922789888000.0));
    Q = hn::MulAdd(Q, z, C(-1.0 / 87178291200.0));
    Q = hn::MulAdd(Q, z, C(1.0 / 479001600.0));
    Q = hn::MulAdd(Q, z, C(-1.0 / 3628800.0));
    Q = hn::MulAdd(Q, z, C(1.0 / 40320.0));
    Q = hn::MulAdd(Q, z, C(-1.0 / 720.0));
    Q = hn::MulAdd(Q, z, C(1.0 / 24.0));
    // 1 - z/2 rounded, and what that rounding lost, added back with the rest.
    const V half = C(0.5) * z;
    const V w = C(1.0) - half;
    // rLow enters as -sin(r) rLow: -r rLow within zLow, r^3/6 rLow here.
    const V cosRLow =
        ((C(1.0) - w) - half) + hn::MulAdd(z * z, Q, hn::NegMulAdd(third, rLow, C(-0.5) * zLow));
    // The quadrant q mod 4 picks and signs them.
    const V quadrant = q - C(4.0) * hn::Floor(q * C(0.25));
    const M odd = hn::Eq(quadrant - C(2.0) * hn::Floor(quadrant * C(0.5)), C(1.0));
    const M sinNegative = hn::Ge(quadrant, C(2.0));
    const M cosNegative = hn::And(hn::Ge(quadrant, C(1.0)), hn::Le(quadrant, C(2.0)));
    const V s = hn::IfThenElse(odd, w, sh), sLow = hn::IfThenElse(odd, cosRLow, sinRLow);
    const V c = hn::IfThenElse(odd, sh, w), cLow = hn::IfThenElse(odd, sinRLow, cosRLow);
    sinHi = hn::IfThenElse(sinNegative, hn::Neg(s), s);
    sinLo = hn::IfThenElse(sinNegative, hn::Neg(sLow), sLow);
    cosHi = hn::IfThenElse(cosNegative, hn::Neg(c), c);
    cosLo = hn::IfThenElse(cosNegative, hn::Neg(cLow), cLow);
}

HWY_INLINE void SinCos(V x, V& sinX, V& cosX) {
    V sinHi, sinLo, cosHi, cosLo;
    SinCosParts(x, sinHi, sinLo, cosHi, cosLo);
    sinX = sinHi + sinLo;
    cosX = cosHi + cosLo;
}

// sinh within a unit in the last place: the Taylor series to x^21 below 1
// (omitted terms under 1e-22), the exponentials beyond, where they do not
// cancel. Highway's is four units off in half the small arguments the
// transverse kinds give it (e atanh(e sin phi), below 0.01).
HWY_INLINE V Sinh(V x) {
    const D d;
    const V z = x * x;
    V P = C(1.0 / 51090942171709440000.0);
    P = hn::MulAdd(P, z, C(1.0 / 121645100408832000.0));
    P = hn::MulAdd(P, z, C(1.0 / 355687428096000.0));
    P = hn::MulAdd(P, z, C(1.0 / 1307674368000.0));
    P = hn::MulAdd(P, z, C(1.0 / 6227020800.0));
    P = hn::MulAdd(P, z, C(1.0 / 39916800.0));
    P = hn::MulAdd(P, z, C(1.0 / 362880.0));
    P = hn::MulAdd(P, z, C(1.0 / 5040.0));
    P = hn::MulAdd(P, z, C(1.0 / 120.0));
    P = hn::MulAdd(P, z, C(1.0 / 6.0));
    const V series = hn::MulAdd(z * x, P, x);
    const M small = hn::Lt(hn::Abs(x), C(1.0));
    if (hn::AllTrue(d, small)) return series;
    const V ex = Exp(x);
    return hn::IfThenElse(small, series, C(0.5) * (ex - C(1.0) / ex));
}

// The scalar SmallAtanh's series, for |x| < 0.1 (the caller's ellipsoid).
HWY_INLINE V SmallAtanh(V x) {
    const V x2 = x * x;
    return x * (C(1.0) +
                x2 * (C(1.0 / 3) +
                      x2 * (C(1.0 / 5) +
                            x2 * (C(1.0 / 7) +
                                  x2 * (C(1.0 / 9) + x2 * (C(1.0 / 11) +
                                                           x2 * (C(1.0 / 13) +
                                                                 x2 * (C(1.0 / 15) + x2 * C(1.0 / 17)))))))));
}

// x + c2 sin 2x + c4 sin 4x + c6 sin 6x + c8 sin 8x, the multiple angles by
// the double-angle identities as the scalar SineSeries forms them.
HWY_INLINE V SineSeries(V x, const double c[4]) {
    const D d;
    const V x2 = C(2.0) * x;
    V s2, c2;
    SinCos(x2, s2, c2);
    const V s4 = C(2.0) * s2 * c2, c4 = C(1.0) - C(2.0) * s2 * s2;
    const V s6 = s4 * c2 + c4 * s2;
    const V s8 = C(2.0) * s4 * c4;
    return x + (C(c[0]) * s2 + C(c[1]) * s4 + C(c[2]) * s6 + C(c[3]) * s8);
}

// The isometric latitude ln tan(pi/4 + phi/2) - e atanh(e sin phi), for |phi| < pi/2,
// in the scalar routine's form: odd in phi and taken for |phi|, so that
// 1 + sin phi never cancels.
HWY_INLINE V IsometricLatitude(const BatchConstants& k, V phi) {
    const D d;
    V s, c;
    SinCos(hn::Abs(phi), s, c);
    return hn::CopySign(Log((C(1.0) + s) / c) - C(k.e) * SmallAtanh(C(k.e) * s), phi);
}

HWY_INLINE V MeridianLength(const BatchConstants& k, V phi, V s, V c) {
    c = c * s;
    s = s * s;
    return C(k.en[0]) * phi - c * (C(k.en[1]) + s * (C(k.en[2]) + s * (C(k.en[3]) + s * C(k.en[4]))));
}

HWY_INLINE void RotateBySmallAngle(V& s, V& c, V d) {
    const V d2 = d * d;
    const V sd =
        d * (C(1.0) - d2 * C(1.0 / 6.0) * (C(1.0) - d2 * C(1.0 / 20.0) * (C(1.0) - d2 * C(1.0 / 42.0))));
    const V cd = C(1.0) - d2 * C(0.5) * (C(1.0) - d2 * C(1.0 / 12.0) * (C(1.0) - d2 * C(1.0 / 30.0)));
    const V sNew = s * cd + c * sd;
    c = c * cd - s * sd;
    s = sNew;
}

// ---- The kinds, forward: (dlam, phi) in radians -> unit-scale metres ----

// Clenshaw summation of sum_k c[k-1] sin(2k zeta), zeta = xi + i eta, k = 1 .. 6,
// as the scalar ComplexSineSum forms it.
HWY_INLINE void ComplexSineSum(const double c[6], V xi, V eta, V& re, V& im) {
    const D d;
    V s2, c2;
    SinCos(C(2.0) * xi, s2, c2);
    const V ex = Exp(C(2.0) * eta), exInv = C(1.0) / ex;
    const V sh2 = C(0.5) * (ex - exInv), ch2 = C(0.5) * (ex + exInv);
    const V ar = C(2.0) * c2 * ch2, ai = C(-2.0) * s2 * sh2;
    V yr = hn::Zero(d), yi = hn::Zero(d), zr = hn::Zero(d), zi = hn::Zero(d);
    for (int j = 5; j >= 0; --j) {
        const V br = C(c[j]) + ar * yr - ai * yi - zr;
        const V bi = ar * yi + ai * yr - zi;
        zr = yr;
        zi = yi;
        yr = br;
        yi = bi;
    }
    const V sr = s2 * ch2, si = c2 * sh2;
    re = sr * yr - si * yi;
    im = sr * yi + si * yr;
}

// Krueger's series take the lanes beyond the classical reach out to this
// many radians of longitude (or eta, inverse); further out, the scalar path.
constexpr double kKrugerVectorReach = 1.0;

HWY_INLINE void KrugerForward(const BatchConstants& k, V& x, V& y, M& ok) {
    const D d;
    const V dlam = x, phi = y;
    ok = hn::And(ok, hn::Le(hn::Abs(dlam), C(kKrugerVectorReach)));
    V s, c, sl, cl;
    SinCos(phi, s, c);
    const V sigma = Sinh(C(k.e) * SmallAtanh(C(k.e) * s));
    const V tc = s * hn::Sqrt(C(1.0) + sigma * sigma) - sigma;
    SinCos(dlam, sl, cl);
    const V den = c * cl;
    const V xip = Atan2(tc, den);
    const V etap = hn::Asinh(d, c * sl / hn::Sqrt(tc * tc + den * den));
    V re, im;
    ComplexSineSum(k.alpha, xip, etap, re, im);
    x = C(k.krA) * (etap + im);
    y = C(k.krA) * (xip + re) - C(k.krY0);
}

// Newton's rounds on tan(phi) from tan(chi); the scalar routine stops when a
// step falls below 1e-15 of tau, which two rounds reach on any earth
// ellipsoid: the third must have, or the lane is the scalar path's.
constexpr int kKrugerNewtonRounds = 3;
constexpr double kKrugerNewtonTolerance = 1e-15;

HWY_INLINE void KrugerInverse(const BatchConstants& k, V& x, V& y, M& ok) {
    const D d;
    const V xi = (y + C(k.krY0)) / C(k.krA), eta = x / C(k.krA);
    ok = hn::And(ok, hn::Le(hn::Abs(eta), C(kKrugerVectorReach)));
    V re, im;
    ComplexSineSum(k.beta, xi, eta, re, im);
    const V xip = xi - re, etap = eta - im;
    V sxi, cxi;
    SinCos(xip, sxi, cxi);
    const V sh = Sinh(etap);
    const V r = hn::Sqrt(sh * sh + cxi * cxi);
    x = Atan2(sh, cxi);
    ok = hn::And(ok, hn::Gt(r, hn::Zero(d)));
    const V taup = sxi / r;
    const double oneMinusEs = 1.0 - k.es;
    V tau = taup / C(oneMinusEs);
    V dtau = hn::Zero(d);
    for (int i = 0; i < kKrugerNewtonRounds; ++i) {
        const V root = hn::Sqrt(C(1.0) + tau * tau);
        const V sigma = Sinh(C(k.e) * SmallAtanh(C(k.e) * tau / root));
        const V taupi = tau * hn::Sqrt(C(1.0) + sigma * sigma) - sigma * root;
        dtau = (taup - taupi) / hn::Sqrt(C(1.0) + taupi * taupi) * (C(1.0) + C(oneMinusEs) * tau * tau) /
               (C(oneMinusEs) * root);
        tau = tau + dtau;
    }
    ok = hn::And(ok, hn::Lt(hn::Abs(dtau), C(kKrugerNewtonTolerance) * hn::Max(C(1.0), hn::Abs(tau))));
    y = Atan(tau);
}

// The classical transverse Mercator series within the reach of the meridian.
HWY_INLINE void ClassicalForward(const BatchConstants& k, V& x, V& y, M& ok) {
    const D d;
    const V dlam = x, phi = y;
    V s, c;
    SinCos(phi, s, c);
    const V t = hn::IfThenElseZero(hn::Gt(hn::Abs(c), C(kPoleCosine)), s / c);
    const V T = t * t;
    V al = c * dlam;
    const V als = al * al;
    al = al / hn::Sqrt(C(1.0) - C(k.es) * s * s);
    const V n = C(k.eps2) * c * c;
    x = C(k.a) * al *
        (C(1.0) +
         als * C(0.16666666666666666) *
             (C(1.0) - T + n +
              als * C(0.05) *
                  (C(5.0) + T * (T - C(18.0)) + n * (C(14.0) - C(58.0) * T) +
                   als * C(0.023809523809523808) * (C(61.0) + T * (T * (C(179.0) - T) - C(479.0))))));
    y = C(k.a) * (MeridianLength(k, phi, s, c) - C(k.ml0) +
                  s * al * dlam * C(0.5) *
                      (C(1.0) + als * C(0.08333333333333333) *
                                    (C(5.0) - T + n * (C(9.0) + C(4.0) * n) +
                                     als * C(0.03333333333333333) *
                                         (C(61.0) + T * (T - C(58.0)) + n * (C(270.0) - C(330.0) * T) +
                                          als * C(0.017857142857142856) *
                                              (C(1385.0) + T * (T * (C(543.0) - T) - C(3111.0)))))));
}

// The scalar routine's choice per lane: the classical series within the
// reach, Krueger's beyond; each runs only when a lane of the register needs it.
HWY_INLINE void TransverseForward(const BatchConstants& k, V& x, V& y, M& ok) {
    const D d;
    const M near = hn::Le(hn::Abs(x), C(kClassicalReach));
    V xc = x, yc = y, xk = x, yk = y;
    M okc = ok, okk = ok;
    if (!hn::AllFalse(d, near)) ClassicalForward(k, xc, yc, okc);
    if (!hn::AllTrue(d, near)) KrugerForward(k, xk, yk, okk);
    x = hn::IfThenElse(near, xc, xk);
    y = hn::IfThenElse(near, yc, yk);
    ok = hn::Or(hn::And(near, okc), hn::AndNot(near, okk));
}

HWY_INLINE void ConePlace(const BatchConstants& k, V rho, V& x, V& y) {
    const D d;
    V sinTheta, cosTheta;
    SinCos(C(k.n) * x, sinTheta, cosTheta);
    x = rho * sinTheta;
    y = C(k.rho0) - rho * cosTheta;
}

HWY_INLINE void ConformalConicForward(const BatchConstants& k, V& x, V& y, M& ok) {
    const D d;
    // At a pole the isometric latitude is infinite: the scalar path's case.
    ok = hn::And(ok, hn::Lt(hn::Abs(y), C(kHalfPi)));
    const V t = C(-k.n) * IsometricLatitude(k, y);
    ok = hn::And(ok, hn::Lt(hn::Abs(t), C(kExpLimit)));
    ConePlace(k, C(k.c3) * Exp(t), x, y);
}

HWY_INLINE void EqualAreaConicForward(const BatchConstants& k, V& x, V& y, M& /*ok*/) {
    const D d;
    V s, c;
    SinCos(y, s, c);
    const V s2 = s * s;
    const V area = C(k.areaFactor) * s *
                   (C(1.0) + s2 * (C(k.P[0]) + s2 * (C(k.P[1]) + s2 * (C(k.P[2]) + s2 * C(k.P[3])))));
    // A negative radicand (beyond the map) gives NaN: the frame's finiteness
    // test hands the lane to the scalar path, which refuses it.
    ConePlace(k, C(k.signN) * hn::Sqrt(C(2.0) * (C(k.c3) - area) / C(k.n)), x, y);
}

HWY_INLINE void MercatorForward(const BatchConstants& k, V& x, V& y, M& ok) {
    const V phi = hn::Min(hn::Max(y, C(-kMercatorLatitudeLimit)), C(kMercatorLatitudeLimit));
    x = C(k.c1) * x;
    y = C(k.c1) * IsometricLatitude(k, phi);
}

HWY_INLINE void SphereMercatorForward(const BatchConstants& k, V& x, V& y, M& /*ok*/) {
    const D d;
    const V phi = hn::Min(hn::Max(y, C(-kMercatorLatitudeLimit)), C(kMercatorLatitudeLimit));
    const V u = C(kQuarterPi) + phi / C(2.0);
    x = C(k.a) * x;
    V su, cu;
    SinCos(u, su, cu);
    y = C(k.a) * Log(su / cu);
}

// ---- The kinds, inverse: unit-scale metres -> (dlam, phi) in radians ----

// The footpoint latitude of a meridian length m (units of a), with its sine
// and cosine: the scalar routine's start from the rectifying latitude and its
// one Newton step; lanes that would need more leave ok.
HWY_INLINE V MeridianLengthInverse(const BatchConstants& k, V m, V& s, V& c, M& ok) {
    const D d;
    const V mu = m * C(k.aOverD0);
    ok = hn::And(ok, hn::Lt(hn::Abs(mu), C(kHalfPi - 0.01)));
    V smu, cmu;
    SinCos(mu, smu, cmu);
    const V s2 = C(2.0) * smu * cmu, c2 = (cmu - smu) * (cmu + smu);
    const V s4 = C(2.0) * s2 * c2, c4 = C(1.0) - C(2.0) * s2 * s2;
    const V dphi =
        C(k.R[0]) * s2 + C(k.R[1]) * s4 + C(k.R[2]) * (s4 * c2 + c4 * s2) + C(k.R[3]) * (C(2.0) * s4 * c4);
    V phi = mu + dphi;
    ok = hn::And(ok, hn::Le(hn::Abs(dphi), C(kSmallRotation)));
    s = smu;
    c = cmu;
    RotateBySmallAngle(s, c, dphi);
    const V t = C(1.0) - C(k.es) * s * s;
    const V delta = (MeridianLength(k, phi, s, c) - m) * t * hn::Sqrt(t) * C(k.invOneMinusEs);
    phi = phi - delta;
    ok = hn::And(ok, hn::Lt(hn::Abs(delta), C(kMeridianInverseTolerance)));
    RotateBySmallAngle(s, c, hn::Neg(delta));
    return phi;
}

// ok: the lanes whose footpoint the vector computed as the scalar routine
// would; keep: those whose result the scalar routine keeps (else Krueger's).
HWY_INLINE void ClassicalInverse(const BatchConstants& k, V& x, V& y, M& ok, M& keep) {
    const V xin = x;
    V s, c;
    const V phi1 = MeridianLengthInverse(k, y * C(k.invA) + C(k.ml0), s, c, ok);
    keep = hn::Lt(hn::Abs(phi1), C(kHalfPi));
    const V t = hn::IfThenElseZero(hn::Gt(hn::Abs(c), C(kPoleCosine)), s / c);
    const V n = C(k.eps2) * c * c;
    V con = C(1.0) - C(k.es) * s * s;
    const V dd = xin * hn::Sqrt(con) * C(k.invA);
    con = con * t;
    const V T = t * t;
    const V ds = dd * dd;
    y = phi1 - (con * ds * C(k.invOneMinusEs)) * C(0.5) *
                   (C(1.0) - ds * C(1.0 / 12.0) *
                                 (C(5.0) + T * (C(3.0) - C(9.0) * n) + n * (C(1.0) - C(4.0) * n) -
                                  ds * C(1.0 / 30.0) *
                                      (C(61.0) + T * (C(90.0) - C(252.0) * n + C(45.0) * T) + C(46.0) * n -
                                       ds * C(1.0 / 56.0) *
                                           (C(1385.0) + T * (C(3633.0) + T * (C(4095.0) + C(1574.0) * T))))));
    x = dd *
        (C(1.0) -
         ds * C(1.0 / 6.0) *
             (C(1.0) + C(2.0) * T + n -
              ds * C(1.0 / 20.0) *
                  (C(5.0) + T * (C(28.0) + C(24.0) * T + C(8.0) * n) + C(6.0) * n -
                   ds * C(1.0 / 42.0) * (C(61.0) + T * (C(662.0) + T * (C(1320.0) + C(720.0) * T)))))) /
        c;
    // The classical series are kept only where the longitude they find is
    // within their reach; beyond, Krueger's take over.
    keep = hn::And(keep, hn::And(hn::Le(hn::Abs(x), C(kClassicalReach)), hn::Lt(hn::Abs(y), C(kHalfPi))));
}

// The scalar routine's choice per lane: the classical series where the
// easting allows and the point they find lies within their reach (and their
// footpoint short of a pole), Krueger's for every other lane.
HWY_INLINE void TransverseInverse(const BatchConstants& k, V& x, V& y, M& ok) {
    const D d;
    V xc = x, yc = y, xk = x, yk = y;
    const M tried = hn::Le(hn::Abs(x), C(kClassicalEasting * k.a));
    M classical = hn::FirstN(d, 0), okc = ok;
    if (!hn::AllFalse(d, tried)) {
        // A tried lane whose footpoint the vector could not follow is the
        // scalar path's; one the scalar routine would not keep is Krueger's.
        M keep;
        ClassicalInverse(k, xc, yc, okc, keep);
        okc = hn::Or(okc, hn::Not(tried));
        classical = hn::And(tried, keep);
    }
    M okk = ok;
    if (!hn::AllTrue(d, classical)) KrugerInverse(k, xk, yk, okk);
    x = hn::IfThenElse(classical, xc, xk);
    y = hn::IfThenElse(classical, yc, yk);
    ok = hn::And(okc, hn::Or(hn::And(classical, ok), hn::AndNot(classical, okk)));
}

// The signed radius of a planar point, returned, and theta / n left in x.
HWY_INLINE V ConeLocate(const BatchConstants& k, V& x, V y) {
    const V sx = C(k.signN) * x;
    const V dy = C(k.rho0) - y;
    const V rho = C(k.signN) * hn::Sqrt(x * x + dy * dy);
    x = Atan2(sx, C(k.signN) * dy) / C(k.n);
    return rho;
}

HWY_INLINE void ConformalConicInverse(const BatchConstants& k, V& x, V& y, M& ok) {
    const D d;
    const V rho = ConeLocate(k, x, y);
    // The apex has no logarithm: the scalar path's case.
    ok = hn::And(ok, hn::Gt(hn::Abs(rho), hn::Zero(d)));
    const V t = hn::Neg(Log(hn::Abs(rho / C(k.c3)))) / C(k.n);
    ok = hn::And(ok, hn::Lt(hn::Abs(t), C(kExpLimit)));
    const V chi = C(2.0) * Atan(Exp(t)) - C(kHalfPi);
    y = SineSeries(chi, k.K);
}

HWY_INLINE void EqualAreaConicInverse(const BatchConstants& k, V& x, V& y, M& ok) {
    const D d;
    const V rho = ConeLocate(k, x, y);
    const V v = (C(k.c3) - rho * rho * C(k.n) / C(2.0)) / C(k.Rq2);
    // Past +-1 only by rounding or not at all: the scalar path's case.
    ok = hn::And(ok, hn::Le(hn::Abs(v), C(1.0)));
    y = SineSeries(Asin(v), k.Q);
}

HWY_INLINE void MercatorInverse(const BatchConstants& k, V& x, V& y, M& ok) {
    const D d;
    const V t = y / C(k.c1);
    ok = hn::And(ok, hn::Lt(hn::Abs(t), C(kExpLimit)));
    const V chi = C(2.0) * Atan(Exp(t)) - C(kHalfPi);
    x = x / C(k.c1);
    y = hn::Min(hn::Max(SineSeries(chi, k.K), C(-kHalfPi)), C(kHalfPi));
}

HWY_INLINE void SphereMercatorInverse(const BatchConstants& k, V& x, V& y, M& ok) {
    const D d;
    const V t = y / C(k.a);
    ok = hn::And(ok, hn::Lt(hn::Abs(t), C(kExpLimit)));
    const V phi = C(2.0) * Atan(Exp(t)) - C(kHalfPi);
    x = x / C(k.a);
    y = hn::Min(hn::Max(phi, C(-kHalfPi)), C(kHalfPi));
}

#include "projection/ZrPJGeodesicKernel-inl.h"
#include "projection/ZrPJObliqueKernels-inl.h"
#include "projection/ZrPJHotinePolyconicKernels-inl.h"
#include "projection/ZrPJMarginalKernels-inl.h"
#include "projection/ZrPJViewKernels-inl.h"
#include "projection/ZrPJAzimuthalKernels-inl.h"

// ---- The conformal cone's and the transverse Mercator's variants ----

// Belgium's cone turned about its apex (its turn kept as a longitude) and
// the west-orientated cone's easting, on Lambert's kernel as the single-point
// routines wrap Lambert's routine; a turn of 0 and a sign of 1 change no bit.
HWY_INLINE void ConformalConicVariantForward(const BatchConstants& k, V& x, V& y, M& ok) {
    x = x - C(k.coneTurn);
    ConformalConicForward(k, x, y, ok);
    x = x * C(k.xSign);
}

HWY_INLINE void ConformalConicVariantInverse(const BatchConstants& k, V& x, V& y, M& ok) {
    x = x * C(k.xSign);
    ConformalConicInverse(k, x, y, ok);
    x = x + C(k.coneTurn);
}

// The near-conformal cone at unit scale: r = r0 - M with M = m + A m^3, m
// the meridian arc from the origin's parallel (n, r0 and A in n, rho0 and
// c3). The single-point routine's x = r sin(theta) and y = M + r sin(theta)
// tan(theta / 2) from one sine and cosine of theta / 2: sin(theta) = 2 s c
// and sin(theta) tan(theta / 2) = 2 s^2, within a last place or two of the
// routine's three calls.
HWY_INLINE void NearConformalForward(const BatchConstants& k, V& x, V& y, M& /*ok*/) {
    V s, c;
    SinCos(y, s, c);
    const V m = C(k.a) * (MeridianLength(k, y, s, c) - C(k.ml0));
    const V arc = m + C(k.c3) * m * m * m;
    const V r = C(k.rho0) - arc;
    V sh, ch;
    SinCos(C(0.5) * (x * C(k.n)), sh, ch);
    x = r * (C(2.0) * sh * ch);
    y = arc + r * (C(2.0) * sh * sh);
}

// The cubic M = m + A m^3 solved by the single-point routine's Lagrange
// series, which it takes while X = A M^2 stays below this (500 km from the
// origin's parallel); further out its Newton rounds, on the scalar path.
constexpr double kNearConformalSeriesBelow = 1e-3;

HWY_INLINE void NearConformalInverse(const BatchConstants& k, V& x, V& y, M& ok) {
    const V r = ConeLocate(k, x, y);
    const V arc = C(k.rho0) - r;
    const V X = C(k.c3) * arc * arc;
    ok = hn::And(ok, hn::Lt(X, C(kNearConformalSeriesBelow)));
    const V X2 = X * X;
    const V m = arc * ((C(1.0) - X) + X2 * (C(3.0) - C(12.0) * X) +
                       X2 * X2 * (C(55.0) - C(273.0) * X + C(1428.0) * X2));
    V s, c;
    y = MeridianLengthInverse(k, C(k.ml0) + m * C(k.invA), s, c, ok);
}

// The transverse Mercator's map turned half round: both coordinates change
// sign after the forward and before the inverse.
HWY_INLINE void TransverseSouthForward(const BatchConstants& k, V& x, V& y, M& ok) {
    TransverseForward(k, x, y, ok);
    x = hn::Neg(x);
    y = hn::Neg(y);
}

HWY_INLINE void TransverseSouthInverse(const BatchConstants& k, V& x, V& y, M& ok) {
    x = hn::Neg(x);
    y = hn::Neg(y);
    TransverseInverse(k, x, y, ok);
}

// ---- The frame, as the scalar one does it for a common point ----
using KindStep = void (*)(const BatchConstants&, V&, V&, M&);

template <KindStep kind>
HWY_INLINE void ForwardLoop(const BatchConstants& k, double* px, double* py, double* done,
                            std::size_t count) {
    const D d;
    const std::size_t N = hn::Lanes(d);
    for (std::size_t i = 0; i < count; i += N) {
        const V lonDeg = hn::LoadU(d, px + i), latDeg = hn::LoadU(d, py + i);
        M ok = hn::And(Finite(lonDeg), Finite(latDeg));
        // Longitude in range, then less the central meridian, reduced by one
        // turn; a point that needs more is the scalar path's.
        const V lam = lonDeg * C(kDegToRad);
        ok = hn::And(ok, hn::Le(hn::Abs(lam), C(kPi)));
        V dlam = lam - C(k.lam0);
        dlam = hn::IfThenElse(hn::Gt(dlam, C(kPi)), dlam + C(-kTwoPi), dlam);
        dlam = hn::IfThenElse(hn::Lt(dlam, C(-kPi)), dlam + C(kTwoPi), dlam);
        ok = hn::And(ok, hn::Le(hn::Abs(dlam), C(kPi)));
        V phi = latDeg * C(kDegToRad);
        phi = hn::Min(hn::Max(phi, C(-kHalfPi)), C(kHalfPi));
        V x = dlam, y = phi;
        kind(k, x, y, ok);
        x = x * C(k.scale);
        y = y * C(k.scale);
        x = x * C(k.unitFactor) + C(k.fe);
        y = y * C(k.unitFactor) + C(k.fn);
        if (k.divisor != 1.0) {
            x = x / C(k.divisor);
            y = y / C(k.divisor);
        }
        ok = hn::And(ok, hn::And(Finite(x), Finite(y)));
        hn::StoreU(x, d, px + i);
        hn::StoreU(y, d, py + i);
        hn::StoreU(hn::IfThenElseZero(ok, C(1.0)), d, done + i);
    }
}

template <KindStep kind>
HWY_INLINE void InverseLoop(const BatchConstants& k, double* px, double* py, double* done,
                            std::size_t count) {
    const D d;
    const std::size_t N = hn::Lanes(d);
    for (std::size_t i = 0; i < count; i += N) {
        const V xin = hn::LoadU(d, px + i), yin = hn::LoadU(d, py + i);
        M ok = hn::And(Finite(xin), Finite(yin));
        V x = xin * C(k.divisor) - C(k.fe);
        V y = yin * C(k.divisor) - C(k.fn);
        if (k.unitFactor != 1.0) {
            x = x / C(k.unitFactor);
            y = y / C(k.unitFactor);
        }
        x = x * C(k.invScale);
        y = y * C(k.invScale);
        kind(k, x, y, ok);
        // A kind whose longitudes routinely pass a half turn (the turned
        // globe about a central meridian of 180 degrees sends half its map
        // there) folds them once, as the scalar frame's reduction does; a
        // longitude still beyond, a latitude beyond a pole or not a number
        // takes the scalar path's reduction, snap or refusal.
        V lam = x + C(k.lam0);
        if (k.foldLongitude) {
            const V folded = hn::IfThenElse(hn::Ge(lam, hn::Zero(d)), lam - C(kTwoPi), lam + C(kTwoPi));
            lam = hn::IfThenElse(hn::Gt(hn::Abs(lam), C(kPi)), folded, lam);
        }
        ok = hn::And(ok, hn::Le(hn::Abs(lam), C(kPi)));
        ok = hn::And(ok, hn::Le(hn::Abs(y), C(kHalfPi)));
        hn::StoreU(lam * C(kRadToDeg), d, px + i);
        hn::StoreU(y * C(kRadToDeg), d, py + i);
        hn::StoreU(hn::IfThenElseZero(ok, C(1.0)), d, done + i);
    }
}

void ForwardBlock(const BatchConstants& k, double* x, double* y, double* done, std::size_t count) {
    switch (k.kernel) {
    case BatchKernel::kTransverseMercator:
        return ForwardLoop<TransverseForward>(k, x, y, done, count);
    case BatchKernel::kConformalConic:
        return ForwardLoop<ConformalConicForward>(k, x, y, done, count);
    case BatchKernel::kEqualAreaConic:
        return ForwardLoop<EqualAreaConicForward>(k, x, y, done, count);
    case BatchKernel::kMercator:
        return ForwardLoop<MercatorForward>(k, x, y, done, count);
    case BatchKernel::kSphereMercator:
        return ForwardLoop<SphereMercatorForward>(k, x, y, done, count);
    case BatchKernel::kGeodesicAzimuthal:
        return ForwardLoop<GeodesicAzimuthalForward>(k, x, y, done, count);
    case BatchKernel::kLaborde:
        return ForwardLoop<LabordeForward>(k, x, y, done, count);
    case BatchKernel::kObliqueTransform:
        return ForwardLoop<ObliqueTransformForward>(k, x, y, done, count);
    case BatchKernel::kHotine:
        return ForwardLoop<HotineForward>(k, x, y, done, count);
    case BatchKernel::kPolyconic:
        return ForwardLoop<PolyconicForward>(k, x, y, done, count);
    case BatchKernel::kTransverseZoned:
        return ForwardLoop<TransverseZonedForward>(k, x, y, done, count);
    case BatchKernel::kEqualEarth:
        return ForwardLoop<EqualEarthForward>(k, x, y, done, count);
    case BatchKernel::kObliqueStereo:
        return ForwardLoop<ObliqueStereoForward>(k, x, y, done, count);
    case BatchKernel::kPolarStereo:
        return ForwardLoop<PolarStereoForward>(k, x, y, done, count);
    case BatchKernel::kCassini:
        return ForwardLoop<CassiniForward>(k, x, y, done, count);
    case BatchKernel::kOrthographic:
        return ForwardLoop<OrthographicForward>(k, x, y, done, count);
    case BatchKernel::kGeostationary:
        return ForwardLoop<GeostationaryForward>(k, x, y, done, count);
    case BatchKernel::kKrovak:
        return ForwardLoop<KrovakForward>(k, x, y, done, count);
    case BatchKernel::kLambertVariant:
        return ForwardLoop<ConformalConicVariantForward>(k, x, y, done, count);
    case BatchKernel::kNearConformal:
        return ForwardLoop<NearConformalForward>(k, x, y, done, count);
    case BatchKernel::kTransverseSouth:
        return ForwardLoop<TransverseSouthForward>(k, x, y, done, count);
    case BatchKernel::kCassiniHyperbolic:
        return ForwardLoop<CassiniHyperbolicForward>(k, x, y, done, count);
    case BatchKernel::kGoode:
    case BatchKernel::kEqualAreaAzimuth:
    case BatchKernel::kNone:
        break;
    }
    for (std::size_t i = 0; i < count; ++i)
        done[i] = 0.0;
}

void InverseBlock(const BatchConstants& k, double* x, double* y, double* done, std::size_t count) {
    switch (k.kernel) {
    case BatchKernel::kTransverseMercator:
        return InverseLoop<TransverseInverse>(k, x, y, done, count);
    case BatchKernel::kConformalConic:
        return InverseLoop<ConformalConicInverse>(k, x, y, done, count);
    case BatchKernel::kEqualAreaConic:
        return InverseLoop<EqualAreaConicInverse>(k, x, y, done, count);
    case BatchKernel::kMercator:
        return InverseLoop<MercatorInverse>(k, x, y, done, count);
    case BatchKernel::kSphereMercator:
        return InverseLoop<SphereMercatorInverse>(k, x, y, done, count);
    case BatchKernel::kGeodesicAzimuthal:
        return InverseLoop<GeodesicAzimuthalInverse>(k, x, y, done, count);
    case BatchKernel::kObliqueTransform:
        return InverseLoop<ObliqueTransformInverse>(k, x, y, done, count);
    case BatchKernel::kHotine:
        return InverseLoop<HotineInverse>(k, x, y, done, count);
    case BatchKernel::kPolyconic:
        return InverseLoop<PolyconicInverse>(k, x, y, done, count);
    case BatchKernel::kTransverseZoned:
        return InverseLoop<TransverseZonedInverse>(k, x, y, done, count);
    case BatchKernel::kEqualEarth:
        return InverseLoop<EqualEarthInverse>(k, x, y, done, count);
    case BatchKernel::kGoode:
        return InverseLoop<GoodeInverse>(k, x, y, done, count);
    case BatchKernel::kCassini:
        return InverseLoop<CassiniInverse>(k, x, y, done, count);
    case BatchKernel::kGeostationary:
        return InverseLoop<GeostationaryInverse>(k, x, y, done, count);
    case BatchKernel::kKrovak:
        return InverseLoop<KrovakInverse>(k, x, y, done, count);
    case BatchKernel::kEqualAreaAzimuth:
        return InverseLoop<EqualAreaAzimuthInverse>(k, x, y, done, count);
    case BatchKernel::kLambertVariant:
        return InverseLoop<ConformalConicVariantInverse>(k, x, y, done, count);
    case BatchKernel::kNearConformal:
        return InverseLoop<NearConformalInverse>(k, x, y, done, count);
    case BatchKernel::kTransverseSouth:
        return InverseLoop<TransverseSouthInverse>(k, x, y, done, count);
    case BatchKernel::kCassiniHyperbolic:
        return InverseLoop<CassiniHyperbolicInverse>(k, x, y, done, count);
    case BatchKernel::kObliqueStereo:
    case BatchKernel::kPolarStereo:
    case BatchKernel::kLaborde:
    case BatchKernel::kOrthographic:
    case BatchKernel::kNone:
        break;
    }
    for (std::size_t i = 0; i < count; ++i)
        done[i] = 0.0;
}

// The elementary functions on their own, for the tests that hold them to the
// C library's; count is a multiple of the widest register's lanes.
void MathBlock(BatchMath f, const double* x, const double* y, double* out, std::size_t count) {
    const D d;
    const std::size_t N = hn::Lanes(d);
    for (std::size_t i = 0; i < count; i += N) {
        const V a = hn::LoadU(d, x + i), b = hn::LoadU(d, y + i);
        V r, s, c;
        switch (f) {
        case BatchMath::kExp:
            r = Exp(a);
            break;
        case BatchMath::kLog:
            r = Log(a);
            break;
        case BatchMath::kAtan:
            r = Atan(a);
            break;
        case BatchMath::kAtan2:
            r = Atan2(a, b);
            break;
        case BatchMath::kAsin:
            r = Asin(a);
            break;
        case BatchMath::kSin:
        case BatchMath::kCos:
            SinCos(a, s, c);
            r = f == BatchMath::kSin ? s : c;
            break;
        }
        hn::StoreU(r, d, out + i);
    }
}

} // namespace HWY_NAMESPACE
} // namespace zrpj
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
#include <cstdlib>
#include <cstring>

namespace zrpj {
HWY_EXPORT(ForwardBlock);
HWY_EXPORT(InverseBlock);
HWY_EXPORT(MathBlock);

namespace {
struct BatchChoice {
    bool enabled = false;
    const char* name = "scalar";
};

// The instruction sets a name of ZRPRJ_SIMD allows: the named one and every
// narrower one, so that a CPU without it falls back step by step.
int64_t AllowedTargets(const char* name) {
    const int64_t upToSse2 = HWY_EMU128 | HWY_SCALAR;
    const int64_t upToSse4 = upToSse2 | HWY_SSSE3 | HWY_SSE4;
    const int64_t upToAvx2 = upToSse4 | HWY_AVX2;
    if (std::strcmp(name, "sse2") == 0) return upToSse2;
    if (std::strcmp(name, "sse4") == 0) return upToSse4;
    if (std::strcmp(name, "avx2") == 0) return upToAvx2;
    return ~int64_t{0}; // avx512, auto: the widest there is
}

BatchChoice Choose(const char* name) {
    BatchChoice choice;
    if (name && std::strcmp(name, "scalar") == 0) return choice;
    // Back to what the CPU has, then down to what the name allows.
    hwy::SetSupportedTargetsForTest(0);
    const int64_t allowed = AllowedTargets(name ? name : "auto");
    if (allowed != ~int64_t{0}) hwy::SetSupportedTargetsForTest(hwy::SupportedTargets() & allowed);
    hwy::GetChosenTarget().Update(hwy::SupportedTargets());
    // The best target both compiled in and supported, as the dispatch takes it.
    const int64_t usable = hwy::SupportedTargets() & HWY_TARGETS;
    const int64_t best = usable & -usable;
    choice.enabled = best != 0;
    choice.name = best == HWY_AVX3 || best == HWY_AVX3_DL ? "avx512"
                  : best == HWY_AVX2                      ? "avx2"
                  : best == HWY_SSE4 || best == HWY_SSSE3 ? "sse4"
                                                          : "sse2";
    return choice;
}

BatchChoice& Choice() {
    static BatchChoice choice = Choose(std::getenv("ZRPRJ_SIMD"));
    return choice;
}
} // namespace

bool BatchUsePath(const char* name) {
    Choice() = Choose(name);
    return std::strcmp(Choice().name, name) == 0;
}

bool BatchEnabled() {
    return Choice().enabled;
}

const char* BatchPathName() {
    return Choice().name;
}

void BatchForward(const BatchConstants& c, double* x, double* y, double* done, std::size_t count) {
    HWY_DYNAMIC_DISPATCH(ForwardBlock)(c, x, y, done, count);
}

void BatchInverse(const BatchConstants& c, double* x, double* y, double* done, std::size_t count) {
    HWY_DYNAMIC_DISPATCH(InverseBlock)(c, x, y, done, count);
}
void BatchMathForTest(BatchMath f, const double* x, const double* y, double* out, std::size_t count) {
    HWY_DYNAMIC_DISPATCH(MathBlock)(f, x, y, out, count);
}
} // namespace zrpj
#endif // HWY_ONCE
