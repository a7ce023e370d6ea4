// Azimuthal kinds on the sphere: stereographic, Lambert equal-area, azimuthal
// equidistant, orthographic, gnomonic and two-point equidistant.
//
// The stereographic and orthographic use the sphere of radius a; the
// equal-area, equidistant and gnomonic kinds use Rq, the radius of the sphere
// of equal surface, so that the equal-area kind keeps the ellipsoid's area.
//
// The forward routines take the distance and the direction from the centre
// straight from the spherical triangle (cos z and its two transverse
// components) rather than through acos and an azimuth: the two are the same
// in exact arithmetic, but acos loses half the digits near the centre
// (centimetres within metres of it), and a separately rounded azimuth put
// points within 1e-7 rad of the central meridian on the meridian itself.
#include "projection/ZrPJOperator.h"

#include "projection/ZrPJKernels_p.h"

#include "geodesy/ZrPJMath.h"

#include <cmath>
#include <limits>

using namespace zrpj;

namespace {

// A centre latitude this close to a pole or to the equator selects that aspect.
constexpr double kAspectTolerance = 1e-10;
// The gnomonic inverse chooses its polar cases more loosely.
constexpr double kGnomonicPolarTolerance = 1e-7;
// Gnomonic horizon: at 90 degrees from the centre the image is at infinity;
// points with cos z at or below this are refused.
constexpr double kGnomonicHorizon = 1e-7;
// Equal-area denominators (1 + cos z) below this are the antipode of the centre.
constexpr double kAntipode = 1e-10;
// Inverse radii below this (metres) are the centre itself.
constexpr double kCentreRadius = 1e-10;
// Far side of the orthographic globe: points more than this below the
// horizon (cos z) are hidden and have no image.
constexpr double kOrthographicHorizon = 1e-10;

enum class Aspect { NorthPolar, SouthPolar, Equatorial, Oblique };

Aspect AspectOf(double phi0, double tolerance) {
    if (std::fabs(phi0 - kHalfPi) < tolerance) return Aspect::NorthPolar;
    if (std::fabs(phi0 + kHalfPi) < tolerance) return Aspect::SouthPolar;
    if (std::fabs(phi0) < tolerance) return Aspect::Equatorial;
    return Aspect::Oblique;
}

// The spherical triangle between the centre (phi0) and a point (phi, dlam):
// cos z and the east and north components of sin z in the direction of the
// point, so that sin z sin A = east and sin z cos A = north.
struct CentreTriangle {
    double cosz;
    double east;
    double north;
};

CentreTriangle Triangle(double sinphi0, double cosphi0, double phi, double dlam) {
    const double sinphi = std::sin(phi), cosphi = std::cos(phi);
    const double cosdlam = std::cos(dlam);
    CentreTriangle t;
    t.cosz = sinphi0 * sinphi + cosphi0 * cosphi * cosdlam;
    t.east = cosphi * std::sin(dlam);
    t.north = cosphi0 * sinphi - sinphi0 * cosphi * cosdlam;
    return t;
}

// The planar point at k sin z from the centre along the azimuth of the
// triangle: its east and north components scaled by k.
int AlongAzimuth(const CentreTriangle& t, double k, CPoint2D& pt) {
    pt.x = k * t.east;
    pt.y = k * t.north;
    return 1;
}

// The point at angular distance z (given by its sine and cosine) from the
// centre in the direction of the planar point pt, whose coordinates are the
// east and north components up to the common positive factor rho. Writes
// (lambda - lambda0, phi) into pt. The latitude comes from a two-argument
// arctangent of its sine and cosine: asin of the sine alone leaves about
// 1e-8 rad to rounding near the poles.
int FromCentre(double sinphi0, double cosphi0, double sinz, double cosz, double rho, CPoint2D& pt) {
    const double sinA = pt.x / rho, cosA = pt.y / rho;
    const double sinphi = cosz * sinphi0 + sinz * cosphi0 * cosA;
    const double cosphiSin = sinz * sinA;                            // cos phi sin(dlam)
    const double cosphiCos = cosz * cosphi0 - sinz * sinphi0 * cosA; // cos phi cos(dlam)
    pt.y = std::atan2(sinphi, std::hypot(cosphiSin, cosphiCos));
    pt.x = std::atan2(cosphiSin, cosphiCos);
    return 1;
}
} // namespace

// ---------------------------------------------------------------------------
// Stereographic (43034), on the sphere of radius a.
// ---------------------------------------------------------------------------
int CZrPJOperator::Conformal_Azimuth_Forward(CPoint2D& pt) const {
    const double dlam = pt.x, phi = pt.y;
    const double twoA = 2.0 * m_def.a;
    switch (AspectOf(m_def.phi0, kAspectTolerance)) {
    case Aspect::NorthPolar: {
        const double t = std::tan(kQuarterPi - phi / 2.0);
        pt.x = twoA * t * std::sin(dlam);
        pt.y = -twoA * t * std::cos(dlam);
        return 1;
    }
    case Aspect::SouthPolar: {
        const double t = std::tan(kQuarterPi + phi / 2.0);
        pt.x = twoA * t * std::sin(dlam);
        pt.y = twoA * t * std::cos(dlam);
        return 1;
    }
    default: {
        CentreTriangle t = Triangle(std::sin(m_def.phi0), std::cos(m_def.phi0), phi, dlam);
        if (!ClampCosine(t.cosz)) return 0;
        // rho = 2a tan(z/2) = 2a sin z / (1 + cos z), along the azimuth.
        return AlongAzimuth(t, twoA / (1.0 + t.cosz), pt);
    }
    }
}

// The azimuth is a two-argument arctangent of (x, y), so every point of the
// plane, y <= 0 included, comes back to the point it was projected from.
int CZrPJOperator::Conformal_Azimuth_Inverse(CPoint2D& pt) const {
    const double x = pt.x, y = pt.y;
    const double rho = hypot(x, y);
    const double twoA = 2.0 * m_def.a;
    switch (AspectOf(m_def.phi0, kAspectTolerance)) {
    case Aspect::NorthPolar:
        pt.x = std::atan2(x, -y);
        pt.y = kHalfPi - 2.0 * std::atan2(rho, twoA);
        return 1;
    case Aspect::SouthPolar:
        // Measured from the south pole directly, so that the pole itself
        // (rho = 0) comes back as -90 degrees.
        pt.x = std::atan2(x, y);
        pt.y = 2.0 * std::atan2(rho, twoA) - kHalfPi;
        return 1;
    default: {
        const double z = 2.0 * std::atan(rho / twoA);
        if (rho < kCentreRadius) {
            pt.x = 0.0;
            pt.y = m_def.phi0;
            return 1;
        }
        return FromCentre(std::sin(m_def.phi0), std::cos(m_def.phi0), std::sin(z), std::cos(z), rho, pt);
    }
    }
}

// ---------------------------------------------------------------------------
// Lambert azimuthal equal-area (43033), on the sphere of radius Rq.
// ---------------------------------------------------------------------------
int CZrPJOperator::EqualArea_Azimuth_Forward(CPoint2D& pt) const {
    const double dlam = pt.x, phi = pt.y;
    const double R = m_ser.Rq;
    switch (AspectOf(m_def.phi0, kAspectTolerance)) {
    case Aspect::NorthPolar: {
        const double h = std::sin(kQuarterPi - phi / 2.0);
        pt.x = 2.0 * R * h * std::sin(dlam);
        pt.y = -2.0 * R * h * std::cos(dlam);
        return 1;
    }
    case Aspect::SouthPolar: {
        const double h = std::sin(kQuarterPi + phi / 2.0);
        pt.x = 2.0 * R * h * std::sin(dlam);
        pt.y = 2.0 * R * h * std::cos(dlam);
        return 1;
    }
    case Aspect::Equatorial: {
        const double cosphi = std::cos(phi);
        const double l = cosphi * std::cos(dlam) + 1.0;
        if (std::fabs(l) < kAntipode) return 0;
        const double k = R * std::sqrt(2.0 / l);
        pt.x = k * cosphi * std::sin(dlam);
        pt.y = k * std::sin(phi);
        return 1;
    }
    case Aspect::Oblique:
    default: {
        const CentreTriangle t = Triangle(std::sin(m_def.phi0), std::cos(m_def.phi0), phi, dlam);
        const double l = t.cosz + 1.0;
        if (std::fabs(l) < kAntipode) return 0;
        const double w = std::sqrt(2.0 / l);
        return AlongAzimuth(t, R * w, pt);
    }
    }
}

int CZrPJOperator::EqualArea_Azimuth_Inverse(CPoint2D& pt) const {
    const double x = pt.x, y = pt.y;
    const double R = m_ser.Rq;
    const double rho = hypot(x, y);
    const double h = rho / 2.0;
    // The polar and equatorial aspects take points beyond the bounding
    // circle (radius 2R) to the circle, the antipode of the centre.
    const double hr = h / R < 1.0 ? h / R : 1.0;
    switch (AspectOf(m_def.phi0, kAspectTolerance)) {
    case Aspect::NorthPolar:
        pt.x = std::atan2(x, -y);
        pt.y = kHalfPi - 2.0 * std::asin(hr);
        return 1;
    case Aspect::SouthPolar:
        pt.x = std::atan2(x, y);
        pt.y = 2.0 * std::asin(hr) - kHalfPi;
        return 1;
    case Aspect::Equatorial: {
        if (std::fabs(rho) < kCentreRadius) {
            pt.x = 0.0;
            pt.y = 0.0;
            return 1;
        }
        const double z = 2.0 * std::asin(hr);
        return FromCentre(0.0, 1.0, std::sin(z), std::cos(z), rho, pt);
    }
    case Aspect::Oblique:
    default: {
        if (std::fabs(rho) < kCentreRadius) {
            pt.x = 0.0;
            pt.y = m_def.phi0;
            return 1;
        }
        // Beyond 2R asin has no value and the point no image: NaN, refused
        // by the frame.
        const double z = 2.0 * std::asin(h / R);
        return FromCentre(std::sin(m_def.phi0), std::cos(m_def.phi0), std::sin(z), std::cos(z), rho, pt);
    }
    }
}

// ---------------------------------------------------------------------------
// Azimuthal equidistant (43032), on the sphere of radius Rq. Besides the
// polar and equatorial aspects it projects every other centre latitude with
// the general (oblique) formula instead of handing the point back unprojected.
// ---------------------------------------------------------------------------
int CZrPJOperator::Equidistant_Azimuth_Forward(CPoint2D& pt) const {
    const double dlam = pt.x, phi = pt.y;
    const double R = m_ser.Rq;
    const Aspect aspect = AspectOf(m_def.phi0, kAspectTolerance);
    if (aspect == Aspect::NorthPolar || aspect == Aspect::SouthPolar) {
        const double sign = aspect == Aspect::NorthPolar ? 1.0 : -1.0;
        const double rho = R * (kHalfPi - sign * phi); // colatitude from the pole of the centre
        pt.x = rho * std::sin(dlam);
        pt.y = -sign * rho * std::cos(dlam);
        return 1;
    }
    const double sinphi0 = aspect == Aspect::Equatorial ? 0.0 : std::sin(m_def.phi0);
    const double cosphi0 = aspect == Aspect::Equatorial ? 1.0 : std::cos(m_def.phi0);
    const CentreTriangle t = Triangle(sinphi0, cosphi0, phi, dlam);
    const double sinz = std::sqrt(t.east * t.east + t.north * t.north);
    const double z = std::atan2(sinz, t.cosz);
    // k = z / sin z, 1 at the centre.
    return AlongAzimuth(t, sinz > 0.0 ? R * z / sinz : R, pt);
}

int CZrPJOperator::Equidistant_Azimuth_Inverse(CPoint2D& pt) const {
    const double x = pt.x, y = pt.y;
    const double R = m_ser.Rq;
    double rho = hypot(x, y);
    if (rho > R * kPi) rho = R * kPi; // no point is further than the antipode
    const double z = rho / R;
    const Aspect aspect = AspectOf(m_def.phi0, kAspectTolerance);
    if (aspect == Aspect::NorthPolar) {
        pt.x = std::atan2(x, -y);
        pt.y = kHalfPi - z;
        return 1;
    }
    if (aspect == Aspect::SouthPolar) {
        pt.x = std::atan2(x, y);
        pt.y = z - kHalfPi;
        return 1;
    }
    if (std::fabs(rho) < kCentreRadius) {
        pt.x = 0.0;
        pt.y = m_def.phi0;
        return 1;
    }
    const double sinphi0 = aspect == Aspect::Equatorial ? 0.0 : std::sin(m_def.phi0);
    const double cosphi0 = aspect == Aspect::Equatorial ? 1.0 : std::cos(m_def.phi0);
    return FromCentre(sinphi0, cosphi0, std::sin(z), std::cos(z), rho, pt);
}

// ---------------------------------------------------------------------------
// Orthographic (43035), on the sphere of radius a: the view of the globe from
// infinitely far above the centre. Only the hemisphere facing the viewer has
// an image; a point behind the horizon would otherwise land on the image of
// the visible point in front of it.
// ---------------------------------------------------------------------------
int CZrPJOperator::Orthograph_Forward(CPoint2D& pt) const {
    const double dlam = pt.x, phi = pt.y;
    CentreTriangle t = Triangle(std::sin(m_def.phi0), std::cos(m_def.phi0), phi, dlam);
    if (!ClampCosine(t.cosz)) return 0;
    if (t.cosz < -kOrthographicHorizon) return 0;
    return AlongAzimuth(t, m_def.a, pt); // rho = a sin z
}

int CZrPJOperator::Orthograph_Inverse(CPoint2D& pt) const {
    const double x = pt.x, y = pt.y;
    double rho = hypot(x, y);
    if (rho > m_def.a) rho = m_def.a; // beyond the rim: taken on the rim
    if (std::fabs(rho) < kCentreRadius) {
        pt.x = 0.0;
        pt.y = m_def.phi0;
        return 1;
    }
    const double sinz = rho / m_def.a;
    const double cosz = std::sqrt((1.0 - sinz) * (1.0 + sinz));
    return FromCentre(std::sin(m_def.phi0), std::cos(m_def.phi0), sinz, cosz, rho, pt);
}

// ---------------------------------------------------------------------------
// Gnomonic (43036), on the sphere of radius Rq: great circles are straight
// lines; the horizon (90 degrees from the centre) is at infinity.
// ---------------------------------------------------------------------------
int CZrPJOperator::Gnomonic_Forward(CPoint2D& pt) const {
    const double dlam = pt.x, phi = pt.y;
    CentreTriangle t = Triangle(std::sin(m_def.phi0), std::cos(m_def.phi0), phi, dlam);
    if (!ClampCosine(t.cosz)) return 0;
    if (t.cosz <= kGnomonicHorizon) return 0;
    return AlongAzimuth(t, m_ser.Rq / t.cosz, pt);
}

int CZrPJOperator::Gnomonic_Inverse(CPoint2D& pt) const {
    const double x = pt.x, y = pt.y;
    const double R = m_ser.Rq;
    const double dist = std::hypot(x, y);
    const double rho = dist / R; // tan z
    // Only the centre itself is taken as the centre: the formulas below hold
    // for any rho > 0, and a cut-off in tan z would move every point within
    // it (about 0.6 m on the Earth) onto the centre.
    if (rho <= 0.0) {
        pt.x = 0.0;
        pt.y = m_def.phi0;
        return 1;
    }
    const double c = std::atan(rho);
    const Aspect aspect = AspectOf(m_def.phi0, kGnomonicPolarTolerance);
    if (aspect == Aspect::NorthPolar) {
        pt.y = kHalfPi - c;
        pt.x = std::atan2(x, -y);
        return 1;
    }
    if (aspect == Aspect::SouthPolar) {
        pt.y = c - kHalfPi;
        pt.x = std::atan2(x, y);
        return 1;
    }
    const double s = std::sin(c), cc = std::cos(c);
    return FromCentre(std::sin(m_def.phi0), std::cos(m_def.phi0), s, cc, dist, pt);
}

// ---------------------------------------------------------------------------
// Two-point equidistant (43031), on the sphere of radius a: distances from
// either of two points are true. The two points lie on the x axis at
// -a z0/2 and +a z0/2, z0 being their angular distance.
//
// A point at distances z1, z2 from the two points is the apex of the plane
// triangle with sides z0, z1, z2; on the sphere it is the apex of the
// spherical triangle with the same sides. Both directions therefore pass
// through the triangle's half-perimeter differences
//   F1 = z1 + z2 - z0,  F2 = z0 + z1 - z2,  F3 = z0 + z2 - z1,  F4 = z0 + z1 + z2
// and the half-angle formulas. Near the line through the two points one of
// F1..F3 is as small as the square of the distance from the line, and taken
// as a difference of distances it keeps nothing of it (a square root of a
// rounding error: centimetres a few metres off the line). Each is built
// instead from the distances along the line, which are exact there, and the
// excesses of the true distances over them, which are computed as products.
// ---------------------------------------------------------------------------
namespace {

// The half-perimeter differences, from the lengths along the line, for a
// point on the second point's side of the perpendicular bisector (w >= 0
// from the midpoint, along the line's coordinate). dNear and dFar are the
// excesses over the along-line lengths of the distances to the nearer and
// the farther point; the far cases (w beyond the antipode of the farther
// point, pi - h) are those where the line to the farther point wraps round.
struct Sides {
    double f1, f2, f3; // F1 .. F3 above, near = second point
};

Sides HalfPerimeterDifferences(double w, double h, double dNear, double dFar) {
    Sides s;
    if (w <= h) { // between the points
        s.f1 = dFar + dNear;
        s.f2 = 2.0 * (h + w) + dFar - dNear;
        s.f3 = 2.0 * (h - w) + dNear - dFar;
    } else if (w <= kPi - h) { // beyond the nearer point
        s.f1 = 2.0 * (w - h) + dFar + dNear;
        s.f2 = 4.0 * h + dFar - dNear;
        s.f3 = dNear - dFar;
    } else { // beyond the antipode of the farther point
        s.f1 = 2.0 * (kPi - 2.0 * h) + dFar + dNear;
        s.f2 = 2.0 * h + 2.0 * (kPi - w) + dFar - dNear;
        s.f3 = 2.0 * (w - (kPi - h)) + dNear - dFar;
    }
    s.f1 = std::fmax(s.f1, 0.0);
    s.f2 = std::fmax(s.f2, 0.0);
    s.f3 = std::fmax(s.f3, 0.0);
    return s;
}

// Distance z on the unit sphere of a point at distance beta from the line
// whose foot is L along the line from a point on it, and its excess z - L:
// cos z = cos beta cos L gives cos L - cos z = 2 cos L sin^2(beta/2), and
// the difference of cosines is 2 sin((z + L)/2) sin((z - L)/2).
struct Leg {
    double z, excess;
};

Leg SphericalLeg(double sinBeta, double cosBeta, double halfBetaSin2, double L, double sl, double cl) {
    Leg leg;
    const double across = cosBeta * sl;
    leg.z = std::atan2(std::sqrt(sinBeta * sinBeta + across * across), cosBeta * cl);
    const double s = std::sin((leg.z + L) / 2.0);
    double e = s > 0.0 ? cl * halfBetaSin2 / s : 0.0;
    e = std::fmax(-1.0, std::fmin(1.0, e));
    leg.excess = 2.0 * std::asin(e);
    return leg;
}

// How far inside the rim of the map (in perimeter, radians) its rounding
// reaches: a few units in the last place of 2 pi.
constexpr double kRimRounding = 16.0 * 4.5e-16;

double Dot(const double (&v)[3], double x, double y, double z) {
    return v[0] * x + v[1] * y + v[2] * z;
}

} // namespace

int CZrPJOperator::Setup_Two_Point_Equidistant() {
    const double phi1 = m_def.phi1, phi2 = m_def.phi2, lam1 = m_def.lam1, lam2 = m_def.lam2;
    if (phi1 == phi2 && lam1 == lam2) return 0; // one point defines no line
    double dl = AdjLongitude(lam2 - lam1);
    // The central meridian halfway between the points the short way round
    // (the frame below puts them at -dl/2 and +dl/2 from it): the plain mean
    // of the two longitudes is the opposite meridian for a pair across the
    // antimeridian, which put both points a half turn from where they are.
    m_def.lam0 = AdjLongitude(lam1 + dl / 2.0);
    m_tp.cp1 = std::cos(phi1);
    m_tp.cp2 = std::cos(phi2);
    m_tp.sp1 = std::sin(phi1);
    m_tp.sp2 = std::sin(phi2);
    m_tp.cs = m_tp.cp1 * m_tp.sp2;
    m_tp.sc = m_tp.cp2 * m_tp.sp1;
    m_tp.ccs = m_tp.cp1 * m_tp.cp2 * std::sin(dl);
    double cosz0 = m_tp.sp1 * m_tp.sp2 + m_tp.cp1 * m_tp.cp2 * std::cos(dl);
    ClampCosine(cosz0);
    const double z0 = std::acos(cosz0); // angular distance of the two points
    m_tp.hz0 = z0 / 2.0;
    // Azimuth of the second point seen from the first, and the pole of the
    // great circle through both (the rotated frame's latitude origin).
    const double A12 = std::atan2(m_tp.cp2 * std::sin(dl), m_tp.cs - m_tp.sp1 * m_tp.cp2 * std::cos(dl));
    const double p = std::asin(m_tp.cp1 * std::sin(A12));
    m_tp.ca = std::cos(p);
    m_tp.sa = std::sin(p);
    m_tp.lp = AdjLongitude(std::atan2(m_tp.cp1 * std::cos(A12), m_tp.sp1) - m_tp.hz0);
    dl /= 2.0; // stored halved: the points sit at -dl and +dl from lambda0
    m_tp.dl = dl;
    m_tp.lamc = kHalfPi - std::atan2(std::sin(A12) * m_tp.sp1, std::cos(A12)) - dl;
    m_tp.thz0 = std::tan(m_tp.hz0);
    m_tp.rhshz0 = 0.5 / std::sin(m_tp.hz0);
    m_tp.r2z0 = 0.5 / z0;
    m_tp.z02 = z0 * z0;
    // The working frame from the two points' unit vectors A and B (longitude
    // from lambda0): A + B points to the midpoint and B - A along the line,
    // and the pair's angular distance is 2 atan2(|B - A|, |A + B|), which
    // keeps its digits for close and for nearly antipodal points alike.
    const double a[3] = {m_tp.cp1 * std::cos(dl), -m_tp.cp1 * std::sin(dl), m_tp.sp1};
    const double b[3] = {m_tp.cp2 * std::cos(dl), m_tp.cp2 * std::sin(dl), m_tp.sp2};
    double sum[3], diff[3];
    for (int i = 0; i < 3; ++i) {
        sum[i] = a[i] + b[i];
        diff[i] = b[i] - a[i];
    }
    const double ns = std::sqrt(Dot(sum, sum[0], sum[1], sum[2]));
    const double nd = std::sqrt(Dot(diff, diff[0], diff[1], diff[2]));
    // Points closer than rounding (one pole given with two longitudes) are
    // one point, which defines no line.
    if (!(nd > 16 * std::numeric_limits<double>::epsilon())) return 0;
    m_tp.h = std::atan2(nd, ns);
    m_tp.ch = std::cos(m_tp.h);
    m_tp.sh = std::sin(m_tp.h);
    for (int i = 0; i < 3; ++i)
        m_tp.t[i] = diff[i] / nd;
    if (ns > 0.0) {
        for (int i = 0; i < 3; ++i)
            m_tp.m[i] = sum[i] / ns;
    } else {
        // Antipodal points: every great circle through them is a line; take
        // the one leaving the first point at the azimuth A12 above.
        const double sl = std::sin(-dl), cl = std::cos(-dl);
        const double north[3] = {-m_tp.sp1 * cl, -m_tp.sp1 * sl, m_tp.cp1}, east[3] = {-sl, cl, 0.0};
        for (int i = 0; i < 3; ++i)
            m_tp.m[i] = std::cos(A12) * north[i] + std::sin(A12) * east[i];
        for (int i = 0; i < 3; ++i)
            m_tp.t[i] = -a[i];
    }
    m_tp.n[0] = m_tp.m[1] * m_tp.t[2] - m_tp.m[2] * m_tp.t[1];
    m_tp.n[1] = m_tp.m[2] * m_tp.t[0] - m_tp.m[0] * m_tp.t[2];
    m_tp.n[2] = m_tp.m[0] * m_tp.t[1] - m_tp.m[1] * m_tp.t[0];
    return 1;
}

int CZrPJOperator::Two_Point_Equidistant_Forward(CPoint2D& pt) const {
    const double dlam = pt.x, phi = pt.y;
    if (!std::isfinite(dlam) || !std::isfinite(phi)) return 0;
    const double cosphi = std::cos(phi);
    const double px = cosphi * std::cos(dlam), py = cosphi * std::sin(dlam), pz = std::sin(phi);
    // Distance beta from the line (north of it, seen from the first point
    // towards the second, positive) and w along it from the midpoint.
    const double sinBeta = Dot(m_tp.n, px, py, pz);
    const double along = Dot(m_tp.t, px, py, pz), mid = Dot(m_tp.m, px, py, pz);
    const double cosBeta = std::sqrt(along * along + mid * mid);
    double w = std::atan2(along, mid);
    // The map is symmetric about the perpendicular bisector: work on the
    // second point's side, the nearer point being the second.
    const bool mirrored = w < 0.0;
    if (mirrored) w = -w;
    const double cw = cosBeta > 0.0 ? mid / cosBeta : 1.0,
                 sw = cosBeta > 0.0 ? std::fabs(along) / cosBeta : 0.0;
    const double h = m_tp.h, ch = m_tp.ch, sh = m_tp.sh;
    // Along-line lengths to the nearer and the farther point, the latter
    // the short way round, with their sines and cosines by the sum formulas.
    const double lNear = std::fabs(w - h);
    double lFar = w + h;
    if (lFar > kPi) lFar = kTwoPi - lFar;
    const double hb2 = sinBeta * sinBeta / (2.0 * (1.0 + cosBeta)); // sin^2(beta/2)
    const Leg near =
        SphericalLeg(sinBeta, cosBeta, hb2, lNear, std::fabs(sw * ch - cw * sh), cw * ch + sw * sh);
    const Leg far =
        SphericalLeg(sinBeta, cosBeta, hb2, lFar, std::fabs(sw * ch + cw * sh), cw * ch - sw * sh);
    const Sides f = HalfPerimeterDifferences(w, h, near.excess, far.excess);
    const double f4 = 2.0 * h + near.z + far.z;
    // Angle theta at the nearer point between the line back to the farther
    // point and the point, by the plane triangle's half-angle formula
    // tan^2(theta/2) = F1 F2 / (F3 F4), taken to the cosine and sine.
    const double p2 = f.f1 * f.f2, q2 = f4 * f.f3, den = p2 + q2;
    const double ct = den > 0.0 ? (q2 - p2) / den : 1.0,
                 st = den > 0.0 ? 2.0 * std::sqrt(p2 * q2) / den : 0.0;
    double x = h - near.z * ct;
    double y = near.z * st;
    if (mirrored) x = -x;
    if (sinBeta < 0.0) y = -y;
    pt.x = m_def.a * x;
    pt.y = m_def.a * y;
    return 1;
}

int CZrPJOperator::Two_Point_Equidistant_Inverse(CPoint2D& pt) const {
    double xr = pt.x / m_def.a, yr = pt.y / m_def.a;
    const bool mirrored = xr < 0.0, south = yr < 0.0;
    xr = std::fabs(xr);
    yr = std::fabs(yr);
    const double h = m_tp.h;
    // Distances to the nearer (second) and farther point in the plane, and
    // their excesses over the lengths along the x axis, as products.
    const double along = std::fabs(xr - h), y2 = yr * yr;
    const double zNear = std::sqrt(y2 + along * along), zFar = std::sqrt(y2 + (xr + h) * (xr + h));
    const double eNear = zNear + along > 0.0 ? y2 / (zNear + along) : 0.0;
    const double eFar = zFar + xr + h > 0.0 ? y2 / (zFar + xr + h) : 0.0;
    const Sides f = HalfPerimeterDifferences(xr, h, eNear, eFar);
    // Angle at the nearer point on the sphere, by the spherical half-angle
    // formula. The perimeter z0 + z1 + z2 reaches 2 pi on the rim of the map,
    // the image of the arc between the points' antipodes, where a point
    // beta off that arc lies only beta^2 inside the rim: there the plane
    // coordinates' rounding leaves beta itself uncertain by about 1e-8 of
    // the radius, and what is within rounding of the rim is put on it.
    const double rim = kTwoPi - (2.0 * h + zNear + zFar);
    const double s4 = rim > kRimRounding ? std::sin(rim / 2.0) : 0.0;
    const double s1 = std::fmax(0.0, std::sin(f.f1 / 2.0)), s2 = std::fmax(0.0, std::sin(f.f2 / 2.0));
    const double s3 = std::fmax(0.0, std::sin(f.f3 / 2.0));
    const double p2 = s1 * s2, q2 = s4 * s3, den = p2 + q2;
    const double ca = den > 0.0 ? (q2 - p2) / den : 1.0,
                 sa = den > 0.0 ? 2.0 * std::sqrt(p2 * q2) / den : 0.0;
    // From the nearer point, at (cos h, sin h, 0) in the frame (midpoint,
    // along, pole), go zNear at that angle from the line back to the farther
    // point.
    const double cz = std::cos(zNear), sz = std::sin(zNear), ch = m_tp.ch, sh = m_tp.sh;
    const double cm = cz * ch + sz * ca * sh;
    double ct = cz * sh - sz * ca * ch;
    double cn = sz * sa;
    if (mirrored) ct = -ct;
    if (south) cn = -cn;
    const double px = cm * m_tp.m[0] + ct * m_tp.t[0] + cn * m_tp.n[0];
    const double py = cm * m_tp.m[1] + ct * m_tp.t[1] + cn * m_tp.n[1];
    const double pz = cm * m_tp.m[2] + ct * m_tp.t[2] + cn * m_tp.n[2];
    pt.y = std::atan2(pz, std::sqrt(px * px + py * py));
    pt.x = std::atan2(py, px);
    return 1;
}
