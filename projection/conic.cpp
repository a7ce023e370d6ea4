// Conic and pseudoconic kinds: equal-area conic (Albers), conformal conic
// (Lambert), equidistant conic, polyconic, Bonne in both orientations, and the
// China projection (a modified azimuthal kind kept beside Bonne).
//
// The three true conics share one frame: theta = n dlam, x = rho sin theta,
// y = rho0 - rho cos theta, with the cone constant n in c1, the radius of the
// origin parallel rho0 in c2 and the kind's integration constant in c3 (G for
// the equal-area and equidistant conics, K for the conformal one). Radii carry
// the sign of n, so a cone opening towards the south pole draws north up, and
// the inverses recover theta and rho with that sign.
#include "projection/ZrPJOperator.h"

#include "projection/ZrPJKernels_p.h"

#include "geodesy/ZrPJMath.h"

#include <cmath>

using namespace zrpj;

namespace {

// Degeneracy threshold of the engine: a cone constant, a difference of radii
// or arcs, or a radius this small (in its own unit) leaves no map.
constexpr double kDegenerate = 1e-7;

// Bonne: northings are counted from this fixed origin (metres) rather than
// from the apex of the cone; stored coordinates of the kind depend on it.
constexpr double kBonneNorthingOrigin = 20738918.0;
// Within this of a pole every meridian meets; the longitude is the central one.
constexpr double kPoleTolerance = 1e-10;

// Polyconic inverse. Newton's method on the latitude converges in under ten
// rounds wherever the forward can land; the cap of 100 leaves room for points
// far outside the usual zone and stops NaN or a wandering start from looping.
constexpr int kPolyconicRounds = 100;
constexpr double kPolyconicTolerance = 1e-12;
constexpr double kPolyconicEquatorBand = 1.0; // metres about the equator's image
constexpr double kPolyconicPoleBand = 1e-5;   // radians about a pole: longitude undefined
// Below this Newton step (radians) the sine and cosine of the latitude are
// carried over the step by the rotation formulas, with the step's own sine
// and cosine from their series to the 7th and 6th powers: the first terms
// left out are below 3e-19 of unity, far under a rounding of the result.
constexpr double kPolyconicRotateBelow = 0.02;
// The inverse's start takes the bend of the parallels up to this (radians;
// about 25 degrees from the central meridian at 45 degrees of latitude):
// beyond, the second-order bend is no longer a good guess.
constexpr double kPolyconicBendStartBelow = 0.1;
// A step left out must be below this (radians) for the foresight to be
// trusted, and so that the last sine and cosine, carried over the step to
// first order, stay exact to 5e-17.
constexpr double kPolyconicForeseeBelow = 1e-8;

// China projection: a sphere of fixed radius, and the azimuth perturbation
// A' = A + z sin(3 (A + 15 deg)) k with its derivative factor 3 k.
constexpr double kChinaRadius = 6371118.0;
constexpr double kChinaInverseRadius = 1.5695832348419852e-7;
constexpr double kChinaPhase = 0.2617993877991494; // 15 degrees
constexpr double kChinaAmplitude = 0.011697143;
constexpr double kChinaSlope = 0.035091429; // 3 x amplitude
// The azimuth equation has a slope within 11 % of 1 everywhere on the sphere,
// so Newton's method settles in a handful of rounds; the bound guards NaN.
constexpr int kChinaRounds = 255;
constexpr double kChinaTolerance = 1e-7;

} // namespace

// ===========================================================================
// Set-up of the three conics. c1 = n, c2 = rho0, c3 = G or K.
// ===========================================================================
// Keeps a cone whose constants are all numbers; a set-up that ran into an
// infinity or NaN (a parallel at a pole, a degenerate band) leaves no map.
int CZrPJOperator::StoreCone(double n, double rho0, double c3) {
    if (!std::isfinite(n) || !std::isfinite(c3) || !std::isfinite(rho0)) return 0;
    m_kc.c1 = n;
    m_kc.c2 = rho0;
    m_kc.c3 = c3;
    return 1;
}

int CZrPJOperator::Setup_EqualArea_Conic() {
    double n = 0.0, G = 0.0;
    switch (m_def.parallelMode) {
    case 1: {
        n = std::sin(m_def.phi1);
        if (std::fabs(n) <= kDegenerate) return 0;
        const double apex = N(m_def.phi1) / std::tan(m_def.phi1); // rho of phi1 on the tangent cone
        G = apex * apex * n / 2.0 + Area(m_def.phi1);
        break;
    }
    case 2: {
        const double S1 = Area(m_def.phi1), S2 = Area(m_def.phi2);
        if (std::fabs(S2 - S1) <= kDegenerate) return 0;
        const double r1 = ParallelRadius(m_def.phi1), r2 = ParallelRadius(m_def.phi2);
        const double r1sq = r1 * r1, r2sq = r2 * r2;
        n = (r1sq - r2sq) / (2.0 * (S2 - S1));
        G = (S2 * r1sq - S1 * r2sq) / (r1sq - r2sq);
        break;
    }
    case 3: {
        // Fit to the band phi0..phi0': equal scale at both edges, and the
        // scale errors at the edge and at the mid-latitude equal and opposite.
        // The cross term is sqrt(G - Sm) sqrt(G - S'); for a band south of
        // the equator both factors are imaginary and their product is the
        // negative root (with the positive one the cone came out with scale
        // errors of several thousand percent).
        m_def.phim = (m_def.phi0 + m_def.phi0b) / 2.0;
        const double r0 = ParallelRadius(m_def.phi0), rb = ParallelRadius(m_def.phi0b),
                     rm = ParallelRadius(m_def.phim);
        const double H = r0 * r0 - rb * rb;
        if (std::fabs(H) <= kDegenerate) return 0;
        const double Sb = Area(m_def.phi0b), Sm = Area(m_def.phim);
        G = (r0 * r0 * Sb - rb * rb * Area(m_def.phi0)) / H;
        const double cross = SignOf(G - Sb) * std::sqrt((G - Sm) * (G - Sb));
        n = 2.0 * rb * rb * rm * rm / (2.0 * rb * rm * cross + rm * rm * (G - Sb) + rb * rb * (G - Sm));
        break;
    }
    default:
        return 0;
    }
    // A zero cone constant is a cylinder, which the conic formulas cannot draw.
    if (!(std::fabs(n) > kDegenerate)) return 0;
    const double rho0 = SignOf(n) * std::sqrt(2.0 * (G - Area(m_def.phi0)) / n);
    return StoreCone(n, rho0, G);
}

int CZrPJOperator::Setup_Conformal_Conic() {
    double n = 0.0, K = 0.0;
    switch (m_def.parallelMode) {
    case 1: {
        n = std::sin(m_def.phi1);
        if (std::fabs(n) <= kDegenerate) return 0;
        // One standard parallel: the scale factor on it is k0, as in every
        // Lambert 1SP definition (the national zones give k0 to be applied).
        double k0;
        if (!ScaleFromDefinition(k0)) return 0;
        K = k0 * ParallelRadius(m_def.phi1) * std::pow(U(m_def.phi1), n) / n;
        break;
    }
    case 2: {
        // Two standard parallels are both true to scale; k0 is not read (the
        // coordinate system fills it with 0.9996 when the definition has none).
        const double D = std::log10(U(m_def.phi2)) - std::log10(U(m_def.phi1));
        if (std::fabs(D) <= kDegenerate) return 0;
        n = (std::log10(ParallelRadius(m_def.phi1)) - std::log10(ParallelRadius(m_def.phi2))) / D;
        if (std::fabs(n) <= kDegenerate) return 0;
        K = ParallelRadius(m_def.phi1) * std::pow(U(m_def.phi1), n) / n;
        break;
    }
    case 3: {
        // Band fit: equal scale at phi0 and phi0', and scale errors at the
        // edges and at the mid-latitude equal and opposite.
        m_def.phim = (m_def.phi0 + m_def.phi0b) / 2.0;
        const double D = std::log10(U(m_def.phi0b)) - std::log10(U(m_def.phi0));
        if (std::fabs(D) <= kDegenerate) return 0;
        n = (std::log10(ParallelRadius(m_def.phi0)) - std::log10(ParallelRadius(m_def.phi0b))) / D;
        if (std::fabs(n) <= kDegenerate) return 0;
        const double p = ParallelRadius(m_def.phi0) * std::pow(U(m_def.phi0), n);
        const double q = ParallelRadius(m_def.phim) * std::pow(U(m_def.phim), n);
        K = 2.0 * p * q / ((p + q) * n);
        break;
    }
    default:
        return 0;
    }
    const double rho0 = K / std::pow(U(m_def.phi0), n);
    return StoreCone(n, rho0, K);
}

int CZrPJOperator::Setup_Equidistant_Conic() {
    double n = 0.0, G = 0.0;
    switch (m_def.parallelMode) {
    case 1:
        n = std::sin(m_def.phi1);
        if (std::fabs(n) <= kDegenerate) return 0;
        G = N(m_def.phi1) / std::tan(m_def.phi1) + Distance(m_def.phi1);
        break;
    case 2: {
        const double r1 = ParallelRadius(m_def.phi1), r2 = ParallelRadius(m_def.phi2);
        if (std::fabs(r1 - r2) <= kDegenerate) return 0;
        const double d1 = Distance(m_def.phi1), d2 = Distance(m_def.phi2);
        G = (d2 * r1 - r2 * d1) / (r1 - r2);
        if (std::fabs(G - d1) <= kDegenerate) return 0;
        n = r1 / (G - d1);
        break;
    }
    case 3: {
        // Band fit as for the other conics. G must make the scale equal at
        // both edges, (G - d0) / r0 = (G - d0') / r0', which divides by the
        // difference of the parallel radii; dividing by the difference of the
        // arcs instead gave a cone with scale errors of tens of percent.
        m_def.phim = (m_def.phi0 + m_def.phi0b) / 2.0;
        const double d0 = Distance(m_def.phi0), db = Distance(m_def.phi0b), dm = Distance(m_def.phim);
        const double r0 = ParallelRadius(m_def.phi0), rb = ParallelRadius(m_def.phi0b),
                     rm = ParallelRadius(m_def.phim);
        if (std::fabs(d0 - db) <= kDegenerate || std::fabs(r0 - rb) <= kDegenerate) return 0;
        G = (r0 * db - d0 * rb) / (r0 - rb);
        n = 2.0 * rb * rm / (rm * (G - db) + rb * (G - dm));
        break;
    }
    default:
        return 0;
    }
    if (!(std::fabs(n) > kDegenerate)) return 0;
    const double rho0 = G - Distance(m_def.phi0);
    return StoreCone(n, rho0, G);
}

// ===========================================================================
// The conic frame
// ===========================================================================
namespace {
// theta = n dlam; x = rho sin theta; y = rho0 - rho cos theta.

} // namespace

// theta = n dlam; x = rho sin theta; y = rho0 - rho cos theta.
inline int CZrPJOperator::ConePlace(CPoint2D& pt, double rho) const {
    const double theta = m_kc.c1 * pt.x;
    pt.x = rho * std::sin(theta);
    pt.y = m_kc.c2 - rho * std::cos(theta);
    return 1;
}

// The signed radius of a planar point, returned, and its longitude
// difference theta / n, left in pt.x. The sign follows n so that a southern
// cone unprojects as it projects; theta comes from both coordinates, since
// asin(x / rho) alone folds angles beyond 90 degrees, which wide cones reach
// far from the central meridian.
inline double CZrPJOperator::ConeLocate(CPoint2D& pt) const {
    const double n = m_kc.c1;
    const double s = SignOf(n);
    const double dy = m_kc.c2 - pt.y;
    const double rho = s * std::sqrt(pt.x * pt.x + dy * dy);
    const double theta = std::atan2(s * pt.x, s * dy);
    pt.x = theta / n;
    return rho;
}

// ---------------------------------------------------------------------------
// Equal-area conic (Albers, 43007)
// ---------------------------------------------------------------------------
int CZrPJOperator::EqualArea_Conic_Forward(CPoint2D& pt) const {
    const double n = m_kc.c1, G = m_kc.c3;
    // A negative radicand (beyond the map) gives NaN, which the frame refuses.
    return ConePlace(pt, SignOf(n) * std::sqrt(2.0 * (G - Area(pt.y)) / n));
}

int CZrPJOperator::EqualArea_Conic_Inverse(CPoint2D& pt) const {
    const double n = m_kc.c1, G = m_kc.c3;
    const double rho = ConeLocate(pt);
    pt.y = AntiArea(AsinRounded((G - rho * rho * n / 2.0) / m_ser.Rq2)); // from the authalic latitude
    return 1;
}

// ---------------------------------------------------------------------------
// Conformal conic (Lambert, 43020)
// ---------------------------------------------------------------------------
int CZrPJOperator::Conformal_Conic_Forward(CPoint2D& pt) const {
    const double n = m_kc.c1, K = m_kc.c3;
    return ConePlace(pt, (m_def.parallelMode >= 1 && m_def.parallelMode <= 3)
                             ? K * std::exp(-n * IsometricLatitude(pt.y))
                             : 0.0);
}

int CZrPJOperator::Conformal_Conic_Inverse(CPoint2D& pt) const {
    const double n = m_kc.c1, K = m_kc.c3;
    const double rho = ConeLocate(pt);
    // K and rho share the sign of n. The logarithm of their ratio, not the
    // difference of their logarithms: those are near 15 and each carries a
    // rounding of 1.8e-15, which the difference keeps (1e-13 degrees of
    // latitude); the ratio's rounding costs 1e-16.
    const double t = -std::log(std::fabs(rho / K)) / n; // isometric latitude
    pt.y = AntiConformal(2.0 * std::atan(std::exp(t)) - kHalfPi);
    return 1;
}

// ---------------------------------------------------------------------------
// Equidistant conic (43027)
// ---------------------------------------------------------------------------
int CZrPJOperator::Equidistant_Conic_Forward(CPoint2D& pt) const {
    const double G = m_kc.c3;
    return ConePlace(pt, (m_def.parallelMode >= 1 && m_def.parallelMode <= 3) ? G - Distance(pt.y) : 0.0);
}

// Unprojects cones given by one or two standard parallels. The band-fitted
// cone (mode 3) has no inverse in this kind; a mode the set-up never accepts
// is refused rather than passed through unchanged.
int CZrPJOperator::Equidistant_Conic_Inverse(CPoint2D& pt) const {
    if (m_def.parallelMode != 1 && m_def.parallelMode != 2) return 0;
    const double G = m_kc.c3;
    const double rho = ConeLocate(pt);
    pt.y = AntiDistance((G - rho) / m_ser.D[0]);
    return 1;
}

// ===========================================================================
// Polyconic (43021). Every parallel is the arc of its own tangent cone. The
// false origin is the frame's alone: the routine once added FE and FN on top
// of it, which moved every point by twice the false origin (the Guam State
// Plane rows landed 50 km off their own definitions).
// ===========================================================================
int CZrPJOperator::Setup_Normal_Polyconic() {
    m_arc.polyM0 = MeridianArc(m_def.a, m_arc.A, m_def.phi0);
    return std::isfinite(m_arc.polyM0) ? 1 : 0;
}

namespace {
// The classical meridian arc in units of a, A0 phi - A2 sin 2phi + A4 sin 4phi
// - A6 sin 6phi, and its derivative, from the sine and cosine of phi: the
// multiple angles by the double-angle identities, where the sum took three
// sines and the derivative three cosines of their own.
struct UnitArc {
    double M, slope;
};

inline UnitArc PolyconicArc(const double A[4], double phi, double sphi, double cphi) {
    const double s2 = 2.0 * sphi * cphi, c2 = 1.0 - 2.0 * sphi * sphi;
    const double s4 = 2.0 * s2 * c2, c4 = 1.0 - 2.0 * s2 * s2;
    const double s6 = s4 * c2 + c4 * s2, c6 = c4 * c2 - s4 * s2;
    return {A[0] * phi - A[1] * s2 + A[2] * s4 - A[3] * s6,
            A[0] - 2.0 * A[1] * c2 + 4.0 * A[2] * c4 - 6.0 * A[3] * c6};
}

// The same arc and slope as polynomials in t = sin^2 phi, for the inverse's
// Newton rounds, where the multiple-angle chain was the longest path: with
// sin 2phi = 2sc, sin 4phi = 4sc (1 - 2t), sin 6phi = 2sc (3 - 16t + 16t^2),
// the arc is A0 phi + sc (p0 + p1 t + p2 t^2); with cos 2phi = 1 - 2t,
// cos 4phi = 1 - 8t + 8t^2, cos 6phi = 1 - 18t + 48t^2 - 32t^3 the slope is
// q0 + q1 t + q2 t^2 + q3 t^3. The coefficients depend on the ellipsoid only.
struct ArcPolynomial {
    double a0, p0, p1, p2, q0, q1, q2, q3;
    explicit ArcPolynomial(const double A[4])
        : a0(A[0]), p0(-2.0 * A[1] + 4.0 * A[2] - 6.0 * A[3]), p1(-8.0 * A[2] + 32.0 * A[3]),
          p2(-32.0 * A[3]), q0(A[0] - 2.0 * A[1] + 4.0 * A[2] - 6.0 * A[3]),
          q1(4.0 * A[1] - 32.0 * A[2] + 108.0 * A[3]), q2(32.0 * A[2] - 288.0 * A[3]), q3(192.0 * A[3]) {}
    UnitArc operator()(double phi, double sphi, double cphi) const {
        const double t = sphi * sphi;
        return {a0 * phi + sphi * cphi * (p0 + t * (p1 + t * p2)), q0 + t * (q1 + t * (q2 + t * q3))};
    }
};
} // namespace

// Per point one sine and cosine of phi and one of half the cone angle E: the
// slant radius N cot phi from them, sin E and 1 - cos E = 2 sin^2(E/2) from
// the half angle, and the meridian arc from the multiple-angle identities.
int CZrPJOperator::Normal_Polyconic_Forward(CPoint2D& pt) const {
    const double dlam = pt.x, phi = pt.y;
    if (phi != 0.0) {
        const double sphi = std::sin(phi), cphi = std::cos(phi);
        const double r = m_def.a / W(m_ell.es, sphi) * cphi / sphi; // cone's slant radius
        const double halfE = 0.5 * dlam * sphi;
        const double halfSinE = std::sin(halfE), halfCosE = std::cos(halfE);
        // 1 - cos E as 2 sin^2(E/2): the difference loses every digit near the equator.
        pt.x = r * 2.0 * halfSinE * halfCosE;
        pt.y =
            m_def.a * PolyconicArc(m_arc.A, phi, sphi, cphi).M - m_arc.polyM0 + r * 2.0 * halfSinE * halfSinE;
    } else {
        pt.x = m_def.a * dlam;
        pt.y = -m_arc.polyM0;
    }
    return 1;
}

int CZrPJOperator::Normal_Polyconic_Inverse(CPoint2D& pt) const {
    const ArcPolynomial arcOf(m_arc.A);
    const double xr = pt.x / m_def.a;
    const double d = pt.y;
    double phi, lam;
    if (d > -m_arc.polyM0 - kPolyconicEquatorBand && d < kPolyconicEquatorBand - m_arc.polyM0) {
        phi = 0.0;
        lam = xr;
    } else {
        // Newton's method on f(phi) = A (C M + 1) - M - C (M^2 + B) / 2, whose
        // root is the latitude (M the meridian arc in units of a, C = N/(a r)
        // written as sqrt(1 - e^2 sin^2) tan, B = x^2 + A^2). The slope is
        // the derivative of f (C' = W / cos^2 - e^2 sin^2 / W; its first part
        // enters through D W, equal to it where f vanishes, so that the
        // convergence stays quadratic); a slope scaled by A2 (about 0.0025)
        // instead of 1 never converges to 1e-12 for most points, and one
        // whose e^2 term read cos^3 sin for cos sin^3 converged only at a
        // rate of about e^2 x^2 / 2 a round, a round more than needed. With
        // D = M - A, M^2 + B - 2 A M is D^2 + x^2, so f = -D - C (D^2 + x^2) / 2:
        // the form that does not subtract two products of C, which near a
        // pole is 1e16 and left f to the rounding of its last bit (the pole's
        // image came back as the other pole). One sine and cosine of phi per
        // round serve the arc, its slope, C and sin 2phi; f and its slope
        // are both taken times cos phi sin phi W, which clears C and sin 2phi
        // from every denominator and leaves one division a round, the step.
        // Once the steps are small the sine and cosine are rotated by the
        // step rather than taken anew: one or two sine-cosine pairs a point
        // instead of one a round (the results move by at most 1e-16 rad).
        const double Ay = (m_arc.polyM0 + d) / m_def.a;
        const double x2 = xr * xr;
        // The start: the footpoint of the arc Ay (the rectifying latitude
        // Ay / A0 and the first two terms of its series), less the bend of
        // the parallels to second order in x, x^2 tan(phi) W / 2, both from
        // the rectifying latitude's sine and cosine. It is within about 3e-4
        // rad where the arc alone was 0.04 rad off 2000 km out: two or three
        // rounds a point instead of three or four.
        // Far out, where the bend is no longer small, the start is the arc
        // itself, as it always was there (the equation has other roots then,
        // and the start decides which one is found); between, the bend's
        // start takes its own sine and cosine.
        const double mu = Ay / arcOf.a0;
        double sphi = std::sin(mu), cphi = std::cos(mu);
        const double sc = sphi * cphi, t = sphi * sphi;
        const double bend = 0.5 * x2 * sphi / cphi * std::sqrt(1.0 - m_ell.es * t);
        const double turn = 2.0 * sc * (m_arc.A[1] - 2.0 * m_arc.A[2] * (1.0 - 2.0 * t)) / arcOf.a0 - bend;
        if (std::fabs(turn) < kPolyconicRotateBelow) {
            phi = mu + turn;
            RotateBySmallAngle(sphi, cphi, turn);
        } else if (std::fabs(bend) < kPolyconicBendStartBelow) {
            phi = mu + turn;
            sphi = std::sin(phi);
            cphi = std::cos(phi);
        } else {
            phi = Ay;
            sphi = std::sin(phi);
            cphi = std::cos(phi);
        }
        double step = 0.0, lastStep = 0.0;
        int round = 0;
        for (; round < kPolyconicRounds; ++round) {
            const UnitArc arc = arcOf(phi, sphi, cphi);
            const double Mn = arc.M, Mp = arc.slope;
            const double w2 = 1.0 - m_ell.es * sphi * sphi, w = std::sqrt(w2); // W and W^2
            const double D = Mn - Ay, q = D * D + x2;
            const double sw = sphi * w, csw = cphi * sw, w2s2 = w2 * sphi * sphi;
            // f cos sin W and f' cos sin W, where C = W sin / cos:
            const double f = -D * csw - 0.5 * w2s2 * q;
            const double slope =
                -D * (w2s2 * Mp - w) + 0.5 * m_ell.es * q * cphi * sphi * sphi * sphi - Mp * csw;
            step = f / slope;
            if (!std::isfinite(step)) return 0;
            phi -= step;
            if (std::fabs(step) <= kPolyconicTolerance) break;
            // The rounds converge quadratically, each step about K times the
            // square of the one before: once the next is foreseen ten times
            // below 1e-16 rad (0.6 nm), the round that would take it is left out.
            const double size = std::fabs(step);
            if (size < kPolyconicForeseeBelow && 10.0 * size * size * size < 1e-16 * lastStep * lastStep)
                break;
            lastStep = step;
            if (std::fabs(step) < kPolyconicRotateBelow) {
                // phi went down by step: rotate by -step. The rotations'
                // roundings gather to a few units in the last place of the
                // sine and cosine, which move the root by as many (under 1e-15
                // rad, 6 nm); taking them anew for the last round cost a sine
                // and cosine a point.
                RotateBySmallAngle(sphi, cphi, -step);
            } else {
                sphi = std::sin(phi);
                cphi = std::cos(phi);
            }
        }
        // No convergence: the point lies outside every cone of the projection.
        if (round == kPolyconicRounds) return 0;
        phi = Clamp(phi, -kHalfPi, kHalfPi);
        if (phi != 0.0 && std::fabs(std::fabs(phi) - kHalfPi) > kPolyconicPoleBand) {
            // The sine and cosine of the last round, carried over its step
            // (at most 1e-8, so the omitted terms are below 5e-17).
            const double s = sphi - cphi * step, c = cphi + sphi * step;
            const double C = W(m_ell.es, s) * s / c;
            lam = std::asin(xr * C) / s;
        } else {
            lam = 0.0;
        }
    }
    pt.x = lam;
    pt.y = phi;
    return 1;
}

// ===========================================================================
// Bonne (43024): parallels are concentric arcs at their true meridian
// distance, each true to scale, so the map is equal-area. c3 is the apex
// distance N(phi1)/tan(phi1) + arc(phi1); northings are counted from the
// kind's fixed origin.
// ===========================================================================
int CZrPJOperator::Setup_Bonne() {
    const double t1 = std::tan(m_def.phi1);
    if (std::fabs(t1) <= kDegenerate) return 0; // phi1 = 0 is the sinusoidal limit
    m_kc.c3 = N(m_def.phi1) / t1 + Distance(m_def.phi1);
    return std::isfinite(m_kc.c3) ? 1 : 0;
}

int CZrPJOperator::Bonne_Forward(CPoint2D& pt) const {
    const double phi = pt.y;
    const double rho = m_kc.c3 - Distance(phi);
    if (std::fabs(rho) <= kDegenerate) return 0; // the apex: every meridian meets
    // The parallel keeps its true length r(phi) dlam along the arc of radius
    // rho. (With N(phi) in place of r(phi) = N cos(phi) the parallels came out
    // 1/cos(phi) too long and the map was no longer equal-area.)
    const double E = ParallelRadius(phi) * pt.x / rho;
    pt.x = rho * std::sin(E);
    pt.y = kBonneNorthingOrigin - rho * std::cos(E);
    return 1;
}

int CZrPJOperator::Bonne_Inverse(CPoint2D& pt) const {
    const double h = kBonneNorthingOrigin - pt.y;
    if (std::fabs(h) <= kDegenerate) return 0;
    // rho has the sign of phi1 (the apex lies towards the nearer pole), and
    // the angle comes from both coordinates: atan(x / h) alone folds points
    // more than 90 degrees round the apex, near the pole.
    const double s = SignOf(m_def.phi1);
    const double rho = s * std::sqrt(pt.x * pt.x + h * h);
    const double E = std::atan2(s * pt.x, s * h);
    const double phi = SnapToPole(AntiDistance((m_kc.c3 - rho) / m_ser.D[0]));
    const double r = ParallelRadius(phi);
    pt.x = (kHalfPi - std::fabs(phi) <= kPoleTolerance) ? 0.0 : rho * E / r;
    pt.y = phi;
    return 1;
}

// ===========================================================================
// South-orientated Bonne (43046): x grows westward and y southward, about the
// frame's false origin (the routine once added FE and FN a second time).
// ===========================================================================
int CZrPJOperator::Setup_Bonne_South_Orientated() {
    const double e2 = m_ell.es;
    ClassicalMeridianCoefficients(e2, m_bs.A);
    m_bs.M0 = MeridianArc(m_def.a, m_bs.A, m_def.phi0);
    const double s0 = std::sin(m_def.phi0);
    m_bs.m0 = std::cos(m_def.phi0) / W(e2, s0);
    // Footpoint series in e1 = (1 - sqrt(1 - e^2)) / (1 + sqrt(1 - e^2)).
    const double root = std::sqrt(1.0 - e2);
    const double e1 = (1.0 - root) / (1.0 + root);
    const double e1sq = e1 * e1, e1cu = e1sq * e1, e1qu = e1sq * e1sq;
    m_bs.F[0] = 1.5 * e1 - 0.84375 * e1cu;
    m_bs.F[1] = 1.3125 * e1sq - 1.71875 * e1qu;
    m_bs.F[2] = 1.5729166666666665 * e1cu;
    m_bs.F[3] = 2.142578125 * e1qu;
    return 1;
}

int CZrPJOperator::Bonne_South_Orientated_Forward(CPoint2D& pt) const {
    if (m_def.phi0 == 0.0) return 0; // the cone of the equator is a cylinder
    const double phi = pt.y;
    const double apex = m_def.a * m_bs.m0 / std::sin(m_def.phi0);
    const double rho = apex + m_bs.M0 - MeridianArc(m_def.a, m_bs.A, phi);
    double E = 0.0;
    if (rho != 0.0) {
        const double sphi = std::sin(phi);
        // The longitude difference is reduced like every other kind's: with a
        // central meridian near 180 degrees the raw difference reached 345
        // degrees and put points across the antimeridian 30 000 km away.
        E = m_def.a * (std::cos(phi) / W(m_ell.es, sphi)) * pt.x / rho;
    }
    pt.x = -rho * std::sin(E);
    pt.y = -(apex - rho * std::cos(E));
    return 1;
}

int CZrPJOperator::Bonne_South_Orientated_Inverse(CPoint2D& pt) const {
    if (m_def.phi0 == 0.0) return 0; // no cone, as in the forward
    const double rho0 = m_def.a * m_bs.m0 / std::sin(m_def.phi0);
    const double c = rho0 + pt.y;
    const double d = -pt.x;
    double rho = std::sqrt(c * c + d * d);
    if (m_def.phi0 < 0.0) rho = -rho;
    const double arc = rho0 + m_bs.M0 - rho;
    const double mu = arc / (m_def.a * m_bs.A[0]);
    double phi = mu + m_bs.F[0] * std::sin(2.0 * mu) + m_bs.F[1] * std::sin(4.0 * mu) +
                 m_bs.F[2] * std::sin(6.0 * mu) + m_bs.F[3] * std::sin(8.0 * mu);
    // The footpoint series inverts the exact arc to e1^4, not the forward's
    // arc (to e^6): 2.5 mm apart at high latitudes. One Newton step on the
    // forward's arc, whose slope is the meridian radius of that series,
    // closes the gap.
    const double* A = m_bs.A;
    const double slope = m_def.a * (A[0] - 2.0 * A[1] * std::cos(2.0 * phi) +
                                    4.0 * A[2] * std::cos(4.0 * phi) - 6.0 * A[3] * std::cos(6.0 * phi));
    phi = SnapToPole(phi - (MeridianArc(m_def.a, A, phi) - arc) / slope);
    double lam = 0.0;
    // At either pole the meridians meet; cos(-pi/2) is not 0 in floating point.
    if (std::fabs(std::fabs(phi) - kHalfPi) >= kPoleTolerance) {
        const double s = m_def.phi0 >= 0.0 ? 1.0 : -1.0;
        const double sphi = std::sin(phi);
        lam = rho * std::atan2(s * d, s * c) / (m_def.a * std::cos(phi) / W(m_ell.es, sphi));
    }
    pt.x = lam;
    pt.y = phi;
    return 1;
}

// ===========================================================================
// China projection (43037): an azimuthal equidistant projection about
// (lambda0, phi1) on a sphere of fixed radius, whose azimuths are perturbed
// with a three-fold wave growing with the distance.
// ===========================================================================
double CZrPJOperator::ChinaA(double A, double z, double Aprime) const {
    return A + std::sin(3.0 * (A + kChinaPhase)) * z * kChinaAmplitude - Aprime;
}

double CZrPJOperator::ChinaA1(double A, double z) const {
    return std::cos(3.0 * (A + kChinaPhase)) * z * kChinaSlope + 1.0;
}

int CZrPJOperator::China_Forward(CPoint2D& pt) const {
    const double phi = pt.y;
    const double dlam = pt.x;
    const double sphi = std::sin(phi), cphi = std::cos(phi);
    const double sphi1 = std::sin(m_def.phi1), cphi1 = std::cos(m_def.phi1);
    const double cdlam = std::cos(dlam), east = std::sin(dlam) * cphi;
    const double cosz = cphi * cdlam * cphi1 + sphi * sphi1;
    // Mathematically |cos z| <= 1; only rounding (at the centre, at the
    // antipode) carries it past, and that must not refuse the centre.
    if (!(std::fabs(cosz) <= 1.0 + kUnitRoundoff)) return 0;
    // h: the northward component of the point seen from the centre.
    const double h = cphi1 * sphi - cphi * cdlam * sphi1;
    // z from both its sine and cosine: acos(cos z) loses half the digits
    // near the centre and put the centre itself 9 cm off the origin.
    const double z = std::atan2(std::sqrt(east * east + h * h), cosz);
    double A;
    if (std::fabs(dlam) >= kDegenerate) {
        if (std::fabs(h) <= kDegenerate) return 0;
        A = std::atan2(east, h);
    } else {
        // On the central meridian: due north above the centre, due south
        // below it (the limit of the general branch); the centre itself maps
        // to the origin whatever its azimuth.
        A = (phi - m_def.phi1 > kDegenerate) ? 0.0 : kPi;
    }
    const double Aprime = A + z * std::sin(3.0 * (A + kChinaPhase)) * kChinaAmplitude;
    const double rho = kChinaRadius * z;
    pt.x = rho * std::sin(Aprime);
    pt.y = rho * std::cos(Aprime);
    return 1;
}

int CZrPJOperator::China_Inverse(CPoint2D& pt) const {
    const double x = pt.x, y = pt.y;
    if (std::fabs(y - kDegenerate) <= kDegenerate) return 0;
    // Below the x axis atan folds A' by pi and the division makes z negative;
    // the wave's three-fold period makes (A' - pi, -z) the same point.
    const double Aprime = std::atan(x / y);
    // z = y / cos A', which is the distance from the centre with the sign of
    // y; taken as that, since towards due east or west y / cos A' divides
    // two small numbers and lost a third of a millimetre.
    const double z = SignOf(y) * std::hypot(x, y) * kChinaInverseRadius;
    // Newton's method on A + z k sin(3 (A + 15 deg)) = A', starting from A'.
    double A = Aprime;
    int round = 0;
    for (; round < kChinaRounds; ++round) {
        const double slope = ChinaA1(A, z);
        if (!(std::fabs(slope) >= kDegenerate)) return 0;
        const double step = ChinaA(A, z, Aprime) / slope;
        A -= step;
        if (std::fabs(step) < kChinaTolerance) break;
    }
    if (round == kChinaRounds) return 0;
    const double sphi1 = std::sin(m_def.phi1), cphi1 = std::cos(m_def.phi1);
    const double sz = std::sin(z), cz = std::cos(z), cA = std::cos(A);
    const double sphi = sphi1 * cz + cphi1 * sz * cA;
    if (std::fabs(sphi) > 1.0) return 0;
    const double h = cphi1 * cz - sphi1 * sz * cA;
    if (std::fabs(h) < kDegenerate) return 0;
    // Two-argument arctangent: beyond 90 degrees from the central meridian h
    // is negative and atan of the ratio would return the mirrored longitude.
    pt.x = std::atan2(std::sin(A) * sz, h);
    pt.y = std::asin(sphi);
    return 1;
}
