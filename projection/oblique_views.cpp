// Three kinds met in texts from other software rather than in EPSG's
// dataset, all on the sphere of radius a except where said:
//
// - the general oblique transformation: the globe turned so that its pole
//   lies at (phi_p, lambda_p) of the new graticule, then the equidistant
//   cylindrical projection of the turned globe (climate models' rotated
//   poles; the pole is kept as the first point, phi1 and lam1);
// - the tilted perspective: the view from a height h above the sphere, the
//   plane of the picture tilted by an angle (kept in phi1) towards an
//   azimuth (kept as the azimuth); the height is kept as the scale 1 + h/a;
// - the quadrilateralized spherical cube: one face of a cube whose faces are
//   equal-area images of the sphere's six quarters, computed on the
//   geocentric latitude of the ellipsoid, so that the figure of the earth
//   only bends the latitude before and after the sphere's mapping.
#include "projection/ZrPJOperator.h"

#include "projection/ZrPJKernels_p.h"

#include <cmath>

using namespace zrpj;

namespace {
// Below this many radians from the centre a point is the centre itself.
constexpr double kCentre = 1e-10;

} // namespace

// ---------------------------------------------------------------------------
// General oblique transformation
// ---------------------------------------------------------------------------
int CZrPJOperator::Setup_Oblique_Transformation() {
    const double phip = m_def.phi1;
    if (!(std::fabs(phip) <= kHalfPi)) return 0;
    m_view.sinA = std::sin(phip);
    m_view.cosA = std::cos(phip);
    // In [-pi, pi], so that a turned longitude plus it needs one fold at most.
    m_view.lamp = AdjLongitude(m_def.lam1);
    return 1;
}

// The point as a unit vector of the turned globe: (u, v) in its equator's
// plane, w along its pole. The latitude is taken as atan(w / |(u, v)|), not
// asin(w): near the turned pole asin magnifies w's rounding to 1.5e-8 rad
// (0.1 m), where the arctangent keeps a last place. The two arctangents are
// one call on a pair, and so are the inverse's two sines and cosines (the
// forward's pair of angles came out slower so than the C library's sincos).
int CZrPJOperator::Oblique_Transformation_Forward(CPoint2D& pt) const {
    const double cl = std::cos(pt.x), sl = std::sin(pt.x);
    const double cp = std::cos(pt.y), sp = std::sin(pt.y);
    const double ccl = cp * cl;
    // Longitude and latitude on the turned globe, whose pole is the old (phip, lamp).
    const double u = m_view.sinA * ccl + m_view.cosA * sp, v = cp * sl;
    const double w = m_view.sinA * sp - m_view.cosA * ccl;
    double lam, phi;
    AtanPair(v, u, w, std::sqrt(u * u + v * v), lam, phi); // at the pole phi is +-pi/2
    lam += m_view.lamp;                                    // both in [-pi, pi]
    if (lam > kPi) {
        lam -= kTwoPi;
    } else if (lam < -kPi) {
        lam += kTwoPi;
    }
    pt.x = m_def.a * lam;
    pt.y = m_def.a * phi;
    return 1;
}

int CZrPJOperator::Oblique_Transformation_Inverse(CPoint2D& pt) const {
    const double lam = pt.x * m_ell.invA - m_view.lamp, phi = pt.y * m_ell.invA;
    if (!(std::fabs(phi) <= kHalfPi + 1e-12)) return 0;
    double sl, cl, sp, cp;
    SinCosPair(lam, phi, sl, cl, sp, cp);
    const double ccl = cp * cl;
    const double u = m_view.sinA * ccl - m_view.cosA * sp, v = cp * sl;
    const double w = m_view.sinA * sp + m_view.cosA * ccl;
    AtanPair(v, u, w, std::sqrt(u * u + v * v), pt.x, pt.y);
    return 1;
}

// ---------------------------------------------------------------------------
// Tilted perspective
// ---------------------------------------------------------------------------
int CZrPJOperator::Setup_Tilted_Perspective() {
    const double p = m_def.k0; // distance of the eye from the centre, in units of a
    if (!(p > 1.0) || !std::isfinite(p)) return 0;
    m_view.p = p;
    m_view.h = p - 1.0;
    m_view.invH = 1.0 / m_view.h;
    m_view.sinA = std::sin(m_def.phi0);
    m_view.cosA = std::cos(m_def.phi0);
    m_view.sinG = std::sin(m_def.alpha);
    m_view.cosG = std::cos(m_def.alpha);
    m_view.sinW = std::sin(m_def.phi1);
    m_view.cosW = std::cos(m_def.phi1);
    m_view.pole = std::fabs(std::fabs(m_def.phi0) - kHalfPi) < kCentre ? (m_def.phi0 > 0.0 ? 1 : -1) : 0;
    return 1;
}

int CZrPJOperator::Tilted_Perspective_Forward(CPoint2D& pt) const {
    const double sp = std::sin(pt.y), cp = std::cos(pt.y), cl = std::cos(pt.x);
    // Cosine of the angle at the centre between the point and the nadir;
    // beyond the horizon (cos < 1/p) the eye does not see the point.
    const double cosz = m_view.sinA * sp + m_view.cosA * cp * cl;
    if (cosz * m_view.p < 1.0) return 0;
    const double k = m_view.h / (m_view.p - cosz);
    double x = k * cp * std::sin(pt.x);
    double y = k * (m_view.cosA * sp - m_view.sinA * cp * cl);
    // The picture plane turned by the tilt about the line across the azimuth.
    const double yt = y * m_view.cosG + x * m_view.sinG;
    const double b = 1.0 / (yt * m_view.sinW * m_view.invH + m_view.cosW);
    x = (x * m_view.cosG - y * m_view.sinG) * m_view.cosW * b;
    y = yt * b;
    pt.x = m_def.a * x;
    pt.y = m_def.a * y;
    return 1;
}

int CZrPJOperator::Tilted_Perspective_Inverse(CPoint2D& pt) const {
    double x = pt.x * m_ell.invA, y = pt.y * m_ell.invA;
    {
        const double d = m_view.h - y * m_view.sinW;
        if (d == 0.0) return 0;
        const double hd = m_view.h / d;
        const double bm = hd * x, bq = hd * y * m_view.cosW;
        x = bm * m_view.cosG + bq * m_view.sinG;
        y = bq * m_view.cosG - bm * m_view.sinG;
    }
    // In units of a the picture's coordinates square far inside the range
    // of doubles, so the plain root serves where hypot costs twice.
    const double rho2 = x * x + y * y, rho = std::sqrt(rho2);
    if (rho <= kCentre) {
        pt.x = 0.0;
        pt.y = m_def.phi0;
        return 1;
    }
    // The sine of the angle z at the centre, from the nearer meeting of the
    // line of sight with the sphere: sin z = (p - sqrt(d)) h rho / (h^2 +
    // rho^2); t is sin z / rho, which is all the rest needs of rho.
    const double d = 1.0 - rho2 * (m_view.p + 1.0) * m_view.invH;
    if (d < 0.0) return 0;
    const double t = (m_view.p - std::sqrt(d)) * m_view.h / (m_view.h * m_view.h + rho2);
    const double sinz = t * rho;
    const double cosz = std::sqrt(std::fmax(0.0, 1.0 - sinz * sinz));
    if (m_view.pole) {
        pt.y = m_view.pole * std::asin(cosz);
        pt.x = std::atan2(x, -m_view.pole * y);
        return 1;
    }
    double s = cosz * m_view.sinA + y * t * m_view.cosA;
    if (s > 1.0) s = 1.0;
    if (s < -1.0) s = -1.0;
    pt.y = std::asin(s);
    pt.x = std::atan2(x * t * m_view.cosA, cosz - m_view.sinA * s);
    return 1;
}

// ---------------------------------------------------------------------------
// Quadrilateralized spherical cube. On a face, a point is found by its angle
// phi from the face's centre and its direction theta within one of the four
// triangles (areas) the face's diagonals cut, measured from the triangle's
// middle line; the equal-area mapping of the triangle gives the map's polar
// angle mu and its distance t.
// ---------------------------------------------------------------------------
int CZrPJOperator::Setup_Spherical_Cube() {
    const double phi0 = m_def.phi0;
    // The face whose centre is nearest the origin: the top, the bottom, or
    // one about the equator (all four compute alike about their meridian).
    m_view.pole = phi0 >= kHalfPi - kQuarterPi / 2.0 ? 1 : (phi0 <= -(kHalfPi - kQuarterPi / 2.0) ? -1 : 0);
    const double omf = 1.0 - m_def.f;
    m_view.omf2 = omf * omf;
    return 1;
}

namespace {
// The area a direction theta (from the face's east line) falls in, and theta
// within it.
inline int CubeArea(double& theta) {
    if (std::fabs(theta) <= kQuarterPi) return 0;
    if (theta > kQuarterPi && theta <= kHalfPi + kQuarterPi) {
        theta -= kHalfPi;
        return 1;
    }
    if (theta > kHalfPi + kQuarterPi || theta <= -(kHalfPi + kQuarterPi)) {
        theta += theta >= 0.0 ? -kPi : kPi;
        return 2;
    }
    theta += kHalfPi;
    return 3;
}
} // namespace

// The angles are carried as sines, cosines and tangents where the
// mapping allows: tan(mu) is the arctangent's argument, cos(phi) the unit
// vector's component towards the face's centre, and cos(atan(1/cos theta)) is
// cos theta / sqrt(1 + cos^2 theta), so one arctangent and one arccosine are
// left of the forward's dozen transcendental calls.
int CZrPJOperator::Spherical_Cube_Forward(CPoint2D& pt) const {
    // The geocentric latitude: the cube's sphere is the ellipsoid seen from
    // its centre, tan(lat) = (1 - f)^2 tan(phi), kept as its sine and cosine.
    double sp = std::sin(pt.y), cp = std::cos(pt.y);
    if (m_def.f != 0.0) {
        const double z = m_view.omf2 * sp, n = std::hypot(cp, z);
        sp = z / n;
        cp = cp / n;
    }
    double cosPhi, theta;
    int area;
    if (m_view.pole != 0) {
        // On the polar faces the angle from the centre is the co-latitude and
        // the direction follows the meridian (turned over on the bottom face).
        cosPhi = m_view.pole * sp;
        theta = AdjLongitude(m_view.pole > 0 ? pt.x - kHalfPi : kHalfPi - pt.x);
        area = CubeArea(theta);
    } else {
        const double q = cp * std::cos(pt.x), r = cp * std::sin(pt.x);
        cosPhi = q;
        if (1.0 - q < 0.5 * kCentre * kCentre) {
            theta = 0.0;
            area = 0;
        } else {
            theta = std::atan2(sp, r);
            area = CubeArea(theta);
        }
    }
    const double st = std::sin(theta), ct = std::cos(theta);
    const double tanMu = (12.0 / kPi) * (theta + std::acos(st * 0.7071067811865476) - kHalfPi);
    const double secMu2 = 1.0 + tanMu * tanMu;
    const double cosAtan = ct / std::sqrt(1.0 + ct * ct);
    const double t = std::sqrt((1.0 - cosPhi) * secMu2 / (1.0 - cosAtan));
    const double c = t / std::sqrt(secMu2), s = c * tanMu; // t cos(mu), t sin(mu)
    double x, y;
    switch (area) {
    case 1:
        x = -s;
        y = c;
        break;
    case 2:
        x = -c;
        y = -s;
        break;
    case 3:
        x = s;
        y = -c;
        break;
    default:
        x = c;
        y = s;
        break;
    }
    pt.x = m_def.a * x;
    pt.y = m_def.a * y;
    return 1;
}

int CZrPJOperator::Spherical_Cube_Inverse(CPoint2D& pt) const {
    const double x = pt.x / m_def.a, y = pt.y / m_def.a;
    // The area from the map's quadrant between the diagonals, and tan(mu)
    // within it (mu measured from the area's middle line).
    int area;
    double tanMu;
    if (x >= 0.0 && x >= std::fabs(y)) {
        area = 0;
        tanMu = x != 0.0 ? y / x : 0.0;
    } else if (y >= 0.0 && y >= std::fabs(x)) {
        area = 1;
        tanMu = -x / y;
    } else if (x < 0.0 && -x >= std::fabs(y)) {
        area = 2;
        tanMu = y / x;
    } else {
        area = 3;
        tanMu = -x / y;
    }
    const double tanNu2 = x * x + y * y;
    const double u = (kPi / 12.0) * tanMu;
    const double tanTheta = std::sin(u) / (std::cos(u) - 0.7071067811865476);
    const double theta = std::atan(tanTheta);
    const double ct = 1.0 / std::sqrt(1.0 + tanTheta * tanTheta);
    const double cosMu2 = 1.0 / (1.0 + tanMu * tanMu);
    double cosphi = 1.0 - cosMu2 * tanNu2 * (1.0 - ct / std::sqrt(1.0 + ct * ct));
    if (cosphi < -1.0) cosphi = -1.0;
    if (cosphi > 1.0) cosphi = 1.0;
    double sinLat, cosLat, lon;
    if (m_view.pole != 0) {
        // The latitude is the complement of the angle from the pole.
        sinLat = m_view.pole * cosphi;
        cosLat = std::sqrt(std::fmax(0.0, 1.0 - cosphi * cosphi));
        const double dir = theta + area * kHalfPi; // direction from the face's east line
        lon = AdjLongitude(m_view.pole > 0 ? dir + kHalfPi : kHalfPi - dir);
    } else {
        // Through the unit vector: q towards the centre, r east, s north.
        const double q = cosphi;
        double tq = q * q;
        double s = tq >= 1.0 ? 0.0 : std::sqrt(1.0 - tq) * tanTheta * ct;
        tq += s * s;
        double r = tq >= 1.0 ? 0.0 : std::sqrt(1.0 - tq);
        double tmp;
        switch (area) {
        case 1:
            tmp = r;
            r = -s;
            s = tmp;
            break;
        case 2:
            r = -r;
            s = -s;
            break;
        case 3:
            tmp = r;
            r = s;
            s = -tmp;
            break;
        default:
            break;
        }
        sinLat = s > 1.0 ? 1.0 : (s < -1.0 ? -1.0 : s);
        cosLat = std::hypot(q, r);
        lon = std::atan2(r, q);
    }
    pt.x = lon;
    pt.y = std::atan2(sinLat, m_view.omf2 * cosLat);
    return 1;
}
