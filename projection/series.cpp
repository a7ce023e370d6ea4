// The series under the ellipsoidal kinds (meridian arc and its inverse,
// conformal and authalic latitudes, radii of curvature, the iterated
// meridian length of the Transverse Mercator) and the three transverse
// cylindrical kinds that stand closest to them: Gauss-Krueger, Transverse
// Mercator and the spherical Cassini.
#include "projection/ZrPJOperator.h"

#include "projection/ZrPJKernels_p.h"

#include "geodesy/ZrPJMath.h"

#include <algorithm>
#include <cmath>

using namespace zrpj;

namespace {

// Footpoint iteration of the Transverse Mercator inverse: the correction is
// Newton's with the exact meridian radius, so ten rounds reach 1e-7 rad from
// any start on the meridian; the bound keeps NaN from looping.
constexpr int kMeridianInverseRounds = 10;
constexpr double kMeridianInverseTolerance = 1e-7;
// Below this |cos(phi)| the point is at a pole and tan(phi) is taken as 0.
constexpr double kPoleCosine = 1e-10;

// The inverse auxiliary-latitude series (rectifying, conformal, authalic
// latitude back to the geodetic one) are the Fourier sine coefficients of
// phi(xi) - xi, taken from the forward the kinds evaluate: the latitude is
// solved for at kFitNodes - 1 nodes xi_j = j pi / (2 kFitNodes) in (0, pi/2)
// and the discrete sine transform gives the coefficients. phi(xi) - xi is odd
// and pi-periodic, so the transform is exact but for the terms of order
// 2 kFitNodes and beyond, and those, like the terms past the four kept, are
// below 1e-13 rad (a micrometre) for any earth ellipsoid. The reversion of
// truncated power series in e^2 that stood here before left the inverses
// 0.8 mm (conformal) to 2.3 mm (authalic) short of their forwards.
constexpr int kFitNodes = 16;

template <class Residual> void FitInverseSeries(Residual residual, double c[4]) {
    double phiMinusXi[kFitNodes] = {};
    for (int j = 1; j < kFitNodes; ++j) {
        const double xi = j * kHalfPi / kFitNodes;
        const double phi = SolveIncreasing([&](double x, double& slope) { return residual(x, xi, slope); },
                                           xi, 0.0, kHalfPi);
        phiMinusXi[j] = phi - xi;
    }
    for (int k = 1; k <= 4; ++k) {
        double sum = 0.0;
        for (int j = 1; j < kFitNodes; ++j)
            sum += phiMinusXi[j] * std::sin(2.0 * k * j * kHalfPi / kFitNodes);
        c[k - 1] = sum * 2.0 / kFitNodes;
    }
}

// The fits a thread made last, by e^2 (-1: none yet).
struct InverseSeriesFit {
    double es = -1.0;
    double R[4] = {}, K[4] = {}, Q[4] = {};
};
constexpr int kInverseFitsKept = 4;
thread_local InverseSeriesFit t_inverseFits[kInverseFitsKept];
thread_local int t_nextInverseFit = 0;

// c2 sin 2x + c4 sin 4x + c6 sin 6x + c8 sin 8x, with the multiple angles
// from the double-angle identities (one sin and one cos per call).
inline double SineSum(double x, const double c[4]) {
    const double s2 = std::sin(2.0 * x), c2 = std::cos(2.0 * x);
    const double s4 = 2.0 * s2 * c2, c4 = 1.0 - 2.0 * s2 * s2;
    const double s6 = s4 * c2 + c4 * s2;
    const double s8 = 2.0 * s4 * c4;
    return c[0] * s2 + c[1] * s4 + c[2] * s6 + c[3] * s8;
}

inline double SineSeries(double x, const double c[4]) {
    return x + SineSum(x, c);
}

} // namespace

// ---------------------------------------------------------------------------
// Coefficients, computed once per Create
// ---------------------------------------------------------------------------
void CZrPJOperator::ComputeEquidistCoefficient() {
    const double E = m_ell.es, E2 = E * E, E3 = E2 * E, E4 = E3 * E;
    const double a = m_def.a;

    // Authalic series: the area from the equator, in powers of sin(phi).
    m_ser.P[0] = 0.6666666666666666 * E;
    m_ser.P[1] = 0.6 * E2;
    m_ser.P[2] = 0.5714285714285714 * E3;
    m_ser.P[3] = 0.5555555555555556 * E4;
    m_ser.Rq2 = a * a * (1.0 - E) * (1.0 + m_ser.P[0] + m_ser.P[1] + m_ser.P[2] + m_ser.P[3]);
    m_ser.Rq = std::sqrt(m_ser.Rq2);

    // The closed form is 0/0 on a sphere, where the radius of equal area is a.
    if (m_ell.e > 1e-12)
        m_ser.authalicRadius =
            a * std::sqrt(std::log((1.0 + m_ell.e) / (1.0 - m_ell.e)) * (1.0 - E) * 0.25 / m_ell.e + 0.5);
    else
        m_ser.authalicRadius = a;

    // Rectifying (meridian arc) series in multiple angles.
    const double s0 = 1.0 + 0.75 * E + 0.703125 * E2 + 0.68359375 * E3 + 0.67291259765625 * E4;
    const double s2 = 0.75 * E + 0.9375 * E2 + 1.025390625 * E3 + 1.07666015625 * E4;
    const double s4 = 0.234375 * E2 + 0.41015625 * E3 + 0.538330078125 * E4;
    const double s6 = 0.068359375 * E3 + 0.15380859375 * E4;
    const double s8 = 0.01922607421875 * E4;
    const double o = a * (1.0 - E);
    m_ser.D[0] = o * s0;
    m_ser.D[1] = -0.5 * o * s2;
    m_ser.D[2] = 0.25 * o * s4;
    m_ser.D[3] = -0.16666666666666666 * o * s6;
    m_ser.D[4] = 0.125 * o * s8;

    ComputeMeridianLengthSeries();
    m_ell.invA = 1.0 / a;
    m_ell.invOneMinusEs = 1.0 / (1.0 - E);
    m_ser.aOverD0 = m_ser.D[0] > 0.0 ? a / m_ser.D[0] : 0.0;

    // Inverse series, fitted to the forwards the inverses undo. On a sphere
    // every auxiliary latitude is the latitude itself.
    for (double* c : {m_ser.R, m_ser.K, m_ser.Q})
        std::fill(c, c + 4, 0.0);
    if (E == 0.0) return;
    // The fit depends on e^2 alone (each forward is taken in units of a) and
    // costs some microseconds against half a microsecond for the rest of a
    // Create; hosts build system after system on a few ellipsoids, so each
    // thread keeps its last few fits. Being a function of e^2, a fit reused
    // is the fit recomputed, bit for bit.
    for (const InverseSeriesFit& fit : t_inverseFits) {
        if (fit.es != E) continue;
        std::copy(fit.R, fit.R + 4, m_ser.R);
        std::copy(fit.K, fit.K + 4, m_ser.K);
        std::copy(fit.Q, fit.Q + 4, m_ser.Q);
        return;
    }
    const double oneMinusEs = 1.0 - E;
    // Rectifying latitude mu = Distance(phi) / D0 = phi + sum r_k sin 2k phi.
    const double r[4] = {-0.5 * s2 / s0, 0.25 * s4 / s0, -0.16666666666666666 * s6 / s0, 0.125 * s8 / s0};
    FitInverseSeries(
        [&](double phi, double mu, double& slope) {
            slope = 1.0 + 2.0 * r[0] * std::cos(2.0 * phi) + 4.0 * r[1] * std::cos(4.0 * phi) +
                    6.0 * r[2] * std::cos(6.0 * phi) + 8.0 * r[3] * std::cos(8.0 * phi);
            return SineSeries(phi, r) - mu;
        },
        m_ser.R);
    // Conformal latitude chi = gd(psi(phi)), psi the isometric latitude:
    // solved as psi(phi) = gd^-1(chi), with dpsi/dphi = (1 - e^2) / (W^2 cos phi).
    FitInverseSeries(
        [&](double phi, double chi, double& slope) {
            const double s = std::sin(phi);
            slope = oneMinusEs / ((1.0 - E * s * s) * std::cos(phi));
            return IsometricLatitude(phi) - std::asinh(std::tan(chi));
        },
        m_ser.K);
    // Authalic latitude: sin beta = Area(phi) / Rq^2, the area from the
    // equator over the hemisphere's from the same series, as the equal-area
    // inverses form it.
    const double* P = m_ser.P;
    const double hemisphere = 1.0 + P[0] + P[1] + P[2] + P[3];
    FitInverseSeries(
        [&](double phi, double beta, double& slope) {
            const double s = std::sin(phi), s2 = s * s;
            slope = std::cos(phi) *
                    (1.0 + s2 * (3.0 * P[0] + s2 * (5.0 * P[1] + s2 * (7.0 * P[2] + s2 * 9.0 * P[3])))) /
                    hemisphere;
            return s * (1.0 + s2 * (P[0] + s2 * (P[1] + s2 * (P[2] + s2 * P[3])))) / hemisphere -
                   std::sin(beta);
        },
        m_ser.Q);
    InverseSeriesFit& slot = t_inverseFits[t_nextInverseFit];
    t_nextInverseFit = (t_nextInverseFit + 1) % kInverseFitsKept;
    slot.es = E;
    std::copy(m_ser.R, m_ser.R + 4, slot.R);
    std::copy(m_ser.K, m_ser.K + 4, slot.K);
    std::copy(m_ser.Q, m_ser.Q + 4, slot.Q);
}

// Meridian length in units of a, for the Transverse Mercator, and its value at
// the latitude of origin.
void CZrPJOperator::ComputeMeridianLengthSeries() {
    const double E = m_ell.es, E2 = E * E, E3 = E2 * E, E4 = E3 * E;
    const double t = E * (E * (0.01068115234375 * E + 0.01953125) + 0.046875);
    m_ml.en[0] = 1.0 - E * (t + 0.25);
    m_ml.en[1] = E * (0.75 - t);
    m_ml.en[2] = E2 * (0.46875 - E * (0.007120768229166667 * E + 0.013020833333333334));
    m_ml.en[3] = E3 * (0.3645833333333333 - 0.005696614583333333 * E);
    m_ml.en[4] = 0.3076171875 * E4;
    m_ml.ml0 = MeridianLength(m_def.phi0, std::sin(m_def.phi0), std::cos(m_def.phi0));
}

// ---------------------------------------------------------------------------
// Series functions
// ---------------------------------------------------------------------------
double CZrPJOperator::N(double phi) const {
    const double s = std::sin(phi);
    return m_def.a / W(m_ell.es, s);
}

double CZrPJOperator::M(double phi) const {
    const double s = std::sin(phi);
    return m_def.a * (1.0 - m_ell.es) / std::pow(1.0 - m_ell.es * s * s, 1.5);
}

double CZrPJOperator::AntiM(double rho) const {
    return std::asin(std::sqrt(1.0 - std::pow((1.0 - m_ell.es) * m_def.a / rho, 2.0 * 0.3333333333333333)) /
                     m_ell.e);
}

// The isometric latitude ln U(phi) = asinh(tan phi) - e atanh(e sin phi), so
// that U(phi)^n = exp(n psi): one logarithm and one exponential instead of a
// tangent and two powers.
double CZrPJOperator::IsometricLatitude(double phi) const {
    // At a pole it is infinite; cos(pi/2) is not 0 in floating point and
    // would make it 38, which put the pole a cone opens away from 9e17 m
    // out as a success instead of refusing it.
    if (!(std::fabs(phi) < kHalfPi)) return phi > 0.0 ? HUGE_VAL : -HUGE_VAL;
    // It is odd in phi, and taken for |phi| so that 1 + sin phi never cancels:
    // south of the equator it kept the rounding of the sine magnified (1e-13
    // of psi at -88 degrees, a micrometre on the ground).
    const double s = std::sin(std::fabs(phi)), c = std::cos(phi);
    return std::copysign(std::log((1.0 + s) / c) - m_ell.e * SmallAtanh(m_ell.e * s), phi);
}

// U(phi) = tan(pi/4 + phi/2) ((1 - e sin phi) / (1 + e sin phi))^(e/2), the
// exponential of the isometric latitude; Conformal(phi) is its logarithm.
// Both are the one isometric latitude above, so that the Mercator, the
// Lambert cone and the oblique Mercator kinds agree to the last bit.
double CZrPJOperator::U(double phi) const {
    return std::exp(IsometricLatitude(phi));
}

double CZrPJOperator::Conformal(double phi) const {
    return IsometricLatitude(phi);
}

double CZrPJOperator::AntiConformal(double chi) const {
    return SineSeries(chi, m_ser.K);
}

double CZrPJOperator::Area(double phi) const {
    const double s = std::sin(phi), s2 = s * s;
    return m_def.a * m_def.a * (1.0 - m_ell.es) * s *
           (1.0 + s2 * (m_ser.P[0] + s2 * (m_ser.P[1] + s2 * (m_ser.P[2] + s2 * m_ser.P[3]))));
}

double CZrPJOperator::AntiArea(double beta) const {
    return SineSeries(beta, m_ser.Q);
}

double CZrPJOperator::Distance(double phi) const {
    return m_ser.D[0] * phi + SineSum(phi, m_ser.D + 1);
}

double CZrPJOperator::AntiDistance(double psi) const {
    return SineSeries(psi, m_ser.R);
}

double CZrPJOperator::MeridianLength(double phi, double s, double c) const {
    c *= s;
    s *= s;
    return m_ml.en[0] * phi - c * (m_ml.en[1] + s * (m_ml.en[2] + s * (m_ml.en[3] + s * m_ml.en[4])));
}

double CZrPJOperator::MeridianLengthInverse(double m) const {
    double s, c;
    return MeridianLengthInverse(m, s, c);
}

namespace {
// Rotates (s, c) = (sin x, cos x) into (sin(x + d), cos(x + d)) for a small d
// by the Taylor series of sin d and cos d; for |d| <= kSmallRotation the
// terms kept are exact to rounding.
constexpr double kSmallRotation = 0.01;
} // namespace

double CZrPJOperator::MeridianLengthInverse(double m, double& sinPhi, double& cosPhi) const {
    const double k = m_ell.invOneMinusEs;
    // Start from the rectifying latitude mu = arc / D0 and its series (good to
    // ~1e-9 rad), so that the first Newton step already falls below the
    // threshold. The sine and cosine of the start come from the one sin/cos
    // pair of mu that the series needs (then a small rotation),
    // and those of the result from rotating by the Newton step: one sin/cos
    // per footpoint instead of three. The converged latitude is the same to
    // rounding as iterating from m itself.
    double phi = m, s, c;
    const double mu = m_ser.D[0] > 0.0 ? m * m_ser.aOverD0 : m;
    bool haveSinCos = false;
    if (m_ser.D[0] > 0.0 && std::fabs(mu) < kHalfPi - 0.01) {
        const double smu = std::sin(mu), cmu = std::cos(mu);
        const double s2 = 2.0 * smu * cmu, c2 = (cmu - smu) * (cmu + smu);
        const double s4 = 2.0 * s2 * c2, c4 = 1.0 - 2.0 * s2 * s2;
        const double dphi = m_ser.R[0] * s2 + m_ser.R[1] * s4 + m_ser.R[2] * (s4 * c2 + c4 * s2) +
                            m_ser.R[3] * (2.0 * s4 * c4);
        phi = mu + dphi;
        if (std::fabs(dphi) <= kSmallRotation) {
            s = smu;
            c = cmu;
            RotateBySmallAngle(s, c, dphi);
            haveSinCos = true;
        }
    } else if (m_ser.D[0] > 0.0) {
        phi = AntiDistance(mu);
    }
    double delta = 0.0;
    for (int i = 0; i < kMeridianInverseRounds; ++i) {
        if (!haveSinCos) {
            s = std::sin(phi);
            c = std::cos(phi);
        }
        haveSinCos = false;
        const double t = 1.0 - m_ell.es * s * s;
        delta = (MeridianLength(phi, s, c) - m) * t * std::sqrt(t) * k;
        phi -= delta;
        if (std::fabs(delta) < kMeridianInverseTolerance) break;
    }
    if (std::fabs(delta) < kMeridianInverseTolerance) {
        RotateBySmallAngle(s, c, -delta);
        sinPhi = s;
        cosPhi = c;
    } else {
        sinPhi = std::sin(phi);
        cosPhi = std::cos(phi);
    }
    return phi;
}

// ---------------------------------------------------------------------------
// The classical transverse Mercator: eighth-order series in the longitude
// difference about the meridian arc from the parallel whose arc is ml0 (in
// units of a). Near the central meridian it stays within a few micrometres
// of the exact projection at a fraction of the cost of Krueger's series.
// ---------------------------------------------------------------------------
inline void CZrPJOperator::ClassicalTransverseForward(CPoint2D& pt, double ml0) const {
    const double dlam = pt.x;
    const double phi = pt.y;
    const double s = std::sin(phi), c = std::cos(phi);
    const double t = std::fabs(c) > kPoleCosine ? s / c : 0.0;
    const double T = t * t;
    double al = c * dlam;
    const double als = al * al;
    al /= W(m_ell.es, s);
    const double n = m_ell.eps2 * c * c;

    pt.x = m_def.a * al *
           (1.0 + als * 0.16666666666666666 *
                      (1.0 - T + n +
                       als * 0.05 *
                           (5.0 + T * (T - 18.0) + n * (14.0 - 58.0 * T) +
                            als * 0.023809523809523808 * (61.0 + T * (T * (179.0 - T) - 479.0)))));
    pt.y = m_def.a *
           (MeridianLength(phi, s, c) - ml0 +
            s * al * dlam * 0.5 *
                (1.0 + als * 0.08333333333333333 *
                           (5.0 - T + n * (9.0 + 4.0 * n) +
                            als * 0.03333333333333333 *
                                (61.0 + T * (T - 58.0) + n * (270.0 - 330.0 * T) +
                                 als * 0.017857142857142856 * (1385.0 + T * (T * (543.0 - T) - 3111.0))))));
}

inline void CZrPJOperator::ClassicalTransverseInverse(CPoint2D& pt, double ml0) const {
    const double x = pt.x, y = pt.y;
    double s, c;
    const double phi1 = MeridianLengthInverse(y * m_ell.invA + ml0, s, c); // footpoint
    if (std::fabs(phi1) >= kHalfPi) {
        pt.y = (y / m_def.a >= 0.0) ? kHalfPi : -kHalfPi;
        pt.x = 0.0;
        return;
    }
    const double t = std::fabs(c) > kPoleCosine ? s / c : 0.0;
    const double n = m_ell.eps2 * c * c;
    double con = 1.0 - m_ell.es * s * s;
    const double d = x * std::sqrt(con) * m_ell.invA;
    con *= t;
    const double T = t * t;
    const double ds = d * d;

    // Divisions by the series' integer constants are written as products
    // with their reciprocals: the same values to the last bit or two, at a
    // fraction of a division's cost.
    pt.y = phi1 -
           (con * ds * m_ell.invOneMinusEs) * 0.5 *
               (1.0 - ds * (1.0 / 12.0) *
                          (5.0 + T * (3.0 - 9.0 * n) + n * (1.0 - 4.0 * n) -
                           ds * (1.0 / 30.0) *
                               (61.0 + T * (90.0 - 252.0 * n + 45.0 * T) + 46.0 * n -
                                ds * (1.0 / 56.0) * (1385.0 + T * (3633.0 + T * (4095.0 + 1574.0 * T))))));
    pt.x = d *
           (1.0 - ds * (1.0 / 6.0) *
                      (1.0 + 2.0 * T + n -
                       ds * (1.0 / 20.0) *
                           (5.0 + T * (28.0 + 24.0 * T + 8.0 * n) + 6.0 * n -
                            ds * (1.0 / 42.0) * (61.0 + T * (662.0 + T * (1320.0 + 720.0 * T)))))) /
           c;
}

// ---------------------------------------------------------------------------
// Krueger's series of the exact transverse Mercator (Krueger 1912, carried to
// sixth order in the third flattening n by Karney 2011): the geodetic latitude
// goes to the conformal one, the conformal sphere's transverse Mercator is
// closed-form, and a trigonometric series in the complex coordinate
// zeta = xi + i eta maps it onto the ellipsoid's. To n^6 the map is within a
// few nanometres of the exact projection out to 4000 km from the central
// meridian, where the classical series in the longitude difference miss by
// 0.8 mm at 6 degrees out and by metres at 30.
// ---------------------------------------------------------------------------
namespace {
// Where the classical series is kept: |longitude difference| up to this,
// radians (a UTM zone, so UTM keeps the faster series). Measured against the
// exact projection on WGS 84 and Krasovsky, the classical forward is within
// 0.016 mm there (its worst, on the equator at the edge) and its inverse within
// 0.011 mm; beyond, the classical series lose accuracy as the eighth power of
// the longitude difference (0.8 mm at 6 degrees) and Krueger's take over.
constexpr double kClassicalReach = 3.0 * kPi / 180.0;
// The inverse tries the classical series up to this easting, in units of a:
// a point at the reach lies at most a hair beyond a times it (on the
// equator), and the longitude the series find then decides.
constexpr double kClassicalEasting = kClassicalReach * 1.01;

// Clenshaw summation of sum_k c[k-1] sin(2k zeta) for complex zeta = xi + i eta,
// k = 1 .. 6: returns its real and imaginary parts.
inline void ComplexSineSum(const double c[6], double xi, double eta, double& re, double& im) {
    const double s2 = std::sin(2.0 * xi), c2 = std::cos(2.0 * xi);
    const double ex = std::exp(2.0 * eta), exInv = 1.0 / ex;
    const double sh2 = 0.5 * (ex - exInv), ch2 = 0.5 * (ex + exInv);
    // 2 cos(2 zeta) and sin(2 zeta).
    const double ar = 2.0 * c2 * ch2, ai = -2.0 * s2 * sh2;
    double yr = 0.0, yi = 0.0, zr = 0.0, zi = 0.0; // b_{k+1}, b_{k+2}
    for (int k = 5; k >= 0; --k) {
        const double br = c[k] + ar * yr - ai * yi - zr;
        const double bi = ar * yi + ai * yr - zi;
        zr = yr;
        zi = yi;
        yr = br;
        yi = bi;
    }
    const double sr = s2 * ch2, si = c2 * sh2;
    re = sr * yr - si * yi;
    im = sr * yi + si * yr;
}
} // namespace

// The coefficients once per operator: Karney (2011), eqs. (14), (35), (36).
void CZrPJOperator::ComputeKrugerSeries(double phi0) {
    const double f = m_def.f;
    const double n = f / (2.0 - f), n2 = n * n;
    KrugerSeries& k = m_kr;
    k.A = m_def.a / (1.0 + n) * (1.0 + n2 * (1.0 / 4.0 + n2 * (1.0 / 64.0 + n2 / 256.0)));
    k.alpha[0] =
        n * (1.0 / 2.0 +
             n * (-2.0 / 3.0 +
                  n * (5.0 / 16.0 + n * (41.0 / 180.0 + n * (-127.0 / 288.0 + n * 7891.0 / 37800.0)))));
    k.alpha[1] =
        n2 * (13.0 / 48.0 +
              n * (-3.0 / 5.0 + n * (557.0 / 1440.0 + n * (281.0 / 630.0 + n * -1983433.0 / 1935360.0))));
    k.alpha[2] =
        n2 * n * (61.0 / 240.0 + n * (-103.0 / 140.0 + n * (15061.0 / 26880.0 + n * 167603.0 / 181440.0)));
    k.alpha[3] = n2 * n2 * (49561.0 / 161280.0 + n * (-179.0 / 168.0 + n * 6601661.0 / 7257600.0));
    k.alpha[4] = n2 * n2 * n * (34729.0 / 80640.0 + n * -3418889.0 / 1995840.0);
    k.alpha[5] = n2 * n2 * n2 * (212378941.0 / 319334400.0);
    k.beta[0] =
        n * (1.0 / 2.0 +
             n * (-2.0 / 3.0 +
                  n * (37.0 / 96.0 + n * (-1.0 / 360.0 + n * (-81.0 / 512.0 + n * 96199.0 / 604800.0)))));
    k.beta[1] =
        n2 * (1.0 / 48.0 +
              n * (1.0 / 15.0 + n * (-437.0 / 1440.0 + n * (46.0 / 105.0 + n * -1118711.0 / 3870720.0))));
    k.beta[2] = n2 * n * (17.0 / 480.0 + n * (-37.0 / 840.0 + n * (-209.0 / 4480.0 + n * 5569.0 / 90720.0)));
    k.beta[3] = n2 * n2 * (4397.0 / 161280.0 + n * (-11.0 / 504.0 + n * -830251.0 / 7257600.0));
    k.beta[4] = n2 * n2 * n * (4583.0 / 161280.0 + n * -108847.0 / 3991680.0);
    k.beta[5] = n2 * n2 * n2 * (20648693.0 / 638668800.0);
    // The origin parallel's northing, by the same series, so that the two
    // directions share it exactly.
    k.y0 = 0.0;
    CPoint2D origin(0.0, phi0);
    KrugerForward(origin);
    k.y0 = origin.y;
}

void CZrPJOperator::KrugerForward(CPoint2D& pt) const {
    const double dlam = pt.x, phi = pt.y;
    const double s = std::sin(phi), c = std::cos(phi);
    // tan(chi) cos(phi), chi the conformal latitude: Karney's tau' without the
    // division by cos(phi), so that the poles need no case of their own.
    const double sigma = std::sinh(m_ell.e * SmallAtanh(m_ell.e * s));
    const double tc = s * std::sqrt(1.0 + sigma * sigma) - sigma;
    const double sl = std::sin(dlam), cl = std::cos(dlam);
    const double den = c * cl;
    // The conformal sphere's transverse Mercator (Gauss-Schreiber).
    const double xip = std::atan2(tc, den);
    const double etap = std::asinh(c * sl / std::hypot(tc, den));
    double re, im;
    ComplexSineSum(m_kr.alpha, xip, etap, re, im);
    pt.x = m_kr.A * (etap + im);
    pt.y = m_kr.A * (xip + re) - m_kr.y0;
}

void CZrPJOperator::KrugerInverse(CPoint2D& pt) const {
    const double xi = (pt.y + m_kr.y0) / m_kr.A, eta = pt.x / m_kr.A;
    double re, im;
    ComplexSineSum(m_kr.beta, xi, eta, re, im);
    const double xip = xi - re, etap = eta - im;
    const double sxi = std::sin(xip), cxi = std::cos(xip), sh = std::sinh(etap);
    const double r = std::hypot(sh, cxi);
    pt.x = std::atan2(sh, cxi);
    if (r == 0.0) {
        pt.y = sxi >= 0.0 ? kHalfPi : -kHalfPi;
        return;
    }
    // tan(chi) -> tan(phi) by Newton's method (Karney 2011, eqs. 19-21),
    // from tau'/(1 - e^2); two rounds reach rounding on any earth ellipsoid,
    // the bound keeps a NaN from looping.
    const double taup = sxi / r;
    const double oneMinusEs = 1.0 - m_ell.es;
    double tau = taup / oneMinusEs;
    for (int i = 0; i < 5; ++i) {
        const double root = std::sqrt(1.0 + tau * tau);
        const double sigma = std::sinh(m_ell.e * SmallAtanh(m_ell.e * tau / root));
        const double taupi = tau * std::sqrt(1.0 + sigma * sigma) - sigma * root;
        const double dtau = (taup - taupi) / std::sqrt(1.0 + taupi * taupi) * (1.0 + oneMinusEs * tau * tau) /
                            (oneMinusEs * root);
        tau += dtau;
        if (!(std::fabs(dtau) >= 1e-15 * std::fmax(1.0, std::fabs(tau)))) break;
    }
    pt.y = std::atan(tau);
}

// ---------------------------------------------------------------------------
// Gauss-Krueger (43005), unit scale, origin on the equator; Transverse
// Mercator (43006), origin parallel phi0, the dispatcher applies k0. Both the
// classical series near the central meridian and Krueger's beyond. The
// inverse decides on the map: the classical one is tried where the easting
// allows a point within reach and kept when the longitude it finds is, and
// when its footpoint is not beyond a pole (a northing past the quarter
// meridian lies on the far half of the central meridian, which only the
// complex series see).
// ---------------------------------------------------------------------------
int CZrPJOperator::GaussKruger_Forward(CPoint2D& pt) const {
    if (std::fabs(pt.x) <= kClassicalReach)
        ClassicalTransverseForward(pt, 0.0);
    else
        KrugerForward(pt);
    return 1;
}

int CZrPJOperator::GaussKruger_Inverse(CPoint2D& pt) const {
    if (m_kr.A == 0.0) {
        // Never created: the classical Gauss-Krueger series need only the
        // meridian series.
        const double x = pt.x, y = pt.y;
        const double phif = AntiDistance(y / m_ser.D[0]); // footpoint latitude
        const double sf = std::sin(phif), cf = std::cos(phif);
        const double n = m_def.a / W(m_ell.es, sf);
        const double t = sf / cf;
        const double t2 = t * t, t4 = t2 * t2;
        const double eta2 = m_ell.eps2 * cf * cf, eta4 = eta2 * eta2;
        const double q = x / n, q2 = q * q, q3 = q2 * q, q4 = q2 * q2, q5 = q4 * q, q6 = q4 * q2;

        pt.y =
            phif + t * (-1.0 - eta2) * q2 / 2.0 +
            t * (5.0 + 3.0 * t2 + 6.0 * eta2 - 6.0 * eta2 * t2 - 3.0 * eta4 - 9.0 * t2 * eta4) * q4 / 24.0 +
            t * (eta2 * (162.0 * t2 + 45.0 * t4) - (61.0 + 90.0 * t2 + 45.0 * t4 + 107.0 * eta2)) * q6 /
                720.0;
        pt.x = q / cf + q3 * (-1.0 - 2.0 * t2 - eta2) / (6.0 * cf) +
               q5 * (5.0 + 28.0 * t2 + 24.0 * t4 + eta2 * (6.0 + 8.0 * t2)) / (120.0 * cf);
        return 1;
    }
    const CPoint2D xy = pt;
    if (std::fabs(xy.x) <= kClassicalEasting * m_def.a) {
        ClassicalTransverseInverse(pt, 0.0);
        if (std::fabs(pt.x) <= kClassicalReach && std::fabs(pt.y) < kHalfPi) return 1;
        pt = xy;
    }
    KrugerInverse(pt);
    return 1;
}

int CZrPJOperator::Traverse_Conformal_Cylindrical_Forward(CPoint2D& pt) const {
    if (std::fabs(pt.x) <= kClassicalReach)
        ClassicalTransverseForward(pt, m_ml.ml0);
    else
        KrugerForward(pt);
    return 1;
}

int CZrPJOperator::Traverse_Conformal_Cylindrical_Inverse(CPoint2D& pt) const {
    const CPoint2D xy = pt;
    if (std::fabs(xy.x) <= kClassicalEasting * m_def.a) {
        ClassicalTransverseInverse(pt, m_ml.ml0);
        if (std::fabs(pt.x) <= kClassicalReach && std::fabs(pt.y) < kHalfPi) return 1;
        pt = xy;
    }
    KrugerInverse(pt);
    return 1;
}

// ---------------------------------------------------------------------------
// Cassini (43028), on the sphere of radius a.
// ---------------------------------------------------------------------------
int CZrPJOperator::Traverse_Equidistant_Cylindrical_Forward(CPoint2D& pt) const {
    const double dlam = pt.x;
    const double phi = pt.y;
    pt.x = m_def.a * std::asin(std::sin(dlam) * std::cos(phi));
    pt.y = m_def.a * std::atan2(std::tan(phi), std::cos(dlam));
    return 1;
}

int CZrPJOperator::Traverse_Equidistant_Cylindrical_Inverse(CPoint2D& pt) const {
    double D = pt.x / m_def.a, G = pt.y / m_def.a;
    // Beyond the map's edge the point is taken at the edge rather than refused.
    D = D > kHalfPi ? kHalfPi : (D < -kHalfPi ? -kHalfPi : D);
    G = G > kPi ? kPi : (G < -kPi ? -kPi : G);
    const double phi = std::asin(std::sin(G) * std::cos(D));
    pt.x = std::atan2(std::tan(D), std::cos(G));
    pt.y = phi;
    return 1;
}
