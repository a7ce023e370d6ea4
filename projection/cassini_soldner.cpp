// The transverse kinds on the ellipsoid that lean on the meridian arc:
// Cassini-Soldner, and the transverse Mercator turned to westings and
// southings (southern Africa's Lo grids).
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
// correction below kCassiniLastCorrection (metres); rounds beyond the second
// only serve points far outside any Cassini grid, where the series lose
// their meaning anyway.
constexpr double kCassiniSolvedMetres = 1e-9;
constexpr double kCassiniLastCorrection = 0.01;
constexpr int kCassiniRounds = 4;
// A move of the northing below this (metres) turns the footpoint by its
// Taylor series' first term.
constexpr double kFootpointTaylorMetres = 1.0;
// Latitude turns up to this (radians) are taken by the small-angle rotation,
// exact to rounding there; larger ones take the sine and cosine anew.
constexpr double kCassiniTurnBelow = 0.01;
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
// series' answer is corrected until the forward takes it back to the grid
// coordinates: the series are fed the grid coordinates moved by what the
// forward missed. The series' error changes slowly (4e-7 of a move at
// Palestine's edge), so one correction of under a centimetre leaves
// nanometres and needs no forward after it. The footpoint of the moved
// northing is the last one turned by the move over the meridian's radius
// (the next term, 3/2 e^2 sin cos d^2 / rho^2, is 1e-16 rad for a metre),
// and the point's sine and cosine are the footpoint's turned to the latitude,
// so a round takes no sine, cosine or footpoint search.
int CZrPJOperator::Cassini_Soldner_Inverse(CPoint2D& pt) const {
    const double x = pt.x, y = pt.y;
    double s1, c1;
    double phi1 = MeridianLengthInverse(m_ml.ml0 + y * m_ell.invA, s1, c1);
    CPoint2D geo(x, y);
    if (!CassiniFromFootpoint(geo, phi1, s1, c1)) return 0;
    double fedX = x, fedY = y;
    for (int round = 0; round < kCassiniRounds; ++round) {
        // The point's sine and cosine, from the footpoint's.
        double s = s1, c = c1;
        const double turn = geo.y - phi1;
        if (std::fabs(turn) < kCassiniTurnBelow) {
            RotateBySmallAngle(s, c, turn);
        } else {
            s = std::sin(geo.y);
            c = std::cos(geo.y);
        }
        CPoint2D back = geo;
        CassiniAt(back, s, c);
        const double missX = x - back.x, missY = y - back.y;
        const double miss = std::fabs(missX) + std::fabs(missY);
        if (!std::isfinite(miss)) return 0;
        if (!(miss > kCassiniSolvedMetres)) break;
        fedX += missX;
        fedY += missY;
        if (std::fabs(missY) < kFootpointTaylorMetres) {
            // d phi1 / dm = 1 / rho = w^(3/2) / (a (1 - e^2)), w = 1 - e^2 sin^2.
            const double w = 1.0 - m_ell.es * s1 * s1;
            const double step = missY * w * std::sqrt(w) * m_ell.invOneMinusEs * m_ell.invA;
            RotateBySmallAngle(s1, c1, step);
            phi1 += step;
        } else {
            phi1 = MeridianLengthInverse(m_ml.ml0 + fedY * m_ell.invA, s1, c1);
        }
        geo = CPoint2D(fedX, fedY);
        if (!CassiniFromFootpoint(geo, phi1, s1, c1)) return 0;
        if (miss < kCassiniLastCorrection) break;
    }
    pt = geo;
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
// Hyperbolic Cassini-Soldner (Vanua Levu): the Cassini northing X' bent by
// X = X' - X'^3 / (6 rho nu), rho and nu the radii of curvature at the
// point's latitude. The inverse solves that for X' by Newton's rounds on
// X' - X'^3 / (6 rho nu) = X, holding rho nu still in the derivative (it
// moves with the latitude by 4 e^2 sin cos of itself per radian, which leaves
// a contraction of about 1e-8 across the island). Each round needs the
// footpoint latitude of X' = X + d, taken from the one of X by its Taylor
// series, phi1 + d / rho - 3/2 e^2 sin cos d^2 / (w rho^2): the next term is
// d^3 e^2 / rho^3, 1e-16 rad for the bend's 100 m at 300 km out; beyond a
// bend of kFootpointStep the footpoint is found anew. The one sine and
// cosine a point are the footpoint's: the rounds turn them by the series'
// step and by Cassini's latitude correction instead of taking them anew.
// ---------------------------------------------------------------------------
namespace {
constexpr int kHyperbolicRounds = 20;
// The step (metres) below which it is taken on the round's point to first
// order instead of by another round.
constexpr double kHyperbolicLastStep = 1e-4;
constexpr double kFootpointStep = 100.0; // metres
// Angles up to this (radians) turn a sine and cosine by the small-angle
// rotation, exact to rounding there; larger ones take them anew.
constexpr double kRotateBelow = 0.01;
} // namespace

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
    const double x = pt.x, y = pt.y;
    // 1 / (6 rho nu) = w^2 / (6 a^2 (1 - e^2)), w = 1 - e^2 sin^2 at the point.
    const double bendScale = m_ell.invA * m_ell.invA * m_ell.invOneMinusEs / 6.0;
    // The footpoint of X itself, and its Taylor series' coefficients
    // 1 / rho0 and 3/2 e^2 sin cos / (w rho0^2) (rho0 in metres).
    double base = y, s0, c0, k1, k2;
    double phi0 = MeridianLengthInverse(m_ml.ml0 + base * m_ell.invA, s0, c0);
    const auto taylor = [&]() {
        const double w0 = 1.0 - m_ell.es * s0 * s0, unit = m_ell.invOneMinusEs * m_ell.invA;
        k1 = w0 * std::sqrt(w0) * unit;
        k2 = 1.5 * m_ell.es * s0 * c0 * w0 * w0 * unit * unit; // k1^2 / w0 without dividing
    };
    taylor();
    double cassiniY = y;
    for (int i = 0; i < kHyperbolicRounds; ++i) {
        double d = cassiniY - base;
        if (std::fabs(d) > kFootpointStep) {
            base = cassiniY;
            phi0 = MeridianLengthInverse(m_ml.ml0 + base * m_ell.invA, s0, c0);
            taylor();
            d = 0.0;
        }
        const double delta = d * (k1 - k2 * d);
        double s1 = s0, c1 = c0;
        if (std::fabs(delta) < kRotateBelow) {
            RotateBySmallAngle(s1, c1, delta);
        } else {
            s1 = std::sin(phi0 + delta);
            c1 = std::cos(phi0 + delta);
        }
        const double phi1 = phi0 + delta;
        CPoint2D q(x, cassiniY);
        if (!CassiniFromFootpoint(q, phi1, s1, c1)) return 0;
        // The sine of the point's latitude, for its radii, from the footpoint's.
        const double turn = q.y - phi1;
        const double tanPhi1 = s1 / c1;
        if (std::fabs(turn) < kRotateBelow) {
            RotateBySmallAngle(s1, c1, turn);
        } else {
            s1 = std::sin(q.y);
        }
        const double w = 1.0 - m_ell.es * s1 * s1;
        const double bendOverY = cassiniY * cassiniY * w * w * bendScale; // X'^2 / (6 rho nu)
        const double residual = cassiniY * (1.0 - bendOverY) - y;
        if (!std::isfinite(residual)) return 0;
        // The slope 1 - X'^2 / (2 rho nu).
        const double step = residual / (1.0 - 3.0 * bendOverY);
        // A step this small is taken on the point itself, to first order:
        // the footpoint moves by step / rho, the latitude by that times
        // 1 - lambda^2 / 2 and the longitude by lambda tan(phi1) times it
        // (what is left out is e^2 lambda^2 and lambda^4 of the move, 4e-17
        // rad at 1e-4 m, and the bend's own change, 4e-7 of the step, 4e-11
        // m); there is no round more.
        if (!(std::fabs(step) > kHyperbolicLastStep)) {
            const double dphi1 = -step * k1;
            pt.x = q.x * (1.0 + dphi1 * tanPhi1);
            pt.y = q.y + dphi1 * (1.0 - 0.5 * q.x * q.x);
            return 1;
        }
        cassiniY -= step;
    }
    return 0;
}
