#include "geodesy/ZrGeodesic.h"

#include "model/ZrPJCoordSys.h"

#include <GeographicLib/Geodesic.hpp>
#include <GeographicLib/PolygonArea.hpp>

#include <cmath>
#include <cstdio>
#include <exception>
#include <string>

namespace {

// How far a projected point may come back from its own inverse (or a point
// reached from its own projection): more than any kind's inverse falls short
// of its forward (Robinson's table nodes, about 1 m), far less than a point
// folded over the pole or mapped from the far side of a transverse
// projection, which lands hundreds of kilometres away.
constexpr double kFoldMetres = 10.0;

void Say(CString* reason, const char* text) {
    if (reason) *reason = text;
}

bool IsLatitude(double lat) {
    return std::fabs(lat) <= 90.0;
}

} // namespace

struct CZrGeodesic::Engine {
    Engine(double a, double f) : geodesic(a, f) {}
    GeographicLib::Geodesic geodesic;
};

CZrGeodesic::CZrGeodesic() = default;

CZrGeodesic::CZrGeodesic(const CZrGeodesic& other) {
    *this = other;
}

CZrGeodesic& CZrGeodesic::operator=(const CZrGeodesic& other) {
    if (this == &other) return *this;
    m_geodesic = other.m_geodesic ? std::make_unique<Engine>(*other.m_geodesic) : nullptr;
    m_axis = other.m_axis;
    m_flattening = other.m_flattening;
    m_projected = other.m_projected;
    m_metresPerUnit = other.m_metresPerUnit;
    // The operator's assignment leaves its series behind; CopyAll takes them.
    m_operator.CopyAll(other.m_operator);
    return *this;
}

CZrGeodesic::~CZrGeodesic() = default;

int CZrGeodesic::Set(double axis, double flattening, CString* reason) {
    // Oblate and spherical earths only: the library's ellipsoids have
    // 0 <= f < 1, and the series solution is accurate for terrestrial f.
    if (!(std::isfinite(axis) && axis > 0.0) || !(flattening >= 0.0 && flattening < 1.0)) {
        Say(reason, "the ellipsoid needs a positive semi-major axis and a flattening from 0 to below 1");
        return 0;
    }
    std::unique_ptr<Engine> engine;
    try {
        engine = std::make_unique<Engine>(axis, flattening);
    } catch (const std::exception&) {
        Say(reason, "the ellipsoid cannot carry geodesics");
        return 0;
    }
    m_geodesic = std::move(engine);
    m_axis = axis;
    m_flattening = flattening;
    m_projected = 0;
    m_metresPerUnit = 1.0;
    m_operator.CopyAll(CZrPJOperator());
    return 1;
}

int CZrGeodesic::Set(const CZrPJCoordSys& cs, CString* reason) {
    if (cs.GetType() == 0) {
        Say(reason, "a planar system has no ellipsoid to measure on");
        return 0;
    }
    if (!cs.IsValid()) {
        Say(reason, "the coordinate system is not valid");
        return 0;
    }
    const CZrPJSpheroid spheroid = cs.GetGCS().GetDatum().GetSpheroid();
    CZrGeodesic built;
    if (!built.Set(spheroid.GetAxis(), spheroid.GetFlattening(), reason)) return 0;
    // The same rule as the library's callers use: a system without a
    // projection kind holds longitude/latitude whatever its type.
    if (cs.GetType() != 1 && cs.GetProjection().GetType() != -1) {
        built.m_projected = 1;
        built.m_operator.CopyAll(cs.GetPJOperator());
        const double factor = built.m_operator.GetUnitFactor();
        built.m_metresPerUnit = factor > 0.0 ? built.m_operator.GetDivisor() / factor : 1.0;
    }
    *this = built;
    return 1;
}

int CZrGeodesic::ToGeographic(CPoint2D& pt, CString* reason) const {
    if (!m_geodesic) {
        Say(reason, "the geodesic has no ellipsoid");
        return 0;
    }
    if (!std::isfinite(pt.x) || !std::isfinite(pt.y)) {
        Say(reason, "the point is not finite");
        return 0;
    }
    if (!m_projected) {
        if (!IsLatitude(pt.y)) {
            Say(reason, "the latitude is beyond 90 degrees");
            return 0;
        }
        return 1;
    }
    CPoint2D geo = pt;
    if (!m_operator.Inverse(geo) || !std::isfinite(geo.x) || !IsLatitude(geo.y)) {
        Say(reason, "the projection has no inverse at the point");
        return 0;
    }
    // The kinds clamp or fold what lies outside their domain (a northing
    // past the pole); such a point does not project back onto its input.
    CPoint2D back = geo;
    if (!m_operator.Forward(back) ||
        !(std::hypot(back.x - pt.x, back.y - pt.y) * m_metresPerUnit <= kFoldMetres)) {
        Say(reason, "the point lies outside the projection's domain (its inverse does not map back)");
        return 0;
    }
    pt = geo;
    return 1;
}

int CZrGeodesic::FromGeographic(CPoint2D& pt, CString* reason) const {
    if (!m_geodesic) {
        Say(reason, "the geodesic has no ellipsoid");
        return 0;
    }
    if (!std::isfinite(pt.x) || !IsLatitude(pt.y)) {
        Say(reason, "the longitude/latitude is not a position");
        return 0;
    }
    if (!m_projected) return 1;
    CPoint2D xy = pt;
    if (!m_operator.Forward(xy) || !std::isfinite(xy.x) || !std::isfinite(xy.y)) {
        Say(reason, "the projection does not map the point");
        return 0;
    }
    // The far side of a transverse projection, a series far outside its
    // band: the image exists but its inverse lies elsewhere.
    CPoint2D back = xy;
    double s12 = kFoldMetres + 1.0;
    if (m_operator.Inverse(back) && IsLatitude(back.y))
        m_geodesic->geodesic.Inverse(pt.y, pt.x, back.y, back.x, s12);
    if (!(s12 <= kFoldMetres)) {
        Say(reason, "the projection does not map the point (its image does not map back)");
        return 0;
    }
    pt = xy;
    return 1;
}

int CZrGeodesic::Inverse(const CPoint2D& p1, const CPoint2D& p2, double& azi1, double& azi2, double& distance,
                         CString* reason) const {
    CPoint2D g1 = p1, g2 = p2;
    if (!ToGeographic(g1, reason) || !ToGeographic(g2, reason)) return 0;
    double s12 = 0.0, a1 = 0.0, a2 = 0.0;
    m_geodesic->geodesic.Inverse(g1.y, g1.x, g2.y, g2.x, s12, a1, a2);
    azi1 = a1;
    azi2 = a2;
    distance = s12;
    return 1;
}

int CZrGeodesic::Direct(const CPoint2D& p1, double azi1, double distance, CPoint2D& p2, double& azi2,
                        CString* reason) const {
    if (!std::isfinite(azi1) || !std::isfinite(distance)) {
        Say(reason, "the azimuth and the distance must be finite");
        return 0;
    }
    CPoint2D g1 = p1;
    if (!ToGeographic(g1, reason)) return 0;
    double lat2 = 0.0, lon2 = 0.0, a2 = 0.0;
    m_geodesic->geodesic.Direct(g1.y, g1.x, azi1, distance, lat2, lon2, a2);
    CPoint2D end(lon2, lat2);
    if (!FromGeographic(end, reason)) return 0;
    p2 = end;
    azi2 = a2;
    return 1;
}

int CZrGeodesic::Area(const CPoint2D* vertices, long count, double& perimeter, double& area,
                      CString* reason) const {
    if (!m_geodesic) {
        Say(reason, "the geodesic has no ellipsoid");
        return 0;
    }
    if (!vertices || count < 1) {
        Say(reason, "a polygon needs at least one vertex");
        return 0;
    }
    // The accumulator holds a copy of the solver and a few sums: no heap.
    GeographicLib::PolygonArea polygon(m_geodesic->geodesic);
    for (long i = 0; i < count; ++i) {
        CPoint2D g = vertices[i];
        if (!ToGeographic(g, reason)) {
            if (reason) *reason = CString("vertex ") + std::to_string(i + 1).c_str() + ": " + *reason;
            return 0;
        }
        polygon.AddPoint(g.y, g.x);
    }
    double p = 0.0, s = 0.0;
    // Not reversed (counter-clockwise positive), signed (the smaller region).
    polygon.Compute(false, true, p, s);
    perimeter = p;
    area = s;
    return 1;
}
