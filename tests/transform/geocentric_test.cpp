// The geocentric conversion (longitude, latitude, height <-> X, Y, Z) and a
// geocentric system on either side of the translator.
#include "model/ZrPJCoordSys.h"
#include "projection/ZrGeocentric.h"
#include "transform/ZrPJTranslator.h"

#include <gtest/gtest.h>
#include <proj.h>

#include <cmath>
#include <limits>

namespace {

// PROJ's gie bar, a tenth of a millimetre, for agreement with its cart.
constexpr double kAgreeMetres = 1e-4;
// The inverse is a closed form: a round trip loses only rounding, four
// units in the last place of the distance from the centre (6 nm at the
// surface, 40 nm at the geostationary orbit).
double RoundTripMetres(double a, double h) {
    return 4.0 * std::numeric_limits<double>::epsilon() * (a + std::fabs(h));
}
constexpr double kMetresPerDegree = 111320.0;

struct Earth {
    const char* proj;
    double a, rf;
};
const Earth kEarths[] = {
    {"+ellps=WGS84", 6378137.0, 298.257223563},
    {"+ellps=bessel", 6377397.155, 299.1528128},
    {"+R=6371000", 6371000.0, 0.0},
};

double F(const Earth& e) {
    return e.rf == 0.0 ? 0.0 : 1.0 / e.rf;
}

} // namespace

// Oracle: PROJ's +proj=cart is the same conversion (X = (N + h) cos(phi)
// cos(lam), ..., Z = (N (1 - e^2) + h) sin(phi)) with its own inverse.
TEST(Geocentric, ConversionAgreesWithProjCart) {
    const double points[][3] = {{0, 0, 0},          {10, 50, 250},   {-75.5, 40, -30}, {179.99, -60, 8848},
                                {-180, 89.9, 10},   {45, -90, 0},    {0, 90, 1000},    {120, 0.001, -400},
                                {-33, 12, 35786e3}, {77, -35, -40e3}};
    for (const Earth& e : kEarths) {
        const std::string def = std::string("+proj=cart ") + e.proj;
        PJ* cart = proj_create(PJ_DEFAULT_CTX, def.c_str());
        ASSERT_NE(cart, nullptr) << def;
        for (const auto& p : points) {
            SCOPED_TRACE(def + " " + std::to_string(p[0]) + " " + std::to_string(p[1]) + " " +
                         std::to_string(p[2]));
            const PJ_COORD in = proj_coord(proj_torad(p[0]), proj_torad(p[1]), p[2], 0);
            const PJ_COORD theirs = proj_trans(cart, PJ_FWD, in);
            double x, y, z;
            ZrGeodeticToGeocentric(e.a, F(e), p[0], p[1], p[2], x, y, z);
            EXPECT_LE(std::hypot(std::hypot(x - theirs.xyz.x, y - theirs.xyz.y), z - theirs.xyz.z),
                      kAgreeMetres);
            // Back from PROJ's X, Y, Z: PROJ's own inverse is an approximation
            // far from the surface, so ours is held to the point itself.
            double lon, lat, h;
            ASSERT_TRUE(
                ZrGeocentricToGeodetic(e.a, F(e), theirs.xyz.x, theirs.xyz.y, theirs.xyz.z, lon, lat, h));
            if (std::fabs(p[1]) < 90.0) {
                const double dx = std::remainder(lon - p[0], 360.0) * std::cos(proj_torad(p[1]));
                EXPECT_LE(std::hypot(dx, lat - p[1]) * kMetresPerDegree * (1 + std::fabs(p[2]) / e.a),
                          kAgreeMetres);
            }
            EXPECT_NEAR(h, p[2], kAgreeMetres);
        }
        proj_destroy(cart);
    }
}

// Round trips over a grid of latitudes and heights from 40 km beneath the
// surface to the geostationary orbit, and points near the centre (where
// Newton's iteration takes over from the closed form): the point comes back.
TEST(Geocentric, RoundTripIsExactButForRounding) {
    const double heights[] = {-40e3, -1000, 0, 0.001, 1000, 8848, 400e3, 35786e3};
    for (const Earth& e : kEarths) {
        double worst = 0;
        for (double lat = -90; lat <= 90; lat += 0.5) {
            for (double h : heights) {
                double x, y, z, lon2, lat2, h2;
                ZrGeodeticToGeocentric(e.a, F(e), 37.0, lat, h, x, y, z);
                ASSERT_TRUE(ZrGeocentricToGeodetic(e.a, F(e), x, y, z, lon2, lat2, h2));
                double bx, by, bz;
                ZrGeodeticToGeocentric(e.a, F(e), lon2, lat2, h2, bx, by, bz);
                const double apart = std::hypot(std::hypot(bx - x, by - y), bz - z);
                worst = std::max(worst, apart / RoundTripMetres(e.a, h));
                EXPECT_NEAR(h2, h, RoundTripMetres(e.a, h)) << lat << " " << h;
            }
        }
        EXPECT_LE(worst, 1.0) << e.proj << ": the worst round trip, in units of the bar";
        // Near the centre: a point 10 km from it, and the centre itself.
        const double inner[][3] = {{3000, 4000, 5000}, {-7000, 2000, -6000}, {0, 0, 0}};
        for (const auto& c : inner) {
            double lon, lat, h, x, y, z;
            ASSERT_TRUE(ZrGeocentricToGeodetic(e.a, F(e), c[0], c[1], c[2], lon, lat, h));
            ZrGeodeticToGeocentric(e.a, F(e), lon, lat, h, x, y, z);
            EXPECT_LE(std::hypot(std::hypot(x - c[0], y - c[1]), z - c[2]), 1e-6) << c[0] << " " << c[2];
        }
    }
    double lon = 1, lat = 2, h = 3;
    EXPECT_FALSE(
        ZrGeocentricToGeodetic(6378137.0, 0.0, std::numeric_limits<double>::quiet_NaN(), 0, 0, lon, lat, h));
    EXPECT_EQ(lon, 1);
}

// A geocentric system on one side of the translator: its 3-D entries convert
// through longitude, latitude and height on its ellipsoid; the 2-D ones,
// which cannot carry Z, refuse and leave the points as they were.
TEST(Geocentric, TranslatorConvertsThreeDimensionalPointsOnly) {
    CZrPJGeoCoordSys wgs84;
    ASSERT_TRUE(wgs84.Set(static_cast<tagGeoCoordSysType>(4326)));
    CZrPJCoordSys geographic, geocentric;
    geographic.SetEarth(wgs84, 0);
    ASSERT_TRUE(
        geocentric.Set(CString("WGS 84"), wgs84, CZrPJObject(PJ_KIND_GEOCENTRIC), CZrPJParams(), 10000));
    CZrPJTranslator t;
    ASSERT_TRUE(t.Set(geographic, geocentric));

    CPoint3D pts[] = {{10, 50, 250}, {-120, -33, -20}, {0, 90, 0}};
    CPoint3D expected[3];
    const CZrPJSpheroid ellipsoid = wgs84.GetDatum().GetSpheroid();
    for (int i = 0; i < 3; ++i)
        ZrGeodeticToGeocentric(ellipsoid.GetAxis(), ellipsoid.GetFlattening(), pts[i].x, pts[i].y, pts[i].z,
                               expected[i].x, expected[i].y, expected[i].z);
    t.Convert(pts, 3, 1);
    for (int i = 0; i < 3; ++i) {
        EXPECT_DOUBLE_EQ(pts[i].x, expected[i].x);
        EXPECT_DOUBLE_EQ(pts[i].y, expected[i].y);
        EXPECT_DOUBLE_EQ(pts[i].z, expected[i].z);
    }
    t.Convert(pts, 3, 0);
    EXPECT_NEAR(pts[0].x, 10, 1e-12);
    EXPECT_NEAR(pts[1].y, -33, 1e-12);
    EXPECT_NEAR(pts[1].z, -20, 1e-8);

    CPoint2D flat(10, 50);
    EXPECT_EQ(t.Convert(&flat, 1, 1), 0);
    EXPECT_EQ(flat.x, 10);
    EXPECT_EQ(flat.y, 50);
    double x = 10, y = 50;
    EXPECT_EQ(t.Convert(&x, sizeof x, &y, sizeof y, nullptr, 0, 1, 1), 0);
    EXPECT_EQ(x, 10);
}
