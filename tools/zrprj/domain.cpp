// Domain checks of the point commands. The projection kinds clamp a latitude
// past the pole, fold a northing past it back onto the globe and compute
// series far outside the band they converge in; the library keeps those
// rules for its callers, but a tool printing such a number would pass a
// wrong coordinate off as a good one. Every point is therefore checked the
// other way before it is printed.
#include "tools/zrprj/zrprj_p.h"

#include "geodesy/ZrPJMath.h"

#include <cmath>
#include <cstdio>

namespace {

// A miss up to this far on the ground whose point projects onto the same
// image is a fold of the forward itself, not a point off the map: Robinson's
// published cubics do not meet at their 5-degree knots, so a sliver about 2 m
// wide there has two preimages, and the inverse names the other one.
constexpr double kFoldMetres = 10.0;

double MetresPerUnit(const CZrPJOperator& op) {
    const double factor = op.GetUnitFactor();
    return factor > 0.0 ? op.GetDivisor() / factor : 1.0;
}

double Planar(const CZrPJOperator& op, const CPoint2D& a, const CPoint2D& b) {
    return std::hypot(a.x - b.x, a.y - b.y) * MetresPerUnit(op);
}

void Miss(std::string& why, const std::string& what, double metres) {
    char distance[64];
    if (metres < 1.0)
        std::snprintf(distance, sizeof distance, " (%.1f mm away)", metres * 1e3);
    else if (metres < 1e4)
        std::snprintf(distance, sizeof distance, " (%.1f m away)", metres);
    else // %g: a point given as 1e308 lies 1e305 km away, not a 300-digit number of them
        std::snprintf(distance, sizeof distance, " (%.6g km away)", metres * 1e-3);
    why = what + distance;
}

} // namespace

double ZrCliGroundMetres(double a, const CPoint2D& p, const CPoint2D& q) {
    // Haversine: exact on the sphere of radius a for any separation, and the
    // difference in longitude taken across the antimeridian as well.
    const double k = CZrPJMath::kDegToRad;
    const double sLat = std::sin(0.5 * (q.y - p.y) * k), sLon = std::sin(0.5 * (q.x - p.x) * k);
    const double h = sLat * sLat + std::cos(p.y * k) * std::cos(q.y * k) * sLon * sLon;
    return 2.0 * a * std::asin(std::sqrt(std::fmin(1.0, std::fmax(0.0, h))));
}

int ZrCliCheckedForward(const CZrPJOperator& op, const char* name, double tolerance, CPoint2D& pt,
                        std::string& why) {
    if (!(std::fabs(pt.y) <= 90.0)) {
        char text[96];
        std::snprintf(text, sizeof text, "latitude %.9g is beyond 90 degrees", pt.y);
        why = text;
        return 0;
    }
    CPoint2D xy = pt;
    if (!op.Forward(xy)) {
        why = std::string("the point lies outside the ") + name + "'s domain";
        return 0;
    }
    CPoint2D back = xy;
    if (!op.Inverse(back)) {
        why = std::string("the point lies outside the ") + name + "'s domain: its projection has no inverse";
        return 0;
    }
    const double miss = ZrCliGroundMetres(op.GetSemiMajorAxis(), pt, back);
    CPoint2D again = back;
    if (miss > tolerance &&
        !(miss <= kFoldMetres && op.Forward(again) && Planar(op, xy, again) <= kCliRoundTripMetres)) {
        Miss(why,
             (std::string("the point lies outside the ") + name +
              "'s domain: its projection maps back elsewhere"),
             miss);
        return 0;
    }
    pt = xy;
    return 1;
}

int ZrCliCheckedInverse(const CZrPJOperator& op, const char* name, CPoint2D& pt, std::string& why) {
    CPoint2D lonlat = pt;
    if (!op.Inverse(lonlat)) {
        why = std::string("the point has no geographic position in the ") + name;
        return 0;
    }
    CPoint2D back = lonlat;
    if (!op.Forward(back)) {
        why = std::string("the point lies outside the ") + name +
              "'s domain: its longitude/latitude does not project back";
        return 0;
    }
    double miss = Planar(op, pt, back);
    if (miss > kCliRoundTripMetres && std::fabs(std::fabs(lonlat.x) - 180.0) < 1e-9) {
        // The antimeridian has two images on a world map, its west and its
        // east edge; the inverse names it by one sign, the input may lie on
        // the other edge.
        CPoint2D other(-lonlat.x, lonlat.y), image = other;
        if (op.Forward(image) && Planar(op, pt, image) < miss) {
            miss = Planar(op, pt, image);
            lonlat = other;
        }
    }
    if (!(miss <= kCliRoundTripMetres)) {
        Miss(why,
             std::string("the point lies outside the ") + name +
                 "'s domain: its longitude/latitude projects elsewhere",
             miss);
        return 0;
    }
    pt = lonlat;
    return 1;
}
