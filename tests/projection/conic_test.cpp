// Conic and pseudoconic kinds: Lambert, Albers, equidistant conic and
// polyconic against PROJ; both Bonnes against PROJ with this system's own
// origins; band-fitted cones by their scale; the China projection by its own
// figures; and the definitions and points that must fail.
#include "GridCompare_p.h"
#include "model/ZrPJCoordSys.h"

#include <GeographicLib/Ellipsoid.hpp>
#include <gtest/gtest.h>

#include <string>

using namespace gridcompare;

namespace {
// The polyconic and the south-orientated Bonne measure the meridian with the
// classical three-term series (to e^6), short of the true arc by up to
// 0.91 mm near 75 degrees; PROJ's arc is exact. The footpoint series of the
// south-orientated Bonne (to e1^4) returns the latitude within 1.3 mm.
constexpr double kThreeTermArc = 1.2e-3, kFootpointSeries = 5e-3;
// Albers: the authalic-latitude series (fourth order in e^2) put the cone
// up to 0.11 mm from PROJ's closed form. Bonne: the rectifying series of the
// apex distance, up to 0.12 mm.
constexpr double kAuthalicSeries = 2e-4, kRectifyingSeries = 2e-4;
constexpr double kClarkeIgnA = 6378249.2, kClarkeIgnF = 1.0 / 293.4660212936269;
constexpr double kKrassA = 6378245.0, kKrassF = 1.0 / 298.3;
constexpr double kBonneNorthingOrigin = 20738918.0; // Bonne counts northings from here, not from phi1

const ProjCase kCases[] = {
    // Two standard parallels: k0 is set (the coordinate system fills in 0.9996) and must not scale the cone.
    {"43020 Lambert 2SP",
     {43020, kWgs84A, kWgs84F, -96, 23, 33, 45, 2, 0.9996, 1e6, 2e5},
     "+proj=lcc +lat_1=33 +lat_2=45 +lat_0=23 +lon_0=-96 +x_0=1000000 +y_0=200000 +ellps=WGS84",
     {-146, -46, 5, 10, 75, 5}},
    {"43020 Lambert 2SP, south",
     {43020, kGrs80A, kGrs80F, 134, 0, -18, -36, 2, 0.9996},
     "+proj=lcc +lat_1=-18 +lat_2=-36 +lat_0=0 +lon_0=134 +ellps=GRS80",
     {94, 174, 5, -70, -5, 5}},
    {"43020 Lambert 1SP, k0 applied",
     {43020, kClarkeIgnA, kClarkeIgnF, 2.33722917, 46.8, 46.8, 0, 1, 0.99987742, 6e5, 2.2e6},
     "+proj=lcc +lat_1=46.8 +lat_0=46.8 +lon_0=2.33722917 +k_0=0.99987742 +x_0=600000 +y_0=2200000 "
     "+a=6378249.2 "
     "+rf=293.4660212936269",
     {-8, 12, 1, 40, 54, 1}},
    {"43020 Lambert 1SP, k0 0 taken as 1",
     {43020, kKrassA, kKrassF, 105, 30, 35, 0, 1, 0.0},
     "+proj=lcc +lat_1=35 +lat_0=30 +lon_0=105 +k_0=1 +ellps=krass",
     {65, 145, 5, 0, 70, 5}},
    {"43007 Albers 2SP",
     {43007, kGrs80A, kGrs80F, -96, 23, 29.5, 45.5, 2},
     "+proj=aea +lat_1=29.5 +lat_2=45.5 +lat_0=23 +lon_0=-96 +ellps=GRS80",
     {-146, -46, 5, 0, 85, 5},
     kSeriesInverseRoundTrip,
     kAuthalicSeries},
    {"43007 Albers 2SP, south",
     {43007, kGrs80A, kGrs80F, 132, 0, -18, -36, 2, 0, 5e5},
     "+proj=aea +lat_1=-18 +lat_2=-36 +lat_0=0 +lon_0=132 +x_0=500000 +ellps=GRS80",
     {92, 172, 5, -85, 10, 5},
     kSeriesInverseRoundTrip,
     kAuthalicSeries},
    {"43007 Albers 1SP",
     {43007, kWgs84A, kWgs84F, 0, 30, 40},
     "+proj=aea +lat_1=40 +lat_2=40 +lat_0=30 +ellps=WGS84",
     {-60, 60, 5, 0, 80, 5},
     kSeriesInverseRoundTrip,
     kAuthalicSeries},
    {"43027 equidistant conic 2SP",
     {43027, kWgs84A, kWgs84F, 10, 40, 20, 60, 2},
     "+proj=eqdc +lat_1=20 +lat_2=60 +lat_0=40 +lon_0=10 +ellps=WGS84",
     {-160, 180, 10, -30, 85, 5}},
    {"43027 equidistant conic 1SP",
     {43027, kKrassA, kKrassF, 105, 45, 45},
     "+proj=eqdc +lat_1=45 +lat_2=45 +lat_0=45 +lon_0=105 +ellps=krass",
     {45, 165, 10, 10, 85, 5}},
    {"43027 equidistant conic 2SP, south",
     {43027, kWgs84A, kWgs84F, -60, -35, -20, -50, 2},
     "+proj=eqdc +lat_1=-20 +lat_2=-50 +lat_0=-35 +lon_0=-60 +ellps=WGS84",
     {-120, 0, 10, -85, 10, 5}},
    {"43021 polyconic",
     {43021, kWgs84A, kWgs84F, -96, 30, 0, 0, 1, 0, 5e5, 1e6},
     "+proj=poly +lat_0=30 +lon_0=-96 +x_0=500000 +y_0=1000000 +ellps=WGS84",
     {-141, -51, 5, -75, 85, 5},
     kTenthMillimetre,
     kThreeTermArc},
    {"43021 polyconic, phi0 0",
     {43021, kKrassA, kKrassF, 105},
     "+proj=poly +lon_0=105 +ellps=krass",
     {60, 150, 5, -60, 85, 5},
     kTenthMillimetre,
     kThreeTermArc},
};

// Scale along the parallel lat at the central meridian, by a central difference.
double ParallelScale(const CZrPJOperator& op, const GeographicLib::Ellipsoid& ell, double lon0, double lat) {
    CPoint2D east(lon0 + 1e-3, lat), west(lon0 - 1e-3, lat);
    EXPECT_EQ(op.Forward(east), 1);
    EXPECT_EQ(op.Forward(west), 1);
    return std::hypot(east.x - west.x, east.y - west.y) / (ell.CircleRadius(lat) * 2e-3 * kDeg);
}
} // namespace

TEST(ConicTest, ForwardMatchesProjAndInverseReturnsThePoint) {
    for (const ProjCase& c : kCases)
        CheckAgainstProj(c);
}

// Bonne is PROJ's Bonne with the apex of the cone at this kind's fixed
// northing origin; along the central meridian northings grow by the arc.
TEST(ConicTest, BonneIsProjBonneCountedFromTheFixedNorthingOrigin) {
    const GeographicLib::Ellipsoid ell(kWgs84A, kWgs84F);
    for (double phi1 : {60.0, 30.0, -45.0}) {
        const double apex = ell.CircleRadius(phi1) / std::sin(phi1 * kDeg); // from phi1 up to the apex
        const std::string def = "+proj=bonne +ellps=WGS84 +lon_0=20 +lat_1=" + std::to_string(phi1) +
                                " +y_0=" + std::to_string(kBonneNorthingOrigin - apex);
        CheckAgainstProj({"43024 Bonne",
                          {43024, kWgs84A, kWgs84F, 20, 0, phi1},
                          def.c_str(),
                          {-140, 180, 10, -85, 85, 5},
                          kSeriesInverseRoundTrip,
                          kRectifyingSeries});

        CZrPJOperator op = Build({43024, kWgs84A, kWgs84F, 20, 0, phi1});
        ASSERT_EQ(op.Create(), 1);
        CPoint2D onPhi1(20.0, phi1), north(20.0, phi1 + 10.0);
        ASSERT_EQ(op.Forward(onPhi1), 1);
        ASSERT_EQ(op.Forward(north), 1);
        EXPECT_NEAR(onPhi1.y, kBonneNorthingOrigin - apex, kMillimetre);
        EXPECT_NEAR(north.y - onPhi1.y, ell.MeridianDistance(phi1 + 10) - ell.MeridianDistance(phi1),
                    kMillimetre);
    }
}

// South-orientated Bonne: PROJ's Bonne on phi0 turned about, x westward and y
// southward from the false origin, in both hemispheres and across the
// antimeridian (a central meridian of 175 degrees).
TEST(ConicTest, SouthOrientatedBonneIsProjBonneTurnedAbout) {
    constexpr double kClarke1866A = 6378206.4, kClarke1866F = 1.0 / 294.978698213898;
    const struct {
        Definition def;
        const char* ellps;
    } cases[] = {
        {{43046, kGrs80A, kGrs80F, -10, 40}, "GRS80"},
        {{43046, kGrs80A, kGrs80F, -10, -30}, "GRS80"},
        {{43046, kGrs80A, kGrs80F, -10, 12, 0, 0, 1, 0, 3e5, 4e5}, "GRS80"},
        {{43046, kClarke1866A, kClarke1866F, 175, -30, 0, 0, 1, 0, 2e5, 5e6}, "clrk66"},
        {{43046, kClarke1866A, kClarke1866F, 175, 30, 0, 0, 1, 0, 2e5, 5e6}, "clrk66"},
    };
    for (const auto& c : cases) {
        const Definition& d = c.def;
        SCOPED_TRACE(testing::Message() << "lon0 " << d.lon0 << " lat0 " << d.lat0);
        ProjOracle proj("+proj=bonne +ellps=" + std::string(c.ellps) + " +lon_0=" + std::to_string(d.lon0) +
                        " +lat_1=" + std::to_string(d.lat0));
        CZrPJOperator op = Build(d);
        ASSERT_EQ(op.Create(), 1);
        const Worst w = CompareGrid(op, {d.lon0 - 100, d.lon0 + 80, 10, -85, 85, 5},
                                    [&](double lon, double lat, double& x, double& y) {
                                        if (!proj.Forward(lon, lat, x, y)) return false;
                                        x = d.fe - x;
                                        y = d.fn - y;
                                        return true;
                                    });
        EXPECT_LT(w.forward, kThreeTermArc);
        EXPECT_LT(w.roundTrip, kFootpointSeries);
        Report("43046 south-orientated Bonne", "+proj=bonne +lat_1=phi0, then FE - x, FN - y", w);
    }
}

// The catalogue's Guam State Plane rows, polyconic about (144.748751 E,
// 13.472466 N) with a 50 km false origin, against PROJ with the same
// definition. The NAD 1927 row counts in international feet (its unit code),
// EPSG's definition in US survey feet: 2 ppm of the distance from the false
// origin apart. Round trips come back within a millimetre.
TEST(ConicTest, GuamStatePlaneRowsAreProjPolyconicAboutTheirFalseOrigin) {
    const struct {
        long code;
        const char* proj;
        double unit, falseOrigin; // metres per output unit; false easting = northing, output unit
        double ppm;
    } rows[] = {
        {65061,
         "+proj=poly +lat_0=13.472466 +lon_0=144.748751 +x_0=50000 +y_0=50000 +ellps=clrk66 +units=us-ft",
         0.3048, 164041.666667, 2e-6},
        {65161, "+proj=poly +lat_0=13.472466 +lon_0=144.748751 +x_0=50000 +y_0=50000 +ellps=GRS80", 1.0, 5e4,
         0.0},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.code);
        CZrPJCoordSys cs;
        ASSERT_EQ(cs.Set(static_cast<tagPJCoordSysType>(r.code)), 1);
        ProjOracle proj(r.proj);
        ASSERT_TRUE(proj.ok());
        double worst = 0.0;
        for (double lat = 12.5; lat <= 14.5 + 1e-9; lat += 0.25)
            for (double lon = 143.75; lon <= 145.75 + 1e-9; lon += 0.25) {
                CPoint2D p(lon, lat);
                double x, y;
                ASSERT_TRUE(proj.Forward(lon, lat, x, y));
                ASSERT_EQ(cs.Forward(&p, 1), 1);
                const double fromOrigin = std::hypot(p.x - r.falseOrigin, p.y - r.falseOrigin);
                const double off = std::hypot(p.x - x, p.y - y) * r.unit;
                EXPECT_LE(off, kMillimetre + r.ppm * fromOrigin * r.unit) << lon << ", " << lat;
                worst = std::max(worst, off - r.ppm * fromOrigin * r.unit);
                ASSERT_EQ(cs.Inverse(&p, 1), 1);
                EXPECT_LE(std::hypot((p.x - lon) * std::cos(lat * kDeg), p.y - lat) * kMetresPerDegree,
                          kMillimetre);
            }
        std::printf("[accuracy] Guam %ld | %s | forward %.2g m beyond the foot's ppm\n", r.code, r.proj,
                    worst);
    }
}

// Band-fitted cones (phi0..phi0'): equal scale at both edges, and the errors at
// the edge and at the mean latitude equal and opposite (their scales sum to 2).
TEST(ConicTest, BandFittedConesBalanceTheScaleOverTheBand) {
    constexpr double kScaleAgreement = 1e-7;
    const GeographicLib::Ellipsoid ell(kWgs84A, kWgs84F);
    for (long kind : {43007L, 43020L, 43027L}) {
        for (auto band :
             {std::make_pair(25.0, 45.0), std::make_pair(-50.0, -20.0), std::make_pair(10.0, 70.0)}) {
            SCOPED_TRACE(testing::Message() << kind << " " << band.first << ".." << band.second);
            Definition d{kind, kWgs84A, kWgs84F, 30, band.first, 0, 0, 3};
            d.band = band.second;
            CZrPJOperator op = Build(d);
            ASSERT_EQ(op.Create(), 1);
            const double mean = (band.first + band.second) / 2.0;
            const double kEdge = ParallelScale(op, ell, 30, band.first),
                         kMean = ParallelScale(op, ell, 30, mean);
            EXPECT_NEAR(kEdge, ParallelScale(op, ell, 30, band.second), kScaleAgreement);
            EXPECT_NEAR(kEdge + kMean, 2.0, kScaleAgreement);
            EXPECT_LT(kMean, 1.0);
            // Albers and Lambert unproject the band; the equidistant conic has no inverse in this mode.
            CPoint2D p(45.0, mean + 3.0);
            ASSERT_EQ(op.Forward(p), 1);
            const CPoint2D planar = p;
            ASSERT_EQ(op.Inverse(p), kind == 43027 ? 0 : 1);
            if (kind == 43027) {
                EXPECT_TRUE(BitIdentical(p, planar));
            } else {
                EXPECT_NEAR(p.x, 45.0, kSeriesInverse);
                EXPECT_NEAR(p.y, mean + 3.0, kSeriesInverse);
            }
        }
    }
}

// Definitions with no cone do not create; the operator then leaves points as they were.
TEST(ConicTest, DegenerateDefinitionsDoNotCreate) {
    struct Case {
        const char* why;
        long kind;
        int mode;
        double lat0, phi1, phi2, band;
    } cases[] = {
        {"tangent at the equator", 43007, 1, 0, 0, 0, 0},
        {"equal parallels given as two", 43007, 2, 0, 30, 30, 0},
        {"parallels symmetric about the equator", 43007, 2, 0, 30, -30, 0},
        {"band of no width", 43007, 3, 40, 0, 0, 40},
        {"unknown parallel mode", 43007, 4, 0, 30, 50, 0},
        {"tangent at the equator", 43020, 1, 0, 0, 0, 0},
        {"equal parallels given as two", 43020, 2, 0, 30, 30, 0},
        {"parallels symmetric about the equator", 43020, 2, 0, 30, -30, 0},
        {"band of no width", 43020, 3, 40, 0, 0, 40},
        {"unknown parallel mode", 43020, 0, 0, 30, 50, 0},
        {"origin at the pole the cone opens away from", 43020, 1, -90, 30, 30, 0},
        {"tangent at the equator", 43027, 1, 0, 0, 0, 0},
        {"equal parallels given as two", 43027, 2, 0, 30, 30, 0},
        {"parallels symmetric about the equator", 43027, 2, 0, 30, -30, 0},
        {"band of no width", 43027, 3, 40, 0, 0, 40},
        {"band symmetric about the equator", 43027, 3, -30, 0, 0, 30},
        {"unknown parallel mode", 43027, 5, 0, 30, 50, 0},
        {"Bonne on the equator", 43024, 1, 0, 0, 0, 0},
    };
    const CPoint2D geo(12.0, 45.0), planar(1000.0, 2000.0);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.kind << " " << c.why);
        Definition d{c.kind, kWgs84A, kWgs84F, 10, c.lat0, c.phi1, c.phi2, c.mode};
        d.band = c.band;
        CZrPJOperator op = Build(d);
        EXPECT_EQ(op.Create(), 0);
        CPoint2D p = geo, q = planar;
        EXPECT_EQ(op.Forward(p) + op.Inverse(q), 0);
        EXPECT_TRUE(BitIdentical(p, geo) && BitIdentical(q, planar));
    }
}

// Points a created operator cannot project or unproject: the call fails and
// the caller's point keeps every bit.
TEST(ConicTest, PointsWithoutAnImageFailAndStayUntouched) {
    struct Case {
        const char* why;
        Definition def;
        bool forward;
        CPoint2D pt;             // degrees, or coordinates with the false origin
        int modeAfterCreate = 0; // nonzero: the caller changes the mode after Create
    } cases[] = {
        {"Bonne at the apex (phi1 at the pole)", {43024, kWgs84A, kWgs84F, 0, 0, 90}, true, {30.0, 90.0}},
        {"Bonne inverse on the northing origin's line",
         {43024, kWgs84A, kWgs84F, 0, 0, 45},
         false,
         {1e3, 20738918.0}},
        {"south-orientated Bonne, phi0 0",
         {43046, kWgs84A, kWgs84F, 0, 0, 30, 0, 1, 0, 100, 200},
         true,
         {5.0, 10.0}},
        {"south-orientated Bonne, phi0 0",
         {43046, kWgs84A, kWgs84F, 0, 0, 30, 0, 1, 0, 100, 200},
         false,
         {5e3, 7e3}},
        {"Lambert at the pole the cone opens away from",
         {43020, kWgs84A, kWgs84F, 0, 30, 30, 60, 2},
         true,
         {0, -90}},
        {"Lambert, southern cone, at the pole it opens away from",
         {43020, kWgs84A, kWgs84F, 0, -30, -30, -60, 2},
         true,
         {0, 90}},
        {"Albers inverse beyond the pole's image",
         {43007, kWgs84A, kWgs84F, 0, 90, 30, 60, 2},
         false,
         {0, 1e5}},
        {"equidistant conic inverse, band-fitted",
         {43027, kWgs84A, kWgs84F, 0, 30, 0, 0, 3, 0, 0, 0, 50},
         false,
         {1e3, 2e3}},
        {"equidistant conic inverse, mode changed",
         {43027, kWgs84A, kWgs84F, 0, 30, 20, 50, 2},
         false,
         {1e3, 2e3},
         7},
        {"China inverse on the x axis", {43037, kWgs84A, kWgs84F, 105, 0, 35}, false, {250000.0, 0.0}},
        {"China forward due east of a centre on the equator", {43037, kWgs84A, kWgs84F, 105}, true, {115, 0}},
        {"polyconic inverse far outside every cone", {43021, kWgs84A, kWgs84F, 0, 30}, false, {9.0e7, 1.0e7}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        CZrPJOperator op = Build(c.def);
        ASSERT_EQ(op.Create(), 1);
        if (c.modeAfterCreate) op.SetParallelMode(c.modeAfterCreate);
        CPoint2D p = c.pt;
        EXPECT_EQ(c.forward ? op.Forward(p) : op.Inverse(p), 0);
        EXPECT_TRUE(BitIdentical(p, c.pt));
    }
}

// China projection: azimuthal equidistant about (lambda0, phi1) on a sphere
// of 6371118 m, azimuths perturbed by z 0.011697143 sin(3 (A + 15 deg)).
// Distance and azimuth are computed here from the local east/north/up frame.
TEST(ConicTest, ChinaProjectionFollowsItsOwnFigures) {
    constexpr double lon0 = 105.0, lat0 = 35.0;
    auto expect = [&](double lon, double lat, double& x, double& y) {
        const double l = (lon - lon0) * kDeg, p = lat * kDeg, p0 = lat0 * kDeg;
        const double e = std::cos(p) * std::sin(l);
        const double n = std::cos(p0) * std::sin(p) - std::sin(p0) * std::cos(p) * std::cos(l);
        const double u = std::sin(p0) * std::sin(p) + std::cos(p0) * std::cos(p) * std::cos(l);
        const double z = std::atan2(std::hypot(e, n), u), A = std::atan2(e, n);
        const double Ap = A + z * 0.011697143 * std::sin(3.0 * (A + 15.0 * kDeg));
        x = 6371118.0 * z * std::sin(Ap);
        y = 6371118.0 * z * std::cos(Ap);
        return lon != lon0 || lat != lat0; // the centre's inverse is refused (y = 0)
    };
    CZrPJOperator op = Build({43037, kKrassA, kKrassF, lon0, 0, lat0}); // the ellipsoid plays no part
    ASSERT_EQ(op.Create(), 1);
    // The central meridian (south of the centre the azimuth is pi), and points
    // more than 90 degrees away, whose longitude must come back on their side.
    for (const Grid& g : {Grid{20, 140, 5, -30, 55, 5}, Grid{205, 235, 10, -30, 60, 10}}) {
        const Worst w = CompareGrid(op, g, expect);
        EXPECT_LT(w.forward, kTenthMillimetre);
        EXPECT_LT(w.roundTrip, kTenthMillimetre);
        Report("43037 China, centre (105, 35)", "own figures: azimuth and distance from east/north/up", w);
    }

    CPoint2D centre(lon0, lat0), south(lon0, 20.0);
    ASSERT_EQ(op.Forward(centre), 1);
    ASSERT_EQ(op.Forward(south), 1);
    EXPECT_NEAR(std::hypot(centre.x, centre.y), 0.0, kMillimetre);
    EXPECT_LT(south.y, -1e6);
}
