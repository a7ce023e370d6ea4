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
