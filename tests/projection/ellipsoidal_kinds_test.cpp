// Cassini-Soldner on the ellipsoid, the south-orientated transverse Mercator,
// Equal Earth and Michigan's scaled Lambert cone: against PROJ over grids in both hemispheres and across the
// antimeridian, and against the worked examples EPSG publishes for them.
#include "GridCompare_p.h"

#include <gtest/gtest.h>

using namespace gridcompare;

namespace {
constexpr double kClarke1866A = 6378206.4, kClarke1866F = 1.0 / 294.978698213898;
constexpr double kBesselA = 6377397.155, kBesselF = 1.0 / 299.1528128;
constexpr double kClarke1880A = 6378249.145, kClarke1880F = 1.0 / 293.465;
// Cassini's series are truncated (A^5 across, A^4 along the meridian) the
// same way in PROJ, so the two agree to rounding; the round trip is the
// series' own, which within 3 degrees of the central meridian (the widest
// Cassini grid, Malaysia's states, spans less) returns within 2 mm.
constexpr double kCassiniSeriesRoundTrip = 2e-3;
// Equal Earth's inverse ends with Newton's rounds on the exact authalic
// function: it comes back within 1 micrometre.
constexpr double kMicrometre = 1e-6;

const ProjCase kCases[] = {
    {"43057 Cassini-Soldner, Clarke 1866",
     {43057, kClarke1866A, kClarke1866F, -61.3333333333, 10.4416666667, 0, 0, 1, 0, 86501.46, 65379.0},
     "+proj=cass +lat_0=10.4416666667 +lon_0=-61.3333333333 +x_0=86501.46 +y_0=65379.0 +ellps=clrk66",
     {-64.3333333333, -58.3333333333, 0.5, 5, 16, 1},
     kCassiniSeriesRoundTrip},
    {"43057 Cassini-Soldner, Bessel, southern origin",
     {43057, kBesselA, kBesselF, 103.5, -4.0, 0, 0, 1, 0, 0, 0},
     "+proj=cass +lat_0=-4 +lon_0=103.5 +ellps=bessel",
     {100.5, 106.5, 0.5, -20, 10, 2},
     kCassiniSeriesRoundTrip},
    {"43057 Cassini-Soldner across the antimeridian",
     {43057, kClarke1880A, kClarke1880F, 179.0, 60.0, 0, 0, 1, 0, 5e5, 1e6},
     "+proj=cass +lat_0=60 +lon_0=179 +x_0=500000 +y_0=1000000 +a=6378249.145 +rf=293.465",
     // High latitudes shrink the zone the series hold: 1.5 degrees either side.
     {177.5, 180.5, 0.5, 40, 80, 2},
     kCassiniSeriesRoundTrip},
    {"43059 TM south orientated, Lo29",
     {43059, kWgs84A, kWgs84F, 29, 0, 0, 0, 1, 1.0},
     "+proj=tmerc +axis=wsu +lat_0=0 +lon_0=29 +k=1 +ellps=WGS84",
     {27, 31, 0.5, -35, -20, 1}},
    {"43059 TM south orientated, false origin and scale, wide",
     {43059, kClarke1880A, kClarke1880F, 17, -22, 0, 0, 1, 0.9999, 3e5, 4e5},
     // PROJ turns its whole output about, false origin included: x_0 = -FE.
     "+proj=tmerc +axis=wsu +lat_0=-22 +lon_0=17 +k=0.9999 +x_0=-300000 +y_0=-400000 +a=6378249.145 "
     "+rf=293.465",
     {7, 27, 2, -40, 10, 5}},
    {"43060 Equal Earth, WGS 84",
     {43060, kWgs84A, kWgs84F, 0},
     "+proj=eqearth +ellps=WGS84",
     {-179.5, 179.5, 14.5, -85, 85, 5},
     kMicrometre},
    {"43060 Equal Earth, Pacific centred, false origin",
     {43060, kWgs84A, kWgs84F, 150, 0, 0, 0, 1, 0, 1e6, -2e5},
     "+proj=eqearth +lon_0=150 +x_0=1000000 +y_0=-200000 +ellps=WGS84",
     {-29.5, 329.5, 14.5, -85, 85, 5},
     kMicrometre},
    {"43060 Equal Earth, sphere",
     {43060, 6371008.8, 0.0, -90},
     "+proj=eqearth +lon_0=-90 +R=6371008.8",
     {-269.5, 89.5, 14.5, -85, 85, 5},
     kMicrometre},
    // Michigan North as EPSG:6201 defines it (in metres here): the
    // two-parallel cone on Clarke 1866 enlarged by K = 1.0000382.
    {"43062 Lambert 2SP Michigan",
     {43062, kClarke1866A, kClarke1866F, -84.3333333333333, 43.3166666666667, 44.1833333333333, 45.7, 2,
      1.0000382, 609601.219202438, 0},
     "+proj=lcc +lat_0=43.3166666666667 +lon_0=-84.3333333333333 +lat_1=44.1833333333333 +lat_2=45.7 "
     "+x_0=609601.219202438 +k_0=1.0000382 +ellps=clrk66",
     {-91, -82, 1, 41, 49, 1}},
    // The general oblique transformation: the pole turned to (o_lat_p,
    // o_lon_p), the turned globe in the equidistant cylindrical on the sphere
    // of radius a (PROJ ignores the flattening there too).
    {"43076 general oblique transformation, sphere",
     {43076, 6371000.0, 0.0, 5, 0, 40, 0, 1, 0, 0, 0, 0, 10},
     "+proj=ob_tran +o_proj=eqc +o_lat_p=40 +o_lon_p=10 +lon_0=5 +R=6371000",
     // Off the turned pole (40 N, 175 W), where a longitude has no meaning.
     {-172, 178, 10, -85, 85, 5},
     kMicrometre,
     kMicrometre},
    {"43076 rotated pole of a climate model, WGS 84, false origin",
     {43076, kWgs84A, kWgs84F, 180, 0, 39.25, 0, 1, 0, 1e5, -2e5, 0, -162},
     "+proj=ob_tran +o_proj=eqc +o_lat_p=39.25 +o_lon_p=-162 +lon_0=180 +x_0=100000 +y_0=-200000 "
     "+ellps=WGS84",
     {-30, 60, 5, 20, 80, 5},
     kMicrometre,
     kMicrometre},
    {"43076 transverse case (pole on the equator)",
     {43076, 6371000.0, 0.0, -30, 0, 0, 0, 1, 0, 0, 0, 0, 45},
     "+proj=ob_tran +o_proj=eqc +o_lat_p=0 +o_lon_p=45 +lon_0=-30 +R=6371000",
     {-80, 20, 10, -80, 80, 10},
     kMicrometre,
     kMicrometre},
    // The tilted perspective: 5500 km up, tilted 10 degrees towards azimuth 20.
    {"43077 tilted perspective, oblique",
     {43077, 6371000.0, 0.0, 5, 40, 10, 0, 1, 1.0 + 5500000.0 / 6371000.0, 0, 0, 0, 0, 20},
     "+proj=tpers +h=5500000 +tilt=10 +azi=20 +lat_0=40 +lon_0=5 +R=6371000",
     {-25, 35, 5, 15, 65, 5},
     kMicrometre,
     kMicrometre},
    {"43077 tilted perspective over the north pole, on the sphere of radius a",
     {43077, kWgs84A, kWgs84F, -45, 90, 30, 0, 1, 1.0 + 35785831.0 / kWgs84A, 0, 0, 0, 0, 200},
     "+proj=tpers +h=35785831 +tilt=30 +azi=200 +lat_0=90 +lon_0=-45 +ellps=WGS84",
     {-180, 170, 10, 30, 85, 5},
     kMicrometre,
     kMicrometre},
    {"43077 tilted perspective, untilted, equator",
     {43077, 6371000.0, 0.0, 100, 0, 0, 0, 1, 1.0 + 1e7 / 6371000.0, 0, 0},
     "+proj=tpers +h=10000000 +tilt=0 +azi=0 +lat_0=0 +lon_0=100 +R=6371000",
     {60, 140, 5, -40, 40, 5},
     kMicrometre,
     kMicrometre},
    // The cube's faces: the front (equator, about lon_0), the top and the
    // bottom; points beyond the face's edges go on across its plane as PROJ
    // takes them.
    {"43078 quadrilateralized spherical cube, front face, WGS 84",
     {43078, kWgs84A, kWgs84F, 0, 0},
     "+proj=qsc +ellps=WGS84",
     {-60, 60, 5, -60, 60, 5},
     kMicrometre,
     kMicrometre},
    {"43078 quadrilateralized spherical cube, face about 90 E, false origin",
     {43078, kWgs84A, kWgs84F, 90, 10, 0, 0, 1, 0, 1e6, 2e6},
     "+proj=qsc +lat_0=10 +lon_0=90 +x_0=1000000 +y_0=2000000 +ellps=WGS84",
     {45, 135, 5, -40, 40, 5},
     kMicrometre,
     kMicrometre},
    {"43078 quadrilateralized spherical cube, top face",
     {43078, kWgs84A, kWgs84F, 20, 90},
     "+proj=qsc +lat_0=90 +lon_0=20 +ellps=WGS84",
     {-180, 170, 10, 40, 85, 5},
     kMicrometre,
     kMicrometre},
    {"43078 quadrilateralized spherical cube, bottom face, sphere",
     {43078, 6371000.0, 0.0, -60, -90},
     "+proj=qsc +lat_0=-90 +lon_0=-60 +R=6371000",
     {-180, 170, 10, -85, -40, 5},
     kMicrometre,
     kMicrometre},
};

// EPSG's worked examples (Guidance Note 7-2), each with the precision it is
// printed to as its tolerance. Lengths in the example's own unit: the
// Cassini example counts Clarke's links throughout (a given in links).
struct WorkedExample {
    const char* name;
    Definition def;
    double lon, lat; // degrees
    double x, y;     // as printed
    double tolerance;
};
constexpr double kDms = 1.0 / 3600.0;
const WorkedExample kExamples[] = {
    // Trinidad 1903 / Trinidad Grid: Clarke 1858 in links.
    {"Cassini-Soldner, Trinidad Grid (links)",
     {43057, 31706587.88, 1.0 / 294.2606764, -(61 + 20.0 / 60), 10 + 26.0 / 60 + 30 * kDms, 0, 0, 1, 0,
      430000.00, 325000.00},
     -62.0,
     10.0,
     66644.94,
     82536.22,
     0.01},
    // Hartebeesthoek94 / Lo29: westing and southing.
    {"TM south orientated, Lo29",
     {43059, kWgs84A, kWgs84F, 29, 0, 0, 0, 1, 1.0},
     28 + 16.0 / 60 + 57.479 * kDms,
     -(25 + 43.0 / 60 + 55.302 * kDms),
     71984.48,
     2847342.74,
     0.01},
};
} // namespace

TEST(EllipsoidalKindsTest, ForwardMatchesProjAndInverseReturnsThePoint) {
    for (const ProjCase& c : kCases)
        CheckAgainstProj(c);
}

TEST(EllipsoidalKindsTest, EpsgWorkedExamplesBothWays) {
    for (const WorkedExample& e : kExamples) {
        SCOPED_TRACE(e.name);
        CZrPJOperator op = Build(e.def);
        ASSERT_EQ(op.Create(), 1);
        CPoint2D p(e.lon, e.lat);
        ASSERT_EQ(op.Forward(p), 1);
        EXPECT_NEAR(p.x, e.x, e.tolerance);
        EXPECT_NEAR(p.y, e.y, e.tolerance);
        CPoint2D q(e.x, e.y);
        ASSERT_EQ(op.Inverse(q), 1);
        // The printed figures' last digit, as an angle: 0.01 m is 1e-7 degrees.
        EXPECT_NEAR(q.x, e.lon, 2e-7);
        EXPECT_NEAR(q.y, e.lat, 2e-7);
    }
}

// The south-orientated map is the transverse Mercator's turned half round
// about the false origin, bit for bit, so the two kinds' series (and any
// later change to them) cannot drift apart.
TEST(EllipsoidalKindsTest, SouthOrientatedIsTheTransverseMercatorTurnedAbout) {
    const Definition south = {43059, kWgs84A, kWgs84F, 25, -10, 0, 0, 1, 0.9996, 2e5, 3e5};
    Definition north = south;
    north.kind = 43006;
    north.fe = north.fn = 0;
    CZrPJOperator s = Build(south), n = Build(north);
    ASSERT_EQ(s.Create(), 1);
    ASSERT_EQ(n.Create(), 1);
    for (double lon : {13.0, 24.0, 25.0, 31.5, 40.0}) {
        for (double lat : {-60.0, -10.0, 0.0, 35.0}) {
            CPoint2D ps(lon, lat), pn(lon, lat);
            ASSERT_EQ(s.Forward(ps), 1);
            ASSERT_EQ(n.Forward(pn), 1);
            EXPECT_EQ(ps.x, 2e5 - pn.x) << lon << " " << lat;
            EXPECT_EQ(ps.y, 3e5 - pn.y) << lon << " " << lat;
        }
    }
}

// At the poles Cassini's easting vanishes and its northing is the meridian
// arc; Equal Earth's poles are lines, whose inverse gives the pole. Equal
// Earth squeezes the pole's neighbourhood (the northing's distance from the
// pole line grows with the square of the latitude's): one rounding of the
// northing there is some 2e-8 rad of latitude.
constexpr double kSqueezedPole = 3e-6; // degrees
TEST(EllipsoidalKindsTest, PolesMapAndComeBack) {
    CZrPJOperator cass = Build({43057, kWgs84A, kWgs84F, 10, 45});
    ASSERT_EQ(cass.Create(), 1);
    CPoint2D pole(12.0, 90.0);
    ASSERT_EQ(cass.Forward(pole), 1);
    EXPECT_NEAR(pole.x, 0.0, kMillimetre);
    ProjOracle proj("+proj=cass +lat_0=45 +lon_0=10 +ellps=WGS84");
    double px, py;
    ASSERT_TRUE(proj.Forward(10.0, 90.0, px, py));
    EXPECT_NEAR(pole.y, py, kMillimetre);

    CZrPJOperator eqearth = Build({43060, kWgs84A, kWgs84F});
    ASSERT_EQ(eqearth.Create(), 1);
    CPoint2D north(100.0, 90.0);
    ASSERT_EQ(eqearth.Forward(north), 1);
    ASSERT_EQ(eqearth.Inverse(north), 1);
    EXPECT_NEAR(north.y, 90.0, kSqueezedPole);
    // Beyond the map's edge there is no point.
    CPoint2D outside(3.0e7, 0.0);
    EXPECT_EQ(eqearth.Inverse(outside), 0);
}
