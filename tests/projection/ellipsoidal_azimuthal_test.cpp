// Azimuthal kinds on the ellipsoid: Lambert equal area, the oblique
// stereographic and the three polar stereographic variants, against PROJ over
// every aspect, and against the worked examples EPSG publishes for each method.
#include "GridCompare_p.h"
#include "model/ZrPJCoordSys.h"

#include <gtest/gtest.h>

#include <cmath>
#include <iterator>
#include <vector>

using namespace gridcompare;

namespace {
// The inverses finish with Newton steps on the closed forms (equal area) or
// the fitted conformal series (stereographic, below 1e-13 rad): a point comes
// back within a few micrometres, held here to ten.
constexpr double kClosedFormRoundTrip = 1e-5;
constexpr double kBesselA = 6377397.155, kBesselF = 1.0 / 299.1528128;
constexpr double kIntlA = 6378388.0, kIntlF = 1.0 / 297.0;

const ProjCase kCases[] = {
    {"43047 equal area, oblique (ETRS89-LAEA)",
     {43047, kGrs80A, kGrs80F, 10, 52, 0, 0, 1, 0, 4321000, 3210000},
     "+proj=laea +lat_0=52 +lon_0=10 +x_0=4321000 +y_0=3210000 +ellps=GRS80",
     {-30, 60, 5, 25, 85, 5},
     kClosedFormRoundTrip},
    {"43047 equal area, equatorial",
     {43047, kWgs84A, kWgs84F, 20, 0},
     "+proj=laea +lat_0=0 +lon_0=20 +ellps=WGS84",
     {-60, 100, 10, -80, 80, 10},
     kClosedFormRoundTrip},
    {"43047 equal area, north polar",
     {43047, kWgs84A, kWgs84F, -45, 90},
     "+proj=laea +lat_0=90 +lon_0=-45 +ellps=WGS84",
     {-180, 180, 15, -40, 90, 5},
     kClosedFormRoundTrip},
    {"43047 equal area, south polar",
     {43047, kWgs84A, kWgs84F, 0, -90},
     "+proj=laea +lat_0=-90 +lon_0=0 +ellps=WGS84",
     {-180, 180, 15, -90, 40, 5},
     kClosedFormRoundTrip},
    {"43048 oblique stereographic (RD New)",
     {43048, kBesselA, kBesselF, 5.38763888888889, 52.15616055555555, 0, 0, 1, 0.9999079, 155000, 463000},
     "+proj=sterea +lat_0=52.15616055555555 +lon_0=5.38763888888889 +k=0.9999079 +x_0=155000 +y_0=463000 "
     "+ellps=bessel",
     {-20, 30, 5, 30, 75, 5},
     kClosedFormRoundTrip},
    {"43048 oblique stereographic, south",
     {43048, kIntlA, kIntlF, 26.5, -33.5, 0, 0, 1, 0.9995, 1e5, 2e5},
     "+proj=sterea +lat_0=-33.5 +lon_0=26.5 +k=0.9995 +x_0=100000 +y_0=200000 +ellps=intl",
     {-10, 60, 5, -75, 10, 5},
     kClosedFormRoundTrip},
    {"43049 polar stereographic A, north (UPS)",
     {43049, kWgs84A, kWgs84F, 0, 90, 0, 0, 1, 0.994, 2e6, 2e6},
     "+proj=stere +lat_0=90 +lon_0=0 +k=0.994 +x_0=2000000 +y_0=2000000 +ellps=WGS84",
     {-180, 180, 15, 0, 90, 5},
     kClosedFormRoundTrip},
    {"43049 polar stereographic A, south",
     {43049, kWgs84A, kWgs84F, 30, -90, 0, 0, 1, 0.994, 2e6, 2e6},
     "+proj=stere +lat_0=-90 +lon_0=30 +k=0.994 +x_0=2000000 +y_0=2000000 +ellps=WGS84",
     {-180, 180, 15, -90, 0, 5},
     kClosedFormRoundTrip},
    {"43050 polar stereographic B, south (Antarctic)",
     {43050, kWgs84A, kWgs84F, 0, 0, -71, -71},
     "+proj=stere +lat_0=-90 +lat_ts=-71 +lon_0=0 +ellps=WGS84",
     {-180, 180, 15, -90, 0, 5},
     kClosedFormRoundTrip},
    {"43050 polar stereographic B, north (NSIDC)",
     {43050, kWgs84A, kWgs84F, -45, 0, 70, 70},
     "+proj=stere +lat_0=90 +lat_ts=70 +lon_0=-45 +ellps=WGS84",
     {-180, 180, 15, 0, 90, 5},
     kClosedFormRoundTrip},
    {"43050 polar stereographic B, standard parallel at the pole",
     {43050, kIntlA, kIntlF, 10, 0, 90, 90},
     "+proj=stere +lat_0=90 +lat_ts=90 +lon_0=10 +ellps=intl",
     {-180, 180, 15, 10, 90, 5},
     kClosedFormRoundTrip},
};

// Worked examples of EPSG's guidance on map projections, each method's own
// figures (its published easting and northing are rounded to the tolerance).
struct WorkedExample {
    const char* name;
    Definition def;
    double lon, lat, easting, northing;
    double tolerance; // metres: half the last published digit, or the rounding of the figures
};
const WorkedExample kWorked[] = {
    {"ETRS89-LAEA", {43047, kGrs80A, kGrs80F, 10, 52, 0, 0, 1, 0, 4321000, 3210000},
     5, 50, 3962799.45, 2999718.85, 0.005},
    {"RD New (Amersfoort)",
     {43048, kBesselA, kBesselF, 5.38763888888889, 52.15616055555555, 0, 0, 1, 0.9999079, 155000, 463000},
     6, 53, 196105.283, 557057.739, 0.0005},
    {"UPS North", {43049, kWgs84A, kWgs84F, 0, 90, 0, 0, 1, 0.994, 2e6, 2e6},
     44, 73, 3320416.75, 632668.43, 0.005},
    {"Australian Antarctic polar stereographic", {43050, kWgs84A, kWgs84F, 70, 0, -71, -71, 1, 0, 6e6, 6e6},
     120, -75, 7255380.79, 7053389.56, 0.005},
    {"Petrels 1972 / Terre Adelie polar stereographic",
     {43051, kIntlA, kIntlF, 140, 0, -67, -67, 1, 0, 300000, 200000},
     140 + 4 / 60.0 + 17.040 / 3600.0, -(66 + 36 / 60.0 + 18.820 / 3600.0), 303169.52, 244055.72, 0.005},
};
} // namespace

TEST(EllipsoidalAzimuthalTest, ForwardMatchesProjAndInverseReturnsThePoint) {
    for (const ProjCase& c : kCases)
        CheckAgainstProj(c);
}

TEST(EllipsoidalAzimuthalTest, EpsgWorkedExamplesBothWays) {
    for (const WorkedExample& w : kWorked) {
        SCOPED_TRACE(w.name);
        CZrPJOperator op = Build(w.def);
        ASSERT_EQ(op.Create(), 1);
        CPoint2D p(w.lon, w.lat);
        ASSERT_EQ(op.Forward(p), 1);
        EXPECT_NEAR(p.x, w.easting, w.tolerance);
        EXPECT_NEAR(p.y, w.northing, w.tolerance);
        CPoint2D back(w.easting, w.northing);
        ASSERT_EQ(op.Inverse(back), 1);
        // The published figures' rounding, as an angle on the ground.
        const double angle = w.tolerance / kMetresPerDegree * 1.5;
        EXPECT_NEAR(back.y, w.lat, angle);
        EXPECT_NEAR(back.x, w.lon, angle / std::cos(w.lat * kDeg));
    }
}

// Variant A is defined at a pole only, and variant B needs a standard
// parallel off the equator to know its pole; neither is silently given an
// equatorial aspect. The far pole has no image.
TEST(EllipsoidalAzimuthalTest, DefinitionsWithoutAPoleAndTheFarPoleAreRefused) {
    EXPECT_EQ(Build({43049, kWgs84A, kWgs84F, 0, 60, 0, 0, 1, 0.994}).Create(), 0);
    EXPECT_EQ(Build({43050, kWgs84A, kWgs84F, 0, 0, 0, 0}).Create(), 0);
    CZrPJOperator north = Build({43050, kWgs84A, kWgs84F, 0, 0, 70, 70});
    ASSERT_EQ(north.Create(), 1);
    CPoint2D farPole(0, -90);
    EXPECT_EQ(north.Forward(farPole), 0);
    CZrPJOperator laea = Build({43047, kWgs84A, kWgs84F, 0, 90});
    ASSERT_EQ(laea.Create(), 1);
    CPoint2D antipode(0, -90);
    EXPECT_EQ(laea.Forward(antipode), 0);
}

// Near the pole the equal-area and stereographic radii are small
// differences of near-equal numbers unless formed from 1 - sin(phi): a point
// a metre from the pole must come back to the metre's last digits.
TEST(EllipsoidalAzimuthalTest, PointsBesideThePoleKeepTheirDigits) {
    const double nearPole = 90.0 - 1.0 / kMetresPerDegree; // about a metre from the pole
    for (long kind : {43047L, 43049L}) {
        SCOPED_TRACE(kind);
        CZrPJOperator op = Build({kind, kWgs84A, kWgs84F, 0, 90, 0, 0, 1, 1.0});
        ASSERT_EQ(op.Create(), 1);
        CPoint2D p(30, nearPole);
        ASSERT_EQ(op.Forward(p), 1);
        EXPECT_NEAR(std::hypot(p.x, p.y), 1.0, 0.01);
        ASSERT_EQ(op.Inverse(p), 1);
        EXPECT_NEAR((90.0 - p.y) * kMetresPerDegree, 1.0, 1e-6);
        EXPECT_NEAR(p.x, 30, 1e-6);
    }
}

// Krovak on Bessel's ellipsoid, as the Czech and Slovak grid S-JTSK defines
// it (its axis meridian 42 30' east of Ferro, 24 50' east of Greenwich): the
// north-orientated kind against PROJ's krovak, the south-orientated against
// the same with westings and southings as its axes, over the republics and
// well beyond them.
TEST(EllipsoidalAzimuthalTest, KrovakMatchesProjBothOrientations) {
    struct KrovakCase {
        long kind;
        const char* proj;
    };
    const KrovakCase cases[] = {
        {43053, "+proj=krovak +lat_0=49.5 +lon_0=24.8333333333333 +alpha=30.2881397527778 +k=0.9999 "
                "+ellps=bessel"},
        {43052, "+proj=krovak +lat_0=49.5 +lon_0=24.8333333333333 +alpha=30.2881397527778 +k=0.9999 "
                "+ellps=bessel +axis=wsu"},
    };
    for (const KrovakCase& c : cases) {
        SCOPED_TRACE(c.proj);
        ProjOracle proj(c.proj);
        ASSERT_TRUE(proj.ok());
        CZrPJOperator op = Build({c.kind, kBesselA, kBesselF, 24.8333333333333, 49.5, 78.5, 78.5, 1, 0.9999});
        op.SetAzimuth(30.2881397527778 * kDeg);
        ASSERT_EQ(op.Create(), 1);
        const Worst w = CompareGrid(op, {8, 24, 1, 44, 56, 1}, [&](double lon, double lat, double& x, double& y) {
            return proj.Forward(lon, lat, x, y);
        });
        EXPECT_LT(w.forward, kTenthMillimetre);
        EXPECT_LT(w.roundTrip, kClosedFormRoundTrip);
        Report(c.proj, "PROJ", w);
    }
}

// Lambert's equal area and Equal Earth take the latitude back from the
// authalic one by the sixth-order series alone where the ellipsoid is an
// earth's, and add a Newton round on q(phi) only where it is flatter: either
// way a point comes back to nanometres on every aspect. A wrong series term
// would show as micrometres. (Near a pole the oblique forms' sin(beta) is
// formed as a sum and keeps fewer digits: the polar aspect, which works on
// the gap to its pole, is the one held there.)
TEST(EllipsoidalAzimuthalTest, AuthalicLatitudeComesBackToNanometres) {
    constexpr double kAuthalicRoundTrip = 1e-8; // metres on the ground
    struct Ellipsoid {
        double a, f;
    } const ellipsoids[] = {
        {kWgs84A, kWgs84F}, {6378249.2, 1 / 293.4660212936269}, {6371007.0, 0.0}, {6378137.0, 1 / 100.0}};
    struct Aspect {
        long kind;
        double lat0, lon; // the centre's latitude, the points' longitude
        bool nearPoles;   // the points a metre and less from the pole are held too
    } const aspects[] = {
        {43047, 52, 95, false},  {43047, 0, 80, false},  {43047, 90, 135, true},
        {43047, -90, 135, true}, {43060, 0, 135, false},
    };
    const double lats[] = {-75, -60, -30.5, -1e-9, 0, 1e-9, 15, 45, 75};
    const double nearPoles[] = {89.99999, 89.9999999, 90};
    for (const Ellipsoid& e : ellipsoids)
        for (const Aspect& asp : aspects) {
            CZrPJOperator op = Build({asp.kind, e.a, e.f, 10, asp.lat0});
            ASSERT_EQ(op.Create(), 1);
            std::vector<double> points(std::begin(lats), std::end(lats));
            if (asp.nearPoles)
                for (double lat : nearPoles)
                    points.push_back(asp.lat0 > 0 ? lat : -lat);
            for (double lat : points) {
                CPoint2D p(asp.lon, lat);
                ASSERT_EQ(op.Forward(p), 1) << asp.kind << " " << asp.lat0 << " " << lat;
                ASSERT_EQ(op.Inverse(p), 1);
                const double ground =
                    std::hypot((p.x - asp.lon) * std::cos(lat * kDeg), p.y - lat) * kMetresPerDegree;
                EXPECT_LT(ground, kAuthalicRoundTrip)
                    << asp.kind << " centre " << asp.lat0 << " f " << e.f << " latitude " << lat;
            }
        }
}
