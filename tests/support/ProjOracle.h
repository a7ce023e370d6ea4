#pragma once

// A thin wrapper around PROJ, the independent peer the tests compare with.
// Definitions are PROJ strings ("+proj=tmerc +ellps=krass +lon_0=117 ...")
// or pipelines; angles in and out are degrees, lengths metres.
#include <proj.h>

#include <cctype>
#include <cmath>
#include <cstdio>
#include <string>

// PROJ 9.1 reads EPSG's Bonne (South Orientated), method 9828, but has no
// routine for it. EPSG defines it as the Bonne on the origin parallel turned
// about: W = FE - x, S = FN - y. PROJ's Bonne with +axis=wsu negates x + x_0
// and y + y_0, so x_0 = -FE and y_0 = -FN compute the method exactly. For a
// projected system on that method,
// the definition of that step with its ellipsoid and linear unit, longitudes
// counted from Greenwich when withPrimeMeridian, else from the system's own
// prime meridian; "" for any other system.
inline std::string ProjSouthOrientatedBonne(PJ_CONTEXT* ctx, const PJ* crs, bool withPrimeMeridian) {
    auto squeeze = [](const char* text) {
        std::string out;
        for (const char* c = text ? text : ""; *c; ++c)
            if (std::isalnum(static_cast<unsigned char>(*c)))
                out += static_cast<char>(std::tolower(static_cast<unsigned char>(*c)));
        return out;
    };
    PJ* conversion = proj_crs_get_coordoperation(ctx, crs);
    if (!conversion) return "";
    const char *method = nullptr, *code = nullptr;
    proj_coordoperation_get_method_info(ctx, conversion, &method, nullptr, &code);
    double lat0 = 0, lon0 = 0, fe = 0, fn = 0;
    const bool south = (code && std::string(code) == "9828") || squeeze(method) == "bonnesouthorientated";
    for (int i = 0; south && i < proj_coordoperation_get_param_count(ctx, conversion); ++i) {
        const char *name = nullptr, *id = nullptr;
        double value = 0, toSi = 1;
        proj_coordoperation_get_param(ctx, conversion, i, &name, nullptr, &id, &value, nullptr, &toSi,
                                      nullptr, nullptr, nullptr, nullptr);
        const std::string n = squeeze(name), c = id ? id : "";
        if (c == "8801" || n == "latitudeofnaturalorigin" || n == "latitudeoforigin" ||
            n == "standardparallel1")
            lat0 = value * toSi * 180 / M_PI;
        else if (c == "8802" || n == "longitudeofnaturalorigin" || n == "centralmeridian")
            lon0 = value * toSi * 180 / M_PI;
        else if (c == "8806" || n == "falseeasting")
            fe = value * toSi;
        else if (c == "8807" || n == "falsenorthing")
            fn = value * toSi;
    }
    proj_destroy(conversion);
    if (!south) return "";
    double a = 0, b = 0, rf = 0, pm = 0, pmToRadians = 1, unit = 1;
    int computed = 0;
    if (PJ* e = proj_get_ellipsoid(ctx, crs)) {
        proj_ellipsoid_get_parameters(ctx, e, &a, &b, &computed, &rf);
        proj_destroy(e);
    }
    if (PJ* p = proj_get_prime_meridian(ctx, crs)) {
        proj_prime_meridian_get_parameters(ctx, p, &pm, &pmToRadians, nullptr);
        proj_destroy(p);
    }
    if (PJ* cs = proj_crs_get_coordinate_system(ctx, crs)) {
        proj_cs_get_axis_info(ctx, cs, 0, nullptr, nullptr, nullptr, &unit, nullptr, nullptr, nullptr);
        proj_destroy(cs);
    }
    char text[512];
    std::snprintf(text, sizeof text,
                  "+proj=bonne +lat_1=%.17g +lon_0=%.17g +x_0=%.17g +y_0=%.17g +axis=wsu +a=%.17g +b=%.17g "
                  "+pm=%.17g +to_meter=%.17g",
                  lat0, lon0, -fe, -fn, a, b, withPrimeMeridian ? pm * pmToRadians * 180 / M_PI : 0.0, unit);
    return text;
}

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
