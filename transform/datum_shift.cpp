// Datum shifts of single points: geocentric translation, the standard and the
// abridged Molodensky formulas, and the seven-parameter similarity in both
// rotation conventions.
#include "transform/ZrDatumShift.h"

#include "geodesy/ZrPJMath.h"
#include "model/ZrPJTypes.h"

#include <cmath>

namespace {
constexpr double kDegToRad = CZrPJMath::kDegToRad;
constexpr double kRadToDeg = CZrPJMath::kRadToDeg;

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
    return method == PJTM_POSITION_VECTOR || method == PJTM_POSITION_VECTOR_ALT;
}
bool IsSimilarity(long method) {
    return IsPositionVector(method) || method == PJTM_COORDINATE_FRAME || method == PJTM_COORDINATE_FRAME_ALT;
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

// The geocentric methods are horizontal datum shifts: a point enters the
// geocentric frame on its ellipsoid (height 0) and leaves it at the foot of
// the normal on the other ellipsoid; the height it gains there (tens of
// metres) is dropped. A host's z is usually an elevation above the geoid,
// which such a shift does not change, so it is neither used nor touched.
void ToGeocentric(const CPoint2D& lonlatDeg, CPoint3D& xyz, const Side& side) {
    CZrPJMath::LP2XYZ(CPoint2D(lonlatDeg.x * kDegToRad, lonlatDeg.y * kDegToRad), xyz, side.a, side.es);
}

void FromGeocentric(CPoint2D& lonlatDeg, const CPoint3D& xyz, const Side& side) {
    if (xyz.x == 0.0 && xyz.y == 0.0) {
        // On the polar axis Bowring's step divides by zero; the latitude is
        // plain here (and keeps its sign: the north pole stays north).
        lonlatDeg.x = std::atan2(xyz.y, xyz.x) * kRadToDeg;
        lonlatDeg.y = xyz.z > 0.0 ? 90.0 : (xyz.z < 0.0 ? -90.0 : 0.0);
        return;
    }
    // Bowring's single step: within nanometres of the exact inversion for
    // points within kilometres of the ellipsoid, which is all a shift yields.
    CPoint3D lph = xyz;
    CZrPJMath::XYZ2LPH2(lph, side.a, side.a * (1.0 - side.f), side.es);
    lonlatDeg.x = lph.x * kRadToDeg;
    lonlatDeg.y = lph.y * kRadToDeg;
}

// Geocentric translation of a Greenwich-based point from one ellipsoid to the other.
void Translate(const ZrDatumShift& s, CPoint2D& lonlat, int forward) {
    const Side from = forward ? SourceSide(s) : DestinationSide(s);
    const Side to = forward ? DestinationSide(s) : SourceSide(s);
    CPoint3D xyz;
    ToGeocentric(lonlat, xyz, from);
    const double sign = forward ? 1.0 : -1.0;
    xyz.x += sign * s.dx;
    xyz.y += sign * s.dy;
    xyz.z += sign * s.dz;
    FromGeocentric(lonlat, xyz, to);
}

// Seven-parameter similarity, linearised in the rotations. The forward
// direction is the EPSG coordinate-frame formula (position vector: rotations
// negated). Backward, 2-D points take EPSG's reversal, the forward formula
// with every parameter negated, as they always have; 3-D points take the
// exact inverse of the forward matrix, so that a round trip returns the start
// point (the reversal misses it by the scale times the translation, 1.4 cm
// with OSGB 1936's 20 ppm and 700 m).
void Similarity(const ZrDatumShift& s, CPoint2D& lonlat, int forward, bool exactInverse) {
    const Side from = forward ? SourceSide(s) : DestinationSide(s);
    const Side to = forward ? DestinationSide(s) : SourceSide(s);
    const double sign = IsPositionVector(s.method) ? -1.0 : 1.0;
    const double rx = sign * s.rx, ry = sign * s.ry, rz = sign * s.rz;
    CPoint3D p;
    ToGeocentric(lonlat, p, from);
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
    FromGeocentric(lonlat, q, to);
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

// Shifts a Greenwich-based (lon, lat) in place; returns the height change,
// which only Molodensky's formula gives (0 for every other method).
double ShiftGreenwich(const ZrDatumShift& s, CPoint2D& lonlat, int forward, bool exactInverse) {
    switch (s.method) {
    case PJTM_GEOCENTRIC_TRANSLATION:
        Translate(s, lonlat, forward);
        return 0.0;
    case PJTM_MOLODENSKY: {
        const double lam = lonlat.x * kDegToRad, phi = lonlat.y * kDegToRad;
        const Delta d = Molodensky(s, lam, phi, forward, false);
        lonlat.y = (phi + d.phi) * kRadToDeg;
        lonlat.x = (lam + d.lam) * kRadToDeg;
        return d.h;
    }
    case PJTM_ABRIDGED_MOLODENSKY: {
        const Delta d = Molodensky(s, lonlat.x * kDegToRad, lonlat.y * kDegToRad, forward, true);
        lonlat.y += d.phi * kRadToDeg;
        lonlat.x += d.lam * kRadToDeg;
        return 0.0;
    }
    default:
        if (IsSimilarity(s.method)) Similarity(s, lonlat, forward, exactInverse);
        return 0.0;
    }
}

double Shift(const ZrDatumShift& s, CPoint2D& lonlat, int forward, bool exactInverse) {
    if (!ZrIsDatumShiftMethod(s.method)) return 0.0;
    const double pmFrom = forward ? s.pmSrc : s.pmDes;
    const double pmTo = forward ? s.pmDes : s.pmSrc;
    if (pmFrom == 0.0 && pmTo == 0.0) return ShiftGreenwich(s, lonlat, forward, exactInverse);
    // Back on the destination's meridian the longitude is kept in [-180, 180].
    lonlat.x += pmFrom;
    const double dh = ShiftGreenwich(s, lonlat, forward, exactInverse);
    lonlat.x = WrapLongitude(lonlat.x - pmTo);
    return dh;
}
} // namespace

int ZrIsDatumShiftMethod(long method) {
    return method == PJTM_GEOCENTRIC_TRANSLATION || method == PJTM_MOLODENSKY ||
                   method == PJTM_ABRIDGED_MOLODENSKY || IsSimilarity(method)
               ? 1
               : 0;
}

double ZrShiftGetW(double latDeg, double es) {
    return CZrPJMath::GetW(latDeg * kDegToRad, es);
}

void ZrShiftLP2XYZ(const CPoint2D& lonlat, CPoint3D& xyz, double a, double es) {
    ToGeocentric(lonlat, xyz, Side{a, 0.0, es, 0.0});
}

void ZrShiftXYZ2LP(CPoint2D& lonlat, const CPoint3D& xyz, double a, double f, double es) {
    FromGeocentric(lonlat, xyz, Side{a, f, es, 0.0});
}

void ZrShiftDatum(const ZrDatumShift& shift, CPoint2D& pt, int forward) {
    Clamp(pt);
    Shift(shift, pt, forward, false);
}

void ZrShiftDatum(const ZrDatumShift& shift, CPoint3D& pt, int forward) {
    CPoint2D lonlat(pt.x, pt.y);
    const double dh = Shift(shift, lonlat, forward, true);
    pt.x = lonlat.x;
    pt.y = lonlat.y;
    if (shift.method == PJTM_MOLODENSKY) pt.z += dh;
}
