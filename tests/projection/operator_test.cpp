// The frame shared by every kind: defaults, wrapping and clamping, units and
// false origin, failure handling and assignment.
#include "geodesy/ZrPJMath.h"
#include "model/ZrPJCoordSys.h"
#include "projection/ZrPJOperator.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

namespace {
constexpr double kDeg = CZrPJMath::kDegToRad;
constexpr double kMillimetre = 1e-3;
constexpr double kNanodegree = 1e-9;

bool BitIdentical(const CPoint2D& a, const CPoint2D& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

CZrPJOperator TransverseMercator(double lon0Deg, double k0) {
    CZrPJOperator op;
    op.SetKind(43006);
    op.SetSemiMajorAxis(6378137.0);
    op.SetFlattening(1.0 / 298.257223563);
    op.SetCentralMeridian(lon0Deg * kDeg);
    op.SetScaleFactor(k0);
    op.SetFalseEasting(500000.0);
    op.SetFalseNorthing(0.0);
    return op;
}
} // namespace

TEST(OperatorFrameTest, DefaultOperatorIsKrasovskyGaussKruegerWithItsFalseOrigin) {
    CZrPJOperator op;
    EXPECT_EQ(op.GetKind(), 43005);
    EXPECT_EQ(op.IsCreated(), 0);
    EXPECT_EQ(op.GetParallelMode(), 2);
    EXPECT_EQ(op.GetSemiMajorAxis(), 6378137.0);
    EXPECT_EQ(op.GetFalseEasting(), 500000.0);
    EXPECT_EQ(op.GetFalseNorthing(), 10000000.0);
    ASSERT_EQ(op.Create(), 1);
    CPoint2D origin(0.0, 0.0);
    ASSERT_EQ(op.Forward(origin), 1);
    EXPECT_NEAR(origin.x, 500000.0, kMillimetre);
    EXPECT_NEAR(origin.y, 10000000.0, kMillimetre);
}

TEST(OperatorFrameTest, ForwardWrapsLongitudeAndClampsLatitude) {
    CZrPJOperator op = TransverseMercator(-171.0, 0.9996);
    ASSERT_EQ(op.Create(), 1);
    CPoint2D wrapped(190.0, 10.0), direct(-170.0, 10.0);
    ASSERT_EQ(op.Forward(wrapped), 1);
    ASSERT_EQ(op.Forward(direct), 1);
    EXPECT_NEAR(wrapped.x, direct.x, kMillimetre);
    EXPECT_NEAR(wrapped.y, direct.y, kMillimetre);

    CPoint2D beyond(-171.0, 95.0), pole(-171.0, 90.0);
    ASSERT_EQ(op.Forward(beyond), 1);
    ASSERT_EQ(op.Forward(pole), 1);
    EXPECT_EQ(beyond.x, pole.x);
    EXPECT_EQ(beyond.y, pole.y);
}

TEST(OperatorFrameTest, InverseFoldsLatitudeAndLongitudeOnceIntoRange) {
    // A Gauss-Krueger northing beyond the quarter meridian lies past the pole,
    // on the far half of the central meridian: 91 degrees of arc comes back as
    // 89 degrees on the meridian 180 degrees from the central one (-181), which
    // the frame reduces to -1.
    CZrPJOperator op;
    op.SetFalseEasting(0.0);
    op.SetFalseNorthing(0.0);
    op.SetCentralMeridian(-181.0 * kDeg);
    ASSERT_EQ(op.Create(), 1);
    CPoint2D p(0.0, op.Distance(91.0 * kDeg));
    ASSERT_EQ(op.Inverse(p), 1);
    EXPECT_NEAR(p.y, 89.0, 1e-6);
    EXPECT_NEAR(p.x, -1.0, kNanodegree);
}

TEST(OperatorFrameTest, UnitFactorFalseOriginAndDivisorApplyInThatOrder) {
    CZrPJOperator metres = TransverseMercator(117.0, 0.9996);
    CZrPJOperator feet = metres;
    ASSERT_EQ(metres.Create(), 1);
    feet.SetUnitFactor(10000.0 / 3048.0);
    feet.SetFalseEasting(1000.0);
    feet.SetDivisor(2.0);
    ASSERT_EQ(feet.Create(), 1);
    CPoint2D m(118.0, 30.0), f(118.0, 30.0);
    ASSERT_EQ(metres.Forward(m), 1);
    ASSERT_EQ(feet.Forward(f), 1);
    EXPECT_NEAR(f.x, ((m.x - 500000.0) * 10000.0 / 3048.0 + 1000.0) / 2.0, kMillimetre);
    EXPECT_NEAR(f.y, m.y * 10000.0 / 3048.0 / 2.0, kMillimetre);
    ASSERT_EQ(feet.Inverse(f), 1);
    EXPECT_NEAR(f.x, 118.0, kNanodegree);
    EXPECT_NEAR(f.y, 30.0, kNanodegree);
}

TEST(OperatorFrameTest, AFailedCallLeavesTheCallersPointBitIdentical) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();

    // A kind without a routine never creates and never projects.
    for (long kind : {43025L, 43026L, 43038L, 43039L, 43042L, 43000L, 43054L, -1L}) {
        CZrPJOperator op;
        op.SetKind(kind);
        EXPECT_EQ(op.Create(), 0) << kind;
        CPoint2D p(12.5, 41.25), before = p;
        EXPECT_EQ(op.Forward(p), 0) << kind;
        EXPECT_TRUE(BitIdentical(p, before));
        EXPECT_EQ(op.Inverse(p), 0) << kind;
        EXPECT_TRUE(BitIdentical(p, before));
    }

    // Not created: the routine refuses.
    CZrPJOperator uncreated = TransverseMercator(0.0, 1.0);
    CPoint2D p(1.0, 2.0), before = p;
    EXPECT_EQ(uncreated.Forward(p), 0);
    EXPECT_TRUE(BitIdentical(p, before));

    // Non-numeric input has no image and must not hang the longitude reduction.
    CZrPJOperator op = TransverseMercator(0.0, 1.0);
    ASSERT_EQ(op.Create(), 1);
    for (CPoint2D bad : {CPoint2D(nan, 0.0), CPoint2D(0.0, nan), CPoint2D(inf, 10.0), CPoint2D(-inf, 10.0)}) {
        CPoint2D q = bad;
        EXPECT_EQ(op.Forward(q), 0);
        EXPECT_TRUE(BitIdentical(q, bad));
        EXPECT_EQ(op.Inverse(q), 0);
        EXPECT_TRUE(BitIdentical(q, bad));
    }
    CPoint2D huge(1e300, 10.0);
    op.Forward(huge); // returns, whatever the answer
}

TEST(OperatorFrameTest, CreateRefusesImpossibleEllipsoids) {
    for (double f : {-0.5, 1.0, 2.5, std::numeric_limits<double>::quiet_NaN()}) {
        CZrPJOperator op;
        op.SetFlattening(f);
        EXPECT_EQ(op.Create(), 0) << f;
        EXPECT_EQ(op.IsCreated(), 0);
    }
    // An axis of no size refuses for every kind, and the operator then
    // leaves points as they were (a Transverse Mercator on a = -6378137
    // used to unproject to latitude 114 411 degrees and report success).
    const double inf = std::numeric_limits<double>::infinity();
    for (long kind = 43001; kind <= 43046; ++kind) {
        if (!CZrPJOperator::FindKind(kind)) continue;
        for (double a : {0.0, -1.0, -6378137.0, inf, -inf, std::numeric_limits<double>::quiet_NaN()}) {
            CZrPJOperator op = TransverseMercator(0.0, 1.0);
            op.SetKind(kind);
            op.SetStandardParallel1(30.0 * kDeg);
            op.SetStandardParallel2(50.0 * kDeg);
            op.SetCentralParallel(20.0 * kDeg);
            op.SetSecondPointLongitude(40.0 * kDeg);
            op.SetSemiMajorAxis(a);
            EXPECT_EQ(op.Create(), 0) << kind << " a = " << a;
            const CPoint2D geo(10.0, 20.0), planar(3e5, 2e6);
            CPoint2D p = geo, q = planar;
            EXPECT_EQ(op.Forward(p) + op.Inverse(q), 0) << kind << " a = " << a;
            EXPECT_TRUE(BitIdentical(p, geo) && BitIdentical(q, planar)) << kind << " a = " << a;
        }
    }
    // So a coordinate system on such a spheroid is not valid either.
    for (double a : {0.0, -1.0, -6378137.0}) {
        CZrPJSpheroid spheroid;
        spheroid.Set("no size", a, 1.0 / 298.257223563);
        CZrPJDatum datum;
        datum.Set("no size", spheroid);
        CZrPJGeoCoordSys gcs;
        ASSERT_TRUE(gcs.Set(static_cast<tagGeoCoordSysType>(4326)));
        gcs.Set("no size", datum, gcs.GetPrimeMeridian(), gcs.GetUnits());
        CZrPJParams params;
        params.CentralMeridian = 117.0;
        params.ScaleFactor = 0.9996;
        params.FalseEasting = 500000.0;
        CZrPJCoordSys cs;
        EXPECT_EQ(cs.Set("no size", gcs, CZrPJObject(static_cast<tagPJObjectType>(43006)), params, 10000), 0)
            << a;
        EXPECT_EQ(cs.IsValid(), 0) << a;
        CPoint2D p(117.5, 30.0);
        cs.Forward(&p, 1);
        EXPECT_EQ(p.x, 117.5);
        EXPECT_EQ(p.y, 30.0);
    }
    // A failed re-creation leaves the operator unusable until a good one.
    CZrPJOperator op;
    ASSERT_EQ(op.Create(), 1);
    op.SetKind(43025);
    EXPECT_EQ(op.Create(), 0);
    CPoint2D p(0.0, 0.0);
    EXPECT_EQ(op.Forward(p), 0);
}

// One rule for the scale factor of every kind that reads one: 0 (the
// constructor's default, "not given") is scale 1 both ways, bit for bit; a
// negative or non-numeric scale does not create. The Transverse Mercator
// inverse used to divide by the 0 its forward had ignored, and refuse.
TEST(OperatorFrameTest, ScaleFactorZeroIsUnscaledAndANegativeOneDoesNotCreate) {
    const struct {
        long kind;
        int mode;
    } kinds[] = {{43006, 1}, {43020, 1}, {43043, 1}, {43044, 1}};
    constexpr double kMillimetreOfArc = 1e-3 / 111319.5; // degrees: the Lambert inverse's conformal series
    for (const auto& k : kinds) {
        auto make = [&k](double k0) {
            CZrPJOperator op = TransverseMercator(10.0, k0);
            op.SetKind(k.kind);
            op.SetParallelMode(k.mode);
            op.SetCentralParallel(40.0 * kDeg);
            op.SetStandardParallel1(40.0 * kDeg);
            op.SetAzimuth(30.0 * kDeg);
            return op;
        };
        CZrPJOperator zero = make(0.0), one = make(1.0);
        ASSERT_EQ(zero.Create(), 1) << k.kind;
        ASSERT_EQ(one.Create(), 1) << k.kind;
        for (CPoint2D geo : {CPoint2D(12.0, 43.0), CPoint2D(7.5, 38.0)}) {
            CPoint2D a = geo, b = geo;
            ASSERT_EQ(zero.Forward(a), 1) << k.kind;
            ASSERT_EQ(one.Forward(b), 1) << k.kind;
            EXPECT_TRUE(BitIdentical(a, b)) << k.kind;
            ASSERT_EQ(zero.Inverse(a), 1) << k.kind;
            EXPECT_NEAR(a.x, geo.x, kMillimetreOfArc) << k.kind;
            EXPECT_NEAR(a.y, geo.y, kMillimetreOfArc) << k.kind;
        }
        for (double k0 : {-1.0, -0.9996, std::numeric_limits<double>::quiet_NaN(),
                          std::numeric_limits<double>::infinity()}) {
            CZrPJOperator bad = make(k0);
            EXPECT_EQ(bad.Create(), 0) << k.kind << " k0 = " << k0;
        }
    }
}

// A copy made by assignment must project as its source, bit for bit, or say
// that it cannot: the created flag used to travel without the meridian-length
// series, so a UTM 50N northing came out 3.6 Mm wrong with success reported.
// Every kind, on a sphere and an ellipsoid, each set up the way that reads
// the groups assignment does not carry (ml0 from a latitude of origin, the
// polyconic arc, the two-point block).
TEST(OperatorFrameTest, AssignmentFromACreatedOperatorProjectsAsItsSource) {
    const CPoint2D kGeographic[] = {{118.0, 31.0}, {112.5, -42.0}, {121.0, 64.0}, {117.0, 0.0}};
    int kinds = 0;
    for (long kind = 43001; kind <= 43046; ++kind) {
        if (!CZrPJOperator::FindKind(kind)) continue;
        ++kinds;
        for (double f : {0.0, 1.0 / 298.257223563}) {
            CZrPJOperator source = TransverseMercator(117.0, 0.9996);
            source.SetKind(kind);
            source.SetFlattening(f);
            source.SetCentralParallel(30.0 * kDeg);
            source.SetStandardParallel1(25.0 * kDeg);
            source.SetStandardParallel2(47.0 * kDeg);
            source.SetFirstPointLongitude(100.0 * kDeg);
            source.SetSecondPointLongitude(130.0 * kDeg);
            source.SetAzimuth(35.0 * kDeg);
            ASSERT_EQ(source.Create(), 1) << kind;

            CZrPJOperator assigned; // a fresh target: nothing left over from an earlier Create
            assigned = source;
            ASSERT_EQ(assigned.IsCreated(), 1) << kind;
            for (const CPoint2D& p : kGeographic) {
                CPoint2D expected = p, got = p;
                const int code = source.Forward(expected);
                ASSERT_EQ(assigned.Forward(got), code) << kind << " f " << f;
                EXPECT_TRUE(BitIdentical(got, expected)) << kind << " f " << f << " at " << p.x << " " << p.y;
                if (!code) continue;
                CPoint2D back = expected, backCopy = expected;
                const int inverseCode = source.Inverse(back);
                ASSERT_EQ(assigned.Inverse(backCopy), inverseCode) << kind << " f " << f;
                EXPECT_TRUE(BitIdentical(backCopy, back)) << kind << " f " << f;
            }
        }
    }
    EXPECT_EQ(kinds, 41);

    // A copy of an operator that never created stays not created.
    CZrPJOperator unbuilt = TransverseMercator(117.0, 0.9996), target;
    target = unbuilt;
    CPoint2D p(118.0, 31.0);
    EXPECT_EQ(target.Forward(p), 0);

    // A full copy is usable at once as well.
    CZrPJOperator source = TransverseMercator(117.0, 0.9996);
    ASSERT_EQ(source.Create(), 1);
    CZrPJOperator copy(source);
    CZrPJOperator all;
    all.CopyAll(source);
    CPoint2D fresh(118.0, 31.0);
    ASSERT_EQ(source.Forward(fresh), 1);
    for (CZrPJOperator* op : {&copy, &all}) {
        CPoint2D q(118.0, 31.0);
        ASSERT_EQ(op->Forward(q), 1);
        EXPECT_TRUE(BitIdentical(q, fresh));
    }
}

TEST(OperatorFrameTest, LongitudeReductionAndHypot) {
    EXPECT_DOUBLE_EQ(CZrPJOperator::AdjLongitude(3.0 * CZrPJMath::kPi), CZrPJMath::kPi);
    EXPECT_DOUBLE_EQ(CZrPJOperator::AdjLongitude(-3.0 * CZrPJMath::kPi), -CZrPJMath::kPi);
    EXPECT_EQ(CZrPJOperator::AdjLongitude(1.0), 1.0);
    EXPECT_LE(std::fabs(CZrPJOperator::AdjLongitude(1e300)), CZrPJMath::kPi);
    EXPECT_TRUE(std::isnan(CZrPJOperator::AdjLongitude(std::numeric_limits<double>::infinity()) * 0.0));
    EXPECT_EQ(CZrPJOperator::hypot(0.0, -3.0), 3.0);
    EXPECT_EQ(CZrPJOperator::hypot(-4.0, 0.0), 4.0);
    EXPECT_DOUBLE_EQ(CZrPJOperator::hypot(3.0, -4.0), 5.0);
    EXPECT_DOUBLE_EQ(CZrPJOperator::hypot(1e200, 1e200), std::sqrt(2.0) * 1e200);
}

TEST(OperatorFrameTest, APoleComputedPastNinetyDegreesByRoundingStaysThePole) {
    // Gauss-Krueger's inverse of the pole's own northing may land a few ulps
    // beyond 90 degrees; that is still the north pole, not 90 degrees south.
    CZrPJOperator op;
    op.SetFalseEasting(0.0);
    op.SetFalseNorthing(0.0);
    ASSERT_EQ(op.Create(), 1);
    for (double excess : {0.0, 1e-13, 1e-12}) {
        CPoint2D p(0.0, op.Distance(CZrPJMath::kHalfPi + excess * kDeg));
        ASSERT_EQ(op.Inverse(p), 1);
        EXPECT_NEAR(p.y, 90.0, 1e-9) << excess;
    }
}
