// The azimuthal equidistant on the ellipsoid: a point is placed at its
// geodesic distance from the centre, along the geodesic's azimuth there, so
// that every distance and direction from the centre is true. Karney's
// solution of the geodesic problems keeps this to nanometres out to the
// antipode, as PROJ's form of the method does; the classical series forms
// (Hatzidimitriou's, the polar meridian arc) lose millimetres beyond a few
// hundred kilometres.
//
// The inverse is the direct geodesic problem from the fixed centre, which
// needs no iteration: it is solved here in radians with Karney's series
// (2013, "Algorithms for geodesics", eqs. 17, 18, 21, 24 and 25), the
// centre's reduced latitude and the series' dependence on n summed once at
// set-up, and the azimuth's sine and cosine read off the map's x and y. The
// geodesic library, which takes degrees, reduces angles and builds a
// geodesic line object per call, costs twice as much a point; it still
// solves the forward (an iteration on the azimuth) and any ellipsoid
// flatter than the series serve.
#include "projection/ZrPJOperator.h"

#include "projection/ZrPJKernels_p.h"

#include "geodesy/ZrPJMath.h"

#include <algorithm>
#include <cmath>

using namespace zrpj;

namespace {
// Within this distance of the centre (metres at unit scale) a point is the
// centre: the geodesic's azimuth there is undefined.
constexpr double kCentreDistance = 1e-10;
// The series below are truncated at sixth order in eps (A1, C1, C1') and
// fifth in (n, eps) jointly (A3, C3); with eps below n, what they leave is
// under 1e-18 rad for f up to 0.01 (every earth ellipsoid: 0.0034). Beyond,
// the library's solution takes over (it adds a Newton round there).
constexpr double kSeriesFlattening = 0.01;
// A reduced latitude's cosine is kept above this at a pole, as the library
// does, so that the centre has a meridian (its longitude's).
constexpr double kTinyCosine = 1.4916681462400413e-154; // sqrt(DBL_MIN)

// A1 - 1, with A1 = (1 + eps^2/4 + eps^4/64 + eps^6/256) / (1 - eps).
inline double A1m1(double eps) {
    const double e2 = eps * eps;
    return (e2 * (1.0 / 4 + e2 * (1.0 / 64 + e2 * (1.0 / 256))) + eps) / (1.0 - eps);
}

// C1 (arc -> distance) and C1' (distance -> arc): coefficients of sin 2l sigma, l = 1 .. 6.
inline void C1Series(double eps, double c[6]) {
    const double e2 = eps * eps, e3 = e2 * eps, e4 = e2 * e2, e5 = e4 * eps, e6 = e3 * e3;
    c[0] = -eps / 2 + 3 * e3 / 16 - e5 / 32;
    c[1] = -e2 / 16 + e4 / 32 - 9 * e6 / 2048;
    c[2] = -e3 / 48 + 3 * e5 / 256;
    c[3] = -5 * e4 / 512 + 3 * e6 / 512;
    c[4] = -7 * e5 / 1280;
    c[5] = -7 * e6 / 2048;
}
inline void C1pSeries(double eps, double c[6]) {
    const double e2 = eps * eps, e3 = e2 * eps, e4 = e2 * e2, e5 = e4 * eps, e6 = e3 * e3;
    c[0] = eps / 2 - 9 * e3 / 32 + 205 * e5 / 1536;
    c[1] = 5 * e2 / 16 - 37 * e4 / 96 + 1335 * e6 / 4096;
    c[2] = 29 * e3 / 96 - 75 * e5 / 128;
    c[3] = 539 * e4 / 1536 - 2391 * e6 / 2560;
    c[4] = 3467 * e5 / 7680;
    c[5] = 38081 * e6 / 61440;
}

// A polynomial of degree 5 in eps, coefficients from the constant term up.
inline double Poly5(const double k[6], double eps) {
    return k[0] + eps * (k[1] + eps * (k[2] + eps * (k[3] + eps * (k[4] + eps * k[5]))));
}

// c[0] sin 2x + ... + c[count-1] sin 2count x by Clenshaw's recurrence from
// sin x and cos x.
inline double SineSeries(double s, double c, const double* k, int count) {
    const double twoCos2x = 2.0 * (c - s) * (c + s);
    double b1 = 0.0, b2 = 0.0;
    for (int l = count - 1; l >= 0; --l) {
        const double b = k[l] + twoCos2x * b1 - b2;
        b2 = b1;
        b1 = b;
    }
    return 2.0 * s * c * b1;
}
} // namespace

int CZrPJOperator::Setup_Azimuthal_Equidistant_Ellipsoid() {
    if (!(std::fabs(m_def.phi0) <= kHalfPi)) return 0;
    const double f = m_def.f, f1 = 1.0 - f, n = f / (2.0 - f), n2 = n * n;
    double sb = f1 * std::sin(m_def.phi0), cb = std::cos(m_def.phi0);
    const double r = std::sqrt(sb * sb + cb * cb);
    m_gc.sbet1 = sb / r;
    m_gc.cbet1 = std::max(cb / r, kTinyCosine);
    m_gc.b = m_def.a * f1;
    m_gc.f1 = f1;
    m_gc.ep2 = f * (2.0 - f) / (f1 * f1);
    // A3 and C3 (eqs. 24, 25), each a polynomial in eps whose coefficients are
    // polynomials in n.
    const double A3[6] = {1.0,
                          -(0.5 - n / 2),
                          -(1.0 / 4 + n / 8 - 3 * n2 / 8),
                          -(1.0 / 16 + 3 * n / 16 + n2 / 16),
                          -(3.0 / 64 + n / 32),
                          -3.0 / 128};
    const double C3[5][6] = {
        {0.0, 1.0 / 4 - n / 4, 1.0 / 8 - n2 / 8, 3.0 / 64 + 3 * n / 64 - n2 / 64, 5.0 / 128 + n / 64,
         3.0 / 128},
        {0.0, 0.0, 1.0 / 16 - 3 * n / 32 + n2 / 32, 3.0 / 64 - n / 32 - 3 * n2 / 64, 3.0 / 128 + n / 128,
         5.0 / 256},
        {0.0, 0.0, 0.0, 5.0 / 192 - 3 * n / 64 + 5 * n2 / 192, 3.0 / 128 - 5 * n / 192, 7.0 / 512},
        {0.0, 0.0, 0.0, 0.0, 7.0 / 512 - 7 * n / 256, 7.0 / 512},
        {0.0, 0.0, 0.0, 0.0, 0.0, 21.0 / 2560},
    };
    std::copy(A3, A3 + 6, m_gc.A3);
    for (int l = 0; l < 5; ++l)
        std::copy(C3[l], C3[l] + 6, m_gc.C3[l]);
    m_gc.fast = f >= 0.0 && f <= kSeriesFlattening;
    return m_geodesic.Set(m_def.a, m_def.f);
}

int CZrPJOperator::Azimuthal_Equidistant_Ellipsoid_Forward(CPoint2D& pt) const {
    const CPoint2D centre(0.0, m_def.phi0 * CZrPJMath::kRadToDeg);
    const CPoint2D point(pt.x * CZrPJMath::kRadToDeg, pt.y * CZrPJMath::kRadToDeg);
    double azi1 = 0.0, azi2 = 0.0, s = 0.0;
    if (!m_geodesic.Inverse(centre, point, azi1, azi2, s)) return 0;
    const double azimuth = azi1 * CZrPJMath::kDegToRad;
    pt.x = s * std::sin(azimuth);
    pt.y = s * std::cos(azimuth);
    return 1;
}

int CZrPJOperator::Azimuthal_Equidistant_Ellipsoid_Inverse(CPoint2D& pt) const {
    // Map coordinates square far inside the range of doubles.
    const double s = std::sqrt(pt.x * pt.x + pt.y * pt.y);
    if (s < kCentreDistance) {
        pt.x = 0.0;
        pt.y = m_def.phi0;
        return 1;
    }
    if (!m_gc.fast) {
        const CPoint2D centre(0.0, m_def.phi0 * CZrPJMath::kRadToDeg);
        CPoint2D reached(0.0, 0.0);
        double azi2 = 0.0;
        if (!m_geodesic.Direct(centre, std::atan2(pt.x, pt.y) * CZrPJMath::kRadToDeg, s, reached, azi2))
            return 0;
        pt.x = reached.x * CZrPJMath::kDegToRad;
        pt.y = reached.y * CZrPJMath::kDegToRad;
        return 1;
    }
    // The azimuth at the centre, and the geodesic's on the equator (alpha0);
    // sigma is the arc on the auxiliary sphere from the equator crossing,
    // omega the longitude there.
    const double salp1 = pt.x / s, calp1 = pt.y / s;
    const double sbet1 = m_gc.sbet1, cbet1 = m_gc.cbet1;
    const double salp0 = salp1 * cbet1;
    const double calp0 = std::sqrt(calp1 * calp1 + (salp1 * sbet1) * (salp1 * sbet1));
    double ssig1 = sbet1, csig1 = sbet1 != 0.0 || calp1 != 0.0 ? cbet1 * calp1 : 1.0;
    const double somg1 = salp0 * sbet1, comg1 = csig1;
    {
        const double r = std::sqrt(ssig1 * ssig1 + csig1 * csig1);
        ssig1 /= r;
        csig1 /= r;
    }
    const double k2 = calp0 * calp0 * m_gc.ep2;
    const double eps = k2 / (2.0 * (1.0 + std::sqrt(1.0 + k2)) + k2);
    double c1[6], c1p[6], c3[5];
    C1Series(eps, c1);
    C1pSeries(eps, c1p);
    for (int l = 0; l < 5; ++l)
        c3[l] = Poly5(m_gc.C3[l], eps);
    // Distance -> arc: tau, the distance in units of b A1, is sigma plus the
    // C1 series; the arc at the end is tau plus the C1' series. Both offsets
    // are below eps, so the sines and cosines turn by them without a call.
    const double B11 = SineSeries(ssig1, csig1, c1, 6);
    double stau1 = ssig1, ctau1 = csig1;
    RotateBySmallAngle(stau1, ctau1, B11);
    const double tau12 = s / (m_gc.b * (1.0 + A1m1(eps)));
    const double stau12 = std::sin(tau12), ctau12 = std::cos(tau12);
    const double stau2 = stau1 * ctau12 + ctau1 * stau12, ctau2 = ctau1 * ctau12 - stau1 * stau12;
    const double dsig = B11 + SineSeries(stau2, ctau2, c1p, 6); // sigma12 - tau12
    double ssig12 = stau12, csig12 = ctau12;
    RotateBySmallAngle(ssig12, csig12, dsig);
    const double sig12 = tau12 + dsig;
    const double ssig2 = ssig1 * csig12 + csig1 * ssig12, csig2 = csig1 * csig12 - ssig1 * ssig12;
    // The end point: its reduced latitude, and its longitude from omega and
    // the A3/C3 series (eq. 8).
    const double sbet2 = calp0 * ssig2;
    double cbet2 = std::sqrt(salp0 * salp0 + (calp0 * csig2) * (calp0 * csig2));
    if (cbet2 == 0.0) cbet2 = kTinyCosine; // reached a pole
    const double somg2 = salp0 * ssig2, comg2 = csig2;
    const double omg12 = std::atan2(somg2 * comg1 - comg2 * somg1, comg2 * comg1 + somg2 * somg1);
    const double B31 = SineSeries(ssig1, csig1, c3, 5), B32 = SineSeries(ssig2, csig2, c3, 5);
    const double lam12 = omg12 - m_def.f * salp0 * Poly5(m_gc.A3, eps) * (sig12 + (B32 - B31));
    pt.x = lam12;
    pt.y = std::atan2(sbet2, m_gc.f1 * cbet2);
    return 1;
}
