// Datum operations as chains of steps, and the per-point choice among them.
#include "transform/ZrDatumOperation.h"

#include "model/ZrPJCoordSys.h"

#include "geodesy/ZrPJMath.h"
#include "transform/ZrAffineParametric.h"
#include "transform/ZrGrid.h"

#include <algorithm>
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
void ToGeocentric(const CPoint3D& lph, const ZrOperationEllipsoid& e, const ZrOperationStep::Derived& d,
                  CPoint3D& xyz) {
    const double es = d.es;
    const double lam = (lph.x + e.pm) * kDegToRad, phi = lph.y * kDegToRad;
    const double sinPhi = std::sin(phi), cosPhi = std::cos(phi);
    const double n = e.a / std::sqrt(1.0 - es * sinPhi * sinPhi); // prime-vertical radius
    xyz.x = (n + lph.z) * cosPhi * std::cos(lam);
    xyz.y = (n + lph.z) * cosPhi * std::sin(lam);
    xyz.z = (n * (1.0 - es) + lph.z) * sinPhi;
}

// Bowring's formula (1976): one step from the parametric latitude, within
// nanometres of the exact inversion for points within kilometres of the
// ellipsoid, which is all a datum operation yields. Its angles are taken as
// ratios (no sine or cosine is called): the latitude's sine and cosine come
// from the same numerator and denominator that give the latitude.
void FromGeocentric(const CPoint3D& xyz, const ZrOperationEllipsoid& e, const ZrOperationStep::Derived& d,
                    CPoint3D& lph) {
    const double es = d.es, b = d.b, ep2 = d.ep2;
    // Plain square roots rather than hypot: geocentric metres neither
    // overflow nor underflow, and hypot's care costs a third of the step.
    const double p = std::sqrt(xyz.x * xyz.x + xyz.y * xyz.y);
    double sinPhi, cosPhi;
    if (p == 0.0) {
        sinPhi = xyz.z >= 0.0 ? 1.0 : -1.0;
        cosPhi = 0.0;
    } else {
        // tan(theta) = z a / (p b), theta the parametric latitude.
        const double t = xyz.z * e.a / (p * b);
        const double ct = 1.0 / std::sqrt(1.0 + t * t), st = t * ct;
        const double num = xyz.z + ep2 * b * st * st * st;
        const double den = p - es * e.a * ct * ct * ct;
        const double invR = 1.0 / std::sqrt(num * num + den * den);
        sinPhi = num * invR;
        cosPhi = den * invR;
    }
    // The height along the normal, well conditioned at the poles too.
    lph.z = p * cosPhi + xyz.z * sinPhi - e.a * std::sqrt(1.0 - es * sinPhi * sinPhi);
    lph.x = p == 0.0 ? Wrap180(-e.pm) : Wrap180(std::atan2(xyz.y, xyz.x) * kRadToDeg - e.pm);
    lph.y = std::atan2(sinPhi, cosPhi) * kRadToDeg;
}

// The seven values a Helmert applies to one point: the stated ones, or for a
// time-dependent step those at the point's epoch.
struct HelmertValues {
    double tx, ty, tz, rx, ry, rz, k, invK;
};

HelmertValues ValuesAt(const ZrOperationStep& s, double epoch) {
    if (!s.timeDependent || std::isnan(epoch))
        return {s.tx, s.ty, s.tz, s.rxRad, s.ryRad, s.rzRad, s.k, s.invK};
    const double dt = epoch - s.refEpoch;
    const double k = 1.0 + (s.ds + s.dds * dt) * 1e-6;
    return {s.tx + s.dtx * dt,
            s.ty + s.dty * dt,
            s.tz + s.dtz * dt,
            (s.rx + s.drx * dt) * kArcSecondRad,
            (s.ry + s.dry * dt) * kArcSecondRad,
            (s.rz + s.drz * dt) * kArcSecondRad,
            k,
            1.0 / k};
}

// The Helmert with EPSG's linearised rotation matrix (position vector):
// R = [1 -rz ry; rz 1 -rx; -ry rx 1], on geocentric metres. Backward applies
// the transpose, as PROJ's helmert does, rather than the exact inverse; the
// two differ by the square of the rotation times the radius, 0.2 mm at one
// arc-second.
void HelmertGeocentric(const ZrOperationStep& s, const CPoint3D& p, CPoint3D& q, int forward, double epoch) {
    const HelmertValues h = ValuesAt(s, epoch);
    const double rx = h.rx, ry = h.ry, rz = h.rz, k = h.k;
    // Molodensky-Badekas turns and scales about its evaluation point P:
    // X' = T + P + k R (X - P); a plain Helmert has P = 0.
    if (forward) {
        const double x = p.x - s.px, y = p.y - s.py, z = p.z - s.pz;
        q.x = k * (x - rz * y + ry * z) + h.tx + s.px;
        q.y = k * (rz * x + y - rx * z) + h.ty + s.py;
        q.z = k * (-ry * x + rx * y + z) + h.tz + s.pz;
    } else {
        const double u = (p.x - h.tx - s.px) * h.invK, v = (p.y - h.ty - s.py) * h.invK,
                     w = (p.z - h.tz - s.pz) * h.invK;
        q.x = u + rz * v - ry * w + s.px;
        q.y = -rz * u + v + rx * w + s.py;
        q.z = ry * u - rx * v + w + s.pz;
    }
}

// The ellipsoid a step reads its points on, and the one it gives them on.
const ZrOperationEllipsoid& EntryOf(const ZrOperationStep& s, int forward) {
    return forward ? s.from : s.to;
}
const ZrOperationStep::Derived& EntryDerivedOf(const ZrOperationStep& s, int forward) {
    return forward ? s.fromDerived : s.toDerived;
}
const ZrOperationEllipsoid& ExitOf(const ZrOperationStep& s, int forward) {
    return forward ? s.to : s.from;
}
const ZrOperationStep::Derived& ExitDerivedOf(const ZrOperationStep& s, int forward) {
    return forward ? s.toDerived : s.fromDerived;
}

void Helmert(const ZrOperationStep& s, CPoint3D& pt, int forward, double epoch) {
    CPoint3D p, q;
    ToGeocentric(pt, EntryOf(s, forward), EntryDerivedOf(s, forward), p);
    HelmertGeocentric(s, p, q, forward, epoch);
    FromGeocentric(q, ExitOf(s, forward), ExitDerivedOf(s, forward), pt);
}

inline void ApplyStep(const ZrOperationStep& s, CPoint3D& pt, int direction, double epoch) {
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
        Helmert(s, pt, forward, epoch);
        return;
    case ZR_STEP_OFFSET: {
        const double sign = forward ? 1.0 : -1.0;
        pt.x = Wrap180(pt.x + sign * s.dlon);
        pt.y += sign * s.dlat;
        pt.z += sign * s.dh;
        return;
    }
    case ZR_STEP_AFFINE:
        if (s.affine) s.affine->Apply(pt, forward);
        return;
    case ZR_STEP_IDENTITY: {
        // Same longitude from Greenwich; the meridians may differ.
        const double pmFrom = forward ? s.from.pm : s.to.pm, pmTo = forward ? s.to.pm : s.from.pm;
        if (pmFrom != pmTo) pt.x = Wrap180(pt.x + pmFrom - pmTo);
        return;
    }
    }
}
} // namespace

namespace {
ZrOperationStep::Derived Derive(const ZrOperationEllipsoid& e) {
    ZrOperationStep::Derived d;
    d.es = (2.0 - e.f) * e.f;
    d.b = e.a * (1.0 - e.f);
    d.ep2 = d.es / (1.0 - d.es); // the second eccentricity squared
    return d;
}
} // namespace

bool ZrDatumOperation::Append(const ZrOperationStep& step) {
    if (stepCount >= kZrMaxOperationSteps) return false;
    ZrOperationStep& s = steps[stepCount++];
    s = step;
    s.fromDerived = Derive(s.from);
    s.toDerived = Derive(s.to);
    s.rxRad = s.rx * kArcSecondRad;
    s.ryRad = s.ry * kArcSecondRad;
    s.rzRad = s.rz * kArcSecondRad;
    s.k = 1.0 + s.ds * 1e-6;
    s.invK = 1.0 / s.k;
    return true;
}

bool ZrDatumOperation::Contains(double lon, double lat) const {
    if (!hasArea) return true;
    if (!(lat >= south && lat <= north)) return false;
    if (west <= east) return lon >= west && lon <= east;
    return lon >= west || lon <= east;
}

void ZrApplyOperation(const ZrDatumOperation& op, CPoint3D& pt, int forward, double epoch) {
    if (op.stepCount == 1) {
        ApplyStep(op.steps[0], pt, forward, epoch);
        return;
    }
    // Consecutive Helmerts (a chain through an intermediate system) stay in
    // geocentric metres between them, as PROJ's pipeline does once it drops
    // the round trip through the intermediate ellipsoid: the same result
    // within nanometres, at one conversion each way for the whole run.
    CPoint3D xyz;
    const ZrOperationStep* open = nullptr; // the Helmert whose geocentric result xyz holds
    int openForward = 1;
    for (int k = 0; k < op.stepCount; ++k) {
        const ZrOperationStep& s = op.steps[forward ? k : op.stepCount - 1 - k];
        const int way = s.inverse ? !forward : forward;
        if (s.kind == ZR_STEP_HELMERT) {
            CPoint3D in = xyz;
            if (!open) ToGeocentric(pt, EntryOf(s, way), EntryDerivedOf(s, way), in);
            HelmertGeocentric(s, in, xyz, way, epoch);
            open = &s;
            openForward = way;
            continue;
        }
        if (open) {
            FromGeocentric(xyz, ExitOf(*open, openForward), ExitDerivedOf(*open, openForward), pt);
            open = nullptr;
        }
        ApplyStep(s, pt, forward, epoch);
    }
    if (open) FromGeocentric(xyz, ExitOf(*open, openForward), ExitDerivedOf(*open, openForward), pt);
}

bool CZrPJOperationChoice::TimeDependent() const {
    for (const ZrDatumOperation& op : m_ops)
        for (int i = 0; i < op.stepCount; ++i)
            if (op.steps[i].timeDependent) return true;
    return false;
}

namespace {
bool NeedsGrid(const ZrDatumOperation& op) {
    for (int i = 0; i < op.stepCount; ++i)
        if (op.steps[i].kind == ZR_STEP_GRID) return true;
    return false;
}


// The image of an area's edges, 21 points each as PROJ steps them, on a
// projected side; inactive where no edge point projects.
void ProjectedBox(const CZrPJCoordSys& cs, const ZrDatumOperation& op, double& xmin, double& ymin,
                  double& xmax, double& ymax, bool& active) {
    constexpr int kSteps = 20;
    active = false;
    xmin = ymin = HUGE_VAL;
    xmax = ymax = -HUGE_VAL;
    const double east = op.west > op.east ? op.east + 360.0 : op.east;
    for (int edge = 0; edge < 4; ++edge)
        for (int j = 0; j <= kSteps; ++j) {
            const double t = static_cast<double>(j) / kSteps;
            CPoint2D p(edge < 2 ? op.west + t * (east - op.west) : (edge == 2 ? op.west : east),
                       edge == 0 ? op.south : edge == 1 ? op.north : op.south + t * (op.north - op.south));
            if (p.x > 180.0) p.x -= 360.0;
            if (!cs.Forward(&p, 1) || !std::isfinite(p.x) || !std::isfinite(p.y) || p.x == HUGE_VAL) continue;
            xmin = std::min(xmin, p.x);
            ymin = std::min(ymin, p.y);
            xmax = std::max(xmax, p.x);
            ymax = std::max(ymax, p.y);
            active = true;
        }
}
} // namespace

void CZrPJOperationChoice::SetSides(const CZrPJCoordSys& src, const CZrPJCoordSys& des) {
    const CZrPJCoordSys* systems[2] = {&src, &des};
    for (int k = 0; k < 2; ++k) {
        const CZrPJCoordSys& cs = *systems[k];
        Side& side = m_sides[static_cast<size_t>(k)];
        side = Side();
        const bool projected = cs.GetType() != PJ_CS_EARTH && cs.GetProjection().GetType() != -1;
        if (!projected || cs.GetGCS().GetPrimeMeridian().GetLongitude() != 0.0) continue;
        side.cs = std::make_shared<const CZrPJCoordSys>(cs);
        side.areas.resize(m_ops.size());
        for (size_t i = 0; i < m_ops.size(); ++i) {
            ProjectedArea& a = side.areas[i];
            if (!m_ops[i].hasArea) continue;
            ProjectedBox(cs, m_ops[i], a.xmin, a.ymin, a.xmax, a.ymax, a.active);
            if (!a.active) continue;
            // The longitudes and latitudes the projected box may hold: its
            // edges taken back, widened by a tenth of a degree for the bulge
            // of a projected straight edge between two steps.
            constexpr int kSteps = 40;
            a.west = a.south = HUGE_VAL;
            a.east = a.north = -HUGE_VAL;
            for (int edge = 0; edge < 4; ++edge)
                for (int j = 0; j <= kSteps; ++j) {
                    const double t = static_cast<double>(j) / kSteps;
                    CPoint2D p(edge < 2 ? a.xmin + t * (a.xmax - a.xmin) : (edge == 2 ? a.xmin : a.xmax),
                               edge == 0   ? a.ymin
                               : edge == 1 ? a.ymax
                                           : a.ymin + t * (a.ymax - a.ymin));
                    if (!cs.Inverse(&p, 1) || !std::isfinite(p.x) || !std::isfinite(p.y) || p.x == HUGE_VAL) {
                        // Part of the box lies beyond the projection's reach:
                        // hold the point against the box whatever its place.
                        a.west = -HUGE_VAL, a.east = HUGE_VAL, a.south = -HUGE_VAL, a.north = HUGE_VAL;
                        edge = 4;
                        break;
                    }
                    a.west = std::min(a.west, p.x - 0.1);
                    a.east = std::max(a.east, p.x + 0.1);
                    a.south = std::min(a.south, p.y - 0.1);
                    a.north = std::max(a.north, p.y + 0.1);
                }
            // A box reaching a pole or round the globe holds every longitude.
            if (a.east - a.west > 350.0 || a.north > 89.0 || a.south < -89.0) {
                a.west = -HUGE_VAL;
                a.east = HUGE_VAL;
            }
        }
    }
}

// Whether the point (lon, lat on the side it comes from), outside operation
// i's area, lies in the projected box PROJ holds it against; projected is
// computed once, when first needed.
bool CZrPJOperationChoice::Holds(size_t i, const Side& side, double lon, double lat, CPoint2D& projected,
                                 bool& done) const {
    if (!side.areas[i].active) return false;
    const ProjectedArea& a = side.areas[i];
    if (lon < a.west || lon > a.east || lat < a.south || lat > a.north) return false;
    if (!done) {
        done = true;
        projected = CPoint2D(lon, lat);
        if (!side.cs->Forward(&projected, 1)) projected = CPoint2D(HUGE_VAL, HUGE_VAL);
    }
    return projected.x >= a.xmin && projected.x <= a.xmax && projected.y >= a.ymin && projected.y <= a.ymax;
}

void CZrPJOperationChoice::Add(const ZrDatumOperation& op) {
    m_ops.push_back(op);
    m_areas.push_back({op.south, op.west, op.north, op.east, op.accuracy, HUGE_VAL, op.hasArea, op.offshore});
    for (size_t i = m_areas.size(); i-- > 0;) {
        const double own = m_areas[i].accuracy >= 0 ? m_areas[i].accuracy : HUGE_VAL;
        const double later = i + 1 < m_areas.size() ? m_areas[i + 1].bestFrom : HUGE_VAL;
        m_areas[i].bestFrom = std::min(own, later);
    }
}

bool CZrPJOperationChoice::PickArea::Contains(double lon, double lat) const {
    if (!hasArea) return true;
    if (!(lat >= south && lat <= north)) return false;
    if (west <= east) return lon >= west && lon <= east;
    return lon >= west || lon <= east;
}

int CZrPJOperationChoice::Pick(double lon, double lat, int forward) const {
    // The common case first: the first operation holds the point and nothing
    // after it states a smaller accuracy figure.
    if (!m_areas.empty()) {
        const PickArea& first = m_areas[0];
        const double after = m_areas.size() > 1 ? m_areas[1].bestFrom : HUGE_VAL;
        if (first.Contains(lon, lat) && (first.accuracy < 0 || !(after < first.accuracy))) return 0;
    }
    const Side& side = m_sides[forward ? 0 : 1];
    const bool boxes = side.cs != nullptr;
    CPoint2D projected;
    bool done = false;
    int best = -1;
    double held = 0.0;
    for (size_t i = 0; i < m_areas.size(); ++i) {
        const PickArea& op = m_areas[i];
        // Nothing from here on states a smaller figure than the one held (or
        // the held one states none, which nothing displaces).
        if (best >= 0 && (held < 0 || !(op.bestFrom < held))) break;
        if (!op.Contains(lon, lat) && !(boxes && Holds(i, side, lon, lat, projected, done))) continue;
        if (best < 0 || (op.accuracy >= 0 && op.accuracy < held && !op.offshore)) {
            best = static_cast<int>(i);
            held = op.accuracy;
        }
    }
    if (best >= 0) return best;
    for (size_t i = 0; i < m_ops.size(); ++i)
        if (!NeedsGrid(m_ops[i])) return static_cast<int>(i);
    return m_ops.empty() ? -1 : 0;
}

int CZrPJOperationChoice::Apply(CPoint3D& pt, int forward, double epoch) const {
    const int i = Pick(pt.x, pt.y, forward);
    if (i >= 0) ZrApplyOperation(m_ops[static_cast<size_t>(i)], pt, forward, epoch);
    return i;
}

int CZrPJOperationChoice::Apply(CPoint2D& pt, int forward, double epoch) const {
    // A 2-D point lies on its ellipsoid; the height the chain gives is dropped.
    CPoint3D p(pt.x, pt.y, 0.0);
    const int i = Apply(p, forward, epoch);
    pt.x = p.x;
    pt.y = p.y;
    return i;
}
