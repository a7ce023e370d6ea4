#pragma once

// PROJ as the oracle of the well-known-text tests: a coordinate system read
// by PROJ from a text or a code, and PROJ's conversion from its base
// geographic system to it, with longitude/latitude in and easting/northing out
// whatever the axis order the definition states.
#include "model/ZrPJCoordSys.h"
#include "platform/ZrToolkit.h"
#include "support/ProjOracle.h"

#include <proj.h>

#include <cmath>
#include <string>

class ProjCrs {
public:
    explicit ProjCrs(const std::string& definition) {
        // One context for every object: each new context opens PROJ's database again.
        static PJ_CONTEXT* shared = [] {
            PJ_CONTEXT* c = proj_context_create();
            proj_log_level(c, PJ_LOG_NONE);
            return c;
        }();
        m_ctx = shared;
        m_crs = proj_create(m_ctx, definition.c_str());
        if (!m_crs) return;
        PJ_TYPE type = proj_get_type(m_crs);
        if (type == PJ_TYPE_BOUND_CRS) {
            PJ* source = proj_get_source_crs(m_ctx, m_crs);
            proj_destroy(m_crs);
            m_crs = source;
            type = proj_get_type(m_crs);
        }
        m_projected = type == PJ_TYPE_PROJECTED_CRS;
        if (!m_projected) return;
        const std::string southBonne = ProjSouthOrientatedBonne(m_ctx, m_crs, false);
        if (!southBonne.empty()) m_southBonne = proj_create(m_ctx, southBonne.c_str());
        // The conversion alone (no search of the database), taking the base
        // system's units in longitude, latitude order.
        PJ* conversion = proj_crs_get_coordoperation(m_ctx, m_crs);
        if (conversion) {
            m_op = proj_normalize_for_visualization(m_ctx, conversion);
            // Krovak's conversion answers southing first (+axis=swu); the
            // library's x is the east-west axis, so the answer is swapped, and
            // negated where the system's axes are east and north (GDAL's WKT1,
            // which names no axes): PROJ's system then counts eastings.
            const char* s = proj_as_proj_string(m_ctx, conversion, PJ_PROJ_5, nullptr);
            // Cassini-Soldner's conversion on southing and westing axes ends
            // in the same turn, written as an axis swap that negates both.
            m_southFirst = s && (std::string(s).find("+axis=swu") != std::string::npos ||
                                 std::string(s).find("+proj=axisswap +order=-2,-1") != std::string::npos);
            if (PJ* cs = m_southFirst ? proj_crs_get_coordinate_system(m_ctx, m_crs) : nullptr) {
                const char* direction = nullptr;
                proj_cs_get_axis_info(m_ctx, cs, 0, nullptr, nullptr, &direction, nullptr, nullptr, nullptr,
                                      nullptr);
                m_turnedAbout = direction && std::string(direction) == "east";
                proj_destroy(cs);
            }
            proj_destroy(conversion);
        }
        PJ* base = proj_crs_get_geodetic_crs(m_ctx, m_crs);
        if (PJ* cs = base ? proj_crs_get_coordinate_system(m_ctx, base) : nullptr) {
            double radians = 0.017453292519943295;
            proj_cs_get_axis_info(m_ctx, cs, 0, nullptr, nullptr, nullptr, &radians, nullptr, nullptr,
                                  nullptr);
            m_degreesPerBaseUnit = radians / 0.017453292519943295;
            proj_destroy(cs);
        }
        if (base) proj_destroy(base);
        // Metres per unit of the first axis.
        PJ* cs = proj_crs_get_coordinate_system(m_ctx, m_crs);
        if (cs) {
            double factor = 1.0;
            proj_cs_get_axis_info(m_ctx, cs, 0, nullptr, nullptr, nullptr, &factor, nullptr, nullptr,
                                  nullptr);
            m_unit = factor;
            proj_destroy(cs);
        }
    }
    ~ProjCrs() {
        if (m_op) proj_destroy(m_op);
        if (m_southBonne) proj_destroy(m_southBonne);
        if (m_crs) proj_destroy(m_crs);
    }
    ProjCrs(const ProjCrs&) = delete;
    ProjCrs& operator=(const ProjCrs&) = delete;

    bool ok() const { return m_crs != nullptr; }
    bool projected() const { return m_projected && (m_op || m_southBonne); }
    double metresPerUnit() const { return m_unit; }
    PJ* crs() const { return m_crs; }
    PJ_CONTEXT* ctx() const { return m_ctx; }

    // Longitude, latitude in degrees on the base system -> easting, northing in the system's unit.
    bool Forward(double lon, double lat, double& x, double& y) const {
        if (!projected()) return false;
        if (m_southBonne) {
            proj_errno_reset(m_southBonne);
            const PJ_COORD c =
                proj_trans(m_southBonne, PJ_FWD, proj_coord(proj_torad(lon), proj_torad(lat), 0, 0));
            if (proj_errno(m_southBonne) != 0 || !std::isfinite(c.v[0]) || !std::isfinite(c.v[1]))
                return false;
            x = c.v[0];
            y = c.v[1];
            return true;
        }
        proj_errno_reset(m_op);
        PJ_COORD c = proj_trans(m_op, PJ_FWD,
                                proj_coord(lon / m_degreesPerBaseUnit, lat / m_degreesPerBaseUnit, 0, 0));
        if (proj_errno(m_op) != 0 || !std::isfinite(c.v[0]) || !std::isfinite(c.v[1])) return false;
        const double sign = m_turnedAbout ? -1.0 : 1.0;
        x = sign * c.v[m_southFirst ? 1 : 0];
        y = sign * c.v[m_southFirst ? 0 : 1];
        return true;
    }

    std::string Wkt(PJ_WKT_TYPE type) const {
        const char* options[] = {"MULTILINE=NO", nullptr};
        const char* s = m_crs ? proj_as_wkt(m_ctx, m_crs, type, options) : nullptr;
        return s ? s : "";
    }

    // The base ellipsoid and prime meridian, for geographic comparisons.
    bool Ellipsoid(double& a, double& rf, double& pm) const {
        PJ* datum = proj_crs_get_datum_forced(m_ctx, m_crs);
        if (!datum) return false;
        const bool ok = ProjEarth(m_ctx, datum, a, rf, pm);
        proj_destroy(datum);
        return ok;
    }

private:
    PJ_CONTEXT* m_ctx = nullptr;
    PJ* m_crs = nullptr;
    PJ* m_op = nullptr;
    PJ* m_southBonne = nullptr; // the method PROJ 9.1 reads but cannot compute, see ProjSouthOrientatedBonne
    bool m_projected = false;
    bool m_southFirst = false, m_turnedAbout = false;
    double m_unit = 1.0;
    double m_degreesPerBaseUnit = 1.0;
};

// Our Forward of cs against PROJ's conversion at one point (degrees on the
// base system), as a distance on the ground in metres; false where either
// side does not project the point (ours leaves such a point where it was).
inline bool GroundDifference(const CZrPJCoordSys& cs, const ProjCrs& proj, double lon, double lat,
                             double& metres) {
    const double ours = ZrUnitCodeToMetres(cs.GetDistUnits());
    CPoint2D pt(lon, lat);
    const CPoint2D start = pt;
    cs.Forward(&pt, 1);
    double x, y;
    if ((pt.x == start.x && pt.y == start.y) || !proj.Forward(lon, lat, x, y)) return false;
    metres = std::hypot(pt.x * ours - x * proj.metresPerUnit(), pt.y * ours - y * proj.metresPerUnit());
    return true;
}
