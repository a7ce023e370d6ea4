// The transverse kinds on the ellipsoid that lean on the meridian arc:
// Cassini-Soldner (also on westings and southings), and the transverse
// Mercator turned to westings and southings (southern Africa's Lo grids).
#include "projection/ZrPJOperator.h"

#include "projection/ZrPJKernels_p.h"

#include <cmath>

using namespace zrpj;

namespace {
// Beyond this |cos(phi)| the point is at a pole, where the easting is 0 and
// tan(phi) would overflow the northing's terms.
constexpr double kPoleCosine = 1e-10;
// Cassini's inverse is solved once its forward comes back within this (a
// nanometre, near the rounding of grid coordinates in metres), or after a
// Newton step from a miss below kCassiniLastCorrection (metres): the step
// leaves about miss^2 / a, 1e-11 m for a centimetre, so no forward is needed
// after it. Rounds beyond the second only serve points far outside any
// Cassini grid, where the series lose their meaning anyway.
constexpr double kCassiniSolvedMetres = 1e-9;
constexpr double kCassiniLastCorrection = 0.01;
constexpr int kCassiniRounds = 6;
// Latitude turns up to this (radians) are taken by the small-angle rotation,
// exact to rounding there; larger ones take the sine and cosine anew.
constexpr double kCassiniTurnBelow = 0.01;
// The rectifying latitude's series are a fit good to some 1e-9 rad: the
// footpoint they give is within millimetres, which the Newton rounds on the
// whole forward remove with the series' own miss.
constexpr double kRectifyingReach = kHalfPi - 0.01;

// Cassini's forward in units of a and its four partial derivatives (per
// radian of longitude and latitude), at (dlam, phi) with sine s, cosine c and
// meridian arc M from the origin's parallel. Differentiated term by term, so
// that Newton's step is exact to first order for the truncated series the
// forward defines; w = 1 - e^2 s^2, nu = 1 / sqrt(w), d nu / d phi = nu e^2 s
// c / w, d t / d phi = 1 + T, d A / d phi = -A t, d C / d phi = -2 e'^2 s c.
struct CassiniSlopes {
    double x, y, xLam, xPhi, yLam, yPhi;
};
inline CassiniSlopes CassiniWithSlopes(double dlam, double s, double c, double M, double es, double eps2) {
    // One reciprocal of w serves nu, its turn and rho.
    const double invW = 1.0 / (1.0 - es * s * s), nu = std::sqrt(invW);
    const double t = s / c, T = t * t, C = eps2 * c * c;
    const double A = dlam * c, A2 = A * A;
    const double nuTurn = es * s * c * invW; // (d nu / d phi) / nu
    // x = nu A P(A^2, T, C)
    const double k8 = 8.0 - T + 8.0 * C;
    const double P = 1.0 - A2 * T * (1.0 / 6.0 + k8 * A2 * (1.0 / 120.0));
    const double PA2 = -T * (1.0 / 6.0 + k8 * A2 * (1.0 / 60.0));
    const double PT = -A2 * (1.0 / 6.0 + (8.0 - 2.0 * T + 8.0 * C) * A2 * (1.0 / 120.0));
    const double PC = -A2 * A2 * T * (1.0 / 15.0);
    // y = M - M0 + nu t A^2 Q(A^2, T, C)
    const double k5 = 5.0 - T + 6.0 * C;
    const double Q = 0.5 + k5 * A2 * (1.0 / 24.0);
    const double QA2 = k5 * (1.0 / 24.0), QT = -A2 * (1.0 / 24.0), QC = A2 * 0.25;
    const double bend = nu * t * A2 * Q;
    const double sc2 = 2.0 * eps2 * s * c;
    CassiniSlopes f;
    f.x = nu * A * P;
    f.y = M + bend;
    f.xLam = nu * c * (P + 2.0 * A2 * PA2);
    f.xPhi = nu * A * ((nuTurn - t) * P + 2.0 * t * (-A2 * PA2 + (1.0 + T) * PT) - sc2 * PC);
    f.yLam = 2.0 * nu * t * A * c * (Q + A2 * QA2);
    // d M / d phi = rho = (1 - e^2) nu^3
    f.yPhi = (1.0 - es) * nu * invW + bend * nuTurn +
             nu * A2 * ((1.0 + T) * Q + t * (2.0 * t * (-(Q + A2 * QA2) + (1.0 + T) * QT) - sc2 * QC));
    return f;
}
} // namespace

// ---------------------------------------------------------------------------
// Cassini-Soldner on the ellipsoid. The series in A = dlam cos(phi) are the
// classical ones (to A^5 for the easting, A^4 for the northing), as the
// national grids that use the method were computed; the northing counts the
// meridian arc from the origin's parallel (ml0, set up by Create).
// ---------------------------------------------------------------------------
int CZrPJOperator::Cassini_Soldner_Forward(CPoint2D& pt) const {
    CassiniAt(pt, std::sin(pt.y), std::cos(pt.y));
    return 1;
}

// The forward of (dlam, phi) given sin(phi) and cos(phi).
void CZrPJOperator::CassiniAt(CPoint2D& pt, double s, double c) const {
    const double phi = pt.y;
    const double M = MeridianLength(phi, s, c);
    if (std::fabs(c) < kPoleCosine) {
        pt.x = 0.0;
        pt.y = m_def.a * (M - m_ml.ml0);
        return;
    }
    const double nu = 1.0 / std::sqrt(1.0 - m_ell.es * s * s);
    const double t = s / c, T = t * t;
    const double C = m_ell.eps2 * c * c;
    const double A = pt.x * c, A2 = A * A;
    pt.x = m_def.a * nu * A * (1.0 - A2 * T * (1.0 / 6.0 + (8.0 - T + 8.0 * C) * A2 * (1.0 / 120.0)));
    pt.y = m_def.a * (M - m_ml.ml0 + nu * t * A2 * (0.5 + (5.0 - T + 6.0 * C) * A2 * (1.0 / 24.0)));
}

// The inverse series stop at D^5 across and D^4 along the meridian, a
// truncation of their own: 22 mm off the forward 3.5 degrees from the central
// meridian (Palestine's grid, EPSG:28191), where PROJ's inverse returns its
// forward to the nanometre. The forward is the method's definition, so the
// series' answer is the start of Newton's rounds on the forward itself, with
// its analytic derivatives: from a miss of micrometres (a degree out) to
// centimetres (at Palestine's edge) one step leaves well under a nanometre.
// The sines and cosines after the footpoint's are turned, never taken anew.
int CZrPJOperator::Cassini_Soldner_Inverse(CPoint2D& pt) const {
    const double x = pt.x, y = pt.y;
    double phi1, s1, c1;
    CassiniFootpoint(m_ml.ml0 + y * m_ell.invA, phi1, s1, c1);
    CPoint2D geo(x, y);
    if (!CassiniFromFootpoint(geo, phi1, s1, c1)) return 0;
    if (!CassiniSolve(geo, x, y, phi1, s1, c1, false)) return 0;
    pt = geo;
    return 1;
}

// The footpoint latitude of the meridian arc m (units of a) from the
// rectifying latitude's series alone; the Newton rounds that follow take up
// its millimetres. Far from the equator's reach of the series, the solved
// footpoint.
void CZrPJOperator::CassiniFootpoint(double m, double& phi1, double& s1, double& c1) const {
    const double mu = m * m_ser.aOverD0;
    if (m_ser.D[0] > 0.0 && std::fabs(mu) < kRectifyingReach) {
        const double smu = std::sin(mu), cmu = std::cos(mu);
        const double s2 = 2.0 * smu * cmu, c2 = (cmu - smu) * (cmu + smu);
        const double s4 = 2.0 * s2 * c2, c4 = 1.0 - 2.0 * s2 * s2;
        const double dphi = m_ser.R[0] * s2 + m_ser.R[1] * s4 + m_ser.R[2] * (s4 * c2 + c4 * s2) +
                            m_ser.R[3] * (2.0 * s4 * c4);
        if (std::fabs(dphi) < kCassiniTurnBelow) {
            phi1 = mu + dphi;
            s1 = smu;
            c1 = cmu;
            RotateBySmallAngle(s1, c1, dphi);
            return;
        }
    }
    phi1 = MeridianLengthInverse(m, s1, c1);
}

// Newton's rounds on Cassini's forward (bent: the hyperbolic form's) from
// geo = (dlam, phi), whose latitude's footpoint phi1 has sine s1 and cosine
// c1, until the forward returns (x, y) (metres from the false origin).
int CZrPJOperator::CassiniSolve(CPoint2D& geo, double x, double y, double phi1, double s1, double c1,
                                bool bent) const {
    const double xa = x * m_ell.invA, ya = y * m_ell.invA;
    // The hyperbolic bend in units of a: Y^3 w^2 / (6 (1 - e^2)).
    const double bendScale = m_ell.invOneMinusEs * (1.0 / 6.0);
    for (int round = 0; round < kCassiniRounds; ++round) {
        double s = s1, c = c1;
        const double turn = geo.y - phi1;
        if (std::fabs(turn) < kCassiniTurnBelow) {
            RotateBySmallAngle(s, c, turn);
        } else {
            s = std::sin(geo.y);
            c = std::cos(geo.y);
        }
        // At a pole the series' answer stands (the easting is 0 there).
        if (std::fabs(c) < kPoleCosine) break;
        // The meridian arc as MeridianLength computes it, here where the
        // call would cost a twentieth of the inverse.
        const double s2 = s * s;
        const double M = m_ml.en[0] * geo.y -
                         s * c * (m_ml.en[1] + s2 * (m_ml.en[2] + s2 * (m_ml.en[3] + s2 * m_ml.en[4])));
        CassiniSlopes f = CassiniWithSlopes(geo.x, s, c, M - m_ml.ml0, m_ell.es, m_ell.eps2);
        if (bent) {
            // Y - Y^3 q, q = w^2 / (6 (1 - e^2)), dq / dphi = -4 e^2 s c w / (6 (1 - e^2)).
            const double w = 1.0 - m_ell.es * s * s, q = w * w * bendScale;
            const double Y2 = f.y * f.y, slope = 1.0 - 3.0 * Y2 * q;
            f.yPhi = f.yPhi * slope + Y2 * f.y * 4.0 * m_ell.es * s * c * w * bendScale;
            f.yLam *= slope;
            f.y -= Y2 * f.y * q;
        }
        const double ex = xa - f.x, ey = ya - f.y;
        const double miss = (std::fabs(ex) + std::fabs(ey)) * m_def.a;
        if (!std::isfinite(miss)) return 0;
        if (!(miss > kCassiniSolvedMetres)) break;
        const double invDet = 1.0 / (f.xLam * f.yPhi - f.xPhi * f.yLam);
        phi1 = geo.y;
        s1 = s;
        c1 = c;
        geo.x += (f.yPhi * ex - f.xPhi * ey) * invDet;
        geo.y += (f.xLam * ey - f.yLam * ex) * invDet;
        if (miss < kCassiniLastCorrection) break;
    }
    return 1;
}

// The rest of Cassini's inverse once the footpoint latitude phi1 (with its
// sine and cosine) of the northing is known.
int CZrPJOperator::CassiniFromFootpoint(CPoint2D& pt, double phi1, double s1, double c1) const {
    if (std::fabs(c1) < kPoleCosine) {
        pt.x = 0.0;
        pt.y = phi1;
        return 1;
    }
    // One square root and one division: a / N(phi1) = sqrt(w) and 1 / cos.
    const double w = 1.0 - m_ell.es * s1 * s1;
    const double invNu1 = std::sqrt(w), invC1 = 1.0 / c1;
    const double t1 = s1 * invC1, T1 = t1 * t1;
    // nu1 / rho1 = (1 - e^2 sin^2) / (1 - e^2)
    const double nuOverRho = w * m_ell.invOneMinusEs;
    const double D = pt.x * m_ell.invA * invNu1, D2 = D * D;
    pt.y = phi1 - nuOverRho * t1 * D2 * (0.5 - (1.0 + 3.0 * T1) * D2 * (1.0 / 24.0));
    pt.x = D * (1.0 + D2 * T1 * (-1.0 / 3.0 + (1.0 + 3.0 * T1) * D2 * (1.0 / 15.0))) * invC1;
    return 1;
}

// ---------------------------------------------------------------------------
// Transverse Mercator, south orientated: the transverse Mercator's map turned
// half round, x growing west and y south of the false origin. The frame
// applies k0 and the false origin as for the transverse Mercator.
// ---------------------------------------------------------------------------
int CZrPJOperator::Transverse_Mercator_South_Forward(CPoint2D& pt) const {
    if (!Traverse_Conformal_Cylindrical_Forward(pt)) return 0;
    pt.x = -pt.x;
    pt.y = -pt.y;
    return 1;
}

int CZrPJOperator::Transverse_Mercator_South_Inverse(CPoint2D& pt) const {
    pt.x = -pt.x;
    pt.y = -pt.y;
    return Traverse_Conformal_Cylindrical_Inverse(pt);
}

// ---------------------------------------------------------------------------
// Cassini-Soldner counted westwards and southwards (the Gusterberg and St.
// Stephen grids of old Austria): the same map read on axes turned half round,
// so both coordinates change sign. The frame then adds the false origin,
// which for such axes is the origin's own westing and southing.
// ---------------------------------------------------------------------------
int CZrPJOperator::Cassini_Soldner_South_West_Forward(CPoint2D& pt) const {
    if (!Cassini_Soldner_Forward(pt)) return 0;
    pt.x = -pt.x;
    pt.y = -pt.y;
    return 1;
}

int CZrPJOperator::Cassini_Soldner_South_West_Inverse(CPoint2D& pt) const {
    pt.x = -pt.x;
    pt.y = -pt.y;
    return Cassini_Soldner_Inverse(pt);
}

// ---------------------------------------------------------------------------
// Hyperbolic Cassini-Soldner (Vanua Levu): the Cassini northing X' bent by
// X = X' - X'^3 / (6 rho nu), rho and nu the radii of curvature at the
// point's latitude. The inverse starts from X' solved with rho nu at X's
// footpoint, whose footpoint is X's turned by the Taylor series phi1 + d /
// rho - 3/2 e^2 sin cos d^2 / (w rho^2) (the next term, d^3 e^2 / rho^3, is
// 1e-15 rad for a bend of 400 m), and Cassini's inverse series there; then
// Newton's rounds on the bent forward solve it as for Cassini.
// ---------------------------------------------------------------------------
double CZrPJOperator::HyperbolicBend(double phi, double northing) const {
    const double s = std::sin(phi);
    const double w = 1.0 - m_ell.es * s * s;
    // rho nu = a^2 (1 - e^2) / w^2
    const double rhoNu = m_def.a * m_def.a * (1.0 - m_ell.es) / (w * w);
    return northing * northing * northing / (6.0 * rhoNu);
}

int CZrPJOperator::Cassini_Hyperbolic_Forward(CPoint2D& pt) const {
    const double phi = pt.y;
    if (!Cassini_Soldner_Forward(pt)) return 0;
    pt.y -= HyperbolicBend(phi, pt.y);
    return 1;
}

int CZrPJOperator::Cassini_Hyperbolic_Inverse(CPoint2D& pt) const {
    const double x = pt.x, y = pt.y, ya = y * m_ell.invA;
    double phi0, s0, c0;
    CassiniFootpoint(m_ml.ml0 + ya, phi0, s0, c0);
    // X' - X'^3 q = X with q = w^2 / (6 (1 - e^2)) at the footpoint: two
    // rounds of X' = X + X'^3 q leave (3 X'^2 q)^2 of the bend, millimetres
    // 400 km out.
    const double w0 = 1.0 - m_ell.es * s0 * s0, unit = m_ell.invOneMinusEs;
    const double q = w0 * w0 * unit * (1.0 / 6.0);
    double Y = ya + ya * ya * ya * q;
    Y = ya + Y * Y * Y * q;
    const double d = Y - ya;
    const double k1 = w0 * std::sqrt(w0) * unit, k2 = 1.5 * m_ell.es * s0 * c0 * w0 * w0 * unit * unit;
    const double delta = d * (k1 - k2 * d);
    double phi1 = phi0 + delta, s1 = s0, c1 = c0;
    if (std::fabs(delta) < kCassiniTurnBelow) {
        RotateBySmallAngle(s1, c1, delta);
    } else {
        s1 = std::sin(phi1);
        c1 = std::cos(phi1);
    }
    CPoint2D geo(x, Y * m_def.a);
    if (!CassiniFromFootpoint(geo, phi1, s1, c1)) return 0;
    if (!CassiniSolve(geo, x, y, phi1, s1, c1, true)) return 0;
    pt = geo;
    return 1;
}
