// Normal-aspect cylindrical kinds: equidistant cylindrical (plate carree),
// Mercator on the ellipsoid and on the sphere, Miller, Gall stereographic and
// the equal-area cylindrical. The ellipsoidal kinds scale longitude by
// c1 = r(phi1), the radius of the standard parallel (set up by
// Setup_Cylindrical); the spherical ones use the sphere of radius a.
#include "projection/ZrPJOperator.h"

#include "projection/ZrPJKernels_p.h"

#include "geodesy/ZrPJMath.h"

#include <cmath>

using namespace zrpj;

namespace {

// Both Mercator kinds cut the map at 88 degrees: the pole lies at infinity.
constexpr double kMercatorLatitudeLimit = 1.53588974175501;
// A standard parallel this close to a pole (radius in metres) leaves no cylinder.
constexpr double kDegenerateRadius = 1e-7;

// Miller: Mercator of 0.8 phi, stretched by 1/0.8 so the equator keeps scale 1.
constexpr double kMillerStretch = 1.25;
constexpr double kMillerLatitudeFactor = 0.4; // half of 0.8, inside tan(pi/4 + phi/2)
constexpr double kMillerInverseFactor = 0.8;
constexpr double kMillerInverseStretch = 2.5;

// Gall stereographic: cylinder secant at 45 degrees, parallels projected
// stereographically: x = a dlam cos 45, y = a (1 + cos 45) tan(phi/2).
constexpr double kCos45 = 0.7071067811865476;
constexpr double kSqrt2 = 1.4142135623730951;
constexpr double kGallNorthing = 1.7071067811865475;
constexpr double kGallInverseNorthing = 0.585786437626905; // 1 / (1 + cos 45) = 2 - sqrt 2

} // namespace

// ---------------------------------------------------------------------------
// Equidistant cylindrical (43001, 43002): the meridians keep their true arc
// length, the parallels are spaced as on the standard parallel.
// ---------------------------------------------------------------------------
int CZrPJOperator::Equidistant_Cylindrical_Forward(CPoint2D& pt) const {
    const double dlam = pt.x;
    const double y = Distance(pt.y);
    pt.x = m_kc.c1 * dlam;
    pt.y = y;
    return 1;
}

int CZrPJOperator::Equidistant_Cylindrical_Inverse(CPoint2D& pt) const {
    // With the standard parallel at a pole every meridian falls on x = 0 and
    // the longitude cannot be recovered (it would come out as x / 0).
    if (std::fabs(m_kc.c1) <= kDegenerateRadius) return 0;
    pt.x = pt.x / m_kc.c1;
    pt.y = AntiDistance(pt.y / m_ser.D[0]);
    return 1;
}

// ---------------------------------------------------------------------------
// Miller (43003), on the sphere of radius a.
// ---------------------------------------------------------------------------
int CZrPJOperator::Miller_Cylindrical_Forward(CPoint2D& pt) const {
    const double dlam = pt.x;
    const double y = kMillerStretch * m_def.a * std::log(std::tan(kQuarterPi + kMillerLatitudeFactor * pt.y));
    pt.x = m_def.a * dlam;
    pt.y = y;
    return 1;
}

int CZrPJOperator::Miller_Cylindrical_Inverse(CPoint2D& pt) const {
    const double lam = pt.x / m_def.a;
    const double phi =
        kMillerInverseStretch * (std::atan(std::exp(kMillerInverseFactor * pt.y / m_def.a)) - kQuarterPi);
    pt.x = lam;
    pt.y = phi;
    return 1;
}

// ---------------------------------------------------------------------------
// Mercator on the ellipsoid (43004), true scale on the standard parallel.
// ---------------------------------------------------------------------------
int CZrPJOperator::Conformal_Cylindrical_Forward(CPoint2D& pt) const {
    const double phi = Clamp(pt.y, -kMercatorLatitudeLimit, kMercatorLatitudeLimit);
    const double dlam = pt.x;
    pt.x = m_kc.c1 * dlam;
    pt.y = m_kc.c1 * Conformal(phi);
    return 1;
}

int CZrPJOperator::Conformal_Cylindrical_Inverse(CPoint2D& pt) const {
    // A standard parallel at a pole: the cylinder has no radius. Reporting
    // success here would hand the caller its metres back as degrees.
    if (std::fabs(m_kc.c1) <= kDegenerateRadius) return 0;
    const double chi = 2.0 * std::atan(std::exp(pt.y / m_kc.c1)) - kHalfPi; // conformal latitude
    const double phi = AntiConformal(chi);
    pt.x = pt.x / m_kc.c1;
    pt.y = Clamp(phi, -kHalfPi, kHalfPi);
    return 1;
}

// ---------------------------------------------------------------------------
// Gall stereographic (43016), on the sphere of radius a.
// ---------------------------------------------------------------------------
int CZrPJOperator::Gall_Stereographic_Forward(CPoint2D& pt) const {
    const double dlam = pt.x;
    const double y = m_def.a * std::tan(pt.y / 2.0) * kGallNorthing;
    pt.x = m_def.a * dlam * kCos45;
    pt.y = y;
    return 1;
}

int CZrPJOperator::Gall_Stereographic_Inverse(CPoint2D& pt) const {
    const double lam = pt.x * kSqrt2 / m_def.a;
    const double phi = 2.0 * std::atan(pt.y * kGallInverseNorthing / m_def.a);
    pt.x = lam;
    pt.y = phi;
    return 1;
}

// ---------------------------------------------------------------------------
// Equal-area cylindrical (43017 Lambert/Behrmann family, 43041): y is the zone
// area from the equator divided by 2 pi c1, so every band keeps its area.
// ---------------------------------------------------------------------------
int CZrPJOperator::EqualArea_Cylindrical_Forward(CPoint2D& pt) const {
    // No cylinder for a standard parallel at a pole (y would be area / 0);
    // this is a failure, not a success with the point left in radians.
    if (std::fabs(m_kc.c1) <= kDegenerateRadius) return 0;
    const double dlam = pt.x;
    const double y = Area(pt.y) / m_kc.c1;
    pt.x = m_kc.c1 * dlam;
    pt.y = y;
    return 1;
}

int CZrPJOperator::EqualArea_Cylindrical_Inverse(CPoint2D& pt) const {
    if (std::fabs(m_kc.c1) <= kDegenerateRadius) return 0;
    // sin(authalic latitude) = area / (area of the hemisphere / 2 pi). The
    // hemisphere's area is taken from the same series as the forward's area
    // (Rq^2 = Area(pi/2)); the closed-form authalic radius differs from it by
    // the series' truncation, 7e-12, which put the image of the pole 2e-4
    // degrees short of it. Beyond the pole's image asin yields NaN, which
    // the frame refuses.
    const double sinBeta = m_kc.c1 * pt.y / m_ser.Rq2;
    pt.x = pt.x / m_kc.c1;
    pt.y = AntiArea(AsinRounded(sinBeta));
    return 1;
}

// ---------------------------------------------------------------------------
// Mercator on the sphere of radius a (43045).
// ---------------------------------------------------------------------------
int CZrPJOperator::Sphere_Mercator_Forward(CPoint2D& pt) const {
    const double phi = Clamp(pt.y, -kMercatorLatitudeLimit, kMercatorLatitudeLimit);
    const double dlam = pt.x;
    pt.x = m_def.a * dlam;
    pt.y = m_def.a * std::log(std::tan(kQuarterPi + phi / 2.0));
    return 1;
}

// The standard parallel plays no part on the sphere (the forward never reads
// it), so the inverse does not refuse a parallel at a pole: it undoes
// whatever the forward produced.
int CZrPJOperator::Sphere_Mercator_Inverse(CPoint2D& pt) const {
    const double phi = 2.0 * std::atan(std::exp(pt.y / m_def.a)) - kHalfPi;
    pt.x = pt.x / m_def.a;
    pt.y = Clamp(phi, -kHalfPi, kHalfPi);
    return 1;
}
