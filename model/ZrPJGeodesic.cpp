#include "model/ZrPJGeodesic.h"

#include "model/ZrPJCoordSys.h"

#include <cmath>
#include <string>
#include <vector>

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

CZrPJGeodesic::CZrPJGeodesic(const CZrPJGeodesic& other) {
    *this = other;
}

CZrPJGeodesic& CZrPJGeodesic::operator=(const CZrPJGeodesic& other) {
    if (this == &other) return *this;
    m_geodesic = other.m_geodesic;
    m_projected = other.m_projected;
    m_metresPerUnit = other.m_metresPerUnit;
    // The operator's assignment leaves its series behind; CopyAll takes them.
    m_operator.CopyAll(other.m_operator);
    return *this;
}

int CZrPJGeodesic::Set(const CZrPJCoordSys& cs, CString* reason) {
    if (cs.GetType() == 0) {
        Say(reason, "a planar system has no ellipsoid to measure on");
        return 0;
    }
    if (!cs.IsValid()) {
        Say(reason, "the coordinate system is not valid");
        return 0;
    }
    const CZrPJSpheroid spheroid = cs.GetGCS().GetDatum().GetSpheroid();
    CZrPJGeodesic built;
    if (!built.m_geodesic.Set(spheroid.GetAxis(), spheroid.GetFlattening(), reason)) return 0;
    // The rule the library's callers use: a system without a projection kind
    // holds longitude/latitude whatever its type.
    if (cs.GetType() != 1 && cs.GetProjection().GetType() != -1) {
        built.m_projected = 1;
        built.m_operator.CopyAll(cs.GetPJOperator());
        const double factor = built.m_operator.GetUnitFactor();
        built.m_metresPerUnit = factor > 0.0 ? built.m_operator.GetDivisor() / factor : 1.0;
    }
    *this = built;
    return 1;
}

int CZrPJGeodesic::ToGeographic(CPoint2D& pt, CString* reason) const {
    if (!m_geodesic.IsValid()) {
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

int CZrPJGeodesic::FromGeographic(CPoint2D& pt, CString* reason) const {
    if (!m_geodesic.IsValid()) {
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
    double azi1 = 0.0, azi2 = 0.0, miss = kFoldMetres + 1.0;
    if (m_operator.Inverse(back)) m_geodesic.Inverse(pt, back, azi1, azi2, miss);
    if (!(miss <= kFoldMetres)) {
        Say(reason, "the projection does not map the point (its image does not map back)");
        return 0;
    }
    pt = xy;
    return 1;
}

int CZrPJGeodesic::Inverse(const CPoint2D& p1, const CPoint2D& p2, double& azi1, double& azi2,
                           double& distance, CString* reason) const {
    CPoint2D g1 = p1, g2 = p2;
    if (!ToGeographic(g1, reason) || !ToGeographic(g2, reason)) return 0;
    return m_geodesic.Inverse(g1, g2, azi1, azi2, distance, reason);
}

int CZrPJGeodesic::Direct(const CPoint2D& p1, double azi1, double distance, CPoint2D& p2, double& azi2,
                          CString* reason) const {
    CPoint2D g1 = p1, end;
    double endAzi = 0.0;
    if (!ToGeographic(g1, reason) || !m_geodesic.Direct(g1, azi1, distance, end, endAzi, reason) ||
        !FromGeographic(end, reason))
        return 0;
    p2 = end;
    azi2 = endAzi;
    return 1;
}

int CZrPJGeodesic::Area(const CPoint2D* vertices, long count, double& perimeter, double& area,
                        CString* reason) const {
    if (!m_projected || !vertices || count < 1) {
        if (!m_geodesic.IsValid()) {
            Say(reason, "the geodesic has no ellipsoid");
            return 0;
        }
        return m_geodesic.Area(vertices, count, perimeter, area, reason);
    }
    std::vector<CPoint2D> geographic(vertices, vertices + count);
    for (long i = 0; i < count; ++i) {
        if (!ToGeographic(geographic[static_cast<size_t>(i)], reason)) {
            if (reason) *reason = CString("vertex ") + std::to_string(i + 1).c_str() + ": " + *reason;
            return 0;
        }
    }
    return m_geodesic.Area(geographic.data(), count, perimeter, area, reason);
}
