// Datum operations as chains of steps, the per-point choice among them, and
// the translator holding a choice beside its method.
#include "model/ZrPJCoordSys.h"
#include "transform/ZrDatumOperation.h"
#include "transform/ZrPJTranslator.h"

#include <gtest/gtest.h>
#include <proj.h>

#include <cmath>
#include <memory>

namespace {

// Horizontal agreement with PROJ: a tenth of a millimetre, PROJ's own bar
// in its gie tests; heights to the same.
constexpr double kAgreeMetres = 1e-4;
constexpr double kMetresPerDegree = 111320.0;

ZrOperationEllipsoid Ellipsoid(double a, double rf) {
    ZrOperationEllipsoid e;
    e.a = a;
    e.f = 1.0 / rf;
    return e;
}

const ZrOperationEllipsoid kBessel = Ellipsoid(6377397.155, 299.1528128);
const ZrOperationEllipsoid kWgs84 = Ellipsoid(6378137.0, 298.257223563);
const ZrOperationEllipsoid kIntl = Ellipsoid(6378388.0, 297.0);

// Bessel -> WGS 84 by a position-vector Helmert, then WGS 84 -> Hayford by
// the reverse of a coordinate-frame one (stated Hayford -> WGS 84).
ZrDatumOperation TwoSteps() {
    ZrDatumOperation op;
    ZrOperationStep a;
    a.kind = ZR_STEP_HELMERT;
    a.from = kBessel;
    a.to = kWgs84;
    a.tx = 598.1, a.ty = 73.7, a.tz = 418.2, a.rx = 0.202, a.ry = 0.045, a.rz = -2.455, a.ds = 6.7;
    ZrOperationStep b;
    b.kind = ZR_STEP_HELMERT;
    b.from = kIntl;
    b.to = kWgs84;
    b.inverse = 1;
    // Coordinate frame (-81.07, -89.36, -115.75, 0.485, 0.024, 0.413, -0.54)
    // in the position-vector convention: rotations negated.
    b.tx = -81.07, b.ty = -89.36, b.tz = -115.75, b.rx = -0.485, b.ry = -0.024, b.rz = -0.413, b.ds = -0.54;
    op.Append(a);
    op.Append(b);
    return op;
}

} // namespace

// The chain is PROJ's pipeline of the same steps: each Helmert between
// geocentric conversions, the height carried from one step into the next.
TEST(DatumOperation, ChainAgreesWithProjPipeline) {
    const char* pipeline =
        "+proj=pipeline +step +proj=unitconvert +xy_in=deg +xy_out=rad +step +proj=cart +ellps=bessel "
        "+step +proj=helmert +x=598.1 +y=73.7 +z=418.2 +rx=0.202 +ry=0.045 +rz=-2.455 +s=6.7 "
        "+convention=position_vector +step +inv +proj=helmert +x=-81.07 +y=-89.36 +z=-115.75 +rx=0.485 "
        "+ry=0.024 +rz=0.413 +s=-0.54 +convention=coordinate_frame +step +inv +proj=cart +ellps=intl "
        "+step +proj=unitconvert +xy_in=rad +xy_out=deg";
    PJ* op = proj_create(PJ_DEFAULT_CTX, pipeline);
    ASSERT_NE(op, nullptr);
    const ZrDatumOperation mine = TwoSteps();
    const double points[][3] = {{10, 50, 0}, {-3, 40, 250}, {25, 65, -30}, {0.5, 0.5, 1000}, {179.9, -60, 0}};
    for (const auto& p : points) {
        for (int forward : {1, 0}) {
            SCOPED_TRACE(std::to_string(p[0]) + " " + std::to_string(p[1]) + (forward ? " fwd" : " inv"));
            PJ_COORD theirs = proj_trans(op, forward ? PJ_FWD : PJ_INV, proj_coord(p[0], p[1], p[2], 0));
            CPoint3D ours(p[0], p[1], p[2]);
            ZrApplyOperation(mine, ours, forward);
            const double dx = (ours.x - theirs.xyz.x) * std::cos(p[1] * M_PI / 180) * kMetresPerDegree;
            const double dy = (ours.y - theirs.xyz.y) * kMetresPerDegree;
            EXPECT_LE(std::hypot(dx, dy), kAgreeMetres);
            EXPECT_NEAR(ours.z, theirs.xyz.z, kAgreeMetres);
        }
    }
    proj_destroy(op);
}

// Per point, the first candidate whose area of use holds it; none holding
// it, the first of all. An area whose west bound exceeds its east crosses
// the antimeridian.
TEST(DatumOperation, ChoiceTakesFirstAreaThatHoldsThePoint) {
    struct Area {
        double south, west, north, east;
    };
    const Area areas[] = {
        {47, 6, 55, 15},       // 0: small, best
        {35, -10, 70, 40},     // 1: wide
        {-50, 160, -30, -170}, // 2: across the antimeridian
    };
    CZrPJOperationChoice choice;
    EXPECT_EQ(choice.Pick(0, 0), -1);
    for (int i = 0; i < 3; ++i) {
        ZrDatumOperation op;
        op.code = 100 + i;
        op.hasArea = true;
        op.south = areas[i].south, op.west = areas[i].west, op.north = areas[i].north,
        op.east = areas[i].east;
        choice.Add(op);
    }
    const struct {
        double lon, lat;
        int expected;
    } cases[] = {
        {10, 50, 0},   {6, 47, 0},     {-5, 50, 1},    {16, 50, 1},
        {175, -40, 2}, {-175, -40, 2}, {-165, -40, 0}, {100, 0, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(choice.Pick(c.lon, c.lat), c.expected) << c.lon << " " << c.lat;
}

// A translator holding a choice converts with it on a datum-shift route,
// whatever its method; copies share the choice; setting a method, values,
// or a system on another geographic system drops it.
TEST(DatumOperation, TranslatorHoldsTheChoiceBesideItsMethod) {
    CZrPJGeoCoordSys bessel, wgs84;
    ASSERT_TRUE(bessel.Set(static_cast<tagGeoCoordSysType>(4314)));
    ASSERT_TRUE(wgs84.Set(static_cast<tagGeoCoordSysType>(4326)));
    CZrPJCoordSys src, des;
    src.SetEarth(bessel, 0);
    des.SetEarth(wgs84, 0);
    CZrPJTranslator t;
    t.SetMethod(static_cast<tagPJTransMethod>(0)); // no method the shift knows
    EXPECT_FALSE(t.Set(src, des));

    auto choice = std::make_shared<CZrPJOperationChoice>();
    ZrDatumOperation op;
    ZrOperationStep step;
    step.kind = ZR_STEP_HELMERT;
    step.from = kBessel;
    step.to = kWgs84;
    step.tx = 598.1, step.ty = 73.7, step.tz = 418.2;
    op.Append(step);
    choice->Add(op);
    ASSERT_TRUE(t.SetOperations(choice));
    CPoint2D p(10, 50);
    CPoint3D e3(10, 50, 0);
    ZrApplyOperation(op, e3, 1);
    t.Convert(&p, 1, 1);
    EXPECT_DOUBLE_EQ(p.x, e3.x);
    EXPECT_DOUBLE_EQ(p.y, e3.y);

    CZrPJTranslator copy(t);
    EXPECT_EQ(copy.GetOperations(), t.GetOperations());
    EXPECT_TRUE(copy.IsValid());

    CZrPJTranslator other(t);
    other.SetPJCoordSysDes(des); // the same geographic system: kept
    EXPECT_NE(other.GetOperations(), nullptr);
    other.SetPJCoordSysSrc(des); // another one: dropped
    EXPECT_EQ(other.GetOperations(), nullptr);

    t.SetParams(CZrPJParams());
    EXPECT_EQ(t.GetOperations(), nullptr);
    EXPECT_FALSE(t.IsValid()); // back to the method, which the shift does not know
}

// Time-dependent Helmerts (EPSG 1053 position vector, 1056 coordinate frame):
// each value moves by its rate times (t - reference epoch). Oracle: PROJ's
// helmert with the same rates and +t_epoch, the epoch given as the point's t.
// The coordinate-frame row is stated here as EPSG states it and turned to
// position vector as the data reader turns it (rotations and their rates
// negated); a point without an epoch takes the values as stated.
TEST(DatumOperation, TimeDependentHelmertAgreesWithProjAtTheEpoch) {
    const struct {
        const char* helmert;
        double v[7], rates[7], refEpoch;
        bool frame;
        double epoch;
    } rows[] = {
        // ITRF2014 -> ETRF2000 (EPSG 7940's values), position vector.
        {"+x=0.0547 +y=0.0522 +z=-0.0741 +rx=0.001701 +ry=0.01029 +rz=-0.016632 +s=0.00212 +dx=0.0001 "
         "+dy=0.0001 +dz=-0.0019 +drx=0.000081 +dry=0.00049 +drz=-0.000792 +ds=0.00011 +t_epoch=2010 "
         "+convention=position_vector",
         {0.0547, 0.0522, -0.0741, 0.001701, 0.01029, -0.016632, 0.00212},
         {0.0001, 0.0001, -0.0019, 0.000081, 0.00049, -0.000792, 0.00011},
         2010,
         false,
         2024.5},
        // The same values as a coordinate frame, far from the epoch.
        {"+x=0.0547 +y=0.0522 +z=-0.0741 +rx=0.001701 +ry=0.01029 +rz=-0.016632 +s=0.00212 +dx=0.0001 "
         "+dy=0.0001 +dz=-0.0019 +drx=0.000081 +dry=0.00049 +drz=-0.000792 +ds=0.00011 +t_epoch=2010 "
         "+convention=coordinate_frame",
         {0.0547, 0.0522, -0.0741, 0.001701, 0.01029, -0.016632, 0.00212},
         {0.0001, 0.0001, -0.0019, 0.000081, 0.00049, -0.000792, 0.00011},
         2010,
         true,
         1989.0},
        // Large rates (a plate's motion over decades), coordinate frame.
        {"+x=1.2 +y=-0.8 +z=0.3 +rx=0.5 +ry=-0.2 +rz=0.9 +s=1.5 +dx=0.02 +dy=-0.03 +dz=0.01 +drx=0.001 "
         "+dry=0.002 +drz=-0.003 +ds=0.05 +t_epoch=1997.0 +convention=coordinate_frame",
         {1.2, -0.8, 0.3, 0.5, -0.2, 0.9, 1.5},
         {0.02, -0.03, 0.01, 0.001, 0.002, -0.003, 0.05},
         1997.0,
         true,
         2020.25},
    };
    const double points[][3] = {{10, 50, 0}, {-75, 45, 300}, {135, -25, -20}, {0.5, 0.5, 1000}};
    for (const auto& r : rows) {
        const std::string def = std::string("+proj=pipeline +step +proj=unitconvert +xy_in=deg +xy_out=rad "
                                            "+step +proj=cart +ellps=GRS80 +step +proj=helmert ") +
                                r.helmert +
                                " +step +inv +proj=cart +ellps=GRS80 +step +proj=unitconvert +xy_in=rad "
                                "+xy_out=deg";
        PJ* op = proj_create(PJ_DEFAULT_CTX, def.c_str());
        ASSERT_NE(op, nullptr) << r.helmert;
        const double sign = r.frame ? -1.0 : 1.0;
        ZrOperationStep s;
        s.kind = ZR_STEP_HELMERT;
        s.from = s.to = Ellipsoid(6378137.0, 298.257222101);
        s.tx = r.v[0], s.ty = r.v[1], s.tz = r.v[2], s.ds = r.v[6];
        s.rx = sign * r.v[3], s.ry = sign * r.v[4], s.rz = sign * r.v[5];
        s.timeDependent = true;
        s.dtx = r.rates[0], s.dty = r.rates[1], s.dtz = r.rates[2], s.dds = r.rates[6];
        s.drx = sign * r.rates[3], s.dry = sign * r.rates[4], s.drz = sign * r.rates[5];
        s.refEpoch = r.refEpoch;
        ZrDatumOperation mine;
        mine.Append(s);
        for (const auto& p : points) {
            for (int forward : {1, 0}) {
                SCOPED_TRACE(std::string(r.helmert).substr(0, 12) + " " + std::to_string(p[0]) +
                             (forward ? " fwd" : " inv"));
                for (double epoch : {r.epoch, r.refEpoch}) {
                    const PJ_COORD theirs =
                        proj_trans(op, forward ? PJ_FWD : PJ_INV, proj_coord(p[0], p[1], p[2], epoch));
                    CPoint3D ours(p[0], p[1], p[2]);
                    // At the reference epoch a point without one agrees too.
                    ZrApplyOperation(mine, ours, forward, epoch == r.refEpoch ? kZrNoEpoch : epoch);
                    const double dx =
                        (ours.x - theirs.xyz.x) * std::cos(p[1] * M_PI / 180) * kMetresPerDegree;
                    const double dy = (ours.y - theirs.xyz.y) * kMetresPerDegree;
                    EXPECT_LE(std::hypot(dx, dy), kAgreeMetres) << epoch;
                    EXPECT_NEAR(ours.z, theirs.xyz.z, kAgreeMetres) << epoch;
                }
            }
        }
        proj_destroy(op);
    }
}

// The translator carries the epoch to the operations it holds: the same
// point at two epochs moves by the rates, and copies keep the epoch.
TEST(DatumOperation, TranslatorAppliesItsEpoch) {
    CZrPJGeoCoordSys bessel, wgs84;
    ASSERT_TRUE(bessel.Set(static_cast<tagGeoCoordSysType>(4314)));
    ASSERT_TRUE(wgs84.Set(static_cast<tagGeoCoordSysType>(4326)));
    CZrPJCoordSys src, des;
    src.SetEarth(bessel, 0);
    des.SetEarth(wgs84, 0);
    auto choice = std::make_shared<CZrPJOperationChoice>();
    ZrDatumOperation op;
    ZrOperationStep step;
    step.kind = ZR_STEP_HELMERT;
    step.from = kBessel;
    step.to = kWgs84;
    step.tz = 400.0;
    step.timeDependent = true;
    step.dtz = 1.0; // a metre a year along the axis
    step.refEpoch = 2000.0;
    op.Append(step);
    choice->Add(op);
    EXPECT_TRUE(choice->TimeDependent());
    CZrPJTranslator t;
    ASSERT_TRUE(t.Set(src, des));
    ASSERT_TRUE(t.SetOperations(choice));
    EXPECT_TRUE(std::isnan(t.GetEpoch()));
    CPoint3D atRef(10, 50, 0), later(10, 50, 0);
    t.Convert(&atRef, 1, 1);
    t.SetEpoch(2010.0);
    CZrPJTranslator copy(t);
    EXPECT_EQ(copy.GetEpoch(), 2010.0);
    copy.Convert(&later, 1, 1);
    // Ten metres more along Z: sin(50 deg) of it in height.
    EXPECT_NEAR(later.z - atRef.z, 10.0 * std::sin(50 * M_PI / 180), 1e-3);
}
