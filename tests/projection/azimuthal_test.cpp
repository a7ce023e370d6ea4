// Azimuthal kinds against PROJ, and the points where they must fail.
#include "WorldOracle_p.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

using namespace worldoracle;

namespace {

constexpr long kTwoPoint = 43031, kEquidistant = 43032, kEqualArea = 43033, kStereographic = 43034,
               kOrthographic = 43035, kGnomonic = 43036;

Definition Centre(long kind, double lon0, double lat0) {
    Definition d{kind};
    d.lon0 = lon0;
    d.lat0 = lat0;
    return d;
}

// The stereographic and orthographic work on the sphere of radius a, the
// others on the sphere of the ellipsoid's surface, Rq: PROJ is given the same.
std::string ProjFor(const Definition& d, const CZrPJOperator& op) {
    const char* name = d.kind == kStereographic  ? "+proj=stere +k_0=1"
                       : d.kind == kEqualArea    ? "+proj=laea"
                       : d.kind == kEquidistant  ? "+proj=aeqd"
                       : d.kind == kOrthographic ? "+proj=ortho"
                                                 : "+proj=gnom";
    const bool onA = d.kind == kStereographic || d.kind == kOrthographic;
    return std::string(name) + " +lon_0=" + Num(d.lon0) + " +lat_0=" + Num(d.lat0) +
           " +R=" + Num(onA ? d.a : std::sqrt(op.GetRq2()));
}

// How far from the centre each kind is compared: the gnomonic blows up
// towards its horizon, the orthographic ends there, the stereographic's
// scale grows as 1/cos^2(z/2).
double UsefulRadius(long kind) {
    return kind == kGnomonic ? 80 : kind == kOrthographic ? 89 : kind == kStereographic ? 150 : 175;
}

} // namespace

// The round trips include the half plane below each centre (y < 0), which
// the stereographic inverse gets right only with a two-argument azimuth, and
// southern centres, where the orthographic needs the full longitude formula.
TEST(AzimuthalTest, AgreesWithProjAndInvertsInEveryAspect) {
    const double centres[][2] = {{100, 90}, {-60, -90}, {30, 0}, {116, 40}, {-65, -38}};
    for (long kind : {kStereographic, kEqualArea, kEquidistant, kOrthographic, kGnomonic}) {
        for (const auto& c : centres) {
            const Definition d = Centre(kind, c[0], c[1]);
            CZrPJOperator op = Build(d);
            ASSERT_EQ(1, op.Create());
            const std::string name = std::to_string(kind) + " centre " + Label(c[0]) + " " + Label(c[1]);
            CompareWithOracle(name, op, ProjFor(d, op),
                              Grid{-180, 180, 10, -90, 90, 5, UsefulRadius(kind), c[0], c[1]});
            // Within 10 m of the centre, where an acos of cos z would keep only
            // half the digits (centimetres).
            if (std::fabs(c[1]) < 89.0)
                CompareWithOracle(name + " near", op, ProjFor(d, op),
                                  Grid{c[0] - 1e-4, c[0] + 1e-4, 2.5e-5, c[1] - 1e-4, c[1] + 1e-4, 2.5e-5});
        }
    }
}

TEST(AzimuthalTest, CentreIsTheOriginBothWays) {
    const double centres[][2] = {{116, 40}, {0, 90}, {10, -90}, {-100, 0}, {33, -17.3}};
    for (long kind : {kStereographic, kEqualArea, kEquidistant, kOrthographic, kGnomonic}) {
        for (const auto& c : centres) {
            CZrPJOperator op = Build(Centre(kind, c[0], c[1]));
            ASSERT_EQ(1, op.Create());
            CPoint2D p(c[0], c[1]), back(0.0, 0.0);
            ASSERT_EQ(1, op.Forward(p)) << kind << " " << c[1];
            EXPECT_NEAR(0.0, std::hypot(p.x, p.y), 1e-9) << kind << " " << c[1];
            ASSERT_EQ(1, op.Inverse(back)) << kind << " " << c[1];
            EXPECT_NEAR(c[1], back.y, 1e-12) << kind;
            if (std::fabs(c[1]) < 90.0) {
                EXPECT_NEAR(c[0], back.x, 1e-12) << kind;
            }
        }
    }
}

TEST(AzimuthalTest, PointsWithoutAnImageFailAndLeaveThePointBitIdentical) {
    const struct {
        const char* what;
        Definition def;
        bool forward;
        CPoint2D point;
    } cases[] = {
        {"gnomonic horizon", Centre(kGnomonic, 20, 45), true, {110, 0}},
        {"gnomonic far side", Centre(kGnomonic, 20, 45), true, {-160, -45}},
        {"gnomonic polar, equator", Centre(kGnomonic, 0, 90), true, {33, 0}},
        {"equal-area antipode, equatorial", Centre(kEqualArea, -20, 0), true, {160, 0}},
        {"equal-area antipode, oblique", Centre(kEqualArea, 10, 52), true, {-170, -52}},
        {"equal-area beyond its disc", Centre(kEqualArea, 10, 52), false, {1.3e7, 1.0e7}},
        {"orthographic far side", Centre(kOrthographic, 60, 0), true, {-100, 10}},
        {"orthographic far pole", Centre(kOrthographic, -100, 35), true, {0, -90}},
    };
    for (const auto& c : cases) {
        CZrPJOperator op = Build(c.def);
        ASSERT_EQ(1, op.Create());
        CPoint2D p = c.point;
        EXPECT_EQ(0, c.forward ? op.Forward(p) : op.Inverse(p)) << c.what;
        EXPECT_TRUE(BitIdentical(p, c.point)) << c.what;
    }
}

namespace {
Definition TwoPoints(double lon1, double lat1, double lon2, double lat2) {
    Definition d{kTwoPoint};
    d.a = 6378245.0;
    d.f = 1.0 / 298.3;
    d.lon1 = lon1;
    d.phi1 = lat1;
    d.lon2 = lon2;
    d.phi2 = lat2;
    return d;
}

// PROJ's forward takes y as the square root of a difference of squared
// distances, which leaves about 1e-8 of the radius (up to 0.1 m) to rounding
// near the line through the two points: the oracle grid keeps 5 degrees away
// from the line, and ours is held to its own bounds there.
} // namespace

TEST(AzimuthalTest, TwoPointEquidistantKeepsBothDistancesTrue) {
    const struct {
        Definition def;
        bool proj; // PROJ centres a pair across the antimeridian on the opposite meridian
    } cases[] = {
        {TwoPoints(-73.78, 40.64, 2.55, 49.01), true}, {TwoPoints(116.4, 39.9, 151.2, -33.87), true},
        {TwoPoints(30.0, 0.0, 50.0, 0.0), true},       {TwoPoints(10.0, -20.0, 10.0, 60.0), true},
        {TwoPoints(170.0, -10.0, -170.0, 5.0), false}, {TwoPoints(-150.0, 21.3, 139.7, 35.7), false},
    };
    for (const auto& c : cases) {
        const Definition& d = c.def;
        CZrPJOperator op = Build(d);
        ASSERT_EQ(1, op.Create());
        if (c.proj) {
            const std::string proj = "+proj=tpeqd +lon_1=" + Num(d.lon1) + " +lat_1=" + Num(d.phi1) +
                                     " +lon_2=" + Num(d.lon2) + " +lat_2=" + Num(d.phi2) + " +R=" + Num(d.a);
            const double band = 5.0 * kDeg * d.a;
            CompareWithOracle("43031 from " + Label(d.lon1) + " " + Label(d.phi1), op, proj,
                              Grid{-180, 180, 10, -80, 80, 5}, kRoundTripTolerance,
                              [band](double, double py) { return std::fabs(py) < band; });
        }
        // The points lie on the x axis at -a z0/2 and +a z0/2 ...
        const double half = AngleDeg(d.lon1, d.phi1, d.lon2, d.phi2) * kDeg * d.a / 2.0;
        CPoint2D p1(d.lon1, d.phi1), p2(d.lon2, d.phi2);
        ASSERT_EQ(1, op.Forward(p1));
        ASSERT_EQ(1, op.Forward(p2));
        EXPECT_NEAR(-half, p1.x, kForwardTolerance) << d.lon1;
        EXPECT_NEAR(half, p2.x, kForwardTolerance) << d.lon1;
        EXPECT_NEAR(0.0, p1.y, kForwardTolerance) << d.lon1;
        EXPECT_NEAR(0.0, p2.y, kForwardTolerance) << d.lon1;
        EXPECT_LE(RoundTripError(op, d.lon1, d.phi1, p1), kRoundTripTolerance) << d.lon1;
        EXPECT_LE(RoundTripError(op, d.lon2, d.phi2, p2), kRoundTripTolerance) << d.lon1;
        // ... and distances from either of them are true on the sphere of radius a.
        for (const CPoint2D& q0 :
             {CPoint2D(d.lon1 + 25.0, d.phi1 + 10.0), CPoint2D(d.lon2 - 40.0, d.phi2 - 20.0),
              CPoint2D(d.lon1 + 180.0, -d.phi1 / 2.0)}) {
            CPoint2D q = q0;
            ASSERT_EQ(1, op.Forward(q));
            EXPECT_NEAR(AngleDeg(d.lon1, d.phi1, q0.x, q0.y) * kDeg * d.a, std::hypot(q.x - p1.x, q.y - p1.y),
                        kForwardTolerance);
            EXPECT_NEAR(AngleDeg(d.lon2, d.phi2, q0.x, q0.y) * kDeg * d.a, std::hypot(q.x - p2.x, q.y - p2.y),
                        kForwardTolerance);
            EXPECT_LE(RoundTripError(op, q0.x, q0.y, q), kRoundTripTolerance) << q0.x << ", " << q0.y;
        }
    }
    // One point is no line.
    CZrPJOperator same = Build(TwoPoints(10, 20, 10, 20));
    EXPECT_EQ(0, same.Create());
}

namespace {
struct Vec3 {
    double x, y, z;
};
Vec3 Unit(double lonDeg, double latDeg) {
    const double l = lonDeg * kDeg, p = latDeg * kDeg;
    return {std::cos(p) * std::cos(l), std::cos(p) * std::sin(l), std::sin(p)};
}
Vec3 Cross(const Vec3& a, const Vec3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
double Dot(const Vec3& a, const Vec3& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
double Norm(const Vec3& a) {
    return std::sqrt(Dot(a, a));
}
Vec3 Combine(double p, const Vec3& a, double q, const Vec3& b) {
    return {p * a.x + q * b.x, p * a.y + q * b.y, p * a.z + q * b.z};
}
// Angle between unit vectors that keeps its digits for near and far pairs.
double Angle(const Vec3& a, const Vec3& b) {
    return std::atan2(Norm(Cross(a, b)), Dot(a, b));
}
} // namespace

// Beside the line through the two points, and a few metres from either of
// them, the distances are close to their along-line lengths: acos of a
// cosine next to 1 or the square root of a difference of nearly equal
// squares keeps only half the digits there (up to 0.1 m on the Earth). A
// point d off the line at along-line lengths L1, L2 from the points lies,
// to first order in d, at y = d sqrt(L1 L2 sin z0 / (z0 sin L1 sin L2)):
// the plane triangle's height from the two distances' excesses
// d^2 / (2 tan L), between the points and beyond them alike.
TEST(AzimuthalTest, TwoPointEquidistantKeepsItsDigitsBesideTheLineAndAtThePoints) {
    const Definition pairs[] = {
        TwoPoints(-73.78, 40.64, 2.55, 49.01), TwoPoints(116.4, 39.9, 151.2, -33.87),
        TwoPoints(30.0, 0.0, 50.0, 0.0),       TwoPoints(10.0, -20.0, 10.0, 60.0),
        TwoPoints(170.0, -10.0, -170.0, 5.0),  TwoPoints(8.54, 47.37, 8.56, 47.38), // 2 km apart
    };
    const double offsets[] = {0.0, 1e-3, -1e-3, 1.0, -1.0, 100.0, -100.0}; // metres off the line
    // Where along the line, as fractions of the points' distance (0 and 1 at
    // the points) plus metres, so that some fall within metres of a point.
    const struct {
        double fraction, metres;
    } places[] = {{0, 0}, {0, 1}, {0, -3}, {1, 0}, {1, -1}, {1, 5}, {0.3, 0}, {0.5, 0}, {-0.4, 0}, {1.6, 0}};
    for (const Definition& d : pairs) {
        CZrPJOperator op = Build(d);
        ASSERT_EQ(1, op.Create());
        const Vec3 a = Unit(d.lon1, d.phi1), b = Unit(d.lon2, d.phi2);
        const double z0 = Angle(a, b);
        const Vec3 cr = Cross(a, b);
        const Vec3 n = Combine(1.0 / Norm(cr), cr, 0.0, cr);
        const Vec3 ta = Cross(n, a); // along the line at the first point, towards the second
        for (const auto& place : places) {
            const double s = place.fraction * z0 + place.metres / d.a;
            for (double off : offsets) {
                const double beta = off / d.a;
                const Vec3 p =
                    Combine(std::cos(beta), Combine(std::cos(s), a, std::sin(s), ta), std::sin(beta), n);
                const double lon = std::atan2(p.y, p.x) / kDeg,
                             lat = std::atan2(p.z, std::hypot(p.x, p.y)) / kDeg;
                const Vec3 q = Unit(lon, lat);
                const std::string at = Label(d.lon1) + " " + Label(d.phi1) + ": " +
                                       std::to_string(place.fraction) + " + " + std::to_string(place.metres) +
                                       " m along, " + std::to_string(off) + " m off";
                CPoint2D xy(lon, lat);
                ASSERT_EQ(1, op.Forward(xy)) << at;
                // Both distances true (the points at -a z0/2 and +a z0/2) ...
                EXPECT_NEAR(Angle(a, q) * d.a, std::hypot(xy.x + z0 * d.a / 2.0, xy.y), kForwardTolerance)
                    << at;
                EXPECT_NEAR(Angle(b, q) * d.a, std::hypot(xy.x - z0 * d.a / 2.0, xy.y), kForwardTolerance)
                    << at;
                // ... the height over the x axis to first order ...
                const double l1 = std::fabs(s), l2 = std::fabs(s - z0);
                const double k = std::sqrt((l1 > 0.0 ? l1 / std::sin(l1) : 1.0) *
                                           (l2 > 0.0 ? l2 / std::sin(l2) : 1.0) * std::sin(z0) / z0);
                EXPECT_NEAR(off * k, xy.y, kForwardTolerance) << at;
                // ... and back to the point.
                EXPECT_LE(RoundTripError(op, lon, lat, xy), kRoundTripTolerance) << at;
            }
        }
    }
}

TEST(AzimuthalTest, NoAzimuthalWorldOrObliqueMercatorKindProjectsBeforeCreate) {
    // Including the equal-area and gnomonic kinds, whose routines would
    // otherwise work on a zero radius and report success.
    const long kinds[] = {43008, 43009, 43010, 43011, 43012, 43013, 43014, 43015, 43018, 43019, 43022, 43023,
                          43029, 43030, 43031, 43032, 43033, 43034, 43035, 43036, 43040, 43043, 43044};
    for (long kind : kinds) {
        CZrPJOperator op = Build(Centre(kind, 10, 30));
        CPoint2D p(12.0, 31.0);
        EXPECT_EQ(0, op.Forward(p)) << kind;
        EXPECT_EQ(0, op.Inverse(p)) << kind;
        EXPECT_TRUE(BitIdentical(p, CPoint2D(12.0, 31.0))) << kind;
    }
}
