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
// set-up, and the azimuth's sine and cosine read off the map's x and y.
//
// The forward is the inverse geodesic problem, Newton's method on the
// azimuth (same paper, section 4), written here for the ordinary geodesic
// only: not meridional or equatorial, not near-antipodal, not at the
// centre. Sines and cosines are carried through the rounds; the last round's
// step is not confirmed by another evaluation, its error being the square
// of the step; the distance is carried to the corrected azimuth by the
// first variation of arc length. Every other point, and any that has not
// converged, goes to the geodesic library, which takes degrees, reduces
// angles and handles each special case; it also serves any ellipsoid
// flatter than the series serve. From a centre at a pole every geodesic is a
// meridian, and the forward is the meridian arc alone.
//
// Both directions take the same orders: for the earth eps stays below
// 0.0017, and the distance's series must reach eps^5 (the term an eps^4
// series drops, eps^5/32 of b, is 2.7 nm), the longitude's eps^4 (its eps^4
// terms reach 27 nm at 15,000 km). One order more is kept in each (eps^6,
// eps^5): dropping it moves no forward point by more than its rounding (1 nm
// within 3,000 km, three last places beyond), dropping two moves them by up
// to 68 nm.
#include "projection/ZrPJOperator.h"

#include "projection/ZrPJBatch_p.h"
#include "projection/ZrPJKernels_p.h"

#include "geodesy/ZrPJMath.h"

#include <algorithm>
#include <cmath>

using namespace zrpj;
using namespace zrpj::geodesic_rounds;

namespace {
// The series below are truncated at sixth order in eps (A1, C1, C1') and
// fifth in (n, eps) jointly (A3, C3); with eps below n, what they leave is
// under 1e-18 rad for f up to 0.01 (every earth ellipsoid: 0.0034). Beyond,
// the library's solution takes over (it adds a Newton round there).
constexpr double kSeriesFlattening = 0.01;

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

// A2 - 1 and C2, the series of the reduced length's second integral (eq. 42
// and its sine coefficients): they serve only Newton's derivative, where a
// relative error of eps^4 (1e-11) costs nothing, so they stop at eps^3.
inline double A2m1(double eps) {
    const double e2 = eps * eps;
    return e2 * (1.0 / 4 + e2 * (9.0 / 64)) * (1.0 - eps) - eps;
}
inline void C2Series(double eps, double c[3]) {
    const double e2 = eps * eps;
    c[0] = eps * (0.5 + e2 * (1.0 / 16));
    c[1] = e2 * (3.0 / 16);
    c[2] = e2 * eps * (5.0 / 48);
}

// sqrt(a^2 + b^2) for arguments of order 1, as the vector kernel forms it
// (the library's hypot rounds differently in the last place).
inline double Norm(double a, double b) {
    return std::sqrt(a * a + b * b);
}

// The fixed end, the ellipsoid and the series of the longitude, as the
// forward's solver reads them.
struct GeodesicFrame {
    double f, f1, ep2, a, b;
    const double* A3;
    const double (*C3)[6];
};

// One end of a geodesic: its reduced latitude (sine, cosine) and
// dn = sqrt(1 + e'^2 sin^2 beta).
struct GeodesicEnd {
    double sbet, cbet, dn;
};

// The geodesic from end 1 (beta1 <= 0, |beta2| <= |beta1|) leaving at
// azimuth alpha1 (sine, cosine), followed to end 2's latitude, where it first
// arrives heading north or along the parallel. Gives the longitude it
// overshoots by (v, radians), dv/dalpha1, the distance and the azimuth at
// end 2; false where the derivative vanishes (a vertex at end 2).
struct GeodesicRound {
    double v, dv, s, salp2, calp2, salp0;
};
inline bool EvaluateRound(const GeodesicFrame& g, const GeodesicEnd& e1, const GeodesicEnd& e2, double salp1,
                          double calp1, double slam12, double clam12, GeodesicRound& r) {
    const double salp0 = salp1 * e1.cbet, calp0 = Norm(calp1, salp1 * e1.sbet);
    // sigma and omega at end 1, measured from the geodesic's equator crossing.
    double ssig1 = e1.sbet, csig1 = calp1 * e1.cbet;
    const double somg1 = salp0 * e1.sbet, comg1 = csig1;
    double t = Norm(ssig1, csig1);
    ssig1 /= t;
    csig1 /= t;
    // Clairaut's relation gives alpha2; its cosine from the difference of the
    // latitudes' cosines (or sines, whichever is better conditioned).
    const double salp2 = e2.cbet != e1.cbet ? salp0 / e2.cbet : salp1;
    const double calp2 = e2.cbet != e1.cbet || std::fabs(e2.sbet) != -e1.sbet
                             ? std::sqrt((calp1 * e1.cbet) * (calp1 * e1.cbet) +
                                         (e1.cbet < -e1.sbet ? (e2.cbet - e1.cbet) * (e1.cbet + e2.cbet)
                                                             : (e1.sbet - e2.sbet) * (e1.sbet + e2.sbet))) /
                                   e2.cbet
                             : std::fabs(calp1);
    if (calp2 == 0.0) return false;
    double ssig2 = e2.sbet, csig2 = calp2 * e2.cbet;
    const double somg2 = salp0 * e2.sbet, comg2 = csig2;
    t = Norm(ssig2, csig2);
    ssig2 /= t;
    csig2 /= t;
    const double sig12 =
        std::atan2(std::max(0.0, csig1 * ssig2 - ssig1 * csig2), csig1 * csig2 + ssig1 * ssig2);
    // omega12 - lambda12 in one arctangent, then the ellipsoid's longitude
    // term (eq. 8).
    const double somg12 = std::max(0.0, comg1 * somg2 - somg1 * comg2),
                 comg12 = comg1 * comg2 + somg1 * somg2;
    const double eta = std::atan2(somg12 * clam12 - comg12 * slam12, comg12 * clam12 + somg12 * slam12);
    const double k2 = calp0 * calp0 * g.ep2;
    const double eps = k2 / (2.0 * (1.0 + std::sqrt(1.0 + k2)) + k2);
    double c3[5];
    for (int l = 0; l < 5; ++l)
        c3[l] = Poly5(g.C3[l], eps);
    const double B312 = SineSeries(ssig2, csig2, c3, 5) - SineSeries(ssig1, csig1, c3, 5);
    r.v = eta - g.f * Poly5(g.A3, eps) * salp0 * (sig12 + B312);
    // The distance (eq. 7 with the C1 series) and the reduced length m12 / b,
    // whose ratio to cos alpha2 cos beta2 is dlambda12 / dalpha1 (eq. 46).
    double c1[6], c2[3];
    C1Series(eps, c1);
    C2Series(eps, c2);
    const double a1m1 = A1m1(eps), a2m1 = A2m1(eps);
    const double B1 = SineSeries(ssig2, csig2, c1, 6) - SineSeries(ssig1, csig1, c1, 6);
    const double B2 = SineSeries(ssig2, csig2, c2, 3) - SineSeries(ssig1, csig1, c2, 3);
    const double J12 = (a1m1 - a2m1) * sig12 + ((1.0 + a1m1) * B1 - (1.0 + a2m1) * B2);
    const double m12b = e2.dn * (csig1 * ssig2) - e1.dn * (ssig1 * csig2) - csig1 * csig2 * J12;
    r.dv = m12b * g.f1 / (calp2 * e2.cbet);
    r.s = g.b * (1.0 + a1m1) * (sig12 + B1);
    r.salp2 = salp2;
    r.calp2 = calp2;
    r.salp0 = salp0;
    return true;
}

// Reduced latitude from geodetic latitude.
inline GeodesicEnd EndAt(const GeodesicFrame& g, double phi) {
    double sb = g.f1 * std::sin(phi), cb = std::cos(phi);
    const double r = Norm(sb, cb);
    sb /= r;
    cb = std::max(cb / r, kTinyCosine);
    return {sb, cb, std::sqrt(1.0 + g.ep2 * sb * sb)};
}

// The centre's azimuth (sine, cosine) and the distance to the point at
// longitude lam from the centre (within half a turn) and reduced latitude
// 'point'; false for every geodesic the rounds are not written for.
bool OrdinaryInverse(const GeodesicFrame& g, const GeodesicEnd& centre, const GeodesicEnd& point, double lam,
                     double& sa, double& ca, double& s) {
    // Reflections and the exchange of the ends that bring the geodesic into
    // the form above: end 1 south of the equator, at least as far from it as
    // end 2, end 2 east.
    double lonSign = lam < 0.0 ? -1.0 : 1.0;
    lam = std::fabs(lam);
    const bool swapped = std::fabs(point.sbet) > std::fabs(centre.sbet);
    GeodesicEnd e1 = swapped ? point : centre, e2 = swapped ? centre : point;
    if (swapped) lonSign = -lonSign;
    const double latSign = e1.sbet > 0.0 ? -1.0 : 1.0;
    e1.sbet *= latSign;
    e2.sbet *= latSign;
    const double slam12 = std::sin(lam), clam12 = std::cos(lam);
    // Meridional, equatorial, at a pole: the library's cases.
    if (lam == 0.0 || lam == kPi || e1.sbet == 0.0 || e1.cbet < kPolarCosine || e2.cbet < kPolarCosine)
        return false;
    // The starting azimuth: the great circle on the auxiliary sphere, with
    // omega12 from lambda12 scaled by the mean dn for short lines (eq. 48).
    const double sbet12 = e2.sbet * e1.cbet - e2.cbet * e1.sbet;
    const double cbet12 = e2.cbet * e1.cbet + e2.sbet * e1.sbet;
    const double sbet12a = e2.sbet * e1.cbet + e2.cbet * e1.sbet;
    double somg = slam12, comg = clam12;
    const bool shortLine = cbet12 >= 0.0 && sbet12 < 0.5 && e2.cbet * lam < 0.5;
    if (shortLine) {
        const double sm = e1.sbet + e2.sbet, cm = e1.cbet + e2.cbet;
        const double dnm = std::sqrt(1.0 + g.ep2 * (sm * sm) / (sm * sm + cm * cm));
        const double omg = lam / (g.f1 * dnm);
        somg = std::sin(omg);
        comg = std::cos(omg);
    }
    double salp1 = e2.cbet * somg;
    double calp1 = comg >= 0.0 ? sbet12 + e2.cbet * e1.sbet * (somg * somg) / (1.0 + comg)
                               : sbet12a - e2.cbet * e1.sbet * (somg * somg) / (1.0 - comg);
    const double ssig12 = Norm(salp1, calp1);
    const double csig12 = e1.sbet * e2.sbet + e1.cbet * e2.cbet * comg;
    // Near the antipode the sphere is no guide (the astroid's region, widened
    // fourfold, and a band of 640 km besides, where the azimuth turns by
    // metres for a change of the point in its last place): the library's
    // case.
    if (csig12 < 0.0 && ssig12 < kAntipodeBand + kAstroidWidth * g.f * kPi * e1.cbet * e1.cbet) return false;
    if (!(ssig12 > 0.0)) return false;
    salp1 /= ssig12;
    calp1 /= ssig12;
    if (!shortLine) {
        // The sphere's great circle runs short in longitude by about
        // f sin(alpha0) sigma12 (eq. 8 to first order in f): aim the circle
        // that much further, which leaves an error of order f^2 in place of
        // f and saves a round.
        const double omg = lam + g.f * salp1 * e1.cbet * std::atan2(ssig12, csig12);
        somg = std::sin(omg);
        comg = std::cos(omg);
        salp1 = e2.cbet * somg;
        calp1 = comg >= 0.0 ? sbet12 + e2.cbet * e1.sbet * (somg * somg) / (1.0 + comg)
                            : sbet12a - e2.cbet * e1.sbet * (somg * somg) / (1.0 - comg);
        const double t = Norm(salp1, calp1);
        if (!(t > 0.0)) return false;
        salp1 /= t;
        calp1 /= t;
    }
    GeodesicRound r{};
    for (int round = 0; round < kRounds; ++round) {
        if (!EvaluateRound(g, e1, e2, salp1, calp1, slam12, clam12, r) || !(r.dv > 0.0)) return false;
        const double step = -r.v / r.dv;
        if (!(std::fabs(step) < 0.5)) return false;
        RotateBySmallAngle(salp1, calp1, step);
        if (!(salp1 > 0.0)) return false;
        if (std::fabs(step) < kLastStep && std::fabs(r.v) < kLastStep) {
            // The distance follows the corrected azimuth by the first
            // variation: the end moves -v along its parallel, of radius
            // a cos beta2, whose component along the geodesic is sin alpha2;
            // a cos beta2 sin alpha2 = a sin alpha0 (Clairaut).
            s = r.s - g.a * r.salp0 * r.v;
            double salp2 = salp1 * e1.cbet / e2.cbet, calp2 = r.calp2;
            if (swapped) {
                // alpha2 again from the corrected alpha1 (its cosine keeps
                // its sign and moves by the step times its derivative).
                const double c = calp1 * e1.cbet;
                calp2 = std::sqrt(c * c + (e1.cbet < -e1.sbet ? (e2.cbet - e1.cbet) * (e1.cbet + e2.cbet)
                                                              : (e1.sbet - e2.sbet) * (e1.sbet + e2.sbet))) /
                        e2.cbet;
                if (e2.cbet == e1.cbet && std::fabs(e2.sbet) == -e1.sbet) calp2 = std::fabs(calp1);
                // The centre's azimuth is the reverse of alpha2.
                sa = -salp2;
                ca = -calp2;
            } else {
                sa = salp1;
                ca = calp1;
            }
            sa *= lonSign;
            ca *= latSign;
            const double n = Norm(sa, ca);
            sa /= n;
            ca /= n;
            return true;
        }
    }
    return false;
}

// From a pole every geodesic is a meridian: the distance is the meridian arc
// to the point (eq. 7 with alpha0 = 0, sigma = beta, and the arc from the
// equator to the pole a quarter turn, the sine series vanishing there), the
// azimuth pi - lambda from the north pole and lambda from the south, reckoned
// from the centre's meridian as the library does. A point at the other pole
// has every azimuth: the library's convention decides it.
bool PolarInverse(const GeodesicFrame& g, bool north, const GeodesicEnd& point, double lam, double& sa,
                  double& ca, double& s) {
    if (point.cbet < kPolarCosine && (point.sbet > 0.0) != north) return false;
    const double k2 = g.ep2;
    const double eps = k2 / (2.0 * (1.0 + std::sqrt(1.0 + k2)) + k2);
    double c1[6];
    C1Series(eps, c1);
    const double sign = north ? 1.0 : -1.0;
    const double beta = std::atan2(point.sbet, point.cbet);
    s = g.b * (1.0 + A1m1(eps)) * (kHalfPi - sign * (beta + SineSeries(point.sbet, point.cbet, c1, 6)));
    sa = std::sin(lam);
    ca = -sign * std::cos(lam);
    return true;
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
    if (m_gc.fast && std::fabs(pt.x) <= kPi) {
        const GeodesicFrame g{m_def.f, m_gc.f1, m_gc.ep2, m_def.a, m_gc.b, m_gc.A3, m_gc.C3};
        const GeodesicEnd centre{m_gc.sbet1, m_gc.cbet1, std::sqrt(1.0 + m_gc.ep2 * m_gc.sbet1 * m_gc.sbet1)};
        const GeodesicEnd point = EndAt(g, pt.y);
        double sa = 0.0, ca = 1.0, s = 0.0;
        const bool solved = std::fabs(m_def.phi0) == kHalfPi
                                ? PolarInverse(g, m_def.phi0 > 0.0, point, pt.x, sa, ca, s)
                                : OrdinaryInverse(g, centre, point, pt.x, sa, ca, s);
        if (solved) {
            pt.x = s * sa;
            pt.y = s * ca;
            return 1;
        }
    }
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
