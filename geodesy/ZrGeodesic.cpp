#include "geodesy/ZrGeodesic.h"

#include <GeographicLib/Geodesic.hpp>
#include <GeographicLib/PolygonArea.hpp>

#include <cmath>
#include <exception>
#include <string>

namespace {

void Say(CString* reason, const char* text) {
    if (reason) *reason = text;
}

// A position GeographicLib can take: it answers NaN past the poles.
bool IsPosition(const CPoint2D& p, CString* reason) {
    if (!std::isfinite(p.x) || !std::isfinite(p.y)) {
        Say(reason, "the point is not finite");
        return false;
    }
    if (!(std::fabs(p.y) <= 90.0)) {
        Say(reason, "the latitude is beyond 90 degrees");
        return false;
    }
    return true;
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
    m_engine = other.m_engine ? std::make_unique<Engine>(*other.m_engine) : nullptr;
    m_axis = other.m_axis;
    m_flattening = other.m_flattening;
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
    m_engine = std::move(engine);
    m_axis = axis;
    m_flattening = flattening;
    return 1;
}

int CZrGeodesic::Inverse(const CPoint2D& p1, const CPoint2D& p2, double& azi1, double& azi2, double& distance,
                         CString* reason) const {
    if (!m_engine) {
        Say(reason, "the geodesic has no ellipsoid");
        return 0;
    }
    if (!IsPosition(p1, reason) || !IsPosition(p2, reason)) return 0;
    double s12 = 0.0, a1 = 0.0, a2 = 0.0;
    m_engine->geodesic.Inverse(p1.y, p1.x, p2.y, p2.x, s12, a1, a2);
    azi1 = a1;
    azi2 = a2;
    distance = s12;
    return 1;
}

int CZrGeodesic::Direct(const CPoint2D& p1, double azi1, double distance, CPoint2D& p2, double& azi2,
                        CString* reason) const {
    if (!m_engine) {
        Say(reason, "the geodesic has no ellipsoid");
        return 0;
    }
    if (!IsPosition(p1, reason)) return 0;
    if (!std::isfinite(azi1) || !std::isfinite(distance)) {
        Say(reason, "the azimuth and the distance must be finite");
        return 0;
    }
    double lat2 = 0.0, lon2 = 0.0, a2 = 0.0;
    m_engine->geodesic.Direct(p1.y, p1.x, azi1, distance, lat2, lon2, a2);
    p2 = CPoint2D(lon2, lat2);
    azi2 = a2;
    return 1;
}

int CZrGeodesic::Area(const CPoint2D* vertices, long count, double& perimeter, double& area,
                      CString* reason) const {
    if (!m_engine) {
        Say(reason, "the geodesic has no ellipsoid");
        return 0;
    }
    if (!vertices || count < 1) {
        Say(reason, "a polygon needs at least one vertex");
        return 0;
    }
    for (long i = 0; i < count; ++i) {
        if (!IsPosition(vertices[i], reason)) {
            if (reason) *reason = CString("vertex ") + std::to_string(i + 1).c_str() + ": " + *reason;
            return 0;
        }
    }
    // The accumulator holds a copy of the solver and a few sums: no heap.
    GeographicLib::PolygonArea polygon(m_engine->geodesic);
    for (long i = 0; i < count; ++i)
        polygon.AddPoint(vertices[i].y, vertices[i].x);
    double p = 0.0, s = 0.0;
    // Not reversed (counter-clockwise positive), signed (the smaller region).
    polygon.Compute(false, true, p, s);
    perimeter = p;
    area = s;
    return 1;
}
