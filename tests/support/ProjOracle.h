#pragma once

// A thin wrapper around PROJ, the independent peer the tests compare with.
// Definitions are PROJ strings ("+proj=tmerc +ellps=krass +lon_0=117 ...")
// or pipelines; angles in and out are degrees, lengths metres.
#include <proj.h>

#include <cmath>
#include <string>

class ProjOracle {
public:
    explicit ProjOracle(const std::string& definition) {
        m_ctx = proj_context_create();
        proj_context_use_proj4_init_rules(m_ctx, 1);
        m_pj = proj_create(m_ctx, definition.c_str());
    }
    ~ProjOracle() {
        if (m_pj) proj_destroy(m_pj);
        proj_context_destroy(m_ctx);
    }
    ProjOracle(const ProjOracle&) = delete;
    ProjOracle& operator=(const ProjOracle&) = delete;

    bool ok() const { return m_pj != nullptr; }

    // Geodetic (degrees) -> projected (metres).
    bool Forward(double lonDeg, double latDeg, double& x, double& y) const {
        PJ_COORD c = proj_coord(proj_torad(lonDeg), proj_torad(latDeg), 0, 0);
        return Run(PJ_FWD, c, x, y);
    }
    // Projected (metres) -> geodetic (degrees).
    bool Inverse(double x, double y, double& lonDeg, double& latDeg) const {
        PJ_COORD c = proj_coord(x, y, 0, 0);
        if (!Run(PJ_INV, c, lonDeg, latDeg)) return false;
        lonDeg = proj_todeg(lonDeg);
        latDeg = proj_todeg(latDeg);
        return true;
    }
    // A 3-D transformation through the pipeline as written (radians/metres
    // in the pipeline's own convention).
    bool Trans(PJ_DIRECTION dir, PJ_COORD& c) const {
        proj_errno_reset(m_pj);
        c = proj_trans(m_pj, dir, c);
        return proj_errno(m_pj) == 0 && std::isfinite(c.v[0]) && std::isfinite(c.v[1]);
    }

private:
    bool Run(PJ_DIRECTION dir, PJ_COORD c, double& a, double& b) const {
        if (!m_pj || !Trans(dir, c)) return false;
        a = c.v[0];
        b = c.v[1];
        return true;
    }
    PJ_CONTEXT* m_ctx = nullptr;
    PJ* m_pj = nullptr;
};

// The ellipsoid (semi-major axis in metres, inverse flattening, 0 for a
// sphere) and prime meridian (degrees from Greenwich) of a CRS or a datum.
inline bool ProjEarth(PJ_CONTEXT* ctx, const PJ* crsOrDatum, double& a, double& invf, double& pmDegrees) {
    PJ* e = proj_get_ellipsoid(ctx, crsOrDatum);
    PJ* p = proj_get_prime_meridian(ctx, crsOrDatum);
    double b = 0, lon = 0, factor = 0;
    int computed = 0;
    const bool ok = e && p && proj_ellipsoid_get_parameters(ctx, e, &a, &b, &computed, &invf) &&
                    proj_prime_meridian_get_parameters(ctx, p, &lon, &factor, nullptr);
    pmDegrees = lon * factor / 0.017453292519943295;
    if (e) proj_destroy(e);
    if (p) proj_destroy(p);
    return ok;
}
