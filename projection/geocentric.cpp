// The geocentric conversion: geodetic longitude, latitude and height to the
// Earth-centred Cartesian X, Y, Z of EPSG's geocentric systems (EPSG:4978 and
// the ITRF/ETRF realisations), and back.
#include "projection/ZrGeocentric.h"
#include "projection/ZrPJOperator.h"

#include "geodesy/ZrPJMath.h"

#include <cmath>

namespace {
constexpr double kDegToRad = CZrPJMath::kDegToRad;
constexpr double kRadToDeg = CZrPJMath::kRadToDeg;
// Newton's iteration inside the evolute: each step squares the error, so
// six steps from the spherical guess reach rounding; the cap only guards
// against a point that never settles (none found from the centre outward).
constexpr int kNewtonSteps = 12;

// The latitude by Newton's method on f(phi) = p sin(phi) - z cos(phi) - e^2 a
// sin(phi) cos(phi) / w(phi) = 0 (the normal through the point), started from
// the geocentric latitude. Only used within about e^2 a = 43 km of the centre.
double LatitudeByNewton(double a, double es, double p, double z) {
    double phi = std::atan2(z, p);
    for (int i = 0; i < kNewtonSteps; ++i) {
        const double s = std::sin(phi), c = std::cos(phi);
        const double w = std::sqrt(1.0 - es * s * s);
        const double n = a / w; // prime-vertical radius
        const double f = p * s - z * c - es * n * s * c;
        // d/dphi of e^2 n s c, with dn/dphi = n e^2 s c / w^2.
        const double dn = n * es * s * c / (w * w);
        const double df = p * c + z * s - es * (dn * s * c + n * (c * c - s * s));
        if (df == 0.0) break;
        const double step = f / df;
        phi -= step;
        if (std::fabs(step) < 1e-16) break;
    }
    return phi;
}
} // namespace

void ZrGeodeticToGeocentric(double a, double f, double lonDeg, double latDeg, double h, double& x, double& y,
                            double& z) {
    const double es = (2.0 - f) * f;
    const double lam = lonDeg * kDegToRad, phi = latDeg * kDegToRad;
    const double sinPhi = std::sin(phi), cosPhi = std::cos(phi);
    const double n = a / std::sqrt(1.0 - es * sinPhi * sinPhi); // prime-vertical radius
    x = (n + h) * cosPhi * std::cos(lam);
    y = (n + h) * cosPhi * std::sin(lam);
    z = (n * (1.0 - es) + h) * sinPhi;
}

int ZrGeocentricToGeodetic(double a, double f, double x, double y, double z, double& lonDeg, double& latDeg,
                           double& h) {
    if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(z) || !(a > 0.0) || !(f >= 0.0 && f < 1.0))
        return 0;
    const double es = (2.0 - f) * f, e4 = es * es;
    const double rho = std::hypot(x, y); // distance from the axis
    double phi;
    // Vermeille's closed form, in units of a: p and q are the squared
    // distances from the axis and (stretched) from the equator plane.
    const double p = (rho / a) * (rho / a);
    const double q = (1.0 - es) * (z / a) * (z / a);
    const double r = (p + q - e4) / 6.0;
    const double s = r > 0.0 ? e4 * p * q / (4.0 * r * r * r) : -1.0;
    if (s >= 0.0) {
        const double t = std::cbrt(1.0 + s + std::sqrt(s * (2.0 + s)));
        const double u = r * (1.0 + t + 1.0 / t);
        const double v = std::sqrt(u * u + e4 * q);
        const double w = es * (u + v - q) / (2.0 * v);
        const double k = std::sqrt(u + v + w * w) - w;
        const double d = k * rho / (k + es);
        const double dz = std::hypot(d, z);
        // Half-angle form: well conditioned at the equator and the poles.
        phi = dz == 0.0 ? 0.0 : 2.0 * std::atan2(z, d + dz);
    } else {
        phi = LatitudeByNewton(a, es, rho, z);
    }
    const double sinPhi = std::sin(phi), cosPhi = std::cos(phi);
    // The height along the normal, the same form at the poles and the equator.
    h = rho * cosPhi + z * sinPhi - a * std::sqrt(1.0 - es * sinPhi * sinPhi);
    latDeg = phi * kRadToDeg;
    lonDeg = (x == 0.0 && y == 0.0) ? 0.0 : std::atan2(y, x) * kRadToDeg;
    return 1;
}

// A geocentric system's points are three numbers; the plane entries, which
// carry two, refuse them rather than drop Z. Its conversion runs through the
// translator's 3-D entries (and ZrGeodeticToGeocentric directly).
int CZrPJOperator::Geocentric_Forward(CPoint2D&) const {
    return 0;
}

int CZrPJOperator::Geocentric_Inverse(CPoint2D&) const {
    return 0;
}
