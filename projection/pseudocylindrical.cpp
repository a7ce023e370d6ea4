// Pseudo-cylindrical world kinds: sinusoidal (on the ellipsoid and, as
// Sanson, on the sphere), Mollweide, Eckert I-VI, Winkel I and II, Van der
// Grinten I, Robinson, loximuthal and quartic authalic. All but the
// ellipsoidal sinusoidal work on the sphere of radius a.
#include "projection/ZrPJOperator.h"

#include "projection/ZrPJKernels_p.h"

#include "geodesy/ZrPJMath.h"
#include "platform/ZrToolkit.h"

#include <algorithm>
#include <cmath>

using namespace zrpj;

namespace {
constexpr double kOneOverPi = 0.3183098861837907;
constexpr double kTwoOverPi = 0.6366197723675814;
constexpr double kPiSquared = 9.869604401089358;

// 1 - sin|phi| without the cancellation near the poles.
inline double OneMinusSinAbs(double phi) {
    const double h = std::sin(kQuarterPi - std::fabs(phi) / 2.0);
    return 2.0 * h * h;
}

// ---- Mollweide: 2 theta + sin 2 theta = pi sin phi ----
constexpr double kMollweideX = 0.9003163161571062; // 2 sqrt(2) / pi
constexpr double kMollweideY = 1.4142135623730951; // sqrt(2)
constexpr double kMollweideInvX = 1.1107207345395915;
constexpr double kMollweideInvY = 0.7071067811865475;

// Solved for d = pi - 2|theta|, the angle from the pole, in which the
// equation reads d - sin d = pi (1 - sin|phi|): well conditioned at the
// poles, where the original equation has a triple root. The start inverts
// d - sin d = d^3/6 (1 - d^2/20) to second order (within 0.17 of the root,
// at the equator); two Halley rounds, with the curvature sin d the half-angle
// sine and cosine give for free, bring it within 5e-12, and one Newton round
// in the form the bracketed solver ends with puts it at the root to rounding.
// Goode's homolosine and Mollweide call it for every point, and the bracketed
// solver took six Newton rounds of two sines each from the cruder start.
constexpr int kMollweideHalleyRounds = 2;

double MollweideTheta(double phi) {
    const double r = kPi * OneMinusSinAbs(phi);
    if (r <= 0.0) return SignOf(phi) * kHalfPi;
    const double c = std::cbrt(6.0 * r);
    double d = std::min(c * (1.0 + c * c / 60.0), kPi);
    for (int i = 0; i < kMollweideHalleyRounds; ++i) {
        const double h = std::sin(d / 2.0), k = std::cos(d / 2.0);
        const double f = d - 2.0 * h * k - r, df = 2.0 * h * h, ddf = 2.0 * h * k;
        d -= f / df / (1.0 - f * ddf / (2.0 * df * df));
    }
    const double h = std::sin(d / 2.0);
    d -= (d - std::sin(d) - r) / (2.0 * h * h);
    if (!(d >= 0.0 && d <= kPi)) {
        // Not met on any latitude; the bracketed solver is the safe way back.
        auto f = [r](double x, double& dfx) {
            const double hx = std::sin(x / 2.0);
            dfx = 2.0 * hx * hx; // 1 - cos x
            return x - std::sin(x) - r;
        };
        d = SolveIncreasing(f, c < kPi ? c : kPi, 0.0, kPi);
    }
    return SignOf(phi) * (kPi - d) / 2.0;
}

// ---- Eckert IV: theta + sin theta cos theta + 2 sin theta = (2 + pi/2) sin phi ----
constexpr double kEckertIVX = 0.4222382003157712; // 2 / sqrt(pi (4 + pi))
constexpr double kEckertIVY = 1.3265004281770023; // 2 sqrt(pi / (4 + pi))
constexpr double kEckertIVInvY = 0.7538633073600218;
constexpr double kEckertIVInvX = 4.736662856426298; // 2 / kEckertIVX
constexpr double kEckertIVC = 3.5707963267948966;   // 2 + pi/2

// Solved for d = pi/2 - |theta|: d - sin 2d / 2 + 4 sin^2(d/2) =
// (2 + pi/2)(1 - sin|phi|), a double root at the pole in the original form.
double EckertIVTheta(double phi) {
    const double r = kEckertIVC * OneMinusSinAbs(phi);
    if (r <= 0.0) return SignOf(phi) * kHalfPi;
    auto f = [r](double d, double& df) {
        const double h = std::sin(d / 2.0), s = std::sin(d);
        df = 2.0 * s * (1.0 + s);
        return d - std::sin(2.0 * d) / 2.0 + 4.0 * h * h - r;
    };
    const double guess = std::sqrt(r); // ~ d^2 near the pole
    const double d = SolveIncreasing(f, guess < kHalfPi ? guess : kHalfPi, 0.0, kHalfPi);
    return SignOf(phi) * (kHalfPi - d);
}

// ---- Eckert V and VI ----
constexpr double kEckertVX = 0.4410127717245515; // 1 / sqrt(2 + pi)
constexpr double kEckertVY = 0.882025543449103;  // 2 / sqrt(2 + pi)
constexpr double kEckertVInvX = 2.267508027238226;
constexpr double kEckertVInvY = 1.133754013619113;
constexpr double kEckertVIC = 2.5707963267948966; // 1 + pi/2

// Eckert VI: theta + sin theta = (1 + pi/2) sin phi; the slope 1 + cos theta
// is at least 1 on [-pi/2, pi/2], so Newton converges from theta = phi.
double EckertVITheta(double phi) {
    const double k = kEckertVIC * std::sin(phi);
    auto f = [k](double t, double& df) {
        df = 1.0 + std::cos(t);
        return t + std::sin(t) - k;
    };
    return SolveIncreasing(f, phi, -kHalfPi, kHalfPi);
}

// ---- Eckert I-III ----
// Eckert I: 2 sqrt(2 / (3 pi)), the factor that gives the map the area of the
// globe. Earlier versions used pi times this value, which made every Eckert I
// coordinate pi times too large.
constexpr double kEckertI = 0.9213177319235613;
constexpr double kEckertIInv = 1.0854018818374016;     // 1 / kEckertI
constexpr double kEckertII_X = 0.4606588659617807;     // 2 / sqrt(6 pi)
constexpr double kEckertII_Y = 1.447202509116535;      // 2 sqrt(pi / 6)
constexpr double kEckertII_InvY = 0.23032943298089034; // 1 / (3 kEckertII_Y)
constexpr double kEckertII_InvX = 2.1708037636748028;
constexpr double kEckertIII_X = 0.4222382003157712; // 2 / sqrt(pi (4 + pi))
constexpr double kEckertIII_Y = 0.8444764006315424; // 4 / sqrt(pi (4 + pi))
constexpr double kEckertIII_InvY = 1.1841657141065745;
constexpr double kEckertIII_InvX = 2.368331428213149; // 1 / kEckertIII_X

// Eckert III's meridians are ellipses reaching the pole line at half the
// equator's length: (1 + sqrt(1 - (2 phi / pi)^2)) is 2 on the equator, 1 at
// the poles. Earlier versions had 3 for the 4 under the root, which drew the
// pole line at three quarters of the equator and the meridians as no ellipse.
inline double EckertIWidth(double phi) {
    return 1.0 - std::fabs(phi) * kOneOverPi;
}
inline double EckertVWidth(double phi) {
    return 1.0 + std::cos(phi);
}

// Pseudo-cylinders with evenly spaced parallels, y = a phi kY, whose
// parallels are width(phi) kX long per radian of longitude (Eckert I, III
// and V): both directions once. The inverse multiplies by 1/kX and 1/kY.
template <class Width> int EvenParallelsForward(CPoint2D& pt, double a, Width width, double kX, double kY) {
    const double dlam = pt.x, phi = pt.y;
    pt.x = a * dlam * width(phi) * kX;
    pt.y = a * phi * kY;
    return 1;
}

template <class Width>
int EvenParallelsInverse(CPoint2D& pt, double a, Width width, double invKX, double invKY) {
    const double phi = SnapToPole(pt.y / a * invKY);
    pt.x = pt.x / a * invKX / width(phi);
    pt.y = phi;
    return 1;
}

inline double EckertIIIWidth(double phi) {
    const double t = phi * kOneOverPi;
    const double w = 1.0 - 4.0 * t * t;
    return 1.0 + std::sqrt(w > 0.0 ? w : 0.0);
}

// ---- Van der Grinten I ----
constexpr double kVdgTolerance = 1e-10;
constexpr double kTwoPiSquared = 19.739208802178716; // 2 pi^2
constexpr double kHalfPiSquared = 4.934802200544679; // pi^2 / 2
constexpr double kTwoOver27 = 0.07407407407407407;
constexpr double kFourPiOverThree = 4.188790204786391;
// The cubic's trigonometric solution loses digits towards the equator and
// the central meridian (a point 0.0001 degrees off the equator came back
// 0.2 degrees away, one 0.5 degrees off it 11 mm away), so the inverse ends
// with Newton steps on the forward. The Jacobian is taken by one-sided
// differences towards the centre of the map (the forward has no points
// beyond the rim), with a step above the forward's rounding noise and far
// below its curvature; the rounds stop once the unit-map residual is under a
// micrometre on the earth, or when a step no longer improves it.
constexpr int kVdgPolishRounds = 6;
constexpr double kVdgJacobianStep = 1e-7;     // radians, 0.6 m on the earth
constexpr double kVdgPolishTolerance = 1e-13; // unit map, 0.6 micrometres on the earth

// ---- Robinson ----
// Lengths of the parallels (X) and their distances from the equator (Y),
// one cubic per 5 degrees of latitude: V(d) = c0 + d (c1 + d (c2 + d c3)),
// d in degrees into the band. c0 is Robinson's published table; the cubics
// are the not-a-knot spline through it over -90..90 degrees (so X is even and
// Y odd at the equator). The 40-degree row is 0.4958: an earlier 0.4968 (the
// misprint its neighbours 0.4340 and 0.5571 expose) put 40 degrees 8.6 km too
// far from the equator and bent the spline from 25 to 55 degrees.
constexpr double kRobinsonX[19][4] = {
    {1.0, -5.67239e-12, -7.15511e-05, 3.11028e-06},
    {0.9986, -0.000482241, -2.4897e-05, -1.33094e-06},
    {0.9954, -0.000831031, -4.4861e-05, -9.86588e-07},
    {0.99, -0.00135363, -5.96598e-05, 3.67749e-06},
    {0.9822, -0.00167442, -4.4975e-06, -5.72394e-06},
    {0.973, -0.00214869, -9.03565e-05, 1.88767e-08},
    {0.96, -0.00305084, -9.00732e-05, 1.64869e-06},
    {0.9427, -0.00382792, -6.53428e-05, -2.61493e-06},
    {0.9216, -0.00467747, -0.000104566, 4.8122e-06},
    {0.8962, -0.00536222, -3.23834e-05, -5.43445e-06},
    {0.8679, -0.00609364, -0.0001139, 3.32521e-06},
    {0.835, -0.00698325, -6.40219e-05, 9.34582e-07},
    {0.7986, -0.00755337, -5.00038e-05, 9.35532e-07},
    {0.7597, -0.00798325, -3.59716e-05, -2.27604e-06},
    {0.7186, -0.00851366, -7.0112e-05, -8.63072e-06},
    {0.6732, -0.00986209, -0.000199572, 1.91978e-05},
    {0.6213, -0.010418, 8.83948e-05, 6.24031e-06},
    {0.5722, -0.00906601, 0.000181999, 6.24033e-06},
    {0.5322, 0.0, 0.0, 0.0},
};
constexpr double kRobinsonY[19][4] = {
    {0.0, 0.0124, 5.1367e-23, -8.45284e-11},
    {0.062, 0.0124, -1.26793e-09, 4.22642e-10},
    {0.124, 0.0124, 5.07171e-09, -1.60604e-09},
    {0.186, 0.0123999, -1.90189e-08, 6.00152e-09},
    {0.248, 0.0124002, 7.10039e-08, -2.24e-08},
    {0.31, 0.0123992, -2.64997e-07, 8.35986e-08},
    {0.372, 0.0124029, 9.88983e-07, -3.11994e-07},
    {0.434, 0.0123893, -3.69093e-06, -4.35621e-07},
    {0.4958, 0.0123198, -1.02252e-05, -3.45523e-07},
    {0.5571, 0.0121916, -1.54081e-05, -5.82288e-07},
    {0.6176, 0.0119938, -2.41424e-05, -5.25327e-07},
    {0.6769, 0.011713, -3.20223e-05, -5.16405e-07},
    {0.7346, 0.0113541, -3.97684e-05, -6.09052e-07},
    {0.7903, 0.0109107, -4.89042e-05, -1.04739e-06},
    {0.8435, 0.0103431, -6.4615e-05, -1.40374e-09},
    {0.8936, 0.00969686, -6.4636e-05, -8.547e-06},
    {0.9394, 0.00840947, -0.000192841, -4.2106e-06},
    {0.9761, 0.00616527, -0.000256, -4.2106e-06},
    {1.0, 0.0, 0.0, 0.0},
};
constexpr int kRobinsonLastBand = 17;
constexpr double kRobinsonBandsPerRadian = 11.459155902616464; // 36 / pi
constexpr double kRobinsonBand = 0.08726646259971647;          // 5 degrees
// A knot's latitude in radians times the bands per radian may round to just
// below the whole band; the knot then read the end of the cubic below it,
// which misses the published value by up to 2 m. Within this fraction of a
// band (5e-12 degrees) a latitude is the knot.
constexpr double kRobinsonKnotRounding = 1e-12;
constexpr double kRobinsonScaleX = 0.8487;
constexpr double kRobinsonScaleY = 1.3523;
constexpr double kRobinsonInvScaleX = 1.1782726522917404;
constexpr double kRobinsonInvScaleY = 0.7394808844191377;
constexpr double kRobinsonPoleLength = 0.5322; // X at the pole
constexpr double kRobinsonNewtonTolerance = 1e-10;
constexpr int kRobinsonNewtonRounds = 50;
// Inverse longitudes this close to +-pi are the map's edge meridian itself.
constexpr double kRobinsonEdge = 0.001;

inline double RobinsonV(const double c[4], double d) {
    return c[0] + d * (c[1] + d * (c[2] + d * c[3]));
}
inline double RobinsonSlope(const double c[4], double d) {
    return c[1] + d * (2.0 * c[2] + 3.0 * c[3] * d);
}

// ---- loximuthal ----
constexpr double kLoximuthalFlat = 1e-7;

// psi(phi) - psi(phi1), psi = ln tan(pi/4 + phi/2) the isometric latitude,
// as ln(1 + (tan A - tan B) / tan B) with tan A - tan B = sin(A - B) /
// (cos A cos B): the difference of the two logarithms cancels near the
// central parallel and left millimetres to centimetres of error in x.
inline double IsometricDifference(double phi, double phi1) {
    const double A = kQuarterPi + phi / 2.0, B = kQuarterPi + phi1 / 2.0;
    return std::log1p(std::sin((phi - phi1) / 2.0) / (std::cos(A) * std::sin(B)));
}
} // namespace

// ---------------------------------------------------------------------------
// Sinusoidal on the ellipsoid (43008): true meridian arc for y, true parallel
// lengths for x.
// ---------------------------------------------------------------------------
int CZrPJOperator::Sinusoidal_Forward(CPoint2D& pt) const {
    const double dlam = pt.x, phi = pt.y;
    const double s = std::sin(phi), c = std::cos(phi);
    pt.y = m_def.a * MeridianLength(phi, s, c); // from the equator
    pt.x = m_def.a * dlam * c / W(m_ell.es, s);
    return 1;
}

int CZrPJOperator::Sinusoidal_Inverse(CPoint2D& pt) const {
    const double x = pt.x / m_def.a;
    const double phi = SnapToPole(MeridianLengthInverse(pt.y / m_def.a));
    const double c = std::cos(phi);
    if (CZrOperator::Is0(c)) {
        pt.x = 0.0; // at a pole every longitude is the same point
    } else {
        const double s = std::sin(phi);
        pt.x = W(m_ell.es, s) * x / c;
    }
    pt.y = phi;
    return 1;
}

// ---------------------------------------------------------------------------
// Sanson (43040): the sinusoidal on the sphere of radius a.
// ---------------------------------------------------------------------------
int CZrPJOperator::Sanson_Forward(CPoint2D& pt) const {
    const double dlam = pt.x, phi = pt.y;
    pt.x = m_def.a * dlam * std::cos(phi);
    pt.y = m_def.a * phi;
    return 1;
}

// The equator is an ordinary line of this map (phi = 0, lambda = x / a); only
// the poles, where the parallel shrinks to a point, need care. Beyond the
// poles there is no map.
int CZrPJOperator::Sanson_Inverse(CPoint2D& pt) const {
    const double phi = pt.y / m_def.a;
    if (std::fabs(phi) - kHalfPi > CZrOperator::kZeroTolerance) return 0;
    const double c = std::cos(phi);
    if (CZrOperator::Is0(c)) { // a pole: one point, whatever x
        pt.x = 0.0;
        pt.y = phi > 0.0 ? kHalfPi : -kHalfPi;
        return 1;
    }
    pt.x = pt.x / (m_def.a * c);
    pt.y = phi;
    return 1;
}

// ---------------------------------------------------------------------------
// Mollweide (43009): equal-area, elliptical meridians; the auxiliary angle
// theta solves 2 theta + sin 2 theta = pi sin phi.
// ---------------------------------------------------------------------------
int CZrPJOperator::Mollweide_Forward(CPoint2D& pt) const {
    const double dlam = pt.x;
    const double theta = MollweideTheta(pt.y);
    pt.x = m_def.a * dlam * std::cos(theta) * kMollweideX;
    pt.y = m_def.a * std::sin(theta) * kMollweideY;
    return 1;
}

int CZrPJOperator::Mollweide_Inverse(CPoint2D& pt) const {
    const double theta = std::asin(ClampUnit(pt.y / m_def.a * kMollweideInvY));
    const double phi = std::asin(ClampUnit((2.0 * theta + std::sin(2.0 * theta)) / kPi));
    pt.x = pt.x * kMollweideInvX / (m_def.a * std::cos(theta));
    pt.y = phi;
    return 1;
}

// ---------------------------------------------------------------------------
// Eckert I (43015): straight meridians broken at the equator.
// ---------------------------------------------------------------------------
int CZrPJOperator::EckertI_Forward(CPoint2D& pt) const {
    return EvenParallelsForward(pt, m_def.a, EckertIWidth, kEckertI, kEckertI);
}

int CZrPJOperator::EckertI_Inverse(CPoint2D& pt) const {
    return EvenParallelsInverse(pt, m_def.a, EckertIWidth, kEckertIInv, kEckertIInv);
}

// ---------------------------------------------------------------------------
// Eckert II (43014): equal-area, straight meridians broken at the equator.
// ---------------------------------------------------------------------------
int CZrPJOperator::EckertII_Forward(CPoint2D& pt) const {
    const double dlam = pt.x, phi = pt.y;
    const double b = std::sqrt(4.0 - 3.0 * std::sin(std::fabs(phi)));
    pt.x = m_def.a * dlam * b * kEckertII_X;
    const double y = m_def.a * (2.0 - b) * kEckertII_Y;
    pt.y = phi > 0.0 ? y : -y;
    return 1;
}

int CZrPJOperator::EckertII_Inverse(CPoint2D& pt) const {
    const double y = pt.y;
    const double b = 2.0 - std::fabs(y) * 3.0 / m_def.a * kEckertII_InvY;
    const double phi = std::asin(ClampUnit((4.0 - b * b) * 0.3333333333333333));
    pt.x = pt.x * kEckertII_InvX / b / m_def.a;
    pt.y = y > 0.0 ? phi : -phi;
    return 1;
}

// ---------------------------------------------------------------------------
// Eckert III (43013): elliptical meridians, pole line half the equator.
// ---------------------------------------------------------------------------
int CZrPJOperator::EckertIII_Forward(CPoint2D& pt) const {
    return EvenParallelsForward(pt, m_def.a, EckertIIIWidth, kEckertIII_X, kEckertIII_Y);
}

int CZrPJOperator::EckertIII_Inverse(CPoint2D& pt) const {
    return EvenParallelsInverse(pt, m_def.a, EckertIIIWidth, kEckertIII_InvX, kEckertIII_InvY);
}

// ---------------------------------------------------------------------------
// Eckert IV (43012): equal-area, elliptical meridians; the auxiliary angle
// solves theta + sin theta cos theta + 2 sin theta = (2 + pi/2) sin phi.
// ---------------------------------------------------------------------------
int CZrPJOperator::EckertIV_Forward(CPoint2D& pt) const {
    const double dlam = pt.x;
    const double theta = EckertIVTheta(pt.y);
    pt.x = m_def.a * dlam * (1.0 + std::cos(theta)) * kEckertIVX;
    pt.y = m_def.a * std::sin(theta) * kEckertIVY;
    return 1;
}

int CZrPJOperator::EckertIV_Inverse(CPoint2D& pt) const {
    const double s = ClampUnit(pt.y / m_def.a * kEckertIVInvY);
    const double theta = std::asin(s);
    const double c = std::cos(theta);
    const double phi = std::asin(ClampUnit((theta + s * c + 2.0 * s) / kEckertIVC));
    pt.x = pt.x / m_def.a * 0.5 / (1.0 + c) * kEckertIVInvX;
    pt.y = phi;
    return 1;
}

// ---------------------------------------------------------------------------
// Eckert V (43011): sinusoidal meridians, pole line half the equator.
// ---------------------------------------------------------------------------
int CZrPJOperator::EckertV_Forward(CPoint2D& pt) const {
    return EvenParallelsForward(pt, m_def.a, EckertVWidth, kEckertVX, kEckertVY);
}

int CZrPJOperator::EckertV_Inverse(CPoint2D& pt) const {
    return EvenParallelsInverse(pt, m_def.a, EckertVWidth, kEckertVInvX, kEckertVInvY);
}

// ---------------------------------------------------------------------------
// Eckert VI (43010): the equal-area companion of Eckert V; same frame, with
// the auxiliary angle of theta + sin theta = (1 + pi/2) sin phi.
// ---------------------------------------------------------------------------
int CZrPJOperator::EckertVI_Forward(CPoint2D& pt) const {
    const double dlam = pt.x;
    const double theta = EckertVITheta(pt.y);
    pt.x = m_def.a * dlam * (1.0 + std::cos(theta)) * kEckertVX;
    pt.y = m_def.a * theta * kEckertVY;
    return 1;
}

int CZrPJOperator::EckertVI_Inverse(CPoint2D& pt) const {
    const double theta = pt.y / m_def.a * kEckertVInvY;
    const double phi = std::asin(ClampUnit((theta + std::sin(theta)) / kEckertVIC));
    pt.x = pt.x * kEckertVInvX / m_def.a / (1.0 + std::cos(theta));
    pt.y = phi;
    return 1;
}

// ---------------------------------------------------------------------------
// Winkel I (43018): the mean of the equirectangular (true scale on phi1) and
// the sinusoidal.
// ---------------------------------------------------------------------------
int CZrPJOperator::WinkelI_Forward(CPoint2D& pt) const {
    const double dlam = pt.x, phi = pt.y;
    pt.x = m_def.a * dlam * (std::cos(m_def.phi1) + std::cos(phi)) / 2.0;
    pt.y = m_def.a * phi;
    return 1;
}

int CZrPJOperator::WinkelI_Inverse(CPoint2D& pt) const {
    const double phi = SnapToPole(pt.y / m_def.a);
    pt.x = 2.0 * pt.x / (m_def.a * (std::cos(m_def.phi1) + std::cos(phi)));
    pt.y = phi;
    return 1;
}

// ---------------------------------------------------------------------------
// Winkel II (43019), in the form this library has always computed: x as
// Winkel I, y = a (pi/4 sin phi + phi1/2). Winkel's published II takes the
// Mollweide auxiliary angle instead; the figures are kept for compatibility.
// ---------------------------------------------------------------------------
int CZrPJOperator::WinkelII_Forward(CPoint2D& pt) const {
    const double dlam = pt.x, phi = pt.y;
    pt.x = m_def.a * dlam * (std::cos(m_def.phi1) + std::cos(phi)) / 2.0;
    pt.y = m_def.a * (std::sin(phi) + m_def.phi1 * kTwoOverPi) * kQuarterPi;
    return 1;
}

int CZrPJOperator::WinkelII_Inverse(CPoint2D& pt) const {
    const double phi = std::asin(ClampUnit(pt.y * 1.2732395447351628 / m_def.a - m_def.phi1 * kTwoOverPi));
    pt.x = 2.0 * pt.x / (m_def.a * (std::cos(phi) + std::cos(m_def.phi1)));
    pt.y = phi;
    return 1;
}

// ---------------------------------------------------------------------------
// Van der Grinten I (43029): the whole globe in a disc of radius pi a.
// ---------------------------------------------------------------------------
int CZrPJOperator::Van_Der_Grinten_I_Forward(CPoint2D& pt) const {
    const double dlam = pt.x, phi = pt.y;
    double p = std::fabs(phi) * kTwoOverPi;
    if (p - kVdgTolerance > 1.0) return 0;
    if (p > 1.0) p = 1.0;
    if (std::fabs(phi) <= kVdgTolerance) { // equator: true length
        pt.x = m_def.a * dlam;
        pt.y = 0.0;
        return 1;
    }
    if (std::fabs(dlam) <= kVdgTolerance || std::fabs(p - 1.0) < kVdgTolerance) { // central meridian, poles
        pt.x = 0.0;
        const double y = m_def.a * kPi * std::tan(std::asin(p) / 2.0);
        pt.y = phi < 0.0 ? -y : y;
        return 1;
    }
    const double al = std::fabs(kPi / dlam - dlam * kOneOverPi) / 2.0;
    const double al2 = al * al;
    const double root = std::sqrt(1.0 - p * p);
    const double g = root / (p + root - 1.0);
    const double gp = g * (2.0 / p - 1.0);
    const double q = gp * gp;
    const double gq = g - q;
    double X = kPi * (al * gq + std::sqrt(al2 * gq * gq - (al2 + q) * (g * g - q))) / (al2 + q);
    if (dlam < 0.0) X = -X;
    // Northing from the other circle of the construction, pi (P Q - A S) /
    // (P^2 + A^2) with P = gp, Q = A^2 + g and S^2 = (A^2 + 1)(P^2 + A^2) - Q^2,
    // written as pi (A^2 (2g - 1) + g^2) / (P Q + A S): both forms agree, but
    // the difference cancels near the equator, and so did the form
    // sqrt(1 - t (t + 2A)) taken from the meridian's circle before, which
    // put a point 0.0001 degrees north of the equator 22 m off.
    const double Q = al2 + g;
    const double S2 = q * (al2 + 1.0) + al2 * (1.0 - 2.0 * g) - g * g;
    const double den = gp * Q + al * std::sqrt(S2 > 0.0 ? S2 : 0.0);
    const double y = m_def.a * kPi * (al2 * (2.0 * g - 1.0) + g * g) / den;
    if (!(y >= -kVdgTolerance)) return 0;
    pt.x = m_def.a * X;
    pt.y = phi < 0.0 ? -y : y;
    return 1;
}

int CZrPJOperator::Van_Der_Grinten_I_Inverse(CPoint2D& pt) const {
    const double x = pt.x / m_def.a, y = pt.y / m_def.a;
    const double x2 = x * x;
    if (std::fabs(y) < kVdgTolerance) { // equator
        if (x2 > kPiSquared * (1.0 + kVdgTolerance)) return 0;
        pt.y = 0.0;
        pt.x =
            std::fabs(x) <= kVdgTolerance
                ? 0.0
                : (x2 - kPiSquared + std::sqrt(x2 * x2 + kTwoPiSquared * (x2 + kHalfPiSquared))) / (2.0 * x);
        return 1;
    }
    // The map is the disc of radius pi a, rimmed by the meridian opposite the
    // central one; the cubic below has roots outside it too, which would be
    // taken for points of the globe.
    const double y2 = y * y, ay = std::fabs(y);
    const double r = x2 + y2, r2 = r * r;
    if (r > kPiSquared * (1.0 + kVdgTolerance)) return 0;
    // Latitude: the root of a cubic, by the trigonometric solution.
    const double c1 = -kPi * ay * (r + kPiSquared);
    const double c3 = r2 + 2.0 * kPi * (ay * r + kPi * (y2 + kPi * (ay + kHalfPi)));
    const double c2 = (c1 + kPiSquared * (r - 3.0 * y2)) / c3;
    const double c0 = kPi * ay;
    const double al = c1 / c3 - c2 * c2 / 3.0;
    const double m = 2.0 * std::sqrt(-al / 3.0);
    const double d = 3.0 * (kTwoOver27 * c2 * c2 * c2 + (c0 * c0 - c2 * c1 / 3.0) / c3) / (al * m);
    if (std::fabs(d) - kVdgTolerance > 1.0) return 0; // outside the disc
    const double delta = std::fabs(d) > 1.0 ? (d > 0.0 ? 0.0 : kPi) : std::acos(d);
    const double phi = SnapToPole(kPi * (m * std::cos(delta / 3.0 + kFourPiOverThree) - c2 / 3.0));
    const double t = r2 + kTwoPiSquared * (x2 - y2 + kHalfPiSquared);
    double lam =
        std::fabs(x) <= kVdgTolerance ? 0.0 : (r - kPiSquared + (t > 0.0 ? std::sqrt(t) : 0.0)) / (2.0 * x);
    double lat = y < 0.0 ? -phi : phi;
    PolishVanDerGrinten(x, y, lam, lat);
    pt.x = lam;
    pt.y = lat;
    return 1;
}

// Newton steps taking (lam, phi) onto the preimage of the unit-map point
// (x, y); keeps the best point met, so a step that fails or overshoots at the
// rim costs nothing.
void CZrPJOperator::PolishVanDerGrinten(double x, double y, double& lam, double& phi) const {
    const double invA = 1.0 / m_def.a;
    auto image = [&](double l, double p, CPoint2D& out) {
        out = CPoint2D(l, p);
        if (!Van_Der_Grinten_I_Forward(out)) return false;
        out.x *= invA;
        out.y *= invA;
        return std::isfinite(out.x) && std::isfinite(out.y);
    };
    CPoint2D f;
    if (!image(lam, phi, f)) return;
    double best = std::hypot(x - f.x, y - f.y);
    for (int i = 0; i < kVdgPolishRounds && best > kVdgPolishTolerance; ++i) {
        const double hl = lam > 0.0 ? -kVdgJacobianStep : kVdgJacobianStep;
        const double hp = phi > 0.0 ? -kVdgJacobianStep : kVdgJacobianStep;
        CPoint2D fl, fp;
        if (!image(lam + hl, phi, fl) || !image(lam, phi + hp, fp)) return;
        const double a = (fl.x - f.x) / hl, b = (fp.x - f.x) / hp;
        const double c = (fl.y - f.y) / hl, d = (fp.y - f.y) / hp;
        const double det = a * d - b * c;
        if (!(std::fabs(det) > 0.0)) return;
        const double rx = x - f.x, ry = y - f.y;
        const double nextLam = Clamp(lam + (d * rx - b * ry) / det, -kPi, kPi);
        const double nextPhi = Clamp(phi + (a * ry - c * rx) / det, -kHalfPi, kHalfPi);
        CPoint2D g;
        if (!image(nextLam, nextPhi, g)) return;
        const double residual = std::hypot(x - g.x, y - g.y);
        if (!(residual < best)) return;
        best = residual;
        lam = nextLam;
        phi = nextPhi;
        f = g;
    }
}

// ---------------------------------------------------------------------------
// Robinson (43030): parallels' lengths and spacings interpolated from the
// published table, by a cubic per 5-degree band.
// ---------------------------------------------------------------------------
int CZrPJOperator::Robinson_Forward(CPoint2D& pt) const {
    const double dlam = pt.x, phi = pt.y;
    const double aphi = std::fabs(phi);
    int i = static_cast<int>(std::floor(aphi * kRobinsonBandsPerRadian + kRobinsonKnotRounding));
    if (i > kRobinsonLastBand) i = kRobinsonLastBand;
    const double d = (aphi - i * kRobinsonBand) * CZrPJMath::kRadToDeg;
    pt.x = m_def.a * dlam * RobinsonV(kRobinsonX[i], d) * kRobinsonScaleX;
    const double y = m_def.a * RobinsonV(kRobinsonY[i], d) * kRobinsonScaleY;
    pt.y = phi > 0.0 ? y : -y;
    return 1;
}

int CZrPJOperator::Robinson_Inverse(CPoint2D& pt) const {
    const double y = pt.y;
    const double xr = pt.x / m_def.a * kRobinsonInvScaleX;
    const double s = std::fabs(y / m_def.a * kRobinsonInvScaleY);
    double phi, lamr;
    if (!(s < 1.0)) { // the pole line (and NaN, which stays NaN)
        phi = y >= 0.0 ? kHalfPi : -kHalfPi;
        lamr = xr / kRobinsonPoleLength;
    } else {
        int i = static_cast<int>(std::floor(18.0 * s));
        if (i > kRobinsonLastBand) i = kRobinsonLastBand;
        while (i > 0 && kRobinsonY[i][0] > s)
            --i;
        while (i < kRobinsonLastBand && kRobinsonY[i + 1][0] <= s)
            ++i;
        const double* band = kRobinsonY[i];
        double t = 5.0 * (s - band[0]) / (kRobinsonY[i + 1][0] - band[0]);
        for (int k = 0; k < kRobinsonNewtonRounds; ++k) {
            const double step = (RobinsonV(band, t) - s) / RobinsonSlope(band, t);
            t -= step;
            if (!(std::fabs(step) >= kRobinsonNewtonTolerance)) break; // converged (or NaN)
        }
        phi = (5.0 * i + t) * CZrPJMath::kDegToRad;
        if (y < 0.0) phi = -phi;
        lamr = xr / RobinsonV(kRobinsonX[i], t);
    }
    if (std::fabs(lamr - kPi) < kRobinsonEdge) lamr = kPi;
    if (std::fabs(lamr + kPi) < kRobinsonEdge) lamr = -kPi;
    pt.x = lamr;
    pt.y = phi;
    return 1;
}

// ---------------------------------------------------------------------------
// Loximuthal (43023): loxodromes from the centre (lambda0, phi1) are straight
// and true to length. x = a dlam dphi / dpsi, psi the isometric latitude.
// ---------------------------------------------------------------------------
int CZrPJOperator::Loximuthal_Forward(CPoint2D& pt) const {
    const double dlam = pt.x, phi = pt.y;
    const double dphi = phi - m_def.phi1;
    if (std::fabs(phi) >= kHalfPi) {
        // The pole is at infinite isometric latitude: the loxodromes spiral
        // into it and it is the single point on the central meridian. (tan of
        // the rounded pi/2 is finite and would scatter the pole along a line.)
        pt.x = 0.0;
    } else if (std::fabs(dphi) >= kLoximuthalFlat) {
        pt.x = m_def.a * dlam * dphi / IsometricDifference(phi, m_def.phi1);
    } else {
        // dphi / dpsi tends to cos(phi) on the central parallel; the mean
        // latitude keeps the band continuous with the general formula.
        pt.x = m_def.a * dlam * std::cos(m_def.phi1 + dphi / 2.0);
    }
    pt.y = m_def.a * dphi;
    return 1;
}

int CZrPJOperator::Loximuthal_Inverse(CPoint2D& pt) const {
    const double x = pt.x / m_def.a, y = pt.y / m_def.a;
    const double phi = SnapToPole(y + m_def.phi1);
    if (std::fabs(phi) >= kHalfPi) // a pole, the one point where x = 0
        pt.x = 0.0;
    else if (std::fabs(phi - m_def.phi1) >= kLoximuthalFlat)
        pt.x = IsometricDifference(phi, m_def.phi1) * x / y;
    else
        pt.x = x / std::cos(m_def.phi1 + y / 2.0);
    pt.y = phi;
    return 1;
}

// ---------------------------------------------------------------------------
// Quartic authalic (43022): equal-area, quartic meridians.
// ---------------------------------------------------------------------------
int CZrPJOperator::Quartic_Authalic_Forward(CPoint2D& pt) const {
    const double dlam = pt.x, phi = pt.y;
    pt.x = m_def.a * dlam * std::cos(phi) / std::cos(phi / 2.0);
    pt.y = 2.0 * m_def.a * std::sin(phi / 2.0);
    return 1;
}

int CZrPJOperator::Quartic_Authalic_Inverse(CPoint2D& pt) const {
    const double phi = 2.0 * std::asin(pt.y / (2.0 * m_def.a));
    pt.x = pt.x / (m_def.a * std::cos(phi)) * std::cos(phi / 2.0);
    pt.y = phi;
    return 1;
}
