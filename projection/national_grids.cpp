// National grids whose definition is more than one classical projection:
// Laborde's oblique Mercator (Madagascar), the transverse Mercator zoned grid
// system (a zone per point, its number carried in the easting), the Tunisia
// mining grid (linear in grads, two scales in latitude) and the New Zealand
// map grid (a complex polynomial of the isometric latitude difference).
//
// Each is computed as its defining authority states it, so that the grid
// references published in those systems come out to the millimetre; the
// inverses solve the forward to a nanometre where the definition gives only
// an approximate reverse.
#include "projection/ZrPJOperator.h"

#include "projection/ZrPJKernels_p.h"

#include <cmath>

using namespace zrpj;

namespace {
// Complex arithmetic in plain doubles: std::complex's product and quotient
// call out to a library routine for their infinities and NaN, which would be
// most of a point's time here (the inputs are finite by then).
struct Complex {
    double re = 0.0, im = 0.0;
    constexpr Complex() = default;
    constexpr Complex(double r, double i = 0.0) : re(r), im(i) {}
    double real() const { return re; }
    double imag() const { return im; }
};
inline Complex operator+(Complex a, Complex b) {
    return {a.re + b.re, a.im + b.im};
}
inline Complex operator-(Complex a, Complex b) {
    return {a.re - b.re, a.im - b.im};
}
inline Complex operator*(Complex a, Complex b) {
    return {a.re * b.re - a.im * b.im, a.re * b.im + a.im * b.re};
}
inline Complex operator*(double k, Complex a) {
    return {k * a.re, k * a.im};
}
inline Complex operator/(Complex a, Complex b) {
    const double d = 1.0 / (b.re * b.re + b.im * b.im);
    return {(a.re * b.re + a.im * b.im) * d, (a.im * b.re - a.re * b.im) * d};
}
inline Complex& operator-=(Complex& a, Complex b) {
    return a = a - b;
}
inline double Size(Complex a) {
    return std::fabs(a.re) + std::fabs(a.im);
}

constexpr double kGradsPerRadian = 200.0 / 3.14159265358979323846;

// Laborde: Newton steps of H + G H^3 = Z beyond which a point is refused (the
// cubic is monotone over any grid the method is used for; three steps reach
// 1e-15 at Madagascar's edges). Its steps converge quadratically, so one
// below 1e-9 leaves an error near 1e-18. The series' steps, on a Jacobian
// exact in dlambda and to leading order in the latitude, converge linearly
// at a rate that changes across the grid (a fixed bar of 1e-12 rad assumed
// four digits a step everywhere). They stop once the next step, foreseen
// from the last two's ratio, is below 1e-17 rad (a last place of the angles).
constexpr int kLabordeSteps = 12;
constexpr double kLabordeCubicStep = 1e-9;
constexpr double kLabordeSeriesStep = 1e-17;
// Steps up to this (radians) turn the sphere latitude's sine and cosine by
// the small-angle rotation, exact to rounding there.
constexpr double kLabordeRotateBelow = 0.01;

// Tunisia mining grid: kilometres per grad of longitude, and of latitude
// north and south of the origin's parallel, from the 1953 decree's table
// (0.02437 grads per 2 km east; 0.02003 and 0.02004 per 2 km north).
constexpr double kTunisiaGradsPerKmEast = 0.012185;
constexpr double kTunisiaGradsPerKmNorth = 0.010015;
constexpr double kTunisiaGradsPerKmSouth = 0.01002;

// New Zealand map grid: the isometric latitude difference as a series of the
// latitude difference in units of 1e5 arc-seconds, its reverse series, and
// the complex coefficients from (delta psi, delta lambda) to the grid (and
// the reverse's starting guess), as the grid's definition fixes them.
constexpr double kNzmgA[10] = {0.6399175073, -0.1358797613, 0.063294409, -0.02526853, 0.0117879,
                               -0.0055161,   0.0026906,     -0.001333,   0.00067,     -0.00034};
constexpr double kNzmgD[9] = {1.5627014243, 0.5185406398, -0.03333098, -0.1052906, -0.0368594,
                              0.007317,     0.01220,      0.00394,     -0.0013};
constexpr Complex kNzmgB[6] = {{0.7557853228, 0.0},         {0.249204646, 0.003371507},
                               {-0.001541739, 0.041058560}, {-0.10162907, 0.01727609},
                               {-0.26623489, -0.36249218},  {-0.6870983, -1.1651967}};
constexpr Complex kNzmgC[6] = {{1.3231270439, 0.0},         {-0.577245789, -0.007809598},
                               {0.508307513, -0.112208952}, {-0.15094762, 0.18200602},
                               {1.01418179, 1.64497696},    {1.9660549, 2.5127645}};
constexpr double kNzmgRadiansPerUnit = 1e5 / 3600.0 * 3.14159265358979323846 / 180.0;
// Newton's steps converge quadratically from the reverse series' start: a
// step below 1e-9 (6 mm at the grid's scale) leaves an error near 1e-18.
constexpr int kNzmgSteps = 8;
constexpr double kNzmgLastStep = 1e-9;

// The polynomials below are taken by Estrin's scheme (pairs of terms, then
// pairs of pairs, over the powers z^2, z^4, z^8) rather than Horner's: the
// same products in a tree of depth log n instead of a chain of n, which was
// most of the inverse's time (the terms differ from Horner's by roundings).
constexpr double kNzmgA1[10] = {kNzmgA[0],       2.0 * kNzmgA[1], 3.0 * kNzmgA[2], 4.0 * kNzmgA[3],
                                5.0 * kNzmgA[4], 6.0 * kNzmgA[5], 7.0 * kNzmgA[6], 8.0 * kNzmgA[7],
                                9.0 * kNzmgA[8], 10.0 * kNzmgA[9]};

// c[0] + c[1] u + ... + c[n - 1] u^(n - 1), n = 9 or 10, u2 = u^2 and so on.
template <int N>
inline double NzmgSum(const double (&c)[N], double u, double u2, double u4, double u8) {
    static_assert(N == 9 || N == 10, "the sums of the grid's series");
    const double p01 = c[0] + c[1] * u, p23 = c[2] + c[3] * u, p45 = c[4] + c[5] * u, p67 = c[6] + c[7] * u;
    const double p89 = N == 10 ? c[8] + c[N - 1] * u : c[8];
    return (p01 + u2 * p23) + u4 * (p45 + u2 * p67) + u8 * p89;
}

double NzmgPsi(double u) { // u: latitude difference, units of 1e5 arc-seconds
    const double u2 = u * u, u4 = u2 * u2;
    return u * NzmgSum(kNzmgA, u, u2, u4, u4 * u4);
}

constexpr Complex Times(double k, Complex a) {
    return {k * a.re, k * a.im};
}
constexpr Complex kNzmgB1[6] = {kNzmgB[0],          Times(2.0, kNzmgB[1]), Times(3.0, kNzmgB[2]),
                                Times(4.0, kNzmgB[3]), Times(5.0, kNzmgB[4]), Times(6.0, kNzmgB[5])};

// c[0] + c[1] z + ... + c[5] z^5, z2 = z^2 and z4 = z^4.
inline Complex NzmgSum(const Complex (&c)[6], Complex z, Complex z2, Complex z4) {
    return (c[0] + c[1] * z) + z2 * (c[2] + c[3] * z) + z4 * (c[4] + c[5] * z);
}

Complex NzmgGrid(Complex zeta) {
    const Complex z2 = zeta * zeta;
    return zeta * NzmgSum(kNzmgB, zeta, z2, z2 * z2);
}
} // namespace

// ---------------------------------------------------------------------------
// Laborde oblique Mercator (43066). The ellipsoid goes conformally onto a
// sphere of radius R = a k0 sqrt(1 - e^2) / (1 - e^2 sin^2 phi_c) as the
// Gauss-Schreiber double projection takes it (sphere latitude P from the
// isometric latitudes related by C + B psi, sphere longitude B dlambda), the
// sphere is drawn as the Mercator of the great circle through the centre
// along the central meridian, and a cubic of the complex coordinate, whose
// coefficient carries the azimuth alpha_c, turns the grid:
// N + iE = z + G z^3 / R^2, G = (1 - cos 2 alpha_c + i sin 2 alpha_c) / 12.
// The Mercator of the turned sphere is taken, as the grid's definition and
// PROJ's labrd take it, by its series to the fifth power of dlambda: the
// exact Mercator agrees near the centre but parts from it by 6 mm 800 km
// away, and the grid's published coordinates are the series'. The inverse starts from the exact
// turned sphere and polishes the series with Newton's method.
// Fields: centre phi_c, lambda_c the central meridian, alpha_c the azimuth,
// k0 the scale on the initial line.
// ---------------------------------------------------------------------------
namespace {
// The series' map (x east, y north, units of R) of sphere latitude ps and
// dlambda; with dxdl and dydl, its derivatives in dlambda.
struct LabordeTerms {
    double x, y, dxdl, dydl;
};
// sp, cp: sine and cosine of the sphere latitude; dps: its difference from the centre's.
inline LabordeTerms LabordeSeries(double B, double dl, double sp, double cp, double dps) {
    const double c2 = cp * cp, s2 = sp * sp, B2 = B * B;
    const double I4 = B * cp;
    const double I2 = 0.5 * B * I4 * sp;
    const double I3 = I2 * B2 * (5.0 * c2 - s2) * (1.0 / 12.0);
    const double I5 = I4 * B2 * (c2 - s2) * (1.0 / 6.0);
    const double I6 = I4 * B2 * B2 * (5.0 * c2 * c2 + s2 * (s2 - 18.0 * c2)) * (1.0 / 120.0);
    const double t = dl * dl;
    return {dl * (I4 + t * (I5 + t * I6)), dps + t * (I2 + t * I3), I4 + t * (3.0 * I5 + 5.0 * t * I6),
            2.0 * dl * (I2 + 2.0 * t * I3)};
}
} // namespace

int CZrPJOperator::Setup_Laborde() {
    double k0 = 1.0;
    if (!ScaleFromDefinition(k0)) return 0;
    const double phiC = m_def.phi0;
    if (!(std::fabs(phiC) < kHalfPi)) return 0;
    const double es = m_ell.es, s = std::sin(phiC), c = std::cos(phiC);
    const double B = std::sqrt(1.0 + es * c * c * c * c / (1.0 - es));
    const double sinS = s / B;
    m_grid.B = B;
    m_grid.invB = 1.0 / B;
    m_grid.R = m_def.a * k0 * std::sqrt(1.0 - es) / (1.0 - es * s * s);
    m_grid.invR = 1.0 / m_grid.R;
    m_grid.sinS = sinS;
    m_grid.cosS = std::sqrt(1.0 - sinS * sinS);
    m_grid.C = std::atanh(sinS) - B * IsometricLatitude(phiC);
    const double a2 = 2.0 * m_def.alpha;
    m_grid.gRe = (1.0 - std::cos(a2)) / 12.0;
    m_grid.gIm = std::sin(a2) / 12.0;
    return std::isfinite(m_grid.C) ? 1 : 0;
}

int CZrPJOperator::Laborde_Forward(CPoint2D& pt) const {
    // The isometric latitude as IsometricLatitude takes it, with its sine and
    // cosine from one call (|sin phi| is sin |phi| to the bit).
    const double phi = pt.y;
    if (!(std::fabs(phi) < kHalfPi)) return 0;
    const double s = std::fabs(std::sin(phi)), c = std::cos(phi);
    const double psi = std::copysign(std::log((1.0 + s) / c) - m_ell.e * SmallAtanhShallow(m_ell.e * s), phi);
    // The sphere latitude's sine and cosine from its isometric latitude q
    // (tanh q and sech q), and its difference from the centre's as one angle.
    const double q = m_grid.C + m_grid.B * psi;
    const double E = std::exp(-std::fabs(q)), E2 = E * E;
    // tanh and sech share 1 / (1 + E^2): without FMA a point's time is its
    // chain of divisions and library calls, so each quotient here and in the
    // inverse is one reciprocal and products (results move by a last place).
    // The angle's tangent does not need the common factor, so its quotient
    // runs beside the reciprocal rather than after it.
    const double tanhNum = std::copysign(1.0 - E2, q), sechNum = 2.0 * E;
    const double dps = QuadrantAtan(tanhNum * m_grid.cosS - sechNum * m_grid.sinS,
                                    sechNum * m_grid.cosS + tanhNum * m_grid.sinS);
    const double inv1pE2 = 1.0 / (1.0 + E2);
    const double sp = tanhNum * inv1pE2, cp = sechNum * inv1pE2;
    const LabordeTerms t = LabordeSeries(m_grid.B, pt.x, sp, cp, dps);
    // N + iE = R (H + G H^3), H = y + ix, written out.
    const double hr = t.y, hi = t.x;
    const double h2r = (hr - hi) * (hr + hi), h2i = 2.0 * hr * hi;
    const double h3r = h2r * hr - h2i * hi, h3i = h2r * hi + h2i * hr;
    const double zr = hr + (m_grid.gRe * h3r - m_grid.gIm * h3i);
    const double zi = hi + (m_grid.gRe * h3i + m_grid.gIm * h3r);
    pt.x = m_grid.R * zi;
    pt.y = m_grid.R * zr;
    return 1;
}

int CZrPJOperator::Laborde_Inverse(CPoint2D& pt) const {
    const Complex Z(pt.y * m_grid.invR, pt.x * m_grid.invR);
    const Complex G(m_grid.gRe, m_grid.gIm);
    Complex H = Z;
    for (int i = 0;; ++i) {
        if (i == kLabordeSteps) return 0;
        const Complex H2 = H * H;
        const Complex step = (H + G * H2 * H - Z) / (1.0 + 3.0 * G * H2);
        H -= step;
        if (Size(step) < kLabordeCubicStep) break;
    }
    // The exact turned sphere's point as the start: its Mercator is the
    // series' limit. The turned latitude's sine and cosine are tanh and sech
    // of the Mercator's northing (one exponential); the sphere latitude is
    // carried as its sine, cosine and difference from the centre's, which is
    // all the series and the isometric latitude read.
    const double h = H.imag();
    const double Eh = std::exp(-std::fabs(h)), Eh2 = Eh * Eh;
    const double inv1pEh2 = 1.0 / (1.0 + Eh2);
    const double sPt = std::copysign((1.0 - Eh2) * inv1pEh2, h), cPt = 2.0 * Eh * inv1pEh2;
    const double sLt = -std::sin(H.real()), cLt = std::cos(H.real());
    const double U = cPt * cLt, V = cPt * sLt, W = sPt;
    const double sx = U * m_grid.cosS + V * m_grid.sinS;
    double sp = Clamp(U * m_grid.sinS - V * m_grid.cosS, -1.0, 1.0);
    double cp = std::sqrt(sx * sx + W * W); // U^2 + V^2 + W^2 = 1
    double dl = QuadrantAtan(W, sx) * m_grid.invB;
    double dps = QuadrantAtan(sp * m_grid.cosS - cp * m_grid.sinS, cp * m_grid.cosS + sp * m_grid.sinS);
    // Newton on the series: the derivatives in dlambda exact, those in the
    // latitude to leading order (d x / d ps = -B sin ps dlambda, d y / d ps =
    // 1 + dlambda^2 B^2 cos 2ps / 2). Its steps are 1e-9 rad and below, so
    // the sine and cosine are turned by them rather than taken anew.
    const double B2 = m_grid.B * m_grid.B;
    double lastSize = 0.0; // no ratio before the first step: it stops only at zero
    for (int i = 0; i < kLabordeSteps; ++i) {
        const LabordeTerms s = LabordeSeries(m_grid.B, dl, sp, cp, dps);
        const double j11 = s.dxdl, j12 = -m_grid.B * sp * dl;
        const double j21 = s.dydl, j22 = 1.0 + 0.5 * dl * dl * B2 * (cp * cp - sp * sp);
        const double det = j11 * j22 - j12 * j21;
        if (!(std::fabs(det) > 0.0)) return 0;
        const double ex = s.x - H.imag(), ey = s.y - H.real();
        const double invDet = 1.0 / det;
        const double ddl = (j22 * ex - j12 * ey) * invDet, ddps = (j11 * ey - j21 * ex) * invDet;
        dl -= ddl;
        dps -= ddps;
        if (std::fabs(ddps) < kLabordeRotateBelow) {
            RotateBySmallAngle(sp, cp, -ddps);
        } else {
            const double ps = std::atan2(m_grid.sinS, m_grid.cosS) + dps;
            sp = std::sin(ps);
            cp = std::cos(ps);
        }
        const double size = std::fabs(ddl) + std::fabs(ddps);
        if (size * size <= kLabordeSeriesStep * lastSize) break;
        lastSize = size;
    }
    if (!(cp > 0.0)) return 0;
    // The ellipsoid's isometric latitude from the sphere's, atanh(sin ps) =
    // ln((1 + |sin|) / cos) signed, then its conformal latitude chi (sine and
    // cosine tanh and sech of it, one exponential) and the geodetic latitude
    // by the conformal series from chi's sine and cosine.
    const double psiE = (std::copysign(std::log((1.0 + std::fabs(sp)) / cp), sp) - m_grid.C) * m_grid.invB;
    const double Ep = std::exp(-std::fabs(psiE)), Ep2 = Ep * Ep;
    const double inv1pEp2 = 1.0 / (1.0 + Ep2);
    const double sChi = std::copysign((1.0 - Ep2) * inv1pEp2, psiE), cChi = 2.0 * Ep * inv1pEp2;
    pt.x = dl;
    pt.y = QuadrantAtan(sChi, cChi) + SineSumFromSinCos(sChi, cChi, m_ser.K);
    return 1;
}

// ---------------------------------------------------------------------------
// Transverse Mercator zoned grid system (43067): zones of width w (the first
// point longitude field) from the initial longitude lambda_I (the central
// meridian field), zone Z = 1 + floor((lambda - lambda_I) / w), each the
// transverse Mercator about its middle meridian with the definition's
// latitude of origin, k0 and false origin, and the easting carrying Z
// millions of metres so that one grid holds every zone (EPSG's UTM grid
// systems). The inverse reads the zone back from the easting's millions.
// ---------------------------------------------------------------------------
int CZrPJOperator::Setup_Transverse_Mercator_Zoned() {
    const double w = m_def.lam1;
    if (!(w > 0.0 && w <= kTwoPi)) return 0;
    m_grid.zoneWidth = w;
    m_grid.zones = std::ceil(kTwoPi / w - 1e-9);
    return Setup_Transverse_Mercator();
}

int CZrPJOperator::Transverse_Mercator_Zoned_Forward(CPoint2D& pt) const {
    double east = pt.x < 0.0 ? pt.x + kTwoPi : pt.x; // [0, 2 pi) from the initial longitude
    double zone = std::floor(east / m_grid.zoneWidth);
    if (zone >= m_grid.zones) zone = m_grid.zones - 1.0;
    pt.x = east - (zone + 0.5) * m_grid.zoneWidth;
    if (!Traverse_Conformal_Cylindrical_Forward(pt)) return 0;
    // The frame scales by k0 and the unit: the zone's millions are metres of the grid.
    pt.x += (zone + 1.0) * 1e6 * m_kc.invScale / m_def.unitFactor;
    return 1;
}

int CZrPJOperator::Transverse_Mercator_Zoned_Inverse(CPoint2D& pt) const {
    const double toGrid = m_kc.scale * m_def.unitFactor;
    const double zone = std::floor(pt.x * toGrid * 1e-6 + 0.5);
    if (!(zone >= 1.0 && zone <= m_grid.zones)) return 0;
    pt.x -= zone * 1e6 / toGrid;
    if (!Traverse_Conformal_Cylindrical_Inverse(pt)) return 0;
    pt.x += (zone - 0.5) * m_grid.zoneWidth;
    return 1;
}

// ---------------------------------------------------------------------------
// Tunisia mining grid (43068): kilometres linear in grads of longitude and
// latitude from the false origin (phi0, lambda0), the latitude scale changing
// at the origin's parallel. Independent of the ellipsoid: the decree's table
// defines it.
// ---------------------------------------------------------------------------
int CZrPJOperator::Tunisia_Mining_Grid_Forward(CPoint2D& pt) const {
    const double dphi = (pt.y - m_def.phi0) * kGradsPerRadian;
    pt.x = pt.x * kGradsPerRadian / kTunisiaGradsPerKmEast * 1000.0;
    pt.y = dphi / (dphi > 0.0 ? kTunisiaGradsPerKmNorth : kTunisiaGradsPerKmSouth) * 1000.0;
    return 1;
}

int CZrPJOperator::Tunisia_Mining_Grid_Inverse(CPoint2D& pt) const {
    const double north = pt.y * 1e-3 * (pt.y > 0.0 ? kTunisiaGradsPerKmNorth : kTunisiaGradsPerKmSouth);
    pt.x = pt.x * 1e-3 * kTunisiaGradsPerKmEast / kGradsPerRadian;
    pt.y = m_def.phi0 + north / kGradsPerRadian;
    return std::fabs(pt.y) <= kHalfPi ? 1 : 0;
}

// ---------------------------------------------------------------------------
// New Zealand map grid (43075): zeta = delta psi + i delta lambda, delta psi
// a series of the latitude difference from phi0 (in 1e5 arc-seconds), then
// N + iE = a sum B_n zeta^n. The inverse starts from the definition's
// reverse series and polishes both steps with Newton's method, so that it
// undoes the forward exactly.
// ---------------------------------------------------------------------------
int CZrPJOperator::New_Zealand_Map_Grid_Forward(CPoint2D& pt) const {
    const double u = (pt.y - m_def.phi0) / kNzmgRadiansPerUnit;
    const Complex z = NzmgGrid(Complex(NzmgPsi(u), pt.x));
    pt.x = m_def.a * z.imag();
    pt.y = m_def.a * z.real();
    return 1;
}

int CZrPJOperator::New_Zealand_Map_Grid_Inverse(CPoint2D& pt) const {
    const Complex target(pt.y / m_def.a, pt.x / m_def.a);
    const Complex t2 = target * target;
    Complex theta = target * NzmgSum(kNzmgC, target, t2, t2 * t2);
    for (int step = 0; step < kNzmgSteps; ++step) {
        const Complex z2 = theta * theta, z4 = z2 * z2;
        const Complex f = theta * NzmgSum(kNzmgB, theta, z2, z4);
        const Complex df = NzmgSum(kNzmgB1, theta, z2, z4);
        const Complex d = (f - target) / df;
        theta -= d;
        if (Size(d) < kNzmgLastStep) break;
    }
    const double psi = theta.real(), psi2 = psi * psi, psi4 = psi2 * psi2;
    double u = psi * NzmgSum(kNzmgD, psi, psi2, psi4, psi4 * psi4);
    for (int step = 0; step < kNzmgSteps; ++step) {
        const double u2 = u * u, u4 = u2 * u2, u8 = u4 * u4;
        const double d = (u * NzmgSum(kNzmgA, u, u2, u4, u8) - psi) / NzmgSum(kNzmgA1, u, u2, u4, u8);
        u -= d;
        if (std::fabs(d) < kNzmgLastStep) break;
    }
    pt.x = theta.imag();
    pt.y = m_def.phi0 + u * kNzmgRadiansPerUnit;
    return std::isfinite(pt.y) && std::fabs(pt.y) <= kHalfPi ? 1 : 0;
}
