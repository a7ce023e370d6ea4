// Datum shifts of single points: geocentric translation, the standard and the
// abridged Molodensky formulas, and the seven-parameter similarity in both
// rotation conventions.
#include "transform/ZrDatumShift.h"

#include <cmath>

namespace {
constexpr double kDegToRad = 0.017453292519943295;
constexpr double kRadToDeg = 57.29577951308232;

// One ellipsoid of the shift with the prime meridian its longitudes count from.
struct Side {
    double a, f, es, pm;
};

Side SourceSide(const ZrDatumShift& s) {
    return {s.aSrc, s.fSrc, s.esSrc, s.pmSrc};
}
Side DestinationSide(const ZrDatumShift& s) {
    return {s.aDes, s.fDes, s.esDes, s.pmDes};
}

bool IsPositionVector(long method) {
    return method == 9606 || method == 42607;
}
bool IsSimilarity(long method) {
    return method == 9606 || method == 9607 || method == 9608 || method == 42607;
}

// The geocentric frame and the Molodensky formulas count longitudes from
// Greenwich; a geographic system on the Paris or Ferro meridian does not. On a
// Greenwich system the longitude passes untouched, so results there are those
// of the formulas as published.
double WrapLongitude(double lon) {
    if (lon < -180.0) return lon + 360.0;
    if (lon > 180.0) return lon - 360.0;
    return lon;
}

void Clamp(CPoint2D& pt) {
    if (pt.x < -180.0)
        pt.x = -180.0;
    else if (pt.x >= 180.0)
        pt.x = 180.0;
    if (pt.y < -90.0)
        pt.y = -90.0;
    else if (pt.y >= 90.0)
        pt.y = 90.0;
}

// Geodetic (Greenwich-based lon, lat in degrees, ellipsoidal height h) to
// geocentric and back. A 2-D point has no height: it goes in at h = 0 and its
// new height is dropped. A 3-D point carries its height through the shift;
// dropping it there would move the point sideways on the way back by the
// height times the tilt between the two ellipsoids' normals (a decimetre for
// a few hundred metres of shift), so a round trip would not return.
void ToGeocentric(const CPoint2D& lonlat, double h, CPoint3D& xyz, const Side& side) {
    ZrShiftLP2XYZ(lonlat, xyz, side.a, side.es);
    if (h != 0.0) {
        const double lam = lonlat.x * kDegToRad, phi = lonlat.y * kDegToRad;
        xyz.x += h * std::cos(phi) * std::cos(lam);
        xyz.y += h * std::cos(phi) * std::sin(lam);
        xyz.z += h * std::sin(phi);
    }
}

// Returns the ellipsoidal height of xyz above the side's ellipsoid.
double FromGeocentric(CPoint2D& lonlat, const CPoint3D& xyz, const Side& side) {
    ZrShiftXYZ2LP(lonlat, xyz, side.a, side.f, side.es);
    const double phi = lonlat.y * kDegToRad;
    const double p = std::sqrt(xyz.x * xyz.x + xyz.y * xyz.y);
    return p * std::cos(phi) + xyz.z * std::sin(phi) - side.a * ZrShiftGetW(lonlat.y, side.es);
}

// Geocentric translation of a Greenwich-based point from one ellipsoid to the other.
void Translate(const ZrDatumShift& s, CPoint2D& lonlat, double& h, int forward) {
    const Side from = forward ? SourceSide(s) : DestinationSide(s);
    const Side to = forward ? DestinationSide(s) : SourceSide(s);
    CPoint3D xyz;
    ToGeocentric(lonlat, h, xyz, from);
    const double sign = forward ? 1.0 : -1.0;
    xyz.x += sign * s.dx;
    xyz.y += sign * s.dy;
    xyz.z += sign * s.dz;
    h = FromGeocentric(lonlat, xyz, to);
}

// Seven-parameter similarity, linearised in the rotations. The forward
// direction is the EPSG coordinate-frame formula (position vector: rotations
// negated). Backward, 2-D points take the first-order inverse that has always
// been used for them; 3-D points take the exact inverse of the forward matrix,
// so that a round trip returns the start point.
void Similarity(const ZrDatumShift& s, CPoint2D& lonlat, double& h, int forward, bool exactInverse) {
    const Side from = forward ? SourceSide(s) : DestinationSide(s);
    const Side to = forward ? DestinationSide(s) : SourceSide(s);
    const double sign = IsPositionVector(s.method) ? -1.0 : 1.0;
    const double rx = sign * s.rx, ry = sign * s.ry, rz = sign * s.rz;
    CPoint3D p;
    ToGeocentric(lonlat, h, p, from);
    CPoint3D q;
    if (forward) {
        const double k = 1.0 + s.scale;
        q.x = k * (p.x + rz * p.y - ry * p.z) + s.dx;
        q.y = k * (-rz * p.x + p.y + rx * p.z) + s.dy;
        q.z = k * (ry * p.x - rx * p.y + p.z) + s.dz;
    } else if (!exactInverse) {
        const double k = 1.0 - s.scale;
        q.x = k * (p.x - rz * p.y + ry * p.z) - s.dx;
        q.y = k * (rz * p.x + p.y - rx * p.z) - s.dy;
        q.z = k * (-ry * p.x + rx * p.y + p.z) - s.dz;
    } else {
        // (I + S)^-1 = (I - S + r r^T) / (1 + |r|^2) for the skew matrix S of r.
        const double u = p.x - s.dx, v = p.y - s.dy, w = p.z - s.dz;
        const double d = 1.0 + rx * rx + ry * ry + rz * rz;
        const double m = 1.0 / ((1.0 + s.scale) * d);
        q.x = m * ((1.0 + rx * rx) * u + (rx * ry - rz) * v + (rx * rz + ry) * w);
        q.y = m * ((rx * ry + rz) * u + (1.0 + ry * ry) * v + (ry * rz - rx) * w);
        q.z = m * ((rx * rz - ry) * u + (rx + ry * rz) * v + (1.0 + rz * rz) * w);
    }
    h = FromGeocentric(lonlat, q, to);
}

struct Delta {
    double phi, lam, h;
};

// Changes of latitude, longitude (radians) and height at a Greenwich-based
// point on the source ellipsoid. Both directions evaluate the source
// ellipsoid at the input point; backward negates every parameter, and the
// formulas are linear in them, so the change simply changes sign.
Delta Molodensky(const ZrDatumShift& s, double lam, double phi, int forward, bool abridged) {
    const double sinPhi = std::sin(phi), cosPhi = std::cos(phi);
    const double sinLam = std::sin(lam), cosLam = std::cos(lam);
    const double w2 = 1.0 - s.esSrc * sinPhi * sinPhi;
    const double w = std::sqrt(w2);
    const double n = s.aSrc / w;                                            // prime-vertical radius
    const double m = s.aSrc * (1.0 - s.esSrc) / std::sqrt(std::pow(w2, 3)); // meridian radius
    const double horizontal = s.dx * cosLam + s.dy * sinLam;
    Delta d;
    if (abridged) {
        d.phi = ((2.0 * sinPhi * (s.fSrc * s.da + s.aSrc * s.df) + s.dz) * cosPhi - horizontal * sinPhi) / m;
        d.lam = (s.dy * cosLam - s.dx * sinLam) / n / cosPhi;
        d.h = 0.0;
    } else {
        const double oneMinusF = 1.0 - s.fSrc;
        d.phi = ((s.df * (m / oneMinusF + n * oneMinusF) * sinPhi + s.dz) * cosPhi - horizontal * sinPhi +
                 s.da * s.esSrc * sinPhi * cosPhi / w) /
                m;
        d.lam = (s.dy * cosLam - s.dx * sinLam) / (n * cosPhi);
        d.h =
            horizontal * cosPhi + s.dz * sinPhi - w * s.da + s.aSrc * oneMinusF * s.df * sinPhi * sinPhi / w;
    }
    if (!forward) {
        d.phi = -d.phi;
        d.lam = -d.lam;
        d.h = -d.h;
    }
    return d;
}

// Shifts a Greenwich-based (lon, lat) with its height h in place. The
// abridged formula leaves the height alone.
void ShiftGreenwich(const ZrDatumShift& s, CPoint2D& lonlat, double& h, int forward, bool exactInverse) {
    switch (s.method) {
    case 9603:
        Translate(s, lonlat, h, forward);
        return;
    case 9604: {
        const double lam = lonlat.x * kDegToRad, phi = lonlat.y * kDegToRad;
        const Delta d = Molodensky(s, lam, phi, forward, false);
        lonlat.y = (phi + d.phi) * kRadToDeg;
        lonlat.x = (lam + d.lam) * kRadToDeg;
        h += d.h;
        return;
    }
    case 9605: {
        const Delta d = Molodensky(s, lonlat.x * kDegToRad, lonlat.y * kDegToRad, forward, true);
        lonlat.y += d.phi * kRadToDeg;
        lonlat.x += d.lam * kRadToDeg;
        return;
    }
    default:
        if (IsSimilarity(s.method)) Similarity(s, lonlat, h, forward, exactInverse);
        return;
    }
}

void Shift(const ZrDatumShift& s, CPoint2D& lonlat, double& h, int forward, bool exactInverse) {
    if (!ZrIsDatumShiftMethod(s.method)) return;
    const double pmFrom = forward ? s.pmSrc : s.pmDes;
    const double pmTo = forward ? s.pmDes : s.pmSrc;
    if (pmFrom == 0.0 && pmTo == 0.0) {
        ShiftGreenwich(s, lonlat, h, forward, exactInverse);
        return;
    }
    // Back on the destination's meridian the longitude is kept in [-180, 180].
    lonlat.x += pmFrom;
    ShiftGreenwich(s, lonlat, h, forward, exactInverse);
    lonlat.x = WrapLongitude(lonlat.x - pmTo);
}
} // namespace

int ZrIsDatumShiftMethod(long method) {
    return method == 9603 || method == 9604 || method == 9605 || IsSimilarity(method) ? 1 : 0;
}

double ZrShiftGetW(double latDeg, double es) {
    const double sinPhi = std::sin(latDeg * kDegToRad);
    return std::sqrt(1.0 - es * sinPhi * sinPhi);
}

void ZrShiftLP2XYZ(const CPoint2D& lonlat, CPoint3D& xyz, double a, double es) {
    const double lam = lonlat.x * kDegToRad, phi = lonlat.y * kDegToRad;
    const double n = a / ZrShiftGetW(lonlat.y, es);
    xyz.x = n * std::cos(phi) * std::cos(lam);
    xyz.y = n * std::cos(phi) * std::sin(lam);
    xyz.z = n * (1.0 - es) * std::sin(phi);
}

void ZrShiftXYZ2LP(CPoint2D& lonlat, const CPoint3D& xyz, double a, double f, double es) {
    lonlat.x = std::atan2(xyz.y, xyz.x) * kRadToDeg;
    const double p = std::sqrt(xyz.x * xyz.x + xyz.y * xyz.y);
    if (p == 0.0) {
        // On the polar axis Bowring's step divides by zero and its sign flips
        // the north pole to the south; the latitude is plain here.
        lonlat.y = xyz.z > 0.0 ? 90.0 : (xyz.z < 0.0 ? -90.0 : 0.0);
        return;
    }
    const double r = std::sqrt(xyz.x * xyz.x + xyz.y * xyz.y + xyz.z * xyz.z);
    const double oneMinusF = 1.0 - f;
    // Parametric latitude estimate, then one step to the geodetic latitude.
    const double u = std::atan((xyz.z / p) * (oneMinusF + a * es / r));
    const double sinU = std::sin(u), cosU = std::cos(u);
    const double num = es * a * sinU * sinU * sinU + oneMinusF * xyz.z;
    const double den = oneMinusF * (p - es * a * cosU * cosU * cosU);
    lonlat.y = std::atan(num / den) * kRadToDeg;
}

void ZrShiftDatum(const ZrDatumShift& shift, CPoint2D& pt, int forward) {
    Clamp(pt);
    double h = 0.0;
    Shift(shift, pt, h, forward, false);
}

void ZrShiftDatum(const ZrDatumShift& shift, CPoint3D& pt, int forward) {
    CPoint2D lonlat(pt.x, pt.y);
    double h = pt.z;
    Shift(shift, lonlat, h, forward, true);
    pt.x = lonlat.x;
    pt.y = lonlat.y;
    pt.z = h;
}
