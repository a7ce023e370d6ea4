#pragma once
// Two Lambert methods PROJ 9.1 reads from EPSG but does not compute as EPSG
// defines them, restated as PROJ definitions that do:
//  - Lambert conic conformal (West Orientated), 9826, for which PROJ has no
//    routine: E = FE - x, N = FN + y of the one-parallel cone. PROJ's Lambert
//    with +axis=wnu negates x + x_0, so x_0 = -FE computes it.
//  - Lambert conic conformal (2SP Belgium), 9803, which PROJ renders as the
//    unturned two-parallel cone: EPSG turns the cone's angle by a = 29.2985",
//    theta = n (lambda - lambda_F) - a, which is the unturned cone about the
//    meridian lambda_F + a / n.
// For a projected system on either method, the definition of that step with
// its ellipsoid, prime meridian (Greenwich longitudes) and linear unit; ""
// for any other system.
#include <proj.h>

#include <cmath>
#include <cstdio>
#include <string>

inline std::string ProjLambertStandIn(PJ_CONTEXT* ctx, const PJ* crs) {
    PJ* conversion = proj_crs_get_coordoperation(ctx, crs);
    if (!conversion) return "";
    const char* code = nullptr;
    proj_coordoperation_get_method_info(ctx, conversion, nullptr, nullptr, &code);
    const std::string method = code ? code : "";
    const bool west = method == "9826", belgium = method == "9803";
    double lat0 = 0, lon0 = 0, k0 = 1, fe = 0, fn = 0, lat1 = 0, lat2 = 0;
    for (int i = 0; (west || belgium) && i < proj_coordoperation_get_param_count(ctx, conversion); ++i) {
        const char* id = nullptr;
        double value = 0, toSi = 1;
        proj_coordoperation_get_param(ctx, conversion, i, nullptr, nullptr, &id, &value, nullptr, &toSi,
                                      nullptr, nullptr, nullptr, nullptr);
        const std::string c = id ? id : "";
        const double degrees = value * toSi * 180 / M_PI;
        if (c == "8801" || c == "8821") lat0 = degrees;
        if (c == "8802" || c == "8822") lon0 = degrees;
        if (c == "8823") lat1 = degrees;
        if (c == "8824") lat2 = degrees;
        if (c == "8805") k0 = value * toSi;
        if (c == "8806" || c == "8826") fe = value * toSi;
        if (c == "8807" || c == "8827") fn = value * toSi;
    }
    proj_destroy(conversion);
    if (!west && !belgium) return "";
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
        // The first axis is the northing in EPSG's west-orientated systems;
        // both axes share the unit.
        proj_cs_get_axis_info(ctx, cs, 0, nullptr, nullptr, nullptr, &unit, nullptr, nullptr, nullptr);
        proj_destroy(cs);
    }
    const double pmDegrees = pm * pmToRadians * 180 / M_PI;
    char text[512];
    if (west) {
        std::snprintf(text, sizeof text,
                      "+proj=lcc +lat_1=%.17g +lat_0=%.17g +lon_0=%.17g +k_0=%.17g +x_0=%.17g +y_0=%.17g "
                      "+axis=wnu +a=%.17g +b=%.17g +pm=%.17g +to_meter=%.17g",
                      lat0, lat0, lon0, k0, -fe, fn, a, b, pmDegrees, unit);
        return text;
    }
    // The cone constant of the two parallels: n = ln(m1 / m2) / ln(t1 / t2).
    const double es = 1 - (b / a) * (b / a), e = std::sqrt(es);
    auto m = [&](double phi) { return std::cos(phi) / std::sqrt(1 - es * std::sin(phi) * std::sin(phi)); };
    auto t = [&](double phi) {
        const double s = e * std::sin(phi);
        return std::tan(M_PI / 4 - phi / 2) / std::pow((1 - s) / (1 + s), e / 2);
    };
    const double p1 = lat1 * M_PI / 180, p2 = lat2 * M_PI / 180;
    const double n = std::log(m(p1) / m(p2)) / std::log(t(p1) / t(p2));
    const double turn = 29.2985 / 3600;
    std::snprintf(
        text, sizeof text,
        "+proj=lcc +lat_0=%.17g +lat_1=%.17g +lat_2=%.17g +lon_0=%.17g +x_0=%.17g +y_0=%.17g +a=%.17g "
        "+b=%.17g +pm=%.17g +to_meter=%.17g",
        lat0, lat1, lat2, lon0 + turn / n, fe, fn, a, b, pmDegrees, unit);
    return text;
}
