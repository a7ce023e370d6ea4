// Datum operations as chains of steps, and the per-point choice among them.
#include "transform/ZrDatumOperation.h"

#include "geodesy/ZrPJMath.h"
#include "transform/ZrGrid.h"

#include <cmath>

namespace {
constexpr double kDegToRad = CZrPJMath::kDegToRad;
constexpr double kRadToDeg = CZrPJMath::kRadToDeg;
constexpr double kArcSecondRad = 4.84813681109536e-06;

double Wrap180(double lon) {
    if (lon < -180.0) return lon + 360.0;
    if (lon > 180.0) return lon - 360.0;
    return lon;
}

// Geodetic (degrees, height) on one ellipsoid to geocentric metres and back.
// The height is kept: a chain through a hub system hands the next step the
// height the last one gave, which moves the next result by up to a
// millimetre where rotations reach arc-seconds.
void ToGeocentric(const CPoint3D& lph, const ZrOperationEllipsoid& e, CPoint3D& xyz) {
    const double es = (2.0 - e.f) * e.f;
    const double lam = (lph.x + e.pm) * kDegToRad, phi = lph.y * kDegToRad;
    const double sinPhi = std::sin(phi), cosPhi = std::cos(phi);
    const double n = e.a / std::sqrt(1.0 - es * sinPhi * sinPhi); // prime-vertical radius
    xyz.x = (n + lph.z) * cosPhi * std::cos(lam);
    xyz.y = (n + lph.z) * cosPhi * std::sin(lam);
    xyz.z = (n * (1.0 - es) + lph.z) * sinPhi;
}

// Bowring's formula as the start, then two rounds of tan(phi) = (z + e^2 N
// sin(phi)) / p, each of which cuts the error by e^2 (1/150): the single
// Bowring step alone left 2 mm at the 50 m heights a Helmert gives, which
// PROJ's exact inversion does not.
void FromGeocentric(const CPoint3D& xyz, const ZrOperationEllipsoid& e, CPoint3D& lph) {
    const double es = (2.0 - e.f) * e.f;
    const double b = e.a * (1.0 - e.f);
    const double p = std::hypot(xyz.x, xyz.y);
    double phi;
    if (p == 0.0) {
        phi = xyz.z >= 0.0 ? M_PI / 2 : -M_PI / 2;
    } else {
        const double ep2 = es / (1.0 - es); // second eccentricity squared
        const double theta = std::atan2(xyz.z * e.a, p * b);
        const double st = std::sin(theta), ct = std::cos(theta);
        phi = std::atan2(xyz.z + ep2 * b * st * st * st, p - es * e.a * ct * ct * ct);
        for (int round = 0; round < 2; ++round) {
            const double sinPhi = std::sin(phi);
            const double n = e.a / std::sqrt(1.0 - es * sinPhi * sinPhi);
            phi = std::atan2(xyz.z + es * n * sinPhi, p);
        }
    }
    const double sinPhi = std::sin(phi), cosPhi = std::cos(phi);
    // The height along the normal, well conditioned at the poles too.
    lph.z = p * cosPhi + xyz.z * sinPhi - e.a * std::sqrt(1.0 - es * sinPhi * sinPhi);
    lph.x = p == 0.0 ? Wrap180(-e.pm) : Wrap180(std::atan2(xyz.y, xyz.x) * kRadToDeg - e.pm);
    lph.y = phi * kRadToDeg;
}

// The Helmert with EPSG's linearised rotation matrix (position vector):
// R = [1 -rz ry; rz 1 -rx; -ry rx 1]. Backward applies the transpose, as
// PROJ's helmert does, rather than the exact inverse; the two differ by the
// square of the rotation times the radius, 0.2 mm at one arc-second.
void Helmert(const ZrOperationStep& s, CPoint3D& pt, int forward) {
    const double rx = s.rx * kArcSecondRad, ry = s.ry * kArcSecondRad, rz = s.rz * kArcSecondRad;
    const double k = 1.0 + s.ds * 1e-6;
    CPoint3D p, q;
    ToGeocentric(pt, forward ? s.from : s.to, p);
    // Molodensky-Badekas turns and scales about its evaluation point P:
    // X' = T + P + k R (X - P); a plain Helmert has P = 0.
    if (forward) {
        const double x = p.x - s.px, y = p.y - s.py, z = p.z - s.pz;
        q.x = k * (x - rz * y + ry * z) + s.tx + s.px;
        q.y = k * (rz * x + y - rx * z) + s.ty + s.py;
        q.z = k * (-ry * x + rx * y + z) + s.tz + s.pz;
    } else {
        const double u = (p.x - s.tx - s.px) / k, v = (p.y - s.ty - s.py) / k, w = (p.z - s.tz - s.pz) / k;
        q.x = u + rz * v - ry * w + s.px;
        q.y = -rz * u + v + rx * w + s.py;
        q.z = ry * u - rx * v + w + s.pz;
    }
    FromGeocentric(q, forward ? s.to : s.from, pt);
}

void ApplyStep(const ZrOperationStep& s, CPoint3D& pt, int direction) {
    const int forward = s.inverse ? !direction : direction;
    switch (s.kind) {
    case ZR_STEP_DATUM_SHIFT:
        ZrShiftDatum(s.shift, pt, forward);
        return;
    case ZR_STEP_GRID: {
        // EPSG's grids all join Greenwich systems; the height passes.
        CPoint2D p(pt.x, pt.y);
        if (s.grid) forward ? s.grid->ForwardDeg(p) : s.grid->InverseDeg(p);
        pt.x = p.x;
        pt.y = p.y;
        return;
    }
    case ZR_STEP_HELMERT:
        Helmert(s, pt, forward);
        return;
    case ZR_STEP_OFFSET: {
        const double sign = forward ? 1.0 : -1.0;
        pt.x = Wrap180(pt.x + sign * s.dlon);
        pt.y += sign * s.dlat;
        return;
    }
    case ZR_STEP_IDENTITY: {
        // Same longitude from Greenwich; the meridians may differ.
        const double pmFrom = forward ? s.from.pm : s.to.pm, pmTo = forward ? s.to.pm : s.from.pm;
        if (pmFrom != pmTo) pt.x = Wrap180(pt.x + pmFrom - pmTo);
        return;
    }
    }
}
} // namespace

bool ZrDatumOperation::Append(const ZrOperationStep& step) {
    if (stepCount >= kZrMaxOperationSteps) return false;
    steps[stepCount++] = step;
    return true;
}

bool ZrDatumOperation::Contains(double lon, double lat) const {
    if (!hasArea) return true;
    if (!(lat >= south && lat <= north)) return false;
    if (west <= east) return lon >= west && lon <= east;
    return lon >= west || lon <= east;
}

void ZrApplyOperation(const ZrDatumOperation& op, CPoint3D& pt, int forward) {
    if (forward) {
        for (int i = 0; i < op.stepCount; ++i)
            ApplyStep(op.steps[i], pt, 1);
    } else {
        for (int i = op.stepCount - 1; i >= 0; --i)
            ApplyStep(op.steps[i], pt, 0);
    }
}

int CZrPJOperationChoice::Pick(double lon, double lat) const {
    for (size_t i = 0; i < m_ops.size(); ++i)
        if (m_ops[i].Contains(lon, lat)) return static_cast<int>(i);
    return m_ops.empty() ? -1 : 0;
}

int CZrPJOperationChoice::Apply(CPoint3D& pt, int forward) const {
    const int i = Pick(pt.x, pt.y);
    if (i >= 0) ZrApplyOperation(m_ops[static_cast<size_t>(i)], pt, forward);
    return i;
}

int CZrPJOperationChoice::Apply(CPoint2D& pt, int forward) const {
    // A 2-D point lies on its ellipsoid; the height the chain gives is dropped.
    CPoint3D p(pt.x, pt.y, 0.0);
    const int i = Apply(p, forward);
    pt.x = p.x;
    pt.y = p.y;
    return i;
}
